#include "effects/EffectSprites.h"

#include "Engine/KilnSprite/SpriteEngine.h"
#include "Engine/KilnSprite/SpriteMath.h"
#include "base/GameObjects.h"
#include "platform/Random.h"

#include <cmath>
#include <numbers>

namespace bw {

namespace {

TSprite* GEffectParent = nullptr;

template <class T> void ForEachUnder(TSprite& root, void (*action)(T&)) {
    // Copy first: the actions may mark sprites dead, never free them, but stay safe anyway.
    std::vector<TSprite*> stack(root.Items().begin(), root.Items().end());
    std::vector<T*> found;
    while (!stack.empty()) {
        TSprite* s = stack.back();
        stack.pop_back();
        if (auto* t = dynamic_cast<T*>(s)) found.push_back(t);
        stack.insert(stack.end(), s->Items().begin(), s->Items().end());
    }
    for (T* t : found) action(*t);
}

TParticleFxAnimation* NewParticleFx(TPoint2 pos, int z, float step) {
    TSprite* parent = EffectParent();
    if (!parent) return nullptr;
    auto* fx = new TParticleFxAnimation(parent);
    fx->FX = pos.x;
    fx->FY = pos.y;
    fx->FStartPos = pos;
    fx->FSpeed = step;
    fx->SetZ(z);
    return fx;
}

TSpriteAnimationFx* NewSpriteFx(const std::string& picture, TPoint2 pos, TPoint2 scale,
                                TBlendingEffect blend, int placement, float animSpeed,
                                int patternCount, int z) {
    TSprite* parent = EffectParent();
    if (!parent) return nullptr;
    auto* fx = new TSpriteAnimationFx(parent);
    fx->SetImageName(picture);
    fx->FScaleX = scale.x;
    fx->FScaleY = scale.y;
    fx->FX = pos.x;
    fx->FY = pos.y;
    if (placement == 1) {
        fx->FX = pos.x - static_cast<float>(fx->GetPatternWidth()) * scale.x / 2.0f;
        fx->FY = pos.y - static_cast<float>(fx->GetPatternHeight()) * scale.y / 2.0f;
    }
    fx->SetZ(z);
    fx->FAnimLooped = false;
    fx->FAnimCount = patternCount;
    fx->FAnimSpeed = animSpeed;
    fx->FAnimStart = 0;
    fx->FAnimPos = 0.0f;
    fx->SetPatternIndex(0);
    fx->FDoAnimate = true;
    fx->FEffect = blend;
    return fx;
}

} // namespace

TXParticleSystem* LaunchOwned(const std::string& name, TPoint2 pos, TKilnArchive* archive) {
    TXParticleManager* manager = ParticleManager();
    TXParticleSystem* system = manager ? manager->Launch(name, pos) : nullptr;
    if (!system) return nullptr;
    system->FManualRender = true;
    if (archive) system->ParseEmittersRecord(name, archive, manager->FEmitterSources);
    return system;
}

void SetEffectParent(TSprite* parent) {
    GEffectParent = parent;
}

TSprite* EffectParent() {
    return GEffectParent ? GEffectParent : MainEngine;
}

// ---- TParticleFxAnimation -----------------------------------------------------------------------

TParticleFxAnimation::TParticleFxAnimation(TSprite* parent) : TAnimatedSprite(parent) {}

TParticleFxAnimation::~TParticleFxAnimation() {
    FFX.Kill();
}

void TParticleFxAnimation::Finish() {
    FFX.Kill();
    FDataLink = nullptr;
    if (!FDeaded) Dead();
}

void TParticleFxAnimation::DoMove(float moveCount) {
    TAnimatedSprite::DoMove(moveCount);
    if (FDeaded) return;
    if (FMoved) {
        FTimeCounter += 0.1;
        FX = FStartPos.x + static_cast<float>(std::cos(FTimeCounter * FMovSpeed.x)) * FMovRadius.x;
        FY = FStartPos.y + static_cast<float>(std::sin(FTimeCounter * FMovSpeed.y)) * FMovRadius.y;
        if (TXParticleSystem* system = FFX.Get()) system->MoveTo(TPoint2{FX, FY}, false);
    }
    if (FTimed && !FLaunched) {
        if (FDelayTime > 0.0f) {
            FDelayTime -= 1.0f;
            return;
        }
        if (TXParticleSystem* system = LaunchOwned(FFxName, TPoint2{FX, FY}, FDataLink)) {
            FFX = system;
            FLaunched = true;
            for (int i = 0; i < FUpdateCount; ++i) system->Update(FSpeed);
        }
    }
    TXParticleSystem* system = FFX.Get();
    if (!FTimed) {
        if (system) {
            system->Update(FSpeed);
            if (system->FParticlesAlive > 0) return;
        }
        Finish();
        return;
    }
    if (system) system->Update(FSpeed);
    FLifeTime -= 1.0f;
    if (FLifeTime > 0.0f) return;
    if (system) system->Stop(false);
    FTimed = false;
}

void TParticleFxAnimation::DoDraw() {
    if (TXParticleSystem* system = FFX.Get()) system->Render(0, 0);
}

// ---- TSpriteAnimationFx -------------------------------------------------------------------------

void TSpriteAnimationFx::DoMove(float moveCount) {
    TAnimatedSprite::DoMove(moveCount);
    if (FDeaded) return;
    if (FAnimPos < static_cast<float>(FAnimCount - 1)) return;
    if (!FFadeOut) {
        Dead();
        return;
    }
    SetAlpha(KilnRound(FFadeOutValue));
    if (FFadeOutValue > 0.0f) FFadeOutValue -= FFadeOutSpeed;
    if (FFadeOutValue <= 0.0f) Dead();
}

// ---- TSplinterSprite ----------------------------------------------------------------------------

void TSplinterSprite::DoMove(float moveCount) {
    TAnimatedSprite::DoMove(moveCount);
    if (FDeaded || FMoveKind != 3) return;
    FAngle += static_cast<float>(FSpeed * 0.1);
    const double dx = static_cast<double>(FTarget.x) - FX;
    const double dy = static_cast<double>(FTarget.y) - FY;
    double heading = (dx == 0.0 && dy == 0.0) ? 0.0 : std::atan2(dy, dx) * 180.0 / std::numbers::pi;
    if (heading < -90.0) heading += 360.0;
    if (FAlpha > 255) SetAlpha(255);
    FX += static_cast<float>(Cos256(KilnRound(heading / 1.40625)) * FSpeedUp * 5.0);
    FY += static_cast<float>(FSpeed * 4.0);
    FSpeed += FSpeedUp * 0.32;
    if (FY > 1500.0f) Dead();
}

// ---- Creators -----------------------------------------------------------------------------------

TParticleFxAnimation* StartBurstFx(const std::string& name, TKilnArchive* archive, TPoint2 pos,
                                   int count, float step, int z) {
    TParticleFxAnimation* fx = NewParticleFx(pos, z, step);
    if (!fx) return nullptr;
    if (TXParticleSystem* system = LaunchOwned(name, pos, archive)) {
        fx->FFX = system;
        for (int i = 0; i < count; ++i) system->Update(step);
        system->Stop(false);
    }
    return fx;
}

TParticleFxAnimation* StartTimedFx(const std::string& name, TPoint2 pos, int z, float delay,
                                   TKilnArchive* archive, float life, int preUpdates, float step) {
    TParticleFxAnimation* fx = NewParticleFx(pos, z, step);
    if (!fx) return nullptr;
    fx->FTimed = true;
    fx->FLifeTime = life;
    fx->FFxName = name;
    fx->FDelayTime = delay;
    fx->FUpdateCount = preUpdates;
    fx->FDataLink = archive;
    return fx;
}

TParticleFxAnimation* StartOrbitingFx(const std::string& name, TPoint2 pos, int z, float delay,
                                      TPoint2 orbitSpeed, TPoint2 orbitRadius,
                                      TKilnArchive* archive, float life, int preUpdates,
                                      float step) {
    TParticleFxAnimation* fx = StartTimedFx(name, pos, z, delay, archive, life, preUpdates, step);
    if (!fx) return nullptr;
    fx->FMoved = true;
    fx->FMovSpeed = orbitSpeed;
    fx->FMovRadius = orbitRadius;
    return fx;
}

TParticleFxAnimation* StartFadingCloneFx(const TXParticleSystem* source, int z, float step,
                                         float speedMultiply, TPoint2 pos) {
    TParticleFxAnimation* fx = NewParticleFx(pos, z, step);
    if (!fx || !source) return fx;
    TXParticleManager* manager = ParticleManager();
    TXParticleSystem* system = manager ? manager->Launch(source->FSettings.Uid, pos) : nullptr;
    if (!system) return fx;
    const TPoint2 own = system->FPosition;
    system->AssignParticleSystem(source);
    system->FPosition = own;
    system->FManualRender = true;
    system->FSpeedMultiply = speedMultiply;
    system->Stop(false);
    fx->FFX = system;
    return fx;
}

TSpriteAnimationFx* StartSpriteFx(const std::string& picture, TPoint2 pos, TPoint2 scale,
                                  TBlendingEffect blend, int placement, float animSpeed,
                                  int patternCount, int z) {
    return NewSpriteFx(picture, pos, scale, blend, placement, animSpeed, patternCount, z);
}

TSpriteAnimationFx* StartFadingSpriteFx(const std::string& picture, TPoint2 pos, TPoint2 scale,
                                        float fadeSpeed, TBlendingEffect blend, int placement,
                                        float animSpeed, int patternCount, int z) {
    TSpriteAnimationFx* fx =
        NewSpriteFx(picture, pos, scale, blend, placement, animSpeed, patternCount, z);
    if (!fx) return nullptr;
    fx->FFadeOut = true;
    fx->FFadeOutSpeed = fadeSpeed;
    fx->FFadeOutValue = 255.0f;
    return fx;
}

TSpriteAnimationFx* StartFadingFrameFx(const std::string& picture, TPoint2 pos, TPoint2 scale,
                                       float pattern, float fadeSpeed, TBlendingEffect blend,
                                       int placement, int z) {
    TSpriteAnimationFx* fx = StartFadingSpriteFx(picture, pos, scale, fadeSpeed, blend, placement,
                                                 0.0f, KilnRound(pattern), z);
    if (!fx) return nullptr;
    fx->FAnimPos = pattern;
    fx->SetPatternIndex(KilnTrunc(pattern));
    return fx;
}

TSplinterSprite* StartSplinter(TPoint2 pos, TPoint2 target, TPoint2 scale, int moveKind,
                               float firstPattern, int patternCount, const std::string& picture,
                               double speed, double speedUp, int z) {
    TSprite* parent = EffectParent();
    if (!parent) return nullptr;
    auto* s = new TSplinterSprite(parent);
    s->SetImageName(picture);
    s->FX = pos.x;
    s->FY = pos.y;
    s->SetZ(z);
    s->FScaleX = scale.x;
    s->FScaleY = scale.y;
    s->FTarget = target;
    s->SetDrawMode(1);
    s->FAnimCount = patternCount;
    s->FAnimStart = 0;
    s->FAnimPos = firstPattern;
    s->SetPatternIndex(KilnTrunc(firstPattern));
    s->FSpeed = speed;
    s->FSpeedUp = speedUp;
    s->FMoveKind = moveKind;
    s->FPreviousDistance = 7777.0;
    if (moveKind == 3) s->FAngle = 2.0f / static_cast<float>(Random(50) + 1);
    return s;
}

void ClearParticleFx() {
    if (TSprite* root = EffectParent())
        ForEachUnder<TParticleFxAnimation>(*root, [](TParticleFxAnimation& fx) { fx.Finish(); });
}

void ClearSpriteFx() {
    if (TSprite* root = EffectParent())
        ForEachUnder<TSpriteAnimationFx>(*root, [](TSpriteAnimationFx& fx) {
            if (!fx.FDeaded) fx.Dead();
        });
}

} // namespace bw
