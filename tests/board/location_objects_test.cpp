#include "board/LocationObjects.h"

#include "board/LocationLayout.h"
#include "platform/Random.h"

#include "Engine/KilnSprite/SpriteTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace bw {
namespace {

class LocationObjects : public test::SpriteFixture {
protected:
    void SetUp() override {
        LeaveLocation();
        LocationOptions() = {};
    }
    void TearDown() override {
        LeaveLocation();
        LocationOptions() = {};
    }
};

TEST_F(LocationObjects, BlinkBurstIsCountBlinksOfOneOverSpeedUpdates) {
    TLocationObject_BlinkedSprite d;
    d.ImageName = "Sheet.image";
    d.Alpha = 200;
    d.BlinkOptions = {1, 0, 0.1f, 3, 0}; // wait 1 (ten updates), 3 blinks, speed 0.1
    RandomSeed(1);
    auto* s = new TLocationBlinkedObject(&engine);
    s->Setup(d);
    ASSERT_EQ(s->FInterval, 1);
    ASSERT_EQ(s->FTimeCounter, 0.0f);

    std::vector<int> alphas;
    int burstStart = -1;
    for (int update = 0; update < 80; ++update) {
        engine.Move(1.0f);
        if (burstStart < 0 && s->FBlinkedEffect) burstStart = update;
        alphas.push_back(s->FAlpha);
    }
    ASSERT_EQ(burstStart, 9); // the tenth update ends the wait
    for (int blink = 0; blink < 3; ++blink) {
        for (int step = 1; step <= 9; ++step)
            EXPECT_EQ(alphas[burstStart + blink * 10 + step], 20 * step)
                << "blink " << blink << " step " << step;
        EXPECT_EQ(alphas[burstStart + blink * 10 + 10], 200) << "end of blink " << blink;
    }
    // After three blinks the picture waits (ten updates) before the next burst.
    for (int update = burstStart + 31; update < burstStart + 41; ++update)
        EXPECT_EQ(alphas[update], 200) << update;
    EXPECT_EQ(alphas[burstStart + 41], 20);
}

TEST_F(LocationObjects, BlinkWithoutSpeedNeverStarts) {
    TLocationObject_BlinkedSprite d;
    d.ImageName = "Sheet.image";
    d.Alpha = 150;
    d.BlinkOptions = {0, 0, 0.0f, 3, 0};
    auto* s = new TLocationBlinkedObject(&engine);
    s->Setup(d);
    for (int update = 0; update < 50; ++update) engine.Move(1.0f);
    EXPECT_EQ(s->FAlpha, 150);
}

TEST_F(LocationObjects, TrainCarriesItsWagonsAndTheBoard) {
    TLocationOptions& o = LocationOptions();
    o.FKind = lockind_Train;
    o.FLocObjects_Sprite.resize(4);
    const std::vector<TCoord2> places{{100, 500}, {10, -20}, {-30, 40}, {700, 700}};
    for (std::size_t i = 0; i < places.size(); ++i) {
        o.FLocObjects_Sprite[i].ImageName = "Sheet.image";
        o.FLocObjects_Sprite[i].X = places[i].x;
        o.FLocObjects_Sprite[i].Y = places[i].y;
    }
    CreateLocationDecoration(engine);
    const LocationDecoration& s = LocationSprites();
    ASSERT_EQ(LocationTrainObject(), s.Sprites[0]);
    EXPECT_TRUE(CellFloats(o, 0));

    engine.Move(1.0f);
    const float bob = static_cast<float>(1.5 * std::sin(0.9 * 0.05));
    EXPECT_FLOAT_EQ(s.Sprites[0]->FY, 500 + bob);
    EXPECT_FLOAT_EQ(s.Sprites[1]->FX, 110);
    EXPECT_FLOAT_EQ(s.Sprites[1]->FY, 480 + bob);
    EXPECT_FLOAT_EQ(s.Sprites[2]->FX, 70);
    EXPECT_FLOAT_EQ(s.Sprites[3]->FX, 700); // only objects 1 and 2 ride along
    EXPECT_FLOAT_EQ(s.Sprites[3]->FY, 700);

    // Moving the train moves the wagons and the floating board with it.
    s.Sprites[0]->FStartPos.x = 0;
    s.Sprites[0]->FX = 250;
    engine.Move(1.0f);
    EXPECT_FLOAT_EQ(s.Sprites[1]->FX, 260);
    EXPECT_FLOAT_EQ(s.Sprites[2]->FX, 220);
    const TPoint2 boardShift = FloatingCellOffset(o, 0, 0);
    EXPECT_FLOAT_EQ(boardShift.x, 250);
    EXPECT_FLOAT_EQ(boardShift.y, s.Sprites[0]->FY);

    // The same pictures in another layout stay where the file puts them.
    LeaveLocation();
    o.FKind = lockind_Default;
    CreateLocationDecoration(engine);
    engine.Move(1.0f);
    EXPECT_FLOAT_EQ(LocationSprites().Sprites[0]->FY, 500);
    EXPECT_FLOAT_EQ(LocationSprites().Sprites[1]->FX, 10);
    EXPECT_EQ(LocationTrainObject(), nullptr);
}

TEST_F(LocationObjects, ParticleDecorationWithoutEffectsDrawsNothing) {
    TLocationObject_Particle d;
    d.System = "Fireflies";
    d.X = 40;
    d.Y = 50;
    d.Z = 3;
    auto* p = new TLocationParticleObject(&engine);
    p->Setup(d);
    EXPECT_FALSE(p->FLaunched);
    engine.Move(1.0f);
    engine.Draw();
    EXPECT_TRUE(canvas.Quads().empty());
}

} // namespace
} // namespace bw
