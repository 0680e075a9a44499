// The bus's clock mapping under the pull patterns of sinks.

#include <gtest/gtest.h>

#include "platform/audio/BusClock.h"

namespace {
constexpr int64_t kMs = 1'000'000;

// Pull k of 441 frames (10 ms) comes at 10 k ms plus Late(k).
struct TPulls { const char* Name; double (*Late)(int k); int Anchors; };

const TPulls kPulls[] = {
    {"OnPaceWithJitter", [](int k) { return k % 7 == 3 ? 19.0 : 4.0 - k % 2 * 4; }, 1},
    {"CatchingUpSlowlyAfterALongSleep", [](int k) { return k < 50 || k > 120 ? 0.0 : 90.0 - (k - 50); }, 1},
    {"LosingTimeForGood", [](int k) { return k < 50 ? 0.0 : 200.0; }, 2},
    {"FillingAheadTenBlocks", [](int k) { return k < 10 ? -10.0 * k : 0.0; }, 11},  // then 90 ms behind
};

class BusClock : public testing::TestWithParam<TPulls> {};

TEST_P(BusClock, AnchorsOnlyWhenThePullsLeaveTheMapping) {
  audio::TBusClock clock(44100);
  for (int k = 0; k < 200; ++k) {
    const int64_t now = 5'000 * kMs + k * 10 * kMs + int64_t(GetParam().Late(k) * kMs);
    EXPECT_LE(clock.Pulled(uint64_t(k) * 441, 441, now), now - 15 * kMs) << k;
  }
  EXPECT_EQ(clock.Anchors(), GetParam().Anchors);
  if (GetParam().Anchors == 1) { EXPECT_EQ(clock.TimeOf(44100), int64_t((5'000 - 20 + 1000 + GetParam().Late(0)) * kMs)); }
}

INSTANTIATE_TEST_SUITE_P(Sinks, BusClock, testing::ValuesIn(kPulls), [](auto& info) { return info.param.Name; });

}  // namespace
