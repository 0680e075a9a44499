#pragma once
// One painted page: the values worked out once per page (scales, unit
// widths, ready-made music-font sizes) and the records being drawn, shared
// by every routine that draws a part of the page. Each drawer of the page is
// a member, so that they all read and write the one page state; drawers of
// later kinds join this class rather than copy its state.
//
// Drawers never raise on record contents: missing records, indices past
// their tables and absurd sizes are passed over or clamped.

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "platform/canvas/Canvas.h"
#include "score/model/TextAlignment.h"

class TKVChord;
class TKVFrame;
class TKVImage;
class TKVItem;
class TKVLiga;
class TKVLyric;
class TKVMark;
class TKVNote;
class TKVPageMark;
class TKVPause;
class TKVScore;
class TKVStaff;
class TKVText;
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

  // ---- what sounds while the view plays ----
  // Items (notes, lyric syllables) whose sounding bit was set when the page
  // began: read once under the play lock, so that no drawing holds it.
  bool IsSounding(const TKVItem& Item) const { return Sounding.count(&Item) != 0; }
  std::unordered_set<const TKVItem*> Sounding;
  void TakeSoundingSnapshot();

  // ---- notation: the item drawing state of the record being drawn ----
  // CurrentRecord (above) is the record; ItemRect its rectangle in page
  // pixels; ItemColor the colour the colour rule chose.
  canvas::TRect ItemRect;
  canvas::TColor ItemColor = canvas::clBlack;
  // k units at the current record's size (the page's UnitWidth at 100 %).
  int32_t ItemUnit(double k) const;
  int32_t ThinWidth() const { return ItemUnit(1); }
  // The stem width of a note record, or of a beam group (Group).
  int32_t StemWidth(bool Group) const;
  // Moves a note at staff position LinePos (half spaces, 0 the top line)
  // from where the layout put it onto the lines of its staff line as drawn.
  int32_t VerticalSnap(int32_t LinePos, const TKVStaffLineRecord& Line) const;
  // ItemRect := the current record's Bounds in pixels, moved by Shift for
  // offset mode 1 and Bottom by Shift.Y for mode 3.
  void ScaleCurrentRect();
  // ItemRect := Scaled (or Bounds in pixels), moved by the current record's
  // Shift for offset mode 1 (horizontally only unless Vertically).
  void PlaceItemRect(const canvas::TRect& Scaled, bool Vertically = true);
  void PlaceItemRect(const TKVLayoutRect& Bounds, bool Vertically = true);

  // The colour rule: under dsActiveVoice an item outside the edit position
  // is grey. Each drawer combines the tests its kinds need. A record
  // without a staff line counts as at the edit position for the tests that
  // read it.
  bool ActiveVoiceOnly() const;
  bool VoiceItemAtCursor(const TKVItem& Item, const TKVDisplayItem& Record) const;
  bool OnCursorStaff(const TKVDisplayItem& Record) const;
  bool OnCursorVoice(uint8_t StaffVoice) const;  // the low four bits
  bool OnCursorPart(const TKVDisplayItem& Record) const;
  bool OnCursorPiece(const TKVDisplayItem& Record) const;
  bool MarkAtCursor(const TKVMark& Mark, const TKVDisplayItem& Record) const;  // all four
  // The voice (low four bits of StaffVoice), part and piece tests, the staff
  // left out; a record without a staff line counts as at the position.
  bool InEditVoice(uint8_t StaffVoice, const TKVDisplayItem& Record) const;
  canvas::TColor RuleColor(bool AtCursor, canvas::TColor Own) const;
  // The colour of what sounds while the view plays: the view's highlight,
  // maroon where the item is in that colour itself.
  canvas::TColor SoundingColor(canvas::TColor Own) const;
  static constexpr canvas::TColor kDimmed = 0x808080;

  // ---- notation: the two passes over a measure record ----
  void DrawFirstPass(TKVDisplayItem& Record);
  void DrawStem(TKVDisplayItem& Record);
  void DrawBeamGroup(TKVDisplayItem& Record);
  void DrawGroupMeasureLine(TKVDisplayItem& Record);
  void DrawSelectionFrame(TKVDisplayItem& Record);
  void DrawLedgerLines(TKVDisplayItem& Record);
  // Pass 2: the drawer of the record's item kind; kinds without one are not
  // drawn.
  void DrawItem(TKVDisplayItem& Record);

  // ---- notation: the drawers of pass 2, by item kind ----
  void DrawNote(TKVNote& Note);          // 20
  void DrawSecondNote(TKVNote& Note);    // 43
  void DrawRest(TKVPause& Rest);         // 21
  void DrawChordSymbol(TKVChord& Chord); // 31
  void DrawStaffBracket(TKVMark& Mark);  // 1
  void DrawClef(TKVMark& Mark);          // 2
  void DrawAttachedObject(TKVItem& Item);  // 161, 200-207
  void DrawKeySignature(TKVMark& Mark);      // 3
  void DrawTimeSignature(TKVMark& Mark);     // 4
  void DrawTempoMark(TKVMark& Mark);         // 6
  void DrawRhythmEquation(TKVMark& Mark);    // 8
  void DrawSlur(TKVLiga& Slur);              // 30
  void DrawLyric(TKVLyric& Lyric);           // 33, 34, 35
  void DrawChordFrame(TKVFrame& Frame);      // 36
  void DrawDotRow(TKVMark& Mark);            // 45
  void DrawAccidental(TKVMark& Mark);        // 50
  void DrawTuplet(TKVMark& Mark);            // 85
  void DrawBarLineMark(TKVMark& Mark);       // 7
  void DrawMeasureNumber(TKVMark& Mark);     // 27, 28
  void DrawRepeatStrokes(TKVMark& Mark);     // 37, 40, 41, 42
  void DrawDynamic(TKVMark& Mark);           // 110
  void DrawBend(TKVItem& Bend);              // 119
  void DrawGlyphMark(TKVMark& Mark);         // 70-72, 114-117, 121, 125
  void DrawLineMark(TKVMark& Mark);          // 111, 112, 113, 118, 120, 123, 173
  void DrawSpanLine(TKVMark& Mark);          // 169-172
  void DrawFingering(TKVMark& Mark);         // 122, 124
  void DrawNavigationMark(TKVMark& Mark);    // 150, 151, 153-160
  void DrawStrokeMark(TKVMark& Mark);        // 130-133, 141, 142, 143, 149

  // ---- notation: what the mark drawers share ----
  // k units at the current record's size, never below one pixel.
  int32_t VisibleUnit(double k) const { return std::max(ItemUnit(k), 1); }
  // A mark's colour by the edit position's voice, part and piece (and
  // staff when StaffTest); a record without a staff line keeps the mark's
  // own colour, as nothing tells where it stands.
  canvas::TColor MarkColor(const TKVMark& Mark, bool StaffTest = false) const;
  // The canvas font for a mark's text: its own font name or the score's
  // text font of Role, in the mark's style.
  void SetMarkTextFont(const TKVMark& Mark, int32_t Role);
  // The brackets that Flags bits 2-3 ask for around ItemRect, Lift pixels
  // above its top, in the score's bracket font unless the mark names one.
  void DrawMarkBrackets(const TKVMark& Mark, int32_t Lift);
  // A smooth pen of the mark's line style in Color, Width pixels wide;
  // false for the clear style, which draws no line.
  bool MarkPen(const TKVMark& Mark, canvas::TColor Color, int32_t Width, canvas::TSmoothPen& Pen) const;
  // The line of a mark that runs along a staff: ItemRect from Bounds, the
  // line's y from Bounds2.Top and the far end's slant from the mark's
  // extent (both scaled by Percent), with the pending adjustment: 1 moves
  // everything, 2 stretches the right end, 3 tilts the far end.
  struct TKVLineSetup {
    int32_t Y = 0, Slant = 0;
  };
  TKVLineSetup SetUpLineMark(const TKVMark& Mark, int32_t Percent);
  // A bar line at X from Top to Bottom in the tone of the measure's lines,
  // Width pixels times the width factor of the measure's column, in the
  // column's dash style (solid and Width without a column).
  void DrawColumnLine(int64_t X, int32_t Top, int64_t Bottom, int32_t Width);

  // ---- lines of text in a box: staff texts, lyrics and page texts ----
  // Points of such a text (and of a page mark): as stored when printing,
  // else at the page's vertical scale.
  int32_t TextFontSize(int32_t Points) const;
  // Lines in the canvas font from the box's top-left, one line height
  // ("A") apart, aligned in its width (0 left, 1 centred, 2 right) by their
  // own widths and turned by Angle degrees; the text being edited (Edited)
  // upright, its selection white on the highlight and the rest in
  // EditedColor.
  void DrawTextLines(const std::vector<std::u16string>& Lines, const canvas::TRect& Box, TKVTextAlign Alignment,
                     uint16_t Angle, bool Edited, canvas::TColor EditedColor);
  // Characters From up to To (none when equal) of an edited text's piece.
  struct TSelectedRange {
    size_t From = 0, To = 0;
  };
  // The view's text selection on line Line, for a piece of Length
  // characters starting at character Offset of the line.
  TSelectedRange SelectionOn(int64_t Line, int64_t Offset, size_t Length) const;
  // Text at (X, Y) in the canvas font and Color, its Selected characters
  // white on the highlight: up to three pieces, each after the one before.
  void WriteSelected(int64_t X, int64_t Y, std::u16string_view Text, TSelectedRange Selected, canvas::TColor Color);

  // ---- geometry shared by the notation branches and the page objects ----
  // Applies the current record's pending adjustment (offset mode 1-9 with
  // Shift) to ItemRect: 1 moves it, 2-9 move a corner or an edge.
  void GetAnchorOffset();
  // A filled triangle in the canvas pen and brush, its tip at (X2, Y2),
  // pointing along (X2 - X1 + Extra, Y2 - Y1), five units long and two wide.
  void DrawArrowHead(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t Extra);
  // A one-half sign around (X, Y) in the canvas font.
  void DrawHalfFraction(int32_t X, int32_t Y);
  // A record rectangle in pixels; y relative to the staff line's own
  // spacing when the current record asks for it.
  canvas::TRect ScaleStaffItemRect(const TKVLayoutRect& Rect) const;
  // A pixel offset turned by the angle of cosine Cos and sine Sin:
  // counter-clockwise or clockwise on the page (y grows downwards).
  static canvas::TPoint RotatePointCounterClockwise(canvas::TPoint Point, double Cos, double Sin);
  static canvas::TPoint RotatePointClockwise(canvas::TPoint Point, double Cos, double Sin);

  // ---- free page objects ----
  // Draws a page object (kinds 161, 200-207, 215) offset by (X, Y) pixels:
  // in the pass its layer bit names (Before: behind the notation), or
  // always when Force. Record is its display record, nil for the objects
  // of a user symbol.
  void DrawObject(TKVItem& Item, TKVDisplayItem* Record, int32_t X, int32_t Y, bool Before, bool Force);
  // Where an object is drawn, in page pixels: its box (rectangles,
  // ellipses, pictures, embedded objects, arcs, texts, page marks), the two
  // ends of a line, the start and end points of an arc.
  struct TKVObjectPlacement {
    canvas::TRect Box;
    canvas::TPoint Start, End;
  };
  // The drawing of one object kind at its placement.
  void DrawObjectShape(TKVItem& Item, TKVDisplayItem* Record, const TKVObjectPlacement& Placement);
  void DrawLineObject(const TKVItem& Line, canvas::TPoint A, canvas::TPoint B);           // 202
  void DrawBoxObject(const TKVItem& Box, const canvas::TRect& R);                          // 203, 204
  void DrawArcObject(const TKVItem& Arc, const TKVObjectPlacement& Placement);             // 205-207
  void DrawTextObject(TKVText& Text, const TKVDisplayItem* Record, const canvas::TRect& R);  // 200
  void DrawPictureObject(TKVImage& Image, const canvas::TRect& R);                         // 201
  void DrawPageMarkObject(const TKVPageMark& Mark, const TKVDisplayItem& Record, const canvas::TRect& R);  // 215
  // An object's point (score units) in pixels at the object scale.
  canvas::TPoint ScaleObjectPoint(int32_t X, int32_t Y) const;
  // A box offset by (X, Y) and adjusted by the record's pending adjustment
  // (a whole move joins the offset); without the offset, for selection
  // marks.
  void PlaceObjectRect(canvas::TRect& Rect, const TKVDisplayItem* Record, int32_t X, int32_t Y) const;
  void AdjustObjectRect(canvas::TRect& Rect, const TKVDisplayItem* Record) const;
  // A pixel offset turned counter-clockwise by an object's angle.
  static canvas::TPoint RotateObjectPoint(canvas::TPoint Point, int32_t AngleDegrees);

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
  // The glyph GlyphChar with its baseline at (X, Y), at the page's font
  // quality; nothing for a code the music font does not map.
  void TextOutGlyph(int32_t X, int32_t Y);
  // The width of GlyphChar in the canvas font (0 where it is not written).
  int32_t GlyphWidth();
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
