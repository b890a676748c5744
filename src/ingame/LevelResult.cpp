#include "ingame/LevelResult.h"

#include "Engine/KilnSprite/KilnSprite.h"
#include "audio/SoundEngine.h"
#include "base/GameObjects.h"
#include "base/GameState.h"
#include "base/SceneTransition.h"
#include "board/Board.h"
#include "board/LevelData.h"
#include "data/GameFonts.h"
#include "data/KilnFonts.h"
#include "data/TextDatabase.h"
#include "effects/ParticleManager.h"
#include "gui/ButtonProtocol.h"
#include "gui/ButtonSprites.h"
#include "gui/TextDrawing.h"
#include "ingame/LevelPanels.h"
#include "ingame/Tutorial.h"
#include "meta/Profile.h"
#include "platform/Log.h"

#include <algorithm>
#include <cmath>

namespace bw {

namespace {

constexpr int ShadeZ = 7999;
constexpr int PanelZ = 8000;
constexpr int FlyingZ = 8001;
constexpr int ButtonZ = 8002;
// Where the bird's middle is in a pattern of the flying nestling.
constexpr TPoint2 FlyingNestlingMiddle{74, 59};
constexpr TColor2 TitleColors{0xFFFFF6DC, 0xFFFFE066};
constexpr TColor2 TextColors{0xFFFFF6DC, 0xFFFFF6DC};
constexpr TColor2 CompletedColors{0xFFB8FF28, 0xFFB8FF28};
constexpr TColor2 UncompletedColors{0xFFFF3331, 0xFFFF3331};

// What the win recorded, for the result that follows it.
struct WinRecord {
    bool Recorded = false;
    int LimitBefore = 0;
    int32_t LevelScore = 0;
    bool TaskCompleted = false;
};

// A particle system of the result advances once a tick.
constexpr float ResultEffectStep = 0.017f;
// F1 wins the level with this score.
constexpr int32_t DebugWinScore = 760;
WinRecord Win;

std::vector<int32_t> LevelStates() {
    std::vector<int32_t> states;
    for (const TPlayerSavedLevel& level : Player.Levels) states.push_back(level.FStatus);
    return states;
}

class TResultMessageButtonSprite final : public TButtonSprite2 {
public:
    using TButtonSprite2::TButtonSprite2;
};

class TResultNestlingSprite final : public TAnimatedSprite {
public:
    explicit TResultNestlingSprite(TSprite* parent) : TAnimatedSprite(parent) {}
    TPoint2 FStart, FCenter, FTarget;
    float FTimeCounter = 0;
    float FSpeed = 0.02f;
    bool FArrived = false;
    void DoMove(float moveCount) override;
};

class TResultEggSprite final : public TAnimatedSprite {
public:
    explicit TResultEggSprite(TSprite* parent) : TAnimatedSprite(parent) {}
};

class TResultMessageSprite final : public TAnimatedSprite {
public:
    explicit TResultMessageSprite(TSprite* parent) : TAnimatedSprite(parent) {}
    ResultStages FStages;
    TAnimatedSprite* FShadowSprite = nullptr;
    TTSText FTaskText;
    int FTaskTextOffsetY = 0;
    TResultMessageButtonSprite* FButton1 = nullptr;
    TResultMessageButtonSprite* FButton2 = nullptr;
    TResultEggSprite* FEgg = nullptr;
    // The nestlings flying to the panel; an arrived one is null (the engine frees it).
    std::vector<TResultNestlingSprite*> FNestlings;
    // The egg's glitter and the bursts of the nestlings that arrived: the result advances
    // them and kills them when it goes.
    TParticleRef FEggFx;
    std::vector<TParticleRef> FArrivalFx;
    bool FContinue = false;
    float FOutcomeAlpha = 0;

    void AdvanceEffects();
    void KillEffects();

    void DoMove(float moveCount) override;
    void DoDraw() override;
    void Act(const std::vector<ResultEvent>& events);
};

TResultMessageSprite* Message = nullptr;

TKilnFont* Toon() {
    return Fonts ? Fonts->Font(ToonFont) : nullptr;
}

// A record wrapped to its width, as a text of lines.
TTSText WrappedRecord(const std::string& key, const TTSTextVars& vars) {
    const TWrapedTSText& record = Texts().WrapedText(key);
    TTSText text;
    text.Scale = record.Scale;
    text.OffSet = record.OffSet;
    text.Leading = record.Leading;
    text.Centered = record.Centered;
    const std::string body = ReplacePlaceholders(record.Text, vars);
    TKilnFont* font = Toon();
    if (font && record.Width > 0) {
        const TPoint2 saved = font->FScale;
        font->FScale = record.Scale;
        text.Text = font->GetWordWrapedTextFromString(body, static_cast<float>(record.Width));
        font->FScale = saved;
    } else {
        text.Text = {body};
    }
    return text;
}

void TResultNestlingSprite::DoMove(float moveCount) {
    TAnimatedSprite::DoMove(moveCount);
    if (FArrived) return;
    FTimeCounter = std::min(1.0f, FTimeCounter + FSpeed);
    const float t = FTimeCounter, u = 1 - t;
    FX = u * u * FStart.x + 2 * u * t * FCenter.x + t * t * FTarget.x;
    FY = u * u * FStart.y + 2 * u * t * FCenter.y + t * t * FTarget.y;
    if (t < 1) return;
    FArrived = true;
    if (TXParticleManager* particles = ParticleManager(); particles && Message)
        Message->FArrivalFx.emplace_back(particles->Launch(
            "Result_message_nestlings_Fx_1.xml",
            TPoint2{FX + FlyingNestlingMiddle.x - 20, FY + FlyingNestlingMiddle.y - 2}));
    if (Message) {
        Message->FStages.NestlingArrived();
        // The engine frees the bird once it is dead: the result lets go of it now.
        std::replace(Message->FNestlings.begin(), Message->FNestlings.end(), this,
                     static_cast<TResultNestlingSprite*>(nullptr));
    }
    Dead();
}

void TResultMessageSprite::AdvanceEffects() {
    if (TXParticleSystem* s = FEggFx.Get()) s->Update(ResultEffectStep);
    for (TParticleRef& fx : FArrivalFx) {
        TXParticleSystem* s = fx.Get();
        if (!s) continue;
        s->Update(ResultEffectStep);
        // A burst that has run out gives its slot back at once.
        if (!s->Active()) fx.Kill();
    }
    std::erase_if(FArrivalFx, [](const TParticleRef& fx) { return !fx; });
}

void TResultMessageSprite::KillEffects() {
    FEggFx.Kill();
    for (TParticleRef& fx : FArrivalFx) fx.Kill();
    FArrivalFx.clear();
}

void TResultMessageSprite::Act(const std::vector<ResultEvent>& events) {
    for (ResultEvent e : events) {
        switch (e) {
        case ResultEvent::ScoreLoopStart:
            SfxLoopByName("sfx_result_score.ogg");
            break;
        case ResultEvent::ScoreLoopStop:
            SfxStopByName("sfx_result_score.ogg");
            break;
        case ResultEvent::StringSound:
            SfxByName("sfx_result_string.ogg");
            break;
        case ResultEvent::LaunchNestling: {
            TPoint2 from;
            if (!TakeSavedNestling(from)) {
                FStages.NestlingArrived();
                break;
            }
            SfxByName("sfx_result_nestling.ogg");
            auto* bird = new TResultNestlingSprite(MainEngine);
            bird->SetAnim("Nestling_1_fly.image", 0, pmPingPong, true, true, 1.35f, 16);
            bird->SetZ(FlyingZ);
            const float w = static_cast<float>(GetImageWidth());
            // `from` is the sitting nestling's top-left; the flying one is a larger picture
            // with the bird's middle at FlyingNestlingMiddle.
            from =
                TPoint2{from.x + 28 - FlyingNestlingMiddle.x, from.y + 22 - FlyingNestlingMiddle.y};
            bird->FStart = from;
            bird->FTarget = TPoint2{FX + w / 2 - 16 - FlyingNestlingMiddle.x,
                                    FY + 178 - FlyingNestlingMiddle.y};
            const bool quarter = FNestlings.size() % 2 == 0;
            bird->FCenter = TPoint2{from.x + (bird->FTarget.x - from.x) * (quarter ? 0.25f : 0.75f),
                                    from.y + (bird->FTarget.y - from.y) * 0.5f};
            bird->SetPos(from.x, from.y);
            FNestlings.push_back(bird);
            break;
        }
        case ResultEvent::TaskWinSound:
            SfxByName("sfx_result_task_win.ogg");
            break;
        case ResultEvent::TaskFailSound:
            SfxByName("sfx_result_task_fail.ogg");
            break;
        case ResultEvent::EggEffect:
            if (TXParticleManager* particles = ParticleManager(); particles && FEgg && !FEggFx)
                FEggFx = particles->Launch("Result_message_Gold_egg_Fx_1.xml",
                                           TPoint2{FEgg->FX, FEgg->FY});
            break;
        case ResultEvent::ButtonsShown:
            for (TResultMessageButtonSprite* button : {FButton1, FButton2})
                if (button) button->SetGVisible(true);
            break;
        case ResultEvent::StopSounds:
            for (const char* sound : {"sfx_result_score.ogg", "sfx_result_string.ogg",
                                      "sfx_result_task_fail.ogg", "sfx_result_task_win.ogg"})
                SfxStopByName(sound);
            HideSavedNestlings();
            break;
        }
    }
}

void TResultMessageSprite::DoMove(float moveCount) {
    TAnimatedSprite::DoMove(moveCount);
    if (FShadowSprite) FShadowSprite->FAlpha = std::min(FShadowSprite->FAlpha + 5, 150);
    Act(FStages.Step());
    // The first wait is over: the pointer works again, also after a mission's win, which
    // locked the board with LevelFinished.
    if (FStages.Stage > 1) LevelFinished = false;
    AdvanceEffects();
    if (FStages.Stage >= 9 && FStages.Stage <= 10)
        FOutcomeAlpha = std::min(1.0f, FOutcomeAlpha + 0.05f);
    if (FStages.Stage > 10) FOutcomeAlpha = 1;
    if (FEgg && FStages.Won && FStages.Stage >= 11) FEgg->FAlpha = std::min(FEgg->FAlpha + 8, 255);
}

void TResultMessageSprite::DoDraw() {
    if (FShadowSprite) FShadowSprite->DoDraw();
    TAnimatedSprite::DoDraw();
    TKilnFont* font = Toon();
    const TPoint2 at{FX, FY};
    const int stage = FStages.Stage;
    DrawTSText(font, Texts().Text("result_title"), at, 1, TitleColors);
    if (stage >= 3) {
        TTSText score = Texts().Text("result_score");
        DrawTSText(font, score, at, 1, TextColors);
        score.Text = {std::to_string(static_cast<int64_t>(std::floor(FStages.ShownScore)))};
        score.OffSet.y += 50;
        DrawTSText(font, score, at, 1, TitleColors);
    }
    if (stage >= 5 && CurrentLevel.Mission == mission_nestlings) {
        TTSText saved = Texts().Text("result_nestlings_saved");
        if (!saved.Text.empty()) saved.Text.back() += " " + std::to_string(FStages.Counted);
        DrawTSText(font, saved, at, 1, TextColors);
    } else if (stage >= 5 && CurrentLevel.Mission == mission_boss_1) {
        DrawTSText(font,
                   Texts().Text(FStages.Won ? "result_boss_defeated" : "result_boss_not_defeated"),
                   at, 1, TextColors);
    }
    if (FStages.Won) {
        if (stage >= 8) DrawTSText(font, FTaskText, at, 1, TextColors);
        if (stage >= 9) {
            TTSText line = WrappedRecord(
                FStages.TaskCompleted ? "result_task_completed" : "result_task_uncompleted", {});
            line.OffSet.y += FTaskTextOffsetY;
            DrawTSText(font, line, at, FOutcomeAlpha,
                       FStages.TaskCompleted ? CompletedColors : UncompletedColors);
        }
        if (stage >= 11) {
            TTSText award = Texts().Text("result_award");
            award.OffSet.y += FTaskTextOffsetY;
            DrawTSText(font, award, at, 1, TextColors);
            if (FEgg) FEgg->DoDraw();
        }
    } else if (stage >= 13) {
        DrawTSText(font, FTaskText, at, 1, TextColors);
    }
    for (TResultMessageButtonSprite* button : {FButton1, FButton2})
        if (button && button->FVisible) button->DoDraw();
}

TTSTextVars TaskVars(const TLevelTask& task) {
    switch (task.Index) {
    case 1:
        return {FormatMinutesSeconds(task.Value)};
    case 2:
    case 7:
    case 9:
    case 10:
        return {std::to_string(task.Value)};
    case 4:
    case 11:
        return {std::to_string(task.Value), Texts().String(TaskColorKey(task))};
    default:
        return {};
    }
}

TResultMessageButtonSprite* AddButton(TButtonName name, const char* textKey, float panelX,
                                      float panelY, float panelW, float panelH, int offsetY) {
    auto* button = new TResultMessageButtonSprite(MainEngine);
    StyleGoldButton(*button, ToonFont);
    button->SetZ(ButtonZ);
    const TTSTextButton& text = Texts().Button(textKey);
    button->SetParameters(text);
    button->SetButtonName(name);
    const float w = static_cast<float>(button->FButtonWidth) * button->FScaleX;
    button->SetPosition(
        TPoint2{panelX + panelW / 2 - w / 2 + static_cast<float>(text.ButtonOffSet.x),
                panelY + panelH - 160 + static_cast<float>(offsetY + text.ButtonOffSet.y)});
    button->FManualRender = true;
    if (button->LightSprite()) button->LightSprite()->FManualRender = true;
    button->UpdateCollisionParameters();
    button->SetGVisible(false);
    return button;
}

void RunButton(TButtonName name) {
    switch (name) {
    case button_Result_Restart:
        StartTransition(fl_Game_RestartLevel, FadeSpeedFast);
        break;
    case button_Result_Continue:
        StartTransition(fl_Game_GoToNextLevel, FadeSpeedFast);
        break;
    case button_Result_Exit:
        PlayMusic(music_Map, true);
        StartTransition(fl_Game_GotoMap, FadeSpeedFast);
        break;
    default:
        break;
    }
}

class ResultLayer final : public ModalLayer {
public:
    bool Shown() const override { return IsResultShown(); }
    bool BlocksBoard() const override { return IsResultShown(); }
    void Command(TTS_Message message) override {
        if (message == msg_Create) ShowResult(!BoardLost);
        if (message == msg_Destroy) HideResult();
    }
    bool Hit(TSprite& sprite) override {
        if (!IsResultShown()) return false;
        if (Message->FStages.ButtonsVisible() &&
            (&sprite == Message->FButton1 || &sprite == Message->FButton2))
            HandleButtonHit(sprite, MenuButtonHover, [](TButtonName name) { RunButton(name); });
        return true;
    }
    bool Press() override { return IsResultShown(); }
    bool Release() override { return IsResultShown(); }
    bool Click() override {
        if (!IsResultShown() || Message->FStages.ButtonsVisible()) return false;
        Message->Act(Message->FStages.Skip());
        return true;
    }
    bool Escape() override { return IsResultShown(); }
    bool DebugKey(Key key) override {
        // F1: the level counts as won now, and its result shows at once.
        if (key != Key::F1 || CurrentScene != scene_Level || IsResultShown()) return false;
        if (!WinLevel()) return false;
        ResultDelayActive = false;
        HideSavedNestlings();
        Player.LevelScore = Win.LevelScore = DebugWinScore;
        ShowResult(true);
        return true;
    }
};

} // namespace

bool WinLevel() {
    // The winning mission locked the board already (LevelFinished); a pending or recorded
    // win, a full board or a result on screen decided the level before.
    if (ResultDelayActive || Win.Recorded || BoardLost || IsResultShown()) return false;
    Win.LimitBefore = OpenLimit(LevelStates());
    Win.TaskCompleted = FinishLevel(BoardTaskCounts());
    // Points that come in after the win are not recorded, so they are not shown either.
    Win.LevelScore = Player.LevelScore;
    Win.Recorded = true;
    FoldPopupAtWin();
    ArmResultDelay();
    return true;
}

void ShowResult(bool won) {
    if (!MainEngine) return;
    HideResult();
    CancelDrag();
    StopDragLoops();
    // A tutorial still waiting when the level ends (the last nestling freed by its move, the
    // board filled up) would leave its panel and arrows over the result.
    EndTutorial();
    WriteLog("Creating result message...", 1);
    if (won && Win.Recorded) {
        // The result tells what the win recorded: what happened on the board during the
        // delay (a cat caught, a task counter moved) changes neither score nor verdict.
        Player.LevelScore = Win.LevelScore;
        Player.TaskCompleted = Win.TaskCompleted;
        ShowTaskVerdict(Win.TaskCompleted);
    }
    if (won && !Win.Recorded) {
        // A win recorded without WinLevel: the next level counts as opened by it if it is
        // open now, and the task is judged as at the level's end.
        WriteLog("The won result has no record of the win before it", 1);
        Win.LimitBefore = Player.Level;
        RefreshTask(true);
    }

    auto* panel = new TResultMessageSprite(MainEngine);
    Message = panel;
    panel->SetImageName("msg_panel_7.image");
    panel->SetZ(PanelZ);
    const float w = static_cast<float>(panel->GetImageWidth());
    const float h = static_cast<float>(panel->GetImageHeight());
    panel->SetPos(960 - w / 2, 540 - h / 2);

    auto* shade = new TAnimatedSprite(MainEngine);
    shade->SetImageName("blackpixel.image");
    shade->SetPos(0, 0);
    shade->SetZ(ShadeZ);
    shade->FScaleX = 1920;
    shade->FScaleY = 1080;
    shade->FAlpha = 0;
    shade->FManualRender = true;
    panel->FShadowSprite = shade;

    if (won) {
        panel->FTaskText =
            WrappedRecord(TaskDescriptionKey(CurrentLevel.Task), TaskVars(CurrentLevel.Task));
    } else {
        panel->FTaskText = WrappedRecord("result_gameover", {});
    }
    panel->FTaskTextOffsetY =
        (static_cast<int>(panel->FTaskText.Text.size()) - 1) * panel->FTaskText.Leading;
    panel->FStages.Start(won, CurrentLevel.Mission == mission_nestlings, Player.TaskCompleted,
                         Player.LevelScore, SavedNestlingsShown());

    auto* egg = new TResultEggSprite(MainEngine);
    egg->SetImageName(panel->FStages.TaskCompleted ? "Result_Egg_Gold.image"
                                                   : "Result_Egg_White.image");
    egg->SetZ(FlyingZ);
    egg->FManualRender = true;
    egg->FAlpha = 0;
    // Beside the "your egg" line, above the buttons.
    egg->SetPos(panel->FX + 530, panel->FY + 400 + static_cast<float>(panel->FTaskTextOffsetY));
    panel->FEgg = egg;

    const int levelCount = static_cast<int>(Player.Levels.size());
    const ResultButtons buttons =
        ChooseResultButtons(won, Player.Level, Win.LimitBefore, OpenLimit(LevelStates()),
                            levelCount, Player.GameWasCompleted);
    panel->FContinue = buttons.Continue;
    const float x = panel->FX, y = panel->FY;
    const int dy = panel->FTaskTextOffsetY;
    if (buttons.Continue) {
        panel->FButton1 = AddButton(button_Result_Continue, "result_button_1", x, y, w, h, dy);
        panel->FButton2 = AddButton(button_Result_Restart, "result_button_2", x, y, w, h, dy);
    } else {
        panel->FButton1 = AddButton(button_Result_Restart, "result_button_3", x, y, w, h, dy);
        panel->FButton2 = AddButton(button_Result_Exit, "result_button_4", x, y, w, h, dy);
    }
    Win = WinRecord{};
    PlayMusic(-1, false);
    SfxByName(won ? "sfx_win.ogg" : "sfx_gameover.ogg");
}

void HideResult() {
    if (!Message) return;
    WriteLog("Destroying result message...", 1);
    TResultMessageSprite* message = Message;
    Message = nullptr;
    SfxStopByName("sfx_result_score.ogg");
    for (TResultMessageButtonSprite* button : {message->FButton1, message->FButton2})
        if (button) button->Kill();
    for (TResultNestlingSprite* bird : message->FNestlings)
        if (bird) bird->Dead();
    if (message->FEgg) message->FEgg->Dead();
    message->KillEffects();
    if (message->FShadowSprite) message->FShadowSprite->Dead();
    message->Dead();
}

bool IsResultShown() {
    return Message && !Message->FDeaded && Message->FVisible;
}

const ResultStages* ResultState() {
    return IsResultShown() ? &Message->FStages : nullptr;
}

std::vector<std::string> ResultButtonNames() {
    std::vector<std::string> names;
    if (!IsResultShown()) return names;
    for (TResultMessageButtonSprite* button : {Message->FButton1, Message->FButton2})
        if (button) names.push_back(ButtonNameText(button->ButtonName()));
    return names;
}

std::string ResultOutcomeKey() {
    if (!IsResultShown()) return "";
    if (!Message->FStages.Won) return "result_gameover";
    return Message->FStages.TaskCompleted ? "result_task_completed" : "result_task_uncompleted";
}

void ForgetResultSprites() {
    Message = nullptr;
    Win = WinRecord{};
}

std::unique_ptr<ModalLayer> MakeResultLayer() {
    return std::make_unique<ResultLayer>();
}

} // namespace bw
