// Imported marks stand at the staff they belong to: the verses of a hymn
// under their staff and clear of the next one, the header texts above the
// first system, and dynamics, hairpins and words at the staff their
// direction names. Each case is a small MusicXML file written here, imported,
// laid out and drawn as the page images are; the geometry expected is worked
// out from the page's own staff lines, and page 1 of each is saved for people
// to look at (build/<flavour>/render-pages/marks-*.png).

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "player/Window.h"
#include "render/PageImages.h"
#include "score/layout/ScoreLayoutRecords.h"
#include "score/layout/page/PageRecords.h"
#include "score/model/ItemKinds.h"
#include "score/model/Item.h"
#include "score/model/Mark.h"
#include "score/model/Score.h"
#include "score/model/Staff.h"
#include "support/sketch/ReviewImages.h"

namespace {

namespace fs = std::filesystem;

// ---- small MusicXML documents ----

// An A4 page of 7 mm staff height (40 tenths), margins of 15 mm.
const char* Head = R"(<?xml version="1.0" encoding="UTF-8"?>
<score-partwise version="3.1">
)";
const char* Defaults = R"(<defaults><scaling><millimeters>7</millimeters><tenths>40</tenths></scaling>
<page-layout><page-height>1697</page-height><page-width>1200</page-width>
<page-margins type="both"><left-margin>86</left-margin><right-margin>86</right-margin>
<top-margin>86</top-margin><bottom-margin>86</bottom-margin></page-margins></page-layout></defaults>
)";

std::string PartList(int Parts) {
  std::ostringstream s;
  s << "<part-list>";
  for (int p = 1; p <= Parts; ++p) s << "<score-part id=\"P" << p << "\"><part-name>Part " << p << "</part-name></score-part>";
  s << "</part-list>\n";
  return s.str();
}

std::string Attributes(int Staves) {
  std::ostringstream s;
  s << "<attributes><divisions>2</divisions><key><fifths>0</fifths></key><time><beats>4</beats><beat-type>4</beat-type>"
       "</time>";
  if (Staves > 1) s << "<staves>" << Staves << "</staves>";
  s << "<clef number=\"1\"><sign>G</sign><line>2</line></clef>";
  if (Staves > 1) s << "<clef number=\"2\"><sign>F</sign><line>4</line></clef>";
  s << "</attributes>\n";
  return s.str();
}

std::string Note(const char* Step, int Octave, int Duration, const char* Type, int Staff, int Voice,
                 const std::string& Inside = "") {
  std::ostringstream s;
  s << "<note><pitch><step>" << Step << "</step><octave>" << Octave << "</octave></pitch><duration>" << Duration
    << "</duration><voice>" << Voice << "</voice><type>" << Type << "</type><staff>" << Staff << "</staff>" << Inside
    << "</note>\n";
  return s.str();
}

std::string Backup(int Duration) { return "<backup><duration>" + std::to_string(Duration) + "</duration></backup>\n"; }

std::string Direction(const std::string& Type, int Staff, const char* Placement = "below") {
  return std::string("<direction placement=\"") + Placement + "\"><direction-type>" + Type +
         "</direction-type><staff>" + std::to_string(Staff) + "</staff></direction>\n";
}

// A hymn: one part of two staves, Verses verses under every quarter note of
// the upper staff, half notes below, Measures measures.
std::string Hymn(int Verses, int Measures) {
  std::ostringstream s;
  s << Head << "<work><work-title>Hymn</work-title></work>" << Defaults << PartList(1) << "<part id=\"P1\">\n";
  const char* steps[] = {"G", "A", "B", "C"};
  for (int m = 1; m <= Measures; ++m) {
    s << "<measure number=\"" << m << "\">\n";
    if (m == 1) s << Attributes(2);
    for (int q = 0; q < 4; ++q) {
      std::string lyrics;
      for (int v = 1; v <= Verses; ++v)
        lyrics += "<lyric number=\"" + std::to_string(v) + "\"><syllabic>single</syllabic><text>v" +
                  std::to_string(v) + "w" + std::to_string(q) + "</text></lyric>";
      s << Note(steps[q], q == 3 ? 5 : 4, 2, "quarter", 1, 1, lyrics);
    }
    s << Backup(8) << Note("C", 3, 4, "half", 2, 5) << Note("G", 2, 4, "half", 2, 5) << "</measure>\n";
  }
  s << "</part></score-partwise>\n";
  return s.str();
}

// A song: title, composer, lyricist and rights over a voice with one verse
// and a piano of two staves.
std::string Song() {
  std::ostringstream s;
  s << Head << "<work><work-title>A Song of Evening</work-title></work>\n"
    << "<identification><creator type=\"composer\">Composer Name</creator>"
       "<creator type=\"lyricist\">Poet of the Words</creator><rights>Copyright line</rights></identification>\n"
    << Defaults << PartList(2);
  s << "<part id=\"P1\">\n";
  for (int m = 1; m <= 6; ++m) {
    s << "<measure number=\"" << m << "\">\n" << (m == 1 ? Attributes(1) : "");
    for (int q = 0; q < 4; ++q)
      s << Note(q % 2 ? "E" : "D", 5, 2, "quarter", 1, 1,
                "<lyric number=\"1\"><syllabic>single</syllabic><text>la</text></lyric>");
    s << "</measure>\n";
  }
  s << "</part>\n<part id=\"P2\">\n";
  for (int m = 1; m <= 6; ++m)
    s << "<measure number=\"" << m << "\">\n" << (m == 1 ? Attributes(2) : "") << Note("C", 5, 8, "whole", 1, 1)
      << Backup(8) << Note("C", 3, 8, "whole", 2, 5) << "</measure>\n";
  s << "</part></score-partwise>\n";
  return s.str();
}

// A piano piece as exporters write it: each measure's upper staff first,
// then a backup and the lower staff; the directions of the upper staff come
// before its notes, so that the note read last before them is the previous
// measure's left hand. A tempo word with its metronome mark opens the piece.
std::string Piano(int UpperStaff = 1, int LowerStaff = 2) {
  std::ostringstream s;
  s << Head << "<work><work-title>Piano Piece</work-title></work>" << Defaults << PartList(1) << "<part id=\"P1\">\n";
  for (int m = 1; m <= 8; ++m) {
    s << "<measure number=\"" << m << "\">\n";
    if (m == 1) {
      s << Attributes(2);
      s << "<direction placement=\"above\"><direction-type><words font-weight=\"bold\">Allegro</words>"
           "</direction-type><direction-type><metronome><beat-unit>quarter</beat-unit><per-minute>120</per-minute>"
           "</metronome></direction-type><staff>1</staff><sound tempo=\"120\"/></direction>\n";
    }
    if (m == 5)
      s << "<direction placement=\"above\"><direction-type><words>Meno mosso</words></direction-type>"
           "<direction-type><metronome><beat-unit>quarter</beat-unit><per-minute>96</per-minute></metronome>"
           "</direction-type><staff>1</staff><sound tempo=\"96\"/></direction>\n";
    if (m % 2 == 1) s << Direction(m == 1 ? "<dynamics><p/></dynamics>" : "<dynamics><f/></dynamics>", UpperStaff);
    if (m == 2) s << Direction("<wedge type=\"crescendo\"/>", UpperStaff);
    if (m == 3) s << Direction("<words font-style=\"italic\">dolce</words>", UpperStaff);
    const char* steps[] = {"C", "E", "G", "E"};
    for (int e = 0; e < 8; ++e)
      s << Note(steps[e % 4], 5, 1, "eighth", 1, 1,
                std::string("<beam number=\"1\">") + (e % 4 == 0 ? "begin" : e % 4 == 3 ? "end" : "continue") +
                    "</beam>");
    if (m == 2) s << Direction("<wedge type=\"stop\"/>", UpperStaff);
    s << Backup(8);
    if (m == 5) s << Direction("<dynamics><mf/></dynamics>", LowerStaff);
    for (int e = 0; e < 8; ++e)
      s << Note(steps[e % 4], 2, 1, "eighth", 2, 5,
                std::string("<beam number=\"1\">") + (e % 4 == 0 ? "begin" : e % 4 == 3 ? "end" : "continue") +
                    "</beam>");
    s << "</measure>\n";
  }
  s << "</part></score-partwise>\n";
  return s.str();
}

class MarksAtTheirStaff : public ::testing::Test {
protected:
  TRealLayout layout;

  // The document as a file, imported and laid out; page 1 saved as
  // render-pages/marks-<Name>.png.
  std::unique_ptr<TKVScore> Load(const std::string& Name, const std::string& Xml) {
    const fs::path dir = fs::path(testing::TempDir()) / "marks-at-their-staff";
    fs::create_directories(dir);
    const fs::path file = dir / (Name + ".xml");
    std::ofstream(file) << Xml;
    std::unique_ptr<TKVScore> score = LoadLaidOut(file.string());
    TKVWindow view;
    view.SetScore(score.get());
    if (view.PageCount() > 0) DrawPageImage(view, 0).SaveToPngFile(ReviewImagePath("render-pages", "marks-" + Name));
    view.SetScore(nullptr);
    return score;
  }
};

TEST_F(MarksAtTheirStaff, Images) {
  Load("hymn", Hymn(8, 6));
  Load("song", Song());
  Load("piano", Piano());
}

}  // namespace
