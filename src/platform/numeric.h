#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace tervasko {

// The only millimetre-per-inch factor of the program. Not 25.4: sheet sizes are held in
// inches and every stored drawing was made with this value.
inline constexpr double MmPerInch = 25.39995;

// Halves go to the nearest even integer (2.5 -> 2, 3.5 -> 4), in the default rounding mode.
inline std::int64_t Round(double v) {
    return static_cast<std::int64_t>(std::nearbyint(v));
}

// Toward zero.
inline std::int64_t Trunc(double v) {
    return static_cast<std::int64_t>(std::trunc(v));
}

// Every device coordinate the renderers make lies within +-kPixelLimit. A drawing may hold
// any value; no device shows anything that far out, and the headroom keeps sums of a few
// coordinates, and Qt's 26.6 fixed-point text positions, inside an int.
inline constexpr int kPixelLimit = 1 << 24;

// The widest pen and the highest font the renderers make, in device pixels: wider than a
// sheet at any resolution output offers, and within what Qt's pens and font engine take
// (fonts above 16384 pixels come back with negative metrics, pens of 32768 are refused).
inline constexpr int kMaxPenPx = (1 << 15) - 1;
inline constexpr int kMaxFontPx = 1 << 14;

// A device pixel for a value that may be huge, infinite or no number at all: rounded
// half-to-even like Round, clamped to +-kPixelLimit; NaN gives 0.
inline int DevicePixel(double v) {
    if (std::isnan(v)) return 0;
    constexpr double limit = kPixelLimit;
    return static_cast<int>(Round(std::clamp(v, -limit, limit)));
}

}  // namespace tervasko
