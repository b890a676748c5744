// The text log "Branchwick.log" in the folder the game's options name for it.
//
// Every line is appended, flushed and the file closed again, so the log survives a crash.
// A log that cannot be written (no folder, no permission, full disk) goes to standard error
// instead: logging never stops the game.
#pragma once

#include <functional>
#include <string>

namespace bw {

inline constexpr char LogFileName[] = "Branchwick.log";

// Mode 0 writes the text as it is; mode 1 writes the local time "hh:nn:ss", then "......",
// then the text; any other mode writes nothing.
void WriteLog(const std::string& text, int mode = 1);

// Starts a new log: the next line written goes to a new file, which then replaces the old
// one. The old log is kept until then, so a full disk does not lose it. The header lines are
// then written with WriteLog(..., 0).
void StartLog();

// The folder the log lives in is asked of `folder` at every write (the options keep the
// folder and point the log at it); no folder, no log file.
void SetLogFolderSource(std::function<std::string()> folder);

// The folder + "/Branchwick.log"; empty (no log file) while the folder is empty.
std::string LogFilePath();

// Optional observer of every line written (after the time prefix), for example to mirror the
// log on standard error in debug builds. Called even when the file cannot be written.
void SetLogListener(std::function<void(const std::string& line)> listener);

} // namespace bw
