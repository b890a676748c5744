// The board in play: one grid of sprites per kind of occupant, built from the current level on
// the current location, and the turn flow. A move is a bird flying along a path; on arrival
// the board looks for groups of three or more; a move without a match ends the turn (eggs
// hatch, new eggs are laid, bounded birds, crows and walls appear, gates count down). Nothing
// waits: the flying, hatching and vanishing sprites call back into the board from their own
// per-tick updates.
#pragma once

#include "Engine/KilnSprite/KilnSprite.h"
#include "board/BoardActors.h"
#include "board/BoardHost.h"
#include "board/BoardTypes.h"
#include "board/LevelTasks.h"
#include "board/MatchFinder.h"
#include "board/PathFinder.h"
#include "render/Types.h"

#include <string>
#include <typeinfo>
#include <unordered_map>
#include <vector>

namespace bw {

class TSprite;
class TAnimatedSprite;
class TLevelSprite;
class TWallSprite;
class TGateSprite;
class TBirdSprite;
class TDragedBird;

// ---- Grids -----------------------------------------------------------------------------------
// An entry is null where the level has no cell; for every existing cell each grid holds a
// sprite that is invisible while the cell holds no such occupant. Walls exist only when the
// location has a wall picture.

extern BoardGrid<TLevelSprite*> BoardCells;
extern BoardGrid<TBirdSprite*> BoardBirds;
extern BoardGrid<TWallSprite*> BoardWalls;
extern BoardGrid<TGateSprite*> BoardGates;
// Filled by the cats, nestlings, keys and bonuses once they exist; null until then.
extern BoardGrid<TAnimatedSprite*> BoardCats;
extern BoardGrid<TAnimatedSprite*> BoardNestlings;
extern BoardGrid<TAnimatedSprite*> BoardKeys;
extern BoardGrid<TAnimatedSprite*> BoardBonuses;

// ---- State of play ---------------------------------------------------------------------------

extern TDragedBird* DragedBird; // the bird under the pointer; source (-1, -1) when none
extern TCoord2 HoverCell;       // lit this tick, (-1, -1) when none
extern bool DragStartHandled;   // the current press was examined for picking something up
extern bool ReleaseHandled;     // the release happened over an acceptable cell
extern bool BoardChanged;       // a match or a caught cat: the path preview is recomputed
extern bool BoardLost;          // the board filled up; it takes no more input

// The pointer as the board sees it, in design coordinates.
struct BoardPointerState {
    TPoint2 Pos;
    bool ButtonDown = false; // the left button went down over the board and is held
    bool Released = false;   // only while a release is handled
};
extern BoardPointerState BoardPointer;

// A floating cell (water layouts, the river's patterns 4 to 6) dips under whoever steps onto
// it; other cells and missing ones stay as they are.
void DipFloatingCell(TCoord2 cell);

// The sprite all board sprites are created under (the main sprite engine in the game).
TSprite* BoardParent();
void SetBoardParent(TSprite* parent);

// Whether `sprite` is a T (or of a subclass). The answer depends only on the sprite's class,
// so the checked cast runs once per class: the board looks for its moving sprites among all
// of the engine's several times a tick, and casting each of them every time cost more than
// the tick's rules.
template <class T> bool IsSpriteOf(TSprite* sprite) {
    static std::unordered_map<const std::type_info*, bool> known;
    const std::type_info* type = &typeid(*sprite);
    auto it = known.find(type);
    if (it == known.end()) it = known.emplace(type, dynamic_cast<T*>(sprite) != nullptr).first;
    return it->second;
}

// The living board sprites of class T (and its subclasses), in the parent's order.
template <class T> std::vector<T*> BoardSpritesOf() {
    std::vector<T*> found;
    if (!BoardParent()) return found;
    for (TSprite* sprite : BoardParent()->Items()) {
        if (!IsSpriteOf<T>(sprite)) continue;
        auto* t = static_cast<T*>(sprite);
        if (!t->FDeaded) found.push_back(t);
    }
    return found;
}

// The centre of the cell at `c`; the origin when no cell stands there.
TPoint2 CellCentre(TCoord2 c);

// Where the location and level records come from; null archives mean loose files only.
struct BoardRecordSources {
    class TKilnArchive* Locations = nullptr;
    class TKilnArchive* Levels = nullptr;
};
BoardRecordSources& BoardSources();

// ---- Level lifecycle -------------------------------------------------------------------------

// Why entry `levelIndex` of LevelsList cannot be played: no such entry, or its location (when
// a board parent is set) or level file is not found, cannot be read, does not parse or is not
// of its kind; each naming the archive and the key. Empty when it can be played.
std::string LevelStartProblem(int levelIndex);
// LevelStartProblem, logged ("Level N not started: ..."); true when there is none.
bool CanStartLevel(int levelIndex);
// Plays entry `levelIndex` (0-based) of LevelsList: applies the location, loads the level,
// builds the board and lays the first eggs. A level that cannot be played is logged and not
// started: false, and nothing is changed. When the location's pictures must first be read
// behind a loading screen, only the level index and counters are set (true); leaving that
// screen calls it again.
bool StartLevel(int levelIndex);
// Builds the board from CurrentLevel on the current location (part of StartLevel).
void BuildBoard();
// Frees every board sprite. Safe to call twice.
void UnloadBoard();
// Lets go of every board sprite without freeing it (the engine that owns them is going).
void ForgetBoard();
// LeaveLocation, UnloadBoard and StartLevel with the same index; false, with the level left
// as it is, when it cannot be played again.
bool RestartLevel();
// The next entry of the list; false after the last level or when the next one cannot be
// played (the current one then stays).
bool NextLevel();

// ---- Input -----------------------------------------------------------------------------------

// The cell under the pointer: the visible cell nearest to it whose centre lies within the
// location's collide box; (-1, -1) when none.
TCoord2 CellAtMouse(TPoint2 mouse);
// Hover, press and release handling; called on press, on release and once per tick.
void BoardInput();
// The whole release: runs BoardInput with Released set and cancels what it did not accept.
void BoardRelease();
// Drops whatever is dragged (a bird, a bonus or a key) and puts it back.
void CancelDrag();
bool SomethingDragged();
// The cell of the dragged bird, bonus or key; (-1, -1) when nothing is dragged.
TCoord2 DraggedSource();

// ---- Moves and turns -------------------------------------------------------------------------

// A move of `kind` along `path` (source first). Counts the move.
void StartBirdMove(const TCoords2Array& path, int kind);
// A flying bird reached the last cell of its path.
void BirdArrived(TCoord2 target, int kind);
void ResolveMatch(const TBirdsGroups& groups, bool playerMove, bool silent);
// Looks for groups and caught cats and resolves them (not a player move). True when anything
// was found.
bool RunMatchCheck();
void FinishTurn();
void HatchEggs();
void GrowWalls();
void LayEggs(int count);
void GenerateBoundedBirds();
void GenerateCrows();
void GenerateWalls();
void AdvanceGates();
void CloseGateOn(TCoord2 cell);
// Something lands on the cell: a bird there (freed first if tied) leaves as a group of one,
// not a combo; otherwise a bonus lying there goes off.
void RemoveOccupantAt(TCoord2 cell);
void HitWall(TCoord2 cell);
// The location number of the level being played (0 when none).
int CurrentLocationNumber();
// The particle step of the location's step effects.
float LocationEffectSpeed();
// The splinter picture of a destroyed wall in a location.
std::string WallSplinterImage(int location);
bool IsBoardFull();
void CheckBoardEmpty();
// Free cells for new occupants, pX ascending then pY ascending.
TCoords2Array FindFreeCells();
// The targets of everything that is on its way to a cell.
TCoords2Array ReservedCells();
bool IsReserved(TCoord2 cell);

// The kind of a new bird by the level's weights.
int WeightedRandomKind();
// The kind of a random bird placed at start (object codes 98 and 99): differs from its
// neighbours in the level grid where possible.
int StartRandomKind(int x, int y);

// The board as the path and match searches see it.
BoardSnapshot TakeBoardSnapshot();

// ---- The outcome -------------------------------------------------------------------------------

// The delay before the won result: the level scene takes 0.1 from it per tick.
inline constexpr float PendingResultDelay = 5.0f;
// A mission was accomplished: LevelFinished or a pending won result. No board-full check
// loses the level afterwards.
bool MissionDecided();
// The pending win, armed by the mission that was accomplished next to FinishLevel:
// ResultDelayActive with ResultDelay of PendingResultDelay; the level scene counts it down
// and shows the won result. False, and nothing armed, when the level was decided before
// (the board filled up, or a result is already pending or shown): the first outcome stands.
bool ArmResultDelay();
// A bonus or key was put down on the cell: the bird slot is emptied and reset, and a small
// wall there is gone.
void ClearCellForArrival(TCoord2 c);
// The mission was accomplished: the board takes no more input (LevelFinished), whatever the
// player holds goes back, and the host folds its pop-up and stops the clock. The won result
// follows once the winning animation has run (the host's LevelWon).
void LockBoardForWin();
// The counts that tasks 5, 6, 10 and 12 look at, over the playable cells of the board.
BoardTaskSummary BoardTaskCounts();

} // namespace bw
