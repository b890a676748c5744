#include "Engine/KilnSprite/SpriteEngine.h"
#include "base/GameObjects.h"
#include "base/GameState.h"
#include "base/Scene.h"
#include "data/KilnArchive.h"
#include "meta/Profile.h"
#include "platform/Files.h"
#include "replay/Replay.h"
#include "support/LevelFixture.h"
#include "support/ScriptedScene.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace bw {

using testing::ScriptedScene;
namespace {

std::string ReadText(const std::string& path) {
    const auto bytes = ReadWholeFile(path);
    return bytes ? std::string(bytes->begin(), bytes->end()) : std::string();
}

TEST(ReplayScript, ParsesEventsCommentsAndBlankLines) {
    std::vector<ReplayEvent> events;
    std::string error;
    ASSERT_TRUE(
        ParseReplayScript("# a comment\n\n120 move 960 540\n121 down\n125 up right  # note\n"
                          "125 click\n300 key Escape\n310 text Anna Lee\n",
                          events, error))
        << error;
    ASSERT_EQ(events.size(), 6u);
    EXPECT_EQ(events[0].tick, 120u);
    EXPECT_EQ(events[0].kind, "move");
    EXPECT_DOUBLE_EQ(events[0].x, 960);
    EXPECT_EQ(events[2].button, 3);
    EXPECT_EQ(events[4].arg, "Escape");
    EXPECT_EQ(events[5].arg, "Anna Lee");
    EXPECT_EQ(events[5].line, 8);
}

TEST(ReplayScript, ABadLineIsReportedWithItsNumber) {
    const char* bad[] = {"1 move 10\n",   "x click\n",         "1 jump\n",
                         "5 key nokey\n", "1 click extra\n",   "-3 click\n",
                         "1 text\n",      "1 down sideways\n", "9 click\n2 click\n"};
    for (const char* script : bad) {
        std::vector<ReplayEvent> events;
        std::string error;
        EXPECT_FALSE(ParseReplayScript(std::string("# ok\n") + script, events, error)) << script;
        EXPECT_EQ(error.rfind("line ", 0), 0u) << error;
        EXPECT_NE(
            error.find(std::string(script).find("\n2") != std::string::npos ? "line 3" : "line 2"),
            std::string::npos)
            << script << " -> " << error;
    }
}

// Runs the game in this process with a scene that has one clickable sprite.
TEST(ReplayInProcess, PointerEventsReachTheSceneThroughTheHitTest) {
    testing::TempFolder home;
    TSprite* target = nullptr;
    std::vector<std::string> seen;
    int escapes = 0;
    ReplaySettings rs;
    rs.afterWiring = [&] {
        testing::Script(scene_Splash).onCreate = [&] {
            CurrentScene = scene_MainMenu;
            auto* s = new TAnimatedSprite(MainEngine);
            s->FName = "target";
            s->FX = 100;
            s->FY = 100;
            s->FCollisioned = true;
            s->FCollideMode = cmRect;
            s->FCollideRect = TRect{100, 100, 200, 150};
            target = s;
        };
        ScriptedScene& menu = testing::Script(scene_MainMenu);
        menu.onHit = [&](TSprite& s) {
            if (&s != target) return;
            seen.push_back(MouseClicked ? "click" : MouseButtonDown ? "held" : "hover");
        };
        menu.onEscape = [&] { ++escapes; };
    };
    rs.home = home.Path();
    rs.ticks = 40;
    std::string error;
    ASSERT_TRUE(ParseReplayScript("5 move 150 120\n10 click\n20 move 500 500\n25 click\n"
                                  "30 key escape\n",
                                  rs.events, error));
    const ReplayResult result = RunReplay(rs);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.scene, "scene_MainMenu");
    // Hover on every tick from 5 to 19, one click at 10, nothing once the pointer has left.
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(std::count(seen.begin(), seen.end(), "click"), 1);
    EXPECT_GE(std::count(seen.begin(), seen.end(), "hover"), 14);
    EXPECT_LE(std::count(seen.begin(), seen.end(), "hover"), 16);
    EXPECT_EQ(escapes, 1);
    // The scenes are gone with the game.
    EXPECT_FALSE(SceneRegistered(scene_Splash));
    EXPECT_FALSE(SceneRegistered(scene_MainMenu));
}

TEST(ReplayInProcess, InputIsIgnoredWhileTheLevelIsDecided) {
    testing::TempFolder home;
    int hits = 0, escapes = 0;
    ReplaySettings rs;
    rs.afterWiring = [&] {
        testing::Script(scene_Splash).onCreate = [&] {
            CurrentScene = scene_Level;
            LevelFinished = true;
            auto* s = new TAnimatedSprite(MainEngine);
            s->FCollisioned = true;
            s->FCollideMode = cmRect;
            s->FCollideRect = TRect{0, 0, 1920, 1080};
        };
        ScriptedScene& level = testing::Script(scene_Level);
        level.onHit = [&](TSprite&) { ++hits; };
        level.onEscape = [&] { ++escapes; };
    };
    rs.home = home.Path();
    rs.ticks = 20;
    std::string error;
    ASSERT_TRUE(
        ParseReplayScript("2 move 10 10\n3 down\n4 up\n4 click\n5 key escape\n", rs.events, error));
    ASSERT_TRUE(RunReplay(rs).ok);
    EXPECT_EQ(hits, 0);
    EXPECT_EQ(escapes, 0);
}

TEST(ReplayInProcess, CheatKeysActOnlyWithTheSwitch) {
    for (bool cheat : {false, true}) {
        testing::TempFolder home;
        int opened = 0;
        ReplaySettings rs;
        rs.afterWiring = [&] {
            testing::Script(scene_Splash).onCreate = [] {
                CurrentScene = scene_Map;
                Player.Levels.assign(3, TPlayerSavedLevel{});
            };
            ScriptedScene& map = testing::Script(scene_Map);
            map.onTick = [&] {
                opened = static_cast<int>(
                    std::count_if(Player.Levels.begin(), Player.Levels.end(),
                                  [](const TPlayerSavedLevel& l) { return l.FStatus == 1; }));
            };
        };
        rs.home = home.Path();
        rs.ticks = 10;
        if (cheat) rs.args = {"-cht"};
        std::string error;
        ASSERT_TRUE(ParseReplayScript("3 key f6\n", rs.events, error));
        ASSERT_TRUE(RunReplay(rs).ok);
        // F6 opens every level.
        EXPECT_EQ(opened, cheat ? 3 : 0);
    }
}

TEST(ReplayInProcess, SwitchesCountOnlyAsFirstOrSecondParameter) {
    struct Case {
        std::vector<std::string> args;
        bool cheat;
    };
    const Case cases[] = {
        {{"-cht"}, true}, {{"x", "-cht"}, true}, {{"x", "y", "-cht"}, false}, {{"-CHT"}, false}};
    for (const Case& c : cases) {
        testing::TempFolder home;
        bool sawCheat = false;
        ReplaySettings rs;
        rs.afterWiring = [&] {
            testing::Script(scene_Splash).onCreate = [&] { sawCheat = CheatMode; };
        };
        rs.home = home.Path();
        rs.ticks = 2;
        rs.args = c.args;
        ASSERT_TRUE(RunReplay(rs).ok);
        EXPECT_EQ(sawCheat, c.cheat) << c.args.back();
    }
    // -reset deletes the options file before it is read.
    testing::TempFolder home;
    testing::WriteWholeFile(home.File("Game.ini"), "[OPTIONS]\nMusicVolume=0.25\n");
    ReplaySettings rs;
    rs.home = home.Path();
    rs.ticks = 2;
    rs.args = {"-window", "-reset"};
    ASSERT_TRUE(RunReplay(rs).ok);
    EXPECT_NE(ReadText(home.File("Game.ini")).find("MusicVolume=0.5\n"), std::string::npos);
}

TEST(ReplayInProcess, TheLoadedScreenIsLeftByAClickOrKeyButNotByAMove) {
    for (const char* script : {"3 click\n", "3 key home\n", "3 dblclick\n", "3 move 5 5\n4 up\n"}) {
        testing::TempFolder home;
        int left = 0;
        ReplaySettings rs;
        // Leaving the loading screen begins the scene after loading.
        rs.afterWiring = [&] { testing::Script(scene_MainMenu).onCreate = [&] { ++left; }; };
        rs.home = home.Path();
        rs.quickStart = true;
        rs.ticks = 6;
        std::string error;
        ASSERT_TRUE(ParseReplayScript(script, rs.events, error));
        ASSERT_TRUE(RunReplay(rs).ok);
        EXPECT_EQ(left, std::string(script).find("move") == std::string::npos ? 1 : 0) << script;
    }
}

// Frames that no screenshot takes are not drawn, and nothing the game does depends on it.
TEST(ReplayInProcess, SkippingUndrawnFramesChangesNoScreenshotAndNoDump) {
    std::vector<std::string> pictures[2], dumps[2];
    for (int every = 0; every < 2; ++every) {
        testing::TempFolder home;
        ReplaySettings rs;
        rs.home = home.Path();
        rs.data = std::string(BW_TEST_BINARY_DIR) + "/Data";
        rs.size = {480, 270};
        rs.startLevel = 1;
        rs.ticks = 150;
        rs.drawEveryFrame = every == 1;
        std::string error;
        // The red bird at (8, 3) goes to (6, 3): a drag, a flight and a match.
        ASSERT_TRUE(ParseReplayScript("10 move 928 220\n12 down\n16 move 860 224\n"
                                      "30 move 800 220\n44 up\n",
                                      rs.events, error))
            << error;
        for (uint64_t tick : {8, 40, 50, 140}) {
            rs.shots.push_back({tick, home.File("s" + std::to_string(tick) + ".png")});
            rs.dumps.push_back({tick, home.File("d" + std::to_string(tick) + ".json")});
        }
        const ReplayResult result = RunReplay(rs);
        ASSERT_TRUE(result.ok) << result.error;
        for (const auto& shot : rs.shots) pictures[every].push_back(ReadText(shot.second));
        for (const auto& dump : rs.dumps) dumps[every].push_back(ReadText(dump.second));
    }
    for (size_t i = 0; i < pictures[0].size(); ++i) {
        EXPECT_FALSE(pictures[0][i].empty());
        EXPECT_EQ(pictures[0][i], pictures[1][i]) << "screenshot " << i;
        EXPECT_EQ(dumps[0][i], dumps[1][i]) << "dump " << i;
    }
    EXPECT_NE(pictures[0][0], pictures[0][1]) << "the drag shows";
}

// --- The branchwick-replay program -----------------------------------------------------------

const std::string kReplay = std::string(BW_TEST_BINARY_DIR) + "/tools/replay/branchwick-replay";

int RunReplayProgram(const std::string& args, std::string* output = nullptr) {
    const std::string cmd = "SDL_VIDEODRIVER=offscreen " + kReplay + " " + args + " 2>&1";
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return -1;
    std::string out;
    char buf[512];
    while (fgets(buf, sizeof buf, p)) out += buf;
    const int status = pclose(p);
    if (output) *output = out;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(ReplayProgram, FirstStartWritesTheLogHeaderAndACompleteOptionsFile) {
    testing::TempFolder dir;
    const std::string home = JoinPath(dir.Path(), "home");
    std::string out;
    ASSERT_EQ(RunReplayProgram("--home " + home + " --ticks 30", &out), 0) << out;
    EXPECT_NE(out.find("replay ok: 30 ticks"), std::string::npos) << out;

    const std::string log = ReadText(JoinPath(home, "Branchwick.log"));
    EXPECT_EQ(log.rfind("Branchwick\nVersion: 1.03\nLaunched at: ", 0), 0u) << log;
    for (const char* line : {"\nProfiles Path:    ", "\nProcessor: ", "\nCores: ", "\nTotal RAM: ",
                             "\nScreen Resolution: 1920x1080\n",
                             "\nSav Screen Resolution: ", "\nBitDepth: ", "\nDPI: ", "\n\n\n\n"})
        EXPECT_NE(log.find(line), std::string::npos) << line;
    EXPECT_NE(log.find("Profiles Path:    " + home + "\n"), std::string::npos);

    EXPECT_EQ(ReadText(JoinPath(home, "Game.ini")),
              "[OPTIONS]\nMusicVolume=0.5\nSoundFxVolume=1\nFullScreen=1\nResolution=99\nVSync=0\n"
              "FrameLimiter=0\nCursor=1\nShowTutorial=1\nVersion=1.03\nLastProfileFile=\n"
              "LastProfileName=\nFs=1\n\n[TEST]\nFps=0\nSsc=0\nSpc=0\n");
}

TEST(ReplayProgram, IdenticalRunsGiveIdenticalDumpsAndScreenshots) {
    testing::TempFolder dir;
    const std::string script = JoinPath(dir.Path(), "input.txt");
    const std::string text =
        "# pointer over the canvas\n10 move 960 540\n25 down\n27 up\n27 click\n";
    ASSERT_TRUE(WriteFileAtomically(script, text.data(), text.size()));
    // The built data set is played.
    const std::string data = std::string(BW_TEST_BINARY_DIR) + "/Data";
    std::string outputs[2][3];
    for (int run = 0; run < 2; ++run) {
        const std::string base = JoinPath(dir.Path(), "run" + std::to_string(run));
        const std::string args = "--home " + base + "-home --data " + data +
                                 " --seed 7 --size 640x360 --window --quick-start --input " +
                                 script + " --ticks 40 --shot 20:" + base +
                                 ".png --dump 20:" + base + "-20.json --dump 39:" + base +
                                 "-39.json";
        std::string out;
        ASSERT_EQ(RunReplayProgram(args, &out), 0) << out;
        outputs[run][0] = ReadText(base + ".png");
        outputs[run][1] = ReadText(base + "-20.json");
        outputs[run][2] = ReadText(base + "-39.json");
    }
    for (int k = 0; k < 3; ++k) {
        EXPECT_FALSE(outputs[0][k].empty()) << k;
        EXPECT_EQ(outputs[0][k], outputs[1][k]) << k;
    }
    EXPECT_NE(outputs[0][1].find("\"scene\": \"scene_Loaded\""), std::string::npos)
        << outputs[0][1];
    EXPECT_NE(outputs[0][1].find("\"class\": \"TCursorPoint\""), std::string::npos);
    // The press on the first loading screen fades into the main menu.
    EXPECT_NE(outputs[0][2].find("\"scene\": \"scene_MainMenu\""), std::string::npos)
        << outputs[0][2];
    EXPECT_NE(outputs[0][2].find("\"kind\": \"fl_ExitLoadingLogo\""), std::string::npos);
    // A 640 x 360 window shows the design canvas at a third of its size.
    EXPECT_NE(outputs[0][2].find("\"mouse\": [960.000, 540.000]"), std::string::npos)
        << outputs[0][2];
}

TEST(ReplayProgram, ASecondInstanceEndsWithAMessageAndLeavesTheFirstRunning) {
    testing::TempFolder dir;
    const std::string home = JoinPath(dir.Path(), "home");
    const std::string first = "SDL_VIDEODRIVER=offscreen " + kReplay + " --home " + home +
                              " --size 320x180 --ticks 400 > " + JoinPath(dir.Path(), "first.txt") +
                              " 2>&1 & echo $!";
    FILE* p = popen(first.c_str(), "r");
    ASSERT_TRUE(p);
    char pidText[32] = {};
    ASSERT_TRUE(fgets(pidText, sizeof pidText, p));
    pclose(p);
    const int pid = std::atoi(pidText);
    // Wait until the first one holds its lock (its options file appears at start-up).
    for (int i = 0; i < 200 && !FileExists(JoinPath(home, "Game.ini")); ++i) usleep(20000);
    std::string out;
    EXPECT_NE(RunReplayProgram("--home " + home + " --ticks 5", &out), 0);
    EXPECT_NE(out.find("already running"), std::string::npos) << out;
    int status = 0;
    waitpid(pid, &status, 0);
    // Not our child: wait for its last line (the sound library may have written before it).
    for (int i = 0; i < 500 && ReadText(JoinPath(dir.Path(), "first.txt")).find("replay ") ==
                                   std::string::npos;
         ++i)
        usleep(20000);
    EXPECT_NE(ReadText(JoinPath(dir.Path(), "first.txt")).find("replay ok: 400 ticks"),
              std::string::npos);
}

// A harness told to stop (by a probe's timeout, by a script) stops at once.
TEST(ReplayProgram, SigtermStopsTheHarness) {
    testing::TempFolder dir;
    const std::string home = JoinPath(dir.Path(), "home");
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        setenv("ALSOFT_DRIVERS", "null", 1);
        execl(kReplay.c_str(), kReplay.c_str(), "--home", home.c_str(), "--size", "320x180",
              "--ticks", "100000000", static_cast<char*>(nullptr));
        _exit(127);
    }
    // Once its options file is there, the game is running.
    for (int i = 0; i < 500 && !FileExists(JoinPath(home, "Game.ini")); ++i) usleep(20000);
    usleep(200000);
    ASSERT_EQ(kill(pid, SIGTERM), 0);
    int status = 0;
    pid_t done = 0;
    for (int i = 0; i < 250 && done == 0; ++i) {
        done = waitpid(pid, &status, WNOHANG);
        if (done == 0) usleep(20000);
    }
    if (done == 0) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        FAIL() << "the harness outlived SIGTERM by 5 seconds";
    }
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status;
}

TEST(ReplayProgram, RelativeShotAndDumpFilesLandWhereTheHarnessStarted) {
    testing::TempFolder dir;
    const std::string cmd = "cd '" + dir.Path() + "' && SDL_VIDEODRIVER=offscreen " + kReplay +
                            " --home home --size 320x180 --ticks 12 --shot 10:shot.png" +
                            " --dump 10:dump.json > run.txt 2>&1";
    ASSERT_EQ(std::system(cmd.c_str()), 0) << ReadText(JoinPath(dir.Path(), "run.txt"));
    EXPECT_TRUE(FileExists(JoinPath(dir.Path(), "shot.png")));
    EXPECT_NE(ReadText(JoinPath(dir.Path(), "dump.json")).find("\"scene\""), std::string::npos);
    EXPECT_TRUE(FileExists(JoinPath(dir.Path(), "home/Game.ini")));
}

// A relative extra archive is taken from where the harness started too, though the game
// changes folder as it starts and opens the archive again for every record it reads.
TEST(ReplayProgram, ARelativeExtraArchiveIsReadFromWhereTheHarnessStarted) {
    testing::TempFolder dir;
    const std::string data = JoinPath(dir.Path(), "game/Data");
    CreateFolders(data);
    testing::WriteLevelData(data, {{"fx_walled", {"1W.", "W..", "..."}, 0}});
    testing::WriteArchive(
        JoinPath(dir.Path(), "extra.dan"),
        {{"fx_walled.xml", testing::LevelFileXml({"fx_walled", {"1..", "...", "..."}})}});
    const std::string cmd = "cd '" + dir.Path() + "' && SDL_VIDEODRIVER=offscreen " + kReplay +
                            " --home home --data " + data +
                            " --extra-archive extra.dan --start-level 1 --size 320x180" +
                            " --ticks 12 --dump 10:dump.json > run.txt 2>&1";
    ASSERT_EQ(std::system(cmd.c_str()), 0) << ReadText(JoinPath(dir.Path(), "run.txt"));
    const std::string dump = ReadText(JoinPath(dir.Path(), "dump.json"));
    EXPECT_NE(dump.find("\"file\": \"fx_walled"), std::string::npos) << dump;
    EXPECT_EQ(dump.find("\"wall\""), std::string::npos) << "the extra archive's level plays";
}

// An empty picture archive and a location record that does not parse: both are named in the
// log, and the level is reported and not started instead of being lost on an empty board.
TEST(ReplayProgram, DamagedArchivesAreNamedAndABrokenLevelDoesNotStart) {
    const std::string built = std::string(BW_TEST_BINARY_DIR) + "/Data";
    if (!FileExists(JoinPath(built, "tData_Locations.dan"))) GTEST_SKIP() << "no data built";
    testing::TempFolder dir;
    const std::string data = JoinPath(dir.Path(), "Data");
    std::filesystem::copy(built, data, std::filesystem::copy_options::recursive);
    std::filesystem::resize_file(JoinPath(data, "Objects.dan"), 0);
    {
        TKilnArchive locations;
        locations.SetOpenMode(aomOverwrite);
        ASSERT_TRUE(locations.OpenFile(JoinPath(data, "tData_Locations.dan")));
        const std::string cut = "<location><settings><MapSize X=\"8";
        ASSERT_TRUE(locations.WriteRecord("location_1.xml", cut.data(), cut.size()));
    }
    const std::string home = JoinPath(dir.Path(), "home");
    std::string out;
    EXPECT_NE(RunReplayProgram("--home " + home + " --data " + data +
                                   " --start-level 1 --ticks 60 --size 320x180",
                               &out),
              0);
    EXPECT_NE(out.find("level 1 could not be started"), std::string::npos) << out;
    const std::string log = ReadText(JoinPath(home, "Branchwick.log"));
    EXPECT_NE(log.find("Archive " + JoinPath(data, "Objects.dan") + " not opened: is empty"),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("Level 1 not started: location " + JoinPath(data, "tData_Locations.dan") +
                       " | location_1.xml does not parse"),
              std::string::npos)
        << log;
    EXPECT_EQ(log.find("Level lost"), std::string::npos) << log;
}

// A level without a cell to play on would be full before the first move, a lost game nobody
// played: it is refused with the reason in the log, as is a location that builds none of its
// cells.
TEST(ReplayProgram, ALevelWithoutCellsIsRefusedNotLost) {
    testing::TempFolder dir;
    const std::string data = JoinPath(dir.Path(), "Data");
    CreateFolders(data);
    const std::string noValue = "<level><settings/><map><m1/><m2 Value=\"\"/></map></level>";
    const std::string noMap = "<level><settings/><objects/></level>";
    for (const std::string& level : {noValue, noMap}) {
        testing::WriteLevelData(data, {{"fx_empty", {"1..", "...", "..."}, 0}});
        testing::WriteArchive(JoinPath(data, "tData_Levels.dan"), {{"fx_empty.xml", level}});
        const std::string home = JoinPath(dir.Path(), "home");
        std::filesystem::remove_all(home);
        std::string out;
        EXPECT_NE(RunReplayProgram("--home " + home + " --data " + data +
                                       " --start-level 1 --ticks 30 --size 320x180",
                                   &out),
                  0)
            << level;
        EXPECT_NE(out.find("level 1 could not be started"), std::string::npos) << out;
        const std::string log = ReadText(JoinPath(home, "Branchwick.log"));
        EXPECT_NE(log.find("Level 1 not started: level file " + JoinPath(data, "tData_Levels.dan") +
                           " | fx_empty.xml has no cells"),
                  std::string::npos)
            << log;
        EXPECT_EQ(log.find("Level lost"), std::string::npos) << log;
    }

    testing::WriteLevelData(data, {{"fx_empty", {"1..", "...", "..."}, 0}});
    std::string location = testing::kFixtureLocation;
    const std::size_t size = location.find("<MapSize X=\"");
    ASSERT_NE(size, std::string::npos) << location;
    location.replace(size, std::string("<MapSize X=\"").size(), "<MapSize X=\"-");
    testing::WriteArchive(JoinPath(data, "tData_Locations.dan"), {{"location_1.xml", location}});
    const std::string home = JoinPath(dir.Path(), "home-mapsize");
    std::string out;
    EXPECT_NE(RunReplayProgram("--home " + home + " --data " + data +
                                   " --start-level 1 --ticks 30 --size 320x180",
                               &out),
              0);
    const std::string log = ReadText(JoinPath(home, "Branchwick.log"));
    EXPECT_NE(log.find("location_1.xml builds none of the cells of fx_empty.xml (MapSize -"),
              std::string::npos)
        << log;
}

TEST(ReplayProgram, BadArgumentsAndScriptsExitNonZeroWithAMessage) {
    testing::TempFolder dir;
    const std::string script = JoinPath(dir.Path(), "bad.txt");
    ASSERT_TRUE(WriteFileAtomically(script, "1 click\n2 fly\n", 14));
    std::string out;
    EXPECT_NE(RunReplayProgram("--home " + dir.Path() + " --input " + script, &out), 0);
    EXPECT_NE(out.find("line 2"), std::string::npos) << out;
    EXPECT_NE(RunReplayProgram("--home " + dir.Path() + " --size 10", &out), 0);
    EXPECT_NE(out.find("--size"), std::string::npos) << out;
    EXPECT_NE(RunReplayProgram("--bogus", &out), 0);
    EXPECT_NE(RunReplayProgram("--ticks 5", &out), 0) << "no --home";
    EXPECT_NE(RunReplayProgram("--home " + dir.Path() + " --shot 5", &out), 0);
    EXPECT_NE(RunReplayProgram("--home " + dir.Path() + " --extra-archive " +
                                   JoinPath(dir.Path(), "none.dan"),
                               &out),
              0);
    EXPECT_NE(out.find("cannot open extra archive"), std::string::npos) << out;
    EXPECT_EQ(RunReplayProgram("--help", &out), 0);
    EXPECT_NE(out.find("--shot TICK:FILE"), std::string::npos);
    EXPECT_NE(out.find("wait scene NAME [MAX]"), std::string::npos);
}

// A failed expectation ends the program with its line, after what the lines before wrote.
TEST(ReplayProgram, AFailedExpectationExitsNonZeroWithItsLine) {
    testing::TempFolder dir;
    const std::string script = JoinPath(dir.Path(), "check.txt");
    const std::string dump = JoinPath(dir.Path(), "early.json");
    const std::string text = "5 dump " + dump + "\n+1 expect scene == scene_Credits\n";
    ASSERT_TRUE(WriteFileAtomically(script, text.data(), text.size()));
    std::string out;
    EXPECT_EQ(RunReplayProgram("--home " + JoinPath(dir.Path(), "home") +
                                   " --size 320x180 --ticks 20 --input " + script,
                               &out),
              2);
    EXPECT_NE(out.find("line 2: expect scene == scene_Credits: expected == scene_Credits, "
                       "actual scene_"),
              std::string::npos)
        << out;
    EXPECT_EQ(out.find("replay ok"), std::string::npos);
    EXPECT_NE(ReadText(dump).find("\"tick\": 5"), std::string::npos);
}

// Without --data a program in a build tree plays the build's data.
TEST(ReplayProgram, TheBuildTreesDataIsFoundFromAnyFolderInIt) {
    testing::TempFolder dir;
    const std::string tree = JoinPath(dir.Path(), "build");
    CreateFolders(JoinPath(tree, "Data"));
    CreateFolders(JoinPath(tree, "tools/replay"));
    testing::WriteWholeFile(JoinPath(tree, "CMakeCache.txt"), "");
    EXPECT_EQ(BuildTreeDataFolder(JoinPath(tree, "tools/replay")), JoinPath(tree, "Data"));
    EXPECT_EQ(BuildTreeDataFolder(tree), JoinPath(tree, "Data"));
    EXPECT_EQ(BuildTreeDataFolder(dir.Path()), "");
    EXPECT_EQ(BuildTreeDataFolder(JoinPath(tree, "Data")), JoinPath(tree, "Data"));
}

TEST(GameProgram, HelpAndVersionPrintAndExit) {
    const std::string game = std::string(BW_TEST_BINARY_DIR) + "/branchwick";
    for (const char* arg : {"--help", "--version"}) {
        FILE* p = popen((game + " " + arg + " 2>&1").c_str(), "r");
        ASSERT_TRUE(p);
        std::string out;
        char buf[256];
        while (fgets(buf, sizeof buf, p)) out += buf;
        const int status = pclose(p);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << arg;
        EXPECT_NE(out.find(std::string(arg) == "--help" ? "-cht" : "Branchwick 1.03\n"),
                  std::string::npos)
            << out;
    }
}

} // namespace
} // namespace bw
