// The board bird drawing: every sheet stays inside its pattern with a clear border, a standing
// bird keeps its feet on the same pixels, and bad parameters are reported.
#include "pack/PackDrawings.h"

#include <cairo.h>
#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace bw {
namespace {

using namespace bw::pack;

struct FrameFixture {
    bool Ok = false;
    std::string Error;
    int Width = 0, Height = 0;
    std::vector<uint32_t> Pixels; // premultiplied ARGB, row by row
    uint8_t Alpha(int x, int y) const { return Pixels[std::size_t(y * Width + x)] >> 24; }
};

FrameFixture Draw(const std::string& kind, const std::string& sheet, int frame, int frames,
                  int size = 130) {
    FrameFixture out;
    const DrawingEntry* program = FindDrawingProgram("bird");
    if (!program) {
        out.Error = "no bird program";
        return out;
    }
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size);
    cairo_t* cr = cairo_create(surface);
    ParamMap params{{"kind", kind}, {"sheet", sheet}};
    DrawContext context;
    context.Width = context.Height = size;
    context.Frame = frame;
    context.Frames = frames;
    context.Params = &params;
    out.Ok = program->Run(cr, context, out.Error);
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    out.Width = out.Height = size;
    const int stride = cairo_image_surface_get_stride(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    for (int y = 0; y < size; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(data + std::ptrdiff_t(y) * stride);
        out.Pixels.insert(out.Pixels.end(), row, row + size);
    }
    cairo_surface_destroy(surface);
    return out;
}

// The renderer wraps texture coordinates, so the outermost row and column of every pattern
// must stay empty; a wing tip or a smoke puff there would show on the other side.
TEST(BirdDrawing, EverySheetLeavesThePatternBorderEmpty) {
    struct SheetFixture {
        const char* Sheet;
        int Frames;
    };
    const SheetFixture sheets[] = {{"idle", 16},          {"bounded", 1},    {"egg", 16},
                                   {"drag", 16},          {"move", 64},      {"fly", 16},
                                   {"burn", 16},          {"explosion", 16}, {"matchcat_left", 16},
                                   {"matchcat_right", 16}};
    const char* kinds[] = {"1", "2", "3", "4", "5", "6", "crow"};
    for (const SheetFixture& s : sheets) {
        for (const char* kind : kinds) {
            for (int f = 0; f < s.Frames; ++f) {
                const FrameFixture frame = Draw(kind, s.Sheet, f, s.Frames);
                ASSERT_TRUE(frame.Ok) << frame.Error;
                int worst = 0;
                for (int i = 0; i < 130; ++i) {
                    worst = std::max({worst, int(frame.Alpha(i, 0)), int(frame.Alpha(i, 129)),
                                      int(frame.Alpha(0, i)), int(frame.Alpha(129, i))});
                }
                EXPECT_EQ(worst, 0) << "kind " << kind << ", sheet " << s.Sheet << ", frame " << f;
            }
        }
    }
}

// A standing bird breathes, blinks and looks round, but its feet do not move: the lowest rows
// of the picture, where only the feet are, are the same in every frame of the strip.
TEST(BirdDrawing, StandingFeetStayOnTheSamePixels) {
    for (int kind = 0; kind < 6; ++kind) {
        const FrameFixture first = Draw("strip", "idle", kind * 16, 96);
        ASSERT_TRUE(first.Ok) << first.Error;
        // The feet are drawn at all: something opaque below the body.
        int feet = 0;
        for (int y = 96; y < 130; ++y) {
            for (int x = 0; x < 130; ++x) feet += first.Alpha(x, y) == 255;
        }
        EXPECT_GT(feet, 20) << "kind " << kind + 1;
        for (int f = 1; f < 16; ++f) {
            const FrameFixture other = Draw("strip", "idle", kind * 16 + f, 96);
            for (int y = 96; y < 130; ++y) {
                for (int x = 0; x < 130; ++x) {
                    ASSERT_EQ(first.Pixels[std::size_t(y * 130 + x)],
                              other.Pixels[std::size_t(y * 130 + x)])
                        << "kind " << kind + 1 << ", frame " << f << ", pixel " << x << "," << y;
                }
            }
        }
    }
}

// The strip holds the six kinds one after another; each kind's block shows its own colours.
TEST(BirdDrawing, TheIdleStripChangesKindEverySixteenFrames) {
    const FrameFixture a = Draw("strip", "idle", 15, 96);
    const FrameFixture b = Draw("strip", "idle", 16, 96);
    const FrameFixture c = Draw("1", "idle", 15, 16);
    ASSERT_TRUE(a.Ok && b.Ok && c.Ok);
    EXPECT_EQ(a.Pixels, c.Pixels);
    EXPECT_NE(a.Pixels, b.Pixels);
}

TEST(BirdDrawing, BadParametersAreReportedNotDrawn) {
    const FrameFixture kind = Draw("7", "idle", 0, 16);
    EXPECT_FALSE(kind.Ok);
    EXPECT_NE(kind.Error.find("kind \"7\""), std::string::npos) << kind.Error;
    const FrameFixture sheet = Draw("1", "dance", 0, 16);
    EXPECT_FALSE(sheet.Ok);
    EXPECT_NE(sheet.Error.find("sheet \"dance\""), std::string::npos) << sheet.Error;
    const FrameFixture strip = Draw("strip", "idle", 100, 112);
    EXPECT_FALSE(strip.Ok);
    EXPECT_NE(strip.Error.find("strip"), std::string::npos) << strip.Error;
}

} // namespace
} // namespace bw
