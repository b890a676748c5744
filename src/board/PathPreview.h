// The path preview: while something is dragged over a cell it can reach, particles run along the
// path from the dragged object's cell to the cell under the pointer.
#pragma once

#include "board/BoardTypes.h"
#include "render/Types.h"

#include <vector>

namespace bw {

// Once per tick in the level scene: recomputes the preview when the hovered cell changed or
// the board changed.
void UpdatePathPreview();
// Removes the preview (its points and the remembered cell).
void ClearPathPreview();
// Forgets the preview without freeing its sprite (the engine that owns it is going).
void ForgetPathPreview();
// The emitter points of the current preview, in design coordinates; empty when none.
const std::vector<TPoint2>& PathPreviewPoints();
// The cell the preview was computed for, (-1, -1) when none.
TCoord2 PathPreviewCell();

// The points of a preview along `path`: for every step, from the later cell's position
// towards the earlier one in steps of 5 units, up to and including the first point that no
// longer gets closer. Positions are the cells' positions plus `offset`.
std::vector<TPoint2> PathPreviewPointsFor(const TCoords2Array& path, TPoint2 offset);

} // namespace bw
