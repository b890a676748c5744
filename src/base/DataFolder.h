// Where the game's "Data" folder is, in a build tree and once installed.
#pragma once

#include <string>
#include <vector>

namespace bw {

// The folders that may hold "Data", in the order they are tried: "Data" beside the program
// (a build tree), the installed data relative to the program (`programFolder` + the install's
// relative path, so any prefix works), then the installed data under each absolute folder of
// `xdgDataDirs` (a ':' list; null or empty: /usr/local/share:/usr/share).
std::vector<std::string> DataFolderCandidates(const std::string& programFolder,
                                              const char* xdgDataDirs);

// Where "Data" is: `preferred` when given, else the first candidate that exists (the first
// of all when none does, so the log names where the data was looked for).
std::string FindDataFolder(const std::string& preferred);

} // namespace bw
