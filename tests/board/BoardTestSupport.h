// A board in a sprite engine without a window, built from a small picture of the level:
//
//   ' ' no cell        '.' empty cell      '1'..'6' bird of that kind   'c' crow
//   'A'..'F' bounded bird of kind 1..6     'W' wall (strength 1)        'V' wall (strength 2)
//   '^' '>' 'v' '<' one-way cell entered moving up, right, down, left
//   'o' open gate, 'x' closed gate (both with counter 1)
//   and the actors, kept by TestActors on empty cells:
//   'b' bomb (bonus 41)   'h' hamburger (bonus 45)   'k' key   'n' caged nestling
//   'a' cat announced on the cell   'r' a cell a walking cat or a moving bonus is headed for
//
// The first character of the first row is cell (1, 1). Cells lie on the default layout at
// (300 + 76 pX, 188 + 60 pY) with their centres 65 right and 60 down of that.
#pragma once

#include "Engine/KilnSprite/SpriteEngine.h"
#include "base/GameState.h"
#include "board/BirdSprites.h"
#include "board/Board.h"
#include "board/BoardSprites.h"
#include "board/LevelData.h"
#include "board/Location.h"
#include "meta/Profile.h"
#include "platform/Random.h"
#include "support/LevelFixture.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace bw::test {

inline void SetTestLocation() {
    TLocationOptions& o = LocationOptions();
    o = TLocationOptions{};
    o.FKind = lockind_Default;
    o.FMapImage = "cells.image";
    o.FWallsImage = "walls.image";
    o.FWallsKind = 0;
    o.FMapSize = TCoord2{16, 16};
    o.FMapPosition = TCoord2{300, 0};
    o.FMapElementsSize = TCoord2{76, 60};
    o.FMapElementsAnimCount = 4;
    o.FMapElementsChessOrder = true;
    o.FMapCentres.assign(8, TPoint2{65.0f, 60.0f});
    o.FMapElementCollideSize = TCoord2{38, 30};
}

// Fills CurrentLevel from the picture.
inline void SetTestLevel(const std::vector<std::string>& rows) {
    ClearLevelData(CurrentLevel);
    for (size_t r = 0; r < rows.size(); ++r) {
        for (size_t col = 0; col < rows[r].size(); ++col) {
            const int x = static_cast<int>(col) + 1;
            const int y = static_cast<int>(r) + 1;
            int map = 0;
            int object = 0;
            testing::PictureCell(rows[r][col], map, object);
            CurrentLevel.Map[x][y] = map;
            CurrentLevel.Birds[x][y] = object;
        }
    }
    for (int k = 1; k <= 6; ++k) CurrentLevel.Kinds[static_cast<size_t>(k)] = 1;
}

// A level around the board whose answers a test sets.
struct TestHost final : BoardHost {
    bool resultShown = false;
    int lostShown = 0;
    bool ResultShown() override { return resultShown; }
    void LevelLost() override { ++lostShown; }
};

// Cats, bonuses, nestlings and keys as the board sees them: lying on cells, lifted, moving.
struct TestActors final : BoardActors {
    BoardGrid<BonusState> bonuses{};
    BoardGrid<bool> keys{};
    BoardGrid<bool> nestlings{};
    BoardGrid<bool> announcedCats{};
    TCoords2Array reserved;
    TCoord2 boss = NoCell; // the boss stands here and on the cell to its right
    LiftedObject bonusLift;
    LiftedObject keyLift;
    std::vector<TCoords2Array> bonusMoves;
    std::vector<TCoords2Array> keyMoves;
    int liftsCancelled = 0;

    void Place(const std::vector<std::string>& rows) {
        *this = TestActors{};
        for (size_t r = 0; r < rows.size(); ++r) {
            for (size_t col = 0; col < rows[r].size(); ++col) {
                const size_t x = col + 1;
                const size_t y = r + 1;
                switch (rows[r][col]) {
                case 'b':
                    bonuses[x][y] = BonusState{true, 41, 0};
                    break;
                case 'h':
                    bonuses[x][y] = BonusState{true, HamburgerBonusKind, 0};
                    break;
                case 'k':
                    keys[x][y] = true;
                    break;
                case 'n':
                    nestlings[x][y] = true;
                    break;
                case 'a':
                    announcedCats[x][y] = true;
                    break;
                case 'r':
                    reserved.push_back({static_cast<int>(x), static_cast<int>(y)});
                    break;
                default:
                    break;
                }
            }
        }
    }

    void AddToSnapshot(BoardSnapshot& s) override {
        for (int x = 0; x < BoardGridSize; ++x) {
            for (int y = 0; y < BoardGridSize; ++y) {
                s.Bonuses[x][y] = bonuses[x][y];
                s.Keys[x][y] = keys[x][y];
                s.Nestlings[x][y] = nestlings[x][y];
                s.Cats[x][y].NewShadow = announcedCats[x][y];
            }
        }
        s.Reserved.insert(s.Reserved.end(), reserved.begin(), reserved.end());
        s.BossOnBoard = boss != NoCell;
        s.BossPos = boss;
    }
    void LiftBonus(TCoord2 c) override { bonusLift = {c, bonuses[c.x][c.y].Kind}; }
    void LiftKey(TCoord2 c) override { keyLift = {c, 1}; }
    LiftedObject LiftedBonus() override { return bonusLift; }
    LiftedObject LiftedKey() override { return keyLift; }
    void StartBonusMove(const TCoords2Array& path) override {
        bonusMoves.push_back(path);
        bonuses[path.front().x][path.front().y].Visible = false;
        bonusLift = {};
    }
    void StartKeyMove(const TCoords2Array& path) override {
        keyMoves.push_back(path);
        keys[path.front().x][path.front().y] = false;
        keyLift = {};
    }
    void CancelBonusLift() override {
        ++liftsCancelled;
        bonusLift = {};
    }
    void CancelKeyLift() override {
        ++liftsCancelled;
        keyLift = {};
    }
};

class BoardTest : public ::testing::Test {
protected:
    void SetUp() override {
        RandomSeed(7);
        engine_ = std::make_unique<TSpriteEngine>();
        SetBoardParent(engine_.get());
        SetBoardHost(&host_);
        SetBoardActors(&actors_);
        LevelFinished = ResultDelayActive = false;
        SetTestLocation();
        ResetLevelCounters();
        Player.MaxCombo = 0;
        Player.BirdsUnbounded = 0;
        Player.CrownsKilled = 0;
    }

    void TearDown() override {
        UnloadBoard();
        engine_->Dead();
        engine_.reset();
        SetBoardParent(nullptr);
        SetBoardHost(nullptr);
        SetBoardActors(nullptr);
        LevelFinished = ResultDelayActive = false;
    }

    // Builds the board of the picture; no eggs are laid.
    void Build(const std::vector<std::string>& rows, int eggsPerTurn = 0) {
        UnloadBoard();
        SetTestLevel(rows);
        CurrentLevel.GenerateBirdsCount = eggsPerTurn;
        BuildBoard();
        DragedBird = new TDragedBird(engine_.get());
        actors_.Place(rows);
    }

    void Tick(int n = 1) {
        for (int i = 0; i < n; ++i) {
            engine_->Move(1.0f);
            engine_->Dead();
        }
    }

    // Ticks until nothing flies or leaves the board any more (at most `limit` ticks).
    void Settle(int limit = 2000) {
        for (int i = 0; i < limit && Busy(); ++i) Tick();
    }

    bool Busy() const {
        for (TSprite* s : engine_->Items()) {
            if (s->FDeaded) continue;
            if (dynamic_cast<TMovedBirdSprite*>(s) || dynamic_cast<TKilledBirdSprite*>(s))
                return true;
            if (auto* bird = dynamic_cast<TBirdSprite*>(s);
                bird && bird->FEggSprite->FAnimStage >= 2)
                return true;
        }
        return false;
    }

    static TPoint2 CentreOf(int x, int y) { return BoardCells[x][y]->FCenter; }

    // Presses on a cell, as the player does to pick up what stands there.
    void Press(TCoord2 at) {
        BoardPointer.Pos = CentreOf(at.x, at.y);
        BoardPointer.ButtonDown = true;
        DragStartHandled = false;
        BoardInput();
    }

    // Presses on one cell, moves to another and releases there, as the player does.
    void Drag(TCoord2 from, TCoord2 to) {
        Press(from);
        Tick();
        BoardPointer.Pos = CentreOf(to.x, to.y);
        BoardInput();
        BoardRelease();
    }

    TBirdSprite& Bird(int x, int y) { return *BoardBirds[x][y]; }
    bool HasBird(int x, int y) { return BoardBirds[x][y] && BoardBirds[x][y]->FVisible; }
    int KindAt(int x, int y) { return HasBird(x, y) ? Bird(x, y).FKind : 0; }

    int EggCount() {
        int n = 0;
        for (auto& column : BoardBirds)
            for (TBirdSprite* b : column) n += b && b->FEgg ? 1 : 0;
        return n;
    }

    TestHost host_;
    TestActors actors_;
    std::unique_ptr<TSpriteEngine> engine_;
};

} // namespace bw::test
