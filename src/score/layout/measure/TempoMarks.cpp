#include "score/layout/measure/TempoMarks.h"

#include <algorithm>
#include <string>

#include "score/layout/ItemFields.h"
#include "score/layout/LayoutServices.h"
#include "score/layout/measure/MeasureSetup.h"
#include "score/model/Column.h"
#include "score/model/ItemKinds.h"
#include "score/model/Mark.h"
#include "score/model/Part.h"
#include "score/model/Piece.h"
#include "score/model/Score.h"
#include "score/model/SimpleElements.h"
#include "score/model/Staff.h"

int32_t TempoOfMark(uint16_t Value, uint8_t Beat, uint8_t Dots) {
  if (Beat > 9) return 0;
  uint16_t t = uint16_t((uint32_t(Value) << (9 - Beat)) >> 7);
  if (Dots == 1) t = uint16_t(t + (t >> 1));
  if (Dots == 2) t = uint16_t(t + (t >> 1) + (t >> 2));
  return t > 32767 ? 0 : t;
}

namespace {


uint8_t Dots(const TKVMark& Mark) { return (Mark.Flags() >> 4) & 3; }

}  // namespace

int32_t TempoOfMark(const TKVMark& Mark) { return TempoOfMark(Mark.Value(), Mark.Variant(), Dots(Mark)); }

namespace {

// The display item of a shown mark, sized by the staff and the mark.
TKVDisplayItem& MarkDisplay(TKVFormatContext& Ctx, TKVMark& Mark) {
  TKVDisplayItem& display = AddDisplayItem(Ctx, &Mark, true);
  ApplyItemSize(display, Mark.SizePercent());
  return display;
}

// The rectangle of a shown mark: scaled, then moved by the mark's offsets.
void PlaceMark(TKVFormatContext& Ctx, TKVDisplayItem& D, const TKVMark& Mark, int32_t Left, int32_t Top,
               int32_t Width, int32_t Bottom) {
  D.Bounds = ScaleLayoutRect(Ctx, Left, Top, Width, Bottom, D.SizePercent);
  ApplyItemOffsets(Ctx, D.Bounds, Mark.OffsetX(), Mark.OffsetY());
}

void SetTextFont(TKVFormatContext& Ctx, const TKVMark& Mark, int32_t Role, int32_t Size) {
  Ctx.Canvas.Font = {TextFontName(Ctx.Score, Role, Mark.Text1()), Size, Mark.TextStyle()};
}

// Width of a music-font glyph of the mark's symbol font at Size.
int32_t GlyphWidth(TKVFormatContext& Ctx, const TKVMark& Mark, uint8_t Glyph, int32_t Size) {
  Ctx.Canvas.Font.Size = Size;
  Ctx.Glyph = Glyph;
  SelectLayoutSymbolFont(Ctx, Mark.FontIndex());
  return Ctx.Canvas.CharWidth(Ctx.Glyph);
}

void MeterChange(TKVFormatContext& Ctx, TKVMark& Mark, const TKVColumn& Column) {
  TKVMeasureRecord& R = *Ctx.Record;
  R.MeterMark = &Mark;
  const uint16_t length = MeasureLengthOfMeter(Mark.Value());
  if (length == 0) return;  // no meter: a zero numerator or denominator is ignored
  R.MarkLength = length;
  R.MarkMeter = Mark.Value();
  const bool pieceMeter = (Ctx.Piece.Meter() >> 8) != 0;
  if (MeasureLengthOfMeter(Column.Meter()) == 0 && (Ctx.ColumnIndex > 0 || !pieceMeter) && Mark.Position() == 0) {
    R.Length = length;
    R.Meter = Mark.Value();
    if (R.Length > R.TickCapacity) {
      R.TickCapacity = R.Length;
      R.TickTable.assign(size_t(R.TickCapacity) + 1, 0);
    }
  }
}

void TempoMark(TKVFormatContext& Ctx, TKVMark& Mark) {
  TKVDisplayItem& D = MarkDisplay(Ctx, Mark);
  // The beat's note: the glyph the renderer draws for it.
  Ctx.Canvas.Font.Size = 144;
  Ctx.Glyph = '*';
  SelectLayoutSymbolFont(Ctx, Mark.FontIndex());
  int32_t w = Ctx.Canvas.CharWidth(uint8_t(Ctx.Glyph + Mark.Variant())) + 8;
  SetTextFont(Ctx, Mark, 5, 64);
  w += Ctx.Canvas.TextWidth("=" + std::to_string(Mark.Value())) + 40 * Dots(Mark);
  PlaceMark(Ctx, D, Mark, 0, -128, w, 80);
  InsertPositionEntry(Ctx, &Mark, Mark.Position(), 1);
  // A mark without a usable tempo is shown but does not change the timing.
  if (int32_t tempo = TempoOfMark(Mark))
    Ctx.Timing.ChangeTempo(*Ctx.Record, Mark.Position(), true, tempo);
}

void TempoEquation(TKVFormatContext& Ctx, TKVMark& Mark) {
  auto& marks = Ctx.Record->EquationMarks;
  auto* last = marks.empty() ? nullptr : ItemCast<TKVMark>(marks.back());
  if (Mark.Variant() == 0 && !(last && last->Variant() != 0)) return;
  TKVDisplayItem& D = MarkDisplay(Ctx, Mark);
  int32_t w = 6 * GlyphWidth(Ctx, Mark, '*', 112);
  SetTextFont(Ctx, Mark, 15, 64);
  w += Ctx.Canvas.TextWidth("(=)");
  PlaceMark(Ctx, D, Mark, 0, -128, w, 80);
  if (Mark.Variant() == 0) Mark.SetValue(last->Value());
  if (Mark.Position() == 0) marks.clear();
  marks.push_back(&Mark);
}

void MeasureNumber(TKVFormatContext& Ctx, TKVMark& Mark) {
  TKVMeasureRecord& R = *Ctx.Record;
  TKVDisplayItem& D = MarkDisplay(Ctx, Mark);
  R.NumberDisplay = &D;
  Mark.DisplayLink = &D;
  SetTextFont(Ctx, Mark, 1, 48);
  if (Mark.Value() > 0) R.MeasureNumber = Mark.Value();
  const int32_t w = Ctx.Canvas.TextWidth(std::to_string(R.MeasureNumber)) + (Dots(Mark) ? 48 : 0);
  PlaceMark(Ctx, D, Mark, 0, -160, w, -48);
  R.NumberShown = 1;
}

void RehearsalMark(TKVFormatContext& Ctx, TKVMark& Mark) {
  TKVMeasureRecord& R = *Ctx.Record;
  TKVDisplayItem& D = MarkDisplay(Ctx, Mark);
  SetTextFont(Ctx, Mark, 13, 80);
  R.RehearsalMark = &Mark;
  R.RehearsalNumber = Mark.Value() > 0 ? Mark.Value() : uint16_t(R.RehearsalNumber + 1);
  const int32_t frame = (Mark.Flags() >> 2) & 3;
  const int32_t w = Ctx.Canvas.TextWidth("W") + (frame == 2 ? 64 : frame != 0 ? 32 : 0);
  PlaceMark(Ctx, D, Mark, -(w >> 1), -144, w, 0);
}

void Sign(TKVFormatContext& Ctx, TKVMark& Mark) {
  TKVDisplayItem& D = MarkDisplay(Ctx, Mark);
  const int32_t w = GlyphWidth(Ctx, Mark, Mark.Kind() == ItemKind::Segno ? 'x' : 'y', 144);
  PlaceMark(Ctx, D, Mark, -(w / 2), -48, w, 48);
  Ctx.Record->PlayMarks.push_back(&Mark);
  if (Mark.Kind() == ItemKind::Coda) Ctx.Record->Coda = &Mark;
}

void JumpText(TKVFormatContext& Ctx, TKVMark& Mark) {
  TKVDisplayItem& D = MarkDisplay(Ctx, Mark);
  Ctx.Canvas.Font = {TextFontName(Ctx.Score, 14, Mark.Text1()), 64, text::fsItalic};
  const int32_t w = Ctx.Canvas.TextWidth(Mark.Kind() == ItemKind::DaCapo ? "D.C." : "D.S.");
  Ctx.Canvas.Font.Style = 0;
  PlaceMark(Ctx, D, Mark, -(w / 2), -48, w, 48);
  Ctx.Record->PlayMarks.push_back(&Mark);
}

void BarRoom(TKVFormatContext& Ctx, const TKVMark& Mark) {
  TKVMeasureRecord& R = *Ctx.Record;
  const uint8_t kind = Mark.Kind();
  const bool atStart = Mark.Position() == 0 && (kind == ItemKind::RepeatStart || kind == ItemKind::HeavyLightBar);
  const bool atEnd = Mark.Position() >= R.Length && kind >= ItemKind::RepeatEnd && kind <= ItemKind::FinalBar;
  if (!atStart && !atEnd) return;
  int64_t room = kind <= ItemKind::RepeatEnd ? 48 : kind == ItemKind::DoubleBar ? 24 : 32;
  const int32_t staffSize = Ctx.Staff ? Ctx.Staff->SizePercent() : 100;
  if (Ctx.Scale() != 100 || staffSize != 100) room = room * Ctx.Scale() * staffSize / 10000;
  const int word = atStart ? (kind == ItemKind::HeavyLightBar ? ExtentWord::ExtraLeft : ExtentWord::ExtraStart)
                           : ExtentWord::ExtraEnd;
  R.Extents[word] = uint16_t(std::clamp<int64_t>(R.Extents[word] + room, 0, 65535));
}

void Volta(TKVFormatContext& Ctx, TKVMark& Mark) {
  TKVMeasureRecord& R = *Ctx.Record;
  TKVDisplayItem& D = MarkDisplay(Ctx, Mark);
  if (Mark.Value() > 1) R.ContinuingDisplays.push_back(&D);
  R.Volta = &Mark;
  D.Param = uint16_t(Mark.Value() - 1);
  const int32_t x = ScaleByScore(Ctx, Mark.OffsetX()), y = ScaleByScore(Ctx, Mark.OffsetY());
  D.Bounds = {x, y, 0, y};
  R.PlayMarks.push_back(&Mark);
}

void ColumnMark(TKVFormatContext& Ctx, TKVItem* Item, const TKVColumn& Column) {
  TKVMeasureRecord& R = *Ctx.Record;
  const uint8_t kind = Item->Kind();
  if (kind == ItemKind::MidiEvent || kind == ItemKind::Sound) {
    InsertPositionEntry(Ctx, Item, ItemPosition(Item), 1);
    return;
  }
  auto* mark = ItemCast<TKVMark>(Item);
  if (!mark) return;
  switch (kind) {
    case ItemKind::Meter: MeterChange(Ctx, *mark, Column); break;
    case ItemKind::TempoMark: TempoMark(Ctx, *mark); break;
    case ItemKind::TempoEquation: TempoEquation(Ctx, *mark); break;
    case ItemKind::MeasureNumber: MeasureNumber(Ctx, *mark); break;
    case ItemKind::RehearsalMark: RehearsalMark(Ctx, *mark); break;
    case ItemKind::DoubleSlash: R.CarriedMark = mark; break;
    case ItemKind::MultiMeasureRest:
      R.PlayMarks.push_back(mark);
      // A count of 0 stands for the measure itself, like 1.
      R.ExtraMeasures = uint16_t(R.ExtraMeasures + std::max<int32_t>(mark->Value(), 1) - 1);
      R.Flags |= 0x80;
      break;
    case ItemKind::Segno:
    case ItemKind::Coda: Sign(Ctx, *mark); break;
    case ItemKind::DaCapo:
    case ItemKind::DalSegno: JumpText(Ctx, *mark); break;
    case ItemKind::RepeatStart:
    case ItemKind::RepeatEnd:
    case ItemKind::DoubleBar:
    case ItemKind::FinalBar:
    case ItemKind::HeavyLightBar: BarRoom(Ctx, *mark); break;
    case ItemKind::Volta: Volta(Ctx, *mark); break;
    default: break;
  }
}

}  // namespace

void LayoutTempoMarks(TKVFormatContext& Ctx) {
  if (Ctx.ColumnIndex >= Ctx.Piece.GetColumnCount()) return;
  Ctx.Result = true;
  TKVColumn& column = *Ctx.Piece.GetColumn(Ctx.ColumnIndex);
  column.Record = Ctx.Record;
  if (column.EndRoom() >= 0) Ctx.Record->Extents[ExtentWord::ExtraEnd] = uint16_t(column.EndRoom());
  TKVPart* first = Ctx.Piece.GetPart(0);
  Ctx.Staff = first ? first->GetStaff(0) : nullptr;
  for (TKVItem* item : column.Items().Items()) ColumnMark(Ctx, item, column);
}
