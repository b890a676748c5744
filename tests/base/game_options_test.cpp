#include "base/GameOptions.h"

#include "data/IniFile.h"
#include "platform/Log.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <clocale>
#include <filesystem>
#include <string>
#include <vector>

#include <sys/stat.h>

namespace bw {
namespace {

using testing::ReadWholeFile;
using testing::TempFolder;
using testing::WriteWholeFile;

const char kFirstStartFile[] = "[OPTIONS]\n"
                               "MusicVolume=0.5\n"
                               "SoundFxVolume=1\n"
                               "FullScreen=1\n"
                               "Resolution=99\n"
                               "VSync=0\n"
                               "FrameLimiter=0\n"
                               "Cursor=1\n"
                               "ShowTutorial=1\n"
                               "Version=1.03\n"
                               "LastProfileFile=\n"
                               "LastProfileName=\n"
                               "Fs=1\n"
                               "\n"
                               "[TEST]\n"
                               "Fps=0\n"
                               "Ssc=0\n"
                               "Spc=0\n";

class GameOptionsTest : public ::testing::Test {
protected:
    void SetUp() override {
        GameOptions = TGameOptions{};
        GameOptions.AppFolderPath = folder.File("Kestrune/Branchwick");
        ResetOptions = false;
    }
    void TearDown() override {
        SetLogListener(nullptr);
        GameOptions = TGameOptions{};
        ResetOptions = false;
    }
    std::string IniPath() const { return folder.File("Kestrune/Branchwick/Game.ini"); }
    void WriteIni(const std::string& text) {
        std::filesystem::create_directories(folder.File("Kestrune/Branchwick"));
        WriteWholeFile(IniPath(), text);
    }

    TempFolder folder;
};

TEST_F(GameOptionsTest, FirstStartCreatesFolderAndTheDefaultFile) {
    EXPECT_EQ(OptionsFilePath(), IniPath());
    LoadOptions();
    EXPECT_EQ(ReadWholeFile(IniPath()), kFirstStartFile);
    EXPECT_TRUE(GameOptions.FullScreen);
    EXPECT_TRUE(GameOptions.FirstStart);
    EXPECT_EQ(GameOptions.Resolution, 99);
    EXPECT_EQ(GameOptions.AppFolderPath, folder.File("Kestrune/Branchwick"));
}

TEST_F(GameOptionsTest, EveryStoredOptionSurvivesARoundTripInKeyOrder) {
    TGameOptions& o = GameOptions;
    float music = 0.0f;
    for (int i = 0; i < 6; ++i) music += 0.1f; // stepped like the options screen's arrows
    o.MusicVolume = music;
    o.SoundFxVolume = 0.0f;
    o.FullScreen = false;
    o.Resolution = 3;
    o.VSync = true;
    o.FrameLimiter = true;
    o.Cursor = false;
    o.ShowTutorial = false;
    o.LastProfileFile = "20240101120000.sav";
    o.LastProfileName = " Zoë = the \"best\" ";
    o.FirstStart = false;
    o.Fps = o.Ssc = o.Spc = true;
    o.SoundsOff = true;
    ASSERT_TRUE(SaveOptions());

    const std::string text = ReadWholeFile(IniPath());
    EXPECT_EQ(text.substr(0, text.find("LastProfileFile")),
              "[OPTIONS]\nMusicVolume=0.600000023841858\nSoundFxVolume=0\nFullScreen=0\n"
              "Resolution=3\nVSync=1\nFrameLimiter=1\nCursor=0\nShowTutorial=0\n"
              "Version=1.03\n");
    EXPECT_NE(text.find("Fs=0\n\n[TEST]\nFps=1\nSsc=1\nSpc=1\n"), std::string::npos);

    const TGameOptions saved = GameOptions;
    GameOptions = TGameOptions{};
    GameOptions.AppFolderPath = saved.AppFolderPath;
    LoadOptions();
    EXPECT_EQ(GameOptions.MusicVolume, music);
    EXPECT_EQ(GameOptions.SoundFxVolume, 0.0f);
    EXPECT_FALSE(GameOptions.FullScreen);
    EXPECT_EQ(GameOptions.Resolution, 3);
    EXPECT_TRUE(GameOptions.VSync);
    EXPECT_TRUE(GameOptions.FrameLimiter);
    EXPECT_FALSE(GameOptions.Cursor);
    EXPECT_FALSE(GameOptions.ShowTutorial);
    EXPECT_EQ(GameOptions.LastProfileFile, saved.LastProfileFile);
    EXPECT_EQ(GameOptions.LastProfileName, saved.LastProfileName);
    EXPECT_FALSE(GameOptions.FirstStart);
    EXPECT_TRUE(GameOptions.Fps && GameOptions.Ssc && GameOptions.Spc);
    EXPECT_FALSE(GameOptions.SoundsOff);       // not stored
    EXPECT_EQ(ReadWholeFile(IniPath()), text); // loading rewrites the same file
}

TEST_F(GameOptionsTest, DamagedOrPartialFileGivesDefaultsAndIsCompletedOnLoad) {
    WriteIni("[options]\r\n"
             "musicvolume=0,25\r\n"
             "SoundFxVolume=loud\r\n"
             "FullScreen=0\r\n"
             "Resolution=-3\r\n"
             "VSync=2\r\n"
             "Cursor=\r\n"
             "Fs=0\r\n"
             "Version=0.1\r\n"
             "[TEST]\r\n"
             "Fps=1\r\n"
             "Ssc=1"); // cut off, no final line end
    LoadOptions();
    EXPECT_TRUE(std::filesystem::exists(IniPath() + ".bad"));
    EXPECT_FLOAT_EQ(GameOptions.MusicVolume, 0.25f);
    EXPECT_EQ(GameOptions.SoundFxVolume, 1.0f);
    EXPECT_FALSE(GameOptions.FullScreen);
    EXPECT_EQ(GameOptions.Resolution, 99);
    EXPECT_TRUE(GameOptions.VSync);
    EXPECT_TRUE(GameOptions.Cursor);
    EXPECT_TRUE(GameOptions.ShowTutorial);
    EXPECT_FALSE(GameOptions.FirstStart);
    EXPECT_TRUE(GameOptions.Fps);
    EXPECT_TRUE(GameOptions.Ssc);
    EXPECT_FALSE(GameOptions.Spc);
    EXPECT_EQ(ReadWholeFile(IniPath()), OptionsFileText(GameOptions));
    EXPECT_NE(ReadWholeFile(IniPath()).find("Version=1.03\n"), std::string::npos);
}

TEST_F(GameOptionsTest, DamagedContentIsKeptAsBadBesideTheNewFile) {
    const std::string damaged = "[OPTIONS]\nMusicVolume=0.2\nSoundFxVolume=lo\x01ud\nFs=0\n";
    WriteIni(damaged);
    LoadOptions();
    EXPECT_EQ(ReadWholeFile(IniPath() + ".bad"), damaged);
    EXPECT_EQ(ReadWholeFile(IniPath()), OptionsFileText(GameOptions));
    EXPECT_FLOAT_EQ(GameOptions.MusicVolume, 0.2f);
    EXPECT_FALSE(GameOptions.FirstStart);

    // A file that is merely incomplete is not damaged: nothing is set aside.
    std::filesystem::remove(IniPath() + ".bad");
    WriteIni("[OPTIONS]\nMusicVolume=0.3\n");
    LoadOptions();
    EXPECT_FALSE(std::filesystem::exists(IniPath() + ".bad"));
}

// Whatever stands where the file should be and cannot be read is logged and left alone: the
// game runs on defaults and no later save writes over it.
TEST_F(GameOptionsTest, AFileThatCannotBeReadIsLoggedAndLeftAlone) {
    std::vector<std::string> log;
    SetLogListener([&](const std::string& line) { log.push_back(line); });
    auto expectLeftAlone = [&](const std::string& why) {
        log.clear();
        LoadOptions();
        EXPECT_TRUE(GameOptions.FullScreen) << why;
        EXPECT_FALSE(SaveOptions()) << why;
        ASSERT_EQ(log.size(), 1u) << why;
        EXPECT_NE(log[0].find("Options file " + IniPath() + " " + why), std::string::npos)
            << log[0];
    };
    namespace fs = std::filesystem;

    fs::create_directories(IniPath() + "/inside");
    expectLeftAlone("is not a regular file");
    EXPECT_TRUE(fs::is_directory(IniPath() + "/inside"));
    fs::remove_all(IniPath());

    ASSERT_EQ(::mkfifo(IniPath().c_str(), 0600), 0); // must not block start-up
    expectLeftAlone("is not a regular file");
    EXPECT_TRUE(fs::is_fifo(IniPath()));
    fs::remove(IniPath());

    fs::create_symlink("/dev/zero", IniPath()); // must not read for ever
    expectLeftAlone("is not a regular file");
    fs::remove(IniPath());

    const std::string huge = "[OPTIONS]\nFullScreen=0\n" + std::string(IniFile::MaxFileSize, ';');
    WriteIni(huge);
    expectLeftAlone("is too large");
    EXPECT_EQ(fs::file_size(IniPath()), huge.size());

    // An intact file in an encoding the reader does not take: the player's settings survive.
    const std::string utf16("\xFF\xFE[\0O\0P\0T\0]\0\n\0", 14);
    WriteIni(utf16);
    expectLeftAlone("is in UTF-16");
    EXPECT_EQ(ReadWholeFile(IniPath()), utf16);
    EXPECT_FALSE(fs::exists(IniPath() + ".bad"));

    // Once the file reads again, saving works again.
    fs::remove(IniPath());
    LoadOptions();
    EXPECT_TRUE(SaveOptions());
}

// A damaged file is set aside once: what the game writes back reads clean on the next start.
// The file is written where it lives (through a link), and a read-only one is left alone.
TEST_F(GameOptionsTest, TheFileIsWrittenCleanWhereItLivesAndOnlyWhenItMayBe) {
    namespace fs = std::filesystem;
    std::vector<std::string> log;
    SetLogListener([&](const std::string& line) { log.push_back(line); });
    const auto logged = [&](const std::string& words) {
        for (const std::string& line : log)
            if (line.find(words) != std::string::npos) return true;
        return false;
    };

    const char nul[] = "[OPTIONS]\nFullScreen=0\nLastProfileName=An\0n\nFs=0\n";
    WriteIni(std::string(nul, sizeof(nul) - 1));
    LoadOptions();
    EXPECT_TRUE(logged("is damaged; kept as"));
    EXPECT_EQ(GameOptions.LastProfileName, "");
    EXPECT_EQ(ReadWholeFile(IniPath()).find('\0'), std::string::npos);
    fs::remove(IniPath() + ".bad");
    log.clear();
    LoadOptions();
    EXPECT_FALSE(logged("damaged")) << log.front();
    EXPECT_FALSE(fs::exists(IniPath() + ".bad"));
    EXPECT_FALSE(GameOptions.FullScreen);

    fs::remove(IniPath());
    fs::create_directories(folder.File("dotfiles"));
    WriteWholeFile(folder.File("dotfiles/Game.ini"), "[OPTIONS]\nFullScreen=0\nFs=0\n");
    fs::create_symlink("../../dotfiles/Game.ini", IniPath());
    LoadOptions();
    GameOptions.Cursor = false;
    ASSERT_TRUE(SaveOptions());
    EXPECT_TRUE(fs::is_symlink(IniPath()));
    EXPECT_EQ(ReadWholeFile(folder.File("dotfiles/Game.ini")), OptionsFileText(GameOptions));
    fs::remove(IniPath());

    const std::string kept = "[OPTIONS]\nFullScreen=0\n";
    WriteIni(kept);
    fs::permissions(IniPath(), fs::perms::owner_read | fs::perms::group_read);
    log.clear();
    LoadOptions();
    EXPECT_FALSE(GameOptions.FullScreen);
    EXPECT_TRUE(logged("Options file " + IniPath() + " is read-only")) << log.size();
    GameOptions.Cursor = false;
    EXPECT_FALSE(SaveOptions());
    EXPECT_EQ(ReadWholeFile(IniPath()), kept);
    fs::permissions(IniPath(), fs::perms::owner_all);
}

TEST_F(GameOptionsTest, OutOfRangeValuesDoNotLeakIn) {
    WriteIni("[OPTIONS]\nMusicVolume=7\nSoundFxVolume=-0.5\nResolution=259\n");
    LoadOptions();
    EXPECT_EQ(GameOptions.MusicVolume, 1.0f);
    EXPECT_EQ(GameOptions.SoundFxVolume, 0.0f);
    EXPECT_EQ(GameOptions.Resolution, 99); // not 259 wrapped round to 3

    const char binary[] = "garbage\0\xff\xfe binary"; // not an INI file at all
    WriteIni(std::string(binary, sizeof(binary) - 1));
    LoadOptions();
    EXPECT_EQ(ReadWholeFile(IniPath()), kFirstStartFile);
}

TEST_F(GameOptionsTest, ResetDeletesTheFileFirstAndLeavesTheFirstStartFile) {
    WriteIni("[OPTIONS]\nFullScreen=0\nMusicVolume=0.1\nFs=0\nLastProfileName=Ann\n");
    ResetOptions = true;
    LoadOptions();
    EXPECT_TRUE(GameOptions.FullScreen);
    EXPECT_EQ(GameOptions.LastProfileName, "");
    EXPECT_EQ(ReadWholeFile(IniPath()), kFirstStartFile);
}

TEST_F(GameOptionsTest, UnwritableFolderDoesNotStopLoading) {
    WriteWholeFile(folder.File("blocker"), "a file where a folder should be");
    GameOptions.AppFolderPath = folder.File("blocker/Branchwick");
    LoadOptions();
    EXPECT_TRUE(GameOptions.FullScreen);
    EXPECT_FALSE(SaveOptions());

    GameOptions.AppFolderPath.clear();
    GameOptions.Cursor = false;
    LoadOptions();
    EXPECT_TRUE(GameOptions.Cursor);
    EXPECT_FALSE(SaveOptions());
}

TEST_F(GameOptionsTest, VolumesUseAPointWhateverTheNumericLocale) {
    // Whatever the locale, '.' and ',' are both read.
    WriteIni("[OPTIONS]\nMusicVolume=0,7\nSoundFxVolume=0.3\n");
    LoadOptions();
    EXPECT_EQ(GameOptions.MusicVolume, 0.7f);
    EXPECT_EQ(GameOptions.SoundFxVolume, 0.3f);

    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    const char* comma = nullptr;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "ru_RU.UTF-8", "de_DE",
                             "fr_FR", "nl_NL.UTF-8"}) {
        if (std::setlocale(LC_NUMERIC, name) != nullptr) {
            comma = name;
            break;
        }
    }
    if (comma == nullptr) GTEST_SKIP() << "no locale with a decimal comma is installed";
    GameOptions.MusicVolume = 0.6f;
    const bool saved = SaveOptions();
    LoadOptions();
    std::setlocale(LC_NUMERIC, previous.c_str());
    ASSERT_TRUE(saved);
    EXPECT_NE(ReadWholeFile(IniPath()).find("MusicVolume=0.600000023841858\n"), std::string::npos)
        << comma;
    EXPECT_EQ(GameOptions.MusicVolume, 0.6f);
}

TEST(AppFilePath, JoinsWithASlashAndIsEmptyWithoutAFolder) {
    const std::string keep = GameOptions.AppFolderPath;
    GameOptions.AppFolderPath = "/home/u/.local/share/Branchwick";
    EXPECT_EQ(OptionsFilePath(), "/home/u/.local/share/Branchwick/Game.ini");
    GameOptions.AppFolderPath = "/data/";
    EXPECT_EQ(AppFilePath("x.log"), "/data/x.log");
    GameOptions.AppFolderPath = "";
    EXPECT_EQ(OptionsFilePath(), "");
    GameOptions.AppFolderPath = keep;
}

} // namespace
} // namespace bw
