// Reads arbitrary bytes as a profile file. A file that reads must hold only values in range
// and a valid name, and must read back the same after being saved again, with nothing missing
// or corrected in the saved file; the storage layer must give back any text it decoded.
#include "FuzzFail.h"
#include "data/XmlEncoding.h"
#include "meta/Profile.h"
#include "meta/ProfileFile.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

bool SameSaved(const bw::TPlayer& a, const bw::TPlayer& b) {
    if (a.Name != b.Name || a.Score != b.Score || a.GameWasStarted != b.GameWasStarted ||
        a.GameWasCompleted != b.GameWasCompleted || a.Awards != b.Awards ||
        a.LevelsBeyondList != b.LevelsBeyondList || a.Levels.size() != b.Levels.size())
        return false;
    for (size_t i = 0; i < a.Levels.size(); ++i)
        if (a.Levels[i].FStatus != b.Levels[i].FStatus) return false;
    return a.CatsWereKilled == b.CatsWereKilled && a.BirdsWereBurned == b.BirdsWereBurned &&
           a.MaxCombo == b.MaxCombo && a.BonusesActivated == b.BonusesActivated &&
           a.BirdsPainted == b.BirdsPainted && a.WallsDestroyed == b.WallsDestroyed &&
           a.BirdsUnbounded == b.BirdsUnbounded && a.CrownsKilled == b.CrownsKilled;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A scrambled character may decode to CR or LF (never one a profile writes); text free of
    // those must survive encoding unchanged.
    const auto text = bw::DecodeProfileBytes(data, size);
    if (text && *text == bw::NormaliseLineBreaks(*text)) {
        if (bw::DecodeProfileBytes(bw::EncodeProfileText(*text)) != *text)
            Fail("decoded text does not survive encoding");
    }

    bw::TPlayer player;
    const bw::ProfileFindings found = bw::CheckProfileValues(data, size, 8);
    if (!bw::ProfileFromBytes(data, size, 8, player)) {
        if (found.Any()) Fail("findings for a file that does not read");
        return 0;
    }
    if (player.Levels.size() != 8) Fail("level states not sized to the list");
    for (int a = 0; a <= bw::AwardsCount; ++a)
        if (player.Awards[a] < 0 || player.Awards[a] > bw::MaxMedal) Fail("medal out of range");
    if (player.Awards[0] != 0) Fail("award 0 written");
    for (const auto& level : player.Levels)
        if (level.FStatus < 0 || level.FStatus > 2) Fail("level state out of range");
    for (const int32_t state : player.LevelsBeyondList)
        if (state < 0 || state > 2) Fail("level state beyond the list out of range");
    if (!player.Name.empty() && !bw::IsValidProfileName(player.Name)) Fail("invalid name kept");
    if (player.LevelBirdsCombos.Color != 1) Fail("level counters not reset");

    const std::vector<uint8_t> saved = bw::ProfileFileBytes(player);
    bw::TPlayer again;
    if (!bw::ProfileFromBytes(saved.data(), saved.size(), 8, again)) Fail("saved file unreadable");
    if (!SameSaved(player, again)) Fail("saved file reads back differently");
    // The game's own file lacks nothing and holds nothing it does not read as written.
    if (bw::CheckProfileValues(saved.data(), saved.size(), 8).Any())
        Fail("findings in a file the game wrote");
    return 0;
}
