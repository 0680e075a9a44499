// Chord order and head sides, several voices on a staff, stem directions,
// item order and the tuplet lookup, on scores built in code.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "score/model/Vorschlag.h"
#include "NotationScore.h"

namespace {

// "o" for a head on the other side of the stem, "-" for the normal side, in
// list order.
std::string Sides(const std::vector<TKVNote*>& notes) {
  std::string sides;
  for (const TKVNote* note : notes) sides += note->Flag(NoteFlag::OtherSide) ? 'o' : '-';
  return sides;
}

struct ClusterCase {
  int size;
  bool stemDown;
  bool ascending;
  const char* sides;  // lowest first
};

class ChordCluster : public ::testing::TestWithParam<ClusterCase> {};

// A cluster of seconds entered top first: ArrangeChord sorts it into
// ascending list order and alternates the head sides; which note of a pair
// moves depends on the stem and the walk.
TEST_P(ChordCluster, SortsAndAlternatesHeadSides) {
  TNotationScore s;
  std::vector<TKVNote*> chord(size_t(GetParam().size));
  for (int i = GetParam().size - 1; i >= 0; --i) {
    chord[size_t(i)] = s.Note(0, 35 + i);
    chord[size_t(i)]->SetFlag(NoteFlag::Chord, true);
    chord[size_t(i)]->SetFlag(NoteFlag::StemDown, GetParam().stemDown);
  }
  TKVItem* effect = CreateItemByKind(ItemKind::Effect, &s.Measure());
  TKVNote* other = s.Note(128, 30);
  EXPECT_TRUE(s.Measure().ArrangeChord(s.Key(), 0, true, GetParam().ascending));
  for (size_t i = 0; i < chord.size(); ++i) EXPECT_EQ(s.Measure().GetItem(int32_t(i)), chord[i]);
  EXPECT_EQ(s.Measure().GetItem(GetParam().size), effect) << "other items keep their slots";
  EXPECT_EQ(s.Measure().GetItem(GetParam().size + 1), other);
  EXPECT_EQ(Sides(chord), GetParam().sides);
  EXPECT_FALSE(s.Measure().ArrangeChord(s.Key(), 0, true, GetParam().ascending)) << "idempotent";
  EXPECT_EQ(Sides(chord), GetParam().sides);
}

INSTANTIATE_TEST_SUITE_P(Stems, ChordCluster,
                         ::testing::Values(ClusterCase{3, false, true, "-o-"}, ClusterCase{3, true, true, "o-o"},
                                           ClusterCase{4, false, true, "-o-o"}, ClusterCase{4, true, true, "o-o-"},
                                           ClusterCase{4, false, false, "o-o-"}, ClusterCase{4, true, false, "-o-o"}));

TEST(ChordRules, SingleNoteLosesChordBitsAndLowestLinesDoNotPairWithNothing) {
  TNotationScore s;
  TKVNote* note = s.Note(0, 1);  // line 1: next to the walk's starting line -1
  note->SetFlags(0x03);
  EXPECT_FALSE(s.Measure().ArrangeChord(s.Key(), 0, false, true));
  EXPECT_EQ(note->Flags(), 0x01) << "a chord note without a previous one stands on the normal side";
  note->SetFlag(NoteFlag::OtherSide, true);
  s.Measure().ArrangeChord(s.Key(), 0, true, true);
  EXPECT_EQ(note->Flags(), 0);
}

TEST(VoiceRules, RestOffsetsFollowTheVoiceCountAndCurrentVoiceMoves) {
  TNotationScore s(1, 3);
  TKVPause* rest1 = s.Rest(0, 128, 0, 1);
  s.Measure().UpdateVoiceLayout(-1, true);
  EXPECT_EQ(rest1->OffsetY(), 0);
  EXPECT_EQ(s.part->GetStaff(0)->Data().u8(StaffBlock::CurrentVoice), 1);

  TKVPause* rest0 = s.Rest(128, 128, 0, 0);
  s.Note(0, 40, 128, 0, 0);
  s.Measure().UpdateVoiceLayout(0, true);
  EXPECT_TRUE(s.Measure().StaffHasVoices(0));
  EXPECT_EQ(rest1->OffsetY(), 96);
  EXPECT_EQ(rest0->OffsetY(), -96);
  EXPECT_EQ(s.part->GetStaff(0)->Data().u8(StaffBlock::CurrentVoice), 1) << "voice 1 still occurs";

  TNotationScore only2(1, 3);
  only2.Note(0, 40, 128, 0, 2);
  only2.Measure().UpdateVoiceLayout(-1, false);
  EXPECT_EQ(only2.part->GetStaff(0)->Data().u8(StaffBlock::CurrentVoice), 2);
  EXPECT_FALSE(only2.Measure().StaffHasVoices(0));
}

TEST(VoiceRules, SecondAgainstFirstVoiceShiftsTheHigherVoice) {
  TNotationScore s(1, 2);
  TKVNote* lower = s.Note(0, 40, 128, 0, 0);
  TKVNote* upper = s.Note(0, 41, 128, 0, 1);
  s.Measure().UpdateVoiceLayout(-1, true);
  EXPECT_TRUE(upper->Flag(NoteFlag::Shifted));
  EXPECT_FALSE(lower->Flag(NoteFlag::Shifted));
  EXPECT_TRUE(upper->StemDown()) << "the higher voice's stems go down";
  EXPECT_FALSE(lower->StemDown());
  upper->SetPitch(MakePitch(6, 1));  // line 43: a third away
  s.Measure().UpdateStems();
  EXPECT_FALSE(upper->Flag(NoteFlag::Shifted));
}

TEST(VoiceRules, ItemsOfAStaffBeyondThePartAreLeftAlone) {
  TNotationScore s;
  TKVNote* stray = s.Note(0, 40);
  stray->SetStaffVoice(MakeStaffVoice(5, 1));
  stray->VoiceKey().StaffIndex = 5;
  s.Measure().UpdateVoiceLayout(-1, true);
  s.Measure().UpdateVoiceLayout(7, true);
  s.Measure().CalcStemDirection(0, stray->VoiceKey(), 0);
  EXPECT_EQ(s.Measure().StaffBytes().size(), 1u);
  EXPECT_FALSE(s.Measure().StaffHasVoices(5));
}

struct StemCase {
  int clefCode;
  std::vector<int> lines;
  bool down;
};

class StemByClef : public ::testing::TestWithParam<StemCase> {};

// The note farthest from the middle line decides, a tie gives stems up; the
// clef in force moves the middle line, and a clef code from a damaged file
// counts as offset 0. The tuplet over the chord follows the stems.
TEST_P(StemByClef, FarthestNoteDecides) {
  TNotationScore s;
  s.Clef(1);
  if (GetParam().clefCode != 1) s.Clef(uint8_t(GetParam().clefCode), 0);
  std::vector<TKVNote*> notes;
  for (int line : GetParam().lines) notes.push_back(s.Note(0, line));
  TKVMark* tuplet = s.Mark(ItemKind::Tuplet, 0, 64);
  tuplet->SetVariant(3);
  s.Measure().CalcStemDirection(0, s.Key(), 0);
  for (const TKVNote* note : notes) EXPECT_EQ(note->StemDown(), GetParam().down);
  EXPECT_EQ(bool(tuplet->Flags() & 0x10), GetParam().down);
}

INSTANTIATE_TEST_SUITE_P(Lines, StemByClef,
                         ::testing::Values(StemCase{1, {38, 43}, true}, StemCase{1, {37, 43}, false},
                                           StemCase{25, {38, 43}, true}, StemCase{2, {30, 31}, true},
                                           StemCase{16, {50, 51}, false}));

TEST(StemRules, ClefChangeInsideTheMeasureCountsFromItsPosition) {
  TNotationScore s;
  s.Clef(1);
  s.Clef(2, 256);  // offset -12: everything reads higher
  TKVNote* early = s.Note(0, 39);
  TKVNote* late = s.Note(256, 39);
  s.Measure().CalcStemDirection(0, s.Key(), 0);
  s.Measure().CalcStemDirection(0, s.Key(), 256);
  EXPECT_FALSE(early->StemDown());
  EXPECT_TRUE(late->StemDown());
}

TEST(StemRules, CrossStaffVoicePointsTowardsTheOtherStaff) {
  TNotationScore s(2, 1);
  s.part->GetStaff(0)->GetVoice(0)->SetSecondStaffRef(2);
  s.part->ResolveSecondStaffs();
  TKVNote* upper = s.Note(0, 45, 64, 0, 0);
  TKVNote* lower = s.Note(0, 30, 64, 0, 0);
  lower->SetStaffVoice(MakeStaffVoice(1, 0));
  s.Measure().CalcStemDirection(0, s.Key(), 0);
  EXPECT_TRUE(upper->StemDown());
  EXPECT_FALSE(lower->StemDown());
}

TEST(GraceRules, GraceChordFollowsTheClefAndAlternatesSeconds) {
  TNotationScore s(1, 2);
  auto* group = static_cast<TKVVorschlag*>(CreateItemByKind(ItemKind::GraceGroup, &s.Measure()));
  std::vector<TKVNote*> graces;
  for (int line : {44, 45}) {
    auto* grace = static_cast<TKVNote*>(CreateItemByKind(ItemKind::Note, group));
    grace->SetPitch(MakePitch(line / 7, line % 7));
    grace->VoiceKey() = s.Key();
    grace->SetFlag(NoteFlag::Chord, true);
    graces.push_back(grace);
  }
  group->ArrangeStems(0, s.Key(), 0);
  EXPECT_TRUE(graces[0]->StemDown());
  EXPECT_EQ(Sides(graces), "o-");

  s.Note(0, 30, 128, 0, 1);  // a second voice on the staff: voice 0 stems up
  s.Measure().UpdateVoiceLayout(-1, true);
  EXPECT_FALSE(graces[0]->StemDown());
  EXPECT_EQ(Sides(graces), "-o");
}

TEST(ItemOrder, SortsByTimeThenVoiceThenLineAndLeavesUnorderedItems) {
  TNotationScore s(1, 2);
  TKVNote* late = s.Note(256, 40);
  TKVItem* effect = CreateItemByKind(ItemKind::Effect, &s.Measure());
  TKVNote* high = s.Note(0, 45);
  TKVNote* otherVoice = s.Note(0, 20, 128, 0, 1);
  TKVPause* rest = s.Rest(0, 128, 0, 1);
  TKVNote* low = s.Note(0, 41);
  TKVNote* middle = s.Note(0, 43);
  s.Measure().SortItems();
  // The effect is never chosen; it only moves back as ordered items pass it.
  std::vector<TKVItem*> expected = {low, middle, high, otherVoice, rest, late, effect};
  EXPECT_EQ(s.Measure().Items().Items(), expected);
  s.Measure().SortItems();
  EXPECT_EQ(s.Measure().Items().Items(), expected) << "idempotent";
  EXPECT_EQ(TKVMeasure::GetItemTime(effect), -1);
  EXPECT_EQ(TKVMeasure::GetItemVoiceKey(effect), TKVVoiceKey{});
}

TEST(ItemOrder, FindTupletAtCoversUnitTimesNormalCount) {
  TNotationScore s(1, 2);
  TKVMark* triplet = s.Mark(ItemKind::Tuplet, 128, 64);  // three eighths in 128 ticks
  triplet->SetVariant(3);
  EXPECT_EQ(s.Measure().FindTupletAt(s.Key(), 128), triplet);
  EXPECT_EQ(s.Measure().FindTupletAt(s.Key(), 255), triplet);
  EXPECT_EQ(s.Measure().FindTupletAt(s.Key(), 256), nullptr);
  EXPECT_EQ(s.Measure().FindTupletAt(s.Key(), 127), nullptr);
  EXPECT_EQ(s.Measure().FindTupletAt(s.Key(0, 1), 128), nullptr) << "another voice";
}

}  // namespace
