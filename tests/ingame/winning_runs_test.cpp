// Every shipped level can be won: the scripted player (replay/LevelPlayer.h) plays each of
// them through the whole game on the built data, from the level's seed, with real pointer
// drags, until the won result stands, and the win is in the saved profile. The level player
// tool (branchwick-levelplay) and scripts/level-curve play more seeds.
#include "board/LevelData.h"
#include "replay/LevelPlayer.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <string>

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
}

// Locations 1 to 6. One seed each keeps the suite quick; scripts/level-curve plays eight. The
// instrumented build, several times slower, plays the first and the last level of every
// location (the last of location 6 is a boss level); the plain build plays them all.
#ifdef __SANITIZE_ADDRESS__
INSTANTIATE_TEST_SUITE_P(Levels, WinningRuns,
                         ::testing::Values(1, 8, 9, 13, 14, 18, 19, 22, 23, 26, 27, 30));
#else
INSTANTIATE_TEST_SUITE_P(Levels, WinningRuns, ::testing::Range(1, 31));
#endif

} // namespace
} // namespace bw
