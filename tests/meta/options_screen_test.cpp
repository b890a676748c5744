#include "meta/CreditsScreen.h"
#include "meta/OptionsScreen.h"

#include "app/GameWiring.h"
#include "app/ScreenMode.h"
#include "base/GameObjects.h"
#include "base/GameOptions.h"
#include "base/GameState.h"
#include "base/Scene.h"
#include "base/SceneTransition.h"
#include "gui/MessageBox.h"
#include "meta/OptionsMath.h"

#include "meta/OptionsTestPictures.h"
#include "support/FakeWindow.h"
#include "support/TempFolder.h"

#include <memory>

namespace bw {
namespace {

// A sprite that counts its moves (the board standing still under the options).
struct CountingSprite : TAnimatedSprite {
    using TAnimatedSprite::TAnimatedSprite;
    int moves = 0;
    void DoMove(float) override { ++moves; }
};

class OptionsScreenTest : public test::SpriteFixture {
protected:
    void SetUp() override {
        GameOptions = TGameOptions{};
        GameOptions.AppFolderPath = folder.Path();
        ResetAppState();
        MainEngine = &engine;
        Images = &images;
        test::AddOptionsPictures(images);
        TXParticleSettings fill = TXParticleSystem::DefaultSettings();
        fill.Uid = "options_scroll_fx.xml";
        fill.LifeTime = 100000;
        fill.ParticleLifeMin = fill.ParticleLifeMax = 0.5f;
        fill.EmissionRate = 30;
        particles.Add(fill);
        SetParticleManager(&particles);
        CurrentScene = scene_MainMenu;
    }
    void TearDown() override {
        CloseMessage();
        CloseOptions();
        CloseCredits();
        engine.Dead();
        particles.KillAll();
        SetParticleManager(nullptr);
        UnwireGame();
        ResetDisplayState();
        ForgetTransitionSprite();
        MainEngine = nullptr;
        Images = nullptr;
        GameOptions = TGameOptions{};
    }

    TGlowButtonSprite* Button(TButtonName name) {
        for (TSprite* s : engine.Items()) {
            auto* b = dynamic_cast<TGlowButtonSprite*>(s);
            if (b && !b->FDeaded && b->ButtonName() == name) return b;
        }
        return nullptr;
    }
    // The press as the frame delivers it: the button is down when the next hit test runs.
    void Press(TButtonName name) {
        TGlowButtonSprite* b = Button(name);
        ASSERT_NE(b, nullptr) << ButtonNameText(name);
        MouseButtonDown = true;
        OptionsInput(*b);
    }
    void Click(TButtonName name) {
        TGlowButtonSprite* b = Button(name);
        ASSERT_NE(b, nullptr) << ButtonNameText(name);
        MouseClicked = true;
        OptionsInput(*b);
    }
    int FillEmitters(int slider) {
        TXParticleSystem* fx = OptionsSlider(slider)->FMaskFx.Get();
        return fx ? fx->EmitterCount() : -1;
    }

    testing::TempFolder folder;
    TXParticleManager particles;
};

TEST_F(OptionsScreenTest, BackSavesWhatChangedAndReturnsToTheMenu) {
    GameOptions.MusicVolume = 0.5f;
    OpenOptions();
    ASSERT_TRUE(OptionsOpen());
    EXPECT_EQ(CurrentScene, scene_Options);
    EXPECT_EQ(SceneBelow(), scene_MainMenu);
    OptionsUpdate();
    EXPECT_EQ(OptionsShade()->FAlpha, 5);
    for (int i = 0; i < 40; ++i) OptionsUpdate();
    EXPECT_EQ(OptionsShade()->FAlpha, 125);

    Press(button_MM_Options_Music_Right);
    EXPECT_FALSE(MouseButtonDown); // one press, one step
    OptionsInput(*Button(button_MM_Options_Music_Right));
    Click(button_MM_Options_VSync_CheckBox);
    Click(button_MM_Options_Tutorial_CheckBox);
    Click(button_MM_Options_Cursor_CheckBox);
    EXPECT_FLOAT_EQ(GameOptions.MusicVolume, 0.6f);
    EXPECT_TRUE(GameOptions.VSync);
    EXPECT_FALSE(GameOptions.ShowTutorial);
    EXPECT_FALSE(GameOptions.Cursor);
    EXPECT_TRUE(OptionsCheckBox(button_MM_Options_VSync_CheckBox)->FChecked);
    EXPECT_EQ(OptionsCheckBox(button_MM_Options_VSync_CheckBox)->FImageName,
              "MM_Options_Checkbox_checked.image");

    // Pressing Back does nothing; its click closes the screen.
    Press(button_MM_Options_Back);
    EXPECT_TRUE(OptionsOpen());
    Click(button_MM_Options_Back);
    EXPECT_FALSE(OptionsOpen());
    EXPECT_EQ(CurrentScene, scene_MainMenu);
    EXPECT_EQ(Button(button_MM_Options_Back), nullptr);
    const std::string ini = testing::ReadWholeFile(OptionsFilePath());
    EXPECT_NE(ini.find("MusicVolume=0.600000023841858\n"), std::string::npos) << ini;
    EXPECT_NE(ini.find("VSync=1\n"), std::string::npos);
    EXPECT_NE(ini.find("Cursor=0\n"), std::string::npos);
    EXPECT_NE(ini.find("ShowTutorial=0\n"), std::string::npos);
}

TEST_F(OptionsScreenTest, TheLeftArrowAtFivePercentEmptiesTheSlider) {
    GameOptions.MusicVolume = 0.05f;
    GameOptions.SoundFxVolume = 0.0f;
    OpenOptions();
    TMM_OptionsScrollBar* music = OptionsSlider(0);
    EXPECT_EQ(FillEmitters(0), 3);
    EXPECT_FALSE(OptionsSlider(1)->FMaskFx); // never above 0 yet: no effect

    Press(button_MM_Options_Music_Left);
    EXPECT_FLOAT_EQ(GameOptions.MusicVolume, 0.0f);
    EXPECT_FLOAT_EQ(music->FProgress, 0.0f);
    EXPECT_FLOAT_EQ(music->FDragButton->FX, music->FX + 10);
    EXPECT_EQ(FillEmitters(0), 0);
    Press(button_MM_Options_Music_Left);
    EXPECT_FLOAT_EQ(GameOptions.MusicVolume, 0.0f);

    Press(button_MM_Options_SoundFx_Right);
    EXPECT_FLOAT_EQ(GameOptions.SoundFxVolume, 0.1f);
    EXPECT_GT(FillEmitters(1), 0);
    EXPECT_EQ(OptionsSlider(1)->FMaskFx->FSettings.EmissionRate,
              SliderFillFor({OptionsSlider(1)->FX, OptionsSlider(1)->FY},
                            OptionsSlider(1)->FDragButton->FX, 0.1f)
                  .rate);
}

TEST_F(OptionsScreenTest, TheHandleFollowsTheDragWithinTheSlider) {
    GameOptions.SoundFxVolume = 3.0f; // out of range, as code might leave it
    OpenOptions();
    TMM_OptionsScrollBar* fx = OptionsSlider(1);
    EXPECT_FLOAT_EQ(GameOptions.SoundFxVolume, 1.0f);
    EXPECT_FLOAT_EQ(fx->FRange.Right - fx->FRange.Left, 304);

    Press(button_MM_Options_SoundFx_Drag);
    MouseX = fx->FX + 100;
    OptionsUpdate();
    EXPECT_FLOAT_EQ(fx->FDragButton->FX, fx->FX + 100 - 15);
    EXPECT_FLOAT_EQ(GameOptions.SoundFxVolume, (100.0f - 15 - 10) / 242);
    // While dragging, a click leaves the check boxes as they are.
    Click(button_MM_Options_Cursor_CheckBox);
    EXPECT_TRUE(GameOptions.Cursor);

    MouseX = 5000;
    OptionsUpdate();
    EXPECT_FLOAT_EQ(fx->FDragButton->FX, fx->FRange.Right - 52);
    EXPECT_FLOAT_EQ(GameOptions.SoundFxVolume, 1.0f);
    MouseX = -5000;
    OptionsUpdate();
    EXPECT_FLOAT_EQ(fx->FDragButton->FX, fx->FRange.Left + 10);
    EXPECT_FLOAT_EQ(GameOptions.SoundFxVolume, 0.0f);

    // The release ends the drag.
    std::unique_ptr<Scene> scene = MakeOptionsScene();
    scene->Release();
    MouseX = 5000;
    OptionsUpdate();
    EXPECT_FLOAT_EQ(GameOptions.SoundFxVolume, 0.0f);
}

TEST_F(OptionsScreenTest, LeavingFullScreenNeedsAScreenWiderOrTallerThanTheMinimum) {
    testing::FakeWindow window;
    window.screen = TPoint2px{1024, 600};
    window.monitors = {{TRect{0, 0, 1024, 600}, true}};
    DisplayHooks hooks;
    hooks.window = &window;
    SetDisplayHooks(hooks);
    WireGame();
    GameOptions.FullScreen = true;
    OpenOptions();

    Click(button_MM_Options_FullScreen_CheckBox);
    EXPECT_TRUE(MessageShown());
    EXPECT_TRUE(GameOptions.FullScreen);
    EXPECT_TRUE(OptionsCheckBox(button_MM_Options_FullScreen_CheckBox)->FChecked);
    CloseMessage();

    window.screen = TPoint2px{1024, 768};
    window.monitors = {{TRect{0, 0, 1024, 768}, true}};
    Click(button_MM_Options_FullScreen_CheckBox);
    EXPECT_FALSE(MessageShown());
    EXPECT_FALSE(GameOptions.FullScreen);
    EXPECT_FALSE(OptionsCheckBox(button_MM_Options_FullScreen_CheckBox)->FChecked);
    EXPECT_EQ(window.border, BorderStyle::Single);

    // Back to full screen is never refused.
    window.screen = TPoint2px{1024, 600};
    window.monitors = {{TRect{0, 0, 1024, 600}, true}};
    Click(button_MM_Options_FullScreen_CheckBox);
    EXPECT_TRUE(GameOptions.FullScreen);
    EXPECT_EQ(window.border, BorderStyle::None);
}

TEST_F(OptionsScreenTest, OverALevelTheBoardStandsStill) {
    auto* board = new CountingSprite(&engine);
    CurrentScene = scene_Level;
    OpenOptions();
    SetOptionsShadeAlpha(200);
    std::unique_ptr<Scene> scene = MakeOptionsScene();
    for (int i = 0; i < 5; ++i) scene->Tick();
    EXPECT_EQ(board->moves, 0);
    EXPECT_EQ(OptionsShade()->FAlpha, 215);
    scene->Escape();
    EXPECT_EQ(CurrentScene, scene_Level);
    EXPECT_FALSE(OptionsOpen());
}

TEST_F(OptionsScreenTest, CreditsScrollAndBackFadesToTheMenu) {
    CreateTransitionSprite(&engine);
    OpenCredits();
    ASSERT_TRUE(CreditsOpen());
    EXPECT_EQ(CurrentScene, scene_Credits);
    for (int i = 0; i < 200; ++i) CreditsUpdate();
    EXPECT_NEAR(CreditsOffset(), -130, 1e-3);

    TGlowButtonSprite* back = Button(button_MM_Credits_Back);
    ASSERT_NE(back, nullptr);
    EXPECT_FALSE(TransitionVisible());
    MouseClicked = true;
    CreditsInput(*back);
    EXPECT_TRUE(TransitionVisible());
    EXPECT_EQ(TransitionSprite->FKind, fl_credits_GoToMM);

    CloseCredits();
    EXPECT_FALSE(CreditsOpen());
    EXPECT_EQ(Button(button_MM_Credits_Back), nullptr);
}

} // namespace
} // namespace bw
