#include "meta/MainMenu.h"

#include "Engine/KilnSprite/KilnSprite.h"
#include "audio/SoundEngine.h"
#include "base/GameObjects.h"
#include "base/GameOptions.h"
#include "base/GameState.h"
#include "base/Messages.h"
#include "base/Scene.h"
#include "base/SceneTransition.h"
#include "data/GameFonts.h"
#include "data/KilnFonts.h"
#include "data/TextDatabase.h"
#include "gui/ButtonProtocol.h"
#include "gui/ButtonSprites.h"
#include "gui/MessageBox.h"
#include "gui/TextDrawing.h"
#include "meta/MenuScenery.h"
#include "meta/OptionsScreen.h"
#include "meta/PlayerSelection.h"
#include "meta/Profile.h"
#include "platform/Log.h"
#include "render/DisplayState.h"

#include <algorithm>
#include <cmath>

namespace bw {

namespace {

constexpr TColor2 GoldText{0xFFFFFA42, 0xFFFCE021};
constexpr TColor2 NightBoardText{0x00DDF5FE, 0x007B92FD};

constexpr float SignX = 842;
constexpr float SignTargetY = 600;
constexpr float SignStartY = 1400;
constexpr float BoardTargetY = 30;
constexpr float BoardStartY = -350;
constexpr int BoardZ = 475;
constexpr int SignZ = 1600;
constexpr int ButtonZ = 1650;

int Clamp255(long v) {
    return static_cast<int>(std::clamp(v, 0L, 255L));
}

// The sky's alpha and the state of the time of day.
struct TimeOfDay {
    double clock = 0;
    TTS_Message look = msg_Day;
    double fade = 1;
    // The alpha of the night look: f x 255 while night comes, (1 - f) x 255 while day comes.
    int NightAlpha() const {
        const double a = look == msg_Night ? fade * 255 : (1 - fade) * 255;
        return Clamp255(std::lround(a));
    }
};

TimeOfDay Time;

// A bird perched on the start sign; it flies away when the game starts.
class TMM_StartGameBird final : public TAnimatedSprite {
public:
    TMM_StartGameBird(TSprite* parent, const std::string& image, TPoint2 offset, TPoint2 away)
        : TAnimatedSprite(parent), offset_(offset), away_(away) {
        SetAnim(image, 0, pmPingPong, true, true, 1.0f, 16);
        SetZ(SignZ + 5);
    }
    void Follow(TPoint2 sign) {
        if (flying_) return;
        FX = sign.x + offset_.x;
        FY = sign.y + offset_.y;
    }
    void FlyAway() { flying_ = true; }
    void DoMove(float moveCount) override {
        TAnimatedSprite::DoMove(moveCount);
        if (!flying_) return;
        FX += static_cast<float>((away_.x - FX) * 0.04);
        FY += static_cast<float>((away_.y - FY) * 0.04);
    }

private:
    TPoint2 offset_;
    TPoint2 away_;
    bool flying_ = false;
};

// The start sign with its light, its birds and its night look.
class TMM_MainMenu_Buttons_StartGame final : public TAnimatedSprite {
public:
    explicit TMM_MainMenu_Buttons_StartGame(TSprite* parent) : TAnimatedSprite(parent) {
        SetImageName("MM_MainMenu_Button_StartGame.image");
        FX = SignX;
        FY = SignStartY;
        SetZ(SignZ);
        FCollisioned = false;
        night_ = new TAnimatedSprite(parent);
        night_->SetImageName("night_MM_MainMenu_Button_StartGame.image");
        night_->FManualRender = true;
        night_->FAlpha = 0;
        light_ = new TAnimatedSprite(parent);
        light_->SetImageName("MM_MainMenu_Button_StartGame_Lighted.image");
        light_->FManualRender = true;
        light_->SetDrawMode(0);
        light_->FAlpha = 0;
        const TPoint2 left{-44, -95}, right{148, -100};
        dayBirds_[0] = new TMM_StartGameBird(parent, "MM_MainMenu_StartGameBird_Left.image", left,
                                             {-200, -200});
        dayBirds_[1] = new TMM_StartGameBird(parent, "MM_MainMenu_StartGameBird_Right.image", right,
                                             {2100, -200});
        nightBirds_[0] = new TMM_StartGameBird(parent, "night_MM_MainMenu_StartGameBird_Left.image",
                                               left, {-200, -200});
        nightBirds_[1] = new TMM_StartGameBird(
            parent, "night_MM_MainMenu_StartGameBird_Right.image", right, {2100, -200});
        Place();
    }

    float FLightLevel = 0;
    bool Arrived() const { return arrived_; }
    bool Pressed() const { return pressed_; }

    void Press() {
        pressed_ = true;
        FCollisioned = false;
    }
    void FlyBirdsAway() {
        for (auto* bird : dayBirds_) bird->FlyAway();
        for (auto* bird : nightBirds_) bird->FlyAway();
    }

    void Update(int nightAlpha) {
        if (pressed_) {
            if (FY < 1350) FY += static_cast<float>((std::fabs(FY - SignStartY) + 5) * 0.1);
        } else if (!arrived_) {
            FY -= static_cast<float>((std::fabs(FY - SignTargetY) + 5) * 0.11);
            if (FY <= SignTargetY) {
                FY = SignTargetY;
                arrived_ = true;
                UpdateHitRect();
            }
        } else {
            t_ += Time.look == msg_Night ? 0.14 : 0.07;
            if (t_ > 31400) t_ = 0;
            FY = static_cast<float>(SignTargetY + 3.5 * std::sin(t_ * 0.5));
            UpdateHitRect();
        }
        FLightLevel = std::max(0.0f, FLightLevel - 15);
        night_->FAlpha = nightAlpha;
        for (auto* bird : nightBirds_) bird->FAlpha = nightAlpha;
        for (auto* bird : dayBirds_) bird->FAlpha = 255 - nightAlpha;
        Place();
    }

    void SetShown(bool shown) {
        FVisible = shown;
        for (auto* bird : dayBirds_) bird->FVisible = shown;
        for (auto* bird : nightBirds_) bird->FVisible = shown;
        FCollisioned = shown && arrived_ && !pressed_;
    }

    void DoDraw() override {
        TAnimatedSprite::DoDraw();
        if (night_->FAlpha > 0) night_->DoDraw();
        light_->FAlpha = Clamp255(std::lround(FLightLevel));
        if (light_->FAlpha > 0) light_->DoDraw();
        TKilnFont* font = Fonts ? Fonts->Font(ToonFont) : nullptr;
        if (!font) return;
        const TTSText& text = Texts().Text("Start_button");
        const TPoint2 centre{FX + 118, FY + 125};
        DrawTSText(font, Centred(text), centre, 1.0f,
                   NightShiftedColors(GoldText, MainMenuNightAlpha()));
        if (FLightLevel > 0)
            DrawTSText(font, Centred(text), centre, FLightLevel / 200.0f,
                       TColor2{0xFFFFFFFF, 0xFFFFFFFF});
    }

    void Kill() {
        for (auto* bird : dayBirds_) bird->Dead();
        for (auto* bird : nightBirds_) bird->Dead();
        night_->Dead();
        light_->Dead();
        Dead();
    }

private:
    TAnimatedSprite* night_;
    TAnimatedSprite* light_;
    TMM_StartGameBird* dayBirds_[2];
    TMM_StartGameBird* nightBirds_[2];
    bool arrived_ = false;
    bool pressed_ = false;
    double t_ = 0;

    static TTSText Centred(TTSText text) {
        text.Centered = true;
        return text;
    }
    void Place() {
        night_->FX = FX;
        night_->FY = FY;
        light_->FX = FX + 34;
        light_->FY = FY + 86;
        for (auto* bird : dayBirds_) bird->Follow({FX, FY});
        for (auto* bird : nightBirds_) bird->Follow({FX, FY});
    }
    // The sign's board without its post and the birds' perch.
    void UpdateHitRect() {
        FCollisioned = FVisible && !pressed_;
        FCollideMode = cmRect;
        const int w = GetImageWidth(), h = GetImageHeight();
        const int x = static_cast<int>(std::lround(FX)), y = static_cast<int>(std::lround(FY));
        FCollideRect = TRect{x + 30, y + 75, x + w - 30, y + h - 20};
    }
};

class TMM_Button2_Sprite final : public TButtonSprite2 {
public:
    using TButtonSprite2::TButtonSprite2;
};

// The welcome board of one look.
class TMM_ChoosePlayer_Panel final : public TSimpleButtonSprite {
public:
    TMM_ChoosePlayer_Panel(TSprite* parent, TTS_Message timeOfDay)
        : TSimpleButtonSprite(parent), FTimeOfDay(timeOfDay) {
        SetButtonImage(timeOfDay == msg_Night ? "night_MM_MainMenu_ChoosePlayer.image"
                                              : "MM_MainMenu_ChoosePlayer.image");
        SetButtonName(button_MM_ChoosePlayer);
        SetLightFadeSpeed(7.0f);
        SetZ(BoardZ + (timeOfDay == msg_Night ? 1 : 0));
        SetPosition({BoardX(), BoardStartY});
        FCollisioned = false;
    }

    TTS_Message FTimeOfDay;
    bool entering = false;
    bool arrived = false;
    bool clickable = true; // false once its look has gone
    double t = 0;

    static float BoardX() { return std::max(WorldOffset.x, 0.0f) + 15; }

    void Update() {
        TPoint2 p = Position();
        p.x = BoardX();
        if (entering && !arrived) {
            p.y += static_cast<float>((std::fabs(p.y - BoardTargetY) + 5) * 0.09);
            if (p.y >= BoardTargetY) {
                p.y = BoardTargetY;
                arrived = true;
            }
        } else if (arrived) {
            t += 0.07;
            if (t > 31400) t = 0;
            p.y = static_cast<float>(BoardTargetY + 2 * std::sin(t * 0.5));
        }
        SetPosition(p);
        UpdateCollisionParameters();
        FCollisioned = arrived && clickable && FVisible;
    }

    void DoDraw() override {
        TSimpleButtonSprite::DoDraw();
        TKilnFont* font = Fonts ? Fonts->Font(ShadowFont) : nullptr;
        if (!font || FAlpha <= 0) return;
        TColor2 colors = GoldText;
        float alpha = 1.0f;
        if (FTimeOfDay == msg_Night) {
            const TColor a = static_cast<TColor>(Clamp255(FAlpha)) << 24;
            colors = TColor2{a | NightBoardText.top, a | NightBoardText.bottom};
        } else {
            alpha = static_cast<float>(FAlpha) / 255.0f;
        }
        TTSText first = Texts().Text("Welcome_message_1");
        first.Text = ReplacePlaceholdersInLines(first.Text, MakeTextVars(Player.Name));
        first.Centered = true;
        TTSText second = Texts().Text("Welcome_message_2");
        second.Centered = true;
        // No greeting before a player exists (a first start, while the name is typed).
        if (!Player.Name.empty()) DrawTSText(font, first, {FX + 195, FY + 108}, alpha, colors);
        DrawTSText(font, second, {FX + 195, FY + 165}, alpha, colors);
    }
};

struct MenuSprites {
    TMM_MainMenu_Buttons_StartGame* sign = nullptr;
    TMM_Button2_Sprite* buttons[4] = {};
    TMM_ChoosePlayer_Panel* boards[2] = {}; // day, night
    bool open = false;
    bool frontShown = true;
};

MenuSprites Menu;

TMM_Button2_Sprite* AddMenuButton(TButtonName name, const char* textKey, float x) {
    auto* b = new TMM_Button2_Sprite(MainEngine);
    StyleGoldButton(*b, ToonFont);
    b->SetZ(ButtonZ);
    b->SetParameters(Texts().Button(textKey));
    b->SetButtonName(name);
    b->SetPosition({x, 990});
    b->UpdateCollisionParameters();
    return b;
}

void StartLookAmbience(TTS_Message look) {
    if (look == msg_Night) {
        Ambience(msg_Stop, ambience_Day);
        Ambience(msg_Start, ambience_Rain);
    } else {
        Ambience(msg_Stop, ambience_Rain);
        Ambience(msg_Start, ambience_Day);
    }
}

void SwitchLook(TTS_Message look) {
    Time.look = look;
    Time.fade = 0;
    TMM_ChoosePlayer_Panel* board = Menu.boards[look == msg_Night ? 1 : 0];
    if (board) {
        board->FVisible = Menu.frontShown;
        board->clickable = true;
    }
    StartLookAmbience(look);
}

void UpdateTimeOfDay() {
    // Without sound (or without music time that keeps step with the ticks) the menu keeps
    // its own clock.
    if (GameOptions.SoundsOff || !MusicTimeFollowsTicks()) {
        Time.clock += 16.5;
        if (Time.clock > 56000) Time.clock = 0;
    }
    if (Time.look == msg_Day && Time.clock > 16000 && Time.clock < 32000)
        SwitchLook(msg_Night);
    else if (Time.look == msg_Night && Time.clock >= 32000)
        SwitchLook(msg_Day);
    if (Time.fade < 1) {
        Time.fade = std::min(1.0, Time.fade + 0.02);
        if (Time.fade >= 1) {
            // The look that was left goes away with its board.
            TMM_ChoosePlayer_Panel* old = Menu.boards[Time.look == msg_Night ? 0 : 1];
            if (old) {
                old->FVisible = false;
                old->clickable = false;
            }
        }
    }
    const int night = Time.NightAlpha();
    if (Menu.boards[0]) Menu.boards[0]->FAlpha = 255 - night;
    if (Menu.boards[1]) Menu.boards[1]->FAlpha = night;
}

void StartGame() {
    TMM_MainMenu_Buttons_StartGame* sign = Menu.sign;
    sign->Press();
    if (Time.look == msg_Day) {
        sign->FlyBirdsAway();
        SfxByName("sfx_start_game");
    }
    if (!Player.GameWasStarted) {
        PlayMusic(-1, false);
        StartTransition(fl_Intro, FadeSpeedIntro);
    } else {
        PlayMusic(music_Map, true);
        StartTransition(fl_mm_Map, FadeSpeedSlow);
    }
}

void AskExit() {
    OpenMessage(message_mm_ays_exit, MessageLayoutYesNo, "msg_ays_exitgame");
}

class MainMenuScene final : public Scene {
public:
    void Command(TTS_Message message) override {
        if (message == msg_Create)
            OpenMainMenu();
        else if (message == msg_Destroy)
            CloseMainMenu();
        else if (message == msg_Show)
            StartWelcomeBoardEntry();
    }
    void Tick() override {
        MainMenuUpdate();
        MoveMainEngine();
        if (!TransitionVisible()) RunHitTest();
    }
    void Hit(TSprite& sprite) override { MainMenuInput(sprite); }
    void Escape() override { AskExit(); }
    void ForgetSprites() override { Menu = MenuSprites{}; }
    // Under the options, credits, player list and name entry the clock and the scenery go on.
    void Live() override { MainMenuUpdate(); }
    void WindowShapeChanged() override { RefreshMainMenuLayout(); }
};

} // namespace

TColor2 NightShiftedColors(TColor2 colors, int alpha) {
    alpha = std::clamp(alpha, 0, 255);
    if (alpha == 0) return colors;
    auto shift = [alpha](TColor c) {
        const long a = alpha;
        const int r = Clamp255(static_cast<long>((c >> 16) & 0xFF) - std::lround(0.18 * a));
        const int g = Clamp255(static_cast<long>((c >> 8) & 0xFF) - std::lround(0.05 * a));
        const int b = Clamp255(static_cast<long>(c & 0xFF) + std::lround(0.7 * a));
        return (c & 0xFF000000u) | (static_cast<TColor>(r) << 16) | (static_cast<TColor>(g) << 8) |
               static_cast<TColor>(b);
    };
    return TColor2{shift(colors.top), shift(colors.bottom)};
}

void OpenMainMenu() {
    if (!MainEngine) return;
    if (Menu.open) CloseMainMenu();
    // Reaching the menu once lets the splash be skipped from then on.
    GameOptions.FirstStart = false;
    SaveOptions();
    WriteLog("Creating main menu...", 1);
    Time = TimeOfDay{};
    CurrentScene = scene_MainMenu;
    CreateMenuScenery();
    Menu.sign = new TMM_MainMenu_Buttons_StartGame(MainEngine);
    Menu.buttons[0] = AddMenuButton(button_MM_MainMenu_Awards, "Awards_button", 560);
    Menu.buttons[1] = AddMenuButton(button_MM_MainMenu_Options, "Options_button", 760);
    Menu.buttons[2] = AddMenuButton(button_MM_MainMenu_Credits, "Credits_button", 960);
    Menu.buttons[3] = AddMenuButton(button_MM_MainMenu_Exit, "Exit_button", 1160);
    Menu.boards[0] = new TMM_ChoosePlayer_Panel(MainEngine, msg_Day);
    Menu.boards[1] = new TMM_ChoosePlayer_Panel(MainEngine, msg_Night);
    Menu.boards[1]->FVisible = false;
    Menu.boards[1]->clickable = false;
    Menu.open = true;
    Menu.frontShown = true;
    MainMenuClockHook() = [](int ms) { Time.clock = ms; };
    StartLookAmbience(msg_Day);
    UpdateMenuScenery({Time.clock, false, 1.0});
}

void CloseMainMenu() {
    if (!Menu.open) return;
    WriteLog("Destroying main menu...", 1);
    ClosePlayerSelection();
    CloseNameEntry();
    MainMenuClockHook() = nullptr;
    DestroyMenuScenery();
    if (Menu.sign) Menu.sign->Kill();
    for (auto* b : Menu.buttons)
        if (b) b->Kill();
    for (auto* b : Menu.boards)
        if (b) b->Kill();
    Menu = MenuSprites{};
    Ambience(msg_Stop, ambience_Day);
    Ambience(msg_Stop, ambience_Rain);
}

bool MainMenuOpen() {
    return Menu.open;
}

void MainMenuUpdate() {
    if (!Menu.open) return;
    UpdateTimeOfDay();
    const int night = Time.NightAlpha();
    UpdateMenuScenery({Time.clock, Time.look == msg_Night, Time.fade});
    if (Menu.sign) Menu.sign->Update(night);
    for (auto* board : Menu.boards)
        if (board) board->Update();
    for (auto* b : Menu.buttons)
        if (b) b->FText_Color = NightShiftedColors(GoldText, night);
}

void MainMenuInput(TSprite& sprite) {
    if (!Menu.open || OptionsOpen()) return;
    if (&sprite == Menu.sign) {
        if (!Menu.sign->Arrived() || Menu.sign->Pressed()) return;
        if (Menu.sign->FLightLevel <= 200) SfxByName(ButtonOverSound);
        Menu.sign->FLightLevel = 225;
        if (TakeButtonClick()) StartGame();
        return;
    }
    for (auto* board : Menu.boards) {
        if (&sprite != board) continue;
        HoverButton(*board, PlayerPanelHover);
        if (board->arrived && TakeButtonClick()) OpenPlayerSelection();
        return;
    }
    HandleButtonHit(sprite, MenuButtonHover, [](TButtonName name) {
        switch (name) {
        case button_MM_MainMenu_Awards:
            if (SceneRegistered(scene_Awards))
                SceneOf(scene_Awards).Command(msg_Create);
            else
                WriteLog("The awards screen is not there yet", 1);
            break;
        case button_MM_MainMenu_Options:
            OpenOptions();
            break;
        case button_MM_MainMenu_Credits:
            PlayMusic(-1, false);
            StartTransition(fl_mm_credits, FadeSpeedSlow);
            break;
        case button_MM_MainMenu_Exit:
            AskExit();
            break;
        default:
            break;
        }
    });
}

void StartWelcomeBoardEntry() {
    for (auto* board : Menu.boards)
        if (board) board->entering = true;
}

int MainMenuNightAlpha() {
    return Menu.open ? Time.NightAlpha() : 0;
}

void ShowMainMenuFront(bool visible) {
    if (!Menu.open) return;
    Menu.frontShown = visible;
    if (Menu.sign) Menu.sign->SetShown(visible);
    for (auto* b : Menu.buttons)
        if (b) b->SetGVisible(visible);
    const int current = Time.look == msg_Night ? 1 : 0;
    for (int i = 0; i < 2; ++i) {
        TMM_ChoosePlayer_Panel* board = Menu.boards[i];
        if (!board) continue;
        // The board of the look being left stays hidden once the fade is done.
        board->FVisible = visible && (i == current || Time.fade < 1);
    }
}

TSprite* MainMenuLogo() {
    return Menu.open ? MenuLogo() : nullptr;
}

void RefreshMainMenuLayout() {
    if (!Menu.open) return;
    RefreshMenuSceneryLayout();
    for (auto* board : Menu.boards)
        if (board) board->Update();
}

double MainMenuClock() {
    return Time.clock;
}

bool MainMenuNight() {
    return Time.look == msg_Night;
}

std::unique_ptr<Scene> MakeMainMenuScene() {
    return std::make_unique<MainMenuScene>();
}

} // namespace bw
