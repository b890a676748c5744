// Connects the board to the frame: the level scene's tick, the pointer, the pictures a level
// needs, and starting a level.
#pragma once

namespace bw {

// Sets the frame hooks of the level scene (only those nobody set before).
void InstallLevelModule();
// Loads the pictures of the main archives once (the board pieces, effects and panels).
void LoadBoardPictures();
// Starts entry `levelIndex` (0-based) of the level list in the main engine and switches to
// the level scene. False when the level could not be loaded.
bool PlayLevel(int levelIndex);

} // namespace bw
