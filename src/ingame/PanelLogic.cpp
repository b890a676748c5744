#include "ingame/PanelLogic.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace bw {

PanelLayout ComputePanelLayout(int visibleWidth, float worldOffsetX) {
    PanelLayout layout;
    const int v = std::max(visibleWidth, 1);
    layout.BorderWidth = std::min(v, 1920);
    layout.Left = worldOffsetX + static_cast<float>(std::max(0, (v - 1920) / 2));
    layout.Right = static_cast<float>(layout.BorderWidth + std::max(0, (1920 - v) / 2));
    return layout;
}

// ---- Task panel ----

bool TaskPanelMotion::Start(float left, bool popupShown) {
    X = left - 400;
    EggX = left - 220;
    FullX = left - 80;
    Status = task_Open;
    Stage = popupShown ? taskpanel_SlideToEgg : taskpanel_Opening;
    return !popupShown;
}

void TaskPanelMotion::Step() {
    switch (Stage) {
    case taskpanel_SlideToEgg:
        X += (EggX - X) / 15 + 1;
        if (X >= EggX) {
            X = EggX;
            Stage = taskpanel_Egg;
        }
        break;
    case taskpanel_Opening:
        X += (FullX - X) / 15 + 1;
        if (X >= FullX) {
            X = FullX;
            Stage = taskpanel_Open;
        }
        break;
    case taskpanel_Closing:
        X -= (X - EggX) / 50 + 1;
        if (X <= EggX) {
            X = EggX;
            Stage = taskpanel_Egg;
        }
        break;
    default:
        break;
    }
}

bool TaskPanelMotion::Judged(TaskStatus status) {
    if (status == task_Open) return false;
    Status = status;
    if (Stage == taskpanel_Egg || Stage == taskpanel_Closing || Stage == taskpanel_Hidden)
        return false;
    Stage = taskpanel_Closing;
    return true;
}

bool TaskPanelMotion::PopupFolded() {
    if (Status != task_Open) return false;
    if (Stage != taskpanel_Egg && Stage != taskpanel_SlideToEgg) return false;
    Stage = taskpanel_Opening;
    return true;
}

bool TaskPanelMotion::ShowsContent() const {
    return Stage == taskpanel_Open || Stage == taskpanel_Opening || Stage == taskpanel_Closing;
}

// ---- Pop-up ----

namespace {

float Distance(TPoint2 a, TPoint2 b) {
    return std::hypot(b.x - a.x, b.y - a.y);
}

// Moves `pos` by `speed` towards `target`; true on arrival.
bool MoveTowards(TPoint2& pos, TPoint2 target, float speed) {
    const float d = Distance(pos, target);
    if (d <= speed || d < 0.01f) {
        pos = target;
        return true;
    }
    pos.x += (target.x - pos.x) / d * speed;
    pos.y += (target.y - pos.y) / d * speed;
    return false;
}

} // namespace

void PopupMotion::Start(float width, TPoint2 buttonOffset, TPoint2 foldPlace) {
    Status = popup_Create;
    FirstShowing = true;
    Panel = TPoint2{960 - width / 2, -500};
    ButtonOffset = buttonOffset;
    Button = TPoint2{Panel.x + buttonOffset.x, Panel.y + buttonOffset.y};
    FoldPlace = foldPlace;
    Scale = 1;
}

PopupEvent PopupMotion::Step() {
    const TPoint2 home{Panel.x + ButtonOffset.x, Panel.y + ButtonOffset.y};
    switch (Status) {
    case popup_Create:
        Status = popup_Drop;
        return PopupEvent::CreateSound;
    case popup_Drop: {
        const float speed = 1.25f * ((150 - Panel.y) * 0.1f + 1.5f);
        Panel.y += speed;
        if (Panel.y >= 150) {
            Panel.y = 150;
            Status = popup_Settle;
        }
        break;
    }
    case popup_Settle: {
        const float speed = 1.25f * ((200 - Panel.y) * 0.025f + 0.05f);
        Panel.y += speed;
        if (Panel.y >= 200) {
            Panel.y = 200;
            Status = popup_Shown;
        }
        break;
    }
    case popup_Fold:
        if (TimeCounter > 0) {
            TimeCounter -= 1;
            break;
        }
        StartDistance = std::max(Distance(Button, FoldPlace), 1.0f);
        Status = popup_Folding;
        return PopupEvent::CloseSound;
    case popup_Folding: {
        const float speed = 1.25f * (Distance(Button, FoldPlace) * 0.1f + 0.5f);
        const bool arrived = MoveTowards(Button, FoldPlace, speed);
        Scale = std::clamp(Distance(Button, FoldPlace) / StartDistance, 0.0f, 1.0f);
        if (arrived) {
            Scale = 0;
            FirstShowing = false;
            Status = popup_Folded;
            return PopupEvent::Folded;
        }
        break;
    }
    case popup_Unfold:
        StartDistance = std::max(Distance(Button, home), 1.0f);
        Status = popup_Unfolding;
        return PopupEvent::OpenSound;
    case popup_Unfolding: {
        const float speed = 1.25f * (Distance(Button, home) * 0.1f + 0.5f);
        const bool arrived = MoveTowards(Button, home, speed);
        Scale = std::clamp(1 - Distance(Button, home) / StartDistance, 0.0f, 1.0f);
        if (arrived) {
            Scale = 1;
            Status = popup_Shown;
        }
        break;
    }
    default:
        break;
    }
    // While attached, the button rides on the panel.
    if (Status == popup_Drop || Status == popup_Settle || Status == popup_Shown)
        Button = TPoint2{Panel.x + ButtonOffset.x, Panel.y + ButtonOffset.y};
    return PopupEvent::None;
}

bool PopupMotion::ButtonClick() {
    if (Status == popup_Folded) {
        Status = popup_Unfold;
        return true;
    }
    return BoardClick();
}

bool PopupMotion::BoardClick() {
    if (Status != popup_Drop && Status != popup_Settle && Status != popup_Shown) return false;
    Status = popup_Fold;
    TimeCounter = 0;
    return true;
}

bool PopupMotion::BlocksBoard() const {
    return Status == popup_Drop || Status == popup_Settle || Status == popup_Unfolding ||
           Status == popup_Shown;
}

bool PopupMotion::PanelVisible() const {
    return Status != popup_Folded && Status != popup_Unfold;
}

// ---- Nest row ----

namespace {

struct LayoutEntry {
    int x, y, z;
};

// Rows for 1..10 nests.
constexpr std::array<std::array<LayoutEntry, 10>, 10> NestTable{{
    {{{930, 1025, 0}}},
    {{{880, 1025, 0}, {935, 1024, 0}}},
    {{{874, 1029, 0}, {930, 1025, 0}, {986, 1029, -1}}},
    {{{824, 1032, 0}, {880, 1025, 0}, {940, 1028, 0}, {997, 1031, -1}}},
    {{{817, 1028, 1}, {874, 1029, 0}, {930, 1025, 0}, {986, 1029, 0}, {1044, 1027, 0}}},
    {{{765, 1030, 0},
      {824, 1032, 0},
      {880, 1025, 0},
      {940, 1028, 0},
      {997, 1031, 0},
      {1058, 1027, 0}}},
    {{{761, 1033, 0},
      {817, 1028, 0},
      {874, 1029, 0},
      {930, 1025, 0},
      {986, 1029, 0},
      {1044, 1027, 0},
      {1101, 1031, 0}}},
    {{{709, 1033, 0},
      {765, 1030, 0},
      {824, 1032, 0},
      {880, 1025, 0},
      {940, 1028, 0},
      {997, 1031, 0},
      {1058, 1027, 0},
      {1117, 1031, -1}}},
    {{{703, 1030, 1},
      {761, 1033, 0},
      {817, 1028, 0},
      {874, 1029, 0},
      {930, 1025, 0},
      {986, 1029, 0},
      {1044, 1027, 0},
      {1101, 1031, 0},
      {1160, 1027, 0}}},
    {{{654, 1029, 0},
      {709, 1033, 0},
      {765, 1030, 0},
      {824, 1032, 0},
      {880, 1025, 0},
      {940, 1028, 0},
      {997, 1031, 0},
      {1058, 1027, 0},
      {1117, 1031, 0},
      {1179, 1027, 0}}},
}};

} // namespace

std::vector<NestPlace> NestPlaces(int count) {
    std::vector<NestPlace> places;
    if (count <= 0) return places;
    if (count <= 10) {
        const auto& row = NestTable[static_cast<size_t>(count - 1)];
        for (int i = 0; i < count; ++i) {
            const LayoutEntry& e = row[static_cast<size_t>(i)];
            places.push_back({TPoint2{static_cast<float>(e.x), static_cast<float>(e.y)}, e.z});
        }
        return places;
    }
    // More than the drawn rows hold: the span of the ten-nest row, shared evenly; every other
    // nest a little lower and behind its neighbours, as in the drawn rows.
    constexpr float first = 654, last = 1179;
    const float step = (last - first) / static_cast<float>(count - 1);
    for (int i = 0; i < count; ++i)
        places.push_back({TPoint2{std::round(first + step * static_cast<float>(i)),
                                  i % 2 == 0 ? 1029.0f : 1033.0f},
                          i % 2 == 0 ? 0 : -1});
    return places;
}

// ---- Result ----

int OpenLimit(const std::vector<int32_t>& levelStates) {
    for (size_t i = 0; i < levelStates.size(); ++i)
        if (levelStates[i] == 0) return static_cast<int>(i);
    return static_cast<int>(levelStates.size());
}

ResultButtons ChooseResultButtons(bool won, int levelIndex, int limitBefore, int limitAfter,
                                  int levelCount, bool gameWasCompleted) {
    ResultButtons buttons;
    if (!won || gameWasCompleted || levelIndex < 0 || levelIndex >= levelCount) return buttons;
    // The next level (or, after the last level, the end of the list) counts as open once every
    // level up to this one is won.
    const int next = levelIndex + 1;
    buttons.Continue = limitBefore < next && limitAfter >= next;
    return buttons;
}

void ResultStages::Start(bool won, bool nestlingMission, bool taskCompleted, int32_t levelScore,
                         int savedNestlings) {
    *this = ResultStages{};
    Won = won;
    NestlingMission = nestlingMission;
    TaskCompleted = won && taskCompleted;
    LevelScore = std::max(levelScore, 0);
    ScoreStep = LevelScore / 50.0;
    NestsLeft = nestlingMission ? std::max(savedNestlings, 0) : 0;
}

bool ResultStages::Waited() {
    TimeCounter -= 0.1;
    if (TimeCounter > 1e-6) return false;
    TimeCounter = 0;
    return true;
}

bool ResultStages::EasedWait() {
    TimeCounter -= 0.1 - 0.09 * TimeCounter;
    if (TimeCounter > 1e-6) return false;
    TimeCounter = 0;
    return true;
}

std::vector<ResultEvent> ResultStages::Step() {
    std::vector<ResultEvent> events;
    switch (Stage) {
    case 1:
        if (Waited()) Stage = 2;
        break;
    case 2:
        events = {ResultEvent::ScoreLoopStart, ResultEvent::StringSound};
        Stage = 3;
        break;
    case 3:
        ShownScore += ScoreStep;
        if (LevelScore <= 0 || ShownScore >= LevelScore - 1e-6) {
            ShownScore = LevelScore;
            events = {ResultEvent::ScoreLoopStop};
            TimeCounter = 2;
            Stage = 4;
        }
        break;
    case 4:
        if (Waited()) {
            events = {ResultEvent::StringSound};
            TimeCounter = 1;
            Stage = 5;
        }
        break;
    case 5:
        if (!Waited()) break;
        if (NestlingMission && NestsLeft > 0) {
            --NestsLeft;
            ++Flying;
            events = {ResultEvent::LaunchNestling};
            TimeCounter = 1;
        } else if (NestlingMission) {
            Stage = 6;
        } else if (Won) {
            Stage = 7;
        } else {
            // A lost level has no task to tell: straight to the game-over text.
            TimeCounter = 1;
            Stage = 13;
        }
        break;
    case 6:
        if (Flying > 0) break;
        TimeCounter = Won ? 2 : 1;
        Stage = Won ? 7 : 13;
        break;
    case 7:
        if (Waited()) Stage = 8;
        break;
    case 8:
        events = {TaskCompleted ? ResultEvent::TaskWinSound : ResultEvent::TaskFailSound,
                  ResultEvent::StringSound};
        TimeCounter = 1;
        Stage = 9;
        break;
    case 9:
        if (EasedWait()) Stage = 10;
        break;
    case 10:
        events = {ResultEvent::StringSound};
        TimeCounter = 1;
        Stage = 11;
        break;
    case 11:
        if (EasedWait()) Stage = 12;
        break;
    case 12:
        if (!EggEffectRunning) {
            EggEffectRunning = true;
            events = {ResultEvent::EggEffect};
        }
        TimeCounter = 2;
        Stage = 13;
        break;
    case 13:
        if (Waited()) {
            Stage = 14;
            events = {ResultEvent::ButtonsShown};
        }
        break;
    default:
        break;
    }
    return events;
}

std::vector<ResultEvent> ResultStages::Skip() {
    std::vector<ResultEvent> events;
    if (Stage >= 14) return events;
    events.push_back(ResultEvent::StopSounds);
    ShownScore = LevelScore;
    Counted += NestsLeft;
    NestsLeft = 0;
    if (Won && !EggEffectRunning) {
        EggEffectRunning = true;
        events.push_back(ResultEvent::EggEffect);
    }
    Stage = 14;
    events.push_back(ResultEvent::ButtonsShown);
    return events;
}

void ResultStages::NestlingArrived() {
    if (Flying > 0) --Flying;
    ++Counted;
}

} // namespace bw
