#include "score/import/midi/MidiConversion.h"

#include <algorithm>
#include <optional>
#include <variant>

#include "base/Strings.h"
#include "score/import/ImportErrors.h"
#include "score/import/midi/MidiAccidentals.h"
#include "score/import/midi/MidiQuantizer.h"
#include "score/import/midi/MidiSpelling.h"
#include "score/model/Column.h"
#include "score/model/ItemFactory.h"
#include "score/model/ItemKinds.h"
#include "score/model/Lyric.h"
#include "score/model/Mark.h"
#include "score/model/Measure.h"
#include "score/model/Note.h"
#include "score/model/Part.h"
#include "score/model/Pause.h"
#include "score/model/Piece.h"
#include "score/model/RegistrationPause.h"
#include "score/model/Staff.h"
#include "score/model/TreeEvents.h"
#include "score/model/Voice.h"

namespace {

// Mark kinds the import makes and the model knows by number only.
constexpr uint8_t DrumClef = 15, TrebleClef = 1, BassClef = 2;

bool IsPianoProgram(uint8_t program) { return program <= 7; }

// Whether a part holds a note.
bool HoldsNotes(const TKVMidiImportState& State) {
  for (const auto& part : State.Parts)
    for (const auto& e : part->Events)
      if (std::holds_alternative<TKVImportNote>(e->Item)) return true;
  return false;
}

// The measure a piece without notes ends with: the one that holds the last
// tick of its tracks (none when they end at once).
std::optional<int64_t> SilentEnd(const TKVMidiImportState& State, const TKVMidiMeasureMap& Map) {
  if (State.EndTime == 0 || HoldsNotes(State)) return std::nullopt;
  return Map.Locate(State.EndTime - 1).Measure;
}

}  // namespace

void CheckMidiImportLimits(const TKVMidiImportState& State, const TKVImportOptions& Options) {
  int64_t columns = int64_t(State.MeterMap.size());
  if (columns > MidiImportLimits::Measures) throw EImportError(SMidiTooLarge);
  const TKVMidiMeasureMap map(State.MeterMap);
  int64_t partMeasures = 0;
  size_t parts = 0;
  for (const auto& part : State.Parts) {
    if (part->Events.empty()) continue;
    ++parts;
    int64_t measures = 1;
    std::vector<size_t> perMeasure;
    for (const auto& e : part->Events) {
      const int64_t start = map.Locate(e->Time).Measure;
      measures = std::max(measures, map.Locate(uint64_t(e->Time) + e->Length).Measure + 1);
      if (start >= MidiImportLimits::Measures) break;
      if (perMeasure.size() <= size_t(start)) perMeasure.resize(size_t(start) + 1);
      if (++perMeasure[size_t(start)] > MidiImportLimits::MeasureRecords) throw EImportError(SMidiTooLarge);
    }
    columns = std::max(columns, measures);
    partMeasures += measures;
  }
  const double quantum = std::max<int>(Options.ImportQuantum, 1);
  for (const auto& e : State.ScoreMarks)
    columns = std::max(columns, map.Locate(uint64_t(Round(e->Time / quantum)) * uint64_t(quantum)).Measure + 1);
  for (const auto& e : State.MIDIEvents) columns = std::max(columns, map.Locate(e->Time).Measure + 1);
  if (const std::optional<int64_t> end = SilentEnd(State, map)) columns = std::max(columns, *end + 1);
  if (columns > MidiImportLimits::Measures || parts > MidiImportLimits::Parts ||
      partMeasures > MidiImportLimits::PartMeasures)
    throw EImportError(SMidiTooLarge);
}

TKVMidiConversion::TKVMidiConversion(TKVScore& Score, TKVMidiImportState& State)
    : FScore(Score), FState(State), FMap(State.MeterMap), FOptions(Score.ImportOptions) {
  FOptions.ImportQuantum = std::max<uint16_t>(FOptions.ImportQuantum, 1);
  // The voice nibble of a note numbers at most 16 voices on a staff.
  FOptions.ImportMaxVoices = std::min<uint8_t>(FOptions.ImportMaxVoices, 16);
}

void TKVMidiConversion::Run() {
  // A file without notes has no other length than that of its tracks.
  const std::optional<int64_t> silentEnd = SilentEnd(FState, FMap);
  FPiece = FScore.NewPiece();
  // Until the first tempo event (without one a file played at half speed).
  FPiece->SetTempo(TKVImportTempo::Default);
  FScore.SetAlign(11);
  FScore.FileText(2) += FState.ThirdHeaderString;
  NewMark(GetColumn(0), ItemKind::MeasureNumber)->SetValue(1);
  PlaceMeterMarks();
  for (const auto& record : FState.ScoreMarks) PlaceScoreMark(*record);
  FState.ScoreMarks.clear();
  for (auto& source : FState.Parts)
    if (!source->Events.empty()) ConvertWholePart(*source);
  FState.Parts.clear();
  FormatParts();
  AlignPartLabels();
  AddPageMark();
  if (FPiece->GetPartCount() == 0) FScore.NewPart(FPiece);
  PlaceMIDIEvents();
  if (silentEnd) GetColumn(*silentEnd);
}

void TKVMidiConversion::Discard() {
  delete FPageMark;
  FPageMark = nullptr;
  delete FPiece;
  FPiece = nullptr;
}

void TKVMidiConversion::PlaceMeterMarks() {
  uint16_t previous = 0;
  for (size_t i = 0; i < FState.MeterMap.size(); ++i) {
    const uint16_t meter = FState.MeterMap[i];
    if (meter == previous) continue;
    previous = meter;
    TKVColumn* column = GetColumn(int64_t(i));
    NewMark(column, ItemKind::Meter)->SetValue(meter);
    NewMark(column, ItemKind::DoubleSlash);
  }
}

TKVColumn* TKVMidiConversion::GetColumn(int64_t Index) {
  if (Index >= MidiImportLimits::Measures) return nullptr;
  while (FPiece->GetColumnCount() <= Index) FPiece->NewColumn();
  return FPiece->GetColumn(int32_t(Index));
}

TKVMeasure* TKVMidiConversion::GetPartMeasure(int64_t Index) {
  if (Index < 0 || Index >= MidiImportLimits::Measures) return nullptr;
  // Only measures with a column are laid out: the piece gets one for every
  // measure the import makes.
  GetColumn(Index);
  while (FPart->GetMeasureCount() <= Index) {
    TKVMeasure* measure = FPart->NewMeasure();
    measure->StaffNoteCounts.assign(size_t(FPart->GetStaffCount()), 0);
  }
  return FPart->GetMeasure(int32_t(Index));
}

TKVMark* TKVMidiConversion::NewMark(TObject* Owner, uint8_t Kind) {
  return static_cast<TKVMark*>(CreateItemByKind(Kind, Owner));
}

TKVVoiceKey TKVMidiConversion::VoiceKeyOf(int32_t StaffIndex, int32_t VoiceIndex) const {
  TKVVoiceKey key;
  key.PartIndex = uint8_t(FPart->Index());
  key.StaffIndex = uint8_t(StaffIndex);
  key.VoiceIndex = uint8_t(VoiceIndex);
  TKVStaff* staff = FPart->GetStaff(StaffIndex);
  if (TKVVoice* voice = staff ? staff->GetVoice(VoiceIndex) : nullptr) key.VoiceNumber = uint16_t(voice->Number());
  return key;
}

void TKVMidiConversion::RefreshVoiceNumbers() {
  for (int32_t m = 0; m < FPart->GetMeasureCount(); ++m)
    for (TKVItem* item : FPart->GetMeasure(m)->Items())
      if (TKVVoiceKey* key = item->GetVoiceKey())
        key->VoiceNumber = VoiceKeyOf(key->StaffIndex, key->VoiceIndex).VoiceNumber;
}

void TKVMidiConversion::ConvertWholePart(TKVMidiImportPart& Source) {
  FPart = MakePart(Source);
  FLastKey = nullptr;
  GetPartMeasure(0);
  if (FScore.OnGetInstrument) FScore.OnGetInstrument(&FScore, FPart);
  MakeStaves(Source);
  ConvertPart(Source);
  ShowAccidentals(*FPart);
  // Filling a measure changes no later one, so what the later measures hold
  // is known before the first.
  FLastStaffUse = LastStaffUse(*FPart);
  for (int32_t m = 0; m < FPart->GetMeasureCount(); ++m) ApplyNotationRules(*FPart->GetMeasure(m));
  if (FOptions.ImportClefChanges && FPart->Channel() != MidiDrumChannel && FPart->GetStaffCount() == 1)
    ClefChangePass();
  if (FPart->Channel() == TKVMidiImportPart::NoChannel) FPart->SetChannel(0);
  try {
    NotifyItemChanged(&FScore, FPart, nullptr);
  } catch (...) {
    // A failing handler does not stop the import.
  }
  AddPartLabel();
}

TKVPart* TKVMidiConversion::MakePart(const TKVMidiImportPart& Source) {
  TKVPart* part = FPiece->NewPart();
  part->SetChannel(Source.Channel);
  if (Source.Program) part->Data().setU8(PartBlock::Program, *Source.Program);
  if (Source.Volume) part->SetVolume(*Source.Volume);
  if (Source.Pan) part->SetPan(*Source.Pan);
  if (!Source.Name.empty()) part->SetName(Source.Name);
  return part;
}

// A piano part (programs 0 to 7) with a note at or below middle C gets a
// second staff in the bass clef, joined to the first by a bracket.
void TKVMidiConversion::MakeStaves(const TKVMidiImportPart& Source) {
  TKVMeasure* first = FPart->GetMeasure(0);
  const bool piano = IsPianoProgram(FPart->Program());
  int32_t staves = 1;
  if (!FOptions.ImportSingleStaff && piano && Source.LowNote) {
    NewMark(first, ItemKind::StaffBracket);
    staves = 2;
  }
  for (int32_t s = 0; s < staves; ++s) {
    TKVMark* clef = NewMark(first, ItemKind::Clef);
    clef->SetStaffVoice(MakeStaffVoice(s, 0));
    clef->SetVariant(FPart->Channel() == MidiDrumChannel ? DrumClef : s > 0 && piano ? BassClef : TrebleClef);
    FPart->NewStaff()->NewVoice();
    clef->VoiceKey() = VoiceKeyOf(s, 0);
  }
  first->StaffNoteCounts.assign(size_t(staves), 0);
}

void TKVMidiConversion::ConvertPart(TKVMidiImportPart& Source) {
  std::vector<TMidiWorkList> lists;
  for (const auto& event : Source.Events) {
    const TKVMidiMeasureMap::TPlace place = FMap.Locate(event->Time);
    if (place.Measure >= MidiImportLimits::Measures) continue;
    auto record = std::make_unique<TMidiWorkRecord>();
    record->Source = event.get();
    record->Time = uint32_t(place.Offset);
    record->Length = event->Length;
    record->Velocity = event->Velocity;
    record->Position = place.Offset;
    record->Value = event->Length;
    if (const auto* note = std::get_if<TKVImportNote>(&event->Item)) {
      record->IsNote = true;
      record->Note = *note;
    }
    if (lists.size() <= size_t(place.Measure)) lists.resize(size_t(place.Measure) + 1);
    lists[size_t(place.Measure)].push_back(std::move(record));
  }
  // In time order, records of one time in the order they came.
  for (TMidiWorkList& list : lists)
    std::stable_sort(list.begin(), list.end(), [](const auto& a, const auto& b) { return a->Time < b->Time; });
  // Split notes add the next measure's list while the loop runs.
  for (size_t k = 0; k < lists.size(); ++k) {
    CopyFirstPartKeys(int64_t(k));
    QuantizeMeasure(lists, k);
    TMidiWorkList& list = lists[k];
    // The notes of one position in falling pitch; notes of one pitch keep
    // their order, and a new note does not pass the second half of a note
    // across the bar line, which keeps its voice.
    for (size_t i = 0; i < list.size(); ++i) {
      if (!list[i]->IsNote) continue;
      for (size_t j = i + 1; j < list.size(); ++j) {
        if (!list[j]->IsNote) continue;
        if (list[j]->Position > list[i]->Position) break;
        if (list[j]->Position == list[i]->Position && list[i]->Line() < list[j]->Line() &&
            (list[j]->Link || !list[i]->Link))
          std::rotate(list.begin() + std::ptrdiff_t(i), list.begin() + std::ptrdiff_t(j),
                      list.begin() + std::ptrdiff_t(j) + 1);
      }
    }
    for (auto& record : list) PlaceRecord(*record, int64_t(k));
    TMidiWorkList().swap(list);
  }
}

// A later part takes the key changes of the first part's measure.
void TKVMidiConversion::CopyFirstPartKeys(int64_t MeasureIndex) {
  TKVPart* first = FPiece->GetPart(0);
  TKVMeasure* source = first && first != FPart ? first->GetMeasure(int32_t(MeasureIndex)) : nullptr;
  if (!source) return;
  const std::vector<TKVItem*> items = source->Items().Items();
  for (TKVItem* item : items) {
    auto* key = ItemCast<TKVMark>(item);
    if (!key || key->Kind() != ItemKind::KeySignature) continue;
    if (FLastKey && FLastKey->Variant() == key->Variant()) continue;
    TKVMeasure* measure = GetPartMeasure(MeasureIndex);
    if (!measure) return;
    FLastKey = NewMark(measure, ItemKind::KeySignature);
    FLastKey->Assign(*key);
  }
}

void TKVMidiConversion::QuantizeMeasure(std::vector<TMidiWorkList>& Lists, size_t MeasureIndex) {
  const int32_t length = FMap.LengthOf(int64_t(MeasureIndex));
  const TMidiGridOptions options{FOptions.ImportQuantum, FOptions.ImportTriplets != 0};
  const int32_t numerator = MeterNumerator(FMap.MeterOf(int64_t(MeasureIndex)));
  const int32_t splitKey = FOptions.ImportSplitKey;
  std::vector<std::pair<TMidiNoteFilter, int32_t>> staves;
  if (FPart->GetStaffCount() > 1) {
    staves.emplace_back([splitKey](const TMidiWorkRecord& r) { return r.Semitones() >= splitKey; }, 0);
    staves.emplace_back([splitKey](const TMidiWorkRecord& r) { return r.Semitones() < splitKey; }, 1);
  } else {
    staves.emplace_back(TMidiNoteFilter(), 0);
  }
  for (auto& [filter, staff] : staves) {
    TMidiWorkList next;
    const std::vector<TMidiTripletCell> triplets =
        ::QuantizeMeasure(Lists[MeasureIndex], filter, length, numerator, options, next);
    if (!next.empty()) {
      if (Lists.size() <= MeasureIndex + 1) Lists.resize(MeasureIndex + 2);
      TMidiWorkList& following = Lists[MeasureIndex + 1];
      following.insert(following.begin(), std::make_move_iterator(next.begin()), std::make_move_iterator(next.end()));
    }
    TKVMeasure* measure = triplets.empty() ? nullptr : GetPartMeasure(int64_t(MeasureIndex));
    for (const TMidiTripletCell& cell : triplets) {
      if (!measure) break;
      TKVMark* tuplet = NewMark(measure, ItemKind::Tuplet);
      tuplet->SetVariant(3);
      tuplet->SetStaffVoice(MakeStaffVoice(staff, 0));
      tuplet->VoiceKey() = VoiceKeyOf(staff, 0);
      tuplet->SetPosition(uint16_t(cell.Start));
      tuplet->SetValue(uint16_t(cell.Length >> 1));
      tuplet->Extra().Resize(6);
      tuplet->Extra().setU16(0, uint16_t(cell.SubPoints[1] - cell.SubPoints[0]));
      tuplet->Extra().setU16(2, uint16_t(cell.SubPoints[2] - cell.SubPoints[1]));
      tuplet->Extra().setU16(4, uint16_t(cell.Length - cell.SubPoints[2]));
    }
  }
}

void TKVMidiConversion::PlaceRecord(TMidiWorkRecord& Record, int64_t MeasureIndex) {
  if (Record.IsNote) return PlaceNote(Record, MeasureIndex);
  TKVMeasure* measure = GetPartMeasure(MeasureIndex);
  if (!measure || !Record.Source) return;
  if (const auto* text = std::get_if<TKVImportLyric>(&Record.Source->Item)) {
    std::unique_ptr<TKVLyric> lyric;
    {
      TRegistrationPause<TKVMeasure> pause(*measure);
      lyric.reset(static_cast<TKVLyric*>(CreateItemByKind(text->Kind, measure)));
    }
    lyric->SetPosition(uint16_t(Record.Time));
    lyric->SetFlags(text->Style);
    lyric->SetOffsetY(int16_t(text->Value));
    lyric->Lines().push_back(text->Text);
    lyric->VoiceKey() = VoiceKeyOf(0, 0);
    measure->InsertItem(FScore.FindInsertIndex(measure, lyric->VoiceKey(), false, 0, int32_t(Record.Time)),
                        lyric.get());
    lyric.release();
  } else if (const auto* key = std::get_if<TKVImportKeySignature>(&Record.Source->Item)) {
    // A key already in force is not written again.
    if (FLastKey && FLastKey->Variant() == key->Key) return;
    FLastKey = NewMark(measure, ItemKind::KeySignature);
    FLastKey->SetVariant(key->Key);
    FLastKey->SetFlags(key->Mode);
    FLastKey->SetPosition(uint16_t(Record.Time));
    FLastKey->SetValue(Record.Length);
  }
}

void TKVMidiConversion::ApplyNotationRules(TKVMeasure& Measure) {
  std::vector<TKVNote*> notes;
  for (TKVItem* item : Measure.Items())
    if (auto* note = ItemCast<TKVNote>(item); note && note->Kind() == ItemKind::Note) notes.push_back(note);
  for (TKVNote* note : notes) {
    TKVStaff* staff = FPart->GetStaff(ItemStaff(note->StaffVoice()));
    note->Voice = staff ? staff->GetVoice(ItemVoice(note->StaffVoice())) : nullptr;
    note->Channel = note->Voice && note->Voice->HasOwnSettings() ? note->Voice->Channel() : FPart->Channel();
  }
  Measure.UpdateVoiceLayout(-1, true);
  for (TKVNote* note : notes) Measure.CalcBeatGrid(note, true);
  Measure.BuildBeamGroups(0, false, nullptr);
  for (TKVNote* note : notes) Measure.CalcStemDirection(note->BeamGroup, note->VoiceKey(), note->Position());
  Measure.FillRests(true, FMap.LengthOf(Measure.Index()), false, &FLastStaffUse);
  Measure.UpdateStems();
  // A staff without notes shows a whole-measure rest; the rest filling may
  // have made it already.
  for (int32_t s = 0; s < FPart->GetStaffCount(); ++s) {
    const bool hasNotes = size_t(s) < Measure.StaffNoteCounts.size() && Measure.StaffNoteCounts[size_t(s)] > 0;
    const bool hasRest = std::any_of(Measure.Items().begin(), Measure.Items().end(), [s](const TKVItem* item) {
      return item->Kind() == ItemKind::Rest && ItemStaff(static_cast<const TKVPause*>(item)->StaffVoice()) == s;
    });
    if (hasNotes || hasRest) continue;
    std::unique_ptr<TKVPause> rest;
    {
      TRegistrationPause<TKVMeasure> pause(Measure);
      rest = std::make_unique<TKVPause>(&Measure);
    }
    rest->SetValue(TicksPerWhole);
    rest->SetDuration(TicksPerWhole);
    rest->SetStaffVoice(MakeStaffVoice(s, 0));
    rest->VoiceKey() = VoiceKeyOf(s, 0);
    Measure.InsertItem(FScore.FindInsertIndex(&Measure, rest->VoiceKey(), false, 0, 0), rest.get());
    rest.release();
  }
}

// The beams take their stems from the clefs that the layout of the columns
// finds. One layout after the last part gives every part the records it
// would have after its own (a part's layout does not depend on the parts
// after it), where a layout after each part would lay the earlier parts out
// again each time.
void TKVMidiConversion::FormatParts() {
  const int32_t piece = FPiece->GetIndex();
  for (int32_t column = 0; FScore.FormatMeasure(piece, column); ++column) {
  }
  for (int32_t p = 0; p < FPiece->GetPartCount(); ++p)
    for (int32_t m = 0; m < FPiece->GetPart(p)->GetMeasureCount(); ++m)
      FPiece->GetPart(p)->GetMeasure(m)->CalcBeamGeometry(0);
}
