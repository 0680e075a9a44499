#include "platform/audio/BusFeed.h"

#include <algorithm>
#include <cstring>

namespace audio {

TBusFeed::TBusFeed(int inRate, int busRate, int inChannels)
    : FResampler(inRate, busRate, 2, TSampleFormat::Float32, inChannels == 1 ? 2 : inChannels),
      FInChannels(inChannels) {}

void TBusFeed::Push(const float* in, int frames) {
  if (FInChannels != 1) {
    FResampler.Convert(in, frames, FPending);
    return;
  }
  FStereo.resize(size_t(frames) * 2);
  for (int i = 0; i < frames; ++i) FStereo[2 * i] = FStereo[2 * i + 1] = in[i];
  FResampler.Convert(FStereo.data(), frames, FPending);
}

void TBusFeed::Finish() { FResampler.Flush(FPending); }

int TBusFeed::Take(float* out, int frames) {
  const size_t n = std::min(size_t(frames), Pending()) * 2 * sizeof(float);
  std::memcpy(out, FPending.data(), n);
  FPending.erase(FPending.begin(), FPending.begin() + std::ptrdiff_t(n));
  return int(n / (2 * sizeof(float)));
}

void TBusFeed::Reset() {
  FPending.clear();
  std::vector<uint8_t> dropped;
  FResampler.Flush(dropped);
}

}  // namespace audio
