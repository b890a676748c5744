#include "data/KilnXtea.h"

namespace bw {

namespace {

constexpr uint32_t kDelta = 0x9E3779B9u;
constexpr int kCycles = 32;

uint32_t Load32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

void Store32(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}

struct XteaBlock {
    uint32_t v0;
    uint32_t v1;
};

XteaBlock FromVec(uint64_t iv) {
    return {uint32_t(iv), uint32_t(iv >> 32)};
}

// XORs a partial block with the key stream derived from Chain.
void XorTail(uint8_t* data, std::size_t size, XteaBlock stream) {
    uint8_t ks[8];
    Store32(ks, stream.v0);
    Store32(ks + 4, stream.v1);
    for (std::size_t i = 0; i < size; ++i) data[i] ^= ks[i];
}

} // namespace

void XteaEncipherBlock(uint32_t& v0, uint32_t& v1, const XteaKey& key) {
    uint32_t sum = 0;
    for (int i = 0; i < kCycles; ++i) {
        v0 += (((v1 << 4) ^ (v1 >> 5)) + v1) ^ (sum + key[sum & 3]);
        sum += kDelta;
        v1 += (((v0 << 4) ^ (v0 >> 5)) + v0) ^ (sum + key[(sum >> 11) & 3]);
    }
}

void XteaDecipherBlock(uint32_t& v0, uint32_t& v1, const XteaKey& key) {
    uint32_t sum = kDelta * static_cast<uint32_t>(kCycles);
    for (int i = 0; i < kCycles; ++i) {
        v1 -= (((v0 << 4) ^ (v0 >> 5)) + v0) ^ (sum + key[(sum >> 11) & 3]);
        sum -= kDelta;
        v0 -= (((v1 << 4) ^ (v1 >> 5)) + v1) ^ (sum + key[sum & 3]);
    }
}

void XteaCbcEncipher(uint8_t* data, std::size_t size, const XteaKey& key, uint64_t initVec) {
    XteaBlock chain = FromVec(initVec);
    const std::size_t full = size / 8;
    for (std::size_t b = 0; b < full; ++b) {
        uint8_t* p = data + b * 8;
        uint32_t v0 = Load32(p) ^ chain.v0;
        uint32_t v1 = Load32(p + 4) ^ chain.v1;
        XteaEncipherBlock(v0, v1, key);
        Store32(p, v0);
        Store32(p + 4, v1);
        chain = {v0, v1};
    }
    const std::size_t rest = size % 8;
    if (rest == 0) return;
    // Data shorter than a block: the vector is enciphered twice; otherwise the last cipher
    // block once more.
    if (full == 0) XteaEncipherBlock(chain.v0, chain.v1, key);
    XteaEncipherBlock(chain.v0, chain.v1, key);
    XorTail(data + full * 8, rest, chain);
}

void XteaCbcDecipher(uint8_t* data, std::size_t size, const XteaKey& key, uint64_t initVec) {
    XteaBlock chain = FromVec(initVec);
    const std::size_t full = size / 8;
    for (std::size_t b = 0; b < full; ++b) {
        uint8_t* p = data + b * 8;
        const XteaBlock cipher{Load32(p), Load32(p + 4)};
        uint32_t v0 = cipher.v0;
        uint32_t v1 = cipher.v1;
        XteaDecipherBlock(v0, v1, key);
        Store32(p, v0 ^ chain.v0);
        Store32(p + 4, v1 ^ chain.v1);
        chain = cipher;
    }
    const std::size_t rest = size % 8;
    if (rest == 0) return;
    if (full == 0) XteaEncipherBlock(chain.v0, chain.v1, key);
    XteaEncipherBlock(chain.v0, chain.v1, key);
    XorTail(data + full * 8, rest, chain);
}

} // namespace bw
