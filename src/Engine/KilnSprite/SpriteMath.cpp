#include "Engine/KilnSprite/SpriteMath.h"

#include <numbers>

namespace bw {

namespace {

template <std::size_t N> void FillCosines(std::array<float, N>& table) {
    for (std::size_t i = 0; i < N; ++i) {
        table[i] = static_cast<float>(
            std::cos(2.0 * std::numbers::pi * static_cast<double>(i) / static_cast<double>(N)));
    }
}

SineTables BuildTables() {
    SineTables t;
    FillCosines(t.Cos8);
    FillCosines(t.Cos16);
    FillCosines(t.Cos32);
    FillCosines(t.Cos64);
    FillCosines(t.Cos128);
    FillCosines(t.Cos256);
    FillCosines(t.Cos512);
    FillCosines(t.Cos2048);
    return t;
}

} // namespace

const SineTables& SpriteTables() {
    static const SineTables tables = BuildTables();
    return tables;
}

} // namespace bw
