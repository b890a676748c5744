// The order in which mouse events reach the game, from the platform layer through the frame to
// a scene, and what the frame lets through while modal layers are up.
#include "Engine/KilnSprite/SpriteEngine.h"
#include "app/GameWiring.h"
#include "app/MainForm.h"
#include "base/GameObjects.h"
#include "base/GameState.h"
#include "base/ModalLayers.h"
#include "base/Scene.h"
#include "data/ArchiveAccess.h"
#include "data/KilnArchive.h"
#include "gui/ButtonProtocol.h"
#include "platform/ClickOrder.h"
#include "platform/Log.h"
#include "platform/PictureFile.h"
#include "platform/Window.h"
#include "replay/Replay.h"
#include "support/ScriptedScene.h"
#include "support/TempFolder.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace bw {
namespace {

std::vector<std::string> Names(const std::deque<PlatformEvent>& events) {
    std::vector<std::string> names;
    for (const PlatformEvent& e : events) {
        switch (e.type) {
        case EventType::MouseDown:
            names.push_back("down");
            break;
        case EventType::MouseUp:
            names.push_back("up");
            break;
        case EventType::MouseClick:
            names.push_back("click");
            break;
        case EventType::MouseDoubleClick:
            names.push_back("dblclick");
            break;
        default:
            names.push_back("other");
        }
    }
    return names;
}

using List = std::vector<std::string>;

TEST(ClickOrder, AClickComesBetweenPressAndReleaseAndADoubleClickHasNoSecondClick) {
    ClickOrder order;
    std::deque<PlatformEvent> out;
    order.Press(1, 1, 5, 6, out);
    order.Release(1, 5, 6, out);
    EXPECT_EQ(Names(out), (List{"down", "click", "up"}));
    EXPECT_EQ(out[1].x, 5);
    EXPECT_EQ(out[1].y, 6);

    out.clear();
    order.Press(1, 1, 0, 0, out);
    order.Release(1, 0, 0, out);
    order.Press(1, 2, 0, 0, out);
    order.Release(1, 0, 0, out);
    EXPECT_EQ(Names(out), (List{"down", "click", "up", "down", "dblclick", "up"}));

    // Other buttons never click; a release without its press is only a release.
    out.clear();
    order.Press(3, 1, 0, 0, out);
    order.Release(3, 0, 0, out);
    order.Release(1, 0, 0, out);
    EXPECT_EQ(Names(out), (List{"down", "up", "up"}));
}

// The real game in this process on virtual time, fed with SDL's own button events.
class FrameInputTest : public ::testing::Test {
protected:
    void SetUp() override { setenv("SDL_VIDEODRIVER", "offscreen", 1); }

    void Start(const std::function<void()>& wire) {
        LaunchSettings ls;
        ls.homeFolder = home_.Path();
        ls.virtualTime = true;
        ls.seed = 1;
        ls.fullScreen = true;
        ls.desktopSize = TPoint2px{960, 540};
        ls.visibleWindow = false;
        WireGame();
        wire();
        form_ = std::make_unique<TMainForm>(ls);
        ASSERT_TRUE(form_->Start());
        form_->StepFrame(2);
    }

    void TearDown() override {
        form_.reset();
        UnwireGame();
    }

    // A press or release of the left button at the middle of the window, through SDL's queue.
    static void Push(Uint32 type, Uint8 clicks) {
        SDL_Event e{};
        e.type = type;
        e.button.button = SDL_BUTTON_LEFT;
        e.button.clicks = clicks;
        e.button.x = 480;
        e.button.y = 270;
        SDL_PushEvent(&e);
    }

    // A sprite over the whole canvas that the pointer always hits.
    static TSprite* Cover() {
        auto* s = new TAnimatedSprite(MainEngine);
        s->FCollisioned = true;
        s->FCollideMode = cmRect;
        s->FCollideRect = TRect{0, 0, 1920, 1080};
        return s;
    }

    testing::TempFolder home_;
    std::unique_ptr<TMainForm> form_;
};

TEST_F(FrameInputTest, AButtonSeesTheClickWhileTheButtonIsStillDownAndActsOncePerDoubleClick) {
    std::vector<std::string> seen;
    int acted = 0;
    TSprite* button = nullptr;
    Start([&] {
        testing::Script(scene_Splash).onCreate = [&] {
            CurrentScene = scene_MainMenu;
            button = Cover();
        };
        testing::ScriptedScene& menu = testing::Script(scene_MainMenu);
        menu.onTick = [] {}; // no hover: only the events' own hit tests
        menu.onHit = [&](TSprite& hit) {
            if (&hit != button) return;
            if (MouseReleased)
                seen.push_back("release");
            else if (MouseClicked)
                seen.push_back(MouseButtonDown ? "click-held" : "click");
            else if (MouseDblClicked)
                seen.push_back("dblclick");
            else
                seen.push_back("press");
            if (TakeButtonClick()) ++acted;
        };
        menu.onRelease = [] {
            MouseButtonDown = false;
            MouseReleased = true;
            RunHitTest();
            MouseReleased = false;
        };
    });
    // The move puts the pointer over the sprite.
    PlatformEvent move;
    move.type = EventType::MouseMove;
    move.x = 480;
    move.y = 270;
    form_->Dispatch(move);

    Push(SDL_MOUSEBUTTONDOWN, 1);
    Push(SDL_MOUSEBUTTONUP, 1);
    form_->IdleRound();
    EXPECT_EQ(seen, (List{"press", "click-held", "release"}));
    EXPECT_EQ(acted, 1);

    seen.clear();
    acted = 0;
    Push(SDL_MOUSEBUTTONDOWN, 1);
    Push(SDL_MOUSEBUTTONUP, 1);
    Push(SDL_MOUSEBUTTONDOWN, 2);
    Push(SDL_MOUSEBUTTONUP, 2);
    form_->IdleRound();
    EXPECT_EQ(seen, (List{"press", "click-held", "release", "press", "dblclick", "release"}));
    EXPECT_EQ(acted, 1);
}

// A layer that is shown and blocks what a test says.
struct TestLayer final : ModalLayer {
    bool shown = true;
    bool blocksBoard = false;
    bool blocksHitTest = false;
    bool takesPress = false;
    bool takesHit = false;
    int hits = 0;
    bool Shown() const override { return shown; }
    bool BlocksBoard() const override { return shown && blocksBoard; }
    bool BlocksHitTest() const override { return shown && blocksHitTest; }
    bool Hit(TSprite&) override {
        ++hits;
        return takesHit;
    }
    bool Press() override { return shown && takesPress; }
};

TEST_F(FrameInputTest, LayersTakeThePointerFrontToBackBeforeTheScene) {
    int sceneHits = 0, presses = 0;
    TestLayer* message = nullptr;
    TestLayer* result = nullptr;
    Start([&] {
        auto m = std::make_unique<TestLayer>();
        auto r = std::make_unique<TestLayer>();
        message = m.get();
        result = r.get();
        message->shown = false;
        result->takesHit = true;
        result->blocksBoard = true;
        Layers().Register(Layer::Message, std::move(m));
        Layers().Register(Layer::Result, std::move(r));
        testing::Script(scene_Splash).onCreate = [] {
            CurrentScene = scene_MainMenu;
            Cover();
        };
        testing::ScriptedScene& menu = testing::Script(scene_MainMenu);
        menu.onHit = [&](TSprite&) { ++sceneHits; };
        menu.onPress = [&] { ++presses; };
    });
    form_->FormMouseMove(480, 270);
    form_->StepFrame(3);
    // The result panel in front takes every hit; the board behind it gets no press.
    EXPECT_GE(result->hits, 3);
    EXPECT_EQ(sceneHits, 0);
    form_->FormMouseDown(1);
    EXPECT_EQ(presses, 0);

    // A shown message box comes first and may ignore the press as a whole.
    message->shown = true;
    message->takesPress = true;
    const int resultHits = result->hits;
    form_->FormMouseDown(1);
    EXPECT_EQ(result->hits, resultHits);

    // Nothing shown: the scene gets its hits and its press.
    message->shown = result->shown = false;
    result->takesHit = false;
    form_->StepFrame(1);
    form_->FormMouseDown(1);
    EXPECT_GT(sceneHits, 0);
    EXPECT_EQ(presses, 1);
}

// The level's tick hit-tests under a result panel or a pop-up (their buttons glow) but not under a
// message box or a dialog, nor while a result is pending or the level is decided.
TEST_F(FrameInputTest, TheLevelHitTestsUnderTheResultButNotUnderAMessageBox) {
    TestLayer* result = nullptr;
    TestLayer* message = nullptr;
    Start([&] {
        auto r = std::make_unique<TestLayer>();
        auto m = std::make_unique<TestLayer>();
        result = r.get();
        message = m.get();
        result->takesHit = true;
        result->blocksBoard = true;
        message->shown = false;
        message->blocksHitTest = true;
        Layers().Register(Layer::Result, std::move(r));
        Layers().Register(Layer::Message, std::move(m));
        testing::Script(scene_Splash).onCreate = [] {
            CurrentScene = scene_Level;
            Cover();
        };
    });
    form_->FormMouseMove(480, 270);
    auto hitsOver = [&](int ticks) {
        const int before = result->hits;
        form_->StepFrame(ticks);
        return result->hits - before;
    };
    EXPECT_GE(hitsOver(4), 4);
    message->shown = true;
    EXPECT_EQ(hitsOver(4), 0);
    message->shown = false;
    ResultDelayActive = true;
    ResultDelay = 100;
    EXPECT_EQ(hitsOver(4), 0);
    ResultDelayActive = false;
    LevelFinished = true;
    EXPECT_EQ(hitsOver(4), 0);
    LevelFinished = false;
    EXPECT_GE(hitsOver(4), 4);
}

// A sprite that counts the ticks it moves.
struct CountingSprite : TAnimatedSprite {
    CountingSprite(TSpriteEngine* engine, int& moves) : TAnimatedSprite(engine), moves_(moves) {}
    void DoMove(float moveCount) override {
        ++moves_;
        TAnimatedSprite::DoMove(moveCount);
    }
    int& moves_;
};
// The sprites of a scene shown over another.
struct TopSprite : CountingSprite {
    using CountingSprite::CountingSprite;
};

// A scene over a living scene keeps the one below going; over a frozen scene nothing below
// moves; closing returns to the scene below; Escape reaches the top scene only.
TEST_F(FrameInputTest, AScenesOverAnotherLetsTheOneBelowLiveOrStandFrozen) {
    struct Counts {
        int lives = 0, ticks = 0, escapes = 0, moves = 0;
    };
    Counts menu, level, top;
    const auto over = [&](uint8_t id, Counts& counts) {
        testing::ScriptedScene& scene = testing::Script(id);
        scene.onTick = [&counts] {
            ++counts.ticks;
            TickScenesBelow();
            MoveOverScene(&SpriteIs<TopSprite>);
        };
        scene.onEscape = [&counts, id] {
            ++counts.escapes;
            CloseOver(id);
        };
    };
    const auto under = [](uint8_t id, Counts& counts) {
        testing::ScriptedScene& scene = testing::Script(id);
        scene.onTick = [&counts] {
            ++counts.ticks;
            MoveMainEngine();
        };
        scene.onLive = [&counts] { ++counts.lives; };
        scene.onEscape = [&counts] { ++counts.escapes; };
    };
    Start([&] {
        testing::Script(scene_Splash).onCreate = [] { CurrentScene = scene_MainMenu; };
        under(scene_MainMenu, menu);
        under(scene_Level, level);
        over(scene_Credits, top);
        over(scene_Options, top);
    });
    ASSERT_EQ(CurrentScene, scene_MainMenu);
    new CountingSprite(MainEngine, menu.moves);
    new TopSprite(MainEngine, top.moves);
    EXPECT_FALSE(SceneIsOver());
    EXPECT_EQ(SceneBelow(), scene_MainMenu);

    // The credits over the living menu: the menu's own update runs and all sprites move, but
    // its tick is the top scene's to run.
    OpenOver(scene_Credits, Beneath::Lives);
    const int menuTicks = menu.ticks;
    form_->StepFrame(5);
    EXPECT_EQ(menu.lives, 5);
    EXPECT_EQ(menu.ticks, menuTicks);
    EXPECT_EQ(top.ticks, 5);
    EXPECT_EQ(menu.moves, 5);
    EXPECT_EQ(top.moves, 5);
    EXPECT_TRUE(SceneBelowLives());
    EXPECT_EQ(SceneBelow(), scene_MainMenu);

    // Escape closes the credits alone, and the menu ticks again.
    form_->FormKeyDown(Key::Escape);
    EXPECT_EQ(top.escapes, 1);
    EXPECT_EQ(menu.escapes, 0);
    EXPECT_EQ(CurrentScene, scene_MainMenu);
    EXPECT_FALSE(SceneIsOver());
    form_->StepFrame(1);
    EXPECT_EQ(menu.ticks, menuTicks + 1);
    EXPECT_EQ(menu.lives, 5);

    // The options over a frozen level: nothing of the level runs or moves; its own sprites do.
    CurrentScene = scene_Level;
    form_->StepFrame(1);
    OpenOver(scene_Options, Beneath::Frozen);
    const Counts levelBefore = level, topBefore = top, menuBefore = menu;
    form_->StepFrame(4);
    EXPECT_EQ(level.ticks, levelBefore.ticks);
    EXPECT_EQ(level.lives, 0);
    EXPECT_EQ(menu.moves, menuBefore.moves);
    EXPECT_EQ(top.moves, topBefore.moves + 4);
    EXPECT_FALSE(SceneBelowLives());
    EXPECT_EQ(SceneBelow(), scene_Level);
    form_->FormKeyDown(Key::Escape);
    EXPECT_EQ(level.escapes, 0);
    EXPECT_EQ(CurrentScene, scene_Level);
    form_->StepFrame(2);
    EXPECT_EQ(level.ticks, levelBefore.ticks + 2);
    EXPECT_EQ(menu.moves, menuBefore.moves + 2);

    // A fade that switches scenes leaves nothing over the new one, and closing what is gone
    // does nothing.
    OpenOver(scene_Options, Beneath::Frozen);
    CurrentScene = scene_MainMenu;
    EXPECT_FALSE(SceneIsOver());
    EXPECT_FALSE(CloseOver(scene_Options));
    EXPECT_EQ(CurrentScene, scene_MainMenu);
}

TEST(ModalLayers, EveryEventGoesToTheFirstLayerThatTakesIt) {
    ModalLayers layers;
    auto popup = std::make_unique<TestLayer>();
    auto dialog = std::make_unique<TestLayer>();
    TestLayer& p = *popup;
    TestLayer& d = *dialog;
    layers.Register(Layer::Dialog, std::move(dialog));
    layers.Register(Layer::Popup, std::move(popup));
    p.takesHit = true;
    d.takesHit = true;
    TAnimatedSprite sprite(nullptr);
    EXPECT_TRUE(layers.Hit(sprite));
    EXPECT_EQ(p.hits, 1);
    EXPECT_EQ(d.hits, 0) << "the pop-up stands in front of the dialog";
    p.takesHit = false;
    EXPECT_TRUE(layers.Hit(sprite));
    EXPECT_EQ(d.hits, 1);
    // Empty slots are null layers: never shown, take nothing.
    EXPECT_FALSE(layers.Shown(Layer::Message));
    EXPECT_FALSE(layers.Shown(Layer::Tutorial));
    d.blocksHitTest = true;
    EXPECT_TRUE(layers.BlocksHitTest());
    EXPECT_FALSE(layers.BlocksBoard());
    layers.Clear();
    EXPECT_FALSE(layers.BlocksHitTest());
}

TEST(Scenes, EveryGameSceneIsServedByItsModuleOrByTheNullSceneThatSaysSo) {
    testing::TempFolder home;
    std::vector<std::string> lines;
    SetLogListener([&](const std::string& line) { lines.push_back(line); });
    WireGame();
    EXPECT_TRUE(SceneRegistered(scene_Level));
    EXPECT_TRUE(SceneRegistered(scene_Splash));
    EXPECT_TRUE(SceneRegistered(scene_MainMenu));
    std::vector<bool> served(SceneCount);
    for (int id = 0; id < SceneCount; ++id) {
        Scene& scene = SceneOf(static_cast<uint8_t>(id));
        served[static_cast<size_t>(id)] = SceneRegistered(static_cast<uint8_t>(id));
        if (served[static_cast<size_t>(id)]) continue;
        scene.Tick();
        scene.Tick();
        scene.Escape();
    }
    UnwireGame();
    SetLogListener(nullptr);
    for (int id = 0; id < SceneCount; ++id) {
        if (served[static_cast<size_t>(id)]) continue;
        const std::string name = SceneName(static_cast<uint8_t>(id));
        int mentions = 0;
        for (const std::string& line : lines)
            if (line.find("No module serves " + name + ";") != std::string::npos) ++mentions;
        EXPECT_EQ(mentions, 1) << name;
    }
    // Out of range is served too.
    SceneOf(200).Tick();
}

TEST(SecondInstance, TheSecondGameShowsTheMessageInABoxAndEnds) {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    testing::TempFolder home;
    std::vector<std::string> boxes;
    SetMessageBoxHandler(
        [&](const std::string&, const std::string& text) { boxes.push_back(text); });
    LaunchSettings ls;
    ls.homeFolder = home.Path();
    ls.virtualTime = true;
    ls.visibleWindow = false;
    TMainForm first(ls);
    ASSERT_TRUE(first.Start());
    {
        TMainForm second(ls);
        EXPECT_FALSE(second.Start());
        EXPECT_FALSE(second.StartError().empty());
    }
    SetMessageBoxHandler(nullptr);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_FALSE(boxes[0].empty());
}

TEST_F(FrameInputTest, APictureTheCatalogueLacksIsNamedOnceInTheLog) {
    std::vector<std::string> lines;
    SetLogListener([&](const std::string& line) { lines.push_back(line); });
    Start([] {
        testing::Script(scene_Splash).onCreate = [] {
            for (int i = 0; i < 3; ++i)
                (new TAnimatedSprite(MainEngine))->SetImageName("nope.image");
        };
    });
    SetLogListener(nullptr);
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& l) {
                                return l.find("Picture nope.image is not loaded") !=
                                       std::string::npos;
                            }),
              1);
}

TEST_F(FrameInputTest, OnceTheArchivesAreOpenNothingCanWriteOne) {
    Start([] {});
    EXPECT_TRUE(ArchiveAccessLocked());
    TKilnArchive created;
    created.SetOpenMode(aomOverwrite);
    EXPECT_FALSE(created.OpenFile(home_.File("new.dan")));
    form_.reset();
    // The lock goes with the game (tools and the next test write again).
    EXPECT_FALSE(ArchiveAccessLocked());
    EXPECT_TRUE(created.OpenFile(home_.File("new.dan")));
}

// The screen that waits for the first click shows the loading backdrop with its full bar: a
// frame of one colour means nothing was drawn.
TEST(ReadyScreen, TheLoadedScreenShowsTheBackdropNotAUniformFrame) {
    testing::TempFolder home;
    ReplaySettings rs;
    rs.home = home.Path();
    rs.data = std::string(BW_TEST_BINARY_DIR) + "/Data";
    rs.size = {480, 270};
    rs.ticks = 6;
    rs.quickStart = true;
    const std::string shot = home.File("ready.png");
    rs.shots = {{4, shot}};
    const ReplayResult result = RunReplay(rs);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.scene, "scene_Loaded");
    Picture picture;
    ASSERT_TRUE(LoadPictureFile(shot, picture));
    std::set<uint32_t> colours(picture.argb.begin(), picture.argb.end());
    EXPECT_GT(colours.size(), 200u) << "a uniform or nearly uniform frame";
    // The bar is full: its middle row is lit well to the right of its start.
    const auto at = [&](int x, int y) { return picture.argb[static_cast<size_t>(y * 480 + x)]; };
    EXPECT_NE(at(290, 197), 0xFF000000u);
}

} // namespace
} // namespace bw
