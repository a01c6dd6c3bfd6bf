// Integer helpers shared by the raster canvas's line and shape drawing. Coordinates may lie
// anywhere in the int range (a page file can ask for shapes billions of pixels wide), so
// the rules work in wider integers.
#pragma once

#include "platform/gfx/Geometry.h"

#include <algorithm>
#include <cmath>

namespace platform::gfx::raster {

using Wide = __int128;

// How far around the picture a wide pen is followed pixel for pixel. Wider pens (no picture of
// the program comes near this) are approximated: lines by the pen's geometric outline, which
// differs only in single pixels along its edge; shapes look that far for their outside, and
// beyond it only at their box's edges.
inline constexpr long long kExactReach = 1024;

inline long long floorDiv(long long a, long long b) {
    const long long q = a / b;
    return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

inline long long ceilDiv(long long a, long long b) {
    return -floorDiv(-a, b);
}

// The largest q with q * q <= v (v >= 0).
inline long long isqrt(long long v) {
    auto q = static_cast<long long>(std::sqrt(static_cast<double>(v)));
    while (q > 0 && Wide(q) * q > v) {
        --q;
    }
    while (Wide(q + 1) * (q + 1) <= v) {
        ++q;
    }
    return q;
}

inline TRect normalized(int left, int top, int right, int bottom) {
    return {std::min(left, right), std::min(top, bottom), std::max(left, right),
            std::max(top, bottom)};
}

// The first i in [lo, hi] with pred(i) true for a predicate false then true; hi + 1 for none.
template <typename Pred> long long firstTrue(long long lo, long long hi, Pred pred) {
    long long end = hi + 1;
    while (lo < end) {
        const long long mid = lo + (end - lo) / 2;
        if (pred(mid)) {
            end = mid;
        } else {
            lo = mid + 1;
        }
    }
    return lo;
}

} // namespace platform::gfx::raster
