// The level scene: the board in play, inside the frame. Starts a level of the level list and
// serves the level's tick, the pointer on the board and its release, as the frame's Scene for
// scene_Level; the host of the board is this module too.
#pragma once

#include "base/Scene.h"

#include <memory>

namespace bw {

class BoardHost;

// Starts entry `levelIndex` (0-based) of the level list in the main engine and switches to
// the level scene. False when the level could not be loaded.
bool PlayLevel(int levelIndex);
// Whether entry `levelIndex` can start (its location and level file are there and readable);
// when not, the log says what is missing.
bool LevelCanStart(int levelIndex);

// The Scene that the wiring registers for scene_Level, and the host it installs for the board.
std::unique_ptr<Scene> MakeLevelScene();
BoardHost& LevelBoardHost();

} // namespace bw
