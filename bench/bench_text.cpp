// Drawing 2,000 glyphs of text per frame through TKilnFont::TextOut on a recording canvas with
// recording off, so that the time is the font's own work: decoding, markup and spacer checks,
// glyph lookup, gradient colours and the canvas calls.
#include "data/KilnFonts.h"
#include "data/KilnImages.h"
#include "data/Xml.h"
#include "render/DisplayState.h"
#include "render/RecordingCanvas.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kGlyphsPerFrame = 2000;

struct Scene {
    bw::RecordingCanvas canvas;
    bw::TKilnImages images{&canvas};
    bw::TKilnFonts fonts{&images, &canvas};
    bw::TKilnFont* font = nullptr;
    bw::TTSTextArray lines;
};

void Build(Scene& s) {
    s.canvas.SetRecording(false);
    // A 512 x 256 atlas of 16 x 32 cells holding the printable ASCII glyphs.
    bw::TKilnImageData image;
    image.Name = "Bench.image";
    image.PatternSize = image.TextureSize = {512, 256};
    image.Textures.emplace_back(512u * 256u, 0xFFFFFFFFu);
    if (s.images.AddFromPixels(std::move(image)) < 0) std::abort();
    bw::FontDescription desc;
    desc.FontSize = {16, 32};
    for (int c = 33; c < 127; ++c) {
        const int cell = c - 33;
        desc.Glyphs.push_back(
            {static_cast<char16_t>(c),
             {2 + c % 5, (cell % 32) * 16, (cell / 32) * 32, 10 + c % 5, 22 + c % 7, 1, 1}});
    }
    const auto tree = bw::WriteFontDescription(desc);
    const int index = s.fonts.Insert(*tree, "Bench", "Bench.image");
    s.font = s.fonts.Font(index);
    s.font->FKerning = 0.0f;
    s.font->FWhitespace = 15.0f;
    s.font->FScale = {0.8f, 0.8f};

    // Sentences of the length the game's dialogs and messages use.
    const std::string words[] = {"The",   "cat",    "jumped", "over",   "three",  "birds,",
                                 "then",  "landed", "on",     "a",      "branch", "near",
                                 "nest!", "Score:", "12345",  "points", "(x2)",   "level"};
    int glyphs = 0;
    std::string line;
    for (size_t w = 0; glyphs < kGlyphsPerFrame; ++w) {
        std::string word = words[w % std::size(words)];
        if (glyphs + static_cast<int>(word.size()) > kGlyphsPerFrame)
            word.resize(static_cast<size_t>(kGlyphsPerFrame - glyphs));
        if (!line.empty()) line += ' ';
        line += word;
        glyphs += static_cast<int>(word.size());
        if (line.size() > 48) {
            s.lines.push_back(line);
            line.clear();
        }
    }
    if (!line.empty()) s.lines.push_back(line);
}

Scene& GetScene() {
    static Scene scene;
    static const bool built = (Build(scene), true);
    (void)built;
    return scene;
}

void CheckGlyphCount(Scene& s, benchmark::State& state) {
    const auto quads = s.canvas.FrameStats().quads;
    if (quads != kGlyphsPerFrame) state.SkipWithError("unexpected number of glyphs drawn");
}

void BM_TextOut_Left(benchmark::State& state) {
    Scene& s = GetScene();
    bw::DisplayScale = {1.0f, 1.0f};
    const bw::TColor2 colors{0xFFFFFFFFu, 0xFFF3B3FFu};
    for (auto _ : state) {
        s.canvas.BeginFrame(0);
        s.font->TextOut({100, 40}, s.lines, false, 1.0f, colors, 26.0f);
        benchmark::ClobberMemory();
    }
    CheckGlyphCount(s, state);
    state.counters["glyphs/frame"] = kGlyphsPerFrame;
    state.counters["lines/frame"] = static_cast<double>(s.lines.size());
}
BENCHMARK(BM_TextOut_Left)->Unit(benchmark::kMicrosecond);

void BM_TextOut_Centred(benchmark::State& state) {
    Scene& s = GetScene();
    bw::DisplayScale = {0.6667f, 0.6667f};
    const bw::TColor2 colors{0xFFFFFA42u, 0xFFFCE021u};
    for (auto _ : state) {
        s.canvas.BeginFrame(0);
        s.font->TextOut({960, 40}, s.lines, true, 0.8f, colors, 26.0f);
        benchmark::ClobberMemory();
    }
    CheckGlyphCount(s, state);
    state.counters["glyphs/frame"] = kGlyphsPerFrame;
}
BENCHMARK(BM_TextOut_Centred)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
