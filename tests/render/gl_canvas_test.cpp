#include "support/GlContext.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace bw::test {
namespace {

constexpr int kSize = 64;
const TPoint4 kFull{TPoint2{0, 0}, TPoint2{kSize, 0}, TPoint2{kSize, kSize}, TPoint2{0, kSize}};

struct Rgb {
    double r, g, b;
};

Rgb ToRgb(uint32_t c) {
    return {ColorRed(c) / 255.0, ColorGreen(c) / 255.0, ColorBlue(c) / 255.0};
}

void ExpectColorNear(uint32_t got, Rgb want, const char* what) {
    const Rgb g = ToRgb(got);
    const double tol = 1.0 / 255.0 + 1e-9;
    EXPECT_NEAR(g.r, std::min(1.0, want.r), tol) << what;
    EXPECT_NEAR(g.g, std::min(1.0, want.g), tol) << what;
    EXPECT_NEAR(g.b, std::min(1.0, want.b), tol) << what;
}

// A texture whose columns [0, w/2) are `left` and the rest `right`.
std::vector<uint32_t> SplitColumns(int w, int h, uint32_t left, uint32_t right) {
    std::vector<uint32_t> px(static_cast<size_t>(w * h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) px[static_cast<size_t>(y * w + x)] = x < w / 2 ? left : right;
    return px;
}

std::vector<uint32_t> SplitRows(int w, int h, uint32_t top, uint32_t bottom) {
    std::vector<uint32_t> px(static_cast<size_t>(w * h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) px[static_cast<size_t>(y * w + x)] = y < h / 2 ? top : bottom;
    return px;
}

constexpr uint32_t kRed = 0xFFFF0000, kBlue = 0xFF0000FF, kGreen = 0xFF00FF00, kYellow = 0xFFFFFF00,
                   kGrey = 0xFF808080;

using GlCanvasTest = GlTest;

TEST_F(GlCanvasTest, EveryBlendEffectMatchesItsFormula) {
    GlCanvas& canvas = MakeCanvas(kSize, kSize);
    const uint32_t dst = MakeColor(51, 153, 255);
    const uint32_t src = MakeColor(204, 102, 51, 128);
    const Rgb d = ToRgb(dst), s = ToRgb(src);
    const double a = 128 / 255.0;
    struct Case {
        TBlendingEffect effect;
        const char* name;
        Rgb want;
    };
    auto each = [&](auto f) { return Rgb{f(s.r, d.r), f(s.g, d.g), f(s.b, d.b)}; };
    const Case cases[] = {
        {beNormal, "normal", each([&](double sc, double dc) { return sc * a + dc * (1 - a); })},
        {beShadow, "shadow", each([&](double, double dc) { return dc * (1 - a); })},
        {beAdd, "add", each([&](double sc, double dc) { return sc * a + dc; })},
        {beMultiply, "multiply", each([&](double sc, double dc) { return dc * sc; })},
        {beInvMultiply, "invmultiply", each([&](double sc, double dc) { return dc * (1 - sc); })},
        {beSrcColor, "srccolor",
         each([&](double sc, double dc) { return sc * sc + dc * (1 - sc); })},
        {beSrcColorAdd, "srccoloradd", each([&](double sc, double dc) { return sc * sc + dc; })},
    };
    for (const Case& c : cases) {
        canvas.BeginFrame(dst);
        canvas.FillQuad(kFull, TColor4(src), c.effect);
        const auto px = canvas.ReadPixels();
        ExpectColorNear(PixelAt(px, kSize, kSize / 2, kSize / 2), c.want, c.name);
    }

    // beUnknown keeps whatever effect was used before.
    canvas.BeginFrame(dst);
    canvas.FillQuad(TPoint4{TPoint2{0, 0}, TPoint2{1, 0}, TPoint2{1, 1}, TPoint2{0, 1}},
                    TColor4(src), beAdd);
    canvas.FillQuad(kFull, TColor4(src), beUnknown);
    const auto px = canvas.ReadPixels();
    ExpectColorNear(PixelAt(px, kSize, 32, 32), cases[2].want, "unknown after add");
}

TEST_F(GlCanvasTest, TextureCoordinatesOutsideTheUnitRangeRepeat) {
    GlCanvas& canvas = MakeCanvas(kSize, kSize);
    const auto pixels = SplitColumns(16, 16, kRed, kBlue);
    const TextureId tex = canvas.CreateTexture(16, 16, pixels.data());
    ASSERT_NE(tex, kNoTexture);
    canvas.BeginFrame(0xFF000000);
    canvas.UseTexture(tex, TPoint4{TPoint2{0, 0}, TPoint2{2, 0}, TPoint2{2, 1}, TPoint2{0, 1}});
    canvas.TexMap(kFull, TColor4(0xFFFFFFFF), beNormal);
    const auto px = canvas.ReadPixels();
    EXPECT_EQ(PixelAt(px, kSize, 6, 32), kRed);
    EXPECT_EQ(PixelAt(px, kSize, 26, 32), kBlue);
    EXPECT_EQ(PixelAt(px, kSize, 38, 32), kRed); // second copy
    EXPECT_EQ(PixelAt(px, kSize, 58, 32), kBlue);
}

TEST_F(GlCanvasTest, PatternsAreMirroredAndFlipped) {
    GlCanvas& canvas = MakeCanvas(kSize, kSize);
    const auto cols = SplitColumns(16, 16, kRed, kBlue);
    const auto rows = SplitRows(16, 16, kGreen, kYellow);
    const TextureId texCols = canvas.CreateTexture(16, 16, cols.data());
    const TextureId texRows = canvas.CreateTexture(16, 16, rows.data());
    const TRect whole{0, 0, 16, 16};

    canvas.BeginFrame(0xFF000000);
    canvas.UseTexturePx(texCols, whole, /*mirror=*/false);
    canvas.TexMap(kFull, TColor4(0xFFFFFFFF), beNormal);
    auto px = canvas.ReadPixels();
    EXPECT_EQ(PixelAt(px, kSize, 4, 32), kRed);
    EXPECT_EQ(PixelAt(px, kSize, 60, 32), kBlue);

    canvas.BeginFrame(0xFF000000);
    canvas.UseTexturePx(texCols, whole, /*mirror=*/true);
    canvas.TexMap(kFull, TColor4(0xFFFFFFFF), beNormal);
    px = canvas.ReadPixels();
    EXPECT_EQ(PixelAt(px, kSize, 4, 32), kBlue);
    EXPECT_EQ(PixelAt(px, kSize, 60, 32), kRed);

    // Frames read back top row first, so an unflipped green top stays at the top.
    canvas.BeginFrame(0xFF000000);
    canvas.UseTexturePx(texRows, whole, false, /*flip=*/false);
    canvas.TexMap(kFull, TColor4(0xFFFFFFFF), beNormal);
    px = canvas.ReadPixels();
    EXPECT_EQ(PixelAt(px, kSize, 32, 4), kGreen);
    EXPECT_EQ(PixelAt(px, kSize, 32, 60), kYellow);

    canvas.BeginFrame(0xFF000000);
    canvas.UseTexturePx(texRows, whole, false, /*flip=*/true);
    canvas.TexMap(kFull, TColor4(0xFFFFFFFF), beNormal);
    px = canvas.ReadPixels();
    EXPECT_EQ(PixelAt(px, kSize, 32, 4), kYellow);
    EXPECT_EQ(PixelAt(px, kSize, 32, 60), kGreen);

    // A source sub-rectangle: only the right half of the columns texture.
    canvas.BeginFrame(0xFF000000);
    canvas.UseTexturePx(texCols, TRect{8, 0, 16, 16});
    canvas.TexMap(kFull, TColor4(0xFFFFFFFF), beNormal);
    px = canvas.ReadPixels();
    EXPECT_EQ(PixelAt(px, kSize, 4, 32), kBlue);
}

TEST_F(GlCanvasTest, CornerColoursFormAGradientAndMultiplyTheTexture) {
    GlCanvas& canvas = MakeCanvas(kSize, kSize);
    // A vertical two-colour gradient, as fonts and panels use it: each row is one colour
    // from one side to the other.
    canvas.BeginFrame(0xFF000000);
    canvas.FillQuad(kFull, TColor4(kRed, kRed, kBlue, kBlue), beNormal);
    auto px = canvas.ReadPixels();
    EXPECT_GT(ColorRed(PixelAt(px, kSize, 0, 0)), 240u);
    EXPECT_GT(ColorBlue(PixelAt(px, kSize, kSize - 1, kSize - 1)), 240u);
    for (int x : {2, 20, 32, 44, 61}) {
        const uint32_t mid = PixelAt(px, kSize, x, kSize / 2);
        EXPECT_NEAR(ColorRed(mid), 126, 3) << x;
        EXPECT_NEAR(ColorBlue(mid), 129, 3) << x;
        EXPECT_EQ(mid, PixelAt(px, kSize, 2, kSize / 2)) << x;
    }
    // And a horizontal one.
    canvas.BeginFrame(0xFF000000);
    canvas.FillQuad(kFull, TColor4(kGreen, 0xFF000000, 0xFF000000, kGreen), beNormal);
    px = canvas.ReadPixels();
    EXPECT_GT(ColorGreen(PixelAt(px, kSize, 0, 30)), 240u);
    EXPECT_LT(ColorGreen(PixelAt(px, kSize, kSize - 1, 30)), 10u);
    EXPECT_NEAR(ColorGreen(PixelAt(px, kSize, 32, 10)), 126, 3);
    EXPECT_EQ(PixelAt(px, kSize, 32, 10), PixelAt(px, kSize, 32, 50));

    // Texture colour times corner colour.
    const std::vector<uint32_t> grey(16 * 16, kGrey);
    const TextureId tex = canvas.CreateTexture(16, 16, grey.data());
    canvas.BeginFrame(0xFF000000);
    canvas.UseTexturePx(tex, TRect{0, 0, 16, 16});
    canvas.TexMap(kFull, TColor4(kYellow), beNormal);
    px = canvas.ReadPixels();
    EXPECT_NEAR(ColorRed(PixelAt(px, kSize, 32, 32)), 128, 1);
    EXPECT_NEAR(ColorGreen(PixelAt(px, kSize, 32, 32)), 128, 1);
    EXPECT_EQ(ColorBlue(PixelAt(px, kSize, 32, 32)), 0u);
}

TEST_F(GlCanvasTest, FullyTransparentPixelsAreDiscardedEvenWhereBlendingIgnoresAlpha) {
    GlCanvas& canvas = MakeCanvas(kSize, kSize);
    // Left half transparent black, right half opaque mid grey.
    const auto pixels = SplitColumns(16, 16, 0x00000000, kGrey);
    const TextureId tex = canvas.CreateTexture(16, 16, pixels.data());
    const uint32_t background = MakeColor(200, 100, 50);
    canvas.BeginFrame(background);
    canvas.UseTexturePx(tex, TRect{0, 0, 16, 16});
    canvas.TexMap(kFull, TColor4(0xFFFFFFFF), beMultiply);
    // A transparent corner colour discards too.
    canvas.FillQuad(TPoint4{TPoint2{56, 0}, TPoint2{64, 0}, TPoint2{64, 8}, TPoint2{56, 8}},
                    TColor4(0x00FFFFFF), beInvMultiply);
    const auto px = canvas.ReadPixels();
    EXPECT_EQ(PixelAt(px, kSize, 4, 32), background);
    const uint32_t right = PixelAt(px, kSize, 60, 32);
    EXPECT_NEAR(ColorRed(right), 100, 1); // 200 * 0.5
    EXPECT_EQ(PixelAt(px, kSize, 60, 4), PixelAt(px, kSize, 60, 32));
}

TEST_F(GlCanvasTest, QuadranglesAreMappedProjectivelyWithoutACrease) {
    GlCanvas& canvas = MakeCanvas(128, 128);
    const auto pixels = SplitRows(16, 16, kRed, kBlue);
    const TextureId tex = canvas.CreateTexture(16, 16, pixels.data());
    // The diagonals of this quadrangle cross at (71.4, 28.6); projectively the crossing
    // maps to the middle of the texture, where red meets blue. Two plain triangles would
    // put the crossing at v = 0.71, well inside the blue half.
    canvas.BeginFrame(0xFF000000);
    canvas.UseTexturePx(tex, TRect{0, 0, 16, 16});
    canvas.TexMap(TPoint4{TPoint2{0, 0}, TPoint2{100, 0}, TPoint2{100, 40}, TPoint2{0, 100}},
                  TColor4(0xFFFFFFFF), beNormal);
    const auto px = canvas.ReadPixels();
    EXPECT_EQ(PixelAt(px, 128, 71, 24), kRed);
    EXPECT_EQ(PixelAt(px, 128, 71, 33), kBlue);
}

TEST_F(GlCanvasTest, ClipRectangleLimitsDrawing) {
    GlCanvas& canvas = MakeCanvas(kSize, kSize);
    canvas.BeginFrame(0xFF000000);
    EXPECT_EQ(canvas.ClipRect(), (TRect{0, 0, kSize, kSize}));
    canvas.SetClipRect(TRect{16, 16, 32, 32});
    EXPECT_EQ(canvas.ClipRect(), (TRect{16, 16, 32, 32}));
    canvas.FillQuad(kFull, TColor4(kRed), beNormal);
    const auto px = canvas.ReadPixels();
    EXPECT_EQ(PixelAt(px, kSize, 20, 20), kRed);
    EXPECT_EQ(PixelAt(px, kSize, 8, 8), 0xFF000000u);
    EXPECT_EQ(PixelAt(px, kSize, 40, 20), 0xFF000000u);
    // Out-of-range rectangles are clamped to the surface.
    canvas.SetClipRect(TRect{-50, -50, 5000, 5000});
    EXPECT_EQ(canvas.ClipRect(), (TRect{0, 0, kSize, kSize}));
}

TEST_F(GlCanvasTest, ArcsAreFilledWithTheirColours) {
    GlCanvas& canvas = MakeCanvas(kSize, kSize);
    canvas.BeginFrame(0xFF000000);
    // The right half of a disc (angles -pi/2 .. pi/2).
    canvas.FillArc(TPoint2{32, 32}, 30, -1.5707963f, 1.5707963f, 15, TColor4(kGreen), beNormal);
    const auto px = canvas.ReadPixels();
    EXPECT_EQ(PixelAt(px, kSize, 48, 32), kGreen);
    EXPECT_EQ(PixelAt(px, kSize, 16, 32), 0xFF000000u);
}

TEST_F(GlCanvasTest, QuadsSharingTextureAndEffectGoOutInOneDrawCall) {
    GlCanvas& canvas = MakeCanvas(kSize, kSize);
    const std::vector<uint32_t> white(4, 0xFFFFFFFF);
    const TextureId a = canvas.CreateTexture(2, 2, white.data());
    const TextureId b = canvas.CreateTexture(2, 2, white.data());
    canvas.BeginFrame(0xFF000000);
    for (int i = 0; i < 100; ++i) {
        canvas.UseTexturePx(a, TRect{0, 0, 2, 2});
        canvas.TexMap(kFull, TColor4(0xFFFFFFFF), i == 0 ? beNormal : beUnknown);
    }
    canvas.EndFrame();
    EXPECT_EQ(canvas.FrameStats().drawCalls, 1u);
    EXPECT_EQ(canvas.FrameStats().quads, 100u);

    canvas.BeginFrame(0xFF000000);
    for (int i = 0; i < 10; ++i) {
        canvas.UseTexturePx(i % 2 ? a : b, TRect{0, 0, 2, 2});
        canvas.TexMap(kFull, TColor4(0xFFFFFFFF), beNormal);
    }
    canvas.UseTexturePx(b, TRect{0, 0, 2, 2});
    canvas.TexMap(kFull, TColor4(0xFFFFFFFF), beAdd); // same texture, other effect
    canvas.EndFrame();
    EXPECT_EQ(canvas.FrameStats().drawCalls, 11u);
}

// What cannot show is left out, and the clip set again as it was keeps the batch whole; a
// quad that reaches into the clip still draws its visible part.
TEST_F(GlCanvasTest, QuadsThatCannotShowAreLeftOutAndAnUnchangedClipKeepsTheBatch) {
    GlCanvas& canvas = MakeCanvas(kSize, kSize);
    const std::vector<uint32_t> white(4, 0xFFFFFFFF);
    const TextureId a = canvas.CreateTexture(2, 2, white.data());
    const auto at = [](float x, float y, float w) {
        return TPoint4{TPoint2{x, y}, TPoint2{x + w, y}, TPoint2{x + w, y + w}, TPoint2{x, y + w}};
    };
    canvas.BeginFrame(0xFF000000);
    canvas.SetClipRect(TRect{0, 0, kSize / 2, kSize});
    canvas.UseTexturePx(a, TRect{0, 0, 2, 2});
    canvas.TexMap(at(kSize / 2 + 4, 4, 8), TColor4(kGreen), beNormal); // right of the clip
    canvas.TexMap(at(-20, 4, 8), TColor4(kGreen), beNormal);           // left of the canvas
    canvas.TexMap(at(4, 4, 8), TColor4(0x0000FF00u), beNormal);        // transparent
    canvas.SetClipRect(TRect{0, 0, kSize / 2, kSize});
    canvas.TexMap(at(kSize / 2 - 4, 20, 8), TColor4(kGreen), beNormal); // half inside
    canvas.EndFrame();
    EXPECT_EQ(canvas.FrameStats().quads, 1u);
    EXPECT_EQ(canvas.FrameStats().culledQuads, 3u);
    EXPECT_EQ(canvas.FrameStats().drawCalls, 1u);
    const auto px = canvas.ReadPixels();
    EXPECT_EQ(PixelAt(px, kSize, kSize / 2 - 2, 24), kGreen);
    EXPECT_EQ(PixelAt(px, kSize, kSize / 2 + 2, 24), 0xFF000000u);
    EXPECT_EQ(PixelAt(px, kSize, 8, 8), 0xFF000000u);
}

// Full batches, more than the vertex buffer holds at once, each on a strip of its own: every
// batch draws its own vertices, also after the buffer starts over.
TEST_F(GlCanvasTest, BatchesBeyondTheVertexBufferDrawTheirOwnQuads) {
    GlCanvas& canvas = MakeCanvas(kSize, kSize);
    const std::vector<uint32_t> red(4, 0xFFFF0000), green(4, 0xFF00FF00);
    const TextureId tex[2] = {canvas.CreateTexture(2, 2, red.data()),
                              canvas.CreateTexture(2, 2, green.data())};
    constexpr int kBatches = 6, kQuadsPerBatch = 16384, kStrip = kSize / 8;
    for (int frame = 0; frame < 2; ++frame) {
        canvas.BeginFrame(0xFF000000);
        for (int b = 0; b < kBatches; ++b) {
            const auto x0 = static_cast<float>(b * kStrip), x1 = x0 + kStrip;
            for (int q = 0; q < kQuadsPerBatch; ++q) {
                canvas.UseTexturePx(tex[(b + frame) % 2], TRect{0, 0, 2, 2});
                canvas.TexMap(
                    TPoint4{TPoint2{x0, 0}, TPoint2{x1, 0}, TPoint2{x1, kSize}, TPoint2{x0, kSize}},
                    TColor4(0xFFFFFFFF), beNormal);
            }
        }
        canvas.EndFrame();
        EXPECT_EQ(canvas.FrameStats().drawCalls, static_cast<unsigned>(kBatches));
        const std::vector<uint32_t> px = canvas.ReadPixels();
        for (int b = 0; b < kBatches; ++b)
            EXPECT_EQ(PixelAt(px, kSize, b * kStrip + kStrip / 2, kSize / 2),
                      (b + frame) % 2 ? 0xFF00FF00u : 0xFFFF0000u)
                << "frame " << frame << ", batch " << b;
        EXPECT_EQ(PixelAt(px, kSize, kBatches * kStrip + 2, kSize / 2), 0xFF000000u);
    }
}

TEST_F(GlCanvasTest, TexturesAreCheckedAndRecycled) {
    GlCanvas& canvas = MakeCanvas(kSize, kSize);
    EXPECT_EQ(canvas.CreateTexture(0, 4, nullptr), kNoTexture);
    EXPECT_EQ(canvas.CreateTexture(canvas.MaxTextureSize() + 1, 4, nullptr), kNoTexture);
    const TextureId t = canvas.CreateTexture(8, 4, nullptr);
    ASSERT_NE(t, kNoTexture);
    EXPECT_EQ(canvas.TextureSize(t), (TPoint2px{8, 4}));
    canvas.DestroyTexture(t);
    EXPECT_EQ(canvas.TextureSize(t), (TPoint2px{0, 0}));
    canvas.DestroyTexture(t); // twice is harmless
    // Drawing with a destroyed texture draws untextured rather than with a stale one.
    canvas.BeginFrame(0xFF000000);
    canvas.UseTexturePx(t, TRect{0, 0, 8, 4});
    canvas.TexMap(kFull, TColor4(kGreen), beNormal);
    EXPECT_EQ(PixelAt(canvas.ReadPixels(), kSize, 10, 10), kGreen);
}

} // namespace
} // namespace bw::test
