// The timing of a measure: tempo marks and the tempo formula, the tempo
// segments and durations, holds, changes met out of tick order, and the
// other column marks.

#include "score/layout/LayoutFixture.h"

#include "score/layout/play/PlayActions.h"
#include "score/layout/measure/TempoMarks.h"
#include "score/model/ItemFactory.h"
#include "score/model/Mark.h"
#include "score/model/Note.h"
#include "score/model/UserSymbol.h"

namespace {

// Quarter = 120 at tick 0 and half = 60 at tick 256 of a 4/4 measure at
// tempo 60: 256 ticks at 3.90625 ms twice. The next measure keeps the rate.
TEST_F(LayoutTest, TempoMarksSplitTheMeasureIntoSegments) {
  MakePiece(1, 2);
  WithoutPages();
  TKVMark* quarter = AddMark(Column(0), 6, 0, 120, 2);
  quarter->SetOffsetY(-128);
  AddMark(Column(0), 6, 256, 60, 1);
  Layout();
  const TKVMeasureRecord& r = Record(0);
  EXPECT_EQ(r.Tempo, 120);
  EXPECT_EQ(r.TempoSegments, (std::vector<TKVTempoSegment>{{0, 0, 7.8125}, {256, 0, 3.90625}}));
  EXPECT_DOUBLE_EQ(r.MsPerTick, 3.90625);
  EXPECT_DOUBLE_EQ(r.Duration, 2000);
  EXPECT_DOUBLE_EQ(Record(1).Duration, 2000);
  ASSERT_EQ(r.Positions.size(), 2u);
  const int w = FakeWidth("\x2C", 144) + 8 + FakeWidth("=120", 64);
  EXPECT_EQ(r.GetDisplay(0)->Bounds, (TKVLayoutRect{0, -256, w, -48}));
}

struct TTempoCase {
  uint16_t Value;
  uint8_t Beat, Dots;
  int32_t Tempo;
};

class TempoFormula : public ::testing::TestWithParam<TTempoCase> {};

// A beat below 1/512, a tempo that truncates to 0 or passes 32767 gives no
// tempo at all.
TEST_P(TempoFormula, ConvertsBeatsToQuarterNotes) {
  EXPECT_EQ(TempoOfMark(GetParam().Value, GetParam().Beat, GetParam().Dots), GetParam().Tempo);
}

INSTANTIATE_TEST_SUITE_P(Beats, TempoFormula,
                         ::testing::Values(TTempoCase{120, 2, 0, 120}, TTempoCase{60, 1, 0, 120},
                                           TTempoCase{80, 2, 1, 120}, TTempoCase{80, 2, 2, 140},
                                           TTempoCase{240, 3, 0, 120}, TTempoCase{30, 0, 0, 120},
                                           TTempoCase{80, 2, 3, 80}, TTempoCase{1, 3, 0, 0},
                                           TTempoCase{100, 10, 0, 0}, TTempoCase{20000, 2, 0, 20000},
                                           TTempoCase{40000, 2, 0, 0}));

// Neither a piece tempo of 0 nor a mark without a tempo divides by zero: the
// piece plays at 60 and the mark keeps its place without timing.
TEST_F(LayoutTest, MissingTemposKeepTheTimingFinite) {
  MakePiece(1, 1, 0x0304);
  piece->SetTempo(0);
  AddMark(Column(0), 6, 128, 1, 3);
  Layout();
  EXPECT_EQ(Record(0).Tempo, 60);
  EXPECT_DOUBLE_EQ(Record(0).Duration, 3000);
  EXPECT_TRUE(Record(0).TempoSegments.empty());
  EXPECT_EQ(Record(0).Positions.size(), 1u);
}

// User symbols of two parts change the tempo at 384 (part 1) and 128
// (part 2): the changes apply in tick order whatever order the parts bring
// them in.
TEST_F(LayoutTest, TempoChangesMetOutOfOrderApplyInTickOrder) {
  MakePiece(2, 2);
  auto* symbol = new TKVUserSymbol;
  score->UserSymbols().AddObject("up", symbol);
  auto change = [&](int part, uint16_t position, uint16_t tempo) {
    TKVMark* mark = AddMark(Measure(part, 0), 160, position, 0);
    mark->SetDynamics(std::make_unique<TKVDynamicsSetting>());
    mark->Dynamics()->SetAction(2, 1, tempo);
  };
  change(0, 384, 120);
  change(1, 128, 240);
  Layout();
  const TKVMeasureRecord& r = Record(0);
  EXPECT_EQ(r.TempoSegments, (std::vector<TKVTempoSegment>{{128, 0, 7.8125}, {384, 0, 1.953125}}));
  EXPECT_DOUBLE_EQ(r.Duration, 128 * 7.8125 + 256 * 1.953125 + 128 * 3.90625);
  EXPECT_EQ(r.Tempo, 120);
  EXPECT_EQ(Record(1).Tempo, 120);
}

// Two parts hold the same tick: the measure is lengthened once, by the
// longest overhang of the notes there, at the rate in force.
TEST_F(LayoutTest, OnlyTheFirstHoldAtATickLengthensTheMeasure) {
  MakePiece(2, 1);
  for (int p = 0; p < 2; ++p) {
    auto* note = static_cast<TKVNote*>(CreateItemByKind(20, Measure(p, 0)));
    note->SetPosition(128);
    note->SetDuration(128);
    note->Data().setU16(NoteBlock::PlayedLength, 192);
    AddMark(Measure(p, 0), 116, 128);
  }
  Service().Steps().LayoutStaff = [](TKVFormatContext& ctx) {
    for (TKVItem* item : ctx.Measure->Items().Items())
      if (item->Kind() == 116) AddHold(ctx, *item, 128);
  };
  Layout();
  const TKVMeasureRecord& r = Record(0);
  EXPECT_DOUBLE_EQ(r.Duration, 4000 + 64 * 7.8125);
  EXPECT_EQ(r.TempoSegments, (std::vector<TKVTempoSegment>{{128, 64, 7.8125}}));
  ASSERT_EQ(r.Positions.size(), 2u);
  EXPECT_EQ(r.Positions[1]->Word, 64);
}

TEST_F(LayoutTest, ColumnMarksSetNumbersRoomAndPlayMarks) {
  MakePiece(1, 4);
  WithoutPages();
  AddMark(Column(0), 156, 512);   // repeat end at the end: room
  AddMark(Column(0), 156, 100);   // inside the measure: none
  AddMark(Column(0), 155, 0);
  AddMark(Column(0), 159, 0);
  AddMark(Column(0), 28, 0);
  TKVMark* number = AddMark(Column(1), 27, 0, 10);
  TKVMark* volta = AddMark(Column(1), 171, 0, 2);
  AddMark(Column(1), 28, 0);
  TKVMark* repeat = AddMark(Column(2), 42, 0, 0);
  TKVMark* coda = AddMark(Column(2), 151, 0);
  Layout();
  EXPECT_EQ(Record(0).Extents[ExtentWord::ExtraEnd], 48);
  EXPECT_EQ(Record(0).Extents[ExtentWord::ExtraStart], 48);
  EXPECT_EQ(Record(0).Extents[ExtentWord::ExtraLeft], 32);
  EXPECT_EQ(Record(0).RehearsalNumber, 1);
  EXPECT_EQ(Record(1).RehearsalNumber, 2);
  EXPECT_EQ(Record(3).RehearsalNumber, 2);
  EXPECT_EQ(Record(1).MeasureNumber, 10);
  EXPECT_EQ(Record(1).NumberShown, 1);
  EXPECT_EQ(number->DisplayLink, Record(1).NumberDisplay);
  EXPECT_EQ(Record(2).NumberDisplay, Record(1).NumberDisplay);
  EXPECT_EQ(Record(3).MeasureNumber, 12) << "a measure repeat of count 0 stands for one measure";
  EXPECT_EQ(Record(2).Flags & 0x80, 0x80);
  EXPECT_EQ(Record(1).Volta, volta);
  EXPECT_EQ(Record(2).ContinuingDisplays.size(), 1u);
  EXPECT_TRUE(Record(3).ContinuingDisplays.empty());
  EXPECT_EQ(Record(2).PlayMarks, (std::vector<TKVItem*>{repeat, coda}));
  EXPECT_EQ(Record(2).Coda, coda);
  EXPECT_EQ(Column(2)->Record, &Record(2));
}

}  // namespace
