#include "actors/Cats.h"

#include "actors/Bonuses.h"
#include "actors/CatRules.h"
#include "actors/Nestlings.h"
#include "audio/SoundEngine.h"
#include "board/Board.h"
#include "board/BoardHost.h"
#include "board/BoardSprites.h"
#include "board/LevelData.h"
#include "board/LevelScore.h"
#include "board/Location.h"
#include "board/PathPreview.h"
#include "platform/Log.h"
#include "platform/Random.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace bw {

namespace {

constexpr int CatPatterns = 16;
constexpr float DropStagger = 10.0f;
constexpr char FeatherTexture[] = "Feather_particles.image";

bool HasPos(const TLevelData_Cat& e) {
    return e.Pos.x != -1 && e.Pos.y != -1;
}

bool RandomPos(const TLevelData_Cat& e) {
    return e.Pos.x == -1 && e.Pos.y == -1;
}

// Every live sprite of class T under the board, collected first: acting on one may add
// sprites to the board.
void LeaveKey(TCoord2 c) {
    if (LeaveKeyAt(c)) return;
    WriteLog("A caught cat's key at (" + std::to_string(c.x) + ", " + std::to_string(c.y) +
                 ") has no key slot to appear in",
             1);
}

void LeaveBonus(TCoord2 c, int value) {
    if (value < 1 || value > 5) {
        WriteLog("A caught cat's bonus " + std::to_string(value) + " is not 1..5; none appears", 1);
        return;
    }
    LeaveBonusAt(c, 40 + value);
}

void PlaceCat(TCatSprite& slot, const TLevelData_Cat& entry) {
    slot.FVisible = false;
    slot.FKind = CatEntryCode(entry.Kind);
    slot.FAnimStatus = 0;
    slot.FJumpTimerCount = 0;
    slot.PlaceOnCell();
    TNewShadowCatSprite& shadow = *slot.FNewShadowSprite;
    shadow.SetAlpha(static_cast<int>(std::lround(0.65 * 255.0)));
    shadow.FScaleX = shadow.FScaleY = 0.0f;
    shadow.FStartPos = TPoint2{slot.FStartPos.x, slot.FStartPos.y + 25.0f};
    shadow.FX = shadow.FStartPos.x + static_cast<float>(shadow.GetImageWidth()) / 2.0f;
    shadow.FY = shadow.FStartPos.y + static_cast<float>(shadow.GetImageHeight()) / 2.0f;
    shadow.FVisible = true;
    shadow.FAnimStage = 1;
    slot.FNewShadow = true;
    slot.FMusic_event = entry.Music_event;
    slot.FEvent_name = entry.Event_name.empty() ? std::string("event_nil") : entry.Event_name;
    slot.FEvent_value = entry.Event_value;
}

// A cat standing or announced on the slot, a walking cat or a jumping cat in the air.
struct CarriedCat {
    const std::string& Event;
    int Value;
};

template <class F> void ForEachCatOnBoard(F&& f) {
    for (int x = FirstPlayableCell; x <= LastPlayableCell; ++x) {
        for (int y = FirstPlayableCell; y <= LastPlayableCell; ++y) {
            const TCatSprite* cat = CatAt(TCoord2{x, y});
            if (cat && (cat->HasCat() || cat->FNewShadow))
                f(CarriedCat{cat->FEvent_name, cat->FEvent_value});
        }
    }
    for (const TMovedCatSprite* walker : BoardSpritesOf<TMovedCatSprite>())
        f(CarriedCat{walker->FEvent_name, walker->FEvent_value});
    for (const TJumpingCatSprite* jumper : BoardSpritesOf<TJumpingCatSprite>())
        if (jumper->InFlight()) f(CarriedCat{jumper->FEvent_name, jumper->FEvent_value});
}

} // namespace

int CarriedKeys() {
    int n = 0;
    ForEachCatOnBoard([&](const CarriedCat& cat) { n += cat.Event == "event_drop_key" ? 1 : 0; });
    return n;
}

int CarriedBonuses(int kind) {
    int n = 0;
    ForEachCatOnBoard([&](const CarriedCat& cat) {
        if (cat.Event == "event_drop_bonus" && cat.Value >= 1 && cat.Value <= 5 &&
            cat.Value + 40 == kind)
            n += cat.Value;
    });
    return n;
}

namespace {

CatSpawnCounts TakeSpawnCounts() {
    const BoardSnapshot s = TakeBoardSnapshot();
    CatSpawnCounts counts;
    ForEachCatOnBoard([&](const CarriedCat& cat) {
        counts.Cats += 1;
        if (cat.Event == "event_drop_key") counts.Keys += 1;
        if (cat.Event == "event_drop_bonus" && cat.Value >= 1 && cat.Value <= 5)
            counts.Bonuses[static_cast<size_t>(cat.Value)] += cat.Value;
    });
    for (int x = FirstPlayableCell; x <= LastPlayableCell; ++x) {
        for (int y = FirstPlayableCell; y <= LastPlayableCell; ++y) {
            if (s.Keys[x][y]) counts.Keys += 1;
            if (s.Nestlings[x][y]) counts.Nestlings += 1;
            if (s.Walls[x][y].Visible) counts.Walls += 1;
            const BonusState& bonus = s.Bonuses[x][y];
            if (bonus.Visible && bonus.Kind >= 41 && bonus.Kind <= 45)
                counts.Bonuses[static_cast<size_t>(bonus.Kind - 40)] += 1;
        }
    }
    // Keys on their way are keys too.
    counts.Keys += KeysUnderWay();
    return counts;
}

// Eggs laid and not hatching yet.
bool EggsWaiting() {
    for (int x = FirstPlayableCell; x <= LastPlayableCell; ++x) {
        for (int y = FirstPlayableCell; y <= LastPlayableCell; ++y) {
            const TBirdSprite* bird = BoardBirds[x][y];
            if (bird && bird->FEgg && bird->FEggSprite->FAnimStage <= 1) return true;
        }
    }
    return false;
}

void StartCarry(const TCatSprite& slot, const TMatchedCat& m) {
    auto* cat = new TKilledCatSprite(BoardParent());
    cat->FKind = slot.FKind;
    cat->pX = m.pX;
    cat->pY = m.pY;
    cat->SetAnim(CatImage(slot.FKind, "match"), 0, pmForward, true, false, 0.75f, CatPatterns);
    cat->FX = slot.FX;
    cat->FY = slot.FY;
    cat->FStartPos = TPoint2{slot.FX, slot.FY};
    cat->FTarget = TCoord2{static_cast<int>(std::lround(slot.FX)), -200};
    const TLevelSprite* cell = BoardCells[m.pX][m.pY];
    cat->SetZ((cell ? cell->FZ : CellZ(m.pY)) + 3);
    cat->FTimeCounter = 0.0f;
    cat->FAnimStage = 2;

    auto* bubble = new TAnimatedSprite(cat);
    bubble->FManualRender = true;
    bubble->SetAlpha(0);
    cat->FBubbleIndex = static_cast<uint8_t>(Random(3) + 1);
    bubble->SetImageName("bubble_MatchCat_" + std::to_string(cat->FBubbleIndex) + ".image");
    bubble->FX = cat->FX;
    bubble->FY = cat->FY;
    bubble->FVisible = false;
    cat->FBubbleSprite = bubble;

    static constexpr TPoint2 Offsets[4] = {{13, 5}, {107, 5}, {26, -20}, {87, -29}};
    int birds = 0;
    for (size_t i = 0; i < m.birds.size(); ++i) {
        const TCoord2 c = m.birds[i];
        if (!InGrid(c)) continue;
        TBirdSprite* bird = BoardBirds[c.x][c.y];
        // A bird that already left (taken by another catch) carries nothing.
        if (!bird || !bird->FVisible || bird->FDeaded) continue;
        if (DragedBird && DragedBird->InUse() && DragedBird->Source() == c) {
            CancelDrag();
            ReleaseHandled = true;
            ClearPathPreview();
        }
        const int kind = bird->FKind;
        auto* carrier = new TKilledCatBirdSprite(BoardParent());
        const char* side = i % 2 == 0 ? "left" : "right";
        carrier->SetAnim("Birds_" + std::to_string(kind) + "_anim_matchcat_" + side + ".image", 0,
                         pmPingPong, true, true, 2.0f + 1.0f / static_cast<float>(Random(100) + 1),
                         CatPatterns);
        carrier->SetDrawMode(1);
        const TPoint2 size{static_cast<float>(bird->GetImageWidth()),
                           static_cast<float>(bird->GetImageHeight())};
        carrier->FX = bird->FX + size.x / 2.0f * bird->FScaleX;
        carrier->FY = bird->FY + size.y / 2.0f * bird->FScaleY;
        carrier->SetZ(5001);
        carrier->FFX = Effects().Own("bird_" + std::to_string(kind) + "_match_fx.xml",
                                     TPoint2{carrier->FX + 64.0f, carrier->FY + 64.0f});
        if (carrier->FFX) {
            carrier->FFX->ReadRecordEmitters();
            carrier->FFX->SetTexture(FeatherTexture);
            for (int n = 0; n < 25; ++n) carrier->FFX->Update(0.1f);
            carrier->FFX->SetEmitters({});
            carrier->FFX->Stop();
        }
        carrier->FBirdMoved = true;
        carrier->FBirdOffset = Offsets[i];
        carrier->FBirdTarget = TPoint2{cat->FX + Offsets[i].x, cat->FY + Offsets[i].y};
        carrier->FBirdMoveAngle = AngleTo(TPoint2{carrier->FX, carrier->FY}, carrier->FBirdTarget);
        carrier->FBirdSpeed = 0.2f;
        carrier->FBirdSpeedMax = 30.0f;
        carrier->FBirdPreviousDistance = 7777.0;
        cat->FMatchedBirds[i] = carrier;
        ++birds;

        bird->FVisible = false;
        bird->FLightSprite->FVisible = false;
        bird->FEffect = beNormal;
    }
    cat->FBirdsInMotionCount = birds;

    AddLevelScore(CatCatchScore(slot.FKind));
    Player.LevelCatsMatched += 1;
}

} // namespace

// The board's cat slots hold only the cats CreateCellCat makes, so a plain cast does: the
// board's snapshot asks every cell each tick, and a checked cast there cost more than the rest
// of the tick.
TCatSprite* CatAt(TCoord2 cell) {
    if (!InGrid(cell)) return nullptr;
    auto* cat = static_cast<TCatSprite*>(BoardCats[cell.x][cell.y]);
    return cat && !cat->FDeaded ? cat : nullptr;
}

void CreateCellCat(int x, int y) {
    auto* cat = new TCatSprite(BoardParent());
    cat->pX = x;
    cat->pY = y;
    const int code = CurrentLevel.Birds[x][y];
    const bool starts = IsCatKind(code);
    cat->FKind = starts ? code : 21;
    cat->SetAnim(CatImage(cat->FKind, "idle"), 0, CatIdleMode(cat->FKind), true, true,
                 CatIdleSpeed(cat->FKind), CatPatterns);
    if (starts) {
        cat->FAnimPos = static_cast<float>(Random(CatPatterns));
        cat->SetPatternIndex(static_cast<int>(cat->FAnimPos));
    }
    cat->FVisible = starts;
    cat->PlaceOnCell();
    const TLevelSprite* cell = BoardCells[x][y];
    cat->SetZ((cell ? cell->FZ : CellZ(y)) + 3);
    if (starts) cat->StartCatFx();

    auto* shadow = new TNewShadowCatSprite(BoardParent());
    shadow->SetImageName("Cat_new_shadow.image");
    shadow->FX = cat->FX;
    shadow->FY = cat->FY;
    shadow->FScaleX = cat->FScaleX;
    shadow->FScaleY = cat->FScaleY;
    shadow->SetAlpha(0);
    shadow->FVisible = false;
    shadow->FStartPos = TPoint2{shadow->FX, shadow->FY};
    shadow->SetZ(cat->FZ - 1);
    cat->FNewShadowSprite = shadow;
    BoardCats[x][y] = cat;
}

void AddCatsToSnapshot(BoardSnapshot& s) {
    for (int x = 0; x < BoardGridSize; ++x) {
        for (int y = 0; y < BoardGridSize; ++y) {
            const TCatSprite* cat = CatAt(TCoord2{x, y});
            if (!cat) continue;
            s.Cats[x][y] = CatState{cat->HasCat(), cat->FKind, cat->FNewShadow,
                                    cat->FNewShadow && cat->DropStage() >= 2};
        }
    }
    for (const TMovedCatSprite* walker : BoardSpritesOf<TMovedCatSprite>())
        s.Reserved.push_back(walker->Destination());
    for (const TJumpingCatSprite* jumper : BoardSpritesOf<TJumpingCatSprite>())
        if (jumper->InFlight()) s.Reserved.push_back(TCoord2{jumper->B.x, jumper->B.y});
}

int CountCatsOnBoard() {
    int n = 0;
    ForEachCatOnBoard([&](const CarriedCat&) { ++n; });
    return n;
}

void SpawnCats() {
    std::vector<TLevelData_Cat>& entries = CurrentLevel.Cats;
    float delay = 0.0f;

    // An entry of an unknown kind is used up at once, with one line in the log.
    for (size_t i = 0; i < entries.size(); ++i) {
        TLevelData_Cat& e = entries[i];
        if (e.Droped || CatEntryCode(e.Kind) != 0) continue;
        e.Droped = true;
        WriteLog("Cat entry " + std::to_string(i + 1) + " of " + CurrentLevel.FileName + ": Kind " +
                     std::to_string(e.Kind) + " is neither 1..5 nor 21..25; the entry is ignored",
                 1);
    }

    for (TLevelData_Cat& e : entries) {
        if (e.Droped || e.Cond_name != "cond_start_level" || !HasPos(e)) continue;
        // A key or a hamburger on the cell keeps the cat away until the player takes it off.
        if (CellKeepsCatAway(TCoord2{e.Pos.x, e.Pos.y})) continue;
        e.Droped = true;
        if (TCatSprite* slot = CatAt(TCoord2{e.Pos.x, e.Pos.y})) {
            PlaceCat(*slot, e);
            slot->StartDropAnimation(delay);
            delay += DropStagger;
        }
    }

    const CatSpawnCounts counts = TakeSpawnCounts();
    int fixed = 0;
    std::vector<size_t> queue;
    for (size_t i = 0; i < entries.size(); ++i) {
        TLevelData_Cat& e = entries[i];
        if (e.Droped) continue;
        if (HasPos(e)) {
            if (e.Cond_name == "cond_start_level") continue;
            if (!FixedCatEntryFires(e, counts, fixed)) continue;
            const TCoord2 pos{e.Pos.x, e.Pos.y};
            TCatSprite* slot = CatAt(pos);
            // A cell that holds a cat, or one about to land, keeps the entry waiting; so does
            // a cell something is already on its way to, and one with a key or a hamburger.
            if (slot && (slot->HasCat() || slot->FNewShadow || IsReserved(pos))) continue;
            if (CellKeepsCatAway(pos)) continue;
            if (!e.Infinite) e.Droped = true;
            if (!slot) continue;
            fixed += 1;
            ClearCellForCat(pos);
            PlaceCat(*slot, e);
            slot->StartDropAnimation(delay);
            delay += DropStagger;
        } else if (RandomPos(e)) {
            const int copies = RandomCatEntryCopies(e, counts, static_cast<int>(queue.size()));
            for (int n = 0; n < copies; ++n) queue.push_back(i);
        }
    }

    if (queue.empty()) return;
    TCoords2Array cells = FindRandomCatCells(TakeBoardSnapshot());
    ShuffleCoords(cells);
    // All or nothing: a queue longer than the free cells places no cat this time.
    if (queue.size() > cells.size()) return;
    for (size_t q = 0; q < queue.size(); ++q) {
        TLevelData_Cat& e = entries[queue[q]];
        if (!Chance(e.Random, 100)) continue;
        TCatSprite* slot = CatAt(cells[q]);
        if (!slot) continue;
        if (!e.Infinite) e.Droped = true;
        PlaceCat(*slot, e);
        if (!e.Shadow) {
            slot->StartDropAnimation(delay);
            delay += DropStagger;
        }
    }
}

void CatsTakeTurn() {
    for (TCatSprite* cat : BoardSpritesOf<TCatSprite>()) {
        // Only a cat that has landed and settled takes its turn.
        if (!cat->Settled()) continue;
        const TCoord2 c = cat->Cell();
        if (cat->FKind == 24) {
            const TCoord2 target = ChooseWalkTarget(TakeBoardSnapshot(), c);
            if (target != NoCell) StartCatWalk({c, target}, 24);
        } else if (cat->FKind == 25) {
            if (cat->FJumpTimerCount < 255) cat->FJumpTimerCount += 1;
            if (cat->FJumpTimerCount <= 1) continue;
            TCoords2Array targets = FindJumpTargets(TakeBoardSnapshot());
            ShuffleCoords(targets);
            if (targets.empty()) continue;
            const TPoint2 foot{cat->FX + static_cast<float>(cat->GetImageWidth()) / 2.0f,
                               cat->FY + static_cast<float>(cat->GetImageHeight())};
            BoardEffects::Timed puff;
            puff.Name = "Cats_5_Jump_Fx_1.xml";
            puff.Pos = foot;
            puff.Z = cat->FZ - 1;
            puff.Life = 25.0f;
            puff.PreUpdates = 7;
            puff.Step = 0.01f;
            Effects().PlayTimed(puff);
            cat->FJumpTimerCount = 0;
            StartCatJump(c, targets.front(), 25);
        }
    }
}

void DropPendingCats() {
    const BoardSnapshot s = TakeBoardSnapshot();
    float delay = 0.0f;
    for (int x = FirstPlayableCell; x <= LastPlayableCell; ++x) {
        for (int y = FirstPlayableCell; y <= LastPlayableCell; ++y) {
            const TCoord2 c{x, y};
            const TLevelSprite* cell = BoardCells[x][y];
            TCatSprite* cat = CatAt(c);
            if (!cell || !cell->FVisible || !cat || !cat->FNewShadow) continue;
            if (cat->DropStage() > 1 || s.IsReserved(c)) continue;
            cat->StartDropAnimation(delay);
            delay += DropStagger;
        }
    }
}

void StartCatWalk(const TCoords2Array& path, int kind) {
    SfxByName("sfx_cat_move.ogg");
    if (path.size() < 2) return;
    const TCoord2 start = path.front();
    TCatSprite* slot = CatAt(start);
    const TLevelSprite* cell = InGrid(start) ? BoardCells[start.x][start.y] : nullptr;
    if (!slot || !cell) return;
    auto* walker = new TMovedCatSprite(BoardParent());
    walker->FKind = kind;
    walker->pX = start.x;
    walker->pY = start.y;
    walker->FMusic_event = slot->FMusic_event;
    walker->FEvent_name = slot->FEvent_name;
    walker->FEvent_value = slot->FEvent_value;
    walker->SetAnim(CatImage(kind, "move_left"), 0, pmForward, true, true, 0.2f, CatPatterns);
    walker->FAnimPos = static_cast<float>(Random(CatPatterns));
    // The walk pictures hang from the same point of every cell the walk passes: the first
    // step starts from that point of the start cell, where the cat is seen standing.
    const TPoint2 anchor = CatWalkAnchor(start);
    walker->FX = anchor.x;
    walker->FY = anchor.y;
    const TCoord2 next = path[1];
    const TBirdSprite* nextBird = BoardBirds[next.x][next.y];
    const int z = nextBird ? nextBird->FZ : CellZ(next.y) + 3;
    walker->SetZ(next.y > start.y ? z : z + 3);
    walker->FMovePath = path;
    walker->FMovesCount = static_cast<int>(path.size()) - 1;
    walker->FSpeed = 1.0f;
    walker->AimAt(1);
    walker->StepEffect(start);
    if (TBirdSprite* bird = BoardBirds[start.x][start.y]) bird->FEffect = beNormal;
    slot->FVisible = false;
}

void StartCatJump(TCoord2 from, TCoord2 to, int kind) {
    SfxByName("sfx_cat_jump.ogg");
    TCatSprite* source = CatAt(from);
    if (!source || !CatAt(to)) return;
    auto* jumper = new TJumpingCatSprite(BoardParent());
    jumper->FKind = kind;
    jumper->A = TPoint{from.x, from.y};
    jumper->B = TPoint{to.x, to.y};
    jumper->FStart = TPoint2{source->FX, source->FY};
    jumper->FTarget = CatSlotPosition(to, kind);
    jumper->FCenter = TPoint2{static_cast<float>(std::lround(0.5f * jumper->FStart.x) +
                                                 std::lround(0.5f * jumper->FTarget.x)),
                              static_cast<float>(std::lround(0.1f * jumper->FStart.y) +
                                                 std::lround(0.1f * jumper->FTarget.y))};
    jumper->FMusic_event = source->FMusic_event;
    jumper->FEvent_name = source->FEvent_name;
    jumper->FEvent_value = source->FEvent_value;
    jumper->SetAnim("Cat_5_idle_animation.image", 0, pmForward, false, false, 0.0f, CatPatterns);
    jumper->FX = jumper->FStart.x;
    jumper->FY = jumper->FStart.y;
    jumper->SetZ(3002);
    jumper->FMoveAngle = AngleTo(jumper->FStart, jumper->FTarget);
    jumper->FPreviousDistance = 77777.0;
    jumper->FAnimStage = 1;
    if (TBirdSprite* bird = BoardBirds[from.x][from.y]) bird->FEffect = beNormal;
    source->FVisible = false;
}

void CatchCats(const TMatchedCatsList& cats) {
    // Catches chain through the match checks they run: the board is looked at once, after
    // the outermost list.
    static int depth = 0;
    ++depth;
    for (const TMatchedCat& m : cats) CatchCat(m);
    --depth;
    BoardChanged = true;
    // The carrying birds have left the board, and no removal looks at it when they go: with
    // no bird left to move, the turn goes on (or the board fills up) here. A first refill with
    // no eggs to hatch only lays new ones; a second hatches those, as the removals of a match
    // do, each looking at the board as it ends. A removal still under way looks by itself.
    if (depth == 0 && !cats.empty() && BoardSpritesOf<TKilledBirdSprite>().empty()) {
        CheckBoardEmpty();
        if (EggsWaiting()) CheckBoardEmpty();
    }
}

void CatchCat(const TMatchedCat& m) {
    PlayCatMatch();
    TCatSprite* slot = CatAt(TCoord2{m.pX, m.pY});
    // A cat caught already (by a check that ran while this list waited) is not caught again.
    if (!slot || !slot->Settled()) {
        Host().RefreshTask(false);
        return;
    }
    const TCoord2 c{m.pX, m.pY};
    if (slot->FEvent_name == "event_drop_key") LeaveKey(c);
    if (slot->FEvent_name == "event_drop_bonus") LeaveBonus(c, slot->FEvent_value);

    StartCarry(*slot, m);
    Player.CatsWereKilled += 1;
    Host().CheckAward(AwardCatsCaught);

    slot->CancelDrop();
    slot->FFx.reset();
    slot->FVisible = false;
    slot->FEvent_name = "event_nil";
    slot->FEvent_value = 0;

    RunMatchCheck();
    SpawnCats();
    Host().RefreshTask(false);
}

void ClearCats() {
    for (auto& column : BoardCats) {
        for (TAnimatedSprite*& sprite : column) {
            if (auto* cat = static_cast<TCatSprite*>(sprite)) {
                cat->FFx.reset();
                cat->FDropFx.reset();
                if (cat->FNewShadowSprite && !cat->FNewShadowSprite->FDeaded)
                    cat->FNewShadowSprite->Dead();
                if (!cat->FDeaded) cat->Dead();
            }
            sprite = nullptr;
        }
    }
    // The board may have let go of its slots already: whatever of the cats is left goes too.
    for (TCatSprite* cat : BoardSpritesOf<TCatSprite>()) {
        cat->FFx.reset();
        cat->FDropFx.reset();
        cat->Dead();
    }
    for (TNewShadowCatSprite* shadow : BoardSpritesOf<TNewShadowCatSprite>()) shadow->Dead();
    for (TMovedCatSprite* walker : BoardSpritesOf<TMovedCatSprite>()) walker->Dead();
    for (TJumpingCatSprite* jumper : BoardSpritesOf<TJumpingCatSprite>()) {
        jumper->FFx.reset();
        jumper->Dead();
    }
    for (TKilledCatSprite* caught : BoardSpritesOf<TKilledCatSprite>()) caught->Destroy();
    for (TKilledCatBirdSprite* bird : BoardSpritesOf<TKilledCatBirdSprite>()) {
        bird->FFX.reset();
        bird->Dead();
    }
}

} // namespace bw
