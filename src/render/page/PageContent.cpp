// One page of the score: staff lines per measure record, measure lines at
// the open left edges of systems, and the notation and free objects drawn
// by their own drawers, over the page state worked out once per page.

#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/musicfont/MusicFont.h"
#include "player/Window.h"
#include "render/page/ComposerTotals.h"
#include "render/page/PageDrawer.h"
#include "render/page/ScaledMath.h"
#include "score/layout/ScoreLayoutRecords.h"
#include "score/model/Piece.h"
#include "score/model/Score.h"
#include "score/model/Staff.h"
#include "score/model/Voice.h"

namespace render {

namespace {

constexpr int kFontSizeFactors[] = {18, 14, 4, 5, 6, 7, 8, 9, 10, 11};

bool OutputStyle(TKVWindowStyle Style) { return Style == wsPreview || Style == wsPrint || Style == wsExport; }

TKVPageRecord* FindPage(TKVScore& Score, int32_t PageIndex) {
  auto* store = dynamic_cast<TKVScoreLayoutRecords*>(Score.LayoutRecords());
  if (!store || PageIndex < 0) return nullptr;
  int32_t count = std::min<int64_t>(store->PageCount, int64_t(store->Pages.size()));
  return PageIndex < count ? store->Pages[size_t(PageIndex)].get() : nullptr;
}

// The staff's lines are centred in the height of five.
int32_t CentringShift(int LineCount, int32_t Spacing) {
  switch (LineCount) {
    case 1: return 2 * Spacing;
    case 2: return Spacing + Spacing / 2;
    case 3: return Spacing;
    case 4: return Spacing / 2;
    default: return 0;
  }
}

}  // namespace

TKVPageDrawer::TKVPageDrawer(TKVWindow& AView, canvas::TCanvas& ACanvas)
    : View(AView), Score(AView.Score()), Canvas(ACanvas) {}

int32_t TKVPageDrawer::UnitWidth(double k) const {
  int halves = int(std::lround(k * 2));
  if (halves >= 0 && size_t(halves) < FUnitWidths.size()) return FUnitWidths[size_t(halves)];
  return int32_t(RoundDiv(int64_t(halves) * ScaleProduct, 20000));
}

int32_t TKVPageDrawer::DampedUnit(double n) const {
  if (n < 1) return DampedScale / 200;
  return int32_t(int64_t(DampedScale) * int64_t(std::lround(n)) / 100);
}

int32_t TKVPageDrawer::SymbolFontSize(int N) const {
  return N >= 0 && size_t(N) < FSymbolFontSizes.size() ? FSymbolFontSizes[size_t(N)] : 0;
}

void TKVPageDrawer::SetUpPage() {
  ScoreScale = Score->Scale();
  ScaleProduct = int64_t(ScoreScale) * XScale;
  for (size_t halves = 0; halves < FUnitWidths.size(); ++halves)
    FUnitWidths[halves] = ClampCoordinate(RoundDiv(int64_t(halves) * ScaleProduct, 20000));
  DampedScale = XScale < 100 ? XScale : 100 + (XScale - 100) / 4;
  FontQuality = XScale >= 50 ? canvas::fqAntialiased : canvas::fqDefault;
  for (int N : kFontSizeFactors)
    FSymbolFontSizes[size_t(N)] = ClampCoordinate(View.Style() == wsPrint ? RoundDiv(int64_t(N) * ScoreScale, 100)
                                                                           : RoundDiv(N * ScaleProduct, 10000));
  RealMeasureCount = render::RealMeasureCount(*Score);
  // Every music-font name of the score is drawn by the one music-font
  // service, the user symbol fonts' too.
  const TStringList& fonts = Score->MusicFonts();
  for (int i = 0; i < fonts.Count(); ++i) musicfont::RegisterMusicFontName(fonts.Strings(i));
  if (auto* store = dynamic_cast<TKVScoreLayoutRecords*>(Score->LayoutRecords()))
    for (const TKVSymbolFontEntry& entry : store->SymbolFonts) musicfont::RegisterMusicFontName(entry.FontName);
}

void TKVPageDrawer::DrawPageContent(int32_t PageIndex, int32_t AXScale, int32_t AYScale, int32_t APageOriginX,
                                    int32_t APageOriginY) {
  if (!Score) return;
  PageRecord = FindPage(*Score, PageIndex);
  if (!PageRecord) return;
  XScale = AXScale;
  YScale = AYScale;
  PageOriginX = APageOriginX;
  PageOriginY = APageOriginY;
  SetUpPage();

  if (View.Style() != wsPrint) Canvas.Font.PixelsPerInch = 96;
  Canvas.Pen.Width = UnitWidth(1);
  Canvas.Brush.Style = canvas::bsSolid;
  Canvas.Brush.Style = canvas::bsClear;
  Canvas.Pen.Color = canvas::clRed;
  Canvas.Font.SetSize(2);
  MeasureSelection = nullptr;

  DrawObjectList(true);
  TKVVoice* active = Score->GetActiveVoice();
  ActiveVoiceId = active ? uint32_t(active->Number()) : 0;
  TakeSoundingSnapshot();
  size_t systems = std::min<size_t>(PageRecord->SystemCount, PageRecord->Systems.size());
  for (size_t i = 0; i < systems; ++i)
    if (TKVSystemRecord* system = PageRecord->Systems[i].get()) DrawSystem(*system);
  DrawObjectList(false);
}

bool TKVPageDrawer::Trailing(int32_t MeasureNumber, bool KeepFlag) const {
  return MeasureNumber >= RealMeasureCount && !KeepFlag && OutputStyle(View.Style());
}

void TKVPageDrawer::DrawSystem(TKVSystemRecord& System) {
  if (!(System.Flags & 1)) return;
  int64_t firstNumber = int64_t(System.FirstMeasure) + FirstMeasureNumber(System.Piece);
  if (Trailing(int32_t(std::min<int64_t>(firstNumber, std::numeric_limits<int32_t>::max())),
               PageRecord->KeepTrailing || Score->Drawing.KeepTrailingSystems))
    return;
  CurrentSystem = &System;
  const TKVWindow::TKVSelectionGroup* selection = View.FindSelected(System.Piece);
  size_t measures = std::min<size_t>(System.MeasureCount, System.Measures.size());
  bool linesHidden = Trailing(int32_t(std::min<int64_t>(firstNumber, std::numeric_limits<int32_t>::max())),
                              PieceKeepsTrailingLines(System.Piece) || Score->Drawing.KeepTrailingMeasures);

  int32_t previousEndX = 0;
  for (size_t m = 0; m < measures; ++m) {
    TKVMeasureRecord* measure = System.Measures[m];
    if (!measure) continue;
    CurrentMeasure = measure;
    MeasureStartX = ScaleUnits(measure->LeftX, XScale);
    MeasureEndX = ScaleUnits(measure->RightX, XScale);
    LineY = 0;
    SystemTopY = 0;
    for (int32_t i = System.FirstStaffLine; i <= System.LastStaffLine; ++i) {
      TKVStaffLineRecord* line = PageRecord->GetStaffLine(i);
      if (!line || !(line->Flags & 1) || !line->Staff) continue;
      CurrentStaffLine = line;
      DrawStaff(*line);
    }
    bool openLine = measure->Flags & 4;
    if ((m == 0 || previousEndX != MeasureStartX) && openLine && !linesHidden) DrawMeasureLine();
    previousEndX = MeasureEndX;
  }

  for (size_t m = 0; m < measures; ++m) {
    TKVMeasureRecord* measure = System.Measures[m];
    if (!measure) continue;
    int64_t number = int64_t(measure->ColumnIndex) + FirstMeasureNumber(System.Piece);
    if (Trailing(int32_t(std::min<int64_t>(number, std::numeric_limits<int32_t>::max())),
                 PageRecord->KeepTrailing || Score->Drawing.KeepTrailingMeasures))
      continue;
    CurrentMeasure = measure;
    MeasureSelection = selection && measure->ColumnIndex < selection->Measures.size()
                           ? &selection->Measures[measure->ColumnIndex]
                           : nullptr;
    DrawMeasureItems();
  }
}

canvas::TColor TKVPageDrawer::LineColor() const {
  if (View.Style() == wsPrint || View.Style() == wsExport) return canvas::clBlack;
  return CurrentMeasure && (CurrentMeasure->Flags & 1) ? 0x808080 : 0xD9D9D9;
}

void TKVPageDrawer::DrawStaff(TKVStaffLineRecord& Record) {
  const TKVStaff& staff = *Record.Staff;
  LineY = ScaleUnits(Record.Top, YScale);
  // 96 pixels per inch over 254 tenths of a millimetre per inch, at the
  // score's scale, the staff's size and the drawing scale.
  long double spacing = Score->Page().InternalValue(pvLineSpace) * 96.0L * ScoreScale * staff.SizePercent() * YScale;
  bool tablature = staff.Data().u8(StaffBlock::Tablature) > 0;
  spacing = tablature ? spacing * 13 / 2540000000.0L : spacing / 254000000.0L;
  if (!std::isfinite(double(spacing))) spacing = 0;
  LineSpacing = int32_t(std::clamp<long double>(std::nearbyint(spacing), 0, std::numeric_limits<uint16_t>::max()));
  Record.DrawnLineSpacing = uint16_t(LineSpacing);

  int lineCount = staff.LineCount();
  LineY = ClampCoordinate(int64_t(LineY) + CentringShift(lineCount, LineSpacing));
  if (SystemTopY == 0 || (CurrentSystem && Record.Index == CurrentSystem->FirstStaffLine)) SystemTopY = LineY;

  int64_t width;
  if (Score->Drawing.StaffLineWidth != 0)
    width = RoundDiv(int64_t(Score->Drawing.StaffLineWidth) * XScale * ScoreScale * staff.SizePercent(), 8000000);
  else if (staff.SizePercent() != 100)
    width = RoundDiv(ScaleProduct * staff.SizePercent(), 1000000);
  else
    width = UnitWidth(1);
  canvas::TSmoothPen pen{canvas::ArgbOf(LineColor()), double(std::clamp<int64_t>(width, 1, kCoordinateLimit))};
  for (int i = 1; i <= lineCount; ++i) {
    Canvas.SmoothLine({double(MeasureStartX), double(LineY)}, {double(MeasureEndX), double(LineY)}, pen);
    if (i < lineCount) LineY = ClampCoordinate(int64_t(LineY) + LineSpacing);
  }
  int32_t reference = lineCount < 5 ? Record.InnerBottom : Record.Bottom;
  Record.StaffHeight = ClampCoordinate(int64_t(LineY) - ScaleUnits(reference, XScale));
}

void TKVPageDrawer::DrawMeasureLine() {
  Canvas.Pen.Width = std::max(UnitWidth(1), 1);
  Canvas.Pen.Color = LineColor();
  Canvas.MoveTo(MeasureStartX, SystemTopY);
  Canvas.LineTo(MeasureStartX, LineY);
}

}  // namespace render
