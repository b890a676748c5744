#include "gui/Shade.h"

#include "Engine/KilnSprite/KilnSprite.h"

#include <algorithm>

namespace bw {

TAnimatedSprite* CreateShade(TSprite* parent, int z) {
    auto* shade = new TAnimatedSprite(parent);
    shade->SetImageName("blackpixel.image");
    shade->FX = 0;
    shade->FY = 0;
    shade->FScaleX = 1920;
    shade->FScaleY = 1080;
    shade->FAlpha = 0;
    shade->SetZ(z);
    return shade;
}

void FadeShadeIn(TAnimatedSprite* shade, int limit) {
    if (shade) shade->FAlpha = std::min(shade->FAlpha + 5, limit);
}

} // namespace bw
