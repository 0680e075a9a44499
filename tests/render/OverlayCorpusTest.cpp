// Input marker and slur feedback over corpus pages shown on the headless
// window host: the marker names the pitch under each clef a file uses, a
// slur's feedback reaches a note on the next system.

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "platform/canvas/RecordingCanvas.h"
#include "platform/forms/ScrollBar.h"
#include "render/OverlayOnWindow.h"
#include "render/overlay/HoverOverlay.h"
#include "score/layout/page/PageRecords.h"
#include "score/model/Mark.h"
#include "score/model/Measure.h"
#include "score/model/Part.h"
#include "score/model/Piece.h"

namespace {

using CorpusMarker = OverlayOnWindow;

// The first ledger line below the staff in a measure of each clef the file
// uses, page by page: the letter and key that clef gives line 0, by hand
// from the clef shifts (G, F, alto C, tablature and percussion: the file's
// clefs come in by their sign), the clef read from the file's marks.
TEST_F(CorpusMarker, TheFirstLedgerLineBelowUnderEachClef) {
  const std::map<int, std::pair<const char*, int>> line0 = {
      {1, {"C", 60}}, {2, {"E", 40}}, {3, {"D", 50}}, {13, {"C", 60}}, {14, {"C", 60}}};
  TKVWindow& v = view();
  const TKVPart& part = *score->GetPiece(0)->GetPart(0);
  std::vector<int> pitches;
  v.OnPlayNote = [&](TObject*, uint8_t, uint8_t, uint8_t Pitch, uint16_t, uint8_t, int32_t) { pitches.push_back(Pitch); };
  v.FocusedRecord = FindOnFirstPage(v, [](const TKVDisplayItem& D) { return IsKind(D, 20); });
  v.HoverShown = v.Dragging = true, v.InputMarkerMode = v.InputHintOn = 1;
  std::set<int> types;
  for (int32_t p = 0; p < v.PageCount(); ++p) {
    control->VertScrollBar().SetPosition(v.PageRect(p).Top);
    const TKVPageRecord& page = *v.PageRecord(p);
    for (uint16_t s = 0; s < page.SystemCount; ++s)
      for (uint16_t k = 0; k < page.Systems[s]->MeasureCount; ++k) {
        const TKVMeasureRecord* R = page.Systems[s]->Measures[k];
        const TKVStaffLineRecord& line = *page.GetStaffLine(page.Systems[s]->FirstStaffLine);
        const int32_t y = v.ScorePointToClient(nullptr, {0, line.Top}, p).Y + 5 * v.GetLineSpacing(line.Staff);
        const int32_t x = v.ScoreXToClient(R->LeftX + int32_t(R->TickTable.at(0)), p) + 1;
        v.HitTest({x, y});
        int type = -1;
        for (int32_t m = 0; m <= R->ColumnIndex; ++m)
          for (const TKVItem* item : part.GetMeasure(m)->Items())
            if (item->Kind() == 2 && (m < R->ColumnIndex || static_cast<const TKVMark*>(item)->Position() <= v.Hit.Tick))
              type = static_cast<const TKVMark*>(item)->Variant();
        ASSERT_TRUE(line0.count(type)) << "clef type " << type;
        if (!types.insert(type).second) continue;
        v.LastInputLine = 999, pitches.clear(), v.DragRect = {0, 0, x, y};
        v.DrawHoverOverlay(false), v.DrawHoverOverlay(false);
        EXPECT_EQ(v.Hint(), line0.at(type).first) << "clef type " << type << " in measure " << R->ColumnIndex;
        EXPECT_EQ(pitches, std::vector<int>({line0.at(type).second + part.GetTranspose()})) << "clef type " << type;
      }
  }
  EXPECT_EQ(types, (std::set<int>{1, 2, 3, 13, 14})) << "G, F, C, tablature and percussion";
}

class CorpusSlur : public OverlayOnWindow {
protected:
  CorpusSlur() : OverlayOnWindow("33c-Spanners-Slurs.xml") {}
};

// From the cursor's staff on the first system to a note on the second.
TEST_F(CorpusSlur, FeedbackToANoteOfTheNextSystemEndsOnIt) {
  TKVWindow& v = view();
  const TKVMeasureRecord& R = *v.PageRecord(0)->Systems.at(1)->Measures.at(1);
  const TKVDisplayItem* note = nullptr;
  for (int32_t i = 0; !note && i < R.DisplayCount; ++i)
    if (IsKind(*R.GetDisplay(i), 20)) note = R.GetDisplay(i);
  ASSERT_NE(note, nullptr);
  const canvas::TRect head = v.ScoreRectToClient(note, {note->Bounds.Left, note->Bounds.Top, note->Bounds.Width, note->Bounds.Bottom}, 0);
  v.HitTest({head.Left + 1, (head.Top + head.Bottom) / 2});
  v.HoverShown = true, v.DrawKind = 30;
  v.DragRect = {v.ScoreXToClient(v.PageRecord(0)->Systems[0]->Measures.at(0)->LeftX, 0), 100, head.Left + 1, head.Top};
  canvas::TRecordingCanvas recorded;
  render::THoverOverlay(v, recorded, false).Draw();
  std::vector<double> last;
  int pieces = 0;
  for (const auto& call : recorded.Calls)
    if (call.Name == "PolyBezier") last = call.Args, ++pieces;
  ASSERT_EQ(pieces, 2);
  EXPECT_TRUE(head.Left <= last[6] && last[6] < head.Right) << last[6] << " lies on the note's head";
}

}  // namespace
