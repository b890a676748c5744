// What the frame calls in the scene, sound, text and loading modules, by role.
//
// The frame never includes those modules: each one installs its entry points here when it is
// set up. An empty hook is skipped and an empty query answers false, so the frame runs with
// whatever modules exist.
#pragma once

#include "base/GameState.h"

#include <array>
#include <functional>
#include <string>

namespace bw {

class TSprite;

struct SceneHooks {
    std::function<void()> update;       // the scene's own per-tick update (before the move)
    std::function<void()> move;         // replaces the plain move of MainEngine when set
    std::function<void(TSprite&)> hit;  // a sprite reached by the hit test
    std::function<void()> escape;       // the Escape key
    std::function<void()> release;      // a left-button release in this scene
    std::function<void()> afterHitTest; // after the per-tick hit test
};

struct FrameHooks {
    std::array<SceneHooks, SceneCount> scenes;

    // Modal layers that take the pointer before the scene does.
    std::function<bool()> messageShown;
    std::function<void(TSprite&)> messageHit;
    std::function<void()> closeMessage; // the message box's cancel action
    std::function<bool()> resultShown;
    std::function<void(TSprite&)> resultHit;
    std::function<void()> createResultPanel;
    std::function<bool()> dialogShown;
    std::function<bool()> popupActive; // the level's pop-up in a state that takes the click
    std::function<void()> popupClick;
    std::function<void()> dialogClick;
    // The dialogs' flag that swallows the next release.
    std::function<bool()> swallowNextRelease;
    std::function<void(bool)> setSwallowNextRelease;
    std::function<bool()> tutorialActive;
    std::function<void()> tutorialClick;
    std::function<bool()> inGameMenuOrHelpOpen;
    std::function<bool()> draggingSomething; // a bird, bonus or key follows the pointer

    // The board.
    std::function<void()> boardPointerUpdate; // BoardInput
    std::function<void()> levelTick;          // the level's per-tick work around the move

    // Scene changes and screens of the start.
    std::function<bool()> transitionVisible;
    std::function<void()> moveTransition;
    std::function<void()> drawTransition;
    std::function<void()> createSplash; // sets scene_Splash; FinishStartup runs when it ends
    std::function<void()> skipSplash;
    std::function<void()> createLoadingSprites;
    std::function<void()> loadMainResources;
    std::function<void()> leaveLoadingScreen;
    std::function<void()> renderLoadingFrame;
    std::function<void()> createPersistentSprites;
    std::function<void()> loadLevelList;

    // Resources.
    std::function<void()> loadTexts;
    std::function<std::string(const std::string& key)> text; // a text of the text database
    std::function<void()> loadStartupImages;
    std::function<void()> loadFonts;
    std::function<void()> loadStartupParticles;

    // Drawing beyond MainEngine.
    std::function<void()> renderParticles;
    std::function<int()> particleSystemCount;
    std::function<void(const std::string& text, float x, float y)> drawDebugText;
    std::function<void()> drawAwardNotice;

    // Sound.
    std::function<void()> soundTick;
    std::function<void()> pauseSound;
    std::function<void()> resumeSound;
    std::function<void()> stopDragLoops;
    std::function<void()> playlistSecond;
    std::function<void()> shutdownSound;
    // The sprite engines are about to be freed with every sprite in them.
    std::function<void()> forgetSprites;
    std::function<void()> levelSecond; // the level clock's per-second step

    // Keyboard text for the name entry.
    std::function<void(const std::string& utf8)> textInput;
    std::function<void()> textKey; // Backspace or Enter while the name is typed

    // Debug keys.
    std::function<void()> cheatEvaluateLevel; // F1
    std::function<void()> cheatOpenAllLevels; // F6
};

FrameHooks& Hooks();

// Calls a hook when it is set.
template <class F, class... A> void CallHook(const F& f, A&&... args) {
    if (f) f(std::forward<A>(args)...);
}
template <class F> bool AskHook(const F& f) {
    return f ? f() : false;
}

} // namespace bw
