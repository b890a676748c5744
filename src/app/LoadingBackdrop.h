// The loading screen's backdrop: the picture, the bar's frame and the bar itself, shown from
// its left edge up to a given width.
#pragma once

namespace bw {

class TSprite;
class TTextureOffsetSprite;

// Creates the three sprites under `parent` (the picture at Z 4, the frame at 5, the bar at 6);
// every one gets the tag `tag` so that its owner can find them again. `barWidth` runs from 0
// (empty) to 470 (full). Returns the bar.
TTextureOffsetSprite* CreateLoadingBackdrop(TSprite* parent, int barWidth, int tag);

} // namespace bw
