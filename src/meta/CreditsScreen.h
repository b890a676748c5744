// The credits screen (scene_Credits): the credits list rolls up over the living main menu,
// with the game's logo ahead of it, on a darkened strip, in the day look or the night look of
// the menu's sky; Back fades to a fresh main menu.
#pragma once

#include "Engine/KilnSprite/KilnSprite.h"
#include "gui/ButtonSprites.h"

#include <memory>

namespace bw {

class Scene;

// The credits' text, in the day look or the night look.
class TCreditsNilSprite : public TAnimatedSprite {
public:
    using TAnimatedSprite::TAnimatedSprite;
    TColor2 FTitleColor; // without alpha: the sprite's alpha is added
    TColor2 FNameColor;
    void DoDraw() override;
};

class TCredits_Button2_Sprite : public TButtonSprite2 {
public:
    using TButtonSprite2::TButtonSprite2;
};

void OpenCredits();
void CloseCredits();
bool CreditsOpen();
// One update: the list and the logo scroll up, the strip darkens, the night look follows the
// menu's sky.
void CreditsUpdate();
void CreditsInput(TSprite& sprite);
// How far the list has scrolled (0, then falling by 0.65 per update).
double CreditsOffset();

std::unique_ptr<Scene> MakeCreditsScene();

} // namespace bw
