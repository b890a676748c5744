// SVG templates: the text of a picture in which every "{{name}}" is replaced by the value of a
// parameter before it is rendered, once per frame.
#pragma once

#include <map>
#include <string>
#include <string_view>

namespace bw::pack {

// Parameter values by name, already formatted as text.
using ParamMap = std::map<std::string, std::string>;

// A number as plain decimal text: no exponent, at most six decimals, no trailing zeros,
// no "-0" ("22.5", "0", "-3.125", "1000000").
std::string FormatNumber(double value);

// Replaces every "{{name}}" (blanks around the name allowed) by the parameter's value. False,
// with the reason in `error`, for a placeholder without a value or one that is not closed.
bool SubstituteTemplate(std::string_view text, const ParamMap& params, std::string& out,
                        std::string& error);

} // namespace bw::pack
