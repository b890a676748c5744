// The board's sound effects, by file name. Silent when the sound engine has no device.
#pragma once

#include <string_view>

namespace bw {

// Plays an effect once at the effects volume.
void BoardSfx(std::string_view name);
// Stops every copy of the effect, then plays it once.
void BoardSfxRestart(std::string_view name);
// Plays an effect as a loop at the effects volume and the given pitch.
void BoardSfxLoop(std::string_view name, float pitch = 1.0f);
// Stops every copy of the effect.
void BoardSfxStop(std::string_view name);

} // namespace bw
