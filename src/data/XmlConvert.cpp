#include "data/XmlConvert.h"

#include "data/AsciiText.h"
#include "data/Xml.h"

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>

#include <locale.h>

namespace bw {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool IsSpace(char c) {
    return c == ' ' || c == '\t';
}

} // namespace

int32_t TextToIntDef(std::string_view text, int32_t def) {
    std::size_t i = 0;
    while (i < text.size() && IsSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i >= text.size()) return def;

    bool hex = false;
    if (text[i] == '$' || text[i] == 'x' || text[i] == 'X') {
        hex = true;
        ++i;
    } else if (text[i] == '0' && i + 1 < text.size() &&
               (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i >= text.size()) return def;

    if (hex) {
        uint32_t value = 0;
        int significant = 0;
        for (; i < text.size(); ++i) {
            const int d = HexDigit(text[i]);
            if (d < 0) return def;
            if (significant > 0 || d != 0) ++significant;
            if (significant > 8) return def;
            value = (value << 4) | static_cast<uint32_t>(d);
        }
        if (negative) value = 0u - value;
        return static_cast<int32_t>(value);
    }

    int64_t value = 0;
    for (; i < text.size(); ++i) {
        if (!IsDigit(text[i])) return def;
        value = value * 10 + (text[i] - '0');
        if (value > int64_t(INT32_MAX) + 1) return def;
    }
    if (negative) value = -value;
    if (value > INT32_MAX || value < INT32_MIN) return def;
    return static_cast<int32_t>(value);
}

bool TextToBool(std::string_view text, bool def) {
    if (AsciiSameText(text, "yes") || AsciiSameText(text, "true")) return true;
    if (AsciiSameText(text, "no") || AsciiSameText(text, "false")) return false;
    return def;
}

float TextToFloatDef(std::string_view text, float def) {
    std::size_t b = 0;
    std::size_t e = text.size();
    while (b < e && IsSpace(text[b])) ++b;
    while (e > b && IsSpace(text[e - 1])) --e;
    const std::string_view t = text.substr(b, e - b);

    // Check the shape first: from_chars would also take "inf", "nan" and hexadecimal forms.
    std::size_t i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) {
        negative = t[i] == '-';
        ++i;
    }
    const std::size_t numberStart = i;
    std::size_t digits = 0;
    while (i < t.size() && IsDigit(t[i])) ++i, ++digits;
    if (i < t.size() && t[i] == '.') {
        ++i;
        while (i < t.size() && IsDigit(t[i])) ++i, ++digits;
    }
    if (digits == 0) return def;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
        std::size_t expDigits = 0;
        while (i < t.size() && IsDigit(t[i])) ++i, ++expDigits;
        if (expDigits == 0) return def;
    }
    if (i != t.size()) return def;

    // strtod in the "C" locale reads the decimal point as "." whatever the user's locale;
    // it gives infinity on overflow and zero or a denormal on underflow.
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t(0));
    const std::string number(t.substr(numberStart));
    const double value = cLocale ? strtod_l(number.c_str(), nullptr, cLocale) : 0.0;
    if (!std::isfinite(value)) return def;
    if (std::fabs(value) > static_cast<double>(std::numeric_limits<float>::max())) return def;
    const float f = static_cast<float>(value);
    return negative ? -f : f;
}

bool TextIsTrue(std::string_view text, bool force) {
    if (force) return true;
    const std::string lower = AsciiLowerCase(text);
    return lower == "true" || lower == "yes";
}

TPoint2 ReadPoint(const TXMLNode* node, TPoint2 def) {
    if (!node) return def;
    return {TextToFloatDef(node->GetFieldValue("x"), def.x),
            TextToFloatDef(node->GetFieldValue("y"), def.y)};
}

int BlendNameToCode(std::string_view text) {
    const std::string lower = AsciiLowerCase(text);
    if (lower == "fxushadow") return 2;
    if (lower == "fxuadd") return 3;
    if (lower == "fxumultiply") return 4;
    return 1;
}

std::string BlendCodeToName(int code) {
    switch (code) {
    case 1:
        return "fxuBlend";
    case 2:
        return "fxuShadow";
    case 3:
        return "fxuAdd";
    case 4:
        return "fxuMultiply";
    default:
        return "fxuNoBlend";
    }
}

} // namespace bw
