// The image and font commands of the dan tool, end to end.
#include "data/data_test_util.h"

#include "data/ArchiveAccess.h"
#include "data/KilnArchive.h"
#include "data/KilnImages.h"
#include "platform/PictureFile.h"
#include "render/Canvas.h"
#include "render/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

namespace bw {
namespace {

const std::string kDanTool = BW_TEST_BINARY_DIR "/tools/dan/dan";

// Cells of 8 x 8 whose pixels hold the cell number and the position inside the cell.
std::vector<uint32_t> SheetPixels(int columns, int rows, int width) {
    std::vector<uint32_t> px(static_cast<size_t>(width) * rows * 8, 0xFF000000u);
    for (int y = 0; y < rows * 8; ++y)
        for (int x = 0; x < columns * 8; ++x)
            px[static_cast<size_t>(y) * width + x] = 0xFF000000u |
                                                     uint32_t((y / 8) * columns + x / 8) << 8 |
                                                     uint32_t(y % 8 * 8 + x % 8);
    return px;
}

struct DanImages : ::testing::Test {
    test::TempDir dir;
    std::string out, err;

    void SetUp() override {
        if (!std::filesystem::exists(kDanTool)) GTEST_SKIP() << "dan is not built";
        UnlockArchiveAccess();
    }
    int Dan(const std::string& args) {
        const std::string cmd = "cd '" + dir.Path().string() + "' && '" + kDanTool + "' " + args +
                                " >out.txt 2>err.txt";
        const int status = std::system(cmd.c_str());
        const auto o = test::ReadBytes(dir.File("out.txt"));
        const auto e = test::ReadBytes(dir.File("err.txt"));
        out.assign(o.begin(), o.end());
        err.assign(e.begin(), e.end());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    Picture Load(const std::string& name) {
        Picture p;
        std::string error;
        EXPECT_TRUE(LoadPictureFile(dir.File(name), p, &error)) << error;
        return p;
    }
};

TEST_F(DanImages, ImportInfoExportRoundTripAndTheGameReadsTheRecord) {
    const std::vector<uint32_t> px = SheetPixels(3, 2, 24);
    ASSERT_TRUE(SavePng(dir.File("sheet.png"), 24, 16, px));
    ASSERT_EQ(Dan("image-import a.dan Birds.image sheet.png --pattern 8x8 --visible 6x7 "
                  "--count 5"),
              0)
        << err;
    ASSERT_EQ(Dan("image-info a.dan birds.IMAGE"), 0) << err;
    EXPECT_EQ(out, "format\tapf_A8R8G8B8\npattern size\t8x8\npattern count\t5\n"
                   "visible size\t6x7\ntexture size\t24x16\ntexture count\t1\n");
    ASSERT_EQ(Dan("image-export a.dan Birds.image back.png"), 0) << err;
    const Picture back = Load("back.png");
    EXPECT_EQ(back.width, 24);
    EXPECT_EQ(back.argb, px);

    // The game's catalogue reads what the tool wrote.
    TKilnArchive archive;
    archive.SetOpenMode(aomReadOnly);
    ASSERT_TRUE(archive.OpenFile(dir.File("a.dan")));
    EXPECT_EQ(archive.RecordType(0), artImage);
    RecordingCanvas canvas;
    TKilnImages images(&canvas);
    const int index = images.AddFromArchive("Birds.image", &archive);
    ASSERT_GE(index, 0);
    EXPECT_EQ(images.Image(index)->FPatternCount, 5);
    EXPECT_EQ(images.Image(index)->RetrieveTex(4).Source, (TRect{8, 8, 14, 15}));
}

TEST_F(DanImages, WideSheetsAreSplitIntoTexturesOfAtMost2048) {
    // 520 cells of 8 x 8 in one row: 4160 pixels wide.
    const int columns = 520, width = columns * 8;
    ASSERT_TRUE(SavePng(dir.File("wide.png"), width, 8, SheetPixels(columns, 1, width)));
    ASSERT_EQ(Dan("image-import w.dan Wide.image wide.png --pattern=8x8"), 0) << err;
    ASSERT_EQ(Dan("image-info w.dan Wide.image"), 0) << err;
    EXPECT_NE(out.find("pattern count\t520\n"), std::string::npos) << out;
    EXPECT_NE(out.find("texture size\t2048x24\n"), std::string::npos) << out;
    EXPECT_NE(out.find("texture count\t1\n"), std::string::npos) << out;

    ASSERT_EQ(Dan("image-export w.dan Wide.image wide-back.png"), 0) << err;
    const Picture back = Load("wide-back.png");
    ASSERT_EQ(back.width, 2048);
    ASSERT_EQ(back.height, 24);
    for (const int p : {0, 255, 256, 519}) {
        const int x = (p % 256) * 8 + 3, y = (p / 256) * 8 + 5;
        EXPECT_EQ(back.argb[static_cast<size_t>(y) * 2048 + x],
                  0xFF000000u | uint32_t(p) << 8 | uint32_t(5 * 8 + 3))
            << p;
    }
}

TEST_F(DanImages, BadArgumentsAndRecordsAreRefused) {
    ASSERT_TRUE(SavePng(dir.File("s.png"), 16, 8, SheetPixels(2, 1, 16)));
    EXPECT_EQ(Dan("image-import a.dan S.image s.png"), 2); // --pattern missing
    EXPECT_EQ(Dan("image-import a.dan S.image s.png --pattern 8by8"), 2);
    EXPECT_EQ(Dan("image-import a.dan S.image s.png --pattern 8x8 --count 0"), 2);
    EXPECT_EQ(Dan("image-import a.dan S.image s.png --pattern 8x8 --count 3"), 1);
    EXPECT_NE(err.find("only 2 cells"), std::string::npos) << err;
    EXPECT_EQ(Dan("image-import a.dan S.image missing.png --pattern 8x8"), 1);
    EXPECT_FALSE(std::filesystem::exists(dir.File("a.dan")));

    {
        TKilnArchive a;
        a.SetOpenMode(aomOverwrite);
        ASSERT_TRUE(a.OpenFile(dir.File("b.dan")));
        const std::string text = "not an image";
        ASSERT_TRUE(a.WriteRecord("Text.image", text.data(), text.size(), artImage));
    }
    EXPECT_EQ(Dan("image-export b.dan Text.image x.png"), 1);
    EXPECT_FALSE(std::filesystem::exists(dir.File("x.png")));
    EXPECT_EQ(Dan("image-info b.dan Text.image"), 1);
    EXPECT_EQ(Dan("image-info b.dan Nothing.image"), 1);
}

TEST_F(DanImages, FontInfoCountsTheDrawnGlyphs) {
    const std::string desc = "<font width='16' height='32'>\n"
                             " <item ascii='65' x='0' width='10' height='20'/>\n"
                             " <item ucode='1046' x='10' width='9' height='20'/>\n"
                             " <item ascii='32' width='0' height='0'/>\n"
                             " <item ascii='66'/>\n"
                             " <item ascii='66' x='20' width='5' height='5'/>\n"
                             "</font>\n";
    {
        TKilnArchive a;
        a.SetOpenMode(aomOverwrite);
        ASSERT_TRUE(a.OpenFile(dir.File("f.dan")));
        ASSERT_TRUE(a.WriteRecord("Toon.xml", desc.data(), desc.size(), artFont));
    }
    ASSERT_EQ(Dan("font-info f.dan toon.xml"), 0) << err;
    EXPECT_EQ(out, "font size\t16x32\nglyphs\t3\nempty glyphs\t1\n");
    EXPECT_EQ(Dan("font-info f.dan Other.xml"), 1);
}

} // namespace
} // namespace bw
