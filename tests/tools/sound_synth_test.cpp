// The sound synthesiser of the data build: envelopes, oscillators, filters, levels, loops,
// recipes, MIDI timing, the Ogg encoder, and <sound>/<music> items in archive descriptions.
#include "data/data_test_util.h"

#include "audio/SoundDevice.h"
#include "data/KilnArchive.h"
#include "pack/PackBuild.h"
#include "pack/PackDescription.h"
#include "sound/Music.h"
#include "sound/Synth.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>

namespace bw {
namespace {

using namespace bw::sound;
namespace fs = std::filesystem;

constexpr double kPi = 3.14159265358979323846;

SampleBuffer Constant(double seconds, float value = 1.0f) {
    return SampleBuffer(static_cast<std::size_t>(seconds * SampleRate), value);
}

SampleBuffer Sine(double hz, double seconds, double amplitude = 0.5) {
    SampleBuffer out(static_cast<std::size_t>(seconds * SampleRate));
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<float>(amplitude * std::sin(2 * kPi * hz * i / SampleRate));
    return out;
}

double Rms(const SampleBuffer& b, std::size_t from = 0) {
    double s = 0;
    for (std::size_t i = from; i < b.size(); ++i) s += double(b[i]) * b[i];
    return std::sqrt(s / double(b.size() - from));
}

int ZeroCrossings(const SampleBuffer& b) {
    int n = 0;
    for (std::size_t i = 1; i < b.size(); ++i)
        if ((b[i - 1] < 0) != (b[i] < 0)) ++n;
    return n;
}

// ---- envelopes

TEST(SynthEnvelope, AdsrStartsAndEndsAtZeroAndHoldsTheSustain) {
    SampleBuffer b = Constant(1.0);
    ApplyAdsr(b, {0.1, 0.1, 0.5, 0.2});
    EXPECT_EQ(b.front(), 0.0f);
    EXPECT_EQ(b.back(), 0.0f);
    EXPECT_NEAR(b[SampleRate / 10], 1.0, 0.01);      // top of the attack
    EXPECT_NEAR(b[SampleRate / 2], 0.5, 0.01);       // sustain
    EXPECT_NEAR(b[SampleRate * 9 / 10], 0.25, 0.01); // half-way through the release
    // Never above full level, never negative.
    for (float v : b) {
        ASSERT_GE(v, 0.0f);
        ASSERT_LE(v, 1.0f);
    }
}

TEST(SynthEnvelope, ShortNoteSqueezesAttackAndReleaseButStillEndsAtZero) {
    SampleBuffer b = Constant(0.02);
    ApplyAdsr(b, {0.05, 0.0, 1.0, 0.05});
    EXPECT_EQ(b.front(), 0.0f);
    EXPECT_EQ(b.back(), 0.0f);
    // Rises to the middle, then falls: it reaches most of the level half-way.
    EXPECT_GT(b[b.size() / 2], 0.9f);
}

TEST(SynthEnvelope, InstantAttackAndReleaseStillStartAndEndAtZero) {
    SampleBuffer b = Constant(0.1);
    ApplyAdsr(b, {0.0, 0.0, 1.0, 0.0});
    EXPECT_EQ(b.front(), 0.0f);
    EXPECT_EQ(b.back(), 0.0f);
    EXPECT_EQ(b[b.size() / 2], 1.0f);
    SampleBuffer p = Constant(0.1);
    ApplyPerc(p, {0.0, 10.0});
    EXPECT_EQ(p.front(), 0.0f);
    EXPECT_EQ(p.back(), 0.0f);
}

TEST(SynthEnvelope, PercussiveDecaysByItsTimeConstantAndEndsAtZero) {
    SampleBuffer b = Constant(0.5);
    ApplyPerc(b, {0.0, 0.1});
    EXPECT_EQ(b.back(), 0.0f);
    EXPECT_NEAR(b[SampleRate / 10], std::exp(-1.0), 0.01);
    EXPECT_NEAR(b[SampleRate / 5], std::exp(-2.0), 0.01);
    for (std::size_t i = 2; i < b.size(); ++i) ASSERT_LE(b[i], b[i - 1] + 1e-6f);
}

// ---- oscillators and curves

TEST(SynthOscillator, SinePlaysItsFrequency) {
    Oscillator osc;
    osc.Frequency = {{440.0}, {}, true};
    const SampleBuffer b = Oscillate(osc, SampleRate, 1);
    EXPECT_NEAR(ZeroCrossings(b), 880, 2);
    EXPECT_NEAR(Rms(b), std::sqrt(0.5), 0.01);
}

TEST(SynthOscillator, ExponentialGlidePassesTheGeometricMean) {
    const RecipeCurve glide{{200.0, 800.0}, {1.0}, true};
    EXPECT_DOUBLE_EQ(glide.At(0), 200.0);
    EXPECT_NEAR(glide.At(0.5), 400.0, 1e-9);
    EXPECT_DOUBLE_EQ(glide.At(5.0), 800.0); // holds the last value
    const RecipeCurve linear{{200.0, 800.0}, {1.0}, false};
    EXPECT_NEAR(linear.At(0.5), 500.0, 1e-9);
}

TEST(SynthOscillator, EveryWaveStaysInRangeAndNoiseIsReproducible) {
    for (Waveform w : {Waveform::Sine, Waveform::Triangle, Waveform::Square, Waveform::Saw,
                       Waveform::White, Waveform::Pink, Waveform::Brown}) {
        Oscillator osc;
        osc.Wave = w;
        osc.Frequency = {{110.0, 3000.0}, {0.5}, true};
        const SampleBuffer b = Oscillate(osc, SampleRate / 2, 7);
        EXPECT_LT(PeakOf(b), 1.6) << int(w);
        EXPECT_GT(Rms(b), 0.05) << int(w);
        EXPECT_EQ(b, Oscillate(osc, SampleRate / 2, 7)) << int(w);
    }
    Oscillator noise;
    noise.Wave = Waveform::White;
    EXPECT_NE(Oscillate(noise, 1000, 1), Oscillate(noise, 1000, 2));
}

// ---- filters

TEST(SynthFilter, LowAndHighPassKeepTheirSideAndCutTheOther) {
    auto through = [](FilterKind kind, double cutoff, double hz) {
        SampleBuffer b = Sine(hz, 0.5);
        Filter f;
        f.Kind = kind;
        f.Cutoff = {{cutoff}, {}, true};
        ApplyFilter(b, f);
        return Rms(b, b.size() / 2) / Rms(Sine(hz, 0.5));
    };
    // Two-pole: -12 dB per octave, so four octaves away is about -48 dB.
    EXPECT_GT(through(FilterKind::LowPass, 1000, 100), 0.95);
    EXPECT_LT(through(FilterKind::LowPass, 1000, 16000), 0.01);
    EXPECT_GT(through(FilterKind::HighPass, 1000, 10000), 0.95);
    EXPECT_LT(through(FilterKind::HighPass, 1000, 62.5), 0.01);
    EXPECT_NEAR(through(FilterKind::BandPass, 1000, 1000), 1.0, 0.05);
    EXPECT_LT(through(FilterKind::BandPass, 1000, 10000), 0.2);
    // One-pole: -3 dB at the cutoff, -6 dB per octave.
    EXPECT_NEAR(through(FilterKind::LowPass1, 1000, 1000), std::sqrt(0.5), 0.08);
    EXPECT_LT(through(FilterKind::LowPass1, 1000, 16000), 0.1);
    EXPECT_LT(through(FilterKind::HighPass1, 1000, 62.5), 0.1);
}

// ---- levels

TEST(SynthLevel, SustainedSoundMeetsTheLoudnessTarget) {
    SampleBuffer b = Sine(440, 1.0, 0.05);
    Normalise(b, 1, -1.0, -20.0);
    EXPECT_NEAR(20 * std::log10(LoudnessOf(b, 1)), -20.0, 0.05);
    EXPECT_LT(PeakOf(b), std::pow(10.0, -1.0 / 20));
}

TEST(SynthLevel, ShortClickIsHeldAtThePeakCeiling) {
    // A spike would need a huge gain to reach the loudness target: the peak limits it.
    SampleBuffer b(SampleRate / 2, 0.0f);
    b[100] = 0.01f;
    Normalise(b, 1, -3.0, -10.0);
    EXPECT_NEAR(PeakOf(b), std::pow(10.0, -3.0 / 20), 1e-6);
}

TEST(SynthLevel, LoudnessIsTheLoudestStretchAndLoopsUseTheWhole) {
    // 0.5 s at 0.5 amplitude then 2 s of near silence: the loudest 400 ms is the tone.
    SampleBuffer b = Sine(300, 0.5, 0.5);
    b.resize(b.size() + 2 * SampleRate, 0.0f);
    EXPECT_NEAR(LoudnessOf(b, 1), 0.5 / std::sqrt(2.0), 0.01);
    EXPECT_NEAR(RmsOf(b), 0.5 / std::sqrt(2.0) * std::sqrt(0.2), 0.01);
    SampleBuffer silent(1000, 0.0f);
    EXPECT_EQ(Normalise(silent, 1, -1, -16), 1.0);
    EXPECT_EQ(PeakOf(silent), 0.0);
}

TEST(SynthLevel, FadesMakeTheEdgesSilent) {
    SampleBuffer b(2 * 4410, 0.8f); // stereo, 0.1 s
    FadeEdges(b, 2, 0.01, 0.02);
    EXPECT_EQ(b[0], 0.0f);
    EXPECT_EQ(b[1], 0.0f);
    EXPECT_EQ(b[b.size() - 1], 0.0f);
    EXPECT_EQ(b[b.size() - 2], 0.0f);
    EXPECT_FLOAT_EQ(b[b.size() / 2], 0.8f);
}

// ---- loops

TEST(SynthLoop, CrossfadedLoopRunsFromItsEndStraightIntoItsStart) {
    // A sine whose period does not divide the loop: cut plainly, the loop would jump.
    const int body = SampleRate, fade = SampleRate / 10;
    const SampleBuffer rendered = Sine(437.3, double(body + fade) / SampleRate, 0.5);
    const double naiveJump = std::fabs(rendered[body - 1] - rendered[0]);
    ASSERT_GT(naiveJump, 0.05);

    const SampleBuffer loop = CrossfadeLoop(rendered, 1, body, fade);
    ASSERT_EQ(loop.size(), std::size_t(body));
    const double maxStep = 2 * kPi * 437.3 / SampleRate * 0.5; // the sine's steepest step
    EXPECT_LE(std::fabs(loop[0] - loop[body - 1]), maxStep * 1.05);
    // The body's own end is untouched; past the crossfade the head is the original.
    EXPECT_EQ(loop[body - 1], rendered[body - 1]);
    EXPECT_EQ(loop[fade + 10], rendered[fade + 10]);
}

TEST(SynthLoop, AddTailFoldsTheRingingOntoTheHead) {
    SampleBuffer rendered(2 * 10, 0.0f); // stereo, 10 frames
    for (int f = 0; f < 10; ++f) rendered[2 * f] = rendered[2 * f + 1] = float(f + 1);
    const SampleBuffer loop = AddTail(rendered, 2, 6);
    ASSERT_EQ(loop.size(), 12u);
    // Frames 6..9 (7, 8, 9, 10) land on frames 0..3.
    EXPECT_EQ(loop[0], 1.0f + 7.0f);
    EXPECT_EQ(loop[7], 4.0f + 10.0f);
    EXPECT_EQ(loop[8], 5.0f);
}

TEST(SynthLoop, LoopRecipeIsContinuousAndKeepsEventsPastTheEnd) {
    std::vector<SoundRecipe> recipes;
    std::string error;
    ASSERT_TRUE(ParseRecipes("sound bed\n"
                             "  length 1\n  loop 0.2\n  stereo\n  level peak=-3 loudness=-20\n"
                             "  layer\n    wave pink\n    lowpass 2000\n    gain -20\n"
                             "  layer\n    wave sine\n    freq 1000\n    perc 0.001 0.05\n"
                             "    len 0.3\n    at 0.9\n"
                             "end\n",
                             "bed.synth", recipes, error))
        << error;
    const SampleBuffer b = Render(recipes[0]);
    ASSERT_EQ(b.size(), std::size_t(2 * SampleRate));
    // The ping at 0.9 s rings on past the end: its ringing is heard at the start.
    SampleBuffer head(b.begin(), b.begin() + 2 * SampleRate / 20);
    SampleBuffer before(b.begin() + 2 * SampleRate / 2,
                        b.begin() + 2 * (SampleRate / 2 + SampleRate / 20));
    EXPECT_GT(Rms(head), 2 * Rms(before));
    // No dip at the seam: the first and last 20 ms carry the bed at full level.
    const std::size_t edge = 2 * SampleRate / 50;
    SampleBuffer last(b.end() - static_cast<std::ptrdiff_t>(edge), b.end());
    EXPECT_GT(Rms(last), 0.5 * RmsOf(b));
    EXPECT_LT(std::fabs(b[0] - b[b.size() - 2]), 0.1);
}

TEST(SynthLoop, LimiterHoldsPeaksUnderTheCeilingRoundTheSeam) {
    // One second of a quiet 220 Hz tone (exactly 220 cycles, so it loops), swelling smoothly
    // to four times its level 3 ms before the end: the limiter's recovery runs on through the
    // seam into the start, so the seam keeps no step.
    const std::size_t n = SampleRate;
    SampleBuffer b(n);
    for (std::size_t i = 0; i < n; ++i) {
        const double t = double(i) / SampleRate;
        double d = std::fabs(t - (1.0 - 0.003));
        d = std::min(d, 1.0 - d); // round the loop
        const double level = 0.2 + 0.6 * std::exp(-(d / 0.002) * (d / 0.002));
        b[i] = float(level * std::cos(2 * kPi * 220 * t));
    }
    double stepBefore = std::fabs(b[0] - b[n - 1]);
    for (std::size_t i = 1; i < n; ++i)
        stepBefore = std::max(stepBefore, double(std::fabs(b[i] - b[i - 1])));
    const SampleBuffer before = b;
    LimitLoop(b, 1, -6.0);
    EXPECT_LE(PeakOf(b), std::pow(10.0, -6.0 / 20) + 1e-6);
    // Far from the swell the tone is untouched.
    EXPECT_NEAR(b[n * 9 / 10], before[n * 9 / 10], 1e-3);
    double stepAfter = std::fabs(b[0] - b[n - 1]);
    for (std::size_t i = 1; i < n; ++i)
        stepAfter = std::max(stepAfter, double(std::fabs(b[i] - b[i - 1])));
    EXPECT_LE(stepAfter, stepBefore);
    EXPECT_LE(std::fabs(b[0] - b[n - 1]), 2 * kPi * 220 / SampleRate * 0.5);
}

// ---- recipes

TEST(SynthRecipe, NotesTransposeAndInheritance) {
    std::vector<SoundRecipe> recipes;
    std::string error;
    ASSERT_TRUE(ParseRecipes("level peak=-4 loudness=-20\n"
                             "sound a   # a comment\n"
                             "  length 0.5\n"
                             "  layer\n    wave sine\n    freq A4 0.2 C#5\n"
                             "end\n"
                             "sound b from a\n  transpose 12\nend\n",
                             "notes.synth", recipes, error))
        << error;
    ASSERT_EQ(recipes.size(), 2u);
    const RecipeCurve& f = recipes[0].Layers[0].Osc.Frequency;
    EXPECT_DOUBLE_EQ(f.Values[0], 440.0);
    EXPECT_NEAR(f.Values[1], 554.365, 0.01);
    EXPECT_EQ(recipes[0].PeakDb, -4);
    EXPECT_EQ(recipes[1].Transpose, 12);
    EXPECT_EQ(recipes[1].Layers.size(), 1u);
    // An octave up doubles the crossings.
    SoundRecipe steady = recipes[0];
    steady.Layers[0].Osc.Frequency = {{440.0}, {}, true};
    SoundRecipe octave = steady;
    octave.Transpose = 12;
    EXPECT_NEAR(ZeroCrossings(Render(octave)), 2 * ZeroCrossings(Render(steady)), 4);
}

TEST(SynthRecipe, MistakesNameTheFileAndLine) {
    std::vector<SoundRecipe> recipes;
    std::string error;
    EXPECT_FALSE(ParseRecipes("sound a\n  layer\n    wave sine\n    freq 440 0.1\nend\n", "x.synth",
                              recipes, error));
    EXPECT_NE(error.find("x.synth:4"), std::string::npos) << error;
    EXPECT_FALSE(ParseRecipes("sound a\n  layer\n    wobble 3\nend\n", "x.synth", recipes, error));
    EXPECT_NE(error.find("x.synth:3: unknown statement \"wobble\""), std::string::npos) << error;
    EXPECT_FALSE(ParseRecipes("sound a\n  gain 3\nend\n", "x.synth", recipes, error));
    EXPECT_NE(error.find("layer"), std::string::npos) << error;
    EXPECT_FALSE(ParseRecipes("sound a\n  layer\n", "x.synth", recipes, error));
    EXPECT_NE(error.find("no \"end\""), std::string::npos) << error;
    EXPECT_FALSE(ParseRecipes("sound b from a\nend\n", "x.synth", recipes, error));
    // Values that would take the build's memory or time are refused.
    EXPECT_FALSE(
        ParseRecipes("sound a\n  length 100000\n  layer\nend\n", "x.synth", recipes, error));
    EXPECT_NE(error.find("length must be"), std::string::npos) << error;
    EXPECT_FALSE(
        ParseRecipes("sound a\n  layer\n    scatter 99999999\nend\n", "x.synth", recipes, error));
    EXPECT_FALSE(
        ParseRecipes("sound a\n  echo 0.1 1.5 0.5\n  layer\nend\n", "x.synth", recipes, error));
    EXPECT_FALSE(ParseRecipes("sound a\n  layer\n    freq H4\nend\n", "x.synth", recipes, error));
    EXPECT_FALSE(
        ParseRecipes("sound a\n  layer\n    lowpass 300 q=x\nend\n", "x.synth", recipes, error));
}

TEST(SynthRecipe, OneShotEffectIsLevelledAndClickFree) {
    std::vector<SoundRecipe> recipes;
    std::string error;
    ASSERT_TRUE(ParseRecipes("sound s\n  length 0.3\n  level peak=-2 loudness=-16\n"
                             "  layer\n    wave square\n    freq 300\n    adsr 0 0 1 0\n"
                             "end\n",
                             "s.synth", recipes, error))
        << error;
    const SampleBuffer b = Render(recipes[0]);
    ASSERT_EQ(b.size(), std::size_t(0.3 * SampleRate));
    EXPECT_EQ(b.front(), 0.0f);
    EXPECT_EQ(b.back(), 0.0f);
    EXPECT_LE(PeakOf(b), std::pow(10.0, -2.0 / 20) + 1e-6);
    EXPECT_GT(20 * std::log10(LoudnessOf(b, 1)), -17.0);
}

// ---- MIDI, WAV and Ogg

std::vector<uint8_t> MidiFile(int division, const std::vector<uint8_t>& track) {
    std::vector<uint8_t> b;
    for (char c : std::string("MThd\0\0\0\6\0\0\0\1", 12)) b.push_back(uint8_t(c));
    b.push_back(uint8_t(division >> 8));
    b.push_back(uint8_t(division & 0xFF));
    for (char c : std::string("MTrk")) b.push_back(uint8_t(c));
    const uint32_t n = uint32_t(track.size());
    for (int shift = 24; shift >= 0; shift -= 8) b.push_back(uint8_t(n >> shift));
    b.insert(b.end(), track.begin(), track.end());
    return b;
}

TEST(SynthMidi, LengthFollowsTempoChangesAndSnapsToTheEighth) {
    // 480 ticks a quarter. Tempo 120 bpm for 4 quarters (2 s), then 60 bpm for 2 quarters (2 s);
    // the track ends 20 ticks late, as abc2midi's tracks do.
    const std::vector<uint8_t> track = {0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, // 500000 us
                                        0x00, 0x90, 60,   100,                    // note on
                                        0x8F, 0x00, 0x80, 60,   0, // 1920 ticks later: off
                                        0x00, 0xFF, 0x51, 0x03, 0x0F, 0x42, 0x40, // 1000000 us
                                        0x00, 0x90, 62,   100,  0x87, 0x40, 62,
                                        0, // running status: 960 later off
                                        0x14, 0xFF, 0x2F, 0x00};
    double seconds = 0;
    std::string error;
    ASSERT_TRUE(MidiLength(MidiFile(480, track), seconds, error)) << error;
    EXPECT_NEAR(seconds, 4.0, 1e-9);
    EXPECT_FALSE(MidiLength({'R', 'I', 'F', 'F'}, seconds, error));
    auto cut = MidiFile(480, track);
    cut.resize(cut.size() - 10);
    EXPECT_FALSE(MidiLength(cut, seconds, error));
}

TEST(SynthOgg, EncodedSoundDecodesToTheSameLengthAndShape) {
    SampleBuffer stereo(2 * 22050);
    for (int f = 0; f < 22050; ++f) {
        stereo[2 * f] = 0.5f * float(std::sin(2 * kPi * 440 * f / SampleRate));
        stereo[2 * f + 1] = 0.25f * float(std::sin(2 * kPi * 660 * f / SampleRate));
    }
    std::vector<uint8_t> bytes;
    std::string error;
    ASSERT_TRUE(EncodeOgg(stereo, 2, SampleRate, 0.4f, bytes, error)) << error;
    std::vector<uint8_t> again;
    ASSERT_TRUE(EncodeOgg(stereo, 2, SampleRate, 0.4f, again, error));
    EXPECT_EQ(bytes, again); // reproducible builds
    DecodedSound sound;
    ASSERT_TRUE(DecodeOggVorbis(bytes, sound));
    EXPECT_EQ(sound.Channels, 2);
    EXPECT_EQ(sound.SampleRate, SampleRate);
    EXPECT_EQ(sound.Frames(), 22050);
    double left = 0, right = 0;
    for (int f = 0; f < sound.Frames(); ++f) {
        left = std::max(left, std::fabs(sound.Samples[2 * f] / 32768.0));
        right = std::max(right, std::fabs(sound.Samples[2 * f + 1] / 32768.0));
    }
    EXPECT_NEAR(left, 0.5, 0.03);
    EXPECT_NEAR(right, 0.25, 0.03);
    EXPECT_FALSE(EncodeOgg(stereo, 3, SampleRate, 0.4f, bytes, error));
}

TEST(SynthWav, ReadsSixteenBitPcm) {
    std::vector<uint8_t> wav = {
        'R', 'I', 'F', 'F', 0, 0, 0,    0,    'W',  'A',  'V',  'E',  'f',  'm',  't',  ' ', 16, 0,
        0,   0,   1,   0,   2, 0, 0x44, 0xAC, 0,    0,    0,    0,    0,    0,    4,    0,   16, 0,
        'd', 'a', 't', 'a', 8, 0, 0,    0,    0x00, 0x40, 0x00, 0xC0, 0xFF, 0x7F, 0x00, 0x00};
    SampleBuffer samples;
    int channels = 0, rate = 0;
    std::string error;
    ASSERT_TRUE(ReadWav(wav, samples, channels, rate, error)) << error;
    EXPECT_EQ(channels, 2);
    EXPECT_EQ(rate, 44100);
    ASSERT_EQ(samples.size(), 4u);
    EXPECT_FLOAT_EQ(samples[0], 0.5f);
    EXPECT_FLOAT_EQ(samples[1], -0.5f);
    wav[34] = 8; // 8-bit
    EXPECT_FALSE(ReadWav(wav, samples, channels, rate, error));
}

// ---- archive descriptions

TEST(SynthArchive, SoundItemsBuildIntoDecodableRecords) {
    test::TempDir dir;
    const fs::path folder = dir.Path() / "tSfx";
    fs::create_directories(folder);
    test::WriteText((folder / "archive.xml").string(),
                    "<archive><sound key='sfx_ping.ogg' recipe='r.synth'/>"
                    "<sound key='other.ogg' recipe='r.synth' name='sfx_ping' quality='0.2'/>"
                    "</archive>");
    test::WriteText((folder / "r.synth").string(),
                    "sound sfx_ping\n  length 0.25\n  layer\n    wave sine\n    freq C6\n"
                    "    perc 0.002 0.05\nend\n");
    pack::ArchiveDescription archive;
    std::string error;
    ASSERT_TRUE(pack::ReadArchiveDescription(folder, archive, error)) << error;
    ASSERT_EQ(archive.Sounds.size(), 2u);
    pack::BuildResult result;
    const fs::path out = dir.Path() / "tSfx.dan";
    ASSERT_TRUE(pack::BuildArchive(archive, out, result, error)) << error;
    EXPECT_EQ(result.Records, 2);
    TKilnArchive dan;
    dan.SetOpenMode(aomReadOnly);
    ASSERT_TRUE(dan.OpenFile(out.string()));
    for (const char* key : {"sfx_ping.ogg", "other.ogg"}) {
        std::vector<uint8_t> bytes;
        ASSERT_TRUE(dan.ReadRecord(key, bytes)) << key;
        DecodedSound sound;
        ASSERT_TRUE(DecodeOggVorbis(bytes, sound)) << key;
        EXPECT_EQ(sound.Frames(), int(0.25 * SampleRate)) << key;
    }
}

TEST(SynthArchive, SoundMistakesNameTheItem) {
    test::TempDir dir;
    const fs::path folder = dir.Path() / "tSfx";
    fs::create_directories(folder);
    test::WriteText((folder / "r.synth").string(), "sound a\n  layer\n    wave sine\nend\n");
    auto read = [&](const std::string& xml, std::string& error) {
        test::WriteText((folder / "archive.xml").string(), "<archive>" + xml + "</archive>");
        pack::ArchiveDescription archive;
        return pack::ReadArchiveDescription(folder, archive, error);
    };
    std::string error;
    EXPECT_FALSE(read("<sound key='a.ogg' recipe='missing.synth'/>", error));
    EXPECT_NE(error.find("missing.synth"), std::string::npos) << error;
    EXPECT_FALSE(read("<sound key='a.wav' recipe='r.synth'/>", error));
    EXPECT_NE(error.find(".ogg"), std::string::npos) << error;
    EXPECT_FALSE(read("<music key='m.ogg'/>", error));
    EXPECT_NE(error.find("\"src\""), std::string::npos) << error;
    EXPECT_FALSE(
        read("<sound key='a.ogg' recipe='r.synth'/><sound key='A.ogg' recipe='r.synth'/>", error));
    EXPECT_NE(error.find("used twice"), std::string::npos) << error;

    // A recipe name the file does not have fails the build, naming the file.
    ASSERT_TRUE(read("<sound key='b.ogg' recipe='r.synth'/>", error)) << error;
    pack::ArchiveDescription archive;
    ASSERT_TRUE(pack::ReadArchiveDescription(folder, archive, error));
    pack::BuildResult result;
    EXPECT_FALSE(pack::BuildArchive(archive, dir.Path() / "x.dan", result, error));
    EXPECT_NE(error.find("r.synth: has no sound \"b\""), std::string::npos) << error;
}

TEST(SynthMusic, NoteDataBecomesALoopOfExactlyItsBars) {
    if (!fs::exists(DefaultSoundFont) || std::system("command -v abc2midi >/dev/null 2>&1") != 0 ||
        std::system("command -v fluidsynth >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "abc2midi, fluidsynth or the soundfont is missing";
    test::TempDir dir;
    // Two bars of 4/4 at 120 bpm: 4 seconds, plus a ringing tail folded onto the start.
    test::WriteText(dir.File("t.abc"), "X:1\nT:t\nM:4/4\nL:1/4\nQ:1/4=120\nK:C\n"
                                       "%%MIDI program 0\nCEGc|c4|\n");
    MusicSpec spec;
    spec.Source = dir.File("t.abc");
    SampleBuffer stereo;
    std::string error;
    ASSERT_TRUE(RenderMusic(spec, stereo, error)) << error;
    EXPECT_EQ(stereo.size(), std::size_t(2 * 4 * SampleRate));
    // Levelled to -20 dBFS unless the peak ceiling (-2 dBFS) holds it lower.
    EXPECT_LE(20 * std::log10(RmsOf(stereo)), -19.5);
    EXPECT_GT(20 * std::log10(RmsOf(stereo)), -30.0);
    EXPECT_LE(PeakOf(stereo), std::pow(10.0, -2.0 / 20) + 1e-6);
    // The held last note rings into the repeat: the first frames are not silent.
    EXPECT_GT(std::fabs(stereo[0]) + std::fabs(stereo[1]) + std::fabs(stereo[20]), 1e-4);

    spec.SoundFont = "/nonexistent.sf2";
    EXPECT_FALSE(RenderMusic(spec, stereo, error));
    EXPECT_NE(error.find("soundfont"), std::string::npos) << error;
}

} // namespace
} // namespace bw
