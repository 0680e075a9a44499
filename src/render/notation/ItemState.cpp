// What every item drawer shares: widths at the record's size, the record's
// rectangle, the colour rule of the edit position and the vertical snap of
// notes onto the staff lines as drawn.

#include <cmath>

#include "player/Window.h"
#include "render/page/PageDrawer.h"
#include "render/page/ScaledMath.h"
#include "score/layout/page/PageRecords.h"
#include "score/model/Mark.h"
#include "score/model/Part.h"
#include "score/model/Piece.h"
#include "score/model/Score.h"
#include "score/model/Staff.h"

namespace render {

int32_t TKVPageDrawer::ItemUnit(double k) const {
  int64_t p = CurrentRecord ? CurrentRecord->SizePercent : 100;
  if (p == 100) return UnitWidth(k);
  int64_t halves = std::llround(k * 2);
  return ClampCoordinate(RoundDiv(halves * ScaleProduct * p, 2000000));
}

int32_t TKVPageDrawer::StemWidth(bool Group) const {
  int64_t p = CurrentRecord ? CurrentRecord->SizePercent : 100;
  if (int64_t w = Score->Drawing.StemWidth) return ClampCoordinate(RoundDiv(w * ScaleProduct * p, 8000000));
  return Group ? ItemUnit(0.5) : UnitWidth(0.5);
}

int32_t TKVPageDrawer::VerticalSnap(int32_t LinePos, const TKVStaffLineRecord& Line) const {
  int64_t size = Line.Staff ? Line.Staff->SizePercent() : 100;
  // The line spacing at 100 % that the layout placed the note with.
  long double exact = Score->Page().InternalValue(pvLineSpace) * 96 * ScoreScale * size / 2540000;
  int64_t e = std::isfinite(double(exact)) ? std::llround(std::clamp<long double>(exact, -kCoordinateLimit, kCoordinateLimit)) : 0;
  int64_t pos = LinePos;
  return ClampCoordinate((pos * Line.DrawnLineSpacing - pos * e * YScale / 100) / 2);
}

void TKVPageDrawer::ScaleCurrentRect() {
  ScaleItemRect(CurrentRecord->Bounds, ItemRect);
  const auto& shift = CurrentRecord->Shift;
  switch (CurrentRecord->Placement & 0x0F) {
    case 1:
      ItemRect = {ItemRect.Left + shift.X, ItemRect.Top + shift.Y, ItemRect.Right + shift.X, ItemRect.Bottom + shift.Y};
      break;
    case 3: ItemRect.Bottom += shift.Y; break;
    default: break;
  }
}

void TKVPageDrawer::PlaceItemRect(const canvas::TRect& Scaled, bool Vertically) {
  ItemRect = Scaled;
  if ((CurrentRecord->Placement & 0x0F) != 1) return;
  const auto& shift = CurrentRecord->Shift;
  ItemRect.Left += shift.X, ItemRect.Right += shift.X;
  if (Vertically) ItemRect.Top += shift.Y, ItemRect.Bottom += shift.Y;
}

void TKVPageDrawer::PlaceItemRect(const TKVLayoutRect& Bounds, bool Vertically) {
  canvas::TRect scaled;
  ScaleItemRect(Bounds, scaled);
  PlaceItemRect(scaled, Vertically);
}

bool TKVPageDrawer::ActiveVoiceOnly() const { return View.DataStyle() == dsActiveVoice; }

namespace {

const TKVStaff* RecordStaff(const TKVDisplayItem& Record) {
  return Record.StaffLine ? Record.StaffLine->Staff : nullptr;
}

}  // namespace

bool TKVPageDrawer::OnCursorStaff(const TKVDisplayItem& Record) const {
  const TKVStaff* staff = RecordStaff(Record);
  return !staff || staff->Index() == View.CursorStaff();
}

bool TKVPageDrawer::OnCursorVoice(uint8_t StaffVoice) const { return (StaffVoice & 0x0F) == View.CursorVoice(); }

bool TKVPageDrawer::OnCursorPart(const TKVDisplayItem& Record) const {
  const TKVStaff* staff = RecordStaff(Record);
  return !staff || !staff->Part() || staff->Part()->Index() == View.CursorPart();
}

bool TKVPageDrawer::OnCursorPiece(const TKVDisplayItem& Record) const {
  const TKVStaff* staff = RecordStaff(Record);
  if (!staff || !staff->Part() || !staff->Part()->Piece()) return true;
  return staff->Part()->Piece()->GetIndex() == View.CursorPiece();
}

bool TKVPageDrawer::VoiceItemAtCursor(const TKVItem& Item, const TKVDisplayItem& Record) const {
  const TKVVoiceKey* key = Item.GetVoiceKey();
  if (!key || !Record.StaffLine) return true;
  return key->VoiceNumber == ActiveVoiceId && key->PartIndex == View.CursorPart() && OnCursorPiece(Record);
}

bool TKVPageDrawer::MarkAtCursor(const TKVMark& Mark, const TKVDisplayItem& Record) const {
  return OnCursorStaff(Record) && OnCursorVoice(Mark.StaffVoice()) && OnCursorPart(Record) && OnCursorPiece(Record);
}

bool TKVPageDrawer::InEditVoice(uint8_t StaffVoice, const TKVDisplayItem& Record) const {
  return !Record.StaffLine || (OnCursorVoice(StaffVoice) && OnCursorPart(Record) && OnCursorPiece(Record));
}

canvas::TColor TKVPageDrawer::RuleColor(bool AtCursor, canvas::TColor Own) const {
  return ActiveVoiceOnly() && !AtCursor ? kDimmed : Own;
}

canvas::TColor TKVPageDrawer::SoundingColor(canvas::TColor Own) const {
  return Own == View.PlayHighlightColor ? 0x000080 : View.PlayHighlightColor;
}

}  // namespace render
