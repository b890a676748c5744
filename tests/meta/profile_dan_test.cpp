// "dan profile-decode" and "dan profile-encode" against profiles the game writes and reads.
#include "meta/Profile.h"

#include "platform/Files.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>

namespace bw {
namespace {

TEST(ProfileDan, DecodeEditEncodeAndRefuseDamagedInput) {
    const std::string dan = BW_TEST_BINARY_DIR "/tools/dan/dan";
    if (!std::filesystem::exists(dan)) GTEST_SKIP() << "dan is not built: " << dan;
    testing::TempFolder folder;
    std::string out;
    const auto run = [&](const std::string& args) {
        const int status = std::system(
            ("cd '" + folder.Path() + "' && '" + dan + "' " + args + " >out.txt 2>err.txt")
                .c_str());
        out = testing::ReadWholeFile(folder.File("out.txt"));
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };

    TPlayer player;
    player.Name = "Quote \" and <angle> \xC3\xA9";
    player.Score = 321;
    player.Levels.resize(3);
    const std::vector<uint8_t> bytes = ProfileFileBytes(player);
    ASSERT_TRUE(WriteFileAtomically(folder.File("p.sav"), bytes.data(), bytes.size()));
    ASSERT_EQ(run("profile-decode p.sav"), 0);
    EXPECT_EQ(out.substr(0, out.find('\n')),
              "<Profile Name=\"Quote &quot; and <angle> \xC3\xA9\" Score=\"321\" "
              "GameWasStarted=\"False\" GameWasCompleted=\"False\">");

    const std::string decoded = out;
    testing::WriteWholeFile(folder.File("p.xml"), out.replace(out.find("321"), 3, "654"));
    ASSERT_EQ(run("profile-encode p.xml q.sav"), 0);
    const auto written = ReadWholeFile(folder.File("q.sav"));
    TPlayer read;
    ASSERT_TRUE(written && ProfileFromBytes(written->data(), written->size(), 3, read));
    EXPECT_EQ(read.Score, 654);
    EXPECT_EQ(read.Name, player.Name);

    testing::WriteWholeFile(folder.File("plain.sav"), "<Profile Name=\"x\" />\r\n");
    testing::WriteWholeFile(folder.File("wrong.xml"), "<Player Name=\"x\" />\n");
    testing::WriteWholeFile(folder.File("ctl.xml"), "<Profile Name=\"a\x19z\" />\n");
    EXPECT_EQ(run("profile-decode plain.sav"), 1);
    EXPECT_EQ(run("profile-decode"), 2);
    EXPECT_EQ(run("profile-encode wrong.xml w.sav"), 1);
    EXPECT_EQ(run("profile-encode ctl.xml w.sav"), 1); // would scramble into a line break
    EXPECT_FALSE(std::filesystem::exists(folder.File("w.sav")));

    // One flipped bit in a value: the file still decodes, but the game would read a default.
    std::string flipped = decoded;
    flipped.replace(flipped.find("False"), 5, "Falsg");
    testing::WriteWholeFile(folder.File("flip.xml"), flipped);
    ASSERT_EQ(run("profile-encode flip.xml flip.sav"), 0);
    EXPECT_EQ(run("profile-decode flip.sav"), 1);
    EXPECT_NE(testing::ReadWholeFile(folder.File("err.txt")).find("GameWasStarted"),
              std::string::npos);

    // A value that is gone reads as 0: the tool names it.
    std::string gap = decoded;
    gap.replace(gap.find(" lev_2=\"0\""), 10, "");
    testing::WriteWholeFile(folder.File("gap.xml"), gap);
    ASSERT_EQ(run("profile-encode gap.xml gap.sav"), 0);
    EXPECT_EQ(run("profile-decode gap.sav"), 1);
    EXPECT_NE(testing::ReadWholeFile(folder.File("err.txt"))
                  .find("missing values (the game reads 0): lev_2"),
              std::string::npos)
        << testing::ReadWholeFile(folder.File("err.txt"));
}

} // namespace
} // namespace bw
