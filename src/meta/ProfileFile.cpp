#include "meta/ProfileFile.h"

#include "data/XmlEncoding.h"

namespace bw {

namespace {

// Splits at CR LF, CR or LF; a final line break does not open another line.
std::vector<std::u16string_view> SplitLines(std::u16string_view text) {
    std::vector<std::u16string_view> lines;
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        const char16_t c = text[i];
        if (c == u'\r' || c == u'\n') {
            lines.push_back(text.substr(start, i - start));
            i += (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ? 2 : 1;
            start = i;
        } else {
            ++i;
        }
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

} // namespace

std::u16string ScrambleProfileLine(std::u16string_view line) {
    std::u16string out(line);
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<char16_t>(out[i] ^ (i % 2 == 0 ? ProfileKeyOdd : ProfileKeyEven));
    return out;
}

std::vector<uint8_t> EncodeProfileText(std::string_view xmlText) {
    const std::u16string text = Utf8ToUtf16(xmlText);
    std::u16string file;
    file.reserve(text.size() + 16 * ProfileLineMarkerLength);
    for (const std::u16string_view line : SplitLines(text)) {
        file.append(ProfileLineMarker, ProfileLineMarkerLength);
        file += ScrambleProfileLine(line);
        file += u"\r\n";
    }
    std::vector<uint8_t> bytes;
    bytes.reserve(2 + file.size() * 2);
    bytes.push_back(0xFF);
    bytes.push_back(0xFE);
    for (const char16_t u : file) {
        bytes.push_back(static_cast<uint8_t>(u & 0xFF));
        bytes.push_back(static_cast<uint8_t>(u >> 8));
    }
    return bytes;
}

std::optional<std::string> DecodeProfileBytes(const uint8_t* data, std::size_t size) {
    std::u16string text;
    const bool le = size >= 2 && data[0] == 0xFF && data[1] == 0xFE;
    const bool be = size >= 2 && data[0] == 0xFE && data[1] == 0xFF;
    if (le || be) {
        if (size % 2 != 0) return std::nullopt; // cut off in the middle of a character
        text.reserve(size / 2 - 1);
        for (std::size_t i = 2; i < size; i += 2) {
            const unsigned lo = le ? data[i] : data[i + 1];
            const unsigned hi = le ? data[i + 1] : data[i];
            text.push_back(static_cast<char16_t>(lo | (hi << 8)));
        }
    } else {
        text = Utf8ToUtf16(DecodeTextBytes(data, size));
    }

    const std::vector<std::u16string_view> lines = SplitLines(text);
    if (lines.empty()) return std::nullopt;
    const std::u16string_view marker(ProfileLineMarker, ProfileLineMarkerLength);
    std::string xml;
    xml.reserve(text.size());
    for (const std::u16string_view line : lines) {
        if (line.substr(0, marker.size()) != marker) return std::nullopt;
        xml += Utf16ToUtf8(ScrambleProfileLine(line.substr(marker.size())));
        xml += "\r\n";
    }
    return xml;
}

} // namespace bw
