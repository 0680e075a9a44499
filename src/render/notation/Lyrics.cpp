// Lyric syllables (with their hyphen) and the texts of a staff: lines of
// Unicode text in their own font, colour and alignment, turned by their
// angle; the syllable being sung is highlighted while the view plays, and
// the text being edited in place is drawn upright with its selected
// characters highlighted.

#include <algorithm>
#include <cmath>
#include <numbers>

#include "player/Window.h"
#include "render/page/PageDrawer.h"
#include "render/page/ScaledMath.h"
#include "score/layout/page/PageRecords.h"
#include "score/model/ItemKinds.h"
#include "score/model/Lyric.h"
#include "score/model/RotatedFont.h"

namespace render {

namespace {

constexpr uint8_t kHyphen = 0x01;
constexpr canvas::TColor kEditedText = 0xFFFFFF, kEditedBack = 0xB59284;

// The canvas font turned by Angle degrees, as the model describes such a
// font; the canvas realises it through its orientation.
canvas::TFont TurnedFont(const canvas::TFont& Font, int32_t Angle) {
  const TKVFontDescription d = CreateRotatedFont({Font.Name, Font.Size(), Font.Style}, Angle, 0, Font.PixelsPerInch);
  canvas::TFont made = Font;
  made.Name = d.FaceName;
  made.Height = d.Height;
  made.Width = d.Width;
  made.Orientation = d.Orientation;
  made.Charset = d.CharSet;
  made.Style = (d.Weight >= 700 ? unsigned(text::fsBold) : 0u) | (d.Italic ? unsigned(text::fsItalic) : 0u) |
               (d.Underline ? unsigned(text::fsUnderline) : 0u) | (d.StrikeOut ? unsigned(text::fsStrikeOut) : 0u);
  return made;
}

// Selects a made font for the scope and the canvas font back at its end.
struct TMadeFont {
  TMadeFont(canvas::TCanvas& Canvas, int32_t Angle) : Canvas(Canvas), Previous(Canvas.Font) {
    Canvas.Font = TurnedFont(Previous, Angle);
  }
  ~TMadeFont() { Canvas.Font = Previous; }
  canvas::TCanvas& Canvas;
  canvas::TFont Previous;
};

}  // namespace

void TKVPageDrawer::DrawLyric(TKVLyric& Lyric) {
  TKVDisplayItem& record = *CurrentRecord;
  // A part's name at a system start shows only where some staff of the
  // part does.
  if (Lyric.Kind() == ItemKind::LyricLine) {
    const TKVStaffLineRecord* line = record.StaffLine;
    if (!line || (line->PartRecord && (line->PartRecord->Flags & 1))) return;
  }
  const bool print = View.Style() == wsPrint;
  const int64_t size = Lyric.FontSize() != 0 ? Lyric.FontSize() : 8;
  Canvas.Font.Name = Lyric.Text().empty() ? "Arial" : Lyric.Text();
  Canvas.Font.SetSize(ClampCoordinate(print ? size : size * YScale / 100));
  Canvas.Font.Style = Lyric.FontStyle();
  const canvas::TColor own = Lyric.Color();
  if (IsSounding(Lyric)) {
    Canvas.Font.Color = SoundingColor(own);
  } else {
    Canvas.Font.Color = RuleColor(InEditVoice(Lyric.StaffVoice(), record), own);
  }
  Canvas.Brush.Style = canvas::bsClear;

  if (Lyric.Kind() == ItemKind::Syllable && (Lyric.Flags() & kHyphen)) {
    PlaceItemRect(record.Bounds);
    Canvas.TextOut(ItemRect.Left, ItemRect.Top, u"-");
  }

  ScaleItemRect(record.Bounds2, ItemRect);
  GetAnchorOffset();
  const int64_t L = ItemRect.Left, T = ItemRect.Top, room = int64_t(ItemRect.Right) - ItemRect.Left;
  const bool edited = View.EditedText == &record;
  const TKVWideList& lines = Lyric.Lines();
  // Widths are taken of the very text drawn, upright.
  const int64_t lineHeight = Canvas.TextHeight(u"A");
  const uint8_t alignment = (Lyric.Flags() >> 4) & 3;
  auto indent = [&](std::u16string_view Line) -> int64_t {
    const int64_t w = Canvas.TextWidth(Line);
    return alignment == 1 ? (room - w) / 2 : alignment == 2 ? room - w : 0;
  };
  auto write = [&](int64_t X, int64_t Y, std::u16string_view Text) {
    Canvas.TextOut(ClampCoordinate(X), ClampCoordinate(Y), Text);
  };

  if (const int32_t angle = Lyric.Angle(); angle != 0 && !edited) {
    int64_t W = 0;
    for (const auto& line : lines) W = std::max<int64_t>(W, Canvas.TextWidth(line));
    const double H = double(lines.size()) * double(lineHeight);
    const double radians = angle * std::numbers::pi / 180, sinA = std::sin(radians), cosA = std::cos(radians);
    // Where the turned block starts so that it stays inside the box.
    auto round = [](double v) { return std::llrint(v); };
    int64_t bx = 0, by = 0;
    if (angle <= 90)
      by = round(W * sinA);
    else if (angle <= 180)
      bx = -round(W * cosA), by = round(W * sinA - H * cosA);
    else if (angle <= 270)
      bx = -round(W * cosA + H * sinA), by = -round(H * cosA);
    else
      bx = -round(H * sinA);
    std::vector<int64_t> indents;
    for (const auto& line : lines) indents.push_back(indent(line));
    TMadeFont font(Canvas, angle);
    for (size_t i = 0; i < lines.size(); ++i) {
      const canvas::TPoint p = RotatePointCounterClockwise(
          {ClampCoordinate(indents[i]), ClampCoordinate(int64_t(i) * lineHeight)}, cosA, sinA);
      write(L + p.X + bx, T + p.Y + by, lines[i]);
    }
  } else {
    TMadeFont font(Canvas, 0);
    const auto& from = View.TextSelStart;
    const auto& to = View.TextSelEnd;
    const bool selection = edited && (from.Line < to.Line || (from.Line == to.Line && from.Char < to.Char));
    for (size_t i = 0; i < lines.size(); ++i) {
      const std::u16string_view line = lines[i];
      const int64_t x = L + indent(line), y = T + int64_t(i) * lineHeight;
      const int64_t n = int64_t(i);
      if (!selection || n < from.Line || n > to.Line) {
        // A line of the edited text outside the selection is in the
        // text's own colour, never dimmed.
        if (edited) Canvas.Font.Color = own;
        write(x, y, line);
        continue;
      }
      // Up to three pieces: before the selection, the selection, after it.
      const size_t length = line.size();
      const size_t c0 = n == from.Line ? size_t(std::clamp<int64_t>(from.Char, 0, int64_t(length))) : 0;
      const size_t c1 = n == to.Line ? size_t(std::clamp<int64_t>(to.Char, 0, int64_t(length))) : length;
      int64_t at = x;
      auto piece = [&](size_t From, size_t To, bool Selected) {
        if (From >= To) return;
        const std::u16string_view text = line.substr(From, To - From);
        Canvas.Font.Color = Selected ? kEditedText : own;
        Canvas.Brush.Color = kEditedBack;
        Canvas.Brush.Style = Selected ? canvas::bsSolid : canvas::bsClear;
        write(at, y, text);
        at += Canvas.TextWidth(text);
      };
      piece(0, c0, false);
      piece(c0, c1, true);
      piece(c1, length, false);
      Canvas.Brush.Style = canvas::bsClear;
    }
  }
  Canvas.Font.Style = 0;
  if (!edited && IsItemSelected(record)) {
    ScaleItemRect(record.Bounds, ItemRect);
    GetAnchorOffset();
    DrawSelectionCorners(ItemRect);
  }
}

}  // namespace render
