// The board as JSON, for the replay harness's state dumps and for tests: the level counters
// the dragged bird, bonus or key, the flying birds, the reserved cells and, for every existing
// cell, its map code, bird, wall and gate.
#pragma once

#include <string>

namespace bw {

// One JSON object (no trailing newline); "null" when no board is built.
std::string BoardStateJson();

// The level task as judged during play now: "open", "completed" or "failed"; null when no
// board is built.
const char* LevelTaskStatus();

} // namespace bw
