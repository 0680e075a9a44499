// Texts of a page: multi-line Unicode texts, plain (one font, aligned line
// by line, turned by their angle) or formatted (runs of their own font and
// colour), with the characters selected in the text being edited in place
// highlighted; and page marks, whose wording the page composer wrote.
// Every width that places text is taken of the very characters drawn.

#include <algorithm>
#include <cmath>
#include <numbers>

#include "base/Utf8.h"
#include "player/Window.h"
#include "render/page/PageDrawer.h"
#include "render/page/ScaledMath.h"
#include "score/layout/page/PageRecords.h"
#include "score/model/ElementBlocks.h"
#include "score/model/PageTexts.h"

namespace render {

namespace {

constexpr canvas::TColor kEditedText = 0xFFFFFF, kEditedBack = 0xB59284;

// The canvas font turned by Angle degrees (counter-clockwise) for the
// scope; the font before comes back however the drawing ends.
class TTurnedFont {
public:
  TTurnedFont(canvas::TCanvas& Canvas, int32_t Angle) : FCanvas(Canvas), FPrevious(Canvas.Font) {
    FCanvas.Font.Orientation = Angle * 10;
  }
  ~TTurnedFont() { FCanvas.Font = FPrevious; }
  TTurnedFont(const TTurnedFont&) = delete;
  TTurnedFont& operator=(const TTurnedFont&) = delete;

private:
  canvas::TCanvas& FCanvas;
  canvas::TFont FPrevious;
};

// Where a block W wide and H high, turned by Angle degrees (1 to 359)
// about its top-left corner, starts so that it fills the box its turned
// extent makes from that corner.
canvas::TPoint TurnedBlockOffset(int32_t Angle, double W, double H) {
  const double r = Angle * std::numbers::pi / 180, k = std::cos(r), q = std::sin(r);
  auto round = [](double v) { return ClampCoordinate(std::llrint(v)); };
  if (Angle <= 90) return {0, round(W * q)};
  if (Angle <= 180) return {-round(W * k), -round(-W * q + H * k)};
  if (Angle <= 270) return {-round(W * k + H * q), -round(H * k)};
  return {-round(H * q), 0};
}

// An angle as its turn: 360 and more turn as their rest.
int32_t Turn(uint16_t Angle) { return Angle % 360; }

// The selection of an edited text on line Line: characters From up to To
// (To == From: none), from 0 at Offset in the line.
struct TSelectedRange {
  size_t From = 0, To = 0;
};
TSelectedRange SelectionOn(const TKVWindow& View, int64_t Line, int64_t Offset, size_t Length) {
  const auto& a = View.TextSelStart;
  const auto& b = View.TextSelEnd;
  if (!(a.Line < b.Line || (a.Line == b.Line && a.Char < b.Char)) || Line < a.Line || Line > b.Line) return {};
  auto clamp = [&](int64_t Char) { return size_t(std::clamp<int64_t>(Char - Offset, 0, int64_t(Length))); };
  return {Line == a.Line ? clamp(a.Char) : 0, Line == b.Line ? clamp(b.Char) : Length};
}

// Text at (X, Y) in the canvas font and Color, its selected characters
// white on the highlight: up to three pieces, each after the one before.
void WriteWithSelection(canvas::TCanvas& Canvas, int64_t X, int64_t Y, std::u16string_view Text,
                        TSelectedRange Selected, canvas::TColor Color) {
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

}  // namespace

int32_t TKVPageDrawer::ObjectFontSize(int32_t Points) const {
  return View.Style() == wsPrint ? Points : ClampCoordinate(int64_t(Points) * YScale / 100);
}

void TKVPageDrawer::DrawTextObject(TKVText& Text, const TKVDisplayItem* Record, const canvas::TRect& R) {
  const TByteBlock& data = Text.Data();
  const bool edited = Record && View.EditedText == Record;
  const TKVWideList& lines = Text.Lines();
  Canvas.Brush.Style = canvas::bsClear;

  if (!Text.Runs.empty()) {
    // Each run writes characters of one line at its own place in the box.
    for (const std::vector<TKVTextRun>& runs : Text.Runs)
      for (const TKVTextRun& run : runs) {
        if (run.Hidden || run.Segment >= Text.Segments.size()) continue;
        const TKVTextSegment& segment = Text.Segments[run.Segment];
        if (segment.Line >= lines.size()) continue;
        const std::u16string& line = lines[segment.Line];
        const size_t last = std::min<size_t>(segment.Last, line.size() == 0 ? 0 : line.size() - 1);
        if (segment.First >= line.size() || segment.First > last) continue;
        const std::u16string_view chars = std::u16string_view(line).substr(segment.First, last - segment.First + 1);
        Canvas.Font.Name = run.FontName.empty() ? "Arial" : run.FontName;
        Canvas.Font.SetSize(ObjectFontSize(run.Size == 0 ? 8 : run.Size));
        Canvas.Font.Style = run.Style;
        const canvas::TPoint at = ScaleObjectPoint(run.Left, run.Top);
        const TSelectedRange selected = edited ? SelectionOn(View, segment.Line, segment.First, chars.size())
                                               : TSelectedRange{};
        WriteWithSelection(Canvas, int64_t(R.Left) + at.X, int64_t(R.Top) + at.Y, chars, selected, run.Color);
      }
    Canvas.Font.Style = 0;
    return;
  }

  const uint8_t size = data.u8(TextBlock::FontSize);
  Canvas.Font.Name = Text.Text1().empty() ? "Arial" : Text.Text1();
  Canvas.Font.SetSize(ObjectFontSize(size == 0 ? 8 : size));
  Canvas.Font.Style = data.u8(TextBlock::FontStyle);
  const canvas::TColor color = data.u32(TextBlock::FontColor);
  Canvas.Font.Color = color;
  const int64_t h = Canvas.TextHeight(u"A"), room = R.Width();
  const int alignment = (data.u8(TextBlock::Flags) >> 4) & 3;
  auto indent = [&](std::u16string_view Line) -> int64_t {
    const int64_t w = Canvas.TextWidth(Line);
    return alignment == 1 ? (room - w) / 2 : alignment == 2 ? room - w : 0;
  };

  if (const int32_t angle = Turn(data.u16(TextBlock::Angle)); angle != 0 && !edited) {
    double widest = 0;
    for (const std::u16string& line : lines) widest = std::max(widest, double(Canvas.TextWidth(line)));
    const canvas::TPoint offset = TurnedBlockOffset(angle, widest, double(lines.size()) * double(h));
    std::vector<int64_t> indents;
    for (const std::u16string& line : lines) indents.push_back(indent(line));
    TTurnedFont turned(Canvas, angle);
    for (size_t k = 0; k < lines.size(); ++k) {
      const canvas::TPoint p =
          RotateObjectPoint({ClampCoordinate(indents[k]), ClampCoordinate(int64_t(k) * h)}, angle);
      Canvas.TextOut(ClampCoordinate(int64_t(R.Left) + p.X + offset.X),
                     ClampCoordinate(int64_t(R.Top) + p.Y + offset.Y), lines[k]);
    }
  } else {
    TTurnedFont upright(Canvas, 0);
    for (size_t k = 0; k < lines.size(); ++k) {
      const std::u16string& line = lines[k];
      const TSelectedRange selected = edited ? SelectionOn(View, int64_t(k), 0, line.size()) : TSelectedRange{};
      WriteWithSelection(Canvas, int64_t(R.Left) + indent(line), int64_t(R.Top) + int64_t(k) * h, line, selected,
                         color);
    }
  }
  Canvas.Font.Style = 0;
}

void TKVPageDrawer::DrawPageMarkObject(const TKVPageMark& Mark, const TKVDisplayItem& Record, const canvas::TRect& R) {
  const TByteBlock& data = Mark.Data();
  Canvas.Font.Name = Mark.Text().empty() ? "Arial" : Mark.Text();
  Canvas.Font.SetSize(ObjectFontSize(data.u8(PageMarkBlock::FontSize)));
  Canvas.Font.Style = data.u8(PageMarkBlock::FontStyle);
  Canvas.Font.Color = data.u32(PageMarkBlock::FontColor);
  Canvas.Brush.Style = canvas::bsClear;
  const std::u16string text = Utf8ToUtf16(Record.Text);
  if (const int32_t angle = Turn(data.u16(PageMarkBlock::Angle)); angle != 0) {
    // Turned like a text's single line, in a turned font.
    const canvas::TSize extent = Canvas.TextExtent(text);
    const canvas::TPoint offset = TurnedBlockOffset(angle, extent.Cx, extent.Cy);
    TTurnedFont turned(Canvas, angle);
    Canvas.TextOut(ClampCoordinate(int64_t(R.Left) + offset.X), ClampCoordinate(int64_t(R.Top) + offset.Y), text);
  } else {
    Canvas.TextOut(R.Left, R.Top, text);
  }
  Canvas.Font.Style = 0;
}

}  // namespace render
