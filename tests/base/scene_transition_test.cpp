// The black fade between scenes: how long each speed takes, when its steps run, and what a
// second fade or a loading screen does to a running one.
#include "Engine/KilnSprite/SpriteEngine.h"
#include "base/GameState.h"
#include "base/SceneTransition.h"
#include "render/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace bw {
namespace {

struct RecordingSteps final : TransitionSteps {
    std::vector<std::string> seen;
    std::function<void(TChangeSceneNames)> atBlack;
    void AtFullBlack(TChangeSceneNames kind) override {
        seen.push_back(std::string("black ") + TransitionKindName(kind));
        if (atBlack) atBlack(kind);
    }
    void AfterFadeIn(TChangeSceneNames kind) override {
        seen.push_back(std::string("clear ") + TransitionKindName(kind));
    }
};

class TransitionTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetAppState();
        CreateTransitionSprite(&engine_);
        SetTransitionSteps(&steps_);
    }
    void TearDown() override {
        SetTransitionSteps(nullptr);
        ForgetTransitionSprite();
    }
    // Ticks until the fade has gone dark and clear again; the tick of each step.
    void Run(int& black, int& clear) {
        black = clear = -1;
        for (int tick = 1; tick < 1000 && TransitionVisible(); ++tick) {
            const size_t before = steps_.seen.size();
            TransitionSprite->DoMove(1.0f);
            if (steps_.seen.size() > before) (black < 0 ? black : clear) = tick;
        }
    }

    RecordingCanvas canvas_;
    TSpriteEngine engine_{&canvas_, nullptr};
    RecordingSteps steps_;
};

TEST_F(TransitionTest, EachSpeedTakesItsNumberOfTicksEachWay) {
    struct Case {
        float speed;
        int ticksEachWay;
    };
    for (const Case c :
         {Case{FadeSpeedSlow, 98}, Case{FadeSpeedLoading, 85}, Case{FadeSpeedFast, 25}}) {
        StartTransition(fl_Map_Start, c.speed);
        int black = 0, clear = 0;
        Run(black, clear);
        EXPECT_EQ(black, c.ticksEachWay) << c.speed;
        EXPECT_EQ(clear - black, c.ticksEachWay) << c.speed;
        EXPECT_FALSE(TransitionVisible());
        EXPECT_EQ(TransitionSprite->FAlpha, 0);
    }
    EXPECT_EQ(steps_.seen.size(), 6u);
}

TEST_F(TransitionTest, TheOverlayAlphaRoundsHalvesToEven) {
    // The fast fade darkens by 10.5 a tick: 10.5 shows as 10, 31.5 as 32.
    StartTransition(fl_Map_Start, FadeSpeedFast);
    std::vector<int> alphas;
    for (int i = 0; i < 3; ++i) {
        TransitionSprite->DoMove(1.0f);
        alphas.push_back(TransitionSprite->FAlpha);
    }
    EXPECT_EQ(alphas, (std::vector<int>{10, 21, 32}));
}

TEST_F(TransitionTest, TheOverlayIsOpaqueAtTheSwitchAndTheFrameMovesItAlone) {
    MouseButtonDown = true;
    StartTransition(fl_Game_RestartLevel, FadeSpeedFast);
    EXPECT_FALSE(MouseButtonDown) << "a fade ends any press";
    EXPECT_TRUE(TransitionVisible());
    EXPECT_FALSE(TransitionSprite->FMoved) << "the engine's move must not move it twice";
    for (int i = 0; i < 25; ++i) TransitionSprite->DoMove(1.0f);
    EXPECT_EQ(TransitionSprite->FAlpha, 255);
    EXPECT_EQ(TransitionSprite->FDirection, -1);
    int black = 0, clear = 0;
    Run(black, clear);
    EXPECT_EQ(steps_.seen, (std::vector<std::string>{"black fl_Game_RestartLevel",
                                                     "clear fl_Game_RestartLevel"}));
    engine_.Move(1.0f);
    EXPECT_EQ(TransitionSprite->FBrightness, 0);
}

TEST_F(TransitionTest, ASecondFadeReplacesTheFirstAndOnlyItsKindIsCarriedOut) {
    StartTransition(fl_Game_GotoMap, FadeSpeedFast);
    for (int i = 0; i < 10; ++i) TransitionSprite->DoMove(1.0f);
    EXPECT_GT(TransitionSprite->FBrightness, 100);
    StartTransition(fl_Map_Start, FadeSpeedFast);
    EXPECT_EQ(TransitionSprite->FBrightness, 0) << "the fade restarts from clear";
    int black = 0, clear = 0;
    Run(black, clear);
    EXPECT_EQ(black, 25);
    EXPECT_EQ(steps_.seen, (std::vector<std::string>{"black fl_Map_Start", "clear fl_Map_Start"}));
}

TEST_F(TransitionTest, TheFadeHoldsAtBlackWhileALoadingScreenReads) {
    // The switch puts up a loading screen; until the player leaves it the fade stands still.
    steps_.atBlack = [](TChangeSceneNames) { CurrentScene = scene_Loading; };
    StartTransition(fl_Map_Start, FadeSpeedFast);
    for (int i = 0; i < 25; ++i) TransitionSprite->DoMove(1.0f);
    ASSERT_EQ(CurrentScene, scene_Loading);
    for (int i = 0; i < 100; ++i) TransitionSprite->DoMove(1.0f);
    EXPECT_EQ(TransitionSprite->FBrightness, 255);
    EXPECT_EQ(TransitionSprite->FAlpha, 255);
    CurrentScene = scene_Level;
    for (int i = 0; i < 25; ++i) TransitionSprite->DoMove(1.0f);
    EXPECT_FALSE(TransitionVisible());
    EXPECT_EQ(steps_.seen.back(), "clear fl_Map_Start");
}

TEST_F(TransitionTest, KindsWithoutStepsAndAMissingSpriteAreHarmless) {
    SetTransitionSteps(nullptr);
    StartTransition(fl_exitgame, FadeSpeedSlow);
    int black = 0, clear = 0;
    Run(black, clear);
    EXPECT_FALSE(TransitionVisible());
    ForgetTransitionSprite();
    StartTransition(fl_Map_Start, FadeSpeedFast);
    EXPECT_FALSE(TransitionVisible());
    EXPECT_STREQ(TransitionKindName(200), "fl_unknown");
}

} // namespace
} // namespace bw
