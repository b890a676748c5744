// Writing a text record of the text database with one of the game's fonts.
#pragma once

#include "data/TextRecords.h"
#include "render/Types.h"

namespace bw {

class TKilnFont;

// Writes the lines of `text` with their top-left corner (or their centre, when the record is
// centred) at `anchor` plus the record's offset, at the record's scale and line step. The
// font's own scale is left as it was. Nothing happens without a font.
void DrawTSText(TKilnFont* font, const TTSText& text, TPoint2 anchor, float alpha, TColor2 colors);

} // namespace bw
