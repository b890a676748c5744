// The persistent game options and their file "Game.ini" in the user's configuration folder.
//
// The file holds two sections. "OPTIONS", in this order: MusicVolume, SoundFxVolume,
// FullScreen, Resolution, VSync, FrameLimiter, Cursor, ShowTutorial, Version, LastProfileFile,
// LastProfileName, Fs, and Language only when one is chosen; then "TEST": Fps, Ssc, Spc. Flags are
// "1"/"0" (any non-zero integer reads as true), volumes are decimal text with '.' and 15
// significant digits (',' is accepted on reading). Whatever is missing or unreadable takes its
// default.
#pragma once

#include <cstdint>
#include <string>

namespace bw {

inline constexpr char GameVersion[] = "1.03";
inline constexpr char OptionsFileName[] = "Game.ini";

// Window size codes of TGameOptions::Resolution.
inline constexpr uint8_t ResolutionAuto = 99;     // AutoWindowSize
inline constexpr uint8_t ResolutionPortrait = 98; // 740 x 960 at start-up

struct TGameOptions {
    std::string AppFolderPath;    // folder of the profiles; not stored
    std::string ConfigFolderPath; // folder of "Game.ini"; empty: AppFolderPath. Not stored
    std::string LogFolderPath;    // folder of the log; empty: AppFolderPath. Not stored
    std::string LastProfileFile;  // last used player profile (file name)
    std::string LastProfileName;  // ... and its player name
    bool SoundsOff = false;       // the sound system could not start; not stored
    float MusicVolume = 0.5f;     // 0 .. 1
    float SoundFxVolume = 1.0f;   // 0 .. 1, ambience and sound effects
    uint8_t Resolution = ResolutionAuto;
    bool FullScreen = true;
    bool VSync = false;
    bool FrameLimiter = false; // frame timer limited to 200 rounds per second
    bool Cursor = true;        // game-drawn pointer (true) or the system pointer
    bool ShowTutorial = true;
    bool Fps = false; // debug overlay lines
    bool Ssc = false;
    bool Spc = false;
    bool FirstStart = true; // the main menu has never been reached
    // The language of the texts ("de"), chosen in the file by hand; empty: the desktop's.
    std::string Language;
};

extern TGameOptions GameOptions;

// Set by the command line ("-reset"): LoadOptions deletes the file before reading it.
extern bool ResetOptions;

// AppFolderPath + "/" + name. Empty while AppFolderPath is empty: without an application-data
// folder nothing is read or written (options keep their defaults, the log goes nowhere), so
// tools and tests never litter the current folder.
std::string AppFilePath(const std::string& name);

// Full path of "Game.ini": in ConfigFolderPath, else in AppFolderPath.
std::string OptionsFilePath();

// The folder the log is written to: LogFolderPath, else AppFolderPath.
std::string LogFolder();

// Reads "Game.ini" into GameOptions (defaults for whatever cannot be read; the folders and
// SoundsOff are kept) and saves it back, so a complete file is left behind. A file whose
// content is damaged is first kept as "Game.ini.bad". A file that exists but cannot be read
// (not a regular file, over IniFile::MaxFileSize, no permission, UTF-16) is logged and left
// as it is: the game runs on defaults and SaveOptions does not write over it.
void LoadOptions();

// Writes every stored option. Creates missing folders; replaces the file atomically.
// False when the file could not be written (the old file, if any, is then unchanged) or is
// being left alone because it could not be read.
bool SaveOptions();

// The file text SaveOptions writes for the given options.
std::string OptionsFileText(const TGameOptions& options);

} // namespace bw
