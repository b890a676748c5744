#include "meta/OptionsMath.h"

#include "Engine/KilnSprite/SpriteMath.h"

#include <algorithm>
#include <cmath>

namespace bw {

float ClampVolume(float value) {
    if (std::isnan(value)) return 0.0f;
    return std::clamp(value, 0.0f, 1.0f);
}

float ArrowStep(float value, int direction) {
    const float step = direction < 0 ? -SliderArrowStep : SliderArrowStep;
    return ClampVolume(ClampVolume(value) + step);
}

float SliderHandleX(float sliderX, float value) {
    return sliderX + ClampVolume(value) * SliderTravel + SliderHandleStart;
}

float DraggedHandleX(float pointerX, float handleWidth, float rangeLeft, float rangeRight) {
    const float low = rangeLeft + SliderHandleStart;
    const float high = std::max(low, rangeRight - SliderDragEndGap);
    const float x = pointerX - handleWidth / 2.0f;
    if (std::isnan(x)) return low;
    return std::clamp(x, low, high);
}

float SliderValueAt(float sliderX, float handleX) {
    return ClampVolume((handleX - sliderX - SliderHandleStart) / SliderTravel);
}

SliderFill SliderFillFor(TPoint2 slider, float handleX, float value) {
    SliderFill fill;
    if (!(value > 0.0f)) return fill;
    const int y = KilnRound(slider.y) + SliderFillY;
    for (int x = KilnRound(slider.x) + SliderFillStart; static_cast<float>(x) <= handleX; ++x)
        fill.emitters.push_back(TPoint{x, y});
    fill.rate = KilnRound(static_cast<double>(fill.emitters.size()) * 0.6) + 1;
    return fill;
}

std::vector<CreditsLine> LayOutCredits(const std::vector<TTSCreditText>& credits) {
    std::vector<CreditsLine> lines;
    float y = 0;
    for (const TTSCreditText& credit : credits) {
        y += CreditsTitleStep;
        lines.push_back(CreditsLine{y, credit.Title, true});
        for (const std::string& name : credit.Names) {
            y += CreditsNameStep;
            lines.push_back(CreditsLine{y, name, false});
        }
    }
    return lines;
}

float CreditsHeight(const std::vector<TTSCreditText>& credits) {
    const std::vector<CreditsLine> lines = LayOutCredits(credits);
    return lines.empty() ? 0.0f : lines.back().y;
}

} // namespace bw
