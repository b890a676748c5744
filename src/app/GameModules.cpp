#include "app/GameModules.h"

#include "app/FrameHooks.h"
#include "app/LevelModule.h"
#include "audio/SoundEngine.h"
#include "base/GameObjects.h"
#include "board/LevelData.h"
#include "data/GameFonts.h"
#include "data/KilnArchive.h"
#include "data/KilnFonts.h"
#include "data/KilnImages.h"
#include "data/MediaLink.h"
#include "data/TextDatabase.h"
#include "gui/ButtonSprites.h"
#include "meta/Profile.h"
#include "render/DisplayState.h"

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
    const std::string base = std::filesystem::path(dataFolder).parent_path().string();
    TextDatabaseSource().BaseFolder = base;
    // Links such as "Data\Fonts.dan | x.xml" start from the folder holding "Data".
    SetProgramFolder(base);
    SetIfEmpty(h.loadTexts, [] {
        LoadApplicationTexts();
        LoadTextDatabase();
    });
    SetIfEmpty(h.text, [](const std::string& key) { return GameText(key); });

    // Pictures and fonts of the start.
    SetIfEmpty(h.loadStartupImages, [] {
        for (TKilnArchive* a : {Archives.Loading, Archives.Common, Archives.External})
            if (a && Images) Images->AddAllFromArchive(a, true, false);
    });
    SetIfEmpty(h.loadFonts, [] {
        if (!Fonts || !Images) return;
        LoadGameFonts(Archives.Fonts, *Images, *Fonts);
        GuiFonts() = Fonts;
        TextWrapper() = ShadowFontWrapper(Fonts);
    });
    // Sound: every operation is silent until the sounds are loaded or when no device opens.
    InstallSoundHooks();
    SetIfEmpty(h.shutdownSound, [] { ShutdownSound(); });

    // The level list comes from the texts' archive; the player's level states follow its
    // length.
    SetIfEmpty(h.loadLevelList, [] {
        LoadLevelsList(LevelsListKey, TextDataArchive(), LevelsList);
        ResizeLevelStates();
    });
    // The level scene and the board.
    InstallLevelModule();
    // The debug lines in the shadow font at half size.
    SetIfEmpty(h.drawDebugText, [](const std::string& text, float x, float y) {
        TKilnFont* font = Fonts ? Fonts->Font(ShadowFont) : nullptr;
        if (!font) return;
        const TPoint2 saved = font->FScale;
        font->FScale = TPoint2{0.5f, 0.5f};
        font->TextOut(TPoint2{x, y}, text, false, 1.0f, TColor2{0xFFFFFFFF, 0xFFF3B3FF});
        font->FScale = saved;
    });
}

} // namespace bw
