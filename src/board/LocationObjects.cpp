#include "board/LocationObjects.h"

#include "platform/Log.h"
#include "platform/Random.h"

#include <algorithm>
#include <cmath>

namespace bw {

namespace {

// A fade counter that reaches its end within rounding has reached it: ten steps of 0.1 make
// one blink even though they add up to slightly less than 1 in binary.
constexpr float CounterTolerance = 1e-4f;

template <class SpriteClass, class ObjectDescription>
void SetupPicture(SpriteClass& sprite, const ObjectDescription& d) {
    sprite.SetImageName(d.ImageName);
    sprite.SetPos(static_cast<float>(d.X), static_cast<float>(d.Y));
    sprite.SetZ(d.Z);
    sprite.SetAlpha(d.Alpha);
    sprite.FEffect = d.Fx;
}

void SetupAnimatedPicture(TAnimatedSprite& sprite, const TLocationObject_Sprite& d) {
    SetupPicture(sprite, d);
    sprite.FScaleX = d.ScaleX;
    sprite.FScaleY = d.ScaleY;
    sprite.FAnimCount = d.AnimCount;
    if (d.AnimCount > 1)
        sprite.SetAnim(d.ImageName, 0, d.AnimPlayMode, true, true, d.AnimSpeed, d.AnimCount);
}

} // namespace

// ---- TLocationObject ----------------------------------------------------------------------

TLocationObject::TLocationObject(TSprite* parent) : TAnimatedSprite(parent) {}

TLocationObject::~TLocationObject() {
    ForgetLocationSprite(this);
}

void TLocationObject::Setup(const TLocationObject_Sprite& description, int index) {
    SetupAnimatedPicture(*this, description);
    FIndex = index;
    FStartPos = {static_cast<float>(description.X), static_cast<float>(description.Y)};
}

void TLocationObject::DoMove(float moveCount) {
    TAnimatedSprite::DoMove(moveCount);
    if (LocationOptions().FKind != lockind_Train) return;
    if (FIndex == 0) {
        FTimeCounter += 0.05;
        if (FTimeCounter > TimeCounterLimit) FTimeCounter = 0.0;
        FY = static_cast<float>(FStartPos.y + 1.5 * std::sin(0.9 * FTimeCounter));
    } else if (FIndex == 1 || FIndex == 2) {
        // Object 0 moves first (it was created first), so this follows its current place.
        if (const TSprite* train = LocationTrainObject()) {
            FX = FStartPos.x + train->FX;
            FY = FStartPos.y + train->FY;
        }
    }
}

// ---- TLocationBlinkedObject -----------------------------------------------------------------

TLocationBlinkedObject::TLocationBlinkedObject(TSprite* parent) : TAnimatedSprite(parent) {}

TLocationBlinkedObject::~TLocationBlinkedObject() {
    ForgetLocationSprite(this);
}

void TLocationBlinkedObject::Setup(const TLocationObject_BlinkedSprite& description) {
    SetupAnimatedPicture(*this, description);
    FBlinkOptions = description.BlinkOptions;
    FStartAlpha = description.Alpha;
    FInterval = Random(FBlinkOptions.Interval_max) + FBlinkOptions.Interval_min;
    FTimeCounter = static_cast<float>(Random(FBlinkOptions.Interval_min));
    FBlinkedEffect = false;
    FBlinkIndex = 1;
    FFEffectCounter = 0.0f;
}

void TLocationBlinkedObject::DoMove(float moveCount) {
    TAnimatedSprite::DoMove(moveCount);
    // Without a fade speed or a number of blinks a burst would never end: such a picture
    // simply never blinks.
    if (FBlinkOptions.Speed <= 0.0f || FBlinkOptions.Count <= 0) return;

    if (!FBlinkedEffect) {
        FTimeCounter += 0.1f;
        if (FTimeCounter + CounterTolerance >= static_cast<float>(FInterval)) {
            FInterval = Random(FBlinkOptions.Interval_max) + FBlinkOptions.Interval_min;
            FTimeCounter = 0.0f;
            FBlinkedEffect = true;
            FBlinkIndex = 1;
            FFEffectCounter = 0.0f;
        }
        return;
    }

    FFEffectCounter += FBlinkOptions.Speed;
    if (FFEffectCounter + CounterTolerance >= 1.0f) {
        SetAlpha(FStartAlpha);
        FFEffectCounter = 0.0f;
        if (++FBlinkIndex > FBlinkOptions.Count) {
            FBlinkedEffect = false;
            FBlinkIndex = 1;
        }
        return;
    }
    const float alpha = static_cast<float>(FBlinkOptions.AlphaMin) +
                        static_cast<float>(FStartAlpha - FBlinkOptions.AlphaMin) * FFEffectCounter;
    SetAlpha(std::clamp(static_cast<int>(std::lround(alpha)), 0, 255));
}

// ---- TLocationTexOffsetObject ---------------------------------------------------------------

TLocationTexOffsetObject::TLocationTexOffsetObject(TSprite* parent)
    : TTextureOffsetSprite(parent) {}

TLocationTexOffsetObject::~TLocationTexOffsetObject() {
    ForgetLocationSprite(this);
}

void TLocationTexOffsetObject::Setup(const TLocationObject_TextureOffset& description) {
    SetupPicture(*this, description);
    fSpeed = description.Speed;
    fRenderSize = description.RenderSize;
}

// ---- TLocationTransformObject ---------------------------------------------------------------

TLocationTransformObject::TLocationTransformObject(TSprite* parent)
    : TTransformObjectSprite(parent) {}

TLocationTransformObject::~TLocationTransformObject() {
    ForgetLocationSprite(this);
}

void TLocationTransformObject::Setup(const TLocationObject_TransformSprite& description,
                                     int index) {
    SetupAnimatedPicture(*this, description);
    FIndex = index;
    FStartPos = {static_cast<float>(description.X), static_cast<float>(description.Y)};
    FTransformInfo = description.TransformInfo;
    SetDrawMode(3);
    Calculate4Coords();
}

// ---- TLocationParticleObject ----------------------------------------------------------------

namespace {
constexpr float ParticleStep = 0.01f;
} // namespace

TLocationParticleObject::TLocationParticleObject(TSprite* parent) : TAnimatedSprite(parent) {}

TLocationParticleObject::~TLocationParticleObject() {
    ForgetLocationSprite(this);
}

void TLocationParticleObject::Setup(const TLocationObject_Particle& description) {
    FDescription = description;
    SetPos(static_cast<float>(description.X), static_cast<float>(description.Y));
    SetZ(description.Z);
    FLaunched = LaunchSystem();
}

bool TLocationParticleObject::LaunchSystem() {
    constexpr int WarmUp = 1000;
    FSystem = Effects().Own(FDescription.System, TPoint2{FX, FY});
    if (!FSystem) {
        WriteLog("Location particle object \"" + FDescription.System + "\" is not shown");
        return false;
    }
    FSystem->SetEmissionMultiply(FDescription.EmisionMultiply);
    if (!FDescription.Texture.empty()) FSystem->SetTexture(FDescription.Texture);
    if (!FDescription.MaskImage.empty()) FSystem->EmittersFromMask(FDescription.MaskImage);
    FSystem->ReadRecordEmitters();
    FSystem->ScaleEmitters(FDescription.Scale);
    for (int i = 0; i < WarmUp; ++i) FSystem->Update(ParticleStep);
    return true;
}

void TLocationParticleObject::DoMove(float moveCount) {
    TAnimatedSprite::DoMove(moveCount);
    if (FSystem) FSystem->Update(ParticleStep * moveCount);
}

void TLocationParticleObject::DoDraw() {
    if (FSystem) FSystem->Render();
}

} // namespace bw
