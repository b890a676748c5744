#include "meta/Awards.h"

namespace bw {

std::function<void(AwardIndex)>& AwardCheckWatcher() {
    static std::function<void(AwardIndex)> watcher;
    return watcher;
}

// The medals, their queue and their announcement join here; until then a check only shows
// itself to the watcher.
void CheckAward(AwardIndex index) {
    if (AwardCheckWatcher()) AwardCheckWatcher()(index);
}

void CheckAllAwards() {
    for (int i = AwardCompletedTasks; i <= AwardCrowsKilled; ++i)
        CheckAward(static_cast<AwardIndex>(i));
}

void DiscardAwards() {}

} // namespace bw
