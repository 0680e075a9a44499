#include "score/layout/measure/ColumnArrangement.h"

#include <algorithm>

#include "score/layout/LayoutServices.h"
#include "score/layout/staff/SignatureWidths.h"
#include "score/layout/staff/StaffHooks.h"
#include "score/layout/staff/StaffSignatures.h"
#include "score/layout/staff/StaffSupport.h"
#include "score/model/ItemKinds.h"
#include "score/model/Mark.h"
#include "score/model/Note.h"
#include "score/model/Score.h"

namespace {


enum class TAccidentalGroup { None, FlatLike, SharpLike, DoubleSharp };

// The lines an accidental covers (from Above down to Below, relative to its
// note's line) and its width in pixels.
struct TAccidentalShape {
  TAccidentalGroup Group = TAccidentalGroup::None;
  int32_t Above = 0, Below = 0, Width = 0;
};

TAccidentalShape ShapeOf(uint8_t Type) {
  switch (Type) {
    case 0: case 101: return {TAccidentalGroup::FlatLike, 3, 0, 5};
    case 133: case 135: case 137: return {TAccidentalGroup::FlatLike, 3, 0, 7};
    case 1: case 103: return {TAccidentalGroup::FlatLike, 3, 0, 9};
    case 2: case 4: return {TAccidentalGroup::SharpLike, 3, -3, 5};
    case 134: case 136: case 138: return {TAccidentalGroup::SharpLike, 3, -3, 6};
    case 102: return {TAccidentalGroup::SharpLike, 3, -3, 4};
    case 104: return {TAccidentalGroup::SharpLike, 3, -3, 7};
    case 5: case 6: return {TAccidentalGroup::SharpLike, 3, -3, 9};
    case 3: return {TAccidentalGroup::DoubleSharp, 1, -1, 6};
    default: return {};
  }
}

TKVMark* AccidentalOf(const TKVDisplayItem* Display) {
  if (!Display->Item || Display->Item->Kind() != ItemKind::Accidental) return nullptr;
  auto* mark = ItemCast<TKVMark>(Display->Item);
  return mark && mark->OwnerAs<TKVNote>() ? mark : nullptr;
}

TKVNote& OwnerNote(const TKVMark& Accidental) { return *static_cast<TKVNote*>(Accidental.Owner()); }

// Within one voice the accidentals of higher notes come first.
void OrderAccidentals(std::vector<TKVDisplayItem*>& Column) {
  for (size_t i = 0; i < Column.size(); ++i) {
    for (size_t j = i + 1; j < Column.size(); ++j) {
      TKVMark* first = AccidentalOf(Column[i]);
      TKVMark* later = AccidentalOf(Column[j]);
      if (!first || !later) continue;
      const TKVNote &a = OwnerNote(*first), &b = OwnerNote(*later);
      if (a.StaffVoice() == b.StaffVoice() && b.MidiKey > a.MidiKey) std::swap(Column[i], Column[j]);
    }
  }
}

void StackAccidental(TKVFormatContext& Ctx, TKVStaffPass& Pass, TKVDisplayItem& Display, TKVMark& Accidental) {
  const TAccidentalShape shape = ShapeOf(Accidental.Variant());
  if (shape.Group == TAccidentalGroup::None) return;
  TKVNote& note = OwnerNote(Accidental);
  const int32_t line = note.Line();
  const bool parenthesised = (Accidental.Flags() & 0x0C) != 0;
  const int32_t h = shape.Width + (parenthesised ? 6 : 0) + Ctx.Score.Settings().SpacingWord(0) / 8;
  const int32_t d = StackOnLines(Pass.LineExtents, line + shape.Above, line + shape.Below, h);
  Display.LeftSpace = uint16_t(d);
  const int32_t w = AccidentalGlyphWidth(Ctx, Accidental);
  const int32_t p = parenthesised ? 3 : 0;
  const int32_t left = -8 * (d - p);
  switch (shape.Group) {
    case TAccidentalGroup::FlatLike:
      Display.Bounds = ScaleLayoutRect(Ctx, left, -96, w, 24, Display.SizePercent);
      break;
    case TAccidentalGroup::SharpLike:
      Display.Bounds = Accidental.Value() == 5 ? ScaleLayoutRect(Ctx, 0, -84, w, 60, Display.SizePercent)
                                               : ScaleLayoutRect(Ctx, left, -72, w, 72, Display.SizePercent);
      break;
    default:
      Display.Bounds = ScaleLayoutRect(Ctx, left, -24, Ctx.Score.MusicGlyphWidth('C'), 24, Display.SizePercent);
      break;
  }
  const int32_t staffStep = GetClefOffset(Ctx, note.Position()) + 45 - line;
  const int32_t noteY = staffStep * Pass.LineStep / 2;
  ApplyItemOffsets(Ctx, Display.Bounds, Accidental.OffsetX(), Accidental.OffsetY());
  Display.Bounds.Top += noteY;
  Display.Bounds.Bottom += noteY;
  const uint8_t type = Accidental.Variant();
  const bool microtonal = shape.Group == TAccidentalGroup::FlatLike ? type > 1 : type > 6;
  if (microtonal) note.Tuning = type;
}

void PlaceClefChange(TKVFormatContext& Ctx, TKVDisplayItem& Display, TKVMark& Clef, int32_t Base, int32_t& Running) {
  const uint8_t type = Clef.Variant();
  ResetLayoutCanvas(Ctx);
  Ctx.Canvas.Font.Size = Display.SizePercent == 100 ? 18 : 18 * Display.SizePercent / 100;
  if (type < 13 || type > 15) {
    Ctx.Glyph = ClefGlyph(type);
    SelectLayoutSymbolFont(Ctx, Clef.FontIndex());
  }
  const int32_t w = GetClefWidth(Ctx, type);
  const int32_t own = w + Ctx.Score.Settings().ClefSpacing() / 8;
  Display.LeftSpace = uint16_t(std::clamp(Base + Running + own, 0, 65535));
  Display.RightSpace = 0;
  Display.Param = Clef.Position();
  Clef.DisplayLink = &Display;
  SetClefExtent(type, Display);
  const TKVLayoutRect extent = Display.Bounds;
  Display.Bounds = ScaleLayoutRect(Ctx, 0, extent.Top, 0, extent.Bottom, Display.SizePercent);
  Display.Bounds.Left = ScaleByScore(Ctx, Clef.OffsetX()) - 8 * Display.LeftSpace;
  Display.Bounds.Width = ScaleByScore(Ctx, w) * 8;
  ApplyItemOffsets(Ctx, Display.Bounds, 0, Clef.OffsetY());
  Running += own;
  ResetLayoutCanvas(Ctx);
}

void PlaceMarkBeforeNotes(TKVFormatContext& Ctx, TKVDisplayItem& Display, const TKVMark& Mark, int32_t Base,
                          int32_t& Running) {
  const bool arpeggio = Mark.Kind() == ItemKind::Arpeggio;
  const int32_t own = arpeggio ? 4 : 6;
  const int32_t height = arpeggio ? 64 * Mark.Value() + 48 : Mark.Value();
  const int32_t distance = own + Base + Running;
  Display.Bounds = {-8 * distance, -24, 8 * own, height - 24};
  ApplyItemOffsets(Ctx, Display.Bounds, Mark.OffsetX(), Mark.OffsetY());
  Display.LeftSpace = uint16_t(std::clamp(distance, 0, 65535));
  Display.RightSpace = 0;
  Running += own;
}

// A tremolo between two notes (kind 143 of the staff) stands right of the
// column's widest head; its horizontal length is the mark's extra-width
// word.
void PlaceMarkAfterNotes(TKVFormatContext& Ctx, const TKVStaffPass& Pass, TKVDisplayItem& Display, const TKVMark& Mark) {
  const int32_t length = Mark.ExtraWidth(), height = Mark.Extent();
  const int32_t k = (3 * Mark.Value() + 2) * 8;
  Display.RightSpace = uint16_t(std::clamp(Pass.NoteWidth + 12 + length / 8, 0, 65535));
  const int32_t left = 8 * Pass.NoteWidth;
  Display.Bounds = height < 0 ? TKVLayoutRect{left, height - k / 2, length + 96, k / 2}
                              : TKVLayoutRect{left, -k / 2, length + 96, k / 2 + height};
  Display.StartY = ScaleByScore(Ctx, Mark.OffsetY() - k / 2 + 24);
  ApplyItemOffsets(Ctx, Display.Bounds, Mark.OffsetX(), Mark.OffsetY());
}

// Places what stands before the notes, nearest first. Base is the room the
// accidentals take; Running grows by each item's own room.
void PlaceLeadingItems(TKVFormatContext& Ctx, TKVStaffPass& Pass) {
  int32_t base = 0;
  for (const TKVLineExtent& e : Pass.LineExtents) base = std::max<int32_t>(base, e.OuterExtent);
  int32_t running = 0, keyGap = 0;
  for (TKVDisplayItem* display : Pass.Collection) {
    TKVItem* item = display->Item;
    if (!item) continue;
    auto* mark = ItemCast<TKVMark>(item);
    switch (item->Kind()) {
      case ItemKind::Clef:
        if (mark) PlaceClefChange(Ctx, *display, *mark, base, running);
        break;
      case ItemKind::KeySignature: {
        const int32_t t = base + running + keyGap;
        display->Bounds.Left = std::min(display->Bounds.Left, display->StartX - 8 * t);
        running += display->LeftSpace;
        keyGap = 5;
        if (display->LeftSpace < display->Bounds.Width + t)
          display->LeftSpace = uint16_t(std::clamp(display->Bounds.Width + t, 0, 65535));
        break;
      }
      case ItemKind::GraceGroup:
        running += ArrangeGraceGroup(Ctx, Pass, *display, base + running);
        break;
      case ItemKind::Arpeggio:
      case ItemKind::HalfBracket:
      case ItemKind::SquareBracket:
        if (mark) PlaceMarkBeforeNotes(Ctx, *display, *mark, base, running);
        break;
      case ItemKind::Tremolo:
        if (mark) PlaceMarkAfterNotes(Ctx, Pass, *display, *mark);
        break;
      default:
        break;
    }
  }
}

bool LeadsNotes(uint8_t Kind) {
  switch (Kind) {
    case ItemKind::Clef: case ItemKind::KeySignature: case ItemKind::GraceGroup:
    case ItemKind::Arpeggio: case ItemKind::HalfBracket: case ItemKind::Tremolo: case ItemKind::SquareBracket:
      return true;
    default:
      return false;
  }
}

}  // namespace

int32_t AccidentalGlyphWidth(TKVFormatContext& Ctx, const TKVMark& Accidental) {
  const uint8_t type = Accidental.Variant();
  if (type <= 6) return Ctx.Score.MusicGlyphWidth(char('@' + type));
  return SymbolGlyphWidth(Ctx, uint8_t(type <= 104 ? 0xE6 + (type - 101) : 0xEA + (type - 133)), Accidental.FontIndex());
}

void ArrangeColumn(TKVFormatContext& Ctx, TKVStaffPass& Pass) {
  OrderAccidentals(Pass.Collection);
  bool leading = false;
  for (TKVDisplayItem* display : Pass.Collection) {
    if (!display->Item) continue;
    if (TKVMark* accidental = AccidentalOf(display))
      StackAccidental(Ctx, Pass, *display, *accidental);
    else if (LeadsNotes(display->Item->Kind()))
      leading = true;
  }
  if (leading) PlaceLeadingItems(Ctx, Pass);
  Pass.Collection.clear();
  Pass.NoteWidth = 0;
  Pass.LineExtents = {};
}
