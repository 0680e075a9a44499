#pragma once
// One element of the MCI wave-audio device: a take recorded from a capture
// device in the element's PCM format, kept in a spool file until SAVE
// writes it as a RIFF WAVE file.

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
  MCIERROR Stop();
  MCIERROR Save(const std::string& path);
  bool Recording() const { return FConverter != nullptr; }
  // Frames recorded; exact while stopped.
  uint64_t Frames() const { return FSpool.Size() / FFormat.nBlockAlign(); }

private:
  void Captured(const float* stereo, int frames) override;

  const std::shared_ptr<TCaptureDevice> FDevice;
  codec::TWaveFormat FFormat;
  TSpool FSpool;
  // While recording; the capture thread's alone until Stop detaches it.
  std::unique_ptr<TCaptureConverter> FConverter;
  std::vector<uint8_t> FConverted;
};

}  // namespace audio
