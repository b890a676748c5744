// The level's score and counters in the active player's record: what a level in play adds
// to them, how the shown score follows the real one, and what the task judgement sees.
#pragma once

#include "base/Player.h"
#include "board/LevelTasks.h"

#include <cstdint>

namespace bw {

// A new level's counters (the task not yet completed, no score, no moves, the combo colour 1).
void ResetLevelCounters(TPlayer& player);
void ResetLevelCounters();
// LevelScore += Points (at least 0); the task panel hears of it through the board's host.
void AddLevelScore(int32_t points);
// One update of the displayed score TempScore towards LevelScore.
void AnimateDisplayedScore();
// The level counters as the task judgement sees them.
TaskCounters TaskCountersOf(const TPlayer& player);

} // namespace bw
