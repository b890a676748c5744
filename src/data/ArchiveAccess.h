// The process-wide permission to write data archives. It starts open; the application locks it
// once its window exists, after which every writing archive operation refuses and archives
// opened for update cannot be read. Writes hold the access mutex while they run, so locking
// waits for a write in progress on another thread to finish.
#pragma once

#include <mutex>

namespace bw {

void LockArchiveAccess();
// Opens the access again (tools and tests; the game never unlocks).
void UnlockArchiveAccess();
bool ArchiveAccessLocked();

// Held by every writing archive operation for its whole run.
class ArchiveWriteGuard {
public:
    ArchiveWriteGuard();
    // False when the access is locked: the operation must refuse.
    bool Allowed() const { return FAllowed; }

private:
    std::unique_lock<std::mutex> FLock;
    bool FAllowed = false;
};

} // namespace bw
