#pragma once
// The page composer: the layout step after the measure columns. It keeps
// the page records before the first changed page, rebuilds every page from
// there to the end of the score, breaks the measure records into systems
// and pages, adds the staff lines and what stands at each system's start,
// spaces the measures and stretches the systems, then hands the new page
// table to every view. All working state of one run lives in one
// TKVComposerContext that every step reads and writes.
//
// Units: x and y on the page in 1/8 pixel at 96 dpi and 100 % (written
// "units"); the vertical cursor and heights in 0.1 mm, as the page settings.

#include <cstdint>
#include <memory>
#include <vector>

#include "score/layout/measure/FormatContext.h"
#include "score/layout/measure/MeasureFormatter.h"
#include "score/layout/ScoreLayoutRecords.h"

class TKVScore;
class TKVScoreView;
class TKVPiece;
class TKVPart;
class TKVStaff;

// One entry of the spacing buffer: a voice's item at Tick after its
// previous item at Previous, Distance units apart.
struct TKVSpacingEntry {
  uint16_t Tick = 0, Previous = 0;
  int32_t Distance = 0;
};

// Per voice of the piece while a measure is spaced voice-wise.
struct TKVVoiceSpacing {
  std::vector<uint32_t> Room;    // per tick: room before (low half) and after (high half), pixels
  std::vector<uint8_t> HasItem;  // per tick
  uint16_t LastTick = 0;         // tick of the voice's last item
};

struct TKVComposerContext {
  TKVComposerContext(TKVScore& Score, const TKVLayoutSteps& Steps);
  ~TKVComposerContext();

  TKVScore& Score;
  TKVScoreLayoutRecords& Store;
  const TKVComposerSettings& Settings;
  const TKVLayoutSteps& Steps;
  TKVScoreView* View = nullptr;  // the active view (its part in vsPart)

  TKVPageRecord* Page = nullptr;
  TKVPiece* Piece = nullptr;  // nil: no current piece
  int32_t PieceIndex = 0;
  TKVPart* Part = nullptr;    // the part a per-part step handles
  int32_t n = 0;              // next measure record of the piece to place
  int32_t SystemEnd = 0;
  TKVSystemRecord* System = nullptr;
  TKVMeasureRecord* Record = nullptr;
  TKVStaff* Staff = nullptr;
  bool NewPage = false;
  bool Finished = false;
  int32_t MinPages = 0;

  // Vertical state and the page frame, 0.1 mm.
  long double Y = 0, SystemHeight = 0;
  long double LeftEdge = 0, TopEdge = 0, RightEdge = 0, BottomEdge = 0;
  long double Interval = 0, LineSpaceMM = 0;
  // Units.
  int32_t PageWidth = 0, PageHeight = 0;
  int32_t LineSpace = 0, TabLineSpace = 0;  // a tablature staff's is 13/10 of the other
  int32_t SystemNumber = 0;
  int32_t X = 0, RightLimit = 0;
  int32_t SystemStartX = 0;  // x of the system's first measure, after the part names
  int32_t SystemStart = 0;   // the system's first measure
  // The system's spacing.
  uint8_t Alignment = 0;
  bool Stretch = false;
  int32_t NoteSpacing = 0, SpacingBase = 0;
  // Shown on this system, by the staves' layout index.
  std::vector<uint8_t> StaffShown;

  bool UseBuffer = false;  // voice-wise spacing (bit 0 of the score's flags)
  std::vector<TKVSpacingEntry> Buffer;
  std::vector<TKVVoiceSpacing> Voices;
  uint16_t UsedVoices = 0;  // bit per voice holding room in the measure spaced

  // The measuring canvas and the glyph services of the measure layout, on
  // the current piece.
  TKVFormatContext& Format();

  // ---- shared helpers ----
  int32_t Scale() const;
  bool PartView() const;
  // Fill measures go on past the music: until the fill stops, or the piece
  // reaches the most measures made on demand.
  bool FillOn() const { return Settings.Fill && !Settings.FillStop && !FillEnded; }
  bool FillEnded = false;
  // The parts the composer handles: every part of the piece, or the active
  // part in vsPart.
  std::vector<TKVPart*> Parts() const;
  // Staff distances (0), left (1) and right (2) indents: the piece's, or
  // the active part's in vsPart; nil without a piece.
  const std::vector<uint16_t>* SpacingTable(int Index) const;
  // Entry Index of SpacingTable(Table) as a signed value, 0 outside it.
  int32_t SpacingEntry(int Table, int64_t Index) const;
  // The gap after measure Measure (0 outside the table).
  int32_t MeasureGap(int64_t Measure) const;
  TKVMeasureRecord* MeasureRecord(int64_t Index) const;
  bool Shown(const TKVStaff* Staff) const;

private:
  std::unique_ptr<TKVFormatContext> FFormat;
};

// 0.1 mm to units, rounded half to even and kept within 32 bits.
int32_t TenthsToUnits(long double Value);
// Units to 0.1 mm.
long double UnitsToTenths(int64_t Value);
// Value within 32 bits.
int32_t Saturate32(int64_t Value);

// The composer installed as the PaginatePages step.
void PaginatePages(TKVScore& Score, int32_t FromPage, const TKVLayoutSteps& Steps);

// ---- records and cursors (ComposerRecords.cpp) ----
// Entry Index of a reusable record list, appended (zeroed) when missing.
template <class T>
T& TakeRecord(std::vector<std::unique_ptr<T>>& List, size_t Index) {
  while (List.size() <= Index) List.push_back(std::make_unique<T>());
  return *List[Index];
}
TKVPageRecord& GetPageRecord(TKVComposerContext& Ctx);
TKVSystemRecord& GetSystemRecord(TKVComposerContext& Ctx);
void InitSystemParts(TKVComposerContext& Ctx);
TKVStaffLineRecord& GetStaffLineRecord(TKVComposerContext& Ctx);
TKVDisplayItem& AddMeasureDisplay(TKVComposerContext& Ctx, TKVItem* Item);
void AttachMeasureToSystem(TKVComposerContext& Ctx);
int32_t NextPlainPiece(const TKVComposerContext& Ctx, int32_t From);
bool IsPieceFinished(const TKVComposerContext& Ctx);
void StartPage(TKVComposerContext& Ctx);
void SetPageArea(TKVComposerContext& Ctx);

// ---- vertical steps (StaffLines.cpp) ----
void SetSystemSpacing(TKVComposerContext& Ctx);
void CalcPartHeight(TKVComposerContext& Ctx);
void CreateStaffLines(TKVComposerContext& Ctx);
void CreateSeparateStaffLines(TKVComposerContext& Ctx);
void PlaceStaffLines(TKVComposerContext& Ctx);

// ---- the verses under a staff (VerseLines.cpp) ----
// Whether a syllable whose top stands Top below its staff's top line is
// under the staff (rather than above it), for a staff StaffHeight high.
bool SyllableUnderStaff(int64_t Top, int64_t StaffHeight);
// How far the syllables under a staff move down on a system (measure
// records Measures): their highest stands half a line space below the
// staff's lowest note head and its bottom line. Units; 0 when it does.
// Verses stood a fixed step below the staff, over its notes below it.
int64_t VerseDrop(const TKVStaff* Staff, const std::vector<TKVMeasureRecord*>& Measures, int64_t StaffHeight,
                  int32_t LineSpace);
// The room a staff needs below its gap for the verses under it: its lowest
// syllable (moved by VerseDrop) two line spaces clear of the highest mark
// of the next staff (Next, nil for none) in the measures, or its top line.
// Below: from the staff's top line to the next staff's, 0.1 mm. 0.1 mm; 0
// when they fit. Verses stand a fixed step apart below their staff, so
// that from the third or so they reached the next staff's lines, and the
// stems of its notes above it.
long double VerseRoom(const TKVComposerContext& Ctx, const TKVStaff* Staff, int64_t StaffHeight, const TKVStaff* Next,
                      long double Below, const std::vector<TKVMeasureRecord*>& Measures);

// ---- horizontal steps (SystemPlacement.cpp; the measure's own room in
// measure/MeasureSpacing.h) ----
void PlaceSystems(TKVComposerContext& Ctx);
void BreakSystem(TKVComposerContext& Ctx);
void JustifySystem(TKVComposerContext& Ctx);

// ---- the system's start (LineStart.cpp) ----
void PrepareLineStart(TKVComposerContext& Ctx);
void FinishLineStart(TKVComposerContext& Ctx);
void CarryStaffEntries(TKVComposerContext& Ctx);
void LayoutMeasureNumber(TKVComposerContext& Ctx);

// ---- page objects (PageObjects.cpp) ----
// The objects of every page and of this page, each with a display record
// in the page's object list.
void LayoutPageObjects(TKVComposerContext& Ctx);
// The next free record of the page's object list for Object (nil when the
// list is full), the object's chain of records cleared.
TKVDisplayItem* AddPageDisplay(TKVComposerContext& Ctx, TKVItem* Object);
// The record's text and its bounds (left, top, right, bottom) on the page.
void LayoutPageObject(TKVComposerContext& Ctx, TKVDisplayItem& Display);
// The page's first system, of the height the composer has just summed,
// starts below the texts in the upper half of the page (title, composer,
// lyricist, a running head) with the room it keeps above its first staff:
// they were placed from the top margin alone and could stand on its lines,
// the composer and lyricist 96 pixels down. It ends, with the room it
// keeps below its last staff, above the texts in the lower half (the
// rights at the foot) and the page frame's bottom, as later systems do:
// where the page has no room for both, it keeps less room above its first
// staff, but never starts above the texts over it. Moved down by the texts
// above alone, on a small page it stood on the rights.
void KeepFirstSystemBetweenPageTexts(TKVComposerContext& Ctx);

// ---- items across systems and page positions (SystemMarks.cpp,
// PagePositions.cpp) ----
// Cuts the items of the finished system that reach past a measure into one
// piece per system and gives every measure a volta covers that volta.
void LayoutSystemMarks(TKVComposerContext& Ctx);
// Moves the display records of the page's measures to the page (once per
// measure and run).
void PositionPageItems(TKVComposerContext& Ctx);
// The naturals that formatting a page's first column put at the end of the
// measure before it, on the kept page FromPage - 1, moved to that page.
void PositionKeptPageEnd(TKVComposerContext& Ctx, int32_t FromPage);

// ---- lyric room and the page's end (LyricRoom.cpp, PageEnd.cpp) ----
// Joins the syllables of the measure just placed to the next of their
// verse and widens its time positions where "- " or " " does not fit.
void LayoutLyricSyllables(TKVComposerContext& Ctx);
// Takes back the joins into the syllables of measure n, which does not stay
// on the system after all.
void UnlinkLyricSyllables(TKVComposerContext& Ctx);
// Sets each hyphen of the system's positioned syllables between its
// syllable and the one before.
void PlaceLyricHyphens(TKVComposerContext& Ctx, TKVSystemRecord& System);
// Spreads the page's staves over its free height, when asked for.
void JustifyPage(TKVComposerContext& Ctx);
// Hidden staff lines stand where the shown lines they belong to stand.
void AlignAttachedStaffLines(TKVComposerContext& Ctx);
// A record of the system separator under each system but the page's last.
void AddSystemBarItems(TKVComposerContext& Ctx);
