// The synthesiser's output limiter, worked by hand at 1000 frames a second
// (an attack ramp of 0.5 a frame, a release of 1 - e^(-1/300) a frame).

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "platform/midi/OutputLimiter.h"

namespace {

using midi::TOutputLimiter;

std::vector<float> Block(int frames, float level) { return std::vector<float>(size_t(frames) * 2, level); }

TEST(OutputLimiter, LeavesWhatIsBelowItsCeilingExactlyAsItIs) {
  TOutputLimiter limiter;
  std::vector<float> block = Block(200, 0.89f);
  block[7] = -0.891f;
  const std::vector<float> before = block;
  limiter.Process(block.data(), 200, 1000);
  EXPECT_EQ(block, before);
  EXPECT_EQ(limiter.Gain(), 1.0f);
}

TEST(OutputLimiter, HoldsAPeakAtTheCeilingRampingDownBeforeItAndSlowlyBackAfter) {
  TOutputLimiter limiter;
  std::vector<float> block = Block(200, 0.5f);
  block[200] = 2.0f;  // frame 100, left
  limiter.Process(block.data(), 200, 1000);
  const float peakGain = TOutputLimiter::Ceiling / 2.0f;  // 0.4455
  const float release = float(1 - std::exp(-1.0 / 300));
  EXPECT_FLOAT_EQ(block[196], 0.5f);                     // frame 98: untouched
  EXPECT_FLOAT_EQ(block[198], 0.5f * (peakGain + 0.5f));  // frame 99: half way down the ramp
  EXPECT_FLOAT_EQ(block[200], TOutputLimiter::Ceiling);  // frame 100: the peak at the ceiling
  EXPECT_FLOAT_EQ(block[201], 0.5f * peakGain);           // both channels by one gain
  const float after = peakGain + (1 - peakGain) * release;
  EXPECT_FLOAT_EQ(block[202], 0.5f * after);
  // The next block goes on coming back; a peak at its very first frame
  // is held at once.
  std::vector<float> next = Block(10, 0.5f);
  next[0] = next[1] = -4.0f;
  limiter.Process(next.data(), 10, 1000);
  EXPECT_FLOAT_EQ(next[0], -TOutputLimiter::Ceiling);
  EXPECT_LT(limiter.Gain(), after);
}

TEST(OutputLimiter, NeverLetsASampleAboveItsCeilingWhateverTheBlocks) {
  TOutputLimiter limiter;
  std::mt19937 random(7);
  std::uniform_real_distribution<float> level(-8.0f, 8.0f);
  std::uniform_int_distribution<int> size(1, 700);
  for (int round = 0; round < 300; ++round) {
    std::vector<float> block(size_t(size(random)) * 2);
    for (float& s : block) s = level(random) * (round % 3 == 0 ? 0.05f : 1.0f);
    limiter.Process(block.data(), int(block.size() / 2), 44100);
    for (float s : block) ASSERT_LE(std::fabs(s), TOutputLimiter::Ceiling) << round;
  }
}

}  // namespace
