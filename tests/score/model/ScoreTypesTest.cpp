#include <gtest/gtest.h>

#include "score/model/ScoreTypes.h"

namespace {

TEST(PitchByte, MidiKeyStaysInRangeForExtremeAndDamagedPitches) {
  EXPECT_EQ(PitchToMidiKey(MakePitch(15, 6), 2, 24), 127);
  EXPECT_EQ(PitchToMidiKey(MakePitch(0, 0), -2), 0);
  // A step nibble past B (from a damaged file) reads as C instead of
  // indexing past the semitone table.
  EXPECT_EQ(PitchToMidiKey(0x5F, 0), 60);
}

TEST(MeterWord, ZeroPartsCountAsCommonTimeInsteadOfDividingByZero) {
  EXPECT_EQ(MeterLength(MakeMeter(4, 0)), 512);
  EXPECT_EQ(MeterLength(MakeMeter(0, 4)), 512);
  EXPECT_EQ(MeterLength(0), 512);
}

TEST(SharedFormulas, DefaultPageGivesLineStep48AndTempoGivesMsPerTick) {
  EXPECT_EQ(LineStep(15.875L, 100), 48);
  EXPECT_EQ(LineStep(15.875L, 200), 96);
  EXPECT_EQ(LineStep(15.875L, 100, 50), 24);
  EXPECT_DOUBLE_EQ(MsPerTick(120, 100), 3.90625);
  EXPECT_DOUBLE_EQ(MsPerTick(60, 50), 15.625);
}

TEST(SharedFormulas, LineStepOfDamagedValuesStaysInRange) {
  EXPECT_EQ(LineStep(__builtin_nanl(""), 100), 0);
  EXPECT_GT(LineStep(1e30L, 100), 0);
  EXPECT_LT(LineStep(-1e30L, 100), 0);
}

}  // namespace
