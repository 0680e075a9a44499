// Corpus files with bar lines, repeats, dynamics, ornaments, spanners and
// measure numbers, laid out and composed with the real fonts: every item of
// the bar-line and mark kinds that the layout places (counted in the score
// tree, apart from the layout) is drawn on some page; at zoom 75, 100 and
// 150 bar lines run from their first staff's drawn top line to their last
// staff's drawn bottom line, in the recorded geometry and in the ink of the
// real canvas, repeat dots sit in the second and third space of every shown
// staff and hairpin legs meet at their apex. (Unmapped codes and drawing
// off the page are counted for every record by the notation's corpus
// check.)

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>

#include "platform/canvas/RecordingCanvas.h"
#include "player/Window.h"
#include "render/InkMeasure.h"
#include "render/NotationBuilder.h"
#include "render/PageImages.h"
#include "score/layout/ScoreLayoutRecords.h"
#include "score/model/Column.h"
#include "score/model/Measure.h"
#include "support/sketch/ReviewImages.h"

namespace {

namespace fs = std::filesystem;
namespace K = ItemKind;

// The kinds drawn by the bar-line and mark drawers, but the user-symbol
// mark, whose page objects the page-object drawer draws.
bool MarkKind(uint8_t Kind) {
  static const std::set<uint8_t> kinds = {7,   27,  28,  37,  40,  41,  42,  70,  71,  72,  110, 111, 112, 113, 114, 115,
                                          116, 117, 118, 119, 120, 121, 122, 123, 124, 125, 130, 131, 132, 133, 141, 142,
                                          143, 149, 150, 151, 153, 154, 155, 156, 157, 158, 159, 169, 170, 171, 172, 173};
  return kinds.count(Kind) != 0;
}
bool IsBar(uint8_t Kind) { return Kind == K::BarLine || (Kind >= K::RepeatStart && Kind <= K::HeavyLightBar); }

// Items of those kinds anywhere below a holder of the score tree.
void CollectItems(const TKVItemHolder& Holder, std::vector<const TKVItem*>& Items) {
  for (int32_t i = 0; const TKVItem* item = Holder.GetItem(i); ++i) {
    if (MarkKind(item->Kind())) Items.push_back(item);
    if (auto* holder = dynamic_cast<const TKVItemHolder*>(item)) CollectItems(*holder, Items);
  }
}

// Each shown record of those kinds on a page, with its measure and system.
template <class TVisit>
void ForEachRecord(TKVPageRecord& Page, TVisit Visit) {
  for (size_t s = 0; s < Page.SystemCount; ++s)
    for (size_t m = 0; m < Page.Systems[s]->MeasureCount; ++m)
      for (int32_t i = 0; TKVDisplayItem* record = Page.Systems[s]->Measures[m]->GetDisplay(i); ++i)
        if (!record->Hidden && record->Item && record->RecordType == DisplayRecordType::Item && MarkKind(record->Item->Kind()))
          Visit(*Page.Systems[s], *Page.Systems[s]->Measures[m], *record);
}

// The drawn staff line K of a staff line record at a zoom, and whether the
// record is a plain five-line staff.
double DrawnLine(const TKVStaffLineRecord& Line, int Zoom, int K) { return Line.Top * Zoom / 100 / 8 + K * Line.DrawnLineSpacing; }
bool FiveLines(const TKVStaffLineRecord* Line) {
  return Line && (Line->Flags & 1) && Line->Staff && Line->Staff->LineCount() == 5 &&
         Line->Staff->Data().u8(StaffBlock::Tablature) == 0;
}

class MarkRecordsCorpus : public ::testing::TestWithParam<std::string> {
protected:
  void SetUp() override {
    if (!fs::exists(GetParam())) GTEST_SKIP() << "no corpus";
    score = LoadLaidOut(GetParam());
    view.SetScore(score.get());
  }
  void TearDown() override { view.SetScore(nullptr); }
  int32_t Pages() const { return ScoreLayoutRecords(*score).PageCount; }
  TKVPageRecord& Page(int32_t P) { return *ScoreLayoutRecords(*score).Pages[size_t(P)]; }

  // Every record of page P drawn by itself after the page, at Zoom.
  template <class TCheck>
  void DrawEachRecord(int32_t P, int Zoom, TCheck Check) {
    canvas::TRecordingCanvas recording(4000, 6000);
    render::TKVPageDrawer d(view, recording);
    d.DrawPageContent(P, Zoom, Zoom, 0, 0);
    ForEachRecord(Page(P), [&](TKVSystemRecord& System, TKVMeasureRecord& Measure, TKVDisplayItem& Record) {
      recording.Calls.clear();
      d.CurrentSystem = &System, d.CurrentMeasure = &Measure, d.CurrentRecord = &Record;
      d.DrawItem(Record);
      Check(Record, recording.Calls);
    });
  }

  TRealLayout layout;
  std::unique_ptr<TKVScore> score;
  TKVWindow view;
};

// Every item of these kinds that the layout placed in a measure record (a
// double slash the MIDI import puts beside a meter gets none) is drawn.
TEST_P(MarkRecordsCorpus, EveryPlacedItemIsDrawn) {
  std::set<const TKVItem*> drawn, placed;
  for (int32_t p = 0; p < Pages(); ++p)
    DrawEachRecord(p, 100, [&](const TKVDisplayItem& Record, const std::vector<canvas::TCanvasCall>& Calls) {
      if (!Calls.empty()) drawn.insert(Record.Item);
    });
  for (int32_t p = 0; p < score->GetPieceCount(); ++p)
    for (const auto& measure : score->GetPiece(p)->Layout().MeasureRecords)
      for (int32_t i = 0; const TKVDisplayItem* record = measure->GetDisplay(i); ++i) placed.insert(record->Item);
  std::vector<const TKVItem*> items;
  for (int32_t p = 0; p < score->GetPieceCount(); ++p) {
    const TKVPiece& piece = *score->GetPiece(p);
    for (int32_t c = 0; c < piece.GetColumnCount(); ++c) CollectItems(*piece.GetColumn(c), items);
    for (int32_t part = 0; part < piece.GetPartCount(); ++part)
      for (int32_t m = 0; m < piece.GetPart(part)->GetMeasureCount(); ++m) CollectItems(*piece.GetPart(part)->GetMeasure(m), items);
  }
  std::map<uint8_t, int> missing, found;
  for (const TKVItem* item : items) ++found[item->Kind()], missing[item->Kind()] += placed.count(item) && !drawn.count(item);
  std::erase_if(missing, [](const auto& entry) { return entry.second == 0; });
  EXPECT_TRUE(missing.empty()) << "undrawn items by kind: " << ::testing::PrintToString(missing) << " of "
                               << ::testing::PrintToString(found);
}

TEST_P(MarkRecordsCorpus, BarsDotsAndHairpinsMeetTheDrawnStaves) {
  for (int zoom : {75, 100, 150})
    for (int32_t p = 0; p < Pages(); ++p) {
      TKVPageRecord& page = Page(p);
      // The page with the real canvas and fonts, with its bars and without.
      view.SetZoom(zoom);
      const canvas::TBitmap with = DrawPageImage(view, p);
      std::vector<TKVDisplayItem*> bars;
      ForEachRecord(page, [&](TKVSystemRecord&, TKVMeasureRecord&, TKVDisplayItem& R) {
        if (IsBar(R.Item->Kind())) bars.push_back(&R), R.Hidden = 1;
      });
      const canvas::TBitmap without = DrawPageImage(view, p);
      for (TKVDisplayItem* record : bars) record->Hidden = 0;
      DrawEachRecord(p, zoom, [&](const TKVDisplayItem& Record, const std::vector<canvas::TCanvasCall>& Calls) {
        const uint8_t kind = Record.Item->Kind();
        SCOPED_TRACE(::testing::Message() << "kind " << int(kind) << " at " << zoom << " on page " << p);
        if (!FiveLines(Record.StaffLine)) return;
        // The last staff of a bar: the one whose bottom line the layout ran
        // it to.
        const TKVStaffLineRecord* last = nullptr;
        for (const auto& line : page.StaffLines)
          if (line->System == Record.StaffLine->System && line->InnerBottom == Record.Bounds.Bottom) last = line.get();
        if (IsBar(kind) && FiveLines(last) && !Calls.empty()) {
          double top = 1e9, bottom = -1e9, left = 1e9, right = -1e9;
          for (const canvas::TCanvasCall& call : Calls)
            if (call.Name == "FillRect" || call.Name == "SmoothPath")
              for (const auto& [x, y] : Corners(call))
                top = std::min(top, y), bottom = std::max(bottom, y), left = std::min(left, x), right = std::max(right, x);
          const double firstLine = DrawnLine(*Record.StaffLine, zoom, 0), lastLine = DrawnLine(*last, zoom, 4);
          EXPECT_NEAR(top, firstLine, 1);
          EXPECT_NEAR(bottom, lastLine, 1);
          // Its ink (a line at y covers y - 0.5 .. y + 0.5), where the layout
          // keeps the bar on the page.
          if (left >= 0 && top >= 0 && right + 2 <= with.Width() && bottom + 2 <= with.Height()) {
            const TInk ink = InkBetween(without, with, {int(left) - 1, int(top) - 8, int(right) + 2, int(bottom) + 8});
            EXPECT_NEAR(ink.Top, firstLine, 1);
            EXPECT_NEAR(ink.Bottom + 1, lastLine, 1);
          }
        }
        if (kind == K::RepeatStart || kind == K::RepeatEnd) {
          std::vector<double> centres;
          for (const canvas::TCanvasCall& call : Calls)
            if (call.Name == "Ellipse") centres.push_back((call.Args[1] + call.Args[3]) / 2);
          size_t staves = 0;
          for (int32_t i = Record.StaffLine->System->FirstStaffLine; i <= Record.StaffLine->System->LastStaffLine; ++i)
            if (const TKVStaffLineRecord* line = page.GetStaffLine(i); FiveLines(line)) {
              ++staves;
              for (int space : {1, 2})
                EXPECT_EQ(std::count_if(centres.begin(), centres.end(),
                                        [&](double y) { return y > DrawnLine(*line, zoom, space) && y < DrawnLine(*line, zoom, space + 1); }),
                          1);
            }
          EXPECT_EQ(centres.size(), 2 * staves);
        }
        if (kind == K::Dynamic && Calls.size() == 2 && Calls[0].Name == "SmoothPath" && Calls[1].Name == "SmoothPath") {
          EXPECT_NEAR(Corners(Calls[0]).back().first, Corners(Calls[1]).front().first, 1);
          EXPECT_NEAR(Corners(Calls[0]).back().second, Corners(Calls[1]).front().second, 1);
        }
      });
    }
  // Page 1 of the files people review for these marks, at zoom 150:
  // build/<flavour>/render-pages/<file>-150.png.
  const std::string stem = fs::path(GetParam()).stem().string();
  if (Pages() > 0 && std::set<std::string>{"31a-Directions", "32a-Notations", "33a-Spanners", "45b-RepeatWithAlternatives",
                                           "46a-Barlines"}.count(stem)) {
    view.SetZoom(150);
    DrawPageImage(view, 0).SaveToPngFile(ReviewImagePath("render-pages", stem + "-150"));
  }
}

std::vector<std::string> Files() {
  std::vector<std::string> files;
  for (const char* name :
       {"31a-Directions", "32a-Notations", "32d-Arpeggio", "33a-Spanners", "43e-Multistaff-ClefDynamics", "45a-SimpleRepeat",
        "45b-RepeatWithAlternatives", "45c-SimpleRepeat-Nested", "45d-Repeats-MultipleEndings", "45e-Repeats-Combination",
        "45f-Repeats-InvalidEndings", "45g-Repeats-NotEnded", "45h-Repeats-Partial", "45i-Repeats-Nested",
        "45j-SimpleRepeat-Start", "46a-Barlines", "46h-Barline-Fermata", "41d-StaffGroups-Nested"})
    files.push_back(std::string(SONARID_CORPUS_DIR) + "/musicxml/" + name + ".xml");
  // A MIDI file: its measure-number mark and the double slash the import
  // adds.
  for (const std::string& file : CorpusFiles())
    if (fs::path(file).extension() == ".mid") return files.push_back(file), files;
  return files;
}

INSTANTIATE_TEST_SUITE_P(Files, MarkRecordsCorpus, ::testing::ValuesIn(Files()),
                         [](const ::testing::TestParamInfo<std::string>& info) { return CorpusTestName(info.param); });

}  // namespace
