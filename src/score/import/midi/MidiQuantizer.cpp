#include "score/import/midi/MidiQuantizer.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdlib>

#include "base/Strings.h"

namespace {

// The error of a triplet cell that cannot hold its notes as a triplet.
constexpr int64_t NoFit = 999999;
// A note may end this far past the bar line before it is split there.
constexpr int32_t BarLineSlack = 4;

struct TCell {
  std::vector<TMidiWorkRecord*> Notes;
  int64_t Error = 0;
};

struct TLevel {
  int32_t CellLength = 0;
  int32_t Children = 2;  // cells of the next level below each cell
  std::vector<TCell> Cells;
  int32_t Start(int32_t cell) const { return cell * CellLength; }
};

enum TEntryKind { ekDuple = 0, ekTriplet = 2 };

struct TEntry {
  TEntryKind Kind = ekDuple;
  int32_t Level = 0;
  int32_t Cell = 0;
};

std::array<int32_t, 3> SubPoints(int32_t length) { return {0, length / 3, length * 2 / 3}; }

// The sub-point of a triplet cell nearest to Offset (the lower on a tie).
int32_t NearestSubPoint(const std::array<int32_t, 3>& subs, int32_t offset) {
  int32_t best = 0;
  for (int32_t j = 1; j < 3; ++j)
    if (std::abs(offset - subs[size_t(j)]) < std::abs(offset - subs[size_t(best)])) best = j;
  return best;
}

int32_t RoundTo(int32_t value, int32_t quantum) { return int32_t(Round(double(value) / quantum)) * quantum; }

class TGrid {
public:
  TGrid(int32_t length, int32_t numerator, const TMidiGridOptions& options) : FOptions(options) {
    numerator = std::max(numerator, 1);
    const int32_t beat = std::max(length / numerator, 1);
    int32_t halvings = 0;
    for (int32_t x = beat / 2; x >= FOptions.Quantum && x > 0; x /= 2) ++halvings;
    const int32_t levels = 2 + halvings;
    FDuple.resize(size_t(levels));
    FDuple[0] = {length, numerator, std::vector<TCell>(1)};
    for (int32_t v = 1; v < levels; ++v)
      FDuple[size_t(v)] = {std::max(beat >> (v - 1), 1), 2, std::vector<TCell>(size_t(numerator) << (v - 1))};
    // Triplet level i has the cells of duple level i + 1.
    for (int32_t i = 0; i + 2 < levels; ++i) FTriplet.push_back({FDuple[size_t(i) + 1].CellLength, 2,
                                                              std::vector<TCell>(FDuple[size_t(i) + 1].Cells.size())});
  }

  void Add(TMidiWorkRecord* note) {
    const int32_t p = note->Position;
    for (TLevel& level : FDuple) {
      auto cell = int32_t(Round(double(p) / level.CellLength));
      level.Cells[size_t(std::clamp<int32_t>(cell, 0, int32_t(level.Cells.size()) - 1))].Notes.push_back(note);
    }
    for (TLevel& level : FTriplet) {
      int32_t cell = p / level.CellLength;
      if (p - cell * level.CellLength > level.CellLength * 5.0 / 6) ++cell;
      level.Cells[size_t(std::clamp<int32_t>(cell, 0, int32_t(level.Cells.size()) - 1))].Notes.push_back(note);
    }
  }

  void ScoreCells() {
    for (TLevel& level : FDuple)
      for (size_t c = 0; c < level.Cells.size(); ++c) {
        const int32_t start = level.Start(int32_t(c)), len = level.CellLength;
        for (const TMidiWorkRecord* n : level.Cells[c].Notes)
          level.Cells[c].Error += std::abs(n->Position - start) + std::abs(n->Position + n->Value - start - len) +
                                  std::abs(n->Value - len);
      }
    for (TLevel& level : FTriplet)
      for (size_t c = 0; c < level.Cells.size(); ++c) {
        TCell& cell = level.Cells[c];
        const int32_t start = level.Start(int32_t(c)), len = level.CellLength;
        const auto subs = SubPoints(len);
        unsigned used = 0;
        for (const TMidiWorkRecord* n : cell.Notes) {
          const int32_t j = NearestSubPoint(subs, n->Position - start);
          used |= 1u << j;
          const int32_t end = start + (j < 2 ? subs[size_t(j) + 1] : len);
          cell.Error += 5 * (std::abs(n->Position - start - subs[size_t(j)]) + std::abs(n->Position + n->Value - end)) +
                        std::abs(n->Value - len * 2 / 3);
        }
        if (std::popcount(used) < 2) cell.Error = NoFit;
      }
  }

  std::vector<TEntry> Choose() {
    FChosen.assign(1, TEntry{});
    ChooseGrid(0);
    return FChosen;
  }

  int32_t Finest() const { return int32_t(FDuple.size()) - 1; }
  const TLevel& Duple(int32_t v) const { return FDuple[size_t(v)]; }

private:
  // A duple level's cell as a triplet cell is worth taking when triplets are
  // on, the level is not the finest and the triplet error is the smaller.
  TEntryKind KindOf(int32_t level, int32_t cell) const {
    if (FOptions.Triplets && level != Finest() &&
        FTriplet[size_t(level) - 1].Cells[size_t(cell)].Error < FDuple[size_t(level)].Cells[size_t(cell)].Error)
      return ekTriplet;
    return ekDuple;
  }
  int64_t ErrorAs(TEntryKind kind, int32_t level, int32_t cell) const {
    return kind == ekTriplet ? FTriplet[size_t(level) - 1].Cells[size_t(cell)].Error
                             : FDuple[size_t(level)].Cells[size_t(cell)].Error;
  }

  // Refines entry Index where its child cells fit the notes better; returns
  // the index of the last entry it produced.
  size_t ChooseGrid(size_t index) {
    const TEntry entry = FChosen[index];
    const int32_t v = entry.Level, c = entry.Cell;
    if (v == Finest()) return index;
    const TLevel& level = FDuple[size_t(v)];
    const int32_t first = c * level.Children;
    // Summed in 64 bits: a 16-bit sum wraps in dense measures and makes the
    // children look better than they are.
    int64_t children = 0;
    size_t childNotes = 0;
    for (int32_t j = 0; j < level.Children; ++j) {
      children += ErrorAs(KindOf(v + 1, first + j), v + 1, first + j);
      childNotes += FDuple[size_t(v) + 1].Cells[size_t(first + j)].Notes.size();
    }
    int64_t own = level.Cells[size_t(c)].Error;
    if (v > 0) own = std::min(own, FTriplet[size_t(v) - 1].Cells[size_t(c)].Error);
    if (own <= children && (!level.Cells[size_t(c)].Notes.empty() || childNotes == 0)) return index;
    FChosen[index] = {KindOf(v + 1, first), v + 1, first};
    index = ChooseGrid(index);
    for (int32_t j = 1; j < level.Children; ++j) {
      FChosen.insert(FChosen.begin() + std::ptrdiff_t(index) + 1, TEntry{KindOf(v + 1, first + j), v + 1, first + j});
      index = ChooseGrid(index + 1);
    }
    return index;
  }

  TMidiGridOptions FOptions;
  std::vector<TLevel> FDuple, FTriplet;
  std::vector<TEntry> FChosen;
};

// The start an entry offers a note at P: a duple cell's start, or the
// nearest of a triplet cell's sub-points.
int32_t EntryStart(const TGrid& grid, const TEntry& e, int32_t p) {
  const TLevel& level = grid.Duple(e.Level);
  const int32_t start = level.Start(e.Cell);
  if (e.Kind == ekDuple) return start;
  const auto subs = SubPoints(level.CellLength);
  return start + subs[size_t(NearestSubPoint(subs, p - start))];
}

const TEntry& NearestEntry(const TGrid& grid, const std::vector<TEntry>& entries, int32_t p) {
  size_t best = 0;
  int32_t bestDistance = INT32_MAX;
  for (size_t i = 0; i < entries.size(); ++i) {
    const int32_t distance = std::abs(EntryStart(grid, entries[i], p) - p);
    if (distance < bestDistance) best = i, bestDistance = distance;
  }
  return entries[best];
}

void Snap(TMidiWorkRecord& note, const TGrid& grid, const TEntry& e, int32_t length, int32_t quantum) {
  const TLevel& level = grid.Duple(e.Level);
  const int32_t start = level.Start(e.Cell), cellLength = level.CellLength, end = start + cellLength;
  if (e.Kind == ekTriplet) {
    const auto subs = SubPoints(cellLength);
    const int32_t j = NearestSubPoint(subs, note.Position - start);
    note.Position = start + subs[size_t(j)];
    note.Value = (j < 2 ? subs[size_t(j) + 1] : cellLength) - subs[size_t(j)];
    return;
  }
  note.Value = std::max(RoundTo(note.Value, quantum), quantum);
  note.Position = RoundTo(note.Position, quantum);
  if (note.Position + note.Value > end)
    note.Position = note.Value < cellLength ? end - note.Value : start;
  else if (note.Position < start)
    note.Position = start;
  if (note.Split) note.Value = length - note.Position;
}

// Moves the note at Index in front of the nearest earlier note of the same
// staff at the same position with a lower pitch, but not in front of the
// second half of a note across the bar line.
void MoveAboveLowerNote(TMidiWorkList& list, size_t index, const TMidiNoteFilter& filter) {
  const TMidiWorkRecord& note = *list[index];
  for (size_t j = index; j-- > 0;) {
    const TMidiWorkRecord& other = *list[j];
    if (!other.IsNote || (filter && !filter(other))) continue;
    if (other.Position == note.Position && other.Link && !note.Link) return;
    if (other.Position == note.Position && other.Line() < note.Line()) {
      std::rotate(list.begin() + std::ptrdiff_t(j), list.begin() + std::ptrdiff_t(index),
                  list.begin() + std::ptrdiff_t(index) + 1);
      return;
    }
  }
}

std::unique_ptr<TMidiWorkRecord> SplitAtBarLine(TMidiWorkRecord& note, int32_t length) {
  auto tail = std::make_unique<TMidiWorkRecord>();
  tail->Source = note.Source;
  tail->IsNote = true;
  tail->Note = note.Note;
  tail->Velocity = note.Velocity;
  tail->Value = note.Position + note.Value - length;
  tail->Length = uint16_t(std::min(tail->Value, int32_t(UINT16_MAX)));
  if (!note.Chain) note.Chain = std::make_shared<TMidiWorkRecord::TChain>();
  tail->Link = note.Chain;
  note.Value = length - note.Position;
  note.Split = true;
  return tail;
}

}  // namespace

std::vector<TMidiTripletCell> QuantizeMeasure(TMidiWorkList& List, const TMidiNoteFilter& Filter, int32_t Length,
                                              int32_t Numerator, const TMidiGridOptions& Options,
                                              TMidiWorkList& Next) {
  TMidiGridOptions options = Options;
  options.Quantum = std::max(options.Quantum, 1);
  TGrid grid(Length, Numerator, options);
  std::vector<TMidiWorkRecord*> notes;
  for (auto& record : List)
    if (record->IsNote && (!Filter || Filter(*record))) notes.push_back(record.get());
  for (TMidiWorkRecord* note : notes) {
    if (note->Position + note->Value > Length + BarLineSlack)
      Next.insert(Next.begin(), SplitAtBarLine(*note, Length));
    grid.Add(note);
  }
  grid.ScoreCells();
  const std::vector<TEntry> chosen = grid.Choose();
  for (TMidiWorkRecord* note : notes) {
    // The first half of a split note takes the entry nearest its start like
    // any note (the measure's last entry would move it to the end of the
    // measure) and then reaches the bar line.
    const TEntry& e = NearestEntry(grid, chosen, note->Position);
    Snap(*note, grid, e, Length, options.Quantum);
    auto at = std::find_if(List.begin(), List.end(), [note](const auto& r) { return r.get() == note; });
    MoveAboveLowerNote(List, size_t(at - List.begin()), Filter);
  }
  std::vector<TMidiTripletCell> triplets;
  for (const TEntry& e : chosen)
    if (e.Kind == ekTriplet) {
      const TLevel& level = grid.Duple(e.Level);
      triplets.push_back({level.Start(e.Cell), level.CellLength, SubPoints(level.CellLength)});
    }
  return triplets;
}
