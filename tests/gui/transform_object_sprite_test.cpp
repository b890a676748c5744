#include "gui/TransformObjectSprite.h"

#include "gui/GuiTestSupport.h"

#include <cmath>
#include <numbers>

namespace bw {
namespace {

using test::ExpectCorners;
using test::MakePicture;
using test::RectCorners;

class TransformObject : public test::SpriteFixture {
protected:
    TransformObject() { images.AddFromPixels(MakePicture("Board.image", 80, 40)); }

    TTransformObjectSprite* Make(float x, float y) {
        auto* s = new TTransformObjectSprite(&engine);
        s->SetImageName("Board.image");
        s->FX = x;
        s->FY = y;
        return s;
    }

    static TPoint4 Corners(const TTransformObjectSprite& s) {
        return TPoint4{TPoint2{s.FX1, s.FY1}, TPoint2{s.FX2, s.FY2}, TPoint2{s.FX3, s.FY3},
                       TPoint2{s.FX4, s.FY4}};
    }
};

TEST_F(TransformObject, UnswayedCornersFollowPositionAndScale) {
    auto* s = Make(100, 50);
    EXPECT_EQ(s->FDrawMode, 3);
    s->FScaleX = 2.0f;
    s->FScaleY = 0.5f;
    s->Calculate4Coords();
    ExpectCorners(Corners(*s), RectCorners(100, 50, 260, 70));
    engine.Draw();
    ExpectCorners(OnlyQuad().corners, RectCorners(100, 50, 260, 70));
}

TEST_F(TransformObject, CornerSwaysOnCosineAndSine) {
    auto* s = Make(100, 50);
    TTransformInfo& topRight = s->FTransformInfo[1];
    topRight.EnabledX = true;
    topRight.RadiusX = 10;
    topRight.Speed = 8;
    TTransformInfo& bottomLeft = s->FTransformInfo[3];
    bottomLeft.EnabledY = true;
    bottomLeft.RadiusY = 4;
    bottomLeft.Speed = 512; // a quarter turn per tick

    engine.Move(1.0f);
    EXPECT_EQ(s->FTimeCounter, 1.0);
    const double angle = 2.0 * std::numbers::pi * 8.0 / 2048.0;
    EXPECT_NEAR(s->FX2, 180 + 10 * std::cos(angle), 1e-3);
    EXPECT_NEAR(s->FY2, 50, 1e-4);
    // sin of a quarter turn: the corner moves down by its whole radius, not sideways.
    EXPECT_NEAR(s->FY4, 90 + 4, 1e-4);
    EXPECT_NEAR(s->FX4, 100, 1e-4);
    // Corners without sway keep the rectangle.
    EXPECT_EQ(s->FX1, 100.0f);
    EXPECT_EQ(s->FY3, 90.0f);

    const TPoint4 first = Corners(*s);
    for (int i = 0; i < 255; ++i) engine.Move(1.0f);
    EXPECT_GT(std::abs(s->FX2 - first[1].x), 1e-3f); // still on its way round
    engine.Move(1.0f);
    // 256 ticks at 8 steps make one full turn of the 2048-step table.
    ExpectCorners(Corners(*s), first, 1e-4f);
}

TEST_F(TransformObject, CounterWrapsAfterItsLimit) {
    auto* s = Make(0, 0);
    s->FTransformInfo[0] = TTransformInfo{true, true, 5, 5, 3};
    s->FTimeCounter = 31399;
    engine.Move(1.0f);
    EXPECT_EQ(s->FTimeCounter, 31400.0);
    engine.Move(1.0f);
    EXPECT_EQ(s->FTimeCounter, 0.0);
    // At step 0 the corner sits at the right end of its ellipse.
    EXPECT_NEAR(s->FX1, 5, 1e-4);
    EXPECT_NEAR(s->FY1, 0, 1e-4);
}

TEST_F(TransformObject, HiddenManualOrDeadObjectsDoNotSway) {
    auto* hidden = Make(0, 0);
    hidden->FVisible = false;
    auto* manual = Make(0, 0);
    manual->FManualCalculate = true;
    manual->FDoAnimate = true;
    manual->FAnimCount = 4;
    manual->FAnimSpeed = 1.0f;
    auto* dead = Make(0, 0);
    engine.Move(1.0f);
    dead->Dead();
    engine.Move(1.0f);
    EXPECT_EQ(hidden->FTimeCounter, 0.0);
    EXPECT_EQ(manual->FTimeCounter, 0.0);
    EXPECT_EQ(manual->FPatternIndex, 2); // the animation still runs
    EXPECT_EQ(dead->FTimeCounter, 1.0);
    // Moved directly, a dead object animates but keeps its corners.
    dead->DoMove(1.0f);
    EXPECT_EQ(dead->FTimeCounter, 1.0);
}

} // namespace
} // namespace bw
