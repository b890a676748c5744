// The ten awards, by the counter each one watches.
#pragma once

namespace bw {

enum AwardIndex : int {
    AwardCompletedTasks = 1,
    AwardScore = 2,
    AwardBirdsBurned = 3,
    AwardCatsCaught = 4,
    AwardMaxCombo = 5,
    AwardBonusesActivated = 6,
    AwardBirdsPainted = 7,
    AwardWallsDestroyed = 8,
    AwardBirdsUnbound = 9,
    AwardCrowsKilled = 10,
};

} // namespace bw
