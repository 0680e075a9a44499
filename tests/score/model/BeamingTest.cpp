// The beat grid, beam groups and stem lengths of beamed notes, on scores
// built in code.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "NotationScore.h"

namespace {

// Eighths of voice 0 from position 0, one every 64 ticks.
std::vector<TKVNote*> Eighths(TNotationScore& s, int count, int m = 0) {
  std::vector<TKVNote*> notes;
  for (int i = 0; i < count; ++i) {
    notes.push_back(s.Note(uint16_t(64 * i), 40, 64, 0, 0, m));
    notes.back()->SetValue(64);
  }
  return notes;
}

std::string JoinBits(const std::vector<TKVNote*>& notes) {
  std::string bits;
  for (const TKVNote* note : notes) bits += note->Joined() ? '1' : '0';
  return bits;
}

struct GridCase {
  uint16_t meter;
  uint8_t autoJoin;
  uint8_t beamModeSet, beamMode;
  std::vector<uint16_t> composite;  // composite words of the meter mark
  int eighths;
  const char* joins;
};

class BeatGrid : public ::testing::TestWithParam<GridCase> {};

TEST_P(BeatGrid, JoinsNotesWithinOneBeat) {
  TNotationScore s;
  s.SetMeter(GetParam().meter);
  s.score.SetAutoJoin(GetParam().autoJoin);
  s.Measure().Data().setU8(MeasureBlock::BeamModeSet, GetParam().beamModeSet);
  s.Measure().Data().setU8(MeasureBlock::BeamMode, GetParam().beamMode);
  if (!GetParam().composite.empty()) {
    TKVMark* meterMark = s.Mark(ItemKind::Meter, 0, GetParam().meter);
    meterMark->Extra().Resize(2 * GetParam().composite.size());
    for (size_t i = 0; i < GetParam().composite.size(); ++i) meterMark->Extra().setU16(2 * i, GetParam().composite[i]);
    s.Record().MeterMark = meterMark;
  }
  std::vector<TKVNote*> notes = Eighths(s, GetParam().eighths);
  for (TKVNote* note : notes) s.Measure().CalcBeatGrid(note, false);
  EXPECT_EQ(JoinBits(notes), GetParam().joins);
}

INSTANTIATE_TEST_SUITE_P(
    Meters, BeatGrid,
    ::testing::Values(GridCase{0x0608, 2, 0, 0, {}, 6, "110110"},              // dotted-quarter beats of 192
                      GridCase{0x0404, 2, 0, 0, {}, 8, "10101010"},            // quarter beats
                      GridCase{0x0404, 3, 0, 0, {}, 8, "11101110"},            // two beats of 256
                      GridCase{0x0404, 3, 1, 0, {}, 8, "11101110"},            // beam mode 0 falls back
                      GridCase{0x0404, 2, 1, 5, {}, 8, "10101010"},            // beam mode 5: four beats
                      GridCase{0x0404, 0, 0, 0, {}, 8, "00000000"},            // no automatic beaming
                      GridCase{0x0308, 2, 1, 255, {}, 3, "000"},               // a beat of 0 ticks: none
                      GridCase{0x0004, 2, 0, 0, {}, 8, "10101010"},            // no numerator: quarters
                      GridCase{0x0400, 2, 0, 0, {}, 8, "10101010"},            // no denominator
                      GridCase{0x0808, 2, 0, 0, {0x0308, 0x0308, 0x0208}, 8, "11011010"},  // 3+3+2/8
                      GridCase{0x0808, 2, 0, 0, {0x0300, 0x0508}, 8, "11110110"}));        // a part over 0 skipped

TEST(BeamGroups, ChordsAloneGetNoBeamAndLongNotesSplitGroups) {
  TNotationScore s;
  TKVNote* chordLow = s.Note(0, 40, 64);
  TKVNote* chordHigh = s.Note(0, 44, 64);
  TKVNote* e1 = s.Note(128, 40, 64);
  TKVNote* e2 = s.Note(192, 40, 64);
  TKVNote* quarter = s.Note(256, 40, 128);
  TKVNote* e3 = s.Note(384, 40, 64);
  TKVNote* e4 = s.Note(448, 40, 64);
  for (TKVNote* note : {chordLow, chordHigh, e1, e2, quarter, e3, e4}) note->SetValue(note->Duration());
  for (TKVNote* note : {chordLow, chordHigh}) note->SetFlag(NoteFlag::Chord, true);
  for (TKVNote* note : {chordLow, chordHigh, e1, e2, e3}) note->SetJoin(1);
  chordHigh->SetJoin(0);
  TKVNote* excluded = s.Note(480, 40, 32);
  excluded->SetValue(32);
  excluded->PlayState = 1;
  excluded->BeamGroup = 9;
  s.Measure().Notes().push_back(excluded);

  s.Measure().BuildBeamGroups(0, false, nullptr);
  EXPECT_EQ(s.Measure().Notes(), (std::vector<TKVNote*>{e1, e2, e3, e4}));
  std::vector<int> groups;
  for (TKVNote* note : {chordLow, chordHigh, e1, e2, quarter, e3, e4, excluded}) groups.push_back(note->BeamGroup);
  EXPECT_EQ(groups, (std::vector<int>{0, 0, 1, 1, 0, 2, 2, 0}));
  ASSERT_EQ(s.Measure().GroupRanges().size(), 2u);
  EXPECT_EQ(s.Measure().GroupRanges()[1].First, 2);
  EXPECT_EQ(s.Measure().GroupRanges()[1].Last, 3);
  s.Measure().CalcBeamGeometry(200);  // a stale group number is ignored
}

TEST(BeamGroups, GroupContinuesIntoTheNextMeasure) {
  TNotationScore s(1, 1, 2);
  s.Measure(0).Data().setBit(MeasureBlock::Flags, MeasureBlock::BeamsContinue, true);
  TKVNote* last = s.Note(448, 40, 64, 0, 0, 0);
  last->SetValue(64);
  last->SetJoin(1);
  std::vector<TKVNote*> next = Eighths(s, 2, 1);
  next[0]->SetJoin(0);
  s.Measure(0).BuildBeamGroups(0, false, nullptr);
  EXPECT_EQ(s.Measure(0).Notes(), (std::vector<TKVNote*>{last, next[0]}));
  EXPECT_TRUE(next[0]->Flag(NoteFlag::BeamFromPrevious));
  EXPECT_EQ(next[1]->BeamGroup, 0);
  s.Measure(1).BuildBeamGroups(0, false, nullptr);
  EXPECT_EQ(next[0]->BeamGroup, 1) << "kept: the previous measure holds it";
  EXPECT_TRUE(s.Measure(1).Notes().empty());
  delete next[0];  // leaves the previous measure's beam order too
  EXPECT_EQ(s.Measure(0).Notes(), std::vector<TKVNote*>{last});
}

TEST(BeamGroups, GroupNumbersStopAt255) {
  TNotationScore s;
  std::vector<TKVNote*> firsts;
  for (int pair = 0; pair < 260; ++pair) {
    for (int k = 0; k < 2; ++k) {
      TKVNote* note = s.Note(uint16_t(2 * pair + k), 40, 1);
      note->SetValue(1);
      note->SetJoin(k == 0);
      if (k == 0) firsts.push_back(note);
    }
  }
  s.Measure().BuildBeamGroups(0, false, nullptr);
  EXPECT_EQ(firsts[254]->BeamGroup, 255);
  EXPECT_EQ(firsts[255]->BeamGroup, 0);
  EXPECT_EQ(s.Measure().Notes().size(), 510u);
}

struct GeometryCase {
  std::vector<int> lines;
  const char* stems;  // 'u' or 'd' per note
  std::vector<int> lengths;
};

class BeamGeometry : public ::testing::TestWithParam<GeometryCase> {};

// Default page: 3 pixels per staff step; default stem length 24.
TEST_P(BeamGeometry, StemLengthsMakeTheBeamClearTheHeads) {
  TNotationScore s;
  s.Clef(1);
  std::vector<TKVNote*> notes;
  for (size_t i = 0; i < GetParam().lines.size(); ++i) {
    TKVNote* note = s.Note(uint16_t(64 * i), GetParam().lines[i], 64);
    note->SetValue(64);
    note->SetJoin(i + 1 < GetParam().lines.size());
    note->SetFlag(NoteFlag::StemDown, GetParam().stems[i] == 'd');
    notes.push_back(note);
  }
  s.Measure().BuildBeamGroups(0, true, notes[0]);
  std::vector<int> lengths;
  for (const TKVNote* note : notes) lengths.push_back(note->StemLength());
  EXPECT_EQ(lengths, GetParam().lengths);
}

INSTANTIATE_TEST_SUITE_P(
    Groups, BeamGeometry,
    ::testing::Values(GeometryCase{{40, 42}, "uu", {27, 24}},                      // slant reduced by one step
                      GeometryCase{{40, 42}, "dd", {24, 27}},
                      GeometryCase{{40, 44, 40}, "uuu", {36, 24, 36}},              // inner head lifts both ends
                      GeometryCase{{40, 41, 42, 43, 44}, "uuuuu", {36, 33, 30, 27, 24}},  // long group: level
                      GeometryCase{{40, 42, 44, 46}, "uuuu", {36, 32, 28, 24}},     // inner stems follow the slant
                      GeometryCase{{50, 30}, "du", {30, 30}},                       // mixed: beam between
                      GeometryCase{{40, 45}, "du", {24, 36}}));                     // mixed but close
}  // namespace
