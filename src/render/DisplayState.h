// How the 1920 x 1080 design canvas maps onto the window's client area.
//
// Both values are written only by the screen-mode code whenever the window size or mode
// changes. The sprite layer multiplies design coordinates by DisplayScale when it hands
// corner points to the canvas; text drawing and the pointer mapping also read WorldOffset.
// Sprite engines do not read WorldOffset: whoever changes the screen mode copies it into the
// engines' own world position (FWorldX, FWorldY).
#pragma once

#include "render/Types.h"

namespace bw {

// Client pixels per design unit (both components are kept equal).
inline TPoint2 DisplayScale{1.0f, 1.0f};
// The design-space point shown at the client's top-left corner (whole-numbered).
inline TPoint2 WorldOffset{0.0f, 0.0f};

} // namespace bw
