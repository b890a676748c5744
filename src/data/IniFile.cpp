#include "data/IniFile.h"

#include "platform/Files.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace bw {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Names compare case-insensitively (ASCII) through their lower-case form.
std::string Lower(std::string_view name) {
    std::string out(name);
    for (char& c : out) c = LowerAscii(c);
    return out;
}

bool IsQuoted(std::string_view v) {
    return v.size() >= 2 && v.front() == '"' && v.back() == '"';
}

// A value goes to disk quoted when trimming or unquoting on reading would change it.
std::string EncodeValue(std::string_view value) {
    std::string clean(value);
    for (char& c : clean) {
        if (c == '\n' || c == '\r') c = ' '; // one value, one line
    }
    // A NUL byte marks a file as damaged when it is read back.
    std::erase(clean, '\0');
    const bool padded = !clean.empty() && (IsBlank(clean.front()) || IsBlank(clean.back()));
    if (padded || IsQuoted(clean)) return '"' + clean + '"';
    return clean;
}

std::string DirectoryOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

} // namespace

std::string FormatFloat15(double value) {
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof(buf), value, std::chars_format::general, 15);
    std::string text(buf, res.ptr);
    if (text == "-0") text = "0";
    return text;
}

std::optional<double> ParseFloat(std::string_view text) {
    text = Trim(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) return std::nullopt;
    std::string digits(text);
    int separators = 0;
    for (char& c : digits) {
        if (c == ',') c = '.';
        if (c == '.') ++separators;
        // Only plain decimal notation with an optional exponent; no hex, inf or nan.
        const bool allowed =
            (c >= '0' && c <= '9') || c == '.' || c == 'e' || c == 'E' || c == '+' || c == '-';
        if (!allowed) return std::nullopt;
    }
    if (separators > 1) return std::nullopt;
    if (digits.front() != '.' && (digits.front() < '0' || digits.front() > '9'))
        return std::nullopt;
    double value = 0.0;
    const char* first = digits.data();
    const char* last = first + digits.size();
    const auto res = std::from_chars(first, last, value, std::chars_format::general);
    if (res.ec != std::errc() || res.ptr != last || !std::isfinite(value)) return std::nullopt;
    return negative ? -value : value;
}

std::optional<long long> ParseInteger(std::string_view text) {
    text = Trim(text);
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && text.front() == '-') return std::nullopt;
    }
    if (text.empty()) return std::nullopt;
    long long value = 0;
    const char* last = text.data() + text.size();
    const auto res = std::from_chars(text.data(), last, value, 10);
    if (res.ec != std::errc() || res.ptr != last) return std::nullopt;
    return value;
}

ReadFailure IniFile::Load(const std::string& path) {
    sections_.clear();
    sectionIndex_.clear();
    ReadFailure failure = ReadFailure::None;
    const auto bytes = ReadWholeFile(path, &failure, MaxFileSize);
    if (!bytes) return failure;
    Parse(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
    return ReadFailure::None;
}

int IniFile::Parse(std::string_view text) {
    sections_.clear();
    sectionIndex_.clear();
    int damaged = 0;
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    Section* current = nullptr;
    while (!text.empty()) {
        const auto eol = text.find('\n');
        std::string_view line = text.substr(0, eol);
        text = eol == std::string_view::npos ? std::string_view() : text.substr(eol + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        line = Trim(line);
        if (line.empty() || line.front() == ';' || line.front() == '#') continue;
        if (line.front() == '[') {
            const auto close = line.find(']');
            if (close == std::string_view::npos) {
                current = nullptr; // a damaged header: its keys belong to no section
                ++damaged;
                continue;
            }
            current = &SectionFor(Trim(line.substr(1, close - 1)));
            continue;
        }
        const auto eq = line.find('=');
        if (current == nullptr || eq == std::string_view::npos) {
            ++damaged;
            continue;
        }
        const std::string_view key = Trim(line.substr(0, eq));
        std::string_view value = Trim(line.substr(eq + 1));
        if (key.empty()) {
            ++damaged;
            continue;
        }
        if (IsQuoted(value)) value = value.substr(1, value.size() - 2);
        if (current->index.emplace(Lower(key), current->entries.size()).second)
            current->entries.push_back(Entry{std::string(key), std::string(value)});
    }
    return damaged;
}

const IniFile::Section* IniFile::FindSection(std::string_view name) const {
    const auto it = sectionIndex_.find(Lower(name));
    return it == sectionIndex_.end() ? nullptr : &sections_[it->second];
}

IniFile::Section& IniFile::SectionFor(std::string_view name) {
    const auto [it, added] = sectionIndex_.emplace(Lower(name), sections_.size());
    if (added) sections_.push_back(Section{std::string(name), {}, {}});
    return sections_[it->second];
}

std::optional<std::string> IniFile::Find(std::string_view section, std::string_view key) const {
    const Section* s = FindSection(section);
    if (s == nullptr) return std::nullopt;
    const auto it = s->index.find(Lower(key));
    if (it == s->index.end()) return std::nullopt;
    return s->entries[it->second].value;
}

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                const std::string& def) const {
    auto v = Find(section, key);
    return v ? *v : def;
}

long long IniFile::ReadInteger(std::string_view section, std::string_view key,
                               long long def) const {
    const auto v = Find(section, key);
    if (!v) return def;
    return ParseInteger(*v).value_or(def);
}

bool IniFile::ReadBool(std::string_view section, std::string_view key, bool def) const {
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

double IniFile::ReadFloat(std::string_view section, std::string_view key, double def) const {
    const auto v = Find(section, key);
    if (!v) return def;
    return ParseFloat(*v).value_or(def);
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    Section& s = SectionFor(section);
    const auto [it, added] = s.index.emplace(Lower(key), s.entries.size());
    if (added) {
        s.entries.push_back(Entry{std::string(key), std::string(value)});
    } else {
        s.entries[it->second].value = std::string(value);
    }
}

void IniFile::WriteInteger(std::string_view section, std::string_view key, long long value) {
    WriteString(section, key, std::to_string(value));
}

void IniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

void IniFile::WriteFloat(std::string_view section, std::string_view key, double value) {
    WriteString(section, key, FormatFloat15(value));
}

std::string IniFile::ToText() const {
    std::string out;
    for (std::size_t i = 0; i < sections_.size(); ++i) {
        if (i > 0) out += '\n';
        out += '[' + sections_[i].name + "]\n";
        for (const Entry& e : sections_[i].entries) {
            out += e.key + '=' + EncodeValue(e.value) + '\n';
        }
    }
    return out;
}

bool IniFile::Save(const std::string& path) const {
    return WriteFileAtomically(path, ToText());
}

bool WriteFileAtomically(const std::string& path, std::string_view text) {
    if (path.empty()) return false;
    CreateFolders(DirectoryOf(path));
    return WriteFileAtomically(path, text.data(), text.size());
}

} // namespace bw
