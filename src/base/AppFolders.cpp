#include "base/AppFolders.h"

#include "base/GameOptions.h"
#include "platform/Files.h"
#include "platform/Log.h"
#include "platform/SingleInstance.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace bw {
namespace {

constexpr char kAppName[] = "branchwick";
constexpr char kOldSubFolder[] = "KestruneEntertainment/Tallow Studios/Branchwick";
constexpr char kLockFileName[] = "Branchwick.lock";

bool StartsWith(const std::string& s, const std::string& prefix) {
    return s.rfind(prefix, 0) == 0;
}

// Where a file of the old folder goes; `relative` is its path inside that folder.
std::string NewPlace(const std::string& relative, const AppFolders& to) {
    const bool topLevel = relative.find('/') == std::string::npos;
    if (topLevel && StartsWith(relative, OptionsFileName)) return JoinPath(to.config, relative);
    if (topLevel && relative == LogFileName) return JoinPath(to.state, OldLogFileName);
    if (topLevel && StartsWith(relative, LogFileName)) return JoinPath(to.state, relative);
    return JoinPath(to.data, relative);
}

struct MoveReport {
    int moved = 0;
    int kept = 0;
    std::vector<std::string> lines;
};

void MoveTree(const fs::path& root, const fs::path& folder, const AppFolders& to,
              MoveReport& report) {
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    if (ec) {
        ++report.kept;
        report.lines.push_back("Cannot read " + folder.string() + "; its files stay there");
        return;
    }
    std::vector<fs::path> entries;
    for (const auto& entry : it) entries.push_back(entry.path());
    for (const fs::path& path : entries) {
        std::error_code e2;
        const fs::file_status status = fs::symlink_status(path, e2);
        const std::string relative = path.lexically_relative(root).string();
        if (fs::is_directory(status)) {
            MoveTree(root, path, to, report);
            fs::remove(path, e2); // only when it is empty now
            continue;
        }
        if (relative == kLockFileName) continue; // the old game's lock goes with the folder
        const std::string target = NewPlace(relative, to);
        const std::string from = path.string();
        if (FileExists(target) || fs::exists(fs::symlink_status(target, e2))) {
            ++report.kept;
            report.lines.push_back("Kept " + from + " in the old folder: " + target +
                                   " exists already");
        } else if (!CreateFolders(fs::path(target).parent_path().string()) ||
                   !MoveFileNoReplace(from, target)) {
            ++report.kept;
            report.lines.push_back("Kept " + from + " in the old folder: it could not be moved");
        } else {
            ++report.moved;
            report.lines.push_back("Moved " + from + " to " + target);
        }
    }
}

} // namespace

AppFolders DefaultAppFolders() {
    AppFolders f;
    const std::string config = UserConfigFolder();
    const std::string data = UserDataFolder();
    const std::string state = UserStateFolder();
    if (!config.empty()) f.config = JoinPath(config, kAppName);
    if (!data.empty()) f.data = JoinPath(data, kAppName);
    if (!state.empty()) f.state = JoinPath(state, kAppName);
    return f;
}

std::string OldAppFolderPath() {
    const std::string data = UserDataFolder();
    return data.empty() ? std::string() : JoinPath(data, kOldSubFolder);
}

std::vector<std::string> MoveOldAppFolder(const std::string& oldFolder, const AppFolders& to) {
    if (oldFolder.empty() || !FolderExists(oldFolder)) return {};
    if (to.config.empty() || to.data.empty() || to.state.empty()) return {};
    MoveReport report;
    {
        // An older game still running there keeps its files until a later start.
        SingleInstanceLock oldGame(JoinPath(oldFolder, kLockFileName));
        if (!oldGame.Acquired())
            return {"An older Branchwick is running on " + oldFolder +
                    "; its files are moved at a later start"};
        MoveTree(fs::path(oldFolder), fs::path(oldFolder), to, report);
        if (report.kept == 0) DeleteFile(JoinPath(oldFolder, kLockFileName));
    }
    std::vector<std::string> lines;
    lines.push_back("Moving the files of " + oldFolder + " to " + to.config + ", " + to.data +
                    " and " + to.state);
    lines.insert(lines.end(), report.lines.begin(), report.lines.end());
    std::error_code ec;
    if (report.kept == 0) {
        // The old folder and the empty folders above it that held only it.
        fs::path folder(oldFolder);
        for (int i = 0; i < 3 && fs::remove(folder, ec); ++i) folder = folder.parent_path();
        lines.push_back("Moved " + std::to_string(report.moved) + " files; the old folder is gone");
    } else {
        lines.push_back("Moved " + std::to_string(report.moved) + " files; " +
                        std::to_string(report.kept) + " stay in " + oldFolder);
    }
    return lines;
}

} // namespace bw
