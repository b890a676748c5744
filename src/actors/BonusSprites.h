// The bonuses on the board: the bonus slot of every cell, the bonus lifted under the pointer,
// the bonus travelling along its path, and the weapons of a blast: the fireworks' rockets, the
// lightning's strikes and the paint's drops.
#pragma once

#include "Engine/KilnSprite/KilnSprite.h"
#include "board/BirdSprites.h"
#include "board/BoardEffects.h"
#include "board/BoardTypes.h"

#include <memory>
#include <string>

namespace bw {

class TBonusSprite : public TAnimatedSprite {
public:
    explicit TBonusSprite(TSprite* parent);

    int pX = 0;
    int pY = 0;
    int FBonusStatus = 0; // 0 idle; 1, 11, 21, 31 pulsing before the blast
    float FActivationTimer = 15.0f;
    int FKind = 41; // 41..45
    int FMatchedBirdsKind = 0;
    TPoint2 FStartPos;
    std::unique_ptr<BoardParticles> FFx1; // the idle effect
    std::unique_ptr<BoardParticles> FFx2;
    bool FFxStoped = false;

    TCoord2 Cell() const { return {pX, pY}; }
    // A bonus lies here and is not going off.
    bool Standing() const { return FVisible && !FDeaded && FBonusStatus == 0; }
    // Shows a bonus of `kind` lying on the slot's cell, with its idle effect.
    void ShowBonus(int kind);
    // Puts the sprite on its cell by its kind's offset.
    void PlaceOnCell();

    void StartFx();
    void StopFx();
    void UpdateFx(float moveCount);

    void DoMove(float moveCount) override;
    void DoDraw() override;
    void DoInvisibleDraw() override;
};

// The bonus dangling under the pointer; it hangs and swings as a lifted bird does.
class TDragedBonus : public TDragedBird {
public:
    explicit TDragedBonus(TSprite* parent);

    std::unique_ptr<BoardParticles> FFx1;
    std::unique_ptr<BoardParticles> FFx2;

    // FKind is 1..5 here.
    void AsssignBonus(const TBonusSprite& bonus);
    // Hangs from the pointer by its kind's offset, its lower edge starting right below.
    void HangUnderPointer();
    void StartFx();
    void StopFx();
    void Hide();

    void DoMove(float moveCount) override;
    void DoDraw() override;
};

// A bonus the player moves along a free path.
class TMovedBonusSprite : public TAnimatedSprite {
public:
    using TAnimatedSprite::TAnimatedSprite;

    int pX = 0;
    int pY = 0;
    TCoords2Array FMovePath;
    int FKind = 1; // 1..5
    bool FKilled = false;
    double FKilledCOunter = 8.0;
    int FPathIndex = 1;
    int FMovesCount = 0;
    TPoint2 FTarget;
    int FMoveAngle = 0;
    float FSpeed = 0.0f;
    double FPreviousDistance = 77777.0;
    std::string FFxName;
    TMoveDirection FMoveDirection = md_None;
    std::unique_ptr<BoardParticles> FFx1;
    std::unique_ptr<BoardParticles> FFx2;

    TCoord2 Destination() const { return FMovePath.empty() ? NoCell : FMovePath.back(); }
    // Still on its way (an arrived bonus lingers unseen for a while).
    bool UnderWay() const { return !FKilled && !FDeaded; }
    void AimAt(int index);
    // Launches the idle effect of its kind, already running, as a bonus lying on a cell has.
    void StartFx();

    void DoMove(float moveCount) override;
    void DoDraw() override;

private:
    void Arrive();
};

// A fireworks rocket: it hops from target to target along its row or column.
class TBonusWeaponSprite : public TAnimatedSprite {
public:
    using TAnimatedSprite::TAnimatedSprite;

    int FKind = 1; // 1 left, 2 up, 3 right, 4 down
    bool FKilled = false;
    TPoint2 FPreviousPos;
    int pX = 0;
    int pY = 0;
    float FSpeed = 0.05f;
    TPoint2 FStart;
    TPoint2 FCenter;
    TPoint2 FTarget;
    TPoint FTargetMapCoords{};
    int FMoveAngle = 0;
    int FKillCount = 1;
    float FMoveTime = 0.0f;
    double FPreviousDistance = 7777.0;
    std::unique_ptr<BoardParticles> FFx;

    // Aims at the next target from the last cell reached; false when there is none.
    bool AimAtNextTarget();

    void DoMove(float moveCount) override;
    void DoDraw() override;
    void DoInvisibleDraw() override;
};

// One strike of a chain lightning: it waits, strikes its cell, passes the chain on and fades.
class TLightningSprite : public TAnimatedSprite {
public:
    using TAnimatedSprite::TAnimatedSprite;

    bool FDoKill = false;
    TPoint FKillingPos{};
    int FKind = 1;
    int FCount = 1;
    float FAnimTimer = 1.0f;
    float FStartLifeTime = 1.5f;
    float FLifeTime = 1.5f;
    TCoords2Array FProhibitionList;

    void DoMove(float moveCount) override;

private:
    void Strike();
};

// A drop of paint flying to a bird in a high arc; only its effect is drawn.
class TPaintDropSprite : public TAnimatedSprite {
public:
    using TAnimatedSprite::TAnimatedSprite;

    bool FDoKill = false;
    float FSpeed = 0.01f;
    float FSpeedUp = 0.01f;
    float FTimeCounter = 0.0f;
    TPoint2 FStart;
    TPoint2 FCenter;
    TPoint2 FTarget;
    TPoint FKillingPos{};
    int FColor = 1;
    std::unique_ptr<BoardParticles> FFx;

    void DoMove(float moveCount) override;
    void DoDraw() override;
    void DoInvisibleDraw() override;

private:
    void Land();
    void Finish();
};

std::string BonusImage(int n); // n = kind - 40
TPoint2 BonusSlotPosition(TCoord2 cell, int kind);

} // namespace bw
