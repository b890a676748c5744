// F11 and Alt+Enter, as a player presses them: the window changes as the options' full-screen
// box changes it, the box follows, and the choice is in Game.ini at once.
#include "base/GameObjects.h"
#include "base/GameOptions.h"
#include "base/GameState.h"
#include "gui/ButtonNames.h"
#include "meta/OptionsScreen.h"
#include "meta/Profile.h"
#include "replay/Replay.h"

#include "meta/OptionsTestPictures.h"
#include "support/SavedPlayer.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <vector>

namespace bw {
namespace {

const std::string kData = std::string(BW_TEST_BINARY_DIR) + "/Data";

class FullScreenKey : public ::testing::Test {
protected:
    void MakePlayer() { ASSERT_TRUE(testing::SavePlayerIn(home.Path(), "Tess")); }

    // Plays `script` in a window; every change of the full-screen option is recorded with
    // the options file as it stood then, and with the options' box when it is on screen.
    ReplayResult Play(const std::string& script) {
        ReplaySettings rs;
        rs.home = home.Path();
        rs.data = kData;
        // The desktop around the window is large enough to leave full screen.
        rs.size = {960, 540};
        rs.fullScreen = false;
        rs.quickStart = true;
        rs.ticks = 2400;
        rs.beforeTick = [this, last = -1](uint64_t) mutable {
            if (Images) test::AddOptionsPictures(*Images);
            const int now = GameOptions.FullScreen ? 1 : 0;
            if (last != -1 && now != last) {
                const std::string ini = testing::ReadWholeFile(home.File("Game.ini"));
                std::string seen = now ? "full" : "window";
                seen += ini.find("FullScreen=" + std::to_string(now) + "\n") != std::string::npos
                            ? " saved"
                            : " unsaved";
                if (TOptions_CheckBox* box = OptionsCheckBox(button_MM_Options_FullScreen_CheckBox))
                    seen += box->FChecked == (now == 1) ? " box" : " box-behind";
                changes.push_back(seen);
            }
            last = now;
        };
        std::string error;
        EXPECT_TRUE(ParseReplayScript(script, rs.events, error)) << error;
        return RunReplay(rs);
    }

    testing::TempFolder home;
    std::vector<std::string> changes;
};

TEST_F(FullScreenKey, BothKeysSwitchTheWindowAndSaveItAndTheOpenBoxFollows) {
    MakePlayer();
    const ReplayResult r = Play("0 wait scene scene_Loaded 2000\n+1 click\n"
                                "+0 wait scene scene_MainMenu 600\n"
                                "+5 key f11\n"
                                "+5 key alt+enter\n"
                                "+5 click button_MM_MainMenu_Options\n"
                                "+0 wait scene scene_Options 60\n"
                                "+5 key F11\n"
                                "+5 expect scene == scene_Options\n"
                                "+5 click button_MM_Options_FullScreen_CheckBox\n"
                                "+5 click button_MM_Options_Back\n"
                                "+2 expect scene == scene_MainMenu\n");
    ASSERT_TRUE(r.ok) << r.error;
    // The box's own click is saved when the options close, as before.
    EXPECT_EQ(changes, (std::vector<std::string>{"full saved", "window saved", "full saved box",
                                                 "window unsaved box"}));
    EXPECT_NE(testing::ReadWholeFile(home.File("Game.ini")).find("FullScreen=0\n"),
              std::string::npos);
}

TEST_F(FullScreenKey, AltEnterAtTheNameEntrySwitchesTheWindowAndDoesNotTakeTheName) {
    // A first start: the main menu asks for a name, and Enter would take it.
    const ReplayResult r = Play("0 wait scene scene_Loaded 2000\n+1 click\n"
                                "+0 wait scene scene_EnterName 600\n"
                                "+10 key alt+enter\n"
                                "+10 expect scene == scene_EnterName\n"
                                "+0 key enter\n"
                                "+10 expect scene != scene_EnterName\n");
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(changes, (std::vector<std::string>{"full saved"}));
}

} // namespace
} // namespace bw
