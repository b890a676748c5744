// How the frame hands on what the player does: every pointer event goes to the modal layers
// front to back before the scene sees it; keys and Escape go to the scene on top.
#include "app/MainForm.h"

#include "app/FullScreenKey.h"
#include "app/LoadingScreen.h"
#include "base/CursorPoint.h"
#include "base/GameObjects.h"
#include "base/GameOptions.h"
#include "base/GameState.h"
#include "base/ModalLayers.h"
#include "base/Scene.h"
#include "base/SceneTransition.h"
#include "board/LevelData.h"
#include "gui/ButtonSprites.h"
#include "meta/LevelMap.h"
#include "meta/Profile.h"
#include "platform/Events.h"
#include "render/DisplayState.h"

#include <cmath>

namespace bw {

void TMainForm::RouteHit(TSprite& sprite) {
    if (!Layers().Hit(sprite)) SceneOf(CurrentScene).Hit(sprite);
}

void TMainForm::Dispatch(const PlatformEvent& e) {
    switch (e.type) {
    case EventType::Quit:
        Close();
        break;
    case EventType::MouseMove:
        FormMouseMove(e.x, e.y);
        break;
    case EventType::MouseDown:
        FormMouseDown(e.button);
        break;
    case EventType::MouseDoubleClick:
        FormDblClick();
        break;
    case EventType::MouseUp:
        FormMouseUp(e.button);
        break;
    case EventType::MouseClick:
        FormClick();
        break;
    case EventType::MouseEnter:
        FormMouseEnter();
        break;
    case EventType::MouseLeave:
        FormMouseLeave();
        break;
    case EventType::KeyDown:
        // Before anything else: Alt+Enter must not also confirm a typed name.
        if (IsFullScreenKey(e)) {
            FullScreenKeyDown();
            break;
        }
        if (e.repeat && e.alt && e.key == Key::Enter) break;
        if (e.key == Key::Backspace || e.key == Key::Enter) SceneOf(CurrentScene).EditKey(e.key);
        FormKeyDown(e.key);
        break;
    case EventType::TextInput:
        SceneOf(CurrentScene).TextInput(e.text);
        break;
    case EventType::Activated:
        OnAppActivate();
        break;
    case EventType::Deactivated:
        OnAppDeactivate();
        break;
    case EventType::Restored:
        OnAppRestore();
        break;
    default:
        break;
    }
}

void TMainForm::FormMouseMove(int x, int y) {
    if (!CursorPoint || CursorPoint->FDeaded) return;
    CursorPoint->FX = static_cast<float>(x) / DisplayScale.x;
    CursorPoint->FY = static_cast<float>(y) / DisplayScale.y;
    MouseX = static_cast<double>(CursorPoint->FX) + WorldOffset.x;
    MouseY = static_cast<double>(CursorPoint->FY) + WorldOffset.y;
    CursorPoint->FCollidePos = TPoint2{static_cast<float>(MouseX), static_cast<float>(MouseY)};
    CursorPoint->FCollideRect = TRect{
        static_cast<int>(std::nearbyint(MouseX)), static_cast<int>(std::nearbyint(MouseY)),
        static_cast<int>(std::nearbyint(MouseX + 1)), static_cast<int>(std::nearbyint(MouseY + 1))};
    if (CursorImage) {
        const bool dragging = SceneOf(CurrentScene).Dragging();
        CursorImage->FX = static_cast<float>(MouseX - (dragging ? 15 : 5));
        CursorImage->FY = static_cast<float>(MouseY - (dragging ? 35 : 13));
    }
}

void TMainForm::FormMouseDown(int button) {
    if (CurrentScene == scene_Loading || LevelFinished) return;
    if (CurrentScene == scene_Loaded) {
        LeaveLoadingScreen();
        return;
    }
    if (TransitionVisible() || button != static_cast<int>(MouseButton::Left)) return;
    // A shown result panel, message box or dialog ignores the press.
    if (Layers().Press()) return;
    RunHitTest();
    if (!Layers().BlocksBoard()) SceneOf(CurrentScene).Press();
    MouseReleased = false;
    MouseButtonDown = true;
}

void TMainForm::FormMouseUp(int button) {
    if (CurrentScene == scene_Loading || CurrentScene == scene_Loaded || LevelFinished) return;
    // A shown result panel ignores the release; a dialog swallows it (and the first one after
    // it closes).
    if (Layers().Release()) return;
    if (TransitionVisible() || button != static_cast<int>(MouseButton::Left)) return;
    SceneOf(CurrentScene).Release();
}

void TMainForm::FormClick() {
    switch (CurrentScene) {
    case scene_Loading:
        return;
    case scene_Loaded:
        LeaveLoadingScreen();
        return;
    case scene_Splash:
        SceneOf(scene_Splash).Escape(); // a click skips the splash as Escape does
        return;
    case scene_Level:
        // The level's pop-up, then a dialog, takes the click whole.
        if (Layers().Click()) return;
        break;
    default:
        break;
    }
    if (LevelFinished || TransitionVisible()) return;
    MouseClicked = true;
    RunHitTest();
    Layers().AfterClick();
}

void TMainForm::FormDblClick() {
    if (CurrentScene == scene_Loading || LevelFinished) return;
    if (CurrentScene == scene_Loaded) {
        LeaveLoadingScreen();
        return;
    }
    if (TransitionVisible()) return;
    MouseDblClicked = true;
    RunHitTest();
}

void TMainForm::FullScreenKeyDown() {
    // Not while archives are read, during a fade or in a cut-scene, whose screen mode is its
    // own: the window changes only between scenes' frames the player is looking at.
    if (CurrentScene == scene_Loading || CurrentScene == scene_Video || TransitionVisible()) return;
    ToggleFullScreenFromKeyboard();
}

void TMainForm::FormKeyDown(Key key) {
    if (CurrentScene == scene_Loading) return;
    if (CurrentScene == scene_Loaded) {
        LeaveLoadingScreen();
        return;
    }
    if (TransitionVisible()) return;
    if (key == Key::Escape) HandleEscape();
    if (!CheatMode) return;
    switch (key) {
    case Key::F1:
        Layers().DebugKey(key); // the result panel evaluates the level
        break;
    case Key::F6:
        OpenAllLevels();
        RefreshMap();
        break;
    case Key::Home:
        LoadTexts();
        break;
    default:
        break;
    }
}

void TMainForm::FormMouseEnter() {
    switch (CurrentScene) {
    case scene_Loading:
    case scene_Loaded:
    case scene_Splash:
    case scene_Video:
        return;
    default:
        if (CursorImage && GameOptions.Cursor) CursorImage->FVisible = true;
    }
}

void TMainForm::FormMouseLeave() {
    if (CursorImage) CursorImage->FVisible = false;
}

void HandleEscape() {
    if (LevelFinished) return;
    switch (CurrentScene) {
    case scene_Splash:
    case scene_Video:
    case scene_Help:
        SceneOf(CurrentScene).Escape();
        return;
    case scene_Level:
    case scene_Map:
    case scene_MainMenu:
    case scene_Options:
    case scene_ChoosePlayer:
    case scene_EnterName:
    case scene_Credits:
    case scene_Awards:
    case scene_InGameMenu:
        // A shown message box closes first (and in a level, a dialog moves on).
        if (!Layers().Escape()) SceneOf(CurrentScene).Escape();
        return;
    default:
        return;
    }
}

} // namespace bw
