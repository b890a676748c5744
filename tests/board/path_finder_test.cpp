#include "board/PathFinder.h"

#include <gtest/gtest.h>

#include <deque>
#include <initializer_list>
#include <random>
#include <string>

namespace bw {
namespace {

// Board pictures: one string per row (pY = 1, 2, ...), one character per column (pX = 1, 2,
// ...). Cells beyond the picture do not exist.
//   ' ' no cell        '.' empty cell       'i' cell that is not shown
//   '^' '>' 'v' '<'    one-way cell entered moving up, right, down, left
//   'S' start (the dragged object stands there)   'T' target (empty)
//   'B' bird   'q' tied bird   'b' bird tied this turn   'e' egg
//   'C' cat    'N' caged nestling   'K' key   'O' bonus   'o' bonus being set off
//   'W' wall   'w' wall that is still growing
//   'G' closed gate   'g' open gate   'A' closed gate while it animates
//   'F' where a flying bird will land    'H' boss (covers this cell and the one to its right)
struct Picture {
    BoardSnapshot board;
    TCoord2 start = NoCell;
    TCoord2 target = NoCell;
};

Picture Draw(std::initializer_list<std::string> rows, DragObject dragged = drag_Bird,
             int bonusKind = 0) {
    Picture p;
    p.board.Dragged = dragged;
    p.board.DraggedBonusKind = bonusKind;
    int y = 1;
    for (const std::string& row : rows) {
        for (int x = 1; x <= static_cast<int>(row.size()); ++x) {
            const char ch = row[x - 1];
            if (ch == ' ') continue;
            CellState& cell = p.board.Cells[x][y];
            cell = {true, ch != 'i', 0};
            BirdState& bird = p.board.Birds[x][y];
            switch (ch) {
            case '^':
                cell.Arrow = DirectionUp;
                break;
            case '>':
                cell.Arrow = DirectionRight;
                break;
            case 'v':
                cell.Arrow = DirectionDown;
                break;
            case '<':
                cell.Arrow = DirectionLeft;
                break;
            case 'S':
                p.start = {x, y};
                if (dragged == drag_Bird) bird = {true, 1};
                if (dragged == drag_Key) p.board.Keys[x][y] = true;
                if (dragged == drag_Bonus) p.board.Bonuses[x][y] = {true, bonusKind, 0};
                break;
            case 'T':
                p.target = {x, y};
                break;
            case 'B':
                bird = {true, 2};
                break;
            case 'q':
                bird = {true, 3, true};
                break;
            case 'b':
                bird = {true, 3, true, true};
                break;
            case 'e':
                bird = {false, 4, false, false, true};
                break;
            case 'C':
                p.board.Cats[x][y] = {true, 22};
                break;
            case 'N':
                p.board.Nestlings[x][y] = true;
                break;
            case 'K':
                p.board.Keys[x][y] = true;
                break;
            case 'O':
                p.board.Bonuses[x][y] = {true, 41, 0};
                break;
            case 'o':
                p.board.Bonuses[x][y] = {true, 42, 1};
                break;
            case 'W':
                p.board.Walls[x][y] = {true, false};
                break;
            case 'w':
                p.board.Walls[x][y] = {true, true};
                break;
            case 'G':
                p.board.Gates[x][y] = {true, false, false};
                break;
            case 'g':
                p.board.Gates[x][y] = {true, true, false};
                break;
            case 'A':
                p.board.Gates[x][y] = {true, false, true};
                break;
            case 'F':
                p.board.FlyingBirdTargets.push_back({x, y});
                break;
            case 'H':
                p.board.BossOnBoard = true;
                p.board.BossPos = {x, y};
                break;
            default:
                break;
            }
        }
        ++y;
    }
    return p;
}

TAlgPathResult Find(const Picture& p) {
    return FindPath(p.board, p.start, p.target);
}

TCoords2Array Cells(std::initializer_list<TCoord2> cells) {
    return cells;
}

TEST(FindPath, NeighbourCellGivesAPathOfTwoCells) {
    const auto p = Draw({"ST.", "..."});
    const auto r = Find(p);
    ASSERT_TRUE(r.PathWasFind);
    EXPECT_EQ(r.Path, Cells({{1, 1}, {2, 1}}));
}

TEST(FindPath, StraightLineOnAnOpenRow) {
    const auto p = Draw({"....", "T..S", "...."});
    const auto r = Find(p);
    ASSERT_TRUE(r.PathWasFind);
    EXPECT_EQ(r.Path, Cells({{4, 2}, {3, 2}, {2, 2}, {1, 2}}));
}

TEST(FindPath, BlockingOccupantsCloseACorridor) {
    for (char blocker : std::string("iBqCNOWGF")) {
        SCOPED_TRACE(std::string("blocker ") + blocker);
        const auto p = Draw({std::string("S") + blocker + "T"});
        EXPECT_FALSE(Find(p).PathWasFind);
    }
}

TEST(FindPath, PassableOccupantsLeaveACorridorOpen) {
    for (char passable : std::string(".bewgAKo")) {
        SCOPED_TRACE(std::string("passable ") + passable);
        const auto p = Draw({std::string("S") + passable + "T"});
        const auto r = Find(p);
        ASSERT_TRUE(r.PathWasFind);
        EXPECT_EQ(r.Path, Cells({{1, 1}, {2, 1}, {3, 1}}));
    }
}

TEST(FindPath, MissingCellsAreHoles) {
    EXPECT_FALSE(Find(Draw({"S T"})).PathWasFind);
    const auto r = Find(Draw({"S T", "..."}));
    ASSERT_TRUE(r.PathWasFind);
    EXPECT_EQ(r.Path.size(), 5u);
}

TEST(FindPath, TargetMustAcceptTheDraggedObject) {
    // Occupied targets: a bird, a cat, a nestling, a bonus, a full wall, a closed gate.
    for (char occupant : std::string("BCNOWGFq")) {
        SCOPED_TRACE(std::string("target ") + occupant);
        auto p = Draw({std::string("S.") + occupant});
        p.target = {3, 1};
        EXPECT_FALSE(Find(p).PathWasFind);
    }
    // A key does not stop the search; whether a release on it is allowed is decided by the
    // board's input rules.
    auto key = Draw({"S.K"});
    key.target = {3, 1};
    EXPECT_TRUE(Find(key).PathWasFind);
}

TEST(FindPath, KeyMayBeReleasedOnACagedNestlingOnly) {
    auto withKey = Draw({"S.N"}, drag_Key);
    withKey.target = {3, 1};
    EXPECT_TRUE(Find(withKey).PathWasFind);

    auto withBird = Draw({"S.N"}, drag_Bird);
    withBird.target = {3, 1};
    EXPECT_FALSE(Find(withBird).PathWasFind);

    // A nestling on the way still blocks a key.
    auto through = Draw({"SN.N"}, drag_Key);
    through.target = {4, 1};
    EXPECT_FALSE(Find(through).PathWasFind);
}

TEST(FindPath, HamburgerMayBeReleasedOnTheBoss) {
    for (int target : {3, 4}) {
        auto p = Draw({"S.H.", "...."}, drag_Bonus, HamburgerBonusKind);
        p.target = {target, 1};
        EXPECT_TRUE(Find(p).PathWasFind) << target;
    }
    auto bomb = Draw({"S.H."}, drag_Bonus, 41);
    bomb.target = {3, 1};
    EXPECT_FALSE(Find(bomb).PathWasFind);
    // Both cells of the boss block every route through them.
    EXPECT_FALSE(Find(Draw({"SH.T"}, drag_Bonus, HamburgerBonusKind)).PathWasFind);
    EXPECT_FALSE(Find(Draw({"S.H.T"}, drag_Bonus, HamburgerBonusKind)).PathWasFind);
    EXPECT_FALSE(Find(Draw({"S.H.T"})).PathWasFind);
}

TEST(FindPath, OneWayCellsAreEnteredOnlyInTheirDirection) {
    EXPECT_TRUE(Find(Draw({"S>T"})).PathWasFind);
    EXPECT_FALSE(Find(Draw({"S<T"})).PathWasFind);
    EXPECT_FALSE(Find(Draw({"T>S"})).PathWasFind);
    EXPECT_TRUE(Find(Draw({"T<S"})).PathWasFind);
    EXPECT_TRUE(Find(Draw({"S", "v", "T"})).PathWasFind);
    EXPECT_FALSE(Find(Draw({"S", "^", "T"})).PathWasFind);
    // Leaving a one-way cell is free in every direction.
    const auto r = Find(Draw({"S>.", " T."}));
    ASSERT_TRUE(r.PathWasFind);
    EXPECT_EQ(r.Path, Cells({{1, 1}, {2, 1}, {2, 2}}));
}

TEST(FindPath, OneWayTargetIsReachedOnlyFromItsOwnSide) {
    // The target (2, 2) is entered moving right. Coming from above, the bird must go round to
    // its left although the cell to its right carries the same wave number.
    auto p = Draw({".S.", ".>.", "..."});
    p.target = {2, 2};
    const auto r = Find(p);
    ASSERT_TRUE(r.PathWasFind);
    EXPECT_EQ(r.Path, Cells({{2, 1}, {1, 1}, {1, 2}, {2, 2}}));

    auto closed = Draw({"WSW", "W>.", "WWW"});
    closed.target = {2, 2};
    EXPECT_FALSE(Find(closed).PathWasFind);
}

TEST(FindPath, OneWayCellInsideThePathIsEnteredOnlyFromItsOwnSide) {
    // (2, 2) is entered moving right. Tracing back from the target, the cell above it carries
    // the wave number the trace looks for, but a bird coming from there would enter (2, 2)
    // moving down; the path has to come from the left.
    const auto r = Find(Draw({"S.", ".>", ".T"}));
    ASSERT_TRUE(r.PathWasFind);
    EXPECT_EQ(r.Path, Cells({{1, 1}, {1, 2}, {2, 2}, {2, 3}}));
}

TEST(FindPath, BackTraceGoesUpFromTheTargetAndTurnsLate) {
    const auto p = Draw({"S...", "....", "....", "...T"});
    const auto r = Find(p);
    ASSERT_TRUE(r.PathWasFind);
    EXPECT_EQ(r.Path, Cells({{1, 1}, {2, 1}, {3, 1}, {4, 1}, {4, 2}, {4, 3}, {4, 4}}));

    // Target in the top row: the trace cannot go up, so it turns to the first direction that
    // works (right), keeps it, and turns down only at the end.
    const auto q = Draw({"T...", "....", "...S"});
    const auto s = Find(q);
    ASSERT_TRUE(s.PathWasFind);
    EXPECT_EQ(s.Path, Cells({{4, 3}, {4, 2}, {4, 1}, {3, 1}, {2, 1}, {1, 1}}));
}

TEST(FindPath, StartEqualsTargetIsNoMove) {
    auto p = Draw({"...", ".S.", "..."});
    p.target = p.start;
    const auto r = Find(p);
    EXPECT_FALSE(r.PathWasFind);
    EXPECT_TRUE(r.Path.empty());
}

TEST(FindPath, CellsOutsideThePlayableAreaGiveNoPath) {
    const auto p = Draw({"S.."});
    EXPECT_FALSE(FindPath(p.board, p.start, {0, 1}).PathWasFind);
    EXPECT_FALSE(FindPath(p.board, p.start, {17, 1}).PathWasFind);
    EXPECT_FALSE(FindPath(p.board, {-1, -1}, {2, 1}).PathWasFind);
    EXPECT_FALSE(FindPath(p.board, p.start, {40, 3}).PathWasFind);
}

TEST(FindPath, UnreachableTargetBehindWalls) {
    const auto p = Draw({"S.W..", "..W.T", "..W.."});
    EXPECT_FALSE(Find(p).PathWasFind);
}

TEST(FindPath, LongWindingCorridorAcrossTheWholeBoard) {
    // A snake of 16-cell rows joined at alternating ends: 8 rows + 7 joints + the target.
    std::initializer_list<std::string> rows = {
        "S...............", "WWWWWWWWWWWWWWW.", "................", ".WWWWWWWWWWWWWWW",
        "................", "WWWWWWWWWWWWWWW.", "................", ".WWWWWWWWWWWWWWW",
        "................", "WWWWWWWWWWWWWWW.", "................", ".WWWWWWWWWWWWWWW",
        "................", "WWWWWWWWWWWWWWW.", "................", "TWWWWWWWWWWWWWWW"};
    const auto p = Draw(rows);
    const auto r = Find(p);
    ASSERT_TRUE(r.PathWasFind);
    EXPECT_EQ(r.Path.size(), 136u);
    EXPECT_EQ(r.Path.front(), p.start);
    EXPECT_EQ(r.Path.back(), p.target);
}

TEST(FindPath, ObstacleGridCodes) {
    auto p = Draw({"S>T", ".B."});
    const PathGrid g = BuildObstacleGrid(p.board, p.start, p.target);
    EXPECT_EQ(g[1][1], PathStartWave);
    EXPECT_EQ(g[2][1], PathOneWayBase - DirectionRight);
    EXPECT_EQ(g[3][1], PathCellTarget);
    EXPECT_EQ(g[1][2], PathCellFree);
    EXPECT_EQ(g[2][2], PathCellBlocked);
    EXPECT_EQ(g[0][1], PathCellBlocked);
    EXPECT_EQ(g[5][5], PathCellBlocked); // no cell there
    p.target = {2, 1};
    EXPECT_EQ(BuildObstacleGrid(p.board, p.start, p.target)[2][1],
              PathOneWayTargetBase - DirectionRight);
}

// Shortest number of steps by an independent search, or -1.
int ShortestSteps(const BoardSnapshot& b, TCoord2 s, TCoord2 t) {
    const PathGrid g = BuildObstacleGrid(b, s, t);
    BoardGrid<int> dist;
    for (auto& col : dist) col.fill(-1);
    std::deque<TCoord2> queue{s};
    dist[s.x][s.y] = 0;
    while (!queue.empty()) {
        const TCoord2 c = queue.front();
        queue.pop_front();
        for (int d = 1; d <= 4; ++d) {
            const TCoord2 n = Neighbour(c, d);
            if (dist[n.x][n.y] >= 0) continue;
            const int v = g[n.x][n.y];
            const int arrow = b.Cells[n.x][n.y].Arrow;
            const bool enterable =
                v == PathCellFree || v == PathCellTarget ||
                ((v <= PathOneWayBase - 1 && v >= PathOneWayTargetBase - 4) && arrow == d);
            if (!enterable) continue;
            dist[n.x][n.y] = dist[c.x][c.y] + 1;
            if (n == t) return dist[n.x][n.y];
            queue.push_back(n);
        }
    }
    return -1;
}

TEST(FindPath, RandomBoardsGiveLegalShortestPaths) {
    std::mt19937 rng(20240611);
    const std::string legend = "......................WBbKwgG^>v< ";
    int found = 0;
    for (int round = 0; round < 400; ++round) {
        Picture p;
        p.board.Dragged = drag_Bird;
        for (int x = 1; x <= 16; ++x) {
            for (int y = 1; y <= 16; ++y) {
                const char ch = legend[rng() % legend.size()];
                if (ch == ' ') continue;
                p.board.Cells[x][y] = {true, true, 0};
                const auto one = Draw({std::string(1, ch)});
                p.board.Cells[x][y].Arrow = one.board.Cells[1][1].Arrow;
                p.board.Birds[x][y] = one.board.Birds[1][1];
                p.board.Walls[x][y] = one.board.Walls[1][1];
                p.board.Gates[x][y] = one.board.Gates[1][1];
                p.board.Keys[x][y] = one.board.Keys[1][1];
            }
        }
        const TCoord2 s{static_cast<int>(rng() % 16) + 1, static_cast<int>(rng() % 16) + 1};
        const TCoord2 t{static_cast<int>(rng() % 16) + 1, static_cast<int>(rng() % 16) + 1};
        p.board.Cells[s.x][s.y] = {true, true, 0};
        p.board.Birds[s.x][s.y] = {true, 1};
        const TAlgPathResult r = FindPath(p.board, s, t);
        const int steps = s == t ? -1 : ShortestSteps(p.board, s, t);
        ASSERT_EQ(r.PathWasFind, steps >= 0) << "round " << round;
        if (!r.PathWasFind) continue;
        ++found;
        ASSERT_EQ(static_cast<int>(r.Path.size()), steps + 1);
        ASSERT_EQ(r.Path.front(), s);
        ASSERT_EQ(r.Path.back(), t);
        const PathGrid g = BuildObstacleGrid(p.board, s, t);
        for (size_t i = 1; i < r.Path.size(); ++i) {
            const TCoord2 c = r.Path[i];
            ASSERT_TRUE(IsPlayableCell(c));
            int dir = 0;
            for (int d = 1; d <= 4; ++d) {
                if (Neighbour(r.Path[i - 1], d) == c) dir = d;
            }
            ASSERT_NE(dir, 0) << "not adjacent";
            ASSERT_NE(g[c.x][c.y], PathCellBlocked);
            const int arrow = p.board.Cells[c.x][c.y].Arrow;
            ASSERT_TRUE(arrow == 0 || arrow == dir) << "round " << round << " step " << i;
        }
    }
    EXPECT_GT(found, 50);
}

} // namespace
} // namespace bw
