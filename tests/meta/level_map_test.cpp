// The level map's rules: how far the route shows, which nests show, which nest the pointer
// chooses, and the layout on narrow and wide screens.
#include "meta/LevelMap.h"
#include "meta/Profile.h"

#include <gtest/gtest.h>

#include <cmath>

namespace bw {
namespace {

TEST(LevelMapRoute, GrowsWithTheLimitAndStaysWithinTheDotsPastTheTable) {
    EXPECT_EQ(MapRouteEnd(-1), -1);
    EXPECT_EQ(MapRouteEnd(0), -1); // a new profile: no dot
    EXPECT_EQ(MapRouteEnd(1), 0);
    EXPECT_EQ(MapRouteEnd(55), 178);
    // A level list longer than the route table: the whole route, never an index past it.
    EXPECT_EQ(MapRouteEnd(56), 178);
    EXPECT_EQ(MapRouteEnd(1000), 178);
    for (int limit = 1; limit < 56; ++limit) EXPECT_GE(MapRouteEnd(limit), MapRouteEnd(limit - 1));

    EXPECT_FALSE(MapDotVisible(0, 0));
    EXPECT_TRUE(MapDotVisible(0, 1));
    EXPECT_FALSE(MapDotVisible(1, 1));
    EXPECT_TRUE(MapDotVisible(5, 3));
    EXPECT_FALSE(MapDotVisible(6, 3));
    EXPECT_FALSE(MapDotVisible(179, 1000));
    EXPECT_FALSE(MapDotVisible(-1, 1000));
}

TEST(LevelMapRoute, DotsFollowTheRoadWithoutJumps) {
    // Neighbouring dots are close, and no two dots sit on top of each other.
    for (size_t i = 1; i < MapWayDots.size(); ++i) {
        const double d = std::hypot(MapWayDots[i].x - MapWayDots[i - 1].x,
                                    MapWayDots[i].y - MapWayDots[i - 1].y);
        EXPECT_GT(d, 8.0) << i;
        EXPECT_LT(d, 80.0) << i;
    }
    for (const MapWayDot& d : MapWayDots) {
        EXPECT_GE(d.x, 0);
        EXPECT_LE(d.x, 1920);
        EXPECT_GE(d.y, 0);
        EXPECT_LE(d.y, 1000); // above the bottom strip
    }
}

TEST(LevelMapNests, WonLevelsShowAndALevelNotWonOnlyAtTheLimit) {
    EXPECT_TRUE(MapNestVisible(0, LevelNotWon, 0));
    EXPECT_FALSE(MapNestVisible(1, LevelNotWon, 0));
    EXPECT_TRUE(MapNestVisible(0, LevelWon, 1));
    EXPECT_TRUE(MapNestVisible(0, LevelWonWithTask, 1));
    EXPECT_TRUE(MapNestVisible(1, LevelNotWon, 1));
    // A won level past the limit (a profile with a gap) still shows its egg.
    EXPECT_TRUE(MapNestVisible(5, LevelWon, 2));
    EXPECT_FALSE(MapNestVisible(5, LevelNotWon, 2));
}

TEST(LevelMapHover, TheNearestReachableNestWithinTheBoxWins) {
    const std::vector<TPoint2> c{{100, 100}, {130, 100}, {300, 300}, {300, 300}};
    EXPECT_EQ(MapHoveredLevel(c, 3, {100, 100}), 0);
    EXPECT_EQ(MapHoveredLevel(c, 3, {120, 104}), 1); // both in reach, the second nearer
    EXPECT_EQ(MapHoveredLevel(c, 3, {115, 100}), 0); // equal distance: the lower index
    // Strictly within 25 in x and in y.
    EXPECT_EQ(MapHoveredLevel(c, 3, {75, 100}), -1);
    EXPECT_EQ(MapHoveredLevel(c, 3, {76, 124}), 0);
    EXPECT_EQ(MapHoveredLevel(c, 3, {100, 125}), -1);
    // Beyond the reachable limit nothing is hovered.
    EXPECT_EQ(MapHoveredLevel(c, 0, {118, 100}), 0); // the nearer nest 1 is out of reach
    EXPECT_EQ(MapHoveredLevel(c, 1, {300, 300}), -1);
    // Two nests at one place: the lower index.
    EXPECT_EQ(MapHoveredLevel(c, 3, {300, 300}), 2);
    // A limit past the list (a shorter list than the profile's) looks only at what exists.
    EXPECT_EQ(MapHoveredLevel(c, 100, {300, 300}), 2);
    EXPECT_EQ(MapHoveredLevel({}, 5, {0, 0}), -1);
}

TEST(LevelMapLayout, NarrowScreensGetAnInnerMarginAndWideOnesAnOuterOne) {
    MapMargins m = MapLayout(1440);
    EXPECT_FLOAT_EQ(m.width, 1440);
    EXPECT_FLOAT_EQ(m.inner, 240);
    EXPECT_FLOAT_EQ(m.outer, 0);
    m = MapLayout(2400);
    EXPECT_FLOAT_EQ(m.width, 1920);
    EXPECT_FLOAT_EQ(m.inner, 0);
    EXPECT_FLOAT_EQ(m.outer, 240);
    m = MapLayout(1919.6f);
    EXPECT_FLOAT_EQ(m.width, 1920);
}

TEST(LevelMapPulse, RunsAlongTheRouteThenPausesAndWraps) {
    double p = 0;
    int steps = 0;
    do {
        p = NextMapPulse(p);
        ++steps;
    } while (p != 0 && steps < 10000);
    EXPECT_EQ(steps, 698); // 279 / 0.4, rounded up
    EXPECT_NEAR(NextMapPulse(278.5), 278.9, 1e-9);
    EXPECT_NEAR(NextMapPulse(278.7), 0.0, 1e-9);
    EXPECT_NEAR(NextMapPulse(10), 10.4, 1e-9);
}

} // namespace
} // namespace bw
