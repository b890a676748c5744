// The turn flow of the board: a bird's move and its arrival, the matches it makes, the end
// of a turn without one (eggs, bounded birds, crows, walls, gates) and the level's outcome.
#include "board/Board.h"

#include "audio/SoundEngine.h"
#include "base/GameState.h"
#include "board/BirdSprites.h"
#include "board/BoardActors.h"
#include "board/BoardEffects.h"
#include "board/BoardHost.h"
#include "board/BoardSprites.h"
#include "board/LevelData.h"
#include "board/LevelFindings.h"
#include "board/LevelScore.h"
#include "board/Location.h"
#include "board/LocationLayout.h"
#include "board/PathPreview.h"
#include "data/KilnArchive.h"
#include "data/XmlLoad.h"
#include "platform/Log.h"
#include "platform/Random.h"

#include <algorithm>

namespace bw {

namespace {

constexpr int MatchScore = 15;
constexpr int RemovalZ = 5000;

bool Holds(const TCoords2Array& cells, TCoord2 c) {
    return std::find(cells.begin(), cells.end(), c) != cells.end();
}

template <class T> T* At(const BoardGrid<T*>& grid, TCoord2 c) {
    if (c.x < 0 || c.y < 0 || c.x >= BoardGridSize || c.y >= BoardGridSize) return nullptr;
    return grid[c.x][c.y];
}

bool Visible(const TSprite* sprite) {
    return sprite && sprite->FVisible && !sprite->FDeaded;
}

int FlyingBirdCount() {
    int count = 0;
    if (BoardParent())
        for (TSprite* sprite : BoardParent()->Items()) {
            auto* flying = dynamic_cast<TMovedBirdSprite*>(sprite);
            if (flying && flying->Flying()) ++count;
        }
    return count;
}

void LevelLost() {
    if (BoardLost) return;
    BoardLost = true;
    CancelDrag();
    WriteLog("Level lost: the board is full", 1);
    Host().LevelLost();
}

// A decided mission is never lost afterwards: the first outcome wins.
void CheckBoardFullAfterGeneration() {
    if (MissionDecided() || Host().ResultShown()) return;
    if (IsBoardFull()) LevelLost();
}

// Successes of `attempts` draws of Chance(percent).
int CountSuccesses(int attempts, int percent) {
    int n = 0;
    for (int i = 0; i < attempts; ++i)
        if (Chance(percent, 100)) ++n;
    return n;
}

int CountBirds(bool (*pick)(const TBirdSprite&)) {
    int count = 0;
    for (int x = 0; x < BoardGridSize; ++x)
        for (int y = 0; y < BoardGridSize; ++y)
            if (BoardBirds[x][y] && pick(*BoardBirds[x][y])) ++count;
    return count;
}

// The cells a generation rule fills this turn: `attempts` draws of Chance(percent), no more
// than the ceiling leaves room for beside the `existing` ones, taken from the shuffled free
// cells. Bounded birds, crows and walls all appear this way.
TCoords2Array ChooseGeneratedCells(TCoords2Array& free, int attempts, int percent, int ceiling,
                                   int existing) {
    if (free.empty() || existing >= ceiling) return {};
    const int wanted = CountSuccesses(attempts, percent);
    ShuffleCoords(free);
    const int n = std::min({ceiling - existing, wanted, static_cast<int>(free.size())});
    return TCoords2Array(free.begin(), free.begin() + n);
}

void PlaceWalls(TCoords2Array& free, int strength, const TWallGeneration& rule, int existing) {
    for (const TCoord2 c : ChooseGeneratedCells(free, rule.MaxAtOneTime, rule.Probability,
                                                rule.MaxAtLevel, existing)) {
        TWallSprite* wall = At(BoardWalls, c);
        if (!wall) continue;
        wall->FStrength = static_cast<uint8_t>(strength);
        wall->UpdatePicture();
        wall->FVisible = true;
        wall->FSmall = true;
        wall->FScaleX = wall->FScaleY = 0.0f;
        wall->FAnimStage = 1;
    }
}

} // namespace

// ---- Moves --------------------------------------------------------------------------------------

void StartBirdMove(const TCoords2Array& path, int kind) {
    Player.LevelMoves += 1;
    Host().RefreshTask(false);
    if (path.empty()) return;
    TBirdSprite* source = At(BoardBirds, path.front());
    if (path.size() >= 2 && BoardParent()) {
        auto* flying = new TMovedBirdSprite(BoardParent());
        flying->FKind = kind;
        flying->pX = path.front().x;
        flying->pY = path.front().y;
        flying->FMovePath = path;
        flying->FMovesCount = static_cast<int>(path.size()) - 1;
        flying->FSpeed = FlightSpeed(flying->FMovesCount);
        flying->SetAnim(BirdMoveImage(kind), 0, pmForward, true, true, 0.2f, 16);
        if (source) {
            flying->FX = source->FX;
            flying->FY = source->FY;
        }
        flying->AimAt(1);
        const TCoord2 next = path[1];
        const TBirdSprite* nextSlot = At(BoardBirds, next);
        const int slotZ = nextSlot ? nextSlot->FZ : CellZ(next.y) + 3;
        flying->SetZ(next.y > path.front().y ? slotZ : slotZ + 3);
        SfxStopByName("sfx_bird_move.ogg");
        SfxLoopByName("sfx_bird_move.ogg", 0.4f + 0.6f * flying->FSpeed / 12.0f);
    }
    if (source) {
        source->FVisible = false;
        source->FLightSprite->FVisible = false;
        source->FEffect = beNormal;
    }
}

void BirdArrived(TCoord2 target, int kind) {
    // The arriving bird no longer counts as flying: the loop goes on while any other is.
    if (FlyingBirdCount() == 0) SfxStopByName("sfx_bird_move.ogg");
    Host().TutorialAllows(TutorialAction::Arrived, target);

    if (TBirdSprite* bird = At(BoardBirds, target)) {
        bird->FKind = kind;
        bird->FEgg = false;
        bird->FEggSprite->FVisible = false;
        bird->FEggSprite->FAnimStage = 0;
        bird->FEggSprite->FDoAnimate = false;
        bird->FBounded = false;
        bird->FSmallBounded = false;
        bird->FAnimStage = 0;
        bird->FScaleX = bird->FScaleY = 1.0f;
        bird->FGrowOffset = TPoint2{};
        bird->ShowIdle();
        bird->FEffect = beNormal;
        bird->SetAlpha(255);
        bird->FVisible = true;
        bird->SetZ(CellZ(target.y) + 3);
        TBirdSprite::UpdatePosition(*bird);
        bird->RebuildLight();
    }
    if (TWallSprite* wall = At(BoardWalls, target); wall && wall->FVisible && wall->FSmall) {
        wall->FVisible = false;
        wall->FStrength = 0;
        wall->FAnimStage = 0;
    }

    const TMatchResult result = FindMatches(TakeBoardSnapshot());
    if (!result.BirdsGroups.empty()) ResolveMatch(result.BirdsGroups, true, false);
    if (!result.Cats.empty()) Actors().Catch(result.Cats);
    if (result.BirdsGroups.empty() && result.Cats.empty()) {
        FinishTurn();
        AdvanceGates();
    }
}

bool RunMatchCheck() {
    const TMatchResult result = FindMatches(TakeBoardSnapshot());
    if (!result.BirdsGroups.empty()) ResolveMatch(result.BirdsGroups, false, false);
    if (!result.Cats.empty()) Actors().Catch(result.Cats);
    return !result.BirdsGroups.empty() || !result.Cats.empty();
}

void ResolveMatch(const TBirdsGroups& groups, bool playerMove, bool silent) {
    Actors().SetOffBonusesInGroups(groups);

    bool anyRemoved = false;
    bool anyUnbound = false;
    bool comboColourContinues = false;
    int firstKind = 0;
    for (const TBirdsMatchedGroups& group : groups) {
        if (group.Group.empty()) continue;
        const int d = 2000 / static_cast<int>(group.Group.size());
        for (size_t i = 0; i < group.Group.size(); ++i) {
            const TCoord2 c{group.Group[i].pX, group.Group[i].pY};
            TBirdSprite* bird = At(BoardBirds, c);
            if (!Visible(bird)) continue;
            if (DragedBird && DragedBird->InUse() && DragedBird->Source() == c) {
                CancelDrag();
                ReleaseHandled = true;
                ClearPathPreview();
            }
            if (bird->FBounded) {
                bird->FSmallBounded = false;
                TBirdSprite::UnBoundBird(*bird);
                anyUnbound = true;
                // Cats the freed bird now surrounds are caught at once; groups wait until
                // this match is done.
                const TMatchResult again = FindMatches(TakeBoardSnapshot());
                if (!again.Cats.empty()) Actors().Catch(again.Cats);
                continue;
            }
            if (!anyRemoved) firstKind = bird->FKind;
            if (Player.LevelBirdsCombos.Color == bird->FKind) comboColourContinues = true;
            const TPoint2 target{static_cast<float>(Random(d) + static_cast<int>(i) * d), -200.0f};
            StartBirdRemoval(bird->FKind, c.x, c.y, kbak_Match, target, RemovalZ, bird->FY,
                             bird->FX);
            bird->FVisible = false;
            bird->FLightSprite->FVisible = false;
            bird->FEffect = beNormal;
            AddLevelScore(MatchScore);
            anyRemoved = true;
        }
    }
    BoardChanged = true;

    if (playerMove) {
        Player.LevelBirdsAnyCombo += 1;
        Player.MaxCombo = std::max(Player.MaxCombo, Player.LevelBirdsAnyCombo);
        Host().CheckAward(AwardMaxCombo);
        if (anyRemoved) {
            if (!comboColourContinues) {
                Player.LevelBirdsCombos.Color = firstKind;
                Player.LevelBirdsCombos.Count = 1;
            } else {
                Player.LevelBirdsCombos.Count += 1;
            }
        }
    }
    if (anyRemoved && !silent) PlayBirdMatch();
    if (anyUnbound) {
        SfxByName("sfx_bird_unbound.ogg");
        RunMatchCheck();
    }
    if (CurrentLevel.Task.Index == TaskCombo) Host().RefreshTask(false);
}

// ---- End of turn --------------------------------------------------------------------------------

namespace {

// The first six steps of the end of turn: cats act, eggs hatch, walls grow, new eggs are laid
// and cats arrive.
void TurnRefill() {
    Actors().TakeTurn();
    HatchEggs();
    GrowWalls();
    LayEggs(CurrentLevel.GenerateBirdsCount);
    Actors().DropPendingCats();
    Actors().Spawn();
}

} // namespace

void FinishTurn() {
    if (BoardLost) return;
    TurnRefill();
    GenerateBoundedBirds();
    GenerateCrows();
    GenerateWalls();
}

void HatchEggs() {
    const TCoords2Array reserved = ReservedCells();
    bool anyHatching = false;
    for (int x = 1; x <= 16; ++x) {
        for (int y = 1; y <= 16; ++y) {
            const TLevelSprite* cell = BoardCells[x][y];
            TBirdSprite* bird = BoardBirds[x][y];
            if (!Visible(cell) || !bird || Holds(reserved, TCoord2{x, y})) continue;
            if (bird->FEgg && bird->FEggSprite->FAnimStage <= 1) {
                StartHatching(*bird);
                Player.LevelBirdsGenerated += 1;
                anyHatching = true;
            } else if (bird->FBounded && bird->FSmallBounded &&
                       (bird->FAnimStage == 1 || bird->FAnimStage == 2)) {
                bird->FAnimStage = 3;
                Player.LevelBirdsGenerated += 1;
            }
        }
    }
    if (anyHatching) SfxByName("sfx_growup.ogg");
    Host().RefreshTask(false);
}

void GrowWalls() {
    const TCoords2Array reserved = ReservedCells();
    for (int x = 1; x <= 16; ++x) {
        for (int y = 1; y <= 16; ++y) {
            TWallSprite* wall = BoardWalls[x][y];
            if (!Visible(wall) || !wall->FSmall) continue;
            if (wall->FAnimStage != 1 && wall->FAnimStage != 2) continue;
            if (Holds(reserved, TCoord2{x, y})) continue;
            wall->FSmall = false;
            wall->FAnimStage = 3;
        }
    }
}

void LayEggs(int count) {
    Player.LevelBirdsAnyCombo = 0;
    TCoords2Array free = FindFreeCells();
    ShuffleCoords(free);
    const int n = std::min(std::max(count, 0), static_cast<int>(free.size()));
    if (n > 0) SfxByName("sfx_new_objects.ogg");
    for (int i = 0; i < n; ++i)
        if (TBirdSprite* bird = At(BoardBirds, free[static_cast<size_t>(i)]))
            LayEgg(*bird, WeightedRandomKind());
    CheckBoardFullAfterGeneration();
}

void GenerateBoundedBirds() {
    const TBoundedBirdsGeneration& rule = CurrentLevel.BoundedBirds;
    if (rule.Probability <= 0 || rule.MaxAtOneTime <= 0) return;
    const int existing = CountBirds([](const TBirdSprite& b) { return b.FVisible && b.FBounded; });
    TCoords2Array free = FindFreeCells();
    for (const TCoord2 c : ChooseGeneratedCells(free, rule.MaxAtOneTime, rule.Probability,
                                                rule.MaxAtLevel, existing)) {
        TBirdSprite* bird = At(BoardBirds, c);
        if (!bird) continue;
        bird->FKind = WeightedRandomKind();
        bird->FEgg = false;
        bird->FBounded = true;
        bird->FSmallBounded = true;
        bird->FScaleX = bird->FScaleY = 0.0f;
        bird->SetAnim(BirdBoundedImage(bird->FKind), 0, pmForward, false, true, 0.0f, 1);
        bird->FAnimCount = 0;
        bird->FAnimStage = 1;
        bird->FVisible = true;
        bird->SetAlpha(255);
        bird->RebuildLight();
    }
}

void GenerateCrows() {
    const TCrowsGeneration& rule = CurrentLevel.Crows;
    if (rule.Probability <= 0 || rule.MaxAtOneTime <= 0) return;
    // Crow eggs count too, so that hatching never takes the crows above the ceiling.
    const int existing = CountBirds(
        [](const TBirdSprite& b) { return b.FKind == CrowKind && (b.FVisible || b.FEgg); });
    TCoords2Array free = FindFreeCells();
    for (const TCoord2 c :
         ChooseGeneratedCells(free, rule.MaxAtOneTime, rule.Probability, rule.MaxAtLevel, existing))
        if (TBirdSprite* bird = At(BoardBirds, c)) LayEgg(*bird, CrowKind);
    // Also when nothing was placed: the turn may have filled the board before the crows came.
    CheckBoardFullAfterGeneration();
}

void GenerateWalls() {
    const TWallGeneration& w1 = CurrentLevel.Walls_1;
    const TWallGeneration& w2 = CurrentLevel.Walls_2;
    if (w1.Probability <= 0 && w2.Probability <= 0) return;
    if (w1.MaxAtOneTime <= 0 && w2.MaxAtOneTime <= 0) return;
    if (LocationOptions().FWallsImage.empty()) return;
    int strength1 = 0;
    int strength2 = 0;
    for (int x = 0; x < BoardGridSize; ++x) {
        for (int y = 0; y < BoardGridSize; ++y) {
            const TWallSprite* wall = BoardWalls[x][y];
            if (!Visible(wall)) continue;
            if (wall->FStrength == 1) ++strength1;
            if (wall->FStrength == 2) ++strength2;
        }
    }
    TCoords2Array free = FindFreeCells();
    if (free.empty()) return;
    PlaceWalls(free, 1, w1, strength1);
    PlaceWalls(free, 2, w2, strength2);
}

void AdvanceGates() {
    for (int x = 0; x < BoardGridSize; ++x) {
        for (int y = 0; y < BoardGridSize; ++y) {
            TGateSprite* gate = BoardGates[x][y];
            if (!Visible(gate)) continue;
            gate->FProgress -= 1;
            if (gate->FProgress >= 1) continue;
            SfxRestartByName("sfx_gates.ogg");
            gate->FProgress = gate->FMaxProgress;
            gate->FOpened = !gate->FOpened;
            gate->StartToggleAnimation();
            if (!gate->FOpened) {
                CloseGateOn(TCoord2{x, y});
                gate->SetZ(CellZ(y) + 4);
                gate->SetAlpha(255);
            } else {
                gate->SetZ(CellZ(y));
            }
        }
    }
}

void CloseGateOn(TCoord2 cell) {
    RemoveOccupantAt(cell);
}

void RemoveOccupantAt(TCoord2 cell) {
    TBirdSprite* bird = At(BoardBirds, cell);
    if (Visible(bird)) {
        if (bird->FBounded) {
            bird->FSmallBounded = false;
            bird->FAnimStage = 0;
            TBirdSprite::UnBoundBird(*bird);
            bird->FScaleX = bird->FScaleY = 1.0f;
            bird->FGrowOffset = TPoint2{};
            TBirdSprite::UpdatePosition(*bird);
        }
        TBirdsMatchedGroups one;
        one.Group.push_back(TBirdForDestroy{cell.x, cell.y, bird->FKind});
        ResolveMatch(TBirdsGroups{one}, false, false);
        return;
    }
    const BoardSnapshot s = TakeBoardSnapshot();
    if (s.Bonuses[cell.x][cell.y].Visible && s.Bonuses[cell.x][cell.y].BonusStatus == 0)
        Actors().HitAt(cell);
}

int CurrentLocationNumber() {
    const int level = Player.Level;
    if (level < 0 || level >= static_cast<int>(LevelsList.size())) return 0;
    return LevelsList[static_cast<size_t>(level)].Location;
}

float LocationEffectSpeed() {
    static constexpr float speeds[] = {0.01f,  0.016f, 0.017f, 0.01f,  0.01f, 0.01f, 0.01f,
                                       0.015f, 0.016f, 0.01f,  0.017f, 0.01f, 0.02f, 0.025f};
    const int location = CurrentLocationNumber();
    return location >= 1 && location <= 14 ? speeds[location - 1] : 0.01f;
}

std::string WallSplinterImage(int location) {
    switch (location) {
    case 4:
        return "loc04_wall_1_exp1.image";
    case 5:
        return "loc05_wall_1_exp1.image";
    case 7:
        return "loc07_wall_1_exp1.image";
    case 8:
    case 9:
        return "loc08_wall_1_exp1.image";
    case 10:
        return "loc10_wall_1_exp1.image";
    case 11:
        return "loc11_wall_1_exp1.image";
    default:
        return "loc01_wall_1_exp1.image";
    }
}

namespace {

void WallBurst(TPoint2 centre) {
    BoardEffects::Flipbook burst;
    burst.Picture = "bonus_1_wall_exp_fx_1.image";
    burst.Pos = centre;
    burst.Scale = TPoint2{1.4f, 1.4f};
    burst.Blend = beAdd;
    burst.Centred = true;
    burst.Speed = 0.5f;
    burst.Patterns = 16;
    burst.Z = 5002;
    Effects().PlayFlipbook(burst);
}

void WallSplinters(TPoint2 centre) {
    const std::string picture = WallSplinterImage(CurrentLocationNumber());
    for (int i = 1; i <= 6; ++i) {
        BoardEffects::Splinter s;
        s.Picture = picture;
        s.Pos = centre;
        s.Target = TPoint2{centre.x + static_cast<float>(200 * i - 600), centre.y - 200.0f};
        s.Patterns = 4;
        s.FirstPattern = static_cast<float>(Random(4));
        s.Speed = -2.0 - 1.0 / (Random(15) + 1);
        s.SpeedUp = 0.25 + 0.5 / (Random(15) + 1);
        const float scale = 0.7f + 0.3f / static_cast<float>(Random(20) + 1);
        s.Scale = TPoint2{scale, scale};
        s.Z = 5000;
        Effects().DropSplinter(s);
    }
}

} // namespace

void HitWall(TCoord2 cell) {
    TWallSprite* wall = At(BoardWalls, cell);
    if (!Visible(wall)) return;
    const TLevelSprite* place = At(BoardCells, cell);
    const TPoint2 centre = place ? place->FCenter : TPoint2{wall->FX, wall->FY};
    if (wall->FStrength == 1) {
        Player.WallsDestroyed += 1;
        Host().CheckAward(AwardWallsDestroyed);
        SfxRestartByName("sfx_wall_destroy.ogg");
        AddLevelScore(70);
        wall->FVisible = false;
        wall->FStrength = 0;
        WallBurst(centre);
        WallSplinters(centre);
        if (CurrentLevel.Task.Index == TaskWalls) Host().RefreshTask(false);
    } else if (wall->FStrength == 2) {
        SfxRestartByName("sfx_wall_unblock.ogg");
        AddLevelScore(35);
        wall->FStrength = 1;
        WallBurst(centre);
        BoardEffects::Flipbook copy;
        copy.Picture = wall->FImageName;
        copy.Pos = TPoint2{wall->FX, wall->FY};
        copy.Scale = TPoint2{wall->FScaleX, wall->FScaleY};
        copy.Blend = beAdd;
        copy.Centred = false;
        copy.StillPattern = static_cast<float>(wall->FPatternIndex);
        copy.FadeSpeed = 7.0f;
        copy.Z = 5003;
        Effects().PlayFlipbook(copy);
        wall->UpdatePicture();
    }
}

void CheckBoardEmpty() {
    if (BoardLost || !BoardParent()) return;
    if (Host().InputFrozen()) return;
    int count = 0;
    for (int x = 0; x < BoardGridSize; ++x) {
        for (int y = 0; y < BoardGridSize; ++y) {
            const TBirdSprite* bird = BoardBirds[x][y];
            if (!bird || bird->FDeaded) continue;
            if (bird->FVisible && !bird->FBounded && !bird->FEgg) ++count;
            if (bird->FEgg && bird->FEggSprite->FAnimStage > 1) ++count;
        }
    }
    if (count > 0) return;
    TurnRefill();
}

// ---- The outcome --------------------------------------------------------------------------------

bool MissionDecided() {
    return LevelFinished || ResultDelayActive;
}

bool ArmResultDelay() {
    // The first decided outcome wins: a board that filled up first stays lost, and a win
    // already pending or shown is not announced twice.
    if (BoardLost || ResultDelayActive || Host().ResultShown()) return false;
    ResultDelayActive = true;
    ResultDelay = PendingResultDelay;
    return true;
}

void ClearCellForArrival(TCoord2 c) {
    if (!IsPlayableCell(c)) return;
    if (TBirdSprite* bird = BoardBirds[c.x][c.y]) {
        bird->FScaleX = bird->FScaleY = 1.0f;
        bird->FGrowOffset = TPoint2{};
        TBirdSprite::UpdatePosition(*bird);
        bird->FEgg = false;
        bird->FEggSprite->FVisible = false;
        bird->FBounded = bird->FSmallBounded = false;
        bird->FAnimStage = 0;
        bird->FVisible = false;
    }
    if (TWallSprite* wall = BoardWalls[c.x][c.y]; wall && wall->FVisible) {
        wall->FVisible = false;
        wall->FStrength = 0;
    }
}

void LockBoardForWin() {
    Host().MissionAccomplished();
    LevelFinished = true;
    CancelDrag();
    ClearPathPreview();
}

BoardTaskSummary BoardTaskCounts() {
    const BoardSnapshot s = TakeBoardSnapshot();
    BoardTaskSummary sum;
    for (int x = 1; x <= 16; ++x) {
        for (int y = 1; y <= 16; ++y) {
            const BirdState& bird = s.Birds[x][y];
            const bool wall = s.Walls[x][y].Visible;
            const TWallSprite* wallSprite = BoardWalls[x][y];
            const bool strongWall = wall && wallSprite && wallSprite->FStrength > 0;
            sum.Walls += wall ? 1 : 0;
            sum.BoundedBirds += bird.Visible && bird.Bounded ? 1 : 0;
            sum.Crows += bird.Visible && bird.Kind == 9 ? 1 : 0;
            sum.Cells += s.Cells[x][y].Exists && s.Cells[x][y].Visible ? 1 : 0;
            sum.OccupiedCells += bird.Visible || s.Cats[x][y].Visible || s.Nestlings[x][y] ||
                                         s.Bonuses[x][y].Visible || strongWall || s.Keys[x][y]
                                     ? 1
                                     : 0;
        }
    }
    return sum;
}

} // namespace bw
