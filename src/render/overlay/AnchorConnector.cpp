// The anchor of a moved item by its kind: the measure position, staff,
// part, note or owner it would attach to, and the connector to it.

#include "base/Saturate.h"
#include "player/PlayTime.h"
#include "player/Window.h"
#include "render/overlay/OverlayRecords.h"
#include "render/overlay/SelectionOverlay.h"
#include "render/overlay/XorDrawing.h"
#include "score/layout/ItemFields.h"
#include "score/layout/page/PagePlaces.h"
#include "score/model/ElementBlocks.h"
#include "score/model/Image.h"
#include "score/model/ItemKinds.h"
#include "score/model/Lyric.h"
#include "score/model/Mark.h"
#include "score/model/PageTexts.h"
#include "score/model/Part.h"
#include "score/model/Piece.h"
#include "score/model/ScoreRoutines.h"
#include "score/model/SimpleElements.h"

namespace render {

namespace {

enum class TAnchor : uint8_t {
  None, PartSpan, PartStaff, OwnStaff, MeasureEdge, MeasureColumn, MeasureHeader, MeasureHeaderOwnEnd,
  OwnMeasure, SlurOwner, StaffColumn, SystemStart, Owner, OwnerEnd, Tuplet, NoteOrStaff, Staff, Range, Bend,
  Object, LineObject
};

TAnchor AnchorOf(const TKVItem& Item) {
  const uint8_t kind = Item.Kind();
  switch (kind) {
    case 1: return TAnchor::PartSpan;
    case 2: return TAnchor::PartStaff;
    case 3: return TAnchor::OwnStaff;
    case 4: return TAnchor::MeasureEdge;
    case 6: case 8: return TAnchor::MeasureColumn;
    case 7: case 155: case 156: case 157: case 158: case 159: return TAnchor::MeasureHeader;
    case 28: case 150: case 151: case 153: case 154: return TAnchor::MeasureHeaderOwnEnd;
    case 21: case 27: return TAnchor::OwnMeasure;
    case 30: return TAnchor::SlurOwner;
    case 31: case 33: case 34: case 36: return TAnchor::StaffColumn;
    case 35: return TAnchor::SystemStart;
    case 50: case 72: return TAnchor::Owner;
    case 45: case 70: case 71: return TAnchor::OwnerEnd;
    case 85: return TAnchor::Tuplet;
    case 111: case 112: case 131: case 132: case 141: case 142: case 143: case 149: case 173: return TAnchor::NoteOrStaff;
    case 113: case 118: case 120: case 123: case 130: case 169: case 170: case 172: return TAnchor::Range;
    case 110: {
      const auto* mark = ItemCast<const TKVMark>(&Item);
      return mark && (mark->Variant() == 50 || mark->Variant() == 51) ? TAnchor::Range : TAnchor::Staff;
    }
    case 114: case 115: case 116: case 117: case 121: case 122: case 124: case 125: case 133: case 160:
      return TAnchor::Staff;
    case 119: return TAnchor::Bend;
    case ItemKind::Text: return ItemCast<const TKVText>(&Item) ? TAnchor::Object : TAnchor::None;
    case ItemKind::Image: return dynamic_cast<const TKVImage*>(&Item) ? TAnchor::Object : TAnchor::None;
    case ItemKind::Rectangle: case ItemKind::Ellipse:
      return dynamic_cast<const TKVRectangle*>(&Item) ? TAnchor::Object : TAnchor::None;
    case ItemKind::Arc: case ItemKind::Pie: case ItemKind::ArcChord:
      return dynamic_cast<const TKVArc*>(&Item) ? TAnchor::Object : TAnchor::None;
    case ItemKind::Line: return dynamic_cast<const TKVLine*>(&Item) ? TAnchor::LineObject : TAnchor::None;
    default: return TAnchor::None;
  }
}

bool Anchored(TAnchor A) {
  switch (A) {
    case TAnchor::MeasureColumn: case TAnchor::MeasureHeader: case TAnchor::MeasureHeaderOwnEnd:
    case TAnchor::StaffColumn: case TAnchor::NoteOrStaff: case TAnchor::Staff: case TAnchor::Range:
    case TAnchor::Bend: case TAnchor::Object: case TAnchor::LineObject: return true;
    default: return false;
  }
}

// Flag bit 4 of a mark or lyric: it belongs to a note.
bool AtNote(const TKVItem& Item) {
  if (const auto* mark = ItemCast<const TKVMark>(&Item)) return mark->Flags() & 0x10;
  if (const auto* lyric = ItemCast<const TKVLyric>(&Item)) return lyric->Flags() & 0x10;
  return false;
}

// The staff lines of Item's part on R's system, first and last.
bool PartLines(const TKVMeasureRecord& R, const TKVItem& Item, int32_t& First, int32_t& Last) {
  const TKVPart* part = ItemPart(&Item);
  const TKVSystemRecord* system = R.System;
  if (!part || !system || part->Index() < 0 || size_t(part->Index()) >= system->Parts.size()) return false;
  const TKVSystemPartRecord* p = system->Parts[size_t(part->Index())].get();
  if (!p) return false;
  First = p->FirstStaffLine, Last = p->LastStaffLine;
  return true;
}

// R's staff line, or the line at the same place of System when the anchor
// lies on another system (the score under a snapping item); nil when
// System has none there.
const TKVStaffLineRecord* LineIn(const TKVDisplayItem& R, const TKVSystemRecord* System) {
  const TKVSystemRecord* own = R.Owner ? R.Owner->System : nullptr;
  if (!R.StaffLine || !own || !System || System == own) return R.StaffLine;
  const int32_t index = System->FirstStaffLine + (R.StaffLine->Index - own->FirstStaffLine);
  return index <= System->LastStaffLine ? StaffLineAt(System->Page, index) : nullptr;
}

}  // namespace

int32_t TSelectionOverlay::MeasurePage(const TKVMeasureRecord& M) {
  return M.System && M.System->Page ? M.System->Page->PageIndex : -1;
}

int32_t TSelectionOverlay::ColumnX(const TKVMeasureRecord& M, int64_t Column) const {
  return View.ScoreXToClient(Saturate32(TickX(M, Column)), MeasurePage(M));
}

canvas::TRect TSelectionOverlay::Band(const TKVStaffLineRecord* Line, int32_t X) const {
  const int32_t page = Line && Line->Page ? Line->Page->PageIndex : -1;
  if (!Line) return {X, 0, X, 0};
  return {X, View.ScorePointToClient(nullptr, {0, Line->Top}, page).Y, X,
          View.ScorePointToClient(nullptr, {0, Line->Bottom}, page).Y};
}

canvas::TRect TSelectionOverlay::MeasureBox(const TKVMeasureRecord& M) const {
  return View.ScoreRectToClient(nullptr, {M.LeftX, M.TopY, M.RightX, M.BottomY}, MeasurePage(M));
}

const TKVMeasureRecord* TSelectionOverlay::AnchorMeasure(const TKVDisplayItem& R, const canvas::TRect& B,
                                                         int32_t& Column) {
  Column = ItemPosition(R.Item);
  if (!View.SnapToScore) return R.Owner;
  View.HitTest({B.Left, (B.Top + B.Bottom) / 2});
  const TKVPiece* piece = R.Owner && R.Owner->System ? R.Owner->System->Piece : nullptr;
  const TKVMeasureRecord* hit = piece && piece->GetIndex() == View.Hit.Piece ? LaidOutRecord(piece, View.Hit.Measure) : nullptr;
  if (!hit || !hit->System) return R.Owner;
  Column = View.Hit.Tick;
  return hit;
}

void TSelectionOverlay::DrawAnchorConnector(const TKVDisplayItem& R) {
  if (R.RecordType != DisplayRecordType::Item || !R.Item || !R.Owner || !R.Owner->System) return;
  const TKVItem& item = *R.Item;
  const TAnchor anchor = AnchorOf(item);
  if (anchor == TAnchor::None) return;
  Canvas.Pen.Style = canvas::psDot;
  canvas::TRect B = Offset(RecordBox(R), DragOffset.X, DragOffset.Y);
  const TKVMeasureRecord& own = *R.Owner;
  int32_t column = ItemPosition(&item);
  const TKVMeasureRecord* measure = &own;
  if (Anchored(anchor)) {
    measure = AnchorMeasure(R, B, column);
    View.AnchorRecord = const_cast<TKVMeasureRecord*>(measure);
    View.AnchorColumn = column;
  }
  const TKVMeasureRecord& M = *measure;
  const TKVPageRecord* page = own.System->Page;
  canvas::TRect A;
  bool fromLeftEdge = false;
  switch (anchor) {
    case TAnchor::PartSpan:
    case TAnchor::PartStaff:
    case TAnchor::OwnStaff:
    case TAnchor::Bend: {
      int32_t first = 0, last = 0;
      const TKVSystemRecord& system = anchor == TAnchor::Bend ? *M.System : *own.System;
      if (anchor == TAnchor::OwnStaff) {
        first = last = R.StaffLine ? R.StaffLine->Index : -1;
      } else if (!PartLines(anchor == TAnchor::Bend ? M : own, item, first, last)) {
        return;
      } else if (anchor == TAnchor::PartStaff) {
        if (first + (ItemStaffVoice(&item) >> 4) > last) return;
        first = last = first + (ItemStaffVoice(&item) >> 4);
      }
      const TKVStaffLineRecord* top = StaffLineAt(system.Page, first);
      const TKVStaffLineRecord* bottom = StaffLineAt(system.Page, last);
      if (!top || !bottom) return;
      const int32_t x = anchor == TAnchor::Bend ? ColumnX(M, column)
                                                : column == 0 ? MeasureBox(own).Left : ColumnX(own, column);
      A = {x, Band(top, x).Top, x, Band(bottom, x).Bottom};
      break;
    }
    case TAnchor::MeasureEdge: {
      const canvas::TRect box = MeasureBox(own);
      A = Band(R.StaffLine, column == 0 ? box.Left : box.Right);
      break;
    }
    case TAnchor::MeasureColumn:
      A = MeasureBox(M), A.Left = ColumnX(M, column);
      break;
    case TAnchor::MeasureHeader:
    case TAnchor::MeasureHeaderOwnEnd:
      A = MeasureBox(M);
      if (anchor == TAnchor::MeasureHeaderOwnEnd && column == own.Length)
        A.Left = A.Right;
      else if (column == 0)
        A.Left = View.ScoreXToClient(Saturate32(M.LeftX + StartWidths(M)), MeasurePage(M));
      else if (column < M.Length)
        A.Left = ColumnX(M, column);
      else
        A.Left = A.Right;
      break;
    case TAnchor::OwnMeasure:
      A = item.Kind() == ItemKind::Rest ? Band(R.StaffLine, 0) : MeasureBox(own);
      A.Left = ColumnX(own, column);
      break;
    case TAnchor::SlurOwner:
    case TAnchor::Owner:
    case TAnchor::OwnerEnd: {
      const TKVDisplayItem* owner = FindItemDisplay(item.OwnerItem(), own);
      if (!owner) return;
      A = RecordBox(*owner);
      if (anchor == TAnchor::OwnerEnd) A.Left = A.Right;
      if (anchor == TAnchor::SlurOwner) B.Right = B.Left;
      break;
    }
    case TAnchor::StaffColumn:
    case TAnchor::NoteOrStaff: {
      const bool note = anchor == TAnchor::NoteOrStaff || item.Kind() == ItemKind::Syllable || item.Kind() == ItemKind::LyricText;
      const TKVDisplayItem* head = note && AtNote(item) ? FindNoteRecord(M, item, column) : nullptr;
      if (head) {
        A = RecordBox(*head);
      } else if (const TKVStaffLineRecord* line = LineIn(R, M.System)) {
        A = Band(line, ColumnX(M, column));
      } else {
        return;
      }
      break;
    }
    case TAnchor::SystemStart:
      A = Band(R.StaffLine, View.ScoreXToClient(own.System->LeftX, page->PageIndex));
      break;
    case TAnchor::Tuplet: {
      const auto* tuplet = ItemCast<const TKVMark>(&item);
      if (!tuplet) return;
      Route(Band(R.StaffLine, ColumnX(own, column)), B, true);
      B.Left = B.Right;
      Canvas.Pen.Style = canvas::psDot;
      A = Band(R.StaffLine, ColumnX(own, int64_t(column) + TupletScale(tuplet->Variant(), tuplet->Value())));
      fromLeftEdge = true;
      break;
    }
    case TAnchor::Staff:
    case TAnchor::Object: {
      const TKVStaffLineRecord* line = LineIn(R, M.System);
      if (!line) return;
      A = Band(line, ColumnX(M, column));
      break;
    }
    case TAnchor::Range: {
      // A piece carried on from the system before anchors at its system's
      // start; the mark's end gets a second arrow.
      const TKVMeasureRecord* first = R.Continuation ? MeasureAt(own.System, 0) : nullptr;
      const TKVStaffLineRecord* line = LineIn(R, first ? own.System : M.System);
      if (!line) return;
      A = Band(line, first ? ColumnX(*first, 0) : ColumnX(M, column));
      Route(A, B, true);
      return DrawRangeEnd(R, M, column, B);
    }
    case TAnchor::LineObject: {
      const TByteBlock& data = item.Data();
      if (data.Size() < ObjectBlock::Y + 2) return;
      const canvas::TPoint from = View.ScorePointToClient(&R, {data.i16(ObjectBlock::X), data.i16(ObjectBlock::Y)}, page->PageIndex);
      const TKVStaffLineRecord* line = LineIn(R, M.System);
      if (!line) return;
      const canvas::TPoint s{from.X + DragOffset.X, from.Y + DragOffset.Y}, e{ColumnX(M, column), Band(line, 0).Top};
      Canvas.MoveTo(s.X, s.Y);
      Canvas.LineTo(e.X, e.Y);
      return DrawXorArrowHead(Canvas, e, s);
    }
    case TAnchor::None: return;
  }
  Route(A, B, fromLeftEdge);
}

// From the right end of the moved box to the column where the mark ends,
// on the staff line of the same place in that column's system.
void TSelectionOverlay::DrawRangeEnd(const TKVDisplayItem& R, const TKVMeasureRecord& Anchor, int32_t Column,
                                     canvas::TRect B) {
  const int64_t length = int64_t(ItemEnd(R.Item)) - ItemPosition(R.Item);
  int32_t offset = 0;
  const TKVMeasureRecord* end = FindMeasureAtTick(Anchor, int64_t(Anchor.StartTick) + Column + length, offset);
  const TKVStaffLineRecord* line = end ? LineIn(R, end->System) : nullptr;
  if (!line) return;
  B.Left = B.Right;
  Canvas.Pen.Style = canvas::psDot;
  Route(Band(line, ColumnX(*end, offset)), B, true);
}

}  // namespace render
