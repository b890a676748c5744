// Time for the frame loop: a millisecond counter, sleeping, and periodic timers.
#pragma once

#include <cstdint>
#include <functional>

namespace bw {

// Milliseconds from an arbitrary start, with sub-millisecond resolution. Uses the
// high-resolution performance counter, or the millisecond tick count where there is none.
double NowMs();
// True when NowMs() runs on the high-resolution counter.
bool HighResolutionClock();
void SleepMs(int ms);

// A source of time the loop reads. The real one is NowMs(); the replay harness gives the
// loop a virtual one that only moves when it is told to.
class TimeSource {
public:
    virtual ~TimeSource() = default;
    virtual double Now() = 0;
};

class SystemTimeSource final : public TimeSource {
public:
    double Now() override { return NowMs(); }
};

class ManualTimeSource final : public TimeSource {
public:
    double Now() override { return now_; }
    void Advance(double ms) { now_ += ms; }
    void Set(double ms) { now_ = ms; }

private:
    double now_ = 0;
};

// A repeating timer polled by the loop: fires once per elapsed interval. After a long stall it
// fires once, not once for every interval missed, as a window timer does.
class PeriodicTimer {
public:
    PeriodicTimer(double intervalMs, std::function<void()> onTick)
        : interval_(intervalMs), onTick_(std::move(onTick)) {}
    void Start(double now) {
        next_ = now + interval_;
        running_ = true;
    }
    void Stop() { running_ = false; }
    bool Running() const { return running_; }
    // Runs the callback when its time has come; true when it did.
    bool Poll(double now) {
        if (!running_ || now < next_) return false;
        next_ += interval_;
        if (next_ <= now) next_ = now + interval_;
        if (onTick_) onTick_();
        return true;
    }
    double Interval() const { return interval_; }

private:
    double interval_;
    double next_ = 0;
    bool running_ = false;
    std::function<void()> onTick_;
};

} // namespace bw
