#include "drawings/Drawings.h"

namespace bw::pack {

bool DrawSolid(cairo_t* cr, const DrawContext& context, std::string& /*error*/) {
    SetSourceArgb(cr, context.Colour("color", 0xFF000000u));
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr);
    return true;
}

} // namespace bw::pack
