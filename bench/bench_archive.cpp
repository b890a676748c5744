// Reading every record of a 50 MB archive of mixed data, against plain zlib inflating the same
// streams from memory. The archive read adds file access, the size check and the CRC-32.
#include "data/KilnArchive.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>
#include <zlib.h>

namespace {

using namespace bw;

constexpr std::size_t kTotalBytes = 50u * 1024 * 1024;

// Text-like bytes: words from a small vocabulary, as in XML descriptions.
std::vector<uint8_t> MakeText(std::mt19937& rng, std::size_t size) {
    static const char* words[] = {"<item ",    "name=\"",  "bird_", "cat",   "\" x=\"", "128",
                                  "\" />\r\n", "location", "level", "image", "0.5",     " "};
    std::vector<uint8_t> out;
    out.reserve(size);
    while (out.size() < size) {
        const char* w = words[rng() % 12];
        for (; *w && out.size() < size; ++w) out.push_back(static_cast<uint8_t>(*w));
    }
    return out;
}

// Picture-like bytes: ARGB pixels with smooth gradients, flat areas and some noise.
std::vector<uint8_t> MakePicture(std::mt19937& rng, std::size_t size) {
    std::vector<uint8_t> out(size);
    const std::size_t width = 512 * 4;
    for (std::size_t i = 0; i < size; ++i) {
        const std::size_t x = (i % width) / 4, y = i / width;
        const int channel = static_cast<int>(i % 4);
        uint8_t v = channel == 3 ? ((x / 64 + y / 64) % 3 == 0 ? 0 : 255)
                                 : static_cast<uint8_t>((x * (channel + 1) + y) / 4);
        if (rng() % 16 == 0) v = static_cast<uint8_t>(v + rng() % 8);
        out[i] = v;
    }
    return out;
}

// Incompressible bytes, like the compressed sounds.
std::vector<uint8_t> MakeNoise(std::mt19937& rng, std::size_t size) {
    std::vector<uint8_t> out(size);
    for (auto& b : out) b = static_cast<uint8_t>(rng());
    return out;
}

struct BenchArchive {
    std::string Path;
    std::vector<std::string> Keys;
    std::vector<std::vector<uint8_t>> Streams; // the stored zlib streams
    std::vector<uint32_t> OrigSizes;
    std::size_t TotalOrig = 0;

    BenchArchive() {
        Path = (std::filesystem::temp_directory_path() /
                ("bench_archive_" + std::to_string(::getpid()) + ".dan"))
                   .string();
        TKilnArchive writer;
        writer.SetOpenMode(aomOverwrite);
        if (!writer.OpenFile(Path)) std::abort();
        std::mt19937 rng(1234);
        int n = 0;
        while (TotalOrig < kTotalBytes) {
            // 4 KiB .. 2 MiB, a third of each kind by count.
            const std::size_t size = std::size_t(4096) << (rng() % 10);
            std::vector<uint8_t> data = n % 3 == 0   ? MakeText(rng, size)
                                        : n % 3 == 1 ? MakePicture(rng, size)
                                                     : MakeNoise(rng, size);
            const std::string key = "record_" + std::to_string(n++) + ".bin";
            if (!writer.WriteRecord(key, data.data(), data.size(), artFile, 45000.0)) std::abort();
            Keys.push_back(key);
            TotalOrig += data.size();
        }
        // Keep the stored streams in memory for the plain zlib baseline.
        std::FILE* f = std::fopen(Path.c_str(), "rb");
        for (int i = 0; i < writer.RecordCount(); ++i) {
            const TArchiveRecord* r = writer.Record(i);
            std::vector<uint8_t> stream(r->PhysSize);
            std::fseek(f, static_cast<long>(r->Offset + 21), SEEK_SET);
            if (std::fread(stream.data(), 1, stream.size(), f) != stream.size()) std::abort();
            Streams.push_back(std::move(stream));
            OrigSizes.push_back(r->OrigSize);
        }
        std::fclose(f);
    }
    ~BenchArchive() { std::remove(Path.c_str()); }
};

BenchArchive& Bench() {
    static BenchArchive archive;
    return archive;
}

void BM_ArchiveReadEveryRecord(benchmark::State& state) {
    BenchArchive& b = Bench();
    TKilnArchive archive;
    archive.SetOpenMode(aomReadOnly);
    if (!archive.OpenFile(b.Path)) std::abort();
    std::vector<uint8_t> data;
    for (auto _ : state) {
        for (const auto& key : b.Keys) {
            if (!archive.ReadRecord(key, data)) std::abort();
            benchmark::DoNotOptimize(data.data());
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * b.TotalOrig));
    state.counters["records"] = static_cast<double>(b.Keys.size());
}

void BM_ZlibInflateFromMemory(benchmark::State& state) {
    BenchArchive& b = Bench();
    std::vector<uint8_t> data;
    for (auto _ : state) {
        for (std::size_t i = 0; i < b.Streams.size(); ++i) {
            data.resize(b.OrigSizes[i]);
            uLongf size = static_cast<uLongf>(data.size());
            if (uncompress(data.data(), &size, b.Streams[i].data(), b.Streams[i].size()) != Z_OK)
                std::abort();
            benchmark::DoNotOptimize(data.data());
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * b.TotalOrig));
}

BENCHMARK(BM_ZlibInflateFromMemory)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ArchiveReadEveryRecord)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

BENCHMARK_MAIN();
