#include "ingame/InGameMenu.h"

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
#include "gui/MessageBox.h"
#include "gui/Shade.h"
#include "gui/TextDrawing.h"
#include "meta/OptionsScreen.h"
#include "platform/Log.h"

#include <algorithm>
#include <array>

namespace bw {

namespace {

constexpr int PanelZ = 8000;
constexpr int ShadeZ = 7999;
constexpr int ButtonZ = 8001;
constexpr int ShadeLimit = 200;
constexpr TPoint2 Centre{960, 540};
constexpr TColor2 TitleColors{0xFFFFFFFF, 0xFFF7FFE1};

struct MenuButton {
    TButtonName name;
    const char* text;
    float y;
};
constexpr std::array<MenuButton, 5> Buttons{{
    {button_IGM_Continue, "igm_button_continue", Centre.y - 180},
    {button_IGM_Options, "igm_button_options", Centre.y - 100},
    {button_IGM_Restart, "igm_button_restart", Centre.y - 20},
    {button_IGM_Map, "igm_button_map", Centre.y + 60},
    {button_IGM_Exit, "igm_button_exit", Centre.y + 140},
}};

struct MenuState {
    bool open = false;
    TIGM_Panel* panel = nullptr;
    TAnimatedSprite* shade = nullptr;
    std::array<TIGM_Button*, 5> buttons{};
    uint8_t sceneBefore = scene_Level;
    int musicBefore = -1;
};
MenuState Menu;

bool IsMenuSprite(const TSprite& s) {
    if (&s == Menu.panel || &s == Menu.shade) return true;
    for (TIGM_Button* b : Menu.buttons)
        if (&s == b || (b && &s == b->LightSprite())) return true;
    // A question asked over the menu fades in as it does anywhere.
    return IsMessageSprite(s);
}

TTSText WrappedTitle() {
    const TWrapedTSText& record = Texts().WrapedText("igm_title");
    TTSText text;
    text.Scale = record.Scale;
    text.OffSet = record.OffSet;
    text.Leading = record.Leading;
    text.Centered = record.Centered;
    TKilnFont* font = Fonts ? Fonts->Font(ShadowFont) : nullptr;
    const float width = Menu.panel ? static_cast<float>(Menu.panel->GetImageWidth()) : 0.0f;
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

void Build() {
    auto* panel = new TIGM_Panel(MainEngine);
    Menu.panel = panel;
    panel->SetImageName("igm_panel.image");
    panel->SetZ(PanelZ);
    panel->FX = Centre.x - static_cast<float>(panel->GetImageWidth()) * panel->FScaleX / 2;
    panel->FY = Centre.y - static_cast<float>(panel->GetImageHeight()) * panel->FScaleY / 2;
    panel->FText = WrappedTitle();
    Menu.shade = CreateShade(MainEngine, ShadeZ);
    for (size_t i = 0; i < Buttons.size(); ++i) {
        auto* button = new TIGM_Button(MainEngine);
        StyleGoldButton(*button, ToonFont);
        button->SetZ(ButtonZ);
        button->SetParameters(Texts().Button(Buttons[i].text));
        button->SetButtonName(Buttons[i].name);
        const float w = static_cast<float>(button->FButtonWidth) * button->FScaleX;
        button->SetPosition(TPoint2{Centre.x - w / 2, Buttons[i].y});
        button->UpdateCollisionParameters();
        Menu.buttons[i] = button;
    }
}

void RemoveSprites() {
    for (TIGM_Button*& b : Menu.buttons) {
        if (b) b->Kill();
        b = nullptr;
    }
    if (Menu.shade) Menu.shade->Dead();
    if (Menu.panel) Menu.panel->Dead();
    Menu.shade = nullptr;
    Menu.panel = nullptr;
}

void RunButton(TButtonName name) {
    switch (name) {
    case button_IGM_Continue:
        InGameMenu(msg_Destroy, true);
        return;
    case button_IGM_Options:
        // The music stays silent; the options start the level's track themselves.
        InGameMenu(msg_Destroy, false);
        OpenOptions();
        SetOptionsShadeAlpha(ShadeLimit);
        return;
    case button_IGM_Restart:
        OpenMessage(message_igm_ays_restart, MessageLayoutYesNo, "msg_ays_igm_restart");
        return;
    case button_IGM_Map:
        OpenMessage(message_igm_ays_map, MessageLayoutYesNo, "msg_ays_igm_map");
        return;
    case button_IGM_Exit:
        OpenMessage(message_igm_ays_menu, MessageLayoutYesNo, "msg_ays_igm_menu");
        return;
    default:
        return;
    }
}

bool IsMenuButton(const TSprite& sprite) {
    return std::find(Menu.buttons.begin(), Menu.buttons.end(), &sprite) != Menu.buttons.end();
}

class InGameMenuScene final : public Scene {
public:
    void Command(TTS_Message message) override {
        if (message == msg_Create) InGameMenu(msg_Create);
        // A fade that leaves the level takes the menu with it; the fade sets the music.
        if (message == msg_Destroy) InGameMenu(msg_Destroy, false);
    }
    // The level stands still beneath: only the menu (and a question over it) moves.
    void Tick() override {
        if (!Menu.open) return;
        IGMUpdate();
        MoveOverScene(&IsMenuSprite);
        if (!TransitionVisible()) RunHitTest();
    }
    void Hit(TSprite& sprite) override {
        if (Menu.open && IsMenuButton(sprite))
            HandleButtonHit(sprite, MenuButtonHover, [](TButtonName name) { RunButton(name); });
    }
    // The button that opened the menu, or pressed on it, comes up here: the level must not
    // find it still held when the menu closes.
    void Release() override {
        MouseButtonDown = false;
        MouseReleased = false;
    }
    // Only once the shade is full: a quick second Escape cannot close what just opened.
    void Escape() override {
        if (Menu.open && Menu.shade && Menu.shade->FAlpha >= ShadeLimit) InGameMenu(msg_Destroy);
    }
    void ForgetSprites() override { Menu = MenuState{}; }
};

} // namespace

void TIGM_Panel::DoDraw() {
    TAnimatedSprite::DoDraw();
    TKilnFont* font = Fonts ? Fonts->Font(ShadowFont) : nullptr;
    if (!font) return;
    TTSText title = FText;
    title.Centered = true;
    DrawTSText(font, title,
               TPoint2{FX + static_cast<float>(GetImageWidth()) * FScaleX / 2, FY + 60},
               static_cast<float>(FAlpha) / 255.0f, TitleColors);
}

void InGameMenu(TTS_Message action, bool restoreMusic) {
    if (action == msg_Create) {
        if (Menu.open || !MainEngine) return;
        WriteLog("Creating IGM...", 1);
        Build();
        Menu.sceneBefore = CurrentScene;
        OpenOver(scene_InGameMenu, Beneath::Frozen);
        Menu.musicBefore = CurrentMusic;
        PlayMusic(-1, false, false, true);
        Menu.open = true;
        StopLoopEffects();
        return;
    }
    if (action != msg_Destroy || !Menu.open) return;
    SaveOptions();
    WriteLog("Destroying IGM...", 1);
    WriteLog("", 0);
    RemoveSprites();
    if (!CloseOver(scene_InGameMenu) && CurrentScene == scene_InGameMenu)
        CurrentScene = Menu.sceneBefore;
    if (restoreMusic) PlayMusic(Menu.musicBefore, false, false, false);
    Menu.open = false;
}

void IGMUpdate() {
    FadeShadeIn(Menu.shade, ShadeLimit);
}

bool IGMOpen() {
    return Menu.open;
}

int IGMShadeAlpha() {
    return Menu.open && Menu.shade ? Menu.shade->FAlpha : -1;
}

std::unique_ptr<Scene> MakeInGameMenuScene() {
    SetMessageYesAction(message_igm_ays_restart,
                        [] { StartTransition(fl_Game_RestartLevel, FadeSpeedFast); });
    SetMessageYesAction(message_igm_ays_map,
                        [] { StartTransition(fl_Game_GotoMap, FadeSpeedFast); });
    SetMessageYesAction(message_igm_ays_menu,
                        [] { StartTransition(fl_Game_GotoMainMenu, FadeSpeedFast); });
    return std::make_unique<InGameMenuScene>();
}

} // namespace bw
