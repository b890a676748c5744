#include "meta/Awards.h"

#include "Engine/KilnSprite/SpriteEngine.h"
#include "Engine/KilnSprite/SpriteMath.h"
#include "audio/SoundEngine.h"
#include "base/GameObjects.h"
#include "base/GameOptions.h"
#include "base/GameState.h"
#include "base/Player.h"
#include "base/Scene.h"
#include "base/SceneTransition.h"
#include "base/ScreenNotice.h"
#include "data/GameFonts.h"
#include "data/KilnFonts.h"
#include "data/TextDatabase.h"
#include "gui/ButtonProtocol.h"
#include "gui/ButtonSprites.h"
#include "gui/Shade.h"
#include "gui/TextDrawing.h"
#include "gui/TextureOffsetSprite.h"
#include "meta/MainMenu.h"
#include "meta/Profile.h"
#include "platform/Log.h"
#include "render/DisplayState.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace bw {

namespace {

// ---- Medals --------------------------------------------------------------------------------

constexpr std::array<std::array<int, 3>, AwardsCount> Thresholds{{
    {20, 40, 56},
    {5000, 125000, 215000},
    {10, 90, 200},
    {25, 130, 400},
    {7, 12, 20},
    {20, 150, 400},
    {25, 70, 150},
    {50, 180, 250},
    {100, 600, 1000},
    {12, 25, 85},
}};

std::vector<TNewAward> Queue;
TNewAwardSprite* Popup = nullptr;
int PopupsOnScreen = 0;

bool ValidAward(int index) {
    return index >= 1 && index <= AwardsCount;
}

std::string IconName(int award, int medal) {
    return "award_" + std::to_string(award) + "_medal_" + std::to_string(medal) + ".image";
}

TKilnFont* ShadowFontOrNull() {
    TKilnFonts* fonts = GuiFonts();
    return fonts && ShadowFont >= 0 ? fonts->Font(ShadowFont) : nullptr;
}

// A wrapped record of the text database as lines, its placeholder filled with `vars`.
TTSText WrappedName(const std::string& key, const TTSTextVars& vars = {}) {
    const TWrapedTSText& record = Texts().WrapedText(key);
    TTSText text;
    text.Scale = record.Scale;
    text.OffSet = record.OffSet;
    text.Leading = record.Leading;
    text.Centered = record.Centered;
    const std::string body = vars.empty() ? record.Text : ReplacePlaceholders(record.Text, vars);
    if (TextWrapper() && record.Width > 0)
        text.Text = TextWrapper()(body, record.Scale, record.Width);
    else
        text.Text = {body};
    return text;
}

// Writes a wrapped block so that it is centred vertically on `anchor`.y + 22.
void DrawCentredBlock(const TTSText& text, TPoint2 anchor, float alpha, TColor2 colors) {
    const double lines = static_cast<double>(text.Text.size());
    const float shift =
        static_cast<float>(KilnRound(22.0 - lines * static_cast<double>(text.Leading) / 2.0));
    DrawTSText(ShadowFontOrNull(), text, TPoint2{anchor.x, anchor.y + shift}, alpha, colors);
}

TColor2 White(int alpha) {
    const TColor a = static_cast<TColor>(std::clamp(alpha, 0, 255)) << 24;
    return TColor2{a | 0xFFFFFF, a | 0xFFFFFF};
}

void RemovePopup() {
    if (!Popup) return;
    Popup->FFx.Kill();
    Popup->Dead();
    Popup = nullptr;
    PopupsOnScreen = std::max(0, PopupsOnScreen - 1);
}

void StartPopup(const TNewAward& award) {
    SfxByName("sfx_award_new");
    RemovePopup();
    Popup = new TNewAwardSprite(MainEngine, award.Award, award.Medal);
    ++PopupsOnScreen;
}

void ShowLogoInDayLook();

// The popup is moved and drawn by the frame, over every scene. The notice also brings the
// menu's logo back with the day once the awards screen closed at night.
class AwardNotice final : public ScreenNotice {
public:
    void Tick() override {
        if (Popup && !Popup->FDeaded) Popup->DoMove(1.0f);
        ShowLogoInDayLook();
    }
    void Draw() override {
        if (Popup && Popup->FVisible) Popup->DoDraw();
    }
};

constexpr float ParticleStep = 0.01f;
constexpr int ParticleWarmUp = 25;

} // namespace

int AwardCounter(int index) {
    const TPlayer& p = Player;
    switch (index) {
    case AwardCompletedTasks:
        return CompletedTasksCount();
    case AwardScore:
        return p.Score;
    case AwardBirdsBurned:
        return p.BirdsWereBurned;
    case AwardCatsCaught:
        return p.CatsWereKilled;
    case AwardMaxCombo:
        return p.MaxCombo;
    case AwardBonusesActivated:
        return p.BonusesActivated;
    case AwardBirdsPainted:
        return p.BirdsPainted;
    case AwardWallsDestroyed:
        return p.WallsDestroyed;
    case AwardBirdsUnbound:
        return p.BirdsUnbounded;
    case AwardCrowsKilled:
        return p.CrownsKilled;
    default:
        return 0;
    }
}

int AwardThreshold(int index, int medal) {
    if (!ValidAward(index) || medal < 1 || medal > MaxMedal) return 0;
    return Thresholds[static_cast<size_t>(index - 1)][static_cast<size_t>(medal - 1)];
}

std::function<void(AwardIndex)>& AwardCheckWatcher() {
    static std::function<void(AwardIndex)> watcher;
    return watcher;
}

void CheckAward(AwardIndex index) {
    if (AwardCheckWatcher()) AwardCheckWatcher()(index);
    const int i = static_cast<int>(index);
    if (ValidAward(i)) {
        int& medal = Player.Awards[static_cast<size_t>(i)];
        // A medal the file carried out of range counts as the nearest one.
        medal = std::clamp(medal, 0, MaxMedal);
        if (medal < MaxMedal && AwardCounter(i) >= AwardThreshold(i, medal + 1)) {
            ++medal;
            Queue.push_back(TNewAward{i, medal});
        }
    }
    AnnounceNextAward();
}

void CheckAllAwards() {
    for (int i = AwardCompletedTasks; i <= AwardCrowsKilled; ++i)
        CheckAward(static_cast<AwardIndex>(i));
}

void AnnounceNextAward() {
    if (Queue.empty() || PopupsOnScreen > 0 || !MainEngine) return;
    const TNewAward next = Queue.front();
    Queue.erase(Queue.begin());
    StartPopup(next);
    SaveProfile();
}

void DiscardAwards() {
    Queue.clear();
    RemovePopup();
    PopupsOnScreen = 0;
}

const std::vector<TNewAward>& NewAwards() {
    return Queue;
}

TNewAwardSprite* AwardPopup() {
    return Popup;
}

std::unique_ptr<ScreenNotice> MakeAwardNotice() {
    return std::make_unique<AwardNotice>();
}

// ---- The popup -----------------------------------------------------------------------------

TNewAwardSprite::TNewAwardSprite(TSprite* parent, int award, int medal)
    : TAnimatedSprite(parent), FAwardIndex(award), FMedal(medal), FValue(AwardCounter(award)) {
    SetImageName("NewAward_Panel.image");
    FX = AwardPopupPos.x;
    FY = AwardPopupPos.y;
    FManualRender = true;
    FMoved = false;
    SetAlpha(0);
    FIconSprite = new TAnimatedSprite(this);
    FIconSprite->SetImageName(IconName(award, medal));
    FIconSprite->FManualRender = true;
    FIconSprite->FMoved = false;
    FIconSprite->FX = FX + 32;
    FIconSprite->FY = FY + 29;
    FIconSprite->SetAlpha(0);
    FText = WrappedName("Awards_Name_" + std::to_string(award));
}

TNewAwardSprite::~TNewAwardSprite() {
    FFx.Kill();
    if (Popup == this) {
        Popup = nullptr;
        PopupsOnScreen = std::max(0, PopupsOnScreen - 1);
    }
}

void TNewAwardSprite::DoMove(float moveCount) {
    TAnimatedSprite::DoMove(moveCount);
    switch (FShowStage) {
    case 1:
        FTimeCounter = 5;
        FShowStage = 2;
        break;
    case 2:
        FTimeCounter -= 1;
        if (FTimeCounter <= 0) FShowStage = 3;
        break;
    case 3:
        FTimeCounter = 0;
        if (TXParticleManager* manager = ParticleManager()) {
            if (TXParticleSystem* fx =
                    manager->Launch("Awards_New_fx.xml", TPoint2{FX + 10, FY + 5})) {
                fx->FManualRender = true;
                for (int i = 0; i < ParticleWarmUp; ++i) fx->Update(ParticleStep);
                FFx = fx;
            }
        }
        FShowStage = 4;
        break;
    case 4:
        FTimeCounter += 10;
        if (FTimeCounter >= 255) {
            FTimeCounter = 255;
            FShowStage = 5;
        }
        SetAlpha(KilnRound(FTimeCounter));
        break;
    case 5:
        FTimeCounter = 17;
        if (TXParticleSystem* fx = FFx.Get()) fx->Stop(false);
        FShowStage = 6;
        break;
    case 6:
        FY += 0.05f;
        FTimeCounter -= 0.1;
        if (FTimeCounter <= 0) {
            FTimeCounter = 255;
            FShowStage = 7;
        }
        break;
    case 7:
        FY += 0.1f;
        FTimeCounter -= 5;
        if (FTimeCounter <= 0) {
            FTimeCounter = 0;
            FShowStage = 8;
        }
        SetAlpha(KilnRound(FTimeCounter));
        break;
    default:
        RemovePopup();
        AnnounceNextAward();
        return;
    }
    if (TXParticleSystem* fx = FFx.Get()) fx->Update(ParticleStep * moveCount);
    if (FIconSprite) {
        FIconSprite->FX = FX + 32;
        FIconSprite->FY = FY + 29;
        FIconSprite->SetAlpha(FAlpha);
    }
}

void TNewAwardSprite::DoDraw() {
    if (FAlpha > 0) {
        TAnimatedSprite::DoDraw();
        if (FIconSprite) FIconSprite->DoDraw();
        DrawCentredBlock(FText, TPoint2{FX + 268, FY + 70}, static_cast<float>(FAlpha) / 255.0f,
                         White(255));
    }
    if (TXParticleSystem* fx = FFx.Get()) fx->Render(0, 0);
}

// ---- The awards screen ---------------------------------------------------------------------

namespace {

constexpr TPoint2 PanelPos{390, 55};
constexpr int PanelZ = 2000;
constexpr int ShadeZ = 1999;
constexpr int ShadeLimit = 125;
constexpr int TileZ = 2001;
constexpr int LightZ = 2002;
constexpr int IconZ = 2003;
constexpr int BarZ = 2003;
constexpr int ProgressZ = 2004;
constexpr int MarkerZ = 2005;
constexpr int DescriptionZ = 2010;
constexpr int HoverLight = 175;
constexpr int LightFade = 7;
constexpr int DescriptionFadeIn = 15;
constexpr float ThresholdScale = 0.6f;
constexpr float CounterScale = 0.8f;
constexpr TColor2 TitleColors{0xFFFFFFFF, 0xFFF7FFE1};
constexpr TColor2 BackColors{0xFFFFFA42, 0xFFFCE021};

struct AwardsState {
    bool open = false;
    int hovered = 0;
    TAnimatedSprite* shade = nullptr;
    TAwardsPanelSprite* panel = nullptr;
    TButtonSprite2* back = nullptr;
    std::array<TMMAwardSprite*, AwardsCount> tiles{};
    TMMAwardsDescriptionPanel* description = nullptr;
};
AwardsState State;

class TAwardsButtonSprite final : public TButtonSprite2 {
public:
    using TButtonSprite2::TButtonSprite2;
};

TAnimatedSprite* MakePicture(TSprite* parent, const std::string& image, float x, float y, int z) {
    auto* s = new TAnimatedSprite(parent);
    s->SetImageName(image);
    s->FX = x;
    s->FY = y;
    s->SetZ(z);
    return s;
}

// Where the screen's sprites live: MainEngine, or a manually drawn child of the panel.
TAnimatedSprite* MakeOwnedPicture(TSprite* owner, const std::string& image) {
    auto* s = new TAnimatedSprite(owner);
    s->SetImageName(image);
    s->FManualRender = true;
    s->FMoved = false;
    return s;
}

void BuildAwards() {
    const TPoint2 p = PanelPos;
    State.shade = CreateShade(MainEngine, ShadeZ);

    State.panel = new TAwardsPanelSprite(MainEngine);
    State.panel->SetImageName("MM_Awards_Panel.image");
    State.panel->FX = p.x;
    State.panel->FY = p.y;
    State.panel->SetZ(PanelZ);

    auto* back = new TAwardsButtonSprite(MainEngine);
    StyleGoldButton(*back, ToonFont);
    back->SetButtonName(button_MM_Awards_Back);
    back->SetParameters(Texts().Button("Awards_Back_Button"));
    back->FText_Color = BackColors;
    back->SetZ(TileZ);
    back->SetPosition(TPoint2{p.x + 430, p.y + 824});
    back->UpdateCollisionParameters();
    State.back = back;

    for (int i = 1; i <= AwardsCount; ++i) {
        const float x = p.x + ((i - 1) % 2 == 0 ? 140.0f : 590.0f);
        const float y = p.y + 70.0f + 150.0f * static_cast<float>((i - 1) / 2);
        State.tiles[static_cast<size_t>(i - 1)] = new TMMAwardSprite(MainEngine, i, TPoint2{x, y});
    }
    State.description = new TMMAwardsDescriptionPanel(MainEngine);
}

void LeaveAwards() {
    CloseAwards();
}

bool IsAwardsSprite(const TSprite& s) {
    return SpriteIs<TAwardsPanelSprite>(s) || SpriteIs<TMMAwardSprite>(s) ||
           SpriteIs<TMMAwardsDescriptionPanel>(s) || SpriteIs<TAwardsButtonSprite>(s);
}

// Every light fades; hidden at 0.
void FadeLights() {
    for (TMMAwardSprite* tile : State.tiles) {
        if (!tile || !tile->FLightSprite) continue;
        TAnimatedSprite& light = *tile->FLightSprite;
        light.SetAlpha(std::max(0, light.FAlpha - LightFade));
        if (light.FAlpha == 0) light.FVisible = false;
    }
}

// The logo waits for the day look once the screen has closed at night.
bool LogoWaitsForDay = false;

void ShowLogoInDayLook() {
    if (!LogoWaitsForDay || AwardsOpen()) return;
    TSprite* logo = MainMenuLogo();
    if (!logo) {
        LogoWaitsForDay = false;
        return;
    }
    if (MainMenuNight()) return;
    logo->FVisible = true;
    LogoWaitsForDay = false;
}

} // namespace

void TAwardsPanelSprite::DoDraw() {
    TAnimatedSprite::DoDraw();
    TTSText title = Texts().Text("Awards_Title");
    title.Centered = true;
    DrawTSText(ShadowFontOrNull(), title, TPoint2{FX + 571, FY + 31},
               static_cast<float>(FAlpha) / 255.0f, TitleColors);
}

TMMAwardSprite::TMMAwardSprite(TSprite* parent, int index, TPoint2 position)
    : TAnimatedSprite(parent), FIndex(index) {
    SetImageName("MM_Awards_Slot.image");
    FX = position.x;
    FY = position.y;
    SetZ(TileZ);
    FCollisioned = true;
    FCollideMode = cmRect;
    const int x = KilnRound(FX), y = KilnRound(FY);
    FCollideRect = TRect{x + 10, y + 10, x + GetImageWidth() - 18, y + GetImageHeight() - 10};

    FLightSprite = MakePicture(parent, "MM_Awards_Slot.image", FX, FY, LightZ);
    FLightSprite->FEffect = beAdd;
    FLightSprite->FVisible = false;
    FLightSprite->SetAlpha(0);

    const int medal = std::clamp(Player.Awards[static_cast<size_t>(index)], 0, MaxMedal);
    FIconSprite = MakePicture(parent, IconName(index, medal), FX + 21, FY + 23, IconZ);
    FBarSprite = MakePicture(parent, "MM_Awards_Bar.image", FX + 162, FY + 87, BarZ);
    auto* progress = new TTextureOffsetSprite(parent);
    progress->SetImageName("MM_Awards_Progress.image");
    progress->FX = FX + 162;
    progress->FY = FY + 87;
    progress->fDoTextureMove = false;
    progress->SetZ(ProgressZ);
    FProgressSprite = progress;

    const double top = AwardThreshold(index, 3);
    for (int m = 1; m <= MaxMedal; ++m) {
        const float mx =
            m == MaxMedal
                ? FX + 337
                : static_cast<float>(FX + 168 - 16 + 187.0 * AwardThreshold(index, m) / top);
        FMedals[static_cast<size_t>(m - 1)] = MakePicture(
            parent, "MM_Awards_Medal_" + std::to_string(m) + ".image", mx, FY + 72, MarkerZ);
    }
    FText = WrappedName("Awards_Name_" + std::to_string(index));
}

void TMMAwardSprite::SetProgress(int counter) {
    if (!FProgressSprite) return;
    const int width = AwardProgressRenderWidth(counter, AwardThreshold(FIndex, 3),
                                               FProgressSprite->GetImageWidth());
    FProgressSprite->fRenderSize = TPoint{width, 0};
}

void TMMAwardSprite::Kill() {
    for (TSprite* s : {static_cast<TSprite*>(FLightSprite), static_cast<TSprite*>(FIconSprite),
                       static_cast<TSprite*>(FBarSprite), static_cast<TSprite*>(FProgressSprite)})
        if (s) s->Dead();
    for (TAnimatedSprite* m : FMedals)
        if (m) m->Dead();
    FLightSprite = FIconSprite = FBarSprite = nullptr;
    FProgressSprite = nullptr;
    FMedals = {};
    Dead();
}

void TMMAwardSprite::DoDraw() {
    TAnimatedSprite::DoDraw();
    DrawCentredBlock(FText, TPoint2{FX + 268, FY + 38}, static_cast<float>(FAlpha) / 255.0f,
                     TitleColors);
}

int AwardProgressRenderWidth(int counter, int top, int imageWidth) {
    if (top <= 0 || imageWidth <= 0) return 0;
    const double c = std::max(0, counter);
    const double b = c / top * 0.94 + 0.03;
    if (b > 0.97) return 0;
    return KilnRound(b * imageWidth);
}

TPoint2 AwardDescriptionOffset(int index) {
    const bool right = index % 2 == 0;
    const bool bottom = index >= 9;
    return TPoint2{right ? -423.0f : 0.0f, bottom ? -250.0f : 0.0f};
}

TMMAwardsDescriptionPanel::TMMAwardsDescriptionPanel(TSprite* parent) : TAnimatedSprite(parent) {
    SetImageName("MM_Awards_Description_Panel.image");
    SetZ(DescriptionZ);
    FVisible = false;
    SetAlpha(0);
    for (int m = 1; m <= MaxMedal; ++m) {
        FMedals[static_cast<size_t>(m - 1)] =
            MakeOwnedPicture(this, "MM_Awards_Description_Medal_" + std::to_string(m) + ".image");
        FCompleteIcons[static_cast<size_t>(m - 1)] =
            MakeOwnedPicture(this, "MM_Awards_Complete.image");
    }
    for (int i = 1; i <= AwardsCount; ++i)
        FTexts[static_cast<size_t>(i - 1)] = WrappedName(
            "Awards_Text_" + std::to_string(i), MakeTextVars(std::to_string(AwardCounter(i))));
}

void TMMAwardsDescriptionPanel::DoDraw() {
    if (!ValidAward(FIndex) || FAlpha <= 0) return;
    TAnimatedSprite::DoDraw();
    const float alpha = static_cast<float>(FAlpha) / 255.0f;
    const TColor2 white = White(255);
    TKilnFont* font = ShadowFontOrNull();
    if (font) {
        const TPoint2 saved = font->FScale;
        font->FScale = TPoint2{CounterScale, CounterScale};
        font->TextOut(TPoint2{FX + 222, FY + 126}, std::to_string(FValue), true, alpha, white);
        font->FScale = saved;
    }
    const std::array<float, 3> rows{149, 183, 218};
    const std::array<float, 3> lefts{184, 185, 185};
    const int medal = std::clamp(Player.Awards[static_cast<size_t>(FIndex)], 0, MaxMedal);
    for (int m = 0; m < MaxMedal; ++m) {
        const TPoint2 at{FX + lefts[static_cast<size_t>(m)] - FMedalsOffsetX / 2,
                         FY + rows[static_cast<size_t>(m)]};
        if (TAnimatedSprite* picture = FMedals[static_cast<size_t>(m)]) {
            picture->FX = at.x;
            picture->FY = at.y;
            picture->SetAlpha(FAlpha);
            picture->DoDraw();
        }
        if (TAnimatedSprite* tick = FCompleteIcons[static_cast<size_t>(m)]; tick && m < medal) {
            tick->FX = at.x - 8;
            tick->FY = at.y + 8;
            tick->SetAlpha(FAlpha);
            tick->DoDraw();
        }
        if (font) {
            const TPoint2 saved = font->FScale;
            font->FScale = TPoint2{ThresholdScale, ThresholdScale};
            font->TextOut(TPoint2{at.x + 50, at.y + 10},
                          "- " + std::to_string(AwardThreshold(FIndex, m + 1)), false, alpha,
                          white);
            font->FScale = saved;
        }
    }
    DrawCentredBlock(FTexts[static_cast<size_t>(FIndex - 1)], TPoint2{FX + 227, FY + 60}, alpha,
                     white);
}

void UpdateAwardDescription(int index) {
    TMMAwardsDescriptionPanel* panel = State.description;
    if (!panel) return;
    if (!ValidAward(index)) {
        panel->FIndex = 0;
        panel->SetAlpha(0);
        panel->FVisible = false;
        return;
    }
    if (index == panel->FIndex) {
        panel->SetAlpha(std::min(255, panel->FAlpha + DescriptionFadeIn));
    } else {
        panel->FIndex = index;
        panel->FValue = AwardCounter(index);
        panel->SetAlpha(0);
        float widest = 0;
        if (TKilnFont* font = ShadowFontOrNull()) {
            const TPoint2 saved = font->FScale;
            font->FScale = TPoint2{ThresholdScale, ThresholdScale};
            for (int m = 1; m <= MaxMedal; ++m)
                widest =
                    std::max(widest, font->TextWidth(std::to_string(AwardThreshold(index, m))));
            font->FScale = saved;
            if (DisplayScale.x > 0) widest /= DisplayScale.x;
        }
        panel->FMedalsOffsetX = widest;
    }
    panel->FVisible = true;
    const TPoint2 offset = AwardDescriptionOffset(index);
    panel->FX = static_cast<float>(MouseX) + offset.x;
    panel->FY = static_cast<float>(MouseY) + offset.y;
}

void OpenAwards() {
    if (State.open || !MainEngine) return;
    WriteLog("Creating awards...", 1);
    CheckAllAwards();
    BuildAwards();
    State.open = true;
    State.hovered = 0;
    OpenOver(scene_Awards, Beneath::Lives);
    for (TMMAwardSprite* tile : State.tiles)
        if (tile) tile->SetProgress(AwardCounter(tile->FIndex));
    LogoWaitsForDay = false;
    if (TSprite* logo = MainMenuLogo()) logo->FVisible = false;
}

void CloseAwards() {
    if (!State.open) return;
    SaveOptions();
    WriteLog("Destroying awards...", 1);
    for (TMMAwardSprite* tile : State.tiles)
        if (tile) tile->Kill();
    if (State.description) State.description->Dead();
    if (State.back) State.back->Kill();
    if (State.panel) State.panel->Dead();
    if (State.shade) State.shade->Dead();
    State = AwardsState{};
    CloseOver(scene_Awards);
    // The logo comes back in the day look; at night it returns with the next day.
    LogoWaitsForDay = true;
    ShowLogoInDayLook();
}

bool AwardsOpen() {
    return State.open;
}

void AwardsInput(TSprite& sprite) {
    if (!State.open) return;
    if (State.back && &sprite == State.back) {
        if (ButtonProtocol(*State.back, MenuButtonHover)) LeaveAwards();
        return;
    }
    for (TMMAwardSprite* tile : State.tiles) {
        if (!tile || &sprite != tile) continue;
        State.hovered = tile->FIndex;
        if (TAnimatedSprite* light = tile->FLightSprite) {
            if (light->FAlpha <= 50) SfxByName(ButtonOverSound);
            light->FVisible = true;
            light->SetAlpha(HoverLight);
        }
        return;
    }
}

TMMAwardSprite* AwardTile(int index) {
    return ValidAward(index) ? State.tiles[static_cast<size_t>(index - 1)] : nullptr;
}

TMMAwardsDescriptionPanel* AwardDescription() {
    return State.description;
}

TButtonSprite2* AwardsBackButton() {
    return State.back;
}

TAnimatedSprite* AwardsShade() {
    return State.shade;
}

namespace {

class AwardsScene final : public Scene {
public:
    void Command(TTS_Message message) override {
        if (message == msg_Create) OpenAwards();
        if (message == msg_Destroy) CloseAwards();
    }
    void Tick() override {
        if (!State.open) return;
        TickScenesBelow();
        FadeShadeIn(State.shade, ShadeLimit);
        FadeLights();
        State.hovered = 0;
        MoveOverScene(&IsAwardsSprite);
        // Nothing answers the pointer while a fade covers the screen.
        if (!TransitionVisible()) RunHitTest();
        UpdateAwardDescription(State.hovered);
    }
    void Hit(TSprite& sprite) override { AwardsInput(sprite); }
    void Release() override {
        MouseReleased = true;
        MouseButtonDown = false;
        MouseReleased = false;
    }
    void Escape() override { LeaveAwards(); }
    void ForgetSprites() override {
        State = AwardsState{};
        Popup = nullptr;
        PopupsOnScreen = 0;
    }
};

} // namespace

std::unique_ptr<Scene> MakeAwardsScene() {
    return std::make_unique<AwardsScene>();
}

} // namespace bw
