#include "base/GameObjects.h"

#include "data/KilnImages.h"

namespace bw {

namespace {
bool MainPicturesLoaded = false;
} // namespace

void LoadMainPictures() {
    if (MainPicturesLoaded || !Images) return;
    MainPicturesLoaded = true;
    for (TKilnArchive* a : {Archives.Objects, Archives.Effects, Archives.Interface,
                            Archives.Dialogs, Archives.MainMenu, Archives.Map})
        if (a) Images->AddAllFromArchive(a, true, false);
}

void ForgetMainPictures() {
    MainPicturesLoaded = false;
}

} // namespace bw
