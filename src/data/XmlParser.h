// The XML parser. It knows elements, attributes (unquoted, '…' and "…" values), comments,
// processing instructions and doctype lines; character data is dropped, entities are not
// decoded. Any error discards the whole tree. The parser keeps its own explicit stack, so the
// nesting depth is limited only by memory.
#pragma once

#include "data/Xml.h"

#include <memory>
#include <string>
#include <string_view>

namespace bw {

// Where and why a document did not parse.
struct XmlParseError {
    int Line = 0;     // 1-based line of the text at which the fault shows
    std::string What; // what is wrong there, for a person to read
};

// Which characters element and attribute names may hold. The plain rule ends a name at "-",
// ".", ":" and the other delimiters. The particle descriptions write one element name with a
// hyphen ("particle-group"), so their reader lets "-" continue a name.
enum class XmlNames { Plain, WithHyphen };

// Parses one document; null for an empty text, a text without an element and any error
// (described in `error` when one is passed). Whatever follows the first top-level element is
// ignored.
std::unique_ptr<TXMLNode> XMLFromText(std::string_view text, XmlNames names,
                                      XmlParseError* error = nullptr);
inline std::unique_ptr<TXMLNode> XMLFromText(std::string_view text,
                                             XmlParseError* error = nullptr) {
    return XMLFromText(text, XmlNames::Plain, error);
}

} // namespace bw
