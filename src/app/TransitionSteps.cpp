#include "app/TransitionSteps.h"

#include "app/MainForm.h"
#include "app/ScreenMode.h"
#include "audio/SoundEngine.h"
#include "base/GameObjects.h"
#include "base/GameOptions.h"
#include "base/GameState.h"
#include "base/ModalLayers.h"
#include "base/Scene.h"
#include "base/SceneTransition.h"
#include "board/Board.h"
#include "board/LevelData.h"
#include "board/Location.h"
#include "cutscene/CutScene.h"
#include "data/TextDatabase.h"
#include "gui/MessageBox.h"
#include "ingame/LevelScene.h"
#include "meta/Profile.h"
#include "platform/Log.h"

namespace bw {

namespace {

void SavePlayer() {
    if (!Player.FileName.empty()) SaveProfile();
}

// A level that cannot start (the log tells which file is missing or damaged): the map, with
// its music, tells the player so.
void RefuseLevel(int levelIndex) {
    PlayMusic(music_Map, true);
    OpenNotice("msg_levelmissing", MakeTextVars(std::to_string(levelIndex + 1)));
}

// Where a player goes whose level cannot start, once the scene they came from is gone.
void MapInsteadOfLevel(int levelIndex) {
    if (SceneRegistered(scene_Map)) {
        SceneOf(scene_Map).Command(msg_Create);
        CurrentScene = scene_Map;
    }
    RefuseLevel(levelIndex);
}

// The level of the player, started from the scene switch of a fade.
void StartCurrentLevel() {
    if (!LevelCanStart(Player.Level)) {
        MapInsteadOfLevel(Player.Level);
        return;
    }
    CurrentScene = scene_Level;
    PlayLevel(Player.Level);
}

// Creates `scene` and makes it current. A scene that nothing serves yet must not leave the
// player in the dark: the player's level starts instead.
void Enter(uint8_t scene) {
    if (!SceneRegistered(scene)) {
        WriteLog(std::string("Nothing serves ") + SceneName(scene) + " yet; the level starts", 1);
        StartCurrentLevel();
        return;
    }
    SceneOf(scene).Command(msg_Create);
    CurrentScene = scene;
}

// The credits open over a new main menu (when the menu could not be entered, the level stands
// in for both).
void EnterCreditsOverMenu() {
    Enter(scene_MainMenu);
    if (CurrentScene == scene_MainMenu) Enter(scene_Credits);
    MouseButtonDown = false;
}

void Destroy(uint8_t scene) {
    if (SceneRegistered(scene)) SceneOf(scene).Command(msg_Destroy);
}

// The panels of a level in play: the result, the tutorial (the in-game interface goes with
// the level scene).
void CloseLevelLayers() {
    Destroy(scene_InGameMenu);
    Layers().At(Layer::Dialog).Command(msg_Destroy);
    Layers().At(Layer::Result).Command(msg_Destroy);
    Layers().At(Layer::Tutorial).Command(msg_Destroy);
}

// Leaves the level for a scene that is not a level.
void LeaveLevel() {
    Destroy(scene_InGameMenu);
    Layers().At(Layer::Dialog).Command(msg_Destroy);
    CurrentScene = scene_LeaveLevel;
    Layers().At(Layer::Tutorial).Command(msg_Destroy);
    Destroy(scene_Level);
    LeaveLocation();
    UnloadBoard();
}

// The closing film, after which the credits roll.
void PlayOutro() {
    CutSceneControl(CutSceneStart, VideoOutro);
    MouseButtonDown = false;
}

// The last level was won and the player goes on: the first time the game is complete and
// the outro plays; later the map opens.
void CompleteGame() {
    WriteLog("The last level is done", 1);
    LeaveLevel();
    if (Player.GameWasCompleted) {
        Enter(scene_Map);
        PlayMusic(music_Map, true);
    } else {
        PlayMusic(-1, false);
        Player.GameWasCompleted = true;
        PlayOutro();
    }
    SavePlayer();
}

void OpenLevelDialog() {
    // Not over a cut-scene, nor over the map that stands in for a level that could not start.
    if (CurrentScene != scene_Level) return;
    if (Texts().Dialog(Player.Level + 1).empty()) return;
    Layers().At(Layer::Dialog).Command(msg_Destroy);
    Layers().At(Layer::Dialog).Command(msg_Create);
}

class Steps final : public TransitionSteps {
public:
    void AtFullBlack(TChangeSceneNames kind) override {
        switch (kind) {
        case fl_ExitLoadingLogo:
            ComputeScreenMode(SwapChainSize.x, SwapChainSize.y, false);
            if (!SceneRegistered(scene_MainMenu)) {
                // The level stands in for the main menu, so it counts as reached.
                GameOptions.FirstStart = false;
                SaveOptions();
            }
            Enter(scene_MainMenu);
            break;
        case fl_Game_GoToNextLevel:
            CloseLevelLayers();
            if (Player.Level + 1 >= static_cast<int>(LevelsList.size())) {
                CompleteGame();
            } else if (!LevelCanStart(Player.Level + 1)) {
                LeaveLevel();
                MapInsteadOfLevel(Player.Level + 1);
            } else {
                NextLevel();
                SavePlayer();
            }
            break;
        case fl_Game_RestartLevel:
            SavePlayer();
            CloseLevelLayers();
            LeaveLocation();
            UnloadBoard();
            StartCurrentLevel();
            break;
        case fl_Game_GotoMainMenu:
            SavePlayer();
            LeaveLevel();
            Enter(scene_MainMenu);
            PlayMusic(music_MainMenu, true);
            break;
        case fl_Game_GotoMap:
            SavePlayer();
            Layers().At(Layer::Result).Command(msg_Destroy);
            LeaveLevel();
            Enter(scene_Map);
            PlayMusic(music_Map, true);
            break;
        case fl_Map_Start:
            // The map stays when the chosen level cannot start.
            if (!LevelCanStart(Player.Level)) {
                RefuseLevel(Player.Level);
                break;
            }
            Destroy(scene_Map);
            StartCurrentLevel();
            break;
        case fl_Map_MainMenu:
            Destroy(scene_Map);
            Enter(scene_MainMenu);
            MouseButtonDown = false;
            break;
        case fl_mm_startgame:
            Destroy(scene_MainMenu);
            StartCurrentLevel();
            break;
        case fl_mm_Map:
            Destroy(scene_MainMenu);
            Enter(scene_Map);
            MouseButtonDown = false;
            break;
        case fl_Intro:
            Destroy(scene_MainMenu);
            CutSceneControl(CutSceneStart, VideoIntro);
            MouseButtonDown = false;
            break;
        case fl_Outro:
            Destroy(scene_MainMenu);
            PlayOutro();
            break;
        case fl_mm_credits:
            Destroy(scene_MainMenu);
            EnterCreditsOverMenu();
            break;
        case fl_credits_GoToMM:
            Destroy(scene_Credits);
            Destroy(scene_MainMenu);
            Enter(scene_MainMenu);
            MouseButtonDown = false;
            PlayMusic(music_MainMenu, true);
            break;
        case fl_video_GoTo_Game:
            Destroy(scene_Video);
            StartCurrentLevel();
            break;
        case fl_video_GoTo_Credits:
            Destroy(scene_Video);
            EnterCreditsOverMenu();
            break;
        case fl_exitgame:
            if (MainForm) MainForm->Close();
            break;
        default:
            break;
        }
    }

    void AfterFadeIn(TChangeSceneNames kind) override {
        switch (kind) {
        case fl_Game_GoToNextLevel:
        case fl_Game_RestartLevel:
        case fl_Map_Start:
        case fl_mm_startgame:
        case fl_video_GoTo_Game:
            OpenLevelDialog();
            break;
        case fl_ExitLoadingLogo:
            if (CurrentScene != scene_MainMenu) break;
            SceneOf(scene_MainMenu).Command(msg_Show);
            // The player of the last run, or the first readable profile, or a new name.
            ChooseProfileAtStartUp();
            break;
        case fl_Game_GotoMainMenu:
        case fl_Map_MainMenu:
        case fl_credits_GoToMM:
            // The main menu's player panels begin their entry.
            if (CurrentScene == scene_MainMenu) SceneOf(scene_MainMenu).Command(msg_Show);
            // A level that stands in for a scene not built yet opens as a level does.
            if (CurrentScene == scene_Level) OpenLevelDialog();
            break;
        default:
            if (CurrentScene == scene_Level) OpenLevelDialog();
            break;
        }
    }
};

Steps TheSteps;

} // namespace

TransitionSteps& GameTransitionSteps() {
    return TheSteps;
}

} // namespace bw
