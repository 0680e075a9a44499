#pragma once
// The formats a recording may ask for, and the conversion from a capture
// device's float stereo into one of them: mono as the mean of both
// channels, then the resampler to the format's rate and 8-bit unsigned or
// 16-bit signed samples.

#include <cstdint>
#include <vector>

#include "platform/audio/Resampler.h"
#include "platform/codec/WaveFormat.h"

namespace audio {

// PCM, 1 or 2 channels, 8 or 16 bits, 1000 to 192000 samples per second,
// with block align and bytes per second that agree with those.
bool IsRecordFormat(const codec::TWaveFormat& format);

class TCaptureConverter {
public:
  TCaptureConverter(int deviceRate, const codec::TWaveFormat& format);
  bool Ok() const { return FResampler.Ok(); }
  // Appends the bytes for Frames stereo frames to Out.
  void Convert(const float* stereo, int frames, std::vector<uint8_t>& out);
  void Flush(std::vector<uint8_t>& out) { FResampler.Flush(out); }

private:
  const bool FMono;
  TResampler FResampler;
  std::vector<float> FMixed;
};

}  // namespace audio
