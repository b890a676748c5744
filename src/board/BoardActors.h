// The actors that share the board with the birds: cats, bonuses, nestlings, keys and the boss.
// The board calls them at fixed points of a turn; each actor module adds itself through the one
// installed BoardActors. Until they exist (and in tests) the null actors add nothing and do
// nothing.
#pragma once

#include "board/BoardTypes.h"
#include "board/MatchFinder.h"

namespace bw {

// The bonus or key the player has lifted: its cell and its kind (a bonus: 41..45, a key: its
// key kind); the cell is (-1, -1) while nothing is lifted.
struct LiftedObject {
    TCoord2 Source = NoCell;
    int Kind = 0;

    bool InUse() const { return Source != NoCell; }
};

class BoardActors {
public:
    virtual ~BoardActors() = default;
    // The board is being built: the actors create their slots for the cell (after its bird).
    virtual void CreateCellActors(TCoord2 /*cell*/) {}
    // The board is built and the first cats are still to come: the boss takes its place.
    virtual void BoardBuilt() {}
    // Adds the actors to a snapshot of the board, and to its Reserved cells the cells they
    // are on their way to.
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
    // The engine that owns the board's sprites is going: the actors let go of theirs.
    virtual void Forget() {}

    // ---- Lifting a bonus or a key ----
    // The board plays the pick-up sounds, checks the tutorial and sets the cursor; the actors
    // move their sprites. A bonus or key stands at a cell when the snapshot says so.

    // The player picked up the bonus standing at `cell`: it follows the pointer (the board
    // bonus stays, highlighted, and its own effect stops).
    virtual void LiftBonus(TCoord2 /*cell*/) {}
    virtual void LiftKey(TCoord2 /*cell*/) {}
    // What is lifted; nothing by default.
    virtual LiftedObject LiftedBonus() { return {}; }
    virtual LiftedObject LiftedKey() { return {}; }
    // The release found a path (source cell first): the lifted object travels along it, the
    // move is counted and the lift ends without putting it back.
    virtual void StartBonusMove(const TCoords2Array& /*path*/) {}
    virtual void StartKeyMove(const TCoords2Array& /*path*/) {}
    // Puts the lifted object back on its cell and hides the one under the pointer.
    virtual void CancelBonusLift() {}
    virtual void CancelKeyLift() {}
};

// The installed actors; null actors when none are.
BoardActors& Actors();
// Installs `actors` (not owned; null puts the null actors back).
void SetBoardActors(BoardActors* actors);

} // namespace bw
