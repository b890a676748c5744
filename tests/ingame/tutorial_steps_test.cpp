// The tutorial's state machine and the help's page arithmetic, without a game around them.
#include "ingame/TutorialSteps.h"

#include <gtest/gtest.h>

namespace bw {
namespace {

TutorialChange Ask(TutorialMachine& m, TutorialAction a, TCoord2 c, bool* allowed = nullptr) {
    TutorialChange change = TutorialChange::None;
    const bool ok = m.Allows(a, c, change);
    if (allowed) *allowed = ok;
    return change;
}

void TickUntilReady(TutorialMachine& m) {
    for (int i = 0; i < 40 && !m.Ready(); ++i) m.Tick();
}

TEST(HelpPages, TheFrontierDecidesTopicsPagesAndTheHiddenPlaces) {
    EXPECT_EQ(HelpLastTopic(0), 2);
    EXPECT_EQ(HelpPageCount(HelpLastTopic(0)), 1);
    EXPECT_EQ(HelpTopicOnPage(1, 0, 2), 0);
    EXPECT_EQ(HelpTopicOnPage(1, 2, 2), 2);
    EXPECT_EQ(HelpLastTopic(44), 20);
    EXPECT_EQ(HelpPageCount(20), 7);
    EXPECT_EQ(HelpTopicOnPage(7, 0, 20), 18);
    EXPECT_EQ(HelpTopicOnPage(7, 2, 20), 20);
    // Level 2's player has met cats: topic 3 alone on a second page.
    EXPECT_EQ(HelpLastTopic(1), 3);
    EXPECT_EQ(HelpPageCount(3), 2);
    EXPECT_EQ(HelpTopicOnPage(2, 0, 3), 3);
    EXPECT_EQ(HelpTopicOnPage(2, 1, 3), -1);
    // Topics 15 and 16 open together at 21.
    EXPECT_EQ(HelpLastTopic(20), 14);
    EXPECT_EQ(HelpLastTopic(21), 16);
}

TEST(TutorialMachine, LockedStepsRefuseTheBoardAndAClickWaitsForThePanel) {
    TutorialMachine m;
    ASSERT_TRUE(m.Start(0));
    bool allowed = true;
    Ask(m, TutorialAction::BoardInput, {8, 3}, &allowed);
    EXPECT_FALSE(allowed);
    EXPECT_EQ(m.Click(), TutorialChange::None) << "the panel has not faded in";
    for (int i = 0; i < 25; ++i) m.Tick();
    EXPECT_FALSE(m.Ready()) << "alpha 250 after 25 ticks";
    m.Tick();
    EXPECT_TRUE(m.Ready());
    EXPECT_EQ(m.PanelAlpha(), 255);
    EXPECT_EQ(m.Click(), TutorialChange::Shown);
    EXPECT_EQ(m.Step(), 1);
    EXPECT_FALSE(m.Ready()) << "showing a step clears the readiness";
    // A click on a step that waits for a move does nothing.
    TickUntilReady(m);
    EXPECT_EQ(m.Click(), TutorialChange::None);
}

TEST(TutorialMachine, TheFirstMoveOfTheOpeningTutorialWithAWrongReleaseOnTheWay) {
    TutorialMachine m;
    m.Start(0);
    TickUntilReady(m);
    m.Click();
    bool allowed = true;
    Ask(m, TutorialAction::BoardInput, {7, 5}, &allowed);
    EXPECT_TRUE(allowed);
    Ask(m, TutorialAction::PickUp, {7, 5}, &allowed);
    EXPECT_FALSE(allowed);
    EXPECT_EQ(m.Step(), 1);
    EXPECT_EQ(Ask(m, TutorialAction::PickUp, {8, 3}, &allowed), TutorialChange::Shown);
    EXPECT_TRUE(allowed);
    EXPECT_EQ(m.Step(), 2);
    // Anywhere but (6, 3): refused, and step 1 again.
    EXPECT_EQ(Ask(m, TutorialAction::Release, {5, 5}, &allowed), TutorialChange::Shown);
    EXPECT_FALSE(allowed);
    EXPECT_EQ(m.Step(), 1);
    Ask(m, TutorialAction::PickUp, {8, 3});
    // A release off the board counts as elsewhere.
    Ask(m, TutorialAction::Release, NoCell, &allowed);
    EXPECT_EQ(m.Step(), 1);
    Ask(m, TutorialAction::PickUp, {8, 3});
    EXPECT_EQ(Ask(m, TutorialAction::Release, {6, 3}, &allowed), TutorialChange::Shown);
    EXPECT_TRUE(allowed);
    EXPECT_EQ(m.Step(), 3);
    Ask(m, TutorialAction::PickUp, {1, 1}, &allowed);
    Ask(m, TutorialAction::BoardInput, {1, 1}, &allowed);
    EXPECT_FALSE(allowed) << "locked while the bird flies";
    Ask(m, TutorialAction::CatCaught, {1, 1});
    EXPECT_EQ(m.Step(), 3) << "only the arrival leads on";
    EXPECT_EQ(Ask(m, TutorialAction::Arrived, {6, 3}), TutorialChange::Shown);
    EXPECT_EQ(m.Step(), 4);
}

TEST(TutorialMachine, AReleaseTheBoardCouldNotCarryOutGoesBackToThePickUp) {
    // The cell was right but the board found no way there: it says the release went nowhere.
    TutorialMachine m;
    m.Start(2);
    TickUntilReady(m);
    m.Click();
    Ask(m, TutorialAction::PickUp, {10, 5});
    Ask(m, TutorialAction::Release, {11, 4});
    ASSERT_EQ(m.Step(), 3);
    EXPECT_EQ(Ask(m, TutorialAction::Release, NoCell), TutorialChange::Shown);
    EXPECT_EQ(m.Step(), 1);
    // Once the bird is on its way, later releases elsewhere change nothing.
    Ask(m, TutorialAction::PickUp, {10, 5});
    Ask(m, TutorialAction::Release, {11, 4});
    Ask(m, TutorialAction::Arrived, {11, 4});
    EXPECT_EQ(m.Step(), 4);
    EXPECT_EQ(Ask(m, TutorialAction::Release, NoCell), TutorialChange::None);
}

TEST(TutorialMachine, TheBossTutorialTakesEitherBossCellAndTheLastStepEndsIt) {
    TutorialMachine m;
    m.Start(5);
    TickUntilReady(m);
    m.Click();
    Ask(m, TutorialAction::PickUp, {9, 6});
    bool allowed = false;
    Ask(m, TutorialAction::Release, {15, 3}, &allowed);
    EXPECT_TRUE(allowed);
    Ask(m, TutorialAction::Arrived, {15, 3});
    TickUntilReady(m);
    EXPECT_EQ(m.Click(), TutorialChange::Ended);
    EXPECT_FALSE(m.Active());
    EXPECT_TRUE(m.Completed());
    Ask(m, TutorialAction::BoardInput, {1, 1}, &allowed);
    EXPECT_TRUE(allowed);
}

TEST(TutorialMachine, AWaitThatNeverEndsGivesUpAndFreesTheBoard) {
    TutorialMachine m;
    m.Start(1);
    TickUntilReady(m);
    m.Click();
    Ask(m, TutorialAction::PickUp, {12, 5});
    Ask(m, TutorialAction::Release, {14, 3});
    Ask(m, TutorialAction::Arrived, {14, 3});
    ASSERT_EQ(m.Step(), 3) << "waits for a caught cat, not the arrival";
    std::string why;
    TutorialChange last = TutorialChange::None;
    for (int i = 0; i <= TutorialWaitLimit && last == TutorialChange::None; ++i)
        last = m.Tick(&why);
    EXPECT_EQ(last, TutorialChange::Ended);
    EXPECT_FALSE(m.Completed());
    EXPECT_NE(why.find("step 3"), std::string::npos) << why;
}

TEST(TutorialMachine, EveryTutorialBelongsToItsLevelAndUnknownOnesDoNotStart) {
    EXPECT_EQ(TutorialOfLevel(0), 0);
    EXPECT_EQ(TutorialOfLevel(23), 5);
    EXPECT_EQ(TutorialOfLevel(36), 7);
    EXPECT_EQ(TutorialOfLevel(2), -1);
    TutorialMachine m;
    EXPECT_FALSE(m.Start(8));
    EXPECT_FALSE(m.Active());
    // Text-only tutorials end at their click.
    ASSERT_TRUE(m.Start(7));
    EXPECT_EQ(m.Current()->Arrows.size(), 4u);
    TickUntilReady(m);
    EXPECT_EQ(m.Click(), TutorialChange::Ended);
}

} // namespace
} // namespace bw
