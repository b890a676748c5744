// The match search: groups of three or more orthogonally connected birds of one kind (matchable
// bonuses join any group they touch), groups of matchable bonuses, and cats surrounded by
// enough birds of one kind. It reads a board snapshot and changes nothing.
#pragma once

#include "board/BoardTypes.h"

#include <array>
#include <vector>

namespace bw {

struct TBirdForDestroy {
    int pX = 0;
    int pY = 0;
    int kind = 0; // the kind of the whole group, also on its bonus cells
};

struct TBirdsMatchedGroups {
    bool WasChecked = false;
    std::vector<TBirdForDestroy> Group; // cells in the order the search found them
};

using TBirdsGroups = std::vector<TBirdsMatchedGroups>;

struct TMatchedCat {
    int pX = 0;
    int pY = 0;
    int kind = 0;                                                 // 21..25
    std::array<TCoord2, 4> birds{NoCell, NoCell, NoCell, NoCell}; // unused entries (-1, -1)
};

using TMatchedCatsList = std::vector<TMatchedCat>;

struct TMatchResult {
    bool MatchWasDone = false; // at least one group
    TBirdsGroups BirdsGroups;
    TMatchedCatsList Cats;
};

// Per cell: 0 empty, 1..6 a bird (tied birds too), 9 a crow, 21..25 a cat, 41..44 a bonus.
using MatchGridArray = BoardGrid<int>;

// Birds a cat of this kind needs around it to be caught; 0 for anything that is no cat.
int CatCatchNeed(int catKind);

// Fills the working grid of the match search from the snapshot.
void MatchGrid(const BoardSnapshot& board, MatchGridArray& grid);

// All groups and caught cats on the board; empty while the level result is shown.
TMatchResult FindMatches(const BoardSnapshot& board);

// The largest set of birds of one kind next to the cell, read from the given working grid: the
// neighbour found first (up, right, down, left) leads its set and ties go to the earlier
// leader. Tied birds count only with includeBounded.
TCoords2Array BirdsAroundCat(const BoardSnapshot& board, const MatchGridArray& grid, TCoord2 cat,
                             bool includeBounded);
// The same on a working grid freshly built from the snapshot.
TCoords2Array BirdsAroundCat(const BoardSnapshot& board, TCoord2 cat, bool includeBounded);

} // namespace bw
