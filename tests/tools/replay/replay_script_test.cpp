// The replay script language: what each line means, how the lines are timed against the
// running game, and how a failed line is reported.
#include "Engine/KilnSprite/SpriteEngine.h"
#include "base/GameObjects.h"
#include "base/GameState.h"
#include "gui/ButtonSprites.h"
#include "meta/Profile.h"
#include "replay/JsonPath.h"
#include "replay/Replay.h"
#include "support/ScriptedScene.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

namespace bw {

using testing::ScriptedScene;
namespace {

std::vector<ReplayEvent> Parse(const std::string& script) {
    std::vector<ReplayEvent> events;
    std::string error;
    EXPECT_TRUE(ParseReplayScript(script, events, error)) << error;
    return events;
}

TEST(ReplayScriptSyntax, NewCommandsAndRelativeTicks) {
    const auto e = Parse("10 move 5 5\n+3 click\nwait scene scene_MainMenu\n"
                         "wait scene scene_Map 50\nwait 7\n+0 click button_Map_Level 3\n"
                         "dblclick TMM_MainMenu_Buttons_StartGame\ndrag 1 2 3 4\n"
                         "type Anna Lee\nkey return\nkey F11\nkey backspace\n"
                         "expect buttons[0].name == \"button_Map_Menu\"\n"
                         "expect player absent\ndump out.json\nshot out.png\n");
    ASSERT_EQ(e.size(), 16u);
    EXPECT_FALSE(e[0].relative);
    EXPECT_TRUE(e[1].relative);
    EXPECT_EQ(e[1].tick, 3u);
    EXPECT_TRUE(e[1].name.empty()) << "a bare click stays a click at the pointer";
    EXPECT_EQ(e[2].kind, "wait");
    EXPECT_EQ(e[2].name, "scene_MainMenu");
    EXPECT_EQ(e[2].count, 1200u);
    EXPECT_TRUE(e[2].relative);
    EXPECT_EQ(e[3].count, 50u);
    EXPECT_TRUE(e[4].name.empty());
    EXPECT_EQ(e[4].count, 7u);
    EXPECT_EQ(e[5].name, "button_Map_Level");
    EXPECT_EQ(e[5].index, 3);
    EXPECT_EQ(e[6].name, "TMM_MainMenu_Buttons_StartGame");
    EXPECT_EQ(e[6].index, 1);
    EXPECT_EQ(e[7].cells[0], 1);
    EXPECT_EQ(e[7].cells[3], 4);
    EXPECT_EQ(e[8].arg, "Anna Lee");
    EXPECT_EQ(e[12].arg, "buttons[0].name");
    EXPECT_EQ(e[12].op, "==");
    EXPECT_EQ(e[12].value, "button_Map_Menu") << "quotes are taken off";
    EXPECT_EQ(e[13].op, "absent");
    EXPECT_EQ(e[14].arg, "out.json");
    EXPECT_EQ(e[15].line, 16);
}

TEST(ReplayScriptSyntax, BadLinesNameTheirLineNumber) {
    const char* bad[] = {"wait\n",
                         "wait scene\n",
                         "wait scene scene_Nowhere\n",
                         "wait scene scene_Map 0\n",
                         "wait 5 6\n",
                         "wait -5\n",
                         "click button_NoSuchButton\n",
                         "click button_Map_Level 0\n",
                         "click button_Map_Level 2 3\n",
                         "drag 1 2 3\n",
                         "drag 1 2 3 99\n",
                         "type\n",
                         "key f12\n",
                         "expect player.Score\n",
                         "expect player.Score ~ 3\n",
                         "expect player.Score ==\n",
                         "expect buttons[x] exists\n",
                         "expect player. exists\n",
                         "expect player exists now\n",
                         "dump\n",
                         "shot a.png b.png\n",
                         "+x click\n",
                         "+ click\n",
                         "jump\n"};
    for (const char* line : bad) {
        std::vector<ReplayEvent> events;
        std::string error;
        EXPECT_FALSE(ParseReplayScript(std::string("1 move 1 1\n# fine\n") + line, events, error))
            << line;
        EXPECT_EQ(error.rfind("line 3: ", 0), 0u) << line << " -> " << error;
    }
    // An absolute tick may not lie before what the lines above already take.
    std::vector<ReplayEvent> events;
    std::string error;
    EXPECT_FALSE(ParseReplayScript("10 click\n+5 click\n12 click\n", events, error));
    EXPECT_EQ(error.rfind("line 3: ", 0), 0u) << error;
    EXPECT_FALSE(ParseReplayScript("wait 20\n12 click\n", events, error));
    EXPECT_TRUE(ParseReplayScript("wait scene scene_Map\n12 click\n", events, error)) << error;
}

// --- Expectations ----------------------------------------------------------------------------

constexpr const char* kState = R"({"scene": "scene_Map", "player": {"Score": 45, "name": "Ann"},
  "buttons": [{"name": "button_Map_Menu", "enabled": true}, {"name": "button_Map_Level"}],
  "sounds": ["click.ogg", "bird.ogg"], "board": null, "ratio": 0.5})";

std::string Check(const std::string& line) {
    const auto events = Parse("\n\n\n" + line + "\n");
    if (events.size() != 1) return "unparsed";
    return ExpectationFailure(events[0], kState);
}

TEST(ReplayExpectations, EveryOperatorHoldsAndFails) {
    const char* hold[] = {
        "expect scene == scene_Map",         "expect player.Score == 45",
        "expect player.Score == 45.0",       "expect player.name == \"Ann\"",
        "expect buttons[0].enabled == true", "expect buttons[1].name != button_Map_Menu",
        "expect player.nickname != x",       "expect player.Score < 46",
        "expect player.Score <= 45",         "expect player.Score > 44",
        "expect player.Score >= 45",         "expect ratio < 1",
        "expect player.name contains nn",    "expect sounds contains bird.ogg",
        "expect player contains Score",      "expect buttons[1] exists",
        "expect buttons[2] absent",          "expect board absent",
        "expect player.Score.x absent"};
    for (const char* line : hold) EXPECT_EQ(Check(line), "") << line;
    const char* fail[] = {"expect scene == scene_Level",   "expect player.Score == 44",
                          "expect player.Score != 45",     "expect player.Score < 45",
                          "expect player.Score <= 44",     "expect player.Score > 45",
                          "expect player.Score >= 46",     "expect player.name < 3",
                          "expect player.missing > 3",     "expect sounds contains cat.ogg",
                          "expect player.name contains x", "expect board exists",
                          "expect player absent",          "expect buttons[5].name == x"};
    for (const char* line : fail) EXPECT_EQ(Check(line).rfind("line 4: expect ", 0), 0u) << line;
}

TEST(ReplayExpectations, AFailureShowsPathExpectedAndActual) {
    EXPECT_EQ(Check("expect player.Score >= 100"),
              "line 4: expect player.Score >= 100: expected >= 100, actual 45");
    EXPECT_EQ(Check("expect buttons[1].name == button_Map_Menu"),
              "line 4: expect buttons[1].name == button_Map_Menu: expected == button_Map_Menu, "
              "actual button_Map_Level");
    EXPECT_EQ(Check("expect layers.message exists"),
              "line 4: expect layers.message exists: expected exists, actual absent");
    EXPECT_EQ(Check("expect player absent"),
              "line 4: expect player absent: expected absent, actual {\"Score\": 45, \"name\": "
              "\"Ann\"}");
}

// --- Lines against the running game ----------------------------------------------------------

// A main menu with two buttons named alike, a disabled one and a start sign that is no button.
struct MenuSprites {
    std::vector<TSprite*> hits; // sprites hit while the left button was clicked
    std::vector<std::string> order;
    std::vector<std::pair<uint64_t, std::string>> typed;
    uint64_t ticks = 0;
    TSprite* levels[2] = {};
    TSprite* sign = nullptr;
};

TButtonSprite2* AddButton(TButtonName name, int x, bool enabled) {
    auto* b = new TButtonSprite2(MainEngine);
    b->SetButtonName(name);
    b->SetEnabled(enabled);
    b->FCollideMode = cmRect;
    b->FCollideRect = TRect{x, 100, x + 100, 140};
    return b;
}

void InstallMenu(MenuSprites& m, int switchAt = -1) {
    testing::Script(scene_Splash).onCreate = [&m] {
        CurrentScene = scene_MainMenu;
        m.levels[0] = AddButton(button_Map_Level, 100, true);
        AddButton(button_MM_MainMenu_Credits, 300, false);
        m.levels[1] = AddButton(button_Map_Level, 500, true);
        auto* sign = new TAnimatedSprite(MainEngine);
        sign->FCollisioned = true;
        sign->FCollideMode = cmRect;
        sign->FCollideRect = TRect{700, 700, 800, 760};
        m.sign = sign;
        Player.Score = 1234;
        Player.Name = "Ann";
    };
    ScriptedScene& menu = testing::Script(scene_MainMenu);
    menu.onTick = [&m, switchAt] {
        ++m.ticks;
        MoveMainEngine();
        RunHitTest();
        if (switchAt >= 0 && m.ticks == static_cast<uint64_t>(switchAt)) CurrentScene = scene_Map;
    };
    // A click shows in the hit tests until the next frame; each click on our sprites counts
    // once (the game's own sprites of the start-up are hit too).
    menu.onHit = [&m](TSprite& s) {
        const bool ours = &s == m.levels[0] || &s == m.levels[1] || &s == m.sign;
        if (ours && MouseClicked && (m.hits.empty() || m.hits.back() != &s)) m.hits.push_back(&s);
    };
    menu.onPress = [&m] { m.order.push_back("press"); };
    menu.onRelease = [&m] { m.order.push_back("release"); };
    testing::Script(scene_Map);
}

ReplayResult Play(MenuSprites& m, const std::string& script, uint64_t ticks = 60,
                  int switchAt = -1) {
    testing::TempFolder home;
    ReplaySettings rs;
    rs.afterWiring = [&] { InstallMenu(m, switchAt); };
    rs.home = home.Path();
    rs.ticks = ticks;
    std::string error;
    EXPECT_TRUE(ParseReplayScript(script, rs.events, error)) << error;
    return RunReplay(rs);
}

TEST(ReplayScriptRun, ClickFindsTheNthEnabledButtonOrTheSpriteOfAClass) {
    MenuSprites m;
    const ReplayResult r = Play(
        m, "5 click button_Map_Level 2\n+1 click button_Map_Level\n+1 click TAnimatedSprite\n");
    ASSERT_TRUE(r.ok) << r.error;
    ASSERT_EQ(m.hits.size(), 3u);
    EXPECT_EQ(m.hits[0], m.levels[1]);
    EXPECT_EQ(m.hits[1], m.levels[0]);
    EXPECT_EQ(m.hits[2], m.sign);
    // Each click is a press and a release, in that order, never overlapping.
    EXPECT_EQ(m.order, (std::vector<std::string>{"press", "release", "press", "release", "press",
                                                 "release"}));
}

TEST(ReplayScriptRun, DblclickIsTwoClicksTheSecondPressADoubleClick) {
    MenuSprites m;
    int doubles = 0;
    testing::TempFolder home;
    ReplaySettings rs;
    rs.afterWiring = [&] {
        InstallMenu(m);
        testing::Script(scene_MainMenu).onHit = [&](TSprite& s) {
            if (&s == m.levels[1] && MouseDblClicked) ++doubles;
            if (&s == m.levels[1] && MouseClicked && m.hits.empty()) m.hits.push_back(&s);
        };
    };
    rs.home = home.Path();
    rs.ticks = 30;
    std::string error;
    ASSERT_TRUE(ParseReplayScript("5 dblclick button_Map_Level 2\n", rs.events, error));
    const ReplayResult r = RunReplay(rs);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(m.hits.size(), 1u);
    EXPECT_GE(doubles, 1);
}

TEST(ReplayScriptRun, AMissingOrDisabledTargetFailsWithItsLine) {
    for (const char* line : {"click button_MM_MainMenu_Credits", "click button_Map_Level 3",
                             "dblclick button_Game_Menu", "click TNoSuchSprite", "drag 1 1 2 2"}) {
        MenuSprites m;
        const ReplayResult r = Play(m, std::string("5 move 1 1\n") + line + "\n");
        EXPECT_FALSE(r.ok) << line;
        EXPECT_EQ(r.error.rfind(line[0] == 'd' && line[1] == 'r' ? "line 2: no board cell (1, 1)"
                                                                 : "line 2: no visible",
                                0),
                  0u)
            << r.error;
        EXPECT_TRUE(m.hits.empty());
    }
}

TEST(ReplayScriptRun, WaitForASceneThenCountFromWhereItEnded) {
    MenuSprites m;
    const std::string dump = (std::filesystem::temp_directory_path() /
                              ("bw_wait_dump_" + std::to_string(::getpid()) + ".json"))
                                 .string();
    const ReplayResult r =
        Play(m, "wait scene scene_Map\n+2 dump " + dump + "\nwait 3\nexpect scene == scene_Map\n",
             80, 30);
    ASSERT_TRUE(r.ok) << r.error;
    JsonValue root;
    std::string error;
    const std::string text = testing::ReadWholeFile(dump);
    std::filesystem::remove(dump);
    ASSERT_TRUE(ParseJson(text, root, error)) << error;
    // The menu switches in its 30th tick; the wait sees it at the start of the next.
    const JsonValue* tick = FindJsonPath(root, "tick");
    ASSERT_NE(tick, nullptr);
    EXPECT_EQ(FindJsonPath(root, "scene")->text, "scene_Map");
    const double waited = tick->number;
    EXPECT_GE(waited, 30);
    EXPECT_LE(waited, 34);

    MenuSprites late;
    const ReplayResult timeout = Play(late, "2 move 1 1\nwait scene scene_Credits 20\n", 80);
    EXPECT_FALSE(timeout.ok);
    EXPECT_EQ(timeout.error,
              "line 2: wait scene scene_Credits: not reached within 20 ticks (scene is "
              "scene_MainMenu)");
    MenuSprites cut;
    const ReplayResult unfinished = Play(cut, "wait 100\nexpect scene == scene_Map\n", 40);
    EXPECT_FALSE(unfinished.ok);
    EXPECT_EQ(unfinished.error.rfind("line 1: still running", 0), 0u) << unfinished.error;
}

TEST(ReplayScriptRun, ExpectationsSeeTheDumpAndTheFirstFailureEndsTheRun) {
    MenuSprites m;
    const ReplayResult ok =
        Play(m, "5 expect player.Score == 1234\n+0 expect buttons[1].name == "
                "button_MM_MainMenu_Credits\n+0 expect buttons[1].enabled == false\n"
                "+0 expect buttons[2].x == 500\n+0 expect buttons[2].w == 100\n"
                "+0 expect buttons[3] absent\n+0 expect player.name == Ann\n"
                "+0 expect transition.visible == false\n+0 expect layers.message absent\n"
                "+0 expect particles == 0\n+0 expect music absent\n+0 expect board absent\n"
                "+0 expect level.LevelFinished == false\n+0 expect level.TaskStatus absent\n+0 "
                "expect player.awards[9] == 0\n");
    EXPECT_TRUE(ok.ok) << ok.error;
    MenuSprites f;
    const ReplayResult failed = Play(f, "5 expect scene == scene_MainMenu\n8 expect player.Score "
                                        "< 1000\n9 click button_Map_Level\n");
    EXPECT_FALSE(failed.ok);
    EXPECT_EQ(failed.error, "line 2: expect player.Score < 1000: expected < 1000, actual 1234");
    EXPECT_TRUE(f.hits.empty()) << "nothing after the failure runs";
}

TEST(ReplayScriptRun, TypeSendsOneCharacterATick) {
    MenuSprites m;
    std::vector<std::pair<uint64_t, std::string>> typed;
    testing::TempFolder home;
    ReplaySettings rs;
    uint64_t ticks = 0;
    rs.afterWiring = [&] {
        InstallMenu(m);
        struct Typist final : Scene {
            std::vector<std::pair<uint64_t, std::string>>* typed;
            uint64_t* ticks;
            void Tick() override { ++*ticks; }
            void TextInput(const std::string& t) override { typed->push_back({*ticks, t}); }
        };
        auto scene = std::make_unique<Typist>();
        scene->typed = &typed;
        scene->ticks = &ticks;
        RegisterScene(scene_MainMenu, std::move(scene));
    };
    rs.home = home.Path();
    rs.ticks = 30;
    std::string error;
    ASSERT_TRUE(ParseReplayScript("5 type Añ b\n+1 text xy\n", rs.events, error));
    const ReplayResult r = RunReplay(rs);
    ASSERT_TRUE(r.ok) << r.error;
    ASSERT_EQ(typed.size(), 5u);
    const char* want[] = {"A", "ñ", " ", "b", "xy"};
    for (size_t i = 0; i < typed.size(); ++i) {
        EXPECT_EQ(typed[i].second, want[i]);
        if (i > 0) {
            EXPECT_EQ(typed[i].first, typed[i - 1].first + 1) << i;
        }
    }
}

} // namespace
} // namespace bw
