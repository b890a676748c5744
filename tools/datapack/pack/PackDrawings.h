// Drawing programs: pictures made by C++ code instead of an SVG file, chosen in archive.xml
// with draw="NAME". A program paints one frame onto a cleared cairo ARGB32 surface of the
// cell size (premultiplied colour, as cairo always works); the pipeline converts and bleeds
// the result like a rendered SVG.
//
// Adding a program: write a function with the DrawingProgram signature in a new file of
// drawings/, declare it in drawings/Drawings.h and add one line to the table in
// PackDrawings.cpp. Programs must be deterministic: take randomness only from Rng seeded
// with the context's seed and frame.
#pragma once

#include "pack/PackTemplate.h"

#include <cairo.h>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace bw::pack {

struct DrawContext {
    int Width = 0; // cell size in pixels
    int Height = 0;
    int Frame = 0; // 0 .. Frames - 1
    int Frames = 1;
    uint64_t Seed = 0;
    const ParamMap* Params = nullptr; // the frame's parameters

    // A parameter as a number (plain decimal), or the default when absent or not a number.
    double Number(std::string_view name, double fallback) const;
    // A parameter as text, or the default when absent.
    std::string Text(std::string_view name, std::string_view fallback) const;
    // A colour parameter "#RRGGBB" or "#AARRGGBB" as straight ARGB, or the default.
    uint32_t Colour(std::string_view name, uint32_t fallback) const;
};

// Paints one frame. False with a message in `error` stops the build.
using DrawingProgram = bool (*)(cairo_t* cr, const DrawContext& context, std::string& error);

struct DrawingEntry {
    const char* Name;
    const char* Summary; // one line for "datapack drawings"
    DrawingProgram Run;
};

// Every registered program, sorted by name.
const std::vector<DrawingEntry>& DrawingPrograms();
// The program of that name (exact match), or null.
const DrawingEntry* FindDrawingProgram(std::string_view name);

// A small deterministic generator (SplitMix64), identical on every platform and library.
class Rng {
public:
    explicit Rng(uint64_t seed) : FState(seed) {}
    uint64_t Next() {
        uint64_t z = (FState += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [0, 1).
    double Unit() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }

private:
    uint64_t FState;
};

// Sets a straight ARGB colour as cairo's source.
void SetSourceArgb(cairo_t* cr, uint32_t argb);

} // namespace bw::pack
