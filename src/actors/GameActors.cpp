#include "actors/GameActors.h"

#include "actors/Bonuses.h"
#include "actors/Boss.h"
#include "actors/Cats.h"
#include "actors/Nestlings.h"

namespace bw {

void GameBoardActors::CreateCellActors(TCoord2 cell) {
    CreateCellCat(cell.x, cell.y);
    CreateCellBonus(cell.x, cell.y);
    CreateCellNestling(cell.x, cell.y);
    CreateCellKey(cell.x, cell.y);
}

void GameBoardActors::BoardBuilt() {
    CreateBoss();
}

void GameBoardActors::AddToSnapshot(BoardSnapshot& s) {
    AddCatsToSnapshot(s);
    AddBonusesToSnapshot(s);
    AddNestlingsToSnapshot(s);
    AddBossToSnapshot(s);
}

void GameBoardActors::TakeTurn() {
    CatsTakeTurn();
}

void GameBoardActors::DropPendingCats() {
    bw::DropPendingCats();
}

void GameBoardActors::Spawn() {
    SpawnCats();
}

void GameBoardActors::Catch(const TMatchedCatsList& cats) {
    CatchCats(cats);
}

void GameBoardActors::SetOffBonusesInGroups(const TBirdsGroups& groups) {
    bw::SetOffBonusesInGroups(groups);
}

// A cat landing on a bonus or a wall burst beside one: the explosion rule for the cell.
void GameBoardActors::HitAt(TCoord2 cell) {
    ExplodeCell(cell.x, cell.y);
}

void GameBoardActors::Clear() {
    ClearCats();
    ClearBonuses();
    ClearNestlingsAndKeys();
    ClearBoss();
}

void GameBoardActors::Forget() {
    ForgetBonuses();
    ForgetNestlings();
    ForgetBoss();
}

void GameBoardActors::LiftBonus(TCoord2 cell) {
    bw::LiftBonus(cell);
}

LiftedObject GameBoardActors::LiftedBonus() {
    return bw::LiftedBonus();
}

void GameBoardActors::StartBonusMove(const TCoords2Array& path) {
    const LiftedObject lifted = bw::LiftedBonus();
    if (!lifted.InUse()) return;
    bw::StartBonusMove(path, lifted.Kind - 40);
}

void GameBoardActors::CancelBonusLift() {
    bw::CancelBonusLift();
}

void GameBoardActors::LiftKey(TCoord2 cell) {
    bw::LiftKey(cell);
}

LiftedObject GameBoardActors::LiftedKey() {
    return bw::LiftedKey();
}

void GameBoardActors::StartKeyMove(const TCoords2Array& path) {
    const LiftedObject lifted = bw::LiftedKey();
    if (!lifted.InUse()) return;
    bw::StartKeyMove(path, lifted.Kind - 70);
}

void GameBoardActors::CancelKeyLift() {
    bw::CancelKeyLift();
}

GameBoardActors& TheBoardActors() {
    static GameBoardActors actors;
    return actors;
}

} // namespace bw
