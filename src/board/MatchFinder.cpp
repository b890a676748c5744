#include "board/MatchFinder.h"

#include <algorithm>

namespace bw {

namespace {

int& At(MatchGridArray& grid, TCoord2 c) {
    return grid[c.x][c.y];
}
int At(const MatchGridArray& grid, TCoord2 c) {
    return grid[c.x][c.y];
}

bool IsBonusCode(int v) {
    return v >= FirstBonusKind && v <= LastBonusCode;
}

bool Contains(const std::vector<TBirdForDestroy>& group, TCoord2 c) {
    return std::any_of(group.begin(), group.end(),
                       [c](const TBirdForDestroy& b) { return b.pX == c.x && b.pY == c.y; });
}

// Breadth-first fill from start. joinsAndClears decides for a neighbour's value whether it
// joins the group and is cleared; joinsKept whether it joins but stays on the grid (then
// only once per group). Returns the group's cells in the order found.
template <class JoinCleared, class JoinKept>
std::vector<TBirdForDestroy> Fill(MatchGridArray& grid, TCoord2 start, int kind,
                                  JoinCleared joinsAndClears, JoinKept joinsKept) {
    std::vector<TBirdForDestroy> group{{start.x, start.y, kind}};
    At(grid, start) = 0;
    TCoords2Array frontier{start};
    TCoords2Array next;
    while (!frontier.empty()) {
        next.clear();
        for (auto it = frontier.rbegin(); it != frontier.rend(); ++it) {
            for (int d = FirstDirection; d <= LastDirection; ++d) {
                const TCoord2 n = Neighbour(*it, d);
                const int v = At(grid, n);
                if (joinsAndClears(v)) {
                    At(grid, n) = 0;
                    group.push_back({n.x, n.y, kind});
                    next.push_back(n);
                } else if (joinsKept(v) && !Contains(group, n)) {
                    group.push_back({n.x, n.y, kind});
                    next.push_back(n);
                }
            }
        }
        std::swap(frontier, next);
    }
    return group;
}

} // namespace

int CatCatchNeed(int catKind) {
    switch (catKind) {
    case 21:
        return 4;
    case 23:
        return 3;
    case 22:
    case 24:
    case 25:
        return 2;
    default:
        return 0;
    }
}

void MatchGrid(const BoardSnapshot& board, MatchGridArray& grid) {
    for (int x = 0; x < BoardGridSize; ++x) {
        for (int y = 0; y < BoardGridSize; ++y) {
            int v = 0;
            const BirdState& bird = board.Birds[x][y];
            if (bird.Visible && !bird.SmallBounded) v = bird.Kind;
            const CatState& cat = board.Cats[x][y];
            if (cat.Visible && !cat.NewShadow) v = cat.Kind;
            const BonusState& bonus = board.Bonuses[x][y];
            if (bonus.Visible && bonus.BonusStatus == 0 && IsMatchableBonusKind(bonus.Kind))
                v = bonus.Kind;
            grid[x][y] = v;
        }
    }
}

TCoords2Array BirdsAroundCat(const BoardSnapshot& board, const MatchGridArray& grid, TCoord2 cat,
                             bool includeBounded) {
    auto counts = [&](TCoord2 n) {
        const BirdState& bird = board.Birds[n.x][n.y];
        return bird.Visible && (includeBounded || !bird.Bounded);
    };
    TCoords2Array best;
    for (int i = FirstDirection; i <= LastDirection; ++i) {
        const TCoord2 ni = Neighbour(cat, i);
        const int a = At(grid, ni);
        if (!IsBirdKind(a) || !counts(ni)) continue;
        TCoords2Array list{ni};
        for (int j = FirstDirection; j <= LastDirection; ++j) {
            const TCoord2 nj = Neighbour(cat, j);
            if (j != i && At(grid, nj) == a && counts(nj)) list.push_back(nj);
        }
        if (list.size() > best.size()) best = std::move(list);
    }
    return best;
}

TCoords2Array BirdsAroundCat(const BoardSnapshot& board, TCoord2 cat, bool includeBounded) {
    MatchGridArray grid;
    MatchGrid(board, grid);
    return BirdsAroundCat(board, grid, cat, includeBounded);
}

TMatchResult FindMatches(const BoardSnapshot& board) {
    TMatchResult result;
    if (board.ResultShown) return result;

    MatchGridArray grid;
    MatchGrid(board, grid);

    // Cats first: a bird that helps catch a cat takes part in nothing else.
    for (int x = FirstPlayableCell; x <= LastPlayableCell; ++x) {
        for (int y = FirstPlayableCell; y <= LastPlayableCell; ++y) {
            const int v = grid[x][y];
            if (!IsCatKind(v)) continue;
            const TCoords2Array birds = BirdsAroundCat(board, grid, {x, y}, false);
            if (static_cast<int>(birds.size()) < CatCatchNeed(v)) continue;
            TMatchedCat caught{x, y, v};
            for (size_t i = 0; i < birds.size() && i < caught.birds.size(); ++i) {
                caught.birds[i] = birds[i];
                At(grid, birds[i]) = 0;
            }
            grid[x][y] = 0;
            result.Cats.push_back(caught);
        }
    }

    // Birds of one kind; every matchable bonus they touch joins (and may join several groups).
    for (int x = FirstPlayableCell; x <= LastPlayableCell; ++x) {
        for (int y = FirstPlayableCell; y <= LastPlayableCell; ++y) {
            const int k = grid[x][y];
            if (!IsBirdKind(k)) continue;
            auto group = Fill(
                grid, {x, y}, k, [k](int v) { return v == k; }, IsBonusCode);
            if (group.size() >= 3) {
                result.BirdsGroups.push_back({false, std::move(group)});
                result.MatchWasDone = true;
            }
        }
    }

    // Matchable bonuses of any kinds side by side.
    for (int x = FirstPlayableCell; x <= LastPlayableCell; ++x) {
        for (int y = FirstPlayableCell; y <= LastPlayableCell; ++y) {
            const int b = grid[x][y];
            if (!IsBonusCode(b)) continue;
            auto group = Fill(grid, {x, y}, b, IsMatchableBonusKind, [](int) { return false; });
            if (group.size() >= 3) {
                result.BirdsGroups.push_back({false, std::move(group)});
                result.MatchWasDone = true;
            }
        }
    }
    return result;
}

} // namespace bw
