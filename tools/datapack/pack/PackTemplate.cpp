#include "pack/PackTemplate.h"

#include <cmath>
#include <cstdio>

namespace bw::pack {

std::string FormatNumber(double value) {
    if (!std::isfinite(value)) return "0";
    const double rounded = std::round(value * 1e6) / 1e6;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.6f", rounded);
    std::string text = buffer;
    const std::size_t dot = text.find('.');
    if (dot != std::string::npos) {
        std::size_t end = text.size();
        while (end > dot + 1 && text[end - 1] == '0') --end;
        if (end == dot + 1) --end;
        text.resize(end);
    }
    if (text == "-0") text = "0";
    return text;
}

namespace {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

int LineOf(std::string_view text, std::size_t at) {
    int line = 1;
    for (std::size_t i = 0; i < at && i < text.size(); ++i) line += text[i] == '\n';
    return line;
}

} // namespace

bool SubstituteTemplate(std::string_view text, const ParamMap& params, std::string& out,
                        std::string& error) {
    out.clear();
    out.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t open = text.find("{{", pos);
        if (open == std::string_view::npos) {
            out.append(text.substr(pos));
            break;
        }
        out.append(text.substr(pos, open - pos));
        const std::size_t close = text.find("}}", open + 2);
        const std::size_t lineEnd = text.find('\n', open + 2);
        if (close == std::string_view::npos ||
            (lineEnd != std::string_view::npos && lineEnd < close)) {
            error = "line " + std::to_string(LineOf(text, open)) + ": \"{{\" is not closed";
            return false;
        }
        const std::string name(Trim(text.substr(open + 2, close - open - 2)));
        const auto it = params.find(name);
        if (it == params.end()) {
            error =
                "line " + std::to_string(LineOf(text, open)) + ": no value for {{" + name + "}}";
            return false;
        }
        out.append(it->second);
        pos = close + 2;
    }
    return true;
}

} // namespace bw::pack
