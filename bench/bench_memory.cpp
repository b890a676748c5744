// Resident memory of the real game on the built data set, from the program's entry through a
// session that plays a level in every location one after the other, against the floor of a
// session that enters the last location first. Each session runs in a process of its own, so
// that one's heap does not hide in the other's figures; the peak is the process's high-water
// mark (VmHWM), read after each location. The high-water mark is set back to the resident size
// before the last location in both sessions, so that their figures for it compare what that
// location needs after the walk and on its own.
//
// Every loading screen is drawn while it waits for the player's click, as the game draws it:
// that is when the pictures that come next are warmed up. The first one waits four seconds,
// as long as a player spends there, in the menu and on the map before the first level; the
// screen of each location waits one.
//
// The level of each location is the first level of the list that the data set has a file
// for, played in that location (its board, pictures, music and ambience): the figures count
// the pictures of every location whether or not its own levels are written yet.
//
// Prints one line per figure; fails (exit 1) when a session cannot start or a level cannot
// be played. BW_BENCH_SMOKE walks three locations instead of twelve, past shorter waits.
// Usage: bench/bench_memory (the data set is found beside CMakeCache.txt, or in BW_DATA).
#include "BenchSession.h"
#include "app/GameWiring.h"
#include "app/LoadingScreen.h"
#include "app/MainForm.h"
#include "app/Splash.h"
#include "base/GameOptions.h"
#include "base/GameState.h"
#include "base/Scene.h"
#include "board/LevelData.h"
#include "ingame/LevelScene.h"
#include "meta/Profile.h"
#include "platform/Files.h"
#include "platform/Log.h"
#include "replay/Replay.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

std::string DataFolder() {
    if (const char* d = std::getenv("BW_DATA")) return d;
    return bw::BuildTreeDataFolder(bw::ExecutableFolder());
}

// A field of /proc/self/status in MB.
double StatusMb(const std::string& field) {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(field + ":", 0) == 0)
            return std::atof(line.c_str() + field.size() + 1) / 1024.0;
    return 0;
}

// Sets the high-water mark back to the resident size; false where the kernel does not let it.
bool ResetPeak() {
    std::ofstream out("/proc/self/clear_refs");
    out << "5";
    out.flush();
    return static_cast<bool>(out);
}

struct Figures {
    double startPeak = 0;     // after start-up (the first loading screen)
    double peak = 0;          // at the end of the walk
    double lastPeak = 0;      // while in the last location
    bool lastPeakOwn = false; // the high-water mark could be set back before it
    double rss[13] = {};      // after each location's level has played a while
    bool ok = false;
    char failed[96] = {}; // where a session stopped
};

// How long the screens wait: a smoke run only checks that the road can be walked.
double WaitScale = 1;

// The loading screen on display for `seconds`, drawn 60 times a second, until the click.
void WaitAtLoadingScreen(bw::TMainForm& form, double seconds) {
    for (int frame = 0;
         frame < static_cast<int>(seconds * WaitScale * 60) && bw::CurrentScene == bw::scene_Loaded;
         ++frame)
        form.StepFrame(1);
}

// One session: start-up, then a level in each location of `walk`.
Figures Session(const std::string& data, const std::vector<int>& walk) {
    Figures f;
    const auto fail = [&f](const std::string& why) {
        std::snprintf(f.failed, sizeof f.failed, "%s", why.c_str());
        return f;
    };
    const auto home =
        std::filesystem::temp_directory_path() / ("bw_bench_memory_" + std::to_string(::getpid()));
    std::filesystem::remove_all(home);
    std::filesystem::create_directories(home);
    const bw::LaunchSettings ls = BenchLaunch(data, home.string());
    bw::Player = bw::TPlayer{};
    bw::WireGame();
    auto form = std::make_unique<bw::TMainForm>(ls);
    if (!form->Start()) return fail("the window did not open");
    form->StepFrame(1);
    if (bw::CurrentScene != bw::scene_Splash) return fail("no splash");
    bw::DestroySplash();
    bw::FinishStartup();
    if (bw::CurrentScene != bw::scene_Loaded) return fail("no first loading screen");
    WaitAtLoadingScreen(*form, 4);
    f.startPeak = StatusMb("VmHWM");

    // The first level with a file stands for every location.
    std::string file;
    for (const auto& entry : bw::LevelsList)
        if (bw::LevelCanStart(static_cast<int>(&entry - bw::LevelsList.data()))) {
            file = entry.FileName;
            break;
        }
    if (file.empty()) return fail("no level file");
    for (int location : walk) {
        if (location == walk.back()) {
            f.peak = StatusMb("VmHWM");
            f.lastPeakOwn = ResetPeak();
        }
        int index = -1;
        for (size_t i = 0; i < bw::LevelsList.size(); ++i)
            if (bw::LevelsList[i].Location == location) {
                index = static_cast<int>(i);
                break;
            }
        if (index < 0) return fail("no level in location " + std::to_string(location));
        bw::LevelsList[static_cast<size_t>(index)].FileName = file;
        bw::Player.Level = index;
        if (bw::CurrentScene == bw::scene_Level)
            bw::SceneOf(bw::scene_Level).Command(bw::msg_Destroy);
        bw::CurrentScene = bw::scene_Level; // as the fade into a level sets it
        if (!bw::PlayLevel(index))
            return fail("level " + std::to_string(index + 1) + " did not start");
        // Behind the loading screen the first time: leaving it starts the level.
        if (bw::CurrentScene == bw::scene_Loaded) {
            WaitAtLoadingScreen(*form, 1);
            bw::LeaveLoadingScreen();
        }
        if (bw::CurrentScene != bw::scene_Level)
            return fail("location " + std::to_string(location) + " ends in " +
                        bw::SceneName(bw::CurrentScene) + " after " +
                        bw::SceneName(bw::SceneAfterLoading));
        // Over three seconds of play, drawn every 20 ticks: every picture of the board and the
        // location reaches a texture, and those of the location left give theirs back.
        for (int step = 0; step < 10; ++step) form->StepFrame(20);
        f.rss[location] = StatusMb("VmRSS");
    }
    f.lastPeak = StatusMb("VmHWM");
    f.peak = std::max(f.peak, f.lastPeak);
    f.ok = true;
    form.reset();
    bw::UnwireGame();
    std::filesystem::remove_all(home);
    return f;
}

// The session in a child process; its figures come back through a pipe.
Figures InChild(const std::string& data, const std::vector<int>& walk) {
    if (std::getenv("BW_MEMORY_IN_PROCESS")) { // for a debugger
        bw::SetLogListener([](const std::string& l) { std::fprintf(stderr, "%s\n", l.c_str()); });
        return Session(data, walk);
    }
    int fds[2];
    if (pipe(fds) != 0) return {};
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        bw::SetLogListener([](const std::string&) {});
        const Figures f = Session(data, walk);
        const ssize_t wrote = write(fds[1], &f, sizeof f);
        _exit(wrote == static_cast<ssize_t>(sizeof f) ? 0 : 1);
    }
    close(fds[1]);
    Figures f;
    if (read(fds[0], &f, sizeof f) != static_cast<ssize_t>(sizeof f)) f = {};
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (!f.ok && f.failed[0] == 0)
        std::snprintf(f.failed, sizeof f.failed, "the session ended with status %d", status);
    return f;
}

} // namespace

int main() {
    const std::string data = DataFolder();
    if (data.empty()) {
        std::puts("bench_memory: no built data set");
        return 1;
    }
    const bool smoke = std::getenv("BW_BENCH_SMOKE") != nullptr;
    if (smoke) WaitScale = 0.1;
    std::vector<int> walk;
    for (int n = 1; n <= (smoke ? 3 : 12); ++n) walk.push_back(n);
    const int last = walk.back();

    const Figures whole = InChild(data, walk);
    const Figures floor = InChild(data, {last});
    if (!whole.ok || !floor.ok) {
        std::printf("bench_memory: a session did not reach its levels: %s%s\n", whole.failed,
                    floor.failed);
        return 1;
    }
    std::printf("peak through start-up: %.0f MB\n", whole.startPeak);
    for (int n : walk) std::printf("resident in location %d: %.0f MB\n", n, whole.rss[n]);
    std::printf("peak of the walk through locations 1..%d: %.0f MB (target at most 300)\n", last,
                whole.peak);
    const bool own = whole.lastPeakOwn && floor.lastPeakOwn;
    const double after = own ? whole.lastPeak : whole.peak;
    const double first = own ? floor.lastPeak : floor.peak;
    const char* what = own ? "peak in" : "peak of the session up to";
    std::printf("%s location %d after 1..%d: %.0f MB\n", what, last, last - 1, after);
    std::printf("%s location %d entered first (floor): %.0f MB\n", what, last, first);
    std::printf("location %d after the walk / floor: %.2f (target at most 1.10)\n", last,
                after / first);
    return 0;
}
