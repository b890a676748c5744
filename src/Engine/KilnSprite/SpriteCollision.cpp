#include "Engine/KilnSprite/SpriteCollision.h"

#include <cmath>
#include <utility>

namespace bw {

bool CirclesOverlap(TPoint2 a, int radiusA, TPoint2 b, int radiusB) {
    const double reach = static_cast<double>(radiusA) + static_cast<double>(radiusB);
    if (reach <= 0.0) return false;
    const double dx = static_cast<double>(a.x) - b.x;
    const double dy = static_cast<double>(a.y) - b.y;
    return dx * dx + dy * dy < reach * reach;
}

bool RectsOverlap(const TRect& a, const TRect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

bool QuadrangleContains(const TPoint4& quad, TPoint2 p) {
    for (size_t i = 0; i < 4; ++i) {
        const TPoint2& c0 = quad[i];
        const TPoint2& c1 = quad[(i + 1) % 4];
        const double cross =
            (static_cast<double>(c1.x) - c0.x) * (static_cast<double>(p.y) - c0.y) -
            (static_cast<double>(c1.y) - c0.y) * (static_cast<double>(p.x) - c0.x);
        if (cross < 0.0) return false;
    }
    return true;
}

bool QuadranglesOverlap(const TPoint4& quad, const TPoint4& other) {
    for (const TPoint2& corner : other) {
        if (QuadrangleContains(quad, corner)) return true;
    }
    return false;
}

bool PolygonContains(const TKilnPolygon& poly, TPoint2 p) {
    const size_t n = poly.size();
    if (n < 3) return false;
    bool inside = false;
    for (size_t i = 0, j = n - 1; i < n; j = i++) {
        const double xi = poly[i].x, yi = poly[i].y;
        const double xj = poly[j].x, yj = poly[j].y;
        if ((yi > p.y) != (yj > p.y)) {
            const double crossX = (xj - xi) * (static_cast<double>(p.y) - yi) / (yj - yi) + xi;
            if (p.x < crossX) inside = !inside;
        }
    }
    return inside;
}

namespace {

// Walks one edge at whole x positions (both ends included) and tests each point.
bool EdgeTouches(TPoint2 from, TPoint2 to, const TKilnPolygon& other) {
    if (PolygonContains(other, from) || PolygonContains(other, to)) return true;
    double x1 = from.x, y1 = from.y, x2 = to.x, y2 = to.y;
    if (x1 > x2) {
        std::swap(x1, x2);
        std::swap(y1, y2);
    }
    const double width = x2 - x1;
    if (!(width >= 1.0)) return false; // vertical (or NaN) edge: its ends were tested
    // Absurdly long edges are walked in at most 65536 steps.
    const double step = width > 65536.0 ? width / 65536.0 : 1.0;
    const double slope = (y2 - y1) / width;
    for (double x = std::ceil(x1); x <= x2; x += step) {
        const TPoint2 p{static_cast<float>(x), static_cast<float>(y1 + (x - x1) * slope)};
        if (PolygonContains(other, p)) return true;
    }
    return false;
}

} // namespace

bool PolygonsOverlap(const TKilnPolygon& a, const TKilnPolygon& b) {
    const TKilnPolygon& walked = b.size() < a.size() ? b : a;
    const TKilnPolygon& tested = b.size() < a.size() ? a : b;
    const size_t n = walked.size();
    for (size_t i = 0; i < n; ++i) {
        if (EdgeTouches(walked[i], walked[(i + 1) % n], tested)) return true;
    }
    return false;
}

} // namespace bw
