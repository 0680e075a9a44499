#pragma once
// A score view as the model sees it: its cursor, the invalidations the score
// asks for (deferred while the score is inside an update bracket) and the
// cursor and display calls the score and its readers make. The player's view
// derives from it and overrides the display hooks; every default here is
// harmless, so a view without a window (or a test) works as it stands.

#include <atomic>
#include <cstdint>

#include "base/Object.h"
#include "score/model/ScoreTypes.h"

class TKVScore;
class TKVPiece;
class TStream;

class TKVScoreView : public TObject {
public:
  TKVScoreView() = default;
  // Leaves the score's view list, so the score never holds a freed view.
  ~TKVScoreView() override;

  // Stores the score reference without any notification; the score calls it
  // from AddWindow (the score) and RemoveWindow (nil).
  virtual void LinkScore(TKVScore* Score) { FScore = Score; }
  TKVScore* Score() const { return FScore; }

  // Cursor indices.
  int32_t ActivePage() const { return FActivePage; }
  int32_t CursorPiece() const { return FCursorPiece; }
  int32_t CursorPart() const { return FCursorPart; }
  int32_t CursorMeasure() const { return FCursorMeasure; }
  int32_t CursorStaff() const { return FCursorStaff; }
  int32_t CursorVoice() const { return FCursorVoice; }
  int32_t CursorTick() const { return FCursorTick; }
  int32_t CursorLine() const { return FCursorLine; }  // pitch line relative to the clef
  int32_t Zoom() const { return FZoom; }
  int32_t TempoScale() const { return FTempoScale; }
  bool RuleVisible() const { return FRuleVisible; }

  // The piece at the cursor; nil without a score or out of range.
  virtual TKVPiece* GetCursorPiece();
  // Cursor moves (page, part, measure of the piece, tick in the measure).
  virtual void SetActivePage(int32_t Index) { FActivePage = Index; }
  virtual void SetActivePart(int32_t Index) { FCursorPart = Index; }
  virtual void SetActiveMeasure(int32_t Index) { FCursorMeasure = Index; }
  virtual void SetCursorTick(int32_t Tick) { FCursorTick = Tick; }
  virtual void SetCursorLine(int32_t Line) { FCursorLine = Line; }
  // Clamps the cursor indices to the score and shows the page of the cursor.
  virtual void ValidateCursor(bool /*KeepSpecialPage*/) {}
  // Announces the active part or voice (nil for none).
  virtual void CursorChanged(TObject* /*Active*/) {}
  virtual void ScrollToCursor(int32_t /*TopHint*/, bool /*Flag*/) {}
  virtual void UpdateRuleMarkers() {}
  virtual void UpdatePageButtons() {}
  // Hides (False) or shows (True) the cursor.
  virtual void ShowCursor(bool /*Show*/) {}

  // Invalidation of the score area and of the rulers. While the score's
  // update count is 1 or more they only note a deferred flag, which the
  // score's outermost EndUpdate replays; otherwise they invalidate at once.
  virtual void InvalidateScore();
  virtual void InvalidateRulers();
  bool ScoreInvalidationPending() const { return FScorePending; }
  bool RulersInvalidationPending() const { return FRulersPending; }
  // Invalidates the page buttons and the insert/overwrite indicator at once.
  virtual void InvalidateModeIndicator() {}
  virtual void AdjustScrollBars() {}

  // Line-table value of the cursor's staff line on the active page; 0 when
  // any index is out of range.
  virtual uint16_t GetCursorLineEntry() { return 0; }
  // System of the cursor measure counted from the piece's first system.
  virtual int32_t GetCursorSystemNumber() { return 0; }

  // The page composer hands the score's new page records to every view at
  // the end of each run.
  virtual void UpdatePageTable() {}

  // Zoom in percent, limited to MinZoom..MaxZoom.
  virtual void SetZoom(int32_t Percent);
  // Playback speed in percent, 1 or more: the player divides by it.
  virtual void SetTempoScale(int32_t Percent);
  virtual void SetRuleVisible(bool Visible) { FRuleVisible = Visible; }

  // View state stored in older score files: each reads one 4-byte value into
  // its field, without notification. The view divides by the zoom and the
  // tempo scale, so a zoom is kept within MinZoom..MaxZoom and a tempo scale
  // at 1 or more.
  void ReadActivePage(TStream& Stream);
  void ReadActivePart(TStream& Stream);
  void ReadActiveMeasure(TStream& Stream);
  void ReadCursorTick(TStream& Stream);
  void ReadZoom(TStream& Stream);
  void ReadTempoScale(TStream& Stream);

  // Non-zero while the play thread runs; set and read by different threads.
  uint8_t Playing() const { return FPlaying.load(); }

  TECOnPlayShortEvent OnPlayShort;

protected:
  // Defers (Pending) while the score updates, else calls Area at once.
  void Invalidate(bool& Pending, void (TKVScoreView::*Area)());
  // Whether the view has anything to show (a window, a parent); a view that
  // has not ignores invalidations altogether.
  virtual bool CanShow() const { return true; }
  // The actual invalidation of the score area and the ruler strips.
  virtual void InvalidateScoreArea() {}
  virtual void InvalidateRulerArea() {}

  TKVScore* FScore = nullptr;
  int32_t FActivePage = 0;
  int32_t FCursorPiece = 0;
  int32_t FCursorPart = 0;
  int32_t FCursorMeasure = 0;
  int32_t FCursorStaff = 0;
  int32_t FCursorVoice = 0;
  int32_t FCursorTick = 0;
  int32_t FCursorLine = 60;
  int32_t FZoom = 100;
  int32_t FTempoScale = 100;
  bool FRuleVisible = true;
  std::atomic<uint8_t> FPlaying{0};
  bool FScorePending = false;
  bool FRulersPending = false;
};
