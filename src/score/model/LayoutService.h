#pragma once
// What the score reaches of the layout engine. The score keeps the update
// bracket and the checks of Reformat and FormatMeasure; the work behind them
// (measure columns, systems and pages, play order) is a layout service made
// for each score by a process-wide factory, which the layout library installs
// at start. Without a factory every score gets the null service, which does
// only what the page composer always does: it clears the first dirty page.

#include <cstdint>
#include <functional>
#include <memory>

class TKVScore;

class TKVLayoutService {
public:
  virtual ~TKVLayoutService() = default;

  // Lays the score out from page FromPage (>= 0; the score is not loading and
  // not inside an update bracket): measure columns through FormatMeasure,
  // then systems and pages, then the play order. Like the page composer it
  // must set the score's first dirty page back to -1 at the end of the run.
  // Returns false when there was nothing to lay out at all (by-part view
  // without an active piece); the score then neither fires OnRecalculate nor
  // stamps its format revision.
  virtual bool Reformat(int32_t FromPage) = 0;

  // Lays out measure column ColumnIndex of piece PieceIndex (a valid piece
  // index) into that piece's measure record ColumnIndex. True exactly when
  // the piece has that column.
  virtual bool FormatMeasure(int32_t PieceIndex, int32_t ColumnIndex) = 0;

  // Page from which a change at measure number Measure must be laid out: 0
  // when there are no page records, else the first page record whose measure
  // number is at least Measure, -1 when none is.
  virtual int32_t ReformatPageOfMeasure(int32_t Measure) = 0;
};

// Base of the layout records a score owns (page records with their systems
// and display records, and the further layout lists). The layout library
// derives its record store from it; the score only keeps and frees it.
class TKVLayoutRecords {
public:
  virtual ~TKVLayoutRecords() = default;
};

// The service used when no layout library is installed.
class TKVNullLayoutService : public TKVLayoutService {
public:
  explicit TKVNullLayoutService(TKVScore& Score) : FScore(Score) {}
  bool Reformat(int32_t FromPage) override;
  bool FormatMeasure(int32_t PieceIndex, int32_t ColumnIndex) override;
  int32_t ReformatPageOfMeasure(int32_t Measure) override;

private:
  TKVScore& FScore;
};

using TKVLayoutServiceFactory = std::function<std::unique_ptr<TKVLayoutService>(TKVScore& Score)>;

// Installs the factory every later score uses; an empty factory restores the
// null service. Set at start, before scores exist (not thread-safe).
void SetLayoutServiceFactory(TKVLayoutServiceFactory Factory);
// The service for a new score: the installed factory's, or the null service.
std::unique_ptr<TKVLayoutService> CreateLayoutService(TKVScore& Score);
