// The play order: repeats, voltas, jumps, fines, codas and measure repeats
// unfolded into timed plays; ties linked across jumps; separate pieces.

#include "score/layout/LayoutFixture.h"

#include <map>
#include <sstream>

#include "score/layout/play/PlayOrder.h"
#include "score/layout/ScoreLayoutRecords.h"
#include "score/model/ItemFactory.h"
#include "score/model/Liga.h"
#include "score/model/Lyric.h"
#include "score/model/Mark.h"
#include "score/model/Note.h"

namespace {

// A piece described measure by measure, each a list of marks:
//   [ ]  repeat start and end       v:TEXT  volta of those passes
//   vN:TEXT  a volta over N measures (the layout carries it on)
//   R    volta reset   S segno   C coda   DC   DS   xN  measure repeat of N
// Marks that a later item pass brings in are filled into the records by
// hand: FN fine text of value N; JM:V and TM:V jump mark and jump text of
// mode M to value or label V; L:TEXT a text; ]p a repeat end of another
// owner.
struct TPlayCase {
  const char* Name;
  std::vector<const char*> Measures;
  const char* Plays;  // measures played, from 1
  bool KeepVolta = false;
  const char* Passes = nullptr;  // volta pass of each play, when checked
};

class PlayOrder : public LayoutTest {
protected:
  // Measure k lasts k % 3 + 1 quarters, 1000 ms each at the piece's tempo 60.
  static double DurationOf(uint32_t Measure) { return (Measure % 3 + 1) * 1000.0; }

  // A new piece with the column marks of Measures, laid out; the other
  // marks wait for FillLateMarks.
  void BuildColumns(const std::vector<const char*>& Measures, int Parts = 1) {
    static const std::map<std::string, uint8_t> kinds{{"[", 155}, {"R", 158}, {"S", 150},
                                                      {"C", 151}, {"DC", 153}, {"DS", 154}};
    MakePiece(Parts, int(Measures.size()), 0);
    for (size_t k = 0; k < Measures.size(); ++k) {
      TKVColumn* c = Column(int(k));
      c->SetMeter(uint16_t(((k % 3 + 1) << 8) | 4));
      std::istringstream marks(Measures[k]);
      for (std::string m; marks >> m;) {
        if (kinds.contains(m)) AddMark(c, kinds.at(m), 0);
        else if (m == "]") AddMark(c, 156, uint16_t((k % 3 + 1) * 128));
        else if (m[0] == 'v' && m.find(':') != std::string::npos)
          AddMark(c, 171, 0, uint16_t(m[1] == ':' ? 1 : std::stoi(m.substr(1))))->SetText2(m.substr(m.find(':') + 1));
        else if (m[0] == 'x') AddMark(c, 42, 0, uint16_t(std::stoi(m.substr(1))));
        else pending.emplace_back(piece, k, m);
      }
    }
    Layout();
  }

  // Puts the marks of a later item pass into the records (again after each
  // layout).
  void FillLateMarks() {
    for (auto& [p, k, m] : pending) p->Layout().MeasureRecords[k]->PlayMarks.push_back(LateMark(m));
  }

  void Build(const std::vector<const char*>& Measures, int Parts = 1) {
    BuildColumns(Measures, Parts);
    Replay();
  }
  void Replay() {
    FillLateMarks();
    BuildPlayOrder(*score);
  }

  TKVItem* LateMark(const std::string& M) {
    TKVItem* item = lateItems.emplace_back(CreateItemByKind(M[0] == 'J' ? 160 : M[0] == ']' ? 156 : 34, nullptr)).get();
    if (auto* text = dynamic_cast<TKVLyric*>(item)) text->Lines() = {std::u16string(M.begin() + 2, M.end())};
    if (M[0] == ']' || M[0] == 'L') return item;
    auto link = std::make_unique<TKVDynamicsSetting>();
    const size_t colon = M.find(':');
    const std::string value = colon == std::string::npos ? "" : M.substr(colon + 1);
    const bool number = !value.empty() && isdigit(uint8_t(value[0]));
    if (M[0] == 'F')
      link->SetAction(5, 0, uint16_t(std::stoi(M.substr(1))));
    else
      link->SetAction(4, uint16_t(std::stoi(M.substr(1, colon - 1))), uint16_t(number ? std::stoi(value) : 0));
    link->Text = number ? "" : value;
    if (auto* mark = dynamic_cast<TKVMark*>(item)) mark->SetDynamics(std::move(link));
    else static_cast<TKVLyric*>(item)->SetDynamics(std::move(link));
    return item;
  }

  std::string Plays(bool Passes = false) {
    std::string out;
    for (int32_t i = 0; const TKVPlayRecord* play = piece->Layout().GetPlay(i); ++i)
      out += (i ? " " : "") + std::to_string(Passes ? int(play->VoltaPass) : int(play->Measure + 1));
    return out;
  }

  std::vector<std::tuple<TKVPiece*, size_t, std::string>> pending;
  std::vector<std::unique_ptr<TKVItem>> lateItems;
};

class PlayOrderCase : public PlayOrder, public ::testing::WithParamInterface<TPlayCase> {};

TEST_P(PlayOrderCase, PlaysTheMeasuresInOrderAndTime) {
  const TPlayCase& c = GetParam();
  BuildColumns(c.Measures);
  const std::string records = Dump();
  Layout();
  EXPECT_EQ(Dump(), records) << "a second layout of the unchanged score changes nothing";
  score->Settings().SetFlags(c.KeepVolta ? 2 : 0);
  Replay();
  EXPECT_EQ(Plays(), c.Plays);
  if (c.Passes) {
    EXPECT_EQ(Plays(true), c.Passes);
  }
  double time = 0;
  for (int32_t i = 0; const TKVPlayRecord* play = piece->Layout().GetPlay(i); ++i) {
    EXPECT_DOUBLE_EQ(play->StartTime, time) << "play " << i;
    time += DurationOf(play->Measure);
  }
  EXPECT_DOUBLE_EQ(ScoreLayoutRecords(*score).RunningTime, time);
  BuildPlayOrder(*score);
  EXPECT_EQ(Plays(), c.Plays) << "the same again";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PlayOrderCase,
    ::testing::Values(
        TPlayCase{"RepeatEndWithoutStart", {"", "", "", "]"}, "1 2 3 4 1 2 3 4"},
        TPlayCase{"InnerRepeat", {"", "[", "]", ""}, "1 2 3 2 3 4"},
        TPlayCase{"Voltas", {"", "", "", "v:1 ]", "v:2"}, "1 2 3 4 1 2 3 5", false, "0 0 0 0 1 1 1 1"},
        TPlayCase{"VoltaOverTwoMeasures", {"[", "", "v2:1", "]", "v:2"}, "1 2 3 4 1 2 5"},
        // The second section's start lowers the pass again, so its first
        // ending is taken.
        TPlayCase{"TwoSections", {"[", "]", "[", "v:1 ]", "v:2"}, "1 2 1 2 3 4 3 5"},
        // A repeat end in an ending goes back until its last pass.
        TPlayCase{"VoltaOfThreePasses", {"[", "v:1-3 ]", ""}, "1 2 1 2 1 2 3"},
        TPlayCase{"VoltaReset", {"[", "v:1 ]", "v:2 R", "v:1"}, "1 2 1 3 4"},
        // Repeats inside the range of a D.C. are replayed again.
        TPlayCase{"DaCapoRestartsPasses", {"[", "v:1 ]", "v:2", "DC"}, "1 2 1 3 4 1 2 1 3 4"},
        TPlayCase{"DaCapoKeepsPasses", {"[", "v:1 ]", "v:2", "DC"}, "1 2 1 3 4 1 1 4", true},
        TPlayCase{"DalSegno", {"", "S", "", "DS"}, "1 2 3 4 2 3 4"},
        TPlayCase{"DalSegnoWithoutSegno", {"", "", "DS"}, "1 2 3 1 2 3"},
        TPlayCase{"FineAfterOneJump", {"", "F2", "", "DC"}, "1 2 3 4 1 2"},
        TPlayCase{"FineOfValueOne", {"", "F1", "", "DC"}, "1 2"},
        TPlayCase{"FineOfValueZero", {"", "F0", "", "DC"}, "1 2"},
        // The first coda sign's measure is skipped; a measure repeat inside
        // the skipped measures still plays.
        TPlayCase{"DaCapoAlCoda", {"", "C", "x2", "C", "DC"}, "1 2 3 3 4 5 1 3 4 5"},
        TPlayCase{"JumpToStart", {"", "", "J0", ""}, "1 2 3 1 2 3 4"},
        TPlayCase{"JumpToMeasureNumber", {"", "", "J1:2", ""}, "1 2 3 2 3 4"},
        TPlayCase{"JumpToMissingNumber", {"", "", "J1:9", ""}, "1 2 3 3 4"},
        TPlayCase{"JumpToLabelInOtherCase", {"", "L:Coda", "J2:CODA", ""}, "1 2 3 2 3 4"},
        TPlayCase{"JumpToMissingLabel", {"", "", "J2:nowhere", ""}, "1 2 3 1 2 3 4"},
        TPlayCase{"TextJump", {"", "", "T1:2", ""}, "1 2 3 2 3 4"},
        TPlayCase{"JumpsAreNoneForFine", {"", "F2", "", "J0"}, "1 2 3 4 1 2 3 4"},
        TPlayCase{"MeasureRepeat", {"", "x3", ""}, "1 2 2 2 3"},
        TPlayCase{"MeasureRepeatOfOneOrNone", {"x1", "x0"}, "1 2"},
        // Two repeat ends in one measure go back once each.
        TPlayCase{"TwoRepeatEndsInOneMeasure", {"", "] ]p"}, "1 2 1 2 1 2"},
        // The outer repeat end goes back past the inner repeat to its start,
        // and the inner repeat plays again.
        TPlayCase{"OneMeasureRepeatInside", {"[", "[ ]", "]"}, "1 2 2 3 1 2 2 3"}),
    [](const auto& Info) { return std::string(Info.param.Name); });

// Repeat ends without starts double the plays with every measure: the plays
// stop at the cap.
TEST_F(PlayOrder, ChainedRepeatEndsAreBounded) {
  Build(std::vector<const char*>(24, "]"));
  EXPECT_EQ(piece->Layout().PlayCount, MaxPlaysPerPiece);
}

// Separate pieces run on time lines of their own from where the score's
// stands; measures past a fine start where the piece ends; a piece without
// measures plays nothing.
TEST_F(PlayOrder, PiecesShareTheScoreTimeLine) {
  BuildColumns({"", "F1", "", ""});
  TKVPiece* first = piece;
  MakePiece(1, 2, 0x0404)->Data().setU8(PieceBlock::Separate, 1);
  TKVPiece* separate = piece;
  MakePiece(1, 0);
  TKVPiece* empty = piece;
  MakePiece(1, 1, 0x0404);
  Layout();
  Replay();
  EXPECT_EQ(first->Layout().PlayCount, 2);
  EXPECT_DOUBLE_EQ(first->Layout().MeasureRecords[2]->StartTime, 3000);
  EXPECT_DOUBLE_EQ(first->Layout().MeasureRecords[3]->StartTime, 3000);
  EXPECT_DOUBLE_EQ(separate->Layout().GetPlay(1)->StartTime, 7000);
  EXPECT_DOUBLE_EQ(separate->Layout().RunningTime, 11000);
  EXPECT_EQ(empty->Layout().PlayCount, 0);
  EXPECT_DOUBLE_EQ(empty->Layout().RunningTime, 3000);
  EXPECT_DOUBLE_EQ(piece->Layout().GetPlay(0)->StartTime, 3000);
  EXPECT_DOUBLE_EQ(ScoreLayoutRecords(*score).RunningTime, 7000);
}

// A tie from the end of a repeat into its first measure marks the note there
// (voice 0; the excluded bit, another alteration, an end before the bar line,
// another part and a natural sign after a sharp keep voices 1-5 apart) and, once that measure is placed,
// draws the tie's second half there, once.
TEST_F(PlayOrder, TiesAcrossJumps) {
  Build({"[", "]"}, 2);
  WithoutPages();
  ASSERT_EQ(Plays(), "1 2 1 2");
  auto display = [](TKVMeasureRecord& R, TKVItem* Item) -> TKVDisplayItem& {
    R.Displays.resize(R.DisplayCount);
    R.Displays.push_back(std::make_unique<TKVDisplayItem>());
    R.Displays.back()->Item = Item;
    return *R.Displays[R.DisplayCount++];
  };
  std::vector<TKVNote*> starts;
  for (uint8_t voice = 0; voice < 6; ++voice) {
    auto* tied = static_cast<TKVNote*>(CreateItemByKind(20, Measure(0, 1)));
    auto* start = static_cast<TKVNote*>(CreateItemByKind(20, Measure(voice == 4 ? 1 : 0, 0)));
    for (TKVNote* n : {tied, start}) n->SetStaffVoice(voice);
    tied->SetDuration(voice == 3 ? 128 : 256);
    tied->MidiKey = 60;
    tied->PlayState = voice == 1 ? 0x08 : 0;
    tied->Accidental = voice == 2 || voice == 5 ? 0x01 : 0;
    start->Accidental = voice == 2 ? 0x41 : voice == 5 ? 0x80 : 0;
    auto* tie = static_cast<TKVLiga*>(CreateItemByKind(30, tied));
    tie->SetSecondOffset(8);
    TKVDisplayItem& t = display(Record(1), tie);
    t.Bounds2 = {100, 510, 180, 520};
    t.Bounds = {90, 505, 200, 530};
    t.Owner = &Record(1);
    t.Param = tied->Duration();  // where the layout ends a tie without a span of its own
    Record(1).ExtendingItems.push_back(&t);
    starts.push_back(start);
    display(Record(0), start);
  }
  const uint16_t displays = Record(0).DisplayCount;
  BuildPlayOrder(*score);
  EXPECT_EQ(Record(0).DisplayCount, displays) << "no second half in a measure not placed";
  for (uint8_t voice = 0; voice < 6; ++voice)
    EXPECT_EQ(starts[voice]->PlayState, voice == 0 ? 0x80 : 0) << "voice " << int(voice);
  EXPECT_EQ(starts[0]->MidiKey, 60);

  TKVPageRecord page;
  page.StaffLines.push_back(std::make_unique<TKVStaffLineRecord>());
  page.StaffLines[0]->Staff = piece->GetPart(0)->GetStaff(0);
  page.StaffLineCount = 1;
  TKVSystemRecord system;
  system.Page = &page;
  TKVMeasureRecord &a = Record(1), &b = Record(0);
  std::tie(b.System, b.LeftX, b.TopY, b.TickTable[0], a.TopY) = std::tuple(&system, 1000, 2000, 40u, 500);
  BuildPlayOrder(*score);
  BuildPlayOrder(*score);
  ASSERT_EQ(b.DisplayCount, displays + 1);
  const TKVDisplayItem& half = *b.GetDisplay(displays);
  EXPECT_EQ(half.Link, a.ExtendingItems[0]);
  EXPECT_EQ(half.StaffLine, page.StaffLines[0].get());
  EXPECT_EQ(half.Bounds2, (TKVLayoutRect{1000, 2010, 1048, 2020}));
  EXPECT_EQ(half.Bounds, (TKVLayoutRect{990, 2005, 1068, 2030}));
  b.System = nullptr;
}

// Through a full layout: the tie from the repeat's end into its first
// measure gets its second half there, on the staff line the composer gave it.
TEST_F(PlayOrder, TieIntoARepeatGetsItsSecondHalfThroughAFullLayout) {
  MakePiece(1, 2);
  AddMark(Column(0), 155, 0);
  AddMark(Column(1), 156, 512);
  TKVNote* tied = AddNote(Measure(0, 0), 0, 60, 512);
  auto* tie = static_cast<TKVLiga*>(CreateItemByKind(30, AddNote(Measure(0, 1), 0, 60, 512)));
  tie->Data().setU16(LigaBlock::Length, 512);  // a tie spans its note
  Layout();
  ASSERT_EQ(Plays(), "1 2 1 2");
  EXPECT_EQ(tied->PlayState & 0x80, 0x80);
  std::vector<const TKVDisplayItem*> halves;
  for (int32_t i = 0; i < Record(0).DisplayCount; ++i)
    if (Record(0).GetDisplay(i)->Item == tie) halves.push_back(Record(0).GetDisplay(i));
  ASSERT_EQ(halves.size(), 1u);
  EXPECT_EQ(halves[0]->Link->Item, tie);
  EXPECT_EQ(halves[0]->StaffLine, Record(0).System->Page->StaffLines[0].get());
  EXPECT_EQ(halves[0]->Bounds2.Left, Record(0).LeftX);
}

}  // namespace
