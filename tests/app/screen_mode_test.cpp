#include "app/ScreenMode.h"

#include "base/GameOptions.h"
#include "platform/Log.h"
#include "platform/Window.h"

#include "support/FakeWindow.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace bw {
namespace {

using testing::FakeWindow;

// Everything the screen-mode code tells the rest of the game, in order.
struct Recorder {
    std::vector<std::string> events;
    std::vector<TPoint2px> resizes;
    std::vector<std::string> logLines;

    DisplayHooks Hooks(Window* window) {
        DisplayHooks h;
        h.window = window;
        h.swapChain.addSwapChain = [this](TPoint2px s, bool vsync, int ms) {
            events.push_back("add " + std::to_string(s.x) + "x" + std::to_string(s.y) +
                             (vsync ? " vsync " : " novsync ") + std::to_string(ms));
        };
        h.swapChain.resizeSwapChain = [this](TPoint2px s) {
            resizes.push_back(s);
            events.push_back("resize " + std::to_string(s.x) + "x" + std::to_string(s.y));
        };
        h.swapChain.setVSync = [this](bool on) { events.push_back(on ? "vsync on" : "vsync off"); };
        h.setEnginesWorldPosition = [this](TPoint2 p) {
            events.push_back("world " + std::to_string(int(p.x)) + "," + std::to_string(int(p.y)));
        };
        h.setEnginesVisibleSize = [this](int w, int hh) {
            events.push_back("visible " + std::to_string(w) + "x" + std::to_string(hh));
        };
        h.setEdgeBars = [this](int mode, float t) {
            events.push_back("bars " + std::to_string(mode) + " " + std::to_string(int(t)));
        };
        return h;
    }
};

class ScreenModeTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetDisplayState();
        GameOptions = TGameOptions{};
        GameOptions.AppFolderPath = folder.Path();
        SetDisplayHooks(rec.Hooks(&window));
        SetLogListener([this](const std::string& line) {
            // Drop the time stamp; ordering against the hooks is what matters.
            const std::string text = line.substr(line.find("......") + 6);
            rec.logLines.push_back(text);
            rec.events.push_back("log " + text);
        });
    }
    void TearDown() override {
        SetLogListener(nullptr);
        ResetDisplayState();
        GameOptions = TGameOptions{};
    }

    testing::TempFolder folder;
    FakeWindow window;
    Recorder rec;
};

struct ModeCase {
    int w, h;
    bool video;
    float scale;
    TPoint2 offset;
    const char* events; // bars, log and visible size in order
};

TEST_F(ScreenModeTest, ComputeScreenModeCoversMainVideoAndPortraitCases) {
    // clang-format off
    const ModeCase cases[] = {
        {1920, 1080, false, 1.0f, {0, 0},
         "log Main mode. ResX - 1 ; Offset (x) - 0|bars 0 0|visible 1920x1080"},
        {1024, 768, false, 768.0f / 1080, {240, 0},
         "log Main mode. ResX - 0.711111128330231 ; Offset (x) - 240|bars 0 0|visible 1024x768"},
        {800, 600, false, 600.0f / 1080, {239, 0}, nullptr},
        {1280, 1024, false, 1024.0f / 1080, {285, 0}, nullptr}, // f = 1.25 exactly: main
        {1366, 768, false, 768.0f / 1080, {0, 0}, nullptr},     // just below 1.78: no bars
        {1280, 720, false, 720.0f / 1080, {0, 0},
         "log Main mode. ResX - 0.666666686534882 ; Offset (x) - 0|bars 0 0|visible 1280x720"},
        {2560, 1080, false, 1.0f, {-320, 0},
         "log Main mode. ResX - 1 ; Offset (x) - -320|bars 1 -320|visible 2560x1080"},
        {2560, 1080, true, 1.0f, {-320, 0},
         "log Main mode. ResX - 1 ; Offset (x) - -320|bars 1 -320|visible 2560x1080"},
        // f = 1.78 exactly: main even for a cut-scene, but no bars before f exceeds 1.78.
        {1780, 1000, true, 1000.0f / 1080, {-1, 0},
         "log Main mode. ResX - 0.92592591047287 ; Offset (x) - -1|bars 0 0|visible 1780x1000"},
        // e = round(640.5 - 640): ties go to the even neighbour, 0, not 1.
        {1281, 720, false, 720.0f / 1080, {0, 0}, nullptr},
        {740, 960, false, 740.0f / 1440, {240, -393},
         "bars 2 -393|log Portret main mode. ResX - 0.513888895511627 ; Offset (y) - -393|"
         "visible 740x960"},
        {1024, 768, true, 1024.0f / 1920, {0, -180},
         "bars 2 -180|log Video mode. ResX - 0.533333361148834 ; Offset (y) - -180|"
         "visible 1024x768"},
        {1920, 1080, true, 1.0f, {0, 0},
         "bars 2 0|log Video mode. ResX - 1 ; Offset (y) - 0|visible 1920x1080"},
        {740, 960, true, 740.0f / 1920, {0, -706},
         "bars 2 -706|log Video portret mode. ResX - 0.385416656732559 ; Offset (y) - -706|"
         "visible 740x960"},
    };
    // clang-format on
    for (const ModeCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h) + (c.video ? " video" : ""));
        rec.events.clear();
        ComputeScreenMode(c.w, c.h, c.video);
        EXPECT_EQ(DisplayScale.x, c.scale);
        EXPECT_EQ(DisplayScale.y, c.scale);
        EXPECT_EQ(WorldOffset, c.offset);
        if (c.events != nullptr) {
            std::string joined;
            for (const auto& e : rec.events) joined += (joined.empty() ? "" : "|") + e;
            EXPECT_EQ(joined, c.events);
        }
    }
    // Never the engines' world position.
    for (const auto& e : rec.events) EXPECT_NE(e.rfind("world", 0), 0u) << e;
}

TEST_F(ScreenModeTest, EmptyClientLeavesTheModeAlone) {
    ComputeScreenMode(1024, 768, false);
    rec.events.clear();
    ComputeScreenMode(1024, 0, false);
    ComputeScreenMode(0, 0, true);
    EXPECT_TRUE(rec.events.empty());
    EXPECT_EQ(WorldOffset, (TPoint2{240, 0}));
}

TEST_F(ScreenModeTest, AutoWindowSizeFitsTheSavedDesktop) {
    struct {
        int dw, dh, w, h;
    } const cases[] = {
        {1920, 1080, 1600, 900},  {1366, 768, 1024, 576},  {1280, 1024, 1024, 768},
        {1400, 1050, 1024, 768},  {1100, 620, 800, 450},   {1024, 600, 800, 600},
        {2560, 1440, 1920, 1080}, {1600, 1200, 1280, 960}, {1000, 750, 800, 600},
        {900, 700, 800, 600},     {1520, 855, 1280, 720},  {1519, 855, 1024, 576},
    };
    for (const auto& c : cases) {
        DesktopWidth = c.dw;
        DesktopHeight = c.dh;
        EXPECT_EQ(AutoWindowSize(), (TPoint2px{c.w, c.h})) << c.dw << "x" << c.dh;
    }
}

TEST_F(ScreenModeTest, FullScreenCoversThePrimaryMonitorAtDesktopResolution) {
    SetupDisplay();
    EXPECT_TRUE(GameOptions.FullScreen);
    EXPECT_EQ(window.border, BorderStyle::None);
    EXPECT_TRUE(window.onTop);
    EXPECT_FALSE(window.screenSaver);
    EXPECT_FALSE(window.cursorShown);
    EXPECT_EQ(window.focusCount, 1);
    EXPECT_EQ(window.Bounds(), (TRect{0, 0, 1920, 1080}));
    ASSERT_GE(window.boundsCalls.size(), 2u);
    EXPECT_EQ(window.boundsCalls[window.boundsCalls.size() - 2], (TRect{0, 0, 1919, 1079}));
    EXPECT_EQ(SwapChainSize, (TPoint2px{1920, 1080}));
    EXPECT_EQ(DisplayScale.x, 1.0f);
    // The swap chain does not exist yet, so it is added at full size instead of resized.
    EXPECT_TRUE(rec.resizes.empty());
    EXPECT_EQ(rec.events.back(), "add 1920x1080 novsync 0");
}

TEST_F(ScreenModeTest, FullScreenPicksTheLastPrimaryMonitorOrTheFirst) {
    window.screen = TPoint2px{1280, 1024};
    window.monitors = {{TRect{0, 0, 1920, 1080}, true},
                       {TRect{1920, 0, 3200, 1024}, false},
                       {TRect{-1280, 0, 0, 1024}, true}};
    SetWindowMode(1);
    EXPECT_EQ(window.Bounds(), (TRect{-1280, 0, 0, 1024}));
    EXPECT_EQ(DesktopWidth, 1280);
    EXPECT_EQ(DesktopHeight, 1024);

    window.monitors = {{TRect{1920, 0, 3200, 1024}, false}, {TRect{0, 0, 1920, 1080}, false}};
    SetWindowMode(1);
    EXPECT_EQ(window.Bounds(), (TRect{1920, 0, 3200, 1024}));
}

TEST_F(ScreenModeTest, FullScreenWithoutAMonitorKeepsThePlacement) {
    window.monitors.clear();
    SetupDisplay();
    EXPECT_TRUE(GameOptions.FullScreen);
    EXPECT_FALSE(window.screenSaver);
    EXPECT_TRUE(window.boundsCalls.empty());
    EXPECT_EQ(window.border, BorderStyle::Single);
    EXPECT_EQ(DesktopWidth, 1920); // never saved
    EXPECT_EQ(SwapChainSize, (TPoint2px{1280, 720}));
    EXPECT_EQ(rec.events.back(), "add 1280x720 novsync 0");
}

TEST_F(ScreenModeTest, WindowedStartUpSizesAndCentresFifteenPixelsHigh) {
    GameOptions.FullScreen = false;
    GameOptions.VSync = true;
    SetupDisplay();
    EXPECT_EQ(window.border, BorderStyle::Single);
    EXPECT_FALSE(window.onTop);
    EXPECT_TRUE(window.screenSaver);
    EXPECT_EQ(window.client, (TPoint2px{1600, 900}));
    // Outer 1616 x 939: left 960 - 808, top 540 - 469 - 15.
    EXPECT_EQ(window.Bounds(), (TRect{152, 56, 152 + 1616, 56 + 939}));
    EXPECT_EQ(SwapChainSize, (TPoint2px{1600, 900}));
    EXPECT_EQ(DisplayScale.x, 900.0f / 1080);
    EXPECT_EQ(rec.events.back(), "add 1600x900 vsync 1");
}

TEST_F(ScreenModeTest, StartUpSizeFollowsTheResolutionCode) {
    struct {
        int code;
        TPoint2px client;
    } const cases[] = {{1, {800, 600}},  {2, {1024, 768}},  {3, {1280, 960}},
                       {98, {740, 960}}, {99, {1600, 900}}, {7, {1280, 720}}};
    for (const auto& c : cases) {
        ResetDisplayState();
        SetDisplayHooks(rec.Hooks(&window));
        window = FakeWindow{};
        GameOptions.FullScreen = false;
        GameOptions.Resolution = static_cast<uint8_t>(c.code);
        SetupDisplay();
        EXPECT_EQ(window.client, c.client) << c.code;
        EXPECT_EQ(SwapChainSize, c.client) << c.code;
    }
}

TEST_F(ScreenModeTest, CentringKeepsTheTitleBarOnTheScreen) {
    window.screen = TPoint2px{1280, 1024};
    window.monitors = {{TRect{0, 0, 1280, 1024}, true}};
    GameOptions.FullScreen = false;
    GameOptions.Resolution = 3; // outer 1296 x 999 is larger than the desktop allows
    SetupDisplay();
    EXPECT_EQ(window.Bounds().left, 0);
    EXPECT_EQ(window.Bounds().top, 0);
}

TEST_F(ScreenModeTest, SmallScreensForceFullScreenOnlyWhenSmallBothWays) {
    struct {
        TPoint2px screen;
        bool forced;
    } const cases[] = {
        {{1024, 600}, true}, {{1039, 705}, true}, {{1024, 768}, false}, {{1100, 600}, false}};
    for (const auto& c : cases) {
        ResetDisplayState();
        SetDisplayHooks(rec.Hooks(&window));
        window = FakeWindow{};
        window.screen = c.screen;
        window.monitors = {{TRect{0, 0, c.screen.x, c.screen.y}, true}};
        GameOptions.FullScreen = false;
        SetupDisplay();
        EXPECT_EQ(GameOptions.FullScreen, c.forced) << c.screen.x << "x" << c.screen.y;
        EXPECT_EQ(window.border == BorderStyle::None, c.forced);
    }
    // A file that asked for a window on a 1024 x 600 screen is corrected by the next save.
    ResetDisplayState();
    SetDisplayHooks(rec.Hooks(&window));
    window.screen = TPoint2px{1024, 600};
    window.monitors = {{TRect{0, 0, 1024, 600}, true}};
    GameOptions.FullScreen = false;
    SetupDisplay();
    ASSERT_TRUE(SaveOptions());
    EXPECT_NE(testing::ReadWholeFile(OptionsFilePath()).find("FullScreen=1\n"), std::string::npos);
}

TEST_F(ScreenModeTest, SwitchingModesUsesTheOptionsScreenSizes) {
    GameOptions.FullScreen = false;
    GameOptions.Resolution = 3;
    SetupDisplay();
    EXPECT_EQ(window.client, (TPoint2px{1280, 960}));

    rec.events.clear();
    ASSERT_TRUE(SwitchWindowMode(true));
    EXPECT_TRUE(GameOptions.FullScreen);
    EXPECT_EQ(window.Bounds(), (TRect{0, 0, 1920, 1080}));
    EXPECT_EQ(rec.resizes.back(), (TPoint2px{1920, 1080}));
    EXPECT_EQ(rec.events.back(), "world 0,0");

    rec.events.clear();
    ASSERT_TRUE(SwitchWindowMode(false));
    EXPECT_FALSE(GameOptions.FullScreen);
    EXPECT_EQ(window.border, BorderStyle::Single);
    EXPECT_FALSE(window.onTop);
    EXPECT_EQ(window.client, (TPoint2px{1280, 1024}));
    EXPECT_EQ(rec.resizes.back(), (TPoint2px{1280, 1024}));
    EXPECT_EQ(rec.events.back(), "world 285,0");
    EXPECT_EQ(window.Bounds().left, 960 - 1296 / 2);
    EXPECT_EQ(window.Bounds().top, 0); // 540 - 531 - 15 would cut the title bar

    GameOptions.Resolution = 98;
    ASSERT_TRUE(SwitchWindowMode(false));
    EXPECT_EQ(window.client, (TPoint2px{1366, 768}));
}

TEST_F(ScreenModeTest, SwitchingToAWindowIsRefusedOnASmallScreen) {
    window.screen = TPoint2px{1024, 600};
    window.monitors = {{TRect{0, 0, 1024, 600}, true}};
    SetupDisplay();
    const TRect before = window.Bounds();
    rec.events.clear();
    EXPECT_FALSE(SwitchWindowMode(false));
    EXPECT_TRUE(GameOptions.FullScreen);
    EXPECT_EQ(window.Bounds(), before);
    EXPECT_TRUE(rec.events.empty());
}

TEST_F(ScreenModeTest, VSyncAndFrameLimiterFollowTheOptions) {
    SetVSyncOption(true); // no swap chain yet: only the option changes
    EXPECT_TRUE(GameOptions.VSync);
    EXPECT_TRUE(rec.events.empty());
    SetupDisplay();
    EXPECT_EQ(rec.events.back(), "add 1920x1080 vsync 1");
    SetVSyncOption(false);
    EXPECT_FALSE(GameOptions.VSync);
    EXPECT_EQ(rec.events.back(), "vsync off");

    EXPECT_EQ(MaxFpsFromOptions(), 4000);
    GameOptions.FrameLimiter = true;
    EXPECT_EQ(MaxFpsFromOptions(), 200);
}

TEST_F(ScreenModeTest, WithoutAWindowNothingBreaks) {
    SetDisplayHooks(DisplayHooks{});
    SetupDisplay();
    EXPECT_FALSE(SwitchWindowMode(true));
    SetClientSize(TPoint2px{1024, 768});
    EXPECT_EQ(SwapChainSize, (TPoint2px{1024, 768}));
    EXPECT_EQ(WorldOffset, (TPoint2{240, 0}));
}

} // namespace
} // namespace bw
