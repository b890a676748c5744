// The black fade that every change of scene runs through: the screen darkens, at full black
// the old scene goes and the new one is built, then the new scene fades in. One full-screen
// sprite does the fading; the kind of the running transition says what happens at full black
// and once the screen is clear again. The steps themselves belong to the modules they touch,
// so the wiring installs them (TransitionSteps).
#pragma once

#include "Engine/KilnSprite/KilnSprite.h"

#include <cstdint>

namespace bw {

enum TChangeSceneNames : uint8_t {
    fl_None = 0,
    fl_ExitSplashScreen = 1,
    fl_ExitLoadingLogo = 2,
    fl_Game_GoToNextLevel = 3,
    fl_Game_RestartLevel = 4,
    fl_Game_GotoMainMenu = 5,
    fl_Game_GotoMap = 6,
    fl_Game_GotoOptions = 7,
    fl_Game_ExitOptions = 8,
    fl_Map_Start = 9,
    fl_Map_MainMenu = 10,
    fl_mm_startgame = 11,
    fl_mm_Map = 12,
    fl_Intro = 13,
    fl_Outro = 14,
    fl_mm_credits = 15,
    fl_mm_exit_credits_to_mm = 16,
    fl_mm_awards = 17,
    fl_mm_exit_awards_to_mm = 18,
    fl_mm_exit = 19,
    fl_credits_GoToMM = 20,
    fl_video_GoTo_Game = 21,
    fl_video_GoTo_Credits = 22,
    fl_exitgame = 23,
};
inline constexpr int TransitionKindCount = 24;

// Name of a kind for logs and state dumps ("fl_Map_Start", ...).
const char* TransitionKindName(uint8_t kind);

// Fade speeds; the overlay changes by 1.5 times the speed per tick.
inline constexpr float FadeSpeedIntro = 1.75f;
inline constexpr float FadeSpeedSlow = 1.75f;
inline constexpr float FadeSpeedFast = 7.0f;
inline constexpr float FadeSpeedLoading = 2.0f;

class TChangeSceneFxSprite : public TAnimatedSprite {
public:
    explicit TChangeSceneFxSprite(TSprite* parent);

    TChangeSceneNames FKind = fl_None;
    double FBrightness = 0; // 0 clear .. 255 black; it is the sprite's alpha
    int FDirection = 1;     // +1 darkening, -1 clearing
    double FSpeed = 50;     // change of FBrightness per tick

    void DoMove(float moveCount) override;
};

// The one fade sprite, created in the main engine when start-up finishes; null before.
extern TChangeSceneFxSprite* TransitionSprite;
// Creates TransitionSprite in `engine` (replacing the pointer to an earlier one).
void CreateTransitionSprite(TSprite* engine);
// The engine is going away with its sprites.
void ForgetTransitionSprite();

// Begins a fade from clear. A transition started while another runs replaces it.
void StartTransition(TChangeSceneNames kind, float speed);

// What each kind does at full black and after the fade-in.
class TransitionSteps {
public:
    virtual ~TransitionSteps() = default;
    virtual void AtFullBlack(TChangeSceneNames kind) = 0;
    virtual void AfterFadeIn(TChangeSceneNames kind) = 0;
};
// Installs the steps (null: every kind does nothing).
void SetTransitionSteps(TransitionSteps* steps);

} // namespace bw
