#include "platform/SingleInstance.h"

#include "platform/Files.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <unistd.h>

namespace bw {

SingleInstanceLock::SingleInstanceLock(const std::string& lockFile) {
    const std::filesystem::path parent = std::filesystem::path(lockFile).parent_path();
    if (!parent.empty()) CreateFolders(parent.string());
    fd_ = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ < 0) {
        acquired_ = true;
        problem_ = "Cannot create the lock file " + lockFile + " (" + std::strerror(errno) +
                   "): a second copy of the game would not be stopped";
        return;
    }
    if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) {
        acquired_ = true;
    } else {
        const int error = errno;
        acquired_ = error != EWOULDBLOCK;
        if (acquired_)
            problem_ = "Cannot lock the lock file " + lockFile + " (" + std::strerror(error) +
                       "): a second copy of the game would not be stopped";
        ::close(fd_);
        fd_ = -1;
    }
}

SingleInstanceLock::~SingleInstanceLock() {
    if (fd_ >= 0) ::close(fd_); // closing releases the lock
}

} // namespace bw
