// The game window on SDL2 with an OpenGL 3.3 core context.
//
// Works the same under a display server and with SDL's offscreen driver (no display): the
// offscreen driver draws into an off-screen surface that can still be read back.
#pragma once

#include "platform/ClickOrder.h"
#include "platform/Events.h"
#include "platform/Window.h"

#include <deque>
#include <memory>
#include <string>

struct SDL_Window;
union SDL_Event;

namespace bw {

struct WindowSettings {
    std::string title = "Branchwick";
    int clientWidth = 1280;
    int clientHeight = 720;
    bool visible = true;
};

class SdlWindow final : public Window {
public:
    // Opens the window and its GL context; returns nullptr (and fills `error`) when the video
    // system or a GL 3.3 core context cannot be had.
    static std::unique_ptr<SdlWindow> Create(const WindowSettings& settings, std::string* error);
    ~SdlWindow() override;
    SdlWindow(const SdlWindow&) = delete;
    SdlWindow& operator=(const SdlWindow&) = delete;

    std::vector<MonitorInfo> Monitors() const override;
    TPoint2px PrimaryScreenSize() const override;

    void SetBorderStyle(BorderStyle style) override;
    BorderStyle GetBorderStyle() const override { return border_; }
    void SetAlwaysOnTop(bool onTop) override;
    bool AlwaysOnTop() const override { return onTop_; }
    void SetBounds(int left, int top, int outerWidth, int outerHeight) override;
    TRect Bounds() const override;
    void SetClientSize(int width, int height) override;
    TPoint2px ClientSize() const override;
    void SetTitle(const std::string& title) override;
    void Show() override;
    void Focus() override;
    void Minimize() override;
    bool HasFocus() const override;

    void SetScreenSaverEnabled(bool enabled) override;
    void ShowSystemCursor(bool show) override;
    void SetVSync(bool on) override;
    void Present() override;

    // Takes the next pending event; false when none is waiting.
    bool PollEvent(PlatformEvent& event);
    // Waits up to `timeoutMs` for an event.
    bool WaitEvent(PlatformEvent& event, int timeoutMs);
    // Text input for the name entry: on while the hidden edit field has the focus.
    void StartTextInput();
    void StopTextInput();

    // Makes the window report one primary screen of this size instead of the real ones (the
    // replay harness runs on a virtual desktop of the size it is asked for).
    void SetDesktopOverride(TPoint2px size) { desktopOverride_ = size; }

    // The name of the SDL video driver in use ("x11", "offscreen", ...).
    std::string VideoDriver() const;
    // The GL renderer string of the context.
    std::string GlRenderer() const;
    // Screen facts for the log: bits per pixel of the desktop mode and its DPI.
    int DesktopDepth() const;
    float DesktopDpi() const;

private:
    SdlWindow() = default;
    bool Translate(const SDL_Event& sdl, PlatformEvent& event);

    SDL_Window* window_ = nullptr;
    void* glContext_ = nullptr;
    BorderStyle border_ = BorderStyle::Single;
    bool onTop_ = false;
    ClickOrder clicks_;
    std::deque<PlatformEvent> pending_;
    TPoint2px desktopOverride_{};
};

} // namespace bw
