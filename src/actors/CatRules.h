// Where cats may go: the cell tests of the cats and the searches for a walking cat's next
// cell, a jumping cat's landing cells and the cells new cats fall onto. Pure functions of a
// board snapshot; the snapshot's Reserved cells are everything that is on its way somewhere
// (flying birds, walking and jumping cats, moving bonuses and keys).
#pragma once

#include "board/BoardTypes.h"
#include "board/LevelData.h"

#include <array>

namespace bw {

// A cat could stand on the cell: it exists and is shown, and no wall, bird, egg, cat (standing
// or announced), nestling, key, bonus, boss or gate is there, and nothing is on its way to it.
bool IsCellFreeForCat(const BoardSnapshot& s, TCoord2 c);
// 4 less one for every neighbour that is missing, hidden or one-way, or holds a wall, the
// boss, a gate or a nestling.
int CountOpenNeighbours(const BoardSnapshot& s, TCoord2 c);
// A cat stands or is announced on one of the 4 (eightNeighbours false) or 8 neighbours.
bool IsCatNearby(const BoardSnapshot& s, TCoord2 c, bool eightNeighbours);

// The cell a walking cat at `c` goes to: a free neighbour whose one-way direction, if any, is
// the direction of the step, chosen at random; NoCell when there is none.
TCoord2 ChooseWalkTarget(const BoardSnapshot& s, TCoord2 c);
// Cells a jumping cat may land on, column by column: free for a cat, at least 2 open
// neighbours, no cat within the 8 neighbours and no free bird or egg beside it.
TCoords2Array FindJumpTargets(const BoardSnapshot& s);
// Cells for new cats, column by column: free for a cat, 4 open neighbours, no cat within the 8
// neighbours, and not beside a cell listed before (two new cats never stand side by side).
TCoords2Array FindRandomCatCells(const BoardSnapshot& s);

// ---- When the level's cat entries fire -----------------------------------------------------

// What the entries' conditions count, taken once per call of the spawn.
struct CatSpawnCounts {
    int Cats = 0;      // standing, announced, walking and jumping cats
    int Keys = 0;      // keys on the board and keys cats carry
    int Nestlings = 0; // caged nestlings
    int Walls = 0;     // walls of any strength
    // Bonuses of kind 41..45 (index 1..5) on the board and carried by cats; entry 0 unused.
    std::array<int, 6> Bonuses{};
};

// A fixed-position entry fires; `placed` fixed cats were placed earlier in the same call.
bool FixedCatEntryFires(const TLevelData_Cat& entry, const CatSpawnCounts& counts, int placed);
// How many copies of a random-position entry join the queue that already holds `queued`.
int RandomCatEntryCopies(const TLevelData_Cat& entry, const CatSpawnCounts& counts, int queued);

// The score for catching a cat of the kind (21..25); 0 for anything else.
int CatCatchScore(int catKind);

} // namespace bw
