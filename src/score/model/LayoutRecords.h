#pragma once
// Layout records of a measure column: the measure record with its per-part
// and per-staff records, display items, position entries, dynamics records
// and tempo segments. The measure formatter fills them; the page composer,
// the play order, the player and the renderer read them instead of the
// score tree. A piece keeps its measure records across layouts and resets
// them rather than rebuilding them: lists of reusable records come with a
// used count, and entries past it keep old contents that every reader
// ignores. Records are held through unique_ptr so that their addresses stay
// put while the lists grow: display items and position entries point at
// them. The play order adds the piece's list of play records. Everything
// here is plain data; the score model owns it and the layout fills it.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TKVItem;
class TKVPart;
class TKVStaff;
struct TKVMeasureRecord;
struct TKVSystemRecord;     // the page composer's
struct TKVStaffLineRecord;  // the page composer's

// A rectangle of a display item in layout units (1/8 pixel at 100 %):
// left, top, width and bottom, as the layout writes it.
struct TKVLayoutRect {
  int32_t Left = 0, Top = 0, Width = 0, Bottom = 0;
  bool operator==(const TKVLayoutRect&) const = default;
};

// Values of TKVDisplayItem::RecordType.
namespace DisplayRecordType {
constexpr uint8_t Item = 0;         // the item's own record
constexpr uint8_t Connector = 7;    // bar-line connector of a staff group
constexpr uint8_t Stem = 25;        // stem and flags of one note
constexpr uint8_t BeamGroup = 26;   // beam group
constexpr uint8_t Background = 246; // staff background / selection frame
}  // namespace DisplayRecordType

// Bits of TKVDisplayItem::DrawFlags, read by the view and the renderer.
namespace DisplayDrawFlag {
constexpr uint8_t Suppressed = 0x01;       // not drawn
constexpr uint8_t RestLedger = 0x02;       // a rest that needs a ledger line
constexpr uint8_t StaffRelativeY = 0x10;   // y values relative to the staff line's own spacing
}  // namespace DisplayDrawFlag

// One drawable thing of a measure record (or a page).
struct TKVDisplayItem {
  TKVMeasureRecord* Owner = nullptr;
  TKVItem* Item = nullptr;
  TKVDisplayItem* Link = nullptr;  // record made just before for the same item (other staff, tie half)
  TKVStaffLineRecord* StaffLine = nullptr;  // set by the page composer
  uint32_t Value = 0;
  int32_t StaffIndex = 0;  // layout index of the (first) staff
  int32_t LastStaff = 0;   // last staff of a record spanning staves
  uint8_t RecordType = DisplayRecordType::Item;
  std::vector<TKVDisplayItem*> Links;  // notes of a beam group; a key's cancellation
  uint8_t Flags = 0;  // bit 0 collision, bit 4 accidental or hold, bit 5 cancellation at the previous end
  std::string Text;
  uint8_t Placement = 0;  // low nibble: offset mode of a pending drag
  uint8_t SizePercent = 100;
  uint16_t Param = 0;  // tick position, end tick, span word, or a bar mark's group number
  uint16_t LeftSpace = 0, RightSpace = 0;  // room left and right of the position, pixels
  // A bar line's (kind 7) time position before it, which it stands midway
  // to; set by the system placement.
  uint16_t AnchorTick = 0;
  TKVLayoutRect Bounds;
  TKVLayoutRect Bounds2;
  int32_t StartX = 0, StartY = 0, EndX = 0, EndY = 0;  // anchors
  TKVStaff* Staff = nullptr;
  uint8_t LyricMarker = 0;  // 1 for a lyric syllable's record
  uint8_t Hidden = 0;       // the item is hidden: it reserves no room and is not drawn
  uint8_t DrawFlags = 0;    // DisplayDrawFlag bits
  // Set by the page composer. FontCode: the size code of the font a label
  // record is measured and drawn in (continuations, a system's bar-line
  // record). Cut: the record's x values are on the page already (the piece
  // of a span on one system, or its continuation), so positioning moves
  // only its y values. StaffTop, StaffBottom: the staff's top and bottom
  // line on the page (clefs). Continuation: the record that carries the
  // item on in the next system; nil at its last piece.
  uint8_t FontCode = 0;
  uint8_t Cut = 0;
  int32_t StaffTop = 0, StaffBottom = 0;
  TKVDisplayItem* Continuation = nullptr;
  // Written by painting and by drag feedback, never by the layout: the room
  // a stem leaves beside its head, and the pending move (pixels) that the
  // offset mode in Placement applies.
  uint16_t StemPadLeft = 0, StemPadRight = 0;
  struct {
    int32_t X = 0, Y = 0;
  } Shift;
};

// One item occurrence in a measure record's time-ordered position list.
struct TKVPositionEntry {
  TKVItem* Item = nullptr;
  uint16_t Position = 0;  // ticks from the measure start
  uint16_t Word = 0;      // filled by the caller: sounding length, hold ticks, tempo + 100 ...
  uint8_t Action = 0;     // PositionAction
  uint8_t Param = 0;
  // Column whose formatting made the entry: differs from the record's own
  // column for an entry reaching back into an earlier measure, so that a
  // second formatting of that column can take its old entries out first.
  int32_t OriginColumn = 0;
};

namespace PositionAction {
constexpr uint8_t None = 0;
constexpr uint8_t TempoChange = 2;  // Word = tempo + 100; Param: 0 relative
constexpr uint8_t MidiMessage = 3;  // the item's prepared MIDI bytes
}  // namespace PositionAction

// One dynamic of a measure record (its dynamics array). The layout makes it
// with both velocities 64; the piece's velocity pass fills the velocities.
struct TKVDynamicRecord {
  TKVItem* Item = nullptr;  // the dynamic mark or other item
  uint16_t PartIndex = 0;   // Index of the part laid out
  uint16_t Position = 0;    // ticks from the measure start
  uint16_t Length = 0;      // ticks; 0 for a point dynamic
  uint8_t StartVelocity = 64;
  uint8_t EndVelocity = 64;
  uint8_t Local = 0;     // acts only at its own position in its own measure
  uint8_t Disabled = 0;  // not a dynamic: every velocity query passes it over
};

// One tempo change or hold inside a measure. Segments are kept in tick
// order; the rate in force after the last one is the record's MsPerTick.
struct TKVTempoSegment {
  uint16_t Position = 0;    // tick where the new tempo begins (or the hold stands)
  uint16_t ExtraTicks = 0;  // ticks added before Position when a time is mapped (holds)
  double MsPerTick = 0;     // rate in force before Position
  bool operator==(const TKVTempoSegment&) const = default;
};

// One staff of one part of a measure column.
struct TKVStaffLayoutRecord {
  uint32_t Value = 0;                         // the per-staff layout's own
  TKVDisplayItem* CarriedClef = nullptr;      // clef in force at the end of the previous measure
  std::vector<TKVDisplayItem*> ClefList;      // clefs acting here, in position order, carried clef first
  uint8_t FirstFlag = 0;                      // a measure-start clef was laid out
  uint8_t SecondFlag = 0;                     // bit 0: the staff has several voices
  uint8_t LyricFlag = 0;                      // bit 0: the staff carries lyric syllables
  uint16_t StaffLineIndex = 0;                // page composer's
};

struct TKVVoiceLayoutSlot {
  uint32_t First = 0;  // the per-staff layout's own
  uint32_t Value = 0;  // cleared per measure
};

// One part of one measure column.
struct TKVPartLayoutRecord {
  TKVMeasureRecord* Owner = nullptr;
  // The part the record was last set up for: a record made for another part
  // (parts added or removed since) is never carried into the next measure.
  TKVPart* Part = nullptr;
  std::vector<TKVItem*> CarriedItems;  // the part's bracket marks carried on
  uint8_t FirstFlag = 0;               // carried items renewed for this column
  TKVDisplayItem* CarriedItem = nullptr;      // last key-signature display item
  std::vector<TKVDisplayItem*> CurrentItems;  // key-signature display items, oldest first
  uint8_t SecondFlag = 0;                     // a key is in force
  std::vector<std::unique_ptr<TKVStaffLayoutRecord>> StaffRecords;
  std::vector<std::unique_ptr<TKVVoiceLayoutSlot>> VoiceSlots;
};

// Indices of TKVMeasureRecord::Extents.
namespace ExtentWord {
constexpr int ExtraLeft = 0;    // room of a volta bar at the start
constexpr int ClefWidth = 1;
constexpr int KeyWidth = 2;
constexpr int StartSpace = 4;   // the score's measure-start space
constexpr int ExtraStart = 5;   // room of a repeat-start bar
constexpr int ExtraEnd = 6;     // room of a repeat-end bar or the column's own end room
constexpr int EndKeyWidth = 8;
constexpr int GridRoom = 9;
constexpr int Count = 10;
}  // namespace ExtentWord

// The layout record of one measure column of a piece.
struct TKVMeasureRecord {
  TKVSystemRecord* System = nullptr;  // page composer's
  uint16_t ColumnIndex = 0;
  uint16_t PlayIndex = 0;  // the play made for the measure by the play order's forward walk
  int32_t LeftX = 0, TopY = 0, RightX = 0, BottomY = 0;  // on its page (page composer's)
  uint32_t StartTick = 0;    // from the start of the piece
  uint16_t Meter = 0;        // numerator shl 8 or denominator; 0 = none
  uint16_t Length = 0;       // ticks
  uint16_t MarkMeter = 0;    // meter in force for the next measure
  uint16_t MarkLength = 0;
  uint16_t TickCapacity = 0;         // TickTable holds TickCapacity + 1 entries
  std::vector<uint32_t> TickTable;   // per tick: room before (low half) and after (high half)
  uint8_t Spaced = 0;                // set by the per-staff layout and the page composer
  uint8_t NumberShown = 0;           // a measure-number mark stands here
  TKVDisplayItem* NumberDisplay = nullptr;
  uint16_t MeasureNumber = 0;
  uint16_t ExtraMeasures = 0;        // added to the next measure's number
  uint16_t CoveredMeasures = 0;      // following measures a multi-measure rest still covers
  uint8_t Covered = 0;
  TKVItem* RehearsalMark = nullptr;
  uint16_t RehearsalNumber = 0;
  std::vector<TKVItem*> EquationMarks;
  TKVItem* CarriedMark = nullptr;
  std::vector<std::unique_ptr<TKVPartLayoutRecord>> PartRecords;
  std::vector<TKVDisplayItem*> ContinuingDisplays;  // items of earlier measures reaching into this one
  std::array<uint16_t, ExtentWord::Count> Extents{};
  // 1/8 px, set by the page composer: the measure's whole width and the
  // width of its time positions.
  int32_t TotalWidth = 0;
  int32_t MusicWidth = 0;
  // Bit 0 spaced by the page composer; bit 2 several staves shown; bits
  // 4-5, 7 by the per-staff layout.
  uint8_t Flags = 0;
  uint16_t DisplayCount = 0;
  std::vector<std::unique_ptr<TKVDisplayItem>> Displays;
  double Duration = 0;   // milliseconds at tempo scale 100 %
  double MsPerTick = 0;  // in force at the measure's end
  int16_t Tempo = 0;     // quarter notes per minute
  std::vector<TKVTempoSegment> TempoSegments;
  std::vector<std::unique_ptr<TKVPositionEntry>> Positions;  // in tick order; owned
  std::vector<TKVDisplayItem*> SoundingNotes;
  // Entries 0 .. DynamicCount - 1 are valid; the array keeps its length
  // across layouts.
  uint16_t DynamicCount = 0;
  std::vector<std::unique_ptr<TKVDynamicRecord>> Dynamics;
  std::vector<TKVItem*> PlayMarks;  // marks that steer the play order, in the order met
  std::vector<TKVDisplayItem*> ExtendingItems;
  std::vector<TKVDisplayItem*> LyricDisplays;
  std::vector<TKVDisplayItem*> TextDisplays;
  std::vector<std::unique_ptr<TKVDisplayItem>> OwnTextDisplays;  // records only TextDisplays lists
  TKVItem* MeterMark = nullptr;
  TKVItem* Volta = nullptr;
  TKVItem* Coda = nullptr;
  double StartTime = 0;  // ms at which the play order's forward walk reaches the measure
  // Set once the page composer has moved the display records to the page
  // (a measure met again in the same run is not moved twice); cleared when
  // the column is formatted.
  uint8_t Positioned = 0;
  // Earlier records into which this column's formatting put position entries.
  std::vector<TKVMeasureRecord*> EarlierEntryTargets;

  // Valid display item I, or nil.
  TKVDisplayItem* GetDisplay(int32_t I) const {
    return I >= 0 && I < DisplayCount && size_t(I) < Displays.size() ? Displays[size_t(I)].get() : nullptr;
  }
  // Valid dynamic I, or nil.
  TKVDynamicRecord* GetDynamic(int32_t I) const {
    return I >= 0 && I < DynamicCount && size_t(I) < Dynamics.size() ? Dynamics[size_t(I)].get() : nullptr;
  }
  // Appends a valid dynamic with the layout's defaults (used by the layout
  // and by tests that fill records by hand).
  TKVDynamicRecord& AddDynamic() {
    if (DynamicCount >= Dynamics.size()) Dynamics.push_back(std::make_unique<TKVDynamicRecord>());
    TKVDynamicRecord& record = *Dynamics[DynamicCount++];
    record = TKVDynamicRecord{};
    return record;
  }
};

// One play of one measure in performance order.
struct TKVPlayRecord {
  uint32_t Measure = 0;    // index of the measure record
  uint16_t StartTick = 0;  // where the play begins in the measure
  uint16_t EndTick = 0;    // where it ends; 0 = the measure's length
  uint8_t VoltaPass = 0;   // low byte of the repeat pass the play belongs to
  double StartTime = 0;    // ms from the start of the score (of the piece for a separate piece)
};

// The measure records of one piece: one per measure column, the first
// MeasureRecordCount of them laid out. The list's size is the record
// capacity. The play order walks the first MeasuresToPlay records and
// writes the first PlayCount play records.
struct TKVPieceLayoutRecords {
  std::vector<std::unique_ptr<TKVMeasureRecord>> MeasureRecords;
  int32_t MeasureRecordCount = 0;
  int32_t MeasuresToPlay = 0;
  std::vector<std::unique_ptr<TKVPlayRecord>> PlayRecords;
  int32_t PlayCount = 0;
  double RunningTime = 0;  // ms: the end of the piece's last play
  // The page composer's: measures placed, and the number the piece's first
  // measure shows after the pieces before it.
  int32_t PlacedMeasures = 0;
  int32_t FirstMeasureNumber = 0;
  // Run-time tables of the page composer (empty: no gap, every staff
  // shown): 1/8 px of room after measure n, and per staff line number a
  // byte whose bit 0 hides that staff.
  std::vector<int16_t> MeasureGaps;
  std::vector<uint8_t> StaffVisibility;

  // Valid play I, or nil.
  TKVPlayRecord* GetPlay(int32_t I) const {
    return I >= 0 && I < PlayCount && size_t(I) < PlayRecords.size() ? PlayRecords[size_t(I)].get() : nullptr;
  }
};
