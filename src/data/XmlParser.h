// The XML parser. It knows elements, attributes (unquoted, '…' and "…" values), comments,
// processing instructions and doctype lines; character data is dropped, entities are not
// decoded. Any error discards the whole tree. The parser keeps its own explicit stack, so the
// nesting depth is limited only by memory.
#pragma once

#include "data/Xml.h"

#include <memory>
#include <string_view>

namespace bw {

// Which characters element and attribute names may hold. The plain rule ends a name at "-",
// ".", ":" and the other delimiters. The particle descriptions write one element name with a
// hyphen ("particle-group"), so their reader lets "-" continue a name.
enum class XmlNames { Plain, WithHyphen };

// Parses one document; null for an empty text, a text without an element and any error.
// Whatever follows the first top-level element is ignored.
std::unique_ptr<TXMLNode> XMLFromText(std::string_view text, XmlNames names = XmlNames::Plain);

} // namespace bw
