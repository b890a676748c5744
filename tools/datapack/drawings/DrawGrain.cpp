#include "drawings/Drawings.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace bw::pack {

bool DrawGrain(cairo_t* cr, const DrawContext& context, std::string& error) {
    const double amount = std::clamp(context.Number("amount", 0.5), 0.0, 1.0);
    const double softness = std::clamp(context.Number("softness", 0.35), 0.0, 1.0);
    const int w = context.Width, h = context.Height;
    cairo_surface_t* surface = cairo_get_target(cr);
    if (cairo_image_surface_get_format(surface) != CAIRO_FORMAT_ARGB32) {
        error = "grain draws on ARGB32 surfaces only";
        return false;
    }

    Rng random(context.Seed * 0x100000001B3ull + static_cast<uint64_t>(context.Frame));
    std::vector<double> noise(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    for (double& n : noise) n = random.Unit();

    // Blurring with wrap-around keeps the picture tileable: its right edge continues into its
    // left one, its bottom into its top.
    auto at = [&](int x, int y) {
        x = (x % w + w) % w;
        y = (y % h + h) % h;
        return noise[static_cast<std::size_t>(y) * static_cast<std::size_t>(w) +
                     static_cast<std::size_t>(x)];
    };
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
        for (int x = 0; x < w; ++x) {
            double sum = 0;
            for (int dy = -1; dy <= 1; ++dy) {
                for (int dx = -1; dx <= 1; ++dx) sum += at(x + dx, y + dy);
            }
            const double m = (1.0 - softness) * at(x, y) + softness * (sum / 9.0);
            const double v = std::clamp(m * m * 2.0 * amount, 0.0, 1.0);
            const auto c = static_cast<uint32_t>(std::lround(v * 255.0));
            row[x] = 0xFF000000u | (c << 16) | (c << 8) | c;
        }
    }
    cairo_surface_mark_dirty(surface);
    return true;
}

} // namespace bw::pack
