#include "support/sketch/LayoutSketch.h"

#include <algorithm>

#include "score/layout/page/PageRecords.h"
#include "score/model/Item.h"
#include "score/model/ItemKinds.h"
#include "score/model/Staff.h"

using namespace canvas;

namespace {
int Zoom = 1;
int Px(int32_t Units) { return int(int64_t(Units) * Zoom / 8); }

constexpr TColor Orange = 0x0080FF, Magenta = 0xFF00FF, Green = 0x008000;

void Box(TCanvas& Canvas, const TKVLayoutRect& R, TColor Color) {
  Canvas.Pen.Color = Color;
  Canvas.Rectangle({Px(R.Left), Px(R.Top), Px(R.Width) + 1, Px(R.Bottom) + 1});
}

// The records the renderer draws: their rectangles on the page, a slur as
// the line between its end points.
void SketchRecords(TCanvas& Canvas, const TKVMeasureRecord& Record) {
  for (int32_t i = 0; const TKVDisplayItem* d = Record.GetDisplay(i); ++i) {
    if (d->RecordType != DisplayRecordType::Item || !d->Item || d->Hidden ||
        (d->DrawFlags & DisplayDrawFlag::Suppressed) || !d->StaffLine)
      continue;
    const uint8_t kind = d->Item->Kind();
    if (kind == ItemKind::GraceGroup || kind > ItemKind::ArcChord) continue;
    if (kind == ItemKind::Slur) {
      const TKVLayoutRect& p = d->Bounds2;
      Canvas.Pen.Color = Magenta;
      Canvas.MoveTo(Px(p.Left), Px(p.Top));
      Canvas.LineTo(Px(p.Width), Px(p.Bottom));
      for (auto [x, y] : {std::pair(p.Left, p.Top), std::pair(p.Width, p.Bottom)})
        Canvas.Rectangle({Px(x) - 1, Px(y) - 1, Px(x) + 2, Px(y) + 2});
    } else if (kind == ItemKind::OleObject || kind >= ItemKind::Text) {
      const TKVLayoutRect& r = d->Bounds;
      Box(Canvas, {r.Left + d->Bounds2.Left, r.Top + d->Bounds2.Top, r.Width + d->Bounds2.Left, r.Bottom + d->Bounds2.Top},
          Orange);
    } else {
      Box(Canvas, d->Bounds, kind == ItemKind::Note || kind == ItemKind::Rest ? clRed : Orange);
    }
  }
}
}  // namespace

canvas::TBitmap SketchPage(const TKVPageRecord& Page, int32_t PageWidth, int32_t PageHeight, int Scale) {
  Zoom = std::clamp(Scale, 1, 8);
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
  for (uint16_t s = 0; s < Page.SystemCount && s < Page.Systems.size(); ++s)
    for (uint16_t m = 0; m < Page.Systems[s]->MeasureCount && m < Page.Systems[s]->Measures.size(); ++m)
      SketchRecords(canvas, *Page.Systems[s]->Measures[m]);
  for (uint16_t i = 0; i < Page.PageObjectCount && i < Page.PageObjects.size(); ++i)
    Box(canvas, Page.PageObjects[i]->Bounds, Green);
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
