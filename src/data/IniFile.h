// A small INI text file: "[Section]" lines open a section, "Key=Value" lines hold values.
//
// Reading is forgiving: section and key names compare case-insensitively (ASCII), blank lines,
// lines starting with ';' or '#' and lines without '=' are skipped, a UTF-8 byte order mark and
// CR line ends are accepted, keys and values are trimmed of spaces and tabs, and a value wrapped
// in double quotes loses the quotes. When a key occurs twice in a section the first one counts.
// Reading takes time linear in the text's length, however many sections and keys it holds.
//
// Writing keeps sections and keys in the order they were first written, uses LF line ends and
// quotes string values that would otherwise not read back unchanged. Numbers are written and
// read independently of the C locale.
#pragma once

#include "platform/Files.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace bw {

// Decimal text with up to 15 significant digits, '.' as the decimal separator, no exponent
// for ordinary magnitudes: 0.5 -> "0.5", 1.0 -> "1", double(0.6f) -> "0.600000023841858".
std::string FormatFloat15(double value);

// Parses a finite decimal number; '.' or ',' may be the decimal separator, surrounding spaces
// are allowed, a leading '+' or '-' too. Anything else (empty text, trailing garbage, several
// separators, "inf", "nan") gives nothing.
std::optional<double> ParseFloat(std::string_view text);

// Parses a whole decimal integer with optional sign and surrounding spaces.
std::optional<long long> ParseInteger(std::string_view text);

class IniFile {
public:
    // Replaces the contents with the file's. Only a regular file of at most MaxFileSize bytes
    // is read; anything else leaves the contents empty and tells why.
    static constexpr std::size_t MaxFileSize = std::size_t{1} << 20;
    ReadFailure Load(const std::string& path);
    // Replaces the contents; the count of lines that are not blank, a comment, a section
    // header or a key with a value inside a section (so a damaged text gives a count above 0).
    int Parse(std::string_view text);

    // The raw (trimmed, unquoted) value, or nothing when the section or key is missing.
    std::optional<std::string> Find(std::string_view section, std::string_view key) const;

    std::string ReadString(std::string_view section, std::string_view key,
                           const std::string& def) const;
    // Defaults when the key is missing or its value does not parse as a whole.
    long long ReadInteger(std::string_view section, std::string_view key, long long def) const;
    // Read as an integer; any non-zero value is true.
    bool ReadBool(std::string_view section, std::string_view key, bool def) const;
    double ReadFloat(std::string_view section, std::string_view key, double def) const;

    // Sets a value, adding the section and key at the end when they are new.
    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, long long value);
    void WriteBool(std::string_view section, std::string_view key, bool value); // "1" / "0"
    void WriteFloat(std::string_view section, std::string_view key, double value);

    std::string ToText() const;

    // Writes the text to a temporary file in the target's folder, flushes it to disk and renames
    // it over the target, so the target is always either the old or the new complete file.
    // Missing folders are created. False when anything fails; the old file is then unchanged.
    bool Save(const std::string& path) const;

private:
    struct Entry {
        std::string key;
        std::string value;
    };
    struct Section {
        std::string name;
        std::vector<Entry> entries;
        std::unordered_map<std::string, std::size_t> index; // lower-case key -> entry
    };

    const Section* FindSection(std::string_view name) const;
    Section& SectionFor(std::string_view name);

    std::vector<Section> sections_;
    std::unordered_map<std::string, std::size_t> sectionIndex_; // lower-case name -> section
};

// Writes text to path atomically (creating its folder), as IniFile::Save does.
bool WriteFileAtomically(const std::string& path, std::string_view text);

} // namespace bw
