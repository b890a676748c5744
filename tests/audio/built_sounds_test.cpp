// The sounds of the built data: every sound the game loads is in its archive, decodes, has a
// sensible length, rate and level, and the loops join up without a step. Then one effect and
// one music track go through the sound engine into a real OpenAL mixer.
#include "audio/SoundDevice.h"
#include "audio/SoundEngine.h"

#include "base/GameOptions.h"
#include "board/LevelData.h"
#include "data/KilnArchive.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <thread>

namespace bw {
namespace {

namespace fs = std::filesystem;

const fs::path kDataDir = fs::path(BW_TEST_BINARY_DIR) / "Data";

const char* ArchiveOf(SoundKind kind) {
    switch (kind) {
    case SoundKind::Music:
        return "Music.dan";
    case SoundKind::Ambience:
        return "Ambience.dan";
    case SoundKind::Effect:
        break;
    }
    return "Sfx.dan";
}

// The three sound archives, opened once.
class BuiltSounds {
public:
    static BuiltSounds& Get() {
        static BuiltSounds instance;
        return instance;
    }
    bool Ready() const { return FReady; }
    bool Read(SoundKind kind, const std::string& key, std::vector<uint8_t>& bytes) const {
        const auto it = FArchives.find(ArchiveOf(kind));
        return it != FArchives.end() && it->second->ReadRecord(key, bytes);
    }

private:
    BuiltSounds() {
        FReady = true;
        for (const char* name : {"Music.dan", "Ambience.dan", "Sfx.dan"}) {
            auto archive = std::make_unique<TKilnArchive>();
            archive->SetOpenMode(aomReadOnly);
            if (!fs::exists(kDataDir / name) || !archive->OpenFile((kDataDir / name).string())) {
                FReady = false;
                continue;
            }
            FArchives[name] = std::move(archive);
        }
    }
    bool FReady = false;
    std::map<std::string, std::unique_ptr<TKilnArchive>> FArchives;
};

#define REQUIRE_BUILT_SOUNDS()                                                                     \
    if (!BuiltSounds::Get().Ready())                                                               \
    GTEST_SKIP() << "the sound archives are not built in " << kDataDir.string()

// Effects that their owners play looped.
const std::set<std::string> kLoopedEffects = {
    "sfx_bird_loop.ogg",      "sfx_bomba_loop.ogg",  "sfx_fireworks_loop.ogg",
    "sfx_lightning_loop.ogg", "sfx_paint_loop.ogg",  "sfx_key_loop.ogg",
    "sfx_bird_move.ogg",      "sfx_object_move.ogg", "sfx_result_score.ogg"};

double Db(double linear) {
    return 20.0 * std::log10(std::max(linear, 1e-9));
}

struct LevelsFixture {
    double Seconds = 0;
    double PeakDb = -180;
    double RmsDb = -180;     // the whole sound
    double LoudestDb = -180; // the loudest 400 ms
    double SeamStep = 0;     // largest step from the last frame to the first, per channel
    double TypicalStep = 0;  // the 99.9th percentile of steps between neighbouring frames
    double HeadDb = -180, TailDb = -180; // first and last 50 ms
};

LevelsFixture Measure(const DecodedSound& s) {
    LevelsFixture l;
    const int ch = s.Channels;
    const std::size_t frames = static_cast<std::size_t>(s.Frames());
    l.Seconds = static_cast<double>(frames) / s.SampleRate;
    auto at = [&](std::size_t f, int c) { return s.Samples[f * ch + c] / 32768.0; };
    double peak = 0, sum = 0;
    std::vector<double> power(frames + 1, 0.0);
    std::vector<double> steps;
    steps.reserve(frames);
    for (std::size_t f = 0; f < frames; ++f) {
        double p = 0;
        double step = 0;
        for (int c = 0; c < ch; ++c) {
            const double v = at(f, c);
            peak = std::max(peak, std::fabs(v));
            p += v * v;
            if (f > 0) step = std::max(step, std::fabs(v - at(f - 1, c)));
        }
        power[f + 1] = power[f] + p / ch;
        sum += p / ch;
        if (f > 0) steps.push_back(step);
    }
    l.PeakDb = Db(peak);
    l.RmsDb = Db(std::sqrt(sum / std::max<std::size_t>(frames, 1)));
    const std::size_t window = std::min<std::size_t>(frames, s.SampleRate * 4 / 10);
    double loudest = 0;
    for (std::size_t start = 0; window > 0 && start + window <= frames; start += 441)
        loudest = std::max(loudest, power[start + window] - power[start]);
    l.LoudestDb = Db(std::sqrt(loudest / std::max<std::size_t>(window, 1)));
    const std::size_t edge = std::min<std::size_t>(frames, s.SampleRate / 20);
    l.HeadDb = Db(std::sqrt(power[edge] / std::max<std::size_t>(edge, 1)));
    l.TailDb =
        Db(std::sqrt((power[frames] - power[frames - edge]) / std::max<std::size_t>(edge, 1)));
    for (int c = 0; c < ch && frames > 1; ++c)
        l.SeamStep = std::max(l.SeamStep, std::fabs(at(0, c) - at(frames - 1, c)));
    if (!steps.empty()) {
        const std::size_t k = steps.size() * 999 / 1000;
        std::nth_element(steps.begin(), steps.begin() + static_cast<std::ptrdiff_t>(k),
                         steps.end());
        l.TypicalStep = steps[k];
    }
    return l;
}

TEST(BuiltSounds, EverySoundDecodesWithSensibleLengthRateAndLevel) {
    REQUIRE_BUILT_SOUNDS();
    int checked = 0;
    for (const SoundListEntry& e : SoundList()) {
        SCOPED_TRACE(e.FileName);
        std::vector<uint8_t> bytes;
        ASSERT_TRUE(BuiltSounds::Get().Read(e.Kind, e.FileName, bytes))
            << "missing from " << ArchiveOf(e.Kind);
        DecodedSound sound;
        ASSERT_TRUE(DecodeOggVorbis(bytes, sound));
        EXPECT_EQ(sound.SampleRate, 44100);
        const LevelsFixture l = Measure(sound);
        // Never clipped, never so quiet that it is lost under the rest.
        EXPECT_LT(l.PeakDb, -0.05);
        EXPECT_GT(l.PeakDb, -30.0);
        switch (e.Kind) {
        case SoundKind::Music:
            EXPECT_EQ(sound.Channels, 2);
            EXPECT_GE(l.Seconds, 90.0);
            EXPECT_LE(l.Seconds, 180.0);
            EXPECT_NEAR(l.RmsDb, -20.0, 5.0);
            break;
        case SoundKind::Ambience:
            EXPECT_EQ(sound.Channels, 2);
            EXPECT_GE(l.Seconds, 10.0);
            EXPECT_LE(l.Seconds, 60.0);
            EXPECT_NEAR(l.RmsDb, -30.0, 4.0);
            // A loop does not fade in or out: both ends carry sound.
            EXPECT_GT(l.HeadDb, l.RmsDb - 15.0);
            EXPECT_GT(l.TailDb, l.RmsDb - 15.0);
            break;
        case SoundKind::Effect:
            EXPECT_EQ(sound.Channels, 1);
            EXPECT_GE(l.Seconds, 0.04);
            EXPECT_LE(l.Seconds, 4.0);
            EXPECT_GT(l.LoudestDb, -32.0);
            EXPECT_LT(l.LoudestDb, -10.0);
            break;
        }
        ++checked;
    }
    EXPECT_EQ(checked, 103);
}

TEST(BuiltSounds, LoopsJoinWithoutAStep) {
    REQUIRE_BUILT_SOUNDS();
    for (const SoundListEntry& e : SoundList()) {
        const bool loop = e.Kind != SoundKind::Effect || kLoopedEffects.count(e.FileName) > 0;
        if (!loop) continue;
        SCOPED_TRACE(e.FileName);
        std::vector<uint8_t> bytes;
        ASSERT_TRUE(BuiltSounds::Get().Read(e.Kind, e.FileName, bytes));
        DecodedSound sound;
        ASSERT_TRUE(DecodeOggVorbis(bytes, sound));
        const LevelsFixture l = Measure(sound);
        // From the last frame back to the first is an ordinary step of the sound, not a click.
        EXPECT_LE(l.SeamStep, l.TypicalStep * 1.5 + 0.002)
            << "seam " << l.SeamStep << ", typical " << l.TypicalStep;
    }
}

// A level playlist switches tracks after each entry's duration. The switch must come where
// the track's loop ends (after one or more whole loops, to the second), not in the middle of
// a phrase.
TEST(BuiltSounds, LevelPlaylistsSwitchWhereATrackLoopEnds) {
    REQUIRE_BUILT_SOUNDS();
    std::map<int, double> seconds; // game track 1..6: length of its loop
    for (int track = 1; track <= 6; ++track) {
        const std::string key = "Game_" + std::to_string(track) + ".ogg";
        std::vector<uint8_t> bytes;
        DecodedSound sound;
        ASSERT_TRUE(BuiltSounds::Get().Read(SoundKind::Music, key, bytes)) << key;
        ASSERT_TRUE(DecodeOggVorbis(bytes, sound)) << key;
        seconds[track] = static_cast<double>(sound.Frames()) / sound.SampleRate;
    }
    int checked = 0;
    for (const auto& file :
         fs::directory_iterator(fs::path(BW_TEST_SOURCE_DIR) / "data" / "tData_Levels")) {
        if (file.path().extension() != ".xml") continue;
        TLevel_Data level;
        if (!LoadLevelFileFromDisk(file.path().string(), level)) continue; // archive.xml
        SCOPED_TRACE(file.path().filename().string());
        if (level.Music.Tracks.size() < 2) continue; // one track simply loops
        for (const TLevelTrack& entry : level.Music.Tracks) {
            ASSERT_EQ(seconds.count(entry.Track), 1u) << "track " << entry.Track;
            const double loop = seconds[entry.Track];
            const double loops = std::max(1.0, std::round(entry.Duration / loop));
            EXPECT_LT(std::fabs(entry.Duration - loops * loop), 1.0)
                << "track " << entry.Track << " plays " << entry.Duration << " s, its loop is "
                << loop << " s";
            ++checked;
        }
    }
    EXPECT_GT(checked, 0) << "no level has a playlist";
}

TEST(BuiltSounds, OneShotEffectsStartAndEndQuietly) {
    REQUIRE_BUILT_SOUNDS();
    for (const SoundListEntry& e : SoundList()) {
        if (e.Kind != SoundKind::Effect || kLoopedEffects.count(e.FileName)) continue;
        SCOPED_TRACE(e.FileName);
        std::vector<uint8_t> bytes;
        ASSERT_TRUE(BuiltSounds::Get().Read(e.Kind, e.FileName, bytes));
        DecodedSound sound;
        ASSERT_TRUE(DecodeOggVorbis(bytes, sound));
        ASSERT_GT(sound.Frames(), 2);
        // Click-free: the first and the last samples are (near) zero; the codec may smear a
        // sharp attack a little ahead of it.
        EXPECT_LE(std::abs(sound.Samples.front()), 1200);
        EXPECT_LE(std::abs(sound.Samples.back()), 400);
    }
}

// ---- Through the engine into OpenAL -----------------------------------------------------

class BuiltSoundsThroughOpenAL : public ::testing::Test {
protected:
    TGameOptions savedOptions;
    OpenALSoundDevice* device = nullptr;

    void Load(SoundDeviceKind kind) {
        savedOptions = GameOptions;
        GameOptions.SoundsOff = false;
        GameOptions.MusicVolume = 1.0f;
        GameOptions.SoundFxVolume = 1.0f;
        SetSoundDeviceOpener([this, kind]() -> std::unique_ptr<ISoundDevice> {
            auto d = std::make_unique<OpenALSoundDevice>();
            if (!d->Open(kind)) return nullptr;
            device = d.get();
            return d;
        });
        SetSoundSource([](SoundKind k, const std::string& name, std::vector<uint8_t>& bytes) {
            return BuiltSounds::Get().Read(k, name, bytes);
        });
        LoadAllSounds();
    }
    void TearDown() override {
        ShutdownSound();
        SetSoundDeviceOpener({});
        SetSoundSource({});
        GameOptions = savedOptions;
    }
    // The loudest sample of `frames` mixed frames.
    int MixPeak(int frames) {
        std::vector<int16_t> mix(static_cast<std::size_t>(frames) * 2);
        device->RenderSamples(mix.data(), frames);
        int peak = 0;
        for (int16_t v : mix) peak = std::max(peak, std::abs(static_cast<int>(v)));
        return peak;
    }
};

TEST_F(BuiltSoundsThroughOpenAL, AnEffectAndATrackAreHeardInTheMix) {
    REQUIRE_BUILT_SOUNDS();
    Load(SoundDeviceKind::Loopback);
    if (device == nullptr) GTEST_SKIP() << "no ALC_SOFT_loopback";
    ASSERT_TRUE(SoundReady);
    ASSERT_FALSE(GameOptions.SoundsOff);
    EXPECT_LT(MixPeak(4410), 50) << "silence before anything plays";

    const int pick = SfxIndex("sfx_bird_pick.ogg");
    ASSERT_GE(pick, 0);
    ASSERT_GE(SfxSprite(pick)->FSound, 0) << "the effect did not load";
    Sfx(msg_Start, pick);
    EXPECT_TRUE(SfxPlaying(pick));
    EXPECT_GT(MixPeak(4410), 3000) << "the pick chirp is not in the mix";
    MixPeak(44100); // it is 0.16 s long
    device->Update();
    EXPECT_FALSE(SfxPlaying(pick));
    EXPECT_LT(MixPeak(4410), 50);

    const int track = GameTrackMusic(1);
    ASSERT_GE(MusicSprite(track)->FSound, 0) << "the track did not load";
    PlayMusic(track, true, true);
    EXPECT_EQ(CurrentMusic, track);
    int loudest = 0;
    for (int i = 0; i < 20; ++i) loudest = std::max(loudest, MixPeak(4410)); // 2 s
    EXPECT_GT(loudest, 3000) << "the track is not in the mix";
    const int time = SoundDevice()->Query(MusicSprite(track)->FSound, 0, SoundQuery::TimeMs);
    EXPECT_NEAR(time, 2000, 150);
}

TEST_F(BuiltSoundsThroughOpenAL, PlaysOnTheOutputDevice) {
    REQUIRE_BUILT_SOUNDS();
    // The test environment runs OpenAL on its null backend, which plays in real time.
    Load(SoundDeviceKind::Output);
    if (device == nullptr) GTEST_SKIP() << "no OpenAL output device (set ALSOFT_DRIVERS=null)";
    const int match = SfxIndex("sfx_bird_match_3.ogg");
    Sfx(msg_Start, match);
    EXPECT_TRUE(SfxPlaying(match));
    PlayMusic(music_MainMenu, true, true);
    const int sound = MusicSprite(music_MainMenu)->FSound;
    EXPECT_EQ(SoundDevice()->Query(sound, 0, SoundQuery::Playing), 1);
    // The mixer runs on its own thread: the track's clock moves on in real time (the wait is
    // generous for a busy machine).
    int ms = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (ms < 200 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        ms = SoundDevice()->Query(sound, 0, SoundQuery::TimeMs);
    }
    EXPECT_GE(ms, 200);
    EXPECT_EQ(SoundDevice()->Query(sound, 0, SoundQuery::Playing), 1);
}

} // namespace
} // namespace bw
