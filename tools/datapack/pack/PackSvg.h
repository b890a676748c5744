// Rendering of SVG text with librsvg and cairo.
#pragma once

#include "render/Types.h"

#include <cstdint>
#include <string>
#include <vector>

namespace bw::pack {

// Renders an SVG document into a cell of the given size, stretching its viewBox (or, without
// one, its intrinsic size) to the whole cell. `baseFile` resolves relative references inside
// the document. The result is premultiplied ARGB, one word per pixel, top row first.
bool RenderSvg(const std::string& svgText, const std::string& baseFile, TPoint2px size,
               std::vector<uint32_t>& premultiplied, std::string& error);

// Copies a cairo ARGB32 image surface's pixels (premultiplied) into tightly packed words.
std::vector<uint32_t> SurfacePixels(void* cairoSurface);

} // namespace bw::pack
