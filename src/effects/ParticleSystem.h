// Particle systems: an emitter that, for a limited time, releases point-like particles which
// fly, turn, grow or shrink, change colour and die. A system is launched by the particle
// manager (ParticleManager.h) from a named description, then moved, advanced and stopped by
// the sprite or effect that asked for it.
//
// All positions are design units; angles are radians here and degrees in description files.
// The simulation is single precision and driven by the owner's time step.
#pragma once

#include "render/Types.h"

#include <cstdint>
#include <string>
#include <vector>

namespace bw {

class Canvas;
class TKilnArchive;
class TKilnImage;
class TKilnImages;
class TXMLNode;
class TXParticleManager;

class TXObject {
public:
    TXObject() = default;
    virtual ~TXObject() = default;

    std::string FName;
    TPoint2 FPosition;
    TPoint2 FPrevPos;
    float FAngle = 0.0f;

    virtual void Update(float deltaTime) = 0;
    // Turns towards `target` (atan2 of the difference; 0 when it lies straight above or below).
    virtual float LookAt(TPoint2 target);
    void Translate(TPoint2 dist);
};

// A colour as four floats meant to lie in 0..255.
struct TSmoothColor {
    float A = 0.0f, R = 0.0f, G = 0.0f, B = 0.0f;

    static TSmoothColor FromArgb(TColor c);
    // R, G and B into 0..255; A into 0..254.
    void Clamp();
    // Each component rounded (halves to even), low 8 bits, packed as ARGB.
    TColor Pack() const;
    // The per-time-unit change from `from` towards `target` over `time`; zero for a time that
    // is not positive (an empty phase).
    static TSmoothColor Delta(const TSmoothColor& from, TColor target, float time);
};

enum TAnimType : uint8_t { atNone, atForward, atBackward };

// One effect description.
struct TXParticleSettings {
    std::string Uid;
    std::string TexUid;
    TKilnImage* Texture = nullptr; // null: the particles are single pixels
    int Pattern = 0;
    TBlendingEffect DrawFx = beUnknown;
    int FrameEnd = 0;
    TAnimType AnimType = atNone;
    bool BackwardRender = false;
    int EmissionRate = 0;
    float LifeTime = 0.0f;
    float ParticleLifeMin = 0.0f, ParticleLifeMax = 0.0f;
    float Middle = 0.0f;
    float Direction = 0.0f;
    bool Relative = false;
    float Spread = 0.0f;
    int ThreadCount = 0;
    bool ThreadIndexed = false;
    float VelMin = 0.0f, VelMax = 0.0f;
    float GravityMin = 0.0f, GravityMax = 0.0f;
    float AccelMin = 0.0f, AccelMax = 0.0f;
    float TangAccelMin = 0.0f, TangAccelMax = 0.0f;
    TPoint2 ScaleStart, ScaleMid, ScaleEnd;
    float ScaleRnd = 0.0f;
    float SpinMin = 0.0f, SpinMax = 0.0f;
    TColor ColorStart = 0, ColorMid = 0, ColorEnd = 0;
    float ColorRnd = 0.0f, AlphaRnd = 0.0f;
    TRect ClipRect;
};

struct TXParticle {
    float Frame = 0.0f;
    float FrameDelta = 0.0f;
    TPoint2 Location;
    TPoint2 Displacement;
    TPoint2 Velocity;
    float Gravity = 0.0f, Accel = 0.0f, TangAccel = 0.0f;
    float Angle = 0.0f, AngleDelta = 0.0f;
    TPoint2 Scale, ScaleDelta;
    TSmoothColor Color, ColorDelta;
    TColor RenderColor = 0;
    float Age = 0.0f, MidAge = 0.0f, TerminalAge = 0.0f;
};

using TEmitters = std::vector<TPoint>;

// The largest number of particles one system holds.
constexpr int ParticleCapacity = 50000;

// Where emitters "source" files may come from and how deep such references may nest.
struct TEmitterSourcePolicy {
    std::string Folder; // the data folder; empty: no file is ever read
    int MaxDepth = 4;
};

class TXParticleSystem : public TXObject {
public:
    explicit TXParticleSystem(int capacity);
    ~TXParticleSystem() override;
    TXParticleSystem(const TXParticleSystem&) = delete;
    TXParticleSystem& operator=(const TXParticleSystem&) = delete;

    Canvas* FCanvas = nullptr;
    TKilnImages* FImages = nullptr;
    TKilnImage* FTexture = nullptr;
    int FCapacity = 0;
    // The live particles, oldest first. Storage grows with the live count up to FCapacity and
    // is kept once grown, so a warm system does not allocate.
    std::vector<TXParticle> FParticles;
    TXParticleSettings FSettings;
    TEmitters FEmitters;
    TXParticleManager* FManagerPointer = nullptr;
    bool FManualRender = false;
    float FSpeedMultiply = 1.0f;
    float FEmissionMultiply = 1.0f;
    TPoint2 FScaleParticles{1.0f, 1.0f};
    float FAge = -1.0f;
    float FEmissionResidue = 0.0f;
    float FAngle = 0.0f; // extra rotation of the emission direction
    int FParticlesAlive = 0;
    TPoint2 FPrevLocation;
    int FThreadIndex = 0;
    uint64_t FSerial = 0; // set by the manager at launch; never reused

    void Update(float deltaTime) override;
    void Render(int dx, int dy);
    void Start();
    void Stop(bool removeParticles);
    void StartAt(TPoint2 position);
    void Move(TPoint2 delta, bool moveParticles);
    void MoveTo(TPoint2 position, bool moveParticles);
    // Frees the system through its manager; the caller's pointer is invalid afterwards.
    void Kill();
    bool Load(const TXParticleSettings& settings);
    void SetTexture(TKilnImage* image);
    void UpdateTexture();
    // Reads an "xsettings" element (its emitters included), then loads it.
    void ParseXML(const TXMLNode& node, const std::string& name,
                  const TEmitterSourcePolicy& sources = {});
    bool ParseEmittersRecord(const std::string& key, TKilnArchive* archive,
                             const TEmitterSourcePolicy& sources = {});
    void ParseEmittersXML(const TXMLNode& node, const TEmitterSourcePolicy& sources = {});
    int EmitterAdd(TPoint point);
    void EmittersAdd(const TEmitters& points);
    // Emitters at every pixel of the texture's first pattern whose colour equals `color`.
    void EmittersAddFromTexture(const TKilnImage& image, TColor color);
    void ScaleEmitters(TPoint2 scale);
    void RemoveAllEmitters() { FEmitters.clear(); }
    int EmitterCount() const { return static_cast<int>(FEmitters.size()); }
    void AssignParticleSystem(const TXParticleSystem* other);

    // True while emitting or while particles live.
    bool Active() const { return FAge >= 0.0f || FParticlesAlive > 0; }

    // The description default of a system created in code.
    static TXParticleSettings DefaultSettings();

private:
    void AddParticle();
    void Advance(TXParticle& p, float dt) const;
    void ReadEmitters(const TXMLNode& node, const TEmitterSourcePolicy& sources, int depth);
};

// Reads an "xsettings" element into `settings` (fields start at zero) and, when `emitters`
// is given, its "emitters" element into it.
void ReadParticleSettings(const TXMLNode& node, TXParticleSettings& settings);

} // namespace bw
