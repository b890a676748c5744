// The level result: the message over the board when a level ends, won or lost, with the
// counted score, the saved nestlings flying in, the task's outcome with its egg (or the
// game-over text) and the buttons that restart, continue or go to the map. The outcome shown
// is the one the profile recorded when the level was won.
#pragma once

#include "base/ModalLayers.h"
#include "ingame/PanelLogic.h"

#include <memory>
#include <string>
#include <vector>

namespace bw {

// The mission is accomplished: the level is recorded (FinishLevel) and the won result is due
// after the short delay. False when the level was already decided (nothing is recorded).
bool WinLevel();
void ShowResult(bool won);
void HideResult();
bool IsResultShown();

// For the replay dump and tests: the stages, the buttons offered and the text keys of the
// outcome line (empty while no result is shown).
const ResultStages* ResultState();
std::vector<std::string> ResultButtonNames();
std::string ResultOutcomeKey();

void ForgetResultSprites();
std::unique_ptr<ModalLayer> MakeResultLayer();

} // namespace bw
