// Items that reach past their own measure (slurs and ties, hairpins, trills
// and the other line marks, voltas) cut into one piece per system: the
// piece on the item's own system ends at the system's end or where the item
// ends; each later system gets a continuation record from its start. Their
// x values are made page values here, once the system's measures stand;
// the page positions add the y values. Every measure a volta covers gets the
// volta as its own, which the play order reads.

#include <algorithm>
#include <vector>

#include "score/layout/page/ContinuationLabels.h"
#include "score/layout/page/PageComposer.h"
#include "score/layout/page/PagePlaces.h"
#include "score/model/ItemKinds.h"
#include "score/model/Liga.h"
#include "score/model/Mark.h"
#include "score/model/Measure.h"
#include "score/model/Part.h"
#include "score/model/Piece.h"
#include "score/model/Score.h"
#include "score/model/Staff.h"

namespace {

namespace K = ItemKind;

bool IsSpanKind(const TKVItem& Item) {
  switch (Item.Kind()) {
    case K::Slur: case K::Trill: case K::HookedBracket: case K::WavyLine: case K::ContinuedGlyph:
    case K::ExtensionLine: case K::OctaveLine: case K::BarreLine: case K::Volta: case K::HarmonicLine:
      return true;
    case K::Dynamic: {
      const uint8_t variant = static_cast<const TKVMark&>(Item).Variant();
      return variant == 50 || variant == 51;
    }
    default: return false;
  }
}

// The records of items passing through Record, each once.
std::vector<TKVDisplayItem*> SpanRecords(const TKVMeasureRecord& Record) {
  std::vector<TKVDisplayItem*> spans;
  for (const auto* list : {&Record.ContinuingDisplays, &Record.ExtendingItems})
    for (TKVDisplayItem* d : *list)
      if (d && d->Item && d->Owner && !d->Hidden && IsSpanKind(*d->Item) &&
          std::find(spans.begin(), spans.end(), d) == spans.end())
        spans.push_back(d);
  return spans;
}

// The y the page positions added to a record of this kind; 0 while its
// measure is not positioned yet.
int64_t PlacedY(const TKVDisplayItem& D) {
  const TKVStaffLineRecord* line = D.StaffLine;
  if (!line || !D.Owner->Positioned) return 0;
  if (D.Item->Kind() == K::Volta) return line->InnerTop;
  return D.Item->Kind() == K::Slur ? int64_t(line->Top) + HalfLineSpace(*line) : line->Top;
}

struct TCutting {
  TKVComposerContext& Ctx;
  TKVSystemRecord& System;
  TKVMeasureRecord& First;  // the system's first measure

  // The height a slur's end takes from the clef in force where it ends (the
  // measure layout could not know it for an end past its own measure); 0
  // for a tie, which ends on its own note's line.
  int64_t ClefCorrection(const TKVDisplayItem& D) const {
    const auto& slur = static_cast<const TKVLiga&>(*D.Item);
    if (slur.Flag(LigaFlag::Tie) || !D.Staff || !D.Staff->Part()) return 0;
    const auto& records = System.Piece->Layout().MeasureRecords;
    const int64_t end = int64_t(D.Owner->StartTick) + D.Param;
    for (size_t k = D.Owner->ColumnIndex; k < records.size() && k < size_t(System.Piece->Layout().MeasureRecordCount); ++k) {
      const TKVMeasureRecord& r = *records[k];
      if (end >= int64_t(r.StartTick) + r.Length) continue;
      if (k == D.Owner->ColumnIndex) return 0;  // the measure layout's own
      const TKVMeasure* measure = D.Staff->Part()->GetMeasure(int32_t(k));
      const TKVStaffLineRecord* line = SystemStaffLine(First, D.StaffIndex);
      const int64_t space = line ? line->LineSpacing : Ctx.LineSpace;
      return measure ? measure->GetClefOffsetAt(D.Staff->Index(), int32_t(end - r.StartTick)) * space / 2 : 0;
    }
    return 0;
  }

  // The piece on the item's own system: its x values on the page.
  void CutOwn(TKVDisplayItem& D, int64_t EndX, bool Ends) {
    TKVMeasureRecord& own = *D.Owner;
    switch (D.Item->Kind()) {
      case K::Slur: {
        TKVLayoutRect& p = D.Bounds2;
        p.Left = Saturate32(TickX(own, AnchorTick(D.Item)) + p.Left);
        p.Width = Saturate32(EndX + (Ends ? p.Width : 0));
        p.Bottom = Saturate32(p.Bottom + ClefCorrection(D));
        break;
      }
      case K::Volta:
        D.Bounds.Left = Saturate32(int64_t(own.LeftX) + StartWidths(own) + D.Bounds.Left);
        D.Bounds.Width = Saturate32(std::max<int64_t>(EndX, D.Bounds.Left));
        break;
      default:
        D.Bounds.Left = Saturate32(TickX(own, AnchorTick(D.Item)) + D.Bounds.Left);
        D.Bounds.Width = Saturate32(std::max<int64_t>(EndX, D.Bounds.Left));
        break;
    }
    D.Cut = 1;
  }

  // A record in Record carrying D's item on from this system's start.
  void Continue(TKVMeasureRecord& Record, TKVDisplayItem& D, int64_t EndX, bool Ends) {
    const int64_t startX = int64_t(First.LeftX) + StartWidths(First), y = PlacedY(D);
    TKVDisplayItem& c = TakeRecord(Record.Displays, Record.DisplayCount++);
    c = TKVDisplayItem{};
    c.Owner = &Record;
    c.Item = D.Item;
    c.Staff = D.Staff;
    c.StaffIndex = D.StaffIndex;
    c.LastStaff = D.LastStaff;
    c.SizePercent = D.SizePercent;
    c.Param = D.Param;
    c.Cut = 1;
    // The piece before: the item's own, or the last continuation on an
    // earlier system (pieces of measures composed again are not followed).
    // The new piece goes in front of the item's chain, behind it.
    TKVDisplayItem* previous = &D;
    while (TKVDisplayItem* next = previous->Continuation) {
      if (next == &c || next->Item != D.Item || !next->Owner || next->Owner->ColumnIndex >= First.ColumnIndex) break;
      previous = next;
    }
    previous->Continuation = &c;
    c.Link = previous;
    D.Item->DisplayLink = &c;
    int64_t top = int64_t(D.Bounds.Top) - y, bottom = int64_t(D.Bounds.Bottom) - y;
    if (D.Item->Kind() == K::Slur) {
      // On the level where the cut piece ended, to the end note or the
      // system's end.
      const auto& slur = static_cast<const TKVLiga&>(*D.Item);
      const int64_t level = int64_t(D.Bounds2.Bottom) - y + (D.Cut ? 0 : ClefCorrection(D));
      const int64_t endX = EndX + (Ends ? int64_t(slur.SecondOffset()) * Ctx.Scale() / 100 : 0);
      c.Bounds2 = {Saturate32(startX), Saturate32(level), Saturate32(endX), Saturate32(level)};
      top = bottom = level;
    } else {
      c.Bounds2.Top = Saturate32(int64_t(D.Bounds2.Top) - y);
      const auto& mark = static_cast<const TKVMark&>(*D.Item);
      const TKVContinuationLabel label = ContinuationLabel(mark.Kind(), mark.Variant(), mark.Flags());
      c.FontCode = label.FontCode;
      if (label.Glyph) {
        TKVLayoutCanvas& canvas = Ctx.Format().Canvas;
        canvas.Font = {Ctx.Score.MusicFontName(), label.FontCode, 0};
        const int64_t h = canvas.TextHeight(), lineY = c.Bounds2.Top;
        canvas.Font = {Ctx.Score.MusicFontName(), 144, 0};
        c.Text = std::string(1, char(label.Glyph));
        top = std::min(top, lineY - h / 2);
        bottom = std::max(bottom, lineY + h - h / 2);
      }
    }
    c.Bounds = {Saturate32(startX), Saturate32(top), Saturate32(std::max(EndX, startX)), Saturate32(bottom)};
  }
};

}  // namespace

void LayoutSystemMarks(TKVComposerContext& Ctx) {
  TKVSystemRecord& system = *Ctx.System;
  if (system.MeasureCount == 0 || !system.Piece || !system.Measures[0]) return;
  TCutting cutting{Ctx, system, *system.Measures[0]};
  const int32_t firstColumn = cutting.First.ColumnIndex;
  for (uint16_t i = 0; i < system.MeasureCount && i < system.Measures.size(); ++i) {
    TKVMeasureRecord* m = system.Measures[i];
    // A measure placed again in the same run (a piece shown on every page)
    // was cut the first time.
    if (!m || m->Positioned) continue;
    const bool last = i + 1 == system.MeasureCount;
    for (TKVDisplayItem* d : SpanRecords(*m)) {
      const TKVMeasureRecord& own = *d->Owner;
      if (own.ColumnIndex > m->ColumnIndex) continue;
      const bool volta = d->Item->Kind() == K::Volta;
      bool ends;
      int64_t endX = m->RightX;
      if (volta) {
        m->Volta = d->Item;
        ends = int64_t(m->ColumnIndex) + 1 - own.ColumnIndex - d->Param > 0;
      } else {
        // Ticks of this measure the item still covers.
        const int64_t reach = int64_t(own.StartTick) + d->Param - m->StartTick;
        if (reach < 0 || (reach == 0 && d->Item->Kind() != K::Slur)) continue;
        ends = reach < m->Length;
        if (ends) endX = TickX(*m, reach);
      }
      if (!ends && !last) continue;
      if (own.ColumnIndex < firstColumn)
        cutting.Continue(*m, *d, endX, ends);
      else if (!d->Cut)
        cutting.CutOwn(*d, endX, ends);
    }
  }
}
