#include "base/DataFolder.h"

#include "platform/Files.h"

#include <cstdlib>
#include <filesystem>
#include <sstream>

// The install sets these (src/CMakeLists.txt); a build without them looks where the default
// install puts the data.
#ifndef BW_INSTALLED_DATA_RELATIVE
#define BW_INSTALLED_DATA_RELATIVE "../share/games/branchwick"
#endif
#ifndef BW_INSTALLED_DATA_SUBDIR
#define BW_INSTALLED_DATA_SUBDIR "games/branchwick"
#endif

namespace bw {

std::vector<std::string> DataFolderCandidates(const std::string& programFolder,
                                              const char* xdgDataDirs) {
    std::vector<std::string> folders;
    folders.push_back(JoinPath(programFolder, "Data"));
    const std::filesystem::path installed =
        std::filesystem::path(programFolder) / BW_INSTALLED_DATA_RELATIVE / "Data";
    folders.push_back(installed.lexically_normal().string());
    const std::string dirs =
        xdgDataDirs && xdgDataDirs[0] ? xdgDataDirs : "/usr/local/share:/usr/share";
    std::istringstream list(dirs);
    for (std::string dir; std::getline(list, dir, ':');)
        if (!dir.empty() && dir[0] == '/')
            folders.push_back(JoinPath(JoinPath(dir, BW_INSTALLED_DATA_SUBDIR), "Data"));
    return folders;
}

std::string FindDataFolder(const std::string& preferred) {
    if (!preferred.empty()) {
        std::error_code ec;
        const auto absolute = std::filesystem::absolute(preferred, ec);
        return ec ? preferred : absolute.lexically_normal().string();
    }
    const auto candidates = DataFolderCandidates(ExecutableFolder(), std::getenv("XDG_DATA_DIRS"));
    for (const std::string& folder : candidates)
        if (FolderExists(folder)) return folder;
    return candidates.front();
}

} // namespace bw
