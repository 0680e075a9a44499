#pragma once
// A device that plays nothing and writes down every message it receives with
// the time it arrived (CLOCK_MONOTONIC) and the time it was meant for: tests read back what was sent, the
// timing benchmark measures when. Add it with AddDevice.

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "platform/midi/OutputDevice.h"

namespace midi {

struct TRecordedMessage {
  int64_t TimeNs = 0;          // arrival, steady clock, nanoseconds
  int64_t SentForNs = 0;       // the time the message carried (SendTime.h)
  uint32_t Short = 0;          // the packed word of a short message, else 0
  std::vector<uint8_t> Long;   // the bytes of a long message, else empty
};

class TRecordingSink final : public TOutputDevice {
public:
  explicit TRecordingSink(std::string name = "Recording sink");

  TMidiOutCaps Caps() override;
  TResult Open() override;
  void Close() override;
  TResult Short(uint32_t message, int64_t timeNs) override;
  TResult Long(const uint8_t* data, size_t length, int64_t timeNs) override;
  TResult SetVolume(uint32_t volume) override;
  TResult GetVolume(uint32_t& volume) override;

  std::vector<TRecordedMessage> Messages() const;
  size_t Count() const;
  void Clear();
  // How often the device was opened and closed.
  int Opens() const;
  int Closes() const;

private:
  void Add(TRecordedMessage message);
  const std::string FName;
  mutable std::mutex FLock;
  std::vector<TRecordedMessage> FMessages;
  uint32_t FVolume = 0xFFFFFFFFu;
  int FOpens = 0, FCloses = 0;
};

}  // namespace midi
