#include "gui/ButtonSprites.h"

#include "data/KilnFonts.h"
#include "data/Xml.h"
#include "gui/GuiTestSupport.h"

#include <string>

namespace bw {
namespace {

using test::ExpectCorners;
using test::MakePicture;
using test::RectCorners;

class Buttons : public test::SpriteFixture {
protected:
    Buttons() {
        for (int w : ButtonTemplateWidths) {
            const std::string base = "Button_1_" + std::to_string(w);
            for (const char* suffix :
                 {".image", "_shadow.image", "_gs.image", "_shadow_gs.image"}) {
                images.AddFromPixels(MakePicture(base + suffix, w, 80));
            }
        }
        images.AddFromPixels(MakePicture("Icon.image", 50, 30));
    }

    TButtonSprite2* MakeButton(float x = 100, float y = 200) {
        auto* b = new TButtonSprite2(&engine);
        b->SetButtonImage("Button_1");
        b->SetPosition(TPoint2{x, y});
        b->SetButtonWidth(208);
        return b;
    }

    // A one-pixel pointer at (x, y), as the frame's hit test uses.
    bool HitAt(TSprite& target, int x, int y) {
        TSpriteEx pointer(nullptr);
        pointer.FCollisioned = true;
        pointer.FCollideMode = cmRect;
        pointer.FCollideRect = TRect{x, y, x + 1, y + 1};
        return pointer.Collision(target);
    }
};

// --- Templates and pictures ----------------------------------------------------------------------

TEST_F(Buttons, WidthChoosesTheWidestTemplateItReaches) {
    auto* b = new TButtonSprite2(&engine);
    b->SetButtonImage("Button_1");
    b->SetButtonWidth(50); // narrower than every template: template 1 stays
    EXPECT_EQ(b->FButtonTemplate, 1);
    EXPECT_EQ(b->ButtonWidth(), 88);

    b->SetButtonWidth(200);
    EXPECT_EQ(b->FButtonTemplate, 5);
    EXPECT_EQ(b->ButtonWidth(), 184);
    EXPECT_EQ(b->FImageName, "Button_1_184.image");
    EXPECT_EQ(b->LightSprite()->FImageName, "Button_1_184.image");
    b->SetButtonWidth(112);
    EXPECT_EQ(b->FButtonTemplate, 2);
    b->SetButtonWidth(400);
    EXPECT_EQ(b->ButtonWidth(), 304);
    b->SetButtonWidth(87);
    b->SetButtonWidth(0); // ignored
    EXPECT_EQ(b->FButtonTemplate, 10);
    EXPECT_EQ(b->ButtonWidth(), 304);

    // With scaling the template is stretched to the exact width.
    b->SetButtonScaling(true);
    b->SetButtonWidth(200);
    EXPECT_EQ(b->FImageName, "Button_1_184.image");
    EXPECT_FLOAT_EQ(b->FScaleX, 200.0f / 184.0f);
    EXPECT_EQ(b->ButtonWidth(), 200);
    b->SetPosition(TPoint2{100, 200});
    engine.Draw();
    ExpectCorners(canvas.Quads().front().corners, RectCorners(100, 200, 300, 280), 1e-3f);
}

TEST_F(Buttons, ParametersSetScaleExactSizeAndWidth) {
    auto* b = new TButtonSprite2(&engine);
    EXPECT_EQ(b->Parameters().ButtonWidth, 208);
    EXPECT_EQ(b->Parameters().ButtonScale, (TPoint2{1.0f, 1.0f}));
    b->SetButtonImage("Button_1");
    TTSTextButton p;
    p.Text = {"Play"};
    p.ButtonWidth = 250;
    p.ButtonExactSize = true;
    p.ButtonScale = TPoint2{1.0f, 0.5f};
    b->SetParameters(p);
    EXPECT_EQ(b->Parameters().Text, (TTSTextArray{"Play"}));
    EXPECT_EQ(b->FButtonTemplate, 7); // 232
    EXPECT_FLOAT_EQ(b->FScaleX, 250.0f / 232.0f);
    EXPECT_EQ(b->FScaleY, 0.5f);
    EXPECT_EQ(b->ButtonWidth(), 250);
}

TEST_F(Buttons, DisabledButtonIsGreyAndUnhitWhateverChangesLater) {
    auto* b = MakeButton();
    b->UpdateCollisionParameters();
    EXPECT_TRUE(HitAt(*b, 200, 240));
    b->SetButtonShadow(true);
    EXPECT_EQ(b->FImageName, "Button_1_208_shadow.image");
    b->SetEnabled(false);
    EXPECT_EQ(b->FImageName, "Button_1_208_shadow_gs.image");
    EXPECT_EQ(b->LightSprite()->FImageName, "Button_1_208_shadow_gs.image");
    EXPECT_FALSE(HitAt(*b, 200, 240));

    // Resizing, unshadowing and re-placing a disabled button keep it grey and out of reach.
    b->SetButtonWidth(260);
    b->SetButtonShadow(false);
    b->SetPosition(TPoint2{300, 200});
    b->UpdateCollisionParameters();
    EXPECT_EQ(b->FImageName, "Button_1_256_gs.image");
    EXPECT_FALSE(HitAt(*b, 400, 240));

    b->SetEnabled(true);
    EXPECT_EQ(b->FImageName, "Button_1_256.image");
    EXPECT_TRUE(HitAt(*b, 400, 240));
}

// --- Collision rectangles ------------------------------------------------------------------------

TEST_F(Buttons, HitRectangles) {
    auto* b = MakeButton(100, 200);
    b->UpdateCollisionParameters();
    EXPECT_EQ(b->FCollideRect, (TRect{115, 210, 293, 262}));
    EXPECT_TRUE(HitAt(*b, 115, 210));
    EXPECT_FALSE(HitAt(*b, 114, 240));
    EXPECT_FALSE(HitAt(*b, 200, 262));
    // The rectangle follows the button only when asked to; ties round to even.
    b->SetPosition(TPoint2{0.5f, 0});
    EXPECT_EQ(b->FCollideRect, (TRect{115, 210, 293, 262}));
    b->UpdateCollisionParameters();
    EXPECT_EQ(b->FCollideRect, (TRect{16, 10, 194, 62}));

    // A picture button is hit on its whole picture.
    auto* s = new TSimpleButtonSprite(&engine);
    s->SetButtonImage("Icon.image");
    s->SetPosition(TPoint2{10.5f, 20});
    s->SetButtonScale(TPoint2{2.0f, 0.5f});
    s->UpdateCollisionParameters();
    EXPECT_EQ(s->FCollideRect, (TRect{10, 20, 110, 35}));
    EXPECT_EQ(s->LightSprite()->FScaleX, 2.0f);
    EXPECT_EQ(s->LightSprite()->FImageName, "Icon.image");
}

// --- Light ---------------------------------------------------------------------------------------

TEST_F(Buttons, LightLevelIsClampedAndFadesPerTick) {
    auto* b = MakeButton();
    b->SetLightLevel(300);
    EXPECT_EQ(b->LightLevel(), 255.0f);
    b->SetLightLevel(-4);
    EXPECT_EQ(b->LightLevel(), 0.0f);

    b->SetLightFadeSpeed(7.0f);
    b->SetLightLevel(100);
    for (int i = 0; i < 8; ++i) engine.Move(1.0f);
    EXPECT_FLOAT_EQ(b->LightLevel(), 44.0f);
    EXPECT_EQ(b->LightSprite()->FAlpha, 44);
    for (int i = 0; i < 6; ++i) engine.Move(1.0f);
    EXPECT_FLOAT_EQ(b->LightLevel(), 2.0f);
    engine.Move(1.0f);
    EXPECT_EQ(b->LightLevel(), 0.0f);
}

TEST_F(Buttons, GlowIsDrawnAdditivelyRightAfterTheButton) {
    auto* b = MakeButton(100, 200);
    auto* later = new TAnimatedSprite(&engine);
    later->SetImageName("Icon.image");
    engine.Draw();
    ASSERT_EQ(canvas.Quads().size(), 2u); // no glow while the light is off

    canvas.Clear();
    b->SetLightLevel(100.4f);
    b->FX = 150; // moved through its field: the glow still sits on the button
    engine.Draw();
    ASSERT_EQ(canvas.Quads().size(), 3u);
    const auto& button = canvas.Quads()[0];
    const auto& glow = canvas.Quads()[1];
    EXPECT_EQ(glow.effect, beAdd);
    EXPECT_EQ(glow.corners, button.corners);
    EXPECT_EQ(glow.texture, button.texture);
    EXPECT_EQ(ColorAlpha(glow.colors[0]), 100u);

    canvas.Clear();
    b->SetGVisible(false);
    engine.Draw();
    EXPECT_EQ(canvas.Quads().size(), 1u);
}

TEST_F(Buttons, KillRemovesButtonAndGlow) {
    const int before = engine.FAllCount;
    auto* b = MakeButton();
    EXPECT_EQ(engine.FAllCount, before + 2);
    TAnimatedSprite* glow = b->LightSprite();
    b->Kill();
    EXPECT_TRUE(glow->FDeaded);
    EXPECT_TRUE(b->FDeaded);
    EXPECT_EQ(b->LightSprite(), nullptr);
    engine.Draw(); // not drawn in the frame in which it was killed
    EXPECT_TRUE(canvas.Quads().empty());
    engine.Dead();
    EXPECT_EQ(engine.FAllCount, before);
}

// --- Captions ------------------------------------------------------------------------------------

class ButtonCaptions : public Buttons {
protected:
    ButtonCaptions() : fonts(&images, &canvas) {
        images.AddFromPixels(MakePicture("Font.image", 64, 64));
        TXMLNode desc("font");
        desc.AddField("width", "16");
        desc.AddField("height", "16");
        TXMLNode* item = desc.AddChild("item");
        item->AddField("ascii", "65");
        item->AddField("width", "10");
        item->AddField("height", "16");
        fontIndex = fonts.Insert(desc, "Test", "Font.image");
        GuiFonts() = &fonts;
    }
    ~ButtonCaptions() override { GuiFonts() = nullptr; }

    TKilnFonts fonts;
    int fontIndex = -1;
};

TEST_F(ButtonCaptions, CaptionIsCentredAndGlowsWithTheLight) {
    ASSERT_GE(fontIndex, 0);
    auto* b = MakeButton(100, 200);
    TTSTextButton p = b->Parameters();
    p.Text = {"A"};
    p.OffSet = TPoint{3, -4};
    p.ButtonWidth = 208;
    p.Centered = false; // captions are centred anyway
    b->SetParameters(p);
    b->FText_Font_index = fontIndex;
    b->FText_Color = TColor2{0xFF112233, 0xFF445566};
    b->FText_Color_lighted = TColor2{0xFFFFFFFF, 0xFFFFFFFF};
    b->FText_Color_grayscale = TColor2{0xFF808080, 0xFF808080};
    EXPECT_EQ(b->CaptionCentre(), (TPoint2{207, 236}));

    engine.Draw();
    ASSERT_EQ(canvas.Quads().size(), 2u); // button and caption; no glowing copy at light 0
    const auto& caption = canvas.Quads()[1];
    // A 10 x 16 glyph centred on (207, 236).
    ExpectCorners(caption.corners, RectCorners(202, 228, 212, 244));
    EXPECT_EQ(caption.colors[0], 0xFF112233u);
    EXPECT_EQ(caption.colors[3], 0xFF445566u);

    canvas.Clear();
    b->SetLightLevel(100);
    engine.Draw();
    ASSERT_EQ(canvas.Quads().size(), 4u);
    const auto& lighted = canvas.Quads()[3];
    EXPECT_EQ(lighted.corners, canvas.Quads()[2].corners);
    // 100 / 155 of full strength.
    EXPECT_NEAR(static_cast<double>(ColorAlpha(lighted.colors[0])), 255.0 * 100.0 / 155.0, 1.0);

    canvas.Clear();
    b->SetLightLevel(200);
    engine.Draw();
    EXPECT_EQ(ColorAlpha(canvas.Quads()[3].colors[0]), 255u);

    // Disabled: grey colours; a second line one leading lower.
    p.Text = {"A", "A"};
    p.Leading = 20;
    b->SetParameters(p);
    b->SetEnabled(false);
    b->SetLightLevel(0);
    canvas.Clear();
    engine.Draw();
    ASSERT_EQ(canvas.Quads().size(), 3u);
    EXPECT_EQ(canvas.Quads()[1].colors[0], 0xFF808080u);
    EXPECT_NEAR(canvas.Quads()[2].corners[0].y - canvas.Quads()[1].corners[0].y, 20.0f, 1e-3f);
}

} // namespace
} // namespace bw
