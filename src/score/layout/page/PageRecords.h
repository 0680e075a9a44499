#pragma once
// The records of the page composer: a page with its systems and staff lines,
// a system with its measures and per-part records. They follow the reuse
// rule of every layout list (a used count; entries past it are stale and
// ignored; records are freed only with their owner). Positions are in 1/8
// pixel on the page. The measure formatter reads only a page's start piece
// and first measure; the play order reads a measure's system, its page and
// the system's first staff line.

#include <cstdint>
#include <memory>
#include <vector>

#include "score/model/LayoutRecords.h"

class TKVPiece;
class TKVPart;
class TKVStaff;
struct TKVPageRecord;
struct TKVSystemPartRecord;

// One staff of one system.
struct TKVStaffLineRecord {
  uint16_t Number = 0;  // from the page's staff-line counter; not counted for separate pieces
  uint16_t Index = 0;   // position in the page's staff-line list
  TKVPageRecord* Page = nullptr;
  TKVSystemRecord* System = nullptr;
  TKVStaff* Staff = nullptr;
  TKVSystemPartRecord* PartRecord = nullptr;
  TKVStaffLineRecord* AttachedLine = nullptr;  // for a hidden staff: the shown line it is attached to
  int32_t LeftX = 0, Top = 0, RightX = 0, Bottom = 0;
  int32_t TopJoin = 0, BottomJoin = 0;     // where bar lines meet the neighbouring staves
  int32_t InnerTop = 0, InnerBottom = 0;   // the lines drawn, for staves of fewer than five lines
  long double Height = 0;                  // 0.1 mm: room of the line including its gap
  uint16_t DrawnLineSpacing = 0;           // pixels, as last painted (the renderer's)
  // Pixels, as last painted (the renderer's): the bottom line as drawn below
  // the laid-out bottom line, so that lines ending on the staff can follow it.
  int32_t StaffHeight = 0;
  uint16_t LineSpacing = 0;
  uint8_t Flags = 0;  // bit 0: the staff is shown
};

// One part of one system.
struct TKVSystemPartRecord {
  TKVSystemRecord* System = nullptr;
  TKVPart* Part = nullptr;
  uint16_t FirstStaffLine = 0, LastStaffLine = 0;
  int32_t Top = 0, Bottom = 0;  // of its first and last staff line, once the page is complete
  uint8_t Flags = 0;  // bit 0: none of the part's staves is shown
};

// One system (line of music) of a page.
struct TKVSystemRecord {
  uint16_t Number = 0;  // within the piece (not counted for separate pieces)
  TKVPageRecord* Page = nullptr;
  TKVPiece* Piece = nullptr;
  int32_t LeftX = 0, Top = 0, RightX = 0, Bottom = 0;
  int32_t TopExtent = 0, BottomExtent = 0;  // what the system's contents reach above and below
  uint16_t FirstStaffLine = 0, LastStaffLine = 0;  // indices into the page's staff lines
  uint16_t FirstMeasure = 0;
  uint16_t MeasureCount = 0;  // used count of Measures
  std::vector<TKVMeasureRecord*> Measures;
  std::vector<std::unique_ptr<TKVSystemPartRecord>> Parts;  // one per part of the piece
  uint8_t Flags = 0;  // bit 0: the system holds a shown staff
};

// A page of the score.
struct TKVPageRecord {
  uint16_t PageIndex = 0;
  uint16_t StartPiece = 0;    // piece whose measures the page continues
  uint16_t FirstMeasure = 0;  // first measure record placed on the page
  uint16_t Piece = 0;         // current piece when the page was started
  int32_t LastMeasure = 0;    // -1 after a change of piece
  // Run-time, 0 for every composed page: the page's trailing systems stay
  // visible in the output styles; a y offset of its repeat dots.
  uint8_t KeepTrailing = 0;
  int32_t OffsetY = 0;
  uint16_t StaffLineCount = 0;
  std::vector<std::unique_ptr<TKVStaffLineRecord>> StaffLines;
  uint16_t FirstStaffLineNumber = 0, StaffLineCounter = 0;
  uint16_t SystemCount = 0;
  std::vector<std::unique_ptr<TKVSystemRecord>> Systems;
  uint16_t FirstSystemNumber = 0, SystemCounter = 0;
  uint16_t PageObjectCount = 0;
  std::vector<std::unique_ptr<TKVDisplayItem>> PageObjects;
  uint8_t Continuation = 0;  // the next page continues this page's last measure and numbers
  uint16_t PendingPageBreaks = 0;
  uint16_t ItemCursor = 0;
  std::vector<TKVDisplayItem*> RepeatedObjects;  // objects shown on every page
  uint16_t MeasureCount = 0;         // measures placed on the page
  uint16_t RunningMeasureCount = 0;  // measures placed up to the page's end, carried on
  uint16_t RealMeasureCount = 0;     // the same without the fill measures past the music

  // Valid staff line I, or nil.
  TKVStaffLineRecord* GetStaffLine(int32_t I) const {
    return I >= 0 && I < StaffLineCount && size_t(I) < StaffLines.size() ? StaffLines[size_t(I)].get() : nullptr;
  }
};
