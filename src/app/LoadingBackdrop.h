// The loading screen's backdrop: the picture, the bar's frame and the bar itself, shown from
// its left edge up to a given width.
#pragma once

namespace bw {

class TSprite;

// Creates the three sprites under `parent`; every one gets the tag `tag` so that its owner
// can find them again. `barWidth` runs from 0 (empty) to 470 (full).
void CreateLoadingBackdrop(TSprite* parent, int barWidth, int tag);

} // namespace bw
