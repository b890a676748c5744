// Loading XML trees from text, files, streams, archive records and media links. Every loader
// returns a new tree owned by the caller, or null; none throws. Byte sources are decoded by
// their byte-order mark (Windows-1252 without one) and their line breaks normalised to CR LF
// before parsing.
#pragma once

#include "data/Xml.h"
#include "data/XmlParser.h"

#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace bw {

class TKilnArchive;

// Largest byte source the loaders accept (a guard against absurd allocations).
constexpr std::size_t MaxXmlSourceBytes = 256u * 1024u * 1024u;

// Parses decoded bytes (byte-order mark, line breaks) as a document; `error`, when passed,
// tells why there is none (its line counts the source's lines).
std::unique_ptr<TXMLNode> XMLFromBytes(const uint8_t* data, std::size_t size, XmlNames names,
                                       XmlParseError* error = nullptr);
inline std::unique_ptr<TXMLNode> XMLFromBytes(const uint8_t* data, std::size_t size,
                                              XmlParseError* error = nullptr) {
    return XMLFromBytes(data, size, XmlNames::Plain, error);
}
// The lines joined with CR LF.
std::unique_ptr<TXMLNode> XMLFromStrings(const std::vector<std::string>& lines);
std::unique_ptr<TXMLNode> XMLFromFile(const std::string& fileName);
// The bytes from the stream's position to its end.
std::unique_ptr<TXMLNode> XMLFromStream(std::istream& stream);
// One record of an open archive; the key providers are asked around the read.
std::unique_ptr<TXMLNode> XMLFromArchive(std::string_view key, TKilnArchive* archive,
                                         XmlNames names = XmlNames::Plain);
// Why XMLFromArchive gives no tree for the record, to be logged after the archive and the
// key: "cannot be read: the archive is not open", "not found", "cannot be read: " and the
// archive's reason, or "does not parse". Empty when the record reads and parses.
std::string XmlRecordProblem(std::string_view key, TKilnArchive* archive);
// One record of an archive file, opened read-only for this read.
std::unique_ptr<TXMLNode> XMLFromArchiveFile(std::string_view key,
                                             const std::string& archiveFileName);
// "archive | key" goes to XMLFromArchiveFile, any other link is a file path.
std::unique_ptr<TXMLNode> XMLFromMediaLink(std::string_view link);

} // namespace bw
