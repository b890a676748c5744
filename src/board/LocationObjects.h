// The decoration sprites of a location, one class per kind of description (Location.h). The
// location creates them with `new T(parent)` from its descriptions and removes them with Dead()
// when it is left; each tells the location when it is freed.
#pragma once

#include "board/BoardEffects.h"
#include "board/Location.h"
#include "gui/TextureOffsetSprite.h"
#include "gui/TransformObjectSprite.h"

#include <memory>

namespace bw {

// A plain (optionally animated) picture. In a lockind_Train location object 0 is the train:
// it bobs up and down, and objects 1 and 2, whose file positions are relative to it, ride
// along.
class TLocationObject : public TAnimatedSprite {
public:
    // Ticks after which the bobbing counter starts again from 0.
    static constexpr double TimeCounterLimit = 31400.0;

    explicit TLocationObject(TSprite* parent);
    ~TLocationObject() override;

    int FIndex = 0; // its index in the location's list
    double FTimeCounter = 0.0;
    TPoint2 FStartPos; // the file position

    // Sets up picture, position, Z, scale, alpha, blending and animation from the description.
    void Setup(const TLocationObject_Sprite& description, int index);
    void DoMove(float moveCount) override;
};

// A picture that now and then fades out and back in a few times in a row.
class TLocationBlinkedObject : public TAnimatedSprite {
public:
    explicit TLocationBlinkedObject(TSprite* parent);
    ~TLocationBlinkedObject() override;

    bool FBlinkedEffect = false;  // a burst is running
    int FBlinkIndex = 1;          // the blink of the burst now running, from 1
    float FFEffectCounter = 0.0f; // progress of the current blink, 0 .. 1
    int FStartAlpha = 255;
    float FTimeCounter = 0.0f; // tenths of updates waited since the last burst began
    int FInterval = 0;         // the wait before the next burst
    TBlinkedOptions FBlinkOptions;

    // Sets up the picture as TLocationObject does, then draws the first wait.
    void Setup(const TLocationObject_BlinkedSprite& description);
    void DoMove(float moveCount) override;
};

// A scrolling texture (clouds, water).
class TLocationTexOffsetObject : public TTextureOffsetSprite {
public:
    explicit TLocationTexOffsetObject(TSprite* parent);
    ~TLocationTexOffsetObject() override;

    void Setup(const TLocationObject_TextureOffset& description);
};

// A picture whose corners sway (foliage, hanging boards).
class TLocationTransformObject : public TTransformObjectSprite {
public:
    explicit TLocationTransformObject(TSprite* parent);
    ~TLocationTransformObject() override;

    int FIndex = 0;

    void Setup(const TLocationObject_TransformSprite& description, int index);
};

// A particle effect placed in the scenery: the description launched at (X, Y) with its
// emission multiplier, the optional texture and mask-image emitters, the description's own
// emitters, the scale, and 1000 updates of warm-up so that it starts in its steady state.
// Without effects (or when the launch fails) the object draws nothing.
class TLocationParticleObject : public TAnimatedSprite {
public:
    explicit TLocationParticleObject(TSprite* parent);
    ~TLocationParticleObject() override;

    TLocationObject_Particle FDescription;
    bool FLaunched = false; // the particle system runs
    std::unique_ptr<BoardParticles> FSystem;

    void Setup(const TLocationObject_Particle& description);
    // Starts the particle system of the description; false when it cannot be launched.
    bool LaunchSystem();
    void DoMove(float moveCount) override;
    void DoDraw() override;
};

} // namespace bw
