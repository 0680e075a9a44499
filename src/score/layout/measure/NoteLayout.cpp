#include "score/layout/measure/NoteLayout.h"

#include <algorithm>
#include <string>

#include "score/layout/LayoutServices.h"
#include "score/layout/measure/NoteParts.h"
#include "score/layout/staff/StaffSignatures.h"
#include "score/layout/staff/StaffSupport.h"
#include "score/model/Measure.h"
#include "score/model/Note.h"
#include "score/model/Part.h"
#include "score/model/Score.h"
#include "score/model/Staff.h"
#include "score/model/Voice.h"

namespace {

constexpr int32_t Whole = 512, Half = 256;

uint16_t Pixels(int32_t V) { return uint16_t(std::clamp(V, 0, 65535)); }

// Run-time fields, counts and the head record every laid-out note gets.
TKVDisplayItem& StartNote(TKVFormatContext& Ctx, TKVStaffPass& Pass, TKVNote& Note, TKVVoice& Voice) {
  TKVMeasureRecord& R = *Ctx.Record;
  Note.VoiceKey() = {uint8_t(Ctx.Part->Index()), uint16_t(Voice.Number()), uint8_t(Note.StaffVoice() >> 4),
                     uint8_t(Note.StaffVoice() & 0x0F)};
  Note.DisplayLink = nullptr;
  Note.Voice = &Voice;
  Note.Tuning = 0;  // the column step sets it again for a microtonal sign
  R.Flags = uint8_t((R.Flags & ~0x30) | 0x20);
  TKVPartLayoutRecord& part = *R.PartRecords[size_t(Ctx.Part->Index())];
  part.StaffRecords[size_t(Pass.StaffIndex)]->SecondFlag |= 1;
  if (size_t(Voice.Number()) < part.VoiceSlots.size()) {
    uint32_t& end = part.VoiceSlots[size_t(Voice.Number())]->Value;
    end = std::max<uint32_t>(end, uint32_t(Note.Position()) + Note.Duration());
  }
  uint16_t& count = Ctx.Measure->StaffNoteCounts[size_t(Pass.StaffIndex)];
  count = uint16_t(std::min(count + 1, 65535));
  Ctx.PercussionClef = false;
  TKVDisplayItem& head = AddDisplayItem(Ctx, &Note, true);
  ApplyItemSize(head, Note.SizePercent());
  Note.DisplayLink = &head;
  return head;
}

// Room right of the head for its flag (pixels), and the part a flag takes.
void FlagRoom(TKVFormatContext& Ctx, const TKVNote& Note, TKVDisplayItem& Head, TKVNoteHead& Geometry) {
  const bool cue = Note.Flag(NoteFlag::Cue);
  const bool flagged = Note.BeamGroup == 0 && !Note.StemDown() && Note.Value() < 128;
  if (Note.Value() == Whole) {
    Head.RightSpace = cue ? 3 : 5;
  } else if (flagged) {
    const bool sixteenth = Note.Value() < 64;
    ResetLayoutCanvas(Ctx);
    Ctx.Glyph = uint8_t(sixteenth ? '8' : '6');
    SelectLayoutSymbolFont(Ctx, 0);
    const int32_t extra = (sixteenth ? 5 : 4) - (cue ? 1 : 0);
    Head.RightSpace = Pixels(Ctx.Canvas.CharWidth(Ctx.Glyph) / 8 + extra);
    ResetLayoutCanvas(Ctx);
    Geometry.FlagOffset = -5;
  } else {
    Head.RightSpace = cue ? 3 : 4;
  }
}

int32_t HeadWidth(const TKVFormatContext& Ctx, const TKVNote& Note) {
  const uint8_t type = Note.HeadType();
  const bool cue = Note.Flag(NoteFlag::Cue);
  if (type == 3) return cue ? 32 : 48;
  // Heads of the score's own head list are measured with their font, which
  // is not known here: they take a black head's room.
  if (type >= 5 && type != 255) return 48;
  const char glyph = Note.Value() == Half ? '4' : Note.Value() == Whole ? '*' : '5';
  return cue ? Ctx.Score.SmallMusicGlyphWidth(glyph) : Ctx.Score.MusicGlyphWidth(glyph);
}

// Slash heads (types 2 and 4) stand in the staff's middle whatever the pitch.
void SlashHead(TKVFormatContext& Ctx, const TKVStaffPass& Pass, const TKVNote& Note, TKVDisplayItem& Head,
               TKVNoteHead& Geometry) {
  const int32_t ls = Pass.LineStep, w = 40;
  Head.RightSpace = 4;
  Geometry.Y = 2 * ls;
  const bool slash = Note.HeadType() == 2;
  Head.Bounds = slash ? TKVLayoutRect{-(w / 2), ls - ls / 2, w, 3 * ls + ls / 2} : TKVLayoutRect{-w, ls, w, 3 * ls};
  Head.Bounds.Left = ScaleLayoutRect(Ctx, Head.Bounds.Left, 0, 0, 0, Head.SizePercent).Left;
  Geometry.Width = slash ? 0 : w;
}

void StandardHead(TKVFormatContext& Ctx, TKVStaffPass& Pass, TKVNote& Note, TKVDisplayItem& Head,
                  TKVNoteHead& Geometry) {
  const int32_t ls = Pass.LineStep;
  FlagRoom(Ctx, Note, Head, Geometry);
  Geometry.Y = Note.StaffStep * ls / 2 - ls / 2;
  const int32_t w = HeadWidth(Ctx, Note);
  Geometry.Width = w;
  const bool down = Note.StemDown();
  if (Note.Flag(NoteFlag::OtherSide)) {
    if (!down) {
      Geometry.Shift = w - 3;
      Head.LeftSpace = Pixels(Head.LeftSpace - w / 8);
      Head.RightSpace = Pixels(std::max<int32_t>(Head.RightSpace, w / 8 + 5));
      if (Note.HeadType() == 0) Geometry.StemBottom = 16;
    } else {
      Geometry.Shift = 3 - w;
      Head.LeftSpace = Pixels(Head.LeftSpace + w / 8);
      if (Head.RightSpace == 5) Head.RightSpace = Pixels(5 - w / 8);
      if (Note.HeadType() == 0) Geometry.StemTop = -16;
    }
  }
  if (Note.Flag(NoteFlag::Shifted)) {
    Geometry.ShiftedBy = down ? w - 8 : 8 - w;
    Geometry.Shift += Geometry.ShiftedBy;
  }
  Head.Bounds = ScaleLayoutRect(Ctx, Geometry.Shift - w / 2, 0, w, ls, Head.SizePercent);
  Head.Bounds.Top += Geometry.Y;
  Head.Bounds.Bottom += Geometry.Y;
}

void LayoutStandardNote(TKVFormatContext& Ctx, TKVStaffPass& Pass, TKVNote& Note, TKVDisplayItem& Head) {
  const uint8_t type = Note.HeadType();
  Head.LeftSpace = type == 1 ? 3 : Note.Value() == Whole ? 5 : 4;
  if (Note.Value() >= Half && Ctx.Staff->GetVoiceCount() > 1) Pass.LongNotes.push_back(&Head);
  Note.PlayState &= 1;
  // Also sets whether a percussion clef is in force.
  Note.StaffStep = int16_t(GetClefOffset(Ctx, Note.Position()) + 45 - Note.Line());
  TKVNoteHead geometry;
  geometry.Record = &Head;
  if (type == 2 || type == 4)
    SlashHead(Ctx, Pass, Note, Head, geometry);
  else
    StandardHead(Ctx, Pass, Note, Head, geometry);
  if (Note.Dotted()) {
    Head.LeftSpace = Pixels(Head.LeftSpace + 3);
    Head.RightSpace = Pixels(Head.RightSpace + 3);
  }
  if (type != 2 && type != 4) Pass.RaiseHeadExtent(Note.Line(), Head.LeftSpace);
  LayoutStem(Ctx, Pass, Note, geometry);
  const TKVAlteration own = LayoutSigns(Ctx, Pass, Note, true);
  TKVDisplayItem* tie = LayoutAttachments(Ctx, Pass, Note, geometry);
  Note.MidiKey = NoteKey(Ctx, Note, SoundingAlteration(Ctx, Note, own));
  SetNoteSound(Ctx, Note, Note.Voice);
  EnterNote(Ctx, Note);
  if (tie) Ctx.Record->ExtendingItems.push_back(tie);
}

void LayoutTablatureNote(TKVFormatContext& Ctx, TKVStaffPass& Pass, TKVNote& Note, TKVDisplayItem& Head) {
  TKVStaff& staff = *Ctx.Staff;
  Note.PlayState = 0;
  // A tablature staff shows no key signature: a note sounds its step with
  // its own sign only, and the fret is chosen for that key.
  const TKVAlteration own = LayoutSigns(Ctx, Pass, Note, false);
  Note.MidiKey = NoteKey(Ctx, Note, own.OwnSign ? own.Value : 0);
  ChooseString(staff, Note);
  Ctx.Canvas.Font = {TextFontName(Ctx.Score, 11, ""), 40, 0};
  const int32_t t = Ctx.Canvas.TextWidth(Note.Fret() == 0 ? std::string("N") : std::to_string(Note.Fret() - 1));
  ResetLayoutCanvas(Ctx);
  Head.LeftSpace = Pixels(t / 8 / 2);
  Head.RightSpace = Pixels(t / 8 - Head.LeftSpace);
  if (Note.Value() < Whole) Head.RightSpace = std::max<uint16_t>(Head.RightSpace, 5);
  if (Note.Dotted() || (staff.Data().u8(StaffBlock::OldFileFlag) != 0 && Note.Value() > 128)) {
    Head.LeftSpace = Pixels(Head.LeftSpace + 3);
    Head.RightSpace = Pixels(Head.RightSpace + 3);
  }
  const int32_t strings = staff.LineCount();
  Pass.RaiseHeadExtent(strings - Note.String() + 66, Head.LeftSpace + 2);
  TKVNoteHead geometry;
  geometry.Record = &Head;
  geometry.Y = (strings - Note.String() - 1) * Pass.WideStep;
  geometry.Width = t;
  Head.Bounds = ScaleLayoutRect(Ctx, -(t / 2), -(Pass.WideStep / 2), t, Pass.WideStep / 2, Head.SizePercent);
  Head.Bounds.Top += geometry.Y;
  Head.Bounds.Bottom += geometry.Y;
  TKVDisplayItem* tie = LayoutAttachments(Ctx, Pass, Note, geometry);
  LayoutStem(Ctx, Pass, Note, geometry);
  SetNoteSound(Ctx, Note, Note.Voice);
  EnterNote(Ctx, Note);
  if (tie) Ctx.Record->ExtendingItems.push_back(tie);
}

}  // namespace

void LayoutNoteItem(TKVFormatContext& Ctx, TKVStaffPass& Pass, TKVNote& Note) {
  TKVStaff& staff = *Ctx.Staff;
  TKVVoice* voice = staff.GetVoice(Note.StaffVoice() & 0x0F);
  if (!voice) return;
  if (Note.Position() >= Ctx.Record->Length) {
    Ctx.RemovalList.push_back(&Note);
    return;
  }
  TKVDisplayItem& head = StartNote(Ctx, Pass, Note, *voice);
  if (staff.Data().u8(StaffBlock::Tablature) == 0)
    LayoutStandardNote(Ctx, Pass, Note, head);
  else
    LayoutTablatureNote(Ctx, Pass, Note, head);
  Pass.Voices[voice].RunningLength = uint16_t(std::min(Pass.Voices[voice].RunningLength + Note.Duration(), 65535));
  Pass.NoteWidth = std::max<int32_t>(Pass.NoteWidth, head.RightSpace);
}
