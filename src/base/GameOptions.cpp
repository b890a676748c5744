#include "base/GameOptions.h"

#include "data/IniFile.h"
#include "platform/Files.h"
#include "platform/Log.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace bw {

TGameOptions GameOptions;
bool ResetOptions = false;

namespace {
// The log follows the folders of the options.
const bool LogFollowsOptions = (SetLogFolderSource(LogFolder), true);
} // namespace

namespace {

constexpr char kOptions[] = "OPTIONS";
constexpr char kTest[] = "TEST";

// A volume outside 0..1 is clamped; the default stays in force for unreadable text.
float ReadVolume(const IniFile& ini, const char* key, float def) {
    const double v = ini.ReadFloat(kOptions, key, def);
    if (v < 0.0) return 0.0f;
    if (v > 1.0) return 1.0f;
    return static_cast<float>(v);
}

uint8_t ReadResolution(const IniFile& ini, uint8_t def) {
    const long long v = ini.ReadInteger(kOptions, "Resolution", def);
    // The code is a byte; a value that does not fit is treated as unreadable instead of
    // wrapping round into some other code.
    if (v < 0 || v > 255) return def;
    return static_cast<uint8_t>(v);
}

// A text holding a NUL byte is damaged (the file was reported so); it reads as its default,
// so that the next save leaves a clean file.
std::string ReadText(const IniFile& ini, const char* key, const std::string& def) {
    std::string v = ini.ReadString(kOptions, key, def);
    return v.find('\0') == std::string::npos ? v : def;
}

} // namespace

std::string AppFilePath(const std::string& name) {
    const std::string& folder = GameOptions.AppFolderPath;
    if (folder.empty()) return {};
    if (folder.back() == '/') return folder + name;
    return folder + '/' + name;
}

std::string OptionsFilePath() {
    if (GameOptions.ConfigFolderPath.empty()) return AppFilePath(OptionsFileName);
    return JoinPath(GameOptions.ConfigFolderPath, OptionsFileName);
}

std::string LogFolder() {
    return GameOptions.LogFolderPath.empty() ? GameOptions.AppFolderPath
                                             : GameOptions.LogFolderPath;
}

std::string OptionsFileText(const TGameOptions& o) {
    IniFile ini;
    ini.WriteFloat(kOptions, "MusicVolume", o.MusicVolume);
    ini.WriteFloat(kOptions, "SoundFxVolume", o.SoundFxVolume);
    ini.WriteBool(kOptions, "FullScreen", o.FullScreen);
    ini.WriteInteger(kOptions, "Resolution", o.Resolution);
    ini.WriteBool(kOptions, "VSync", o.VSync);
    ini.WriteBool(kOptions, "FrameLimiter", o.FrameLimiter);
    ini.WriteBool(kOptions, "Cursor", o.Cursor);
    ini.WriteBool(kOptions, "ShowTutorial", o.ShowTutorial);
    ini.WriteString(kOptions, "Version", GameVersion);
    ini.WriteString(kOptions, "LastProfileFile", o.LastProfileFile);
    ini.WriteString(kOptions, "LastProfileName", o.LastProfileName);
    ini.WriteBool(kOptions, "Fs", o.FirstStart);
    if (!o.Language.empty()) ini.WriteString(kOptions, "Language", o.Language);
    ini.WriteBool(kTest, "Fps", o.Fps);
    ini.WriteBool(kTest, "Ssc", o.Ssc);
    ini.WriteBool(kTest, "Spc", o.Spc);
    return ini.ToText();
}

namespace {

// Set while the file on disk could not be read: it is left as it is, so nothing saves over it.
bool keepOptionsFile = false;

bool IsUtf16(const std::vector<uint8_t>& bytes) {
    return bytes.size() >= 2 &&
           ((bytes[0] == 0xFF && bytes[1] == 0xFE) || (bytes[0] == 0xFE && bytes[1] == 0xFF));
}

// A stored key whose text does not read as its type.
bool HasUnreadableValue(const IniFile& ini) {
    for (const char* key : {"MusicVolume", "SoundFxVolume"}) {
        const auto v = ini.Find(kOptions, key);
        if (v && !ParseFloat(*v)) return true;
    }
    const std::pair<const char*, const char*> integers[] = {
        {kOptions, "FullScreen"}, {kOptions, "Resolution"},
        {kOptions, "VSync"},      {kOptions, "FrameLimiter"},
        {kOptions, "Cursor"},     {kOptions, "ShowTutorial"},
        {kOptions, "Fs"},         {kTest, "Fps"},
        {kTest, "Ssc"},           {kTest, "Spc"}};
    for (const auto& [section, key] : integers) {
        const auto v = ini.Find(section, key);
        if (v && !ParseInteger(*v)) return true;
    }
    return false;
}

} // namespace

void LoadOptions() {
    const std::string path = OptionsFilePath();
    if (ResetOptions && !path.empty()) std::remove(path.c_str());

    TGameOptions loaded;
    loaded.AppFolderPath = GameOptions.AppFolderPath;
    loaded.ConfigFolderPath = GameOptions.ConfigFolderPath;
    loaded.LogFolderPath = GameOptions.LogFolderPath;
    loaded.SoundsOff = GameOptions.SoundsOff;
    keepOptionsFile = false;

    // A missing file leaves every default in place. A file that is there but cannot be read
    // (a folder, a device, too large, no permission, an encoding we do not read) is left as
    // it is: its options may be perfectly good. Damaged content is kept beside the new file.
    IniFile ini;
    ReadFailure failure = ReadFailure::None;
    const auto bytes =
        path.empty() ? std::nullopt : ReadWholeFile(path, &failure, IniFile::MaxFileSize);
    if (bytes && IsUtf16(*bytes)) {
        WriteLog("Options file " + path + " is in UTF-16, which is not read; running on " +
                 "defaults and leaving the file as it is");
        keepOptionsFile = true;
    } else if (bytes) {
        const std::string_view text(reinterpret_cast<const char*>(bytes->data()), bytes->size());
        const bool damaged = ini.Parse(text) > 0 || text.find('\0') != std::string_view::npos ||
                             HasUnreadableValue(ini);
        if (damaged) {
            const std::string bad = path + ".bad";
            if (WriteFileAtomically(bad, bytes->data(), bytes->size())) {
                WriteLog("Options file " + path + " is damaged; kept as " + bad);
            } else {
                WriteLog("Options file " + path + " is damaged and could not be kept as " + bad +
                         "; leaving it as it is");
                keepOptionsFile = true;
            }
        }
    } else if (failure != ReadFailure::Missing && !path.empty()) {
        WriteLog("Options file " + path + " " + ReadFailureText(failure) +
                 "; running on defaults and leaving it as it is");
        keepOptionsFile = true;
    }
    if (bytes && !keepOptionsFile && IsReadOnlyFile(FileBehindLinks(path))) {
        WriteLog("Options file " + path + " is read-only; its options are used and changes " +
                 "to them are not saved");
        keepOptionsFile = true;
    }
    loaded.MusicVolume = ReadVolume(ini, "MusicVolume", loaded.MusicVolume);
    loaded.SoundFxVolume = ReadVolume(ini, "SoundFxVolume", loaded.SoundFxVolume);
    loaded.FullScreen = ini.ReadBool(kOptions, "FullScreen", loaded.FullScreen);
    loaded.Resolution = ReadResolution(ini, loaded.Resolution);
    loaded.VSync = ini.ReadBool(kOptions, "VSync", loaded.VSync);
    loaded.FrameLimiter = ini.ReadBool(kOptions, "FrameLimiter", loaded.FrameLimiter);
    loaded.Cursor = ini.ReadBool(kOptions, "Cursor", loaded.Cursor);
    loaded.ShowTutorial = ini.ReadBool(kOptions, "ShowTutorial", loaded.ShowTutorial);
    loaded.LastProfileFile = ReadText(ini, "LastProfileFile", loaded.LastProfileFile);
    loaded.LastProfileName = ReadText(ini, "LastProfileName", loaded.LastProfileName);
    loaded.FirstStart = ini.ReadBool(kOptions, "Fs", loaded.FirstStart);
    loaded.Language = ReadText(ini, "Language", loaded.Language);
    loaded.Fps = ini.ReadBool(kTest, "Fps", loaded.Fps);
    loaded.Ssc = ini.ReadBool(kTest, "Ssc", loaded.Ssc);
    loaded.Spc = ini.ReadBool(kTest, "Spc", loaded.Spc);
    GameOptions = loaded;

    if (!keepOptionsFile) SaveOptions();
}

bool SaveOptions() {
    const std::string path = OptionsFilePath();
    if (path.empty()) return false;
    if (keepOptionsFile) return false; // logged when it was read
    const std::string text = OptionsFileText(GameOptions);
    CreateFolders(std::filesystem::path(path).parent_path().string());
    if (WriteFileAtomically(path, text.data(), text.size())) return true;
    WriteLog("Could not write options file " + path);
    return false;
}

} // namespace bw
