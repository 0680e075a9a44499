// Bar and meter marks across the staves, bar-line connectors and the
// minimum room at a measure's ends.

#include "score/layout/LayoutFixture.h"

#include "score/model/Mark.h"
#include "score/model/Staff.h"

namespace {

std::vector<const TKVDisplayItem*> DisplaysOf(const TKVMeasureRecord& R, const TKVItem* Item, uint8_t Type = 0) {
  std::vector<const TKVDisplayItem*> found;
  for (int32_t i = 0; const TKVDisplayItem* d = R.GetDisplay(i); ++i)
    if (d->Item == Item && d->RecordType == Type) found.push_back(d);
  return found;
}

// Staves grouped by their bar-line group word (0, 1, 1, 1): one bar record
// and one connector per group; a bar at the measure's end leaves out the
// connectors. Bar marks become play marks.
TEST_F(LayoutTest, BarsAndConnectorsFollowTheStaffGroups) {
  MakePiece(2, 2, 0x0404, 2);
  WithoutPages();
  TKVStaff* second = piece->GetPart(0)->GetStaff(1);
  second->Data().setU16(StaffBlock::PartIndex, 1);
  TKVMark* bar = AddMark(Column(0), 157, 0);
  bar->SetOffsetX(2000);
  TKVMark* end = AddMark(Column(1), 156, 512);
  Layout();
  const TKVMeasureRecord& r = Record(0);
  const auto bars = DisplaysOf(r, bar);
  ASSERT_EQ(bars.size(), 2u);
  EXPECT_EQ(bar->OffsetX(), 1000);
  EXPECT_EQ(bars[1]->Bounds, (TKVLayoutRect{1000, 0, 32, 0}));
  EXPECT_EQ(bars[1]->Link, bars[0]);
  EXPECT_EQ(bars[1]->Param, 1) << "the part of the last staff";
  EXPECT_EQ(r.PlayMarks, std::vector<TKVItem*>{bar});
  const auto connectors = DisplaysOf(r, nullptr, DisplayRecordType::Connector);
  ASSERT_EQ(connectors.size(), 2u);
  EXPECT_EQ(connectors[0]->Staff, piece->GetPart(0)->GetStaff(0));
  EXPECT_EQ(connectors[1]->StaffIndex, 1);
  EXPECT_EQ(connectors[1]->LastStaff, 3);
  EXPECT_EQ(connectors[1]->Staff, piece->GetPart(1)->GetStaff(1));
  EXPECT_EQ(connectors[1]->Bounds, (TKVLayoutRect{-20, 0, 16, 0}));
  EXPECT_TRUE(DisplaysOf(Record(1), nullptr, DisplayRecordType::Connector).empty());
  EXPECT_EQ(Record(1).PlayMarks, std::vector<TKVItem*>{end});
  // The minimum room at the ends and the measure-start space.
  EXPECT_GE(r.TickTable[0] & 0xFFFF, 192u / 8);
  EXPECT_GE(r.TickTable[511] >> 16, 448u / 8);
  EXPECT_EQ(r.Extents[ExtentWord::StartSpace], 64);
}

// Style bits 2-3 of a meter mark: a record per staff, per part, one for all
// staves, none.
TEST_F(LayoutTest, MeterMarksArePlacedByTheirStyle) {
  MakePiece(2, 4, 0x0404, 2);
  std::vector<TKVMark*> meters;
  for (int k = 0; k < 4; ++k) {
    meters.push_back(AddMark(Column(k), 4, 0, 0x0304));
    meters.back()->SetFlags(uint8_t(k * 4));
  }
  Layout();
  const size_t counts[] = {4, 2, 1, 0};
  for (int k = 0; k < 4; ++k) ASSERT_EQ(DisplaysOf(Record(k), meters[k]).size(), counts[k]) << "style " << k * 4;
  EXPECT_EQ(DisplaysOf(Record(1), meters[1])[1]->LastStaff, 3);
  EXPECT_EQ(DisplaysOf(Record(2), meters[2])[0]->LastStaff, 3);
}

}  // namespace
