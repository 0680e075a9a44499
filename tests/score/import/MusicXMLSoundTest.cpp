// Small documents that play as they are written: endings, repeat counts and
// jumps in their order; measures for as long as their content; notes where
// the exact sum of their durations puts them.

#include <gtest/gtest.h>

#include "score/import/MusicXMLTestSupport.h"
#include "score/model/LayoutRecords.h"

namespace {

std::string N(int d, const char* type = "") {
  return "<note><pitch><step>C</step><octave>4</octave></pitch><duration>" + std::to_string(d) + "</duration>" +
         type + "</note>";
}
std::string Bar(const char* location, const std::string& marks) {
  return std::string("<barline location=\"") + location + "\">" + marks + "</barline>";
}
std::string Ending(const char* number, const char* type) {
  return std::string("<ending number=\"") + number + "\" type=\"" + type + "\"/>";
}
std::string Words(const char* text, const char* sound = "") {
  return std::string("<direction><direction-type><words>") + text + "</words></direction-type>" + sound + "</direction>";
}
const std::string Whole = N(4), Backward = "<repeat direction=\"backward\"/>";

struct TSoundCase {
  const char* Name;
  std::vector<std::string> Measures;  // the first holds the attributes after divisions
  const char* Order;                  // measures played, from 1
  int Ticks;                          // their lengths
  int LastEnd = 0;                    // where the last note ends, when given
};

class MusicXMLSound : public MusicXMLLayoutTest, public ::testing::WithParamInterface<TSoundCase> {};

TEST_P(MusicXMLSound, PlaysAsWritten) {
  const TSoundCase& c = GetParam();
  std::string document = "<?xml version=\"1.0\"?><score-partwise><part-list><score-part id=\"P\"/></part-list><part id=\"P\">";
  for (size_t m = 0; m < c.Measures.size(); ++m)
    document += "<measure number=\"" + std::to_string(m + 1) + "\">" + (m ? "" : "<attributes><divisions>") +
                c.Measures[m] + "</measure>";
  TKVScore score;
  ImportDocument(score, document + "</part></score-partwise>");
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
  size_t pitches = 0;
  for (size_t at = document.find("<pitch>"); at != std::string::npos; at = document.find("<pitch>", at + 1)) ++pitches;
  EXPECT_EQ(LaidOutKeys(piece)[0].size(), pitches) << "every note written";
  if (c.LastEnd) {
    const TKVMeasure& last = *piece.GetPart(0)->GetMeasure(piece.GetPart(0)->GetMeasureCount() - 1);
    const TKVNote* note = ItemsOfKind<TKVNote>(last, ItemKind::Note).back();
    EXPECT_EQ(note->Position() + note->Duration(), c.LastEnd);
  }
}

const std::string Head = "1</divisions><time><beats>4</beats><beat-type>4</beat-type></time></attributes>";
const std::string Quarters = N(1) + N(1) + N(1) + N(1);

INSTANTIATE_TEST_SUITE_P(
    Cases, MusicXMLSound,
    ::testing::Values(
        TSoundCase{"FirstEndingOverTwoMeasures",
                   {Head + Whole, Whole, Bar("left", Ending("1", "start")) + Whole,
                    Whole + Bar("right", Ending("1", "stop") + Backward), Bar("left", Ending("2", "start")) + Whole +
                    Bar("right", Ending("2", "discontinue")), Whole},
                   "1 2 3 4 1 2 5 6", 8 * 512},
        TSoundCase{"RepeatThreeTimes",
                   {Head + Whole + Bar("right", "<repeat direction=\"backward\" times=\"3\"/>"), Whole}, "1 1 1 2",
                   4 * 512},
        TSoundCase{"DaCapoAlFine",
                   {Head + Whole, Whole + Words("Fine"), Whole, Whole + Words("D.C. al Fine", "<sound dacapo=\"yes\"/>")},
                   "1 2 3 4 1 2", 6 * 512},
        TSoundCase{"DalSegnoAlCoda",
                   {Head + Whole, "<direction><direction-type><segno/></direction-type></direction>" + Whole,
                    Whole + Words("To Coda"), Whole + "<sound dalsegno=\"s\"/>",
                    "<direction><direction-type><coda/></direction-type></direction>" + Whole, Whole},
                   "1 2 3 4 2 3 5 6", 8 * 512},
        // The whole rest of voice 1 lasts three eighths: voice 2 stays in
        // the measure.
        TSoundCase{"WholeRestInThreeEighths",
                   {"2</divisions><time><beats>3</beats><beat-type>8</beat-type></time></attributes>"
                    "<note><rest/><duration>3</duration><voice>1</voice><type>whole</type></note>"
                    "<backup><duration>3</duration></backup>" +
                    N(1, "<voice>2</voice><type>eighth</type>") + N(1, "<voice>2</voice><type>eighth</type>") +
                    N(1, "<voice>2</voice><type>eighth</type>")},
                   "1", 192, 192},
        TSoundCase{"ShortMeasureBetweenFullOnes", {Head + Quarters, N(1) + N(1), Quarters}, "1 2 3", 1280},
        TSoundCase{"OverfullMeasure", {Head + Quarters + N(1), Quarters}, "1 2", 1152},
        // Twelve notes of 4 in 12 divisions: 42.67 ticks each, the last
        // ending on the bar line.
        TSoundCase{"ThirdsOfABeat",
                   {"12</divisions><time><beats>4</beats><beat-type>4</beat-type></time></attributes>" + [] {
                     std::string notes;
                     for (int i = 0; i < 12; ++i) notes += N(4);
                     return notes;
                   }()},
                   "1", 512, 512}),
    [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
