#include "board/Board.h"

#include "audio/SoundEngine.h"
#include "base/GameState.h"
#include "board/BirdSprites.h"
#include "board/BoardActors.h"
#include "board/BoardEffects.h"
#include "board/BoardHost.h"
#include "board/BoardSprites.h"
#include "board/LevelData.h"
#include "board/LevelFindings.h"
#include "board/LevelScore.h"
#include "board/Location.h"
#include "board/LocationLayout.h"
#include "board/PathPreview.h"
#include "data/KilnArchive.h"
#include "data/XmlLoad.h"
#include "platform/Log.h"
#include "platform/Random.h"

#include <algorithm>

namespace bw {

BoardGrid<TLevelSprite*> BoardCells{};
BoardGrid<TBirdSprite*> BoardBirds{};
BoardGrid<TWallSprite*> BoardWalls{};
BoardGrid<TGateSprite*> BoardGates{};
BoardGrid<TAnimatedSprite*> BoardCats{};
BoardGrid<TAnimatedSprite*> BoardNestlings{};
BoardGrid<TAnimatedSprite*> BoardKeys{};
BoardGrid<TAnimatedSprite*> BoardBonuses{};

TDragedBird* DragedBird = nullptr;
TCoord2 HoverCell = NoCell;
bool DragStartHandled = false;
bool ReleaseHandled = false;
bool BoardChanged = false;
bool BoardLost = false;
BoardPointerState BoardPointer;

namespace {

TSprite* TheBoardParent = nullptr;

constexpr int MatchScore = 15;
constexpr int RemovalZ = 5000;

bool Holds(const TCoords2Array& cells, TCoord2 c) {
    return std::find(cells.begin(), cells.end(), c) != cells.end();
}

template <class T> T* At(const BoardGrid<T*>& grid, TCoord2 c) {
    if (c.x < 0 || c.y < 0 || c.x >= BoardGridSize || c.y >= BoardGridSize) return nullptr;
    return grid[c.x][c.y];
}

bool Visible(const TSprite* sprite) {
    return sprite && sprite->FVisible && !sprite->FDeaded;
}

// Every live flying bird that has not arrived yet.
template <class F> void ForEachFlyingBird(F&& f) {
    if (!TheBoardParent) return;
    for (TSprite* sprite : TheBoardParent->Items()) {
        auto* flying = dynamic_cast<TMovedBirdSprite*>(sprite);
        if (flying && flying->Flying()) f(*flying);
    }
}

int FlyingBirdCount() {
    int count = 0;
    ForEachFlyingBird([&](TMovedBirdSprite&) { ++count; });
    return count;
}

void LevelLost() {
    if (BoardLost) return;
    BoardLost = true;
    CancelDrag();
    WriteLog("Level lost: the board is full", 1);
    Host().LevelLost();
}

// A decided mission is never lost afterwards: the first outcome wins.
void CheckBoardFullAfterGeneration() {
    if (MissionDecided() || Host().ResultShown()) return;
    if (IsBoardFull()) LevelLost();
}

// A new level starts undecided.
void ResetResult() {
    ResultDelayActive = false;
    ResultDelay = 0.0f;
    LevelFinished = false;
}

// Successes of `attempts` draws of Chance(percent).
int CountSuccesses(int attempts, int percent) {
    int n = 0;
    for (int i = 0; i < attempts; ++i)
        if (Chance(percent, 100)) ++n;
    return n;
}

int CountBirds(bool (*pick)(const TBirdSprite&)) {
    int count = 0;
    for (int x = 0; x < BoardGridSize; ++x)
        for (int y = 0; y < BoardGridSize; ++y)
            if (BoardBirds[x][y] && pick(*BoardBirds[x][y])) ++count;
    return count;
}

// The cells a generation rule fills this turn: `attempts` draws of Chance(percent), no more
// than the ceiling leaves room for beside the `existing` ones, taken from the shuffled free
// cells. Bounded birds, crows and walls all appear this way.
TCoords2Array ChooseGeneratedCells(TCoords2Array& free, int attempts, int percent, int ceiling,
                                   int existing) {
    if (free.empty() || existing >= ceiling) return {};
    const int wanted = CountSuccesses(attempts, percent);
    ShuffleCoords(free);
    const int n = std::min({ceiling - existing, wanted, static_cast<int>(free.size())});
    return TCoords2Array(free.begin(), free.begin() + n);
}

void PlaceWalls(TCoords2Array& free, int strength, const TWallGeneration& rule, int existing) {
    for (const TCoord2 c : ChooseGeneratedCells(free, rule.MaxAtOneTime, rule.Probability,
                                                rule.MaxAtLevel, existing)) {
        TWallSprite* wall = At(BoardWalls, c);
        if (!wall) continue;
        wall->FStrength = static_cast<uint8_t>(strength);
        wall->UpdatePicture();
        wall->FVisible = true;
        wall->FSmall = true;
        wall->FScaleX = wall->FScaleY = 0.0f;
        wall->FAnimStage = 1;
    }
}

} // namespace

TPoint2 CellCentre(TCoord2 c) {
    const TLevelSprite* cell = IsPlayableCell(c) ? BoardCells[c.x][c.y] : nullptr;
    return cell ? cell->FCenter : TPoint2{};
}

TSprite* BoardParent() {
    return TheBoardParent;
}

void SetBoardParent(TSprite* parent) {
    TheBoardParent = parent;
}

BoardRecordSources& BoardSources() {
    static BoardRecordSources sources;
    return sources;
}

// ---- Snapshot and cell queries ------------------------------------------------------------------

BoardSnapshot TakeBoardSnapshot() {
    BoardSnapshot s;
    for (int x = 0; x < BoardGridSize; ++x) {
        for (int y = 0; y < BoardGridSize; ++y) {
            if (const TLevelSprite* cell = BoardCells[x][y]) {
                s.Cells[x][y] = CellState{true, cell->FVisible, cell->FArrow};
            }
            if (const TBirdSprite* bird = BoardBirds[x][y]) {
                s.Birds[x][y] = BirdState{bird->FVisible, bird->FKind, bird->FBounded,
                                          bird->FSmallBounded, bird->FEgg};
            }
            if (const TWallSprite* wall = BoardWalls[x][y]) {
                s.Walls[x][y] = WallState{wall->FVisible, wall->FSmall};
            }
            if (const TGateSprite* gate = BoardGates[x][y]) {
                s.Gates[x][y] = GateState{gate->FVisible, gate->FOpened, gate->FAnimating};
            }
        }
    }
    ForEachFlyingBird([&](TMovedBirdSprite& bird) {
        s.FlyingBirdTargets.push_back(bird.Destination());
        s.Reserved.push_back(bird.Destination());
    });
    if (DragedBird && DragedBird->InUse()) {
        s.Dragged = drag_Bird;
    } else if (const LiftedObject bonus = Actors().LiftedBonus(); bonus.InUse()) {
        s.Dragged = drag_Bonus;
        s.DraggedBonusKind = bonus.Kind;
    } else if (Actors().LiftedKey().InUse()) {
        s.Dragged = drag_Key;
    }
    s.ResultShown = Host().ResultShown();
    Actors().AddToSnapshot(s);
    return s;
}

TCoords2Array ReservedCells() {
    return TakeBoardSnapshot().Reserved;
}

bool IsReserved(TCoord2 cell) {
    return TakeBoardSnapshot().IsReserved(cell);
}

namespace {

// A cell that could take a new occupant if nobody were on the way to it.
bool OpenForNewOccupant(const BoardSnapshot& s, TCoord2 c) {
    const CellState& cell = s.Cells[c.x][c.y];
    if (!cell.Exists || !cell.Visible || cell.Arrow != 0) return false;
    if (s.Walls[c.x][c.y].Visible) return false;
    const BirdState& bird = s.Birds[c.x][c.y];
    if (bird.Visible || bird.Egg) return false;
    const CatState& cat = s.Cats[c.x][c.y];
    if (cat.Visible || cat.NewShadow) return false;
    if (s.Nestlings[c.x][c.y] || s.Keys[c.x][c.y]) return false;
    if (s.Bonuses[c.x][c.y].Visible && s.Bonuses[c.x][c.y].BonusStatus == 0) return false;
    if (s.IsBossAt(c)) return false;
    return true;
}

} // namespace

TCoords2Array FindFreeCells() {
    const BoardSnapshot s = TakeBoardSnapshot();
    TCoords2Array free;
    for (int x = 1; x <= 16; ++x) {
        for (int y = 1; y <= 16; ++y) {
            const TCoord2 c{x, y};
            if (!OpenForNewOccupant(s, c)) continue;
            if (s.Gates[x][y].Visible) continue;
            if (s.IsReserved(c)) continue;
            free.push_back(c);
        }
    }
    return free;
}

bool IsBoardFull() {
    const BoardSnapshot s = TakeBoardSnapshot();
    for (int x = 1; x <= 16; ++x)
        for (int y = 1; y <= 16; ++y)
            if (OpenForNewOccupant(s, TCoord2{x, y}) && !s.Gates[x][y].Visible) return false;
    return true;
}

// ---- Random kinds -------------------------------------------------------------------------------

int WeightedRandomKind() {
    const int fallback = Random(6) + 1;
    int total = 0;
    for (int k = 1; k <= 6; ++k) total += std::max(0, CurrentLevel.Kinds[static_cast<size_t>(k)]);
    if (total <= 0) return fallback;
    const int r = Random(total) + 1;
    int upper = 0;
    for (int k = 1; k <= 6; ++k) {
        upper += std::max(0, CurrentLevel.Kinds[static_cast<size_t>(k)]);
        if (r <= upper) return k;
    }
    return fallback;
}

int StartRandomKind(int x, int y) {
    // Only the six bird kinds have pictures: weights given to kinds 7 and 8 are ignored.
    const auto neighbour = [&](int nx, int ny) {
        if (nx < 0 || ny < 0 || nx >= BoardGridSize || ny >= BoardGridSize) return 0;
        return CurrentLevel.Birds[nx][ny];
    };
    const int around[4] = {neighbour(x - 1, y), neighbour(x, y - 1), neighbour(x + 1, y),
                           neighbour(x, y + 1)};
    std::vector<int> candidates;
    std::vector<int> weighted;
    for (int k = 1; k <= 6; ++k) {
        if (CurrentLevel.Kinds[static_cast<size_t>(k)] <= 0) continue;
        weighted.push_back(k);
        const bool clash = std::any_of(std::begin(around), std::end(around),
                                       [k](int code) { return code == k || code == k + 10; });
        if (!clash) candidates.push_back(k);
    }
    if (candidates.empty()) candidates = weighted;
    if (candidates.empty()) return Random(6) + 1;
    return candidates[static_cast<size_t>(Random(static_cast<int>(candidates.size())))];
}

// ---- Building and unloading ---------------------------------------------------------------------

namespace {

// Lays the location's backing under a cell: its top layer under every cell, the layers below
// (the rim) only under cells at the board's edge, with one of their eight neighbours missing;
// inside the board the neighbours' top layers cover them.
void AddBacking(TLevelSprite& cell, const TLocationOptions& location, bool edge) {
    if (location.BackingImage.empty()) return;
    cell.backingOffset = TPoint2{location.BackingOffset.x * location.FMapElementsScale.x,
                                 location.BackingOffset.y * location.FMapElementsScale.y};
    const int top = location.BackingLayers - 1;
    for (int layer = edge ? 0 : std::max(0, top); layer <= top; ++layer) {
        auto* piece = new TAnimatedSprite(TheBoardParent);
        piece->SetImageName(location.BackingImage);
        piece->SetPatternIndex(layer);
        piece->FScaleX = location.FMapElementsScale.x;
        piece->FScaleY = location.FMapElementsScale.y;
        piece->SetZ(location.BackingZ + layer);
        cell.backing.push_back(piece);
    }
}

bool AtBoardEdge(const BoardGrid<bool>& built, int x, int y) {
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy)
            if (x + dx < 1 || y + dy < 1 || x + dx > 16 || y + dy > 16 || !built[x + dx][y + dy])
                return true;
    return false;
}

} // namespace

void BuildBoard() {
    const TLocationOptions& location = LocationOptions();
    const std::vector<CellPlacement> places = LayoutCells(location, CurrentLevel.Map);
    BoardGrid<bool> built{};
    for (const CellPlacement& place : places)
        if (place.Cell.x >= 1 && place.Cell.y >= 1 && place.Cell.x <= 16 && place.Cell.y <= 16)
            built[place.Cell.x][place.Cell.y] = true;
    for (const CellPlacement& place : places) {
        const int x = place.Cell.x;
        const int y = place.Cell.y;
        if (x < 1 || y < 1 || x > 16 || y > 16 || BoardCells[x][y]) continue;
        auto* cell = new TLevelSprite(TheBoardParent);
        cell->pX = x;
        cell->pY = y;
        cell->FKind = CurrentLevel.Map[x][y];
        cell->FArrow = place.Arrow;
        cell->SetImageName(location.FMapImage);
        cell->FAnimCount = location.FMapElementsAnimCount;
        cell->SetPatternIndex(place.Pattern);
        cell->FScaleX = location.FMapElementsScale.x;
        cell->FScaleY = location.FMapElementsScale.y;
        const size_t pattern = static_cast<size_t>(std::max(0, place.Pattern));
        const TPoint2 centre =
            pattern < location.FMapCentres.size() ? location.FMapCentres[pattern] : TPoint2{};
        cell->FCentreOffset = TPoint2{centre.x * location.FMapElementsScale.x,
                                      centre.y * location.FMapElementsScale.y};
        cell->FStartPos = place.Pos;
        cell->FTimecounter = static_cast<double>(x + y);
        cell->FFloating = CellFloats(location, place.Pattern);
        AddBacking(*cell, location, AtBoardEdge(built, x, y));
        cell->PlaceAt(place.Pos);
        cell->FLightSprite->SetImageName(location.FMapImage);
        cell->FLightSprite->SetPatternIndex(place.Pattern);
        cell->FLightSprite->FScaleX = cell->FScaleX;
        cell->FLightSprite->FScaleY = cell->FScaleY;
        cell->SetZ(CellZ(y));
        BoardCells[x][y] = cell;

        BoardBirds[x][y] = CreateCellBird(x, y);
        Actors().CreateCellActors(TCoord2{x, y});

        const int code = CurrentLevel.Birds[x][y];
        if (!location.FWallsImage.empty()) {
            auto* wall = new TWallSprite(TheBoardParent);
            wall->pX = x;
            wall->pY = y;
            wall->FStrength = code == 51 ? 1 : code == 52 ? 2 : 0;
            wall->FScaleX = location.FMapElementsScale.x;
            wall->FScaleY = location.FMapElementsScale.y;
            wall->UpdatePicture();
            wall->FVisible = wall->FStrength > 0;
            wall->UpdatePosition();
            wall->FStartPos = TPoint2{wall->FX, wall->FY};
            wall->SetZ(CellZ(y) + 4);
            BoardWalls[x][y] = wall;
        }

        auto* gate = new TGateSprite(TheBoardParent);
        gate->pX = x;
        gate->pY = y;
        const int mapCode = CurrentLevel.Map[x][y];
        if (mapCode >= 31 && mapCode <= 39) {
            gate->FOpened = true;
            gate->FMaxProgress = gate->FProgress = mapCode - 30;
            gate->SetImageName("gate_opened.image");
            gate->FVisible = true;
            gate->SetZ(CellZ(y));
        } else if (mapCode >= 41 && mapCode <= 49) {
            gate->FOpened = false;
            gate->FMaxProgress = gate->FProgress = mapCode - 40;
            gate->SetImageName("gate_closed.image");
            gate->FVisible = true;
            gate->SetZ(CellZ(y) + 4);
        } else {
            gate->FVisible = false;
            gate->SetZ(CellZ(y));
        }
        gate->UpdatePosition();
        gate->FStartPos = TPoint2{gate->FX, gate->FY};
        BoardGates[x][y] = gate;
    }
}

void UnloadBoard() {
    BoardChanged = false;
    const auto kill = [](auto& grid) {
        for (auto& column : grid) {
            for (auto*& sprite : column) {
                if (sprite && !sprite->FDeaded) sprite->Dead();
                sprite = nullptr;
            }
        }
    };
    for (auto& column : BoardCells) {
        for (TLevelSprite* cell : column) {
            if (!cell) continue;
            for (TAnimatedSprite* piece : cell->backing)
                if (!piece->FDeaded) piece->Dead();
            cell->backing.clear();
        }
    }
    kill(BoardCells);
    kill(BoardWalls);
    kill(BoardGates);
    kill(BoardBirds);
    kill(BoardCats);
    kill(BoardNestlings);
    kill(BoardKeys);
    kill(BoardBonuses);
    Actors().Clear();
    if (TheBoardParent) {
        for (TSprite* sprite : TheBoardParent->Items()) {
            if (sprite->FDeaded) continue;
            if (dynamic_cast<TMovedBirdSprite*>(sprite) || dynamic_cast<TKilledBirdSprite*>(sprite))
                sprite->Dead();
        }
    }
    if (DragedBird && !DragedBird->FDeaded) DragedBird->Dead();
    DragedBird = nullptr;
    ClearPathPreview();
    Effects().ClearAll();
    HoverCell = NoCell;
    DragStartHandled = false;
    ReleaseHandled = false;
    BoardLost = false;
}

void ForgetBoard() {
    const auto forget = [](auto& grid) {
        for (auto& column : grid)
            for (auto*& sprite : column) sprite = nullptr;
    };
    forget(BoardCells);
    forget(BoardWalls);
    forget(BoardGates);
    forget(BoardBirds);
    forget(BoardCats);
    forget(BoardNestlings);
    forget(BoardKeys);
    forget(BoardBonuses);
    Actors().Forget();
    DragedBird = nullptr;
    ForgetPathPreview();
    HoverCell = NoCell;
    BoardChanged = DragStartHandled = ReleaseHandled = BoardLost = false;
}

std::string LevelStartProblem(int levelIndex) {
    if (levelIndex < 0 || levelIndex >= static_cast<int>(LevelsList.size()))
        return "no level " + std::to_string(levelIndex + 1) + " in the level list";
    const TLevelListElement& entry = LevelsList[static_cast<size_t>(levelIndex)];
    auto from = [](TKilnArchive* archive) {
        return archive && !archive->FileName().empty() ? archive->FileName()
                                                       : std::string("(archive not open)");
    };
    TLocationOptions location;
    if (TheBoardParent) {
        TKilnArchive* archive = BoardSources().Locations;
        const std::string key = "location_" + std::to_string(entry.Location) + ".xml";
        const std::string problem = XmlRecordProblem(key, archive);
        if (!problem.empty()) return "location " + from(archive) + " | " + key + " " + problem;
        const auto tree = XMLFromArchive(key, archive);
        if (!ReadLocationOptions(tree.get(), key, location))
            return "location " + from(archive) + " | " + key + " is not a location file";
    }
    TKilnArchive* archive = BoardSources().Levels;
    const std::string key = entry.FileName + ".xml";
    const std::string problem = XmlRecordProblem(key, archive);
    if (!problem.empty()) return "level file " + from(archive) + " | " + key + " " + problem;
    TLevel_Data level;
    if (!LoadLevelFile(key, archive, level))
        return "level file " + from(archive) + " | " + key + " is not a level file";
    // A board without cells would be full before the first move: a lost game nobody played.
    if (!LevelHasCells(level))
        return "level file " + from(archive) + " | " + key +
               " has no cells (no <map>, or rows without Value)";
    const auto builtCell = [&](TCoord2 n) {
        for (int x = FirstPlayableCell; x <= n.x; ++x)
            for (int y = FirstPlayableCell; y <= n.y; ++y)
                if (level.Map[x][y] > 0) return true;
        return false;
    };
    if (TheBoardParent && !builtCell(LayoutSize(location))) {
        const TCoord2 size = location.FMapSize;
        return "location_" + std::to_string(entry.Location) + ".xml builds none of the cells of " +
               key + " (MapSize " + std::to_string(size.x) + " x " + std::to_string(size.y) + ")";
    }
    return {};
}

bool CanStartLevel(int levelIndex) {
    const std::string problem = LevelStartProblem(levelIndex);
    if (problem.empty()) return true;
    WriteLog("Level " + std::to_string(levelIndex + 1) + " not started: " + problem, 1);
    return false;
}

bool StartLevel(int levelIndex) {
    if (!CanStartLevel(levelIndex)) return false;
    const TLevelListElement& entry = LevelsList[static_cast<size_t>(levelIndex)];
    ResetResult();
    Player.Level = levelIndex;
    ResetLevelCounters();
    if (!Host().LoadLocation(entry.Location)) return true;

    if (TheBoardParent)
        ApplyLocation("location_" + std::to_string(entry.Location) + ".xml",
                      BoardSources().Locations, *TheBoardParent);

    ClearLevelData(CurrentLevel);
    const std::string key = entry.FileName + ".xml";
    const auto tree = XMLFromArchive(key, BoardSources().Levels);
    const bool loaded = LoadLevelFromTree(tree.get(), key, CurrentLevel);
    if (!loaded) WriteLog("StartLevel: level file \"" + key + "\" not loaded", 1);
    // What the game corrects or leaves out is said once, when the level starts.
    for (const std::string& finding : LevelFileFindings(tree.get(), CurrentLevel))
        WriteLog("Level " + std::to_string(levelIndex + 1) + " (" + key + "): " + finding, 1);

    BoardLost = false;
    if (TheBoardParent) {
        BuildBoard();
        if (!DragedBird) DragedBird = new TDragedBird(TheBoardParent);
        Actors().BoardBuilt();
    }
    Actors().Spawn();
    LayEggs(CurrentLevel.GenerateBirdsCount);
    GenerateBoundedBirds();
    GenerateCrows();
    GenerateWalls();
    if (CurrentLevel.Music.Count > 0) StartPlaylist(CurrentLevel.Music);
    Host().CreateInterface();
    BoardPointer.ButtonDown = false;
    DragStartHandled = false;
    return loaded;
}

bool RestartLevel() {
    if (!CanStartLevel(Player.Level)) return false; // the level on screen stays
    LeaveLocation();
    UnloadBoard();
    return StartLevel(Player.Level);
}

bool NextLevel() {
    if (Player.Level + 1 >= static_cast<int>(LevelsList.size())) return false;
    if (!CanStartLevel(Player.Level + 1)) return false;
    LeaveLocation();
    UnloadBoard();
    return StartLevel(Player.Level + 1);
}

// ---- Moves --------------------------------------------------------------------------------------

void StartBirdMove(const TCoords2Array& path, int kind) {
    Player.LevelMoves += 1;
    Host().RefreshTask(false);
    if (path.empty()) return;
    TBirdSprite* source = At(BoardBirds, path.front());
    if (path.size() >= 2 && TheBoardParent) {
        auto* flying = new TMovedBirdSprite(TheBoardParent);
        flying->FKind = kind;
        flying->pX = path.front().x;
        flying->pY = path.front().y;
        flying->FMovePath = path;
        flying->FMovesCount = static_cast<int>(path.size()) - 1;
        flying->FSpeed = FlightSpeed(flying->FMovesCount);
        flying->SetAnim(BirdMoveImage(kind), 0, pmForward, true, true, 0.2f, 16);
        if (source) {
            flying->FX = source->FX;
            flying->FY = source->FY;
        }
        flying->AimAt(1);
        const TCoord2 next = path[1];
        const TBirdSprite* nextSlot = At(BoardBirds, next);
        const int slotZ = nextSlot ? nextSlot->FZ : CellZ(next.y) + 3;
        flying->SetZ(next.y > path.front().y ? slotZ : slotZ + 3);
        SfxStopByName("sfx_bird_move.ogg");
        SfxLoopByName("sfx_bird_move.ogg", 0.4f + 0.6f * flying->FSpeed / 12.0f);
    }
    if (source) {
        source->FVisible = false;
        source->FLightSprite->FVisible = false;
        source->FEffect = beNormal;
    }
}

void BirdArrived(TCoord2 target, int kind) {
    // The arriving bird no longer counts as flying: the loop goes on while any other is.
    if (FlyingBirdCount() == 0) SfxStopByName("sfx_bird_move.ogg");
    Host().TutorialAllows(TutorialAction::Arrived, target);

    if (TBirdSprite* bird = At(BoardBirds, target)) {
        bird->FKind = kind;
        bird->FEgg = false;
        bird->FEggSprite->FVisible = false;
        bird->FEggSprite->FAnimStage = 0;
        bird->FEggSprite->FDoAnimate = false;
        bird->FBounded = false;
        bird->FSmallBounded = false;
        bird->FAnimStage = 0;
        bird->FScaleX = bird->FScaleY = 1.0f;
        bird->FGrowOffset = TPoint2{};
        bird->ShowIdle();
        bird->FEffect = beNormal;
        bird->SetAlpha(255);
        bird->FVisible = true;
        bird->SetZ(CellZ(target.y) + 3);
        TBirdSprite::UpdatePosition(*bird);
        bird->RebuildLight();
    }
    if (TWallSprite* wall = At(BoardWalls, target); wall && wall->FVisible && wall->FSmall) {
        wall->FVisible = false;
        wall->FStrength = 0;
        wall->FAnimStage = 0;
    }

    const TMatchResult result = FindMatches(TakeBoardSnapshot());
    if (!result.BirdsGroups.empty()) ResolveMatch(result.BirdsGroups, true, false);
    if (!result.Cats.empty()) Actors().Catch(result.Cats);
    if (result.BirdsGroups.empty() && result.Cats.empty()) {
        FinishTurn();
        AdvanceGates();
    }
}

bool RunMatchCheck() {
    const TMatchResult result = FindMatches(TakeBoardSnapshot());
    if (!result.BirdsGroups.empty()) ResolveMatch(result.BirdsGroups, false, false);
    if (!result.Cats.empty()) Actors().Catch(result.Cats);
    return !result.BirdsGroups.empty() || !result.Cats.empty();
}

void ResolveMatch(const TBirdsGroups& groups, bool playerMove, bool silent) {
    Actors().SetOffBonusesInGroups(groups);

    bool anyRemoved = false;
    bool anyUnbound = false;
    bool comboColourContinues = false;
    int firstKind = 0;
    for (const TBirdsMatchedGroups& group : groups) {
        if (group.Group.empty()) continue;
        const int d = 2000 / static_cast<int>(group.Group.size());
        for (size_t i = 0; i < group.Group.size(); ++i) {
            const TCoord2 c{group.Group[i].pX, group.Group[i].pY};
            TBirdSprite* bird = At(BoardBirds, c);
            if (!Visible(bird)) continue;
            if (DragedBird && DragedBird->InUse() && DragedBird->Source() == c) {
                CancelDrag();
                ReleaseHandled = true;
                ClearPathPreview();
            }
            if (bird->FBounded) {
                bird->FSmallBounded = false;
                TBirdSprite::UnBoundBird(*bird);
                anyUnbound = true;
                // Cats the freed bird now surrounds are caught at once; groups wait until
                // this match is done.
                const TMatchResult again = FindMatches(TakeBoardSnapshot());
                if (!again.Cats.empty()) Actors().Catch(again.Cats);
                continue;
            }
            if (!anyRemoved) firstKind = bird->FKind;
            if (Player.LevelBirdsCombos.Color == bird->FKind) comboColourContinues = true;
            const TPoint2 target{static_cast<float>(Random(d) + static_cast<int>(i) * d), -200.0f};
            StartBirdRemoval(bird->FKind, c.x, c.y, kbak_Match, target, RemovalZ, bird->FY,
                             bird->FX);
            bird->FVisible = false;
            bird->FLightSprite->FVisible = false;
            bird->FEffect = beNormal;
            AddLevelScore(MatchScore);
            anyRemoved = true;
        }
    }
    BoardChanged = true;

    if (playerMove) {
        Player.LevelBirdsAnyCombo += 1;
        Player.MaxCombo = std::max(Player.MaxCombo, Player.LevelBirdsAnyCombo);
        Host().CheckAward(AwardMaxCombo);
        if (anyRemoved) {
            if (!comboColourContinues) {
                Player.LevelBirdsCombos.Color = firstKind;
                Player.LevelBirdsCombos.Count = 1;
            } else {
                Player.LevelBirdsCombos.Count += 1;
            }
        }
    }
    if (anyRemoved && !silent) PlayBirdMatch();
    if (anyUnbound) {
        SfxByName("sfx_bird_unbound.ogg");
        RunMatchCheck();
    }
    if (CurrentLevel.Task.Index == TaskCombo) Host().RefreshTask(false);
}

// ---- End of turn --------------------------------------------------------------------------------

namespace {

// The first six steps of the end of turn: cats act, eggs hatch, walls grow, new eggs are laid
// and cats arrive.
void TurnRefill() {
    Actors().TakeTurn();
    HatchEggs();
    GrowWalls();
    LayEggs(CurrentLevel.GenerateBirdsCount);
    Actors().DropPendingCats();
    Actors().Spawn();
}

} // namespace

void FinishTurn() {
    if (BoardLost) return;
    TurnRefill();
    GenerateBoundedBirds();
    GenerateCrows();
    GenerateWalls();
}

void HatchEggs() {
    const TCoords2Array reserved = ReservedCells();
    bool anyHatching = false;
    for (int x = 1; x <= 16; ++x) {
        for (int y = 1; y <= 16; ++y) {
            const TLevelSprite* cell = BoardCells[x][y];
            TBirdSprite* bird = BoardBirds[x][y];
            if (!Visible(cell) || !bird || Holds(reserved, TCoord2{x, y})) continue;
            if (bird->FEgg && bird->FEggSprite->FAnimStage <= 1) {
                StartHatching(*bird);
                Player.LevelBirdsGenerated += 1;
                anyHatching = true;
            } else if (bird->FBounded && bird->FSmallBounded &&
                       (bird->FAnimStage == 1 || bird->FAnimStage == 2)) {
                bird->FAnimStage = 3;
                Player.LevelBirdsGenerated += 1;
            }
        }
    }
    if (anyHatching) SfxByName("sfx_growup.ogg");
    Host().RefreshTask(false);
}

void GrowWalls() {
    const TCoords2Array reserved = ReservedCells();
    for (int x = 1; x <= 16; ++x) {
        for (int y = 1; y <= 16; ++y) {
            TWallSprite* wall = BoardWalls[x][y];
            if (!Visible(wall) || !wall->FSmall) continue;
            if (wall->FAnimStage != 1 && wall->FAnimStage != 2) continue;
            if (Holds(reserved, TCoord2{x, y})) continue;
            wall->FSmall = false;
            wall->FAnimStage = 3;
        }
    }
}

void LayEggs(int count) {
    Player.LevelBirdsAnyCombo = 0;
    TCoords2Array free = FindFreeCells();
    ShuffleCoords(free);
    const int n = std::min(std::max(count, 0), static_cast<int>(free.size()));
    if (n > 0) SfxByName("sfx_new_objects.ogg");
    for (int i = 0; i < n; ++i)
        if (TBirdSprite* bird = At(BoardBirds, free[static_cast<size_t>(i)]))
            LayEgg(*bird, WeightedRandomKind());
    CheckBoardFullAfterGeneration();
}

void GenerateBoundedBirds() {
    const TBoundedBirdsGeneration& rule = CurrentLevel.BoundedBirds;
    if (rule.Probability <= 0 || rule.MaxAtOneTime <= 0) return;
    const int existing = CountBirds([](const TBirdSprite& b) { return b.FVisible && b.FBounded; });
    TCoords2Array free = FindFreeCells();
    for (const TCoord2 c : ChooseGeneratedCells(free, rule.MaxAtOneTime, rule.Probability,
                                                rule.MaxAtLevel, existing)) {
        TBirdSprite* bird = At(BoardBirds, c);
        if (!bird) continue;
        bird->FKind = WeightedRandomKind();
        bird->FEgg = false;
        bird->FBounded = true;
        bird->FSmallBounded = true;
        bird->FScaleX = bird->FScaleY = 0.0f;
        bird->SetAnim(BirdBoundedImage(bird->FKind), 0, pmForward, false, true, 0.0f, 1);
        bird->FAnimCount = 0;
        bird->FAnimStage = 1;
        bird->FVisible = true;
        bird->SetAlpha(255);
        bird->RebuildLight();
    }
}

void GenerateCrows() {
    const TCrowsGeneration& rule = CurrentLevel.Crows;
    if (rule.Probability <= 0 || rule.MaxAtOneTime <= 0) return;
    // Crow eggs count too, so that hatching never takes the crows above the ceiling.
    const int existing = CountBirds(
        [](const TBirdSprite& b) { return b.FKind == CrowKind && (b.FVisible || b.FEgg); });
    TCoords2Array free = FindFreeCells();
    for (const TCoord2 c :
         ChooseGeneratedCells(free, rule.MaxAtOneTime, rule.Probability, rule.MaxAtLevel, existing))
        if (TBirdSprite* bird = At(BoardBirds, c)) LayEgg(*bird, CrowKind);
    // Also when nothing was placed: the turn may have filled the board before the crows came.
    CheckBoardFullAfterGeneration();
}

void GenerateWalls() {
    const TWallGeneration& w1 = CurrentLevel.Walls_1;
    const TWallGeneration& w2 = CurrentLevel.Walls_2;
    if (w1.Probability <= 0 && w2.Probability <= 0) return;
    if (w1.MaxAtOneTime <= 0 && w2.MaxAtOneTime <= 0) return;
    if (LocationOptions().FWallsImage.empty()) return;
    int strength1 = 0;
    int strength2 = 0;
    for (int x = 0; x < BoardGridSize; ++x) {
        for (int y = 0; y < BoardGridSize; ++y) {
            const TWallSprite* wall = BoardWalls[x][y];
            if (!Visible(wall)) continue;
            if (wall->FStrength == 1) ++strength1;
            if (wall->FStrength == 2) ++strength2;
        }
    }
    TCoords2Array free = FindFreeCells();
    if (free.empty()) return;
    PlaceWalls(free, 1, w1, strength1);
    PlaceWalls(free, 2, w2, strength2);
}

void AdvanceGates() {
    for (int x = 0; x < BoardGridSize; ++x) {
        for (int y = 0; y < BoardGridSize; ++y) {
            TGateSprite* gate = BoardGates[x][y];
            if (!Visible(gate)) continue;
            gate->FProgress -= 1;
            if (gate->FProgress >= 1) continue;
            SfxRestartByName("sfx_gates.ogg");
            gate->FProgress = gate->FMaxProgress;
            gate->FOpened = !gate->FOpened;
            gate->StartToggleAnimation();
            if (!gate->FOpened) {
                CloseGateOn(TCoord2{x, y});
                gate->SetZ(CellZ(y) + 4);
                gate->SetAlpha(255);
            } else {
                gate->SetZ(CellZ(y));
            }
        }
    }
}

void CloseGateOn(TCoord2 cell) {
    RemoveOccupantAt(cell);
}

void RemoveOccupantAt(TCoord2 cell) {
    TBirdSprite* bird = At(BoardBirds, cell);
    if (Visible(bird)) {
        if (bird->FBounded) {
            bird->FSmallBounded = false;
            bird->FAnimStage = 0;
            TBirdSprite::UnBoundBird(*bird);
            bird->FScaleX = bird->FScaleY = 1.0f;
            bird->FGrowOffset = TPoint2{};
            TBirdSprite::UpdatePosition(*bird);
        }
        TBirdsMatchedGroups one;
        one.Group.push_back(TBirdForDestroy{cell.x, cell.y, bird->FKind});
        ResolveMatch(TBirdsGroups{one}, false, false);
        return;
    }
    const BoardSnapshot s = TakeBoardSnapshot();
    if (s.Bonuses[cell.x][cell.y].Visible && s.Bonuses[cell.x][cell.y].BonusStatus == 0)
        Actors().HitAt(cell);
}

int CurrentLocationNumber() {
    const int level = Player.Level;
    if (level < 0 || level >= static_cast<int>(LevelsList.size())) return 0;
    return LevelsList[static_cast<size_t>(level)].Location;
}

float LocationEffectSpeed() {
    static constexpr float speeds[] = {0.01f,  0.016f, 0.017f, 0.01f,  0.01f, 0.01f, 0.01f,
                                       0.015f, 0.016f, 0.01f,  0.017f, 0.01f, 0.02f, 0.025f};
    const int location = CurrentLocationNumber();
    return location >= 1 && location <= 14 ? speeds[location - 1] : 0.01f;
}

std::string WallSplinterImage(int location) {
    switch (location) {
    case 4:
        return "loc04_wall_1_exp1.image";
    case 5:
        return "loc05_wall_1_exp1.image";
    case 7:
        return "loc07_wall_1_exp1.image";
    case 8:
    case 9:
        return "loc08_wall_1_exp1.image";
    case 10:
        return "loc10_wall_1_exp1.image";
    case 11:
        return "loc11_wall_1_exp1.image";
    default:
        return "loc01_wall_1_exp1.image";
    }
}

namespace {

void WallBurst(TPoint2 centre) {
    BoardEffects::Flipbook burst;
    burst.Picture = "bonus_1_wall_exp_fx_1.image";
    burst.Pos = centre;
    burst.Scale = TPoint2{1.4f, 1.4f};
    burst.Blend = beAdd;
    burst.Centred = true;
    burst.Speed = 0.5f;
    burst.Patterns = 16;
    burst.Z = 5002;
    Effects().PlayFlipbook(burst);
}

void WallSplinters(TPoint2 centre) {
    const std::string picture = WallSplinterImage(CurrentLocationNumber());
    for (int i = 1; i <= 6; ++i) {
        BoardEffects::Splinter s;
        s.Picture = picture;
        s.Pos = centre;
        s.Target = TPoint2{centre.x + static_cast<float>(200 * i - 600), centre.y - 200.0f};
        s.Patterns = 4;
        s.FirstPattern = static_cast<float>(Random(4));
        s.Speed = -2.0 - 1.0 / (Random(15) + 1);
        s.SpeedUp = 0.25 + 0.5 / (Random(15) + 1);
        const float scale = 0.7f + 0.3f / static_cast<float>(Random(20) + 1);
        s.Scale = TPoint2{scale, scale};
        s.Z = 5000;
        Effects().DropSplinter(s);
    }
}

} // namespace

void HitWall(TCoord2 cell) {
    TWallSprite* wall = At(BoardWalls, cell);
    if (!Visible(wall)) return;
    const TLevelSprite* place = At(BoardCells, cell);
    const TPoint2 centre = place ? place->FCenter : TPoint2{wall->FX, wall->FY};
    if (wall->FStrength == 1) {
        Player.WallsDestroyed += 1;
        Host().CheckAward(AwardWallsDestroyed);
        SfxRestartByName("sfx_wall_destroy.ogg");
        AddLevelScore(70);
        wall->FVisible = false;
        wall->FStrength = 0;
        WallBurst(centre);
        WallSplinters(centre);
        if (CurrentLevel.Task.Index == TaskWalls) Host().RefreshTask(false);
    } else if (wall->FStrength == 2) {
        SfxRestartByName("sfx_wall_unblock.ogg");
        AddLevelScore(35);
        wall->FStrength = 1;
        WallBurst(centre);
        BoardEffects::Flipbook copy;
        copy.Picture = wall->FImageName;
        copy.Pos = TPoint2{wall->FX, wall->FY};
        copy.Scale = TPoint2{wall->FScaleX, wall->FScaleY};
        copy.Blend = beAdd;
        copy.Centred = false;
        copy.StillPattern = static_cast<float>(wall->FPatternIndex);
        copy.FadeSpeed = 7.0f;
        copy.Z = 5003;
        Effects().PlayFlipbook(copy);
        wall->UpdatePicture();
    }
}

void CheckBoardEmpty() {
    if (BoardLost || !TheBoardParent) return;
    if (Host().InputFrozen()) return;
    int count = 0;
    for (int x = 0; x < BoardGridSize; ++x) {
        for (int y = 0; y < BoardGridSize; ++y) {
            const TBirdSprite* bird = BoardBirds[x][y];
            if (!bird || bird->FDeaded) continue;
            if (bird->FVisible && !bird->FBounded && !bird->FEgg) ++count;
            if (bird->FEgg && bird->FEggSprite->FAnimStage > 1) ++count;
        }
    }
    if (count > 0) return;
    TurnRefill();
}

// ---- The outcome --------------------------------------------------------------------------------

bool MissionDecided() {
    return LevelFinished || ResultDelayActive;
}

bool ArmResultDelay() {
    // The first decided outcome wins: a board that filled up first stays lost, and a win
    // already pending or shown is not announced twice.
    if (BoardLost || ResultDelayActive || Host().ResultShown()) return false;
    ResultDelayActive = true;
    ResultDelay = PendingResultDelay;
    return true;
}

void ClearCellForArrival(TCoord2 c) {
    if (!IsPlayableCell(c)) return;
    if (TBirdSprite* bird = BoardBirds[c.x][c.y]) {
        bird->FScaleX = bird->FScaleY = 1.0f;
        bird->FGrowOffset = TPoint2{};
        TBirdSprite::UpdatePosition(*bird);
        bird->FEgg = false;
        bird->FEggSprite->FVisible = false;
        bird->FBounded = bird->FSmallBounded = false;
        bird->FAnimStage = 0;
        bird->FVisible = false;
    }
    if (TWallSprite* wall = BoardWalls[c.x][c.y]; wall && wall->FVisible) {
        wall->FVisible = false;
        wall->FStrength = 0;
    }
}

void LockBoardForWin() {
    Host().MissionAccomplished();
    LevelFinished = true;
    CancelDrag();
    ClearPathPreview();
}

BoardTaskSummary BoardTaskCounts() {
    const BoardSnapshot s = TakeBoardSnapshot();
    BoardTaskSummary sum;
    for (int x = 1; x <= 16; ++x) {
        for (int y = 1; y <= 16; ++y) {
            const BirdState& bird = s.Birds[x][y];
            const bool wall = s.Walls[x][y].Visible;
            const TWallSprite* wallSprite = BoardWalls[x][y];
            const bool strongWall = wall && wallSprite && wallSprite->FStrength > 0;
            sum.Walls += wall ? 1 : 0;
            sum.BoundedBirds += bird.Visible && bird.Bounded ? 1 : 0;
            sum.Crows += bird.Visible && bird.Kind == 9 ? 1 : 0;
            sum.Cells += s.Cells[x][y].Exists && s.Cells[x][y].Visible ? 1 : 0;
            sum.OccupiedCells += bird.Visible || s.Cats[x][y].Visible || s.Nestlings[x][y] ||
                                         s.Bonuses[x][y].Visible || strongWall || s.Keys[x][y]
                                     ? 1
                                     : 0;
        }
    }
    return sum;
}

void DipFloatingCell(TCoord2 at) {
    if (at.x < 0 || at.y < 0 || at.x >= static_cast<int>(BoardCells.size()) ||
        at.y >= static_cast<int>(BoardCells[0].size()))
        return;
    TLevelSprite* cell = BoardCells[static_cast<size_t>(at.x)][static_cast<size_t>(at.y)];
    const TLocationOptions& location = LocationOptions();
    if (cell && (location.FKind == lockind_Water_1 ||
                 (location.FKind == lockind_River_1 && cell->FPatternIndex >= 4)))
        cell->FAnimPosOffset = TPoint2{0.0f, 5.0f};
}

} // namespace bw
