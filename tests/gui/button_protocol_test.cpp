#include "gui/ButtonProtocol.h"

#include "base/GameState.h"
#include "gui/ButtonSprites.h"
#include "gui/GuiTestSupport.h"

#include <string>
#include <vector>

namespace bw {
namespace {

class ButtonProtocolTest : public test::SpriteFixture {
protected:
    ButtonProtocolTest() {
        ResetAppState();
        ButtonSoundHook() = [this](const std::string& name) { sounds.push_back(name); };
        button = new TButtonSprite2(&engine);
        button->SetButtonName(button_MM_MainMenu_Options);
        button->SetLightFadeSpeed(7.0f);
    }
    ~ButtonProtocolTest() override {
        ButtonSoundHook() = nullptr;
        ResetAppState();
    }

    // One update tick: the move (the glow fades), then the pointer's hit on the button.
    bool TickOver(HoverLevels levels = MenuButtonHover) {
        engine.Move(1.0f);
        return ButtonProtocol(*button, levels);
    }

    std::vector<std::string> sounds;
    TButtonSprite2* button = nullptr;
};

TEST_F(ButtonProtocolTest, HoverSoundPlaysOnceWhileThePointerStays) {
    for (int i = 0; i < 30; ++i) EXPECT_FALSE(TickOver());
    EXPECT_EQ(sounds, (std::vector<std::string>{"sfx_button_over"}));
    EXPECT_EQ(button->LightLevel(), 100.0f);

    // Pointer away for 7 ticks: the glow is at 51, above the threshold, so no new sound.
    for (int i = 0; i < 7; ++i) engine.Move(1.0f);
    ButtonProtocol(*button, MenuButtonHover);
    EXPECT_EQ(sounds.size(), 1u);

    // Away for 8 ticks: the glow fell to 44 and the hover sounds again.
    for (int i = 0; i < 8; ++i) engine.Move(1.0f);
    ButtonProtocol(*button, MenuButtonHover);
    EXPECT_EQ(sounds.size(), 2u);
}

TEST_F(ButtonProtocolTest, ScreensHoldTheirOwnLevels) {
    ButtonProtocol(*button, PopupButtonHover);
    EXPECT_EQ(button->LightLevel(), 50.0f);
    EXPECT_EQ(sounds.size(), 1u);
    // 50 is above the player panel's threshold of 20: no sound.
    ButtonProtocol(*button, PlayerPanelHover);
    EXPECT_EQ(button->LightLevel(), 45.0f);
    EXPECT_EQ(sounds.size(), 1u);
    // 45 is not above 50: the hover sounds.
    ButtonProtocol(*button, PanelButtonHover);
    EXPECT_EQ(button->LightLevel(), 90.0f);
    EXPECT_EQ(sounds.size(), 2u);
}

TEST_F(ButtonProtocolTest, ClickPlaysItsSoundAndIsConsumedOnce) {
    MouseClicked = true;
    EXPECT_TRUE(TickOver());
    EXPECT_FALSE(MouseClicked);
    EXPECT_EQ(sounds, (std::vector<std::string>{"sfx_button_over", "sfx_button_click"}));
    EXPECT_FALSE(TickOver());

    // A held button is not a click.
    MouseButtonDown = true;
    EXPECT_FALSE(TickOver());
    EXPECT_EQ(sounds.size(), 2u);
}

TEST_F(ButtonProtocolTest, HandlerActsOnTheNameOfTheButtonHit) {
    std::vector<TButtonName> actions;
    auto act = [&](TButtonName name) { actions.push_back(name); };
    auto* picture = new TSimpleButtonSprite(&engine);
    picture->SetButtonName(button_Help_Left);
    auto* plain = new TAnimatedSprite(&engine);

    EXPECT_TRUE(HandleButtonHit(*button, MenuButtonHover, act));
    EXPECT_TRUE(actions.empty());
    MouseClicked = true;
    EXPECT_TRUE(HandleButtonHit(*picture, PanelButtonHover, act));
    EXPECT_FALSE(HandleButtonHit(*plain, MenuButtonHover, act));
    EXPECT_EQ(actions, (std::vector<TButtonName>{button_Help_Left}));
    EXPECT_EQ(picture->LightLevel(), 90.0f);
}

TEST(ButtonNames, EveryNameHasItsText) {
    EXPECT_STREQ(ButtonNameText(button_MM_Options_VSync_CheckBox),
                 "button_MM_Options_VSync_CheckBox");
    EXPECT_STREQ(ButtonNameText(button_Help_Right), "button_Help_Right");
    EXPECT_EQ(static_cast<int>(button_Help_Right), ButtonNameCount - 1);
    EXPECT_STREQ(ButtonNameText(static_cast<TButtonName>(ButtonNameCount)), "button_?");
}

} // namespace
} // namespace bw
