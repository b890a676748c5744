#include "app/ScreenMode.h"

#include "base/GameOptions.h"
#include "data/IniFile.h"
#include "platform/Log.h"
#include "platform/Rounding.h"
#include "platform/Window.h"

#include <cmath>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace bw {

TPoint2px SwapChainSize{0, 0};
int DesktopWidth = DesignWidth;
int DesktopHeight = DesignHeight;

namespace {

DisplayHooks g_hooks;
bool g_swapChainAdded = false;

// The window sits this many pixels above the desktop's middle.
constexpr int kCentreLift = 15;

// Whole-numbered offsets are stored without a negative zero.
float StoreOffset(long double v) {
    return static_cast<float>(v) + 0.0f;
}

Window* Win() {
    return g_hooks.window;
}

void ResizeSwapChain(TPoint2px size) {
    if (g_swapChainAdded && g_hooks.swapChain.resizeSwapChain) {
        g_hooks.swapChain.resizeSwapChain(size);
    }
}

void SetEngineWorldPositions() {
    if (g_hooks.setEnginesWorldPosition) g_hooks.setEnginesWorldPosition(WorldOffset);
}

void SetEdgeBars(int mode, float thickness) {
    if (g_hooks.setEdgeBars) g_hooks.setEdgeBars(mode, thickness);
}

// The last monitor that reports itself primary; the first one when none does.
const MonitorInfo* PrimaryMonitor(const std::vector<MonitorInfo>& monitors) {
    const MonitorInfo* found = nullptr;
    for (const MonitorInfo& m : monitors) {
        if (m.primary) found = &m;
    }
    if (found == nullptr && !monitors.empty()) found = &monitors.front();
    return found;
}

std::string ModeLogLine(const char* mode, float scale, char axis, float offset) {
    const long long rounded = static_cast<long long>(RoundEven(offset));
    return std::string(mode) + " mode. ResX - " + FormatFloat15(static_cast<double>(scale)) +
           " ; Offset (" + axis + ") - " + std::to_string(rounded);
}

} // namespace

void SetDisplayHooks(DisplayHooks hooks) {
    g_hooks = std::move(hooks);
}

const DisplayHooks& CurrentDisplayHooks() {
    return g_hooks;
}

void ResetDisplayState() {
    DisplayScale = TPoint2{1.0f, 1.0f};
    WorldOffset = TPoint2{0.0f, 0.0f};
    SwapChainSize = TPoint2px{0, 0};
    DesktopWidth = DesignWidth;
    DesktopHeight = DesignHeight;
    g_hooks = DisplayHooks{};
    g_swapChainAdded = false;
}

bool ScreenTooSmallForWindow() {
    if (Win() == nullptr) return false;
    const TPoint2px screen = Win()->PrimaryScreenSize();
    return screen.x < MinWindowedDesktopWidth && screen.y < MinWindowedDesktopHeight;
}

std::optional<TPoint2px> StartupClientSize(uint8_t resolution) {
    switch (resolution) {
    case 1:
        return TPoint2px{800, 600};
    case 2:
        return TPoint2px{1024, 768};
    case 3:
        return TPoint2px{1280, 960};
    case ResolutionPortrait:
        return TPoint2px{740, 960};
    case ResolutionAuto:
        return AutoWindowSize();
    default:
        return std::nullopt;
    }
}

std::optional<TPoint2px> SwitchedClientSize(uint8_t resolution) {
    switch (resolution) {
    case 1:
        return TPoint2px{800, 600};
    case 2:
        return TPoint2px{1024, 768};
    case 3:
        return TPoint2px{1280, 1024};
    case ResolutionPortrait:
        return TPoint2px{1366, 768};
    case ResolutionAuto:
        return AutoWindowSize();
    default:
        return std::nullopt;
    }
}

TPoint2px AutoWindowSize() {
    struct Row {
        int minWidth, minHeight, width, height;
    };
    // 4:3 and 5:4 desktops.
    static constexpr Row kSquare[] = {
        {1412, 1066, 1280, 960},
        {1156, 874, 1024, 768},
        {932, 706, 800, 600},
    };
    // Wide desktops.
    static constexpr Row kWide[] = {
        {2160, 1215, 1920, 1080}, {1840, 1035, 1600, 900}, {1520, 855, 1280, 720},
        {1264, 711, 1024, 576},   {1040, 585, 800, 450},
    };
    const bool square =
        DesktopHeight > 0 &&
        static_cast<long double>(DesktopWidth) / static_cast<long double>(DesktopHeight) < 1.34L;
    const Row* first = square ? std::begin(kSquare) : std::begin(kWide);
    const Row* last = square ? std::end(kSquare) : std::end(kWide);
    for (const Row* row = first; row != last; ++row) {
        if (DesktopWidth >= row->minWidth && DesktopHeight >= row->minHeight) {
            return TPoint2px{row->width, row->height};
        }
    }
    return TPoint2px{800, 600};
}

void ComputeScreenMode(int width, int height, bool video) {
    if (width <= 0 || height <= 0) return;
    const long double w = width;
    const long double h = height;
    const long double f = w / h;

    if (f >= 1.25L && (!video || f >= 1.78L)) {
        // All 1080 rows; the sides are cropped, or framed by bars on wide windows.
        const float scale = static_cast<float>(h / DesignHeight);
        const long double e = RoundEven(w / 2 - (static_cast<long double>(height * 16) / 9) / 2);
        DisplayScale = TPoint2{scale, scale};
        WorldOffset = TPoint2{StoreOffset(RoundEven(-e / scale)), 0.0f};
        WriteLog(ModeLogLine("Main", scale, 'x', WorldOffset.x));
        if (f > 1.78L) {
            SetEdgeBars(EdgeBarsSides, WorldOffset.x);
        } else {
            SetEdgeBars(EdgeBarsNone, 0.0f);
        }
    } else if (f >= 1.25L || video) {
        // Cut-scenes: all 1920 columns with bars above and below.
        const float scale = static_cast<float>(w / DesignWidth);
        const long double e = RoundEven(h / 2 - (static_cast<long double>(width * 9) / 16) / 2);
        DisplayScale = TPoint2{scale, scale};
        WorldOffset = TPoint2{0.0f, StoreOffset(RoundEven(-e / scale))};
        SetEdgeBars(EdgeBarsTopBottom, WorldOffset.y);
        WriteLog(ModeLogLine(f >= 1.25L ? "Video" : "Video portret", scale, 'y', WorldOffset.y));
    } else {
        // Portrait: the 1440 central columns, bars above and below.
        const float scale = static_cast<float>(w / 1440);
        const long double visible = static_cast<long double>(scale) * DesignWidth * 9 / 16;
        const long double e = RoundEven(h / 2 - visible / 2);
        DisplayScale = TPoint2{scale, scale};
        WorldOffset = TPoint2{240.0f, StoreOffset(RoundEven(-e / scale))};
        SetEdgeBars(EdgeBarsTopBottom, WorldOffset.y);
        WriteLog(ModeLogLine("Portret main", scale, 'y', WorldOffset.y));
    }

    if (g_hooks.setEnginesVisibleSize) g_hooks.setEnginesVisibleSize(width, height);
}

void SetClientSize(TPoint2px size) {
    if (Win() != nullptr) Win()->SetClientSize(size.x, size.y);
    SwapChainSize = size;
    ComputeScreenMode(size.x, size.y, false);
}

void SetWindowMode(uint8_t mode) {
    GameOptions.FullScreen = mode == 1;
    Window* window = Win();
    if (window == nullptr) return;
    const TPoint2px screen = window->PrimaryScreenSize();

    if (mode != 1) {
        window->SetScreenSaverEnabled(true);
        DesktopWidth = screen.x;
        DesktopHeight = screen.y;
        window->SetBorderStyle(BorderStyle::Single);
        window->SetAlwaysOnTop(false);
        return;
    }

    window->SetScreenSaverEnabled(false);
    ResizeSwapChain(screen);
    const std::vector<MonitorInfo> monitors = window->Monitors();
    const MonitorInfo* primary = PrimaryMonitor(monitors);
    if (primary == nullptr) return; // no monitor: the window stays where it is

    DesktopWidth = screen.x;
    DesktopHeight = screen.y;
    window->SetBorderStyle(BorderStyle::None);
    const TRect b = primary->bounds;
    window->SetBounds(b.left, b.top, b.Width(), b.Height());
    SwapChainSize = TPoint2px{DesktopWidth, DesktopHeight};
    window->SetClientSize(DesktopWidth, DesktopHeight);
    ComputeScreenMode(DesktopWidth, DesktopHeight, false);
    window->SetAlwaysOnTop(true);
    window->Focus();
    // Nudging the size makes the window system re-evaluate the covering window.
    window->SetBounds(b.left, b.top, DesktopWidth - 1, DesktopHeight - 1);
    window->SetBounds(b.left, b.top, DesktopWidth, DesktopHeight);
}

void CentreWindow() {
    Window* window = Win();
    if (window == nullptr) return;
    int originX = 0;
    int originY = 0;
    const std::vector<MonitorInfo> monitors = window->Monitors();
    if (const MonitorInfo* primary = PrimaryMonitor(monitors)) {
        originX = primary->bounds.left;
        originY = primary->bounds.top;
    }
    const TRect outer = window->Bounds();
    int left = DesktopWidth / 2 - outer.Width() / 2;
    int top = DesktopHeight / 2 - outer.Height() / 2 - kCentreLift;
    // A window larger than the desktop keeps its title bar reachable.
    if (left < 0) left = 0;
    if (top < 0) top = 0;
    window->SetBounds(originX + left, originY + top, outer.Width(), outer.Height());
}

void SetupDisplay() {
    Window* window = Win();
    if (window == nullptr) return;

    if (ScreenTooSmallForWindow()) GameOptions.FullScreen = true;

    if (GameOptions.FullScreen) {
        SetWindowMode(1);
    } else {
        SetWindowMode(0);
        if (const auto size = StartupClientSize(GameOptions.Resolution)) SetClientSize(*size);
        CentreWindow();
    }

    SwapChainSize = window->ClientSize();
    if (g_hooks.swapChain.addSwapChain) {
        const bool vsync = GameOptions.VSync;
        g_hooks.swapChain.addSwapChain(SwapChainSize, vsync, vsync ? 1 : 0);
    }
    g_swapChainAdded = true;

    window->ShowSystemCursor(false);
}

bool SwitchWindowMode(bool fullScreen) {
    Window* window = Win();
    if (window == nullptr) return false;

    if (fullScreen) {
        SetWindowMode(1);
    } else {
        if (ScreenTooSmallForWindow()) return false;
        window->SetBorderStyle(BorderStyle::Single);
        if (const auto size = SwitchedClientSize(GameOptions.Resolution)) SetClientSize(*size);
        SetWindowMode(0);
    }
    ResizeSwapChain(SwapChainSize);
    SetEngineWorldPositions();
    if (!fullScreen) CentreWindow();
    return true;
}

int MaxFpsFromOptions() {
    return GameOptions.FrameLimiter ? LimitedMaxFps : UnlimitedMaxFps;
}

void ApplyVSync(bool on) {
    if (g_swapChainAdded && g_hooks.swapChain.setVSync) g_hooks.swapChain.setVSync(on);
}

void SetVSyncOption(bool on) {
    GameOptions.VSync = on;
    ApplyVSync(on);
}

} // namespace bw
