#pragma once
// Layout records of a measure column, as far as the score model reads them:
// the measure record with its length and its dynamics records, and the
// per-part record that hangs below it. The layout engine creates and fills
// them (and owns their further fields); a piece keeps its measure records
// across layouts and resets them rather than rebuilding them. Records are
// held through unique_ptr so that their addresses stay put while the lists
// grow: display items and position entries point at them.

#include <cstdint>
#include <memory>
#include <vector>

class TKVItem;
struct TKVDisplayItem;  // one drawable thing of a measure record (the layout's)
struct TKVMeasureRecord;

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

// One staff of one part of a measure column.
struct TKVStaffLayoutRecord {
  // The clef marks (kind 2) that act on this staff in this measure, in
  // position order, the clef carried in from an earlier measure first. The
  // stem and beam rules of the model look the clef in force up here.
  std::vector<TKVItem*> ClefList;
};

// One part of one measure column.
struct TKVPartLayoutRecord {
  TKVMeasureRecord* Owner = nullptr;
  std::vector<TKVItem*> CarriedItems;  // the part's bracket marks carried on
  uint8_t FirstFlag = 0;               // carried items renewed for this column
  TKVDisplayItem* CarriedItem = nullptr;  // last key-signature display item
  std::vector<TKVDisplayItem*> CurrentItems;  // key-signature display items, oldest first
  uint8_t SecondFlag = 0;                     // a key is in force
  std::vector<std::unique_ptr<TKVStaffLayoutRecord>> StaffRecords;  // by staff index
};

// The layout record of one measure column of a piece.
struct TKVMeasureRecord {
  uint16_t ColumnIndex = 0;
  uint32_t StartTick = 0;    // from the start of the piece
  uint16_t Meter = 0;        // numerator shl 8 or denominator
  uint16_t Length = 0;       // ticks
  uint16_t MarkMeter = 0;    // meter in force for the next measure
  uint16_t MarkLength = 0;
  uint16_t MeasureNumber = 0;
  uint16_t ExtraMeasures = 0;
  std::vector<std::unique_ptr<TKVPartLayoutRecord>> PartRecords;
  uint8_t Flags = 0;
  double Duration = 0;   // milliseconds
  double MsPerTick = 0;
  int16_t Tempo = 0;     // quarter notes per minute
  // Entries 0 .. DynamicCount - 1 are valid; the array keeps its length
  // across layouts.
  uint16_t DynamicCount = 0;
  std::vector<std::unique_ptr<TKVDynamicRecord>> Dynamics;
  TKVItem* MeterMark = nullptr;  // the column's meter mark (kind 4), recorded by the meter step

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

// The measure records of one piece: one per measure column, the first
// MeasureRecordCount of them laid out. The list's size is the record
// capacity.
struct TKVPieceLayoutRecords {
  std::vector<std::unique_ptr<TKVMeasureRecord>> MeasureRecords;
  int32_t MeasureRecordCount = 0;
};
