// The help screen (scene_Help): pages of three illustrated topics over the frozen level,
// opened with the level's Help button. Which topics a player sees depends on how far they
// have got (the first unplayed level), not on the level being played; the arithmetic is in
// TutorialSteps.h.
#pragma once

#include "Engine/KilnSprite/KilnSprite.h"
#include "data/TextRecords.h"
#include "gui/ButtonSprites.h"

#include <array>
#include <memory>
#include <string>

namespace bw {

class Scene;

// The panel: draws the title and the page indicator "page/count".
class THelp_Panel : public TAnimatedSprite {
public:
    using TAnimatedSprite::TAnimatedSprite;
    TTSText FTitle;
    std::string FPageText;
    void DoDraw() override;
};

// One topic: its picture, with its text to the right.
class THelpBlockSprite : public TAnimatedSprite {
public:
    using TAnimatedSprite::TAnimatedSprite;
    int FTopic = -1;
    TTSText FText;
    void DoDraw() override;
};

class THelpButtonSprite : public TButtonSprite2 {
public:
    using TButtonSprite2::TButtonSprite2;
};

class THelpSimpleButton : public TSimpleButtonSprite {
public:
    using TSimpleButtonSprite::TSimpleButtonSprite;
};

void OpenHelp();
// Back and Escape: the level comes back as it was, with its music unless told otherwise.
void CloseHelp(bool restoreMusic = true);
bool HelpOpen();
int HelpPage();
int HelpPages();
// The topics shown on the current page, -1 for a hidden place.
std::array<int, 3> HelpTopicsShown();
int HelpShadeAlpha();

std::unique_ptr<Scene> MakeHelpScene();

} // namespace bw
