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
    for (TKilnArchive* a : {Archives.Objects, Archives.Effects, Archives.MainMenu,
                            Archives.Interface, Archives.Dialogs, Archives.Map})
        if (a) Images->AddAllFromArchive(a, true, showProgress);
}

void ForgetMainPictures() {
    MainPicturesLoaded = false;
}

} // namespace bw
