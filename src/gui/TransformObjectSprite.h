// A picture drawn through its four corners, each of which can sway on an ellipse (foliage,
// logos, hanging boards). The corners are the sprite's FX1/FY1 .. FX4/FY4 (draw mode 3).
#pragma once

#include "Engine/KilnSprite/KilnSprite.h"

#include <array>

namespace bw {

// How one corner sways: x on the cosine, y on the sine of the same angle.
struct TTransformInfo {
    bool EnabledX = false;
    bool EnabledY = false;
    double RadiusX = 0.0; // design units
    double RadiusY = 0.0;
    double Speed = 0.0; // angle steps per tick, 2048 steps per turn
};

// Corners in the order top-left, top-right, bottom-right, bottom-left.
using TTransformInfoClass = std::array<TTransformInfo, 4>;

class TTransformObjectSprite : public TAnimatedSprite {
public:
    // Ticks after which the sway counter starts again from 0.
    static constexpr double TimeCounterLimit = 31400.0;

    explicit TTransformObjectSprite(TSprite* parent);

    TTransformInfoClass FTransformInfo{};
    double FTimeCounter = 0.0; // ticks since the sway started
    TPoint2 FStartPos;         // a home position for derived classes; unused here
    // When set, the owner positions the corners itself (Calculate4Coords after each move).
    bool FManualCalculate = false;

    // Sets the four corners to the unswayed rectangle of the pattern at the position and scale.
    void Calculate4Coords();
    // One tick of the sway: counter, unswayed corners, then each enabled corner's offset.
    void CalculateTransform();

    // While visible: the animation step, then (unless dead or calculated manually) the sway.
    void DoMove(float moveCount) override;
};

} // namespace bw
