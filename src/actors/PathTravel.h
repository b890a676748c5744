// A bonus or a key lifted by the player and travelling along its path of cells: the same
// put-down, cancel and walk for both, tick by tick.
#pragma once

#include "audio/SoundEngine.h"
#include "base/Player.h"
#include "board/BirdSprites.h"
#include "board/Board.h"
#include "board/BoardHost.h"
#include "board/BoardSprites.h"

#include <algorithm>

namespace bw {

// Aims the mover at cell `index` of its path, `offset` from that cell's centre.
template <class Mover> void AimAlongPath(Mover& m, int index, TPoint2 offset) {
    m.FPathIndex = index;
    const TCoord2 from = m.FMovePath[static_cast<size_t>(index - 1)];
    const TCoord2 to = m.FMovePath[static_cast<size_t>(index)];
    const TLevelSprite* cell = IsPlayableCell(to) ? BoardCells[to.x][to.y] : nullptr;
    const TPoint2 centre = cell ? cell->FCenter : TPoint2{};
    m.FTarget = TPoint2{centre.x + offset.x, centre.y + offset.y};
    m.FMoveAngle = AngleTo(TPoint2{m.FX, m.FY}, m.FTarget);
    m.FPreviousDistance = 77777.0;
    m.FMoveDirection = StepDirection(from, to);
}

// Sets the mover off along `path` (its start cell first, at least two cells): it is drawn at
// `secondSlotZ`, the depth of the second cell's slot, and 3 in front of it unless it goes down;
// its speed grows with the length of the way, and so does the pitch of the move loop. The
// location's step effect puffs up on the start cell, as on every cell it leaves.
template <class Mover> void SetOffAlongPath(Mover& m, const TCoords2Array& path, int secondSlotZ) {
    m.SetZ(path[1].y > path[0].y ? secondSlotZ : secondSlotZ + 3);
    m.FMovePath = path;
    m.FMovesCount = static_cast<int>(path.size()) - 1;
    m.FSpeed = static_cast<float>(std::min(12, 2 * m.FMovesCount));
    m.AimAt(1);
    const TCoord2 start = path[0];
    const TLevelSprite* startCell = IsPlayableCell(start) ? BoardCells[start.x][start.y] : nullptr;
    BurstStepEffect(TPoint2{m.FX, m.FY}, m.FMoveDirection, start,
                    startCell ? startCell->FZ : CellZ(start.y));
    SfxStopByName("sfx_object_move.ogg");
    SfxLoopByName("sfx_object_move.ogg", 0.4f + 0.6f * m.FSpeed / 12.0f);
}

// One tick of the walk: the mover flies towards its next cell and, once past it, turns to the
// one after, with the location's step effect and the dip of a floating cell on the cell it
// leaves. True when it has reached the last cell. `slotZ` gives the depth of a cell's slot of
// the mover's kind (the cell's own depth + 3).
template <class Mover, class SlotZ> bool TravelStep(Mover& m, float moveCount, SlotZ slotZ) {
    m.FAnimSpeed = std::min(0.85f, m.FSpeed * 0.15f + 0.2f);
    if (!FlyTowards(m, m.FTarget, m.FMoveAngle, m.FSpeed, moveCount, m.FPreviousDistance))
        return false;
    if (m.FPathIndex < m.FMovesCount)
        m.SetZ(slotZ(m.FMovePath[static_cast<size_t>(m.FPathIndex + 1)]) + 3);
    m.FPathIndex += 1;
    if (m.FPathIndex > m.FMovesCount) return true;
    const TCoord2 reached = m.FMovePath[static_cast<size_t>(m.FPathIndex - 1)];
    BurstStepEffect(TPoint2{m.FX, m.FY}, m.FMoveDirection, reached, slotZ(reached) - 3);
    m.AimAt(m.FPathIndex);
    DipFloatingCell(reached);
    return false;
}

// The dragged copy of a lifted bonus or key forgets its cell and hides.
template <class Dragged> void PutDownDragged(Dragged* dragged) {
    if (!dragged) return;
    dragged->pX = dragged->pY = -1;
    dragged->Hide();
}

// A lift that goes back: the slot at the lifted cell (`slotAt` finds it) is drawn normally
// again and, when it still stands there, restarts its effect; the dragged copy is put down.
template <class Dragged, class SlotAt> void CancelLiftOf(Dragged* dragged, SlotAt slotAt) {
    if (!dragged || !dragged->InUse()) return;
    if (auto* slot = slotAt(dragged->Source())) {
        slot->FEffect = beNormal;
        if (slot->Standing()) slot->StartFx();
    }
    PutDownDragged(dragged);
}

// A move of a lifted bonus or key starts: it counts as the player's move, the task panel
// reads it, and the dragged copy is put down (the travelling sprite takes over).
template <class Dragged> void CountMoveAndPutDown(Dragged* dragged) {
    Player.LevelMoves += 1;
    Host().RefreshTask(false);
    PutDownDragged(dragged);
}

} // namespace bw
