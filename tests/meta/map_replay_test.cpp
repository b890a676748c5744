// The level map played as whole-screen replays on the built data: entering it from the main
// menu with a new and an advanced profile, Start and Menu, and F6.
#include "app/Replay.h"
#include "board/LevelData.h"
#include "meta/LevelMap.h"
#include "meta/Profile.h"
#include "meta/ProfileFile.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace bw {
namespace {

const std::string kData = std::string(BW_TEST_BINARY_DIR) + "/Data";

// The first loading screen, a click, the main menu, and a click on its start sign once the
// sign has risen.
const std::string kIntoMap = "0 wait scene scene_Loaded 2000\n+1 click\n"
                             "+0 wait scene scene_MainMenu 400\n"
                             "+150 move 960 720\n+1 click\n"
                             "+0 wait scene scene_Map 400\n+20 wait 1\n";

ReplaySettings Settings(const testing::TempFolder& home, const std::string& script,
                        std::vector<std::string> args = {}) {
    ReplaySettings rs;
    rs.home = home.Path();
    rs.data = kData;
    rs.size = {480, 270};
    rs.ticks = 3000;
    rs.quickStart = true;
    rs.args = std::move(args);
    std::string error;
    EXPECT_TRUE(ParseReplayScript(script, rs.events, error)) << error;
    return rs;
}

// A player whose story has begun, with the first `won` levels won.
void WriteProfile(const testing::TempFolder& home, int won) {
    const std::string dir = home.File("Profiles");
    std::filesystem::create_directories(dir);
    TPlayer p;
    p.Name = "Robin";
    p.GameWasStarted = true;
    p.Score = 1234;
    p.Levels.resize(56);
    for (int i = 0; i < won; ++i) p.Levels[static_cast<size_t>(i)].FStatus = LevelWon;
    const std::vector<uint8_t> bytes = ProfileFileBytes(p);
    testing::WriteWholeFile(dir + "/2024_01_01_00_00_00.sav",
                            std::string(bytes.begin(), bytes.end()));
}

TEST(MapReplay, ANewProfileSeesOnlyTheFirstNestAndStartPlaysLevelOne) {
    testing::TempFolder home;
    WriteProfile(home, 0);
    const ReplayResult r = RunReplay(Settings(home, kIntoMap + "+0 expect map.limit == 0\n"
                                                               "+0 expect map.nests[0] == 0\n"
                                                               "+0 expect map.nests[1] absent\n"
                                                               "+0 expect map.dots == 0\n"
                                                               "+0 expect music contains Map.ogg\n"
                                                               "+1 click button_Map_Start\n"
                                                               // The location's pictures load
                                                               // behind their own screen first.
                                                               "+200 expect scene == scene_Loaded\n"
                                                               "+1 click\n"
                                                               "+0 wait scene scene_Level 200\n"
                                                               "+0 expect player.Level == 0\n"
                                                               "+0 expect map absent\n"));
    ASSERT_TRUE(r.ok) << r.error;
}

TEST(MapReplay, WonLevelsShowTheNextNestAndTheRouteToItAndTheNumberUnderThePointer) {
    testing::TempFolder home;
    WriteProfile(home, 8);
    const ReplayResult r =
        RunReplay(Settings(home, kIntoMap +
                                     "+0 expect map.limit == 8\n"
                                     "+0 expect map.nests[8] == 8\n"
                                     "+0 expect map.nests[9] absent\n"
                                     "+0 expect map.dots == " +
                                     std::to_string(MapRouteEnds[8] + 1) +
                                     "\n"
                                     // The pointer on the third nest (its centre, from the level
                                     // list) shows its number, fading in.
                                     "+1 move 241 838\n"
                                     "+2 expect map.hovered == 2\n"
                                     "+0 expect map.panel == 2\n"
                                     "+5 expect map.panel_alpha > 0\n"
                                     "+1 click button_Map_Menu\n"
                                     "+0 wait scene scene_MainMenu 200\n"
                                     "+0 expect map absent\n"
                                     "+0 expect music contains MainMenu.ogg\n"));
    ASSERT_TRUE(r.ok) << r.error;
}

TEST(MapReplay, F6WithTheCheatSwitchOpensEveryNestAtOnce) {
    testing::TempFolder home;
    WriteProfile(home, 0);
    const ReplayResult r = RunReplay(Settings(home,
                                              kIntoMap + "+0 expect map.dots == 0\n"
                                                         "+1 key f6\n"
                                                         "+1 expect map.nests[55] == 55\n"
                                                         "+0 expect map.dots == 179\n"
                                                         "+0 expect map.limit == 55\n",
                                              {"-cht"}));
    ASSERT_TRUE(r.ok) << r.error;
}

} // namespace
} // namespace bw
