// Parses arbitrary text as a replay script. A refused script says why; an accepted one holds
// events in line order, with absolute ticks that never go backwards.
#include "FuzzFail.h"
#include "replay/Replay.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<bw::ReplayEvent> events;
    std::string error;
    if (!bw::ParseReplayScript(text, events, error)) {
        if (error.empty()) Fail("refused without a reason");
        return 0;
    }
    int lastLine = 0;
    uint64_t lastTick = 0;
    for (const bw::ReplayEvent& e : events) {
        if (e.line <= lastLine) Fail("events out of line order");
        // A relative line ("+N", or no tick) counts from the line before; absolute ticks
        // never go backwards.
        if (!e.relative && e.tick < lastTick) Fail("ticks go backwards");
        if ((e.kind == "text" || e.kind == "type") && e.arg.empty()) Fail("empty text event");
        if (e.button < 1 || e.button > 3) Fail("button");
        lastLine = e.line;
        if (!e.relative) lastTick = e.tick;
    }
    return 0;
}
