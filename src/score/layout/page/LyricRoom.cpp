// Room between the syllables of a verse: each syllable is joined to the
// next one of its verse on the same staff, and where the two would stand
// closer than the width of "- " (a syllable that continues a word) or " ",
// the time positions between them are widened before the measure is spaced.
// Only the measure being placed grows; the measures before it on the system
// are spaced already. Once the page stands, each hyphen is set midway
// between its syllable and the one before.

#include <algorithm>
#include <vector>

#include "score/layout/ItemFields.h"
#include "score/layout/page/PageComposer.h"
#include "score/layout/page/PageRecords.h"
#include "score/model/ItemKinds.h"
#include "score/model/Lyric.h"
#include "score/model/Score.h"

namespace {

uint32_t Low(uint32_t Entry) { return Entry & 0xFFFF; }
uint32_t High(uint32_t Entry) { return Entry >> 16; }

struct TSyllable {
  TKVDisplayItem* Display;
  TKVLyric* Lyric;
  TKVMeasureRecord* Record;
  int32_t Tick;
};

// Same staff, same verse, A first.
bool Partners(const TSyllable& A, const TSyllable& B) {
  if (A.Display->Staff != B.Display->Staff || A.Lyric->Verse() != B.Lyric->Verse()) return false;
  return A.Record->ColumnIndex < B.Record->ColumnIndex || (A.Record == B.Record && A.Tick < B.Tick);
}

std::vector<TSyllable> Syllables(TKVMeasureRecord& Record) {
  std::vector<TSyllable> syllables;
  for (TKVDisplayItem* d : Record.LyricDisplays)
    if (auto* lyric = d && !d->Hidden && d->Item && d->Item->Kind() == ItemKind::Syllable ? static_cast<TKVLyric*>(d->Item)
                                                                                           : nullptr)
      syllables.push_back({d, lyric, &Record, ItemPosition(lyric)});
  return syllables;
}

struct TLyricRoom {
  TKVComposerContext& Ctx;
  TKVMeasureRecord& Current;  // the measure being placed: its table still holds room per tick
  int64_t Scale;

  int32_t Last(const TKVMeasureRecord& R) const { return std::min<int32_t>(R.Length, int32_t(R.TickTable.size()) - 1); }

  int64_t StartWidths(const TKVMeasureRecord& R) const {
    const auto& e = R.Extents;
    return int64_t(e[ExtentWord::ExtraLeft]) + e[ExtentWord::ClefWidth] + e[ExtentWord::KeyWidth] +
           e[ExtentWord::StartSpace] + e[ExtentWord::ExtraStart];
  }

  // The x of Tick in R from its left edge: the spaced table's, the buffer's
  // (the nearest filled tick at or before it), or, for the measure being
  // placed, the sum of the room of its filled ticks as the spacing will add
  // it (the spacing's grid and stretch only add to it).
  int64_t X(const TKVMeasureRecord& R, int32_t Tick) const {
    const int32_t last = Last(R);
    if (last < 0) return 0;
    Tick = std::clamp(Tick, 0, last);
    const std::vector<uint32_t>& table = R.TickTable;
    if (R.Spaced) return int32_t(table[size_t(Tick)]);
    if (Ctx.UseBuffer) {
      int32_t t = Tick;
      while (t > 0 && table[size_t(t)] == 0) --t;
      return int64_t(table[size_t(t)]) + StartWidths(R);
    }
    // As the plain spacing adds it: the note interval with every tick's
    // room, unless the measure will get the spacing grid.
    const int64_t added = Ctx.Alignment <= 100 && (R.Flags & 0x30) < 0x20 ? 0 : Ctx.NoteSpacing;
    int64_t x = int64_t(Low(table[0])) * 8 * Scale / 100 + StartWidths(R);
    for (int32_t k = 0; k < Tick; ++k) {
      int64_t room = (int64_t(High(table[size_t(k)])) + Low(table[size_t(k) + 1])) * 8;
      if (Ctx.Alignment <= 100 && room != 0) room += added;
      x += room * Scale / 100;
    }
    return x;
  }

  // Distance from A's tick to B's, over the measures between them.
  int64_t Room(const TSyllable& A, const TSyllable& B) const {
    if (A.Record == B.Record) return X(*B.Record, B.Tick) - X(*A.Record, A.Tick);
    int64_t room = int64_t(A.Record->TotalWidth) - X(*A.Record, A.Tick) + Ctx.MeasureGap(A.Record->ColumnIndex);
    for (int32_t n = A.Record->ColumnIndex + 1; n < B.Record->ColumnIndex; ++n)
      if (const TKVMeasureRecord* r = Ctx.MeasureRecord(n); r && !r->Covered)
        room += int64_t(r->TotalWidth) + Ctx.MeasureGap(n);
    return room + X(*B.Record, B.Tick);
  }

  // Width of the hyphen or blank after A, in A's font.
  int64_t GapWidth(const TSyllable& A, const TSyllable& B) const {
    TKVLayoutCanvas& canvas = Ctx.Format().Canvas;
    canvas.Font = A.Lyric->LayoutFont();
    const int64_t w = canvas.TextWidth((B.Lyric->Flags() & 1) ? "- " : " ");
    canvas.Font = {Ctx.Score.MusicFontName(), 144, 0};
    return w;
  }

  // Widens the measure being placed by Needed units, spread over its time
  // positions from A (or the measure's start) to B.
  void Widen(const TSyllable& A, const TSyllable& B, int64_t Needed) const {
    TKVMeasureRecord& r = Current;
    std::vector<uint32_t>& table = r.TickTable;
    const int32_t from = A.Record == &r ? A.Tick : 0, to = std::min(B.Tick, Last(r));
    if (to < from || Ctx.X + int64_t(r.TotalWidth) >= Ctx.RightLimit) return;
    if (Ctx.UseBuffer) {
      for (int32_t t = from + 1; t <= Last(r); ++t)
        if (table[size_t(t)] != 0) table[size_t(t)] = uint32_t(Saturate32(int64_t(table[size_t(t)]) + Needed));
      r.TotalWidth = Saturate32(r.TotalWidth + Needed);
      r.MusicWidth = Saturate32(r.MusicWidth + Needed);
      return;
    }
    std::vector<int32_t> positions;
    for (int32_t t = from; t <= to; ++t)
      if (t == from || t == to || table[size_t(t)] != 0) positions.push_back(t);
    // Whole pixels a position, enough that the positions together cover
    // what is needed.
    const int64_t perPosition = (Needed + int64_t(positions.size()) - 1) / int64_t(positions.size());
    const int64_t step = std::max<int64_t>((perPosition * 100 + 8 * Scale - 1) / (8 * Scale), 1);
    const int64_t scaled = step * 8 * Scale / 100;
    auto grow = [&](int32_t t, int64_t before, int64_t after) {
      uint32_t& e = table[size_t(t)];
      e = uint32_t(std::min<int64_t>(Low(e) + before, 0xFFFF)) | uint32_t(std::min<int64_t>(High(e) + after, 0xFFFF)) << 16;
    };
    for (size_t i = 0; i < positions.size() && Needed > 0; ++i) {
      const int32_t t = positions[i];
      if (t == A.Tick && A.Record == &r)
        grow(t, 0, step);
      else if (i + 1 == positions.size())
        grow(t, step, 0);
      else
        grow(t, step / 2, step - step / 2);
      r.TotalWidth = Saturate32(r.TotalWidth + scaled);
      r.MusicWidth = Saturate32(r.MusicWidth + scaled);
      Needed -= scaled;
    }
  }

  // Returns whether to look further back for B's partner.
  bool Hyphens(const TSyllable& A, const TSyllable& B) const {
    if (!Partners(A, B)) return true;
    A.Lyric->SyllableLink = B.Lyric;
    const TKVLayoutRect &a = A.Display->Bounds, &b = B.Display->Bounds;
    if (!(b.Top < int64_t(a.Bottom) - 64 && int64_t(a.Top) + 64 < b.Bottom)) return false;
    const int64_t needed = int64_t(a.Left) + a.Width - Room(A, B) - b.Left + GapWidth(A, B);
    if (needed > 0) Widen(A, B, needed);
    return false;
  }
};

}  // namespace

void LayoutLyricSyllables(TKVComposerContext& Ctx) {
  TKVMeasureRecord* record = Ctx.MeasureRecord(Ctx.n);
  if (!record || record->Spaced || record->Covered || record->LyricDisplays.empty() || record->TickTable.empty())
    return;
  const int64_t scale = Ctx.Scale() > 0 ? Ctx.Scale() : 100;
  TLyricRoom room{Ctx, *record, scale};
  std::vector<TSyllable> here = Syllables(*record);
  std::vector<std::vector<TSyllable>> earlier;  // the system's measures before, nearest first
  for (int32_t n = Ctx.n - 1; n >= Ctx.SystemStart && n >= 0; --n)
    if (TKVMeasureRecord* r = Ctx.MeasureRecord(n); r && !r->Covered) earlier.push_back(Syllables(*r));
  for (size_t b = here.size(); b-- > 0;) {
    const TSyllable& B = here[b];
    bool goOn = true;
    auto meet = [&](const TSyllable& A) {
      if (Ctx.Alignment <= 100) {
        goOn = room.Hyphens(A, B);
      } else if (Partners(A, B)) {  // the measures keep their room
        A.Lyric->SyllableLink = B.Lyric;
        goOn = false;
      }
    };
    for (size_t a = b; a-- > 0 && goOn;) meet(here[a]);
    for (const std::vector<TSyllable>& measure : earlier)
      for (size_t a = measure.size(); a-- > 0 && goOn;) meet(measure[a]);
  }
}

void UnlinkLyricSyllables(TKVComposerContext& Ctx) {
  TKVMeasureRecord* record = Ctx.MeasureRecord(Ctx.n);
  if (!record || record->LyricDisplays.empty()) return;
  const std::vector<TSyllable> here = Syllables(*record);
  for (int32_t n = Ctx.SystemStart; n < Ctx.n; ++n)
    if (TKVMeasureRecord* r = Ctx.MeasureRecord(n))
      for (const TSyllable& A : Syllables(*r))
        if (std::any_of(here.begin(), here.end(), [&](const TSyllable& B) { return A.Lyric->SyllableLink == B.Lyric; }))
          A.Lyric->SyllableLink = nullptr;
}

void PlaceLyricHyphens(TKVComposerContext& Ctx, TKVSystemRecord& System) {
  auto measures = [&System](auto&& Visit) {
    for (uint16_t m = 0; m < System.MeasureCount && m < System.Measures.size(); ++m)
      if (TKVMeasureRecord* r = System.Measures[m]; r && !r->Covered)
        for (const TSyllable& s : Syllables(*r)) Visit(s);
  };
  TKVLayoutCanvas& canvas = Ctx.Format().Canvas;
  // The renderer draws the hyphen at the top left of the record's rectangle,
  // the text in its second one: the hyphen first stands just before its
  // syllable (where the word began on an earlier system)...
  measures([&](const TSyllable& B) {
    if (!(B.Lyric->Flags() & 1)) return;
    canvas.Font = B.Lyric->LayoutFont();
    B.Display->Bounds.Left = Saturate32(int64_t(B.Display->Bounds2.Left) - canvas.TextWidth("-"));
  });
  canvas.Font = {Ctx.Score.MusicFontName(), 144, 0};
  // ...and midway between the two syllables where both stand on the system.
  measures([&](const TSyllable& A) {
    auto* b = static_cast<TKVLyric*>(A.Lyric->SyllableLink);
    TKVDisplayItem* d = b ? b->DisplayLink : nullptr;
    if (!d || !(b->Flags() & 1) || !d->Owner || d->Owner->System != &System) return;
    const int64_t width = int64_t(d->Bounds2.Left) - d->Bounds.Left;
    d->Bounds.Left = Saturate32((int64_t(A.Display->Bounds2.Width) + d->Bounds2.Left - width) / 2);
  });
}
