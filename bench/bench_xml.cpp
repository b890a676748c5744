// Parsing a 1 MB XML document shaped like the level and particle descriptions.
#include "data/XmlLoad.h"

#include <benchmark/benchmark.h>
#include <random>
#include <string>

namespace {

std::string MakeDocument(std::size_t size) {
    std::mt19937 rng(42);
    std::string doc = "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
                      "<!-- generated for the benchmark -->\r\n<levels version=\"3\">\r\n";
    int n = 0;
    while (doc.size() < size) {
        ++n;
        doc += " <level id=\"" + std::to_string(n) + "\" name='Level " + std::to_string(n) +
               "' location=\"" + std::to_string(rng() % 12 + 1) + "\">\r\n";
        doc += "  <settings moves=\"40\" cats=\"3\" eggs=\"yes\" speed=\"0.75\" />\r\n";
        doc += "  <map>\r\n";
        for (int row = 0; row < 8; ++row) {
            doc += "   <row y=\"" + std::to_string(row) + "\" cells=\"";
            for (int c = 0; c < 16; ++c) doc += static_cast<char>('0' + rng() % 7);
            doc += "\" />\r\n";
        }
        doc +=
            "  </map>\r\n  <text>Some character data that the parser drops &amp; skips.</text>\r\n";
        doc += " </level>\r\n";
    }
    doc += "</levels>\r\n";
    return doc;
}

const std::string& Document() {
    static const std::string doc = MakeDocument(1 << 20);
    return doc;
}

void BM_XmlParseText(benchmark::State& state) {
    const std::string& doc = Document();
    const std::string_view text(doc.data() + 3, doc.size() - 3); // without the mark
    for (auto _ : state) {
        auto tree = bw::XMLFromText(text);
        if (!tree) state.SkipWithError("parse failed");
        benchmark::DoNotOptimize(tree.get());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

// The same through the byte loader: mark detection and line-break normalisation included.
void BM_XmlParseBytes(benchmark::State& state) {
    const std::string& doc = Document();
    for (auto _ : state) {
        auto tree = bw::XMLFromBytes(reinterpret_cast<const uint8_t*>(doc.data()), doc.size());
        if (!tree) state.SkipWithError("parse failed");
        benchmark::DoNotOptimize(tree.get());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * doc.size()));
}

BENCHMARK(BM_XmlParseText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_XmlParseBytes)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
