// Marks and free objects of the staff pass: tuplets, the marks that stand
// beside a note column, octave lines, and texts, pictures and drawings held
// by a measure. Also the staff pass's dispatch of everything but notes.

#include <algorithm>
#include <cmath>
#include <numbers>

#include "score/layout/LayoutServices.h"
#include "score/layout/staff/StaffHooks.h"
#include "score/layout/staff/StaffLayout.h"
#include "score/layout/staff/StaffObjects.h"
#include "score/layout/staff/StaffSupport.h"
#include "score/model/ItemKinds.h"
#include "score/model/Mark.h"
#include "score/model/Note.h"
#include "score/model/PageTexts.h"
#include "score/model/Part.h"
#include "score/model/Pause.h"
#include "score/model/Score.h"
#include "score/model/Staff.h"

namespace {


void MarkColumnLeads(TKVMeasureRecord& R) { R.Flags = uint8_t((R.Flags & ~0x30) | 0x20); }

// The record of a staff mark, its run-time fields set; nil for a mark past
// the measure's end (then on the removal list).
TKVDisplayItem* StartStaffMark(TKVFormatContext& Ctx, TKVStaffPass& Pass, TKVMark& Mark, bool Removable) {
  if (Removable && Mark.Position() >= Ctx.Record->Length) {
    Ctx.RemovalList.push_back(&Mark);
    return nullptr;
  }
  Mark.Voice = BindVoice(Ctx, Mark, Mark.StaffVoice());
  Mark.DisplayLink = nullptr;
  Mark.RuntimeStaff = uint8_t(Pass.StaffIndex);
  EnterColumn(Ctx, Pass, Mark.Position());
  TKVDisplayItem& D = AddDisplayItem(Ctx, &Mark, true);
  ApplyItemSize(D, Mark.SizePercent());
  return &D;
}

void LayoutOctaveLine(TKVFormatContext& Ctx, TKVMark& Mark, TKVDisplayItem& D) {
  TKVMeasureRecord& R = *Ctx.Record;
  const int32_t end = Mark.Position() + Mark.Value();
  if (end >= R.Length) R.ContinuingDisplays.push_back(&D);
  D.Param = uint16_t(std::min(end, 65535));
  const int32_t h = Mark.Height() ? Mark.Height() * 8 : 32, v = Mark.Extent();
  int32_t top, bottom;
  if (v < 0)
    h < -v ? (top = v - 64, bottom = 64) : (top = v - 32, bottom = v + 64);
  else
    h < v ? (top = -64, bottom = v + 64) : (top = v - 64, bottom = v + 64);
  D.Bounds = ScaleLayoutRect(Ctx, -32, top, 16, bottom, D.SizePercent);
  D.Bounds2.Top = ScaleByScore(Ctx, Mark.OffsetY());
  ApplyItemOffsets(Ctx, D.Bounds, Mark.OffsetX(), Mark.OffsetY());
  R.ExtendingItems.push_back(&D);
}

// Where a free object stands in its measure: the page word read as a tick,
// and the byte that holds its staff.
struct TObjectPlace {
  size_t Position = TextBlock::Page;
  size_t Staff = TextBlock::Staff;
};

TObjectPlace PlaceOf(uint8_t Kind) {
  switch (Kind) {
    case ItemKind::Text: return {TextBlock::Page, TextBlock::Staff};
    case ItemKind::Image: return {ImageBlock::Page, ImageBlock::Staff};
    case ItemKind::OleObject: return {OleBlock::Page, OleBlock::Staff};
    case ItemKind::Line: return {LineBlock::Page, LineBlock::Staff};
    case ItemKind::Rectangle: case ItemKind::Ellipse: return {RectangleBlock::Page, RectangleBlock::Staff};
    default: return {ArcBlock::Page, ArcBlock::Staff};
  }
}

// The box of a free text: measured in its font when not cached, turned by
// its angle (then not cached). Left and top stay the text's origin; the
// third and fourth fields hold the right and bottom edges.
TKVLayoutRect TextBox(TKVFormatContext& Ctx, TKVText& Text, int32_t X, int32_t Y) {
  TByteBlock& data = Text.Data();
  const int32_t width = data.u16(PageObjectBlock::Width), height = data.u16(PageObjectBlock::Height);
  if (width != 0 && height != 0) return {X, Y, X + width, Y + height};
  TKVLayoutCanvas& canvas = Ctx.Canvas;
  const uint8_t size = data.u8(TextBlock::FontSize);
  canvas.Font = {Text.Text1().empty() ? "Arial" : Text.Text1(), size ? size * 8 : 64, data.u8(TextBlock::FontStyle)};
  int32_t w = 128;
  for (const std::u16string& line : Text.Lines()) w = std::max(w, canvas.TextWidthW(line));
  const int32_t h = Text.Lines().empty() ? 128 : canvas.TextHeight() * int32_t(Text.Lines().size());
  canvas.Font = {Ctx.Score.MusicFontName(), 144, 0};
  const uint16_t angle = data.u16(TextBlock::Angle);
  if (angle == 0) {
    data.setU16(PageObjectBlock::Width, uint16_t(std::min(w, 65535)));
    data.setU16(PageObjectBlock::Height, uint16_t(std::min(h, 65535)));
    return {X, Y, X + w, Y + h};
  }
  const long double radians = angle * std::numbers::pi_v<long double> / 180;
  Ctx.RotationCos = std::cos(radians);
  Ctx.RotationSin = std::sin(radians);
  TKVLayoutRect box{X, Y, X, Y};
  for (TKVPoint corner : {TKVPoint{w, 0}, TKVPoint{0, h}, TKVPoint{w, h}}) {
    const TKVPoint q = RotatePoint(Ctx, corner);
    box = {std::min(box.Left, X + q.X), std::min(box.Top, Y + q.Y), std::max(box.Width, X + q.X),
           std::max(box.Bottom, Y + q.Y)};
  }
  return box;
}

TKVLayoutRect ObjectBox(TKVFormatContext& Ctx, TKVItem& Object, TKVDisplayItem& D) {
  const TByteBlock& data = Object.Data();
  const int32_t x = data.i16(PageObjectBlock::X), y = data.i16(PageObjectBlock::Y);
  const int32_t w = data.u16(PageObjectBlock::Width), h = data.u16(PageObjectBlock::Height);
  switch (Object.Kind()) {
    case ItemKind::Text: {
      auto& text = static_cast<TKVText&>(Object);
      D.Text = Ctx.Score.OnParceLink ? Ctx.Score.OnParceLink(&Ctx.Score, text.Text2()) : text.Text2();
      return TextBox(Ctx, text, x, y);
    }
    case ItemKind::Line: {
      // The second end point is kept where the others keep their size.
      const int32_t x2 = data.i16(PageObjectBlock::Width), y2 = data.i16(PageObjectBlock::Height);
      return {std::min(x, x2) - 64, std::min(y, y2) - 64, std::max(x, x2) + 64, std::max(y, y2) + 64};
    }
    case ItemKind::Arc:
    case ItemKind::Pie:
    case ItemKind::ArcChord: {
      TKVLayoutRect box{x - 24, y - 24, x + w + 24, y + h + 24};
      for (size_t at : {ArcBlock::StartX, ArcBlock::EndX}) {
        const int32_t px = data.i16(at), py = data.i16(at + 2);
        box = {std::min(box.Left, px - 24), std::min(box.Top, py - 24), std::max(box.Width, px + 24),
               std::max(box.Bottom, py + 24)};
      }
      return box;
    }
    default:  // OLE objects, pictures, rectangles and ellipses
      return {x - 24, y - 24, x + w + 24, y + h + 24};
  }
}

}  // namespace

void LayoutStaffMark(TKVFormatContext& Ctx, TKVStaffPass& Pass, TKVMark& Mark) {
  const uint8_t kind = Mark.Kind();
  if ((Mark.StaffVoice() >> 4) != Pass.StaffIndex) return;
  // A tremolo that belongs to a note is the item pass's.
  if (kind == ItemKind::Tremolo && (Mark.Flags() & 0x10)) return;
  TKVDisplayItem* D = StartStaffMark(Ctx, Pass, Mark, kind != ItemKind::Tuplet);
  if (!D) return;
  switch (kind) {
    case ItemKind::Tuplet:
      D->Bounds2 = ScaleLayoutRect(Ctx, -32, 0, Mark.OffsetX() + 32, 0, D->SizePercent);
      ApplyItemOffsets(Ctx, D->Bounds2, Mark.OffsetX(), Mark.OffsetY());
      break;
    case ItemKind::OctaveLine:
      LayoutOctaveLine(Ctx, Mark, *D);
      break;
    case ItemKind::Tremolo:
      Mark.Voice = nullptr;
      MarkColumnLeads(*Ctx.Record);
      Pass.Collection.push_back(D);
      AddDynamic(Ctx, &Mark, Mark.Position(), 0, false);
      Pass.DynamicsDisplays.push_back(D);
      break;
    default:  // 111, 112, 173: placed by the column step before the notes
      MarkColumnLeads(*Ctx.Record);
      Pass.Collection.push_back(D);
      break;
  }
}

void LayoutFreeObject(TKVFormatContext& Ctx, TKVStaffPass& Pass, TKVItem& Object) {
  const TObjectPlace place = PlaceOf(Object.Kind());
  TByteBlock& data = Object.Data();
  if (place.Staff >= data.Size() || place.Position + 2 > data.Size()) return;
  if ((data.u8(place.Staff) >> 4) >= Ctx.Part->GetStaffCount()) data.setU8(place.Staff, 0);
  if ((data.u8(place.Staff) >> 4) != Pass.StaffIndex) return;
  const uint16_t position = data.u16(place.Position);
  if (position >= Ctx.Record->Length) {
    Ctx.RemovalList.push_back(&Object);
    return;
  }
  EnterColumn(Ctx, Pass, position);
  TKVDisplayItem& D = AddDisplayItem(Ctx, &Object, true);
  D.Bounds = ObjectBox(Ctx, Object, D);
}

void LayoutStaffObject(TKVFormatContext& Ctx, TKVStaffPass& Pass, TKVItem& Item) {
  const uint8_t kind = Item.Kind();
  if (kind == ItemKind::Rest) {
    if (auto* rest = ItemCast<TKVPause>(&Item)) LayoutRest(Ctx, Pass, *rest);
  } else if (kind == ItemKind::SecondNote) {
    if (auto* note = ItemCast<TKVNote>(&Item)) LayoutSecondNote(Ctx, Pass, *note);
  } else if (kind == ItemKind::OleObject || (kind >= ItemKind::Text && kind <= ItemKind::ArcChord)) {
    LayoutFreeObject(Ctx, Pass, Item);
  } else if (auto* mark = ItemCast<TKVMark>(&Item)) {
    if (kind == ItemKind::BeatRepeat || kind == ItemKind::MeasureRepeat)
      LayoutRepeat(Ctx, Pass, *mark);
    else
      LayoutStaffMark(Ctx, Pass, *mark);
  }
}
