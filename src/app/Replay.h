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

struct ReplayEvent {
    uint64_t tick = 0;
    std::string kind;    // move, down, up, click, dblclick, key, text, enter, leave,
                         // activate, deactivate
    double x = 0, y = 0; // design coordinates (move)
    int button = 1;      // down, up
    std::string arg;     // key name or text
    int line = 0;
};

// Parses a script: one event per line, "TICK EVENT ARGS...", blank lines and '#' comments
// allowed. On a bad line returns false with the line number in `error`.
bool ParseReplayScript(const std::string& text, std::vector<ReplayEvent>& events,
                       std::string& error);

struct ReplaySettings {
    uint64_t seed = 1;
    std::string home; // AppFolderPath
    std::string data; // the "Data" folder
    TPoint2px size{1920, 1080};
    bool fullScreen = true;
    std::vector<ReplayEvent> events;
    std::vector<std::pair<uint64_t, std::string>> shots; // tick -> PNG file
    std::vector<std::pair<uint64_t, std::string>> dumps; // tick -> JSON file
    uint64_t ticks = 600;
    int ticksPerFrame = 1;
    std::vector<std::string> args; // game command-line switches (-cht)
    int startLevel = 0;            // 1-based entry of the level list to play; 0 for none
    // Runs after the game's modules are wired and before it starts: a test registers scenes
    // or layers of its own here.
    std::function<void()> afterWiring;
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

// The state of the running game as JSON: scene, sprite count and every sprite of the engines.
std::string DumpGameState(uint64_t tick);

} // namespace bw
