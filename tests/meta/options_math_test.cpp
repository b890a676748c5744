#include "meta/OptionsMath.h"

#include <gtest/gtest.h>

#include <limits>

namespace bw {
namespace {

TEST(SliderMath, ArrowsStepByATenthAndStayInRange) {
    EXPECT_FLOAT_EQ(ArrowStep(0.05f, -1), 0.0f);
    EXPECT_FLOAT_EQ(ArrowStep(0.0f, -1), 0.0f);
    EXPECT_FLOAT_EQ(ArrowStep(0.95f, 1), 1.0f);
    EXPECT_FLOAT_EQ(ArrowStep(0.5f, 1), 0.6f);
    // A value that came in out of range is brought back before the step.
    EXPECT_FLOAT_EQ(ArrowStep(7.0f, -1), 0.9f);
    EXPECT_FLOAT_EQ(ArrowStep(-3.0f, 1), 0.1f);
    EXPECT_FLOAT_EQ(ArrowStep(std::numeric_limits<float>::quiet_NaN(), 1), 0.1f);
    // Six steps up from 0 are the single-precision sum that "Game.ini" then keeps.
    float v = 0;
    for (int i = 0; i < 6; ++i) v = ArrowStep(v, 1);
    EXPECT_EQ(v, 0.1f + 0.1f + 0.1f + 0.1f + 0.1f + 0.1f);
}

TEST(SliderMath, HandleAndValueMapOntoTheTravel) {
    EXPECT_FLOAT_EQ(SliderHandleX(809, 0), 819);
    EXPECT_FLOAT_EQ(SliderHandleX(809, 1), 1061);
    EXPECT_FLOAT_EQ(SliderHandleX(809, 0.5f), 940);
    EXPECT_FLOAT_EQ(SliderValueAt(809, 940), 0.5f);
    EXPECT_FLOAT_EQ(SliderValueAt(809, 700), 0.0f);
    EXPECT_FLOAT_EQ(SliderValueAt(809, 5000), 1.0f);
}

TEST(SliderMath, DraggingStopsAtBothEndsOfTheRange) {
    // A 304 wide slider at 809 with a 30 wide handle.
    EXPECT_FLOAT_EQ(DraggedHandleX(2000, 30, 809, 1113), 1113 - 52);
    EXPECT_FLOAT_EQ(SliderValueAt(809, DraggedHandleX(2000, 30, 809, 1113)), 1.0f);
    EXPECT_FLOAT_EQ(DraggedHandleX(0, 30, 809, 1113), 819);
    EXPECT_FLOAT_EQ(DraggedHandleX(900, 30, 809, 1113), 885);
    // A slider whose picture is missing (no width) or too narrow: the handle stays at the left
    // limit and the value at 0, never outside 0 .. 1.
    EXPECT_FLOAT_EQ(DraggedHandleX(2000, 0, 809, 809), 819);
    EXPECT_FLOAT_EQ(SliderValueAt(809, DraggedHandleX(2000, 0, 809, 809)), 0.0f);
    EXPECT_FLOAT_EQ(DraggedHandleX(std::numeric_limits<float>::quiet_NaN(), 30, 809, 1113), 819);
    // A wider picture lets the handle past value 1; the value still stops there.
    EXPECT_FLOAT_EQ(SliderValueAt(809, DraggedHandleX(5000, 30, 809, 1500)), 1.0f);
}

TEST(SliderMath, FillRunsFromTheSliderStartToTheHandle) {
    const TPoint2 slider{809, 406};
    EXPECT_TRUE(SliderFillFor(slider, SliderHandleX(809, 0), 0).emitters.empty());
    EXPECT_EQ(SliderFillFor(slider, SliderHandleX(809, 0), 0).rate, 0);

    // 0.05: the handle at 831.1, emitters at 829, 830 and 831; round(1.8) + 1.
    const SliderFill low = SliderFillFor(slider, SliderHandleX(809, 0.05f), 0.05f);
    ASSERT_EQ(low.emitters.size(), 3u);
    EXPECT_EQ(low.emitters.front(), (TPoint{829, 417}));
    EXPECT_EQ(low.emitters.back(), (TPoint{831, 417}));
    EXPECT_EQ(low.rate, 3);

    // Full: 829 .. 1061 inclusive, round(139.8) + 1.
    const SliderFill full = SliderFillFor(slider, SliderHandleX(809, 1), 1);
    EXPECT_EQ(full.emitters.size(), 233u);
    EXPECT_EQ(full.emitters.back(), (TPoint{1061, 417}));
    EXPECT_EQ(full.rate, 141);

    // Above 0 but the handle not yet past the start: no emitters, rate 1.
    const SliderFill tiny = SliderFillFor(slider, SliderHandleX(809, 0.01f), 0.01f);
    EXPECT_TRUE(tiny.emitters.empty());
    EXPECT_EQ(tiny.rate, 1);
}

TEST(CreditsLayout, TitlesAndNamesStepDownTheList) {
    const std::vector<TTSCreditText> three{
        {"Code", {"Ann", "Bo"}}, {"Art", {"Cy", "Di"}}, {"Sound", {"Ed", "Flo"}}};
    EXPECT_FLOAT_EQ(CreditsHeight(three), 3 * 80 + 6 * 50);
    const std::vector<CreditsLine> lines = LayOutCredits(three);
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_TRUE(lines[0].title);
    EXPECT_FLOAT_EQ(lines[0].y, 80);
    EXPECT_EQ(lines[1].text, "Ann");
    EXPECT_FLOAT_EQ(lines[2].y, 180);
    EXPECT_FLOAT_EQ(lines[3].y, 260);
    EXPECT_EQ(lines[3].text, "Art");

    // An empty slot of the section still takes a title's place; an empty list has no height.
    EXPECT_FLOAT_EQ(CreditsHeight({{}, {"Thanks", {}}}), 160);
    EXPECT_FLOAT_EQ(CreditsHeight({}), 0);
}

} // namespace
} // namespace bw
