#include "app/MainForm.h"

#include "Engine/KilnSprite/SpriteEngine.h"
#include "app/FrameHooks.h"
#include "app/GameModules.h"
#include "app/LogHeader.h"
#include "app/ScreenMode.h"
#include "base/CursorPoint.h"
#include "base/GameObjects.h"
#include "base/GameOptions.h"
#include "base/GameState.h"
#include "data/KilnArchive.h"
#include "data/KilnFonts.h"
#include "data/KilnImages.h"
#include "platform/Files.h"
#include "platform/Log.h"
#include "platform/PictureFile.h"
#include "platform/Random.h"
#include "platform/SdlWindow.h"
#include "platform/SingleInstance.h"

#include <SDL.h>

#include <cmath>
#include <filesystem>
#include <unistd.h>

#ifndef BW_INSTALLED_DATA_DIR
#define BW_INSTALLED_DATA_DIR "/usr/local/share/branchwick/Data"
#endif

namespace bw {

// --- Module state ----------------------------------------------------------------------------

TMainForm* MainForm = nullptr;
SdlWindow* MainWindow = nullptr;
TKilnDevice* Device = nullptr;
TKilnImages* Images = nullptr;
TKilnFonts* Fonts = nullptr;
TSpriteEngine* MainEngine = nullptr;
TSpriteEngine* LoadingEngine = nullptr;
TCursorPoint* CursorPoint = nullptr;
TAnimatedSprite* CursorImage = nullptr;
GameArchives Archives;
float LoadingPhase = 0;

FrameHooks& Hooks() {
    static FrameHooks hooks;
    return hooks;
}

namespace {

std::string& DataFolderRef() {
    static std::string folder;
    return folder;
}

constexpr double kTickMs = 1000.0 / 60.0;
constexpr char kAppSubFolder[] = "KestruneEntertainment/Tallow Studios/Branchwick";
constexpr char kDeviceFailure[] = "Failed initializing device";

std::string TextOr(const char* key, const char* fallback) {
    if (Hooks().text) {
        std::string t = Hooks().text(key);
        if (!t.empty()) return t;
    }
    return fallback;
}

bool TransitionVisible() {
    return AskHook(Hooks().transitionVisible);
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

const std::string& DataFolder() {
    return DataFolderRef();
}
std::string DataPath(const std::string& name) {
    return JoinPath(DataFolder(), name);
}

std::string FindDataFolder(const std::string& preferred) {
    if (!preferred.empty()) return Absolute(preferred);
    const std::string beside = JoinPath(ExecutableFolder(), "Data");
    if (FolderExists(beside)) return beside;
    if (FolderExists(BW_INSTALLED_DATA_DIR)) return BW_INSTALLED_DATA_DIR;
    return beside;
}

std::string DefaultAppFolderPath() {
    return UserDataFolder() + "/" + kAppSubFolder;
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
    if (settings_.virtualTime) {
        FrameTimer.Timing.Source = &virtualClock_;
        FrameTimer.SleepFn = [](int) {};
    }
}

TMainForm::~TMainForm() {
    if (created_) FormDestroy();
    Hooks() = FrameHooks{};
    if (MainForm == this) MainForm = nullptr;
}

bool TMainForm::Start() {
    ResetAppState();
    DataFolderRef() = FindDataFolder(settings_.dataFolder);
    InstallGameModules(DataFolderRef());
    CallHook(Hooks().loadTexts);
    // One running game per user folder: the lock dies with its holder.
    const std::string home =
        settings_.homeFolder.empty() ? DefaultAppFolderPath() : Absolute(settings_.homeFolder);
    instanceLock_ = std::make_unique<SingleInstanceLock>(JoinPath(home, "Branchwick.lock"));
    if (!instanceLock_->Acquired()) {
        startError_ = TextOr("Application2_msg", "Branchwick is already running.");
        ShowMessageBox("Branchwick", startError_);
        return false;
    }
    FormCreate();
    return true;
}

void TMainForm::FormCreate() {
    created_ = true;
    RandomSeed(settings_.seed ? *settings_.seed : RandomSeedFromClock());

    const std::string data = DataFolder();
    GameOptions = TGameOptions{};
    GameOptions.AppFolderPath =
        settings_.homeFolder.empty() ? DefaultAppFolderPath() : Absolute(settings_.homeFolder);
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

    CallHook(Hooks().loadTexts);
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
    SetDisplayHooks(display);

    FrameTimer.FOnTimer = [this] { TimerEvent(); };
    FrameTimer.FOnProcess = [this] { UpdateFrame(); };
    FrameTimer.SetEnabled(true);
    if (GameOptions.FrameLimiter) FrameTimer.SetMaxFPS(200);

    const double now = settings_.virtualTime ? 0.0 : NowMs();
    nextState_ = now + (settings_.virtualTime ? 6 : 100);
}

TKilnArchive* TMainForm::OpenArchive(const std::string& file) {
    auto arc = std::make_unique<TKilnArchive>();
    arc->SetOpenMode(aomReadOnly);
    arc->OpenFile(DataPath(file));
    archives_.push_back(std::move(arc));
    return archives_.back().get();
}

void TMainForm::FrameworkCreate() {
    images_ = std::make_unique<TKilnImages>(nullptr);
    Images = images_.get();
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
}

void TMainForm::OnTimerReset() {
    FrameTimer.Reset();
    if (!ResourcesLoaded && device_ && device_->State() == adsActive) {
        LoadStartupResources();
        ResourcesLoaded = true;
    }
}

void TMainForm::LoadStartupResources() {
    Canvas* canvas = device_->GetCanvas();
    images_->SetCanvas(canvas);
    fonts_->SetCanvas(canvas);
    // Loose pictures of the splash screen.
    const std::string splash = DataPath("Splash");
    for (const std::string& name : ListFiles(splash)) {
        Picture pic;
        std::string error;
        if (!LoadPictureFile(JoinPath(splash, name), pic, &error)) {
            WriteLog("Cannot read " + name + ": " + error, 1);
            continue;
        }
        TKilnImageData data;
        data.Name = name;
        data.PatternSize = {pic.width, pic.height};
        data.TextureSize = {pic.width, pic.height};
        data.PatternCount = 1;
        data.Textures.push_back(std::move(pic.argb));
        images_->AddFromPixels(std::move(data));
    }
    CallHook(Hooks().loadStartupImages);

    mainEngine_ = std::make_unique<TSpriteEngine>(canvas, images_.get());
    loadingEngine_ = std::make_unique<TSpriteEngine>(canvas, images_.get());
    MainEngine = mainEngine_.get();
    LoadingEngine = loadingEngine_.get();
    for (TSpriteEngine* e : {MainEngine, LoadingEngine}) e->SetWorld(WorldOffset.x, WorldOffset.y);

    CallHook(Hooks().loadStartupParticles);
    ComputeScreenMode(SwapChainSize.x, SwapChainSize.y, false);
    CallHook(Hooks().loadFonts);

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
    if (Hooks().createSplash)
        Hooks().createSplash();
    else
        FinishStartup();
}

void FinishStartup() {
    CallHook(Hooks().loadTexts);
    CallHook(Hooks().createLoadingSprites);
    CallHook(Hooks().loadMainResources);
    CallHook(Hooks().loadLevelList);
    CallHook(Hooks().createPersistentSprites);
    CurrentScene = scene_Loaded;
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
    instanceLock_.reset();
    FrameTimer.SetEnabled(false);
    // Catalogues before the canvas that holds their textures, the engines after it.
    Fonts = nullptr;
    fonts_.reset();
    Images = nullptr;
    images_.reset();
    Archives = GameArchives{};
    archives_.clear();
    CursorPoint = nullptr;
    CursorImage = nullptr;
    // Whoever keeps pointers to sprites lets go of them before the engines free the trees.
    CallHook(Hooks().forgetSprites);
    MainEngine = nullptr;
    mainEngine_.reset();
    LoadingEngine = nullptr;
    loadingEngine_.reset();
    CallHook(Hooks().shutdownSound);
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

void TMainForm::StepFrame(int ticks, const std::function<void(Canvas&)>& afterDraw) {
    if (device_) device_->afterDraw = afterDraw;
    DrawFrame();
    if (device_) device_->afterDraw = nullptr;
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
    if (CurrentScene == scene_Loading || CurrentScene == scene_Loaded) {
        device_->Render(0xFF000000, [] {
            if (Hooks().renderLoadingFrame)
                Hooks().renderLoadingFrame();
            else if (LoadingEngine)
                LoadingEngine->Draw();
        });
    } else {
        device_->Render(0x00000000, [this] { RenderFrame(); });
    }
    return true;
}

void TMainForm::RenderFrame() {
    if (MainEngine) MainEngine->Draw();
    CallHook(Hooks().renderParticles);
    if (Hooks().drawDebugText) {
        const float x = WorldOffset.x + 10;
        if (GameOptions.Fps)
            Hooks().drawDebugText("FPS: " + std::to_string(FrameTimer.FrameRate()), x, 5);
        if (GameOptions.Ssc && MainEngine)
            Hooks().drawDebugText("SC: " + std::to_string(MainEngine->FAllCount), x, 25);
        if (GameOptions.Spc)
            Hooks().drawDebugText("PSC: " + std::to_string(Hooks().particleSystemCount
                                                               ? Hooks().particleSystemCount()
                                                               : 0),
                                  x, 45);
    }
    if (MainEngine) MainEngine->Dead();
    if (TransitionVisible()) CallHook(Hooks().drawTransition);
    CallHook(Hooks().drawAwardNotice);
    if (CursorImage && CursorImage->FVisible) CursorImage->DoDraw();
    MouseClicked = false;
    MouseDblClicked = false;
}

void TMainForm::HitTest() {
    if (CursorPoint && !LevelFinished) CursorPoint->Collision();
}

void TMainForm::UpdateFrame() {
    if (AppPaused || CurrentScene == scene_Loading) return;
    if (CurrentScene == scene_Loaded) {
        LoadingPhase += 0.1f;
        if (LoadingPhase > 31400) LoadingPhase = 0;
        return;
    }
    if (TransitionVisible()) CallHook(Hooks().moveTransition);
    CallHook(Hooks().soundTick);

    const SceneHooks& scene = Hooks().scenes[CurrentScene < SceneCount ? CurrentScene : 0];
    auto move = [&] {
        if (scene.move)
            scene.move();
        else if (MainEngine)
            MainEngine->Move(1.0f);
    };
    switch (CurrentScene) {
    case scene_Level:
        if (ResultDelayActive) {
            if (ResultDelay > 0) {
                ResultDelay -= 0.1f;
            } else {
                ResultDelayActive = false;
                CallHook(Hooks().createResultPanel);
            }
        }
        if (Hooks().levelTick) {
            Hooks().levelTick(); // moves, hit-tests and updates the board in its own order
        } else {
            move();
            if (!TransitionVisible() && !ResultDelayActive && !LevelFinished &&
                !AskHook(Hooks().messageShown) && !AskHook(Hooks().dialogShown))
                HitTest();
        }
        break;
    case scene_Map:
    case scene_Video:
        CallHook(scene.update);
        move();
        HitTest();
        break;
    case scene_Splash:
        move();
        break;
    case scene_MainMenu:
        CallHook(scene.update);
        move();
        if (!TransitionVisible()) HitTest();
        break;
    case scene_Options:
        CallHook(scene.update);
        move();
        HitTest();
        break;
    case scene_ChoosePlayer:
    case scene_EnterName:
    case scene_Credits:
    case scene_Awards:
        CallHook(Hooks().scenes[scene_MainMenu].update);
        CallHook(scene.update);
        move();
        HitTest();
        CallHook(scene.afterHitTest);
        break;
    case scene_InGameMenu:
        CallHook(scene.update);
        move();
        HitTest();
        break;
    case scene_Help:
        CallHook(scene.update);
        HitTest();
        break;
    default:
        break;
    }
}

// --- Input -----------------------------------------------------------------------------------

void TMainForm::RouteHit(TSprite& sprite) {
    FrameHooks& h = Hooks();
    if (AskHook(h.messageShown)) {
        CallHook(h.messageHit, sprite);
        return;
    }
    if (AskHook(h.resultShown)) {
        CallHook(h.resultHit, sprite);
        return;
    }
    if (CurrentScene < SceneCount) CallHook(h.scenes[CurrentScene].hit, sprite);
}

void TMainForm::Dispatch(const PlatformEvent& e) {
    switch (e.type) {
    case EventType::Quit:
        Close();
        break;
    case EventType::MouseMove:
        FormMouseMove(e.x, e.y);
        break;
    case EventType::MouseDown:
        FormMouseDown(e.button);
        break;
    case EventType::MouseDoubleClick:
        FormDblClick();
        FormMouseDown(e.button);
        break;
    case EventType::MouseUp:
        FormMouseUp(e.button);
        break;
    case EventType::MouseClick:
        FormClick();
        break;
    case EventType::MouseEnter:
        FormMouseEnter();
        break;
    case EventType::MouseLeave:
        FormMouseLeave();
        break;
    case EventType::KeyDown:
        if ((e.key == Key::Backspace || e.key == Key::Enter) && CurrentScene == scene_EnterName)
            CallHook(Hooks().textKey);
        FormKeyDown(e.key);
        break;
    case EventType::TextInput:
        CallHook(Hooks().textInput, e.text);
        break;
    case EventType::Activated:
        OnAppActivate();
        break;
    case EventType::Deactivated:
        OnAppDeactivate();
        break;
    case EventType::Restored:
        OnAppRestore();
        break;
    default:
        break;
    }
}

void TMainForm::FormMouseMove(int x, int y) {
    if (!CursorPoint || CursorPoint->FDeaded) return;
    CursorPoint->FX = static_cast<float>(x) / DisplayScale.x;
    CursorPoint->FY = static_cast<float>(y) / DisplayScale.y;
    MouseX = static_cast<double>(CursorPoint->FX) + WorldOffset.x;
    MouseY = static_cast<double>(CursorPoint->FY) + WorldOffset.y;
    CursorPoint->FCollidePos = TPoint2{static_cast<float>(MouseX), static_cast<float>(MouseY)};
    CursorPoint->FCollideRect = TRect{
        static_cast<int>(std::nearbyint(MouseX)), static_cast<int>(std::nearbyint(MouseY)),
        static_cast<int>(std::nearbyint(MouseX + 1)), static_cast<int>(std::nearbyint(MouseY + 1))};
    if (CursorImage) {
        const bool dragging = AskHook(Hooks().draggingSomething);
        CursorImage->FX = static_cast<float>(MouseX - (dragging ? 15 : 5));
        CursorImage->FY = static_cast<float>(MouseY - (dragging ? 35 : 13));
    }
}

void TMainForm::FormMouseDown(int button) {
    FrameHooks& h = Hooks();
    if (CurrentScene == scene_Loading || LevelFinished) return;
    if (CurrentScene == scene_Loaded) {
        CallHook(h.leaveLoadingScreen);
        return;
    }
    if (TransitionVisible() || AskHook(h.resultShown) || AskHook(h.messageShown) ||
        AskHook(h.dialogShown) || button != static_cast<int>(MouseButton::Left))
        return;
    HitTest();
    if (!AskHook(h.resultShown) && !AskHook(h.popupActive) && !AskHook(h.inGameMenuOrHelpOpen) &&
        CurrentScene != scene_Options)
        CallHook(h.boardPointerUpdate);
    MouseReleased = false;
    MouseButtonDown = true;
}

void TMainForm::FormMouseUp(int button) {
    FrameHooks& h = Hooks();
    if (CurrentScene == scene_Loading || CurrentScene == scene_Loaded || LevelFinished ||
        AskHook(h.resultShown))
        return;
    if (AskHook(h.dialogShown) || AskHook(h.swallowNextRelease)) {
        CallHook(h.setSwallowNextRelease, AskHook(h.dialogShown));
        return;
    }
    if (TransitionVisible() || button != static_cast<int>(MouseButton::Left)) return;
    switch (CurrentScene) {
    case scene_Level:
        MouseButtonDown = false;
        MouseReleased = true;
        if (h.scenes[scene_Level].release) {
            h.scenes[scene_Level].release(); // the board's release sequence
        } else {
            HitTest();
            CallHook(h.boardPointerUpdate);
        }
        MouseReleased = false;
        CallHook(h.stopDragLoops);
        break;
    case scene_Options:
    case scene_ChoosePlayer:
    case scene_EnterName:
    case scene_Credits:
    case scene_Awards:
        MouseReleased = true;
        MouseButtonDown = false;
        CallHook(h.scenes[CurrentScene].release);
        MouseReleased = false;
        break;
    default:
        break;
    }
}

void TMainForm::FormClick() {
    FrameHooks& h = Hooks();
    switch (CurrentScene) {
    case scene_Loading:
        return;
    case scene_Loaded:
        CallHook(h.leaveLoadingScreen);
        return;
    case scene_Splash:
        CallHook(h.skipSplash);
        return;
    case scene_Level:
        if (AskHook(h.popupActive)) {
            CallHook(h.popupClick);
            return;
        }
        if (AskHook(h.dialogShown)) {
            CallHook(h.dialogClick);
            return;
        }
        break;
    default:
        break;
    }
    if (LevelFinished || TransitionVisible()) return;
    MouseClicked = true;
    HitTest();
    if (AskHook(h.tutorialActive) && MouseClicked && MouseButtonDown &&
        !AskHook(h.inGameMenuOrHelpOpen))
        CallHook(h.tutorialClick);
}

void TMainForm::FormDblClick() {
    if (CurrentScene == scene_Loading || LevelFinished) return;
    if (CurrentScene == scene_Loaded) {
        CallHook(Hooks().leaveLoadingScreen);
        return;
    }
    if (TransitionVisible()) return;
    MouseDblClicked = true;
    HitTest();
}

void TMainForm::FormKeyDown(Key key) {
    if (CurrentScene == scene_Loading) return;
    if (CurrentScene == scene_Loaded) {
        CallHook(Hooks().leaveLoadingScreen);
        return;
    }
    if (TransitionVisible()) return;
    if (key == Key::Escape) HandleEscape();
    if (!CheatMode) return;
    switch (key) {
    case Key::F1:
        CallHook(Hooks().cheatEvaluateLevel);
        break;
    case Key::F6:
        CallHook(Hooks().cheatOpenAllLevels);
        break;
    case Key::Home:
        CallHook(Hooks().loadTexts);
        break;
    default:
        break;
    }
}

void TMainForm::FormMouseEnter() {
    switch (CurrentScene) {
    case scene_Loading:
    case scene_Loaded:
    case scene_Splash:
    case scene_Video:
        return;
    default:
        if (CursorImage && GameOptions.Cursor) CursorImage->FVisible = true;
    }
}

void TMainForm::FormMouseLeave() {
    if (CursorImage) CursorImage->FVisible = false;
}

void HandleEscape() {
    if (LevelFinished) return;
    FrameHooks& h = Hooks();
    switch (CurrentScene) {
    case scene_Splash:
        CallHook(h.skipSplash);
        return;
    case scene_Video:
    case scene_Help:
        CallHook(h.scenes[CurrentScene].escape);
        return;
    case scene_Level:
    case scene_Map:
    case scene_MainMenu:
    case scene_Options:
    case scene_ChoosePlayer:
    case scene_EnterName:
    case scene_Credits:
    case scene_Awards:
    case scene_InGameMenu:
        if (AskHook(h.messageShown))
            CallHook(h.closeMessage);
        else
            CallHook(h.scenes[CurrentScene].escape);
        return;
    default:
        return;
    }
}

// --- Activation and timers -------------------------------------------------------------------

void TMainForm::OnAppDeactivate() {
    if (GameOptions.FullScreen && window_) window_->Minimize();
    AppPaused = true;
    CallHook(Hooks().pauseSound);
}

void TMainForm::OnAppActivate() {
    if (!GameOptions.FullScreen) {
        AppPaused = false;
        CallHook(Hooks().resumeSound);
    }
    WriteLog("app activate", 1);
}

void TMainForm::OnAppRestore() {
    AppPaused = false;
    CallHook(Hooks().resumeSound);
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
            CallHook(Hooks().pauseSound);
            WriteLog("app was minimized by icon click", 1);
        }
    } else {
        if (focused && AppPaused) {
            AppPaused = false;
            CallHook(Hooks().resumeSound);
        } else if (minimized && !AppPaused) {
            AppPaused = true;
            CallHook(Hooks().pauseSound);
        }
    }
}

void TMainForm::SetSecondsTimerEnabled(bool on) {
    if (on && !secondsTimerOn_)
        nextSecond_ = settings_.virtualTime ? static_cast<double>(ticks_) + 60 : NowMs() + 1000;
    secondsTimerOn_ = on;
}

void TMainForm::SecondsTimerTimer() {
    FrameHooks& h = Hooks();
    if (AppPaused || AskHook(h.resultShown) || CurrentScene == scene_InGameMenu) return;
    CallHook(h.playlistSecond);
    if (CurrentScene == scene_Level && !AskHook(h.dialogShown)) CallHook(h.levelSecond);
}

} // namespace bw
