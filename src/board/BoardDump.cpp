#include "board/BoardDump.h"

#include "board/BirdSprites.h"
#include "board/Board.h"
#include "board/BoardActors.h"
#include "board/BoardSprites.h"
#include "board/LevelData.h"
#include "board/LevelTasks.h"
#include "board/LevelScore.h"

#include <cstdio>
#include <sstream>

namespace bw {

namespace {

const char* Bool(bool b) {
    return b ? "true" : "false";
}

bool AnyCell() {
    for (const auto& column : BoardCells)
        for (const TLevelSprite* cell : column)
            if (cell) return true;
    return false;
}

} // namespace

const char* LevelTaskStatus() {
    if (!AnyCell()) return nullptr;
    switch (JudgeTask(CurrentLevel.Task, TaskCountersOf(Player), BoardTaskCounts(), false)) {
    case task_Completed:
        return "completed";
    case task_Failed:
        return "failed";
    default:
        return "open";
    }
}

std::string BoardStateJson() {
    if (!AnyCell()) return "null";

    std::ostringstream out;
    const TPlayer& p = Player;
    out << "{\n    \"level\": " << p.Level + 1 << ", \"file\": \"" << CurrentLevel.FileName
        << "\", \"lost\": " << Bool(BoardLost)
        << ",\n    \"counters\": {\"score\": " << p.LevelScore << ", \"moves\": " << p.LevelMoves
        << ", \"birds_generated\": " << p.LevelBirdsGenerated
        << ", \"any_combo\": " << p.LevelBirdsAnyCombo << ", \"max_combo\": " << p.MaxCombo
        << ", \"combo_color\": " << p.LevelBirdsCombos.Color
        << ", \"combo_count\": " << p.LevelBirdsCombos.Count
        << ", \"unbounded\": " << p.BirdsUnbounded << ", \"crows_killed\": " << p.CrownsKilled
        << ", \"walls_destroyed\": " << p.WallsDestroyed
        << ", \"cats_matched\": " << p.LevelCatsMatched << ", \"matched\": [";
    for (size_t k = 1; k < p.LevelBirdsMatched.size(); ++k)
        out << (k > 1 ? ", " : "") << p.LevelBirdsMatched[k];
    out << "]},\n    \"dragged\": ";
    const LiftedObject bonus = Actors().LiftedBonus();
    const LiftedObject key = Actors().LiftedKey();
    if (DragedBird && DragedBird->InUse())
        out << "{\"object\": \"bird\", \"kind\": " << DragedBird->FKind
            << ", \"x\": " << DragedBird->pX << ", \"y\": " << DragedBird->pY << "}";
    else if (bonus.InUse())
        out << "{\"object\": \"bonus\", \"kind\": " << bonus.Kind << ", \"x\": " << bonus.Source.x
            << ", \"y\": " << bonus.Source.y << "}";
    else if (key.InUse())
        out << "{\"object\": \"key\", \"kind\": " << key.Kind << ", \"x\": " << key.Source.x
            << ", \"y\": " << key.Source.y << "}";
    else
        out << "null";
    // Birds on their way, in creation order, and every cell something is headed for.
    out << ",\n    \"moving\": [";
    bool firstMove = true;
    if (const TSprite* parent = BoardParent()) {
        for (const TSprite* s : parent->Items()) {
            const auto* moved = dynamic_cast<const TMovedBirdSprite*>(s);
            if (!moved || !moved->Flying()) continue;
            out << (firstMove ? "" : ", ") << "{\"kind\": " << moved->FKind << ", \"path\": [";
            for (size_t i = 0; i < moved->FMovePath.size(); ++i)
                out << (i ? ", " : "") << "[" << moved->FMovePath[i].x << ", "
                    << moved->FMovePath[i].y << "]";
            char speed[32];
            std::snprintf(speed, sizeof speed, "%.3f", static_cast<double>(moved->FSpeed));
            out << "], \"speed\": " << speed << "}";
            firstMove = false;
        }
    }
    out << "],\n    \"reserved\": [";
    const TCoords2Array reserved = ReservedCells();
    for (size_t i = 0; i < reserved.size(); ++i)
        out << (i ? ", " : "") << "[" << reserved[i].x << ", " << reserved[i].y << "]";
    out << "]";
    out << ",\n    \"cells\": [";
    const BoardSnapshot snapshot = TakeBoardSnapshot();
    bool first = true;
    for (int y = 0; y < BoardGridSize; ++y) {
        for (int x = 0; x < BoardGridSize; ++x) {
            const TLevelSprite* cell = BoardCells[x][y];
            if (!cell) continue;
            out << (first ? "\n" : ",\n") << "      {\"x\": " << x << ", \"y\": " << y
                << ", \"map\": " << cell->FKind;
            first = false;
            if (const TBirdSprite* bird = BoardBirds[x][y];
                bird && (bird->FVisible || bird->FEgg)) {
                out << ", \"bird\": {\"kind\": " << bird->FKind
                    << ", \"visible\": " << Bool(bird->FVisible)
                    << ", \"egg\": " << Bool(bird->FEgg)
                    << ", \"egg_stage\": " << bird->FEggSprite->FAnimStage
                    << ", \"bounded\": " << Bool(bird->FBounded)
                    << ", \"small\": " << Bool(bird->FSmallBounded) << "}";
            }
            if (const TWallSprite* wall = BoardWalls[x][y]; wall && wall->FVisible)
                out << ", \"wall\": {\"strength\": " << static_cast<int>(wall->FStrength)
                    << ", \"small\": " << Bool(wall->FSmall) << "}";
            if (const TGateSprite* gate = BoardGates[x][y]; gate && gate->FVisible)
                out << ", \"gate\": {\"opened\": " << Bool(gate->FOpened)
                    << ", \"counter\": " << gate->FProgress
                    << ", \"animating\": " << Bool(gate->FAnimating) << "}";
            if (const CatState& cat = snapshot.Cats[x][y]; cat.Visible || cat.NewShadow)
                out << ", \"cat\": {\"kind\": " << cat.Kind
                    << ", \"announced\": " << Bool(cat.NewShadow) << "}";
            out << "}";
        }
    }
    out << "\n    ]\n  }";
    return out.str();
}

} // namespace bw
