#include "data/FileNameAliases.h"
#include "data/MediaLink.h"

#include <gtest/gtest.h>

namespace bw {
namespace {

TEST(MediaLink, ArchiveLinksNeedABarInside) {
    EXPECT_TRUE(IsArchiveLink("Data\\Fonts.dan | Toon.xml"));
    EXPECT_TRUE(IsArchiveLink("a|b"));
    EXPECT_FALSE(IsArchiveLink("|key.xml"));
    EXPECT_FALSE(IsArchiveLink("Data\\Fonts.dan|"));
    EXPECT_FALSE(IsArchiveLink("|"));
    EXPECT_FALSE(IsArchiveLink("a|"));
    EXPECT_FALSE(IsArchiveLink("Data\\Levels.xml"));
    EXPECT_FALSE(IsArchiveLink(""));
    // Only the first bar counts.
    EXPECT_FALSE(IsArchiveLink("|a|b"));
}

TEST(MediaLink, PartsAreTrimmedAndResolvedAgainstTheProgramFolder) {
    const std::string link = "Data\\Fonts.dan | WhizBangPow_Toon_32_1.xml ";
    EXPECT_EQ(LinkArchivePath(link), ProgramFolder() + "Data/Fonts.dan");
    EXPECT_EQ(LinkKey(link), "WhizBangPow_Toon_32_1.xml");
    EXPECT_EQ(LinkItemName(link), "Data\\Fonts.dan");

    EXPECT_EQ(LinkArchivePath("  /Data/Levels.xml "), ProgramFolder() + "Data/Levels.xml");
    EXPECT_EQ(LinkArchivePath("\\\\Data\\x.dan|k"), ProgramFolder() + "/Data/x.dan");
    EXPECT_EQ(LinkKey("no bar"), "");
    EXPECT_EQ(LinkKey("a|b|c"), "b|c");
    EXPECT_EQ(LinkItemName(" /Images/bird.image |x"), "Images\\bird.image");
    ASSERT_FALSE(ProgramFolder().empty());
    EXPECT_EQ(ProgramFolder().back(), '/');
}

TEST(MediaLink, AliasesNameFilesCaseInsensitively) {
    TFileNameAliases& aliases = FileNameAliases();
    aliases.Define("Fonts", "/opt/fonts.dan");
    aliases.Define("music", "/opt/music.dan");
    EXPECT_EQ(LinkArchivePath(" FONTS | a.xml"), "/opt/fonts.dan");
    EXPECT_EQ(LinkArchivePath("Music|song.ogg"), "/opt/music.dan");
    aliases.Define("fonts", "/opt/other.dan"); // redefinition replaces
    EXPECT_EQ(aliases.GetFileName("FoNtS"), "/opt/other.dan");
    aliases.Undefine("FONTS");
    EXPECT_EQ(LinkArchivePath("Fonts|a.xml"), ProgramFolder() + "Fonts");
    aliases.Undefine("music");
    EXPECT_EQ(aliases.Count(), 0);
}

TEST(MediaLink, AliasTableStaysSortedForLookups) {
    TFileNameAliases table;
    for (int i = 99; i >= 0; --i)
        table.Define("alias" + std::to_string(i), "file" + std::to_string(i));
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(table.GetFileName("ALIAS" + std::to_string(i)), "file" + std::to_string(i));
    EXPECT_EQ(table.GetFileName("alias100"), "");
    EXPECT_FALSE(table.IsDefined(""));
    // Non-ASCII letters do not fold.
    table.Define("\xC3\x84", "upper");
    EXPECT_EQ(table.GetFileName("\xC3\xA4"), "");
}

} // namespace
} // namespace bw
