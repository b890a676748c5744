#include "render/Canvas.h"

#include <algorithm>
#include <cmath>

namespace bw {

void Canvas::UseTexturePx(TextureId tex, const TRect& src, bool mirror, bool flip) {
    const TPoint2px size = TextureSize(tex);
    if (size.x <= 0 || size.y <= 0) {
        UseNoTexture();
        return;
    }
    float u0 = static_cast<float>(src.left) / static_cast<float>(size.x);
    float u1 = static_cast<float>(src.right) / static_cast<float>(size.x);
    float v0 = static_cast<float>(src.top) / static_cast<float>(size.y);
    float v1 = static_cast<float>(src.bottom) / static_cast<float>(size.y);
    if (mirror) std::swap(u0, u1);
    if (flip) std::swap(v0, v1);
    UseTexture(tex, TPoint4{TPoint2{u0, v0}, TPoint2{u1, v0}, TPoint2{u1, v1}, TPoint2{u0, v1}});
}

void Canvas::UseNoTexture() {
    UseTexture(kNoTexture, TPoint4{TPoint2{0, 0}, TPoint2{1, 0}, TPoint2{1, 1}, TPoint2{0, 1}});
}

void Canvas::FillQuad(const TPoint4& corners, const TColor4& colors, TBlendingEffect effect) {
    UseNoTexture();
    TexMap(corners, colors, effect);
}

void Canvas::PutPixel(float x, float y, TColor color, TBlendingEffect effect) {
    FillQuad(TPoint4{TPoint2{x, y}, TPoint2{x + 1, y}, TPoint2{x + 1, y + 1}, TPoint2{x, y + 1}},
             TColor4(color), effect);
}

namespace {

uint32_t LerpChannel(uint32_t a, uint32_t b, float t) {
    return static_cast<uint32_t>(
        std::lround(static_cast<float>(a) + (static_cast<float>(b) - static_cast<float>(a)) * t));
}

TColor LerpColor(TColor a, TColor b, float t) {
    return MakeColor(
        LerpChannel(ColorRed(a), ColorRed(b), t), LerpChannel(ColorGreen(a), ColorGreen(b), t),
        LerpChannel(ColorBlue(a), ColorBlue(b), t), LerpChannel(ColorAlpha(a), ColorAlpha(b), t));
}

// Bilinear colour of the point (fx, fy) in 0..1 over the four corner colours.
TColor CornerColor(const TColor4& c, float fx, float fy) {
    fx = std::clamp(fx, 0.0f, 1.0f);
    fy = std::clamp(fy, 0.0f, 1.0f);
    return LerpColor(LerpColor(c[0], c[1], fx), LerpColor(c[3], c[2], fx), fy);
}

} // namespace

void Canvas::FillArc(TPoint2 center, float radius, float from, float to, int segments,
                     const TColor4& colors, TBlendingEffect effect) {
    if (segments <= 0 || radius <= 0.0f) return;
    segments = std::min(segments, 4096);
    auto colorAt = [&](float x, float y) {
        return CornerColor(colors, (x - center.x + radius) / (2 * radius),
                           (y - center.y + radius) / (2 * radius));
    };
    std::vector<ColorVertex> tris;
    tris.reserve(static_cast<size_t>(segments) * 3);
    const ColorVertex mid{center, colorAt(center.x, center.y)};
    const float step = (to - from) / static_cast<float>(segments);
    for (int i = 0; i < segments; ++i) {
        const float a0 = from + step * static_cast<float>(i);
        const float a1 = from + step * static_cast<float>(i + 1);
        const TPoint2 p0{center.x + std::cos(a0) * radius, center.y + std::sin(a0) * radius};
        const TPoint2 p1{center.x + std::cos(a1) * radius, center.y + std::sin(a1) * radius};
        tris.push_back(mid);
        tris.push_back({p0, colorAt(p0.x, p0.y)});
        tris.push_back({p1, colorAt(p1.x, p1.y)});
    }
    DrawTriangles(tris.data(), tris.size(), effect);
}

} // namespace bw
