// A beam group: the stems of its notes, the main beam from the first stem to
// the last, and the secondary beams and hooks of each further level. Stems
// and level beams are drawn without anti-aliasing, sloped beams with it.

#include <algorithm>
#include <cmath>
#include <vector>

#include "render/notation/ItemTests.h"
#include "render/page/PageDrawer.h"
#include "render/page/ScaledMath.h"
#include "score/model/Score.h"

namespace render {

namespace {

struct TEntry {
  TKVDisplayItem* Record;
  const TKVNote* Note;
  bool Down() const { return Note->StemDown(); }
};

// Beams a note has beyond the main one's level: 1 for a written 32-tick
// value (a 16th) up to 4 for 4 ticks.
int LevelCount(const TKVNote& Note) {
  switch (Note.Value()) {
    case 32: return 1;
    case 16: return 2;
    case 8: return 3;
    case 4: return 4;
    default: return 0;
  }
}

canvas::TPointF P(int64_t X, int64_t Y) { return {double(ClampCoordinate(X)), double(ClampCoordinate(Y))}; }

}  // namespace

void TKVPageDrawer::DrawBeamGroup(TKVDisplayItem& Group) {
  std::vector<TEntry> entries;
  for (TKVDisplayItem* record : Group.Links)
    if (record && record->RecordType == DisplayRecordType::Stem)
      if (auto* note = dynamic_cast<const TKVNote*>(record->Item)) entries.push_back({record, note});
  if (entries.size() < 2) return;
  const TEntry& first = entries.front();
  const TEntry& last = entries.back();
  const TKVStaffLineRecord* firstLine = ShownLine(*first.Record);
  if (!firstLine || VoiceHidden(first.Note->Voice)) return;
  const bool dimmed = ActiveVoiceOnly() && !VoiceItemAtCursor(*first.Note, *first.Record);

  // Widths at the group's size.
  const int32_t thin = ThinWidth(), w = StemWidth(true);
  const bool grace = GraceGroupOf(*first.Note) != nullptr;
  const int64_t b = Score->Drawing.BeamWidth, p = Group.SizePercent;
  int32_t t = b != 0 ? ClampCoordinate(grace ? RoundDiv(2 * b * ScaleProduct * p, 24000000)
                                             : RoundDiv(b * ScaleProduct * p, 8000000))
                     : (grace ? ItemUnit(2) : ItemUnit(3));
  t = std::max(t, 1);
  const int32_t d = std::max(t + t / 3, t + 1);
  const canvas::TColor groupColour = dimmed ? kDimmed : first.Note->StemColor();

  // The stems, each reaching through the beam levels it passes on the
  // other side of a knee. A stem on the other side of the main beam from
  // the first one ends where the layout put both sides' ends, at the main
  // beam's near edge: it reaches on across the beam's thickness (and the
  // step the beam takes at a knee's last stem) so that it meets the beam.
  Canvas.Smoothing = false;
  const int32_t knee = first.Down() != last.Down() ? UnitWidth(1) : 0;
  int32_t levels = 0;
  for (size_t i = 0; i < entries.size(); ++i) {
    TKVDisplayItem& entry = *entries[i].Record;
    const TKVNote& note = *entries[i].Note;
    const bool down = note.StemDown();
    entry.StemPadLeft = entry.StemPadRight = 0;
    canvas::TRect r;
    ScaleItemRect(entry.Bounds, r);
    if ((entry.Placement & 0x0F) == 1) (down ? r.Bottom : r.Top) += entry.Shift.Y;
    if (i > 0) {
      const TKVNote& previous = *entries[i - 1].Note;
      if (down != previous.StemDown())
        levels = down != first.Down() ? std::min(previous.BeamCount(), note.BeamCount()) : 0;
      else if (note.BeamCount() < levels)
        levels = note.BeamCount();
    }
    const int32_t reach = d * levels + (down != first.Down() ? t + (i + 1 == entries.size() ? knee : 0) : 0);
    const TKVStaffLineRecord* line = entry.StaffLine ? entry.StaffLine : firstLine;
    const int32_t snap = VerticalSnap(note.StaffStep, *line);
    const bool fullLength = note.HeadType() == 3;
    canvas::TPointF stem[4];
    if (!down) {
      r.Left = r.Right - w;
      if (r.Left == r.Right) r.Left -= 1, entry.StemPadLeft = 1;
      r.Top += 1;
      if (!fullLength) r.Bottom -= thin;
      r.Bottom += snap;
      stem[0] = P(r.Left, int64_t(r.Top) - reach), stem[1] = P(r.Right, int64_t(r.Top) - reach);
      stem[2] = P(r.Right, r.Bottom), stem[3] = P(r.Left, r.Bottom);
    } else {
      r.Right = r.Left + w;
      if (r.Left == r.Right) r.Right += 1, entry.StemPadRight = 1;
      r.Bottom -= 1;
      if (!fullLength) r.Top += thin;
      r.Top += snap;
      stem[0] = P(r.Left, r.Top), stem[1] = P(r.Right, r.Top);
      stem[2] = P(r.Right, int64_t(r.Bottom) + reach), stem[3] = P(r.Left, int64_t(r.Bottom) + reach);
    }
    if (!note.NoStem()) {
      const canvas::TSmoothBrush brush{canvas::ArgbOf(dimmed ? kDimmed : note.StemColor())};
      Canvas.SmoothPolygon(stem, nullptr, &brush);
    }
    if (IsItemSelected(entry)) DrawSelectionHandle({r.Left, down ? r.Bottom : r.Top});
  }

  // The main beam, from the beam side of the first stem to that of the last.
  const TKVLayoutRect& fb = first.Record->Bounds;
  const TKVLayoutRect& lb = last.Record->Bounds;
  canvas::TRect beam;
  ScaleItemRect({first.Down() ? fb.Left : fb.Width, first.Down() ? fb.Bottom : fb.Top,
                 last.Down() ? lb.Left : lb.Width, last.Down() ? lb.Bottom : lb.Top},
                beam);
  if (!first.Down()) beam.Left -= w;
  if (last.Down()) beam.Right += w;
  beam.Left -= first.Record->StemPadLeft;
  beam.Right += last.Record->StemPadRight;
  if ((first.Record->Placement & 0x0F) == 1) beam.Top += first.Record->Shift.Y;
  if ((last.Record->Placement & 0x0F) == 1) beam.Bottom += last.Record->Shift.Y;
  const long double slope =
      beam.Left == beam.Right ? 1.0L : (long double)(beam.Top - beam.Bottom) / (beam.Right - beam.Left);
  const int64_t y0 = beam.Top;
  const int32_t a = knee;
  const int32_t rightStep = beam.Top != beam.Bottom ? -1 : 0;
  Canvas.Smoothing = rightStep != 0;
  const canvas::TSmoothBrush brush{canvas::ArgbOf(groupColour)};
  const int32_t side = first.Down() ? -1 : 1;  // the beam's thickness grows away from the stem end
  if (!first.Note->NoStem()) {
    const canvas::TPointF main[] = {P(beam.Left, beam.Top), P(beam.Left, int64_t(beam.Top) + side * t),
                                    P(int64_t(beam.Right) + rightStep, int64_t(beam.Bottom) + side * (t + a)),
                                    P(int64_t(beam.Right) + rightStep, int64_t(beam.Bottom) + side * a)};
    Canvas.SmoothPolygon(main, nullptr, &brush);

    // Secondary beams and hooks, level by level.
    const int32_t x0 = ScaleUnits(fb.Left, XScale), hook = UnitWidth(6);
    auto beamSideX = [&](const TEntry& e) {
      return e.Down() ? ScaleUnits(e.Record->Bounds.Left, XScale) : ScaleUnits(e.Record->Bounds.Width, XScale) - w;
    };
    auto farSideX = [&](const TEntry& e) {
      return e.Down() ? ScaleUnits(e.Record->Bounds.Left, XScale) + w : ScaleUnits(e.Record->Bounds.Width, XScale);
    };
    auto rightX = [&](size_t i) { return ScaleUnits(entries[i].Record->Bounds.Width, XScale); };
    for (int v = 1; v <= 4; ++v) {
      bool open = false;
      size_t openedAt = 0;
      int run = 0;
      const TEntry* segment = &first;
      const TEntry* predecessor = nullptr;
      int64_t startX = 0, endX = 0;
      for (size_t i = 0; i < entries.size(); ++i) {
        const TEntry& e = entries[i];
        const int level = LevelCount(*e.Note);
        if (level >= v) {
          if (!open) {
            open = true;
            openedAt = i;
            segment = &e;
            predecessor = i > 0 ? &entries[i - 1] : nullptr;
            startX = int64_t(beamSideX(e)) - e.Record->StemPadLeft;
          }
          endX = int64_t(farSideX(e)) + e.Record->StemPadRight;
          ++run;
        } else if (open && startX > 0) {
          if (run == 1) {
            endX = std::min<int64_t>((rightX(i) + endX) / 2, startX + hook);
            if (i > 1 && entries[i - 2].Note->BeamCount() < entries[i - 1].Note->BeamCount()) {
              endX = startX + rightStep + 1;
              startX = endX - hook;
              segment = &entries[i - 1];
            }
          }
          run = 0;
        }
        const bool lastEntry = i + 1 == entries.size();
        if (!open || !(level < v || e.Note->BeamCount() < v || lastEntry)) continue;
        if (lastEntry && openedAt == i && i > 0) startX = std::max<int64_t>((rightX(i - 1) + endX) / 2, endX - hook);
        int64_t offset = int64_t(d) * v;
        if (predecessor && predecessor->Note->BeamCount() != segment->Note->BeamCount() &&
            predecessor->Down() != segment->Down())
          offset -= int64_t(predecessor->Note->BeamCount()) * d;
        if (segment->Down() != first.Down()) offset -= t;
        const int32_t dir = segment->Down() ? -1 : 1;
        auto y = [&](int64_t x) { return y0 + dir * offset - std::llrint((long double)(x - x0) * slope); };
        const canvas::TPointF segmentBeam[] = {P(startX, y(startX)), P(startX, y(startX) + dir * t),
                                               P(endX + rightStep, y(endX) + dir * (t + a)),
                                               P(endX + rightStep, y(endX) + dir * a)};
        Canvas.SmoothPolygon(segmentBeam, nullptr, &brush);
        open = false;
      }
    }
  }
  Canvas.Smoothing = true;

  if (IsItemSelected(Group)) {
    ScaleItemRect(Group.Bounds, ItemRect);
    if ((Group.Placement & 0x0F) == 1) ItemRect.Top += Group.Shift.Y, ItemRect.Bottom += Group.Shift.Y;
    DrawSelectionHandle({(ItemRect.Left + ItemRect.Right) / 2, (ItemRect.Top + ItemRect.Bottom) / 2});
  }
}

}  // namespace render
