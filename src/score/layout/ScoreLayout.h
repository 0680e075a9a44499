#pragma once
// The layout service the score engine uses: Reformat lays out every measure
// column of the pieces through the measure formatter (with the column marks
// and minimum room of ColumnMarks.h as its last steps), then runs the page
// composer (an exception from it is discarded) and the play order;
// FormatMeasure is the measure formatter. Both counts of a piece (laid-out
// records and measures to play) are set to the columns formatted.
// RegisterScoreLayout installs it for every score created afterwards (the
// program calls it at start, tests in their set-up).

#include <cstdint>

#include "score/layout/measure/MeasureFormatter.h"
#include "score/model/LayoutService.h"

class TKVScore;

class TKVScoreLayout : public TKVLayoutService {
public:
  explicit TKVScoreLayout(TKVScore& Score);

  bool Reformat(int32_t FromPage) override;
  bool FormatMeasure(int32_t PieceIndex, int32_t ColumnIndex) override;
  // The page that holds measure Measure: the last page record starting at
  // or before it; 0 without page records.
  int32_t ReformatPageOfMeasure(int32_t Measure) override;

  // The steps of the later layout stages; tests may replace them. The page
  // composer's step does only what the score must always see: the first
  // dirty page back to -1.
  TKVLayoutSteps& Steps() { return FSteps; }

private:
  // Formats the piece's columns from First until one is missing and sets the
  // piece's count of laid-out records.
  void FormatPiece(int32_t PieceIndex, int32_t First);

  TKVScore& FScore;
  TKVLayoutSteps FSteps = DefaultLayoutSteps();
};

// Installs TKVScoreLayout as the layout service of every new score.
void RegisterScoreLayout();
