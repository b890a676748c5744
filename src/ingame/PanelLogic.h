// The moving parts of the level's panels and of the level result as plain state machines:
// the layout of the bottom bar on any window width, the task panel's slide stages, the mission
// pop-up's drop, fold and unfold, the nest row, the result's buttons and the result's stages.
// The sprites of LevelPanels.cpp and LevelResult.cpp step these once a tick and act on what
// each step reports (sounds, effects), so the rules are tested without a sprite engine.
#pragma once

#include "board/LevelTasks.h"
#include "render/Types.h"

#include <cstdint>
#include <vector>

namespace bw {

// ---- Bottom bar layout ---------------------------------------------------------------------

// Where the panels go on a window showing `visibleWidth` design units (client width /
// DisplayScale.x, rounded) with the world offset `worldOffsetX`: the bar is min(V, 1920)
// wide from Left to Right, so the panels keep to the visible part of the design canvas.
struct PanelLayout {
    int BorderWidth = 1920;
    float Left = 0;
    float Right = 1920;
};
PanelLayout ComputePanelLayout(int visibleWidth, float worldOffsetX);

// ---- Task panel ----------------------------------------------------------------------------

enum TaskPanelStage : int {
    taskpanel_Hidden = 0,
    taskpanel_Egg = 1,        // only the egg shows
    taskpanel_Open = 2,       // fully open
    taskpanel_SlideToEgg = 3, // sliding in until only the egg shows
    taskpanel_Opening = 4,    // sliding to fully open
    taskpanel_Closing = 5,    // sliding back until only the egg shows
};

struct TaskPanelMotion {
    int Stage = taskpanel_Hidden;
    TaskStatus Status = task_Open;
    float X = 0;
    float EggX = 0;  // x where only the egg shows
    float FullX = 0; // x where the panel is fully open

    // At level start: from left - 400; to the egg while the pop-up shows, else opening.
    // True when the opening sound is due.
    bool Start(float left, bool popupShown);
    // One tick of the slide.
    void Step();
    // A judgement of the task: a decided one fixes the egg and, unless the panel already
    // shows only the egg or is on its way there, slides back. True when the closing sound
    // is due (once per decision).
    bool Judged(TaskStatus status);
    // The pop-up folded: a panel still open waiting at the egg opens. True when it does (the
    // opening sound is due).
    bool PopupFolded();
    // The icon and the progress text show.
    bool ShowsContent() const;
};

// ---- Mission pop-up ------------------------------------------------------------------------

enum PopupStatus : int {
    popup_Create = 0,
    popup_Drop = 1,
    popup_Settle = 2,
    popup_Fold = 3,
    popup_Folding = 4,
    popup_Folded = 5,
    popup_Unfold = 6,
    popup_Unfolding = 7,
    popup_Shown = 8,
};

enum class PopupEvent { None, CreateSound, CloseSound, Folded, OpenSound };

struct PopupMotion {
    int Status = popup_Create;
    bool FirstShowing = true; // the pop-up is showing for the first time in this level
    TPoint2 Panel;            // top-left of the panel
    TPoint2 ButtonOffset;     // the button's place on the panel
    TPoint2 Button;           // the button's top-left
    TPoint2 FoldPlace;        // where the folded button waits
    float Scale = 1;          // of the panel (and its alpha, 0..1)
    float StartDistance = 0;
    float TimeCounter = 0;

    // Above the screen, centred on x 960 for a panel `width` wide.
    void Start(float width, TPoint2 buttonOffset, TPoint2 foldPlace);
    PopupEvent Step();
    // A click on the pop-up's button: folds an open pop-up, unfolds a folded one.
    bool ButtonClick();
    // A click on the board folds a pop-up that drops or shows.
    bool BoardClick();
    // The board takes no input meanwhile.
    bool BlocksBoard() const;
    bool PanelVisible() const;
};

// ---- Nest row ------------------------------------------------------------------------------

struct NestPlace {
    TPoint2 Pos;
    int ZOffset = 0;
};
// The nests of a level with `count` caged nestlings, left to right. Up to ten come from the
// drawn layout; more share the width of ten in a tighter row.
std::vector<NestPlace> NestPlaces(int count);

// ---- Level result --------------------------------------------------------------------------

// The first level index that is not yet open: the first level not won, past the last when
// every level is won.
int OpenLimit(const std::vector<int32_t>& levelStates);

struct ResultButtons {
    bool Continue = false; // Continue and Restart; otherwise Restart and Exit
};
// Continue is offered when this win opened the next level for the first time: the level
// after `levelIndex` was not open before the win (limits as OpenLimit) and is now, or the
// last level was won for the first time, and the game was not completed before.
ResultButtons ChooseResultButtons(bool won, int levelIndex, int limitBefore, int limitAfter,
                                  int levelCount, bool gameWasCompleted);

enum class ResultEvent {
    ScoreLoopStart, // the looping count sound and the string sound
    ScoreLoopStop,
    StringSound,
    LaunchNestling,
    TaskWinSound,
    TaskFailSound,
    EggEffect,
    ButtonsShown,
    StopSounds, // the click skipped the presentation
};

struct ResultStages {
    bool Won = false;
    bool NestlingMission = false;
    bool TaskCompleted = false;
    int32_t LevelScore = 0;
    double ShownScore = 0;
    double ScoreStep = 0;
    int Stage = 1;
    double TimeCounter = 2;
    int NestsLeft = 0; // saved nestlings still sitting in their nests
    int Flying = 0;
    int Counted = 0;
    bool EggEffectRunning = false;

    void Start(bool won, bool nestlingMission, bool taskCompleted, int32_t levelScore,
               int savedNestlings);
    std::vector<ResultEvent> Step();
    // A click before the buttons: everything shows at once.
    std::vector<ResultEvent> Skip();
    void NestlingArrived();
    bool ButtonsVisible() const { return Stage >= 14; }

private:
    bool Waited();
    bool EasedWait();
};

} // namespace bw
