#include "score/model/DisplayUnits.h"

#include <cmath>
#include <limits>

namespace {

long double UnitFactor(int32_t mode) {
  switch (mode) {
    case rmInches:
      return 254.0L;
    case rmPixels:
      return 254.0L / ScreenPixelsPerInch;
    default:
      return 10.0L;
  }
}

}  // namespace

long double ToDisplayUnits(int32_t Mode, long double Value) { return Value / UnitFactor(Mode); }

long double FromDisplayUnits(int32_t Mode, long double Value) { return Value * UnitFactor(Mode); }

int32_t RoundExtended(long double Value) {
  if (std::isnan(Value)) return 0;
  long double r = std::nearbyintl(Value);
  if (r <= std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  if (r >= std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  return int32_t(r);
}
