#include "data/IniFile.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace bw {
namespace {

using testing::ReadWholeFile;
using testing::TempFolder;
using testing::WriteWholeFile;

TEST(IniNumbers, FloatsKeepFifteenDigitsOfTheWidenedSingle) {
    EXPECT_EQ(FormatFloat15(0.5), "0.5");
    EXPECT_EQ(FormatFloat15(1.0), "1");
    EXPECT_EQ(FormatFloat15(0.0), "0");
    EXPECT_EQ(FormatFloat15(-0.0), "0");
    EXPECT_EQ(FormatFloat15(static_cast<double>(0.6f)), "0.600000023841858");
    // A volume stepped up by 0.1 in single precision.
    float v = 0.0f;
    for (int i = 0; i < 3; ++i) v += 0.1f;
    EXPECT_EQ(FormatFloat15(static_cast<double>(v)), "0.300000011920929");
}

TEST(IniNumbers, FloatsParseWithEitherSeparatorAndRejectGarbage) {
    EXPECT_DOUBLE_EQ(*ParseFloat("0.25"), 0.25);
    EXPECT_DOUBLE_EQ(*ParseFloat("0,25"), 0.25);
    EXPECT_DOUBLE_EQ(*ParseFloat("  -1,5 "), -1.5);
    EXPECT_DOUBLE_EQ(*ParseFloat("+2"), 2.0);
    EXPECT_DOUBLE_EQ(*ParseFloat(".5"), 0.5);
    EXPECT_DOUBLE_EQ(*ParseFloat("1e-1"), 0.1);
    for (const char* bad :
         {"", " ", "abc", "0.5x", "1.2.3", "1,2.3", "nan", "inf", "--1", "+-1", "0x1p3", "1 2"}) {
        EXPECT_FALSE(ParseFloat(bad).has_value()) << '"' << bad << '"';
    }
    // Whatever is written reads back to the same single.
    for (float f : {0.0f, 0.1f, 0.6f, 0.7f, 1.0f, 0.05f}) {
        EXPECT_EQ(static_cast<float>(*ParseFloat(FormatFloat15(f))), f) << f;
    }
}

TEST(IniNumbers, IntegersMustParseAsAWhole) {
    EXPECT_EQ(*ParseInteger("42"), 42);
    EXPECT_EQ(*ParseInteger(" -7 "), -7);
    EXPECT_EQ(*ParseInteger("+3"), 3);
    for (const char* bad : {"", "1.0", "12abc", "0x10", "+-1", "99999999999999999999", "-"}) {
        EXPECT_FALSE(ParseInteger(bad).has_value()) << '"' << bad << '"';
    }
}

TEST(IniFile, ReadingIsForgivingAboutLayoutAndCase) {
    IniFile ini;
    ini.Parse("\xEF\xBB\xBF; comment\r\n"
              "Stray=ignored\r\n"
              "[ Options ]\r\n"
              "  Name =  Value with spaces  \r\n"
              "name=second is ignored\n"
              "Quoted=\"  padded  \"\n"
              "NoEquals\n"
              "=novalue\n"
              "[broken\n"
              "Lost=1\n"
              "[TEST]\n"
              "Flag=1");
    EXPECT_EQ(ini.ReadString("OPTIONS", "NAME", "?"), "Value with spaces");
    EXPECT_EQ(ini.ReadString("options", "Quoted", "?"), "  padded  ");
    EXPECT_FALSE(ini.Find("OPTIONS", "Stray"));
    EXPECT_FALSE(ini.Find("OPTIONS", "Lost"));
    EXPECT_FALSE(ini.Find("broken", "Lost"));
    EXPECT_TRUE(ini.ReadBool("TEST", "Flag", false));
    EXPECT_EQ(ini.ReadString("TEST", "Missing", "def"), "def");
    EXPECT_EQ(ini.ReadInteger("OPTIONS", "Quoted", 9), 9);
}

TEST(IniFile, ManyKeysAndSectionsKeepFirstWinsAndCountDamagedLines) {
    std::string text;
    for (int s = 0; s < 200; ++s) {
        text += "[S" + std::to_string(s) + "]\n";
        for (int k = 0; k < 400; ++k)
            text += "Key" + std::to_string(k) + "=" + std::to_string(s * 1000 + k) + "\n";
    }
    text += "[s7]\nKEY3=later\nNew=1\nnot a key\n[open\n";
    IniFile ini;
    EXPECT_EQ(ini.Parse(text), 2);
    EXPECT_EQ(ini.ReadInteger("S0", "Key0", -1), 0);
    EXPECT_EQ(ini.ReadInteger("s199", "key399", -1), 199399);
    EXPECT_EQ(ini.ReadInteger("S7", "Key3", -1), 7003); // the first one counts
    EXPECT_EQ(ini.ReadInteger("S7", "new", -1), 1);     // a reopened section gains keys
    ini.WriteInteger("s7", "key3", 5);
    EXPECT_EQ(ini.ReadInteger("S7", "Key3", -1), 5);
    EXPECT_EQ(ini.ToText().find("[s7]"), std::string::npos); // one section, first spelling
}

TEST(IniFile, LoadReadsOnlyRegularFilesWithinTheLimit) {
    TempFolder folder;
    IniFile ini;
    EXPECT_EQ(ini.Load(folder.File("missing.ini")), ReadFailure::Missing);
    EXPECT_EQ(ini.Load(folder.Path()), ReadFailure::NotAFile);
    WriteWholeFile(folder.File("big.ini"), "[A]\nx=1\n" + std::string(IniFile::MaxFileSize, '#'));
    EXPECT_EQ(ini.Load(folder.File("big.ini")), ReadFailure::TooLarge);
    EXPECT_FALSE(ini.Find("A", "x"));
    WriteWholeFile(folder.File("ok.ini"), "[A]\nx=1\n");
    EXPECT_EQ(ini.Load(folder.File("ok.ini")), ReadFailure::None);
    EXPECT_EQ(ini.ReadInteger("A", "x", 0), 1);
}

TEST(IniFile, WritingKeepsFirstOrderAndOverwritesInPlace) {
    IniFile ini;
    ini.WriteInteger("B", "x", 1);
    ini.WriteBool("A", "y", true);
    ini.WriteFloat("B", "z", 0.5);
    ini.WriteInteger("b", "X", 2);
    EXPECT_EQ(ini.ToText(), "[B]\nx=2\nz=0.5\n\n[A]\ny=1\n");
}

TEST(IniFileSave, ReplacesTheFileWholeAndCreatesFolders) {
    TempFolder tmp;
    const std::string path = tmp.File("a/b/c.ini");
    IniFile ini;
    ini.WriteString("S", "K", "1");
    ASSERT_TRUE(ini.Save(path));
    EXPECT_EQ(ReadWholeFile(path), "[S]\nK=1\n");
    // A temporary file left by an interrupted save does not get in the way.
    WriteWholeFile(path + ".tmp", "[S]\nK=garbage, half writ");
    ini.WriteString("S", "K", "2");
    ASSERT_TRUE(ini.Save(path));
    EXPECT_EQ(ReadWholeFile(path), "[S]\nK=2\n");
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
}

TEST(IniFileSave, AFailedSaveLeavesTheOldFileUntouched) {
    TempFolder tmp;
    const std::string path = tmp.File("c.ini");
    WriteWholeFile(path, "[S]\nK=old\n");
    std::filesystem::create_directory(path + ".tmp"); // the temporary file cannot be created
    IniFile ini;
    ini.WriteString("S", "K", "new");
    EXPECT_FALSE(ini.Save(path));
    EXPECT_EQ(ReadWholeFile(path), "[S]\nK=old\n");

    // A folder that cannot exist (its parent is a file).
    EXPECT_FALSE(ini.Save(tmp.File("c.ini/sub/x.ini")));
    EXPECT_FALSE(ini.Save(""));
}

} // namespace
} // namespace bw
