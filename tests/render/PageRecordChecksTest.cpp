// The checks the page corpus test makes, on hand-made records of the
// default page (100 x 80 mm: 3024 x 2416 units, the bottom margin 304
// units, so a system may reach down to 2112): which records off the page a
// layout rule explains, texts over the lines of other staves and over each
// other, and the rests a MusicXML text writes. Then a measure wider than
// ten pages, laid out and drawn for real.

#include <gtest/gtest.h>

#include <algorithm>

#include "render/MarkBuilder.h"
#include "render/PageImages.h"
#include "render/PageRecordChecks.h"
#include "render/WrittenRests.h"
#include "score/layout/page/PageRecords.h"
#include "score/model/ItemFactory.h"
#include "score/model/Lyric.h"
#include "score/model/PageTexts.h"
#include "support/ScratchDir.h"
#include "support/sketch/ReviewImages.h"

namespace {

constexpr int32_t LineRight = 2722;  // the right edge of the default page's frame

TKVDisplayItem& AddRecord(TKVMeasureRecord& Measure, TKVItem* Item, TKVLayoutRect Box, TKVStaffLineRecord* Line) {
  auto& record = *Measure.Displays.emplace_back(std::make_unique<TKVDisplayItem>());
  Measure.DisplayCount = uint16_t(Measure.Displays.size());
  record.Owner = &Measure, record.Item = Item, record.StaffLine = Line, record.Bounds = Box;
  return record;
}

struct TOffPageCase {
  const char* Name;
  int32_t MeasureRight;  // the system's only measure runs from 296 to here
  int32_t SystemBottom;
  bool SecondSystem;     // the record stands on the page's second system
  TKVLayoutRect Box;     // the record's (left, top, right, bottom)
  const char* Rule;      // the rule that explains it, "" when none must, nullptr when it stays on the page
};

class OffPage : public ::testing::TestWithParam<TOffPageCase> {};

TEST_P(OffPage, OnlyWhatARuleExplains) {
  const TOffPageCase& c = GetParam();
  TPageBuilder b;
  TNotationBuilder n(b);
  TKVSystemRecord* system = n.Line->System;
  n.Record->LeftX = 296, n.Record->RightX = c.MeasureRight;
  system->RightX = LineRight, system->Bottom = c.SystemBottom;
  TKVMeasureRecord* measure = n.Record;
  TKVStaffLineRecord* line = n.Line;
  if (c.SecondSystem) {
    system->Bottom = 1400;
    TKVSystemRecord& second = b.System(1);
    second.RightX = LineRight, second.Bottom = c.SystemBottom;
    line = &b.Line(n.StaffOf, 1700);
    measure = &b.Measure(second, 296, c.MeasureRight);
  }
  AddRecord(*measure, &n.NewNote(4, 128), c.Box, line);
  const TOffPage off = CheckOffPage(*b.Score, 0);
  if (!c.Rule) {
    EXPECT_TRUE(off.Unexplained.empty() && off.Explained.empty());
  } else if (*c.Rule) {
    EXPECT_TRUE(off.Unexplained.empty()) << off.Unexplained.front();
    EXPECT_GE(off.Explained.count(c.Rule), 1u);
  } else {
    ASSERT_EQ(off.Unexplained.size(), 1u);
    EXPECT_NE(off.Unexplained[0].find("kind 20"), std::string::npos) << off.Unexplained[0];
  }
}

const char* const Wide = off_page_rule::WideFirstMeasure;
const char* const Tall = off_page_rule::TallSystem;
INSTANTIATE_TEST_SUITE_P(
    Records, OffPage,
    ::testing::Values(TOffPageCase{"OnThePage", 2700, 1400, false, {400, 800, 456, 880}, nullptr},
                      TOffPageCase{"InAFirstMeasureWiderThanTheLine", 5000, 1400, false, {4000, 800, 4056, 880}, Wide},
                      TOffPageCase{"AClosingBarJustPastIt", 5000, 1400, false, {4990, 800, 5004, 1120}, Wide},
                      TOffPageCase{"FurtherThanThatMeasureReaches", 5000, 1400, false, {4990, 800, 5020, 880}, ""},
                      TOffPageCase{"PastTheRightOfAMeasureThatFits", 2700, 1400, false, {2990, 800, 3100, 880}, ""},
                      TOffPageCase{"LeftOfThePageInAWideMeasure", 5000, 1400, false, {-16, 800, 40, 880}, ""},
                      TOffPageCase{"AboveThePage", 2700, 1400, false, {400, -8, 456, 80}, ""},
                      TOffPageCase{"BelowAFirstSystemTallerThanThePage", 2700, 3000, false, {400, 2400, 456, 2500}, Tall},
                      TOffPageCase{"BelowAFirstSystemThatFits", 2700, 2000, false, {400, 2400, 456, 2500}, ""},
                      TOffPageCase{"BelowATallSecondSystem", 2700, 3000, true, {400, 2400, 456, 2500}, ""},
                      TOffPageCase{"RightAndBelowAWideAndTallSystem", 5000, 3000, false, {4000, 2400, 4056, 2500}, Wide},
                      TOffPageCase{"RightOfANarrowTallSystem", 2700, 3000, false, {2990, 2400, 3100, 2500}, ""}),
    [](const ::testing::TestParamInfo<TOffPageCase>& info) { return std::string(info.param.Name); });

// Two staves of one system, the first from 800 to 1120, the second from
// 1600 to 1920 (units); a measure from 0 to 16000 draws their lines.
TEST(PageRecordChecks, TextsAndDynamicsOverTheLinesOfAnotherStaff) {
  TPageBuilder b;
  TNotationBuilder n(b);
  TKVStaffLineRecord& second = b.Line(b.Staff(), 1600);
  auto lyric = [&](TKVLayoutRect Box) {
    return &AddRecord(*n.Record, CreateItemByKind(ItemKind::Syllable, n.Measure), Box, n.Line);
  };
  lyric({400, 1500, 600, 1620});  // 20 units into the second staff
  lyric({400, 1480, 600, 1600});  // touching its top line only
  AddRecord(*n.Record, &n.NewMark(ItemKind::Dynamic, 0), {400, 900, 500, 1000}, n.Line);  // on its own staff
  AddRecord(*n.Record, &n.NewMark(ItemKind::Dynamic, 0), {400, 1000, 500, 1100}, &second);  // the second staff's, over the first
  AddRecord(*n.Record, CreateItemByKind(ItemKind::LyricText, n.Measure), {17000, 1500, 17400, 1700}, n.Line);  // past the lines
  const std::vector<std::string> faults = CheckOverStaves(b.Page);
  ASSERT_EQ(faults.size(), 2u);
  EXPECT_NE(faults[0].find("lyric kind 33 at (50,187)-(75,202) px over the staff at (0,200)-(2000,240)"),
            std::string::npos)
      << faults[0];
  EXPECT_NE(faults[1].find("dynamic kind 110 at (50,125)-(62,137) px over the staff at (0,100)"), std::string::npos)
      << faults[1];
}

// A syllable of verse 1 under the first of two staves (800 to 1120 and
// 1600 to 1920, a line space of 80), its text from 1200 to 1296 (the
// rectangle to 1320), 400 to 600 across; one more record near it, of its
// staff or the next, is over it or not.
struct TSyllableCase {
  const char* Name;
  TKVLayoutRect Box;  // of the syllable
  int Pos;            // the other record's note (staff position, 0 the top line), or none below -99
  bool NextStaff, Down;
  int32_t X, Stem;  // the head's left, its stem's length (0 none); Verse: a second syllable's verse
  int Verse;
  const char* Fault;  // nullptr when none
};

class SyllableChecks : public ::testing::TestWithParam<TSyllableCase> {};

TEST_P(SyllableChecks, OverItsStaffAnotherVerseOrTheNextStaffsNotes) {
  const TSyllableCase& c = GetParam();
  TPageBuilder b;
  TNotationBuilder n(b);
  TKVStaffLineRecord& second = b.Line(b.Staff(), 1600);
  AddRecord(*n.Record, CreateItemByKind(ItemKind::Syllable, n.Measure), c.Box, n.Line);
  if (c.Verse > 0) {
    auto* other = static_cast<TKVLyric*>(CreateItemByKind(ItemKind::Syllable, n.Measure));
    other->SetVerse(uint8_t(c.Verse - 1));
    AddRecord(*n.Record, other, {500, 1250, 700, 1370}, n.Line);
  }
  if (c.Pos > -99) {
    TKVStaffLineRecord* line = c.NextStaff ? &second : n.Line;
    auto place = [&](TKVDisplayItem& R) {
      R.StaffLine = line, R.Bounds.Top += line->Top - n.Top, R.Bounds.Bottom += line->Top - n.Top;
    };
    TKVNote& note = n.NewNote(c.Pos, 64, c.Down);
    place(n.Head(note, c.X));
    if (c.Stem) {
      TKVDisplayItem& stem = n.Stem(note, c.X, 56, c.Stem);
      place(stem);
      TKVDisplayItem& far = n.Stem(n.NewNote(c.Pos, 64, c.Down), 2000, 56, c.Stem);  // a beam to a stem far right
      place(far);
      place(n.Beam({&stem, &far}));
    }
  }
  const std::vector<std::string> faults = CheckSyllables(b.Page);
  if (!c.Fault) {
    EXPECT_TRUE(faults.empty()) << faults.front();
  } else {
    ASSERT_FALSE(faults.empty());
    EXPECT_NE(faults[0].find(c.Fault), std::string::npos) << faults[0];
  }
}

const TKVLayoutRect Under{400, 1200, 600, 1320};
INSTANTIATE_TEST_SUITE_P(
    Records, SyllableChecks,
    ::testing::Values(
        TSyllableCase{"Clear", Under, -100, false, false, 0, 0, 0, nullptr},
        TSyllableCase{"OnItsStaff", {400, 1080, 600, 1200}, -100, false, false, 0, 0, 0, "over its own staff"},
        TSyllableCase{"TouchingItsBottomLine", {400, 1120, 600, 1240}, -100, false, false, 0, 0, 0, nullptr},
        // Position 11: the head from 1200 to 1280.
        TSyllableCase{"UnderALowHead", Under, 11, false, false, 450, 0, 0, "a note head of its staff"},
        TSyllableCase{"BesideALowHead", Under, 11, false, false, 700, 0, 0, nullptr},
        TSyllableCase{"AnotherVerseOverIt", Under, -100, false, false, 0, 0, 2, "another verse's"},
        TSyllableCase{"ItsOwnVerseBesideIt", Under, -100, false, false, 0, 0, 1, nullptr},
        // The next staff's head at position -8: 1240 to 1320. At -4: 1400
        // to 1480, its stem up from 1440 at x 506 (through the text to
        // 1080), or at x 156 to 1240 or 1310 with a beam from there to x
        // 2056, through the text or in the room below it.
        TSyllableCase{"AHeadOfTheNextStaff", Under, -8, true, false, 450, 0, 0, "a note head of the next staff"},
        TSyllableCase{"AStemOfTheNextStaff", Under, -4, true, false, 450, 360, 0, "a stem of the next staff"},
        TSyllableCase{"ABeamOfTheNextStaff", Under, -4, true, false, 100, 200, 0, "a beam of the next staff"},
        TSyllableCase{"ABeamUnderIt", Under, -4, true, false, 100, 130, 0, nullptr},
        TSyllableCase{"AStemDownOfTheNextStaff", Under, 2, true, true, 450, 360, 0, nullptr}),
    [](const ::testing::TestParamInfo<TSyllableCase>& info) { return std::string(info.param.Name); });

// Page texts (texts and page marks, in page units) over a staff and over
// each other; touching is not overlapping.
TEST(PageRecordChecks, PageTextsOverAStaffAndOverEachOther) {
  TPageBuilder b;
  TNotationBuilder n(b);
  auto text = [&](uint8_t Kind, TKVLayoutRect Box, const std::u16string& Line = u"Title") {
    TKVDisplayItem& record = *b.Page.PageObjects.emplace_back(std::make_unique<TKVDisplayItem>());
    b.Page.PageObjectCount = uint16_t(b.Page.PageObjects.size());
    record.Item = CreateItemByKind(Kind, b.Score.get()), record.Bounds = Box;
    if (Kind == ItemKind::Text) static_cast<TKVText*>(record.Item)->Lines().push_back(Line);
  };
  text(ItemKind::Text, {300, 200, 1500, 400});     // the title
  text(ItemKind::Text, {1500, 200, 2700, 400});    // beside it, touching
  text(ItemKind::Text, {2000, 350, 2700, 500});    // into the one beside the title
  text(ItemKind::Text, {300, 200, 1500, 900}, u"");  // empty: nothing drawn, over all of them
  text(ItemKind::PageMark, {1400, 700, 1700, 820});  // into the staff's top line
  EXPECT_EQ(CheckPageTexts(b.Page).size(), 1u);
  const std::vector<std::string> over = CheckOverStaves(b.Page);
  ASSERT_EQ(over.size(), 1u);
  EXPECT_NE(over[0].find("page text kind 215"), std::string::npos) << over[0];
}

TEST(WrittenRests, TypesDotsAndWholeMeasuresByPartListAndMeasure) {
  const std::string xml = R"(<?xml version="1.0"?><!DOCTYPE score-partwise>
<score-partwise><part-list><score-part id="P1"/><score-part id="P2"/></part-list>
<part id="P2"><measure><note><rest/><duration>4</duration><type>whole</type></note></measure></part>
<part id="P9"><measure><note><rest/><duration>4</duration><type>half</type></note></measure></part>
<part id="P1">
 <measure><attributes><divisions>2</divisions><time><beats>3</beats><beat-type>4</beat-type></time></attributes>
  <note><rest/><duration>6</duration></note></measure>
 <measure><note><rest measure="yes"/><duration>6</duration><type>half</type><dot/></note></measure>
 <measure><note><rest/><duration>3</duration><type>eighth</type><dot/><dot/></note>
  <!-- <note><rest/><duration>1</duration><type>16th</type></note> -->
  <note print-object="no"><rest/><duration>2</duration><type>quarter</type></note>
  <note><cue/><rest/><duration>2</duration><type>quarter</type></note>
  <note><grace/><rest/><type>16th</type></note>
  <note><pitch><step>C</step><octave>4</octave></pitch><duration>1</duration><type>eighth</type></note>
  <note><rest/><duration>0</duration><type>1024th</type></note></measure>
 <measure><note><rest/><duration>2</duration></note>
  <note><rest/><duration>3</duration></note></measure>
 <measure><note><pitch><step>C</step><octave>4</octave></pitch><duration>6</duration></note></measure>
</part></score-partwise>)";
  const TWrittenRests expected = {{{0, 0}, {{512, 0}}},
                                  {{0, 1}, {{512, 0}}},
                                  {{0, 2}, {{64, 2}, {128, 0}, {4, 0}}},
                                  {{0, 3}, {{128, 0}, {128, 0}}},
                                  {{0, 4}, {}},
                                  {{1, 0}, {{512, 0}}}};
  EXPECT_EQ(ReadWrittenRests(xml), expected);
}

// 2040 thirty-second notes in one measure of 255/4: some eighty default
// pages wide. It stands first on its system, laid out whole with every
// note right of the one before; its records leave the page only to the
// right and only as far as it reaches; the next measure starts the next
// system; the page draws into a picture of its own size.
TEST(PageRecordChecks, AMeasureWiderThanTenPagesRunsOffOnlyToTheRight) {
  TRealLayout layout;
  std::string notes;
  for (int i = 0; i < 2040; ++i)
    notes += std::string("<note><pitch><step>") + "CDEFGAB"[i % 7] + "</step><octave>" + (i % 3 ? "4" : "5") +
             "</octave></pitch><duration>1</duration><voice>1</voice><type>32nd</type></note>";
  test_support::TScratchDir dir;
  test_support::WriteText(dir.Path("wide.xml"),
                          "<?xml version=\"1.0\"?><score-partwise><part-list><score-part id=\"P1\"/></part-list>"
                          "<part id=\"P1\"><measure><attributes><divisions>8</divisions><time><beats>255</beats>"
                          "<beat-type>4</beat-type></time></attributes>" + notes +
                          "</measure><measure><note><rest/><duration>8</duration><type>quarter</type></note>"
                          "</measure></part></score-partwise>");
  std::unique_ptr<TKVScore> score = LoadLaidOut(dir.Path("wide.xml"));
  TKVPieceLayoutRecords& records = score->GetPiece(0)->Layout();
  ASSERT_GE(records.MeasureRecordCount, 2);
  const TKVMeasureRecord& wide = *records.MeasureRecords[0];
  const int64_t page = int64_t(score->Page().GetWidthPixels()) * 8;
  ASSERT_NE(wide.System, nullptr);
  EXPECT_EQ(wide.System->Measures[0], &wide);
  EXPECT_GT(int64_t(wide.RightX) - wide.LeftX, 10 * page);
  EXPECT_EQ(int64_t(wide.RightX) - wide.LeftX, wide.TotalWidth);
  EXPECT_NE(records.MeasureRecords[1]->System, wide.System);
  std::vector<std::pair<int, int32_t>> heads;  // tick, left
  for (int32_t i = 0; const TKVDisplayItem* d = wide.GetDisplay(i); ++i)
    if (d->Item && d->Item->Kind() == ItemKind::Note && d->RecordType == DisplayRecordType::Item)
      heads.emplace_back(static_cast<const TKVNote*>(d->Item)->Position(), d->Bounds.Left);
  ASSERT_EQ(heads.size(), 2040u);
  std::sort(heads.begin(), heads.end());
  for (size_t i = 1; i < heads.size(); ++i) ASSERT_GT(heads[i].second, heads[i - 1].second) << "note " << i;
  EXPECT_LE(heads.back().second, wide.RightX);
  TKVWindow view;
  view.SetScore(score.get());
  for (int32_t p = 0; p < ScoreLayoutRecords(*score).PageCount; ++p) {
    const TOffPage off = CheckOffPage(*score, p);
    EXPECT_TRUE(off.Unexplained.empty()) << off.Unexplained.front();
  }
  EXPECT_GT(CheckOffPage(*score, 0).Explained[off_page_rule::WideFirstMeasure], 2000);
  const canvas::TBitmap picture = DrawPageImage(view, 0);
  EXPECT_EQ(picture.Width(), view.GetPageSize().Right);
  view.SetScore(nullptr);
}

}  // namespace
