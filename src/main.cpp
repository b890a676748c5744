// Branchwick: the game's entry point. Everything else lives in the library.
#include "app/GameWiring.h"
#include "app/MainForm.h"
#include "base/GameOptions.h"

#include <SDL.h>

#include <cstdio>
#include <cstring>

namespace {

// Also the source of the manual page's options (src/branchwick.h2m holds the rest of it).
const char kUsage[] =
    "Usage: branchwick [-cht] [-reset]\n"
    "A casual puzzle game: drag birds along free paths and match three of a kind.\n"
    "\n"
    "Options:\n"
    "  -cht         debug keys on (first or second parameter)\n"
    "  -reset       forget the saved options (first or second parameter)\n"
    "  -h, --help   print this text and exit\n"
    "  --version    print the version and exit\n"
    "\n"
    "F11 or Alt+Enter switches between full screen and a window.\n";

} // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("Branchwick %s\n", bw::GameVersion);
            return 0;
        }
    }
    bw::LaunchSettings settings;
    for (int i = 1; i < argc; ++i) settings.args.emplace_back(argv[i]);
    int code = 0;
    bw::WireGame();
    {
        bw::TMainForm form(std::move(settings));
        if (form.Start()) code = form.Run();
    }
    bw::UnwireGame();
    SDL_Quit();
    return code;
}
