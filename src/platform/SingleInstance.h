// One running instance per user: the running game holds an exclusive lock on a file, which
// the system releases when the process ends in any way (also when it is killed).
#pragma once

#include <string>

namespace bw {

class SingleInstanceLock {
public:
    // Tries to take the lock on `lockFile` (its folder is created when missing).
    explicit SingleInstanceLock(const std::string& lockFile);
    ~SingleInstanceLock();
    SingleInstanceLock(const SingleInstanceLock&) = delete;
    SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;

    // False when another process holds the lock. When the lock file cannot be created at all
    // (no writable folder) the game is allowed to run.
    bool Acquired() const { return acquired_; }
    // Why the one-instance rule is off although the lock was "acquired" (the lock file cannot
    // be created or locked), for the log; empty normally.
    const std::string& Problem() const { return problem_; }

private:
    int fd_ = -1;
    bool acquired_ = false;
    std::string problem_;
};

} // namespace bw
