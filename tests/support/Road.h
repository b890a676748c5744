// A road through the running game, as a player walks it: a list of steps, each waiting until
// the game shows what the player waits for (a scene, the board at rest, a panel), then acting
// with replay script lines (clicks on buttons by name, drags, keys, expectations).
#pragma once

#include "base/GameState.h"
#include "replay/Replay.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace bw::testing {

struct RoadStep {
    std::string what;
    std::function<bool()> when;
    std::string script;
    // Runs just before the lines (checks of the state the step waited for).
    std::function<void()> check = {};
    // While it holds after the lines ran, the step runs again (a dialog of several lines).
    std::function<bool()> again = {};
    // Writes the lines when the step is due, in place of `script` (a move chosen on the board
    // as it stands).
    std::function<std::string()> write = {};
};

// Plays the steps in order. With `quietTicks`, a step's condition must hold that many ticks
// in a row before it acts, as a player looks before clicking; without, it acts at once.
class Road {
public:
    explicit Road(std::vector<RoadStep> steps, int quietTicks = 0)
        : steps_(std::move(steps)), quiet_(quietTicks) {}

    std::vector<ReplayEvent> Next() {
        if (next_ >= steps_.size()) {
            done_ = true;
            return {};
        }
        const RoadStep& step = steps_[next_];
        if (!step.when()) {
            calm_ = 0;
            return {};
        }
        if (++calm_ < quiet_) return {};
        calm_ = 0;
        if (step.again && !step.again()) {
            ++next_;
            return {};
        }
        if (step.check) step.check();
        std::vector<ReplayEvent> events;
        std::string error;
        EXPECT_TRUE(ParseReplayScript(step.write ? step.write() : step.script, events, error))
            << step.what << ": " << error;
        if (!step.again) ++next_;
        return events;
    }
    bool Done() const { return done_; }
    // The step the road is waiting at, for a failure message.
    std::string Waiting() const {
        return next_ < steps_.size() ? steps_[next_].what : std::string("(all done)");
    }

private:
    std::vector<RoadStep> steps_;
    int quiet_;
    size_t next_ = 0;
    int calm_ = 0;
    bool done_ = false;
};

// Runs the game under `rs` along `road` until its last step has acted.
inline void WalkRoad(Road& road, ReplaySettings rs) {
    rs.player = [&](uint64_t) { return road.Next(); };
    rs.until = [&](uint64_t) { return road.Done(); };
    const ReplayResult result = RunReplay(rs);
    EXPECT_TRUE(result.ok) << result.error;
    EXPECT_TRUE(road.Done()) << "the road stopped at: " << road.Waiting() << " (scene "
                             << SceneName(CurrentScene) << ")";
}

} // namespace bw::testing
