// The pause menu as a player meets it in a level: Escape and the Menu button open it over
// the frozen board, its questions ask over it, and each button leads where it says.
#include "audio/SoundEngine.h"
#include "platform/Files.h"
#include "replay/Replay.h"
#include "support/LevelFixture.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace bw {
namespace {

class MenuReplay : public ::testing::Test {
protected:
    void SetUp() override {
        data_ = (std::filesystem::path(home_.Path()) / "Data").string();
        std::filesystem::create_directories(data_);
        testing::FixtureLevel level{"fx_menu", {"1.2.3.4.", "........", "5.6.1.2."}, 0};
        level.task = "Index=\"2\" Value=\"20\" AdditionalValue=\"0\"";
        level.mission = "mission_nestlings";
        level.rows[1][7] = 'n';
        testing::WriteLevelData(data_, {level});
        const std::filesystem::path built = std::string(BW_TEST_BINARY_DIR) + "/Data";
        for (const char* archive :
             {"Common.dan", "Fonts.dan", "Interface.dan", "Sfx.dan", "Music.dan", "MainMenu.dan",
              "Map.dan", "Particles_1.dan", "Objects.dan", "Dialogs.dan"})
            if (std::filesystem::exists(built / archive))
                std::filesystem::copy_file(built / archive, std::filesystem::path(data_) / archive);
        std::filesystem::create_directories(std::filesystem::path(data_) / "tData" / "Common");
        std::filesystem::copy_file(std::string(BW_TEST_SOURCE_DIR) + "/data/tData_Common/Text.xml",
                                   std::filesystem::path(data_) / "tData" / "Common" / "Text.xml");
    }

    // Plays `script` in level 1 and returns the dumps taken at `at`.
    std::vector<std::string> Play(const std::string& script, const std::vector<uint64_t>& at = {},
                                  uint64_t ticks = 1500) {
        ReplaySettings rs;
        rs.home = home_.Path();
        rs.data = data_;
        rs.startLevel = 1;
        rs.size = {480, 270};
        rs.ticks = ticks;
        // The fixture level has no playlist: a track plays as a level's would.
        rs.beforeTick = [](uint64_t tick) {
            if (tick == 5) PlayMusic(music_Game1, true);
        };
        std::string error;
        EXPECT_TRUE(ParseReplayScript(script, rs.events, error)) << error;
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

    // The part of a dump from `key` to the next top-level key.
    static std::string Section(const std::string& dump, const std::string& key) {
        const size_t from = dump.find("\n  \"" + key + "\":");
        if (from == std::string::npos) return {};
        const size_t to = dump.find("\n  \"", from + 1);
        return dump.substr(from, to == std::string::npos ? std::string::npos : to - from);
    }

    testing::TempFolder home_;
    std::string data_;
};

TEST_F(MenuReplay, EscapeOpensTheMenuWhoseShadeMustBeFullBeforeEscapeClosesIt) {
    const auto dumps = Play("60 expect scene == scene_Level\n"
                            "+0 expect music exists\n"
                            "+0 key escape\n"
                            "+1 expect scene == scene_InGameMenu\n"
                            "+0 expect layers.menu.shade == 5\n"
                            "+0 expect music absent\n"
                            "+19 expect layers.menu.shade == 100\n"
                            "+0 key escape\n"
                            "+1 expect scene == scene_InGameMenu\n"
                            "+19 expect layers.menu.shade == 200\n"
                            "+30 expect layers.menu.shade == 200\n"
                            // The seconds timer stands while the menu is open.
                            "+300 expect scene == scene_InGameMenu\n"
                            "+0 key escape\n"
                            "+1 expect scene == scene_Level\n"
                            "+0 expect layers.menu absent\n"
                            "+0 expect music exists\n",
                            {61, 420, 600}, 605);
    ASSERT_EQ(dumps.size(), 3u);
    const std::string before = Section(dumps[0], "level"), during = Section(dumps[1], "level");
    EXPECT_FALSE(before.empty());
    const auto time = [](const std::string& level) {
        const size_t at = level.find("\"LevelTime\": ");
        return at == std::string::npos ? -1 : std::stoi(level.substr(at + 13));
    };
    EXPECT_EQ(time(before), time(during)) << "the clock ran under the menu";
    EXPECT_EQ(Section(dumps[0], "board"), Section(dumps[1], "board"));
    EXPECT_GT(time(before), 0) << "the level's clock runs at all";
}

TEST_F(MenuReplay, RestartAsksOverTheMenuNoKeepsItAndYesStartsTheLevelAgain) {
    Play("200 expect level.LevelTime >= 2\n"
         "+0 click button_Game_Menu\n"
         "+1 expect scene == scene_InGameMenu\n"
         "+45 click button_IGM_Restart\n"
         "+1 expect layers.message.name == message_igm_ays_restart\n"
         "+20 click button_Msg_No\n"
         "+1 expect layers.message absent\n"
         "+0 expect scene == scene_InGameMenu\n"
         "+10 click button_IGM_Restart\n"
         "+20 click button_Msg_Yes\n"
         "+1 expect transition.kind == fl_Game_RestartLevel\n"
         "+0 expect layers.message absent\n"
         "+0 wait scene scene_Level 300\n"
         "+0 expect layers.menu absent\n"
         "+0 expect level.LevelTime <= 1\n");
}

TEST_F(MenuReplay, MapAndExitQuestionsLeadToTheMapAndTheMainMenu) {
    Play("30 key escape\n"
         "+45 click button_IGM_Map\n"
         "+1 expect layers.message.name == message_igm_ays_map\n"
         "+20 click button_Msg_Yes\n"
         "+1 expect transition.kind == fl_Game_GotoMap\n"
         "+0 wait scene scene_Map 300\n"
         "+0 expect layers.menu absent\n");
    Play("30 key escape\n"
         "+45 click button_IGM_Exit\n"
         "+1 expect layers.message.name == message_igm_ays_menu\n"
         "+20 click button_Msg_No\n"
         "+1 expect scene == scene_InGameMenu\n"
         "+5 click button_IGM_Exit\n"
         "+20 click button_Msg_Yes\n"
         "+1 expect transition.kind == fl_Game_GotoMainMenu\n"
         "+0 wait scene scene_MainMenu 300\n"
         "+0 expect layers.menu absent\n",
         {}, 2000);
}

TEST_F(MenuReplay, ContinueReturnsToTheLevelWithItsMusic) {
    Play("30 click button_Game_Menu\n"
         "+1 expect music absent\n"
         "+5 click button_IGM_Continue\n"
         "+1 expect scene == scene_Level\n"
         "+0 expect music exists\n"
         "+0 expect layers.menu absent\n"
         // Opened again, it opens afresh.
         "+10 key escape\n"
         "+1 expect layers.menu.shade == 5\n"
         "+45 click button_IGM_Continue\n"
         "+1 expect scene == scene_Level\n");
}

TEST_F(MenuReplay, OptionsOpenOverTheLevelAndBackReturnsToTheUnchangedBoard) {
    const auto dumps = Play("30 key escape\n"
                            "+45 click button_IGM_Options\n"
                            "+1 expect scene == scene_Options\n"
                            "+0 expect layers.menu absent\n"
                            "+60 click button_MM_Options_Back\n"
                            "+1 expect scene == scene_Level\n"
                            "+30 key escape\n"
                            "+1 expect scene == scene_InGameMenu\n"
                            "+45 click button_IGM_Continue\n"
                            "+1 expect scene == scene_Level\n",
                            {29, 100}, 300);
    ASSERT_EQ(dumps.size(), 2u);
    EXPECT_EQ(Section(dumps[0], "board"), Section(dumps[1], "board"));
    // The options' shade starts where the menu's was, over the level.
    const size_t shade = dumps[1].find("\"blackpixel.image\"");
    EXPECT_NE(shade, std::string::npos);
}

} // namespace
} // namespace bw
