// The cats' rules of play: their slots are built with the board, the level's cat entries put
// new cats on it, walking and jumping cats act at the end of a turn, announced cats drop, and
// cats surrounded by enough birds of one kind are caught and carried away.
#pragma once

#include "actors/CatSprites.h"
#include "board/BoardTypes.h"
#include "board/MatchFinder.h"

namespace bw {

// The cat slot of a cell; null where there is no cell.
TCatSprite* CatAt(TCoord2 cell);

// Creates the cat slot and its shadow for a cell of the board being built.
void CreateCellCat(int x, int y);
// Places the cats of the level's entries whose conditions hold.
void SpawnCats();
// The end of a turn: every settled Cat_4 walks, every Cat_5 counts towards its jump.
void CatsTakeTurn();
// Announced cats whose cell nothing is headed for start to fall.
void DropPendingCats();
// Catches every listed cat in order.
void CatchCats(const TMatchedCatsList& cats);
void CatchCat(const TMatchedCat& m);
// The level ends: every cat slot, walking, jumping and caught cat goes with its effects.
void ClearCats();

void StartCatWalk(const TCoords2Array& path, int kind);
void StartCatJump(TCoord2 from, TCoord2 to, int kind);

// Adds the cats to a snapshot: the slots, and the cells walking and jumping cats head for
// to its Reserved cells.
void AddCatsToSnapshot(BoardSnapshot& s);
// What the cats on the board will leave of bonus `kind` (41..45) when caught: a cat leaving
// bonus number v counts v.
int CarriedBonuses(int kind);
// Cats on the board that will leave a key when caught.
int CarriedKeys();
// Standing, announced, walking and jumping cats on the board.
int CountCatsOnBoard();

} // namespace bw
