#include "base/Extended.h"

#include <cmath>
#include <limits>

#include "base/LittleEndian.h"

namespace {

constexpr int kBias = 16383;
constexpr uint64_t kIntegerBit = uint64_t(1) << 63;

struct Fields {
  bool negative;
  int exponent;  // biased, 0..0x7FFF
  uint64_t mantissa;
};

Fields split(const TExtended80& v) {
  uint16_t top = le::load16(v.Bytes.data() + 8);
  return {bool(top & 0x8000), top & 0x7FFF, le::load64(v.Bytes.data())};
}

}  // namespace

TExtendedClass ExtendedClassify(const TExtended80& v) {
  Fields f = split(v);
  bool integerBit = f.mantissa & kIntegerBit;
  uint64_t fraction = f.mantissa & ~kIntegerBit;
  if (f.exponent == 0) {
    if (f.mantissa == 0) return TExtendedClass::Zero;
    return integerBit ? TExtendedClass::Invalid : TExtendedClass::Denormal;
  }
  if (!integerBit) return TExtendedClass::Invalid;
  if (f.exponent == 0x7FFF) return fraction == 0 ? TExtendedClass::Infinity : TExtendedClass::NaN;
  return TExtendedClass::Normal;
}

bool ExtendedIsFinite(const TExtended80& v) {
  TExtendedClass c = ExtendedClassify(v);
  return c == TExtendedClass::Zero || c == TExtendedClass::Denormal || c == TExtendedClass::Normal;
}

long double ExtendedToLongDouble(const TExtended80& v) {
  Fields f = split(v);
  long double sign = f.negative ? -1.0L : 1.0L;
  switch (ExtendedClassify(v)) {
    case TExtendedClass::Zero:
      return sign * 0.0L;
    case TExtendedClass::Infinity:
      return sign * std::numeric_limits<long double>::infinity();
    case TExtendedClass::NaN:
    case TExtendedClass::Invalid:
      return std::numeric_limits<long double>::quiet_NaN();
    case TExtendedClass::Denormal:
      return sign * std::ldexp((long double)f.mantissa, 1 - kBias - 63);
    case TExtendedClass::Normal:
      break;
  }
  return sign * std::ldexp((long double)f.mantissa, f.exponent - kBias - 63);
}

bool TryExtendedToLongDouble(const TExtended80& v, long double& value) {
  if (!ExtendedIsFinite(v)) return false;
  value = ExtendedToLongDouble(v);
  return true;
}

TExtended80 ExtendedFromLongDouble(long double value) {
  TExtended80 out;
  uint16_t top = std::signbit(value) ? 0x8000 : 0;
  uint64_t mantissa = 0;
  if (std::isnan(value)) {
    top |= 0x7FFF;
    mantissa = kIntegerBit | (kIntegerBit >> 1);
  } else if (std::isinf(value)) {
    top |= 0x7FFF;
    mantissa = kIntegerBit;
  } else if (value != 0) {
    int e;
    long double m = std::frexp(std::fabs(value), &e);  // value = m * 2^e, m in [0.5, 1)
    int biased = e - 1 + kBias;
    if (biased >= 0x7FFF) {
      top |= 0x7FFF;
      mantissa = kIntegerBit;
    } else if (biased <= 0) {
      mantissa = (uint64_t)std::ldexp(m, 64 + biased - 1);
    } else {
      top |= uint16_t(biased);
      mantissa = (uint64_t)std::ldexp(m, 64);
    }
  }
  le::store64(out.Bytes.data(), mantissa);
  le::store16(out.Bytes.data() + 8, top);
  return out;
}
