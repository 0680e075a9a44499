// Lines of Unicode text placed in a box: aligned line by line by their own
// widths, turned by an angle in a turned font, or, for the text being
// edited in place, upright with its selected characters white on the
// highlight. Staff texts and lyrics share it with the texts of a page.
// Every width is taken of the very characters drawn.

#include <algorithm>
#include <cmath>
#include <numbers>

#include "player/Window.h"
#include "render/page/PageDrawer.h"
#include "render/page/ScaledMath.h"
#include "render/page/TurnedFont.h"
#include "score/model/RotatedFont.h"

namespace render {

namespace {
constexpr canvas::TColor kEditedText = 0xFFFFFF, kEditedBack = 0xB59284;
}

int32_t TKVPageDrawer::TextFontSize(int32_t Points) const {
  return View.Style() == wsPrint ? Points : ClampCoordinate(int64_t(Points) * YScale / 100);
}

TTurnedFont::TTurnedFont(canvas::TCanvas& Canvas, int32_t Angle) : FCanvas(Canvas), FPrevious(Canvas.Font) {
  const canvas::TFont& f = FPrevious;
  const TKVFontDescription d = CreateRotatedFont({f.Name, f.Size(), f.Style}, Angle, 0, f.PixelsPerInch);
  canvas::TFont& made = FCanvas.Font;
  made.Name = d.FaceName;
  made.Height = d.Height;
  made.Width = d.Width;
  made.Orientation = d.Orientation;
  made.Charset = d.CharSet;
  made.Style = (d.Weight >= 700 ? unsigned(text::fsBold) : 0u) | (d.Italic ? unsigned(text::fsItalic) : 0u) |
               (d.Underline ? unsigned(text::fsUnderline) : 0u) | (d.StrikeOut ? unsigned(text::fsStrikeOut) : 0u);
}

canvas::TPoint TurnedBlockOffset(int32_t Angle, double W, double H) {
  const double r = Angle * std::numbers::pi / 180, k = std::cos(r), q = std::sin(r);
  auto round = [](double v) { return ClampCoordinate(std::llrint(v)); };
  if (Angle <= 90) return {0, round(W * q)};
  if (Angle <= 180) return {-round(W * k), -round(-W * q + H * k)};
  if (Angle <= 270) return {-round(W * k + H * q), -round(H * k)};
  return {-round(H * q), 0};
}

TKVPageDrawer::TSelectedRange TKVPageDrawer::SelectionOn(int64_t Line, int64_t Offset, size_t Length) const {
  const auto& a = View.TextSelStart;
  const auto& b = View.TextSelEnd;
  if (!(a.Line < b.Line || (a.Line == b.Line && a.Char < b.Char)) || Line < a.Line || Line > b.Line) return {};
  auto clamp = [&](int64_t Char) { return size_t(std::clamp<int64_t>(Char - Offset, 0, int64_t(Length))); };
  return {Line == a.Line ? clamp(a.Char) : 0, Line == b.Line ? clamp(b.Char) : Length};
}

void TKVPageDrawer::WriteSelected(int64_t X, int64_t Y, std::u16string_view Text, TSelectedRange Selected,
                                  canvas::TColor Color) {
  const size_t bounds[] = {0, Selected.From, std::max(Selected.From, Selected.To), Text.size()};
  for (size_t piece = 0; piece < 3; ++piece) {
    if (bounds[piece] >= bounds[piece + 1]) continue;
    const std::u16string_view part = Text.substr(bounds[piece], bounds[piece + 1] - bounds[piece]);
    const bool highlight = piece == 1;
    Canvas.Font.Color = highlight ? kEditedText : Color;
    if (highlight)
      Canvas.Brush = {kEditedBack, canvas::bsSolid};
    else
      Canvas.Brush.Style = canvas::bsClear;
    Canvas.TextOut(ClampCoordinate(X), ClampCoordinate(Y), part);
    X += Canvas.TextWidth(part);
  }
  Canvas.Brush.Style = canvas::bsClear;
}

void TKVPageDrawer::DrawTextLines(const std::vector<std::u16string>& Lines, const canvas::TRect& Box,
                                  TKVTextAlign Alignment, uint16_t Angle, bool Edited, canvas::TColor EditedColor) {
  const int64_t h = Canvas.TextHeight(u"A"), room = int64_t(Box.Right) - Box.Left;
  auto indent = [&](std::u16string_view Line) { return AlignedIndent(Alignment, room, Canvas.TextWidth(Line)); };
  // Angles of a full turn and more turn as their rest.
  if (const int32_t angle = Angle % 360; angle != 0 && !Edited) {
    // Each line is measured once, for the widest line and for its indent.
    std::vector<int64_t> widths;
    int64_t widest = 0;
    for (const std::u16string& line : Lines) widest = std::max(widest, widths.emplace_back(Canvas.TextWidth(line)));
    const canvas::TPoint offset = TurnedBlockOffset(angle, double(widest), double(Lines.size()) * double(h));
    std::vector<int64_t> indents;
    for (const int64_t width : widths) indents.push_back(AlignedIndent(Alignment, room, width));
    const double radians = angle * std::numbers::pi / 180;
    TTurnedFont turned(Canvas, angle);
    for (size_t k = 0; k < Lines.size(); ++k) {
      const canvas::TPoint p = RotatePointCounterClockwise(
          {ClampCoordinate(indents[k]), ClampCoordinate(int64_t(k) * h)}, std::cos(radians), std::sin(radians));
      Canvas.TextOut(ClampCoordinate(int64_t(Box.Left) + p.X + offset.X),
                     ClampCoordinate(int64_t(Box.Top) + p.Y + offset.Y), Lines[k]);
    }
    return;
  }
  TTurnedFont upright(Canvas, 0);
  const canvas::TColor color = Edited ? EditedColor : Canvas.Font.Color;
  for (size_t k = 0; k < Lines.size(); ++k) {
    const std::u16string& line = Lines[k];
    WriteSelected(int64_t(Box.Left) + indent(line), int64_t(Box.Top) + int64_t(k) * h, line,
                  Edited ? SelectionOn(int64_t(k), 0, line.size()) : TSelectedRange{}, color);
  }
}

}  // namespace render
