// Basic value types shared by every layer: points, rectangles, colours and blend effects.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace bw {

// Positions, scales and speeds in design units.
struct TPoint2 {
    float x = 0.0f;
    float y = 0.0f;
    friend bool operator==(const TPoint2&, const TPoint2&) = default;
};

// Pixel sizes and offsets.
struct TPoint2px {
    int32_t x = 0;
    int32_t y = 0;
    friend bool operator==(const TPoint2px&, const TPoint2px&) = default;
};
using TPoint = TPoint2px;

struct TRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    int32_t Width() const { return right - left; }
    int32_t Height() const { return bottom - top; }
    friend bool operator==(const TRect&, const TRect&) = default;
};

// Four corners: top-left, top-right, bottom-right, bottom-left.
using TPoint4 = std::array<TPoint2, 4>;

// Colours are 32-bit ARGB words, alpha in the top byte.
using TColor = uint32_t;

constexpr TColor MakeColor(uint32_t r, uint32_t g, uint32_t b, uint32_t a = 255) {
    return ((a & 0xFF) << 24) | ((r & 0xFF) << 16) | ((g & 0xFF) << 8) | (b & 0xFF);
}
constexpr uint32_t ColorAlpha(TColor c) {
    return c >> 24;
}
constexpr uint32_t ColorRed(TColor c) {
    return (c >> 16) & 0xFF;
}
constexpr uint32_t ColorGreen(TColor c) {
    return (c >> 8) & 0xFF;
}
constexpr uint32_t ColorBlue(TColor c) {
    return c & 0xFF;
}

// A vertical gradient: top and bottom colour.
struct TColor2 {
    TColor top = 0xFFFFFFFF;
    TColor bottom = 0xFFFFFFFF;
    friend bool operator==(const TColor2&, const TColor2&) = default;
};

// Four corner colours in the corner order of TPoint4.
struct TColor4 {
    std::array<TColor, 4> c{0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF};
    TColor4() = default;
    explicit TColor4(TColor all) : c{all, all, all, all} {}
    TColor4(TColor tl, TColor tr, TColor br, TColor bl) : c{tl, tr, br, bl} {}
    TColor& operator[](std::size_t i) { return c[i]; }
    const TColor& operator[](std::size_t i) const { return c[i]; }
    friend bool operator==(const TColor4&, const TColor4&) = default;
};

// How a quad is combined with what is already drawn; s is texel x corner colour with alpha a,
// d the destination.
enum TBlendingEffect : uint8_t {
    beUnknown = 0,     // keep whatever blend state was set last
    beNormal = 1,      // s*a + d*(1-a)
    beShadow = 2,      // d*(1-a)
    beAdd = 3,         // s*a + d
    beMultiply = 4,    // d*s
    beInvMultiply = 5, // d*(1-s)
    beSrcColor = 6,    // s*s + d*(1-s)
    beSrcColorAdd = 7, // s*s + d
};

} // namespace bw
