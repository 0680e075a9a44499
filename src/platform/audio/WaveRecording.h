#pragma once
// One element of the MCI wave-audio device: a take recorded from a capture
// device in the element's PCM format, kept in a spool file until SAVE
// writes it as a RIFF WAVE file.

#include <atomic>
#include <memory>
#include <string>

#include "platform/audio/CaptureDevice.h"
#include "platform/audio/CaptureFormat.h"
#include "platform/audio/Mci.h"
#include "platform/audio/Spool.h"

namespace audio {

class TWaveRecording final : public TCaptureConsumer {
public:
  explicit TWaveRecording(std::shared_ptr<TCaptureDevice> device);
  ~TWaveRecording() override;

  const codec::TWaveFormat& Format() const { return FFormat; }
  // Only while stopped and empty; MCIERR_OUTOFRANGE unless IsRecordFormat.
  MCIERROR SetFormat(const codec::TWaveFormat& format);
  MCIERROR Record();
  // MCIERR_HARDWARE when the device went away during the take.
  MCIERROR Stop();
  MCIERROR Save(const std::string& path);
  // A take whose device went away has ended, though not yet stopped.
  bool Recording() const { return FConverter && !FLost; }
  // Frames recorded; exact while stopped.
  uint64_t Frames() const { return FSpool.Size() / FFormat.nBlockAlign(); }

private:
  void Captured(const float* stereo, int frames) override;
  void CaptureLost() override { FLost = true; }
  // Detaches from the device and puts the resampler's last frames into the
  // spool; false when the spool could not write.
  bool Finish();

  const std::shared_ptr<TCaptureDevice> FDevice;
  codec::TWaveFormat FFormat;
  TSpool FSpool;
  // While recording; the capture thread's alone until Stop detaches it.
  std::unique_ptr<TCaptureConverter> FConverter;
  std::vector<uint8_t> FConverted;
  std::atomic<bool> FLost{false};
};

}  // namespace audio
