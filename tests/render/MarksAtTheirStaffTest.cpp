// Imported marks stand at the staff they belong to: the verses of a hymn
// under their staff and clear of the next one and its notes, verses and
// directions at the positions an exporter writes with a decimal point, the
// header texts above the first system and the rights below it, dynamics,
// hairpins and words at the staff their direction names, and a dynamic of a
// note under that note.
// Each case is a small MusicXML file written here, imported, laid out and
// drawn as the page images are; the geometry expected is worked out from
// the page's own staff lines, and page 1 of each is saved for people to
// look at (build/<flavour>/render-pages/marks-*.png).

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "platform/text/TextMeasurer.h"
#include "player/Window.h"
#include "render/PageImages.h"
#include "render/PageRecordChecks.h"
#include "score/layout/ScoreLayoutRecords.h"
#include "score/layout/page/PageRecords.h"
#include "score/model/ItemKinds.h"
#include "score/model/Item.h"
#include "score/model/Lyric.h"
#include "score/model/Mark.h"
#include "score/model/Part.h"
#include "score/model/Piece.h"
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
// the upper staff, half notes below, Measures measures. With a tenor, the
// lower staff also holds quarter notes rising to two ledger lines above it,
// their stems up, as hymns are written.
std::string Hymn(int Verses, int Measures, bool Tenor = false) {
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
    s << Backup(8);
    if (Tenor) {
      const char* tenor[] = {"E", "D", "C", "D"};
      for (int q = 0; q < 4; ++q) s << Note(tenor[q], 4, 2, "quarter", 2, 5, "<stem>up</stem>");
      s << Backup(8) << Note("C", 3, 4, "half", 2, 6, "<stem>down</stem>")
        << Note("G", 2, 4, "half", 2, 6, "<stem>down</stem>");
    } else {
      s << Note("C", 3, 4, "half", 2, 5) << Note("G", 2, 4, "half", 2, 5);
    }
    s << "</measure>\n";
  }
  s << "</part></score-partwise>\n";
  return s.str();
}

// A song: title, composer, lyricist and rights over a voice with one verse
// and a piano of two staves. Given the verses' default-y, each note has a
// syllable of every verse at its verse's default-y, with the default-x of
// an exporter that writes positions with a decimal point.
std::string Song(const std::vector<std::string>& DefaultYs = {}) {
  std::ostringstream s;
  s << Head << "<work><work-title>A Song of Evening</work-title></work>\n"
    << "<identification><creator type=\"composer\">Composer Name</creator>"
       "<creator type=\"lyricist\">Poet of the Words</creator><rights>Copyright line</rights></identification>\n"
    << Defaults << PartList(2);
  s << "<part id=\"P1\">\n";
  for (int m = 1; m <= 6; ++m) {
    s << "<measure number=\"" << m << "\">\n" << (m == 1 ? Attributes(1) : "");
    for (int q = 0; q < 4; ++q) {
      std::string lyrics = DefaultYs.empty() ? "<lyric number=\"1\"><syllabic>single</syllabic><text>la</text></lyric>" : "";
      for (size_t v = 0; v < DefaultYs.size(); ++v)
        lyrics += "<lyric number=\"" + std::to_string(v + 1) + "\" default-x=\"6.58\" default-y=\"" + DefaultYs[v] +
                  "\"><syllabic>single</syllabic><text>v" + std::to_string(v + 1) + "</text></lyric>";
      s << Note(q % 2 ? "E" : "D", 5, 2, "quarter", 1, 1, lyrics);
    }
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
// measure's left hand. A tempo word with its metronome mark opens the piece;
// its first dynamic has the position an exporter gives it from the measure's
// start, 8 staff spaces in (past clef and time) and 8 down. Decimal: the
// positions as an exporter that writes them with a decimal point gives
// them, a hairpin's after its type.
std::string Piano(int UpperStaff = 1, int LowerStaff = 2, bool Decimal = false) {
  const char* p = Decimal ? "<dynamics default-x=\"6.58\" default-y=\"-75.00\" relative-x=\"-2.50\"><p/></dynamics>"
                          : "<dynamics default-x=\"80\" default-y=\"-80\"><p/></dynamics>";
  const char* f = Decimal ? "<dynamics default-x=\"6.58\" default-y=\"-75.00\"><f/></dynamics>" : "<dynamics><f/></dynamics>";
  std::ostringstream s;
  s << Head << "<work><work-title>Piano Piece</work-title></work>" << Defaults << PartList(1) << "<part id=\"P1\">\n";
  for (int m = 1; m <= 8; ++m) {
    s << "<measure number=\"" << m << "\">\n";
    if (m == 1) {
      s << Attributes(2);
      s << "<direction placement=\"above\"><direction-type><words font-weight=\"bold\""
        << (Decimal ? " default-y=\"40.00\" relative-y=\"5.00\"" : "") << ">Allegro</words>"
           "</direction-type><direction-type><metronome><beat-unit>quarter</beat-unit><per-minute>120</per-minute>"
           "</metronome></direction-type><staff>1</staff><sound tempo=\"120\"/></direction>\n";
    }
    if (m == 5)
      s << "<direction placement=\"above\"><direction-type><words>Meno mosso</words></direction-type>"
           "<direction-type><metronome><beat-unit>quarter</beat-unit><per-minute>96</per-minute></metronome>"
           "</direction-type><staff>1</staff><sound tempo=\"96\"/></direction>\n";
    if (m % 2 == 1) s << Direction(m == 1 ? p : f, UpperStaff);
    if (m == 2)
      s << Direction(Decimal ? "<wedge type=\"crescendo\" number=\"1\" default-y=\"-70.00\"/>" : "<wedge type=\"crescendo\"/>",
                     UpperStaff);
    if (m == 3)
      s << Direction(std::string("<words font-style=\"italic\"") + (Decimal ? " default-y=\"-72.50\"" : "") + ">dolce</words>",
                     UpperStaff);
    const char* steps[] = {"C", "E", "G", "E"};
    for (int e = 0; e < 8; ++e)
      s << Note(steps[e % 4], 5, 1, "eighth", 1, 1,
                std::string("<beam number=\"1\">") + (e % 4 == 0 ? "begin" : e % 4 == 3 ? "end" : "continue") +
                    "</beam>");
    if (m == 2) s << Direction("<wedge type=\"stop\"/>", UpperStaff);
    s << Backup(8);
    if (m == 5)
      s << Direction(Decimal ? "<dynamics default-y=\"-80.50\" relative-y=\"-4.25\"><mf/></dynamics>"
                             : "<dynamics><mf/></dynamics>",
                     LowerStaff);
    for (int e = 0; e < 8; ++e)
      s << Note(steps[e % 4], 2, 1, "eighth", 2, 5,
                std::string("<beam number=\"1\">") + (e % 4 == 0 ? "begin" : e % 4 == 3 ? "end" : "continue") +
                    "</beam>");
    s << "</measure>\n";
  }
  s << "</part></score-partwise>\n";
  return s.str();
}

// A piano measure as an exporter writes a dynamic attached to a note: the
// fp of the upper staff's first eighth, placed below, in the note's
// notations; whole-note chords below.
std::string NoteDynamic() {
  std::ostringstream s;
  s << Head << Defaults << PartList(1) << "<part id=\"P1\"><measure number=\"1\">\n" << Attributes(2);
  const char* steps[] = {"E", "C", "A", "G"};
  for (int e = 0; e < 4; ++e)
    s << Note(steps[e], e < 2 ? 5 : 4, 1, "eighth", 1, 1,
              e == 0 ? "<notations><dynamics placement=\"below\"><fp/></dynamics></notations>" : "");
  s << Note("F", 4, 4, "half", 1, 1) << Backup(8);
  s << Note("C", 3, 8, "whole", 2, 5) << "<note><chord/><pitch><step>E</step><octave>3</octave></pitch><duration>8"
    << "</duration><voice>5</voice><type>whole</type><staff>2</staff></note>\n";
  s << "</measure></part></score-partwise>\n";
  return s.str();
}

// One measure of a whole rest on the default page (100 x 80 mm, margins of
// 10 mm) under the given header.
std::string SmallPage(const std::string& Identification) {
  return std::string(Head) + "<identification>" + Identification + "</identification>\n" + PartList(1) +
         "<part id=\"P1\"><measure number=\"1\">" + Attributes(1) +
         "<note><rest/><duration>8</duration><voice>1</voice><type>whole</type></note></measure></part>"
         "</score-partwise>\n";
}

// ---- what page 1 holds ----

struct TBox {
  int64_t Left = 0, Top = 0, Right = 0, Bottom = 0;
};
bool Overlap(const TBox& A, const TBox& B) {
  return A.Left < B.Right && B.Left < A.Right && A.Top < B.Bottom && B.Top < A.Bottom;
}
TBox BoxOf(const TKVLayoutRect& R) { return {R.Left, R.Top, R.Width, R.Bottom}; }
struct TPlaced {
  const TKVDisplayItem* Display;
  TBox Box;
};

// The drawn display records of page 1's measures.
std::vector<TPlaced> Placed(const TKVPageRecord& Page) {
  std::vector<TPlaced> placed;
  for (uint16_t s = 0; s < Page.SystemCount; ++s)
    for (uint16_t m = 0; m < Page.Systems[s]->MeasureCount; ++m)
      for (int32_t d = 0; const TKVDisplayItem* D = Page.Systems[s]->Measures[m]->GetDisplay(d); ++d)
        if (D->Item && !D->Hidden && !(D->DrawFlags & DisplayDrawFlag::Suppressed) && D->StaffLine)
          placed.push_back({D, BoxOf(D->Bounds)});
  return placed;
}

// The shown staff lines of page 1, each as its five-line box.
std::vector<const TKVStaffLineRecord*> Staves(const TKVPageRecord& Page) {
  std::vector<const TKVStaffLineRecord*> staves;
  for (int32_t i = 0; i < Page.StaffLineCount; ++i)
    if (const TKVStaffLineRecord* line = Page.GetStaffLine(i); line && (line->Flags & 1)) staves.push_back(line);
  return staves;
}
TBox BoxOf(const TKVStaffLineRecord& Line) { return {Line.LeftX, Line.Top, Line.RightX, Line.Bottom}; }

const TKVPageRecord& FirstPage(TKVScore& Score) { return *ScoreLayoutRecords(Score).Pages[0]; }

// The page's room between staves, 12 mm, in units of 1/8 pixel at 96 dpi:
// 120 x 8 x 96 / 254 = 362.8.
constexpr int64_t IntervalUnits = 363;
// The documents' top margin: 86 tenths of a 7 mm staff height of 40 tenths
// is 15.05 mm, 150.5 x 8 x 96 / 254 = 455.1 units.
constexpr int64_t TopMarginUnits = 455;
// The import gives a piece's first staff 20 pixels more room above it.
constexpr int64_t FirstStaffRoom = 160;

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

// Eight verses under the upper staff of a hymn: every syllable below its
// own staff and clear of every staff's lines, the staff under them two line
// spaces below the lowest, and with a tenor rising above that staff, its
// stems two line spaces below it; with a single verse the staves keep the
// page's interval apart, as without verses.
TEST_F(MarksAtTheirStaff, VersesOfAHymnStayBetweenTheirStaffAndTheNext) {
  for (int verses : {1, 3, 8, -8}) {
    SCOPED_TRACE(verses);
    const bool tenor = verses < 0;
    verses = std::abs(verses);
    const std::string name = tenor ? "hymn-tenor" : verses == 8 ? "hymn" : "hymn-" + std::to_string(verses);
    std::unique_ptr<TKVScore> score = Load(name, Hymn(verses, 6, tenor));
    const TKVPageRecord& page = FirstPage(*score);
    const std::vector<const TKVStaffLineRecord*> staves = Staves(page);
    ASSERT_GE(staves.size(), 4u);
    // The highest mark of each staff: heads, stems, slurs.
    std::map<const TKVStaffLineRecord*, int64_t> highest;
    for (const TKVStaffLineRecord* staff : staves) highest[staff] = staff->Top;
    for (uint16_t s = 0; s < page.SystemCount; ++s)
      for (uint16_t m = 0; m < page.Systems[s]->MeasureCount; ++m)
        for (int32_t d = 0; const TKVDisplayItem* D = page.Systems[s]->Measures[m]->GetDisplay(d); ++d)
          if (D->StaffLine && D->Item && !D->Hidden)
            highest[D->StaffLine] = std::min<int64_t>(highest[D->StaffLine], D->Bounds.Top);
    if (tenor) {
      EXPECT_LT(highest[staves[1]], staves[1]->Top - 4 * 48) << "the tenor's stems rise 4 spaces above";
    }
    EXPECT_TRUE(CheckSyllables(page).empty()) << CheckSyllables(page).front();
    int syllables = 0;
    for (const TPlaced& p : Placed(page)) {
      if (p.Display->Item->Kind() != ItemKind::Syllable) continue;
      ++syllables;
      const TKVStaffLineRecord& own = *p.Display->StaffLine;
      EXPECT_GE(p.Box.Top, own.Bottom) << "a verse over its own staff";
      for (const TKVStaffLineRecord* staff : staves)
        EXPECT_FALSE(Overlap(p.Box, BoxOf(*staff))) << "a verse over staff line " << staff->Index;
      const TKVStaffLineRecord* next = page.GetStaffLine(own.Index + 1);
      ASSERT_TRUE(next);
      EXPECT_LE(p.Box.Bottom + 2 * 48, highest[next]);
    }
    // Four syllables a verse in each measure of the page.
    int measures = 0;
    for (uint16_t s = 0; s < page.SystemCount; ++s) measures += page.Systems[s]->MeasureCount;
    EXPECT_EQ(syllables, 4 * verses * measures);
    if (verses == 1) {
      for (size_t i = 0; i + 1 < staves.size(); i += 2)
        EXPECT_NEAR(staves[i + 1]->Top - staves[i]->Bottom, IntervalUnits, 1);
    }
  }
}

// A lyric of 100 verses makes a system taller than the page: each page
// holds one system, none is lost, and the layout ends.
TEST_F(MarksAtTheirStaff, AHundredVersesLayOutOneSystemAPage) {
  std::unique_ptr<TKVScore> score = Load("hymn-100", Hymn(100, 3));
  TKVScoreLayoutRecords& records = ScoreLayoutRecords(*score);
  ASSERT_GE(records.PageCount, 1);
  int measures = 0;
  for (int32_t p = 0; p < records.PageCount; ++p) {
    EXPECT_LE(records.Pages[size_t(p)]->SystemCount, 1);
    for (uint16_t s = 0; s < records.Pages[size_t(p)]->SystemCount; ++s)
      measures += records.Pages[size_t(p)]->Systems[s]->MeasureCount;
  }
  EXPECT_EQ(measures, 3);
}

// Title, composer, lyricist and rights: the first system's top staff stands
// the page's interval below the lowest of the texts above the middle of the
// page (the composer's and lyricist's, 96 pixels below the top margin); the
// rights at the foot move nothing; no two texts overlap. Without header
// texts the first staff stays the interval below the top margin.
TEST_F(MarksAtTheirStaff, HeaderTextsStandAboveTheFirstSystem) {
  std::unique_ptr<TKVScore> score = Load("song", Song());
  const TKVPageRecord& page = FirstPage(*score);
  std::vector<TBox> texts;
  int64_t lowestHead = 0, composerTop = 0;
  for (uint16_t i = 0; i < page.PageObjectCount; ++i)
    if (const TKVDisplayItem& d = *page.PageObjects[i]; d.Item && d.Item->Kind() == ItemKind::Text) {
      texts.push_back(BoxOf(d.Bounds));
      if (d.Bounds.Top < page.GetStaffLine(0)->Top) lowestHead = std::max<int64_t>(lowestHead, d.Bounds.Bottom);
      if (d.Bounds.Top < page.GetStaffLine(0)->Top && d.Bounds.Left > 0) composerTop = std::max<int64_t>(composerTop, d.Bounds.Top);
    }
  ASSERT_EQ(texts.size(), 4u);
  for (size_t a = 0; a < texts.size(); ++a)
    for (size_t b = a + 1; b < texts.size(); ++b) EXPECT_FALSE(Overlap(texts[a], texts[b])) << a << " and " << b;
  // The composer and lyricist: 96 pixels below the top margin in force when
  // they are read, the default page's 10 mm (37.8 pixels, 38) as the
  // document gives its own page after the header.
  EXPECT_EQ(composerTop, (38 + 96) * 8);
  EXPECT_NEAR(page.GetStaffLine(0)->Top, lowestHead + IntervalUnits + FirstStaffRoom, 1);
  for (const TBox& text : texts)
    for (const TKVStaffLineRecord* staff : Staves(page)) EXPECT_FALSE(Overlap(text, BoxOf(*staff)));

  // Two of each creator and rights, as some exporters write them: still no
  // two texts over each other, nor over a staff.
  std::string twice = Song();
  twice.insert(twice.find("</identification>"),
               "<creator type=\"composer\">Arranger Name</creator><creator type=\"poet\">Translator</creator>"
               "<rights>Second rights line</rights>");
  std::unique_ptr<TKVScore> doubled = Load("song-twice", twice);
  const TKVPageRecord& both = FirstPage(*doubled);
  texts.clear();
  for (uint16_t i = 0; i < both.PageObjectCount; ++i)
    if (const TKVDisplayItem& d = *both.PageObjects[i]; d.Item && d.Item->Kind() == ItemKind::Text)
      texts.push_back(BoxOf(d.Bounds));
  ASSERT_EQ(texts.size(), 7u);
  for (size_t a = 0; a < texts.size(); ++a) {
    for (size_t b = a + 1; b < texts.size(); ++b) EXPECT_FALSE(Overlap(texts[a], texts[b])) << a << " and " << b;
    for (const TKVStaffLineRecord* staff : Staves(both)) EXPECT_FALSE(Overlap(texts[a], BoxOf(*staff)));
  }

  std::string plain = Song();
  plain.replace(plain.find("<identification>"), plain.find("</identification>") + 17 - plain.find("<identification>"), "");
  plain.replace(plain.find("<work>"), plain.find("</work>") + 7 - plain.find("<work>"), "");
  std::unique_ptr<TKVScore> bare = Load("song-bare", plain);
  EXPECT_NEAR(FirstPage(*bare).GetStaffLine(0)->Top, TopMarginUnits + IntervalUnits + FirstStaffRoom, 1);
}

// Two verses at the default-y an exporter writes with a decimal point: the
// top of each syllable the whole tenths nearest it x 24 / 5 below its
// staff's top line, under the staff and the other verse, and over no
// staff, note or other verse. Read as whole numbers, they were all 0: on
// the staff, over each other.
TEST_F(MarksAtTheirStaff, VersesAtTheirDecimalDefaultYStandUnderTheStaffOneUnderTheOther) {
  struct Row {
    const char* First;
    const char* Second;
    int64_t FirstTop, SecondTop;
  };
  const Row rows[] = {{"-80.00", "-106.00", 384, 508},  // 106 x 24 / 5 = 508.8
                      {"-75.50", "-101.50", 364, 489},  // to the even 76 and 102
                      {"-53.25", "-79.75", 254, 384}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.First);
    std::unique_ptr<TKVScore> score =
        Load("song-verses-" + std::to_string(&row - rows + 1), Song({row.First, row.Second}));
    const TKVPageRecord& page = FirstPage(*score);
    int syllables = 0;
    for (const TPlaced& p : Placed(page)) {
      if (p.Display->Item->Kind() != ItemKind::Syllable) continue;
      ++syllables;
      const bool first = static_cast<const TKVLyric&>(*p.Display->Item).Verse() == 0;
      EXPECT_EQ(p.Box.Top - p.Display->StaffLine->Top, first ? row.FirstTop : row.SecondTop);
    }
    EXPECT_EQ(syllables, 2 * 4 * 6);
    EXPECT_TRUE(CheckSyllables(page).empty()) << CheckSyllables(page).front();
    EXPECT_TRUE(CheckOverStaves(page).empty()) << CheckOverStaves(page).front();
  }
}

// On the small default page the first system, moved below the composer
// texts 96 pixels down, would end on the rights at the page's foot: it
// keeps less room above its staff so that it ends, with the page's
// interval below its staff, at the rights or the page frame's bottom, but
// never starts above the texts over it. On that page: the rights at the
// frame's bottom, 700 tenths = 265 pixels, less 10 pixels: 2040 units, a
// second line one text line above it; the frame's bottom 700 x 8 x 96 / 254
// = 2116.5 units; the interval 362.8; the staff 4 line spaces of 48.
TEST_F(MarksAtTheirStaff, AFirstSystemBelowTheComposerEndsAboveTheRights) {
  const std::string composer = "<creator type=\"composer\">Composer Name</creator>";
  const std::string rights = "<rights>Copyright line</rights>";
  struct Row {
    const char* Name;
    std::string Identification;
    double StaffBottom;  // units; 0: the system starts at the texts above it
  };
  const Row rows[] = {
      {"small-composer", composer, 2116.5 - 362.8},
      {"small-rights", composer + rights, 2040 - 362.8},
      {"small-twice",
       composer + "<creator type=\"composer\">Arranger</creator>" + rights + "<rights>More rights</rights>", 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.Name);
    std::unique_ptr<TKVScore> score = Load(row.Name, SmallPage(row.Identification));
    const TKVPageRecord& page = FirstPage(*score);
    const std::vector<const TKVStaffLineRecord*> staves = Staves(page);
    ASSERT_EQ(staves.size(), 1u);
    const TKVStaffLineRecord& staff = *staves[0];
    int64_t lowestHead = 0, highestFoot = INT64_MAX, composerTop = INT64_MAX;
    for (uint16_t i = 0; i < page.PageObjectCount; ++i) {
      const TKVDisplayItem& d = *page.PageObjects[i];
      if (!d.Item || d.Item->Kind() != ItemKind::Text) continue;
      EXPECT_FALSE(Overlap(BoxOf(d.Bounds), BoxOf(staff))) << "a text on the staff";
      if (d.Bounds.Top < staff.Top) {
        lowestHead = std::max<int64_t>(lowestHead, d.Bounds.Bottom);
        composerTop = std::min<int64_t>(composerTop, d.Bounds.Top);
      } else {
        highestFoot = std::min<int64_t>(highestFoot, d.Bounds.Top);
      }
    }
    // The composer 96 pixels below the 38 of the top margin.
    EXPECT_EQ(composerTop, (38 + 96) * 8);
    EXPECT_EQ(staff.Bottom - staff.Top, 192);
    if (row.StaffBottom != 0) {
      EXPECT_NEAR(staff.Bottom, row.StaffBottom, 1);
    } else {
      // Two rights lines reach up to 1920 or so: the system would end at
      // 1920 - 362.8 - 192 - 160 = 1205, above the composer texts' foot.
      EXPECT_EQ(staff.Top, lowestHead + FirstStaffRoom);
      EXPECT_LT(highestFoot, 2040);
      EXPECT_LT(staff.Bottom, highestFoot);
    }
  }
}

// Dynamics, a hairpin and words of the right hand in a piano piece whose
// left hand is read before them, and a dynamic of the left hand: each at
// its own staff's offset and clear of the other staff's lines; the
// metronome mark after its tempo words. The offsets below a staff's top
// line, with a line space of 6 pixels (48 units): a dynamic below centred
// 48 + 7 line spaces = 384 down (its box from 336, the hairpin's from 352);
// words below 48 + 4 line spaces = 240 down, above 160 up; the tempo mark
// 100 + 128 up. Written with decimal points, each where its own numbers
// say, up positive, in whole tenths x 24 / 5: p and f centred at -75.00
// (360 down), the mf at -80.50 and 4.25 lower (384 + 19), the words'
// baseline a text ascent below their box's top at -72.50 (345 down) and at
// 40.00 and 5.00 higher (216 up); the hairpin, its position after its
// type, and Meno mosso, with none, where they were.
TEST_F(MarksAtTheirStaff, DirectionsStandAtTheStaffTheyName) {
  const int64_t ascent = text::CurrentMeasurer().GetTextMetrics({"Arial", 64, 0}).Ascent;
  for (bool decimal : {false, true}) {
    SCOPED_TRACE(decimal);
    std::unique_ptr<TKVScore> score = Load(decimal ? "piano-decimal" : "piano", Piano(1, 2, decimal));
    const TKVPageRecord& page = FirstPage(*score);
    EXPECT_TRUE(CheckOverStaves(page).empty()) << CheckOverStaves(page).front();
    EXPECT_TRUE(CheckDirectionMarks(page).empty()) << CheckDirectionMarks(page).front();
    int upper = 0, lower = 0;
    TBox meno{}, tempo{};
    for (const TPlaced& p : Placed(page)) {
      const TKVItem& item = *p.Display->Item;
      const TKVStaffLineRecord& line = *p.Display->StaffLine;
      const TKVStaffLineRecord* first = page.GetStaffLine(line.PartRecord->FirstStaffLine);
      const TKVStaffLineRecord* second = page.GetStaffLine(line.PartRecord->FirstStaffLine + 1);
      ASSERT_TRUE(first && second);
      bool leftHand = false;
      int64_t offset = 0;
      if (item.Kind() == ItemKind::Dynamic) {
        const uint8_t variant = static_cast<const TKVMark&>(item).Variant();
        leftHand = variant == 5;  // the mf
        offset = variant == 50 ? 352 : !decimal ? 336 : leftHand ? 403 - 48 : 360 - 48;
      } else if (item.Kind() == ItemKind::LyricText) {
        const auto& words = static_cast<const TKVLyric&>(item);
        ASSERT_FALSE(words.Lines().empty());
        const bool above = words.Lines()[0] != u"dolce";
        offset = above ? -160 : 240;
        if (words.Lines()[0] == u"Meno mosso")
          meno = p.Box;
        else if (decimal)
          offset = (above ? -216 : 345) - ascent;
      } else if (item.Kind() == ItemKind::TempoMark) {
        tempo = p.Box;
        offset = -228;
      } else {
        continue;
      }
      const TKVStaffLineRecord& own = leftHand ? *second : *first;
      const TKVStaffLineRecord& other = leftHand ? *first : *second;
      EXPECT_EQ(p.Box.Top, own.Top + offset) << "kind " << int(item.Kind()) << " at x " << p.Box.Left;
      EXPECT_FALSE(Overlap(p.Box, BoxOf(other))) << "kind " << int(item.Kind()) << " at x " << p.Box.Left;
      ++(leftHand ? lower : upper);
    }
    // p, f, f and f, the hairpin, Allegro, dolce, Meno mosso and its tempo
    // mark at the upper staff; the mf at the lower.
    EXPECT_EQ(upper, 9);
    EXPECT_EQ(lower, 1);
    // The opening p right of the clefs and time signatures it was under.
    int64_t starts = 0, opening = -1;
    for (const TPlaced& p : Placed(page)) {
      if (p.Display->Owner != page.Systems[0]->Measures[0]) continue;
      const uint8_t kind = p.Display->Item->Kind();
      if (kind == ItemKind::Clef || kind == ItemKind::Meter) starts = std::max(starts, p.Box.Right);
      if (kind == ItemKind::Dynamic && static_cast<const TKVMark&>(*p.Display->Item).Variant() == 0)
        opening = p.Box.Left;
    }
    EXPECT_GT(starts, 0);
    EXPECT_GE(opening, starts);
    ASSERT_NE(tempo.Right, 0);
    ASSERT_NE(meno.Right, 0);
    EXPECT_GE(tempo.Left, meno.Right) << "the metronome mark over its words";
  }
}

// A dynamic in the notations of the upper staff's first note, placed
// below: centred 48 + 7 line spaces = 384 below that staff's top line (its
// box 336 to 432, the lower staff 192 + 362.8 down), under its note and
// left of the note after it.
TEST_F(MarksAtTheirStaff, ADynamicOfANoteStandsUnderThatNote) {
  std::unique_ptr<TKVScore> score = Load("note-dynamic", NoteDynamic());
  const TKVPageRecord& page = FirstPage(*score);
  const std::vector<const TKVStaffLineRecord*> staves = Staves(page);
  ASSERT_EQ(staves.size(), 2u);
  std::vector<TBox> upperNotes;
  std::vector<TPlaced> dynamics;
  for (const TPlaced& p : Placed(page)) {
    if (p.Display->Item->Kind() == ItemKind::Dynamic) dynamics.push_back(p);
    if (p.Display->Item->Kind() == ItemKind::Note && p.Display->StaffLine == staves[0]) upperNotes.push_back(p.Box);
  }
  ASSERT_EQ(dynamics.size(), 1u);
  ASSERT_GE(upperNotes.size(), 2u);
  std::sort(upperNotes.begin(), upperNotes.end(), [](const TBox& A, const TBox& B) { return A.Left < B.Left; });
  const TBox& box = dynamics[0].Box;
  EXPECT_EQ(dynamics[0].Display->StaffLine, staves[0]);
  EXPECT_EQ(box.Top, staves[0]->Top + 336);
  EXPECT_EQ(box.Bottom, staves[0]->Top + 432);
  EXPECT_FALSE(Overlap(box, BoxOf(*staves[1])));
  EXPECT_FALSE(Overlap(box, BoxOf(*staves[0])));
  const int64_t centre = (box.Left + box.Right) / 2;
  EXPECT_GE(centre, upperNotes[0].Left);
  EXPECT_LT(centre, upperNotes[1].Left);
}

// A direction naming staff 0 or 99 of a two-staff part: the part keeps its
// two staves, and every mark stands on the page.
TEST_F(MarksAtTheirStaff, ADirectionNamingNoStaffOfThePartStaysOnThePage) {
  std::unique_ptr<TKVScore> score = Load("piano-bad-staff", Piano(0, 99));
  ASSERT_GT(score->GetPieceCount(), 0);
  EXPECT_EQ(score->GetPiece(0)->GetPart(0)->GetStaffCount(), 2);
  const TKVPageRecord& page = FirstPage(*score);
  TKVWindow view;
  view.SetScore(score.get());
  const TKVPageRect size = view.GetPageSize();
  view.SetScore(nullptr);
  for (const TPlaced& p : Placed(page))
    if (p.Display->Item->Kind() == ItemKind::Dynamic) {
      EXPECT_GE(p.Box.Left, 0);
      EXPECT_GE(p.Box.Top, 0);
      EXPECT_LE(p.Box.Right / 8, size.Right);
      EXPECT_LE(p.Box.Bottom / 8, size.Bottom);
    }
}

}  // namespace
