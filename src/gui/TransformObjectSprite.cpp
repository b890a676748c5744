#include "gui/TransformObjectSprite.h"

#include "Engine/KilnSprite/SpriteMath.h"

namespace bw {

TTransformObjectSprite::TTransformObjectSprite(TSprite* parent) : TAnimatedSprite(parent) {
    SetDrawMode(3);
}

void TTransformObjectSprite::Calculate4Coords() {
    const double w = static_cast<double>(GetPatternWidth()) * FScaleX;
    const double h = static_cast<double>(GetPatternHeight()) * FScaleY;
    const auto right = static_cast<float>(FX + w);
    const auto bottom = static_cast<float>(FY + h);
    FX1 = FX;
    FY1 = FY;
    FX2 = right;
    FY2 = FY;
    FX3 = right;
    FY3 = bottom;
    FX4 = FX;
    FY4 = bottom;
}

void TTransformObjectSprite::CalculateTransform() {
    FTimeCounter += 1.0;
    if (FTimeCounter > TimeCounterLimit) FTimeCounter = 0.0;
    Calculate4Coords();

    std::array<float*, 4> xs{&FX1, &FX2, &FX3, &FX4};
    std::array<float*, 4> ys{&FY1, &FY2, &FY3, &FY4};
    for (std::size_t i = 0; i < FTransformInfo.size(); ++i) {
        const TTransformInfo& t = FTransformInfo[i];
        if (!t.EnabledX && !t.EnabledY) continue;
        // The table lookups wrap the step into 0 .. 2047.
        const int step = KilnRound(FTimeCounter * t.Speed);
        if (t.EnabledX) *xs[i] = static_cast<float>(*xs[i] + Cos2048(step) * t.RadiusX);
        if (t.EnabledY) *ys[i] = static_cast<float>(*ys[i] + Sin2048(step) * t.RadiusY);
    }
}

void TTransformObjectSprite::DoMove(float moveCount) {
    if (!FVisible) return;
    TAnimatedSprite::DoMove(moveCount);
    if (!FDeaded && !FManualCalculate) CalculateTransform();
}

} // namespace bw
