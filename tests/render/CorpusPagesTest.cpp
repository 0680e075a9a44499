// Page 1 of every corpus file (the MusicXML test suite and the fetched MIDI
// files) through the page drawer: one staff-line draw per shown staff line
// and measure and line, the lines of a five-line staff a drawn spacing
// apart, the drawn spacing and staff height written back, nothing outside
// the page, and the same pixels when drawn again.
//
// Every page of every corpus file, read from its display records: nothing
// off the page but what a rule of the layout puts there (the records each
// rule explains are counted per file), no lyric, staff text or dynamic over
// the lines of another staff, no syllable over its own staff's lines or
// notes, over another verse or through the next staff's heads, stems and
// beams, no page text over a staff or another page text, and every rest
// drawn with the glyph and dots of its written type.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <tuple>

#include "platform/canvas/RecordingCanvas.h"
#include "player/Window.h"
#include "render/PageImages.h"
#include "render/PageRecordChecks.h"
#include "render/page/PageDrawer.h"
#include "score/layout/ScoreLayoutRecords.h"
#include "score/layout/page/PageRecords.h"
#include "score/model/Page.h"
#include "score/model/Score.h"
#include "score/model/Staff.h"
#include "support/Sanitized.h"
#include "support/sketch/ReviewImages.h"

namespace {

class CorpusPages : public ::testing::TestWithParam<std::string> {
protected:
  TRealLayout layout;
};

using TLine = std::tuple<double, double, double>;  // x from, x to, y

TEST_P(CorpusPages, StaffLinesWhereTheRecordsPutThemAndNothingOffThePage) {
  std::unique_ptr<TKVScore> score = LoadLaidOut(GetParam());
  TKVWindow view;
  view.SetScore(score.get());
  ASSERT_GT(view.PageCount(), 0);
  TKVPageRecord& page = *ScoreLayoutRecords(*score).Pages[0];
  for (int32_t i = 0; i < page.StaffLineCount; ++i) {
    page.GetStaffLine(i)->DrawnLineSpacing = 0xFFFF;
    page.GetStaffLine(i)->StaffHeight = -99999;
  }
  canvas::TRecordingCanvas recording;
  render::TKVPageDrawer(view, recording).DrawPageContent(0, 100, 100, 0, 0);
  // Horizontal two-point lines drawn by the staves, by their ends and y.
  std::map<TLine, int> drawn;
  for (const canvas::TCanvasCall& call : recording.Calls)
    if (call.Name == "SmoothPath" && call.Path.size() == 2 && call.Path[0].P[0].Y == call.Path[1].P[0].Y)
      ++drawn[{call.Path[0].P[0].X, call.Path[1].P[0].X, call.Path[0].P[0].Y}];
  int64_t expected = 0, found = 0;
  for (uint16_t s = 0; s < page.SystemCount; ++s) {
    const TKVSystemRecord& system = *page.Systems[s];
    if (!(system.Flags & 1)) continue;
    for (uint16_t m = 0; m < system.MeasureCount; ++m) {
      const TKVMeasureRecord& measure = *system.Measures[m];
      for (int32_t i = system.FirstStaffLine; i <= system.LastStaffLine; ++i) {
        const TKVStaffLineRecord* line = page.GetStaffLine(i);
        if (!line || !(line->Flags & 1) || !line->Staff) continue;
        const int lines = line->Staff->LineCount();
        expected += lines;
        EXPECT_NE(line->DrawnLineSpacing, 0xFFFF) << "line " << i;
        EXPECT_NE(line->StaffHeight, -99999) << "line " << i;
        for (int k = 0; k < lines; ++k) {
          const double y = lines == 5 ? line->Top / 8 + k * line->DrawnLineSpacing : -1;
          auto at = lines == 5 ? drawn.find({measure.LeftX / 8, measure.RightX / 8, y}) : drawn.end();
          found += at != drawn.end() && at->second > 0 ? (--at->second, 1) : lines != 5;
        }
      }
    }
  }
  EXPECT_EQ(found, expected) << "five-line staves off their spacing";
  int64_t staffDraws = 0;
  for (const canvas::TCanvasCall& call : recording.Calls)
    staffDraws += call.Name == "SmoothPath" && call.SmoothPen &&
                  (call.SmoothPen->Color == canvas::ArgbOf(0xD9D9D9) || call.SmoothPen->Color == canvas::ArgbOf(0x808080)) &&
                  call.Path.size() == 2 && call.Path[0].P[0].Y == call.Path[1].P[0].Y;
  EXPECT_EQ(staffDraws, expected);
  // Drawn with a margin of a colour no drawing uses: the margin stays it;
  // a second drawing gives the same pixels.
  constexpr canvas::TColor Margin = 0x00FF01;
  const canvas::TBitmap once = DrawPageImage(view, 0, 16, Margin), twice = DrawPageImage(view, 0, 16, Margin);
  EXPECT_TRUE(std::equal(once.Pixels(), once.Pixels() + size_t(once.Width()) * size_t(once.Height()), twice.Pixels()));
  int64_t outside = 0;
  for (int y = 0; y < once.Height(); ++y)
    for (int x = 0; x < once.Width(); ++x)
      if (x < 16 || y < 16 || x >= once.Width() - 16 || y >= once.Height() - 16)
        outside += once.ColorAt(x, y) != Margin;
  // Where the layout itself puts records off the page (a system taller or a
  // measure wider than the page), the drawing follows them there.
  const TKVPageRect size = view.GetPageSize();
  bool inside = true;
  auto within = [&](int32_t Left, int32_t Top, int32_t Right, int32_t Bottom) {
    inside = inside && Left >= 0 && Top >= 0 && Right / 8 <= size.Right && Bottom / 8 <= size.Bottom;
  };
  for (uint16_t s = 0; s < page.SystemCount; ++s) {
    const TKVSystemRecord& system = *page.Systems[s];
    for (int32_t i = system.FirstStaffLine; i <= system.LastStaffLine; ++i)
      if (const TKVStaffLineRecord* line = page.GetStaffLine(i)) within(line->LeftX, line->Top, line->RightX, line->Bottom);
    for (uint16_t m = 0; m < system.MeasureCount; ++m)
      for (int32_t d = 0; d < system.Measures[m]->DisplayCount; ++d)
        if (const TKVDisplayItem* D = system.Measures[m]->GetDisplay(d); D && !D->Hidden)
          within(D->Bounds.Left, D->Bounds.Top, D->Bounds.Width, D->Bounds.Bottom);
  }
  if (inside)
    EXPECT_EQ(outside, 0) << "pixels drawn off the page";
  else
    std::cout << "[ NOTE ] the layout puts records off the page; the drawing was not checked there\n";
  view.SetScore(nullptr);
}

std::string TestName(const ::testing::TestParamInfo<std::string>& info) {
  return CorpusTestName(info.param) + "_" + std::to_string(info.index);
}

INSTANTIATE_TEST_SUITE_P(Files, CorpusPages, ::testing::ValuesIn(CorpusFiles()), TestName);

// The faults of one check over all pages, the first few written out.
std::string Listed(const std::vector<std::string>& Faults) {
  std::ostringstream s;
  s << Faults.size() << " found";
  for (size_t i = 0; i < Faults.size() && i < 8; ++i) s << "\n  " << Faults[i];
  if (Faults.size() > 8) s << "\n  ...";
  return s.str();
}

// The five checks of every page, each fault with its page. MusicXML files
// write the rests' types: those are read from the file itself. MIDI files
// write none: their rests keep the values the importer gave them. The
// records off the page that a layout rule explains are counted by rule.
class CorpusPageMarks : public ::testing::TestWithParam<std::string> {
protected:
  TRealLayout layout;
};

TEST_P(CorpusPageMarks, EveryPageKeepsItsMarksOnThePageApartAndAsWritten) {
  std::unique_ptr<TKVScore> score = LoadLaidOut(GetParam());
  TKVWindow view;
  view.SetScore(score.get());
  TWrittenRests written;
  const bool xml = GetParam().ends_with(".xml");
  if (xml) {
    std::ifstream in(GetParam(), std::ios::binary);
    written = ReadWrittenRests({std::istreambuf_iterator<char>(in), {}});
  }
  std::vector<std::string> off, over, syllables, directions, texts, rests;
  std::map<std::string, int64_t> explained;
  auto add = [](std::vector<std::string>& All, const std::vector<std::string>& Page) {
    All.insert(All.end(), Page.begin(), Page.end());
  };
  const TKVScoreLayoutRecords& store = ScoreLayoutRecords(*score);
  for (int32_t p = 0; p < store.PageCount; ++p) {
    const TOffPage page = CheckOffPage(*score, p);
    add(off, page.Unexplained);
    for (const auto& [rule, count] : page.Explained) explained[rule] += count;
    add(over, CheckOverStaves(*store.Pages[size_t(p)]));
    add(syllables, CheckSyllables(*store.Pages[size_t(p)]));
    add(directions, CheckDirectionMarks(*store.Pages[size_t(p)]));
    add(texts, CheckPageTexts(*store.Pages[size_t(p)]));
    add(rests, CheckRestGlyphs(view, p, xml ? &written : nullptr));
  }
  EXPECT_TRUE(off.empty()) << "records off the page that no rule explains: " << Listed(off);
  EXPECT_TRUE(over.empty()) << "lyrics, texts or dynamics over another staff: " << Listed(over);
  EXPECT_TRUE(syllables.empty()) << "syllables over their staff, another verse or the next staff's notes: "
                                 << Listed(syllables);
  EXPECT_TRUE(directions.empty()) << "dynamics, staff texts or hairpins of a staff over each other: "
                                  << Listed(directions);
  EXPECT_TRUE(texts.empty()) << "page texts over each other: " << Listed(texts);
  EXPECT_TRUE(rests.empty()) << "rests not drawn as written: " << Listed(rests);
  // The rules are met on small pages: the default page is 100 x 80 mm.
  const TKVPage& page = score->Page();
  for (const auto& [rule, count] : explained)
    std::cout << "[ NOTE ] " << count << " records off the page by " << rule << " (pages of "
              << double(page.InternalValue(pvWidth)) / 10 << " x " << double(page.InternalValue(pvHeight)) / 10
              << " mm)\n";
  view.SetScore(nullptr);
}

// Under the sanitizers a third of the files.
INSTANTIATE_TEST_SUITE_P(Files, CorpusPageMarks, ::testing::ValuesIn(test_support::SanitizerShare(CorpusFiles(), 3)),
                         TestName);

}  // namespace
