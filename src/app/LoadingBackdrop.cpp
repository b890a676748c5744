#include "app/LoadingBackdrop.h"

#include "gui/TextureOffsetSprite.h"

namespace bw {

TTextureOffsetSprite* CreateLoadingBackdrop(TSprite* parent, int barWidth, int tag) {
    if (!parent) return nullptr;
    auto picture = [&](const char* name, float x, float y, int z) {
        auto* sprite = new TAnimatedSprite(parent);
        sprite->SetImageName(name);
        sprite->FX = x;
        sprite->FY = y;
        sprite->SetZ(z);
        sprite->FTag = tag;
    };
    picture("Loading_bg.image", 0, 0, 4);
    picture("Loading_panel.image", 725, 765, 5);
    auto* bar = new TTextureOffsetSprite(parent);
    bar->SetImageName("Loading_progress.image");
    bar->FX = 704;
    bar->FY = 767;
    bar->SetZ(6);
    bar->fDoTextureMove = false;
    bar->fRenderSize = TPoint{barWidth, 0};
    bar->FTag = tag;
    return bar;
}

} // namespace bw
