// Rest filling of a measure's free time on scores built in code.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "NotationScore.h"

namespace {

using Spans = std::vector<std::pair<uint16_t, uint16_t>>;  // position, duration

struct GapCase {
  uint16_t meter;
  Spans notes;
  Spans rests;  // already in the measure
  const char* filled;
};

class GapFilling : public ::testing::TestWithParam<GapCase> {};

TEST_P(GapFilling, FillsTheFreeTimeOfVoiceZero) {
  TNotationScore s;
  s.SetMeter(GetParam().meter);
  for (auto [position, duration] : GetParam().notes) s.Note(position, 40, duration);
  for (auto [position, duration] : GetParam().rests) s.Rest(position, duration);
  s.Measure().FillRests(false, 0, false);
  EXPECT_EQ(s.Rests(), GetParam().filled);
}

INSTANTIATE_TEST_SUITE_P(
    Meters, GapFilling,
    ::testing::Values(GapCase{0x0404, {{0, 128}}, {}, "128@128 256@256"},
                      GapCase{0x0404, {{384, 128}}, {}, "256@0 128@256"},
                      GapCase{0x0304, {{0, 128}}, {}, "256@128"},
                      GapCase{0x0404, {{0, 506}}, {}, "2@506 4@508"},
                      GapCase{0x0404, {{0, 509}}, {}, ""},
                      GapCase{0x0304, {}, {{0, 512}}, "512@0"},        // a whole rest fills a 3/4 measure
                      GapCase{0x0404, {{448, 128}}, {}, "256@0 128@256 64@384"},  // sounds past the bar line
                      GapCase{0x0404, {{0, 256}, {128, 256}}, {}, "256@256"},     // an overlap cuts nothing
                      GapCase{0x0004, {{0, 128}}, {}, ""},                        // no numerator: no meter
                      GapCase{0x0400, {{0, 128}}, {}, ""}));                      // no denominator

TEST(RestFilling, TupletSlotsGiveTheRestsInsideATuplet) {
  TNotationScore s;
  TKVMark* triplet = s.Mark(ItemKind::Tuplet, 0, 64);
  triplet->SetVariant(3);
  triplet->Extra().Resize(6);
  for (int32_t i = 0; i < 3; ++i) triplet->Extra().setU16(size_t(2 * i), uint16_t(i < 2 ? 43 : 42));
  s.Note(0, 40, 43);
  s.Measure().FillRests(false, 0, false);
  EXPECT_EQ(s.Rests(), "43@43 42@86 128@128 256@256");
  EXPECT_EQ(static_cast<TKVPause*>(s.Measure().GetItem(2))->Value(), 64) << "written as the tuplet's unit";

  // Slots that run out before the gap: the plain rule takes over.
  TNotationScore short_;
  TKVMark* broken = short_.Mark(ItemKind::Tuplet, 0, 64);
  broken->SetVariant(3);
  broken->Extra().Resize(2);
  broken->Extra().setU16(0, 42);
  short_.Note(0, 40, 42);
  short_.Measure().FillRests(false, 0, false);
  int32_t covered = 42;
  for (TKVItem* item : short_.Measure().Items())
    if (auto* rest = dynamic_cast<TKVPause*>(item)) covered += rest->Duration();
  EXPECT_EQ(covered, 512);
}

TEST(RestFilling, VoicesSharingAStaffGetOffsetRestsAndAnEmptySecondVoiceNone) {
  TNotationScore s(1, 3);
  s.Note(0, 40, 256, 0, 0);
  s.Note(0, 30, 128, 0, 1);
  s.Measure().UpdateVoiceLayout(-1, false);
  s.Measure().FillRests(false, 0, false);
  std::vector<std::pair<int, int>> offsets;  // voice, offset
  for (TKVItem* item : s.Measure().Items())
    if (auto* rest = dynamic_cast<TKVPause*>(item)) offsets.push_back({ItemVoice(rest->StaffVoice()), rest->OffsetY()});
  EXPECT_EQ(s.Rests(), "128@128 256@256 256@256");
  EXPECT_EQ(offsets, (std::vector<std::pair<int, int>>{{1, 96}, {0, -96}, {1, 96}})) << "in time and voice order";
}

// Later measures walked, or their use of the staves taken beforehand.
class EmptyVoiceRule : public ::testing::TestWithParam<bool> {};

TEST_P(EmptyVoiceRule, GivesTheFirstVoiceAWholeRestOnlyWhenItsStaffIsUsedLater) {
  TNotationScore s(1, 1, 3);
  s.Rest(0, 128);  // a stale rest of the empty voice goes
  s.Note(0, 40, 512, 0, 0, 2);
  std::vector<int32_t> last = LastStaffUse(*s.part);
  const std::vector<int32_t>* use = GetParam() ? &last : nullptr;
  s.Measure(0).FillRests(true, 512, false, use);
  EXPECT_EQ(s.Rests(0), "512@0");
  s.Measure(2).ClearItems();
  last = LastStaffUse(*s.part);
  s.Measure(1).FillRests(true, 384, false, use);
  EXPECT_EQ(s.Rests(1), "");
  s.Measure(1).FillRests(true, 384, true, use);
  EXPECT_EQ(s.Rests(1), "512@0") << "forced";
}

INSTANTIATE_TEST_SUITE_P(RestFilling, EmptyVoiceRule, ::testing::Bool());

TEST(RestFilling, TrailingRestsAreMarkedByTheFillMode) {
  for (TKVAutoFillMeasure mode : {fmNone, fmAll}) {
    TNotationScore s;
    s.score.SetAutoFillMeasure(mode);
    s.Rest(0, 128);
    s.Note(128, 40);
    s.Measure().FillRests(false, 0, false);
    ASSERT_EQ(s.Rests(), "128@0 256@256");
    const auto* last = static_cast<TKVPause*>(s.Measure().GetItem(2));
    EXPECT_EQ(bool(last->Flags() & 0x80), mode == fmNone);
  }
}

TEST(RestFilling, WithoutLayoutRecordNothingIsFilled) {
  TNotationScore s;
  s.piece->Layout().MeasureRecordCount = 0;
  s.Note(0, 40);
  s.Measure().FillRests(true, 0, true);
  EXPECT_EQ(s.Rests(), "");
  EXPECT_EQ(s.Measure().FillGapWithRests(s.Key(), 0, 0, -1, 512), -1);
}

}  // namespace
