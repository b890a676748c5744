#include "gui/MessageBox.h"

#include "Engine/KilnSprite/KilnSprite.h"
#include "audio/SoundEngine.h"
#include "base/GameObjects.h"
#include "base/GameState.h"
#include "base/SceneTransition.h"
#include "data/GameFonts.h"
#include "data/KilnFonts.h"
#include "data/TextDatabase.h"
#include "gui/ButtonProtocol.h"
#include "gui/ButtonSprites.h"
#include "gui/Shade.h"
#include "platform/Log.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace bw {

namespace {

constexpr int PanelZ = 9000;
constexpr int ShadeZ = 1999;
constexpr int ButtonZ = 2901;
constexpr int ShadeLimit = 150;
constexpr TColor2 TextColors{0xB9000054, 0xB9000054};

class TMessageButtonSprite final : public TButtonSprite2 {
public:
    using TButtonSprite2::TButtonSprite2;
};

class TMessageSprite final : public TAnimatedSprite {
public:
    explicit TMessageSprite(TSprite* parent) : TAnimatedSprite(parent) {}

    TTSTextArray FText;
    TMessageName FMessageName = message_default;
    int FTextFont = 0;
    TPoint2 FTextScale{1, 1};
    TPoint FTextOffSet;
    int FTextLeading = 0;
    bool FTextCentered = false;
    TMessageButtonSprite* FButton1 = nullptr;
    TMessageButtonSprite* FButton2 = nullptr;
    TAnimatedSprite* FShadowSprite = nullptr;
    double FSpeed = 0;
    int FAnimStage = 0;
    TPoint2 FStartPos;

    void DoMove(float moveCount) override {
        TAnimatedSprite::DoMove(moveCount);
        FadeShadeIn(FShadowSprite, ShadeLimit);
    }

    void DoDraw() override {
        if (FShadowSprite) FShadowSprite->DoDraw();
        TAnimatedSprite::DoDraw();
        for (TMessageButtonSprite* button : {FButton1, FButton2})
            if (button) button->DoDraw();
        TKilnFont* font = Fonts ? Fonts->Font(FTextFont) : nullptr;
        if (!font || FText.empty()) return;
        const float w = static_cast<float>(GetImageWidth()) * FScaleX;
        const TPoint2 anchor{(FTextCentered ? FX + w / 2 : FX + 80) + FTextOffSet.x,
                             FY + 80 + FTextOffSet.y};
        const TPoint2 saved = font->FScale;
        font->FScale = FTextScale;
        font->TextOut(anchor, FText, FTextCentered, 1.0f, TextColors,
                      static_cast<float>(FTextLeading));
        font->FScale = saved;
    }
};

TMessageSprite* ActiveMessage = nullptr;

std::array<std::function<void()>, 6>& YesActions() {
    static std::array<std::function<void()>, 6> actions;
    return actions;
}

// The exit question's Yes: the music and the menu's loops stop and the game fades out.
void ExitGame() {
    PlayMusic(-1, false);
    Ambience(msg_Stop, ambience_Day);
    Ambience(msg_Stop, ambience_Rain);
    StartTransition(fl_exitgame, FadeSpeedSlow);
}

TMessageButtonSprite* AddButton(TButtonName name, const char* textKey, float panelX, float panelY,
                                float panelW, float panelH) {
    auto* button = new TMessageButtonSprite(MainEngine);
    StyleGoldButton(*button, ToonFont);
    button->SetZ(ButtonZ);
    const TTSTextButton& text = Texts().Button(textKey);
    button->SetParameters(text);
    button->SetButtonName(name);
    const float w = static_cast<float>(button->FButtonWidth) * button->FScaleX;
    button->SetPosition(
        TPoint2{panelX + panelW / 2 - w / 2 + static_cast<float>(text.ButtonOffSet.x),
                panelY + panelH - 160 + static_cast<float>(text.ButtonOffSet.y)});
    // The message draws its buttons over its panel.
    button->FManualRender = true;
    if (button->LightSprite()) button->LightSprite()->FManualRender = true;
    button->UpdateCollisionParameters();
    return button;
}

void RunButton(TButtonName name) {
    if (!ActiveMessage) return;
    const TMessageName message = ActiveMessage->FMessageName;
    switch (name) {
    case button_Msg_Yes: {
        if (message == message_mm_ays_exit) {
            // The question stays on screen while the game fades out.
            if (auto& action = YesActions()[message])
                action();
            else
                ExitGame();
            return;
        }
        // The question is gone before its answer runs, so the answer may open another.
        auto action = YesActions()[message];
        CloseMessage();
        if (action) action();
        return;
    }
    case button_Msg_No:
    case button_Msg_Continue:
    case button_Msg_Ok:
    case button_Msg_Cancel:
        CloseMessage();
        return;
    default:
        return;
    }
}

bool IsMessageButton(const TSprite& sprite) {
    return ActiveMessage &&
           (&sprite == ActiveMessage->FButton1 || &sprite == ActiveMessage->FButton2);
}

class MessageLayer final : public ModalLayer {
public:
    bool Shown() const override { return MessageShown(); }
    bool BlocksBoard() const override { return MessageShown(); }
    // A level under a message stands still: its per-tick hover test waits for the message.
    bool BlocksHitTest() const override { return MessageShown(); }
    void Command(TTS_Message message) override {
        if (message == msg_Destroy) CloseMessage();
    }
    bool Hit(TSprite& sprite) override {
        if (!MessageShown()) return false;
        if (IsMessageButton(sprite))
            HandleButtonHit(sprite, MenuButtonHover, [](TButtonName name) { RunButton(name); });
        return true; // nothing under the message is reached
    }
    bool Press() override { return false; }
    bool Release() override { return false; }
    bool Escape() override {
        if (!MessageShown()) return false;
        CloseMessage();
        return true;
    }
};

} // namespace

void OpenMessage(TMessageName name, int layout, const TTSTextMessage& text, TPoint centre) {
    if (!MainEngine) return;
    // One message at a time: a new one replaces the one shown.
    if (ActiveMessage) CloseMessage();
    SfxByName("sfx_message");

    auto* panel = new TMessageSprite(MainEngine);
    ActiveMessage = panel;
    panel->FMessageName = name;
    panel->SetZ(PanelZ);
    panel->SetImageName("msg_panel_" + std::to_string(text.PanelTemplate) + ".image");
    panel->FTextFont = ToonFont;
    panel->FScaleX = text.PanelScale.x;
    panel->FScaleY = text.PanelScale.y;
    const float w = static_cast<float>(panel->GetImageWidth()) * panel->FScaleX;
    const float h = static_cast<float>(panel->GetImageHeight()) * panel->FScaleY;
    panel->FStartPos =
        TPoint2{static_cast<float>(centre.x) - w / 2, static_cast<float>(centre.y) - h / 2};
    panel->FX = panel->FStartPos.x;
    panel->FY = panel->FStartPos.y;
    panel->FAnimStage = 1;

    if (TKilnFont* font = Fonts ? Fonts->Font(ToonFont) : nullptr) {
        const TPoint2 saved = font->FScale;
        font->FScale = text.Scale;
        panel->FText = font->GetWordWrapedTextFromString(
            text.Text, static_cast<float>(std::lround(text.Width * text.PanelScale.x)));
        font->FScale = saved;
    } else {
        panel->FText = {text.Text};
    }
    panel->FTextScale = text.Scale;
    panel->FTextOffSet = text.OffSet;
    panel->FTextLeading = text.Leading;
    panel->FTextCentered = text.Centered;
    panel->FVisible = true;

    auto* shade = CreateShade(MainEngine, ShadeZ);
    shade->FManualRender = true;
    panel->FShadowSprite = shade;

    const float x = panel->FX, y = panel->FY;
    switch (layout) {
    case MessageLayoutYesNo:
        panel->FButton1 = AddButton(button_Msg_Yes, "msg_button_yes", x, y, w, h);
        panel->FButton2 = AddButton(button_Msg_No, "msg_button_no", x, y, w, h);
        break;
    case MessageLayoutOkCancel:
        panel->FButton1 = AddButton(button_Msg_Ok, "msg_button_ok", x, y, w, h);
        panel->FButton2 = AddButton(button_Msg_Cancel, "msg_button_cancel", x, y, w, h);
        break;
    default:
        panel->FButton1 = AddButton(button_Msg_Continue, "msg_button_continue", x, y, w, h);
        break;
    }
}

void OpenMessage(TMessageName name, int layout, const std::string& key, const TTSTextVars& vars,
                 TPoint centre) {
    TTSTextMessage text = Texts().Message(key);
    if (!vars.empty()) text.Text = ReplacePlaceholders(text.Text, vars);
    OpenMessage(name, layout, text, centre);
}

void OpenNotice(const std::string& key, const TTSTextVars& vars) {
    OpenMessage(message_default, MessageLayoutContinue, key, vars);
}

void CloseMessage() {
    if (!ActiveMessage) return;
    TMessageSprite* message = ActiveMessage;
    ActiveMessage = nullptr;
    for (TMessageButtonSprite* button : {message->FButton1, message->FButton2})
        if (button) button->Kill();
    if (message->FShadowSprite) message->FShadowSprite->Dead();
    message->Dead();
}

bool MessageShown() {
    return ActiveMessage && !ActiveMessage->FDeaded && ActiveMessage->FVisible;
}

TMessageName ShownMessageName() {
    return MessageShown() ? ActiveMessage->FMessageName : message_default;
}

const TTSTextArray& ShownMessageLines() {
    static const TTSTextArray none;
    return MessageShown() ? ActiveMessage->FText : none;
}

void SetMessageYesAction(TMessageName name, std::function<void()> action) {
    if (name < YesActions().size()) YesActions()[name] = std::move(action);
}

bool IsMessageSprite(const TSprite& sprite) {
    if (!ActiveMessage) return false;
    if (&sprite == ActiveMessage || &sprite == ActiveMessage->FShadowSprite) return true;
    for (TMessageButtonSprite* button : {ActiveMessage->FButton1, ActiveMessage->FButton2})
        if (button && (&sprite == button || &sprite == button->LightSprite())) return true;
    return false;
}

void ForgetMessageSprites() {
    ActiveMessage = nullptr;
}

std::unique_ptr<ModalLayer> MakeMessageLayer() {
    return std::make_unique<MessageLayer>();
}

} // namespace bw
