// A cat caught in the whole game: the replay harness plays the pointer on a fixture level and
// the state dump shows the board afterwards.
#include "platform/Files.h"
#include "replay/Replay.h"

#include "support/LevelFixture.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace bw {
namespace {

// Plays the level, drags the bird at (5, 3) to (4, 3) and returns the state dump of tick
// `dumpTick`; empty when the run or the dump failed.
std::string DumpAfterTheCatch(const testing::FixtureLevel& level, uint64_t dumpTick) {
    testing::TempFolder home;
    const std::string data = (std::filesystem::path(home.Path()) / "Data").string();
    std::filesystem::create_directories(data);
    testing::WriteLevelData(data, {level});

    ReplaySettings rs;
    rs.home = home.Path();
    rs.data = data;
    rs.startLevel = 1;
    rs.size = {480, 270};
    rs.ticks = dumpTick + 2;
    std::string error;
    EXPECT_TRUE(ParseReplayScript("5 drag 5 3 4 3\n", rs.events, error)) << error;
    const std::string dump = home.File("dump.json");
    rs.dumps.emplace_back(dumpTick, dump);
    const ReplayResult result = RunReplay(rs);
    EXPECT_TRUE(result.ok) << result.error;
    const auto bytes = ReadWholeFile(dump);
    return bytes ? std::string(bytes->begin(), bytes->end()) : std::string();
}

TEST(CatsReplay, TheGameCatchesACatAndAnnouncesTheNextOne) {
    // The bird in the corner is left to move after the catch, so the turn does not go on.
    testing::FixtureLevel level{"fx_cat", {"......", "..2...", "..H.2.", "......", ".....1"}, 0};
    level.cats = "<cat Kind=\"4\" Shadow=\"yes\"><Pos/>"
                 "<Conditions Name=\"cond_less_then\" Value=\"1\"/></cat>";
    const std::string text = DumpAfterTheCatch(level, 400);
    EXPECT_NE(text.find("\"cats_matched\": 1"), std::string::npos) << text;
    EXPECT_NE(text.find("\"score\": 70"), std::string::npos) << text;
    // The caught cat's cell and its two birds' cells are empty; a cat of kind 4 is announced.
    EXPECT_NE(text.find("{\"x\": 3, \"y\": 3, \"map\": 1}"), std::string::npos) << text;
    EXPECT_NE(text.find("{\"x\": 3, \"y\": 2, \"map\": 1}"), std::string::npos) << text;
    EXPECT_NE(text.find("\"cat\": {\"kind\": 24, \"announced\": true}"), std::string::npos) << text;
}

TEST(CatsReplay, ACatchThatTakesTheLastBirdsHatchesTheEggsAndLaysNewOnes) {
    const std::string text = DumpAfterTheCatch(
        testing::FixtureLevel{"fx_cat", {"......", "..2...", "..H.2.", "......", "......"}, 2},
        300);
    EXPECT_NE(text.find("\"cats_matched\": 1"), std::string::npos) << text;
    // The two eggs of the start hatched: the player has birds to move again.
    EXPECT_NE(text.find("\"birds_generated\": 2"), std::string::npos) << text;
    EXPECT_NE(text.find("\"lost\": false"), std::string::npos) << text;
}

} // namespace
} // namespace bw
