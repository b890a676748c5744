// A level's opening dialog as a player meets it after a fade into the level: each line slides
// in, is clicked away once it has arrived, and the release after the last click reaches
// nothing. Damaged lines still show and can always be clicked through.
#include "platform/Files.h"
#include "replay/Replay.h"
#include "support/LevelFixture.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>

namespace bw {
namespace {

class DialogReplay : public ::testing::Test {
protected:
    void SetUp() override {
        data_ = (std::filesystem::path(home_.Path()) / "Data").string();
        std::filesystem::create_directories(data_);
        testing::FixtureLevel level{"fx_dialog", {"1.2.3.4.", "........", "5.6.1.2."}, 0};
        level.task = "Index=\"2\" Value=\"20\" AdditionalValue=\"0\"";
        level.mission = "mission_nestlings";
        level.rows[1][7] = 'n';
        testing::WriteLevelData(data_, {level});
        const std::filesystem::path built = std::string(BW_TEST_BINARY_DIR) + "/Data";
        for (const char* archive : {"Common.dan", "Fonts.dan", "Interface.dan", "Sfx.dan",
                                    "Music.dan", "Particles_1.dan", "Objects.dan", "Dialogs.dan"})
            if (std::filesystem::exists(built / archive))
                std::filesystem::copy_file(built / archive, std::filesystem::path(data_) / archive);
        std::filesystem::create_directories(std::filesystem::path(data_) / "tData" / "Common");
        text_ = ReadText(std::string(BW_TEST_SOURCE_DIR) + "/data/tData_Common/Text.xml");
    }

    static std::string ReadText(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    ReplayResult Play(const std::string& script) {
        std::ofstream(std::filesystem::path(data_) / "tData" / "Common" / "Text.xml",
                      std::ios::binary)
            << text_;
        ReplaySettings rs;
        rs.home = home_.Path();
        rs.data = data_;
        rs.startLevel = 1;
        rs.size = {480, 270};
        rs.ticks = 1500;
        std::string error;
        // The level starts again through the pause menu, so it fades in as it does from the
        // map, and its dialog opens after the fade.
        EXPECT_TRUE(ParseReplayScript("30 key escape\n"
                                      "+45 click button_IGM_Restart\n"
                                      "+20 click button_Msg_Yes\n"
                                      "+1 expect transition.kind == fl_Game_RestartLevel\n"
                                      "+0 expect layers.dialog absent\n" +
                                          script,
                                      rs.events, error))
            << error;
        return RunReplay(rs);
    }

    // Moves onto cell (1, 1), its bird, and presses, clicks and releases there.
    static std::string ClickOnTheBird() { return "+0 move 441 308\n+1 down\n+0 click\n+0 up\n"; }

    testing::TempFolder home_;
    std::string data_;
    std::string text_;
};

TEST_F(DialogReplay, ThreeLinesNeedThreeClicksAfterEachArrivalAndTheLastReleaseIsSwallowed) {
    const ReplayResult r = Play(
        // The fade clears in 37 updates; then the first line slides in from the left.
        "+50 expect layers.dialog.line == 1\n"
        "+0 expect layers.dialog.lines == 3\n"
        "+0 expect layers.dialog.stage == 0\n"
        "+0 expect layers.dialog.character == 1\n"
        "+0 expect sounds contains sfx_dialog_left.ogg\n"
        // Clicks while it slides do nothing.
        "+1 click\n"
        "+1 expect layers.dialog.line == 1\n"
        "+0 key escape\n"
        "+1 expect layers.dialog.line == 1\n"
        "+0 expect scene == scene_Level\n"
        "+40 expect layers.dialog.stage >= 1\n"
        "+0 expect layers.dialog.x == 600\n"
        "+0 expect sounds contains sfx_dialog_voice_1.ogg\n" +
        ClickOnTheBird() +
        "+1 expect layers.dialog.line == 2\n"
        "+0 expect layers.dialog.stage == 0\n"
        "+0 expect board.dragged absent\n"
        "+60 expect layers.dialog.stage >= 1\n"
        // Escape does what a click does.
        "+0 key escape\n"
        "+1 expect layers.dialog.line == 3\n"
        "+60 expect layers.dialog.stage >= 1\n" +
        ClickOnTheBird() +
        "+1 expect layers.dialog absent\n"
        "+0 expect board.dragged absent\n"
        "+0 expect level.LevelMoves == 0\n"
        // The next press and release are the player's again: the bird flies.
        "+10 drag 1 1 2 1\n"
        "+60 expect level.LevelMoves == 1\n");
    ASSERT_TRUE(r.ok) << r.error;
}

TEST_F(DialogReplay, DamagedLinesShowWhatTheyCanAndAreClickedThrough) {
    // The first line: no such character, voice or direction; the second: an empty text; and
    // none of the dialogs' pictures are there.
    std::filesystem::remove(std::filesystem::path(data_) / "Dialogs.dan");
    text_ = std::regex_replace(
        text_,
        std::regex(
            R"(Character="1" Voice="1" SpeakSpeed="1.0" Width="440" Centered="yes" Leading="30" Direction="0")"),
        R"(Character="9" Voice="42" SpeakSpeed="1.0" Width="440" Centered="yes" Leading="30" Direction="5")",
        std::regex_constants::format_first_only);
    text_ = std::regex_replace(text_, std::regex(R"(<dialog_1_2 text="[^"]*">)"),
                               R"(<dialog_1_2 text="">)");
    const ReplayResult r = Play("+50 expect layers.dialog.line == 1\n"
                                "+2 expect layers.dialog.stage >= 1\n"
                                "+0 expect layers.dialog.parts == 0\n"
                                "+0 expect layers.dialog.x == 600\n"
                                "+0 click\n"
                                "+1 expect layers.dialog.line == 2\n"
                                "+60 click\n"
                                "+1 expect layers.dialog.line == 3\n"
                                "+60 click\n"
                                "+1 expect layers.dialog absent\n");
    ASSERT_TRUE(r.ok) << r.error;
    const std::string log = ReadText(home_.File("Branchwick.log"));
    EXPECT_NE(log.find("Dialog of level 1, line 1: character 9 is not 1..4"), std::string::npos)
        << log;
    EXPECT_NE(log.find("voice 42 does not exist"), std::string::npos);
    EXPECT_NE(log.find("direction 5 is neither 0 nor 1"), std::string::npos);
    EXPECT_NE(log.find("line 2: pictures missing: dialog_bird_1_1_body.image"), std::string::npos);
    EXPECT_NE(log.find("picture missing: dialog_panel.image"), std::string::npos);
}

} // namespace
} // namespace bw
