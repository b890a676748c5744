// What every kind of scene transition does at full black and once the new scene is clear.
#pragma once

namespace bw {

class TransitionSteps;

// The steps of this game, knowing every scene; the wiring installs them.
TransitionSteps& GameTransitionSteps();

} // namespace bw
