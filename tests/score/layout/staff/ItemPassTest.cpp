// The item pass: symbol and span marks, their placement against notes,
// holds, marks past the measure's end, bends and fingerings.

#include "score/layout/LayoutFixture.h"

#include "score/model/ItemFactory.h"
#include "score/model/Mark.h"
#include "score/model/Note.h"
#include "score/model/SimpleElements.h"
#include "score/model/Staff.h"

namespace {

constexpr uint8_t C5 = 0x50;

// The measure layout's own rectangles, before the page composer moves them.
class ItemPass : public LayoutTest {
protected:
  ItemPass() { WithoutPages(); }
  const TKVDisplayItem* RecordOf(int Column, const TKVItem* Item) {
    for (int32_t i = 0; const TKVDisplayItem* d = Record(Column).GetDisplay(i); ++i)
      if (d->Item == Item && d->RecordType == DisplayRecordType::Item) return d;
    return nullptr;
  }
  TKVLayoutRect BoxOf(int Column, const TKVItem* Item) {
    const TKVDisplayItem* d = RecordOf(Column, Item);
    return d ? d->Bounds : TKVLayoutRect{-1, -1, -1, -1};
  }
};

TEST_F(ItemPass, AHairpinRunsOnIntoTheNextMeasure) {
  MakePiece(1, 3);
  TKVMark* hairpin = AddMark(Measure(0, 0), 110, 384, 256, 50);
  Layout();
  const TKVDynamicRecord* dynamic = Record(0).GetDynamic(0);
  ASSERT_NE(dynamic, nullptr);
  EXPECT_EQ(std::make_pair(dynamic->Position, dynamic->Length), std::make_pair(uint16_t(384), uint16_t(256)));
  const TKVDisplayItem* d = RecordOf(0, hairpin);
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->Param, 640);
  EXPECT_EQ(Record(1).ContinuingDisplays, (std::vector<TKVDisplayItem*>{const_cast<TKVDisplayItem*>(d)}));
  EXPECT_TRUE(Record(2).ContinuingDisplays.empty());
}

struct TSpanCase {
  uint8_t Kind, Variant;
  int16_t Extent;
  int32_t Top, Bottom;
};

class SpanMark : public ItemPass, public ::testing::WithParamInterface<TSpanCase> {};

TEST_P(SpanMark, ReachesItsExtent) {
  MakePiece(1, 1);
  TKVMark* mark = AddMark(Measure(0, 0), GetParam().Kind, 0, 64, GetParam().Variant);
  mark->SetExtent(GetParam().Extent);
  Layout();
  const TKVLayoutRect box = BoxOf(0, mark);
  EXPECT_EQ(std::make_pair(box.Top, box.Bottom), std::make_pair(GetParam().Top, GetParam().Bottom));
}

INSTANTIATE_TEST_SUITE_P(Kinds, SpanMark,
                         ::testing::Values(TSpanCase{120, 1, -100, -164, 0}, TSpanCase{170, 0, -10, -74, 54},
                                           TSpanCase{118, 0, 100, -32, 116}, TSpanCase{130, 0, 8, -8, 24}));

TEST_F(ItemPass, FingeringsBendsAndBrackets) {
  MakePiece(1, 1);
  TKVMark* finger = AddMark(Measure(0, 0), 122, 0, 0, 5);
  auto* bend = static_cast<TKVBend*>(CreateItemByKind(119, Measure(0, 0)));
  bend->Data().setU8(BendBlock::Variant, 3);
  for (size_t i = 0; i < 3; ++i) bend->Data().setU16(BendBlock::Length1 + 2 * i, uint16_t(40 + 20 * i));
  bend->Data().setU16(BendBlock::Height, 96);
  AddMark(Measure(0, 0), 143, 600);  // a tremolo between notes: the staff pass's
  Layout();
  EXPECT_EQ(BoxOf(0, finger).Width, FakeWidth("6", 56));
  const TKVDisplayItem* d = RecordOf(0, bend);
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->Bounds2, (TKVLayoutRect{0, -96, 100, 0}));
  EXPECT_EQ(d->Bounds, (TKVLayoutRect{-32, -96, 164, 64}));
  EXPECT_EQ(Measure(0, 0)->GetItemCount(), 2) << "the late tremolo is deleted once";
}

TEST_F(ItemPass, HoldsAtOneTickLengthenTheMeasureOnce) {
  MakePiece(2, 1);
  std::vector<TKVMark*> holds;
  for (int part : {0, 1}) {
    TKVNote* note = AddNote(Measure(part, 0), 128, C5);
    note->Data().setU16(NoteBlock::PlayedLength, 128 + 64 * (part + 1));
    holds.push_back(AddMark(Measure(part, 0), 116, 128));
  }
  Layout();
  Layout();
  const TKVMeasureRecord& r = Record(0);
  EXPECT_DOUBLE_EQ(r.Duration, 4000 + 64 * 7.8125) << "the first part's hold counts";
  EXPECT_EQ(r.TempoSegments, (std::vector<TKVTempoSegment>{{128, 64, 7.8125}}));
  std::vector<uint16_t> words;
  for (auto& e : r.Positions)
    if (e->Item == holds[0] || e->Item == holds[1]) words.push_back(e->Word);
  EXPECT_EQ(words, (std::vector<uint16_t>{64, 128}));
}

// A mark that the measure no longer reaches is deleted, and no record keeps
// it (the sanitizer build reads them all).
TEST_F(ItemPass, MarksPastTheEndAreDeletedWithoutTraces) {
  MakePiece(1, 2);
  TKVMark* accent = AddMark(Measure(0, 0), 114, 384);
  TKVMark* hairpin = AddMark(Measure(0, 0), 110, 384, 512, 50);
  Layout();
  ASSERT_NE(RecordOf(0, accent), nullptr);
  const uintptr_t gone[] = {uintptr_t(accent), uintptr_t(hairpin)};
  piece->SetMeter(0x0304);
  accent->SetPosition(384);
  hairpin->SetPosition(400);
  Layout();
  EXPECT_EQ(Measure(0, 0)->GetItemCount(), 0);
  for (int column : {0, 1})
    for (auto& d : Record(column).Displays)
      for (uintptr_t item : gone) EXPECT_NE(uintptr_t(d->Item), item);
  Layout();
}

TEST_F(ItemPass, MarksOnAMissingStaffMoveToTheFirst) {
  MakePiece(1, 1, 0x0404, 2);
  TKVMark* mark = AddMark(Measure(0, 0), 115, 0);
  mark->SetStaffVoice(0x31);
  Layout();
  EXPECT_EQ(mark->StaffVoice(), 0);
  EXPECT_EQ(RecordOf(0, mark)->StaffIndex, 0);
}

// Without the note-relative option a mark goes above its note in a staff's
// first voice and below it in the others, beyond the stem.
TEST_F(ItemPass, MarksOfTwoVoicesGoAboveAndBelow) {
  MakePiece(1, 1);
  piece->GetPart(0)->GetStaff(0)->NewVoice();
  score->Settings().SetOption(0, 0);
  TKVMark* marks[2];
  for (uint8_t voice : {0, 1}) {
    AddNote(Measure(0, 0), 0, uint8_t(C5 + voice), 128, voice);
    marks[voice] = AddMark(Measure(0, 0), 114, 0);
    marks[voice]->SetStaffVoice(voice);
    marks[voice]->SetFlags(0x10);
  }
  Layout();
  const int32_t G = 20 * 8;  // the notes' stem length
  // Heads 10 and 9 half spaces below the top line (no clef), half a space up.
  const int32_t cTop = 10 * 24 - 24, dBottom = 9 * 24 - 24 + 48;
  EXPECT_EQ(BoxOf(0, marks[0]).Top, -48 + cTop - G);
  EXPECT_EQ(BoxOf(0, marks[1]).Bottom, 48 + dBottom + G);
}

}  // namespace
