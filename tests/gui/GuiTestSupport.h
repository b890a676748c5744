// Scaffolding of the GUI sprite tests: the sprite fixture plus pictures of any size.
#pragma once

#include "Engine/KilnSprite/SpriteTestSupport.h"

#include <string>

namespace bw::test {

// One pattern of w x h pixels on a texture of the same size.
inline TKilnImageData MakePicture(const std::string& name, int w, int h) {
    TKilnImageData data;
    data.Name = name;
    data.PatternSize = {w, h};
    data.TextureSize = {w, h};
    data.Textures.assign(1, std::vector<uint32_t>(static_cast<size_t>(w) * h, 0xFFFFFFFF));
    return data;
}

inline TPoint4 RectCorners(float l, float t, float r, float b) {
    return TPoint4{TPoint2{l, t}, TPoint2{r, t}, TPoint2{r, b}, TPoint2{l, b}};
}

inline void ExpectCorners(const TPoint4& got, const TPoint4& want, float tolerance = 1e-3f) {
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_NEAR(got[i].x, want[i].x, tolerance) << "corner " << i;
        EXPECT_NEAR(got[i].y, want[i].y, tolerance) << "corner " << i;
    }
}

} // namespace bw::test
