#pragma once
// A font turned by an angle, described the way the canvas layer creates real
// fonts from: the layout and renderer ask for one, the canvas realises it.

#include <cstdint>
#include <string>

#include "platform/text/TextMeasurer.h"
#include "score/model/DisplayUnits.h"

struct TKVFontDescription {
  int32_t Height = 0;       // negative: character height in pixels
  int32_t Width = 0;        // 0: the font's own aspect
  int32_t Escapement = 0;   // tenths of a degree
  int32_t Orientation = 0;  // tenths of a degree
  int32_t Weight = 0;       // 700 bold, 0 the font's default
  bool Italic = false;
  bool Underline = false;
  bool StrikeOut = false;
  uint8_t CharSet = 1;  // the system's default character set
  uint8_t OutPrecision = 0;
  uint8_t ClipPrecision = 0;
  uint8_t Quality = 0;
  std::string FaceName;
  bool operator==(const TKVFontDescription&) const = default;
};

// Font at Angle degrees with character Width (0 = natural) from a font given
// by name, point size and style at PixelsPerInch.
TKVFontDescription CreateRotatedFont(const text::TFontSpec& Font, int32_t Angle, int32_t Width,
                                     int32_t PixelsPerInch = ScreenPixelsPerInch);
