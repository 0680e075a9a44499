#pragma once
// Page lengths are kept in tenths of a millimetre as extended floats; the
// unit a user sees (millimetres, inches or screen pixels) only changes how
// they are read and written.

#include <cstdint>

enum TKVMetrix : uint8_t { rmMM, rmInches, rmPixels };

// Pixels per inch of the screen the layout measures for. Fixed: the layout is
// defined on a 96-dpi canvas, whatever the display.
constexpr int32_t ScreenPixelsPerInch = 96;

// Mode 0 millimetres, 1 inches, 2 screen pixels; any other mode is read as
// millimetres, so a damaged unit byte cannot leave a length unconverted.
long double ToDisplayUnits(int32_t Mode, long double Value);
long double FromDisplayUnits(int32_t Mode, long double Value);

// Nearest integer, exact halves to the even neighbour; values beyond the
// 32-bit range are held at its ends and NaN gives 0.
int32_t RoundExtended(long double Value);
