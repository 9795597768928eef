#pragma once

#include <cmath>
#include <cstdint>

namespace tervasko {

// The only millimetre-per-inch factor of the program. Not 25.4: sheet sizes are held in
// inches and every stored drawing was made with this value.
inline constexpr double MmPerInch = 25.39995;

// Halves go to the nearest even integer (2.5 -> 2, 3.5 -> 4), in the default rounding mode.
inline std::int64_t Round(double v) { return static_cast<std::int64_t>(std::nearbyint(v)); }

// Toward zero.
inline std::int64_t Trunc(double v) { return static_cast<std::int64_t>(std::trunc(v)); }

}  // namespace tervasko
