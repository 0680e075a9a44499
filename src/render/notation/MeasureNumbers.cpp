// Labels of a measure taken from its layout record: the measure number and
// the rehearsal mark (a letter or a number), centred in the mark's
// rectangle, enclosed in a rectangle or an ellipse when asked for. Both keep
// the mark's own colour.

#include <string>

#include "player/Window.h"
#include "render/page/PageDrawer.h"
#include "score/layout/page/PageRecords.h"
#include "render/page/ScaledMath.h"
#include "score/model/ItemKinds.h"
#include "score/model/Mark.h"
#include "score/model/Score.h"
#include "score/model/ScoreRoutines.h"

namespace render {

namespace {

bool OutputStyle(TKVWindowStyle Style) { return Style == wsPreview || Style == wsPrint || Style == wsExport; }

// The enclosure of a label: 2 an ellipse, 1 and 3 a rectangle, inset by
// Inset; a measure number's ellipse is made round.
void DrawEnclosure(canvas::TCanvas& C, const canvas::TRect& R, int Shape, int32_t Inset, bool Round) {
  const int64_t e = Inset;
  if (Shape == 2 && Round) {
    const int64_t d = (int64_t(R.Right) - R.Left) - (int64_t(R.Bottom) - R.Top);
    const int64_t dx = d < 0 ? d / 2 : 0, dy = d < 0 ? 0 : d / 2;
    C.Ellipse({ClampCoordinate(R.Left + e + dx), ClampCoordinate(R.Top + e - dy), ClampCoordinate(R.Right - e - dx),
               ClampCoordinate(R.Bottom - e + dy)});
    return;
  }
  const canvas::TRect inner{ClampCoordinate(R.Left + e), ClampCoordinate(R.Top + e), ClampCoordinate(R.Right - e),
                            ClampCoordinate(R.Bottom - e)};
  if (Shape == 2)
    C.Ellipse(inner);
  else
    C.Rectangle(inner);
}

}  // namespace

void TKVPageDrawer::DrawMeasureNumber(TKVMark& Mark) {
  TKVDisplayItem& record = *CurrentRecord;
  const bool number = Mark.Kind() == ItemKind::MeasureNumber;
  if (number && Score->Drawing.PrintMeasureNumbers == 0 && OutputStyle(View.Style())) return;
  if (!number && !record.StaffLine) return;
  PlaceItemRect(record.Bounds);
  const canvas::TRect& r = ItemRect;
  Canvas.Font.Color = Mark.Color();
  Canvas.Brush.Style = canvas::bsClear;
  SetMarkTextFont(Mark, number ? 1 : 13);
  std::string text;
  if (number) {
    SetSymbolFontSize7();
    text = std::to_string(CurrentMeasure->MeasureNumber);
  } else {
    SetSymbolFontSize10();
    const int32_t index = CurrentMeasure->RehearsalNumber;
    text = ((Mark.Flags() >> 6) & 3) == 2 ? std::to_string(index) : IntToLetters(index - 1);
  }
  const int64_t width = Canvas.TextWidthA(text);
  const int32_t x = ClampCoordinate((int64_t(r.Left) + r.Right - width) / 2);
  if (number) {
    const std::u16string wide(text.begin(), text.end());
    const int64_t height = Canvas.TextHeight(wide);
    Canvas.TextOutA(x, ClampCoordinate((int64_t(r.Top) + r.Bottom - height) / 2), text);
  }
  const int shape = number ? (Mark.Flags() >> 4) & 3 : (Mark.Flags() >> 2) & 3;
  const int32_t inset = number ? UnitWidth(1) : ItemUnit(1);
  if (shape) {
    Canvas.Pen.Width = inset;
    Canvas.Pen.Color = Mark.Color();
    Canvas.Pen.Style = canvas::psSolid;
    DrawEnclosure(Canvas, r, shape, inset, number);
  }
  if (number)
    DrawMarkBrackets(Mark, UnitWidth(4));
  else if (!text.empty())
    Canvas.TextOutA(x, ClampCoordinate(int64_t(r.Top) + inset), text);
  if (IsItemSelected(record)) DrawSelectionCorners(r);
}

}  // namespace render
