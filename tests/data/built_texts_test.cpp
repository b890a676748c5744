// The texts of the built data: the delivered "Text.xml" of tData_Common.dan holds every entry
// the game asks for, in a form it can show, with the placeholders the game fills in.
#include "data/ArchiveAccess.h"
#include "data/TextDatabase.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace bw {
namespace {

namespace fs = std::filesystem;

const fs::path kBuildDir = fs::path(BW_TEST_BINARY_DIR);

// The levels that open with a character dialogue: the first level of every location, the two
// levels where the Big Cat waits, and the levels where big, jumping and shadow cats and combos
// first come (a line never teaches what the player has not met yet).
const std::vector<int> kDialogueLevels = {1,  9,  14, 15, 19, 23, 24, 27, 31,
                                          32, 35, 37, 39, 43, 45, 47, 52, 56};

// Reads the built document through the game's own loads, with a report.
class BuiltTexts : public ::testing::Test {
protected:
    void SetUp() override {
        if (!fs::exists(kBuildDir / "Data" / "tData_Common.dan"))
            GTEST_SKIP() << "the data is not built: " << (kBuildDir / "Data").string();
        ResetTextDatabase();
        TextDatabaseSource() = TextDatabaseSourceFolders{kBuildDir.string(), {}, {}};
        report_.DialogueLevels = kDialogueLevels;
        read_ = LoadApplicationTexts(&report_) && LoadTextDatabase(&report_);
    }
    void TearDown() override {
        TextDatabaseSource() = saved_;
        ResetTextDatabase();
        UnlockArchiveAccess();
    }

    TextDatabaseSourceFolders saved_ = TextDatabaseSource();
    TextDatabaseReport report_;
    bool read_ = false;
};

TEST_F(BuiltTexts, HoldEveryTextTheGameAsksFor) {
    ASSERT_TRUE(read_) << "no readable Text.xml in the built tData_Common.dan";
    for (const std::string& problem : report_.Problems) ADD_FAILURE() << "Text.xml: " << problem;
    EXPECT_EQ(GameText("Application_Name"), "Branchwick");
    EXPECT_GE(Texts().LoadingHints.size(), 12u);
    // Every place in the credits list has a title: no element of the list's section is
    // anything but a credit.
    for (std::size_t i = 0; i < Texts().Credits.size(); ++i)
        EXPECT_FALSE(Texts().Credits[i].Title.empty()) << "credit " << i;
    for (int level = 1; level <= DialogLevelCount; ++level) {
        for (const TDialogTSText& line : Texts().Dialog(level))
            EXPECT_FALSE(line.Text.empty()) << "dialog_" << level;
    }
}

TEST_F(BuiltTexts, CarryThePlaceholdersTheGameFills) {
    ASSERT_TRUE(read_);
    auto has = [](const std::string& key, const std::string& placeholder) {
        return GameText(key).find(placeholder) != std::string::npos;
    };
    // The profile name, the nest count and noun, the player's name, each award's counter.
    for (const char* key : {"msg_badprofile", "msg_profilenotfound", "Welcome_message_1"})
        EXPECT_TRUE(has(key, "%{0}")) << key;
    EXPECT_TRUE(has("Popap_SaveNestlings_1", "%{0}") && has("Popap_SaveNestlings_1", "%{1}"));
    for (int i = 1; i <= 10; ++i) {
        const std::string key = "Awards_Text_" + std::to_string(i);
        EXPECT_TRUE(has(key, "%{0}")) << key;
    }
    // Task texts: 1 the time, 2, 7, 9 and 10 the target, 4 and 11 the target and a colour; the
    // others get no value, so a placeholder there would only vanish.
    for (int task = 1; task <= 12; ++task) {
        const std::string key = "result_task_" + std::to_string(task);
        const bool value = task == 1 || task == 2 || task == 4 || task == 7 || task == 9 ||
                           task == 10 || task == 11;
        const bool colour = task == 4 || task == 11;
        EXPECT_EQ(has(key, "%{0}"), value) << key;
        EXPECT_EQ(has(key, "%{1}"), colour) << key;
    }
    for (int kind = 1; kind <= 6; ++kind) {
        EXPECT_FALSE(GameText("result_task_color_" + std::to_string(kind)).empty());
        EXPECT_FALSE(GameText("result_task11_color_" + std::to_string(kind)).empty());
    }
}

} // namespace
} // namespace bw
