// The level result played through the whole game: a full board ends in the game-over result,
// the debug key wins a level, a click skips the count, and the buttons lead on.
#include "audio/SoundEngine.h"
#include "base/GameOptions.h"
#include "meta/Profile.h"
#include "platform/Files.h"
#include "replay/Replay.h"
#include "support/LevelFixture.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace bw {
namespace {

class ResultReplay : public ::testing::Test {
protected:
    void SetUp() override {
        data_ = (std::filesystem::path(home_.Path()) / "Data").string();
        std::filesystem::create_directories(data_);
        testing::WriteLevelData(data_,
                                {{"fx_match",
                                  {"........", "........", "........", ".22.....", "........",
                                   "...2....", "........", ".......5"},
                                  2},
                                 {"fx_full", {"1.23.", "45612", "23.41"}, 2, "0,0,0,0,0,1,0,0"}});
        // The built game's pictures, sounds and music around the small levels.
        const std::filesystem::path built = std::string(BW_TEST_BINARY_DIR) + "/Data";
        for (const char* archive : {"Common.dan", "Fonts.dan", "Interface.dan", "Sfx.dan",
                                    "Music.dan", "Particles_1.dan"})
            std::filesystem::copy_file(built / archive, std::filesystem::path(data_) / archive);
        // The texts (button captions and sizes) as a loose file beside the archives.
        std::filesystem::create_directories(std::filesystem::path(data_) / "tData" / "Common");
        std::filesystem::copy_file(std::string(BW_TEST_SOURCE_DIR) + "/data/tData_Common/Text.xml",
                                   std::filesystem::path(data_) / "tData" / "Common" / "Text.xml");
    }

    // Plays level `level` with a saved profile of two levels; dumps at the given ticks.
    std::vector<std::string> Play(int level, const std::string& script,
                                  const std::vector<uint64_t>& at, uint64_t ticks) {
        ReplaySettings rs;
        rs.home = home_.Path();
        rs.data = data_;
        rs.startLevel = level;
        rs.size = {480, 270};
        rs.ticks = ticks;
        rs.args = {"-cht"};
        rs.beforeTick = [this](uint64_t tick) {
            if (watch_) watch_(tick);
            if (tick != 1) return;
            NewProfile("Tester", "t.sav");
            ResizeLevelStates();
            SaveProfile();
            saved_ = ReadText(home_.File("Profiles/t.sav"));
        };
        std::string error;
        EXPECT_TRUE(ParseReplayScript(script, rs.events, error)) << error;
        for (size_t i = 0; i < at.size(); ++i)
            rs.dumps.emplace_back(at[i], home_.File("dump" + std::to_string(i) + ".json"));
        const ReplayResult result = RunReplay(rs);
        EXPECT_TRUE(result.ok) << result.error;
        std::vector<std::string> dumps;
        for (size_t i = 0; i < at.size(); ++i)
            dumps.push_back(ReadText(home_.File("dump" + std::to_string(i) + ".json")));
        return dumps;
    }

    static std::string ReadText(const std::string& path) {
        const auto bytes = ReadWholeFile(path);
        return bytes ? std::string(bytes->begin(), bytes->end()) : std::string();
    }
    std::string ProfileText() { return ReadText(home_.File("Profiles/t.sav")); }
    TPlayer SavedPlayer() {
        const std::string text = ProfileText();
        TPlayer p;
        EXPECT_TRUE(
            ProfileFromBytes(reinterpret_cast<const uint8_t*>(text.data()), text.size(), 2, p));
        return p;
    }

    testing::TempFolder home_;
    std::string data_;
    std::string saved_;
    // Looks at the running game before each tick's input.
    std::function<void(uint64_t)> watch_;
};

const char* kLostButtons = "\"buttons\": [\"button_Result_Restart\", \"button_Result_Exit\"]";

TEST_F(ResultReplay, AFullBoardShowsTheGameOverResultAndLeavesTheProfileAlone) {
    const auto dumps = Play(2, "5 drag 1 1 2 1\n", {400}, 402);
    const std::string& d = dumps[0];
    EXPECT_NE(d.find("\"lost\": true"), std::string::npos) << d;
    EXPECT_NE(d.find("\"result\": {\"name\": \"result_gameover\", \"stage\": 14"),
              std::string::npos)
        << d;
    EXPECT_NE(d.find(kLostButtons), std::string::npos);
    ASSERT_FALSE(saved_.empty());
    EXPECT_EQ(ProfileText(), saved_);
}

TEST_F(ResultReplay, F1WinsTheLevelAndTheScoreCountsUpInFiftyFrames) {
    // A match of three (45 points, which the profile keeps), then the debug key at tick 100:
    // its result counts the debug score of 760.
    std::vector<uint64_t> ticks;
    for (uint64_t t = 101; t <= 190; ++t) ticks.push_back(t);
    ticks.push_back(400);
    const auto dumps = Play(1, "5 drag 4 6 4 4\n100 key f1\n", ticks, 402);
    int counting = 0;
    for (size_t i = 0; i + 1 < dumps.size(); ++i)
        if (dumps[i].find("\"stage\": 3, ") != std::string::npos) ++counting;
    EXPECT_EQ(counting, 50);
    EXPECT_NE(dumps.front().find("\"stage\": 1, \"score\": 0"), std::string::npos);
    EXPECT_NE(dumps.back().find("\"stage\": 14, \"score\": 760"), std::string::npos)
        << dumps.back();
    // The first win of level 1 opened level 2.
    EXPECT_NE(dumps.back().find("\"button_Result_Continue\", \"button_Result_Restart\""),
              std::string::npos);
    const TPlayer saved = SavedPlayer();
    EXPECT_EQ(saved.Score, 45);
    ASSERT_EQ(saved.Levels.size(), 2u);
    EXPECT_GE(saved.Levels[0].FStatus, 1);
}

TEST_F(ResultReplay, AClickDuringTheCountSkipsToTheButtonsAndStopsTheCountSound) {
    std::vector<bool> counting;
    bool soundsOff = true;
    watch_ = [&](uint64_t tick) {
        if (tick == 129) soundsOff = GameOptions.SoundsOff;
        if (tick == 129 || tick == 131 || tick == 139)
            counting.push_back(SfxPlaying(SfxIndex("sfx_result_score.ogg")));
    };
    const auto dumps = Play(1, "5 drag 4 6 4 4\n100 key f1\n130 click\n", {129, 131}, 140);
    if (!soundsOff) {
        EXPECT_EQ(counting, (std::vector<bool>{true, false, false}))
            << "the count's loop plays while it counts and stops with the click";
    }
    EXPECT_NE(dumps[0].find("\"stage\": 3"), std::string::npos) << dumps[0];
    EXPECT_NE(dumps[1].find("\"stage\": 14, \"score\": 760"), std::string::npos) << dumps[1];
    // The looping count sound started with the count.
    EXPECT_NE(dumps[0].find("sfx_result_score"), std::string::npos) << dumps[0];
}

TEST_F(ResultReplay, RestartPlaysTheLevelAgainWithItsCountersReset) {
    const auto dumps = Play(2, "5 drag 1 1 2 1\n420 click button_Result_Restart\n", {700}, 702);
    const std::string& d = dumps[0];
    EXPECT_NE(d.find("\"result\": null"), std::string::npos) << d;
    EXPECT_NE(d.find("\"lost\": false"), std::string::npos);
    EXPECT_NE(d.find("\"moves\": 0"), std::string::npos);
}

TEST_F(ResultReplay, ExitLeavesTheLevelWithTheMapMusic) {
    const auto dumps = Play(2, "5 drag 1 1 2 1\n420 click button_Result_Exit\n", {700}, 702);
    const std::string& d = dumps[0];
    EXPECT_NE(d.find("\"result\": null"), std::string::npos) << d;
    EXPECT_NE(d.find("\"scene\": \"scene_Map\""), std::string::npos) << d.substr(0, 300);
    EXPECT_NE(d.find("\"music\": \"Map.ogg\""), std::string::npos) << d;
}

} // namespace
} // namespace bw
