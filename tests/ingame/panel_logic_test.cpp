// The state machines behind the level's panels and the result: slides, folds, the nest row,
// the result's buttons and stages.
#include "ingame/PanelLogic.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace bw {
namespace {

TEST(PanelLayout, NarrowWindowKeepsThePanelsInsideTheVisibleBand) {
    // A 4:3 window shows 1440 units from x 240.
    const PanelLayout narrow = ComputePanelLayout(1440, 240);
    EXPECT_EQ(narrow.BorderWidth, 1440);
    EXPECT_FLOAT_EQ(narrow.Left, 240);
    EXPECT_FLOAT_EQ(narrow.Right, 1680);
    // A wide window centres the 1920 band.
    const PanelLayout wide = ComputePanelLayout(2560, 0);
    EXPECT_EQ(wide.BorderWidth, 1920);
    EXPECT_FLOAT_EQ(wide.Left, 320);
    EXPECT_FLOAT_EQ(wide.Right, 1920);
}

TEST(TaskPanel, SlidesToTheEggWhileThePopupShowsAndOpensWhenItFolds) {
    TaskPanelMotion m;
    EXPECT_FALSE(m.Start(0, true));
    EXPECT_FLOAT_EQ(m.X, -400);
    for (int i = 0; i < 200 && m.Stage != taskpanel_Egg; ++i) m.Step();
    EXPECT_EQ(m.Stage, taskpanel_Egg);
    EXPECT_FLOAT_EQ(m.X, -220);
    EXPECT_FALSE(m.ShowsContent());
    EXPECT_TRUE(m.PopupFolded());
    for (int i = 0; i < 200 && m.Stage != taskpanel_Open; ++i) m.Step();
    EXPECT_EQ(m.Stage, taskpanel_Open);
    EXPECT_FLOAT_EQ(m.X, -80);
    EXPECT_TRUE(m.ShowsContent());
    // Without a pop-up the panel opens at once, with its sound.
    TaskPanelMotion direct;
    EXPECT_TRUE(direct.Start(100, false));
    EXPECT_EQ(direct.Stage, taskpanel_Opening);
}

TEST(TaskPanel, ADecisionClosesThePanelOnceWithOneSound) {
    TaskPanelMotion m;
    m.Start(0, false);
    for (int i = 0; i < 200; ++i) m.Step();
    EXPECT_FALSE(m.Judged(task_Open));
    EXPECT_TRUE(m.Judged(task_Failed));
    EXPECT_EQ(m.Stage, taskpanel_Closing);
    // Further judgements while closing or closed are silent.
    EXPECT_FALSE(m.Judged(task_Failed));
    for (int i = 0; i < 400; ++i) m.Step();
    EXPECT_EQ(m.Stage, taskpanel_Egg);
    EXPECT_FALSE(m.Judged(task_Failed));
    EXPECT_EQ(m.Status, task_Failed);
    // A decided task does not open again when the pop-up folds.
    EXPECT_FALSE(m.PopupFolded());
}

TEST(Popup, DropsFoldsToItsButtonAndOpensAgain) {
    PopupMotion p;
    p.Start(760, TPoint2{700, -10}, TPoint2{161, 1004});
    EXPECT_EQ(p.Step(), PopupEvent::CreateSound);
    EXPECT_TRUE(p.BlocksBoard());
    int ticks = 0;
    while (p.Status != popup_Shown && ticks < 2000) {
        p.Step();
        ++ticks;
    }
    ASSERT_EQ(p.Status, popup_Shown);
    EXPECT_FLOAT_EQ(p.Panel.y, 200);
    EXPECT_FLOAT_EQ(p.Button.y, 190);
    EXPECT_TRUE(p.FirstShowing);
    // A click on the board folds it.
    EXPECT_TRUE(p.BoardClick());
    EXPECT_FALSE(p.BlocksBoard());
    EXPECT_EQ(p.Step(), PopupEvent::CloseSound);
    PopupEvent e = PopupEvent::None;
    for (ticks = 0; e != PopupEvent::Folded && ticks < 500; ++ticks) {
        e = p.Step();
        EXPECT_GE(p.Scale, 0.0f);
        EXPECT_LE(p.Scale, 1.0f);
    }
    ASSERT_EQ(e, PopupEvent::Folded);
    EXPECT_EQ(p.Status, popup_Folded);
    EXPECT_FALSE(p.FirstShowing);
    EXPECT_FLOAT_EQ(p.Button.x, 161);
    EXPECT_FALSE(p.PanelVisible());
    // Folded, a board click does nothing; the button opens it again.
    EXPECT_FALSE(p.BoardClick());
    EXPECT_TRUE(p.ButtonClick());
    EXPECT_EQ(p.Step(), PopupEvent::OpenSound);
    for (ticks = 0; p.Status != popup_Shown && ticks < 500; ++ticks) p.Step();
    EXPECT_EQ(p.Status, popup_Shown);
    EXPECT_FLOAT_EQ(p.Scale, 1);
    EXPECT_FLOAT_EQ(p.Button.x, p.Panel.x + 700);
}

TEST(NestRow, DrawnRowsAndAnyLargerCount) {
    EXPECT_TRUE(NestPlaces(0).empty());
    const auto one = NestPlaces(1);
    ASSERT_EQ(one.size(), 1u);
    EXPECT_FLOAT_EQ(one[0].Pos.x, 930);
    const auto three = NestPlaces(3);
    EXPECT_EQ(three[2].ZOffset, -1);
    for (int n : {11, 20, 21, 57}) {
        const auto row = NestPlaces(n);
        ASSERT_EQ(static_cast<int>(row.size()), n);
        // Inside the ten-nest row's span, left to right, no two nests on one spot.
        EXPECT_GE(row.front().Pos.x, 654);
        EXPECT_LE(row.back().Pos.x, 1179);
        for (size_t i = 1; i < row.size(); ++i) EXPECT_GT(row[i].Pos.x, row[i - 1].Pos.x);
    }
}

TEST(ResultButtons, ContinueOnlyWhenThisWinOpenedTheNextLevel) {
    // The frontier level won for the first time.
    EXPECT_TRUE(ChooseResultButtons(true, 2, 2, 3, 10, false).Continue);
    // The same level won again later: the next level was open before.
    EXPECT_FALSE(ChooseResultButtons(true, 2, 3, 3, 10, false).Continue);
    // A level just below the frontier replayed.
    EXPECT_FALSE(ChooseResultButtons(true, 1, 2, 2, 10, false).Continue);
    // A win past the frontier (levels opened by the debug key) opens nothing new.
    EXPECT_FALSE(ChooseResultButtons(true, 5, 2, 2, 10, false).Continue);
    // The last level won for the first time, unless the game was completed before.
    EXPECT_TRUE(ChooseResultButtons(true, 9, 9, 10, 10, false).Continue);
    EXPECT_FALSE(ChooseResultButtons(true, 9, 9, 10, 10, true).Continue);
    // A loss never continues.
    EXPECT_FALSE(ChooseResultButtons(false, 2, 2, 3, 10, false).Continue);
    EXPECT_EQ(OpenLimit({2, 1, 0, 0}), 2);
    EXPECT_EQ(OpenLimit({2, 1}), 2);
}

std::vector<ResultEvent> RunUntil(ResultStages& r, int stage, int limit = 2000) {
    std::vector<ResultEvent> all;
    for (int i = 0; i < limit && r.Stage < stage; ++i) {
        auto e = r.Step();
        all.insert(all.end(), e.begin(), e.end());
    }
    return all;
}

bool Has(const std::vector<ResultEvent>& events, ResultEvent e) {
    return std::find(events.begin(), events.end(), e) != events.end();
}

TEST(ResultStages, TheScoreCountsUpInFiftyFrames) {
    ResultStages r;
    r.Start(true, false, true, 735, 0);
    RunUntil(r, 3);
    int frames = 0;
    while (r.Stage == 3) {
        r.Step();
        ++frames;
    }
    EXPECT_EQ(frames, 50);
    EXPECT_DOUBLE_EQ(r.ShownScore, 735);
    const auto rest = RunUntil(r, 14);
    EXPECT_TRUE(Has(rest, ResultEvent::TaskWinSound));
    EXPECT_TRUE(Has(rest, ResultEvent::EggEffect));
    EXPECT_TRUE(Has(rest, ResultEvent::ButtonsShown));
}

TEST(ResultStages, NoScoreSkipsTheCount) {
    ResultStages r;
    r.Start(true, false, false, 0, 0);
    RunUntil(r, 3);
    r.Step();
    EXPECT_EQ(r.Stage, 4);
}

TEST(ResultStages, ALossShowsNoTaskAndNoEgg) {
    ResultStages r;
    r.Start(false, false, true, 300, 0);
    EXPECT_FALSE(r.TaskCompleted);
    const auto all = RunUntil(r, 14);
    EXPECT_EQ(r.Stage, 14);
    for (ResultEvent e :
         {ResultEvent::EggEffect, ResultEvent::TaskWinSound, ResultEvent::TaskFailSound})
        EXPECT_FALSE(Has(all, e));
    ResultStages skipped;
    skipped.Start(false, false, false, 300, 0);
    RunUntil(skipped, 3);
    EXPECT_FALSE(Has(skipped.Skip(), ResultEvent::EggEffect));
}

TEST(ResultStages, AClickShowsEverythingAtOnce) {
    ResultStages r;
    r.Start(true, true, false, 1000, 3);
    RunUntil(r, 3);
    r.Step();
    const auto e = r.Skip();
    EXPECT_TRUE(Has(e, ResultEvent::StopSounds));
    EXPECT_TRUE(Has(e, ResultEvent::EggEffect));
    EXPECT_TRUE(Has(e, ResultEvent::ButtonsShown));
    EXPECT_DOUBLE_EQ(r.ShownScore, 1000);
    EXPECT_EQ(r.Counted, 3);
    EXPECT_TRUE(r.ButtonsVisible());
    EXPECT_TRUE(r.Skip().empty());
}

TEST(ResultStages, SavedNestlingsFlyInOneByOne) {
    ResultStages r;
    r.Start(true, true, true, 100, 2);
    int launched = 0;
    for (int i = 0; i < 3000 && r.Stage < 14; ++i) {
        for (ResultEvent e : r.Step()) {
            if (e != ResultEvent::LaunchNestling) continue;
            ++launched;
            r.NestlingArrived();
        }
    }
    EXPECT_EQ(launched, 2);
    EXPECT_EQ(r.Counted, 2);
    EXPECT_EQ(r.Stage, 14);
}

} // namespace
} // namespace bw
