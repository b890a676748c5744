// Board coordinates, directions and the plain snapshot of the board that the path and match
// searches read.
//
// Every grid here is 18 x 18 and indexed [pX][pY] like the level grids (LevelData.h): pX is the
// column to the right, pY the row downwards, playable cells lie in 1..16 and the border rows
// and columns 0 and 17 never hold an occupant.
#pragma once

#include "board/LevelData.h"
#include "platform/Random.h"

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

namespace bw {

struct TCoord2 {
    int x = 0;
    int y = 0;

    friend constexpr bool operator==(TCoord2, TCoord2) = default;
};

using TCoords2Array = std::vector<TCoord2>;

inline constexpr TCoord2 NoCell{-1, -1};

// The drawing depth of row pY: lower rows stand in front.
inline constexpr int CellZ(int pY) {
    return pY * 5;
}

// Directions 1 up, 2 right, 3 down, 4 left. Every loop over the neighbours of a cell runs
// from 1 to 4 in this order.
inline constexpr int DirectionUp = 1;
inline constexpr int DirectionRight = 2;
inline constexpr int DirectionDown = 3;
inline constexpr int DirectionLeft = 4;
inline constexpr int FirstDirection = 1;
inline constexpr int LastDirection = 4;

// Offset of direction d (1..4); entry 0 is unused.
inline constexpr std::array<TCoord2, 5> DirectionOffset{{{0, 0}, {0, -1}, {1, 0}, {0, 1}, {-1, 0}}};

inline constexpr TCoord2 Neighbour(TCoord2 c, int direction) {
    return {c.x + DirectionOffset[direction].x, c.y + DirectionOffset[direction].y};
}

inline constexpr bool IsPlayableCell(TCoord2 c) {
    return IsPlayableCell(c.x, c.y);
}

// Inside the grid, its rim of cells that are never played included.
inline constexpr bool InGrid(TCoord2 c) {
    return c.x >= 0 && c.y >= 0 && c.x < BoardGridSize && c.y < BoardGridSize;
}

// Grid[pX][pY] of anything.
template <class T> using BoardGrid = std::array<std::array<T, BoardGridSize>, BoardGridSize>;

// Bird kinds 1..6, the crow, cat kinds and bonus kinds as they appear on the board.
inline constexpr int FirstBirdKind = 1;
inline constexpr int LastBirdKind = 6;
inline constexpr int CrowKind = 9;
inline constexpr int FirstCatKind = 21;
inline constexpr int LastCatKind = 25;
inline constexpr int FirstBonusKind = 41;
inline constexpr int LastMatchableBonusKind = 44; // bomb, fireworks, lightning, paint
inline constexpr int HamburgerBonusKind = 45;
inline constexpr int LastBonusCode = 49;

inline constexpr bool IsBirdKind(int k) {
    return k >= FirstBirdKind && k <= LastBirdKind;
}
inline constexpr bool IsCatKind(int k) {
    return k >= FirstCatKind && k <= LastCatKind;
}
inline constexpr bool IsMatchableBonusKind(int k) {
    return k >= FirstBonusKind && k <= LastMatchableBonusKind;
}

// ---- Snapshot ------------------------------------------------------------------------------
// What one cell of each board grid shows. A slot that is not Visible holds no such occupant;
// the other fields of an invisible slot are not read (except a bird slot's Egg flag).

struct CellState {
    bool Exists = false;  // the level has a cell here
    bool Visible = false; // the cell is shown
    int Arrow = 0;        // 0, or the direction 1..4 in which a one-way cell is entered
};

struct BirdState {
    bool Visible = false;
    int Kind = 0;              // 1..6, or 9 for a crow
    bool Bounded = false;      // tied: cannot be picked up, never catches a cat
    bool SmallBounded = false; // tied this turn: half size, passable, never matched
    bool Egg = false;          // an egg lies here (the bird itself is invisible)
};

struct CatState {
    bool Visible = false;
    int Kind = 0;           // 21..25
    bool NewShadow = false; // announced: only its shadow is on the board so far
    bool Dropping = false;  // announced and already falling: nothing may be released here
};

struct BonusState {
    bool Visible = false;
    int Kind = 0;        // 41..45
    int BonusStatus = 0; // 0 lying idle; anything else: being set off
};

struct WallState {
    bool Visible = false;
    bool Small = false; // just generated, does not block yet
};

struct GateState {
    bool Visible = false;
    bool Opened = false;
    bool Animating = false; // opening or closing right now
};

// What the player is dragging right now.
enum DragObject : uint8_t {
    drag_Nothing,
    drag_Bird,
    drag_Bonus,
    drag_Key,
};

// The state of the board that the searches read. The board fills it from its sprites before
// a search; tests build it from pictures.
struct BoardSnapshot {
    BoardGrid<CellState> Cells{};
    BoardGrid<BirdState> Birds{};
    BoardGrid<WallState> Walls{};
    BoardGrid<GateState> Gates{};
    BoardGrid<CatState> Cats{};
    BoardGrid<bool> Nestlings{}; // a caged nestling is shown
    BoardGrid<bool> Keys{};      // a key is shown
    BoardGrid<BonusState> Bonuses{};

    // The boss covers BossPos and the cell to its right while BossOnBoard is set (a boss
    // mission whose boss is of kind 1).
    bool BossOnBoard = false;
    TCoord2 BossPos = NoCell;

    // The last cell of the path of every flying bird that has not arrived yet: the path search
    // cannot go there.
    TCoords2Array FlyingBirdTargets;
    // Every cell something is on its way to: the flying birds' targets, the targets of walking
    // and jumping cats and of moving bonuses and keys. A reserved cell gets no new bird, egg or
    // wall and takes no release; the path search still crosses the cells that only the actors
    // have reserved.
    TCoords2Array Reserved;

    DragObject Dragged = drag_Nothing;
    int DraggedBonusKind = 0; // the kind of the dragged bonus (drag_Bonus), 41..45

    bool ResultShown = false; // the level result is on screen

    bool IsReserved(TCoord2 c) const {
        return std::find(Reserved.begin(), Reserved.end(), c) != Reserved.end();
    }

    bool IsBossAt(TCoord2 c) const {
        return BossOnBoard && c.y == BossPos.y && (c.x == BossPos.x || c.x == BossPos.x + 1);
    }
};

// ---- Randomness ----------------------------------------------------------------------------

// Permutes the list in place with the game's generator (a Fisher-Yates shuffle from the back),
// so the same seed gives the same order everywhere.
inline void ShuffleCoords(TCoords2Array& coords) {
    for (int i = static_cast<int>(coords.size()) - 1; i > 0; --i) {
        const int j = Random(i + 1);
        std::swap(coords[i], coords[j]);
    }
}

} // namespace bw
