// The road through the game, played as a player plays it: real drags win a level, the
// result's buttons lead on, a level that is not in the data sends the player back to the map
// with a notice, and the last level's win completes the game.
//
// Each road is a list of steps: a step waits until the game shows what the player waits
// for (the board at rest, the result's buttons, a scene, a notice), then acts with script
// lines (drags, clicks on buttons by name, expectations on the state dump).
#include "audio/SoundEngine.h"
#include "base/GameState.h"
#include "base/SceneTransition.h"
#include "board/Board.h"
#include "board/LevelData.h"
#include "board/PathFinder.h"
#include "effects/ParticleManager.h"
#include "gui/ButtonSprites.h"
#include "gui/MessageBox.h"
#include "ingame/LevelPanels.h"
#include "ingame/LevelResult.h"
#include "meta/Awards.h"
#include "meta/Profile.h"
#include "meta/ProfileFile.h"
#include "platform/Files.h"
#include "replay/Replay.h"
#include "support/BoardWatch.h"
#include "support/LevelFixture.h"
#include "support/Road.h"
#include "support/SavedPlayer.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace bw {
namespace {

const std::string kData = std::string(BW_TEST_BINARY_DIR) + "/Data";

using testing::Road;
using testing::SavedPlayer;

// Every road here gives each screen a few quiet ticks before it acts.
constexpr int kQuietTicks = 8;

bool BoardAtRest() {
    return CurrentScene == scene_Level && !TransitionVisible() && !LevelFinished &&
           !ResultDelayActive && !IsResultShown() && !BoardLost && !testing::BoardBusy();
}

bool ResultButtonsUp() {
    const ResultStages* stages = ResultState();
    return stages && stages->ButtonsVisible() && !TransitionVisible();
}

bool InScene(uint8_t scene) {
    return CurrentScene == scene && !TransitionVisible();
}

// The map with the notice that level `level` (1-based) cannot be played.
bool NoticeOnMap(int level) {
    if (!InScene(scene_Map) || !MessageShown()) return false;
    // The lines are justified: words stand apart by one space or more.
    std::string text;
    for (const std::string& line : ShownMessageLines())
        for (char c : line + " ")
            if (c != ' ' || (!text.empty() && text.back() != ' ')) text += c;
    return text.find("Level " + std::to_string(level) + " ") != std::string::npos;
}

// A bird of the board that can fly somewhere: the first such move, as a drag line.
std::string AnyBirdMove() {
    BoardSnapshot s = TakeBoardSnapshot();
    s.Dragged = drag_Bird;
    for (int fx = 1; fx <= 16; ++fx)
        for (int fy = 1; fy <= 16; ++fy) {
            const BirdState& b = s.Birds[fx][fy];
            if (!b.Visible || b.Bounded || b.Egg) continue;
            for (TCoord2 to : FindFreeCells())
                if (FindPath(s, {fx, fy}, to).PathWasFind)
                    return "+0 drag " + std::to_string(fx) + " " + std::to_string(fy) + " " +
                           std::to_string(to.x) + " " + std::to_string(to.y) + "\n";
        }
    ADD_FAILURE() << "no bird can move";
    return "";
}

// A new player who has won the first `won` levels.
void NewPlayer(int won) {
    NewProfile("Tester", "t.sav");
    ResizeLevelStates();
    for (int i = 0; i < won; ++i) Player.Levels[static_cast<size_t>(i)].FStatus = LevelWon;
    SaveProfile();
}

// Where the first sprite that `is` picks stands in the main engine's drawing order; -1.
int DrawPlace(const std::function<bool(const TSprite&)>& is) {
    const std::vector<TSprite*>& order = MainEngine->DrawItems();
    for (size_t i = 0; i < order.size(); ++i)
        if (!order[i]->FDeaded && is(*order[i])) return static_cast<int>(i);
    return -1;
}

// The level's Menu button is drawn over the task panel, wherever the panel has slid.
bool MenuButtonOverTaskPanel() {
    const int menu = DrawPlace([](const TSprite& s) {
        const auto* b = dynamic_cast<const TGlowButtonSprite*>(&s);
        return b && b->ButtonName() == button_Game_Menu;
    });
    const int task =
        DrawPlace([](const TSprite& s) { return s.FImageName == "Panel_Task2_panel.image"; });
    return menu >= 0 && task >= 0 && menu > task;
}

int LiveSystemsNamed(const std::string& name) {
    TXParticleManager* manager = ParticleManager();
    const int index = manager ? manager->IndexOf(name) : -1;
    if (index < 0) return 0;
    const std::string& uid = manager->Settings(index).Uid;
    int count = 0;
    for (int i = 0; i < manager->FSysCount; ++i)
        if (manager->System(i)->FSettings.Uid == uid) ++count;
    return count;
}

class LevelRoad : public ::testing::Test {
protected:
    void SetUp() override {
        if (!FileExists(JoinPath(kData, "tData_Levels.dan"))) GTEST_SKIP() << "no data built";
    }

    // Runs the road from level `level` (1-based) for a player who won the levels before
    // `won`; `watch` looks at the game before every tick.
    void Play(Road& road, int level, int won, const std::vector<std::string>& extra = {},
              std::function<void()> watch = {}) {
        ReplaySettings rs;
        rs.home = home_.Path();
        rs.data = kData;
        rs.extraArchives = extra;
        rs.startLevel = level;
        rs.size = {480, 270};
        rs.ticks = 20000;
        rs.beforeTick = [&](uint64_t tick) {
            if (tick == 1) NewPlayer(won);
            if (watch) watch();
        };
        testing::WalkRoad(road, rs);
    }

    testing::TempFolder home_;
};

// A key beside a one-chain cage: one drag frees the nestling and wins.
testing::FixtureLevel KeyBesideCage(const std::string& name) {
    testing::FixtureLevel level{name, {"k.n.1", "2...3", "4.5.6"}, 0};
    level.mission = "mission_nestlings";
    return level;
}

// A hamburger and a boss that one hamburger puts to sleep.
testing::FixtureLevel HungryBoss(const std::string& name) {
    testing::FixtureLevel level{name, {"h.....1", "......2", "3.....4"}, 0};
    level.mission = "mission_boss_1";
    level.boss = "    <Boss Kind=\"1\" X=\"4\" Y=\"2\" Health=\"1\"/>\n";
    return level;
}

TEST_F(LevelRoad, LevelOneWonByItsMovesLeadsOnToLevelTwoWithItsAmbience) {
    const std::string wait = "+0 expect level.LevelFinished == false\n";
    bool ambienceInLevelTwo = false;
    Road road(
        {
            {"level 1", BoardAtRest, "+0 drag 8 3 6 3\n"},
            {"the first key", BoardAtRest, "+0 drag 7 5 4 4\n"},
            {"a red bird", BoardAtRest, "+0 drag 7 8 9 8\n"},
            {"the second key", BoardAtRest, "+0 drag 6 10 11 8\n"},
            {"the won result", ResultButtonsUp,
             wait + "+0 expect layers.result.buttons[0] == button_Result_Continue\n"
                    "+0 click button_Result_Continue\n"},
            {"level 2", [] { return BoardAtRest() && Player.Level == 1; }, "", {}, {}, AnyBirdMove},
            {"level 2 after its first move",
             [&] {
                 const TAmbienceNilSprite* loop =
                     AmbienceSprite(LocationAmbienceLoop(LevelsList[1].Location));
                 ambienceInLevelTwo = ambienceInLevelTwo || (loop && !loop->FStoped);
                 return Player.Level == 1 && Player.LevelMoves == 1 && !testing::BoardBusy();
             },
             "+1 expect scene == scene_Level\n"},
        },
        kQuietTicks);
    bool menuHidden = false;
    // The awards checked in level 1: the longest run as its first match grows it (through the
    // board's host), then the score and the tasks as the win is recorded.
    std::vector<int> awards;
    AwardCheckWatcher() = [&](AwardIndex award) {
        if (Player.Level == 0) awards.push_back(award);
    };
    Play(road, 1, 0, {}, [&] {
        if (CurrentScene == scene_Level && LevelInterfaceExists() && !MenuButtonOverTaskPanel())
            menuHidden = true;
    });
    AwardCheckWatcher() = nullptr;
    EXPECT_FALSE(menuHidden) << "the task panel slid over the Menu button";
    ASSERT_GE(awards.size(), 3u);
    EXPECT_EQ(awards.front(), AwardMaxCombo);
    EXPECT_EQ(std::vector<int>(awards.end() - 2, awards.end()),
              (std::vector<int>{AwardScore, AwardCompletedTasks}));
    EXPECT_TRUE(ambienceInLevelTwo) << "the next level starts its location's ambience";
    const TPlayer saved = SavedPlayer(home_);
    ASSERT_GE(saved.Levels.size(), 2u);
    EXPECT_GE(saved.Levels[0].FStatus, LevelWon);
}

TEST_F(LevelRoad, EachResultButtonLeadsOnAfterANestlingAndABossWin) {
    const std::string extra = home_.File("missions.dan");
    testing::WriteArchive(extra,
                          {{"level_01.xml", testing::LevelFileXml(KeyBesideCage("level_01"))},
                           {"level_02.xml", testing::LevelFileXml(HungryBoss("level_02"))}});
    int eggFxLeftOver = 0;
    int eggFxSeen = 0;
    Road road(
        {
            {"the nestling level", BoardAtRest, "+0 drag 1 1 3 1\n"},
            {"its result", ResultButtonsUp,
             "+0 expect layers.result.name == result_task_completed\n"
             "+0 click button_Result_Continue\n"},
            {"the boss level", [] { return BoardAtRest() && Player.Level == 1; },
             "+0 drag 1 1 4 2\n"},
            {"its first result", ResultButtonsUp,
             "+0 expect layers.result.buttons[1] == button_Result_Restart\n"
             "+0 click button_Result_Restart\n"},
            {"the boss level again",
             [] { return BoardAtRest() && Player.Level == 1 && Player.LevelMoves == 0; },
             "+0 drag 1 1 4 2\n"},
            {"its second result", ResultButtonsUp,
             "+0 expect layers.result.buttons[0] == button_Result_Restart\n"
             "+0 expect layers.result.buttons[1] == button_Result_Exit\n"
             "+0 click button_Result_Exit\n"},
            {"the map", [] { return InScene(scene_Map); }, "+0 expect music contains Map.ogg\n"},
        },
        kQuietTicks);
    Play(road, 1, 0, {extra}, [&] {
        const int live = LiveSystemsNamed("Result_message_Gold_egg_Fx_1.xml");
        if (IsResultShown()) eggFxSeen = std::max(eggFxSeen, live);
        if (!IsResultShown()) eggFxLeftOver = std::max(eggFxLeftOver, live);
    });
    EXPECT_GE(eggFxSeen, 1) << "the won result shows its egg's glitter";
    EXPECT_EQ(eggFxLeftOver, 0) << "the glitter goes with the result";
    const TPlayer saved = SavedPlayer(home_);
    ASSERT_GE(saved.Levels.size(), 2u);
    EXPECT_EQ(saved.Levels[0].FStatus, LevelWonWithTask);
    EXPECT_EQ(saved.Levels[1].FStatus, LevelWonWithTask);
}

TEST_F(LevelRoad, TheResultShowsTheVerdictTheWinRecorded) {
    // A task of no moves at all fails with the first move; whatever moves its counter while
    // the won result waits to show does not turn the egg gold.
    testing::FixtureLevel level = KeyBesideCage("level_01");
    level.task = "Index=\"2\" Value=\"0\" AdditionalValue=\"0\"";
    const std::string extra = home_.File("verdict.dan");
    testing::WriteArchive(extra, {{"level_01.xml", testing::LevelFileXml(level)}});
    Road road(
        {
            {"the level", BoardAtRest, "+0 drag 1 1 3 1\n"},
            {"its result", ResultButtonsUp,
             "+0 expect layers.result.name == result_task_uncompleted\n"
             "+0 expect level.TaskCompleted == false\n"
             "+0 click button_Result_Restart\n"},
            {"the level again", BoardAtRest, "+0 expect level.LevelMoves == 0\n"},
        },
        kQuietTicks);
    Play(road, 1, 0, {extra}, [] {
        if (ResultDelayActive) Player.LevelMoves = 0;
    });
    EXPECT_EQ(SavedPlayer(home_).Levels[0].FStatus, LevelWon);
}

TEST_F(LevelRoad, ALevelMissingFromTheDataSendsThePlayerToTheMapWithANotice) {
    // Level 1 is one drag; level 2 is listed but has no file (yet).
    const testing::FixtureLevel first = KeyBesideCage("fx_first");
    testing::FixtureLevel unwritten;
    unwritten.name = "fx_unwritten";
    const std::string extra = home_.File("unwritten.dan");
    testing::WriteArchive(extra, {{"Levels.xml", testing::LevelListXml({first, unwritten})},
                                  {"fx_first.xml", testing::LevelFileXml(first)}});
    Road road(
        {
            {"level 1", BoardAtRest, "+0 drag 1 1 3 1\n"},
            {"its result", ResultButtonsUp, "+0 click button_Result_Continue\n"},
            {"the notice on the map", [] { return NoticeOnMap(2); },
             "+0 expect layers.message.name == message_default\n"
             "+0 click button_Msg_Continue\n"},
            {"the map without the notice", [] { return InScene(scene_Map) && !MessageShown(); },
             "+0 click button_Map_Start\n"},
            {"the notice again, the map still there", [] { return NoticeOnMap(2); },
             "+0 expect map exists\n+0 click button_Msg_Continue\n"},
            {"the map once more", [] { return InScene(scene_Map) && !MessageShown(); },
             "+0 click button_Map_Level 1\n"},
            {"level 1 from its nest", [] { return BoardAtRest() && Player.Level == 0; },
             "+0 expect scene == scene_Level\n"},
        },
        kQuietTicks);
    Play(road, 1, 0, {extra});
}

TEST_F(LevelRoad, WinningTheLastLevelCompletesTheGameAndTheCreditsFollow) {
    const testing::FixtureLevel last = KeyBesideCage("fx_last");
    const std::string extra = home_.File("last.dan");
    testing::WriteArchive(extra, {{"Levels.xml", testing::LevelListXml({last})},
                                  {"fx_last.xml", testing::LevelFileXml(last)}});
    Road road(
        {
            {"the last level", BoardAtRest, "+0 drag 1 1 3 1\n"},
            {"its result", ResultButtonsUp,
             "+0 expect layers.result.buttons[0] == button_Result_Continue\n"
             "+0 click button_Result_Continue\n"},
            {"the outro's pictures loaded", [] { return CurrentScene == scene_Loaded; },
             "+1 click\n"},
            {"the credits after the outro", [] { return InScene(scene_Credits); },
             "+0 expect player.GameWasCompleted == true\n+0 click button_MM_Credits_Back\n"},
            {"the main menu", [] { return InScene(scene_MainMenu); }, "+1 wait 1\n"},
        },
        kQuietTicks);
    Play(road, 1, 0, {extra});
    EXPECT_TRUE(SavedPlayer(home_).GameWasCompleted);
}

} // namespace
} // namespace bw
