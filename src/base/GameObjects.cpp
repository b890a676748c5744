#include "base/GameObjects.h"

#include "data/KilnImages.h"

namespace bw {

namespace {
bool MainPicturesLoaded = false;
} // namespace

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
