#include "replay/LevelPlayer.h"

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

#include <filesystem>
#include <queue>
#include <typeinfo>
#include <unordered_map>
#include <utility>

#include <unistd.h>

namespace bw {

namespace {

// What the watch looks for in a sprite of one class; worked out once per class, since the
// engine holds well over a thousand sprites and the watch runs at every tick.
enum class Watched { Nothing, Moving, MovedKey, MovedBonus, Bird, Bonus, Cat };

Watched WatchedAs(TSprite* s) {
    static std::unordered_map<const std::type_info*, Watched> known;
    const std::type_info* type = &typeid(*s);
    if (const auto it = known.find(type); it != known.end()) return it->second;
    Watched w = Watched::Nothing;
    if (dynamic_cast<TMovedBirdSprite*>(s) || dynamic_cast<TKilledBirdSprite*>(s) ||
        dynamic_cast<TMovedCatSprite*>(s) || dynamic_cast<TJumpingCatSprite*>(s) ||
        dynamic_cast<TKilledCatSprite*>(s) || dynamic_cast<TBonusWeaponSprite*>(s) ||
        dynamic_cast<TLightningSprite*>(s) || dynamic_cast<TPaintDropSprite*>(s) ||
        dynamic_cast<TKilledNestlingSprite*>(s))
        w = Watched::Moving;
    else if (dynamic_cast<TMovedKeySprite*>(s))
        w = Watched::MovedKey;
    else if (dynamic_cast<TMovedBonusSprite*>(s))
        w = Watched::MovedBonus;
    else if (dynamic_cast<TBirdSprite*>(s))
        w = Watched::Bird;
    else if (dynamic_cast<TBonusSprite*>(s))
        w = Watched::Bonus;
    else if (dynamic_cast<TCatSprite*>(s))
        w = Watched::Cat;
    known.emplace(type, w);
    return w;
}

} // namespace

bool BoardBusy() {
    if (!MainEngine) return true;
    for (TSprite* s : MainEngine->Items()) {
        if (s->FDeaded) continue;
        switch (WatchedAs(s)) {
        case Watched::Nothing:
            break;
        case Watched::Moving:
            return true;
        case Watched::MovedKey:
            if (static_cast<TMovedKeySprite*>(s)->UnderWay()) return true;
            break;
        case Watched::MovedBonus:
            if (static_cast<TMovedBonusSprite*>(s)->UnderWay()) return true;
            break;
        case Watched::Bird:
            if (static_cast<TBirdSprite*>(s)->FEggSprite->FAnimStage >= 2) return true;
            break;
        case Watched::Bonus: {
            const auto* b = static_cast<TBonusSprite*>(s);
            if (b->FVisible && b->FBonusStatus != 0) return true;
            break;
        }
        case Watched::Cat: {
            auto* c = static_cast<TCatSprite*>(s);
            if (c->FNewShadow && c->DropStage() >= 2) return true;
            break;
        }
        }
    }
    return false;
}

namespace {

constexpr int NoWay = 1000000;
const TCoord2 Steps[4] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};

bool Playable(const BoardSnapshot& s, TCoord2 c) {
    return IsPlayableCell(c) && s.Cells[c.x][c.y].Exists && s.Cells[c.x][c.y].Visible;
}

bool IsHamburger(const BoardSnapshot& s, TCoord2 c) {
    const BonusState& b = s.Bonuses[c.x][c.y];
    return b.Visible && b.BonusStatus == 0 && b.Kind == HamburgerBonusKind;
}

// What crossing the cell costs a key or a hamburger: nothing where it is free, more the harder
// the thing standing there is to clear.
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

// The cheapest way from a carried thing (keys, or hamburgers) to its goal (a caged nestling,
// or the boss); NoWay when there is none.
int CheapestWay(const BoardSnapshot& s, bool hamburgers) {
    BoardGrid<int> best{};
    for (auto& column : best) column.fill(NoWay);
    using Item = std::pair<int, TCoord2>;
    auto later = [](const Item& a, const Item& b) { return a.first > b.first; };
    std::priority_queue<Item, std::vector<Item>, decltype(later)> open(later);
    auto goal = [&](TCoord2 c) {
        return IsPlayableCell(c) && (hamburgers ? s.IsBossAt(c) : s.Nestlings[c.x][c.y]);
    };
    for (int x = 1; x <= 16; ++x)
        for (int y = 1; y <= 16; ++y)
            if (hamburgers ? IsHamburger(s, {x, y}) : s.Keys[x][y]) {
                best[x][y] = 0;
                open.push({0, TCoord2{x, y}});
            }
    while (!open.empty()) {
        const auto [cost, c] = open.top();
        open.pop();
        if (cost > best[c.x][c.y]) continue;
        if (goal(c)) return cost;
        for (TCoord2 d : Steps) {
            const TCoord2 n{c.x + d.x, c.y + d.y};
            const int step = goal(n) ? 0 : CrossingCost(s, n);
            if (step < 0) continue;
            const int through = cost + 1 + step * 10;
            if (through < best[n.x][n.y]) {
                best[n.x][n.y] = through;
                open.push({through, n});
            }
        }
    }
    return NoWay;
}

// How far the level is from its next win step: the keys' way plus the hamburgers' way.
int Blockage(const BoardSnapshot& s) {
    int total = 0;
    bool nestlings = false;
    for (int x = 1; x <= 16 && !nestlings; ++x)
        for (int y = 1; y <= 16 && !nestlings; ++y) nestlings = s.Nestlings[x][y];
    if (nestlings) total += CheapestWay(s, false);
    if (s.BossOnBoard) total += CheapestWay(s, true);
    return total;
}

// How close the cats on the board are to being caught: for each cat the share of the birds
// it needs that already stand round it.
double CatPressure(const BoardSnapshot& s) {
    double pressure = 0;
    MatchGridArray grid;
    bool gridMade = false;
    for (int x = 1; x <= 16; ++x)
        for (int y = 1; y <= 16; ++y) {
            const CatState& cat = s.Cats[x][y];
            if (!cat.Visible || cat.NewShadow) continue;
            const int need = CatCatchNeed(cat.Kind);
            if (need <= 0) continue;
            if (!gridMade) MatchGrid(s, grid);
            gridMade = true;
            const int have = static_cast<int>(BirdsAroundCat(s, grid, {x, y}, false).size());
            pressure += static_cast<double>(std::min(have, need)) / need;
        }
    return pressure;
}

// The walls a bomb or fireworks set off at `c` would hit.
void Blast(BoardSnapshot& s, TCoord2 c, int kind) {
    if (kind == 41) {
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy) {
                const TCoord2 n{c.x + dx, c.y + dy};
                if (IsPlayableCell(n)) s.Walls[n.x][n.y] = WallState{};
            }
    } else if (kind == 42) {
        for (TCoord2 d : Steps) {
            for (TCoord2 n{c.x + d.x, c.y + d.y}; IsPlayableCell(n); n = {n.x + d.x, n.y + d.y}) {
                if (s.Walls[n.x][n.y].Visible) {
                    s.Walls[n.x][n.y] = WallState{};
                    break;
                }
                if (s.Birds[n.x][n.y].Visible || s.Bonuses[n.x][n.y].Visible ||
                    s.Cats[n.x][n.y].Visible)
                    break;
            }
        }
    }
}

enum class Piece { Bird, Key, Bonus };

// The board after a move from `from` to `to`, the match it makes and the cats it catches.
BoardSnapshot After(const BoardSnapshot& s, TCoord2 from, TCoord2 to, Piece piece, bool& matched,
                    int& cats) {
    BoardSnapshot next = s;
    if (piece == Piece::Key) {
        next.Keys[to.x][to.y] = true;
        next.Keys[from.x][from.y] = false;
    } else if (piece == Piece::Bonus) {
        next.Bonuses[to.x][to.y] = next.Bonuses[from.x][from.y];
        next.Bonuses[from.x][from.y] = BonusState{};
    } else {
        next.Birds[to.x][to.y] = next.Birds[from.x][from.y];
        next.Birds[from.x][from.y] = BirdState{};
    }
    next.Dragged = drag_Nothing;
    const TMatchResult match = FindMatches(next);
    matched = !match.BirdsGroups.empty() || !match.Cats.empty();
    cats = static_cast<int>(match.Cats.size());
    std::vector<std::pair<TCoord2, int>> blasts;
    for (const TBirdsMatchedGroups& g : match.BirdsGroups) {
        for (const TBirdForDestroy& b : g.Group) {
            const BonusState& bonus = next.Bonuses[b.pX][b.pY];
            if (bonus.Visible) blasts.push_back({TCoord2{b.pX, b.pY}, bonus.Kind});
            next.Birds[b.pX][b.pY] = BirdState{};
            next.Bonuses[b.pX][b.pY] = BonusState{};
        }
    }
    for (const TMatchedCat& cat : match.Cats) {
        next.Cats[cat.pX][cat.pY] = CatState{};
        for (TCoord2 b : cat.birds)
            if (b != NoCell) next.Birds[b.x][b.y] = BirdState{};
    }
    for (const auto& [cell, kind] : blasts) Blast(next, cell, kind);
    return next;
}

bool FreeTarget(const BoardSnapshot& s, TCoord2 to) {
    return Playable(s, to) && !s.Birds[to.x][to.y].Visible && !s.Birds[to.x][to.y].Egg &&
           !s.Keys[to.x][to.y] && !s.Nestlings[to.x][to.y] && !s.Cats[to.x][to.y].Visible &&
           !s.Cats[to.x][to.y].NewShadow && !s.Bonuses[to.x][to.y].Visible &&
           !s.Walls[to.x][to.y].Visible && !s.IsBossAt(to);
}

} // namespace

std::vector<ReplayEvent> LevelPlayer::Next() {
    if (CurrentScene != scene_Level || TransitionVisible() || LevelFinished || ResultDelayActive ||
        IsResultShown() || BoardLost || BoardBusy()) {
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

bool LevelPlayer::Refused(TCoord2 from, TCoord2 to) const {
    for (const Choice& r : refused_)
        if (r.from == from && r.to == to) return true;
    return false;
}

void LevelPlayer::Consider(Choice& best, TCoord2 from, TCoord2 to, double score) {
    if (Refused(from, to)) return;
    score += std::uniform_real_distribution<double>(0.0, 0.5)(random_);
    if (score > best.score) best = Choice{from, to, score};
}

LevelPlayer::Choice LevelPlayer::Choose() {
    BoardSnapshot s = TakeBoardSnapshot();
    Choice best;
    // A key that can reach a cage, or a hamburger that can reach the boss, goes there.
    for (int fx = 1; fx <= 16; ++fx)
        for (int fy = 1; fy <= 16; ++fy) {
            const TCoord2 from{fx, fy};
            const bool key = s.Keys[fx][fy];
            const bool food = s.BossOnBoard && IsHamburger(s, from);
            if (!key && !food) continue;
            s.Dragged = key ? drag_Key : drag_Bonus;
            s.DraggedBonusKind = key ? 0 : HamburgerBonusKind;
            for (int tx = 1; tx <= 16; ++tx)
                for (int ty = 1; ty <= 16; ++ty) {
                    const TCoord2 to{tx, ty};
                    if (key ? !s.Nestlings[tx][ty] : !s.IsBossAt(to)) continue;
                    const TAlgPathResult p = FindPath(s, from, to);
                    if (p.PathWasFind)
                        Consider(best, from, to, 1e6 - static_cast<double>(p.Path.size()));
                }
        }
    s.DraggedBonusKind = 0;
    if (best.from != NoCell) return best;

    const int now = Blockage(s);
    const double pressureNow = CatPressure(s);
    for (int fx = 1; fx <= 16; ++fx)
        for (int fy = 1; fy <= 16; ++fy) {
            const BirdState& b = s.Birds[fx][fy];
            const BonusState& bonus = s.Bonuses[fx][fy];
            Piece piece;
            if (b.Visible && !b.Bounded)
                piece = Piece::Bird;
            else if (s.Keys[fx][fy])
                piece = Piece::Key;
            else if (bonus.Visible && bonus.BonusStatus == 0 && IsMatchableBonusKind(bonus.Kind))
                piece = Piece::Bonus;
            else if (bonus.Visible && bonus.BonusStatus == 0 && !s.BossOnBoard)
                piece = Piece::Bonus; // a hamburger with no boss is just in the way
            else
                continue;
            s.Dragged = piece == Piece::Key     ? drag_Key
                        : piece == Piece::Bonus ? drag_Bonus
                                                : drag_Bird;
            s.DraggedBonusKind = piece == Piece::Bonus ? bonus.Kind : 0;
            for (int tx = 1; tx <= 16; ++tx)
                for (int ty = 1; ty <= 16; ++ty) {
                    const TCoord2 to{tx, ty};
                    if (!FreeTarget(s, to)) continue;
                    if (!FindPath(s, {fx, fy}, to).PathWasFind) continue;
                    bool matched = false;
                    int cats = 0;
                    const BoardSnapshot next = After(s, {fx, fy}, to, piece, matched, cats);
                    const int after = Blockage(next);
                    // Cheaper ways first; then matches (they end no turn) and caught cats;
                    // then quiet moves that bring birds round a cat.
                    double score = -static_cast<double>(after);
                    if (matched) score += 30.0;
                    score += 20.0 * cats;
                    if (after < now) score += 5.0;
                    if (!matched) score += 4.0 * (CatPressure(next) - pressureNow);
                    // A bonus that goes off for nothing is wasted.
                    if (piece == Piece::Bonus && !matched) score -= 3.0;
                    Consider(best, {fx, fy}, to, score);
                }
        }
    return best;
}

namespace {

// A fresh folder under the system's temporary folder, removed afterwards.
class ScratchFolder {
public:
    ScratchFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "bw_levelplay_XXXXXX").string();
        if (::mkdtemp(pattern.data())) path_ = pattern;
    }
    ~ScratchFolder() {
        std::error_code ec;
        if (!path_.empty()) std::filesystem::remove_all(path_, ec);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

} // namespace

LevelRun PlayLevel(const LevelRunSettings& settings) {
    ScratchFolder scratch;
    const std::string home = settings.home.empty() ? scratch.Path() : settings.home;
    const uint64_t seed = settings.seed ? settings.seed : static_cast<uint64_t>(settings.level);
    LevelPlayer player(static_cast<unsigned>(seed));
    ReplaySettings rs;
    rs.home = home;
    rs.data = settings.data;
    rs.seed = seed;
    rs.startLevel = settings.level;
    rs.size = settings.size;
    rs.ticks = settings.ticks;
    rs.drawAt = settings.drawAt;
    rs.afterDraw = settings.afterDraw;
    const int level = settings.level;
    // A player who won the levels before this one.
    rs.beforeTick = [level](uint64_t tick) {
        if (tick != 1) return;
        NewProfile("Tester", "t.sav");
        ResizeLevelStates();
        for (int i = 0; i + 1 < level && i < static_cast<int>(Player.Levels.size()); ++i)
            Player.Levels[static_cast<size_t>(i)].FStatus = LevelWon;
        SaveProfile();
    };
    LevelRun out;
    rs.player = [&](uint64_t) { return player.Next(); };
    bool started = false;
    rs.until = [&](uint64_t tick) {
        started = started || CurrentScene == scene_Level;
        // A level that never starts (no file, no cells) ends the run early.
        if (!started && tick > 3000) return true;
        const ResultStages* stages = ResultState();
        if (!stages) return false;
        out.finished = true;
        out.won = stages->Won;
        out.taskMet = stages->Won && stages->TaskCompleted;
        out.saved = Player.NestlingsSaved;
        out.needed = CurrentLevel.NestlingsMaxCommon;
        out.bossFed = Player.BossHealth;
        out.bossHealth = CurrentLevel.Mission == mission_boss_1 ? CurrentLevel.Boss.Health : 0;
        out.levelScore = Player.LevelScore;
        return stages->ButtonsVisible();
    };
    const ReplayResult result = RunReplay(rs);
    out.started = started;
    out.ran = result.ok && started;
    out.error = started ? result.error : "the level did not start";
    out.ticks = result.ticks;
    out.moves = player.Moves();
    const auto bytes = ReadWholeFile(home + "/Profiles/t.sav");
    if (bytes)
        out.profileRead =
            ProfileFromBytes(bytes->data(), bytes->size(), LevelsList.size(), out.profile);
    return out;
}

} // namespace bw
