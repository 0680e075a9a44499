#include "platform/audio/Loopback.h"

namespace audio {

float LoopbackGain(uint16_t value) {
  const double v = double(value) / MaxInputVolume;
  return float(v * v * v);
}

TLoopbackCapture::TLoopbackCapture(TOutputBus& bus) : FBus(bus) {}

TLoopbackCapture::~TLoopbackCapture() { FBus.RemoveTap(*this); }

int TLoopbackCapture::SampleRate() const { return FBus.SampleRate(); }

// The bus is tapped only while someone records, so that an idle device
// costs the audio thread nothing.
void TLoopbackCapture::ConsumersChanged(bool any) {
  if (any) FBus.AddTap(*this);
  else FBus.RemoveTap(*this);
}

void TLoopbackCapture::BusBlock(const float* stereo, int frames, int64_t firstFrameNs) {
  const std::vector<uint16_t> volume = Volume();
  const bool muted = Muted();
  const float left = muted ? 0.0f : LoopbackGain(volume[0]);
  const float right = muted ? 0.0f : LoopbackGain(volume[1]);
  const size_t samples = size_t(frames) * 2;
  if (left == 1.0f && right == 1.0f) {
    Deliver(stereo, frames, firstFrameNs);
    return;
  }
  FScaled.resize(samples);
  for (size_t i = 0; i < samples; i += 2) {
    FScaled[i] = stereo[i] * left;
    FScaled[i + 1] = stereo[i + 1] * right;
  }
  Deliver(FScaled.data(), frames, firstFrameNs);
}

}  // namespace audio
