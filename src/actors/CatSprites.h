// The cats on the board: the cat slot of every cell with its warning shadow, the cat walking
// to a neighbouring cell, the cat jumping across the board, and a caught cat carried off the
// screen by the birds that caught it.
//
// A slot's drop runs through the stages of its shadow's FAnimStage: 0 nothing falling, 1 the
// cat is announced and its shadow grows, 2 the delay before the fall, 3 the fall, 4 the
// bounce on landing, 5 the cat settles (the board is checked for matches).
#pragma once

#include "Engine/KilnSprite/KilnSprite.h"
#include "board/BirdSprites.h"
#include "board/BoardEffects.h"
#include "board/BoardTypes.h"
#include "board/LevelData.h"

#include <array>
#include <memory>
#include <string>

namespace bw {

// The shadow a cat throws before it falls. Drawn by the engine beside its slot (never inside
// it: the slot is hidden while the shadow shows).
class TNewShadowCatSprite : public TAnimatedSprite {
public:
    using TAnimatedSprite::TAnimatedSprite;

    TPoint2 FStartPos;
    int FAnimStage = 0; // the slot's drop stage, 0..5
};

class TCatSprite : public TAnimatedSprite {
public:
    explicit TCatSprite(TSprite* parent);

    int pX = 0;
    int pY = 0;
    TNewShadowCatSprite* FNewShadowSprite = nullptr;
    uint8_t FJumpTimerCount = 0;
    TCatMusicEvent_data FMusic_event;
    double FMusic_timer = 0.0;
    int FSavedMusicIndex = -1;
    int FMusicEventTrack = -1; // the track the running music event switched to
    std::string FEvent_name = "event_nil";
    int FEvent_value = 0;
    int FAnimStatus = 0; // 0 still, 10 start a hop, 11 hopping
    float FSpeed = 0.0f;
    int FKind = 21;
    double FTimeCounter = 0.0;
    bool FNewShadow = false;
    float FDelay = 0.0f;
    bool FDropSoundIsPlaying = false;
    float FDropCounter = 0.0f;
    TPoint2 FDropStart;
    TPoint2 FDropMiddle;
    TPoint2 FDropTarget;
    TPoint2 FStartPos;
    std::unique_ptr<BoardParticles> FDropFx; // the landing smoke
    std::unique_ptr<BoardParticles> FFx;     // the lasting effect of a Cat_3

    TCoord2 Cell() const { return {pX, pY}; }
    // A cat stands here (also while it falls).
    bool HasCat() const { return FVisible && !FDeaded; }
    // A settled cat: standing, not announced or falling.
    bool Settled() const { return HasCat() && !FNewShadow; }
    int DropStage() const { return FNewShadowSprite ? FNewShadowSprite->FAnimStage : 0; }

    // The fall starts after `iDelay` (10 units last 15 ticks).
    void StartDropAnimation(float iDelay);
    // (Re)starts the lasting effect of a Cat_3 (and ends any other).
    void StartCatFx();
    // Ends an announced or falling drop: the shadow and the falling cat go, nothing lands.
    void CancelDrop();
    // Shows the standing cat of the slot's kind.
    void ShowIdle();
    // Puts the cat on its cell.
    void PlaceOnCell();
    // The music event of a landing cat.
    void StartMusicEvent();

    void DoMove(float moveCount) override;
    void DoDraw() override;
    void DoInvisibleDraw() override;
    void DoNotDraw() override;

private:
    void MoveDrop(float moveCount);
    void HandOverMusic() const;
    void Land();
};

// A Cat_4 walking along its path.
class TMovedCatSprite : public TAnimatedSprite {
public:
    using TAnimatedSprite::TAnimatedSprite;

    int pX = 0;
    int pY = 0;
    TCoords2Array FMovePath;
    TCatMusicEvent_data FMusic_event;
    std::string FEvent_name = "event_nil";
    int FEvent_value = 0;
    int FKind = 24;
    int FPathIndex = 1;
    int FMovesCount = 0;
    TPoint2 FTarget;
    int FMoveAngle = 0;
    float FSpeed = 1.0f;
    double FPreviousDistance = 77777.0;
    std::string FFxName;
    TMoveDirection FMoveDirection = md_None;

    TCoord2 Destination() const { return FMovePath.empty() ? NoCell : FMovePath.back(); }
    // Aims at path cell `index`: target, heading, direction and picture.
    void AimAt(int index);
    // The step effect of the cell being left.
    void StepEffect(TCoord2 leaving) const;

    void DoMove(float moveCount) override;
    void DoDraw() override;

private:
    void Arrive();
};

// A Cat_5 jumping from A to B: it crouches, flies along a curve and lands.
class TJumpingCatSprite : public TAnimatedSprite {
public:
    using TAnimatedSprite::TAnimatedSprite;

    TPoint A;
    TPoint B;
    TCatMusicEvent_data FMusic_event;
    bool FDoKill = false;
    int FAnimStage = 1;
    float FTimeCounter = 0.0f;
    TPoint2 FStart;
    TPoint2 FCenter;
    TPoint2 FTarget;
    std::string FEvent_name = "event_nil";
    int FEvent_value = 0;
    int FKind = 25;
    int FMoveAngle = 0;
    float FSpeed = 0.0f;
    double FPreviousDistance = 77777.0;
    std::unique_ptr<BoardParticles> FFx;
    std::string FFxName;

    // Still on its way: its landing cell is reserved.
    bool InFlight() const { return FVisible && !FDoKill && !FDeaded; }

    void DoMove(float moveCount) override;
    void DoDraw() override;
    void DoInvisibleDraw() override;

private:
    void Land();
};

// A bird carrying a caught cat away.
class TKilledCatBirdSprite : public TAnimatedSprite {
public:
    using TAnimatedSprite::TAnimatedSprite;

    bool FBirdMoved = true; // still flying to the cat
    TPoint2 FBirdOffset;    // its place beside the cat
    TPoint2 FBirdTarget;
    int FBirdMoveAngle = 0;
    float FBirdSpeed = 0.2f;
    float FBirdSpeedMax = 30.0f;
    double FBirdPreviousDistance = 7777.0;
    std::unique_ptr<BoardParticles> FFX; // its feather burst

    void DoMove(float moveCount) override;
    void DoDraw() override;
    void DoNotDraw() override;
};

// A caught cat: the birds fly in (stage 2), carry it up off the screen (3), a pause (4).
class TKilledCatSprite : public TAnimatedSprite {
public:
    explicit TKilledCatSprite(TSprite* parent);

    int FKind = 21;
    float FTimeCounter = 0.0f;
    int FAnimStage = 2;
    int pX = 0;
    int pY = 0;
    TCoord2 FTarget;
    int FMoveAngle = 0;
    double FPreviousDistance = 7777.0;
    float FSpeed = 0.0f;
    float FSpeedMax = 0.0f;
    int FBirdsInMotionCount = 0;
    std::array<TKilledCatBirdSprite*, 4> FMatchedBirds{};
    TPoint2 FStartPos;
    TAnimatedSprite* FBubbleSprite = nullptr; // drawn by the cat
    uint8_t FBubbleIndex = 1;

    void DoMove(float moveCount) override;
    void DoDraw() override;
    // Removes the cat with its birds, their feathers and the bubble.
    void Destroy();

private:
    void StartFlyingAway();
    void PinBirds();
};

// Picture names of a cat kind (21..25).
std::string CatImage(int kind, const std::string& what);
// Top-left corner of a cat of `kind` standing on `cell` (its cell's centre, moved by the
// kind's offset).
TPoint2 CatSlotPosition(TCoord2 cell, int kind);
// Top-left corner of a walking cat's pictures on `cell`.
TPoint2 CatWalkAnchor(TCoord2 cell);
// The landing rule of a cell a cat arrives on: an egg there is gone, a bird there leaves
// (freed first if tied), a weapon bonus there goes off.
void ClearCellForCat(TCoord2 cell);
// What no cat may land on: a key (it would be hidden, and lost with the cat) or a hamburger
// (no explosion removes it, so it would lie under the cat for good). A cat due there waits.
bool CellKeepsCatAway(TCoord2 cell);
float CatIdleSpeed(int kind);
TAnimPlayMode CatIdleMode(int kind);

} // namespace bw
