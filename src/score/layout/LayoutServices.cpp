#include "score/layout/LayoutServices.h"

#include <algorithm>

#include "score/layout/ItemFields.h"
#include "score/layout/ScoreLayoutRecords.h"
#include "score/model/ItemKinds.h"
#include "score/model/Mark.h"
#include "score/model/MarkShapes.h"
#include "score/model/Measure.h"
#include "score/model/Note.h"
#include "score/model/Part.h"
#include "score/model/Piece.h"
#include "score/model/Score.h"
#include "score/model/Staff.h"

namespace {

int32_t Saturate(int64_t V) { return int32_t(std::clamp<int64_t>(V, INT32_MIN, INT32_MAX)); }

TKVMeasureRecord* PieceRecord(TKVFormatContext& Ctx, int32_t Index) {
  auto& records = Ctx.Piece.Layout().MeasureRecords;
  return Index >= 0 && size_t(Index) < records.size() ? records[size_t(Index)].get() : nullptr;
}

}  // namespace

TKVDisplayItem& AddDisplayItem(TKVFormatContext& Ctx, TKVItem* Item, bool ClearLink) {
  TKVMeasureRecord& record = *Ctx.Record;
  while (record.Displays.size() <= record.DisplayCount) record.Displays.push_back(std::make_unique<TKVDisplayItem>());
  TKVDisplayItem& display = *record.Displays[record.DisplayCount++];
  TKVDisplayItem* link = ClearLink ? nullptr : display.Link;
  display = TKVDisplayItem{};
  display.Link = link;
  display.Owner = &record;
  display.Item = Item;
  display.Staff = Ctx.Staff;
  display.SizePercent = Ctx.Staff ? Ctx.Staff->SizePercent() : 100;
  display.StaffIndex = Ctx.Staff ? Ctx.Staff->LayoutIndex : 0;
  display.LastStaff = display.StaffIndex;
  return display;
}

void ApplyItemSize(TKVDisplayItem& Display, uint8_t ItemSize) {
  if (ItemSize != 0) Display.SizePercent = uint8_t(std::min(Display.SizePercent * ItemSize / 100, 255));
}

void AddDynamic(TKVFormatContext& Ctx, TKVItem* Item, uint16_t Position, uint16_t Length, bool Local) {
  TKVMeasureRecord& record = *Ctx.Record;
  const uint16_t part = uint16_t(Ctx.Part ? Ctx.Part->Index() : 0);
  TKVDynamicRecord* previous = record.GetDynamic(record.DynamicCount - 1);
  TKVDynamicRecord& added = record.AddDynamic();
  TKVDynamicRecord* target = &added;
  if (previous && previous->PartIndex == part && previous->Position == Position) {
    added = *previous;  // the earlier one moves behind the new one
    added.StartVelocity = added.EndVelocity = 64;
    added.Disabled = 0;
    target = previous;
  }
  *target = TKVDynamicRecord{};
  target->Item = Item;
  target->PartIndex = part;
  target->Position = Position;
  target->Length = Length;
  target->Local = Local ? 1 : 0;
}

TKVPositionEntry& InsertPositionEntry(TKVFormatContext& Ctx, TKVItem* Item, int32_t Position, int After) {
  TKVMeasureRecord* target = Ctx.Record;
  if (Position < 0) {
    TKVMeasure* measure = Item ? Item->GetMeasure() : nullptr;
    int32_t m = std::min(measure ? measure->Index() : Ctx.ColumnIndex, Ctx.ColumnIndex);
    while (Position < 0 && m > 0) {
      TKVMeasureRecord* earlier = PieceRecord(Ctx, --m);
      if (!earlier) break;
      target = earlier;
      Position += earlier->Length;
    }
    if (target != Ctx.Record) {
      auto& targets = Ctx.Record->EarlierEntryTargets;
      if (std::find(targets.begin(), targets.end(), target) == targets.end()) targets.push_back(target);
    }
  }
  const uint16_t position = uint16_t(std::clamp(Position, 0, 65535));
  auto& list = target->Positions;
  size_t at = 0;
  for (size_t i = list.size(); i > 0; --i) {
    const TKVPositionEntry& entry = *list[i - 1];
    if (entry.Position < position) {
      at = i;
      break;
    }
    if (entry.Position == position) {
      at = i - 1 + (After ? 1 : 0);
      break;
    }
  }
  auto entry = std::make_unique<TKVPositionEntry>();
  entry->Item = Item;
  entry->Position = position;
  entry->OriginColumn = Ctx.ColumnIndex;
  return **list.insert(list.begin() + std::ptrdiff_t(at), std::move(entry));
}

void RemoveEarlierEntries(TKVFormatContext& Ctx) {
  for (TKVMeasureRecord* earlier : Ctx.Record->EarlierEntryTargets) {
    if (earlier == Ctx.Record) continue;
    std::erase_if(earlier->Positions, [&](const auto& e) { return e->OriginColumn == Ctx.ColumnIndex; });
  }
  Ctx.Record->EarlierEntryTargets.clear();
}

void CopyVoicePositions(TKVFormatContext& Ctx, const TKVMeasureRecord& Source, int32_t Count, uint8_t Voice,
                        uint16_t From, uint16_t To, uint16_t Target) {
  // The entries to copy first: the copies may go into Source itself. A copy
  // keeps the length the note plays with.
  std::vector<TKVPositionEntry> copies;
  const size_t count = std::min(size_t(std::max(Count, 0)), Source.Positions.size());
  for (size_t i = 0; i < count; ++i) {
    const TKVPositionEntry& entry = *Source.Positions[i];
    auto* note = ItemCast<TKVNote>(entry.Item);
    if (!note || note->Kind() != ItemKind::Note || note->StaffVoice() != Voice) continue;
    if (entry.Position < From || entry.Position + note->Duration() > To) continue;
    copies.push_back(entry);
  }
  for (const TKVPositionEntry& copy : copies)
    InsertPositionEntry(Ctx, copy.Item, copy.Position - From + Target, 1).Word = copy.Word;
}

namespace {

// Whether CopyMeasurePositions copies an entry of Item.
bool SelectedForCopy(const TKVItem* Item, int32_t PartIndex, uint8_t Selector) {
  if (!Item) return false;
  TKVPart* part = ItemPart(Item);
  const bool partMatches = part && part->Index() == PartIndex;
  const bool sameStaff = (ItemStaffVoice(Item) >> 4) == (Selector >> 4);
  switch (Item->Kind()) {
    case ItemKind::TempoMark:
    case ItemKind::MidiEvent:
    case ItemKind::Sound:
      return false;
    case ItemKind::Note:
    case ItemKind::Rest:
      return partMatches && ItemStaffVoice(Item) == Selector;
    case ItemKind::Effect:
      return partMatches;
    case ItemKind::Syllable:
    case ItemKind::LyricText:
    case ItemKind::Fermata:
    case ItemKind::Pedal:
    case ItemKind::Portamento:
      return partMatches && sameStaff;
    default:
      return true;
  }
}

}  // namespace

void CopyMeasurePositions(TKVFormatContext& Ctx, int32_t MeasureIndex, int32_t PartIndex, uint8_t Selector) {
  // Only records laid out before this column are complete.
  if (MeasureIndex < 0 || MeasureIndex >= Ctx.ColumnIndex) return;
  TKVMeasureRecord* source = PieceRecord(Ctx, MeasureIndex);
  if (!source || source == Ctx.Record) return;
  for (const auto& entry : source->Positions) {
    if (!SelectedForCopy(entry->Item, PartIndex, Selector)) continue;
    InsertPositionEntry(Ctx, entry->Item, entry->Position, 1).Word = entry->Word;
  }
}

void CopyRepeatedMeasurePositions(TKVFormatContext& Ctx) {
  for (TKVDisplayItem* display : Ctx.Record->ContinuingDisplays) {
    TKVItem* item = display->Item;
    if (!item || item->Kind() != ItemKind::MeasureRepeat) continue;
    TKVPart* part = ItemPart(item);
    CopyMeasurePositions(Ctx, Ctx.ColumnIndex - 2, part ? part->Index() : -1, ItemStaffVoice(item));
  }
}

TKVLayoutRect ScaleLayoutRect(const TKVFormatContext& Ctx, int32_t Left, int32_t Top, int32_t Width, int32_t Bottom,
                              int32_t Percent) {
  const int64_t scale = Ctx.Scale();
  if (scale == 100 && Percent == 100) return {Left, Top, Width, Bottom};
  auto scaled = [&](int32_t v) { return Saturate(int64_t(v) * scale * Percent / 10000); };
  return {scaled(Left), scaled(Top), scaled(Width), scaled(Bottom)};
}

int32_t ScaleByScore(const TKVFormatContext& Ctx, int32_t Value) {
  return Saturate(int64_t(Value) * Ctx.Scale() / 100);
}

void ApplyItemOffsets(const TKVFormatContext& Ctx, TKVLayoutRect& Rect, int16_t OffsetX, int16_t OffsetY) {
  const int32_t dy = ScaleByScore(Ctx, OffsetY);
  Rect.Top += dy;
  Rect.Bottom += dy;
  Rect.Left += ScaleByScore(Ctx, OffsetX);
}

void SelectLayoutSymbolFont(TKVFormatContext& Ctx, uint8_t FontIndex) {
  auto* store = FontIndex >= 12 ? dynamic_cast<TKVScoreLayoutRecords*>(Ctx.Score.LayoutRecords()) : nullptr;
  if (store && size_t(FontIndex - 12) < store->SymbolFonts.size()) {
    const TKVSymbolFontEntry& entry = store->SymbolFonts[size_t(FontIndex - 12)];
    if (Ctx.Glyph < entry.Glyphs.size() && entry.Glyphs[Ctx.Glyph][0] != 0) {
      Ctx.SymbolFontEntry = &entry;
      Ctx.Canvas.Font.Name = entry.FontName;
      Ctx.Canvas.Font.Size = Ctx.Canvas.Font.Size * entry.SizePercent / 100;
      Ctx.Glyph = uint8_t(entry.Glyphs[Ctx.Glyph][0] & 0xFF);
      return;
    }
  }
  Ctx.Canvas.Font.Name = MusicFontAt(Ctx.Score, FontIndex);
}

int32_t SymbolGlyphWidth(TKVFormatContext& Ctx, uint8_t Glyph, uint8_t FontIndex, bool AtFullSize) {
  auto reset = [&] {
    Ctx.Canvas.Font = {Ctx.Score.MusicFontName(), 144, 0};
    Ctx.SymbolFontEntry = nullptr;
  };
  reset();
  Ctx.Glyph = Glyph;
  SelectLayoutSymbolFont(Ctx, FontIndex);
  if (AtFullSize) Ctx.Canvas.Font.Size = 144;
  const int32_t width = Ctx.Canvas.CharWidth(Ctx.Glyph);
  reset();
  return width;
}

std::string TextFontName(const TKVScore& Score, int32_t Role, const std::string& Own) {
  if (!Own.empty()) return Own;
  std::string name = Score.TextFonts().Name(Role);
  return name.empty() ? "Arial" : name;
}
