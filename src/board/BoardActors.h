// The actors that share the board with the birds: cats, bonuses, nestlings, keys and the boss.
// The board calls them at fixed points of a turn; each actor module adds itself through the one
// installed BoardActors. Until they exist (and in tests) the null actors add nothing and do
// nothing.
#pragma once

#include "board/BoardTypes.h"
#include "board/MatchFinder.h"

namespace bw {

class BoardActors {
public:
    virtual ~BoardActors() = default;
    // Adds the actors (and the cells they are on their way to) to a snapshot of the board.
    virtual void AddToSnapshot(BoardSnapshot&) {}
    // The end of a turn without a match: cats walk or jump.
    virtual void TakeTurn() {}
    // Cats announced last turn land.
    virtual void DropPendingCats() {}
    // New cats by the level's rules.
    virtual void Spawn() {}
    // Cats surrounded by birds of one kind are caught.
    virtual void Catch(const TMatchedCatsList&) {}
    // Bonuses inside matched groups go off.
    virtual void SetOffBonusesInGroups(const TBirdsGroups&) {}
    // Something hit the cell (a wall burst, a blast): a bonus standing there goes off.
    virtual void HitAt(TCoord2) {}
    // The level is being unloaded: every actor leaves the board.
    virtual void Clear() {}
};

// The installed actors; null actors when none are.
BoardActors& Actors();
// Installs `actors` (not owned; null puts the null actors back).
void SetBoardActors(BoardActors* actors);

} // namespace bw
