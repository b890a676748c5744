#include "data/XmlParser.h"

#include <gtest/gtest.h>

namespace bw {
namespace {

std::string Field(const TXMLNode& n, int i) {
    return n.GetField(i)->Name + "=" + n.GetField(i)->Value;
}

TEST(XmlParser, AttributeValueForms) {
    const auto n = XMLFromText("<item plain=abc apos='it\"s' quoted=\"a > b's\"/>");
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(n->Name(), "item");
    ASSERT_EQ(n->FieldCount(), 3);
    EXPECT_EQ(Field(*n, 0), "plain=abc");
    EXPECT_EQ(Field(*n, 1), "apos=it\"s");
    EXPECT_EQ(Field(*n, 2), "quoted=a > b's");

    // Blanks around "=", line breaks inside quotes, entities kept verbatim.
    const auto m = XMLFromText("<a  x = \"1\"\r\n y\t=\t'two\r\nlines' z=\"&amp;&lt;\" />");
    ASSERT_NE(m, nullptr);
    ASSERT_EQ(m->FieldCount(), 3);
    EXPECT_EQ(Field(*m, 0), "x=1");
    EXPECT_EQ(Field(*m, 1), "y=two\r\nlines");
    EXPECT_EQ(Field(*m, 2), "z=&amp;&lt;");
}

TEST(XmlParser, AttributesWithoutValues) {
    const auto n = XMLFromText("<a flag other />");
    ASSERT_NE(n, nullptr);
    ASSERT_EQ(n->FieldCount(), 2);
    EXPECT_EQ(Field(*n, 0), "flag=");
    EXPECT_EQ(Field(*n, 1), "other=");
    const auto m = XMLFromText("<a flag/>");
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(Field(*m, 0), "flag=");
    // "=" with nothing usable after it gives an empty value.
    const auto k = XMLFromText("<a v=/>");
    ASSERT_NE(k, nullptr);
    EXPECT_EQ(Field(*k, 0), "v=");
    // Duplicates are kept; lookups find the first.
    const auto d = XMLFromText("<a v='1' V='2'/>");
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->FieldCount(), 2);
    EXPECT_EQ(d->GetFieldValue("v"), "1");
}

TEST(XmlParser, StructureCommentsAndSkippedMarkup) {
    const auto n = XMLFromText("<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
                               "<!-- a comment <with> markup -->\r\n"
                               "<!DOCTYPE levels>\r\n"
                               "<Levels count=\"2\"><!-- c --> text &amp; more\r\n"
                               "  <Level id=1>some text<Sub/>more text</level>\r\n"
                               "  <?pi ignored?><!doctype inner>\r\n"
                               "  <Level <!-- in a tag --> id=2 />\r\n"
                               "</LEVELS>\r\n"
                               "<Second/>");
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(n->Name(), "Levels");
    ASSERT_EQ(n->ChildCount(), 2);
    EXPECT_EQ(n->FieldCount(), 1);
    const TXMLNode* first = n->GetChild(0);
    EXPECT_EQ(first->GetFieldValue("id"), "1");
    ASSERT_EQ(first->ChildCount(), 1);
    EXPECT_EQ(first->GetChild(0)->Name(), "Sub");
    EXPECT_EQ(first->GetChild(0)->ChildCount(), 0);
    EXPECT_EQ(n->GetChild(1)->GetFieldValue("id"), "2");

    // Empty element names are names too.
    const auto e = XMLFromText("<><></></>");
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->Name(), "");
    EXPECT_EQ(e->ChildCount(), 1);
}

TEST(XmlParser, FailingDocumentsYieldNothing) {
    const char* cases[] = {
        "",                            // empty text
        "   \r\n ",                    // no element
        "<!-- only a comment -->",     // no element
        "text <a/>",                   // does not begin with markup
        "<a = \"1\"/>",                // "=" where a name is expected
        "<a b",                        // attribute and then the end
        "<a>",                         // not closed
        "<a><b></a>",                  // closing tag of another element
        "<a></b>",                     // closing tag of another element
        "<a></>",                      // empty closing name against a non-empty one
        "<a></a",                      // closing tag without ">"
        "<a></a x>",                   // closing tag with more in it
        "<a><![CDATA[x]]></a>",        // CDATA
        "<my-element/>",               // "-" is not a name character
        "<a.b/>",                      // "." is not a name character
        "<ns:a/>",                     // ":" is not a name character
        "<a v=\"unclosed/>",           // quote runs to the end
        "<a v=-1/>",                   // "-" cannot start an unquoted value
        "<a><b>bad child</x><c/></a>", // an error in a child fails everything
        "<a><b/><c></a>",              // unclosed child
        "<a>",                         // ends inside the content
    };
    for (const char* text : cases) EXPECT_EQ(XMLFromText(text), nullptr) << text;
}

TEST(XmlParser, FailuresTellTheLineAndWhatIsWrong) {
    struct Case {
        const char* Text;
        int Line;
        const char* What;
    };
    const Case cases[] = {
        {"", 1, "the document is empty"},
        {"<!-- only a comment -->\r\n", 2, "the document holds no element"},
        {"\r\n\r\ntext <a/>", 3, "text before the first element"},
        {"<a>\r\n  <b>\r\n  </c>\r\n</a>", 3, "</c> closes <b> (opened on line 2)"},
        {"<a>\r\n <b x=\"1>\r\n</a>\r\n", 2, "a quoted attribute value of <b> is never closed"},
        {"<a>\r\n<b c=\"1\" ! />\r\n</a>", 2, "unexpected \"!\" in the start tag of <b>"},
        {"<a>\r\n\r\n</a x>", 3, "the closing tag </a> is not ended by \">\""},
        {"<a>\r\n <b/>\r\n", 3, "<a> (opened on line 1) is never closed"},
        {"<a>\r\n <b\r\n", 2, "the start tag of <b> is not ended by \">\""},
        {"<a\r\n b", 2, "the text ends inside the start tag of <a>"},
    };
    for (const Case& c : cases) {
        XmlParseError error;
        EXPECT_EQ(XMLFromText(c.Text, &error), nullptr) << c.Text;
        EXPECT_EQ(error.Line, c.Line) << c.Text;
        EXPECT_EQ(error.What.rfind(c.What, 0), 0u) << c.Text << " gave: " << error.What;
    }
    XmlParseError untouched{7, "kept"};
    EXPECT_NE(XMLFromText("<a/>", &untouched), nullptr);
    EXPECT_EQ(untouched.Line, 7);
}

TEST(XmlParser, ClosingTagsIgnoreAsciiLetterCase) {
    EXPECT_NE(XMLFromText("<Text></TEXT>"), nullptr);
    EXPECT_NE(XMLFromText("<text></ text >"), nullptr);
    // Non-ASCII letters do not fold: "Ä" does not close "ä".
    EXPECT_EQ(XMLFromText("<\xC3\xA4></\xC3\x84>"), nullptr);
    EXPECT_NE(XMLFromText("<\xC3\xA4></\xC3\xA4>"), nullptr);
}

TEST(XmlParser, NameCharacters) {
    // "_", "`", "{", "|", "}", "~", digits and non-ASCII bytes belong to names.
    const auto n = XMLFromText("<_a`{|}~9\xC3\xA9 k=v\xC3\xA9/>");
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(n->Name(), "_a`{|}~9\xC3\xA9");
    EXPECT_EQ(n->GetFieldValue("k"), "v\xC3\xA9");
    // A NUL byte is blank.
    const std::string withNul("<a\0b='1'/>", 10);
    const auto m = XMLFromText(withNul);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->GetFieldValue("b"), "1");
}

TEST(XmlParser, DeepNestingNeitherOverflowsNorFails) {
    constexpr int kDepth = 100000;
    std::string text;
    text.reserve(kDepth * 8);
    for (int i = 0; i < kDepth; ++i) text += "<n>";
    std::string open = text;
    for (int i = 0; i < kDepth; ++i) text += "</n>";
    auto tree = XMLFromText(text);
    ASSERT_NE(tree, nullptr);
    int depth = 1;
    for (const TXMLNode* n = tree.get(); n->ChildCount() > 0; n = n->GetChild(0)) ++depth;
    EXPECT_EQ(depth, kDepth);
    tree.reset(); // destroying it must not recurse either
    EXPECT_EQ(XMLFromText(open), nullptr);
}

} // namespace
} // namespace bw
