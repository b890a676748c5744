// The board's effects in the whole game: the built data set, level 1 replaced by a small level
// with walls, the replay harness playing the pointer and the board's own calls acting where no
// input reaches yet (only bonuses break walls). The state dump tells the effect sprites and
// the live particle systems.
#include "base/GameState.h"
#include "board/Board.h"
#include "platform/Files.h"
#include "replay/Replay.h"

#include "support/LevelFixture.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>

namespace bw {
namespace {

const std::string kData = std::string(BW_TEST_BINARY_DIR) + "/Data";

class EffectsReplay : public ::testing::Test {
protected:
    void SetUp() override {
        if (!FileExists(JoinPath(kData, "Particles_1.dan"))) GTEST_SKIP() << "no data built";
        // Three red birds a step from a line, a wall under the first and a strong wall under
        // the third; no eggs, so nothing random lands on the board.
        extra_ = home_.File("walls.dan");
        testing::WriteArchive(
            extra_, {{"level_01.xml", testing::LevelFileXml({"level_01",
                                                             {"1.11....", "W.V.....", "........",
                                                              "........", "........", "........"},
                                                             0})}});
    }

    // Plays level 1 with the script for `ticks` ticks, calling `act` before every tick the
    // level is on screen (with the ticks since it appeared); returns the dumps by tick.
    std::map<uint64_t, std::string> Play(const std::string& script, uint64_t ticks,
                                         const std::vector<uint64_t>& dumpTicks,
                                         const std::function<void(uint64_t)>& act) {
        ReplaySettings rs;
        rs.home = home_.Path();
        rs.data = kData;
        rs.extraArchives = {extra_};
        rs.startLevel = 1;
        rs.size = {480, 270};
        rs.ticks = ticks;
        std::string error;
        EXPECT_TRUE(ParseReplayScript(script, rs.events, error)) << error;
        for (uint64_t t : dumpTicks)
            rs.dumps.emplace_back(t, home_.File("d" + std::to_string(t) + ".json"));
        rs.beforeTick = [&act](uint64_t tick) {
            if (CurrentScene == scene_Level) act(tick);
        };
        const ReplayResult result = RunReplay(rs);
        EXPECT_TRUE(result.ok) << result.error;
        std::map<uint64_t, std::string> dumps;
        for (const auto& [tick, file] : rs.dumps) {
            const auto bytes = ReadWholeFile(file);
            dumps[tick] = bytes ? std::string(bytes->begin(), bytes->end()) : std::string();
        }
        return dumps;
    }

    static int LiveSystems(const std::string& dump) {
        const std::string key = "\"particles\": ";
        const size_t at = dump.find(key);
        return at == std::string::npos ? -1 : std::stoi(dump.substr(at + key.size()));
    }
    static int Count(const std::string& text, const std::string& what) {
        int n = 0;
        for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
            ++n;
        return n;
    }
    static int Sprites(const std::string& dump, const std::string& cls) {
        return Count(dump, "{\"class\": \"" + cls + "\"");
    }

    testing::TempFolder home_;
    std::string extra_;
};

// The level's own systems: one for each particle object of location 1.
constexpr int kLocationSystems = 3;

TEST_F(EffectsReplay, ABrokenWallBurstsAndSplintersAndItsSystemsAllEnd) {
    // The wall breaks while the three birds of the line fly away.
    uint64_t hit = 0;
    const auto dumps =
        Play("30 drag 1 1 2 1\n", 700, {20, 100, 101, 140, 699}, [&hit](uint64_t tick) {
            if (tick == 100) {
                HitWall({1, 2});
                HitWall({3, 2});
                hit = tick;
            }
        });
    ASSERT_EQ(hit, 100u) << "the level was not on screen by tick 100";
    const int baseline = LiveSystems(dumps.at(20));
    EXPECT_EQ(baseline, kLocationSystems);

    const std::string& burst = dumps.at(101);
    EXPECT_EQ(Count(burst, "\"image\": \"bonus_1_wall_exp_fx_1.image\""), 2) << burst;
    EXPECT_EQ(Sprites(burst, "TSplinterSprite"), 6);
    EXPECT_EQ(Count(burst, "\"image\": \"loc01_wall_1_exp1.image\""), 6);
    // The strong wall flashes a fading copy of itself and stays, weakened.
    EXPECT_EQ(Sprites(burst, "TSpriteAnimationFx"), 3);
    EXPECT_EQ(Count(burst, "\"strength\": 1"), 1);
    EXPECT_EQ(Count(burst, "\"strength\": 2"), 0);
    // The fly-away trails are systems of their own.
    EXPECT_GT(LiveSystems(dumps.at(100)), baseline);

    // Some time later the effects are over and only the location's systems are left.
    const std::string& after = dumps.at(699);
    EXPECT_EQ(Sprites(after, "TSpriteAnimationFx"), 0) << after;
    EXPECT_EQ(Sprites(after, "TSplinterSprite"), 0);
    EXPECT_EQ(Sprites(after, "TParticleFxAnimation"), 0);
    EXPECT_EQ(LiveSystems(after), baseline);
}

TEST_F(EffectsReplay, ARestartAmidEffectsLeavesOnlyTheNewLevelsSystems) {
    // The three birds of the line fly away with their trails, the walls have just broken,
    // and the level restarts.
    bool restarted = false;
    const auto dumps = Play("30 drag 1 1 2 1\n", 140, {20, 99, 101}, [&restarted](uint64_t tick) {
        if (tick == 98) {
            HitWall({1, 2});
            HitWall({3, 2});
        }
        if (tick == 100) restarted = RestartLevel();
    });
    ASSERT_TRUE(restarted);
    const std::string& amid = dumps.at(99);
    EXPECT_GT(LiveSystems(amid), LiveSystems(dumps.at(20))) << amid;
    EXPECT_GT(Sprites(amid, "TSpriteAnimationFx"), 0);

    const std::string& fresh = dumps.at(101);
    EXPECT_EQ(LiveSystems(fresh), kLocationSystems) << fresh;
    EXPECT_EQ(Sprites(fresh, "TSpriteAnimationFx"), 0);
    EXPECT_EQ(Sprites(fresh, "TParticleFxAnimation"), 0);
    // The level is whole again: both walls stand at full strength.
    EXPECT_NE(fresh.find("\"strength\": 2"), std::string::npos);
}

} // namespace
} // namespace bw
