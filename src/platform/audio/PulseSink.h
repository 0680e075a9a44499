#pragma once
// Plays the output bus to the sound server's default sink: the server pulls
// the bus through a float stereo stream about 10 ms at a time. When the
// stream cannot start or breaks (the server went away), the bus goes on at
// real time without sound, so that what plays keeps its pace.

#include <memory>

#include "platform/audio/OutputBus.h"

struct pa_stream;

namespace audio {

class TPulseConnection;

class TPulseSink final : public TBusSink {
public:
  explicit TPulseSink(std::shared_ptr<TPulseConnection> connection) : FConnection(std::move(connection)) {}
  ~TPulseSink() override { Stop(); }
  bool Start(TOutputBus& bus) override;
  void Stop() override;

private:
  static void Write(pa_stream* stream, size_t bytes, void* self);
  static void StreamState(pa_stream* stream, void* self);
  void FallBack();  // loop locked

  const std::shared_ptr<TPulseConnection> FConnection;
  TOutputBus* FBus = nullptr;
  pa_stream* FStream = nullptr;        // loop locked
  std::unique_ptr<TBusSink> FSilent;  // loop locked
};

}  // namespace audio
