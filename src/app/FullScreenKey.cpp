#include "app/FullScreenKey.h"

#include "app/ScreenMode.h"
#include "base/GameOptions.h"
#include "base/GameState.h"
#include "base/Scene.h"
#include "gui/ButtonNames.h"
#include "gui/MessageBox.h"
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
        OpenNotice("msg_smallresolution");
        return;
    }
    GameOptions.FullScreen = fullScreen;
    SwitchWindowMode(fullScreen);
    WriteLog(fullScreen ? "Full screen by key" : "Window by key", 1);

    if (TOptions_CheckBox* box = OptionsCheckBox(button_MM_Options_FullScreen_CheckBox))
        box->SetChecked(fullScreen);
    // The scene on screen and the one beneath it lay out again for the new width.
    SceneOf(CurrentScene).WindowShapeChanged();
    if (SceneIsOver()) SceneOf(SceneBelow()).WindowShapeChanged();
    SaveOptions();
}

} // namespace bw
