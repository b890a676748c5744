#include "data/ArchiveCrc32.h"

#include <algorithm>
#include <zlib.h>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define BW_CRC_CLMUL 1
#endif

namespace bw {

namespace {

uint32_t ZlibCrc(uint32_t crc, const uint8_t* p, std::size_t size) {
    uLong c = crc;
    while (size > 0) {
        const auto chunk = static_cast<uInt>(std::min<std::size_t>(size, 1u << 30));
        c = crc32(c, p, chunk);
        p += chunk;
        size -= chunk;
    }
    return static_cast<uint32_t>(c);
}

#ifdef BW_CRC_CLMUL

#define BW_CLMUL_TARGET __attribute__((target("pclmul,sse4.1")))

BW_CLMUL_TARGET inline __m128i Load(const uint8_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

// Folds 128 bits of state over the next 128 bits of data.
BW_CLMUL_TARGET inline __m128i Fold(__m128i k, __m128i acc, __m128i next) {
    const __m128i lo = _mm_clmulepi64_si128(acc, k, 0x00);
    const __m128i hi = _mm_clmulepi64_si128(acc, k, 0x11);
    return _mm_xor_si128(_mm_xor_si128(hi, next), lo);
}

// Folding with carry-less multiplication ("Fast CRC Computation for Generic Polynomials Using
// PCLMULQDQ", Intel, 2009), bit-reflected constants for 0xEDB88320. Works on the raw register
// value (not complemented); size must be a multiple of 16 and at least 64.
BW_CLMUL_TARGET uint32_t FoldCrc(uint32_t crc, const uint8_t* buf, std::size_t len) {
    alignas(16) static const uint64_t k1k2[] = {0x0154442bd4, 0x01c6e41596};
    alignas(16) static const uint64_t k3k4[] = {0x01751997d0, 0x00ccaa009e};
    alignas(16) static const uint64_t k5k0[] = {0x0163cd6124, 0x0000000000};
    alignas(16) static const uint64_t poly[] = {0x01db710641, 0x01f7011641};

    __m128i x1 = Load(buf + 0x00), x2 = Load(buf + 0x10), x3 = Load(buf + 0x20),
            x4 = Load(buf + 0x30);
    x1 = _mm_xor_si128(x1, _mm_cvtsi32_si128(static_cast<int>(crc)));
    __m128i x0 = _mm_load_si128(reinterpret_cast<const __m128i*>(k1k2));
    buf += 64;
    len -= 64;

    while (len >= 64) {
        const __m128i x5 = _mm_clmulepi64_si128(x1, x0, 0x00);
        const __m128i x6 = _mm_clmulepi64_si128(x2, x0, 0x00);
        const __m128i x7 = _mm_clmulepi64_si128(x3, x0, 0x00);
        const __m128i x8 = _mm_clmulepi64_si128(x4, x0, 0x00);
        x1 = _mm_clmulepi64_si128(x1, x0, 0x11);
        x2 = _mm_clmulepi64_si128(x2, x0, 0x11);
        x3 = _mm_clmulepi64_si128(x3, x0, 0x11);
        x4 = _mm_clmulepi64_si128(x4, x0, 0x11);
        x1 = _mm_xor_si128(_mm_xor_si128(x1, x5), Load(buf + 0x00));
        x2 = _mm_xor_si128(_mm_xor_si128(x2, x6), Load(buf + 0x10));
        x3 = _mm_xor_si128(_mm_xor_si128(x3, x7), Load(buf + 0x20));
        x4 = _mm_xor_si128(_mm_xor_si128(x4, x8), Load(buf + 0x30));
        buf += 64;
        len -= 64;
    }

    // Fold the four lanes into one.
    x0 = _mm_load_si128(reinterpret_cast<const __m128i*>(k3k4));
    x1 = Fold(x0, x1, x2);
    x1 = Fold(x0, x1, x3);
    x1 = Fold(x0, x1, x4);
    while (len >= 16) {
        x1 = Fold(x0, x1, Load(buf));
        buf += 16;
        len -= 16;
    }

    // 128 bits to 64.
    x2 = _mm_clmulepi64_si128(x1, x0, 0x10);
    x3 = _mm_setr_epi32(~0, 0, ~0, 0);
    x1 = _mm_srli_si128(x1, 8);
    x1 = _mm_xor_si128(x1, x2);
    x0 = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(k5k0));
    x2 = _mm_srli_si128(x1, 4);
    x1 = _mm_and_si128(x1, x3);
    x1 = _mm_clmulepi64_si128(x1, x0, 0x00);
    x1 = _mm_xor_si128(x1, x2);

    // Barrett reduction to 32 bits.
    x0 = _mm_load_si128(reinterpret_cast<const __m128i*>(poly));
    x2 = _mm_and_si128(x1, x3);
    x2 = _mm_clmulepi64_si128(x2, x0, 0x10);
    x2 = _mm_and_si128(x2, x3);
    x2 = _mm_clmulepi64_si128(x2, x0, 0x00);
    x1 = _mm_xor_si128(x1, x2);
    return static_cast<uint32_t>(_mm_extract_epi32(x1, 1));
}

bool HaveClmul() {
    static const bool have = __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse4.1");
    return have;
}

#endif

} // namespace

uint32_t ArchiveCrc32Update(uint32_t crc, const void* data, std::size_t size) {
    const auto* p = static_cast<const uint8_t*>(data);
#ifdef BW_CRC_CLMUL
    if (size >= 64 && HaveClmul()) {
        const std::size_t bulk = size & ~std::size_t(15);
        crc = ~FoldCrc(~crc, p, bulk);
        p += bulk;
        size -= bulk;
    }
#endif
    return size ? ZlibCrc(crc, p, size) : crc;
}

} // namespace bw
