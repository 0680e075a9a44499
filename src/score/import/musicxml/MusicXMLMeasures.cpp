// Measures and their attributes (divisions, key, time, staves, clefs, staff
// details and tablature tuning), barlines of the first part, print breaks and
// the tempo of sound elements.

#include <algorithm>

#include "base/Exceptions.h"
#include "platform/text/TextMeasurer.h"
#include "score/import/musicxml/MusicXMLVoices.h"
#include "score/import/musicxml/MusicXMLWalk.h"
#include "score/model/Column.h"
#include "score/model/DisplayUnits.h"
#include "score/model/ItemKinds.h"
#include "score/model/Lyric.h"
#include "score/model/Mark.h"
#include "score/model/Measure.h"
#include "score/model/Part.h"
#include "score/model/Piece.h"
#include "score/model/ScoreTypes.h"
#include "score/model/Staff.h"

namespace {

constexpr int32_t MaxStaves = 16;
constexpr size_t MeterDisplayByte = 26;

bool HoldsKind(const TKVItemHolder& holder, uint8_t kind, TKVItem** found = nullptr) {
  for (TKVItem* item : holder.Items())
    if (item->Kind() == kind) {
      if (found) *found = item;
      return true;
    }
  return false;
}

}  // namespace

bool TKVMusicXMLWalk::HandleMeasure(TKVXMLElement Code) {
  switch (Code) {
    case xeMeasure:
      if (!ParentIs(xePart)) return false;
      OnMeasure();
      return true;
    case xeNumber:
      if (ParentIs(xeMeasure) && FMeasure) {
        FMeasure->Number = Number(0);
        if (FMeasure->Number == 0) Pickup = true;
      } else if (ParentIs(xeClef) && FClefMark) {
        FClefMark->SetStaffVoice(uint8_t((Number(0) - 1) << 4));
      } else if (ParentIs(xeEnding)) {
        OnEndingNumber();
      } else {
        return false;
      }
      return true;
    case xeAttributes:
    case xePrint:
      if (ParentIs(xeMeasure)) SetScope(Code);
      return true;
    case xeDivisions:
      if (ParentIs(xeAttributes)) OnDivisions();
      return true;
    case xeKey:
    case xeStaffDetails:
      if (ParentIs(xeAttributes)) SetScope(Code);
      return true;
    case xeFifths:
      if (ParentIs(xeKey)) OnFifths();
      return true;
    case xeMode:
      if (ParentIs(xeKey) && FKeyMark) FKeyMark->SetFlags(Text() == "minor" ? 0 : 1);
      return true;
    case xeTime:
      if (ParentIs(xeAttributes) && FMeasure) SetScope(Code);
      return true;
    case xeBeats:
      if (ParentIs(xeTime)) OnBeats();
      return true;
    case xeBeatType:
      if (ParentIs(xeTime)) OnBeatType();
      return true;
    case xeStaves:
      if (ParentIs(xeAttributes)) OnStaves();
      return true;
    case xeClef:
      if (ParentIs(xeAttributes, xeMeasure)) OnClef();
      return true;
    case xeSign:
      if (ParentIs(xeClef) && FClefMark) {
        FClefMark->SetVariant(uint8_t(ClefSignToKind(Text())));
        FStaffClefs[FClefMark->StaffVoice() >> 4] = FClefMark->Variant();
      }
      return true;
    case xeLine:
      if (ParentIs(xeStaffTuning)) FTuningLine = Number(1) - 1;
      return true;
    case xeStaffLines:
      if (ParentIs(xeStaffDetails)) OnStaffLines();
      return true;
    case xeStaffTuning:
      if (ParentIs(xeStaffDetails)) OnStaffTuning();
      return true;
    case xeTuningStep:
    case xeTuningOctave:
      if (ParentIs(xeStaffTuning)) OnTuning(Code == xeTuningOctave);
      return true;
    case xeBarline:
      if (ParentIs(xeMeasure)) OnBarline();
      return true;
    case xeBarStyle:
      if (ParentIs(xeBarline)) OnBarStyle();
      return true;
    case xeRepeat:
      if (ParentIs(xeBarline)) SetScope(Code);
      return true;
    case xeDirection:
      if (!ParentIs(xeRepeat)) return false;
      if (FMark) FMark->SetKind(Text() == "backward" ? ItemKind::RepeatEnd : ItemKind::RepeatStart);
      if (FMark == FPlainBar) FPlainBar = nullptr;
      return true;
    case xeEnding:
      // An ending is a volta over its measures: the barline keeps the bar
      // its style or repeat gives it.
      if (ParentIs(xeBarline)) OnEnding();
      return true;
    case xeType:
      if (!ParentIs(xeEnding)) return false;
      OnEndingType();
      return true;
    case xeLocation:
      if (ParentIs(xeBarline) && FMark) FMark->SetPosition(uint16_t(Text() == "right" ? FMeasureLength : 0));
      return true;
    case xeNewSystem:
    case xeNewPage:
      if (ParentIs(xePrint)) OnBreak(Code == xeNewPage);
      return true;
    case xeSound:
      if (ParentIs(xeMeasure, xeDirection)) SetScope(Code);
      return true;
    case xeTempo:
      if (ParentIs(xeSound)) OnTempo();
      return true;
    default:
      return false;
  }
}

TKVColumn* TKVMusicXMLWalk::EnsureColumn(int32_t Index) {
  if (Index < 0) return nullptr;
  while (FPiece.GetColumnCount() <= Index) FPiece.NewColumn();
  return FPiece.GetColumn(Index);
}

void TKVMusicXMLWalk::OnMeasure() {
  if (!FPart) {
    FStopped = true;
    return;
  }
  SetScope(xeMeasure);
  if (FFirstMeasureMade.erase(FPart) && FPart->GetMeasureCount() > 0)
    FMeasure = FPart->GetMeasure(0);
  else
    FMeasure = FPart->NewMeasure();
  FNext = FTime = 0;
  FNextDivs = FTimeDivs = 0;
  FDivisionBase = 0;
  FOpenBeams = 0;
  FMeasure->Length = uint16_t(FMeasureLength);
}

// Divisions of 0 (or beyond 16 bits) would divide by zero: the previous
// value stays.
void TKVMusicXMLWalk::OnDivisions() {
  int32_t divisions = Number(1);
  if (divisions < 1 || divisions > 0xFFFF || divisions == FDivisions) return;
  // The running count starts again where the divisions change.
  FDivisions = divisions;
  FDivisionBase = FNext;
  FNextDivs = FTimeDivs = 0;
}

// Only -7..7 name a key: any other count would give a key byte of another
// meaning (10 is C major, 20 a key of its own) and is ignored.
void TKVMusicXMLWalk::OnFifths() {
  FKeyMark = nullptr;
  const int32_t fifths = Number(1);
  if (!FMeasure || fifths < -7 || fifths > 7) return;
  FKeyMark = new TKVMark(FMeasure);
  FKeyMark->SetKind(ItemKind::KeySignature);
  FKeyMark->SetVariant(uint8_t(fifths >= 0 ? fifths : KeyFlatBase - fifths));
}

// A column keeps the meter of the first part that gives one; later parts
// change only its denominator.
void TKVMusicXMLWalk::OnBeats() {
  if (!FMeasure) return;
  TKVColumn* column = EnsureColumn(FMeasure->Index());
  TKVItem* meter = nullptr;
  if (HoldsKind(*column, ItemKind::Meter, &meter)) {
    FMeterMark = ItemCast<TKVMark>(meter);
    return;
  }
  FMeterMark = new TKVMark(column);
  FMeterMark->SetKind(ItemKind::Meter);
  FMeterMark->Data().setU8(MeterDisplayByte, 1);
  FMeterMark->SetValue(uint16_t(Number(4) << 8 | 4));
}

// A beat type of 0 (or beyond a byte) would give no measure length: ignored.
void TKVMusicXMLWalk::OnBeatType() {
  if (!FMeterMark) return;
  int32_t beatType = Number(4);
  if (beatType < 1 || beatType > 0xFF) return;
  FMeterMark->SetValue(uint16_t((FMeterMark->Value() & 0xFF00) | beatType));
  if (FMeasure && FMeasure->Index() == 0) FirstMeter = FMeterMark->Value();
  FMeasureLength = MeterLength(FMeterMark->Value());
  if (FMeasure) FMeasure->Length = uint16_t(FMeasureLength);
}

// More than 16 staves cannot be told apart in a voice byte: such a count is
// ignored.
void TKVMusicXMLWalk::OnStaves() {
  if (!FPart) return;
  int32_t count = Number(1);
  if (count > MaxStaves) return;
  while (FPart->GetStaffCount() < count) FStaff = FPart->NewStaff();
  if (count <= 1) return;
  if (FPart->GetMeasureCount() == 0) FPart->NewMeasure();
  TKVMeasure* first = FPart->GetMeasure(0);
  if (HoldsKind(*first, ItemKind::StaffBracket)) return;
  FMark = new TKVMark(first);
  FMark->SetKind(ItemKind::StaffBracket);
}

void TKVMusicXMLWalk::OnClef() {
  if (!FMeasure) return;
  SetScope(xeClef);
  FClefMark = new TKVMark(FMeasure);
  FClefMark->SetKind(ItemKind::Clef);
  FClefMark->SetVariant(1);
  FClefMark->SetPosition(uint16_t(FNext));
}

// The line array holds at most StaffBlock::LineArrayBytes lines: a larger
// count is ignored.
void TKVMusicXMLWalk::OnStaffLines() {
  if (!FPart) return;
  TKVXMLVoice first = MapXMLVoice(*FPart, 0);
  FStaff = first.Staff;
  FVoice = first.Voice;
  int32_t lines = Number(5);
  if (lines >= 0 && lines <= int32_t(StaffBlock::LineArrayBytes)) FStaff->Data().setU8(StaffBlock::LineCount, uint8_t(lines));
}

void TKVMusicXMLWalk::OnStaffTuning() {
  SetScope(xeStaffTuning);
  FTuningLine = 0;
  if (FStaff) FStaff->Data().setU8(StaffBlock::Tablature, 1);
}

// The line array holds the open-string MIDI key of each string: octave 4
// starts at key 60. Lines beyond the array are ignored.
void TKVMusicXMLWalk::OnTuning(bool Octave) {
  if (!FStaff || FTuningLine < 0 || FTuningLine >= int32_t(StaffBlock::LineArrayBytes)) return;
  uint8_t& key = FStaff->LineArray()[size_t(FTuningLine)];
  if (Octave)
    key = uint8_t(key + 12 * (Number(0) + 1));
  else
    key = uint8_t(StepSemitone(StepLetterIndex(Text())));
}

// Barlines belong to the columns; only the first part gives them.
void TKVMusicXMLWalk::OnBarline() {
  if (!FMeasure || !FPart || FPart->Index() != 0) return;
  FinishBarline();
  FMark = new TKVMark(EnsureColumn(FMeasure->Index()));
  FMark->SetKind(ItemKind::DoubleBar);
  FPlainBar = FMark;
  SetScope(xeBarline);
}

// A barline that names neither a bar style nor a repeat (one that holds
// only an ending, a fermata or a sign) is the plain bar line the measure
// has anyway: its mark would draw a double bar that the document does not
// ask for.
void TKVMusicXMLWalk::FinishBarline() {
  if (!FPlainBar) return;
  if (FMark == FPlainBar) FMark = nullptr;
  delete FPlainBar;
  FPlainBar = nullptr;
}

void TKVMusicXMLWalk::OnBarStyle() {
  if (!FMark) return;
  if (FMark == FPlainBar) FPlainBar = nullptr;
  const std::string& style = Text();
  if (style == "light-heavy")
    FMark->SetKind(ItemKind::FinalBar);
  else if (style == "light-light" || style == "heavy-heavy")
    FMark->SetKind(ItemKind::DoubleBar);
  else if (style == "heavy-light")
    FMark->SetKind(ItemKind::HeavyLightBar);
  else {
    delete FMark;
    FMark = nullptr;
  }
}

// A break after the measure before this one; two breaks in one measure count
// as one system.
void TKVMusicXMLWalk::OnBreak(bool Page) {
  if (Text() != "yes" || !FMeasure || FMeasure->Index() <= 0) return;
  int32_t index = FMeasure->Index() - 1;
  TKVColumn* column = EnsureColumn(index);
  if (Page)
    column->Data().setU16(ColumnBlock::PageBreak, 1);
  else
    column->Data().setU8(ColumnBlock::SystemBreak, 1);
  if (index != FLastBreakColumn) {
    ++FSystemCount;
    FLastBreakColumn = index;
  }
}

// The first tempo is the piece's; later ones are tempo marks. MusicXML writes
// the tempo as a decimal ("112.5"), taken to the nearest whole number (halves
// to even).
void TKVMusicXMLWalk::OnTempo() {
  int32_t tempo = 60;
  try {
    tempo = std::clamp(RoundExtended(Decimal()), 1, 0xFFFF);
  } catch (const EConvertError&) {
  }
  if (!FTempoSeen) {
    FPiece.SetTempo(uint16_t(tempo));
    FTempoSeen = true;
    return;
  }
  if (!FMeasure) return;
  FMark = new TKVMark(EnsureColumn(FMeasure->Index()));
  FMark->SetKind(ItemKind::TempoMark);
  FMark->SetPosition(uint16_t(FTime));
  FMark->SetVariant(2);  // the beat is a quarter
  FMark->SetValue(uint16_t(tempo));
  FMark->Data().setI16(MarkBlock::OffsetY, -100);
  // Placed beside its words when the direction ends.
  if (GrandParent() == xeDirection) FDirectionTempo = FMark;
}

// The metronome mark of a direction whose tempo words stand above the staff
// at the same tick goes on after the words, as written, instead of over them.
void TKVMusicXMLWalk::PlaceTempoBesideWords(TKVMark& Tempo) const {
  for (const TKVItem* item : FDirectionItems) {
    const auto* words = ItemCast<const TKVLyric>(item);
    if (!words || words->Kind() != ItemKind::LyricText || words->Position() != Tempo.Position() ||
        words->OffsetY() >= 0 || words->Lines().empty())
      continue;
    const text::TFontSpec font = words->LayoutFont();
    const int32_t width = text::CurrentMeasurer().TextWidthW(font, words->Lines()[0] + u" ");
    Tempo.Data().setI16(MarkBlock::OffsetX, Clamp16(int64_t(words->OffsetX()) + width));
    return;
  }
}
