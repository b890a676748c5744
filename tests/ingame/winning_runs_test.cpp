// Every level of the first location can be won: a scripted player plays each of them through
// the whole game on the built data, from the level's seed, with real pointer drags, until the
// won result stands, and the win is in the saved profile.
//
// The player looks one move ahead. A key with a free way to a caged nestling goes there at
// once; otherwise it makes the move (a bird, or a key put down) after which the cheapest way
// from a key to a nestling is cheapest, where every bird, cat, wall or bonus in the way adds
// to the price and a move that matches takes its birds out first.
#include "Engine/KilnSprite/SpriteEngine.h"
#include "actors/Bonuses.h"
#include "actors/CatSprites.h"
#include "actors/Cats.h"
#include "actors/NestlingSprites.h"
#include "actors/Nestlings.h"
#include "base/GameObjects.h"
#include "base/GameState.h"
#include "base/SceneTransition.h"
#include "board/Board.h"
#include "board/LevelData.h"
#include "board/MatchFinder.h"
#include "board/PathFinder.h"
#include "ingame/LevelResult.h"
#include "meta/Profile.h"
#include "meta/ProfileFile.h"
#include "platform/Files.h"
#include "replay/Replay.h"
#include "support/BoardWatch.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <array>
#include <limits>
#include <queue>
#include <random>
#include <string>
#include <vector>

namespace bw {
namespace {

const std::string kData = std::string(BW_TEST_BINARY_DIR) + "/Data";

using testing::BoardBusy;

bool Playable(const BoardSnapshot& s, TCoord2 c) {
    return IsPlayableCell(c) && s.Cells[c.x][c.y].Exists && s.Cells[c.x][c.y].Visible;
}

// What crossing the cell costs a key: nothing where it is free, more the harder the thing
// standing there is to clear.
int CrossingCost(const BoardSnapshot& s, TCoord2 c) {
    if (!Playable(s, c)) return -1;
    if (s.IsBossAt(c)) return -1;
    if (s.Nestlings[c.x][c.y]) return 40;
    if (s.Walls[c.x][c.y].Visible) return s.Walls[c.x][c.y].Small ? 6 : 10;
    if (s.Cats[c.x][c.y].Visible) return 8;
    if (s.Gates[c.x][c.y].Visible && !s.Gates[c.x][c.y].Opened) return 6;
    const BirdState& b = s.Birds[c.x][c.y];
    if (b.Visible) return b.Bounded ? 4 : 2;
    if (s.Bonuses[c.x][c.y].Visible) return 2;
    return 0;
}

// The cheapest way from any key to any caged nestling; a large number when there is none.
int Blockage(const BoardSnapshot& s) {
    constexpr int None = 1000000;
    BoardGrid<int> best{};
    for (auto& column : best) column.fill(None);
    using Item = std::pair<int, TCoord2>;
    auto later = [](const Item& a, const Item& b) { return a.first > b.first; };
    std::priority_queue<Item, std::vector<Item>, decltype(later)> open(later);
    for (int x = 1; x <= 16; ++x)
        for (int y = 1; y <= 16; ++y)
            if (s.Keys[x][y]) {
                best[x][y] = 0;
                open.push({0, TCoord2{x, y}});
            }
    while (!open.empty()) {
        const auto [cost, c] = open.top();
        open.pop();
        if (cost > best[c.x][c.y]) continue;
        if (s.Nestlings[c.x][c.y]) return cost;
        for (TCoord2 d : {TCoord2{1, 0}, TCoord2{-1, 0}, TCoord2{0, 1}, TCoord2{0, -1}}) {
            const TCoord2 n{c.x + d.x, c.y + d.y};
            const int step = CrossingCost(s, n);
            if (step < 0) continue;
            const int through = cost + 1 + (s.Nestlings[n.x][n.y] ? 0 : step * 10);
            if (through < best[n.x][n.y]) {
                best[n.x][n.y] = through;
                open.push({through, n});
            }
        }
    }
    return None;
}

// The board after a move from `from` to `to` and the match it makes, if any.
BoardSnapshot After(const BoardSnapshot& s, TCoord2 from, TCoord2 to, bool key, bool& matched) {
    BoardSnapshot next = s;
    if (key) {
        next.Keys[to.x][to.y] = true;
        next.Keys[from.x][from.y] = false;
    } else {
        next.Birds[to.x][to.y] = next.Birds[from.x][from.y];
        next.Birds[from.x][from.y] = BirdState{};
    }
    next.Dragged = drag_Nothing;
    const TMatchResult match = FindMatches(next);
    matched = !match.BirdsGroups.empty() || !match.Cats.empty();
    for (const TBirdsMatchedGroups& g : match.BirdsGroups) {
        for (const TBirdForDestroy& b : g.Group) {
            next.Birds[b.pX][b.pY] = BirdState{};
            next.Bonuses[b.pX][b.pY] = BonusState{};
        }
    }
    for (const TMatchedCat& cat : match.Cats) {
        next.Cats[cat.pX][cat.pY] = CatState{};
        for (TCoord2 b : cat.birds)
            if (b != NoCell) next.Birds[b.x][b.y] = BirdState{};
    }
    return next;
}

struct Choice {
    TCoord2 from = NoCell;
    TCoord2 to = NoCell;
    double score = -std::numeric_limits<double>::max();
};

class ScriptedPlayer {
public:
    explicit ScriptedPlayer(unsigned seed) : random_(seed) {}

    std::vector<ReplayEvent> Next() {
        if (CurrentScene != scene_Level || TransitionVisible() || LevelFinished ||
            ResultDelayActive || IsResultShown() || BoardLost || BoardBusy()) {
            quiet_ = 0;
            return {};
        }
        if (++quiet_ < 8) return {};
        quiet_ = 0;
        if (Player.LevelMoves != movesSeen_) {
            movesSeen_ = Player.LevelMoves;
            refused_.clear();
        } else if (!refused_.empty() || moves_ > 0) {
            // The last drag was not taken: never offer it again on this board.
            refused_.push_back(last_);
        }
        const Choice c = Choose();
        if (c.from == NoCell) return {};
        last_ = c;
        ++moves_;
        ReplayEvent drag;
        drag.kind = "drag";
        drag.relative = true;
        drag.cells[0] = c.from.x;
        drag.cells[1] = c.from.y;
        drag.cells[2] = c.to.x;
        drag.cells[3] = c.to.y;
        return {drag};
    }

    int Moves() const { return moves_; }

private:
    bool Refused(TCoord2 from, TCoord2 to) const {
        for (const Choice& r : refused_)
            if (r.from == from && r.to == to) return true;
        return false;
    }

    void Consider(Choice& best, TCoord2 from, TCoord2 to, double score) {
        if (Refused(from, to)) return;
        score += std::uniform_real_distribution<double>(0.0, 0.5)(random_);
        if (score > best.score) best = Choice{from, to, score};
    }

    Choice Choose() {
        BoardSnapshot s = TakeBoardSnapshot();
        Choice best;
        // A key that can reach a cage goes there.
        s.Dragged = drag_Key;
        for (int kx = 1; kx <= 16; ++kx)
            for (int ky = 1; ky <= 16; ++ky) {
                if (!s.Keys[kx][ky]) continue;
                for (int nx = 1; nx <= 16; ++nx)
                    for (int ny = 1; ny <= 16; ++ny) {
                        if (!s.Nestlings[nx][ny]) continue;
                        const TAlgPathResult p = FindPath(s, {kx, ky}, {nx, ny});
                        if (p.PathWasFind)
                            Consider(best, {kx, ky}, {nx, ny},
                                     1e6 - static_cast<double>(p.Path.size()));
                    }
            }
        if (best.from != NoCell) return best;

        const int now = Blockage(s);
        for (int fx = 1; fx <= 16; ++fx)
            for (int fy = 1; fy <= 16; ++fy) {
                const BirdState& b = s.Birds[fx][fy];
                const bool bird = b.Visible && !b.Bounded;
                const bool key = s.Keys[fx][fy];
                if (!bird && !key) continue;
                s.Dragged = key ? drag_Key : drag_Bird;
                for (int tx = 1; tx <= 16; ++tx)
                    for (int ty = 1; ty <= 16; ++ty) {
                        const TCoord2 to{tx, ty};
                        if (!Playable(s, to) || s.Birds[tx][ty].Visible || s.Birds[tx][ty].Egg ||
                            s.Keys[tx][ty] || s.Nestlings[tx][ty] || s.Cats[tx][ty].Visible ||
                            s.Cats[tx][ty].NewShadow || s.Bonuses[tx][ty].Visible ||
                            s.Walls[tx][ty].Visible || s.IsBossAt(to))
                            continue;
                        if (!FindPath(s, {fx, fy}, to).PathWasFind) continue;
                        bool matched = false;
                        const BoardSnapshot next = After(s, {fx, fy}, to, key, matched);
                        const int after = Blockage(next);
                        // Cheaper ways first; then matches (they end no turn); then quiet
                        // moves that keep a bird beside its own kind.
                        double score = -static_cast<double>(after);
                        if (matched) score += 30.0;
                        if (after < now) score += 5.0;
                        Consider(best, {fx, fy}, to, score);
                    }
            }
        return best;
    }

    std::mt19937 random_;
    int quiet_ = 0;
    int moves_ = 0;
    int movesSeen_ = 0;
    Choice last_;
    std::vector<Choice> refused_;
};

struct Outcome {
    bool ran = false;
    std::string error;
    bool won = false;
    int moves = 0;
    int saved = 0;
    int needed = 0;
    int32_t levelScore = 0;
    TPlayer profile;
    bool profileRead = false;
};

Outcome WinLevel(int level) {
    testing::TempFolder home;
    ScriptedPlayer player(static_cast<unsigned>(level));
    ReplaySettings rs;
    rs.home = home.Path();
    rs.data = kData;
    rs.seed = static_cast<uint64_t>(level);
    rs.startLevel = level;
    rs.size = {480, 270};
    rs.ticks = 60000;
    // A player who won the levels before this one.
    rs.beforeTick = [level](uint64_t tick) {
        if (tick != 1) return;
        NewProfile("Tester", "t.sav");
        ResizeLevelStates();
        for (int i = 0; i + 1 < level; ++i) Player.Levels[static_cast<size_t>(i)].FStatus = 1;
        SaveProfile();
    };
    Outcome out;
    rs.player = [&](uint64_t) { return player.Next(); };
    rs.until = [&](uint64_t) {
        const ResultStages* stages = ResultState();
        if (!stages) return false;
        out.won = stages->Won;
        out.saved = Player.NestlingsSaved;
        out.needed = CurrentLevel.NestlingsMaxCommon;
        out.levelScore = Player.LevelScore;
        return stages->ButtonsVisible();
    };
    const ReplayResult result = RunReplay(rs);
    out.ran = result.ok;
    out.error = result.error;
    out.moves = player.Moves();
    const auto bytes = ReadWholeFile(home.File("Profiles/t.sav"));
    if (bytes)
        out.profileRead =
            ProfileFromBytes(bytes->data(), bytes->size(), LevelsList.size(), out.profile);
    return out;
}

class WinningRuns : public ::testing::TestWithParam<int> {};

TEST_P(WinningRuns, TheScriptedPlayerWinsTheLevelAndTheProfileKeepsTheWin) {
    const int level = GetParam();
    const Outcome out = WinLevel(level);
    ASSERT_TRUE(out.ran) << out.error;
    EXPECT_TRUE(out.won) << "level " << level << " after " << out.moves << " moves";
    EXPECT_EQ(out.saved, out.needed);
    ASSERT_TRUE(out.profileRead);
    ASSERT_GE(out.profile.Levels.size(), static_cast<size_t>(level));
    EXPECT_GE(out.profile.Levels[static_cast<size_t>(level - 1)].FStatus, 1);
    EXPECT_EQ(out.profile.Score, out.levelScore) << "the level's score was added to the profile";
    RecordProperty("moves", out.moves);
}

INSTANTIATE_TEST_SUITE_P(LocationOne, WinningRuns, ::testing::Range(1, 9));

} // namespace
} // namespace bw
