#pragma once
// The 80-bit extended floating-point format that score files store page
// lengths in: 64-bit mantissa with an explicit integer bit, 15-bit exponent,
// sign. Values are kept as their raw bytes and converted with validation, so
// that a damaged file cannot inject NaN, infinity or an unnormal pattern.

#include <array>
#include <cstdint>

struct TExtended80 {
  std::array<uint8_t, 10> Bytes{};
  bool operator==(const TExtended80&) const = default;
};

enum class TExtendedClass {
  Zero,
  Denormal,
  Normal,
  Infinity,
  NaN,
  Invalid  // unnormal, pseudo-denormal, pseudo-infinity or pseudo-NaN
};

TExtendedClass ExtendedClassify(const TExtended80& v);

// True for zero, denormal and normal values.
bool ExtendedIsFinite(const TExtended80& v);

// Converts a finite value; infinities and NaN map to their IEEE forms and an
// invalid pattern gives NaN.
long double ExtendedToLongDouble(const TExtended80& v);

// Stores Value when V is finite and returns true; otherwise leaves Value.
bool TryExtendedToLongDouble(const TExtended80& v, long double& value);

TExtended80 ExtendedFromLongDouble(long double value);
