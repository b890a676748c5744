// Fire-and-forget effects that live as sprites and remove themselves when done: particle
// animations that own one particle system, flip-books of an image's patterns that play once
// and may fade, and splinters that fall off a broken wall. Callers create them with one call
// and keep no reference; the level teardown clears those still alive.
//
// The sprites are children of the effect parent (the main engine unless a caller sets another,
// as tests and the board do).
#pragma once

#include "Engine/KilnSprite/KilnSprite.h"
#include "effects/ParticleManager.h"

#include <string>

namespace bw {

class TKilnArchive;

// Where new effect sprites go; null means the main engine.
void SetEffectParent(TSprite* parent);
TSprite* EffectParent();

// Launches the description for an owner that draws it itself (FManualRender) and, with an
// archive, reads the emitters of the description's record from it; null when it cannot launch.
TXParticleSystem* LaunchOwned(const std::string& name, TPoint2 pos, TKilnArchive* archive);

class TParticleFxAnimation : public TAnimatedSprite {
public:
    explicit TParticleFxAnimation(TSprite* parent);
    ~TParticleFxAnimation() override;

    double FTimeCounter = 0.0;
    bool FMoved = false; // orbits around FStartPos
    TPoint2 FMovRadius;
    TPoint2 FMovSpeed;
    std::string FFxName;
    float FDelayTime = 0.0f;
    int FUpdateCount = 0;
    TKilnArchive* FDataLink = nullptr;
    float FSpeed = 0.0f;
    bool FTimed = false;
    float FLifeTime = 0.0f;
    TParticleRef FFX;
    TPoint2 FStartPos;
    bool FLaunched = false; // the delayed launch has been tried successfully

    void DoMove(float moveCount) override;
    void DoDraw() override;
    // Kills the system and the sprite.
    void Finish();
};

class TSpriteAnimationFx : public TAnimatedSprite {
public:
    explicit TSpriteAnimationFx(TSprite* parent) : TAnimatedSprite(parent) {}

    bool FFadeOut = false;
    float FFadeOutSpeed = 0.0f;
    float FFadeOutValue = 255.0f;

    void DoMove(float moveCount) override;
};

class TSplinterSprite : public TAnimatedSprite {
public:
    explicit TSplinterSprite(TSprite* parent) : TAnimatedSprite(parent) {}

    int FMoveKind = 3;
    TPoint2 FTarget;
    double FSpeed = 0.0;
    double FSpeedUp = 0.0;
    double FPreviousDistance = 7777.0;

    void DoMove(float moveCount) override;
};

TParticleFxAnimation* StartBurstFx(const std::string& name, TKilnArchive* archive, TPoint2 pos,
                                   int count, float step, int z);
TParticleFxAnimation* StartTimedFx(const std::string& name, TPoint2 pos, int z, float delay,
                                   TKilnArchive* archive, float life, int preUpdates, float step);
TParticleFxAnimation* StartOrbitingFx(const std::string& name, TPoint2 pos, int z, float delay,
                                      TPoint2 orbitSpeed, TPoint2 orbitRadius,
                                      TKilnArchive* archive, float life, int preUpdates,
                                      float step);
// Takes over the particles of `source` (the caller then kills its own system).
TParticleFxAnimation* StartFadingCloneFx(const TXParticleSystem* source, int z, float step,
                                         float speedMultiply, TPoint2 pos);
// Placement 0 puts the picture's top-left at `pos`, 1 centres it there.
TSpriteAnimationFx* StartSpriteFx(const std::string& picture, TPoint2 pos, TPoint2 scale,
                                  TBlendingEffect blend, int placement, float animSpeed,
                                  int patternCount, int z);
TSpriteAnimationFx* StartFadingSpriteFx(const std::string& picture, TPoint2 pos, TPoint2 scale,
                                        float fadeSpeed, TBlendingEffect blend, int placement,
                                        float animSpeed, int patternCount, int z);
TSpriteAnimationFx* StartFadingFrameFx(const std::string& picture, TPoint2 pos, TPoint2 scale,
                                       float pattern, float fadeSpeed, TBlendingEffect blend,
                                       int placement, int z);
TSplinterSprite* StartSplinter(TPoint2 pos, TPoint2 target, TPoint2 scale, int moveKind,
                               float firstPattern, int patternCount, const std::string& picture,
                               double speed, double speedUp, int z);

// Finishes every particle animation (its system killed) under the effect parent.
void ClearParticleFx();
// Removes every sprite animation under the effect parent. Splinters fall off by themselves.
void ClearSpriteFx();

} // namespace bw
