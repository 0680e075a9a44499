#pragma once
// "Program output": what the program plays, taken from the output bus
// sample for sample, with the input volume as a linear gain per channel
// (and the mute switch as silence).

#include <vector>

#include "platform/audio/CaptureDevice.h"
#include "platform/audio/OutputBus.h"

namespace audio {

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
