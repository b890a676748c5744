// Large pictures are drawn by their tiles: clear tiles left out, opaque ones drawn without
// blending. What shows must be what the whole picture drawn as one quad shows.
#include "render/AlphaTiles.h"
#include "support/GlContext.h"

#include <cstdlib>
#include <vector>

namespace bw::test {
namespace {

constexpr int kTile = AlphaTiles::kTile;

// A picture of `cols` x `rows` tiles, all clear but for the given tiles, opaque or half.
std::vector<uint32_t> Tiles(int cols, int rows, std::vector<std::pair<int, uint32_t>> filled) {
    const int w = cols * kTile;
    std::vector<uint32_t> px(static_cast<size_t>(w * rows * kTile), 0);
    for (const auto& [index, color] : filled)
        for (int y = 0; y < kTile; ++y)
            for (int x = 0; x < kTile; ++x)
                px[static_cast<size_t>((index / cols * kTile + y) * w + index % cols * kTile + x)] =
                    color;
    return px;
}

TEST(AlphaTiles, ATileIsClearOrOpaqueOnlyWithNeighboursOfItsKindRoundTheEdges) {
    // 6 x 4 tiles; one opaque block of 3 x 3 tiles at columns 1..3, rows 0..2, and one
    // visible pixel in the last column's bottom tile.
    std::vector<std::pair<int, uint32_t>> filled;
    for (int r = 0; r < 3; ++r)
        for (int c = 1; c <= 3; ++c) filled.emplace_back(r * 6 + c, 0xFF336699u);
    std::vector<uint32_t> px = Tiles(6, 4, filled);
    px[static_cast<size_t>((4 * kTile - 1) * 6 * kTile + 6 * kTile - 1)] = 0x01000000u;
    const AlphaTiles map = AlphaTiles::Of(6 * kTile, 4 * kTile, px.data());
    ASSERT_EQ(map.Columns(), 6);
    ASSERT_EQ(map.Rows(), 4);
    using K = AlphaTiles::Kind;
    // Only the block's middle tile has opaque neighbours all round.
    EXPECT_EQ(map.At(2, 1), K::Opaque);
    EXPECT_EQ(map.At(1, 1), K::Mixed);
    EXPECT_EQ(map.At(2, 0), K::Mixed); // its upper neighbour is the bottom row, round the edge
    EXPECT_EQ(map.At(5, 1), K::Clear);
    // The lone pixel in the corner tile spoils the tiles beside it, the top left one too.
    EXPECT_EQ(map.At(5, 3), K::Mixed);
    EXPECT_EQ(map.At(0, 0), K::Mixed);
    EXPECT_EQ(map.At(4, 2), K::Mixed);

    // Split: the clear tiles go, a column of tiles of one kind becomes one run.
    std::vector<AlphaTiles::Run> runs;
    map.Split(0, 0, 6 * kTile, 4 * kTile, runs);
    float covered = 0;
    for (const auto& run : runs) {
        EXPECT_NE(run.kind, K::Clear);
        covered += (run.right - run.left) * (run.bottom - run.top);
    }
    EXPECT_LT(covered, 24.0f * kTile * kTile);
    // Part of a tile: the runs keep to the rectangle asked for.
    runs.clear();
    map.Split(2 * kTile + 3.5f, kTile + 2, 3 * kTile - 1, 2 * kTile - 4, runs);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].left, 2 * kTile + 3.5f);
    EXPECT_EQ(runs[0].bottom, 2 * kTile - 4.0f);
    EXPECT_EQ(runs[0].kind, K::Opaque);
}

using AlphaTilesGl = GlTest;

// The same picture twice: one as created (tiled), one updated after creation (drawn whole).
TEST_F(AlphaTilesGl, ATiledPictureShowsWhatItShowsWhole) {
    constexpr int W = 256, H = 256, C = 256;
    std::vector<uint32_t> px(static_cast<size_t>(W * H));
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            uint32_t c = 0; // the left part is clear
            // Above, the kinds change at tile borders; below, within tiles.
            const int edge = y < H / 2 ? 4 * kTile : 60 + (y * 7) % 23;
            const int translucent = y < H / 2 ? 11 * kTile : 170;
            if (x >= edge && x < translucent)
                c = 0xFF000000u | static_cast<uint32_t>(x * 3 % 256) << 16 |
                    static_cast<uint32_t>(y % 256) << 8 | 0x40u;
            else if (x >= translucent)
                c = static_cast<uint32_t>((x + y) % 200 + 20) << 24 | 0x00FFAA00u;
            px[static_cast<size_t>(y * W + x)] = c;
        }
    GlCanvas& canvas = MakeCanvas(C, C);
    const TextureId tiled = canvas.CreateTexture(W, H, px.data());
    const TextureId whole = canvas.CreateTexture(W, H, nullptr);
    canvas.UpdateTexture(whole, px.data());

    struct Case {
        const char* what;
        TPoint4 at;
        TRect source;
        bool mirror;
        TColor color;
        TBlendingEffect effect;
    };
    const auto box = [](float x, float y, float w, float h) {
        return TPoint4{TPoint2{x, y}, TPoint2{x + w, y}, TPoint2{x + w, y + h}, TPoint2{x, y + h}};
    };
    const Case cases[] = {
        {"one to one", box(-20, -10, W, H), TRect{0, 0, W, H}, false, 0xFFFFFFFFu, beNormal},
        {"smaller, off the pixel grid, mirrored", box(7.3f, 5.6f, W * 0.667f, H * 0.667f),
         TRect{0, 0, W, H}, true, 0xFFFFFFFFu, beNormal},
        {"larger, a part of the picture", box(-30, -12, 300, 280), TRect{40, 30, 240, 230}, false,
         0xFFFFFFFFu, beNormal},
        {"tinted and half transparent", box(-20, -10, W, H), TRect{0, 0, W, H}, false, 0x80FF8040u,
         beNormal},
        {"added", box(-20, -10, W, H), TRect{0, 0, W, H}, false, 0xFFFFFFFFu, beAdd},
    };
    for (const Case& c : cases) {
        std::vector<uint32_t> shown[2];
        Canvas::Stats stats[2];
        for (int i = 0; i < 2; ++i) {
            canvas.BeginFrame(0xFF204060u);
            canvas.UseTexturePx(i == 0 ? tiled : whole, c.source, c.mirror);
            canvas.TexMap(c.at, TColor4(c.color), c.effect);
            canvas.EndFrame();
            stats[i] = canvas.FrameStats();
            shown[i] = canvas.ReadPixels();
        }
        EXPECT_GT(stats[0].triangles, 2u) << c.what << ": drawn by its tiles";
        EXPECT_EQ(stats[1].triangles, 2u) << c.what;
        int worst = 0;
        for (size_t p = 0; p < shown[0].size(); ++p)
            for (int shift : {0, 8, 16}) {
                const int a = static_cast<int>(shown[0][p] >> shift & 0xFF);
                const int b = static_cast<int>(shown[1][p] >> shift & 0xFF);
                worst = std::max(worst, std::abs(a - b));
            }
        EXPECT_LE(worst, 1) << c.what;
    }
}

} // namespace
} // namespace bw::test
