// The sound synthesiser of the data build: the building blocks (oscillators, noise, envelopes,
// filters, echo, level and loop treatment) and the recipe that combines them into one sound.
//
// Everything works on float samples in -1 .. 1 at SampleRate frames per second; stereo buffers
// are interleaved (left, right).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace bw::sound {

inline constexpr int SampleRate = 44100;

using SampleBuffer = std::vector<float>;

// A value that changes over time: Values[0] at time 0, moving to Values[1] over Times[0]
// seconds, and so on; the last value holds afterwards. Exponential curves move by equal ratios
// (right for frequencies), linear ones by equal steps.
struct RecipeCurve {
    std::vector<double> Values{0.0};
    std::vector<double> Times; // one fewer than Values
    bool Exponential = true;

    double At(double t) const;
    // Every value multiplied by factor.
    void Scale(double factor);
};

enum class Waveform { Sine, Triangle, Square, Saw, White, Pink, Brown };

// Band-limited oscillator following a frequency curve (Hz). vibratoCents wobbles the pitch at
// vibratoRate Hz; for the sine, fmRatio/fmIndex add a sine modulator at fmRatio x the
// frequency whose depth decays with the time constant fmDecay (0 = steady). Noise waves ignore
// the frequency. seed makes noise reproducible.
struct Oscillator {
    Waveform Wave = Waveform::Sine;
    RecipeCurve Frequency{{440.0}, {}, true};
    double VibratoRate = 0, VibratoCents = 0;
    double FmRatio = 0, FmIndex = 0, FmDecay = 0;
    double Duty = 0.5; // square only
};
SampleBuffer Oscillate(const Oscillator& osc, int frames, uint32_t seed);

// Amplitude envelopes; both are exactly 0 at the first and the last frame.
// ADSR: rises over attack, falls to sustain over decay, holds, and releases to 0 over the last
// `release` seconds of the note. A note shorter than attack + release scales them to fit.
struct Envelope {
    double Attack = 0.005, Decay = 0.05, Sustain = 0.7, Release = 0.05;
};
// Percussive: rises over attack, then decays exponentially with the time constant `decay`;
// the last 5 ms (or less for very short notes) fade to 0 so the note never ends on a step.
struct Percussion {
    double Attack = 0.002, Decay = 0.1;
};
void ApplyAdsr(SampleBuffer& mono, const Envelope& env);
void ApplyPerc(SampleBuffer& mono, const Percussion& env);
// Amplitude wobble: gain 1 - depth/2 * (1 - cos(2 pi rate t)), so it starts at full level.
void ApplyTremolo(SampleBuffer& mono, double rate, double depth);

enum class FilterKind { LowPass1, HighPass1, LowPass, HighPass, BandPass };
// One-pole (6 dB/octave) or two-pole biquad (12 dB/octave) filter. The cutoff follows a curve
// and may wobble by lfoDepth octaves at lfoRate Hz.
struct Filter {
    FilterKind Kind = FilterKind::LowPass;
    RecipeCurve Cutoff{{1000.0}, {}, true};
    double Q = 0.707;
    double LfoRate = 0, LfoDepth = 0;
};
void ApplyFilter(SampleBuffer& mono, const Filter& filter);

// Feedback echo: each repeat `time` seconds after the previous one, `feedback` times as loud;
// `mix` is the level of the echoes against the dry sound. Works per channel.
void ApplyEcho(SampleBuffer& samples, int channels, double time, double feedback, double mix);

// Levels, in linear units (1.0 = full scale).
double PeakOf(const SampleBuffer& samples);
// Loudness: the root mean square of the loudest 400 ms window (the whole sound when shorter),
// taken every 50 ms over all channels together.
double LoudnessOf(const SampleBuffer& samples, int channels);
// The root mean square of the whole sound: the loudness of loops, which are heard throughout.
double RmsOf(const SampleBuffer& samples);
// Scales the sound so that its loudness (LoudnessOf, or RmsOf for a loop) reaches `loudnessDb`
// (dBFS) unless that would take the peak above `peakDb`; then the peak is `peakDb`. A silent
// sound is left alone. Returns the gain applied.
double Normalise(SampleBuffer& samples, int channels, double peakDb, double loudnessDb,
                 bool loop = false);

// A peak limiter for loops: the gain dips smoothly (over `attack` seconds ahead of a peak,
// recovering over about `release` seconds) so that no sample exceeds `ceilingDb`. The gain
// runs round the loop, so the end and the start agree and the seam stays seamless.
void LimitLoop(SampleBuffer& samples, int channels, double ceilingDb, double attack = 0.005,
               double release = 0.15);

// Click-free edges: linear fades over the first `in` and the last `out` seconds.
void FadeEdges(SampleBuffer& samples, int channels, double in, double out);

// Seamless loops. `rendered` holds the loop body (loopFrames) followed by more sound.
// CrossfadeLoop blends the `crossfadeFrames` after the body into the body's head with
// equal-power curves (for uncorrelated material such as noise), so the end runs into the
// start exactly as the sound ran on. AddTail simply adds everything after the body onto its
// head (for music, whose tail is the ringing of the last notes into the repeat).
SampleBuffer CrossfadeLoop(const SampleBuffer& rendered, int channels, int loopFrames,
                           int crossfadeFrames);
SampleBuffer AddTail(const SampleBuffer& rendered, int channels, int loopFrames);

// ---- Recipes ------------------------------------------------------------------------------

struct SynthLayer {
    Oscillator Osc;
    bool UsePerc = false;
    Envelope Adsr{0.003, 0.0, 1.0, 0.01};
    Percussion Perc;
    double TremoloRate = 0, TremoloDepth = 0;
    std::vector<Filter> Filters;
    double GainDb = 0;
    double Pan = 0;     // -1 left .. 1 right (stereo sounds)
    double At = 0;      // start, seconds
    double Length = -1; // seconds; < 0: to the end of the sound
    // Repeats: Repeat copies, Every seconds apart, each RepeatPitch x the previous pitch and
    // RepeatGainDb louder, and up to +-RepeatJitter semitones off at random (speech, chatter).
    int Repeat = 1;
    double Every = 0, RepeatPitch = 1, RepeatGainDb = 0, RepeatJitter = 0;
    // Scattering: Scatter copies at random times over the sound, with random pitch offsets up
    // to +-ScatterPitch semitones, gains down to -ScatterGainDb and pans +-ScatterPan; with
    // Repeat, every scattered copy is a run of repeats.
    int Scatter = 0;
    double ScatterPitch = 0, ScatterGainDb = 0, ScatterPan = 0;
    uint32_t Seed = 1;
};

struct SoundRecipe {
    std::string Name;
    double Length = 1.0;
    bool Stereo = false;
    double Loop = 0;      // > 0: a seamless loop with this crossfade, seconds
    double Transpose = 0; // semitones, every layer
    double EchoTime = 0, EchoFeedback = 0, EchoMix = 0;
    double PeakDb = -1.5, LoudnessDb = -16;
    double FadeIn = 0.002, FadeOut = 0.01;
    std::vector<SynthLayer> Layers;
    int Line = 0; // where the recipe starts in its file
};

// Renders a recipe: interleaved samples (1 or 2 channels), levelled, with clean edges.
SampleBuffer Render(const SoundRecipe& recipe);

// Reads a recipe file. Top-level "level" lines set the level of the recipes after them.
// Errors name the file and line.
bool ParseRecipes(const std::string& text, const std::string& fileName,
                  std::vector<SoundRecipe>& out, std::string& error);

// Ogg Vorbis (quality -0.1 .. 1) of interleaved 16-bit-range samples; the stream serial number
// is fixed so the same sound always gives the same bytes.
bool EncodeOgg(const SampleBuffer& samples, int channels, int sampleRate, float quality,
               std::vector<uint8_t>& out, std::string& error);

} // namespace bw::sound
