#include "base/GameState.h"

namespace bw {

uint8_t CurrentScene = scene_Level;
uint8_t SceneAfterLoading = scene_MainMenu;
bool ResourcesLoaded = false;
bool AppPaused = false;
bool CheatMode = false;
bool MouseClicked = false;
bool MouseDblClicked = false;
bool MouseButtonDown = false;
bool MouseReleased = false;
bool LevelFinished = false;
bool ResultDelayActive = false;
float ResultDelay = 0;
double MouseX = 0;
double MouseY = 0;

const char* SceneName(uint8_t scene) {
    static const char* const names[SceneCount] = {
        "scene_Level",        "scene_Map",          "scene_Loading",    "scene_Loaded",
        "scene_Splash",       "scene_LeaveLoading", "scene_MainMenu",   "scene_Options",
        "scene_ChoosePlayer", "scene_EnterName",    "scene_Credits",    "scene_Awards",
        "scene_LeaveLevel",   "scene_Video",        "scene_InGameMenu", "scene_Help"};
    return scene < SceneCount ? names[scene] : "scene_unknown";
}

void ResetAppState() {
    CurrentScene = scene_Level;
    SceneAfterLoading = scene_MainMenu;
    ResourcesLoaded = AppPaused = CheatMode = false;
    MouseClicked = MouseDblClicked = MouseButtonDown = MouseReleased = false;
    LevelFinished = ResultDelayActive = false;
    ResultDelay = 0;
    MouseX = MouseY = 0;
}

} // namespace bw
