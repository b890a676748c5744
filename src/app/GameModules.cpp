#include "app/GameModules.h"

#include "app/FrameHooks.h"
#include "data/TextDatabase.h"

#include <filesystem>

namespace bw {

namespace {

template <class F, class G> void SetIfEmpty(F& hook, G&& value) {
    if (!hook) hook = std::forward<G>(value);
}

} // namespace

void InstallGameModules(const std::string& dataFolder) {
    FrameHooks& h = Hooks();
    // Texts: the loose file under Data/tData/Common first, then the archive.
    TextDatabaseSource().BaseFolder = std::filesystem::path(dataFolder).parent_path().string();
    SetIfEmpty(h.loadTexts, [] {
        LoadApplicationTexts();
        LoadTextDatabase();
    });
    SetIfEmpty(h.text, [](const std::string& key) { return GameText(key); });
}

} // namespace bw
