// Bitmap fonts made with FreeType: every glyph of the wanted code points rendered once, packed
// into one texture, and described for the font catalogue (data/KilnFonts.h). Glyphs are white
// so that the gradient given at drawing time colours them; the shadow style surrounds each
// glyph with a soft dark outline and drop shadow that the gradient cannot lighten.
#pragma once

#include "data/KilnFonts.h"
#include "data/KilnImages.h"
#include "pack/PackDescription.h"

#include <string>

namespace bw::pack {

struct BuiltFont {
    TKilnImageData Image;        // one texture, one pattern covering it
    FontDescription Description; // glyph rectangles in that texture
};

bool BuildFont(const FontItem& item, BuiltFont& out, std::string& error);

} // namespace bw::pack
