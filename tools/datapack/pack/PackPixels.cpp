#include "pack/PackPixels.h"

#include <cstddef>

namespace bw::pack {

uint32_t StraightFromPremultiplied(uint32_t argb) {
    const uint32_t a = argb >> 24;
    if (a == 0) return 0;
    if (a == 255) return argb;
    auto channel = [a](uint32_t c) {
        const uint32_t v = (c * 255 + a / 2) / a;
        return v > 255 ? 255u : v;
    };
    const uint32_t r = channel((argb >> 16) & 0xFF);
    const uint32_t g = channel((argb >> 8) & 0xFF);
    const uint32_t b = channel(argb & 0xFF);
    return (a << 24) | (r << 16) | (g << 8) | b;
}

void StraightFromPremultiplied(std::vector<uint32_t>& argb) {
    for (uint32_t& p : argb) p = StraightFromPremultiplied(p);
}

void BleedEdges(int width, int height, std::vector<uint32_t>& argb) {
    if (width <= 0 || height <= 0) return;
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    if (argb.size() != count) return;

    // 0 = not coloured yet, 1 = coloured (visible or reached by an earlier wave).
    std::vector<uint8_t> done(count, 0);
    std::vector<std::size_t> frontier;
    std::vector<uint8_t> queued(count, 0);
    bool anyVisible = false;
    for (std::size_t i = 0; i < count; ++i) {
        if (argb[i] >> 24) {
            done[i] = 1;
            anyVisible = true;
        }
    }
    if (!anyVisible) return;

    auto queueNeighbours = [&](std::size_t i, std::vector<std::size_t>& into) {
        const int x = static_cast<int>(i % static_cast<std::size_t>(width));
        const int y = static_cast<int>(i / static_cast<std::size_t>(width));
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                const int nx = x + dx, ny = y + dy;
                if ((dx == 0 && dy == 0) || nx < 0 || ny < 0 || nx >= width || ny >= height)
                    continue;
                const std::size_t n =
                    static_cast<std::size_t>(ny) * static_cast<std::size_t>(width) +
                    static_cast<std::size_t>(nx);
                if (!done[n] && !queued[n]) {
                    queued[n] = 1;
                    into.push_back(n);
                }
            }
        }
    };

    for (std::size_t i = 0; i < count; ++i) {
        if (done[i]) queueNeighbours(i, frontier);
    }
    std::vector<uint32_t> colours;
    std::vector<std::size_t> next;
    while (!frontier.empty()) {
        colours.resize(frontier.size());
        for (std::size_t k = 0; k < frontier.size(); ++k) {
            const std::size_t i = frontier[k];
            const int x = static_cast<int>(i % static_cast<std::size_t>(width));
            const int y = static_cast<int>(i / static_cast<std::size_t>(width));
            uint32_t r = 0, g = 0, b = 0, n = 0;
            for (int dy = -1; dy <= 1; ++dy) {
                for (int dx = -1; dx <= 1; ++dx) {
                    const int nx = x + dx, ny = y + dy;
                    if ((dx == 0 && dy == 0) || nx < 0 || ny < 0 || nx >= width || ny >= height)
                        continue;
                    const std::size_t j =
                        static_cast<std::size_t>(ny) * static_cast<std::size_t>(width) +
                        static_cast<std::size_t>(nx);
                    if (!done[j]) continue;
                    r += (argb[j] >> 16) & 0xFF;
                    g += (argb[j] >> 8) & 0xFF;
                    b += argb[j] & 0xFF;
                    ++n;
                }
            }
            // n > 0: a pixel enters the frontier only next to a coloured one.
            colours[k] = (((r + n / 2) / n) << 16) | (((g + n / 2) / n) << 8) | ((b + n / 2) / n);
        }
        // Colour the whole wave at once, then collect the next one.
        next.clear();
        for (std::size_t k = 0; k < frontier.size(); ++k) {
            argb[frontier[k]] = colours[k];
            done[frontier[k]] = 1;
        }
        for (const std::size_t i : frontier) queueNeighbours(i, next);
        frontier.swap(next);
    }
}

} // namespace bw::pack
