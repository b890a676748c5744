// The splash screen's own timing and its skip rules, on the real sprites in a test engine: the
// picture sequence with loose pictures from a folder, then the studio logo's stages.
#include "Engine/KilnSprite/SpriteEngine.h"
#include "app/Splash.h"
#include "base/GameObjects.h"
#include "base/GameOptions.h"
#include "base/GameState.h"
#include "data/KilnImages.h"
#include "platform/Files.h"
#include "render/Canvas.h"
#include "render/RecordingCanvas.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace bw {
namespace {

class SplashTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = GameOptions;
        GameOptions.AppFolderPath = home_.Path();
        GameOptions.FirstStart = false;
        Archives = GameArchives{};
        MainEngine = &engine_;
        CreateFolders(home_.File("Splash"));
    }
    void TearDown() override {
        if (SplashLogo() || SplashPictureSprite()) DestroySplash();
        engine_.Dead();
        MainEngine = nullptr;
        AddSplashFolderPictures(images_, home_.File("nothing here"));
        GameOptions = saved_;
    }

    void AddPicture(const std::string& file, int w, int h) {
        ASSERT_TRUE(SavePng(home_.File("Splash/" + file), w, h,
                            std::vector<uint32_t>(static_cast<size_t>(w * h), 0xFF336699)));
    }
    // Ticks until the picture sequence hands over to the studio logo.
    int TicksUntilLogo(int limit = 2000) {
        for (int t = 1; t <= limit; ++t) {
            engine_.Move(1.0f);
            if (SplashLogo()->FStage >= 1) return t;
        }
        return -1;
    }
    void Tick(int n) {
        for (int i = 0; i < n; ++i) engine_.Move(1.0f);
    }

    TGameOptions saved_;
    testing::TempFolder home_;
    RecordingCanvas canvas_;
    TKilnImages images_{&canvas_};
    TSpriteEngine engine_{&canvas_, &images_};
};

TEST_F(SplashTest, LoosePicturesComeInListingOrderAndEachTakesItsTime) {
    AddPicture("b.png", 40, 20);
    AddPicture("a.png", 60, 30);
    AddPicture("notes.txt", 1, 1); // not a picture name: left out
    AddSplashFolderPictures(images_, home_.File("Splash"));
    EXPECT_EQ(ExternalSplashPictures(),
              (std::vector<std::string>{"ext_logo_1.image", "ext_logo_2.image"}));
    // The first picture is a.png, centred on the screen's middle.
    CreateSplash();
    EXPECT_EQ(CurrentScene, scene_Splash);
    TSimpleSplashScreenSprite* p = SplashPictureSprite();
    ASSERT_TRUE(p);
    EXPECT_EQ(p->GetImageWidth(), 60);
    EXPECT_FLOAT_EQ(p->FX, 930);
    EXPECT_FLOAT_EQ(p->FY, 525);
    // 30 + 26 + 121 + 51 + 30 ticks for the first picture, 26 + 121 + 51 + 30 for the next.
    EXPECT_EQ(TicksUntilLogo(), 258 + 228);
    EXPECT_FALSE(p->FVisible);
}

TEST_F(SplashTest, SkippingAPictureJumpsToTheEndOfItsHoldOnceAndThenToTheNext) {
    AddPicture("a.png", 8, 8);
    AddPicture("b.png", 8, 8);
    AddSplashFolderPictures(images_, home_.File("Splash"));
    CreateSplash();
    TSimpleSplashScreenSprite& p = *SplashPictureSprite();
    Tick(60); // in the hold
    ASSERT_EQ(p.FStage, 3);
    SkipSplash();
    EXPECT_EQ(p.FAlpha, 255);
    EXPECT_DOUBLE_EQ(p.FTimeCounter, 9.6);
    // Past 80 % of its hold a skip changes nothing.
    Tick(2);
    const double counter = p.FTimeCounter;
    SkipSplash();
    EXPECT_EQ(p.FStage, 3);
    EXPECT_DOUBLE_EQ(p.FTimeCounter, counter);
    // During the fade-out the next picture starts at once.
    Tick(30);
    ASSERT_EQ(p.FStage, 4);
    SkipSplash();
    Tick(1);
    EXPECT_EQ(p.FStage, 2);
    EXPECT_EQ(p.FIndex, 2);
}

TEST_F(SplashTest, AFirstStartCannotSkipAnything) {
    GameOptions.FirstStart = true;
    AddPicture("a.png", 8, 8);
    AddSplashFolderPictures(images_, home_.File("Splash"));
    CreateSplash();
    Tick(60);
    SkipSplash();
    EXPECT_EQ(SplashPictureSprite()->FStage, 3);
    EXPECT_LT(SplashPictureSprite()->FTimeCounter, 9.6);
    EXPECT_EQ(TicksUntilLogo(), 258 - 60);
    Tick(20);
    SkipSplash();
    EXPECT_LT(SplashLogo()->FStage, 8);
}

TEST_F(SplashTest, TheStudioLogoRunsItsStagesAndASkipShowsItsFinishedLookThenItsFadeOut) {
    CreateSplash(); // no pictures: the logo starts at once
    TTallowStudiosLogotip& logo = *SplashLogo();
    EXPECT_EQ(SplashPictureSprite(), nullptr);
    EXPECT_EQ(logo.FStage, 1);
    Tick(11);
    EXPECT_EQ(logo.FStage, 2);
    Tick(1);
    EXPECT_EQ(logo.FStage, 3);
    // The background comes in by 4 a tick and darkens towards (25, 25, 5).
    Tick(20);
    EXPECT_EQ(logo.FAlpha, 80);
    EXPECT_LT(logo.FRed, 255);
    EXPECT_EQ(logo.FBoxBlured_3->FAlpha, 0) << "the middle glow waits for alpha 125";
    Tick(20);
    EXPECT_GT(logo.FBoxBlured_3->FAlpha, 0);

    SkipSplash();
    EXPECT_EQ(logo.FStage, 8);
    EXPECT_EQ(logo.FAlpha, 255);
    EXPECT_EQ(logo.FBox->FAlpha, 255);
    for (TSS_ElementSprite* e : {logo.FBoxLighted, logo.FBoxBlured_1, logo.FBoxBlured_2,
                                 logo.FBoxBlured_3, logo.FBoxBlured_4})
        EXPECT_EQ(e->FAlpha, 0);
    for (TSS_ElementSprite* l : logo.FLetters) EXPECT_EQ(l->FAlpha, 255);
    EXPECT_FLOAT_EQ(logo.FLetters[1]->FX, 843 + 41);
    EXPECT_FLOAT_EQ(logo.FLetters[1]->FY, 447 + 49);
    EXPECT_FLOAT_EQ(logo.FLetters[3]->FScaleY, 1);
    EXPECT_EQ(logo.FRed, 25);
    EXPECT_EQ(logo.FBlue, 5);

    SkipSplash();
    EXPECT_EQ(logo.FStage, 10);
    // The box fades out, the lettering with it, then the background.
    Tick(30);
    EXPECT_LT(logo.FBox->FAlpha, 255);
    EXPECT_EQ(logo.FLetters[0]->FAlpha, logo.FBox->FAlpha);
    int t = 0;
    while (logo.FStage == 10 && t < 500) {
        Tick(1);
        ++t;
    }
    EXPECT_EQ(logo.FStage, 11);
    EXPECT_EQ(logo.FAlpha, 0);
}

TEST_F(SplashTest, UnskippedTheLetteringComesInPieceByPieceUntilTheLastIsWhole) {
    CreateSplash();
    TTallowStudiosLogotip& logo = *SplashLogo();
    int t = 0;
    while (logo.FStage < 7 && t < 1000) {
        Tick(1);
        ++t;
    }
    ASSERT_EQ(logo.FStage, 7);
    EXPECT_EQ(logo.FBoxBlured_2->FAlpha, 255);
    Tick(5);
    EXPECT_GT(logo.FLetters[0]->FAlpha, 0);
    EXPECT_EQ(logo.FLetters[3]->FAlpha, 0) << "each piece waits for the one before it";
    while (logo.FStage == 7 && t < 2000) {
        Tick(1);
        ++t;
    }
    EXPECT_EQ(logo.FStage, 8);
    EXPECT_FLOAT_EQ(logo.FLetters[1]->FX, 843 + 41);
    EXPECT_FLOAT_EQ(logo.FLetters[3]->FScaleY, 1);
    // The finished look stands for 81 ticks.
    Tick(81);
    EXPECT_EQ(logo.FStage, 9);
}

} // namespace
} // namespace bw
