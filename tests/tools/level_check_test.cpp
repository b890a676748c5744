// The level check ("datapack check-levels") and the game's own levels: every kind of nonsense
// value is reported with its file and line, the real level files and list pass, the built
// archives load through the game's readers, and the moves the tutorials teach can be made on
// the levels they run in.
#include "data/data_test_util.h"

#include "board/LevelData.h"
#include "board/LevelFindings.h"
#include "board/MatchFinder.h"
#include "board/PathFinder.h"
#include "data/KilnArchive.h"
#include "data/XmlParser.h"
#include "pack/PackCommands.h"
#include "pack/PackLevels.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <set>
#include <sstream>

namespace bw {
namespace {

namespace fs = std::filesystem;

// A small valid level: a 3 x 3 board at columns 2..4, rows 2..4, one nestling and one key.
// Line numbers: <Birds> is line 9, <Cats> line 15, rows m0..m17 lines 18..35, rows b0..b17
// lines 38..55.
std::string ValidLevel() {
    std::string text = "<?xml version=\"1.0\"?>\n"                                    // 1
                       "<level>\n"                                                    // 2
                       "  <settings>\n"                                               // 3
                       "    <Mission name=\"mission_nestlings\"/>\n"                  // 4
                       "    <Task Index=\"2\" Value=\"20\" AdditionalValue=\"0\"/>\n" // 5
                       "    <Music>\n"                                                // 6
                       "      <music_1 index=\"1\" duration=\"0\"/>\n"                // 7
                       "    </Music>\n"                                               // 8
                       "    <Birds GenerateCount=\"1\" Kinds=\"5,5,5,0,0,0,0,0\"/>\n" // 9
                       "    <BoundedBirds Probability=\"0\" MaxAtOneTime=\"0\" MaxAtLevel=\"0\"/>\n"
                       "    <Crows Probability=\"0\" MaxAtOneTime=\"0\" MaxAtLevel=\"0\"/>\n"
                       "    <Walls_1 Probability=\"0\" MaxAtOneTime=\"0\" MaxAtLevel=\"0\"/>\n"
                       "    <Walls_2 Probability=\"0\" MaxAtOneTime=\"0\" MaxAtLevel=\"0\"/>\n"
                       "    <Boss Kind=\"0\" X=\"1\" Y=\"1\" Health=\"1\"/>\n" // 14
                       "    <Cats/>\n"                                         // 15
                       "  </settings>\n"                                       // 16
                       "  <map>\n";                                            // 17
    const std::string empty = "0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0";
    for (int y = 0; y < 18; ++y) {
        const std::string row = y >= 2 && y <= 4 ? "0,0,1,1,1,0,0,0,0,0,0,0,0,0,0,0,0,0" : empty;
        text += "    <m" + std::to_string(y) + " Value=\"" + row + "\"/>\n";
    }
    text += "  </map>\n  <objects>\n";
    for (int y = 0; y < 18; ++y) {
        std::string row = empty;
        if (y == 2) row = "0,0,61,1,0,0,0,0,0,0,0,0,0,0,0,0,0,0";
        if (y == 4) row = "0,0,0,2,71,0,0,0,0,0,0,0,0,0,0,0,0,0";
        text += "    <b" + std::to_string(y) + " Value=\"" + row + "\"/>\n";
    }
    text += "  </objects>\n</level>\n";
    return text;
}

int LineOf(const std::string& text, const std::string& needle) {
    const std::size_t at = text.find(needle);
    if (at == std::string::npos) return -1;
    return 1 +
           static_cast<int>(std::count(text.begin(), text.begin() + static_cast<long>(at), '\n'));
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

class LevelCheck : public ::testing::Test {
protected:
    test::TempDir dir;
    std::string out, err;

    int Check(const std::vector<std::string>& args) {
        std::ostringstream o, e;
        std::vector<std::string> all{"check-levels"};
        all.insert(all.end(), args.begin(), args.end());
        const int rc = pack::RunDatapack(all, o, e);
        out = o.str();
        err = e.str();
        return rc;
    }
    int CheckLevel(const std::string& text) {
        test::WriteText(dir.File("level.xml"), text);
        return Check({dir.File("level.xml")});
    }
    // The report names the file and the line.
    void ExpectReported(int line, const std::string& words) {
        const std::string where = dir.File("level.xml") + ":" + std::to_string(line) + ": ";
        bool found = false;
        std::istringstream lines(out);
        for (std::string l; std::getline(lines, l);)
            found = found || (l.rfind(where, 0) == 0 && l.find(words) != std::string::npos);
        EXPECT_TRUE(found) << "expected \"" << where << "..." << words << "\" in:\n" << out;
    }
};

TEST_F(LevelCheck, AValidLevelPasses) {
    EXPECT_EQ(CheckLevel(ValidLevel()), 0) << out << err;
    EXPECT_NE(out.find("1 level file(s) checked, 0 problem(s)"), std::string::npos) << out;
}

TEST_F(LevelCheck, WeightForKindsWithoutPicturesIsReported) {
    const std::string text =
        Replace(ValidLevel(), "Kinds=\"5,5,5,0,0,0,0,0\"", "Kinds=\"5,5,5,0,0,0,3,0\"");
    EXPECT_EQ(CheckLevel(text), 1);
    ExpectReported(9, "kind 7");
}

TEST_F(LevelCheck, MoreThanTenCagedNestlingsAreReported) {
    // Eleven nestlings in rows 2..4 of a wider board, and keys enough for all of them.
    std::string text = ValidLevel();
    const std::string wide = "0,1,1,1,1,1,1,1,1,1,1,1,1,0,0,0,0,0";
    for (int y = 2; y <= 4; ++y)
        text = Replace(text,
                       "<m" + std::to_string(y) + " Value=\"0,0,1,1,1,0,0,0,0,0,0,0,0,0,0,0,0,0\"",
                       "<m" + std::to_string(y) + " Value=\"" + wide + "\"");
    text = Replace(text, "<b2 Value=\"0,0,61,1,0,0,0,0,0,0,0,0,0,0,0,0,0,0\"",
                   "<b2 Value=\"0,61,61,61,61,61,61,61,61,61,61,61,0,0,0,0,0,0\"");
    text = Replace(text, "<b3 Value=\"0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0\"",
                   "<b3 Value=\"0,71,71,71,71,71,71,71,71,71,71,71,0,0,0,0,0,0\"");
    EXPECT_EQ(CheckLevel(text), 1);
    ExpectReported(4, "11 caged nestlings");
}

TEST_F(LevelCheck, UnknownCatsAndBonusesAreReported) {
    std::string text = Replace(ValidLevel(), "    <Cats/>\n",
                               "    <Cats>\n"                                             // 15
                               "      <cat Kind=\"6\"/>\n"                                // 16
                               "      <cat Kind=\"2\">\n"                                 // 17
                               "        <Event Name=\"event_drop_bonus\" Value=\"9\"/>\n" // 18
                               "      </cat>\n"
                               "    </Cats>\n");
    text = Replace(text, "0,0,0,2,71,0", "0,0,26,2,71,0");
    text = Replace(text, "0,0,61,1,0,0", "0,0,61,46,0,0");
    EXPECT_EQ(CheckLevel(text), 1);
    ExpectReported(16, "cat Kind \"6\"");
    ExpectReported(18, "not a bonus 1..5");
    ExpectReported(LineOf(text, "<b4 "), "object code 26 is not a cat");
    ExpectReported(LineOf(text, "<b2 "), "object code 46 is not a bonus");
}

TEST_F(LevelCheck, WallsWithNothingToBreakThemAreReported) {
    const std::string walled = Replace(ValidLevel(), "0,0,61,1,0,0", "0,0,61,51,0,0");
    EXPECT_EQ(CheckLevel(walled), 1);
    ExpectReported(4, "nothing can break them");
    // Growing walls need a way too; a lightning bonus is none.
    std::string growing = Replace(ValidLevel(),
                                  "<Walls_1 Probability=\"0\" MaxAtOneTime=\"0\" "
                                  "MaxAtLevel=\"0\"",
                                  "<Walls_1 Probability=\"10\" MaxAtOneTime=\"1\" "
                                  "MaxAtLevel=\"2\"");
    growing = Replace(growing, "0,0,61,1,0,0", "0,0,61,43,0,0");
    EXPECT_EQ(CheckLevel(growing), 1);
    ExpectReported(4, "walls grow");
    // A bomb on the board, or a cat that leaves fireworks, is enough.
    EXPECT_EQ(CheckLevel(Replace(walled, "0,0,0,2,71,0", "0,0,0,41,71,0")), 0) << out;
    EXPECT_EQ(CheckLevel(Replace(walled, "    <Cats/>\n",
                                 "    <Cats><cat Kind=\"2\"><Pos/><Conditions "
                                 "Name=\"cond_less_then\" Value=\"1\"/><Event "
                                 "Name=\"event_drop_bonus\" Value=\"2\"/></cat></Cats>\n")),
              0)
        << out;
}

TEST_F(LevelCheck, CatEntriesThatWouldNeverComeAreReported) {
    const std::string text =
        Replace(ValidLevel(), "    <Cats/>\n",
                "    <Cats>\n"                                                             // 15
                "      <cat Kind=\"23\">\n"                                                // 16
                "        <Pos X=\"-1\" Y=\"-1\"/>\n"                                       // 17
                "        <Conditions Name=\"cond_start_level\" Value=\"0\"/>\n"            // 18
                "        <MusicEvent Name=\"music_event_drop\" Index=\"9\" Time=\"0\"/>\n" // 19
                "      </cat>\n"
                "      <cat Kind=\"4\"/>\n" // 21
                "    </Cats>\n");
    EXPECT_EQ(CheckLevel(text), 1);
    EXPECT_EQ(out.find(":16: cat Kind"), std::string::npos) << "21..25 are cat kinds too";
    ExpectReported(18, "cond_start_level places a cat only on a fixed Pos");
    ExpectReported(19, "Index \"9\" is not a game track");
    ExpectReported(19, "Time \"0\" is not a time above 0");
    ExpectReported(21, "without Conditions");
}

// A task is the player's to earn: a goal the starting board or a new level's counters already
// meet is refused; a goal still ahead, and a limit (which only play can fail), pass.
TEST_F(LevelCheck, ATaskMetBeforeTheFirstMoveIsReported) {
    const std::string moves = "<Task Index=\"2\" Value=\"20\" AdditionalValue=\"0\"/>";
    auto task = [&](int index, int value) {
        return Replace(ValidLevel(), moves,
                       "<Task Index=\"" + std::to_string(index) + "\" Value=\"" +
                           std::to_string(value) + "\" AdditionalValue=\"0\"/>");
    };
    // Four of the nine cells are taken: 56 % free.
    EXPECT_EQ(CheckLevel(task(10, 56)), 1);
    ExpectReported(5, "task 10 is met before the first move (56 % of the board is free");
    EXPECT_EQ(CheckLevel(task(10, 57)), 0) << out;
    EXPECT_EQ(CheckLevel(task(12, 0)), 1);
    ExpectReported(5, "no crow stands on the board");
    EXPECT_EQ(CheckLevel(Replace(task(12, 0), "0,0,61,1,0,0", "0,0,61,9,0,0")), 0) << out;
    EXPECT_EQ(CheckLevel(task(9, 0)), 1);
    ExpectReported(5, "a Value of 0 is reached");
    EXPECT_EQ(CheckLevel(task(3, 0)), 0) << out;
}

TEST_F(LevelCheck, RowOfTheWrongLengthIsReported) {
    const std::string text =
        Replace(ValidLevel(), "<m3 Value=\"0,0,1,1,1,0,0,0,0,0,0,0,0,0,0,0,0,0\"",
                "<m3 Value=\"0,0,1,1,1,0,0,0,0,0,0,0,0,0,0,0,0\"");
    EXPECT_EQ(CheckLevel(text), 1);
    ExpectReported(LineOf(text, "<m3 "), "17 numbers");
}

TEST_F(LevelCheck, UnknownCellAndObjectCodesAreReported) {
    std::string text = Replace(ValidLevel(), "<m2 Value=\"0,0,1,1,1,", "<m2 Value=\"0,0,1,30,1,");
    text = Replace(text, "<b4 Value=\"0,0,0,2,71,", "<b4 Value=\"0,0,33,2,71,");
    EXPECT_EQ(CheckLevel(text), 1);
    ExpectReported(LineOf(text, "<m2 "), "unknown cell code 30 at (3, 2)");
    ExpectReported(LineOf(text, "<b4 "), "unknown object code 33 at (2, 4)");
}

TEST_F(LevelCheck, ObjectOnAMissingCellIsReported) {
    const std::string text =
        Replace(ValidLevel(), "<b5 Value=\"0,0,0,0,0,", "<b5 Value=\"0,0,0,1,0,");
    EXPECT_EQ(CheckLevel(text), 1);
    ExpectReported(LineOf(text, "<b5 "), "at (3, 5) stands on no cell");
}

TEST_F(LevelCheck, SettingsThatWouldCarryOverAreReported) {
    const std::string text = Replace(
        ValidLevel(), "    <Crows Probability=\"0\" MaxAtOneTime=\"0\" MaxAtLevel=\"0\"/>\n", "");
    EXPECT_EQ(CheckLevel(text), 1);
    ExpectReported(2, "no <Crows> setting");
}

TEST_F(LevelCheck, MissingListedFileIsReportedUnlessPlanned) {
    // 56 entries; every file but level_02.xml is there.
    std::string list = "<levels>\n";
    for (int i = 1; i <= 56; ++i) {
        const std::string name = (i < 10 ? "level_0" : "level_") + std::to_string(i);
        list += "  <Level Location=\"1\" FileName=\"" + name + "\" map_x=\"" +
                std::to_string(10 * i) + "\" map_y=\"100\"/>\n";
        if (i != 2) test::WriteText(dir.File(name + ".xml"), ValidLevel());
    }
    list += "</levels>\n";
    test::WriteText(dir.File("Levels.xml"), list);
    EXPECT_EQ(Check({dir.File("Levels.xml")}), 1);
    EXPECT_NE(out.find(dir.File("Levels.xml") + ":3: level 2: level file"), std::string::npos)
        << out;
    EXPECT_NE(out.find("55 level file(s) checked, 1 problem(s)"), std::string::npos) << out;

    // The manifest may mark the file as planned, not written yet.
    test::WriteText(dir.File("manifest"),
                    "planned\ttData_Levels.dan\tlevel_02.xml\txml\t*\t*\t*\tlater\n");
    EXPECT_EQ(Check({"--manifest", dir.File("manifest"), dir.File("Levels.xml")}), 0) << out;
    EXPECT_NE(out.find("1 listed level(s) planned"), std::string::npos) << out;
}

// Damage that the game plays through is said in the game's log when the level starts, and
// the level check refuses the file; a sound level gives the game nothing to say.
TEST_F(LevelCheck, TheGameNamesWhatItCorrectsAndTheCheckRefusesIt) {
    const std::string boss =
        Replace(Replace(ValidLevel(), "mission_nestlings", "mission_boss_1"),
                "<Boss Kind=\"0\" X=\"1\" Y=\"1\"", "<Boss Kind=\"1\" X=\"4\" Y=\"3\"");
    const std::string level = ValidLevel();
    const std::vector<std::pair<std::string, std::string>> damaged = {
        {"boss half off the board", boss},
        {"no map", Replace(level,
                           level.substr(level.find("  <map>"),
                                        level.find("  <objects>") - level.find("  <map>")),
                           "")},
        {"a row without Value",
         Replace(level, "<m3 Value=\"0,0,1,1,1,0,0,0,0,0,0,0,0,0,0,0,0,0\"", "<m3")},
        {"a short row", Replace(level, "<m3 Value=\"0,0,1,1,1,0,0,0,0,0,0,0,0,0,0,0,0,0\"",
                                "<m3 Value=\"0,0,1,1,1\"")},
        {"a bird on no cell", Replace(level, "<b5 Value=\"0,0,0,0,0,", "<b5 Value=\"0,0,0,1,0,")},
        {"an unknown object",
         Replace(level, "<b4 Value=\"0,0,0,2,71,", "<b4 Value=\"0,0,33,2,71,")},
        {"an unknown section", Replace(level, "  <map>\n", "  <mapp/>\n  <map>\n")},
        {"an unknown mission", Replace(level, "mission_nestlings", "mission_nestling")},
        {"an unknown task", Replace(level, "<Task Index=\"2\"", "<Task Index=\"13\"")},
        {"a task number that is no number", Replace(level, "Value=\"20\"", "Value=\"2O\"")},
        {"no caged nestling", Replace(level, "0,0,61,1,0,0", "0,0,1,1,0,0")},
        {"a cat entry of no kind", Replace(level, "    <Cats/>\n",
                                           "    <Cats><cat Kind=\"6\"><Conditions Name=\""
                                           "cond_less_then\" Value=\"1\"/></cat></Cats>\n")},
        {"a huge generation", Replace(level, "<Crows Probability=\"0\" MaxAtOneTime=\"0\"",
                                      "<Crows Probability=\"0\" MaxAtOneTime=\"2147483647\"")},
        {"new birds of no kind",
         Replace(level, "Kinds=\"5,5,5,0,0,0,0,0\"", "Kinds=\"0,0,0,0,0,0,0,0\"")},
    };
    const auto findings = [](const std::string& text) {
        const auto tree = XMLFromText(text);
        TLevel_Data data;
        LoadLevelFromTree(tree.get(), "level.xml", data);
        return LevelFileFindings(tree.get(), data);
    };
    EXPECT_EQ(findings(level), std::vector<std::string>{});
    for (const auto& [what, text] : damaged) {
        EXPECT_FALSE(findings(text).empty()) << what;
        EXPECT_EQ(CheckLevel(text), 1) << what;
    }
    // A count that drives a loop is held to what the board holds.
    TLevel_Data data;
    ASSERT_TRUE(LoadLevelFromText(damaged[12].second, "level.xml", data));
    EXPECT_EQ(data.Crows.MaxAtOneTime, 256);
    EXPECT_NE(findings(damaged[12].second).front().find("MaxAtOneTime 2147483647 is cut to 0..256"),
              std::string::npos);
    EXPECT_NE(findings(boss).front().find("the boss at (4, 3) covers (4, 3) and (5, 3)"),
              std::string::npos)
        << findings(boss).front();
}

TEST(LevelCheckLines, StartTagsAreCountedPastCommentsAndQuotedBrackets) {
    const std::string text = "<?xml version=\"1.0\"?>\n<!-- <fake>\n -->\n<a x='>'\n y=\"2\">\n"
                             "<b/></a>\n";
    EXPECT_EQ(pack::StartTagLines(text), (std::vector<int>{4, 6}));
}

// A list of one level played in `location`, beside the level file.
void WriteOneLevelList(const test::TempDir& dir, int location) {
    test::WriteText(dir.File("Levels.xml"), "<levels><Level Location=\"" +
                                                std::to_string(location) +
                                                "\" FileName=\"level\" map_x=\"1\" "
                                                "map_y=\"1\"/></levels>\n");
}

TEST_F(LevelCheck, ListedLevelsAreLaidOnTheBoardsOfTheirLocations) {
    const std::string locations = BW_TEST_SOURCE_DIR "/data/tData_Locations";
    const std::string row3 = "<m3 Value=\"0,0,1,1,1,0,0,0,0,0,0,0,0,0,0,0,0,0\"";
    // A right arrow on the roof of location 4, which draws no arrows.
    test::WriteText(
        dir.File("level.xml"),
        Replace(ValidLevel(), row3, "<m3 Value=\"0,0,1,22,1,0,0,0,0,0,0,0,0,0,0,0,0,0\""));
    WriteOneLevelList(dir, 4);
    EXPECT_EQ(Check({"--locations-dir", locations, dir.File("Levels.xml")}), 1);
    ExpectReported(21, "no one-way cells there");
    // Location 2 draws them.
    WriteOneLevelList(dir, 2);
    Check({"--locations-dir", locations, dir.File("Levels.xml")});
    EXPECT_EQ(out.find("one-way"), std::string::npos) << out;

    // A boss on the arched floor of location 6: columns 2 and 3 stand at different heights,
    // columns 8 and 9 at one.
    auto boss = [&](int x) {
        std::string text = Replace(ValidLevel(), "mission_nestlings", "mission_boss_1");
        text = Replace(text, "<Boss Kind=\"0\" X=\"1\" Y=\"1\"",
                       "<Boss Kind=\"1\" X=\"" + std::to_string(x) + "\" Y=\"3\"");
        text = Replace(text, "<b2 Value=\"0,0,61,", "<b2 Value=\"0,0,0,");
        text = Replace(text, "0,2,71,", "0,2,0,");
        text = Replace(text, row3, "<m3 Value=\"0,0,1,1,1,0,0,0,1,1,0,0,0,0,0,0,0,0\"");
        test::WriteText(dir.File("level.xml"), text);
    };
    WriteOneLevelList(dir, 6);
    boss(2);
    EXPECT_EQ(Check({"--locations-dir", locations, dir.File("Levels.xml")}), 1);
    ExpectReported(14, "units apart in height in location 6");
    boss(8);
    Check({"--locations-dir", locations, dir.File("Levels.xml")});
    EXPECT_EQ(out.find("height"), std::string::npos) << out;
}

// ---------------------------------------------------------------- the game's levels

TEST(GameLevels, SourcesPassTheCheck) {
    const std::string data = BW_TEST_SOURCE_DIR "/data";
    std::ostringstream out, err;
    const int rc =
        pack::RunDatapack({"check-levels", "--manifest", data + "/manifest", "--levels-dir",
                           data + "/tData_Levels", data + "/tData_Common/Levels.xml"},
                          out, err);
    EXPECT_EQ(rc, 0) << out.str() << err.str();
}

class BuiltLevels : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string dataDir = BW_TEST_BINARY_DIR "/Data/";
        if (!fs::exists(dataDir + LevelsListArchiveName) ||
            !fs::exists(dataDir + LevelsArchiveName))
            GTEST_SKIP() << "the level archives are not built in " << dataDir;
        common.SetOpenMode(aomReadOnly);
        levels.SetOpenMode(aomReadOnly);
        ASSERT_TRUE(common.OpenFile(dataDir + LevelsListArchiveName));
        ASSERT_TRUE(levels.OpenFile(dataDir + LevelsArchiveName));
        ASSERT_TRUE(LoadLevelsList(LevelsListKey, &common, list));
    }
    TLevel_Data Level(int index) {
        TLevel_Data data;
        EXPECT_TRUE(LoadLevelFile(list.at(static_cast<std::size_t>(index)).FileName + ".xml",
                                  &levels, data))
            << "level " << index + 1;
        return data;
    }
    TKilnArchive common, levels;
    TLevelsList list;
};

TEST_F(BuiltLevels, EveryBuiltLevelLoadsAsANestlingOrABossMission) {
    ASSERT_EQ(list.size(), 56u);
    int loaded = 0;
    for (std::size_t i = 0; i < list.size(); ++i) {
        const TLevelListElement& entry = list[i];
        EXPECT_GE(entry.Location, 1) << "level " << i + 1;
        EXPECT_LE(entry.Location, 12) << "level " << i + 1;
        std::vector<uint8_t> bytes;
        if (!levels.ReadRecord(entry.FileName + ".xml", bytes)) continue; // not written yet
        ++loaded;
        const TLevel_Data data = Level(static_cast<int>(i));
        if (data.Mission == mission_boss_1) {
            EXPECT_EQ(data.Boss.Kind, 1) << entry.FileName;
            EXPECT_GE(data.Boss.Health, 1) << entry.FileName;
            EXPECT_EQ(data.NestlingsMaxCommon, 0) << entry.FileName;
            continue;
        }
        EXPECT_EQ(data.Mission, mission_nestlings) << entry.FileName;
        EXPECT_GT(data.NestlingsMaxCommon, 0) << entry.FileName;
        EXPECT_LE(data.NestlingsMaxCommon, 10) << entry.FileName;
    }
    // Location 1 is written: its eight levels come first.
    EXPECT_GE(loaded, 8);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(list[static_cast<std::size_t>(i)].Location, 1);
}

// The initial board of a level as the searches see it. Random birds block like birds but
// never match (their kind is chosen when the board is built).
BoardSnapshot Snapshot(const TLevel_Data& level) {
    BoardSnapshot s;
    for (int x = 1; x <= 16; ++x) {
        for (int y = 1; y <= 16; ++y) {
            const int cell = level.Map[static_cast<std::size_t>(x)][static_cast<std::size_t>(y)];
            const int code = level.Birds[static_cast<std::size_t>(x)][static_cast<std::size_t>(y)];
            if (cell <= 0) continue;
            s.Cells[x][y] = {true, true, OneWayCellDirection(cell)};
            const CellCodeKind cellKind = ClassifyCellCode(cell);
            if (cellKind == cellkind_OpenGate || cellKind == cellkind_ClosedGate)
                s.Gates[x][y] = {true, cellKind == cellkind_OpenGate, false};
            switch (ClassifyObjectCode(code)) {
            case objkind_Bird:
            case objkind_Crow:
                s.Birds[x][y] = {true, code, false, false, false};
                break;
            case objkind_BoundedBird:
            case objkind_BoundedCrow:
                s.Birds[x][y] = {true, code - 10, true, false, false};
                break;
            case objkind_RandomBird:
            case objkind_RandomBoundedBird:
                s.Birds[x][y] = {true, 0, code == ObjectRandomBoundedBird, false, false};
                break;
            case objkind_Cat:
                s.Cats[x][y] = {true, code, false};
                break;
            case objkind_Wall:
                s.Walls[x][y] = {true, false};
                break;
            case objkind_Nestling:
                s.Nestlings[x][y] = true;
                break;
            case objkind_Key:
                s.Keys[x][y] = true;
                break;
            case objkind_Bonus:
                s.Bonuses[x][y] = {true, code, 0};
                break;
            default:
                break;
            }
        }
    }
    return s;
}

// Flies the bird from `from` to `to` if a path exists; false otherwise.
bool MoveBird(BoardSnapshot& s, TCoord2 from, TCoord2 to) {
    s.Dragged = drag_Bird;
    if (!FindPath(s, from, to).PathWasFind) return false;
    s.Birds[to.x][to.y] = s.Birds[from.x][from.y];
    s.Birds[from.x][from.y] = {};
    return true;
}

bool GroupHolds(const TMatchResult& m, TCoord2 c) {
    for (const TBirdsMatchedGroups& g : m.BirdsGroups)
        for (const TBirdForDestroy& b : g.Group)
            if (b.pX == c.x && b.pY == c.y) return true;
    return false;
}

// Whether a cat of the level leaves what the event names (a key, or a bonus of one of the
// given kinds 1..5) when it is caught.
bool CatsBring(const TLevel_Data& level, const std::string& event, std::set<int> bonuses = {}) {
    for (const TLevelData_Cat& cat : level.Cats)
        if (cat.Event_name == event && (bonuses.empty() || bonuses.count(cat.Event_value)))
            return true;
    return false;
}

// Once the birds, cats, other keys and nestlings are out of the way and the gates are open,
// some key reaches each caged nestling: no wall, arrow lane or board shape shuts one off for
// good. Walls fall only to bombs and fireworks, so they stay where the level has neither; keys
// that cats bring may be left on any cell.
TEST_F(BuiltLevels, EveryNestlingCanBeReachedByAKey) {
    for (std::size_t i = 0; i < list.size(); ++i) {
        std::vector<uint8_t> bytes;
        if (!levels.ReadRecord(list[i].FileName + ".xml", bytes)) continue;
        const TLevel_Data level = Level(static_cast<int>(i));
        BoardSnapshot start = Snapshot(level);
        bool breakers = CatsBring(level, "event_drop_bonus", {1, 2});
        for (int x = 1; x <= 16; ++x)
            for (int y = 1; y <= 16; ++y)
                breakers = breakers ||
                           (start.Bonuses[x][y].Visible &&
                            (start.Bonuses[x][y].Kind == 41 || start.Bonuses[x][y].Kind == 42));
        if (CatsBring(level, "event_drop_key")) {
            for (int x = 1; x <= 16; ++x)
                for (int y = 1; y <= 16; ++y)
                    if (start.Cells[x][y].Exists && !start.Walls[x][y].Visible &&
                        !start.Nestlings[x][y])
                        start.Keys[x][y] = true;
        }
        BoardSnapshot bare = start;
        for (int x = 0; x < BoardGridSize; ++x) {
            for (int y = 0; y < BoardGridSize; ++y) {
                bare.Birds[x][y] = {};
                bare.Cats[x][y] = {};
                bare.Keys[x][y] = false;
                bare.Nestlings[x][y] = false;
                bare.Bonuses[x][y] = {};
                if (breakers) bare.Walls[x][y] = {};
                if (bare.Gates[x][y].Visible) bare.Gates[x][y].Opened = true;
            }
        }
        bare.Dragged = drag_Key;
        for (int nx = 1; nx <= 16; ++nx) {
            for (int ny = 1; ny <= 16; ++ny) {
                if (!start.Nestlings[nx][ny]) continue;
                bool reached = false;
                for (int kx = 1; kx <= 16 && !reached; ++kx) {
                    for (int ky = 1; ky <= 16 && !reached; ++ky) {
                        if (!start.Keys[kx][ky]) continue;
                        BoardSnapshot s = bare;
                        s.Keys[kx][ky] = true;
                        s.Nestlings[nx][ny] = true;
                        reached = FindPath(s, {kx, ky}, {nx, ny}).PathWasFind;
                    }
                }
                EXPECT_TRUE(reached) << list[i].FileName << ": no key reaches the nestling at ("
                                     << nx << ", " << ny << ")";
            }
        }
    }
}

TEST_F(BuiltLevels, OpeningTutorialMovesWorkOnLevel1) {
    BoardSnapshot s = Snapshot(Level(0));
    // Before the first move the key cannot reach the nestling.
    s.Dragged = drag_Key;
    EXPECT_FALSE(FindPath(s, {7, 5}, {4, 4}).PathWasFind);
    // Move 1: (8, 3) to (6, 3) makes a match there.
    ASSERT_TRUE(MoveBird(s, {8, 3}, {6, 3}));
    const TMatchResult m = FindMatches(s);
    ASSERT_TRUE(GroupHolds(m, {6, 3}));
    for (const TBirdsMatchedGroups& g : m.BirdsGroups)
        for (const TBirdForDestroy& b : g.Group) s.Birds[b.pX][b.pY] = {};
    // Move 2: the key at (7, 5) now reaches the nestling at (4, 4).
    ASSERT_TRUE(s.Keys[7][5]);
    ASSERT_TRUE(s.Nestlings[4][4]);
    s.Dragged = drag_Key;
    EXPECT_TRUE(FindPath(s, {7, 5}, {4, 4}).PathWasFind);
}

TEST_F(BuiltLevels, CatTutorialCatchesTheCatOnLevel2) {
    BoardSnapshot s = Snapshot(Level(1));
    ASSERT_TRUE(MoveBird(s, {12, 5}, {14, 3}));
    const TMatchResult m = FindMatches(s);
    ASSERT_EQ(m.Cats.size(), 1u);
    EXPECT_EQ(m.Cats[0].pX, 15);
    EXPECT_EQ(m.Cats[0].pY, 3);
}

TEST_F(BuiltLevels, OneWayTutorialMoveMatchesOnLevel4) {
    BoardSnapshot s = Snapshot(Level(3));
    ASSERT_TRUE(MoveBird(s, {10, 5}, {11, 4}));
    EXPECT_TRUE(GroupHolds(FindMatches(s), {11, 4}));
}

TEST_F(BuiltLevels, CrowTutorialMoveWorksOnLevel7) {
    BoardSnapshot s = Snapshot(Level(6));
    ASSERT_EQ(s.Birds[11][1].Kind, ObjectCrow);
    EXPECT_TRUE(MoveBird(s, {11, 1}, {5, 2}));
    // With the crow gone, the way to the nestling behind it is open.
    EXPECT_TRUE(s.Nestlings[12][1]);
}

TEST_F(BuiltLevels, BombTutorialMoveSetsTheBombOffOnLevel9) {
    BoardSnapshot s = Snapshot(Level(8));
    ASSERT_EQ(s.Bonuses[8][2].Kind, 41);
    ASSERT_EQ(s.Birds[4][2].Kind, s.Birds[3][2].Kind);
    s.Dragged = drag_Bonus;
    s.DraggedBonusKind = 41;
    ASSERT_TRUE(FindPath(s, {8, 2}, {5, 2}).PathWasFind);
    s.Bonuses[5][2] = s.Bonuses[8][2];
    s.Bonuses[8][2] = {};
    s.Dragged = drag_Nothing;
    const TMatchResult m = FindMatches(s);
    EXPECT_TRUE(GroupHolds(m, {5, 2}));
    EXPECT_TRUE(GroupHolds(m, {4, 2}));
}

TEST_F(BuiltLevels, BossTutorialHamburgerReachesTheBossOnLevel24) {
    const TLevel_Data level = Level(23);
    ASSERT_EQ(level.Mission, mission_boss_1);
    EXPECT_EQ(level.Boss.Pos.x, 14);
    EXPECT_EQ(level.Boss.Pos.y, 3);
    BoardSnapshot s = Snapshot(level);
    s.BossOnBoard = true;
    s.BossPos = {level.Boss.Pos.x, level.Boss.Pos.y};
    ASSERT_EQ(s.Bonuses[9][6].Kind, HamburgerBonusKind);
    s.Dragged = drag_Bonus;
    s.DraggedBonusKind = HamburgerBonusKind;
    EXPECT_TRUE(FindPath(s, {9, 6}, {14, 3}).PathWasFind);
    EXPECT_TRUE(FindPath(s, {9, 6}, {15, 3}).PathWasFind);
}

// The jumping-cat text points at four cells of the left bank: each holds a jumping cat, and
// each has cells on at least two sides, so two birds of one kind can be brought round it.
TEST_F(BuiltLevels, JumpingCatTutorialPointsAtFourJumpingCatsOnLevel37) {
    const TLevel_Data level = Level(36);
    EXPECT_EQ(level.Mission, mission_nestlings);
    const BoardSnapshot s = Snapshot(level);
    for (const TCoord2 c : {TCoord2{2, 2}, TCoord2{2, 4}, TCoord2{2, 6}, TCoord2{2, 8}}) {
        EXPECT_TRUE(s.Cats[c.x][c.y].Visible) << "(" << c.x << ", " << c.y << ")";
        EXPECT_EQ(s.Cats[c.x][c.y].Kind, 25) << "(" << c.x << ", " << c.y << ")";
        int open = 0;
        for (const TCoord2 d : {TCoord2{-1, 0}, TCoord2{1, 0}, TCoord2{0, -1}, TCoord2{0, 1}})
            open += s.Cells[c.x + d.x][c.y + d.y].Exists && !s.Cats[c.x + d.x][c.y + d.y].Visible;
        EXPECT_GE(open, 2) << "(" << c.x << ", " << c.y << ")";
    }
}

} // namespace
} // namespace bw
