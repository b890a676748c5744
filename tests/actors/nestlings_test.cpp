// Nestlings and keys on real boards: fixture levels read as level files, the game's own
// actors, keys carried with the pointer and the board left to run tick by tick. Pictures as in
// LevelFixture.h ('n' 'N' 'Q' a caged nestling with 1, 2, 3 chains, 'k' a key).
#include "actors/Bonuses.h"
#include "actors/Cats.h"
#include "actors/GameActors.h"
#include "actors/Nestlings.h"

#include "../board/BoardTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace bw {
namespace {

// The level around the board: a nest row along the bottom, and what the board told it.
struct NestHost final : BoardHost {
    int nests = 3;
    int accomplished = 0;
    int won = 0;
    int lost = 0;
    std::vector<int> arrivedAt; // NestlingsSaved each time a nestling reached its nest

    bool NestPosition(int index, TPoint2& pos) override {
        if (index < 0 || index >= nests) return false;
        pos = TPoint2{900.0f + 80.0f * static_cast<float>(index), 980.0f};
        return true;
    }
    void NestlingHome() override { arrivedAt.push_back(Player.NestlingsSaved); }
    void MissionAccomplished() override { ++accomplished; }
    void LevelWon() override { ++won; }
    void LevelLost() override { ++lost; }
};

class Nestlings : public test::BoardTest {
protected:
    void SetUp() override {
        BoardTest::SetUp();
        SetBoardActors(&TheBoardActors());
        SetBoardHost(&nests_);
    }

    void Play(std::vector<std::string> rows, int eggs = 0, const std::string& cats = "") {
        UnloadBoard();
        ResetLevelCounters();
        LevelFinished = ResultDelayActive = false;
        testing::FixtureLevel level{"fx_nestlings", std::move(rows), eggs};
        level.cats = cats;
        level.mission = "mission_nestlings";
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
    template <class T> T* First() const {
        for (TSprite* s : engine_->Items())
            if (auto* t = dynamic_cast<T*>(s); t && !t->FDeaded) return t;
        return nullptr;
    }

    int Chains(int x, int y) {
        const TNestlingSprite* n = NestlingAt({x, y});
        return n && n->Caged() ? n->FChainsCount : 0;
    }
    bool Moving() { return Busy() || KeysUnderWay() > 0 || BonusesUnderWay() > 0; }
    void SettleMoves(int limit = 2000) {
        for (int i = 0; i < limit && Moving(); ++i) Tick();
    }
    // Ticks until every freed nestling has reached its nest.
    int FlyHome(int limit = 2000) {
        for (int i = 1; i <= limit; ++i) {
            Tick();
            if (Live<TKilledNestlingSprite>() == 0) return i;
        }
        return -1;
    }

    NestHost nests_;
};

TEST_F(Nestlings, ThreeKeysOpenThreeChainsFromTheTopAndTheLastFreesTheNestling) {
    Play({
        "k.k.k",
        ".....",
        "..Q..",
    });
    ASSERT_EQ(CurrentLevel.NestlingsMaxCommon, 1);
    ASSERT_EQ(Chains(3, 3), 3);
    const int score = Player.LevelScore;

    Drag({1, 1}, {3, 3});
    SettleMoves();
    EXPECT_EQ(Chains(3, 3), 2) << "chain 3 went first";
    EXPECT_EQ(NestlingAt({3, 3})->FChains.size(), 2u);
    EXPECT_EQ(Player.LevelScore - score, 100);

    Drag({3, 1}, {3, 3});
    SettleMoves();
    EXPECT_EQ(Chains(3, 3), 1);
    EXPECT_EQ(Player.LevelScore - score, 200);
    EXPECT_EQ(nests_.accomplished, 0);

    Drag({5, 1}, {3, 3});
    SettleMoves();
    EXPECT_FALSE(IsNestlingAt(3, 3)) << "the nestling left its cage";
    EXPECT_EQ(Player.LevelScore - score, 400);
    EXPECT_EQ(Player.LevelMoves, 3);
    const TKilledNestlingSprite* freed = First<TKilledNestlingSprite>();
    ASSERT_NE(freed, nullptr);
    EXPECT_EQ(freed->FNestIndex, 0);
    EXPECT_TRUE(LevelFinished) << "the last nestling locks the board as it is freed";
    EXPECT_EQ(nests_.accomplished, 1);
    EXPECT_EQ(nests_.won, 0) << "the win waits for the nest";

    EXPECT_GT(FlyHome(), 60) << "the chain opens and the nestling climbs out before it flies";
    EXPECT_EQ(Player.NestlingsSaved, 1);
    EXPECT_EQ(nests_.arrivedAt, std::vector<int>{1});
    EXPECT_EQ(nests_.won, 1);
}

TEST_F(Nestlings, AKeyOnANestlingEndsNoTurnButAKeyPutDownDoes) {
    Play(
        {
            "k.N...",
            "......",
            "k.....",
            "......",
        },
        3);
    const int eggs = EggCount();
    Drag({1, 1}, {3, 1});
    SettleMoves();
    EXPECT_EQ(Chains(3, 1), 1);
    EXPECT_EQ(EggCount(), eggs) << "opening a chain lays no eggs";
    EXPECT_EQ(Player.LevelMoves, 1) << "but it is a move";

    Drag({1, 3}, {5, 3});
    SettleMoves();
    EXPECT_TRUE(IsKeyAt(5, 3)) << "the key lies where it was put down";
    EXPECT_FALSE(IsKeyAt(1, 3));
    EXPECT_EQ(EggCount(), eggs + 3) << "putting a key down ends the turn";
    EXPECT_EQ(Player.LevelMoves, 2);
}

TEST_F(Nestlings, BirdsFlyOverKeysButNotOverNestlingsAndOnlyKeysLandOnCages) {
    Play({
        "1k.",
        "n..",
        "2.h",
    });
    // A bird may cross the key, but not stop on it.
    Drag({1, 1}, {2, 1});
    EXPECT_TRUE(HasBird(1, 1)) << "a key's cell takes no bird";
    Drag({1, 1}, {3, 1});
    Settle();
    EXPECT_EQ(KindAt(3, 1), 1) << "the bird flew across the key";
    // The nestling is a wall to a bird below it.
    Drag({1, 3}, {1, 2});
    EXPECT_TRUE(HasBird(1, 3)) << "a cage takes no bird";
    // A key goes onto the cage, not onto a bird or a bonus.
    Drag({2, 1}, {3, 1});
    Drag({2, 1}, {3, 3});
    EXPECT_EQ(KeysUnderWay(), 0);
    EXPECT_TRUE(IsKeyAt(2, 1));
    Drag({2, 1}, {1, 2});
    EXPECT_EQ(KeysUnderWay(), 1);
}

TEST_F(Nestlings, KeysCountWhileCatsCarryThemAndOnTheirWayButNotOnceArrived) {
    const std::string keyCat =
        "<cat Kind=\"2\" Count=\"1\" Random=\"100\"><Pos X=\"5\" Y=\"5\"/><Conditions "
        "Name=\"cond_less_then\" Value=\"1\"/><Event Name=\"event_drop_key\"/></cat>";
    Play(
        {
            "k.....",
            "......",
            "......",
            "....4.",
            "......",
            "......",
            "n....4",
        },
        0, keyCat);
    EXPECT_EQ(CountKeys(false), 1);
    EXPECT_EQ(CountKeys(true), 2) << "the announced cat will leave a key";
    EXPECT_EQ(CountNestlings(), 1);

    Drag({1, 1}, {3, 1});
    Tick();
    EXPECT_EQ(CountKeys(false), 0);
    EXPECT_EQ(CountKeys(true), 2) << "a key on its way is a key";
    SettleMoves();
    for (int i = 0; i < 300 && !CatAt({5, 5})->Settled(); ++i) Tick();
    ASSERT_TRUE(CatAt({5, 5})->Settled()) << "the cat landed at the end of the turn";
    EXPECT_EQ(CountKeys(true), 2) << "the arrived key counts once, as a key on the board";

    // Two birds of a kind catch the cat; its key is left on its cell.
    Drag({6, 7}, {6, 5});
    for (int i = 0; i < 300 && !IsKeyAt(5, 5); ++i) Tick();
    EXPECT_TRUE(IsKeyAt(5, 5));
    EXPECT_EQ(CountKeys(true), 2);
    Tick();
    Press({5, 5});
    EXPECT_TRUE(LiftedKey().InUse()) << "the left key can be lifted at once";
}

TEST_F(Nestlings, KeyCatsComeWhileKeysAreScarceAndTheirKeysCount) {
    // Two cages and no key: a cat that carries a key comes, and another while the keys
    // (counting the one it carries) are still fewer than the cages.
    const std::string keyCats =
        "<cat Kind=\"2\" Count=\"1\" Random=\"100\" Infinite=\"yes\"><Pos/><Conditions "
        "Name=\"cond_nestlings_less_then_keys\" Value=\"5\"/><Event "
        "Name=\"event_drop_key\"/></cat>";
    std::vector<std::string> rows(7, std::string(9, '.'));
    rows[0][0] = 'n';
    rows[0][8] = 'n';
    rows[6][0] = '1';
    Play(rows, 0, keyCats);
    EXPECT_EQ(CountCatsOnBoard(), 1);
    EXPECT_EQ(CountKeys(true), 1) << "the announced cat's key";
    EXPECT_EQ(CountNestlings(), 2);
    Drag({1, 7}, {2, 7});
    SettleMoves();
    for (int i = 0; i < 200; ++i) Tick();
    EXPECT_EQ(CountCatsOnBoard(), 2) << "one key for two cages: another cat brings one";
    EXPECT_EQ(CountKeys(true), 2);
    Drag({2, 7}, {1, 7});
    SettleMoves();
    for (int i = 0; i < 200; ++i) Tick();
    EXPECT_EQ(CountCatsOnBoard(), 2) << "two keys for two cages: no more";
}

TEST_F(Nestlings, TwoNestlingsFlyToConsecutiveNestsAndTheSecondWinsTheLevel) {
    Play({
        "k.n..",
        ".....",
        "k.n..",
        "1....",
    });
    ASSERT_EQ(CurrentLevel.NestlingsMaxCommon, 2);
    Drag({1, 1}, {3, 1});
    Tick(5);
    Drag({1, 3}, {3, 3});
    // The player picks up a bird while the key is on its way; the lock takes it away.
    Press({1, 4});
    ASSERT_TRUE(DragedBird->InUse());
    SettleMoves();
    EXPECT_FALSE(DragedBird->InUse());
    std::vector<int> indexes;
    for (TSprite* s : engine_->Items())
        if (auto* n = dynamic_cast<TKilledNestlingSprite*>(s); n && !n->FDeaded)
            indexes.push_back(n->FNestIndex);
    EXPECT_EQ(indexes, (std::vector<int>{0, 1}));
    EXPECT_TRUE(LevelFinished);

    FlyHome();
    EXPECT_EQ(Player.NestlingsSaved, 2);
    EXPECT_EQ(nests_.arrivedAt, (std::vector<int>{1, 2}));
    EXPECT_EQ(nests_.won, 1) << "the level is won once, by the last nestling home";
}

TEST_F(Nestlings, AWinRacingAFullBoardStaysAWin) {
    // A key and then a bird leave: the key frees the nestling first; the bird lands without
    // a match and the eggs fill the board, which must not lose the won level.
    Play(
        {
            "kn1.",
            "2323",
            "3232",
        },
        4);
    Drag({1, 1}, {2, 1});
    Tick(20);
    Drag({3, 1}, {4, 1});
    ASSERT_EQ(KeysUnderWay(), 1);
    for (int i = 0; i < 2000 && (Moving() || Live<TKilledNestlingSprite>() > 0); ++i) Tick();
    EXPECT_TRUE(IsBoardFull());
    EXPECT_EQ(nests_.lost, 0) << "the mission was decided first";
    EXPECT_EQ(nests_.won, 1);
}

} // namespace
} // namespace bw
