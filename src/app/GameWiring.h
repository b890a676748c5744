// The one place that knows every module of the game: it registers the scenes, the modal layers,
// the board's host and its actors before the frame starts.
#pragma once

namespace bw {

// Registers every module that exists. Call before TMainForm::Start.
void WireGame();
// Takes everything back out (after the frame is gone), so a later game starts bare.
void UnwireGame();

} // namespace bw
