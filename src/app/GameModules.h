// Connects the modules that exist to the frame's hooks.
#pragma once

#include <string>

namespace bw {

// Installs every module's entry points into Hooks(), leaving hooks that are already set (by a
// test, say) alone. `dataFolder` is the "Data" folder of this run.
void InstallGameModules(const std::string& dataFolder);

} // namespace bw
