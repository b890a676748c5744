#include "data/ArchiveCrc32.h"

#include <gtest/gtest.h>
#include <random>
#include <vector>
#include <zlib.h>

namespace bw {
namespace {

TEST(ArchiveCrc32, MatchesTheReferenceForEveryLengthAndAlignment) {
    EXPECT_EQ(ArchiveCrc32("", 0), 0u);
    EXPECT_EQ(ArchiveCrc32("123456789", 9), 0xCBF43926u); // the standard check value

    std::mt19937 rng(7);
    std::vector<uint8_t> buf(5000);
    for (auto& b : buf) b = static_cast<uint8_t>(rng());
    for (std::size_t offset = 0; offset < 16; offset += 3) {
        for (std::size_t len = 0; len + offset <= buf.size(); len += (len < 300 ? 1 : 97)) {
            const uint32_t want =
                static_cast<uint32_t>(crc32(0, buf.data() + offset, static_cast<uInt>(len)));
            ASSERT_EQ(ArchiveCrc32(buf.data() + offset, len), want) << offset << "+" << len;
        }
    }
    // Continuing in pieces gives the CRC of the whole.
    uint32_t crc = 0;
    for (std::size_t at = 0; at < buf.size(); at += 333)
        crc = ArchiveCrc32Update(crc, buf.data() + at, std::min<std::size_t>(333, buf.size() - at));
    EXPECT_EQ(crc, ArchiveCrc32(buf.data(), buf.size()));
}

} // namespace
} // namespace bw
