#include "data/data_test_util.h"

#include "data/FileNameAliases.h"
#include "data/KilnArchive.h"
#include "data/XmlEncoding.h"
#include "data/XmlLoad.h"

#include <gtest/gtest.h>
#include <sstream>

namespace bw {
namespace {

std::string Value(const std::unique_ptr<TXMLNode>& n) {
    return n ? n->GetFieldValue("v") : std::string("<null>");
}

std::unique_ptr<TXMLNode> FromBytes(const std::string& bytes) {
    return XMLFromBytes(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

// UTF-16 bytes of an ASCII text with a byte-order mark.
std::string Utf16(const std::string& ascii, bool bigEndian) {
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char c : ascii) {
        if (bigEndian) out += '\0';
        out += c;
        if (!bigEndian) out += '\0';
    }
    return out;
}

TEST(XmlLoad, ByteOrderMarksSelectTheEncoding) {
    EXPECT_EQ(Value(FromBytes("\xEF\xBB\xBF<a v='caf\xC3\xA9'/>")), "caf\xC3\xA9");
    // Without a mark the bytes are Windows-1252.
    EXPECT_EQ(Value(FromBytes("<a v='caf\xE9 \x80'/>")), "caf\xC3\xA9 \xE2\x82\xAC");
    EXPECT_EQ(Value(FromBytes(Utf16("<a v='x'/>", false))), "x");
    EXPECT_EQ(Value(FromBytes(Utf16("<a v='x'/>", true))), "x");
    // A non-BMP character in UTF-16 LE (U+1F426) and an unpaired surrogate.
    std::string le = Utf16("<a v='", false) + std::string("\x3D\xD8\x26\xDC", 4) +
                     std::string("\x3D\xD8", 2) + Utf16("'/>", false).substr(2);
    EXPECT_EQ(Value(FromBytes(le)), "\xF0\x9F\x90\xA6\xEF\xBF\xBD");
    // An odd final byte of UTF-16 is ignored.
    EXPECT_EQ(Value(FromBytes(Utf16("<a v='x'/>", false) + "\x01")), "x");
}

TEST(XmlLoad, LineBreaksBecomeCrLfInsideValues) {
    EXPECT_EQ(Value(FromBytes("<a v='1\n2\r3\r\n4'/>")), "1\r\n2\r\n3\r\n4");
    EXPECT_EQ(NormaliseLineBreaks("a"), "a\r\n");
    EXPECT_EQ(NormaliseLineBreaks("a\r\n"), "a\r\n");
    EXPECT_EQ(NormaliseLineBreaks("\n\n"), "\r\n\r\n");
    EXPECT_EQ(NormaliseLineBreaks(""), "");
    // Text given directly is parsed as it is.
    EXPECT_EQ(Value(XMLFromText("<a v='1\n2'/>")), "1\n2");
    EXPECT_EQ(Value(XMLFromStrings({"<a v='1", "2'/>"})), "1\r\n2");
    EXPECT_EQ(XMLFromStrings({}), nullptr);
}

TEST(XmlLoad, FilesAndStreams) {
    test::TempDir dir;
    test::WriteText(dir.File("ok.xml"), "<a v='file'/>");
    test::WriteText(dir.File("bad.xml"), "<a v='file'>");
    test::WriteText(dir.File("empty.xml"), "");
    EXPECT_EQ(Value(XMLFromFile(dir.File("ok.xml"))), "file");
    EXPECT_EQ(XMLFromFile(dir.File("bad.xml")), nullptr);
    EXPECT_EQ(XMLFromFile(dir.File("empty.xml")), nullptr);
    EXPECT_EQ(XMLFromFile(dir.File("missing.xml")), nullptr);
    EXPECT_EQ(XMLFromFile(dir.Path().string()), nullptr); // a folder

    std::istringstream in("garbage<a v='stream'/>");
    in.seekg(7);
    EXPECT_EQ(Value(XMLFromStream(in)), "stream");
}

TEST(XmlLoad, ArchivesAndMediaLinks) {
    test::TempDir dir;
    const std::string path = dir.File("docs.dan");
    {
        TKilnArchive writer;
        ASSERT_TRUE(writer.OpenFile(path));
        const std::string doc = "\xEF\xBB\xBF<doc v='archived'/>";
        ASSERT_TRUE(writer.WriteRecord("Doc.xml", doc.data(), doc.size()));
        const std::string bad = "<doc>";
        ASSERT_TRUE(writer.WriteRecord("bad.xml", bad.data(), bad.size()));
    }
    TKilnArchive archive;
    archive.SetOpenMode(aomReadOnly);
    ASSERT_TRUE(archive.OpenFile(path));
    EXPECT_EQ(Value(XMLFromArchive("doc.XML", &archive)), "archived");
    EXPECT_EQ(XMLFromArchive("bad.xml", &archive), nullptr);
    EXPECT_EQ(XMLFromArchive("missing.xml", &archive), nullptr);
    EXPECT_EQ(XMLFromArchive("doc.xml", nullptr), nullptr);

    EXPECT_EQ(Value(XMLFromArchiveFile("DOC.xml", path)), "archived");
    EXPECT_EQ(XMLFromArchiveFile("doc.xml", dir.File("missing.dan")), nullptr);
    EXPECT_FALSE(std::filesystem::exists(dir.File("missing.dan"))); // opened read-only

    // Media links: an archive link and a plain file link, both through aliases.
    test::WriteText(dir.File("loose.xml"), "<doc v='loose'/>");
    FileNameAliases().Define("TestDocs", path);
    FileNameAliases().Define("TestLoose", dir.File("loose.xml"));
    EXPECT_EQ(Value(XMLFromMediaLink(" testdocs | Doc.xml ")), "archived");
    EXPECT_EQ(Value(XMLFromMediaLink("TestLoose")), "loose");
    EXPECT_EQ(XMLFromMediaLink("testdocs|missing.xml"), nullptr);
    EXPECT_EQ(XMLFromMediaLink("no/such/file.xml"), nullptr);
    FileNameAliases().Undefine("TestDocs");
    FileNameAliases().Undefine("TestLoose");
}

} // namespace
} // namespace bw
