#pragma once
// The layout service the score engine uses: Reformat lays out every measure
// column of the pieces through the measure formatter, then runs the page
// composer and the play order; FormatMeasure is the measure formatter.
// RegisterScoreLayout installs it for every score created afterwards (the
// program calls it at start, tests in their set-up).

#include <cstdint>

#include "score/layout/MeasureFormatter.h"
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

  // The steps of the later layout stages; tests may replace them.
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
