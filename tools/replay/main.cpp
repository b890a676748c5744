// branchwick-replay: plays the real game unattended from a script of input events.
#include "MenuSceneryShowcase.h"
#include "Showcase.h"
#include "platform/Files.h"
#include "replay/Replay.h"

#include <SDL.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

namespace {

const char kUsage[] =
    "usage: branchwick-replay [options]\n"
    "  --seed N            seed of the random generator (default 1)\n"
    "  --home DIR          folder of the options, log and profiles\n"
    "  --data DIR          the game's Data folder (default: beside the program, the\n"
    "                      installed one, or the build's when run from a build tree)\n"
    "  --extra-archive FILE  read the records of FILE in place of those with the same\n"
    "                      key in the game's archives (repeatable; later ones win)\n"
    "  --size WxH          client size in pixels (default 1920x1080)\n"
    "  --fullscreen        full screen on a virtual desktop of that size (default)\n"
    "  --window            a window of that client size\n"
    "  --input FILE        script, one line each: '[TICK|+N] EVENT ARGS' (no tick: +0;\n"
    "                      +N counts from where the line before finished)\n"
    "                      events: move X Y | down [left|right|middle] | up [..] |\n"
    "                      click [NAME [N]] | dblclick [NAME [N]] | drag X1 Y1 X2 Y2 |\n"
    "                      key NAME | text TEXT | type TEXT | enter | leave | activate |\n"
    "                      deactivate | wait TICKS | wait scene NAME [MAX] |\n"
    "                      expect PATH OP [VALUE] | dump FILE | shot FILE\n"
    "                      X and Y in design units (1920x1080); NAME a button name or a\n"
    "                      sprite class; drag takes board cells; OP one of == != < <= >\n"
    "                      >= contains exists absent; PATH into the dump: player.Score;\n"
    "                      key NAME: escape f1 f6 f11 home enter backspace left right\n"
    "                      delete end, after alt+ with the Alt key held (alt+enter)\n"
    "  --ticks N           stop after N update ticks (default 600)\n"
    "  --ticks-per-frame N update ticks run after each drawn frame (default 1)\n"
    "  --shot TICK:FILE    write the frame drawn at TICK as PNG (repeatable)\n"
    "  --dump TICK:FILE    write the game state at TICK as JSON (repeatable)\n"
    "  --cheat             start with the debug keys on (-cht)\n"
    "  --start-level N     play level N of the level list (1-based) once started\n"
    "  --popup             with --start-level: the level opens with its mission pop-up, whose\n"
    "                      first fold starts the level's tutorial\n"
    "  --draw-every-frame  draw every frame, not only those a screenshot is taken of\n"
    "  --film N            play the intro (0) or the outro (1) once started\n"
    "  --quick-start       end the splash screen at once (implied by --start-level)\n"
    "  --showcase          show the data set's showcase scene instead of the game\n"
    "  --menu-scenery CLOCK  show the main menu's scenery alone, its time-of-day clock\n"
    "                      starting at CLOCK (night 16000..32000, 16.5 a tick)\n";

bool ParseNumber(const char* text, uint64_t& out) {
    if (!text || !*text || *text == '-') return false;
    char* end = nullptr;
    out = std::strtoull(text, &end, 10);
    return end && *end == 0;
}

bool ParseTickFile(const char* text, std::pair<uint64_t, std::string>& out) {
    const char* colon = text ? std::strchr(text, ':') : nullptr;
    if (!colon || colon[1] == 0) return false;
    const std::string tick(text, colon);
    if (!ParseNumber(tick.c_str(), out.first)) return false;
    // The game changes into the data folder's parent, so a relative file is taken from the
    // folder the harness was started in.
    std::error_code ec;
    const std::filesystem::path file = std::filesystem::absolute(colon + 1, ec);
    if (ec) return false;
    out.second = file.string();
    return true;
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "branchwick-replay: %s\n", message.c_str());
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    // SDL would turn SIGTERM and SIGINT into a quit event that a replay never reads: a harness
    // run from a script or a probe must stop when it is told to.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    std::signal(SIGTERM, SIG_DFL);
    std::signal(SIGINT, SIG_DFL);
    bw::ReplaySettings rs;
    std::string input;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const char* v = i + 1 < argc ? argv[i + 1] : nullptr;
        auto need = [&](const char* what) {
            if (!v) {
                Fail(a + " needs " + what);
                std::exit(2);
            }
            ++i;
            return v;
        };
        uint64_t n = 0;
        if (a == "--help" || a == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (a == "--seed") {
            if (!ParseNumber(need("a number"), rs.seed)) return Fail("bad --seed");
        } else if (a == "--home") {
            rs.home = need("a folder");
        } else if (a == "--data") {
            rs.data = need("a folder");
        } else if (a == "--extra-archive") {
            rs.extraArchives.push_back(need("a file"));
        } else if (a == "--size") {
            int w = 0, h = 0;
            char tail = 0;
            if (std::sscanf(need("WxH"), "%dx%d%c", &w, &h, &tail) != 2)
                return Fail("bad --size, expected WxH");
            rs.size = {w, h};
        } else if (a == "--fullscreen") {
            rs.fullScreen = true;
        } else if (a == "--window") {
            rs.fullScreen = false;
        } else if (a == "--input") {
            input = need("a file");
        } else if (a == "--ticks") {
            if (!ParseNumber(need("a number"), rs.ticks)) return Fail("bad --ticks");
        } else if (a == "--ticks-per-frame") {
            if (!ParseNumber(need("a number"), n) || n < 1 || n > 1000)
                return Fail("bad --ticks-per-frame");
            rs.ticksPerFrame = static_cast<int>(n);
        } else if (a == "--shot" || a == "--dump") {
            std::pair<uint64_t, std::string> tf;
            if (!ParseTickFile(need("TICK:FILE"), tf))
                return Fail("bad " + a + ", expected TICK:FILE");
            (a == "--shot" ? rs.shots : rs.dumps).push_back(tf);
        } else if (a == "--showcase") {
            rs.afterWiring = bw::InstallShowcaseScene;
        } else if (a == "--menu-scenery") {
            if (!ParseNumber(need("a clock"), n) || n > 56000) return Fail("bad --menu-scenery");
            const double clock = static_cast<double>(n);
            rs.afterWiring = [clock] { bw::InstallMenuSceneryShowcase(clock); };
        } else if (a == "--start-level") {
            if (!ParseNumber(need("a number"), n) || n < 1 || n > 1000)
                return Fail("bad --start-level");
            rs.startLevel = static_cast<int>(n);
        } else if (a == "--popup") {
            rs.startPopup = true;
        } else if (a == "--film") {
            if (!ParseNumber(need("0 or 1"), n) || n > 1) return Fail("bad --film");
            rs.film = static_cast<int>(n);
        } else if (a == "--cheat") {
            rs.args.push_back("-cht");
        } else if (a == "--draw-every-frame") {
            rs.drawEveryFrame = true;
        } else if (a == "--quick-start") {
            rs.quickStart = true;
        } else {
            return Fail("unknown option " + a + " (see --help)");
        }
    }
    if (rs.home.empty())
        return Fail("--home is required (the replay never touches your own profile)");
    if (rs.data.empty()) rs.data = bw::ReplayDataFolder();
    if (!input.empty()) {
        const auto bytes = bw::ReadWholeFile(input);
        if (!bytes) return Fail("cannot read " + input);
        std::string error;
        if (!bw::ParseReplayScript(std::string(bytes->begin(), bytes->end()), rs.events, error))
            return Fail(input + ": " + error);
    }
    const bw::ReplayResult result = bw::RunReplay(rs);
    SDL_Quit();
    if (!result.ok) return Fail(result.error);
    std::printf("%s\n", result.Summary().c_str());
    return 0;
}
