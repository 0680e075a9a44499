// The steps that end a page: the staves spread over the free height down to
// the bottom edge, hidden staff lines put where their shown line stands, and
// the system separator carried by a system's first measure shown under
// every system but the page's last.

#include <algorithm>
#include <cmath>

#include "score/layout/page/PageComposer.h"
#include "score/model/ItemKinds.h"
#include "score/model/Mark.h"
#include "score/model/Page.h"
#include "score/model/Part.h"
#include "score/model/Piece.h"
#include "score/model/Score.h"
#include "score/model/ScoreView.h"
#include "score/model/Staff.h"

namespace {

// The six y values of a staff line, top to bottom.
std::array<int32_t*, 6> YValues(TKVStaffLineRecord& Line) {
  return {&Line.TopJoin, &Line.Top, &Line.InnerTop, &Line.InnerBottom, &Line.Bottom, &Line.BottomJoin};
}

void Shift(TKVStaffLineRecord& Line, int64_t By) {
  for (int32_t* y : YValues(Line)) *y = Saturate32(*y + By);
}

// Whether Display is one of its measure's records in use (a chain may still
// point at records of an earlier layout).
bool Live(const TKVDisplayItem* Display) {
  if (!Display || !Display->Owner) return false;
  for (int32_t i = 0; const TKVDisplayItem* d = Display->Owner->GetDisplay(i); ++i)
    if (d == Display) return true;
  return false;
}

}  // namespace

void JustifyPage(TKVComposerContext& Ctx) {
  const TKVComposerSettings& settings = Ctx.Settings;
  TKVPageRecord& page = *Ctx.Page;
  const bool bit = page.PageIndex < settings.PageJustify.size() && (settings.PageJustify[page.PageIndex] & 1);
  if (!((settings.Fill && !settings.FillStop) || bit) ||
      !(bit || settings.JustifyAllPages || settings.KeepPageJustification))
    return;
  int64_t shown = 0;
  for (int32_t i = 0; const TKVStaffLineRecord* line = page.GetStaffLine(i); ++i) shown += line->Flags & 1;
  const int64_t k = std::max<int64_t>(shown, 1);
  const long double reserve = Ctx.LineSpaceMM != 0 ? Ctx.LineSpaceMM : Ctx.Interval;
  const int64_t free = int64_t(TenthsToUnits(Ctx.BottomEdge - reserve)) - TenthsToUnits(Ctx.Y);
  // A first system taller than the page leaves no room to spread: the
  // staves are never pulled into each other.
  const long double gap = std::max<long double>((long double)free / k, 0);
  const bool keep = settings.KeepPageJustification && Ctx.View && Ctx.View->ActivePage() == page.PageIndex;
  std::vector<uint16_t>* distances = nullptr;
  if (keep && Ctx.Piece) {
    if (!Ctx.PartView())
      distances = &Ctx.Piece->SpacingArray(0);
    else if (Ctx.Part)
      distances = &Ctx.Part->SpacingArray(0);
  }
  long double offset = 0;
  for (int32_t i = 0; TKVStaffLineRecord* line = page.GetStaffLine(i); ++i) {
    const int64_t by = std::llround(double(offset));
    if (!line->AttachedLine) {
      Shift(*line, by);
      if (distances && line->Number < 0xFFFF) {
        // Written into the stored table as it is, like the composer's
        // other writes: no change is announced.
        if (distances->size() <= line->Number) distances->resize(size_t(line->Number) + 1, 0);
        (*distances)[line->Number] = uint16_t(int16_t(std::clamp<int64_t>(by, INT16_MIN, INT16_MAX)));
      }
    }
    if (line->Flags & 1) offset += gap;
  }
}

void AlignAttachedStaffLines(TKVComposerContext& Ctx) {
  TKVPageRecord& page = *Ctx.Page;
  for (int32_t i = 0; TKVStaffLineRecord* line = page.GetStaffLine(i); ++i) {
    const TKVStaffLineRecord* other = line->AttachedLine;
    if (!other || other == line) continue;
    if (line->Top == 0 && line->InnerTop == 0) {
      const auto from = YValues(const_cast<TKVStaffLineRecord&>(*other));
      const auto to = YValues(*line);
      for (size_t v = 0; v < to.size(); ++v) *to[v] = *from[v];
    } else {
      Shift(*line, int64_t(other->Top) - line->Top);
    }
  }
}

void AddSystemBarItems(TKVComposerContext& Ctx) {
  TKVPageRecord& page = *Ctx.Page;
  for (uint16_t s = 0; s + 1 < page.SystemCount && s < page.Systems.size(); ++s) {
    TKVSystemRecord& system = *page.Systems[s];
    TKVMeasureRecord* first = system.MeasureCount > 0 ? system.Measures[0] : nullptr;
    auto* mark = first ? dynamic_cast<TKVMark*>(first->CarriedMark) : nullptr;
    const TKVStaffLineRecord* line = page.GetStaffLine(system.LastStaffLine);
    if (!mark || !line || line->System != &system) continue;
    TKVDisplayItem& d = TakeRecord(first->Displays, first->DisplayCount++);
    d = TKVDisplayItem{};
    d.Owner = first;
    d.Item = mark;
    d.Staff = line->Staff;
    d.StaffIndex = d.LastStaff = line->Index - system.FirstStaffLine;
    d.SizePercent = line->Staff ? line->Staff->SizePercent() : 100;
    d.FontCode = 56;
    d.Cut = 1;  // its x is on the page already
    d.Link = Live(mark->DisplayLink) ? mark->DisplayLink : nullptr;
    mark->DisplayLink = &d;
    TKVLayoutCanvas& canvas = Ctx.Format().Canvas;
    canvas.Font = {mark->Text1().empty() ? Ctx.Score.MusicFontName() : mark->Text1(), d.FontCode, 0};
    const int64_t w = canvas.TextWidth("//"), h = canvas.TextHeight();
    canvas.Font = {Ctx.Score.MusicFontName(), 144, 0};
    const int64_t x = int64_t(mark->OffsetX()) * Ctx.Scale() / 100 + line->LeftX;
    const int64_t y = int64_t(mark->OffsetY()) * Ctx.Scale() / 100;
    d.Bounds = {Saturate32(x), Saturate32(y), Saturate32(x + w), Saturate32(y + h)};
  }
}
