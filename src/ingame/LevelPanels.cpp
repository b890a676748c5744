#include "ingame/LevelPanels.h"

#include "ingame/Help.h"
#include "ingame/InGameMenu.h"
#include "ingame/Tutorial.h"

#include "Engine/KilnSprite/KilnSprite.h"
#include "Engine/KilnSprite/SpriteEngine.h"
#include "audio/SoundEngine.h"
#include "base/GameObjects.h"
#include "base/GameState.h"
#include "board/Board.h"
#include "board/LevelData.h"
#include "board/LevelScore.h"
#include "data/GameFonts.h"
#include "data/KilnFonts.h"
#include "data/TextDatabase.h"
#include "gui/ButtonProtocol.h"
#include "gui/ButtonSprites.h"
#include "gui/TextureOffsetSprite.h"
#include "platform/Log.h"
#include "render/Canvas.h"
#include "render/DisplayState.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace bw {

namespace {

constexpr int BarZ = 2900;
constexpr int ButtonZ = 2901;
// Among the sprites at the bar's depth the later one is drawn on top: the task panel, made
// after the bar, lies over the bar and under the buttons.
constexpr int TaskPanelZ = BarZ;
constexpr int NestZ = 2906;
constexpr int PopupZ = 6099;
constexpr int PopupFoldedZ = 6097;
constexpr TColor2 PanelTextColors{0xFFFFF6DC, 0xFFFFE066};
constexpr TColor2 PopupTextColors{0xFF5E3A26, 0xFF3A2430};

TKilnFont* Toon() {
    return Fonts ? Fonts->Font(ToonFont) : nullptr;
}

void WriteText(TPoint2 pos, const std::string& text, float scale, bool centred, float alpha,
               TColor2 colors) {
    TKilnFont* font = Toon();
    if (!font || text.empty()) return;
    const TPoint2 saved = font->FScale;
    font->FScale = TPoint2{scale, scale};
    font->TextOut(pos, text, centred, alpha, colors);
    font->FScale = saved;
}

PanelLayout CurrentLayout() {
    int visible = 1920;
    if (MainEngine && MainEngine->FCanvas && DisplayScale.x > 0)
        visible = static_cast<int>(
            std::nearbyint(static_cast<float>(MainEngine->FCanvas->Size().x) / DisplayScale.x));
    return ComputePanelLayout(visible, WorldOffset.x);
}

TAnimatedSprite* Picture(const char* image, int z, bool manual = true) {
    auto* sprite = new TAnimatedSprite(MainEngine);
    sprite->SetImageName(image);
    sprite->SetZ(z);
    sprite->FManualRender = manual;
    return sprite;
}

// The bottom bar: a strip repeated over the visible width, its left end and the notepad.
class TInterfaceBottomPanel final : public TTextureOffsetSprite {
public:
    explicit TInterfaceBottomPanel(TSprite* parent) : TTextureOffsetSprite(parent) {}
    TAnimatedSprite* FLeftSprite = nullptr;
    // Lights up while the pointer is over the help button.
    TSimpleButtonSprite* FNotePadSprite = nullptr;

    void Place(const PanelLayout& layout) {
        fRenderSize = TPoint{layout.BorderWidth, 0};
        FX = layout.Left;
        FY = 1090.0f - static_cast<float>(GetImageHeight());
        if (FLeftSprite) FLeftSprite->SetPos(layout.Left - 10, 877);
        if (FNotePadSprite) {
            FNotePadSprite->SetPosition(
                TPoint2{layout.Right - static_cast<float>(FNotePadSprite->GetImageWidth()) + 61,
                        1059.0f - static_cast<float>(FNotePadSprite->GetImageHeight())});
            FNotePadSprite->UpdateCollisionParameters();
        }
    }
    void DoDraw() override {
        TTextureOffsetSprite::DoDraw();
        if (FLeftSprite) FLeftSprite->DoDraw();
        if (FNotePadSprite) FNotePadSprite->DoDraw();
    }
};

// The task panel: slides out of the left edge; icon and progress text while open, the egg
// always.
class TPanelTask2Panel final : public TAnimatedSprite {
public:
    explicit TPanelTask2Panel(TSprite* parent) : TAnimatedSprite(parent) {}
    TaskPanelMotion FMotion;
    TAnimatedSprite* FIcon = nullptr;
    TAnimatedSprite* FEgg = nullptr;
    std::string FText;

    void ShowStatus() {
        if (!FEgg) return;
        FEgg->SetImageName(FMotion.Status == task_Completed ? "Panel_Task2_egg_completed.image"
                           : FMotion.Status == task_Failed  ? "Panel_Task2_egg_uncompleted.image"
                                                            : "Panel_Task2_egg_white.image");
    }
    void DoMove(float moveCount) override {
        TAnimatedSprite::DoMove(moveCount);
        FMotion.Step();
        FX = FMotion.X;
        FVisible = FMotion.Stage != taskpanel_Hidden;
        if (FIcon) FIcon->SetPos(FX + 287, FY + 2);
        if (FEgg) FEgg->SetPos(FX + 436, FY + 11);
    }
    void DoDraw() override {
        TAnimatedSprite::DoDraw();
        const bool content = FMotion.ShowsContent();
        if (FIcon && content) FIcon->DoDraw();
        if (FEgg) FEgg->DoDraw();
        if (content)
            WriteText(
                TPoint2{FX + static_cast<float>(GetImageWidth()) * FScaleX / 2 + 105, FY + 33},
                FText, 0.7f, true, 1.0f, PanelTextColors);
    }
};

// The score panel: the level number and the counting score.
class TInterfaceScorePanel final : public TAnimatedSprite {
public:
    explicit TInterfaceScorePanel(TSprite* parent) : TAnimatedSprite(parent) {}
    void DoDraw() override {
        TAnimatedSprite::DoDraw();
        WriteText(TPoint2{FX + 84, FY + 34}, std::to_string(Player.Level + 1), 0.8f, true, 1.0f,
                  PanelTextColors);
        WriteText(TPoint2{FX + 250, FY + 34}, std::to_string(Player.TempScore), 0.8f, true, 1.0f,
                  PanelTextColors);
    }
};

// The time panel: a clock in a timed level (the remaining time pulses), a closed lid otherwise.
class TPanelTimeSprite final : public TAnimatedSprite {
public:
    explicit TPanelTimeSprite(TSprite* parent) : TAnimatedSprite(parent) {}
    bool FClock = false;
    int32_t FLimit = 0;
    int FTimeCurrent = 0;
    float FTimecounter = 0;
    TAnimatedSprite* FGlassSprite = nullptr;
    TAnimatedSprite* FNumbersSprite = nullptr;
    TAnimatedSprite* FArrow1Sprite = nullptr;

    float HandAngle() const {
        if (FLimit > 0 && FTimeCurrent < FLimit)
            return static_cast<float>(FTimeCurrent) / static_cast<float>(FLimit) * 6.28f - 0.27f;
        return -0.27f;
    }
    void SetTime(int seconds) {
        if (FClock) FTimeCurrent = seconds;
    }
    void DoMove(float moveCount) override {
        TAnimatedSprite::DoMove(moveCount);
        FTimecounter += 2.5f;
        if (FTimecounter >= 31400) FTimecounter -= 31400;
        if (FNumbersSprite) FNumbersSprite->SetPos(FX + 14, FY + 25);
        if (FArrow1Sprite) {
            FArrow1Sprite->SetPos(FX + 67 - static_cast<float>(FArrow1Sprite->GetImageWidth()) / 2,
                                  FY + 77 -
                                      static_cast<float>(FArrow1Sprite->GetImageHeight()) / 2);
            FArrow1Sprite->FAngle = HandAngle() + 0.27f;
        }
        if (FGlassSprite) FGlassSprite->SetPos(FX + 9, FY + 19);
    }
    void DoDraw() override {
        TAnimatedSprite::DoDraw();
        if (!FClock) return;
        Canvas* canvas = MainEngine ? MainEngine->FCanvas : nullptr;
        if (canvas && FTimeCurrent < FLimit) {
            const int alpha = static_cast<int>(std::nearbyint(
                190 + 25 * std::sin(std::nearbyint(FTimecounter) * 6.2831853 / 256)));
            const TColor c = (static_cast<TColor>(alpha) << 24) | 0x00FFB52E;
            const TColor d = (static_cast<TColor>(alpha) << 24) | 0x00FF9F1C;
            const TPoint2 centre{(FX + 68 - WorldOffset.x) * DisplayScale.x,
                                 (FY + 77 - WorldOffset.y) * DisplayScale.y};
            canvas->FillArc(centre, 46 * DisplayScale.x, -4.48f, 1.55f - HandAngle(), 15,
                            TColor4{c, c, d, d}, beNormal);
        }
        for (TAnimatedSprite* part : {FNumbersSprite, FArrow1Sprite, FGlassSprite})
            if (part) part->DoDraw();
    }
};

// One nest of the row; the nestling sits in it once saved.
class TPanelNestSprite final : public TAnimatedSprite {
public:
    explicit TPanelNestSprite(TSprite* parent) : TAnimatedSprite(parent) {}
    int FNestIndex = 0;
    bool FSaved = false;
    TAnimatedSprite* FNestling = nullptr;
    void DoMove(float moveCount) override {
        TAnimatedSprite::DoMove(moveCount);
        if (FNestling) {
            FNestling->FVisible = FSaved;
            FNestling->SetPos(FX + 14, FY - 18);
        }
    }
};

// The mission pop-up and its button.
class TPopupButtonSprite final : public TSimpleButtonSprite {
public:
    using TSimpleButtonSprite::TSimpleButtonSprite;
};

class TPopupSprite final : public TAnimatedSprite {
public:
    explicit TPopupSprite(TSprite* parent) : TAnimatedSprite(parent) {}
    PopupMotion FMotion;
    TPopupButtonSprite* FButtonSprite = nullptr;
    TAnimatedSprite* FEgg1 = nullptr;
    TAnimatedSprite* FEgg2 = nullptr;
    TTSTextArray FText1; // the mission
    TTSTextArray FText2; // the task

    // The panel follows its motion: it shrinks towards the button while folding and grows
    // out of it while unfolding.
    void DoMove(float moveCount) override {
        TAnimatedSprite::DoMove(moveCount);
        const float s = FMotion.Scale;
        const float w = static_cast<float>(GetImageWidth());
        const float h = static_cast<float>(GetImageHeight());
        FScaleX = FScaleY = std::max(s, 0.01f);
        const TPoint2 button = FMotion.Button;
        FX = button.x + (FMotion.Panel.x - button.x) * s;
        FY = button.y + (FMotion.Panel.y - button.y) * s;
        FAlpha = static_cast<int>(255 * s);
        for (TAnimatedSprite* egg : {FEgg1, FEgg2}) {
            if (!egg) continue;
            egg->FScaleX = egg->FScaleY = FScaleX;
            egg->FAlpha = FAlpha;
        }
        if (FEgg1) FEgg1->SetPos(FX + 40 * s, FY + (h / 2 - 50) * s);
        if (FEgg2)
            FEgg2->SetPos(FX + (w - 40 - static_cast<float>(FEgg2->GetImageWidth())) * s,
                          FY + (h / 2 - 50) * s);
    }

    void DoDraw() override {
        if (!FMotion.PanelVisible()) return;
        const float s = FMotion.Scale;
        const float w = static_cast<float>(GetImageWidth());
        TAnimatedSprite::DoDraw();
        for (TAnimatedSprite* egg : {FEgg1, FEgg2})
            if (egg) egg->DoDraw();
        if (s < 0.999f) return;
        TKilnFont* font = Toon();
        if (!font) return;
        const TPoint2 saved = font->FScale;
        font->FScale = TPoint2{0.7f, 0.7f};
        const float a = static_cast<float>(FAlpha) / 255.0f;
        if (!FText1.empty())
            font->TextOut(TPoint2{FX + w / 2, FY + 56}, FText1, true, a, PopupTextColors, 34);
        font->TextOut(TPoint2{FX + w / 2, FY + (FText1.empty() ? 80.0f : 150.0f)}, FText2, true, a,
                      PopupTextColors, 34);
        font->FScale = saved;
    }
};

struct Interface {
    TInterfaceBottomPanel* Bar = nullptr;
    TPanelTask2Panel* Task = nullptr;
    TButtonSprite2* Menu = nullptr;
    TButtonSprite2* Help = nullptr;
    bool TutorialAsked = false; // the pop-up has been folded once in this level
    TInterfaceScorePanel* Score = nullptr;
    TPanelTimeSprite* Time = nullptr;
    std::vector<TPanelNestSprite*> Nests;
    TPopupSprite* Popup = nullptr;
    PanelLayout Layout;
    bool Exists = false;
};

Interface UI;

TButtonSprite2* AddBarButton(TButtonName name, const char* textKey) {
    auto* button = new TButtonSprite2(MainEngine);
    StyleGoldButton(*button, ToonFont);
    button->SetZ(ButtonZ);
    button->SetParameters(Texts().Button(textKey));
    button->SetButtonName(name);
    return button;
}

// Everything that depends on the visible width.
void PlaceInterface() {
    UI.Layout = CurrentLayout();
    const PanelLayout& l = UI.Layout;
    if (UI.Bar) UI.Bar->Place(l);
    if (UI.Menu) {
        UI.Menu->SetPosition(TPoint2{l.Left, 998});
        UI.Menu->UpdateCollisionParameters();
    }
    if (UI.Help) {
        const float w = static_cast<float>(UI.Help->FButtonWidth) * UI.Help->FScaleX;
        UI.Help->SetPosition(TPoint2{l.Right - w - 114, 1005});
        UI.Help->UpdateCollisionParameters();
    }
    if (UI.Score)
        UI.Score->SetPos(l.Right - static_cast<float>(UI.Score->GetImageWidth()) + 32, -5);
    if (UI.Time) UI.Time->SetPos(l.Left - 1, 862);
    if (UI.Task) {
        TaskPanelMotion& m = UI.Task->FMotion;
        const float shift = (l.Left - 220) - m.EggX;
        m.EggX += shift;
        m.FullX += shift;
        m.X += shift;
        UI.Task->FX = m.X;
    }
    if (UI.Popup) UI.Popup->FMotion.FoldPlace = TPoint2{l.Left + 161, 1004};
}

std::string MissionText() {
    if (CurrentLevel.Mission == mission_nestlings) {
        const int n = CurrentLevel.NestlingsMaxCommon;
        const std::string noun =
            Texts().String(n == 1 ? "Nestling_1_Variation_1" : "Nestling_1_Variation_max");
        return ReplacePlaceholders(Texts().WrapedText("Popap_SaveNestlings_1").Text,
                                   {std::to_string(n), noun});
    }
    if (CurrentLevel.Mission == mission_boss_1) return Texts().WrapedText("Popap_Boss_1").Text;
    return "";
}

// The task description with its values, as the pop-up and the result write it.
std::string TaskDescription() {
    const TLevelTask& task = CurrentLevel.Task;
    TTSTextVars vars;
    switch (task.Index) {
    case 1:
        vars = {FormatMinutesSeconds(task.Value)};
        break;
    case 2:
    case 7:
    case 9:
    case 10:
        vars = {std::to_string(task.Value)};
        break;
    case 4:
    case 11:
        vars = {std::to_string(task.Value), Texts().String(TaskColorKey(task))};
        break;
    default:
        break;
    }
    return ReplacePlaceholders(Texts().WrapedText(TaskDescriptionKey(task)).Text, vars);
}

TTSTextArray Wrapped(const std::string& text, float width) {
    if (text.empty()) return {};
    TKilnFont* font = Toon();
    if (!font) return {text};
    const TPoint2 saved = font->FScale;
    font->FScale = TPoint2{0.7f, 0.7f};
    TTSTextArray lines = font->GetWordWrapedTextFromString(text, width);
    font->FScale = saved;
    return lines;
}

void CreatePopup() {
    auto* popup = new TPopupSprite(MainEngine);
    popup->SetImageName("Popap_panel.image");
    popup->SetZ(PopupZ);
    const float w = static_cast<float>(popup->GetImageWidth());
    popup->FEgg1 = Picture("Popap_egg_white.image", PopupZ);
    popup->FEgg2 = Picture("Popap_egg_gold.image", PopupZ);
    popup->FText1 = Wrapped(MissionText(), w - 240);
    popup->FText2 = Wrapped(TaskDescription(), w - 240);
    auto* button = new TPopupButtonSprite(MainEngine);
    button->SetButtonImage("Popap_button_X.image");
    button->SetButtonName(button_Game_Task);
    button->SetZ(PopupZ + 1);
    button->SetLightFadeSpeed(7.0f);
    popup->FButtonSprite = button;
    popup->FMotion.Start(w, TPoint2{w - static_cast<float>(button->GetImageWidth()) + 10, -10},
                         TPoint2{UI.Layout.Left + 161, 1004});
    UI.Popup = popup;
}

void SyncPopupButton() {
    TPopupSprite* popup = UI.Popup;
    if (!popup || !popup->FButtonSprite) return;
    TPopupButtonSprite* button = popup->FButtonSprite;
    button->SetPosition(popup->FMotion.Button);
    button->UpdateCollisionParameters();
    if (popup->FMotion.Status == popup_Folded) {
        // The folded button is easier to hit: its box reaches further right.
        button->FCollideRect.right += 100;
    }
}

void OpenTaskPanel() {
    if (!UI.Task) return;
    if (UI.Task->FMotion.PopupFolded()) {
        RefreshTask(false);
        SfxByName("sfx_task_open.ogg");
    }
}

void StepPopup() {
    TPopupSprite* popup = UI.Popup;
    if (!popup) return;
    switch (popup->FMotion.Step()) {
    case PopupEvent::CreateSound:
        SfxByName("sfx_popup_create.ogg");
        break;
    case PopupEvent::CloseSound:
        SfxByName("sfx_popup_close.ogg");
        if (popup->FButtonSprite) {
            popup->FButtonSprite->SetButtonImage("Popap_button_Q.image");
            popup->FButtonSprite->SetLightLevel(0);
        }
        break;
    case PopupEvent::Folded:
        popup->SetZ(PopupFoldedZ);
        OpenTaskPanel();
        // The first fold of a level starts its tutorial.
        if (!UI.TutorialAsked) {
            UI.TutorialAsked = true;
            TryStartTutorial();
        }
        break;
    case PopupEvent::OpenSound:
        SfxByName("sfx_popup_open.ogg");
        popup->SetZ(PopupZ + 1);
        if (popup->FButtonSprite) popup->FButtonSprite->SetButtonImage("Popap_button_X.image");
        break;
    default:
        break;
    }
    SyncPopupButton();
}

bool PopupButtonActive() {
    const int s = UI.Popup ? UI.Popup->FMotion.Status : -1;
    return s == popup_Drop || s == popup_Settle || s == popup_Shown || s == popup_Folded;
}

// The pop-up as a modal layer: it holds the board while it drops or shows, and a click on
// the board folds it.
class PopupLayer final : public ModalLayer {
public:
    bool Shown() const override { return UI.Popup && UI.Popup->FMotion.PanelVisible(); }
    bool BlocksBoard() const override { return UI.Popup && UI.Popup->FMotion.BlocksBoard(); }
    bool Hit(TSprite& sprite) override {
        if (!UI.Popup || &sprite != UI.Popup->FButtonSprite) return false;
        if (!PopupButtonActive()) return true;
        if (ButtonProtocol(*UI.Popup->FButtonSprite, PopupButtonHover))
            UI.Popup->FMotion.ButtonClick();
        return true;
    }
    bool Click() override {
        // A click anywhere but on its button folds a pop-up that holds the board.
        if (!UI.Popup || !UI.Popup->FMotion.BlocksBoard()) return false;
        if (UI.Popup->FButtonSprite && UI.Popup->FButtonSprite->FCollideRect.left <= MouseX &&
            MouseX < UI.Popup->FButtonSprite->FCollideRect.right &&
            UI.Popup->FButtonSprite->FCollideRect.top <= MouseY &&
            MouseY < UI.Popup->FButtonSprite->FCollideRect.bottom)
            return false;
        return UI.Popup->FMotion.BoardClick();
    }
};

void KillSprite(TSprite* sprite) {
    if (sprite) sprite->Dead();
}

} // namespace

bool& StartPopupEnabled() {
    static bool enabled = true;
    return enabled;
}

void CreateLevelInterface() {
    if (!MainEngine) return;
    DestroyLevelInterface();
    UI.Exists = true;
    UI.Layout = CurrentLayout();

    auto* bar = new TInterfaceBottomPanel(MainEngine);
    bar->SetImageName("Panel_Centre.image");
    bar->fDoTextureMove = false;
    bar->SetZ(BarZ);
    bar->FLeftSprite = Picture("Panel_Left.image", BarZ);
    auto* notepad = new TSimpleButtonSprite(MainEngine);
    notepad->SetButtonImage("Panel_Notepad.image");
    notepad->SetLightFadeSpeed(7);
    notepad->SetZ(BarZ);
    notepad->FManualRender = true;
    if (notepad->LightSprite()) notepad->LightSprite()->FManualRender = true;
    bar->FNotePadSprite = notepad;
    UI.Bar = bar;

    UI.Menu = AddBarButton(button_Game_Menu, "Menu_button");
    UI.Help = AddBarButton(button_Game_Help, "Hint_button");

    UI.Score = new TInterfaceScorePanel(MainEngine);
    UI.Score->SetImageName("Panel_Score.image");
    UI.Score->SetZ(ButtonZ);

    const TLevelTask& task = CurrentLevel.Task;
    auto* time = new TPanelTimeSprite(MainEngine);
    time->FClock = task.Index == TaskTime;
    time->FLimit = task.Value;
    time->SetImageName(time->FClock ? "Panel_Time_Clock.image" : "Panel_Time_Closed.image");
    time->SetZ(BarZ);
    if (time->FClock) {
        time->FGlassSprite = Picture("Panel_Time_Glass.image", BarZ);
        time->FNumbersSprite = Picture("Panel_Time_Numbers.image", BarZ);
        time->FArrow1Sprite = Picture("Panel_Time_Arrow_1.image", BarZ);
        time->FArrow1Sprite->SetDrawMode(1);
    }
    UI.Time = time;

    // On the bar, under the menu button: sliding out, the panel passes behind the button,
    // which stays in sight and in reach.
    auto* panel = new TPanelTask2Panel(MainEngine);
    panel->SetImageName("Panel_Task2_panel.image");
    panel->SetZ(TaskPanelZ);
    panel->FY = 1006;
    panel->FIcon = Picture(TaskPanelIcon(task).c_str(), TaskPanelZ);
    panel->FEgg = Picture("Panel_Task2_egg_white.image", TaskPanelZ);
    UI.Task = panel;

    if (CurrentLevel.Mission == mission_nestlings) {
        const std::vector<NestPlace> places = NestPlaces(CurrentLevel.NestlingsMaxCommon);
        for (size_t i = 0; i < places.size(); ++i) {
            auto* nest = new TPanelNestSprite(MainEngine);
            nest->SetImageName("Panel_Progress_Nest.image");
            nest->FNestIndex = static_cast<int>(i);
            // SetZ, not the three-argument SetPos: the nest must move to its place in the
            // draw order, in front of the bar.
            nest->SetPos(places[i].Pos.x, places[i].Pos.y);
            nest->SetZ(NestZ + places[i].ZOffset);
            auto* bird = new TAnimatedSprite(MainEngine);
            bird->SetAnim("Nestling_1_nest.image", 0, pmPingPong, true, true, 0.2f, 16);
            bird->SetZ(NestZ + places[i].ZOffset + 1);
            bird->FVisible = false;
            nest->FNestling = bird;
            UI.Nests.push_back(nest);
        }
    }

    if (StartPopupEnabled()) CreatePopup();
    if (panel->FMotion.Start(UI.Layout.Left, UI.Popup != nullptr)) SfxByName("sfx_task_open.ogg");
    panel->FX = panel->FMotion.X;
    PlaceInterface();
    RefreshTask(false);
}

void DestroyLevelInterface() {
    if (!UI.Exists) return;
    if (UI.Bar) {
        KillSprite(UI.Bar->FLeftSprite);
        if (UI.Bar->FNotePadSprite) UI.Bar->FNotePadSprite->Kill();
        KillSprite(UI.Bar);
    }
    if (UI.Task) {
        KillSprite(UI.Task->FIcon);
        KillSprite(UI.Task->FEgg);
        KillSprite(UI.Task);
    }
    for (TButtonSprite2* button : {UI.Menu, UI.Help})
        if (button) button->Kill();
    KillSprite(UI.Score);
    if (UI.Time) {
        KillSprite(UI.Time->FGlassSprite);
        KillSprite(UI.Time->FNumbersSprite);
        KillSprite(UI.Time->FArrow1Sprite);
        KillSprite(UI.Time);
    }
    for (TPanelNestSprite* nest : UI.Nests) {
        KillSprite(nest->FNestling);
        KillSprite(nest);
    }
    if (UI.Popup) {
        KillSprite(UI.Popup->FEgg1);
        KillSprite(UI.Popup->FEgg2);
        if (UI.Popup->FButtonSprite) UI.Popup->FButtonSprite->Kill();
        KillSprite(UI.Popup);
    }
    UI = Interface{};
}

bool LevelInterfaceExists() {
    return UI.Exists;
}

namespace {

// The task panel shows a decided status (once; an open one changes nothing).
void ShowTaskStatus(TaskStatus shown) {
    if (shown == task_Open || shown == UI.Task->FMotion.Status) return;
    if (UI.Task->FMotion.Judged(shown)) SfxByName("sfx_task_close.ogg");
    UI.Task->ShowStatus();
}

} // namespace

void RefreshTask(bool final) {
    if (!UI.Exists || !UI.Task) return;
    const TaskJudgement verdict =
        JudgeLevelTask(CurrentLevel.Task, TaskCountersOf(Player), BoardTaskCounts(), final);
    UI.Task->FText = verdict.Text;
    if (verdict.Status == task_Completed) Player.TaskCompleted = true;
    // What was once completed stays completed.
    ShowTaskStatus(Player.TaskCompleted ? task_Completed : verdict.Status);
}

void ShowTaskVerdict(bool completed) {
    if (!UI.Exists || !UI.Task) return;
    ShowTaskStatus(completed ? task_Completed : task_Failed);
}

void LevelInterfaceTick() {
    if (!UI.Exists) return;
    AnimateDisplayedScore();
    const PanelLayout now = CurrentLayout();
    if (now.BorderWidth != UI.Layout.BorderWidth || now.Left != UI.Layout.Left ||
        now.Right != UI.Layout.Right)
        PlaceInterface();
    StepPopup();
}

void RelayLevelInterface() {
    if (UI.Exists) PlaceInterface();
}

void LevelInterfaceSecond() {
    if (!UI.Exists || CurrentLevel.Mission == mission_nil) return;
    if (UI.Popup && UI.Popup->FMotion.FirstShowing) return;
    // The clock stops once the mission is accomplished or the board is full.
    if (MissionDecided() || BoardLost) return;
    ++Player.LevelTime;
    if (UI.Time) UI.Time->SetTime(Player.LevelTime);
    if (CurrentLevel.Task.Index == TaskTime) RefreshTask(false);
}

bool InterfaceHit(TSprite& sprite) {
    if (!UI.Exists) return false;
    if (&sprite != UI.Menu && &sprite != UI.Help) return false;
    if (SomethingDragged()) return true;
    HandleButtonHit(sprite, MenuButtonHover, [](TButtonName name) {
        if (name == button_Game_Menu) {
            InGameMenu(msg_Create);
            return;
        }
        if (name == button_Game_Help) OpenHelp();
    });
    if (&sprite == UI.Help && UI.Bar && UI.Bar->FNotePadSprite)
        UI.Bar->FNotePadSprite->SetLightLevel(MenuButtonHover.Level);
    return true;
}

int SavedNestlingsShown() {
    return static_cast<int>(
        std::count_if(UI.Nests.begin(), UI.Nests.end(), [](auto* n) { return n->FSaved; }));
}

bool TakeSavedNestling(TPoint2& pos) {
    for (TPanelNestSprite* nest : UI.Nests) {
        if (!nest->FSaved) continue;
        nest->FSaved = false;
        if (nest->FNestling) nest->FNestling->FVisible = false;
        pos = TPoint2{nest->FX + 14, nest->FY - 18};
        return true;
    }
    return false;
}

void HideSavedNestlings() {
    TPoint2 ignored;
    while (TakeSavedNestling(ignored)) {
    }
}

void ShowSavedNestling() {
    for (TPanelNestSprite* nest : UI.Nests) {
        if (nest->FSaved) continue;
        nest->FSaved = true;
        return;
    }
}

bool NestPosition(int index, TPoint2& pos) {
    if (index < 0 || index >= static_cast<int>(UI.Nests.size())) return false;
    const TPanelNestSprite* nest = UI.Nests[static_cast<size_t>(index)];
    pos = TPoint2{nest->FX, nest->FY};
    return true;
}

void FoldPopupAtWin() {
    if (UI.Popup) UI.Popup->FMotion.BoardClick();
}

const TaskPanelMotion* TaskPanelState() {
    return UI.Task ? &UI.Task->FMotion : nullptr;
}

const PopupMotion* PopupState() {
    return UI.Popup ? &UI.Popup->FMotion : nullptr;
}

void ForgetInterfaceSprites() {
    UI = Interface{};
}

std::unique_ptr<ModalLayer> MakePopupLayer() {
    return std::make_unique<PopupLayer>();
}

} // namespace bw
