// The note-input marker: where the next element would go under the mouse,
// the pitch line it stands for, its letter as a hint and its sound while a
// note is dragged.

#include <algorithm>
#include <cstdint>

#include "base/Saturate.h"
#include "platform/forms/Application.h"
#include "player/ClefShift.h"
#include "player/PlayTime.h"
#include "player/Window.h"
#include "render/overlay/HoverOverlay.h"
#include "render/overlay/OverlayRecords.h"
#include "render/overlay/XorDrawing.h"
#include "score/layout/ItemFields.h"
#include "score/layout/page/PagePlaces.h"
#include "score/model/DisplayUnits.h"
#include "score/model/ElementBlocks.h"
#include "score/model/ItemKinds.h"
#include "score/model/Note.h"
#include "score/model/Part.h"
#include "score/model/Score.h"
#include "score/model/Staff.h"

namespace render {

namespace {

// Semitones of the steps C D E F G A B above C.
constexpr int32_t kScale[7] = {0, 2, 4, 5, 7, 9, 11};

int16_t ToLine(int64_t Line) { return int16_t(std::clamp<int64_t>(Line, INT16_MIN, INT16_MAX)); }

int32_t FloorDiv(int32_t A, int32_t B) { return A / B - ((A % B != 0) && ((A < 0) != (B < 0))); }

bool Contains(const canvas::TRect& R, canvas::TPoint P) {
  return R.Left <= P.X && P.X < R.Right && R.Top <= P.Y && P.Y < R.Bottom;
}

}  // namespace

void THoverOverlay::DrawInputMarker() {
  const uint8_t mode = View.InputMarkerMode;
  const THitPlace hit = HitPlace(View);
  if (mode == 0 || !hit.Line || !hit.Measure) return;
  const TKVStaff& staff = *hit.Line->Staff;
  const int32_t spacing = View.GetLineSpacing(&staff);
  if (spacing <= 0) return;
  const TKVHitRecord& h = View.Hit;
  const canvas::TPoint mouse{View.DragRect.Right, View.DragRect.Bottom};
  const int32_t x = View.ScoreXToClient(Saturate32(TickX(*hit.Measure, h.Tick)), h.Page);
  const int32_t y0 = ClientY(hit.Line->Top, h.Page);
  const int32_t clefShift = ClefShiftAt(hit.Measure, h.Part, h.Staff, h.Tick);
  const bool tablature = staff.Data().u8(StaffBlock::Tablature) != 0;
  {
    TXorDrawing pen(Canvas, View.GetViewRect());
    Canvas.Pen.Style = canvas::psSolid;
    if (tablature && mode == 1) {
      // The strings of a staff of one, two or four lines stand between the
      // lines of the five-line frame.
      const int32_t strings = staff.LineCount();
      int64_t bottom = y0 + int64_t(strings - 1) * spacing;
      bottom += strings == 1 ? 2 * spacing : strings == 2 ? spacing : strings == 4 ? spacing / 2 : 0;
      const int32_t line =
          std::clamp(RoundExtended((long double)(bottom - mouse.Y) / spacing), 0, std::max(strings - 1, 0));
      View.HitLine = int16_t(line);
      const int32_t y = Saturate32(bottom - int64_t(line) * spacing), half = spacing >> 1;
      Canvas.Rectangle({x - half, y - half, x + half, y + half});
    } else {
      const int32_t y1 = y0 + 5 * spacing;
      View.HitLine = ToLine(RoundExtended(2.0L * (int64_t(y1) - mouse.Y) / spacing));
      if (mode == 1)
        DrawNoteMarker(x, y0, spacing, View.HitLine, clefShift);
      else if (!DrawTargetConnector(x))
        return;
    }
  }
  View.HitLine = ToLine(int64_t(View.HitLine) + clefShift);
  if (View.HitLine == View.LastInputLine) return;
  View.LastInputLine = View.HitLine;
  if (View.InputHintOn && mode == 1) {
    if (Contains(View.GetViewRect(), mouse))
      View.ShowInputHint(mouse, tablature);
    else if (forms::Application)
      forms::Application->CancelHint();
  }
  PlayHoveredPitch();
}

// Line counts half spaces up from the first ledger line below the staff
// (2 its bottom line, 10 its top line); the hovered line itself gets the
// wider dash.
void THoverOverlay::DrawNoteMarker(int32_t X, int32_t Y0, int32_t Spacing, int32_t Line, int32_t ClefShift) {
  const int32_t y1 = Y0 + 5 * Spacing;
  auto dash = [this, X](int32_t Half, int32_t Y) {
    Canvas.MoveTo(X - Half, Y);
    Canvas.LineTo(X + Half, Y);
  };
  int32_t y = y1;
  for (int32_t n = 0; n > Line && n > -24 - ClefShift; n -= 2, y += Spacing) dash(4, y);
  y = Y0 - Spacing;
  for (int32_t n = 12; n < Line && n < 30 - ClefShift; n += 2, y -= Spacing) dash(4, y);
  dash(6, Saturate32(y1 - int64_t(Line) * Spacing / 2));
}

bool THoverOverlay::TargetMeasureX(int32_t& X) const {
  if (View.TargetMeasure < 0) return true;
  const TKVPiece* piece = View.Score()->GetPiece(View.Hit.Piece);
  const TKVMeasureRecord* R = LaidOutRecord(piece, View.TargetMeasure);
  if (!R) return false;
  X = View.ScoreXToClient(R->RightX, View.Hit.Page);
  return true;
}

bool THoverOverlay::DrawTargetConnector(int32_t ColumnX) {
  const THitPlace hit = HitPlace(View);
  const TKVHitRecord& h = View.Hit;
  const int32_t page = h.Page;
  const TKVSystemRecord& system = *hit.System;
  const TKVMeasureRecord& R = *hit.Measure;
  int32_t top = 0, bottom = 0, x = ColumnX;
  // The span from the top of one staff line to the bottom of another.
  auto span = [&](int32_t First, int32_t Last) {
    const TKVStaffLineRecord* first = StaffLineAt(hit.Page, First);
    const TKVStaffLineRecord* last = StaffLineAt(hit.Page, Last);
    if (!first || !last) return false;
    top = ClientY(first->Top, page), bottom = ClientY(last->Bottom, page);
    return true;
  };
  switch (const uint8_t mode = View.InputMarkerMode) {
    case 2:
    case 3: {
      const TKVDisplayItem* d = mode == 2 ? FindNearestNote(R) : FindNearestNoteOrRest(R);
      if (!d) return false;
      const canvas::TRect r = View.ScoreRectToClient(d, LayoutRect(d->Bounds), page);
      top = r.Top, bottom = r.Bottom, x = (r.Left + r.Right) / 2;
      break;
    }
    case 4:
    case 5:
    case 6:
      top = ClientY(hit.Line->Top, page), bottom = ClientY(hit.Line->Bottom, page);
      if (mode == 6 && !TargetMeasureX(x)) return false;
      break;
    case 7:
    case 8:
    case 14: {
      const auto* part = h.Part < system.Parts.size() ? system.Parts[h.Part].get() : nullptr;
      if (!part || !span(part->FirstStaffLine, part->LastStaffLine)) return false;
      if (mode == 8) {
        top = bottom = (top + bottom) / 2;
        x = View.ScoreXToClient(StaffLineAt(hit.Page, part->FirstStaffLine)->LeftX, page);
      }
      if (mode == 14 && !TargetMeasureX(x)) return false;
      break;
    }
    case 9:
    case 10:
    case 11:
    case 12:
    case 15:
      if (!span(system.FirstStaffLine, system.LastStaffLine)) return false;
      if (mode == 10) x = View.ScoreXToClient(R.LeftX, page);
      if (mode == 11) x = View.ScoreXToClient(R.RightX, page);
      if (mode == 12) x = View.ScoreXToClient(Saturate32((int64_t(R.LeftX) + R.RightX) / 2), page);
      if (mode == 15 && !TargetMeasureX(x)) return false;
      break;
    case 13: {
      // The gap above the system, or below the first one of a page; the
      // only system of a page has none.
      const int32_t index = SystemIndex(system);
      const TKVSystemRecord* above = SystemAt(hit.Page, index - 1);
      const TKVSystemRecord* below = above ? nullptr : SystemAt(hit.Page, index + 1);
      const TKVStaffLineRecord* first = StaffLineAt(hit.Page, system.FirstStaffLine);
      if ((!above && !below) || !first) return false;
      const int64_t gap = above ? int64_t(above->Bottom) + system.Top : int64_t(system.Bottom) + below->Top;
      top = bottom = ClientY(Saturate32(gap / 2), page);
      x = View.ScoreXToClient(Saturate32(int64_t(first->LeftX) + 56), page);
      break;
    }
    case 16: {
      const TKVMeasureRecord* cursor = LaidOutRecord(View.GetCursorPiece(), View.CursorMeasure());
      const TKVSystemRecord* s = cursor ? cursor->System : nullptr;
      const TKVPageRecord* p = s ? s->Page : nullptr;
      if (!p || View.PageRecord(p->PageIndex) != p || !View.GetCursorMeasure()) return false;
      const auto* part = size_t(View.CursorPart()) < s->Parts.size() ? s->Parts[size_t(View.CursorPart())].get() : nullptr;
      const TKVStaffLineRecord* line = part ? StaffLineAt(p, part->FirstStaffLine + View.CursorStaff()) : nullptr;
      if (!line) return false;
      top = bottom = ClientY(line->Top, p->PageIndex);
      x = View.ScoreXToClient(Saturate32(TickX(*cursor, View.CursorTick())), p->PageIndex);
      break;
    }
    default: return false;
  }
  const canvas::TPoint mouse{View.DragRect.Right, View.DragRect.Bottom};
  const canvas::TPoint tip{x, top > mouse.Y ? top : bottom < mouse.Y ? bottom : (top + bottom) / 2};
  Canvas.Pen.Style = canvas::psDot;
  Canvas.MoveTo(mouse.X, mouse.Y);
  Canvas.LineTo(tip.X, tip.Y);
  DrawXorArrowHead(Canvas, tip, mouse);
  return true;
}

// Far lines give keys outside MIDI's range, which sound nothing.
void THoverOverlay::PlayHoveredPitch() {
  const TKVDisplayItem* focused = View.FocusedRecord;
  if (!View.Dragging || !View.OnPlayNote || !IsShownRecord(View, focused)) return;
  const auto* note = focused->Item && focused->Item->Kind() == ItemKind::Note ? ItemCast<const TKVNote>(focused->Item)
                                                                               : nullptr;
  if (!note) return;
  const TKVPart* part = ItemPart(note);
  const int32_t step = View.HitLine + 35, octave = FloorDiv(step, 7);
  const int64_t pitch = int64_t(part ? part->GetTranspose() : 0) + kScale[step - 7 * octave] + 12 * octave;
  if (pitch < 0 || pitch > 127) return;
  View.OnPlayNote(&View, note->Channel, uint8_t(note->Instrument), uint8_t(pitch), 16, note->Velocity(), 0);
}

}  // namespace render
