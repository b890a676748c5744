// The nestlings and keys on the board: the nestling slot of every cell with its cage's chains,
// a freed nestling on its way to its nest, the key slot of every cell, the key lifted under
// the pointer and the key travelling along its path.
#pragma once

#include "Engine/KilnSprite/KilnSprite.h"
#include "board/BirdSprites.h"
#include "board/BoardEffects.h"
#include "board/BoardTypes.h"

#include <memory>
#include <string>
#include <vector>

namespace bw {

inline constexpr int NestlingPatterns = 16;
inline constexpr int KeyKind = 71;

// One chain of a cage; its nestling draws it.
class TNestlingChainSprite : public TAnimatedSprite {
public:
    using TAnimatedSprite::TAnimatedSprite;
};

class TNestlingSprite : public TAnimatedSprite {
public:
    explicit TNestlingSprite(TSprite* parent);
    ~TNestlingSprite() override;

    int pX = 0;
    int pY = 0;
    int FAnimStatus = 0;
    float FSpeed = 0.0f;
    int FKind = 61; // 61..63: caged with FKind - 60 chains; 61 for an empty slot
    double FTimeCounter = 0.0;
    TPoint2 FStartPos;
    int FChainsCount = 0;                       // chains still closed
    std::vector<TNestlingChainSprite*> FChains; // index 0 is chain 1
    std::unique_ptr<BoardParticles> FFx;

    TCoord2 Cell() const { return {pX, pY}; }
    // A caged nestling is on the cell.
    bool Caged() const { return FVisible && !FDeaded; }
    // Puts the cage and its chains on the cell (which may be moving).
    void PlaceOnCell();
    // Gives the cage `count` chains (1..3), chain 1 first.
    void MakeChains(int count);
    // Destroys the chain with the highest number; the chains left.
    int DropTopChain();

    void DoMove(float moveCount) override;
    void DoDraw() override;
};

// A nestling let out of its cage: the last chain opens (1), the nestling climbs out (2), flies
// up from the board (3), lands in nest FNestIndex of the panel (4) and is counted there (5).
class TKilledNestlingSprite : public TAnimatedSprite {
public:
    explicit TKilledNestlingSprite(TSprite* parent);
    ~TKilledNestlingSprite() override;

    int FKind = 61;
    int FNestIndex = 0;
    float FTimeCounter = 100.0f;
    int FAnimStage = 1;
    int pX = 0;
    int pY = 0;
    TPoint2 FTarget;
    int FMoveAngle = 0;
    double FPreviousDistance = 77777.0;
    float FSpeed = 0.0f;
    float FSpeedMax = 13.0f;
    TAnimatedSprite* FLastChainSprite = nullptr;
    TAnimatedSprite* FOpenedCageSprite = nullptr;
    std::unique_ptr<BoardParticles> FFX;

    // Still flying (not yet counted in its nest).
    bool Flying() const { return !FDeaded; }

    void DoMove(float moveCount) override;
    void DoDraw() override;
    void DoInvisibleDraw() override;

private:
    void DrawParts(bool withNestling);
    // Where nest FNestIndex wants the nestling, lowered by `drop`.
    TPoint2 NestTarget(float drop) const;
    void Arrive();
};

class TKeySprite : public TAnimatedSprite {
public:
    explicit TKeySprite(TSprite* parent);

    int pX = 0;
    int pY = 0;
    int FKind = KeyKind;
    double FTimeCounter = 0.0;
    TPoint2 FStartPos;
    std::unique_ptr<BoardParticles> FFx;

    TCoord2 Cell() const { return {pX, pY}; }
    bool Standing() const { return FVisible && !FDeaded; }
    void PlaceOnCell();
    // Shows a key lying on the cell, with its sparkle.
    void ShowKey();

    void StartFx();
    void StopFx();
    void UpdateFx(float moveCount);

    void DoMove(float moveCount) override;
    void DoDraw() override;
};

// The key dangling under the pointer; it hangs and swings as a lifted bird does.
class TDragedKey : public TDragedBird {
public:
    explicit TDragedKey(TSprite* parent);

    std::unique_ptr<BoardParticles> FFx;

    // FKind is the key's kind - 70 here.
    void AsssignBonus(const TKeySprite& key);
    // Hangs from the pointer, its lower edge starting right below.
    void HangUnderPointer();
    // Keys carry no effect under the pointer.
    void StartFx() {}
    void StopFx() { FFx.reset(); }
    void UpdateFx(float /*moveCount*/) {}
    void Hide();

    void DoMove(float moveCount) override;
    void DoDraw() override;
};

// A key the player moves along a free path.
class TMovedKeySprite : public TAnimatedSprite {
public:
    using TAnimatedSprite::TAnimatedSprite;

    int pX = 0;
    int pY = 0;
    TCoords2Array FMovePath;
    int FKind = 1;
    bool FKilled = false;
    double FKilledCounter = 8.0;
    int FPathIndex = 1;
    int FMovesCount = 0;
    TPoint2 FTarget;
    int FMoveAngle = 0;
    float FSpeed = 0.0f;
    double FPreviousDistance = 77777.0;
    std::string FFxName;
    TMoveDirection FMoveDirection = md_None;
    std::unique_ptr<BoardParticles> FFx;

    TCoord2 Destination() const { return FMovePath.empty() ? NoCell : FMovePath.back(); }
    // Still on its way (an arrived key lingers unseen for a while and no longer counts).
    bool UnderWay() const { return !FKilled && !FDeaded; }
    void AimAt(int index);

    void DoMove(float moveCount) override;
    void DoDraw() override;

private:
    void Arrive();
};

std::string KeyImage(int n); // n = kind - 70
TPoint2 NestlingSlotPosition(TCoord2 cell);
TPoint2 KeySlotPosition(TCoord2 cell);

} // namespace bw
