// The OpenAL layer on a real mixer: a loopback device whose output the test renders itself,
// playing a short Ogg Vorbis clip that the test encodes. libvorbisenc is opened at run time,
// so the tests skip where it is not installed.
#include "audio/SoundDevice.h"
#include "audio/SoundEngine.h"

#include "base/GameOptions.h"

#include <gtest/gtest.h>
#include <ogg/ogg.h>
#include <vorbis/codec.h>

#include <cmath>
#include <cstdlib>
#include <dlfcn.h>

namespace bw {
namespace {

using EncodeInitVbr = int (*)(vorbis_info*, long channels, long rate, float quality);

EncodeInitVbr VorbisEncodeInit() {
    static void* lib = dlopen("libvorbisenc.so.2", RTLD_NOW | RTLD_LOCAL);
    if (lib == nullptr) return nullptr;
    return reinterpret_cast<EncodeInitVbr>(dlsym(lib, "vorbis_encode_init_vbr"));
}

// A mono 440 Hz tone of `frames` frames at 44100 Hz, encoded as Ogg Vorbis.
std::vector<uint8_t> EncodeTone(int frames) {
    std::vector<uint8_t> out;
    EncodeInitVbr init = VorbisEncodeInit();
    if (init == nullptr) return out;
    vorbis_info vi;
    vorbis_info_init(&vi);
    if (init(&vi, 1, 44100, 0.4f) != 0) {
        vorbis_info_clear(&vi);
        return out;
    }
    vorbis_comment vc;
    vorbis_comment_init(&vc);
    vorbis_dsp_state vd;
    vorbis_analysis_init(&vd, &vi);
    vorbis_block vb;
    vorbis_block_init(&vd, &vb);
    ogg_stream_state os;
    ogg_stream_init(&os, 1234);
    const auto append = [&](const ogg_page& page) {
        out.insert(out.end(), page.header, page.header + page.header_len);
        out.insert(out.end(), page.body, page.body + page.body_len);
    };
    ogg_packet header, comment, code;
    vorbis_analysis_headerout(&vd, &vc, &header, &comment, &code);
    ogg_stream_packetin(&os, &header);
    ogg_stream_packetin(&os, &comment);
    ogg_stream_packetin(&os, &code);
    ogg_page page;
    while (ogg_stream_flush(&os, &page) != 0) append(page);

    int written = 0;
    bool eos = false;
    while (!eos) {
        const int chunk = std::min(1024, frames - written);
        if (chunk > 0) {
            float** buffer = vorbis_analysis_buffer(&vd, chunk);
            for (int i = 0; i < chunk; ++i)
                buffer[0][i] = 0.5f * std::sin(2.0 * M_PI * 440.0 * (written + i) / 44100.0);
            vorbis_analysis_wrote(&vd, chunk);
            written += chunk;
        } else {
            vorbis_analysis_wrote(&vd, 0);
        }
        while (vorbis_analysis_blockout(&vd, &vb) == 1) {
            vorbis_analysis(&vb, nullptr);
            vorbis_bitrate_addblock(&vb);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&vd, &packet) != 0) {
                ogg_stream_packetin(&os, &packet);
                while (ogg_stream_pageout(&os, &page) != 0) {
                    append(page);
                    if (ogg_page_eos(&page)) eos = true;
                }
            }
        }
        if (chunk <= 0 && !eos) { // flush whatever is left
            while (ogg_stream_flush(&os, &page) != 0) append(page);
            eos = true;
        }
    }
    ogg_stream_clear(&os);
    vorbis_block_clear(&vb);
    vorbis_dsp_clear(&vd);
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&vi);
    return out;
}

double Rms(const std::vector<int16_t>& samples) {
    double sum = 0;
    for (int16_t s : samples) sum += static_cast<double>(s) * s;
    return samples.empty() ? 0 : std::sqrt(sum / static_cast<double>(samples.size()));
}

class SoundDeviceTest : public ::testing::Test {
protected:
    std::vector<uint8_t> clip; // a quarter of a second
    void SetUp() override {
        clip = EncodeTone(11025);
        if (clip.empty()) GTEST_SKIP() << "libvorbisenc is not available";
    }
};

TEST_F(SoundDeviceTest, DecodesTheEncodedClip) {
    DecodedSound sound;
    ASSERT_TRUE(DecodeOggVorbis(clip, sound));
    EXPECT_EQ(sound.Channels, 1);
    EXPECT_EQ(sound.SampleRate, 44100);
    EXPECT_EQ(sound.Frames(), 11025);
    EXPECT_GT(Rms(sound.Samples), 0.5 * 32767 / std::sqrt(2.0) * 0.8);

    std::vector<uint8_t> broken(clip.begin(), clip.begin() + static_cast<long>(clip.size() / 3));
    broken[40] ^= 0xFF;
    DecodedSound bad;
    EXPECT_FALSE(DecodeOggVorbis({}, bad));
    EXPECT_FALSE(DecodeOggVorbis({'O', 'g', 'g', 'S', 0, 1, 2}, bad));
    EXPECT_TRUE(bad.Samples.empty());
}

// Up to 64 sounds play at once: the pool takes all of them where the library has them.
TEST_F(SoundDeviceTest, PoolHoldsSixtyFourVoices) {
    OpenALSoundDevice device;
    if (!device.Open(SoundDeviceKind::Loopback)) GTEST_SKIP() << "no ALC_SOFT_loopback";
    EXPECT_EQ(device.SourceCount(), 64);
    EXPECT_EQ(device.FreeSourceCount(), 64);
}

TEST_F(SoundDeviceTest, LoopbackPlaysStopsAndReturnsSources) {
    OpenALSoundDevice device;
    if (!device.Open(SoundDeviceKind::Loopback)) GTEST_SKIP() << "no ALC_SOFT_loopback";
    ASSERT_GT(device.SourceCount(), 0);
    ASSERT_LE(device.SourceCount(), OpenALSoundDevice::MaxSources);
    const int pool = device.SourceCount();

    const int sound = device.LoadFromMemory(clip, 3);
    ASSERT_GE(sound, 0);
    EXPECT_EQ(device.LoadFromMemory({1, 2, 3}, 3), -1);

    // Silence (the mixer dithers its 16-bit output by a least significant bit or so).
    std::vector<int16_t> mix(2 * 4410);
    device.RenderSamples(mix.data(), 4410);
    EXPECT_LT(Rms(mix), 4.0);

    EXPECT_EQ(device.Play(sound, PlayParams{false, 1.0f, 1.0f, 0}), 0);
    EXPECT_EQ(device.FreeSourceCount(), pool - 1);
    EXPECT_EQ(device.Query(sound, 0, SoundQuery::Playing), 1);
    device.RenderSamples(mix.data(), 4410); // 0.1 s
    EXPECT_GT(Rms(mix), 1000.0);
    EXPECT_NEAR(device.Query(sound, 0, SoundQuery::TimeMs), 100, 30);
    EXPECT_NEAR(device.Query(sound, 0, SoundQuery::OffsetSamples), 4410, 1100);

    // Quieter copies are quieter from their very first sample.
    EXPECT_EQ(device.Play(sound, PlayParams{false, 0.0f, 1.0f, 0}), 1);
    EXPECT_EQ(device.Play(sound, PlayParams{false, 0.0f, 1.0f, 0}), 2);
    EXPECT_EQ(device.Play(sound, PlayParams{}), -1); // every copy busy: dropped
    device.Stop(sound, 0);
    device.RenderSamples(mix.data(), 4410); // the stopped copy's short fade-out
    device.RenderSamples(mix.data(), 4410);
    EXPECT_LT(Rms(mix), 4.0);
    EXPECT_EQ(device.Query(sound, 0, SoundQuery::Playing), 0);
    EXPECT_EQ(device.Query(sound, LastCopy, SoundQuery::Playing), 1);
    device.Stop(sound, LastCopy);
    EXPECT_EQ(device.Query(sound, 2, SoundQuery::Playing), 0);

    // Past the end of the clip the copies are free again, and so are their sources.
    std::vector<int16_t> second(2 * 44100);
    device.RenderSamples(second.data(), 44100);
    device.Update();
    EXPECT_EQ(device.Query(sound, 1, SoundQuery::Playing), 0);
    EXPECT_EQ(device.FreeSourceCount(), pool);

    // A loop plays on and can be started at an offset.
    EXPECT_EQ(device.Play(sound, PlayParams{true, 0.5f, 1.0f, 5000}), 0);
    EXPECT_GE(device.Query(sound, 0, SoundQuery::OffsetSamples), 5000);
    device.RenderSamples(second.data(), 44100);
    EXPECT_EQ(device.Query(sound, 0, SoundQuery::Playing), 1);
    device.SetOffset(sound, 0, 100);
    EXPECT_LT(device.Query(sound, 0, SoundQuery::OffsetSamples), 2000);
    device.Stop(sound, AllCopies);
    EXPECT_EQ(device.FreeSourceCount(), pool);
    device.Shutdown();
    EXPECT_FALSE(device.IsOpen());
    EXPECT_EQ(device.Play(sound, PlayParams{}), -1);
}

// A short sound decoded elsewhere (the loading batch decodes on a thread of its own) is kept
// as given; bytes without samples are decoded on the spot, and refused when they do not decode.
TEST_F(SoundDeviceTest, SamplesDecodedElsewhereAreKeptAsGiven) {
    OpenALSoundDevice device;
    if (!device.Open(SoundDeviceKind::Loopback)) GTEST_SKIP() << "no ALC_SOFT_loopback";
    DecodedSound decoded;
    ASSERT_TRUE(DecodeOggVorbis(clip, decoded));
    const int sound = device.LoadDecoded(clip, decoded, 1);
    ASSERT_GE(sound, 0);
    EXPECT_EQ(device.PcmBytesHeld(), decoded.Samples.size() * sizeof(int16_t));
    EXPECT_GE(device.LoadDecoded(clip, DecodedSound{}, 1), 0);
    EXPECT_EQ(device.PcmBytesHeld(), 2 * decoded.Samples.size() * sizeof(int16_t));
    EXPECT_EQ(device.LoadDecoded({1, 2, 3}, DecodedSound{}, 1), -1);
    std::vector<int16_t> mix(2 * 4410);
    EXPECT_EQ(device.Play(sound, PlayParams{}), 0);
    device.RenderSamples(mix.data(), 4410);
    EXPECT_GT(Rms(mix), 1000.0);
}

// Long sounds stream: a copy holds a few seconds of decoded samples, however long the sound,
// plays on through the refills of the updates, loops without a gap and follows a new offset.
TEST_F(SoundDeviceTest, LongSoundsStreamWhileTheyPlay) {
    OpenALSoundDevice device;
    if (!device.Open(SoundDeviceKind::Loopback)) GTEST_SKIP() << "no ALC_SOFT_loopback";
    device.SetStreamedSoundBytes(0);
    // Bytes that are no Ogg Vorbis are refused at once, even when they would stream.
    EXPECT_EQ(device.LoadFromMemory(std::vector<uint8_t>(4096, 7), 1), -1);
    const int frames = 8 * 44100;
    const std::vector<uint8_t> track = EncodeTone(frames);
    const int sound = device.LoadFromMemory(track, 1);
    ASSERT_GE(sound, 0);
    EXPECT_EQ(device.PcmBytesHeld(), 0u); // nothing decoded before it plays
    const size_t idle = 0;
    EXPECT_EQ(device.Play(sound, PlayParams{true, 1.0f, 1.0f, 0}), 0);
    const size_t playing = device.PcmBytesHeld() - idle;
    EXPECT_GT(playing, 0u);
    EXPECT_LT(playing, frames * sizeof(int16_t) / 2); // far from the whole track

    // Ten seconds in tenths, an update after each: past the queue, past the loop's end.
    std::vector<int16_t> mix(2 * 4410);
    int64_t heard = 0;
    double quietest = 1e9;
    for (int step = 1; step <= 100; ++step) {
        device.RenderSamples(mix.data(), 4410);
        device.Update();
        quietest = std::min(quietest, Rms(mix));
        heard += 4410;
        ASSERT_EQ(device.Query(sound, 0, SoundQuery::Playing), 1) << "at step " << step;
    }
    EXPECT_GT(quietest, 1000.0); // never a silent tenth
    EXPECT_NEAR(device.Query(sound, 0, SoundQuery::OffsetSamples), heard % frames, 2000);
    EXPECT_NEAR(device.Query(sound, 0, SoundQuery::TimeMs), heard % frames * 1000 / 44100, 50);
    EXPECT_EQ(device.PcmBytesHeld(), idle + playing);

    // Updates held up for longer than the queue: the copy plays on from where it ran dry.
    for (int step = 0; step < 40; ++step) device.RenderSamples(mix.data(), 4410);
    device.Update();
    device.RenderSamples(mix.data(), 4410);
    EXPECT_GT(Rms(mix), 1000.0);

    device.SetOffset(sound, 0, 44100);
    EXPECT_NEAR(device.Query(sound, 0, SoundQuery::OffsetSamples), 44100, 100);
    device.Stop(sound, 0);
    EXPECT_EQ(device.PcmBytesHeld(), idle);

    // A stream that does not loop ends, and gives its source back.
    const int pool = device.SourceCount();
    EXPECT_EQ(device.Play(sound, PlayParams{false, 1.0f, 1.0f, frames - 4410}), 0);
    for (int step = 0; step < 5; ++step) {
        device.RenderSamples(mix.data(), 4410);
        device.Update();
    }
    EXPECT_EQ(device.Query(sound, 0, SoundQuery::Playing), 0);
    EXPECT_EQ(device.FreeSourceCount(), pool);
    EXPECT_EQ(device.PcmBytesHeld(), idle);
    device.Shutdown();
}

TEST_F(SoundDeviceTest, CopiesShareOneSourcePool) {
    OpenALSoundDevice device;
    if (!device.Open(SoundDeviceKind::Loopback)) GTEST_SKIP() << "no ALC_SOFT_loopback";
    const int pool = device.SourceCount();
    const int many = device.LoadFromMemory(clip, pool + 8);
    const int other = device.LoadFromMemory(clip, 2);
    ASSERT_GE(many, 0);
    int started = 0;
    for (int i = 0; i < pool + 8; ++i) started += device.Play(many, PlayParams{true}) >= 0;
    EXPECT_EQ(started, pool);
    EXPECT_EQ(device.Play(other, PlayParams{}), -1); // no source left
    device.Stop(many, 3);
    EXPECT_EQ(device.Play(other, PlayParams{}), 0);
}

TEST_F(SoundDeviceTest, EngineThroughOpenAL) {
    const TGameOptions saved = GameOptions;
    GameOptions.SoundsOff = false;
    GameOptions.SoundFxVolume = 1.0f;
    OpenALSoundDevice* loopback = nullptr;
    SetSoundDeviceOpener([&] {
        auto d = std::make_unique<OpenALSoundDevice>();
        if (!d->Open(SoundDeviceKind::Loopback)) return std::unique_ptr<ISoundDevice>();
        loopback = d.get();
        return std::unique_ptr<ISoundDevice>(std::move(d));
    });
    SetSoundSource([&](SoundKind, const std::string&, std::vector<uint8_t>& bytes) {
        bytes = clip;
        return true;
    });
    LoadAllSounds();
    if (loopback == nullptr) {
        SetSoundDeviceOpener({});
        SetSoundSource({});
        GameOptions = saved;
        GTEST_SKIP() << "no ALC_SOFT_loopback";
    }
    ASSERT_TRUE(SoundReady);
    const int click = SfxIndex("sfx_button_click");
    Sfx(msg_Start, click, false, 1.0f, 1.0f);
    EXPECT_TRUE(SfxPlaying(click));
    PlayMusic(music_MainMenu, true);
    std::vector<int16_t> mix(2 * 735);
    loopback->RenderSamples(mix.data(), 735);
    EXPECT_GT(Rms(mix), 1000.0);
    for (int i = 0; i < 30; ++i) {
        SoundTick();
        loopback->RenderSamples(mix.data(), 735);
    }
    EXPECT_FALSE(SfxPlaying(click)); // a quarter of a second has passed
    EXPECT_NEAR(MusicSprite(music_MainMenu)->FVolume, 0.3f, 1e-4f);
    EXPECT_GT(Rms(mix), 100.0); // the fading-in track is heard
    ShutdownSound();
    SetSoundDeviceOpener({});
    SetSoundSource({});
    GameOptions = saved;
}

TEST(SoundOutputDeviceTest, NullDriverOpensOrReportsFailure) {
    setenv("ALSOFT_DRIVERS", "null", 0);
    OpenALSoundDevice device;
    if (!device.Open(SoundDeviceKind::Output)) {
        EXPECT_FALSE(device.IsOpen());
        EXPECT_EQ(device.LoadFromMemory({'O'}, 1), -1);
        EXPECT_EQ(device.Play(0, PlayParams{}), -1);
        EXPECT_EQ(device.Query(0, 0, SoundQuery::Playing), 0);
        device.Stop(0, AllCopies);
        return;
    }
    EXPECT_GT(device.SourceCount(), 0);
    device.Shutdown();
}

} // namespace
} // namespace bw
