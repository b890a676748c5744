// Runs the real game unattended on virtual time, from a script of input events, writing
// screenshots and state dumps at given ticks. Two runs with the same settings give the same
// files, byte for byte.
#pragma once

#include "render/Types.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace bw {

class Canvas;

// One line of a replay script.
struct ReplayEvent {
    uint64_t tick = 0;     // absolute, or counted from the line before (relative)
    bool relative = false; // "+N", or no tick at all (+0)
    std::string kind;      // move, down, up, click, dblclick, key, text, enter, leave,
                           // activate, deactivate, wait, type, drag, expect, dump, shot
    double x = 0, y = 0;   // design coordinates (move)
    int button = 1;        // down, up
    std::string arg;       // key name, text, file (dump, shot) or path (expect)
    std::string name;      // click / dblclick target; wait: the scene
    int index = 1;         // click / dblclick: the N-th target, from 1
    uint64_t count = 0;    // wait: the ticks, or the most ticks to wait for the scene
    int cells[4] = {};     // drag: X1 Y1 X2 Y2
    std::string op, value; // expect
    int line = 0;
};

// Parses a script: one line per event, "[TICK|+N] EVENT ARGS...", blank lines and '#'
// comments allowed; a line without a tick is "+0". A relative tick counts from the tick the
// line before finished (a wait ends when it is satisfied; a named click, a drag or a typed
// text end with their last event). On a bad line returns false with its number in `error`.
bool ParseReplayScript(const std::string& text, std::vector<ReplayEvent>& events,
                       std::string& error);

struct ReplaySettings {
    uint64_t seed = 1;
    std::string home; // AppFolderPath
    std::string data; // the "Data" folder
    // Archives whose records replace those with the same key in the game's archives.
    std::vector<std::string> extraArchives;
    TPoint2px size{1920, 1080};
    bool fullScreen = true;
    std::vector<ReplayEvent> events;
    std::vector<std::pair<uint64_t, std::string>> shots; // tick -> PNG file
    std::vector<std::pair<uint64_t, std::string>> dumps; // tick -> JSON file
    uint64_t ticks = 600;
    int ticksPerFrame = 1;
    // Draws every frame; otherwise only the frames a screenshot is taken of (the game state
    // and the screenshots are the same either way, and the run is faster).
    bool drawEveryFrame = false;
    std::vector<std::string> args; // game command-line switches (-cht)
    bool startPopup = false;       // with startLevel: the level opens with its mission pop-up
    int startLevel = 0;            // 1-based entry of the level list to play; 0 for none
    // A film to play once started (0 the intro, 1 the outro), through its loading screen;
    // -1 for none. Implies quickStart.
    int film = -1;
    // The splash ends at once, as its last stage ends it (implied by startLevel, which also
    // leaves the level's loading screen as soon as it is loaded).
    bool quickStart = false;
    // Runs after the game's modules are wired and before it starts: a test registers scenes
    // or layers of its own here.
    std::function<void()> afterWiring;
    // Runs at every tick before that tick's script lines: a test acts on the game directly
    // where no input reaches what it needs.
    std::function<void(uint64_t tick)> beforeTick;
    // Asked whenever every script line has run: a scripted player looks at the game and
    // answers with its next lines (relative ticks count from now), or none to wait a tick.
    std::function<std::vector<ReplayEvent>(uint64_t tick)> player;
    // Ends the run early, after the tick at which it first holds.
    std::function<bool(uint64_t tick)> until;
    // Asked before each frame that would not be drawn: true draws it. `afterDraw` sees every
    // drawn frame before it is presented (a benchmark times frames between the two).
    std::function<bool(uint64_t tick)> drawAt;
    std::function<void(Canvas& canvas, uint64_t tick)> afterDraw;
};

struct ReplayResult {
    bool ok = false;
    std::string error;
    uint64_t ticks = 0;
    uint64_t frames = 0;
    std::string scene; // the scene at the end
    std::string Summary() const;
};

ReplayResult RunReplay(const ReplaySettings& settings);

// The "Data" folder of a build tree that `folder` lies in: the one beside the build's
// CMakeCache.txt, in `folder` or a folder above it; empty when there is none.
std::string BuildTreeDataFolder(const std::string& folder);
// Where a replay finds "Data" unless told: where the game looks (beside the program, then the
// installed data folder), else the build tree's when the program runs from one; empty when
// there is none.
std::string ReplayDataFolder();

// The state of the running game as JSON: scene, transition, buttons, layers, player, level,
// profiles, sounds started since the last dump, music, every sprite of the engines and the
// board.
std::string DumpGameState(uint64_t tick);

// Checks an "expect" line against a state dump: empty when it holds, else the line number,
// the path, the expected and the actual value. A null value counts as absent.
std::string ExpectationFailure(const ReplayEvent& expect, const std::string& dumpJson);

} // namespace bw
