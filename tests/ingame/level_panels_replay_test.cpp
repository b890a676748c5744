// A level's panels played through the whole game: the task panel closes on a failed moves
// task once, the mission pop-up drops in and folds at a click, and a narrow window keeps the
// right-hand panels at its visible edge.
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

size_t Count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

class PanelsReplay : public ::testing::Test {
protected:
    void SetUp() override {
        data_ = (std::filesystem::path(home_.Path()) / "Data").string();
        std::filesystem::create_directories(data_);
        testing::FixtureLevel moves{"fx_moves", {"1.2.3.4.", "........", "5.6.1.2."}, 0};
        moves.task = "Index=\"2\" Value=\"5\" AdditionalValue=\"0\"";
        moves.mission = "mission_nestlings";
        moves.rows[1][7] = 'n';
        testing::WriteLevelData(data_, {moves});
        const std::filesystem::path built = std::string(BW_TEST_BINARY_DIR) + "/Data";
        for (const char* archive : {"Common.dan", "Fonts.dan", "Interface.dan", "Sfx.dan",
                                    "Music.dan", "Particles_1.dan", "Objects.dan"})
            std::filesystem::copy_file(built / archive, std::filesystem::path(data_) / archive);
        std::filesystem::create_directories(std::filesystem::path(data_) / "tData" / "Common");
        std::filesystem::copy_file(std::string(BW_TEST_SOURCE_DIR) + "/data/tData_Common/Text.xml",
                                   std::filesystem::path(data_) / "tData" / "Common" / "Text.xml");
    }

    std::vector<std::string> Play(const std::string& script, const std::vector<uint64_t>& at,
                                  uint64_t ticks, TPoint2px size = {480, 270}, bool popup = false) {
        ReplaySettings rs;
        rs.home = home_.Path();
        rs.data = data_;
        rs.startLevel = 1;
        rs.startPopup = popup;
        rs.size = size;
        rs.ticks = ticks;
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

    testing::TempFolder home_;
    std::string data_;
};

TEST_F(PanelsReplay, AMovesTaskFailsAfterTheSixthMoveOnceWithOneCloseSound) {
    // Six moves without a match: the bird of kind 1 goes right and back.
    std::string script;
    for (int i = 0; i < 6; ++i)
        script += std::to_string(10 + 70 * i) + (i % 2 ? " drag 2 1 1 1\n" : " drag 1 1 2 1\n");
    std::vector<uint64_t> at;
    for (uint64_t t = 5; t <= 600; t += 5) at.push_back(t);
    const auto dumps = Play(script, at, 602);
    // The fifth move lands by tick 360; the sixth starts at tick 360.
    EXPECT_NE(dumps[70].find("\"LevelMoves\": 5"), std::string::npos) << dumps[70];
    EXPECT_NE(dumps[70].find("\"TaskStatus\": \"open\""), std::string::npos);
    EXPECT_NE(dumps.back().find("\"LevelMoves\": 6"), std::string::npos);
    EXPECT_NE(dumps.back().find("\"TaskStatus\": \"failed\""), std::string::npos) << dumps.back();
    EXPECT_NE(dumps.back().find("\"task_panel\": {\"stage\": 1, \"status\": 2"), std::string::npos)
        << "the panel slid back to its egg";
    size_t closes = 0;
    for (const std::string& d : dumps) closes += Count(d, "sfx_task_close");
    EXPECT_EQ(closes, 1u);
}

TEST_F(PanelsReplay, TheMissionPopupDropsInAndFoldsAtAClickStartingTheClock) {
    const auto dumps = Play("200 click\n", {150, 199, 400}, 402, {480, 270}, true);
    EXPECT_NE(dumps[0].find("\"visible\": true"), std::string::npos) << dumps[0];
    EXPECT_NE(dumps[1].find("\"LevelTime\": 0"), std::string::npos) << "no clock while it shows";
    EXPECT_NE(dumps[2].find("\"popup\": {\"status\": 5, \"first\": false, \"visible\": false}"),
              std::string::npos)
        << dumps[2];
}

TEST_F(PanelsReplay, ANarrowWindowKeepsTheHelpButtonAndTheScorePanelAtItsRightEdge) {
    // 4:3 shows the design's band x 240..1680.
    const auto dumps = Play("", {50}, 52, {1024, 768});
    const std::string& d = dumps[0];
    EXPECT_NE(d.find("{\"name\": \"button_Game_Help\", \"enabled\": true, \"x\": 1445"),
              std::string::npos)
        << d.substr(0, 2000);
    EXPECT_NE(d.find("{\"name\": \"button_Game_Menu\", \"enabled\": true, \"x\": 255"),
              std::string::npos);
    EXPECT_NE(d.find("\"class\": \"TInterfaceScorePanel\", \"name\": \"\", \"x\": 1340.0"),
              std::string::npos);
}

} // namespace
} // namespace bw
