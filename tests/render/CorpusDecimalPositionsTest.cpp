// Every MusicXML file of the corpus against copies of it that write its
// whole tenths as exporters write them, with a decimal point: "-80" as
// "-80.00" lays out exactly as "-80". And where the file gives positions,
// "-80.5" lays out as "-80" does and "-81.5" as "-82": to the nearest whole
// tenths, halves to the even one.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>

#include "score/layout/ScoreLayoutRecords.h"
#include "score/layout/page/PageRecords.h"
#include "score/model/Score.h"
#include "support/Sanitized.h"
#include "support/sketch/ReviewImages.h"

namespace {

namespace fs = std::filesystem;

// Position attributes, and the page-layout elements, in whole tenths.
const std::regex Positions(R"re(((?:default|relative|bezier)-[xy]=")(-?)(\d+)("))re");
const std::regex PageValues(
    R"re((<(?:page-height|page-width|left-margin|right-margin|top-margin|bottom-margin|system-distance|staff-distance|top-system-distance)>\s*)(-?)(\d+)(\s*<))re");

// Text with each whole number N of Pattern written by Write(sign, N).
template <class Write>
std::string Rewritten(const std::string& Text, const std::regex& Pattern, Write&& Write_) {
  std::string out;
  auto from = Text.cbegin();
  for (std::sregex_iterator m(Text.begin(), Text.end(), Pattern), end; m != end; ++m) {
    out.append(from, (*m)[0].first);
    out += (*m)[1].str() + Write_((*m)[2].str(), std::stoll((*m)[3].str())) + (*m)[4].str();
    from = (*m)[0].second;
  }
  return out.append(from, Text.cend());
}

// Every page's staff lines, the rectangles of its measures' display
// records and of its page objects, one line each.
std::vector<std::string> Records(const std::string& Text, const std::string& Name) {
  const fs::path file = fs::path(testing::TempDir()) / ("decimal-" + Name + ".xml");
  std::ofstream(file, std::ios::binary) << Text;
  std::unique_ptr<TKVScore> score = LoadLaidOut(file.string());
  std::vector<std::string> lines;
  auto box = [&](const std::string& What, const TKVLayoutRect& R) {
    lines.push_back(What + " " + std::to_string(R.Left) + " " + std::to_string(R.Top) + " " + std::to_string(R.Width) +
                    " " + std::to_string(R.Bottom));
  };
  const TKVScoreLayoutRecords& store = ScoreLayoutRecords(*score);
  for (int32_t p = 0; p < store.PageCount; ++p) {
    const TKVPageRecord& page = *store.Pages[size_t(p)];
    const std::string at = "page " + std::to_string(p + 1) + " ";
    for (int32_t i = 0; const TKVStaffLineRecord* line = page.GetStaffLine(i); ++i)
      box(at + "staff line", {line->LeftX, line->Top, line->RightX, line->Bottom});
    for (uint16_t s = 0; s < page.SystemCount; ++s)
      for (uint16_t m = 0; m < page.Systems[s]->MeasureCount; ++m)
        for (int32_t d = 0; const TKVDisplayItem* D = page.Systems[s]->Measures[m]->GetDisplay(d); ++d) {
          box(at + "record", D->Bounds);
          box(at + "second rectangle", D->Bounds2);
        }
    for (uint16_t o = 0; o < page.PageObjectCount; ++o) box(at + "page object", page.PageObjects[o]->Bounds);
  }
  return lines;
}

void ExpectSame(const std::vector<std::string>& Copy, const std::vector<std::string>& Original) {
  ASSERT_EQ(Copy.size(), Original.size());
  for (size_t i = 0; i < Copy.size(); ++i) ASSERT_EQ(Copy[i], Original[i]) << "line " << i;
}

class CorpusDecimalPositions : public ::testing::TestWithParam<std::string> {
 protected:
  TRealLayout layout;
};

TEST_P(CorpusDecimalPositions, LayOutAsTheWholeTenthsNearestThem) {
  std::ifstream in(GetParam(), std::ios::binary);
  const std::string original{std::istreambuf_iterator<char>(in), {}};
  const std::string name = fs::path(GetParam()).stem().string();
  auto decimal = [](const std::string& Sign, long long N) { return Sign + std::to_string(N) + ".00"; };
  const std::vector<std::string> records = Records(original, name);
  ExpectSame(Records(Rewritten(Rewritten(original, Positions, decimal), PageValues, decimal), name + "-00"), records);
  if (!std::regex_search(original, Positions)) return;
  // N.5 goes to the even one of N and N + 1.
  auto half = [](const std::string& Sign, long long N) { return Sign + std::to_string(N) + ".5"; };
  auto even = [](const std::string& Sign, long long N) { return Sign + std::to_string(N % 2 ? N + 1 : N); };
  ExpectSame(Records(Rewritten(original, Positions, half), name + "-5"),
             Records(Rewritten(original, Positions, even), name + "-even"));
}

std::vector<std::string> XmlFiles() {
  std::vector<std::string> files;
  for (const std::string& file : CorpusFiles())
    if (file.ends_with(".xml")) files.push_back(file);
  return test_support::SanitizerShare(files, 3);
}

INSTANTIATE_TEST_SUITE_P(Files, CorpusDecimalPositions, ::testing::ValuesIn(XmlFiles()),
                         [](const ::testing::TestParamInfo<std::string>& info) { return CorpusTestName(info.param); });

}  // namespace
