// The active player's record: progress, scores, the counters of the level in play and the
// lifetime counters the awards watch. Plain data that every floor of the game may read and
// write; the profile files that keep it live with the profiles (meta/Profile.h).
//
// Arrays of numbered things (bird kinds, awards) are indexed by the number; entry 0 is unused.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace bw {

inline constexpr int AwardsCount = 10;
inline constexpr int MaxMedal = 3;

// Level states.
inline constexpr int32_t LevelNotWon = 0;
inline constexpr int32_t LevelWon = 1;
inline constexpr int32_t LevelWonWithTask = 2;

struct TPlayerSavedLevel {
    int32_t FStatus = LevelNotWon;
};
using TPlayerSavedLevels = std::vector<TPlayerSavedLevel>;

struct TPlayerCombo {
    int32_t Color = 0;
    int32_t Count = 0;
};

struct TPlayer {
    std::string FileName; // the profile's file, without folder
    int32_t Level = 0;    // index of the current level in LevelsList
    std::string Name;
    int32_t Score = 0;     // sum of the level scores of all wins
    int32_t TempScore = 0; // level score as displayed
    double FloatScore = 0.0;
    bool TaskCompleted = false; // the task was judged completed during play
    // Level counters (ResetLevelCounters).
    int32_t LevelScore = 0; // never below 0
    int32_t LevelTime = 0;
    int32_t LevelMoves = 0;
    int32_t LevelBirdsGenerated = 0;
    int32_t LevelAiMoves = 0;
    std::array<int32_t, 10> LevelBirdsMatched{}; // per bird kind 1..9; entry 0 unused
    TPlayerCombo LevelBirdsCombos;
    int32_t LevelBirdsAnyCombo = 0;
    int32_t LevelCatsMatched = 0;
    int32_t LevelBonusesUsed = 0;
    // Lifetime counters (saved).
    int32_t CatsWereKilled = 0;
    int32_t BirdsWereBurned = 0;
    int32_t MaxCombo = 0;
    int32_t BonusesActivated = 0;
    int32_t BirdsPainted = 0;
    int32_t WallsDestroyed = 0;
    int32_t BirdsUnbounded = 0;
    int32_t CrownsKilled = 0;
    // More level counters.
    int32_t NestlingsSaved = 0;
    int32_t BossHealth = 0;
    TPlayerSavedLevels Levels;                     // one state per level of LevelsList
    std::array<int32_t, AwardsCount + 1> Awards{}; // medal 0..3 per award 1..10; entry 0 unused
    bool GameWasStarted = false;
    bool GameWasCompleted = false;
    // States saved for levels past the end of the current level list ("lev_" N+1 onwards),
    // written back unchanged so that a shorter list never erases them.
    std::vector<int32_t> LevelsBeyondList;
};

// The active profile.
extern TPlayer Player;

} // namespace bw
