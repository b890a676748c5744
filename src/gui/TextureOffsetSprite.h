// A rectangle whose texture can scroll, tile over a larger area or show only part of the
// image: progress bars, scrolling clouds and water, repeated panel strips, fill indicators.
#pragma once

#include "Engine/KilnSprite/KilnSprite.h"

namespace bw {

// Texture placement as a pattern and a rectangle in texture units (kept for debugging; the
// drawing does not read it).
struct TTexCoordDouble {
    int Pattern = 0;
    double x = 0.0;
    double y = 0.0;
    double w = 0.0;
    double h = 0.0;
    bool Flip = false;
    bool Mirror = false;
};

class TTextureOffsetSprite : public TSpriteEx {
public:
    explicit TTextureOffsetSprite(TSprite* parent);

    // Texture offset: 1.0 shifts the texture by the whole drawn width or height (one image
    // copy when the render size is 0).
    TPoint2 fTranspose;
    // Change of fTranspose per update tick while fDoTextureMove is set.
    TPoint2 fSpeed;
    bool fDoTextureMove = true;
    // Refreshed every tick from the pattern and fTranspose.
    TTexCoordDouble fTC_Double;
    // Drawn size per axis in design units: 0 is the image's own size; a larger size repeats
    // the image; a negative size draws upward or leftward from the position and shows the
    // image's last rows or columns (a fill that grows from the bottom).
    TPoint fRenderSize;

    void DoMove(float moveCount) override;
    void DoDraw() override;
    // Copies the five fields above, the position, Z and scale, then the inherited fields.
    void Assign(const TSprite& source) override;
};

} // namespace bw
