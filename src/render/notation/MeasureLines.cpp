// Lines of the first pass that belong to the staff rather than to an item:
// the measure line of a group of staves, the frame of a selected measure,
// and the ledger lines of notes above and below their staff.

#include <algorithm>

#include "player/Window.h"
#include "render/notation/ItemTests.h"
#include "render/page/PageDrawer.h"
#include "render/page/ScaledMath.h"
#include "score/model/Column.h"
#include "score/model/Piece.h"

namespace render {

namespace {

bool BlackLines(TKVWindowStyle Style) { return Style == wsPrint || Style == wsExport; }

}  // namespace

void TKVPageDrawer::DrawColumnLine(int64_t X, int32_t Top, int64_t Bottom, int32_t Width) {
  TKVColumn* column = nullptr;
  if (TKVPiece* piece = CurrentSystem ? CurrentSystem->Piece : nullptr)
    if (CurrentMeasure && CurrentMeasure->ColumnIndex < piece->GetColumnCount())
      column = piece->GetColumn(CurrentMeasure->ColumnIndex);
  // A factor of 0 means 1, and is kept as 1.
  if (column && column->BarWidthFactor == 0) column->BarWidthFactor = 1;
  canvas::TSmoothPen pen{canvas::ArgbOf(LineColor()), double(std::max(column ? column->BarWidthFactor * Width : Width, 1))};
  if (column && !DashOf(column->BarLineStyle, pen.Dash)) return;
  // Upright lines stay sharp: no anti-aliasing blurs them over two columns.
  Canvas.Smoothing = false;
  Canvas.SmoothLine({double(ClampCoordinate(X)), double(Top)}, {double(ClampCoordinate(X)), double(ClampCoordinate(Bottom))},
                    pen);
  Canvas.Smoothing = true;
}

void TKVPageDrawer::DrawGroupMeasureLine(TKVDisplayItem& Record) {
  if ((Record.DrawFlags & DisplayDrawFlag::Suppressed) || !Record.StaffLine) return;
  ScaleItemRect(Record.Bounds, ItemRect);
  if ((Record.Placement & 0x0F) == 1) ItemRect.Left += Record.Shift.X, ItemRect.Right += Record.Shift.X;
  if (ItemRect.Top >= ItemRect.Bottom) ItemRect.Top -= LineSpacing, ItemRect.Bottom += LineSpacing;
  DrawColumnLine(int64_t(ItemRect.Left) + UnitWidth(2), ItemRect.Top,
                 int64_t(ItemRect.Bottom) + Record.StaffLine->StaffHeight, ThinWidth());
  if (IsItemSelected(Record)) {
    DrawSelectionCorners(ItemRect);
    DrawSelectionHandle({(ItemRect.Left + ItemRect.Right) / 2, ItemRect.Bottom});
  }
}

void TKVPageDrawer::DrawSelectionFrame(TKVDisplayItem& Record) {
  if ((Record.DrawFlags & DisplayDrawFlag::Suppressed) || !Record.StaffLine) return;
  ScaleItemRect(Record.Bounds, ItemRect);
  ItemRect.Top -= UnitWidth(2), ItemRect.Bottom += UnitWidth(2);
  if (IsItemSelected(Record)) DrawSelectionCorners(ItemRect);
}

void TKVPageDrawer::DrawLedgerLines(TKVDisplayItem& Record) {
  auto* note = Record.Item && Record.Item->Kind() == ItemKind::Note ? dynamic_cast<TKVNote*>(Record.Item) : nullptr;
  const TKVStaffLineRecord* line = ShownLine(Record);
  if (!note || !line || IsTablature(line->Staff) || VoiceHidden(note->Voice)) return;
  const int64_t pos = note->StaffStep;
  if (pos >= -1 && pos <= 9) return;
  ScaleItemRect(Record.Bounds, ItemRect);
  const int32_t e = ThinWidth();
  Canvas.Pen.Color = BlackLines(View.Style()) ? canvas::clBlack : 0x808080;
  Canvas.Pen.Width = e;
  Canvas.Pen.Style = canvas::psSolid;
  LineSpacing = line->DrawnLineSpacing;
  const int64_t spacing = LineSpacing;
  // Lines k = 1 .. count steps away from the outer staff line, in the
  // direction dir; only those that fall inside the clip are drawn, so that
  // no position costs more than a page of lines.
  const bool above = pos < -1;
  const int64_t count = above ? (-1 - pos + 1) / 2 : (pos - 9 + 1) / 2;
  const int64_t top = ScaleUnits(line->Top, YScale);
  const int64_t outer = above ? top : top + spacing * (line->Staff->LineCount() - 1);
  const int64_t dir = above ? -1 : 1;
  const canvas::TRect clip = Canvas.ClipRect();
  int64_t first = 1, last = count;
  if (spacing == 0) {
    last = std::min<int64_t>(last, 1);
  } else if (above) {
    first = std::max<int64_t>(first, (outer - clip.Bottom) / spacing);
    last = std::min<int64_t>(last, (outer - clip.Top) / spacing + 1);
  } else {
    first = std::max<int64_t>(first, (clip.Top - outer) / spacing);
    last = std::min<int64_t>(last, (clip.Bottom - outer) / spacing + 1);
  }
  for (int64_t k = first; k <= last; ++k) {
    const int32_t y = ClampCoordinate(outer + dir * k * spacing);
    Canvas.MoveTo(ItemRect.Left - e, y);
    Canvas.LineTo(ItemRect.Right + e, y);
  }
}

}  // namespace render
