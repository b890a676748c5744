// Conversions between UTF-8 (the text of our code) and UTF-16 code units (what fonts index and
// what player profiles store).
#pragma once

#include <string>
#include <string_view>

namespace bw {

// Every malformed UTF-8 sequence becomes one U+FFFD.
void Utf8ToUtf16(std::string_view text, std::u16string& out);
std::u16string Utf8ToUtf16(std::string_view text);
// Unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);

} // namespace bw
