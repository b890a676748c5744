// The awards as a player meets them, in whole-game replays on the built data: the awards
// screen from the main menu's button (a tile hovered, Back and Escape), and medals of a won
// level announced over the board, one after the other.
#include "base/GameState.h"
#include "base/SceneTransition.h"
#include "board/LevelData.h"
#include "ingame/LevelResult.h"
#include "meta/Awards.h"
#include "meta/Profile.h"
#include "meta/ProfileFile.h"
#include "platform/Files.h"
#include "replay/Replay.h"
#include "support/BoardWatch.h"
#include "support/LevelFixture.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace bw {
namespace {

const std::string kData = std::string(BW_TEST_BINARY_DIR) + "/Data";

// With BW_DOCS_SHOTS set to a folder, the replays also take the README's pictures there, at
// full size (scripts/awards-pictures).
std::string DocsShot(const std::string& name) {
    const char* folder = std::getenv("BW_DOCS_SHOTS");
    return folder ? "+0 shot " + std::string(folder) + "/" + name + "\n" : std::string();
}
TPoint2px ReplaySize() {
    return std::getenv("BW_DOCS_SHOTS") ? TPoint2px{1920, 1080} : TPoint2px{480, 270};
}

class AwardsReplay : public ::testing::Test {
protected:
    void SetUp() override {
        if (!FileExists(JoinPath(kData, "tData_Levels.dan"))) GTEST_SKIP() << "no data built";
    }
    void TearDown() override { DiscardAwards(); }

    // The player's file, with its medals and counters.
    void WriteProfile(const TPlayer& p) {
        CreateFolders(home.File("Profiles"));
        const std::vector<uint8_t> bytes = ProfileFileBytes(p);
        testing::WriteWholeFile(home.File("Profiles/2026_01_01_00_00_00.sav"),
                                std::string(bytes.begin(), bytes.end()));
    }
    TPlayer Saved() {
        TPlayer p;
        const auto bytes = ReadWholeFile(home.File("Profiles/2026_01_01_00_00_00.sav"));
        EXPECT_TRUE(bytes && ProfileFromBytes(bytes->data(), bytes->size(), 56, p));
        return p;
    }

    testing::TempFolder home;
};

TEST_F(AwardsReplay, TheMenuButtonOpensTheScreenATileDescribesItselfAndBackAndEscapeLeave) {
    TPlayer p;
    p.Name = "Robin";
    p.Levels.resize(56);
    p.Score = 130000;       // medal 1 of 2 held, medal 2 due (125000)
    p.BirdsWereBurned = 95; // past 10 and 90 with no medal yet
    p.WallsDestroyed = 260; // past the last threshold (250): the whole bar
    p.CrownsKilled = 85;    // at the last threshold: 97 % of the bar
    p.Awards[2] = 1;
    p.Awards[8] = 3;
    p.Awards[10] = 3;
    WriteProfile(p);

    // Tile 10 lies at the bottom right: (390 + 590, 55 + 670), 440 x 140.
    const std::string script = "0 wait scene scene_Loaded 2000\n+1 click\n"
                               "+0 wait scene scene_MainMenu 400\n"
                               "+150 click button_MM_MainMenu_Awards\n"
                               "+1 expect scene == scene_Awards\n"
                               "+0 expect awards.logo == false\n"
                               // Opening checked every award: the due medal of the score
                               // shows first, the first of the birds burned waits behind it.
                               "+0 expect player.awards[1] == 2\n"
                               "+0 expect player.awards[2] == 1\n"
                               "+0 expect awards.popup.award == 2\n"
                               "+0 expect awards.popup.medal == 2\n"
                               "+0 expect awards.queue == 1\n"
                               "+0 expect awards.screen.progress[7] == 0\n"
                               "+0 expect awards.screen.progress[9] == 194\n"
                               "+0 expect awards.screen.progress[0] == 6\n"
                               "+10 move 1200 796\n"
                               "+2 expect awards.screen.description == 10\n"
                               "+20 expect awards.screen.description_alpha == 255\n" +
                               DocsShot("awards-screen.png") +
                               "+0 expect awards.screen.description_x == 777\n"
                               "+0 expect awards.screen.description_y == 546\n"
                               "+0 move 700 200\n"
                               "+2 expect awards.screen.description == 1\n"
                               "+0 expect awards.screen.description_x == 700\n"
                               "+0 expect awards.screen.description_y == 200\n"
                               "+5 click button_MM_Awards_Back\n"
                               "+1 expect scene == scene_MainMenu\n"
                               "+0 expect awards.screen absent\n"
                               "+0 expect awards.logo == true\n"
                               // The next opening earns the second medal of the birds burned.
                               "+30 click button_MM_MainMenu_Awards\n"
                               "+1 expect scene == scene_Awards\n"
                               "+0 expect player.awards[2] == 2\n"
                               "+10 key escape\n"
                               "+1 expect scene == scene_MainMenu\n"
                               "+0 expect awards.logo == true\n";
    ReplaySettings rs;
    rs.home = home.Path();
    rs.data = kData;
    rs.size = ReplaySize();
    rs.quickStart = true;
    rs.ticks = 1400;
    std::string error;
    ASSERT_TRUE(ParseReplayScript(script, rs.events, error)) << error;
    const ReplayResult r = RunReplay(rs);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.scene, "scene_MainMenu");
    const TPlayer saved = Saved();
    EXPECT_EQ(saved.Awards[2], 2);
    EXPECT_EQ(saved.Awards[3], 2);
}

// The logo comes back as the screen closes in the day look; closed at night, it waits for the
// next day instead of staying away for as long as the menu is open.
TEST_F(AwardsReplay, TheLogoHiddenAtNightReturnsWithTheDay) {
    TPlayer p;
    p.Name = "Owl";
    p.Levels.resize(56);
    WriteProfile(p);
    const std::string script = "0 wait scene scene_Loaded 2000\n+1 click\n"
                               "+0 wait scene scene_MainMenu 400\n"
                               "+1100 expect main_menu.night == true\n"
                               "+0 click button_MM_MainMenu_Awards\n"
                               "+1 expect awards.logo == false\n"
                               "+5 key escape\n"
                               "+1 expect scene == scene_MainMenu\n"
                               "+0 expect awards.logo == false\n"
                               "+1100 expect main_menu.night == false\n"
                               "+0 expect awards.logo == true\n";
    ReplaySettings rs;
    rs.home = home.Path();
    rs.data = kData;
    rs.size = {480, 270};
    rs.quickStart = true;
    rs.ticks = 2800;
    std::string error;
    ASSERT_TRUE(ParseReplayScript(script, rs.events, error)) << error;
    const ReplayResult r = RunReplay(rs);
    ASSERT_TRUE(r.ok) << r.error;
}

struct SeenPopup {
    int award = 0, medal = 0;
    float x = 0, y = 0;
    uint8_t scene = 0;
    uint64_t from = 0, to = 0;
};

TEST_F(AwardsReplay, TwoMedalsOfOneWinAreAnnouncedOverTheBoardOneAfterTheOther) {
    // One drag frees the nestling and wins the level with its task met.
    testing::FixtureLevel level{"level_01", {"k.n.1", "2...3", "4.5.6"}, 0};
    level.mission = "mission_nestlings";
    const std::string extra = home.File("win.dan");
    testing::WriteArchive(extra, {{"level_01.xml", testing::LevelFileXml(level)}});

    std::vector<SeenPopup> seen;
    bool dragged = false;
    ReplaySettings rs;
    rs.home = home.Path();
    rs.data = kData;
    rs.extraArchives = {extra};
    rs.startLevel = 1;
    rs.size = ReplaySize();
    rs.ticks = 3000;
    rs.beforeTick = [&](uint64_t tick) {
        if (tick == 1) {
            NewProfile("Winner", "2026_01_01_00_00_00.sav");
            ResizeLevelStates();
            // 4999 points and 19 levels with their task met: the win passes 5000 and 20.
            Player.Score = 4999;
            for (size_t i = 1; i <= 19; ++i) Player.Levels[i].FStatus = LevelWonWithTask;
            SaveProfile();
        }
        const TNewAwardSprite* popup = AwardPopup();
        if (popup &&
            (seen.empty() || seen.back().to != 0 || seen.back().award != popup->FAwardIndex)) {
            if (!seen.empty() && seen.back().to == 0) seen.back().to = tick;
            seen.push_back(
                {popup->FAwardIndex, popup->FMedal, popup->FX, popup->FY, CurrentScene, tick, 0});
        }
        if (!popup && !seen.empty() && seen.back().to == 0) seen.back().to = tick;
    };
    rs.player = [&](uint64_t tick) {
        std::vector<ReplayEvent> events;
        std::string error;
        if (seen.size() == 1 && seen[0].to == 0 && tick == seen[0].from + 90 &&
            !DocsShot("awards-popup.png").empty()) {
            EXPECT_TRUE(ParseReplayScript(DocsShot("awards-popup.png"), events, error));
        }
        const bool atRest = CurrentScene == scene_Level && !TransitionVisible() && !LevelFinished &&
                            !IsResultShown() && !testing::BoardBusy();
        if (dragged || !atRest) return events;
        dragged = true;
        EXPECT_TRUE(ParseReplayScript("+0 drag 1 1 3 1\n", events, error)) << error;
        return events;
    };
    rs.until = [&](uint64_t) { return seen.size() == 2 && seen.back().to != 0; };
    const ReplayResult r = RunReplay(rs);
    ASSERT_TRUE(r.ok) << r.error;

    ASSERT_EQ(seen.size(), 2u);
    // The score's medal first, at the popup's place, over the level.
    EXPECT_EQ(seen[0].award, AwardScore);
    EXPECT_EQ(seen[0].medal, 1);
    EXPECT_EQ(seen[0].x, 740);
    EXPECT_EQ(seen[0].y, 840);
    EXPECT_EQ(seen[0].scene, scene_Level);
    EXPECT_EQ(seen[1].award, AwardCompletedTasks);
    EXPECT_EQ(seen[1].medal, 1);
    // The second follows as the first has run its course (5 + 26 + 170 + 51 updates and a
    // few single steps), never beside it.
    const uint64_t shown = seen[0].to - seen[0].from;
    EXPECT_GE(shown, 252u);
    EXPECT_LE(shown, 262u);
    EXPECT_GE(seen[1].from, seen[0].to);
    EXPECT_LE(seen[1].from, seen[0].to + 1);
    // Each announcement saved the profile with its medal.
    const TPlayer saved = Saved();
    EXPECT_EQ(saved.Awards[1], 1);
    EXPECT_EQ(saved.Awards[2], 1);
    EXPECT_GE(saved.Score, 5000);
}

} // namespace
} // namespace bw
