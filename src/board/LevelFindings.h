#pragma once
// What the game corrects in a level file, ignores of it or cannot play, in words for the log.
// The level check of the data tools says more (and with line numbers); this is what the game
// itself tells, so that no damaged level is played without a word.
#include "board/LevelData.h"

#include <string>
#include <vector>

namespace bw {

class TXMLNode;

// The findings of a level read from Root into Data (LoadLevelFromTree), in file order where
// there is one. Empty for a sound level.
std::vector<std::string> LevelFileFindings(const TXMLNode* root, const TLevel_Data& data);

// Whether the level has a cell to play on at all.
bool LevelHasCells(const TLevel_Data& data);

} // namespace bw
