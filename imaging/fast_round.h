#pragma once

// Rounding to the nearest integer with halves to even for the pixel loops,
// bit-identical to Round of measure/numbers.h for every argument (including
// its saturation at +-1e9 and 0 for NaN), but inline and free of x87 code.

#include <cstdint>

namespace pixel {

// Adding and removing 1.5 * 2^52 leaves the nearest integer (ties to even in
// the default rounding mode) for every |v| < 2^51.
inline double RoundToIntegral(double v) {
  constexpr double kShift = 6755399441055744.0;
  // Without fast-math the compiler may not fold the two steps into v.
  return (v + kShift) - kShift;
}

inline int RoundInt(double v) {
  constexpr double kLimit = 1e9;
  if (!(v == v)) return 0;
  if (v > kLimit) return static_cast<int>(kLimit);
  if (v < -kLimit) return static_cast<int>(-kLimit);
  return static_cast<int>(RoundToIntegral(v));
}

// Round of a value known to lie in 0..255 (after clamping).
inline std::uint8_t RoundByte(double v) { return static_cast<std::uint8_t>(static_cast<int>(RoundToIntegral(v))); }

}  // namespace pixel
