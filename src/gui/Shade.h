// The shade under a panel: "blackpixel.image" stretched over the design canvas, starting
// transparent; its owner fades it in a few steps per tick up to the panel's limit.
#pragma once

namespace bw {

class TAnimatedSprite;
class TSprite;

TAnimatedSprite* CreateShade(TSprite* parent, int z);
// Raises the shade's alpha by 5 up to `limit` (nothing without a shade).
void FadeShadeIn(TAnimatedSprite* shade, int limit);

} // namespace bw
