// Conversions between UTF-8 (the text of our code) and UTF-16 code units (what fonts index and
// what player profiles store).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace bw {

// Every malformed UTF-8 sequence becomes one U+FFFD.
void Utf8ToUtf16(std::string_view text, std::u16string& out);
std::u16string Utf8ToUtf16(std::string_view text);
// Appends the UTF-8 form of a code point (U+FFFD for surrogates and values past U+10FFFF).
void AppendUtf8(std::string& out, uint32_t codePoint);
// Unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);

} // namespace bw
