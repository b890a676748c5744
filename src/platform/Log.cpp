#include "platform/Log.h"

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <utility>

namespace bw {
namespace {

const std::string*& FolderSource() {
    static const std::string* folder = nullptr;
    return folder;
}

std::string Folder() {
    return FolderSource() ? *FolderSource() : std::string();
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

void SetLogFolderSource(const std::string* folder) {
    FolderSource() = folder;
}

std::string LogFilePath() {
    const std::string folder = Folder();
    if (folder.empty()) return {};
    return folder.back() == '/' ? folder + LogFileName : folder + '/' + LogFileName;
}

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
    EnsureFolder();
    std::FILE* f = std::fopen(path.c_str(), "ab");
    if (f == nullptr) return;
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), f);
    std::fflush(f);
    std::fclose(f);
}

void StartLog() {
    const std::string path = LogFilePath();
    if (path.empty()) return;
    EnsureFolder();
    std::remove(path.c_str());
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f != nullptr) std::fclose(f);
}

void SetLogListener(std::function<void(const std::string& line)> listener) {
    Listener() = std::move(listener);
}

} // namespace bw
