#include "effects/EffectSprites.h"

#include "Engine/KilnSprite/SpriteEngine.h"
#include "platform/Random.h"

#include "Engine/KilnSprite/SpriteTestSupport.h"

#include <gtest/gtest.h>

namespace bw {
namespace {

class EffectSprites : public test::SpriteFixture {
protected:
    EffectSprites() {
        manager.FImages = &images;
        manager.FCanvas = &canvas;
        SetParticleManager(&manager);
        SetEffectParent(&engine);
        images.AddFromPixels(test::MakeSheet("Flip.image", 1, 256, 64)); // 16 patterns
        RandomSeed(3);
    }
    ~EffectSprites() override {
        engine.Clear();
        SetEffectParent(nullptr);
        SetParticleManager(nullptr);
    }

    // Adds a description that emits `rate` particles per time unit during `life`.
    void Describe(const std::string& name, int rate, float life, float particleLife = 0.2f) {
        TXParticleSettings s = TXParticleSystem::DefaultSettings();
        s.Uid = name;
        s.EmissionRate = rate;
        s.LifeTime = life;
        s.ParticleLifeMin = s.ParticleLifeMax = particleLife;
        manager.Add(s);
    }

    void Tick() {
        engine.Move(1.0f);
        engine.Dead();
    }

    template <class T> int Count() const {
        int n = 0;
        for (const TSprite* s : engine.Items())
            if (dynamic_cast<const T*>(s)) ++n;
        return n;
    }

    TXParticleManager manager;
};

TEST_F(EffectSprites, ABurstIsDevelopedAtOnceAndGoesWithItsLastParticle) {
    Describe("puff.xml", 1000, 100.0f);
    TParticleFxAnimation* fx = StartBurstFx("PUFF.xml", nullptr, TPoint2{50, 60}, 5, 0.01f, 7);
    ASSERT_NE(fx, nullptr);
    ASSERT_TRUE(fx->FFX);
    EXPECT_TRUE(fx->FFX->FManualRender);
    EXPECT_EQ(fx->FFX->FAge, -1.0f); // stopped after its pre-updates
    EXPECT_GT(fx->FFX->FParticlesAlive, 30);
    EXPECT_EQ(manager.FSysCount, 1);
    for (int i = 0; i < 30 && Count<TParticleFxAnimation>() > 0; ++i) Tick();
    EXPECT_EQ(Count<TParticleFxAnimation>(), 0);
    EXPECT_EQ(manager.FSysCount, 0);

    // Nothing emitted during the pre-updates, or an unknown name: gone on the first update.
    Describe("quiet.xml", 0, 100.0f);
    StartBurstFx("quiet.xml", nullptr, TPoint2{}, 5, 0.01f, 7);
    StartBurstFx("nothing.xml", nullptr, TPoint2{}, 5, 0.01f, 7);
    EXPECT_EQ(Count<TParticleFxAnimation>(), 2);
    Tick();
    EXPECT_EQ(Count<TParticleFxAnimation>(), 0);
    EXPECT_EQ(manager.FSysCount, 0);
}

TEST_F(EffectSprites, ATimedEffectWaitsItsDelayEmitsItsLifeThenFades) {
    Describe("timed.xml", 100, 1000.0f, 0.05f);
    TParticleFxAnimation* fx =
        StartTimedFx("timed.xml", TPoint2{10, 10}, 3, 3.0f, nullptr, 25.0f, 0, 0.01f);
    int launchedIn = 0, stoppedIn = 0, goneIn = 0;
    for (int update = 1; update <= 60 && !goneIn; ++update) {
        Tick();
        if (Count<TParticleFxAnimation>() == 0) {
            goneIn = update;
            break;
        }
        if (!launchedIn && fx->FFX) launchedIn = update;
        if (launchedIn && !stoppedIn && fx->FFX->FAge < 0.0f) stoppedIn = update;
    }
    EXPECT_EQ(launchedIn, 4);
    EXPECT_EQ(stoppedIn, 28);
    EXPECT_GT(goneIn, 28);
    EXPECT_EQ(manager.FSysCount, 0);
}

TEST_F(EffectSprites, ClearingKillsWaitingAndRunningEffectsButNotSplinters) {
    Describe("timed.xml", 100, 1000.0f, 5.0f);
    StartTimedFx("timed.xml", TPoint2{}, 3, 50.0f, nullptr, 25.0f, 0, 0.01f); // still waiting
    StartTimedFx("timed.xml", TPoint2{}, 3, 0.0f, nullptr, 25.0f, 0, 0.01f);
    StartSpriteFx("Flip.image", TPoint2{}, TPoint2{1, 1}, beAdd, 1, 0.5f, 16, 4);
    StartSplinter(TPoint2{}, TPoint2{-100, -200}, TPoint2{1, 1}, 3, 0, 4, "Flip.image", -2, 0.3, 5);
    Tick();
    EXPECT_EQ(manager.FSysCount, 1);
    ClearParticleFx();
    ClearSpriteFx();
    EXPECT_EQ(manager.FSysCount, 0);
    engine.Dead();
    EXPECT_EQ(Count<TParticleFxAnimation>(), 0);
    EXPECT_EQ(Count<TSpriteAnimationFx>(), 0);
    EXPECT_EQ(Count<TSplinterSprite>(), 1);
}

TEST_F(EffectSprites, AFadingFlipBookFadesThirtySevenUpdatesAfterItsLastPattern) {
    TSpriteAnimationFx* fx = StartFadingSpriteFx("Flip.image", TPoint2{100, 100}, TPoint2{1, 1},
                                                 7.0f, beAdd, 1, 0.5f, 16, 4);
    ASSERT_NE(fx, nullptr);
    EXPECT_FLOAT_EQ(fx->FX, 68.0f); // centred
    std::vector<int> alphas;
    for (int i = 0; i < 200 && Count<TSpriteAnimationFx>() > 0; ++i) {
        Tick();
        if (Count<TSpriteAnimationFx>() > 0 && fx->FAnimPos >= 15.0f) alphas.push_back(fx->FAlpha);
    }
    ASSERT_FALSE(alphas.empty());
    // The update that reaches the last pattern starts the fade: 255, 248, ... 3.
    EXPECT_EQ(alphas.size(), 36u); // the 37th update (alpha 3) is the one that removes it
    EXPECT_EQ(alphas.front(), 255);
    EXPECT_EQ(alphas.back(), 10);

    // A still frame shows its pattern and fades from the first update.
    TSpriteAnimationFx* still =
        StartFadingFrameFx("Flip.image", TPoint2{}, TPoint2{1, 1}, 2.6f, 7.0f, beAdd, 0, 4);
    EXPECT_EQ(still->FPatternIndex, 2);
    Tick();
    EXPECT_EQ(still->FAlpha, 255);
    EXPECT_FLOAT_EQ(still->FFadeOutValue, 248.0f);
}

TEST_F(EffectSprites, ASplinterDriftsTowardsItsTargetSpinsFasterAndFallsOff) {
    TSplinterSprite* s = StartSplinter(TPoint2{900, 500}, TPoint2{700, 300}, TPoint2{1, 1}, 3, 1, 4,
                                       "Flip.image", -2.5, 0.4, 5000);
    EXPECT_GT(s->FAngle, 0.03f);
    EXPECT_LE(s->FAngle, 2.0f);
    EXPECT_EQ(s->FPatternIndex, 1);
    float lastX = s->FX, lastSpin = 0.0f, lastAngle = s->FAngle;
    bool driftedLeft = true;
    int updates = 0;
    while (Count<TSplinterSprite>() > 0 && updates < 500) {
        Tick();
        ++updates;
        if (Count<TSplinterSprite>() == 0) break;
        if (s->FX > lastX) driftedLeft = false;
        const float spin = s->FAngle - lastAngle;
        if (updates > 10) {
            EXPECT_GT(spin, lastSpin);
        }
        lastSpin = spin;
        lastAngle = s->FAngle;
        lastX = s->FX;
    }
    EXPECT_TRUE(driftedLeft);
    EXPECT_LT(lastX, 900.0f);
    EXPECT_GT(updates, 20);
    EXPECT_LT(updates, 500);
    EXPECT_EQ(Count<TSplinterSprite>(), 0);
}

TEST_F(EffectSprites, AFadingCloneKeepsTheParticlesOfAKilledSystem) {
    Describe("trail.xml", 1000, 1000.0f, 1.0f);
    TXParticleSystem* own = manager.Launch("trail.xml", TPoint2{});
    own->Update(0.05f);
    const int alive = own->FParticlesAlive;
    TParticleFxAnimation* fx = StartFadingCloneFx(own, 9, 0.01f, 2.0f, TPoint2{40, 40});
    own->Kill();
    ASSERT_TRUE(fx->FFX);
    EXPECT_EQ(fx->FFX->FParticlesAlive, alive);
    EXPECT_EQ(fx->FFX->FSpeedMultiply, 2.0f);
    EXPECT_EQ(fx->FFX->FAge, -1.0f);
    canvas.Clear();
    engine.Draw();
    EXPECT_EQ(canvas.Quads().size(), static_cast<size_t>(alive)); // points, drawn by the sprite
}

} // namespace
} // namespace bw
