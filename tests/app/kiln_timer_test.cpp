#include "app/KilnTimer.h"

#include <gtest/gtest.h>

#include <vector>

namespace bw {
namespace {

// A timer on a clock the test moves, counting draws, ticks and sleeps.
struct TimerRig {
    ManualTimeSource clock;
    TKilnTimer timer;
    int draws = 0;
    int ticks = 0;
    std::vector<int> sleeps;

    TimerRig() {
        timer.Timing.Source = &clock;
        timer.Reset();
        timer.FOnTimer = [this] {
            ++draws;
            timer.Process();
        };
        timer.FOnProcess = [this] { ++ticks; };
        timer.SleepFn = [this](int ms) { sleeps.push_back(ms); };
        timer.SetEnabled(true);
    }
    // One idle round `ms` after the previous one; returns the ticks it ran.
    int Round(double ms) {
        clock.Advance(ms);
        const int before = ticks;
        timer.Idle();
        return ticks - before;
    }
};

TEST(KilnTimer, RunsSixtyTicksPerSecondWhateverTheFrameRate) {
    TimerRig rig;
    rig.Round(0); // the first round only arms the accumulator
    int total = 0;
    for (int i = 0; i < 600; ++i) total += rig.Round(1000.0 / 600); // 600 rounds a second
    EXPECT_NEAR(total, 60, 1);
    total = 0;
    for (int i = 0; i < 30; ++i) total += rig.Round(1000.0 / 30); // 30 rounds a second
    EXPECT_NEAR(total, 60, 1);
    EXPECT_EQ(rig.draws, 631);
}

TEST(KilnTimer, AStallOfOneSecondGivesEightTicksNotSixty) {
    TimerRig rig;
    rig.Round(0);
    rig.Round(16.7);
    EXPECT_EQ(rig.Round(1000), 8);
    EXPECT_EQ(rig.Round(5000), 8);
    // The dropped time does not come back later.
    EXPECT_LE(rig.Round(16.7), 2);
}

TEST(KilnTimer, AClockGoingBackwardsResetsWithoutDrawingOrTicking) {
    TimerRig rig;
    rig.Round(0);
    rig.Round(100);
    const int draws = rig.draws;
    rig.clock.Advance(-500);
    rig.timer.Idle();
    EXPECT_EQ(rig.draws, draws);
    EXPECT_EQ(rig.timer.DeltaAccum, 0.0f);
    // Time then runs on normally from the new reading.
    rig.Round(0);
    EXPECT_EQ(rig.Round(50), 3);
}

TEST(KilnTimer, TheFrameLimiterSleepsOnlyWhenARoundIsShorterThanFiveMs) {
    TimerRig rig;
    rig.Round(0);
    for (int i = 0; i < 10; ++i) rig.Round(1);
    EXPECT_TRUE(rig.sleeps.empty()) << "4000 rounds a second never sleep";

    rig.timer.SetMaxFPS(200);
    EXPECT_DOUBLE_EQ(rig.timer.MinInvokeInterval, 5.0);
    rig.Round(1.5);
    // The round's draw took no time on this clock, so it sleeps the whole 5 ms.
    ASSERT_EQ(rig.sleeps.size(), 1u);
    EXPECT_EQ(rig.sleeps[0], 5);
    // A draw that itself takes 7 ms leaves nothing to sleep.
    rig.timer.FOnTimer = [&] {
        rig.clock.Advance(7);
        rig.timer.Process();
    };
    rig.Round(5);
    EXPECT_EQ(rig.sleeps.size(), 1u);
}

TEST(KilnTimer, DisabledTimerSleepsAndNeitherDrawsNorTicks) {
    TimerRig rig;
    rig.timer.SetEnabled(false);
    rig.Round(1000);
    EXPECT_EQ(rig.draws, 0);
    EXPECT_EQ(rig.sleeps, std::vector<int>{5});
    rig.timer.SetEnabled(true);
    rig.Round(0);
    EXPECT_EQ(rig.Round(1000), 8) << "time spent disabled is not caught up";
}

TEST(KilnTimer, SpeedAndMaxFpsAreKeptInRangeAndSingleCallRunsOneTick) {
    TKilnTimer t;
    t.SetSpeed(0.5f);
    EXPECT_EQ(t.Speed(), 1.0f);
    t.SetMaxFPS(0);
    EXPECT_EQ(t.MaxFPS(), 1);

    TimerRig rig;
    rig.timer.FSingleCallOnly = true;
    rig.Round(0);
    rig.Round(16.7);
    EXPECT_EQ(rig.Round(500), 1);
    EXPECT_EQ(rig.timer.DeltaAccum, 0.0f);
}

TEST(KilnTimer, FrameRateIsCountedOverEachSecond) {
    TimerRig rig;
    rig.Round(0);
    for (int i = 0; i < 100; ++i) rig.Round(10);
    EXPECT_NEAR(rig.timer.FrameRate(), 100, 1);
}

} // namespace
} // namespace bw
