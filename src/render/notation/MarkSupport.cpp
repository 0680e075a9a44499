// What the drawers of marks share: their colour by the edit position, the
// text font of their role, the brackets around them, the pen of their lines
// and the set-up of the marks drawn as a line along the staff.

#include "render/notation/ItemTests.h"
#include "render/page/PageDrawer.h"
#include "render/page/ScaledMath.h"
#include "score/layout/LayoutServices.h"
#include "score/model/Mark.h"
#include "score/model/Score.h"

namespace render {

canvas::TColor TKVPageDrawer::MarkColor(const TKVMark& Mark, bool StaffTest) const {
  const TKVDisplayItem& record = *CurrentRecord;
  return RuleColor(InEditVoice(Mark.StaffVoice(), record) && (!StaffTest || OnCursorStaff(record)), Mark.Color());
}

void TKVPageDrawer::SetMarkTextFont(const TKVMark& Mark, int32_t Role) {
  Canvas.Font.Name = TextFontName(*Score, Role, Mark.Text1());
  Canvas.Font.Style = Mark.TextStyle();
}

void TKVPageDrawer::DrawMarkBrackets(const TKVMark& Mark, int32_t Lift) {
  const int32_t style = (Mark.Flags() >> 2) & 3;
  if (style == 0) return;
  SetMarkTextFont(Mark, 0);
  const int64_t y = int64_t(ItemRect.Top) - Lift;
  DrawBracketText(style, ItemRect.Left - UnitWidth(4), ClampCoordinate(y), ItemRect.Right + UnitWidth(1),
                  ClampCoordinate(y), CurrentRecord->SizePercent);
}

bool TKVPageDrawer::MarkPen(const TKVMark& Mark, canvas::TColor Color, int32_t Width, canvas::TSmoothPen& Pen) const {
  Pen = {canvas::ArgbOf(Color), double(Width)};
  return DashOf(Mark.LineStyle(), Pen.Dash);
}

TKVPageDrawer::TKVLineSetup TKVPageDrawer::SetUpLineMark(const TKVMark& Mark, int32_t Percent) {
  const TKVDisplayItem& record = *CurrentRecord;
  ScaleItemRect(record.Bounds, ItemRect);
  TKVLineSetup line{ScaleUnits(record.Bounds2.Top, Percent), ScaleUnits(Mark.Extent(), Percent)};
  const auto& shift = record.Shift;
  switch (record.Placement & 0x0F) {
    case 1:
      ItemRect = {ItemRect.Left + shift.X, ItemRect.Top + shift.Y, ItemRect.Right + shift.X, ItemRect.Bottom + shift.Y};
      line.Y = ClampCoordinate(int64_t(line.Y) + shift.Y);
      break;
    case 2: ItemRect.Right = ClampCoordinate(int64_t(ItemRect.Right) + shift.X); break;
    case 3: line.Slant = ClampCoordinate(int64_t(line.Slant) + shift.Y); break;
    default: break;
  }
  return line;
}

}  // namespace render
