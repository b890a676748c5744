// The pointer on the board, the dragged bird and the flight.
#include "BoardTestSupport.h"

#include "board/LocationLayout.h"
#include "board/PathPreview.h"

#include <algorithm>
#include <cmath>

namespace bw::test {
namespace {

using BoardInputTest = BoardTest;

// Releases that must cancel: the drag ends, the bird stays, no move is counted.
TEST_F(BoardInputTest, ReleasesOverUnreachableOrOccupiedCellsCancel) {
    Build({"1.W.x.", "......", "2.....", "......"});
    struct Case {
        const char* what;
        TCoord2 target;
    };
    for (const Case& c : {Case{"own cell", {1, 1}}, Case{"wall", {3, 1}},
                          Case{"closed gate", {5, 1}}, Case{"another bird", {1, 3}}}) {
        Drag({1, 1}, c.target);
        EXPECT_EQ(Player.LevelMoves, 0) << c.what;
        EXPECT_FALSE(SomethingDragged()) << c.what;
        EXPECT_TRUE(HasBird(1, 1)) << c.what;
        EXPECT_EQ(Bird(1, 1).FEffect, beNormal) << c.what;
    }
    // Released off the board.
    BoardPointer.Pos = CentreOf(1, 1);
    BoardPointer.ButtonDown = true;
    DragStartHandled = false;
    BoardInput();
    EXPECT_TRUE(SomethingDragged());
    BoardPointer.Pos = TPoint2{5.0f, 5.0f};
    BoardRelease();
    EXPECT_FALSE(SomethingDragged());
    EXPECT_EQ(Player.LevelMoves, 0);
}

TEST_F(BoardInputTest, ReleaseOnACellAnotherBirdIsFlyingToCancels) {
    Build({"1....2", "......"});
    StartBirdMove({{6, 1}, {5, 1}, {4, 1}}, 2);
    Drag({1, 1}, {4, 1});
    EXPECT_EQ(Player.LevelMoves, 1); // only the first move
    EXPECT_TRUE(HasBird(1, 1));
}

// A cell a cat walks to or a bonus travels to takes no release, yet birds fly across it; a
// flying bird's target blocks the way.
TEST_F(BoardInputTest, CellsActorsAreHeadedForTakeNoReleaseButCanBeCrossed) {
    Build({"1r.", "...", "..."});
    EXPECT_TRUE(IsReserved({2, 1}));
    EXPECT_EQ(FindFreeCells().size(), 7u);
    Drag({1, 1}, {2, 1});
    EXPECT_EQ(Player.LevelMoves, 0);
    Drag({1, 1}, {3, 1});
    ASSERT_EQ(Player.LevelMoves, 1);
    TMovedBirdSprite* flying = nullptr;
    for (TSprite* s : engine_->Items())
        if (auto* f = dynamic_cast<TMovedBirdSprite*>(s)) flying = f;
    ASSERT_NE(flying, nullptr);
    EXPECT_EQ(flying->FMovePath, (TCoords2Array{{1, 1}, {2, 1}, {3, 1}}));
    // While it flies, nothing else gets to its target; the actors' cells stay open.
    actors_.reserved = {{2, 3}};
    EXPECT_FALSE(FindPath(TakeBoardSnapshot(), {1, 3}, {3, 1}).PathWasFind);
    EXPECT_EQ(FindPath(TakeBoardSnapshot(), {1, 3}, {3, 3}).Path.size(), 3u);
    EXPECT_EQ(ReservedCells(), (TCoords2Array{{3, 1}, {2, 3}}));
}

// Pressing on a bonus or a key lifts it; releasing it over a cell it can reach starts its
// own move along the path.
TEST_F(BoardInputTest, BonusesAndKeysAreCarriedAlongThePathLikeBirds) {
    Build({"b..", "k..", "..."});
    Press({1, 1});
    EXPECT_TRUE(SomethingDragged());
    EXPECT_EQ(DraggedSource(), (TCoord2{1, 1}));
    EXPECT_EQ(TakeBoardSnapshot().Dragged, drag_Bonus);
    EXPECT_EQ(TakeBoardSnapshot().DraggedBonusKind, 41);
    BoardPointer.Pos = CentreOf(3, 1);
    BoardRelease();
    ASSERT_EQ(actors_.bonusMoves.size(), 1u);
    EXPECT_EQ(actors_.bonusMoves[0], (TCoords2Array{{1, 1}, {2, 1}, {3, 1}}));
    EXPECT_FALSE(SomethingDragged());
    EXPECT_EQ(actors_.liftsCancelled, 0);

    Drag({1, 2}, {3, 3});
    ASSERT_EQ(actors_.keyMoves.size(), 1u);
    EXPECT_EQ(actors_.keyMoves[0].front(), (TCoord2{1, 2}));
    EXPECT_EQ(actors_.keyMoves[0].back(), (TCoord2{3, 3}));
    EXPECT_EQ(actors_.liftsCancelled, 0);
    // A bonus or key counts its own move.
    EXPECT_EQ(Player.LevelMoves, 0);
}

// Releases that put a lifted bonus or key back where it was.
TEST_F(BoardInputTest, ReleasesThatPutABonusOrKeyBack) {
    struct Case {
        const char* what;
        std::vector<std::string> board;
        TCoord2 from, to;
    };
    const Case cases[] = {
        {"bonus on its own cell", {"b.."}, {1, 1}, {1, 1}},
        {"bonus on a bird", {"b.1"}, {1, 1}, {3, 1}},
        {"bonus on a key", {"b.k"}, {1, 1}, {3, 1}},
        {"bonus on a bonus", {"b.b"}, {1, 1}, {3, 1}},
        {"bonus on a nestling", {"b.n"}, {1, 1}, {3, 1}},
        {"bonus on a reserved cell", {"b.r"}, {1, 1}, {3, 1}},
        {"key where a cat will land", {"k.a"}, {1, 1}, {3, 1}},
        {"key on an open gate", {"k.o"}, {1, 1}, {3, 1}},
        {"key behind a wall", {"kW."}, {1, 1}, {3, 1}},
    };
    for (const Case& c : cases) {
        Build(c.board);
        Drag(c.from, c.to);
        EXPECT_TRUE(actors_.bonusMoves.empty()) << c.what;
        EXPECT_TRUE(actors_.keyMoves.empty()) << c.what;
        EXPECT_EQ(actors_.liftsCancelled, 1) << c.what;
        EXPECT_FALSE(SomethingDragged()) << c.what;
    }
}

// Only a key opens a cage, and only the hamburger is carried to the boss.
TEST_F(BoardInputTest, KeysGoToNestlingsAndTheHamburgerToTheBoss) {
    Build({"k.n", "1..", "..."});
    Drag({1, 2}, {3, 1});
    EXPECT_EQ(Player.LevelMoves, 0);
    Drag({1, 1}, {3, 1});
    ASSERT_EQ(actors_.keyMoves.size(), 1u);
    EXPECT_EQ(actors_.keyMoves[0].back(), (TCoord2{3, 1}));

    Build({"h...", "b...", "...."});
    actors_.boss = {3, 1};
    Drag({1, 2}, {4, 1});
    EXPECT_TRUE(actors_.bonusMoves.empty());
    EXPECT_EQ(actors_.liftsCancelled, 1);
    Drag({1, 1}, {4, 1});
    ASSERT_EQ(actors_.bonusMoves.size(), 1u);
    EXPECT_EQ(actors_.bonusMoves[0].back(), (TCoord2{4, 1}));
}

TEST_F(BoardInputTest, BlockedPathCancelsTheDrag) {
    Build({"1W.", "W..", "..."});
    Drag({1, 1}, {3, 3});
    EXPECT_EQ(Player.LevelMoves, 0);
    EXPECT_TRUE(HasBird(1, 1));
}

TEST_F(BoardInputTest, OneWayCellIsEnteredOnlyInItsDirection) {
    // The middle cell may only be entered moving up.
    Build({"1", "^", "."});
    Drag({1, 1}, {1, 3});
    Drag({1, 1}, {1, 2});
    EXPECT_EQ(Player.LevelMoves, 0);
    Build({".", "^", "2"});
    Drag({1, 3}, {1, 1});
    Settle();
    EXPECT_EQ(KindAt(1, 1), 2);
}

TEST_F(BoardInputTest, CrowFliesThroughAnOpenGateButIsNotReleasedOnIt) {
    Build({"co.", "   "});
    Drag({1, 1}, {2, 1});
    EXPECT_EQ(Player.LevelMoves, 0);
    Drag({1, 1}, {3, 1});
    EXPECT_EQ(Player.LevelMoves, 1);
    Settle();
    EXPECT_EQ(KindAt(3, 1), CrowKind);
}

TEST_F(BoardInputTest, LandingReplacesEggsSmallBoundedBirdsAndSmallWalls) {
    Build({"4.....", "......"});
    LayEgg(Bird(2, 1), 5);
    Drag({1, 1}, {2, 1});
    Settle();
    EXPECT_EQ(KindAt(2, 1), 4);
    EXPECT_FALSE(Bird(2, 1).FEgg);

    TBirdSprite& small = Bird(3, 1);
    small.FKind = 6;
    small.FBounded = small.FSmallBounded = true;
    small.FAnimStage = 2;
    small.FVisible = true;
    Drag({2, 1}, {3, 1});
    Settle();
    EXPECT_EQ(KindAt(3, 1), 4);
    EXPECT_FALSE(Bird(3, 1).FBounded);

    TWallSprite& wall = *BoardWalls[4][1];
    wall.FStrength = 1;
    wall.FVisible = wall.FSmall = true;
    wall.FAnimStage = 2;
    Drag({3, 1}, {4, 1});
    Settle();
    EXPECT_EQ(KindAt(4, 1), 4);
    EXPECT_FALSE(wall.FVisible);
}

TEST_F(BoardInputTest, HatchingEggCannotBeLandedOn) {
    Build({"4.....", "......"});
    LayEgg(Bird(2, 1), 5);
    StartHatching(Bird(2, 1));
    Drag({1, 1}, {2, 1});
    EXPECT_EQ(Player.LevelMoves, 0);
}

TEST_F(BoardInputTest, PointerPicksTheNearestCellWithinTheCollideBox) {
    Build({"...", "..."});
    const TPoint2 c = CentreOf(2, 1);
    EXPECT_EQ(CellAtMouse(c), (TCoord2{2, 1}));
    EXPECT_EQ(CellAtMouse(TPoint2{c.x + 37.0f, c.y}), (TCoord2{2, 1}));
    EXPECT_EQ(CellAtMouse(TPoint2{c.x + 39.5f, c.y}), (TCoord2{3, 1}));
    EXPECT_EQ(CellAtMouse(TPoint2{c.x, c.y + 31.0f}), (TCoord2{2, 2}));
    EXPECT_EQ(CellAtMouse(TPoint2{0.0f, 0.0f}), NoCell);
}

TEST_F(BoardInputTest, DraggedBirdHangsUnderThePointerAndItsLowerEdgeLags) {
    Build({"5.."});
    BoardPointer.Pos = TPoint2{500.0f, 400.0f};
    BoardPointer.ButtonDown = true;
    DragStartHandled = false;
    // The pick-up needs the pointer over the bird's cell; move the cell under it.
    BoardPointer.Pos = CentreOf(1, 1);
    BoardInput();
    ASSERT_TRUE(SomethingDragged());
    BoardPointer.Pos = TPoint2{500.0f, 400.0f};
    DragedBird->pDelta = TPoint2{438.0f, 328.0f};
    DragedBird->FTimeCounter = 0.0;
    DragedBird->RecalculateCoordinates(328.0f, 438.0f);
    EXPECT_FLOAT_EQ(DragedBird->FX1, 438.0f);
    EXPECT_FLOAT_EQ(DragedBird->FY1, 328.0f);

    // A jump of 100 to the right: 35 behind, then 4 closer per tick, then it snaps.
    std::vector<float> gaps;
    for (int i = 0; i < 9; ++i) {
        DragedBird->RecalculateCoordinates(328.0f, 538.0f);
        gaps.push_back(538.0f - DragedBird->pDelta.x);
    }
    const std::vector<float> expected{35, 31, 27, 23, 19, 15, 11, 7, 0};
    EXPECT_EQ(gaps, expected);
    EXPECT_EQ(BirdDragOffset(5).x, -62.0f);
    EXPECT_EQ(BirdDragOffset(5).y, -72.0f);
}

TEST_F(BoardInputTest, FlightSpeedGrowsWithThePathUpToTwelve) {
    EXPECT_FLOAT_EQ(FlightSpeed(1), 2.0f);
    EXPECT_FLOAT_EQ(FlightSpeed(3), 6.0f);
    EXPECT_FLOAT_EQ(FlightSpeed(6), 12.0f);
    EXPECT_FLOAT_EQ(FlightSpeed(14), 12.0f);
}

TEST_F(BoardInputTest, FlyingBirdReachesEveryCellOfItsPathAndArrivesOnce) {
    Build({"3......", ".......", "......."});
    StartBirdMove({{1, 1}, {2, 1}, {3, 1}, {3, 2}, {3, 3}}, 3);
    TMovedBirdSprite* flying = nullptr;
    for (TSprite* s : engine_->Items())
        if (auto* f = dynamic_cast<TMovedBirdSprite*>(s)) flying = f;
    ASSERT_NE(flying, nullptr);
    EXPECT_EQ(flying->FMoveDirection, md_Right);
    EXPECT_EQ(ReservedCells(), (TCoords2Array{{3, 3}}));
    int ticks = 0;
    bool turnedDown = false;
    while (!flying->FKilled && ticks < 500) {
        Tick();
        ++ticks;
        turnedDown = turnedDown || flying->FMoveDirection == md_Down;
    }
    EXPECT_TRUE(turnedDown);
    EXPECT_LT(ticks, 100);
    EXPECT_EQ(KindAt(3, 3), 3);
    EXPECT_FALSE(HasBird(1, 1));
    EXPECT_TRUE(ReservedCells().empty());
    EXPECT_EQ(Player.LevelMoves, 1);
}

TEST_F(BoardInputTest, PathPreviewFollowsTheHoveredCell) {
    Build({"1...", "...."});
    BoardPointer.Pos = CentreOf(1, 1);
    BoardPointer.ButtonDown = true;
    DragStartHandled = false;
    BoardInput();
    ASSERT_TRUE(SomethingDragged());
    BoardPointer.Pos = CentreOf(3, 1);
    HoverCell = NoCell;
    BoardInput();
    EXPECT_EQ(HoverCell, (TCoord2{3, 1}));
    UpdatePathPreview();
    EXPECT_EQ(PathPreviewCell(), (TCoord2{3, 1}));
    const std::vector<TPoint2>& points = PathPreviewPoints();
    // Each of the two steps is walked back from its later cell in steps of 5 units.
    ASSERT_EQ(points.size(), 34u);
    EXPECT_FLOAT_EQ(points.front().x, BoardCells[2][1]->FX);
    EXPECT_NEAR(points[16].x, BoardCells[1][1]->FX, 5.0f);
    EXPECT_FLOAT_EQ(points[17].x, BoardCells[3][1]->FX);
    EXPECT_NEAR(points.back().x, BoardCells[2][1]->FX, 5.0f);
    // Hovering the dragged bird's own cell shows nothing.
    HoverCell = TCoord2{1, 1};
    UpdatePathPreview();
    EXPECT_TRUE(PathPreviewPoints().empty());
}

TEST_F(BoardInputTest, PathPreviewShowsTheWayOfALiftedBonus) {
    Build({"b..b", "...."});
    Press({1, 1});
    ASSERT_TRUE(SomethingDragged());
    HoverCell = TCoord2{3, 1};
    UpdatePathPreview();
    EXPECT_EQ(PathPreviewCell(), (TCoord2{3, 1}));
    EXPECT_EQ(PathPreviewPoints().size(), 34u);
    // Another bonus stops a bonus: no way is shown to it.
    HoverCell = TCoord2{4, 1};
    UpdatePathPreview();
    EXPECT_TRUE(PathPreviewPoints().empty());
    CancelDrag();
    EXPECT_EQ(actors_.liftsCancelled, 1);
    EXPECT_FALSE(SomethingDragged());
}

TEST_F(BoardInputTest, PreviewPointsWalkEachStepUpToTheFirstPointThatDoesNotGetCloser) {
    Build({"..", ".."});
    const std::vector<TPoint2> points = PathPreviewPointsFor({{1, 1}, {2, 1}}, TPoint2{10, 20});
    // 76 units in steps of 5: 0, 5, ... 75 and 80, the first that got no closer.
    ASSERT_EQ(points.size(), 17u);
    EXPECT_FLOAT_EQ(points.front().x, BoardCells[2][1]->FX + 10.0f);
    EXPECT_FLOAT_EQ(points.front().y, BoardCells[2][1]->FY + 20.0f);
    EXPECT_NEAR(points.back().x, BoardCells[2][1]->FX + 10.0f - 80.0f, 0.01f);
}

} // namespace
} // namespace bw::test

namespace bw::test {
namespace {

TEST_F(BoardTest, WaterCellsBobAndDipWhereABirdLands) {
    LocationOptions().FKind = lockind_Water_1;
    Build({"1..", "..."});
    TLevelSprite& target = *BoardCells[3][1];
    ASSERT_TRUE(target.FFloating);
    float widest = 0.0f;
    for (int i = 0; i < 100; ++i) {
        Tick();
        widest = std::max(widest, std::fabs(target.FX - target.FStartPos.x));
        ASSERT_LE(std::fabs(target.FX - target.FStartPos.x), 1.5f);
    }
    EXPECT_GT(widest, 1.0f);
    // The bird on the cell rides along with it.
    EXPECT_FLOAT_EQ(Bird(1, 1).FX, BoardCells[1][1]->FCenter.x - BirdAnchor);
    EXPECT_FLOAT_EQ(BoardCells[1][1]->FCenter.x, BoardCells[1][1]->FX + 65.0f);

    StartBirdMove({{1, 1}, {2, 1}, {3, 1}}, 1);
    bool dipped = false;
    for (int i = 0; i < 200 && !dipped; ++i) {
        Tick();
        dipped = BoardCells[3][1]->FAnimPosOffset.y > 4.0f;
    }
    ASSERT_TRUE(dipped);
    Tick();
    EXPECT_LT(BoardCells[3][1]->FAlpha, 255);
    Tick(30);
    EXPECT_EQ(BoardCells[3][1]->FAnimPosOffset.y, 0.0f);
    EXPECT_EQ(BoardCells[3][1]->FAlpha, 255);
}

} // namespace
} // namespace bw::test
