#include "data/data_test_util.h"

#include "data/KilnArchive.h"
#include "data/XmlLoad.h"

#include <gtest/gtest.h>
#include <sstream>

namespace bw {
namespace {

TEST(XmlNode, WriterFormat) {
    TXMLNode leaf("leaf");
    EXPECT_EQ(leaf.GetCode(), "<leaf />\r\n");
    leaf.AddField("a", "1");
    leaf.AddField("b", "two words");
    EXPECT_EQ(leaf.GetCode(), "<leaf a=\"1\" b=\"two words\" />\r\n");

    TXMLNode root("root");
    root.AddField("version", "2");
    root.AddChild("child");
    EXPECT_EQ(root.GetCode(), "<root version=\"2\">\r\n <child />\r\n</root>\r\n");

    TXMLNode deep("a");
    deep.AddChild("b")->AddChild("c")->AddField("x", "y");
    deep.AddChild("d");
    EXPECT_EQ(deep.GetCode(), "<a>\r\n <b>\r\n  <c x=\"y\" />\r\n </b>\r\n <d />\r\n</a>\r\n");
    std::ostringstream streamed;
    deep.WriteCode(streamed);
    EXPECT_EQ(streamed.str(), deep.GetCode());
}

TEST(XmlNode, WrittenCodeReadsBackUnlessAValueHoldsADoubleQuote) {
    const auto tree = XMLFromText("<r a='x' b=\"&amp;\"><c d='1'/><e><f/></e></r>");
    ASSERT_NE(tree, nullptr);
    const auto again = XMLFromText(tree->GetCode());
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->GetCode(), tree->GetCode());

    TXMLNode quoted("q");
    quoted.AddField("v", "say \"hi\"");
    EXPECT_EQ(quoted.GetCode(), "<q v=\"say \"hi\"\" />\r\n");
    const auto back = XMLFromText(quoted.GetCode());
    EXPECT_TRUE(back == nullptr || back->GetFieldValue("v") != "say \"hi\"");
}

TEST(XmlNode, LookupsAndFieldAccess) {
    TXMLNode n("node");
    n.AddChild("Item")->AddField("id", "1");
    n.AddChild("item")->AddField("id", "2");
    n.AddChild("other");
    EXPECT_EQ(n.FindChildByName("ITEM"), 0);
    EXPECT_EQ(n.GetChildNode("item")->GetFieldValue("ID"), "1");
    EXPECT_EQ(n.FindChildByName("items"), -1);
    EXPECT_EQ(n.GetChildNode("none"), nullptr);
    EXPECT_EQ(n.GetChild(3), nullptr);
    EXPECT_EQ(n.GetChild(-1), nullptr);
    EXPECT_EQ(n.GetField(0), nullptr);

    EXPECT_EQ(n.GetFieldValue("missing"), "");
    n.SetFieldValue("Size", "10");
    n.SetFieldValue("size", "20"); // replaces the first, keeps its name
    EXPECT_EQ(n.FieldCount(), 1);
    EXPECT_EQ(n.GetField(0)->Name, "Size");
    EXPECT_EQ(n.GetFieldValue("SIZE"), "20");
    n.GetField(0)->Value = "30"; // changed in place
    EXPECT_EQ(n.FieldValue("size"), "30");
    n.AddField("size", "dup");
    EXPECT_EQ(n.FindFieldByName("size"), 0);
}

TEST(XmlNode, EnumeratorSeesChildrenAddedDuringTheWalk) {
    TXMLNode n("n");
    n.AddChild("a");
    n.AddChild("b");
    std::string seen;
    auto e = n.GetEnumerator();
    while (e.MoveNext()) {
        seen += e.Current()->Name();
        if (seen.size() == 1) n.AddChild("c");
    }
    EXPECT_EQ(seen, "abc");
    EXPECT_FALSE(e.MoveNext());

    std::string ranged;
    for (const TXMLNode& c : static_cast<const TXMLNode&>(n)) ranged += c.Name();
    EXPECT_EQ(ranged, "abc");
    TXMLNode empty("e");
    auto none = empty.GetEnumerator();
    EXPECT_FALSE(none.MoveNext());
}

TEST(XmlNode, SavingEncodesWithoutLoss) {
    test::TempDir dir;
    TXMLNode ascii("a");
    ascii.AddField("v", "line1\nline2");
    ascii.SaveToFile(dir.File("ascii.xml"));
    // Line breaks pass through a list of lines: every one becomes CR LF.
    EXPECT_EQ(test::ReadBytes(dir.File("ascii.xml")),
              test::Bytes("<a v=\"line1\r\nline2\" />\r\n"));

    TXMLNode latin("b");
    latin.AddField("v", "caf\xC3\xA9 \xE2\x82\xAC"); // "café €": both exist in Windows-1252
    std::ostringstream s;
    ASSERT_TRUE(latin.SaveToStream(s));
    EXPECT_EQ(s.str(), "<b v=\"caf\xE9 \x80\" />\r\n");

    TXMLNode wide("c");
    wide.AddField("v", "\xE6\x97\xA5"); // a CJK character: UTF-8 behind a byte-order mark
    wide.SaveToFile(dir.File("wide.xml"));
    EXPECT_EQ(test::ReadBytes(dir.File("wide.xml")),
              test::Bytes("\xEF\xBB\xBF<c v=\"\xE6\x97\xA5\" />\r\n"));
    for (const char* name : {"wide.xml", "ascii.xml"}) {
        const auto back = XMLFromFile(dir.File(name));
        ASSERT_NE(back, nullptr);
    }
    EXPECT_EQ(XMLFromFile(dir.File("wide.xml"))->GetFieldValue("v"), "\xE6\x97\xA5");
    std::istringstream in(s.str());
    EXPECT_EQ(XMLFromStream(in)->GetFieldValue("v"), "caf\xC3\xA9 \xE2\x82\xAC");

    EXPECT_THROW(ascii.SaveToFile(dir.File("no/such/folder/x.xml")), std::runtime_error);
}

TEST(XmlNode, SavingToArchives) {
    test::TempDir dir;
    const std::string path = dir.File("docs.dan");
    TXMLNode doc("doc");
    doc.AddField("n", "1");
    EXPECT_FALSE(doc.SaveToArchive("doc.xml", static_cast<TKilnArchive*>(nullptr)));
    ASSERT_TRUE(doc.SaveToArchive("doc.xml", path));
    TKilnArchive archive;
    archive.SetOpenMode(aomReadOnly);
    ASSERT_TRUE(archive.OpenFile(path));
    EXPECT_EQ(archive.RecordType(0), artFile);
    EXPECT_GT(archive.RecordDate(0), 40000.0);              // dated now
    EXPECT_FALSE(doc.SaveToArchive("other.xml", &archive)); // read-only archive
    const auto back = XMLFromArchive("DOC.XML", &archive);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->GetCode(), doc.GetCode());
}

} // namespace
} // namespace bw
