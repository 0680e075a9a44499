// The passes of the MIDI import around the conversion of the parts: tempo
// marks into the columns, clef changes by the pitch of the notes, part
// labels, the page mark and the raw MIDI events.

#include <algorithm>

#include "base/Strings.h"
#include "platform/text/TextMeasurer.h"
#include "score/import/text/AnsiText.h"
#include "score/import/midi/MidiConversion.h"
#include "score/model/Column.h"
#include "score/model/ItemFactory.h"
#include "score/model/ItemKinds.h"
#include "score/model/Liga.h"
#include "score/model/Lyric.h"
#include "score/model/Mark.h"
#include "score/model/Measure.h"
#include "score/model/Note.h"
#include "score/model/Part.h"
#include "score/model/Piece.h"
#include "score/model/RegistrationPause.h"
#include "score/model/SimpleElements.h"

namespace {

constexpr uint8_t TrebleClef = 1, BassClef = 2, HighClef = 4;
constexpr uint8_t LabelFontSize = 10;
constexpr const char* LabelFont = "Arial";

TKVNote* AsNoteItem(TKVItem* item) {
  return item->Kind() == ItemKind::Note ? ItemCast<TKVNote>(item) : nullptr;
}

bool IsTie(const TKVItem* item) {
  const auto* liga = ItemCast<const TKVLiga>(item);
  return liga && liga->Flag(LigaFlag::Tie);
}

// The clef a group of notes of average line Average asks for, with a margin
// around each change so that the clef does not flip back and forth.
uint8_t ClefFor(uint8_t current, int32_t average) {
  switch (current) {
    case BassClef:
      return average >= 54 ? HighClef : average > 41 ? TrebleClef : current;
    case HighClef:
      return average < 31 ? BassClef : average < 43 ? TrebleClef : current;
    default:
      return average >= 49 ? HighClef : average < 36 ? BassClef : current;
  }
}

}  // namespace

void TKVMidiConversion::PlaceScoreMark(const TKVImportEvent& Record) {
  const auto* tempo = std::get_if<TKVImportTempo>(&Record.Item);
  if (!tempo) return;
  const int32_t quantum = FOptions.ImportQuantum;
  const auto time = uint64_t(Round(double(Record.Time) / quantum)) * uint64_t(quantum);
  const TKVMidiMeasureMap::TPlace place = FMap.Locate(time);
  TKVColumn* column = GetColumn(place.Measure);
  if (!column) return;
  // Of two tempo changes at one place the later is kept.
  for (TKVItem* item : column->Items())
    if (auto* mark = ItemCast<TKVMark>(item);
        mark && mark->Kind() == ItemKind::TempoMark && mark->Position() == place.Offset) {
      mark->SetValue(tempo->BeatsPerMinute);
      return;
    }
  TKVMark* mark = NewMark(column, ItemKind::TempoMark);
  mark->SetVariant(TKVImportTempo::SubKind);
  mark->SetValue(tempo->BeatsPerMinute);
  mark->SetPosition(uint16_t(place.Offset));
  mark->SetOffsetY(-128);
}

void TKVMidiConversion::ClefChangePass() {
  uint8_t clef = TrebleClef;
  TKVMeasure* first = FPart->GetMeasure(0);
  for (TKVItem* item : first->Items())
    if (auto* mark = ItemCast<TKVMark>(item); mark && mark->Kind() == ItemKind::Clef && mark->Variant() == BassClef)
      clef = BassClef;

  for (int32_t k = 0; k < FPart->GetMeasureCount(); ++k) {
    TKVMeasure& measure = *FPart->GetMeasure(k);
    int32_t sum = 0, count = 0, groupPosition = 0;

    // Two notes at or before the group's position share a beam group.
    auto inBeamGroup = [&] {
      std::vector<uint8_t> groups;
      for (TKVItem* item : measure.Items())
        if (TKVNote* n = AsNoteItem(item); n && n->Position() <= groupPosition && n->BeamGroup != 0) {
          if (std::find(groups.begin(), groups.end(), n->BeamGroup) != groups.end()) return true;
          groups.push_back(n->BeamGroup);
        }
      return false;
    };
    // A note tied over the point where the clef would change keeps the clef.
    auto tiedAcross = [&] {
      TKVMeasure* holder = &measure;
      int32_t point = groupPosition;
      if (point <= 0) {
        if (k == 0 || k - 1 >= FMap.MapSize()) return false;
        holder = FPart->GetMeasure(k - 1);
        point = FMap.LengthOf(k - 1);
      }
      for (TKVItem* item : holder->Items()) {
        TKVNote* n = AsNoteItem(item);
        if (n && n->Position() < point && n->Position() + n->Duration() >= point &&
            std::any_of(n->Items().begin(), n->Items().end(), IsTie))
          return true;
      }
      return false;
    };
    auto insertClef = [&](uint8_t value) {
      if (tiedAcross()) return;
      TKVMark* mark = nullptr;
      if (k == 0) {
        for (TKVItem* item : measure.Items())
          if (auto* m = ItemCast<TKVMark>(item); m && m->Kind() == ItemKind::Clef) {
            mark = m;
            break;
          }
      }
      if (!mark) {
        std::unique_ptr<TKVMark> made;
        {
          TRegistrationPause<TKVMeasure> pause(measure);
          made.reset(NewMark(&measure, ItemKind::Clef));
        }
        made->VoiceKey() = VoiceKeyOf(0, 0);
        auto at = std::find_if(measure.Items().begin(), measure.Items().end(), [](const TKVItem* item) {
          return item->Kind() == ItemKind::Note || item->Kind() == ItemKind::Rest;
        });
        measure.InsertItem(int32_t(at - measure.Items().begin()), made.get());
        mark = made.release();
      }
      mark->SetVariant(value);
      mark->SetPosition(0);
    };
    auto chooseClef = [&] {
      const uint8_t next = ClefFor(clef, sum / std::max(count, 1));
      if (next == clef) return;
      clef = next;
      insertClef(clef);
    };

    const std::vector<TKVItem*> items = measure.Items().Items();
    for (TKVItem* item : items) {
      TKVNote* n = AsNoteItem(item);
      if (!n) continue;
      if (n->Position() == groupPosition || sum == 0) {
        sum += n->Line();
        ++count;
        continue;
      }
      if (!inBeamGroup()) {
        chooseClef();
        sum = count = 0;
      }
      groupPosition = n->Position();
    }
    if (count > 0 && !inBeamGroup()) chooseClef();
  }
}

void TKVMidiConversion::AddPartLabel() {
  if (!FOptions.ImportPartLabels || FPart->Name().empty()) return;
  TKVMeasure* first = FPart->GetMeasure(0);
  std::unique_ptr<TKVLyric> label;
  {
    TRegistrationPause<TKVMeasure> pause(*first);
    label.reset(static_cast<TKVLyric*>(CreateItemByKind(ItemKind::LyricLine, first)));
  }
  label->SetFontSize(LabelFontSize);
  label->SetText(LabelFont);
  label->Lines().push_back(Utf8ToUtf16(FPart->Name()));
  first->InsertItem(0, label.get());
  FLabels.push_back(label.release());
}

// Every label stands left of its part by the width of the widest.
void TKVMidiConversion::AlignPartLabels() {
  int32_t widest = 0;
  for (TKVLyric* label : FLabels) {
    const text::TFontSpec font{label->Text(), label->FontSize() * 8, 0};
    widest = std::max(widest, text::CurrentMeasurer().TextWidthW(font, label->Lines().front()));
    label->SetFlags(uint8_t(label->Flags() | 1));
  }
  if (widest > 0)
    for (TKVLyric* label : FLabels) label->SetOffsetX(int16_t(-std::min(widest, 32767)));
}

void TKVMidiConversion::AddPageMark() {
  const TKVPage& page = FScore.Page();
  const auto x = int16_t(page.GetWidthPixels() * 8 / 2 - 36);
  const auto y = int16_t((page.GetHeightPixels() - page.GetBottomMarginPixels()) * 8 - 96);
  FPageMark = FScore.AddPageMark(false, 1, 8, x, y, LabelFont, 8, 0, 0, 0);
}

void TKVMidiConversion::PlaceMIDIEvents() {
  for (const auto& record : FState.MIDIEvents) {
    const auto* event = std::get_if<TKVImportMIDIEvent>(&record->Item);
    const TKVMidiMeasureMap::TPlace place = FMap.Locate(record->Time);
    TKVColumn* column = GetColumn(place.Measure);
    if (!event || !column) continue;
    auto* item = static_cast<TKVMIDIEvent*>(CreateItemByKind(ItemKind::MidiEvent, column));
    item->SetData(event->Data.data(), uint16_t(event->Data.size()));
    item->SetPosition(uint16_t(place.Offset));
  }
  FState.MIDIEvents.clear();
}
