#include "support/sketch/LayoutSketch.h"

#include <algorithm>

#include "score/layout/page/PageRecords.h"
#include "score/model/Staff.h"

using namespace canvas;

namespace {
int Px(int32_t Units) { return Units / 8; }
}  // namespace

canvas::TBitmap SketchPage(const TKVPageRecord& Page, int32_t PageWidth, int32_t PageHeight) {
  TBitmap bitmap(std::clamp(Px(PageWidth), 1, 4000), std::clamp(Px(PageHeight), 1, 4000));
  TCanvas& canvas = bitmap.Canvas();
  canvas.Brush.Style = bsClear;
  canvas.Pen.Color = clSilver;
  canvas.Rectangle({0, 0, bitmap.Width(), bitmap.Height()});
  for (uint16_t s = 0; s < Page.SystemCount && s < Page.Systems.size(); ++s) {
    const TKVSystemRecord& system = *Page.Systems[s];
    canvas.Pen.Color = clBlue;
    canvas.Rectangle({Px(system.LeftX), Px(system.Top), Px(system.RightX) + 1, Px(system.Bottom) + 1});
    canvas.Pen.Color = clLime;
    for (uint16_t m = 0; m < system.MeasureCount && m < system.Measures.size(); ++m)
      for (int32_t x : {system.Measures[m]->LeftX, system.Measures[m]->RightX}) {
        canvas.MoveTo(Px(x), Px(system.Top));
        canvas.LineTo(Px(x), Px(system.Bottom));
      }
  }
  // The staff lines last, so that they show over the boxes.
  canvas.Pen.Color = clBlack;
  for (const TKVStaffLineRecord* line = Page.GetStaffLine(0); line; line = Page.GetStaffLine(line->Index + 1)) {
    if (!(line->Flags & 1) || !line->Staff) continue;
    const int count = std::max<int>(line->Staff->LineCount(), 1);
    for (int i = 0; i < count; ++i) {
      const int32_t y = count == 1 ? line->InnerTop
                                   : line->InnerTop + int32_t(int64_t(line->InnerBottom - line->InnerTop) * i / (count - 1));
      canvas.MoveTo(Px(line->LeftX), Px(y));
      canvas.LineTo(Px(line->RightX), Px(y));
    }
  }
  return bitmap;
}
