#pragma once
// One element of the MCI wave-audio device: a take recorded from a capture
// device in the element's PCM format, kept in a spool file until SAVE
// writes it as a RIFF WAVE file.
//
// The element listens to its device from the moment it is made, keeping
// the last PreRollMs of what the device delivered, so that a take can start
// earlier than the RECORD that starts it: where a score started after the
// element was made (the player plays before the recorder records, and a
// take must hold the score's first note and its leading silence), else at
// the RECORD itself. The play thread may start the score just after the
// RECORD: until ScoreWaitMs have passed, the take waits for it, its frames
// kept aside. STOP ends the take at the frame of its own moment,
// waiting (at most StopWaitMs) for the device to deliver that far. Both
// ends are exact to the frame where the device says which time each frame
// stands for ("Program output" under a sink); a device that does not tell
// records from the first block after RECORD to the last before STOP.
//
// With a journal named, the frames go into that file as they arrive
// (Spool.h): a process that dies while recording leaves its take there. SAVE
// into the journal's folder renames the journal, so that a full disk cannot
// stop it; a take whose frames could not all be written keeps those that
// were. The element removes its journal when it goes only once everything
// it holds was saved; else the journal stays for the next start.

#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/audio/CaptureDevice.h"
#include "platform/audio/CaptureFormat.h"
#include "platform/audio/Mci.h"
#include "platform/audio/Spool.h"

namespace audio {

class TWaveRecording final : public TCaptureConsumer {
public:
  static constexpr int PreRollMs = 2000;
  static constexpr int StopWaitMs = 500;
  static constexpr int ScoreWaitMs = 1000;

  // Journal: the file the frames are kept in as they arrive; empty for a
  // file of no name.
  TWaveRecording(std::shared_ptr<TCaptureDevice> device, std::string journal);
  ~TWaveRecording() override;

  const codec::TWaveFormat& Format() const { return FFormat; }
  // Only while stopped and empty; MCIERR_OUTOFRANGE unless IsRecordFormat.
  MCIERROR SetFormat(const codec::TWaveFormat& format);
  MCIERROR Record();
  // MCIERR_HARDWARE when the device went away during the take,
  // MCIERR_FILE_WRITE when not every frame could be written (the take ends
  // at the last frame written).
  MCIERROR Stop();
  MCIERROR Save(const std::string& path);
  // A take whose device went away has ended, though not yet stopped.
  bool Recording() const { return FConverter && !FLost; }
  // Frames recorded; exact while stopped.
  uint64_t Frames() const { return FSpool ? FSpool->Size() / FFormat.nBlockAlign() : 0; }

private:
  struct TBlock {
    std::vector<float> Stereo;
    int64_t TimeNs;
  };
  void Captured(const float* stereo, int frames, int64_t firstFrameNs) override;
  void CaptureLost() override;
  // The frames of a block that lie between the take's start and stop go
  // to the spool; FLock is held.
  void Take(const float* stereo, int frames, int64_t firstFrameNs);
  void Keep(const float* stereo, int frames, int64_t firstFrameNs);
  // Settles where the take starts, once a score has started or (Final, or
  // ScoreWaitMs after RECORD) it will not; the frames kept go to the take.
  // FLock is held.
  void SettleStart(bool final);
  void Attach();
  void Detach();
  // Waits for the frames up to the stop, detaches from the device and puts
  // the resampler's last frames into the spool; false when the spool could
  // not write.
  bool Finish();
  // A spool that takes frames: made at the first RECORD, and made again
  // with the frames so far after a SAVE moved its journal away.
  bool OpenSpool();
  // Writes the frames to Path as a PCM RIFF WAVE file.
  MCIERROR CopyTo(const std::string& path);

  const std::shared_ptr<TCaptureDevice> FDevice;
  const int FDeviceRate;
  const int64_t FMadeNs;
  codec::TWaveFormat FFormat;
  const std::string FJournal;
  std::unique_ptr<TSpool> FSpool;  // what FLock guards uses it, so it changes only while not recording
  bool FSaved = true;              // everything recorded is in a saved file
  bool FAttached = false;  // the main thread's
  std::mutex FLock;        // what the capture thread touches
  std::condition_variable FStopReached;
  std::deque<TBlock> FPreRoll;
  size_t FPreRollFrames = 0;
  // While recording; created and dropped by the main thread under FLock.
  std::unique_ptr<TCaptureConverter> FConverter;
  std::vector<uint8_t> FConverted;
  int64_t FRecordNs = 0;
  bool FSettling = false;  // the start waits for a score
  int64_t FStartNs = 0;    // 0: the first block
  int64_t FStopNs = INT64_MAX;
  bool FDeliveredToStop = false;
  bool FTimed = false;  // the device's last block told its time
  std::atomic<bool> FLost{false};
};

}  // namespace audio
