#include "render/overlay/XorDrawing.h"

#include <cmath>
#include <numbers>

#include "score/model/DisplayUnits.h"

namespace render {

TXorDrawing::TXorDrawing(canvas::TCanvas& Canvas, const canvas::TRect& Clip) : FCanvas(Canvas) {
  FCanvas.Save();
  FCanvas.IntersectClipRect(Clip);
  FCanvas.Pen = {canvas::clWhite, 1, canvas::psDot, canvas::pmXor};
  FCanvas.Brush.Style = canvas::bsClear;
}

TXorDrawing::~TXorDrawing() {
  FCanvas.Brush.Style = canvas::bsSolid;
  FCanvas.Pen.Mode = canvas::pmCopy;
  FCanvas.Restore();
}

void DrawXorArrowHead(canvas::TCanvas& Canvas, canvas::TPoint Tip, canvas::TPoint Tail) {
  const int32_t dx = Tip.X - Tail.X, dy = Tip.Y - Tail.Y;
  const double a = std::fabs(dx == 0 ? std::numbers::pi / 2 : std::atan(double(dy) / dx));
  const double s = std::sin(a), c = std::cos(a);
  // Back from the tip towards the tail.
  const int32_t sx = dx > 0 ? -1 : 1, sy = dy > 0 ? -1 : 1;
  Canvas.Pen.Style = canvas::psSolid;
  const canvas::TPoint head[3] = {Tip,
                                  {Tip.X + sx * RoundExtended(6 * c + s), Tip.Y + sy * RoundExtended(6 * s - c)},
                                  {Tip.X + sx * RoundExtended(6 * c - s), Tip.Y + sy * RoundExtended(6 * s + c)}};
  Canvas.Polygon(head);
}

}  // namespace render
