// The pointer on the board: hovering lights cells and birds up, a press picks up a bird, a
// bonus or a key, a release over a reachable cell starts its move, anything else puts it back.
#include "audio/SoundEngine.h"
#include "board/BirdSprites.h"
#include "board/Board.h"
#include "board/BoardHost.h"
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
    SfxByName("sfx_bird_pick.ogg");
    SfxLoopByName("sfx_bird_loop.ogg");
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

// The pick-up sound of a bonus kind and the loop that plays while it is carried (none for
// the hamburger).
struct BonusSounds {
    int Kind;
    const char* Pick;
    const char* Loop;
};
constexpr BonusSounds BonusPickSounds[] = {
    {41, "sfx_bomba_pick.ogg", "sfx_bomba_loop.ogg"},
    {42, "sfx_fireworks_pick.ogg", "sfx_fireworks_loop.ogg"},
    {43, "sfx_lightning_pick.ogg", "sfx_lightning_loop.ogg"},
    {44, "sfx_paint_pick.ogg", "sfx_paint_loop.ogg"},
    {HamburgerBonusKind, "sfx_hamburger_pick.ogg", nullptr},
};

void PickUpBonus(TCoord2 cell, int kind) {
    for (const BonusSounds& sounds : BonusPickSounds) {
        if (sounds.Kind != kind) continue;
        SfxByName(sounds.Pick);
        if (sounds.Loop) SfxLoopByName(sounds.Loop);
    }
    Actors().LiftBonus(cell);
    SetDragCursor(true);
}

void PickUpKey(TCoord2 cell) {
    SfxByName("sfx_key_pick.ogg");
    SfxLoopByName("sfx_key_loop.ogg");
    Actors().LiftKey(cell);
    SetDragCursor(true);
}

// The release: where the dragged object may land, and whether it can get there.
bool AcceptRelease(TCoord2 c, const BoardSnapshot& s) {
    if (!TutorialAllows(TutorialAction::Release, c)) return false;
    const TLevelSprite* cell = BoardCells[c.x][c.y];
    if (!cell || !cell->FVisible) return false;
    const TBirdSprite* bird = BoardBirds[c.x][c.y];
    if (bird && bird->FVisible && !bird->FSmallBounded) return false;
    if (bird && bird->FEgg && bird->FEggSprite->FAnimStage >= 2) return false;
    if (s.IsReserved(c)) return false;
    // A cat already falling onto the cell lands before anything released now could arrive.
    if (s.Cats[c.x][c.y].Dropping) return false;
    if (s.Bonuses[c.x][c.y].Visible && s.Bonuses[c.x][c.y].BonusStatus == 0) return false;
    if (s.Keys[c.x][c.y]) return false;
    if (s.Nestlings[c.x][c.y] && s.Dragged != drag_Key) return false;
    const TCoord2 source = DraggedSource();
    if (source == NoCell) return false;
    const TAlgPathResult path = FindPath(s, source, c);
    if (!path.PathWasFind) return false;
    // The move takes the object: the drag ends without putting it back.
    switch (s.Dragged) {
    case drag_Bird:
        StartBirdMove(path.Path, DragedBird->FKind);
        DragedBird->Release();
        DragedBird->pX = DragedBird->pY = -1;
        break;
    case drag_Bonus:
        Actors().StartBonusMove(path.Path);
        break;
    case drag_Key:
        // A key is never carried onto a cell where a cat is about to land.
        if (s.Cats[c.x][c.y].NewShadow) return false;
        Actors().StartKeyMove(path.Path);
        break;
    case drag_Nothing:
        return false;
    }
    SetDragCursor(false);
    return true;
}

} // namespace

TCoord2 DraggedSource() {
    if (DragedBird && DragedBird->InUse()) return DragedBird->Source();
    if (const LiftedObject bonus = Actors().LiftedBonus(); bonus.InUse()) return bonus.Source;
    return Actors().LiftedKey().Source;
}

bool SomethingDragged() {
    return DraggedSource() != NoCell;
}

void CancelDrag() {
    bool cancelled = false;
    if (DragedBird && DragedBird->InUse()) {
        const TCoord2 source = DragedBird->Source();
        if (TBirdSprite* bird = BoardBirds[source.x][source.y]) bird->FEffect = beNormal;
        DragedBird->Hide();
        DragedBird->pX = DragedBird->pY = -1;
        cancelled = true;
    }
    if (Actors().LiftedBonus().InUse()) {
        Actors().CancelBonusLift();
        cancelled = true;
    }
    if (Actors().LiftedKey().InUse()) {
        Actors().CancelKeyLift();
        cancelled = true;
    }
    if (cancelled) SetDragCursor(false);
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
    const bool bossBonusDragged =
        s.Dragged == drag_Bonus && s.DraggedBonusKind == HamburgerBonusKind;
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
            const BonusState& bonus = s.Bonuses[c.x][c.y];
            if (bird && bird->FVisible && !bird->FBounded)
                PickUpBird(*bird);
            else if (bonus.Visible && bonus.BonusStatus == 0)
                PickUpBonus(c, bonus.Kind);
            else if (s.Keys[c.x][c.y])
                PickUpKey(c);
        }
        DragStartHandled = true;
    }

    // Release.
    if (BoardPointer.Released) {
        ClearPathPreview();
        ReleaseHandled = true;
        if (!AcceptRelease(c, s)) {
            CancelDrag();
            // The tutorial may have taken the cell before the board refused it: it hears that
            // the release went nowhere, or it would wait for an arrival that never comes.
            TutorialAllows(TutorialAction::Release, NoCell);
        }
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
