// Where the game keeps the player's files: the folders of the desktop's base directories,
// and the one-time move out of the single folder that older versions used.
#pragma once

#include <string>
#include <vector>

namespace bw {

struct AppFolders {
    std::string config; // "Game.ini": $XDG_CONFIG_HOME/branchwick
    std::string data;   // the profiles (AppFolderPath): $XDG_DATA_HOME/branchwick
    std::string state;  // the log: $XDG_STATE_HOME/branchwick
};

AppFolders DefaultAppFolders();

// The folder that held the options, the log and the profiles before:
// $XDG_DATA_HOME/KestruneEntertainment/Tallow Studios/Branchwick.
std::string OldAppFolderPath();

// The name the last log of the old folder gets in the state folder, where the new log
// takes "Branchwick.log".
inline constexpr char OldLogFileName[] = "Branchwick.log.old";

// Moves every file of the old folder to its new place: the options file (and its kept
// copies) to `to.config`, the log to `to.state` as OldLogFileName, the profiles and anything
// else to `to.data`, keeping the sub-folders. A file whose new name is taken already, or
// that cannot be moved, stays where it is, and so does the old folder then; an empty old
// folder is removed with its empty parents. Nothing is moved while a game of an older
// version holds the old folder's lock. Returns the lines for the log (none when there is no
// old folder).
std::vector<std::string> MoveOldAppFolder(const std::string& oldFolder, const AppFolders& to);

} // namespace bw
