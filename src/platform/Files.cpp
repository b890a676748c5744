#include "platform/Files.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace bw {

std::string UserDataFolder() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && xdg[0] == '/') return xdg;
    const char* home = std::getenv("HOME");
    if (home && home[0]) return JoinPath(JoinPath(home, ".local"), "share");
    return "";
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

std::optional<std::vector<uint8_t>> ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::vector<uint8_t> data((std::istreambuf_iterator<char>(in)),
                              std::istreambuf_iterator<char>());
    if (in.bad()) return std::nullopt;
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

bool WriteFileAtomically(const std::string& path, const void* data, size_t size) {
    const std::string tmp = path + ".tmp";
    return WriteWholeFile(tmp, data, size) && CommitFile(tmp, path);
}

} // namespace bw
