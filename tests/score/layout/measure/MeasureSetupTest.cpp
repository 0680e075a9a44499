// The measure set-up: meters and lengths, start ticks, numbers, the tempo at
// the start, free measures and the state carried from measure to measure.

#include "score/layout/LayoutFixture.h"

#include "score/layout/measure/MeasureSetup.h"
#include "score/model/ItemFactory.h"
#include "score/model/Mark.h"
#include "score/model/Note.h"

namespace {

// A 3/4 pickup measure, then the 4/4 that follows by default; a measure
// repeat standing for four measures makes the next number skip three.
TEST_F(LayoutTest, SetUpGivesMetersStartTicksNumbersAndTimes) {
  MakePiece(1, 4, 0x0304);
  WithoutPages();
  AddMark(Column(2), 42, 0, 4);
  Layout();
  ASSERT_EQ(piece->Layout().MeasureRecordCount, 4);
  EXPECT_EQ(Record(0).Meter, 0x0304);
  EXPECT_EQ(Record(0).Length, 384);
  EXPECT_EQ(Record(0).MarkMeter, 0x0404);
  EXPECT_EQ(Record(0).MarkLength, 512);
  const uint32_t starts[] = {0, 384, 896, 1408};
  const uint16_t numbers[] = {1, 2, 3, 7};
  const double durations[] = {3000, 4000, 4000, 4000};
  for (int m = 0; m < 4; ++m) {
    EXPECT_EQ(Record(m).StartTick, starts[m]) << m;
    EXPECT_EQ(Record(m).MeasureNumber, numbers[m]) << m;
    EXPECT_DOUBLE_EQ(Record(m).MsPerTick, 7.8125) << m;
    EXPECT_DOUBLE_EQ(Record(m).Duration, durations[m]) << m;
    EXPECT_EQ(Record(m).TickTable.size(), Record(m).Length + 1u) << m;
  }
  EXPECT_EQ(Record(1).Meter, 0x0404);
  EXPECT_EQ(Record(2).ExtraMeasures, 3);
  EXPECT_EQ(Record(2).Flags & 0x80, 0x80);
  EXPECT_EQ(Record(1).Flags, 0) << "one staff shown";
}

struct TFreeCase {
  uint16_t PieceMeter, ColumnMeter;
  bool WithItems;
  uint16_t Length;
};

class FreeMeasure : public LayoutTest, public ::testing::WithParamInterface<TFreeCase> {};

// Without a meter the measure is as long as its items reach: a note at 100
// of 128 ticks and a triplet of quarters at 0 (256 ticks) give 256; an empty
// measure gets 1. A meter word with a zero numerator or denominator is no
// meter.
TEST_P(FreeMeasure, TakesItsLengthFromItsItems) {
  const TFreeCase& c = GetParam();
  MakePiece(1, 1, c.PieceMeter);
  Column(0)->SetMeter(c.ColumnMeter);
  if (c.WithItems) {
    auto* note = static_cast<TKVNote*>(CreateItemByKind(20, Measure(0, 0)));
    note->SetPosition(100);
    note->SetDuration(128);
    AddMark(Measure(0, 0), 85, 0, 128, 3);
  }
  Layout();
  EXPECT_EQ(Record(0).Length, c.Length);
  EXPECT_EQ(Record(0).TickTable.size(), c.Length + 1u);
  EXPECT_GT(Record(0).Duration, 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, FreeMeasure,
                         ::testing::Values(TFreeCase{0, 0, true, 256}, TFreeCase{0, 0, false, 1},
                                           TFreeCase{0x0004, 0x0400, true, 256}, TFreeCase{0, 0x0608, true, 384},
                                           TFreeCase{0, 0x0202, false, 512}));

// Meter marks: in a measure with the piece's meter one only sets the meter
// of the next measure; later it changes its own measure, growing the tick
// table; a denominator of 0 is ignored.
TEST_F(LayoutTest, MeterMarksSetTheFollowingOrTheirOwnMeter) {
  MakePiece(1, 4, 0x0404);
  AddMark(Column(0), 4, 0, 0x0304);
  AddMark(Column(2), 4, 0, 0x0604);
  AddMark(Column(3), 4, 0, 0x0700);
  Layout();
  EXPECT_EQ(Record(0).Length, 512);
  EXPECT_EQ(Record(0).MarkMeter, 0x0304);
  EXPECT_EQ(Record(1).Length, 384);
  EXPECT_EQ(Record(2).Length, 768);
  EXPECT_EQ(Record(2).TickCapacity, 768);
  EXPECT_EQ(Record(2).TickTable.size(), 769u);
  EXPECT_EQ(Record(3).Length, 768) << "7/0 is no meter";
  EXPECT_NE(Record(3).MeterMark, nullptr);
}

// The key and clef state of a part is carried to the next measure only by a
// record made for the same part: once parts were added or removed, the
// records of the measure before may belong to other parts and the measure
// starts afresh.
TEST_F(LayoutTest, PartStateIsCarriedOnlyWithinTheSamePart) {
  MakePiece(2, 2);
  Layout();
  TKVDisplayItem key, clef;
  for (auto& part : Record(0).PartRecords) {
    part->CarriedItem = &key;
    part->StaffRecords[0]->CarriedClef = &clef;
  }
  ASSERT_TRUE(score->FormatMeasure(0, 1));
  const TKVPartLayoutRecord& second = *Record(1).PartRecords[1];
  EXPECT_EQ(second.CarriedItem, &key);
  EXPECT_EQ(second.CurrentItems, std::vector<TKVDisplayItem*>{&key});
  EXPECT_EQ(second.StaffRecords[0]->ClefList, std::vector<TKVDisplayItem*>{&clef});
  std::swap(Record(0).PartRecords[0]->Part, Record(0).PartRecords[1]->Part);
  ASSERT_TRUE(score->FormatMeasure(0, 1));
  for (auto& part : Record(1).PartRecords) {
    EXPECT_EQ(part->CarriedItem, nullptr);
    EXPECT_TRUE(part->CurrentItems.empty());
    EXPECT_TRUE(part->StaffRecords[0]->ClefList.empty());
  }
}

}  // namespace
