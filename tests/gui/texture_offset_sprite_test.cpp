#include "gui/TextureOffsetSprite.h"

#include "gui/GuiTestSupport.h"

namespace bw {
namespace {

using test::ExpectCorners;
using test::MakePicture;
using test::RectCorners;

class TextureOffset : public test::SpriteFixture {
protected:
    TextureOffset() {
        images.AddFromPixels(MakePicture("Strip.image", 64, 32));
        images.AddFromPixels(MakePicture("Bar.image", 40, 100));
    }

    TTextureOffsetSprite* Make(const char* image, float x, float y) {
        auto* s = new TTextureOffsetSprite(&engine);
        s->SetImageName(image);
        s->FX = x;
        s->FY = y;
        return s;
    }
};

TEST_F(TextureOffset, WideRenderSizeTilesAndScrollsByDrawnWidth) {
    auto* s = Make("Strip.image", 100, 20);
    s->fRenderSize = TPoint{640, 0};
    s->fSpeed = TPoint2{0.01f, 0.0f};
    engine.Draw();
    {
        const auto& q = OnlyQuad();
        ExpectCorners(q.corners, RectCorners(100, 20, 740, 52));
        // Ten copies side by side; the height shows the image once.
        ExpectCorners(q.uv, RectCorners(0, 0, 10, 1));
        EXPECT_EQ(q.texture, images.GetImage("strip.image")->Textures[0]);
    }

    for (int i = 0; i < 10; ++i) engine.Move(1.0f);
    canvas.Clear();
    engine.Draw();
    // 0.1 of the drawn width is one image copy.
    ExpectCorners(OnlyQuad().uv, RectCorners(1, 0, 11, 1), 1e-4f);

    for (int i = 0; i < 90; ++i) engine.Move(1.0f);
    canvas.Clear();
    engine.Draw();
    ExpectCorners(OnlyQuad().uv, RectCorners(10, 0, 20, 1), 1e-3f);
    EXPECT_NEAR(s->fTC_Double.x, 1.0, 1e-4);
    EXPECT_EQ(s->fTC_Double.w, 64.0);
    EXPECT_EQ(s->fTC_Double.h, 32.0);
}

TEST_F(TextureOffset, NegativeHeightShowsTheBottomRowsGrowingUpward) {
    auto* s = Make("Bar.image", 300, 500);
    s->fRenderSize = TPoint{0, -30};
    engine.Draw();
    const auto& q = OnlyQuad();
    // The quad's first edge sits on the position, its second edge 30 units above it.
    ExpectCorners(q.corners, RectCorners(300, 500, 340, 470));
    // v runs from 0 (= 1, repeating) at the position up to -0.3 (= 0.7): the image's last 30
    // of its 100 rows, upright.
    ExpectCorners(q.uv, RectCorners(0, 0, 1, -0.3f));
}

TEST_F(TextureOffset, StoppedTextureKeepsItsOffset) {
    auto* missing = Make("Missing.image", 0, 0); // must draw nothing
    missing->fRenderSize = TPoint{100, 100};
    auto* s = Make("Strip.image", 0, 0);
    s->fSpeed = TPoint2{0.5f, 0.25f};
    s->fTranspose = TPoint2{0.5f, 0.0f};
    s->fDoTextureMove = false;
    engine.Move(1.0f);
    engine.Move(1.0f);
    EXPECT_EQ(s->fTranspose, (TPoint2{0.5f, 0.0f}));
    engine.Draw();
    ExpectCorners(OnlyQuad().uv, RectCorners(0.5f, 0, 1.5f, 1));
    s->fDoTextureMove = true;
    engine.Move(1.0f);
    EXPECT_EQ(s->fTranspose, (TPoint2{1.0f, 0.25f}));
}

TEST_F(TextureOffset, ScreenRectangleUsesScaleDisplayScaleAndEngineWorld) {
    DisplayScale = {2.0f, 2.0f};
    engine.SetWorld(10.7f, -3.2f);
    auto* s = Make("Strip.image", 100, 50);
    s->FScaleX = 0.5f;
    s->FScaleY = 1.5f;
    s->fRenderSize = TPoint{33, 0};
    s->FRed = 0x10;
    s->FAlpha = 0x80;
    s->FEffect = beMultiply;
    // Neither the sprite's own world offset nor its draw offset moves this sprite.
    s->FWorldX = 500;
    s->FOffsetX = 500;
    engine.Draw();
    const auto& q = OnlyQuad();
    // left = (100 - trunc(10.7)) * 2, width = round(33 * 0.5 * 2); top = (50 + 3) * 2.
    ExpectCorners(q.corners, RectCorners(180, 106, 213, 202));
    EXPECT_EQ(q.colors, TColor4(0x8010FFFF));
    EXPECT_EQ(q.effect, beMultiply);
}

} // namespace
} // namespace bw
