#include "data/TextRecords.h"

#include <charconv>

namespace bw {

namespace {

// A whole decimal integer with an optional sign, within the range of int.
bool ParsePlaceholderNumber(std::string_view text, int& value) {
    if (text.empty()) return false;
    std::size_t start = text.front() == '+' || text.front() == '-' ? 1 : 0;
    if (start == text.size()) return false;
    for (std::size_t i = start; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
    }
    // from_chars takes a minus sign but not a plus sign.
    if (text.front() == '+') text.remove_prefix(1);
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

} // namespace

std::string ReplacePlaceholders(std::string_view text, const TTSTextVars& values) {
    std::string result(text);
    std::size_t i = 0;
    while (i + 1 < result.size()) {
        if (result[i] != '%' || result[i + 1] != '{') {
            ++i;
            continue;
        }
        const std::size_t close = result.find('}', i + 2);
        int number = 0;
        if (close == std::string::npos ||
            !ParsePlaceholderNumber(std::string_view(result).substr(i + 2, close - i - 2),
                                    number)) {
            ++i;
            continue;
        }
        result.erase(i, close - i + 1);
        if (number >= 0 && static_cast<std::size_t>(number) < values.size()) {
            const std::string& value = values[static_cast<std::size_t>(number)];
            result.insert(i, value);
            // A value is inserted as it is: a player's name that looks like a placeholder
            // must not be expanded (it could grow without end).
            i += value.size();
        }
    }
    return result;
}

TTSTextArray ReplacePlaceholdersInLines(const TTSTextArray& lines, const TTSTextVars& values) {
    TTSTextArray result;
    result.reserve(lines.size());
    for (const std::string& line : lines) result.push_back(ReplacePlaceholders(line, values));
    return result;
}

TTSTextVars MakeTextVars(std::string_view a) {
    return TTSTextVars{std::string(a)};
}

TTSTextVars MakeTextVars(std::string_view a, std::string_view b) {
    return TTSTextVars{std::string(a), std::string(b)};
}

} // namespace bw
