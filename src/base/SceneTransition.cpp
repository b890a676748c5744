#include "base/SceneTransition.h"

#include "Engine/KilnSprite/SpriteMath.h"
#include "base/GameState.h"

#include <cmath>

namespace bw {

TChangeSceneFxSprite* TransitionSprite = nullptr;

namespace {

TransitionSteps* Steps = nullptr;

} // namespace

const char* TransitionKindName(uint8_t kind) {
    static const char* const names[TransitionKindCount] = {"fl_None",
                                                           "fl_ExitSplashScreen",
                                                           "fl_ExitLoadingLogo",
                                                           "fl_Game_GoToNextLevel",
                                                           "fl_Game_RestartLevel",
                                                           "fl_Game_GotoMainMenu",
                                                           "fl_Game_GotoMap",
                                                           "fl_Game_GotoOptions",
                                                           "fl_Game_ExitOptions",
                                                           "fl_Map_Start",
                                                           "fl_Map_MainMenu",
                                                           "fl_mm_startgame",
                                                           "fl_mm_Map",
                                                           "fl_Intro",
                                                           "fl_Outro",
                                                           "fl_mm_credits",
                                                           "fl_mm_exit_credits_to_mm",
                                                           "fl_mm_awards",
                                                           "fl_mm_exit_awards_to_mm",
                                                           "fl_mm_exit",
                                                           "fl_credits_GoToMM",
                                                           "fl_video_GoTo_Game",
                                                           "fl_video_GoTo_Credits",
                                                           "fl_exitgame"};
    return kind < TransitionKindCount ? names[kind] : "fl_unknown";
}

TChangeSceneFxSprite::TChangeSceneFxSprite(TSprite* parent) : TAnimatedSprite(parent) {}

void TChangeSceneFxSprite::DoMove(float moveCount) {
    TAnimatedSprite::DoMove(moveCount);
    if (FDeaded) return;
    if (TransitionSprite != this || !FVisible || CurrentScene == scene_Loading) return;
    // The kind is read before a step runs: a step may start the next transition.
    const TChangeSceneNames kind = FKind;
    if (FDirection > 0) {
        FBrightness += FSpeed;
        if (FBrightness >= 255) {
            FDirection = -1;
            FBrightness = 255;
            if (Steps) Steps->AtFullBlack(kind);
        }
    } else {
        FBrightness -= FSpeed;
        if (FBrightness <= 0) {
            FBrightness = 0;
            FDirection = 1;
            FVisible = false;
            if (Steps) Steps->AfterFadeIn(kind);
        }
    }
    // A step that started another fade has set its own brightness already.
    SetAlpha(KilnRound(FBrightness));
}

void CreateTransitionSprite(TSprite* engine) {
    if (!engine) return;
    auto* s = new TChangeSceneFxSprite(engine);
    s->SetImageName("blackpixel.image");
    s->FX = 0;
    s->FY = 0;
    s->SetZ(250);
    // The one-pixel picture covers the whole design canvas.
    s->FScaleX = 1921;
    s->FScaleY = 1081;
    s->FManualRender = true;
    // The frame moves it once a tick itself, before the scene moves the engine.
    s->FMoved = false;
    s->SetAlpha(0);
    s->FVisible = false;
    TransitionSprite = s;
}

void ForgetTransitionSprite() {
    TransitionSprite = nullptr;
}

void StartTransition(TChangeSceneNames kind, float speed) {
    MouseButtonDown = false;
    if (!TransitionSprite) return;
    TransitionSprite->FKind = kind;
    TransitionSprite->FSpeed = static_cast<double>(speed) * 1.5;
    TransitionSprite->FDirection = 1;
    TransitionSprite->FBrightness = 0;
    TransitionSprite->SetAlpha(0);
    TransitionSprite->FVisible = true;
}

void SetTransitionSteps(TransitionSteps* steps) {
    Steps = steps;
}

bool TransitionVisible() {
    return TransitionSprite && TransitionSprite->FVisible;
}

} // namespace bw
