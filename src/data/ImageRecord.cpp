#include "data/ImageRecord.h"

#include <bit>
#include <cstring>

#include <algorithm>
#include <array>
#include <limits>

namespace bw {

namespace {

struct FormatInfo {
    const char* Name;
    int Bytes;
};

constexpr std::array<FormatInfo, 31> kFormats{{
    {"apf_Unknown", 0},
    {"apf_R8G8B8", 3},
    {"apf_A8R8G8B8", 4},
    {"apf_X8R8G8B8", 4},
    {"apf_R5G6B5", 2},
    {"apf_X1R5G5B5", 2},
    {"apf_A1R5G5B5", 2},
    {"apf_A4R4G4B4", 2},
    {"apf_R3G3B2", 1},
    {"apf_A8", 1},
    {"apf_A8R3G3B2", 2},
    {"apf_X4R4G4B4", 2},
    {"apf_A2B10G10R10", 4},
    {"apf_G16R16", 4},
    {"apf_A2R10G10B10", 4},
    {"apf_A16B16G16R16", 8},
    {"apf_L8", 1},
    {"apf_A8L8", 2},
    {"apf_A4L4", 1},
    {"apf_L16", 2},
    {"apf_R16F", 2},
    {"apf_G16R16F", 4},
    {"apf_A16B16G16R16F", 8},
    {"apf_R32F", 4},
    {"apf_G32R32F", 8},
    {"apf_A32B32G32R32F", 16},
    {"apf_A8B8G8R8", 4},
    {"apf_X8B8G8R8", 4},
    {"apf_A5L3", 1},
    {"apf_A2R2G2B2", 1},
    {"apf_A5R9G9B9", 4},
}};

uint16_t Le16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
uint32_t Le32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}
void Put16(std::vector<uint8_t>& out, int v) {
    out.push_back(static_cast<uint8_t>(v & 0xFF));
    out.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// One stored pixel as an ARGB word.
uint32_t ToArgb(uint8_t format, const uint8_t* p) {
    switch (format) {
    case apf_A8R8G8B8:
        return Le32(p);
    case apf_X8R8G8B8:
        return Le32(p) | 0xFF000000u;
    case apf_A8B8G8R8:
    case apf_X8B8G8R8: {
        const uint32_t a = format == apf_A8B8G8R8 ? p[3] : 0xFFu;
        return a << 24 | static_cast<uint32_t>(p[0]) << 16 | static_cast<uint32_t>(p[1]) << 8 |
               p[2];
    }
    case apf_R8G8B8:
        return 0xFF000000u | static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[1]) << 8 |
               p[0];
    default:
        return 0;
    }
}

bool Fail(std::string* error, const std::string& why) {
    if (error) *error = why;
    return false;
}

} // namespace

const char* ImageRecordResultText(ImageRecordResult result) {
    switch (result) {
    case ImageRecordResult::Ok:
        return "ok";
    case ImageRecordResult::ShortHeader:
        return "record shorter than the image header";
    case ImageRecordResult::UnsupportedFormat:
        return "unreadable pixel format";
    case ImageRecordResult::BadSize:
        return "zero or inconsistent cell or texture size";
    case ImageRecordResult::BadPatternCount:
        return "more patterns than the textures hold";
    case ImageRecordResult::ShortPixels:
        return "pixel data shorter than the textures";
    }
    return "unknown";
}

std::string PixelFormatName(uint8_t format) {
    if (format < kFormats.size()) return kFormats[format].Name;
    return "unknown (" + std::to_string(format) + ")";
}

int PixelFormatBytes(uint8_t format) {
    return format < kFormats.size() ? kFormats[format].Bytes : 0;
}

bool PixelFormatReadable(uint8_t format) {
    return format == apf_A8R8G8B8 || format == apf_X8R8G8B8 || format == apf_A8B8G8R8 ||
           format == apf_X8B8G8R8 || format == apf_R8G8B8;
}

ImageRecordResult ReadImageRecordHeader(const uint8_t* data, std::size_t size,
                                        ImageRecordHeader& out) {
    out = ImageRecordHeader{};
    if (data == nullptr || size < ImageRecordHeaderSize) return ImageRecordResult::ShortHeader;
    out.PixelFormat = data[0];
    out.PatternSize = TPoint2px{Le16(data + 1), Le16(data + 3)};
    out.PatternCount = Le32(data + 5);
    out.VisibleSize = TPoint2px{Le16(data + 9), Le16(data + 11)};
    out.TextureSize = TPoint2px{Le16(data + 13), Le16(data + 15)};
    out.TextureCount = Le16(data + 17);
    return ImageRecordResult::Ok;
}

ImageRecordResult DecodeImageRecord(const uint8_t* data, std::size_t size, TKilnImageData& out) {
    // The pixel vectors of `out` are reused as space: a batch of images decodes into the same
    // memory again and again.
    TKilnTexturePixels textures = std::move(out.Textures);
    out = TKilnImageData{};
    ImageRecordHeader h;
    if (const auto r = ReadImageRecordHeader(data, size, h); r != ImageRecordResult::Ok) return r;
    if (!PixelFormatReadable(h.PixelFormat)) return ImageRecordResult::UnsupportedFormat;
    const TPoint2px cell = h.PatternSize;
    const TPoint2px tex = h.TextureSize;
    if (cell.x == 0 || cell.y == 0 || tex.x == 0 || tex.y == 0 || h.TextureCount == 0 ||
        cell.x > tex.x || cell.y > tex.y) {
        return ImageRecordResult::BadSize;
    }
    // All fields are at most 16 bits wide, so these products cannot overflow 64 bits.
    const uint64_t capacity = static_cast<uint64_t>(tex.x / cell.x) *
                              static_cast<uint64_t>(tex.y / cell.y) *
                              static_cast<uint64_t>(h.TextureCount);
    if (h.PatternCount > capacity) return ImageRecordResult::BadPatternCount;

    const auto bpp = static_cast<uint64_t>(PixelFormatBytes(h.PixelFormat));
    const uint64_t texPixels = static_cast<uint64_t>(tex.x) * static_cast<uint64_t>(tex.y);
    const uint64_t need = texPixels * bpp * static_cast<uint64_t>(h.TextureCount);
    if (need > size - ImageRecordHeaderSize) return ImageRecordResult::ShortPixels;

    // The catalogue counts patterns in an int.
    if (h.PatternCount > static_cast<uint32_t>(std::numeric_limits<int>::max()))
        return ImageRecordResult::BadPatternCount;

    out.PixelFormat = static_cast<TKilnPixelFormat>(h.PixelFormat);
    out.PatternSize = cell;
    out.VisibleSize = h.VisibleSize;
    out.PatternCount = static_cast<int>(h.PatternCount);
    out.TextureSize = tex;
    textures.resize(static_cast<std::size_t>(h.TextureCount));
    out.Textures = std::move(textures);
    const uint8_t* p = data + ImageRecordHeaderSize;
    for (auto& pixels : out.Textures) {
        pixels.resize(static_cast<std::size_t>(texPixels));
        if (h.PixelFormat == apf_A8R8G8B8 && std::endian::native == std::endian::little) {
            // Stored as the machine keeps them.
            std::memcpy(pixels.data(), p, static_cast<std::size_t>(texPixels) * 4);
            p += texPixels * 4;
        } else if (h.PixelFormat == apf_A8R8G8B8) {
            for (uint32_t& px : pixels) {
                px = Le32(p);
                p += 4;
            }
        } else {
            for (uint32_t& px : pixels) {
                px = ToArgb(h.PixelFormat, p);
                p += bpp;
            }
        }
    }
    return ImageRecordResult::Ok;
}

bool EncodeImageRecord(const TKilnImageData& data, std::vector<uint8_t>& out, std::string* error) {
    out.clear();
    const TPoint2px cell = data.PatternSize;
    const TPoint2px tex = data.TextureSize;
    constexpr int kMax16 = 0xFFFF;
    if (cell.x <= 0 || cell.y <= 0 || cell.x > kMax16 || cell.y > kMax16)
        return Fail(error, "cell size must be 1..65535 on each side");
    if (tex.x <= 0 || tex.y <= 0 || tex.x > kMax16 || tex.y > kMax16)
        return Fail(error, "texture size must be 1..65535 on each side");
    if (cell.x > tex.x || cell.y > tex.y) return Fail(error, "cell larger than the texture");
    if (data.Textures.empty() || data.Textures.size() > static_cast<std::size_t>(kMax16))
        return Fail(error, "texture count must be 1..65535");
    const std::size_t texPixels = static_cast<std::size_t>(tex.x) * static_cast<std::size_t>(tex.y);
    for (const auto& pixels : data.Textures) {
        if (pixels.size() != texPixels) return Fail(error, "texture pixel count does not match");
    }
    const uint64_t capacity = static_cast<uint64_t>(tex.x / cell.x) *
                              static_cast<uint64_t>(tex.y / cell.y) * data.Textures.size();
    if (data.PatternCount < 0 || static_cast<uint64_t>(data.PatternCount) > capacity)
        return Fail(error, "pattern count beyond the cells of the textures");
    const uint64_t count =
        data.PatternCount > 0 ? static_cast<uint64_t>(data.PatternCount) : capacity;
    if (count > std::numeric_limits<uint32_t>::max())
        return Fail(error, "too many patterns for the record");
    TPoint2px visible = data.VisibleSize;
    if (visible.x <= 0 || visible.y <= 0) visible = cell;
    visible = TPoint2px{std::min(visible.x, cell.x), std::min(visible.y, cell.y)};

    out.reserve(ImageRecordHeaderSize + texPixels * 4 * data.Textures.size());
    out.push_back(apf_A8R8G8B8);
    Put16(out, cell.x);
    Put16(out, cell.y);
    Put32(out, static_cast<uint32_t>(count));
    Put16(out, visible.x);
    Put16(out, visible.y);
    Put16(out, tex.x);
    Put16(out, tex.y);
    Put16(out, static_cast<int>(data.Textures.size()));
    for (const auto& pixels : data.Textures) {
        for (const uint32_t px : pixels) Put32(out, px);
    }
    return true;
}

bool ImageDataFromSheet(const Picture& sheet, TPoint2px cell, TPoint2px visible, int count,
                        TKilnImageData& out, std::string* error, int maxTextureSize) {
    out = TKilnImageData{};
    if (sheet.width <= 0 || sheet.height <= 0 ||
        sheet.argb.size() != static_cast<std::size_t>(sheet.width) * sheet.height)
        return Fail(error, "empty or inconsistent picture");
    if (cell.x <= 0 || cell.y <= 0) return Fail(error, "cell size must be positive");
    if (cell.x > sheet.width || cell.y > sheet.height)
        return Fail(error, "cell larger than the picture");
    if (cell.x > maxTextureSize || cell.y > maxTextureSize)
        return Fail(error, "cell larger than the largest texture (" +
                               std::to_string(maxTextureSize) + ")");
    if (visible.x < 0 || visible.y < 0 || visible.x > cell.x || visible.y > cell.y)
        return Fail(error, "visible size must lie within the cell");
    const int sheetColumns = sheet.width / cell.x;
    const int sheetCells = sheetColumns * (sheet.height / cell.y);
    if (count < 0 || count > sheetCells)
        return Fail(error, "the picture holds only " + std::to_string(sheetCells) + " cells");
    if (count == 0) count = sheetCells;

    out.PatternSize = cell;
    out.VisibleSize = (visible.x > 0 && visible.y > 0) ? visible : cell;
    out.PatternCount = count;
    out.PixelFormat = apf_A8R8G8B8;
    if (sheet.width <= maxTextureSize && sheet.height <= maxTextureSize) {
        out.TextureSize = TPoint2px{sheet.width, sheet.height};
        out.Textures.push_back(sheet.argb);
        return true;
    }

    // Repack: as many cells across as fit, as many rows as needed or fit.
    const int columns = std::min(count, maxTextureSize / cell.x);
    const int rowsNeeded = (count + columns - 1) / columns;
    const int rows = std::min(rowsNeeded, maxTextureSize / cell.y);
    const int perTexture = columns * rows;
    const int textures = (count + perTexture - 1) / perTexture;
    if (textures > 0xFFFF) return Fail(error, "too many textures");
    out.TextureSize = TPoint2px{columns * cell.x, rows * cell.y};
    const auto texWidth = static_cast<std::size_t>(out.TextureSize.x);
    out.Textures.assign(
        static_cast<std::size_t>(textures),
        std::vector<uint32_t>(texWidth * static_cast<std::size_t>(out.TextureSize.y), 0u));
    for (int p = 0; p < count; ++p) {
        const int srcX = (p % sheetColumns) * cell.x;
        const int srcY = (p / sheetColumns) * cell.y;
        const int q = p % perTexture;
        const int dstX = (q % columns) * cell.x;
        const int dstY = (q / columns) * cell.y;
        auto& dst = out.Textures[static_cast<std::size_t>(p / perTexture)];
        for (int y = 0; y < cell.y; ++y) {
            const auto src =
                sheet.argb.begin() + static_cast<std::ptrdiff_t>(
                                         static_cast<std::size_t>(srcY + y) * sheet.width + srcX);
            std::copy(src, src + cell.x,
                      dst.begin() + static_cast<std::ptrdiff_t>(
                                        static_cast<std::size_t>(dstY + y) * texWidth + dstX));
        }
    }
    return true;
}

bool SheetFromImageData(const TKilnImageData& data, Picture& out, std::string* error) {
    out = Picture{};
    const TPoint2px cell = data.PatternSize;
    const TPoint2px tex = data.TextureSize;
    if (cell.x <= 0 || cell.y <= 0 || tex.x < cell.x || tex.y < cell.y || data.Textures.empty())
        return Fail(error, "not an image");
    const std::size_t texPixels = static_cast<std::size_t>(tex.x) * static_cast<std::size_t>(tex.y);
    for (const auto& pixels : data.Textures) {
        if (pixels.size() != texPixels) return Fail(error, "texture pixel count does not match");
    }
    if (data.Textures.size() == 1) {
        out.width = tex.x;
        out.height = tex.y;
        out.argb = data.Textures.front();
        return true;
    }
    const int columns = tex.x / cell.x;
    const int perTexture = columns * (tex.y / cell.y);
    const int64_t capacity = static_cast<int64_t>(perTexture) * data.Textures.size();
    const int64_t count =
        data.PatternCount > 0 ? std::min<int64_t>(data.PatternCount, capacity) : capacity;
    const int64_t rows = (count + columns - 1) / columns;
    const int64_t height = rows * cell.y;
    if (height > 16384) return Fail(error, "the sheet would be taller than 16384 pixels");
    out.width = columns * cell.x;
    out.height = static_cast<int>(height);
    out.argb.assign(static_cast<std::size_t>(out.width) * static_cast<std::size_t>(out.height), 0u);
    for (int64_t p = 0; p < count; ++p) {
        const auto& src = data.Textures[static_cast<std::size_t>(p / perTexture)];
        const int q = static_cast<int>(p % perTexture);
        const int srcX = (q % columns) * cell.x;
        const int srcY = (q / columns) * cell.y;
        const int dstX = static_cast<int>(p % columns) * cell.x;
        const int dstY = static_cast<int>(p / columns) * cell.y;
        for (int y = 0; y < cell.y; ++y) {
            const auto from = src.begin() + static_cast<std::ptrdiff_t>(
                                                static_cast<std::size_t>(srcY + y) * tex.x + srcX);
            std::copy(from, from + cell.x,
                      out.argb.begin() +
                          static_cast<std::ptrdiff_t>(
                              static_cast<std::size_t>(dstY + y) * out.width + dstX));
        }
    }
    return true;
}

} // namespace bw
