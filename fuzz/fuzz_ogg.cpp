// Reads arbitrary bytes as a sound record, through the probe and the decoder the game uses.
// What the probe accepts must be mono or stereo, and a decoded sound must hold whole frames.
#include "FuzzFail.h"
#include "audio/SoundDevice.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> bytes(data, data + size);
    const bool probed = bw::ProbeOggVorbis(bytes);
    bw::DecodedSound sound;
    if (!bw::DecodeOggVorbis(bytes, sound)) return 0;
    if (!probed) Fail("decoded a stream the probe refused");
    if (sound.Channels != 1 && sound.Channels != 2) Fail("channel count");
    if (sound.SampleRate <= 0) Fail("sample rate");
    if (sound.Samples.size() % static_cast<size_t>(sound.Channels) != 0) Fail("partial frame");
    return 0;
}
