// Runs the built dan tool end to end.
#include "data/data_test_util.h"

#include "data/KilnArchive.h"

#include <algorithm>
#include <cstdio>
#include <gtest/gtest.h>
#include <regex>
#include <sys/wait.h>

namespace bw {
namespace {

const std::string kDan = BW_TEST_BINARY_DIR "/tools/dan/dan";

struct DanTool : ::testing::Test {
    test::TempDir dir;
    std::string out, err;

    void SetUp() override {
        if (!std::filesystem::exists(kDan)) GTEST_SKIP() << "dan is not built: " << kDan;
        test::WriteText(dir.File("Text.xml"),
                        "<?xml version=\"1.0\"?>\n<texts>\n <t id='1'>Hi</t>\n</texts>\n");
        std::string blob;
        for (int i = 0; i < 20000; ++i) blob += static_cast<char>((i * 7919) % 251);
        test::WriteText(dir.File("blob.bin"), blob);
    }
    // Runs dan with the arguments (already quoted as needed) in the temp folder.
    int Dan(const std::string& args) {
        const std::string cmd = "cd '" + dir.Path().string() + "' && '" + kDan + "' " + args +
                                " >'" + dir.File("out.txt") + "' 2>'" + dir.File("err.txt") + "'";
        const int status = std::system(cmd.c_str());
        const auto o = test::ReadBytes(dir.File("out.txt"));
        const auto e = test::ReadBytes(dir.File("err.txt"));
        out.assign(o.begin(), o.end());
        err.assign(e.begin(), e.end());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    static int Lines(const std::string& s) {
        return static_cast<int>(std::count(s.begin(), s.end(), '\n'));
    }
};

TEST_F(DanTool, CreateListCatVerifyAreReproducible) {
    const std::string date = "--date 2024-02-29T13:14:15";
    ASSERT_EQ(Dan("create a.dan Text.xml blob.bin " + date), 0) << err;
    ASSERT_EQ(Dan("create b.dan Text.xml blob.bin " + date), 0) << err;
    EXPECT_EQ(test::ReadBytes(dir.File("a.dan")), test::ReadBytes(dir.File("b.dan")));

    ASSERT_EQ(Dan("list a.dan"), 0) << err;
    ASSERT_EQ(Lines(out), 2);
    const auto text = test::ReadBytes(dir.File("Text.xml"));
    char crc[16];
    std::snprintf(crc, sizeof crc, "%08x", ArchiveCrc32(text.data(), text.size()));
    const std::regex line("Text\\.xml\tfile\t" + std::to_string(text.size()) + "\t[0-9]+\t" + crc +
                          "\t2024-02-29T13:14:15\tplain");
    EXPECT_TRUE(std::regex_match(out.substr(0, out.find('\n')), line)) << out;
    EXPECT_NE(out.find("blob.bin\tfile\t20000\t"), std::string::npos) << out;

    ASSERT_EQ(Dan("cat a.dan text.XML"), 0) << err;
    EXPECT_EQ(out, "<?xml version=\"1.0\"?>\n<texts>\n <t id='1'>Hi</t>\n</texts>\n");
    EXPECT_EQ(Dan("verify a.dan"), 0) << err;

    ASSERT_EQ(Dan("xml a.dan Text.xml"), 0) << err;
    EXPECT_EQ(out, "<texts>\r\n <t id=\"1\" />\r\n</texts>\r\n");
    ASSERT_EQ(Dan("xml Text.xml"), 0) << err;
    EXPECT_EQ(out, "<texts>\r\n <t id=\"1\" />\r\n</texts>\r\n");
}

TEST_F(DanTool, AddRenameRemoveAndExtract) {
    ASSERT_EQ(Dan("add c.dan Text.xml --key Data/Texts/Main.xml --type font"), 0) << err;
    ASSERT_EQ(Dan("add c.dan blob.bin --type image --date 2020-01-01"), 0) << err;
    ASSERT_EQ(Dan("mv c.dan BLOB.BIN pictures\\\\blob.image"), 0) << err;
    EXPECT_NE(Dan("mv c.dan missing x"), 0);
    ASSERT_EQ(Dan("list c.dan"), 0);
    EXPECT_NE(out.find("Data/Texts/Main.xml\tfont\t57\t"), std::string::npos) << out;
    EXPECT_NE(out.find("pictures\\blob.image\timage\t20000\t"), std::string::npos) << out;

    ASSERT_EQ(Dan("extract c.dan -C out"), 0) << err;
    EXPECT_EQ(test::ReadBytes(dir.File("out/Data/Texts/Main.xml")),
              test::ReadBytes(dir.File("Text.xml")));
    EXPECT_EQ(test::ReadBytes(dir.File("out/pictures/blob.image")),
              test::ReadBytes(dir.File("blob.bin")));

    ASSERT_EQ(Dan("rm c.dan data/texts/main.xml"), 0) << err;
    ASSERT_EQ(Dan("list c.dan"), 0);
    EXPECT_EQ(Lines(out), 1);
    EXPECT_NE(Dan("rm c.dan data/texts/main.xml"), 0);

    // A key that would leave the target folder is refused.
    ASSERT_EQ(Dan("add c.dan Text.xml --key ../../escape.xml"), 0) << err;
    EXPECT_EQ(Dan("extract c.dan ../../escape.xml -C safe"), 1);
    EXPECT_NE(err.find("not a safe file name"), std::string::npos) << err;
    EXPECT_FALSE(std::filesystem::exists(dir.Path().parent_path() / "escape.xml"));
}

TEST_F(DanTool, VerifyNamesBadRecords) {
    ASSERT_EQ(Dan("create d.dan Text.xml blob.bin --date 2024-01-01"), 0) << err;
    auto bytes = test::ReadBytes(dir.File("d.dan"));
    // Flip the stored CRC of the first record.
    bytes[16 + 17] ^= 0xFF;
    test::WriteBytes(dir.File("d.dan"), bytes);
    EXPECT_EQ(Dan("verify d.dan"), 1);
    EXPECT_NE(err.find("Text.xml: CRC mismatch"), std::string::npos) << err;
    EXPECT_EQ(err.find("blob.bin"), std::string::npos) << err;
    EXPECT_EQ(Dan("cat d.dan Text.xml"), 1);
    EXPECT_TRUE(out.empty());
}

TEST_F(DanTool, ErrorsAreOneLineAndNonZero) {
    struct Case {
        std::string args;
        int code;
    };
    test::WriteText(dir.File("broken.xml"), "<a><b></a>");
    const std::vector<Case> cases{
        {"", 2},
        {"frobnicate", 2},
        {"list", 2},
        {"list missing.dan", 1},
        {"list Text.xml", 1},
        {"cat", 2},
        {"add x.dan Text.xml --type sound", 2},
        {"add x.dan Text.xml --date yesterday", 2},
        {"add x.dan Text.xml blob.bin --key one", 2},
        {"add x.dan no-such-file", 1},
        {"list x.dan --bogus", 2},
        {"xml broken.xml", 1},
        {"xml", 2},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Dan(c.args), c.code) << c.args;
        if (!c.args.empty()) {
            EXPECT_EQ(Lines(err), 1) << c.args << ": " << err;
        }
    }
    EXPECT_FALSE(std::filesystem::exists(dir.File("x.dan")));
    for (const char* cmd :
         {"list", "cat", "extract", "create", "add", "rm", "mv", "verify", "xml"}) {
        EXPECT_EQ(Dan(std::string(cmd) + " --help"), 0) << cmd;
        EXPECT_EQ(out.rfind("usage: dan " + std::string(cmd), 0), 0u) << out;
    }
}

} // namespace
} // namespace bw
