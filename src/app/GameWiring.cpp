// Every module of the game, connected to the frame and to the board. A new screen registers
// its Scene here, a new panel its ModalLayer, a new actor joins the board's actors.
#include "app/GameWiring.h"

#include "actors/GameActors.h"
#include "app/LoadingScreen.h"
#include "app/MainForm.h"
#include "app/ScreenMode.h"
#include "app/Splash.h"
#include "app/TransitionSteps.h"
#include "audio/SoundEngine.h"
#include "base/ModalLayers.h"
#include "base/ResourceLoading.h"
#include "base/Scene.h"
#include "base/SceneTransition.h"
#include "base/ScreenNotice.h"
#include "board/BoardActors.h"
#include "board/BoardEffects.h"
#include "board/BoardHost.h"
#include "cutscene/CutScene.h"
#include "effects/GameEffects.h"
#include "gui/ButtonProtocol.h"
#include "gui/MessageBox.h"
#include "ingame/Dialogs.h"
#include "ingame/Help.h"
#include "ingame/InGameMenu.h"
#include "ingame/LevelPanels.h"
#include "ingame/LevelResult.h"
#include "ingame/LevelScene.h"
#include "ingame/Tutorial.h"
#include "meta/Awards.h"
#include "meta/CreditsScreen.h"
#include "meta/LevelMap.h"
#include "meta/MainMenu.h"
#include "meta/OptionsScreen.h"
#include "meta/PlayerSelection.h"
#include "meta/Profile.h"

namespace bw {

void WireGame() {
    ConnectButtonSounds();
    RegisterScene(scene_Splash, MakeSplashScene());
    RegisterScene(scene_Level, MakeLevelScene());
    RegisterScene(scene_MainMenu, MakeMainMenuScene());
    RegisterScene(scene_ChoosePlayer, MakePlayerSelectionScene());
    RegisterScene(scene_EnterName, MakeNameEntryScene());
    RegisterScene(scene_Options, MakeOptionsScene());
    RegisterScene(scene_Credits, MakeCreditsScene());
    RegisterScene(scene_Map, MakeMapScene());
    RegisterScene(scene_Awards, MakeAwardsScene());
    SetScreenNotice(MakeAwardNotice());
    RegisterScene(scene_InGameMenu, MakeInGameMenuScene());
    RegisterScene(scene_Help, MakeHelpScene());
    RegisterScene(scene_Video, MakeCutScene());
    CutSceneHooks.screenMode = [](bool video) {
        ComputeScreenMode(SwapChainSize.x, SwapChainSize.y, video);
        if (CurrentDisplayHooks().setEnginesWorldPosition)
            CurrentDisplayHooks().setEnginesWorldPosition(WorldOffset);
    };
    CutSceneHooks.cursor = SetGameCursor;
    OptionsHooks.ScreenTooSmallForWindow = ScreenTooSmallForWindow;
    OptionsHooks.SwitchWindowMode = [](bool fullScreen) { SwitchWindowMode(fullScreen); };
    OptionsHooks.ApplyVSync = SetVSyncOption;
    OptionsHooks.ApplyCursor = [] { SetGameCursor(0); };
    Layers().Register(Layer::Message, MakeMessageLayer());
    Layers().Register(Layer::Result, MakeResultLayer());
    Layers().Register(Layer::Popup, MakePopupLayer());
    Layers().Register(Layer::Dialog, MakeDialogLayer());
    Layers().Register(Layer::Tutorial, MakeTutorialLayer());
    ConnectProfileScreens();
    InstallLoadingScreen();
    SetTransitionSteps(&GameTransitionSteps());
    SetBoardHost(&LevelBoardHost());
    SetBoardEffects(&TheBoardEffects());
    SetBoardActors(&TheBoardActors());
    // The actors, the panels, the menus and the map join here as they are built; until then
    // their scenes and layers are the null ones.
}

void UnwireGame() {
    ClearScenes();
    OptionsHooks = {};
    CutSceneHooks = {};
    Layers().Clear();
    SetBoardHost(nullptr);
    SetBoardActors(nullptr);
    SetBoardEffects(nullptr);
    SetResourceLoader(nullptr);
    SetTransitionSteps(nullptr);
    ProfileHooks = ProfileCallbacks{};
    SetScreenNotice(nullptr);
}

} // namespace bw
