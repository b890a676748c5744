#include "Engine/KilnSprite/SpriteEngine.h"

#include "render/DisplayState.h"

namespace bw {

TSpriteEngine::TSpriteEngine(Canvas* canvas, TKilnImages* images)
    : TSprite(nullptr), FImages(images), FCanvas(canvas) {}

TSpriteEngine::~TSpriteEngine() {
    // Children reach back into the engine while they are freed, so they go first.
    Clear();
    FDeadList.clear();
}

void TSpriteEngine::SetZoom(float zoom) {
    FZoom = zoom;
    FSizeZoom = zoom;
}

void TSpriteEngine::Draw() {
    FDrawCount = 0;
    TSprite::Draw();
}

void TSpriteEngine::DrawOnly(SpriteFilter filter) {
    FDrawCount = 0;
    TSprite::DrawOnly(filter);
}

void TSpriteEngine::Dead() {
    // Freeing a sprite also takes its dead descendants off the list.
    while (!FDeadList.empty()) {
        TSprite* sprite = FDeadList.back();
        FDeadList.pop_back();
        delete sprite;
    }
}

const TSpriteEngine::VisibleBounds& TSpriteEngine::VisibleLimits() const {
    VisibleBounds& l = FLimits;
    if (l.valid && l.zoom == FZoom && l.scaleX == DisplayScale.x && l.scaleY == DisplayScale.y &&
        l.worldX == FWorldX && l.worldY == FWorldY && l.left == FVisibleLeft &&
        l.top == FVisibleTop && l.width == FVisibleWidth && l.height == FVisibleHeight) {
        return l;
    }
    l.zoom = FZoom;
    l.scaleX = DisplayScale.x;
    l.scaleY = DisplayScale.y;
    l.worldX = FWorldX;
    l.worldY = FWorldY;
    l.left = FVisibleLeft;
    l.top = FVisibleTop;
    l.width = FVisibleWidth;
    l.height = FVisibleHeight;
    const double zoom = FZoom;
    l.right = FWorldX + FVisibleWidth / zoom / l.scaleX;
    l.bottom = FWorldY + FVisibleHeight / zoom / l.scaleY;
    l.leftBase = FVisibleLeft + static_cast<double>(FWorldX);
    l.topBase = FVisibleTop + static_cast<double>(FWorldY);
    l.defaultMarginX = 2.0 * 64 / zoom / l.scaleX;
    l.defaultMarginY = 2.0 * 64 / zoom / l.scaleY;
    // NaN inputs never compare equal, so such a state is simply recomputed each time.
    l.valid = true;
    return l;
}

} // namespace bw
