#include "platform/Log.h"

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <utility>

namespace bw {
namespace {

std::function<std::string()>& FolderSource() {
    static std::function<std::string()> folder;
    return folder;
}

std::string Folder() {
    return FolderSource() ? FolderSource()() : std::string();
}

std::function<void(const std::string&)>& Listener() {
    static std::function<void(const std::string&)> listener;
    return listener;
}

void EnsureFolder() {
    std::error_code ec;
    std::filesystem::create_directories(Folder(), ec);
}

std::string TimePrefix() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (localtime_r(&now, &local) == nullptr) return "00:00:00";
    char buf[16];
    std::snprintf(buf, sizeof(buf), "%02d:%02d:%02d", local.tm_hour, local.tm_min, local.tm_sec);
    return buf;
}

} // namespace

void SetLogFolderSource(std::function<std::string()> folder) {
    FolderSource() = std::move(folder);
}

std::string LogFilePath() {
    const std::string folder = Folder();
    if (folder.empty()) return {};
    return folder.back() == '/' ? folder + LogFileName : folder + '/' + LogFileName;
}

namespace {

// Set by StartLog: the next line begins a new file, which then replaces the old log. Until a
// line of the new log is safely on disk, the previous log stays where it is.
bool freshLogPending = false;
// Set once the file could not be written, so the note about standard error is given once.
bool warnedAboutStderr = false;

bool AppendLine(const std::string& path, const std::string& line, const char* mode) {
    std::FILE* f = std::fopen(path.c_str(), mode);
    if (f == nullptr) return false;
    bool ok = std::fwrite(line.data(), 1, line.size(), f) == line.size();
    ok = std::fflush(f) == 0 && ok;
    ok = std::fclose(f) == 0 && ok;
    return ok;
}

bool WriteToFile(const std::string& path, const std::string& line) {
    EnsureFolder();
    if (!freshLogPending) return AppendLine(path, line, "ab");
    const std::string fresh = path + ".new";
    if (AppendLine(fresh, line, "wb") && std::rename(fresh.c_str(), path.c_str()) == 0) {
        freshLogPending = false;
        return true;
    }
    std::remove(fresh.c_str());
    return false;
}

} // namespace

void WriteLog(const std::string& text, int mode) {
    std::string line;
    if (mode == 0) {
        line = text;
    } else if (mode == 1) {
        line = TimePrefix() + "......" + text;
    } else {
        return;
    }
    if (Listener()) Listener()(line);

    const std::string path = LogFilePath();
    if (path.empty()) return;
    line += '\n';
    if (WriteToFile(path, line)) return;
    // No log file (read-only folder, full disk): the lines go to standard error instead.
    if (!warnedAboutStderr) {
        warnedAboutStderr = true;
        std::fprintf(stderr, "Cannot write the log file %s; logging to standard error\n",
                     path.c_str());
    }
    std::fwrite(line.data(), 1, line.size(), stderr);
}

void StartLog() {
    freshLogPending = !LogFilePath().empty();
    warnedAboutStderr = false;
}

void SetLogListener(std::function<void(const std::string& line)> listener) {
    Listener() = std::move(listener);
}

} // namespace bw
