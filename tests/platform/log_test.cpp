#include "platform/Log.h"

#include "base/GameOptions.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <sstream>
#include <vector>

namespace bw {
namespace {

using testing::ReadWholeFile;
using testing::TempFolder;
using testing::WriteWholeFile;

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

class LogTest : public ::testing::Test {
protected:
    void SetUp() override { GameOptions.AppFolderPath = folder.File("new/folder"); }
    void TearDown() override {
        GameOptions = TGameOptions{};
        SetLogListener(nullptr);
    }
    TempFolder folder;
};

TEST_F(LogTest, ModesWriteRawTimedOrNothing) {
    EXPECT_EQ(LogFilePath(), folder.File("new/folder/Branchwick.log"));
    WriteLog("Branchwick", 0);
    WriteLog("Creating SS...", 1);
    WriteLog("ignored", 2);
    WriteLog("default mode");
    const auto lines = Lines(ReadWholeFile(LogFilePath()));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "Branchwick");
    EXPECT_TRUE(std::regex_match(lines[1], std::regex(R"(\d\d:\d\d:\d\d\.{6}Creating SS\.\.\.)")))
        << lines[1];
    EXPECT_TRUE(std::regex_match(lines[2], std::regex(R"(\d\d:\d\d:\d\d\.{6}default mode)")))
        << lines[2];
}

TEST_F(LogTest, StartLogReplacesTheOldLogOnlyOnceANewLineIsWritten) {
    WriteLog("from the last run", 0);
    StartLog();
    EXPECT_EQ(ReadWholeFile(LogFilePath()), "from the last run\n");
    WriteLog("a", 0);
    WriteLog("b", 0);
    EXPECT_EQ(ReadWholeFile(LogFilePath()), "a\nb\n");
    EXPECT_FALSE(std::filesystem::exists(LogFilePath() + ".new"));
}

TEST_F(LogTest, ANewLogThatCannotBeWrittenKeepsTheOldOneAndGoesToStandardError) {
    WriteLog("from the last run", 0);
    // Where the new file would go stands a folder: like a full disk, nothing can be written.
    std::filesystem::create_directories(LogFilePath() + ".new/x");
    StartLog();
    ::testing::internal::CaptureStderr();
    WriteLog("header", 0);
    WriteLog("second", 0);
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(ReadWholeFile(LogFilePath()), "from the last run\n");
    EXPECT_NE(err.find("Cannot write the log file " + LogFilePath()), std::string::npos) << err;
    EXPECT_NE(err.find("header\nsecond\n"), std::string::npos) << err;
}

TEST_F(LogTest, UnwritableFolderLogsToStandardErrorAndListenersStillHearIt) {
    WriteWholeFile(folder.File("file"), "x");
    GameOptions.AppFolderPath = folder.File("file/below");
    std::vector<std::string> heard;
    SetLogListener([&](const std::string& line) { heard.push_back(line); });
    StartLog();
    ::testing::internal::CaptureStderr();
    WriteLog("still running", 0);
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("still running\n"), std::string::npos);
    GameOptions.AppFolderPath.clear(); // no folder at all: no file, but no failure either
    EXPECT_EQ(LogFilePath(), "");
    StartLog();
    WriteLog("no folder", 0);
    EXPECT_EQ(heard, (std::vector<std::string>{"still running", "no folder"}));
    EXPECT_EQ(ReadWholeFile(folder.File("file")), "x");
}

} // namespace
} // namespace bw
