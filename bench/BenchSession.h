// The game as the benchmarks start it: virtual time, a fresh home, full screen on a virtual
// desktop of the given size, no visible window.
#pragma once

#include "app/MainForm.h"

#include <string>

inline bw::LaunchSettings BenchLaunch(const std::string& data, const std::string& home,
                                      bw::TPoint2px desktop = {1920, 1080}) {
    bw::LaunchSettings ls;
    ls.homeFolder = home;
    ls.dataFolder = data;
    ls.virtualTime = true;
    ls.seed = 1;
    ls.fullScreen = true;
    ls.desktopSize = desktop;
    ls.visibleWindow = false;
    return ls;
}
