// The geometric tests behind the four collision modes of sprites.
#pragma once

#include "render/Types.h"

#include <vector>

namespace bw {

using TKilnPolygon = std::vector<TPoint2>;

// The centres are closer than the sum of the radii.
bool CirclesOverlap(TPoint2 a, int radiusA, TPoint2 b, int radiusB);
// The rectangles share some area; touching borders do not count.
bool RectsOverlap(const TRect& a, const TRect& b);
// The point lies on the inner side of (or on) every edge of the quadrangle, whose corners run
// top-left, top-right, bottom-right, bottom-left (clockwise on a y-down screen).
bool QuadrangleContains(const TPoint4& quad, TPoint2 p);
// Some corner of `other` lies inside `quad`.
bool QuadranglesOverlap(const TPoint4& quad, const TPoint4& other);
// Even-odd ray crossing; polygons of fewer than three points contain nothing.
bool PolygonContains(const TKilnPolygon& poly, TPoint2 p);
// The edges of the polygon with fewer points (the first on a tie) are walked at whole x
// positions, ends included; one point inside the other polygon is a hit.
bool PolygonsOverlap(const TKilnPolygon& a, const TKilnPolygon& b);

} // namespace bw
