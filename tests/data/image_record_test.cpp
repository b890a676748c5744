// Image records (reading, writing, damaged data) and picture sheets.
#include "data/ImageRecord.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace bw {
namespace {

// An image whose every pixel tells its texture and position.
TKilnImageData MakeImage(int textures, TPoint2px tex, TPoint2px cell, int count = 0,
                         TPoint2px visible = {}) {
    TKilnImageData data;
    data.PatternSize = cell;
    data.VisibleSize = visible;
    data.TextureSize = tex;
    data.PatternCount = count;
    for (int t = 0; t < textures; ++t) {
        std::vector<uint32_t> px(static_cast<size_t>(tex.x) * tex.y);
        for (size_t i = 0; i < px.size(); ++i)
            px[i] = 0x80000000u | static_cast<uint32_t>(t) << 20 | static_cast<uint32_t>(i);
        data.Textures.push_back(std::move(px));
    }
    return data;
}

std::vector<uint8_t> Encode(const TKilnImageData& data) {
    std::vector<uint8_t> bytes;
    std::string error;
    EXPECT_TRUE(EncodeImageRecord(data, bytes, &error)) << error;
    return bytes;
}

void Put16(std::vector<uint8_t>& b, size_t at, unsigned v) {
    b[at] = uint8_t(v);
    b[at + 1] = uint8_t(v >> 8);
}
void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + size_t(i)] = uint8_t(v >> (8 * i));
}

TEST(ImageRecord, WritesTheDocumentedLayoutAndReadsItBack) {
    const TKilnImageData image = MakeImage(2, {8, 4}, {4, 4}, 3, {3, 2});
    const std::vector<uint8_t> bytes = Encode(image);
    ASSERT_EQ(bytes.size(), ImageRecordHeaderSize + 2u * 8 * 4 * 4);
    const std::vector<uint8_t> header(bytes.begin(), bytes.begin() + 19);
    EXPECT_EQ(header,
              (std::vector<uint8_t>{2, 4, 0, 4, 0, 3, 0, 0, 0, 3, 0, 2, 0, 8, 0, 4, 0, 2, 0}));
    // Pixels are little-endian ARGB words, texture after texture, top row first.
    EXPECT_EQ(bytes[19], 0x00);
    EXPECT_EQ(bytes[22], 0x80);
    EXPECT_EQ(bytes[19 + 4 * 32 + 2], 0x10); // second texture's first pixel: t = 1 in bits 20+

    TKilnImageData back;
    ASSERT_EQ(DecodeImageRecord(bytes.data(), bytes.size(), back), ImageRecordResult::Ok);
    EXPECT_EQ(back.PixelFormat, apf_A8R8G8B8);
    EXPECT_EQ(back.PatternSize, (TPoint2px{4, 4}));
    EXPECT_EQ(back.VisibleSize, (TPoint2px{3, 2}));
    EXPECT_EQ(back.TextureSize, (TPoint2px{8, 4}));
    EXPECT_EQ(back.PatternCount, 3);
    EXPECT_EQ(back.Textures, image.Textures);

    // Trailing bytes after the last texture do not matter.
    std::vector<uint8_t> longer = bytes;
    longer.push_back(0xAB);
    EXPECT_EQ(DecodeImageRecord(longer.data(), longer.size(), back), ImageRecordResult::Ok);
}

TEST(ImageRecord, WriterFillsInDefaultsAndRefusesWhatTheFieldsCannotHold) {
    std::vector<uint8_t> bytes = Encode(MakeImage(1, {8, 8}, {4, 4}));
    ImageRecordHeader h;
    ASSERT_EQ(ReadImageRecordHeader(bytes.data(), bytes.size(), h), ImageRecordResult::Ok);
    EXPECT_EQ(h.PatternCount, 4u);               // 0 = every cell
    EXPECT_EQ(h.VisibleSize, (TPoint2px{4, 4})); // (0, 0) = the whole cell

    TKilnImageData bad = MakeImage(1, {8, 8}, {4, 4}, 5);
    EXPECT_FALSE(EncodeImageRecord(bad, bytes)); // more patterns than cells
    bad = MakeImage(1, {8, 8}, {4, 4});
    bad.Textures[0].pop_back();
    EXPECT_FALSE(EncodeImageRecord(bad, bytes));
    bad = MakeImage(1, {8, 8}, {16, 4});
    EXPECT_FALSE(EncodeImageRecord(bad, bytes)); // cell wider than the texture
    bad = TKilnImageData{};
    bad.PatternSize = {1, 1};
    bad.TextureSize = {70000, 1};
    bad.Textures.emplace_back(70000u, 0u);
    EXPECT_FALSE(EncodeImageRecord(bad, bytes)); // beyond 16 bits
    EXPECT_TRUE(bytes.empty());
}

TEST(ImageRecord, DamagedRecordsAreRefusedWithoutTouchingMissingBytes) {
    const std::vector<uint8_t> good = Encode(MakeImage(2, {8, 4}, {4, 4}));
    struct Case {
        const char* what;
        std::function<void(std::vector<uint8_t>&)> damage;
        ImageRecordResult expected;
    };
    const std::vector<Case> cases{
        {"empty", [](auto& b) { b.clear(); }, ImageRecordResult::ShortHeader},
        {"cut header", [](auto& b) { b.resize(18); }, ImageRecordResult::ShortHeader},
        {"R5G6B5", [](auto& b) { b[0] = apf_R5G6B5; }, ImageRecordResult::UnsupportedFormat},
        {"format 200", [](auto& b) { b[0] = 200; }, ImageRecordResult::UnsupportedFormat},
        {"zero cell width", [](auto& b) { Put16(b, 1, 0); }, ImageRecordResult::BadSize},
        {"zero cell height", [](auto& b) { Put16(b, 3, 0); }, ImageRecordResult::BadSize},
        {"zero texture height", [](auto& b) { Put16(b, 15, 0); }, ImageRecordResult::BadSize},
        {"no textures", [](auto& b) { Put16(b, 17, 0); }, ImageRecordResult::BadSize},
        {"cell beyond texture", [](auto& b) { Put16(b, 3, 5); }, ImageRecordResult::BadSize},
        {"one pattern too many", [](auto& b) { Put32(b, 5, 5); },
         ImageRecordResult::BadPatternCount},
        {"absurd pattern count", [](auto& b) { Put32(b, 5, 0xFFFFFFFFu); },
         ImageRecordResult::BadPatternCount},
        {"one byte short", [](auto& b) { b.pop_back(); }, ImageRecordResult::ShortPixels},
        {"one texture more", [](auto& b) { Put16(b, 17, 3); }, ImageRecordResult::ShortPixels},
        // 65535 textures of 65535 x 65535 pixels would be 10^15 bytes.
        {"absurd sizes",
         [](auto& b) {
             Put16(b, 13, 0xFFFF);
             Put16(b, 15, 0xFFFF);
             Put16(b, 17, 0xFFFF);
         },
         ImageRecordResult::ShortPixels},
        {"R8G8B8 is shorter per pixel, but not this short",
         [](auto& b) {
             b[0] = apf_R8G8B8;
             b.resize(19 + 3 * 64 - 1);
         },
         ImageRecordResult::ShortPixels},
    };
    for (const Case& c : cases) {
        // Exactly-sized copies, so that a read past the end is caught by the sanitizers.
        std::vector<uint8_t> bytes = good;
        c.damage(bytes);
        std::unique_ptr<uint8_t[]> exact(new uint8_t[bytes.size() + 1]);
        std::memcpy(exact.get(), bytes.data(), bytes.size());
        TKilnImageData out = MakeImage(1, {2, 2}, {1, 1}); // stale content must go
        EXPECT_EQ(DecodeImageRecord(exact.get(), bytes.size(), out), c.expected) << c.what;
        EXPECT_TRUE(out.Textures.empty()) << c.what;
    }
}

TEST(ImageRecord, OtherByteOrdersAreConvertedToArgb) {
    // One 2 x 1 texture.
    auto record = [](uint8_t format, std::vector<uint8_t> pixels) {
        std::vector<uint8_t> b(19, 0);
        b[0] = format;
        Put16(b, 1, 1);
        Put16(b, 3, 1);
        Put32(b, 5, 2);
        Put16(b, 13, 2);
        Put16(b, 15, 1);
        Put16(b, 17, 1);
        b.insert(b.end(), pixels.begin(), pixels.end());
        return b;
    };
    auto decode = [](const std::vector<uint8_t>& b) {
        TKilnImageData out;
        EXPECT_EQ(DecodeImageRecord(b.data(), b.size(), out), ImageRecordResult::Ok);
        return out.Textures.empty() ? std::vector<uint32_t>{} : out.Textures[0];
    };
    // Stored bytes B G R A (X8R8G8B8: alpha byte ignored).
    EXPECT_EQ(decode(record(apf_X8R8G8B8, {0x11, 0x22, 0x33, 0x00, 1, 2, 3, 4})),
              (std::vector<uint32_t>{0xFF332211u, 0xFF030201u}));
    // Stored bytes R G B A.
    EXPECT_EQ(decode(record(apf_A8B8G8R8, {0x11, 0x22, 0x33, 0x44, 1, 2, 3, 4})),
              (std::vector<uint32_t>{0x44112233u, 0x04010203u}));
    // Three bytes B G R.
    EXPECT_EQ(decode(record(apf_R8G8B8, {0x11, 0x22, 0x33, 1, 2, 3})),
              (std::vector<uint32_t>{0xFF332211u, 0xFF030201u}));
}

// A sheet of w x h cells of size cell whose pixels hold their cell's number.
Picture Sheet(int columns, int rows, TPoint2px cell) {
    Picture p;
    p.width = columns * cell.x;
    p.height = rows * cell.y;
    p.argb.resize(static_cast<size_t>(p.width) * p.height);
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            p.argb[static_cast<size_t>(y) * p.width + x] =
                0xFF000000u | static_cast<uint32_t>((y / cell.y) * columns + x / cell.x) << 8 |
                static_cast<uint32_t>((y % cell.y) * cell.x + x % cell.x);
    return p;
}

// The pixel at (x, y) of pattern p, found the way the catalogue finds patterns.
uint32_t PatternPixel(const TKilnImageData& d, int p, int x, int y) {
    const int columns = d.TextureSize.x / d.PatternSize.x;
    const int per = columns * (d.TextureSize.y / d.PatternSize.y);
    const int q = p % per;
    const int px = (q % columns) * d.PatternSize.x + x;
    const int py = (q / columns) * d.PatternSize.y + y;
    return d.Textures[static_cast<size_t>(p / per)][static_cast<size_t>(py) * d.TextureSize.x + px];
}

TEST(ImageSheet, SmallSheetsStayOneTextureAndComeBackUnchanged) {
    const Picture sheet = Sheet(3, 2, {4, 4});
    TKilnImageData data;
    std::string error;
    ASSERT_TRUE(ImageDataFromSheet(sheet, {4, 4}, {3, 3}, 5, data, &error)) << error;
    EXPECT_EQ(data.TextureSize, (TPoint2px{12, 8}));
    EXPECT_EQ(data.Textures.size(), 1u);
    EXPECT_EQ(data.PatternCount, 5);
    EXPECT_EQ(data.VisibleSize, (TPoint2px{3, 3}));
    Picture back;
    ASSERT_TRUE(SheetFromImageData(data, back, &error)) << error;
    EXPECT_EQ(back.width, 12);
    EXPECT_EQ(back.height, 8);
    EXPECT_EQ(back.argb, sheet.argb);
}

TEST(ImageSheet, LargeSheetsAreRepackedIntoSeveralTexturesAndJoinedAgain) {
    const TPoint2px cell{4, 4};
    const Picture sheet = Sheet(6, 2, cell); // 24 x 8, 12 cells
    TKilnImageData data;
    std::string error;
    ASSERT_TRUE(ImageDataFromSheet(sheet, cell, {}, 11, data, &error, 8)) << error;
    EXPECT_EQ(data.TextureSize, (TPoint2px{8, 8}));
    ASSERT_EQ(data.Textures.size(), 3u); // 4 cells each
    EXPECT_EQ(data.PatternCount, 11);
    for (int p = 0; p < 11; ++p) {
        EXPECT_EQ(PatternPixel(data, p, 0, 0), 0xFF000000u | uint32_t(p) << 8) << p;
        EXPECT_EQ(PatternPixel(data, p, 3, 3), 0xFF000000u | uint32_t(p) << 8 | 15u) << p;
    }
    EXPECT_EQ(PatternPixel(data, 11, 0, 0), 0u); // unused cell stays clear

    Picture back;
    ASSERT_TRUE(SheetFromImageData(data, back, &error)) << error;
    EXPECT_EQ(back.width, 8); // two cells across, as in a texture
    EXPECT_EQ(back.height, 24);
    for (int p = 0; p < 11; ++p) {
        const int x = (p % 2) * 4 + 1, y = (p / 2) * 4 + 2;
        EXPECT_EQ(back.argb[static_cast<size_t>(y) * 8 + x], 0xFF000000u | uint32_t(p) << 8 | 9u);
    }
}

TEST(ImageSheet, ImpossibleCuttingsAreRefused) {
    const Picture sheet = Sheet(2, 2, {4, 4});
    TKilnImageData data;
    EXPECT_FALSE(ImageDataFromSheet(sheet, {4, 4}, {}, 5, data));     // only 4 cells
    EXPECT_FALSE(ImageDataFromSheet(sheet, {0, 4}, {}, 0, data));     // zero cell
    EXPECT_FALSE(ImageDataFromSheet(sheet, {16, 4}, {}, 0, data));    // cell beyond the sheet
    EXPECT_FALSE(ImageDataFromSheet(sheet, {4, 4}, {5, 4}, 0, data)); // visible beyond the cell
    EXPECT_FALSE(ImageDataFromSheet(sheet, {8, 8}, {}, 0, data, nullptr, 4)); // cell > texture
    Picture broken = sheet;
    broken.argb.pop_back();
    EXPECT_FALSE(ImageDataFromSheet(broken, {4, 4}, {}, 0, data));
    EXPECT_TRUE(data.Textures.empty());
}

} // namespace
} // namespace bw
