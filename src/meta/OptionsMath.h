// The arithmetic of the options and credits screens, kept apart from their sprites: where a
// volume slider's handle sits for a value and the value for a dragged handle, the emitters of
// the slider's fill effect, and where each line of the credits list goes.
#pragma once

#include "data/TextRecords.h"
#include "render/Types.h"

#include <string_view>
#include <vector>

namespace bw {

// A volume slider. The handle sits SliderHandleStart units into the slider picture at value 0
// and SliderTravel units further at value 1; a drag stops it SliderDragEndGap units before the
// picture's right end.
inline constexpr float SliderTravel = 242.0f;
inline constexpr float SliderHandleStart = 10.0f;
inline constexpr float SliderDragEndGap = 52.0f;
inline constexpr float SliderHandleY = 5.0f;
inline constexpr float SliderArrowStep = 0.1f;
// The fill effect's emitters run from this far into the slider up to the handle, at this
// height.
inline constexpr int SliderFillStart = 20;
inline constexpr int SliderFillY = 11;

// A volume as the sliders keep it: 0 .. 1, a NaN counting as 0.
float ClampVolume(float value);
// The value after one click on an arrow (direction < 0 the left one), kept in 0 .. 1.
float ArrowStep(float value, int direction);
// The handle's x for a value.
float SliderHandleX(float sliderX, float value);
// Where a dragged handle goes with the pointer at `pointerX`: centred under the pointer,
// between rangeLeft + 10 and rangeRight - 52. A slider too short for that range (its picture
// missing or narrow) keeps the handle at the left limit.
float DraggedHandleX(float pointerX, float handleWidth, float rangeLeft, float rangeRight);
// The value a handle position stands for, in 0 .. 1 whatever the position.
float SliderValueAt(float sliderX, float handleX);

struct SliderFill {
    std::vector<TPoint> emitters; // design units
    int rate = 0;                 // the effect's emission rate
};
// At value 0 nothing. Otherwise one emitter at every whole x from slider x + 20 up to the
// handle's x (inclusive) at slider y + 11, and a rate of round(emitters x 0.6) + 1.
SliderFill SliderFillFor(TPoint2 slider, float handleX, float value);

// The credits list: a title 80 units below the line before it, each name 50 below the line
// before it.
inline constexpr float CreditsTitleStep = 80.0f;
inline constexpr float CreditsNameStep = 50.0f;

struct CreditsLine {
    float y = 0;           // below the list's start
    std::string_view text; // into the list it was laid out from
    bool title = false;
};
// Every line of the list in order. An entry without a title still takes its 80 units.
std::vector<CreditsLine> LayOutCredits(const std::vector<TTSCreditText>& credits);
// How far below its start the list's last line lies.
float CreditsHeight(const std::vector<TTSCreditText>& credits);

} // namespace bw
