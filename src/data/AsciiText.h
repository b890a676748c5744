// Text comparison with ASCII-only case folding, as used for archive keys, alias names and XML
// names: 'a'..'z' equal 'A'..'Z', every other byte compares by value. Strings are UTF-8, so a
// non-ASCII character never folds.
#pragma once

#include <string>
#include <string_view>

namespace bw {

constexpr char AsciiUpper(char c) {
    return (c >= 'a' && c <= 'z') ? char(c - ('a' - 'A')) : c;
}
constexpr char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c + ('a' - 'A')) : c;
}

// True when both texts have the same length and are equal under ASCII folding.
bool AsciiSameText(std::string_view a, std::string_view b);

// Three-way comparison under ASCII folding (upper-case folding, bytes compared unsigned):
// negative, zero or positive.
int AsciiCompareText(std::string_view a, std::string_view b);

std::string AsciiLowerCase(std::string_view s);

// Drops leading and trailing bytes <= 0x20 (spaces and control characters).
std::string_view TrimText(std::string_view s);

} // namespace bw
