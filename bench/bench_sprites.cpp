// Cost of one Move pass and one Draw pass over 10,000 animated sprites in one engine.
// The canvas only counts draws, so the numbers are the sprite layer's own work.
#include "Engine/KilnSprite/KilnSprite.h"
#include "Engine/KilnSprite/SpriteEngine.h"
#include "data/KilnImages.h"
#include "render/DisplayState.h"
#include "render/RecordingCanvas.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <random>

namespace {

constexpr int kSprites = 10000;

struct Scene {
    bw::RecordingCanvas canvas{1920, 1080};
    bw::TKilnImages images{&canvas};
    std::unique_ptr<bw::TSpriteEngine> engine;

    Scene() {
        bw::DisplayScale = {1.0f, 1.0f};
        bw::TKilnImageData data;
        data.Name = "Birds_idle_anim.image";
        data.PatternSize = {128, 128};
        data.TextureSize = {512, 512};
        data.Textures.assign(6, std::vector<uint32_t>(512 * 512, 0xFFFFFFFF));
        images.AddFromPixels(std::move(data));
        canvas.SetRecording(false);

        engine = std::make_unique<bw::TSpriteEngine>(&canvas, &images);
        engine->FVisibleWidth = 1920;
        engine->FVisibleHeight = 1080;
        std::mt19937 rng(7);
        std::uniform_real_distribution<float> x(-100.0f, 2000.0f);
        std::uniform_real_distribution<float> y(-100.0f, 1150.0f);
        const bw::TAnimPlayMode modes[] = {bw::pmForward, bw::pmBackward, bw::pmPingPong};
        for (int i = 0; i < kSprites; ++i) {
            auto* s = new bw::TAnimatedSprite(engine.get());
            const int kind = i % 6;
            s->SetAnim("birds_idle_anim.image", kind * 16, modes[i % 3], true, true,
                       0.15f + 0.05f * static_cast<float>(i % 5), 16);
            s->FX = x(rng);
            s->FY = y(rng);
            s->SetZ(static_cast<int>(rng() % 64));
            s->SetDrawMode(i % 7 == 0 ? 1 : 0);
            s->FAngle = 0.01f * static_cast<float>(i % 100);
            s->FScaleX = s->FScaleY = 0.5f + 0.01f * static_cast<float>(i % 50);
        }
    }
};

void PerSprite(benchmark::State& state) {
    state.counters["per_sprite"] = benchmark::Counter(
        kSprites, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.SetItemsProcessed(state.iterations() * kSprites);
}

void BM_SpritesMove(benchmark::State& state) {
    Scene scene;
    for (auto _ : state) {
        scene.engine->Move(1.0f);
        benchmark::ClobberMemory();
    }
    PerSprite(state);
}
BENCHMARK(BM_SpritesMove)->Unit(benchmark::kMicrosecond);

void BM_SpritesDraw(benchmark::State& state) {
    Scene scene;
    for (auto _ : state) {
        scene.canvas.BeginFrame(0);
        scene.engine->Draw();
        benchmark::DoNotOptimize(scene.canvas.FrameStats().quads);
    }
    state.counters["drawn"] = static_cast<double>(scene.engine->FDrawCount);
    PerSprite(state);
}
BENCHMARK(BM_SpritesDraw)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
