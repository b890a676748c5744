// Text decoding for XML byte sources and encoding for saved documents. Text in memory is UTF-8.
#pragma once

#include "data/Utf16.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace bw {

// Decodes bytes by their byte-order mark: EF BB BF (UTF-8), FF FE (UTF-16 LE), FE FF
// (UTF-16 BE); the mark is dropped. Without a mark the bytes are Windows-1252. Unpaired
// UTF-16 surrogates become U+FFFD; an odd final byte of UTF-16 is ignored.
std::string DecodeTextBytes(const uint8_t* data, std::size_t size);
inline std::string DecodeTextBytes(std::string_view bytes) {
    return DecodeTextBytes(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

// Splits the text at CR, LF and CR LF and ends every line with CR LF (so a final line break is
// added when missing; the empty text stays empty).
std::string NormaliseLineBreaks(std::string_view text);

// Windows-1252 bytes when every character of the UTF-8 text has one, otherwise the UTF-8 text
// behind a byte-order mark, so that nothing is lost and the loaders read it back unchanged.
std::string EncodeTextForSave(std::string_view utf8);

} // namespace bw
