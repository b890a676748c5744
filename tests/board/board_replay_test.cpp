// Real moves through the whole game: a data folder with a few small levels, the replay
// harness playing the pointer, and the board as the state dump shows it afterwards.
#include "app/Replay.h"
#include "data/KilnArchive.h"
#include "platform/Files.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace bw {
namespace {

// A level of the picture format of BoardTestSupport.h, placed at (1, 1), as a level file.
std::string LevelXml(const std::vector<std::string>& rows, int eggsPerTurn,
                     const std::string& kinds) {
    int map[18][18] = {};
    int objects[18][18] = {};
    for (size_t r = 0; r < rows.size(); ++r) {
        for (size_t c = 0; c < rows[r].size(); ++c) {
            const size_t x = c + 1;
            const size_t y = r + 1;
            const char ch = rows[r][c];
            map[y][x] = ch == ' ' ? 0 : 1;
            if (ch >= '1' && ch <= '6') objects[y][x] = ch - '0';
            if (ch == 'W') objects[y][x] = 51;
        }
    }
    std::ostringstream out;
    out << "<level>\n  <settings>\n    <Mission name=\"mission_nil\"/>\n"
        << "    <Task Index=\"1\" Value=\"100\" AdditionalValue=\"0\"/>\n"
        << "    <Birds GenerateCount=\"" << eggsPerTurn << "\" Kinds=\"" << kinds << "\"/>\n"
        << "  </settings>\n  <map>\n";
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

constexpr const char* kLocation = R"(<location>
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

void WriteArchive(const std::string& path,
                  const std::vector<std::pair<std::string, std::string>>& records) {
    TKilnArchive archive;
    ASSERT_TRUE(archive.OpenFile(path)) << path;
    for (const auto& [key, text] : records)
        ASSERT_TRUE(archive.WriteRecord(key, text.data(), text.size())) << key;
}

// Where the centre of cell (x, y) of the test location lies.
std::string At(int x, int y) {
    return std::to_string(300 + 76 * x + 65) + " " + std::to_string(188 + 60 * y + 60);
}

// A press on one cell, a drag across the board and a release on another.
std::string DragScript(int fromX, int fromY, int toX, int toY) {
    return "5 move " + At(fromX, fromY) + "\n6 down\n10 move " + At((fromX + toX) / 2, fromY) +
           "\n16 move " + At(toX, toY) + "\n22 up\n";
}

class BoardReplay : public ::testing::Test {
protected:
    void SetUp() override {
        data_ = (std::filesystem::path(home_.Path()) / "Data").string();
        std::filesystem::create_directories(data_);
        const std::vector<std::pair<std::string, std::vector<std::string>>> levels = {
            {"fx_match",
             {"........", "........", "........", ".22.....", "........", "...2....", "........",
              ".......5"}},
            {"fx_eggs", {"1.....", "......", "......", "......", "......", ".....2"}},
            {"fx_blocked", {"1W.", "W..", "..."}},
            {"fx_full", {"1.23.", "45612", "23.41"}},
        };
        std::string list = "<levels>\n";
        std::vector<std::pair<std::string, std::string>> files;
        const int eggs[] = {2, 2, 0, 2};
        for (size_t i = 0; i < levels.size(); ++i) {
            list += "  <Level Location=\"1\" FileName=\"" + levels[i].first +
                    "\" map_x=\"100\" map_y=\"100\"/>\n";
            // The full board lays only birds of a kind that cannot complete a group there.
            const std::string kinds = i == 3 ? "0,0,0,0,0,1,0,0" : "1,1,1,1,1,1,0,0";
            files.emplace_back(levels[i].first + ".xml",
                               LevelXml(levels[i].second, eggs[i], kinds));
        }
        list += "</levels>\n";
        WriteArchive(data_ + "/tData_Common.dan", {{"Levels.xml", list}});
        WriteArchive(data_ + "/tData_Levels.dan", files);
        WriteArchive(data_ + "/tData_Locations.dan", {{"location_1.xml", kLocation}});
    }

    // Plays level `level` with the script and returns the dump at tick 400.
    std::string Play(int level, const std::string& script) {
        ReplaySettings rs;
        rs.home = home_.Path();
        rs.data = data_;
        rs.startLevel = level;
        rs.ticks = 402;
        std::string error;
        EXPECT_TRUE(ParseReplayScript(script, rs.events, error)) << error;
        const std::string dump = home_.File("dump.json");
        rs.dumps.emplace_back(400, dump);
        const ReplayResult result = RunReplay(rs);
        EXPECT_TRUE(result.ok) << result.error;
        EXPECT_EQ(result.scene, "scene_Level");
        const auto bytes = ReadWholeFile(dump);
        return bytes ? std::string(bytes->begin(), bytes->end()) : std::string();
    }

    static std::string Cell(int x, int y) {
        return "{\"x\": " + std::to_string(x) + ", \"y\": " + std::to_string(y) + ", \"map\": 1";
    }
    static bool Empty(const std::string& dump, int x, int y) {
        return dump.find(Cell(x, y) + "}") != std::string::npos;
    }
    static bool BirdOf(const std::string& dump, int x, int y, int kind) {
        return dump.find(Cell(x, y) + ", \"bird\": {\"kind\": " + std::to_string(kind) +
                         ", \"visible\": true, \"egg\": false") != std::string::npos;
    }
    static int Count(const std::string& text, const std::string& what) {
        int n = 0;
        for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
            ++n;
        return n;
    }

    testing::TempFolder home_;
    std::string data_;
};

TEST_F(BoardReplay, LineOfThreeIsRemovedAndScored) {
    const std::string dump = Play(1, DragScript(4, 6, 4, 4));
    EXPECT_NE(dump.find("\"score\": 45, \"moves\": 1"), std::string::npos) << dump;
    EXPECT_TRUE(Empty(dump, 2, 4));
    EXPECT_TRUE(Empty(dump, 3, 4));
    EXPECT_TRUE(Empty(dump, 4, 4));
    EXPECT_TRUE(Empty(dump, 4, 6));
    EXPECT_TRUE(BirdOf(dump, 8, 8, 5));
    // Only the two eggs of the start: the match laid none and hatched none.
    EXPECT_EQ(Count(dump, "\"egg\": true"), 2);
    EXPECT_NE(dump.find("\"birds_generated\": 0"), std::string::npos);
}

TEST_F(BoardReplay, MoveWithoutAMatchLaysEggs) {
    const std::string dump = Play(2, DragScript(1, 1, 3, 1));
    EXPECT_NE(dump.find("\"moves\": 1"), std::string::npos) << dump;
    EXPECT_TRUE(BirdOf(dump, 3, 1, 1));
    // The two eggs of the start have hatched; two new ones lie on the board.
    EXPECT_EQ(Count(dump, "\"egg\": true"), 2) << dump;
}

TEST_F(BoardReplay, BlockedPathCancelsTheDrag) {
    const std::string dump = Play(3, DragScript(1, 1, 3, 3));
    EXPECT_NE(dump.find("\"moves\": 0"), std::string::npos) << dump;
    EXPECT_NE(dump.find("\"dragged\": null"), std::string::npos);
    EXPECT_TRUE(BirdOf(dump, 1, 1, 1));
    EXPECT_TRUE(Empty(dump, 3, 3));
}

// Three free cells and two eggs a turn: the start leaves one free cell, the move frees its
// source, and the eggs of the move fill the board.
TEST_F(BoardReplay, FullBoardLosesTheLevel) {
    const std::string dump = Play(4, DragScript(1, 1, 2, 1));
    EXPECT_NE(dump.find("\"lost\": true"), std::string::npos) << dump;
    EXPECT_TRUE(BirdOf(dump, 2, 1, 1));
}

} // namespace
} // namespace bw
