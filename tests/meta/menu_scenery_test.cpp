// The main menu's scenery on real sprites in a test engine: the day and night looks'
// cross-fade and hiding, the lightning's windows and thunders, the night cat's stages, the
// front leaves at the window's edges, and that building and destroying leaves no sprite.
#include "meta/MenuScenery.h"

#include "Engine/KilnSprite/SpriteEngine.h"
#include "base/GameObjects.h"
#include "data/KilnImages.h"
#include "render/DisplayState.h"
#include "render/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <string>

namespace bw {
namespace {

// The first sprite below `root` showing the picture `image` (names compared ignoring case).
TSpriteEx* FindPicture(TSprite* root, const std::string& image) {
    for (TSprite* child : root->Items()) {
        if (TKilnImages::SameName(child->FImageName, image))
            if (auto* s = dynamic_cast<TSpriteEx*>(child)) return s;
        if (TSpriteEx* found = FindPicture(child, image)) return found;
    }
    return nullptr;
}

int CountSprites(const TSprite* root) {
    int n = 0;
    for (const TSprite* child : root->Items()) n += 1 + CountSprites(child);
    return n;
}

class MenuSceneryTest : public ::testing::Test {
protected:
    void SetUp() override {
        savedOffset_ = WorldOffset;
        MainEngine = &engine_;
        AddPicture("MM_MainMenu_bg.image", 64, 36);
        AddPicture("night_MM_MainMenu_bg.image", 64, 36);
        AddPicture("MM_MainMenu_FrontLeafs_1.image", 300, 380);
        AddPicture("MM_MainMenu_FrontLeafs_3.image", 300, 380);
        AddPicture("night_MM_MainMenu_FrontLeafs_3.image", 300, 380);
        AddPicture("MM_MainMenu_Tree_1_Leafs_1.image", 40, 30);
        AddPicture("night_MM_MainMenu_Tree_1_Leafs_1.image", 40, 30);
    }
    void TearDown() override {
        DestroyMenuScenery();
        engine_.Dead();
        MainEngine = nullptr;
        WorldOffset = savedOffset_;
    }
    void AddPicture(const std::string& name, int w, int h) {
        TKilnImageData data;
        data.Name = name;
        data.PatternSize = {w, h};
        data.TextureSize = {w, h};
        data.Textures.assign(1, std::vector<uint32_t>(static_cast<size_t>(w * h), 0xFF336699));
        ASSERT_GE(images_.AddFromPixels(std::move(data)), 0);
    }
    TSpriteEx* Find(const std::string& image) { return FindPicture(&engine_, image); }
    // `n` updates at night with the night fully faded in, the clock standing still.
    void Nights(int n, double clock = 20000) {
        for (int i = 0; i < n; ++i) UpdateMenuScenery({clock, true, 1.0});
    }

    TPoint2 savedOffset_;
    RecordingCanvas canvas_;
    TKilnImages images_{&canvas_};
    TSpriteEngine engine_{&canvas_, &images_};
};

TEST_F(MenuSceneryTest, BuildsInTheDayLookWithTheNightTwinsHidden) {
    CreateMenuScenery();
    TSpriteEx* day = Find("MM_MainMenu_bg.image");
    TSpriteEx* night = Find("night_MM_MainMenu_bg.image");
    ASSERT_TRUE(day && night);
    EXPECT_TRUE(day->FVisible);
    EXPECT_FALSE(night->FVisible);
    EXPECT_EQ(night->FAlpha, 0);
    EXPECT_EQ(MenuNightSkyAlpha(), 0);
    // Every night twin lies on its day picture, one step above it.
    TSpriteEx* leafDay = Find("MM_MainMenu_Tree_1_Leafs_1.image");
    TSpriteEx* leafNight = Find("night_MM_MainMenu_Tree_1_Leafs_1.image");
    ASSERT_TRUE(leafDay && leafNight);
    EXPECT_EQ(leafNight->FZ, leafDay->FZ + 1);
    EXPECT_EQ(leafNight->FParent, leafDay->FParent);
    // The logo and the front leaves stay below the player selection (Z 2000).
    ASSERT_TRUE(MenuLogo());
    EXPECT_LT(MenuLogo()->FZ, 475);
    for (TSprite* top : engine_.Items()) EXPECT_LT(top->FZ, 2000);
}

TEST_F(MenuSceneryTest, TheNightLookFadesInAndOutAndTheLeftLookIsHiddenAtTheEnd) {
    CreateMenuScenery();
    TSpriteEx* day = Find("MM_MainMenu_bg.image");
    TSpriteEx* night = Find("night_MM_MainMenu_bg.image");
    UpdateMenuScenery({16100, true, 0.5});
    EXPECT_TRUE(day->FVisible);
    EXPECT_TRUE(night->FVisible);
    EXPECT_EQ(night->FAlpha, 128); // round(127.5), ties to even
    EXPECT_EQ(MenuNightSkyAlpha(), 128);
    UpdateMenuScenery({16200, true, 0.02});
    EXPECT_EQ(night->FAlpha, 5); // round(5.1)
    UpdateMenuScenery({16300, true, 1.0});
    EXPECT_FALSE(day->FVisible) << "the day look is hidden once the night has faded in";
    EXPECT_TRUE(night->FVisible);
    EXPECT_EQ(night->FAlpha, 255);
    EXPECT_EQ(MenuNightSkyAlpha(), 255);

    // Day comes: the night twins go from 255 down, the day pictures show again at once.
    UpdateMenuScenery({32000, false, 0.3});
    EXPECT_TRUE(day->FVisible);
    EXPECT_TRUE(night->FVisible);
    EXPECT_EQ(night->FAlpha, 178); // round(178.5), ties to even
    UpdateMenuScenery({32100, false, 1.0});
    EXPECT_TRUE(day->FVisible);
    EXPECT_FALSE(night->FVisible);
    EXPECT_EQ(night->FAlpha, 0);
    EXPECT_EQ(MenuNightSkyAlpha(), 0);
}

TEST_F(MenuSceneryTest, NightTwinsSwayOnTheOutlineOfTheirDayPictures) {
    CreateMenuScenery();
    TSpriteEx* day = Find("MM_MainMenu_Tree_1_Leafs_1.image");
    TSpriteEx* night = Find("night_MM_MainMenu_Tree_1_Leafs_1.image");
    UpdateMenuScenery({16100, true, 0.5});
    const float x1 = day->FX1;
    for (int i = 0; i < 120; ++i) {
        UpdateMenuScenery({16100, true, 0.5});
        engine_.Move(1.0f);
    }
    EXPECT_NE(day->FX1, x1) << "the cluster sways";
    EXPECT_FLOAT_EQ(night->FX1, day->FX1);
    EXPECT_FLOAT_EQ(night->FY3, day->FY3);
    // Still in step once the day picture is hidden.
    for (int i = 0; i < 30; ++i) UpdateMenuScenery({20000, true, 1.0});
    EXPECT_FALSE(day->FVisible);
    EXPECT_FLOAT_EQ(night->FX2, day->FX2);
    EXPECT_FLOAT_EQ(night->FY4, day->FY4);
}

TEST_F(MenuSceneryTest, LightningShowsInItsWindowsOfTheNightTimerWithAThunderEach) {
    CreateMenuScenery();
    Nights(279); // timer 27.9
    EXPECT_EQ(MenuLightningShown(), 0);
    EXPECT_EQ(MenuFlashAlpha(), 0);
    EXPECT_EQ(MenuThunderCount(), 0);
    Nights(6); // 28.5
    EXPECT_EQ(MenuLightningShown(), 1);
    EXPECT_EQ(MenuThunderCount(), 1);
    EXPECT_GT(MenuFlashAlpha(), 0); // |sin(85.5)| is far from 0
    Nights(30);                     // 31.5
    EXPECT_EQ(MenuLightningShown(), 0);
    EXPECT_EQ(MenuFlashAlpha(), 0);
    Nights(170); // 48.5
    EXPECT_EQ(MenuLightningShown(), 1);
    EXPECT_EQ(MenuThunderCount(), 2);
    Nights(30); // 51.5
    EXPECT_EQ(MenuLightningShown(), 0);
    Nights(50); // 56.5
    EXPECT_EQ(MenuLightningShown(), 2);
    EXPECT_EQ(MenuThunderCount(), 3);
    Nights(30); // 59.5
    EXPECT_EQ(MenuLightningShown(), 0);
    Nights(150); // 74.5
    EXPECT_EQ(MenuLightningShown(), 1);
    EXPECT_EQ(MenuThunderCount(), 4);
    Nights(50); // 79.5
    EXPECT_EQ(MenuLightningShown(), 1);
    EXPECT_EQ(MenuThunderCount(), 4) << "one thunder per flash";
    Nights(10); // 80.5
    EXPECT_EQ(MenuLightningShown(), 0);
    Nights(500);
    EXPECT_EQ(MenuThunderCount(), 4);

    // The day stops the timer; the next night starts it again from 0.
    UpdateMenuScenery({32000, false, 0.0});
    EXPECT_EQ(MenuLightningShown(), 0);
    Nights(279);
    EXPECT_EQ(MenuLightningShown(), 0);
    Nights(6);
    EXPECT_EQ(MenuLightningShown(), 1);
    EXPECT_EQ(MenuThunderCount(), 5);
}

TEST_F(MenuSceneryTest, NoLightningByDay) {
    CreateMenuScenery();
    for (int i = 0; i < 900; ++i) UpdateMenuScenery({1000, false, 1.0});
    EXPECT_EQ(MenuLightningShown(), 0);
    EXPECT_EQ(MenuThunderCount(), 0);
}

TEST_F(MenuSceneryTest, TheCatComesAtNightSitsLooksUpAndWalksOut) {
    CreateMenuScenery();
    Nights(10, 16900);
    EXPECT_EQ(MenuCatStage(), 0);
    Nights(1, 17010);
    EXPECT_EQ(MenuCatStage(), 1);
    // It walks to its seat and sits there until 22000 ...
    Nights(1000, 17100);
    EXPECT_EQ(MenuCatStage(), 2);
    // ... licks its paw from 22000, looks up from 26000 ...
    Nights(5, 22010);
    EXPECT_EQ(MenuCatStage(), 2);
    Nights(5, 26010);
    EXPECT_EQ(MenuCatStage(), 3);
    Nights(5, 30000);
    EXPECT_EQ(MenuCatStage(), 3);
    // ... walks out after 30000 and is gone until the next night.
    Nights(5, 30010);
    EXPECT_EQ(MenuCatStage(), 4);
    Nights(1000, 31000);
    EXPECT_EQ(MenuCatStage(), 5);
    UpdateMenuScenery({32000, false, 0.5});
    UpdateMenuScenery({100, false, 1.0});
    EXPECT_EQ(MenuCatStage(), 0);
    Nights(1, 17010);
    EXPECT_EQ(MenuCatStage(), 1);
}

TEST_F(MenuSceneryTest, ACatThatCameLateSkipsStraightToTheClocksStage) {
    CreateMenuScenery();
    Nights(1, 26500); // the music was moved on: the cat arrives and sits looking up
    EXPECT_EQ(MenuCatStage(), 3);
}

TEST_F(MenuSceneryTest, FrontLeavesHugTheVisibleEdgesOfTheWindow) {
    WorldOffset = {0, 0};
    CreateMenuScenery();
    TSpriteEx* left = Find("MM_MainMenu_FrontLeafs_1.image");
    TSpriteEx* right = Find("MM_MainMenu_FrontLeafs_3.image");
    TSpriteEx* rightNight = Find("night_MM_MainMenu_FrontLeafs_3.image");
    ASSERT_TRUE(left && right && rightNight);
    EXPECT_FLOAT_EQ(left->FX, -70);
    EXPECT_FLOAT_EQ(right->FX, 1920 + 20 - 300);
    EXPECT_GE(left->FZ + left->FParent->FZ, 1700);

    // A narrower window (5:4) shows 240..1680.
    WorldOffset = {240, 0};
    RefreshMenuSceneryLayout();
    EXPECT_FLOAT_EQ(left->FX, 240 - 70);
    EXPECT_FLOAT_EQ(right->FX, 1680 + 20 - 300);
    EXPECT_FLOAT_EQ(rightNight->FX, right->FX);
    // A wider one shows all of 0..1920 between bars.
    WorldOffset = {-200, 0};
    RefreshMenuSceneryLayout();
    EXPECT_FLOAT_EQ(left->FX, -70);
    EXPECT_FLOAT_EQ(right->FX, 1920 + 20 - 300);
}

TEST_F(MenuSceneryTest, BuildingAndDestroyingLeavesNoSpriteBehind) {
    ASSERT_EQ(CountSprites(&engine_), 0);
    CreateMenuScenery();
    EXPECT_GT(CountSprites(&engine_), 60);
    UpdateMenuScenery({20000, true, 0.4});
    engine_.Move(1.0f);
    DestroyMenuScenery();
    EXPECT_EQ(MenuLogo(), nullptr);
    EXPECT_EQ(MenuNightSkyAlpha(), 0);
    engine_.Dead();
    EXPECT_EQ(CountSprites(&engine_), 0);
    // Destroying again, updating or laying out without a scenery does nothing.
    DestroyMenuScenery();
    UpdateMenuScenery({20000, true, 1.0});
    RefreshMenuSceneryLayout();
    EXPECT_EQ(CountSprites(&engine_), 0);

    // Built twice, the first one goes.
    CreateMenuScenery();
    const int once = CountSprites(&engine_);
    CreateMenuScenery();
    engine_.Dead();
    EXPECT_EQ(CountSprites(&engine_), once);
}

TEST_F(MenuSceneryTest, AnEngineClearedByItsOwnerIsNotTouchedAgain) {
    CreateMenuScenery();
    engine_.Clear();
    UpdateMenuScenery({20000, true, 1.0}); // notices and lets go
    DestroyMenuScenery();
    CreateMenuScenery();
    engine_.Clear();
    DestroyMenuScenery();
    EXPECT_EQ(CountSprites(&engine_), 0);
}

} // namespace
} // namespace bw
