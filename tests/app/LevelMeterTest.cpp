// The level monitor's reading of one buffer in every sample format.

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

}  // namespace
