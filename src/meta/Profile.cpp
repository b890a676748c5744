#include "meta/Profile.h"

#include "base/GameOptions.h"
#include "board/LevelData.h"
#include "board/LevelScore.h"
#include "data/AsciiText.h"
#include "data/Xml.h"
#include "data/XmlConvert.h"
#include "data/XmlEncoding.h"
#include "data/XmlParser.h"
#include "meta/Awards.h"
#include "meta/ProfileFile.h"
#include "platform/Files.h"
#include "platform/Log.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <limits>
#include <set>
#include <unistd.h>

namespace bw {

TProfilesList ProfilesList;
ProfileCallbacks ProfileHooks;

namespace {

// Saved states past the level list are kept up to this many levels beyond it.
constexpr std::size_t MaxLevelsBeyondList = 4096;

int32_t Saturate(int64_t value) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

// ---- Names ----

// Decodes one UTF-8 character at I; nullopt-like -1 for an invalid sequence (I still advances).
int64_t NextCodePoint(std::string_view text, std::size_t& i) {
    const auto b0 = static_cast<unsigned char>(text[i]);
    if (b0 < 0x80) {
        ++i;
        return b0;
    }
    int extra = 0;
    uint32_t cp = 0;
    uint32_t minimum = 0;
    if ((b0 & 0xE0) == 0xC0) {
        extra = 1, cp = b0 & 0x1F, minimum = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        extra = 2, cp = b0 & 0x0F, minimum = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        extra = 3, cp = b0 & 0x07, minimum = 0x10000;
    } else {
        ++i;
        return -1;
    }
    int taken = 0;
    while (taken < extra && i + 1 + taken < text.size() &&
           (static_cast<unsigned char>(text[i + 1 + taken]) & 0xC0) == 0x80) {
        cp = (cp << 6) | (static_cast<unsigned char>(text[i + 1 + taken]) & 0x3F);
        ++taken;
    }
    i += 1 + taken;
    if (taken < extra || cp < minimum || cp > 0x10FFFF) return -1;
    return cp;
}

// The Name attribute is written verbatim by the XML writer and read up to the next double
// quote, so the profile escapes what would break it.
std::string EscapeName(std::string_view name) {
    std::string out;
    for (const char c : name) {
        if (c == '&')
            out += "&amp;";
        else if (c == '"')
            out += "&quot;";
        else
            out += c;
    }
    return out;
}

std::string UnescapeName(std::string_view text) {
    static constexpr std::pair<std::string_view, char> entities[] = {
        {"&amp;", '&'}, {"&quot;", '"'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&apos;", '\''}};
    std::string out;
    std::size_t i = 0;
    while (i < text.size()) {
        bool replaced = false;
        if (text[i] == '&') {
            for (const auto& [entity, c] : entities) {
                if (text.substr(i, entity.size()) == entity) {
                    out += c;
                    i += entity.size();
                    replaced = true;
                    break;
                }
            }
        }
        if (!replaced) out += text[i++];
    }
    return out;
}

// ---- The record and its tree ----

struct LifetimeCounter {
    const char* Name;
    int32_t TPlayer::*Field;
};
constexpr LifetimeCounter LifetimeCounters[] = {
    {"CatsWereKilled", &TPlayer::CatsWereKilled},
    {"BirdsWereBurned", &TPlayer::BirdsWereBurned},
    {"MaxCombo", &TPlayer::MaxCombo},
    {"BonusesActivated", &TPlayer::BonusesActivated},
    {"BirdsPainted", &TPlayer::BirdsPainted},
    {"WallsDestroyed", &TPlayer::WallsDestroyed},
    {"BirdsUnbounded", &TPlayer::BirdsUnbounded},
    {"CrownsKilled", &TPlayer::CrownsKilled},
};

// A lifetime counter never goes below 0, and one read far beyond any game played is held
// where counting on stays clear of overflow.
constexpr int32_t MaxLifetimeCount = 1000000000;

const char* BoolText(bool value) {
    return value ? "True" : "False";
}

std::unique_ptr<TXMLNode> ProfileTree(const TPlayer& p) {
    auto root = std::make_unique<TXMLNode>("Profile");
    root->AddField("Name", EscapeName(SanitizeProfileName(p.Name)));
    root->AddField("Score", std::to_string(p.Score));
    root->AddField("GameWasStarted", BoolText(p.GameWasStarted));
    root->AddField("GameWasCompleted", BoolText(p.GameWasCompleted));

    TXMLNode* awards = root->AddChild("Awards");
    for (int a = 1; a <= AwardsCount; ++a)
        awards->AddField("award_" + std::to_string(a), std::to_string(p.Awards[a]));

    TXMLNode* levels = root->AddChild("Levels");
    std::size_t n = 0;
    for (const TPlayerSavedLevel& level : p.Levels)
        levels->AddField("lev_" + std::to_string(++n), std::to_string(level.FStatus));
    for (const int32_t state : p.LevelsBeyondList)
        levels->AddField("lev_" + std::to_string(++n), std::to_string(state));

    TXMLNode* tasks = root->AddChild("Tasks");
    for (const LifetimeCounter& counter : LifetimeCounters)
        tasks->AddField(counter.Name, std::to_string(p.*counter.Field));
    return root;
}

// The level number of an attribute "lev_<digits>" (any letter case), or 0.
std::size_t LevelAttributeNumber(std::string_view name) {
    if (name.size() < 5 || name.size() > 13 || !AsciiSameText(name.substr(0, 4), "lev_")) return 0;
    std::size_t number = 0;
    for (const char c : name.substr(4)) {
        if (c < '0' || c > '9') return 0;
        number = number * 10 + static_cast<std::size_t>(c - '0');
    }
    return number;
}

void ReadLevelStates(const TXMLNode& node, TPlayer& p) {
    const std::size_t count = p.Levels.size();
    for (std::size_t i = 0; i < count; ++i) {
        const int32_t state = TextToIntDef(node.GetFieldValue("lev_" + std::to_string(i + 1)), 0);
        p.Levels[i].FStatus = std::clamp(state, LevelNotWon, LevelWonWithTask);
    }
    // States beyond the list: the first attribute of each number counts, as for lookups.
    std::vector<bool> seen;
    for (int f = 0; f < node.FieldCount(); ++f) {
        const TXMLNodeField* field = node.GetField(f);
        const std::size_t number = LevelAttributeNumber(field->Name);
        if (number <= count || number > count + MaxLevelsBeyondList) continue;
        const std::size_t index = number - count - 1;
        if (index >= p.LevelsBeyondList.size()) {
            p.LevelsBeyondList.resize(index + 1, LevelNotWon);
            seen.resize(index + 1, false);
        }
        if (seen[index]) continue;
        seen[index] = true;
        p.LevelsBeyondList[index] =
            std::clamp(TextToIntDef(field->Value, 0), LevelNotWon, LevelWonWithTask);
    }
}

// Reads a profile file into P; nullptr when it reads, else why it is damaged.
const char* ReadProfile(const uint8_t* data, std::size_t size, std::size_t levelStates,
                        TPlayer& player) {
    // Far more than the game ever writes; reading a larger file would only cost time and memory.
    if (size > MaxProfileFileSize) return "the file is larger than any profile";
    const std::optional<std::string> text = DecodeProfileBytes(data, size);
    if (!text) return "a line lacks the line marker";
    const auto root = XMLFromText(*text);
    if (!root) return "the text does not parse";
    if (!AsciiSameText(root->Name(), "profile")) return "the root element is not Profile";
    const std::string name = UnescapeName(root->GetFieldValue("name"));
    if (ProfileNameLength(name) > MaxProfileNameLength)
        return "the name is longer than the name entry allows";

    TPlayer p;
    p.Levels.assign(levelStates, TPlayerSavedLevel{});
    ResetLevelCounters(p);
    p.Name = SanitizeProfileName(name);
    p.Score = std::max(0, TextToIntDef(root->GetFieldValue("Score"), 0));
    p.GameWasStarted = TextToBool(root->GetFieldValue("GameWasStarted"), false);
    p.GameWasCompleted = TextToBool(root->GetFieldValue("GameWasCompleted"), false);

    if (const TXMLNode* awards = root->GetChildNode("Awards")) {
        for (int a = 1; a <= AwardsCount; ++a) {
            const int32_t medal =
                TextToIntDef(awards->GetFieldValue("award_" + std::to_string(a)), 0);
            p.Awards[a] = std::clamp(medal, 0, MaxMedal);
        }
    }
    if (const TXMLNode* levels = root->GetChildNode("Levels")) ReadLevelStates(*levels, p);
    if (const TXMLNode* tasks = root->GetChildNode("Tasks")) {
        for (const LifetimeCounter& counter : LifetimeCounters)
            p.*counter.Field = std::clamp(TextToIntDef(tasks->GetFieldValue(counter.Name), 0), 0,
                                          MaxLifetimeCount);
    }
    player = std::move(p);
    return nullptr;
}

// ---- Files ----

bool IsPlainFileName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos;
}

std::string ProfilePath(const std::string& fileName) {
    const std::string folder = ProfilesFolder();
    if (folder.empty() || !IsPlainFileName(fileName)) return "";
    return JoinPath(folder, fileName);
}

enum class CreateResult { Created, Exists, Failed };

// Writes a complete new file under Path only if no file of that name exists: the content goes
// to a temporary file first, which is then hard-linked to its name (the link fails when the
// name is taken).
CreateResult CreateFileExclusively(const std::string& path, const std::vector<uint8_t>& data) {
    if (FileExists(path)) return CreateResult::Exists;
    const std::string tmp = path + ".new";
    if (!WriteWholeFile(tmp, data.data(), data.size())) return CreateResult::Failed;
    CreateResult result = CreateResult::Created;
    if (::link(tmp.c_str(), path.c_str()) != 0) {
        if (errno == EEXIST) {
            result = CreateResult::Exists;
        } else if (FileExists(path)) { // a file system without hard links
            result = CreateResult::Exists;
        } else if (::rename(tmp.c_str(), path.c_str()) != 0) {
            result = CreateResult::Failed;
        }
    }
    ::unlink(tmp.c_str());
    if (result == CreateResult::Created) SyncFolderOf(path);
    return result;
}

CreateResult StartFreshProfile(const std::string& name, const std::string& fileName) {
    const std::string path = ProfilePath(fileName);
    if (!path.empty() && FileExists(path)) return CreateResult::Exists;
    DiscardAwards();
    WriteLog("Creating new Profile: \"" + name + "\" , File: [" + fileName + "]", 1);

    TPlayer fresh;
    fresh.FileName = fileName;
    fresh.Name = SanitizeProfileName(name);
    fresh.Level = Player.Level;
    fresh.Levels.assign(Player.Levels.size(), TPlayerSavedLevel{});
    ResetLevelCounters(fresh);

    CreateResult result = CreateResult::Failed;
    if (!path.empty() && CreateFolders(ProfilesFolder()))
        result = CreateFileExclusively(path, ProfileFileBytes(fresh));
    if (result == CreateResult::Exists) {
        WriteLog("Profile file exists already, not replaced: [" + fileName + "]", 1);
        return result;
    }
    if (result == CreateResult::Failed) WriteLog("Saving profile failed: [" + fileName + "]", 1);

    Player = std::move(fresh);
    GameOptions.LastProfileFile = Player.FileName;
    GameOptions.LastProfileName = Player.Name;
    SaveOptions();
    return result;
}

// The player name a failure message gives for a profile file that may not be readable: the
// name the list shows for it, else the last profile's name when it is the last profile's file,
// else the file name.
std::string NameOfProfileFile(const std::string& fileName) {
    for (const TProfileCaption& profile : ProfilesList)
        if (profile.FileName == fileName) return profile.Caption;
    if (fileName == GameOptions.LastProfileFile && !GameOptions.LastProfileName.empty())
        return GameOptions.LastProfileName;
    return fileName;
}

// The profile loaded with findings, as it read: while the saved part of Player is still
// this, saving would only write the defaults of the findings over the file.
struct KeptProfile {
    std::string FileName;
    std::vector<uint8_t> AsLoaded;
};
KeptProfile Kept;

std::string JoinedNames(const std::vector<std::string>& names) {
    std::string list;
    for (const std::string& name : names) list += (list.empty() ? "" : ", ") + name;
    return list;
}

void LogFindings(const std::string& fileName, const ProfileFindings& found) {
    const std::string profile = "Profile [" + fileName + "]: ";
    WriteLog(profile + "the file is kept as it is until the player plays on", 1);
    if (!found.Missing.empty())
        WriteLog(profile + "missing values read as 0: " + JoinedNames(found.Missing), 1);
    if (!found.Unknown.empty())
        WriteLog(profile + "unknown values ignored: " + JoinedNames(found.Unknown), 1);
    if (!found.Corrected.empty())
        WriteLog(profile + "values corrected: " + JoinedNames(found.Corrected), 1);
    if (!found.Unreadable.empty())
        WriteLog(profile + "values that do not parse read as their defaults: " +
                     JoinedNames(found.Unreadable),
                 1);
}

bool LoadProfileFile(const std::string& fileName, bool showMessage, std::string* messageKey) {
    const std::string path = ProfilePath(fileName);
    const char* failure = nullptr;
    const char* why = nullptr;
    TPlayer loaded;
    std::optional<std::vector<uint8_t>> bytes;
    if (path.empty() || !FileExists(path)) {
        failure = MsgProfileNotFound;
    } else {
        ReadFailure readFailure = ReadFailure::None;
        bytes = ReadWholeFile(path, &readFailure, MaxProfileFileSize);
        if (!bytes)
            why = readFailure == ReadFailure::TooLarge ? "the file is larger than any profile"
                                                       : ReadFailureText(readFailure);
        else
            why = ReadProfile(bytes->data(), bytes->size(), Player.Levels.size(), loaded);
        if (why) failure = MsgBadProfile;
    }
    if (failure) {
        WriteLog(std::string("Loading profile failed (") + failure + "): [" + fileName + "]" +
                     (why ? std::string(": ") + why : std::string()),
                 1);
        if (messageKey) *messageKey = failure;
        if (showMessage && ProfileHooks.ShowMessage)
            ProfileHooks.ShowMessage(failure, NameOfProfileFile(fileName));
        return false;
    }
    if (messageKey) messageKey->clear();

    DiscardAwards();
    loaded.Level = 0;
    loaded.FileName = fileName;
    // Not damage of the file as a whole: those values read as their defaults. Loading does
    // not save, and the file keeps its text until the player has something new to save.
    const ProfileFindings found =
        CheckProfileValues(bytes->data(), bytes->size(), loaded.Levels.size());
    Kept = {};
    if (found.Any()) {
        LogFindings(fileName, found);
        Kept = {fileName, ProfileFileBytes(loaded)};
    }
    Player = std::move(loaded);
    GameOptions.LastProfileFile = Player.FileName;
    GameOptions.LastProfileName = Player.Name;
    SaveOptions();
    return true;
}

} // namespace

// ---- Names ----

bool IsProfileNameChar(char32_t c) {
    if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) return false; // control characters
    if (c == 0x2028 || c == 0x2029) return false;           // line and paragraph separators
    if (c >= 0xD800 && c <= 0xDFFF) return false;
    if (c == 0xFFFE || c == 0xFFFF || c > 0x10FFFF) return false;
    return true;
}

std::string SanitizeProfileName(std::string_view name) {
    std::string out;
    std::size_t i = 0;
    while (i < name.size()) {
        const int64_t cp = NextCodePoint(name, i);
        if (cp < 0 || !IsProfileNameChar(static_cast<char32_t>(cp))) continue;
        AppendUtf8(out, static_cast<uint32_t>(cp));
    }
    out = TrimLeadingBlanks(out);
    std::size_t end = 0;
    for (std::size_t n = 0; end < out.size() && n < MaxProfileNameLength; ++n)
        NextCodePoint(out, end);
    out.resize(end);
    return out;
}

std::size_t ProfileNameLength(std::string_view name) {
    return static_cast<std::size_t>(std::count_if(name.begin(), name.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

bool IsValidProfileName(std::string_view name) {
    return !name.empty() && SanitizeProfileName(name) == name;
}

std::string TrimLeadingBlanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    return first == std::string_view::npos ? std::string() : std::string(text.substr(first));
}

bool ProfileNamesEqual(std::string_view a, std::string_view b) {
    const auto trimmed = [](std::string_view s) {
        const std::size_t last = s.find_last_not_of(' ');
        return last == std::string_view::npos ? std::string_view() : s.substr(0, last + 1);
    };
    return trimmed(a) == trimmed(b);
}

bool ProfileNameExists(std::string_view name) {
    return std::any_of(ProfilesList.begin(), ProfilesList.end(), [&](const TProfileCaption& c) {
        return ProfileNamesEqual(c.Caption, name);
    });
}

std::string DefaultProfileName(const std::string& baseText) {
    if (!ProfileNameExists(baseText)) return baseText;
    for (std::size_t n = 1;; ++n) {
        std::string candidate = baseText + " " + std::to_string(n);
        if (!ProfileNameExists(candidate)) return candidate;
    }
}

std::string DefaultProfileName() {
    std::string base = ProfileHooks.DefaultNameText ? ProfileHooks.DefaultNameText() : "";
    return DefaultProfileName(base.empty() ? std::string("Player") : base);
}

// ---- Files ----

std::string ProfilesFolder() {
    if (GameOptions.AppFolderPath.empty()) return "";
    return JoinPath(GameOptions.AppFolderPath, ProfilesFolderName);
}

std::string ProfileFileNameFor(const std::tm& t) {
    char text[64];
    std::snprintf(text, sizeof text, "%04d_%02d_%02d_%02d_%02d_%02d%s", t.tm_year + 1900,
                  t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec, ProfileExtension);
    return text;
}

std::vector<uint8_t> ProfileFileBytes(const TPlayer& player) {
    return EncodeProfileText(ProfileTree(player)->GetCode());
}

bool ProfileFromBytes(const uint8_t* data, std::size_t size, std::size_t levelStates,
                      TPlayer& player) {
    return ReadProfile(data, size, levelStates, player) == nullptr;
}

ProfileFindings CheckProfileValues(const uint8_t* data, std::size_t size, std::size_t levelStates) {
    ProfileFindings found;
    TPlayer read;
    if (ReadProfile(data, size, levelStates, read) != nullptr) return found;
    const auto root = XMLFromText(*DecodeProfileBytes(data, size));

    // A value is unreadable when it is there and the reader falls back to its default: the
    // result then depends on the default asked for.
    const auto checkInt = [&](const TXMLNode& node, const std::string& name) {
        const int f = node.FindFieldByName(name);
        if (f < 0) return found.Missing.push_back(name);
        const std::string& v = node.GetField(f)->Value;
        if (TextToIntDef(v, 0) != TextToIntDef(v, 1)) found.Unreadable.push_back(name);
    };
    const auto checkBool = [&](const TXMLNode& node, const std::string& name) {
        const int f = node.FindFieldByName(name);
        if (f < 0) return found.Missing.push_back(name);
        const std::string& v = node.GetField(f)->Value;
        if (TextToBool(v, false) != TextToBool(v, true)) found.Unreadable.push_back(name);
    };
    const auto inRange = [&](const std::string& name, const std::string& value, int32_t top) {
        const int32_t v = TextToIntDef(value, 0);
        if (v < 0 || v > top) found.Corrected.push_back(name + "=" + std::to_string(v));
    };
    // A known name given twice (a flipped "lev_1" that reads as "lev_3") hides the second
    // value: the reader takes the first.
    const auto unknownFields = [&](const TXMLNode& node, const auto& known) {
        std::set<std::string> seen;
        for (int f = 0; f < node.FieldCount(); ++f) {
            const std::string& name = node.GetField(f)->Name;
            if (!known(name))
                found.Unknown.push_back(name);
            else if (!seen.insert(AsciiLowerCase(name)).second)
                found.Unknown.push_back(name + " (again)");
        }
    };

    if (root->FindFieldByName("Name") < 0) {
        found.Missing.push_back("Name");
    } else if (const std::string name = UnescapeName(root->GetFieldValue("Name"));
               SanitizeProfileName(name) != name) {
        found.Corrected.push_back("Name");
    }
    checkInt(*root, "Score");
    if (root->FindFieldByName("Score") >= 0)
        inRange("Score", root->GetFieldValue("Score"), std::numeric_limits<int32_t>::max());
    checkBool(*root, "GameWasStarted");
    checkBool(*root, "GameWasCompleted");
    unknownFields(*root, [](std::string_view n) {
        return AsciiSameText(n, "Name") || AsciiSameText(n, "Score") ||
               AsciiSameText(n, "GameWasStarted") || AsciiSameText(n, "GameWasCompleted");
    });

    for (const char* element : {"Awards", "Levels", "Tasks"})
        if (!root->GetChildNode(element)) found.Missing.push_back(element);
    for (const TXMLNode& child : *root) {
        const std::string& n = child.Name();
        if (!AsciiSameText(n, "Awards") && !AsciiSameText(n, "Levels") &&
            !AsciiSameText(n, "Tasks"))
            found.Unknown.push_back("<" + n + ">");
    }

    if (const TXMLNode* awards = root->GetChildNode("Awards")) {
        for (int a = 1; a <= AwardsCount; ++a) {
            const std::string name = "award_" + std::to_string(a);
            checkInt(*awards, name);
            if (awards->FindFieldByName(name) >= 0)
                inRange(name, awards->GetFieldValue(name), MaxMedal);
        }
        unknownFields(*awards, [](std::string_view n) {
            for (int a = 1; a <= AwardsCount; ++a)
                if (AsciiSameText(n, "award_" + std::to_string(a))) return true;
            return false;
        });
    }
    if (const TXMLNode* levels = root->GetChildNode("Levels")) {
        // Every level below the highest one saved is expected, and every level of the list.
        std::size_t highest = 0;
        for (int f = 0; f < levels->FieldCount(); ++f) {
            const std::size_t number = LevelAttributeNumber(levels->GetField(f)->Name);
            if (number <= levelStates + MaxLevelsBeyondList) highest = std::max(highest, number);
        }
        for (std::size_t n = 1; n <= std::max(highest, levelStates); ++n) {
            const std::string name = "lev_" + std::to_string(n);
            checkInt(*levels, name);
            if (levels->FindFieldByName(name) >= 0)
                inRange(name, levels->GetFieldValue(name), LevelWonWithTask);
        }
        unknownFields(*levels, [&](std::string_view n) {
            const std::size_t number = LevelAttributeNumber(n);
            return number > 0 && number <= levelStates + MaxLevelsBeyondList;
        });
    }
    if (const TXMLNode* tasks = root->GetChildNode("Tasks")) {
        for (const LifetimeCounter& counter : LifetimeCounters) {
            checkInt(*tasks, counter.Name);
            if (tasks->FindFieldByName(counter.Name) >= 0)
                inRange(counter.Name, tasks->GetFieldValue(counter.Name), MaxLifetimeCount);
        }
        unknownFields(*tasks, [](std::string_view n) {
            for (const LifetimeCounter& counter : LifetimeCounters)
                if (AsciiSameText(n, counter.Name)) return true;
            return false;
        });
    }
    return found;
}

std::vector<std::string> UnreadableProfileValues(const uint8_t* data, std::size_t size) {
    return CheckProfileValues(data, size, 0).Unreadable;
}

// ---- Operations on Player ----

void ResizeLevelStates() {
    ResizeLevelStates(LevelsList.size());
}

void ResizeLevelStates(std::size_t count) {
    Player.Levels.assign(count, TPlayerSavedLevel{});
}

void OpenAllLevels() {
    for (TPlayerSavedLevel& level : Player.Levels)
        if (level.FStatus == 0) level.FStatus = 1;
}

bool CreateProfile(const std::string& name) {
    return CreateProfile(name, std::time(nullptr));
}

bool CreateProfile(const std::string& name, std::time_t when) {
    const std::string clean = SanitizeProfileName(name);
    if (clean.empty()) return false;
    std::tm local{};
    localtime_r(&when, &local);
    const std::string stamp = ProfileFileNameFor(local);
    const std::string base =
        stamp.substr(0, stamp.size() - std::string_view(ProfileExtension).size());
    // Profiles created within one second get "_001", "_002", ... so names still sort by age.
    for (int n = 0; n < 1000; ++n) {
        char suffix[16] = "";
        if (n > 0) std::snprintf(suffix, sizeof suffix, "_%03d", n);
        const int32_t level = Player.Level;
        Player.Level = 0;
        const CreateResult result = StartFreshProfile(clean, base + suffix + ProfileExtension);
        if (result != CreateResult::Exists) return result == CreateResult::Created;
        Player.Level = level;
    }
    return false;
}

bool NewProfile(const std::string& name, const std::string& fileName) {
    return StartFreshProfile(name, fileName) == CreateResult::Created;
}

bool LoadProfile(const std::string& fileName, std::string* messageKey) {
    return LoadProfileFile(fileName, true, messageKey);
}

bool SaveProfile() {
    const std::string path = ProfilePath(Player.FileName);
    const std::vector<uint8_t> bytes = ProfileFileBytes(Player);
    if (!Kept.FileName.empty() && Kept.FileName == Player.FileName) {
        if (bytes == Kept.AsLoaded) return true; // nothing new: the file stays as it is
        WriteLog("Profile [" + Player.FileName + "]: the player played on; saved over the " +
                     "values it lacked",
                 1);
        Kept = {};
    }
    if (path.empty() || !CreateFolders(ProfilesFolder()) ||
        !WriteFileAtomically(path, bytes.data(), bytes.size())) {
        WriteLog("Saving profile failed: [" + Player.FileName + "]", 1);
        return false;
    }
    return true;
}

std::string ReadProfileName(const std::string& fileName) {
    const std::string path = ProfilePath(fileName);
    if (path.empty()) return "";
    const auto bytes = ReadWholeFile(path, nullptr, MaxProfileFileSize);
    TPlayer p;
    if (!bytes || !ProfileFromBytes(bytes->data(), bytes->size(), 0, p)) return "";
    return p.Name;
}

TProfilesList ListProfiles() {
    TProfilesList list;
    const std::string folder = ProfilesFolder();
    if (folder.empty()) return list;
    CreateFolders(folder);
    std::vector<std::string> files = ListFiles(folder, ProfileExtension);
    // File names are creation times: by name, newest first, whatever order the folder has.
    std::sort(files.begin(), files.end(), std::greater<>());
    for (const std::string& file : files) {
        std::string name = ReadProfileName(file);
        if (!name.empty()) list.push_back({std::move(name), file});
    }
    return list;
}

bool ChooseStartProfile() {
    for (const TProfileCaption& caption : ProfilesList) {
        if (LoadProfileFile(caption.FileName, false, nullptr)) return true;
    }
    if (ProfileHooks.OpenNameEntry) ProfileHooks.OpenNameEntry();
    return false;
}

bool ChooseProfileAtStartUp() {
    ProfilesList = ListProfiles();
    if (!GameOptions.LastProfileFile.empty() && LoadProfile(GameOptions.LastProfileFile))
        return true;
    return ChooseStartProfile();
}

bool DeleteProfile(const std::string& fileName) {
    const std::string path = ProfilePath(fileName);
    const bool deleted = !path.empty() && DeleteFile(path);
    ProfilesList = ListProfiles();
    // Deleting another player's profile leaves the active player as it is.
    if (fileName != Player.FileName) return deleted;
    // The deleted profile is never written again: nothing points at its file any more.
    DiscardAwards();
    Player.FileName.clear();
    if (GameOptions.LastProfileFile == fileName) {
        GameOptions.LastProfileFile.clear();
        GameOptions.LastProfileName.clear();
        SaveOptions();
    }
    ChooseStartProfile();
    ProfilesList = ListProfiles();
    return deleted;
}

// ---- Level bookkeeping ----

bool FinishLevel(const BoardTaskSummary& board) {
    return FinishLevel(CurrentLevel.Task, board);
}

bool FinishLevel(const TLevelTask& task, const BoardTaskSummary& board) {
    TPlayer& p = Player;
    p.GameWasStarted = true;
    p.Score = Saturate(int64_t{p.Score} + p.LevelScore);
    const bool met =
        p.TaskCompleted || JudgeTask(task, TaskCountersOf(p), board, true) == task_Completed;
    // The verdict recorded now is the one the result shows.
    p.TaskCompleted = met;
    if (p.Level >= 0 && static_cast<std::size_t>(p.Level) < p.Levels.size()) {
        int32_t& state = p.Levels[static_cast<std::size_t>(p.Level)].FStatus;
        if (met)
            state = LevelWonWithTask;
        else if (state == LevelNotWon)
            state = LevelWon;
    }
    CheckAward(AwardScore);
    CheckAward(AwardCompletedTasks);
    SaveProfile();
    return met;
}

int FirstUnplayedLevel() {
    const auto& levels = Player.Levels;
    for (std::size_t i = 0; i < levels.size(); ++i)
        if (levels[i].FStatus == LevelNotWon) return static_cast<int>(i);
    return levels.empty() ? 0 : static_cast<int>(levels.size()) - 1;
}

int NextLevelToPlay() {
    const auto& levels = Player.Levels;
    for (const int32_t wanted : {LevelNotWon, LevelWon}) {
        for (std::size_t i = 0; i < levels.size(); ++i)
            if (levels[i].FStatus == wanted) return static_cast<int>(i);
    }
    return 0;
}

int CompletedTasksCount() {
    return static_cast<int>(
        std::count_if(Player.Levels.begin(), Player.Levels.end(),
                      [](const TPlayerSavedLevel& l) { return l.FStatus == LevelWonWithTask; }));
}

} // namespace bw
