#include "support/LayoutDump.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <map>
#include <sstream>

#include "score/layout/page/PageRecords.h"
#include "score/model/Item.h"
#include "score/model/LayoutRecords.h"
#include "score/model/Note.h"

namespace {

// Appends printf-formatted text.
void Add(std::string& Out, const char* Format, ...) {
  char text[512];
  va_list args;
  va_start(args, Format);
  std::vsnprintf(text, sizeof text, Format, args);
  va_end(args);
  Out += text;
}

class TDumper {
public:
  explicit TDumper(const TKVPieceLayoutRecords& Records) : FRecords(Records) {}

  std::string Item(const TKVItem* Item) {
    if (!Item) return "-";
    auto at = FItems.emplace(Item, int32_t(FItems.size()) + 1).first;
    return "k" + std::to_string(Item->Kind()) + "#" + std::to_string(at->second);
  }

  std::string Display(const TKVDisplayItem* Display) const {
    if (!Display) return "-";
    for (size_t r = 0; r < FRecords.MeasureRecords.size(); ++r) {
      const auto& list = FRecords.MeasureRecords[r]->Displays;
      for (size_t d = 0; d < list.size(); ++d)
        if (list[d].get() == Display) return "r" + std::to_string(r) + ".d" + std::to_string(d);
    }
    return "own";
  }

  void Record(std::string& Out, size_t Index, const TKVMeasureRecord& R) {
    Add(Out, "record %zu column=%u start=%u meter=0x%04x length=%u next=0x%04x/%u number=%u+%u covered=%u/%u "
             "rehearsal=%u flags=0x%04x tempo=%d msPerTick=%.6f duration=%.6f extents=",
        Index, R.ColumnIndex, R.StartTick, R.Meter, R.Length, R.MarkMeter, R.MarkLength, R.MeasureNumber,
        R.ExtraMeasures, R.CoveredMeasures, R.Covered, R.RehearsalNumber, R.Flags, R.Tempo, R.MsPerTick, R.Duration);
    for (size_t i = 0; i < R.Extents.size(); ++i) Add(Out, i ? ",%u" : "%u", R.Extents[i]);
    Add(Out, " numberShown=%u numberDisplay=%s meterMark=%s volta=%s coda=%s rehearsalMark=%s carried=%s\n",
        R.NumberShown, Display(R.NumberDisplay).c_str(), Item(R.MeterMark).c_str(), Item(R.Volta).c_str(),
        Item(R.Coda).c_str(), Item(R.RehearsalMark).c_str(), Item(R.CarriedMark).c_str());
    for (const TKVTempoSegment& s : R.TempoSegments)
      Add(Out, "  segment %u +%u %.6f\n", s.Position, s.ExtraTicks, s.MsPerTick);
    for (const auto& e : R.Positions)
      Add(Out, "  entry %u %s word=%u action=%u param=%u\n", e->Position, Item(e->Item).c_str(), e->Word, e->Action,
          e->Param);
    for (int32_t d = 0; const TKVDisplayItem* D = R.GetDisplay(d); ++d)
      Add(Out, "  display %s %s type=%u staff=%d size=%u param=%u rect=%d,%d,%d,%d link=%s marker=%u\n",
          Display(D).c_str(), Item(D->Item).c_str(), D->RecordType, D->StaffIndex, D->SizePercent, D->Param,
          D->Bounds.Left, D->Bounds.Top, D->Bounds.Width, D->Bounds.Bottom, Display(D->Link).c_str(), D->LyricMarker);
    for (int32_t d = 0; const TKVDynamicRecord* Y = R.GetDynamic(d); ++d)
      Add(Out, "  dynamic %s part=%u pos=%u len=%u vel=%u/%u local=%u disabled=%u\n", Item(Y->Item).c_str(),
          Y->PartIndex, Y->Position, Y->Length, Y->StartVelocity, Y->EndVelocity, Y->Local, Y->Disabled);
    for (const TKVItem* item : R.PlayMarks) Add(Out, "  playmark %s\n", Item(item).c_str());
    for (const TKVItem* item : R.EquationMarks) Add(Out, "  equation %s\n", Item(item).c_str());
    const std::pair<const char*, const std::vector<TKVDisplayItem*>*> lists[] = {
        {"continuing", &R.ContinuingDisplays}, {"extending", &R.ExtendingItems}, {"lyric", &R.LyricDisplays},
        {"text", &R.TextDisplays}};
    for (const auto& [name, list] : lists)
      for (const TKVDisplayItem* D : *list) Add(Out, "  %s %s\n", name, Display(D).c_str());
  }

private:
  const TKVPieceLayoutRecords& FRecords;
  std::map<const TKVItem*, int32_t> FItems;
};

}  // namespace

std::string DumpMeasureRecords(const TKVPieceLayoutRecords& Records, int32_t Count) {
  TDumper dumper(Records);
  std::string out;
  const size_t count = Count < 0 ? Records.MeasureRecords.size() : std::min(Records.MeasureRecords.size(), size_t(Count));
  for (size_t r = 0; r < count; ++r) dumper.Record(out, r, *Records.MeasureRecords[r]);
  return out;
}

std::string StruckNotes(const TKVPieceLayoutRecords& Records) {
  std::string struck;
  for (int32_t m = 0; m < Records.MeasureRecordCount; ++m)
    for (const auto& entry : Records.MeasureRecords[m]->Positions)
      if (auto* note = dynamic_cast<TKVNote*>(entry->Item); note && !(note->PlayState & 0x80))
        struck += std::to_string(note->MidiKey) + "@" + std::to_string(Records.MeasureRecords[m]->StartTick + entry->Position) +
                  "+" + std::to_string(entry->Word) + " ";
  return struck;
}

std::string DumpPages(const std::vector<std::unique_ptr<TKVPageRecord>>& Pages, int32_t Count) {
  std::ostringstream out;
  for (size_t p = 0; p < Pages.size() && int32_t(p) < Count; ++p) {
    const TKVPageRecord& page = *Pages[p];
    out << "page " << page.PageIndex << " piece=" << page.StartPiece << "/" << page.Piece << " measures="
        << page.FirstMeasure << ".." << page.LastMeasure << " count=" << page.MeasureCount << "/"
        << page.RunningMeasureCount << "/" << page.RealMeasureCount << " lines=" << page.FirstStaffLineNumber << "+"
        << page.StaffLineCounter << " systems=" << page.FirstSystemNumber << "+" << page.SystemCounter
        << " continuation=" << int(page.Continuation) << " breaks=" << page.PendingPageBreaks << "\n";
    for (uint16_t s = 0; s < page.SystemCount && s < page.Systems.size(); ++s) {
      const TKVSystemRecord& system = *page.Systems[s];
      out << "  system " << system.Number << " x=" << system.LeftX << ".." << system.RightX << " y=" << system.Top
          << ".." << system.Bottom << " lines=" << system.FirstStaffLine << ".." << system.LastStaffLine
          << " flags=" << int(system.Flags) << " measures";
      for (uint16_t m = 0; m < system.MeasureCount && m < system.Measures.size(); ++m)
        out << " " << system.Measures[m]->ColumnIndex << "@" << system.Measures[m]->LeftX << ".."
            << system.Measures[m]->RightX;
      out << "\n";
    }
    for (const TKVStaffLineRecord* line = page.GetStaffLine(0); line; line = page.GetStaffLine(line->Index + 1))
      out << "  line " << line->Number << " x=" << line->LeftX << ".." << line->RightX << " y=" << line->TopJoin << "/"
          << line->Top << "/" << line->InnerTop << "/" << line->InnerBottom << "/" << line->Bottom << "/"
          << line->BottomJoin << " height=" << double(line->Height) << " spacing=" << line->LineSpacing
          << " flags=" << int(line->Flags) << " attached=" << (line->AttachedLine ? int(line->AttachedLine->Index) : -1)
          << "\n";
  }
  return out.str();
}
