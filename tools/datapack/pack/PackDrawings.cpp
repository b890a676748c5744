#include "pack/PackDrawings.h"

#include "drawings/Drawings.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdlib>

namespace bw::pack {

const std::vector<DrawingEntry>& DrawingPrograms() {
    static const std::vector<DrawingEntry> programs = [] {
        std::vector<DrawingEntry> list = {
            {"bird", "the board bird in one animation sheet (kind, sheet)", DrawBird},
            {"cat",
             "the board cat in one animation sheet, its shadow and bubbles, the boss cat (kind, "
             "sheet)",
             DrawCat},
            {"grain", "film-grain noise, tileable (amount, softness)", DrawGrain},
            {"solid", "the whole cell in one colour (color)", DrawSolid},
        };
        std::sort(list.begin(), list.end(), [](const DrawingEntry& a, const DrawingEntry& b) {
            return std::string_view(a.Name) < std::string_view(b.Name);
        });
        return list;
    }();
    return programs;
}

const DrawingEntry* FindDrawingProgram(std::string_view name) {
    for (const DrawingEntry& entry : DrawingPrograms()) {
        if (name == entry.Name) return &entry;
    }
    return nullptr;
}

double DrawContext::Number(std::string_view name, double fallback) const {
    if (!Params) return fallback;
    const auto it = Params->find(std::string(name));
    if (it == Params->end()) return fallback;
    const std::string& text = it->second;
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || *end != '\0') return fallback;
    return value;
}

std::string DrawContext::Text(std::string_view name, std::string_view fallback) const {
    if (!Params) return std::string(fallback);
    const auto it = Params->find(std::string(name));
    return it == Params->end() ? std::string(fallback) : it->second;
}

uint32_t DrawContext::Colour(std::string_view name, uint32_t fallback) const {
    const std::string text = Text(name, "");
    if (text.size() != 7 && text.size() != 9) return fallback;
    if (text[0] != '#') return fallback;
    uint32_t value = 0;
    const auto r = std::from_chars(text.data() + 1, text.data() + text.size(), value, 16);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size()) return fallback;
    return text.size() == 7 ? (0xFF000000u | value) : value;
}

void SetSourceArgb(cairo_t* cr, uint32_t argb) {
    cairo_set_source_rgba(cr, ((argb >> 16) & 0xFF) / 255.0, ((argb >> 8) & 0xFF) / 255.0,
                          (argb & 0xFF) / 255.0, (argb >> 24) / 255.0);
}

} // namespace bw::pack
