#include "meta/CreditsScreen.h"

#include "Engine/KilnSprite/SpriteEngine.h"
#include "audio/SoundEngine.h"
#include "base/GameObjects.h"
#include "base/GameOptions.h"
#include "base/GameState.h"
#include "base/Scene.h"
#include "base/SceneTransition.h"
#include "data/GameFonts.h"
#include "data/KilnFonts.h"
#include "data/TextDatabase.h"
#include "gui/ButtonProtocol.h"
#include "meta/MainMenu.h"
#include "meta/OptionsMath.h"
#include "platform/Log.h"

#include <algorithm>

namespace bw {

namespace {

constexpr float ScrollSpeed = 0.65f;
constexpr double ScrollEnd = -100000;
constexpr float ListTop = 880;
constexpr float LogoLead = 565;
constexpr float CentreX = 960;
constexpr float NameScale = 0.8f;
constexpr int StripLimit = 150;
constexpr TColor2 BackColors{0xFFFFFA42, 0xFFFCE021};

// Lines further than this above or below the canvas are not drawn.
constexpr float DrawMargin = 100;

struct CreditsState {
    bool open = false;
    double offset = 0;
    TCreditsNilSprite* day = nullptr;
    TCreditsNilSprite* night = nullptr;
    TAnimatedSprite* strip = nullptr;
    TCredits_Button2_Sprite* back = nullptr;
};
CreditsState State;

TCreditsNilSprite* MakeText(int z, TColor2 titles, TColor2 names) {
    auto* t = new TCreditsNilSprite(MainEngine);
    t->FTitleColor = titles;
    t->FNameColor = names;
    t->FX = 0;
    t->FY = 0;
    t->SetZ(z);
    return t;
}

void BuildCredits() {
    State.day = MakeText(5, TColor2{0xFFD431, 0xCFFF31}, TColor2{0xF2EAFF, 0x95F5FF});
    State.night = MakeText(1003, TColor2{0x7BFF31, 0xFFE531}, TColor2{0xFFFFFF, 0xF7FFE1});
    State.night->FVisible = false;
    State.night->SetAlpha(0);

    State.strip = new TAnimatedSprite(MainEngine);
    State.strip->SetImageName("blackpixel.image");
    State.strip->FX = 550;
    State.strip->FY = 0;
    State.strip->FScaleX = 820;
    State.strip->FScaleY = 1080;
    State.strip->SetAlpha(0);
    State.strip->SetZ(4);

    auto* b = new TCredits_Button2_Sprite(MainEngine);
    b->SetButtonName(button_MM_Credits_Back);
    b->SetButtonShadow(true);
    b->SetButtonImage("Button_1");
    b->SetParameters(Texts().Button("Credits_Back_Button"));
    b->FText_Color = BackColors;
    b->FText_Font_index = ToonFont;
    b->SetLightFadeSpeed(7.0f);
    b->SetZ(3000);
    b->SetPosition(TPoint2{CentreX - static_cast<float>(b->GetImageWidth()) / 2.0f,
                           990.0f - static_cast<float>(b->GetImageHeight()) / 2.0f});
    b->UpdateCollisionParameters();
    State.back = b;
}

void LeaveCredits() {
    PlayMusic(-1, false);
    StartTransition(fl_credits_GoToMM, FadeSpeedSlow);
}

} // namespace

void TCreditsNilSprite::DoDraw() {
    if (FAlpha < 1) return;
    TKilnFonts* fonts = GuiFonts();
    TKilnFont* font = fonts && ShadowFont >= 0 ? fonts->Font(ShadowFont) : nullptr;
    if (!font) return;
    const TColor alpha = static_cast<TColor>(std::clamp(FAlpha, 0, 255)) << 24;
    const auto withAlpha = [alpha](TColor2 c) {
        return TColor2{(c.top & 0xFFFFFF) | alpha, (c.bottom & 0xFFFFFF) | alpha};
    };
    const TColor2 titles = withAlpha(FTitleColor);
    const TColor2 names = withAlpha(FNameColor);
    const float top = static_cast<float>(State.offset) + ListTop;
    const TPoint2 saved = font->FScale;
    for (const CreditsLine& line : LayOutCredits(Texts().Credits)) {
        const float y = top + line.y;
        if (line.text.empty() || y < -DrawMargin || y > 1080 + DrawMargin) continue;
        const float scale = line.title ? 1.0f : NameScale;
        font->FScale = TPoint2{scale, scale};
        font->TextOut(TPoint2{CentreX, y}, line.text, true, 1.0f, line.title ? titles : names);
    }
    font->FScale = saved;
}

void OpenCredits() {
    if (State.open || !MainEngine) return;
    WriteLog("Creating credits...", 1);
    State.offset = 0;
    ShowMainMenuFront(false);
    BuildCredits();
    State.open = true;
    OpenOver(scene_Credits, Beneath::Lives);
    PlayMusic(music_MainMenu, true);
}

void CloseCredits() {
    if (!State.open) return;
    SaveOptions();
    WriteLog("Destroying credits...", 1);
    for (TSprite* s : {static_cast<TSprite*>(State.day), static_cast<TSprite*>(State.night),
                       static_cast<TSprite*>(State.strip)})
        if (s) s->Dead();
    if (State.back) State.back->Kill();
    State = CreditsState{};
    CloseOver(scene_Credits);
}

bool CreditsOpen() {
    return State.open;
}

double CreditsOffset() {
    return State.offset;
}

void CreditsUpdate() {
    if (!State.open) return;
    if (State.offset > ScrollEnd) State.offset -= ScrollSpeed;
    if (TSprite* logo = MainMenuLogo()) logo->FY = static_cast<float>(State.offset) + LogoLead;
    if (State.strip && State.strip->FAlpha < StripLimit)
        State.strip->SetAlpha(State.strip->FAlpha + 1);
    const int sky = MainMenuNightAlpha();
    if (State.night) {
        State.night->FVisible = sky > 0;
        State.night->SetAlpha(sky);
    }
    if (State.back) {
        State.back->FText_Color = sky > 0 ? NightShiftedColors(BackColors, sky) : BackColors;
    }
}

void CreditsInput(TSprite& sprite) {
    if (&sprite != State.back || !State.back) return;
    if (ButtonProtocol(*State.back, MenuButtonHover)) LeaveCredits();
}

namespace {

class CreditsScene final : public Scene {
public:
    void Command(TTS_Message message) override {
        if (message == msg_Create) OpenCredits();
        if (message == msg_Destroy) CloseCredits();
    }
    void Tick() override {
        TickScenesBelow();
        CreditsUpdate();
        MoveMainEngine();
        // Nothing answers the pointer while a fade covers the screen.
        if (!TransitionVisible()) RunHitTest();
    }
    void Hit(TSprite& sprite) override { CreditsInput(sprite); }
    void Release() override {
        MouseReleased = true;
        MouseButtonDown = false;
        MouseReleased = false;
    }
    void Escape() override { LeaveCredits(); }
    void ForgetSprites() override { State = CreditsState{}; }
};

} // namespace

std::unique_ptr<Scene> MakeCreditsScene() {
    return std::make_unique<CreditsScene>();
}

} // namespace bw
