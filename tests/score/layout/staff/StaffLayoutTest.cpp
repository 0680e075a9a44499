// The per-staff layout's frame: staff steps, background records, clefs, key
// signatures with their naturals, and the stacking of accidentals in a
// column.

#include "score/layout/LayoutFixture.h"

#include "score/layout/staff/StaffLayout.h"
#include "score/model/ItemFactory.h"
#include "score/model/Mark.h"
#include "score/model/Note.h"
#include "score/model/Staff.h"
#include "support/LayoutDump.h"

namespace {

TEST_F(LayoutTest, StaffStepsRoundHalvesToEven) {
  MakePiece(1, 1);
  TKVStaff* staff = piece->GetPart(0)->GetStaff(0);
  const std::pair<uint8_t, std::pair<int32_t, int32_t>> cases[] = {{100, {48, 64}}, {75, {32, 48}}, {150, {72, 96}}};
  for (const auto& [size, steps] : cases) {
    staff->SetSizePercent(size);
    auto ctx = Context(0);
    int32_t line = 0, wide = 0;
    CalcStaffSteps(*ctx, *staff, line, wide);
    EXPECT_EQ(std::make_pair(line, wide), steps) << int(size);
  }
}

TEST_F(LayoutTest, ClefsFillTheClefListsBesideTheBackgrounds) {
  MakePiece(1, 2, 0x0404, 2);
  WithoutPages();
  TKVMark* treble = AddMark(Measure(0, 0), 2, 0, 0, 1);
  TKVMark* bass = AddMark(Measure(0, 0), 2, 256, 0, 2);
  auto* late = static_cast<TKVNote*>(CreateItemByKind(20, Measure(0, 0)));
  late->SetPosition(512);
  Layout();
  const TKVMeasureRecord& r = Record(0);
  EXPECT_EQ(r.GetDisplay(0)->RecordType, DisplayRecordType::Background);
  EXPECT_EQ(r.GetDisplay(1)->RecordType, DisplayRecordType::Background);
  EXPECT_EQ(r.GetDisplay(1)->StaffIndex, 1);
  const auto& clefs = r.PartRecords[0]->StaffRecords[0]->ClefList;
  ASSERT_EQ(clefs.size(), 2u);
  EXPECT_EQ(clefs[0]->Item, treble);
  EXPECT_EQ(clefs[1]->Item, bass);
  EXPECT_EQ(clefs[1]->SizePercent, 70) << "a change inside the measure is drawn smaller";
  EXPECT_EQ(r.Flags & 0x30, 0x20);
  EXPECT_EQ(r.Extents[ExtentWord::ClefWidth], 16 + 8 * FakeWidth("\"", 18));
  EXPECT_EQ(Measure(0, 0)->GetClefOffsetAt(0, 255), 0);
  EXPECT_EQ(Measure(0, 0)->GetClefOffsetAt(0, 256), -12);
  EXPECT_EQ(Measure(0, 1)->GetClefOffsetAt(0, 0), -12) << "the last clef is carried on";
  EXPECT_EQ(Measure(0, 0)->GetItemCount(), 2) << "a note past the end is deleted";
}

// The naturals of a key change at a bar line close the measure before,
// unless that measure ends with a repeat bar (then they open this one) or
// asks for none.
struct TCancelCase {
  uint8_t Mark;  // 157 a plain bar with room, 156 repeat end, 158 no naturals
  size_t BeforeCount, HereCount;
  uint16_t KeyWidth;
};

class KeyChange : public LayoutTest, public ::testing::WithParamInterface<TCancelCase> {};

TEST_P(KeyChange, PutsTheNaturalsWhereTheBarLineSays) {
  MakePiece(1, 2);
  TKVMark* before = AddMark(Measure(0, 0), 3, 0, 0, 2);  // two sharps
  TKVMark* after = AddMark(Measure(0, 1), 3, 0, 0, 11);  // one flat
  TKVMark* bar = AddMark(Column(0), GetParam().Mark, 512);
  Layout();
  Record(0).PlayMarks.push_back(bar);
  Service().FormatMeasure(0, 1);
  auto count = [](const TKVMeasureRecord& r, const TKVItem* item) {
    size_t n = 0;
    for (int32_t d = 0; r.GetDisplay(d); ++d) n += r.GetDisplay(d)->Item == item;
    return n;
  };
  EXPECT_EQ(count(Record(0), after), GetParam().BeforeCount);
  EXPECT_EQ(count(Record(1), after), GetParam().HereCount);
  EXPECT_EQ(Record(1).Extents[ExtentWord::KeyWidth], GetParam().KeyWidth);
  EXPECT_EQ(after->CancelledKey, 2);
  if (GetParam().BeforeCount == 0) return;
  const TKVDisplayItem* naturals = Record(0).GetDisplay(Record(0).DisplayCount - 1);
  EXPECT_EQ(naturals->Flags, 0x20);
  EXPECT_EQ(naturals->Bounds.Left, -24) << "left of the bar's room";
  EXPECT_EQ(naturals->Links, std::vector<TKVDisplayItem*>{before->DisplayLink});
  EXPECT_EQ(Record(0).Extents[ExtentWord::EndKeyWidth], 16 + 2 * 40);
}

INSTANTIATE_TEST_SUITE_P(Bars, KeyChange,
                         ::testing::Values(TCancelCase{157, 1, 1, 16 + 40}, TCancelCase{156, 0, 2, 16 + 40 + 80},
                                           TCancelCase{158, 0, 1, 16 + 40}));

TEST_F(LayoutTest, FormattingAColumnAgainLeavesTheOneBeforeAsItWas) {
  MakePiece(1, 3, 0x0404, 2);
  WithoutPages();
  AddMark(Measure(0, 0), 3, 0, 0, 3);
  AddMark(Measure(0, 1), 3, 0, 0, 12);
  for (int column = 0; column < 2; ++column) {
    auto* note = static_cast<TKVNote*>(CreateItemByKind(20, Measure(0, column)));
    note->SetPosition(384);
    note->SetValue(64);
    note->SetDuration(64);
    note->SetPitch(0x53);
    note->BeamGroup = 1;
    note->SetFlag(NoteFlag::BeamFromPrevious, column == 1);
    Measure(0, column)->GroupRanges().push_back({});
  }
  Layout();
  const std::string first = DumpMeasureRecords(piece->Layout(), 1);
  const size_t stems = Measure(0, 0)->GroupRanges()[0].Beam->Links.size();
  EXPECT_EQ(stems, 2u) << "the beam over the bar line holds both stems";
  Service().FormatMeasure(0, 1);
  Service().FormatMeasure(0, 1);
  EXPECT_EQ(DumpMeasureRecords(piece->Layout(), 1), first);
  EXPECT_EQ(Measure(0, 0)->GroupRanges()[0].Beam->Links.size(), stems);
}

TEST_F(LayoutTest, AccidentalsStackLeftOfTheHeads) {
  MakePiece(1, 1);
  auto note = [&](uint16_t position, uint8_t pitch, uint8_t sign) {
    auto* n = static_cast<TKVNote*>(CreateItemByKind(20, Measure(0, 0)));
    n->SetPosition(position);
    n->SetPitch(pitch);
    n->SetValue(128);
    n->SetFlag(NoteFlag::Chord, true);
    return static_cast<TKVMark*>(AddMark(n, 50, 0, 0, sign));
  };
  TKVMark* flat = note(0, 0x56, 0);
  TKVMark* lower = note(128, 0x52, 2);  // E and F a second apart, both sharp
  TKVMark* upper = note(128, 0x53, 2);
  lower->SetFlags(0x04);  // in brackets
  Layout();
  const int32_t gap = 16 / 8, head = 4;
  auto space = [&](const TKVMark* sign) {
    for (int32_t d = 0; const TKVDisplayItem* D = Record(0).GetDisplay(d); ++d)
      if (D->Item == sign) return int32_t(D->LeftSpace);
    return -1;
  };
  EXPECT_EQ(space(flat), head + 5 + gap);
  EXPECT_EQ(space(upper), head + 5 + gap) << "the higher note's sign stands nearest";
  EXPECT_EQ(space(lower), space(upper) + 5 + 6 + gap);
}

}  // namespace
