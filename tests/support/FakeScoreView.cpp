#include "support/FakeScoreView.h"

#include "score/model/Score.h"

void TFakeScoreView::Log(const std::string& what) {
  if (FJournal) FJournal->Add(FName + ":" + what);
}

void TFakeScoreView::LinkScore(TKVScore* score) {
  TKVScoreView::LinkScore(score);
  Log(score ? "LinkScore score" : "LinkScore nil");
}

void TFakeScoreView::ValidateCursor(bool keepSpecialPage) {
  Log(std::string("ValidateCursor ") + (keepSpecialPage ? "1" : "0"));
}

void TFakeScoreView::CursorChanged(TObject* active) { Log(active ? "CursorChanged object" : "CursorChanged nil"); }

void TFakeScoreView::ScrollToCursor(int32_t topHint, bool flag) {
  Log("ScrollToCursor " + std::to_string(topHint) + (flag ? " 1" : " 0"));
}

void TFakeScoreView::InvalidateScoreArea() {
  ++ScoreAreaInvalidations;
  Log("InvalidateScoreArea");
}

void TFakeScoreView::InvalidateRulerArea() {
  ++RulerAreaInvalidations;
  Log("InvalidateRulerArea");
}
