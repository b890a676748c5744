#include "app/KilnTimer.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>

namespace bw {

double TKilnTiming::GetTickCount() {
    if (Source) return Source->Now();
    if (FMode == atmNotStarted) {
        HighFrequency = SDL_GetPerformanceFrequency();
        FMode = (HighFrequency > 0 && HighResolutionClock()) ? atmHighPrecision : atmLowPrecision;
    }
    return NowMs();
}

TKilnTimer::TKilnTimer() {
    SetSpeed(60);
    SetMaxFPS(4000);
    const double now = Timing.GetTickCount();
    QuickSampleTime = SlowSampleTime = now;
}

void TKilnTimer::SetSpeed(float value) {
    FSpeed = value < 1 ? 1 : value;
    ProcessTimeScale = static_cast<double>(FSpeed) / 1000.0;
}

void TKilnTimer::SetMaxFPS(int value) {
    FMaxFPS = value <= 0 ? 1 : value;
    MinInvokeInterval = 1000.0 / FMaxFPS;
}

void TKilnTimer::Reset() {
    DeltaAccum = 0;
    const double now = Timing.GetTickCount();
    QuickSampleTime = SlowSampleTime = now;
    QuickFrameCount = SlowFrameCount = 0;
}

void TKilnTimer::Idle() {
    double now = Timing.GetTickCount();
    if (!FEnabled) {
        QuickSampleTime = SlowSampleTime = now;
        QuickFrameCount = SlowFrameCount = 0;
        SleepFn(5);
        return;
    }
    // A clock that went backwards resets instead of producing negative time.
    if (now < QuickSampleTime || now < SlowSampleTime) {
        Reset();
        return;
    }
    ++QuickFrameCount;
    ++SlowFrameCount;
    if (now - SlowSampleTime >= 1000) {
        FFrameRate =
            static_cast<int>(std::nearbyint(SlowFrameCount * 1000.0 / (now - SlowSampleTime)));
        SlowSampleTime = now;
        SlowFrameCount = 0;
    }
    const double d = now - QuickSampleTime;
    if (d >= 1.0) {
        FLatency = QuickFrameCount > 0 ? d / QuickFrameCount : 0;
        if (Processed) {
            // A long stall yields at most 8 ticks; the rest of the time is dropped.
            DeltaAccum += static_cast<float>(std::min(d * ProcessTimeScale, 8.0));
            Processed = false;
        }
        QuickSampleTime = now;
        QuickFrameCount = 0;
    }
    if (FOnTimer) FOnTimer();
    if (MinInvokeInterval > 2.0) {
        now = Timing.GetTickCount();
        if (now < QuickSampleTime || now < SlowSampleTime) {
            Reset();
        } else {
            const double elapsed = now - QuickSampleTime;
            if (elapsed < MinInvokeInterval) {
                const int ms = static_cast<int>(std::nearbyint(MinInvokeInterval - elapsed));
                if (ms > 0) SleepFn(ms);
            }
        }
    }
}

void TKilnTimer::Process() {
    Processed = true;
    int n = static_cast<int>(DeltaAccum);
    if (n < 1) return;
    if (FSingleCallOnly) {
        n = 1;
        DeltaAccum = 0;
    }
    for (int i = 0; i < n; ++i)
        if (FOnProcess) FOnProcess();
    DeltaAccum -= std::trunc(DeltaAccum);
}

} // namespace bw
