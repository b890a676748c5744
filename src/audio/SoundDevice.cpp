#include "audio/SoundDevice.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>

namespace bw {

bool ReadSoundFile(const std::string& path, std::vector<uint8_t>& bytes) {
    bytes.clear();
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size <= 0) return false;
    in.seekg(0, std::ios::beg);
    bytes.resize(static_cast<size_t>(size));
    in.read(reinterpret_cast<char*>(bytes.data()), size);
    if (!in) {
        bytes.clear();
        return false;
    }
    return true;
}

int ISoundDevice::LoadFromFile(const std::string& path, int copies) {
    std::vector<uint8_t> bytes;
    if (!ReadSoundFile(path, bytes)) return -1;
    return LoadFromMemory(bytes, copies);
}

// ---- Ogg Vorbis from memory -------------------------------------------------------------

namespace {

struct MemoryStream {
    const uint8_t* Data = nullptr;
    size_t Size = 0;
    size_t Pos = 0;
};

size_t MemRead(void* ptr, size_t size, size_t count, void* source) {
    auto* m = static_cast<MemoryStream*>(source);
    if (size == 0) return 0;
    const size_t avail = (m->Size - m->Pos) / size;
    const size_t n = std::min(count, avail);
    std::memcpy(ptr, m->Data + m->Pos, n * size);
    m->Pos += n * size;
    return n;
}

int MemSeek(void* source, ogg_int64_t offset, int whence) {
    auto* m = static_cast<MemoryStream*>(source);
    ogg_int64_t base = 0;
    if (whence == SEEK_CUR)
        base = static_cast<ogg_int64_t>(m->Pos);
    else if (whence == SEEK_END)
        base = static_cast<ogg_int64_t>(m->Size);
    else if (whence != SEEK_SET)
        return -1;
    const ogg_int64_t pos = base + offset;
    if (pos < 0 || pos > static_cast<ogg_int64_t>(m->Size)) return -1;
    m->Pos = static_cast<size_t>(pos);
    return 0;
}

long MemTell(void* source) {
    return static_cast<long>(static_cast<MemoryStream*>(source)->Pos);
}

} // namespace

bool ProbeOggVorbis(const std::vector<uint8_t>& bytes) {
    if (bytes.empty()) return false;
    MemoryStream stream{bytes.data(), bytes.size(), 0};
    const ov_callbacks callbacks{MemRead, MemSeek, nullptr, MemTell};
    OggVorbis_File file;
    if (ov_test_callbacks(&stream, &file, nullptr, 0, callbacks) != 0) return false;
    const vorbis_info* info = ov_info(&file, -1);
    const bool ok =
        info != nullptr && (info->channels == 1 || info->channels == 2) && info->rate > 0;
    ov_clear(&file);
    return ok;
}

bool DecodeOggVorbis(const std::vector<uint8_t>& bytes, DecodedSound& sound) {
    sound = DecodedSound{};
    if (bytes.empty()) return false;
    MemoryStream stream{bytes.data(), bytes.size(), 0};
    const ov_callbacks callbacks{MemRead, MemSeek, nullptr, MemTell};
    OggVorbis_File file;
    if (ov_open_callbacks(&stream, &file, nullptr, 0, callbacks) != 0) return false;
    const vorbis_info* info = ov_info(&file, -1);
    bool ok = info != nullptr && (info->channels == 1 || info->channels == 2) && info->rate > 0;
    if (ok) {
        sound.Channels = info->channels;
        sound.SampleRate = static_cast<int>(info->rate);
        const ogg_int64_t total = ov_pcm_total(&file, -1);
        if (total > 0) sound.Samples.reserve(static_cast<size_t>(total) * sound.Channels);
        char buffer[16384];
        int section = 0;
        for (;;) {
            const long got = ov_read(&file, buffer, sizeof buffer, 0, 2, 1, &section);
            if (got == OV_HOLE) continue;
            if (got < 0) {
                ok = false;
                break;
            }
            if (got == 0) break;
            const vorbis_info* now = ov_info(&file, section);
            if (now == nullptr || now->channels != sound.Channels) {
                ok = false; // a chained stream that changes its layout
                break;
            }
            const auto* samples = reinterpret_cast<const int16_t*>(buffer);
            sound.Samples.insert(sound.Samples.end(), samples, samples + got / 2);
        }
    }
    ov_clear(&file);
    if (!ok || sound.Samples.empty()) {
        sound = DecodedSound{};
        return false;
    }
    return true;
}

// ---- OpenAL ----------------------------------------------------------------------------

OpenALSoundDevice::~OpenALSoundDevice() {
    Shutdown();
}

bool OpenALSoundDevice::Open(SoundDeviceKind kind) {
    if (IsOpen()) return true;
    ALCdevice* device = nullptr;
    std::vector<ALCint> attributes;
    if (kind == SoundDeviceKind::Loopback) {
        if (!alcIsExtensionPresent(nullptr, "ALC_SOFT_loopback")) return false;
        auto open = reinterpret_cast<LPALCLOOPBACKOPENDEVICESOFT>(
            alcGetProcAddress(nullptr, "alcLoopbackOpenDeviceSOFT"));
        FRender = reinterpret_cast<void*>(alcGetProcAddress(nullptr, "alcRenderSamplesSOFT"));
        if (open == nullptr || FRender == nullptr) return false;
        device = open(nullptr);
        attributes = {ALC_FORMAT_CHANNELS_SOFT,
                      ALC_STEREO_SOFT,
                      ALC_FORMAT_TYPE_SOFT,
                      ALC_SHORT_SOFT,
                      ALC_FREQUENCY,
                      44100,
                      0};
    } else {
        device = alcOpenDevice("Generic Software");
        if (device == nullptr) device = alcOpenDevice(nullptr);
    }
    if (device == nullptr) {
        FRender = nullptr;
        return false;
    }
    ALCcontext* context =
        alcCreateContext(device, attributes.empty() ? nullptr : attributes.data());
    if (context == nullptr || !alcMakeContextCurrent(context)) {
        if (context != nullptr) alcDestroyContext(context);
        alcCloseDevice(device);
        FRender = nullptr;
        return false;
    }
    FDevice = device;
    FContext = context;
    for (int want = MaxSources; want > 0 && FAllSources.empty(); want -= 8) {
        std::vector<ALuint> ids(static_cast<size_t>(want));
        alGetError();
        alGenSources(want, ids.data());
        if (alGetError() == AL_NO_ERROR) FAllSources.assign(ids.begin(), ids.end());
    }
    FFreeSources.assign(FAllSources.rbegin(), FAllSources.rend());
    return true;
}

bool OpenALSoundDevice::RenderSamples(int16_t* buffer, int frames) {
    if (!IsOpen() || FRender == nullptr) return false;
    reinterpret_cast<LPALCRENDERSAMPLESSOFT>(FRender)(static_cast<ALCdevice*>(FDevice), buffer,
                                                      frames);
    return true;
}

namespace {

// A new buffer of decoded samples; 0 when there are none or the buffer fails.
ALuint BufferFrom(const DecodedSound& decoded) {
    if (decoded.Samples.empty() || decoded.Channels < 1) return 0;
    ALuint buffer = 0;
    alGetError();
    alGenBuffers(1, &buffer);
    if (alGetError() != AL_NO_ERROR) return 0;
    alBufferData(buffer, decoded.Channels == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16,
                 decoded.Samples.data(),
                 static_cast<ALsizei>(decoded.Samples.size() * sizeof(int16_t)),
                 decoded.SampleRate);
    if (alGetError() != AL_NO_ERROR) {
        alDeleteBuffers(1, &buffer);
        return 0;
    }
    return buffer;
}

} // namespace

// One streamed copy: its own decoder over the sound's encoded bytes, and its queue.
struct OpenALSoundDevice::TStream {
    MemoryStream Source;
    OggVorbis_File File{};
    bool Open = false;
    bool Loop = false;
    bool Ended = false; // the decoder reached the end of a sound that does not loop
    int Channels = 1;
    int Rate = 44100;
    int64_t Frames = 0;  // the whole sound's length
    int64_t QueueAt = 0; // the sound's frame at the start of the first queued buffer
    ALuint Buffers[StreamBufferCount] = {};
    int Queued[StreamBufferCount] = {}; // frames in each buffer while it is queued
    std::vector<int16_t> Scratch;

    TStream() = default;
    TStream(const TStream&) = delete;
    TStream& operator=(const TStream&) = delete;
    ~TStream() {
        if (Buffers[0] != 0) alDeleteBuffers(StreamBufferCount, Buffers);
        if (Open) ov_clear(&File);
    }
    int Slot(ALuint buffer) const {
        for (int i = 0; i < StreamBufferCount; ++i)
            if (Buffers[i] == buffer) return i;
        return -1;
    }
    // The frame of the sound the source plays now.
    int64_t PlayingFrame(ALuint source) const {
        ALint offset = 0;
        alGetSourcei(source, AL_SAMPLE_OFFSET, &offset);
        int64_t frame = QueueAt + std::max(offset, 0);
        if (Loop && Frames > 0) frame %= Frames;
        return frame;
    }
    // Decodes up to one buffer's frames into Scratch, wrapping to the start for a loop.
    // Returns the frames decoded (0 at the end or on a fault).
    int Decode() {
        Scratch.resize(static_cast<size_t>(StreamBufferFrames) * Channels);
        const long want = static_cast<long>(Scratch.size() * sizeof(int16_t));
        long have = 0;
        int section = 0;
        bool wrapped = false; // a loop that yields nothing after its wrap is empty: stop
        while (have < want && !Ended) {
            const long got = ov_read(&File, reinterpret_cast<char*>(Scratch.data()) + have,
                                     static_cast<int>(want - have), 0, 2, 1, &section);
            if (got == OV_HOLE) continue;
            if (got > 0) {
                const vorbis_info* now = ov_info(&File, section);
                if (now == nullptr || now->channels != Channels) {
                    Ended = true; // a chained stream that changes its layout
                    break;
                }
                have += got;
                wrapped = false;
                continue;
            }
            // The end (or a fault): a loop starts again, anything else ends here.
            if (!Loop || wrapped || got < 0 || ov_pcm_seek(&File, 0) != 0) Ended = true;
            wrapped = true;
        }
        return static_cast<int>(have / static_cast<long>(sizeof(int16_t) * Channels));
    }
    // Fills buffer `slot` and queues it on `source`; false when nothing was left to decode.
    bool Queue(ALuint source, int slot) {
        const int frames = Decode();
        if (frames <= 0) return false;
        alBufferData(
            Buffers[slot], Channels == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16, Scratch.data(),
            static_cast<ALsizei>(static_cast<size_t>(frames) * Channels * sizeof(int16_t)), Rate);
        alSourceQueueBuffers(source, 1, &Buffers[slot]);
        Queued[slot] = frames;
        return true;
    }
    // Queues every free buffer; false when none could be queued at all.
    bool QueueAll(ALuint source) {
        bool any = false;
        for (int i = 0; i < StreamBufferCount; ++i)
            if (Queued[i] == 0 && Queue(source, i)) any = true;
        return any;
    }
    // Takes every buffer off the source (stopped first) and forgets what they held.
    void Unqueue(ALuint source) {
        alSourceStop(source);
        alSourcei(source, AL_BUFFER, 0);
        for (int& q : Queued) q = 0;
    }
    bool SeekTo(int64_t frame) {
        if (Frames > 0) frame = Loop ? frame % Frames : std::min(frame, Frames);
        Ended = false;
        QueueAt = frame;
        return ov_pcm_seek(&File, frame) == 0;
    }
};

int OpenALSoundDevice::LoadFromMemory(const std::vector<uint8_t>& bytes, int copies) {
    return LoadDecoded(bytes, DecodedSound{}, copies);
}

int OpenALSoundDevice::LoadDecoded(std::vector<uint8_t> bytes, const DecodedSound& decoded,
                                   int copies) {
    if (!IsOpen() || copies < 1) return -1;
    if (bytes.size() > FStreamedSoundBytes) {
        // Long pieces (music, ambience) are streamed: decoded whole, every track would hold
        // tens of megabytes for as long as the game runs.
        if (!ProbeOggVorbis(bytes)) return -1;
        TSound s;
        s.Encoded = std::move(bytes);
        s.Streams.resize(static_cast<size_t>(copies));
        s.Sources.assign(static_cast<size_t>(copies), 0);
        FSounds.push_back(std::move(s));
        return static_cast<int>(FSounds.size()) - 1;
    }
    if (!decoded.Samples.empty()) return AddWhole(decoded, copies);
    DecodedSound now;
    if (!DecodeOggVorbis(bytes, now)) return -1;
    return AddWhole(now, copies);
}

int OpenALSoundDevice::AddWhole(const DecodedSound& decoded, int copies) {
    TSound s;
    s.Buffer = BufferFrom(decoded);
    if (s.Buffer == 0) return -1;
    ALint size = 0;
    alGetBufferi(s.Buffer, AL_SIZE, &size);
    s.BufferBytes = static_cast<size_t>(std::max(size, 0));
    s.Sources.assign(static_cast<size_t>(copies), 0);
    FSounds.push_back(std::move(s));
    return static_cast<int>(FSounds.size()) - 1;
}

size_t OpenALSoundDevice::PcmBytesHeld() const {
    size_t bytes = 0;
    for (const TSound& s : FSounds) {
        bytes += s.BufferBytes;
        for (const auto& stream : s.Streams) // the queue and the scratch buffer
            if (stream)
                bytes += sizeof(int16_t) * static_cast<size_t>(stream->Channels) *
                         StreamBufferFrames * (StreamBufferCount + 1);
    }
    return bytes;
}

bool OpenALSoundDevice::StartStream(TSound& s, int copy, bool loop, int offset) {
    auto stream = std::make_shared<TStream>();
    stream->Source = MemoryStream{s.Encoded.data(), s.Encoded.size(), 0};
    const ov_callbacks callbacks{MemRead, MemSeek, nullptr, MemTell};
    if (ov_open_callbacks(&stream->Source, &stream->File, nullptr, 0, callbacks) != 0) return false;
    stream->Open = true;
    const vorbis_info* info = ov_info(&stream->File, -1);
    if (info == nullptr || (info->channels != 1 && info->channels != 2) || info->rate <= 0)
        return false;
    stream->Channels = info->channels;
    stream->Rate = static_cast<int>(info->rate);
    stream->Frames = std::max<int64_t>(ov_pcm_total(&stream->File, -1), 0);
    stream->Loop = loop;
    alGetError();
    alGenBuffers(StreamBufferCount, stream->Buffers);
    if (alGetError() != AL_NO_ERROR) {
        stream->Buffers[0] = 0;
        return false;
    }
    if (offset > 0 && !stream->SeekTo(offset)) return false;
    const ALuint source = s.Sources[static_cast<size_t>(copy)];
    if (!stream->QueueAll(source)) {
        stream->Unqueue(source);
        return false;
    }
    s.Streams[static_cast<size_t>(copy)] = std::move(stream);
    return true;
}

void OpenALSoundDevice::Refill(TSound& s, int copy) {
    TStream* stream = s.Streams[static_cast<size_t>(copy)].get();
    const ALuint source = s.Sources[static_cast<size_t>(copy)];
    if (stream == nullptr || source == 0) return;
    ALint processed = 0;
    alGetSourcei(source, AL_BUFFERS_PROCESSED, &processed);
    for (; processed > 0; --processed) {
        ALuint done = 0;
        alSourceUnqueueBuffers(source, 1, &done);
        const int slot = stream->Slot(done);
        if (slot < 0) break;
        stream->QueueAt += stream->Queued[slot];
        if (stream->Loop && stream->Frames > 0) stream->QueueAt %= stream->Frames;
        stream->Queued[slot] = 0;
    }
    stream->QueueAll(source);
    ALint state = AL_STOPPED;
    alGetSourcei(source, AL_SOURCE_STATE, &state);
    ALint queued = 0;
    alGetSourcei(source, AL_BUFFERS_QUEUED, &queued);
    // A copy that played its queue dry while no update came plays on from where it stopped.
    if (state == AL_STOPPED && queued > 0) alSourcePlay(source);
}

void OpenALSoundDevice::SeekStream(TSound& s, int copy, int offset) {
    TStream* stream = s.Streams[static_cast<size_t>(copy)].get();
    const ALuint source = s.Sources[static_cast<size_t>(copy)];
    if (stream == nullptr || source == 0) return;
    stream->Unqueue(source);
    if (stream->SeekTo(std::max(offset, 0)) && stream->QueueAll(source)) alSourcePlay(source);
}

OpenALSoundDevice::TSound* OpenALSoundDevice::Find(int sound) {
    if (!IsOpen() || sound < 0 || sound >= static_cast<int>(FSounds.size())) return nullptr;
    return &FSounds[static_cast<size_t>(sound)];
}

void OpenALSoundDevice::Release(TSound& s, int copy) {
    ALuint& source = s.Sources[static_cast<size_t>(copy)];
    if (source == 0) return;
    alSourceStop(source);
    alSourcei(source, AL_BUFFER, 0);
    FFreeSources.push_back(source);
    source = 0;
    if (s.Streamed()) s.Streams[static_cast<size_t>(copy)].reset();
}

bool OpenALSoundDevice::Reclaim(TSound& s, int copy) {
    const ALuint source = s.Sources[static_cast<size_t>(copy)];
    if (source == 0) return false;
    if (s.Streamed()) Refill(s, copy);
    ALint state = AL_STOPPED;
    alGetSourcei(source, AL_SOURCE_STATE, &state);
    if (state == AL_PLAYING || state == AL_PAUSED) return true;
    Release(s, copy);
    return false;
}

template <class F> void OpenALSoundDevice::ForCopies(TSound& s, int copy, F f) {
    const int count = static_cast<int>(s.Sources.size());
    if (copy == AllCopies) {
        for (int i = 0; i < count; ++i) f(i);
    } else if (copy == LastCopy) {
        f(count - 1);
    } else if (copy >= 0 && copy < count) {
        f(copy);
    }
}

int OpenALSoundDevice::Play(int sound, const PlayParams& params) {
    TSound* s = Find(sound);
    if (s == nullptr) return -1;
    for (int copy = 0; copy < static_cast<int>(s->Sources.size()); ++copy) {
        if (Reclaim(*s, copy)) continue;
        if (FFreeSources.empty()) return -1;
        const ALuint source = FFreeSources.back();
        FFreeSources.pop_back();
        s->Sources[static_cast<size_t>(copy)] = source;
        alSourcef(source, AL_GAIN, std::clamp(params.Gain, 0.0f, 1.0f));
        alSourcef(source, AL_PITCH, std::max(params.Pitch, 0.01f));
        if (s->Streamed()) {
            alSourcei(source, AL_LOOPING, AL_FALSE); // the stream loops itself
            if (!StartStream(*s, copy, params.Loop, params.Offset)) {
                Release(*s, copy);
                return -1;
            }
        } else {
            alSourcei(source, AL_BUFFER, static_cast<ALint>(s->Buffer));
            alSourcei(source, AL_LOOPING, params.Loop ? AL_TRUE : AL_FALSE);
            alSourcei(source, AL_SAMPLE_OFFSET, std::max(params.Offset, 0));
        }
        alSourcePlay(source);
        return copy;
    }
    return -1;
}

void OpenALSoundDevice::Stop(int sound, int copy) {
    TSound* s = Find(sound);
    if (s == nullptr) return;
    ForCopies(*s, copy, [&](int c) { Release(*s, c); });
}

void OpenALSoundDevice::SetGain(int sound, int copy, float gain) {
    TSound* s = Find(sound);
    if (s == nullptr) return;
    ForCopies(*s, copy, [&](int c) {
        if (Reclaim(*s, c))
            alSourcef(s->Sources[static_cast<size_t>(c)], AL_GAIN, std::clamp(gain, 0.0f, 1.0f));
    });
}

void OpenALSoundDevice::SetSpeed(int sound, int copy, float factor) {
    TSound* s = Find(sound);
    if (s == nullptr) return;
    ForCopies(*s, copy, [&](int c) {
        if (Reclaim(*s, c))
            alSourcef(s->Sources[static_cast<size_t>(c)], AL_PITCH, std::max(factor, 0.01f));
    });
}

void OpenALSoundDevice::SetOffset(int sound, int copy, int offset) {
    TSound* s = Find(sound);
    if (s == nullptr) return;
    ForCopies(*s, copy, [&](int c) {
        if (!Reclaim(*s, c)) return;
        if (s->Streamed())
            SeekStream(*s, c, offset);
        else
            alSourcei(s->Sources[static_cast<size_t>(c)], AL_SAMPLE_OFFSET, std::max(offset, 0));
    });
}

int OpenALSoundDevice::Query(int sound, int copy, SoundQuery what) {
    TSound* s = Find(sound);
    if (s == nullptr) return 0;
    if (copy == LastCopy) copy = static_cast<int>(s->Sources.size()) - 1;
    if (copy < 0 || copy >= static_cast<int>(s->Sources.size())) return 0;
    if (!Reclaim(*s, copy)) return 0;
    const ALuint source = s->Sources[static_cast<size_t>(copy)];
    const TStream* stream = s->Streamed() ? s->Streams[static_cast<size_t>(copy)].get() : nullptr;
    switch (what) {
    case SoundQuery::Playing:
        return 1;
    case SoundQuery::TimeMs: {
        if (stream != nullptr)
            return static_cast<int>(int64_t{1000} * stream->PlayingFrame(source) / stream->Rate);
        ALfloat seconds = 0;
        alGetSourcef(source, AL_SEC_OFFSET, &seconds);
        return static_cast<int>(seconds * 1000.0f);
    }
    case SoundQuery::OffsetSamples: {
        if (stream != nullptr) return static_cast<int>(stream->PlayingFrame(source));
        ALint offset = 0;
        alGetSourcei(source, AL_SAMPLE_OFFSET, &offset);
        return offset;
    }
    }
    return 0;
}

void OpenALSoundDevice::Update() {
    if (!IsOpen()) return;
    for (TSound& s : FSounds)
        for (int c = 0; c < static_cast<int>(s.Sources.size()); ++c) Reclaim(s, c);
}

void OpenALSoundDevice::Shutdown() {
    if (!IsOpen()) return;
    for (TSound& s : FSounds) {
        for (int c = 0; c < static_cast<int>(s.Sources.size()); ++c) Release(s, c);
        if (s.Buffer != 0) alDeleteBuffers(1, &s.Buffer);
    }
    FSounds.clear(); // the streams' buffers go with their sounds, before the context
    if (!FAllSources.empty())
        alDeleteSources(static_cast<ALsizei>(FAllSources.size()), FAllSources.data());
    FAllSources.clear();
    FFreeSources.clear();
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(static_cast<ALCcontext*>(FContext));
    alcCloseDevice(static_cast<ALCdevice*>(FDevice));
    FContext = nullptr;
    FDevice = nullptr;
    FRender = nullptr;
}

} // namespace bw
