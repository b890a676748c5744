#include "board/BoardSound.h"

#include "audio/SoundEngine.h"
#include "base/GameOptions.h"

namespace bw {

void BoardSfx(std::string_view name) {
    Sfx(msg_Start, SfxIndex(name), false, 1.0f, GameOptions.SoundFxVolume);
}

void BoardSfxRestart(std::string_view name) {
    const int index = SfxIndex(name);
    Sfx(msg_Stop, index);
    Sfx(msg_Start, index, false, 1.0f, GameOptions.SoundFxVolume);
}

void BoardSfxLoop(std::string_view name, float pitch) {
    Sfx(msg_Start, SfxIndex(name), true, pitch, GameOptions.SoundFxVolume);
}

void BoardSfxStop(std::string_view name) {
    Sfx(msg_Stop, SfxIndex(name));
}

} // namespace bw
