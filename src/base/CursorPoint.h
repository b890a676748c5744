// The one-pixel sprite through which the mouse reaches sprites, and the drawn pointer.
#pragma once

#include "Engine/KilnSprite/KilnSprite.h"

#include <functional>

namespace bw {

class TCursorPoint final : public TAnimatedSprite {
public:
    explicit TCursorPoint(TSprite* parent);
    // Hands every sprite the pointer touches to the frame's router.
    void DoCollision(TSprite& sprite) override;
    std::function<void(TSprite&)> onHit;
};

} // namespace bw
