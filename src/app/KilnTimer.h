// The frame timer: draws once per idle round and runs as many fixed update ticks (60 per
// second) as the time since the last round calls for, at most 8 per round.
#pragma once

#include "platform/Clock.h"

#include <cstdint>
#include <functional>

namespace bw {

enum TKilnTimingMode { atmNotStarted, atmLowPrecision, atmHighPrecision };

// The clock the timer reads: the high-resolution counter when there is one.
class TKilnTiming {
public:
    double GetTickCount();
    TKilnTimingMode FMode = atmNotStarted;
    uint64_t HighFrequency = 0;
    // Where the time comes from; the system clock unless a test or the replay harness sets
    // another.
    TimeSource* Source = nullptr;
};

class TKilnTimer {
public:
    TKilnTimer();

    // One idle round: samples the clock, calls the draw callback, and sleeps to honour
    // FMaxFPS when that asks for more than 2 ms per round.
    void Idle();
    // Called by the draw callback after drawing: runs the update callback once per whole
    // tick accumulated.
    void Process();
    void Reset();

    void SetMaxFPS(int value);
    int MaxFPS() const { return FMaxFPS; }
    void SetSpeed(float value);
    float Speed() const { return FSpeed; }
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool on) { FEnabled = on; }
    int FrameRate() const { return FFrameRate; }
    double Latency() const { return FLatency; }

    TKilnTiming Timing;
    std::function<void()> FOnTimer;   // draw
    std::function<void()> FOnProcess; // one update tick
    // How the timer sleeps; replaced by tests to observe sleeping without waiting.
    std::function<void(int ms)> SleepFn = SleepMs;

    // Fields in their usual order; public so the loop's state can be inspected.
    int FMaxFPS = 4000;
    float FSpeed = 60;
    bool FEnabled = false;
    int FFrameRate = 0;
    bool Processed = false;
    double FLatency = 0;
    float DeltaAccum = 0;
    double ProcessTimeScale = 0.06;
    double MinInvokeInterval = 0.25;
    double QuickSampleTime = 0;
    double SlowSampleTime = 0;
    int QuickFrameCount = 0;
    int SlowFrameCount = 0;
    bool FSingleCallOnly = false;
};

} // namespace bw
