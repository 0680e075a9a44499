// The records below the score: every element's field groups, records whose
// sizes lie, failures kept inside their record, nesting, and the repairs
// of older revisions.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/Exceptions.h"
#include "score/model/Chord.h"
#include "score/model/Frame.h"
#include "score/model/Mark.h"
#include "score/model/Measure.h"
#include "score/model/Note.h"
#include "score/model/Part.h"
#include "score/model/Piece.h"
#include "score/model/SimpleElements.h"
#include "score/model/Sound.h"
#include "score/model/Staff.h"
#include "score/model/Vorschlag.h"
#include "ScoreFileSamples.h"
#include "support/Raised.h"

namespace {

using W = TScoreFileWriter;

TKVMeasure* Measure(TKVScore& score, int index) { return score.GetPiece(0)->GetPart(0)->GetMeasure(index); }

TKVMeasure* LoadItems(TKVScore& score, const sample::TItemsWriter& items) {
  sample::Load(score, sample::File(items).Bytes());
  return Measure(score, 0);
}

TEST(ScoreFileRecords, EveryElementReadsItsGroups) {
  TKVScore score;
  TKVMeasure* m = LoadItems(score, [](W& w) {
    w.U16(9);
    w.BeginItem(31, 4, TBlockBytes(20)).U16(2).U16(17).Raw(TBytes(17, 3)).Str("maj").U16(1).Raw({4}).Str("m");
    w.ByteArray({60, 64}).Str("C").End();
    w.BeginItem(36, 5, TBlockBytes(16).U8(8, 2).U8(10, 3)).ByteArray({9}).Raw({1, 0, 2}).Raw({0, 255, 1, 0, 3, 2});
    w.Str("Am").End();
    w.BeginItem(220, 2, TBlockBytes(4).U16(2, 3)).Raw({0x90, 60, 100}).End();
    w.BeginItem(221, 2, TBlockBytes(4)).U32(4).U32(0).Raw({1, 2, 3, 4}).End();
    w.BeginItem(171, 7, TBlockBytes(28)).Str("1.2.").U16(0).Str("Volta").End();  // group 1 text 2, group 6 text 1
    w.BeginItem(85, 2, TBlockBytes(28).U8(0, 2)).Raw({1, 0, 2, 0}).End();
    w.BeginItem(4, 8, TBlockBytes(28)).Str("Meter").U16(0).U16(3).Raw({4, 4, 8, 3, 4, 2}).End();
    w.BeginItem(160, 5, TBlockBytes(28)).U16(7).Raw({0, 1, 0, 0xF6, 0xFF, 8, 8}).Str("dim").End();
    w.BeginItem(20, 1, sample::Note(448, 0)).End();
  });
  ASSERT_EQ(m->GetItemCount(), 9);
  auto* chord = dynamic_cast<TKVChord*>(m->GetItem(0));
  ASSERT_TRUE(chord && chord->Entries().Count() == 2);
  EXPECT_EQ(chord->Entries().Get(0)->Record.u8(14), 3);  // 15 of 17 bytes kept
  EXPECT_EQ(chord->Entries().Get(0)->Text, "maj");
  EXPECT_EQ(chord->Notes(), (TBytes{60, 64}));
  auto* frame = dynamic_cast<TKVFrame*>(m->GetItem(1));
  EXPECT_EQ(frame->Values(), (TBytes{1, 0, 2}));
  EXPECT_EQ(frame->GetEntry(1), (TKVFrameEntry{0, 3, 2}));
  EXPECT_EQ(dynamic_cast<TKVMIDIEvent*>(m->GetItem(2))->MidiData(), (TBytes{0x90, 60, 100}));
  EXPECT_EQ(dynamic_cast<TKVSound*>(m->GetItem(3))->AudioData().Bytes(), (TBytes{1, 2, 3, 4}));
  auto* volta = dynamic_cast<TKVMark*>(m->GetItem(4));
  EXPECT_EQ(volta->Text2(), "1.2.");
  EXPECT_EQ(volta->Text1(), "Volta");
  EXPECT_EQ(dynamic_cast<TKVMark*>(m->GetItem(5))->ExtraWord(1), 2);
  auto* meter = dynamic_cast<TKVMark*>(m->GetItem(6));
  EXPECT_EQ(meter->Text1(), "Meter");
  EXPECT_EQ(meter->ExtraWord(2), 0x0204);
  auto* dynamic = dynamic_cast<TKVMark*>(m->GetItem(7));
  ASSERT_TRUE(dynamic->Dynamics());
  EXPECT_TRUE(dynamic->Dynamics()->Relative());
  EXPECT_EQ(dynamic->Dynamics()->Value(), -10);
  EXPECT_EQ(dynamic->Dynamics()->Text, "dim");
  EXPECT_EQ(dynamic_cast<TKVNote*>(m->GetItem(8))->Position(), 448);
}

struct TDamage {
  const char* Name;
  sample::TItemsWriter Items;
  int Measure0Items;
  int FirstNoteItems;  // items attached to the measure's first note
};

class ScoreFileDamage : public testing::TestWithParam<TDamage> {};

// A damaged item costs at most the rest of its record or of its measure;
// the next measure reads normally.
TEST_P(ScoreFileDamage, StaysInsideItsRecord) {
  TKVScore score;
  TKVMeasure* m = LoadItems(score, GetParam().Items);
  ASSERT_EQ(m->GetItemCount(), GetParam().Measure0Items);
  auto* first = dynamic_cast<TKVNote*>(m->GetItem(0));
  EXPECT_EQ(first->Position(), 0);
  EXPECT_EQ(first->GetItemCount(), GetParam().FirstNoteItems);
  EXPECT_EQ(Measure(score, 1)->GetItemCount(), 1);
}

void DeepNotes(W& w) {  // notes attached to notes, far deeper than any real file
  const int depth = 20000;
  w.U16(1);
  for (int i = 0; i < depth; ++i) w.BeginItem(20, 2, sample::Note(0, 0)).U16(i + 1 < depth ? 1 : 0);
  for (int i = 0; i < depth; ++i) w.End();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ScoreFileDamage,
    testing::Values(
        TDamage{"TrailingBytesInARecord",
                [](W& w) {
                  w.U16(2).BeginItem(20, 1, sample::Note(0, 0)).Raw({1, 2, 3, 4, 5}).End();
                  w.BeginItem(20, 1, sample::Note(64, 0)).End();
                },
                2, 0},
        TDamage{"SizeTooSmallForTheText",
                [](W& w) {
                  w.U16(1).BeginItem(20, 3, sample::Note(0, 0)).U16(1).BeginItem(30, 1, TBytes(26)).End().Str("xyz").End(-3);
                },
                1, 1},
        TDamage{"KindWithoutClass",
                [](W& w) {
                  w.U16(3).BeginItem(20, 1, sample::Note(0, 0)).End().BeginItem(5, 0).End();
                  w.BeginItem(20, 1, sample::Note(64, 0)).End();
                },
                1, 0},
        TDamage{"NestingTooDeep", DeepNotes, 1, 1}),
    [](const testing::TestParamInfo<TDamage>& info) { return std::string(info.param.Name); });

TEST(ScoreFileRecords, ATruncatedNoteKeepsTheItemsBeforeIt) {
  TBytes bytes = sample::File().Bytes();
  const std::string text = "n1";  // the text of measure 0's first note
  auto at = std::search(bytes.begin(), bytes.end(), text.begin(), text.end());
  bytes.erase(at + 1, bytes.end());
  TKVScore score;
  EXPECT_EQ(RaisedBy([&] { sample::Load(score, bytes); }), "Stream read error");
  TKVMeasure* m = Measure(score, 0);
  ASSERT_EQ(m->GetItemCount(), 3);
  EXPECT_EQ(dynamic_cast<TKVMark*>(m->GetItem(1))->ExtraWord(0), 0x0305);
  auto* note = dynamic_cast<TKVNote*>(m->GetItem(2));
  EXPECT_EQ(note->Velocity(), 80);
  EXPECT_EQ(note->GetItemCount(), 1);
  EXPECT_EQ(note->Text(), "");
}

class ScoreFileRevision : public testing::TestWithParam<uint16_t> {};

// Older revisions mark every staff and store grace notes without positions.
TEST_P(ScoreFileRevision, RepairsOlderData) {
  const uint16_t revision = GetParam();
  TScoreFile file = sample::File([](W& w) {
    w.U16(1).BeginItem(32, 2, TBlockBytes(12)).U16(3);
    for (uint16_t duration : {32, 32, 64}) w.BeginItem(20, 1, TBlockBytes(36).U16(2, 7).U16(6, duration)).End();
    w.End();
  });
  file.Revision = revision;
  TKVScore score;
  sample::Load(score, file.Bytes());
  EXPECT_EQ(score.GetPiece(0)->GetPart(0)->GetStaff(1)->Data().u8(7), revision < 1025 ? 1 : 0);
  auto* group = dynamic_cast<TKVVorschlag*>(Measure(score, 0)->GetItem(0));
  std::vector<uint16_t> positions;
  for (TKVItem* note : group->Items()) positions.push_back(static_cast<TKVNote*>(note)->Position());
  EXPECT_EQ(positions, revision < 1026 ? (std::vector<uint16_t>{0, 32, 64}) : (std::vector<uint16_t>{7, 7, 7}));
}

INSTANTIATE_TEST_SUITE_P(Revisions, ScoreFileRevision, testing::Values(1024, 1025, 1026));

}  // namespace
