// The rulers along the top and the left of the score area: per column (row)
// of pages the margins in grey and the printable band in white, numbered
// units in centimetres, inches or hundreds of pixels with half-unit ticks
// and quarter-unit dots, and the numbered buttons of the vertical ruler;
// and the ruler marker positions of the cursor.

#include <algorithm>
#include <string>
#include <utility>

#include "base/Utf8.h"
#include "player/Rule.h"
#include "player/ViewControl.h"
#include "player/Window.h"
#include "render/page/ScaledMath.h"
#include "render/page/ViewPainter.h"
#include "score/layout/page/PageRecords.h"
#include "score/layout/ScoreLayoutRecords.h"
#include "score/model/Page.h"
#include "score/model/Piece.h"
#include "score/model/Score.h"

namespace render {

namespace {

constexpr canvas::TColor kMargin = 0x808080;

// Restores the canvas's device state however the drawing in between ends.
struct TSavedState {
  explicit TSavedState(canvas::TCanvas& C) : Canvas(C) { Canvas.Save(); }
  ~TSavedState() { Canvas.Restore(); }
  canvas::TCanvas& Canvas;
};

// The page's edges in pixels at the zoom: the printable band between the
// margins, mirrored on odd pages when the margins turn.
struct TPageEdges {
  int32_t Left, Right, Top, Bottom, Width, Height;
};

TPageEdges PageEdges(TKVPage& Page, int32_t Zoom, bool Mirrored) {
  Page.PushMetrix(rmPixels);
  const long double w = Page.Width(), h = Page.Height();
  const long double left = Mirrored ? Page.RightMargin() : Page.LeftMargin();
  const long double right = Mirrored ? Page.LeftMargin() : Page.RightMargin();
  const long double top = Page.TopMargin(), bottom = Page.BottomMargin();
  Page.PopMetrix();
  auto px = [&](long double v) { return RoundExtended(v * Zoom / 100); };
  return {px(left), px(w - right), px(top), px(h - bottom), px(w), px(h)};
}

// Position k of a ruler's units: whole hundreds of pixels, else whole
// centimetres or inches, at the zoom.
int32_t UnitPosition(TKVMetrix Metrix, int64_t K, int32_t Zoom) {
  if (Metrix == rmPixels) return ClampCoordinate(100 * K * Zoom / 100);
  const long double tenths = (Metrix == rmInches ? 254.0L : 100.0L) * K * Zoom;
  return ClampCoordinate(RoundExtended(ToDisplayUnits(rmPixels, tenths) / 100));
}

// The numbers, half-unit ticks and quarter-unit dots of one ruler, along x
// (Horizontal) or y: numbers up to End, ticks and dots one number's extent
// past it. Only the units between Shown.first and Shown.second are drawn,
// so that a page of absurd length paints as fast as a short one.
void DrawUnits(canvas::TCanvas& C, bool Horizontal, TKVMetrix Metrix, int32_t Zoom, int32_t RW, int32_t End,
               int32_t TH, std::pair<int64_t, int64_t> Shown) {
  const int32_t mid = RW >> 1;
  auto line = [&](int32_t along, int32_t from, int32_t to) {
    Horizontal ? (C.MoveTo(along, from), C.LineTo(along, to)) : (C.MoveTo(from, along), C.LineTo(to, along));
  };
  auto dot = [&](int32_t along) {
    Horizontal ? C.SetPixel(along, mid, canvas::clBlack) : C.SetPixel(mid, along, canvas::clBlack);
  };
  const double step = std::max(1.0, UnitPosition(Metrix, 1000, Zoom) / 1000.0);
  int64_t k = std::max<int64_t>(1, int64_t(double(Shown.first - RW) / step) - 1);
  int32_t prev = k == 1 ? RW : UnitPosition(Metrix, k - 1, Zoom) + RW;
  for (;; ++k) {
    const int32_t at = UnitPosition(Metrix, k, Zoom) + RW;
    const std::u16string number = Utf8ToUtf16(std::to_string(k));
    const int32_t width = C.TextWidth(number);
    if (Horizontal && at <= End)
      C.TextOut(at - width / 2, (RW - TH) >> 1, number);
    else if (!Horizontal && at <= End + TH)
      C.TextOut((RW - width) >> 1, at - (TH >> 1), number);
    line((prev + at) >> 1, mid - 2, mid + 2);
    const int32_t q = (at - prev) >> 2;
    dot(prev + q);
    dot(at - q);
    prev = at;
    if (prev >= int64_t(End) + (Horizontal ? width : TH) || prev > Shown.second) break;
  }
}

}  // namespace

void TKVViewPainter::DrawRuleMarker(canvas::TColor, bool, int) {}

void TKVViewPainter::DrawRule(canvas::TCanvas& Canvas, bool NoClip, const canvas::TRect& Area, int) {
  TKVScore* score = View.Score();
  if (!score || !View.Rule().Visible()) return;
  TKVPage& page = score->Page();
  const int32_t zoom = View.Zoom(), RW = View.Rule().Width();
  const TPageEdges e = PageEdges(page, zoom, page.Turn() && View.ActivePage() % 2 == 1);
  const TKVMetrix metrix = page.Metrix();
  const canvas::TPoint base = Canvas.Origin();
  const uint8_t drag = View.RulerDragMode;

  Canvas.Brush = {canvas::clBtnFace, canvas::bsSolid};
  Canvas.FillRect({0, 0, Area.Right, RW});
  Canvas.FillRect({0, 0, RW, Area.Bottom});
  Canvas.Pen = {canvas::clBlack, 1, canvas::psSolid, canvas::pmCopy};
  Canvas.Font = View.Rule().Font();
  const int32_t TH = Canvas.TextHeight(u"A");
  auto band = [&](const canvas::TRect& R, canvas::TColor Color) {
    Canvas.Brush = {Color, canvas::bsSolid};
    Canvas.FillRect(R);
  };

  if (drag == 0 || drag == 1 || drag == 2 || drag == 4 || drag == 5) {
    const int32_t h = View.HorzPosition();
    for (int32_t col = 0; col < View.PagePerHorz(); ++col) {
      const int64_t x = int64_t(col) * e.Width;
      if (!(x - h <= Area.Right && x - h + e.Width > RW)) continue;
      TSavedState saved(Canvas);
      if (!NoClip) Canvas.IntersectClipRect({RW, 0, Area.Right, RW});
      Canvas.SetOrigin({base.X + ClampCoordinate(x - h), base.Y});
      band({RW, 5, RW + e.Left - 1, RW - 5}, kMargin);
      band({RW + e.Right + 1, 5, RW + e.Width, RW - 5}, kMargin);
      band({RW + e.Left + 1, 5, RW + e.Right - 1, RW - 5}, canvas::clWhite);
      Canvas.Brush.Style = canvas::bsClear;
      DrawUnits(Canvas, true, metrix, zoom, RW, RW + e.Right, TH, {RW - (x - h), Area.Right - (x - h)});
      DrawRuleMarker(0xA8D7A8, drag == 1, 1);
      DrawRuleMarker(0xA8D7A8, drag == 2, 2);
      DrawRuleMarker(0xA2FCFD, false, 5);
      DrawRuleMarker(0xD7BCA8, drag == 4, 4);
    }
  }

  if (drag == 0 || drag == 3 || drag == 6) {
    const int32_t v = View.VertPosition();
    // The grid counts a row past the last page's; no page stands there.
    const int64_t pagesEnd = View.PageCount() > 0 ? View.PageRect(View.PageCount() - 1).Bottom : e.Height;
    for (int32_t row = 0; row < std::max(View.PageRows(), 1); ++row) {
      const int64_t y = int64_t(row) * e.Height;
      if (row > 0 && y >= pagesEnd) break;
      if (!(y - v <= Area.Bottom && y - v + e.Height > RW)) continue;
      TSavedState saved(Canvas);
      if (!NoClip) Canvas.IntersectClipRect({0, RW, RW, Area.Bottom});
      Canvas.SetOrigin({base.X, base.Y + ClampCoordinate(y - v)});
      band({5, RW, RW - 5, RW + e.Top - 1}, kMargin);
      band({5, RW + e.Bottom + 1, RW - 5, RW + e.Height}, kMargin);
      band({5, RW + e.Top + 1, RW - 5, RW + e.Bottom - 1}, canvas::clWhite);
      Canvas.Brush.Style = canvas::bsClear;
      DrawUnits(Canvas, false, metrix, zoom, RW, RW + e.Bottom, TH, {RW - (y - v), Area.Bottom - (y - v)});
      DrawRuleMarker(0xA8D7A8, drag == 3, 3);
      DrawRuleMarker(0x9999FE, drag == 6, 6);
    }
  }

  const auto& buttons = View.RuleButtons;
  if (std::none_of(buttons.begin(), buttons.end(), [](const auto& b) { return b.Visible; })) return;
  TSavedState saved(Canvas);
  if (!NoClip) Canvas.IntersectClipRect({0, RW, RW, Area.Bottom});
  Canvas.SetOrigin({base.X, base.Y - View.VertPosition()});
  Canvas.Pen = {canvas::clBlack, 1, canvas::psSolid, canvas::pmCopy};
  Canvas.Brush = {canvas::clInfoBk, canvas::bsSolid};
  Canvas.Font.Color = canvas::clBlack;
  for (size_t i = 0; i < buttons.size(); ++i) {
    if (!buttons[i].Visible) continue;
    const canvas::TRect& r = buttons[i].Rect;
    Canvas.Rectangle(r);
    const std::u16string index = Utf8ToUtf16(std::to_string(i));
    const canvas::TSize size = Canvas.TextExtent(index);
    Canvas.TextOut((r.Left + r.Right - size.Cx) / 2, (r.Top + r.Bottom - size.Cy) / 2, index);
  }
}

void TKVViewPainter::CalcRuleMarkers() {
  TKVPiece* piece = View.GetCursorPiece();
  if (!piece) return;
  const int32_t measure = View.CursorMeasure();
  const TKVPieceLayoutRecords& layout = piece->Layout();
  if (measure < 0 || measure >= layout.MeasureRecordCount || measure >= piece->GetColumnCount() ||
      size_t(measure) >= layout.MeasureRecords.size())
    return;
  const TKVMeasureRecord* M = layout.MeasureRecords[size_t(measure)].get();
  const TKVSystemRecord* system = M ? M->System : nullptr;
  const int32_t part = View.CursorPart();
  if (!system || !system->Page || part < 0 || size_t(part) >= system->Parts.size() || !system->Parts[size_t(part)])
    return;
  const TKVStaffLineRecord* R =
      system->Page->GetStaffLine(int64_t(system->Parts[size_t(part)]->FirstStaffLine) + View.CursorStaff());
  if (!R) return;
  const int32_t RW = View.Rule().Width();
  const TKVPageRect origin = View.PageRect(View.ActivePage());
  auto x = [&](int64_t Units) { return View.ScoreToPixels(ClampCoordinate(Units)) + RW + origin.Left; };
  // Parts keep no measure widths of their own: the piece's serve both views.
  const std::vector<int16_t>& gaps = layout.MeasureGaps;
  const int32_t adjust = size_t(measure) < gaps.size() ? gaps[size_t(measure)] : 0;
  const int32_t tick = View.CursorTick();
  // The tick table holds x offsets once the composer has spaced the measure.
  const int64_t tickX =
      M->Spaced && tick >= 0 && size_t(tick) < M->TickTable.size() ? M->TickTable[size_t(tick)] : 0;
  TKVRuleMarkers& m = View.RuleMarkers;
  m.SystemLeft = x(R->LeftX);
  m.SystemRight = x(R->RightX);
  m.MeasureMark = x(int64_t(M->RightX) + adjust);
  m.TickX = x(M->LeftX + tickX);
  m.StaffTopY = View.ScoreToPixels(R->Top) + RW + origin.Top;
}

}  // namespace render
