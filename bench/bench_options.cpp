// Reading an options file of 80,000 keys, against the floor of merely walking the same bytes
// line by line. Reading must stay a small constant factor above the floor; a lookup that
// scans the keys read so far would make it grow with the square of the key count.
#include "data/IniFile.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

namespace {

std::string MakeOptionsText(int keys) {
    std::string text = "[OPTIONS]\nMusicVolume=0.5\nSoundFxVolume=1\n";
    for (int i = 0; i < keys; ++i) {
        if (i % 1000 == 0) text += "[Section" + std::to_string(i / 1000) + "]\n";
        text += "Key" + std::to_string(i) + "=" + std::to_string(i * 7) + "\n";
    }
    return text;
}

const std::string& Text(int keys) {
    static const std::string text = MakeOptionsText(keys);
    return text;
}

// The floor: one pass over the bytes finding each line and its '=', as any reader must.
void BM_WalkLines(benchmark::State& state) {
    const std::string& text = Text(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        std::size_t lines = 0;
        std::size_t equals = 0;
        const char* p = text.data();
        const char* end = p + text.size();
        while (p < end) {
            const char* eol = static_cast<const char*>(std::memchr(p, '\n', end - p));
            if (eol == nullptr) eol = end;
            if (std::memchr(p, '=', eol - p) != nullptr) ++equals;
            ++lines;
            p = eol + 1;
        }
        benchmark::DoNotOptimize(lines);
        benchmark::DoNotOptimize(equals);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void BM_ParseOptionsText(benchmark::State& state) {
    const std::string& text = Text(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        bw::IniFile ini;
        benchmark::DoNotOptimize(ini.Parse(text));
        benchmark::DoNotOptimize(ini.Find("Section79", "Key79999"));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

} // namespace

BENCHMARK(BM_WalkLines)->Arg(80000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseOptionsText)->Arg(80000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
