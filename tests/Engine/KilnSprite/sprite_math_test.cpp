#include "Engine/KilnSprite/SpriteMath.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace bw {
namespace {

TEST(SpriteMath, RoundingTiesGoToTheEvenNumber) {
    EXPECT_EQ(KilnRound(2.5), 2);
    EXPECT_EQ(KilnRound(3.5), 4);
    EXPECT_EQ(KilnRound(-2.5), -2);
    EXPECT_EQ(KilnRound(2.51), 3);
    EXPECT_EQ(KilnTrunc(-2.9), -2);
    EXPECT_EQ(KilnTrunc(2.9), 2);
    // Out-of-range and NaN inputs saturate instead of being undefined.
    EXPECT_EQ(KilnRound(1e12), 2147483647);
    EXPECT_EQ(KilnTrunc(-1e12), -2147483647 - 1);
    EXPECT_EQ(KilnRound(std::nan("")), 0);
}

TEST(SpriteMath, SineTablesFollowTheCosineTables) {
    for (int step = -300; step < 600; step += 7) {
        const double a256 = 2.0 * std::numbers::pi * step / 256.0;
        EXPECT_NEAR(Sin256(step), std::sin(a256), 1e-6) << step;
        EXPECT_NEAR(Cos256(step), std::cos(a256), 1e-6) << step;
        const double a2048 = 2.0 * std::numbers::pi * step / 2048.0;
        EXPECT_NEAR(Sin2048(step), std::sin(a2048), 1e-6) << step;
        EXPECT_NEAR(Cos2048(step), std::cos(a2048), 1e-6) << step;
    }
    EXPECT_FLOAT_EQ(Sin256(64), 1.0f);
    EXPECT_FLOAT_EQ(Cos256(128), -1.0f);
    const auto& t = SpriteTables();
    EXPECT_FLOAT_EQ(t.Cos8[2], static_cast<float>(std::cos(std::numbers::pi / 2)));
    EXPECT_FLOAT_EQ(t.Cos512[256], -1.0f);
}

} // namespace
} // namespace bw
