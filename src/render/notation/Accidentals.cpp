// The accidental in front of a note: one glyph by its code, lifted inside
// the record's rectangle by what the glyph needs, smaller for grace notes,
// in brackets when it is cautionary.

#include "render/notation/GlyphCodes.h"
#include "render/notation/ItemTests.h"
#include "render/page/PageDrawer.h"
#include "score/layout/LayoutServices.h"
#include "score/model/Mark.h"

namespace render {

namespace {

// Where the glyph's baseline lies below the rectangle's top, by the shape:
// flats hang from their stem, sharps and naturals stand around their
// middle. Six units at the staff's size; the sharp's first half is the
// page's, unscaled.
int32_t Lift(uint8_t Glyph, int32_t U6, int32_t PageU6) {
  switch (Glyph) {
    case glyph::Sharp: return PageU6 / 2 + U6;
    case 0x43: return U6 / 2;  // double sharp
    case 0x45: return U6 + U6 / 2 + U6 / 4;
    case glyph::Natural: case 0x46: case 0xE7: case 0xE9: case 0xEB: case 0xED: case 0xEF: return U6 + U6 / 2;
    case 0: return 0;
    default: return 2 * U6;  // the flats
  }
}

}  // namespace

void TKVPageDrawer::DrawAccidental(TKVMark& Mark) {
  TKVDisplayItem& record = *CurrentRecord;
  auto* note = dynamic_cast<TKVNote*>(Mark.Owner());
  if (note && VoiceHidden(note->Voice)) return;
  if (record.StaffLine) LineSpacing = record.StaffLine->DrawnLineSpacing;
  PlaceItemRect(ScaleStaffItemRect(record.Bounds));
  const canvas::TRect& r = ItemRect;
  const uint8_t code = glyph::AccidentalGlyph(Mark.Variant());
  const int32_t h = Lift(code, ItemUnit(6), UnitWidth(6));
  Canvas.Font.Color = RuleColor(!note || VoiceItemAtCursor(*note, record), Mark.Color());
  Canvas.Brush.Style = canvas::bsClear;
  if (note && GraceGroupOf(*note))
    SetSymbolFontSize14();
  else
    SetSymbolFontSize18();
  // A code without a glyph writes nothing; its brackets still show.
  if (code != 0) {
    GlyphChar = code;
    SelectSymbolFont(Mark.FontIndex());
    Canvas.Font.Style = Mark.TextStyle();
    TextOutGlyph(r.Left + GlyphDX, r.Top + h + GlyphDY);
  }
  if (const uint8_t brackets = (Mark.Flags() >> 2) & 3) {
    Canvas.Font.Name = TextFontName(*Score, 0, Mark.Text1());
    Canvas.Font.Style = Mark.TextStyle();
    const int32_t y = r.Top + h - UnitWidth(6) - UnitWidth(1);
    DrawBracketText(brackets, r.Left - UnitWidth(3), y, r.Right, y, record.SizePercent);
  }
  if (IsItemSelected(record)) DrawSelectionCorners(r);
}

}  // namespace render
