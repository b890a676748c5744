// The game's one random generator, seeded once at start-up. The same seed gives the same
// sequence on every machine, which the replay harness relies on.
#pragma once

#include <cstdint>

namespace bw {

void RandomSeed(uint64_t seed);
// A seed from the clock and the process, for normal play.
uint64_t RandomSeedFromClock();
// 0 .. n-1; 0 when n <= 0.
int Random(int n);
// [0, 1).
double RandomFloat();
// True when percent >= Random(range) + 1.
bool Chance(int percent, int range = 100);

} // namespace bw
