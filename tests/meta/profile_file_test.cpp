#include "meta/ProfileFile.h"

#include "data/XmlEncoding.h"
#include "meta/Profile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace bw {
namespace {

std::vector<uint8_t> Utf16LeFile(const std::u16string& text) {
    std::vector<uint8_t> bytes{0xFF, 0xFE};
    for (const char16_t u : text) {
        bytes.push_back(static_cast<uint8_t>(u & 0xFF));
        bytes.push_back(static_cast<uint8_t>(u >> 8));
    }
    return bytes;
}

std::u16string Line(std::u16string_view text) {
    return u"bw_save" + ScrambleProfileLine(text) + u"\r\n";
}

TEST(ProfileFile, LinesAreMarkedAndScrambledWithAlternatingKeys) {
    std::u16string expected = u"bw_save";
    expected += {char16_t(u'<' ^ ProfileKeyOdd), char16_t(u'a' ^ ProfileKeyEven),
                 char16_t(u'/' ^ ProfileKeyOdd), char16_t(u'>' ^ ProfileKeyEven)};
    expected += u"\r\n" + Line(u"<b/>");
    EXPECT_EQ(EncodeProfileText("<a/>\n<b/>"), Utf16LeFile(expected));
    EXPECT_EQ(DecodeProfileBytes(Utf16LeFile(expected)), "<a/>\r\n<b/>\r\n");
    EXPECT_LT(ProfileKeyOdd, 256);
    EXPECT_LT(ProfileKeyEven, 256);

    // Bare LF between lines and no break after the last line are read as well.
    const std::u16string loose =
        u"bw_save" + ScrambleProfileLine(u"<a/>") + u"\nbw_save" + ScrambleProfileLine(u"<b/>");
    EXPECT_EQ(DecodeProfileBytes(Utf16LeFile(loose)), "<a/>\r\n<b/>\r\n");
}

TEST(ProfileFile, DamagedFilesAreRejected) {
    const std::u16string good = Line(u"<a>") + Line(u" <b />") + Line(u"</a>");
    ASSERT_TRUE(DecodeProfileBytes(Utf16LeFile(good)));

    std::u16string noMarker = good;
    noMarker[good.find(u"bw_save", 1)] = u'X';
    std::u16string emptyLine = good;
    emptyLine.insert(good.find(u"bw_save", 1), u"\r\n");
    std::vector<uint8_t> oddSize = Utf16LeFile(good);
    oddSize.pop_back();
    const std::string plain = "<Profile Name=\"x\" />\r\n";
    for (const std::vector<uint8_t>& bad :
         {Utf16LeFile(noMarker), Utf16LeFile(emptyLine), Utf16LeFile(u"BW_SAVE<a/>"),
          Utf16LeFile(u"bw_sa"), Utf16LeFile(u""), std::vector<uint8_t>{}, oddSize,
          std::vector<uint8_t>(plain.begin(), plain.end())})
        EXPECT_FALSE(DecodeProfileBytes(bad));
}

// What the name entry lets through its key filter: everything above U+00BF, and below it
// whatever is not in the rejected ranges.
bool NameEntryAccepts(char32_t c) {
    const auto in = [c](char32_t a, char32_t b) { return c >= a && c <= b; };
    if (c > 0xBF) return true;
    return !(in(0x02, 0x07) || c == 0x0B || c == 0x0C || in(0x0E, 0x1B) || in(0x21, 0x2F) ||
             in(0x3A, 0x40) || in(0x5B, 0x60) || in(0x7B, 0x7F) || c == 0x82 || in(0x84, 0x87) ||
             c == 0x89 || c == 0x8B || in(0x91, 0x97) || c == 0x99 || in(0xA4, 0xA7) || c == 0xA9 ||
             in(0xAB, 0xB1) || c == 0xB7 || c == 0xB9 || c == 0xBB);
}

TEST(ProfileFile, EveryCharacterTheNameEntryAcceptsSurvivesTheFile) {
    // Names of 200 accepted characters each. A name character comes back exactly; the control
    // characters the key filter lets through (and the line separators) are dropped by the
    // profile code and never reach the file.
    std::vector<char32_t> accepted;
    for (char32_t c = 0; c <= 0x10FFFF; ++c)
        if ((c < 0xD800 || c > 0xDFFF) && NameEntryAccepts(c)) accepted.push_back(c);
    std::size_t dropped = 0;
    for (std::size_t start = 0; start < accepted.size(); start += 200) {
        TPlayer written;
        std::string expected;
        for (std::size_t i = start; i < std::min(accepted.size(), start + 200); ++i) {
            const char32_t c = accepted[i];
            AppendUtf8(written.Name, c);
            const bool control = c < 0x20 || (c >= 0x7F && c <= 0x9F);
            if (control || c == 0x2028 || c == 0x2029 || c == 0xFFFE || c == 0xFFFF)
                ++dropped;
            else if (c != ' ' || !expected.empty())
                AppendUtf8(expected, c);
        }
        const std::vector<uint8_t> bytes = ProfileFileBytes(written);
        TPlayer read;
        ASSERT_TRUE(ProfileFromBytes(bytes.data(), bytes.size(), 0, read))
            << "characters from U+" << std::hex << uint32_t(accepted[start]);
        ASSERT_EQ(read.Name, expected)
            << "characters from U+" << std::hex << uint32_t(accepted[start]);
    }
    EXPECT_EQ(dropped, 10u + 17 + 4); // C0 and C1 passes, line separators, non-characters
}

} // namespace
} // namespace bw
