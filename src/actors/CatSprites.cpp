#include "actors/CatSprites.h"

#include "Engine/KilnSprite/SpriteMath.h"
#include "actors/Bonuses.h"
#include "actors/Cats.h"
#include "actors/Nestlings.h"
#include "audio/SoundEngine.h"
#include "board/Board.h"
#include "board/BoardHost.h"
#include "board/BoardSprites.h"
#include "board/Location.h"
#include "platform/Random.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace bw {

namespace {

constexpr int CatPatterns = 16;
// Particle steps per tick: the cats' own effects, the jump's effect, the warm-up of effects
// that must look already running.
constexpr float ParticleStep = 0.01f;
constexpr float JumpParticleStep = 0.02f;
constexpr int WarmUpSteps = 25;
constexpr float WarmUpStep = 0.025f;
constexpr float FeatherWarmUpStep = 0.1f;
// Music event time runs down this much per tick.
constexpr double MusicTimerStep = 16.5;
constexpr int RemovedZ = 5001;

TPoint2 Size(const TSprite& sprite) {
    return TPoint2{static_cast<float>(sprite.GetImageWidth()),
                   static_cast<float>(sprite.GetImageHeight())};
}

TPoint2 Pos(const TSprite& sprite) {
    return TPoint2{sprite.FX, sprite.FY};
}

// The heading from `from` to `to` in degrees, from +x towards +y, in -90..270; 0 when the
// points coincide.
double HeadingDegrees(TPoint2 from, TPoint2 to) {
    if (from.x == to.x && from.y == to.y) return 0.0;
    double degrees =
        std::atan2(static_cast<double>(to.y - from.y), static_cast<double>(to.x - from.x)) * 180.0 /
        std::numbers::pi;
    if (degrees < -90.0) degrees += 360.0;
    return degrees;
}

void WarmUp(BoardParticles& fx, int steps, float step) {
    for (int i = 0; i < steps; ++i) fx.Update(step);
}

// A slot that lost its egg to an arriving cat.
void RemoveEgg(TCoord2 cell) {
    TBirdSprite* bird = IsPlayableCell(cell) ? BoardBirds[cell.x][cell.y] : nullptr;
    if (!bird || !bird->FEgg) return;
    bird->FEgg = false;
    bird->FEggSprite->FVisible = false;
    bird->FEggSprite->FAnimStage = 0;
    bird->FEggSprite->FDoAnimate = false;
}

int BirdSlotZ(TCoord2 cell) {
    const TBirdSprite* bird = BoardBirds[cell.x][cell.y];
    return bird ? bird->FZ : CellZ(cell.y) + 3;
}

} // namespace

std::string CatImage(int kind, const std::string& what) {
    return "Cat_" + std::to_string(kind - 20) + "_" + what + "_animation.image";
}

TPoint2 CatSlotPosition(TCoord2 cell, int kind) {
    const TLevelSprite* place = BoardCells[cell.x][cell.y];
    const TPoint2 centre = place ? place->FCenter : TPoint2{};
    const float offset = kind == 21 ? 0.0f : 5.0f;
    return TPoint2{centre.x - 65.0f, centre.y + offset - 93.0f};
}

TPoint2 CatWalkAnchor(TCoord2 cell) {
    const TLevelSprite* place = BoardCells[cell.x][cell.y];
    const TPoint2 centre = place ? place->FCenter : TPoint2{};
    return TPoint2{centre.x - 65.0f, centre.y - 97.0f};
}

void ClearCellForCat(TCoord2 cell) {
    RemoveEgg(cell);
    RemoveOccupantAt(cell);
}

bool CellKeepsCatAway(TCoord2 cell) {
    if (const TKeySprite* key = KeyAt(cell); key && key->Standing()) return true;
    const TBonusSprite* bonus = BonusAt(cell);
    return bonus && bonus->FVisible && bonus->FKind == HamburgerBonusKind;
}

float CatIdleSpeed(int kind) {
    return kind == 25 ? 0.35f : 0.2f;
}

TAnimPlayMode CatIdleMode(int kind) {
    return kind == 25 ? pmForward : pmPingPong;
}

// ---- The cat slot ---------------------------------------------------------------------------

TCatSprite::TCatSprite(TSprite* parent) : TAnimatedSprite(parent) {}

void TCatSprite::PlaceOnCell() {
    FStartPos = CatSlotPosition(Cell(), FKind);
    FX = FStartPos.x;
    FY = FStartPos.y;
}

void TCatSprite::ShowIdle() {
    SetAnim(CatImage(FKind, "idle"), 0, CatIdleMode(FKind), true, true, CatIdleSpeed(FKind),
            CatPatterns);
    FVisible = true;
}

void TCatSprite::StartCatFx() {
    FFx.reset();
    if (FKind != 23) return;
    FFx = Effects().Own("cat_3_fx.xml", TPoint2{FX + 73.0f, FY + 90.0f});
    if (FFx) WarmUp(*FFx, WarmUpSteps, WarmUpStep);
}

namespace {

void CentreShadow(TNewShadowCatSprite& shadow, TPoint2 slot) {
    const TPoint2 size = Size(shadow);
    shadow.FStartPos = TPoint2{slot.x, slot.y + 25.0f};
    shadow.FX = shadow.FStartPos.x + size.x * (1.0f - shadow.FScaleX) / 2.0f;
    shadow.FY = shadow.FStartPos.y + size.y * (1.0f - shadow.FScaleY) / 2.0f;
}

} // namespace

void TCatSprite::StartDropAnimation(float iDelay) {
    FDelay = iDelay;
    TNewShadowCatSprite& shadow = *FNewShadowSprite;
    shadow.FAnimStage = 2;
    shadow.FScaleX = shadow.FScaleY = 1.0f;
    CentreShadow(shadow, FStartPos);
    shadow.FVisible = true;
}

void TCatSprite::CancelDrop() {
    // Whatever stage the drop was in, nothing falls any more (a drop left running would land
    // on whatever took the cell).
    FNewShadow = false;
    FDelay = 0.0f;
    FDropCounter = 0.0f;
    FNewShadowSprite->FAnimStage = 0;
    FNewShadowSprite->FVisible = false;
    FVisible = false;
    const TLevelSprite* cell = BoardCells[pX][pY];
    SetZ((cell ? cell->FZ : CellZ(pY)) + 3);
}

void TCatSprite::StartMusicEvent() {
    if (FMusic_event.Name != "music_event_drop" || FMusic_event.Index <= 0) return;
    const int track = GameTrackMusic(FMusic_event.Index);
    if (track < 0 || track == CurrentMusic) return;
    FMusic_timer = FMusic_event.Time;
    FSavedMusicIndex = CurrentMusic;
    FMusicEventTrack = track;
    PlayMusic(track, false);
}

void TCatSprite::Land() {
    StartMusicEvent();
    ClearCellForCat(Cell());
    if (FDeaded) return; // the level ended under the landing
    const TLevelSprite* cell = BoardCells[pX][pY];
    SetZ((cell ? cell->FZ : CellZ(pY)) + 2);
    FY = FStartPos.y;
    FTimeCounter = 0.0;
    FNewShadowSprite->FAnimStage = 4;
    ShowIdle();
    StartCatFx();
    FDropFx.reset();
    const TPoint2 size = Size(*this);
    FDropFx =
        Effects().Own("Cats_Drop_Smoke_Fx.xml",
                      TPoint2{FX + size.x * FScaleX / 2.0f, FY + size.y * FScaleY / 2.0f + 55.0f});
    if (FDropFx) {
        WarmUp(*FDropFx, WarmUpSteps, WarmUpStep);
        FDropFx->Stop();
    }
}

void TCatSprite::MoveDrop(float moveCount) {
    TNewShadowCatSprite& shadow = *FNewShadowSprite;
    switch (shadow.FAnimStage) {
    case 0: {
        const TLocationMapKind kind = LocationOptions().FKind;
        const bool floating =
            kind == lockind_Water_1 || kind == lockind_Train || kind == lockind_River_1;
        if (floating && FAnimStatus == 0) PlaceOnCell();
        break;
    }
    case 1:
        shadow.FScaleX = shadow.FScaleY = std::min(1.0f, shadow.FScaleX + 0.035f * moveCount);
        PlaceOnCell();
        CentreShadow(shadow, FStartPos);
        break;
    case 2: {
        if (FDelay > 0.0f) {
            FDelay -= 0.7f * moveCount;
            if (FDelay > 0.0f) break;
        }
        SetZ(2000);
        FX = FStartPos.x;
        FY = 0.7f * FStartPos.y - 1250.0f;
        FVisible = true;
        SetAnim(CatImage(FKind, "drop"), 0, pmPingPong, true, true, 0.0f, 1);
        shadow.FAnimStage = 3;
        FDropCounter = 0.0f;
        FDropStart = Pos(*this);
        FDropTarget = FStartPos;
        FDropMiddle =
            TPoint2{(FDropStart.x + FDropTarget.x) / 2.0f, (FDropStart.y + FDropTarget.y) / 2.0f};
        FDropSoundIsPlaying = false;
        break;
    }
    case 3: {
        if (FDropCounter >= 1.0f) break;
        if (FDropCounter >= 0.7f && !FDropSoundIsPlaying) {
            SfxByName("sfx_cat_drop.ogg");
            FDropSoundIsPlaying = true;
        }
        FDropCounter = std::min(1.0f, FDropCounter + 0.025f * moveCount);
        const TPoint2 p = QuadraticCurvePoint(FDropStart, FDropMiddle, FDropTarget, FDropCounter);
        FX = p.x;
        FY = p.y;
        const double height = static_cast<double>(FStartPos.y - FY);
        const double correction =
            height == 0.0 ? 0.0 : 0.14 * (1.0 - static_cast<double>(shadow.FAlpha)) / height;
        shadow.SetAlpha(
            std::clamp(static_cast<int>(std::lround((0.65 - correction) * 255.0)), 0, 255));
        if (FDropCounter >= 1.0f) Land();
        break;
    }
    case 4:
        if (FTimeCounter > -128.0) {
            FTimeCounter -= 15.0 * moveCount;
            FY = FStartPos.y + 15.0f * Sin256(static_cast<int>(std::lround(FTimeCounter)));
        } else {
            FY = FStartPos.y;
            shadow.FAnimStage = 5;
        }
        break;
    case 5:
        shadow.FVisible = false;
        shadow.FAnimStage = 0;
        FNewShadow = false;
        RunMatchCheck();
        Host().RefreshTask(false);
        break;
    default:
        break;
    }
}

void TCatSprite::HandOverMusic() const {
    // A later event switched from this cat's track: when that one ends, the track this cat
    // replaced comes back, not this cat's.
    for (int x = 0; x < BoardGridSize; ++x) {
        for (int y = 0; y < BoardGridSize; ++y) {
            TCatSprite* other = CatAt(TCoord2{x, y});
            if (!other || other == this || other->FMusic_timer <= 0.0) continue;
            if (other->FSavedMusicIndex == FMusicEventTrack)
                other->FSavedMusicIndex = FSavedMusicIndex;
        }
    }
}

void TCatSprite::DoMove(float moveCount) {
    TAnimatedSprite::DoMove(moveCount);

    if (FMusic_timer > 0.0) {
        FMusic_timer -= MusicTimerStep * moveCount;
        if (FMusic_timer <= 0.0) {
            FMusic_timer = 0.0;
            // Another cat's event may have changed the track since: only the track this cat
            // started gives way to the one it replaced.
            if (CurrentMusic == FMusicEventTrack) {
                if (FSavedMusicIndex >= 0) PlayMusic(FSavedMusicIndex, false);
            } else {
                HandOverMusic();
            }
            FMusicEventTrack = -1;
        }
    }

    if (FAnimStatus == 10) {
        FTimeCounter = 6.28;
        FSpeed = 10.0f;
        FAnimStatus = 11;
    }
    if (FAnimStatus == 11) {
        if (FTimeCounter <= 3.14) {
            FY = FStartPos.y;
            FAnimStatus = 0;
        } else {
            // The hop slows down but never turns back on itself.
            FSpeed = std::max(FSpeed - 1.75f * moveCount, 1.0f);
            FTimeCounter -= FSpeed * 0.1 * moveCount;
            FY = FStartPos.y + 34.0f * static_cast<float>(std::sin(FTimeCounter));
        }
    }

    if (FFx) FFx->Update(ParticleStep * moveCount);
    if (FDropFx) {
        FDropFx->Update(ParticleStep * moveCount);
        if (!FDropFx->Alive()) FDropFx.reset();
    }
    if (FNewShadowSprite) MoveDrop(moveCount);
}

void TCatSprite::DoDraw() {
    if (FDropFx) FDropFx->Render();
    TAnimatedSprite::DoDraw();
    if (FFx) FFx->Render();
}

void TCatSprite::DoInvisibleDraw() {
    if (FDropFx) FDropFx->Render();
}

void TCatSprite::DoNotDraw() {
    if (FDropFx) FDropFx->Render();
}

// ---- Walking cat ----------------------------------------------------------------------------

void TMovedCatSprite::AimAt(int index) {
    FPathIndex = index;
    const TCoord2 from = FMovePath[static_cast<size_t>(index - 1)];
    const TCoord2 to = FMovePath[static_cast<size_t>(index)];
    FTarget = BoardCells[to.x][to.y] ? CatWalkAnchor(to) : Pos(*this);
    FMoveAngle = AngleTo(Pos(*this), FTarget);
    FPreviousDistance = 77777.0;
    TMoveDirection direction = md_None;
    const char* name = "left";
    if (to.x > from.x) direction = md_Right, name = "right";
    if (to.x < from.x) direction = md_Left, name = "left";
    if (to.y > from.y) direction = md_Down, name = "down";
    if (to.y < from.y) direction = md_Up, name = "up";
    FMoveDirection = direction;
    const float phase = FAnimPos;
    SetAnim(CatImage(FKind, std::string("move_") + name), 0, pmForward, true, true, FAnimSpeed,
            CatPatterns);
    FAnimPos = std::clamp(phase, 0.0f, 15.0f);
}

void TMovedCatSprite::StepEffect(TCoord2 leaving) const {
    const TLevelSprite* cell = BoardCells[leaving.x][leaving.y];
    BurstStepEffect(Pos(*this), FMoveDirection, leaving, cell ? cell->FZ : CellZ(leaving.y));
}

void TMovedCatSprite::Arrive() {
    const TCoord2 c = Destination();
    Dead();
    if (TCatSprite* slot = CatAt(c)) {
        if (slot->FNewShadow) slot->CancelDrop();
        slot->FMusic_event = FMusic_event;
        slot->FEvent_name = FEvent_name;
        slot->FEvent_value = FEvent_value;
        slot->FKind = FKind;
        slot->PlaceOnCell();
        slot->ShowIdle();
        slot->FAnimPos = static_cast<float>(Random(CatPatterns));
    }
    RemoveEgg(c);
    RunMatchCheck();
}

void TMovedCatSprite::DoMove(float moveCount) {
    TAnimatedSprite::DoMove(moveCount);
    const double remaining =
        Distance(Pos(*this), FTarget) + static_cast<double>(FMovesCount - FPathIndex) * 76.0;
    FSpeed = static_cast<float>(std::min(12.0, remaining * 0.025 + 1.5));
    FAnimSpeed = std::min(0.85f, FSpeed * 0.15f + 0.2f);
    if (!FlyTowards(*this, FTarget, FMoveAngle, FSpeed, moveCount, FPreviousDistance)) return;
    if (FPathIndex < FMovesCount)
        SetZ(BirdSlotZ(FMovePath[static_cast<size_t>(FPathIndex + 1)]) + 3);
    FPathIndex += 1;
    if (FPathIndex > FMovesCount) {
        Arrive();
        return;
    }
    const TCoord2 left = FMovePath[static_cast<size_t>(FPathIndex - 1)];
    StepEffect(left);
    AimAt(FPathIndex);
    DipFloatingCell(left);
}

void TMovedCatSprite::DoDraw() {
    if (!FDeaded) TAnimatedSprite::DoDraw();
}

// ---- Jumping cat ----------------------------------------------------------------------------

void TJumpingCatSprite::Land() {
    const TCoord2 b{B.x, B.y};
    if (TCatSprite* slot = CatAt(b)) {
        if (slot->FNewShadow) slot->CancelDrop();
        slot->FMusic_event = FMusic_event;
        slot->FEvent_name = FEvent_name;
        slot->FEvent_value = FEvent_value;
        slot->FKind = FKind;
        slot->PlaceOnCell();
        slot->SetAnim(CatImage(FKind, "idle"), 0, pmForward, true, true, 0.35f, CatPatterns);
        slot->FVisible = true;
        slot->FJumpTimerCount = 0;
    }
    RemoveEgg(b);
    if (FFx) FFx->Stop();
    FDoKill = true;
    FVisible = false;
}

void TJumpingCatSprite::DoMove(float moveCount) {
    TAnimatedSprite::DoMove(moveCount);
    if (FFx) {
        FFx->MoveTo(TPoint2{FX + 64.0f, FY + 128.0f});
        FFx->Update(JumpParticleStep * moveCount);
    }
    if (FDoKill) {
        if (!FFx || !FFx->Alive()) Dead();
        return;
    }
    switch (FAnimStage) {
    case 1:
        FSpeed = 0.02f;
        FTimeCounter = 5.0f;
        FAnimStage = 2;
        break;
    case 2:
        FAnimPos += 0.15f * moveCount;
        if (FAnimPos > 1.0f) FAnimPos = 0.0f;
        SetPatternIndex(static_cast<int>(FAnimPos));
        FTimeCounter -= 0.2f * moveCount;
        if (FTimeCounter <= 0.0f) {
            FAnimStage = 3;
            FTimeCounter = 0.0f;
            FAnimPos = 4.0f;
            SetPatternIndex(4);
            FFx = Effects().Own("Cats_5_Jump_Fx_2.xml", TPoint2{FX + 64.0f, FY + 64.0f});
        }
        break;
    case 3: {
        FTimeCounter += FSpeed * moveCount;
        const float t = std::clamp(FTimeCounter, 0.0f, 1.0f);
        const TPoint2 before = Pos(*this);
        const TPoint2 p = QuadraticCurvePoint(FStart, FCenter, FTarget, t);
        FX = p.x;
        FY = p.y;
        const double back = HeadingDegrees(p, before);
        FAngle = static_cast<float>(
            (static_cast<double>(std::lround(back + 180.0)) / 1.40625 + 60.0) / 40.0);
        FAnimPos = static_cast<float>(std::lround(4.0f - 4.0f * t));
        SetPatternIndex(static_cast<int>(FAnimPos));
        if (t >= 1.0f) FAnimStage = 4;
        break;
    }
    case 4:
        Land();
        break;
    default:
        break;
    }
}

void TJumpingCatSprite::DoDraw() {
    if (FFx) FFx->Render();
    TAnimatedSprite::DoDraw();
}

void TJumpingCatSprite::DoInvisibleDraw() {
    if (FFx) FFx->Render();
}

// ---- Caught cat -----------------------------------------------------------------------------

void TKilledCatBirdSprite::DoMove(float moveCount) {
    TAnimatedSprite::DoMove(moveCount);
    if (FFX) FFX->Update(ParticleStep * moveCount);
}

void TKilledCatBirdSprite::DoDraw() {
    TAnimatedSprite::DoDraw();
    if (FFX) FFX->Render();
}

void TKilledCatBirdSprite::DoNotDraw() {
    if (FFX) FFX->Render();
}

TKilledCatSprite::TKilledCatSprite(TSprite* parent) : TAnimatedSprite(parent) {}

void TKilledCatSprite::StartFlyingAway() {
    FAnimStage = 3;
    FSpeedMax = 13.0f;
    FSpeed = 2.0f;
    FPreviousDistance = 7777.0;
    FMoveAngle =
        AngleTo(Pos(*this), TPoint2{static_cast<float>(FTarget.x), static_cast<float>(FTarget.y)});
    SetAnim(CatImage(FKind, "fly"), 0, pmPingPong, true, true, 0.75f, CatPatterns);
    FTimeCounter = 100.0f;
    SetZ(5002);
}

void TKilledCatSprite::Destroy() {
    for (TKilledCatBirdSprite*& bird : FMatchedBirds) {
        if (bird && !bird->FDeaded) {
            bird->FFX.reset();
            bird->Dead();
        }
        bird = nullptr;
    }
    if (!FDeaded) Dead();
}

void TKilledCatSprite::PinBirds() {
    for (size_t i = 0; i < FMatchedBirds.size(); ++i) {
        TKilledCatBirdSprite* bird = FMatchedBirds[i];
        if (!bird) continue;
        bird->FX = FX + bird->FBirdOffset.x;
        bird->FY =
            FY + bird->FBirdOffset.y + 5.0f * Sin256(static_cast<int>(std::lround(FTimeCounter)));
        if (bird->FFX) bird->FFX->MoveTo(TPoint2{bird->FX + 64.0f, bird->FY + 64.0f});
        // The front pair in front of the cat, the back pair behind it, tilted.
        const int z = i < 2 ? RemovedZ : 4998;
        if (bird->FZ != z) bird->SetZ(z);
        if (i >= 2) bird->FAngle = i == 2 ? 0.5f : -0.5f;
    }
}

void TKilledCatSprite::DoMove(float moveCount) {
    TAnimatedSprite::DoMove(moveCount);

    if (FBubbleSprite) {
        FBubbleSprite->SetAlpha(std::min(255, FBubbleSprite->FAlpha + 4));
        const TPoint2 offset =
            FBubbleIndex == 3 ? TPoint2{-120.0f, -75.0f} : TPoint2{64.0f, -65.0f};
        FBubbleSprite->FX =
            FX + offset.x + 3.0f * Sin256(static_cast<int>(std::lround(0.2f * FTimeCounter)));
        FBubbleSprite->FY =
            FY + offset.y + 3.0f * Sin256(static_cast<int>(std::lround(0.4f * FTimeCounter)));
    }

    switch (FAnimStage) {
    case 2:
        if (FBirdsInMotionCount < 1) {
            StartFlyingAway();
            break;
        }
        for (TKilledCatBirdSprite* bird : FMatchedBirds) {
            if (!bird || !bird->FBirdMoved) continue;
            bird->FX += Cos256(bird->FBirdMoveAngle) * bird->FBirdSpeed * moveCount;
            bird->FY += Sin256(bird->FBirdMoveAngle) * bird->FBirdSpeed * moveCount;
            const double d = Distance(Pos(*bird), bird->FBirdTarget);
            bird->FBirdSpeed = static_cast<float>(0.05 * d + 1.5);
            bird->FAnimSpeed = 1.5f + 1.0f / static_cast<float>(Random(100) + 1);
            if (d < bird->FBirdPreviousDistance) {
                bird->FBirdPreviousDistance = d;
                continue;
            }
            if (FBubbleSprite) FBubbleSprite->FVisible = true;
            FTimeCounter = 3.0f;
            bird->FBirdMoved = false;
            FBirdsInMotionCount -= 1;
            if (FBirdsInMotionCount < 1) StartFlyingAway();
        }
        break;
    case 3: {
        if (FSpeed < FSpeedMax) FSpeed += 0.22f * moveCount;
        FX += Cos256(FMoveAngle) * FSpeed * moveCount;
        FY += Sin256(FMoveAngle) * FSpeed * moveCount;
        FTimeCounter += 8.0f * moveCount;
        PinBirds();
        const double d = Distance(
            Pos(*this), TPoint2{static_cast<float>(FTarget.x), static_cast<float>(FTarget.y)});
        if (d < FPreviousDistance) {
            FPreviousDistance = d;
            break;
        }
        // Above the screen: a pause of 30 ticks, then everything goes.
        Host().TutorialAllows(TutorialAction::CatCaught, TCoord2{1, 1});
        FTimeCounter = 3.0f;
        FAnimStage = 4;
        for (TKilledCatBirdSprite* bird : FMatchedBirds) {
            if (bird && bird->FFX) {
                bird->FFX->SetEmitters({});
                bird->FFX->Stop();
            }
        }
        break;
    }
    case 4:
        if (FTimeCounter > 0.0f) {
            FTimeCounter -= 0.1f * moveCount;
        } else {
            Destroy();
        }
        break;
    default:
        break;
    }
}

void TKilledCatSprite::DoDraw() {
    TAnimatedSprite::DoDraw();
    if (FBubbleSprite && FBubbleSprite->FVisible) FBubbleSprite->DoDraw();
}

} // namespace bw
