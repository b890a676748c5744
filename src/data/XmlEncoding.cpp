#include "data/XmlEncoding.h"

#include "data/Utf16.h"

namespace bw {

namespace {

// Windows-1252 0x80..0x9F; the five unassigned bytes map to the C1 control of the same value.
constexpr uint16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

uint32_t Cp1252ToCodePoint(uint8_t b) {
    if (b >= 0x80 && b <= 0x9F) return kCp1252High[b - 0x80];
    return b;
}

// The Windows-1252 byte of a code point, or -1.
int CodePointToCp1252(uint32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
    for (int i = 0; i < 32; ++i)
        if (kCp1252High[i] == cp) return 0x80 + i;
    return -1;
}

std::string DecodeUtf16(const uint8_t* p, std::size_t size, bool bigEndian) {
    std::string out;
    out.reserve(size);
    const std::size_t units = size / 2;
    auto unit = [&](std::size_t i) -> uint32_t {
        const uint8_t a = p[2 * i];
        const uint8_t b = p[2 * i + 1];
        return bigEndian ? (uint32_t(a) << 8 | b) : (uint32_t(b) << 8 | a);
    };
    for (std::size_t i = 0; i < units; ++i) {
        const uint32_t u = unit(i);
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units) {
            const uint32_t lo = unit(i + 1);
            if (lo >= 0xDC00 && lo <= 0xDFFF) {
                AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (lo - 0xDC00));
                ++i;
                continue;
            }
        }
        AppendUtf8(out, u); // unpaired surrogates come out as U+FFFD
    }
    return out;
}

// Decodes one UTF-8 sequence at s[i]; returns its length, or 0 when malformed.
std::size_t NextUtf8(std::string_view s, std::size_t i, uint32_t& cp) {
    const auto b0 = static_cast<uint8_t>(s[i]);
    if (b0 < 0x80) {
        cp = b0;
        return 1;
    }
    std::size_t len;
    uint32_t min;
    if ((b0 & 0xE0) == 0xC0) {
        len = 2;
        cp = b0 & 0x1F;
        min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        len = 3;
        cp = b0 & 0x0F;
        min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        len = 4;
        cp = b0 & 0x07;
        min = 0x10000;
    } else {
        return 0;
    }
    if (i + len > s.size()) return 0;
    for (std::size_t k = 1; k < len; ++k) {
        const auto b = static_cast<uint8_t>(s[i + k]);
        if ((b & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return len;
}

} // namespace

std::string DecodeTextBytes(const uint8_t* data, std::size_t size) {
    if (size >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF)
        return std::string(reinterpret_cast<const char*>(data) + 3, size - 3);
    if (size >= 2 && data[0] == 0xFF && data[1] == 0xFE)
        return DecodeUtf16(data + 2, size - 2, false);
    if (size >= 2 && data[0] == 0xFE && data[1] == 0xFF)
        return DecodeUtf16(data + 2, size - 2, true);
    std::string out;
    out.reserve(size);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] < 0x80)
            out.push_back(static_cast<char>(data[i]));
        else
            AppendUtf8(out, Cp1252ToCodePoint(data[i]));
    }
    return out;
}

std::string NormaliseLineBreaks(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 2);
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t j = i;
        while (j < text.size() && text[j] != '\r' && text[j] != '\n') ++j;
        out.append(text.substr(i, j - i));
        out.append("\r\n");
        if (j < text.size() && text[j] == '\r' && j + 1 < text.size() && text[j + 1] == '\n')
            j += 2;
        else if (j < text.size())
            j += 1;
        i = j;
    }
    return out;
}

std::string EncodeTextForSave(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        uint32_t cp = 0;
        const std::size_t len = NextUtf8(utf8, i, cp);
        const int b = len ? CodePointToCp1252(cp) : -1;
        if (b < 0) return "\xEF\xBB\xBF" + std::string(utf8);
        out.push_back(static_cast<char>(b));
        i += len;
    }
    return out;
}

} // namespace bw
