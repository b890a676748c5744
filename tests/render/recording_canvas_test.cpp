#include "render/RecordingCanvas.h"

#include <gtest/gtest.h>

namespace bw {
namespace {

TEST(RecordingCanvas, PatternSelectionMirrorsAndFlipsTextureCoordinates) {
    RecordingCanvas canvas;
    const TextureId tex = canvas.CreateTexture(256, 128, nullptr);
    ASSERT_NE(tex, kNoTexture);
    const TPoint4 corners{TPoint2{0, 0}, TPoint2{64, 0}, TPoint2{64, 64}, TPoint2{0, 64}};

    canvas.UseTexturePx(tex, TRect{64, 32, 128, 64});
    canvas.TexMap(corners, TColor4(0xFFFFFFFF), beNormal);
    canvas.UseTexturePx(tex, TRect{64, 32, 128, 64}, /*mirror=*/true, /*flip=*/true);
    canvas.TexMap(corners, TColor4(0xFFFFFFFF), beAdd);

    ASSERT_EQ(canvas.Quads().size(), 2u);
    const auto& plain = canvas.Quads()[0].uv;
    EXPECT_FLOAT_EQ(plain[0].x, 0.25f);
    EXPECT_FLOAT_EQ(plain[0].y, 0.25f);
    EXPECT_FLOAT_EQ(plain[2].x, 0.5f);
    EXPECT_FLOAT_EQ(plain[2].y, 0.5f);
    const auto& turned = canvas.Quads()[1].uv;
    EXPECT_FLOAT_EQ(turned[0].x, 0.5f); // mirrored: left edge samples the right
    EXPECT_FLOAT_EQ(turned[0].y, 0.5f); // flipped: top edge samples the bottom
    EXPECT_FLOAT_EQ(turned[2].x, 0.25f);
    EXPECT_FLOAT_EQ(turned[2].y, 0.25f);
    EXPECT_EQ(canvas.Quads()[1].effect, beAdd);
}

TEST(RecordingCanvas, FillArcSplitsIntoSegmentsAroundTheCentre) {
    RecordingCanvas canvas;
    canvas.FillArc(TPoint2{100, 100}, 50, 0.0f, 3.14159265f, 15,
                   TColor4(0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF), beNormal);
    ASSERT_EQ(canvas.TriangleBatches().size(), 1u);
    const auto& v = canvas.TriangleBatches()[0].vertices;
    ASSERT_EQ(v.size(), 45u);
    EXPECT_FLOAT_EQ(v[0].pos.x, 100.0f);
    EXPECT_NEAR(v[1].pos.x, 150.0f, 1e-3); // angle 0 points right
    EXPECT_NEAR(v.back().pos.x, 50.0f, 1e-3);
    // Nothing for a degenerate arc.
    canvas.FillArc(TPoint2{0, 0}, 0, 0, 1, 10, TColor4(), beNormal);
    canvas.FillArc(TPoint2{0, 0}, 10, 0, 1, 0, TColor4(), beNormal);
    EXPECT_EQ(canvas.TriangleBatches().size(), 1u);
}

TEST(RecordingCanvas, RejectsAbsurdTextureSizes) {
    RecordingCanvas canvas;
    EXPECT_EQ(canvas.CreateTexture(0, 10, nullptr), kNoTexture);
    EXPECT_EQ(canvas.CreateTexture(-5, 10, nullptr), kNoTexture);
    EXPECT_EQ(canvas.TextureSize(12345), (TPoint2px{0, 0}));
}

} // namespace
} // namespace bw
