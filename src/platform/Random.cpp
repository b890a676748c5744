#include "platform/Random.h"

#include <chrono>
#include <unistd.h>

namespace bw {

namespace {

// xoshiro256**: small, fast, and its output is fully defined (unlike the standard
// distributions, whose results differ between libraries).
struct Generator {
    uint64_t s[4] = {0x9E3779B97F4A7C15ull, 0xBF58476D1CE4E5B9ull, 0x94D049BB133111EBull, 1};

    static uint64_t Rotl(uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }
    uint64_t Next() {
        const uint64_t result = Rotl(s[1] * 5, 7) * 9;
        const uint64_t t = s[1] << 17;
        s[2] ^= s[0];
        s[3] ^= s[1];
        s[1] ^= s[2];
        s[0] ^= s[3];
        s[2] ^= t;
        s[3] = Rotl(s[3], 45);
        return result;
    }
    void Seed(uint64_t seed) {
        // splitmix64 spreads one word over the whole state.
        for (uint64_t& word : s) {
            seed += 0x9E3779B97F4A7C15ull;
            uint64_t z = seed;
            z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
            z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
            word = z ^ (z >> 31);
        }
    }
};

Generator& Gen() {
    static Generator g;
    return g;
}

} // namespace

void RandomSeed(uint64_t seed) {
    Gen().Seed(seed);
}

uint64_t RandomSeedFromClock() {
    const auto now = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    return static_cast<uint64_t>(now) ^ (static_cast<uint64_t>(::getpid()) << 32);
}

int Random(int n) {
    if (n <= 0) return 0;
    // Multiply-shift maps 32 random bits onto 0..n-1 without a division.
    const uint64_t r = Gen().Next() >> 32;
    return static_cast<int>((r * static_cast<uint64_t>(n)) >> 32);
}

double RandomFloat() {
    return static_cast<double>(Gen().Next() >> 11) * 0x1.0p-53;
}

bool Chance(int percent, int range) {
    return percent >= Random(range) + 1;
}

} // namespace bw
