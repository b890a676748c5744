// Moves, matches and the end of turn, played on small boards.
#include "BoardTestSupport.h"

#include "audio/FakeSoundDevice.h"
#include "audio/SoundEngine.h"
#include "base/GameOptions.h"
#include "board/BoardDump.h"
#include "data/KilnArchive.h"
#include "data/XmlLoad.h"
#include "data/XmlParser.h"
#include "support/TempFolder.h"

namespace bw::test {
namespace {

using BoardTurnTest = BoardTest;

TEST_F(BoardTurnTest, LineOfThreeIsRemovedScoredAndLaysNoEggs) {
    Build({"........", "........", "........", ".22.....", "........", "...2....", "........",
           ".......5"},
          2);
    Drag({4, 6}, {4, 4});
    EXPECT_EQ(Player.LevelMoves, 1);
    auto* flying = [&]() -> TMovedBirdSprite* {
        for (TSprite* s : engine_->Items())
            if (auto* f = dynamic_cast<TMovedBirdSprite*>(s)) return f;
        return nullptr;
    }();
    ASSERT_NE(flying, nullptr);
    EXPECT_FLOAT_EQ(flying->FSpeed, 4.0f); // a three-cell path: two steps
    Settle();
    EXPECT_FALSE(HasBird(2, 4));
    EXPECT_FALSE(HasBird(3, 4));
    EXPECT_FALSE(HasBird(4, 4));
    EXPECT_EQ(Player.LevelScore, 45);
    EXPECT_EQ(Player.LevelBirdsMatched[2], 3);
    EXPECT_EQ(Player.LevelBirdsAnyCombo, 1);
    EXPECT_EQ(Player.MaxCombo, 1);
    EXPECT_EQ(Player.LevelBirdsCombos.Color, 2);
    EXPECT_EQ(EggCount(), 0);
}

TEST_F(BoardTurnTest, MoveWithoutMatchLaysEggsAndTheNextOneHatchesThem) {
    Build({"1.....", "......", "......", "......", "......", ".....2"}, 2);
    Drag({1, 1}, {3, 1});
    Settle();
    EXPECT_EQ(EggCount(), 2);
    EXPECT_EQ(Player.LevelBirdsGenerated, 0);
    // No egg on a cell of a bird or on the target that was reserved.
    EXPECT_FALSE(Bird(3, 1).FEgg);
    EXPECT_FALSE(Bird(6, 6).FEgg);

    Drag({3, 1}, {3, 3});
    Settle();
    EXPECT_EQ(Player.LevelBirdsGenerated, 2);
    int birds = 0;
    for (int x = 1; x <= 6; ++x)
        for (int y = 1; y <= 6; ++y) birds += HasBird(x, y) && !Bird(x, y).FEgg ? 1 : 0;
    // Two birds of the start plus two hatched (unless a hatched one made a group).
    EXPECT_GE(birds + Player.LevelBirdsMatched[1] + Player.LevelBirdsMatched[2], 4);
    EXPECT_EQ(EggCount(), 2);
    EXPECT_EQ(Player.LevelMoves, 2);
}

TEST_F(BoardTurnTest, HatchedBirdCompletesALineWithoutAMove) {
    Build({"......", "11....", "......", "......"});
    LayEgg(Bird(3, 2), 1);
    Tick(40); // the egg grows
    FinishTurn();
    Settle();
    EXPECT_FALSE(HasBird(1, 2));
    EXPECT_FALSE(HasBird(3, 2));
    EXPECT_EQ(Player.LevelScore, 45);
    EXPECT_EQ(Player.LevelBirdsAnyCombo, 0);
    EXPECT_EQ(Player.LevelMoves, 0);
    EXPECT_EQ(Player.LevelBirdsGenerated, 1);
}

TEST_F(BoardTurnTest, BoundedBirdInAGroupIsFreedNotRemoved) {
    Build({".33C..", "......", "3.....", "......"});
    Drag({1, 3}, {1, 1});
    Settle();
    EXPECT_FALSE(HasBird(2, 1));
    EXPECT_FALSE(HasBird(3, 1));
    EXPECT_FALSE(HasBird(1, 1));
    ASSERT_TRUE(HasBird(4, 1));
    EXPECT_FALSE(Bird(4, 1).FBounded);
    EXPECT_EQ(Player.BirdsUnbounded, 1);
    EXPECT_EQ(Player.LevelScore, 75);
    EXPECT_EQ(Player.LevelBirdsMatched[3], 3);
}

TEST_F(BoardTurnTest, CrowsNeverMatchButCanBeMoved) {
    Build({"cc....", "......", "..c...", "......"}, 0);
    Drag({3, 3}, {3, 1});
    Settle();
    EXPECT_TRUE(HasBird(1, 1));
    EXPECT_TRUE(HasBird(2, 1));
    EXPECT_TRUE(HasBird(3, 1));
    EXPECT_EQ(Player.LevelMoves, 1);
    EXPECT_EQ(Player.LevelScore, 0);
}

TEST_F(BoardTurnTest, CombosCountConsecutiveMatchingMovesUntilEggsAreLaid) {
    Build({"11.1..", "......", "22.2..", "......", "4.....", "......"}, 1);
    Drag({4, 1}, {3, 1});
    Settle();
    Drag({4, 3}, {3, 3});
    Settle();
    EXPECT_EQ(Player.LevelBirdsAnyCombo, 2);
    EXPECT_EQ(Player.MaxCombo, 2);
    Drag({1, 5}, {1, 6});
    Settle();
    EXPECT_EQ(Player.LevelBirdsAnyCombo, 0);
    EXPECT_EQ(Player.MaxCombo, 2);
}

TEST_F(BoardTurnTest, FewFreeCellsTakeWhatFitsAndAFullBoardLosesTheLevel) {
    Build({"1.23", "4561", "23.4"}, 8);
    // Free after the move: the source cell and (3, 3). Two cells for eight eggs.
    Drag({1, 1}, {2, 1});
    Settle();
    EXPECT_EQ(EggCount(), 2);
    EXPECT_TRUE(BoardLost);
    EXPECT_TRUE(host_.lostShown > 0);
    // The lost board takes no more input.
    BoardPointer.Pos = CentreOf(2, 1);
    BoardPointer.ButtonDown = true;
    DragStartHandled = false;
    BoardInput();
    EXPECT_FALSE(SomethingDragged());
}

TEST_F(BoardTurnTest, FreeCellsSkipArrowsGatesWallsAndReservedCells) {
    Build({".>ox", "W.1."});
    const TCoords2Array free = FindFreeCells();
    const TCoords2Array expected{{1, 1}, {2, 2}, {4, 2}};
    EXPECT_EQ(free, expected);
    EXPECT_FALSE(IsBoardFull());
}

TEST_F(BoardTurnTest, ReservedCellsHatchNoEggAndGrowNoWall) {
    Build({"r.", "r."});
    LayEgg(Bird(1, 1), 3);
    BoardWalls[1][2]->FStrength = 1;
    BoardWalls[1][2]->FVisible = BoardWalls[1][2]->FSmall = true;
    BoardWalls[1][2]->FAnimStage = 2;
    HatchEggs();
    GrowWalls();
    EXPECT_EQ(Bird(1, 1).FEggSprite->FAnimStage, 1);
    EXPECT_TRUE(BoardWalls[1][2]->FSmall);
    EXPECT_EQ(FindFreeCells(), (TCoords2Array{{2, 1}, {2, 2}}));
}

// Once the mission is accomplished, a full board no longer loses the level, and the first
// outcome is the only one.
TEST_F(BoardTurnTest, DecidedWinIsNeverTurnedIntoALoss) {
    Build({"1.23", "4561", "23.4"}, 8);
    LevelFinished = true; // the last nestling left its cage
    Drag({1, 1}, {2, 1});
    Settle();
    EXPECT_TRUE(IsBoardFull());
    EXPECT_FALSE(BoardLost);
    EXPECT_EQ(host_.lostShown, 0);
    ASSERT_TRUE(ArmResultDelay());
    EXPECT_TRUE(ResultDelayActive);
    EXPECT_FLOAT_EQ(ResultDelay, 5.0f);
    LevelFinished = false;
    LayEggs(8);
    EXPECT_EQ(host_.lostShown, 0);
    EXPECT_FALSE(ArmResultDelay()); // no second result
}

TEST_F(BoardTurnTest, LostBoardStaysLost) {
    Build({"1.23", "4561", "23.4"}, 8);
    Drag({1, 1}, {2, 1});
    Settle();
    ASSERT_TRUE(BoardLost);
    LevelFinished = true; // a nestling freed by a key still under way
    EXPECT_FALSE(ArmResultDelay());
    EXPECT_FALSE(ResultDelayActive);
    EXPECT_EQ(host_.lostShown, 1);
}

TEST_F(BoardTurnTest, EveryStartOfALevelIsUndecided) {
    const TLevelsList savedList = LevelsList;
    const BoardRecordSources savedSources = BoardSources();
    // Two small levels (one cell each: a level without cells does not start) in an archive;
    // the board is built without a location.
    testing::TempFolder folder;
    const std::string path = folder.File("levels.dan");
    for (const char* key : {"small_a.xml", "small_b.xml"})
        ASSERT_TRUE(XMLFromText("<level><settings><Mission name=\"mission_nil\"/></settings>"
                                "<map><m1 Value=\"0,1\"/></map></level>")
                        ->SaveToArchive(key, path));
    TKilnArchive levels;
    levels.SetOpenMode(aomReadOnly);
    ASSERT_TRUE(levels.OpenFile(path));
    BoardSources() = BoardRecordSources{nullptr, &levels};
    SetBoardParent(nullptr);
    LevelsList = {TLevelListElement{1, "small_a", {}}, TLevelListElement{1, "small_b", {}}};
    const TPlayer savedPlayer = Player;
    Player.FileName.clear(); // no profile to save
    const auto decide = [] {
        LevelFinished = true;
        ResultDelayActive = true;
        ResultDelay = 3.0f;
    };
    const auto undecided = [] {
        return !LevelFinished && !ResultDelayActive && ResultDelay == 0.0f;
    };
    decide();
    EXPECT_TRUE(StartLevel(0));
    EXPECT_TRUE(undecided());
    decide();
    EXPECT_TRUE(RestartLevel());
    EXPECT_TRUE(undecided());
    decide();
    EXPECT_TRUE(NextLevel());
    EXPECT_EQ(Player.Level, 1);
    EXPECT_TRUE(undecided());
    // A level that cannot be built changes nothing, the decision included.
    LevelsList[0].FileName = "no_such_level";
    decide();
    EXPECT_FALSE(StartLevel(0));
    EXPECT_TRUE(LevelFinished);
    EXPECT_EQ(Player.Level, 1);
    LevelFinished = ResultDelayActive = false;
    ResultDelay = 0;
    SetBoardParent(engine_.get());
    LevelsList = savedList;
    BoardSources() = savedSources;
    Player = savedPlayer;
}

TEST_F(BoardTurnTest, CrowsCheckForAFullBoardEvenWhenTheyPlaceNothing) {
    Build({"12", "34"});
    CurrentLevel.Crows = {100, 1, 1};
    GenerateCrows();
    EXPECT_EQ(EggCount(), 0);
    EXPECT_TRUE(BoardLost);
    EXPECT_EQ(host_.lostShown, 1);
}

TEST_F(BoardTurnTest, BoardWhoseOnlyFreeCellsHaveGatesIsFull) {
    Build({"12o", "34x"});
    EXPECT_TRUE(IsBoardFull());
}

TEST_F(BoardTurnTest, EmptiedBoardIsRefilledWhenTheLastBirdLeaves) {
    Build({"11.1", "....", "...."}, 3);
    Drag({4, 1}, {3, 1});
    Settle();
    // The match removed every bird: the turn ends by itself and lays eggs.
    EXPECT_EQ(Player.LevelMoves, 1);
    EXPECT_GT(EggCount(), 0);
}

TEST_F(BoardTurnTest, GateWithCounterOneTogglesAtTheFirstEndOfTurnAndRemovesTheBird) {
    Build({"2o...", ".....", "....1"});
    // Fly a bird onto the open gate, then make a move elsewhere: the gate closes on it.
    Drag({1, 1}, {2, 1});
    Settle();
    // That move itself ended the turn: the gate closed on the arriving bird and scored it.
    const TGateSprite& gate = *BoardGates[2][1];
    EXPECT_FALSE(gate.FOpened);
    EXPECT_EQ(gate.FProgress, 1);
    EXPECT_FALSE(HasBird(2, 1));
    EXPECT_EQ(Player.LevelScore, 15);
    EXPECT_EQ(Player.LevelBirdsMatched[2], 1);
    Drag({5, 3}, {4, 3});
    Settle();
    EXPECT_TRUE(BoardGates[2][1]->FOpened);
}

TEST_F(BoardTurnTest, ClosingGateFreesABoundedBirdBeforeRemovingIt) {
    Build({"......", "......"});
    // A bounded bird standing on a gate cell that is about to close.
    CurrentLevel.Map[3][1] = 31;
    UnloadBoard();
    CurrentLevel.Birds[3][1] = 14;
    BuildBoard();
    DragedBird = new TDragedBird(engine_.get());
    AdvanceGates();
    EXPECT_FALSE(HasBird(3, 1));
    EXPECT_EQ(Player.BirdsUnbounded, 1);
    EXPECT_EQ(Player.LevelScore, 45); // 30 for freeing it, 15 for removing it
}

TEST_F(BoardTurnTest, WallsAndBoundedBirdsGrowFromSmallAtTheNextTurn) {
    Build({"......", "......", "......"});
    CurrentLevel.BoundedBirds = {100, 1, 1};
    CurrentLevel.Walls_1 = {100, 1, 1};
    GenerateBoundedBirds();
    GenerateWalls();
    TBirdSprite* small = nullptr;
    TWallSprite* wall = nullptr;
    for (int x = 1; x <= 6; ++x)
        for (int y = 1; y <= 3; ++y) {
            if (Bird(x, y).FVisible && Bird(x, y).FSmallBounded) small = &Bird(x, y);
            if (BoardWalls[x][y]->FVisible) wall = BoardWalls[x][y];
        }
    ASSERT_NE(small, nullptr);
    ASSERT_NE(wall, nullptr);
    EXPECT_TRUE(wall->FSmall);
    Tick(40);
    EXPECT_FLOAT_EQ(small->FScaleX, 0.5f);
    // The ceilings hold: nothing more appears.
    GenerateBoundedBirds();
    GenerateWalls();
    HatchEggs();
    GrowWalls();
    EXPECT_EQ(small->FAnimStage, 3);
    EXPECT_FALSE(wall->FSmall);
    Tick(40);
    EXPECT_FALSE(small->FSmallBounded);
    EXPECT_FLOAT_EQ(small->FScaleX, 1.0f);
    EXPECT_EQ(Player.LevelBirdsGenerated, 1);
}

TEST_F(BoardTurnTest, HitWallWeakensAndBreaksWalls) {
    Build({"VW.."});
    HitWall({1, 1});
    EXPECT_EQ(BoardWalls[1][1]->FStrength, 1);
    EXPECT_TRUE(BoardWalls[1][1]->FVisible);
    EXPECT_EQ(Player.LevelScore, 35);
    HitWall({1, 1});
    HitWall({2, 1});
    EXPECT_FALSE(BoardWalls[1][1]->FVisible);
    EXPECT_FALSE(BoardWalls[2][1]->FVisible);
    EXPECT_EQ(Player.WallsDestroyed, 2);
    EXPECT_EQ(Player.LevelScore, 35 + 70 + 70);
}

TEST_F(BoardTurnTest, NothingMatchesWhileTheResultIsShown) {
    host_.resultShown = true;
    Build({"22.2"});
    StartBirdMove({{4, 1}, {3, 1}}, 2);
    Settle();
    EXPECT_TRUE(HasBird(1, 1));
    EXPECT_TRUE(HasBird(3, 1));
    EXPECT_EQ(Player.LevelScore, 0);
}

TEST_F(BoardTurnTest, WeightedKindsFollowTheLevelWeights) {
    Build({"...."});
    CurrentLevel.Kinds = {};
    CurrentLevel.Kinds[3] = 5;
    for (int i = 0; i < 50; ++i) EXPECT_EQ(WeightedRandomKind(), 3);
    CurrentLevel.Kinds = {};
    for (int i = 0; i < 50; ++i) {
        const int k = WeightedRandomKind();
        EXPECT_GE(k, 1);
        EXPECT_LE(k, 6);
    }
}

TEST_F(BoardTurnTest, RandomStartBirdsAvoidTheirNeighboursAndNeverTakeKindsWithoutPictures) {
    SetTestLevel({"1.2", "..."});
    CurrentLevel.Kinds = {};
    CurrentLevel.Kinds[1] = 1;
    CurrentLevel.Kinds[2] = 1;
    CurrentLevel.Kinds[3] = 1;
    CurrentLevel.Kinds[7] = 10;
    CurrentLevel.Kinds[8] = 10;
    for (int i = 0; i < 30; ++i) EXPECT_EQ(StartRandomKind(2, 1), 3);
    CurrentLevel.Kinds = {};
    CurrentLevel.Kinds[7] = 1;
    for (int i = 0; i < 30; ++i) {
        const int k = StartRandomKind(2, 2);
        EXPECT_GE(k, 1);
        EXPECT_LE(k, 6);
    }
}

TEST_F(BoardTurnTest, DumpListsCellsBirdsWallsAndGates) {
    Build({"1W", "ox"});
    const std::string json = BoardStateJson();
    EXPECT_NE(json.find("\"x\": 1, \"y\": 1, \"map\": 1, \"bird\": {\"kind\": 1"),
              std::string::npos)
        << json;
    EXPECT_NE(json.find("\"wall\": {\"strength\": 1, \"small\": false}"), std::string::npos);
    EXPECT_NE(json.find("\"gate\": {\"opened\": true, \"counter\": 1"), std::string::npos);
    EXPECT_NE(json.find("\"gate\": {\"opened\": false, \"counter\": 1"), std::string::npos);
    UnloadBoard();
    EXPECT_EQ(BoardStateJson(), "null");
}

// The board with the sound engine on a device that only keeps books.
class BoardSoundTest : public BoardTest {
protected:
    void SetUp() override {
        BoardTest::SetUp();
        savedOptions_ = GameOptions;
        GameOptions.SoundsOff = false;
        SetSoundDeviceOpener([] { return std::make_unique<FakeSoundDevice>(); });
        SetSoundSource([](SoundKind, const std::string&, std::vector<uint8_t>& bytes) {
            bytes = {'O', 10};
            return true;
        });
        LoadAllSounds();
    }
    void TearDown() override {
        ShutdownSound();
        SetSoundDeviceOpener({});
        SetSoundSource({});
        GameOptions = savedOptions_;
        BoardTest::TearDown();
    }
    static bool FlightLoopPlaying() { return SfxPlaying(SfxIndex("sfx_bird_move.ogg")); }

    TGameOptions savedOptions_;
};

TEST_F(BoardSoundTest, FlightLoopPlaysUntilTheLastBirdInTheAirLands) {
    Build({"1..........", "...........", "2.........."});
    StartBirdMove({{1, 1}, {2, 1}}, 1);
    TCoords2Array longWay;
    for (int x = 1; x <= 11; ++x) longWay.push_back({x, 3});
    StartBirdMove(longWay, 2);
    ASSERT_TRUE(FlightLoopPlaying());
    for (int i = 0; i < 300 && !HasBird(2, 1); ++i) Tick();
    ASSERT_TRUE(HasBird(2, 1));
    ASSERT_FALSE(HasBird(11, 3));
    EXPECT_TRUE(FlightLoopPlaying()); // the other bird is still in the air
    Settle();
    EXPECT_EQ(KindAt(11, 3), 2);
    EXPECT_FALSE(FlightLoopPlaying());
}

} // namespace
} // namespace bw::test
