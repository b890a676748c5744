// The bonuses' rules of play: their slots are built with the board, the player lifts one and
// moves it like a bird, a matched group or an explosion sets a weapon off, and its blast (the
// bomb's eight neighbours, the fireworks' four rockets, the lightning's chain of strikes, the
// paint's drops) runs through the sprites of BonusSprites.h. The hamburger never goes off.
#pragma once

#include "actors/BonusSprites.h"
#include "board/BoardActors.h"
#include "board/BoardTypes.h"
#include "board/MatchFinder.h"

namespace bw {

// The bonus slot of a cell; null where there is no cell.
TBonusSprite* BonusAt(TCoord2 cell);
// The lifted bonus under the pointer; null before the first board is built.
TDragedBonus* DragedBonusSprite();

// Creates the bonus slot of a cell of the board being built; a bonus of the level's object
// grid (41..45) lies on it from the start.
void CreateCellBonus(int x, int y);
// A bonus lies at the cell and is not going off.
bool IsBonusAt(int x, int y);
// Bonuses of `kind` lying on the board; with `includeCarried`, a cat that will leave a bonus of
// that kind when caught adds the bonus's number (a fireworks cat counts 2).
int CountBonuses(int kind, bool includeCarried);
// A bonus of `kind` appears where a caught cat was.
void LeaveBonusAt(TCoord2 cell, int kind);

void LiftBonus(TCoord2 cell);
LiftedObject LiftedBonus();
void CancelBonusLift();
// The lifted bonus of number n (kind - 40) travels along `path`: a move. A hamburger bound
// for a cell where a cat is announced is put back instead.
void StartBonusMove(const TCoords2Array& path, int n);
// Travelling bonuses still on their way.
int BonusesUnderWay();

// Sets off the bonus lying at the cell; a lightning or paint bonus works with `birdKind`.
// Nothing happens to a hamburger or to a bonus already going off.
void SetOffBonus(TCoord2 cell, int birdKind);
void SetOffBonusesInGroups(const TBirdsGroups& groups);
// The explosion rule for one cell.
void ExplodeCell(int x, int y);
// The blast of a bonus whose pulse has run out.
void BonusBlast(TBonusSprite& bonus);

// A rocket reached the cell.
void RocketHit(TCoord2 cell);
// A lightning strike from `from` to `to`.
void StartLightningStrike(TCoord2 from, TCoord2 to, int kind, float life, int count,
                          const TCoords2Array& prohibited);
// The next cell a lightning strike from `from` hits; NoCell when none qualifies.
TCoord2 FindLightningTarget(TCoord2 from, int kind, const TCoords2Array& prohibited);
void LightningBurn(TCoord2 cell);
// Paint drops in flight or fading; the last one to go resolves the repainted birds.
int ActivePaintDrops();
void PaintDropGone();

// Adds the bonuses to a snapshot: the slots, and the cells travelling bonuses head for to its
// Reserved cells.
void AddBonusesToSnapshot(BoardSnapshot& s);
// The level ends: every bonus slot, travelling bonus, rocket, strike and paint drop goes.
void ClearBonuses();
// The engine that owns the sprites is going: lets go of them without freeing them.
void ForgetBonuses();

} // namespace bw
