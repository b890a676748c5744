// Input and window events as the game sees them, independent of the platform library.
#pragma once

#include <string>

namespace bw {

enum class EventType {
    None,
    Quit,             // the window was asked to close
    MouseMove,        // x, y in client pixels
    MouseDown,        // button, x, y
    MouseUp,          // button, x, y
    MouseClick,       // left button pressed and released inside the window
    MouseDoubleClick, // second press of a double click
    MouseEnter,
    MouseLeave,
    KeyDown,     // key
    TextInput,   // text (UTF-8), only while text input is on
    Activated,   // the window got the input focus
    Deactivated, // the window lost the input focus
    Restored,    // the window came back from being minimised
    Minimized,
    Resized, // x, y: new client size
};

enum class Key { Unknown, Escape, F1, F6, F11, Home, Backspace, Enter, Left, Right, Delete, End };

enum class MouseButton { Left = 1, Middle = 2, Right = 3 };

struct PlatformEvent {
    EventType type = EventType::None;
    int x = 0;
    int y = 0;
    int button = 0;
    Key key = Key::Unknown;
    bool alt = false;    // KeyDown: an Alt key is held
    bool repeat = false; // KeyDown: the key is held down and repeats
    std::string text;
};

} // namespace bw
