// CRC-32 (ISO-HDLC / IEEE 802.3: reflected polynomial 0xEDB88320, initial value all ones,
// final complement) as stored in archive records. Uses carry-less multiplication where the
// processor has it and zlib's table code otherwise; both give the same values.
#pragma once

#include <cstddef>
#include <cstdint>

namespace bw {

// Continues a CRC: pass 0 to start; the CRC of empty data is 0.
uint32_t ArchiveCrc32Update(uint32_t crc, const void* data, std::size_t size);
inline uint32_t ArchiveCrc32(const void* data, std::size_t size) {
    return ArchiveCrc32Update(0, data, size);
}

} // namespace bw
