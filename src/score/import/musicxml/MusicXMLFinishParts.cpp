// The mapping step of the finishing pass: every note, rest and mark of a
// part moves from its MusicXML staff and voice numbers to the part's staves
// and voices, notes get their accidental signs, grace notes gather into
// grace-note groups, and percussion notes move to the drum map's staff
// positions.

#include <algorithm>
#include <vector>

#include "score/import/musicxml/MusicXMLAccidentals.h"
#include "score/import/musicxml/MusicXMLFinish.h"
#include "score/import/musicxml/MusicXMLVoices.h"
#include "score/import/musicxml/MusicXMLWalk.h"
#include "score/model/Chord.h"
#include "score/model/ItemKinds.h"
#include "score/model/Liga.h"
#include "score/model/Lyric.h"
#include "score/model/Mark.h"
#include "score/model/Measure.h"
#include "score/model/Note.h"
#include "score/model/Part.h"
#include "score/model/Pause.h"
#include "score/model/RegistrationPause.h"
#include "score/model/Score.h"
#include "score/model/ScoreTypes.h"
#include "score/model/Staff.h"
#include "score/model/TreeEvents.h"
#include "score/model/Voice.h"
#include "score/model/Vorschlag.h"

namespace {

constexpr uint8_t GraceBit = 0x80;  // of the play state, while importing
constexpr uint8_t PercussionChannel = 9;
constexpr int16_t RestRaise = 96;
constexpr int32_t DrumStaffPositionOfKeyZero = 23;
constexpr uint8_t FirstDrumHead = 5;  // head types from 5 on name a drum set

// The importer byte's alteration: low six bits, negative with bit 6.
int32_t ImportedAlter(uint8_t Byte) { return (Byte & 0x40) ? -(Byte & 0x3F) : (Byte & 0x3F); }
// The importer byte of a sign's alteration, as the layout would set it.
uint8_t SignByte(int32_t Alter) { return Alter < 0 ? uint8_t(0x40 | -Alter) : uint8_t(Alter); }

// Marks whose voice byte is mapped and which are flagged on a staff of
// several voices.
bool IsVoicedMark(uint8_t kind) {
  return kind == ItemKind::Tuplet || kind == ItemKind::Arpeggio ||
         (kind >= ItemKind::Trill && kind <= ItemKind::Accent) || kind == ItemKind::Pedal ||
         kind == ItemKind::Staccato || kind == ItemKind::Portamento;
}

TKVVoiceKey OwnerReference(const TKVPart& part, const TKVXMLVoice& mapped) {
  TKVVoiceKey key;
  key.PartIndex = uint8_t(part.Index());
  key.StaffIndex = uint8_t(ItemStaff(mapped.VoiceByte));
  key.VoiceIndex = uint8_t(ItemVoice(mapped.VoiceByte));
  key.VoiceNumber = mapped.Voice ? uint16_t(mapped.Voice->Number()) : 0;
  return key;
}

// A note in the order the layout meets it on its staff: by time, key
// signatures before grace notes before notes, then by voice number.
struct TTimed {
  int32_t Time = 0;
  int32_t Rank = 0;  // 0 key signature, 1 grace note, 2 note
  int32_t Voice = 0;
  TKVItem* Item = nullptr;
};

}  // namespace

void TKVMusicXMLFinish::MapPart(TKVPart& Part) {
  TKVXMLAccidentals accidentals;
  for (int32_t m = 0; m < Part.GetMeasureCount(); ++m) {
    TKVMeasure& measure = *Part.GetMeasure(m);
    MapMeasure(Part, measure);
    ShowAccidentals(measure, accidentals);
  }
  Part.RenumberVoices(true);
  NotifyItemChanged(&FScore, &Part, nullptr);
}

void TKVMusicXMLFinish::MapMeasure(TKVPart& Part, TKVMeasure& Measure) {
  int32_t i = 0;
  while (TKVItem* item = Measure.GetItem(i)) {
    // Where the pass goes on when the item leaves the list.
    TKVItem* next = Measure.GetItem(i + 1);
    bool stays = true;
    switch (item->Kind()) {
      case ItemKind::Note:
        if (auto* note = ItemCast<TKVNote>(item)) stays = MapNote(Part, Measure, *note);
        break;
      case ItemKind::Rest:
        if (auto* rest = ItemCast<TKVPause>(item)) stays = MapRest(Part, Measure, *rest);
        break;
      case ItemKind::Chord:
        if (auto* chord = ItemCast<TKVChord>(item); chord && chord->Entries().Count() == 0 && FScore.GetChordText)
          FScore.GetChordText(&FScore, &chord->Data(), &chord->Entries());
        break;
      case ItemKind::Syllable:
        if (auto* lyric = ItemCast<TKVLyric>(item))
          lyric->SetStaffVoice(MapXMLVoice(Part, lyric->StaffVoice()).VoiceByte);
        break;
      case ItemKind::Dynamic:
        if (auto* mark = ItemCast<TKVMark>(item)) mark->SetStaffVoice(MapXMLVoice(Part, mark->StaffVoice()).VoiceByte);
        break;
      default:
        if (auto* mark = ItemCast<TKVMark>(item); mark && IsVoicedMark(item->Kind())) MapMark(Part, *mark);
        break;
    }
    if (stays && !FWalk.DirectionStaves.empty()) PutOnNamedStaff(Part, *item);
    i = stays ? i + 1 : next ? Measure.Items().IndexOf(next) : Measure.GetItemCount();
  }
}

// A mark or words of a direction that names its staff: on that staff, in the
// voice it was mapped to when that voice is the staff's, else in the staff's
// first voice.
void TKVMusicXMLFinish::PutOnNamedStaff(const TKVPart& Part, TKVItem& Item) {
  const auto named = FWalk.DirectionStaves.find(&Item);
  if (named == FWalk.DirectionStaves.end() || named->second >= Part.GetStaffCount()) return;
  const uint8_t staff = named->second;
  if (auto* mark = ItemCast<TKVMark>(&Item)) {
    if (ItemStaff(mark->StaffVoice()) != staff) mark->SetStaffVoice(uint8_t(staff << 4));
  } else if (auto* words = ItemCast<TKVLyric>(&Item)) {
    if (ItemStaff(words->StaffVoice()) != staff) words->SetStaffVoice(uint8_t(staff << 4));
  }
}

bool TKVMusicXMLFinish::MapNote(TKVPart& Part, TKVMeasure& Measure, TKVNote& Note) {
  TKVMark* tuplet = FindXMLTuplet(Measure, Note.StaffVoice(), Note.Position());
  if (Note.Value() == 0) {
    FreeNote(&Note);
    return false;
  }
  const TKVXMLVoice mapped = MapXMLVoice(Part, Note.StaffVoice());
  Note.SetStaffVoice(mapped.VoiceByte);
  Note.VoiceKey() = OwnerReference(Part, mapped);
  TakeTuplet(tuplet, mapped.VoiceByte, Note);
  MapPercussion(Part, Note);
  if (!(Note.PlayState & GraceBit)) return true;
  GatherGraceNote(Measure, Note);
  return false;
}

bool TKVMusicXMLFinish::MapRest(TKVPart& Part, TKVMeasure& Measure, TKVPause& Rest) {
  TKVMark* tuplet = FindXMLTuplet(Measure, Rest.StaffVoice(), Rest.Position());
  if (Rest.Value() == 0) {
    delete &Rest;
    return false;
  }
  const TKVXMLVoice mapped = MapXMLVoice(Part, Rest.StaffVoice());
  Rest.SetStaffVoice(mapped.VoiceByte);
  Rest.VoiceKey() = OwnerReference(Part, mapped);
  TakeTuplet(tuplet, mapped.VoiceByte, Rest);
  // On a part of several staves the first voice's rests stand higher.
  if (Part.GetStaffCount() > 1) {
    const bool first = mapped.Voice && mapped.Staff && mapped.Staff->GetVoice(0) == mapped.Voice;
    Rest.SetOffsetY(first ? -RestRaise : RestRaise);
  }
  return true;
}

// A tuplet that a note or rest has mapped already keeps its voice byte:
// mapping it once more would read the mapped byte as MusicXML numbers.
void TKVMusicXMLFinish::MapMark(TKVPart& Part, TKVMark& Mark) {
  if (!FMappedTuplets.contains(&Mark)) Mark.SetStaffVoice(MapXMLVoice(Part, Mark.StaffVoice()).VoiceByte);
  const TKVStaff* staff = Part.GetStaff(Mark.VoiceKey().StaffIndex);
  if (staff && staff->GetVoiceCount() > 1) Mark.SetFlags(uint8_t(Mark.Flags() | 1));
}

// A tuplet mapped already belongs to the voice that mapped it, even when
// its new voice byte reads like another voice's MusicXML numbers.
void TKVMusicXMLFinish::TakeTuplet(TKVMark* Tuplet, uint8_t VoiceByte, const TKVItem& Item) {
  if (!Tuplet || FMappedTuplets.contains(Tuplet)) return;
  Tuplet->SetStaffVoice(VoiceByte);
  if (const TKVVoiceKey* key = Item.GetVoiceKey()) Tuplet->VoiceKey() = *key;
  FMappedTuplets.insert(Tuplet);
}

// A grace note joins the group of its voice at its position (made when
// there is none) after the group's last grace note.
void TKVMusicXMLFinish::GatherGraceNote(TKVMeasure& Measure, TKVNote& Note) {
  TKVVorschlag* group = nullptr;
  for (TKVItem* item : Measure.Items()) {
    auto* candidate = item->Kind() == ItemKind::GraceGroup ? ItemCast<TKVVorschlag>(item) : nullptr;
    if (candidate && candidate->VoiceKey().VoiceNumber == Note.VoiceKey().VoiceNumber &&
        candidate->Position() == Note.Position()) {
      group = candidate;
      break;
    }
  }
  if (!group) {
    {
      TRegistrationPause<TKVMeasure> pause(Measure);
      group = new TKVVorschlag(&Measure);
    }
    Measure.InsertItem(FScore.FindInsertIndex(&Measure, Note.VoiceKey(), true, 0, Note.Position()), group);
    group->SetStaffVoice(Note.StaffVoice());
    group->VoiceKey() = Note.VoiceKey();
    group->SetPosition(Note.Position());
    group->Data().setU8(VorschlagBlock::Spacing, 1);
    // Grace notes at the measure's end follow the last note.
    if (Measure.Length > 0 && Note.Position() >= Measure.Length) {
      group->SetPosition(uint16_t(Measure.Length - 1));
      group->SetFlags(uint8_t(group->Flags() | 1));
    }
  }
  const auto* last = group->GetItemCount() > 0 ? ItemCast<const TKVNote>(group->GetItem(group->GetItemCount() - 1)) : nullptr;
  Note.SetPosition(last ? uint16_t(last->Position() + last->Duration()) : 0);
  Note.SetJoin(uint8_t(Note.Join() | 1));
  // The bit only told the walk's grace notes apart; the layout and the
  // player read the play state for ties.
  Note.PlayState &= uint8_t(~GraceBit);
  Note.ChangeOwner(group);
}

// On the percussion channel a note of a key with an enabled drum entry moves
// to the entry's staff position and takes the entry's drum set as head.
void TKVMusicXMLFinish::MapPercussion(const TKVPart& Part, TKVNote& Note) {
  if (Part.Channel() != PercussionChannel) return;
  const int32_t key = StepSemitone(PitchStep(Note.Pitch())) + 12 * (PitchOctave(Note.Pitch()) - 5) + 60;
  if (key < 0 || key > 127) return;
  const TKVDrumEntry* entry = FScore.DrumMapBySoundingKey[size_t(key)];
  if (!entry || entry->Data.u8(TKVDrumEntry::Enabled) == 0) return;
  const int32_t steps = entry->Data.u8(TKVDrumEntry::StaffPosition) - DrumStaffPositionOfKeyZero;
  // A position below key 0 has no pitch byte.
  if (steps < 0) return;
  Note.SetPitch(uint8_t((steps / 7) << 4 | steps % 7));
  Note.SetHeadType(uint8_t(std::min(entry->Data.u8(TKVDrumEntry::SetIndex) + FirstDrumHead, 255)));
}

// Slurs that start at the note go with it; those that end at it lose their end.
void TKVMusicXMLFinish::FreeNote(TKVNote* Note) {
  if (!FSlursIndexed) {
    for (size_t i = 0; i < FWalk.Slurs.size(); ++i) {
      const TKVXMLSlur& slur = FWalk.Slurs[i];
      if (slur.EndNote) FSlursByNote.emplace(slur.EndNote, i);
      if (slur.Slur) FSlursByNote.emplace(slur.Slur->Owner(), i);
    }
    FSlursIndexed = true;
  }
  const auto [first, last] = FSlursByNote.equal_range(Note);
  for (auto at = first; at != last; ++at) {
    TKVXMLSlur& slur = FWalk.Slurs[at->second];
    if (slur.EndNote == Note) slur.EndNote = nullptr;
    if (slur.Slur && slur.Slur->Owner() == Note) slur.Slur = nullptr;
  }
  FSlursByNote.erase(first, last);
  delete Note;
}

void TKVMusicXMLFinish::ShowAccidentals(TKVMeasure& Measure, TKVXMLAccidentals& State) {
  std::vector<TTimed> timed;
  for (TKVItem* item : Measure.Items()) {
    if (auto* note = ItemCast<TKVNote>(item); note && item->Kind() == ItemKind::Note) {
      timed.push_back({note->Position(), 2, note->VoiceKey().VoiceNumber, note});
    } else if (auto* group = ItemCast<TKVVorschlag>(item)) {
      for (TKVItem* grace : group->Items())
        if (ItemCast<TKVNote>(grace)) timed.push_back({group->Position(), 1, group->VoiceKey().VoiceNumber, grace});
    } else if (auto* key = ItemCast<TKVMark>(item); key && item->Kind() == ItemKind::KeySignature) {
      timed.push_back({key->Position(), 0, 0, key});
    }
  }
  std::stable_sort(timed.begin(), timed.end(), [](const TTimed& a, const TTimed& b) {
    return a.Time != b.Time ? a.Time < b.Time : a.Rank != b.Rank ? a.Rank < b.Rank : a.Voice < b.Voice;
  });
  State.StartMeasure();
  for (const TTimed& entry : timed) {
    if (entry.Rank == 0) {
      State.SetKey(static_cast<TKVMark*>(entry.Item)->Variant());
      continue;
    }
    auto* note = static_cast<TKVNote*>(entry.Item);
    const int32_t alter = ImportedAlter(note->Accidental);
    note->Accidental = 0;
    uint8_t variant = 0;
    const int32_t staff = ItemStaff(note->StaffVoice());
    const TKVStaff* onStaff = Measure.Part() ? Measure.Part()->GetStaff(staff) : nullptr;
    if (onStaff && onStaff->Data().u8(StaffBlock::Tablature) != 0
            ? !TKVXMLAccidentals::NeedsTablatureSign(alter, variant)
            : !State.NeedsSign(staff, note->Line(), alter, entry.Rank == 1, variant))
      continue;
    auto* sign = new TKVMark(note);
    sign->SetKind(ItemKind::Accidental);
    sign->SetVariant(variant);
    note->Accidental = SignByte(alter);
  }
}
