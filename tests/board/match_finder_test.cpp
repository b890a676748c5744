#include "board/MatchFinder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace bw {
namespace {

// Board pictures: one string per row (pY = 1, 2, ...), one character per column (pX = 1, ...).
//   '.' empty    '1'..'6' bird    'a'..'f' tied bird of kind 1..6    's' bird of kind 1 tied
//   this turn    '9' crow
//   cats: 'C' 21, 'D' 22, 'E' 23, 'F' 24, 'G' 25, 'Z' a kind-22 cat only announced so far
//   bonuses: 'X' 41, 'Y' 42, 'L' 43, 'M' 44, 'H' 45 (hamburger), 'x' a 41 being set off
BoardSnapshot Draw(std::initializer_list<std::string> rows) {
    BoardSnapshot b;
    int y = 1;
    for (const std::string& row : rows) {
        for (int x = 1; x <= static_cast<int>(row.size()); ++x) {
            const char ch = row[x - 1];
            b.Cells[x][y] = {true, true, 0};
            BirdState& bird = b.Birds[x][y];
            if (ch >= '1' && ch <= '9') bird = {true, ch - '0'};
            if (ch >= 'a' && ch <= 'f') bird = {true, ch - 'a' + 1, true};
            if (ch == 's') bird = {true, 1, true, true};
            if (ch >= 'C' && ch <= 'G') b.Cats[x][y] = {true, 21 + (ch - 'C')};
            if (ch == 'Z') b.Cats[x][y] = {true, 22, true};
            switch (ch) {
            case 'X':
                b.Bonuses[x][y] = {true, 41, 0};
                break;
            case 'Y':
                b.Bonuses[x][y] = {true, 42, 0};
                break;
            case 'L':
                b.Bonuses[x][y] = {true, 43, 0};
                break;
            case 'M':
                b.Bonuses[x][y] = {true, 44, 0};
                break;
            case 'H':
                b.Bonuses[x][y] = {true, 45, 0};
                break;
            case 'x':
                b.Bonuses[x][y] = {true, 41, 1};
                break;
            default:
                break;
            }
        }
        ++y;
    }
    return b;
}

using CellSet = std::set<std::pair<int, int>>;

CellSet Cells(const TBirdsMatchedGroups& g) {
    CellSet s;
    for (const TBirdForDestroy& b : g.Group) s.insert({b.pX, b.pY});
    return s;
}

std::vector<std::pair<int, int>> Order(const TBirdsMatchedGroups& g) {
    std::vector<std::pair<int, int>> v;
    for (const TBirdForDestroy& b : g.Group) v.push_back({b.pX, b.pY});
    return v;
}

bool AllOfKind(const TBirdsMatchedGroups& g, int kind) {
    return std::all_of(g.Group.begin(), g.Group.end(),
                       [kind](const TBirdForDestroy& b) { return b.kind == kind; });
}

TEST(FindMatches, ThreeInARowAndTwoAreNot) {
    const auto r = FindMatches(Draw({"333", "44.", "..."}));
    ASSERT_TRUE(r.MatchWasDone);
    ASSERT_EQ(r.BirdsGroups.size(), 1u);
    EXPECT_EQ(Cells(r.BirdsGroups[0]), (CellSet{{1, 1}, {2, 1}, {3, 1}}));
    EXPECT_TRUE(AllOfKind(r.BirdsGroups[0], 3));
    EXPECT_FALSE(r.BirdsGroups[0].WasChecked);
    EXPECT_TRUE(r.Cats.empty());

    const auto none = FindMatches(Draw({"33.", "..3", "4.4"}));
    EXPECT_FALSE(none.MatchWasDone);
    EXPECT_TRUE(none.BirdsGroups.empty());
}

TEST(FindMatches, LShapeIsOneGroupInTheOrderFound) {
    const auto r = FindMatches(Draw({"22", "2."}));
    ASSERT_EQ(r.BirdsGroups.size(), 1u);
    EXPECT_EQ(Order(r.BirdsGroups[0]), (std::vector<std::pair<int, int>>{{1, 1}, {2, 1}, {1, 2}}));

    const auto big = FindMatches(Draw({"5...", "5...", "5555"}));
    ASSERT_EQ(big.BirdsGroups.size(), 1u);
    EXPECT_EQ(big.BirdsGroups[0].Group.size(), 6u);
}

TEST(FindMatches, TShapeIsOneGroup) {
    const auto r = FindMatches(Draw({"666", ".6.", ".6.", "1.1"}));
    ASSERT_EQ(r.BirdsGroups.size(), 1u);
    EXPECT_EQ(Cells(r.BirdsGroups[0]), (CellSet{{1, 1}, {2, 1}, {3, 1}, {2, 2}, {2, 3}}));
}

TEST(FindMatches, SeparateGroupsOfSeveralKinds) {
    const auto r = FindMatches(Draw({"111.", "....", "2.33", "2..3", "2..."}));
    ASSERT_EQ(r.BirdsGroups.size(), 3u);
    // Found column by column: the 1s start in column 1, then the 2s, then the 3s.
    EXPECT_TRUE(AllOfKind(r.BirdsGroups[0], 1));
    EXPECT_TRUE(AllOfKind(r.BirdsGroups[1], 2));
    EXPECT_TRUE(AllOfKind(r.BirdsGroups[2], 3));
}

TEST(FindMatches, DiagonalsDoNotConnect) {
    EXPECT_FALSE(FindMatches(Draw({"1..", ".1.", "..1"})).MatchWasDone);
}

TEST(FindMatches, BonusCompletesAGroupAndTakesItsKind) {
    const auto r = FindMatches(Draw({"22.", ".X."}));
    ASSERT_EQ(r.BirdsGroups.size(), 1u);
    EXPECT_EQ(Cells(r.BirdsGroups[0]), (CellSet{{1, 1}, {2, 1}, {2, 2}}));
    EXPECT_TRUE(AllOfKind(r.BirdsGroups[0], 2));
}

TEST(FindMatches, BonusJoinsTwoBirdsOnEitherSide) {
    const auto r = FindMatches(Draw({"4M4"}));
    ASSERT_EQ(r.BirdsGroups.size(), 1u);
    EXPECT_EQ(r.BirdsGroups[0].Group.size(), 3u);
}

TEST(FindMatches, BonusTouchingTwoGroupsBelongsToBoth) {
    const auto r = FindMatches(Draw({"11Y22"}));
    ASSERT_EQ(r.BirdsGroups.size(), 2u);
    EXPECT_EQ(Cells(r.BirdsGroups[0]), (CellSet{{1, 1}, {2, 1}, {3, 1}}));
    EXPECT_EQ(Cells(r.BirdsGroups[1]), (CellSet{{3, 1}, {4, 1}, {5, 1}}));
    EXPECT_TRUE(AllOfKind(r.BirdsGroups[0], 1));
    EXPECT_TRUE(AllOfKind(r.BirdsGroups[1], 2));
}

TEST(FindMatches, HamburgerAndBonusBeingSetOffDoNotJoin) {
    EXPECT_FALSE(FindMatches(Draw({"22H"})).MatchWasDone);
    EXPECT_FALSE(FindMatches(Draw({"22x"})).MatchWasDone);
    EXPECT_FALSE(FindMatches(Draw({"XHY"})).MatchWasDone);
}

TEST(FindMatches, ThreeMatchableBonusesOfDifferentKindsFormABonusGroup) {
    const auto r = FindMatches(Draw({"YLM", "X.."}));
    ASSERT_TRUE(r.MatchWasDone);
    ASSERT_EQ(r.BirdsGroups.size(), 1u);
    EXPECT_EQ(r.BirdsGroups[0].Group.size(), 4u);
    EXPECT_TRUE(AllOfKind(r.BirdsGroups[0], 42)); // the kind of the cell the fill started on
    EXPECT_FALSE(FindMatches(Draw({"XY."})).MatchWasDone);
}

TEST(FindMatches, BonusChainJoinsABirdGroupAndStillFormsItsOwnGroup) {
    const auto r = FindMatches(Draw({"111", "XYL"}));
    ASSERT_EQ(r.BirdsGroups.size(), 2u);
    EXPECT_EQ(r.BirdsGroups[0].Group.size(), 6u);
    EXPECT_TRUE(AllOfKind(r.BirdsGroups[0], 1));
    EXPECT_EQ(Cells(r.BirdsGroups[1]), (CellSet{{1, 2}, {2, 2}, {3, 2}}));
    EXPECT_TRUE(AllOfKind(r.BirdsGroups[1], 41));
}

TEST(FindMatches, CrowsNeverMatch) {
    EXPECT_FALSE(FindMatches(Draw({"999"})).MatchWasDone);
    EXPECT_FALSE(FindMatches(Draw({"1919"})).MatchWasDone);
    EXPECT_FALSE(FindMatches(Draw({"99X"})).MatchWasDone);
}

TEST(FindMatches, TiedBirdsCompleteGroupsButBirdsTiedThisTurnDoNot) {
    const auto r = FindMatches(Draw({"11a"}));
    ASSERT_EQ(r.BirdsGroups.size(), 1u);
    EXPECT_EQ(r.BirdsGroups[0].Group.size(), 3u);
    EXPECT_FALSE(FindMatches(Draw({"11s"})).MatchWasDone);
}

TEST(FindMatches, InvisibleBirdsAndEggsDoNotMatch) {
    auto b = Draw({"333"});
    b.Birds[3][1].Visible = false;
    b.Birds[3][1].Egg = true;
    EXPECT_FALSE(FindMatches(b).MatchWasDone);
}

TEST(FindMatches, CatWithTwoBirdsIsCaughtAndThoseBirdsFormNoGroup) {
    const auto r = FindMatches(Draw({"44D4"}));
    EXPECT_FALSE(r.MatchWasDone);
    EXPECT_TRUE(r.BirdsGroups.empty());
    ASSERT_EQ(r.Cats.size(), 1u);
    const TMatchedCat& cat = r.Cats[0];
    EXPECT_EQ(cat.pX, 3);
    EXPECT_EQ(cat.pY, 1);
    EXPECT_EQ(cat.kind, 22);
    EXPECT_EQ(cat.birds[0], (TCoord2{4, 1})); // right first, then left
    EXPECT_EQ(cat.birds[1], (TCoord2{2, 1}));
    EXPECT_EQ(cat.birds[2], NoCell);
    EXPECT_EQ(cat.birds[3], NoCell);
}

TEST(FindMatches, BirdsBesideACaughtCatFormGroupsWithoutThem) {
    const auto r = FindMatches(Draw({"4D4", "...", "555"}));
    ASSERT_EQ(r.Cats.size(), 1u);
    ASSERT_EQ(r.BirdsGroups.size(), 1u);
    EXPECT_TRUE(AllOfKind(r.BirdsGroups[0], 5));
}

TEST(FindMatches, CatNeedsDependOnItsKind) {
    const std::string around4[] = {".1.", "1?1", ".1."};
    const std::string around3[] = {".1.", "1?1", "..."};
    const std::string around2[] = {".1.", "1?.", "..."};
    struct Case {
        char cat;
        int need;
    };
    for (Case c : {Case{'C', 4}, Case{'D', 2}, Case{'E', 3}, Case{'F', 2}, Case{'G', 2}}) {
        for (const auto* pic : {around4, around3, around2}) {
            std::string mid = pic[1];
            mid[1] = c.cat;
            const auto r = FindMatches(Draw({pic[0], mid, pic[2]}));
            const int have = pic == around4 ? 4 : pic == around3 ? 3 : 2;
            EXPECT_EQ(r.Cats.size(), have >= c.need ? 1u : 0u) << c.cat << " with " << have;
        }
    }
    EXPECT_EQ(CatCatchNeed(21), 4);
    EXPECT_EQ(CatCatchNeed(23), 3);
    EXPECT_EQ(CatCatchNeed(24), 2);
    EXPECT_EQ(CatCatchNeed(7), 0);
}

TEST(FindMatches, TiedBirdNeverHelpsCatchACat) {
    EXPECT_TRUE(FindMatches(Draw({".1.", "1C1", ".a."})).Cats.empty());
    EXPECT_EQ(FindMatches(Draw({".1.", "1C1", ".1."})).Cats.size(), 1u);
}

TEST(FindMatches, MixedKindsAroundACatCountOnlyTheLargestSet) {
    EXPECT_TRUE(FindMatches(Draw({".2.", "1E1", ".2."})).Cats.empty());
    const auto r = FindMatches(Draw({".2.", "1D1", ".2."}));
    ASSERT_EQ(r.Cats.size(), 1u);
    // Equal sets: the one led by the upper bird wins.
    EXPECT_EQ(r.Cats[0].birds[0], (TCoord2{2, 1}));
    EXPECT_EQ(r.Cats[0].birds[1], (TCoord2{2, 3}));
}

TEST(FindMatches, ABirdHelpsCatchOnlyOneCat) {
    const auto r = FindMatches(Draw({"4..", "D4D", "4.."}));
    ASSERT_EQ(r.Cats.size(), 1u);
    EXPECT_EQ(r.Cats[0].pX, 1);
    EXPECT_TRUE(r.BirdsGroups.empty());
}

TEST(FindMatches, AnnouncedCatsAndCrowsAreNotCaught) {
    EXPECT_TRUE(FindMatches(Draw({"4Z4"})).Cats.empty());
    EXPECT_TRUE(FindMatches(Draw({"9D9"})).Cats.empty());
}

TEST(FindMatches, NothingWhileTheResultIsShown) {
    auto b = Draw({"111", "4D4"});
    b.ResultShown = true;
    const auto r = FindMatches(b);
    EXPECT_FALSE(r.MatchWasDone);
    EXPECT_TRUE(r.BirdsGroups.empty());
    EXPECT_TRUE(r.Cats.empty());
}

TEST(BirdsAroundCat, CountsTiedBirdsOnlyWhenAsked) {
    const auto b = Draw({".1.", "1C1", ".a."});
    EXPECT_EQ(BirdsAroundCat(b, {2, 2}, false).size(), 3u);
    EXPECT_EQ(BirdsAroundCat(b, {2, 2}, true).size(), 4u);
    EXPECT_TRUE(BirdsAroundCat(Draw({"...", ".C.", "..."}), {2, 2}, true).empty());
}

TEST(BirdsAroundCat, ReadsTheGivenWorkingGrid) {
    const auto b = Draw({".1.", "1C1", ".1."});
    MatchGridArray grid;
    MatchGrid(b, grid);
    grid[2][1] = 0;
    const TCoords2Array birds = BirdsAroundCat(b, grid, {2, 2}, false);
    EXPECT_EQ(birds, (TCoords2Array{{3, 2}, {2, 3}, {1, 2}}));
}

TEST(MatchGrid, Codes) {
    const auto b = Draw({"1a9s", "DZXH", "x..."});
    MatchGridArray g;
    MatchGrid(b, g);
    EXPECT_EQ(g[1][1], 1);
    EXPECT_EQ(g[2][1], 1);
    EXPECT_EQ(g[3][1], 9);
    EXPECT_EQ(g[4][1], 0);
    EXPECT_EQ(g[1][2], 22);
    EXPECT_EQ(g[2][2], 0);
    EXPECT_EQ(g[3][2], 41);
    EXPECT_EQ(g[4][2], 0);
    EXPECT_EQ(g[1][3], 0);
    EXPECT_EQ(g[0][0], 0);
}

// Birds only: the groups must be exactly the connected same-kind components of three or more.
TEST(FindMatches, RandomBirdBoardsMatchConnectedComponents) {
    std::mt19937 rng(77);
    for (int round = 0; round < 200; ++round) {
        BoardSnapshot b;
        for (int x = 1; x <= 16; ++x) {
            for (int y = 1; y <= 16; ++y) {
                const int k = static_cast<int>(rng() % 8); // 0 and 7: empty
                if (k >= 1 && k <= 6) b.Birds[x][y] = {true, k};
            }
        }
        std::set<CellSet> expected;
        BoardGrid<bool> seen{};
        for (int x = 1; x <= 16; ++x) {
            for (int y = 1; y <= 16; ++y) {
                const int k = b.Birds[x][y].Kind;
                if (!b.Birds[x][y].Visible || seen[x][y]) continue;
                CellSet comp;
                std::vector<TCoord2> stack{{x, y}};
                seen[x][y] = true;
                while (!stack.empty()) {
                    const TCoord2 c = stack.back();
                    stack.pop_back();
                    comp.insert({c.x, c.y});
                    for (int d = 1; d <= 4; ++d) {
                        const TCoord2 n = Neighbour(c, d);
                        if (!IsPlayableCell(n) || seen[n.x][n.y]) continue;
                        if (!b.Birds[n.x][n.y].Visible || b.Birds[n.x][n.y].Kind != k) continue;
                        seen[n.x][n.y] = true;
                        stack.push_back(n);
                    }
                }
                if (comp.size() >= 3) expected.insert(comp);
            }
        }
        const auto r = FindMatches(b);
        std::set<CellSet> got;
        for (const auto& g : r.BirdsGroups) {
            ASSERT_EQ(Cells(g).size(), g.Group.size()) << "a cell listed twice";
            got.insert(Cells(g));
        }
        ASSERT_EQ(got, expected) << "round " << round;
        ASSERT_EQ(r.MatchWasDone, !expected.empty());
    }
}

} // namespace
} // namespace bw
