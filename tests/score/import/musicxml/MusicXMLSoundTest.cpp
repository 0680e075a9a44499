// Small documents that play as they are written: endings and
// jumps in their order (the independent unfolding of MusicXMLCount agrees);
// measures for as long as their content; notes where the exact sum of their
// durations puts them.

#include <gtest/gtest.h>

#include <map>

#include "score/import/musicxml/MusicXMLCount.h"
#include "score/import/musicxml/MusicXMLTestSupport.h"
#include "score/model/Column.h"
#include "score/model/LayoutRecords.h"
#include "score/model/Mark.h"

namespace {

std::string N(int d, const std::string& more = "") {
  return "<note><pitch><step>C</step><octave>4</octave></pitch><duration>" + std::to_string(d) + "</duration>" + more +
         "</note>";
}
std::string Bar(const char* at, const std::string& marks) {
  return std::string("<barline location=\"") + at + "\">" + marks + "</barline>";
}
std::string End(const char* n, const char* type) {
  return std::string("<ending number=\"") + n + "\" type=\"" + type + "\"/>";
}
std::string Sign(const std::string& type, const char* sound = "") {
  return "<direction><direction-type>" + type + "</direction-type>" + sound + "</direction>";
}
std::string Times(int n, const std::string& note) { return n ? note + Times(n - 1, note) : ""; }
const std::string W = N(4), Q4 = Times(4, N(1)),
                  Head = "1</divisions><time><beats>4</beats><beat-type>4</beat-type></time></attributes>",
                  Back = Bar("right", "<repeat direction=\"backward\"/>"),
                  Fine = Sign("<words>Fine</words>", "<sound fine=\"yes\"/>"),
                  Segno = Sign("<segno/>", "<sound segno=\"s\"/>"), Coda = Sign("<coda/>", "<sound coda=\"c\"/>"),
                  ToCoda = Sign("<words>To Coda</words>", "<sound tocoda=\"c\"/>");
// Measures of whole notes: Count of them, the content of measure k (from 1)
// given by Marks where it has any.
std::vector<std::string> Measures(int count, const std::map<int, std::string>& marks) {
  std::vector<std::string> measures;
  for (int k = 1; k <= count; ++k) measures.push_back((k == 1 ? Head : "") + (marks.contains(k) ? marks.at(k) : W));
  return measures;
}
// Measures First to Last (from 1) as an order: "First First+1 ... Last".
std::string Run(int first, int last) {
  std::string run;
  for (int k = first; k <= last; ++k) run += (k > first ? " " : "") + std::to_string(k);
  return run;
}

// A one-part document of these measures (the first goes on after
// "<divisions>").
std::string Document(const std::vector<std::string>& Measures) {
  std::string document =
      "<?xml version=\"1.0\"?><score-partwise><part-list><score-part id=\"P\"/></part-list><part id=\"P\">";
  for (size_t m = 0; m < Measures.size(); ++m)
    document += (m ? "<measure>" : "<measure><attributes><divisions>") + Measures[m] + "</measure>";
  return document + "</part></score-partwise>";
}

struct TSoundCase {
  const char* Name;
  std::vector<std::string> Measures;  // the first goes on after "<divisions>"
  std::string Order;                  // measures played, from 1
  int Ticks;                          // their lengths
  int LastEnd = 0;                    // where the last note ends, when given
};
void PrintTo(const TSoundCase& c, std::ostream* os) { *os << c.Name; }

class MusicXMLSound : public MusicXMLLayoutTest, public ::testing::WithParamInterface<TSoundCase> {};

TEST_P(MusicXMLSound, PlaysAsWritten) {
  const TSoundCase& c = GetParam();
  const std::string document = Document(c.Measures);
  TKVScore score;
  ImportDocument(score, document);
  const TKVPiece& piece = *score.GetPiece(0);
  std::string order;
  int ticks = 0;
  for (int32_t k = 0; k < piece.Layout().PlayCount; ++k) {
    const uint32_t m = piece.Layout().PlayRecords[size_t(k)]->Measure;
    order += (k ? " " : "") + std::to_string(m + 1);
    ticks += piece.Layout().MeasureRecords[m]->Length;
  }
  EXPECT_EQ(order, c.Order);
  EXPECT_EQ(ticks, c.Ticks);
  std::string unfolded;
  for (int m : UnfoldMusicXML(document))
    unfolded += (unfolded.empty() ? "" : " ") + std::to_string(m + 1);
  EXPECT_EQ(unfolded, c.Order);
  size_t pitches = 0;
  for (size_t at = document.find("<pitch>"); at != std::string::npos; at = document.find("<pitch>", at + 1)) ++pitches;
  EXPECT_EQ(LaidOutKeys(piece)[0].size(), pitches) << "every note written";
  const TKVPart& part = *piece.GetPart(0);
  const TKVNote* last = ItemsOfKind<TKVNote>(*part.GetMeasure(part.GetMeasureCount() - 1), ItemKind::Note).back();
  if (c.LastEnd) {
    EXPECT_EQ(last->Position() + last->Duration(), c.LastEnd);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MusicXMLSound,
    ::testing::Values(TSoundCase{"FirstEndingOverTwoMeasures",
                                 {Head + W, W, Bar("left", End("1", "start")) + W,
                                  W + Bar("right", End("1", "stop") + "<repeat direction=\"backward\"/>"),
                                  Bar("left", End("2", "start")) + W + Bar("right", End("2", "discontinue")), W},
                                 "1 2 3 4 1 2 5 6",
                                 8 * 512},
                      TSoundCase{"EndingWithoutRepeat", {Head + W, Bar("left", End("2", "start")) + W, W}, "1 2 3", 3 * 512},
                      TSoundCase{"DaCapoAlFine",
                                 {Head + W, W + Fine, W, W + Sign("<words>D.C. al Fine</words>", "<sound dacapo=\"yes\"/>")},
                                 "1 2 3 4 1 2",
                                 6 * 512},
                      TSoundCase{"DalSegnoAlCoda",
                                 {Head + W, Segno + W, W + ToCoda, W + "<sound dalsegno=\"s\"/>", Coda + W, W},
                                 "1 2 3 4 2 3 5 6",
                                 8 * 512},
                      // A repeat written in the measure of a jump plays first.
                      TSoundCase{"RepeatThenDaCapoAlFine",
                                 Measures(24, {{16, W + Fine}, {24, W + Sign("<words>D.C. al Fine</words>",
                                                                              "<sound dacapo=\"yes\"/>") + Back}}),
                                 Run(1, 24) + " " + Run(1, 24) + " " + Run(1, 16),
                                 64 * 512},
                      TSoundCase{"RepeatThenDalSegnoAlFine",
                                 Measures(12, {{5, Segno + W}, {8, W + Fine},
                                               {12, W + Sign("<words>D.S. al Fine</words>", "<sound dalsegno=\"s\"/>") + Back}}),
                                 Run(1, 12) + " " + Run(1, 12) + " " + Run(5, 8),
                                 28 * 512},
                      // The repeat first also on the way back (repeats in a
                      // range played again are taken), then to the coda.
                      TSoundCase{"RepeatThenToCoda",
                                 Measures(8, {{4, W + ToCoda + Back},
                                              {6, W + Sign("<words>D.C. al Coda</words>", "<sound dacapo=\"yes\"/>")},
                                              {7, Coda + W}}),
                                 "1 2 3 4 1 2 3 4 5 6 1 2 3 4 1 2 3 4 7 8",
                                 20 * 512},
                      TSoundCase{"DaCapoInTheFirstMeasure", {Head + W + "<sound dacapo=\"yes\"/>", W}, "1 1 2", 3 * 512},
                      // Voice 1's whole rest lasts three eighths: voice 2 stays in the measure.
                      TSoundCase{"WholeRestInThreeEighths",
                                 {"2</divisions><time><beats>3</beats><beat-type>8</beat-type></time></attributes>"
                                  "<note><rest/><duration>3</duration><voice>1</voice><type>whole</type></"
                                  "note><backup><duration>3</duration></backup>" +
                                  Times(3, N(1, "<voice>2</voice><type>eighth</type>"))},
                                 "1",
                                 192,
                                 192},
                      TSoundCase{"ShortMeasureBetweenFullOnes", {Head + Q4, N(1) + N(1), Q4}, "1 2 3", 1280},
                      TSoundCase{"OverfullMeasure", {Head + Q4 + N(1), Q4}, "1 2", 1152},
                      // Notes of 42.67 ticks: the last ends on the bar line.
                      TSoundCase{"ThirdsOfABeat",
                                 {"12</divisions><time><beats>4</beats><beat-type>4</beat-type></time></attributes>" +
                                  Times(12, N(4))},
                                 "1",
                                 512,
                                 512}),
    [](const auto& info) { return std::string(info.param.Name); });

// What the page corpus does not show: only a stopped ending hooks down at
// its right end, and a written sign keeps the place of the note it precedes.
TEST_F(MusicXMLLayoutTest, EndingHooksAndSignPlaces) {
  TKVScore score;
  ImportDocument(score, Document({Head + Segno + N(1) + Coda + N(1) + N(2),
                                  Bar("left", End("1", "start")) + W + Bar("right", End("1", "stop") + Back),
                                  Bar("left", End("2", "start")) + W + Bar("right", End("2", "discontinue"))}));
  std::map<uint8_t, std::vector<int>> got;  // voltas: whether they hook down; signs: their ticks
  for (int32_t c = 0; c < score.GetPiece(0)->GetColumnCount(); ++c)
    for (TKVItem* item : score.GetPiece(0)->GetColumn(c)->Items())
      if (auto* m = dynamic_cast<TKVMark*>(item))
        got[m->Kind()].push_back(m->Kind() == ItemKind::Volta ? m->TextY() > 0 : m->Position());
  EXPECT_EQ(got[ItemKind::Volta], (std::vector<int>{1, 0}));
  EXPECT_EQ(got[ItemKind::Segno], std::vector<int>{0});
  EXPECT_EQ(got[ItemKind::Coda], std::vector<int>{128});
}

}  // namespace
