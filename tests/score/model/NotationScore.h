#pragma once

#include <deque>
// A score built in code for the notation rules: one piece with one part of
// the given staves and voices, measures with hand-filled measure records (the
// layout's job), and helpers that put notes, rests and marks into a measure
// with their voice keys set as the file reader sets them.

#include <memory>
#include <string>

#include "score/model/ItemFactory.h"
#include "score/model/ItemKinds.h"
#include "score/model/LayoutRecords.h"
#include "score/model/Mark.h"
#include "score/model/Measure.h"
#include "score/model/Note.h"
#include "score/model/Part.h"
#include "score/model/Pause.h"
#include "score/model/Piece.h"
#include "score/model/Score.h"
#include "score/model/ScoreTypes.h"
#include "score/model/Staff.h"
#include "score/model/Voice.h"

class TNotationScore {
public:
  explicit TNotationScore(int staves = 1, int voicesPerStaff = 1, int measures = 1) {
    piece = score.NewPiece();
    part = piece->NewPart();
    for (int s = 0; s < staves; ++s) {
      TKVStaff* staff = part->NewStaff();
      for (int v = 0; v < voicesPerStaff; ++v) staff->NewVoice();
    }
    for (int m = 0; m < measures; ++m) {
      part->NewMeasure();
      auto record = std::make_unique<TKVMeasureRecord>();
      record->ColumnIndex = uint16_t(m);
      record->Meter = record->MarkMeter = 0x0404;
      record->Length = record->MarkLength = 512;
      auto partRecord = std::make_unique<TKVPartLayoutRecord>();
      for (int s = 0; s < staves; ++s) partRecord->StaffRecords.push_back(std::make_unique<TKVStaffLayoutRecord>());
      record->PartRecords.push_back(std::move(partRecord));
      piece->Layout().MeasureRecords.push_back(std::move(record));
    }
    piece->Layout().MeasureRecordCount = measures;
  }

  TKVMeasure& Measure(int m = 0) { return *part->GetMeasure(m); }
  TKVMeasureRecord& Record(int m = 0) { return *piece->Layout().MeasureRecords[size_t(m)]; }
  void SetMeter(uint16_t meter, int m = 0) {
    Record(m).Meter = Record(m).MarkMeter = meter;
    Record(m).Length = Record(m).MarkLength = uint16_t(MeterLength(meter));
  }

  TKVVoiceKey Key(int staff = 0, int voice = 0) {
    return {uint8_t(part->Index()), uint16_t(part->GetStaff(staff)->GetVoice(voice)->Number()), uint8_t(staff),
            uint8_t(voice)};
  }

  // A note on Line (step + 7 x octave) of a quarter by default.
  TKVNote* Note(uint16_t position, int line, uint16_t duration = 128, int staff = 0, int voice = 0, int m = 0) {
    return Place<TKVNote>(ItemKind::Note, &Measure(m), position, staff, voice, [&](TKVNote* note) {
      note->SetPitch(MakePitch(line / 7, line % 7));
      note->SetValue(duration);
      note->SetDuration(duration);
    });
  }
  TKVPause* Rest(uint16_t position, uint16_t duration, int staff = 0, int voice = 0, int m = 0) {
    return Place<TKVPause>(ItemKind::Rest, &Measure(m), position, staff, voice, [&](TKVPause* rest) {
      rest->SetValue(duration);
      rest->SetDuration(duration);
    });
  }
  TKVMark* Mark(uint8_t kind, uint16_t position, uint16_t value = 0, int staff = 0, int voice = 0, int m = 0) {
    return Place<TKVMark>(kind, &Measure(m), position, staff, voice,
                          [&](TKVMark* mark) { mark->SetValue(value); });
  }
  // A clef of Code at Position on a staff, listed as the layout lists it.
  TKVMark* Clef(uint8_t code, uint16_t position = 0, int staff = 0, int m = 0) {
    TKVMark* clef = Mark(ItemKind::Clef, position, 0, staff, 0, m);
    clef->SetVariant(code);
    TKVDisplayItem& display = ClefDisplays.emplace_back();
    display.Item = clef;
    Record(m).PartRecords[0]->StaffRecords[size_t(staff)]->ClefList.push_back(&display);
    return clef;
  }

  // The rests of a measure in list order, as "length@position" words.
  std::string Rests(int m = 0) {
    std::string text;
    for (TKVItem* item : Measure(m).Items())
      if (auto* rest = dynamic_cast<TKVPause*>(item))
        text += (text.empty() ? "" : " ") + std::to_string(rest->Duration()) + "@" + std::to_string(rest->Position());
    return text;
  }

  TKVScore score;
  TKVPiece* piece;
  TKVPart* part;

private:
  template <class T, class Fill>
  T* Place(uint8_t kind, TObject* owner, uint16_t position, int staff, int voice, Fill fill) {
    auto* item = static_cast<T*>(CreateItemByKind(kind, owner));
    item->SetPosition(position);
    item->SetStaffVoice(MakeStaffVoice(staff, voice));
    item->VoiceKey() = Key(staff, voice);
    fill(item);
    return item;
  }
  std::deque<TKVDisplayItem> ClefDisplays;  // stable addresses for the clef lists
};
