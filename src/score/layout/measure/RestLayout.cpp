// Rests, the second note kind and the beat and measure repeats of the
// staff pass.

#include <algorithm>

#include "score/layout/LayoutServices.h"
#include "score/layout/RestShape.h"
#include "score/layout/staff/StaffLayout.h"
#include "score/layout/staff/StaffObjects.h"
#include "score/layout/staff/StaffSupport.h"
#include "score/model/ItemKinds.h"
#include "score/model/Mark.h"
#include "score/model/Measure.h"
#include "score/model/Note.h"
#include "score/model/Part.h"
#include "score/model/Pause.h"
#include "score/model/Piece.h"
#include "score/model/Score.h"
#include "score/model/Staff.h"
#include "score/model/Voice.h"

namespace {

constexpr uint8_t AttachmentFlag = 0x10;

uint16_t Pixels(int32_t V) { return uint16_t(std::clamp(V, 0, 65535)); }

// The part record's end of the voice's notes and rests.
void RaiseVoiceEnd(TKVFormatContext& Ctx, const TKVVoice& Voice, int32_t End) {
  auto& slots = Ctx.Record->PartRecords[size_t(Ctx.Part->Index())]->VoiceSlots;
  if (size_t(Voice.Number()) < slots.size()) {
    uint32_t& end = slots[size_t(Voice.Number())]->Value;
    end = std::max<uint32_t>(end, uint32_t(std::max(End, 0)));
  }
}

void CountNotes(TKVFormatContext& Ctx, const TKVStaffPass& Pass, int32_t Count) {
  uint16_t& count = Ctx.Measure->StaffNoteCounts[size_t(Pass.StaffIndex)];
  count = uint16_t(std::min(count + Count, 65535));
}

// Room left and right of a rest, in pixels: short rests take more (wider
// ones on the left with the score's option).
std::pair<int32_t, int32_t> RestPixels(uint16_t Duration, bool Wide) {
  if (Duration < 16) return {Wide ? 7 : 5, 8};
  if (Duration < 32) return {Wide ? 6 : 4, 7};
  if (Duration < 64) return {Wide ? 4 : 5, 6};
  if (Duration < 128) return {4, 4};
  if (Duration < 256) return {3, 4};
  return {3, 3};
}

// The dot marks of a rest, beside its rectangle.
void LayoutRestDots(TKVFormatContext& Ctx, TKVPause& Rest, TKVDisplayItem& D) {
  for (TKVItem* item : Rest.Items().Items()) {
    auto* dots = ItemCast<TKVMark>(item);
    if (!dots || item->Kind() != ItemKind::Dot) continue;
    TKVDisplayItem& record = AddDisplayItem(Ctx, dots, true);
    record.Flags |= AttachmentFlag;
    const int32_t y = ScaleByScore(Ctx, dots->OffsetY()) +
                      (Rest.Value() < 128 ? (D.Bounds.Top + D.Bounds.Bottom) / 2 + 16 : D.Bounds.Bottom - 32);
    record.Bounds = {D.Bounds.Left + D.Bounds.Width + ScaleByScore(Ctx, dots->OffsetX()), y - 8, 0, y};
    D.RightSpace = Pixels(D.RightSpace + (dots->Value() + 1) * 6);
  }
}

// First field scaled by the score and the record's size, as rests place
// their glyph.
int32_t ScaledLeft(const TKVFormatContext& Ctx, int32_t Left, int32_t Size) {
  return ScaleLayoutRect(Ctx, Left, 0, 0, 0, Size).Left;
}

}  // namespace

int32_t RestGlyphWidth(const TKVScore& Score, uint16_t Duration) {
  return Score.MusicGlyphWidth(RestGlyphCode(Duration));
}

TKVVoice* BindVoice(TKVFormatContext& Ctx, TKVVoicedItem& Item, uint8_t StaffVoice) {
  TKVVoice* voice = Ctx.Staff ? Ctx.Staff->GetVoice(StaffVoice & 0x0F) : nullptr;
  Item.VoiceKey() = {uint8_t(Ctx.Part->Index()), uint16_t(voice ? voice->Number() : 0), uint8_t(StaffVoice >> 4),
                     uint8_t(StaffVoice & 0x0F)};
  return voice;
}

void LayoutRest(TKVFormatContext& Ctx, TKVStaffPass& Pass, TKVPause& Rest) {
  if ((Rest.StaffVoice() >> 4) != Pass.StaffIndex) return;
  TKVStaff& staff = *Ctx.Staff;
  TKVVoice* voice = staff.GetVoice(Rest.StaffVoice() & 0x0F);
  if (!voice) return;
  TKVMeasureRecord& R = *Ctx.Record;
  // Laid out by its written value; it lasts its sounding length.
  const uint16_t position = Rest.Position(), duration = Rest.Duration(), shape = RestShapeValue(Rest, R);
  if (position >= R.Length) {
    Ctx.RemovalList.push_back(&Rest);
    return;
  }
  Rest.DisplayLink = nullptr;
  Rest.Voice = voice;
  BindVoice(Ctx, Rest, Rest.StaffVoice());
  if (!(Rest.Flags() & (1 << PauseFlag::Filler))) RaiseVoiceEnd(Ctx, *voice, position + duration);
  R.Flags = uint8_t((R.Flags & ~0x30) | ((R.Flags & 0x30) == 0 ? 0x10 : 0x20));
  CountNotes(Ctx, Pass, 1);
  EnterColumn(Ctx, Pass, position);
  TKVDisplayItem& D = AddDisplayItem(Ctx, &Rest, true);
  ApplyItemSize(D, Rest.SizePercent());
  Rest.DisplayLink = &D;
  auto [left, right] = RestPixels(shape, (Ctx.Score.Settings().Option(0) & 1) != 0);
  if (Rest.Dotted()) left += 3, right += 3;
  const int32_t ls = Pass.LineStep, wide = Pass.WideStep, size = D.SizePercent;
  const bool tablature = staff.Data().u8(StaffBlock::Tablature) != 0;
  int32_t w = 48, down;
  if (shape == WholeRestValue) {
    if (tablature) {
      D.Bounds = ScaleLayoutRect(Ctx, -24, 0, ls, wide / 2, size);
      down = 2 * wide;
    } else {
      D.Bounds = {ScaledLeft(Ctx, -24, size), 0, ls, ls / 2};
      down = ls;
    }
  } else if (shape == 256) {
    D.Bounds = {ScaledLeft(Ctx, -24, size), -(ls / 2), 48, 0};
    down = tablature ? 3 * wide : 2 * ls;
  } else {
    w = RestGlyphWidth(Ctx.Score, shape) * (Rest.SizePercent() ? Rest.SizePercent() : 100) / 100;
    D.Bounds = {ScaledLeft(Ctx, -(w / 2), size), -2 * ls, w, 2 * ls};
    down = 2 * ls;
  }
  D.Bounds.Top += down;
  D.Bounds.Bottom += down;
  D.Bounds.Left += ScaleByScore(Ctx, Rest.OffsetX());
  if (Rest.Flags() & (1 << PauseFlag::MovedRight)) {
    D.Bounds.Left += w + 8;
    right += 3;
  }
  D.LeftSpace = Pixels(left);
  D.RightSpace = Pixels(right);
  LayoutRestDots(Ctx, Rest, D);
  TKVLineExtent& middle = Pass.LineExtents[64];
  middle.HeadExtent = std::max(middle.HeadExtent, ExtentByte(left));
  middle.OuterExtent = std::max(middle.OuterExtent, ExtentByte(left));
  InsertPositionEntry(Ctx, &Rest, position, 1);
  uint16_t& running = Pass.Voices[voice].RunningLength;
  running = uint16_t(std::min(running + duration, 65535));
}

void LayoutSecondNote(TKVFormatContext& Ctx, TKVStaffPass& Pass, TKVNote& Note) {
  if ((Note.StaffVoice() >> 4) != Pass.StaffIndex) return;
  TKVVoice* voice = Ctx.Staff->GetVoice(Note.StaffVoice() & 0x0F);
  if (!voice) return;
  if (Note.Position() >= Ctx.Record->Length) {
    Ctx.RemovalList.push_back(&Note);
    return;
  }
  BindVoice(Ctx, Note, Note.StaffVoice());
  Note.Voice = voice;
  Note.DisplayLink = nullptr;
  EnterColumn(Ctx, Pass, Note.Position());
  TKVDisplayItem& D = AddDisplayItem(Ctx, &Note, true);
  ApplyItemSize(D, Note.SizePercent());
  Note.DisplayLink = &D;
  const int32_t ls = Pass.LineStep;
  Note.StaffStep = int16_t(GetClefOffset(Ctx, Note.Position()) + 45 - Note.Line());
  const int32_t y = Note.StaffStep * ls / 2 - ls / 2;
  const char glyph = Note.Value() == 256 ? '4' : Note.Value() == 512 ? '*' : '5';
  const int32_t w = Note.Flag(NoteFlag::Cue) ? Ctx.Score.SmallMusicGlyphWidth(glyph) : Ctx.Score.MusicGlyphWidth(glyph);
  D.RightSpace = Pixels(w / 8 + 4 + (Note.Dotted() ? 8 : 0));
  D.Bounds = ScaleLayoutRect(Ctx, -(w / 2), 0, w, ls, D.SizePercent);
  D.Bounds.Left += ScaleByScore(Ctx, Note.OffsetX()) + (Note.Dotted() ? 32 : 0);
  D.Bounds.Top += y;
  D.Bounds.Bottom += y;
}

void LayoutRepeat(TKVFormatContext& Ctx, TKVStaffPass& Pass, TKVMark& Mark) {
  const uint8_t staffVoice = Mark.StaffVoice();
  if ((staffVoice >> 4) != Pass.StaffIndex) return;
  TKVMeasureRecord& R = *Ctx.Record;
  const uint16_t p = Mark.Position();
  const bool beats = Mark.Kind() == ItemKind::BeatRepeat;
  if (beats && p >= R.Length) {
    Ctx.RemovalList.push_back(&Mark);
    return;
  }
  // The column stays at the mark's tick, whatever length it repeats.
  EnterColumn(Ctx, Pass, p);
  TKVDisplayItem& D = AddDisplayItem(Ctx, &Mark, true);
  const int32_t w = (Mark.Variant() + 1) * 32 + 80;
  D.LeftSpace = Pixels(w / 16);
  D.RightSpace = Pixels(w / 8 - w / 16);
  const TKVLayoutRect offsets = ScaleLayoutRect(Ctx, Mark.OffsetX(), Mark.OffsetY(), 0, 0, Ctx.Staff->SizePercent());
  D.Bounds = {offsets.Left - w / 2, offsets.Top + Pass.LineStep, w, offsets.Top + 3 * Pass.LineStep};
  const int32_t partIndex = Ctx.Part->Index();
  if (!beats) {
    CountNotes(Ctx, Pass, 1);
    const bool twoMeasures = (Mark.Flags() & 1) != 0;
    if (twoMeasures) {
      R.ContinuingDisplays.push_back(&D);
      D.Param = 1;
    }
    CopyMeasurePositions(Ctx, Ctx.ColumnIndex - (twoMeasures ? 2 : 1), partIndex, staffVoice);
    return;
  }
  CountNotes(Ctx, Pass, 2);
  if (TKVVoice* voice = Ctx.Staff->GetVoice(staffVoice & 0x0F)) RaiseVoiceEnd(Ctx, *voice, p + Mark.Value());
  R.PartRecords[size_t(partIndex)]->StaffRecords[size_t(Pass.StaffIndex)]->SecondFlag |= 1;
  const int32_t L = Mark.Variant() == 1 ? 128 : Mark.Variant() == 2 ? 64 : 256;
  if (p >= L) {
    CopyVoicePositions(Ctx, R, int32_t(R.Positions.size()), staffVoice, uint16_t(p - L), p, p);
    return;
  }
  // The beats before the bar line come from the measure just before (not
  // from whichever measure the last play order ended with), then the start
  // of this measure follows them.
  if (Ctx.ColumnIndex > 0) {
    const TKVMeasureRecord& P = *Ctx.Piece.Layout().MeasureRecords[size_t(Ctx.ColumnIndex - 1)];
    CopyVoicePositions(Ctx, P, int32_t(P.Positions.size()), staffVoice, uint16_t(std::max(P.Length + p - L, 0)),
                       P.Length, p);
  }
  CopyVoicePositions(Ctx, R, int32_t(R.Positions.size()), staffVoice, 0, p, uint16_t(L));
}
