// One parsed level: the record TLevel_Data, the level file reader and the levels list.
//
// Board-shaped data is an 18 x 18 grid indexed [pX][pY] (column first, row second). Rows and
// columns 0 and 17 are a border that never holds a playable cell; the reader keeps them 0, so
// every neighbour of a playable cell is inside the grid.
//
// Arrays whose entries belong to numbered things (bird kinds) are indexed by that number;
// entry 0 is unused.
#pragma once

#include "audio/LevelMusic.h"
#include "render/Types.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace bw {

class TKilnArchive;
class TXMLNode;

inline constexpr int BoardGridSize = 18;
inline constexpr int FirstPlayableCell = 1;
inline constexpr int LastPlayableCell = 16;

// Grid[pX][pY].
using LevelGrid = std::array<std::array<int32_t, BoardGridSize>, BoardGridSize>;

inline constexpr bool IsPlayableCell(int pX, int pY) {
    return pX >= FirstPlayableCell && pX <= LastPlayableCell && pY >= FirstPlayableCell &&
           pY <= LastPlayableCell;
}

enum TMissionName : uint8_t {
    mission_nil = 0,       // ordinary level
    mission_nestlings = 1, // free every caged nestling
    mission_boss_1 = 2,    // defeat the boss
};

// The twelve kinds of level task (LevelTasks.h tells how each is judged).
enum LevelTaskKind : int32_t {
    TaskTime = 1,
    TaskMoves = 2,
    TaskNoNewBirds = 3,
    TaskBirdKind = 4,
    TaskWalls = 5,
    TaskBound = 6,
    TaskCats = 7,
    TaskNoBonuses = 8,
    TaskScore = 9,
    TaskClear = 10,
    TaskCombo = 11,
    TaskCrows = 12,
};

struct TLevelTask {
    int32_t Index = 0;           // 1..12 (LevelTasks.h)
    int32_t Value = 0;           // the target
    int32_t AdditionalValue = 0; // the bird kind of tasks 4 and 11
};

// Probability: percent per attempt; MaxAtOneTime: attempts per turn; MaxAtLevel: how many may
// stand on the board at once.
struct TBoundedBirdsGeneration {
    int32_t Probability = 0;
    int32_t MaxAtOneTime = 0;
    int32_t MaxAtLevel = 0;
};
struct TCrowsGeneration {
    int32_t Probability = 0;
    int32_t MaxAtOneTime = 0;
    int32_t MaxAtLevel = 0;
};
struct TWallGeneration {
    int32_t Probability = 0;
    int32_t MaxAtOneTime = 0;
    int32_t MaxAtLevel = 0;
};

struct TBossData {
    int32_t Kind = 0;
    TPoint Pos; // cell of the boss
    int32_t Health = 0;
};

struct TCatMusicEvent_data {
    std::string Name;
    int32_t Index = 0;
    bool ReturnPrevMusic = false;
    int32_t Time = 0;
};

struct TLevelData_Cat {
    int32_t Kind = 0;
    int32_t Count = 0;
    bool Droped = false; // used up during play; always false after loading
    bool Shadow = false;
    bool Infinite = false;
    int32_t Random = 0;
    TPoint Pos;
    std::string Cond_name;
    int32_t Cond_value = 0;
    std::string Event_name;
    int32_t Event_value = 0;
    TCatMusicEvent_data Music_event;
};

struct TLevel_Data {
    std::string FileName; // file name part of the key last loaded
    TLevelMusic Music;
    TMissionName Mission = mission_nil;
    TLevelTask Task;
    int32_t NestlingsMaxCommon = 0; // caged nestlings placed by the file
    LevelGrid Map{};                // cell codes
    LevelGrid Birds{};              // object codes
    std::array<int32_t, 9> Kinds{}; // weight per bird kind 1..8; entry 0 unused
    int32_t CatsMaxCommon = 0;      // cat entries plus cats placed on the board
    std::vector<TLevelData_Cat> Cats;
    int32_t GenerateBirdsCount = 0; // eggs laid after a move without a match
    TBoundedBirdsGeneration BoundedBirds;
    TCrowsGeneration Crows;
    TWallGeneration Walls_1;
    TWallGeneration Walls_2;
    TBossData Boss;
};

// The level being played.
extern TLevel_Data CurrentLevel;

// ---- Cell codes (Map) ----------------------------------------------------------------------

enum CellCodeKind : uint8_t {
    cellkind_None,       // 0: no cell here
    cellkind_Ordinary,   // 1, 2 and every other value above 0 not listed below
    cellkind_OneWay,     // 21..24: entered only moving in direction code - 20
    cellkind_OpenGate,   // 31..39: open gate with counter code - 30
    cellkind_ClosedGate, // 41..49: closed gate with counter code - 40
};

CellCodeKind ClassifyCellCode(int32_t code);
// Direction 1 up, 2 right, 3 down, 4 left for a one-way cell; 0 for any other code.
int OneWayCellDirection(int32_t code);
// The counter of a gate cell; 0 for any other code.
int GateCellCounter(int32_t code);

// ---- Object codes (Birds) ------------------------------------------------------------------

inline constexpr int32_t ObjectCrow = 9;
inline constexpr int32_t ObjectBoundedCrow = 19;
inline constexpr int32_t ObjectKey = 71;
inline constexpr int32_t ObjectRandomBoundedBird = 98;
inline constexpr int32_t ObjectRandomBird = 99;

enum ObjectCodeKind : uint8_t {
    objkind_None,              // 0
    objkind_Bird,              // 1..8: a bird of that kind (7 and 8 only from random kinds)
    objkind_Crow,              // 9
    objkind_BoundedBird,       // 10..18: a bounded bird of kind code - 10
    objkind_BoundedCrow,       // 19
    objkind_Cat,               // 21..25
    objkind_Bonus,             // 41..45
    objkind_Wall,              // 51, 52: strength code - 50
    objkind_Nestling,          // 61..63: caged, code - 60 chains
    objkind_Key,               // 71
    objkind_RandomBoundedBird, // 98
    objkind_RandomBird,        // 99
    objkind_Unknown,           // anything else
};

ObjectCodeKind ClassifyObjectCode(int32_t code);

// The board code of a cat entry's Kind: 1..5 stand for the cats 21..25, and 21..25 are taken
// as they are; 0 for anything else (the game never places such an entry).
int32_t CatEntryCode(int32_t kind);

// ---- Reading ------------------------------------------------------------------------------

// The most pieces a 16 x 16 board holds: the ceiling of every count that drives a loop
// (generation attempts and limits, new birds per turn, cats of an entry).
inline constexpr int32_t MaxLevelPieces = 16 * 16;

// Every run of the digits 0..9 is one number; any other character only ends a run (so there
// are no negative numbers and every separator works). A run too long for 32 bits saturates.
std::vector<int32_t> ParseIntegerList(std::string_view text);

// Clears the board grids, the mission, the nestling and cat counts, the kind weights, the
// bird generation count and the cat entries. FileName, Music, Task, the bounded bird, crow and
// wall generation and the boss are kept: a level file that does not name them carries them
// over from the level read before.
void ClearLevelData(TLevel_Data& data);

// Reads the record Key of the archive into Data (after ClearLevelData). True when the file
// had a "settings", "map" or "objects" section. A missing or damaged record leaves the data
// cleared.
bool LoadLevelFile(std::string_view key, TKilnArchive* archive, TLevel_Data& data);
// The same from a plain file (development builds).
bool LoadLevelFileFromDisk(const std::string& fileName, TLevel_Data& data);
// The same from XML text; Key only supplies FileName.
bool LoadLevelFromText(std::string_view text, std::string_view key, TLevel_Data& data);
// The same from a parsed tree (null reads as a missing file).
bool LoadLevelFromTree(const TXMLNode* root, std::string_view key, TLevel_Data& data);

// ---- Levels list --------------------------------------------------------------------------

struct TLevelListElement {
    int32_t Location = 0;
    std::string FileName; // level file name without extension
    TPoint MapCoord;      // marker position on the level map
};
using TLevelsList = std::vector<TLevelListElement>;

// All levels; a level is identified by its index, counted from 0.
extern TLevelsList LevelsList;

inline constexpr char LevelsArchiveName[] = "tData_Levels.dan";
inline constexpr char LevelsListArchiveName[] = "tData_Common.dan";
inline constexpr char LevelsListKey[] = "Levels.xml";

// Reads "Levels.xml" from the archive. A missing record, or a root that is not "levels",
// leaves the list as it was and returns false.
bool LoadLevelsList(std::string_view key, TKilnArchive* archive, TLevelsList& list);
bool LoadLevelsListFromDisk(const std::string& fileName, TLevelsList& list);
bool LoadLevelsListFromTree(const TXMLNode* root, TLevelsList& list);

} // namespace bw
