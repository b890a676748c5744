// The nestlings' and keys' rules of play: their slots are built with the board, the player
// lifts a key and moves it like a bird, a key arriving on a caged nestling opens one chain
// (the last one lets the nestling out to fly to its nest), a key arriving anywhere else is
// put down and ends the turn unless it completes a match. The last nestling the level needs
// locks the board when it is freed and wins the level when it reaches its nest.
#pragma once

#include "actors/NestlingSprites.h"
#include "board/BoardActors.h"
#include "board/BoardTypes.h"

namespace bw {

inline constexpr int ChainScore = 100;
inline constexpr int FreedNestlingScore = 200;

TNestlingSprite* NestlingAt(TCoord2 cell);
TKeySprite* KeyAt(TCoord2 cell);
TDragedKey* DragedKeySprite();

// Create the nestling and key slots of a cell of the board being built; codes 61..63 and 71
// of the level's object grid put a caged nestling or a key there from the start.
void CreateCellNestling(int x, int y);
void CreateCellKey(int x, int y);
bool IsNestlingAt(int x, int y);
bool IsKeyAt(int x, int y);
// Caged nestlings on the playable cells.
int CountNestlings();
// Keys lying on the playable cells; with `includeCarried` also the keys cats will leave when
// caught and the keys on their way.
int CountKeys(bool includeCarried);
// A key appears on the cell (a caught cat left it); false when the cell has no key slot.
bool LeaveKeyAt(TCoord2 cell);

void LiftKey(TCoord2 cell);
LiftedObject LiftedKey();
void CancelKeyLift();
// The lifted key of number `kind` (71 - 70) travels along `path`: a move.
void StartKeyMove(const TCoords2Array& path, int kind);
// Travelling keys still on their way.
int KeysUnderWay();
// Freed nestlings still flying to their nests.
int NestlingsFlying();

// A travelling key arrived on the caged nestling of `cell`: the top chain opens, or the
// nestling is let out when it was the last.
void OpenChain(TNestlingSprite& nestling, TPoint2 keyPos);

void AddNestlingsToSnapshot(BoardSnapshot& s);
// The level ends: slots, chains, freed nestlings and travelling keys go.
void ClearNestlingsAndKeys();
// The engine that owns the sprites is going: lets go of them without freeing them.
void ForgetNestlings();

} // namespace bw
