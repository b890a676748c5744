// The tutorial's steps as plain data, and the state machine that walks them: what each step
// shows (arrows over marked cells, a text panel), what the board may do meanwhile and what
// leads on. No sprites here: Tutorial.cpp shows the steps, the board asks through
// TutorialAllows, and the tests drive the machine directly.
#pragma once

#include "base/TutorialAction.h"
#include "board/BoardTypes.h"
#include "render/Types.h"

#include <array>
#include <string>
#include <vector>

namespace bw {

inline constexpr int TutorialCount = 8;
inline constexpr int TutorialArrowZ = 1000;
inline constexpr int TutorialPanelZ = 1001;
inline constexpr int TutorialPanelHighZ = 2001;
// The panel's alpha step per tick; a click may advance once it stands at 255.
inline constexpr int TutorialPanelFadeStep = 10;
// A step that waits for the board (an arrival, a caught cat) gives up after this many ticks
// of level play, so that a move that did not bring the awaited outcome never holds the board.
inline constexpr int TutorialWaitLimit = 900;

struct TutorialArrow {
    int Kind = 3;  // 1..4: the picture, and on which side of its point it stands
    TPoint2 Point; // the point the arrow's tip is placed at
    TCoord2 Mark;  // the cell it marks; NoCell for none
};

// What the board may do during a step.
enum class TutorialRule : uint8_t {
    Free,        // everything
    Locked,      // no board input at all
    PickUpOnly,  // a pick-up only at one of `Cells`
    ReleaseOnly, // a release only at one of `Cells`; elsewhere the step before comes back
};

// What leads to the next step.
enum class TutorialLeave : uint8_t { Click, PickUp, Release, Arrival, CatCaught };

struct TutorialStep {
    std::vector<TutorialArrow> Arrows;
    int Text = -1; // entry of the tutorial's text list; -1 for no panel
    int PanelZ = TutorialPanelZ;
    TutorialRule Rule = TutorialRule::Locked;
    std::vector<TCoord2> Cells;
    TutorialLeave Leave = TutorialLeave::Click;
};

// The steps of tutorial `number` (0..7); empty for any other number.
const std::vector<TutorialStep>& TutorialSteps(int number);
// The tutorial that level `levelIndex` (0-based) teaches, -1 for none.
int TutorialOfLevel(int levelIndex);

// What happened to the machine in one call.
enum class TutorialChange : uint8_t { None, Shown, Ended };

class TutorialMachine {
public:
    bool Active() const { return active_; }
    int Number() const { return number_; }
    int Step() const { return step_; }
    bool Ready() const { return ready_; }
    // The last run went through its last step (rather than being ended).
    bool Completed() const { return completed_; }
    int PanelAlpha() const { return alpha_; }
    const TutorialStep* Current() const;

    // Begins tutorial `number` at step 0; false (and nothing runs) for an unknown number.
    bool Start(int number);
    void End();
    // The board's question; `change` tells whether a step was shown or the tutorial ended.
    bool Allows(TutorialAction action, TCoord2 cell, TutorialChange& change);
    // A click: advances a click step once its panel is fully shown.
    TutorialChange Click();
    // One tick of level play: the panel fades in; a waiting step gives up after
    // TutorialWaitLimit ticks (Ended, with `why` saying so).
    TutorialChange Tick(std::string* why = nullptr);
    // The step has no panel to wait for (no text, or its text is missing): a click may
    // advance at once.
    void PanelMissing();

private:
    TutorialChange Show(int step);
    TutorialChange Advance();

    bool active_ = false;
    bool completed_ = false;
    int number_ = -1;
    int step_ = 0;
    bool ready_ = false;
    int alpha_ = 0;
    int waited_ = 0;
    // The release step that led into the current step, -1 when none: a release that the
    // board then could not carry out sends the tutorial back to the pick-up before it.
    int releasedFrom_ = -1;
};

// Help: the topics and pages a player's frontier opens.
inline constexpr int HelpTopicCount = 21;
inline constexpr std::array<int, HelpTopicCount> HelpTopicUnlock = {
    0, 0, 0, 1, 3, 5, 6, 6, 8, 9, 11, 12, 14, 18, 19, 21, 21, 23, 31, 36, 44};
// The highest topic available at `frontier` (the first unplayed level's index).
int HelpLastTopic(int frontier);
int HelpPageCount(int lastTopic);
// The topic in place `slot` (0..2) of page `page` (from 1), -1 when hidden.
int HelpTopicOnPage(int page, int slot, int lastTopic);

} // namespace bw
