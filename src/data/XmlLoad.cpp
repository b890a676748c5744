#include "data/XmlLoad.h"

#include "data/KilnArchive.h"
#include "data/KilnAuth.h"
#include "data/MediaLink.h"
#include "data/XmlEncoding.h"

#include <fstream>
#include <istream>

namespace bw {

std::unique_ptr<TXMLNode> XMLFromBytes(const uint8_t* data, std::size_t size, XmlNames names,
                                       XmlParseError* error) {
    if (size == 0 || size > MaxXmlSourceBytes) {
        if (error != nullptr)
            *error =
                XmlParseError{1, size == 0 ? "the document is empty" : "the document is too large"};
        return nullptr;
    }
    return XMLFromText(NormaliseLineBreaks(DecodeTextBytes(data, size)), names, error);
}

std::unique_ptr<TXMLNode> XMLFromStrings(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) {
        text += line;
        text += "\r\n";
    }
    return XMLFromText(text);
}

std::unique_ptr<TXMLNode> XMLFromStream(std::istream& stream) {
    std::string bytes;
    char buf[64 * 1024];
    while (stream) {
        stream.read(buf, sizeof buf);
        const auto got = static_cast<std::size_t>(stream.gcount());
        if (bytes.size() + got > MaxXmlSourceBytes) return nullptr;
        bytes.append(buf, got);
    }
    if (stream.bad()) return nullptr;
    return XMLFromBytes(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

std::unique_ptr<TXMLNode> XMLFromFile(const std::string& fileName) {
    std::ifstream f(fileName, std::ios::binary);
    if (!f) return nullptr;
    return XMLFromStream(f);
}

std::unique_ptr<TXMLNode> XMLFromArchive(std::string_view key, TKilnArchive* archive,
                                         XmlNames names) {
    if (!archive) return nullptr;
    std::vector<uint8_t> data;
    {
        TKilnAuthSession auth(nullptr, archive);
        if (!archive->ReadMemStream(key, data)) return nullptr;
    }
    return XMLFromBytes(data.data(), data.size(), names);
}

std::string XmlRecordProblem(std::string_view key, TKilnArchive* archive) {
    if (!archive || !archive->Ready()) return "cannot be read: the archive is not open";
    std::vector<uint8_t> data;
    // Read by key first: a record that an override archive supplies counts, also where this
    // archive has no such key (the replay harness adds levels this way).
    {
        TKilnAuthSession auth(nullptr, archive);
        if (archive->ReadMemStream(key, data))
            return XMLFromBytes(data.data(), data.size()) ? std::string() : "does not parse";
    }
    const int index = archive->IndexOf(key);
    if (index < 0) return "not found";
    ArchiveReadResult read;
    {
        TKilnAuthSession auth(nullptr, archive);
        read = archive->ReadRecordAt(index, data);
    }
    if (read != ArchiveReadResult::Ok)
        return std::string("cannot be read: ") + ArchiveReadResultText(read);
    if (!XMLFromBytes(data.data(), data.size())) return "does not parse";
    return {};
}

std::unique_ptr<TXMLNode> XMLFromArchiveFile(std::string_view key,
                                             const std::string& archiveFileName) {
    TKilnArchive archive;
    archive.SetOpenMode(aomReadOnly);
    if (!archive.OpenFile(archiveFileName)) return nullptr;
    return XMLFromArchive(key, &archive);
}

std::unique_ptr<TXMLNode> XMLFromMediaLink(std::string_view link) {
    if (IsArchiveLink(link)) return XMLFromArchiveFile(LinkKey(link), LinkArchivePath(link));
    return XMLFromFile(LinkArchivePath(link));
}

} // namespace bw
