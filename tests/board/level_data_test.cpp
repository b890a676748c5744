#include "board/LevelData.h"

#include "data/KilnArchive.h"
#include "data/Xml.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <string>

namespace bw {
namespace {

// An 18-number row: border 0, the given cells, then zeros.
std::string Row(std::initializer_list<int> cells) {
    std::string text = "0";
    for (const int c : cells) text += "," + std::to_string(c);
    for (std::size_t n = cells.size() + 1; n < 18; ++n) text += ",0";
    return text;
}

// A record whose fields all differ from what a level file without settings produces.
TLevel_Data PreviousLevel() {
    TLevel_Data d;
    d.FileName = "old.xml";
    d.Music.Tracks = {{7, 30}, {8, 40}};
    d.Music.Count = 2;
    d.Mission = mission_boss_1;
    d.Task = {9, 5000, 3};
    d.NestlingsMaxCommon = d.CatsMaxCommon = d.GenerateBirdsCount = 4;
    d.Map[3][4] = 2;
    d.Birds[5][6] = 21;
    d.Kinds[2] = 7;
    d.Cats.resize(2);
    d.BoundedBirds = {10, 2, 5};
    d.Crows = {20, 1, 3};
    d.Walls_1 = {30, 4, 6};
    d.Walls_2 = {40, 5, 7};
    d.Boss = {1, {4, 5}, 9};
    return d;
}

// Every field in one text, so a whole record compares at once.
std::string Describe(const TLevel_Data& d) {
    std::string t = d.FileName + "|" + std::to_string(d.Music.Count) + "|" +
                    std::to_string(d.Mission) + "|" + std::to_string(d.Task.Index) + "," +
                    std::to_string(d.Task.Value) + "," + std::to_string(d.Task.AdditionalValue);
    for (const int32_t n : {d.NestlingsMaxCommon,
                            d.CatsMaxCommon,
                            d.GenerateBirdsCount,
                            d.BoundedBirds.Probability,
                            d.BoundedBirds.MaxAtOneTime,
                            d.BoundedBirds.MaxAtLevel,
                            d.Crows.Probability,
                            d.Crows.MaxAtOneTime,
                            d.Crows.MaxAtLevel,
                            d.Walls_1.Probability,
                            d.Walls_1.MaxAtOneTime,
                            d.Walls_1.MaxAtLevel,
                            d.Walls_2.Probability,
                            d.Walls_2.MaxAtOneTime,
                            d.Walls_2.MaxAtLevel,
                            d.Boss.Kind,
                            d.Boss.Pos.x,
                            d.Boss.Pos.y,
                            d.Boss.Health,
                            static_cast<int32_t>(d.Cats.size()),
                            static_cast<int32_t>(d.Music.Tracks.size())})
        t += "|" + std::to_string(n);
    for (const int32_t k : d.Kinds) t += "," + std::to_string(k);
    for (const LevelGrid* grid : {&d.Map, &d.Birds})
        for (const auto& column : *grid)
            for (const int32_t code : column) t += code ? "#" + std::to_string(code) : ".";
    return t;
}

TEST(ParseIntegerList, AnyNonDigitSeparatesAndNothingIsNegative) {
    using V = std::vector<int32_t>;
    EXPECT_EQ(ParseIntegerList("1,1, 0;2 x21"), (V{1, 1, 0, 2, 21}));
    EXPECT_EQ(ParseIntegerList("-5"), (V{5}));
    EXPECT_EQ(ParseIntegerList(" ,;\t007\r\n0 "), (V{7, 0}));
    EXPECT_TRUE(ParseIntegerList("abc, -;").empty());
    // Too long for 32 bits: saturates rather than wrapping into a negative code.
    EXPECT_EQ(ParseIntegerList("99999999999999999999,3"), (V{2147483647, 3}));
}

TEST(ClearLevelData, ClearsTheBoardAndKeepsWhatCarriesOver) {
    TLevel_Data d = PreviousLevel();
    ClearLevelData(d);
    TLevel_Data expected = PreviousLevel();
    expected.Map = expected.Birds = {};
    expected.Mission = mission_nil;
    expected.NestlingsMaxCommon = expected.CatsMaxCommon = expected.GenerateBirdsCount = 0;
    expected.Kinds = {};
    expected.Cats.clear();
    EXPECT_EQ(Describe(d), Describe(expected));
}

const std::string kLevel = R"(<Level>
 <settings>
  <Mission name="mission_nestlings" />
  <Task Index="4" Value="10" AdditionalValue="2" />
  <Music><music_1 index="3" duration="60" /><music_2 /><music_4 index="9" /></Music>
  <Birds GenerateCount="3" Kinds="5 5 5" />
  <Walls_2 Probability="x" />
  <Boss />
  <Cats>
   <Cat Kind="22" Shadow="no" Infinite="yes" Random="40" Count="2">
    <Pos X="3" /><Conditions Name="cond_start_level" /><MusicEvent Name="m" Index="2" Time="30" />
   </Cat>
   <Anything Shadow="0" />
  </Cats>
 </settings>
 <map><m1 Value=")" + Row({1, 1, 0, 2, 21}) +
                           R"(" /><m2 Value="0;31 ,41 x 2" /></map>
 <objects><b1 Value=")" + Row({21, 22, 0, 61, 99}) +
                           R"(" /><b2 Value=")" + Row({25, 63, 62, 98}) + R"(" /></objects>
</Level>)";

TEST(LoadLevelFile, ReadsSettingsWithTheirDefaultsAndTheBoard) {
    TLevel_Data d = PreviousLevel();
    ASSERT_TRUE(LoadLevelFromText(kLevel, "Levels\\level_07.xml", d));
    EXPECT_EQ(d.FileName, "level_07.xml");
    EXPECT_EQ(d.Mission, mission_nestlings);
    EXPECT_EQ(d.Task.AdditionalValue, 2);
    // The track list stops at the first missing number.
    ASSERT_EQ(d.Music.Count, 2);
    EXPECT_EQ(d.Music.Tracks[1].Track, 1);
    EXPECT_EQ(d.Music.Tracks[1].Duration, 0);
    EXPECT_EQ(d.Kinds, (std::array<int32_t, 9>{0, 5, 5, 5, 0, 0, 0, 0, 0}));
    EXPECT_EQ(d.Walls_2.Probability, 0); // unreadable: the default
    EXPECT_EQ(d.Walls_2.MaxAtLevel, 0);
    EXPECT_EQ(d.Boss.Pos, (TPoint{1, 1}));
    EXPECT_EQ(d.Boss.Health, 1);
    EXPECT_EQ(d.Crows.Probability, 20); // missing: carried over

    ASSERT_EQ(d.Cats.size(), 2u);
    EXPECT_FALSE(d.Cats[0].Shadow); // "no"
    EXPECT_TRUE(d.Cats[1].Shadow);  // "0" is not a yes/no text: the default
    EXPECT_EQ(d.Cats[0].Pos, (TPoint{3, -1}));
    EXPECT_EQ(d.Cats[1].Pos, (TPoint{0, 0})); // no Pos element
    EXPECT_EQ(d.Cats[0].Cond_value, -1);
    EXPECT_TRUE(d.Cats[0].Music_event.ReturnPrevMusic);
    EXPECT_EQ(d.Cats[1].Count, 1);
    EXPECT_EQ(d.Cats[1].Random, 100);

    EXPECT_EQ(d.Map[5][1], 21);
    EXPECT_EQ(d.Map[3][2], 2);
    EXPECT_EQ(d.Map[4][2], 0);     // short row
    EXPECT_EQ(d.Map[3][4], 0);     // missing row
    EXPECT_EQ(d.CatsMaxCommon, 5); // two entries, three cats on the board
    EXPECT_EQ(d.NestlingsMaxCommon, 3);
}

TEST(LoadLevelFile, TaskDefaultsAndRootNames) {
    TLevel_Data d = PreviousLevel();
    ASSERT_TRUE(LoadLevelFromText("<LEVEL><settings/></LEVEL>", "a.xml", d));
    EXPECT_EQ(d.Task.Index, 1);
    EXPECT_EQ(d.Task.Value, 120);
    EXPECT_EQ(d.Task.AdditionalValue, 0);
    ASSERT_TRUE(LoadLevelFromText("<level><settings><Task/></settings></level>", "a.xml", d));
    EXPECT_EQ(d.Task.Value, 1);
    EXPECT_EQ(d.Task.AdditionalValue, 1);
    // No settings at all: the previous level's task is not carried over.
    d = PreviousLevel();
    ASSERT_TRUE(LoadLevelFromText("<level><map/></level>", "a.xml", d));
    EXPECT_EQ(d.Task.Value, 120);

    // Not level files: the record stays cleared with its old file name.
    for (const char* bad : {"<levels><settings/></levels>", "", "<level><settings></level>"}) {
        d = PreviousLevel();
        EXPECT_FALSE(LoadLevelFromText(bad, "b.xml", d)) << bad;
        EXPECT_EQ(d.FileName, "old.xml");
        EXPECT_EQ(d.Birds, LevelGrid{});
    }
    EXPECT_FALSE(LoadLevelFromText("<level><comment/></level>", "c.xml", d));
}

TEST(LoadLevelFile, OversizedMapsAreClippedToThePlayableCells) {
    std::string wide;
    for (int x = 0; x < 50; ++x) wide += std::to_string(x + 20) + " ";
    std::string text = "<level><map>";
    for (int y = 0; y < 30; ++y) text += "<m" + std::to_string(y) + " Value=\"" + wide + "\"/>";
    text += "</map><objects>";
    for (int y = 0; y < 30; ++y) text += "<b" + std::to_string(y) + " Value=\"" + wide + "\"/>";
    TLevel_Data d;
    ASSERT_TRUE(LoadLevelFromText(text + "</objects></level>", "wide.xml", d));
    for (int x = 0; x < BoardGridSize; ++x) {
        for (int y = 0; y < BoardGridSize; ++y) {
            const int expected = IsPlayableCell(x, y) ? x + 20 : 0;
            EXPECT_EQ(d.Map[x][y], expected) << x << "," << y;
            EXPECT_EQ(d.Birds[x][y], expected) << x << "," << y;
        }
    }
    // Only what stands on the board counts: cats 21..25 in columns 1..5 of rows 1..16; the
    // nestlings 61..63 lie past column 17.
    EXPECT_EQ(d.CatsMaxCommon, 5 * 16);
    EXPECT_EQ(d.NestlingsMaxCommon, 0);
}

TEST(LoadLevelFile, CountsDoNotDependOnSectionOrderOrRepeats) {
    const std::string objects = "<objects><b1 Value=\"" + Row({21, 22, 61}) + "\"/></objects>";
    const std::string settings = "<settings><Cats><a/><b/></Cats></settings>";
    for (const std::string& body :
         {settings + objects, objects + settings, objects + settings + objects}) {
        TLevel_Data d;
        ASSERT_TRUE(LoadLevelFromText("<level>" + body + "</level>", "a", d));
        EXPECT_EQ(d.CatsMaxCommon, 4) << body;
        EXPECT_EQ(d.NestlingsMaxCommon, 1) << body;
    }
}

TEST(LoadLevelFile, ThroughTheArchive) {
    testing::TempFolder folder;
    TXMLNode level("level");
    level.AddChild("map")->AddChild("m1")->AddField("Value", Row({1, 2}));
    ASSERT_TRUE(level.SaveToArchive("level_03.xml", folder.File("levels.dan")));
    TKilnArchive archive;
    archive.SetOpenMode(aomReadOnly);
    ASSERT_TRUE(archive.OpenFile(folder.File("levels.dan")));
    TLevel_Data d;
    ASSERT_TRUE(LoadLevelFile("level_03.xml", &archive, d));
    EXPECT_EQ(d.Map[2][1], 2);
    EXPECT_FALSE(LoadLevelFile("missing.xml", &archive, d));
    EXPECT_EQ(d.Map, LevelGrid{});
}

TEST(LoadLevelsList, EntriesByPositionOnlyForLevelChildren) {
    TXMLNode root("LEVELS");
    TXMLNode* a = root.AddChild("Level");
    a->AddField("Location", "2");
    a->AddField("FileName", "level_01");
    a->AddField("map_x", "100");
    a->AddField("map_y", "-20");
    root.AddChild("Comment")->AddField("FileName", "nope");
    root.AddChild("level")->AddField("FileName", "letter case counts");
    TLevelsList list;
    ASSERT_TRUE(LoadLevelsListFromTree(&root, list));
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].FileName, "level_01");
    EXPECT_EQ(list[0].MapCoord, (TPoint{100, -20}));
    EXPECT_EQ(list[1].FileName, "");
    EXPECT_EQ(list[2].FileName, "");

    TXMLNode wrong("level");
    EXPECT_FALSE(LoadLevelsListFromTree(&wrong, list));
    EXPECT_FALSE(LoadLevelsList("Levels.xml", nullptr, list));
    EXPECT_EQ(list.size(), 3u);
}

} // namespace
} // namespace bw
