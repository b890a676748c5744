#include "platform/ClickOrder.h"

namespace bw {

namespace {

PlatformEvent Mouse(EventType type, int button, int x, int y) {
    PlatformEvent e;
    e.type = type;
    e.button = button;
    e.x = x;
    e.y = y;
    return e;
}

constexpr int LeftButton = static_cast<int>(MouseButton::Left);

} // namespace

void ClickOrder::Press(int button, int clicks, int x, int y, std::deque<PlatformEvent>& out) {
    out.push_back(Mouse(EventType::MouseDown, button, x, y));
    if (button != LeftButton) return;
    const bool second = clicks >= 2;
    if (second) out.push_back(Mouse(EventType::MouseDoubleClick, button, x, y));
    clickPending_ = !second;
}

void ClickOrder::Release(int button, int x, int y, std::deque<PlatformEvent>& out) {
    if (button == LeftButton && clickPending_) {
        clickPending_ = false;
        out.push_back(Mouse(EventType::MouseClick, button, x, y));
    }
    out.push_back(Mouse(EventType::MouseUp, button, x, y));
}

} // namespace bw
