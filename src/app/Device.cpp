#include "app/Device.h"

#include "platform/Clock.h"
#include "platform/SdlWindow.h"

namespace bw {

TKilnDevice::TKilnDevice(SdlWindow* window) : window_(window) {}

TKilnDevice::~TKilnDevice() {
    Disconnect();
}

bool TKilnDevice::InitializeFramework() {
    if (frameworkCreated_) return true;
    frameworkCreated_ = true;
    if (notify.frameworkCreate) notify.frameworkCreate();
    if (notify.timerReset) notify.timerReset();
    return true;
}

void TKilnDevice::FinalizeFramework() {
    if (!frameworkCreated_ || frameworkDestroyed_) return;
    frameworkDestroyed_ = true;
    if (notify.frameworkDestroy) notify.frameworkDestroy();
}

bool TKilnDevice::Connect() {
    if (state_ == adsActive) return true;
    if (AtFault()) return false;
    state_ = adsCreating;
    if (notify.deviceInit) notify.deviceInit();
    std::string error;
    if (window_) canvas_ = GlCanvas::Create(swapSize_.x, swapSize_.y, &error);
    if (!canvas_ || (notify.deviceCreate && !notify.deviceCreate())) {
        canvas_.reset();
        state_ = adsInitFailed;
    } else {
        window_->SetVSync(vsync_);
        state_ = adsActive;
    }
    if (notify.timerReset) notify.timerReset();
    return state_ == adsActive;
}

void TKilnDevice::Disconnect() {
    canvas_.reset();
    if (state_ == adsActive) state_ = adsNotActive;
}

void TKilnDevice::Render(TColor clearColor, const std::function<void()>& draw) {
    if (state_ != adsActive || !canvas_) {
        SleepMs(5);
        return;
    }
    canvas_->BeginFrame(clearColor);
    if (draw) draw();
    canvas_->EndFrame();
    if (afterDraw) afterDraw(*canvas_);
    const TPoint2px client = window_->ClientSize();
    canvas_->CopyToWindow(client.x, client.y);
    window_->Present();
}

void TKilnDevice::AddSwapChain(TPoint2px size, bool vsync, int /*multisamples*/) {
    hasSwapChain_ = true;
    swapSize_ = size;
    vsync_ = vsync;
    if (canvas_) canvas_->Resize(size.x, size.y);
    if (window_ && state_ == adsActive) window_->SetVSync(vsync);
}

void TKilnDevice::ResizeSwapChain(TPoint2px size) {
    swapSize_ = size;
    if (canvas_) canvas_->Resize(size.x, size.y);
}

void TKilnDevice::SetVSync(bool on) {
    vsync_ = on;
    if (window_ && state_ == adsActive) window_->SetVSync(on);
}

} // namespace bw
