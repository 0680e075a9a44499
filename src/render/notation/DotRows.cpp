// A row of round dots beside a note or rest (its augmentation dots), on
// the middle of the record's rectangle, dimmed like its owner.

#include "player/Window.h"
#include "render/notation/ItemTests.h"
#include "render/page/PageDrawer.h"
#include "score/model/Mark.h"
#include "score/model/Pause.h"

namespace render {

void TKVPageDrawer::DrawDotRow(TKVMark& Mark) {
  TKVDisplayItem& record = *CurrentRecord;
  auto* note = dynamic_cast<TKVNote*>(Mark.Owner());
  auto* rest = dynamic_cast<TKVPause*>(Mark.Owner());
  if (rest && rest->Hidden()) return;
  if (note) {
    const auto* holder = dynamic_cast<const TKVPause*>(note->Owner());
    if (VoiceHidden(note->Voice) || (holder && VoiceHidden(holder->Voice))) return;
  }
  PlaceItemRect(ScaleStaffItemRect(record.Bounds));
  const canvas::TRect& r = ItemRect;
  bool atCursor = true;
  if (note)
    atCursor = VoiceItemAtCursor(*note, record);
  else if (rest)
    atCursor = (rest->StaffVoice() >> 4) == View.CursorStaff() && OnCursorVoice(rest->StaffVoice()) &&
               OnCursorPart(record) && OnCursorPiece(record);
  const canvas::TSmoothBrush brush{canvas::ArgbOf(RuleColor(atCursor, Mark.Color()))};
  const int32_t u1 = ItemUnit(1), u2 = ItemUnit(2), u5 = ItemUnit(5), yc = (r.Top + r.Bottom) / 2;
  const double size = u2 + u1, top = yc - 2 * u1 + UnitWidth(0.5);
  // Dots beyond the clip, or drawn over each other, add nothing.
  const int64_t count = u5 > 0 ? int64_t(Mark.Value()) + 1 : 1;
  const int32_t clipRight = Canvas.ClipRect().Right;
  int64_t x = int64_t(r.Left) + u2;
  for (int64_t i = 0; i < count && x - u1 <= clipRight; ++i, x += u5)
    Canvas.SmoothEllipse({double(x - u1), top, size, size}, nullptr, &brush);
  if (IsItemSelected(record)) DrawSelectionCorners(r);
}

}  // namespace render
