#include "platform/Files.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace bw {

namespace {

// $variable when it holds an absolute path, else $HOME/fallback; empty without either.
std::string BaseFolder(const char* variable, const char* fallback) {
    const char* xdg = std::getenv(variable);
    if (xdg && xdg[0] == '/') return xdg;
    const char* home = std::getenv("HOME");
    if (home && home[0]) return JoinPath(home, fallback);
    return "";
}

} // namespace

std::string UserDataFolder() {
    return BaseFolder("XDG_DATA_HOME", ".local/share");
}

std::string UserConfigFolder() {
    return BaseFolder("XDG_CONFIG_HOME", ".config");
}

std::string UserStateFolder() {
    return BaseFolder("XDG_STATE_HOME", ".local/state");
}

std::string ExecutableFolder() {
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec || exe.empty()) return ".";
    return exe.parent_path().string();
}

std::string JoinPath(const std::string& a, const std::string& b) {
    if (a.empty()) return b;
    if (b.empty()) return a;
    const bool aSlash = a.back() == '/';
    const bool bSlash = b.front() == '/';
    if (aSlash && bSlash) return a + b.substr(1);
    if (aSlash || bSlash) return a + b;
    return a + "/" + b;
}

std::string NativePath(std::string path) {
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

bool FileExists(const std::string& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

bool FolderExists(const std::string& path) {
    std::error_code ec;
    return fs::is_directory(path, ec);
}

bool CreateFolders(const std::string& path) {
    if (path.empty()) return false;
    std::error_code ec;
    fs::create_directories(path, ec);
    return FolderExists(path);
}

bool DeleteFile(const std::string& path) {
    std::error_code ec;
    return fs::remove(path, ec) && !ec;
}

bool DeleteFolder(const std::string& path) {
    std::error_code ec;
    fs::remove_all(path, ec);
    return !ec && !FolderExists(path);
}

bool RenameFile(const std::string& from, const std::string& to) {
    std::error_code ec;
    fs::rename(from, to, ec);
    return !ec;
}

namespace {

// The whole of `from` copied to the new file `to` (created exclusively) and flushed to disk;
// nothing is left at `to` on failure.
bool CopyNewFile(const std::string& from, const std::string& to) {
    const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (in < 0) return false;
    struct stat st {};
    if (::fstat(in, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(in);
        return false;
    }
    const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, st.st_mode & 0777);
    if (out < 0) {
        ::close(in);
        return false;
    }
    bool ok = true;
    char buf[1 << 16];
    for (;;) {
        const ssize_t n = ::read(in, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) ok = false;
        if (n <= 0) break;
        for (ssize_t done = 0; ok && done < n;) {
            const ssize_t w = ::write(out, buf + done, static_cast<size_t>(n - done));
            if (w < 0 && errno == EINTR) continue;
            if (w <= 0)
                ok = false;
            else
                done += w;
        }
        if (!ok) break;
    }
    ::close(in);
    ok = ::fsync(out) == 0 && ok;
    ok = ::close(out) == 0 && ok;
    if (!ok) ::unlink(to.c_str());
    return ok;
}

} // namespace

namespace {

bool NameTaken(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 || errno != ENOENT;
}

// Gives the complete file `from` the new name `to` in the same file system, never over
// another file: a hard link where the file system has them, else a rename once the name is
// seen to be free. `from` keeps its name when linked; the caller removes it.
bool LinkOrRename(const std::string& from, const std::string& to, bool& linked) {
    linked = ::link(from.c_str(), to.c_str()) == 0;
    if (linked) return true;
    if (errno == EEXIST || errno == EXDEV || NameTaken(to)) return false;
    return ::rename(from.c_str(), to.c_str()) == 0;
}

} // namespace

bool MoveFileNoReplace(const std::string& from, const std::string& to) {
    struct stat st {};
    if (::lstat(from.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    bool linked = false;
    if (LinkOrRename(from, to, linked)) {
        SyncFolderOf(to);
        if (linked) ::unlink(from.c_str());
        SyncFolderOf(from);
        return true;
    }
    if (NameTaken(to)) return false;
    // Another file system: a full copy under a temporary name beside the target takes the
    // name, and only then does the original go.
    const std::string temp = to + ".moving";
    ::unlink(temp.c_str()); // what a move cut short left: the original is still there
    if (!CopyNewFile(from, temp)) return false;
    if (!LinkOrRename(temp, to, linked)) {
        ::unlink(temp.c_str());
        return false;
    }
    if (linked) ::unlink(temp.c_str());
    SyncFolderOf(to);
    ::unlink(from.c_str());
    SyncFolderOf(from);
    return true;
}

std::vector<std::string> ListFiles(const std::string& folder, const std::string& extension) {
    std::vector<std::string> names;
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    if (ec) return names;
    auto lower = [](std::string s) {
        for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return s;
    };
    const std::string ext = lower(extension);
    for (const auto& entry : it) {
        std::error_code e2;
        if (!entry.is_regular_file(e2)) continue;
        const std::string name = entry.path().filename().string();
        if (!ext.empty() &&
            (name.size() < ext.size() || lower(name.substr(name.size() - ext.size())) != ext))
            continue;
        names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

const char* ReadFailureText(ReadFailure failure) {
    switch (failure) {
    case ReadFailure::None:
        return "was read";
    case ReadFailure::Missing:
        return "not found";
    case ReadFailure::NotAFile:
        return "is not a regular file";
    case ReadFailure::TooLarge:
        return "is too large";
    case ReadFailure::CannotRead:
        return "cannot be read";
    }
    return "cannot be read";
}

std::optional<std::vector<uint8_t>> ReadWholeFile(const std::string& path, ReadFailure* failure,
                                                  std::size_t maxSize) {
    auto fail = [&](ReadFailure why) -> std::optional<std::vector<uint8_t>> {
        if (failure != nullptr) *failure = why;
        return std::nullopt;
    };
    if (failure != nullptr) *failure = ReadFailure::None;
    // O_NONBLOCK: opening a FIFO must not wait for a writer; the type is checked before reading.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR) return fail(ReadFailure::Missing);
        return fail(ReadFailure::CannotRead);
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        ::close(fd);
        return fail(ReadFailure::CannotRead);
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        return fail(ReadFailure::NotAFile);
    }
    if (st.st_size < 0 || static_cast<std::uintmax_t>(st.st_size) > maxSize) {
        ::close(fd);
        return fail(ReadFailure::TooLarge);
    }
    std::vector<uint8_t> data(static_cast<std::size_t>(st.st_size));
    std::size_t got = 0;
    for (;;) {
        // One byte of room beyond the stated size notices a file that grows while it is read.
        if (got == data.size()) {
            if (data.size() >= maxSize + 1) break;
            data.resize(std::min(maxSize + 1, data.size() + 4096));
        }
        const ssize_t n = ::read(fd, data.data() + got, data.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            ::close(fd);
            return fail(ReadFailure::CannotRead);
        }
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    if (got > maxSize) return fail(ReadFailure::TooLarge);
    data.resize(got);
    return data;
}

bool WriteWholeFile(const std::string& path, const void* data, size_t size) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    const auto* p = static_cast<const uint8_t*>(data);
    size_t left = size;
    bool ok = true;
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ok = false;
            break;
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    ok = ok && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (!ok) ::unlink(path.c_str());
    return ok;
}

void SyncFolderOf(const std::string& path) {
    const fs::path parent = fs::path(path).parent_path();
    const int dir =
        ::open(parent.empty() ? "." : parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

bool CommitFile(const std::string& temp, const std::string& path) {
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    // Make the rename itself durable.
    SyncFolderOf(path);
    return true;
}

std::string FileBehindLinks(const std::string& path) {
    fs::path at(path);
    // A loop of links ends somewhere; a path that has not resolved by then is used as it is.
    for (int hop = 0; hop < 40; ++hop) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(at, ec)) || ec) break;
        const fs::path target = fs::read_symlink(at, ec);
        if (ec) break;
        at = target.is_absolute() ? target : at.parent_path() / target;
    }
    return at.string();
}

bool IsReadOnlyFile(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    // The write bits say what the owner wants, even to a user whom the system would let write.
    return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::access(path.c_str(), W_OK) != 0;
}

bool WriteFileAtomically(const std::string& path, const void* data, size_t size) {
    // The file a link points to is replaced, not the link; a read-only file is left alone.
    const std::string file = FileBehindLinks(path);
    if (IsReadOnlyFile(file)) return false;
    const std::string tmp = file + ".tmp";
    return WriteWholeFile(tmp, data, size) && CommitFile(tmp, file);
}

} // namespace bw
