#include "score/layout/measure/NotePitch.h"

#include <algorithm>
#include <array>
#include <cstdlib>

#include "score/layout/ItemFields.h"
#include "score/layout/LayoutServices.h"
#include "score/layout/staff/StaffSupport.h"
#include "score/model/ItemKinds.h"
#include "score/model/Liga.h"
#include "score/model/Note.h"
#include "score/model/Part.h"
#include "score/model/Score.h"
#include "score/model/ScoreTypes.h"
#include "score/model/SimpleElements.h"
#include "score/model/Staff.h"
#include "score/model/Voice.h"

namespace {

constexpr uint8_t TiedFromPrevious = 0x80;  // play-state bits
constexpr uint8_t CarriesTremolo = 0x08;

// Signed value of an accidental byte (low six bits the amount, bit 6 the
// flat side).
int32_t AccidentalValue(uint8_t Byte) { return (Byte & 0x40) ? -(Byte & 0x3F) : (Byte & 0x3F); }
uint8_t AccidentalByte(int32_t Value, bool Replaces) {
  const int32_t amount = std::min(std::abs(Value), 0x3F);
  return uint8_t((Replaces ? 0x80 : 0) | (Value < 0 ? 0x40 : 0) | amount);
}

// Semitones a relative sign adds; 0 for the other variants.
int32_t SignAmount(uint8_t Variant) {
  switch (Variant) {
    case 0: case 101: case 103: case 133: case 135: case 137: return -1;
    case 1: return -2;
    case 2: case 102: case 104: case 134: case 136: case 138: return 1;
    case 3: return 2;
    default: return 0;
  }
}

uint32_t ProgramWord(uint8_t Program, uint16_t Bank) { return uint32_t(Program) | (uint32_t(Bank) << 8); }

}  // namespace

bool ApplySign(TKVNote& Note, uint8_t Variant, TKVAlteration& Alteration) {
  // The accidental byte is worked out again at every layout from the signs.
  if (!Alteration.OwnSign) Note.Accidental = 0;
  switch (Variant) {
    case 4: Note.Accidental = 0x80; Alteration.Value = 0; break;
    case 5: Note.Accidental = 0xC1; Alteration.Value = -1; break;
    case 6: Note.Accidental = 0x81; Alteration.Value = 1; break;
    default: {
      const int32_t amount = SignAmount(Variant);
      if (amount == 0) return false;
      Alteration.Value = Alteration.OwnSign ? Alteration.Value + amount : amount;
      Note.Accidental = AccidentalByte(AccidentalValue(Note.Accidental) + amount, (Note.Accidental & 0x80) != 0);
      break;
    }
  }
  Alteration.OwnSign = true;
  return true;
}

int32_t SoundingAlteration(TKVFormatContext& Ctx, const TKVNote& Note, const TKVAlteration& Own) {
  const int32_t line = Note.Line();
  if (!Own.OwnSign) return KeyAccidental(Ctx, line);
  if (line >= 0 && size_t(line) < Ctx.KeyAccidentals.size()) Ctx.KeyAccidentals[size_t(line)] = int16_t(Own.Value);
  return Own.Value;
}

int32_t PitchKey(uint8_t Pitch, int32_t Alteration) {
  static constexpr std::array<int32_t, 7> semitone = {0, 2, 4, 5, 7, 9, 11};
  const int32_t step = Pitch & 0x0F, octave = Pitch >> 4;
  return (step < 7 ? semitone[size_t(step)] : 0) + (octave - 5) * 12 + 60 + Alteration;
}

uint8_t ClampKey(int32_t Key) { return uint8_t(std::clamp(Key, 0, 127)); }

uint8_t NoteKey(const TKVFormatContext& Ctx, const TKVNote& Note, int32_t Alteration) {
  const int32_t transpose = Ctx.Part ? Ctx.Part->GetTranspose() : 0;
  return ClampKey(PitchKey(Note.Pitch(), Alteration) + transpose + (Note.HeadType() == 3 ? 12 : 0));
}

void SetNoteSound(TKVFormatContext& Ctx, TKVNote& Note, TKVVoice* Voice) {
  TKVPart& part = *Ctx.Part;
  uint8_t channel;
  uint32_t program;
  if (Ctx.PercussionClef) {
    channel = 9;
    program = 0;
    const int32_t set = Note.HeadType() - 5;
    const auto& sets = Ctx.Score.DrumMapByNotatedKey[Note.MidiKey & 0x7F];
    if (set >= 0 && set < Ctx.Score.NamedRecords().Count() && size_t(set) < sets.size() && sets[size_t(set)])
      Note.MidiKey = ClampKey(sets[size_t(set)]->Data.u8(0));
  } else if (!Voice || !Voice->HasOwnSettings()) {
    channel = part.Channel();
    program = ProgramWord(part.Program(), part.Data().u16(PartBlock::Bank));
  } else {
    channel = Voice->Channel();
    program = ProgramWord(Voice->Program(), Voice->Data().u16(VoiceBlock::Bank));
  }
  Note.Voice = Voice;
  Note.Channel = channel > 15 ? 0 : channel;
  Note.Instrument = program;
}

bool ContinuesTie(const TKVFormatContext& Ctx, const TKVNote& Note) {
  if (Note.Position() == 0 && Ctx.ColumnIndex == 0) return false;
  const TKVMeasureRecord& R = *Ctx.Record;
  const uint64_t start = uint64_t(R.StartTick) + Note.Position();
  const TKVPart* part = ItemPart(&Note);
  for (const TKVDisplayItem* display : R.ExtendingItems) {
    // Octave lines share the list: only ties and slurs that start at a note.
    auto* slur = ItemCast<const TKVLiga>(display->Item);
    auto* tied = slur ? slur->OwnerAs<const TKVNote>() : nullptr;
    if (!tied || tied == &Note || (tied->PlayState & CarriesTremolo) != 0) continue;
    if (tied->StaffVoice() != Note.StaffVoice() || tied->MidiKey != Note.MidiKey || ItemPart(tied) != part) continue;
    // Ticks from the piece's start, so that a tie over the bar line counts.
    // The tie ends where its span says (its record's tick), which may be
    // more than the tied note's written length, as for a chord's note that
    // stands for a longer value of its own.
    if (uint64_t(display->Owner->StartTick) + display->Param == start) return true;
  }
  return false;
}

void EnterNote(TKVFormatContext& Ctx, TKVNote& Note) {
  Note.PlayState &= uint8_t(~TiedFromPrevious);
  if (ContinuesTie(Ctx, Note)) Note.PlayState |= TiedFromPrevious;
  // A later played start inside the note (a grace note or a rolled chord
  // before it, a late attack of an imported MIDI note) is where it sounds;
  // its played length then reaches the end it means. A chord's note that
  // stands for a longer value of its own spans that value: measured by the
  // chord's, its late attack would sound early and end before the note its
  // tie leads to, which would then strike the key again.
  const int32_t offset = Note.TimeOffset();
  const int32_t span = std::max<int32_t>(Note.Duration(), Note.PlayedLength());
  const int32_t start = Note.Position() + (offset > 0 && offset < span ? offset : 0);
  TKVPositionEntry& entry = InsertPositionEntry(Ctx, &Note, start, 1);
  Note.PlayState &= uint8_t(~CarriesTremolo);
  entry.Word = Note.PlayedLength() != 0 ? Note.PlayedLength() : Note.Duration();
  const int32_t transpose = Ctx.Part ? Ctx.Part->GetTranspose() : 0;
  for (TKVItem* item : Note.Items().Items()) {
    auto* effect = ItemCast<TKVEffect>(item);
    if (!effect) continue;
    if (effect->Source() == ItemKind::Tremolo) Note.PlayState |= CarriesTremolo;
    effect->Channel = Note.Channel;
    effect->Instrument = Note.Instrument;
    effect->MidiKey = Ctx.PercussionClef
                          ? Note.MidiKey
                          : ClampKey(PitchKey(effect->Pitch(), KeyAccidental(Ctx, PitchLine(effect->Pitch()))) + transpose);
    effect->Voice = Note.Voice;
    // Entered once, with the key worked out here.
    InsertPositionEntry(Ctx, effect, effect->Position(), 1).Word = effect->Length();
  }
}

void ChooseString(TKVStaff& Staff, TKVNote& Note) {
  if (Note.Fret() != 0) return;
  const int32_t frets = Staff.Range();
  int32_t fret = std::max(frets - 1, 0);
  const int32_t key = Note.MidiKey;
  const auto& open = Staff.LineArray();
  const int32_t strings = std::min<int32_t>(Staff.LineCount(), int32_t(open.size()));
  for (int32_t s = 0; s < strings; ++s) {
    const int32_t o = open[size_t(s)];
    if (o <= key && key <= o + frets && key - o + 1 < fret) {
      Note.SetString(uint8_t(s));
      fret = key - o + 1;
    }
  }
  Note.SetFret(uint8_t(std::min(fret, 255)));
}
