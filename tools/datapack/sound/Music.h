// Music from note data: ABC notation (converted with abc2midi) or a standard MIDI file,
// played with fluidsynth through a General MIDI soundfont, then made into a seamless loop.
#pragma once

#include "sound/Synth.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace bw::sound {

inline constexpr const char* DefaultSoundFont = "/usr/share/sounds/sf2/TimGM6mb.sf2";

struct MusicSpec {
    std::filesystem::path Source; // .abc or .mid
    std::string SoundFont = DefaultSoundFont;
    double PeakDb = -2, LoudnessDb = -20;
};

// The playing time of a standard MIDI file up to its last event (end of track included),
// rounded to the nearest eighth note, following its tempo changes.
bool MidiLength(const std::vector<uint8_t>& midi, double& seconds, std::string& error);

// 16-bit PCM WAV into float samples.
bool ReadWav(const std::vector<uint8_t>& bytes, SampleBuffer& samples, int& channels,
             int& sampleRate, std::string& error);

// Stereo samples at SampleRate: the piece once through, with the ringing after its last bar
// folded onto its start, levelled. Messages name the source file.
bool RenderMusic(const MusicSpec& spec, SampleBuffer& stereo, std::string& error);

} // namespace bw::sound
