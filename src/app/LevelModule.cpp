#include "app/LevelModule.h"

#include "Engine/KilnSprite/SpriteEngine.h"
#include "app/FrameHooks.h"
#include "app/LoadingBackdrop.h"
#include "audio/SoundEngine.h"
#include "base/CursorPoint.h"
#include "base/GameObjects.h"
#include "base/GameState.h"
#include "board/Board.h"
#include "board/LevelData.h"
#include "board/Location.h"
#include "board/PathPreview.h"
#include "data/KilnImages.h"
#include "meta/Profile.h"
#include "platform/Log.h"

#include <array>

namespace bw {

namespace {

template <class F, class G> void SetIfEmpty(F& hook, G&& value) {
    if (!hook) hook = std::forward<G>(value);
}

bool Ask(const std::function<bool()>& hook) {
    return hook && hook();
}

constexpr int ReadyScreenTag = 1;

bool MainPicturesLoaded = false;
std::array<bool, 13> LocationPicturesLoaded{};

// The pointer and the button as the board reads them.
void CopyPointer() {
    BoardPointer.Pos = TPoint2{static_cast<float>(MouseX), static_cast<float>(MouseY)};
    BoardPointer.ButtonDown = MouseButtonDown;
}

bool BoardTakesInput() {
    const FrameHooks& h = Hooks();
    return !Ask(h.resultShown) && !Ask(h.popupActive) && !Ask(h.inGameMenuOrHelpOpen) &&
           !Ask(h.messageShown) && !Ask(h.dialogShown) && !Ask(h.transitionVisible) &&
           !LevelFinished;
}

// One tick of the level scene: everything moves, the path preview follows the hovered cell,
// then the board reads the pointer.
void LevelTick() {
    if (!MainEngine) return;
    MainEngine->Move(1.0f);
    // Panels and buttons over the board are hit-tested like everywhere else.
    if (CursorPoint && BoardTakesInput()) CursorPoint->Collision();
    UpdatePathPreview();
    HoverCell = NoCell;
    if (BoardTakesInput()) {
        CopyPointer();
        BoardInput();
    }
    if (HoverCell == NoCell) ClearPathPreview();
}

// The screen shown once everything is loaded, until the first click: the loading backdrop
// with a full bar.
void CreateReadyScreen() {
    CreateLoadingBackdrop(MainEngine, 470, ReadyScreenTag);
}

void ClearReadyScreen() {
    if (!MainEngine) return;
    for (TSprite* sprite : MainEngine->Items())
        if (sprite->FTag == ReadyScreenTag && !sprite->FDeaded) sprite->Dead();
}

// The level around the board.
class LevelHost final : public BoardHost {
public:
    void LoadLocation(int location) override {
        if (location < 1 || location > 12 || !Images) return;
        if (LocationPicturesLoaded[static_cast<size_t>(location)]) return;
        LocationPicturesLoaded[static_cast<size_t>(location)] = true;
        if (TKilnArchive* a = Archives.Locations[static_cast<size_t>(location)])
            Images->AddAllFromArchive(a, true, false);
        else
            WriteLog("Location " + std::to_string(location) + " has no picture archive", 1);
    }
    void SetDragCursor(bool dragging) override {
        if (CursorImage)
            CursorImage->SetImageName(dragging ? "Cursor_drag.image" : "Cursor_image.image");
    }
    bool ResultShown() override { return Ask(Hooks().resultShown); }
    bool InputFrozen() override { return Ask(Hooks().transitionVisible); }
    void LevelLost() override {
        if (Hooks().createResultPanel) Hooks().createResultPanel();
    }
};
LevelHost TheLevelHost;

} // namespace

void LoadBoardPictures() {
    if (MainPicturesLoaded || !Images) return;
    MainPicturesLoaded = true;
    for (TKilnArchive* a : {Archives.Objects, Archives.Effects, Archives.Interface,
                            Archives.Dialogs, Archives.MainMenu, Archives.Map})
        if (a) Images->AddAllFromArchive(a, true, false);
}

bool PlayLevel(int levelIndex) {
    if (!MainEngine) return false;
    LoadBoardPictures();
    ClearReadyScreen();
    SetBoardParent(MainEngine);
    BoardSources().Locations = Archives.LocationsData;
    BoardSources().Levels = Archives.LevelsData;
    LeaveLocation();
    UnloadBoard();
    const bool started = StartLevel(levelIndex);
    if (levelIndex >= 0 && levelIndex < static_cast<int>(LevelsList.size()))
        LocationAmbience(msg_Start, LevelsList[static_cast<size_t>(levelIndex)].Location);
    ResultDelayActive = false;
    LevelFinished = false;
    CurrentScene = scene_Level;
    WriteLog("Level " + std::to_string(levelIndex + 1) + (started ? " started" : " is empty"), 1);
    return started;
}

void InstallLevelModule() {
    FrameHooks& h = Hooks();
    SetIfEmpty(h.levelTick, LevelTick);
    SetIfEmpty(h.boardPointerUpdate, [] {
        if (CurrentScene != scene_Level) return;
        CopyPointer();
        BoardInput();
    });
    SetIfEmpty(h.scenes[scene_Level].release, [] {
        CopyPointer();
        BoardRelease();
    });
    SetIfEmpty(h.draggingSomething, [] { return SomethingDragged(); });
    SetIfEmpty(h.forgetSprites, [] {
        ForgetBoard();
        SetBoardParent(nullptr);
        // A new game has a new picture catalogue.
        MainPicturesLoaded = false;
        LocationPicturesLoaded = {};
    });

    // Until the loading screens and menus exist: load the main pictures and sounds at the
    // end of the start, show the ready screen, and play the profile's level on the first
    // click.
    SetIfEmpty(h.loadMainResources, [] {
        LoadBoardPictures();
        LoadAllSounds();
    });
    SetIfEmpty(h.createLoadingSprites, CreateReadyScreen);
    SetIfEmpty(h.leaveLoadingScreen, [] { PlayLevel(Player.Level); });

    SetIfEmpty(LocationHooks().stopAmbience, [] {
        if (Player.Level >= 0 && Player.Level < static_cast<int>(LevelsList.size()))
            LocationAmbience(msg_Stop, LevelsList[static_cast<size_t>(Player.Level)].Location);
    });

    SetBoardHost(&TheLevelHost);
}

} // namespace bw
