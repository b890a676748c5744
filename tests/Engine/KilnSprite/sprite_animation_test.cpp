#include "Engine/KilnSprite/SpriteTestSupport.h"

namespace bw {
namespace {

using test::SpriteFixture;

class SpriteAnimation : public SpriteFixture {
protected:
    TAnimatedSprite* Animated(TAnimPlayMode mode, int start, int count, float speed, bool looped) {
        auto* s = new TAnimatedSprite(&engine);
        s->SetAnim("sheet.image", start, mode, true, looped, speed, count);
        return s;
    }

    // Patterns shown after each of `ticks` engine moves.
    std::vector<int> Run(TAnimatedSprite* s, int ticks, float moveCount = 1.0f) {
        std::vector<int> shown;
        for (int i = 0; i < ticks; ++i) {
            engine.Move(moveCount);
            shown.push_back(s->FPatternIndex);
            EXPECT_EQ(s->FImageIndex, s->FPatternIndex);
        }
        return shown;
    }
};

TEST_F(SpriteAnimation, ForwardLoopsBackToTheStart) {
    auto* s = Animated(pmForward, 4, 4, 0.5f, true);
    EXPECT_EQ(s->FPatternIndex, 4);
    EXPECT_EQ(Run(s, 10), (std::vector<int>{4, 5, 5, 6, 6, 7, 7, 4, 4, 5}));
    EXPECT_TRUE(s->FDoAnimate);
}

TEST_F(SpriteAnimation, ForwardOnceStopsOnTheLastPattern) {
    auto* s = Animated(pmForward, 4, 4, 0.5f, false);
    EXPECT_EQ(Run(s, 9), (std::vector<int>{4, 5, 5, 6, 6, 7, 7, 7, 7}));
    EXPECT_FALSE(s->FDoAnimate);
    EXPECT_EQ(s->FAnimPos, 7.0f);
}

TEST_F(SpriteAnimation, MoveCountScalesTheSpeed) {
    auto* s = Animated(pmForward, 0, 8, 0.5f, true);
    EXPECT_EQ(Run(s, 4, 2.0f), (std::vector<int>{1, 2, 3, 4}));
}

TEST_F(SpriteAnimation, FastForwardNeverLeavesTheRange) {
    auto* s = Animated(pmForward, 2, 3, 1.75f, true);
    for (int shown : Run(s, 40)) {
        EXPECT_GE(shown, 2);
        EXPECT_LE(shown, 4);
    }
}

TEST_F(SpriteAnimation, BackwardLoopWrapsToTheLastPattern) {
    auto* s = Animated(pmBackward, 4, 4, 1.0f, true);
    // 4 - 1 is below the start: the position jumps to start + count, shown as the last pattern.
    EXPECT_EQ(Run(s, 6), (std::vector<int>{7, 7, 6, 5, 4, 7}));
}

TEST_F(SpriteAnimation, BackwardOnceStopsAtTheStart) {
    auto* s = Animated(pmBackward, 4, 4, 1.0f, false);
    s->FAnimPos = 6.0f;
    EXPECT_EQ(Run(s, 4), (std::vector<int>{5, 4, 4, 4}));
    EXPECT_FALSE(s->FDoAnimate);
}

TEST_F(SpriteAnimation, PingPongTurnsAtBothEnds) {
    auto* s = Animated(pmPingPong, 0, 4, 1.0f, true);
    EXPECT_EQ(Run(s, 9), (std::vector<int>{1, 2, 3, 2, 1, 0, 1, 2, 3}));
    auto* slow = Animated(pmPingPong, 16, 4, 0.5f, true);
    EXPECT_EQ(Run(slow, 14),
              (std::vector<int>{16, 17, 17, 18, 18, 19, 18, 18, 17, 17, 16, 16, 16, 17}));
}

TEST_F(SpriteAnimation, PingPongOnceHoldsAtTheStart) {
    auto* s = Animated(pmPingPong, 0, 3, 1.0f, false);
    // Up to the last pattern, back down, then it holds; the step that reaches the start ends
    // before the pattern is updated, so the pattern before it stays on screen.
    EXPECT_EQ(Run(s, 6), (std::vector<int>{1, 2, 1, 1, 1, 1}));
    EXPECT_EQ(s->FAnimPos, 0.0f);
    EXPECT_EQ(s->FAnimSpeedDirection, -1);
}

TEST_F(SpriteAnimation, StoppedOrFrozenSpritesKeepTheirPattern) {
    auto* idle = Animated(pmForward, 0, 8, 1.0f, true);
    idle->FDoAnimate = false;
    auto* frozen = Animated(pmForward, 0, 8, 1.0f, true);
    frozen->FMoved = false;
    Run(idle, 3);
    EXPECT_EQ(idle->FPatternIndex, 0);
    EXPECT_EQ(frozen->FPatternIndex, 0);
    EXPECT_EQ(frozen->FAnimPos, 0.0f);
}

TEST_F(SpriteAnimation, SetAnimStartJumpsOnlyOnChange) {
    auto* s = Animated(pmForward, 0, 4, 0.5f, true);
    Run(s, 3);
    s->SetAnimStart(0);
    EXPECT_EQ(s->FAnimPos, 1.5f);
    s->SetAnimStart(8);
    EXPECT_EQ(s->FAnimStart, 8);
    EXPECT_EQ(s->FAnimPos, 8.0f);
    EXPECT_EQ(Run(s, 2), (std::vector<int>{8, 9}));
}

} // namespace
} // namespace bw
