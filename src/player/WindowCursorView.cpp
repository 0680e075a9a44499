// The edit cursor on the screen: an exclusive-or line over the staff (or
// the system) at the cursor tick with a mark at the pitch line, or a caret
// in an edited text, counted so that nested hides and shows draw once; and
// its placement by a point of the client area.

#include <algorithm>

#include "platform/canvas/Canvas.h"
#include "platform/threads/Clock.h"
#include "platform/text/TextMeasurer.h"
#include "player/Rule.h"
#include "player/Window.h"
#include "score/layout/page/PageRecords.h"
#include "score/model/ElementBlocks.h"
#include "score/model/Lyric.h"
#include "score/model/PageTexts.h"
#include "score/model/Part.h"
#include "score/model/Piece.h"
#include "score/model/Score.h"
#include "score/model/Staff.h"
#include "score/model/Voice.h"

namespace {

constexpr int32_t NeverShown = 9999;
constexpr canvas::TColor UnfocusedCursor = 0x808000;  // teal

// The lines of an edited text in the font they are measured with, and how
// they align in the text's box.
struct TCaretText {
  text::TFontSpec Font;
  std::vector<std::u16string> Lines;
  int Align = 0;  // 0 left, 1 centred, 2 right
};

TCaretText CaretTextOf(const TKVWindow& View, const TKVItem* Item) {
  TCaretText t;
  std::string name;
  uint8_t size = 0, style = 0;
  if (auto* text = dynamic_cast<const TKVText*>(Item)) {
    name = text->Text1();
    size = text->Data().u8(TextBlock::FontSize);
    style = text->Data().u8(TextBlock::FontStyle);
    t.Lines = text->Lines();
    t.Align = (text->Data().u8(TextBlock::Flags) >> 4) & 3;
  } else if (auto* lyric = dynamic_cast<const TKVLyric*>(Item)) {
    t.Lines = lyric->Lines();
  }
  t.Font = {name.empty() ? "Arial" : name, View.ScaleSize(size ? size : 8), style};
  if (t.Lines.empty()) t.Lines.emplace_back();
  return t;
}

int32_t Width(const TCaretText& T, std::u16string_view S) {
  return text::CurrentMeasurer().TextWidthW(T.Font, std::u16string(S));
}

// Where line Line starts in the text's box.
int32_t LineStart(const TKVWindow& View, const TCaretText& T, const canvas::TRect& Box, size_t Line) {
  const int32_t x = Box.Left + View.ScaleSize(3), width = Width(T, T.Lines[Line]);
  if (T.Align == 1) return x + (Box.Right - x - width) / 2;
  if (T.Align == 2) return Box.Right - width;
  return x;
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
  const TCaretText t = CaretTextOf(*this, EditedText->Item);
  const size_t line = size_t(std::clamp<int32_t>(CaretLine, 0, int32_t(t.Lines.size()) - 1));
  const std::u16string& text = t.Lines[line];
  const size_t chars = size_t(std::clamp<int32_t>(CaretChar, 0, int32_t(text.size())));
  const int32_t height = text::CurrentMeasurer().TextHeight(t.Font);
  const int32_t w = FRule->Visible() ? FRule->Width() : 0;
  X = LineStart(*this, t, box, line) + Width(t, std::u16string_view(text).substr(0, chars)) - w + HorzPosition();
  Top = box.Top + height * int32_t(line) - w + VertPosition();
  Bottom = Top + height;
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
      const TCaretText t = CaretTextOf(*this, EditedText->Item);
      const int32_t height = std::max(text::CurrentMeasurer().TextHeight(t.Font), 1);
      const int32_t line = std::clamp((P.Y - box.Top - ScaleSize(3)) / height, 0, int32_t(t.Lines.size()) - 1);
      const std::u16string& text = t.Lines[size_t(line)];
      int32_t x = LineStart(*this, t, box, size_t(line));
      size_t chars = 0;
      while (chars < text.size() && (x += Width(t, std::u16string_view(text).substr(chars, 1))) < P.X) ++chars;
      ShowCursor(false);
      CaretLine = line;
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
