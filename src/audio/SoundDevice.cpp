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
            const size_t old = sound.Samples.size();
            sound.Samples.resize(old + static_cast<size_t>(got) / 2);
            std::memcpy(sound.Samples.data() + old, buffer, static_cast<size_t>(got) / 2 * 2);
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

// Decodes the bytes into a new buffer; 0 when they do not decode or the buffer fails.
ALuint BufferFrom(const std::vector<uint8_t>& bytes) {
    DecodedSound decoded;
    if (!DecodeOggVorbis(bytes, decoded)) return 0;
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

int OpenALSoundDevice::LoadFromMemory(const std::vector<uint8_t>& bytes, int copies) {
    if (!IsOpen() || copies < 1) return -1;
    TSound s;
    if (bytes.size() > FDeferredDecodeBytes) {
        // Long pieces (music, ambience) wait undecoded until they first play: decoding every
        // track at start-up would take seconds and hundreds of megabytes.
        if (!ProbeOggVorbis(bytes)) return -1;
        s.Encoded = bytes;
    } else {
        s.Buffer = BufferFrom(bytes);
        if (s.Buffer == 0) return -1;
    }
    s.Sources.assign(static_cast<size_t>(copies), 0);
    FSounds.push_back(std::move(s));
    return static_cast<int>(FSounds.size()) - 1;
}

bool OpenALSoundDevice::EnsureBuffer(TSound& s) {
    if (s.Buffer != 0) return true;
    if (s.Encoded.empty()) return false;
    s.Buffer = BufferFrom(s.Encoded);
    s.Encoded.clear();
    s.Encoded.shrink_to_fit();
    return s.Buffer != 0;
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
}

bool OpenALSoundDevice::Reclaim(TSound& s, int copy) {
    const ALuint source = s.Sources[static_cast<size_t>(copy)];
    if (source == 0) return false;
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
    if (s == nullptr || !EnsureBuffer(*s)) return -1;
    for (int copy = 0; copy < static_cast<int>(s->Sources.size()); ++copy) {
        if (Reclaim(*s, copy)) continue;
        if (FFreeSources.empty()) return -1;
        const ALuint source = FFreeSources.back();
        FFreeSources.pop_back();
        s->Sources[static_cast<size_t>(copy)] = source;
        alSourcei(source, AL_BUFFER, static_cast<ALint>(s->Buffer));
        alSourcei(source, AL_LOOPING, params.Loop ? AL_TRUE : AL_FALSE);
        alSourcef(source, AL_GAIN, std::clamp(params.Gain, 0.0f, 1.0f));
        alSourcef(source, AL_PITCH, std::max(params.Pitch, 0.01f));
        alSourcei(source, AL_SAMPLE_OFFSET, std::max(params.Offset, 0));
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
        if (Reclaim(*s, c))
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
    switch (what) {
    case SoundQuery::Playing:
        return 1;
    case SoundQuery::TimeMs: {
        ALfloat seconds = 0;
        alGetSourcef(source, AL_SEC_OFFSET, &seconds);
        return static_cast<int>(seconds * 1000.0f);
    }
    case SoundQuery::OffsetSamples: {
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
    FSounds.clear();
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
