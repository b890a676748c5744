// The data build: pixel conversion, templates, descriptions, archives, fonts and the manifest
// check, through the pipeline's library and the datapack program.
#include "data/data_test_util.h"

#include "data/ImageRecord.h"
#include "data/KilnArchive.h"
#include "data/KilnFonts.h"
#include "data/XmlLoad.h"
#include "pack/PackBuild.h"
#include "pack/PackCommands.h"
#include "pack/PackDescription.h"
#include "pack/PackDrawings.h"
#include "pack/PackFonts.h"
#include "pack/PackPixels.h"
#include "pack/PackTemplate.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/wait.h>

namespace bw {
namespace {

namespace fs = std::filesystem;
using namespace bw::pack;

const std::string kDatapack = BW_TEST_BINARY_DIR "/tools/datapack/datapack";
const std::string kFontFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";

int Alpha(uint32_t p) {
    return int(p >> 24);
}
int Red(uint32_t p) {
    return int((p >> 16) & 0xFF);
}
int Green(uint32_t p) {
    return int((p >> 8) & 0xFF);
}
int Blue(uint32_t p) {
    return int(p & 0xFF);
}

// ---------------------------------------------------------------- pixels

TEST(DatapackPixels, PremultipliedToStraightRoundsToNearest) {
    // (c * 255 + a / 2) / a per channel.
    EXPECT_EQ(StraightFromPremultiplied(0x9C371A00u), 0x9C5A2B00u);
    EXPECT_EQ(StraightFromPremultiplied(0x80402010u), 0x80804020u);
    EXPECT_EQ(StraightFromPremultiplied(0x01010101u), 0x01FFFFFFu);
    EXPECT_EQ(StraightFromPremultiplied(0xFF123456u), 0xFF123456u);
    // Invisible pixels carry no colour; a channel above its alpha (never produced by cairo)
    // saturates instead of wrapping.
    EXPECT_EQ(StraightFromPremultiplied(0x00FFFFFFu), 0u);
    EXPECT_EQ(StraightFromPremultiplied(0x10FF0000u), 0x10FF0000u);
}

TEST(DatapackPixels, BleedGivesTransparentPixelsTheNearestColour) {
    // red . . . blue: each neighbour takes its side's colour, the middle one the average.
    std::vector<uint32_t> row = {0xFFFF0000u, 0, 0, 0, 0x800000FFu};
    BleedEdges(5, 1, row);
    EXPECT_EQ(row[0], 0xFFFF0000u);
    EXPECT_EQ(row[1], 0x00FF0000u);
    EXPECT_EQ(row[2], 0x00800080u);
    EXPECT_EQ(row[3], 0x000000FFu);
    EXPECT_EQ(row[4], 0x800000FFu);
}

TEST(DatapackPixels, BleedReachesTheWholePictureAndKeepsAlpha) {
    std::vector<uint32_t> pixels(7 * 5, 0u);
    pixels[2 * 7 + 1] = 0x20123456u; // one faint pixel
    BleedEdges(7, 5, pixels);
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        if (i == 2 * 7 + 1) {
            EXPECT_EQ(pixels[i], 0x20123456u);
        } else {
            EXPECT_EQ(pixels[i], 0x00123456u) << "pixel " << i;
        }
    }
    std::vector<uint32_t> empty(9, 0u);
    BleedEdges(3, 3, empty);
    EXPECT_EQ(empty, std::vector<uint32_t>(9, 0u));
}

TEST(DatapackPixels, BleedDoesNotDependOnScanOrder) {
    // A picture and its mirror image bleed to mirror images.
    const int w = 6, h = 4;
    std::vector<uint32_t> a(w * h, 0u), b(w * h, 0u);
    a[0] = b[w - 1] = 0xFF00FF00u;
    a[w * h - 2] = b[w * (h - 1) + 1] = 0xFFFF00FFu;
    BleedEdges(w, h, a);
    BleedEdges(w, h, b);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) EXPECT_EQ(a[y * w + x], b[y * w + (w - 1 - x)]);
    }
}

// ---------------------------------------------------------------- templates

TEST(DatapackTemplate, NumbersArePlainDecimals) {
    EXPECT_EQ(FormatNumber(22.5), "22.5");
    EXPECT_EQ(FormatNumber(0), "0");
    EXPECT_EQ(FormatNumber(-0.0000001), "0");
    EXPECT_EQ(FormatNumber(1000000), "1000000");
    EXPECT_EQ(FormatNumber(1.0 / 3.0), "0.333333");
    EXPECT_EQ(FormatNumber(-3.125), "-3.125");
    EXPECT_EQ(FormatNumber(1e-7), "0");
}

TEST(DatapackTemplate, ReplacesEveryPlaceholder) {
    std::string out, error;
    ASSERT_TRUE(SubstituteTemplate("<a x=\"{{x}}\" y='{{ y }}'>{{x}}{{x}}</a>",
                                   {{"x", "1.5"}, {"y", "red"}}, out, error))
        << error;
    EXPECT_EQ(out, "<a x=\"1.5\" y='red'>1.51.5</a>");
    ASSERT_TRUE(SubstituteTemplate("no placeholders { } }}", {}, out, error));
    EXPECT_EQ(out, "no placeholders { } }}");
}

TEST(DatapackTemplate, UnknownOrOpenPlaceholdersAreErrors) {
    std::string out, error;
    EXPECT_FALSE(SubstituteTemplate("line 1\n<g a=\"{{angel}}\"/>", {{"angle", "1"}}, out, error));
    EXPECT_NE(error.find("angel"), std::string::npos) << error;
    EXPECT_NE(error.find("line 2"), std::string::npos) << error;
    EXPECT_FALSE(SubstituteTemplate("<g a=\"{{angle\"/>\n}}", {{"angle", "1"}}, out, error));
    EXPECT_NE(error.find("not closed"), std::string::npos) << error;
}

// ---------------------------------------------------------------- test data folders

const char* const kSquareSvg =
    "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 8 8\" width=\"8\" height=\"8\">"
    "<rect x=\"0\" y=\"0\" width=\"8\" height=\"8\" fill=\"#336699\"/></svg>";

// A source folder "src" with archives, and an output folder "out", in a temporary folder.
struct DataFolder : ::testing::Test {
    test::TempDir dir;
    std::string out, err;

    fs::path Src() const { return dir.Path() / "src"; }
    fs::path Out() const { return dir.Path() / "out"; }
    void Write(const std::string& relative, const std::string& text) {
        fs::create_directories((Src() / relative).parent_path());
        test::WriteText((Src() / relative).string(), text);
    }
    void Archive(const std::string& name, const std::string& items) {
        Write(name + "/archive.xml",
              "<?xml version=\"1.0\"?>\n<archive>\n" + items + "\n</archive>\n");
    }
    int Run(const std::vector<std::string>& args) {
        std::ostringstream o, e;
        const int status = RunDatapack(args, o, e);
        out = o.str();
        err = e.str();
        return status;
    }
    int Build() { return Run({"build", Src().string(), Out().string()}); }
    // Runs the built program, for its real exit status.
    int Program(const std::string& args) {
        const std::string cmd = "'" + kDatapack + "' " + args + " >'" + dir.File("o.txt") +
                                "' 2>'" + dir.File("e.txt") + "'";
        const int status = std::system(cmd.c_str());
        const auto o = test::ReadBytes(dir.File("o.txt"));
        const auto e = test::ReadBytes(dir.File("e.txt"));
        out.assign(o.begin(), o.end());
        err.assign(e.begin(), e.end());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    TKilnImageData Image(const std::string& archive, const std::string& key) {
        TKilnArchive a;
        a.SetOpenMode(aomReadOnly);
        std::vector<uint8_t> data;
        TKilnImageData image;
        EXPECT_TRUE(a.OpenFile((Out() / (archive + ".dan")).string()));
        EXPECT_TRUE(a.ReadRecord(key, data)) << key;
        EXPECT_EQ(DecodeImageRecord(data.data(), data.size(), image), ImageRecordResult::Ok);
        return image;
    }
    // The pixel at (x, y) of a pattern, for one-texture images.
    static uint32_t PatternPixel(const TKilnImageData& image, int pattern, int x, int y) {
        const int columns = image.TextureSize.x / image.PatternSize.x;
        const int px = (pattern % columns) * image.PatternSize.x + x;
        const int py = (pattern / columns) * image.PatternSize.y + y;
        return image.Textures.at(0).at(static_cast<std::size_t>(py * image.TextureSize.x + px));
    }
};

// ---------------------------------------------------------------- descriptions

TEST_F(DataFolder, LinearListAndFrameParametersGiveEachFrameItsValues) {
    Write("A/t.svg", kSquareSvg);
    Archive("A", "<image key='spin.image' svg='t.svg' pattern='8x8' frames='16'>"
                 " <param name='angle' from='0' to='337.5'/>"
                 " <param name='glow' values='0,0.2,0.4,0.6,0.8,1,0.8,0.6,0.4,0.2,0,0,0,0,0,0'/>"
                 " <param name='tint' value='#ff0000'/>"
                 "</image>"
                 "<image key='x.image' svg='t.svg' pattern='8x8'>"
                 " <param name='a' value='0'/>"
                 " <frame><param name='a' value='1'/></frame>"
                 " <frame><param name='b' value='two'/></frame>"
                 "</image>");
    ArchiveDescription d;
    std::string error;
    ASSERT_TRUE(ReadArchiveDescription(Src() / "A", d, error)) << error;
    ASSERT_EQ(d.Images.size(), 2u);
    const ImageItem& spin = d.Images[0];
    ASSERT_EQ(spin.Frames.size(), 16u);
    EXPECT_EQ(spin.Count, 16);
    EXPECT_EQ(spin.Frames[0].at("angle"), "0");
    EXPECT_EQ(spin.Frames[1].at("angle"), "22.5");
    EXPECT_EQ(spin.Frames[15].at("angle"), "337.5");
    EXPECT_EQ(spin.Frames[5].at("glow"), "1");
    EXPECT_EQ(spin.Frames[9].at("glow"), "0.2");
    EXPECT_EQ(spin.Frames[9].at("tint"), "#ff0000");
    EXPECT_EQ(spin.Frames[9].at("frame"), "9");
    EXPECT_EQ(spin.Frames[9].at("frames"), "16");

    const ImageItem& x = d.Images[1];
    ASSERT_EQ(x.Frames.size(), 2u); // counted from the <frame> elements
    EXPECT_EQ(x.Frames[0].at("a"), "1");
    EXPECT_EQ(x.Frames[1].at("a"), "0");
    EXPECT_EQ(x.Frames[1].at("b"), "two");
    EXPECT_EQ(x.Frames[0].count("b"), 0u);
}

TEST_F(DataFolder, DescriptionMistakesNameTheFileAndTheItem) {
    Write("A/t.svg", kSquareSvg);
    struct PackCase {
        std::string Items;
        std::string Expect;
    };
    const std::vector<PackCase> cases = {
        {"<image key='a.image' svg='t.svg' pattern='8'/>", "pattern \"8\""},
        {"<image key='a.image' svg='gone.svg' pattern='8x8'/>", "gone.svg"},
        {"<image key='a.image' pattern='8x8'/>", "svg and draw"},
        {"<image key='a.image' svg='t.svg' pattern='8x8' visible='9x8'/>", "visible"},
        {"<image key='a.image' svg='t.svg' pattern='8x8' frames='3'>"
         "<param name='p' values='1,2'/></image>",
         "2 values for 3 frames"},
        {"<image key='a.image' svg='t.svg' pattern='8x8' frames='2' count='3'/>", "count"},
        {"<image key='a.image' svg='t.svg' pattern='8x8'><param name='p' from='1'/></image>",
         "from and to"},
        {"<image key='a.image' svg='t.svg' pattern='8x8'/><file key='A.IMAGE' src='t.svg'/>",
         "used twice"},
        {"<font name='f' face='/nonexistent/font.ttf' size='20'/>", "font.ttf"},
    };
    for (const PackCase& c : cases) {
        Archive("A", c.Items);
        ArchiveDescription d;
        std::string error;
        EXPECT_FALSE(ReadArchiveDescription(Src() / "A", d, error)) << c.Items;
        EXPECT_NE(error.find("archive.xml"), std::string::npos) << error;
        EXPECT_NE(error.find(c.Expect), std::string::npos)
            << "expected \"" << c.Expect << "\" in: " << error;
    }
}

TEST_F(DataFolder, DamagedDescriptionFailsTheProgramNamingTheFile) {
    if (!fs::exists(kDatapack)) GTEST_SKIP() << "datapack is not built: " << kDatapack;
    Write("Broken/archive.xml", "<archive>\n <image key='a.image' svg='a.svg' pattern='8x8'\n");
    EXPECT_EQ(Program("build '" + Src().string() + "' '" + Out().string() + "'"), 1);
    EXPECT_NE(err.find((Src() / "Broken" / "archive.xml").string()), std::string::npos) << err;
    EXPECT_NE(err.find("well-formed"), std::string::npos) << err;
    EXPECT_NE(err.find("archive.xml:2: "), std::string::npos) << err;
    EXPECT_FALSE(fs::exists(Out() / "Broken.dan"));

    Archive("Broken", "<image key='a.image' svg='missing.svg' pattern='8x8'/>");
    EXPECT_EQ(Program("build '" + Src().string() + "' '" + Out().string() + "'"), 1);
    EXPECT_NE(err.find("missing.svg"), std::string::npos) << err;
    EXPECT_EQ(Program("frobnicate"), 2);
}

TEST_F(DataFolder, RenderingProblemsNameTheSourceAndLeaveNoArchive) {
    Write("A/bad.svg", "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 8 8\">"
                       "<rect width=\"8\" height=\"8\" fill=\"{{colour}}\"/></svg>");
    Archive("A", "<image key='a.image' svg='bad.svg' pattern='8x8'>"
                 "<param name='color' value='red'/></image>");
    EXPECT_EQ(Build(), 1);
    EXPECT_NE(err.find("bad.svg"), std::string::npos) << err;
    EXPECT_NE(err.find("{{colour}}"), std::string::npos) << err;

    Write("A/bad.svg", "<svg xmlns=\"http://www.w3.org/2000/svg\"><rect></svg>");
    Archive("A", "<image key='a.image' svg='bad.svg' pattern='8x8'/>");
    EXPECT_EQ(Build(), 1);
    EXPECT_NE(err.find("bad.svg"), std::string::npos) << err;

    Archive("A", "<image key='a.image' draw='no-such-program' pattern='8x8'/>");
    EXPECT_EQ(Build(), 1);
    EXPECT_NE(err.find("no-such-program"), std::string::npos) << err;
    EXPECT_FALSE(fs::exists(Out() / "A.dan"));
    EXPECT_FALSE(fs::exists(Out() / "A.dan.partial"));
}

TEST_F(DataFolder, MalformedXmlRecordFailsTheBuildAtItsLine) {
    Write("T/Text.xml", "<text>\n  <words>\n    <a string=\"x\"/>\n  </wordz>\n</text>\n");
    Write("T/notes.txt", "<not xml, copied as it is");
    Archive("T", "<file key='Text.xml' src='Text.xml'/><file key='notes.txt' src='notes.txt'/>");
    EXPECT_EQ(Build(), 1);
    EXPECT_NE(err.find((Src() / "T" / "Text.xml").string() +
                       ":4: </wordz> closes <words> (opened on line 2)"),
              std::string::npos)
        << err;
    EXPECT_EQ(err.find("archive.xml"), std::string::npos) << err;
    EXPECT_FALSE(fs::exists(Out() / "T.dan"));

    // The key decides as well as the file name; a well-formed document packs unchanged.
    Write("T/text.src", "<text>\n <unclosed>\n</text>\n");
    Archive("T", "<file key='Text.xml' src='text.src'/>");
    EXPECT_EQ(Build(), 1);
    EXPECT_NE(err.find("text.src:3: </text> closes <unclosed> (opened on line 2)"),
              std::string::npos)
        << err;
    Write("T/text.src", "<text>\n <fine/>\n</text>\n");
    EXPECT_EQ(Build(), 0) << err;
    TKilnArchive a;
    a.SetOpenMode(aomReadOnly);
    std::vector<uint8_t> data;
    ASSERT_TRUE(a.OpenFile((Out() / "T.dan").string()));
    ASSERT_TRUE(a.ReadRecord("Text.xml", data));
    EXPECT_EQ(std::string(data.begin(), data.end()), "<text>\n <fine/>\n</text>\n");
}

// ---------------------------------------------------------------- building

TEST_F(DataFolder, EachFrameIsRenderedFromItsOwnSubstitution) {
    Write("A/level.svg", "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 4 2\">"
                         "<rect width=\"4\" height=\"2\" fill=\"rgb({{r}},0,{{b}})\"/></svg>");
    Archive("A", "<image key='ramp.image' svg='level.svg' pattern='12x6' frames='4'>"
                 " <param name='r' from='0' to='255'/>"
                 " <param name='b' values='9,8,7,6'/>"
                 "</image>");
    ASSERT_EQ(Build(), 0) << err;
    const TKilnImageData image = Image("A", "ramp.image");
    EXPECT_EQ(image.PatternSize, (TPoint2px{12, 6}));
    EXPECT_EQ(image.PatternCount, 4);
    const int red[] = {0, 85, 170, 255};
    for (int f = 0; f < 4; ++f) {
        // The viewBox is stretched over the whole cell, corners included.
        for (const auto& [x, y] : {std::pair{0, 0}, std::pair{11, 5}, std::pair{6, 3}}) {
            const uint32_t p = PatternPixel(image, f, x, y);
            EXPECT_EQ(Alpha(p), 255);
            EXPECT_EQ(Red(p), red[f]) << "frame " << f;
            EXPECT_EQ(Blue(p), 9 - f) << "frame " << f;
        }
    }
}

TEST_F(DataFolder, TranslucentPixelsAreStoredStraightAndEdgesBled) {
    // Left half: #CC6633 at half opacity; right half: nothing.
    Write("A/half.svg", "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 8 4\">"
                        "<rect width=\"4\" height=\"4\" fill=\"#CC6633\" fill-opacity=\"0.5\"/>"
                        "</svg>");
    Archive("A", "<image key='half.image' svg='half.svg' pattern='8x4'/>");
    ASSERT_EQ(Build(), 0) << err;
    const TKilnImageData image = Image("A", "half.image");
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 8; ++x) {
            const uint32_t p = PatternPixel(image, 0, x, y);
            if (x < 4) {
                EXPECT_NEAR(Alpha(p), 128, 1);
            } else {
                EXPECT_EQ(Alpha(p), 0);
            }
            // Straight colour, also carried into the invisible half.
            EXPECT_NEAR(Red(p), 0xCC, 2) << x << "," << y;
            EXPECT_NEAR(Green(p), 0x66, 2) << x << "," << y;
            EXPECT_NEAR(Blue(p), 0x33, 2) << x << "," << y;
        }
    }
}

TEST_F(DataFolder, BuildsAreIdenticalByteForByte) {
    Write("Pics/t.svg", kSquareSvg);
    Write("Pics/notes.txt", "plain file\n");
    Archive("Pics", "<image key='z_last.image' svg='t.svg' pattern='8x8' visible='6x5'/>"
                    "<image key='Grain.image' draw='grain' pattern='32x32' frames='2' seed='3'/>"
                    "<file key='notes.txt' src='notes.txt'/>");
    ASSERT_EQ(Run({"build", Src().string(), (dir.Path() / "one").string()}), 0) << err;
    ASSERT_EQ(Run({"build", Src().string(), (dir.Path() / "two").string()}), 0) << err;
    const auto one = test::ReadBytes((dir.Path() / "one" / "Pics.dan").string());
    const auto two = test::ReadBytes((dir.Path() / "two" / "Pics.dan").string());
    ASSERT_FALSE(one.empty());
    EXPECT_EQ(one, two);

    TKilnArchive a;
    a.SetOpenMode(aomReadOnly);
    ASSERT_TRUE(a.OpenFile((dir.Path() / "one" / "Pics.dan").string()));
    ASSERT_EQ(a.RecordCount(), 3);
    EXPECT_EQ(a.RecordKey(0), "Grain.image"); // key order, ignoring case
    EXPECT_EQ(a.RecordKey(1), "notes.txt");
    EXPECT_EQ(a.RecordKey(2), "z_last.image");
    for (int i = 0; i < 3; ++i) EXPECT_EQ(a.RecordDate(i), BuildRecordDate());
    EXPECT_EQ(a.RecordType(0), artImage);
    EXPECT_EQ(a.RecordType(1), artFile);
    std::vector<uint8_t> notes;
    ASSERT_TRUE(a.ReadRecord("notes.txt", notes));
    EXPECT_EQ(notes, test::Bytes("plain file\n"));
}

TEST_F(DataFolder, OnlyBuildsTheNamedArchives) {
    Write("A/t.svg", kSquareSvg);
    Archive("A", "<image key='a.image' svg='t.svg' pattern='8x8'/>");
    Write("B/t.svg", kSquareSvg);
    Archive("B", "<image key='b.image' svg='t.svg' pattern='8x8'/>");
    ASSERT_EQ(Run({"build", Src().string(), Out().string(), "--only", "B.dan"}), 0) << err;
    EXPECT_TRUE(fs::exists(Out() / "B.dan"));
    EXPECT_FALSE(fs::exists(Out() / "A.dan"));
    EXPECT_EQ(Run({"build", Src().string(), Out().string(), "--only", "C"}), 1);
    EXPECT_NE(err.find("C"), std::string::npos);
}

TEST_F(DataFolder, LargeSheetsAreSplitWithoutCuttingPatterns) {
    Archive("A", "<image key='tall.image' draw='solid' pattern='1100x100' frames='30'>"
                 "<param name='color' value='#FF204080'/></image>");
    ASSERT_EQ(Build(), 0) << err;
    const TKilnImageData image = Image("A", "tall.image");
    EXPECT_EQ(image.PatternCount, 30);
    ASSERT_GE(image.Textures.size(), 2u);
    EXPECT_LE(image.TextureSize.x, MaxImportTextureSize);
    EXPECT_LE(image.TextureSize.y, MaxImportTextureSize);
    EXPECT_EQ(image.TextureSize.x % image.PatternSize.x, 0);
    EXPECT_EQ(image.TextureSize.y % image.PatternSize.y, 0);
    const int perTexture =
        (image.TextureSize.x / image.PatternSize.x) * (image.TextureSize.y / image.PatternSize.y);
    EXPECT_GE(perTexture * static_cast<int>(image.Textures.size()), 30);
    EXPECT_EQ(image.Textures.back().front(), 0xFF204080u);
}

TEST_F(DataFolder, AnimationSheetsLeaveNoEmptyCells) {
    // Sixteen frames of 130 px do not fit one row of 2048: two rows of eight, not 15 + 1.
    Archive("A", "<image key='walk.image' draw='solid' pattern='130x130' frames='16'>"
                 "<param name='color' value='#FF204080'/></image>");
    ASSERT_EQ(Build(), 0) << err;
    const TKilnImageData image = Image("A", "walk.image");
    EXPECT_EQ(image.PatternCount, 16);
    ASSERT_EQ(image.Textures.size(), 1u);
    EXPECT_EQ(image.TextureSize.x, 8 * 130);
    EXPECT_EQ(image.TextureSize.y, 2 * 130);
}

TEST_F(DataFolder, DrawingProgramsAreDeterministicPerSeed) {
    ASSERT_NE(FindDrawingProgram("grain"), nullptr);
    ASSERT_NE(FindDrawingProgram("solid"), nullptr);
    EXPECT_EQ(FindDrawingProgram("Grain"), nullptr);
    Archive("A", "<image key='g1.image' draw='grain' pattern='16x16' seed='1'/>"
                 "<image key='g1b.image' draw='grain' pattern='16x16' seed='1'/>"
                 "<image key='g2.image' draw='grain' pattern='16x16' seed='2'/>"
                 "<image key='s.image' draw='solid' pattern='4x4'>"
                 "<param name='color' value='#80FF8000'/></image>");
    ASSERT_EQ(Build(), 0) << err;
    const auto g1 = Image("A", "g1.image"), g1b = Image("A", "g1b.image");
    const auto g2 = Image("A", "g2.image");
    EXPECT_EQ(g1.Textures, g1b.Textures);
    EXPECT_NE(g1.Textures, g2.Textures);
    for (const uint32_t p : g1.Textures.at(0)) EXPECT_EQ(Alpha(p), 255);
    const uint32_t s = Image("A", "s.image").Textures.at(0).at(5);
    EXPECT_EQ(Alpha(s), 0x80);
    EXPECT_NEAR(Red(s), 0xFF, 1);
    EXPECT_NEAR(Green(s), 0x80, 1);
    EXPECT_EQ(Blue(s), 0);
}

// ---------------------------------------------------------------- fonts

TEST(DatapackFonts, GlyphsAreWhiteAndLieInsideTheAtlas) {
    if (!fs::exists(kFontFile)) GTEST_SKIP() << "no font " << kFontFile;
    FontItem item;
    item.Name = "Test";
    item.Face = kFontFile;
    item.Size = 20;
    ASSERT_TRUE(ParseRanges("20-22,41-43,416", item.Ranges));
    BuiltFont font;
    std::string error;
    ASSERT_TRUE(BuildFont(item, font, error)) << error;
    // The space has no glyph: the game advances blanks by its whitespace width.
    ASSERT_EQ(font.Description.Glyphs.size(), 6u);
    EXPECT_EQ(font.Description.Glyphs[0].Code, u'!');
    EXPECT_EQ(font.Description.Glyphs[5].Code, char16_t(0x416));
    const auto& tex = font.Image.Textures.at(0);
    const int tw = font.Image.TextureSize.x;
    EXPECT_EQ(font.Image.PatternCount, 1);
    for (const FontGlyph& g : font.Description.Glyphs) {
        const LetterEntry& e = g.Entry;
        ASSERT_TRUE(e.HasGlyph());
        EXPECT_GE(e.X, 0);
        EXPECT_LE(e.X + e.Width, tw);
        EXPECT_LE(e.Y + e.Height, font.Image.TextureSize.y);
        EXPECT_GE(e.Top, 0);
        EXPECT_LE(e.Top + e.Height, font.Description.FontSize.y);
        int ink = 0;
        for (int y = e.Y; y < e.Y + e.Height; ++y) {
            for (int x = e.X; x < e.X + e.Width; ++x) {
                const uint32_t p = tex[static_cast<std::size_t>(y * tw + x)];
                EXPECT_EQ(p & 0xFFFFFF, 0xFFFFFFu); // white everywhere, bled edges included
                ink += Alpha(p) == 255;
            }
        }
        EXPECT_GT(ink, 0) << int(g.Code);
    }
    // Glyphs do not overlap in the atlas.
    for (std::size_t i = 0; i < font.Description.Glyphs.size(); ++i) {
        for (std::size_t j = i + 1; j < font.Description.Glyphs.size(); ++j) {
            const auto& a = font.Description.Glyphs[i].Entry;
            const auto& b = font.Description.Glyphs[j].Entry;
            EXPECT_TRUE(a.X + a.Width <= b.X || b.X + b.Width <= a.X || a.Y + a.Height <= b.Y ||
                        b.Y + b.Height <= a.Y);
        }
    }
}

TEST(DatapackFonts, ShadowStyleAddsADarkRimAroundTheSameAdvance) {
    if (!fs::exists(kFontFile)) GTEST_SKIP() << "no font " << kFontFile;
    FontItem plain;
    plain.Name = "P";
    plain.Face = kFontFile;
    plain.Size = 24;
    ASSERT_TRUE(ParseRanges("4F", plain.Ranges)); // "O"
    FontItem shadow = plain;
    shadow.Shadow = true;
    BuiltFont p, s;
    std::string error;
    ASSERT_TRUE(BuildFont(plain, p, error)) << error;
    ASSERT_TRUE(BuildFont(shadow, s, error)) << error;
    const LetterEntry& pe = p.Description.Glyphs.at(0).Entry;
    const LetterEntry& se = s.Description.Glyphs.at(0).Entry;
    EXPECT_GT(se.Width, pe.Width);
    EXPECT_GT(se.Height, pe.Height);
    // The pen advances by the letter plus its outline.
    EXPECT_EQ(se.Leading + se.Width + se.Trailing,
              pe.Leading + pe.Width + pe.Trailing + shadow.Outline);
    int dark = 0, white = 0;
    const int tw = s.Image.TextureSize.x;
    for (int y = se.Y; y < se.Y + se.Height; ++y) {
        for (int x = se.X; x < se.X + se.Width; ++x) {
            const uint32_t px = s.Image.Textures[0][static_cast<std::size_t>(y * tw + x)];
            if (Alpha(px) > 128 && Red(px) < 64 && Green(px) < 64) ++dark;
            if (Alpha(px) == 255 && (px & 0xFFFFFF) == 0xFFFFFF) ++white;
        }
    }
    EXPECT_GT(dark, 20);
    EXPECT_GT(white, 20);
}

TEST_F(DataFolder, FontRecordsReadBackAsAFont) {
    if (!fs::exists(kFontFile)) GTEST_SKIP() << "no font " << kFontFile;
    Archive("Fonts", "<font name='F_1' face='" + kFontFile + "' size='16' ranges='30-39'/>");
    ASSERT_EQ(Build(), 0) << err;
    TKilnArchive a;
    a.SetOpenMode(aomReadOnly);
    ASSERT_TRUE(a.OpenFile((Out() / "Fonts.dan").string()));
    EXPECT_EQ(a.RecordType(a.IndexOf("F_1.image")), artImage);
    const auto root = XMLFromArchive("F_1.xml", &a);
    ASSERT_NE(root, nullptr);
    const FontDescription d = ReadFontDescription(*root);
    EXPECT_EQ(d.Glyphs.size(), 10u);
    EXPECT_GT(d.FontSize.y, 0);
}

// ---------------------------------------------------------------- manifest check

TEST_F(DataFolder, VerifyReportsMissingAndMisshapenRequiredItems) {
    Write("Common/t.svg", kSquareSvg);
    Archive("Common", "<image key='blackpixel.image' svg='t.svg' pattern='1x1'/>"
                      "<image key='anim.image' svg='t.svg' pattern='8x8' frames='4'/>");
    ASSERT_EQ(Build(), 0) << err;
    const std::string manifest = (Src() / "manifest").string();
    auto writeManifest = [&](const std::string& rows) {
        test::WriteText(manifest, "# test\nstatus\tarchive\tkey\tkind\tpattern\tcount\tvisible\t"
                                  "notes\n" +
                                      rows);
    };
    writeManifest("required\tCommon.dan\tblackpixel.image\timage\t1x1\t1\t*\tblack\n"
                  "required\tCommon.dan\tanim.image\timage\t8x*\t4+\t8x8\n"
                  "planned\tCommon.dan\tCursor_drag.image\timage\n"
                  "planned\tMissing.dan\tx.xml\txml\n");
    EXPECT_EQ(Run({"verify", manifest, Out().string()}), 0) << out << err;
    EXPECT_EQ(out.find("Cursor_drag"), std::string::npos) << out;
    EXPECT_EQ(Run({"verify", manifest, Out().string(), "--all"}), 0) << out << err;
    EXPECT_NE(out.find("Cursor_drag.image"), std::string::npos) << out;
    EXPECT_NE(out.find("x.xml"), std::string::npos) << out;

    writeManifest("required\tCommon.dan\tblackpixel.image\timage\t1x1\t1\n"
                  "required\tCommon.dan\tCursor_image.image\timage\n");
    EXPECT_EQ(Run({"verify", manifest, Out().string()}), 1);
    EXPECT_NE(out.find("Cursor_image.image\tmissing"), std::string::npos) << out;
    EXPECT_NE(out.find("1 of 2 required"), std::string::npos) << out;

    writeManifest("required\tCommon.dan\tanim.image\timage\t16x16\n"
                  "required\tCommon.dan\tblackpixel.image\timage\t*\t2+\n");
    EXPECT_EQ(Run({"verify", manifest, Out().string()}), 1);
    EXPECT_NE(out.find("pattern 8x8, expected 16x16"), std::string::npos) << out;
    EXPECT_NE(out.find("1 patterns, expected 2+"), std::string::npos) << out;

    writeManifest("required\tCommon.dan\tblackpixel.image\timage\t1\n");
    EXPECT_EQ(Run({"verify", manifest, Out().string()}), 1);
    EXPECT_NE(err.find("manifest:3"), std::string::npos) << err;
}

TEST_F(DataFolder, VerifyFindsElementsInsideXmlRecords) {
    Write("tData/Text.xml", "<texts><words><Hello v='1'/></words></texts>");
    Archive("tData", "<file key='Text.xml' src='Text.xml'/>");
    ASSERT_EQ(Build(), 0) << err;
    const std::string manifest = dir.File("manifest");
    test::WriteText(manifest, "required\ttData.dan\tText.xml#words/hello\txml\n"
                              "required\ttData.dan\tText.xml#words/Bye\txml\n"
                              "required\ttData.dan\tText.xml#sounds/Hello\txml\n");
    EXPECT_EQ(Run({"verify", manifest, Out().string()}), 1);
    EXPECT_EQ(out.find("words/hello"), std::string::npos) << out;
    EXPECT_NE(out.find("Text.xml#words/Bye\tno element words/Bye"), std::string::npos) << out;
    EXPECT_NE(out.find("no element sounds\n"), std::string::npos) << out;
}

TEST_F(DataFolder, VerifyExitStatusComesFromTheProgram) {
    if (!fs::exists(kDatapack)) GTEST_SKIP() << "datapack is not built: " << kDatapack;
    const std::string manifest = dir.File("manifest");
    test::WriteText(manifest, "required\tCommon.dan\tblackpixel.image\timage\n");
    EXPECT_EQ(Program("verify '" + manifest + "' '" + Out().string() + "'"), 1);
    EXPECT_NE(out.find("blackpixel.image\tmissing"), std::string::npos) << out;
}

TEST_F(DataFolder, VerifyChecksFontsForTheCharactersTheGameNeeds) {
    if (!fs::exists(kFontFile)) GTEST_SKIP() << "no font " << kFontFile;
    Archive("Fonts", "<font name='Digits' face='" + kFontFile +
                         "' size='16' ranges='30-39'/>"
                         "<font name='Full' face='" +
                         kFontFile + "' size='16'/>");
    ASSERT_EQ(Build(), 0) << err;
    const std::string manifest = dir.File("manifest");
    test::WriteText(manifest, "required\tFonts.dan\tFull.xml\tfont\n"
                              "required\tFonts.dan\tDigits.xml\tfont\n");
    EXPECT_EQ(Run({"verify", manifest, Out().string()}), 1);
    EXPECT_NE(out.find("Digits.xml\tfont lacks needed characters: U+002F"), std::string::npos)
        << out;
    EXPECT_EQ(out.find("Full.xml"), std::string::npos) << out;
}

} // namespace
} // namespace bw
