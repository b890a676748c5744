// A window that only remembers what it was told, with a 16 x 39 pixel frame in the single
// border style and none without a border, on a primary screen of any size.
#pragma once

#include "platform/Window.h"

#include <vector>

namespace bw::testing {

class FakeWindow : public Window {
public:
    std::vector<MonitorInfo> monitors{{TRect{0, 0, 1920, 1080}, true}};
    TPoint2px screen{1920, 1080};
    BorderStyle border = BorderStyle::Single;
    bool onTop = false;
    bool screenSaver = true;
    bool cursorShown = true;
    int focusCount = 0;
    int left = 100, top = 100;
    TPoint2px client{1280, 720};
    std::vector<TRect> boundsCalls;

    TPoint2px Frame() const {
        return border == BorderStyle::Single ? TPoint2px{16, 39} : TPoint2px{0, 0};
    }

    std::vector<MonitorInfo> Monitors() const override { return monitors; }
    TPoint2px PrimaryScreenSize() const override { return screen; }
    void SetBorderStyle(BorderStyle style) override { border = style; }
    BorderStyle GetBorderStyle() const override { return border; }
    void SetAlwaysOnTop(bool on) override { onTop = on; }
    bool AlwaysOnTop() const override { return onTop; }
    void SetBounds(int l, int t, int w, int h) override {
        left = l;
        top = t;
        client = TPoint2px{w - Frame().x, h - Frame().y};
        boundsCalls.push_back(TRect{l, t, l + w, t + h});
    }
    TRect Bounds() const override {
        return TRect{left, top, left + client.x + Frame().x, top + client.y + Frame().y};
    }
    void SetClientSize(int w, int h) override { client = TPoint2px{w, h}; }
    TPoint2px ClientSize() const override { return client; }
    void SetTitle(const std::string&) override {}
    void Show() override {}
    void Focus() override { ++focusCount; }
    void Minimize() override {}
    bool HasFocus() const override { return focusCount > 0; }
    void SetScreenSaverEnabled(bool enabled) override { screenSaver = enabled; }
    void ShowSystemCursor(bool show) override { cursorShown = show; }
    void SetVSync(bool) override {}
    void Present() override {}
};

} // namespace bw::testing
