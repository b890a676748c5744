// The black bars at the screen's edges: on a window of another shape than the 1920 x 1080
// design canvas they cover what lies beyond the canvas (left and right on wide windows, above
// and below on portrait ones and in cut-scenes), in front of the scene and under the panels
// drawn above Z 6000. The fade and the shades cover only the canvas; the bars keep the rest
// black under them too.
#pragma once

#include "Engine/KilnSprite/KilnSprite.h"
#include "render/Types.h"

#include <array>

namespace bw {

// The bar modes the screen mode sets: none, left and right, top and bottom.
inline constexpr int ScreenEdgesNone = 0;
inline constexpr int ScreenEdgesSides = 1;
inline constexpr int ScreenEdgesTopBottom = 2;
inline constexpr int ScreenEdgesZ = 6000;

class TBlackRectangle final : public TAnimatedSprite {
public:
    explicit TBlackRectangle(TSprite* parent);
    ~TBlackRectangle() override;

    // `mode` as above; `thickness` is the world offset of the cropped axis (negative: the
    // bars' width in design units).
    void SetMode(int mode, float thickness);
    int Mode() const { return FMode; }
    float Thickness() const { return FThickness; }
    // The shown bars for the engine's current visible area, as design rectangles (empty ones
    // for hidden bars), in the order left, right, top, bottom.
    std::array<TRect, 4> Bars() const;

    void DoDraw() override;

    TAnimatedSprite* FLeft = nullptr;
    TAnimatedSprite* FRight = nullptr;
    TAnimatedSprite* FTop = nullptr;
    TAnimatedSprite* FBottom = nullptr;

private:
    int FMode = ScreenEdgesNone;
    float FThickness = 0;
};

// Creates the bars in `engine` (once the main pictures are there); they live as long as the
// engine. Told no mode yet, they show nothing.
void CreateScreenEdges(TSprite* engine);
// The screen mode's hook: does nothing before CreateScreenEdges.
void SetScreenEdges(int mode, float thickness);
// The bars, null before they are created or once their engine is gone.
const TBlackRectangle* ScreenEdges();

} // namespace bw
