#include "ingame/LevelScene.h"

#include "Engine/KilnSprite/SpriteEngine.h"
#include "audio/SoundEngine.h"
#include "base/CursorPoint.h"
#include "base/GameObjects.h"
#include "base/GameState.h"
#include "base/ModalLayers.h"
#include "base/Player.h"
#include "base/ResourceLoading.h"
#include "base/SceneTransition.h"
#include "board/Board.h"
#include "board/LevelData.h"
#include "board/Location.h"
#include "board/PathPreview.h"
#include "data/KilnImages.h"
#include "ingame/Dialogs.h"
#include "ingame/InGameMenu.h"
#include "ingame/LevelPanels.h"
#include "ingame/LevelResult.h"
#include "ingame/Tutorial.h"
#include "meta/Awards.h"
#include "platform/Log.h"

#include <array>

namespace bw {

namespace {

// The pointer and the button as the board reads them.
void CopyPointer() {
    BoardPointer.Pos = TPoint2{static_cast<float>(MouseX), static_cast<float>(MouseY)};
    BoardPointer.ButtonDown = MouseButtonDown;
}

// The level around the board.
class LevelHost final : public BoardHost {
public:
    bool TutorialAllows(TutorialAction action, TCoord2 cell) override {
        return bw::TutorialAllows(action, cell);
    }
    bool LoadLocation(int location) override { return LoadLocationResources(location); }
    void SetDragCursor(bool dragging) override {
        if (CursorImage)
            CursorImage->SetImageName(dragging ? "Cursor_drag.image" : "Cursor_image.image");
    }
    bool ResultShown() override { return Layers().Shown(Layer::Result); }
    void RefreshTask(bool) override { bw::RefreshTask(false); }
    void CheckAward(AwardIndex index) override { bw::CheckAward(index); }
    void CreateInterface() override { CreateLevelInterface(); }
    bool InputFrozen() override { return TransitionVisible(); }
    void LevelLost() override { Layers().At(Layer::Result).Command(msg_Create); }
    void MissionAccomplished() override { FoldPopupAtWin(); }
    bool NestPosition(int index, TPoint2& pos) override { return bw::NestPosition(index, pos); }
    void NestlingHome() override { ShowSavedNestling(); }
    void LevelWon() override { WinLevel(); }
    void StartAmbience() override { LevelAmbience(msg_Start); }
    void StopAmbience() override { LevelAmbience(msg_Stop); }

private:
    static void LevelAmbience(TTS_Message action) {
        if (Player.Level >= 0 && Player.Level < static_cast<int>(LevelsList.size()))
            LocationAmbience(action, LevelsList[static_cast<size_t>(Player.Level)].Location);
    }
};

class LevelScene final : public Scene {
public:
    // The level's row of the tick table: the result delay, the move, the path preview, then
    // the hit test and the board's pointer update, each only while nothing stands in the way.
    void Tick() override {
        if (ResultDelayActive) {
            if (ResultDelay > 0) {
                ResultDelay -= 0.1f;
            } else {
                ResultDelayActive = false;
                Layers().At(Layer::Result).Command(msg_Create);
            }
        }
        LevelInterfaceTick();
        TutorialTick();
        MoveMainEngine();
        UpdatePathPreview();
        HoverCell = NoCell;
        if (!TransitionVisible() && !ResultDelayActive && !LevelFinished &&
            !Layers().BlocksHitTest()) {
            RunHitTest();
            if (!Layers().BlocksBoard()) {
                CopyPointer();
                BoardInput();
            }
        }
        if (HoverCell == NoCell) ClearPathPreview();
    }

    void Press() override {
        CopyPointer();
        BoardInput();
    }

    // The release: the hit test first, then the board's release sequence; what the board did
    // not accept goes back and the tutorial hears of it.
    void Release() override {
        MouseButtonDown = false;
        MouseReleased = true;
        RunHitTest();
        CopyPointer();
        BoardRelease();
        MouseReleased = false;
        StopDragLoops();
    }

    bool Dragging() const override { return SomethingDragged(); }

    // What no layer took (a message, a dialog): the pause menu, unless something is carried
    // or the level is over.
    void Escape() override {
        if (!SomethingDragged() && !Layers().Shown(Layer::Result)) InGameMenu(msg_Create);
    }

    void Hit(TSprite& sprite) override { InterfaceHit(sprite); }

    void Second() override { LevelInterfaceSecond(); }

    void WindowShapeChanged() override { RelayLevelInterface(); }

    void ForgetSprites() override {
        ForgetBoard();
        ForgetInterfaceSprites();
        ForgetResultSprites();
        ForgetDialogSprites();
        ForgetTutorialSprites();
        SetBoardParent(nullptr);
        // The archives go with the game too.
        BoardSources() = {};
        // A new game has a new picture catalogue.
        ForgetLoadedResources();
    }

    void Command(TTS_Message message) override {
        if (message == msg_Create) PlayLevel(Player.Level);
        // The level is left: its panels go with it.
        if (message == msg_Destroy) DestroyLevelInterface();
    }
};

LevelHost TheLevelHost;

} // namespace

bool LevelCanStart(int levelIndex) {
    if (!MainEngine) return false;
    SetBoardParent(MainEngine);
    BoardSources().Locations = Archives.LocationsData;
    BoardSources().Levels = Archives.LevelsData;
    return CanStartLevel(levelIndex);
}

bool PlayLevel(int levelIndex) {
    // A level that cannot be built is reported and not started: the player stays where they
    // were instead of losing an empty board.
    if (!LevelCanStart(levelIndex)) return false;
    LoadMainPictures();
    // A loading screen that the location needs comes back to this scene.
    CurrentScene = scene_Level;
    LeaveLocation();
    UnloadBoard();
    const bool started = StartLevel(levelIndex);
    // The location's pictures are being read behind the loading screen; leaving it starts the
    // level again.
    if (CurrentScene == scene_Loaded) return true;
    ResultDelayActive = false;
    LevelFinished = false;
    CurrentScene = scene_Level;
    WriteLog("Level " + std::to_string(levelIndex + 1) + (started ? " started" : " is empty"), 1);
    return started;
}

std::unique_ptr<Scene> MakeLevelScene() {
    return std::make_unique<LevelScene>();
}

BoardHost& LevelBoardHost() {
    return TheLevelHost;
}

} // namespace bw
