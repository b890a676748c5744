// A player saved in a test's home folder, so that the menu opens without asking for a name.
#pragma once

#include "base/GameOptions.h"
#include "meta/Profile.h"
#include "meta/ProfileFile.h"

#include <ctime>
#include <string>

namespace bw::testing {

// Saves a new profile called `name` in `home`; the options are left at their defaults.
inline bool SavePlayerIn(const std::string& home, const std::string& name) {
    GameOptions = TGameOptions{};
    GameOptions.AppFolderPath = home;
    std::tm when{};
    when.tm_year = 126;
    when.tm_mday = 1;
    const bool saved = NewProfile(name, ProfileFileNameFor(when));
    GameOptions = TGameOptions{};
    return saved;
}

} // namespace bw::testing
