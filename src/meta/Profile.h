// Player profiles: the active profile `Player`, its files in the "Profiles" folder under the
// application-data folder, and the bookkeeping of a won level.
//
// A profile file holds the XML tree
//   <Profile Name="..." Score="..." GameWasStarted="True|False" GameWasCompleted="True|False">
//    <Awards award_1="0..3" ... award_10="..." />
//    <Levels lev_1="0..2" ... lev_N="..." />
//    <Tasks CatsWereKilled="..." ... CrownsKilled="..." />
//   </Profile>
// in the scrambled form of ProfileFile.h. Files are replaced atomically (temporary file in
// the same folder, flushed, renamed over the old one), so a profile on disk is always either
// the old or the new one, whenever the game stops.
#pragma once

#include "base/Player.h"
#include "board/LevelScore.h"
#include "board/LevelTasks.h"

#include <array>
#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace bw {

inline constexpr char ProfilesFolderName[] = "Profiles";
inline constexpr char ProfileExtension[] = ".sav";

struct TProfileCaption {
    std::string Caption;  // the player's name
    std::string FileName; // without folder
};
using TProfilesList = std::vector<TProfileCaption>;

// The profiles offered on the player-selection screen.
extern TProfilesList ProfilesList;

// What the profile code needs from the screens around it. Every hook may stay empty.
struct ProfileCallbacks {
    // Shows a message of the text database ("msg_badprofile", "msg_profilenotfound") with the
    // player name to insert.
    std::function<void(const std::string& messageKey, const std::string& name)> ShowMessage;
    // Opens the name entry when no profile can be loaded.
    std::function<void()> OpenNameEntry;
    // The text "Default_Player_Name" of the text database.
    std::function<std::string()> DefaultNameText;
};
extern ProfileCallbacks ProfileHooks;

inline constexpr char MsgBadProfile[] = "msg_badprofile";
inline constexpr char MsgProfileNotFound[] = "msg_profilenotfound";

// ---- Names ---------------------------------------------------------------------------------

// Whether a name may hold the character: no control characters (C0, DEL, C1), so no line
// breaks, no surrogate halves and no non-characters U+FFFE / U+FFFF.
bool IsProfileNameChar(char32_t c);
// The longest name, in characters, that the name entry takes and a profile file may hold; a
// file with a longer name is damaged.
inline constexpr std::size_t MaxProfileNameLength = 256;
// Characters of a name (UTF-8; a byte that starts no valid sequence counts as one).
std::size_t ProfileNameLength(std::string_view name);
// The name with every character that a name may not hold removed (invalid UTF-8 included),
// without leading blanks and cut to MaxProfileNameLength characters.
std::string SanitizeProfileName(std::string_view name);
// True when the name is not empty and SanitizeProfileName leaves it unchanged.
bool IsValidProfileName(std::string_view name);

// The text without its leading spaces.
std::string TrimLeadingBlanks(std::string_view text);
// Equal apart from trailing spaces; letter case matters.
bool ProfileNamesEqual(std::string_view a, std::string_view b);
// Whether a profile of ProfilesList has the name.
bool ProfileNameExists(std::string_view name);
// The base text, or the base text, a space and 1, 2, ... : the first that no profile of
// ProfilesList has. Without an argument the base is ProfileHooks.DefaultNameText (or
// "Player" when there is none).
std::string DefaultProfileName(const std::string& baseText);
std::string DefaultProfileName();

// ---- Files ---------------------------------------------------------------------------------

// AppFolderPath + "/Profiles"; empty without an application-data folder (nothing is then
// read or written).
std::string ProfilesFolder();
// "yyyy_mm_dd_hh_nn_ss.sav" of a local time.
std::string ProfileFileNameFor(const std::tm& localTime);

// The scrambled file content of a profile, and the profile of a file content. Reading starts
// from a fresh record (LevelStates entries in Levels, states past them in LevelsBeyondList),
// so nothing of another profile leaks in; medals are clamped to 0..3 and level states to
// 0..2, the score to 0 and above, the lifetime counters to 0..1000000000. False for a damaged file,
// and for a file larger than MaxProfileFileSize or with a name longer than MaxProfileNameLength,
// which the game never writes.
inline constexpr std::size_t MaxProfileFileSize = std::size_t{1} << 20;
std::vector<uint8_t> ProfileFileBytes(const TPlayer& player);
bool ProfileFromBytes(const uint8_t* data, std::size_t size, std::size_t levelStates,
                      TPlayer& player);
// What reading a profile file that reads changes without the file saying so, each list in
// file order. Missing: an expected element as a whole ("Tasks"), else each expected
// attribute ("lev_3", "BonusesActivated"); the states of the first LevelStates levels and of
// every level below the highest one saved are expected. Unknown: attributes and elements the
// format does not have (a renamed value). Corrected: medals, level states, the score and the
// lifetime counters out of range, and a name that loses characters.
struct ProfileFindings {
    std::vector<std::string> Unreadable; // present but do not parse: read as their defaults
    std::vector<std::string> Missing;    // read as 0 (False, the empty name)
    std::vector<std::string> Unknown;    // ignored
    std::vector<std::string> Corrected;  // clamped or cleaned
    bool Any() const {
        return !Unreadable.empty() || !Missing.empty() || !Unknown.empty() || !Corrected.empty();
    }
};
ProfileFindings CheckProfileValues(const uint8_t* data, std::size_t size, std::size_t levelStates);
// The names of the values of a readable profile that are present but do not parse (say a
// bit-flipped "Trua" that reads as its default False), in file order.
std::vector<std::string> UnreadableProfileValues(const uint8_t* data, std::size_t size);

// ---- Operations on Player ------------------------------------------------------------------

// Player.Levels gets one entry per level of LevelsList (or Count entries), all 0.
void ResizeLevelStates();
void ResizeLevelStates(std::size_t count);
// The debug key F6: every level still closed (state 0) opens (state 1).
void OpenAllLevels();

// A new profile with a file name from the time (now, or When) that no existing file has;
// Player.Level becomes 0. False when the name is empty after sanitising or nothing could be
// written.
bool CreateProfile(const std::string& name);
bool CreateProfile(const std::string& name, std::time_t when);
// Starts a fresh profile in Player, saves it and makes it the last profile of the options.
// The name is sanitised. The file is created only if no file of that name exists; false when
// it exists or cannot be written (Player is then the fresh profile all the same).
bool NewProfile(const std::string& name, const std::string& fileName);

// Makes the file of the profiles folder the active profile. Values the file lacks or that
// reading changes (CheckProfileValues) are logged, and the file is then kept as it is until
// the saved part of Player changes (the player plays on). On failure Player is unchanged,
// the message ("msg_profilenotfound" or "msg_badprofile") goes to ProfileHooks.ShowMessage
// with GameOptions.LastProfileName and, when asked for, to MessageKey.
bool LoadProfile(const std::string& fileName, std::string* messageKey = nullptr);
// Writes Player to its file; a profile kept as it loaded (LoadProfile) is not written while
// its saved part is what was read. A failure is logged and leaves the old file as it was.
bool SaveProfile();
// The name in a profile file; empty when it cannot be read or is damaged.
std::string ReadProfileName(const std::string& fileName);
// Every readable profile of the folder (created when missing), by file name, newest first.
TProfilesList ListProfiles();
// Loads the first profile of ProfilesList that loads; with none, ProfileHooks.OpenNameEntry.
bool ChooseStartProfile();
// At start-up: lists the profiles, loads the last profile of the options, else
// ChooseStartProfile.
bool ChooseProfileAtStartUp();
// Deletes the profile file, then lists the profiles, ChooseStartProfile and lists again.
bool DeleteProfile(const std::string& fileName);

// ---- Level bookkeeping ---------------------------------------------------------------------

// A won level: the score is added, the task judged (TaskCompleted or the final judgement),
// the level state raised, the awards checked and the profile saved. True when the task was
// met. The first form judges CurrentLevel.Task.
bool FinishLevel(const BoardTaskSummary& board);
bool FinishLevel(const TLevelTask& task, const BoardTaskSummary& board);

// Index of the first level not won; the last index when all are won (0 without levels).
int FirstUnplayedLevel();
// Index of the first level not won, else of the first won without its task, else 0.
int NextLevelToPlay();
// Number of levels won with their task.
int CompletedTasksCount();

} // namespace bw
