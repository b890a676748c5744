#include "data/ArchiveAccess.h"

#include <atomic>

namespace bw {

namespace {

std::mutex& AccessMutex() {
    static std::mutex m;
    return m;
}

std::atomic<bool> gLocked{false};

} // namespace

void LockArchiveAccess() {
    std::lock_guard<std::mutex> lock(AccessMutex());
    gLocked.store(true);
}

void UnlockArchiveAccess() {
    std::lock_guard<std::mutex> lock(AccessMutex());
    gLocked.store(false);
}

bool ArchiveAccessLocked() {
    return gLocked.load();
}

ArchiveWriteGuard::ArchiveWriteGuard() : FLock(AccessMutex()), FAllowed(!gLocked.load()) {}

} // namespace bw
