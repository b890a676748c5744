#include "platform/SdlWindow.h"

#include <SDL.h>
#include <epoxy/gl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <functional>

namespace bw {

namespace {

// SDL's video subsystem is shared by every window of the process (tests open several).
bool InitVideo(std::string* error) {
    if (SDL_WasInit(SDL_INIT_VIDEO)) return true;
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        if (error) *error = std::string("SDL video: ") + SDL_GetError();
        return false;
    }
    return true;
}

Key TranslateKey(SDL_Keycode code) {
    switch (code) {
    case SDLK_ESCAPE:
        return Key::Escape;
    case SDLK_F1:
        return Key::F1;
    case SDLK_F6:
        return Key::F6;
    case SDLK_F11:
        return Key::F11;
    case SDLK_HOME:
        return Key::Home;
    case SDLK_BACKSPACE:
        return Key::Backspace;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
        return Key::Enter;
    case SDLK_LEFT:
        return Key::Left;
    case SDLK_RIGHT:
        return Key::Right;
    case SDLK_DELETE:
        return Key::Delete;
    case SDLK_END:
        return Key::End;
    default:
        return Key::Unknown;
    }
}

// The leak checker cannot name the frames of a GL driver that was unloaded before the process
// ended, so its leftovers could not be told from ours. Under the sanitizers the software
// driver is pinned in memory for the life of the process.
void PinGraphicsDriver() {
#if defined(__SANITIZE_ADDRESS__)
    for (const char* path : {"/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so",
                             "/usr/lib/aarch64-linux-gnu/dri/swrast_dri.so"})
        if (dlopen(path, RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE)) break;
#endif
}

} // namespace

std::unique_ptr<SdlWindow> SdlWindow::Create(const WindowSettings& settings, std::string* error) {
    PinGraphicsDriver();
    if (!InitVideo(error)) return nullptr;

    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);

    std::unique_ptr<SdlWindow> win(new SdlWindow());
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_ALLOW_HIGHDPI;
    if (!settings.visible) flags |= SDL_WINDOW_HIDDEN;
    win->window_ = SDL_CreateWindow(settings.title.c_str(), SDL_WINDOWPOS_CENTERED,
                                    SDL_WINDOWPOS_CENTERED, std::max(1, settings.clientWidth),
                                    std::max(1, settings.clientHeight), flags);
    if (!win->window_) {
        if (error) *error = std::string("SDL window: ") + SDL_GetError();
        return nullptr;
    }
    win->glContext_ = SDL_GL_CreateContext(win->window_);
    if (!win->glContext_) {
        if (error) *error = std::string("OpenGL 3.3 core context: ") + SDL_GetError();
        return nullptr;
    }
    SDL_GL_MakeCurrent(win->window_, win->glContext_);
    if (epoxy_gl_version() < 33) {
        if (error) *error = "OpenGL 3.3 is not available";
        return nullptr;
    }
    SDL_GL_SetSwapInterval(0);
    return win;
}

SdlWindow::~SdlWindow() {
    StopTextInput();
    if (glContext_) SDL_GL_DeleteContext(glContext_);
    if (window_) SDL_DestroyWindow(window_);
}

std::vector<MonitorInfo> SdlWindow::Monitors() const {
    std::vector<MonitorInfo> list;
    if (desktopOverride_.x > 0)
        return {MonitorInfo{TRect{0, 0, desktopOverride_.x, desktopOverride_.y}, true}};
    const int n = SDL_GetNumVideoDisplays();
    for (int i = 0; i < n; ++i) {
        SDL_Rect r;
        if (SDL_GetDisplayBounds(i, &r) != 0) continue;
        // SDL reports the primary display as the one at the desktop origin.
        list.push_back(MonitorInfo{TRect{r.x, r.y, r.x + r.w, r.y + r.h}, r.x == 0 && r.y == 0});
    }
    return list;
}

TPoint2px SdlWindow::PrimaryScreenSize() const {
    if (desktopOverride_.x > 0) return desktopOverride_;
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) == 0 && mode.w > 0 && mode.h > 0)
        return {mode.w, mode.h};
    SDL_Rect r;
    if (SDL_GetDisplayBounds(0, &r) == 0 && r.w > 0 && r.h > 0) return {r.w, r.h};
    return {1920, 1080};
}

void SdlWindow::SetBorderStyle(BorderStyle style) {
    border_ = style;
    SDL_SetWindowBordered(window_, style == BorderStyle::Single ? SDL_TRUE : SDL_FALSE);
}

void SdlWindow::SetAlwaysOnTop(bool onTop) {
    onTop_ = onTop;
    SDL_SetWindowAlwaysOnTop(window_, onTop ? SDL_TRUE : SDL_FALSE);
}

void SdlWindow::SetBounds(int left, int top, int outerWidth, int outerHeight) {
    int bt = 0, bl = 0, bb = 0, br = 0;
    SDL_GetWindowBordersSize(window_, &bt, &bl, &bb, &br);
    SDL_SetWindowPosition(window_, left + bl, top + bt);
    SDL_SetWindowSize(window_, std::max(1, outerWidth - bl - br),
                      std::max(1, outerHeight - bt - bb));
}

TRect SdlWindow::Bounds() const {
    int x = 0, y = 0, w = 0, h = 0;
    int bt = 0, bl = 0, bb = 0, br = 0;
    SDL_GetWindowPosition(window_, &x, &y);
    SDL_GetWindowSize(window_, &w, &h);
    SDL_GetWindowBordersSize(window_, &bt, &bl, &bb, &br);
    return TRect{x - bl, y - bt, x + w + br, y + h + bb};
}

void SdlWindow::SetClientSize(int width, int height) {
    SDL_SetWindowSize(window_, std::max(1, width), std::max(1, height));
}

TPoint2px SdlWindow::ClientSize() const {
    int w = 0, h = 0;
    SDL_GL_GetDrawableSize(window_, &w, &h);
    if (w <= 0 || h <= 0) SDL_GetWindowSize(window_, &w, &h);
    return {w, h};
}

void SdlWindow::SetTitle(const std::string& title) {
    SDL_SetWindowTitle(window_, title.c_str());
}
void SdlWindow::Show() {
    SDL_ShowWindow(window_);
}
void SdlWindow::Focus() {
    SDL_RaiseWindow(window_);
    SDL_SetWindowInputFocus(window_);
}
void SdlWindow::Minimize() {
    SDL_MinimizeWindow(window_);
}
bool SdlWindow::HasFocus() const {
    return (SDL_GetWindowFlags(window_) & SDL_WINDOW_INPUT_FOCUS) != 0;
}

void SdlWindow::SetScreenSaverEnabled(bool enabled) {
    if (enabled)
        SDL_EnableScreenSaver();
    else
        SDL_DisableScreenSaver();
}

void SdlWindow::ShowSystemCursor(bool show) {
    SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
}

void SdlWindow::SetVSync(bool on) {
    // Adaptive sync first when asked for; plain sync when the driver refuses it.
    if (on) {
        if (SDL_GL_SetSwapInterval(-1) != 0) SDL_GL_SetSwapInterval(1);
    } else {
        SDL_GL_SetSwapInterval(0);
    }
}

void SdlWindow::Present() {
    SDL_GL_SwapWindow(window_);
}

bool SdlWindow::Translate(const SDL_Event& sdl, PlatformEvent& event) {
    event = PlatformEvent{};
    switch (sdl.type) {
    case SDL_QUIT:
        event.type = EventType::Quit;
        return true;
    case SDL_MOUSEMOTION:
        event.type = EventType::MouseMove;
        event.x = sdl.motion.x;
        event.y = sdl.motion.y;
        return true;
    case SDL_MOUSEBUTTONDOWN:
        clicks_.Press(sdl.button.button, sdl.button.clicks, sdl.button.x, sdl.button.y, pending_);
        return false;
    case SDL_MOUSEBUTTONUP:
        clicks_.Release(sdl.button.button, sdl.button.x, sdl.button.y, pending_);
        return false;
    case SDL_KEYDOWN:
        event.type = EventType::KeyDown;
        event.key = TranslateKey(sdl.key.keysym.sym);
        event.alt = (sdl.key.keysym.mod & KMOD_ALT) != 0;
        event.repeat = sdl.key.repeat != 0;
        return true;
    case SDL_TEXTINPUT:
        event.type = EventType::TextInput;
        event.text = sdl.text.text;
        return true;
    case SDL_WINDOWEVENT:
        switch (sdl.window.event) {
        case SDL_WINDOWEVENT_ENTER:
            event.type = EventType::MouseEnter;
            return true;
        case SDL_WINDOWEVENT_LEAVE:
            event.type = EventType::MouseLeave;
            return true;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            event.type = EventType::Activated;
            return true;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            event.type = EventType::Deactivated;
            return true;
        case SDL_WINDOWEVENT_RESTORED:
            event.type = EventType::Restored;
            return true;
        case SDL_WINDOWEVENT_MINIMIZED:
            event.type = EventType::Minimized;
            return true;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            event.type = EventType::Resized;
            event.x = sdl.window.data1;
            event.y = sdl.window.data2;
            return true;
        case SDL_WINDOWEVENT_CLOSE:
            event.type = EventType::Quit;
            return true;
        default:
            return false;
        }
    default:
        return false;
    }
}

bool SdlWindow::PollEvent(PlatformEvent& event) {
    SDL_Event sdl;
    for (;;) {
        // A press or release may stand for several events: they come out one by one.
        if (!pending_.empty()) {
            event = std::move(pending_.front());
            pending_.pop_front();
            return true;
        }
        if (!SDL_PollEvent(&sdl)) return false;
        if (Translate(sdl, event)) return true;
    }
}

bool SdlWindow::WaitEvent(PlatformEvent& event, int timeoutMs) {
    if (PollEvent(event)) return true;
    SDL_Event sdl;
    if (SDL_WaitEventTimeout(&sdl, timeoutMs)) {
        SDL_PushEvent(&sdl);
        return PollEvent(event);
    }
    return false;
}

void SdlWindow::StartTextInput() {
    SDL_StartTextInput();
}
void SdlWindow::StopTextInput() {
    if (SDL_WasInit(SDL_INIT_VIDEO) && SDL_IsTextInputActive()) SDL_StopTextInput();
}

std::string SdlWindow::VideoDriver() const {
    const char* name = SDL_GetCurrentVideoDriver();
    return name ? name : "";
}

std::string SdlWindow::GlRenderer() const {
    const GLubyte* s = glGetString(GL_RENDERER);
    return s ? reinterpret_cast<const char*>(s) : "";
}

int SdlWindow::DesktopDepth() const {
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) == 0) return SDL_BITSPERPIXEL(mode.format);
    return 0;
}

float SdlWindow::DesktopDpi() const {
    float ddpi = 0, hdpi = 0, vdpi = 0;
    if (SDL_GetDisplayDPI(0, &ddpi, &hdpi, &vdpi) == 0 && hdpi > 0) return hdpi;
    return 96.0f;
}

namespace {

std::function<void(const std::string&, const std::string&)>& MessageBoxHandler() {
    static std::function<void(const std::string&, const std::string&)> handler;
    return handler;
}

bool Headless(const char* driver) {
    return driver && (std::string(driver) == "offscreen" || std::string(driver) == "dummy");
}

// Whether a box can be put on a screen: a display server is there and nobody asked for the
// off-screen drivers. A box needs no window of ours, nor the video system started.
bool DisplayAvailable() {
    if (SDL_WasInit(SDL_INIT_VIDEO)) return !Headless(SDL_GetCurrentVideoDriver());
    if (Headless(std::getenv("SDL_VIDEODRIVER"))) return false;
    return std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY");
}

} // namespace

void SetMessageBoxHandler(std::function<void(const std::string&, const std::string&)> handler) {
    MessageBoxHandler() = std::move(handler);
}

void ShowMessageBox(const std::string& title, const std::string& text) {
    std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
    if (MessageBoxHandler()) {
        MessageBoxHandler()(title, text);
        return;
    }
    // Without a display standard error is all there is.
    if (DisplayAvailable())
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, title.c_str(), text.c_str(), nullptr);
}

} // namespace bw
