// The frame's shared state: which scene runs, the mouse flags and the frame flags. Every
// scene reads these; only the frame and the scene code that the comments name write them.
#pragma once

#include <cstdint>

namespace bw {

enum TGameScene : uint8_t {
    scene_Level = 0,
    scene_Map = 1,
    scene_Loading = 2,
    scene_Loaded = 3,
    scene_Splash = 4,
    scene_LeaveLoading = 5,
    scene_MainMenu = 6,
    scene_Options = 7,
    scene_ChoosePlayer = 8,
    scene_EnterName = 9,
    scene_Credits = 10,
    scene_Awards = 11,
    scene_LeaveLevel = 12,
    scene_Video = 13,
    scene_InGameMenu = 14,
    scene_Help = 15,
};
inline constexpr int SceneCount = 16;

// Name of a scene for logs and state dumps ("scene_Level", ...).
const char* SceneName(uint8_t scene);

extern uint8_t CurrentScene;
// The scene entered when the player leaves a loading screen.
extern uint8_t SceneAfterLoading;

// Frame flags.
extern bool ResourcesLoaded;
extern bool AppPaused;
extern bool CheatMode;
extern bool MouseClicked;    // a left click since the last drawn frame
extern bool MouseDblClicked; // a double click since the last drawn frame
extern bool MouseButtonDown; // the left button is held
extern bool MouseReleased;   // only while a release is being dispatched
extern bool LevelFinished;
extern bool ResultDelayActive;
extern float ResultDelay;

// Whether the scene transition's black fade is on screen (base/SceneTransition.h).
bool TransitionVisible();

// The pointer in design coordinates, WorldOffset included.
extern double MouseX;
extern double MouseY;

// Back to the start values (for tests and for the replay harness between runs).
void ResetAppState();

} // namespace bw
