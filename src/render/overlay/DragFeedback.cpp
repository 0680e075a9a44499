// The feedback of a dragged record: its pending adjustment written for the
// next paint with the areas it leaves and enters repainted, the snap
// results of spanning marks, voltas and staff brackets, and the XOR
// rectangle of a bar line reaching the staff nearest the mouse.

#include <algorithm>

#include "base/Saturate.h"
#include "player/Window.h"
#include "render/objects/Adjustment.h"
#include "render/overlay/HoverOverlay.h"
#include "render/overlay/OverlayRecords.h"
#include "render/page/ScaledMath.h"
#include "score/layout/ItemFields.h"
#include "score/layout/page/PagePlaces.h"
#include "score/model/ElementBlocks.h"
#include "score/model/ItemKinds.h"
#include "score/model/Liga.h"
#include "score/model/Mark.h"
#include "score/model/Measure.h"
#include "score/model/Note.h"
#include "score/model/Part.h"
#include "score/model/Piece.h"
#include "score/model/Score.h"
#include "score/model/Staff.h"

namespace render {

namespace {

// The offset mode takes the grip's code in place of what an earlier drag
// left there, so that two grips never mix into a third meaning.
void SetOffsetMode(TKVDisplayItem& D, uint8_t Code) { D.Placement = uint8_t((D.Placement & 0xF0) | (Code & 0x0F)); }

bool IsSpanningMark(uint8_t Kind) {
  switch (Kind) {
    case ItemKind::Dynamic: case ItemKind::Trill: case ItemKind::HookedBracket: case ItemKind::WavyLine:
    case ItemKind::ContinuedGlyph: case ItemKind::ExtensionLine: case ItemKind::OctaveLine:
    case ItemKind::BarreLine: case ItemKind::HarmonicLine: return true;
    default: return false;
  }
}

bool IsBarLine(uint8_t Kind) {
  return Kind == ItemKind::BarLine || (Kind >= ItemKind::RepeatStart && Kind <= ItemKind::HeavyLightBar);
}

canvas::TRect Normalized(const canvas::TRect& R) { return TKVWindow::SortRect(R); }

canvas::TRect Bounding(std::initializer_list<canvas::TPoint> Points) {
  canvas::TRect r{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
  for (const canvas::TPoint& p : Points)
    r = {std::min(r.Left, p.X), std::min(r.Top, p.Y), std::max(r.Right, p.X), std::max(r.Bottom, p.Y)};
  return r;
}

}  // namespace

canvas::TPoint THoverOverlay::DragDelta() const {
  return {View.DragRect.Right - View.DragRect.Left, View.DragRect.Bottom - View.DragRect.Top};
}

canvas::TRect THoverOverlay::ClientRect(const TKVDisplayItem& D, const canvas::TRect& R) const {
  return View.ScoreRectToClient(&D, R, View.ActivePage());
}

template <class TAreaOf>
void THoverOverlay::Adjust(TKVDisplayItem& D, uint8_t Code, canvas::TPoint Shift, TAreaOf AreaOf) {
  if (Code) SetOffsetMode(D, Code);
  if (Update) Invalidate(AreaOf(D.Shift.X, D.Shift.Y));
  D.Shift.X = Shift.X, D.Shift.Y = Shift.Y;
  if (Update) Invalidate(AreaOf(D.Shift.X, D.Shift.Y));
}

void THoverOverlay::DrawDragFeedback() {
  TKVDisplayItem* D = View.DragRecord;
  if (!IsShownRecord(View, D)) return;
  switch (D->RecordType) {
    case DisplayRecordType::Connector: return DrawBarLineExtension(*D);
    case DisplayRecordType::Stem: return Update ? DragStem(*D) : void();
    case DisplayRecordType::BeamGroup: return Update ? DragBeamGroup(*D) : void();
    case DisplayRecordType::Item: return D->Item ? DragItem(*D) : void();
    default: return;
  }
}

void THoverOverlay::DragItem(TKVDisplayItem& D) {
  const uint8_t kind = D.Item->Kind();
  const int32_t grip = View.DragHandle;
  const auto [dx, dy] = DragDelta();
  // Bar lines and the slur draw whatever Update says, bends, vertical
  // arrows, rectangles and ellipses write their adjustment on every call;
  // everything else waits for Update.
  if (IsBarLine(kind)) return DrawBarLineExtension(D);
  if (kind == ItemKind::Slur) return DragSlur(D);
  const bool everyCall = kind == ItemKind::Bend || kind == ItemKind::VerticalArrow || kind == ItemKind::Rectangle ||
                         kind == ItemKind::Ellipse;
  if (!Update && !everyCall) return;
  // Plain variables, not a structured binding: the lambdas below capture
  // them, which clang 14 (the fuzz build's compiler) refuses.
  const canvas::TRect rect = ClientRect(D, LayoutRect(D.Bounds));
  const int32_t L = rect.Left, T = rect.Top, R = rect.Right, B = rect.Bottom;
  const canvas::TPoint both{dx, dy}, vertical{D.Shift.X, dy};
  // Marks that grow upwards for a negative shift and downwards otherwise.
  auto growing = [&](int32_t Right) {
    return [=](int32_t, int32_t Y) {
      return Y < 0 ? canvas::TRect{L - 4, T + Y - 4, Right, B + 4} : canvas::TRect{L - 4, T - 4, Right, B + Y + 4};
    };
  };
  switch (kind) {
    case ItemKind::Clef:
      return Adjust(D, 3, both, [&](int32_t X, int32_t Y) { return canvas::TRect{L + X - 4, T + Y - 64, R + X + 4, B + Y + 64}; });
    case ItemKind::Arpeggio:
    case ItemKind::HalfBracket:
    case ItemKind::SquareBracket:
      return Adjust(D, 3, vertical, [&](int32_t, int32_t Y) { return canvas::TRect{L - 4, T - 4, R + 4, B + Y + 8}; });
    case ItemKind::Tuplet: return Adjust(D, 3, vertical, growing(R + 4));
    case ItemKind::VerticalArrow: {
      const bool down = static_cast<const TKVMark*>(D.Item)->Variant() == 0;
      return Adjust(D, 3, vertical, [&](int32_t, int32_t Y) {
        return down ? canvas::TRect{L - 4, T - 4, R + 4, B + Y + 8} : canvas::TRect{L - 4, T + Y - 8, R + 4, B + 4};
      });
    }
    case ItemKind::Bend:
      return Adjust(D, 4, both, [&](int32_t X, int32_t Y) { return canvas::TRect{L - 4, T + Y - 8, R + X + 8, B + 4}; });
    case ItemKind::Tremolo:
      if (grip == 4)
        return Adjust(D, 2, {dx, D.Shift.Y}, [&](int32_t X, int32_t) { return canvas::TRect{L - 4, T - 4, R + X + 8, B + 4}; });
      if (grip == 6) return Adjust(D, 3, vertical, growing(R + 4));
      return;
    case ItemKind::Volta: {
      const int32_t snapped = MeasureSnap(D, R);
      return Adjust(D, 2, {snapped - R, D.Shift.Y},
                    [&](int32_t X, int32_t) { return canvas::TRect{L - 16, T, R + X + 16, B}; });
    }
    case ItemKind::StaffBracket: return StaffSnap(D);
    case ItemKind::Syllable:
    case ItemKind::LyricText:
    case ItemKind::LyricLine: return DragBoxGrip(D, ClientRect(D, LayoutRect(D.Bounds2)));
    case ItemKind::OleObject:
    case ItemKind::Text:
    case ItemKind::Image:
    case ItemKind::Rectangle:
    case ItemKind::Ellipse: return DragBoxGrip(D, ObjectRect(D, false));
    case ItemKind::Line: return DragLineEnd(D, ObjectRect(D, true));
    case ItemKind::Arc:
    case ItemKind::Pie:
    case ItemKind::ArcChord:
      return grip > 8 ? DragRadialPoint(D, ObjectRect(D, false)) : DragBoxGrip(D, ObjectRect(D, false));
    default: break;
  }
  if (!IsSpanningMark(kind)) return;
  if (grip != 4) return Adjust(D, 3, vertical, growing(R + 8));
  const int32_t snapped = EndSnap(D, R);
  Adjust(D, 2, {snapped - R, D.Shift.Y}, [&](int32_t X, int32_t) { return canvas::TRect{L - 4, T - 4, R + X + 8, B + 4}; });
}

// The rectangle runs down to the bottom of the staff nearest the mouse:
// the boundary between two staves is the middle of their gap.
void THoverOverlay::DrawBarLineExtension(const TKVDisplayItem& D) {
  const TKVSystemRecord* system = D.Owner ? D.Owner->System : nullptr;
  if (!system) return;
  const canvas::TRect r = ClientRect(D, LayoutRect(D.Bounds));
  const int32_t page = View.ActivePage();
  for (int32_t i = system->FirstStaffLine; i <= system->LastStaffLine; ++i) {
    const TKVStaffLineRecord* line = StaffLineAt(system->Page, i);
    if (!line) return;
    View.DragStaffLine = i;
    const int32_t bottom = ClientY(line->Bottom, page);
    const TKVStaffLineRecord* next = i < system->LastStaffLine ? StaffLineAt(system->Page, i + 1) : nullptr;
    if (!next || View.DragRect.Bottom < (bottom + ClientY(next->Top, page)) / 2)
      return Canvas.Rectangle({r.Left, r.Top, r.Right, bottom});
  }
}

// The stem's free end moves: with a beamed note the whole group's
// rectangle, with room for a flag.
void THoverOverlay::DragStem(TKVDisplayItem& D) {
  const auto* note = ItemCast<const TKVNote>(D.Item);
  if (!note) return;
  canvas::TRect r = ClientRect(D, LayoutRect(D.Bounds));
  const TKVMeasure* measure = note->GetMeasure();
  if (note->BeamGroup != 0 && measure && note->BeamGroup <= measure->GroupRanges().size()) {
    const TKVDisplayItem* beam = measure->GroupRanges()[note->BeamGroup - 1u].Beam;
    if (beam && !beam->Links.empty() && beam->Links.front() && beam->Links.back()) {
      const canvas::TRect f = ClientRect(*beam->Links.front(), LayoutRect(beam->Links.front()->Bounds));
      const canvas::TRect l = ClientRect(*beam->Links.back(), LayoutRect(beam->Links.back()->Bounds));
      r = {f.Left, std::min({r.Top, f.Top, l.Top}), l.Right, std::max({r.Bottom, f.Bottom, l.Bottom})};
    }
  }
  if (note->Duration() <= 64) r.Right += View.ScaleSize(16);
  const bool down = note->StemDown();
  const int32_t d = View.Zoom() * 16 / 100;
  Adjust(D, 1, {D.Shift.X, DragDelta().Y}, [&](int32_t, int32_t Y) {
    canvas::TRect moved = r;
    (down ? moved.Bottom : moved.Top) += Y;
    return Inflated(Normalized(moved), d);
  });
}

void THoverOverlay::DragBeamGroup(TKVDisplayItem& D) {
  const canvas::TRect r = ClientRect(D, LayoutRect(D.Bounds));
  const int32_t d = View.Zoom() * 16 / 100, dy = DragDelta().Y;
  auto area = [&](int32_t Y) {
    canvas::TRect moved = r;
    (Y >= 0 ? moved.Bottom : moved.Top) += Y;
    return Inflated(moved, d);
  };
  Invalidate(area(D.Shift.Y));
  for (TKVDisplayItem* record : D.Links)
    if (record) record->Shift.Y = dy, SetOffsetMode(*record, 1);
  D.Shift.Y = dy, SetOffsetMode(D, 1);
  Invalidate(area(D.Shift.Y));
}

// The end of a spanning mark snaps to the right edge of the note or rest
// nearest the mouse in the measure under it, or to that measure's first
// column; DragValue becomes the mark's new length in ticks.
int32_t THoverOverlay::EndSnap(const TKVDisplayItem& D, int32_t Right) {
  const TKVItem* mark = D.Item;
  View.DragValue = ItemEnd(mark) - ItemPosition(mark);
  const TKVSystemRecord* system = D.Owner->System;
  const int32_t page = View.ActivePage(), x = View.DragRect.Right;
  const TKVMeasureRecord* target = nullptr;
  for (int32_t i = 0; !target && MeasureAt(system, i); ++i) {
    const TKVMeasureRecord* M = MeasureAt(system, i);
    if (View.ScoreXToClient(M->LeftX, page) < x && x < View.ScoreXToClient(M->RightX, page)) target = M;
  }
  if (!target) return Right;
  const TKVDisplayItem* nearest = nullptr;
  int64_t best = 10000;
  for (int32_t i = 0; i < target->DisplayCount; ++i) {
    const TKVDisplayItem* d = target->GetDisplay(i);
    if (!d || d->RecordType != DisplayRecordType::Item || !d->Item) continue;
    if (d->Item->Kind() != ItemKind::Note && d->Item->Kind() != ItemKind::Rest) continue;
    const canvas::TRect r = ClientRect(*d, LayoutRect(d->Bounds));
    const int64_t distance = std::llabs((int64_t(r.Left) + r.Right) / 2 - x);
    if (distance < best) best = distance, nearest = d;
  }
  const int32_t before =
      system->Piece ? system->Piece->GetRangeLength(D.Owner->ColumnIndex, target->ColumnIndex - 1) : 0;
  View.DragValue = before - ItemPosition(mark) + (nearest ? ItemPosition(nearest->Item) : 0);
  if (nearest) return ClientRect(*nearest, LayoutRect(nearest->Bounds)).Right;
  return View.ScoreXToClient(Saturate32(TickX(*target, 0)), page);
}

// A volta reaches the end of the measure under the mouse; DragValue counts
// its measures.
int32_t THoverOverlay::MeasureSnap(const TKVDisplayItem& D, int32_t Right) {
  View.DragValue = 1;
  const TKVSystemRecord* system = D.Owner->System;
  const int32_t page = View.ActivePage(), x = View.DragRect.Right;
  for (int32_t i = 0; MeasureAt(system, i); ++i) {
    const TKVMeasureRecord* M = MeasureAt(system, i);
    const int32_t right = View.ScoreXToClient(M->RightX, page);
    if (View.ScoreXToClient(M->LeftX, page) < x && x < right) {
      View.DragValue = M->ColumnIndex - D.Owner->ColumnIndex + 1;
      return right;
    }
  }
  return Right;
}

// A bracket over the staves of a part reaches down over the staves of the
// parts below it as far as the gap nearest the mouse.
void THoverOverlay::StaffSnap(TKVDisplayItem& D) {
  const TKVPart* part = ItemPart(D.Item);
  const TKVSystemRecord* system = D.Owner->System;
  if (!part) return;
  View.DragPart = part->Index();
  const int32_t page = View.ActivePage();
  auto partOf = [](const TKVStaffLineRecord& Line) { return Line.Staff && Line.Staff->Part() ? Line.Staff->Part()->Index() : -1; };
  int32_t i = system->FirstStaffLine;
  while (i <= system->LastStaffLine && StaffLineAt(system->Page, i) && partOf(*StaffLineAt(system->Page, i)) != View.DragPart) ++i;
  const TKVStaffLineRecord* first = StaffLineAt(system->Page, i);
  if (i > system->LastStaffLine || !first) return;
  int32_t bottom = ClientY(first->Bottom, page);
  for (++i; i <= system->LastStaffLine; ++i) {
    const TKVStaffLineRecord* line = StaffLineAt(system->Page, i);
    if (!line) break;
    if (partOf(*line) != View.DragPart && View.DragRect.Bottom < (bottom + ClientY(line->Top, page)) / 2) break;
    View.DragPart = partOf(*line);
    bottom = ClientY(line->Bottom, page);
  }
  const canvas::TRect rect = ClientRect(D, LayoutRect(D.Bounds));
  const int32_t L = rect.Left, T = rect.Top, R = rect.Right, B = rect.Bottom;
  Adjust(D, 3, {D.Shift.X, bottom - B}, [&](int32_t, int32_t Y) { return canvas::TRect{L, T, R, B + Y + 16}; });
}

canvas::TRect THoverOverlay::ObjectRect(const TKVDisplayItem& D, bool Ends) const {
  const TByteBlock& data = D.Item->Data();
  if (data.Size() < ObjectBlock::Height + 2) return ClientRect(D, LayoutRect(D.Bounds));
  const int32_t x = data.i16(ObjectBlock::X), y = data.i16(ObjectBlock::Y);
  const canvas::TRect r = Ends ? canvas::TRect{x, y, data.i16(ObjectBlock::X2), data.i16(ObjectBlock::Y2)}
                               : canvas::TRect{x, y, x + data.u16(ObjectBlock::Width), y + data.u16(ObjectBlock::Height)};
  const canvas::TPoint o = ObjectOrigin(D);
  return Offset(ClientRect(D, r), o.X, o.Y);
}

// An object of a measure stands relative to its place in the measure.
canvas::TPoint THoverOverlay::ObjectOrigin(const TKVDisplayItem& D) const {
  if (D.Item->OwnerClass() != TKVOwnerClass::Measure) return {0, 0};
  return {View.ScoreToPixels(D.Bounds2.Left), View.ScoreToPixels(D.Bounds2.Top)};
}

// Grips 1-8 move the corners and edges clockwise from the top-left; any
// other grip moves the whole box, repainting the whole view first.
void THoverOverlay::DragBoxGrip(TKVDisplayItem& D, const canvas::TRect& R) {
  const int32_t grip = View.DragHandle;
  const canvas::TPoint shift = DragDelta();
  if (grip < 1 || grip > 8) {
    if (Update) Invalidate(View.GetViewRect());
    D.Shift.X = shift.X, D.Shift.Y = shift.Y;
    if (Update) Invalidate(Inflated(R, 16));
    return;
  }
  const uint8_t code = uint8_t(grip + 1);
  Adjust(D, code, shift, [&](int32_t X, int32_t Y) {
    canvas::TRect moved = R;
    AdjustBox(moved, code, X, Y);
    return Inflated(moved, 16);
  });
}

// Grip 1 moves a line's start, any other its end.
void THoverOverlay::DragLineEnd(TKVDisplayItem& D, const canvas::TRect& R) {
  const bool start = View.DragHandle == 1;
  const canvas::TPoint shift = DragDelta();
  Adjust(D, start ? 2 : 3, shift, [&](int32_t X, int32_t Y) {
    canvas::TRect moved = R;
    AdjustBox(moved, start ? 2 : 6, X, Y);
    return Inflated(Normalized(moved), 32);
  });
}

// Grip 9 moves an arc's start point, grips above it its end point.
void THoverOverlay::DragRadialPoint(TKVDisplayItem& D, const canvas::TRect& R) {
  const bool start = View.DragHandle == 9;
  const TByteBlock& data = D.Item->Data();
  if (data.Size() < ArcBlock::EndY + 2) return;
  const canvas::TPoint o = ObjectOrigin(D);
  const canvas::TPoint p =
      View.ScorePointToClient(&D, start ? canvas::TPoint{data.i16(ArcBlock::StartX), data.i16(ArcBlock::StartY)}
                                        : canvas::TPoint{data.i16(ArcBlock::EndX), data.i16(ArcBlock::EndY)},
                              View.ActivePage());
  const canvas::TPoint centre{(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2};
  const canvas::TPoint shift = DragDelta();
  Adjust(D, start ? 10 : 11, shift, [&](int32_t X, int32_t Y) {
    const canvas::TRect r = Bounding({{R.Left, R.Top}, {R.Right, R.Bottom}, centre, {p.X + o.X + X, p.Y + o.Y + Y}});
    return Inflated(r, 32);
  });
}

// The ends and control points of the slur move by its grip; a slur dragged
// by its start points at the note it starts at.
void THoverOverlay::DragSlur(TKVDisplayItem& D) {
  const auto* slur = ItemCast<const TKVLiga>(D.Item);
  if (!slur) return;
  const TKVLayoutRect& b = D.Bounds2;
  const int64_t scale = View.Score()->Scale();
  const canvas::TRect ends = ClientRect(D, LayoutRect(b));
  const canvas::TRect controls = ClientRect(D, {ClampCoordinate(b.Left + RoundDiv(slur->Control1X() * scale, 100)),
                                                ClampCoordinate(b.Top + RoundDiv(slur->Control1Y() * scale, 100)),
                                                ClampCoordinate(b.Width + RoundDiv(slur->Control2X() * scale, 100)),
                                                ClampCoordinate(b.Bottom + RoundDiv(slur->Control2Y() * scale, 100))});
  const bool level = slur->Flags() & 0x10;
  const int32_t grip = View.DragHandle;
  const uint8_t code = grip == 1 ? 2 : grip == 3 ? 4 : grip == 9 ? 10 : grip == 10 ? 11 : 0;
  // The start, the end and the two control points at an adjustment.
  struct TPoints {
    canvas::TPoint P0, P3, C1, C2;
  };
  auto pointsAt = [&](int32_t X, int32_t Y) {
    TPoints p{{ends.Left, ends.Top}, {ends.Right, ends.Bottom}, {controls.Left, controls.Top}, {controls.Right, controls.Bottom}};
    auto move = [X, Y](canvas::TPoint& P) { P = {P.X + X, P.Y + Y}; };
    if (code == 2) move(p.P0), move(p.C1);
    if (code == 2 && level) p.P3.Y += Y, p.C2.Y += Y;
    if (code == 4) move(p.P3), move(p.C2);
    if (code == 4 && level) p.P0.Y += Y, p.C1.Y += Y;
    if (code == 10) move(p.C1);
    if (code == 11) move(p.C2);
    return p;
  };
  Adjust(D, code, DragDelta(), [&](int32_t X, int32_t Y) {
    const TPoints p = pointsAt(X, Y);
    return Inflated(Bounding({p.P0, p.P3, p.C1, p.C2}), 4);
  });
  if (grip != 1) return;
  const TKVDisplayItem* note = FindItemDisplay(slur->OwnerItem(), *D.Owner);
  if (!note) return;
  const int32_t notePage = RecordPage(View, *note);
  const TPoints p = pointsAt(D.Shift.X, D.Shift.Y);
  DrawOverlayConnector(View.ScoreRectToClient(note, LayoutRect(note->Bounds), notePage),
                       {p.P0.X, p.P0.Y, p.P0.X, p.P3.Y});
}

}  // namespace render
