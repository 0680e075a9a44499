// The stem and flags of a note that no beam group draws: a filled bar from
// the head to the stem end, flag glyphs of the music font (or short bars on
// a tablature staff in the special style), and the slash through a single
// grace note.

#include "render/notation/GlyphCodes.h"
#include "render/notation/ItemTests.h"
#include "render/page/PageDrawer.h"
#include "score/model/Score.h"

namespace render {

namespace {

// Tablature flags: one bar per flag, by duration.
int TablatureFlagCount(uint16_t Duration) { return Duration == 64 ? 1 : Duration == 32 ? 2 : Duration == 16 ? 3 : 4; }

}  // namespace

void TKVPageDrawer::DrawStem(TKVDisplayItem& Record) {
  auto* note = dynamic_cast<TKVNote*>(Record.Item);
  const TKVStaffLineRecord* line = ShownLine(Record);
  if (!note || !line || VoiceHidden(note->Voice)) return;
  canvas::TColor colour = RuleColor(VoiceItemAtCursor(*note, Record), note->StemColor());
  Canvas.Pen.Color = Canvas.Brush.Color = Canvas.Font.Color = colour;
  Canvas.Pen.Width = 0;
  const TKVStaff* staff = NoteStaff(*note);
  if (!staff) return;

  const bool down = note->StemDown();
  ScaleItemRect(Record.Bounds, ItemRect);
  (down ? ItemRect.Top : ItemRect.Bottom) += VerticalSnap(note->StaffStep, *line);
  if ((Record.Placement & 0x0F) == 1) (down ? ItemRect.Bottom : ItemRect.Top) += Record.Shift.Y;
  Canvas.Brush.Style = canvas::bsSolid;
  const bool special = IsTablature(staff) && Score->TabulatureStyle() == tsSpecial;
  const bool fullLength = note->HeadType() == 3;
  const int32_t w = StemWidth(false);
  if (special) {
    if (ItemRect.Left == ItemRect.Right) ItemRect.Right += 1;
  } else if (!down) {
    ItemRect.Left = ItemRect.Right - w;
    if (ItemRect.Left == ItemRect.Right) ItemRect.Left = ItemRect.Right - 1;
    if (!fullLength) ItemRect.Bottom -= UnitWidth(1);
  } else {
    ItemRect.Right = ItemRect.Left + w;
    if (ItemRect.Left == ItemRect.Right) ItemRect.Right = ItemRect.Left + 1;
    if (!fullLength) ItemRect.Top += UnitWidth(1);
  }
  const canvas::TRect& r = ItemRect;

  if (!note->NoStem()) {
    // A beamed note shorter than a quarter is drawn by its beam group.
    if (note->Duration() < 128 && note->BeamGroup != 0) return;
    const canvas::TPoint stem[] = {{r.Left, r.Top}, {r.Right, r.Top}, {r.Right, r.Bottom}, {r.Left, r.Bottom}};
    Canvas.Pen.Style = canvas::psClear;
    Canvas.Polygon(stem);
    Canvas.Pen.Style = canvas::psSolid;

    const TKVVorschlag* grace = GraceGroupOf(*note);
    if (note->Duration() < 128 && special) {
      const int32_t length = grace ? UnitWidth(4) : UnitWidth(5), u2 = UnitWidth(2), u3 = UnitWidth(3);
      for (int i = 0, n = TablatureFlagCount(note->Duration()); i < n; ++i)
        Canvas.FillRect(down ? canvas::TRect{r.Right, r.Bottom - u2 - i * u3, r.Right + length, r.Bottom - i * u3}
                             : canvas::TRect{r.Right, r.Top + i * u3, r.Right + length, r.Top + i * u3 + u2});
    } else if (note->Duration() < 128) {
      if (note->Small() || grace)
        SetSymbolFontSize14();
      else
        SetSymbolFontSize18();
      Canvas.Brush.Style = canvas::bsClear;
      const int32_t end = down ? r.Bottom : r.Top, sign = down ? -1 : 1;
      if (note->Duration() == 64) {
        GlyphChar = down ? glyph::EighthFlagDown : glyph::EighthFlagUp;
        SelectSymbolFont(note->FontCode());
        TextOutGlyph(r.Left + GlyphDX, end + GlyphDY);
      } else {
        const int n = note->BeamCount();
        GlyphChar = down ? glyph::FlagSegmentDown : glyph::FlagSegmentUp;
        GlyphStep = 0;
        SelectSymbolFont(note->FontCode());
        const int32_t step = UnitWidth(3) + GlyphStep;
        for (int i = 0; i < n; ++i) TextOutGlyph(r.Left + GlyphDX, end + GlyphDY + sign * i * step);
        GlyphChar = down ? glyph::LastFlagDown : glyph::LastFlagUp;
        GlyphDX = GlyphDY = 0;
        SelectSymbolFont(note->FontCode());
        TextOutGlyph(r.Left + GlyphDX, end + GlyphDY + sign * n * (UnitWidth(3) + GlyphStep));
      }
      Canvas.Brush.Style = canvas::bsSolid;
    }

    if (grace && grace->Slashed() && grace->GetItemCount() == 1) {
      const int32_t m = (r.Top + r.Bottom) / 2;
      Canvas.Pen.Width = UnitWidth(1);
      Canvas.MoveTo(r.Left - UnitWidth(4), m + UnitWidth(2));
      Canvas.LineTo(r.Right + UnitWidth(4), m - UnitWidth(2));
    }
  }
  if (IsItemSelected(Record)) DrawSelectionHandle({r.Left, down ? r.Bottom : r.Top});
}

}  // namespace render
