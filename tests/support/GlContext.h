// A hidden window with a GL context under SDL's offscreen driver, shared by the tests of one
// program run. Tests that need it skip themselves when no GL 3.3 context can be had.
#pragma once

#include "platform/SdlWindow.h"
#include "render/GlCanvas.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace bw::test {

class GlTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;

    // A fresh canvas of the given size for each test.
    GlCanvas& MakeCanvas(int width, int height);

    static std::unique_ptr<SdlWindow> window_;
    static std::string error_;
    std::unique_ptr<GlCanvas> canvas_;
};

// Pixel (x, y) of a frame read back from a canvas.
inline uint32_t PixelAt(const std::vector<uint32_t>& px, int width, int x, int y) {
    return px[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
}

} // namespace bw::test
