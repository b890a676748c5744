// A player saved in a test's home folder, so that the menu opens without asking for a name,
// and a saved player read back.
#pragma once

#include "base/GameOptions.h"
#include "board/LevelData.h"
#include "meta/Profile.h"
#include "meta/ProfileFile.h"
#include "platform/Files.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

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

// The profile `file` as saved in a test's home folder, read for the levels of the list.
inline TPlayer SavedPlayer(const TempFolder& home, const std::string& file = "t.sav") {
    TPlayer p;
    const auto bytes = bw::ReadWholeFile(home.File("Profiles/" + file));
    EXPECT_TRUE(bytes && ProfileFromBytes(bytes->data(), bytes->size(), LevelsList.size(), p))
        << "the saved profile " << file;
    return p;
}

} // namespace bw::testing
