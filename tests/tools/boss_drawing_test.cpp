// The boss cat drawing: every sheet keeps the pattern border clear, the boss sits on the same
// pixels throughout, falling asleep ends exactly where sleeping starts, and the gauge's fill
// lines up with the gauge's window where the game lays them (the fill 17 left of and 7 above
// the gauge).
#include "pack/PackDrawings.h"

#include <cairo.h>
#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace bw {
namespace {

using namespace bw::pack;

struct Picture {
    std::string Error;
    int Width = 0, Height = 0;
    std::vector<uint32_t> Pixels; // premultiplied ARGB
    uint8_t Alpha(int x, int y) const { return Pixels[std::size_t(y * Width + x)] >> 24; }
};

Picture Draw(const std::string& sheet, int frame, int frames, int w, int h) {
    Picture out;
    const DrawingEntry* program = FindDrawingProgram("cat");
    if (!program) {
        out.Error = "no cat program";
        return out;
    }
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cairo_t* cr = cairo_create(surface);
    ParamMap params{{"sheet", sheet}};
    DrawContext context;
    context.Width = w;
    context.Height = h;
    context.Frame = frame;
    context.Frames = frames;
    context.Params = &params;
    if (!program->Run(cr, context, out.Error) && out.Error.empty()) out.Error = "failed";
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    out.Width = w;
    out.Height = h;
    const int stride = cairo_image_surface_get_stride(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    for (int y = 0; y < h; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(data + std::ptrdiff_t(y) * stride);
        out.Pixels.insert(out.Pixels.end(), row, row + w);
    }
    cairo_surface_destroy(surface);
    return out;
}

struct Sheet {
    const char* Name;
    int Frames, Width, Height;
};
const Sheet kSheets[] = {{"boss_idle", 9, 136, 136},        {"boss_eat", 9, 136, 136},
                         {"boss_fallasleep", 16, 136, 136}, {"boss_sleep", 9, 136, 136},
                         {"boss_hamburger", 9, 56, 48},     {"boss_panel", 1, 40, 112},
                         {"boss_fill", 1, 48, 92}};

TEST(BossDrawing, EverySheetDrawsAndLeavesThePatternBorderEmpty) {
    for (const Sheet& sheet : kSheets) {
        for (int f = 0; f < sheet.Frames; ++f) {
            const Picture p = Draw(sheet.Name, f, sheet.Frames, sheet.Width, sheet.Height);
            ASSERT_EQ(p.Error, "") << sheet.Name;
            int painted = 0;
            for (int y = 0; y < p.Height; ++y) {
                for (int x = 0; x < p.Width; ++x) {
                    const bool edge = x == 0 || y == 0 || x == p.Width - 1 || y == p.Height - 1;
                    if (edge) {
                        EXPECT_EQ(p.Alpha(x, y), 0)
                            << sheet.Name << " " << f << " at " << x << "," << y;
                    }
                    painted += p.Alpha(x, y) > 0;
                }
            }
            EXPECT_GT(painted, p.Width * p.Height / 10) << sheet.Name << " " << f;
        }
    }
    EXPECT_NE(Draw("boss_dance", 0, 1, 136, 136).Error, "");
}

TEST(BossDrawing, TheBossSitsOnTheSamePixelsAndFallsAsleepIntoTheSleepSheet) {
    // The hind feet stand on the two cells' faces, on the same pixels in every pattern of every
    // pose.
    const Picture first = Draw("boss_idle", 0, 9, 136, 136);
    for (const Sheet& sheet : kSheets) {
        if (sheet.Width != 136) continue;
        for (int f = 0; f < sheet.Frames; ++f) {
            const Picture p = Draw(sheet.Name, f, sheet.Frames, 136, 136);
            for (int y = 117; y < 122; ++y) {
                for (const int x : {26, 30, 34, 94, 98, 102}) {
                    const std::size_t i = std::size_t(y * 136 + x);
                    // Only a faint difference in the blend of an outline with what lies
                    // under it is allowed.
                    for (const int shift : {0, 8, 16, 24}) {
                        const int a = int(p.Pixels[i] >> shift & 0xFF);
                        const int b = int(first.Pixels[i] >> shift & 0xFF);
                        EXPECT_NEAR(a, b, 6) << sheet.Name << " " << f << " at " << x << "," << y;
                    }
                }
            }
        }
    }
    const Picture last = Draw("boss_fallasleep", 15, 16, 136, 136);
    const Picture asleep = Draw("boss_sleep", 0, 9, 136, 136);
    EXPECT_EQ(last.Pixels, asleep.Pixels);
}

TEST(BossDrawing, TheFullFillCoversTheGaugeWindowExactly) {
    const Picture panel = Draw("boss_panel", 0, 1, 40, 112);
    const Picture fill = Draw("boss_fill", 0, 1, 48, 92);
    // Every see-through pixel inside the gauge's outline has fill behind it, and no fill shows
    // round the gauge.
    int window = 0;
    for (int y = 1; y < fill.Height - 1; ++y)
        for (int x = 1; x < fill.Width - 1; ++x) {
            const int px = x - 17, py = y - 7;
            const bool onPanel = px >= 0 && py >= 0 && px < panel.Width && py < panel.Height;
            if (fill.Alpha(x, y) == 0) continue;
            ASSERT_TRUE(onPanel) << x << "," << y;
            if (panel.Alpha(px, py) < 255) ++window;
        }
    for (int y = 0; y < panel.Height; ++y)
        for (int x = 0; x < panel.Width; ++x) {
            // A window pixel: see-through, with opaque gauge both left and right of it.
            if (panel.Alpha(x, y) == 255) continue;
            bool left = false, right = false;
            for (int i = 0; i < x; ++i) left |= panel.Alpha(i, y) == 255;
            for (int i = x + 1; i < panel.Width; ++i) right |= panel.Alpha(i, y) == 255;
            if (!left || !right) continue;
            const int fx = x + 17, fy = y + 7;
            ASSERT_LT(fy, fill.Height) << x << "," << y;
            EXPECT_EQ(fill.Alpha(fx, fy), 255) << "window pixel " << x << "," << y << " unfilled";
        }
    EXPECT_GT(window, 14 * 60);
}

} // namespace
} // namespace bw
