// The item factory over every kind value, casts by element and owner class,
// the measure an item lies in, and the repeat numbers of voltas.

#include <gtest/gtest.h>

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
#include "score/model/UserSymbol.h"
#include "score/model/Vorschlag.h"

namespace {

// Every kind the factory knows makes an item of that kind in its owner;
// a few rows of the kind table name their class.
TEST(ItemFactory, EveryKindValueGivesItsClassOrNothing) {
  TKVScore score;
  TKVMeasure* measure = score.NewPiece()->NewPart()->NewMeasure();
  int made = 0;
  for (int kind = 0; kind < 256; ++kind) {
    TKVItem* item = CreateItemByKind(uint8_t(kind), measure);
    EXPECT_EQ(item != nullptr, KindHasClass(uint8_t(kind))) << kind;
    if (!item) continue;
    EXPECT_EQ(item->Kind(), kind);  // the factory's kind, not the constructor's
    EXPECT_EQ(measure->GetItem(made++), item) << kind;
  }
  EXPECT_EQ(made, 81);  // the classes of the kind table
  const std::pair<int, const std::type_info*> rows[] = {
      {20, &typeid(TKVNote)},  {43, &typeid(TKVNote)},   {21, &typeid(TKVPause)},     {35, &typeid(TKVLyric)},
      {36, &typeid(TKVFrame)}, {119, &typeid(TKVBend)},  {173, &typeid(TKVMark)},     {207, &typeid(TKVArc)},
      {215, &typeid(TKVPageMark)}, {220, &typeid(TKVMIDIEvent)}, {221, &typeid(TKVSound)}};
  for (auto [kind, type] : rows) {
    std::unique_ptr<TKVItem> item(CreateItemByKind(uint8_t(kind), nullptr));
    EXPECT_EQ(typeid(*item), *type) << kind;
  }
}

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

// ---- casts by class ----

template <class... T>
struct TClasses {};
using TElementClasses = TClasses<TKVNote, TKVPause, TKVVorschlag, TKVMark, TKVLyric, TKVLiga, TKVChord, TKVFrame,
                                 TKVBend, TKVEffect, TKVMIDIEvent, TKVSound, TKVText, TKVVoicedItem>;

template <class... T>
void ExpectItemCastsAgree(TKVItem* item, TClasses<T...>) {
  const TKVItem* constant = item;
  auto agree = [&]<class C>(TClasses<C>) {
    EXPECT_EQ(ItemCast<C>(item), dynamic_cast<C*>(item)) << typeid(C).name() << " kind " << int(item->Kind());
    EXPECT_EQ(ItemCast<const C>(constant), dynamic_cast<const C*>(constant)) << typeid(C).name();
  };
  (agree(TClasses<T>{}), ...);
}

template <class... T>
void ExpectOwnerCastsAgree(const TKVItem& item, TClasses<T...>) {
  auto agree = [&]<class C>(TClasses<C>) { EXPECT_EQ(item.OwnerAs<C>(), dynamic_cast<C*>(item.Owner())) << typeid(C).name(); };
  (agree(TClasses<T>{}), ...);
  EXPECT_EQ(item.OwnerItem(), dynamic_cast<TKVItem*>(item.Owner()));
  EXPECT_EQ(item.OwnerHolder(), dynamic_cast<TKVItemHolder*>(item.Owner()));
}

// The element class decides, not the kind byte, which any item may be given.
TEST(ItemCasts, AgreeWithTheClassTreeForEveryKindAndChangedKinds) {
  for (int kind = 0; kind < 256; ++kind) {
    std::unique_ptr<TKVItem> item(CreateItemByKind(uint8_t(kind), nullptr));
    if (item) ExpectItemCastsAgree(item.get(), TElementClasses{});
  }
  TKVNote note(nullptr);
  note.SetKind(ItemKind::Rest);
  TKVItem plain(nullptr);
  plain.SetKind(ItemKind::Note);
  TKVMark mark(nullptr);
  mark.SetKind(ItemKind::Note);
  for (TKVItem* item : std::initializer_list<TKVItem*>{&note, &plain, &mark, nullptr})
    if (item) ExpectItemCastsAgree(item, TElementClasses{});
  EXPECT_EQ(ItemCast<TKVNote>(static_cast<TKVItem*>(nullptr)), nullptr);
}

TEST(ItemCasts, OwnerOfEveryClassAndAfterAChangeOfOwner) {
  using TOwnerClasses = TClasses<TKVNote, TKVPause, TKVVorschlag, TKVMark, TKVLiga, TKVMeasure, TKVColumn, TKVPart,
                                 TKVScore, TKVUserSymbol, TKVPiece>;
  TKVScore score;
  TKVPiece* piece = score.NewPiece();
  TKVPart* part = piece->NewPart();
  TKVMeasure* measure = part->NewMeasure();
  auto* note = new TKVNote(measure);
  auto* mark = new TKVMark(measure);
  TKVUserSymbol symbol;
  TObject* owners[] = {note,  new TKVPause(measure), new TKVVorschlag(measure), mark, measure, piece->NewColumn(),
                       part,  &score,               &symbol,                   piece, nullptr};
  for (TObject* owner : owners) {
    TKVLiga item(owner);
    ExpectOwnerCastsAgree(item, TOwnerClasses{});
    item.ChangeOwner(note);
    ExpectOwnerCastsAgree(item, TOwnerClasses{});
    EXPECT_EQ(note->GetItem(note->GetItemCount() - 1), &item);
    item.ChangeOwner(owner);
    ExpectOwnerCastsAgree(item, TOwnerClasses{});
  }
  EXPECT_EQ(note->GetItemCount(), 0);  // every item left the note again
  EXPECT_EQ(symbol.GetItemCount(), 0);  // a user symbol lists only the items its creator inserts
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
