// The birds: the bird slot of every cell (bird, bounded bird, crow or egg), the bird that
// dangles under the pointer while it is dragged, the bird flying along its path, and the bird
// that leaves the board after a match (flying away, exploding or burning). The removal sprites
// count what they remove and ask the board whether it ran empty when they are done.
#pragma once

#include "Engine/KilnSprite/KilnSprite.h"
#include "board/BoardEffects.h"
#include "board/BoardTypes.h"

#include <memory>
#include <string>

namespace bw {

inline constexpr float BirdLightFade = 8.0f;
inline constexpr float BirdLightLevel = 85.0f;
// The bird picture's top-left corner lies this far up and left of its cell's centre.
inline constexpr float BirdAnchor = 65.0f;

// Picture names by kind (1..6, or 9 for the crow).
std::string BirdIdleImage(int kind);
std::string BirdBoundedImage(int kind);
std::string BirdEggImage(int kind);
std::string BirdDragImage(int kind);
std::string BirdMoveImage(int kind);
std::string BirdFlyImage(int kind);
std::string BirdBurnImage(int kind);
inline constexpr const char* BirdExplosionImage = "Birds_1_anim_explosion.image";

// Where the dragged bird's top edge sits relative to the pointer, by kind.
TPoint2 BirdDragOffset(int kind);

// The egg on a cell.
class TEggSprite : public TAnimatedSprite {
public:
    explicit TEggSprite(TSprite* parent);

    TPoint2 FStartPos;
    int FAnimStage = 0; // 1 laid, 2 hatching starts, 3 waiting to crack, 4 cracked, 5 fading
    float FEggAlpha = 0.0f;
    float FEggTimer = 0.0f;
    float FWhacked_Delay = 0.0f; // ticks before it cracks
    float FBroken_Delay = 0.0f;  // ticks before it opens
};

// The bird slot of a cell.
class TBirdSprite : public TAnimatedSprite {
public:
    explicit TBirdSprite(TSprite* parent);

    int pX = 0;
    int pY = 0;
    float FLightLevel = 0.0f;
    TAnimatedSprite* FLightSprite = nullptr; // drawn by the bird
    TEggSprite* FEggSprite = nullptr;        // drawn by the bird, also while it is invisible
    int FKind = 1;
    bool FEgg = false;
    bool FBounded = false;
    bool FSmallBounded = false;
    int FAnimStage = 0; // small bounded: 1 growing to half, 2 half size, 3 growing to full
    TPoint2 FGrowOffset;

    TCoord2 Cell() const { return {pX, pY}; }
    // A bird stands here (not an egg, not an empty slot).
    bool HasBird() const { return FVisible; }
    bool IsCrow() const { return FKind == CrowKind; }

    // Shows the idle picture of the current kind with a random start pattern.
    void ShowIdle();
    // Lights the bird up under the pointer.
    void Highlight();
    // Copies the bird's picture into the light sprite.
    void RebuildLight();

    void DoMove(float moveCount) override;
    void DoDraw() override;
    void DoInvisibleDraw() override;

    // Re-centres the bird on its cell's centre (plus the grow offset).
    static void UpdatePosition(TBirdSprite& bird);
    // Frees a bounded bird: a normal bird again, with the unbinding score and counters.
    static void UnBoundBird(TBirdSprite& bird);

private:
    void MoveEgg();
    void DrawExtras();
};

// Creates the bird slot of a cell from the level's object code.
TBirdSprite* CreateCellBird(int pX, int pY);
// Starts the hatching of the egg on a slot.
void StartHatching(TBirdSprite& bird);
// Makes a slot hold an egg of `kind` (laid this turn).
void LayEgg(TBirdSprite& bird, int kind);

// The bird dangling under the pointer.
class TDragedBird : public TAnimatedSprite {
public:
    explicit TDragedBird(TSprite* parent);

    int FKind = 0;
    int pX = -1; // source cell, (-1, -1) when not in use
    int pY = -1;
    TPoint2 pDelta; // the lagging lower edge
    double FTimeCounter = 0.0;

    bool InUse() const { return pX != -1; }
    TCoord2 Source() const { return {pX, pY}; }
    // Takes the bird's kind, cell, picture and position.
    void AsssignBird(const TBirdSprite& bird);
    // Puts the upper edge at (iX, iY) and lets the lower edge follow.
    void RecalculateCoordinates(float iY, float iX);
    // Starts the lower edge at the current position (a fresh pick-up).
    void ResetDelta();
    void Hide();
    // Hides the bird as its move takes over: the trail stops, and the feathers already out
    // fade where they are.
    void Release();
    void DoMove(float moveCount) override;
    // The feather trail under the bird, then the bird.
    void DoDraw() override;

    // The feather trail while a bird is dragged (none without effects).
    std::unique_ptr<BoardParticles> FTrail;

private:
    void StopTrail();
};

enum TMoveDirection : uint8_t { md_None, md_Right, md_Left, md_Down, md_Up };

// A bird flying along its path.
class TMovedBirdSprite : public TAnimatedSprite {
public:
    explicit TMovedBirdSprite(TSprite* parent);

    int pX = 0;
    int pY = 0;
    TCoords2Array FMovePath;
    int FKind = 0;
    bool FKilled = false; // arrived; lingers invisible for a while
    double FKilledCOunter = 0.0;
    int FPathIndex = 0;
    int FMovesCount = 0;
    TPoint2 FTarget;
    int FMoveAngle = 0; // 256ths of a turn
    float FSpeed = 0.0f;
    float FSpeedMax = 0.0f;
    float FSpeedMin = 0.0f;
    float FSpeedAcc = 0.0f;
    double FPreviousDistance = 77777.0;
    std::string FFxName;
    TMoveDirection FMoveDirection = md_None;

    // Still on its way: its last cell is reserved.
    bool Flying() const { return !FKilled && !FDeaded; }
    TCoord2 Destination() const { return FMovePath.empty() ? NoCell : FMovePath.back(); }

    // Aims at path cell `index` and picks the picture row of that step.
    void AimAt(int index);
    void DoMove(float moveCount) override;

private:
    void SetDirectionFrom(TCoord2 from, TCoord2 to);
    void UpdateZ();
};

// The flight speed of a path of `moves` steps.
float FlightSpeed(int moves);

enum TKilledBirdAnimKind : uint8_t {
    kbak_Match,
    kbak_Explode,
    kbak_BurnedByLightning,
    kbak_BurnedByLightningBounded,
};

// A bird leaving the board.
class TKilledBirdSprite : public TAnimatedSprite {
public:
    explicit TKilledBirdSprite(TSprite* parent);

    int FKind = 0;
    float FTimeCounter = 0.0f;
    float FMotionCounter = 0.0f; // 0..1 along the flight curve
    TKilledBirdAnimKind FAnimKind = kbak_Match;
    int FAnimStage = 0;
    int pX = 0;
    int pY = 0;
    TPoint2 FStart;
    TPoint2 FMiddle;
    TPoint2 FTarget;
    int FMoveAngle = 0;
    double FPreviousDistance = 0.0;
    float FSpeed = 0.0f;
    float FSpeedMax = 0.01f;
    float FSpeed_k = 0.0003f;
    std::unique_ptr<BoardParticles> FFX; // feather trail of a bird flying away

    void DoMove(float moveCount) override;
    // Both draw the trail, so it stays visible when the bird is off screen.
    void DoDraw() override;
    void DoNotDraw() override;

private:
    void Finish();
    void MoveAlongCurve(float moveCount);
};

// Starts the removal animation of a bird whose picture's top-left corner is at (x, y).
TKilledBirdSprite* StartBirdRemoval(int kind, int pX, int pY, TKilledBirdAnimKind animKind,
                                    TPoint2 target, int z, float y, float x);

// The heading from `from` to `to` in 256ths of a turn (0..255, y growing downwards).
int AngleTo(TPoint2 from, TPoint2 to);
double Distance(TPoint2 a, TPoint2 b);
// One tick of a mover flying at `angle` with `speed` towards `target` along a path of cells:
// false while it still comes nearer (`previousDistance` follows it), true once it has passed
// the target, on which it is then placed.
bool FlyTowards(TSpriteEx& sprite, TPoint2 target, int angle, float speed, float moveCount,
                double& previousDistance);

// The direction of one step along a path of cells.
TMoveDirection StepDirection(TCoord2 from, TCoord2 to);
// The location's step effect under a mover whose picture's top-left is `pos`, heading
// `direction`, as it leaves the cell `leaving` (a river's cells have one effect per cell kind).
void BurstStepEffect(TPoint2 pos, TMoveDirection direction, TCoord2 leaving, int z);

// A point on the quadratic curve from a through b to c at t (0..1).
TPoint2 QuadraticCurvePoint(TPoint2 a, TPoint2 b, TPoint2 c, float t);

} // namespace bw
