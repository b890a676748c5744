// The boss on real boards: fixture levels of a boss mission, the game's own actors, hamburgers
// carried with the pointer and the board left to run tick by tick.
#include "actors/Bonuses.h"
#include "actors/Boss.h"
#include "actors/Cats.h"
#include "actors/GameActors.h"

#include "../board/BoardTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace bw {
namespace {

struct BossHost final : BoardHost {
    int accomplished = 0;
    int won = 0;
    int lost = 0;
    void MissionAccomplished() override { ++accomplished; }
    void LevelWon() override { ++won; }
    void LevelLost() override { ++lost; }
};

std::string BossAt(int kind, TCoord2 at, int health) {
    return "<Boss Kind=\"" + std::to_string(kind) + "\" X=\"" + std::to_string(at.x) + "\" Y=\"" +
           std::to_string(at.y) + "\" Health=\"" + std::to_string(health) + "\"/>\n";
}

class Boss : public test::BoardTest {
protected:
    void SetUp() override {
        BoardTest::SetUp();
        SetBoardActors(&TheBoardActors());
        SetBoardHost(&host_);
    }

    void Play(std::vector<std::string> rows, const std::string& boss, int eggs = 0,
              const std::string& cats = "") {
        UnloadBoard();
        ResetLevelCounters();
        LevelFinished = ResultDelayActive = false;
        testing::FixtureLevel level{"fx_boss", std::move(rows), eggs};
        level.mission = "mission_boss_1";
        level.boss = boss;
        level.cats = cats;
        CurrentLevel = TLevel_Data{};
        ASSERT_TRUE(LoadLevelFromText(testing::LevelFileXml(level), level.name, CurrentLevel));
        BuildBoard();
        DragedBird = new TDragedBird(engine_.get());
        Actors().BoardBuilt();
        Actors().Spawn();
        LayEggs(CurrentLevel.GenerateBirdsCount);
    }

    void SettleMoves(int limit = 2000) {
        for (int i = 0; i < limit && (Busy() || BonusesUnderWay() > 0); ++i) Tick();
    }
    // Feeds the hamburger lying at `from` to the boss cell `to`.
    void Feed(TCoord2 from, TCoord2 to) {
        Drag(from, to);
        SettleMoves();
    }
    // Ticks until `done` holds; the number of ticks, or -1.
    template <class F> int TicksUntil(F&& done, int limit = 2000) {
        for (int i = 1; i <= limit; ++i) {
            Tick();
            if (done()) return i;
        }
        return -1;
    }

    BossHost host_;
};

TEST_F(Boss, TheBossTakesTwoCellsAndEatsAHamburgerOnEither) {
    Play(
        {
            "1....h..",
            "........",
            "........",
        },
        BossAt(1, {6, 2}, 3), 2);
    ASSERT_NE(BossCat(), nullptr);
    EXPECT_TRUE(IsBossAt(6, 2));
    EXPECT_TRUE(IsBossAt(7, 2));
    EXPECT_FALSE(IsBossAt(8, 2));
    // A bird cannot stop on the boss or fly through it.
    Drag({1, 1}, {6, 2});
    EXPECT_TRUE(HasBird(1, 1));
    const TCoords2Array free = FindFreeCells();
    EXPECT_EQ(std::count(free.begin(), free.end(), TCoord2{6, 2}), 0);
    EXPECT_EQ(std::count(free.begin(), free.end(), TCoord2{7, 2}), 0);

    const int eggs = EggCount();
    const int score = Player.LevelScore;
    Feed({6, 1}, {7, 2});
    EXPECT_EQ(Player.LevelScore - score, BossEatScore);
    EXPECT_EQ(Player.BossHealth, 1);
    EXPECT_EQ(Player.LevelMoves, 1);
    EXPECT_FALSE(IsBonusAt(7, 2)) << "the hamburger is eaten, not put down";
    EXPECT_EQ(EggCount(), eggs) << "feeding the boss ends no turn";
    EXPECT_FLOAT_EQ(BossCat()->FProgress, 1.0f / 3.0f);
    EXPECT_GE(BossCat()->FAnimStage, 1);
    // The fill creeps to its third over 100 updates, whatever the health.
    const int creep = TicksUntil([] { return BossCat()->FRealProgress >= BossCat()->FProgress; });
    EXPECT_GE(creep, 95);
    EXPECT_LE(creep, 102);
    EXPECT_EQ(BossCat()->FAnimStage, 0) << "the boss ate and is idle again";
    EXPECT_FALSE(LevelFinished);
}

TEST_F(Boss, NothingButAHamburgerGoesOntoTheBoss) {
    Play(
        {
            "b....1..",
            "........",
        },
        BossAt(1, {3, 2}, 1));
    Drag({1, 1}, {3, 2});
    EXPECT_EQ(BonusesUnderWay(), 0);
    EXPECT_EQ(Player.LevelMoves, 0) << "a refused release is no move";
    EXPECT_TRUE(IsBonusAt(1, 1));
    Drag({6, 1}, {4, 2});
    EXPECT_TRUE(HasBird(6, 1));
    EXPECT_EQ(Player.LevelMoves, 0);
}

TEST_F(Boss, AFullBossFallsAsleepAndWinsTheLevelAfterItsSleep) {
    Play(
        {
            "hhh.....",
            "........",
        },
        BossAt(1, {5, 2}, 3));
    Feed({1, 1}, {5, 2});
    Feed({2, 1}, {6, 2});
    Feed({3, 1}, {5, 2});
    ASSERT_EQ(Player.BossHealth, 3);
    EXPECT_FALSE(LevelFinished) << "the board locks when the fill is full, not before";
    TicksUntil([] { return LevelFinished; }, 400);
    EXPECT_TRUE(LevelFinished);
    EXPECT_EQ(host_.accomplished, 1);
    EXPECT_GE(BossCat()->FAnimStage, 3);
    const int asleep = TicksUntil([] { return BossCat()->FAnimStage == 5; });
    EXPECT_GE(asleep, 55) << "the fall-asleep animation runs its 16 patterns";
    EXPECT_LE(asleep, 66);
    EXPECT_EQ(host_.won, 0);
    const int pause = TicksUntil([&] { return host_.won > 0; });
    EXPECT_GE(pause, 199);
    EXPECT_LE(pause, 203);
    Tick(300);
    EXPECT_EQ(host_.won, 1) << "won once";
}

TEST_F(Boss, AHamburgerArrivingWhileTheBossFallsAsleepIsEatenWithoutStartingOver) {
    Play(
        {
            "h.......",
            "........",
            "......h.",
        },
        BossAt(1, {3, 2}, 1));
    Feed({1, 1}, {3, 2});
    TicksUntil([] { return LevelFinished; }, 400);
    ASSERT_GE(BossCat()->FAnimStage, 3);
    // A hamburger already on its way when the board locked.
    ASSERT_TRUE(FeedBoss(3, 2));
    EXPECT_GE(BossCat()->FAnimStage, 3);
    EXPECT_LE(BossCat()->FProgress, 1.0f);
    TicksUntil([&] { return host_.won > 0; });
    EXPECT_EQ(host_.won, 1);
    EXPECT_EQ(host_.accomplished, 1);
}

TEST_F(Boss, AWinRacingAFullBoardStaysAWin) {
    // The boss eats its one hamburger; while its fill creeps up the player moves a bird, which
    // lands after the board locked, ends the turn and fills the board with eggs.
    Play(
        {
            "h.1.",
            "2..3",
            "3232",
        },
        BossAt(1, {2, 2}, 1));
    CurrentLevel.GenerateBirdsCount = 3;
    Feed({1, 1}, {2, 2});
    ASSERT_EQ(Player.BossHealth, 1);
    Tick(75);
    ASSERT_FALSE(LevelFinished);
    Drag({3, 1}, {4, 1});
    ASSERT_GT(TicksUntil([] { return LevelFinished; }, 200), 0);
    TicksUntil([&] { return host_.won > 0; }, 600);
    EXPECT_TRUE(IsBoardFull()) << "the bird's turn laid its eggs";
    EXPECT_EQ(host_.lost, 0) << "the mission was decided first";
    EXPECT_EQ(host_.won, 1);
}

TEST_F(Boss, AHealthBelowOneCountsAsOne) {
    Play({"h...", "...."}, BossAt(1, {2, 2}, 0));
    Feed({1, 1}, {2, 2});
    EXPECT_FLOAT_EQ(BossCat()->FProgress, 1.0f);
    EXPECT_GT(TicksUntil([] { return LevelFinished; }, 400), 0);
}

TEST_F(Boss, ABossOfKindZeroOrTwoIsNoBossAndAHamburgerIsJustPutDown) {
    for (int kind : {0, 2}) {
        Play({"h...", "...."}, BossAt(kind, {2, 2}, 1));
        EXPECT_EQ(BossCat(), nullptr) << kind;
        EXPECT_FALSE(IsBossAt(2, 2));
        Feed({1, 1}, {2, 2});
        EXPECT_TRUE(IsBonusAt(2, 2)) << kind;
        EXPECT_EQ(Player.BossHealth, 0);
    }
}

TEST_F(Boss, NoCatEverTakesABossCell) {
    const std::string cats =
        "<cat Kind=\"1\" Count=\"4\" Random=\"100\" Shadow=\"no\"><Pos/><Conditions "
        "Name=\"cond_less_then\" Value=\"9\"/></cat>";
    const std::vector<std::string> rows(7, std::string(9, '.'));
    int placed = 0;
    for (int seed = 1; seed <= 20; ++seed) {
        RandomSeed(seed);
        Play(rows, BossAt(1, {4, 4}, 1), 0, cats);
        placed += CountCatsOnBoard();
        for (int x = 4; x <= 5; ++x) {
            const TCatSprite* c = CatAt({x, 4});
            EXPECT_FALSE(c && (c->HasCat() || c->FNewShadow)) << seed << " at " << x;
        }
    }
    EXPECT_GT(placed, 0) << "the entries placed cats elsewhere";
}

} // namespace
} // namespace bw
