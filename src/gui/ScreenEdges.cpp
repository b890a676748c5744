#include "gui/ScreenEdges.h"

#include "Engine/KilnSprite/SpriteEngine.h"
#include "render/DisplayState.h"

#include <algorithm>
#include <cmath>

namespace bw {

namespace {

TBlackRectangle* GEdges = nullptr;

// A bar reaches this far past the window's edge, so that rounding never leaves a seam.
constexpr float Overhang = 2.0f;

TAnimatedSprite* NewBar(TSprite* parent) {
    auto* bar = new TAnimatedSprite(parent);
    bar->SetImageName("blackpixel.image");
    bar->FManualRender = true;
    bar->FVisible = false;
    return bar;
}

TRect Span(float left, float top, float right, float bottom) {
    if (right <= left || bottom <= top) return TRect{};
    return TRect{static_cast<int>(std::floor(left)), static_cast<int>(std::floor(top)),
                 static_cast<int>(std::ceil(right)), static_cast<int>(std::ceil(bottom))};
}

} // namespace

TBlackRectangle::TBlackRectangle(TSprite* parent) : TAnimatedSprite(parent) {
    SetZ(ScreenEdgesZ);
    FLeft = NewBar(this);
    FRight = NewBar(this);
    FTop = NewBar(this);
    FBottom = NewBar(this);
}

TBlackRectangle::~TBlackRectangle() {
    if (GEdges == this) GEdges = nullptr;
}

void TBlackRectangle::SetMode(int mode, float thickness) {
    FMode = mode;
    FThickness = thickness;
}

std::array<TRect, 4> TBlackRectangle::Bars() const {
    std::array<TRect, 4> bars{};
    if (!FEngine || FMode == ScreenEdgesNone) return bars;
    // The window in design units: the engine's world position and its client size.
    const float scale = std::max(DisplayScale.x, 0.0001f);
    const float left = std::trunc(FEngine->FWorldX);
    const float top = std::trunc(FEngine->FWorldY);
    const float right = left + static_cast<float>(FEngine->FVisibleWidth) / scale;
    const float bottom = top + static_cast<float>(FEngine->FVisibleHeight) / scale;
    const float width = 1920.0f;
    const float height = 1080.0f;
    if (FMode == ScreenEdgesSides) {
        bars[0] = Span(left - Overhang, top - Overhang, 0.0f, bottom + Overhang);
        bars[1] = Span(width, top - Overhang, right + Overhang, bottom + Overhang);
    } else if (FMode == ScreenEdgesTopBottom) {
        bars[2] = Span(left - Overhang, top - Overhang, right + Overhang, 0.0f);
        bars[3] = Span(left - Overhang, height, right + Overhang, bottom + Overhang);
    }
    return bars;
}

void TBlackRectangle::DoDraw() {
    // Laid out when drawn: the screen mode sets the engine's visible size after the mode.
    const std::array<TRect, 4> bars = Bars();
    const std::array<TAnimatedSprite*, 4> sprites{FLeft, FRight, FTop, FBottom};
    for (size_t i = 0; i < sprites.size(); ++i) {
        TAnimatedSprite* bar = sprites[i];
        const TRect& r = bars[i];
        bar->FVisible = r.Width() > 0 && r.Height() > 0;
        if (!bar->FVisible) continue;
        bar->FX = static_cast<float>(r.left);
        bar->FY = static_cast<float>(r.top);
        bar->FScaleX = static_cast<float>(r.Width());
        bar->FScaleY = static_cast<float>(r.Height());
        bar->DoDraw();
    }
}

void CreateScreenEdges(TSprite* engine) {
    if (!engine) return;
    if (GEdges) GEdges->Dead();
    GEdges = new TBlackRectangle(engine);
}

void SetScreenEdges(int mode, float thickness) {
    if (GEdges) GEdges->SetMode(mode, thickness);
}

const TBlackRectangle* ScreenEdges() {
    return GEdges;
}

} // namespace bw
