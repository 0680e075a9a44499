#include "score/model/RotatedFont.h"

TKVFontDescription CreateRotatedFont(const text::TFontSpec& Font, int32_t Angle, int32_t Width,
                                     int32_t PixelsPerInch) {
  TKVFontDescription d;
  d.Height = -RoundExtended((long double)Font.Size * PixelsPerInch / 72);
  d.Width = Width;
  d.Escapement = Angle * 10;
  d.Orientation = Angle * 10;
  d.Weight = (Font.Style & text::fsBold) ? 700 : 0;
  d.Italic = Font.Style & text::fsItalic;
  d.Underline = Font.Style & text::fsUnderline;
  d.StrikeOut = Font.Style & text::fsStrikeOut;
  d.FaceName = Font.Name;
  return d;
}
