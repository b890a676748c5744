#include "board/PathFinder.h"

#include <algorithm>

namespace bw {

namespace {

int& At(PathGrid& grid, TCoord2 c) {
    return grid[c.x][c.y];
}

// 1 <-> 3, 2 <-> 4.
int Opposite(int direction) {
    return (direction + 1) % 4 + 1;
}

// The one-way direction of a grid value, 0 when the value is no one-way code.
int OneWayOf(int value) {
    for (int d = FirstDirection; d <= LastDirection; ++d) {
        if (value == PathOneWayBase - d || value == PathOneWayTargetBase - d) return d;
    }
    return 0;
}

bool TargetAccepts(const BoardSnapshot& board, TCoord2 t, int value) {
    if (value == PathCellFree) return true;
    if (board.Dragged == drag_Bonus && board.DraggedBonusKind == HamburgerBonusKind &&
        board.IsBossAt(t))
        return true;
    if (board.Dragged == drag_Key && board.Nestlings[t.x][t.y]) return true;
    return false;
}

} // namespace

PathGrid BuildObstacleGrid(const BoardSnapshot& board, TCoord2 start, TCoord2 target) {
    PathGrid grid;
    for (int x = 0; x < BoardGridSize; ++x) {
        for (int y = 0; y < BoardGridSize; ++y) {
            if (!IsPlayableCell(x, y)) {
                grid[x][y] = PathCellBlocked;
                continue;
            }
            int v = PathCellFree;
            const CellState& cell = board.Cells[x][y];
            if (!cell.Exists || !cell.Visible)
                v = PathCellBlocked;
            else if (cell.Arrow >= FirstDirection && cell.Arrow <= LastDirection)
                v = PathOneWayBase - cell.Arrow;
            const BirdState& bird = board.Birds[x][y];
            if (bird.Visible && !bird.SmallBounded) v = PathCellBlocked;
            if (board.Cats[x][y].Visible) v = PathCellBlocked;
            if (board.Nestlings[x][y]) v = PathCellBlocked;
            const BonusState& bonus = board.Bonuses[x][y];
            if (bonus.Visible && bonus.BonusStatus == 0) v = PathCellBlocked;
            const WallState& wall = board.Walls[x][y];
            if (wall.Visible && !wall.Small) v = PathCellBlocked;
            const GateState& gate = board.Gates[x][y];
            if (gate.Visible && !gate.Opened && !gate.Animating) v = PathCellBlocked;
            // Keys never block: a bird may fly over a key.
            grid[x][y] = v;
        }
    }
    if (board.BossOnBoard) {
        for (TCoord2 c : {board.BossPos, TCoord2{board.BossPos.x + 1, board.BossPos.y}}) {
            if (IsPlayableCell(c)) At(grid, c) = PathCellBlocked;
        }
    }
    for (TCoord2 c : board.FlyingBirdTargets) {
        if (IsPlayableCell(c)) At(grid, c) = PathCellBlocked;
    }

    int& t = At(grid, target);
    if (const int d = OneWayOf(t); d != 0)
        t = PathOneWayTargetBase - d;
    else if (TargetAccepts(board, target, t))
        t = PathCellTarget;

    At(grid, start) = PathStartWave;
    return grid;
}

TAlgPathResult FindPath(const BoardSnapshot& board, TCoord2 start, TCoord2 target) {
    TAlgPathResult result;
    if (!IsPlayableCell(start) || !IsPlayableCell(target)) return result;

    PathGrid grid = BuildObstacleGrid(board, start, target);
    // The direction in which each one-way cell must be entered, kept apart because the wave
    // overwrites the codes with its numbers.
    BoardGrid<int> oneWay{};
    for (int x = 0; x < BoardGridSize; ++x) {
        for (int y = 0; y < BoardGridSize; ++y) oneWay[x][y] = OneWayOf(grid[x][y]);
    }

    TCoords2Array frontier{start};
    TCoords2Array next;
    int wave = 1;
    int waves = 0;
    bool reached = false;
    while (!reached) {
        // An empty frontier can never reach the target: stop at once instead of idling
        // until the wave limit.
        if (waves > PathMaxWaves || frontier.empty()) return result;
        ++waves;
        next.clear();
        for (auto it = frontier.rbegin(); it != frontier.rend() && !reached; ++it) {
            for (int d = FirstDirection; d <= LastDirection; ++d) {
                const TCoord2 n = Neighbour(*it, d);
                int& v = At(grid, n);
                if (v == PathCellFree || v == PathOneWayBase - d) {
                    v = wave;
                    next.push_back(n);
                } else if (v == PathCellTarget || v == PathOneWayTargetBase - d) {
                    reached = true;
                    break;
                }
            }
        }
        if (reached) break;
        ++wave;
        std::swap(frontier, next);
    }

    // Back from the target along falling wave numbers, keeping the direction as long as
    // possible. A step into a one-way cell is taken only from the side that cell allows: two
    // neighbours may carry the same number while only one of them could enter the cell.
    TCoords2Array path{target};
    TCoord2 current = target;
    int counter = wave;
    int preferred = FirstDirection;
    auto canStep = [&](int d) {
        const TCoord2 n = Neighbour(current, d);
        if (!IsPlayableCell(n) || counter == 0 || At(grid, n) != counter - 1) return false;
        const int entry = oneWay[current.x][current.y];
        return entry == 0 || Opposite(d) == entry;
    };
    while (At(grid, current) != PathStartWave) {
        int step = 0;
        if (canStep(preferred)) {
            step = preferred;
        } else {
            for (int d = FirstDirection; d <= LastDirection && step == 0; ++d) {
                if (d != preferred && canStep(d)) step = d;
            }
        }
        if (step == 0) return result; // cannot happen: every numbered cell has a predecessor
        preferred = step;
        --counter;
        current = Neighbour(current, step);
        path.push_back(current);
    }

    std::reverse(path.begin(), path.end());
    result.Path = std::move(path);
    result.PathWasFind = true;
    return result;
}

} // namespace bw
