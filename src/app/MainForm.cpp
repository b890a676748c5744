#include "app/MainForm.h"

#include "Engine/KilnSprite/SpriteEngine.h"
#include "app/FullScreenKey.h"
#include "app/LoadingScreen.h"
#include "app/LogHeader.h"
#include "app/ScreenMode.h"
#include "app/Splash.h"
#include "audio/SoundEngine.h"
#include "base/AppFolders.h"
#include "base/CursorPoint.h"
#include "base/DataFolder.h"
#include "base/GameObjects.h"
#include "base/GameOptions.h"
#include "base/GameState.h"
#include "base/ModalLayers.h"
#include "base/Scene.h"
#include "base/SceneTransition.h"
#include "base/ScreenNotice.h"
#include "board/LevelData.h"
#include "data/ArchiveAccess.h"
#include "data/GameFonts.h"
#include "data/KilnArchive.h"
#include "data/KilnFonts.h"
#include "data/KilnImages.h"
#include "data/MediaLink.h"
#include "data/TextDatabase.h"
#include "data/TextLanguage.h"
#include "data/XmlLoad.h"
#include "effects/ParticleManager.h"
#include "gui/ButtonSprites.h"
#include "gui/MessageBox.h"
#include "gui/ScreenEdges.h"
#include "meta/LevelMap.h"
#include "meta/Profile.h"
#include "platform/Files.h"
#include "platform/Log.h"
#include "platform/PictureFile.h"
#include "platform/Random.h"
#include "platform/SdlWindow.h"
#include "platform/SingleInstance.h"

#include <SDL.h>

#include <cerrno>
#include <cmath>
#include <filesystem>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace bw {

// --- Module state ----------------------------------------------------------------------------

float LoadingPhase = 0;

namespace {

// Why an archive did not open, from what stands at its path.
std::string ArchiveOpenProblem(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return errno == ENOENT ? "not found" : "cannot be read";
    if (!S_ISREG(st.st_mode)) return "is not a regular file";
    if (st.st_size == 0) return "is empty";
    if (::access(path.c_str(), R_OK) != 0) return "cannot be read";
    return "is damaged (its header or record table does not read)";
}

constexpr double kTickMs = 1000.0 / 60.0;
constexpr char kDeviceFailure[] = "Failed initializing device";
// Texture bytes the pictures made on first drawing may hold (those undrawn for three seconds of
// play give theirs back beyond it), and the part of a loading-screen frame spent making the next
// scene's textures.
constexpr size_t kDeferredTextureBudget = size_t{48} << 20;
constexpr double kWarmUpSeconds = 0.012;

std::string TextOr(const char* key, const char* fallback) {
    std::string t = GameText(key);
    return t.empty() ? fallback : t;
}

// The debug lines in the shadow font at half size.
void DrawDebugText(const std::string& text, float x, float y) {
    TKilnFont* font = Fonts ? Fonts->Font(ShadowFont) : nullptr;
    if (!font) return;
    const TPoint2 saved = font->FScale;
    font->FScale = TPoint2{0.5f, 0.5f};
    font->TextOut(TPoint2{x, y}, text, false, 1.0f, TColor2{0xFFFFFFFF, 0xFFF3B3FF});
    font->FScale = saved;
}

bool IsRelative(const std::string& p) {
    return !p.empty() && p[0] != '/';
}

std::string Absolute(const std::string& p) {
    if (!IsRelative(p)) return p;
    std::error_code ec;
    const auto abs = std::filesystem::absolute(p, ec);
    return ec ? p : abs.lexically_normal().string();
}

} // namespace

void LoadTexts() {
    // The options file's choice once it is read, else the desktop's locale.
    std::string note;
    TextDatabaseSource().Language =
        ChooseTextLanguage(GameOptions.Language, DesktopLanguage(), &note);
    if (!note.empty()) {
        static std::string logged;
        if (note != logged) WriteLog(note);
        logged = note;
    }
    LoadApplicationTexts();
    LoadTextDatabase();
}

// --- Cursor ----------------------------------------------------------------------------------

void SetGameCursor(int mode) {
    if (mode == 0) {
        if (CursorImage) CursorImage->FVisible = GameOptions.Cursor;
        if (MainWindow) MainWindow->ShowSystemCursor(!GameOptions.Cursor);
    } else if (mode == 1) {
        if (MainWindow) MainWindow->ShowSystemCursor(false);
        if (CursorImage) CursorImage->FVisible = false;
    }
}

// --- Start-up --------------------------------------------------------------------------------

TMainForm::TMainForm(LaunchSettings settings) : settings_(std::move(settings)) {
    MainForm = this;
    SetMusicTimeFollowsTicks(!settings_.virtualTime);
    if (settings_.virtualTime) {
        FrameTimer.Timing.Source = &virtualClock_;
        FrameTimer.SleepFn = [](int) {};
    }
}

TMainForm::~TMainForm() {
    if (created_) FormDestroy();
    if (MainForm == this) MainForm = nullptr;
}

bool TMainForm::Start() {
    ResetAppState();
    SetDataFolder(FindDataFolder(settings_.dataFolder));
    // Texts: the loose file under Data/tData/Common first, then the archive. Links such as
    // "Data\Fonts.dan | x.xml" start from the folder holding "Data".
    const std::string base = std::filesystem::path(DataFolder()).parent_path().string();
    TextDatabaseSource().BaseFolder = base;
    SetProgramFolder(base);
    LoadTexts();
    // The desktop's folders, or one given folder for everything.
    if (settings_.homeFolder.empty()) {
        folders_ = DefaultAppFolders();
    } else {
        const std::string home = Absolute(settings_.homeFolder);
        folders_ = AppFolders{home, home, home};
    }
    // One running game per user folder: the lock dies with its holder.
    instanceLock_ =
        std::make_unique<SingleInstanceLock>(JoinPath(folders_.data, "Branchwick.lock"));
    if (!instanceLock_->Acquired()) {
        startError_ = TextOr("Application2_msg", "Branchwick is already running.");
        ShowMessageBox("Branchwick", startError_);
        return false;
    }
    if (!instanceLock_->Problem().empty()) pendingLog_.push_back(instanceLock_->Problem());
    // Once, before anything reads them: the files of older versions' single folder move to
    // the desktop's folders (the lines reach the log after its header).
    if (settings_.homeFolder.empty()) {
        for (std::string& line : MoveOldAppFolder(OldAppFolderPath(), folders_))
            pendingLog_.push_back(std::move(line));
    }
    FormCreate();
    return true;
}

void TMainForm::FormCreate() {
    created_ = true;
    RandomSeed(settings_.seed ? *settings_.seed : RandomSeedFromClock());

    const std::string data = DataFolder();
    GameOptions = TGameOptions{};
    GameOptions.AppFolderPath = folders_.data;
    GameOptions.ConfigFolderPath = folders_.config;
    GameOptions.LogFolderPath = folders_.state;
    // Stored links name "Data/..." relative to the folder that holds "Data".
    const std::string parent = std::filesystem::path(data).parent_path().string();
    if (!parent.empty() && ::chdir(parent.c_str()) != 0) WriteLog("cannot enter " + parent, 1);

    const auto& a = settings_.args;
    auto param = [&](size_t i) { return i < a.size() ? a[i] : std::string(); };
    CheatMode = param(0) == "-cht" || param(1) == "-cht";
    ResetOptions = param(0) == "-reset" || param(1) == "-reset";

    // The window exists from here on (hidden until the device has set it up), so the log
    // header can name the video adapter.
    WindowSettings ws;
    ws.clientWidth = 1280;
    ws.clientHeight = 720;
    ws.visible = false;
    std::string error;
    window_ = SdlWindow::Create(ws, &error);
    MainWindow = window_.get();
    if (window_ && settings_.desktopSize) window_->SetDesktopOverride(*settings_.desktopSize);
    if (!window_) startError_ = error;

    auto archive = [this](const std::string& file) { return OpenArchive(file); };
    Archives.Music = archive("Music.dan");
    Archives.Sfx = archive("Sfx.dan");
    Archives.Ambience = archive("Ambience.dan");

    LoadTexts();
    const std::string title = TextOr("Application_Name", "Branchwick");
    if (window_) window_->SetTitle(title);

    LogHeaderFacts facts = GatherLogHeaderFacts(ExecutableFolder(), GameOptions.AppFolderPath);
    if (window_) {
        const TPoint2px screen = window_->PrimaryScreenSize();
        facts.screenWidth = screen.x;
        facts.screenHeight = screen.y;
        facts.bitDepth = window_->DesktopDepth();
        facts.dpi = static_cast<int>(std::lround(window_->DesktopDpi()));
        facts.videoAdapter = window_->GlRenderer();
    }
    facts.savedDesktopWidth = DesktopWidth;
    facts.savedDesktopHeight = DesktopHeight;
    WriteLogHeader(facts);
    FlushPendingLog();
    if (!window_) WriteLog("No window: " + error, 1);

    LoadOptions();
    if (settings_.fullScreen) GameOptions.FullScreen = *settings_.fullScreen;
    if (settings_.windowClientSize && window_) {
        // Any size code without a size of its own keeps the window's client size. This only
        // changes the running game; the file keeps the player's code unless something saves.
        GameOptions.Resolution = 0;
        window_->SetClientSize(settings_.windowClientSize->x, settings_.windowClientSize->y);
    }

    device_ = std::make_unique<TKilnDevice>(window_.get());
    Device = device_.get();
    device_->notify.frameworkCreate = [this] { FrameworkCreate(); };
    device_->notify.frameworkDestroy = [this] { FrameworkDestroy(); };
    device_->notify.deviceInit = [] { SetupDisplay(); };
    device_->notify.deviceCreate = [] { return true; };
    device_->notify.timerReset = [this] { OnTimerReset(); };

    DisplayHooks display;
    display.window = window_.get();
    display.swapChain.addSwapChain = [this](TPoint2px size, bool vsync, int ms) {
        device_->AddSwapChain(size, vsync, ms);
    };
    display.swapChain.resizeSwapChain = [this](TPoint2px size) { device_->ResizeSwapChain(size); };
    display.swapChain.setVSync = [this](bool on) { device_->SetVSync(on); };
    display.setEnginesWorldPosition = [](TPoint2 p) {
        for (TSpriteEngine* e : {MainEngine, LoadingEngine})
            if (e) e->SetWorld(p.x, p.y);
    };
    display.setEnginesVisibleSize = [](int w, int h) {
        for (TSpriteEngine* e : {MainEngine, LoadingEngine})
            if (e) {
                e->FVisibleWidth = w;
                e->FVisibleHeight = h;
            }
    };
    display.setEdgeBars = [](int mode, float thickness) { SetScreenEdges(mode, thickness); };
    SetDisplayHooks(display);

    FrameTimer.FOnTimer = [this] { TimerEvent(); };
    FrameTimer.FOnProcess = [this] { UpdateFrame(); };
    FrameTimer.SetEnabled(true);
    if (GameOptions.FrameLimiter) FrameTimer.SetMaxFPS(200);

    const double now = settings_.virtualTime ? 0.0 : NowMs();
    nextState_ = now + (settings_.virtualTime ? 6 : 100);
    // The level clock; the level decides what a second counts for.
    SetSecondsTimerEnabled(true);
}

TKilnArchive* TMainForm::OpenArchive(const std::string& file) {
    auto arc = std::make_unique<TKilnArchive>();
    arc->SetOpenMode(aomReadOnly);
    const std::string path = DataPath(file);
    if (!arc->OpenFile(path))
        pendingLog_.push_back("Archive " + path + " not opened: " + ArchiveOpenProblem(path));
    archives_.push_back(std::move(arc));
    return archives_.back().get();
}

void TMainForm::FlushPendingLog() {
    for (const std::string& line : pendingLog_) WriteLog(line, 1);
    pendingLog_.clear();
}

void TMainForm::FrameworkCreate() {
    images_ = std::make_unique<TKilnImages>(nullptr);
    // Pictures keep no copy of their pixels once their textures exist: a lost texture is read
    // again from its archive or file.
    images_->FKeepPixels = false;
    // Pictures that wait for their first drawing give their textures back when they have gone
    // undrawn for a while and together hold more than the budget.
    images_->FDeferredBudget = kDeferredTextureBudget;
    images_->FIdleTime = 3 * 60;
    Images = images_.get();
    // A picture that something asks for and the catalogue lacks is named once.
    images_->FOnItemFail = [missing = std::set<std::string>()](const std::string& name) mutable {
        if (missing.insert(name).second) WriteLog("Picture " + name + " is not loaded", 1);
    };
    fonts_ = std::make_unique<TKilnFonts>(images_.get(), nullptr);
    Fonts = fonts_.get();
    auto archive = [this](const std::string& file) { return OpenArchive(file); };
    Archives.External = archive("External.dan");
    Archives.Objects = archive("Objects.dan");
    Archives.Effects = archive("Effects.dan");
    Archives.Common = archive("Common.dan");
    Archives.MainMenu = archive("MainMenu.dan");
    Archives.Loading = archive("Loading.dan");
    Archives.Interface = archive("Interface.dan");
    Archives.Dialogs = archive("Dialogs.dan");
    Archives.Map = archive("Map.dan");
    Archives.Fonts = archive("Fonts.dan");
    Archives.Particles0 = archive("Particles_0.dan");
    Archives.Particles1 = archive("Particles_1.dan");
    Archives.ParticlesLoc = archive("Particles_Loc.dan");
    for (int n = 1; n <= 12; ++n)
        Archives.Locations[static_cast<size_t>(n)] = archive("Loc_" + std::to_string(n) + ".dan");
    for (int n = 0; n <= 2; ++n)
        Archives.Videos[static_cast<size_t>(n)] = archive("Video_" + std::to_string(n) + ".dan");
    Archives.LocationsData = archive("tData_Locations.dan");
    Archives.LevelsData = archive("tData_Levels.dan");
    // Archives are only read while the game runs.
    LockArchiveAccess();
    FlushPendingLog();
}

void TMainForm::OnTimerReset() {
    FrameTimer.Reset();
    if (!ResourcesLoaded && device_ && device_->State() == adsActive) {
        LoadStartupResources();
        ResourcesLoaded = true;
    }
}

void TMainForm::ReleaseSplashPictures() {
    releaseSplash_ = !splashPictures_.empty();
}

void TMainForm::FreeDeadSprites() {
    if (MainEngine) MainEngine->Dead();
    // The splash's sprites have surely gone with the dead now.
    if (releaseSplash_ && images_) {
        WriteLog("Splash pictures released", 2);
        RemoveImageSlots(*images_, splashPictures_);
        releaseSplash_ = false;
    }
}

void TMainForm::LoadStartupResources() {
    Canvas* canvas = device_->GetCanvas();
    images_->SetCanvas(canvas);
    fonts_->SetCanvas(canvas);
    {
        const ImageSlotRecorder splashOnly(*images_, splashPictures_);
        AddSplashFolderPictures(*images_, DataPath("Splash"));
        if (Archives.External) images_->AddAllFromArchive(Archives.External, true, false);
    }
    // The loading screen's and the title's pictures are made when first drawn, a moment later,
    // so that they can give their textures back while neither shows.
    for (TKilnArchive* a : {Archives.Loading, Archives.Common})
        if (a) images_->AddAllFromArchive(a, true, false, TextureTiming::WhenDrawn);

    mainEngine_ = std::make_unique<TSpriteEngine>(canvas, images_.get());
    loadingEngine_ = std::make_unique<TSpriteEngine>(canvas, images_.get());
    MainEngine = mainEngine_.get();
    LoadingEngine = loadingEngine_.get();
    for (TSpriteEngine* e : {MainEngine, LoadingEngine}) e->SetWorld(WorldOffset.x, WorldOffset.y);
    CreateParticleManager(canvas, images_.get(), DataFolder());
    LoadParticleArchive(Archives.Particles0);

    ComputeScreenMode(SwapChainSize.x, SwapChainSize.y, false);
    LoadGameFonts(Archives.Fonts, *images_, *fonts_);
    GuiFonts() = fonts_.get();
    TextWrapper() = ShadowFontWrapper(fonts_.get());

    CursorPoint = new TCursorPoint(MainEngine);
    CursorPoint->onHit = [this](TSprite& s) { RouteHit(s); };
    CursorImage = new TAnimatedSprite(MainEngine);
    CursorImage->SetImageName("Cursor_image.image");
    CursorImage->SetZ(10000);
    CursorImage->FManualRender = true;
    CursorImage->FX = 256;
    CursorImage->FY = 256;

    SetGameCursor(0);
    if (window_) {
        window_->Show();
        window_->Focus();
    }
    // The splash screen calls FinishStartup when it ends; without one the start goes on.
    if (SceneRegistered(scene_Splash))
        SceneOf(scene_Splash).Command(msg_Create);
    else
        FinishStartup();
}

void FinishStartup() {
    LoadTexts();
    CreateLoadingSprites();
    LoadMainResources();
    // The level list comes from the texts' archive; the player's level states follow its
    // length.
    TKilnArchive* texts = TextDataArchive();
    if (!LoadLevelsList(LevelsListKey, texts, LevelsList)) {
        const std::string problem = XmlRecordProblem(LevelsListKey, texts);
        WriteLog("Level list " +
                     (texts ? texts->FileName() : std::string("Data/tData_Common.dan")) + " | " +
                     LevelsListKey + " " +
                     (problem.empty() ? std::string("is not a level list") : problem),
                 1);
    }
    ResizeLevelStates();
    CreateTransitionSprite(MainEngine);
    CreateScreenEdges(MainEngine);
    CurrentScene = scene_Loaded;
}

void TMainForm::PaceForLoading(bool loading) {
    if (loading) {
        FrameTimer.SetMaxFPS(4000);
        if (GameOptions.VSync && device_) device_->SetVSync(false);
    } else {
        if (GameOptions.FrameLimiter) FrameTimer.SetMaxFPS(200);
        if (GameOptions.VSync && device_) device_->SetVSync(true);
    }
}

void TMainForm::LoadingRound() {
    // On virtual time frames come only from StepFrame.
    if (settings_.virtualTime) return;
    IdleRound();
}

// --- Shutdown --------------------------------------------------------------------------------

void TMainForm::FormDestroy() {
    created_ = false;
    if (window_) window_->SetScreenSaverEnabled(true);
    if (device_) {
        device_->FinalizeFramework();
        device_->Disconnect();
    }
    SetDisplayHooks(DisplayHooks{});
    MainWindow = nullptr;
    window_.reset();
    instanceLock_.reset();
}

void TMainForm::FrameworkDestroy() {
    // What the player earned since the last save point is kept when the window closes.
    if (!Player.FileName.empty()) SaveProfile();
    instanceLock_.reset();
    FrameTimer.SetEnabled(false);
    // The particle systems before the catalogue whose pictures they draw.
    DestroyParticleManager();
    // Catalogues before the canvas that holds their textures, the engines after it.
    // Text drawing lets go of the fonts before they are freed.
    GuiFonts() = nullptr;
    TextWrapper() = {};
    Fonts = nullptr;
    fonts_.reset();
    Images = nullptr;
    images_.reset();
    ForgetMainPictures();
    ForgetLoadingScreen();
    Archives = GameArchives{};
    archives_.clear();
    // The lock lives as long as the archives of this game.
    UnlockArchiveAccess();
    CursorPoint = nullptr;
    CursorImage = nullptr;
    // Whoever keeps pointers to sprites lets go of them before the engines free the trees.
    ForEachScene([](Scene& scene) { scene.ForgetSprites(); });
    ForgetMessageSprites();
    ForgetTransitionSprite();
    MainEngine = nullptr;
    mainEngine_.reset();
    LoadingEngine = nullptr;
    loadingEngine_.reset();
    ShutdownSound();
    Device = nullptr;
}

// --- The loop --------------------------------------------------------------------------------

int TMainForm::Run() {
    while (!closing_) IdleRound();
    return 0;
}

void TMainForm::IdleRound() {
    PlatformEvent event;
    while (window_ && window_->PollEvent(event)) {
        Dispatch(event);
        if (closing_) return;
    }
    PollWindowTimers(NowMs());
    FrameTimer.Idle();
}

void TMainForm::PollWindowTimers(double now) {
    const double second = settings_.virtualTime ? 60 : 1000;
    const double tenth = settings_.virtualTime ? 6 : 100;
    if (now >= nextState_) {
        nextState_ = now + tenth;
        stateTimerTimer();
    }
    if (secondsTimerOn_ && now >= nextSecond_) {
        nextSecond_ = now + second;
        SecondsTimerTimer();
    }
}

void TMainForm::StepFrame(int ticks, const std::function<void(Canvas&)>& afterDraw, bool draw) {
    if (draw || !ResourcesLoaded) {
        if (device_) device_->afterDraw = afterDraw;
        DrawFrame();
        if (device_) device_->afterDraw = nullptr;
    } else if (CurrentScene == scene_Loading || CurrentScene == scene_Loaded) {
        if (LoadingEngine) LoadingEngine->Dead();
    } else {
        FreeDeadSprites();
        MouseClicked = false;
        MouseDblClicked = false;
    }
    for (int i = 0; i < ticks; ++i) {
        UpdateFrame();
        ++ticks_;
        virtualClock_.Advance(kTickMs);
        PollWindowTimers(static_cast<double>(ticks_));
    }
}

void TMainForm::TimerEvent() {
    if (DrawFrame()) FrameTimer.Process();
}

bool TMainForm::DrawFrame() {
    if (!device_ || !device_->InitializeFramework()) return false;
    if (device_->AtFault()) {
        if (!FailureHandled) {
            FrameTimer.SetEnabled(false);
            ShowMessageBox("Branchwick", kDeviceFailure);
            WriteLog(kDeviceFailure, 1);
            Close();
        }
        FailureHandled = true;
        return false;
    }
    if (!device_->Connect()) return false;
    if (images_) images_->BeginFrame(updates_);
    if (CurrentScene == scene_Loading || CurrentScene == scene_Loaded)
        device_->Render(0xFF000000, [] { RenderLoadingFrame(); });
    else
        device_->Render(0x00000000, [this] { RenderFrame(); });
    if (images_) {
        images_->EndFrame();
        // A loading screen waiting for its click has time to spare for the pictures that come
        // next; a slice of each frame keeps it responsive.
        if (CurrentScene == scene_Loaded) images_->WarmUp(kWarmUpSeconds);
    }
    return true;
}

void TMainForm::RenderFrame() {
    if (MainEngine) MainEngine->Draw();
    if (TXParticleManager* particles = ParticleManager()) particles->Render(0, 0);
    const float x = WorldOffset.x + 10;
    if (GameOptions.Fps) DrawDebugText("FPS: " + std::to_string(FrameTimer.FrameRate()), x, 5);
    if (GameOptions.Ssc && MainEngine)
        DrawDebugText("SC: " + std::to_string(MainEngine->FAllCount), x, 25);
    if (GameOptions.Spc)
        DrawDebugText(
            "PSC: " + std::to_string(ParticleManager() ? ParticleManager()->FSysCount : 0), x, 45);
    FreeDeadSprites();
    if (TransitionVisible()) TransitionSprite->DoDraw();
    TheScreenNotice().Draw();
    if (CursorImage && CursorImage->FVisible) CursorImage->DoDraw();
    MouseClicked = false;
    MouseDblClicked = false;
}

void TMainForm::UpdateFrame() {
    ++updates_;
    if (AppPaused || CurrentScene == scene_Loading) return;
    if (CurrentScene == scene_Loaded) {
        LoadingPhase += 0.1f;
        if (LoadingPhase > 31400) LoadingPhase = 0;
        return;
    }
    if (TransitionVisible()) {
        TransitionSprite->DoMove(1.0f);
        // Its step at full black may have put up a loading screen.
        if (CurrentScene == scene_Loading || CurrentScene == scene_Loaded) return;
    }
    SoundTick();
    // The scenes between two others have no tick of their own.
    if (CurrentScene == scene_LeaveLoading || CurrentScene == scene_LeaveLevel) return;
    SceneOf(CurrentScene).Tick();
    TheScreenNotice().Tick();
}

// --- Activation and timers -------------------------------------------------------------------

void TMainForm::OnAppDeactivate() {
    if (GameOptions.FullScreen && window_) window_->Minimize();
    AppPaused = true;
    PauseAllSound();
}

void TMainForm::OnAppActivate() {
    if (!GameOptions.FullScreen) {
        AppPaused = false;
        ResumeAllSound();
    }
    WriteLog("app activate", 1);
}

void TMainForm::OnAppRestore() {
    AppPaused = false;
    ResumeAllSound();
    WriteLog("app restore", 1);
}

void TMainForm::stateTimerTimer() {
    if (!window_) return;
    const bool minimized =
        (SDL_GetWindowFlags(SDL_GL_GetCurrentWindow()) & SDL_WINDOW_MINIMIZED) != 0;
    const bool focused = window_->HasFocus();
    if (!GameOptions.FullScreen) {
        if (!AppPaused && !focused && minimized) {
            AppPaused = true;
            PauseAllSound();
            WriteLog("app was minimized by icon click", 1);
        }
    } else {
        if (focused && AppPaused) {
            AppPaused = false;
            ResumeAllSound();
        } else if (minimized && !AppPaused) {
            AppPaused = true;
            PauseAllSound();
        }
    }
}

void TMainForm::SetSecondsTimerEnabled(bool on) {
    if (on && !secondsTimerOn_)
        nextSecond_ = settings_.virtualTime ? static_cast<double>(ticks_) + 60 : NowMs() + 1000;
    secondsTimerOn_ = on;
}

void TMainForm::SecondsTimerTimer() {
    if (AppPaused || Layers().Shown(Layer::Result) || CurrentScene == scene_InGameMenu) return;
    PlaylistTick();
    if (CurrentScene == scene_Level && !Layers().Shown(Layer::Dialog))
        SceneOf(scene_Level).Second();
}

} // namespace bw
