// The staff pass beside the notes: grace-note groups, rests, beat and
// measure repeats, tuplets, octave lines, chord symbols and frames.

#include "score/layout/LayoutFixture.h"

#include "score/model/Chord.h"
#include "score/model/Frame.h"
#include "score/model/ItemFactory.h"
#include "score/model/Mark.h"
#include "score/model/Note.h"
#include "score/model/Pause.h"
#include "score/model/Vorschlag.h"

namespace {

constexpr uint8_t C5 = 0x50, D5 = 0x51;

// The measure layout's own rectangles, before the page composer moves them.
class StaffObjects : public LayoutTest {
protected:
  StaffObjects() { WithoutPages(); }
  TKVVorschlag* Group(int Column, uint16_t Position, uint8_t Flags = 0) {
    auto* group = static_cast<TKVVorschlag*>(CreateItemByKind(32, Measure(0, Column)));
    group->SetPosition(Position);
    group->SetFlags(Flags);
    return group;
  }
  const TKVDisplayItem& RecordOf(int Column, const TKVItem* Item, uint8_t Type = DisplayRecordType::Item) {
    for (int32_t i = 0; const TKVDisplayItem* d = Record(Column).GetDisplay(i); ++i)
      if (d->Item == Item && d->RecordType == Type) return *d;
    ADD_FAILURE() << "no record";
    return *Record(Column).GetDisplay(0);
  }
  std::vector<std::pair<uint16_t, const TKVItem*>> Entries(int Column) {
    std::vector<std::pair<uint16_t, const TKVItem*>> out;
    for (auto& e : Record(Column).Positions) out.emplace_back(e->Position, e->Item);
    return out;
  }
};

// Three grace eighths of 134 units: ticks at 0, 134 and 268, then the
// group's room before the quarter's head extent (4 pixels).
TEST_F(StaffObjects, GraceNotesStandBeforeOrAfterTheirNoteInTickOrder) {
  MakePiece(1, 2);
  for (int column : {0, 1}) {
    TKVVorschlag* group = Group(column, 0, column == 1 ? 1 : 0);
    for (uint16_t t : {0, 64, 128}) AddNote(group, t, C5, 64);
    AddNote(Measure(0, column), 0, C5);
  }
  Layout();
  const std::pair<int32_t, uint16_t TKVDisplayItem::*> expected[] = {{-434, &TKVDisplayItem::LeftSpace},
                                                                     {32, &TKVDisplayItem::RightSpace}};
  for (int column : {0, 1}) {
    auto* group = static_cast<TKVVorschlag*>(Measure(0, column)->GetItem(0));
    const auto [first, room] = expected[column];
    EXPECT_EQ(RecordOf(column, group).*room, 54) << column;
    for (int i = 0; i < 3; ++i) EXPECT_EQ(RecordOf(column, group->GetItem(i)).Bounds.Left, first + 134 * i);
    EXPECT_EQ(Entries(column).size(), 4u) << "the grace notes play at the group's tick";
  }
}

TEST_F(StaffObjects, GraceRestsAndSigns) {
  MakePiece(1, 1);
  TKVVorschlag* group = Group(0, 256);
  auto* whole = AddRest(group, 0, 512);
  auto* half = AddRest(group, 512, 256);
  TKVNote* b = AddNote(group, 768, 0x46, 64);  // B4
  AddMark(b, 50, 0, 0, 1);                     // double flat
  AddNote(Measure(0, 0), 256, C5);
  Layout();
  EXPECT_EQ(RecordOf(0, whole).Bounds.Top, 48) << "one staff space down";
  EXPECT_EQ(RecordOf(0, half).Bounds.Bottom, 96) << "two spaces down";
  EXPECT_EQ(b->MidiKey, 57);
  EXPECT_EQ(RecordOf(0, b->GetItem(0)).LeftSpace, FakeWidth("A", 144) + 16) << "glyph and gap in layout units";
}

struct TRestCase {
  uint16_t Duration;
  uint8_t Option;
  uint16_t Left, Right;
};

class RestRoom : public StaffObjects, public ::testing::WithParamInterface<TRestCase> {};

TEST_P(RestRoom, DependsOnDurationAndOption) {
  MakePiece(1, 1);
  score->Settings().SetOption(0, GetParam().Option);
  TKVPause* rest = AddRest(Measure(0, 0), 0, GetParam().Duration);
  Layout();
  const TKVDisplayItem& d = RecordOf(0, rest);
  EXPECT_EQ(std::make_pair(d.LeftSpace, d.RightSpace), std::make_pair(GetParam().Left, GetParam().Right));
}

INSTANTIATE_TEST_SUITE_P(Rests, RestRoom,
                         ::testing::Values(TRestCase{16, 0, 4, 7}, TRestCase{16, 1, 6, 7}, TRestCase{32, 0, 5, 6},
                                           TRestCase{32, 1, 4, 6}, TRestCase{192, 0, 3, 4}));

TEST_F(StaffObjects, AWholeMeasureRestLaterOnIsAWholeRest) {
  MakePiece(1, 2);
  Column(1)->SetMeter(0x0304);
  TKVPause* rest = AddRest(Measure(0, 1), 0, 384);
  AddRest(Measure(0, 1), 384, 128);  // past the end
  Layout();
  const TKVDisplayItem& d = RecordOf(1, rest);
  EXPECT_EQ(std::make_pair(d.Bounds.Top, d.Bounds.Bottom), std::make_pair(48, 72));
  EXPECT_EQ(Measure(0, 1)->GetItemCount(), 1);
}

// A beat repeat plays the beats before it again: from this measure, and
// across the bar line from the measure just before.
TEST_F(StaffObjects, BeatRepeatsCopyTheBeatsBeforeThem) {
  MakePiece(1, 2);
  TKVNote* last = AddNote(Measure(0, 0), 384, C5);
  TKVNote* first = AddNote(Measure(0, 1), 0, D5);
  AddMark(Measure(0, 1), 40, 128, 256);  // a half note's length
  Layout();
  Layout();
  using E = std::vector<std::pair<uint16_t, const TKVItem*>>;
  EXPECT_EQ(Entries(1), (E{{0, first}, {128, last}, {256, first}}));
  EXPECT_EQ(Record(1).Positions[1]->Word, 128);
  EXPECT_EQ(Measure(0, 1)->StaffNoteCounts[0], 3);
}

TEST_F(StaffObjects, MeasureRepeatsCopyOneOrTwoMeasures) {
  MakePiece(1, 4);
  TKVNote* a = AddNote(Measure(0, 0), 0, C5);
  TKVNote* b = AddNote(Measure(0, 1), 128, D5);
  TKVMark* repeat = AddMark(Measure(0, 2), 41, 0);
  repeat->SetFlags(1);
  Layout();
  using E = std::vector<std::pair<uint16_t, const TKVItem*>>;
  EXPECT_EQ(Entries(2), (E{{0, a}}));
  EXPECT_EQ(Entries(3), (E{{128, b}}));
  ASSERT_EQ(Record(2).ContinuingDisplays.size(), 1u);
  EXPECT_EQ(Record(2).ContinuingDisplays[0]->Param, 1);
}

TEST_F(StaffObjects, TupletsAndOctaveLines) {
  MakePiece(1, 2);
  TKVMark* tuplet = AddMark(Measure(0, 0), 85, 0, 128, 3);
  tuplet->SetOffsetX(16);
  tuplet->SetOffsetY(8);
  const std::pair<int16_t, std::pair<int32_t, int32_t>> lines[] = {
      {-100, {-164, 64}}, {-10, {-42, 54}}, {100, {-64, 164}}, {10, {-54, 74}}};
  std::vector<TKVMark*> marks;
  for (const auto& [extent, box] : lines) {
    marks.push_back(AddMark(Measure(0, 0), 169, 128, 512));
    marks.back()->SetExtent(extent);
  }
  Layout();
  EXPECT_EQ(RecordOf(0, tuplet).Bounds2, (TKVLayoutRect{-16, 8, 48, 8}));
  for (size_t i = 0; i < marks.size(); ++i) {
    const TKVDisplayItem& d = RecordOf(0, marks[i]);
    EXPECT_EQ(std::make_pair(d.Bounds.Top, d.Bounds.Bottom), lines[i].second) << lines[i].first;
    EXPECT_EQ(d.Param, 640);
  }
  EXPECT_EQ(Record(1).ContinuingDisplays.size(), 4u) << "the lines run on into the next measure";
}

TEST_F(StaffObjects, ChordSymbolPiecesFollowTheirAnchors) {
  MakePiece(1, 1);
  auto* chord = static_cast<TKVChord*>(CreateItemByKind(31, Measure(0, 0)));
  const std::tuple<const char*, uint8_t, int16_t> pieces[] = {{"G", 0, 0}, {"7", 1, 0}, {"9", 0, -1}};
  for (const auto& [text, anchor, level] : pieces) {
    TKVChordEntry& entry = chord->Entries().Add();
    entry.Text = text;
    entry.Record.setU8(ChordBlock::EntryAnchor, anchor);
    entry.Record.setI16(ChordBlock::EntryLevel, level);
  }
  Layout();
  auto field = [&](int i, size_t at) { return chord->Entries().Get(i)->Record.i16(at); };
  const int g = FakeWidth("G", 64), seven = FakeWidth("7", 64);
  EXPECT_EQ(field(1, ChordBlock::EntryStartX), g);
  EXPECT_EQ(field(2, ChordBlock::EntryStartX), g) << "the 9 follows the G";
  EXPECT_EQ(field(2, ChordBlock::EntryEndX), 2 * g);
  EXPECT_EQ((std::vector<int16_t>{field(0, ChordBlock::EntryY), field(1, ChordBlock::EntryY), field(2, ChordBlock::EntryY)}),
            (std::vector<int16_t>{32, 32, 0}));
  const TKVLayoutRect box = RecordOf(0, chord).Bounds;
  EXPECT_EQ(std::make_pair(box.Width, box.Top), std::make_pair(g + seven, -32 - 48));
}

TEST_F(StaffObjects, ChordFramesTurnWithTheOrientation) {
  MakePiece(1, 1);
  auto* frame = static_cast<TKVFrame*>(CreateItemByKind(36, Measure(0, 0)));
  frame->Data().setU8(FrameBlock::EntryCount, 6);
  for (TKVFrameOrientation orientation : {foTop, foLeft}) {
    score->SetFrameOrientation(orientation);
    Layout();
    const TKVLayoutRect box = RecordOf(0, frame).Bounds;
    EXPECT_EQ(std::make_pair(box.Width, box.Bottom + 48),
              orientation == foTop ? std::make_pair(288, 336) : std::make_pair(336, 288));
  }
}

}  // namespace
