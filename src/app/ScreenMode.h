// Window modes and the mapping of the 1920 x 1080 design canvas onto the window.
//
// Sprites are drawn at (position - WorldOffset) * DisplayScale in client pixels; a client
// pixel p is the design point p / DisplayScale + WorldOffset. Windows narrower than 16:9 show
// all 1080 rows and crop the sides; wider ones show all 1920 columns between black bars at the
// sides; portrait windows and cut-scenes get bars above and below.
//
// The code here talks to the window through Window and to everything else through the hooks
// of DisplayHooks, which the application frame installs with SetDisplayHooks. An empty hook
// is skipped.
#pragma once

#include "render/DisplayState.h" // DisplayScale, WorldOffset
#include "render/Types.h"

#include <cstdint>
#include <functional>
#include <optional>

namespace bw {

class Window;

inline constexpr int DesignWidth = 1920;
inline constexpr int DesignHeight = 1080;

// The primary screen must exceed one of these to run the game in a window.
inline constexpr int MinWindowedDesktopWidth = 1040;
inline constexpr int MinWindowedDesktopHeight = 706;

// Frame timer rounds per second: with the frame limiter on, and otherwise (no sleeping).
inline constexpr int LimitedMaxFps = 200;
inline constexpr int UnlimitedMaxFps = 4000;

// DisplayScale (client pixels per design unit, x and y equal; (1, 1) until the first mode) and
// WorldOffset (the design point at the client's top-left corner, whole numbers) are shared with
// the sprite layer and written only here.
// Client size the swap chain has, or is about to be given.
extern TPoint2px SwapChainSize;
// Primary screen size saved by SetWindowMode; 1920 x 1080 until then.
extern int DesktopWidth;
extern int DesktopHeight;

// Modes of the black screen-edge bars.
inline constexpr int EdgeBarsNone = 0;
inline constexpr int EdgeBarsSides = 1;     // left and right
inline constexpr int EdgeBarsTopBottom = 2; // top and bottom

// The rendering device's swap chain for the window.
struct SwapChainHost {
    // Adds the window's swap chain (SetupDisplay, once): client size, vertical sync, multisample
    // count (1 with vertical sync, 0 without), default pixel format, no depth-stencil buffer.
    std::function<void(TPoint2px size, bool vsync, int multisamples)> addSwapChain;
    // Resizes swap chain 0. Only called after addSwapChain.
    std::function<void(TPoint2px size)> resizeSwapChain;
    // Switches vertical sync of swap chain 0.
    std::function<void(bool on)> setVSync;
};

struct DisplayHooks {
    Window* window = nullptr; // without a window the window operations do nothing
    SwapChainHost swapChain;
    // World position (FWorldX, FWorldY) of MainEngine and LoadingEngine, those that exist.
    std::function<void(TPoint2 worldPosition)> setEnginesWorldPosition;
    // FVisibleWidth and FVisibleHeight (client pixels) of the engines that exist.
    std::function<void(int width, int height)> setEnginesVisibleSize;
    // Mode (EdgeBars...) and thickness in design units for the screen-edge bars; must do
    // nothing while the bars have not been created yet.
    std::function<void(int mode, float thickness)> setEdgeBars;
};

void SetDisplayHooks(DisplayHooks hooks);
const DisplayHooks& CurrentDisplayHooks();

// Back to the start values: globals as documented above, no hooks, no swap chain added.
void ResetDisplayState();

// Device init: window mode, size and placement from the options, then the swap chain.
void SetupDisplay();

// 1: full screen on the primary monitor at the desktop's resolution; 0: a normal window.
void SetWindowMode(uint8_t mode);

// Gives the window this client size and recomputes the screen mode for it.
void SetClientSize(TPoint2px size);

// The largest standard client size that fits the saved desktop with room for the frame and
// the task bar, in the desktop's aspect family; 800 x 600 when none fits.
TPoint2px AutoWindowSize();

// Computes DisplayScale and WorldOffset for a client of width x height pixels, logs the mode,
// sets the edge bars and the engines' visible size. A cut-scene (video) always shows all
// 1920 columns. An empty client (0 in either direction, e.g. minimised) changes nothing.
void ComputeScreenMode(int width, int height, bool video);

// Run-time switch from the options screen. Refuses (false, nothing changed) to leave full
// screen on a screen that is too small for a window.
bool SwitchWindowMode(bool fullScreen);

// The primary screen is narrower than 1040 and lower than 706 pixels.
bool ScreenTooSmallForWindow();

// Client size for a Resolution code: at start-up, and when switching from full screen to a
// window. 99 gives AutoWindowSize; codes without a size give nothing (the window keeps its
// client size).
std::optional<TPoint2px> StartupClientSize(uint8_t resolution);
std::optional<TPoint2px> SwitchedClientSize(uint8_t resolution);

// Centres the window on the saved desktop, 15 pixels above the middle, never with its top or
// left edge off the screen.
void CentreWindow();

// FMaxFPS of the frame timer for the current options.
int MaxFpsFromOptions();

// Switches vertical sync of the window's swap chain (when it exists).
void ApplyVSync(bool on);

// The options screen's VSync box: changes the option and applies it at once.
void SetVSyncOption(bool on);

} // namespace bw
