// The one top-level window of the game and what the game asks of it.
//
// The SDL implementation (SdlWindow) owns an OpenGL 3.3 core context. Tests of logic that
// only needs the window's geometry can use any other implementation of this interface.
#pragma once

#include "render/Types.h"

#include <functional>
#include <string>
#include <vector>

namespace bw {

struct MonitorInfo {
    TRect bounds; // desktop coordinates
    bool primary = false;
};

enum class BorderStyle { None, Single };

class Window {
public:
    virtual ~Window() = default;

    // --- Screens -------------------------------------------------------------------------
    virtual std::vector<MonitorInfo> Monitors() const = 0;
    // Size of the primary screen (the desktop's own resolution; never changed by the game).
    virtual TPoint2px PrimaryScreenSize() const = 0;

    // --- Geometry and style --------------------------------------------------------------
    virtual void SetBorderStyle(BorderStyle style) = 0;
    virtual BorderStyle GetBorderStyle() const = 0;
    virtual void SetAlwaysOnTop(bool onTop) = 0;
    virtual bool AlwaysOnTop() const = 0;
    // Outer frame position and size (frame included).
    virtual void SetBounds(int left, int top, int outerWidth, int outerHeight) = 0;
    virtual TRect Bounds() const = 0;
    virtual void SetClientSize(int width, int height) = 0;
    virtual TPoint2px ClientSize() const = 0;
    virtual void SetTitle(const std::string& title) = 0;
    virtual void Show() = 0;
    virtual void Focus() = 0;
    virtual void Minimize() = 0;
    virtual bool HasFocus() const = 0;

    // --- System --------------------------------------------------------------------------
    virtual void SetScreenSaverEnabled(bool enabled) = 0;
    virtual void ShowSystemCursor(bool show) = 0;
    virtual void SetVSync(bool on) = 0;
    // Shows the drawn frame.
    virtual void Present() = 0;
};

// A message box with one OK button, shown whether or not a window exists; it waits for the OK.
// The text always goes to standard error too, which is all there is without a display.
void ShowMessageBox(const std::string& title, const std::string& text);
// Replaces the box on screen (tests watch what would have been shown); empty restores it.
void SetMessageBoxHandler(std::function<void(const std::string& title, const std::string& text)>);

} // namespace bw
