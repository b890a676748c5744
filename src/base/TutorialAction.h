// What the board and its actors ask the tutorial before they act, or tell it afterwards.
#pragma once

namespace bw {

enum class TutorialAction : int {
    BoardInput = 0, // any board input at all (asked first)
    PickUp = 1,     // pick up at a cell
    Release = 2,    // release at a cell; (-1, -1) when the release went nowhere
    Arrived = 3,    // a moved bird, bonus or key has arrived
    CatCaught = 4,  // a cat was caught
};

} // namespace bw
