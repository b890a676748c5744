// The options and the credits as a player reaches them: from the main menu, by the pointer.
#include "base/GameObjects.h"
#include "base/GameOptions.h"
#include "base/GameState.h"
#include "base/SceneTransition.h"
#include "gui/ButtonProtocol.h"
#include "meta/Profile.h"
#include "replay/Replay.h"

#include "meta/OptionsTestPictures.h"
#include "support/SavedPlayer.h"
#include "support/TempFolder.h"

#include <ctime>
#include <functional>
#include <string>

namespace bw {
namespace {

const std::string kData = std::string(BW_TEST_BINARY_DIR) + "/Data";

class OptionsReplay : public ::testing::Test {
protected:
    void SetUp() override {
        // A player exists, so the menu opens without asking for a name.
        ASSERT_TRUE(testing::SavePlayerIn(home.Path(), "Tess"));
    }

    ReplayResult Play(const std::string& script,
                      const std::function<void(ReplaySettings&)>& more = {}) {
        ReplaySettings rs;
        rs.home = home.Path();
        rs.data = kData;
        rs.size = {480, 270};
        rs.quickStart = true;
        rs.ticks = 2400;
        // The data may not have the options' pictures yet.
        rs.beforeTick = [](uint64_t) {
            if (Images) test::AddOptionsPictures(*Images);
        };
        std::string error;
        EXPECT_TRUE(ParseReplayScript("0 wait scene scene_Loaded 2000\n+1 click\n"
                                      "+0 wait scene scene_MainMenu 600\n" +
                                          script,
                                      rs.events, error))
            << error;
        if (more) more(rs);
        return RunReplay(rs);
    }

    std::string Ini() { return testing::ReadWholeFile(home.File("Game.ini")); }
    // The number after "key=" in the options file; -1 when it is not there.
    double IniNumber(const std::string& key) {
        const std::string ini = Ini();
        const size_t at = ini.find("\n" + key + "=");
        return at == std::string::npos ? -1 : std::stod(ini.substr(at + key.size() + 2));
    }

    testing::TempFolder home;
};

TEST_F(OptionsReplay, ChangesMadeOverTheMenuAreInGameIniAfterBack) {
    const ReplayResult r = Play("+5 click button_MM_MainMenu_Options\n"
                                "+0 wait scene scene_Options 60\n"
                                "+5 click button_MM_Options_Music_Left\n"
                                "+5 click button_MM_Options_Music_Left\n"
                                "+5 click button_MM_Options_SoundFx_Left\n"
                                "+5 click button_MM_Options_VSync_CheckBox\n"
                                "+5 click button_MM_Options_Tutorial_CheckBox\n"
                                "+2 expect scene == scene_Options\n"
                                "+5 click button_MM_Options_Back\n"
                                "+2 expect scene == scene_MainMenu\n");
    ASSERT_TRUE(r.ok) << r.error;
    const std::string ini = Ini();
    EXPECT_NEAR(IniNumber("MusicVolume"), 0.3, 1e-6) << ini;
    EXPECT_NEAR(IniNumber("SoundFxVolume"), 0.9, 1e-6) << ini;
    EXPECT_NE(ini.find("VSync=1\n"), std::string::npos) << ini;
    EXPECT_NE(ini.find("ShowTutorial=0\n"), std::string::npos) << ini;
    EXPECT_NE(ini.find("FullScreen=1\n"), std::string::npos) << ini;
}

TEST_F(OptionsReplay, TheCreditsRollAndBackReturnsToTheMenu) {
    const ReplayResult r = Play("+5 click button_MM_MainMenu_Credits\n"
                                "+0 wait scene scene_Credits 600\n"
                                "+60 expect scene == scene_Credits\n"
                                "+0 click button_MM_Credits_Back\n"
                                "+2 expect transition.kind == fl_credits_GoToMM\n"
                                "+0 wait scene scene_MainMenu 600\n");
    ASSERT_TRUE(r.ok) << r.error;
}

TEST_F(OptionsReplay, ACheckBoxTogglesOnTheClickAndNotOnThePress) {
    // The VSync box is pressed, and the pointer slides off it before the button comes up:
    // no click, no change. The Tutorial box is clicked.
    const ReplayResult r = Play("+5 click button_MM_MainMenu_Options\n"
                                "+0 wait scene scene_Options 60\n"
                                "+5 move 1070 760\n+2 down\n+5 move 600 150\n+2 up\n"
                                "+5 click button_MM_Options_Tutorial_CheckBox\n"
                                "+5 click button_MM_Options_Back\n"
                                "+2 expect scene == scene_MainMenu\n");
    ASSERT_TRUE(r.ok) << r.error;
    const std::string ini = Ini();
    EXPECT_NE(ini.find("VSync=0\n"), std::string::npos) << ini;
    EXPECT_NE(ini.find("ShowTutorial=0\n"), std::string::npos) << ini;
}

// The pointer arrives on a button while a fade covers the screen: the button must neither
// light nor sound until the fade is over.
TEST_F(OptionsReplay, NoButtonAnswersThePointerWhileAFadeCoversCreditsOrOptions) {
    auto countHoversInFades = [](int& count) {
        return [&count](ReplaySettings& rs) {
            rs.afterWiring = [&count] {
                SoundEffectHook sound = ButtonSoundHook();
                ButtonSoundHook() = [&count, sound](const std::string& name) {
                    if (name == "sfx_button_over" && TransitionVisible()) ++count;
                    if (sound) sound(name);
                };
            };
        };
    };
    // The credits fade in from black with the pointer on their Back button.
    int credits = 0;
    ReplayResult r = Play("+5 click button_MM_MainMenu_Credits\n"
                          "+110 expect scene == scene_Credits\n"
                          "+0 expect transition.visible == true\n"
                          "+1 move 960 986\n"
                          "+20 expect transition.visible == true\n"
                          "+0 wait scene scene_Credits 600\n"
                          "+10 click button_MM_Credits_Back\n"
                          "+0 wait scene scene_MainMenu 600\n",
                          countHoversInFades(credits));
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(credits, 0);

    // The options as the in-game menu will open them, through a fade; the pointer comes onto
    // a check box and then onto Back while it clears.
    int options = 0;
    r = Play("+5 click button_MM_MainMenu_Options\n"
             "+5 expect scene == scene_Options\n"
             "+0 expect transition.visible == true\n"
             "+5 move 1070 760\n+10 move 1183 785\n"
             "+10 expect transition.visible == true\n"
             "+0 wait scene scene_Options 400\n"
             "+10 click button_MM_Options_Back\n"
             "+2 expect scene == scene_MainMenu\n",
             [&](ReplaySettings& rs) {
                 countHoversInFades(options)(rs);
                 rs.beforeTick = [faded = false](uint64_t) mutable {
                     if (Images) test::AddOptionsPictures(*Images);
                     if (!faded && CurrentScene == scene_Options) {
                         faded = true;
                         StartTransition(fl_Game_GotoOptions, FadeSpeedSlow);
                     }
                 };
             });
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(options, 0);
}

} // namespace
} // namespace bw
