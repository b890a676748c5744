#include "render/AlphaTiles.h"

#include <algorithm>
#include <cmath>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace bw {

namespace {

// The OR and the AND of `count` pixels' words. Every large picture is read once when its
// texture is made, so the common case of a whole tile row goes four pixels at a time.
void Combine(const uint32_t* px, int count, uint32_t& orBits, uint32_t& andBits) {
    int x = 0;
#if defined(__SSE2__)
    if (count >= 4) {
        __m128i o = _mm_setzero_si128(), a = _mm_set1_epi32(-1);
        for (; x + 4 <= count; x += 4) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(px + x));
            o = _mm_or_si128(o, v);
            a = _mm_and_si128(a, v);
        }
        alignas(16) uint32_t ov[4], av[4];
        _mm_store_si128(reinterpret_cast<__m128i*>(ov), o);
        _mm_store_si128(reinterpret_cast<__m128i*>(av), a);
        for (int i = 0; i < 4; ++i) {
            orBits |= ov[i];
            andBits &= av[i];
        }
    }
#endif
    for (; x < count; ++x) {
        orBits |= px[x];
        andBits &= px[x];
    }
}

} // namespace

AlphaTiles AlphaTiles::Of(int width, int height, const uint32_t* argb) {
    AlphaTiles map;
    if (width <= 0 || height <= 0 || !argb) return map;
    const int columns = (width + kTile - 1) / kTile, rows = (height + kTile - 1) / kTile;
    // Each tile's own pixels: any alpha above zero, every alpha at 255.
    std::vector<uint8_t> any(static_cast<size_t>(columns) * static_cast<size_t>(rows), 0);
    std::vector<uint8_t> all(any.size(), 0xFF);
    for (int y = 0; y < height; ++y) {
        const uint32_t* row = argb + static_cast<size_t>(y) * static_cast<size_t>(width);
        uint8_t* anyRow = &any[static_cast<size_t>(y / kTile) * static_cast<size_t>(columns)];
        uint8_t* allRow = &all[static_cast<size_t>(y / kTile) * static_cast<size_t>(columns)];
        for (int c = 0; c < columns; ++c) {
            const int end = std::min(width, (c + 1) * kTile);
            uint32_t orBits = 0, andBits = 0xFFFFFFFFu;
            Combine(row + c * kTile, end - c * kTile, orBits, andBits);
            anyRow[c] |= static_cast<uint8_t>(orBits >> 24);
            allRow[c] &= static_cast<uint8_t>(andBits >> 24);
        }
    }
    map.columns_ = columns;
    map.rows_ = rows;
    map.kinds_.assign(any.size(), Kind::Mixed);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            bool clear = true, opaque = true;
            for (int dr = -1; dr <= 1; ++dr)
                for (int dc = -1; dc <= 1; ++dc) {
                    const size_t i =
                        static_cast<size_t>((r + dr + rows) % rows) * static_cast<size_t>(columns) +
                        static_cast<size_t>((c + dc + columns) % columns);
                    clear = clear && any[i] == 0;
                    opaque = opaque && all[i] == 0xFF;
                }
            map.kinds_[static_cast<size_t>(r) * static_cast<size_t>(columns) +
                       static_cast<size_t>(c)] =
                clear ? Kind::Clear : (opaque ? Kind::Opaque : Kind::Mixed);
        }
    return map;
}

void AlphaTiles::Split(float left, float top, float right, float bottom,
                       std::vector<Run>& out) const {
    if (Empty() || right <= left || bottom <= top) return;
    const auto tile = static_cast<float>(kTile);
    const int c0 = std::clamp(static_cast<int>(std::floor(left / tile)), 0, columns_ - 1);
    const int c1 = std::clamp(static_cast<int>(std::ceil(right / tile)) - 1, c0, columns_ - 1);
    const int r0 = std::clamp(static_cast<int>(std::floor(top / tile)), 0, rows_ - 1);
    const int r1 = std::clamp(static_cast<int>(std::ceil(bottom / tile)) - 1, r0, rows_ - 1);
    // Runs of one row that continue the same columns of the row above grow downwards.
    const size_t first = out.size();
    for (int r = r0; r <= r1; ++r) {
        const float y0 = r == r0 ? top : static_cast<float>(r) * tile;
        const float y1 = r == r1 ? bottom : static_cast<float>(r + 1) * tile;
        int c = c0;
        while (c <= c1) {
            const Kind kind = At(c, r);
            int end = c;
            while (end + 1 <= c1 && At(end + 1, r) == kind) ++end;
            if (kind != Kind::Clear) {
                const Run run{c == c0 ? left : static_cast<float>(c) * tile, y0,
                              end == c1 ? right : static_cast<float>(end + 1) * tile, y1, kind};
                bool grown = false;
                for (size_t i = first; i < out.size() && !grown; ++i) {
                    Run& above = out[i];
                    if (above.left == run.left && above.right == run.right &&
                        above.kind == run.kind && above.bottom == run.top) {
                        above.bottom = run.bottom;
                        grown = true;
                    }
                }
                if (!grown) out.push_back(run);
            }
            c = end + 1;
        }
    }
}
} // namespace bw
