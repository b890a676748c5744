// 250 systems of about 2,000 live particles each, advanced and drawn into the recording
// canvas, reported in nanoseconds per particle. Beside them the floor: the same number of
// particles advanced by a bare loop over a plain array with the same arithmetic.
#include "BenchTime.h"
#include "effects/ParticleManager.h"
#include "platform/Random.h"
#include "render/RecordingCanvas.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <vector>

// Every allocation of the program is counted, so a benchmark can report those of its frames.
namespace {
std::atomic<long> gAllocations{0};
} // namespace

void* operator new(std::size_t size) {
    gAllocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace {

// Allocations per iteration of a benchmark, from the count before its loop.
void ReportAllocations(benchmark::State& state, long before) {
    state.counters["allocs_per_frame"] =
        static_cast<double>(gAllocations.load() - before) /
        static_cast<double>(std::max<benchmark::IterationCount>(1, state.iterations()));
}

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
    const long allocations = gAllocations.load();
    for (auto _ : state) {
        particles += s.Live();
        for (int i = 0; i < s.manager.FSysCount; ++i) s.manager.System(i)->Update(kStep);
    }
    ReportAllocations(state, allocations);
    state.counters["ns_per_particle"] = benchmark::Counter(
        static_cast<double>(particles), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["particles"] = static_cast<double>(s.Live());
}
BENCHMARK(BM_ParticleUpdate)->Unit(benchmark::kMillisecond)->MinTime(BenchTime(1.0));

void BM_ParticleRender(benchmark::State& state) {
    Scene& s = GetScene();
    long particles = 0;
    const long allocations = gAllocations.load();
    for (auto _ : state) {
        particles += s.Live();
        s.canvas.Clear();
        s.manager.Render(0, 0);
    }
    ReportAllocations(state, allocations);
    state.counters["ns_per_particle"] = benchmark::Counter(
        static_cast<double>(particles), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ParticleRender)->Unit(benchmark::kMillisecond)->MinTime(BenchTime(1.0));

// The floor: the live particles of the scene copied into one plain array and advanced by a
// bare loop with the arithmetic of a particle's advance (motion, turn, scale, frame, colour,
// clamp and packing), without removal, emission or the switch at the middle of a life.
inline float Limit(float v, float hi) {
    return v > 0.0f ? std::min(v, hi) : 0.0f;
}
inline uint32_t Byte(float v) {
    const float r = std::nearbyint(v);
    return (r > -2.0e9f && r < 2.0e9f ? static_cast<uint32_t>(static_cast<int>(r)) : 0u) & 0xFFu;
}

void BM_BareParticleLoop(benchmark::State& state) {
    Scene& scene = GetScene();
    std::vector<bw::TXParticle> particles;
    particles.reserve(static_cast<size_t>(scene.Live()));
    for (int i = 0; i < scene.manager.FSysCount; ++i) {
        const bw::TXParticleSystem* system = scene.manager.System(i);
        particles.insert(particles.end(), system->FParticles.begin(), system->FParticles.end());
    }
    const bw::TPoint2 origin{500.0f, 500.0f};
    const float dt = kStep;
    for (auto _ : state) {
        for (bw::TXParticle& p : particles) {
            p.Age += dt;
            const float rx = p.Location.x - (origin.x + p.Displacement.x);
            const float ry = p.Location.y - (origin.y + p.Displacement.y);
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
            p.Color.A = Limit(p.Color.A + p.ColorDelta.A * dt, 254.0f);
            p.Color.R = Limit(p.Color.R + p.ColorDelta.R * dt, 255.0f);
            p.Color.G = Limit(p.Color.G + p.ColorDelta.G * dt, 255.0f);
            p.Color.B = Limit(p.Color.B + p.ColorDelta.B * dt, 255.0f);
            p.RenderColor = (Byte(p.Color.A) << 24) | (Byte(p.Color.R) << 16) |
                            (Byte(p.Color.G) << 8) | Byte(p.Color.B);
        }
        benchmark::DoNotOptimize(particles.data());
        benchmark::ClobberMemory();
    }
    state.counters["ns_per_particle"] = benchmark::Counter(
        static_cast<double>(particles.size()) * static_cast<double>(state.iterations()),
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_BareParticleLoop)->Unit(benchmark::kMillisecond)->MinTime(BenchTime(1.0));

} // namespace

BENCHMARK_MAIN();
