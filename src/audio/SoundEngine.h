// Music, ambience and sound effects.
//
// Every sound is one invisible sprite in one of three engines: MusicEngine (tracks),
// AmbienceEngine (loops) and SfxEngine (effects). A sound is addressed by its index, its place
// in its engine, which is its place in the loading order of SoundList(). SoundTick moves the
// engines once per update tick; the sprites' DoMove perform the fades: music 0.01 per tick,
// ambience 0.02 per tick. MusicVolume scales music; SoundFxVolume ambience and effects.
//
// While GameOptions.SoundsOff is set, or before LoadAllSounds has finished, every operation
// does nothing (SfxPlaying answers false).
#pragma once

#include "Engine/KilnSprite/KilnSprite.h"
#include "Engine/KilnSprite/SpriteEngine.h"
#include "audio/LevelMusic.h"
#include "audio/SoundDevice.h"
#include "base/Messages.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace bw {

enum class SoundKind : uint8_t { Music, Ambience, Effect };

struct SoundListEntry {
    SoundKind Kind;
    std::string FileName; // "....ogg"
    int Copies;           // how many copies can play at once
};

// Every sound in loading order: 8 tracks, 10 ambience loops, then the effects.
const std::vector<SoundListEntry>& SoundList();

// Track indices of MusicEngine.
enum TMusicTrack : int { music_MainMenu = 0, music_Map = 1, music_Game1 = 2 };
// The music index of game track n (1 .. 6); -1 outside that range.
int GameTrackMusic(int track);

// Loop indices of AmbienceEngine.
enum AmbienceLoop : int {
    ambience_Day,
    ambience_Night,
    ambience_Water,
    ambience_Wind,
    ambience_Map,
    ambience_City,
    ambience_Station,
    ambience_Train,
    ambience_Winter,
    ambience_Rain,
};
// The loop of a location number; -1 for none.
int LocationAmbienceLoop(int location);

// Index of a sound in its engine by file name, with or without ".ogg" (ignoring case); -1
// when unknown.
int MusicIndex(std::string_view name);
int AmbienceIndex(std::string_view name);
int SfxIndex(std::string_view name);

// ---- The sound sprites ----------------------------------------------------------------

class TSoundNilSprite : public TSprite {
public:
    using TSprite::TSprite;
    int FIndex = 0;
    std::string FFileName;
    float FVolume = 0.0f; // fade level 0 .. 1 (effects: the volume last played at)
    int FSound = -1;      // the device's sound, -1 without one
    int FSavedTime = 0;   // playback offset (sample frames) to resume from
    void DoDraw() override {}
};

class TMusicNilSprite : public TSoundNilSprite {
public:
    using TSoundNilSprite::TSoundNilSprite;
    bool FPaused = true;
    void DoMove(float moveCount) override;
};

class TAmbienceNilSprite : public TSoundNilSprite {
public:
    using TSoundNilSprite::TSoundNilSprite;
    bool FStoped = true;
    bool FSavedPlaying = false;
    void DoMove(float moveCount) override;
};

class TSoundFxNilSprite : public TSoundNilSprite {
public:
    using TSoundNilSprite::TSoundNilSprite;
    float FPitch = 1.0f;
    bool FSavedPlaying = false;
    void DoMove(float) override {}
};

// ---- State ----------------------------------------------------------------------------

extern TSpriteEngine* MusicEngine;
extern TSpriteEngine* AmbienceEngine;
extern TSpriteEngine* SfxEngine;
extern int CurrentMusic; // -1 for none
extern bool SoundReady;
// The level playlist.
extern TLevelMusic Playlist;
extern int PlaylistPos;
extern int PlaylistSeconds;
// Set while a cut-scene plays: pausing then also holds the playing effects.
extern bool SoundInCutScene;

// The sprites by index; null when out of range or before loading.
TMusicNilSprite* MusicSprite(int index);
TAmbienceNilSprite* AmbienceSprite(int index);
TSoundFxNilSprite* SfxSprite(int index);

// The device in use (null before loading or with sound off).
ISoundDevice* SoundDevice();
// How LoadAllSounds gets its device: by default the OpenAL output device; null when none
// opens. An empty opener restores the default.
using SoundDeviceOpener = std::function<std::unique_ptr<ISoundDevice>()>;
void SetSoundDeviceOpener(SoundDeviceOpener opener);

// Where sounds come from. By default a sound is the loose file in "Data/Music/",
// "Data/Ambience/" or "Data/SFX/" and, when that is missing or does not decode, the record of
// the same name in the archive Music, Ambience or Sfx. A source set here replaces both.
using SoundSource =
    std::function<bool(SoundKind kind, const std::string& fileName, std::vector<uint8_t>& bytes)>;
void SetSoundSource(SoundSource source); // an empty source restores the default

// Receives the main-menu track's playback time (ms) each tick while it plays.
std::function<void(int ms)>& MainMenuClockHook();
// Whether the device's playback time keeps step with the game's ticks. It does not when the
// game runs on virtual time (the replay harness), while the device still plays in real time:
// whoever follows the music's time then counts ticks instead.
bool MusicTimeFollowsTicks();
void SetMusicTimeFollowsTicks(bool follows);

// ---- Operations -----------------------------------------------------------------------

// Opens the device (when none was set), creates the engines and loads every sound of
// SoundList() in order, calling `progress` once per sound. Without a device SoundsOff is set
// and nothing is loaded.
void LoadAllSounds(const std::function<void()>& progress = {});
// LoadAllSounds in two halves, for a caller with other work to do meanwhile: Begin opens the
// device and starts a thread that reads the sounds and decodes the short ones; Finish waits
// for it and adds every sound, calling `progress` once per sound. A batch dropped unfinished
// waits for its thread and adds nothing.
class SoundBatch {
public:
    SoundBatch();
    SoundBatch(SoundBatch&&) noexcept;
    SoundBatch& operator=(SoundBatch&&) noexcept;
    ~SoundBatch();
    struct Work;

private:
    friend SoundBatch BeginLoadingSounds();
    friend void FinishLoadingSounds(SoundBatch& batch, const std::function<void()>& progress);
    std::unique_ptr<Work> work_;
};
SoundBatch BeginLoadingSounds();
void FinishLoadingSounds(SoundBatch& batch, const std::function<void()>& progress = {});
// The per-tick update: moves the three engines by 1.0.
void SoundTick();
// The file names of the effects started since the last call, oldest first (at most 256).
std::vector<std::string> TakeStartedEffects();
void PlayMusic(int index, bool restart, bool immediate = false, bool remember = false);
void ApplyMusicVolume();
void Ambience(TTS_Message action, int index, bool immediate = false);
void LocationAmbience(TTS_Message action, int location);
void ApplyAmbienceVolume();
void Sfx(TTS_Message action, int index, bool loop = false, float pitch = 1.0f, float volume = 1.0f);
// Effects by file name (with or without ".ogg"), played at SoundFxVolume.
// Plays the effect once (the button sounds).
void SfxByName(std::string_view name);
// Stops every copy of the effect, then plays it once.
void SfxRestartByName(std::string_view name);
// Plays the effect as a loop at the given pitch.
void SfxLoopByName(std::string_view name, float pitch = 1.0f);
// Stops every copy of the effect.
void SfxStopByName(std::string_view name);
bool SfxPlaying(int index);
void PlayCatMatch();
void PlayBirdMatch();
void StopDragLoops();
void StopLoopEffects();
void StopAllMusic();
// Application deactivated / activated. Repeated calls count once: only the first pause acts,
// and a resume acts only after a pause.
void PauseAllSound();
void ResumeAllSound();
void StartPlaylist(const TLevelMusic& music);
void PlaylistTick();
// Frees the engines and the device; sound can be loaded again afterwards.
void ShutdownSound();

} // namespace bw
