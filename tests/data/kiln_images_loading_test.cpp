// Adding images from archives and picture files, batch progress, and rebuilding textures.
#include "data/data_test_util.h"

#include "data/ArchiveAccess.h"
#include "data/ImageRecord.h"
#include "data/KilnArchive.h"
#include "data/KilnImages.h"
#include "platform/Log.h"
#include "render/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace bw {
namespace {

std::vector<uint8_t> ImageRecordBytes(int textures, int texSize, int cell, uint32_t fill) {
    TKilnImageData data;
    data.PatternSize = {cell, cell};
    data.TextureSize = {texSize, texSize};
    for (int t = 0; t < textures; ++t)
        data.Textures.emplace_back(static_cast<size_t>(texSize) * texSize, fill + uint32_t(t));
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(EncodeImageRecord(data, bytes));
    return bytes;
}

class ImageLoading : public ::testing::Test {
protected:
    test::TempDir dir;
    RecordingCanvas canvas;
    TKilnImages images{&canvas};
    std::vector<std::string> failed;

    void SetUp() override {
        UnlockArchiveAccess();
        images.FOnItemFail = [this](const std::string& name) { failed.push_back(name); };
    }

    // An archive in the temp folder, reopened read-only as the game opens it.
    void Write(const std::string& name,
               const std::vector<std::pair<std::string, std::vector<uint8_t>>>& records) {
        TKilnArchive a;
        a.SetOpenMode(aomOverwrite);
        ASSERT_TRUE(a.OpenFile(dir.File(name)));
        for (const auto& [key, bytes] : records)
            ASSERT_TRUE(a.WriteRecord(key, bytes.data(), bytes.size(), artImage));
    }
    static void Open(TKilnArchive& a, const std::string& path) {
        a.SetOpenMode(aomReadOnly);
        ASSERT_TRUE(a.OpenFile(path));
    }
};

TEST_F(ImageLoading, OneRecordIsNamedByItsKeyOrTheNameGiven) {
    Write("a.dan", {{"Pics/Bird.image", ImageRecordBytes(2, 64, 32, 0xFF000010u)}});
    TKilnArchive a;
    Open(a, dir.File("a.dan"));

    const int byKey = images.AddFromArchive("Pics/Bird.image", &a, true);
    ASSERT_GE(byKey, 0);
    EXPECT_EQ(images.Image(byKey)->FName, "Pics\\Bird.image");
    EXPECT_TRUE(images.Image(byKey)->FMipMapping);
    EXPECT_EQ(images.Image(byKey)->FPatternCount, 8);
    EXPECT_EQ(images.Image(byKey)->Pixels()[1][0], 0xFF000011u);
    EXPECT_EQ(images.IndexOf("pics\\bird.IMAGE"), byKey);

    const int named = images.AddFromArchive("pics/bird.image", &a, false, "Other.image");
    EXPECT_EQ(images.IndexOf("other.image"), named);
    EXPECT_EQ(canvas.LiveTextures(), 4u);

    EXPECT_EQ(images.AddFromArchive("Missing.image", &a), -1);
    EXPECT_EQ(images.AddFromArchive("Pics/Bird.image", nullptr), -1);
    EXPECT_EQ(failed, (std::vector<std::string>{"Missing.image", "Pics\\Bird.image"}));
}

TEST_F(ImageLoading, WholeArchiveSkipsBadRecordsAndReportsEveryRecordAsProgress) {
    std::vector<uint8_t> cut = ImageRecordBytes(1, 16, 16, 0xFF0000FFu);
    cut.resize(cut.size() - 7);
    const std::string xml = "<font width='1' height='1'/>";
    Write("all.dan", {{"one.image", ImageRecordBytes(1, 16, 8, 0xFF00FF00u)},
                      {"cut.image", cut},
                      {"Font.xml", std::vector<uint8_t>(xml.begin(), xml.end())},
                      {"two.image", ImageRecordBytes(3, 8, 8, 0xFFFF0000u)}});
    TKilnArchive a;
    Open(a, dir.File("all.dan"));

    ImageLoadProgress progress;
    progress.LoadTotal = 4;
    std::vector<int> percents;
    progress.OnProgress = [&](int p) { percents.push_back(p); };
    std::vector<std::string> log;
    SetLogListener([&](const std::string& line) { log.push_back(line); });
    EXPECT_EQ(images.AddAllFromArchive(&a, true, true, progress), 2);
    SetLogListener(nullptr);
    // Each skipped record is named with its archive, its key and the reason.
    ASSERT_EQ(log.size(), 2u);
    EXPECT_NE(log[0].find("Image " + a.FileName() + " | cut.image not loaded: " +
                          ImageRecordResultText(ImageRecordResult::ShortPixels)),
              std::string::npos)
        << log[0];
    EXPECT_NE(log[1].find("| Font.xml not loaded: "), std::string::npos) << log[1];
    EXPECT_EQ(progress.LoadCount, 4);
    EXPECT_EQ(percents, (std::vector<int>{28, 53, 78, 100}));
    EXPECT_EQ(failed, (std::vector<std::string>{"cut.image", "Font.xml"}));
    EXPECT_GE(images.IndexOf("one.image"), 0);
    EXPECT_GE(images.IndexOf("two.image"), 0);
    EXPECT_EQ(images.IndexOf("cut.image"), -1);

    // Without progress the counter is left alone.
    EXPECT_EQ(images.AddAllFromArchive(&a, false, false, progress), 2);
    EXPECT_EQ(progress.LoadCount, 4);
}

TEST_F(ImageLoading, AnArchiveThatDidNotOpenNamesEveryImageAskedOfIt) {
    Write("empty.dan", {});
    std::filesystem::resize_file(dir.File("empty.dan"), 0);
    TKilnArchive a;
    a.SetOpenMode(aomReadOnly);
    EXPECT_FALSE(a.OpenFile(dir.File("empty.dan")));
    std::vector<std::string> log;
    SetLogListener([&](const std::string& line) { log.push_back(line); });
    EXPECT_EQ(images.AddFromArchive("Bird.image", &a), -1);
    SetLogListener(nullptr);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_NE(log[0].find("| Bird.image not loaded: the archive is not open"), std::string::npos)
        << log[0];
}

TEST_F(ImageLoading, TheSameKeyInTwoArchivesAddsTwoImagesOfOneName) {
    Write("x.dan", {{"Same.image", ImageRecordBytes(1, 8, 8, 0xFF000001u)}});
    Write("y.dan", {{"same.image", ImageRecordBytes(1, 8, 8, 0xFF000002u)}});
    TKilnArchive x, y;
    Open(x, dir.File("x.dan"));
    Open(y, dir.File("y.dan"));
    const int first = images.AddFromArchive("Same.image", &x);
    const int second = images.AddFromArchive("same.image", &y);
    ASSERT_GE(first, 0);
    ASSERT_GE(second, 0);
    EXPECT_NE(first, second);
    const int found = images.IndexOf("SAME.image");
    EXPECT_TRUE(found == first || found == second);
}

TEST(LoadingProgress, PercentStartsAtThreeRoundsToEvenAndStopsAtHundred) {
    EXPECT_EQ(ImageLoadProgress::Percent(1, 400), 3); // 3.25
    EXPECT_EQ(ImageLoadProgress::Percent(1, 200), 4); // 3.5 -> 4
    EXPECT_EQ(ImageLoadProgress::Percent(3, 200), 4); // 4.5 -> 4
    EXPECT_EQ(ImageLoadProgress::Percent(97, 100), 100);
    EXPECT_EQ(ImageLoadProgress::Percent(120, 100), 100);
    EXPECT_EQ(ImageLoadProgress::Percent(1, 0), 100); // no total: nothing to divide by
}

TEST_F(ImageLoading, PictureFilesBecomeOnePatternNamedAfterTheFile) {
    const std::vector<uint32_t> px{0xFF102030u, 0x80FFFFFFu, 0x00000000u,
                                   0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu};
    ASSERT_TRUE(SavePng(dir.File("ext_logo.png"), 3, 2, px));
    const int index = images.AddFromFile(dir.File("ext_logo.png"));
    ASSERT_GE(index, 0);
    const TKilnImage& image = *images.Image(index);
    EXPECT_EQ(image.FName, "ext_logo");
    EXPECT_EQ(image.FPatternCount, 1);
    EXPECT_EQ(image.FPatternSize, (TPoint2px{3, 2}));
    EXPECT_EQ(image.Pixels().at(0), px);
    EXPECT_GE(images.AddFromFile(dir.File("ext_logo.png"), "ext_logo_1.image"), 0);
    EXPECT_GE(images.IndexOf("EXT_LOGO_1.image"), 0);

    EXPECT_EQ(images.AddFromFile(dir.File("nothing.png")), -1);
    EXPECT_EQ(failed, (std::vector<std::string>{"nothing"}));
}

TEST_F(ImageLoading, TexturesWithoutKeptPixelsAreReadAgainAfterADeviceLoss) {
    images.FKeepPixels = false;
    Write("r.dan", {{"r.image", ImageRecordBytes(2, 32, 16, 0xFF123456u)}});
    ASSERT_TRUE(SavePng(dir.File("r.png"), 1, 1, {0xFFFFFFFFu}));
    TKilnArchive a;
    Open(a, dir.File("r.dan"));
    const int fromArchive = images.AddFromArchive("r.image", &a);
    const int fromFile = images.AddFromFile(dir.File("r.png"));
    ASSERT_GE(fromArchive, 0);
    ASSERT_GE(fromFile, 0);
    EXPECT_TRUE(images.Image(fromArchive)->Pixels().empty());

    // The device goes away and comes back: a new canvas gets new textures.
    RecordingCanvas fresh;
    images.SetCanvas(&fresh);
    EXPECT_EQ(canvas.LiveTextures(), 0u);
    EXPECT_EQ(fresh.LiveTextures(), 3u);
    const TKilnImage& image = *images.Image(fromArchive);
    EXPECT_EQ(fresh.TextureSize(image.Textures[1]), (TPoint2px{32, 32}));

    // Without the sources nothing can be rebuilt, and nothing crashes.
    images.ReleaseTextures(false);
    std::filesystem::remove(dir.File("r.dan"));
    std::filesystem::remove(dir.File("r.png"));
    EXPECT_EQ(images.RestoreTextures(), 2);
    EXPECT_EQ(images.Image(fromArchive)->RetrieveTex(0).Texture, kNoTexture); // draws nothing
}

TEST_F(ImageLoading, WaitingPicturesGetTexturesWhenDrawnAndGiveThemBackOverTheBudget) {
    images.FKeepPixels = false;
    Write("w.dan", {{"a.image", ImageRecordBytes(2, 32, 16, 0xFF0000A0u)},
                    {"b.image", ImageRecordBytes(1, 32, 16, 0xFF0000B0u)}});
    Write("i.dan", {{"c.image", ImageRecordBytes(1, 32, 16, 0xFF0000C0u)}});
    TKilnArchive w, i;
    Open(w, dir.File("w.dan"));
    Open(i, dir.File("i.dan"));
    images.FNewTextures = TextureTiming::WhenDrawn;
    EXPECT_EQ(images.AddAllFromArchive(&w, true, false), 2);
    EXPECT_EQ(images.AddAllFromArchive(&i, true, false, TextureTiming::WhenIdle), 1);
    EXPECT_EQ(images.FNewTextures, TextureTiming::WhenDrawn);
    const TKilnImage& a = *images.GetImage("a.image");
    const TKilnImage& b = *images.GetImage("b.image");
    const TKilnImage& c = *images.GetImage("c.image");

    // Read and looked up, but no texture yet.
    EXPECT_EQ(canvas.LiveTextures(), 0u);
    EXPECT_EQ(a.FPatternCount, 8);
    EXPECT_EQ(a.TextureCount(), 2);
    const TKilnPatternTex drawn = a.RetrieveTex(5);
    EXPECT_EQ(canvas.LiveTextures(), 2u);
    EXPECT_EQ(drawn.Texture, a.Textures[1]);
    EXPECT_EQ(canvas.TextureSize(drawn.Texture), (TPoint2px{32, 32}));
    EXPECT_EQ(images.DeferredBytes(), 2u * 32 * 32 * 4);
    // Idle moments make only the pictures read for them.
    EXPECT_EQ(images.WarmUp(1.0), 0);
    EXPECT_TRUE(c.HasTextures());
    EXPECT_FALSE(b.HasTextures());

    // Over the budget, the picture undrawn the longest gives its textures back, and only once it
    // has gone undrawn for the idle frames; what is drawn keeps its own.
    images.FDeferredBudget = 2u * 32 * 32 * 4;
    images.FIdleTime = 30;
    for (uint64_t now = 10; now <= 30; now += 10) { // a was drawn at 0
        images.BeginFrame(now);
        b.Touch();
        images.EndFrame();
        EXPECT_EQ(a.HasTextures(), now < 30) << now;
    }
    EXPECT_FALSE(a.HasTextures());
    EXPECT_TRUE(b.HasTextures());
    EXPECT_TRUE(c.HasTextures());
    EXPECT_EQ(canvas.LiveTextures(), 2u);
    EXPECT_EQ(images.DeferredBytes(), images.FDeferredBudget);
    // Drawn again, it reads its pixels again.
    EXPECT_NE(a.RetrieveTex(0).Texture, kNoTexture);
    EXPECT_EQ(canvas.LiveTextures(), 4u);

    // A new canvas: the waiting pictures make theirs there when drawn.
    RecordingCanvas fresh;
    images.SetCanvas(&fresh);
    EXPECT_EQ(canvas.LiveTextures(), 0u);
    EXPECT_EQ(fresh.LiveTextures(), 0u);
    EXPECT_EQ(images.DeferredBytes(), 0u);

    // A source gone from the disk is reported once and the picture draws nothing.
    std::filesystem::remove(dir.File("w.dan"));
    std::vector<std::string> log;
    SetLogListener([&](const std::string& line) { log.push_back(line); });
    EXPECT_EQ(b.RetrieveTex(0).Texture, kNoTexture);
    EXPECT_EQ(b.RetrieveTex(1).Texture, kNoTexture);
    SetLogListener(nullptr);
    EXPECT_EQ(fresh.LiveTextures(), 0u);
    ASSERT_FALSE(log.empty());
    EXPECT_NE(log.back().find("Picture b.image could not be read again"), std::string::npos);
    EXPECT_LE(log.size(), 2u); // the archive's reason and the picture, once
    EXPECT_NE(c.RetrieveTex(0).Texture, kNoTexture);
    images.SetCanvas(nullptr); // before the canvas of this test goes
}

TEST_F(ImageLoading, WarmingUpKeepsWithinTheBudgetAndWaitsForTexturesGivenBack) {
    images.FKeepPixels = false;
    Write("w.dan", {{"a.image", ImageRecordBytes(1, 32, 16, 0xFF0000A0u)},
                    {"b.image", ImageRecordBytes(1, 32, 16, 0xFF0000B0u)},
                    {"c.image", ImageRecordBytes(1, 32, 16, 0xFF0000C0u)}});
    Write("n.dan", {{"d.image", ImageRecordBytes(1, 32, 16, 0xFF0000D0u)}});
    Write("m.dan", {{"e.image", ImageRecordBytes(1, 32, 16, 0xFF0000E0u)}});
    TKilnArchive w, n, m;
    Open(w, dir.File("w.dan"));
    Open(n, dir.File("n.dan"));
    Open(m, dir.File("m.dan"));
    images.FDeferredBudget = 2u * 32 * 32 * 4;
    images.FIdleTime = 30;
    EXPECT_EQ(images.AddAllFromArchive(&w, true, false, TextureTiming::WhenIdle), 3);
    const TKilnImage& a = *images.GetImage("a.image");
    const TKilnImage& b = *images.GetImage("b.image");
    const TKilnImage& c = *images.GetImage("c.image");
    const auto frame = [&](uint64_t now) {
        images.BeginFrame(now);
        a.Touch();
        images.EndFrame();
    };

    // Two fit; the third finds nothing idle to make room and is left to its first draw.
    EXPECT_EQ(images.WarmUp(1.0), 0);
    EXPECT_TRUE(a.HasTextures());
    EXPECT_TRUE(b.HasTextures());
    EXPECT_FALSE(c.HasTextures());
    EXPECT_EQ(images.DeferredBytes(), images.FDeferredBudget);

    // Later pictures make room among those gone undrawn, then wait for the frames in flight
    // before they come on top of the textures just given back.
    frame(40);
    EXPECT_EQ(images.AddAllFromArchive(&n, true, false, TextureTiming::WhenIdle), 1);
    const TKilnImage& d = *images.GetImage("d.image");
    EXPECT_EQ(images.WarmUp(1.0), 1);
    EXPECT_FALSE(b.HasTextures());
    EXPECT_FALSE(d.HasTextures());
    for (int f = 1; f < TKilnImages::kFramesInFlight; ++f) {
        frame(40 + f);
        EXPECT_EQ(images.WarmUp(1.0), 1) << f;
    }
    frame(50);
    EXPECT_EQ(images.WarmUp(1.0), 0);
    EXPECT_TRUE(d.HasTextures());
    EXPECT_TRUE(a.HasTextures());
    EXPECT_EQ(canvas.LiveTextures(), 2u);

    // A location left puts its pictures away: those of the next one wait as well.
    images.PutAway(images.IndexOf("d.image"));
    EXPECT_EQ(images.AddAllFromArchive(&m, true, false, TextureTiming::WhenIdle), 1);
    const TKilnImage& e = *images.GetImage("e.image");
    EXPECT_EQ(images.WarmUp(1.0), 1);
    for (int f = 0; f < TKilnImages::kFramesInFlight; ++f) frame(60 + f);
    EXPECT_EQ(images.WarmUp(1.0), 0);
    EXPECT_TRUE(e.HasTextures());
    EXPECT_FALSE(d.HasTextures());
    EXPECT_EQ(canvas.LiveTextures(), 2u);
}

} // namespace
} // namespace bw
