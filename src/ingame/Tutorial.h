// The tutorial of the early levels: text panels and bobbing arrows over chosen cells, step by
// step, while the board accepts only the move being taught. The board asks TutorialAllows
// before each action and reports arrivals and caught cats through it (BoardHost); a click
// reaches TutorialClick after the frame's hit test; the level's tick fades the panel in.
// The steps themselves are data (TutorialSteps.h).
#pragma once

#include "Engine/KilnSprite/KilnSprite.h"
#include "base/TutorialAction.h"
#include "board/BoardTypes.h"
#include "data/TextRecords.h"

#include <memory>

namespace bw {

class ModalLayer;
class TutorialMachine;

class TTutorialArrowSpite : public TAnimatedSprite {
public:
    using TAnimatedSprite::TAnimatedSprite;
    int FKind = 3;
    TPoint FMarkObject{-1, -1};
    double FMotionCounter = 0;
    TPoint2 FStartPos;
    // Places the arrow by its kind next to `point`.
    void PlaceAt(TPoint2 point);
    void DoMove(float moveCount) override;
};

class TTutorialPanelSprite : public TAnimatedSprite {
public:
    using TAnimatedSprite::TAnimatedSprite;
    int FTemplate = 1;
    TTSText FText;
    TPoint2 FStartPos; // the centre of the text
    void DoMove(float moveCount) override;
    void DoDraw() override;
};

void StartTutorial(int number);
void EndTutorial();
// The first fold of a level's mission pop-up: the level's tutorial starts when the option is
// on, none runs and the level is the current scene.
void TryStartTutorial();
bool TutorialAllows(TutorialAction action, TCoord2 cell);
void TutorialClick();
// One tick of level play.
void TutorialTick();

bool TutorialActive();
const TutorialMachine& TutorialState();
// The shown sprites (for the replay's state dump and the pictures).
const std::vector<TTutorialArrowSpite*>& TutorialArrowSprites();
TTutorialPanelSprite* TutorialPanel();

// The Tutorial modal layer: msg_Destroy and msg_Hide end a running tutorial.
std::unique_ptr<ModalLayer> MakeTutorialLayer();
void ForgetTutorialSprites();

} // namespace bw
