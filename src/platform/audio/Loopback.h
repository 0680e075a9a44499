#pragma once
// "Program output": what the program plays, taken from the output bus
// sample for sample, with the input volume as a gain per channel (and the
// mute switch as silence). The volume runs on the curve a sound server's
// sources use: gain = (volume / 65535) cubed, so that full volume is the
// mix itself, half volume -18 dB and a tenth -60 dB, as a fader in
// decibels reads, and one value means one level on every input device.

#include <vector>

#include "platform/audio/CaptureDevice.h"
#include "platform/audio/OutputBus.h"

namespace audio {

// The gain of an input volume of Value (0 .. MaxInputVolume).
float LoopbackGain(uint16_t value);

class TLoopbackCapture final : public TCaptureDevice, private TBusTap {
public:
  explicit TLoopbackCapture(TOutputBus& bus);
  ~TLoopbackCapture() override;
  std::string Name() const override { return ProgramOutputName; }
  int SampleRate() const override;

private:
  void BusBlock(const float* stereo, int frames, int64_t firstFrameNs) override;
  void ConsumersChanged(bool any) override;

  TOutputBus& FBus;
  std::vector<float> FScaled;
};

}  // namespace audio
