// How long a benchmark asks to run: its own time normally, next to nothing in the smoke run
// of the test suite (BW_BENCH_SMOKE set), where only building and running matters.
#pragma once

#include <cstdlib>

inline double BenchTime(double seconds) {
    return std::getenv("BW_BENCH_SMOKE") ? 0.001 : seconds;
}
