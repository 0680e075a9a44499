// The edit cursor on the screen: an exclusive-or line over the staff (or
// the system) at the cursor tick with a mark at the pitch line, or a caret
// in an edited text, counted so that nested hides and shows draw once; and
// its placement by a point of the client area.

#include <algorithm>

#include "base/Saturate.h"
#include "platform/canvas/Canvas.h"
#include "platform/threads/Clock.h"
#include "player/CaretText.h"
#include "player/Rule.h"
#include "player/Window.h"
#include "score/layout/page/PageRecords.h"
#include "score/model/ElementBlocks.h"
#include "score/model/Part.h"
#include "score/model/Piece.h"
#include "score/model/Score.h"
#include "score/model/Staff.h"
#include "score/model/Voice.h"

namespace {

constexpr int32_t NeverShown = 9999;
constexpr canvas::TColor UnfocusedCursor = 0x808000;  // teal

TKVCaretText CaretTextIn(const TKVWindow& View, const TKVItem* Item) {
  return CaretTextOf(Item, [&View](int32_t Points) { return View.ScaleSize(Points); });
}

// Where line Line starts in the text's box, which reaches past the drawn
// text: the lines run 3 pixels (at 100 %) in from either side and are
// aligned between as they are drawn, so that a right-aligned line's caret
// is not pushed out by the box's margin.
int32_t LineStart(const TKVWindow& View, const TKVCaretText& T, const canvas::TRect& Box, size_t Line) {
  const int64_t left = int64_t(Box.Left) + View.ScaleSize(3), right = int64_t(Box.Right) - View.ScaleSize(3);
  if (T.Align == TKVTextAlign::Left) return Saturate32(left);
  return Saturate32(left + AlignedIndent(T.Align, right - left, CaretX(T.Lines[Line], 0, T.Lines[Line].Length())));
}

canvas::TRect BoundsOf(const TKVDisplayItem& D) { return {D.Bounds.Left, D.Bounds.Top, D.Bounds.Width, D.Bounds.Bottom}; }

}  // namespace

TKVStaffLineRecord* TKVWindow::CursorStaffLineRecord() {
  const TKVMeasureRecord* R = CursorRecord();
  const TKVPageRecord* page = R && R->System ? R->System->Page : nullptr;
  if (!page || PageRecord(page->PageIndex) != page) return nullptr;
  return page->GetStaffLine(GetCursorStaffLine());
}

// In content pixels (the page arrangement at the zoom).
bool TKVWindow::NoteCursorGeometry(int32_t& X, int32_t& Top, int32_t& Bottom, int32_t& MarkY) {
  const TKVMeasureRecord* R = CursorRecord();
  const TKVStaffLineRecord* line = CursorStaffLineRecord();
  if (!line || !line->Staff) return false;
  const TKVPageRect origin = PageRect(R->System->Page->PageIndex);
  const int64_t offset =
      R->Spaced && FCursorTick >= 0 && size_t(FCursorTick) < R->TickTable.size() ? R->TickTable[size_t(FCursorTick)] : 0;
  X = ScoreToPixels(int32_t(R->LeftX + offset)) + origin.Left - ScaleSize(3);
  const int32_t s = GetLineSpacing(line->Staff), staffTop = ScoreToPixels(line->Top) + origin.Top;
  if (FCursorType == ctPiece) {
    Top = ScoreToPixels(R->System->Top) + origin.Top;
    Bottom = ScoreToPixels(R->System->Bottom) + origin.Top;
  } else {
    // With several voices the line stands above the staff for the first
    // voice and below it for the others.
    const int32_t shift = line->Staff->GetVoiceCount() > 1 ? (FCursorVoice == 0 ? -s : s) : 0;
    Top = staffTop + shift;
    Bottom = ScoreToPixels(line->Bottom) + origin.Top + shift;
  }
  if (line->Staff->Data().u8(StaffBlock::Tablature) != 0)
    MarkY = staffTop + (line->Staff->LineCount() - 1) * s - s * CursorString;
  else
    MarkY = staffTop + 5 * s - (FCursorLine - 60) * s / 2;
  return true;
}

// In content pixels; the text's box comes in client pixels.
bool TKVWindow::CaretGeometry(int32_t& X, int32_t& Top, int32_t& Bottom) {
  if (!EditedText) return false;
  const canvas::TRect box = GetItemRect(EditedText, BoundsOf(*EditedText), !EditedText->Owner);
  const TKVCaretText t = CaretTextIn(*this, EditedText->Item);
  const size_t line = size_t(std::clamp<int64_t>(CaretLine, 0, int64_t(t.Lines.size()) - 1));
  const size_t chars = size_t(std::max(CaretChar, 0));
  const int32_t w = FRule->Visible() ? FRule->Width() : 0;
  X = Saturate32(int64_t(CaretX(t.Lines[line], LineStart(*this, t, box, line), chars)) - w + HorzPosition());
  Top = Saturate32(int64_t(box.Top) + t.LineTop(line) - w + VertPosition());
  Bottom = Saturate32(int64_t(Top) + t.Lines[line].Height());
  return true;
}

void TKVWindow::DrawCursor(canvas::TCanvas& Canvas, bool Show) {
  if (FStyle == wsPreview || FStyle == wsPrint || FStyle == wsExport) return;
  bool edge = false;
  if (Show)
    edge = ++FCursorShowCounter == 0;
  else if (FCursorShowCounter == NeverShown)
    FCursorShowCounter = -1;
  else
    edge = --FCursorShowCounter == -1;
  if (!edge || !FScore || FPageCount == 0) return;
  if (OnCursorChanged) OnCursorChanged(this, Show);
  int32_t x = 0, top = 0, bottom = 0, markY = 0;
  const bool caret = EditedText != nullptr;
  if (caret ? !CaretGeometry(x, top, bottom) : !NoteCursorGeometry(x, top, bottom, markY)) return;
  const int32_t w = FRule->Visible() ? FRule->Width() : 0;
  Canvas.Save();
  Canvas.IntersectClipRect(GetViewRect());
  const canvas::TPoint origin = Canvas.Origin();
  Canvas.SetOrigin({origin.X + w - HorzPosition(), origin.Y + w - VertPosition()});
  Canvas.Pen = {FFocused ? FCursorColor : UnfocusedCursor, ScaleSize(2) * FScore->Scale() / 100, canvas::psSolid,
                canvas::pmXor};
  Canvas.MoveTo(x, top);
  Canvas.LineTo(x, bottom);
  if (!caret && FCursorType == ctStaff && FStyle != wsView && FStyle != wsSimple) {
    Canvas.Pen.Width = ScaleSize(1);
    Canvas.MoveTo(x - ScaleSize(4), markY);
    Canvas.LineTo(x + ScaleSize(4), markY);
  }
  Canvas.Pen.Mode = canvas::pmCopy;
  Canvas.Restore();
}

void TKVWindow::WakeCursor() {
  if (FCursorShowCounter < 0) ShowCursor(true);
  FLastInputTime = uint32_t(int64_t(FClock->NowMs()));
}

// After HitTest at P: a caret in the edited text under P (anywhere with
// Force), else the cursor at the hit record.
void TKVWindow::SetCursorAtPoint(canvas::TPoint P, bool Force) {
  WakeCursor();
  if (EditedText) {
    const canvas::TRect box = GetItemRect(EditedText, BoundsOf(*EditedText), !EditedText->Owner);
    if (Force || (box.Left <= P.X && P.X < box.Right && box.Top <= P.Y && P.Y < box.Bottom)) {
      const TKVCaretText t = CaretTextIn(*this, EditedText->Item);
      const size_t line = t.LineAt(int64_t(P.Y) - box.Top - ScaleSize(3));
      const size_t chars = CaretCharAt(t.Lines[line], LineStart(*this, t, box, line), P.X);
      ShowCursor(false);
      CaretLine = int32_t(line);
      CaretChar = int32_t(chars);
      ShowCursor(true);
      return;
    }
  }
  if (Hit.Page == FActivePage && Hit.Piece == FCursorPiece && Hit.Part == FCursorPart && Hit.Measure == FCursorMeasure &&
      Hit.Staff == FCursorStaff && Hit.Tick == FCursorTick && Hit.Line == FCursorLine && Hit.String == CursorString)
    return;
  const int32_t old = FActivePage;
  ShowCursor(false);
  Hit.PreviousStaffLine = Hit.StaffLine;
  FActivePage = Hit.Page;
  if (Hit.Staff != FCursorStaff) {
    // A voice that runs over two staves stays the cursor voice.
    const TKVVoice* voice = GetCursorVoice();
    const TKVPiece* piece = FScore ? FScore->GetPiece(Hit.Piece) : nullptr;
    const TKVPart* part = piece ? piece->GetPart(Hit.Part) : nullptr;
    const TKVStaff* staff = part ? part->GetStaff(Hit.Staff) : nullptr;
    for (int32_t v = 0; voice && staff && v < staff->GetVoiceCount(); ++v)
      if (staff->GetVoice(v)->Number() == voice->Number()) FCursorVoice = v;
  }
  FCursorStaff = Hit.Staff;
  FCursorPiece = Hit.Piece;
  FCursorPart = Hit.Part;
  FCursorMeasure = Hit.Measure;
  FCursorTick = Hit.Tick;
  FCursorLine = Hit.Line;
  CursorString = Hit.String;
  ValidateCursor(true);
  ShowCursor(true);
  UpdateRuleMarkers();
  UpdatePageButtons();
  InvalidateRule(old);
  CursorChanged(GetCursorVoice());
}
