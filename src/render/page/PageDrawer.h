#pragma once
// One painted page: the values worked out once per page (scales, unit
// widths, ready-made music-font sizes) and the records being drawn, shared
// by every routine that draws a part of the page. Each drawer of the page is
// a member, so that they all read and write the one page state; drawers of
// later kinds join this class rather than copy its state.
//
// Drawers never raise on record contents: missing records, indices past
// their tables and absurd sizes are passed over or clamped.

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/canvas/Canvas.h"

class TKVItem;
class TKVScore;
class TKVWindow;
struct TKVDisplayItem;
struct TKVLayoutRect;
struct TKVMeasureRecord;
struct TKVPageRecord;
struct TKVStaffLineRecord;
struct TKVSymbolFontEntry;
struct TKVSystemRecord;

namespace render {

class TKVPageDrawer {
public:
  TKVPageDrawer(TKVWindow& View, canvas::TCanvas& Canvas);

  // Draws page PageIndex of the view's score onto the canvas, whose origin
  // is the page's top-left corner (PageOriginX, PageOriginY in device
  // pixels). Nothing without a score or past its pages.
  void DrawPageContent(int32_t PageIndex, int32_t XScale, int32_t YScale, int32_t PageOriginX, int32_t PageOriginY);

  // ---- page drawing state ----
  TKVWindow& View;
  TKVScore* Score = nullptr;
  canvas::TCanvas& Canvas;
  TKVPageRecord* PageRecord = nullptr;
  int32_t XScale = 100, YScale = 100;
  int32_t PageOriginX = 0, PageOriginY = 0;
  int32_t ScoreScale = 100;     // the score's Scale
  int64_t ScaleProduct = 10000; // ScoreScale x XScale
  int32_t DampedScale = 100;
  uint8_t FontQuality = canvas::fqAntialiased;
  int32_t ObjectScale = 100;    // percent of free page objects
  uint32_t ActiveVoiceId = 0;
  int32_t RealMeasureCount = 0;  // measures numbered from here on trail the music

  TKVSystemRecord* CurrentSystem = nullptr;
  TKVMeasureRecord* CurrentMeasure = nullptr;
  TKVStaffLineRecord* CurrentStaffLine = nullptr;
  TKVDisplayItem* CurrentRecord = nullptr;
  int32_t LineSpacing = 0;
  const std::vector<TKVDisplayItem*>* MeasureSelection = nullptr;
  int32_t MeasureStartX = 0, MeasureEndX = 0;
  int32_t SystemTopY = 0, LineY = 0;
  uint8_t GlyphChar = 0;
  int32_t GlyphDX = 0, GlyphDY = 0, GlyphStep = 0;
  const TKVSymbolFontEntry* SymbolFontRecord = nullptr;

  // k = 0.5, 1, 1.5, 2 .. 10 units of the base line width; any other k
  // (halves only) the same formula.
  int32_t UnitWidth(double k) const;
  // n = 0.5, 1, 2, 3, 4, 5, 6, 8, 10: sizes that grow slower than the zoom.
  int32_t DampedUnit(double n) const;
  // Ready-made point size of nominal size N (4 to 11, 14, 18) at 100 %.
  int32_t SymbolFontSize(int N) const;

  // ---- page content ----
  void DrawStaff(TKVStaffLineRecord& Record);
  void DrawMeasureLine();
  void DrawObjectList(bool Before);  // the free page objects' drawer
  void DrawMeasureItems();           // the notation renderer

  // ---- drawing primitives ----
  void ScaleItemRect(const TKVLayoutRect& Source, canvas::TRect& Dest) const;
  void ScaleObjectRect(const TKVLayoutRect& Source, canvas::TRect& Dest) const;
  void DrawSelectionCorners(const canvas::TRect& Rect);
  void DrawObjectHandles(const canvas::TRect& Rect);
  void DrawLineHandles(const canvas::TRect& Rect);
  void DrawRadiusHandle(const canvas::TRect& Rect);
  void DrawSelectionHandle(canvas::TPoint Point);
  bool IsItemSelected(const TKVDisplayItem& Record) const;
  bool IsInSelectedRecords(const TKVDisplayItem& Record) const;
  // Text with y on its baseline, in the canvas font made upright and plain
  // at Quality; the canvas font is left as it was.
  void TextOutFont(int32_t X, int32_t Y, std::string_view Text, uint8_t Quality);
  void TextOutFont(int32_t X, int32_t Y, std::u16string_view Text, uint8_t Quality);
  void SelectSymbolFont(uint8_t FontIndex);
  void DrawBracketShape(const TKVItem& Item, const canvas::TRect& Rect, int32_t StaffSize);
  void DrawBracketText(int32_t Style, int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t SizePercent);

  // ---- music-font sizes of the current display record ----
  void SetSymbolFontSize4();
  void SetSymbolFontSize5();
  void SetSymbolFontSize6();
  void SetSymbolFontSize7();
  void SetSymbolFontSize8();
  void SetSymbolFontSize9();
  void SetSymbolFontSize10();
  void SetSymbolFontSize11();
  void SetSymbolFontSize14();
  void SetSymbolFontSize18();

private:
  void SetUpPage();
  void DrawSystem(TKVSystemRecord& System);
  bool Trailing(int32_t MeasureNumber, bool KeepFlag) const;
  canvas::TColor LineColor() const;
  void SetSymbolFontSize(int N);
  bool RedMarks();
  void DrawSquare(int32_t X, int32_t Y, int32_t H);

  std::array<int32_t, 21> FUnitWidths{};     // by 2k
  std::array<int32_t, 19> FSymbolFontSizes{}; // by N
};

}  // namespace render
