#include "effects/GameEffects.h"

#include "base/GameObjects.h"
#include "data/KilnArchive.h"
#include "data/KilnImages.h"
#include "effects/EffectSprites.h"
#include "effects/ParticleManager.h"
#include "platform/Log.h"

#include <cmath>

namespace bw {

namespace {

class OwnedParticles final : public BoardParticles {
public:
    OwnedParticles(TXParticleSystem* system, std::string name, TKilnArchive* archive)
        : FSystem(system), FName(std::move(name)), FArchive(archive) {
        system->FManualRender = true;
    }
    ~OwnedParticles() override { FSystem.Kill(); }

    TXParticleSystem* System() const { return FSystem.Get(); }

    void MoveTo(TPoint2 pos) override {
        if (TXParticleSystem* s = System()) s->MoveTo(pos, false);
    }
    void Update(float step) override {
        if (TXParticleSystem* s = System()) s->Update(step);
    }
    void Stop() override {
        if (TXParticleSystem* s = System()) s->Stop(false);
    }
    bool Alive() const override {
        const TXParticleSystem* s = System();
        return s && s->Active();
    }
    void Render() override {
        if (TXParticleSystem* s = System()) s->Render(0, 0);
    }
    void SetEmitters(const std::vector<TPoint2>& points) override {
        TXParticleSystem* s = System();
        if (!s) return;
        s->RemoveAllEmitters();
        for (const TPoint2& p : points)
            s->EmitterAdd(TPoint{static_cast<int>(std::nearbyint(p.x)),
                                 static_cast<int>(std::nearbyint(p.y))});
        // Without emitters a system never emits; Start is kept for when it gets some.
        if (s->EmitterCount() > 0 && s->FAge < 0.0f) s->Start();
    }
    void EmittersFromMask(const std::string& picture) override {
        TXParticleSystem* s = System();
        if (!s) return;
        const TKilnImage* image = s->FImages ? s->FImages->GetImage(picture) : nullptr;
        if (!image) {
            WriteLog("Particle emitters: no mask picture \"" + picture + "\"");
            return;
        }
        s->EmittersAddFromTexture(*image, 0xFF000000u);
    }
    bool ReadRecordEmitters() override {
        TXParticleSystem* s = System();
        const TXParticleManager* manager = ParticleManager();
        return s && FArchive && manager &&
               s->ParseEmittersRecord(FName, FArchive, manager->FEmitterSources);
    }
    void ScaleEmitters(float scale) override {
        if (TXParticleSystem* s = System()) s->ScaleEmitters(TPoint2{scale, scale});
    }
    void SetEmissionRate(int rate) override {
        if (TXParticleSystem* s = System()) s->FSettings.EmissionRate = rate;
    }
    void SetEmissionMultiply(float factor) override {
        if (TXParticleSystem* s = System()) s->FEmissionMultiply = factor;
    }
    void SetSpeedMultiply(float factor) override {
        if (TXParticleSystem* s = System()) s->FSpeedMultiply = factor;
    }
    void SetTexture(const std::string& picture) override {
        TXParticleSystem* s = System();
        if (!s || !s->FImages) return;
        if (TKilnImage* image = s->FImages->GetImage(picture))
            s->SetTexture(image);
        else
            WriteLog("Particle texture \"" + picture + "\" is missing; \"" + FName +
                     "\" keeps its own");
    }

private:
    TParticleRef FSystem;
    std::string FName;
    TKilnArchive* FArchive;
};

} // namespace

GameBoardEffects& TheBoardEffects() {
    static GameBoardEffects effects;
    return effects;
}

TKilnArchive* GameBoardEffects::RecordArchive(const std::string& name) const {
    const std::vector<TKilnArchive*> game{Archives.Particles1, Archives.ParticlesLoc,
                                          Archives.Particles0};
    for (TKilnArchive* archive : FArchives.empty() ? game : FArchives)
        if (archive && archive->Ready() && archive->IndexOf(name) >= 0) return archive;
    return nullptr;
}

void GameBoardEffects::Burst(const std::string& name, TPoint2 pos, int z, int count, float step) {
    StartBurstFx(name, RecordArchive(name), pos, count, step, z);
}

void GameBoardEffects::PlayTimed(const Timed& t) {
    if (t.Radius.x != 0.0f || t.Radius.y != 0.0f)
        StartOrbitingFx(t.Name, t.Pos, t.Z, t.Delay, t.Speed, t.Radius, RecordArchive(t.Name),
                        t.Life, t.PreUpdates, t.Step);
    else
        StartTimedFx(t.Name, t.Pos, t.Z, t.Delay, RecordArchive(t.Name), t.Life, t.PreUpdates,
                     t.Step);
}

void GameBoardEffects::PlayFlipbook(const Flipbook& f) {
    const int placement = f.Centred ? 1 : 0;
    if (f.StillPattern >= 0.0f)
        StartFadingFrameFx(f.Picture, f.Pos, f.Scale, f.StillPattern, f.FadeSpeed, f.Blend,
                           placement, f.Z);
    else if (f.FadeSpeed > 0.0f)
        StartFadingSpriteFx(f.Picture, f.Pos, f.Scale, f.FadeSpeed, f.Blend, placement, f.Speed,
                            f.Patterns, f.Z);
    else
        StartSpriteFx(f.Picture, f.Pos, f.Scale, f.Blend, placement, f.Speed, f.Patterns, f.Z);
}

void GameBoardEffects::DropSplinter(const Splinter& s) {
    StartSplinter(s.Pos, s.Target, s.Scale, 3, s.FirstPattern, s.Patterns, s.Picture, s.Speed,
                  s.SpeedUp, s.Z);
}

std::unique_ptr<BoardParticles> GameBoardEffects::Own(const std::string& name, TPoint2 pos) {
    TXParticleManager* manager = ParticleManager();
    TXParticleSystem* system = manager ? manager->Launch(name, pos) : nullptr;
    if (!system) return nullptr;
    return std::make_unique<OwnedParticles>(system, name, RecordArchive(name));
}

void GameBoardEffects::FadeOut(std::unique_ptr<BoardParticles> particles, int z, float step) {
    auto* owned = dynamic_cast<OwnedParticles*>(particles.get());
    if (!owned) return;
    if (TXParticleSystem* system = owned->System()) {
        if (system->FParticlesAlive > 0)
            StartFadingCloneFx(system, z, step, system->FSpeedMultiply, system->FPosition);
    }
    particles.reset(); // kills the owner's system
}

void GameBoardEffects::ClearAll() {
    ClearParticleFx();
    ClearSpriteFx();
}

int GameBoardEffects::LiveSystems() const {
    const TXParticleManager* manager = ParticleManager();
    return manager ? manager->FSysCount : 0;
}

} // namespace bw
