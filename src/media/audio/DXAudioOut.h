#pragma once
// The clip output: plays its input's PCM through the sound-clip device,
// streaming through one looping buffer that the pump thread keeps filled
// every PollingInterval, noticing underruns, and padding with silence after
// the input ends until the clip's last frame has been played.

#include <vector>

#include "media/audio/AuOutput.h"
#include "media/audio/DSWrapper.h"

class TDXAudioOut : public TAuOutput {
public:
  // On Bus (the program's when nil); Enumerate lists the devices.
  explicit TDXAudioOut(audio::TOutputBus* bus = nullptr, const TDSEnumerator& enumerate = audio::DirectSoundEnumerate);
  ~TDXAudioOut() override;

  uint32_t FramesInBuffer() const { return FFramesInBuffer; }
  // Kept only while not busy.
  void SetFramesInBuffer(uint32_t frames);
  uint32_t PollingInterval = 200;
  int32_t DeviceNumber = 0;
  TOutputEvent OnUnderrun;

  const TDSDeviceList& Devices() const { return FDevices; }
  // The format the last run asked the device for.
  codec::TWaveFormat Format() const;
  // The format record for a run of these channels, rate and bits.
  static codec::TWaveFormat MakeFormat(int channels, uint32_t rate, int bits);

protected:
  void Prepare() override;
  bool DoOutput(bool abort) override;
  void Done() override;

private:
  // Reads up to Bytes bytes of the input into the transfer buffer; sets
  // the input's end when it gives nothing.
  uint32_t FillTransfer(uint32_t bytes);
  void PadToClipEnd();

  audio::TOutputBus* const FBus;
  bool FDone = true;
  std::atomic<uint32_t> FFramesInBuffer{65536};
  TDSContext FCtx;
  TDSDeviceList FDevices;
  int FChannels = 0, FBits = 0;
  uint32_t FRate = 0;
  bool FInputEnded = false, FPrefill = false;
  std::vector<uint8_t> FTransfer;
  uint8_t FSilence = 0;
  uint32_t FLastUnderruns = 0;
  uint64_t FClipEnd = 0;  // bytes written when the input ended
  mutable std::mutex FFormatLock;
  codec::TWaveFormat FFormat;
};
