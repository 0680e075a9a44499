#include "platform/metafile/Text.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "base/Utf8.h"
#include "platform/metafile/Figures.h"
#include "platform/metafile/Player.h"
#include "platform/text/Charsets.h"

namespace metafile {

// The bits of the text alignment that place text across and up and down.
constexpr std::uint32_t kHorizontal = U_TA_CENTER, kVertical = U_TA_BASELINE;

namespace {

using canvas::TPointF;

// The canvas font for the device context's font at the transform's scale.
void SetCanvasFont(TPlayer& player, const TXform& x, double angleDegrees) {
  const TLogFont& f = player.Dc().Font;
  canvas::TFont& font = player.Canvas().Font;
  font.Name = f.Face.empty() ? "Arial" : f.Face;
  const double scaleY = x.ScaleY(), scaleX = x.ScaleX();
  // A height of 0 asks for the default size: 12 points on the reference device.
  const double height = f.Height != 0 ? f.Height * scaleY : -16 * player.DeviceToCanvas().ScaleY();
  font.Height = int(std::clamp(std::round(height), -20000.0, 20000.0));
  if (font.Height == 0) font.Height = height < 0 ? -1 : 1;
  font.Width = int(std::clamp(std::round(std::fabs(f.Width) * scaleX), 0.0, 20000.0));
  font.Style = (f.Weight >= 600 ? unsigned(text::fsBold) : 0u) | (f.Italic ? unsigned(text::fsItalic) : 0u) |
               (f.Underline ? unsigned(text::fsUnderline) : 0u) | (f.StrikeOut ? unsigned(text::fsStrikeOut) : 0u);
  font.Color = player.Dc().TextColor;
  const int charset = f.Charset;
  font.Charset = charset == text::csSymbol || charset == text::csRussian || charset == text::csEastEurope ||
                         charset == text::csDefault
                     ? charset
                     : text::csAnsi;
  font.Orientation = int(std::lround(angleDegrees * 10)) % 3600;
}

}  // namespace

std::string FaceFromBytes(const char* bytes, std::size_t size) {
  std::string face;
  for (std::size_t i = 0; i < size && bytes[i]; ++i)
    AppendUtf8(face, text::DecodeByte(static_cast<unsigned char>(bytes[i]), text::csAnsi));
  return face;
}

void DrawText(TPlayer& player, const TTextRun& run) {
  if (player.InPath()) return player.Skip();  // outlines of text are not drawn
  if (run.Options & U_ETO_GLYPH_INDEX) return player.Skip();  // glyph numbers of a font we may not have
  TDcState& dc = player.Dc();
  canvas::TCanvas& c = player.Canvas();
  const TXform x = player.ToCanvas();
  const double angle = dc.Font.Escapement / 10.0 + x.AngleDegrees();
  const double radians = angle * std::numbers::pi / 180;
  const TPointF along{std::cos(radians), -std::sin(radians)}, down{std::sin(radians), std::cos(radians)};
  player.PrepareCanvas();
  const canvas::TFont savedFont = c.Font;
  const canvas::TBrush savedBrush = c.Brush;
  const canvas::TTextAlign savedAlign = c.TextAlign;
  if (run.Options & U_ETO_OPAQUE) {
    player.Fill(RectPath(run.Rect, x), TLogBrush{U_BS_SOLID, dc.BkColor, 0, nullptr});
  }
  const bool clipped = run.Options & U_ETO_CLIPPED;
  if (clipped) {
    c.Save();
    c.IntersectClipPath(RectPath(run.Rect, x));
  }
  SetCanvasFont(player, x, angle);
  const std::size_t count = run.IsWide ? run.Wide.size() : run.Bytes.size();
  auto width = [&](std::size_t i, std::size_t n) {
    return double(run.IsWide ? c.TextWidth(std::u16string_view(run.Wide).substr(i, n))
                             : c.TextWidthA(std::string_view(run.Bytes).substr(i, n)));
  };
  // Advances along the baseline, in canvas pixels.
  const double scale = x.ScaleX(), extra = dc.CharExtra * scale;
  std::vector<double> advance;
  if (!run.Dx.empty() || extra != 0) {
    for (std::size_t i = 0; i < count; ++i)
      advance.push_back(i < run.Dx.size() ? run.Dx[i] * scale : width(i, 1) + extra);
  }
  double total = 0;
  if (advance.empty())
    total = width(0, count);
  else
    for (double a : advance) total += a;
  const bool updateCp = dc.TextAlign & U_TA_UPDATECP;
  const TPointF at = x.Apply(updateCp ? dc.Position.X : run.At.X, updateCp ? dc.Position.Y : run.At.Y);
  double shift = 0;
  switch (dc.TextAlign & kHorizontal) {
    case U_TA_CENTER: shift = -total / 2; break;
    case U_TA_RIGHT: shift = -total; break;
    default: break;
  }
  double rise = 0;
  c.TextAlign = canvas::taTop;
  if ((dc.TextAlign & kVertical) == U_TA_BASELINE) {
    c.TextAlign = canvas::taBaseline;
  } else if ((dc.TextAlign & kVertical) == U_TA_BOTTOM) {
    c.TextAlign = canvas::taBaseline;
    rise = -c.GetTextMetrics().Descent;
  }
  const bool opaque = dc.BkMode == U_OPAQUE && !(run.Options & U_ETO_OPAQUE);
  c.Brush = {dc.BkColor, opaque ? canvas::bsSolid : canvas::bsClear};
  auto put = [&](double offset, std::size_t i, std::size_t n) {
    const TPointF p{at.X + along.X * (shift + offset) + down.X * rise, at.Y + along.Y * (shift + offset) + down.Y * rise};
    const int px = WholePixel(p.X), py = WholePixel(p.Y);
    if (run.IsWide)
      c.TextOut(px, py, std::u16string_view(run.Wide).substr(i, n));
    else
      c.TextOutA(px, py, std::string_view(run.Bytes).substr(i, n));
  };
  if (advance.empty()) {
    put(0, 0, count);
  } else {
    double offset = 0;
    for (std::size_t i = 0; i < count; ++i) put(offset, i, 1), offset += advance[i];
  }
  if (updateCp) {
    // The current position moves on by the text's advance, in logical units.
    const double logical = scale > 0 ? total / scale : 0;
    const double a = dc.Font.Escapement / 10.0 * std::numbers::pi / 180;
    const int direction = (dc.TextAlign & kHorizontal) == U_TA_RIGHT ? -1 : (dc.TextAlign & kHorizontal) == U_TA_CENTER ? 0 : 1;
    dc.Position.X += direction * logical * std::cos(a);
    dc.Position.Y -= direction * logical * std::sin(a);
  }
  if (clipped) c.Restore();
  c.Font = savedFont;
  c.Brush = savedBrush;
  c.TextAlign = savedAlign;
}

}  // namespace metafile
