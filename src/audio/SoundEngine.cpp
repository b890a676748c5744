#include "audio/SoundEngine.h"

#include "base/GameObjects.h"
#include "base/GameOptions.h"
#include "data/KilnArchive.h"
#include "platform/Log.h"
#include "platform/Random.h"

#include <algorithm>
#include <cctype>
#include <new>
#include <system_error>
#include <thread>
#include <utility>

namespace bw {

TSpriteEngine* MusicEngine = nullptr;
TSpriteEngine* AmbienceEngine = nullptr;
TSpriteEngine* SfxEngine = nullptr;
int CurrentMusic = -1;
bool SoundReady = false;
TLevelMusic Playlist;
int PlaylistPos = 0;
int PlaylistSeconds = 0;
bool SoundInCutScene = false;

namespace {

constexpr float MusicFadeStep = 0.01f;
constexpr float AmbienceFadeStep = 0.02f;

std::unique_ptr<ISoundDevice> TheDevice;
SoundSource TheSource;
SoundDeviceOpener TheOpener;
int LastBirdMatch = 0;    // 2 .. 5, 0 before the first choice
bool SoundPaused = false; // between PauseAllSound and ResumeAllSound

bool Active() {
    return SoundReady && !GameOptions.SoundsOff && TheDevice != nullptr;
}

std::vector<SoundListEntry> BuildSoundList() {
    std::vector<SoundListEntry> list;
    const auto music = [&](const std::string& name) {
        list.push_back({SoundKind::Music, name, 1});
    };
    const auto ambience = [&](const std::string& name) {
        list.push_back({SoundKind::Ambience, "ambience_" + name + ".ogg", 1});
    };
    const auto fx = [&](const std::string& name, int copies) {
        list.push_back({SoundKind::Effect, "sfx_" + name + ".ogg", copies});
    };
    music("MainMenu.ogg");
    music("Map.ogg");
    for (int n = 1; n <= 6; ++n) music("Game_" + std::to_string(n) + ".ogg");
    for (const char* name :
         {"day", "night", "water", "wind", "map", "city", "station", "train", "winter", "rain"})
        ambience(name);
    fx("button_click", 3);
    fx("button_over", 3);
    fx("start_game", 2);
    for (int n = 1; n <= 5; ++n) fx("bird_match_" + std::to_string(n), 4);
    fx("bird_pick", 5);
    fx("bird_put", 3);
    fx("bird_move", 3);
    fx("bird_loop", 3);
    fx("bird_unbound", 2);
    for (int n = 1; n <= 4; ++n) fx("cat_match_" + std::to_string(n), 3);
    for (const char* name : {"nestling_chain", "nestling_open", "key_pick", "key_put", "key_loop"})
        fx(name, 3);
    fx("bomba_exp", 10);
    fx("bomba_pick", 3);
    fx("bomba_loop", 3);
    fx("bomba_burn", 3);
    fx("fireworks_exp", 25);
    fx("fireworks_pick", 3);
    fx("fireworks_loop", 3);
    fx("fireworks_target", 5);
    fx("lightning_exp", 3);
    fx("lightning_pick", 3);
    fx("lightning_loop", 3);
    for (int n = 1; n <= 3; ++n) fx("lightning_target_" + std::to_string(n), 7);
    fx("paint_exp", 3);
    fx("paint_pick", 3);
    fx("paint_loop", 3);
    fx("paint_drop", 7);
    fx("wall_destroy", 20);
    fx("wall_unblock", 10);
    fx("gates", 3);
    for (const char* name : {"message", "popup_create", "popup_open", "popup_close", "task_open",
                             "task_close", "dialog_left", "dialog_right"})
        fx(name, 1);
    for (int n = 1; n <= 8; ++n) fx("dialog_voice_" + std::to_string(n), 1);
    fx("award_new", 3);
    fx("boss_eat", 3);
    fx("boss_fallasleep", 1);
    fx("hamburger_pick", 3);
    fx("cat_drop", 10);
    fx("cat_jump", 3);
    fx("cat_move", 3);
    fx("gameover", 1);
    fx("growup", 3);
    fx("mm_lightning", 3);
    fx("new_objects", 3);
    fx("object_move", 3);
    fx("result_nestling", 7);
    fx("result_score", 20);
    fx("result_string", 5);
    fx("result_task_fail", 1);
    fx("result_task_win", 1);
    fx("win", 1);
    for (const char* name :
         {"intro_1", "intro_3", "intro_4", "intro_5", "outro_1", "outro_2", "outro_3", "outro_4"})
        fx(name, 1);
    return list;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

int IndexOfKind(SoundKind kind, std::string_view name) {
    std::string wanted(name);
    if (wanted.size() < 4 || !SameName(std::string_view(wanted).substr(wanted.size() - 4), ".ogg"))
        wanted += ".ogg";
    int index = 0;
    for (const SoundListEntry& e : SoundList()) {
        if (e.Kind != kind) continue;
        if (SameName(e.FileName, wanted)) return index;
        ++index;
    }
    return -1;
}

int FxIndex(const char* name) {
    return SfxIndex(name);
}

// The loose file in the sound's folder beside the program.
int LoadFromFolder(SoundKind kind, const std::string& fileName, int copies) {
    const char* folder = kind == SoundKind::Music      ? "Music/"
                         : kind == SoundKind::Ambience ? "Ambience/"
                                                       : "SFX/";
    return TheDevice->LoadFromFile(DataPath(folder + fileName), copies);
}

const TKilnArchive* SoundArchive(SoundKind kind) {
    return kind == SoundKind::Music      ? Archives.Music
           : kind == SoundKind::Ambience ? Archives.Ambience
                                         : Archives.Sfx;
}

// The archive a sound comes from, for the log.
std::string SoundArchiveName(SoundKind kind) {
    const TKilnArchive* archive = SoundArchive(kind);
    if (archive == nullptr || archive->FileName().empty()) return "(archive not open)";
    return archive->FileName();
}

// Reads a sound record; the empty text, or why it cannot be read.
std::string ArchiveSource(SoundKind kind, const std::string& fileName,
                          std::vector<uint8_t>& bytes) {
    const TKilnArchive* archive = SoundArchive(kind);
    if (archive == nullptr || !archive->Ready()) return "the archive is not open";
    const int index = archive->IndexOf(fileName);
    if (index < 0) return "not found";
    const ArchiveReadResult read = archive->ReadRecordAt(index, bytes);
    if (read != ArchiveReadResult::Ok) return ArchiveReadResultText(read);
    return {};
}

template <class T> T* SpriteAt(TSpriteEngine* engine, int index) {
    if (engine == nullptr || index < 0 || index >= engine->GetCount()) return nullptr;
    return dynamic_cast<T*>(engine->GetItem(index));
}

// A track's or loop's first copy.
bool FirstCopyPlaying(const TSoundNilSprite& s) {
    return s.FSound >= 0 && TheDevice->Query(s.FSound, 0, SoundQuery::Playing) != 0;
}

// Silences a track at once. The copy is really stopped (keeping its offset), so that a later
// play or restart finds it free.
void SilenceMusic(TMusicNilSprite& m) {
    if (m.FSound >= 0 && FirstCopyPlaying(m)) {
        m.FSavedTime = TheDevice->Query(m.FSound, 0, SoundQuery::OffsetSamples);
        TheDevice->Stop(m.FSound, AllCopies);
    }
    m.FVolume = 0.0f;
    m.FPaused = true;
}

std::vector<std::string>& StartedEffects() {
    static std::vector<std::string> started;
    return started;
}

void PlayEffect(int index, bool loop, float pitch, float volume, int offset = 0) {
    TSoundFxNilSprite* s = SfxSprite(index);
    if (s == nullptr || s->FSound < 0) return;
    // Kept for the state dumps; nobody reads it in a normal game, so it stays short.
    if (StartedEffects().size() < 256) StartedEffects().push_back(s->FFileName);
    s->FVolume = volume;
    s->FPitch = pitch;
    TheDevice->Play(s->FSound, PlayParams{loop, volume, pitch, offset});
}

} // namespace

std::vector<std::string> TakeStartedEffects() {
    std::vector<std::string> out;
    out.swap(StartedEffects());
    return out;
}

const std::vector<SoundListEntry>& SoundList() {
    static const std::vector<SoundListEntry> list = BuildSoundList();
    return list;
}

int GameTrackMusic(int track) {
    return track >= 1 && track <= 6 ? music_Game1 + track - 1 : -1;
}

int LocationAmbienceLoop(int location) {
    switch (location) {
    case 1:
    case 2:
    case 9:
        return ambience_Day;
    case 3:
    case 8:
        return ambience_Water;
    case 4:
    case 5:
        return ambience_Night;
    case 6:
        return ambience_Station;
    case 7:
        return ambience_Train;
    case 10:
        return ambience_Wind;
    case 11:
        return ambience_Winter;
    case 12:
        return ambience_City;
    default:
        return -1;
    }
}

int MusicIndex(std::string_view name) {
    return IndexOfKind(SoundKind::Music, name);
}
int AmbienceIndex(std::string_view name) {
    return IndexOfKind(SoundKind::Ambience, name);
}
int SfxIndex(std::string_view name) {
    return IndexOfKind(SoundKind::Effect, name);
}

TMusicNilSprite* MusicSprite(int index) {
    return SpriteAt<TMusicNilSprite>(MusicEngine, index);
}
TAmbienceNilSprite* AmbienceSprite(int index) {
    return SpriteAt<TAmbienceNilSprite>(AmbienceEngine, index);
}
TSoundFxNilSprite* SfxSprite(int index) {
    return SpriteAt<TSoundFxNilSprite>(SfxEngine, index);
}

ISoundDevice* SoundDevice() {
    return TheDevice.get();
}
void SetSoundDeviceOpener(SoundDeviceOpener opener) {
    TheOpener = std::move(opener);
}
void SetSoundSource(SoundSource source) {
    TheSource = std::move(source);
}

namespace {
bool TimeFollowsTicks = true;
} // namespace

bool MusicTimeFollowsTicks() {
    return TimeFollowsTicks;
}

void SetMusicTimeFollowsTicks(bool follows) {
    TimeFollowsTicks = follows;
}

std::function<void(int ms)>& MainMenuClockHook() {
    static std::function<void(int)> hook;
    return hook;
}

// ---- Fades ----------------------------------------------------------------------------

void TMusicNilSprite::DoMove(float) {
    if (FDeaded || FSound < 0 || !Active()) return;
    if (!FPaused) {
        if (FVolume < 1.0f) {
            FVolume = std::min(FVolume + MusicFadeStep, 1.0f);
            TheDevice->SetGain(FSound, AllCopies, FVolume * GameOptions.MusicVolume);
        }
        if (FIndex == music_MainMenu && MainMenuClockHook() && TimeFollowsTicks &&
            FirstCopyPlaying(*this))
            MainMenuClockHook()(TheDevice->Query(FSound, 0, SoundQuery::TimeMs));
    } else if (FVolume > 0.0f) {
        FVolume -= MusicFadeStep;
        if (!(FVolume > 0.0f)) {
            FVolume = 0.0f;
            FSavedTime = TheDevice->Query(FSound, 0, SoundQuery::OffsetSamples);
            TheDevice->Stop(FSound, AllCopies);
        }
        TheDevice->SetGain(FSound, AllCopies, FVolume * GameOptions.MusicVolume);
    }
}

void TAmbienceNilSprite::DoMove(float) {
    if (FDeaded || FSound < 0 || !Active()) return;
    if (!FStoped) {
        if (FVolume < 1.0f) FVolume = std::min(FVolume + AmbienceFadeStep, 1.0f);
    } else if (FVolume > 0.0f) {
        FVolume -= AmbienceFadeStep;
        if (!(FVolume > 0.0f)) {
            FVolume = 0.0f;
            TheDevice->Stop(FSound, AllCopies);
        }
    } else {
        return;
    }
    TheDevice->SetGain(FSound, AllCopies, FVolume * GameOptions.SoundFxVolume);
}

// ---- Loading --------------------------------------------------------------------------

// Between BeginLoadingSounds and FinishLoadingSounds a thread of the batch's own reads the
// sounds from their archives and decodes those the device will keep whole, while the caller
// goes on (the main batch reads its pictures meanwhile).
struct SoundBatch::Work {
    struct Item {
        std::vector<uint8_t> Bytes;
        std::string Problem; // why the bytes could not be read
        DecodedSound Decoded;
        bool Read = false;
    };
    std::vector<Item> Items; // one per entry of SoundList()
    std::thread Reader;
    ~Work() {
        if (Reader.joinable()) Reader.join();
    }
};

SoundBatch::SoundBatch() = default;
SoundBatch::SoundBatch(SoundBatch&&) noexcept = default;
SoundBatch& SoundBatch::operator=(SoundBatch&&) noexcept = default;
SoundBatch::~SoundBatch() = default;

namespace {

// Reads one sound's bytes from the source set or its archive.
void ReadSound(const SoundListEntry& e, SoundBatch::Work::Item& item) {
    item.Bytes.clear();
    if (TheSource)
        item.Problem = TheSource(e.Kind, e.FileName, item.Bytes) ? std::string() : "not found";
    else
        item.Problem = ArchiveSource(e.Kind, e.FileName, item.Bytes);
    item.Read = true;
}

// The reader thread: touches nothing but the items and the sound archives, which nothing else
// reads meanwhile. What fails here for want of memory is read again when it is added.
void ReadAndDecode(std::vector<SoundBatch::Work::Item>& items) {
    const auto& list = SoundList();
    for (size_t i = 0; i < items.size() && i < list.size(); ++i) {
        auto& item = items[i];
        try {
            if (!item.Read) ReadSound(list[i], item);
            if (item.Problem.empty() && item.Bytes.size() <= StreamedSoundBytes)
                DecodeOggVorbis(item.Bytes, item.Decoded);
        } catch (const std::bad_alloc&) {
            item = SoundBatch::Work::Item{};
        }
    }
}

} // namespace

SoundBatch BeginLoadingSounds() {
    SoundBatch batch;
    if (GameOptions.SoundsOff) return batch;
    if (MusicEngine != nullptr) ShutdownSound();
    if (TheOpener) {
        TheDevice = TheOpener();
    } else {
        auto device = std::make_unique<OpenALSoundDevice>();
        if (device->Open(SoundDeviceKind::Output)) TheDevice = std::move(device);
    }
    if (TheDevice == nullptr) {
        GameOptions.SoundsOff = true;
        WriteLog("No sound device could be opened; sound is off");
        return batch;
    }
    auto work = std::make_unique<SoundBatch::Work>();
    const auto& list = SoundList();
    work->Items.resize(list.size());
    if (TheSource) {
        // A source set by its owner is only called on this thread.
        for (size_t i = 0; i < list.size(); ++i) ReadSound(list[i], work->Items[i]);
    } else {
        // The archives sort their index on the first lookup: here, not on the reader.
        for (SoundKind kind : {SoundKind::Music, SoundKind::Ambience, SoundKind::Effect})
            if (const TKilnArchive* archive = SoundArchive(kind)) archive->IndexOf("");
    }
    try {
        work->Reader = std::thread(ReadAndDecode, std::ref(work->Items));
    } catch (const std::system_error&) {
        // No thread: each sound is read and decoded when it is added.
    }
    batch.work_ = std::move(work);
    return batch;
}

void FinishLoadingSounds(SoundBatch& batch, const std::function<void()>& progress) {
    const std::unique_ptr<SoundBatch::Work> work = std::move(batch.work_);
    if (work == nullptr) return; // sound is off
    if (work->Reader.joinable()) work->Reader.join();
    // Sound was shut down meanwhile.
    if (TheDevice == nullptr || GameOptions.SoundsOff || MusicEngine != nullptr) return;
    MusicEngine = new TSpriteEngine();
    AmbienceEngine = new TSpriteEngine();
    SfxEngine = new TSpriteEngine();
    int counts[3] = {0, 0, 0};
    const auto& list = SoundList();
    for (size_t i = 0; i < list.size() && i < work->Items.size(); ++i) {
        const SoundListEntry& e = list[i];
        auto& item = work->Items[i];
        TSoundNilSprite* s = nullptr;
        const int kind = static_cast<int>(e.Kind);
        switch (e.Kind) {
        case SoundKind::Music:
            s = new TMusicNilSprite(MusicEngine);
            break;
        case SoundKind::Ambience:
            s = new TAmbienceNilSprite(AmbienceEngine);
            break;
        case SoundKind::Effect:
            s = new TSoundFxNilSprite(SfxEngine);
            break;
        }
        s->FVisible = false;
        s->FIndex = counts[kind]++;
        s->FFileName = e.FileName;
        if (progress) progress();
        if (!TheSource) s->FSound = LoadFromFolder(e.Kind, e.FileName, e.Copies);
        if (s->FSound < 0) {
            if (!item.Read) ReadSound(e, item);
            if (item.Problem.empty()) {
                s->FSound = TheDevice->LoadDecoded(std::move(item.Bytes), item.Decoded, e.Copies);
                if (s->FSound < 0) item.Problem = "does not decode as Ogg Vorbis";
            }
        }
        if (s->FSound < 0)
            WriteLog("Sound " + SoundArchiveName(e.Kind) + " | " + e.FileName +
                     " not loaded: " + item.Problem);
        item = SoundBatch::Work::Item{}; // its samples are the device's now
    }
    CurrentMusic = -1;
    LastBirdMatch = 0;
    SoundPaused = false;
    SoundReady = true;
}

void LoadAllSounds(const std::function<void()>& progress) {
    SoundBatch batch = BeginLoadingSounds();
    FinishLoadingSounds(batch, progress);
}

void SoundTick() {
    if (!Active()) return;
    TheDevice->Update();
    MusicEngine->Move(1.0f);
    AmbienceEngine->Move(1.0f);
    SfxEngine->Move(1.0f);
}

// ---- Music ----------------------------------------------------------------------------

void PlayMusic(int index, bool restart, bool immediate, bool remember) {
    if (!Active()) return;
    if (!restart && index == CurrentMusic) return;
    if (TMusicNilSprite* old = MusicSprite(CurrentMusic); old != nullptr) {
        old->FPaused = true;
        if (remember && old->FSound >= 0)
            old->FSavedTime = TheDevice->Query(old->FSound, 0, SoundQuery::OffsetSamples);
        if (immediate) {
            SilenceMusic(*old);
            if (old->FSound >= 0) TheDevice->SetGain(old->FSound, AllCopies, 0.0f);
        }
    }
    if (TMusicNilSprite* m = MusicSprite(index); m != nullptr) {
        if (m->FSound >= 0) {
            // A track still fading out holds its copy: take it over where it is.
            if (FirstCopyPlaying(*m)) {
                m->FSavedTime = TheDevice->Query(m->FSound, 0, SoundQuery::OffsetSamples);
                TheDevice->Stop(m->FSound, AllCopies);
            }
            if (restart) m->FSavedTime = 0;
            m->FVolume = immediate ? 1.0f : 0.0f;
            const float gain = immediate ? GameOptions.MusicVolume : 0.0f;
            TheDevice->Play(m->FSound, PlayParams{true, gain, 1.0f, m->FSavedTime});
        } else {
            if (restart) m->FSavedTime = 0;
            m->FVolume = immediate ? 1.0f : 0.0f;
        }
        m->FPaused = false;
    }
    CurrentMusic = index;
}

void ApplyMusicVolume() {
    if (!Active()) return;
    if (TMusicNilSprite* m = MusicSprite(CurrentMusic); m != nullptr) {
        m->FVolume = GameOptions.MusicVolume;
        if (m->FSound >= 0) TheDevice->SetGain(m->FSound, AllCopies, GameOptions.MusicVolume);
    }
}

void StopAllMusic() {
    if (!Active()) return;
    for (int i = 0; i < MusicEngine->GetCount(); ++i) {
        TMusicNilSprite* m = MusicSprite(i);
        if (m != nullptr && m->FVolume > 0.0f) SilenceMusic(*m);
    }
    CurrentMusic = -1;
}

// ---- Ambience -------------------------------------------------------------------------

void Ambience(TTS_Message action, int index, bool immediate) {
    if (!Active()) return;
    TAmbienceNilSprite* a = AmbienceSprite(index);
    if (a == nullptr) return;
    if (action == msg_Start) {
        a->FStoped = false;
        a->FVolume = immediate ? 1.0f : 0.0f;
        if (a->FSound < 0) return;
        TheDevice->Stop(a->FSound, AllCopies); // a loop still fading out starts afresh
        const float gain = immediate ? GameOptions.SoundFxVolume : 0.0f;
        TheDevice->Play(a->FSound, PlayParams{true, gain, 1.0f, 0});
    } else if (action == msg_Stop) {
        a->FStoped = true;
        if (immediate) {
            a->FVolume = 0.0f;
            if (a->FSound >= 0) TheDevice->Stop(a->FSound, AllCopies);
        }
    }
}

void LocationAmbience(TTS_Message action, int location) {
    const int loop = LocationAmbienceLoop(location);
    if (loop >= 0) Ambience(action, loop, false);
}

void ApplyAmbienceVolume() {
    if (!Active()) return;
    for (int i = 0; i < AmbienceEngine->GetCount(); ++i) {
        TAmbienceNilSprite* a = AmbienceSprite(i);
        if (a == nullptr || !FirstCopyPlaying(*a)) continue;
        a->FVolume = GameOptions.SoundFxVolume;
        TheDevice->SetGain(a->FSound, AllCopies, GameOptions.SoundFxVolume);
    }
}

// ---- Effects --------------------------------------------------------------------------

void Sfx(TTS_Message action, int index, bool loop, float pitch, float volume) {
    if (!Active()) return;
    TSoundFxNilSprite* s = SfxSprite(index);
    if (s == nullptr || s->FSound < 0) return;
    switch (action) {
    case msg_Start:
        PlayEffect(index, loop, pitch, volume);
        break;
    case msg_Stop:
        TheDevice->Stop(s->FSound, AllCopies);
        break;
    case msg_StopFirst:
        TheDevice->Stop(s->FSound, 0);
        break;
    case msg_StopLast:
        TheDevice->Stop(s->FSound, LastCopy);
        break;
    default:
        break;
    }
}

void SfxByName(std::string_view name) {
    if (!Active()) return;
    Sfx(msg_Start, SfxIndex(name), false, 1.0f, GameOptions.SoundFxVolume);
}

void SfxRestartByName(std::string_view name) {
    if (!Active()) return;
    const int index = SfxIndex(name);
    Sfx(msg_Stop, index);
    Sfx(msg_Start, index, false, 1.0f, GameOptions.SoundFxVolume);
}

void SfxLoopByName(std::string_view name, float pitch) {
    if (!Active()) return;
    Sfx(msg_Start, SfxIndex(name), true, pitch, GameOptions.SoundFxVolume);
}

void SfxStopByName(std::string_view name) {
    if (!Active()) return;
    Sfx(msg_Stop, SfxIndex(name));
}

bool SfxPlaying(int index) {
    if (!Active()) return false;
    const TSoundFxNilSprite* s = SfxSprite(index);
    return s != nullptr && FirstCopyPlaying(*s);
}

void PlayCatMatch() {
    if (!Active()) return;
    const int first = FxIndex("sfx_cat_match_1");
    std::vector<int> candidates;
    for (int n = 0; n < 4; ++n) {
        const TSoundFxNilSprite* s = SfxSprite(first + n);
        // Not playing (a copy started this very tick still reports time 0, so the time alone
        // would let two matches of one tick pick the same effect).
        if (s != nullptr && s->FSound >= 0 && !FirstCopyPlaying(*s))
            candidates.push_back(first + n);
    }
    const int count = static_cast<int>(candidates.size());
    if (count > 0) {
        for (int i = 0; i < count; ++i) std::swap(candidates[i], candidates[Random(count)]);
        Sfx(msg_StopFirst, candidates[0]);
        Sfx(msg_Start, candidates[0], false, 1.0f, GameOptions.SoundFxVolume);
    } else {
        Sfx(msg_StopFirst, first + Random(4));
        Sfx(msg_Start, first + Random(4), false, 1.0f, GameOptions.SoundFxVolume);
    }
}

void PlayBirdMatch() {
    if (!Active()) return;
    const int first = FxIndex("sfx_bird_match_1");
    int effect = 1;
    if (Random(100) >= 40) {
        std::vector<int> candidates;
        for (int n = 2; n <= 5; ++n)
            if (n != LastBirdMatch) candidates.push_back(n);
        effect = candidates[static_cast<size_t>(Random(3))];
        LastBirdMatch = effect;
    }
    Sfx(msg_Start, first + effect - 1, false, 1.0f, GameOptions.SoundFxVolume);
}

void StopDragLoops() {
    if (!Active()) return;
    for (const char* name : {"sfx_bird_loop", "sfx_bomba_loop", "sfx_fireworks_loop",
                             "sfx_lightning_loop", "sfx_paint_loop", "sfx_key_loop"})
        Sfx(msg_Stop, FxIndex(name));
}

void StopLoopEffects() {
    if (!Active()) return;
    StopDragLoops();
    Sfx(msg_Stop, FxIndex("sfx_bird_move"));
    const int voice = FxIndex("sfx_dialog_voice_1");
    for (int n = 0; n < 8; ++n) Sfx(msg_Stop, voice + n);
    Sfx(msg_Stop, FxIndex("sfx_object_move"));
    Sfx(msg_Stop, FxIndex("sfx_result_score"));
}

// ---- Pause and resume -----------------------------------------------------------------

void PauseAllSound() {
    // The window reports deactivation and minimising separately: a second pause would
    // forget which loops were playing.
    if (!Active() || SoundPaused) return;
    SoundPaused = true;
    if (TMusicNilSprite* m = MusicSprite(CurrentMusic); m != nullptr && m->FSound >= 0) {
        if (FirstCopyPlaying(*m))
            m->FSavedTime = TheDevice->Query(m->FSound, 0, SoundQuery::OffsetSamples);
        TheDevice->Stop(m->FSound, AllCopies);
    }
    for (int i = 0; i < MusicEngine->GetCount(); ++i) {
        TMusicNilSprite* m = MusicSprite(i);
        if (m == nullptr || !(m->FVolume > 0.0f)) continue;
        SilenceMusic(*m); // tracks fading out stop for good, keeping their offsets
        if (m->FSound >= 0) TheDevice->SetGain(m->FSound, AllCopies, 0.0f);
    }
    StopLoopEffects();
    for (int i = 0; i < AmbienceEngine->GetCount(); ++i) {
        TAmbienceNilSprite* a = AmbienceSprite(i);
        if (a == nullptr) continue;
        // A loop its owner has already stopped (still fading out) is not brought back.
        a->FSavedPlaying = FirstCopyPlaying(*a) && !a->FStoped;
        if (FirstCopyPlaying(*a)) {
            a->FSavedTime = TheDevice->Query(a->FSound, 0, SoundQuery::OffsetSamples);
            TheDevice->Stop(a->FSound, AllCopies);
        }
        if (a->FSavedPlaying) a->FStoped = true;
        if (a->FStoped) a->FVolume = 0.0f;
    }
    if (SoundInCutScene) {
        for (int i = 0; i < SfxEngine->GetCount(); ++i) {
            TSoundFxNilSprite* s = SfxSprite(i);
            if (s == nullptr) continue;
            s->FSavedPlaying = FirstCopyPlaying(*s);
            if (!s->FSavedPlaying) continue;
            s->FSavedTime = TheDevice->Query(s->FSound, 0, SoundQuery::OffsetSamples);
            TheDevice->Stop(s->FSound, AllCopies);
        }
    }
}

void ResumeAllSound() {
    // Likewise activation and restore: a second resume would jump the track back.
    if (!Active() || !SoundPaused) return;
    SoundPaused = false;
    if (TMusicNilSprite* m = MusicSprite(CurrentMusic); m != nullptr) {
        m->FPaused = false;
        m->FVolume = 0.0f;
        if (m->FSound >= 0) {
            TheDevice->Stop(m->FSound, AllCopies);
            TheDevice->Play(m->FSound, PlayParams{true, 0.0f, 1.0f, m->FSavedTime});
        }
    }
    for (int i = 0; i < AmbienceEngine->GetCount(); ++i) {
        TAmbienceNilSprite* a = AmbienceSprite(i);
        if (a == nullptr || !a->FSavedPlaying) continue;
        a->FSavedPlaying = false;
        a->FVolume = 0.0f;
        a->FStoped = false;
        if (a->FSound >= 0) {
            TheDevice->Stop(a->FSound, AllCopies);
            TheDevice->Play(a->FSound, PlayParams{true, 0.0f, 1.0f, a->FSavedTime});
        }
    }
    if (SoundInCutScene) {
        for (int i = 0; i < SfxEngine->GetCount(); ++i) {
            TSoundFxNilSprite* s = SfxSprite(i);
            if (s == nullptr || !s->FSavedPlaying) continue;
            s->FSavedPlaying = false;
            TheDevice->Play(s->FSound, PlayParams{false, s->FVolume, 1.0f, s->FSavedTime});
        }
    }
}

// ---- Level playlist -------------------------------------------------------------------

namespace {
int PlaylistCount() {
    return std::min(static_cast<int>(Playlist.Tracks.size()), std::max(Playlist.Count, 0));
}
void PlayPlaylistEntry() {
    const int music = GameTrackMusic(Playlist.Tracks[static_cast<size_t>(PlaylistPos)].Track);
    if (music >= 0) PlayMusic(music, true);
}
} // namespace

void StartPlaylist(const TLevelMusic& music) {
    if (!Active()) return;
    Playlist = music;
    PlaylistPos = 0;
    PlaylistSeconds = 0;
    if (PlaylistCount() > 0) PlayPlaylistEntry();
}

void PlaylistTick() {
    if (!Active() || PlaylistCount() < 2) return;
    ++PlaylistSeconds;
    if (PlaylistSeconds >= Playlist.Tracks[static_cast<size_t>(PlaylistPos)].Duration) {
        PlaylistPos = (PlaylistPos + 1) % PlaylistCount();
        PlaylistSeconds = 0;
        PlayPlaylistEntry();
    }
}

// ---- Shutdown and hooks ---------------------------------------------------------------

void ShutdownSound() {
    SoundReady = false;
    SoundPaused = false;
    delete MusicEngine;
    delete AmbienceEngine;
    delete SfxEngine;
    MusicEngine = AmbienceEngine = SfxEngine = nullptr;
    if (TheDevice != nullptr) TheDevice->Shutdown();
    TheDevice.reset();
    CurrentMusic = -1;
    Playlist = TLevelMusic{};
    PlaylistPos = PlaylistSeconds = 0;
}

} // namespace bw
