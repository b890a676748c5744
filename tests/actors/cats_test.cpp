// Cats on real boards: fixture levels read as level files, the game's own actors, moves made
// with the pointer and the board left to run tick by tick. Pictures as in LevelFixture.h
// ('G' .. 'K' are cats of kind 21 .. 25).
#include "actors/Bonuses.h"
#include "actors/CatRules.h"
#include "actors/Cats.h"
#include "actors/GameActors.h"
#include "actors/Nestlings.h"
#include "audio/SoundEngine.h"
#include "base/GameOptions.h"

#include "../audio/FakeSoundDevice.h"
#include "../board/BoardTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

namespace bw {
namespace {

// A cat entry of a level file.
std::string CatEntry(int kind, const std::string& condition, int value, TCoord2 pos = NoCell,
                     const std::string& options = "", const std::string& more = "") {
    std::string pos_ = pos == NoCell ? "<Pos/>"
                                     : "<Pos X=\"" + std::to_string(pos.x) + "\" Y=\"" +
                                           std::to_string(pos.y) + "\"/>";
    return "<cat Kind=\"" + std::to_string(kind) + "\" Random=\"100\" " + options + ">" + pos_ +
           "<Conditions Name=\"" + condition + "\" Value=\"" + std::to_string(value) + "\"/>" +
           more + "</cat>";
}

class Cats : public test::BoardTest {
protected:
    void SetUp() override {
        BoardTest::SetUp();
        SetBoardActors(&TheBoardActors());
        Player.CatsWereKilled = 0;
    }

    // Reads the level as the game reads a level file and starts it as StartLevel does.
    void Play(std::vector<std::string> rows, const std::string& cats = "", int eggs = 0) {
        UnloadBoard();
        ResetLevelCounters();
        testing::FixtureLevel level{"fx_cats", std::move(rows), eggs};
        level.cats = cats;
        CurrentLevel = TLevel_Data{};
        ASSERT_TRUE(LoadLevelFromText(testing::LevelFileXml(level), level.name, CurrentLevel));
        BuildBoard();
        DragedBird = new TDragedBird(engine_.get());
        Actors().Spawn();
        LayEggs(CurrentLevel.GenerateBirdsCount);
    }

    template <class T> int Live() const {
        int n = 0;
        for (TSprite* s : engine_->Items()) n += dynamic_cast<T*>(s) && !s->FDeaded ? 1 : 0;
        return n;
    }

    bool CatsBusy() const {
        if (Live<TMovedCatSprite>() + Live<TJumpingCatSprite>() + Live<TKilledCatSprite>() > 0)
            return true;
        if (BonusesUnderWay() + KeysUnderWay() > 0) return true;
        for (int x = 1; x <= 16; ++x)
            for (int y = 1; y <= 16; ++y)
                if (const TCatSprite* c = CatAt({x, y}); c && c->FNewShadow && c->DropStage() >= 2)
                    return true;
        return Busy();
    }

    void SettleAll(int limit = 3000) {
        for (int i = 0; i < limit && CatsBusy(); ++i) Tick();
    }

    // A move without a match somewhere: the turn ends.
    void MoveAndSettle(TCoord2 from, TCoord2 to) {
        Drag(from, to);
        SettleAll();
    }

    static bool CatOn(int x, int y) {
        const TCatSprite* c = CatAt({x, y});
        return c && c->HasCat();
    }
    static int KindOn(int x, int y) { return CatOn(x, y) ? CatAt({x, y})->FKind : 0; }

    static int MovableBirds() {
        int n = 0;
        for (int x = 1; x <= 16; ++x)
            for (int y = 1; y <= 16; ++y)
                if (const TBirdSprite* b = BoardBirds[x][y]; b && b->FVisible && !b->FBounded) ++n;
        return n;
    }

    TCoords2Array CatCells() const {
        TCoords2Array cells;
        for (int x = 1; x <= 16; ++x)
            for (int y = 1; y <= 16; ++y)
                if (const TCatSprite* c = CatAt({x, y}); c && (c->HasCat() || c->FNewShadow))
                    cells.push_back({x, y});
        return cells;
    }
};

TEST_F(Cats, TwoBirdsCatchACat2AndCarryItAway) {
    Play(
        {
            "........",
            "........",
            "........",
            "....4...",
            "....H.4.",
            "........",
        },
        "", 2);
    const int eggs = EggCount();
    const int score = Player.LevelScore;
    Drag({7, 5}, {6, 5});
    for (int i = 0; i < 200 && Player.LevelCatsMatched == 0; ++i) Tick();
    ASSERT_EQ(Player.LevelCatsMatched, 1);
    EXPECT_EQ(Player.LevelScore - score, 70);
    EXPECT_EQ(Player.CatsWereKilled, 1);
    EXPECT_FALSE(CatOn(5, 5));
    EXPECT_FALSE(HasBird(5, 4));
    EXPECT_FALSE(HasBird(6, 5));
    EXPECT_EQ(Live<TKilledCatSprite>(), 1);
    EXPECT_EQ(Live<TKilledCatBirdSprite>(), 2);
    EXPECT_EQ(Player.LevelBirdsMatched[4], 0) << "the catching birds are not matched birds";

    // The birds fly in; as soon as both are there the cat rises; it passes above the screen.
    int rising = -1;
    for (int i = 0; i < 600 && Live<TKilledCatSprite>() > 0; ++i) {
        Tick();
        for (TSprite* s : engine_->Items())
            if (auto* k = dynamic_cast<TKilledCatSprite*>(s); k && k->FAnimStage == 3 && rising < 0)
                rising = i;
    }
    EXPECT_GT(rising, 0);
    EXPECT_EQ(Live<TKilledCatSprite>() + Live<TKilledCatBirdSprite>(), 0);
    EXPECT_LE(EggCount(), eggs) << "a catch does not end the turn";
    // The freed cell takes a bird at once.
    const TCoords2Array free = FindFreeCells();
    EXPECT_NE(std::find(free.begin(), free.end(), TCoord2{5, 5}), free.end());
}

TEST_F(Cats, ACat1NeedsFourBirdsOfOneKind) {
    const std::vector<std::string> board = {
        "........", "....1...", "...1G1..", "........",
        "........", "........", "........", ".......2",
    };
    Play(board);
    Drag({8, 8}, {5, 4});
    SettleAll();
    EXPECT_EQ(Player.LevelCatsMatched, 0);
    EXPECT_TRUE(CatOn(5, 3));

    std::vector<std::string> withOne = board;
    withOne[7] = ".......1";
    Play(withOne);
    const int score = Player.LevelScore;
    Drag({8, 8}, {5, 4});
    SettleAll();
    EXPECT_EQ(Player.LevelCatsMatched, 1);
    EXPECT_EQ(Player.LevelScore - score, 195);
    EXPECT_EQ(Live<TKilledCatBirdSprite>(), 0);
}

TEST_F(Cats, BoundedBirdsNeverCatch) {
    // With the tied bird of kind 3 a free one would be enough to catch the cat.
    Play({
        ".....",
        ".....",
        ".CH..",
        ".....",
        "....3",
    });
    Drag({5, 5}, {3, 4});
    SettleAll();
    EXPECT_EQ(Player.LevelCatsMatched, 0);
    EXPECT_TRUE(CatOn(3, 3));
}

TEST_F(Cats, ACat4WalksIntoTheOnlyCellItMayEnter) {
    const auto walk = [&](char right) {
        Play({
            "5......",
            "....1..",
            std::string("...2J") + right + ".",
            "....3..",
            ".......",
        });
        Drag({1, 1}, {1, 2});
        for (int i = 0; i < 100 && Live<TMovedCatSprite>() == 0; ++i) Tick();
        int walking = 0;
        for (; walking < 200 && Live<TMovedCatSprite>() > 0; ++walking) Tick();
        EXPECT_LT(walking, 60) << "a step takes less than a second";
        return CatOn(6, 3);
    };
    EXPECT_TRUE(walk('.'));
    EXPECT_FALSE(CatOn(5, 3));
    EXPECT_EQ(KindOn(6, 3), 24);
    EXPECT_FALSE(walk('<')) << "a cell entered only leftwards";
    EXPECT_TRUE(CatOn(5, 3));
    EXPECT_TRUE(walk('>')) << "a cell entered rightwards";
}

TEST_F(Cats, ACat4ArrivingBesideBirdsIsCaught) {
    Play({
        "5.....",
        "...22.",
        "..1J.2",
        "...3..",
    });
    Drag({1, 1}, {2, 1});
    SettleAll();
    // Its one way out leads between two birds of kind 2.
    EXPECT_EQ(Player.LevelCatsMatched, 1);
}

TEST_F(Cats, ACat5JumpsEverySecondTurnWhenItHasSomewhereToLand) {
    Play({
        "K.2.",
        "1.3.",
    });
    TCatSprite& cat = *CatAt({1, 1});
    MoveAndSettle({1, 2}, {2, 2});
    EXPECT_EQ(cat.FJumpTimerCount, 1);
    MoveAndSettle({2, 2}, {1, 2});
    // No cell qualifies: beside birds, or next to the cat itself. It waits.
    EXPECT_TRUE(CatOn(1, 1));
    EXPECT_EQ(cat.FJumpTimerCount, 2);
    // The bird of kind 2 moves away from (4, 1)'s side: now that cell qualifies.
    MoveAndSettle({3, 1}, {2, 1});
    EXPECT_FALSE(CatOn(1, 1));
    EXPECT_EQ(KindOn(4, 1), 25);
    EXPECT_EQ(CatAt({4, 1})->FJumpTimerCount, 0);
    EXPECT_EQ(Live<TJumpingCatSprite>(), 0);
}

TEST_F(Cats, ARandomCatFallsAtTheStartAndAnInfiniteEntryBringsANewOne) {
    Play({".......", ".......", ".......", ".......", ".......", ".......", "......."},
         CatEntry(2, "cond_less_then", 1, NoCell, "Count=\"1\" Shadow=\"no\" Infinite=\"yes\""), 4);
    const TCoords2Array cats = CatCells();
    ASSERT_EQ(cats.size(), 1u);
    const TCoord2 c = cats.front();
    EXPECT_FALSE(Bird(c.x, c.y).FEgg) << "no egg where a cat is about to land";
    EXPECT_EQ(CountOpenNeighbours(TakeBoardSnapshot(), c), 4);
    int landed = -1;
    int settled = -1;
    for (int i = 1; i <= 80 && settled < 0; ++i) {
        Tick();
        if (landed < 0 && CatAt(c)->DropStage() == 4) landed = i;
        if (!CatAt(c)->FNewShadow) settled = i;
    }
    EXPECT_NEAR(landed, 41, 2);
    EXPECT_NEAR(settled, 51, 2);
    EXPECT_EQ(KindOn(c.x, c.y), 22);

    TMatchedCat m{c.x, c.y, 22};
    CatchCats({m});
    const TCoords2Array next = CatCells();
    ASSERT_EQ(next.size(), 1u) << "the caught cat makes room for the next at once";
    EXPECT_TRUE(CatAt(next.front())->FNewShadow);
}

TEST_F(Cats, RandomCatsComeAllTogetherOrNotAtAll) {
    const std::string three = CatEntry(1, "cond_less_then", 9, NoCell, "Count=\"3\" Shadow=\"no\"");
    // Only (2, 2) and (4, 2) have four open sides and no cat beside them.
    Play({".....", ".....", "....."}, three);
    EXPECT_TRUE(CatCells().empty());
    EXPECT_FALSE(CurrentLevel.Cats[0].Droped) << "tried again next time";

    Play({".......", ".......", ".......", ".......", "......."}, three);
    const TCoords2Array cells = CatCells();
    ASSERT_EQ(cells.size(), 3u);
    for (const TCoord2 a : cells)
        for (const TCoord2 b : cells) EXPECT_NE(std::abs(a.x - b.x) + std::abs(a.y - b.y), 1);
    EXPECT_TRUE(CurrentLevel.Cats[0].Droped);
}

TEST_F(Cats, AnEntryNamesItsCatByKindOrByBoardCodeAndNothingElse) {
    Play({".....", ".....", "....."},
         CatEntry(7, "cond_start_level", 0, {2, 2}) + CatEntry(23, "cond_start_level", 0, {4, 2}));
    EXPECT_TRUE(CurrentLevel.Cats[0].Droped);
    EXPECT_TRUE(CatAt({2, 2})->FNewShadowSprite->FAnimStage == 0);
    SettleAll();
    EXPECT_EQ(CatCells(), (TCoords2Array{{4, 2}}));
    EXPECT_EQ(KindOn(4, 2), 23);
}

TEST_F(Cats, AShadowWarnsAndTheCatLandsOnTheBirdLeftThereAtTheEndOfTheTurn) {
    Play({"1..", "...", "..."},
         CatEntry(3, "cond_less_then", 1, NoCell, "Count=\"1\" Shadow=\"yes\""));
    TCatSprite& cat = *CatAt({2, 2});
    ASSERT_TRUE(cat.FNewShadow);
    EXPECT_FALSE(cat.FVisible);
    const TCoords2Array free = FindFreeCells();
    EXPECT_EQ(std::find(free.begin(), free.end(), TCoord2{2, 2}), free.end());
    Tick(20);
    EXPECT_LT(cat.FNewShadowSprite->FScaleX, 1.0f);
    Tick(9);
    EXPECT_FLOAT_EQ(cat.FNewShadowSprite->FScaleX, 1.0f);
    EXPECT_EQ(cat.DropStage(), 1) << "it waits for the end of a turn";

    const int score = Player.LevelScore;
    Drag({1, 1}, {2, 2}); // the player may still put a bird there
    SettleAll();
    EXPECT_EQ(KindOn(2, 2), 23);
    EXPECT_FALSE(HasBird(2, 2));
    EXPECT_EQ(Player.LevelScore - score, 15);
    EXPECT_EQ(Player.LevelBirdsMatched[1], 1);
}

TEST_F(Cats, AFixedCatComesWhileItsConditionHoldsAndItsCellIsFree) {
    Play({"1....", ".....", "..2..", ".....", "....."},
         CatEntry(2, "cond_bombs_less_then", 0, {3, 3}, "Infinite=\"yes\""));
    // No bomb anywhere: the cat comes at once and the bird on its cell goes.
    EXPECT_FALSE(HasBird(3, 3));
    EXPECT_EQ(Player.LevelBirdsMatched[2], 1);
    EXPECT_TRUE(CatAt({3, 3})->FNewShadow);
    SettleAll();
    ASSERT_EQ(CatCells(), (TCoords2Array{{3, 3}}));
    // While the cat stands there nothing more comes, turn after turn.
    MoveAndSettle({1, 1}, {2, 1});
    MoveAndSettle({2, 1}, {1, 1});
    EXPECT_EQ(CatCells(), (TCoords2Array{{3, 3}}));
}

TEST_F(Cats, AFixedCatWaitsWhileAKeyOrAHamburgerLiesOnItsCell) {
    Play({"h....", ".....", "k....", ".....", "....1"},
         CatEntry(2, "cond_less_then", 9, {1, 1}) + CatEntry(2, "cond_less_then", 9, {1, 3}));
    EXPECT_TRUE(CatCells().empty()) << "no cat comes down on the key or the hamburger";
    EXPECT_TRUE(IsBonusAt(1, 1));
    EXPECT_TRUE(IsKeyAt(1, 3));
    EXPECT_FALSE(CurrentLevel.Cats[0].Droped);
    // The player takes the hamburger off: at the end of that move its cat comes.
    MoveAndSettle({1, 1}, {3, 1});
    EXPECT_TRUE(IsBonusAt(3, 1));
    EXPECT_EQ(CatCells(), (TCoords2Array{{1, 1}}));
    MoveAndSettle({1, 3}, {3, 3});
    EXPECT_TRUE(IsKeyAt(3, 3));
    EXPECT_EQ(KindOn(1, 3), 22);
    EXPECT_EQ(CountKeys(true), 1);
}

TEST_F(Cats, AFixedCatTakesAnEggsCellAndNothingHatchesUnderIt) {
    // The cat at (3, 2) keeps the entry at (1, 3) waiting until it is caught.
    Play({"..4...", "..H.4.", "......", ".....1"}, CatEntry(2, "cond_less_then", 1, {1, 3}));
    LayEgg(Bird(1, 3), 2);
    Drag({5, 2}, {4, 2});
    SettleAll();
    ASSERT_EQ(Player.LevelCatsMatched, 1);
    EXPECT_EQ(KindOn(1, 3), 22);
    EXPECT_FALSE(Bird(1, 3).FEgg);
    MoveAndSettle({6, 4}, {6, 3}); // a turn ends: eggs hatch
    EXPECT_FALSE(HasBird(1, 3));
    EXPECT_EQ(KindOn(1, 3), 22);
}

TEST_F(Cats, AWalkingCatSetsOffFromWhereItStands) {
    Play({".....", ".J...", "....."});
    StartCatWalk({{2, 2}, {3, 2}}, 24);
    const TMovedCatSprite* walker = nullptr;
    for (TSprite* s : engine_->Items())
        if (auto* w = dynamic_cast<TMovedCatSprite*>(s)) walker = w;
    ASSERT_NE(walker, nullptr);
    // The walk pictures hang 65 left of and 97 above the centre of the cell the cat is on.
    const TPoint2 from{CentreOf(2, 2).x - 65.0f, CentreOf(2, 2).y - 97.0f};
    const TPoint2 to{CentreOf(3, 2).x - 65.0f, CentreOf(3, 2).y - 97.0f};
    EXPECT_FLOAT_EQ(walker->FX, from.x);
    EXPECT_FLOAT_EQ(walker->FY, from.y);
    // A step to the right keeps its height and never leaps.
    float x = walker->FX;
    for (int i = 0; i < 100 && Live<TMovedCatSprite>() > 0; ++i) {
        EXPECT_FLOAT_EQ(walker->FY, to.y);
        EXPECT_GE(walker->FX, x);
        EXPECT_LE(walker->FX - x, 12.5f);
        x = walker->FX;
        Tick();
    }
    EXPECT_EQ(KindOn(3, 2), 24);
}

TEST_F(Cats, ACatchThatTakesTheLastBirdsEndsTheTurnOrFillsTheBoard) {
    // Once the two birds carry the cat off nothing is left to move: new birds come, as when
    // a match takes the last birds.
    Play({"........", "....4...", "....H.4.", "........"});
    CurrentLevel.GenerateBirdsCount = 2;
    Drag({7, 3}, {6, 3});
    SettleAll();
    ASSERT_EQ(Player.LevelCatsMatched, 1);
    EXPECT_EQ(MovableBirds(), 2);
    EXPECT_EQ(EggCount(), 2);
    EXPECT_EQ(host_.lostShown, 0);
    // With no room left for the new eggs the level is lost.
    Play({"4H.", "..4"});
    CurrentLevel.GenerateBirdsCount = 6;
    Drag({3, 2}, {3, 1});
    SettleAll();
    ASSERT_EQ(Player.LevelCatsMatched, 1);
    EXPECT_EQ(EggCount(), 6);
    EXPECT_EQ(host_.lostShown, 1);
}

TEST_F(Cats, ACatFallingOntoACellTakesNoReleaseThere) {
    // The second cat waits 15 ticks before it falls.
    Play({"1....", "....."},
         CatEntry(2, "cond_start_level", 0, {5, 2}) + CatEntry(2, "cond_start_level", 0, {3, 2}));
    Tick(3);
    ASSERT_FALSE(CatAt({3, 2})->FVisible);
    ASSERT_EQ(CatAt({3, 2})->DropStage(), 2);
    Drag({1, 1}, {3, 2});
    EXPECT_EQ(Live<TMovedBirdSprite>(), 0);
    EXPECT_TRUE(HasBird(1, 1));
    SettleAll();
    EXPECT_EQ(KindOn(3, 2), 22);
}

TEST_F(Cats, ACancelledDropLandsNothing) {
    Play({"1..", "...", "..."},
         CatEntry(2, "cond_less_then", 1, NoCell, "Count=\"1\" Shadow=\"yes\""));
    DropPendingCats();
    Tick(5);
    CatAt({2, 2})->CancelDrop();
    Tick(100);
    EXPECT_TRUE(CatCells().empty());
}

TEST_F(Cats, OneMoveCatchingTwoCatsCatchesEachOnce) {
    Play({
        "........",
        "..2.2...",
        "..H.H2..",
        "........",
        "...2....",
    });
    const int score = Player.LevelScore;
    Drag({4, 5}, {4, 3});
    SettleAll();
    EXPECT_EQ(Player.LevelCatsMatched, 2);
    EXPECT_EQ(Player.CatsWereKilled, 2);
    EXPECT_EQ(Player.LevelScore - score, 140);
    // Counted while they flew: two cats and four birds.
    Play({
        "........",
        "..2.2...",
        "..H.H2..",
        "........",
        "...2....",
    });
    Drag({4, 5}, {4, 3});
    for (int i = 0; i < 200 && Player.LevelCatsMatched == 0; ++i) Tick();
    EXPECT_EQ(Live<TKilledCatSprite>(), 2);
    EXPECT_EQ(Live<TKilledCatBirdSprite>(), 4);
}

TEST_F(Cats, ALiftedBirdTakenByACatchIsDropped) {
    Play({"....", ".4..", ".H4.", "...."});
    Press({2, 2});
    ASSERT_TRUE(DragedBird->InUse());
    CatchCats({TMatchedCat{2, 3, 22, {TCoord2{2, 2}, TCoord2{3, 3}, NoCell, NoCell}}});
    EXPECT_FALSE(DragedBird->InUse());
    BoardPointer.Pos = CentreOf(4, 4);
    BoardInput();
    BoardRelease();
    EXPECT_EQ(Live<TMovedBirdSprite>(), 0);
    EXPECT_FALSE(HasBird(4, 4));
}

TEST_F(Cats, TheLevelsEndTakesEveryCatWithIt) {
    Play({"5....H.", "...2.2.", "..3J...", "......."});
    Drag({1, 1}, {1, 2});
    for (int i = 0; i < 100 && Live<TMovedCatSprite>() == 0; ++i) Tick();
    ASSERT_EQ(Live<TMovedCatSprite>(), 1);
    CatchCats({TMatchedCat{6, 1, 22, {TCoord2{6, 2}, NoCell, NoCell, NoCell}}});
    ASSERT_EQ(Live<TKilledCatSprite>(), 1);
    UnloadBoard();
    Tick();
    EXPECT_EQ(Live<TCatSprite>() + Live<TNewShadowCatSprite>() + Live<TMovedCatSprite>() +
                  Live<TKilledCatSprite>() + Live<TKilledCatBirdSprite>(),
              0);
}

// ---- The music a landing cat starts -------------------------------------------------------

class CatMusic : public Cats {
protected:
    void SetUp() override {
        Cats::SetUp();
        saved_ = GameOptions;
        GameOptions.SoundsOff = false;
        SetSoundDeviceOpener([] { return std::make_unique<test::FakeSoundDevice>(); });
        SetSoundSource([](SoundKind, const std::string&, std::vector<uint8_t>& bytes) {
            bytes = {'O', 10};
            return true;
        });
        LoadAllSounds();
        ASSERT_TRUE(SoundReady);
        PlayMusic(GameTrackMusic(1), true);
    }
    void TearDown() override {
        ShutdownSound();
        SetSoundDeviceOpener({});
        SetSoundSource({});
        GameOptions = saved_;
        Cats::TearDown();
    }
    static std::string Music(int index, TCoord2 at) {
        return CatEntry(2, "cond_start_level", 0, at, "",
                        "<MusicEvent Name=\"music_event_drop\" Index=\"" + std::to_string(index) +
                            "\" Time=\"3300\"/>");
    }
    TGameOptions saved_;
};

TEST_F(CatMusic, ALandingCatPlaysItsTrackForAWhile) {
    Play({".....", "....."}, Music(2, {3, 1}));
    Tick(45);
    ASSERT_EQ(CurrentMusic, GameTrackMusic(2));
    Tick(190);
    EXPECT_EQ(CurrentMusic, GameTrackMusic(2));
    Tick(20);
    EXPECT_EQ(CurrentMusic, GameTrackMusic(1));
}

TEST_F(CatMusic, ATrackAlreadyPlayingStartsNoTimer) {
    PlayMusic(GameTrackMusic(2), true);
    Play({".....", "....."}, Music(2, {3, 1}));
    Tick(60);
    EXPECT_EQ(CurrentMusic, GameTrackMusic(2));
    EXPECT_EQ(CatAt({3, 1})->FMusic_timer, 0.0);
}

TEST_F(CatMusic, OverlappingEventsEndOnTheLevelsTrack) {
    // The second cat lands 15 ticks after the first and switches on from the first's track.
    Play({".....", "....."}, Music(2, {1, 1}) + Music(3, {5, 2}));
    Tick(60);
    ASSERT_EQ(CurrentMusic, GameTrackMusic(3));
    Tick(220);
    EXPECT_EQ(CurrentMusic, GameTrackMusic(1));
}

} // namespace
} // namespace bw
