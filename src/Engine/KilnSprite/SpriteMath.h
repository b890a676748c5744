// Numeric helpers of the sprite layer: the rounding rules used for quad sizes and the
// cosine tables that angles in 256ths of a turn are looked up in.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>

namespace bw {

// Nearest whole number, ties to the even one (2.5 -> 2, 3.5 -> 4). Values beyond the range of
// int32 saturate; NaN gives 0.
inline int32_t KilnRound(double v) {
    if (v > -2147483648.5 && v < 2147483647.5) {
        // Adding and removing 1.5 * 2^52 rounds in the default (nearest, ties-to-even) mode
        // without a library call; the pair is not folded unless fast-math is on.
        constexpr double kShift = 6755399441055744.0;
        return static_cast<int32_t>((v + kShift) - kShift);
    }
    if (v >= 2147483647.5) return std::numeric_limits<int32_t>::max();
    if (v <= -2147483648.5) return std::numeric_limits<int32_t>::min();
    return 0; // NaN
}

// Drops the fraction toward zero, saturating like KilnRound.
inline int32_t KilnTrunc(double v) {
    if (v > -2147483649.0 && v < 2147483648.0) return static_cast<int32_t>(v);
    if (v >= 2147483648.0) return std::numeric_limits<int32_t>::max();
    if (v <= -2147483649.0) return std::numeric_limits<int32_t>::min();
    return 0; // NaN
}

// Cosine tables of 8 ... 2048 entries, entry i = cos(2*pi*i/n), filled once on first use.
struct SineTables {
    std::array<float, 8> Cos8{};
    std::array<float, 16> Cos16{};
    std::array<float, 32> Cos32{};
    std::array<float, 64> Cos64{};
    std::array<float, 128> Cos128{};
    std::array<float, 256> Cos256{};
    std::array<float, 512> Cos512{};
    std::array<float, 2048> Cos2048{};
};

const SineTables& SpriteTables();

// Angle steps wrap around (negative steps included): 256 steps and 2048 steps per turn.
inline float Cos256(int step) {
    return SpriteTables().Cos256[static_cast<uint32_t>(step) & 255u];
}
inline float Sin256(int step) {
    return SpriteTables().Cos256[static_cast<uint32_t>(step + 192) & 255u];
}
inline float Cos2048(int step) {
    return SpriteTables().Cos2048[static_cast<uint32_t>(step) & 2047u];
}
inline float Sin2048(int step) {
    return SpriteTables().Cos2048[static_cast<uint32_t>(step - 512) & 2047u];
}

} // namespace bw
