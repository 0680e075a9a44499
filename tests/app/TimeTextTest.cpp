// The times the main window shows: minutes and seconds under an hour, the
// hours in front from one hour on, whatever the score's length.

#include "ProgramTestSupport.h"
#include "app/LoadedFile.h"
#include "app/ProgramLog.h"

namespace apptest {
namespace {

struct TTimeCase {
  int64_t Ms;
  const char* Shown;
};
void PrintTo(const TTimeCase& c, std::ostream* os) { *os << c.Ms << " ms"; }

class TimeText : public testing::TestWithParam<TTimeCase> {};

TEST_P(TimeText, ShowsHoursOnlyFromOneHourOn) { EXPECT_EQ(MillisecToStr(GetParam().Ms), GetParam().Shown); }

INSTANTIATE_TEST_SUITE_P(Table, TimeText,
                         testing::Values(TTimeCase{0, "00:00"}, TTimeCase{999, "00:00"}, TTimeCase{59'999, "00:59"},
                                         TTimeCase{3'599'000, "59:59"}, TTimeCase{3'599'999, "59:59"},
                                         TTimeCase{3'600'000, "1:00:00"}, TTimeCase{3'725'000, "1:02:05"},
                                         TTimeCase{7'000'000, "1:56:40"}, TTimeCase{10'600'000, "2:56:40"},
                                         TTimeCase{12'000'000, "3:20:00"}, TTimeCase{359'999'000, "99:59:59"},
                                         TTimeCase{360'000'000, "100:00:00"},
                                         // beyond the 32 bits of milliseconds (596 hours)
                                         TTimeCase{2'160'000'000, "600:00:00"}, TTimeCase{-1'000, "00:00"}));

// A MusicXML score of Measures whole measures of 4/4 at one beat a minute:
// four minutes each.
std::string SlowScore(int measures) {
  std::string document =
      "<?xml version=\"1.0\"?><score-partwise><part-list><score-part id=\"P\"/></part-list><part id=\"P\">"
      "<measure number=\"1\"><attributes><divisions>1</divisions><time><beats>4</beats><beat-type>4</beat-type>"
      "</time></attributes><sound tempo=\"1\"/><note><rest/><duration>4</duration></note></measure>";
  for (int n = 2; n <= measures; ++n)
    document += "<measure number=\"" + std::to_string(n) + "\"><note><rest/><duration>4</duration></note></measure>";
  return document + "</part></score-partwise>";
}

class HoursOfAScore : public ProgramTest {};

// 1,500 measures of four minutes: 100 hours, which no field may cut to its
// minutes and which the position bar still spans.
TEST_F(HoursOfAScore, AScoreOfAHundredHoursShowsThemInItsLengthAndPosition) {
  Start();
  WriteText(Folder / "slow.xml", SlowScore(1500));
  ASSERT_TRUE(Main->OpenFile((Folder / "slow.xml").string()));
  ASSERT_NEAR(Main->CurrentFile()->GetDuration(), 360'000'000.0, 1000.0);
  EXPECT_EQ(Main->LSEndTime->Caption(), "100:00:00");
  EXPECT_EQ(Main->TBSource->Max(), 3'600'000);
  EXPECT_EQ(Main->LTimeSource->Caption(), "00:00");
  // 12,000 s in (a tick is 468.75 ms here, and this time falls on one):
  // the bar counts tenths of a second.
  Main->TBSource->SetPosition(120'000);
  EXPECT_EQ(Main->LTimeSource->Caption(), "3:20:00");
  Main->AGotoEndExecute();
  EXPECT_EQ(Main->TBSource->Position(), Main->TBSource->Max());
  EXPECT_EQ(Main->LTimeSource->Caption(), "100:00:00");
}

}  // namespace
}  // namespace apptest
