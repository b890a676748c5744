// Where the player's files live on the desktop, the one-time move out of the old single folder,
// and where the game looks for its data once installed.
#include "base/AppFolders.h"
#include "base/DataFolder.h"
#include "platform/Files.h"
#include "platform/SingleInstance.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace bw {
namespace {

using testing::ReadWholeFile;
using testing::WriteWholeFile;
namespace fs = std::filesystem;

bool Has(const std::vector<std::string>& lines, const std::string& part) {
    for (const std::string& line : lines)
        if (line.find(part) != std::string::npos) return true;
    return false;
}

// Sets an environment variable for one test and puts the old value back.
class EnvVar {
public:
    EnvVar(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        had_ = std::getenv(name) != nullptr;
        if (value)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    ~EnvVar() {
        if (had_)
            ::setenv(name_, old_.c_str(), 1);
        else
            ::unsetenv(name_);
    }

private:
    const char* name_;
    std::string old_;
    bool had_ = false;
};

TEST(UserFolders, EachKindOfFileHasItsBaseDirectoryAndRelativeValuesAreIgnored) {
    EnvVar home("HOME", "/home/tess");
    EnvVar config("XDG_CONFIG_HOME", "/cfg");
    EnvVar data("XDG_DATA_HOME", "relative/data"); // not absolute: the default applies
    EnvVar state("XDG_STATE_HOME", nullptr);
    const AppFolders f = DefaultAppFolders();
    EXPECT_EQ(f.config, "/cfg/branchwick");
    EXPECT_EQ(f.data, "/home/tess/.local/share/branchwick");
    EXPECT_EQ(f.state, "/home/tess/.local/state/branchwick");
    EXPECT_EQ(OldAppFolderPath(),
              "/home/tess/.local/share/KestruneEntertainment/Tallow Studios/Branchwick");
}

class OldFolderMove : public ::testing::Test {
protected:
    void SetUp() override {
        old = tmp.File("old/KestruneEntertainment/Tallow Studios/Branchwick");
        to = AppFolders{tmp.File("config/branchwick"), tmp.File("data/branchwick"),
                        tmp.File("state/branchwick")};
        fs::create_directories(old + "/Profiles");
    }
    void Old(const std::string& name, const std::string& text) {
        WriteWholeFile(old + "/" + name, text);
    }

    testing::TempFolder tmp;
    std::string old;
    AppFolders to;
};

TEST_F(OldFolderMove, EveryFileGoesToItsNewFolderOnceAndTheOldFolderGoes) {
    Old("Game.ini", "[OPTIONS]\nMusicVolume=0.2\n");
    Old("Game.ini.bad", "damaged");
    Old("Branchwick.log", "last run");
    Old("Branchwick.lock", "");
    Old("Profiles/Tess.sav", "tess");
    Old("Profiles/Max.sav", "max");

    const std::vector<std::string> lines = MoveOldAppFolder(old, to);
    EXPECT_EQ(ReadWholeFile(to.config + "/Game.ini"), "[OPTIONS]\nMusicVolume=0.2\n");
    EXPECT_EQ(ReadWholeFile(to.config + "/Game.ini.bad"), "damaged");
    // The new run's log takes the plain name; the old one is kept beside it.
    EXPECT_EQ(ReadWholeFile(to.state + "/Branchwick.log.old"), "last run");
    EXPECT_EQ(ReadWholeFile(to.data + "/Profiles/Tess.sav"), "tess");
    EXPECT_EQ(ReadWholeFile(to.data + "/Profiles/Max.sav"), "max");
    EXPECT_FALSE(FileExists(to.data + "/Branchwick.lock"));
    // The old folder and its empty parents are gone; the log is told of every file.
    EXPECT_FALSE(fs::exists(tmp.File("old/KestruneEntertainment")));
    EXPECT_TRUE(Has(lines, "Moved 5 files")) << lines.back();
    EXPECT_TRUE(Has(lines, "Profiles/Tess.sav"));

    // A second start finds nothing to move and says nothing.
    EXPECT_TRUE(MoveOldAppFolder(old, to).empty());
}

TEST_F(OldFolderMove, AFileWhoseNewNameIsTakenStaysAndNothingIsOverwritten) {
    Old("Game.ini", "old options");
    Old("Profiles/Tess.sav", "old tess");
    Old("Profiles/Max.sav", "max");
    fs::create_directories(to.data + "/Profiles");
    WriteWholeFile(to.data + "/Profiles/Tess.sav", "new tess");

    const std::vector<std::string> lines = MoveOldAppFolder(old, to);
    EXPECT_EQ(ReadWholeFile(to.data + "/Profiles/Tess.sav"), "new tess");
    EXPECT_EQ(ReadWholeFile(old + "/Profiles/Tess.sav"), "old tess");
    EXPECT_EQ(ReadWholeFile(to.data + "/Profiles/Max.sav"), "max");
    EXPECT_EQ(ReadWholeFile(to.config + "/Game.ini"), "old options");
    EXPECT_TRUE(Has(lines, "Kept " + old + "/Profiles/Tess.sav"));
    EXPECT_TRUE(Has(lines, "1 stay in " + old)) << lines.back();
}

TEST_F(OldFolderMove, NothingMovesWhileAnOlderGameHoldsTheOldFolder) {
    Old("Profiles/Tess.sav", "tess");
    SingleInstanceLock olderGame(old + "/Branchwick.lock");
    ASSERT_TRUE(olderGame.Acquired());
    // The lock belongs to an open file, so a second one in this process is refused as well.
    const std::vector<std::string> lines = MoveOldAppFolder(old, to);
    EXPECT_TRUE(Has(lines, "older Branchwick is running"));
    EXPECT_EQ(ReadWholeFile(old + "/Profiles/Tess.sav"), "tess");
    EXPECT_FALSE(FileExists(to.data + "/Profiles/Tess.sav"));
}

TEST_F(OldFolderMove, WithoutAnOldFolderNothingHappens) {
    EXPECT_TRUE(MoveOldAppFolder(tmp.File("none"), to).empty());
    EXPECT_TRUE(MoveOldAppFolder("", to).empty());
    EXPECT_FALSE(fs::exists(to.data));
}

TEST(DataFolderLookup, BesideTheProgramThenRelativeToTheInstallThenXdgDataDirs) {
    const std::vector<std::string> c =
        DataFolderCandidates("/opt/bw/bin", "/usr/local/share:relative:/usr/share:");
    ASSERT_EQ(c.size(), 4u);
    EXPECT_EQ(c[0], "/opt/bw/bin/Data");
    EXPECT_EQ(c[1], "/opt/bw/share/games/branchwick/Data");
    EXPECT_EQ(c[2], "/usr/local/share/games/branchwick/Data");
    EXPECT_EQ(c[3], "/usr/share/games/branchwick/Data");
    // Unset or empty: the desktop's default list.
    EXPECT_EQ(DataFolderCandidates("/b", nullptr).size(), 4u);
    EXPECT_EQ(DataFolderCandidates("/b", "").back(), "/usr/share/games/branchwick/Data");
}

} // namespace
} // namespace bw
