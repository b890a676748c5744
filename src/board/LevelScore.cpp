#include "board/LevelScore.h"

#include "board/BoardHost.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace bw {

namespace {

int32_t Saturate(int64_t value) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

} // namespace

void ResetLevelCounters(TPlayer& p) {
    p.TaskCompleted = false;
    p.TempScore = 0;
    p.FloatScore = 0.0;
    p.LevelScore = 0;
    p.LevelTime = 0;
    p.LevelMoves = 0;
    p.LevelBirdsGenerated = 0;
    p.LevelAiMoves = 0;
    p.LevelBirdsMatched = {};
    p.LevelCatsMatched = 0;
    p.LevelBirdsAnyCombo = 0;
    p.LevelBonusesUsed = 0;
    p.LevelBirdsCombos = {1, 0};
    p.NestlingsSaved = 0;
    p.BossHealth = 0;
}

void ResetLevelCounters() {
    ResetLevelCounters(Player);
}

void AddLevelScore(int32_t points) {
    Player.LevelScore = Saturate(std::max<int64_t>(0, int64_t{Player.LevelScore} + points));
    Host().RefreshTask(false);
}

void AnimateDisplayedScore() {
    TPlayer& p = Player;
    const int64_t distance = std::abs(int64_t{p.LevelScore} - p.TempScore);
    const double step = (distance <= 25 ? 1 : distance <= 100 ? 4 : 8) * 2.0;
    const double shown = std::nearbyint(p.FloatScore);
    if (shown < p.LevelScore) {
        p.FloatScore += step;
        if (p.FloatScore >= p.LevelScore) p.FloatScore = p.LevelScore;
    } else if (shown > p.LevelScore) {
        p.FloatScore -= step;
        if (p.FloatScore <= p.LevelScore) p.FloatScore = p.LevelScore;
    } else {
        p.TempScore = p.LevelScore;
        return;
    }
    p.TempScore = Saturate(static_cast<int64_t>(std::nearbyint(p.FloatScore)));
}

TaskCounters TaskCountersOf(const TPlayer& p) {
    TaskCounters c;
    c.LevelTime = p.LevelTime;
    c.LevelMoves = p.LevelMoves;
    c.LevelBirdsGenerated = p.LevelBirdsGenerated;
    c.LevelBirdsMatched = p.LevelBirdsMatched;
    c.LevelCatsMatched = p.LevelCatsMatched;
    c.LevelBonusesUsed = p.LevelBonusesUsed;
    c.LevelScore = p.LevelScore;
    c.ComboColor = p.LevelBirdsCombos.Color;
    c.ComboCount = p.LevelBirdsCombos.Count;
    return c;
}

} // namespace bw
