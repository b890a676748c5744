// The bonuses' rules over pictures of the board: the explosion rule of one cell, the bomb's
// blast order, the rocket's walk, the lightning's ring search and delays, the paint's choice.
#include "actors/BonusRules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace bw {
namespace {

// '.' empty, '1'..'6' bird, 'c' crow, 'A'..'F' tied bird, 'a' kind 1 tied this turn (small),
// 'e' egg, 'b' bomb, 'h' hamburger, 'g' bomb going off, 'W' wall, 'G' cat, 's' announced cat,
// 'k' key, 'n' nestling, 'o' open gate. The first character is cell (1, 1).
BoardSnapshot Picture(const std::vector<std::string>& rows) {
    BoardSnapshot s;
    for (size_t r = 0; r < rows.size(); ++r) {
        for (size_t col = 0; col < rows[r].size(); ++col) {
            const int x = static_cast<int>(col) + 1;
            const int y = static_cast<int>(r) + 1;
            const char ch = rows[r][col];
            s.Cells[x][y] = CellState{true, true, 0};
            if (ch >= '1' && ch <= '6') s.Birds[x][y] = BirdState{true, ch - '0'};
            if (ch == 'c') s.Birds[x][y] = BirdState{true, CrowKind};
            if (ch >= 'A' && ch <= 'F') s.Birds[x][y] = BirdState{true, ch - 'A' + 1, true};
            if (ch == 'a') s.Birds[x][y] = BirdState{true, 1, true, true};
            if (ch == 'e') s.Birds[x][y] = BirdState{false, 1, false, false, true};
            if (ch == 'b') s.Bonuses[x][y] = BonusState{true, BombBonusKind, 0};
            if (ch == 'h') s.Bonuses[x][y] = BonusState{true, HamburgerBonusKind, 0};
            if (ch == 'g') s.Bonuses[x][y] = BonusState{true, BombBonusKind, 1};
            if (ch == 'W') s.Walls[x][y] = WallState{true, false};
            if (ch == 'G') s.Cats[x][y] = CatState{true, 21};
            if (ch == 's') s.Cats[x][y] = CatState{false, 21, true};
            if (ch == 'k') s.Keys[x][y] = true;
            if (ch == 'n') s.Nestlings[x][y] = true;
            if (ch == 'o') s.Gates[x][y] = GateState{true, true};
        }
    }
    return s;
}

TEST(BonusRules, AnExplosionDoesTheFirstThingThatAppliesToItsCell) {
    const BoardSnapshot s = Picture({"1cAabhgWGs."});
    using E = ExplosionOutcome;
    const std::vector<E> expected{E::BurnBird,    E::BurnBird, E::UnbindBird, E::Nothing,
                                  E::SetOffBonus, E::Nothing,  E::Nothing,    E::HitWall,
                                  E::CatHops,     E::Nothing,  E::Nothing};
    for (int x = 1; x <= 11; ++x)
        EXPECT_EQ(ExplosionAt(s, {x, 1}), expected[static_cast<size_t>(x - 1)]) << "x " << x;
    // Outside the playable cells nothing is looked at.
    EXPECT_EQ(ExplosionAt(s, {0, 1}), E::Nothing);
    EXPECT_EQ(ExplosionAt(s, {17, 17}), E::Nothing);
}

TEST(BonusRules, TheBombBlastsItsEightNeighboursClockwiseFromTopLeft) {
    const std::vector<TCoord2> order(BombBlastOrder.begin(), BombBlastOrder.end());
    EXPECT_EQ(order, (std::vector<TCoord2>{
                         {-1, -1}, {0, -1}, {1, -1}, {1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}}));
}

TEST(BonusRules, ARocketPassesEmptyCellsEggsKeysNestlingsAndGatesUpToTheEdge) {
    const BoardSnapshot s = Picture({
        ".ekno1gW.G..b..h",
        "................",
    });
    // From (1, 1) to the right: eggs, keys, nestlings and gates are passed over.
    EXPECT_EQ(NextRocketTarget(s, {1, 1}, 3), (TCoord2{6, 1}));
    // A bonus already going off is no target; the wall is.
    EXPECT_EQ(NextRocketTarget(s, {6, 1}, 3), (TCoord2{8, 1}));
    EXPECT_EQ(NextRocketTarget(s, {8, 1}, 3), (TCoord2{10, 1}));
    EXPECT_EQ(NextRocketTarget(s, {10, 1}, 3), (TCoord2{13, 1}));
    EXPECT_EQ(NextRocketTarget(s, {13, 1}, 3), (TCoord2{16, 1})) << "a hamburger stops it";
    EXPECT_EQ(NextRocketTarget(s, {16, 1}, 3), NoCell) << "column 16 is the edge";
    // Left from column 1 and up from row 1 there is nothing; down finds nothing either.
    EXPECT_EQ(NextRocketTarget(s, {1, 1}, 1), NoCell);
    EXPECT_EQ(NextRocketTarget(s, {6, 1}, 2), NoCell);
    EXPECT_EQ(NextRocketTarget(s, {6, 1}, 4), NoCell);
    EXPECT_EQ(NextRocketTarget(s, {6, 2}, 2), (TCoord2{6, 1}));
    EXPECT_EQ(NextRocketTarget(s, {12, 1}, 1), (TCoord2{10, 1}));
}

TEST(BonusRules, LightningLooksForTheNearestRingAndCountsItsCornersTwice) {
    const BoardSnapshot s = Picture({
        "4....",
        ".....",
        "..l.4",
        ".....",
        "4...d",
    });
    // From the middle (3, 3): ring 1 is empty; ring 2 holds (5, 3) once and the corners
    // (1, 1) and (1, 5) twice each; the small tied bird at (5, 5) does not qualify.
    TCoords2Array ring = LightningRingTargets(s, {3, 3}, 4, {});
    std::sort(ring.begin(), ring.end(),
              [](TCoord2 a, TCoord2 b) { return a.x != b.x ? a.x < b.x : a.y < b.y; });
    EXPECT_EQ(ring, (TCoords2Array{{1, 1}, {1, 1}, {1, 5}, {1, 5}, {5, 3}}));
    // Prohibited cells are skipped; the search then goes on to farther rings.
    EXPECT_EQ(LightningRingTargets(s, {3, 3}, 4, {{1, 1}, {1, 5}, {5, 3}}), TCoords2Array{});
    // From a corner of the board the rings reach far outside it without looking there.
    const TCoords2Array fromCorner = LightningRingTargets(s, {1, 1}, 4, {{1, 1}});
    EXPECT_EQ(fromCorner, (TCoords2Array{{5, 3}, {1, 5}}));
    EXPECT_TRUE(LightningRingTargets(s, {16, 16}, 4, {}).size() >= 1);
    EXPECT_TRUE(LightningRingTargets(s, {3, 3}, 2, {}).empty()) << "no bird of that kind";
}

TEST(BonusRules, LightningWaitsShorterForEachStrikeDownToAFloor) {
    // A strike waits while its life is above 0, counting it down by 0.1 an update.
    const auto updates = [](float life) {
        int n = 0;
        while (life > 0.0f) life -= 0.1f, ++n;
        return n;
    };
    std::vector<int> waits;
    float life = FirstStrikeLife;
    for (int strike = 0; strike < LightningChainLength; ++strike) {
        waits.push_back(updates(life));
        life = NextStrikeLife(life);
    }
    ASSERT_EQ(waits.size(), 7u);
    EXPECT_EQ(waits[0], 15);
    for (size_t i = 1; i < 5; ++i) EXPECT_LT(waits[i], waits[i - 1]);
    EXPECT_LE(waits[4], 4);
    for (size_t i = 5; i < waits.size(); ++i) EXPECT_LE(waits[i], 1);
    EXPECT_EQ(waits[6], 1) << "once down to the floor a strike waits one update";
    EXPECT_FLOAT_EQ(NextStrikeLife(0.05f), 0.1f);
}

TEST(BonusRules, PaintSkipsCrowsEggsSmallTiedBirdsTheLiftedBirdAndItsOwnKind) {
    const BoardSnapshot s = Picture({"16ceaB2"});
    EXPECT_EQ(PaintCandidates(s, 6, NoCell), (TCoords2Array{{1, 1}, {6, 1}, {7, 1}}));
    EXPECT_EQ(PaintCandidates(s, 6, {7, 1}), (TCoords2Array{{1, 1}, {6, 1}}));
    EXPECT_EQ(PaintCandidates(s, 1, NoCell), (TCoords2Array{{2, 1}, {6, 1}, {7, 1}}));
}

TEST(BonusRules, EachWeaponHasItsPulseScoreAndPlace) {
    EXPECT_EQ(ActivationStatus(BombBonusKind), 1);
    EXPECT_EQ(ActivationStatus(PaintBonusKind), 31);
    EXPECT_EQ(ActivationStatus(HamburgerBonusKind), 0);
    EXPECT_EQ(ActivationScore(FireworksBonusKind), 55);
    EXPECT_EQ(ActivationScore(PaintBonusKind), 65);
    EXPECT_EQ(ActivationScore(HamburgerBonusKind), 0);
    // The pulse swells as the timer runs out.
    EXPECT_LT(BonusPulseScale(BombBonusKind, 14).x, BonusPulseScale(BombBonusKind, 0).x);
    EXPECT_FLOAT_EQ(BonusPulseScale(BombBonusKind, 0).x, 2.0f);
    EXPECT_FLOAT_EQ(BonusBoardOffset(HamburgerBonusKind).y, 20.0f);
}

} // namespace
} // namespace bw
