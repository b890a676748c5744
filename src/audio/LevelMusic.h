// The music a level names: game tracks played in turn, each for its duration in seconds.
#pragma once

#include <cstdint>
#include <vector>

namespace bw {

struct TLevelTrack {
    int32_t Track = 0; // music index
    int32_t Duration = 0;
};

struct TLevelMusic {
    int32_t Count = 0;
    std::vector<TLevelTrack> Tracks;
};

} // namespace bw
