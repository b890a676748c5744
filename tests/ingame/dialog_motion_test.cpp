// The dialog panel's slide, fade, text placement and the characters' talking stages.
#include "ingame/DialogMotion.h"

#include <gtest/gtest.h>

#include <cmath>

namespace bw {
namespace {

// Slides a panel from its start to rest; the number of updates it takes, with the alphas
// seen on the way.
int Slide(float start, float rest, int direction, std::vector<int>* alphas = nullptr) {
    float x = start, speed = 5;
    for (int n = 1; n < 1000; ++n) {
        const bool arrived = DialogSlideStep(x, rest, direction, speed);
        if (alphas) alphas->push_back(DialogSlideAlpha(x, rest));
        if (arrived) {
            EXPECT_EQ(x, rest);
            return n;
        }
    }
    return -1;
}

TEST(DialogMotion, APanelSlidesInFromEitherSideSlowingDownAndFadingIn) {
    // From the left: the first step is (255 / 10 + 3) = 28.5, the panel eases in.
    float x = 345, speed = 0;
    EXPECT_FALSE(DialogSlideStep(x, 600, 0, speed));
    EXPECT_FLOAT_EQ(speed, 28.5f);
    EXPECT_FLOAT_EQ(x, 373.5f);
    EXPECT_EQ(DialogSlideAlpha(x, 600), 28); // 255 - 226.5, to the even
    // From the right: 5 + 255 / 10.
    x = 855;
    EXPECT_FALSE(DialogSlideStep(x, 600, 1, speed));
    EXPECT_FLOAT_EQ(speed, 30.5f);
    EXPECT_FLOAT_EQ(x, 824.5f);

    std::vector<int> alphas;
    const int left = Slide(345, 600, 0, &alphas);
    EXPECT_GT(left, 5);
    EXPECT_LT(left, 40);
    EXPECT_EQ(alphas.back(), 255);
    for (size_t i = 1; i < alphas.size(); ++i) EXPECT_GE(alphas[i], alphas[i - 1]);
    const int right = Slide(855, 600, 1);
    EXPECT_GT(right, 5);
    EXPECT_LT(right, 40);
    // Further away than 255 the panel is transparent.
    EXPECT_EQ(DialogSlideAlpha(0, 600), 0);
}

TEST(DialogMotion, AnUnknownDirectionArrivesAtOnceAndNeverHangs) {
    float x = 600, speed = 5;
    EXPECT_TRUE(DialogSlideStep(x, 600, 7, speed));
    EXPECT_EQ(Slide(600, 600, 255), 1);
    // Where a float step no longer moves the panel, it still arrives.
    const float far = -2147483648.0f;
    EXPECT_GT(Slide(DialogSlideStart(far, 1), far, 1), 0);
    EXPECT_GT(Slide(DialogSlideStart(far, 0), far, 0), 0);
    // A panel at rest already arrives on its first update from either side.
    EXPECT_EQ(Slide(600, 600, 0), 1);
    EXPECT_EQ(Slide(600, 600, 1), 1);
}

TEST(DialogMotion, TheTextBlockIsCentredOnThePanelAndThePanelBobsThreeUnits) {
    // Three lines 30 apart: the first one 30 above the single line's place.
    EXPECT_FLOAT_EQ(DialogTextY(720, 3, 30), 720 + 95 - 30);
    EXPECT_FLOAT_EQ(DialogTextY(720, 1, 30), 720 + 95);
    EXPECT_FLOAT_EQ(DialogTextY(720, 0, 30), 720 + 95);
    float low = 1e9f, high = -1e9f;
    for (double t = 0; t < 100; t += 0.1) {
        low = std::min(low, DialogBobY(720, t));
        high = std::max(high, DialogBobY(720, t));
    }
    EXPECT_NEAR(low, 717, 0.01);
    EXPECT_NEAR(high, 723, 0.01);
}

TEST(DialogMotion, BirdsTalkUntilTheirVoiceEndsAndWithoutOneStopAtOnce) {
    for (int bird : {1, 2}) {
        EXPECT_EQ(DialogNextTalkStage(bird, 1, false), 1) << "talking while the voice plays";
        EXPECT_EQ(DialogNextTalkStage(bird, 1, true), 2) << "voice 99 or the voice ended";
        EXPECT_EQ(DialogNextTalkStage(bird, 2, false), 2) << "the beak stays shut";
    }
    // The old bird swaps his beaks' sway back in stage 2 and rests in 3.
    EXPECT_EQ(DialogNextTalkStage(3, 1, false), 1);
    EXPECT_EQ(DialogNextTalkStage(3, 1, true), 2);
    EXPECT_EQ(DialogNextTalkStage(3, 2, false), 3);
    EXPECT_EQ(DialogNextTalkStage(3, 3, false), 3);
    // The boss resets its reference, talks, and rests.
    EXPECT_EQ(DialogNextTalkStage(4, 1, false), 2);
    EXPECT_EQ(DialogNextTalkStage(4, 1, true), 2);
    EXPECT_EQ(DialogNextTalkStage(4, 2, false), 2);
    EXPECT_EQ(DialogNextTalkStage(4, 2, true), 3);
    EXPECT_EQ(DialogNextTalkStage(4, 3, false), 4);
    EXPECT_EQ(DialogNextTalkStage(4, 4, true), 4);
    // A character that does not exist keeps its stage: nothing talks.
    EXPECT_EQ(DialogNextTalkStage(0, 1, true), 1);
}

TEST(DialogMotion, TheBeakSwingsWithinItsRangeAndTheMouthOpensAndCloses) {
    float low = 0, high = 0;
    int open = 0, shut = 255;
    for (float c = 0; c < 20; c += 0.1f) {
        low = std::min(low, DialogBeakSwing(c));
        high = std::max(high, DialogBeakSwing(c));
        open = std::max(open, DialogMouthAlpha(c, 1));
        shut = std::min(shut, DialogMouthAlpha(c, 1));
    }
    EXPECT_NEAR(low, -1.35, 0.01);
    EXPECT_NEAR(high, 1.35, 0.01);
    EXPECT_EQ(open, 255);
    EXPECT_EQ(shut, 0);
    EXPECT_EQ(DialogMouthAlpha(0, 1), 0);
}

} // namespace
} // namespace bw
