#include "actors/BonusSprites.h"

#include "Engine/KilnSprite/SpriteMath.h"
#include "actors/BonusRules.h"
#include "actors/Bonuses.h"
#include "actors/Boss.h"
#include "actors/Nestlings.h"
#include "actors/PathTravel.h"
#include "audio/SoundEngine.h"
#include "board/Board.h"
#include "board/BoardHost.h"
#include "board/BoardSprites.h"
#include "board/LevelScore.h"
#include "board/Location.h"
#include "platform/Random.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace bw {

namespace {

constexpr int BonusPatterns = 16;
constexpr float ParticleStep = 0.01f;
constexpr char MoveSound[] = "sfx_object_move.ogg";

TPoint2 Pos(const TSprite& sprite) {
    return TPoint2{sprite.FX, sprite.FY};
}

TAnimPlayMode IdleMode(int kind) {
    return kind == LightningBonusKind || kind == PaintBonusKind ? pmForward : pmPingPong;
}

float IdleSpeed(int kind) {
    return kind == PaintBonusKind ? 0.28f : 0.35f;
}

bool CellsFloat() {
    const TLocationMapKind kind = LocationOptions().FKind;
    return kind == lockind_Water_1 || kind == lockind_Train || kind == lockind_River_1;
}

// The idle effect of kinds 41..43; empty for the others.
const char* IdleEffectName(int kind) {
    switch (kind) {
    case BombBonusKind:
        return "Bonus_1_Bomb_Fx_1.xml";
    case FireworksBonusKind:
        return "Bonus_2_Fireworks_Fx_1.xml";
    case LightningBonusKind:
        return "Bonus_3_ChainLightning_fx_1.xml";
    default:
        return "";
    }
}

// The bomb's fuse moves with its picture.
constexpr std::array<TPoint2, 16> FusePositions{{{100, 84},
                                                 {100, 84},
                                                 {101, 83},
                                                 {100, 84},
                                                 {101, 81},
                                                 {103, 81},
                                                 {103, 81},
                                                 {104, 79},
                                                 {104, 79},
                                                 {103, 79},
                                                 {103, 79},
                                                 {103, 79},
                                                 {103, 78},
                                                 {103, 78},
                                                 {104, 77},
                                                 {104, 77}}};

// Where the idle effect of `kind` sits relative to the sprite showing `pattern`.
TPoint2 IdleEffectOffset(int kind, int pattern) {
    switch (kind) {
    case BombBonusKind:
        return FusePositions[static_cast<size_t>(std::clamp(pattern, 0, 15))];
    case FireworksBonusKind:
        return {75.0f, 111.0f};
    case LightningBonusKind:
        return {62.0f, 80.0f};
    default:
        return {};
    }
}

std::unique_ptr<BoardParticles> LaunchIdleEffect(int kind, TPoint2 at, int warmUp) {
    const std::string name = IdleEffectName(kind);
    if (name.empty()) return nullptr;
    std::unique_ptr<BoardParticles> fx = Effects().Own(name, at);
    if (!fx) return nullptr;
    fx->ReadRecordEmitters();
    fx->MoveTo(at);
    for (int i = 0; i < warmUp; ++i) fx->Update(ParticleStep);
    return fx;
}

void FollowEffect(std::unique_ptr<BoardParticles>& fx, TPoint2 at, float step, bool stopped) {
    if (!fx) return;
    fx->MoveTo(at);
    fx->Update(step);
    if (stopped && !fx->Alive()) fx.reset();
}

// Heading in degrees from +x towards +y, -90..270 (the jumping cat's convention).
double HeadingDegrees(TPoint2 from, TPoint2 to) {
    if (from.x == to.x && from.y == to.y) return 0.0;
    double degrees =
        std::atan2(static_cast<double>(to.y - from.y), static_cast<double>(to.x - from.x)) * 180.0 /
        3.14159265358979323846;
    if (degrees < -90.0) degrees += 360.0;
    return degrees;
}

} // namespace

std::string BonusImage(int n) {
    return "bonus_" + std::to_string(n) + "_idle.image";
}

TPoint2 BonusSlotPosition(TCoord2 cell, int kind) {
    const TPoint2 centre = CellCentre(cell);
    const TPoint2 offset = BonusBoardOffset(kind);
    return TPoint2{centre.x + offset.x - 65.0f, centre.y + offset.y - 93.0f};
}

// ---- Bonus slot -------------------------------------------------------------------------------

TBonusSprite::TBonusSprite(TSprite* parent) : TAnimatedSprite(parent) {}

void TBonusSprite::PlaceOnCell() {
    const TPoint2 p = BonusSlotPosition(Cell(), FKind);
    FX = p.x;
    FY = p.y;
    FStartPos = p;
}

void TBonusSprite::ShowBonus(int kind) {
    FKind = kind;
    FBonusStatus = 0;
    FActivationTimer = static_cast<float>(BonusPulseUpdates);
    FScaleX = FScaleY = 1.0f;
    FEffect = beNormal;
    SetAnim(BonusImage(kind - 40), 0, IdleMode(kind), true, true, IdleSpeed(kind), BonusPatterns);
    FAnimPos = static_cast<float>(Random(BonusPatterns));
    SetPatternIndex(static_cast<int>(FAnimPos));
    SetAlpha(255);
    PlaceOnCell();
    FVisible = true;
    StartFx();
}

void TBonusSprite::StartFx() {
    FFxStoped = false;
    const TPoint2 off = IdleEffectOffset(FKind, FPatternIndex);
    FFx1 = LaunchIdleEffect(FKind, TPoint2{FX + off.x, FY + off.y}, 35);
}

void TBonusSprite::StopFx() {
    FFxStoped = true;
    if (FFx1) FFx1->Stop();
    if (FFx2) FFx2->Stop();
}

void TBonusSprite::UpdateFx(float moveCount) {
    const TPoint2 off = IdleEffectOffset(FKind, FPatternIndex);
    const TPoint2 at{FX + off.x, FY + off.y};
    FollowEffect(FFx1, at, ParticleStep * moveCount, FFxStoped);
    FollowEffect(FFx2, at, ParticleStep * moveCount, FFxStoped);
}

void TBonusSprite::DoMove(float moveCount) {
    TAnimatedSprite::DoMove(moveCount);
    if (FBonusStatus == 0 && CellsFloat()) PlaceOnCell();
    UpdateFx(moveCount);
    if (FBonusStatus == 0) return;
    if (FActivationTimer > 0.0f) {
        FActivationTimer -= 1.0f;
        const TPoint2 scale = BonusPulseScale(FKind, FActivationTimer);
        FScaleX = scale.x;
        FScaleY = scale.y;
        FX = FStartPos.x + static_cast<float>(GetImageWidth()) * (1.0f - scale.x) / 2.0f;
        FY = FStartPos.y + static_cast<float>(GetImageHeight()) * (1.0f - scale.y) / 2.0f;
        return;
    }
    BonusBlast(*this);
    FScaleX = FScaleY = 1.0f;
    FX = FStartPos.x;
    FY = FStartPos.y;
}

void TBonusSprite::DoDraw() {
    TAnimatedSprite::DoDraw();
    if (FFx2) FFx2->Render();
    if (FFx1) FFx1->Render();
}

void TBonusSprite::DoInvisibleDraw() {
    if (FFx2) FFx2->Render();
    if (FFx1) FFx1->Render();
}

// ---- Lifted bonus ---------------------------------------------------------------------------

namespace {

TPoint2 DragOffset(int n) {
    static constexpr std::array<TPoint2, 6> offsets{
        {{-62, -54}, {-62, -54}, {-62, -68}, {-62, -68}, {-62, -68}, {-62, -72}}};
    return offsets[static_cast<size_t>(std::clamp(n, 0, 5))];
}

} // namespace

TDragedBonus::TDragedBonus(TSprite* parent) : TDragedBird(parent) {
    SetAnim(BonusImage(1), 0, pmPingPong, true, true, 0.35f, BonusPatterns);
    FAnimPos = static_cast<float>(Random(BonusPatterns));
    SetDrawMode(3);
    FVisible = false;
    SetZ(9999);
}

void TDragedBonus::AsssignBonus(const TBonusSprite& bonus) {
    FKind = bonus.FKind - 40;
    SetAnim(BonusImage(FKind), 0, IdleMode(bonus.FKind), true, true, IdleSpeed(bonus.FKind),
            BonusPatterns);
    FAnimPos = bonus.FAnimPos;
    pX = bonus.pX;
    pY = bonus.pY;
    FX = bonus.FX;
    FY = bonus.FY;
    StartFx();
}

void TDragedBonus::HangUnderPointer() {
    const TPoint2 offset = DragOffset(FKind);
    FX = BoardPointer.Pos.x + offset.x;
    FY = BoardPointer.Pos.y + offset.y;
    ResetDelta();
    RecalculateCoordinates(FY, FX);
    // Its effect starts here too, rather than streaking over from the cell.
    StopFx();
    StartFx();
}

void TDragedBonus::StartFx() {
    if (FFx1) return;
    FFx1 = LaunchIdleEffect(FKind + 40, Pos(*this), 0);
}

void TDragedBonus::StopFx() {
    FFx1.reset();
    FFx2.reset();
}

void TDragedBonus::Hide() {
    FVisible = false;
    StopFx();
}

void TDragedBonus::DoMove(float moveCount) {
    TAnimatedSprite::DoMove(moveCount);
    const TPoint2 off = IdleEffectOffset(FKind + 40, FPatternIndex);
    FollowEffect(FFx1, TPoint2{FX + off.x, FY + off.y}, ParticleStep * moveCount, false);
    if (!FVisible) return;
    FTimeCounter += 0.1;
    if (FTimeCounter > 31400.0) FTimeCounter = 0.0;
    const TPoint2 offset = DragOffset(FKind);
    RecalculateCoordinates(BoardPointer.Pos.y + offset.y, BoardPointer.Pos.x + offset.x);
}

void TDragedBonus::DoDraw() {
    TAnimatedSprite::DoDraw();
    if (FFx2) FFx2->Render();
    if (FFx1) FFx1->Render();
}

// ---- Travelling bonus -----------------------------------------------------------------------

namespace {

TPoint2 TravelOffset(int n) {
    static constexpr std::array<TPoint2, 6> offsets{
        {{-65, -86}, {-65, -86}, {-66, -76}, {-64, -92}, {-65, -85}, {-65, -74}}};
    return offsets[static_cast<size_t>(std::clamp(n, 0, 5))];
}

} // namespace

void TMovedBonusSprite::AimAt(int index) {
    AimAlongPath(*this, index, TravelOffset(FKind));
}

void TMovedBonusSprite::StartFx() {
    const TPoint2 off = IdleEffectOffset(FKind + 40, FPatternIndex);
    FFx1 = LaunchIdleEffect(FKind + 40, TPoint2{FX + off.x, FY + off.y}, 35);
}

void TMovedBonusSprite::DoMove(float moveCount) {
    TAnimatedSprite::DoMove(moveCount);
    const TPoint2 off = IdleEffectOffset(FKind + 40, FPatternIndex);
    FollowEffect(FFx1, TPoint2{FX + off.x, FY + off.y}, ParticleStep * moveCount, FKilled);
    if (FKilled) {
        FKilledCOunter -= 0.1 * moveCount;
        if (FKilledCOunter <= 0.0) Dead();
        return;
    }
    const auto slotZ = [](TCoord2 c) {
        const TBonusSprite* slot = BonusAt(c);
        return slot ? slot->FZ : CellZ(c.y) + 3;
    };
    if (TravelStep(*this, moveCount, slotZ)) Arrive();
}

void TMovedBonusSprite::DoDraw() {
    TAnimatedSprite::DoDraw();
    if (FFx2) FFx2->Render();
    if (FFx1) FFx1->Render();
}

void TMovedBonusSprite::Arrive() {
    const TCoord2 c = Destination();
    Host().TutorialAllows(TutorialAction::Arrived, c);
    // This bonus is still counted: the sound stops when it was the last thing on its way.
    if (BonusesUnderWay() + KeysUnderWay() <= 1) SfxStopByName(MoveSound);
    if (FFx1 && !FFx1->Alive()) FFx1.reset();
    SetAlpha(0);
    FKilled = true;

    // The boss eats a hamburger; nothing is left on the cell.
    const bool eaten = FKind + 40 == HamburgerBonusKind && FeedBoss(c.x, c.y);
    if (TBonusSprite* slot = BonusAt(c); slot && !eaten) {
        slot->ShowBonus(FKind + 40);
        ClearCellForArrival(c);
    }
    const TMatchResult result = FindMatches(TakeBoardSnapshot());
    if (!result.BirdsGroups.empty()) ResolveMatch(result.BirdsGroups, true, false);
    if (!result.Cats.empty()) Actors().Catch(result.Cats);
    if (result.BirdsGroups.empty() && result.Cats.empty() && !eaten) {
        FinishTurn();
        AdvanceGates();
    }
}

// ---- Rocket ---------------------------------------------------------------------------------

bool TBonusWeaponSprite::AimAtNextTarget() {
    const TCoord2 next = NextRocketTarget(TakeBoardSnapshot(), TCoord2{pX, pY}, FKind);
    if (next == NoCell) return false;
    FTargetMapCoords = TPoint{next.x, next.y};
    FTarget = CellCentre(next);
    const float bow = 0.5f - 0.02f / 2.0f + 0.02f * static_cast<float>(FKillCount % 2);
    const bool horizontal = FKind == 1 || FKind == 3;
    const TPoint2 factor = horizontal ? TPoint2{0.5f, bow} : TPoint2{bow, 0.5f};
    FCenter = TPoint2{(FStart.x + FTarget.x) * factor.x, (FStart.y + FTarget.y) * factor.y};
    const float length = std::fabs(FTarget.x - FStart.x) + std::fabs(FTarget.y - FStart.y);
    FSpeed = length > 0.0f ? 9.0f / length : 1.0f;
    FPreviousDistance = 7777.0;
    return true;
}

void TBonusWeaponSprite::DoMove(float moveCount) {
    TAnimatedSprite::DoMove(moveCount);
    if (FKilled) {
        if (FFx) FFx->Update(ParticleStep * moveCount);
        if (!FFx || !FFx->Alive()) Dead();
        return;
    }
    FPreviousPos = Pos(*this);
    FMoveTime += FSpeed * moveCount;
    const TPoint2 p = QuadraticCurvePoint(FStart, FCenter, FTarget, std::min(FMoveTime, 1.0f));
    FX = p.x;
    FY = p.y;
    const double back = HeadingDegrees(p, FPreviousPos);
    FAngle = static_cast<float>((static_cast<double>(std::lround(back + 180.0)) / 1.40625 + 60.0) /
                                40.0);
    static constexpr std::array<TPoint2, 5> trail{{{0, 0}, {45, 0}, {0, 45}, {-45, 0}, {0, -45}}};
    const TPoint2 behind = trail[static_cast<size_t>(std::clamp(FKind, 1, 4))];
    if (FFx) {
        FFx->MoveTo(TPoint2{FX + behind.x, FY + behind.y});
        FFx->Update(ParticleStep * moveCount);
    }
    if (FMoveTime < 1.0f) return;
    FX = FTarget.x;
    FY = FTarget.y;
    FStart = Pos(*this);
    pX = FTargetMapCoords.x;
    pY = FTargetMapCoords.y;
    RocketHit(TCoord2{pX, pY});
    BoardEffects::Flipbook burst;
    burst.Picture = "bonus_2_rocket_exp_1.image";
    burst.Pos = Pos(*this);
    burst.Blend = beAdd;
    burst.Speed = 0.35f;
    burst.Patterns = 16;
    burst.Z = FZ + 1;
    Effects().PlayFlipbook(burst);
    if (FDeaded) return; // the level ended under the hit
    if (AimAtNextTarget()) {
        FKillCount += 1;
        FMoveTime = 0.0f;
        return;
    }
    FKilled = true;
    FVisible = false;
    if (FFx) FFx->Stop();
    if (!FFx || !FFx->Alive()) Dead();
}

void TBonusWeaponSprite::DoDraw() {
    if (FFx) FFx->Render();
    TAnimatedSprite::DoDraw();
}

void TBonusWeaponSprite::DoInvisibleDraw() {
    if (FFx) FFx->Render();
}

// ---- Lightning strike -----------------------------------------------------------------------

void TLightningSprite::DoMove(float moveCount) {
    FAnimTimer -= FAnimSpeed * moveCount;
    if (FAnimTimer <= 0.0f) {
        FAnimTimer = 1.0f;
        SetPatternIndex(Random(std::max(1, FAnimCount)));
    }
    if (FDoKill) {
        FLifeTime -= 6.5f * moveCount;
        if (FLifeTime > 0.0f)
            SetAlpha(static_cast<int>(std::nearbyint(FLifeTime)));
        else
            Dead();
        return;
    }
    if (FLifeTime > 0.0f) {
        FLifeTime -= 0.1f * moveCount;
        return;
    }
    Strike();
}

void TLightningSprite::Strike() {
    const TCoord2 at{FKillingPos.x, FKillingPos.y};
    if (const TBirdSprite* bird = BoardBirds[at.x][at.y]; bird && bird->FVisible && bird->FBounded)
        FProhibitionList.push_back(at);
    LightningBurn(at);
    if (FDeaded) return;
    if (FCount > 1) {
        const TCoord2 next = FindLightningTarget(at, FKind, FProhibitionList);
        FStartLifeTime = NextStrikeLife(FStartLifeTime);
        if (next != NoCell)
            StartLightningStrike(at, next, FKind, FStartLifeTime, FCount - 1, FProhibitionList);
    }
    FLifeTime = 255.0f;
    FDoKill = true;
}

// ---- Paint drop -----------------------------------------------------------------------------

void TPaintDropSprite::DoMove(float moveCount) {
    if (FFx) {
        FFx->MoveTo(Pos(*this));
        FFx->Update(2.5f * ParticleStep * moveCount);
    }
    if (FDoKill) {
        if (!FFx || !FFx->Alive()) Finish();
        return;
    }
    FSpeed = 0.025f - 0.015f * FTimeCounter;
    FTimeCounter += FSpeed * moveCount;
    const TPoint2 p = QuadraticCurvePoint(FStart, FCenter, FTarget, std::min(FTimeCounter, 1.0f));
    FX = p.x;
    FY = p.y;
    if (FTimeCounter >= 1.0f) Land();
}

void TPaintDropSprite::Land() {
    const TCoord2 at{FKillingPos.x, FKillingPos.y};
    TBirdSprite* bird = IsPlayableCell(at) ? BoardBirds[at.x][at.y] : nullptr;
    if (bird && bird->FVisible && IsBirdKind(FColor)) {
        Player.BirdsPainted += 1;
        Host().CheckAward(AwardBirdsPainted);
        SfxByName("sfx_paint_drop.ogg");
        AddLevelScore(25);
        bird->FKind = FColor;
        if (bird->FBounded) {
            bird->SetAnim(BirdBoundedImage(FColor), 0, pmForward, false, true, 0.0f, 1);
        } else {
            bird->ShowIdle();
        }
        bird->RebuildLight();
        if (DragedBird && DragedBird->InUse() && DragedBird->Source() == at)
            DragedBird->AsssignBird(*bird);
    }
    FDoKill = true;
    if (FFx) FFx->Stop();
    if (!FFx || !FFx->Alive()) Finish();
}

void TPaintDropSprite::Finish() {
    if (FDeaded) return;
    Dead();
    PaintDropGone();
}

void TPaintDropSprite::DoDraw() {
    if (FFx) FFx->Render();
}

void TPaintDropSprite::DoInvisibleDraw() {
    if (FFx) FFx->Render();
}

} // namespace bw
