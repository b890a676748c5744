// Files and folders as the game uses them. Paths are UTF-8 with '/' separators.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace bw {

// The per-user folders of the desktop's base directories: $XDG_DATA_HOME, else
// ~/.local/share; $XDG_CONFIG_HOME, else ~/.config; $XDG_STATE_HOME, else ~/.local/state.
// A variable that is not an absolute path is ignored. Empty when neither is known.
std::string UserDataFolder();
std::string UserConfigFolder();
std::string UserStateFolder();
// The folder holding the running program (with no trailing '/'), or "." when unknown.
std::string ExecutableFolder();

// Joins two path pieces with exactly one '/'.
std::string JoinPath(const std::string& a, const std::string& b);
// Turns '\' separators of stored paths into '/'.
std::string NativePath(std::string path);

bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);
// Creates the folder and its missing parents; true when it exists afterwards.
bool CreateFolders(const std::string& path);
bool DeleteFile(const std::string& path);
bool DeleteFolder(const std::string& path); // with its contents
bool RenameFile(const std::string& from, const std::string& to);
// Moves a plain file, never over another: `to` must not exist yet (its folder must). A rename
// where it can be one; across file systems a copy, flushed to disk, takes the new name before
// the original is removed. False, with both names as they were, when the move cannot be done.
bool MoveFileNoReplace(const std::string& from, const std::string& to);
// Names (not paths) of the plain files in a folder whose names end with `extension`
// (case-insensitive; empty for all), sorted by name.
std::vector<std::string> ListFiles(const std::string& folder, const std::string& extension = "");

// Why a whole-file read gave nothing.
enum class ReadFailure {
    None,
    Missing,    // no such file
    NotAFile,   // a folder, a device, a FIFO or a socket: never read
    TooLarge,   // longer than the caller's limit
    CannotRead, // permission denied or an input/output error
};
// "not found", "is not a regular file", "is too large", "cannot be read".
const char* ReadFailureText(ReadFailure failure);

// The whole content of a regular file of at most maxSize bytes. Anything else (a folder,
// a device such as /dev/zero, a FIFO, a longer file, an unreadable one) gives nothing and, when
// `failure` is given, the reason. Never blocks on a FIFO and never throws.
inline constexpr std::size_t DefaultReadLimit = std::size_t{256} << 20;
std::optional<std::vector<uint8_t>> ReadWholeFile(const std::string& path,
                                                  ReadFailure* failure = nullptr,
                                                  std::size_t maxSize = DefaultReadLimit);
// Writes through a temporary file in the same folder, flushed to disk and renamed over the
// target, so the target is always either the old or the new content. A symbolic link is
// written through (the file it points to gets the content, the link stays); a read-only
// file is not written (false).
bool WriteFileAtomically(const std::string& path, const void* data, size_t size);
// The path with every symbolic link at its end followed; the path itself when it is none.
std::string FileBehindLinks(const std::string& path);
// Whether the path is a regular file that its write permissions (or the system) keep from
// being written.
bool IsReadOnlyFile(const std::string& path);

// The pieces of that write, for writers that build the new file themselves:
// Creates or truncates the file, writes all of `data` and flushes it to disk; on failure the
// file is removed.
bool WriteWholeFile(const std::string& path, const void* data, size_t size);
// Renames a complete temporary file (already flushed to disk) over `path` in one step and
// flushes the folder so the rename survives a crash. On failure the temporary is removed and
// the target is left as it was.
bool CommitFile(const std::string& temp, const std::string& path);
// Flushes the folder holding `path` to disk: a name just created, renamed or linked there
// survives a crash.
void SyncFolderOf(const std::string& path);

} // namespace bw
