// XTEA (32 cycles, delta 0x9E3779B9) in CBC mode for enciphered archive records. Blocks are
// 8 bytes read as two little-endian 32-bit words, first word first. A final partial block of
// 1..7 bytes is XORed with a key-stream block: the last cipher block enciphered once more, or,
// for data shorter than one block, the initialisation vector enciphered twice.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace bw {

using XteaKey = std::array<uint32_t, 4>;

void XteaEncipherBlock(uint32_t& v0, uint32_t& v1, const XteaKey& key);
void XteaDecipherBlock(uint32_t& v0, uint32_t& v1, const XteaKey& key);

// Both work in place on Size bytes; InitVec is the 8-byte vector as a little-endian integer.
void XteaCbcEncipher(uint8_t* data, std::size_t size, const XteaKey& key, uint64_t initVec);
void XteaCbcDecipher(uint8_t* data, std::size_t size, const XteaKey& key, uint64_t initVec);

} // namespace bw
