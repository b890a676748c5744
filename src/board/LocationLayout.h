// Where the cells of the board go in each layout kind of a location, which picture pattern each
// cell shows, and how the cells of floating layouts bob. Pure functions over the location
// description and the level's cell grid; the board builds its sprites from the result.
//
// Symbols: pX, pY a cell's grid coordinates; size, offset, scale, origin the location's
// FMapElementsSize, FMapElementsOffset, FMapElementsScale and FMapPosition; chess is
// (pX + pY) mod 2; A is FMapElementsAnimCount and H is A div 2.
//
//  Default, Water_1, Train: pX 1..size.x, pY 1..size.y at
//      (origin.x + pX size.x + pY offset.x, origin.y + 188 + pY size.y + pX offset.y);
//      pattern Random(A), or with chess order Random(H) + chess H.
//  ClassicRoof: the left half (pX 1..columns div 2) and then the right half (pX from the last
//      column down to columns div 2 + 1), each with its own formula; the right half's rows are
//      shifted by FMapTag.y. Patterns Random(H div 2) + chess (H div 2), plus H on the right.
//  ModernRoof: the left part with the roof formula, then the right part from the last column
//      down, flat, on the height of the middle column.
//  Hangar: the default formula bent by an arch (one (dx, dy) per column); pattern pX - 1.
//  River_1: the default formula; code 1 cells are banks (pattern Random(2) + chess 2), code 2
//      cells are floating planks 3 units lower (pattern 4 + Random(3)), other codes pattern 0.
//
// One-way cells (codes 21..24) show pattern A + arrow - 1 in the layouts that have them
// (Default, Water_1, Train, River_1 and the right part of ModernRoof); elsewhere they are
// ordinary cells with no arrow. A cell's Z is pY * 5 and its bobbing counter starts at pX + pY.
//
// Floating: every cell of Water_1 and River_1's cells of patterns 4..6 bob about their layout
// position (so a River_1 location needs A of at least 7, or its one-way cells float too). In
// Train the board rides plain decoration object 0: each cell lies at its layout position plus
// the train's current position, so a train placed at (0, 0) in the file leaves the board where
// the layout puts it, and MapPosition is otherwise relative to the train.
#pragma once

#include "board/BoardTypes.h"
#include "board/Location.h"
#include "render/Types.h"

#include <array>
#include <vector>

namespace bw {

struct CellPlacement {
    TCoord2 Cell;
    TPoint2 Pos; // top-left of the cell picture in design units
    int Pattern = 0;
    int Arrow = 0; // 0, or the direction 1..4 in which a one-way cell is entered
};

// The Hangar arch: displacement of columns 1..16 (entry 0 unused).
inline constexpr std::array<TCoord2, 17> HangarArch{{{0, 0},
                                                     {0, 0},
                                                     {64, -28},
                                                     {132, -52},
                                                     {203, -73},
                                                     {280, -86},
                                                     {357, -97},
                                                     {435, -101},
                                                     {514, -104},
                                                     {593, -103},
                                                     {673, -102},
                                                     {751, -97},
                                                     {828, -88},
                                                     {904, -73},
                                                     {978, -54},
                                                     {1050, -30},
                                                     {1118, -2}}};

// The columns and rows the layout builds: FMapSize clipped to 0..16.
TCoord2 LayoutSize(const TLocationOptions& options);

// Every cell to build, in the order the layout builds them, for the cells whose map code is
// above 0. Patterns draw from the game's Random in that order, so a seeded run gives the same
// board. Only cells 1..16 are ever built, whatever FMapSize says.
std::vector<CellPlacement> LayoutCells(const TLocationOptions& options,
                                       const BoardGrid<int32_t>& map);

inline double LayoutCellTimeCounter(TCoord2 cell) {
    return cell.x + cell.y;
}

// Whether a cell of this pattern bobs: every cell of Water_1, River_1's planks (patterns
// 4..6), and every cell of Train while the train object exists.
bool CellFloats(const TLocationOptions& options, int pattern);

// Ticks after which a floating cell's counter starts again from 0.
inline constexpr double FloatingTimeLimit = 31400.0;

// One update of a floating cell: the counter gains 0.07 (back to 0 above the limit) and the
// dip left by a landing bird shrinks by 0.25 while above 0 (never below it).
void AdvanceFloating(double& timeCounter, float& dip, float moveCount = 1.0f);
// The water and river bob relative to the cell's start position.
TPoint2 FloatingOffset(double timeCounter, float dip);
// The cell's alpha for a dip: 255 - 27 dip, within 0..255.
int FloatingAlpha(float dip);
// Where a floating cell is relative to its start position: the train's position in Train
// (nothing while there is no train), the bob in the other layouts.
TPoint2 FloatingCellOffset(const TLocationOptions& options, double timeCounter, float dip);

} // namespace bw
