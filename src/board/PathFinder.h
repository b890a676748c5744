// The path search: a breadth-first wave over the board with four-way moves and one-way cells,
// traced back from the target so that the path turns as late as possible.
#pragma once

#include "board/BoardTypes.h"

namespace bw {

struct TAlgPathResult {
    bool PathWasFind = false;
    TCoords2Array Path; // from the start cell to the target cell, both included
};

// Values of the obstacle grid.
inline constexpr int PathCellFree = -1;
inline constexpr int PathCellBlocked = 777;
inline constexpr int PathCellTarget = -999;
inline constexpr int PathStartWave = 0;
// A one-way cell entered moving in direction d holds PathOneWayBase - d; the target, when it is
// a one-way cell, holds PathOneWayTargetBase - d.
inline constexpr int PathOneWayBase = -1000;
inline constexpr int PathOneWayTargetBase = -1100;

// The wave gives up after this many steps.
inline constexpr int PathMaxWaves = 290;

using PathGrid = BoardGrid<int>;

// The obstacle grid for a search from start to target for whatever the snapshot says is
// dragged. Both cells must lie inside the 18 x 18 grid.
PathGrid BuildObstacleGrid(const BoardSnapshot& board, TCoord2 start, TCoord2 target);

// The path along which the dragged object flies from start to target. Not found when either
// cell is not playable, when start and target are the same cell, when the target does not
// accept the dragged object, or when no route within PathMaxWaves steps exists. A path
// enters every one-way cell, the target included, only in that cell's own direction.
TAlgPathResult FindPath(const BoardSnapshot& board, TCoord2 start, TCoord2 target);

} // namespace bw
