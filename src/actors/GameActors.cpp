#include "actors/GameActors.h"

#include "actors/Cats.h"

namespace bw {

void GameBoardActors::CreateCellActors(TCoord2 cell) {
    CreateCellCat(cell.x, cell.y);
}

void GameBoardActors::AddToSnapshot(BoardSnapshot& s) {
    AddCatsToSnapshot(s);
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

void GameBoardActors::Clear() {
    ClearCats();
}

GameBoardActors& TheBoardActors() {
    static GameBoardActors actors;
    return actors;
}

} // namespace bw
