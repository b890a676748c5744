#include "app/FullScreenKey.h"

#include "app/ScreenMode.h"
#include "base/GameOptions.h"
#include "base/GameState.h"
#include "gui/ButtonNames.h"
#include "meta/MainMenu.h"
#include "meta/OptionsScreen.h"
#include "platform/Log.h"

namespace bw {

bool IsFullScreenKey(const PlatformEvent& event) {
    if (event.type != EventType::KeyDown || event.repeat) return false;
    return event.key == Key::F11 || (event.key == Key::Enter && event.alt);
}

void ToggleFullScreenFromKeyboard() {
    const bool fullScreen = !GameOptions.FullScreen;
    if (!fullScreen && ScreenTooSmallForWindow()) {
        WriteLog("Full screen kept: the screen is too small for a window", 1);
        return;
    }
    GameOptions.FullScreen = fullScreen;
    SwitchWindowMode(fullScreen);
    WriteLog(fullScreen ? "Full screen by key" : "Window by key", 1);

    if (TOptions_CheckBox* box = OptionsCheckBox(button_MM_Options_FullScreen_CheckBox))
        box->SetChecked(fullScreen);
    const uint8_t underneath = CurrentScene == scene_Options ? OptionsOpenedFrom() : CurrentScene;
    RefreshMainMenuLayout();
    if ((underneath == scene_Level || underneath == scene_InGameMenu) &&
        OptionsHooks.RefreshLevelLayout)
        OptionsHooks.RefreshLevelLayout();
    SaveOptions();
}

} // namespace bw
