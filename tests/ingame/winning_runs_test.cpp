// Every shipped level can be won: the scripted player (replay/LevelPlayer.h) plays each of
// them through the whole game on the built data, from the level's seed, with real pointer
// drags, until the won result stands, and the win is in the saved profile. The level player
// tool (branchwick-levelplay) and scripts/level-curve play more seeds.
#include "base/GameState.h"
#include "board/LevelData.h"
#include "ingame/LevelResult.h"
#include "meta/LevelMap.h"
#include "meta/Profile.h"
#include "meta/ProfileFile.h"
#include "platform/Files.h"
#include "replay/LevelPlayer.h"
#include "replay/Replay.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace bw {
namespace {

const std::string kData = std::string(BW_TEST_BINARY_DIR) + "/Data";

class WinningRuns : public ::testing::TestWithParam<int> {};

TEST_P(WinningRuns, TheScriptedPlayerWinsTheLevelAndTheProfileKeepsTheWin) {
    const int level = GetParam();
    testing::TempFolder home;
    LevelRunSettings settings;
    settings.data = kData;
    settings.home = home.Path();
    settings.level = level;
    const LevelRun out = PlayLevel(settings);
    ASSERT_TRUE(out.ran) << out.error;
    EXPECT_TRUE(out.won) << "level " << level << " after " << out.moves << " moves";
    EXPECT_EQ(out.saved, out.needed);
    EXPECT_EQ(out.bossFed, out.bossHealth) << "a won boss level has fed the boss in full";
    ASSERT_TRUE(out.profileRead);
    ASSERT_GE(out.profile.Levels.size(), static_cast<size_t>(level));
    EXPECT_EQ(out.profile.Levels[static_cast<size_t>(level - 1)].FStatus,
              out.taskMet ? LevelWonWithTask : LevelWon);
    EXPECT_EQ(out.profile.Score, out.levelScore) << "the level's score was added to the profile";
    RecordProperty("moves", out.moves);
    // What the level yields towards the awards' lifetime totals, summed over the game by hand.
    RecordProperty("tied_freed", out.profile.BirdsUnbounded);
    RecordProperty("walls", out.profile.WallsDestroyed);
    RecordProperty("crows", out.profile.CrownsKilled);
    RecordProperty("painted", out.profile.BirdsPainted);
    RecordProperty("cats", out.profile.CatsWereKilled);
}

// One seed each keeps the suite quick; scripts/level-curve plays more. The instrumented
// build, several times slower, plays the first and the last level of locations 1 to 6, and
// from the larger boards of the second half the levels where a new idea or a boss appears
// (31 the train, 34, 42, 50 and 56 bosses, 37 jumping cats, 45 shadow cats); the plain build
// plays them all.
#ifdef __SANITIZE_ADDRESS__
INSTANTIATE_TEST_SUITE_P(Levels, WinningRuns,
                         ::testing::Values(1, 8, 9, 13, 14, 18, 19, 22, 23, 26, 27, 30, 31, 34, 37,
                                           42, 45, 50, 56));
#else
INSTANTIATE_TEST_SUITE_P(Levels, WinningRuns, ::testing::Range(1, 57));
#endif

// The instrumented build leaves this road to the fixture level of the level road test: the
// last level alone takes it minutes there.
#ifndef __SANITIZE_ADDRESS__
// The end of the story, played as a player plays it: the scripted player wins the last
// level for a player who has won all the others, the result's Continue completes the game,
// the outro plays through to its end, the credits follow, and from the main menu the map shows
// every nest and the whole route.
TEST(TheLastLevel, WonTheFirstTimeItCompletesTheGameAndTheMapShowsTheWholeRoute) {
    testing::TempFolder home;
    const int last = 56;
    LevelPlayer player(last);
    enum Stage { Playing, Credits, Menu, Map, Done };
    Stage stage = Playing;
    int calm = 0;
    bool completedAtCredits = false;
    bool outroPlayed = false;
    MapState map;
    ReplaySettings rs;
    rs.home = home.Path();
    rs.data = kData;
    rs.seed = last;
    rs.startLevel = last;
    rs.size = {480, 270};
    rs.ticks = 70000;
    rs.beforeTick = [](uint64_t tick) {
        if (tick != 1) return;
        NewProfile("Tester", "t.sav");
        ResizeLevelStates();
        for (size_t i = 0; i + 1 < Player.Levels.size(); ++i) Player.Levels[i].FStatus = LevelWon;
        Player.GameWasStarted = true;
        SaveProfile();
    };
    // Each screen is given a few quiet ticks before it is clicked.
    auto settled = [&](bool ready) {
        calm = ready ? calm + 1 : 0;
        return calm >= 8;
    };
    auto script = [](const std::string& text) {
        std::vector<ReplayEvent> events;
        std::string error;
        EXPECT_TRUE(ParseReplayScript(text, events, error)) << error;
        return events;
    };
    rs.player = [&](uint64_t) -> std::vector<ReplayEvent> {
        switch (stage) {
        case Playing: {
            const ResultStages* result = ResultState();
            if (!result) return player.Next();
            if (!settled(result->ButtonsVisible() && !TransitionVisible())) return {};
            EXPECT_TRUE(result->Won) << "the last level after " << player.Moves() << " moves";
            stage = Credits;
            return script("+0 click button_Result_Continue\n");
        }
        case Credits:
            // The outro's loading screen waits for a click; the film is watched to its end.
            if (CurrentScene == scene_Video) outroPlayed = true;
            if (CurrentScene == scene_Loaded) {
                if (!settled(true)) return {};
                calm = 0;
                return script("+1 click\n");
            }
            if (!settled(CurrentScene == scene_Credits && !TransitionVisible())) return {};
            completedAtCredits = Player.GameWasCompleted;
            stage = Menu;
            return script("+0 click button_MM_Credits_Back\n");
        case Menu:
            if (!settled(CurrentScene == scene_MainMenu && !TransitionVisible())) return {};
            stage = Map;
            // The start sign, once it has risen.
            return script("+150 move 960 720\n+1 click\n");
        case Map:
            if (!settled(CurrentScene == scene_Map && !TransitionVisible())) return {};
            map = MapStateNow();
            stage = Done;
            return {};
        case Done:
            break;
        }
        return {};
    };
    rs.until = [&](uint64_t) { return stage == Done; };
    const ReplayResult result = RunReplay(rs);
    ASSERT_TRUE(result.ok) << result.error;
    ASSERT_EQ(stage, Done) << "the road stopped at stage " << stage << " in scene "
                           << SceneName(CurrentScene);
    EXPECT_TRUE(completedAtCredits) << "the credits came before the game was completed";
    EXPECT_TRUE(outroPlayed) << "the outro comes before the credits";
    EXPECT_EQ(map.nests.size(), 56u) << "every nest shows on the map";
    EXPECT_EQ(map.dots, MapWayDotCount) << "the map shows the whole route";
    const auto bytes = ReadWholeFile(home.Path() + "/Profiles/t.sav");
    ASSERT_TRUE(bytes);
    TPlayer saved;
    ASSERT_TRUE(ProfileFromBytes(bytes->data(), bytes->size(), 56, saved));
    EXPECT_TRUE(saved.GameWasCompleted);
    EXPECT_NE(saved.Levels[static_cast<size_t>(last - 1)].FStatus, LevelNotWon);
}
#endif

} // namespace
} // namespace bw
