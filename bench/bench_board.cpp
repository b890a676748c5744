// Path and match searches on full 16 x 16 boards.
#include "Engine/KilnSprite/SpriteEngine.h"
#include "board/BirdSprites.h"
#include "board/Board.h"
#include "board/LevelData.h"
#include "board/Location.h"
#include "board/MatchFinder.h"
#include "board/PathFinder.h"
#include "platform/Random.h"

#include <benchmark/benchmark.h>

namespace {

using namespace bw;

// A snake: every odd row is open, every even row is walled except at alternating ends.
BoardSnapshot WindingCorridor() {
    BoardSnapshot b;
    b.Dragged = drag_Bird;
    for (int x = 1; x <= 16; ++x) {
        for (int y = 1; y <= 16; ++y) {
            b.Cells[x][y] = {true, true, 0};
            if (y % 2 == 0) {
                const int gap = (y % 4 == 2) ? 16 : 1;
                if (x != gap) b.Walls[x][y] = {true, false};
            }
        }
    }
    b.Birds[1][1] = {true, 1};
    return b;
}

void BM_FindPathWindingCorridor(benchmark::State& state) {
    const BoardSnapshot board = WindingCorridor();
    for (auto _ : state) {
        TAlgPathResult r = FindPath(board, {1, 1}, {16, 15});
        benchmark::DoNotOptimize(r);
        if (!r.PathWasFind) state.SkipWithError("no path");
    }
}
BENCHMARK(BM_FindPathWindingCorridor)->Unit(benchmark::kMicrosecond);

void BM_FindPathOpenBoard(benchmark::State& state) {
    BoardSnapshot board;
    board.Dragged = drag_Bird;
    for (int x = 1; x <= 16; ++x) {
        for (int y = 1; y <= 16; ++y) board.Cells[x][y] = {true, true, 0};
    }
    board.Birds[1][1] = {true, 1};
    for (auto _ : state) {
        TAlgPathResult r = FindPath(board, {1, 1}, {16, 16});
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(BM_FindPathOpenBoard)->Unit(benchmark::kMicrosecond);

// Every cell full: birds in a pattern with many groups, a few cats and bonuses.
BoardSnapshot FullBoard() {
    BoardSnapshot b;
    for (int x = 1; x <= 16; ++x) {
        for (int y = 1; y <= 16; ++y) {
            b.Cells[x][y] = {true, true, 0};
            b.Birds[x][y] = {true, ((x / 2) + (y / 3)) % 6 + 1};
        }
    }
    for (int i = 2; i <= 14; i += 4) {
        b.Birds[i][i] = {};
        b.Cats[i][i] = {true, 22};
        b.Birds[i + 1][17 - i] = {};
        b.Bonuses[i + 1][17 - i] = {true, 41 + i % 4, 0};
    }
    return b;
}

void BM_FindMatchesFullBoard(benchmark::State& state) {
    const BoardSnapshot board = FullBoard();
    size_t groups = 0;
    for (auto _ : state) {
        TMatchResult r = FindMatches(board);
        groups = r.BirdsGroups.size();
        benchmark::DoNotOptimize(r);
    }
    state.counters["groups"] = static_cast<double>(groups);
}
BENCHMARK(BM_FindMatchesFullBoard)->Unit(benchmark::kMicrosecond);

// What an arrival costs on a full 16 x 16 board of sprites: the board is read into a snapshot
// and searched for groups, and the free cells are listed for the eggs.
void BM_ArrivalChecksOnBuiltBoard(benchmark::State& state) {
    RandomSeed(3);
    TSpriteEngine engine;
    SetBoardParent(&engine);
    TLocationOptions& o = LocationOptions();
    o.FMapSize = TCoord2{16, 16};
    o.FMapElementsSize = TCoord2{64, 56};
    o.FMapElementsAnimCount = 4;
    o.FMapCentres.assign(8, TPoint2{32.0f, 16.0f});
    o.FWallsImage = "walls.image";
    ClearLevelData(CurrentLevel);
    for (int x = 1; x <= 16; ++x) {
        for (int y = 1; y <= 16; ++y) {
            CurrentLevel.Map[x][y] = 1;
            CurrentLevel.Birds[x][y] = (x + y) % 7 == 0 ? 0 : ((x / 2) + (y / 3)) % 6 + 1;
        }
    }
    BuildBoard();
    size_t free = 0;
    for (auto _ : state) {
        TMatchResult r = FindMatches(TakeBoardSnapshot());
        free = FindFreeCells().size();
        benchmark::DoNotOptimize(r);
    }
    state.counters["free"] = static_cast<double>(free);
    UnloadBoard();
    engine.Dead();
    SetBoardParent(nullptr);
}
BENCHMARK(BM_ArrivalChecksOnBuiltBoard)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
