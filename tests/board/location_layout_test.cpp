#include "board/LocationLayout.h"

#include "platform/Random.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <set>
#include <vector>

namespace bw {
namespace {

using MapFixture = BoardGrid<int32_t>;

// Cells 1..w x 1..h with the given code.
MapFixture Filled(int w, int h, int32_t code = 1) {
    MapFixture map{};
    for (int x = 1; x <= w; ++x)
        for (int y = 1; y <= h; ++y) map[x][y] = code;
    return map;
}

TLocationOptions Board(TLocationMapKind kind, TCoord2 mapSize) {
    TLocationOptions o;
    o.FKind = kind;
    o.FMapSize = mapSize;
    o.FMapPosition = {300, 0};
    o.FMapElementsSize = {76, 60};
    return o;
}

const CellPlacement* Find(const std::vector<CellPlacement>& cells, TCoord2 c) {
    for (const CellPlacement& p : cells)
        if (p.Cell == c) return &p;
    return nullptr;
}

std::vector<int> ColumnOrder(const std::vector<CellPlacement>& cells) {
    std::vector<int> columns;
    for (const CellPlacement& p : cells)
        if (columns.empty() || columns.back() != p.Cell.x) columns.push_back(p.Cell.x);
    return columns;
}

TEST(LocationLayout, DefaultPositionsOrderAndOneWayCells) {
    RandomSeed(1);
    TLocationOptions o = Board(lockind_Default, {4, 3});
    MapFixture map = Filled(4, 3);
    map[2][2] = 0;  // no cell
    map[4][1] = 22; // one-way, entered moving right
    map[1][3] = 35; // an open gate is an ordinary cell
    const std::vector<CellPlacement> cells = LayoutCells(o, map);

    ASSERT_EQ(cells.size(), 11u);
    EXPECT_EQ(cells[0].Cell, (TCoord2{1, 1}));
    EXPECT_EQ(cells[1].Cell, (TCoord2{1, 2})); // rows inside columns
    EXPECT_EQ(Find(cells, {2, 2}), nullptr);
    EXPECT_EQ(cells[0].Pos, (TPoint2{376, 248}));
    EXPECT_EQ(Find(cells, {3, 2})->Pos, (TPoint2{528, 308}));
    // With the reset pattern values (one pattern, chess order) every ordinary cell shows 0.
    for (const CellPlacement& p : cells) {
        if (p.Cell != TCoord2{4, 1}) {
            EXPECT_EQ(p.Pattern, 0);
        }
    }
    EXPECT_EQ(Find(cells, {4, 1})->Arrow, 2);
    EXPECT_EQ(Find(cells, {4, 1})->Pattern, 1 + 2 - 1);
    EXPECT_EQ(Find(cells, {1, 3})->Arrow, 0);

    // The skew moves rows sideways and columns up or down.
    o.FMapElementsOffset = {10, -5};
    EXPECT_EQ(Find(LayoutCells(o, map), {3, 2})->Pos, (TPoint2{300 + 228 + 20, 188 + 120 - 15}));
}

TEST(LocationLayout, ChessOrderSplitsThePatterns) {
    TLocationOptions o = Board(lockind_Water_1, {16, 16});
    o.FMapElementsAnimCount = 4;
    const MapFixture map = Filled(16, 16);
    RandomSeed(7);
    std::set<int> even, odd;
    for (const CellPlacement& p : LayoutCells(o, map))
        ((p.Cell.x + p.Cell.y) % 2 == 0 ? even : odd).insert(p.Pattern);
    EXPECT_EQ(even, (std::set<int>{0, 1}));
    EXPECT_EQ(odd, (std::set<int>{2, 3}));

    o.FMapElementsChessOrder = false;
    RandomSeed(7);
    const std::vector<CellPlacement> first = LayoutCells(o, map);
    even.clear();
    odd.clear();
    for (const CellPlacement& p : first)
        ((p.Cell.x + p.Cell.y) % 2 == 0 ? even : odd).insert(p.Pattern);
    EXPECT_EQ(even, (std::set<int>{0, 1, 2, 3}));
    EXPECT_EQ(odd, (std::set<int>{0, 1, 2, 3}));

    // The same seed builds the same board.
    RandomSeed(7);
    const std::vector<CellPlacement> again = LayoutCells(o, map);
    ASSERT_EQ(again.size(), first.size());
    for (std::size_t i = 0; i < first.size(); ++i) EXPECT_EQ(again[i].Pattern, first[i].Pattern);
}

TEST(LocationLayout, ClassicRoofHalves) {
    RandomSeed(3);
    TLocationOptions o = Board(lockind_ClassicRoof, {8, 2});
    o.FMapElementsOffset = {4, 20};
    o.FMapElementsScale = {0.5f, 2.0f};
    o.FMapTag = {0, 1.5f};
    o.FMapElementsAnimCount = 8; // H 4: two patterns per chess colour and half
    MapFixture map = Filled(8, 2);
    map[2][1] = 22;
    map[7][2] = 24;
    const std::vector<CellPlacement> cells = LayoutCells(o, map);

    EXPECT_EQ(ColumnOrder(cells), (std::vector<int>{1, 2, 3, 4, 8, 7, 6, 5}));
    const CellPlacement& left = *Find(cells, {3, 2});
    EXPECT_FLOAT_EQ(left.Pos.x, (3 * 76 + 2 * 4) * 0.5f + 300 - 3);
    EXPECT_FLOAT_EQ(left.Pos.y, (188 + 2 * 60 + 3 * 20) * 2.0f + 0);
    const CellPlacement& right = *Find(cells, {6, 2});
    EXPECT_FLOAT_EQ(right.Pos.x, (6 * 76 + 2 * 4) * 0.5f + 300 + 5);
    EXPECT_FLOAT_EQ(right.Pos.y, ((2 - 1.5f) * 60 - 6 * 20) * 2.0f + 0 + 2);

    for (const CellPlacement& p : cells) {
        EXPECT_EQ(p.Arrow, 0) << "no one-way cells on a roof";
        const int chess = (p.Cell.x + p.Cell.y) % 2;
        const int base = (p.Cell.x >= 5 ? 4 : 0) + chess * 2;
        EXPECT_GE(p.Pattern, base);
        EXPECT_LE(p.Pattern, base + 1);
    }
}

// With an odd width the middle column belongs to the right half, and with an odd number of
// patterns per half (A 6, H 3) each chess colour of a half gets H div 2 = 1 pattern.
TEST(LocationLayout, ClassicRoofWithAnOddWidthAndAnOddHalf) {
    RandomSeed(9);
    TLocationOptions o = Board(lockind_ClassicRoof, {7, 3});
    o.FMapElementsAnimCount = 6;
    const std::vector<CellPlacement> cells = LayoutCells(o, Filled(7, 3));
    EXPECT_EQ(ColumnOrder(cells), (std::vector<int>{1, 2, 3, 7, 6, 5, 4}));
    EXPECT_EQ(Find(cells, {3, 2})->Pos, (TPoint2{3 * 76 + 300 - 3, 188 + 2 * 60}));
    EXPECT_EQ(Find(cells, {4, 2})->Pos, (TPoint2{4 * 76 + 300 + 5, 2 * 60 + 2}));
    for (const CellPlacement& p : cells)
        EXPECT_EQ(p.Pattern, (p.Cell.x >= 4 ? 3 : 0) + (p.Cell.x + p.Cell.y) % 2)
            << p.Cell.x << "," << p.Cell.y;
}

// The slope is skewed and scaled; the flat part ignores both and lies on the height the
// slope reaches at half the width (2.5 columns for five).
TEST(LocationLayout, ModernRoofPartsWithAnOddWidth) {
    RandomSeed(4);
    TLocationOptions o = Board(lockind_ModernRoof, {5, 2});
    o.FMapElementsOffset = {4, -10};
    o.FMapElementsScale = {0.5f, 2.0f};
    o.FMapElementsAnimCount = 8;
    const std::vector<CellPlacement> cells = LayoutCells(o, Filled(5, 2));
    EXPECT_EQ(ColumnOrder(cells), (std::vector<int>{1, 2, 5, 4, 3}));
    EXPECT_EQ(Find(cells, {2, 2})->Pos,
              (TPoint2{(2 * 76 + 2 * 4) * 0.5f + 300, (188 + 2 * 60 - 2 * 10) * 2.0f}));
    EXPECT_EQ(Find(cells, {3, 2})->Pos, (TPoint2{300 + 3 * 76, 2.5f * -10 + 2 * 60 + 180}));
    EXPECT_EQ(Find(cells, {5, 1})->Pos, (TPoint2{300 + 5 * 76, 2.5f * -10 + 60 + 180}));
    for (const CellPlacement& p : cells) {
        const int base = (p.Cell.x >= 3 ? 4 : 0) + (p.Cell.x + p.Cell.y) % 2 * 2;
        EXPECT_TRUE(p.Pattern == base || p.Pattern == base + 1) << p.Cell.x << "," << p.Cell.y;
    }
}

TEST(LocationLayout, ModernRoofHasOneWayCellsOnlyOnTheFlatPart) {
    RandomSeed(5);
    TLocationOptions o = Board(lockind_ModernRoof, {6, 3});
    o.FMapElementsOffset = {0, -10};
    o.FMapElementsAnimCount = 4;
    MapFixture map = Filled(6, 3);
    map[0][0] = 1; // a border code is never built
    map[2][2] = 21;
    map[5][2] = 21;
    const std::vector<CellPlacement> cells = LayoutCells(o, map);
    EXPECT_EQ(ColumnOrder(cells), (std::vector<int>{1, 2, 3, 6, 5, 4}));
    EXPECT_EQ(cells.size(), 18u);
    EXPECT_EQ(Find(cells, {2, 2})->Arrow, 0);
    EXPECT_EQ(Find(cells, {5, 2})->Arrow, 1);
    EXPECT_EQ(Find(cells, {5, 2})->Pattern, 4);
    EXPECT_EQ(Find(cells, {4, 3})->Pos, (TPoint2{300 + 4 * 76, 3 * -10 + 3 * 60 + 0 + 180}));
    EXPECT_EQ(Find(cells, {2, 3})->Pos, (TPoint2{2 * 76 + 300, 188 + 3 * 60 - 2 * 10}));
}

TEST(LocationLayout, HangarArch) {
    const TLocationOptions o = Board(lockind_Hangar, {16, 2});
    MapFixture map = Filled(16, 2);
    map[8][1] = 23;
    const std::vector<CellPlacement> cells = LayoutCells(o, map);
    ASSERT_EQ(cells.size(), 32u);
    const CellPlacement& c = *Find(cells, {8, 1});
    EXPECT_EQ(c.Pos, (TPoint2{300 + 8 * 76 + 514, 188 + 60 - 104}));
    EXPECT_EQ(c.Arrow, 0);
    EXPECT_EQ(Find(cells, {16, 2})->Pos, (TPoint2{300 + 16 * 76 + 1118, 188 + 120 - 2}));
    for (const CellPlacement& p : cells) EXPECT_EQ(p.Pattern, p.Cell.x - 1);
    EXPECT_EQ(Find(cells, {1, 2})->Pos, (TPoint2{300 + 76, 188 + 120})) << "the arch starts flat";
}

TEST(LocationLayout, RiverBanksPlanksAndArrows) {
    RandomSeed(11);
    TLocationOptions o = Board(lockind_River_1, {16, 16});
    o.FMapElementsAnimCount = 7;
    MapFixture map = Filled(16, 16, 2);
    for (int y = 1; y <= 16; ++y) map[1][y] = map[16][y] = 1;
    map[8][8] = 23;
    map[9][9] = 41; // a closed gate
    const std::vector<CellPlacement> cells = LayoutCells(o, map);
    std::set<int> planks;
    for (const CellPlacement& p : cells) {
        const TPoint2 flat{static_cast<float>(300 + p.Cell.x * 76),
                           static_cast<float>(188 + p.Cell.y * 60)};
        if (map[p.Cell.x][p.Cell.y] == 2) {
            planks.insert(p.Pattern);
            EXPECT_EQ(p.Pos, (TPoint2{flat.x, flat.y + 3}));
        } else {
            EXPECT_EQ(p.Pos, flat);
        }
        if (map[p.Cell.x][p.Cell.y] == 1) {
            const int chess = (p.Cell.x + p.Cell.y) % 2;
            EXPECT_TRUE(p.Pattern == chess * 2 || p.Pattern == chess * 2 + 1);
        }
    }
    EXPECT_EQ(planks, (std::set<int>{4, 5, 6}));
    EXPECT_EQ(Find(cells, {8, 8})->Arrow, 3);
    EXPECT_EQ(Find(cells, {8, 8})->Pattern, 7 + 3 - 1);
    EXPECT_EQ(Find(cells, {9, 9})->Pattern, 0);
}

TEST(LocationLayout, OversizedOrNegativeMapsStayInsideThePlayableCells) {
    MapFixture map{};
    for (auto& column : map) column.fill(1);
    for (const TLocationMapKind kind : {lockind_Default, lockind_ClassicRoof, lockind_ModernRoof,
                                        lockind_Hangar, lockind_River_1}) {
        TLocationOptions o = Board(kind, {40, 17});
        o.FMapElementsAnimCount = 8;
        const std::vector<CellPlacement> cells = LayoutCells(o, map);
        EXPECT_EQ(cells.size(), 256u) << int(kind);
        for (const CellPlacement& p : cells) ASSERT_TRUE(IsPlayableCell(p.Cell)) << int(kind);
        o.FMapSize = {-3, 5};
        EXPECT_TRUE(LayoutCells(o, map).empty()) << int(kind);
    }
    EXPECT_EQ(LayoutSize(Board(lockind_Default, {40, -2})), (TCoord2{16, 0}));
}

// Banks keep their chess sets even without chess order; only the planks float, and a one-way
// cell after seven ordinary patterns does not.
TEST(LocationLayout, RiverPlanksAreTheCellsThatFloat) {
    RandomSeed(13);
    TLocationOptions o = Board(lockind_River_1, {8, 8});
    o.FMapElementsAnimCount = 7;
    o.FMapElementsChessOrder = false;
    MapFixture map = Filled(8, 8);
    for (int y = 1; y <= 8; ++y) map[3][y] = map[4][y] = map[5][y] = 2;
    map[6][6] = 21;
    for (const CellPlacement& p : LayoutCells(o, map)) {
        const int code = map[p.Cell.x][p.Cell.y];
        EXPECT_EQ(CellFloats(o, p.Pattern), code == 2) << p.Cell.x << "," << p.Cell.y;
        if (code == 1) {
            EXPECT_EQ(p.Pattern / 2, (p.Cell.x + p.Cell.y) % 2);
        }
    }
}

// ---- Floating -----------------------------------------------------------------------------

TEST(LocationFloating, WhichCellsFloat) {
    TLocationOptions o;
    o.FKind = lockind_Water_1;
    EXPECT_TRUE(CellFloats(o, 0));
    o.FKind = lockind_River_1;
    EXPECT_FALSE(CellFloats(o, 3));
    EXPECT_TRUE(CellFloats(o, 4));
    EXPECT_TRUE(CellFloats(o, 6));
    EXPECT_FALSE(CellFloats(o, 7));
    o.FKind = lockind_Default;
    EXPECT_FALSE(CellFloats(o, 0));
    // Train without a train object: nothing floats (the train case is in the object tests).
    o.FKind = lockind_Train;
    EXPECT_FALSE(CellFloats(o, 0));
}

TEST(LocationFloating, LandingDipRecoversInTwentyUpdates) {
    double t = 0;
    float dip = 5;
    EXPECT_EQ(FloatingAlpha(dip), 120);
    for (int i = 0; i < 19; ++i) AdvanceFloating(t, dip);
    EXPECT_GT(dip, 0.0f);
    AdvanceFloating(t, dip);
    EXPECT_EQ(dip, 0.0f);
    EXPECT_EQ(FloatingAlpha(dip), 255);
    AdvanceFloating(t, dip);
    EXPECT_EQ(dip, 0.0f);
    EXPECT_NEAR(t, 21 * 0.07, 1e-9);
    EXPECT_EQ(FloatingAlpha(20), 0);

    const TPoint2 crest = FloatingOffset(std::numbers::pi / 2 / 0.3, 2.0f);
    EXPECT_NEAR(crest.x, 1.5, 1e-5);
    EXPECT_NEAR(crest.y, 2.5, 1e-5);

    t = FloatingTimeLimit;
    AdvanceFloating(t, dip);
    EXPECT_EQ(t, 0.0);
}

} // namespace
} // namespace bw
