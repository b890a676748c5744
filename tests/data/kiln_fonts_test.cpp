// Bitmap fonts: descriptions, measuring, drawing, wrapping and the two game fonts.
#include "data/data_test_util.h"

#include "data/ArchiveAccess.h"
#include "data/GameFonts.h"
#include "data/ImageRecord.h"
#include "data/KilnArchive.h"
#include "data/KilnFonts.h"
#include "data/KilnImages.h"
#include "data/Xml.h"
#include "data/XmlLoad.h"
#include "render/DisplayState.h"
#include "render/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace bw {
namespace {

// Glyphs of the test font (cell 16 x 32, image 64 x 32):
//   A: top 4, rectangle (0, 0, 10 x 20), leading 1, trailing 2 -> advance 13 + kerning
//   B: top 0, rectangle (10, 0, 8 x 32)                          -> advance 8 + kerning
//   <: top 10, rectangle (20, 0, 6 x 10)
const char* const kDescription = R"(<?xml version="1.0"?>
<font width="16" height="32">
 <item ascii="65" top="4" x="0" y="0" width="10" height="20" leading="1" trailing="2"/>
 <ITEM ascii="66" x="10" width="8" height="32"/>
 <item ucode="60" top="10" x="20" y="0" width="6" height="10"/>
 <item ascii="300" ucode="1046" x="30" width="5" height="5"/>
 <item ucode="70000" x="40" width="5" height="5"/>
 <item x="50" width="5" height="5"/>
 <other ascii="67" width="5" height="5"/>
</font>
)";

TKilnImageData FontImage() {
    TKilnImageData data;
    data.Name = "Test.image";
    data.PatternSize = data.TextureSize = {64, 32};
    data.Textures.emplace_back(64u * 32u, 0xFFFFFFFFu);
    return data;
}

// Keeps the display mapping of a test from leaking into the next.
struct DisplayGuard {
    TPoint2 scale = DisplayScale, offset = WorldOffset;
    ~DisplayGuard() {
        DisplayScale = scale;
        WorldOffset = offset;
    }
};

class FontTest : public ::testing::Test {
protected:
    DisplayGuard display;
    RecordingCanvas canvas;
    TKilnImages images{&canvas};
    TKilnFonts fonts{&images, &canvas};
    TKilnFont* font = nullptr;

    void SetUp() override {
        DisplayScale = {1.0f, 1.0f};
        WorldOffset = {0.0f, 0.0f};
        ASSERT_GE(images.AddFromPixels(FontImage()), 0);
        auto tree = XMLFromStrings({kDescription});
        ASSERT_TRUE(tree);
        const int index = fonts.Insert(*tree, "Test", "test.IMAGE");
        ASSERT_EQ(index, 0);
        font = fonts.Font(index);
    }
    // Left edges of the drawn glyphs.
    std::vector<float> Lefts() const {
        std::vector<float> lefts;
        for (const auto& q : canvas.Quads()) lefts.push_back(q.corners[0].x);
        return lefts;
    }
    std::vector<float> DrawnLefts(const std::string& text) {
        canvas.Clear();
        font->TextOut({0, 0}, text, false, 1.0f, {});
        return Lefts();
    }
};

TEST_F(FontTest, DescriptionGivesCellSizeAndGlyphsByCode) {
    EXPECT_EQ(font->FFontSize, (TPoint2px{16, 32}));
    EXPECT_EQ(font->Entry(u'A'), (LetterEntry{4, 0, 0, 10, 20, 1, 2}));
    EXPECT_EQ(font->Entry(u'B'), (LetterEntry{0, 10, 0, 8, 32, 0, 0}));
    EXPECT_TRUE(font->Entry(u'<').HasGlyph());  // from "ucode" when "ascii" is absent
    EXPECT_TRUE(font->Entry(1046).HasGlyph());  // from "ucode" when "ascii" is beyond 255
    EXPECT_FALSE(font->Entry(u'C').HasGlyph()); // only "item" children count
    // 70000 is no UTF-16 code unit and must not wrap around onto 4464.
    EXPECT_FALSE(font->Entry(static_cast<char16_t>(70000 & 0xFFFF)).HasGlyph());
    EXPECT_EQ(font->FImageIndex, images.IndexOf("Test.image"));
    EXPECT_EQ(font->FKerning, -1.0f);
    EXPECT_EQ(font->FWhitespace, 5.0f);
}

TEST_F(FontTest, WrittenDescriptionsReadBackTheSame) {
    FontDescription desc;
    desc.FontSize = {24, 40};
    desc.Glyphs = {{u'a', {1, 2, 3, 4, 5, -1, 2}},
                   {0xE9, {0, 10, 0, 7, 9, 0, 1}},   // Latin-1 letter
                   {0x416, {3, 20, 0, 9, 12, 1, 0}}, // Cyrillic
                   {0xFFFF, {0, 0, 0, 1, 1, 0, 0}}};
    const auto tree = WriteFontDescription(desc);
    // Through text, as the game reads it.
    const auto parsed = XMLFromStrings({tree->GetCode()});
    ASSERT_TRUE(parsed);
    const FontDescription back = ReadFontDescription(*parsed);
    EXPECT_EQ(back.FontSize, desc.FontSize);
    ASSERT_EQ(back.Glyphs.size(), desc.Glyphs.size());
    for (size_t i = 0; i < desc.Glyphs.size(); ++i) {
        EXPECT_EQ(back.Glyphs[i].Code, desc.Glyphs[i].Code) << i;
        EXPECT_EQ(back.Glyphs[i].Entry, desc.Glyphs[i].Entry) << i;
    }
}

TEST_F(FontTest, ExtentsFollowGlyphsWhitespaceKerningAndScales) {
    EXPECT_FLOAT_EQ(font->TextWidth(" "), 5.0f);    // whitespace only, no kerning taken off
    EXPECT_FLOAT_EQ(font->TextWidth("A"), 13.0f);   // leading + width + trailing
    EXPECT_FLOAT_EQ(font->TextWidth("AB"), 20.0f);  // 12 + 7, last kerning taken off
    EXPECT_FLOAT_EQ(font->TextWidth("A B"), 25.0f); // 12 + 5 + 7 + 1
    EXPECT_FLOAT_EQ(font->TextWidth(""), 0.0f);
    EXPECT_FLOAT_EQ(font->TextHeight("A"), 32.0f);
    EXPECT_FLOAT_EQ(font->TextWidth("\xC3\xA9"), 5.0f); // one code unit without glyph

    font->FScale = {0.5f, 2.0f};
    DisplayScale = {2.0f, 2.0f};
    EXPECT_FLOAT_EQ(font->TextWidth("A"), 13.0f);
    EXPECT_FLOAT_EQ(font->TextHeight(""), 128.0f);
    // Characters beyond the basic plane are two code units, each measured on its own.
    EXPECT_FLOAT_EQ(font->TextWidth("\xF0\x9F\x90\xA6"), 10.0f);
}

TEST_F(FontTest, MarkupIsHiddenOnlyWhenClosedLater) {
    EXPECT_FLOAT_EQ(font->TextWidth("A<x>A"), font->TextWidth("AA"));
    EXPECT_EQ(DrawnLefts("A<x>A"), (std::vector<float>{1, 13}));
    // A "<" with no ">" after it is an ordinary glyph.
    EXPECT_EQ(DrawnLefts("A<A").size(), 3u);
    EXPECT_EQ(DrawnLefts("A>A<").size(), 3u);
    EXPECT_FLOAT_EQ(font->TextWidth("A<"), 13.0f + 5.0f);
    // "/" ends the colours TextOut was given: what follows advances as whitespace.
    EXPECT_EQ(DrawnLefts("A</>AB"), (std::vector<float>{1}));
}

TEST_F(FontTest, RegisteredTagsColourTheTextUntilClosed) {
    fonts.AddTag("red", {0xFFFF0000u, 0xFFFF0000u});
    canvas.Clear();
    font->TextOut({0, 0}, "<red>B</>B", false, 1.0f, {0xFF00FF00u, 0xFF00FF00u});
    ASSERT_EQ(canvas.Quads().size(), 2u);
    EXPECT_EQ(canvas.Quads()[0].colors, TColor4(0xFFFF0000u));
    EXPECT_EQ(canvas.Quads()[1].colors, TColor4(0xFF00FF00u));
    // An unknown tag is hidden and changes nothing.
    canvas.Clear();
    font->TextOut({0, 0}, "<blue>B", false, 1.0f, {0xFF00FF00u, 0xFF00FF00u});
    ASSERT_EQ(canvas.Quads().size(), 1u);
    EXPECT_EQ(canvas.Quads()[0].colors, TColor4(0xFF00FF00u));
}

TEST_F(FontTest, SpacerMovesThePenButMeasuresAsCharacters) {
    DisplayScale = {2.0f, 2.0f};
    const float plain = DrawnLefts("AA").at(1);
    EXPECT_FLOAT_EQ(DrawnLefts("A#{20}A").at(1), plain + 40.0f); // 20 design units
    EXPECT_FLOAT_EQ(DrawnLefts("A#{-3}A").at(1), plain - 6.0f);
    // Not an integer: drawn as its five characters, all whitespace in this font.
    EXPECT_FLOAT_EQ(DrawnLefts("A#{2x}A").at(1), plain + 5 * 10.0f);
    EXPECT_FLOAT_EQ(DrawnLefts("A#{}A").at(1), plain + 3 * 10.0f);
    EXPECT_FLOAT_EQ(DrawnLefts("A#{20").at(0), 2.0f); // unterminated, no crash
    EXPECT_FLOAT_EQ(font->TextWidth("A#{20}A"), 2.0f * (12 + 5 * 5 + 12 + 1));
}

TEST_F(FontTest, CentredLinesAndTheGradientAcrossTheCell) {
    DisplayScale = {2.0f, 2.0f};
    WorldOffset = {10.0f, 0.0f};
    const TColor2 colors{0xFF0000FFu, 0xFFFF0000u}; // blue at the top, red at the bottom
    canvas.Clear();
    font->TextOut({100, 50}, TTSTextArray{"A", "AB"}, true, 0.5f, colors, 40.0f);
    const auto& quads = canvas.Quads();
    ASSERT_EQ(quads.size(), 3u);

    // Line 0 "A": 13 units wide, half 6.5 rounds to 6; half height 16. Pen at
    // ((94 - 10) * 2, 34 * 2); glyph at leading 1 and top 4.
    EXPECT_EQ(quads[0].corners,
              (TPoint4{TPoint2{170, 76}, TPoint2{190, 76}, TPoint2{190, 116}, TPoint2{170, 116}}));
    EXPECT_EQ(quads[0].uv, (TPoint4{TPoint2{0, 0}, TPoint2{10.0f / 64, 0},
                                    TPoint2{10.0f / 64, 20.0f / 32}, TPoint2{0, 20.0f / 32}}));
    EXPECT_EQ(quads[0].texture, images.Image(0)->Textures[0]);
    // Top edge at 4/32 of the cell, bottom edge at 24/32; alpha 255 * 0.5 = 127.5 -> 128.
    const TColor top = MakeColor(32, 0, 223, 128), bottom = MakeColor(191, 0, 64, 128);
    EXPECT_EQ(quads[0].colors, TColor4(top, top, bottom, bottom));
    EXPECT_EQ(quads[0].effect, beNormal);

    // Line 1 "AB" on y = 90: 20 units wide, so x = 90; pen at (160, 148).
    EXPECT_FLOAT_EQ(quads[1].corners[0].x, 162.0f);
    EXPECT_FLOAT_EQ(quads[1].corners[0].y, 156.0f);
    EXPECT_EQ(quads[2].corners, (TPoint4{TPoint2{184, 148}, TPoint2{200, 148}, TPoint2{200, 212},
                                         TPoint2{184, 212}}));
    EXPECT_EQ(quads[2].colors, TColor4(0x800000FFu, 0x800000FFu, 0x80FF0000u, 0x80FF0000u));
}

TEST_F(FontTest, AlphaScalesTheColoursOwnAlphaAndIsClamped) {
    canvas.Clear();
    font->TextOut({0, 0}, "B", false, 2.0f, {0x80FFFFFFu, 0x40FFFFFFu});
    font->TextOut({0, 0}, "B", false, -1.0f, {0xFFFFFFFFu, 0xFFFFFFFFu});
    ASSERT_EQ(canvas.Quads().size(), 2u);
    EXPECT_EQ(canvas.Quads()[0].colors,
              TColor4(0xFFFFFFFFu, 0xFFFFFFFFu, 0x80FFFFFFu, 0x80FFFFFFu));
    EXPECT_EQ(ColorAlpha(canvas.Quads()[1].colors[0]), 0u);
}

TEST_F(FontTest, WrappingJoinsWordsWithTwoSpaces) {
    font->FKerning = 0.0f; // "AA" is 26 wide, a space 5
    for (const float d : {1.0f, 2.0f}) {
        DisplayScale = {d, d};
        using Lines = TTSTextArray;
        EXPECT_EQ(font->GetWordWrapedTextFromString("AA AA AA", 88), Lines{"AA AA AA"});
        EXPECT_EQ(font->GetWordWrapedTextFromString("AA AA AA", 0), Lines{"AA AA AA"});
        EXPECT_EQ(font->GetWordWrapedTextFromString("AA AA AA", 70), (Lines{"AA  AA ", "AA "}));
        EXPECT_EQ(font->GetWordWrapedTextFromString("AA AA AA AA", 70),
                  (Lines{"AA  AA ", "AA  AA"}));
        // A first word wider than the width leaves an empty first line.
        EXPECT_EQ(font->GetWordWrapedTextFromString("AAAAAA AA", 60),
                  (Lines{"", "AAAAAA ", "AA "}));
        EXPECT_EQ(font->GetWordWrapedTextFromString("\xD0\x96\xD0\x96 AA AA", 60),
                  (Lines{"\xD0\x96\xD0\x96  AA ", "AA "}));
    }
}

TEST_F(FontTest, SavedStatesComeBackInReverseOrderUpToSixteen) {
    font->FKerning = 3.0f;
    font->FWhitespace = 9.0f;
    for (int k = 0; k < 18; ++k) {
        font->FScale = {float(k), float(k)};
        font->SaveState();
    }
    EXPECT_EQ(font->StateCount(), 18);
    font->FScale = {99, 99};
    font->FKerning = 0.0f;
    font->RestoreState(); // 18th and 17th saves were only counted
    font->RestoreState();
    EXPECT_EQ(font->FScale, (TPoint2{99, 99}));
    font->RestoreState();
    EXPECT_EQ(font->FScale, (TPoint2{15, 15}));
    EXPECT_EQ(font->FKerning, 3.0f);
    for (int i = 0; i < 15; ++i) font->RestoreState();
    EXPECT_EQ(font->FScale, (TPoint2{0, 0}));
    EXPECT_EQ(font->FWhitespace, 9.0f);
    font->RestoreState(); // nothing left
    EXPECT_EQ(font->StateCount(), 0);
    EXPECT_EQ(font->FScale, (TPoint2{0, 0}));
}

TEST_F(FontTest, GlyphsUseTheRebuiltTextureAfterADeviceLoss) {
    font->TextOut({0, 0}, "A", false, 1.0f, {});
    const TextureId before = canvas.Quads().at(0).texture;
    images.ReleaseTextures();
    ASSERT_EQ(images.RestoreTextures(), 0);
    canvas.Clear();
    font->TextOut({0, 0}, "A", false, 1.0f, {});
    ASSERT_EQ(canvas.Quads().size(), 1u);
    EXPECT_NE(canvas.Quads()[0].texture, before);
    EXPECT_EQ(canvas.Quads()[0].texture, images.Image(0)->Textures[0]);

    // While the image has no texture, text draws nothing.
    images.ReleaseTextures();
    canvas.Clear();
    font->TextOut({0, 0}, "A", false, 1.0f, {});
    EXPECT_TRUE(canvas.Quads().empty());
}

TEST_F(FontTest, InsertNeedsTheImageAndAReadableDescription) {
    std::vector<std::string> failed;
    fonts.FOnItemFail = [&](const std::string& n) { failed.push_back(n); };
    const auto tree = XMLFromStrings({kDescription});
    EXPECT_EQ(fonts.Insert(*tree, "NoImage", "missing.image"), -1);
    EXPECT_EQ(fonts.Insert("Data\\NoSuch.dan | Font.xml", "Test.image"), -1);
    EXPECT_EQ(fonts.Insert("Data/NoSuch.xml", "Test.image"), -1);
    EXPECT_EQ(fonts.Count(), 1);
    EXPECT_EQ(failed, (std::vector<std::string>{"NoImage", "Font.xml", "Data\\NoSuch.xml"}));
    EXPECT_EQ(fonts.IndexOf("TEST"), 0);
}

TEST_F(FontTest, DescriptionLinksMayNameFilesAndArchivesByTheirOwnPath) {
    UnlockArchiveAccess();
    test::TempDir dir;
    test::WriteText(dir.File("loose.xml"), kDescription);
    {
        TKilnArchive a;
        a.SetOpenMode(aomOverwrite);
        ASSERT_TRUE(a.OpenFile(dir.File("Fonts.dan")));
        const std::string desc = kDescription;
        ASSERT_TRUE(a.WriteRecord("Packed.xml", desc.data(), desc.size(), artFont));
    }
    const int loose = fonts.Insert(dir.File("loose.xml"), "Test.image");
    const int packed = fonts.Insert(dir.File("Fonts.dan") + " | Packed.xml", "Test.image");
    ASSERT_GE(loose, 0);
    ASSERT_GE(packed, 0);
    EXPECT_EQ(fonts.Font(packed)->FName, "Packed.xml");
    EXPECT_EQ(fonts.Font(packed)->Entry(u'A'), font->Entry(u'A'));
    EXPECT_EQ(fonts.Font(loose)->FFontSize, font->FFontSize);
}

// --- The two game fonts ----------------------------------------------------------------------

struct GameFontsTest : ::testing::Test {
    DisplayGuard display;
    test::TempDir dir;
    RecordingCanvas canvas;
    TKilnImages images{&canvas};
    TKilnFonts fonts{&images, &canvas};

    void SetUp() override {
        UnlockArchiveAccess();
        DisplayScale = {1.0f, 1.0f};
    }
    void TearDown() override { ToonFont = ShadowFont = -1; }

    void WriteFonts(bool withShadowDescription) {
        TKilnArchive a;
        a.SetOpenMode(aomOverwrite);
        ASSERT_TRUE(a.OpenFile(dir.File("Fonts.dan")));
        std::vector<uint8_t> image;
        ASSERT_TRUE(EncodeImageRecord(FontImage(), image));
        const std::string desc = kDescription;
        for (const std::string name : {"WhizBangPow_Toon_32_1", "WhizBangPow_Shadow_32_1"}) {
            ASSERT_TRUE(a.WriteRecord(name + ".image", image.data(), image.size(), artImage));
            if (!withShadowDescription && name.find("Shadow") != std::string::npos) continue;
            ASSERT_TRUE(a.WriteRecord(name + ".xml", desc.data(), desc.size(), artFont));
        }
    }
};

TEST_F(GameFontsTest, BothFontsComeFromTheFontsArchiveWithGameSpacing) {
    WriteFonts(true);
    TKilnArchive a;
    a.SetOpenMode(aomReadOnly);
    ASSERT_TRUE(a.OpenFile(dir.File("Fonts.dan")));
    EXPECT_TRUE(LoadGameFonts(&a, images, fonts));
    EXPECT_EQ(ToonFont, 0);
    EXPECT_EQ(ShadowFont, 1);
    for (const int index : {ToonFont, ShadowFont}) {
        const TKilnFont& f = *fonts.Font(index);
        EXPECT_EQ(f.FKerning, 0.0f);
        EXPECT_EQ(f.FWhitespace, 15.0f);
        EXPECT_EQ(f.FFontSize, (TPoint2px{16, 32}));
    }
    EXPECT_EQ(fonts.Font(ShadowFont)->FImageIndex, images.IndexOf("WhizBangPow_Shadow_32_1.image"));
    EXPECT_FLOAT_EQ(fonts.Font(ToonFont)->TextWidth("A A"), 13 + 15 + 13);
}

TEST_F(GameFontsTest, AFontWithoutDescriptionStaysUnloaded) {
    WriteFonts(false);
    TKilnArchive a;
    a.SetOpenMode(aomReadOnly);
    ASSERT_TRUE(a.OpenFile(dir.File("Fonts.dan")));
    EXPECT_FALSE(LoadGameFonts(&a, images, fonts));
    EXPECT_EQ(ToonFont, 0);
    EXPECT_EQ(ShadowFont, -1);
    EXPECT_EQ(fonts.Count(), 1);
    EXPECT_FALSE(LoadGameFonts(nullptr, images, fonts));
    EXPECT_EQ(ToonFont, -1);
}

} // namespace
} // namespace bw
