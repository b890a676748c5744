// Conversions that every XML reader applies to attribute texts.
#pragma once

#include "render/Types.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace bw {

class TXMLNode;

// Optional leading blanks (space, TAB), optional sign, then decimal digits, or up to eight
// significant hexadecimal digits after "$", "x" or "0x" (their 32-bit pattern, so the top bit
// makes the value negative). Anything else — trailing blanks, out-of-range decimals, empty
// text — gives the default.
int32_t TextToIntDef(std::string_view text, int32_t def);
inline int32_t TextToInt(std::string_view text) {
    return TextToIntDef(text, 0);
}

// "yes"/"true" and "no"/"false" in any letter case; anything else gives the default.
bool TextToBool(std::string_view text, bool def = false);

// A decimal number with "." whatever the locale: optional blanks, sign, digits with an optional
// fraction and exponent, optional blanks. Rounded to single precision; anything else, and a
// value beyond the single range, gives the default.
float TextToFloatDef(std::string_view text, float def);
inline float TextToFloat(std::string_view text) {
    return TextToFloatDef(text, 0.0f);
}

// True when Force is set or the text in lower case is "true" or "yes".
bool TextIsTrue(std::string_view text, bool force = false);

// The attributes "x" and "y" of the node, each defaulting to the default's component; the
// default itself for a null node.
TPoint2 ReadPoint(const TXMLNode* node, TPoint2 def = {});

// "fxushadow" 2, "fxuadd" 3, "fxumultiply" 4 (any letter case), anything else 1.
int BlendNameToCode(std::string_view text);
// 1 "fxuBlend", 2 "fxuShadow", 3 "fxuAdd", 4 "fxuMultiply", anything else "fxuNoBlend".
std::string BlendCodeToName(int code);

} // namespace bw
