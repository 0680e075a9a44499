// Free page objects: the page's own objects behind and in front of the
// notation, objects attached to measures, and the placing and selection
// marks every object kind shares.

#include <cmath>
#include <numbers>

#include "player/Window.h"
#include "render/objects/Adjustment.h"
#include "render/page/PageDrawer.h"
#include "render/page/ScaledMath.h"
#include "score/layout/page/PageRecords.h"
#include "score/model/ElementBlocks.h"
#include "score/model/Image.h"
#include "score/model/Item.h"
#include "score/model/ItemKinds.h"
#include "score/model/OleObject.h"
#include "score/model/PageTexts.h"

namespace render {

namespace {

// The byte whose bit 0 puts an object behind the notation (for a line, the
// byte of its arrow styles); -1 for kinds that are not page objects.
int LayerByte(uint8_t Kind) {
  switch (Kind) {
    case ItemKind::Text: return int(TextBlock::Flags);
    case ItemKind::Image: return int(ImageBlock::Flags);
    case ItemKind::Line: return int(LineBlock::Arrows);
    case ItemKind::Rectangle: case ItemKind::Ellipse: return int(RectangleBlock::Flags);
    case ItemKind::Arc: case ItemKind::Pie: case ItemKind::ArcChord: return int(ArcBlock::Flags);
    case ItemKind::PageMark: return int(PageMarkBlock::Flags);
    case ItemKind::OleObject: return int(OleBlock::Flags);
    default: return -1;
  }
}

bool IsArc(uint8_t Kind) { return Kind >= ItemKind::Arc && Kind <= ItemKind::ArcChord; }

}  // namespace

void TKVPageDrawer::DrawObjectList(bool Before) {
  ObjectScale = 100;
  if (!PageRecord) return;
  const size_t count = std::min<size_t>(PageRecord->PageObjectCount, PageRecord->PageObjects.size());
  for (size_t i = 0; i < count; ++i) {
    TKVDisplayItem* entry = PageRecord->PageObjects[i].get();
    if (entry && entry->RecordType == DisplayRecordType::Item && entry->Item)
      DrawObject(*entry->Item, entry, 0, 0, Before, false);
  }
}

void TKVPageDrawer::DrawAttachedObject(TKVItem& Item) {
  ScaleItemRect(CurrentRecord->Bounds2, ItemRect);
  DrawObject(Item, CurrentRecord, ItemRect.Left, ItemRect.Top, false, true);
}

canvas::TPoint TKVPageDrawer::ScaleObjectPoint(int32_t X, int32_t Y) const {
  canvas::TRect r;
  ScaleObjectRect({X, Y, X, Y}, r);
  return {r.Left, r.Top};
}

void TKVPageDrawer::PlaceObjectRect(canvas::TRect& Rect, const TKVDisplayItem* Record, int32_t X, int32_t Y) const {
  int32_t dx = X, dy = Y;
  uint8_t code = Record ? Record->Placement & 0x0F : 0;
  if (code == 1) dx += Record->Shift.X, dy += Record->Shift.Y, code = 0;
  Rect = {Rect.Left + dx, Rect.Top + dy, Rect.Right + dx, Rect.Bottom + dy};
  if (Record) AdjustBox(Rect, code, Record->Shift.X, Record->Shift.Y);
}

void TKVPageDrawer::AdjustObjectRect(canvas::TRect& Rect, const TKVDisplayItem* Record) const {
  if (Record) AdjustBox(Rect, Record->Placement & 0x0F, Record->Shift.X, Record->Shift.Y);
}

canvas::TPoint TKVPageDrawer::RotateObjectPoint(canvas::TPoint Point, int32_t AngleDegrees) {
  const double a = AngleDegrees * std::numbers::pi / 180;
  return RotatePointCounterClockwise(Point, std::cos(a), std::sin(a));
}

void TKVPageDrawer::DrawObjectShape(TKVItem& Item, TKVDisplayItem* Record, const TKVObjectPlacement& Placement) {
  switch (Item.Kind()) {
    case ItemKind::Line: DrawLineObject(Item, Placement.Start, Placement.End); break;
    case ItemKind::Rectangle: case ItemKind::Ellipse: DrawBoxObject(Item, Placement.Box); break;
    case ItemKind::Arc: case ItemKind::Pie: case ItemKind::ArcChord: DrawArcObject(Item, Placement); break;
    case ItemKind::Text:
      if (auto* text = ItemCast<TKVText>(&Item)) DrawTextObject(*text, Record, Placement.Box);
      break;
    case ItemKind::Image:
      if (auto* image = ItemCast<TKVImage>(&Item)) DrawPictureObject(*image, Placement.Box);
      break;
    case ItemKind::OleObject:
      // The embedded object draws itself.
      if (auto* ole = ItemCast<TKVOleObject>(&Item)) ole->Container().Draw(Canvas, Placement.Box);
      break;
    case ItemKind::PageMark:
      if (auto* mark = ItemCast<TKVPageMark>(&Item); mark && Record) DrawPageMarkObject(*mark, *Record, Placement.Box);
      break;
    default: break;
  }
}

void TKVPageDrawer::DrawObject(TKVItem& Item, TKVDisplayItem* Record, int32_t X, int32_t Y, bool Before, bool Force) {
  const uint8_t kind = Item.Kind();
  const int layer = LayerByte(kind);
  const TByteBlock& data = Item.Data();
  // Blocks shorter than their kind's (never made by the model) draw nothing.
  if (layer < 0 || data.Size() <= size_t(layer) || data.Size() < ObjectBlock::Height + 2) return;
  const bool behind = data.u8(size_t(layer)) & 1;
  if (!Force && behind != Before) return;

  const uint8_t code = Record ? Record->Placement & 0x0F : 0;
  const int32_t dx = Record ? Record->Shift.X : 0, dy = Record ? Record->Shift.Y : 0;
  const int32_t x = data.i16(ObjectBlock::X), y = data.i16(ObjectBlock::Y);
  TKVObjectPlacement place;
  if (kind == ItemKind::Line) {
    place.Start = Moved(ScaleObjectPoint(x, y), X, Y);
    place.End = Moved(ScaleObjectPoint(data.i16(ObjectBlock::X2), data.i16(ObjectBlock::Y2)), X, Y);
    if (code == 1 || code == 2) place.Start = Moved(place.Start, dx, dy);
    if (code == 1 || code == 3) place.End = Moved(place.End, dx, dy);
    place.Box = {place.Start.X, place.Start.Y, place.End.X, place.End.Y};
  } else if (kind == ItemKind::PageMark) {
    // Only the page's record places a page mark, and only a whole move
    // adjusts it.
    if (!Record) return;
    ScaleItemRect(Record->Bounds, place.Box);
    const canvas::TPoint by = code == 1 ? canvas::TPoint{X + dx, Y + dy} : canvas::TPoint{X, Y};
    place.Box = {place.Box.Left + by.X, place.Box.Top + by.Y, place.Box.Right + by.X, place.Box.Bottom + by.Y};
  } else if (kind == ItemKind::Text) {
    // A text of the page stands in its record's box; one attached to a
    // measure or drawn in a user symbol at its own point.
    if (Record && !Force) {
      ScaleObjectRect(Record->Bounds, place.Box);
    } else {
      const canvas::TPoint at = ScaleObjectPoint(x, y);
      place.Box = {at.X, at.Y, at.X, at.Y};
    }
    PlaceObjectRect(place.Box, Record, X, Y);
  } else {
    const int32_t w = data.u16(ObjectBlock::Width), h = data.u16(ObjectBlock::Height);
    ScaleObjectRect({x, y, x + w, y + h}, place.Box);
    PlaceObjectRect(place.Box, Record, X, Y);
    if (IsArc(kind) && data.Size() >= ArcBlock::EndY + 2) {
      // The points fix only directions: they are not scaled with the object.
      auto point = [&](size_t At) {
        return canvas::TPoint{ScaleUnits(data.i16(At), XScale), ScaleUnits(data.i16(At + 2), YScale)};
      };
      place.Start = Moved(point(ArcBlock::StartX), X, Y);
      place.End = Moved(point(ArcBlock::EndX), X, Y);
      if (code == 1 || code == 10) place.Start = Moved(place.Start, dx, dy);
      if (code == 1 || code == 11) place.End = Moved(place.End, dx, dy);
    }
  }
  DrawObjectShape(Item, Record, place);

  if (!Record || View.EditedText == Record) return;
  const bool marked = kind == ItemKind::PageMark ? IsInSelectedRecords(*Record)
                                                 : IsInSelectedRecords(*Record) || IsItemSelected(*Record);
  if (!marked) return;
  canvas::TRect marks;
  if (kind == ItemKind::Line) {
    DrawLineHandles(place.Box);
  } else if (kind == ItemKind::PageMark) {
    ScaleItemRect(Record->Bounds, marks);
    if (code == 1) marks = {marks.Left + dx, marks.Top + dy, marks.Right + dx, marks.Bottom + dy};
    DrawSelectionCorners(marks);
  } else {
    ScaleObjectRect(IsArc(kind) ? Record->Bounds2 : Record->Bounds, marks);
    AdjustObjectRect(marks, Record);
    DrawObjectHandles(marks);
    if (IsArc(kind)) {
      const canvas::TPoint m{(marks.Left + marks.Right) / 2, (marks.Top + marks.Bottom) / 2};
      DrawRadiusHandle({m.X, m.Y, place.Start.X, place.Start.Y});
      DrawRadiusHandle({m.X, m.Y, place.End.X, place.End.Y});
    }
  }
}

}  // namespace render
