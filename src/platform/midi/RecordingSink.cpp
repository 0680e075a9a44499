#include "platform/midi/RecordingSink.h"

#include <chrono>

namespace midi {

TRecordingSink::TRecordingSink(std::string name) : FName(std::move(name)) {}

TMidiOutCaps TRecordingSink::Caps() {
  TMidiOutCaps caps;
  caps.DriverVersion = 0x0100;
  caps.ProductName = FName;
  caps.Technology = MOD_MIDIPORT;
  caps.ChannelMask = 0xFFFF;
  caps.Support = MIDICAPS_VOLUME | MIDICAPS_LRVOLUME;
  return caps;
}

TResult TRecordingSink::Open() {
  std::lock_guard<std::mutex> guard(FLock);
  ++FOpens;
  return MMSYSERR_NOERROR;
}

void TRecordingSink::Close() {
  std::lock_guard<std::mutex> guard(FLock);
  ++FCloses;
}

void TRecordingSink::Add(TRecordedMessage message) {
  // Stamped under the lock, so that the list is in time order even when
  // two threads send.
  std::lock_guard<std::mutex> guard(FLock);
  message.TimeNs = std::chrono::duration_cast<std::chrono::nanoseconds>(
                       std::chrono::steady_clock::now().time_since_epoch()).count();
  FMessages.push_back(std::move(message));
}

TResult TRecordingSink::Short(uint32_t message, int64_t timeNs) {
  Add({0, timeNs, message, {}});
  return MMSYSERR_NOERROR;
}

TResult TRecordingSink::Long(const uint8_t* data, size_t length, int64_t timeNs) {
  Add({0, timeNs, 0, std::vector<uint8_t>(data, data + length)});
  return MMSYSERR_NOERROR;
}

TResult TRecordingSink::SetVolume(uint32_t volume) {
  std::lock_guard<std::mutex> guard(FLock);
  FVolume = volume;
  return MMSYSERR_NOERROR;
}

TResult TRecordingSink::GetVolume(uint32_t& volume) {
  std::lock_guard<std::mutex> guard(FLock);
  volume = FVolume;
  return MMSYSERR_NOERROR;
}

std::vector<TRecordedMessage> TRecordingSink::Messages() const {
  std::lock_guard<std::mutex> guard(FLock);
  return FMessages;
}

size_t TRecordingSink::Count() const {
  std::lock_guard<std::mutex> guard(FLock);
  return FMessages.size();
}

void TRecordingSink::Clear() {
  std::lock_guard<std::mutex> guard(FLock);
  FMessages.clear();
}

int TRecordingSink::Opens() const {
  std::lock_guard<std::mutex> guard(FLock);
  return FOpens;
}

int TRecordingSink::Closes() const {
  std::lock_guard<std::mutex> guard(FLock);
  return FCloses;
}

}  // namespace midi
