#include "ingame/Tutorial.h"

#include "Engine/KilnSprite/SpriteEngine.h"
#include "Engine/KilnSprite/SpriteMath.h"
#include "base/GameObjects.h"
#include "base/GameOptions.h"
#include "base/GameState.h"
#include "base/ModalLayers.h"
#include "base/Player.h"
#include "board/BirdSprites.h"
#include "board/Board.h"
#include "board/BoardSprites.h"
#include "data/GameFonts.h"
#include "data/KilnFonts.h"
#include "data/TextDatabase.h"
#include "gui/TextDrawing.h"
#include "ingame/TutorialSteps.h"
#include "platform/Log.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <set>

namespace bw {

namespace {

constexpr TColor2 PanelTextColors{0xFFFFFFFF, 0xFFFFF3D6};

struct TutorialSprites {
    std::vector<TTutorialArrowSpite*> arrows;
    TTutorialPanelSprite* panel = nullptr;
};

TutorialMachine Machine;
TutorialSprites Shown;
// What was already reported missing, so that the log says it once.
std::set<std::string> Reported;

void ReportOnce(const std::string& line) {
    if (Reported.insert(line).second) WriteLog(line, 1);
}

void RemoveSprites() {
    for (TTutorialArrowSpite* arrow : Shown.arrows) arrow->Dead();
    Shown.arrows.clear();
    if (Shown.panel) Shown.panel->Dead();
    Shown.panel = nullptr;
}

TTSText Wrapped(const TTutorialTSText& t) {
    TTSText text;
    text.Scale = t.Scale;
    text.OffSet = t.OffSet;
    text.Leading = t.Leading;
    text.Centered = true;
    TKilnFont* font = Fonts ? Fonts->Font(ShadowFont) : nullptr;
    if (font && t.Width > 0) {
        const TPoint2 saved = font->FScale;
        font->FScale = t.Scale;
        text.Text = font->GetWordWrapedTextFromString(t.Text, static_cast<float>(t.Width));
        font->FScale = saved;
    } else {
        text.Text = {t.Text};
    }
    return text;
}

// Whether the player can do what the step asks on this board; the reason when not.
std::string StepProblem(const TutorialStep& step) {
    for (const TCoord2& c : step.Cells) {
        if (c.x < 0 || c.y < 0 || c.x >= BoardGridSize || c.y >= BoardGridSize ||
            !BoardCells[c.x][c.y] || !BoardCells[c.x][c.y]->FVisible)
            return "(" + std::to_string(c.x) + ", " + std::to_string(c.y) + ") is not a cell";
    }
    const BoardSnapshot s = TakeBoardSnapshot();
    if (step.Rule == TutorialRule::ReleaseOnly) {
        // A cat or a grown wall may have come onto the cell the move is to end on.
        for (const TCoord2& c : step.Cells) {
            const bool wall = s.Walls[c.x][c.y].Visible && !s.Walls[c.x][c.y].Small;
            const bool bird = s.Birds[c.x][c.y].Visible && !s.Birds[c.x][c.y].SmallBounded;
            if (!s.Cats[c.x][c.y].Visible && !wall && (!bird || s.IsBossAt(c))) return {};
        }
        const TCoord2 c = step.Cells.front();
        return "(" + std::to_string(c.x) + ", " + std::to_string(c.y) + ") is taken";
    }
    if (step.Rule != TutorialRule::PickUpOnly) return {};
    for (const TCoord2& c : step.Cells) {
        const BirdState& bird = s.Birds[c.x][c.y];
        if (bird.Visible && !bird.Bounded && !bird.Egg) return {};
        if (s.Bonuses[c.x][c.y].Visible && s.Bonuses[c.x][c.y].BonusStatus == 0) return {};
        if (s.Keys[c.x][c.y]) return {};
    }
    const TCoord2 c = step.Cells.empty() ? NoCell : step.Cells.front();
    return "nothing to pick up at (" + std::to_string(c.x) + ", " + std::to_string(c.y) + ")";
}

void StopRunning(const std::string& why) {
    WriteLog(why, 1);
    EndTutorial();
}

// Where an arrow's point goes. The table's points were drawn for one board's layout; each
// location lays its cells out its own way, so an arrow that marks a cell points at that cell
// as this board lays it out: at the top of its occupant from above, at its side from the
// left or the right. An arrow marking no cell keeps the table's point; one marking a cell
// this board does not build would point at nothing and is left out.
std::optional<TPoint2> ArrowPoint(const TutorialArrow& a) {
    const int mx = a.Mark.x, my = a.Mark.y;
    if (mx < 0 || my < 0) return a.Point;
    if (mx >= BoardGridSize || my >= BoardGridSize) return std::nullopt;
    const TLevelSprite* cell = BoardCells[mx][my];
    if (!cell || !cell->FVisible) return std::nullopt;
    const float w = static_cast<float>(cell->GetImageWidth());
    const float h = static_cast<float>(cell->GetImageHeight());
    const TPoint2 c = cell->FCenter;
    switch (a.Kind) {
    case 2:
        return TPoint2{c.x - w * 0.4f, c.y};
    case 4:
        return TPoint2{c.x + w * 0.4f, c.y};
    default:
        return TPoint2{c.x, c.y - h * 0.35f};
    }
}

void ShowStep() {
    RemoveSprites();
    const TutorialStep* step = Machine.Current();
    if (!step || !MainEngine) return;
    const std::string where =
        "Tutorial " + std::to_string(Machine.Number()) + " step " + std::to_string(Machine.Step());
    if (const std::string problem = StepProblem(*step); !problem.empty()) {
        StopRunning(where + ": " + problem + "; the tutorial ends");
        return;
    }
    for (const TutorialArrow& a : step->Arrows) {
        const std::optional<TPoint2> point = ArrowPoint(a);
        if (!point) {
            ReportOnce(where + ": the board has no cell " + std::to_string(a.Mark.x) + ", " +
                       std::to_string(a.Mark.y) + " for an arrow; it is left out");
            continue;
        }
        auto* arrow = new TTutorialArrowSpite(MainEngine);
        arrow->FKind = a.Kind;
        arrow->FMarkObject = TPoint{a.Mark.x, a.Mark.y};
        const std::string image = "tutorial_Arrow_" + std::to_string(a.Kind) + ".image";
        arrow->SetAnim(image, 0, pmPingPong, true, true, 0.3f, 16);
        if (!arrow->FImage) ReportOnce("Tutorial: no picture " + image);
        arrow->SetZ(TutorialArrowZ);
        arrow->PlaceAt(*point);
        Shown.arrows.push_back(arrow);
    }
    if (step->Text < 0) return;
    const std::vector<TTutorialTSText>& texts = Texts().Tutorial(Machine.Number() + 1);
    if (step->Text >= static_cast<int>(texts.size())) {
        ReportOnce(where + ": no text " + std::to_string(step->Text) + " in the text database");
        // Nothing to read: a click goes on at once.
        Machine.PanelMissing();
        return;
    }
    const TTutorialTSText& t = texts[static_cast<size_t>(step->Text)];
    auto* panel = new TTutorialPanelSprite(MainEngine);
    panel->FTemplate = std::max(1, t.Template);
    const std::string image = "tutorial_Panel_" + std::to_string(panel->FTemplate) + ".image";
    panel->SetImageName(image);
    if (!panel->FImage) ReportOnce("Tutorial: no picture " + image + "; the text shows alone");
    panel->FText = Wrapped(t);
    panel->FStartPos = TPoint2{static_cast<float>(t.Pos.x), static_cast<float>(t.Pos.y)};
    panel->FX = panel->FStartPos.x - static_cast<float>(panel->GetImageWidth()) / 2;
    panel->FY = panel->FStartPos.y - static_cast<float>(panel->GetImageHeight()) / 2;
    panel->SetAlpha(0);
    panel->SetZ(step->PanelZ);
    Shown.panel = panel;
}

void Apply(TutorialChange change) {
    if (change == TutorialChange::Shown) ShowStep();
    if (change == TutorialChange::Ended) {
        WriteLog("Destroying tutorial...", 1);
        RemoveSprites();
    }
}

class TutorialLayer final : public ModalLayer {
public:
    bool Shown() const override { return Machine.Active(); }
    // A fade that leaves the level, or the option switched off over it, ends the tutorial:
    // hiding only its panel would leave a locked step locked.
    void Command(TTS_Message message) override {
        if (message == msg_Destroy || message == msg_Hide) EndTutorial();
    }
    // The frame's hit test has run: buttons took their clicks, the tutorial's step follows.
    void AfterClick() override {
        if (CurrentScene == scene_Level) TutorialClick();
    }
};

} // namespace

void TTutorialArrowSpite::PlaceAt(TPoint2 point) {
    const float w = static_cast<float>(GetImageWidth());
    const float h = static_cast<float>(GetImageHeight());
    switch (FKind) {
    case 2:
        FStartPos = TPoint2{point.x - w, point.y - h / 2};
        break;
    case 4:
        FStartPos = TPoint2{point.x, point.y - h / 2};
        break;
    default:
        FStartPos = TPoint2{point.x - w / 2, point.y - h};
        break;
    }
    FX = FStartPos.x;
    FY = FStartPos.y;
}

void TTutorialArrowSpite::DoMove(float moveCount) {
    TAnimatedSprite::DoMove(moveCount);
    FMotionCounter += 0.1;
    const float s = Sin256(static_cast<int>(std::nearbyint(FMotionCounter * 60)));
    if (FKind == 2 || FKind == 4) {
        FX = FStartPos.x + 4 * s;
        FY = FStartPos.y;
    } else {
        FX = FStartPos.x;
        FY = FStartPos.y + 4 * s;
    }
    const int mx = FMarkObject.x, my = FMarkObject.y;
    if (mx < 0 || my < 0 || mx >= BoardGridSize || my >= BoardGridSize) return;
    const float level = std::clamp(110 + 80 * s, 0.0f, 255.0f);
    if (TLevelSprite* cell = BoardCells[mx][my]; cell && cell->FVisible) {
        cell->Highlight();
        cell->FLightLevel = level;
        cell->FLightSprite->SetAlpha(static_cast<int>(level));
    }
    if (TBirdSprite* bird = BoardBirds[mx][my]; bird && bird->FVisible && !bird->FEgg) {
        bird->Highlight();
        bird->FLightLevel = level;
        bird->FLightSprite->SetAlpha(static_cast<int>(level));
    }
}

void TTutorialPanelSprite::DoMove(float moveCount) {
    TAnimatedSprite::DoMove(moveCount);
    SetAlpha(Machine.PanelAlpha());
}

void TTutorialPanelSprite::DoDraw() {
    if (FImage) TAnimatedSprite::DoDraw();
    TKilnFont* font = Fonts ? Fonts->Font(ShadowFont) : nullptr;
    if (!font || FText.Text.empty()) return;
    const float lines = static_cast<float>(FText.Text.size());
    const float lineHeight =
        FText.Leading > 0 ? static_cast<float>(FText.Leading) : 40.0f * FText.Scale.y;
    const TPoint2 anchor{FStartPos.x, FStartPos.y - lines * lineHeight / 2};
    DrawTSText(font, FText, anchor, static_cast<float>(FAlpha) / 255.0f, PanelTextColors);
}

void StartTutorial(int number) {
    WriteLog("Creating tutorial...", 1);
    RemoveSprites();
    if (!Machine.Start(number)) {
        WriteLog("Tutorial " + std::to_string(number) + " does not exist", 1);
        return;
    }
    ShowStep();
}

void EndTutorial() {
    if (!Machine.Active() && !Shown.panel && Shown.arrows.empty()) return;
    WriteLog("Destroying tutorial...", 1);
    Machine.End();
    RemoveSprites();
}

void TryStartTutorial() {
    if (!GameOptions.ShowTutorial || Machine.Active() || CurrentScene != scene_Level ||
        LevelFinished)
        return;
    const int number = TutorialOfLevel(Player.Level);
    if (number >= 0) StartTutorial(number);
}

bool TutorialAllows(TutorialAction action, TCoord2 cell) {
    if (!Machine.Active()) return true;
    TutorialChange change = TutorialChange::None;
    const bool allowed = Machine.Allows(action, cell, change);
    Apply(change);
    return allowed;
}

void TutorialClick() {
    if (!Machine.Active() || !Machine.Ready()) return;
    Apply(Machine.Click());
}

void TutorialTick() {
    if (!Machine.Active()) return;
    std::string why;
    if (Machine.Tick(&why) == TutorialChange::Ended) StopRunning(why);
}

bool TutorialActive() {
    return Machine.Active();
}

const TutorialMachine& TutorialState() {
    return Machine;
}

const std::vector<TTutorialArrowSpite*>& TutorialArrowSprites() {
    return Shown.arrows;
}

TTutorialPanelSprite* TutorialPanel() {
    return Shown.panel;
}

std::unique_ptr<ModalLayer> MakeTutorialLayer() {
    return std::make_unique<TutorialLayer>();
}

void ForgetTutorialSprites() {
    Machine.End();
    Shown = TutorialSprites{};
}

} // namespace bw
