// Rests: whole and half rests as blocks (with a short ledger line when they
// lie outside the staff), the others as music-font glyphs, with brackets.

#include "render/notation/GlyphCodes.h"
#include "render/notation/ItemTests.h"
#include "render/page/PageDrawer.h"
#include "render/page/ScaledMath.h"
#include "score/layout/LayoutServices.h"
#include "score/layout/RestShape.h"
#include "score/model/Pause.h"
#include "score/model/Score.h"
#include "score/model/Staff.h"

namespace render {

void TKVPageDrawer::DrawRest(TKVPause& Rest) {
  TKVDisplayItem& record = *CurrentRecord;
  const TKVStaffLineRecord* line = ShownLine(record);
  if (VoiceHidden(Rest.Voice) || !line) return;
  ItemColor = RuleColor(VoiceItemAtCursor(Rest, record), Rest.Color());
  LineSpacing = line->DrawnLineSpacing;
  const bool selected = IsItemSelected(record);
  ScaleItemRect(record.Bounds, ItemRect);
  // A pending move shifts a rest up or down only; rests stand as the
  // layout put them on the middle line. A tablature staff's lines are drawn
  // a wider step apart than the standard step the snap corrects for.
  const bool tablature = line->Staff && line->Staff->Data().u8(StaffBlock::Tablature) != 0;
  const int32_t dy = ((record.Placement & 0x0F) == 1 ? record.Shift.Y : 0) + (tablature ? 0 : VerticalSnap(3, *line));
  ItemRect.Top += dy, ItemRect.Bottom += dy;
  canvas::TRect& r = ItemRect;

  if (!Rest.Hidden()) {
    const uint8_t brackets = Rest.BracketKind();
    auto bracketFont = [&] {
      Canvas.Font.Name = TextFontName(*Score, 0, Rest.Text());
      Canvas.Font.Style = Rest.FontStyle();
    };
    // The shape the layout gave it: its written value (a tuplet's or a
    // dotted rest's sounding length has no glyph of its own), or a whole
    // rest for one that fills its measure.
    const uint16_t shape =
        GraceGroupOf(Rest) || !CurrentMeasure ? Rest.Value() : RestShapeValue(Rest, *CurrentMeasure);
    if (shape == WholeRestValue || shape == 256) {
      r.Bottom = r.Top + LineSpacing / 2;
      if (tablature && LineSpacing > 0) {
        // The layout places a tablature staff's block a number of its wider
        // line steps down, which round apart from the lines as drawn: the
        // whole rest hangs from its drawn line, the half rest sits on one.
        const int64_t top = ScaleUnits(line->Top, YScale);
        auto snap = [&](int64_t y) { return ClampCoordinate(top + RoundDiv(y - top, LineSpacing) * LineSpacing); };
        if (shape == WholeRestValue) r.Top = snap(r.Top), r.Bottom = r.Top + LineSpacing / 2;
        else r.Bottom = snap(r.Bottom), r.Top = r.Bottom - LineSpacing / 2;
      }
      Canvas.Brush.Color = ItemColor;
      Canvas.Brush.Style = canvas::bsSolid;
      Canvas.FillRect(r);
      if (brackets) {
        bracketFont();
        DrawBracketText(brackets, r.Left - UnitWidth(3), r.Top - UnitWidth(4), r.Right + UnitWidth(1),
                        r.Top - UnitWidth(4), record.SizePercent);
      }
      if (record.DrawFlags & DisplayDrawFlag::RestLedger) {
        // The brackets leave the brush clear: the ledger line is filled
        // in the rest's colour whatever they did.
        Canvas.Brush.Style = canvas::bsSolid;
        const int32_t u1 = UnitWidth(1), u3 = UnitWidth(3);
        Canvas.FillRect(shape == WholeRestValue ? canvas::TRect{r.Left - u3, r.Top - u1, r.Right + u3, r.Top}
                                                : canvas::TRect{r.Left - u3, r.Bottom, r.Right + u3, r.Bottom + u1});
      }
    } else {
      Canvas.Font.Color = ItemColor;
      Canvas.Brush.Style = canvas::bsClear;
      if (GraceGroupOf(Rest))
        SetSymbolFontSize14();
      else
        SetSymbolFontSize18();
      GlyphChar = glyph::RestGlyph(shape);
      SelectSymbolFont(Rest.FontCode());
      // The glyph's reference lies two and a half spaces below the top.
      TextOutGlyph(r.Left + GlyphDX, r.Top + 2 * LineSpacing + LineSpacing / 2 + GlyphDY);
      if (brackets) {
        bracketFont();
        DrawBracketText(brackets, r.Left - UnitWidth(3), r.Top, r.Right + UnitWidth(1), r.Top, record.SizePercent);
      }
    }
  }
  if (selected) DrawSelectionCorners(r);
}

}  // namespace render
