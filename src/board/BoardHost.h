// The level around the board, as the board sees it: the tutorial's permission, the task panel
// and the awards it notifies, the lost result, whether input is frozen, the pictures of a
// location, the in-game panels and the drag cursor. The in-game module installs the real one;
// until then (and in tests) the null host allows everything and does nothing.
#pragma once

#include "base/AwardIndex.h"
#include "base/TutorialAction.h"
#include "board/BoardTypes.h"
#include "render/Types.h"

#include <string>

namespace bw {

class BoardHost {
public:
    virtual ~BoardHost() = default;
    // May the player do `action` at `cell`? May advance the tutorial as a side effect.
    virtual bool TutorialAllows(TutorialAction, TCoord2) { return true; }
    // The task panel reads the counters again (`force`: even when nothing it shows changed).
    virtual void RefreshTask(bool /*force*/) {}
    virtual void CheckAward(AwardIndex) {}
    // The board filled up: the lost result is due.
    virtual void LevelLost() {}
    virtual bool ResultShown() { return false; }
    // A scene change is running: the board neither takes input nor ends the level.
    virtual bool InputFrozen() { return false; }
    // Loads the pictures of a location before its first level starts. False when a loading
    // screen now stands in between: the level starts again once the player leaves it.
    virtual bool LoadLocation(int /*location*/) { return true; }
    // Creates the in-game panels of a level that has just been built.
    virtual void CreateInterface() {}
    // The pointer picture: the drag cursor while something is dragged.
    virtual void SetDragCursor(bool /*dragging*/) {}
    // The location's ambience loop: started when its decoration is built, stopped when it goes.
    virtual void StartAmbience() {}
    virtual void StopAmbience() {}

    // ---- The win of a mission ----
    // The mission is accomplished and the board locks (see LockBoardForWin): an open mission
    // pop-up folds away and the level's clock stops.
    virtual void MissionAccomplished() {}
    // The top-left of nest `index` (0-based) of the panel's nest row; false when the row has no
    // such nest.
    virtual bool NestPosition(int /*index*/, TPoint2& /*pos*/) { return false; }
    // A freed nestling has reached its nest: the next empty nest shows it.
    virtual void NestlingHome() {}
    // The level is won: it is recorded and the won result follows after the short delay.
    virtual void LevelWon() {}
};

// The installed host; a null host when none is.
BoardHost& Host();
// Installs `host` (not owned; null puts the null host back).
void SetBoardHost(BoardHost* host);

} // namespace bw
