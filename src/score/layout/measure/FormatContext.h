#pragma once
// The state that the steps of one measure formatting share: which column of
// which piece is laid out into which record, the current part, measure and
// staff, the canvas, the glyph being measured, the running timing of the
// measure, and the working state of the per-staff layout.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "score/layout/LayoutCanvas.h"
#include "score/layout/measure/MeasureTiming.h"
#include "score/model/LayoutRecords.h"

class TKVScore;
class TKVPiece;
class TKVPart;
class TKVMeasure;
class TKVStaff;
class TKVItem;
struct TKVSymbolFontEntry;

struct TKVFormatContext {
  // The canvas starts with the score's music font at size 144 (eight times
  // the display size: widths measured on it are layout units).
  TKVFormatContext(TKVScore& Score, TKVPiece& Piece, int32_t ColumnIndex);

  TKVScore& Score;
  TKVPiece& Piece;
  int32_t ColumnIndex;
  TKVMeasureRecord* Record = nullptr;
  TKVPart* Part = nullptr;        // the part laid out
  TKVMeasure* Measure = nullptr;  // that part's measure of the column, or nil
  TKVStaff* Staff = nullptr;      // the staff laid out
  TKVLayoutCanvas Canvas;
  uint8_t Glyph = 0;  // the glyph whose font and width are worked out
  const TKVSymbolFontEntry* SymbolFontEntry = nullptr;
  TKVMeasureTiming Timing;
  int32_t NoteSpacing = 0;  // NoteInterval * 2 div 3
  bool Result = false;      // the piece has this column
  std::vector<TKVStaff*> Staves;  // staves laid out, in layout-index order

  // ---- per-staff layout state ----
  // Alteration per diatonic line, eleven octave rows: every line a MIDI key
  // of 0..127 can stand on (key 127 is on row 10).
  std::array<int16_t, 77> KeyAccidentals{};
  bool PercussionClef = false;               // the clef in force is of type 14 or 15
  long double RotationCos = 1, RotationSin = 0;
  // What the host's term recognition left for the next staff text; reset
  // when a part's layout starts.
  int32_t TermsValue1 = 0, TermsValue2 = 0;
  std::string TermsData;
  // Items at or past the end of the measure, deleted after the part's
  // layout.
  std::vector<TKVItem*> RemovalList;

  int32_t Scale() const;
};

// The score's Scale as the layout uses it: a file may hold any 32-bit value,
// and the layout's sums of scaled sizes must stay within 32 bits, so it is
// held within +-100 times.
int32_t LayoutScale(const TKVScore& Score);
