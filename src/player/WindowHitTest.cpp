// What lies under a client point: the page, the staff line (on it, in its
// band, or the nearest), the pitch line and tablature string at the point's
// height, the measure and the tick at its x.

#include <algorithm>
#include <cstdlib>

#include "base/Saturate.h"

#include "player/CursorCandidates.h"
#include "player/Window.h"
#include "score/layout/ItemFields.h"
#include "score/layout/page/PageRecords.h"
#include "score/model/DisplayUnits.h"
#include "score/model/Item.h"
#include "score/model/Measure.h"
#include "score/model/Page.h"
#include "score/model/Part.h"
#include "score/model/Piece.h"
#include "score/model/Score.h"
#include "score/model/Staff.h"
#include "score/model/Voice.h"

namespace {

constexpr int32_t LowestLine = 37, HighestLine = 89;

bool Shown(const TKVStaffLineRecord* Line) { return Line && (Line->Flags & 1); }

// Line L of Page within its used count, else nil: a staff line kept from
// an earlier call may have gone stale since.
bool OnPage(const TKVPageRecord* Page, const TKVStaffLineRecord* L) {
  for (int32_t i = 0; Page && i < Page->StaffLineCount; ++i)
    if (Page->GetStaffLine(i) == L) return true;
  return false;
}

}  // namespace

void TKVWindow::HitTest(canvas::TPoint P) {
  if (Playing() || !FScore) return;
  const canvas::TRect view = GetViewRect();
  const int32_t x = P.X - view.Left + HorzPosition(), y = P.Y - view.Top + VertPosition();
  Hit.MeasureRecord = nullptr;
  for (int32_t i = 0; i < FPageCount; ++i) {
    const TKVPageRect& r = FPageTable[size_t(i)];
    const TKVPageRecord* page = PageRecord(i);
    if (!page || x < r.Left || x >= r.Right || y < r.Top || y >= r.Bottom) continue;
    HitStaffLine(*page, y - r.Top, x - r.Left);
    Hit.Page = uint16_t(i);
  }
  Hit.BoundaryMeasure = -1;
  TKVStaffLineRecord* L = Hit.StaffLine;
  const TKVPageRecord* page = PageRecord(Hit.Page);
  if (!L || !OnPage(page, L) || !L->System || !L->Staff) return;
  TKVSystemRecord& S = *L->System;
  const TKVPageRect origin = FPageTable[Hit.Page];
  const int32_t s = GetLineSpacing(L->Staff);
  Hit.YInStaff = int16_t(int64_t(y - origin.Top) * 8 - ScaleSize(L->Top));
  Hit.YInSystem = int16_t(int64_t(y - origin.Top) * 8 - ScaleSize(S.Top));
  Hit.Piece = uint16_t(S.Piece ? S.Piece->GetIndex() : 0);
  Hit.Part = uint16_t(L->Staff->Part() ? L->Staff->Part()->Index() : 0);
  if (s != 0) {
    // Each half spacing is a step: 62 on the bottom line of five, 70 on the top.
    int32_t n = RoundExtended((int64_t(ScoreToPixels(L->Top)) + origin.Top + 5 * int64_t(s) - y) * 2.0L / s) + 60;
    const int32_t z = GetClefShift(-1, -1, -1, -1);
    if (n + z < LowestLine) n = LowestLine - z;
    if (n + z > HighestLine) n = HighestLine - z;
    Hit.Line = uint16_t(n);
    const int32_t lines = L->Staff->LineCount();
    const int32_t k =
        RoundExtended((int64_t(ScoreToPixels(L->InnerTop)) + int64_t(lines - 1) * s + origin.Top - y) / (long double)s);
    Hit.String = uint16_t(std::clamp(k, 0, std::max(lines - 1, 0)));
  }
  if (S.FirstStaffLine < page->StaffLineCount) {
    // Heights at the score's scale; none without one.
    auto below = [&](const TKVStaffLineRecord* Top) {
      const int32_t scale = FScore->Scale();
      return Top && scale > 0 ? int32_t(int64_t(PixelsToScore(y - origin.Top - ScoreToPixels(Top->Top))) * 100 / scale) : 0;
    };
    const TKVSystemPartRecord* part = Hit.Part < S.Parts.size() ? S.Parts[Hit.Part].get() : nullptr;
    Hit.SystemOffset = below(page->GetStaffLine(S.FirstStaffLine));
    Hit.PartOffset = below(part ? page->GetStaffLine(part->FirstStaffLine) : nullptr);
    Hit.StaffOffset = below(L);
  }
  if (S.MeasureCount == 0 || S.Measures.empty()) return;
  HitPosition(*S.Measures[0], S, x - origin.Left);
}

// The shown line under the point (from the last), else the topmost whose
// band holds it, else the nearest: the first below the point, or the last
// above it.
void TKVWindow::HitStaffLine(const TKVPageRecord& Page, int32_t Y, int32_t X) {
  const int32_t count = Page.StaffLineCount;
  const int32_t t = RoundExtended((long double)FScreenResolution * FScore->Page().InternalValue(pvLineSpace) *
                                  FScore->Scale() * FZoom * FScreenResolution / 96 / 2540000);
  TKVStaffLineRecord* found = nullptr;
  for (int32_t i = count - 1; i >= 0 && !found; --i) {
    TKVStaffLineRecord* L = Page.GetStaffLine(i);
    if (Shown(L) && int64_t(ScoreToPixels(L->Top)) - t <= Y && Y <= int64_t(ScoreToPixels(L->Bottom)) + t &&
        ScoreToPixels(L->LeftX) <= X && X <= ScoreToPixels(L->RightX))
      found = L;
  }
  for (int32_t i = 0; i < count && !found; ++i) {
    TKVStaffLineRecord* L = Page.GetStaffLine(i);
    if (Shown(L) && ScoreToPixels(L->TopJoin) <= Y && Y <= ScoreToPixels(L->BottomJoin)) found = L;
  }
  for (int32_t i = 0; i < count && !found; ++i) {
    TKVStaffLineRecord* L = Page.GetStaffLine(i);
    if (Shown(L) && ScoreToPixels(L->BottomJoin) > Y) found = L;
  }
  for (int32_t i = count - 1; i >= 0 && !found; --i) {
    TKVStaffLineRecord* L = Page.GetStaffLine(i);
    if (Shown(L) && ScoreToPixels(L->TopJoin) < Y) found = L;
  }
  if (!found) return;
  Hit.StaffLine = found;
  Hit.Staff = uint16_t(found->Staff ? found->Staff->Index() : 0);
}

// The measure at page x X, the bar line near it, and the tick: the nearest
// note, rest or mark of the hit staff to the last position left of X.
void TKVWindow::HitPosition(TKVMeasureRecord& First, const TKVSystemRecord& System, int32_t X) {
  TKVMeasureRecord* R = &First;
  for (size_t i = std::min<size_t>(System.MeasureCount, System.Measures.size()); i-- > 0;)
    if (System.Measures[i] && ScoreToPixels(System.Measures[i]->LeftX) <= X) {
      R = System.Measures[i];
      break;
    }
  const int32_t xs = ScoreToPixels(R->LeftX), xe = ScoreToPixels(R->RightX), d = ScaleSize(10);
  if (xe - d < X && X <= xe)
    Hit.BoundaryMeasure = R->ColumnIndex;
  else if (R != &First && xs < X && X <= xs + d)
    Hit.BoundaryMeasure = R->ColumnIndex - 1;
  // A table that holds rooms rather than x offsets gives nothing but tick 0.
  auto offset = [R](int32_t Tick) -> int64_t {
    return R->Spaced && Tick >= 0 && size_t(Tick) < R->TickTable.size() ? int64_t(R->TickTable[size_t(Tick)]) : 0;
  };
  int32_t raw = 0;
  for (int32_t t = int32_t(R->Length) - 1; t >= 0 && R->Spaced && size_t(t) < R->TickTable.size(); --t)
    if (ScoreToPixels(int32_t(R->LeftX + offset(t))) <= X) {
      raw = t;
      break;
    }
  Hit.Measure = R->ColumnIndex;
  Hit.MeasureRecord = R;
  TKVPiece* piece = System.Piece;
  TKVPart* part = piece ? piece->GetPart(Hit.Part) : nullptr;
  TKVMeasure* measure = part ? part->GetMeasure(R->ColumnIndex) : nullptr;
  const TKVVoice* active = FScore->GetActiveVoice();
  if (measure && active) {
    int32_t best = 0;
    auto consider = [&](int32_t t) {
      if (std::llabs(int64_t(raw) - t) < std::llabs(int64_t(raw) - best)) best = t;
    };
    const auto& items = measure->Items();
    for (int32_t i = items.Count(); i-- > 0;) {
      const TKVItem* item = items.Get(i);
      const TKVVoiceKey* key = item ? item->GetVoiceKey() : nullptr;
      if (key && key->StaffIndex == Hit.Staff && IsStopItem(*R, Hit.Part, *item, active->Number()))
        consider(ItemPosition(item));
    }
    if (R->Meter == 0) consider(R->Length);
    Hit.Tick = uint16_t(best);
  }
  Hit.XOffset = Saturate32(int64_t(PixelsToScore(X)) - (offset(Hit.Tick) + R->LeftX));
}
