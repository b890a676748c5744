// Bonuses on real boards: fixture levels read as level files, the game's own actors, moves
// made with the pointer and the board left to run tick by tick. Pictures as in LevelFixture.h
// ('b' bomb, 'f' fireworks, 'l' lightning, 'p' paint, 'h' hamburger).
#include "actors/BonusRules.h"
#include "actors/Bonuses.h"
#include "actors/Cats.h"
#include "actors/GameActors.h"

#include "../board/BoardTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace bw {
namespace {

class Bonuses : public test::BoardTest {
protected:
    void SetUp() override {
        BoardTest::SetUp();
        SetBoardActors(&TheBoardActors());
        Player.BonusesActivated = Player.BirdsWereBurned = Player.BirdsPainted = 0;
    }

    void Play(std::vector<std::string> rows, int eggs = 0, const std::string& cats = "") {
        UnloadBoard();
        ResetLevelCounters();
        testing::FixtureLevel level{"fx_bonuses", std::move(rows), eggs};
        level.cats = cats;
        CurrentLevel = TLevel_Data{};
        ASSERT_TRUE(LoadLevelFromText(testing::LevelFileXml(level), level.name, CurrentLevel));
        BuildBoard();
        DragedBird = new TDragedBird(engine_.get());
        Actors().Spawn();
    }

    template <class T> int Live() const {
        int n = 0;
        for (TSprite* s : engine_->Items()) n += dynamic_cast<T*>(s) && !s->FDeaded ? 1 : 0;
        return n;
    }

    bool Lying(int x, int y) { return IsBonusAt(x, y); }
    bool Pulsing(int x, int y) {
        const TBonusSprite* b = BonusAt({x, y});
        return b && b->FVisible && b->FBonusStatus != 0;
    }
    int WallStrength(int x, int y) {
        const TWallSprite* w = BoardWalls[x][y];
        return w && w->FVisible ? w->FStrength : 0;
    }

    bool AnythingGoing() {
        if (Busy()) return true;
        if (Live<TMovedBonusSprite>() + Live<TBonusWeaponSprite>() + Live<TLightningSprite>() +
                Live<TPaintDropSprite>() >
            0)
            return true;
        for (int x = 1; x <= 16; ++x)
            for (int y = 1; y <= 16; ++y)
                if (Pulsing(x, y)) return true;
        return false;
    }
    void SettleAll(int limit = 3000) {
        for (int i = 0; i < limit && AnythingGoing(); ++i) Tick();
    }
    // A board of three rows, `top` the first, on which a cat is announced at the start and
    // waits for the end of a turn; the cell of its shadow.
    TCoord2 PlayUnderAShadow(const std::string& top) {
        Play({top, "......", "......"}, 0,
             "<cat Kind=\"1\" Count=\"1\" Random=\"100\" Shadow=\"yes\"><Pos/>"
             "<Conditions Name=\"cond_less_then\" Value=\"1\"/></cat>");
        for (int x = 1; x <= 6; ++x)
            for (int y = 1; y <= 3; ++y)
                if (CatAt({x, y})->FNewShadow) return {x, y};
        return NoCell;
    }
    // Ticks until `done` holds; the number of ticks, or -1.
    template <class F> int TicksUntil(F&& done, int limit = 600) {
        for (int i = 1; i <= limit; ++i) {
            Tick();
            if (done()) return i;
        }
        return -1;
    }
};

TEST_F(Bonuses, ABombInALineGoesOffPulsesAndBlastsItsNeighboursWithoutEndingTheTurn) {
    Play(
        {
            ".......6",
            "........",
            "........",
            "...1....",
            "...3b...",
            "...2....",
            "..3.....",
        },
        2);
    const int eggs = EggCount();
    const int score = Player.LevelScore;
    Drag({3, 7}, {3, 5});
    ASSERT_GE(TicksUntil([&] { return Pulsing(5, 5); }), 0);
    EXPECT_EQ(Player.BonusesActivated, 1);
    EXPECT_EQ(Player.LevelBonusesUsed, 1);
    EXPECT_EQ(Player.LevelScore - score, 30 + 50);
    EXPECT_TRUE(HasBird(4, 4)) << "the blast waits for the pulse";
    const int pulse = TicksUntil([&] { return !Pulsing(5, 5); });
    EXPECT_GE(pulse, 14);
    EXPECT_LE(pulse, 16);
    EXPECT_FALSE(HasBird(4, 4));
    EXPECT_FALSE(HasBird(4, 6));
    EXPECT_EQ(Player.BirdsWereBurned, 2);
    EXPECT_EQ(Player.LevelScore - score, 30 + 50 + 2 * 15);
    EXPECT_FALSE(BonusAt({5, 5})->FVisible) << "the bomb's cell is empty after";
    SettleAll();
    EXPECT_EQ(EggCount(), eggs) << "a match never lays eggs";
}

TEST_F(Bonuses, TheBlastTreatsEveryKindOfNeighbourByItsOwnRule) {
    Play({
        "........h.",
        "......bb..",
        ".....22AG.",
        "..........",
        "..........",
        ".....WV..6",
    });
    // Around (7, 2): an unbounded bird (7, 3), a tied one (8, 3), a bird tied this turn (6, 3),
    // another bomb (8, 2), and out of reach of the first blast a cat (9, 3), a hamburger (9, 1).
    BoardBirds[6][3]->FBounded = BoardBirds[6][3]->FSmallBounded = true;
    const int score = Player.LevelScore;
    SetOffBonus({7, 2}, 0);
    ASSERT_GE(TicksUntil([&] { return !Pulsing(7, 2); }), 0);
    EXPECT_FALSE(HasBird(7, 3));
    EXPECT_TRUE(HasBird(8, 3));
    EXPECT_FALSE(Bird(8, 3).FBounded) << "a tied bird is only set free";
    EXPECT_TRUE(Pulsing(8, 2)) << "the neighbouring bomb goes off in turn";
    EXPECT_EQ(Player.LevelScore - score, 50 + 15 + 30 + 50);
    // The second bomb reaches the cat and the hamburger.
    ASSERT_GE(TicksUntil([&] { return !Pulsing(8, 2); }), 13);
    EXPECT_FALSE(HasBird(8, 3)) << "the freed bird burns in the second blast";
    EXPECT_TRUE(Lying(9, 1)) << "a hamburger never goes off";
    EXPECT_TRUE(CatAt({9, 3})->HasCat()) << "the cat hops and stays";
    EXPECT_NE(CatAt({9, 3})->FAnimStatus, 0);
    EXPECT_TRUE(HasBird(6, 3)) << "a bird tied this turn is left alone";
    EXPECT_EQ(Player.BonusesActivated, 2);

    // Walls: strength 2 weakens, strength 1 breaks.
    const int before = Player.LevelScore;
    ExplodeCell(7, 6);
    EXPECT_EQ(WallStrength(7, 6), 1);
    ExplodeCell(6, 6);
    EXPECT_EQ(WallStrength(6, 6), 0);
    EXPECT_EQ(Player.LevelScore - before, 35 + 70);
}

TEST_F(Bonuses, ABonusMoveIsAMoveAndEndsTheTurnLikeABirdMove) {
    Play({"f.....", "......", "1....."}, 2);
    const int eggs = EggCount();
    Drag({1, 1}, {5, 1});
    EXPECT_EQ(Player.LevelMoves, 1);
    ASSERT_EQ(Live<TMovedBonusSprite>(), 1);
    for (TSprite* s : engine_->Items()) {
        if (auto* m = dynamic_cast<TMovedBonusSprite*>(s)) {
            EXPECT_FLOAT_EQ(m->FSpeed, 8.0f);
        }
    }
    EXPECT_FALSE(BonusAt({1, 1})->FVisible);
    EXPECT_TRUE(IsReserved({5, 1}));
    SettleAll();
    EXPECT_TRUE(Lying(5, 1));
    EXPECT_EQ(BonusAt({5, 1})->FKind, FireworksBonusKind);
    EXPECT_GT(EggCount(), eggs) << "no match: the turn ended and eggs were laid";
    EXPECT_EQ(BonusesUnderWay(), 0);
}

TEST_F(Bonuses, ALiftedBonusReleasedOnItsCellOrOnABirdGoesBack) {
    Play({"b1....", "......"});
    for (const TCoord2 to : {TCoord2{1, 1}, TCoord2{2, 1}}) {
        Press({1, 1});
        EXPECT_TRUE(LiftedBonus().InUse());
        EXPECT_EQ(BonusAt({1, 1})->FEffect, beAdd);
        Tick();
        BoardPointer.Pos = CentreOf(to.x, to.y);
        BoardInput();
        BoardRelease();
        EXPECT_FALSE(LiftedBonus().InUse());
        EXPECT_TRUE(Lying(1, 1));
        EXPECT_EQ(BonusAt({1, 1})->FEffect, beNormal);
        EXPECT_FALSE(DragedBonusSprite()->FVisible);
        EXPECT_EQ(Player.LevelMoves, 0);
    }
}

TEST_F(Bonuses, AHamburgerIsNeverMatchedOrBlastedAndIsPlacedWhereItIsCarried) {
    Play({"22h...", "...b..", "......"});
    EXPECT_FALSE(RunMatchCheck()) << "two birds and a hamburger are no line";
    SetOffBonus({4, 2}, 0);
    SettleAll();
    EXPECT_TRUE(Lying(3, 1)) << "the blast beside it leaves it";
    SetOffBonus({3, 1}, 0);
    EXPECT_FALSE(Pulsing(3, 1));
    Drag({3, 1}, {5, 3});
    SettleAll();
    EXPECT_TRUE(Lying(5, 3));
    EXPECT_EQ(BonusAt({5, 3})->FKind, HamburgerBonusKind);
}

TEST_F(Bonuses, ThreeBonusesInARowFormAGroupAndAllGoOff) {
    Play({"bf..", "...b", "...."});
    const int score = Player.LevelScore;
    Drag({4, 2}, {3, 1});
    ASSERT_GE(TicksUntil([&] { return Pulsing(1, 1) && Pulsing(2, 1) && Pulsing(3, 1); }), 0);
    EXPECT_EQ(Player.LevelScore - score, 50 + 55 + 50);
    EXPECT_EQ(Player.LevelMoves, 1);
}

TEST_F(Bonuses, ABonusGroupGivesLightningABirdKindOfTheLevelsMix) {
    Play({"lb..", "...b", "....", "4444"});
    Drag({4, 2}, {3, 1});
    ASSERT_GE(TicksUntil([&] { return Pulsing(1, 1); }), 0);
    EXPECT_TRUE(IsBirdKind(BonusAt({1, 1})->FMatchedBirdsKind));
}

TEST_F(Bonuses, ABonusHitTwiceInOneUpdateGoesOffOnce) {
    Play({"..b.", "33b3", "...."});
    // (3, 2) lies in the kind-3 line; the bomb above it blasts in the same update.
    SetOffBonus({3, 1}, 0);
    Tick(15);
    const int score = Player.LevelScore;
    Tick();
    // The blast burns (2, 2) and (4, 2) and sets (3, 2) off; nothing sets it off again.
    SetOffBonus({3, 2}, 0);
    TBirdsMatchedGroups line;
    line.Group.push_back(TBirdForDestroy{3, 2, 3});
    SetOffBonusesInGroups(TBirdsGroups{line});
    EXPECT_EQ(Player.LevelScore - score, 2 * 15 + 50);
    EXPECT_EQ(Player.BonusesActivated, 2);
}

TEST_F(Bonuses, ACatThatWillLeaveFireworksCountsAsTwo) {
    Play({"1..", "...", "..."}, 0,
         "<cat Kind=\"2\" Count=\"1\" Random=\"100\"><Pos X=\"3\" Y=\"3\"/><Conditions "
         "Name=\"cond_less_then\" Value=\"1\"/><Event Name=\"event_drop_bonus\" "
         "Value=\"2\"/></cat>");
    ASSERT_TRUE(CatAt({3, 3})->FNewShadow || CatAt({3, 3})->HasCat());
    EXPECT_EQ(CountBonuses(FireworksBonusKind, true), 2);
    EXPECT_EQ(CountBonuses(FireworksBonusKind, false), 0);
}

TEST_F(Bonuses, FireworksSendRocketsToTheEdgesHittingEveryTargetOnTheWay) {
    std::vector<std::string> rows(16, std::string(16, '.'));
    rows[7][7] = 'f';
    rows[7][2] = '1';
    rows[7][11] = '1';
    rows[7][14] = '2';
    rows[2][7] = 'W';
    rows[13][7] = 'H';
    Play(rows);
    const int score = Player.LevelScore;
    SetOffBonus({8, 8}, 0);
    Tick(16);
    EXPECT_EQ(Live<TBonusWeaponSprite>(), 4);
    SettleAll();
    EXPECT_FALSE(HasBird(3, 8));
    EXPECT_FALSE(HasBird(12, 8));
    EXPECT_FALSE(HasBird(15, 8)) << "a rocket flies on after its first hit";
    EXPECT_EQ(WallStrength(8, 3), 0);
    EXPECT_TRUE(CatAt({8, 14})->HasCat());
    EXPECT_EQ(Player.LevelScore - score, 55 + 3 * 15 + 70);
    EXPECT_EQ(Player.LevelBirdsMatched[1], 2) << "rocket hits count as matched birds";
    EXPECT_EQ(Live<TBonusWeaponSprite>(), 0);
}

TEST_F(Bonuses, ARocketFlyingLeftFromColumnOneVanishesAtOnce) {
    Play({"....", "f..1", "...."});
    SetOffBonus({1, 2}, 0);
    Tick(16);
    EXPECT_EQ(Live<TBonusWeaponSprite>(), 1) << "only the right rocket has a target";
    SettleAll();
    EXPECT_FALSE(HasBird(4, 2));
}

TEST_F(Bonuses, ChainLightningStrikesNearestFirstSoonerEachTimeAndFreesATiedBirdOnce) {
    Play({"l4.4..4...4....D", "1..............."});
    const int score = Player.LevelScore;
    SetOffBonus({1, 1}, 4);
    const std::vector<int> order{2, 4, 7, 11};
    std::vector<int> at;
    int t = 0;
    for (const int x : order) {
        const int n = TicksUntil([&] { return !HasBird(x, 1); });
        ASSERT_GE(n, 0) << "bird at " << x;
        t += n;
        at.push_back(t);
    }
    for (size_t i = 2; i < at.size(); ++i) EXPECT_LT(at[i] - at[i - 1], at[i - 1] - at[i - 2]);
    SettleAll();
    EXPECT_TRUE(HasBird(16, 1));
    EXPECT_FALSE(Bird(16, 1).FBounded) << "struck once, set free, and never struck again";
    EXPECT_TRUE(HasBird(1, 2));
    EXPECT_EQ(Player.LevelScore - score, 60 + 4 * 15 + 30);
}

TEST_F(Bonuses, LightningWithNoBirdOfItsKindStillScores) {
    Play({"l1", "22"});
    const int score = Player.LevelScore;
    SetOffBonus({1, 1}, 5);
    SettleAll();
    EXPECT_EQ(Live<TLightningSprite>(), 0);
    EXPECT_TRUE(HasBird(2, 1));
    EXPECT_EQ(Player.LevelScore - score, 60);
    EXPECT_FALSE(BonusAt({1, 1})->FVisible);
}

TEST_F(Bonuses, PaintRecoloursBirdsAndTheNewLineIsMatchedOnceAllDropsAreDown) {
    Play({"p.661", "c.....", "A....."});
    BoardBirds[1][3]->FBounded = BoardBirds[1][3]->FSmallBounded = true;
    const int score = Player.LevelScore;
    SetOffBonus({1, 1}, 6);
    Tick(16);
    EXPECT_EQ(ActivePaintDrops(), 1) << "only the kind-1 bird is a candidate";
    // The repainted bird makes a line at once and goes with it.
    ASSERT_GE(TicksUntil([&] { return !HasBird(5, 1); }), 20);
    SettleAll();
    EXPECT_EQ(ActivePaintDrops(), 0);
    EXPECT_FALSE(HasBird(3, 1));
    EXPECT_FALSE(HasBird(5, 1));
    EXPECT_EQ(KindAt(1, 2), CrowKind);
    EXPECT_EQ(Player.BirdsPainted, 1);
    EXPECT_EQ(Player.LevelScore - score, 65 + 25 + 3 * 15);
}

TEST_F(Bonuses, ABirdHeldByThePlayerAndBurnedIsDropped) {
    Play({"b1..", "...."});
    Press({2, 1});
    ASSERT_TRUE(DragedBird->InUse());
    SetOffBonus({1, 1}, 0);
    ASSERT_GE(TicksUntil([&] { return !HasBird(2, 1); }), 0);
    EXPECT_FALSE(DragedBird->InUse());
    BoardPointer.Pos = CentreOf(4, 2);
    BoardInput();
    BoardRelease();
    EXPECT_EQ(Player.LevelMoves, 0);
}

TEST_F(Bonuses, ALiftedBonusThatGoesOffLeavesThePlayersHand) {
    Play({"b...", "...."});
    Press({1, 1});
    ASSERT_TRUE(LiftedBonus().InUse());
    ExplodeCell(1, 1);
    EXPECT_FALSE(LiftedBonus().InUse());
    BoardPointer.Pos = CentreOf(4, 2);
    BoardInput();
    BoardRelease();
    EXPECT_EQ(Live<TMovedBonusSprite>(), 0) << "nothing is left to move";
    EXPECT_EQ(Player.LevelMoves, 0);
}

TEST_F(Bonuses, WhatLandsOnABombSetsItOffAndAHamburgerStays) {
    // A landing cat clears its cell through RemoveOccupantAt.
    Play({"b.h", "...", "..6"});
    RemoveOccupantAt({1, 1});
    EXPECT_TRUE(Pulsing(1, 1));
    RemoveOccupantAt({3, 1});
    EXPECT_TRUE(Lying(3, 1));
    SettleAll();
    EXPECT_FALSE(BonusAt({1, 1})->FVisible);
    EXPECT_EQ(Player.BonusesActivated, 1);
}

TEST_F(Bonuses, ACascadeBlastsFifteenUpdatesApart) {
    Play({"bfb.", "....", "...."});
    SetOffBonus({1, 1}, 0);
    const int first = TicksUntil([&] { return !Pulsing(1, 1); });
    ASSERT_GE(first, 0);
    ASSERT_TRUE(Pulsing(2, 1));
    const int second = TicksUntil([&] { return !Pulsing(2, 1); });
    EXPECT_GE(second, 15);
    EXPECT_LE(second, 17);
    const int third = TicksUntil([&] { return !Pulsing(3, 1) && Player.BonusesActivated == 3; });
    EXPECT_GE(third, 0);
}

} // namespace
} // namespace bw

namespace bw {
namespace {

TEST_F(Bonuses, ACatLandingOnABombSetsItOff) {
    // A cat is announced at the start; the bomb is carried under its shadow, which ends the
    // turn, and the cat falls onto it.
    const TCoord2 shadow = PlayUnderAShadow("b.....");
    ASSERT_NE(shadow, NoCell);
    ASSERT_EQ(CatAt(shadow)->DropStage(), 1) << "it waits for the end of a turn";
    Drag({1, 1}, shadow);
    ASSERT_EQ(Live<TMovedBonusSprite>(), 1) << "a bonus may go under a shadow";
    const int landed = TicksUntil([&] { return CatAt(shadow)->Settled(); }, 400);
    ASSERT_GT(landed, 0) << "the cat fell";
    EXPECT_EQ(Player.BonusesActivated, 1) << "onto the bomb, which went off";
    SettleAll();
    EXPECT_FALSE(IsBonusAt(shadow.x, shadow.y));
    EXPECT_TRUE(CatAt(shadow)->HasCat());
}

TEST_F(Bonuses, AHamburgerIsNeverCarriedUnderAShadow) {
    // Nothing sets a hamburger off: the cat would land on it and hide it for good.
    const TCoord2 shadow = PlayUnderAShadow("h.....");
    ASSERT_NE(shadow, NoCell);
    Drag({1, 1}, shadow);
    EXPECT_EQ(Live<TMovedBonusSprite>(), 0);
    EXPECT_TRUE(Lying(1, 1));
    EXPECT_EQ(BonusAt({1, 1})->FEffect, beNormal) << "put back";
    EXPECT_FALSE(DragedBonusSprite()->FVisible);
    EXPECT_EQ(Player.LevelMoves, 0);
}

} // namespace
} // namespace bw
