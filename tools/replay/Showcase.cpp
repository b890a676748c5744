#include "Showcase.h"

#include "Engine/KilnSprite/SpriteEngine.h"
#include "app/LoadingBackdrop.h"
#include "base/GameObjects.h"
#include "base/GameOptions.h"
#include "base/GameState.h"
#include "base/Scene.h"
#include "data/GameFonts.h"
#include "data/KilnArchive.h"
#include "data/KilnFonts.h"
#include "data/KilnImages.h"
#include "gui/ButtonProtocol.h"
#include "gui/ButtonSprites.h"

#include <string>
#include <utility>

namespace bw {

namespace {

// One line of text in one of the two fonts, drawn as part of the sprite tree.
class TShowcaseText final : public TAnimatedSprite {
public:
    TShowcaseText(TSprite* parent, int font, std::string text, TPoint2 pos, float scale,
                  TColor2 colors, bool centered)
        : TAnimatedSprite(parent), font_(font), text_(std::move(text)), pos_(pos), scale_(scale),
          colors_(colors), centered_(centered) {
        SetZ(500);
    }
    void DoDraw() override {
        TKilnFont* font = Fonts ? Fonts->Font(font_) : nullptr;
        if (!font) return;
        const TPoint2 saved = font->FScale;
        font->FScale = TPoint2{scale_, scale_};
        font->TextOut(pos_, text_, centered_, 1.0f, colors_);
        font->FScale = saved;
    }

private:
    int font_;
    std::string text_;
    TPoint2 pos_;
    float scale_;
    TColor2 colors_;
    bool centered_;
};

TButtonSprite2* Button(const char* caption, int width, float x, float y, TButtonName name) {
    TTSTextButton text;
    text.Text = {caption};
    text.Scale = {0.9f, 0.9f};
    text.ButtonWidth = width;
    text.ButtonScale = {1, 1};
    auto* b = new TButtonSprite2(MainEngine);
    b->SetButtonImage("Button_1");
    b->SetParameters(text);
    b->SetPosition({x, y});
    b->SetButtonName(name);
    b->SetLightFadeSpeed(7);
    b->SetZ(300);
    b->UpdateCollisionParameters();
    return b;
}

void BuildShowcase() {
    CurrentScene = scene_MainMenu;
    // The buttons live with the main resources, which the start does not load.
    if (Images && Archives.Interface) Images->AddAllFromArchive(Archives.Interface, true, false);
    // The loading bar two thirds full.
    CreateLoadingBackdrop(MainEngine, 320, 0);

    const TColor2 gold{0xFFFFF6DC, 0xFFFFB52E};
    const TColor2 white{0xFFFFFFFF, 0xFFF3B3FF};
    new TShowcaseText(MainEngine, ToonFont, "Branchwick", {960, 50}, 2.0f, gold, true);
    new TShowcaseText(MainEngine, ShadowFont, "Shadow font: Birds on a branch - 0123456789",
                      {960, 150}, 1.0f, white, true);
    new TShowcaseText(MainEngine, ToonFont, "Toon font: Grüße, ÇA VA? Привет, птицы!", {960, 205},
                      1.0f, TColor2{0xFF3A2430, 0xFF5E3A26}, true);
    new TShowcaseText(MainEngine, ShadowFont, "Loading... 67%", {960, 700}, 0.8f, white, true);

    Button("Play", 208, 420, 480, button_MM_MainMenu_Options);
    Button("Hovered", 208, 840, 480, button_MM_MainMenu_Credits);
    Button("Disabled", 208, 1260, 480, button_MM_MainMenu_Awards)->SetEnabled(false);
}

// Stands in for the splash: builds the showcase and goes to its menu scene.
class ShowcaseStart final : public Scene {
public:
    void Command(TTS_Message message) override {
        if (message == msg_Create) BuildShowcase();
    }
};

// The showcase's buttons glow under the pointer and do nothing when clicked.
class ShowcaseMenu final : public Scene {
public:
    void Tick() override {
        MoveMainEngine();
        if (!TransitionVisible()) RunHitTest();
    }
    void Hit(TSprite& sprite) override {
        HandleButtonHit(sprite, MenuButtonHover, [](TButtonName) {});
    }
};

} // namespace

void InstallShowcaseScene() {
    RegisterScene(scene_Splash, std::make_unique<ShowcaseStart>());
    RegisterScene(scene_MainMenu, std::make_unique<ShowcaseMenu>());
}

} // namespace bw
