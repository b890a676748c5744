// Pixel work of the data build. Renderers hand over premultiplied ARGB (cairo's layout); the
// archives store straight ARGB, and every fully transparent texel carries the colour of its
// nearest visible neighbour so that linear filtering never blends in a dark fringe.
#pragma once

#include <cstdint>
#include <vector>

namespace bw::pack {

// One premultiplied ARGB word to straight alpha: c = (c * 255 + a / 2) / a; alpha 0 gives 0.
uint32_t StraightFromPremultiplied(uint32_t argb);
void StraightFromPremultiplied(std::vector<uint32_t>& argb);

// Edge bleeding on straight ARGB pixels: every pixel of alpha 0 takes the colour (its alpha
// stays 0) of the nearest pixels of alpha above 0. The picture grows outwards wave by wave;
// a pixel reached in a wave takes the rounded average of its already coloured 8-neighbours,
// so the result does not depend on any visiting order. A picture with no visible pixel is
// left as it is.
void BleedEdges(int width, int height, std::vector<uint32_t>& argb);

} // namespace bw::pack
