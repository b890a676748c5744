// The rendering device: the canvas on the window's GL context, its state, and the order in
// which it tells the rest of the program about its life.
#pragma once

#include "render/GlCanvas.h"

#include <functional>
#include <memory>

namespace bw {

class SdlWindow;

enum TKilnDeviceState { adsNotActive, adsActive, adsInitFailed, adsRunTimeFault, adsCreating };

class TKilnDevice {
public:
    // The window may be missing (no display, no GL): the device then fails to connect.
    explicit TKilnDevice(SdlWindow* window);
    ~TKilnDevice();

    // Who hears about the device's life, in this order: framework create (once, on the first
    // initialisation), device init (before the device is created), device create (after),
    // timer reset (after every connection attempt and after the first initialisation), and
    // framework destroy (at shutdown).
    struct Notifications {
        std::function<void()> frameworkCreate;
        std::function<void()> deviceInit;
        std::function<bool()> deviceCreate; // false refuses the device
        std::function<void()> timerReset;
        std::function<void()> frameworkDestroy;
    } notify;

    // The framework connection: the first call sends framework create and timer reset.
    bool InitializeFramework();
    // Sends framework destroy once.
    void FinalizeFramework();
    // Connects the device when it is not yet active; true while it is active.
    bool Connect();
    void Disconnect();

    TKilnDeviceState State() const { return state_; }
    bool AtFault() const { return state_ == adsInitFailed || state_ == adsRunTimeFault; }
    Canvas* GetCanvas() { return canvas_.get(); }

    // Draws one frame: clear, the draw callback, then present. Sleeps 5 ms instead when the
    // device is not active, so a loop around it does not spin.
    void Render(TColor clearColor, const std::function<void()>& draw);
    // Called after drawing and before presenting (screenshots read the frame here).
    std::function<void(Canvas&)> afterDraw;

    // The swap chain of the window.
    void AddSwapChain(TPoint2px size, bool vsync, int multisamples);
    void ResizeSwapChain(TPoint2px size);
    void SetVSync(bool on);
    TPoint2px SwapChainSize() const { return swapSize_; }

private:
    SdlWindow* window_;
    std::unique_ptr<GlCanvas> canvas_;
    TKilnDeviceState state_ = adsNotActive;
    bool frameworkCreated_ = false;
    bool frameworkDestroyed_ = false;
    bool hasSwapChain_ = false;
    TPoint2px swapSize_{1280, 720};
    bool vsync_ = false;
};

} // namespace bw
