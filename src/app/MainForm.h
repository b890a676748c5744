// The program's frame: start-up and shutdown, the frame loop, input routing and the two
// window timers.
#pragma once

#include "app/Device.h"
#include "app/KilnTimer.h"
#include "base/AppFolders.h"
#include "data/KilnImages.h"
#include "platform/Clock.h"
#include "platform/Events.h"
#include "render/Types.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace bw {

class SdlWindow;
class SingleInstanceLock;
class TKilnArchive;
class TKilnFonts;
class TKilnImages;
class TSpriteEngine;
class TSprite;

// How the program is started.
struct LaunchSettings {
    std::vector<std::string> args; // the command-line parameters after the program's name
    // One folder for the options, the log and the profiles instead of the desktop's three
    // (no move from the old folder then) when not empty.
    std::string homeFolder;
    std::string dataFolder; // replaces the lookup of the "Data" folder when not empty
    // Time moves only when StepFrame says so, nothing sleeps, and the window timers count
    // ticks (60 ticks a second) instead of milliseconds.
    bool virtualTime = false;
    std::optional<uint64_t> seed;
    // A virtual desktop of this size, and the window mode to use instead of the options'.
    std::optional<TPoint2px> desktopSize;
    std::optional<bool> fullScreen;
    // A window of exactly this client size (whatever the options' size code says).
    std::optional<TPoint2px> windowClientSize;
    bool visibleWindow = true;
};

class TMainForm {
public:
    explicit TMainForm(LaunchSettings settings);
    ~TMainForm();
    TMainForm(const TMainForm&) = delete;
    TMainForm& operator=(const TMainForm&) = delete;

    // Program entry up to a running window: single-instance check, FormCreate. False when the
    // program must end (a second instance, no window); the reason is in StartError().
    bool Start();
    const std::string& StartError() const { return startError_; }

    // Runs the message loop until the window closes; returns the exit code.
    int Run();
    // One idle round of the real loop: pending events, the window timers, the frame timer.
    void IdleRound();

    // Virtual time: draws one frame (`afterDraw` sees it before it is presented), then runs
    // `ticks` update ticks, each followed by the window timers that fall due.
    // With `draw` false, once the game has started, the frame is not drawn: only what a drawn
    // frame does besides drawing happens (dead sprites go, the click flags clear), so the
    // state is the same as if it had been.
    void StepFrame(int ticks, const std::function<void(Canvas&)>& afterDraw = {}, bool draw = true);
    uint64_t TickCount() const { return ticks_; }

    void Close() { closing_ = true; }
    bool Closing() const { return closing_; }

    // Event handlers (client pixels).
    void Dispatch(const PlatformEvent& event);
    void FormMouseMove(int x, int y);
    void FormMouseDown(int button);
    void FormMouseUp(int button);
    void FormClick();
    void FormDblClick();
    void FormKeyDown(Key key);
    // F11 or Alt+Enter: full screen or a window, as the options' box switches it.
    void FullScreenKeyDown();
    void FormMouseEnter();
    void FormMouseLeave();
    void OnAppActivate();
    void OnAppDeactivate();
    void OnAppRestore();
    void stateTimerTimer();
    void SecondsTimerTimer();

    // While a loading batch reads: the frame limiter off and vertical sync off (true), and
    // both back as the options say (false).
    void PaceForLoading(bool loading);
    // One idle round from inside a loading batch, which draws the loading screen (pending
    // events are handled, and ignored while loading).
    void LoadingRound();

    // Lets the splash's own pictures go once the splash is over (they are read at every start
    // and drawn only by the splash), after the next frame has freed its dead sprites.
    void ReleaseSplashPictures();

    // The level clock, switched by the in-game interface.
    void SetSecondsTimerEnabled(bool on);
    bool SecondsTimerEnabled() const { return secondsTimerOn_; }

    TKilnTimer FrameTimer;
    bool FailureHandled = false;

private:
    void FormCreate();
    void FormDestroy();
    void FrameworkCreate();
    void FrameworkDestroy();
    void OnTimerReset();
    void LoadStartupResources();
    TKilnImageSlots splashPictures_;
    bool releaseSplash_ = false;
    // Frees the main engine's dead sprites, then the pictures waiting for them to go.
    void FreeDeadSprites();
    void TimerEvent();
    bool DrawFrame();
    void RenderFrame();
    void UpdateFrame();
    void RouteHit(TSprite& sprite);
    // Opens "Data/<file>" read-only and keeps it; a missing or damaged file leaves an archive
    // that reads nothing, and a line for the log saying why.
    TKilnArchive* OpenArchive(const std::string& file);
    // Writes the lines kept for the log until it was started.
    void FlushPendingLog();
    void PollWindowTimers(double now);

    LaunchSettings settings_;
    AppFolders folders_;
    std::string startError_;
    std::unique_ptr<SingleInstanceLock> instanceLock_;
    std::unique_ptr<SdlWindow> window_;
    std::unique_ptr<TKilnDevice> device_;
    std::unique_ptr<TKilnImages> images_;
    std::unique_ptr<TKilnFonts> fonts_;
    std::vector<std::unique_ptr<TKilnArchive>> archives_;
    std::vector<std::string> pendingLog_;
    std::unique_ptr<TSpriteEngine> mainEngine_;
    std::unique_ptr<TSpriteEngine> loadingEngine_;
    ManualTimeSource virtualClock_;
    bool closing_ = false;
    bool created_ = false;
    bool secondsTimerOn_ = false;
    uint64_t ticks_ = 0;
    uint64_t updates_ = 0; // update ticks run, by the frame timer or by StepFrame
    double nextSecond_ = 0;
    double nextState_ = 0;
};

// Shows the game's pointer image (mode 0, when the option asks for it) or hides every pointer
// (mode 1, while loading).
void SetGameCursor(int mode);
// Called when the splash screen ends: loads the main resources behind the loading screen.
void FinishStartup();
// The Escape key's action for the current scene.
void HandleEscape();
// Reads the application texts and the text database again (the Home debug key).
void LoadTexts();

// Loading progress between 0 and 31400 that animates the loaded screen.
extern float LoadingPhase;

} // namespace bw
