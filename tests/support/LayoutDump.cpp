#include "support/LayoutDump.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "score/layout/LayoutRecords.h"
#include "score/model/Item.h"

namespace {

class TDumper {
public:
  explicit TDumper(const TKVPieceLayoutRecords& Records) : FRecords(Records) {}

  std::string Item(const TKVItem* Item) {
    if (!Item) return "-";
    auto [at, added] = FItems.emplace(Item, int32_t(FItems.size()) + 1);
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

  static std::string Real(double V) {
    char text[64];
    std::snprintf(text, sizeof text, "%.6f", V);
    return text;
  }

  static std::string Hex(unsigned V) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%04x", V);
    return text;
  }

  void Record(std::string& Out, size_t Index, const TKVMeasureRecord& R) {
    Out += "record " + std::to_string(Index) + " column=" + std::to_string(R.ColumnIndex) +
           " start=" + std::to_string(R.StartTick) + " meter=" + Hex(R.Meter) + " length=" + std::to_string(R.Length) +
           " next=" + Hex(R.MarkMeter) + "/" + std::to_string(R.MarkLength) +
           " number=" + std::to_string(R.MeasureNumber) + "+" + std::to_string(R.ExtraMeasures) +
           " covered=" + std::to_string(R.CoveredMeasures) + "/" + std::to_string(R.Covered) +
           " rehearsal=" + std::to_string(R.RehearsalNumber) + " flags=" + Hex(R.Flags) +
           " tempo=" + std::to_string(R.Tempo) + " msPerTick=" + Real(R.MsPerTick) +
           " duration=" + Real(R.Duration) + " extents=";
    for (size_t i = 0; i < R.Extents.size(); ++i) Out += (i ? "," : "") + std::to_string(R.Extents[i]);
    Out += " numberShown=" + std::to_string(R.NumberShown) + " numberDisplay=" + Display(R.NumberDisplay) +
           " meterMark=" + Item(R.MeterMark) + " volta=" + Item(R.Volta) + " coda=" + Item(R.Coda) +
           " rehearsalMark=" + Item(R.RehearsalMark) + " carried=" + Item(R.CarriedMark) + "\n";
    for (const TKVTempoSegment& s : R.TempoSegments)
      Out += "  segment " + std::to_string(s.Position) + " +" + std::to_string(s.ExtraTicks) + " " + Real(s.MsPerTick) +
             "\n";
    for (const auto& e : R.Positions)
      Out += "  entry " + std::to_string(e->Position) + " " + Item(e->Item) + " word=" + std::to_string(e->Word) +
             " action=" + std::to_string(e->Action) + " param=" + std::to_string(e->Param) + "\n";
    for (int32_t d = 0; const TKVDisplayItem* D = R.GetDisplay(d); ++d) DisplayLine(Out, *D);
    for (int32_t d = 0; const TKVDynamicRecord* Y = R.GetDynamic(d); ++d)
      Out += "  dynamic " + Item(Y->Item) + " part=" + std::to_string(Y->PartIndex) +
             " pos=" + std::to_string(Y->Position) + " len=" + std::to_string(Y->Length) +
             " vel=" + std::to_string(Y->StartVelocity) + "/" + std::to_string(Y->EndVelocity) +
             " local=" + std::to_string(Y->Local) + " disabled=" + std::to_string(Y->Disabled) + "\n";
    for (const TKVItem* item : R.PlayMarks) Out += "  playmark " + Item(item) + "\n";
    for (const TKVItem* item : R.EquationMarks) Out += "  equation " + Item(item) + "\n";
    List(Out, "continuing", R.ContinuingDisplays);
    List(Out, "extending", R.ExtendingItems);
    List(Out, "lyric", R.LyricDisplays);
    List(Out, "text", R.TextDisplays);
  }

private:
  void DisplayLine(std::string& Out, const TKVDisplayItem& D) {
    const TKVLayoutRect& b = D.Bounds;
    Out += "  display " + Display(&D) + " " + Item(D.Item) + " type=" + std::to_string(D.RecordType) +
           " staff=" + std::to_string(D.StaffIndex) + " size=" + std::to_string(D.SizePercent) +
           " param=" + std::to_string(D.Param) + " rect=" + std::to_string(b.Left) + "," + std::to_string(b.Top) + "," +
           std::to_string(b.Width) + "," + std::to_string(b.Bottom) + " link=" + Display(D.Link) +
           " marker=" + std::to_string(D.LyricMarker) + "\n";
  }

  void List(std::string& Out, const char* Name, const std::vector<TKVDisplayItem*>& Items) {
    for (const TKVDisplayItem* D : Items) Out += std::string("  ") + Name + " " + Display(D) + "\n";
  }

  const TKVPieceLayoutRecords& FRecords;
  std::map<const TKVItem*, int32_t> FItems;
};

}  // namespace

std::string DumpMeasureRecords(const TKVPieceLayoutRecords& Records, int32_t Count) {
  TDumper dumper(Records);
  std::string out;
  const size_t count = Count < 0 ? Records.MeasureRecords.size()
                                 : std::min(Records.MeasureRecords.size(), size_t(Count));
  for (size_t r = 0; r < count; ++r) dumper.Record(out, r, *Records.MeasureRecords[r]);
  return out;
}
