#include "app/PlaybackView.h"

#include <algorithm>

#include "score/layout/ScoreLayoutRecords.h"

namespace {

class TPlayOrderView : public TPlaybackView {
public:
  explicit TPlayOrderView(TKVScore& score) : FScore(score) {}
  double GetTotalTime() override { return ScoreLayoutRecords(FScore).RunningTime; }
  double GetCursorTime() override { return FPosition; }
  void SeekTime(double ms) override { FPosition = std::clamp(ms, 0.0, GetTotalTime()); }
  void GotoStart() override { FPosition = 0; }
  void GotoEnd() override { FPosition = GetTotalTime(); }
  void Play() override {}
  void Stop() override {}
  bool Playing() const override { return false; }

private:
  TKVScore& FScore;
  double FPosition = 0;
};

}  // namespace

std::unique_ptr<TPlaybackView> CreatePlaybackView(TKVScore& Score) { return std::make_unique<TPlayOrderView>(Score); }
