#include "actors/Bonuses.h"

#include "actors/BonusRules.h"
#include "actors/Cats.h"
#include "actors/PathTravel.h"
#include "audio/SoundEngine.h"
#include "board/Board.h"
#include "board/BoardHost.h"
#include "board/BoardSprites.h"
#include "board/LevelData.h"
#include "board/LevelScore.h"
#include "board/PathPreview.h"
#include "platform/Log.h"
#include "platform/Random.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace bw {

namespace {

constexpr int BonusPatterns = 16;
constexpr int BlastScore = 15;
constexpr int EffectZ = 5001;
constexpr int FlashZ = 5002;
constexpr char MoveSound[] = "sfx_object_move.ogg";

TDragedBonus* TheDragedBonus = nullptr;
int PaintDropsInFlight = 0;

TBirdSprite* VisibleBirdAt(TCoord2 c) {
    if (!IsPlayableCell(c)) return nullptr;
    TBirdSprite* bird = BoardBirds[c.x][c.y];
    return bird && bird->FVisible && !bird->FDeaded ? bird : nullptr;
}

// Whatever the player holds is dropped when the thing under it goes.
void CancelLiftsOn(TCoord2 c) {
    if (DraggedSource() != c) return;
    CancelDrag();
    ClearPathPreview();
}

const char* ExplosionSound(int kind) {
    switch (kind) {
    case BombBonusKind:
        return "sfx_bomba_exp.ogg";
    case FireworksBonusKind:
        return "sfx_fireworks_exp.ogg";
    case LightningBonusKind:
        return "sfx_lightning_exp.ogg";
    default:
        return "sfx_paint_exp.ogg";
    }
}

void PlayLightningTarget() {
    SfxByName("sfx_lightning_target_" + std::to_string(Random(3) + 1) + ".ogg");
}

TPoint2 BonusCentre(const TBonusSprite& b) {
    return TPoint2{b.FX + static_cast<float>(b.GetImageWidth()) * b.FScaleX / 2.0f,
                   b.FY + static_cast<float>(b.GetImageHeight()) * b.FScaleY / 2.0f};
}

void Flash(const std::string& picture, TPoint2 at, float scale, float speed) {
    BoardEffects::Flipbook f;
    f.Picture = picture;
    f.Pos = at;
    f.Scale = TPoint2{scale, scale};
    f.Blend = beAdd;
    f.Centred = true;
    f.Speed = speed;
    f.Patterns = BonusPatterns;
    f.Z = FlashZ;
    Effects().PlayFlipbook(f);
}

// A bonus hit by an explosion or a rocket: weapons go off, a lightning or paint bonus with a
// kind of the level's mix; a hamburger stays.
void SetOffByExplosion(TCoord2 c) {
    const TBonusSprite* b = BonusAt(c);
    if (!b || !b->Standing() || !IsMatchableBonusKind(b->FKind)) return;
    const bool needsKind = b->FKind == LightningBonusKind || b->FKind == PaintBonusKind;
    SetOffBonus(c, needsKind ? WeightedRandomKind() : 0);
}

void MakeCatHop(TCoord2 c) {
    if (TCatSprite* cat = CatAt(c); cat && cat->Settled()) cat->FAnimStatus = 10;
}

void BurnBird(TCoord2 c, TBirdSprite& bird) {
    Player.BirdsWereBurned += 1;
    Host().CheckAward(AwardBirdsBurned);
    CancelLiftsOn(c);
    SfxByName("sfx_bomba_burn.ogg");
    bird.FVisible = false;
    bird.FLightSprite->FVisible = false;
    bird.FEffect = beNormal;
    BoardEffects::Flipbook f;
    f.Picture = "Birds_1_anim_explosion.image";
    f.Pos = TPoint2{bird.FX, bird.FY};
    f.Centred = false;
    f.Speed = 2.5f;
    f.Patterns = BonusPatterns;
    f.Z = bird.FZ;
    Effects().PlayFlipbook(f);
    StartBirdRemoval(bird.FKind, c.x, c.y, kbak_Explode,
                     TPoint2{static_cast<float>(Random(2000)), -200.0f}, bird.FZ, bird.FY, bird.FX);
    AddLevelScore(BlastScore);
}

void UnbindBird(TBirdSprite& bird) {
    SfxByName("sfx_bird_unbound.ogg");
    TBirdSprite::UnBoundBird(bird);
    RunMatchCheck();
}

void FireRocket(TPoint2 at, int direction, TCoord2 from) {
    auto* rocket = new TBonusWeaponSprite(BoardParent());
    rocket->FKind = direction;
    rocket->SetAnim("bonus_2_rockets.image", 0, pmForward, true, true, 0.35f, 6);
    rocket->FAnimPos = static_cast<float>(Random(6));
    rocket->FX = at.x;
    rocket->FY = at.y;
    rocket->FStart = at;
    rocket->SetZ(EffectZ);
    rocket->SetDrawMode(1);
    rocket->pX = from.x;
    rocket->pY = from.y;
    rocket->FFx = Effects().Own("Bonus_2_Fireworks_RocketFx_2.xml", at);
    if (!rocket->AimAtNextTarget()) rocket->Dead();
}

void LaunchPaintDrop(TCoord2 from, TCoord2 to, int colour) {
    auto* drop = new TPaintDropSprite(BoardParent());
    drop->FStart = CellCentre(from);
    drop->FTarget = CellCentre(to);
    drop->FCenter = TPoint2{(drop->FStart.x + drop->FTarget.x) * 0.5f,
                            (drop->FStart.y + drop->FTarget.y) * 0.1f};
    drop->FX = drop->FStart.x;
    drop->FY = drop->FStart.y;
    drop->SetZ(3000);
    drop->FKillingPos = TPoint{to.x, to.y};
    drop->FColor = colour;
    drop->FFx =
        Effects().Own("Bonus_4_PaintDrop_color_" + std::to_string(colour) + ".xml", drop->FStart);
    if (drop->FFx) drop->FFx->ReadRecordEmitters();
    PaintDropsInFlight += 1;
    if (DragedBird && DragedBird->InUse() && DragedBird->Source() == to) {
        CancelDrag();
        ClearPathPreview();
    }
}

// A timed particle animation of a blast: it emits for `life` updates.
void BlastParticles(const std::string& name, TPoint2 at, int z, float life, int preUpdates = 5,
                    float step = 0.02f, float delay = 0.0f) {
    BoardEffects::Timed t;
    t.Name = name;
    t.Pos = at;
    t.Z = z;
    t.Delay = delay;
    t.Life = life;
    t.PreUpdates = preUpdates;
    t.Step = step;
    Effects().PlayTimed(t);
}

void BombBlast(TBonusSprite& b) {
    const TPoint2 centre = BonusCentre(b);
    b.StopFx();
    b.FBonusStatus = 0;
    // The slot is empty before the neighbours go: a match their blast causes cannot take the
    // bomb in again.
    b.FVisible = false;
    b.FEffect = beNormal;
    const TCoord2 c = b.Cell();
    for (const TCoord2 d : BombBlastOrder) {
        ExplodeCell(c.x + d.x, c.y + d.y);
        if (b.FDeaded) return; // the level ended in the blast
    }
    Flash("bonus_1_fx_1.image", centre, 1.35f, 0.5f);
    BlastParticles("Bonus_1_Bomb_SmokeFx.xml", centre, EffectZ, 25.0f);
    BlastParticles("Bonus_1_Bomb_Explosion_Fx_1.xml", centre, EffectZ, 15.0f);
}

void FireworksBlast(TBonusSprite& b) {
    const TPoint2 centre = BonusCentre(b);
    b.StopFx();
    b.FBonusStatus = 0;
    b.FVisible = false;
    Flash("bonus_2_fx_1.image", centre, 1.0f, 0.65f);
    const TPoint2 from{centre.x, centre.y + 15.0f};
    for (int d = 1; d <= 4; ++d) FireRocket(from, d, b.Cell());
    TCoords2Array offsets{{0, -50}, {50, 0}, {0, 50}, {-50, 0}};
    ShuffleCoords(offsets);
    for (int i = 0; i < 4; ++i) {
        const int s = i % 2 == 0 ? 2 : 1;
        const TPoint2 at{b.FX + 32.0f + static_cast<float>(offsets[i].x + Random(50) - 25),
                         b.FY + 32.0f + static_cast<float>(offsets[i].y + Random(50) - 25)};
        const float delay = static_cast<float>((5 + Random(5)) * i);
        const float speed = 0.035f + 0.025f / static_cast<float>(Random(100) + 1);
        BlastParticles("Bonus_2_Fireworks_Salute_Fx_" + std::to_string(s) + ".xml", at, EffectZ,
                       25.0f, 15, speed, delay);
    }
}

void LightningBlast(TBonusSprite& b) {
    const TPoint2 centre = BonusCentre(b);
    b.StopFx();
    b.FBonusStatus = 0;
    b.FVisible = false;
    const TCoord2 target = FindLightningTarget(b.Cell(), b.FMatchedBirdsKind, {});
    if (target != NoCell)
        StartLightningStrike(b.Cell(), target, b.FMatchedBirdsKind, FirstStrikeLife,
                             LightningChainLength, {});
    Flash("bonus_3_exp_1.image", centre, 1.0f, 0.65f);
    BlastParticles("Bonus_3_ChainLightning_Explosion_Fx_1.xml", centre, 5003, 15.0f);
    BlastParticles("Bonus_3_ChainLightning_Explosion_Fx_2.xml", centre, EffectZ, 20.0f);
}

void PaintBlast(TBonusSprite& b) {
    const TPoint2 centre = BonusCentre(b);
    const int colour = b.FMatchedBirdsKind;
    b.StopFx();
    b.FBonusStatus = 0;
    b.FVisible = false;
    const TCoord2 lifted = DragedBird && DragedBird->InUse() ? DragedBird->Source() : NoCell;
    TCoords2Array cells = PaintCandidates(TakeBoardSnapshot(), colour, lifted);
    ShuffleCoords(cells);
    const size_t n = std::min(cells.size(), static_cast<size_t>(PaintDropsPerBlast));
    for (size_t i = 0; i < n; ++i) LaunchPaintDrop(b.Cell(), cells[i], colour);
    Flash("bonus_3_exp_1.image", centre, 1.0f, 0.65f);
    BlastParticles("Bonus_4_Paint__Explosion_Fx_1.xml", centre, 5003, 15.0f);
    BlastParticles("Bonus_4_Paint__Explosion_Fx_2_color_" + std::to_string(colour) + ".xml", centre,
                   EffectZ, 20.0f);
}

} // namespace

TBonusSprite* BonusAt(TCoord2 c) {
    if (c.x < 0 || c.y < 0 || c.x >= BoardGridSize || c.y >= BoardGridSize) return nullptr;
    auto* b = static_cast<TBonusSprite*>(BoardBonuses[c.x][c.y]);
    return b && !b->FDeaded ? b : nullptr;
}

TDragedBonus* DragedBonusSprite() {
    return TheDragedBonus;
}

void CreateCellBonus(int x, int y) {
    if (!TheDragedBonus && BoardParent()) TheDragedBonus = new TDragedBonus(BoardParent());
    auto* b = new TBonusSprite(BoardParent());
    BoardBonuses[x][y] = b;
    b->pX = x;
    b->pY = y;
    b->FBonusStatus = 0;
    b->FActivationTimer = static_cast<float>(BonusPulseUpdates);
    const TLevelSprite* cell = BoardCells[x][y];
    b->SetZ((cell ? cell->FZ : CellZ(y)) + 3);
    const int code = CurrentLevel.Birds[x][y];
    if (IsBonusKind(code)) {
        b->ShowBonus(code);
    } else {
        b->FKind = BombBonusKind;
        b->SetAnim(BonusImage(1), 0, pmPingPong, true, true, 0.35f, BonusPatterns);
        b->PlaceOnCell();
        b->FVisible = false;
    }
}

bool IsBonusAt(int x, int y) {
    const TBonusSprite* b = BonusAt(TCoord2{x, y});
    return b && b->Standing();
}

int CountBonuses(int kind, bool includeCarried) {
    int n = 0;
    for (int x = FirstPlayableCell; x <= LastPlayableCell; ++x)
        for (int y = FirstPlayableCell; y <= LastPlayableCell; ++y)
            if (const TBonusSprite* b = BonusAt({x, y}); b && b->FVisible && b->FKind == kind)
                n += 1;
    if (includeCarried) n += CarriedBonuses(kind);
    return n;
}

void LeaveBonusAt(TCoord2 c, int kind) {
    TBonusSprite* b = BonusAt(c);
    if (!b) {
        WriteLog("A bonus " + std::to_string(kind) + " at (" + std::to_string(c.x) + ", " +
                     std::to_string(c.y) + ") has no bonus slot to appear in",
                 1);
        return;
    }
    b->ShowBonus(kind);
}

void LiftBonus(TCoord2 c) {
    TBonusSprite* b = BonusAt(c);
    if (!b || !b->Standing() || !TheDragedBonus) return;
    TDragedBonus& d = *TheDragedBonus;
    d.AsssignBonus(*b);
    d.HangUnderPointer();
    d.FVisible = true;
    b->FEffect = beAdd;
    b->StopFx();
}

LiftedObject LiftedBonus() {
    if (!TheDragedBonus || !TheDragedBonus->InUse()) return {};
    const TBonusSprite* b = BonusAt(TheDragedBonus->Source());
    return {TheDragedBonus->Source(), b ? b->FKind : TheDragedBonus->FKind + 40};
}

void CancelBonusLift() {
    CancelLiftOf(TheDragedBonus, BonusAt);
}

void StartBonusMove(const TCoords2Array& path, int n) {
    // A cat about to land would hide a hamburger for good (nothing sets a hamburger off): the
    // hamburger goes back and the move does not count.
    if (n + 40 == HamburgerBonusKind && !path.empty()) {
        if (const TCatSprite* cat = CatAt(path.back()); cat && cat->FNewShadow) {
            CancelBonusLift();
            return;
        }
    }
    CountMoveAndPutDown(TheDragedBonus);
    if (path.size() < 2) return;
    TBonusSprite* start = BonusAt(path.front());
    if (!start) return;
    auto* m = new TMovedBonusSprite(BoardParent());
    m->FKind = n;
    m->pX = path.front().x;
    m->pY = path.front().y;
    m->SetAnim(BonusImage(n), 0, start->FAnimPlayMode, true, true, start->FAnimSpeed,
               BonusPatterns);
    m->FAnimPos = static_cast<float>(Random(BonusPatterns));
    m->FX = start->FX;
    m->FY = start->FY;
    const TBonusSprite* second = BonusAt(path[1]);
    SetOffAlongPath(*m, path, second ? second->FZ : CellZ(path[1].y) + 3);
    // The slot's own effect was stopped when the bonus was lifted and fades where it is; the
    // travelling bonus carries a running one of its own.
    m->StartFx();
    start->FFx2.reset();
    start->FEffect = beNormal;
    start->FVisible = false;
}

int BonusesUnderWay() {
    int n = 0;
    for (const TMovedBonusSprite* m : BoardSpritesOf<TMovedBonusSprite>())
        n += m->UnderWay() ? 1 : 0;
    return n;
}

void SetOffBonus(TCoord2 c, int birdKind) {
    TBonusSprite* b = BonusAt(c);
    if (!b || !b->Standing() || !IsMatchableBonusKind(b->FKind)) return;
    // A lifted bonus that goes off is no longer in the player's hand.
    if (LiftedBonus().Source == c) {
        CancelDrag();
        ClearPathPreview();
    }
    Player.BonusesActivated += 1;
    Host().CheckAward(AwardBonusesActivated);
    SfxByName(ExplosionSound(b->FKind));
    AddLevelScore(ActivationScore(b->FKind));
    Player.LevelBonusesUsed += 1;
    b->FActivationTimer = static_cast<float>(BonusPulseUpdates);
    b->FBonusStatus = ActivationStatus(b->FKind);
    if (b->FKind == LightningBonusKind || b->FKind == PaintBonusKind)
        b->FMatchedBirdsKind = birdKind;
    if (CurrentLevel.Task.Index == TaskNoBonuses) Host().RefreshTask(false);
}

void SetOffBonusesInGroups(const TBirdsGroups& groups) {
    for (const TBirdsMatchedGroups& group : groups) {
        for (const TBirdForDestroy& e : group.Group) {
            const TCoord2 c{e.pX, e.pY};
            const TBonusSprite* b = BonusAt(c);
            if (!b || !b->Standing() || !IsMatchableBonusKind(b->FKind)) continue;
            const bool needsKind = b->FKind == LightningBonusKind || b->FKind == PaintBonusKind;
            // A group of bonuses alone has no bird kind: the level's mix gives one.
            SetOffBonus(c, !needsKind || IsBirdKind(e.kind) ? e.kind : WeightedRandomKind());
        }
    }
}

void ExplodeCell(int x, int y) {
    const TCoord2 c{x, y};
    switch (ExplosionAt(TakeBoardSnapshot(), c)) {
    case ExplosionOutcome::BurnBird:
        if (TBirdSprite* bird = VisibleBirdAt(c)) BurnBird(c, *bird);
        break;
    case ExplosionOutcome::UnbindBird:
        if (TBirdSprite* bird = VisibleBirdAt(c)) UnbindBird(*bird);
        break;
    case ExplosionOutcome::SetOffBonus:
        SetOffByExplosion(c);
        break;
    case ExplosionOutcome::HitWall:
        HitWall(c);
        break;
    case ExplosionOutcome::CatHops:
        MakeCatHop(c);
        break;
    case ExplosionOutcome::Nothing:
        break;
    }
}

void BonusBlast(TBonusSprite& b) {
    switch (b.FBonusStatus) {
    case 1:
        BombBlast(b);
        break;
    case 11:
        FireworksBlast(b);
        break;
    case 21:
        LightningBlast(b);
        break;
    case 31:
        PaintBlast(b);
        break;
    default:
        b.FBonusStatus = 0;
        break;
    }
    b.FBonusStatus = 0;
    b.FVisible = false;
    b.FEffect = beNormal;
}

void RocketHit(TCoord2 c) {
    if (!IsPlayableCell(c)) return;
    if (TBirdSprite* bird = VisibleBirdAt(c)) {
        if (bird->FSmallBounded) return;
        SfxByName("sfx_fireworks_target.ogg");
        TBirdsMatchedGroups one;
        one.Group.push_back(TBirdForDestroy{c.x, c.y, bird->FKind});
        ResolveMatch(TBirdsGroups{one}, false, true);
        return;
    }
    if (const TBonusSprite* b = BonusAt(c); b && b->Standing()) {
        SetOffByExplosion(c);
        return;
    }
    if (const TWallSprite* wall = BoardWalls[c.x][c.y]; wall && wall->FVisible) {
        SfxByName("sfx_fireworks_target.ogg");
        HitWall(c);
        return;
    }
    if (const TCatSprite* cat = CatAt(c); cat && cat->Settled()) {
        SfxByName("sfx_fireworks_target.ogg");
        MakeCatHop(c);
    }
}

TCoord2 FindLightningTarget(TCoord2 from, int kind, const TCoords2Array& prohibited) {
    const TCoords2Array ring = LightningRingTargets(TakeBoardSnapshot(), from, kind, prohibited);
    if (ring.empty()) return NoCell;
    return ring[static_cast<size_t>(Random(static_cast<int>(ring.size())))];
}

void StartLightningStrike(TCoord2 from, TCoord2 to, int kind, float life, int count,
                          const TCoords2Array& prohibited) {
    if (DragedBird && DragedBird->InUse() && DragedBird->Source() == to) {
        CancelDrag();
        ClearPathPreview();
    }
    auto* strike = new TLightningSprite(BoardParent());
    strike->FProhibitionList = prohibited;
    strike->FKillingPos = TPoint{to.x, to.y};
    strike->FKind = kind;
    strike->FCount = count;
    strike->FStartLifeTime = strike->FLifeTime = life;
    strike->SetAnim("bonus_3_fx_1.image", 0, pmForward, true, true, 0.225f, BonusPatterns);
    strike->SetDrawMode(3);
    strike->SetZ(3000);
    // A strip from the centre of `from` stretched to the centre of `to`, turned about its
    // pivot (32, 15).
    const TPoint2 a = CellCentre(from);
    const TPoint2 b = CellCentre(to);
    const float dx = b.x - a.x;
    const float dy = b.y - a.y;
    const float distance = std::sqrt(dx * dx + dy * dy);
    const float length = distance + 25.0f;
    const float width = static_cast<float>(std::max(strike->GetImageWidth(), 64));
    const TPoint2 along = distance > 0.0f ? TPoint2{dx / distance, dy / distance} : TPoint2{0, 1};
    const TPoint2 across{-along.y, along.x};
    const auto corner = [&](float u, float v) {
        return TPoint2{a.x + across.x * (u - 32.0f) + along.x * (v - 15.0f),
                       a.y + across.y * (u - 32.0f) + along.y * (v - 15.0f)};
    };
    const TPoint2 c1 = corner(0.0f, 0.0f), c2 = corner(width, 0.0f);
    const TPoint2 c3 = corner(width, length), c4 = corner(0.0f, length);
    strike->FX1 = c1.x, strike->FY1 = c1.y, strike->FX2 = c2.x, strike->FY2 = c2.y;
    strike->FX3 = c3.x, strike->FY3 = c3.y, strike->FX4 = c4.x, strike->FY4 = c4.y;
    strike->FX = std::min({c1.x, c2.x, c3.x, c4.x});
    strike->FY = std::min({c1.y, c2.y, c3.y, c4.y});
    if (const TBirdSprite* bird = VisibleBirdAt(to)) {
        StartBirdRemoval(bird->FKind, to.x, to.y,
                         bird->FBounded ? kbak_BurnedByLightningBounded : kbak_BurnedByLightning,
                         TPoint2{static_cast<float>(Random(2000)), -200.0f}, bird->FZ + 1, bird->FY,
                         bird->FX);
    }
}

void LightningBurn(TCoord2 c) {
    TBirdSprite* bird = VisibleBirdAt(c);
    if (!bird) return;
    if (bird->FBounded) {
        SfxByName("sfx_bird_unbound.ogg");
        PlayLightningTarget();
        TBirdSprite::UnBoundBird(*bird);
        RunMatchCheck();
        return;
    }
    CancelLiftsOn(c);
    PlayLightningTarget();
    bird->FVisible = false;
    bird->FLightSprite->FVisible = false;
    bird->FEffect = beNormal;
    AddLevelScore(BlastScore);
}

int ActivePaintDrops() {
    return PaintDropsInFlight;
}

void PaintDropGone() {
    if (PaintDropsInFlight > 0) PaintDropsInFlight -= 1;
    if (PaintDropsInFlight == 0) RunMatchCheck();
}

void AddBonusesToSnapshot(BoardSnapshot& s) {
    for (int x = 0; x < BoardGridSize; ++x) {
        for (int y = 0; y < BoardGridSize; ++y) {
            if (const TBonusSprite* b = BonusAt({x, y}))
                s.Bonuses[x][y] = BonusState{b->FVisible, b->FKind, b->FBonusStatus};
        }
    }
    for (const TMovedBonusSprite* m : BoardSpritesOf<TMovedBonusSprite>())
        if (m->UnderWay()) s.Reserved.push_back(m->Destination());
}

void ClearBonuses() {
    for (auto& column : BoardBonuses) {
        for (auto*& sprite : column) {
            if (sprite && !sprite->FDeaded) sprite->Dead();
            sprite = nullptr;
        }
    }
    for (auto* m : BoardSpritesOf<TMovedBonusSprite>()) m->Dead();
    for (auto* r : BoardSpritesOf<TBonusWeaponSprite>()) r->Dead();
    for (auto* l : BoardSpritesOf<TLightningSprite>()) l->Dead();
    for (auto* p : BoardSpritesOf<TPaintDropSprite>()) p->Dead();
    if (TheDragedBonus && !TheDragedBonus->FDeaded) TheDragedBonus->Dead();
    TheDragedBonus = nullptr;
    PaintDropsInFlight = 0;
    SfxStopByName(MoveSound);
}

void ForgetBonuses() {
    TheDragedBonus = nullptr;
    PaintDropsInFlight = 0;
}

} // namespace bw
