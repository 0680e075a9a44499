// Dynamics, hairpins, span marks, bends and technique marks of the item
// pass. A span mark covers a range of ticks and a vertical extent; one that
// reaches the measure's end continues into the next measures through the
// record's continuing displays.

#include <algorithm>
#include <string>

#include "score/layout/staff/ItemMarks.h"
#include "score/layout/LayoutServices.h"
#include "score/model/ItemKinds.h"
#include "score/model/Mark.h"
#include "score/model/MarkShapes.h"
#include "score/model/Note.h"
#include "score/model/Part.h"
#include "score/model/Score.h"
#include "score/model/SimpleElements.h"
#include "score/model/Staff.h"
#include "score/model/Voice.h"

namespace {

constexpr uint8_t Hairpin = 50, Diminuendo = 51;

// The span rectangle (left L, width Wd, top and bottom before scaling),
// the mark's end tick and its continuation past the measure's end.
void SpanRect(TKVFormatContext& Ctx, TKVMark& Mark, TKVDisplayItem& R, int32_t L, int32_t Wd, int32_t Top,
              int32_t Bottom) {
  const int32_t end = Mark.Position() + Mark.Value();
  R.Param = uint16_t(end);
  if (end >= Ctx.Record->Length) Ctx.Record->ContinuingDisplays.push_back(&R);
  R.Bounds = ScaleLayoutRect(Ctx, L, Top, Wd, Bottom, R.SizePercent);
  R.Bounds2.Top = ScaleByScore(Ctx, Mark.OffsetY());
  ApplyItemOffsets(Ctx, R.Bounds, Mark.OffsetX(), Mark.OffsetY());
  R.Bounds.Width += ScaleByScore(Ctx, Mark.ExtraWidth());
}

// Top and bottom of a span of vertical extent V and half height H.
void SpanOf(TKVFormatContext& Ctx, TKVMark& Mark, TKVDisplayItem& R, int32_t L, int32_t Wd, int32_t H) {
  const int32_t v = Mark.Extent();
  SpanRect(Ctx, Mark, R, L, Wd, std::min(v - H, 0), std::max(v + H, 0));
}

// Kinds 118, 170 and 172 keep at least a fixed room on the side away from
// their extent.
void LineSpan(TKVFormatContext& Ctx, TKVMark& Mark, TKVDisplayItem& R) {
  const int32_t v = Mark.Extent();
  const bool pedal = Mark.Kind() == ItemKind::HookedBracket;
  const int32_t up = pedal ? 32 : 64, down = pedal ? 16 : 64;
  int32_t top = v - up, bottom = v + down;
  if (v < 0 && 64 < -v) bottom = down;
  if (v >= 0 && 64 < v) top = -up;
  SpanRect(Ctx, Mark, R, -32, 16, top, bottom);
}

// The text of a fingering (kind 122) or technique letter (124); the canvas
// is set to its font.
std::string MarkText(TKVFormatContext& Ctx, const TKVMark& Mark) {
  const bool fingering = Mark.Kind() == ItemKind::Fingering;
  const uint8_t v = Mark.Variant();
  Ctx.Canvas.Font = {TextFontName(Ctx.Score, fingering ? 8 : 19, Mark.Text1()),
                     fingering ? (v < 10 ? 56 : 72) : (v < 10 ? 64 : 80), uint8_t(fingering ? Mark.TextStyle() : 0)};
  static const char* const fingers[16] = {"0", "1", "2", "3", "4", "6", "", "", "", "", "", "p", "i", "m", "a", "e"};
  static const char* const letters[4] = {"H", "P", "T", "S"};
  if (fingering) return v < 16 ? fingers[v] : "";
  return v < 4 ? letters[v] : "";
}

int32_t TextMarkWidth(TKVFormatContext& Ctx, const TKVMark& Mark) {
  const std::string text = MarkText(Ctx, Mark);
  const int32_t w = text.empty() ? 0 : Ctx.Canvas.TextWidth(text);
  Ctx.Canvas.Font = {Ctx.Score.MusicFontName(), 144, 0};
  return w;
}

TKVDisplayItem* NoteOf(TKVFormatContext& Ctx, const TKVMark& Mark) {
  return (Mark.Flags() & 0x10) ? FindMarkNote(Ctx, Mark, 0) : nullptr;
}

// A mark placed against its note: the rectangle before scaling, then the
// rule set, then the horizontal offset.
void NoteMark(TKVFormatContext& Ctx, TKVMark& Mark, TKVDisplayItem& R, const TKVDisplayItem* N, TKVLayoutRect Rect,
              TKVPlacementRules Rules) {
  R.Bounds = ScaleLayoutRect(Ctx, Rect.Left, Rect.Top, Rect.Width, Rect.Bottom, R.SizePercent);
  PlaceAgainstNote(Ctx, Mark, N, R.Bounds, Rules);
  R.Bounds.Left += ScaleByScore(Ctx, Mark.OffsetX());
}

// The bracket of kind 143 beside the note's head, above or below it.
void LayoutBracket(TKVFormatContext& Ctx, TKVMark& Mark, TKVDisplayItem& R) {
  const TKVDisplayItem* N = FindMarkNote(Ctx, Mark, 4);
  auto* M = N ? ItemCast<const TKVNote>(N->Item) : nullptr;
  const int32_t h = (Mark.Value() * 3 + 2) * 8, ys = ScaleByScore(Ctx, Mark.OffsetY());
  int32_t dy = ys;
  if (!M) {
    R.Bounds = ScaleLayoutRect(Ctx, -24, -(h / 2), 48, h / 2, R.SizePercent);
  } else if (M->StemDown()) {
    R.Bounds = ScaleLayoutRect(Ctx, 0, -h, 48, 0, R.SizePercent);
    dy += N->Bounds.Top - 32;
  } else {
    R.Bounds = ScaleLayoutRect(Ctx, -48, 0, 48, h, R.SizePercent);
    dy += N->Bounds.Bottom + 32;
  }
  R.Bounds.Top += dy;
  R.Bounds.Bottom += dy;
  R.Bounds2.Top = R.Bounds.Top + 24;
  R.Bounds.Left += ScaleByScore(Ctx, Mark.OffsetX());
}

// Kind 142 plays on its voice's channel for as long as its note.
void EnterTechnique(TKVFormatContext& Ctx, TKVMark& Mark, const TKVDisplayItem* N) {
  TKVVoice* voice = Ctx.Staff ? Ctx.Staff->GetVoice(Mark.StaffVoice() & 0x0F) : nullptr;
  Mark.Voice = voice;
  Mark.Channel = voice && voice->HasOwnSettings() ? voice->Channel() : Ctx.Part->Channel();
  TKVPositionEntry& entry = InsertPositionEntry(Ctx, &Mark, Mark.Position(), 0);
  if (auto* note = N ? ItemCast<const TKVNote>(N->Item) : nullptr) entry.Word = note->Duration();
}

bool Clamps(uint8_t Kind) {
  switch (Kind) {
    case ItemKind::Dynamic: case ItemKind::Trill: case ItemKind::WavyLine: case ItemKind::ExtensionLine:
    case ItemKind::BarreLine:
      return false;
    default: return true;
  }
}

}  // namespace

void LayoutSpanMark(TKVFormatContext& Ctx, TKVMark& Mark) {
  const uint8_t kind = Mark.Kind(), variant = Mark.Variant();
  // A tremolo between notes is the staff pass's.
  if (kind == ItemKind::Tremolo && !(Mark.Flags() & 0x10)) return;
  if (Mark.Position() >= Ctx.Record->Length) {
    Ctx.RemovalList.push_back(&Mark);
    return;
  }
  TKVDisplayItem& R = StartMark(Ctx, Mark, Clamps(kind));
  switch (kind) {
    case ItemKind::Dynamic:
      if (variant == Hairpin || variant == Diminuendo) {
        AddDynamic(Ctx, &Mark, Mark.Position(), Mark.Value(), false);
        SpanOf(Ctx, Mark, R, -HairpinOpening, HairpinOpening, HairpinHalfHeight(Mark.Flags()));
      } else {
        AddDynamic(Ctx, &Mark, Mark.Position(), 0, false);
        const int32_t w =
            variant <= LastDynamicLetters ? SymbolGlyphWidth(Ctx, DynamicGlyph(variant), Mark.FontIndex(), true) : 0;
        R.Bounds = ScaleLayoutRect(Ctx, -(w / 2), -48, w, 48, R.SizePercent);
        ApplyItemOffsets(Ctx, R.Bounds, Mark.OffsetX(), Mark.OffsetY());
      }
      break;
    case ItemKind::Trill: {
      const int32_t w =
          variant >= 1 && variant <= 4 ? SymbolGlyphWidth(Ctx, uint8_t(0x9C + variant), Mark.FontIndex(), true) : 0;
      SpanOf(Ctx, Mark, R, -(w / 2), w, 64);
      break;
    }
    case ItemKind::WavyLine:
      SpanOf(Ctx, Mark, R, -32, 32, variant == 0 ? 32 : 64);
      break;
    case ItemKind::ExtensionLine:
      SpanOf(Ctx, Mark, R, -32, 32, variant == 0 ? 16 : 64);
      break;
    case ItemKind::HookedBracket:
    case ItemKind::BarreLine:
    case ItemKind::HarmonicLine:
      LineSpan(Ctx, Mark, R);
      break;
    case ItemKind::Fingering: {
      const int32_t w = TextMarkWidth(Ctx, Mark);
      NoteMark(Ctx, Mark, R, NoteOf(Ctx, Mark), {-(w / 2), -48, w, 48}, TKVPlacementRules::Fingering);
      break;
    }
    case ItemKind::TechniqueLetter: {
      const int32_t w = TextMarkWidth(Ctx, Mark);
      R.Bounds = {Mark.OffsetX() - w / 2, Mark.OffsetY() - 48, w, Mark.OffsetY() + 48};
      break;
    }
    case ItemKind::GlyphMarkA:
    case ItemKind::GlyphMarkB: {
      const int32_t w = SymbolGlyphWidth(Ctx, kind == ItemKind::GlyphMarkA ? 0x67 : 0x68, Mark.FontIndex(), true);
      NoteMark(Ctx, Mark, R, NoteOf(Ctx, Mark), {-(w / 2), -32, w, 32}, TKVPlacementRules::Stroke);
      break;
    }
    case ItemKind::Staccato:
    case ItemKind::Portamento: {
      const int32_t w = kind == ItemKind::Staccato ? 40 : 80;
      R.Flags |= 0x10;
      const TKVDisplayItem* N = NoteOf(Ctx, Mark);
      NoteMark(Ctx, Mark, R, N, {-(w / 2), -16, w, 16}, TKVPlacementRules::Technique);
      if (kind == ItemKind::Portamento) EnterTechnique(Ctx, Mark, N);
      break;
    }
    case ItemKind::Tremolo:
      LayoutBracket(Ctx, Mark, R);
      break;
    case ItemKind::VerticalArrow: {
      NoteMark(Ctx, Mark, R, NoteOf(Ctx, Mark), {-32, -48, 56, 48}, TKVPlacementRules::Turn);
      const int32_t staffSize = Ctx.Staff ? Ctx.Staff->SizePercent() : 100;
      const int32_t stretch = int32_t(int64_t(Mark.Value()) * 8 * Ctx.Scale() * staffSize / 10000);
      (variant == 0 ? R.Bounds.Bottom : R.Bounds.Top) += variant == 0 ? stretch : -stretch;
      break;
    }
    default:
      break;
  }
}

void LayoutBend(TKVFormatContext& Ctx, TKVBend& Bend) {
  if (Bend.Position() >= Ctx.Record->Length) {
    Ctx.RemovalList.push_back(&Bend);
    return;
  }
  if ((Bend.StaffVoice() >> 4) >= Ctx.Part->GetStaffCount()) Bend.SetStaffVoice(0);
  Ctx.Staff = Ctx.Part->GetStaff(Bend.StaffVoice() >> 4);
  Bend.RuntimeStaff = uint8_t(Bend.StaffVoice() >> 4);
  TKVDisplayItem& R = AddDisplayItem(Ctx, &Bend, true);
  ApplyItemSize(R, Bend.SizePercent());
  const uint8_t variant = Bend.Variant();
  const int32_t segments = variant <= 1 ? 1 : variant <= 3 ? 2 : 3;
  int32_t w = 0;
  for (int i = 0; i < segments; ++i) w += Bend.SegmentWidth(i);
  R.Bounds2 = ScaleLayoutRect(Ctx, 0, -int32_t(Bend.Height()), w, 0, R.SizePercent);
  ApplyItemOffsets(Ctx, R.Bounds2, Bend.OffsetX(), Bend.OffsetY());
  R.Bounds = R.Bounds2;
  (variant < 3 ? R.Bounds.Top : R.Bounds.Bottom) += variant < 3 ? -64 : 64;
  R.Bounds.Left -= 32;
  R.Bounds.Width += 64;
}
