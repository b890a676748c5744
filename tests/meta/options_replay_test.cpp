// The options and the credits as a player reaches them: from the main menu, by the pointer.
#include "app/Replay.h"
#include "base/GameObjects.h"
#include "base/GameOptions.h"
#include "meta/Profile.h"

#include "meta/OptionsTestPictures.h"
#include "support/TempFolder.h"

#include <ctime>
#include <string>

namespace bw {
namespace {

const std::string kData = std::string(BW_TEST_BINARY_DIR) + "/Data";

class OptionsReplay : public ::testing::Test {
protected:
    void SetUp() override {
        // A player exists, so the menu opens without asking for a name.
        GameOptions = TGameOptions{};
        GameOptions.AppFolderPath = home.Path();
        std::tm when{};
        when.tm_year = 126;
        when.tm_mday = 1;
        ASSERT_TRUE(NewProfile("Tess", ProfileFileNameFor(when)));
        GameOptions = TGameOptions{};
    }

    ReplayResult Play(const std::string& script) {
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

} // namespace
} // namespace bw
