// Corpus files with bar lines, repeats, dynamics, ornaments, spanners and
// measure numbers, laid out and composed with the real fonts: every item of
// the bar-line and mark kinds that the score holds (counted in the score
// tree, apart from the layout) is drawn on some page, on the page and with
// codes the music font knows; bar lines run from their first staff's drawn
// top line to their last staff's drawn bottom line, repeat dots sit in the
// second and third space of every shown staff and hairpins close at their
// apex, at zoom 75, 100 and 150.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>

#include "platform/canvas/RecordingCanvas.h"
#include "platform/musicfont/MusicFont.h"
#include "player/Window.h"
#include "render/InkMeasure.h"
#include "render/NotationBuilder.h"
#include "render/PageImages.h"
#include "render/page/PageDrawer.h"
#include "score/layout/ScoreLayoutRecords.h"
#include "score/model/Column.h"
#include "score/model/ItemHolder.h"
#include "score/model/Measure.h"
#include "support/sketch/ReviewImages.h"

namespace {

namespace fs = std::filesystem;
namespace K = ItemKind;

// The kinds drawn by the bar-line and mark drawers. The user-symbol mark
// is left out: its page objects are drawn by the page-object drawer.
bool MarkKind(uint8_t Kind) {
  static const std::set<uint8_t> kinds = {7,   27,  28,  37,  40,  41,  42,  70,  71,  72,  110, 111, 112, 113, 114, 115,
                                          116, 117, 118, 119, 120, 121, 122, 123, 124, 125, 130, 131, 132, 133, 141, 142,
                                          143, 149, 150, 151, 153, 154, 155, 156, 157, 158, 159, 169, 170, 171, 172, 173};
  return kinds.count(Kind) != 0;
}

// Items of those kinds in the score tree, anywhere below its pieces.
void CollectItems(const TKVItemHolder& Holder, std::vector<const TKVItem*>& Items) {
  for (int32_t i = 0; i < Holder.GetItemCount(); ++i) {
    const TKVItem* item = Holder.GetItem(i);
    if (!item) continue;
    if (MarkKind(item->Kind())) Items.push_back(item);
    if (auto* holder = dynamic_cast<const TKVItemHolder*>(item)) CollectItems(*holder, Items);
  }
}

std::vector<const TKVItem*> ScoreItems(const TKVScore& Score) {
  std::vector<const TKVItem*> items;
  for (int32_t p = 0; p < Score.GetPieceCount(); ++p) {
    const TKVPiece& piece = *Score.GetPiece(p);
    for (int32_t c = 0; c < piece.GetColumnCount(); ++c) CollectItems(*piece.GetColumn(c), items);
    for (int32_t part = 0; part < piece.GetPartCount(); ++part)
      for (int32_t m = 0; m < piece.GetPart(part)->GetMeasureCount(); ++m)
        CollectItems(*piece.GetPart(part)->GetMeasure(m), items);
  }
  return items;
}

// Each record of page Page with its measure and system.
template <class TVisit>
void ForEachRecord(TKVPageRecord& Page, TVisit Visit) {
  for (size_t s = 0; s < Page.SystemCount; ++s)
    for (size_t m = 0; m < Page.Systems[s]->MeasureCount; ++m) {
      TKVMeasureRecord& measure = *Page.Systems[s]->Measures[m];
      for (int32_t i = 0; TKVDisplayItem* record = measure.GetDisplay(i); ++i)
        if (!record->Hidden && record->Item && record->RecordType == DisplayRecordType::Item &&
            MarkKind(record->Item->Kind()))
          Visit(*Page.Systems[s], measure, *record);
    }
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

  // Every mark record of page P drawn by itself after the page, at Zoom.
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

// Every item of these kinds in the score reaches a record that draws, with
// codes the music font knows, nothing off the page.
TEST_P(MarkRecordsCorpus, EveryItemIsDrawnOnItsPage) {
  const TKVPageRect size = view.GetPageSize();
  std::set<const TKVItem*> drawn;
  int64_t records = 0;
  for (int32_t p = 0; p < Pages(); ++p)
    DrawEachRecord(p, 100, [&](const TKVDisplayItem& Record, const std::vector<canvas::TCanvasCall>& Calls) {
      ++records;
      if (!Calls.empty()) drawn.insert(Record.Item);
      const bool onPage = Record.Bounds.Left >= 0 && Record.Bounds.Top >= 0 && Record.Bounds.Width / 8 <= size.Right &&
                          Record.Bounds.Bottom / 8 <= size.Bottom;
      for (const canvas::TCanvasCall& call : Calls) {
        if (call.Name == "TextOutA" && musicfont::IsMusicFontName(call.Font.Name)) {
          for (char16_t code : call.Text) EXPECT_TRUE(musicfont::IsMapped(uint8_t(code))) << int(Record.Item->Kind());
        }
        if (!onPage || call.Name == "TextOut" || call.Name == "TextOutA") continue;
        for (size_t i = 0; i + 1 < call.Args.size(); i += 2) {
          EXPECT_GE(call.Args[i], -8) << call.Name << " of kind " << int(Record.Item->Kind());
          EXPECT_LE(call.Args[i], size.Right + 8) << call.Name << " of kind " << int(Record.Item->Kind());
        }
      }
    });
  // Items the layout made no record for (a double slash the MIDI import
  // puts beside a meter marks the column, it is not shown) are not counted.
  std::set<const TKVItem*> placed;
  for (int32_t p = 0; p < score->GetPieceCount(); ++p)
    for (const auto& measure : score->GetPiece(p)->Layout().MeasureRecords)
      for (int32_t i = 0; const TKVDisplayItem* record = measure->GetDisplay(i); ++i) placed.insert(record->Item);
  std::map<uint8_t, int> missing, found, unplaced;
  for (const TKVItem* item : ScoreItems(*score)) {
    ++found[item->Kind()];
    if (!placed.count(item))
      ++unplaced[item->Kind()];
    else if (!drawn.count(item))
      ++missing[item->Kind()];
  }
  EXPECT_TRUE(missing.empty()) << "kinds with undrawn items: " << ::testing::PrintToString(missing) << " of "
                               << ::testing::PrintToString(found);
  std::cout << "[ NOTE ] " << fs::path(GetParam()).stem().string() << ": " << records << " records of "
            << ::testing::PrintToString(found) << ", without records " << ::testing::PrintToString(unplaced) << "\n";
}

bool IsBar(uint8_t Kind) { return Kind == K::BarLine || (Kind >= K::RepeatStart && Kind <= K::HeavyLightBar); }

// The drawn staff lines of a staff line record at a zoom: y of line k.
double DrawnLine(const TKVStaffLineRecord& Line, int Zoom, int K) {
  return Line.Top * Zoom / 100 / 8 + K * Line.DrawnLineSpacing;
}

bool FiveLines(const TKVStaffLineRecord* Line) {
  return Line && Line->Staff && Line->Staff->LineCount() == 5 && Line->Staff->Data().u8(StaffBlock::Tablature) == 0;
}

// Bar lines from their staff's drawn top line to the drawn bottom line of
// the last staff they cover; repeat dots in the second and third space of
// every shown staff; hairpin legs meeting at their apex.
TEST_P(MarkRecordsCorpus, BarsDotsAndHairpinsMeetTheDrawnStaves) {
  int64_t bars = 0, dots = 0, hairpins = 0;
  for (int zoom : {75, 100, 150})
    for (int32_t p = 0; p < Pages(); ++p) {
      TKVPageRecord& page = Page(p);
      // The page with the real canvas and fonts, with its bars and without.
      view.SetZoom(zoom);
      const canvas::TBitmap with = DrawPageImage(view, p);
      std::vector<TKVDisplayItem*> hidden;
      ForEachRecord(page, [&](TKVSystemRecord&, TKVMeasureRecord&, TKVDisplayItem& Record) {
        if (IsBar(Record.Item->Kind())) hidden.push_back(&Record), Record.Hidden = 1;
      });
      const canvas::TBitmap without = DrawPageImage(view, p);
      for (TKVDisplayItem* record : hidden) record->Hidden = 0;
      DrawEachRecord(p, zoom, [&](const TKVDisplayItem& Record, const std::vector<canvas::TCanvasCall>& Calls) {
        const uint8_t kind = Record.Item->Kind();
        SCOPED_TRACE(::testing::Message() << "kind " << int(kind) << " at " << zoom << " on page " << p);
        if (IsBar(kind) && FiveLines(Record.StaffLine)) {
          // The last staff: the one whose bottom line the layout ran the bar to.
          const TKVStaffLineRecord* last = nullptr;
          for (const auto& line : page.StaffLines)
            if (line->System == Record.StaffLine->System && line->InnerBottom == Record.Bounds.Bottom) last = line.get();
          if (!FiveLines(last) || !(last->Flags & 1)) return;
          double top = 1e9, bottom = -1e9, left = 1e9, right = -1e9;
          for (const canvas::TCanvasCall& call : Calls)
            if (call.Name == "FillRect" || call.Name == "SmoothPath")
              for (const auto& [x, y] : Corners(call))
                top = std::min(top, y), bottom = std::max(bottom, y), left = std::min(left, x), right = std::max(right, x);
          if (Calls.empty()) return;  // a dash style that draws no line
          ++bars;
          const double firstLine = DrawnLine(*Record.StaffLine, zoom, 0), lastLine = DrawnLine(*last, zoom, 4);
          EXPECT_NEAR(top, firstLine, 1);
          EXPECT_NEAR(bottom, lastLine, 1);
          // The ink: from the first staff's top line (a line at y covers
          // y - 0.5 .. y + 0.5) to the last staff's bottom line, where the
          // layout keeps the bar on the page.
          if (left < 0 || top < 0 || right + 2 > with.Width() || bottom + 2 > with.Height()) return;
          const TInk ink = InkBetween(without, with, {int(left) - 1, int(top) - 8, int(right) + 2, int(bottom) + 8});
          ASSERT_FALSE(ink.Empty());
          EXPECT_NEAR(ink.Top, firstLine, 1);
          EXPECT_NEAR(ink.Bottom + 1, lastLine, 1);
        }
        if (kind == K::RepeatStart || kind == K::RepeatEnd) {
          std::vector<double> centres;
          for (const canvas::TCanvasCall& call : Calls)
            if (call.Name == "Ellipse") centres.push_back((call.Args[1] + call.Args[3]) / 2);
          size_t staves = 0;
          for (int32_t i = Record.StaffLine->System->FirstStaffLine; i <= Record.StaffLine->System->LastStaffLine; ++i) {
            const TKVStaffLineRecord* line = page.GetStaffLine(i);
            if (!line || !(line->Flags & 1) || !FiveLines(line)) continue;
            for (int space : {1, 2}) {
              const double low = DrawnLine(*line, zoom, space), high = DrawnLine(*line, zoom, space + 1);
              EXPECT_EQ(std::count_if(centres.begin(), centres.end(), [&](double y) { return y > low && y < high; }), 1)
                  << "space " << space + 1 << " of staff line " << i;
            }
            ++staves;
          }
          EXPECT_EQ(centres.size(), 2 * staves);
          dots += int64_t(centres.size());
        }
        if (kind == K::Dynamic && Calls.size() == 2 && Calls[0].Name == "SmoothPath" && Calls[1].Name == "SmoothPath") {
          const Points first = Corners(Calls[0]), second = Corners(Calls[1]);
          EXPECT_NEAR(first.back().first, second.front().first, 1);
          EXPECT_NEAR(first.back().second, second.front().second, 1);
          ++hairpins;
        }
      });
    }
  std::cout << "[ NOTE ] " << fs::path(GetParam()).stem().string() << ": " << bars << " bars, " << dots << " repeat dots, "
            << hairpins << " hairpins checked\n";
}

// Page 1 of the files people review for these marks, at zoom 150:
// build/<flavour>/render-pages/<file>-150.png.
TEST_P(MarkRecordsCorpus, WritesTheReviewedPages) {
  const std::string stem = fs::path(GetParam()).stem().string();
  static const std::set<std::string> reviewed = {"31a-Directions", "32a-Notations", "33a-Spanners",
                                                 "45b-RepeatWithAlternatives", "46a-Barlines"};
  if (!reviewed.count(stem) || Pages() == 0) return;
  view.SetZoom(150);
  DrawPageImage(view, 0).SaveToPngFile(ReviewImagePath("render-pages", stem + "-150"));
}

std::vector<std::string> Files() {
  const std::string xml = std::string(SONARID_CORPUS_DIR) + "/musicxml/";
  std::vector<std::string> files;
  for (const char* name :
       {"02c-Rests-MultiMeasureRests", "31a-Directions", "32a-Notations", "32d-Arpeggio", "33a-Spanners",
        "33da-Spanners-OctaveShifts-before", "43e-Multistaff-ClefDynamics", "45a-SimpleRepeat",
        "45b-RepeatWithAlternatives", "45c-SimpleRepeat-Nested", "45d-Repeats-MultipleEndings", "45e-Repeats-Combination",
        "45f-Repeats-InvalidEndings", "45g-Repeats-NotEnded", "45h-Repeats-Partial", "45i-Repeats-Nested",
        "45j-SimpleRepeat-Start", "46a-Barlines", "46b-MidmeasureBarline", "46h-Barline-Fermata", "41d-StaffGroups-Nested"})
    files.push_back(xml + name + ".xml");
  // MIDI files carry the measure-number mark the import adds.
  std::error_code error;
  for (fs::recursive_directory_iterator it(SONARID_MIDI_CACHE, error), end; !error && it != end; it.increment(error))
    if (it->path().extension() == ".mid") {
      files.push_back(it->path().string());
      break;
    }
  return files;
}

INSTANTIATE_TEST_SUITE_P(Files, MarkRecordsCorpus, ::testing::ValuesIn(Files()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           std::string name = fs::path(info.param).stem().string();
                           for (char& c : name)
                             if (!isalnum(static_cast<unsigned char>(c))) c = '_';
                           return name;
                         });

}  // namespace
