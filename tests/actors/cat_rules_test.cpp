// Where cats may stand, walk, jump and fall, on boards drawn as pictures:
//
//   ' ' no cell   '.' free cell   '1'..'6' bird   'A'..'F' bounded bird   'e' egg   'W' wall
//   'G'..'K' cat of kind 21..25   's' announced cat   'n' nestling   'k' key   'b' bonus
//   'o' gate   'B' the boss (this cell and the next)   'r' a cell something is headed for
//   '^' '>' 'v' '<' one-way cells
#include "actors/CatRules.h"

#include "platform/Random.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include <string>
#include <vector>

namespace bw {
namespace {

BoardSnapshot Picture(const std::vector<std::string>& rows) {
    BoardSnapshot s;
    for (size_t r = 0; r < rows.size(); ++r) {
        for (size_t col = 0; col < rows[r].size(); ++col) {
            const int x = static_cast<int>(col) + 1;
            const int y = static_cast<int>(r) + 1;
            const char ch = rows[r][col];
            if (ch == ' ') continue;
            s.Cells[x][y] = CellState{true, true, 0};
            if (ch >= '1' && ch <= '6') s.Birds[x][y] = BirdState{true, ch - '0'};
            if (ch >= 'A' && ch <= 'F') s.Birds[x][y] = BirdState{true, ch - 'A' + 1, true};
            if (ch >= 'G' && ch <= 'K') s.Cats[x][y] = CatState{true, 21 + (ch - 'G')};
            switch (ch) {
            case 'e':
                s.Birds[x][y].Egg = true;
                break;
            case 'W':
                s.Walls[x][y].Visible = true;
                break;
            case 's':
                s.Cats[x][y].NewShadow = true;
                break;
            case 'n':
                s.Nestlings[x][y] = true;
                break;
            case 'k':
                s.Keys[x][y] = true;
                break;
            case 'b':
                s.Bonuses[x][y] = BonusState{true, 41, 0};
                break;
            case 'o':
                s.Gates[x][y] = GateState{true, true, false};
                break;
            case 'B':
                s.BossOnBoard = true;
                s.BossPos = {x, y};
                break;
            case 'r':
                s.Reserved.push_back({x, y});
                break;
            case '^':
                s.Cells[x][y].Arrow = DirectionUp;
                break;
            case '>':
                s.Cells[x][y].Arrow = DirectionRight;
                break;
            case 'v':
                s.Cells[x][y].Arrow = DirectionDown;
                break;
            case '<':
                s.Cells[x][y].Arrow = DirectionLeft;
                break;
            default:
                break;
            }
        }
    }
    return s;
}

TEST(CatCells, AFreeCellHoldsNothingAndAwaitsNothing) {
    const BoardSnapshot s = Picture({".1eWGsnkbo.rB.", ". .   "});
    EXPECT_TRUE(IsCellFreeForCat(s, {1, 1}));
    EXPECT_TRUE(IsCellFreeForCat(s, {11, 1}));
    EXPECT_TRUE(IsCellFreeForCat(s, {1, 2}));
    // bird, egg, wall, cat, announced cat, nestling, key, bonus, gate, reserved, the boss's
    // two cells
    for (int x : {2, 3, 4, 5, 6, 7, 8, 9, 10, 12, 13, 14})
        EXPECT_FALSE(IsCellFreeForCat(s, {x, 1})) << x;
    EXPECT_FALSE(IsCellFreeForCat(s, {2, 2})) << "no cell";
    EXPECT_FALSE(IsCellFreeForCat(s, {0, 1})) << "the border";
    EXPECT_FALSE(IsCellFreeForCat(s, {20, -3})) << "off the grid";
}

TEST(CatCells, OpenNeighboursCountWhatACatCouldGetPast) {
    const BoardSnapshot s = Picture({
        ".....",
        ".1.G.",
        ".....",
        ".W.>.",
        "..n..",
        "  .  ",
    });
    // Birds and cats do not close a side.
    EXPECT_EQ(CountOpenNeighbours(s, {2, 1}), 3); // the top edge
    EXPECT_EQ(CountOpenNeighbours(s, {3, 2}), 4);
    EXPECT_EQ(CountOpenNeighbours(s, {1, 1}), 2); // a corner
    // A wall, a one-way cell and a nestling close their sides; so does a missing cell.
    EXPECT_EQ(CountOpenNeighbours(s, {3, 4}), 1);
    EXPECT_EQ(CountOpenNeighbours(s, {3, 6}), 0);
}

TEST(CatCells, GatesAndTheBossCloseASide) {
    const BoardSnapshot s = Picture({".....", ".o.B.", "....."});
    EXPECT_EQ(CountOpenNeighbours(s, {3, 2}), 2);
    EXPECT_EQ(CountOpenNeighbours(s, {5, 1}), 1) << "the boss's second cell";
}

TEST(CatWalk, OnlyAFreeNeighbourEnteredInItsOwnDirection) {
    RandomSeed(3);
    // Right is the only way out, through a cell entered moving right.
    EXPECT_EQ(ChooseWalkTarget(Picture({".1.", "1J>", ".1."}), {2, 2}), (TCoord2{3, 2}));
    // That cell entered only moving left: no way out.
    EXPECT_EQ(ChooseWalkTarget(Picture({".1.", "1J<", ".1."}), {2, 2}), NoCell);
    EXPECT_EQ(ChooseWalkTarget(Picture({".r.", "1J2", ".e."}), {2, 2}), NoCell);
    // With several ways every one is taken sometimes.
    bool seen[5] = {};
    for (int i = 0; i < 60; ++i) {
        const TCoord2 t = ChooseWalkTarget(Picture({"...", ".J.", "..."}), {2, 2});
        for (int d = 1; d <= 4; ++d) seen[d] = seen[d] || t == Neighbour({2, 2}, d);
    }
    EXPECT_TRUE(seen[1] && seen[2] && seen[3] && seen[4]);
}

TEST(CatJump, TargetsAreQuietCellsAwayFromBirdsAndCats) {
    const BoardSnapshot s = Picture({
        "K........",
        ".........",
        "....1....",
        ".........",
        "........A",
    });
    const TCoords2Array t = FindJumpTargets(s);
    auto has = [&](TCoord2 c) { return std::find(t.begin(), t.end(), c) != t.end(); };
    EXPECT_FALSE(has({2, 2})) << "diagonally next to the cat";
    EXPECT_FALSE(has({1, 2})) << "next to the cat";
    EXPECT_FALSE(has({5, 2})) << "beside a bird";
    EXPECT_FALSE(has({4, 3})) << "beside a bird";
    EXPECT_TRUE(has({4, 2})) << "diagonally next to a bird is fine";
    EXPECT_TRUE(has({8, 5})) << "beside a bounded bird is fine";
    EXPECT_TRUE(has({9, 1})) << "a corner still has two open sides";
    // Column by column.
    EXPECT_EQ(t.front(), (TCoord2{1, 3}));
}

TEST(CatJump, NoLandingOnAGateTheBossOrACellWithOneWayOut) {
    const BoardSnapshot s = Picture({
        "o..W.",
        "...W.",
        "B.WW.",
    });
    const TCoords2Array t = FindJumpTargets(s);
    auto has = [&](TCoord2 c) { return std::find(t.begin(), t.end(), c) != t.end(); };
    EXPECT_FALSE(has({1, 1})) << "a gate";
    EXPECT_FALSE(has({1, 3}) || has({2, 3})) << "the boss";
    EXPECT_FALSE(has({5, 1})) << "one open side";
    EXPECT_TRUE(has({2, 2}));
    // Beside an egg no cat lands; diagonally next to it one does.
    EXPECT_EQ(FindJumpTargets(Picture({"..", "e."})), (TCoords2Array{{2, 1}}));
}

TEST(RandomCatCells, NewCatsNeverStandSideBySide) {
    const TCoords2Array cells = FindRandomCatCells(Picture({".....", ".....", ".....", "....."}));
    // Only inner cells have four open sides; a cell listed keeps its four neighbours out.
    EXPECT_EQ(cells, (TCoords2Array{{2, 2}, {3, 3}, {4, 2}}));
    const TCoords2Array wide = FindRandomCatCells(Picture(std::vector<std::string>(9, "........")));
    EXPECT_GT(wide.size(), 10u);
    for (const TCoord2 a : wide)
        for (const TCoord2 b : wide) EXPECT_NE(std::abs(a.x - b.x) + std::abs(a.y - b.y), 1);
}

TEST(RandomCatCells, NotNearACatNorOnACellWithAClosedSide) {
    const TCoords2Array cells = FindRandomCatCells(Picture({
        "......",
        ".s....",
        "......",
        "....W.",
        "......",
    }));
    for (const TCoord2 c : cells) {
        EXPECT_FALSE(std::abs(c.x - 2) <= 1 && std::abs(c.y - 2) <= 1) << c.x << "," << c.y;
        EXPECT_FALSE(c == (TCoord2{4, 4}) || c == (TCoord2{5, 3})) << c.x << "," << c.y;
    }
    EXPECT_NE(std::find(cells.begin(), cells.end(), TCoord2{4, 2}), cells.end());
}

TEST(CatEntries, ConditionsCountCatsKeysWallsAndBonuses) {
    TLevelData_Cat e;
    e.Count = 3;
    CatSpawnCounts counts;
    counts.Cats = 1;
    e.Cond_name = "cond_less_then";
    e.Cond_value = 2;
    EXPECT_TRUE(FixedCatEntryFires(e, counts, 0));
    EXPECT_FALSE(FixedCatEntryFires(e, counts, 1)) << "a fixed cat placed this call counts";
    EXPECT_EQ(RandomCatEntryCopies(e, counts, 0), 3);
    EXPECT_EQ(RandomCatEntryCopies(e, counts, 1), 0);

    e.Cond_name = "cond_nestlings_less_then_keys";
    e.Cond_value = 5;
    counts.Nestlings = 2;
    counts.Keys = 1;
    EXPECT_TRUE(FixedCatEntryFires(e, counts, 0));
    EXPECT_EQ(RandomCatEntryCopies(e, counts, 1), 0) << "queued cats bring their keys";
    counts.Keys = 2;
    EXPECT_FALSE(FixedCatEntryFires(e, counts, 0));

    e.Cond_name = "cond_wall_and_bombs_less_then";
    EXPECT_FALSE(FixedCatEntryFires(e, counts, 0));
    counts.Walls = 1;
    EXPECT_EQ(RandomCatEntryCopies(e, counts, 0), 1);
    counts.Bonuses[1] = 1;
    EXPECT_EQ(RandomCatEntryCopies(e, counts, 0), 0);

    e.Cond_name = "cond_fireworks_less_then";
    e.Cond_value = 1;
    counts.Bonuses[2] = 2; // a cat carrying fireworks counts its value
    EXPECT_FALSE(FixedCatEntryFires(e, counts, 0));
    counts.Bonuses[2] = 1;
    EXPECT_TRUE(FixedCatEntryFires(e, counts, 0));

    e.Cond_name = "cond_start_level";
    EXPECT_EQ(RandomCatEntryCopies(e, counts, 0), 0);
    e.Cond_name = "cond_unknown";
    EXPECT_FALSE(FixedCatEntryFires(e, counts, 0));
}

} // namespace
} // namespace bw
