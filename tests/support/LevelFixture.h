// Small data sets for end-to-end tests, drawn as ASCII pictures of levels:
//
//   ' ' no cell        '.' empty cell      '1'..'6' bird of that kind   'c' crow
//   'A'..'F' bounded bird of kind 1..6     'W' wall (strength 1)        'V' wall (strength 2)
//   '^' '>' 'v' '<' one-way cell entered moving up, right, down, left
//   'o' open gate, 'x' closed gate             'G' 'H' 'I' 'J' 'K' cat of kind 21..25
//   'b' bomb, 'f' fireworks, 'l' chain lightning, 'p' paint, 'h' hamburger (bonuses 41..45)
//   'n' 'N' 'Q' caged nestling with 1, 2, 3 chains   'k' key
//
// The first character of the first row is cell (1, 1). Eggs are the ones the level lays each
// turn (`eggsPerTurn`). Every level plays on one test location whose cells lie at
// (300 + 76 x, 188 + 60 y) with their centres 65 right and 60 down of that.
#pragma once

#include "data/KilnArchive.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace bw::testing {

// What one character of a picture puts into the level's map and object grids; false for a
// character outside the legend.
inline bool PictureCell(char ch, int& map, int& object) {
    map = ch == ' ' ? 0 : 1;
    object = 0;
    if (ch == ' ' || ch == '.') return true;
    if (ch >= '1' && ch <= '6') return (object = ch - '0'), true;
    if (ch >= 'A' && ch <= 'F') return (object = 11 + (ch - 'A')), true;
    if (ch >= 'G' && ch <= 'K') return (object = 21 + (ch - 'G')), true;
    switch (ch) {
    case 'c':
        object = 9;
        return true;
    case 'b':
        object = 41;
        return true;
    case 'f':
        object = 42;
        return true;
    case 'l':
        object = 43;
        return true;
    case 'p':
        object = 44;
        return true;
    case 'h':
        object = 45;
        return true;
    case 'n':
        object = 61;
        return true;
    case 'N':
        object = 62;
        return true;
    case 'Q':
        object = 63;
        return true;
    case 'k':
        object = 71;
        return true;
    case 'W':
        object = 51;
        return true;
    case 'V':
        object = 52;
        return true;
    case '^':
        map = 21;
        return true;
    case '>':
        map = 22;
        return true;
    case 'v':
        map = 23;
        return true;
    case '<':
        map = 24;
        return true;
    case 'o':
        map = 31;
        return true;
    case 'x':
        map = 41;
        return true;
    default:
        return false;
    }
}

struct FixtureLevel {
    std::string name; // the level file's key without ".xml"
    std::vector<std::string> rows;
    int eggsPerTurn = 0;
    std::string kinds = "1,1,1,1,1,1,0,0"; // weights of the bird kinds 1..8 for new eggs
    std::string cats{};                    // the cat entries inside <Cats>
    std::string mission = "mission_nil";
    std::string task = "Index=\"1\" Value=\"100\" AdditionalValue=\"0\"";
    std::string boss{}; // a <Boss .../> element, e.g. <Boss Kind="1" X="6" Y="2" Health="3"/>
};

// The level file of a picture. Characters outside the legend fail the test.
inline std::string LevelFileXml(const FixtureLevel& level) {
    int map[18][18] = {};
    int objects[18][18] = {};
    for (size_t r = 0; r < level.rows.size(); ++r) {
        for (size_t c = 0; c < level.rows[r].size(); ++c) {
            int m = 0, o = 0;
            EXPECT_TRUE(PictureCell(level.rows[r][c], m, o))
                << level.name << ": '" << level.rows[r][c] << "'";
            if (r + 1 < 17 && c + 1 < 17) {
                map[r + 1][c + 1] = m;
                objects[r + 1][c + 1] = o;
            }
        }
    }
    std::ostringstream out;
    out << "<level>\n  <settings>\n    <Mission name=\"" << level.mission << "\"/>\n"
        << "    <Task " << level.task << "/>\n"
        << level.boss << "    <Birds GenerateCount=\"" << level.eggsPerTurn << "\" Kinds=\""
        << level.kinds << "\"/>\n    <Cats>" << level.cats << "</Cats>\n  </settings>\n  <map>\n";
    for (int y = 0; y < 18; ++y) {
        out << "    <m" << y << " Value=\"";
        for (int x = 0; x < 18; ++x) out << (x ? "," : "") << map[y][x];
        out << "\"/>\n";
    }
    out << "  </map>\n  <objects>\n";
    for (int y = 0; y < 18; ++y) {
        out << "    <b" << y << " Value=\"";
        for (int x = 0; x < 18; ++x) out << (x ? "," : "") << objects[y][x];
        out << "\"/>\n";
    }
    out << "  </objects>\n</level>\n";
    return out.str();
}

// The level list naming the levels in order, all on location 1.
inline std::string LevelListXml(const std::vector<FixtureLevel>& levels) {
    std::string list = "<levels>\n";
    for (const FixtureLevel& l : levels)
        list +=
            "  <Level Location=\"1\" FileName=\"" + l.name + "\" map_x=\"100\" map_y=\"100\"/>\n";
    return list + "</levels>\n";
}

inline constexpr const char* kFixtureLocation = R"(<location>
  <settings>
    <options Kind="0"/>
    <Walls Kind="0" Image="walls.image"/>
    <Map Image="cells.image"/>
    <MapSize X="16" Y="16"/>
    <MapPosition X="300" Y="0"/>
    <MapElementsAnimCount Value="4"/>
    <MapElementsChessOrder Value="yes"/>
    <MapElementsSize X="76" Y="60"/>
    <MapElementCollideSize X="38" Y="30"/>
    <MapCentres>
      <point x="65" y="60"/><point x="65" y="60"/><point x="65" y="60"/><point x="65" y="60"/>
      <point x="65" y="60"/><point x="65" y="60"/><point x="65" y="60"/><point x="65" y="60"/>
    </MapCentres>
  </settings>
</location>
)";

using ArchiveRecords = std::vector<std::pair<std::string, std::string>>;

inline void WriteArchive(const std::string& path, const ArchiveRecords& records) {
    TKilnArchive archive;
    archive.SetOpenMode(aomOverwrite);
    ASSERT_TRUE(archive.OpenFile(path)) << path;
    for (const auto& [key, text] : records)
        ASSERT_TRUE(archive.WriteRecord(key, text.data(), text.size())) << key;
}

// Every record the levels need: the level list, the level files and the test location.
inline ArchiveRecords LevelRecords(const std::vector<FixtureLevel>& levels) {
    ArchiveRecords records = {{"Levels.xml", LevelListXml(levels)},
                              {"location_1.xml", kFixtureLocation}};
    for (const FixtureLevel& l : levels) records.emplace_back(l.name + ".xml", LevelFileXml(l));
    return records;
}

// A Data folder of its own: the list in tData_Common.dan, the levels in tData_Levels.dan and
// the location in tData_Locations.dan, where the game looks for them.
inline void WriteLevelData(const std::string& dataFolder, const std::vector<FixtureLevel>& levels) {
    ArchiveRecords files;
    for (const FixtureLevel& l : levels) files.emplace_back(l.name + ".xml", LevelFileXml(l));
    WriteArchive(dataFolder + "/tData_Common.dan", {{"Levels.xml", LevelListXml(levels)}});
    WriteArchive(dataFolder + "/tData_Levels.dan", files);
    WriteArchive(dataFolder + "/tData_Locations.dan", {{"location_1.xml", kFixtureLocation}});
}

// One archive with every record, to lay over a whole data set (--extra-archive).
inline void WriteLevelArchive(const std::string& file, const std::vector<FixtureLevel>& levels) {
    WriteArchive(file, LevelRecords(levels));
}

} // namespace bw::testing
