// The actors the game puts on the board, gathered behind the board's one BoardActors. Cats
// so far; bonuses, nestlings and keys, and the boss join here as they are built.
#pragma once

#include "board/BoardActors.h"

namespace bw {

class GameBoardActors final : public BoardActors {
public:
    void CreateCellActors(TCoord2 cell) override;
    void AddToSnapshot(BoardSnapshot& s) override;
    void TakeTurn() override;
    void DropPendingCats() override;
    void Spawn() override;
    void Catch(const TMatchedCatsList& cats) override;
    void Clear() override;
};

// The instance GameWiring installs.
GameBoardActors& TheBoardActors();

} // namespace bw
