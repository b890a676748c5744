// The game's front door, played as whole-screen replays of the real game on the built data:
// the first name, the welcome board, the player list, its limits and its deletions, a damaged
// profile, the exit question, and the day turning to night.
#include "audio/SoundDevice.h"
#include "audio/SoundEngine.h"
#include "board/LevelData.h"
#include "meta/Profile.h"
#include "meta/ProfileFile.h"
#include "platform/Files.h"
#include "replay/Replay.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace bw {
namespace {

const std::string kData = std::string(BW_TEST_BINARY_DIR) + "/Data";

// The first loading screen, a click, and the fade into the main menu.
const std::string kIntoMenu = "0 wait scene scene_Loaded 2000\n+1 click\n";

ReplaySettings Settings(const testing::TempFolder& home, const std::string& script,
                        uint64_t ticks = 2500) {
    ReplaySettings rs;
    rs.home = home.Path();
    rs.data = kData;
    rs.size = {480, 270};
    rs.ticks = ticks;
    rs.quickStart = true;
    std::string error;
    EXPECT_TRUE(ParseReplayScript(script, rs.events, error)) << error;
    return rs;
}

std::string ProfilesDir(const testing::TempFolder& home) {
    return home.File("Profiles");
}

// A profile file of the player `name` in the home's profiles folder.
void WriteProfile(const testing::TempFolder& home, const std::string& file,
                  const std::string& name) {
    std::filesystem::create_directories(ProfilesDir(home));
    TPlayer p;
    p.Name = name;
    p.Levels.resize(8);
    const std::vector<uint8_t> bytes = ProfileFileBytes(p);
    testing::WriteWholeFile(ProfilesDir(home) + "/" + file,
                            std::string(bytes.begin(), bytes.end()));
}

std::string ReadText(const std::string& path) {
    const auto bytes = ReadWholeFile(path);
    return bytes ? std::string(bytes->begin(), bytes->end()) : std::string();
}

std::vector<std::string> ProfileFiles(const testing::TempFolder& home) {
    std::vector<std::string> files;
    if (!std::filesystem::exists(ProfilesDir(home))) return files;
    for (const auto& entry : std::filesystem::directory_iterator(ProfilesDir(home)))
        if (entry.path().extension() == ".sav") files.push_back(entry.path().filename().string());
    return files;
}

// Clears the name field of its default text.
std::string ClearName() {
    std::string s;
    for (int i = 0; i < 12; ++i) s += "+1 key backspace\n";
    return s;
}

// The pointer onto row k of the player list, and a click there.
std::string ClickRow(int k) {
    return "+1 move 700 " + std::to_string(270 + 105 + 30 * k + 15) + "\n+1 click\n";
}

TEST(FrontDoor, AFreshInstallAsksForANameAndGreetsThePlayerWithIt) {
    testing::TempFolder home;
    const ReplayResult r =
        RunReplay(Settings(home, kIntoMenu + "+0 wait scene scene_EnterName 400\n"
                                             "+0 expect main_menu.entry == Player\n"
                                             "+1 key enter\n"
                                             "+1 expect scene == scene_MainMenu\n"
                                             "+0 expect player.name == Player\n"
                                             "+0 expect main_menu.entry absent\n"));
    ASSERT_TRUE(r.ok) << r.error;
    // The profile on disk is the five-line tree of a new player, and the options point at it.
    const std::vector<std::string> files = ProfileFiles(home);
    ASSERT_EQ(files.size(), 1u);
    const auto bytes = ReadWholeFile(ProfilesDir(home) + "/" + files[0]);
    ASSERT_TRUE(bytes);
    const auto text = DecodeProfileBytes(*bytes);
    ASSERT_TRUE(text);
    int lines = 0;
    for (char c : *text) lines += c == '\n';
    EXPECT_EQ(lines + (text->back() == '\n' ? 0 : 1), 5) << *text;
    EXPECT_NE(text->find("Name=\"Player\""), std::string::npos) << *text;
    EXPECT_NE(text->find("GameWasStarted=\"False\""), std::string::npos) << *text;
    const std::string ini = ReadText(home.File("Game.ini"));
    EXPECT_NE(ini.find("LastProfileFile=" + files[0]), std::string::npos) << ini;
    EXPECT_NE(ini.find("LastProfileName=Player"), std::string::npos) << ini;
}

TEST(FrontDoor, TheDefaultNameSkipsNamesTakenAndADuplicateIsRefused) {
    testing::TempFolder home;
    WriteProfile(home, "2024_01_01_00_00_00.sav", "Player");
    WriteProfile(home, "2024_01_02_00_00_00.sav", "Player 1");
    WriteProfile(home, "2024_01_03_00_00_00.sav", "Bob");
    const ReplayResult r =
        RunReplay(Settings(home, kIntoMenu +
                                     "+0 wait scene scene_MainMenu 400\n"
                                     // The welcome board takes clicks once it has come down.
                                     "+120 click button_MM_ChoosePlayer\n"
                                     "+1 expect scene == scene_ChoosePlayer\n"
                                     "+5 click button_MM_ChoosePlayer_Create\n"
                                     "+1 expect scene == scene_EnterName\n"
                                     "+0 expect main_menu.entry == Player 2\n" +
                                     ClearName() +
                                     "+1 expect main_menu.entry == \"\"\n"
                                     "+1 text Bob \n"
                                     // A trailing space stays but does not tell names apart.
                                     "+1 expect main_menu.entry == \"Bob \"\n"
                                     "+1 key enter\n"
                                     "+1 expect layers.message.name == message_default\n"
                                     "+0 expect layers.message.text contains \"already\"\n"
                                     "+5 click button_Msg_Continue\n"
                                     "+1 expect layers.message absent\n"
                                     "+0 expect scene == scene_EnterName\n"));
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(ProfileFiles(home).size(), 3u);
}

TEST(FrontDoor, FifteenProfilesAreTheLimit) {
    testing::TempFolder home;
    for (int i = 0; i < 15; ++i) {
        char file[32];
        std::snprintf(file, sizeof file, "2024_01_%02d_00_00_00.sav", i + 1);
        WriteProfile(home, file, "P" + std::to_string(i));
    }
    const ReplayResult r =
        RunReplay(Settings(home, kIntoMenu + "+0 wait scene scene_MainMenu 400\n"
                                             "+120 click button_MM_ChoosePlayer\n"
                                             "+5 expect main_menu.selection.handle == true\n"
                                             "+0 click button_MM_ChoosePlayer_Create\n"
                                             "+1 expect layers.message.text contains \"15\"\n"
                                             "+0 expect scene == scene_ChoosePlayer\n"));
    ASSERT_TRUE(r.ok) << r.error;
}

TEST(FrontDoor, EightProfilesScrollByOneRow) {
    testing::TempFolder home;
    for (int i = 0; i < 8; ++i) {
        char file[32];
        std::snprintf(file, sizeof file, "2024_01_%02d_00_00_00.sav", i + 1);
        WriteProfile(home, file, "P" + std::to_string(i));
    }
    const ReplayResult r =
        RunReplay(Settings(home, kIntoMenu + "+0 wait scene scene_MainMenu 400\n"
                                             "+120 click button_MM_ChoosePlayer\n"
                                             "+5 expect main_menu.selection.handle == true\n"
                                             "+0 expect main_menu.selection.offset == 0\n"
                                             "+0 click button_MM_ChoosePlayer_ScrollDown\n"
                                             "+1 expect main_menu.selection.offset == 1\n"
                                             "+0 click button_MM_ChoosePlayer_ScrollDown\n"
                                             "+1 expect main_menu.selection.offset == 1\n"
                                             "+0 click button_MM_ChoosePlayer_ScrollUp\n"
                                             "+1 expect main_menu.selection.offset == 0\n"));
    ASSERT_TRUE(r.ok) << r.error;
}

TEST(FrontDoor, DeletingAnotherPlayerKeepsTheActiveOneAndDeletingTheActiveOneLoadsTheNext) {
    testing::TempFolder home;
    // Listed newest first: Cid, Ben, Ann; Cid loads at start.
    WriteProfile(home, "2024_01_01_00_00_00.sav", "Ann");
    WriteProfile(home, "2024_01_02_00_00_00.sav", "Ben");
    WriteProfile(home, "2024_01_03_00_00_00.sav", "Cid");
    const ReplayResult r = RunReplay(Settings(
        home, kIntoMenu + "+0 wait scene scene_MainMenu 400\n+0 expect player.name == Cid\n" +
                  "+120 click button_MM_ChoosePlayer\n+5 wait 1\n" + ClickRow(2) +
                  "+1 expect main_menu.selection.selected == 2\n"
                  "+0 expect main_menu.selection.can_delete == true\n"
                  "+0 click button_MM_ChoosePlayer_Delete\n"
                  "+1 expect layers.message.name == message_cp_deleteprofile\n"
                  "+5 click button_Msg_Yes\n"
                  "+1 expect layers.message absent\n"
                  "+0 expect player.name == Cid\n"
                  "+0 expect main_menu.selection.selected == -1\n"
                  "+0 expect main_menu.selection.can_delete == false\n" +
                  ClickRow(0) +
                  "+0 click button_MM_ChoosePlayer_Delete\n"
                  "+5 click button_Msg_No\n"
                  "+1 expect player.name == Cid\n"
                  "+0 click button_MM_ChoosePlayer_Delete\n"
                  "+5 click button_Msg_Yes\n"
                  "+1 expect player.name == Ben\n"));
    ASSERT_TRUE(r.ok) << r.error;
    const std::vector<std::string> files = ProfileFiles(home);
    EXPECT_EQ(files, std::vector<std::string>{"2024_01_02_00_00_00.sav"});
}

TEST(FrontDoor, ADamagedLastProfileIsNamedAndAnotherOneLoads) {
    testing::TempFolder home;
    WriteProfile(home, "2024_01_01_00_00_00.sav", "Ann");
    std::filesystem::create_directories(ProfilesDir(home));
    testing::WriteWholeFile(ProfilesDir(home) + "/2024_01_05_00_00_00.sav", "not a profile");
    testing::WriteWholeFile(home.File("Game.ini"),
                            "[OPTIONS]\nLastProfileFile=2024_01_05_00_00_00.sav\n"
                            "LastProfileName=Zed\n");
    const ReplayResult r =
        RunReplay(Settings(home, kIntoMenu + "+0 wait scene scene_MainMenu 400\n"
                                             "+40 expect layers.message.text contains \"Zed\"\n"
                                             "+0 expect player.name == Ann\n"
                                             "+5 click button_Msg_Continue\n"
                                             "+1 expect layers.message absent\n"));
    ASSERT_TRUE(r.ok) << r.error;
    // The damaged file is left as it was.
    EXPECT_EQ(ReadText(ProfilesDir(home) + "/2024_01_05_00_00_00.sav"), "not a profile");
}

TEST(FrontDoor, EscapeAsksBeforeLeavingAndYesFadesTheGameOut) {
    testing::TempFolder home;
    WriteProfile(home, "2024_01_01_00_00_00.sav", "Ann");
    const ReplayResult r =
        RunReplay(Settings(home,
                           kIntoMenu + "+0 wait scene scene_MainMenu 400\n"
                                       "+60 key escape\n"
                                       "+1 expect layers.message.name == message_mm_ays_exit\n"
                                       "+1 key escape\n"
                                       "+1 expect layers.message absent\n"
                                       "+1 click button_MM_MainMenu_Exit\n"
                                       "+1 expect layers.message.name == message_mm_ays_exit\n"
                                       "+5 click button_Msg_Yes\n"
                                       "+1 expect transition.kind == fl_exitgame\n"
                                       // The question stays while the game fades out.
                                       "+20 expect layers.message.name == message_mm_ays_exit\n",
                           3000));
    ASSERT_TRUE(r.ok) << r.error;
    // The fade ends the program well before the run's last tick.
    EXPECT_LT(r.ticks, 2500u);
}

TEST(FrontDoor, WithoutSoundTheMenuCountsItsOwnClockAndTurnsToNightAt16Seconds) {
    testing::TempFolder home;
    WriteProfile(home, "2024_01_01_00_00_00.sav", "Ann");
    SetSoundDeviceOpener([]() -> std::unique_ptr<ISoundDevice> { return nullptr; });
    const ReplayResult r =
        RunReplay(Settings(home,
                           kIntoMenu + "+0 wait scene scene_MainMenu 400\n"
                                       // The clock began with the menu, behind the fade.
                                       "+0 expect main_menu.clock < 1600\n"
                                       "+0 expect main_menu.night == false\n"
                                       // 16.5 a tick: 800 ticks later it is still day, 200 more and
                                       // the clock has passed 16 seconds.
                                       "+800 expect main_menu.clock >= 13200\n"
                                       "+0 expect main_menu.night == false\n"
                                       "+200 expect main_menu.night == true\n"
                                       "+60 expect main_menu.night_alpha == 255\n",
                           3000));
    SetSoundDeviceOpener({});
    ASSERT_TRUE(r.ok) << r.error;
}

} // namespace
} // namespace bw
