#include "base/GameObjects.h"

#include "data/KilnImages.h"
#include "platform/Files.h"

namespace bw {

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

namespace {
bool MainPicturesLoaded = false;

std::string& DataFolderRef() {
    static std::string folder;
    return folder;
}
} // namespace

const std::string& DataFolder() {
    return DataFolderRef();
}

void SetDataFolder(const std::string& folder) {
    DataFolderRef() = folder;
}

std::string DataPath(const std::string& name) {
    return JoinPath(DataFolder(), name);
}

void LoadMainPictures(bool showProgress) {
    if (MainPicturesLoaded || !Images) return;
    MainPicturesLoaded = true;
    // Everything is read now, behind the loading screen. The textures of what the menu shows
    // first are made while that screen waits for its click; the board's pieces, the map and the
    // dialogs get theirs when they are first drawn.
    const std::pair<TKilnArchive*, TextureTiming> batch[] = {
        {Archives.Objects, TextureTiming::WhenDrawn}, {Archives.Effects, TextureTiming::WhenIdle},
        {Archives.MainMenu, TextureTiming::WhenIdle}, {Archives.Interface, TextureTiming::WhenIdle},
        {Archives.Dialogs, TextureTiming::WhenDrawn}, {Archives.Map, TextureTiming::WhenDrawn}};
    for (const auto& [archive, timing] : batch)
        if (archive) Images->AddAllFromArchive(archive, true, showProgress, timing);
}

void ForgetMainPictures() {
    MainPicturesLoaded = false;
}

} // namespace bw
