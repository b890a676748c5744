// F11 and Alt+Enter switch between full screen and a window, the desktop's usual keys for
// what the options' full-screen box does.
#pragma once

#include "platform/Events.h"

namespace bw {

// F11, or Enter with an Alt key held; a held key's repeats do not count.
bool IsFullScreenKey(const PlatformEvent& event);

// Switches the window as the options' full-screen box does (refused on a screen too small
// for a window), keeps the box in step when the options are open, refreshes the layouts that
// follow the window's shape and saves the options at once.
void ToggleFullScreenFromKeyboard();

} // namespace bw
