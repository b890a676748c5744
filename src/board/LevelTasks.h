// The twelve level tasks: how each is judged while the level is played ("live") and when it
// ends ("final"), and what the task panel shows. The judgement is a pure function of the
// player's level counters and a summary of the board, so the task panel, the level result and
// the profile bookkeeping all reach the same verdict.
//
//  1 time      LevelTime <= Value                 7 cats     LevelCatsMatched >= Value
//  2 moves     LevelMoves <= Value                8 bonuses  no bonus used
//  3 newbirds  no bird generated                  9 score    LevelScore >= Value
//  4 bird      birds of kind AV matched <= Value 10 clear    free-cell percentage >= Value
//  5 walls     no wall left                      11 combo    combo of kind AV reaches Value
//  6 bound     no bounded bird left              12 crows    no crow left
#pragma once

#include "board/LevelData.h"

#include <array>
#include <cstdint>
#include <string>

namespace bw {

enum TaskStatus : uint8_t {
    task_Open = 0, // not decided yet
    task_Completed = 1,
    task_Failed = 2,
};

// The counters of the active player that the tasks look at.
struct TaskCounters {
    int32_t LevelTime = 0;
    int32_t LevelMoves = 0;
    int32_t LevelBirdsGenerated = 0;
    std::array<int32_t, 10> LevelBirdsMatched{}; // per bird kind 1..9; entry 0 unused
    int32_t LevelCatsMatched = 0;
    int32_t LevelBonusesUsed = 0;
    int32_t LevelScore = 0;
    int32_t ComboColor = 1; // LevelBirdsCombos
    int32_t ComboCount = 0;
};

// Counts over the playable cells 1..16 x 1..16 of the board.
struct BoardTaskSummary {
    int32_t Walls = 0;        // visible walls of any strength
    int32_t BoundedBirds = 0; // visible bounded birds
    int32_t Crows = 0;        // visible crows
    int32_t Cells = 0;        // existing, visible cells
    // Cells holding a visible bird, a cat, a caged nestling, a bonus, a wall of strength above
    // 0 or a key.
    int32_t OccupiedCells = 0;
};

struct TaskJudgement {
    TaskStatus Status = task_Open;
    std::string Text; // progress text of the task panel
    std::string Icon; // image key of the task panel icon; empty for an unknown task
};

// Percentage of free cells: 100 - occupied * 100 / cells to the nearest whole number. A board
// without cells is 0 % free, a board with cells but nothing on them 100 %.
int32_t FreeCellPercent(const BoardTaskSummary& board);

// Final = false judges during play (completed or failed as soon as it is certain, otherwise
// open); final = true judges a finished level (completed or failed, never open).
TaskStatus JudgeTask(const TLevelTask& task, const TaskCounters& counters,
                     const BoardTaskSummary& board, bool final);

std::string TaskPanelText(const TLevelTask& task, const TaskCounters& counters,
                          const BoardTaskSummary& board);
std::string TaskPanelIcon(const TLevelTask& task);

TaskJudgement JudgeLevelTask(const TLevelTask& task, const TaskCounters& counters,
                             const BoardTaskSummary& board, bool final);

// Seconds as minutes and seconds, at least two digits each: 125 -> "02:05". Negative values
// show as "00:00".
std::string FormatMinutesSeconds(int32_t seconds);

// Text database keys of the task description ("result_task_" + index) and of the colour name
// that tasks 4 and 11 insert (empty for other tasks or a kind outside 1..6).
std::string TaskDescriptionKey(const TLevelTask& task);
std::string TaskColorKey(const TLevelTask& task);

} // namespace bw
