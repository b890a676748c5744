// The boss cat of a boss mission: it stands on two cells, eats the hamburgers carried onto
// it while its indicator fills, and falls asleep, winning the level, once it has eaten its
// fill. Nothing else can be moved onto it, and no bird, cat or egg ever takes its cells.
#pragma once

#include "Engine/KilnSprite/KilnSprite.h"
#include "board/BoardEffects.h"
#include "board/BoardTypes.h"

#include <memory>

namespace bw {

class TTextureOffsetSprite;

inline constexpr int BossEatScore = 135;

class TBossCatSprite : public TAnimatedSprite {
public:
    explicit TBossCatSprite(TSprite* parent);

    int FAnimStage =
        0; // 0 idle, 1 start eating, 2 eating, 3 fall asleep, 4 falling asleep, 5 asleep
    float FTimeCounter = 0.0f;
    int FKind = 1;
    int pX = 0;
    int pY = 0;
    TAnimatedSprite* IndicatorPanelSprite = nullptr;
    TTextureOffsetSprite* IndicatorFillSprite = nullptr;
    float FProgress = 0.0f;     // hamburgers eaten / health
    float FRealProgress = 0.0f; // the fill shown, creeping up to FProgress
    TAnimatedSprite* FEatedObject = nullptr;
    std::unique_ptr<BoardParticles> FFx1;
    std::unique_ptr<BoardParticles> FFx2;
    bool FFxStoped = false;
    TPoint2 FStartPos;

    // Shows the indicator with the share `fill` (0..1) filled from the bottom.
    void UpdateIndicator(float fill);

    void DoMove(float moveCount) override;
    void DoDraw() override;

private:
    void StartEatingEffects();
    void StopEatingEffects();
    void StepStage();
};

// The health the boss of this level needs: at least 1.
int BossHealthNeeded();
// A boss stands on this level's board: a boss mission whose boss is of kind 1.
bool LevelHasBoss();
// The cell is one of the boss's two.
bool IsBossAt(int x, int y);
// The lifted bonus is a hamburger and the boss can take it.
bool HamburgerTargetsBoss();
// The boss sprite; null when there is none.
TBossCatSprite* BossCat();

void CreateBoss();
// A hamburger arrived on (x, y): true when the boss ate it.
bool FeedBoss(int x, int y);
void AddBossToSnapshot(BoardSnapshot& s);
void ClearBoss();
void ForgetBoss();

} // namespace bw
