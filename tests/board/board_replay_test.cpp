// Real moves through the whole game: a data folder with a few small levels, the replay
// harness playing the pointer, and the board as the state dump shows it afterwards.
#include "platform/Files.h"
#include "replay/Replay.h"

#include "support/LevelFixture.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace bw {
namespace {

// A press on one cell, a drag across the board and a release on another.
std::string DragScript(int fromX, int fromY, int toX, int toY) {
    return "5 drag " + std::to_string(fromX) + " " + std::to_string(fromY) + " " +
           std::to_string(toX) + " " + std::to_string(toY) + "\n";
}

class BoardReplay : public ::testing::Test {
protected:
    void SetUp() override {
        data_ = (std::filesystem::path(home_.Path()) / "Data").string();
        std::filesystem::create_directories(data_);
        testing::WriteLevelData(
            data_, {{"fx_match",
                     {"........", "........", "........", ".22.....", "........", "...2....",
                      "........", ".......5"},
                     2},
                    {"fx_eggs", {"1.....", "......", "......", "......", "......", ".....2"}, 2},
                    {"fx_blocked", {"1W.", "W..", "..."}, 0},
                    // The full board lays only birds of a kind that cannot complete a group.
                    {"fx_full", {"1.23.", "45612", "23.41"}, 2, "0,0,0,0,0,1,0,0"}});
    }

    // Plays level `level` with the script and returns the dump at tick 400.
    std::string Play(int level, const std::string& script,
                     const std::vector<std::string>& extraArchives = {}) {
        ReplaySettings rs;
        rs.home = home_.Path();
        rs.data = data_;
        rs.extraArchives = extraArchives;
        rs.startLevel = level;
        rs.size = {480, 270}; // the board works in design units: any size will do
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

// Where the centre of cell (x, y) of the test location lies.
std::string At(int x, int y) {
    return std::to_string(300 + 76 * x + 65) + " " + std::to_string(188 + 60 * y + 60);
}

TEST_F(BoardReplay, TheDumpShowsTheDraggedBirdItsFlightAndItsTarget) {
    const std::string script = "5 move " + At(4, 6) +
                               "\n6 down\n8 expect board.dragged.object == bird\n"
                               "+0 expect board.dragged.kind == 2\n+0 expect board.dragged.y == 6\n"
                               "+0 expect board.moving[0] absent\n10 move " +
                               At(4, 5) + "\n16 move " + At(4, 4) +
                               "\n22 up\n+1 expect board.dragged absent\n"
                               "+0 expect board.moving[0].kind == 2\n"
                               "+0 expect board.moving[0].path[0] == [4, 6]\n"
                               "+0 expect board.moving[0].speed > 0\n"
                               "+0 expect board.reserved contains [4, 4]\n"
                               "+0 expect level.TaskStatus == open\n";
    const std::string dump = Play(1, script);
    EXPECT_NE(dump.find("\"moving\": [],\n    \"reserved\": []"), std::string::npos) << dump;
}

// The extra archive's level replaces the one of the data folder: without its walls the bird
// reaches the far corner.
TEST_F(BoardReplay, AnExtraArchiveReplacesRecordsByKey) {
    const std::string extra = home_.File("extra.dan");
    testing::WriteArchive(
        extra, {{"fx_blocked.xml", testing::LevelFileXml({"fx_blocked", {"1..", "...", "..."}})}});
    const std::string dump = Play(3, DragScript(1, 1, 3, 3), {extra});
    EXPECT_NE(dump.find("\"moves\": 1"), std::string::npos) << dump;
    EXPECT_TRUE(BirdOf(dump, 3, 3, 1));
    EXPECT_EQ(dump.find("\"wall\""), std::string::npos);
    // Without it the data folder's level is back.
    EXPECT_NE(Play(3, "").find("\"wall\""), std::string::npos);

    ReplaySettings rs;
    rs.home = home_.Path();
    rs.extraArchives = {home_.File("missing.dan")};
    const ReplayResult missing = RunReplay(rs);
    EXPECT_FALSE(missing.ok);
    EXPECT_EQ(missing.error, "cannot open extra archive " + home_.File("missing.dan"));
}

} // namespace
} // namespace bw
