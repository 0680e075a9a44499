#pragma once
// The media player that plays a take: it opens a WAVE file (PCM, or any
// format the codec layer decodes), plays it into the output bus from its
// position, and tells its length and position in milliseconds and whether
// it plays. Reaching the end stops it there; Play at the end starts from
// the beginning again. Failures are MCI codes (Mci.h), never exceptions.
// Threads: the main thread; the sound is made on the bus's thread.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/audio/Mci.h"

namespace audio {

class TOutputBus;

enum class TMPModes { mpNotReady, mpStopped, mpPlaying };

class TMediaPlayer {
public:
  explicit TMediaPlayer(TOutputBus& bus);
  TMediaPlayer();  // on the program's bus
  ~TMediaPlayer();
  TMediaPlayer(const TMediaPlayer&) = delete;
  TMediaPlayer& operator=(const TMediaPlayer&) = delete;

  std::string FileName;

  // Closes what is open, then reads FileName; position 0, stopped.
  MCIERROR Open();
  void Close();
  // MCIERR_DEVICE_NOT_READY while nothing is open.
  MCIERROR Play();
  MCIERROR Stop();
  MCIERROR Rewind() { return SetPosition(0); }
  // Milliseconds; 0 while nothing is open. A position beyond the end means
  // the end.
  uint32_t Length() const;
  uint32_t Position() const;
  MCIERROR SetPosition(uint32_t ms);
  TMPModes Mode() const;

private:
  class TTrack;
  TOutputBus& FBus;
  std::unique_ptr<TTrack> FTrack;
};

}  // namespace audio
