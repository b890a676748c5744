#include "app/LogHeader.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace bw {
namespace {

TEST(LogHeader, NumbersUseThousandsSeparatorsAndZeroShowsNoDigits) {
    EXPECT_EQ(FormatThousands(0), "");
    EXPECT_EQ(FormatThousands(7), "7");
    EXPECT_EQ(FormatThousands(999), "999");
    EXPECT_EQ(FormatThousands(1000), "1,000");
    EXPECT_EQ(FormatThousands(258019), "258,019");
    EXPECT_EQ(FormatThousands(1234567), "1,234,567");
}

TEST(LogHeader, LinesComeInTheirOrderAndUnknownNamesAreLeftOut) {
    LogHeaderFacts f;
    f.launched.tm_hour = 9;
    f.launched.tm_min = 5;
    f.launched.tm_mday = 3;
    f.launched.tm_mon = 1;
    f.launched.tm_year = 126;
    f.applicationPath = "/opt/game";
    f.profilesPath = "/home/p/.local/share/X";
    f.system.processorName = "Test CPU";
    f.system.processorCores = 4;
    f.system.memoryTotal = 8ull << 30;
    f.system.memoryAvailable = 2ull << 30;
    f.system.diskTotal = 100000ull << 20;
    f.processorType = "8664";
    f.screenWidth = 2560;
    f.screenHeight = 1440;
    f.bitDepth = 24;
    f.dpi = 96;
    const auto lines = LogHeaderLines(f);
    ASSERT_GE(lines.size(), 20u);
    EXPECT_EQ(lines[0], "Branchwick");
    EXPECT_EQ(lines[1], "Version: 1.03");
    EXPECT_EQ(lines[2], "Launched at: 09:05 [ 03 February 2026 ]");
    EXPECT_EQ(lines[3], "");
    // No host or user name: both lines are left out, so the paths follow the blank line.
    EXPECT_EQ(lines[4], "Application Path: /opt/game");
    EXPECT_EQ(lines[5], "Profiles Path:    /home/p/.local/share/X");
    const auto has = [&](const std::string& l) {
        return std::find(lines.begin(), lines.end(), l) != lines.end();
    };
    EXPECT_TRUE(has("Processor type: x8664"));
    EXPECT_TRUE(has("Free Memory: 75%"));
    EXPECT_TRUE(has("Total RAM: 8192 Мбайт"));
    EXPECT_TRUE(has("Free RAM:  2048.000 Мбайт"));
    EXPECT_TRUE(has("Disc \"c:\" Size: 100,000 mb"));
    EXPECT_TRUE(has("Disc \"c:\" Free:  mb"));
    EXPECT_TRUE(has("Screen Resolution: 2560x1440"));
    EXPECT_TRUE(has("Sav Screen Resolution: 1920x1080"));
    EXPECT_TRUE(has("No sound devices!"));
    EXPECT_FALSE(std::any_of(lines.begin(), lines.end(), [](const std::string& l) {
        return l.rfind("Video Adapter", 0) == 0;
    }));
    // Three empty lines close the header.
    EXPECT_EQ(lines[lines.size() - 1], "");
    EXPECT_EQ(lines[lines.size() - 2], "");
    EXPECT_EQ(lines[lines.size() - 3], "");
    EXPECT_NE(lines[lines.size() - 4], "");
}

} // namespace
} // namespace bw
