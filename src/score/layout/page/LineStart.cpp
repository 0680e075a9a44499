// What stands at the start of a system: the clef and key in force with the
// room they take, the part names and their indent, the brackets left of the
// system, and the measure numbers.

#include <algorithm>
#include <string>

#include "score/layout/LayoutServices.h"
#include "score/layout/page/LineStartGlyphs.h"
#include "score/layout/page/PageComposer.h"
#include "score/layout/staff/SignatureWidths.h"
#include "score/model/Lyric.h"
#include "score/model/Mark.h"
#include "score/model/Part.h"
#include "score/model/Piece.h"
#include "score/model/Score.h"
#include "score/model/Staff.h"

uint8_t ClefTableGlyph(uint16_t Code) {
  switch (Code) {
    case 1: case 4: case 5: case 12: case 16: case 17: return 34;
    case 2: case 6: case 18: return 35;
    case 3: case 7: case 8: case 9: case 10: case 11: return 36;
    default: return 0;
  }
}

int32_t ClefGlyphWidth(TKVFormatContext& Ctx, uint16_t Code) {
  Ctx.Glyph = ClefTableGlyph(Code);
  return GetClefWidth(Ctx, Code);
}

int32_t KeySignatureWidth(TKVFormatContext& Ctx, uint8_t FontIndex, uint8_t Count, const TByteBlock* Accidentals) {
  // A key of its own measures its glyphs; the others count five pixels an
  // accidental and one more (key 10 is no flat, and no key has more than
  // seven).
  if (Count == 20) return GetKeySignatureWidth(Ctx, FontIndex, 20, Accidentals, 0, nullptr);
  int32_t c = Count > 20 ? 6 : Count > 10 ? Count - 10 : Count == 10 ? 0 : Count;
  c = std::min(c, 7);
  return c == 0 ? 0 : (c * 5 + 1) * 8;
}

namespace {

int32_t ScaleBy(const TKVComposerContext& Ctx, int64_t Value, int64_t Percent = 100) {
  return Saturate32(Ctx.Scale() == 100 && Percent == 100 ? Value : Value * Ctx.Scale() * Percent / 10000);
}

TKVMark* MarkOf(const TKVDisplayItem* Display) { return Display ? ItemCast<TKVMark>(Display->Item) : nullptr; }

TKVPartLayoutRecord* PartRecord(const TKVComposerContext& Ctx, const TKVPart* Part) {
  const int32_t p = Part->Index();
  return p >= 0 && size_t(p) < Ctx.Record->PartRecords.size() ? Ctx.Record->PartRecords[size_t(p)].get() : nullptr;
}

// The clef in force on staff S of Part at the current measure, or nil.
TKVMark* ClefInForce(const TKVComposerContext& Ctx, const TKVPart* Part, int32_t S) {
  TKVPartLayoutRecord* record = PartRecord(Ctx, Part);
  if (!record || size_t(S) >= record->StaffRecords.size()) return nullptr;
  const TKVStaffLayoutRecord& staff = *record->StaffRecords[size_t(S)];
  return MarkOf(staff.ClefList.empty() ? staff.CarriedClef : staff.ClefList.front());
}

TKVMark* KeyInForce(const TKVComposerContext& Ctx, const TKVPart* Part) {
  TKVPartLayoutRecord* record = PartRecord(Ctx, Part);
  if (!record) return nullptr;
  return MarkOf(record->CarriedItem ? record->CarriedItem
                                    : record->CurrentItems.empty() ? nullptr : record->CurrentItems.front());
}

void SetClefFont(TKVComposerContext& Ctx, const TKVStaff& Staff) {
  TKVFormatContext& format = Ctx.Format();
  format.Canvas.Font = {Ctx.Score.MusicFontName(), std::max(1, ScaleBy(Ctx, 18, Staff.SizePercent())), 0};
}

int32_t KeyWidthOf(TKVComposerContext& Ctx, const TKVMark& Key) {
  TKVFormatContext& format = Ctx.Format();
  format.Canvas.Font = {Ctx.Score.MusicFontName(), 144, 0};
  return ScaleBy(Ctx, KeySignatureWidth(format, Key.FontIndex(), Key.Variant(), &Key.Extra()));
}

bool HasAccidentals(const TKVMark& Key) { return Key.Variant() != 0 && Key.Variant() != 10; }

// Names whose flag bit 0 is Later: the widest right edge.
int32_t NameIndent(const TKVComposerContext& Ctx, bool Later) {
  const TKVMeasureRecord* first = Ctx.MeasureRecord(0);
  if (!first) return 0;
  int32_t widest = 0;
  for (const TKVDisplayItem* name : first->TextDisplays) {
    const auto* lyric = ItemCast<const TKVLyric>(name->Item);
    if (lyric && ((lyric->Flags() & 1) != 0) == Later)
      widest = std::max(widest, Saturate32(int64_t(name->Bounds.Left) + name->Bounds.Width));
  }
  return widest;
}

}  // namespace

void PrepareLineStart(TKVComposerContext& Ctx) {
  TKVMeasureRecord& record = *Ctx.Record;
  const int32_t clefRoom = Ctx.Score.Settings().MetricWord(2), keyRoom = Ctx.Score.Settings().MetricWord(3);
  for (TKVPart* part : Ctx.Parts()) {
    for (int32_t s = 0; s < part->GetStaffCount(); ++s) {
      const TKVMark* clef = ClefInForce(Ctx, part, s);
      if (!clef) continue;
      SetClefFont(Ctx, *part->GetStaff(s));
      const int64_t width = int64_t(ClefGlyphWidth(Ctx.Format(), clef->Variant())) * 8 + clefRoom;
      uint16_t& word = record.Extents[ExtentWord::ClefWidth];
      word = uint16_t(std::clamp<int64_t>(std::max<int64_t>(word, width), 0, 0xFFFF));
    }
    if (const TKVMark* key = KeyInForce(Ctx, part); key && HasAccidentals(*key)) {
      uint16_t& word = record.Extents[ExtentWord::KeyWidth];
      word = uint16_t(std::clamp<int64_t>(std::max<int64_t>(word, int64_t(KeyWidthOf(Ctx, *key)) + keyRoom), 0, 0xFFFF));
    }
  }
  Ctx.SystemStartX = Saturate32(int64_t(Ctx.SystemStartX) + NameIndent(Ctx, Ctx.n != 0));
}

namespace {

// Clef and key display records of a system's first measure where the
// measure has none of its own.
void LayoutLineStart(TKVComposerContext& Ctx, TKVPart& Part) {
  TKVPartLayoutRecord* record = PartRecord(Ctx, &Part);
  if (!record) return;
  for (int32_t s = 0; s < Part.GetStaffCount() && size_t(s) < record->StaffRecords.size(); ++s) {
    TKVMark* clef = ClefInForce(Ctx, &Part, s);
    if (!clef || record->StaffRecords[size_t(s)]->FirstFlag) continue;
    Ctx.Staff = Part.GetStaff(s);
    SetClefFont(Ctx, *Ctx.Staff);
    const int32_t width = ClefGlyphWidth(Ctx.Format(), clef->Variant()) * 8;
    TKVDisplayItem& display = AddMeasureDisplay(Ctx, clef);
    SetClefExtent(clef->Variant(), display);
    display.Bounds = ScaleLayoutRect(Ctx.Format(), 0, display.Bounds.Top, width, display.Bounds.Bottom,
                                     display.SizePercent);
  }
  TKVMark* key = KeyInForce(Ctx, &Part);
  const bool own = key && key->DisplayLink && key->DisplayLink->Owner == Ctx.Record;
  if (!key || own || !HasAccidentals(*key) || Part.GetStaffCount() == 0) return;
  for (int32_t s = 0; s < Part.GetStaffCount(); ++s) {
    Ctx.Staff = Part.GetStaff(s);
    TKVDisplayItem& display = AddMeasureDisplay(Ctx, key);
    // Where the measure's own key stands: the page positions put it after
    // the clef's room.
    display.Bounds = ScaleLayoutRect(Ctx.Format(), 0, -120, KeyWidthOf(Ctx, *key), 192, display.SizePercent);
  }
}

// Later systems show the part names flagged for them, copied from the first
// measure (their indent was taken when the system was broken).
void CopyPartNames(TKVComposerContext& Ctx) {
  const TKVMeasureRecord* first = Ctx.MeasureRecord(0);
  if (Ctx.n == 0 || !first || first == Ctx.Record) return;
  for (TKVDisplayItem* name : first->TextDisplays) {
    auto* lyric = ItemCast<TKVLyric>(name->Item);
    if (!lyric || !(lyric->Flags() & 1)) continue;
    Ctx.Staff = name->Staff;
    TKVDisplayItem& copy = AddMeasureDisplay(Ctx, lyric);
    copy.Bounds = name->Bounds;
    copy.Bounds2 = name->Bounds2;
    copy.Link = name;
  }
}

void LayoutSystemBrackets(TKVComposerContext& Ctx) {
  int32_t d = 0, span = 0;
  for (TKVPart* part : Ctx.Parts()) {
    TKVPartLayoutRecord* record = PartRecord(Ctx, part);
    if (span > 0) --span; else d = 0;
    if (!record || part->GetStaffCount() == 0 || (Ctx.System->MeasureCount > 0 && !record->FirstFlag)) continue;
    Ctx.Staff = part->GetStaff(0);
    for (TKVItem* item : record->CarriedItems) {
      auto* bracket = ItemCast<TKVMark>(item);
      if (!bracket) continue;
      const int32_t w = bracket->Variant() == 0 ? 80 : 48;
      TKVDisplayItem& display = AddMeasureDisplay(Ctx, bracket);
      display.Link = bracket->DisplayLink;
      bracket->DisplayLink = &display;
      const int32_t x = bracket->OffsetX() - d - w, y = bracket->OffsetY();
      display.Bounds = {ScaleBy(Ctx, x), ScaleBy(Ctx, y), ScaleBy(Ctx, w), ScaleBy(Ctx, y)};
      Ctx.Record->Flags |= 4;
      d += w;
      span = std::max<int32_t>(span, bracket->Value());
    }
  }
}

}  // namespace

void FinishLineStart(TKVComposerContext& Ctx) {
  if (Ctx.System->MeasureCount == 0) {
    for (TKVPart* part : Ctx.Parts()) LayoutLineStart(Ctx, *part);
    CopyPartNames(Ctx);
  }
  LayoutSystemBrackets(Ctx);
}

void CarryStaffEntries(TKVComposerContext& Ctx) {
  const TKVMeasureRecord* previous = Ctx.MeasureRecord(Ctx.n - 1);
  if (!previous || Ctx.Record->NumberShown) return;
  Ctx.Record->NumberDisplay = previous->NumberDisplay;
}

bool ShowsMeasureNumber(uint8_t Mode, bool SystemStart, bool PageStart, uint16_t Number) {
  switch (Mode & 0x0F) {
    case 0: return true;
    case 1: return SystemStart;
    case 2: return PageStart;
    case 3: return Number != 0 && Number % 10 == 0;
    default: return false;
  }
}

void LayoutMeasureNumber(TKVComposerContext& Ctx) {
  TKVMeasureRecord& record = *Ctx.Record;
  TKVMark* mark = MarkOf(record.NumberDisplay);
  if (record.NumberShown || record.Covered || record.CoveredMeasures || !mark) return;
  const bool systemStart = Ctx.System->MeasureCount == 0;
  if (!ShowsMeasureNumber(mark->Flags(), systemStart, systemStart && Ctx.Page->SystemCount == 0, record.MeasureNumber))
    return;
  const TKVStaffLineRecord* line = Ctx.Page->GetStaffLine(Ctx.System->FirstStaffLine);
  Ctx.Staff = line ? line->Staff : nullptr;
  TKVDisplayItem& display = AddMeasureDisplay(Ctx, mark);
  display.Link = mark->DisplayLink;
  mark->DisplayLink = &display;
  TKVFormatContext& format = Ctx.Format();
  format.Canvas.Font = {TextFontName(Ctx.Score, 9, mark->Text1()), 48, mark->TextStyle()};
  const int32_t w = format.Canvas.TextWidth(std::to_string(record.MeasureNumber)) + ((mark->Flags() & 0x30) ? 48 : 0);
  display.Bounds = ScaleLayoutRect(format, mark->OffsetX(), mark->OffsetY() - 160, w, mark->OffsetY() - 48,
                                   display.SizePercent);
  record.NumberDisplay = &display;
}
