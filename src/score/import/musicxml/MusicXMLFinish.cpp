#include "score/import/musicxml/MusicXMLFinish.h"

#include <algorithm>

#include "base/Exceptions.h"
#include "platform/text/TextMeasurer.h"
#include "score/import/musicxml/MusicXMLWalk.h"
#include "score/model/Column.h"
#include "score/model/ItemKinds.h"
#include "score/model/Mark.h"
#include "score/model/Measure.h"
#include "score/model/Note.h"
#include "score/model/PageTexts.h"
#include "score/model/Part.h"
#include "score/model/Pause.h"
#include "score/model/Piece.h"
#include "score/model/Score.h"
#include "score/model/ScoreRoutines.h"
#include "score/model/ScoreTypes.h"
#include "score/model/Staff.h"
#include "score/model/Vorschlag.h"

namespace {

// A pickup meter needs a denominator that fits its byte (128 at most) and a
// numerator below 256.
constexpr int32_t LargestPickupDenominator = 128, LargestPickupNumerator = 255;

TKVColumn* ColumnOf(TKVPiece& piece, int32_t index) {
  while (piece.GetColumnCount() <= index) piece.NewColumn();
  return piece.GetColumn(index);
}

// The meter word of a pickup of End ticks (512 a whole note), 0 when End is
// no fraction with a power-of-two denominator that the word can hold.
uint16_t PickupMeter(int32_t End) {
  int32_t numerator = End, denominator = TicksPerWhole;
  while (numerator % 2 == 0 && denominator > 1) {
    numerator /= 2;
    denominator /= 2;
  }
  if (denominator > LargestPickupDenominator || numerator > LargestPickupNumerator) return 0;
  return uint16_t(numerator << 8 | denominator);
}

}  // namespace

TKVMusicXMLFinish::TKVMusicXMLFinish(TKVScore& Score, TKVPiece& Piece, TKVMusicXMLWalk& Walk)
    : FScore(Score), FPiece(Piece), FWalk(Walk) {}

std::string TKVMusicXMLFinish::Run() {
  AlignHeaderTexts();
  MarkMeasureNumbering();
  // A failure below leaves a piece that is partly mapped: it stays, and the
  // host learns why it may look wrong.
  try {
    for (int32_t p = 0; p < FPiece.GetPartCount(); ++p) MapPart(*FPiece.GetPart(p));
    ApplySpacingRecords();
    GiveEveryStaffAVoice();
    ShortenPickup();
    FitColumnsToContent();
    BreakAfterLastColumn();
    LayOut();
    MatchSlurEnds();
    for (int32_t p = 0; p < FPiece.GetPartCount(); ++p) ApplyNotation(*FPiece.GetPart(p));
    PlaceBarlines();
  } catch (const std::exception& e) {
    return e.what();
  }
  return "";
}

// Centred, right-aligned and footer texts are placed again with their own
// fonts; left-aligned ones stay.
void TKVMusicXMLFinish::AlignHeaderTexts() {
  const TKVPage& page = FScore.Page();
  const int32_t pageWidth = TKVMusicXMLWalk::PageUnits(page.InternalValue(pvWidth));
  int32_t footLines = 0;
  for (const TKVXMLPageText& entry : FWalk.TextsToAlign) {
    TKVText* text = entry.Text;
    if (!text || text->Lines().empty()) continue;
    const text::TFontSpec font{text->Text1(), 8 * text->Data().u8(TextBlock::FontSize),
                               text->Data().u8(TextBlock::FontStyle)};
    const int32_t width = text::CurrentMeasurer().TextWidthW(font, text->Lines()[0]);
    int32_t x = text->Data().i16(PageObjectBlock::X), y = text->Data().i16(PageObjectBlock::Y);
    switch (entry.Alignment) {
      case 1:
      case 2:
        x = (pageWidth - width) / 2;
        break;
      case 3:
        x = pageWidth - width;
        break;
      case 5:
        x = (pageWidth - width) / 2;
        y = TKVMusicXMLWalk::PageUnits(page.InternalValue(pvHeight) - page.InternalValue(pvBottomMargin)) - 80;
        // A second rights line goes above the first, not over it.
        y -= footLines++ * text::CurrentMeasurer().TextHeight(font);
        break;
      default:
        break;
    }
    text->Data().setI16(PageObjectBlock::X, Clamp16(x));
    text->Data().setI16(PageObjectBlock::Y, Clamp16(y));
  }
}

// Numbering starts at the first full measure: after a measure numbered 0.
void TKVMusicXMLFinish::MarkMeasureNumbering() {
  auto* mark = new TKVMark(ColumnOf(FPiece, FWalk.Pickup ? 1 : 0));
  mark->SetKind(ItemKind::MeasureNumber);
  mark->SetValue(1);
  mark->SetFlags(1);
}

// The distances of print elements become staff distances of the piece's
// systems (while the score has a view to take them).
void TKVMusicXMLFinish::ApplySpacingRecords() {
  int32_t staves = 0;
  for (int32_t p = 0; p < FPiece.GetPartCount(); ++p) staves += FPiece.GetPart(p)->GetStaffCount();
  for (const TKVXMLSpacingRecord& record : FWalk.SpacingRecords) {
    if (!record.Measure) continue;
    const TKVPart& part = *record.Measure->Part();
    const int32_t staff = record.StaffIndex == -1 ? part.GetStaffCount() : record.StaffIndex;
    FScore.SetSystemSpacing1(record.Value, record.SystemCount * staves + part.Index() + staff, true);
  }
}

void TKVMusicXMLFinish::GiveEveryStaffAVoice() {
  for (int32_t p = 0; p < FPiece.GetPartCount(); ++p) {
    const TKVPart& part = *FPiece.GetPart(p);
    for (int32_t s = 0; s < part.GetStaffCount(); ++s)
      if (part.GetStaff(s)->GetVoiceCount() == 0) part.GetStaff(s)->NewVoice();
  }
}

// A first measure whose notes and rests end before its meter's length is a
// pickup: the piece's pickup meter says how long it is. Without a time
// signature a measure lasts as long as its content anyway, and a pickup
// meter would give the measures after it four quarters.
void TKVMusicXMLFinish::ShortenPickup() {
  const TKVColumn* first = FPiece.GetColumn(0);
  if (!first || std::none_of(first->Items().begin(), first->Items().end(),
                             [](const TKVItem* item) { return item->Kind() == ItemKind::Meter; }))
    return;
  int32_t end = 0;
  for (int32_t p = 0; p < FPiece.GetPartCount(); ++p) {
    const TKVMeasure* first = FPiece.GetPart(p)->GetMeasure(0);
    if (!first) continue;
    for (const TKVItem* item : first->Items()) {
      if (auto* note = ItemCast<const TKVNote>(item); note && item->Kind() == ItemKind::Note)
        end = std::max(end, note->Position() + note->Duration());
      else if (auto* rest = ItemCast<const TKVPause>(item))
        end = std::max(end, rest->Position() + rest->Duration());
    }
  }
  if (end == 0 || MeterLength(FWalk.FirstMeter) <= end) return;
  const uint16_t meter = PickupMeter(end);
  if (meter == 0) return;
  FPiece.SetMeter(meter);
  for (int32_t p = 0; p < FPiece.GetPartCount(); ++p)
    if (TKVMeasure* first = FPiece.GetPart(p)->GetMeasure(0)) first->Length = uint16_t(end);
}

// A measure plays for as long as its parts' content reaches, not for its
// time signature: a pickup in the middle or an incomplete last measure, and
// an overfull one whose notes would lie past its end. The column's own meter
// word says so without showing a time signature. The first measure's pickup
// has its own rule, and measures without a time signature last as long as
// their content anyway, once no tuplet reaches past it.
void TKVMusicXMLFinish::FitColumnsToContent() {
  bool meter = false;
  for (int32_t n = 0; size_t(n) < FWalk.ColumnEnds.size(); ++n) {
    const TKVColumn* column = FPiece.GetColumn(n);
    meter = meter || (column && std::any_of(column->Items().begin(), column->Items().end(), [](const TKVItem* item) {
                        return item->Kind() == ItemKind::Meter;
                      }));
    const TKVMeasure* first = FirstPartMeasure(n);
    const int32_t end = FWalk.ColumnEnds[size_t(n)];
    if (!meter) KeepTupletsWithin(n, end);
    if (!meter || !first || end == 0 || end == first->Length || (n == 0 && end < first->Length)) continue;
    const uint16_t word = PickupMeter(end);
    if (word == 0) continue;
    // The first measure's length is the piece's meter, as for a pickup.
    if (n == 0)
      FPiece.SetMeter(word);
    else
      ColumnOf(FPiece, n)->SetMeter(word);
    for (int32_t p = 0; p < FPiece.GetPartCount(); ++p)
      if (TKVMeasure* measure = FPiece.GetPart(p)->GetMeasure(n)) measure->Length = uint16_t(end);
  }
}

// A measure without a meter lasts as far as its notes or a tuplet reach
// (unit times the tuplet's normal count). A tuplet given by a ratio that
// count does not know, or nested in another, would reach past the notes and
// add silence after them: its unit is cut to the notes' end.
void TKVMusicXMLFinish::KeepTupletsWithin(int32_t Column, int32_t End) {
  for (int32_t p = 0; p < FPiece.GetPartCount(); ++p) {
    const TKVMeasure* measure = FPiece.GetPart(p)->GetMeasure(Column);
    if (!measure) continue;
    for (TKVItem* item : measure->Items()) {
      auto* tuplet = item->Kind() == ItemKind::Tuplet ? ItemCast<TKVMark>(item) : nullptr;
      if (!tuplet) continue;
      const int32_t normal = TupletNormalCount(tuplet->Variant());
      if (tuplet->Position() + tuplet->Value() * normal > End)
        tuplet->SetValue(uint16_t(std::max((End - tuplet->Position()) / normal, 1)));
    }
  }
}

void TKVMusicXMLFinish::BreakAfterLastColumn() {
  const TKVPart* last = FPiece.GetPart(FPiece.GetPartCount() - 1);
  if (!last || last->GetMeasureCount() == 0) return;
  ColumnOf(FPiece, last->GetMeasureCount() - 1)->Data().setU8(ColumnBlock::SystemBreak, 1);
}

// The notation rules read the clefs in force from the measure records: they
// find the records laid out here only once the piece counts them (the page
// composer counts them again with every layout).
void TKVMusicXMLFinish::LayOut() {
  int32_t n = 0;
  while (FScore.FormatMeasure(FPiece.GetIndex(), n)) ++n;
  FPiece.Layout().MeasureRecordCount = n;
}

// The layout deletes notes that start past their measure's end: a slur
// keeps only an end note that is still there.
void TKVMusicXMLFinish::MatchSlurEnds() {
  std::unordered_set<const TKVNote*> notes;
  auto collect = [&notes](const TKVItemHolder& holder, auto& self) -> void {
    for (const TKVItem* item : holder.Items()) {
      if (auto* note = ItemCast<const TKVNote>(item)) notes.insert(note);
      if (auto* group = ItemCast<const TKVVorschlag>(item)) self(*group, self);
    }
  };
  for (int32_t p = 0; p < FPiece.GetPartCount(); ++p)
    for (int32_t m = 0; m < FPiece.GetPart(p)->GetMeasureCount(); ++m) collect(*FPiece.GetPart(p)->GetMeasure(m), collect);
  for (const TKVXMLSlur& slur : FWalk.Slurs)
    if (slur.Slur && notes.contains(slur.EndNote)) FSlurEnds[slur.Slur] = slur.EndNote;
}

TKVMeasure* TKVMusicXMLFinish::FirstPartMeasure(int32_t Index) const {
  const TKVPart* first = FPiece.GetPart(0);
  return first ? first->GetMeasure(Index) : nullptr;
}

// Barlines, repeat ends and final barlines stand at the end of their measure.
void TKVMusicXMLFinish::PlaceBarlines() {
  for (int32_t i = 0; i < FPiece.GetColumnCount(); ++i) {
    const TKVMeasure* measure = FirstPartMeasure(i);
    if (!measure) break;
    for (TKVItem* item : FPiece.GetColumn(i)->Items()) {
      const uint8_t kind = item->Kind();
      if (kind != ItemKind::RepeatEnd && kind != ItemKind::DoubleBar && kind != ItemKind::FinalBar) continue;
      if (auto* mark = ItemCast<TKVMark>(item)) mark->SetPosition(measure->Length);
    }
  }
}
