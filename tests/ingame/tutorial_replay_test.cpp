// The tutorial and the help screen in the running game. Every tutorial whose level is built is
// followed on that level with real clicks and drags, step by step to its end; a step that
// cannot be done fails with its name. Around it: the tutorial option off, a tutorial whose
// texts are missing, and the help pages a player's progress opens.
#include "base/GameOptions.h"
#include "base/GameState.h"
#include "base/Player.h"
#include "board/Board.h"
#include "board/BoardSprites.h"
#include "board/LevelData.h"
#include "data/TextDatabase.h"
#include "ingame/Help.h"
#include "ingame/LevelResult.h"
#include "ingame/Tutorial.h"
#include "ingame/TutorialSteps.h"
#include "platform/Files.h"
#include "replay/Replay.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

namespace bw {
namespace {

const std::string kData = std::string(BW_TEST_BINARY_DIR) + "/Data";

std::vector<ReplayEvent> Lines(const std::string& text) {
    std::vector<ReplayEvent> events;
    std::string error;
    EXPECT_TRUE(ParseReplayScript(text, events, error)) << error;
    return events;
}

std::string Cell(TCoord2 c) {
    return std::to_string(c.x) + " " + std::to_string(c.y);
}

// Follows the running tutorial as a player reading it would: clicks a panel away once it is
// fully shown, makes the move a pick-up step and its release step ask for, waits for what a
// waiting step waits for. Whatever cannot be done is written to `failure`, naming the step.
class TutorialFollower {
public:
    explicit TutorialFollower(int number) : number_(number) {}

    std::vector<ReplayEvent> Next(uint64_t tick) {
        const TutorialMachine& t = TutorialState();
        if (!started_) {
            if (t.Active()) {
                started_ = true;
            } else {
                // The mission pop-up folds at a click on the board; the tutorial starts then.
                if (tick > 900) Fail("the tutorial never started");
                return tick % 40 == 0 ? Lines("+0 move 960 60\n+1 click\n")
                                      : std::vector<ReplayEvent>{};
            }
        }
        if (!t.Active()) {
            done_ = true;
            return {};
        }
        if (t.Number() != number_) Fail("tutorial " + std::to_string(t.Number()) + " runs");
        const std::vector<TutorialStep>& steps = TutorialSteps(number_);
        const int step = t.Step();
        if (step != lastStep_) {
            lastStep_ = step;
            since_ = tick;
            if (step <= highest_ && highest_ >= 0 && !done_)
                Fail(Name(highest_) + " could not be done: the tutorial went back to step " +
                     std::to_string(step));
            highest_ = std::max(highest_, step);
        }
        const TutorialStep& s = steps[static_cast<size_t>(step)];
        if (tick - since_ > 1200) Fail(Name(step) + " never ended");
        CheckArrows(step);
        switch (s.Leave) {
        case TutorialLeave::Click:
            return t.Ready() ? Lines("+0 move 960 60\n+1 click\n") : std::vector<ReplayEvent>{};
        case TutorialLeave::PickUp: {
            const TutorialStep& release = steps[static_cast<size_t>(step + 1)];
            if (s.Cells.empty() || release.Cells.empty()) Fail(Name(step) + " has no cells");
            if (tick - since_ < 5) return {};
            return Lines("+0 drag " + Cell(s.Cells.front()) + " " + Cell(release.Cells.front()) +
                         "\n+2 move 960 60\n");
        }
        case TutorialLeave::Release:
            Fail(Name(step) + ": the bird was picked up but the drag did not end on the cell");
            return {};
        default:
            return {};
        }
    }

    bool Done() const { return done_ || !failure.empty(); }
    std::string failure;

private:
    std::string Name(int step) const {
        return "tutorial " + std::to_string(number_) + " step " + std::to_string(step);
    }
    void Fail(const std::string& why) {
        if (failure.empty()) failure = why;
    }
    // A player presses what the arrow points at: its point lies on the cell it marks, and no
    // arrow points at a cell the board does not have.
    void CheckArrows(int step) {
        for (const TTutorialArrowSpite* arrow : TutorialArrowSprites()) {
            const int mx = arrow->FMarkObject.x, my = arrow->FMarkObject.y;
            if (mx < 0 || my < 0) continue;
            const TLevelSprite* cell = BoardCells[static_cast<size_t>(mx)][static_cast<size_t>(my)];
            if (!cell) {
                Fail(Name(step) + ": an arrow marks " + Cell({mx, my}) + ", which the board lacks");
                continue;
            }
            const float w = static_cast<float>(arrow->GetImageWidth());
            const float h = static_cast<float>(arrow->GetImageHeight());
            TPoint2 tip{arrow->FStartPos.x + w / 2, arrow->FStartPos.y + h};
            if (arrow->FKind == 2) tip = {arrow->FStartPos.x + w, arrow->FStartPos.y + h / 2};
            if (arrow->FKind == 4) tip = {arrow->FStartPos.x, arrow->FStartPos.y + h / 2};
            const float dx = std::fabs(tip.x - cell->FCenter.x);
            const float dy = std::fabs(tip.y - cell->FCenter.y);
            if (dx > cell->GetImageWidth() / 2.0f || dy > cell->GetImageHeight() / 2.0f)
                Fail(Name(step) + ": an arrow points beside its cell " + Cell({mx, my}));
        }
    }

    int number_;
    bool started_ = false;
    bool done_ = false;
    int lastStep_ = -1;
    int highest_ = -1;
    uint64_t since_ = 0;
};

struct Followed {
    bool ran = false;
    std::string error;
    std::string failure;
    bool completed = false;
    bool boardFree = false; // after the end a bird could be picked up anywhere
};

Followed FollowTutorialOnItsLevel(int levelIndex, const std::string& dataFolder,
                                  std::function<void(uint64_t)> beforeTick = {}) {
    testing::TempFolder home;
    ReplaySettings rs;
    rs.home = home.Path();
    rs.data = dataFolder;
    rs.startLevel = levelIndex + 1;
    rs.startPopup = true;
    rs.size = {480, 270};
    rs.ticks = 9000;
    TutorialFollower follower(TutorialOfLevel(levelIndex));
    Followed out;
    rs.beforeTick = std::move(beforeTick);
    rs.player = [&](uint64_t tick) { return follower.Next(tick); };
    rs.until = [&](uint64_t) {
        if (!follower.Done()) return false;
        out.completed = TutorialState().Completed();
        out.boardFree = TutorialAllows(TutorialAction::BoardInput, TCoord2{1, 1}) &&
                        TutorialAllows(TutorialAction::PickUp, TCoord2{1, 1});
        return true;
    };
    const ReplayResult result = RunReplay(rs);
    out.ran = result.ok;
    out.error = result.error;
    out.failure = follower.failure;
    return out;
}

class TutorialOnItsLevel : public ::testing::TestWithParam<int> {};

TEST_P(TutorialOnItsLevel, EveryStepCanBeFollowedToTheEnd) {
    const int levelIndex = GetParam();
    const Followed out = FollowTutorialOnItsLevel(levelIndex, kData);
    // The step that could not be done first: the run itself then stops in the middle.
    ASSERT_EQ(out.failure, "") << "level " << levelIndex + 1;
    ASSERT_TRUE(out.ran) << out.error;
    EXPECT_TRUE(out.completed) << "level " << levelIndex + 1
                               << ": the tutorial ended before its last step";
    EXPECT_TRUE(out.boardFree);
}

// Every level that has a tutorial.
INSTANTIATE_TEST_SUITE_P(Levels, TutorialOnItsLevel, ::testing::Values(0, 1, 3, 6, 8, 23, 31, 36));

class TutorialReplay : public ::testing::Test {
protected:
    // Plays level 1 from its pop-up; `script` runs, dumps are taken at `at`.
    std::vector<std::string> Play(const std::string& script, const std::vector<uint64_t>& at,
                                  uint64_t ticks, bool popup = true,
                                  std::function<void(uint64_t)> beforeTick = {}) {
        ReplaySettings rs;
        rs.home = home_.Path();
        rs.data = kData;
        rs.startLevel = 1;
        rs.startPopup = popup;
        rs.size = {480, 270};
        rs.ticks = ticks;
        rs.beforeTick = std::move(beforeTick);
        rs.events = Lines(script);
        for (size_t i = 0; i < at.size(); ++i)
            rs.dumps.emplace_back(at[i], home_.File("dump" + std::to_string(i) + ".json"));
        const ReplayResult result = RunReplay(rs);
        EXPECT_TRUE(result.ok) << result.error;
        std::vector<std::string> dumps;
        for (size_t i = 0; i < at.size(); ++i) {
            const auto bytes = ReadWholeFile(home_.File("dump" + std::to_string(i) + ".json"));
            dumps.push_back(bytes ? std::string(bytes->begin(), bytes->end()) : std::string());
        }
        return dumps;
    }

    testing::TempFolder home_;
};

// The opening tutorial started at a known tick (the pop-up's fold, which starts it in play,
// is walked by the level tests above).
void StartAt100(uint64_t tick) {
    if (tick == 100) StartTutorial(0);
}

TEST_F(TutorialReplay, LockedUntilThePanelIsShownThenAWrongReleaseAsksForThePickUpAgain) {
    Play("101 expect layers.tutorial.number == 0\n"
         "+0 expect layers.tutorial.step == 0\n"
         // The board ignores even the taught move while the first text is up.
         "+1 drag 8 3 6 3\n"
         "110 expect layers.tutorial.step == 0\n"
         "+0 expect level.LevelMoves == 0\n"
         "130 expect layers.tutorial.ready == true\n"
         "+0 move 960 60\n"
         "+1 click\n"
         "+1 expect layers.tutorial.step == 1\n"
         "+0 expect layers.tutorial.ready == false\n"
         "+0 expect layers.tutorial.marks[0][0] == 8\n"
         "+0 expect layers.tutorial.marks[0][1] == 3\n"
         // Only (8, 3) may be lifted.
         "+2 drag 6 4 7 4\n"
         "+10 expect layers.tutorial.step == 1\n"
         "+0 expect level.LevelMoves == 0\n"
         // The right bird dropped in the wrong place: back to step 1, the bird stays home.
         "+2 drag 8 3 5 5\n"
         "+10 expect layers.tutorial.step == 1\n"
         "+0 expect level.LevelMoves == 0\n"
         "+2 drag 8 3 6 3\n"
         "+1 expect layers.tutorial.step >= 3\n"
         "+150 expect layers.tutorial.step == 4\n"
         "+0 expect level.LevelMoves == 1\n",
         {}, 420, false, StartAt100);
}

TEST_F(TutorialReplay, TheResultOfALevelThatEndsDuringTheTutorialEndsItToo) {
    Play("120 expect layers.tutorial.number == 0\n"
         "+30 expect layers.result exists\n"
         "+0 expect layers.tutorial absent\n",
         {}, 160, false, [](uint64_t tick) {
             StartAt100(tick);
             if (tick == 140) ShowResult(false);
         });
}

TEST_F(TutorialReplay, AClickBeforeThePanelStandsDoesNotAdvance) {
    Play("110 expect layers.tutorial.step == 0\n"
         "+0 expect layers.tutorial.panel.alpha < 255\n"
         "+0 move 960 60\n"
         "+1 click\n"
         "+1 expect layers.tutorial.step == 0\n"
         "130 expect layers.tutorial.panel.alpha == 255\n"
         "+0 click\n"
         "+1 expect layers.tutorial.step == 1\n",
         {}, 200, false, StartAt100);
}

TEST_F(TutorialReplay, WithTheOptionOffNoTutorialStartsAndEveryMoveIsAllowed) {
    Play("150 move 960 60\n"
         "+1 click\n"
         "+150 expect layers.tutorial absent\n"
         // A move the opening tutorial would refuse.
         "+0 drag 6 4 7 4\n"
         "+60 expect level.LevelMoves == 1\n",
         {}, 420, true, [](uint64_t tick) {
             if (tick == 2) GameOptions.ShowTutorial = false;
         });
}

TEST_F(TutorialReplay, SwitchedOffOverTheLevelTheTutorialEndsAndTheBoardIsFree) {
    Play("110 expect layers.tutorial.step == 0\n"
         "+0 key escape\n"
         "+30 click button_IGM_Options\n"
         "+30 click button_MM_Options_Tutorial_CheckBox\n"
         "+5 expect layers.tutorial absent\n"
         "+0 click button_MM_Options_Back\n"
         "+60 expect scene == scene_Level\n"
         "+0 drag 6 4 7 4\n"
         "+60 expect level.LevelMoves == 1\n",
         {}, 500, false, StartAt100);
}

TEST_F(TutorialReplay, MissingTextsShowNoPanelsAndTheTutorialCanStillBeFollowed) {
    // The texts go after start-up, as if the text database had no tutorial section.
    const Followed out = FollowTutorialOnItsLevel(0, kData, [](uint64_t tick) {
        if (tick == 20) Texts().Tutorials.clear();
    });
    ASSERT_EQ(out.failure, "");
    ASSERT_TRUE(out.ran) << out.error;
    EXPECT_TRUE(out.completed);
}

TEST_F(TutorialReplay, AFirstLevelPlayerSeesOneHelpPageAndBackRestoresTheLevel) {
    const auto dumps = Play("150 move 960 60\n"
                            "+1 click\n"
                            "+80 click button_Game_Help\n"
                            "+1 expect scene == scene_Help\n"
                            "+0 expect layers.help.pages == 1\n"
                            "+0 expect layers.help.page == 1\n"
                            "+0 expect layers.help.topics[0] == 0\n"
                            "+0 expect layers.help.topics[2] == 2\n"
                            "+40 expect layers.help.shade == 200\n"
                            "+60 key escape\n"
                            "+1 expect scene == scene_Level\n"
                            "+0 expect layers.help absent\n"
                            "+0 expect layers.tutorial.step == 0\n",
                            {300}, 420);
    ASSERT_EQ(dumps.size(), 1u);
    EXPECT_NE(dumps[0].find("\"name\": \"button_Help_Left\", \"enabled\": false"),
              std::string::npos);
    EXPECT_NE(dumps[0].find("\"name\": \"button_Help_Right\", \"enabled\": false"),
              std::string::npos);
    EXPECT_NE(dumps[0].find("\"name\": \"button_Help_Back\", \"enabled\": true"),
              std::string::npos);
}

TEST_F(TutorialReplay, AFarPlayerOpensOnTheLastOfSevenPagesAndTurnsBack) {
    Play("150 move 960 60\n"
         "+1 click\n"
         "+80 click button_Game_Help\n"
         "+1 expect layers.help.pages == 7\n"
         "+0 expect layers.help.page == 7\n"
         "+0 expect layers.help.topics[0] == 18\n"
         "+0 expect layers.help.topics[2] == 20\n"
         "+40 click button_Help_Left\n"
         "+1 expect layers.help.page == 6\n"
         "+0 expect layers.help.topics[0] == 15\n"
         "+20 click button_Help_Right\n"
         "+1 expect layers.help.page == 7\n"
         "+20 click button_Help_Back\n"
         "+1 expect scene == scene_Level\n",
         {}, 420, true, [](uint64_t tick) {
             // 44 levels won: the frontier is level index 44.
             if (tick != 200) return;
             Player.Levels.resize(56);
             for (int i = 0; i < 44; ++i) Player.Levels[static_cast<size_t>(i)].FStatus = LevelWon;
         });
}

} // namespace
} // namespace bw
