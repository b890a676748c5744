// The pointer on the board: hovering lights cells and birds up, a press picks a bird up, a
// release over a reachable cell starts the move, anything else puts the bird back.
#include "board/BirdSprites.h"
#include "board/Board.h"
#include "board/BoardHost.h"
#include "board/BoardSound.h"
#include "board/BoardSprites.h"
#include "board/Location.h"
#include "board/PathPreview.h"

#include <cmath>
#include <limits>

namespace bw {

namespace {

bool TutorialAllows(TutorialAction action, TCoord2 cell) {
    return Host().TutorialAllows(action, cell);
}

void SetDragCursor(bool dragging) {
    Host().SetDragCursor(dragging);
}

void PickUpBird(TBirdSprite& bird) {
    BoardSfx("sfx_bird_pick.ogg");
    BoardSfxLoop("sfx_bird_loop.ogg");
    DragedBird->AsssignBird(bird);
    const TPoint2 offset = BirdDragOffset(bird.FKind);
    DragedBird->FX = BoardPointer.Pos.x + offset.x;
    DragedBird->FY = BoardPointer.Pos.y + offset.y;
    DragedBird->ResetDelta();
    DragedBird->RecalculateCoordinates(DragedBird->FY, DragedBird->FX);
    DragedBird->FVisible = true;
    bird.FEffect = beAdd;
    bird.FEgg = false;
    bird.FEggSprite->FVisible = false;
    SetDragCursor(true);
}

// The release: where the dragged bird may land, and whether it can get there.
bool AcceptRelease(TCoord2 c, const BoardSnapshot& s) {
    if (!TutorialAllows(TutorialAction::Release, c)) return false;
    const TLevelSprite* cell = BoardCells[c.x][c.y];
    if (!cell || !cell->FVisible) return false;
    const TBirdSprite* bird = BoardBirds[c.x][c.y];
    if (bird && bird->FVisible && !bird->FSmallBounded) return false;
    if (bird && bird->FEgg && bird->FEggSprite->FAnimStage >= 2) return false;
    if (IsReserved(c)) return false;
    if (s.Bonuses[c.x][c.y].Visible && s.Bonuses[c.x][c.y].BonusStatus == 0) return false;
    if (s.Keys[c.x][c.y]) return false;
    if (s.Nestlings[c.x][c.y] && s.Dragged != drag_Key) return false;
    if (!DragedBird || !DragedBird->InUse()) return false;
    const TAlgPathResult path = FindPath(s, DragedBird->Source(), c);
    if (!path.PathWasFind) return false;
    StartBirdMove(path.Path, DragedBird->FKind);
    // The move took the bird: the drag ends without putting it back.
    DragedBird->FVisible = false;
    DragedBird->pX = DragedBird->pY = -1;
    SetDragCursor(false);
    return true;
}

} // namespace

bool SomethingDragged() {
    return DragedBird && DragedBird->InUse();
}

void CancelDrag() {
    if (!DragedBird || !DragedBird->InUse()) return;
    const TCoord2 source = DragedBird->Source();
    if (TBirdSprite* bird = BoardBirds[source.x][source.y]) bird->FEffect = beNormal;
    DragedBird->Hide();
    DragedBird->pX = DragedBird->pY = -1;
    SetDragCursor(false);
}

TCoord2 CellAtMouse(TPoint2 mouse) {
    const TCoord2 box = LocationOptions().FMapElementCollideSize;
    TCoord2 best = NoCell;
    double bestDistance = std::numeric_limits<double>::max();
    for (int x = 0; x < BoardGridSize; ++x) {
        for (int y = 0; y < BoardGridSize; ++y) {
            const TLevelSprite* cell = BoardCells[x][y];
            if (!cell || !cell->FVisible || cell->FDeaded) continue;
            const float dx = std::fabs(cell->FCenter.x - mouse.x);
            const float dy = std::fabs(cell->FCenter.y - mouse.y);
            if (dx >= static_cast<float>(box.x) || dy >= static_cast<float>(box.y)) continue;
            const double distance = std::hypot(dx, dy);
            if (distance < bestDistance) {
                bestDistance = distance;
                best = TCoord2{x, y};
            }
        }
    }
    return best;
}

void BoardInput() {
    if (BoardLost || Host().ResultShown() || !DragedBird) return;
    const TCoord2 c = CellAtMouse(BoardPointer.Pos);
    if (!TutorialAllows(TutorialAction::BoardInput, c)) return;
    if (c == NoCell) return;

    const BoardSnapshot s = TakeBoardSnapshot();
    const TWallSprite* wall = BoardWalls[c.x][c.y];
    if (wall && wall->FVisible && !wall->FSmall) return;
    if (s.Cats[c.x][c.y].Visible) return;
    const bool bossBonusDragged = s.Dragged == drag_Bonus && s.DraggedBonusKind == 45;
    if (s.IsBossAt(c) && !bossBonusDragged) return;
    const TGateSprite* gate = BoardGates[c.x][c.y];
    if (gate && gate->FVisible) {
        const bool crowDragged = DragedBird->InUse() && DragedBird->FKind == CrowKind;
        if (!gate->FOpened || crowDragged || bossBonusDragged || s.Dragged == drag_Key) return;
    }

    // Hover.
    TLevelSprite* cell = BoardCells[c.x][c.y];
    TBirdSprite* bird = BoardBirds[c.x][c.y];
    const bool fullBounded = bird && bird->FVisible && bird->FBounded && !bird->FSmallBounded;
    const bool lockedNestling = s.Nestlings[c.x][c.y] && s.Dragged != drag_Key;
    if (!lockedNestling && !fullBounded) cell->Highlight();
    HoverCell = c;
    if (bird && bird->FVisible && !bird->FBounded) bird->Highlight();

    // Press.
    if (BoardPointer.ButtonDown && !DragStartHandled) {
        if (!SomethingDragged() && cell->FVisible && !s.Nestlings[c.x][c.y]) {
            if (!TutorialAllows(TutorialAction::PickUp, c)) {
                DragStartHandled = true;
                return;
            }
            if (bird && bird->FVisible && !bird->FBounded) PickUpBird(*bird);
        }
        DragStartHandled = true;
    }

    // Release.
    if (BoardPointer.Released) {
        ClearPathPreview();
        ReleaseHandled = true;
        if (!AcceptRelease(c, s)) CancelDrag();
    }
}

void BoardRelease() {
    BoardPointer.ButtonDown = false;
    DragStartHandled = false;
    BoardPointer.Released = true;
    ReleaseHandled = false;
    BoardInput();
    if (!ReleaseHandled) {
        CancelDrag();
        TutorialAllows(TutorialAction::Release, NoCell);
    }
    BoardPointer.Released = false;
    CancelDrag();
}

} // namespace bw
