#pragma once
// Integer arithmetic of painting: products are formed in 64 bits so that no
// zoom or score scale can overflow them, and quotients round half to even
// as the rest of the program's rounding does.

#include <algorithm>
#include <cstdint>

namespace render {

// Numerator / Denominator rounded to the nearest integer, halves to even.
// Denominator must be positive.
constexpr int64_t RoundDiv(int64_t Numerator, int64_t Denominator) {
  int64_t q = Numerator / Denominator, r = Numerator % Denominator;
  int64_t twice = (r < 0 ? -r : r) * 2;
  if (twice > Denominator || (twice == Denominator && (q & 1) != 0)) q += Numerator < 0 ? -1 : 1;
  return q;
}

// A drawable coordinate: far beyond any page, yet far from overflowing the
// sums that drawers form with it.
constexpr int64_t kCoordinateLimit = int64_t(1) << 24;
constexpr int32_t ClampCoordinate(int64_t Value) {
  return int32_t(std::clamp(Value, -kCoordinateLimit, kCoordinateLimit));
}

// A layout value (eighths of a pixel at 100 %) in pixels at Percent:
// truncated toward zero.
constexpr int32_t ScaleUnits(int64_t Value, int64_t Percent) { return ClampCoordinate(Value * Percent / 100 / 8); }

}  // namespace render
