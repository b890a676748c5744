#include "platform/Clock.h"

#include <SDL.h>

#include <chrono>
#include <thread>

namespace bw {

namespace {

struct Counter {
    uint64_t frequency = 0;
    uint64_t start = 0;
    Counter() {
        frequency = SDL_GetPerformanceFrequency();
        start = SDL_GetPerformanceCounter();
    }
};

const Counter& TheCounter() {
    static const Counter counter;
    return counter;
}

} // namespace

bool HighResolutionClock() {
    return TheCounter().frequency >= 1000;
}

double NowMs() {
    const Counter& c = TheCounter();
    if (c.frequency >= 1000) {
        const uint64_t ticks = SDL_GetPerformanceCounter() - c.start;
        return static_cast<double>(ticks) * 1000.0 / static_cast<double>(c.frequency);
    }
    static const auto origin = std::chrono::steady_clock::now();
    return static_cast<double>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                   std::chrono::steady_clock::now() - origin)
                                   .count());
}

void SleepMs(int ms) {
    if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

} // namespace bw
