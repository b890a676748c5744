// The platform sound layer: decoded sounds made of a number of copies, each copy a voice that
// can play once at a time, mixed by OpenAL.
//
// Sources are one shared pool: a copy takes a source from the pool when it starts and gives it
// back when it stops or finishes, so the total of copies of all sounds may exceed the pool.
// Gain, pitch and start offset are given to Play, so a copy never starts at a wrong level.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace bw {

// Copy arguments of Stop, SetGain, SetSpeed and SetOffset besides a copy index.
inline constexpr int AllCopies = -1;
inline constexpr int LastCopy = -66;

// What Query reports.
enum class SoundQuery : int {
    Playing = 1,       // 1 while the copy plays, else 0
    TimeMs = 4,        // playback time in milliseconds, 0 when not playing
    OffsetSamples = 6, // playback offset in sample frames, 0 when not playing
};

struct PlayParams {
    bool Loop = false;
    float Gain = 1.0f;
    float Pitch = 1.0f; // pitch and tempo together
    int Offset = 0;     // start offset in sample frames
};

// Decoded 16-bit PCM of an Ogg Vorbis stream.
struct DecodedSound {
    int Channels = 0;             // 1 or 2
    int SampleRate = 0;           // frames per second
    std::vector<int16_t> Samples; // interleaved
    int Frames() const { return Channels > 0 ? static_cast<int>(Samples.size()) / Channels : 0; }
};
// Decodes Ogg Vorbis bytes with libvorbisfile; false for anything but a mono or stereo stream.
bool DecodeOggVorbis(const std::vector<uint8_t>& bytes, DecodedSound& sound);

class ISoundDevice {
public:
    virtual ~ISoundDevice() = default;

    // Decodes Ogg Vorbis bytes (mono or stereo) into a sound of `copies` copies. Returns the
    // sound's handle, or -1 when the bytes cannot be decoded or the device is closed.
    virtual int LoadFromMemory(const std::vector<uint8_t>& bytes, int copies) = 0;
    // The same from a file; -1 also when the file cannot be read.
    virtual int LoadFromFile(const std::string& path, int copies);
    // LoadFromMemory for bytes that DecodeOggVorbis has already decoded into `decoded` (elsewhere,
    // perhaps on another thread; empty when they were not decoded). A device that keeps the
    // sound whole may take those samples instead of decoding again; one that streams it keeps
    // the bytes given.
    virtual int LoadDecoded(std::vector<uint8_t> bytes, const DecodedSound& decoded, int copies) {
        (void)decoded;
        return LoadFromMemory(bytes, copies);
    }

    // Starts the first copy that is not playing. Returns its index, or -1 when every copy is
    // busy, no source is free or the sound does not exist.
    virtual int Play(int sound, const PlayParams& params) = 0;
    // copy >= 0: that copy; AllCopies: every copy; LastCopy: the last copy.
    virtual void Stop(int sound, int copy) = 0;
    virtual void SetGain(int sound, int copy, float gain) = 0;
    virtual void SetSpeed(int sound, int copy, float factor) = 0;
    virtual void SetOffset(int sound, int copy, int offset) = 0;
    virtual int Query(int sound, int copy, SoundQuery what) = 0;
    // Gives the sources of finished copies back to the pool.
    virtual void Update() {}
    // Frees every sound, then the context and the device.
    virtual void Shutdown() = 0;
};

// Reads a whole file; false when it cannot be read.
bool ReadSoundFile(const std::string& path, std::vector<uint8_t>& bytes);

// Sounds longer than this (encoded) are streamed while they play instead of decoded whole:
// the music and the ambience loops, each several megabytes once decoded. Each playing copy
// decodes a few seconds ahead into a short queue of buffers that Update refills. The short
// effects (a few seconds at most) are decoded at once, so that none waits at its first play.
inline constexpr size_t StreamedSoundBytes = 64 * 1024;
// A streamed copy's queue: StreamBufferCount buffers of StreamBufferFrames frames each, about
// three seconds at 44100 Hz, so that a tick held up by a load does not starve it.
inline constexpr int StreamBufferCount = 8;
inline constexpr int StreamBufferFrames = 16384;

// Whether the bytes open as an Ogg Vorbis stream of one or two channels (reads the headers
// only).
bool ProbeOggVorbis(const std::vector<uint8_t>& bytes);

enum class SoundDeviceKind {
    Output,   // the "Generic Software" device, else the default one
    Loopback, // ALC_SOFT_loopback: nothing is heard; the owner renders the mix (tests)
};

// The OpenAL sound layer.
class OpenALSoundDevice final : public ISoundDevice {
public:
    inline static constexpr int MaxSources = 64;

    OpenALSoundDevice() = default;
    ~OpenALSoundDevice() override;
    OpenALSoundDevice(const OpenALSoundDevice&) = delete;
    OpenALSoundDevice& operator=(const OpenALSoundDevice&) = delete;

    // Opens the device, creates and activates a context and generates the source pool (up to
    // MaxSources, 8 fewer after each failed attempt). False when no device opens.
    bool Open(SoundDeviceKind kind = SoundDeviceKind::Output);
    bool IsOpen() const { return FContext != nullptr; }
    int SourceCount() const { return static_cast<int>(FAllSources.size()); }
    int FreeSourceCount() const { return static_cast<int>(FFreeSources.size()); }
    // Loopback only: mixes `frames` stereo 16-bit frames at 44100 Hz into `buffer`.
    bool RenderSamples(int16_t* buffer, int frames);

    int LoadFromMemory(const std::vector<uint8_t>& bytes, int copies) override;
    int LoadDecoded(std::vector<uint8_t> bytes, const DecodedSound& decoded, int copies) override;
    int Play(int sound, const PlayParams& params) override;
    void Stop(int sound, int copy) override;
    void SetGain(int sound, int copy, float gain) override;
    void SetSpeed(int sound, int copy, float factor) override;
    void SetOffset(int sound, int copy, int offset) override;
    int Query(int sound, int copy, SoundQuery what) override;
    void Update() override;
    void Shutdown() override;
    // Sounds of more encoded bytes than this are streamed while they play.
    void SetStreamedSoundBytes(size_t bytes) { FStreamedSoundBytes = bytes; }
    // Bytes of decoded samples the device holds now: the buffers of the short sounds and the
    // queues of the streamed copies that play.
    size_t PcmBytesHeld() const;

private:
    struct TStream;
    size_t FStreamedSoundBytes = StreamedSoundBytes;
    int AddWhole(const DecodedSound& decoded, int copies);
    struct TSound {
        unsigned Buffer = 0;                           // a short sound's samples
        size_t BufferBytes = 0;                        // their size
        std::vector<uint8_t> Encoded;                  // a streamed sound's Ogg Vorbis bytes
        std::vector<unsigned> Sources;                 // per copy; 0 while the copy is idle
        std::vector<std::shared_ptr<TStream>> Streams; // per copy of a streamed sound
        bool Streamed() const { return Buffer == 0; }
    };
    TSound* Find(int sound);
    // A streamed copy: opens its decoder at `offset` (frames), fills and queues its buffers.
    bool StartStream(TSound& s, int copy, bool loop, int offset);
    // Moves a streamed copy to `offset`, keeping it playing.
    void SeekStream(TSound& s, int copy, int offset);
    // Refills the buffers a streamed copy has played, and restarts a copy that ran dry while
    // updates were held up.
    void Refill(TSound& s, int copy);
    // Gives the copy's source back when it has finished; true while the copy holds a source.
    bool Reclaim(TSound& s, int copy);
    void Release(TSound& s, int copy);
    // Calls f(copy) for the copies named by `copy`.
    template <class F> void ForCopies(TSound& s, int copy, F f);

    void* FDevice = nullptr;  // ALCdevice*
    void* FContext = nullptr; // ALCcontext*
    void* FRender = nullptr;  // alcRenderSamplesSOFT for a loopback device
    std::vector<unsigned> FAllSources;
    std::vector<unsigned> FFreeSources;
    std::vector<TSound> FSounds;
};

} // namespace bw
