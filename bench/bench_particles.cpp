// 250 systems of about 2,000 live particles each, advanced and drawn into the recording
// canvas, reported in nanoseconds per particle. Beside them the floor: the same number of
// particles advanced by a bare loop over a plain array with the same arithmetic.
#include "BenchTime.h"
#include "effects/ParticleManager.h"
#include "platform/Random.h"
#include "render/RecordingCanvas.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

constexpr int kSystems = 250;
constexpr int kPerSystem = 2000;
constexpr float kStep = 0.01f;

struct Scene {
    bw::RecordingCanvas canvas;
    bw::TXParticleManager manager;
    Scene() {
        canvas.SetRecording(false);
        manager.FCanvas = &canvas;
        bw::SetParticleManager(&manager);
        bw::RandomSeed(1);
        bw::TXParticleSettings s = bw::TXParticleSystem::DefaultSettings();
        s.Uid = "bench";
        s.LifeTime = 1e9f;
        // 2,000 particles of life 1 alive at any time.
        s.EmissionRate = kPerSystem;
        s.ParticleLifeMin = s.ParticleLifeMax = 1.0f;
        s.Spread = 6.28f;
        s.VelMin = 20.0f;
        s.VelMax = 60.0f;
        s.GravityMin = s.GravityMax = 2.0f;
        s.AccelMin = s.AccelMax = 1.0f;
        s.TangAccelMin = s.TangAccelMax = 1.0f;
        s.ColorStart = 0x00FFFFFF;
        s.ColorMid = 0xFFFFE066;
        s.ColorEnd = 0x00FFB52E;
        s.ClipRect = bw::TRect{0, 0, 1920, 1080};
        for (int i = 0; i < kSystems; ++i) {
            bw::TXParticleSystem* p =
                manager.LaunchEx(s, bw::TPoint2{static_cast<float>(i * 7 % 1900), 500.0f});
            for (int k = 0; k < 100; ++k) p->Update(kStep); // warm: one particle lifetime
        }
    }
    long Live() const {
        long n = 0;
        for (int i = 0; i < manager.FSysCount; ++i) n += manager.System(i)->FParticlesAlive;
        return n;
    }
};

Scene& GetScene() {
    static Scene scene;
    return scene;
}

void BM_ParticleUpdate(benchmark::State& state) {
    Scene& s = GetScene();
    long particles = 0;
    for (auto _ : state) {
        particles += s.Live();
        for (int i = 0; i < s.manager.FSysCount; ++i) s.manager.System(i)->Update(kStep);
    }
    state.counters["ns_per_particle"] = benchmark::Counter(
        static_cast<double>(particles), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["particles"] = static_cast<double>(s.Live());
}
BENCHMARK(BM_ParticleUpdate)->Unit(benchmark::kMillisecond)->MinTime(BenchTime(1.0));

void BM_ParticleRender(benchmark::State& state) {
    Scene& s = GetScene();
    long particles = 0;
    for (auto _ : state) {
        particles += s.Live();
        s.canvas.Clear();
        s.manager.Render(0, 0);
    }
    state.counters["ns_per_particle"] = benchmark::Counter(
        static_cast<double>(particles), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ParticleRender)->Unit(benchmark::kMillisecond)->MinTime(BenchTime(1.0));

// The floor: the same motion, scale, colour and age arithmetic over a plain array, with no
// removal, emission or phase switch.
void BM_BareParticleLoop(benchmark::State& state) {
    const long count = GetScene().Live();
    std::vector<bw::TXParticle> particles(static_cast<size_t>(count));
    for (size_t i = 0; i < particles.size(); ++i) {
        particles[i].Velocity = bw::TPoint2{static_cast<float>(i % 17), 3.0f};
        particles[i].TerminalAge = 1e9f;
        particles[i].Accel = particles[i].TangAccel = particles[i].Gravity = 1.0f;
    }
    const float dt = kStep;
    for (auto _ : state) {
        for (bw::TXParticle& p : particles) {
            p.Age += dt;
            const float rx = p.Location.x - p.Displacement.x, ry = p.Location.y - p.Displacement.y;
            const float len = std::sqrt(rx * rx + ry * ry);
            const float nx = len > 0.00001f ? rx / len : 0.0f,
                        ny = len > 0.00001f ? ry / len : 0.0f;
            const float k = 10.0f * dt;
            p.Velocity.x += (nx * p.Accel - ny * p.TangAccel) * k;
            p.Velocity.y += (ny * p.Accel + nx * p.TangAccel + p.Gravity) * k;
            p.Location.x += p.Velocity.x * dt;
            p.Location.y += p.Velocity.y * dt;
            p.Angle += p.AngleDelta * dt;
            p.Scale.x += p.ScaleDelta.x * dt;
            p.Scale.y += p.ScaleDelta.y * dt;
            p.Frame += p.FrameDelta * dt;
            p.Color.A = std::fmin(std::fmax(p.Color.A + p.ColorDelta.A * dt, 0.0f), 254.0f);
            p.Color.R = std::fmin(std::fmax(p.Color.R + p.ColorDelta.R * dt, 0.0f), 255.0f);
            p.Color.G = std::fmin(std::fmax(p.Color.G + p.ColorDelta.G * dt, 0.0f), 255.0f);
            p.Color.B = std::fmin(std::fmax(p.Color.B + p.ColorDelta.B * dt, 0.0f), 255.0f);
            p.RenderColor = p.Color.Pack();
        }
        benchmark::DoNotOptimize(particles.data());
    }
    state.counters["ns_per_particle"] =
        benchmark::Counter(static_cast<double>(count) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_BareParticleLoop)->Unit(benchmark::kMillisecond)->MinTime(BenchTime(1.0));

} // namespace

BENCHMARK_MAIN();
