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

// Every live flying bird that has not arrived yet.
template <class F> void ForEachFlyingBird(F&& f) {
    if (!TheBoardParent) return;
    for (TSprite* sprite : TheBoardParent->Items()) {
        if (!IsSpriteOf<TMovedBirdSprite>(sprite)) continue;
        auto* flying = static_cast<TMovedBirdSprite*>(sprite);
        if (flying->Flying()) f(*flying);
    }
}

// A new level starts undecided.
void ResetResult() {
    ResultDelayActive = false;
    ResultDelay = 0.0f;
    LevelFinished = false;
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
