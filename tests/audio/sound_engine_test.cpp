#include "audio/SoundEngine.h"

#include "audio/FakeSoundDevice.h"
#include "base/GameOptions.h"
#include "gui/ButtonProtocol.h"
#include "platform/Log.h"
#include "platform/Random.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace bw {
namespace {

using test::FakeSoundDevice;

class SoundEngineTest : public ::testing::Test {
protected:
    FakeSoundDevice* fake = nullptr;
    TGameOptions savedOptions;
    int progressCalls = 0;

    void SetUp() override {
        savedOptions = GameOptions;
        GameOptions.SoundsOff = false;
        GameOptions.MusicVolume = 0.5f;
        GameOptions.SoundFxVolume = 0.8f;
        SoundInCutScene = false;
        SetMusicTimeFollowsTicks(true); // a game on virtual time run before may have left it off
        SetSoundDeviceOpener([this] {
            auto device = std::make_unique<FakeSoundDevice>();
            fake = device.get();
            return device;
        });
        SetSoundSource([](SoundKind, const std::string& name, std::vector<uint8_t>& bytes) {
            if (name == "sfx_gates.ogg") return false; // a sound missing everywhere
            bytes = {'O', 10};                         // ten seconds long
            return true;
        });
        LoadAllSounds([this] { ++progressCalls; });
        ASSERT_NE(fake, nullptr);
        ASSERT_TRUE(SoundReady);
    }
    void TearDown() override {
        ShutdownSound();
        SetSoundDeviceOpener({});
        SetSoundSource({});
        GameOptions = savedOptions;
        SoundInCutScene = false;
    }

    FakeSoundDevice::Copy& Track(int index, int copy = 0) {
        return fake->CopyOf(MusicSprite(index)->FSound, copy);
    }
    FakeSoundDevice::Copy& Loop(int index) { return fake->CopyOf(AmbienceSprite(index)->FSound); }
    FakeSoundDevice::Sound& Fx(std::string_view name) {
        return fake->Sounds.at(static_cast<size_t>(SfxSprite(SfxIndex(name))->FSound));
    }
    static void Ticks(int n) {
        for (int i = 0; i < n; ++i) SoundTick();
    }
};

// ---- The sound list -------------------------------------------------------------------

TEST(SoundListTest, OrderAndCopies) {
    const auto& list = SoundList();
    int music = 0, ambience = 0;
    std::set<std::string> names;
    for (const auto& e : list) {
        music += e.Kind == SoundKind::Music;
        ambience += e.Kind == SoundKind::Ambience;
        EXPECT_TRUE(names.insert(e.FileName).second) << e.FileName;
        EXPECT_GE(e.Copies, 1);
        if (e.Kind != SoundKind::Effect) {
            EXPECT_EQ(e.Copies, 1) << e.FileName;
        }
    }
    EXPECT_EQ(music, 8);
    EXPECT_EQ(ambience, 10);
    EXPECT_EQ(list.size(), 18u + 85u);
    EXPECT_EQ(list[0].FileName, "MainMenu.ogg");
    EXPECT_EQ(list[7].FileName, "Game_6.ogg");
    EXPECT_EQ(list[8].FileName, "ambience_day.ogg");
    EXPECT_EQ(list[17].FileName, "ambience_rain.ogg");
    EXPECT_EQ(list[18].FileName, "sfx_button_click.ogg");
    EXPECT_EQ(list.back().FileName, "sfx_outro_4.ogg");

    EXPECT_EQ(SfxIndex("sfx_button_click"), 0);
    EXPECT_EQ(SfxIndex("SFX_Button_Over.ogg"), 1);
    EXPECT_EQ(SfxIndex("sfx_bird_match_1.ogg"), 3);
    EXPECT_EQ(SfxIndex("sfx_nothing"), -1);
    EXPECT_EQ(MusicIndex("Map"), music_Map);
    EXPECT_EQ(AmbienceIndex("ambience_rain.ogg"), ambience_Rain);
    EXPECT_EQ(AmbienceIndex("ambience_station"), ambience_Station);
    EXPECT_EQ(list[18 + SfxIndex("sfx_fireworks_exp")].Copies, 25);
    EXPECT_EQ(list[18 + SfxIndex("sfx_wall_destroy")].Copies, 20);
    EXPECT_EQ(list[18 + SfxIndex("sfx_lightning_target_3")].Copies, 7);
    EXPECT_EQ(list[18 + SfxIndex("sfx_dialog_voice_8")].Copies, 1);
    EXPECT_EQ(list[18 + SfxIndex("sfx_bird_pick")].Copies, 5);
}

TEST(SoundListTest, LocationLoopsAndGameTracks) {
    EXPECT_EQ(LocationAmbienceLoop(0), -1);
    for (int l : {1, 2, 9}) EXPECT_EQ(LocationAmbienceLoop(l), ambience_Day);
    for (int l : {3, 8}) EXPECT_EQ(LocationAmbienceLoop(l), ambience_Water);
    for (int l : {4, 5}) EXPECT_EQ(LocationAmbienceLoop(l), ambience_Night);
    EXPECT_EQ(LocationAmbienceLoop(6), ambience_Station);
    EXPECT_EQ(LocationAmbienceLoop(7), ambience_Train);
    EXPECT_EQ(LocationAmbienceLoop(10), ambience_Wind);
    EXPECT_EQ(LocationAmbienceLoop(11), ambience_Winter);
    EXPECT_EQ(LocationAmbienceLoop(12), ambience_City);
    EXPECT_EQ(LocationAmbienceLoop(13), -1);
    EXPECT_EQ(GameTrackMusic(0), -1);
    EXPECT_EQ(GameTrackMusic(1), MusicIndex("Game_1"));
    EXPECT_EQ(GameTrackMusic(6), MusicIndex("Game_6"));
    EXPECT_EQ(GameTrackMusic(7), -1);
}

// ---- Loading --------------------------------------------------------------------------

TEST_F(SoundEngineTest, LoadsEverySoundInOrder) {
    EXPECT_EQ(progressCalls, static_cast<int>(SoundList().size()));
    EXPECT_EQ(MusicEngine->GetCount(), 8);
    EXPECT_EQ(AmbienceEngine->GetCount(), 10);
    EXPECT_EQ(SfxEngine->GetCount(), static_cast<int>(SoundList().size()) - 18);
    EXPECT_EQ(MusicSprite(music_Map)->FFileName, "Map.ogg");
    EXPECT_EQ(MusicSprite(music_Map)->FIndex, music_Map);
    EXPECT_EQ(SfxSprite(4)->FIndex, 4);
    EXPECT_TRUE(MusicSprite(0)->FPaused);
    EXPECT_EQ(MusicSprite(0)->FVolume, 0.0f);
    EXPECT_TRUE(AmbienceSprite(0)->FStoped);
    EXPECT_EQ(CurrentMusic, -1);
    EXPECT_EQ(fake->Sounds[static_cast<size_t>(SfxSprite(SfxIndex("sfx_fireworks_exp"))->FSound)]
                  .Copies.size(),
              25u);
    // A sound found nowhere has no device sound, and using it does nothing.
    const int gates = SfxIndex("sfx_gates");
    EXPECT_EQ(SfxSprite(gates)->FSound, -1);
    Sfx(msg_Start, gates, false, 1.0f, 1.0f);
    EXPECT_FALSE(SfxPlaying(gates));
    Sfx(msg_Start, 9999);
    Sfx(msg_Start, -1);
}

// A sound that does not load is named with its archive and why.
TEST_F(SoundEngineTest, SoundsThatDoNotLoadAreLoggedWithTheirArchiveAndReason) {
    ShutdownSound();
    SetSoundSource([](SoundKind, const std::string& name, std::vector<uint8_t>& bytes) {
        if (name == "sfx_gates.ogg") return false;
        bytes = {name == "sfx_bird_put.ogg" ? uint8_t('X') : uint8_t('O'), 1};
        return true;
    });
    std::vector<std::string> log;
    SetLogListener([&](const std::string& line) { log.push_back(line); });
    LoadAllSounds({});
    SetLogListener(nullptr);
    ASSERT_EQ(log.size(), 2u);
    std::sort(log.begin(), log.end());
    EXPECT_NE(log[0].find("Sound (archive not open) | sfx_bird_put.ogg not loaded: does not "
                          "decode as Ogg Vorbis"),
              std::string::npos)
        << log[0];
    EXPECT_NE(log[1].find("| sfx_gates.ogg not loaded: not found"), std::string::npos) << log[1];
}

// Loading in two halves: nothing is added before the batch is finished, a batch dropped
// unfinished adds nothing, and one finished after sound was shut down meanwhile adds nothing.
TEST_F(SoundEngineTest, ASoundBatchAddsItsSoundsOnlyWhenFinished) {
    const int loaded = static_cast<int>(fake->Sounds.size());
    ShutdownSound();
    {
        SoundBatch dropped = BeginLoadingSounds();
        EXPECT_FALSE(SoundReady);
    }
    EXPECT_FALSE(SoundReady);
    SoundBatch late = BeginLoadingSounds();
    ShutdownSound();
    int progress = 0;
    FinishLoadingSounds(late, [&] { ++progress; });
    EXPECT_FALSE(SoundReady);
    EXPECT_EQ(progress, 0);

    SoundBatch batch = BeginLoadingSounds();
    EXPECT_TRUE(fake->Sounds.empty());
    FinishLoadingSounds(batch, [&] { ++progress; });
    EXPECT_TRUE(SoundReady);
    EXPECT_EQ(static_cast<int>(fake->Sounds.size()), loaded);
    EXPECT_EQ(progress, static_cast<int>(SoundList().size()));
}

// ---- Music ----------------------------------------------------------------------------

TEST_F(SoundEngineTest, MusicFadesInFromSilence) {
    PlayMusic(music_MainMenu, true);
    EXPECT_EQ(CurrentMusic, music_MainMenu);
    ASSERT_TRUE(Track(music_MainMenu).Playing);
    EXPECT_TRUE(Track(music_MainMenu).Loop);
    EXPECT_EQ(Track(music_MainMenu).Gain, 0.0f); // started silent, not at full gain
    Ticks(50);
    EXPECT_NEAR(MusicSprite(music_MainMenu)->FVolume, 0.5f, 1e-4f);
    EXPECT_NEAR(Track(music_MainMenu).Gain, 0.25f, 1e-4f);
    // 0.01 a tick in single precision: 100 steps end just short of 1, the 101st caps it.
    Ticks(50);
    EXPECT_LT(MusicSprite(music_MainMenu)->FVolume, 1.0f);
    Ticks(1);
    EXPECT_EQ(MusicSprite(music_MainMenu)->FVolume, 1.0f);
    EXPECT_FLOAT_EQ(Track(music_MainMenu).Gain, 0.5f);
}

TEST_F(SoundEngineTest, OldTrackFadesOutAndKeepsItsOffset) {
    PlayMusic(music_Map, true, true);
    EXPECT_EQ(MusicSprite(music_Map)->FVolume, 1.0f);
    EXPECT_FLOAT_EQ(Track(music_Map).Gain, 0.5f);
    fake->Advance(30000);
    PlayMusic(music_MainMenu, true);
    TMusicNilSprite* map = MusicSprite(music_Map);
    EXPECT_TRUE(map->FPaused);
    Ticks(100);
    EXPECT_TRUE(Track(music_Map).Playing); // 100 single-precision steps leave a trace
    EXPECT_GT(map->FVolume, 0.0f);
    fake->Advance(1000);
    Ticks(1);
    EXPECT_FALSE(Track(music_Map).Playing);
    EXPECT_EQ(map->FVolume, 0.0f);
    EXPECT_EQ(map->FSavedTime, 31000);

    // Back to the map without restart: it resumes where it stopped.
    PlayMusic(music_Map, false);
    EXPECT_EQ(Track(music_Map).Offset, 31000);
}

TEST_F(SoundEngineTest, MenuToMapAndBackRestartsTheMenuTrack) {
    PlayMusic(music_MainMenu, true);
    Ticks(200);
    fake->Advance(5000);
    PlayMusic(music_Map, true);
    Ticks(200);
    fake->Advance(7000);
    PlayMusic(music_MainMenu, true);
    EXPECT_EQ(Track(music_MainMenu).Offset, 0);
    EXPECT_TRUE(Track(music_MainMenu).Playing);
    Ticks(200);
    EXPECT_FALSE(Track(music_Map).Playing);
    EXPECT_EQ(MusicSprite(music_Map)->FSavedTime, 7000);
}

TEST_F(SoundEngineTest, AskingForTheCurrentTrackAgainChangesNothing) {
    PlayMusic(music_Map, true);
    Ticks(30);
    fake->Advance(4410);
    const int plays = fake->Sounds[static_cast<size_t>(MusicSprite(music_Map)->FSound)].Plays;
    const float volume = MusicSprite(music_Map)->FVolume;
    PlayMusic(music_Map, false);
    EXPECT_EQ(fake->Sounds[static_cast<size_t>(MusicSprite(music_Map)->FSound)].Plays, plays);
    EXPECT_EQ(MusicSprite(music_Map)->FVolume, volume);
    EXPECT_EQ(Track(music_Map).Offset, 4410);
}

TEST_F(SoundEngineTest, RestartWhileFadingOutIsNotDropped) {
    PlayMusic(music_MainMenu, true);
    Ticks(120);
    fake->Advance(9000);
    PlayMusic(music_Map, true);
    Ticks(10); // the menu track is still fading out and holds its one copy
    PlayMusic(music_MainMenu, true);
    EXPECT_EQ(fake->Sounds[static_cast<size_t>(MusicSprite(music_MainMenu)->FSound)].Dropped, 0);
    EXPECT_TRUE(Track(music_MainMenu).Playing);
    EXPECT_EQ(Track(music_MainMenu).Offset, 0);
    EXPECT_FALSE(MusicSprite(music_MainMenu)->FPaused);
}

TEST_F(SoundEngineTest, RememberAndImmediate) {
    PlayMusic(music_Map, true, true);
    fake->Advance(2000);
    PlayMusic(music_Game1, true, true, true);
    TMusicNilSprite* map = MusicSprite(music_Map);
    EXPECT_EQ(map->FSavedTime, 2000);
    EXPECT_EQ(map->FVolume, 0.0f);
    // Silenced at once means stopped: the copy is free again.
    EXPECT_FALSE(Track(music_Map).Playing);
    EXPECT_EQ(MusicSprite(music_Game1)->FVolume, 1.0f);
    EXPECT_FLOAT_EQ(Track(music_Game1).Gain, 0.5f);
    PlayMusic(music_Map, false);
    EXPECT_TRUE(Track(music_Map).Playing);
    EXPECT_EQ(Track(music_Map).Offset, 2000);
}

TEST_F(SoundEngineTest, FadeOutToNothing) {
    PlayMusic(music_Map, true, true);
    PlayMusic(-1, false);
    EXPECT_EQ(CurrentMusic, -1);
    Ticks(101);
    EXPECT_FALSE(Track(music_Map).Playing);
}

TEST_F(SoundEngineTest, StopAllMusicReallyStops) {
    PlayMusic(music_Game1, true, true);
    fake->Advance(1234);
    StopAllMusic();
    EXPECT_EQ(CurrentMusic, -1);
    EXPECT_EQ(MusicSprite(music_Game1)->FVolume, 0.0f);
    EXPECT_TRUE(MusicSprite(music_Game1)->FPaused);
    EXPECT_FALSE(Track(music_Game1).Playing);
    PlayMusic(music_Game1, true);
    EXPECT_TRUE(Track(music_Game1).Playing);
    EXPECT_EQ(fake->Sounds[static_cast<size_t>(MusicSprite(music_Game1)->FSound)].Dropped, 0);
}

TEST_F(SoundEngineTest, ApplyMusicVolumeDipsAndClimbs) {
    PlayMusic(music_Map, true, true);
    GameOptions.MusicVolume = 0.3f;
    ApplyMusicVolume();
    EXPECT_FLOAT_EQ(MusicSprite(music_Map)->FVolume, 0.3f);
    EXPECT_FLOAT_EQ(Track(music_Map).Gain, 0.3f);
    Ticks(1);
    EXPECT_NEAR(Track(music_Map).Gain, 0.31f * 0.3f, 1e-5f);
    Ticks(100);
    EXPECT_FLOAT_EQ(Track(music_Map).Gain, 0.3f);
}

TEST_F(SoundEngineTest, MainMenuTrackDrivesTheMenuClock) {
    int clock = -1;
    MainMenuClockHook() = [&](int ms) { clock = ms; };
    PlayMusic(music_MainMenu, true);
    fake->Advance(44100);
    Ticks(1);
    MainMenuClockHook() = nullptr;
    EXPECT_EQ(clock, 1000);
}

// ---- Ambience -------------------------------------------------------------------------

TEST_F(SoundEngineTest, AmbienceFades) {
    Ambience(msg_Start, ambience_Water);
    EXPECT_TRUE(Loop(ambience_Water).Playing);
    EXPECT_TRUE(Loop(ambience_Water).Loop);
    EXPECT_EQ(Loop(ambience_Water).Gain, 0.0f);
    Ticks(25);
    EXPECT_NEAR(Loop(ambience_Water).Gain, 0.5f * 0.8f, 1e-4f);
    Ticks(26);
    EXPECT_EQ(AmbienceSprite(ambience_Water)->FVolume, 1.0f);
    Ambience(msg_Stop, ambience_Water);
    Ticks(50);
    EXPECT_TRUE(Loop(ambience_Water).Playing);
    Ticks(1);
    EXPECT_FALSE(Loop(ambience_Water).Playing);
}

TEST_F(SoundEngineTest, AmbienceImmediateAndRestartWhileFading) {
    Ambience(msg_Start, ambience_City, true);
    EXPECT_FLOAT_EQ(Loop(ambience_City).Gain, 0.8f);
    Ambience(msg_Stop, ambience_City, true);
    EXPECT_FALSE(Loop(ambience_City).Playing);
    Ambience(msg_Start, ambience_City);
    Ticks(60);
    Ambience(msg_Stop, ambience_City);
    Ticks(5);
    Ambience(msg_Start, ambience_City); // still fading out: starts afresh, not dropped
    EXPECT_TRUE(Loop(ambience_City).Playing);
    EXPECT_FALSE(AmbienceSprite(ambience_City)->FStoped);
    EXPECT_EQ(fake->Sounds[static_cast<size_t>(AmbienceSprite(ambience_City)->FSound)].Dropped, 0);
}

TEST_F(SoundEngineTest, LocationAmbienceAndVolume) {
    LocationAmbience(msg_Start, 8);
    EXPECT_TRUE(Loop(ambience_Water).Playing);
    LocationAmbience(msg_Start, 13); // none
    LocationAmbience(msg_Start, 0);
    for (int i = 0; i < 10; ++i) {
        if (i != ambience_Water) {
            EXPECT_FALSE(Loop(i).Playing) << i;
        }
    }
    Ticks(60);
    GameOptions.SoundFxVolume = 0.4f;
    ApplyAmbienceVolume();
    EXPECT_FLOAT_EQ(AmbienceSprite(ambience_Water)->FVolume, 0.4f);
    EXPECT_FLOAT_EQ(Loop(ambience_Water).Gain, 0.4f);
    EXPECT_EQ(AmbienceSprite(ambience_Day)->FVolume, 0.0f);
    LocationAmbience(msg_Stop, 3);
    EXPECT_TRUE(AmbienceSprite(ambience_Water)->FStoped);
}

// ---- Effects --------------------------------------------------------------------------

TEST_F(SoundEngineTest, EffectCopiesAndTheDroppedRequest) {
    const int fw = SfxIndex("sfx_fireworks_exp");
    for (int i = 0; i < 26; ++i) Sfx(msg_Start, fw, false, 1.0f, 0.7f);
    EXPECT_EQ(Fx("sfx_fireworks_exp").Plays, 25);
    EXPECT_EQ(Fx("sfx_fireworks_exp").Dropped, 1);
    EXPECT_EQ(fake->PlayingCopies(SfxSprite(fw)->FSound), 25);
    EXPECT_FLOAT_EQ(fake->CopyOf(SfxSprite(fw)->FSound, 24).Gain, 0.7f);
    EXPECT_TRUE(SfxPlaying(fw));
    Sfx(msg_StopLast, fw);
    EXPECT_FALSE(fake->CopyOf(SfxSprite(fw)->FSound, 24).Playing);
    Sfx(msg_StopFirst, fw);
    EXPECT_FALSE(SfxPlaying(fw));
    EXPECT_EQ(fake->PlayingCopies(SfxSprite(fw)->FSound), 23);
    Sfx(msg_Start, fw); // takes the first free copy
    EXPECT_TRUE(SfxPlaying(fw));
    Sfx(msg_Stop, fw);
    EXPECT_EQ(fake->PlayingCopies(SfxSprite(fw)->FSound), 0);
}

TEST_F(SoundEngineTest, EffectPitchAndFinishing) {
    const int move = SfxIndex("sfx_object_move");
    const float pitch = 0.4f + 0.6f * (6.0f / 12.0f);
    Sfx(msg_Start, move, true, pitch, 0.5f);
    EXPECT_FLOAT_EQ(fake->CopyOf(SfxSprite(move)->FSound).Pitch, pitch);
    EXPECT_TRUE(fake->CopyOf(SfxSprite(move)->FSound).Loop);
    EXPECT_FLOAT_EQ(SfxSprite(move)->FPitch, pitch);
    const int click = SfxIndex("sfx_button_click");
    Sfx(msg_Start, click);
    fake->Advance(11 * 44100);
    EXPECT_FALSE(SfxPlaying(click)); // finished by itself
    EXPECT_TRUE(SfxPlaying(move));   // a loop goes on
}

// Effects asked for by name play at the effects volume without the caller passing it.
TEST_F(SoundEngineTest, EffectsByNamePlayAtTheEffectsVolume) {
    const int sound = SfxSprite(SfxIndex("sfx_bird_move"))->FSound;
    SfxLoopByName("sfx_bird_move.ogg", 0.7f);
    EXPECT_FLOAT_EQ(fake->CopyOf(sound).Gain, 0.8f);
    EXPECT_FLOAT_EQ(fake->CopyOf(sound).Pitch, 0.7f);
    EXPECT_TRUE(fake->CopyOf(sound).Loop);
    SfxStopByName("sfx_bird_move.ogg");
    EXPECT_EQ(fake->PlayingCopies(sound), 0);

    const int wall = SfxSprite(SfxIndex("sfx_wall_destroy"))->FSound;
    SfxByName("sfx_wall_destroy.ogg");
    SfxByName("sfx_wall_destroy.ogg");
    EXPECT_EQ(fake->PlayingCopies(wall), 2);
    // A restart leaves one copy, played from the start.
    GameOptions.SoundFxVolume = 0.3f;
    SfxRestartByName("sfx_wall_destroy.ogg");
    EXPECT_EQ(fake->PlayingCopies(wall), 1);
    EXPECT_FLOAT_EQ(fake->CopyOf(wall).Gain, 0.3f);
    EXPECT_FALSE(fake->CopyOf(wall).Loop);
}

TEST_F(SoundEngineTest, DragAndLoopEffectsStop) {
    const std::vector<std::string> loops = {"sfx_bird_loop",      "sfx_bomba_loop",
                                            "sfx_fireworks_loop", "sfx_lightning_loop",
                                            "sfx_paint_loop",     "sfx_key_loop"};
    const std::vector<std::string> others = {"sfx_bird_move", "sfx_dialog_voice_1",
                                             "sfx_dialog_voice_8", "sfx_object_move",
                                             "sfx_result_score"};
    for (const auto& n : loops) Sfx(msg_Start, SfxIndex(n), true);
    for (const auto& n : others) Sfx(msg_Start, SfxIndex(n), true);
    Sfx(msg_Start, SfxIndex("sfx_win"));
    StopDragLoops();
    for (const auto& n : loops) EXPECT_FALSE(SfxPlaying(SfxIndex(n))) << n;
    for (const auto& n : others) EXPECT_TRUE(SfxPlaying(SfxIndex(n))) << n;
    StopLoopEffects();
    for (const auto& n : others) EXPECT_FALSE(SfxPlaying(SfxIndex(n))) << n;
    EXPECT_TRUE(SfxPlaying(SfxIndex("sfx_win")));
}

TEST_F(SoundEngineTest, CatMatchPrefersAnEffectNotPlaying) {
    const int first = SfxIndex("sfx_cat_match_1");
    for (uint64_t seed = 1; seed <= 20; ++seed) {
        RandomSeed(seed);
        for (int n = 0; n < 4; ++n) Sfx(msg_Stop, first + n);
        std::set<int> used;
        for (int i = 0; i < 4; ++i) {
            PlayCatMatch(); // all in one tick: no time passes between them
            for (int n = 0; n < 4; ++n)
                if (SfxPlaying(first + n)) used.insert(n);
            EXPECT_EQ(static_cast<int>(used.size()), i + 1) << "seed " << seed;
        }
    }
    // All four busy: one of them is restarted, still one copy each.
    PlayCatMatch();
    int copies = 0;
    for (int n = 0; n < 4; ++n) copies += fake->PlayingCopies(SfxSprite(first + n)->FSound);
    EXPECT_GE(copies, 4);
    EXPECT_LE(copies, 5);
}

TEST_F(SoundEngineTest, CatMatchFixedSeed) {
    const int first = SfxIndex("sfx_cat_match_1");
    RandomSeed(12345);
    // The same draws by hand: shuffle of {0,1,2,3}.
    std::vector<int> c = {0, 1, 2, 3};
    for (int i = 0; i < 4; ++i) std::swap(c[static_cast<size_t>(i)], c[Random(4)]);
    RandomSeed(12345);
    PlayCatMatch();
    EXPECT_TRUE(SfxPlaying(first + c[0]));
    EXPECT_FLOAT_EQ(fake->CopyOf(SfxSprite(first + c[0])->FSound).Gain, 0.8f);
}

TEST_F(SoundEngineTest, BirdMatchChooser) {
    const int first = SfxIndex("sfx_bird_match_1");
    RandomSeed(99);
    int ones = 0, lastOther = 0;
    bool anyOther = false;
    for (int i = 0; i < 2000; ++i) {
        PlayBirdMatch();
        int chosen = 0;
        for (int n = 0; n < 5; ++n)
            if (SfxPlaying(first + n)) chosen = n + 1;
        ASSERT_NE(chosen, 0);
        if (chosen == 1) {
            ++ones;
        } else {
            if (!anyOther) {
                EXPECT_NE(chosen, 5) << "effect 5 before any other choice";
            }
            EXPECT_NE(chosen, lastOther);
            lastOther = chosen;
            anyOther = true;
        }
        fake->Advance(44100 * 20); // everything finishes
    }
    EXPECT_NEAR(ones / 2000.0, 0.4, 0.04);
}

TEST_F(SoundEngineTest, BirdMatchFixedSeedFirstChoices) {
    RandomSeed(2024);
    // Replay the draws: 40 % effect 1, else one of the first three of {2,3,4,5} minus last.
    std::vector<int> expected;
    int last = 0;
    for (int i = 0; i < 12; ++i) {
        if (Random(100) < 40) {
            expected.push_back(1);
            continue;
        }
        std::vector<int> c;
        for (int n = 2; n <= 5; ++n)
            if (n != last) c.push_back(n);
        last = c[static_cast<size_t>(Random(3))];
        expected.push_back(last);
    }
    RandomSeed(2024);
    const int first = SfxIndex("sfx_bird_match_1");
    for (int i = 0; i < 12; ++i) {
        PlayBirdMatch();
        EXPECT_TRUE(SfxPlaying(first + expected[static_cast<size_t>(i)] - 1)) << i;
        fake->Advance(44100 * 20);
    }
}

// ---- Pause and resume -----------------------------------------------------------------

TEST_F(SoundEngineTest, PauseAndResume) {
    PlayMusic(music_Game1, true);
    Ticks(40); // mid fade-in
    fake->Advance(8000);
    Ambience(msg_Start, ambience_Day);
    Ambience(msg_Start, ambience_Rain);
    Ticks(60);
    Ambience(msg_Stop, ambience_Rain); // fading out when the window loses focus
    Ticks(5);
    fake->Advance(100);
    Sfx(msg_Start, SfxIndex("sfx_bird_loop"), true);
    Sfx(msg_Start, SfxIndex("sfx_win"));

    PauseAllSound();
    EXPECT_FALSE(Track(music_Game1).Playing);
    EXPECT_EQ(MusicSprite(music_Game1)->FSavedTime, 8100);
    EXPECT_EQ(MusicSprite(music_Game1)->FVolume, 0.0f);
    EXPECT_FALSE(Loop(ambience_Day).Playing);
    EXPECT_FALSE(Loop(ambience_Rain).Playing);
    EXPECT_FALSE(SfxPlaying(SfxIndex("sfx_bird_loop")));
    EXPECT_TRUE(SfxPlaying(SfxIndex("sfx_win"))); // not a cut-scene: effects run out
    Ticks(300);
    EXPECT_FALSE(Track(music_Game1).Playing);

    ResumeAllSound();
    EXPECT_EQ(CurrentMusic, music_Game1);
    EXPECT_TRUE(Track(music_Game1).Playing);
    EXPECT_EQ(Track(music_Game1).Offset, 8100);
    EXPECT_EQ(Track(music_Game1).Gain, 0.0f);
    EXPECT_TRUE(Loop(ambience_Day).Playing);
    EXPECT_EQ(Loop(ambience_Day).Offset, 100);
    EXPECT_FALSE(AmbienceSprite(ambience_Day)->FStoped);
    EXPECT_FALSE(Loop(ambience_Rain).Playing); // its owner had stopped it
    Ticks(101);
    EXPECT_FLOAT_EQ(Track(music_Game1).Gain, 0.5f);
    EXPECT_FLOAT_EQ(Loop(ambience_Day).Gain, 0.8f);
}

TEST_F(SoundEngineTest, RepeatedPauseAndResumeCountOnce) {
    PlayMusic(music_Map, true, true);
    Ambience(msg_Start, ambience_Night, true);
    fake->Advance(6000);
    PauseAllSound();
    PauseAllSound(); // deactivated, then minimised
    ResumeAllSound();
    EXPECT_TRUE(Loop(ambience_Night).Playing); // still remembered
    EXPECT_EQ(Loop(ambience_Night).Offset, 6000);
    fake->Advance(2000);
    ResumeAllSound(); // activated, then restored: no jump back
    EXPECT_EQ(Track(music_Map).Offset, 8000);
    EXPECT_EQ(fake->Sounds[static_cast<size_t>(MusicSprite(music_Map)->FSound)].Plays, 2);
}

TEST_F(SoundEngineTest, PauseStopsTracksStillFadingOut) {
    PlayMusic(music_Map, true, true);
    fake->Advance(3000);
    PlayMusic(music_MainMenu, true);
    Ticks(10);
    PauseAllSound();
    EXPECT_FALSE(Track(music_Map).Playing);
    EXPECT_EQ(MusicSprite(music_Map)->FVolume, 0.0f);
    ResumeAllSound();
    EXPECT_FALSE(Track(music_Map).Playing);
    EXPECT_TRUE(Track(music_MainMenu).Playing);
    PlayMusic(music_Map, false);
    EXPECT_TRUE(Track(music_Map).Playing);
    EXPECT_EQ(Track(music_Map).Offset, 3000);
}

TEST_F(SoundEngineTest, CutSceneEffectsPauseAndResume) {
    SoundInCutScene = true;
    const int intro = SfxIndex("sfx_intro_3");
    Sfx(msg_Start, intro, false, 1.0f, 0.6f);
    fake->Advance(500);
    PauseAllSound();
    EXPECT_FALSE(SfxPlaying(intro));
    ResumeAllSound();
    EXPECT_TRUE(SfxPlaying(intro));
    EXPECT_EQ(fake->CopyOf(SfxSprite(intro)->FSound).Offset, 500);
    EXPECT_FALSE(fake->CopyOf(SfxSprite(intro)->FSound).Loop);
    EXPECT_FLOAT_EQ(fake->CopyOf(SfxSprite(intro)->FSound).Gain, 0.6f);
}

// ---- Playlist -------------------------------------------------------------------------

TEST_F(SoundEngineTest, PlaylistOfTwoEntries) {
    TLevelMusic music;
    music.Count = 2;
    music.Tracks = {{3, 30}, {5, 40}};
    StartPlaylist(music);
    EXPECT_EQ(CurrentMusic, GameTrackMusic(3));
    for (int s = 0; s < 29; ++s) PlaylistTick();
    EXPECT_EQ(CurrentMusic, GameTrackMusic(3));
    PlaylistTick();
    EXPECT_EQ(CurrentMusic, GameTrackMusic(5));
    EXPECT_EQ(PlaylistPos, 1);
    EXPECT_EQ(PlaylistSeconds, 0);
    EXPECT_EQ(Track(GameTrackMusic(5)).Offset, 0);
    for (int s = 0; s < 40; ++s) PlaylistTick();
    EXPECT_EQ(CurrentMusic, GameTrackMusic(3));
    EXPECT_EQ(PlaylistPos, 0);
}

TEST_F(SoundEngineTest, PlaylistOfOneEntryLoopsAndBadTracksAreIgnored) {
    TLevelMusic music;
    music.Count = 1;
    music.Tracks = {{2, 5}};
    StartPlaylist(music);
    EXPECT_EQ(CurrentMusic, GameTrackMusic(2));
    for (int s = 0; s < 20; ++s) PlaylistTick();
    EXPECT_EQ(CurrentMusic, GameTrackMusic(2));
    EXPECT_EQ(PlaylistSeconds, 0);

    music.Count = 3; // more than the tracks given: only the two present count
    music.Tracks = {{9, 1}, {1, 0}};
    StartPlaylist(music);
    EXPECT_EQ(CurrentMusic, GameTrackMusic(2)); // track 9 does not exist
    PlaylistTick();
    EXPECT_EQ(CurrentMusic, GameTrackMusic(1));
    PlaylistTick(); // a zero duration still moves on
    EXPECT_EQ(PlaylistPos, 0);
}

// ---- Hooks and shutdown ---------------------------------------------------------------

TEST_F(SoundEngineTest, ButtonsAndTheFramePlayThroughTheEngine) {
    ConnectButtonSounds();
    ASSERT_TRUE(ButtonSoundHook());
    ButtonSoundHook()(ButtonOverSound);
    EXPECT_TRUE(SfxPlaying(SfxIndex("sfx_button_over")));
    EXPECT_FLOAT_EQ(Fx("sfx_button_over").Copies[0].Gain, 0.8f);
    PlayMusic(music_Map, true);
    SoundTick();
    EXPECT_NEAR(MusicSprite(music_Map)->FVolume, 0.01f, 1e-6f);
    Sfx(msg_Start, SfxIndex("sfx_key_loop"), true);
    StopDragLoops();
    EXPECT_FALSE(SfxPlaying(SfxIndex("sfx_key_loop")));
    PauseAllSound();
    EXPECT_FALSE(Track(music_Map).Playing);
    ResumeAllSound();
    EXPECT_TRUE(Track(music_Map).Playing);
    ButtonSoundHook() = nullptr;
}

TEST_F(SoundEngineTest, ShutdownFreesEverything) {
    FakeSoundDevice* device = fake;
    PlayMusic(music_Map, true);
    ShutdownSound();
    EXPECT_FALSE(SoundReady);
    EXPECT_EQ(MusicEngine, nullptr);
    EXPECT_EQ(SoundDevice(), nullptr);
    static_cast<void>(device); // freed with the engine state
    // Everything is a no-op afterwards.
    PlayMusic(music_Map, true);
    SoundTick();
    EXPECT_FALSE(SfxPlaying(0));
    EXPECT_EQ(CurrentMusic, -1);
}

// ---- Without a device -----------------------------------------------------------------

TEST(SoundOffTest, NoDeviceMeansSilentAndHealthy) {
    const TGameOptions saved = GameOptions;
    GameOptions.SoundsOff = false;
    std::vector<std::string> lines;
    SetLogListener([&](const std::string& line) { lines.push_back(line); });
    SetSoundDeviceOpener([] { return std::unique_ptr<ISoundDevice>(); });
    int progress = 0;
    LoadAllSounds([&] { ++progress; });
    LoadAllSounds([&] { ++progress; });
    EXPECT_TRUE(GameOptions.SoundsOff);
    EXPECT_FALSE(SoundReady);
    EXPECT_EQ(lines.size(), 1u);
    EXPECT_EQ(progress, 0);

    PlayMusic(music_MainMenu, true);
    EXPECT_EQ(CurrentMusic, -1);
    Ambience(msg_Start, ambience_Day, true);
    LocationAmbience(msg_Start, 3);
    Sfx(msg_Start, 0, true, 1.0f, 1.0f);
    SfxByName("sfx_button_click");
    EXPECT_FALSE(SfxPlaying(0));
    PlayCatMatch();
    PlayBirdMatch();
    StopDragLoops();
    StopLoopEffects();
    StopAllMusic();
    PauseAllSound();
    ResumeAllSound();
    ApplyMusicVolume();
    ApplyAmbienceVolume();
    TLevelMusic music;
    music.Count = 2;
    music.Tracks = {{1, 1}, {2, 1}};
    StartPlaylist(music);
    PlaylistTick();
    SoundTick();
    EXPECT_EQ(CurrentMusic, -1);
    EXPECT_EQ(MusicSprite(0), nullptr);
    ShutdownSound();

    SetLogListener(nullptr);
    SetSoundDeviceOpener({});
    GameOptions = saved;
}

} // namespace
} // namespace bw
