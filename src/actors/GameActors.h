// The actors the game puts on the board, gathered behind the board's one BoardActors: cats,
// bonuses, nestlings and keys, and the boss.
#pragma once

#include "board/BoardActors.h"

namespace bw {

class GameBoardActors final : public BoardActors {
public:
    void CreateCellActors(TCoord2 cell) override;
    void BoardBuilt() override;
    void AddToSnapshot(BoardSnapshot& s) override;
    void TakeTurn() override;
    void DropPendingCats() override;
    void Spawn() override;
    void Catch(const TMatchedCatsList& cats) override;
    void SetOffBonusesInGroups(const TBirdsGroups& groups) override;
    void HitAt(TCoord2 cell) override;
    void Clear() override;
    void Forget() override;

    void LiftBonus(TCoord2 cell) override;
    LiftedObject LiftedBonus() override;
    void StartBonusMove(const TCoords2Array& path) override;
    void CancelBonusLift() override;

    void LiftKey(TCoord2 cell) override;
    LiftedObject LiftedKey() override;
    void StartKeyMove(const TCoords2Array& path) override;
    void CancelKeyLift() override;
};

// The instance GameWiring installs.
GameBoardActors& TheBoardActors();

} // namespace bw
