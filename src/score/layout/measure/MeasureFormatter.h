#pragma once
// The measure formatter: lays out one measure column of a piece into its
// measure record by running the steps in order on one shared context:
//   1. CollectStaves (stop, False, when no staff is laid out)
//   2. CalcMeasureLengths (the measure set-up)
//   3. CopyRepeatedMeasurePositions
//   4. LayoutTempoMarks (sets the result; stop when the piece has no such
//      column)
//   5. per part laid out, with Ctx.Part and Ctx.Measure set:
//      Steps.LayoutStaff, then the removal of the items it found past the
//      measure's end
//   6. Steps.CalcMeasureExtents, Steps.ApplyMeasureMinimums
//   7. the measure's last span added to its duration.
// Later stages of the layout plug into the steps of TKVLayoutSteps.

#include <cstdint>
#include <functional>

#include "score/layout/measure/FormatContext.h"

class TKVScore;

struct TKVLayoutSteps {
  using TStep = std::function<void(TKVFormatContext& Ctx)>;
  // The per-staff layout of one part (LayoutStaff by default).
  TStep LayoutStaff;
  // Column marks with bar-line connectors, then the minimum room at the
  // measure's ends. Nothing by default.
  TStep CalcMeasureExtents;
  TStep ApplyMeasureMinimums;
  // After the columns of a reformat run: systems and pages from FromPage
  // (must set the score's first dirty page back to -1; by default only
  // that), then the play order (nothing by default).
  std::function<void(TKVScore& Score, int32_t FromPage)> PaginatePages;
  std::function<void(TKVScore& Score)> BuildPlayOrder;
};

TKVLayoutSteps DefaultLayoutSteps();

// Lays out column ColumnIndex of piece PieceIndex. True exactly when the
// piece has that column (and at least one staff is laid out).
bool FormatMeasureColumn(TKVScore& Score, int32_t PieceIndex, int32_t ColumnIndex, const TKVLayoutSteps& Steps);

// Deletes the items on the removal list (each once), after taking every
// reference to them out of the piece's layout records, and empties it.
void RemoveLateItems(TKVFormatContext& Ctx);
