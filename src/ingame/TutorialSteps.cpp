#include "ingame/TutorialSteps.h"

#include <algorithm>

namespace bw {

namespace {

using R = TutorialRule;
using L = TutorialLeave;

TutorialArrow Arrow(int kind, float x, float y, int mx, int my) {
    return TutorialArrow{kind, TPoint2{x, y}, TCoord2{mx, my}};
}

TutorialStep Say(int text, int z = TutorialPanelZ, std::vector<TutorialArrow> arrows = {}) {
    TutorialStep s;
    s.Arrows = std::move(arrows);
    s.Text = text;
    s.PanelZ = z;
    return s;
}

TutorialStep PickUp(TutorialArrow arrow, int text, int mx, int my) {
    TutorialStep s;
    s.Arrows = {arrow};
    s.Text = text;
    s.Rule = R::PickUpOnly;
    s.Cells = {TCoord2{mx, my}};
    s.Leave = L::PickUp;
    return s;
}

TutorialStep Release(TutorialArrow arrow, int text, std::vector<TCoord2> cells,
                     int z = TutorialPanelZ) {
    TutorialStep s;
    s.Arrows = {arrow};
    s.Text = text;
    s.PanelZ = z;
    s.Rule = R::ReleaseOnly;
    s.Cells = std::move(cells);
    s.Leave = L::Release;
    return s;
}

TutorialStep Await(TutorialLeave what) {
    TutorialStep s;
    s.Leave = what;
    return s;
}

const std::array<std::vector<TutorialStep>, TutorialCount>& Table() {
    static const std::array<std::vector<TutorialStep>, TutorialCount> table = {{
        // 0, level 1: a match, then a key onto a nestling.
        {Say(0), PickUp(Arrow(3, 928, 290, 8, 3), 1, 8, 3),
         Release(Arrow(3, 786, 322, 6, 3), 2, {{6, 3}}), Await(L::Arrival), Say(3),
         PickUp(Arrow(3, 856, 444, 7, 5), 4, 7, 5), Release(Arrow(3, 640, 425, 4, 4), 5, {{4, 4}}),
         Await(L::Arrival), Say(6)},
        // 1, level 2: a cat caught.
        {Say(0, TutorialPanelZ,
             {Arrow(3, 1431, 372, 15, 3), Arrow(3, 644, 270, 4, 2), Arrow(3, 434, 665, 1, 7)}),
         PickUp(Arrow(3, 1222, 475, 12, 5), 1, 12, 5),
         Release(Arrow(3, 1362, 373, 14, 3), 2, {{14, 3}}), Await(L::CatCaught), Say(3)},
        // 2, level 4: one-way cells.
        {Say(0), PickUp(Arrow(3, 1161, 486, 10, 5), 1, 10, 5),
         Release(Arrow(2, 1246, 410, 11, 4), 2, {{11, 4}}), Await(L::Arrival),
         Say(3, TutorialPanelHighZ)},
        // 3, level 7: a crow moved out of the way.
        {Say(0), PickUp(Arrow(2, 1242, 160, 11, 1), 1, 11, 1),
         Release(Arrow(3, 747, 243, 5, 2), 2, {{5, 2}}, TutorialPanelHighZ), Await(L::Arrival),
         Say(3)},
        // 4, level 9: a bomb set off.
        {Say(0, TutorialPanelZ, {Arrow(3, 663, 210, 4, 2)}),
         PickUp(Arrow(2, 991, 211, 8, 2), 1, 8, 2),
         Release(Arrow(3, 745, 214, 5, 2), 2, {{5, 2}}, TutorialPanelHighZ), Await(L::Arrival)},
        // 5, level 24: a hamburger for the boss.
        {Say(0, TutorialPanelHighZ, {Arrow(2, 1345, 256, 14, 3), Arrow(4, 1413, 256, 15, 3)}),
         PickUp(Arrow(3, 993, 489, 9, 6), 1, 9, 6),
         Release(Arrow(3, 1370, 256, 14, 3), 2, {{14, 3}, {15, 3}}), Await(L::Arrival), Say(3)},
        // 6, level 32: combos, text only.
        {Say(0)},
        // 7, level 37: jumping cats.
        {Say(0, TutorialPanelZ,
             {Arrow(4, 511, 235, 2, 2), Arrow(4, 511, 402, 2, 4), Arrow(4, 511, 565, 2, 6),
              Arrow(4, 511, 730, 2, 8)})},
    }};
    return table;
}

bool Holds(const std::vector<TCoord2>& cells, TCoord2 c) {
    return std::find(cells.begin(), cells.end(), c) != cells.end();
}

} // namespace

const std::vector<TutorialStep>& TutorialSteps(int number) {
    static const std::vector<TutorialStep> none;
    if (number < 0 || number >= TutorialCount) return none;
    return Table()[static_cast<size_t>(number)];
}

int TutorialOfLevel(int levelIndex) {
    constexpr std::array<int, TutorialCount> levels = {0, 1, 3, 6, 8, 23, 31, 36};
    for (int t = 0; t < TutorialCount; ++t)
        if (levels[static_cast<size_t>(t)] == levelIndex) return t;
    return -1;
}

const TutorialStep* TutorialMachine::Current() const {
    if (!active_) return nullptr;
    const auto& steps = TutorialSteps(number_);
    if (step_ < 0 || step_ >= static_cast<int>(steps.size())) return nullptr;
    return &steps[static_cast<size_t>(step_)];
}

bool TutorialMachine::Start(int number) {
    End();
    completed_ = false;
    if (TutorialSteps(number).empty()) return false;
    active_ = true;
    number_ = number;
    Show(0);
    return true;
}

void TutorialMachine::End() {
    active_ = false;
    ready_ = false;
    alpha_ = 0;
    waited_ = 0;
    releasedFrom_ = -1;
}

TutorialChange TutorialMachine::Show(int step) {
    step_ = step;
    ready_ = false;
    alpha_ = 0;
    waited_ = 0;
    releasedFrom_ = -1;
    // A step without a panel has nothing to wait for.
    if (const TutorialStep* s = Current(); s && s->Text < 0) ready_ = true;
    return TutorialChange::Shown;
}

TutorialChange TutorialMachine::Advance() {
    if (step_ + 1 >= static_cast<int>(TutorialSteps(number_).size())) {
        End();
        completed_ = true;
        return TutorialChange::Ended;
    }
    return Show(step_ + 1);
}

bool TutorialMachine::Allows(TutorialAction action, TCoord2 cell, TutorialChange& change) {
    change = TutorialChange::None;
    const TutorialStep* s = Current();
    if (!s) return true;
    switch (action) {
    case TutorialAction::BoardInput:
        return s->Rule != R::Locked;
    case TutorialAction::PickUp:
        if (s->Rule != R::PickUpOnly) return true;
        if (!Holds(s->Cells, cell)) return false;
        if (s->Leave == L::PickUp) change = Advance();
        return true;
    case TutorialAction::Release:
        if (s->Rule == R::ReleaseOnly) {
            if (!Holds(s->Cells, cell)) {
                // Wrong place: the drag is put back and the pick-up is asked for again.
                if (step_ > 0) change = Show(step_ - 1);
                return false;
            }
            if (s->Leave == L::Release) {
                const int from = step_;
                change = Advance();
                if (change == TutorialChange::Shown) releasedFrom_ = from;
            }
            return true;
        }
        // The accepted release went nowhere after all (no path, an occupied cell): back to
        // the pick-up before it instead of waiting for an arrival that cannot come.
        if (cell == NoCell && releasedFrom_ > 0) {
            change = Show(releasedFrom_ - 1);
            return true;
        }
        return true;
    case TutorialAction::Arrived:
        if (s->Leave == L::Arrival) change = Advance();
        return true;
    case TutorialAction::CatCaught:
        if (s->Leave == L::CatCaught) change = Advance();
        return true;
    }
    return true;
}

TutorialChange TutorialMachine::Click() {
    const TutorialStep* s = Current();
    if (!s || !ready_ || s->Leave != L::Click) return TutorialChange::None;
    return Advance();
}

TutorialChange TutorialMachine::Tick(std::string* why) {
    const TutorialStep* s = Current();
    if (!s) return TutorialChange::None;
    if (!ready_) {
        alpha_ = std::min(255, alpha_ + TutorialPanelFadeStep);
        if (alpha_ >= 255) ready_ = true;
    }
    if (s->Leave == L::Arrival || s->Leave == L::CatCaught) {
        if (++waited_ > TutorialWaitLimit) {
            if (why)
                *why = "Tutorial " + std::to_string(number_) + " step " + std::to_string(step_) +
                       ": the move did not bring " +
                       (s->Leave == L::Arrival ? "its arrival" : "a caught cat") +
                       "; the tutorial ends";
            End();
            return TutorialChange::Ended;
        }
    }
    return TutorialChange::None;
}

void TutorialMachine::PanelMissing() {
    ready_ = true;
    alpha_ = 255;
}

int HelpLastTopic(int frontier) {
    int last = 0;
    for (int i = 0; i < HelpTopicCount; ++i)
        if (frontier >= HelpTopicUnlock[static_cast<size_t>(i)]) last = i;
    return last;
}

int HelpPageCount(int lastTopic) {
    return lastTopic <= 2 ? 1 : lastTopic / 3 + 1;
}

int HelpTopicOnPage(int page, int slot, int lastTopic) {
    const int topic = 3 * (page - 1) + slot;
    return topic >= 0 && topic <= lastTopic ? topic : -1;
}

} // namespace bw
