#include "app/LoadingScreen.h"

#include "Engine/KilnSprite/SpriteEngine.h"
#include "Engine/KilnSprite/SpriteMath.h"
#include "app/LoadingBackdrop.h"
#include "app/MainForm.h"
#include "audio/SoundEngine.h"
#include "base/GameObjects.h"
#include "base/GameOptions.h"
#include "base/GameState.h"
#include "base/ResourceLoading.h"
#include "base/Scene.h"
#include "base/SceneTransition.h"
#include "data/GameFonts.h"
#include "data/KilnArchive.h"
#include "data/KilnFonts.h"
#include "data/KilnImages.h"
#include "data/TextDatabase.h"
#include "effects/ParticleManager.h"
#include "gui/TextDrawing.h"
#include "gui/TextureOffsetSprite.h"
#include "ingame/LevelScene.h"
#include "meta/Profile.h"
#include "platform/Log.h"
#include "platform/Random.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <malloc.h>

namespace bw {

namespace {

LoadingScreenState State;
TTextureOffsetSprite* Bar = nullptr;

constexpr int BarEmpty = 40;
constexpr int BarRange = 430;

// The bar's drawn width for a percentage: 40 at 0 %, 470 at 100 %.
int BarWidth(int percent) {
    return static_cast<int>(std::lround(percent * BarRange / 100.0 + BarEmpty));
}

void ChooseLoadingHint() {
    State.LoadingHintIndex = -1;
    const auto& hints = Texts().LoadingHints;
    if (!hints.empty()) State.LoadingHintIndex = Random(static_cast<int>(hints.size()));
}

int RecordsOf(std::initializer_list<TKilnArchive*> archives) {
    int n = 0;
    for (TKilnArchive* a : archives)
        if (a) n += a->RecordCount();
    return n;
}

// A new batch of `total` records: nothing read yet; every record read moves the bar.
void BeginBatch(int total) {
    ImageLoadProgress& p = LoadingProgress();
    p.LoadTotal = total;
    p.LoadCount = 0;
    p.OnProgress = [](int percent) { SetLoadingProgress(percent, GameText("Loading")); };
    State.ProgressFrames = 0;
}

void EndBatch() {
    LoadingProgress().OnProgress = nullptr;
    if (Images) Images->ReleaseLoadingSpace();
    // The decoding buffers of the batch go back to the system.
    malloc_trim(0);
}

void HideBar() {
    if (!Bar) return;
    Bar->fRenderSize = TPoint{1, 0};
    Bar->FVisible = false;
}

void ReadArchivePictures(TKilnArchive* archive, TextureTiming timing = TextureTiming::Now) {
    if (Images && archive) Images->AddAllFromArchive(archive, true, true, timing);
}

// The frame limiter and vertical sync while reading, and afterwards.
void PaceForLoading() {
    if (MainForm) MainForm->PaceForLoading(true);
}
void PaceForPlay() {
    if (MainForm) MainForm->PaceForLoading(false);
}

// A later loading screen (a location's, the cut-scenes'): the music and ambience fall silent,
// and it comes back to the scene that asked for it.
void PutUpLoadingScreen() {
    PaceForLoading();
    SetGameCursor(1);
    StopAllMusic();
    for (int i = ambience_Day; i <= ambience_Rain; ++i) Ambience(msg_Stop, i, true);
    ChooseLoadingHint();
    SceneAfterLoading = CurrentScene;
    CurrentScene = scene_Loading;
}

// Reading is done: the screen waits for a click or a key.
void TakeDownLoadingScreen() {
    EndBatch();
    CurrentScene = scene_Loaded;
    PaceForPlay();
}

class LoadingScreenLoader final : public ResourceLoader {
public:
    bool LoadLocationResources(int n) override {
        if (LocationResourcesLoaded(n)) {
            PaceForPlay();
            return true;
        }
        PutUpLoadingScreen();
        HideBar();
        SetLoadingProgress(0, GameText("Loading"));
        TKilnArchive* archive = Archives.Locations[static_cast<size_t>(n)];
        BeginBatch(RecordsOf({archive}));
        const std::string file = "Data/Loc_" + std::to_string(n) + ".dan";
        WriteLog("Loading \"" + file + "\"...", 1);
        ReadLocationPictures(n, true);
        TakeDownLoadingScreen();
        return false;
    }

    bool LoadVideoResources(int n) override {
        if (VideoResourcesLoaded(0) && VideoResourcesLoaded(n)) return true;
        PutUpLoadingScreen();
        int total = 0;
        for (int a : {0, n})
            if (!VideoResourcesLoaded(a))
                total += RecordsOf({Archives.Videos[static_cast<size_t>(a)]});
        BeginBatch(total);
        for (int a : {0, n}) {
            if (VideoResourcesLoaded(a)) continue;
            HideBar();
            WriteLog("Video \"Data/Video_" + std::to_string(a) + ".dan\"...", 1);
            // A film's pictures are made while the screen waits for its click; once the film
            // is over they may give their textures back.
            ReadArchivePictures(Archives.Videos[static_cast<size_t>(a)], TextureTiming::WhenIdle);
            MarkVideoResourcesLoaded(a);
        }
        TakeDownLoadingScreen();
        return false;
    }
};

LoadingScreenLoader TheLoader;

} // namespace

LoadingScreenState& LoadingScreen() {
    return State;
}

TTextureOffsetSprite* LoadingProgressBar() {
    return Bar;
}

void CreateLoadingSprites() {
    Bar = CreateLoadingBackdrop(LoadingEngine, BarEmpty, 0);
}

void SetLoadingProgress(int percent, const std::string& caption) {
    if (percent == State.LoadingPercent) return;
    State.LoadingPercent = percent;
    State.Caption = caption;
    if (Bar) {
        Bar->fRenderSize = TPoint{BarWidth(percent), 0};
        Bar->FVisible = true;
    }
    ++State.ProgressFrames;
    if (MainForm) MainForm->LoadingRound();
}

void LoadMainResources() {
    SetGameCursor(1);
    PaceForLoading();
    SceneAfterLoading = scene_MainMenu;
    WriteLog("Loading main resources...", 1);
    State.ShowVersionOnLoading = true;
    CurrentScene = scene_Loading;
    ChooseLoadingHint();
    BeginBatch(RecordsOf({Archives.Objects, Archives.Effects, Archives.MainMenu, Archives.Interface,
                          Archives.Dialogs, Archives.Map, Archives.Particles1,
                          Archives.ParticlesLoc, Archives.Music, Archives.Sfx, Archives.Ambience}));
    ImageLoadProgress& p = LoadingProgress();
    const auto recordDone = [&p] { p.RecordDone(); };
    // The sounds are read and decoded beside the pictures.
    SoundBatch sounds = BeginLoadingSounds();
    LoadMainPictures(true);
    // Their textures are among the main pictures, so the descriptions come after them.
    for (TKilnArchive* a : {Archives.Particles1, Archives.ParticlesLoc})
        LoadParticleArchive(a, recordDone);
    FinishLoadingSounds(sounds, recordDone);
    // Records that were not read (sound off, a missing archive) count as read: the bar ends
    // full.
    if (p.LoadCount < p.LoadTotal) {
        p.LoadCount = p.LoadTotal - 1;
        p.RecordDone();
    }
    TakeDownLoadingScreen();
}

void LeaveLoadingScreen() {
    switch (SceneAfterLoading) {
    case scene_Level:
        PlayLevel(Player.Level);
        SetGameCursor(0);
        break;
    case scene_MainMenu:
        State.ShowVersionOnLoading = false;
        if (MainForm) MainForm->ReleaseSplashPictures(); // the splash is long gone
        CurrentScene = scene_LeaveLoading;
        PlayMusic(music_MainMenu, false);
        StartTransition(fl_ExitLoadingLogo, FadeSpeedLoading);
        if (TransitionSprite) {
            TransitionSprite->FBrightness = 255;
            TransitionSprite->SetAlpha(255);
        }
        SetGameCursor(0);
        break;
    case scene_Video:
        CurrentScene = scene_Video;
        SceneOf(scene_Video).Command(msg_Create);
        SetGameCursor(1);
        break;
    default:
        CurrentScene = SceneAfterLoading;
        SetGameCursor(0);
        break;
    }
}

void RenderLoadingFrame() {
    if (!LoadingEngine) return;
    LoadingEngine->Draw();
    TKilnFont* font = Fonts ? Fonts->Font(ShadowFont) : nullptr;
    if (CurrentScene == scene_Loaded) {
        const int step = static_cast<int>(std::lround(LoadingPhase * 20)) % 256;
        const long a = std::clamp(std::lround(Sin256(step) * 175) + 79, 0L, 255L);
        const TColor alpha = static_cast<TColor>(a) << 24;
        DrawTSText(font, Texts().Text("loading_click"), TPoint2{960, 1000}, 1.0f,
                   TColor2{alpha | 0xFFDA66, alpha | 0xF3B3FF});
    }
    if (State.ShowVersionOnLoading && font) {
        TTSText version;
        version.Text = {GameText("Version") + " " + GameVersion};
        version.Scale = TPoint2{0.65f, 0.65f};
        DrawTSText(font, version, TPoint2{1400, 1030}, 1.0f, TColor2{0xFFFFFFFF, 0xFFF3B3FF});
    }
    const auto& hints = Texts().LoadingHints;
    if (State.LoadingHintIndex >= 0 && State.LoadingHintIndex < static_cast<int>(hints.size()))
        DrawTSText(font, hints[static_cast<size_t>(State.LoadingHintIndex)], TPoint2{960, 880},
                   1.0f, TColor2{0xFFFFFFFF, 0xFFF3B3FF});
    LoadingEngine->Dead();
    MouseClicked = false;
    MouseDblClicked = false;
}

void InstallLoadingScreen() {
    SetResourceLoader(&TheLoader);
}

void ForgetLoadingScreen() {
    Bar = nullptr;
    State = LoadingScreenState{};
    ForgetLoadedResources();
    EndBatch();
}

} // namespace bw
