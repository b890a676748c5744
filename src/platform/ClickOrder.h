// Turns the presses and releases of the mouse into the events the game expects, in its order:
// a press is MouseDown; the second press of a double click is MouseDown, then
// MouseDoubleClick; the release of a left press that began inside the window is MouseClick,
// then MouseUp, except after a double click's second press, which has no click of its own.
#pragma once

#include "platform/Events.h"

#include <deque>

namespace bw {

class ClickOrder {
public:
    // `clicks` counts the presses of a quick series (2 for a double click's second press).
    void Press(int button, int clicks, int x, int y, std::deque<PlatformEvent>& out);
    void Release(int button, int x, int y, std::deque<PlatformEvent>& out);

private:
    bool clickPending_ = false;
};

} // namespace bw
