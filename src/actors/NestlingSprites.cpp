#include "actors/NestlingSprites.h"

#include "Engine/KilnSprite/SpriteMath.h"
#include "actors/Bonuses.h"
#include "actors/CatSprites.h"
#include "actors/Cats.h"
#include "actors/Nestlings.h"
#include "actors/PathTravel.h"
#include "audio/SoundEngine.h"
#include "base/GameState.h"
#include "base/Player.h"
#include "board/Board.h"
#include "board/BoardActors.h"
#include "board/BoardHost.h"
#include "board/BoardSprites.h"
#include "board/Location.h"
#include "board/MatchFinder.h"
#include "platform/Random.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace bw {

namespace {

constexpr float ParticleStep = 0.01f;
constexpr char MoveSound[] = "sfx_object_move.ogg";
constexpr char CagedImage[] = "Nestling_1_anim_caged.image";
constexpr int FlyingZ = 5000;
// The lifted key's top edge hangs this far from the pointer.
constexpr TPoint2 KeyDragOffset{-62.0f, -54.0f};

// Where each chain hangs on the cage, from the cage's top-left.
constexpr std::array<TPoint2, 3> ChainOffsets{{{12, 55}, {20, 50}, {10, 40}}};

TPoint2 Pos(const TSprite& sprite) {
    return TPoint2{sprite.FX, sprite.FY};
}

int SlotZ(TCoord2 c) {
    const TLevelSprite* cell = IsPlayableCell(c) ? BoardCells[c.x][c.y] : nullptr;
    return (cell ? cell->FZ : CellZ(c.y)) + 3;
}

bool CellsFloat() {
    const TLocationMapKind kind = LocationOptions().FKind;
    return kind == lockind_Water_1 || kind == lockind_Train || kind == lockind_River_1;
}

std::string ChainImage(int number) {
    return "Nestling_1_chain_" + std::to_string(number) + ".image";
}

void KillOwned(TAnimatedSprite*& sprite) {
    if (sprite && !sprite->FDeaded) sprite->Dead();
    sprite = nullptr;
}

void DrawIfShown(TSprite* sprite) {
    if (sprite && sprite->FVisible && !sprite->FDeaded) sprite->DoDraw();
}

} // namespace

std::string KeyImage(int n) {
    return "Key_" + std::to_string(n) + "_idle.image";
}

TPoint2 NestlingSlotPosition(TCoord2 cell) {
    const TPoint2 centre = CellCentre(cell);
    return TPoint2{centre.x - 65.0f, centre.y - 17.0f - 65.0f};
}

TPoint2 KeySlotPosition(TCoord2 cell) {
    const TPoint2 centre = CellCentre(cell);
    return TPoint2{centre.x - 65.0f, centre.y + 25.0f - 93.0f};
}

// ---- Caged nestling -------------------------------------------------------------------------

TNestlingSprite::TNestlingSprite(TSprite* parent) : TAnimatedSprite(parent) {}

// The chains are children of the cage and go with it.
TNestlingSprite::~TNestlingSprite() = default;

void TNestlingSprite::PlaceOnCell() {
    const TPoint2 p = NestlingSlotPosition(Cell());
    FX = p.x;
    FY = p.y;
    FStartPos = p;
    for (size_t i = 0; i < FChains.size(); ++i) {
        FChains[i]->FX = FX + ChainOffsets[i].x;
        FChains[i]->FY = FY + ChainOffsets[i].y;
    }
}

void TNestlingSprite::MakeChains(int count) {
    for (TNestlingChainSprite* chain : FChains)
        if (!chain->FDeaded) chain->Dead();
    FChains.clear();
    FChainsCount = std::clamp(count, 0, 3);
    for (int i = 1; i <= FChainsCount; ++i) {
        auto* chain = new TNestlingChainSprite(this);
        chain->FManualRender = true;
        chain->SetImageName(ChainImage(i));
        chain->SetZ(FZ);
        FChains.push_back(chain);
    }
    PlaceOnCell();
}

int TNestlingSprite::DropTopChain() {
    if (FChainsCount <= 0) return 0;
    FChainsCount -= 1;
    if (static_cast<size_t>(FChainsCount) < FChains.size()) {
        TNestlingChainSprite* chain = FChains[static_cast<size_t>(FChainsCount)];
        if (!chain->FDeaded) chain->Dead();
        FChains.resize(static_cast<size_t>(FChainsCount));
    }
    return FChainsCount;
}

void TNestlingSprite::DoMove(float moveCount) {
    TAnimatedSprite::DoMove(moveCount);
    if (CellsFloat()) PlaceOnCell();
}

void TNestlingSprite::DoDraw() {
    TAnimatedSprite::DoDraw();
    for (TNestlingChainSprite* chain : FChains) DrawIfShown(chain);
}

// ---- Freed nestling -------------------------------------------------------------------------

TKilledNestlingSprite::TKilledNestlingSprite(TSprite* parent) : TAnimatedSprite(parent) {}

TKilledNestlingSprite::~TKilledNestlingSprite() = default;

TPoint2 TKilledNestlingSprite::NestTarget(float drop) const {
    TPoint2 nest;
    if (!Host().NestPosition(FNestIndex, nest)) {
        // No nest to fly to: the nestling leaves over the top of the screen.
        return TPoint2{FX, -300.0f};
    }
    return TPoint2{std::round(nest.x) - 17.0f, std::round(nest.y) - drop};
}

void TKilledNestlingSprite::DoMove(float moveCount) {
    TAnimatedSprite::DoMove(moveCount);
    if (FFX) {
        FFX->MoveTo(Pos(*this));
        FFX->Update(ParticleStep * moveCount);
    }
    switch (FAnimStage) {
    case 1:
        if (FLastChainSprite && FLastChainSprite->FAnimPos + 0.5f >= 15.0f) {
            FAnimStage = 2;
            FDoAnimate = true;
        }
        break;
    case 2: {
        if (FLastChainSprite)
            FLastChainSprite->SetAlpha(
                std::clamp(static_cast<int>(std::lround((15.0f - FAnimPos) * 17.0f)), 0, 255));
        if (FAnimPos + 0.5f < 15.0f) break;
        KillOwned(FLastChainSprite);
        SetZ(FlyingZ);
        SetAnim("Nestling_1_fly.image", 0, pmPingPong, true, true, 1.35f, NestlingPatterns);
        if (FOpenedCageSprite) FOpenedCageSprite->FVisible = true;
        FTimeCounter = 255.0f;
        FAnimStage = 3;
        FTarget = NestTarget(50.0f);
        FMoveAngle = AngleTo(Pos(*this), FTarget);
        FPreviousDistance = 77777.0;
        break;
    }
    case 3: {
        if (FSpeed < FSpeedMax) FSpeed += 0.15f * moveCount;
        FX += Cos256(FMoveAngle) * FSpeed * moveCount;
        FY += Sin256(FMoveAngle) * FSpeed * moveCount;
        const double d = Distance(Pos(*this), FTarget);
        if (d > 70.0) {
            FPreviousDistance = d;
        } else {
            if (FOpenedCageSprite) FOpenedCageSprite->SetAlpha(0);
            FSpeed = 5.0f;
            FTarget = NestTarget(44.0f);
            FMoveAngle = AngleTo(Pos(*this), FTarget);
            FPreviousDistance = 77777.0;
            FAnimStage = 4;
        }
        FTimeCounter = std::max(0.0f, FTimeCounter - 5.0f * moveCount);
        if (FOpenedCageSprite && FAnimStage == 3)
            FOpenedCageSprite->SetAlpha(static_cast<int>(FTimeCounter));
        break;
    }
    case 4: {
        if (FAnimSpeed < 2.0f) FAnimSpeed += 0.05f * moveCount;
        if (FSpeed > 0.5f) FSpeed -= 0.3f * moveCount;
        if (FSpeed <= 0.0f) FSpeed = 0.5f;
        const float shift = -5.0f * (FScaleX - 1.0f);
        FX += Cos256(FMoveAngle) * FSpeed * moveCount + shift;
        FY += Sin256(FMoveAngle) * FSpeed * moveCount + shift;
        const double d = Distance(Pos(*this), FTarget);
        FScaleX = FScaleY = static_cast<float>(0.8 + 0.2 * 0.014 * d);
        if (d < FPreviousDistance)
            FPreviousDistance = d;
        else
            FAnimStage = 5;
        break;
    }
    case 5:
        Arrive();
        break;
    default:
        break;
    }
}

void TKilledNestlingSprite::Arrive() {
    FAnimStage = 6;
    Player.NestlingsSaved += 1;
    Host().NestlingHome();
    KillOwned(FLastChainSprite);
    KillOwned(FOpenedCageSprite);
    FFX.reset();
    Dead();
    if (Player.NestlingsSaved >= CurrentLevel.NestlingsMaxCommon) Host().LevelWon();
}

void TKilledNestlingSprite::DrawParts(bool withNestling) {
    DrawIfShown(FOpenedCageSprite);
    if (withNestling) TAnimatedSprite::DoDraw();
    DrawIfShown(FLastChainSprite);
    if (FFX) FFX->Render();
}

void TKilledNestlingSprite::DoDraw() {
    DrawParts(true);
}

void TKilledNestlingSprite::DoInvisibleDraw() {
    DrawParts(false);
}

// ---- Key slot -------------------------------------------------------------------------------

TKeySprite::TKeySprite(TSprite* parent) : TAnimatedSprite(parent) {}

void TKeySprite::PlaceOnCell() {
    const TPoint2 p = KeySlotPosition(Cell());
    FX = p.x;
    FY = p.y;
    FStartPos = p;
}

void TKeySprite::ShowKey() {
    FKind = KeyKind;
    FScaleX = FScaleY = 1.0f;
    FEffect = beNormal;
    SetAlpha(255);
    PlaceOnCell();
    FVisible = true;
    StartFx();
}

void TKeySprite::StartFx() {
    if (FFx) return;
    FFx = Effects().Own("Key_1_Fx.xml", Pos(*this));
    if (!FFx) return;
    FFx->ReadRecordEmitters();
    FFx->MoveTo(Pos(*this));
}

void TKeySprite::StopFx() {
    FFx.reset();
}

void TKeySprite::UpdateFx(float moveCount) {
    if (!FFx) return;
    FFx->MoveTo(Pos(*this));
    FFx->Update(ParticleStep * moveCount);
}

void TKeySprite::DoMove(float moveCount) {
    TAnimatedSprite::DoMove(moveCount);
    UpdateFx(moveCount);
    if (CellsFloat()) PlaceOnCell();
}

void TKeySprite::DoDraw() {
    TAnimatedSprite::DoDraw();
    if (FFx) FFx->Render();
}

// ---- Lifted key -----------------------------------------------------------------------------

TDragedKey::TDragedKey(TSprite* parent) : TDragedBird(parent) {
    SetAnim(KeyImage(1), 0, pmForward, false, true, 0.0f, 1);
    SetDrawMode(3);
    FKind = 1;
    FVisible = false;
    SetZ(9999);
}

void TDragedKey::AsssignBonus(const TKeySprite& key) {
    FKind = key.FKind - 70;
    SetImageName(key.FImageName);
    pX = key.pX;
    pY = key.pY;
    FX = key.FX;
    FY = key.FY;
    StartFx();
}

void TDragedKey::HangUnderPointer() {
    FX = BoardPointer.Pos.x + KeyDragOffset.x;
    FY = BoardPointer.Pos.y + KeyDragOffset.y;
    ResetDelta();
    RecalculateCoordinates(FY, FX);
}

void TDragedKey::Hide() {
    FVisible = false;
    StopFx();
}

void TDragedKey::DoMove(float moveCount) {
    TAnimatedSprite::DoMove(moveCount);
    if (!FVisible) return;
    FTimeCounter += 0.1 * moveCount;
    if (FTimeCounter > 31400.0) FTimeCounter = 0.0;
    RecalculateCoordinates(BoardPointer.Pos.y + KeyDragOffset.y,
                           BoardPointer.Pos.x + KeyDragOffset.x);
}

void TDragedKey::DoDraw() {
    TAnimatedSprite::DoDraw();
    if (FFx) FFx->Render();
}

// ---- Travelling key -------------------------------------------------------------------------

void TMovedKeySprite::AimAt(int index) {
    AimAlongPath(*this, index, TPoint2{-64.0f, -68.0f});
}

void TMovedKeySprite::DoMove(float moveCount) {
    TAnimatedSprite::DoMove(moveCount);
    if (FKilled) {
        FKilledCounter -= 0.1 * moveCount;
        if (FKilledCounter <= 0.0) Dead();
        return;
    }
    if (TravelStep(*this, moveCount, SlotZ)) Arrive();
}

void TMovedKeySprite::DoDraw() {
    TAnimatedSprite::DoDraw();
    if (FFx) FFx->Render();
}

void TMovedKeySprite::Arrive() {
    const TCoord2 c = Destination();
    // This key is still counted: the sound stops when it was the last thing on its way.
    if (BonusesUnderWay() + KeysUnderWay() <= 1) SfxStopByName(MoveSound);
    SetAlpha(0);
    FKilled = true;
    FFx.reset();
    Host().TutorialAllows(TutorialAction::Arrived, c);

    if (TNestlingSprite* nestling = NestlingAt(c); nestling && nestling->Caged()) {
        // Opening a chain ends the move: no match is looked for and the turn goes on.
        OpenChain(*nestling, Pos(*this));
        return;
    }
    if (TKeySprite* slot = KeyAt(c)) slot->ShowKey();
    ClearCellForArrival(c);
    if (TCatSprite* cat = CatAt(c); cat && cat->FNewShadow) cat->CancelDrop();

    const TMatchResult result = FindMatches(TakeBoardSnapshot());
    if (!result.BirdsGroups.empty()) ResolveMatch(result.BirdsGroups, false, false);
    if (!result.Cats.empty()) Actors().Catch(result.Cats);
    if (result.BirdsGroups.empty() && result.Cats.empty()) {
        FinishTurn();
        AdvanceGates();
    }
}

} // namespace bw
