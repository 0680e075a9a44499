#pragma once
// A corpus file shown by the renderer on the headless window host, for the
// overlays drawn straight on the window: which window pixels a call
// changed, and whether any of them lies outside the view rectangle.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "render/ViewOnWindow.h"
#include "render/page/ViewPainter.h"
#include "score/layout/page/PageRecords.h"
#include "score/model/Item.h"
#include "score/model/Score.h"
#include "support/sketch/ReviewImages.h"

class OverlayOnWindow : public TViewOnWindow<render::TKVViewPainter> {
protected:
  explicit OverlayOnWindow(const std::string& File = "12a-Clefs.xml") {
    score = LoadLaidOut(std::string(SONARID_CORPUS_DIR) + "/musicxml/" + File);
    view().SetScore(score.get());
    control->SetFocus();
    Pump();
  }
  TKVWindow& view() { return control->View(); }
  struct TChange {
    int64_t Inside = 0, Outside = 0;  // pixels changed inside and outside the view rectangle
  };
  TChange ChangedSince(const std::vector<uint32_t>& Before) {
    const std::vector<uint32_t> now = Window();
    const canvas::TRect v = view().GetViewRect();
    const int width = form->Width();
    TChange c;
    for (size_t i = 0; i < now.size(); ++i) {
      if (now[i] == Before[i]) continue;
      const int x = int(i % size_t(width)), y = int(i / size_t(width));
      (v.Left <= x && x < v.Right && v.Top <= y && y < v.Bottom ? c.Inside : c.Outside)++;
    }
    return c;
  }
  TRealLayout layout;
  std::unique_ptr<TKVScore> score;
};

inline bool IsKind(const TKVDisplayItem& D, uint8_t Kind) { return D.RecordType == 0 && D.Item && D.Item->Kind() == Kind; }

// The first record of page 1 that Wanted takes.
inline TKVDisplayItem* FindOnFirstPage(TKVWindow& V, const std::function<bool(const TKVDisplayItem&)>& Wanted) {
  const TKVPageRecord& page = *V.PageRecord(0);
  for (uint16_t s = 0; s < page.SystemCount; ++s)
    for (TKVMeasureRecord* R : page.Systems[s]->Measures)
      for (int32_t i = 0; i < R->DisplayCount; ++i)
        if (Wanted(*R->GetDisplay(i))) return R->GetDisplay(i);
  return nullptr;
}
