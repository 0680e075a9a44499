// The level monitor's reading of one buffer in every sample format, and
// the silence at a buffer's end that lets a take end.

#include <gtest/gtest.h>

#include "app/LevelMeter.h"

namespace {

struct TLevelRow {
  const char* Name;
  uint16_t Channels, Bits;
  std::vector<uint8_t> Frame;  // Frames times
  int Frames, Points, LeftBar, RightBar, UpperY;  // meter 100 x 50, bars 100 high; first column's top
};

class LevelMeterTest : public testing::TestWithParam<TLevelRow> {};

TEST_P(LevelMeterTest, ReadsTheBuffer) {
  const TLevelRow& row = GetParam();
  const codec::TWaveFormat format = codec::TWaveFormat::Pcm(row.Channels, 8000, row.Bits);
  std::vector<uint8_t> data;
  for (int i = 0; i < row.Frames; ++i) data.insert(data.end(), row.Frame.begin(), row.Frame.end());
  const TLevelReading reading = ReadLevels(data.data(), uint32_t(data.size()), format, 100, 50);
  ASSERT_EQ(reading.Points.size(), size_t(row.Points));
  EXPECT_EQ(LeftBarHeight(reading, format, 100), row.LeftBar);
  EXPECT_EQ(RightBarHeight(reading, format, 100), row.RightBar);
  EXPECT_EQ(reading.Points.front(), (canvas::TPoint{1, row.UpperY}));
  EXPECT_EQ(reading.Points.back(), (canvas::TPoint{1, 50 - row.UpperY}));
}

INSTANTIATE_TEST_SUITE_P(
    Formats, LevelMeterTest,
    testing::Values(TLevelRow{"FullScale8BitStereoFillsBothBars", 2, 8, {255, 0}, 200, 200, 100, 100, -7},
                    TLevelRow{"Silent16BitIsAFlatLineAndWhiteBars", 2, 16, {0, 0, 0, 0}, 200, 200, 0, 0, 25},
                    TLevelRow{"NegativeFullScale16BitMonoInAShortBuffer", 1, 16, {0x00, 0x80}, 5, 10, 100, 0, -8},
                    TLevelRow{"FullScale8BitMonoStaysInsideItsFrame", 1, 8, {0}, 300, 200, 98, 0, -7},
                    TLevelRow{"OppositeChannelsCancelInTheWaveform", 2, 16, {0, 0x40, 0, 0xC0}, 100, 200, 50, 50, 25}),
    [](const auto& info) { return std::string(info.param.Name); });

// A buffer of Frames frames (bytes as they lie) and how many frames at its
// end lie below -60 dBFS (32 of 32768 at 16 bits, only 128 at 8 bits).
struct TQuietRow {
  const char* Name;
  uint16_t Channels, Bits;
  std::vector<uint8_t> Data;
  uint32_t Quiet;
};

class QuietEndTest : public testing::TestWithParam<TQuietRow> {};

TEST_P(QuietEndTest, CountsTheSilentFramesAtTheEnd) {
  const TQuietRow& row = GetParam();
  const codec::TWaveFormat format = codec::TWaveFormat::Pcm(row.Channels, 8000, row.Bits);
  EXPECT_EQ(QuietFramesAtEnd(row.Data.data(), uint32_t(row.Data.size()), format), row.Quiet);
}

INSTANTIATE_TEST_SUITE_P(
    Buffers, QuietEndTest,
    testing::Values(TQuietRow{"AllSilent16BitMono", 1, 16, {0, 0, 32, 0, 0xE0, 0xFF}, 3},          // 0, 32, -32
                    TQuietRow{"ThirtyThreeIsAboveTheLine", 1, 16, {0, 0, 33, 0, 0, 0, 0, 0}, 2},   // 0, 33, 0, 0
                    TQuietRow{"MinusThirtyThreeToo", 1, 16, {0xDF, 0xFF, 0, 0}, 1},                // -33, 0
                    TQuietRow{"ALoudRightChannelKeepsItsFrame", 2, 16, {0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0}, 1},
                    TQuietRow{"ALoudLastFrame", 2, 16, {0, 0, 0, 0, 0, 0x80, 0, 0}, 0},
                    TQuietRow{"EightBitSilenceIsTheMiddle", 2, 8, {128, 128, 129, 128, 128, 128, 128, 128}, 2},
                    TQuietRow{"EightBitBelowTheMiddle", 1, 8, {127, 128}, 1},
                    TQuietRow{"AHalfFrameCounts", 2, 16, {0, 0, 0, 0, 0, 0}, 1},
                    TQuietRow{"Empty", 1, 16, {}, 0}),
    [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
