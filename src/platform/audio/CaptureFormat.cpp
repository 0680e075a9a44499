#include "platform/audio/CaptureFormat.h"

namespace audio {

bool IsRecordFormat(const codec::TWaveFormat& f) {
  const uint16_t channels = f.nChannels(), bits = f.wBitsPerSample();
  const uint32_t rate = f.nSamplesPerSec();
  return f.IsPcm() && (channels == 1 || channels == 2) && (bits == 8 || bits == 16) && rate >= 1000 &&
         rate <= 192000 && f.nBlockAlign() == channels * bits / 8 && f.nAvgBytesPerSec() == rate * f.nBlockAlign();
}

TCaptureConverter::TCaptureConverter(int deviceRate, const codec::TWaveFormat& format)
    : FMono(format.nChannels() == 1),
      FResampler(deviceRate, int(format.nSamplesPerSec()), format.nChannels(),
                 format.wBitsPerSample() == 8 ? TSampleFormat::Unsigned8 : TSampleFormat::Signed16) {}

void TCaptureConverter::Convert(const float* stereo, int frames, std::vector<uint8_t>& out) {
  if (!FMono) {
    FResampler.Convert(stereo, frames, out);
    return;
  }
  FMixed.resize(size_t(frames));
  for (size_t i = 0; i < FMixed.size(); ++i) FMixed[i] = 0.5f * (stereo[2 * i] + stereo[2 * i + 1]);
  FResampler.Convert(FMixed.data(), frames, out);
}

}  // namespace audio
