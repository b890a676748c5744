#include "actors/CatRules.h"

namespace bw {

namespace {

// The eight neighbours: the four directions, then the diagonals.
constexpr std::array<TCoord2, 8> EightOffsets{
    {{0, -1}, {1, 0}, {0, 1}, {-1, 0}, {-1, -1}, {1, -1}, {1, 1}, {-1, 1}}};

bool CatOrAnnounced(const BoardSnapshot& s, TCoord2 c) {
    if (!InGrid(c)) return false;
    const CatState& cat = s.Cats[c.x][c.y];
    return cat.Visible || cat.NewShadow;
}

bool FreeBirdOrEgg(const BoardSnapshot& s, TCoord2 c) {
    if (!InGrid(c)) return false;
    const BirdState& bird = s.Birds[c.x][c.y];
    return (bird.Visible && !bird.Bounded) || bird.Egg;
}

int CountConditionBonus(const std::string& name) {
    if (name == "cond_bombs_less_then") return 1;
    if (name == "cond_fireworks_less_then") return 2;
    if (name == "cond_chainlightnings_less_then") return 3;
    if (name == "cond_paints_less_then") return 4;
    if (name == "cond_hamburgers_less_then") return 5;
    return 0;
}

bool WallsWithoutBombs(const CatSpawnCounts& counts) {
    return counts.Walls >= 1 && counts.Bonuses[1] <= 0;
}

} // namespace

bool IsCellFreeForCat(const BoardSnapshot& s, TCoord2 c) {
    if (!IsPlayableCell(c)) return false;
    const CellState& cell = s.Cells[c.x][c.y];
    if (!cell.Exists || !cell.Visible) return false;
    if (s.Walls[c.x][c.y].Visible) return false;
    const BirdState& bird = s.Birds[c.x][c.y];
    if (bird.Visible || bird.Egg) return false;
    if (CatOrAnnounced(s, c)) return false;
    if (s.Nestlings[c.x][c.y] || s.Keys[c.x][c.y] || s.Bonuses[c.x][c.y].Visible) return false;
    if (s.IsReserved(c)) return false;
    return !s.IsBossAt(c) && !s.Gates[c.x][c.y].Visible;
}

int CountOpenNeighbours(const BoardSnapshot& s, TCoord2 c) {
    int open = 4;
    for (int d = FirstDirection; d <= LastDirection; ++d) {
        const TCoord2 n = Neighbour(c, d);
        if (!InGrid(n)) {
            --open;
            continue;
        }
        const CellState& cell = s.Cells[n.x][n.y];
        const bool closed = !cell.Exists || !cell.Visible || cell.Arrow > 0 ||
                            s.Walls[n.x][n.y].Visible || s.IsBossAt(n) ||
                            s.Gates[n.x][n.y].Visible || s.Nestlings[n.x][n.y];
        if (closed) --open;
    }
    return open;
}

bool IsCatNearby(const BoardSnapshot& s, TCoord2 c, bool eightNeighbours) {
    const size_t count = eightNeighbours ? 8 : 4;
    for (size_t i = 0; i < count; ++i)
        if (CatOrAnnounced(s, TCoord2{c.x + EightOffsets[i].x, c.y + EightOffsets[i].y}))
            return true;
    return false;
}

TCoord2 ChooseWalkTarget(const BoardSnapshot& s, TCoord2 c) {
    TCoords2Array candidates;
    for (int d = FirstDirection; d <= LastDirection; ++d) {
        const TCoord2 n = Neighbour(c, d);
        if (!IsCellFreeForCat(s, n)) continue;
        const int arrow = s.Cells[n.x][n.y].Arrow;
        if (arrow != 0 && arrow != d) continue;
        candidates.push_back(n);
        ShuffleCoords(candidates);
    }
    return candidates.empty() ? NoCell : candidates.back();
}

TCoords2Array FindJumpTargets(const BoardSnapshot& s) {
    TCoords2Array targets;
    for (int x = FirstPlayableCell; x <= LastPlayableCell; ++x) {
        for (int y = FirstPlayableCell; y <= LastPlayableCell; ++y) {
            const TCoord2 c{x, y};
            if (!IsCellFreeForCat(s, c) || CountOpenNeighbours(s, c) < 2) continue;
            if (IsCatNearby(s, c, true)) continue;
            bool birdBeside = false;
            for (int d = FirstDirection; d <= LastDirection; ++d)
                birdBeside = birdBeside || FreeBirdOrEgg(s, Neighbour(c, d));
            if (!birdBeside) targets.push_back(c);
        }
    }
    return targets;
}

TCoords2Array FindRandomCatCells(const BoardSnapshot& s) {
    TCoords2Array cells;
    BoardGrid<bool> taken{};
    for (int x = FirstPlayableCell; x <= LastPlayableCell; ++x) {
        for (int y = FirstPlayableCell; y <= LastPlayableCell; ++y) {
            const TCoord2 c{x, y};
            if (taken[x][y] || !IsCellFreeForCat(s, c)) continue;
            if (CountOpenNeighbours(s, c) != 4 || IsCatNearby(s, c, true)) continue;
            cells.push_back(c);
            for (int d = FirstDirection; d <= LastDirection; ++d) {
                const TCoord2 n = Neighbour(c, d);
                taken[n.x][n.y] = true;
            }
        }
    }
    return cells;
}

bool FixedCatEntryFires(const TLevelData_Cat& entry, const CatSpawnCounts& counts, int placed) {
    const std::string& name = entry.Cond_name;
    if (name == "cond_less_then") return counts.Cats + placed < entry.Cond_value;
    if (name == "cond_nestlings_less_then_keys")
        return counts.Keys < counts.Nestlings && counts.Keys < entry.Cond_value;
    if (name == "cond_wall_and_bombs_less_then") return WallsWithoutBombs(counts);
    if (const int bonus = CountConditionBonus(name); bonus > 0)
        return counts.Bonuses[static_cast<size_t>(bonus)] <= entry.Cond_value;
    return false;
}

int RandomCatEntryCopies(const TLevelData_Cat& entry, const CatSpawnCounts& counts, int queued) {
    const std::string& name = entry.Cond_name;
    if (name == "cond_less_then") return counts.Cats + queued < entry.Cond_value ? entry.Count : 0;
    if (name == "cond_nestlings_less_then_keys") {
        const int keys = counts.Keys + queued;
        return keys < counts.Nestlings && keys < entry.Cond_value ? entry.Count : 0;
    }
    if (name == "cond_wall_and_bombs_less_then") return WallsWithoutBombs(counts) ? 1 : 0;
    if (const int bonus = CountConditionBonus(name); bonus > 0)
        return counts.Bonuses[static_cast<size_t>(bonus)] <= entry.Cond_value ? 1 : 0;
    return 0;
}

int CatCatchScore(int catKind) {
    switch (catKind) {
    case 21:
        return 195;
    case 22:
        return 70;
    case 23:
        return 135;
    case 24:
        return 80;
    case 25:
        return 90;
    default:
        return 0;
    }
}

} // namespace bw
