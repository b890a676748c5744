#include "board/BirdSprites.h"

#include "Engine/KilnSprite/SpriteMath.h"
#include "board/Board.h"
#include "board/BoardSprites.h"
#include "board/Location.h"
#include "board/LocationLayout.h"
#include "board/LevelScore.h"
#include "platform/Random.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace bw {

namespace {

constexpr int PatternsPerKind = 16;
constexpr float IdleSpeed = 0.15f;
constexpr double TimeCounterWrap = 31400.0;
constexpr int UnboundScore = 30;
// Particle steps of the bird effects per tick, and the warm-up of a burst.
constexpr float TrailStep = 0.01f;
constexpr int SmokeBurstSteps = 5;
constexpr int FinalBurstSteps = 10;
constexpr char FeatherTexture[] = "Feather_particles.image";

std::string KindName(int kind) {
    return kind == CrowKind ? std::string("Crow") : std::to_string(kind);
}

TPoint2 ImageSize(const TSprite& sprite) {
    return TPoint2{static_cast<float>(sprite.GetImageWidth()),
                   static_cast<float>(sprite.GetImageHeight())};
}

} // namespace

int AngleTo(TPoint2 from, TPoint2 to) {
    const double radians =
        std::atan2(static_cast<double>(to.y - from.y), static_cast<double>(to.x - from.x));
    return static_cast<int>(std::lround(radians * 128.0 / std::numbers::pi)) & 255;
}

double Distance(TPoint2 a, TPoint2 b) {
    return std::hypot(static_cast<double>(a.x - b.x), static_cast<double>(a.y - b.y));
}

bool FlyTowards(TSpriteEx& sprite, TPoint2 target, int angle, float speed, float moveCount,
                double& previousDistance) {
    sprite.FX += Cos256(angle) * speed * moveCount;
    sprite.FY += Sin256(angle) * speed * moveCount;
    const double d = Distance(TPoint2{sprite.FX, sprite.FY}, target);
    if (d < previousDistance) {
        previousDistance = d;
        return false;
    }
    sprite.FX = target.x;
    sprite.FY = target.y;
    return true;
}

// ---- Pictures -----------------------------------------------------------------------------------

std::string BirdIdleImage(int kind) {
    return kind == CrowKind ? "Birds_Crow_idle.image" : "Birds_idle_anim.image";
}
std::string BirdBoundedImage(int kind) {
    return "Birds_" + KindName(kind) + "_bounded.image";
}
std::string BirdEggImage(int kind) {
    return kind == CrowKind ? "Birds_Crow_egg.image"
                            : "Birds_" + KindName(kind) + "_anim_egg.image";
}
std::string BirdDragImage(int kind) {
    return kind == CrowKind ? "Birds_Crow_drag.image"
                            : "Birds_" + KindName(kind) + "_anim_drag.image";
}
std::string BirdMoveImage(int kind) {
    return kind == CrowKind ? "Birds_Crow_move.image"
                            : "Birds_" + KindName(kind) + "_anim_move.image";
}
std::string BirdFlyImage(int kind) {
    return kind == CrowKind ? "Birds_Crow_fly.image"
                            : "Birds_" + KindName(kind) + "_anim_fly.image";
}
std::string BirdBurnImage(int kind) {
    return "Birds_" + KindName(kind) + "_anim_burn.image";
}

TPoint2 BirdDragOffset(int kind) {
    switch (kind) {
    case 1:
        return {-62.0f, -54.0f};
    case 2:
    case 3:
    case 4:
        return {-62.0f, -68.0f};
    case 5:
        return {-62.0f, -72.0f};
    case 6:
        return {-62.0f, -42.0f};
    default:
        return {-62.0f, -50.0f};
    }
}

// ---- Egg and bird slot --------------------------------------------------------------------------

TEggSprite::TEggSprite(TSprite* parent) : TAnimatedSprite(parent) {
    FManualRender = true;
}

TBirdSprite::TBirdSprite(TSprite* parent) : TAnimatedSprite(parent) {
    FLightSprite = new TAnimatedSprite(this);
    FLightSprite->FManualRender = true;
    FLightSprite->FVisible = false;
    FLightSprite->FEffect = beAdd;
    FLightSprite->SetAlpha(0);
    FEggSprite = new TEggSprite(this);
    FEggSprite->FVisible = false;
}

void TBirdSprite::ShowIdle() {
    if (FKind == CrowKind) {
        // The crow stands still: its picture has a single pattern.
        SetAnim(BirdIdleImage(FKind), 0, pmForward, false, true, 0.0f, 1);
        return;
    }
    const int first = (FKind - 1) * PatternsPerKind;
    SetAnim(BirdIdleImage(FKind), first, pmPingPong, true, true, IdleSpeed, PatternsPerKind);
    FAnimPos = static_cast<float>(first + Random(PatternsPerKind));
    SetPatternIndex(static_cast<int>(FAnimPos));
}

void TBirdSprite::RebuildLight() {
    FLightSprite->SetImageName(FImageName);
    FLightSprite->SetPatternIndex(FPatternIndex);
    FLightSprite->FX = FX;
    FLightSprite->FY = FY;
    FLightSprite->FScaleX = FScaleX;
    FLightSprite->FScaleY = FScaleY;
    FLightSprite->SetZ(FZ + 1);
}

void TBirdSprite::Highlight() {
    FLightLevel = BirdLightLevel;
    RebuildLight();
    FLightSprite->FVisible = true;
    FLightSprite->SetAlpha(static_cast<int>(FLightLevel));
}

void TBirdSprite::UpdatePosition(TBirdSprite& bird) {
    const TLevelSprite* cell = BoardCells[bird.pX][bird.pY];
    if (!cell) return;
    bird.FX = cell->FCenter.x - BirdAnchor + bird.FGrowOffset.x;
    bird.FY = cell->FCenter.y - BirdAnchor + bird.FGrowOffset.y;
    bird.FLightSprite->FX = bird.FX;
    bird.FLightSprite->FY = bird.FY;
}

void TBirdSprite::UnBoundBird(TBirdSprite& bird) {
    bird.FBounded = false;
    if (IsBirdKind(bird.FKind)) {
        Player.BirdsUnbounded += 1;
        Host().CheckAward(AwardBirdsUnbound);
    }
    bird.ShowIdle();
    AddLevelScore(UnboundScore);
    bird.RebuildLight();
    const TPoint2 centre{bird.FX + BirdAnchor, bird.FY + BirdAnchor};
    BoardEffects::Flipbook flash;
    flash.Picture = "Unbound_bird_1.image";
    flash.Pos = TPoint2{bird.FX, bird.FY};
    flash.Scale = TPoint2{bird.FScaleX, bird.FScaleY};
    flash.Blend = beNormal;
    flash.Centred = false;
    flash.Speed = 0.5f;
    flash.Patterns = PatternsPerKind;
    flash.Z = bird.FZ + 2;
    Effects().PlayFlipbook(flash);
    Effects().Burst("Unbound_SmokeFx_1.xml", centre, bird.FZ + 3, SmokeBurstSteps, TrailStep);
    Effects().Burst("Unbound_SmokeFx_2.xml", centre, bird.FZ + 4, SmokeBurstSteps, TrailStep);
    Host().RefreshTask(false);
}

void TBirdSprite::DoMove(float moveCount) {
    TAnimatedSprite::DoMove(moveCount);

    if (FLightSprite->FVisible) {
        FLightSprite->SetPatternIndex(FPatternIndex);
        FLightLevel -= BirdLightFade * moveCount;
        if (FLightLevel <= 0.0f) {
            FLightLevel = 0.0f;
            FLightSprite->FVisible = false;
        }
        FLightSprite->SetAlpha(static_cast<int>(std::min(FLightLevel, 255.0f)));
    }

    const bool growing = FAnimStage == 1 || FAnimStage == 3;
    if (!growing && !FBounded && !FSmallBounded && !FEgg && FScaleX < 1.0f) {
        FScaleX = FScaleY = 1.0f;
        FGrowOffset = TPoint2{};
    }

    if (growing) {
        if (GrowStep(FScaleX, FAnimStage, moveCount)) FSmallBounded = false;
        FScaleY = FScaleX;
        const TPoint2 size = ImageSize(*this);
        FGrowOffset =
            TPoint2{(size.x - size.x * FScaleX) / 2.0f, (size.y - size.y * FScaleY) / 2.0f};
    }

    UpdatePosition(*this);
    MoveEgg();
}

void TBirdSprite::MoveEgg() {
    TEggSprite& egg = *FEggSprite;
    const int cellZ = CellZ(pY);
    switch (egg.FAnimStage) {
    case 1:
        if (FZ != cellZ + 2) SetZ(cellZ + 2);
        egg.FScaleX = std::min(1.0f, egg.FScaleX + 0.035f);
        egg.FScaleY = egg.FScaleX;
        break;
    case 2:
        if (FZ != cellZ + 3) SetZ(cellZ + 3);
        egg.FAnimStage = 3;
        break;
    case 3:
        egg.FEggTimer -= 1.0f;
        if (egg.FEggTimer <= 0.0f) {
            egg.SetPatternIndex(1);
            egg.FAnimPos = 1.0f;
            egg.FAnimStage = 4;
            egg.FEggTimer = egg.FBroken_Delay;
        }
        break;
    case 4:
        if (!egg.FDoAnimate) {
            egg.FEggTimer -= 1.0f;
            if (egg.FEggTimer <= 0.0f) egg.FDoAnimate = true;
        }
        if (egg.FPatternIndex >= PatternsPerKind - 1) {
            FVisible = true;
            egg.FAnimStage = 5;
            if (CurrentLevel.Task.Index == TaskClear) Host().RefreshTask(false);
        }
        break;
    case 5:
        egg.FEggAlpha -= 22.0f;
        if (egg.FEggAlpha <= 0.0f) {
            egg.FEggAlpha = 0.0f;
            egg.FVisible = false;
            egg.FDoAnimate = false;
            egg.FAnimStage = 0;
            FEgg = false;
            // A hatched bird may complete a group on its own.
            RunMatchCheck();
        }
        egg.SetAlpha(static_cast<int>(egg.FEggAlpha));
        break;
    default:
        break;
    }
    const TPoint2 size = ImageSize(egg);
    egg.FX = FX + size.x * (1.0f - egg.FScaleX) / 2.0f;
    egg.FY = FY + size.y * (1.0f - egg.FScaleY) / 2.0f;
}

void TBirdSprite::DrawExtras() {
    if (FLightSprite->FVisible) FLightSprite->DoDraw();
    if (FEggSprite->FVisible) FEggSprite->DoDraw();
}

void TBirdSprite::DoDraw() {
    TAnimatedSprite::DoDraw();
    DrawExtras();
}

void TBirdSprite::DoInvisibleDraw() {
    // The bird itself is hidden while it is an egg, but the egg is not.
    if (FEggSprite->FVisible) FEggSprite->DoDraw();
}

TBirdSprite* CreateCellBird(int pX, int pY) {
    auto* bird = new TBirdSprite(BoardParent());
    bird->pX = pX;
    bird->pY = pY;
    bird->FKind = 1;
    bird->SetAnim(BirdIdleImage(1), 0, pmPingPong, true, true, IdleSpeed, PatternsPerKind);

    int code = CurrentLevel.Birds[pX][pY];
    if (code == 98) {
        code = 10 + StartRandomKind(pX, pY);
        CurrentLevel.Birds[pX][pY] = code;
    } else if (code == 99) {
        code = StartRandomKind(pX, pY);
        CurrentLevel.Birds[pX][pY] = code;
    }
    if (IsBirdKind(code) || code == CrowKind) {
        bird->FKind = code;
        bird->ShowIdle();
        bird->FVisible = true;
    } else if ((code >= 11 && code <= 16) || code == 19) {
        bird->FKind = code - 10;
        bird->FBounded = true;
        bird->SetAnim(BirdBoundedImage(bird->FKind), 0, pmForward, false, true, 0.0f, 1);
        bird->FAnimCount = 0;
        bird->FVisible = true;
    } else {
        bird->FVisible = false;
    }

    TBirdSprite::UpdatePosition(*bird);
    bird->SetZ(CellZ(pY) + 3);
    bird->RebuildLight();

    TEggSprite& egg = *bird->FEggSprite;
    egg.SetAnim("Birds_1_anim_egg.image", 0, pmForward, false, false, 0.0f, PatternsPerKind);
    egg.FX = bird->FX;
    egg.FY = bird->FY;
    egg.FScaleX = bird->FScaleX;
    egg.FScaleY = bird->FScaleY;
    egg.SetAlpha(0);
    egg.FEggAlpha = 0.0f;
    egg.FVisible = false;
    egg.SetZ(bird->FZ - 2);
    egg.FStartPos = TPoint2{egg.FX, egg.FY};
    return bird;
}

void LayEgg(TBirdSprite& bird, int kind) {
    bird.FKind = kind;
    bird.FEgg = true;
    bird.FBounded = false;
    bird.FSmallBounded = false;
    bird.FAnimStage = 0;
    bird.FVisible = false;
    bird.FScaleX = bird.FScaleY = 1.0f;
    bird.FGrowOffset = TPoint2{};
    bird.ShowIdle();
    TEggSprite& egg = *bird.FEggSprite;
    egg.SetAnim(BirdEggImage(kind), 0, pmForward, false, false, 0.0f, PatternsPerKind);
    egg.FScaleX = egg.FScaleY = 0.0f;
    egg.FAnimStage = 1;
    egg.FEggAlpha = 255.0f;
    egg.SetAlpha(255);
    egg.FVisible = true;
    egg.FWhacked_Delay = static_cast<float>(Random(100)) / 10.0f + 2.0f;
    egg.FBroken_Delay = static_cast<float>(Random(100)) / 10.0f + 9.0f;
    egg.FEggTimer = 0.0f;
}

void StartHatching(TBirdSprite& bird) {
    TEggSprite& egg = *bird.FEggSprite;
    egg.FAnimStage = 2;
    egg.FScaleX = egg.FScaleY = 1.0f;
    egg.FX = bird.FX;
    egg.FY = bird.FY;
    egg.FVisible = true;
    egg.FAnimSpeed = 1.0f / static_cast<float>(Random(50) + 1) + 0.45f;
    egg.FEggTimer = egg.FWhacked_Delay;
    egg.SetAlpha(255);
    egg.FEggAlpha = 255.0f;
    egg.FDoAnimate = false;
    egg.FAnimPos = 0.0f;
    egg.SetPatternIndex(0);
}

// ---- Dragged bird -------------------------------------------------------------------------------

TDragedBird::TDragedBird(TSprite* parent) : TAnimatedSprite(parent) {
    SetAnim(BirdDragImage(1), 0, pmPingPong, true, true, 0.55f, PatternsPerKind);
    SetDrawMode(3);
    FVisible = false;
    SetZ(6099);
}

void TDragedBird::AsssignBird(const TBirdSprite& bird) {
    FKind = bird.FKind;
    SetAnim(BirdDragImage(FKind), 0, pmPingPong, true, true, 0.55f, PatternsPerKind);
    pX = bird.pX;
    pY = bird.pY;
    FX = bird.FX;
    FY = bird.FY;
    StopTrail();
    FTrail = Effects().Own("bird_" + KindName(FKind) + "_drag_fx.xml", TPoint2{FX, FY});
    if (FTrail) FTrail->SetTexture(FeatherTexture);
}

void TDragedBird::StopTrail() {
    if (!FTrail) return;
    FTrail->Stop();
    Effects().FadeOut(std::move(FTrail), FZ - 1, TrailStep);
}

void TDragedBird::DoDraw() {
    if (FTrail) FTrail->Render();
    TAnimatedSprite::DoDraw();
}

void TDragedBird::ResetDelta() {
    pDelta = TPoint2{FX, FY};
}

void TDragedBird::RecalculateCoordinates(float iY, float iX) {
    FX = iX;
    FY = iY;
    const auto follow = [](float& lag, float target, float limit) {
        const float gap = target - lag;
        if (std::fabs(gap) < 10.0f) {
            lag = target;
        } else if (std::fabs(gap) <= limit) {
            lag += gap > 0.0f ? 4.0f : -4.0f;
        } else {
            lag = target - (gap > 0.0f ? limit : -limit);
        }
    };
    follow(pDelta.x, iX, 35.0f);
    follow(pDelta.y, iY, 22.0f);
    const float w = static_cast<float>(GetImageWidth()) * FScaleX;
    const float h = static_cast<float>(GetImageHeight()) * FScaleY;
    const float swing = 5.0f * std::sin(0.75f * static_cast<float>(FTimeCounter));
    FX1 = iX;
    FY1 = iY;
    FX2 = iX + w;
    FY2 = iY;
    FX3 = pDelta.x + w + swing;
    FY3 = pDelta.y + h;
    FX4 = pDelta.x + swing;
    FY4 = pDelta.y + h;
}

void TDragedBird::Hide() {
    FVisible = false;
    if (!FTrail) return;
    Effects().Burst("bird_" + KindName(FKind) + "_drag_fx.xml", TPoint2{FX, FY}, FZ,
                    FinalBurstSteps, TrailStep);
    FTrail.reset();
}

void TDragedBird::Release() {
    FVisible = false;
    StopTrail();
}

void TDragedBird::DoMove(float moveCount) {
    TAnimatedSprite::DoMove(moveCount);
    if (!FVisible) return;
    FTimeCounter += 0.1 * moveCount;
    if (FTimeCounter > TimeCounterWrap) FTimeCounter = 0.0;
    const TPoint2 offset = BirdDragOffset(FKind);
    RecalculateCoordinates(BoardPointer.Pos.y + offset.y, BoardPointer.Pos.x + offset.x);
    if (FTrail) {
        const int w = GetImageWidth();
        const int h = GetImageHeight();
        FTrail->MoveTo(TPoint2{FX + static_cast<float>(Random(std::max(1, w / 2)) + w / 4),
                               FY + static_cast<float>(Random(std::max(1, h / 2)) + h / 4 + 15)});
        FTrail->Update(TrailStep * moveCount);
    }
}

// ---- Flying bird --------------------------------------------------------------------------------

float FlightSpeed(int moves) {
    return static_cast<float>(std::min(2 * moves, 12));
}

TMovedBirdSprite::TMovedBirdSprite(TSprite* parent) : TAnimatedSprite(parent) {}

void TMovedBirdSprite::SetDirectionFrom(TCoord2 from, TCoord2 to) {
    const TMoveDirection direction = StepDirection(from, to);
    if (direction == FMoveDirection) return;
    FMoveDirection = direction;
    int row = 0;
    switch (direction) {
    case md_Up:
        row = 0;
        break;
    case md_Right:
        row = 1;
        break;
    case md_Down:
        row = 2;
        break;
    case md_Left:
        row = 3;
        break;
    default:
        break;
    }
    const float phase = FAnimPos - static_cast<float>(FAnimStart);
    FAnimStart = row * PatternsPerKind;
    FAnimPos = static_cast<float>(FAnimStart) + std::clamp(phase, 0.0f, 15.0f);
    SetPatternIndex(static_cast<int>(FAnimPos));
}

void TMovedBirdSprite::UpdateZ() {
    if (FPathIndex < 0 || FPathIndex >= static_cast<int>(FMovePath.size())) return;
    const TCoord2 next = FMovePath[FPathIndex];
    const TBirdSprite* slot = BoardBirds[next.x][next.y];
    const int z = slot ? slot->FZ : CellZ(next.y) + 3;
    SetZ(z + 3);
}

void TMovedBirdSprite::AimAt(int index) {
    FPathIndex = index;
    const TCoord2 from = FMovePath[index - 1];
    const TCoord2 to = FMovePath[index];
    const TLevelSprite* cell = BoardCells[to.x][to.y];
    FTarget = cell ? TPoint2{cell->FCenter.x - BirdAnchor, cell->FCenter.y - BirdAnchor}
                   : TPoint2{FX, FY};
    FMoveAngle = AngleTo(TPoint2{FX, FY}, FTarget);
    FPreviousDistance = 77777.0;
    SetDirectionFrom(from, to);
}

void TMovedBirdSprite::DoMove(float moveCount) {
    TAnimatedSprite::DoMove(moveCount);
    if (FKilled) {
        FKilledCOunter -= 0.1 * moveCount;
        if (FKilledCOunter <= 0.0) Dead();
        return;
    }
    FAnimSpeed = std::min(0.2f + 0.15f * FSpeed, 0.85f);
    // Once past the cell it stands on it and goes on to the next one.
    if (!FlyTowards(*this, FTarget, FMoveAngle, FSpeed, moveCount, FPreviousDistance)) return;
    const TCoord2 reached = FMovePath[FPathIndex];
    DipFloatingCell(reached);
    if (FPathIndex + 1 > FMovesCount) {
        FKilled = true;
        SetAlpha(0);
        FVisible = false;
        FKilledCOunter = 8.0;
        BirdArrived(reached, FKind);
        return;
    }
    BurstStepEffect(TPoint2{FX, FY}, FMoveDirection, reached, FZ - 1);
    AimAt(FPathIndex + 1);
    UpdateZ();
}

TMoveDirection StepDirection(TCoord2 from, TCoord2 to) {
    TMoveDirection direction = md_None;
    if (to.x > from.x) direction = md_Right;
    if (to.x < from.x) direction = md_Left;
    if (to.y > from.y) direction = md_Down;
    if (to.y < from.y) direction = md_Up;
    return direction;
}

void BurstStepEffect(TPoint2 pos, TMoveDirection direction, TCoord2 leaving, int z) {
    const TLocationOptions& location = LocationOptions();
    std::string fx = location.FBirdsMoveFx;
    const TLevelSprite* cell = IsPlayableCell(leaving) ? BoardCells[leaving.x][leaving.y] : nullptr;
    if (location.FKind == lockind_River_1 && cell) fx += "_" + std::to_string(cell->FKind) + ".xml";
    if (fx.empty()) return;
    TPoint2 at{pos.x + 30.0f, pos.y + 34.0f};
    if (direction == md_Left) at = TPoint2{pos.x + 40.0f, pos.y + 34.0f};
    if (direction == md_Down) at = TPoint2{pos.x + 30.0f, pos.y + 52.0f};
    if (direction == md_Up) at = TPoint2{pos.x + 34.0f, pos.y + 32.0f};
    Effects().Burst(fx, at, z, 7, LocationEffectSpeed());
}

// ---- Removed bird -------------------------------------------------------------------------------

TPoint2 QuadraticCurvePoint(TPoint2 a, TPoint2 b, TPoint2 c, float t) {
    const float u = 1.0f - t;
    return TPoint2{u * u * a.x + 2.0f * u * t * b.x + t * t * c.x,
                   u * u * a.y + 2.0f * u * t * b.y + t * t * c.y};
}

TKilledBirdSprite::TKilledBirdSprite(TSprite* parent) : TAnimatedSprite(parent) {}

void TKilledBirdSprite::Finish() {
    if (FDeaded) return;
    FFX.reset();
    Dead();
    CheckBoardEmpty();
}

void TKilledBirdSprite::DoDraw() {
    if (FFX) FFX->Render();
    TAnimatedSprite::DoDraw();
}

void TKilledBirdSprite::DoNotDraw() {
    if (FFX) FFX->Render();
}

void TKilledBirdSprite::MoveAlongCurve(float moveCount) {
    if (FFX) {
        FFX->MoveTo(TPoint2{FX, FY});
        FFX->Update(TrailStep * moveCount);
    }
    if (FMotionCounter < 1.0f) {
        FSpeed = std::min(FSpeedMax, FSpeed + FSpeed_k * moveCount);
        FMotionCounter = std::min(1.0f, FMotionCounter + FSpeed * moveCount);
        const TPoint2 before{FX, FY};
        const TPoint2 p = QuadraticCurvePoint(FStart, FMiddle, FTarget, FMotionCounter);
        const TPoint2 size = ImageSize(*this);
        FX = p.x + size.x / 2.0f;
        FY = p.y + size.y / 2.0f;
        if (FX != before.x || FY != before.y)
            FAngle = std::atan2(FY - before.y, FX - before.x) +
                     static_cast<float>(std::numbers::pi / 2.0);
        if (FMotionCounter >= 1.0f && FFX) FFX->Stop();
        return;
    }
    FTimeCounter += 0.1f * moveCount;
    if (FTimeCounter >= 3.0f) Finish();
}

void TKilledBirdSprite::DoMove(float moveCount) {
    TAnimatedSprite::DoMove(moveCount);
    switch (FAnimKind) {
    case kbak_Match:
        MoveAlongCurve(moveCount);
        break;
    case kbak_Explode:
        FTimeCounter += moveCount;
        if (FAnimStage == 0 && FTimeCounter >= 10.0f) {
            FAnimStage = 1;
            FDoAnimate = true;
            FTimeCounter = 0.0f;
        } else if (FAnimStage == 1 && FTimeCounter >= 35.0f) {
            FAnimStage = 2;
        } else if (FAnimStage == 2) {
            SetAlpha(FAlpha - 10);
            if (FAlpha <= 0) Finish();
        }
        break;
    case kbak_BurnedByLightning:
    case kbak_BurnedByLightningBounded:
        if (FAnimStage == 0) {
            FTimeCounter -= moveCount;
            FScaleX = FScaleY = 1.0f + 0.032f * std::sin(FTimeCounter);
            if (FTimeCounter <= 0.0f) {
                FAnimStage = 1;
                FScaleX = FScaleY = 1.0f;
                if (FAnimKind == kbak_BurnedByLightning) {
                    const TPoint2 size = ImageSize(*this);
                    StartBirdRemoval(FKind, pX, pY, kbak_Match, FTarget, FZ, FY - size.y / 2.0f,
                                     FX - size.x / 2.0f);
                }
            }
        } else {
            SetAlpha(FAlpha - 10);
            if (FAlpha <= 0) Finish();
        }
        break;
    }
}

TKilledBirdSprite* StartBirdRemoval(int kind, int pX, int pY, TKilledBirdAnimKind animKind,
                                    TPoint2 target, int z, float y, float x) {
    auto* sprite = new TKilledBirdSprite(BoardParent());
    sprite->FKind = kind;
    sprite->pX = pX;
    sprite->pY = pY;
    sprite->FAnimKind = animKind;
    sprite->FStart = TPoint2{x, y};
    sprite->FTarget = target;
    sprite->SetDrawMode(1);
    switch (animKind) {
    case kbak_Match: {
        Player.LevelBirdsMatched[static_cast<size_t>(std::clamp(kind, 0, 9))] += 1;
        if (kind == CrowKind) {
            Player.CrownsKilled += 1;
            Host().CheckAward(AwardCrowsKilled);
        }
        Host().RefreshTask(false);
        sprite->SetAnim(BirdFlyImage(kind), 0, pmPingPong, true, true, 3.5f, PatternsPerKind);
        const float fraction = static_cast<float>(Random(80) + 10) / 100.0f;
        sprite->FMiddle = TPoint2{x + (target.x - x) * fraction, y + (target.y - y) / 2.0f};
        sprite->FSpeed = 0.0f;
        sprite->FFX = Effects().Own("bird_" + KindName(kind) + "_fly_fx.xml", TPoint2{x, y});
        if (sprite->FFX) {
            sprite->FFX->ReadRecordEmitters();
            sprite->FFX->SetTexture(FeatherTexture);
            sprite->FFX->SetSpeedMultiply(1.5f);
        }
        break;
    }
    case kbak_Explode:
        if (kind == CrowKind) {
            Player.CrownsKilled += 1;
            Host().CheckAward(AwardCrowsKilled);
        }
        sprite->SetAnim(BirdExplosionImage, 0, pmForward, false, false, 0.5f, PatternsPerKind);
        break;
    case kbak_BurnedByLightning:
    case kbak_BurnedByLightningBounded:
        sprite->SetAnim(BirdBurnImage(kind), 0, pmForward, true, true, 1.5f, PatternsPerKind);
        sprite->FAngle = static_cast<float>(Random(120)) * 0.01f - 0.6f;
        sprite->FTimeCounter = 50.0f;
        break;
    }
    const TPoint2 size = ImageSize(*sprite);
    sprite->FX = x + size.x / 2.0f;
    sprite->FY = y + size.y / 2.0f;
    sprite->SetZ(z);
    return sprite;
}

} // namespace bw
