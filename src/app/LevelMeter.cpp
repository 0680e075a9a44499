#include "app/LevelMeter.h"

#include <algorithm>
#include <cstdlib>

#include "base/Strings.h"

namespace {

// Magnitude of the 8-bit sample B about its middle 128.
int Magnitude8(uint8_t B) { return B > 128 ? B - 128 : 128 - B; }

int16_t Sample16(const uint8_t* at) { return int16_t(uint16_t(at[0] | at[1] << 8)); }

int BarHeight(int ClientHeight, int Peak, int FullScale) {
  return std::clamp(int(int64_t(ClientHeight) * Peak / FullScale), 0, ClientHeight);
}

}  // namespace

TLevelReading ReadLevels(const uint8_t* Data, uint32_t Bytes, const codec::TWaveFormat& Format, int Width,
                         int Height) {
  TLevelReading reading;
  const int align = Format.nBlockAlign();
  const bool stereo = Format.nChannels() == 2, wide = Format.wBitsPerSample() == 16;
  if (align == 0 || Width <= 0 || !Data) return reading;
  // At low rates or after a reset a buffer holds fewer frames than the
  // meter has columns.
  const int columns = int(std::min<int64_t>(Width, Bytes / uint32_t(align)));
  const double scale = wide ? 0.001 : 0.25;
  reading.Points.resize(size_t(columns) * 2);
  for (int i = 0; i < columns; ++i) {
    const uint8_t* frame = Data + size_t(i) * size_t(align);
    int value;
    if (wide) {
      const int left = Sample16(frame), right = stereo ? Sample16(frame + 2) : left;
      value = std::abs(stereo ? (left + right) / 2 : left);
      reading.LeftPeak = std::max(reading.LeftPeak, std::min(std::abs(left), 32767));
      if (stereo) reading.RightPeak = std::max(reading.RightPeak, std::min(std::abs(right), 32767));
    } else {
      value = Magnitude8(frame[0]);
      reading.LeftPeak = std::max(reading.LeftPeak, value);
      if (stereo) reading.RightPeak = std::max(reading.RightPeak, Magnitude8(frame[1]));
    }
    const double offset = value * scale;
    reading.Points[size_t(i)] = {i + 1, int(Round(Height / 2.0 - offset))};
    reading.Points[size_t(2 * columns - 1 - i)] = {i + 1, int(Round(Height / 2.0 + offset))};
  }
  return reading;
}

uint32_t QuietFramesAtEnd(const uint8_t* Data, uint32_t Bytes, const codec::TWaveFormat& Format) {
  const uint32_t align = Format.nBlockAlign(), channels = Format.nChannels();
  if (align == 0 || channels == 0 || !Data) return 0;
  const uint32_t frames = Bytes / align;
  const bool wide = Format.wBitsPerSample() == 16;
  // -60 dBFS is a thousandth of full scale: 32 of 32768 at 16 bits, while
  // at 8 bits only the middle value itself lies below it.
  const int fullScale = wide ? 32768 : 128;
  for (uint32_t sample = frames * channels; sample-- > 0;) {
    const int magnitude = wide ? std::abs(int(Sample16(Data + 2 * size_t(sample)))) : Magnitude8(Data[sample]);
    if (magnitude * 1000 >= fullScale) return frames - (sample / channels + 1);
  }
  return frames;
}

int LeftBarHeight(const TLevelReading& Reading, const codec::TWaveFormat& Format, int ClientHeight) {
  if (Format.wBitsPerSample() == 16) return BarHeight(ClientHeight, Reading.LeftPeak, 32767);
  // An 8-bit mono bar leaves its frame out.
  return Format.nChannels() == 2 ? BarHeight(ClientHeight, Reading.LeftPeak, 127)
                                 : BarHeight(ClientHeight - 2, Reading.LeftPeak, 127);
}

int RightBarHeight(const TLevelReading& Reading, const codec::TWaveFormat& Format, int ClientHeight) {
  if (Format.nChannels() != 2) return 0;
  return BarHeight(ClientHeight, Reading.RightPeak, Format.wBitsPerSample() == 16 ? 32767 : 127);
}
