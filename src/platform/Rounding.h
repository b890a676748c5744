// Rounding to the nearest whole value with ties to the even one (2.5 -> 2, 3.5 -> 4), the
// processor's default mode, in the type given.
#pragma once

#include <cmath>

namespace bw {

template <class T> T RoundEven(T v) {
    return std::nearbyint(v);
}

} // namespace bw
