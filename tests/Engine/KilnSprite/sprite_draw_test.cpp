#include "Engine/KilnSprite/SpriteTestSupport.h"

#include <numbers>
#include <string>

namespace bw {
namespace {

using test::SpriteFixture;

void ExpectCorners(const TPoint4& got, const TPoint4& want, float tolerance = 1e-3f) {
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_NEAR(got[i].x, want[i].x, tolerance) << "corner " << i;
        EXPECT_NEAR(got[i].y, want[i].y, tolerance) << "corner " << i;
    }
}

TPoint4 Rect(float l, float t, float r, float b) {
    return TPoint4{TPoint2{l, t}, TPoint2{r, t}, TPoint2{r, b}, TPoint2{l, b}};
}

// Remembers the order of the draw hooks.
class LoggingSprite : public TAnimatedSprite {
public:
    LoggingSprite(TSprite* parent, std::string tag, std::vector<std::string>* log)
        : TAnimatedSprite(parent), tag_(std::move(tag)), log_(log) {}
    void DoDraw() override {
        log_->push_back(tag_);
        TAnimatedSprite::DoDraw();
    }
    void DoInvisibleDraw() override { log_->push_back(tag_ + ":invisible"); }
    void DoNotDraw() override { log_->push_back(tag_ + ":outside"); }

private:
    std::string tag_;
    std::vector<std::string>* log_;
};

class SpriteDraw : public SpriteFixture {};

TEST_F(SpriteDraw, ModeZeroScalesFromTheTopLeftCorner) {
    auto* s = MakeSprite(100, 50);
    s->FScaleX = 2.0f;
    s->FScaleY = 0.5f;
    s->SetPatternIndex(5); // second column, second row of the 4 x 4 sheet
    s->FRed = 0x110;       // only the low byte counts
    s->FGreen = 0x22;
    s->FBlue = 0x33;
    s->FAlpha = 0x80;
    s->FEffect = beAdd;
    engine.Draw();
    const auto& q = OnlyQuad();
    ExpectCorners(q.corners, Rect(100, 50, 228, 82));
    EXPECT_EQ(q.colors, TColor4(0x80102233));
    EXPECT_EQ(q.effect, beAdd);
    EXPECT_EQ(q.texture, images.GetImage("sheet.image")->Textures[0]);
    ExpectCorners(q.uv, Rect(0.25f, 0.25f, 0.5f, 0.5f));
}

TEST_F(SpriteDraw, WorldPositionsOffsetsAndDisplayScaleCombine) {
    engine.FWorldX = 10.75f; // truncated when drawing
    engine.FWorldY = -4.5f;
    DisplayScale = {0.5f, 0.5f};
    auto* s = MakeSprite(100, 50);
    s->FWorldX = 3;
    s->FOffsetX = 2;
    s->FOffsetY = 1;
    s->FScaleX = 2.0f;
    engine.Draw();
    // x: (100 + 3 + 2 - 10) * 0.5; y: (50 + 1 + 4) * 0.5; sizes round(64 * scale * 0.5).
    ExpectCorners(OnlyQuad().corners, Rect(47.5f, 27.5f, 47.5f + 64, 27.5f + 32));
}

TEST_F(SpriteDraw, SizesRoundHalfToEven) {
    auto* s = new TAnimatedSprite(&engine);
    s->SetImageName("small.image"); // 10 x 10 cells, 5 x 5 visible
    s->FX = 0;
    s->FY = 0;
    s->FScaleX = 0.5f; // 2.5 -> 2
    s->FScaleY = 1.5f; // 7.5 -> 8
    engine.Draw();
    ExpectCorners(OnlyQuad().corners, Rect(0, 0, 2, 8));
    // Only the visible part of the cell is sampled.
    ExpectCorners(OnlyQuad().uv, Rect(0, 0, 5.0f / 64, 5.0f / 64));
}

TEST_F(SpriteDraw, CentredScalingKeepsThePictureCentre) {
    auto* s = MakeSprite(100, 100);
    s->FDoCenter = true;
    s->FScaleX = 0.5f;
    s->FScaleY = 0.5f;
    engine.Draw();
    ExpectCorners(OnlyQuad().corners, Rect(116, 116, 148, 148));

    // An unscaled sprite on a scaled display does not move: the centre is kept in client
    // pixels, not in picture pixels.
    canvas.Clear();
    DisplayScale = {0.5f, 0.5f};
    s->FScaleX = 1.0f;
    s->FScaleY = 1.0f;
    engine.Draw();
    ExpectCorners(OnlyQuad().corners, Rect(50, 50, 82, 82));
}

TEST_F(SpriteDraw, ModeOneRotatesAboutTheCentreClockwise) {
    auto* s = MakeSprite(100, 100);
    s->SetDrawMode(1);
    s->FScaleX = 2.0f;
    s->FAngle = static_cast<float>(std::numbers::pi / 2);
    engine.SetZoom(1.0f);
    engine.Draw();
    // Half size (32, 32), scaled to (64, 32); a quarter turn clockwise puts the top-left
    // corner to the upper right of the centre.
    TPoint4 want{TPoint2{132, 36}, TPoint2{132, 164}, TPoint2{68, 164}, TPoint2{68, 36}};
    ExpectCorners(OnlyQuad().corners, want);

    canvas.Clear();
    s->FAngle = 0;
    engine.SetZoom(2.0f); // zoom moves the centre and scales the size
    engine.Draw();
    ExpectCorners(OnlyQuad().corners, Rect(200 - 128, 200 - 64, 200 + 128, 200 + 64));
}

TEST_F(SpriteDraw, ModeTwoZoomsThePositionAndUsesCornerColours) {
    auto* s = MakeSprite(100, 50);
    s->SetDrawMode(2);
    s->FColor1 = 0xFF000001;
    s->FColor2 = 0xFF000002;
    s->FColor3 = 0xFF000003;
    s->FColor4 = 0xFF000004;
    engine.SetZoom(2.0f);
    engine.Draw();
    ExpectCorners(OnlyQuad().corners, Rect(200, 100, 328, 228));
    EXPECT_EQ(OnlyQuad().colors, TColor4(0xFF000001, 0xFF000002, 0xFF000003, 0xFF000004));

    canvas.Clear();
    s->SetDrawMode(0); // mode 0 zooms the size only
    engine.Draw();
    ExpectCorners(OnlyQuad().corners, Rect(100, 50, 228, 178));
    EXPECT_EQ(OnlyQuad().colors, TColor4(0xFFFFFFFF));
}

TEST_F(SpriteDraw, CornerModesUseTheCornerFields) {
    engine.FWorldX = 5.5f;
    engine.SetZoom(2.0f);
    DisplayScale = {0.5f, 0.5f};
    auto* s = MakeSprite(0, 0);
    s->FOffsetX = 1;
    s->FX1 = 10.7f;
    s->FY1 = 20.2f;
    s->FX2 = 30.5f;
    s->FY2 = 20.2f;
    s->FX3 = 40.9f;
    s->FY3 = 60;
    s->FX4 = 10;
    s->FY4 = 50.5f;
    s->SetDrawMode(3);
    engine.Draw();
    // (corner + 1 - 5) * zoom 2 * scale 0.5
    TPoint4 mode3{TPoint2{6.7f, 20.2f}, TPoint2{26.5f, 20.2f}, TPoint2{36.9f, 60},
                  TPoint2{6, 50.5f}};
    ExpectCorners(OnlyQuad().corners, mode3);

    canvas.Clear();
    s->SetDrawMode(4);
    s->FColor3 = 0x80FFFFFF;
    engine.Draw();
    // trunc(corner + 1 - 5) * scale 0.5, no zoom
    TPoint4 mode4{TPoint2{3, 10}, TPoint2{13, 10}, TPoint2{18, 30}, TPoint2{3, 25}};
    ExpectCorners(OnlyQuad().corners, mode4);
    EXPECT_EQ(OnlyQuad().colors[2], 0x80FFFFFFu);
}

TEST_F(SpriteDraw, DrawModeOutsideTheRangeStoresZero) {
    auto* s = MakeSprite(0, 0);
    s->SetDrawMode(3);
    EXPECT_EQ(s->FDrawMode, 3);
    s->SetDrawMode(7);
    EXPECT_EQ(s->FDrawMode, 0);
    s->SetDrawMode(-1);
    EXPECT_EQ(s->FDrawMode, 0);
    s->FDrawMode = 9; // written directly: nothing sensible to draw
    engine.Draw();
    EXPECT_TRUE(canvas.Quads().empty());
}

TEST_F(SpriteDraw, MirroringSwapsTextureCoordinates) {
    auto* s = MakeSprite(0, 0);
    s->FMirrorX = true;
    engine.Draw();
    ExpectCorners(OnlyQuad().uv, TPoint4{TPoint2{0.25f, 0}, TPoint2{0, 0}, TPoint2{0, 0.25f},
                                         TPoint2{0.25f, 0.25f}});
    canvas.Clear();
    s->FMirrorX = false;
    s->FMirrorY = true;
    engine.Draw();
    ExpectCorners(OnlyQuad().uv, TPoint4{TPoint2{0, 0.25f}, TPoint2{0.25f, 0.25f},
                                         TPoint2{0.25f, 0}, TPoint2{0, 0}});
}

TEST_F(SpriteDraw, SpritesWithoutAPictureDrawNothing) {
    auto* missing = MakeSprite(0, 0);
    missing->SetImageName("nothing.image");
    auto* beyond = MakeSprite(0, 0);
    beyond->SetPatternIndex(16); // the sheet has 16 patterns
    auto* negative = MakeSprite(0, 0);
    negative->SetPatternIndex(-1);
    new TSprite(&engine); // a plain sprite without an image
    engine.Draw();
    EXPECT_TRUE(canvas.Quads().empty());
    EXPECT_EQ(engine.FDrawCount, 4); // they still count as drawn
}

TEST_F(SpriteDraw, PlainSpriteDrawsItsPatternUnscaledInWhite) {
    DisplayScale = {0.5f, 0.5f};
    auto* s = new TSprite(&engine);
    s->SetImageName("sheet.image");
    s->FX = 100;
    s->FWorldX = 20;
    engine.Draw();
    ExpectCorners(OnlyQuad().corners, Rect(60, 100, 92, 132));
    EXPECT_EQ(OnlyQuad().colors, TColor4(0xFFFFFFFF));
}

TEST_F(SpriteDraw, VisibilityTestSkipsSpritesOffScreen) {
    std::vector<std::string> log;
    auto place = [&](const char* tag, float x, float y) {
        auto* s = new LoggingSprite(&engine, tag, &log);
        s->SetImageName("sheet.image");
        s->FX = x;
        s->FY = y;
        return s;
    };
    // Right and bottom edges: the visible size; left and top: the margins minus twice the
    // nominal size (64).
    place("inside-right", 1919.5f, 0);
    place("right", 1920, 0);
    place("bottom", 0, 1080);
    place("inside-left", -2127.5f, 0);
    place("left", -2128, 0);
    place("top", 0, -278);
    place("inside-top", 0, -277.5f);
    place("offset-back", 1950, 0)->FOffsetX = -40; // the offset moves the test along
    engine.Draw();
    EXPECT_EQ(log, (std::vector<std::string>{"inside-right", "right:outside", "bottom:outside",
                                             "inside-left", "left:outside", "top:outside",
                                             "inside-top", "offset-back"}));
    EXPECT_EQ(engine.FDrawCount, 4);

    // The world position and the display scale move the visible area.
    log.clear();
    engine.Clear();
    engine.FWorldX = 100;
    DisplayScale = {2.0f, 2.0f};
    place("a", 1059, 0);
    place("b", 1060, 0);
    engine.Draw();
    EXPECT_EQ(log, (std::vector<std::string>{"a", "b:outside"}));
}

TEST_F(SpriteDraw, ParentsDrawBeforeChildrenInZOrder) {
    std::vector<std::string> log;
    auto* back = new LoggingSprite(&engine, "back", &log);
    auto* front = new LoggingSprite(&engine, "front", &log);
    front->SetZ(10);
    back->SetZ(5);
    auto* child2 = new LoggingSprite(back, "back.child2", &log);
    child2->SetZ(2);
    new LoggingSprite(back, "back.child1", &log);
    auto* manual = new LoggingSprite(front, "front.manual", &log);
    manual->FManualRender = true;
    engine.Draw();
    EXPECT_EQ(log, (std::vector<std::string>{"back", "back.child1", "back.child2", "front"}));
}

TEST_F(SpriteDraw, InvisibleParentHidesItsSubtree) {
    std::vector<std::string> log;
    auto* parent = new LoggingSprite(&engine, "parent", &log);
    new LoggingSprite(parent, "child", &log);
    parent->FVisible = false;
    engine.Draw();
    EXPECT_EQ(log, (std::vector<std::string>{"parent:invisible"}));
    EXPECT_EQ(engine.FDrawCount, 0);
}

TEST_F(SpriteDraw, DrawOnlyPicksChildrenByClassWithoutLeftAndTopMargins) {
    std::vector<std::string> log;
    new LoggingSprite(&engine, "logged", &log);
    auto* farLeft = new LoggingSprite(&engine, "far-left", &log);
    farLeft->FX = -5000;
    farLeft->FManualRender = true; // the class decides, not the manual flag
    auto* plain = MakeSprite(0, 0);
    engine.DrawOnly<LoggingSprite>();
    EXPECT_EQ(log, (std::vector<std::string>{"logged", "far-left"}));
    EXPECT_EQ(engine.FDrawCount, 2);
    (void)plain;
}

} // namespace
} // namespace bw
