#pragma once
// A sound server's source (a microphone, a line input, a sink's monitor) as
// a capture device: named by its description, at the source's own rate, one
// channel for a mono source and two (left and right) for any other. Its
// input volume is the source's volume, 0..65535 for 0..100 % (louder
// settings made elsewhere read as 65535); changes made by other programs
// reach the listeners. It records through a stream of its own only while
// someone consumes it; a take starts once the stream records and ends with
// what the source recorded up to its end (each wait bounded).

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "platform/audio/CaptureDevice.h"

struct pa_source_info;
struct pa_stream;
struct pa_operation;

namespace audio {

class TPulseConnection;

class TPulseSource final : public TCaptureDevice {
public:
  // Loop locked.
  TPulseSource(std::shared_ptr<TPulseConnection> connection, const pa_source_info& info);
  ~TPulseSource() override;

  std::string Name() const override { return FDescription; }
  int SampleRate() const override { return FRate; }
  uint16_t Channels() const override { return FServerChannels == 1 ? 1 : 2; }
  void SetVolume(const std::vector<uint16_t>& values) override;
  void SetMuted(bool muted) override;

  // The server's name of the source ("<sink>.monitor" for a monitor).
  const std::string& SourceName() const { return FName; }
  // Loop locked: the server's news of the source.
  void Update(const pa_source_info& info);
  // The server dropped the source or went away.
  void Gone() { Lose(); }

private:
  void ConsumersChanged(bool any) override;
  void CatchUp() override;
  // Loop locked: whether the stream is gone or has delivered what its
  // source recorded up to At, give or take a block.
  bool CaughtUp(std::chrono::steady_clock::time_point at) const;
  static void Read(pa_stream* stream, size_t bytes, void* self);
  static void StreamState(pa_stream* stream, void* self);

  const std::shared_ptr<TPulseConnection> FConnection;
  const uint32_t FIndex;
  const std::string FName, FDescription;
  const int FRate;
  const uint8_t FServerChannels;
  pa_stream* FStream = nullptr;  // loop locked
  // Our last changes of the volume and the mute switch; loop locked.
  pa_operation* FVolumeSet = nullptr;
  pa_operation* FMuteSet = nullptr;
  // When the stream began to record, and the frames it delivered since;
  // loop locked.
  std::chrono::steady_clock::time_point FStartedAt;
  uint64_t FDelivered = 0;
  std::vector<float> FSilence;  // the loop's thread
};

}  // namespace audio
