#include "base/CursorPoint.h"

namespace bw {

TCursorPoint::TCursorPoint(TSprite* parent) : TAnimatedSprite(parent) {
    SetImageName("blackpixel.image");
    FManualRender = true;
    FVisible = false;
    FCollisioned = true;
    FCollideMode = cmRect;
    FX = 0;
    FY = 0;
    FCollideRect = TRect{-1, -1, 1, 1};
}

void TCursorPoint::DoCollision(TSprite& sprite) {
    if (onHit) onHit(sprite);
}

} // namespace bw
