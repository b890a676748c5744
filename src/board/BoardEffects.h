// The effects the board shows, as the board sees them: particle bursts, flip-books, falling
// splinters, and particle systems that a board sprite owns and draws at its own depth (the
// feather trails, the path preview, the location's particle decorations). The effects module
// installs the real implementation; until then (and in tests that do not install one) the null
// effects show nothing and owned systems are never created.
#pragma once

#include "render/Types.h"

#include <memory>
#include <string>
#include <vector>

namespace bw {

// A particle system owned by one board sprite. Destroying it frees the system.
class BoardParticles {
public:
    virtual ~BoardParticles() = default;
    // Moves the emitter; new particles fill the way from the old position (a trail).
    virtual void MoveTo(TPoint2 pos) = 0;
    // Advances the system by `step` (times its speed factor).
    virtual void Update(float step) = 0;
    // Ends the emission; the particles already out live on.
    virtual void Stop() = 0;
    // True while the system emits or particles live.
    virtual bool Alive() const = 0;
    virtual void Render() = 0;

    // Set-up right after creation.
    // Replaces the emitters by points relative to the system's position.
    virtual void SetEmitters(const std::vector<TPoint2>& points) = 0;
    // Emitters at every opaque pixel of a picture (its first texture).
    virtual void EmittersFromMask(const std::string& picture) = 0;
    // Reads the emitters of the description's own record again; false when it has none.
    virtual bool ReadRecordEmitters() = 0;
    virtual void ScaleEmitters(float scale) = 0;
    virtual void SetEmissionRate(int rate) = 0;
    virtual void SetEmissionMultiply(float factor) = 0;
    virtual void SetSpeedMultiply(float factor) = 0;
    // Replaces the particle picture (an unknown name leaves the description's).
    virtual void SetTexture(const std::string& picture) = 0;
};

class BoardEffects {
public:
    virtual ~BoardEffects() = default;
    // A burst of the description advanced `count` steps of `step` at once, then left to fade;
    // its emitters come from the description's record.
    virtual void Burst(const std::string& /*name*/, TPoint2 /*pos*/, int /*z*/, int /*count*/,
                       float /*step*/) {}
    // A flip-book of `patterns` patterns played once at `speed`, centred on `pos` or with its
    // top-left there; with fadeSpeed > 0 it fades out after the last pattern. `firstPattern`
    // >= 0 shows that one still pattern and fades at once.
    struct Flipbook {
        std::string Picture;
        TPoint2 Pos;
        TPoint2 Scale{1.0f, 1.0f};
        TBlendingEffect Blend = beNormal;
        bool Centred = true;
        float Speed = 0.0f;
        int Patterns = 1;
        float FadeSpeed = 0.0f;
        float StillPattern = -1.0f;
        int Z = 0;
    };
    virtual void PlayFlipbook(const Flipbook& /*flipbook*/) {}
    // A splinter falling from `pos`, drifting towards `target`'s side.
    struct Splinter {
        std::string Picture;
        TPoint2 Pos;
        TPoint2 Target;
        TPoint2 Scale{1.0f, 1.0f};
        float FirstPattern = 0.0f;
        int Patterns = 1;
        double Speed = 0.0;
        double SpeedUp = 0.0;
        int Z = 0;
    };
    virtual void DropSplinter(const Splinter& /*splinter*/) {}
    // A timed particle animation: it waits `Delay` updates, is advanced `PreUpdates` steps at
    // once, then emits for `Life` updates and fades; with a `Radius` its centre circles `Pos`
    // at `Speed`. Its emitters come from the description's record.
    struct Timed {
        std::string Name;
        TPoint2 Pos;
        int Z = 0;
        float Delay = 0.0f;
        float Life = 0.0f;
        int PreUpdates = 0;
        float Step = 0.0f;
        TPoint2 Speed;
        TPoint2 Radius;
    };
    virtual void PlayTimed(const Timed& /*timed*/) {}
    // A system for a sprite to own and draw; null when the description is unknown or the
    // library's limit of live systems is reached (the sprite then goes on without it).
    virtual std::unique_ptr<BoardParticles> Own(const std::string& /*name*/, TPoint2 /*pos*/) {
        return nullptr;
    }
    // Lets the particles of an owned system fade out under an effect sprite at Z.
    virtual void FadeOut(std::unique_ptr<BoardParticles> /*particles*/, int /*z*/, float /*step*/) {
    }
    // Removes every particle animation and flip-book (the level's teardown).
    virtual void ClearAll() {}
    // Number of live particle systems (for tests and the debug overlay).
    virtual int LiveSystems() const { return 0; }
};

// The installed effects; null effects when none are.
BoardEffects& Effects();
// Installs `effects` (not owned; null puts the null effects back).
void SetBoardEffects(BoardEffects* effects);

} // namespace bw
