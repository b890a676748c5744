#include "gui/TextDrawing.h"

#include "data/KilnFonts.h"

namespace bw {

void DrawTSText(TKilnFont* font, const TTSText& text, TPoint2 anchor, float alpha, TColor2 colors) {
    if (!font || text.Text.empty()) return;
    const TPoint2 saved = font->FScale;
    font->FScale = text.Scale;
    const TPoint2 at{anchor.x + static_cast<float>(text.OffSet.x),
                     anchor.y + static_cast<float>(text.OffSet.y)};
    font->TextOut(at, text.Text, text.Centered, alpha, colors, static_cast<float>(text.Leading));
    font->FScale = saved;
}

} // namespace bw
