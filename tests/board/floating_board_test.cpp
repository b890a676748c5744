// Boards that move: cells bobbing on water, planks floating on a river, a board riding a
// train, and everything that stands on them. Locations are location files read as the game
// reads them, levels are fixture level files (pictures as in LevelFixture.h), the actors are
// the game's own, and moves are made with the pointer.
#include "actors/BonusSprites.h"
#include "actors/Bonuses.h"
#include "actors/CatSprites.h"
#include "actors/Cats.h"
#include "actors/GameActors.h"
#include "board/BoardEffects.h"
#include "board/LocationObjects.h"

#include "BoardTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace bw {
namespace {

// A location file of the layout kind: a 16 x 16 grid of 76 x 60 cells from (300, 0), seven
// ordinary patterns (four banks and three planks on a river, one-way cells after them) and
// occupants centred at (65, 60) of every pattern.
std::string LocationXml(TLocationMapKind kind, const std::string& moveFx = "",
                        const std::string& objects = "", int columns = 16) {
    std::string centres;
    for (int i = 0; i < 11; ++i) centres += R"(<point x="65" y="60"/>)";
    return R"(<location><settings><options Kind=")" + std::to_string(kind) +
           R"("/><Birds MoveFx=")" + moveFx +
           R"("/><Walls Kind="0" Image="walls.image"/><Map Image="cells.image"/>)" +
           R"(<MapSize X=")" + std::to_string(columns) +
           R"(" Y="16"/><MapPosition X="300" Y="0"/><MapElementsAnimCount Value="7"/>)" +
           R"(<MapElementsChessOrder Value="yes"/><MapElementsSize X="76" Y="60"/>)" +
           R"(<MapElementCollideSize X="38" Y="30"/><MapCentres>)" + centres +
           "</MapCentres></settings><objects>" + objects + "</objects></location>";
}

// A train standing at (40, 100), alone: the board rides it.
constexpr const char* TrainObjects = R"(<sprite ImageName="train.image" X="40" Y="100"/>)";

// Remembers the step effects launched.
struct StepEffects final : BoardEffects {
    std::vector<std::string> bursts;
    void Burst(const std::string& name, TPoint2, int, int, float) override {
        bursts.push_back(name);
    }
};

class FloatingBoard : public test::BoardTest {
protected:
    void SetUp() override {
        BoardTest::SetUp();
        SetBoardActors(&TheBoardActors());
        SetBoardEffects(&effects_);
    }
    void TearDown() override {
        LeaveLocation();
        BoardTest::TearDown();
        SetBoardEffects(nullptr);
        LocationOptions() = {};
    }

    // Leaves the location in use and puts up the one of the file, as a level start does.
    void UseLocation(const std::string& xml) {
        LeaveLocation();
        ASSERT_TRUE(LoadLocationFromText(xml, "location_fx.xml", LocationOptions()));
        CreateLocationDecoration(*engine_);
    }

    // Reads the level picture as a level file and builds it; `planks` get map code 2.
    void Play(std::vector<std::string> rows, const TCoords2Array& planks = {}) {
        UnloadBoard();
        ResetLevelCounters();
        testing::FixtureLevel level{"fx_floating", std::move(rows), 0};
        CurrentLevel = TLevel_Data{};
        ASSERT_TRUE(LoadLevelFromText(testing::LevelFileXml(level), level.name, CurrentLevel));
        for (const TCoord2 c : planks) CurrentLevel.Map[c.x][c.y] = 2;
        BuildBoard();
        DragedBird = new TDragedBird(engine_.get());
        Actors().Spawn();
    }

    template <class T> int Live() const {
        int n = 0;
        for (TSprite* s : engine_->Items()) n += dynamic_cast<T*>(s) && !s->FDeaded ? 1 : 0;
        return n;
    }

    bool Moving() const {
        return Busy() || Live<TMovedCatSprite>() + Live<TMovedBonusSprite>() > 0;
    }

    // Drags from one cell to another and ticks until everything has come to rest; the
    // deepest dip each cell showed on the way.
    BoardGrid<float> MoveAndWatchDips(TCoord2 from, TCoord2 to) {
        BoardGrid<float> deepest{};
        Drag(from, to);
        for (int i = 0; i < 1000 && Moving(); ++i) {
            Tick();
            for (int x = 1; x <= 16; ++x)
                for (int y = 1; y <= 16; ++y)
                    if (const TLevelSprite* cell = BoardCells[x][y])
                        deepest[x][y] = std::max(deepest[x][y], cell->FAnimPosOffset.y);
        }
        EXPECT_FALSE(Moving());
        return deepest;
    }

    static const TLevelSprite& CellAt(TCoord2 c) { return *BoardCells[c.x][c.y]; }
    static TPoint2 Offset(TCoord2 c) {
        const TLevelSprite& cell = CellAt(c);
        return {cell.FX - cell.FStartPos.x, cell.FY - cell.FStartPos.y};
    }

    // Everything on the cell stands where the cell is now: the bird centred on it, the wall
    // and the gate above its corner, the cat and the bonus on their slots.
    void ExpectOnItsCell(TCoord2 c, const std::string& when) {
        const TLevelSprite& cell = CellAt(c);
        SCOPED_TRACE(when + ", cell " + std::to_string(c.x) + "," + std::to_string(c.y));
        if (HasBird(c.x, c.y)) {
            EXPECT_FLOAT_EQ(Bird(c.x, c.y).FX, cell.FCenter.x - 65);
            EXPECT_FLOAT_EQ(Bird(c.x, c.y).FY, cell.FCenter.y - 65);
        }
        if (const TWallSprite* wall = BoardWalls[c.x][c.y]; wall && wall->FVisible) {
            EXPECT_FLOAT_EQ(wall->FX, cell.FX - 3);
            EXPECT_FLOAT_EQ(wall->FY, cell.FY - 18);
        }
        if (const TGateSprite* gate = BoardGates[c.x][c.y]; gate && gate->FVisible) {
            EXPECT_FLOAT_EQ(gate->FX, cell.FX - 3);
            EXPECT_FLOAT_EQ(gate->FY, cell.FY - 18);
        }
        if (const TCatSprite* cat = CatAt(c); cat && cat->HasCat()) {
            EXPECT_FLOAT_EQ(cat->FX, cell.FCenter.x - 65);
            EXPECT_FLOAT_EQ(cat->FY, cell.FCenter.y + (cat->FKind == 21 ? 0 : 5) - 93);
        }
        if (IsBonusAt(c.x, c.y)) {
            const TBonusSprite* bonus = BonusAt(c);
            const TPoint2 slot = BonusSlotPosition(c, bonus->FKind);
            EXPECT_FLOAT_EQ(bonus->FX, slot.x);
            EXPECT_FLOAT_EQ(bonus->FY, slot.y);
        }
    }

    // Ticks `n` times; after each tick everything on the cells must stand on its cell.
    void TickWatching(int n, const TCoords2Array& cells, const std::string& what) {
        for (int i = 1; i <= n; ++i) {
            Tick();
            for (const TCoord2 c : cells) ExpectOnItsCell(c, what + ", tick " + std::to_string(i));
        }
    }

    StepEffects effects_;
};

// ---- What floats --------------------------------------------------------------------------

TEST_F(FloatingBoard, OnWaterEveryCellBobsAndEverythingOnItRidesAlong) {
    UseLocation(LocationXml(lockind_Water_1));
    Play({"1Wo", "Hb."}); // bird, wall, open gate; cat, bomb
    const TCoords2Array cells{{1, 1}, {2, 1}, {3, 1}, {1, 2}, {2, 2}, {3, 2}};
    for (int n = 1; n <= 60; ++n) {
        Tick();
        for (const TCoord2 c : cells) {
            // Each cell has its own phase, starting from pX + pY.
            const double t = c.x + c.y + 0.07 * n;
            EXPECT_NEAR(Offset(c).x, 1.5 * std::sin(0.3 * t), 1e-3) << n;
            EXPECT_NEAR(Offset(c).y, 0.5 * std::sin(0.3 * t), 1e-3) << n;
            ExpectOnItsCell(c, "tick " + std::to_string(n));
        }
    }
    EXPECT_GT(std::fabs(Offset({1, 1}).x), 1.0f) << "the cells have really moved";
}

TEST_F(FloatingBoard, OnARiverOnlyThePlanksFloat) {
    UseLocation(LocationXml(lockind_River_1));
    Play({"1.2", "W.b"}, {{2, 1}, {3, 1}, {3, 2}}); // column 1 and (2, 2) are banks
    EXPECT_EQ(CellAt({3, 1}).FStartPos, (TPoint2{300 + 3 * 76, 188 + 60 + 3}));
    EXPECT_EQ(CellAt({1, 1}).FStartPos, (TPoint2{300 + 76, 188 + 60}));
    TickWatching(60, {{1, 1}, {3, 1}, {1, 2}, {3, 2}}, "river");
    for (const TCoord2 bank : {TCoord2{1, 1}, TCoord2{1, 2}, TCoord2{2, 2}})
        EXPECT_EQ(Offset(bank), (TPoint2{})) << bank.x << "," << bank.y;
    for (const TCoord2 plank : {TCoord2{2, 1}, TCoord2{3, 1}, TCoord2{3, 2}}) {
        EXPECT_GE(CellAt(plank).FPatternIndex, 4);
        EXPECT_NE(Offset(plank), (TPoint2{})) << plank.x << "," << plank.y;
    }
}

TEST_F(FloatingBoard, TheBoardRidesTheTrainAndStaysPutWithoutIt) {
    UseLocation(LocationXml(lockind_Train, "", TrainObjects));
    Play({"1W.", "Hbo"});
    const TSprite* train = LocationTrainObject();
    ASSERT_NE(train, nullptr);
    const TCoords2Array cells{{1, 1}, {2, 1}, {3, 1}, {1, 2}, {2, 2}, {3, 2}};
    for (int n = 1; n <= 40; ++n) {
        Tick();
        EXPECT_NEAR(train->FY, 100 + 1.5 * std::sin(0.9 * 0.05 * n), 1e-4) << n;
        for (const TCoord2 c : cells) {
            EXPECT_FLOAT_EQ(Offset(c).x, 40) << n;
            EXPECT_FLOAT_EQ(Offset(c).y, train->FY) << n;
            EXPECT_EQ(CellAt(c).FAlpha, 255);
            ExpectOnItsCell(c, "tick " + std::to_string(n));
        }
    }
    // Once the train is gone the board stays where it was.
    const TPoint2 last = Offset({1, 1});
    LeaveLocation();
    Tick(5);
    EXPECT_EQ(LocationTrainObject(), nullptr);
    EXPECT_EQ(Offset({1, 1}), last);
    ExpectOnItsCell({1, 1}, "without a train");
}

TEST_F(FloatingBoard, OnFixedLayoutsNothingFloats) {
    for (const TLocationMapKind kind :
         {lockind_Default, lockind_ClassicRoof, lockind_ModernRoof, lockind_Hangar}) {
        // A plain sprite 0 is scenery here, not a train.
        UseLocation(LocationXml(kind, "", TrainObjects));
        Play({"1W", "b."});
        Tick(30);
        for (const TCoord2 c : {TCoord2{1, 1}, TCoord2{2, 1}, TCoord2{1, 2}}) {
            EXPECT_EQ(Offset(c), (TPoint2{})) << int(kind);
            ExpectOnItsCell(c, "kind " + std::to_string(kind));
        }
        EXPECT_EQ(LocationSprites().Sprites.at(0)->FY, 100) << int(kind);
    }
}

// The surface under the board: three layers of one picture under every cell at the board's
// edge (none under a hole), each layer on its own Z below the cells, riding its cell as it
// bobs, and gone with the board. Inside the board only the top layer lies under a cell.
TEST_F(FloatingBoard, TheBoardBackingLiesUnderEveryCellAndRidesIt) {
    std::string xml = LocationXml(lockind_Water_1);
    xml.replace(xml.find("</settings>"), 0,
                R"(<BoardBacking Image="deck.image" Layers="3" X="-12" Y="-10" Z="-4"/>)");
    UseLocation(xml);
    Play({"1 W", "b.."});
    const auto pieces = [&] {
        std::vector<const TAnimatedSprite*> found;
        for (TSprite* s : engine_->Items())
            if (!s->FDeaded && s->FImageName == "deck.image")
                found.push_back(static_cast<const TAnimatedSprite*>(s));
        return found;
    };
    EXPECT_EQ(pieces().size(), 5u * 3u) << "five cells, the hole has none";
    Tick(25);
    for (const TCoord2 c : {TCoord2{1, 1}, TCoord2{3, 1}, TCoord2{1, 2}, TCoord2{3, 2}}) {
        const TLevelSprite& cell = CellAt(c);
        ASSERT_EQ(cell.backing.size(), 3u);
        EXPECT_NE(Offset(c), (TPoint2{})) << "the cell bobs";
        for (int layer = 0; layer < 3; ++layer) {
            const TAnimatedSprite& piece = *cell.backing[static_cast<size_t>(layer)];
            EXPECT_EQ(piece.FPatternIndex, layer);
            EXPECT_EQ(piece.FZ, -4 + layer);
            EXPECT_LT(piece.FZ, cell.FZ);
            EXPECT_FLOAT_EQ(piece.FX, cell.FX - 12);
            EXPECT_FLOAT_EQ(piece.FY, cell.FY - 10);
        }
    }
    UnloadBoard();
    EXPECT_TRUE(pieces().empty());

    Play({"....", "....", "....", "...."});
    EXPECT_EQ(pieces().size(), 12u * 3u + 4u) << "twelve cells at the edge, four inside";
    ASSERT_EQ(CellAt({2, 3}).backing.size(), 1u);
    EXPECT_EQ(CellAt({2, 3}).backing[0]->FPatternIndex, 2) << "the top layer";
    EXPECT_EQ(CellAt({1, 3}).backing.size(), 3u);

    UseLocation(LocationXml(lockind_Default));
    Play({"1."});
    EXPECT_TRUE(pieces().empty()) << "a location without one has no backing";
}

// ---- Moves across floating cells ----------------------------------------------------------

TEST_F(FloatingBoard, ABirdFlownAcrossWaterDipsEachCellItReachesAndLandsOnItsBobbingCell) {
    UseLocation(LocationXml(lockind_Water_1, "splash.xml"));
    Play({"1....", "....."});
    const BoardGrid<float> dips = MoveAndWatchDips({1, 1}, {5, 1});
    ASSERT_TRUE(HasBird(5, 1));
    EXPECT_FALSE(HasBird(1, 1));
    EXPECT_EQ(dips[1][1], 0.0f) << "the cell it leaves";
    for (int x = 2; x <= 5; ++x) EXPECT_EQ(dips[x][1], 5.0f) << x;
    EXPECT_EQ(dips[3][2], 0.0f);
    EXPECT_EQ(effects_.bursts, (std::vector<std::string>(3, "splash.xml")));
    // The bird stands on the cell the layout puts at (680, 248), as it bobs.
    EXPECT_EQ(CellAt({5, 1}).FStartPos, (TPoint2{300 + 5 * 76, 188 + 60}));
    TickWatching(40, {{5, 1}}, "landed");
    EXPECT_EQ(CellAt({5, 1}).FAnimPosOffset.y, 0.0f);
    EXPECT_EQ(CellAt({5, 1}).FAlpha, 255);
    EXPECT_NE(Offset({5, 1}), (TPoint2{}));
}

TEST_F(FloatingBoard, ABirdOnTheRiverDipsOnlyThePlanksAndItsStepsNameTheCellKind) {
    UseLocation(LocationXml(lockind_River_1, "river_step"));
    Play({"1...", "...."}, {{2, 1}, {4, 1}}); // bank, plank, bank, plank
    const BoardGrid<float> dips = MoveAndWatchDips({1, 1}, {4, 1});
    ASSERT_TRUE(HasBird(4, 1));
    EXPECT_EQ(dips[2][1], 5.0f);
    EXPECT_EQ(dips[3][1], 0.0f) << "a bank does not dip";
    EXPECT_EQ(dips[4][1], 5.0f);
    EXPECT_EQ(effects_.bursts, (std::vector<std::string>{"river_step_2.xml", "river_step_1.xml"}));
    TickWatching(40, {{4, 1}}, "landed on a plank");
    EXPECT_NE(Offset({4, 1}), (TPoint2{}));
    EXPECT_EQ(Offset({3, 1}), (TPoint2{}));
}

TEST_F(FloatingBoard, ABirdFlownOnTheTrainLandsOnTheCellTheTrainCarries) {
    UseLocation(LocationXml(lockind_Train, "", TrainObjects));
    Play({"1...", "...."});
    Tick(10);
    const BoardGrid<float> dips = MoveAndWatchDips({1, 1}, {4, 1});
    ASSERT_TRUE(HasBird(4, 1));
    for (int x = 1; x <= 4; ++x) EXPECT_EQ(dips[x][1], 0.0f) << "the train does not dip";
    for (int n = 1; n <= 20; ++n) {
        Tick();
        EXPECT_FLOAT_EQ(Offset({4, 1}).y, LocationTrainObject()->FY);
        ExpectOnItsCell({4, 1}, "landed, tick " + std::to_string(n));
    }
}

TEST_F(FloatingBoard, AWalkingCatArrivingOnWaterRidesItsCell) {
    UseLocation(LocationXml(lockind_Water_1));
    Play({
        "5......",
        "....1..",
        "...2J..", // the cat's only way is to the right
        "....3..",
    });
    Drag({1, 1}, {1, 2}); // no match: the turn ends and the cat walks
    for (int i = 0; i < 200 && Live<TMovedCatSprite>() == 0; ++i) Tick();
    ASSERT_EQ(Live<TMovedCatSprite>(), 1);
    for (int i = 0; i < 300 && Moving(); ++i) Tick();
    ASSERT_TRUE(CatAt({6, 3})->HasCat());
    EXPECT_FALSE(CatAt({5, 3})->HasCat());
    TickWatching(40, {{6, 3}, {5, 2}}, "after the walk");
    EXPECT_NE(Offset({6, 3}), (TPoint2{}));
}

TEST_F(FloatingBoard, ABonusCarriedAcrossWaterDipsTheCellsOnItsWayAndRidesWhereItLands) {
    UseLocation(LocationXml(lockind_Water_1));
    Play({"b....", "1...."});
    const BoardGrid<float> dips = MoveAndWatchDips({1, 1}, {5, 1});
    ASSERT_TRUE(IsBonusAt(5, 1));
    EXPECT_FALSE(IsBonusAt(1, 1));
    for (int x = 2; x <= 4; ++x) EXPECT_EQ(dips[x][1], 5.0f) << x;
    EXPECT_EQ(dips[1][1], 0.0f);
    TickWatching(40, {{5, 1}}, "landed");
    EXPECT_NE(Offset({5, 1}), (TPoint2{}));
}

// ---- One-way cells ------------------------------------------------------------------------

// A bird at (3, 1) is released on (1, 1); the only way leads leftwards through a cell coded
// "entered moving right". Layouts with one-way cells refuse the move; in the others the code
// is an ordinary cell.
TEST_F(FloatingBoard, OneWayCellsHoldOnlyWhereTheLayoutHasThem) {
    struct Case {
        TLocationMapKind kind;
        int columns;
        const char* row;
        bool moves;
    };
    for (const Case& c :
         {Case{lockind_Default, 16, ".>1", false}, Case{lockind_Water_1, 16, ".>1", false},
          Case{lockind_Train, 16, ".>1", false}, Case{lockind_River_1, 16, ".>1", false},
          Case{lockind_ClassicRoof, 16, ".>1", true}, Case{lockind_Hangar, 16, ".>1", true},
          // Four columns: 1 and 2 are the slope, 3 and 4 the flat part.
          Case{lockind_ModernRoof, 4, ".>1.", true}, Case{lockind_ModernRoof, 4, "..>1", false}}) {
        UseLocation(LocationXml(c.kind, "", "", c.columns));
        Play({c.row});
        const TCoord2 bird{c.row[2] == '1' ? 3 : 4, 1};
        const TCoord2 arrow{bird.x - 1, 1};
        EXPECT_EQ(CellAt(arrow).FArrow != 0, !c.moves) << int(c.kind);
        Drag(bird, {1, 1});
        EXPECT_EQ(Player.LevelMoves, c.moves ? 1 : 0) << int(c.kind) << " " << c.row;
        for (int i = 0; i < 600 && Moving(); ++i) Tick();
        EXPECT_EQ(HasBird(1, 1), c.moves) << int(c.kind) << " " << c.row;
    }
}

} // namespace
} // namespace bw
