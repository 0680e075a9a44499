#pragma once
// A score view without a window that writes every call the model makes into
// a journal ("view:<name>[ args]"), and lets a test place the cursor.

#include <string>

#include "score/model/ScoreView.h"
#include "support/EventJournal.h"

class TFakeScoreView : public TKVScoreView {
public:
  explicit TFakeScoreView(TEventJournal* journal = nullptr, std::string name = "view")
      : FJournal(journal), FName(std::move(name)) {}

  void SetCursor(int32_t piece, int32_t part = 0, int32_t measure = 0, int32_t staff = 0, int32_t voice = 0) {
    FCursorPiece = piece;
    FCursorPart = part;
    FCursorMeasure = measure;
    FCursorStaff = staff;
    FCursorVoice = voice;
  }
  void SetPlaying(bool playing) { FPlaying = playing ? 1 : 0; }
  void SetCanShow(bool canShow) { FCanShow = canShow; }

  void LinkScore(TKVScore* score) override;
  void ValidateCursor(bool keepSpecialPage) override;
  void CursorChanged(TObject* active) override;
  void ScrollToCursor(int32_t topHint, bool flag) override;
  void UpdateRuleMarkers() override { Log("UpdateRuleMarkers"); }
  void UpdatePageButtons() override { Log("UpdatePageButtons"); }
  void ShowCursor(bool show) override { Log(std::string("ShowCursor ") + (show ? "1" : "0")); }
  void InvalidateModeIndicator() override { Log("InvalidateModeIndicator"); }
  void AdjustScrollBars() override { Log("AdjustScrollBars"); }

  // Counts of the actual invalidations (not the deferred ones).
  int ScoreAreaInvalidations = 0;
  int RulerAreaInvalidations = 0;

protected:
  bool CanShow() const override { return FCanShow; }
  void InvalidateScoreArea() override;
  void InvalidateRulerArea() override;

private:
  void Log(const std::string& what);

  TEventJournal* FJournal;
  std::string FName;
  bool FCanShow = true;
};
