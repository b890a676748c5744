// The storage layer of a profile file (".sav"): the XML text of the profile, line by line,
// each line written as a fixed marker followed by its characters XORed with two alternating
// keys (the first key for the 1st, 3rd, ... character, the second for the others), every line
// ended by CR LF, the whole in UTF-16 little endian behind the byte-order mark FF FE.
//
// Both keys are below 0x20, so a character keeps its place relative to the control range:
// only control characters (which a profile never holds) can scramble into NUL, CR or LF, and
// UTF-16 surrogate pairs stay pairs.
#pragma once

#include "data/Utf16.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace bw {

inline constexpr char16_t ProfileLineMarker[] = u"bw_save";
inline constexpr std::size_t ProfileLineMarkerLength = 7;
inline constexpr char16_t ProfileKeyOdd = 0x13;  // 1st, 3rd, ... character of a line
inline constexpr char16_t ProfileKeyEven = 0x1B; // 2nd, 4th, ...

// XORs the characters of one line (without marker) with the alternating keys; applying it
// twice gives the line back.
std::u16string ScrambleProfileLine(std::u16string_view line);

// The file bytes for the XML text (UTF-8; lines broken by CR LF, CR or LF).
std::vector<uint8_t> EncodeProfileText(std::string_view xmlText);

// The XML text (UTF-8, every line ended by CR LF) of a profile file, or nothing when the
// bytes are not a profile file: a line without the marker (a final line break ends the last
// line and does not start an empty one), no line at all, or an odd number of UTF-16 bytes.
// The byte-order mark selects the encoding (UTF-16 LE or BE, UTF-8; Windows-1252 without).
std::optional<std::string> DecodeProfileBytes(const uint8_t* data, std::size_t size);
inline std::optional<std::string> DecodeProfileBytes(const std::vector<uint8_t>& bytes) {
    return DecodeProfileBytes(bytes.data(), bytes.size());
}

} // namespace bw
