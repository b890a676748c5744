// The one door to the awards. Every lifetime counter that grows checks its award here (the
// board and the actors through their host, which the level forwards), a won level checks the
// score and the completed tasks, and a profile change discards what waits to be announced.
#pragma once

#include "base/AwardIndex.h"

#include <functional>

namespace bw {

// One medal step for `index`, then the next announcement.
void CheckAward(AwardIndex index);
// CheckAward for every award, 1 to 10 in order.
void CheckAllAwards();
// Empties the announcement queue and removes a running announcement.
void DiscardAwards();

// Sees every award checked, in order, before its medal step (tests watch the call points
// with it). Empty unless set.
std::function<void(AwardIndex)>& AwardCheckWatcher();

} // namespace bw
