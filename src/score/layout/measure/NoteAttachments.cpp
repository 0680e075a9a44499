// Records of what is attached to a note: accidentals, ties and slurs, dots
// and the marks of kinds 70 to 72.

#include <algorithm>
#include <string>

#include "score/layout/LayoutServices.h"
#include "score/layout/measure/NoteParts.h"
#include "score/layout/staff/StaffSupport.h"
#include "score/model/ItemKinds.h"
#include "score/model/Liga.h"
#include "score/model/Mark.h"
#include "score/model/Measure.h"
#include "score/model/Note.h"
#include "score/model/Score.h"

namespace {

constexpr uint8_t AttachmentFlag = 0x10;  // display flag of accidentals and marks held by a note

int32_t Saturate(int64_t V) { return int32_t(std::clamp<int64_t>(V, INT32_MIN, INT32_MAX)); }

// Value times the score's scale and the head's size.
int32_t ScaledByHead(const TKVFormatContext& Ctx, const TKVDisplayItem& Head, int32_t Value) {
  return Saturate(int64_t(Value) * Ctx.Scale() * Head.SizePercent / 10000);
}

// Height of one end of a slur beside the head: above or below it, at the
// stem's end for a slur drawn from the stem.
int32_t SlurEndY(const TKVFormatContext& Ctx, const TKVNote& Note, const TKVDisplayItem& Head, uint8_t Flags,
                 int32_t Offset) {
  const bool straight = ((Flags >> 2) & 3) == 2;
  if (straight) return Head.Bounds.Top + ScaledByHead(Ctx, Head, Offset);
  const bool fromStem = (Flags & 0x20) != 0 && Note.Value() < 512;
  const int32_t clearance = fromStem ? Note.StemLength() * 8 : 16;
  if ((Flags & 1) == 0) return Head.Bounds.Top + ScaledByHead(Ctx, Head, Offset - clearance);
  return Head.Bounds.Bottom + ScaledByHead(Ctx, Head, Offset + clearance);
}

// Returns the record when the slur is the note's tie.
TKVDisplayItem* LayoutSlur(TKVFormatContext& Ctx, TKVStaffPass& Pass, TKVNote& Note, const TKVNoteHead& Head,
                           TKVLiga& Slur) {
  const TKVDisplayItem& head = *Head.Record;
  // The end's staff and voice are at least the note's.
  const uint8_t own = Note.StaffVoice(), end = Slur.Data().u8(LigaBlock::EndStaffVoice);
  Slur.Data().setU8(LigaBlock::EndStaffVoice,
                    uint8_t(std::max(end & 0xF0, own & 0xF0) | std::max(end & 0x0F, own & 0x0F)));
  TKVDisplayItem& record = AddDisplayItem(Ctx, &Slur, true);
  const uint16_t span = Slur.Data().u16(LigaBlock::Length);
  const int32_t endTick = Note.Position() + (span != 0 ? span : Note.Duration());
  record.Param = uint16_t(std::min(endTick, 65535));
  int32_t endHeight = 0;
  if (endTick < Ctx.Record->Length) {
    endHeight = GetClefOffset(Ctx, uint16_t(endTick)) * Pass.LineStep / 2;
  } else {
    Pass.LongNotes.push_back(&record);
    // Carried on to the measures it reaches, where the page composer cuts
    // it at a system's end.
    Ctx.Record->ContinuingDisplays.push_back(&record);
  }
  const uint8_t flags = Slur.Flags();
  const bool level = (flags & 2) != 0;
  const int32_t straightRoom = ((flags >> 2) & 3) == 2 && !level ? ScaledByHead(Ctx, head, 64) : 0;
  TKVLayoutRect& points = record.Bounds2;
  points.Left = ScaleByScore(Ctx, Slur.FirstOffset()) + Head.Shift + straightRoom;
  points.Top = SlurEndY(Ctx, Note, head, flags, Slur.Data().i16(LigaBlock::FirstOffsetY));
  points.Width = ScaleByScore(Ctx, Slur.SecondOffset()) - straightRoom;
  // A tie ends beside a head of its note's height; a slur's end height is
  // stored from the staff (as its end note's line is, the clef aside), as
  // in a grace group and in the piece of a slur that goes on to the next
  // system.
  const int32_t endOffset = Slur.Data().i16(LigaBlock::SecondOffsetY);
  points.Bottom = (flags & 0x10) != 0 ? SlurEndY(Ctx, Note, head, flags, endOffset)
                                      : ScaledByHead(Ctx, head, endOffset + endHeight);
  if (level) {
    points.Bottom = points.Top;
    points.Left = Slur.FirstOffset();
    points.Width = Slur.SecondOffset();
    record.Flags = 2;
    return nullptr;
  }
  const bool slurOnly = (flags & (1 << LigaFlag::SlurOnly)) != 0;
  return (flags & 0x10) != 0 || (span == Note.Duration() && !slurOnly) ? &record : nullptr;
}

void LayoutDots(TKVFormatContext& Ctx, TKVStaffPass& Pass, TKVNote& Note, const TKVNoteHead& Head, TKVMark& Dots) {
  TKVDisplayItem& head = *Head.Record;
  TKVDisplayItem& record = AddDisplayItem(Ctx, &Dots, true);
  record.Flags |= AttachmentFlag;
  ApplyItemSize(record, Dots.SizePercent());
  const int32_t count = Dots.Value() + 1;
  Note.PlayState &= uint8_t(count);
  record.Bounds = ScaleLayoutRect(Ctx, 0, -8, 0, 0, record.SizePercent);
  const int32_t dy = ScaleByScore(Ctx, Dots.OffsetY());
  record.Bounds.Left += ScaleByScore(Ctx, Dots.OffsetX()) + head.Bounds.Left + head.Bounds.Width;
  record.Bounds.Top += dy + head.Bounds.Top;
  record.Bounds.Bottom += dy + head.Bounds.Bottom;
  // A head on a line: the dot moves into the space above, or below for the
  // lower voices of a staff with several.
  if (Note.StaffStep % 2 == 0) {
    const bool severalVoices = Ctx.Measure->StaffHasVoices(Pass.StaffIndex);
    const int32_t move = (!severalVoices || (Note.StaffVoice() & 0x0F) == 0) ? -Pass.LineStep / 2 : Pass.LineStep / 2;
    record.Bounds.Top += move;
    record.Bounds.Bottom += move;
  }
  head.RightSpace = uint16_t(std::max<int32_t>(head.RightSpace, count * 6 - Head.FlagOffset));
}

// Marks of kinds 70 to 72 beside the head.
void LayoutHeadMark(TKVFormatContext& Ctx, const TKVNoteHead& Head, TKVMark& Mark) {
  TKVDisplayItem& head = *Head.Record;
  TKVDisplayItem& record = AddDisplayItem(Ctx, &Mark, true);
  ApplyItemSize(record, Mark.SizePercent());
  const uint8_t kind = Mark.Kind();
  const bool before = kind == ItemKind::HeadGlyphA && (Mark.Flags() & 1) != 0;
  const char glyph = kind == ItemKind::HeadGlyphC   ? '^'
                     : kind == ItemKind::HeadGlyphB ? (Mark.Variant() == 0 ? '\\' : ']')
                                                    : (Mark.Variant() == 0 && !before ? 'Z' : '[');
  const int32_t w = SymbolGlyphWidth(Ctx, uint8_t(glyph), Mark.FontIndex());
  record.Bounds = ScaleLayoutRect(Ctx, 0, 0, w, 0, record.SizePercent);
  const int32_t dy = ScaleByScore(Ctx, Mark.OffsetY());
  record.Bounds.Top += dy + head.Bounds.Top;
  record.Bounds.Bottom += dy + head.Bounds.Bottom;
  if (before) {
    record.Bounds.Left += ScaleByScore(Ctx, Mark.OffsetX()) + head.Bounds.Left - w;
    head.LeftSpace = uint16_t(head.LeftSpace + 6);
    return;
  }
  record.Bounds.Left += ScaleByScore(Ctx, Mark.OffsetX()) + head.Bounds.Left + head.Bounds.Width;
  if (kind != ItemKind::HeadGlyphC)
    head.RightSpace =
        uint16_t(std::max<int32_t>(head.RightSpace, (kind == ItemKind::HeadGlyphA ? 7 : 6) - Head.FlagOffset));
}

}  // namespace

TKVAlteration LayoutSigns(TKVFormatContext& Ctx, TKVStaffPass& Pass, TKVNote& Note, bool Records) {
  TKVAlteration alteration;
  for (TKVItem* item : Note.Items().Items()) {
    if (item->Kind() != ItemKind::Accidental) continue;
    auto* sign = ItemCast<TKVMark>(item);
    if (!sign) continue;
    ApplySign(Note, sign->Variant(), alteration);
    if (!Records) continue;
    TKVDisplayItem& record = AddDisplayItem(Ctx, sign, true);
    record.Flags |= AttachmentFlag;
    ApplyItemSize(record, sign->SizePercent());
    Pass.Collection.push_back(&record);
  }
  return alteration;
}

TKVDisplayItem* LayoutAttachments(TKVFormatContext& Ctx, TKVStaffPass& Pass, TKVNote& Note, const TKVNoteHead& Head) {
  TKVDisplayItem* tie = nullptr;
  const std::vector<TKVItem*> items = Note.Items().Items();
  for (TKVItem* item : items) {
    const uint8_t kind = item->Kind();
    if (kind == ItemKind::Slur) {
      if (auto* slur = ItemCast<TKVLiga>(item))
        if (TKVDisplayItem* record = LayoutSlur(Ctx, Pass, Note, Head, *slur)) tie = record;
    } else if (auto* mark = ItemCast<TKVMark>(item)) {
      if (kind == ItemKind::Dot) LayoutDots(Ctx, Pass, Note, Head, *mark);
      else if (kind >= ItemKind::HeadGlyphA && kind <= ItemKind::HeadGlyphC) LayoutHeadMark(Ctx, Head, *mark);
    }
  }
  return tie;
}
