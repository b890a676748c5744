// The films as a player meets them: a new player's start sign plays the intro behind its
// loading screen, a click skips it only once it has run a moment, and the story then counts
// as begun; winning the last level plays the outro, which ends in the credits over the menu.
#include "audio/SoundEngine.h"
#include "base/GameObjects.h"
#include "base/GameState.h"
#include "base/SceneTransition.h"
#include "board/Board.h"
#include "board/LevelData.h"
#include "cutscene/CutScene.h"
#include "ingame/Dialogs.h"
#include "ingame/LevelResult.h"
#include "meta/Profile.h"
#include "meta/ProfileFile.h"
#include "platform/Files.h"
#include "render/DisplayState.h"
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

bool InScene(uint8_t scene) {
    return CurrentScene == scene && !TransitionVisible();
}

bool Playing() {
    return InScene(scene_Video) && CutSceneState().Running;
}

class CutSceneRoad : public ::testing::Test {
protected:
    void SetUp() override {
        if (!FileExists(JoinPath(kData, "Video_1.dan"))) GTEST_SKIP() << "no data built";
    }

    void Play(Road& road, ReplaySettings rs, std::function<void()> watch = {}) {
        rs.home = home_.Path();
        rs.data = kData;
        // 4:3, so that the film's screen mode (bars above and below) differs from the game's.
        rs.size = {640, 480};
        rs.ticks = 20000;
        rs.beforeTick = [&, watch](uint64_t) {
            if (watch) watch();
        };
        testing::WalkRoad(road, rs);
    }

    testing::TempFolder home_;
};

TEST_F(CutSceneRoad, AClickSkipsTheIntroOnlyAfterItsFirstMomentAndOnlyOnce) {
    int transitionsStarted = 0;
    bool wasVisible = false;
    long ticksAtSkip = -1;
    int sceneAtSkip = -1;
    Road road({
        {"the intro's first ticks", [] { return Playing() && CutSceneState().Ticks >= 5; },
         "+5 click\n+20 click\n+20 key escape\n"},
        {"still the first scene after those clicks",
         [] { return Playing() && CutSceneState().Ticks >= 55; }, "",
         [] {
             EXPECT_FALSE(TransitionVisible()) << "a click in the first 50 ticks skipped";
             EXPECT_EQ(CutSceneState().CutSceneIndex, 0);
             // The film shows all 1920 columns between bars above and below.
             EXPECT_LT(WorldOffset.y, 0);
             EXPECT_EQ(WorldOffset.x, 0);
             EXPECT_FALSE(Player.GameWasStarted);
             EXPECT_TRUE(SoundInCutScene) << "the film's sounds pause with the window";
         }},
        {"the second scene", [] { return Playing() && CutSceneState().CutSceneIndex == 1; },
         "+10 click\n+20 click\n+5 click\n+20 key escape\n"},
        {"the first level's loading screen", [] { return CurrentScene == scene_Loaded; },
         "+1 click\n",
         [&] {
             EXPECT_EQ(SceneAfterLoading, scene_Level);
             EXPECT_EQ(sceneAtSkip, 1);
             EXPECT_EQ(WorldOffset.y, 0) << "the game's screen mode is back";
             EXPECT_TRUE(Player.GameWasStarted);
             EXPECT_FALSE(CutSceneState().Running);
             EXPECT_FALSE(SoundInCutScene);
         }},
        {"level 1", [] { return InScene(scene_Level); }, ""},
    });
    ReplaySettings rs;
    rs.film = VideoIntro;
    Play(road, rs, [&] {
        const bool visible = TransitionVisible();
        if (visible && !wasVisible) {
            ++transitionsStarted;
            ticksAtSkip = CutSceneState().Ticks;
            sceneAtSkip = CutSceneState().CutSceneIndex;
            EXPECT_EQ(TransitionSprite ? TransitionSprite->FKind : fl_None, fl_video_GoTo_Game);
        }
        wasVisible = visible;
    });
    EXPECT_GT(ticksAtSkip, 50);
    EXPECT_EQ(transitionsStarted, 1) << "four clicks, one fade";
}

TEST_F(CutSceneRoad, TheStartSignPlaysTheIntroOnceAndThenLeadsToTheMap) {
    std::string profile;
    Road road({
        {"the first loading screen", [] { return CurrentScene == scene_Loaded; }, "+1 click\n"},
        {"the name entry", [] { return InScene(scene_EnterName); }, "+1 key enter\n"},
        {"the main menu", [] { return InScene(scene_MainMenu); },
         "+80 click TMM_MainMenu_Buttons_StartGame\n"},
        {"the films' loading screen", [] { return CurrentScene == scene_Loaded; }, "+1 click\n",
         [] { EXPECT_EQ(SceneAfterLoading, scene_Video); }},
        {"the intro, once the fade is gone", [] { return Playing() && CutSceneSkippable(); },
         "+10 key escape\n"},
        {"the first level's loading screen", [] { return CurrentScene == scene_Loaded; },
         "+1 click\n",
         [&] {
             EXPECT_EQ(SceneAfterLoading, scene_Level);
             profile = Player.FileName;
         }},
        // Level 1 opens with Cherry's lines and the mission's pop-up; Escape moves each on, as
        // a click does, and then opens the in-game menu.
        {"level 1",
         [] { return InScene(scene_Level) || InScene(scene_InGameMenu); },
         "+40 key escape\n",
         {},
         [] { return CurrentScene != scene_InGameMenu; }},
        {"the in-game menu", [] { return InScene(scene_InGameMenu); },
         "+45 click button_IGM_Map\n+20 click button_Msg_Yes\n"},
        {"the map", [] { return InScene(scene_Map); }, "+30 click button_Map_Menu\n"},
        {"the main menu again", [] { return InScene(scene_MainMenu); },
         "+80 click TMM_MainMenu_Buttons_StartGame\n+1 expect transition.kind == fl_mm_Map\n"},
        {"the map from the start sign", [] { return InScene(scene_Map); }, ""},
    });
    ReplaySettings rs;
    rs.quickStart = true;
    Play(road, rs);
    ASSERT_FALSE(profile.empty());
    EXPECT_TRUE(SavedPlayer(home_, profile).GameWasStarted);
}

TEST_F(CutSceneRoad, WinningTheLastLevelPlaysTheOutroThenTheCreditsThenTheMenu) {
    // Two levels, each one drag: a key beside a cage.
    auto keyBesideCage = [](const std::string& name) {
        testing::FixtureLevel level{name, {"k.n.1", "2...3", "4.5.6"}, 0};
        level.mission = "mission_nestlings";
        return level;
    };
    const testing::FixtureLevel first = keyBesideCage("fx_one"), last = keyBesideCage("fx_two");
    const std::string extra = home_.File("two.dan");
    testing::WriteArchive(extra, {{"Levels.xml", testing::LevelListXml({first, last})},
                                  {"fx_one.xml", testing::LevelFileXml(first)},
                                  {"fx_two.xml", testing::LevelFileXml(last)}});
    auto atRest = [] {
        return InScene(scene_Level) && !LevelFinished && !ResultDelayActive && !IsResultShown() &&
               !testing::BoardBusy();
    };
    auto resultButtons = [] {
        const ResultStages* stages = ResultState();
        return stages && stages->ButtonsVisible() && !TransitionVisible();
    };
    int scenesSeen = 0;
    Road road({
        {"the first level", atRest, "+0 drag 1 1 3 1\n"},
        {"its result", resultButtons, "+0 click button_Result_Continue\n"},
        {"the last level", [=] { return atRest() && Player.Level == 1; }, "+0 drag 1 1 3 1\n"},
        {"its result", resultButtons, "+0 click button_Result_Continue\n"},
        {"the outro's loading screen", [] { return CurrentScene == scene_Loaded; }, "+1 click\n",
         [] {
             EXPECT_EQ(SceneAfterLoading, scene_Video);
             EXPECT_FALSE(CutSceneState().Running) << "the film waits for its pictures";
             EXPECT_TRUE(Player.GameWasCompleted);
         }},
        {"the outro", Playing, "",
         [] {
             EXPECT_EQ(CutSceneState().CutSceneVideo, VideoOutro);
             EXPECT_LT(WorldOffset.y, 0);
         }},
        {"the credits, when the outro has run its course", [] { return InScene(scene_Credits); },
         "+30 click button_MM_Credits_Back\n",
         [&] {
             EXPECT_EQ(scenesSeen, 4) << "every scene of the outro was shown";
             EXPECT_EQ(WorldOffset.y, 0);
         }},
        {"the main menu", [] { return InScene(scene_MainMenu); }, "+1 wait 1\n"},
    });
    ReplaySettings rs;
    rs.extraArchives = {extra};
    rs.startLevel = 1;
    bool made = false;
    Play(road, rs, [&] {
        if (!made) {
            NewProfile("Tester", "t.sav");
            ResizeLevelStates();
            Player.GameWasStarted = true;
            SaveProfile();
            made = true;
        }
        if (CurrentScene == scene_Video && CutSceneState().Running)
            scenesSeen = std::max(scenesSeen, CutSceneState().CutSceneIndex + 1);
    });
    const TPlayer saved = SavedPlayer(home_);
    EXPECT_TRUE(saved.GameWasCompleted);
    EXPECT_TRUE(saved.GameWasStarted);
}

TEST_F(CutSceneRoad, AFilmWithoutItsPicturesEndsAtOnceInTheLevel) {
    // The intro's archive has gone missing: the film has nothing to show and leads on.
    TKilnArchive* saved = nullptr;
    Road road({
        {"the first loading screen", [] { return CurrentScene == scene_Loaded; }, "+1 click\n"},
        {"the name entry", [] { return InScene(scene_EnterName); }, "+1 key enter\n"},
        {"the main menu", [] { return InScene(scene_MainMenu); },
         "+80 click TMM_MainMenu_Buttons_StartGame\n"},
        {"the films' loading screen", [] { return CurrentScene == scene_Loaded; }, "+1 click\n"},
        {"the level's loading screen",
         [] { return CurrentScene == scene_Loaded && SceneAfterLoading == scene_Level; },
         "+1 click\n", [] { EXPECT_EQ(SceneAfterLoading, scene_Level); }},
        {"level 1", [] { return InScene(scene_Level); }, "",
         [] { EXPECT_TRUE(Player.GameWasStarted); }},
    });
    ReplaySettings rs;
    rs.quickStart = true;
    Play(road, rs, [&] {
        if (!saved && Archives.Videos[1]) {
            saved = Archives.Videos[1];
            Archives.Videos[1] = nullptr;
        }
        if (saved && CurrentScene == scene_Level) {
            Archives.Videos[1] = saved;
        }
    });
}

} // namespace
} // namespace bw
