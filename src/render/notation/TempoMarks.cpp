// Metronome marks: the beat's note from the music font with up to three
// dots, then "=" and the tempo, in brackets when asked. A tempo mark is
// never greyed: it holds for every voice.

#include <string>

#include "render/notation/GlyphCodes.h"
#include "render/page/PageDrawer.h"
#include "render/page/ScaledMath.h"
#include "score/layout/LayoutServices.h"
#include "score/model/Mark.h"

namespace render {

void TKVPageDrawer::DrawTempoMark(TKVMark& Mark) {
  TKVDisplayItem& record = *CurrentRecord;
  PlaceItemRect(record.Bounds);
  const canvas::TRect& r = ItemRect;
  const canvas::TColor colour = Mark.Color();
  const int64_t p = record.SizePercent;
  Canvas.Font.Color = colour;
  Canvas.Brush.Style = canvas::bsClear;
  SetSymbolFontSize18();
  // The note values past the font's last note have no glyph: their dots
  // and text are drawn all the same.
  const int code = glyph::TempoNoteBase + Mark.Variant();
  GlyphChar = code <= 0xFF ? uint8_t(code) : 0;
  SelectSymbolFont(Mark.FontIndex());
  const int64_t baseline = int64_t(r.Top) + GlyphDY + (2 * UnitWidth(8) + UnitWidth(2)) * p / 100;
  const int32_t yn = ClampCoordinate(baseline);
  const int32_t dotTop = ClampCoordinate(int64_t(r.Top) + GlyphDY + (2 * UnitWidth(8) + UnitWidth(1)) * p / 100);
  TextOutGlyph(r.Left + GlyphDX, yn);
  int32_t w = GlyphWidth();

  if (const int dots = (Mark.Flags() >> 4) & 3) {
    // The dots start after a whole head, or after the head of a stemmed
    // note (a half note's width).
    int32_t x = Canvas.TextWidthA(Mark.Variant() == 0 ? "*" : "+") + UnitWidth(1);
    const canvas::TSmoothBrush brush{canvas::ArgbOf(colour)};
    const double size = UnitWidth(3);
    for (int i = 0; i < dots; ++i) {
      Canvas.SmoothEllipse({double(r.Left + x), double(dotTop), size, size}, nullptr, &brush);
      x += UnitWidth(5);
      // A flagged note's own width already reaches past its dots.
      if (Mark.Variant() < 3) w += UnitWidth(5);
    }
  }

  Canvas.Font.Name = TextFontName(*Score, 5, Mark.Text1());
  SetSymbolFontSize8();
  Canvas.Font.Style = Mark.TextStyle();
  const int32_t yt = yn - Canvas.TextHeight(u"A") / 2 + ScaleUnits(Mark.TextY(), YScale);
  int32_t xt = r.Left + w + UnitWidth(1);
  const std::string text = "=" + std::to_string(Mark.Value());
  Canvas.TextOutA(xt, yt, text);
  xt += Canvas.TextWidthA(text);
  if (const uint8_t brackets = (Mark.Flags() >> 2) & 3) {
    Canvas.Font.Name = TextFontName(*Score, 0, Mark.Text1());
    Canvas.Font.Style = Mark.TextStyle();
    DrawBracketText(brackets, r.Left - UnitWidth(4), yt, xt, yt, record.SizePercent);
  }
  if (IsItemSelected(record)) DrawSelectionCorners(r);
}

}  // namespace render
