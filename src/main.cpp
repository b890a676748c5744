// Branchwick: the game's entry point. Everything else lives in the library.
#include "app/GameWiring.h"
#include "app/MainForm.h"

#include <SDL.h>

int main(int argc, char** argv) {
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
