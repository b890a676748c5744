// The road from start-up into play, run as whole-screen replays of the real game on the built
// data: the splash, the first loading screen, the fade, a location's own loading screen.
#include "app/GameWiring.h"
#include "app/LoadingScreen.h"
#include "app/MainForm.h"
#include "app/Splash.h"
#include "base/GameObjects.h"
#include "base/GameOptions.h"
#include "base/GameState.h"
#include "base/ResourceLoading.h"
#include "base/SceneTransition.h"
#include "board/Board.h"
#include "data/KilnImages.h"
#include "ingame/Dialogs.h"
#include "ingame/LevelPanels.h"
#include "ingame/LevelScene.h"
#include "meta/Profile.h"
#include "platform/Events.h"
#include "platform/Files.h"
#include "platform/Log.h"
#include "platform/PictureFile.h"
#include "replay/Replay.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace bw {
namespace {

const std::string kData = std::string(BW_TEST_BINARY_DIR) + "/Data";

ReplaySettings Settings(const testing::TempFolder& home, const std::string& script) {
    ReplaySettings rs;
    rs.home = home.Path();
    rs.data = kData;
    rs.size = {480, 270};
    rs.ticks = 3000;
    std::string error;
    EXPECT_TRUE(ParseReplayScript(script, rs.events, error)) << error;
    return rs;
}

std::string ReadText(const std::string& path) {
    const auto bytes = ReadWholeFile(path);
    return bytes ? std::string(bytes->begin(), bytes->end()) : std::string();
}

std::string Dump(const testing::TempFolder& home, const std::string& name) {
    return ReadText(home.File(name));
}

bool Has(const std::string& dump, const std::string& text) {
    return dump.find(text) != std::string::npos;
}

// The tick a dump was taken at.
int TickOf(const std::string& dump) {
    const size_t at = dump.find("\"tick\": ");
    return at == std::string::npos ? -1 : std::stoi(dump.substr(at + 8));
}

// The pixels of the band of the screen where the click prompt pulses.
std::vector<uint32_t> PromptBand(const std::string& file) {
    Picture p;
    if (!LoadPictureFile(file, p)) return {};
    std::vector<uint32_t> band;
    for (int y = 240; y < 260; ++y)
        for (int x = 160; x < 320; ++x)
            band.push_back(p.argb[static_cast<size_t>(y * p.width + x)]);
    return band;
}

TEST(StartFlow, AFirstStartRunsTheWholeSplashThenLoadsAndAClickFadesIntoTheGame) {
    // Escape and clicks all through the splash: a first start cannot shorten it.
    int splashEnd[2] = {0, 0};
    for (int skipping = 0; skipping < 2; ++skipping) {
        testing::TempFolder home;
        std::string script;
        if (skipping)
            for (int t = 40; t < 500; t += 40)
                script += std::to_string(t) + " key escape\n" + std::to_string(t + 5) + " click\n";
        script += "+0 wait scene scene_Loaded 2000\n+0 dump " + home.File("loaded.json") + "\n";
        ReplayResult r = RunReplay(Settings(home, script + "+1 expect scene == scene_Loaded\n"));
        ASSERT_TRUE(r.ok) << r.error;
        splashEnd[skipping] = TickOf(Dump(home, "loaded.json"));
    }
    EXPECT_GT(splashEnd[0], 600) << "the game's logo and the studio logo both ran";
    EXPECT_EQ(splashEnd[0], splashEnd[1]);

    testing::TempFolder home;
    const ReplayResult r = RunReplay(Settings(
        home,
        "0 wait scene scene_Loaded 2000\n+0 dump " + home.File("first.json") +
            "\n+0 expect loading.percent == "
            "100\n+0 expect loading.bar_width == 470\n+0 expect loading.version == true\n"
            "+0 expect loading.progress_frames > 10\n"
            "+10 shot " +
            home.File("pulse1.png") + "\n+30 shot " + home.File("pulse2.png") +
            "\n"
            // A click fades from black into the main menu, where a first start asks for
            // the player's name once the fade is done.
            "+1 click\n+1 expect transition.kind == fl_ExitLoadingLogo\n"
            "+0 expect transition.brightness == 255\n"
            "+0 wait scene scene_EnterName 400\n+0 expect transition.visible == false\n"
            "+1 key enter\n+1 expect scene == scene_MainMenu\n"
            // The start sign takes a new player into the story: the films' pictures load
            // behind their own screen, the intro plays until Escape skips it, then its
            // first level's location loads behind its own screen (no version line there),
            // and a click there starts the level.
            "+80 click TMM_MainMenu_Buttons_StartGame\n+1 expect transition.kind == fl_Intro\n"
            "+200 expect scene == scene_Loaded\n+0 expect loading.after == scene_Video\n"
            "+1 click\n+1 expect scene == scene_Video\n+200 key escape\n"
            "+1 expect transition.kind == fl_video_GoTo_Game\n"
            "+200 expect scene == scene_Loaded\n+0 expect loading.after == scene_Level\n"
            "+0 expect loading.version == false\n"
            "+1 click\n+1 expect scene == scene_Level\n+0 expect transition.visible == true\n"
            "+0 wait scene scene_Level 200\n+0 expect transition.visible == false\n"
            "+0 expect player.Level == 0\n"));
    ASSERT_TRUE(r.ok) << r.error;
    const std::string first = Dump(home, "first.json");
    EXPECT_TRUE(Has(first, "\"scene\": \"scene_Loaded\"")) << first;
    // The prompt pulses.
    const std::vector<uint32_t> a = PromptBand(home.File("pulse1.png"));
    const std::vector<uint32_t> b = PromptBand(home.File("pulse2.png"));
    ASSERT_FALSE(a.empty());
    EXPECT_NE(a, b);
    // The options now say the game was reached, so the next start may skip the splash.
    EXPECT_TRUE(Has(ReadText(home.File("Game.ini")), "Fs=0"));
}

TEST(StartFlow, ALaterStartMaySkipTheSplash) {
    testing::TempFolder home;
    testing::WriteWholeFile(home.File("Game.ini"), "[OPTIONS]\nFs=0\n");
    std::string script;
    // Each Escape cuts the running part short: the game's logo, then the studio logo twice.
    for (int t = 40; t <= 180; t += 20) script += std::to_string(t) + " key escape\n";
    script += "+0 wait scene scene_Loaded 2000\n+0 dump " + home.File("loaded.json") + "\n";
    const ReplayResult r = RunReplay(Settings(home, script));
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_LT(TickOf(Dump(home, "loaded.json")), 350);
}

// The real game on virtual time, driven directly: a level of a location that is already loaded
// starts at once, and a fade swallows the player's input.
class LoadedLocation : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        LaunchSettings ls;
        ls.homeFolder = home_.Path();
        ls.dataFolder = kData;
        ls.virtualTime = true;
        ls.seed = 3;
        ls.fullScreen = true;
        ls.desktopSize = TPoint2px{960, 540};
        ls.visibleWindow = false;
        Player = TPlayer{};
        WireGame();
        SetLogListener([this](const std::string& line) { lines_.push_back(line); });
        form_ = std::make_unique<TMainForm>(ls);
        ASSERT_TRUE(form_->Start());
        form_->StepFrame(1, {}, false);
        ASSERT_EQ(CurrentScene, scene_Splash);
        DestroySplash();
        FinishStartup();
        ASSERT_EQ(CurrentScene, scene_Loaded);
    }
    void TearDown() override {
        SetLogListener(nullptr);
        form_.reset();
        UnwireGame();
    }
    int LocationLoads() const {
        return static_cast<int>(std::count_if(lines_.begin(), lines_.end(), [](const auto& l) {
            return l.find("Loading \"Data/Loc_1.dan\"...") != std::string::npos;
        }));
    }
    void Press(int x, int y) {
        PlatformEvent e;
        e.type = EventType::MouseMove;
        e.x = x;
        e.y = y;
        form_->Dispatch(e);
        e.type = EventType::MouseDown;
        e.button = static_cast<int>(MouseButton::Left);
        form_->Dispatch(e);
    }

    testing::TempFolder home_;
    std::vector<std::string> lines_;
    std::unique_ptr<TMainForm> form_;
};

TEST_F(LoadedLocation, ItsSecondLevelAndARestartNeedNoLoadingScreen) {
    // The first level of the location reads its pictures behind a screen of their own.
    ASSERT_TRUE(PlayLevel(0));
    EXPECT_EQ(CurrentScene, scene_Loaded);
    EXPECT_EQ(SceneAfterLoading, scene_Level);
    EXPECT_TRUE(LocationResourcesLoaded(1));
    LeaveLoadingScreen();
    EXPECT_EQ(CurrentScene, scene_Level);
    EXPECT_EQ(LocationLoads(), 1);

    // The next level of the same location starts at once.
    ASSERT_TRUE(PlayLevel(1));
    EXPECT_EQ(CurrentScene, scene_Level);
    EXPECT_EQ(Player.Level, 1);

    // So does a restart through the fade: dark, rebuilt, clear, never a loading screen.
    StartTransition(fl_Game_RestartLevel, FadeSpeedFast);
    bool sawLoading = false;
    for (int i = 0; i < 60; ++i) {
        form_->StepFrame(1, {}, false);
        sawLoading = sawLoading || CurrentScene == scene_Loading || CurrentScene == scene_Loaded;
    }
    EXPECT_FALSE(sawLoading);
    EXPECT_EQ(CurrentScene, scene_Level);
    EXPECT_FALSE(TransitionVisible());
    EXPECT_EQ(LocationLoads(), 1);
}

// The splash's pictures are read at every start and drawn by nothing else: they go when the
// first loading screen is left; the loading screen's own stay for the locations.
TEST_F(LoadedLocation, TheSplashPicturesGoWithTheFirstLoadingScreen) {
    ASSERT_NE(Images->GetImage("logo1.image"), nullptr);
    SceneAfterLoading = scene_MainMenu;
    LeaveLoadingScreen();
    form_->StepFrame(1); // drawn: the dead splash sprites go before their pictures do
    form_->StepFrame(60);
    EXPECT_EQ(Images->GetImage("logo1.image"), nullptr);
    EXPECT_EQ(Images->GetImage("logo3.image"), nullptr);
    ASSERT_TRUE(PlayLevel(0));
    EXPECT_EQ(CurrentScene, scene_Loaded); // the loading screen draws as before
    form_->StepFrame(1);
    LeaveLoadingScreen();
    EXPECT_EQ(CurrentScene, scene_Level);
}

// A whole game holds the pictures of two locations at most: the one played and the one before.
// A location left two locations ago is read again behind the loading screen, whole, and its
// level plays and draws as before.
TEST_F(LoadedLocation, LocationsLeftTwoLocationsAgoLetTheirPicturesGoAndGetThemBack) {
    const auto loads = [this](int n) {
        const std::string file = "Loading \"Data/Loc_" + std::to_string(n) + ".dan\"...";
        return std::count_if(lines_.begin(), lines_.end(), [&](const std::string& l) {
            return l.find(file) != std::string::npos;
        });
    };
    const auto enter = [](int location) {
        CurrentScene = scene_Map;
        if (!LoadLocationResources(location)) LeaveLoadingScreen();
    };
    ASSERT_TRUE(PlayLevel(0));
    LeaveLoadingScreen();
    const int ownPictures = LocationPictureCount(1);
    ASSERT_GT(ownPictures, 0);
    ASSERT_NE(Images->GetImage("loc01_cell.image"), nullptr);

    enter(2);
    enter(1); // back a moment later: still there, no loading screen
    EXPECT_EQ(loads(1), 1);
    enter(2);
    enter(3);
    EXPECT_FALSE(LocationResourcesLoaded(1));
    EXPECT_EQ(LocationPictureCount(1), 0);
    EXPECT_EQ(Images->GetImage("loc01_cell.image"), nullptr);
    EXPECT_TRUE(LocationResourcesLoaded(2));
    EXPECT_TRUE(LocationResourcesLoaded(3));

    // Level 1 again: its location is read once more and the level draws its board.
    ASSERT_TRUE(PlayLevel(0));
    EXPECT_EQ(CurrentScene, scene_Loaded);
    LeaveLoadingScreen();
    EXPECT_EQ(loads(1), 2);
    EXPECT_EQ(LocationPictureCount(1), ownPictures);
    EXPECT_NE(Images->GetImage("loc01_cell.image"), nullptr);
    EXPECT_FALSE(LocationResourcesLoaded(2));
    form_->StepFrame(5, {}, false);
    EXPECT_EQ(CurrentScene, scene_Level);
    EXPECT_TRUE(std::none_of(lines_.begin(), lines_.end(), [](const std::string& l) {
        return l.find("loc01_") != std::string::npos &&
               l.find("is not loaded") != std::string::npos;
    }));
}

// The location left a moment ago keeps its pictures for a return without a loading screen,
// but not their textures: its sprites, dead but drawn once more, make none again. Back there,
// its pictures are drawn whole, and the other location's give theirs back.
TEST_F(LoadedLocation, ALocationLeftGivesBackItsTexturesAndGetsThemWhenEnteredAgain) {
    const auto drawn = [](const char* name) {
        const TKilnImage* image = Images->GetImage(name);
        return image != nullptr && image->HasTextures();
    };
    ASSERT_TRUE(PlayLevel(0));
    LeaveLoadingScreen();
    form_->StepFrame(1);
    ASSERT_TRUE(drawn("loc01_sky.image"));

    ASSERT_TRUE(PlayLevel(8)); // the first level of location 2
    ASSERT_EQ(CurrentScene, scene_Loaded);
    form_->StepFrame(1);
    LeaveLoadingScreen();
    form_->StepFrame(1);
    form_->StepFrame(1);
    EXPECT_NE(Images->GetImage("loc01_sky.image"), nullptr);
    EXPECT_FALSE(drawn("loc01_sky.image"));
    EXPECT_TRUE(drawn("loc02_meadow.image"));

    ASSERT_TRUE(PlayLevel(0));
    EXPECT_EQ(CurrentScene, scene_Level); // no loading screen
    form_->StepFrame(1);
    form_->StepFrame(1);
    EXPECT_TRUE(drawn("loc01_sky.image"));
    EXPECT_FALSE(drawn("loc02_meadow.image"));
    EXPECT_TRUE(std::none_of(lines_.begin(), lines_.end(), [](const std::string& l) {
        return l.find("could not be read again") != std::string::npos ||
               l.find("is not loaded") != std::string::npos;
    }));
}

TEST_F(LoadedLocation, TheSharedCutSceneArchiveIsReadOnlyWithTheFirstCutScene) {
    auto reads = [this](const std::string& file) {
        return std::count_if(lines_.begin(), lines_.end(), [&](const std::string& l) {
            return l.find("Video \"Data/" + file + "\"...") != std::string::npos;
        });
    };
    CurrentScene = scene_Video;
    EXPECT_FALSE(LoadVideoResources(1));
    EXPECT_EQ(CurrentScene, scene_Loaded);
    EXPECT_EQ(SceneAfterLoading, scene_Video);
    EXPECT_EQ(reads("Video_0.dan"), 1);
    EXPECT_EQ(reads("Video_1.dan"), 1);
    CurrentScene = scene_Video;
    EXPECT_FALSE(LoadVideoResources(2));
    EXPECT_EQ(reads("Video_0.dan"), 1);
    EXPECT_EQ(reads("Video_2.dan"), 1);
    // Both read: the cut-scene begins at once.
    CurrentScene = scene_Video;
    EXPECT_TRUE(LoadVideoResources(1));
    EXPECT_EQ(CurrentScene, scene_Video);
}

TEST_F(LoadedLocation, APressDuringAFadeDoesNothing) {
    // Without the mission pop-up, which would hold the board while it shows.
    StartPopupEnabled() = false;
    struct Restore {
        ~Restore() { StartPopupEnabled() = true; }
    } restore;
    ASSERT_TRUE(PlayLevel(0));
    LeaveLoadingScreen();
    ASSERT_EQ(CurrentScene, scene_Level);
    form_->StepFrame(5, {}, false);
    // The red bird of level 1 at cell (8, 3): design (928, 220), the window at half size.
    StartTransition(fl_Game_RestartLevel, FadeSpeedFast);
    Press(464, 110);
    form_->StepFrame(3, {}, false);
    EXPECT_FALSE(SomethingDragged());
    EXPECT_FALSE(MouseButtonDown);
    // Once the fade is over the same press lifts the bird.
    form_->StepFrame(60, {}, false);
    ASSERT_FALSE(TransitionVisible());
    // The level's opening dialog came with the fade; it is clicked through first.
    for (int line = 0; line < 10 && DialogShown(); ++line) {
        form_->StepFrame(60, {}, false);
        PlatformEvent e;
        e.type = EventType::MouseClick;
        form_->Dispatch(e);
        e.type = EventType::MouseUp;
        e.button = static_cast<int>(MouseButton::Left);
        form_->Dispatch(e);
    }
    ASSERT_FALSE(DialogShown());
    Press(464, 110);
    form_->StepFrame(3, {}, false);
    EXPECT_TRUE(SomethingDragged());
}

} // namespace
} // namespace bw
