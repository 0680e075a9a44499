// Which measures stand on a system, each measure's width from the room its
// display records need (plainly per tick, or voice by voice through the
// spacing buffer), and the stretch of a finished system to the right limit.

#include <algorithm>

#include "base/Strings.h"
#include "score/layout/ItemFields.h"
#include "score/layout/measure/MeasureSpacing.h"
#include "score/layout/page/PageComposer.h"
#include "score/model/Column.h"
#include "score/model/Item.h"
#include "score/model/ItemKinds.h"
#include "score/model/Measure.h"
#include "score/model/Note.h"
#include "score/model/Part.h"
#include "score/model/Pause.h"
#include "score/model/Piece.h"
#include "score/model/Score.h"
#include "score/model/Staff.h"

namespace {

uint32_t Low(uint32_t Entry) { return Entry & 0xFFFF; }
uint32_t High(uint32_t Entry) { return Entry >> 16; }

int32_t MetricWord(const TKVComposerContext& Ctx, int Index) {
  return Ctx.Score.Settings().MetricWord(Index);
}

// The widths printed at the measure's start and end.
int64_t ElementWidths(const TKVMeasureRecord& Record) {
  int64_t sum = 0;
  for (int i : {0, 1, 2, 4, 5, 6, 7, 8}) sum += Record.Extents[size_t(i)];
  return sum;
}

// The factor of a note's least room after it at alignments from 50 on: 1,
// 2, 4 ... 32 for durations of up to 16, 32, 64 ... ticks and more.
int32_t DurationFactor(int32_t Duration) {
  int32_t f = 32;
  for (int32_t limit = 16, v = 1; limit <= 256; limit *= 2, v *= 2)
    if (Duration <= limit) {
      f = v;
      break;
    }
  return f;
}

// A rest that fills the measure of a one-voice staff (longer than 256
// ticks, its value the measure's length) counts as the shortest note.
bool FillsItsMeasure(const TKVPause& Rest, const TKVMeasureRecord& Record, int32_t Duration) {
  const TKVMeasure* measure = Rest.GetMeasure();
  return Duration > 256 && Rest.Value() == Record.Length && measure &&
         !measure->StaffHasVoices(ItemStaff(Rest.StaffVoice()));
}

// A tick holds an entry once an item of the measure reserved room there: in
// the measure's table with plain spacing, in a voice's table voice-wise.
bool HoldsEntry(const TKVComposerContext& Ctx, int32_t Tick) {
  const std::vector<uint32_t>& table = Ctx.Record->TickTable;
  if (!Ctx.UseBuffer) return size_t(Tick) < table.size() && table[size_t(Tick)] != 0;
  for (size_t v = 0; v < Ctx.Voices.size(); ++v)
    if ((Ctx.UsedVoices & (1u << v)) && size_t(Tick) < Ctx.Voices[v].HasItem.size() && Ctx.Voices[v].HasItem[size_t(Tick)])
      return true;
  return false;
}

bool InGraceGroup(const TKVItem* Item) {
  const auto* owner = Item->OwnerItem();
  return owner && owner->Kind() == ItemKind::GraceGroup;
}

struct TRoomState {
  int32_t WidestAfter = 0;
};

// Reserves the room of one display record by its item's kind; a bar line
// inside the measure is anchored to the time position before it.
void ReserveRoom(TKVComposerContext& Ctx, TKVDisplayItem& Display, TRoomState& State) {
  const TKVItem* item = Display.Item;
  switch (item->Kind()) {
    case ItemKind::BeatRepeat: case ItemKind::SecondNote: case ItemKind::Note: case ItemKind::Rest:
    case ItemKind::GraceGroup: case ItemKind::Accidental: case ItemKind::Clef: case ItemKind::KeySignature:
    case ItemKind::Arpeggio: case ItemKind::HalfBracket: case ItemKind::Tremolo: case ItemKind::SquareBracket:
    case ItemKind::BarLine:
      break;
    default:
      return;  // reserves nothing: no need to read its fields
  }
  const int32_t tick = ItemPosition(item);
  const int32_t voice = ItemStaffVoice(item) & 15;
  const bool content = Ctx.Alignment <= 100;
  const bool marker = !content && Ctx.UseBuffer;
  const TKVMeasureRecord& record = *Ctx.Record;
  switch (item->Kind()) {
    case ItemKind::BeatRepeat:
    case ItemKind::SecondNote:
      if (content) RegisterTickRoom(Ctx, voice, tick, Display.LeftSpace, Display.RightSpace);
      else if (marker) RegisterTickRoom(Ctx, voice, tick, 1, 0);
      break;
    case ItemKind::Note:
    case ItemKind::Rest: {
      if (InGraceGroup(item)) break;
      // A rest takes room only on a staff shown on the system and inside
      // its measure; a filler rest has no least room of its own.
      const auto* rest = item->Kind() == ItemKind::Rest ? ItemCast<const TKVPause>(item) : nullptr;
      if (rest && (tick >= int32_t(record.Length) || !Display.Staff || !Ctx.Shown(Display.Staff))) break;
      if (marker) {
        RegisterTickRoom(Ctx, voice, tick, 1, 0);
        break;
      }
      if (!content) break;
      const int32_t duration = ItemEnd(item) - tick;
      int32_t after = Display.RightSpace;
      State.WidestAfter = std::max(State.WidestAfter, after);
      if (Ctx.Alignment >= 50 && !(rest && rest->Hidden()) && tick + duration < int32_t(record.Length) - 2) {
        const int32_t f = rest && FillsItsMeasure(*rest, record, duration) ? 1 : DurationFactor(duration);
        after = std::max(after, (Ctx.Alignment - 49) * f);
      }
      if (!Ctx.UseBuffer) {
        int32_t remaining = after;
        for (int32_t t = tick + 1; t <= tick + duration && remaining > 4; ++t, --remaining)
          if (t < int32_t(record.Length) && size_t(t) < record.TickTable.size() && Low(record.TickTable[size_t(t)]) == 0)
            Ctx.Record->TickTable[size_t(t)] |= 1;
      }
      RegisterTickRoom(Ctx, voice, tick, Display.LeftSpace, after);
      break;
    }
    case ItemKind::GraceGroup:
      if (!content) break;
      State.WidestAfter = std::max<int32_t>(State.WidestAfter, Display.RightSpace);
      RegisterTickRoom(Ctx, voice, tick, Display.LeftSpace, Display.RightSpace);
      break;
    case ItemKind::Accidental:
      if (content && !InGraceGroup(item)) RegisterTickRoom(Ctx, voice, tick, Display.LeftSpace, 0);
      break;
    case ItemKind::Clef:
    case ItemKind::KeySignature:
    case ItemKind::Arpeggio:
    case ItemKind::HalfBracket:
    case ItemKind::Tremolo:
    case ItemKind::SquareBracket:
      if (!Display.Staff) break;
      if (content) RegisterTickRoom(Ctx, voice, tick, Display.LeftSpace, Display.RightSpace);
      else if (marker) RegisterTickRoom(Ctx, voice, tick, 1, 0);
      break;
    case ItemKind::BarLine: {
      int32_t anchor = tick;
      for (int32_t t = tick - 1; t >= 0; --t)
        if (HoldsEntry(Ctx, t)) {
          anchor = t;
          break;
        }
      Display.AnchorTick = uint16_t(anchor);
      break;
    }
    default:
      break;
  }
}

// Step 6: the widths of the time positions, tick by tick.
int64_t PlainMusicWidth(TKVComposerContext& Ctx, const std::vector<int16_t>& Offsets) {
  TKVMeasureRecord& record = *Ctx.Record;
  std::vector<uint32_t>& table = record.TickTable;
  const int32_t length = std::min<int32_t>(record.Length, int32_t(table.size()) - 1);
  const int64_t scale = Ctx.Scale();
  if (length >= 1) {
    table[0] = std::max<uint32_t>(Low(table[0]), uint32_t(MetricWord(Ctx, 0) / 8)) | (High(table[0]) << 16);
    uint32_t& end = table[size_t(length) - 1];
    end = Low(end) | (std::max<uint32_t>(High(end), uint32_t(MetricWord(Ctx, 1) / 8)) << 16);
  }
  int64_t music = int64_t(Low(table[0])) * 8 * scale / 100;
  int64_t sum = 0;
  for (int32_t i = 0; i + 1 < length; ++i) {
    int64_t d = (int64_t(High(table[size_t(i)])) + Low(table[size_t(i) + 1])) * 8;
    if (d != 0 && Ctx.NoteSpacing > 0) d += Ctx.NoteSpacing;
    d = d * scale / 100;
    if (!Ctx.Settings.KeepJustification && size_t(i) < Offsets.size() && (d != 0 || Ctx.Alignment >= 100))
      d += Offsets[size_t(i)];
    sum += std::max<int64_t>(d, 0);
  }
  if (length >= 1) music += int64_t(High(table[size_t(length) - 1])) * scale / 100 * 8;
  return music + sum;
}

// Step 7: the spacing buffer walked voice by voice.
int64_t BufferMusicWidth(TKVComposerContext& Ctx, const std::vector<int16_t>& Offsets, int32_t WidestAfter) {
  TKVMeasureRecord& record = *Ctx.Record;
  const int32_t length = std::min<int32_t>(record.Length, int32_t(record.TickTable.size()) - 1);
  const int64_t scale = Ctx.Scale();
  std::vector<TKVSpacingEntry>& buffer = Ctx.Buffer;
  buffer.clear();
  buffer.push_back({0, 0, MetricWord(Ctx, 0)});
  std::vector<int32_t> previous(Ctx.Voices.size(), 0);
  std::vector<size_t> used;
  for (size_t v = 0; v < Ctx.Voices.size(); ++v)
    if (Ctx.UsedVoices & (1u << v)) used.push_back(v);
  for (int32_t i = 0; i <= length; ++i)
    for (size_t v : used) {
      TKVVoiceSpacing& voice = Ctx.Voices[v];
      if (size_t(i) >= voice.Room.size() || !voice.HasItem[size_t(i)]) continue;
      const uint32_t here = voice.Room[size_t(i)];
      const int32_t distance =
          i == 0 ? int32_t(Low(here)) * 8 : int32_t(High(voice.Room[size_t(previous[v])]) + Low(here)) * 8;
      if (buffer.size() == buffer.capacity()) buffer.reserve(buffer.size() + 64);
      buffer.push_back({uint16_t(i), uint16_t(previous[v]), distance});
      previous[v] = i;
      voice.LastTick = uint16_t(i);
    }
  int64_t m = 0;
  int32_t lastTick = 0;
  for (const TKVSpacingEntry& entry : buffer) {
    int64_t x = int64_t(entry.Distance) * scale / 100;
    if (entry.Tick != 0) x += record.TickTable[entry.Previous];
    if (x != 0 && Ctx.NoteSpacing > 0) x += int64_t(Ctx.NoteSpacing) * scale / 100;
    if (!Ctx.Settings.KeepJustification && entry.Tick < Offsets.size() && (x != 0 || Ctx.Alignment >= 100))
      x += Offsets[entry.Tick];
    x = std::max<int64_t>(x, 0);
    if (x > m)
      m = x;
    else if (entry.Tick > lastTick && Ctx.Alignment <= 100)
      m += Ctx.LineSpace;
    record.TickTable[entry.Tick] = uint32_t(Saturate32(m));
    lastTick = entry.Tick;
  }
  int64_t trailing = std::max<int64_t>(MetricWord(Ctx, 1), int64_t(WidestAfter) * 8);
  for (const TKVVoiceSpacing& voice : Ctx.Voices)
    if (voice.LastTick < voice.Room.size()) trailing = std::max<int64_t>(trailing, int64_t(High(voice.Room[voice.LastTick])) * 8);
  return m + trailing;
}

void ResetVoices(TKVComposerContext& Ctx, int32_t Length) {
  if (!Ctx.UseBuffer) return;
  // Voices by the low nibble of their items' voice byte; only those the
  // last measure used hold anything.
  Ctx.Voices.resize(16);
  for (size_t v = 0; v < Ctx.Voices.size(); ++v) {
    TKVVoiceSpacing& voice = Ctx.Voices[v];
    if (voice.Room.size() != size_t(Length) + 1) {
      voice.Room.assign(size_t(Length) + 1, 0);
      voice.HasItem.assign(size_t(Length) + 1, 0);
    } else if (Ctx.UsedVoices & (1u << v)) {
      std::fill(voice.Room.begin(), voice.Room.end(), 0);
      std::fill(voice.HasItem.begin(), voice.HasItem.end(), 0);
    }
    voice.LastTick = 0;
  }
  Ctx.UsedVoices = 0;
}

}  // namespace

void PlaceSystems(TKVComposerContext& Ctx) {
  TKVPieceLayoutRecords& layout = Ctx.Piece->Layout();
  const int32_t n = Ctx.n;
  const TKVComposerSettings& settings = Ctx.Settings;
  if (n >= layout.MeasureRecordCount) {
    // A fill measure past the music: empty, of the least width.
    if (n < TKVScore::MaxMeasuresOnDemand) Ctx.Score.FormatMeasure(Ctx.PieceIndex, n);
    Ctx.Record = Ctx.MeasureRecord(n);
    if (!Ctx.Record) Ctx.FillEnded = true;
    if (!Ctx.Record || Ctx.Record->Covered) return;
    TKVMeasureRecord& record = *Ctx.Record;
    if (Ctx.UseBuffer) std::fill(record.TickTable.begin(), record.TickTable.end(), 0);
    if (n == Ctx.SystemStart) PrepareLineStart(Ctx);
    if (Ctx.UseBuffer && !record.TickTable.empty()) record.TickTable[0] = uint32_t(MetricWord(Ctx, 0));
    int64_t width = int64_t(record.Extents[ExtentWord::ClefWidth]) + record.Extents[ExtentWord::KeyWidth] +
                    settings.MinMeasureWidth;
    // At least a pixel, so that the fill always ends the line.
    if (Ctx.FillOn()) width = std::max<int64_t>(width, 8);
    record.TotalWidth = Saturate32(width);
    record.Flags |= 1;
    return;
  }
  Ctx.Record = Ctx.MeasureRecord(n);
  if (!Ctx.Record || Ctx.Record->Covered) return;
  TKVMeasureRecord& record = *Ctx.Record;
  if (n == Ctx.SystemStart) PrepareLineStart(Ctx);
  if (record.Spaced || record.TickTable.empty()) return;
  ResetVoices(Ctx, record.Length);
  std::fill(record.TickTable.begin(), record.TickTable.end(), 0);
  TRoomState state;
  for (int32_t i = 0; i < record.DisplayCount; ++i) {
    TKVDisplayItem* display = record.GetDisplay(i);
    if (display->Item && display->RecordType == DisplayRecordType::Item && !display->Hidden)
      ReserveRoom(Ctx, *display, state);
  }
  const std::vector<int16_t> offsets = ColumnOffsets(Ctx, n);
  const int64_t music = Ctx.UseBuffer ? BufferMusicWidth(Ctx, offsets, state.WidestAfter) : PlainMusicWidth(Ctx, offsets);
  int64_t width = music + ElementWidths(record);
  const int64_t least = int64_t(MetricWord(Ctx, 1)) + settings.MinMusicWidth;
  if (Ctx.Alignment <= 100 && music < least) width = least + ElementWidths(record);
  width = std::max<int64_t>(width, settings.MinMeasureWidth);
  record.MusicWidth = Saturate32(music);
  record.TotalWidth = Saturate32(width);
  record.Flags |= 1;
}

namespace {

// Which staves the system shows: by the piece's visibility table, with a
// running staff-line number k across the staves of the parts (the table
// grows while a score is composed); the first staff when none is shown.
// Nothing here depends on the measures, so the system placement of each
// measure knows it (a rest takes room only on a shown staff).
void ShowSystemStaves(TKVComposerContext& Ctx, const std::vector<TKVPart*>& Parts) {
  std::fill(Ctx.StaffShown.begin(), Ctx.StaffShown.end(), 0);
  std::vector<uint8_t>& table = Ctx.Piece->Layout().StaffVisibility;
  int64_t k = int64_t(Ctx.Page->StaffLineCounter) + (Ctx.NewPage ? 0 : 1);
  for (TKVPart* part : Parts)
    for (int32_t s = 0; s < part->GetStaffCount(); ++s, ++k) {
      if (Ctx.Settings.Composing && !Ctx.Finished && uint64_t(k) >= table.size() && k < 0x10000) {
        table.resize(size_t(k) + 1);
        table[size_t(k)] = 1;
      }
      const bool shown = uint64_t(k) >= table.size() || !(table[size_t(k)] & 1);
      const int32_t index = part->GetStaff(s)->LayoutIndex;
      if (index < 0) continue;
      if (size_t(index) >= Ctx.StaffShown.size()) Ctx.StaffShown.resize(size_t(index) + 1, 0);
      if (shown) Ctx.StaffShown[size_t(index)] = 1;
    }
  if (std::none_of(Ctx.StaffShown.begin(), Ctx.StaffShown.end(), [](uint8_t s) { return s != 0; }))
    for (TKVPart* part : Parts)
      if (part->GetStaffCount() > 0) {
        const int32_t index = std::max(part->GetStaff(0)->LayoutIndex, 0);
        if (size_t(index) >= Ctx.StaffShown.size()) Ctx.StaffShown.resize(size_t(index) + 1, 0);
        Ctx.StaffShown[size_t(index)] = 1;
        break;
      }
}

}  // namespace

void BreakSystem(TKVComposerContext& Ctx) {
  Ctx.X = Saturate32(int64_t(TenthsToUnits(Ctx.LeftEdge)) + Ctx.SpacingEntry(1, Ctx.SystemNumber));
  Ctx.RightLimit = Saturate32(int64_t(TenthsToUnits(Ctx.RightEdge)) + Ctx.SpacingEntry(2, Ctx.SystemNumber));
  const int32_t start = Ctx.n;
  Ctx.SystemStartX = Ctx.X;
  Ctx.SystemStart = start;
  if (TKVMeasureRecord* first = Ctx.MeasureRecord(start)) first->Spaced = 0;
  const std::vector<TKVPart*> parts = Ctx.Parts();
  ShowSystemStaves(Ctx, parts);
  bool forced = false;
  for (;;) {
    PlaceSystems(Ctx);
    LayoutLyricSyllables(Ctx);
    if (Ctx.n == start) Ctx.X = Ctx.SystemStartX;  // after the part names' indent
    TKVMeasureRecord* record = Ctx.MeasureRecord(Ctx.n);
    const int64_t width = record && !record->Covered ? record->TotalWidth : 0;
    if (Ctx.n != start && (Ctx.Page->PendingPageBreaks || forced || Ctx.RightLimit <= Ctx.X + width ||
                           (Ctx.Alignment > 100 && Ctx.n - start >= Ctx.Alignment - 100))) {
      // The measure goes to the next system: no syllable of this one leads
      // into it.
      UnlinkLyricSyllables(Ctx);
      break;
    }
    if (record) {
      Ctx.Record = record;
      CalcMeasureSpacing(Ctx);
    }
    Ctx.X = Saturate32(int64_t(Ctx.X) + Ctx.MeasureGap(Ctx.n));
    if (const TKVColumn* column = Ctx.Piece->GetColumn(Ctx.n)) {
      Ctx.Page->PendingPageBreaks = column->Data().u16(ColumnBlock::PageBreak);
      forced = column->Data().u8(ColumnBlock::SystemBreak) != 0;
    } else {
      forced = false;
    }
    ++Ctx.n;
    Ctx.X = Saturate32(int64_t(Ctx.X) + width);
    if (Ctx.n >= TKVScore::MaxMeasuresOnDemand) Ctx.FillEnded = true;
    if (Ctx.FillOn()) continue;
    if (IsPieceFinished(Ctx)) break;
  }
  Ctx.SystemEnd = Ctx.n;
  Ctx.n = start;
}

namespace {

// Adds Amount to entries From .. length of Record's table (a difference
// array per measure, applied once at the end).
struct TStretch {
  TKVMeasureRecord* Record;
  std::vector<int64_t> Delta;
};

void ApplyStretch(std::vector<TStretch>& Measures) {
  for (TStretch& m : Measures) {
    int64_t add = 0;
    std::vector<uint32_t>& table = m.Record->TickTable;
    for (size_t k = 0; k < table.size() && k < m.Delta.size(); ++k) {
      add += m.Delta[k];
      table[k] = uint32_t(Saturate32(int64_t(table[k]) + add));
    }
    m.Record->TotalWidth = Saturate32(int64_t(m.Record->TotalWidth) + add);
  }
}

}  // namespace

void JustifySystem(TKVComposerContext& Ctx) {
  TKVSystemRecord& system = *Ctx.System;
  const TKVComposerSettings& settings = Ctx.Settings;
  const bool fillJustify = settings.JustifyInFill && !Ctx.Piece->Separate() && Ctx.FillOn();
  if (!(Ctx.Alignment > 100 || fillJustify || Ctx.Stretch || settings.KeepJustification)) return;
  std::vector<TStretch> placed;
  int32_t longest = 0;
  for (uint16_t i = 0; i < system.MeasureCount; ++i) {
    TKVMeasureRecord* record = system.Measures[i];
    if (!record || record->Covered || record->TickTable.empty()) continue;
    const int32_t length = std::min<int32_t>(record->Length, int32_t(record->TickTable.size()) - 1);
    placed.push_back({record, std::vector<int64_t>(size_t(length) + 1, 0)});
    longest = std::max(longest, length);
  }
  if (placed.empty()) return;
  const int64_t lastRight = placed.back().Record->RightX;
  if (Ctx.Alignment <= 100) {
    if (settings.KeepJustification)
      for (TStretch& m : placed)
        if (TKVColumn* column = Ctx.Piece->GetColumn(m.Record->ColumnIndex)) column->Words().clear();
    int64_t free = std::max<int64_t>(int64_t(Ctx.RightLimit) - lastRight, 0) / 8 * 8;
    // Halving rounds: ticks stride - 1, 2 stride - 1, ... of every measure
    // long enough get 8 units each, the stride halving down to 1.
    for (int32_t stride = longest; free >= 8 && longest >= 1;) {
      bool added = false;
      for (int32_t t = stride - 1; t < longest && free >= 8; t += stride)
        for (TStretch& m : placed) {
          if (free < 8) break;
          if (int32_t(m.Delta.size()) - 1 < t) continue;
          m.Delta[size_t(t)] += 8;
          free -= 8;
          added = true;
          if (settings.KeepJustification)
            if (TKVColumn* column = Ctx.Piece->GetColumn(m.Record->ColumnIndex)) {
              std::vector<uint16_t>& words = column->Words();
              if (words.size() <= size_t(t)) words.resize(size_t(t) + 1, 0);
              words[size_t(t)] = uint16_t(words[size_t(t)] + 8);
            }
        }
      if (!added) break;
      if (stride > 1) stride /= 2;
    }
  } else {
    const int64_t free = int64_t(Ctx.RightLimit) - lastRight;
    if (free > 0) {
      int64_t total = 0;
      for (const TStretch& m : placed) total += int64_t(m.Delta.size());
      // Shares of whole units that sum to the free room exactly.
      int64_t given = 0, counted = 0;
      for (TStretch& m : placed)
        for (size_t k = 0; k < m.Delta.size(); ++k) {
          ++counted;
          const int64_t due = free * counted / total;
          m.Delta[k] += due - given;
          given = due;
        }
    }
  }
  ApplyStretch(placed);
  int64_t x = placed.front().Record->LeftX;
  for (size_t i = 0; i < placed.size(); ++i) {
    TKVMeasureRecord& record = *placed[i].Record;
    if (i > 0) x += Ctx.MeasureGap(placed[i - 1].Record->ColumnIndex);
    record.LeftX = Saturate32(x);
    record.RightX = Saturate32(x + record.TotalWidth);
    x = record.RightX;
  }
}
