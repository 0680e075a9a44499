#include "platform/audio/PulseSink.h"

#include <pulse/stream.h>

#include "platform/audio/PulseConnection.h"
#include "platform/audio/PulseStream.h"

namespace audio {

namespace {
// What the server keeps queued: short enough that a note is heard soon after
// it is played, long enough for a busy machine.
constexpr int kQueuedMs = 40;
}  // namespace

bool TPulseSink::Start(TOutputBus& bus) {
  TLoopLock lock(*FConnection);
  if (FStream || FSilent) return true;
  FBus = &bus;
  FStream = OpenStream(*FConnection, "Playback", bus.SampleRate(), this, &StreamState);
  pa_buffer_attr buffer = BufferAttributes();
  buffer.tlength = uint32_t(BytesOf(bus.SampleRate(), kQueuedMs));
  buffer.minreq = uint32_t(BytesOf(bus.SampleRate(), StreamBlockMs));
  if (FStream) pa_stream_set_write_callback(FStream, &Write, this);
  if (!FStream || pa_stream_connect_playback(FStream, nullptr, &buffer, PA_STREAM_ADJUST_LATENCY, nullptr, nullptr) < 0)
    FallBack();
  return true;
}

void TPulseSink::Stop() {
  std::unique_ptr<TBusSink> silent;
  {
    TLoopLock lock(*FConnection);
    CloseStream(FStream);
    silent = std::move(FSilent);
  }
  // Outside the lock: the stand-in's thread never takes it, but there is no
  // need to hold the server's thread while it ends.
  if (silent) silent->Stop();
}

void TPulseSink::Write(pa_stream* stream, size_t bytes, void* self) {
  auto* sink = static_cast<TPulseSink*>(self);
  while (bytes >= StreamFrameBytes) {
    void* data = nullptr;
    size_t n = bytes;
    if (pa_stream_begin_write(stream, &data, &n) < 0 || !data) return;
    const size_t frames = n / StreamFrameBytes;
    if (frames == 0) {
      pa_stream_cancel_write(stream);
      return;
    }
    sink->FBus->Render(static_cast<float*>(data), int(frames));
    pa_stream_write(stream, data, frames * StreamFrameBytes, nullptr, 0, PA_SEEK_RELATIVE);
    bytes -= frames * StreamFrameBytes;
  }
}

void TPulseSink::StreamState(pa_stream* stream, void* self) {
  if (!PA_STREAM_IS_GOOD(pa_stream_get_state(stream))) static_cast<TPulseSink*>(self)->FallBack();
}

void TPulseSink::FallBack() {
  if (FSilent) return;
  FBus->SinkRestarted();
  FSilent = MakeSilentSink();
  FSilent->Start(*FBus);
}

}  // namespace audio
