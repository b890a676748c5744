// The level map played as whole-screen replays on the built data: entering it from the main
// menu with a new and an advanced profile, Start and Menu, and F6.
#include "Engine/KilnSprite/SpriteEngine.h"
#include "base/GameObjects.h"
#include "board/LevelData.h"
#include "meta/LevelMap.h"
#include "meta/Profile.h"
#include "meta/ProfileFile.h"
#include "render/DisplayState.h"
#include "replay/Replay.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>
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
                                     "+1 move 432 844\n"
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

// The map at each window shape the game supports, with every nest open: every nest, Start and
// Menu lie wholly inside what the window shows.
TEST(MapReplay, EveryWindowShapeShowsEveryNestAndBothButtons) {
    for (const TPoint2px size : {TPoint2px{320, 240}, TPoint2px{320, 256}, TPoint2px{480, 270},
                                 TPoint2px{640, 270}, TPoint2px{270, 480}}) {
        SCOPED_TRACE(std::to_string(size.x) + " x " + std::to_string(size.y));
        testing::TempFolder home;
        WriteProfile(home, 56);
        ReplaySettings rs = Settings(home, kIntoMap + "+0 expect map.limit == 55\n"
                                                      "+1 click button_Map_Menu\n"
                                                      "+0 wait scene scene_MainMenu 200\n");
        rs.size = size;
        MapState seen;
        TRect shown;
        rs.beforeTick = [&](uint64_t) {
            if (!MapOpen() || !MainEngine) return;
            seen = MapStateNow();
            const float left = WorldOffset.x, top = WorldOffset.y;
            shown = TRect{static_cast<int>(std::ceil(left)), static_cast<int>(std::ceil(top)),
                          static_cast<int>(left + MainEngine->FVisibleWidth / DisplayScale.x),
                          static_cast<int>(top + MainEngine->FVisibleHeight / DisplayScale.y)};
        };
        const ReplayResult r = RunReplay(rs);
        ASSERT_TRUE(r.ok) << r.error;
        ASSERT_EQ(seen.targets.size(), 56u + 2u);
        for (const TRect& t : seen.targets)
            EXPECT_TRUE(t.left >= shown.left && t.top >= shown.top && t.right <= shown.right &&
                        t.bottom <= shown.bottom)
                << "(" << t.left << ", " << t.top << ") .. (" << t.right << ", " << t.bottom
                << ") outside (" << shown.left << ", " << shown.top << ") .. (" << shown.right
                << ", " << shown.bottom << ")";
    }
}

// The snow over the mountain and the clouds by it emit along the points their records lay out,
// not from one point.
TEST(MapReplay, TheSnowAndTheCloudsEmitFromTheirRecordsPoints) {
    testing::TempFolder home;
    WriteProfile(home, 0);
    ReplaySettings rs = Settings(home, kIntoMap + "+1 click button_Map_Menu\n"
                                                  "+0 wait scene scene_MainMenu 200\n");
    std::map<std::string, int> emitters;
    rs.beforeTick = [&](uint64_t) {
        if (MapOpen())
            for (const MapState::Effect& e : MapStateNow().effects) emitters[e.name] = e.emitters;
    };
    const ReplayResult r = RunReplay(rs);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_GT(emitters["Map_Snow_1.xml"], 1);
    EXPECT_GT(emitters["Map_Cloud_fx.xml"], 1);
    EXPECT_EQ(emitters["Map_Train_Smoke_1.xml"], 1);
}

} // namespace
} // namespace bw
