#include "ingame/Help.h"

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
#include "gui/Shade.h"
#include "gui/TextDrawing.h"
#include "ingame/TutorialSteps.h"
#include "meta/Profile.h"
#include "platform/Log.h"

#include <algorithm>
#include <array>
#include <set>

namespace bw {

namespace {

constexpr int ShadeZ = 7999;
constexpr int PanelZ = 8000;
constexpr int BlockZ = 8001;
constexpr int ButtonZ = 8002;
constexpr int ShadeLimit = 200;
constexpr TPoint2 PanelPos{390, 55};
constexpr float TextGap = 371;
constexpr TColor2 TitleColors{0xFFFFFFFF, 0xFFF7FFE1};
constexpr TColor2 TopicColors{0xFFFFFFFF, 0xFFFFF3D6};

struct HelpState {
    bool open = false;
    int lastTopic = 0;
    int pages = 1;
    int page = 1;
    THelp_Panel* panel = nullptr;
    TAnimatedSprite* shade = nullptr;
    std::array<THelpBlockSprite*, 3> blocks{};
    THelpButtonSprite* left = nullptr;
    THelpButtonSprite* right = nullptr;
    THelpSimpleButton* back = nullptr;
    int musicBefore = -1;
};
HelpState Help;
std::set<std::string> Reported;

void ReportOnce(const std::string& line) {
    if (Reported.insert(line).second) WriteLog(line, 1);
}

TKilnFont* ShadowFontOrNull() {
    return Fonts ? Fonts->Font(ShadowFont) : nullptr;
}

TTSText Wrap(const TWrapedTSText& record, float width) {
    TTSText text;
    text.Scale = record.Scale;
    text.OffSet = record.OffSet;
    text.Leading = record.Leading;
    text.Centered = record.Centered;
    TKilnFont* font = ShadowFontOrNull();
    if (font && width > 0) {
        const TPoint2 saved = font->FScale;
        font->FScale = record.Scale;
        text.Text = font->GetWordWrapedTextFromString(record.Text, width);
        font->FScale = saved;
    } else {
        text.Text = {record.Text};
    }
    return text;
}

bool IsHelpSprite(const TSprite& s) {
    if (&s == Help.panel || &s == Help.shade) return true;
    for (THelpBlockSprite* b : Help.blocks)
        if (&s == b) return true;
    for (TGlowButtonSprite* b :
         {static_cast<TGlowButtonSprite*>(Help.left), static_cast<TGlowButtonSprite*>(Help.right),
          static_cast<TGlowButtonSprite*>(Help.back)})
        if (b && (&s == b || &s == b->LightSprite())) return true;
    return false;
}

THelpButtonSprite* MakeArrowButton(TButtonName name, const char* caption, TPoint2 pos) {
    auto* b = new THelpButtonSprite(MainEngine);
    StyleGoldButton(*b, ToonFont);
    TTSTextButton p;
    p.Text = {caption};
    p.Scale = TPoint2{1.5f, 1.5f};
    p.Centered = true;
    p.ButtonWidth = 112;
    p.ButtonScale = TPoint2{1, 1};
    b->SetParameters(p);
    b->SetButtonName(name);
    b->SetZ(ButtonZ);
    b->SetPosition(pos);
    b->UpdateCollisionParameters();
    return b;
}

void ShowPage(int page) {
    Help.page = std::clamp(page, 1, Help.pages);
    for (size_t i = 0; i < Help.blocks.size(); ++i) {
        THelpBlockSprite* block = Help.blocks[i];
        if (!block) continue;
        const int topic = HelpTopicOnPage(Help.page, static_cast<int>(i), Help.lastTopic);
        block->FTopic = topic;
        block->FVisible = topic >= 0;
        if (topic < 0) continue;
        const std::string key = "help_" + std::to_string(topic);
        const std::string image = key + ".image";
        block->SetImageName(image);
        if (!block->FImage) ReportOnce("Help: no picture " + image + "; its text shows alone");
        const TWrapedTSText& record = Texts().WrapedText(key);
        if (record.Text.empty()) ReportOnce("Help: no text " + key + " in the text database");
        block->FText = Wrap(record, static_cast<float>(record.Width > 0 ? record.Width : 620));
    }
    if (Help.left) Help.left->SetEnabled(Help.page > 1);
    if (Help.right) Help.right->SetEnabled(Help.page < Help.pages);
    if (Help.panel)
        Help.panel->FPageText = std::to_string(Help.page) + "/" + std::to_string(Help.pages);
}

void Build() {
    Help.shade = CreateShade(MainEngine, ShadeZ);
    auto* panel = new THelp_Panel(MainEngine);
    panel->SetImageName("help_panel.image");
    if (!panel->FImage) ReportOnce("Help: no picture help_panel.image");
    panel->FX = PanelPos.x;
    panel->FY = PanelPos.y;
    panel->SetZ(PanelZ);
    const TWrapedTSText& title = Texts().WrapedText("help_title");
    panel->FTitle = Wrap(title, static_cast<float>(title.Width));
    Help.panel = panel;
    for (size_t i = 0; i < Help.blocks.size(); ++i) {
        auto* block = new THelpBlockSprite(MainEngine);
        block->FX = 460;
        block->FY = 135 + 220 * static_cast<float>(i);
        block->SetZ(BlockZ);
        Help.blocks[i] = block;
    }
    Help.left = MakeArrowButton(button_Help_Left, "<", TPoint2{820, 815});
    Help.right = MakeArrowButton(button_Help_Right, ">", TPoint2{1020, 815});
    auto* back = new THelpSimpleButton(MainEngine);
    back->SetButtonImage("MM_Options_Back_Button.image");
    back->SetButtonName(button_Help_Back);
    back->SetPosition(TPoint2{1404, 873});
    back->SetLightFadeSpeed(7.0f);
    back->SetZ(ButtonZ);
    back->UpdateCollisionParameters();
    Help.back = back;
}

void RemoveSprites() {
    for (TGlowButtonSprite* b :
         {static_cast<TGlowButtonSprite*>(Help.left), static_cast<TGlowButtonSprite*>(Help.right),
          static_cast<TGlowButtonSprite*>(Help.back)})
        if (b) b->Kill();
    for (THelpBlockSprite*& b : Help.blocks) {
        if (b) b->Dead();
        b = nullptr;
    }
    if (Help.shade) Help.shade->Dead();
    if (Help.panel) Help.panel->Dead();
    Help.left = Help.right = nullptr;
    Help.back = nullptr;
    Help.shade = nullptr;
    Help.panel = nullptr;
}

void RunButton(TButtonName name) {
    switch (name) {
    case button_Help_Left:
        if (Help.page > 1) ShowPage(Help.page - 1);
        return;
    case button_Help_Right:
        if (Help.page < Help.pages) ShowPage(Help.page + 1);
        return;
    case button_Help_Back:
        CloseHelp();
        return;
    default:
        return;
    }
}

bool IsHelpButton(const TSprite& s) {
    return &s == Help.left || &s == Help.right || &s == Help.back;
}

class HelpScene final : public Scene {
public:
    void Command(TTS_Message message) override {
        if (message == msg_Create) OpenHelp();
        // A fade that leaves the level takes the help with it; the fade sets the music.
        if (message == msg_Destroy) CloseHelp(false);
    }
    // The level stands still beneath: only the help screen moves.
    void Tick() override {
        if (!Help.open) return;
        FadeShadeIn(Help.shade, ShadeLimit);
        MoveOverScene(&IsHelpSprite);
        if (!TransitionVisible()) RunHitTest();
    }
    void Hit(TSprite& sprite) override {
        if (Help.open && IsHelpButton(sprite))
            HandleButtonHit(sprite, PanelButtonHover, [](TButtonName name) { RunButton(name); });
    }
    // The press that opened the help, or one on its buttons, must not reach the level.
    void Release() override {
        MouseButtonDown = false;
        MouseReleased = false;
    }
    void Escape() override {
        if (Help.open) CloseHelp();
    }
    void ForgetSprites() override { Help = HelpState{}; }
};

} // namespace

void THelp_Panel::DoDraw() {
    if (FImage) TAnimatedSprite::DoDraw();
    TKilnFont* font = ShadowFontOrNull();
    if (!font) return;
    const float alpha = static_cast<float>(FAlpha) / 255.0f;
    const float cx = PanelPos.x + 570;
    TTSText title = FTitle;
    title.Centered = true;
    DrawTSText(font, title, TPoint2{cx, FY + 22}, alpha, TitleColors);
    TTSText page;
    page.Text = {FPageText};
    page.Scale = TPoint2{0.9f, 0.9f};
    page.Centered = true;
    DrawTSText(font, page, TPoint2{cx, 826}, alpha, TitleColors);
}

void THelpBlockSprite::DoDraw() {
    if (FImage) TAnimatedSprite::DoDraw();
    TKilnFont* font = ShadowFontOrNull();
    if (!font || FText.Text.empty()) return;
    // The text stands right of the picture, its lines centred on the picture's middle.
    const float lineHeight = FText.Leading > 0 ? static_cast<float>(FText.Leading) : 30.0f;
    const float height = static_cast<float>(FText.Text.size()) * lineHeight;
    const float pictureHeight = FImage ? static_cast<float>(GetImageHeight()) : 210.0f;
    TTSText text = FText;
    text.Centered = false;
    DrawTSText(font, text, TPoint2{FX + TextGap, FY + (pictureHeight - height) / 2},
               static_cast<float>(FAlpha) / 255.0f, TopicColors);
}

void OpenHelp() {
    if (Help.open || !MainEngine) return;
    WriteLog("Creating Help...", 1);
    Help.lastTopic = HelpLastTopic(FirstUnplayedLevel());
    Help.pages = HelpPageCount(Help.lastTopic);
    Build();
    ShowPage(Help.pages);
    OpenOver(scene_Help, Beneath::Frozen);
    Help.musicBefore = CurrentMusic;
    PlayMusic(-1, false, false, true);
    StopLoopEffects();
    Help.open = true;
}

void CloseHelp(bool restoreMusic) {
    if (!Help.open) return;
    SaveOptions();
    WriteLog("Destroying Help...", 1);
    RemoveSprites();
    if (!CloseOver(scene_Help) && CurrentScene == scene_Help) CurrentScene = scene_Level;
    if (restoreMusic) PlayMusic(Help.musicBefore, false, false, false);
    Help.open = false;
}

bool HelpOpen() {
    return Help.open;
}

int HelpPage() {
    return Help.open ? Help.page : 0;
}

int HelpPages() {
    return Help.open ? Help.pages : 0;
}

std::array<int, 3> HelpTopicsShown() {
    std::array<int, 3> out{-1, -1, -1};
    if (!Help.open) return out;
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = HelpTopicOnPage(Help.page, static_cast<int>(i), Help.lastTopic);
    return out;
}

int HelpShadeAlpha() {
    return Help.open && Help.shade ? Help.shade->FAlpha : -1;
}

std::unique_ptr<Scene> MakeHelpScene() {
    return std::make_unique<HelpScene>();
}

} // namespace bw
