#include "support/GlContext.h"

#include <cstdlib>

namespace bw::test {

std::unique_ptr<SdlWindow> GlTest::window_;
std::string GlTest::error_;

void GlTest::SetUpTestSuite() {
    if (window_) return;
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    WindowSettings settings;
    settings.title = "test";
    settings.clientWidth = 256;
    settings.clientHeight = 256;
    settings.visible = false;
    window_ = SdlWindow::Create(settings, &error_);
}

void GlTest::TearDownTestSuite() {}

void GlTest::SetUp() {
    // Mesa's software renderer is part of the build's dependencies, so a missing context is
    // a broken set-up, not a reason to skip.
    if (!window_) GTEST_FAIL() << "no GL context: " << error_;
}

GlCanvas& GlTest::MakeCanvas(int width, int height) {
    EXPECT_LE(width, 256);
    EXPECT_LE(height, 256);
    std::string error;
    canvas_ = GlCanvas::Create(width, height, &error);
    if (!canvas_) ADD_FAILURE() << error;
    return *canvas_;
}

} // namespace bw::test
