#include "score/import/midi/MidiAccidentals.h"

#include <array>
#include <map>
#include <vector>

#include "score/model/ItemFactory.h"
#include "score/model/ItemKinds.h"
#include "score/model/Mark.h"
#include "score/model/Measure.h"
#include "score/model/Note.h"
#include "score/model/Part.h"

namespace {

constexpr uint8_t FlatSign = 0, SharpSign = 2, NaturalSign = 4;
// Accidental bytes: semitones in the low six bits, bit 6 the flat side,
// bit 7 the sign replaces an alteration in force.
constexpr uint8_t AccSharp = 0x01, AccSharpReplacing = 0x81, AccFlat = 0x41, AccFlatReplacing = 0xC1,
                  AccNatural = 0x80;

using TKeyRow = std::array<int32_t, 7>;  // alteration of each step

int32_t KeyTableCode(uint8_t code, int32_t current) {
  switch (code) {
    case 1: case 102: case 104: case 134: case 136: case 138: return -1;
    case 2: return -2;
    case 3: case 103: case 105: case 135: case 137: case 139: return 1;
    case 4: return 2;
    case 5: return 0;
    default: return current;
  }
}

TKeyRow KeyRow(const TKVMark* key) {
  static constexpr int32_t sharpSteps[7] = {3, 0, 4, 1, 5, 2, 6};  // F C G D A E B
  static constexpr int32_t flatSteps[7] = {6, 2, 5, 1, 4, 0, 3};   // B E A D G C F
  TKeyRow row{};
  const uint8_t k = key ? key->Variant() : KeyNone;
  for (int32_t i = 0; i < 7; ++i) {
    if (k >= 1 && k <= 9 && k > i) row[size_t(sharpSteps[i])] = 1;
    if (k >= KeyFlatBase && k <= 19 && k > KeyFlatBase + i) row[size_t(flatSteps[i])] = -1;
  }
  if (k == KeyCustom)
    for (int32_t i = 0; i < 7; ++i) {
      const uint16_t word = key->ExtraWord(i);
      const int32_t step = (word >> 8) & 0x0F;
      if (step < 7) row[size_t(step)] = KeyTableCode(uint8_t(word), row[size_t(step)]);
    }
  return row;
}

TKVNote* AsImportedNote(TKVItem* item) {
  return item->Kind() == ItemKind::Note ? ItemCast<TKVNote>(item) : nullptr;
}

// The alteration the note's key asks of its line; a note placed by the
// drum map stands on its line as it is.
int32_t Alteration(const TKVNote& note) {
  return note.Data().u8(NoteBlock::Symbol) == 0 ? note.MidiKey - PitchToMidiKey(note.Pitch(), 0) : 0;
}

bool SharesLineInAnotherAlteration(const TKVMeasure& measure, const TKVNote& note) {
  for (TKVItem* item : measure.Items())
    if (const TKVNote* n = AsImportedNote(item); n && n != &note && n->Position() == note.Position() &&
                                                 ItemStaff(n->StaffVoice()) == ItemStaff(note.StaffVoice()) &&
                                                 n->Pitch() == note.Pitch() && n->MidiKey != note.MidiKey)
      return true;
  return false;
}

void ShowSign(TKVNote& note, int32_t alteration, int32_t inForce) {
  uint8_t sign;
  if (alteration == 0)
    sign = NaturalSign, note.Accidental = AccNatural;
  else if (alteration > 0)
    sign = SharpSign, note.Accidental = inForce == 0 ? AccSharp : AccSharpReplacing;
  else
    sign = FlatSign, note.Accidental = inForce == 0 ? AccFlat : AccFlatReplacing;
  static_cast<TKVMark*>(CreateItemByKind(ItemKind::Accidental, &note))->SetVariant(sign);
}

}  // namespace

void ShowAccidentals(TKVPart& Part) {
  const TKVMark* key = nullptr;
  TKeyRow row = KeyRow(key);
  for (int32_t m = 0; m < Part.GetMeasureCount(); ++m) {
    TKVMeasure& measure = *Part.GetMeasure(m);
    // Per staff: the alteration each line's last sign set in this measure.
    std::vector<std::map<int32_t, int32_t>> signs(size_t(std::max(Part.GetStaffCount(), 1)));
    for (TKVItem* item : measure.Items()) {
      if (item->Kind() == ItemKind::KeySignature) {
        key = static_cast<const TKVMark*>(item);
        row = KeyRow(key);
        continue;
      }
      TKVNote* note = AsImportedNote(item);
      if (!note || size_t(ItemStaff(note->StaffVoice())) >= signs.size()) continue;
      auto& staffSigns = signs[size_t(ItemStaff(note->StaffVoice()))];
      auto sign = staffSigns.find(note->Line());
      const int32_t inForce = sign != staffSigns.end() ? sign->second : row[size_t(std::min(PitchStep(note->Pitch()), 6))];
      const int32_t alteration = Alteration(*note);
      note->Accidental = 0;
      if (alteration < -1 || alteration > 1) continue;
      if (alteration != inForce || SharesLineInAnotherAlteration(measure, *note)) {
        ShowSign(*note, alteration, inForce);
        staffSigns[note->Line()] = alteration;
      }
    }
  }
}
