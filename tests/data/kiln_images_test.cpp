#include "data/KilnImages.h"
#include "render/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace bw {
namespace {

TKilnImageData Sheet(const std::string& name, int textures, int texSize, int cell,
                     TPoint2px visible = {}) {
    TKilnImageData data;
    data.Name = name;
    data.PatternSize = {cell, cell};
    data.VisibleSize = visible;
    data.TextureSize = {texSize, texSize};
    for (int t = 0; t < textures; ++t) {
        data.Textures.emplace_back(static_cast<size_t>(texSize) * texSize,
                                   0xFF000000u | static_cast<uint32_t>(t));
    }
    return data;
}

void ExpectMapping(const TPoint4& got, float u0, float v0, float u1, float v1) {
    const TPoint4 want{TPoint2{u0, v0}, TPoint2{u1, v0}, TPoint2{u1, v1}, TPoint2{u0, v1}};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_FLOAT_EQ(got[i].x, want[i].x) << "corner " << i;
        EXPECT_FLOAT_EQ(got[i].y, want[i].y) << "corner " << i;
    }
}

class KilnImagesTest : public ::testing::Test {
protected:
    RecordingCanvas canvas;
    TKilnImages images{&canvas};
};

TEST_F(KilnImagesTest, PatternsRunThroughTheTexturesInOrder) {
    const int index = images.AddFromPixels(Sheet("Three.image", 3, 256, 64));
    ASSERT_GE(index, 0);
    const TKilnImage& image = *images.Image(index);
    EXPECT_EQ(image.PatternsPerTexture(), 16);
    EXPECT_EQ(image.FPatternCount, 48);

    // Pattern 17 is the second cell of the second texture.
    const TKilnPatternTex p17 = image.RetrieveTex(17);
    ASSERT_TRUE(p17);
    EXPECT_EQ(p17.TextureIndex, 1);
    EXPECT_EQ(p17.Texture, image.Textures[1]);
    EXPECT_EQ(p17.Source, (TRect{64, 0, 128, 64}));
    ExpectMapping(p17.Mapping, 0.25f, 0.0f, 0.5f, 0.25f);

    const TKilnPatternTex last = image.RetrieveTex(47);
    EXPECT_EQ(last.TextureIndex, 2);
    EXPECT_EQ(last.Source, (TRect{192, 192, 256, 256}));
    EXPECT_FALSE(image.RetrieveTex(48));
    EXPECT_FALSE(image.RetrieveTex(-1));
}

TEST_F(KilnImagesTest, CellsThatDoNotFillTheTextureLeaveItsRestUnused) {
    // 100 x 100 cells in a 256 x 256 texture: 2 x 2 per texture, the rest is padding.
    const int index = images.AddFromPixels(Sheet("Pad.image", 2, 256, 100));
    const TKilnImage& image = *images.Image(index);
    EXPECT_EQ(image.PatternsPerTexture(), 4);
    EXPECT_EQ(image.RetrieveTex(3).Source, (TRect{100, 100, 200, 200}));
    EXPECT_EQ(image.RetrieveTex(4).TextureIndex, 1);
    EXPECT_EQ(image.RetrieveTex(4).Source, (TRect{0, 0, 100, 100}));
    EXPECT_FALSE(image.RetrieveTex(8));
}

TEST_F(KilnImagesTest, VisibleSizeLimitsTheDrawnPartOfACell) {
    const int index = images.AddFromPixels(Sheet("Vis.image", 1, 256, 64, {40, 30}));
    const TKilnImage& image = *images.Image(index);
    EXPECT_EQ(image.FVisibleSize, (TPoint2px{40, 30}));
    const TKilnPatternTex p5 = image.RetrieveTex(5);
    EXPECT_EQ(p5.Source, (TRect{64, 64, 104, 94}));
    ExpectMapping(p5.Mapping, 64 / 256.0f, 64 / 256.0f, 104 / 256.0f, 94 / 256.0f);

    // A visible size beyond the cell would sample the neighbours: it is cut to the cell.
    const int wide = images.AddFromPixels(Sheet("Wide.image", 1, 256, 64, {100, 64}));
    EXPECT_EQ(images.Image(wide)->FVisibleSize, (TPoint2px{64, 64}));
}

TEST_F(KilnImagesTest, MirroringAndFlippingSwapTheCoordinates) {
    const TKilnImage& image = *images.Image(images.AddFromPixels(Sheet("M.image", 1, 128, 64)));
    ExpectMapping(image.RetrieveTex(1, true, false).Mapping, 1.0f, 0.0f, 0.5f, 0.5f);
    ExpectMapping(image.RetrieveTex(1, false, true).Mapping, 0.5f, 0.5f, 1.0f, 0.0f);
    ExpectMapping(image.RetrieveTex(1, true, true).Mapping, 1.0f, 0.5f, 0.5f, 0.0f);
}

TEST_F(KilnImagesTest, SubRectanglesAreClippedToTheVisibleSize) {
    const TKilnImage& image =
        *images.Image(images.AddFromPixels(Sheet("Sub.image", 1, 256, 64, {48, 48})));
    EXPECT_EQ(image.RetrieveTex(1, TRect{8, 4, 24, 20}).Source, (TRect{72, 4, 88, 20}));
    EXPECT_EQ(image.RetrieveTex(1, TRect{-10, 40, 100, 100}).Source, (TRect{64, 40, 112, 48}));
    const TKilnPatternTex mirrored = image.RetrieveTex(0, TRect{0, 0, 32, 32}, true, false);
    ExpectMapping(mirrored.Mapping, 0.125f, 0.0f, 0.0f, 0.125f);
}

TEST_F(KilnImagesTest, LookupIgnoresCaseAndReusesEmptySlots) {
    const int a = images.AddFromPixels(Sheet("Birds_1.image", 1, 64, 64));
    const int b = images.AddFromPixels(Sheet("cats.image", 1, 64, 64));
    const int c = images.AddFromPixels(Sheet("Zebra.IMAGE", 1, 64, 64));
    EXPECT_EQ(images.IndexOf("BIRDS_1.IMAGE"), a);
    EXPECT_EQ(images.IndexOf("Cats.Image"), b);
    EXPECT_EQ(images.IndexOf("zebra.image"), c);
    EXPECT_EQ(images.IndexOf("birds_1"), -1);
    EXPECT_EQ(images.GetImage("nothing.image"), nullptr);

    images.Remove(b);
    EXPECT_EQ(images.Image(b), nullptr);
    EXPECT_EQ(images.IndexOf("cats.image"), -1);
    EXPECT_EQ(images.IndexOf("zebra.image"), c);
    const int d = images.AddFromPixels(Sheet("Apple.image", 1, 64, 64));
    EXPECT_EQ(d, b); // the first empty slot
    EXPECT_EQ(images.IndexOf("APPLE.image"), d);
    EXPECT_EQ(images.Count(), 3);
}

TEST_F(KilnImagesTest, SameNameTwiceFindsOneOfThem) {
    const int first = images.AddFromPixels(Sheet("Twin.image", 1, 64, 64));
    const int second = images.AddFromPixels(Sheet("TWIN.image", 1, 64, 64));
    ASSERT_NE(first, second);
    const int found = images.IndexOf("twin.image");
    EXPECT_TRUE(found == first || found == second);
}

TEST_F(KilnImagesTest, BrokenDataIsRejectedAndReported) {
    std::vector<std::string> failed;
    images.FOnItemFail = [&](const std::string& name) { failed.push_back(name); };
    TKilnImageData shortPixels = Sheet("Short.image", 2, 64, 32);
    shortPixels.Textures[1].pop_back();
    EXPECT_EQ(images.AddFromPixels(shortPixels), -1);
    EXPECT_EQ(images.AddFromPixels(Sheet("ZeroCell.image", 1, 64, 0)), -1);
    EXPECT_EQ(images.AddFromPixels(Sheet("BigCell.image", 1, 64, 65)), -1);
    EXPECT_EQ(images.AddFromPixels(Sheet("NoTextures.image", 0, 64, 32)), -1);
    TKilnImageData huge = Sheet("Huge.image", 1, 4, 4);
    huge.TextureSize = {20000, 1};
    huge.PatternSize = {1, 1};
    huge.Textures[0].assign(20000, 0);
    EXPECT_EQ(images.AddFromPixels(huge), -1); // the canvas refuses the texture
    EXPECT_EQ(failed, (std::vector<std::string>{"Short.image", "ZeroCell.image", "BigCell.image",
                                                "NoTextures.image", "Huge.image"}));
    EXPECT_EQ(images.Count(), 0);
    EXPECT_EQ(canvas.LiveTextures(), 0u);

    EXPECT_EQ(images.Resolve("absent.image"), -1);
    EXPECT_EQ(failed.back(), "absent.image");
}

TEST_F(KilnImagesTest, TexturesLiveOnTheCanvasWhileTheImageExists) {
    std::vector<std::string> loaded;
    images.FOnItemLoad = [&](const std::string& name, int) { loaded.push_back(name); };
    const int index = images.AddFromPixels(Sheet("Three.image", 3, 128, 64));
    EXPECT_EQ(loaded, (std::vector<std::string>{"Three.image"}));
    EXPECT_EQ(canvas.LiveTextures(), 3u);
    for (TextureId tex : images.Image(index)->Textures) {
        EXPECT_EQ(canvas.TextureSize(tex), (TPoint2px{128, 128}));
    }
    images.Remove(index);
    EXPECT_EQ(canvas.LiveTextures(), 0u);
}

TEST_F(KilnImagesTest, TexturesAreRebuiltFromKeptPixelsOrTheReloadHook) {
    const int kept = images.AddFromPixels(Sheet("Kept.image", 2, 64, 32));
    images.FKeepPixels = false;
    const int hooked = images.AddFromPixels(Sheet("Hooked.image", 1, 64, 32));
    const int lost = images.AddFromPixels(Sheet("Lost.image", 1, 64, 32));
    int reloads = 0;
    images.Image(hooked)->FOnReload = [&](const TKilnImage&, TKilnTexturePixels& pixels) {
        ++reloads;
        pixels.assign(1, std::vector<uint32_t>(64 * 64, 0xFFFFFFFF));
        return true;
    };
    EXPECT_EQ(images.Image(kept)->Pixels().size(), 2u);
    EXPECT_TRUE(images.Image(hooked)->Pixels().empty());

    images.ReleaseTextures(/*destroyOnCanvas=*/false); // the device is gone
    EXPECT_EQ(images.Image(kept)->Textures[0], kNoTexture);
    EXPECT_EQ(images.RestoreTextures(), 1); // "Lost" has nothing to rebuild from
    EXPECT_EQ(reloads, 1);
    EXPECT_NE(images.Image(kept)->Textures[1], kNoTexture);
    EXPECT_NE(images.Image(hooked)->Textures[0], kNoTexture);
    EXPECT_EQ(images.Image(lost)->Textures[0], kNoTexture);
    EXPECT_EQ(images.Image(lost)->RetrieveTex(0).Texture, kNoTexture);
}

TEST(KilnImagesNoCanvas, TexturesAppearWhenACanvasIsGiven) {
    TKilnImages images;
    const int index = images.AddFromPixels(Sheet("Early.image", 2, 64, 32));
    ASSERT_GE(index, 0);
    EXPECT_EQ(images.Image(index)->Textures, (std::vector<TextureId>{kNoTexture, kNoTexture}));
    EXPECT_EQ(images.Image(index)->RetrieveTex(5).TextureIndex, 1);

    RecordingCanvas canvas;
    images.SetCanvas(&canvas);
    EXPECT_EQ(canvas.LiveTextures(), 2u);
    EXPECT_NE(images.Image(index)->RetrieveTex(5).Texture, kNoTexture);
    images.SetCanvas(nullptr); // leaves nothing behind on the old canvas
    EXPECT_EQ(canvas.LiveTextures(), 0u);
}

} // namespace
} // namespace bw
