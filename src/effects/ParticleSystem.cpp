#include "effects/ParticleSystem.h"

#include "data/AsciiText.h"
#include "data/KilnImages.h"
#include "data/Xml.h"
#include "data/XmlConvert.h"
#include "data/XmlLoad.h"
#include "effects/ParticleManager.h"
#include "platform/Files.h"
#include "platform/Log.h"
#include "platform/Random.h"
#include "platform/Rounding.h"
#include "render/Canvas.h"
#include "render/DisplayState.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace bw {

namespace {

constexpr float DegToRad = std::numbers::pi_v<float> / 180.0f;

float Rnd(float min, float max) {
    return min + (max - min) * static_cast<float>(RandomFloat());
}

// A rate over a phase of `time`; an empty (or negative) phase changes nothing.
float PerTime(float amount, float time) {
    return time > 0.0f ? amount / time : 0.0f;
}

int RoundToInt(float v) {
    const float r = RoundEven(v);
    if (!(r > -2.0e9f && r < 2.0e9f)) return 0;
    return static_cast<int>(r);
}

} // namespace

// ---- TXObject -----------------------------------------------------------------------------------

float TXObject::LookAt(TPoint2 target) {
    const float dx = target.x - FPosition.x;
    const float dy = target.y - FPosition.y;
    FAngle = dx != 0.0f ? std::atan2(dy, dx) : 0.0f;
    return FAngle;
}

void TXObject::Translate(TPoint2 dist) {
    FPrevPos = FPosition;
    FPosition = TPoint2{FPosition.x + dist.x, FPosition.y + dist.y};
}

// ---- TSmoothColor -------------------------------------------------------------------------------

TSmoothColor TSmoothColor::FromArgb(TColor c) {
    return TSmoothColor{static_cast<float>((c >> 24) & 0xFF), static_cast<float>((c >> 16) & 0xFF),
                        static_cast<float>((c >> 8) & 0xFF), static_cast<float>(c & 0xFF)};
}

void TSmoothColor::Clamp() {
    // std::clamp keeps a NaN; a NaN colour component is taken as 0.
    auto limit = [](float v, float hi) { return v > 0.0f ? std::min(v, hi) : 0.0f; };
    R = limit(R, 255.0f);
    G = limit(G, 255.0f);
    B = limit(B, 255.0f);
    A = limit(A, 254.0f);
}

TColor TSmoothColor::Pack() const {
    auto byte = [](float v) { return static_cast<uint32_t>(RoundToInt(v)) & 0xFFu; };
    return (byte(A) << 24) | (byte(R) << 16) | (byte(G) << 8) | byte(B);
}

TSmoothColor TSmoothColor::Delta(const TSmoothColor& from, TColor target, float time) {
    const TSmoothColor t = FromArgb(target);
    return TSmoothColor{PerTime(t.A - from.A, time), PerTime(t.R - from.R, time),
                        PerTime(t.G - from.G, time), PerTime(t.B - from.B, time)};
}

// ---- TXParticleSystem ---------------------------------------------------------------------------

TXParticleSettings TXParticleSystem::DefaultSettings() {
    TXParticleSettings s;
    s.ScaleStart = s.ScaleMid = s.ScaleEnd = TPoint2{1.0f, 1.0f};
    s.Middle = 0.5f;
    return s;
}

TXParticleSystem::TXParticleSystem(int capacity) : FCapacity(std::max(0, capacity)) {
    FSettings = DefaultSettings();
    FEmitters.push_back(TPoint{0, 0});
}

TXParticleSystem::~TXParticleSystem() {
    Stop(true);
}

void TXParticleSystem::Start() {
    if (FEmitters.empty()) return;
    if (FCanvas) Load(FSettings);
    FAge = FSettings.LifeTime > 0.0f ? 0.0f : -1.0f;
}

void TXParticleSystem::Stop(bool removeParticles) {
    FAge = -1.0f;
    if (removeParticles) {
        FParticlesAlive = 0;
        FParticles.clear();
    }
}

void TXParticleSystem::StartAt(TPoint2 position) {
    Stop(false);
    MoveTo(position, false);
    Start();
}

void TXParticleSystem::Move(TPoint2 delta, bool moveParticles) {
    if (moveParticles) {
        for (TXParticle& p : FParticles) {
            p.Location.x += delta.x;
            p.Location.y += delta.y;
        }
        FPrevLocation = TPoint2{FPrevLocation.x + delta.x, FPrevLocation.y + delta.y};
    } else if (FAge >= 0.0f) {
        FPrevLocation = FPosition;
    } else {
        FPrevLocation = TPoint2{FPosition.x + delta.x, FPosition.y + delta.y};
    }
    FPosition = TPoint2{FPosition.x + delta.x, FPosition.y + delta.y};
}

void TXParticleSystem::MoveTo(TPoint2 position, bool moveParticles) {
    Move(TPoint2{position.x - FPosition.x, position.y - FPosition.y}, moveParticles);
}

void TXParticleSystem::Kill() {
    RemoveAllEmitters();
    Stop(true);
    if (FManagerPointer) FManagerPointer->KillPS(this);
}

bool TXParticleSystem::Load(const TXParticleSettings& settings) {
    if (&settings != &FSettings) FSettings = settings;
    FTexture = FSettings.Texture;
    if (FCanvas) {
        const TRect clip = FCanvas->ClipRect();
        if (FSettings.ClipRect.left >= FSettings.ClipRect.right)
            FSettings.ClipRect.right = clip.Width();
        if (FSettings.ClipRect.top >= FSettings.ClipRect.bottom)
            FSettings.ClipRect.bottom = clip.Height();
    }
    return true;
}

void TXParticleSystem::SetTexture(TKilnImage* image) {
    FTexture = image;
    FSettings.Texture = image;
    if (image) FSettings.TexUid = image->FName;
}

void TXParticleSystem::UpdateTexture() {
    if (FImages && !FSettings.TexUid.empty()) SetTexture(FImages->GetImage(FSettings.TexUid));
}

int TXParticleSystem::EmitterAdd(TPoint point) {
    FEmitters.push_back(point);
    return static_cast<int>(FEmitters.size()) - 1;
}

void TXParticleSystem::EmittersAdd(const TEmitters& points) {
    FEmitters.insert(FEmitters.end(), points.begin(), points.end());
}

void TXParticleSystem::EmittersAddFromTexture(const TKilnImage& image, TColor color) {
    RemoveAllEmitters();
    TKilnTexturePixels reloaded;
    const TKilnTexturePixels* pixels = &image.Pixels();
    if ((pixels->empty() || pixels->front().empty()) && image.FOnReload &&
        image.FOnReload(image, reloaded))
        pixels = &reloaded;
    const TPoint2px size = image.TextureSize();
    if (pixels->empty() || size.x <= 0 || size.y <= 0 ||
        pixels->front().size() < static_cast<size_t>(size.x) * static_cast<size_t>(size.y)) {
        WriteLog("Particle emitters: the pixels of \"" + image.FName + "\" are not at hand");
        return;
    }
    const std::vector<uint32_t>& px = pixels->front();
    for (int x = 0; x < size.x; ++x)
        for (int y = 0; y < size.y; ++y)
            if (px[static_cast<size_t>(y) * static_cast<size_t>(size.x) + static_cast<size_t>(x)] ==
                color)
                FEmitters.push_back(TPoint{x, y});
}

void TXParticleSystem::ScaleEmitters(TPoint2 scale) {
    for (TPoint& e : FEmitters)
        e = TPoint{RoundToInt(static_cast<float>(e.x) * scale.x),
                   RoundToInt(static_cast<float>(e.y) * scale.y)};
}

void TXParticleSystem::AssignParticleSystem(const TXParticleSystem* other) {
    if (!other || other == this) return;
    FTexture = other->FTexture;
    FCapacity = other->FCapacity;
    FParticles = other->FParticles;
    FSettings = other->FSettings;
    FEmitters = other->FEmitters;
    FManualRender = other->FManualRender;
    FSpeedMultiply = other->FSpeedMultiply;
    FEmissionMultiply = other->FEmissionMultiply;
    FScaleParticles = other->FScaleParticles;
    FAge = other->FAge;
    FEmissionResidue = other->FEmissionResidue;
    FAngle = other->FAngle;
    FParticlesAlive = other->FParticlesAlive;
    FPrevLocation = other->FPrevLocation;
    FThreadIndex = other->FThreadIndex;
}

// ---- Simulation ---------------------------------------------------------------------------------

void TXParticleSystem::Update(float deltaTime) {
    const float dt = deltaTime * FSpeedMultiply;
    if (FAge >= 0.0f) {
        FAge += dt;
        if (FAge >= FSettings.LifeTime) FAge = -1.0f;
    }

    // Removal and advance in one pass; the survivors keep their order.
    size_t kept = 0;
    const size_t alive = static_cast<size_t>(FParticlesAlive);
    TXParticle* particles = FParticles.data();
    for (size_t i = 0; i < alive; ++i) {
        TXParticle& p = particles[i];
        if (p.Age >= p.TerminalAge) continue;
        if (dt != 0.0f) Advance(p, dt);
        if (kept != i) particles[kept] = p;
        ++kept;
    }
    FParticlesAlive = static_cast<int>(kept);
    FParticles.resize(kept);

    if (FAge > 0.0f) {
        const float amount =
            dt * static_cast<float>(FSettings.EmissionRate) * FEmissionMultiply + FEmissionResidue;
        if (std::isfinite(amount)) {
            const float n = RoundEven(amount);
            FEmissionResidue = amount - n;
            const int room = FCapacity - FParticlesAlive;
            const int count =
                n > 0.0f ? static_cast<int>(std::min(n, static_cast<float>(room))) : 0;
            for (int i = 0; i < count && !FEmitters.empty(); ++i) AddParticle();
        } else {
            FEmissionResidue = 0.0f;
        }
    }
    FPrevLocation = FPosition;
}

void TXParticleSystem::AddParticle() {
    if (FParticlesAlive >= FCapacity || FEmitters.empty()) return;
    const TXParticleSettings& s = FSettings;
    TXParticle p;
    p.Age = 0.0f;
    p.TerminalAge = Rnd(s.ParticleLifeMin, s.ParticleLifeMax);
    p.MidAge = p.TerminalAge * s.Middle;

    const float t = Rnd(0.0f, 1.0f);
    const TPoint2 base{FPrevLocation.x + (FPosition.x - FPrevLocation.x) * t,
                       FPrevLocation.y + (FPosition.y - FPrevLocation.y) * t};
    const TPoint& e = FEmitters.size() == 1
                          ? FEmitters[0]
                          : FEmitters[static_cast<size_t>(Random(EmitterCount()))];
    p.Location = TPoint2{base.x + static_cast<float>(e.x), base.y + static_cast<float>(e.y)};
    p.Displacement = TPoint2{FPosition.x - p.Location.x, FPosition.y - p.Location.y};

    float d = 0.0f;
    if (s.ThreadCount <= 0) {
        d = Rnd(0.0f, s.Spread) - s.Spread / 2.0f;
    } else {
        if (FThreadIndex >= s.ThreadCount || FThreadIndex < 0) FThreadIndex = 0;
        const int k = s.ThreadIndexed ? FThreadIndex : Random(s.ThreadCount);
        d = (s.Spread / static_cast<float>(s.ThreadCount)) * static_cast<float>(k);
        ++FThreadIndex;
    }
    float angle = s.Direction + FAngle + d;
    if (s.Relative) {
        const TPoint2 v{FPrevLocation.x - FPosition.x, FPrevLocation.y - FPosition.y};
        if (v.x != 0.0f) angle += std::atan2(v.y, v.x);
    }
    const float speed = Rnd(s.VelMin, s.VelMax);
    p.Velocity = TPoint2{std::sin(angle) * speed, std::cos(angle) * speed};
    p.Gravity = Rnd(s.GravityMin, s.GravityMax);
    p.Accel = Rnd(s.AccelMin, s.AccelMax);
    p.TangAccel = Rnd(s.TangAccelMin, s.TangAccelMax);

    const float g = Rnd(0.0f, s.ScaleRnd);
    p.Scale = TPoint2{s.ScaleStart.x + (s.ScaleMid.x - s.ScaleStart.x) * g,
                      s.ScaleStart.y + (s.ScaleMid.y - s.ScaleStart.y) * g};
    p.ScaleDelta = TPoint2{PerTime(s.ScaleMid.x - p.Scale.x, p.MidAge),
                           PerTime(s.ScaleMid.y - p.Scale.y, p.MidAge)};
    const float spin = Rnd(s.SpinMin, s.SpinMax);
    p.AngleDelta = spin;
    p.Angle = spin;
    p.Frame = static_cast<float>(s.Pattern);
    p.FrameDelta = (s.FrameEnd < 0 || s.FrameEnd == s.Pattern)
                       ? 0.0f
                       : PerTime(static_cast<float>(s.FrameEnd - s.Pattern), p.TerminalAge);
    p.Color = TSmoothColor::FromArgb(s.ColorStart);
    p.ColorDelta = TSmoothColor::Delta(p.Color, s.ColorMid, p.MidAge);
    p.RenderColor = p.Color.Pack();
    FParticles.push_back(p);
    ++FParticlesAlive;
}

void TXParticleSystem::Advance(TXParticle& p, float dt) const {
    const bool crossing = p.Age >= p.MidAge && p.Age - dt < p.MidAge;
    p.Age += dt;
    const float rx = p.Location.x - (FPosition.x + p.Displacement.x);
    const float ry = p.Location.y - (FPosition.y + p.Displacement.y);
    const float length = std::sqrt(rx * rx + ry * ry);
    float nx = 0.0f, ny = 0.0f;
    if (length > 0.00001f) {
        nx = rx / length;
        ny = ry / length;
    }
    const float k = 10.0f * dt;
    p.Velocity.x += (nx * p.Accel - ny * p.TangAccel) * k;
    p.Velocity.y += (ny * p.Accel + nx * p.TangAccel) * k;
    p.Velocity.y += p.Gravity * k;
    p.Location.x += p.Velocity.x * dt;
    p.Location.y += p.Velocity.y * dt;
    p.Angle += p.AngleDelta * dt;
    p.Scale.x += p.ScaleDelta.x * dt;
    p.Scale.y += p.ScaleDelta.y * dt;
    p.Frame += p.FrameDelta * dt;
    if (crossing) {
        const float rest = p.TerminalAge - p.MidAge;
        p.ScaleDelta = TPoint2{PerTime(FSettings.ScaleEnd.x - p.Scale.x, rest),
                               PerTime(FSettings.ScaleEnd.y - p.Scale.y, rest)};
        p.ColorDelta = TSmoothColor::Delta(p.Color, FSettings.ColorEnd, rest);
    }
    p.Color.A += p.ColorDelta.A * dt;
    p.Color.R += p.ColorDelta.R * dt;
    p.Color.G += p.ColorDelta.G * dt;
    p.Color.B += p.ColorDelta.B * dt;
    p.Color.Clamp();
    p.RenderColor = p.Color.Pack();
}

// ---- Drawing ------------------------------------------------------------------------------------

void TXParticleSystem::Render(int dx, int dy) {
    if (FParticlesAlive <= 0 || !FCanvas) return;
    Canvas& canvas = *FCanvas;
    const TPoint2 S = DisplayScale;
    const TPoint2 W = WorldOffset;
    const TRect& clip = FSettings.ClipRect;
    const TBlendingEffect fx = FSettings.DrawFx;
    TKilnImage* tex = FTexture;
    float w = 0.0f, h = 0.0f;
    if (tex) {
        w = static_cast<float>(tex->FPatternSize.x) * FScaleParticles.x * S.x;
        h = static_cast<float>(tex->FPatternSize.y) * FScaleParticles.y * S.y;
    } else {
        w = FScaleParticles.x * S.y;
        h = FScaleParticles.y * S.y;
    }
    int selected = -1;
    const int n = FParticlesAlive;
    for (int k = 0; k < n; ++k) {
        const TXParticle& p =
            FParticles[static_cast<size_t>(FSettings.BackwardRender ? n - 1 - k : k)];
        const float cx = (p.Location.x + static_cast<float>(dx) - W.x) * S.x;
        const float cy = (p.Location.y + static_cast<float>(dy) - W.y) * S.y;
        const float zx = w * p.Scale.x, zy = h * p.Scale.y;
        const float hx = zx / 2.0f, hy = zy / 2.0f;
        // A particle whose numbers overflowed (absurd description values) is not drawn.
        if (!std::isfinite(cx + cy + zx + zy + p.Angle)) continue;
        if (static_cast<float>(clip.left) > cx + hx || static_cast<float>(clip.top) > cy + hy ||
            static_cast<float>(clip.right) < cx - hx || static_cast<float>(clip.bottom) < cy - hy)
            continue;
        if (!tex) {
            canvas.PutPixel(cx, cy, p.RenderColor, fx);
            selected = -1;
            continue;
        }
        const int pattern = static_cast<int>(p.Frame);
        if (pattern != selected) {
            const TKilnPatternTex pt = tex->RetrieveTex(pattern);
            if (!pt) continue;
            canvas.UseTexture(pt.Texture, pt.Mapping);
            selected = pattern;
        }
        const float c = std::cos(p.Angle), s = std::sin(p.Angle);
        const float ax = hx * c, ay = hx * s;  // the half width, turned
        const float bx = -hy * s, by = hy * c; // the half height, turned
        const TPoint4 corners{
            TPoint2{cx - ax - bx, cy - ay - by}, TPoint2{cx + ax - bx, cy + ay - by},
            TPoint2{cx + ax + bx, cy + ay + by}, TPoint2{cx - ax + bx, cy - ay + by}};
        canvas.TexMap(corners, TColor4(p.RenderColor), fx);
    }
}

// ---- Descriptions -------------------------------------------------------------------------------

void ReadParticleSettings(const TXMLNode& node, TXParticleSettings& s) {
    s = TXParticleSettings{};
    auto attr = [](const TXMLNode* n, const char* name) {
        return n ? n->GetFieldValue(name) : std::string();
    };
    const TXMLNode* system = node.GetChildNode("system");
    s.Uid = attr(system, "uid");
    s.LifeTime = TextToFloat(attr(system, "lifetime"));
    s.BackwardRender = TextToBool(attr(system, "backwardrender"));
    const TXMLNode* texture = node.GetChildNode("texture");
    s.TexUid = attr(texture, "image");
    s.Pattern = TextToIntDef(attr(texture, "pattern"), 0);
    s.DrawFx = static_cast<TBlendingEffect>(BlendNameToCode(attr(texture, "drawfx")));
    const TXMLNode* particle = node.GetChildNode("particle");
    s.ParticleLifeMin = TextToFloat(attr(particle, "lifemin"));
    s.ParticleLifeMax = TextToFloat(attr(particle, "lifemax"));
    s.Middle = TextToFloat(attr(particle, "middle"));
    const TXMLNode* color = node.GetChildNode("color");
    s.ColorStart = static_cast<TColor>(TextToIntDef(attr(color, "start"), 0));
    s.ColorMid = static_cast<TColor>(TextToIntDef(attr(color, "mid"), 0));
    s.ColorEnd = static_cast<TColor>(TextToIntDef(attr(color, "end"), 0));
    s.ColorRnd = TextToFloatDef(attr(color, "rnd"), 0.0f);
    s.FrameEnd = TextToIntDef(attr(node.GetChildNode("anim"), "frameend"), 0);
    const TXMLNode* emission = node.GetChildNode("emission");
    s.EmissionRate = TextToIntDef(attr(emission, "rate"), 0);
    s.Direction = TextToFloatDef(attr(emission, "direction"), 0.0f) * DegToRad;
    s.Relative = TextToBool(attr(emission, "relative"));
    s.Spread = TextToFloatDef(attr(emission, "spread"), 0.0f) * DegToRad;
    if (const TXMLNode* threads = emission ? emission->GetChildNode("threads") : nullptr) {
        s.ThreadCount = TextToIntDef(threads->GetFieldValue("count"), 1);
        s.ThreadIndexed = TextToBool(threads->GetFieldValue("indexed"));
    }
    if (const TXMLNode* scale = node.GetChildNode("scale")) {
        s.ScaleRnd = TextToFloatDef(scale->GetFieldValue("rnd"), 0.0f);
        s.ScaleStart = ReadPoint(scale->GetChildNode("start"), TPoint2{1.0f, 1.0f});
        s.ScaleMid = ReadPoint(scale->GetChildNode("mid"), TPoint2{1.0f, 1.0f});
        s.ScaleEnd = ReadPoint(scale->GetChildNode("end"), TPoint2{1.0f, 1.0f});
    }
    const TXMLNode* spin = node.GetChildNode("spin");
    s.SpinMin = TextToFloatDef(attr(spin, "min"), 0.0f) * DegToRad;
    s.SpinMax = TextToFloatDef(attr(spin, "max"), 0.0f) * DegToRad;
    if (const TXMLNode* forces = node.GetChildNode("forces")) {
        auto range = [&](const char* name, float& min, float& max) {
            const TXMLNode* f = forces->GetChildNode(name);
            min = TextToFloatDef(attr(f, "min"), 0.0f);
            max = TextToFloatDef(attr(f, "max"), 0.0f);
        };
        range("velocity", s.VelMin, s.VelMax);
        range("gravity", s.GravityMin, s.GravityMax);
        range("accel", s.AccelMin, s.AccelMax);
        range("tangaccel", s.TangAccelMin, s.TangAccelMax);
    }
    const TXMLNode* clip = node.GetChildNode("cliprect");
    s.ClipRect = TRect{TextToIntDef(attr(clip, "left"), 0), TextToIntDef(attr(clip, "top"), 0),
                       TextToIntDef(attr(clip, "right"), 0), TextToIntDef(attr(clip, "bottom"), 0)};
}

void TXParticleSystem::ParseXML(const TXMLNode& node, const std::string& name,
                                const TEmitterSourcePolicy& sources) {
    TXParticleSettings s;
    ReadParticleSettings(node, s);
    if (!name.empty()) s.Uid = name;
    for (const TXMLNode& child : node) {
        if (child.Name() == "emitters") ReadEmitters(child, sources, 0);
    }
    if (FEmitters.empty()) FEmitters.push_back(TPoint{0, 0});
    Load(s);
    UpdateTexture();
}

bool TXParticleSystem::ParseEmittersRecord(const std::string& key, TKilnArchive* archive,
                                           const TEmitterSourcePolicy& sources) {
    const std::unique_ptr<TXMLNode> root = XMLFromArchive(key, archive, XmlNames::WithHyphen);
    if (!root || AsciiLowerCase(root->Name()) != "xparticles") return false;
    const TXMLNode* emitters = root->GetChildNode("emitters");
    if (!emitters) return false;
    ReadEmitters(*emitters, sources, 0);
    return true;
}

void TXParticleSystem::ParseEmittersXML(const TXMLNode& node, const TEmitterSourcePolicy& sources) {
    if (node.Name() == "emitters") ReadEmitters(node, sources, 0);
}

namespace {

// The file an emitters "source" names, when it lies inside the data folder: a relative path
// without "." or ".." steps, optionally starting with the folder's own name. Empty otherwise.
std::string EmitterSourcePath(const std::string& source, const std::string& folder) {
    if (folder.empty() || source.empty()) return {};
    std::string path = NativePath(source);
    if (path.front() == '/' || path.find(':') != std::string::npos) return {};
    std::vector<std::string> steps;
    size_t start = 0;
    while (start <= path.size()) {
        const size_t end = std::min(path.find('/', start), path.size());
        const std::string step = path.substr(start, end - start);
        if (step == "." || step == "..") return {};
        if (!step.empty()) steps.push_back(step);
        start = end + 1;
    }
    if (steps.empty()) return {};
    if (steps.size() > 1 && AsciiLowerCase(steps.front()) == "data") steps.erase(steps.begin());
    std::string result = folder;
    for (const std::string& step : steps) result = JoinPath(result, step);
    return result;
}

} // namespace

void TXParticleSystem::ReadEmitters(const TXMLNode& node, const TEmitterSourcePolicy& sources,
                                    int depth) {
    RemoveAllEmitters();
    const std::string source = node.GetFieldValue("source");
    if (!source.empty()) {
        const std::string path = EmitterSourcePath(source, sources.Folder);
        if (path.empty()) {
            WriteLog("Particle emitters: the source \"" + source +
                     "\" lies outside the data folder and is not read");
        } else if (depth >= sources.MaxDepth) {
            WriteLog("Particle emitters: the sources nest too deep at \"" + source + "\"");
        } else if (FileExists(path)) {
            const std::unique_ptr<TXMLNode> doc = XMLFromFile(path);
            const TXMLNode* inner = doc && AsciiLowerCase(doc->Name()) == "xparticles"
                                        ? doc->GetChildNode("emitters")
                                        : nullptr;
            if (inner) ReadEmitters(*inner, sources, depth + 1);
        }
    }
    for (const TXMLNode& child : node) {
        if (child.Name() != "point") continue;
        const TPoint2 p = ReadPoint(&child, TPoint2{});
        FEmitters.push_back(TPoint{RoundToInt(p.x), RoundToInt(p.y)});
    }
}

} // namespace bw
