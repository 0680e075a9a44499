// The item factory over every kind value, the measure an item lies in, and
// the repeat numbers of voltas.

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <typeinfo>

#include "score/model/Chord.h"
#include "score/model/Column.h"
#include "score/model/Frame.h"
#include "score/model/Image.h"
#include "score/model/ItemFactory.h"
#include "score/model/Liga.h"
#include "score/model/Lyric.h"
#include "score/model/Mark.h"
#include "score/model/Measure.h"
#include "score/model/Note.h"
#include "score/model/OleObject.h"
#include "score/model/PageTexts.h"
#include "score/model/Part.h"
#include "score/model/Pause.h"
#include "score/model/Piece.h"
#include "score/model/RepeatNumber.h"
#include "score/model/Score.h"
#include "score/model/SimpleElements.h"
#include "score/model/Sound.h"
#include "score/model/Vorschlag.h"

namespace {

// The kind table as documented, row by row.
std::map<int, const std::type_info*> ExpectedClasses() {
  std::map<int, const std::type_info*> table;
  for (int k : {1, 2, 3, 4, 6, 7, 8, 27, 28, 37, 40, 41, 42, 45, 50, 70, 71, 72, 85, 141, 142, 143, 149, 150, 151})
    table[k] = &typeid(TKVMark);
  for (auto [first, last] : {std::pair{110, 118}, {120, 125}, {130, 133}, {153, 160}, {169, 173}})
    for (int k = first; k <= last; ++k) table[k] = &typeid(TKVMark);
  table[20] = table[43] = &typeid(TKVNote);
  table[21] = &typeid(TKVPause);
  table[22] = &typeid(TKVEffect);
  table[30] = &typeid(TKVLiga);
  table[31] = &typeid(TKVChord);
  table[32] = &typeid(TKVVorschlag);
  table[33] = table[34] = table[35] = &typeid(TKVLyric);
  table[36] = &typeid(TKVFrame);
  table[119] = &typeid(TKVBend);
  table[161] = &typeid(TKVOleObject);
  table[200] = &typeid(TKVText);
  table[201] = &typeid(TKVImage);
  table[202] = &typeid(TKVLine);
  table[203] = table[204] = &typeid(TKVRectangle);
  table[205] = table[206] = table[207] = &typeid(TKVArc);
  table[215] = &typeid(TKVPageMark);
  table[220] = &typeid(TKVMIDIEvent);
  table[221] = &typeid(TKVSound);
  return table;
}

TEST(ItemFactory, EveryKindValueGivesItsClassOrNothing) {
  const auto expected = ExpectedClasses();
  TKVScore score;
  TKVMeasure* measure = score.NewPiece()->NewPart()->NewMeasure();
  int made = 0;
  for (int kind = 0; kind < 256; ++kind) {
    TKVItem* item = CreateItemByKind(uint8_t(kind), measure);
    auto at = expected.find(kind);
    if (at == expected.end()) {
      EXPECT_EQ(item, nullptr) << kind;
      EXPECT_FALSE(KindHasClass(uint8_t(kind)));
      continue;
    }
    ASSERT_NE(item, nullptr) << kind;
    EXPECT_EQ(typeid(*item), *at->second) << kind;
    EXPECT_EQ(item->Kind(), kind);  // the factory's kind, not the constructor's
    EXPECT_EQ(item->Owner(), measure);
    EXPECT_EQ(measure->GetItem(made++), item) << kind;
  }
  EXPECT_EQ(made, int(expected.size()));
  EXPECT_EQ(measure->GetItemCount(), made);
}

struct TBlockCase {
  uint8_t kind;
  uint16_t size;
  std::vector<std::pair<size_t, uint8_t>> bytes;  // non-zero defaults
};

class ElementDefaults : public ::testing::TestWithParam<TBlockCase> {};

TEST_P(ElementDefaults, BlockSizeAndDefaults) {
  const TBlockCase& c = GetParam();
  std::unique_ptr<TKVItem> item(CreateItemByKind(c.kind, nullptr));
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->DataSize(), c.size);
  TByteBlock expected(c.size);
  for (auto [offset, value] : c.bytes) expected.setU8(offset, value);
  EXPECT_EQ(item->Data(), expected) << int(c.kind);
}

INSTANTIATE_TEST_SUITE_P(Table, ElementDefaults,
                         ::testing::Values(TBlockCase{20, 36, {{12, 64}, {15, 20}}}, TBlockCase{43, 36, {{12, 64}, {15, 20}}},
                                           TBlockCase{21, 20, {{17, 100}}}, TBlockCase{31, 20, {}},
                                           TBlockCase{32, 12, {}}, TBlockCase{30, 26, {}},
                                           TBlockCase{6, 28, {{15, 100}, {20, 2}}}, TBlockCase{34, 24, {}},
                                           TBlockCase{119, 28, {{19, 100}}}, TBlockCase{36, 16, {{9, 24}, {10, 5}}},
                                           TBlockCase{22, 9, {{6, 64}}}, TBlockCase{201, 16, {}},
                                           TBlockCase{202, 20, {}}, TBlockCase{204, 26, {}}, TBlockCase{206, 34, {}},
                                           TBlockCase{200, 28, {}}, TBlockCase{215, 28, {}}, TBlockCase{220, 4, {}},
                                           TBlockCase{221, 4, {}}, TBlockCase{161, 16, {}}));

TEST(ItemFactory, KeySignatureGetsAZeroKeyTableOtherMarksNone) {
  std::unique_ptr<TKVItem> key(CreateItemByKind(3, nullptr));
  EXPECT_EQ(static_cast<TKVMark*>(key.get())->Extra(), TByteBlock(14));
  std::unique_ptr<TKVItem> clef(CreateItemByKind(2, nullptr));
  EXPECT_EQ(static_cast<TKVMark*>(clef.get())->Extra().Size(), 0u);
}

TEST(ItemFactory, CloningSkipsKindsWithoutAClass) {
  TKVScore score;
  TKVMeasure* measure = score.NewPiece()->NewPart()->NewMeasure();
  auto* note = new TKVNote(measure);
  new TKVLiga(note);
  auto* unknown = new TKVItem(note);
  unknown->SetKind(44);
  CreateItemByKind(6, note);
  auto* copy = new TKVNote(measure);
  copy->Assign(*note);
  ASSERT_EQ(copy->GetItemCount(), 2);
  EXPECT_EQ(copy->GetItem(0)->Kind(), 30);
  EXPECT_EQ(copy->GetItem(1)->Kind(), 6);
  EXPECT_EQ(copy->GetItem(1)->Owner(), copy);
}

// ---- the measure an item lies in ----

TEST(ItemMeasure, ThroughNotesRestsAndGraceGroups) {
  TKVScore score;
  TKVPiece* piece = score.NewPiece();
  TKVPart* part = piece->NewPart();
  TKVMeasure* measure = part->NewMeasure();
  auto* note = new TKVNote(measure);
  auto* rest = new TKVPause(measure);
  auto* group = new TKVVorschlag(measure);
  auto* grace = new TKVNote(group);
  auto* second = new TKVNote(measure);
  second->SetKind(43);
  struct {
    TKVItem* item;
    TKVMeasure* measure;
  } cases[] = {
      {note, measure},
      {new TKVLiga(note), measure},
      {new TKVMark(rest), measure},
      {grace, measure},
      {new TKVLiga(grace), measure},
      {new TKVMark(second), measure},
      {new TKVMark(piece->NewColumn()), nullptr},
      {new TKVMark(part), nullptr},
      {new TKVText(&score), nullptr},
  };
  for (auto& c : cases) EXPECT_EQ(c.item->GetMeasure(), c.measure) << int(c.item->Kind());
  TKVItem loose(nullptr);
  EXPECT_EQ(loose.GetMeasure(), nullptr);
  TKVText onText(new TKVText(&score));  // an owner of no listing class
  EXPECT_EQ(onText.GetMeasure(), nullptr);
}

// ---- repeat numbers ----

struct TRepeatCase {
  const char* text;
  int number;
  std::vector<int> passes;  // passes 0..7 that match
};

class RepeatNumbers : public ::testing::TestWithParam<TRepeatCase> {};

TEST_P(RepeatNumbers, MatchExactlyTheListedPasses) {
  const TRepeatCase& c = GetParam();
  TKVMark volta(nullptr);
  volta.SetKind(171);
  volta.SetText2(c.text);
  volta.SetVariant(uint8_t(c.number));
  for (int pass = 0; pass < 8; ++pass) {
    bool listed = std::find(c.passes.begin(), c.passes.end(), pass) != c.passes.end();
    EXPECT_EQ(CompareRepeatNumber(&volta, pass) == 0, listed) << c.text << " pass " << pass;
  }
}

INSTANTIATE_TEST_SUITE_P(Table, RepeatNumbers,
                         ::testing::Values(TRepeatCase{"1.", 0, {1}}, TRepeatCase{"1., 2.", 0, {1, 2}},
                                           TRepeatCase{"1.-3.", 0, {1, 2, 3}},
                                           TRepeatCase{"2.-4., 6.", 0, {2, 3, 4, 6}}, TRepeatCase{"3", 0, {3}},
                                           TRepeatCase{"1-3", 0, {1, 2, 3}}, TRepeatCase{"2-3, 5", 0, {2, 3, 5}},
                                           TRepeatCase{"fine", 5, {0}}, TRepeatCase{"", 0, {0}},
                                           TRepeatCase{"", 3, {3}}, TRepeatCase{"99999999999", 0, {0}}));

TEST(RepeatNumbers, NumberByteComparesBelowAndAbove) {
  TKVMark volta(nullptr);
  volta.SetVariant(3);
  EXPECT_EQ(CompareRepeatNumber(&volta, 4), -1);
  EXPECT_EQ(CompareRepeatNumber(&volta, 2), 1);
  EXPECT_EQ(CompareRepeatNumber(&volta, 3), 0);
  EXPECT_NE(CompareRepeatNumber(nullptr, 0), 0);
}

}  // namespace
