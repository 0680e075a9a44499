#include "platform/audio/PulseSource.h"

#include <pulse/introspect.h>
#include <pulse/operation.h>
#include <pulse/stream.h>

#include <algorithm>

#include "platform/audio/PulseConnection.h"
#include "platform/audio/PulseStream.h"

namespace audio {

namespace {

// The longest a take waits for the stream to start or to catch up.
constexpr int kWaitMs = 250;

// 0..65535 stands for 0..100 % (the server's "normal" volume); rounding
// both ways gives every input volume back unchanged.
uint16_t FromServer(pa_volume_t volume) {
  return uint16_t(std::min<uint64_t>(MaxInputVolume, (uint64_t(volume) * MaxInputVolume + PA_VOLUME_NORM / 2) / PA_VOLUME_NORM));
}

pa_volume_t ToServer(uint16_t volume) {
  return pa_volume_t((uint64_t(volume) * PA_VOLUME_NORM + MaxInputVolume / 2) / MaxInputVolume);
}

// Slot holds the last of a kind of operation; the ones before it are done
// when it is.
void Keep(pa_operation*& slot, pa_operation* operation) {
  Forget(slot);
  slot = operation;
}

bool Running(pa_operation* operation) { return operation && pa_operation_get_state(operation) == PA_OPERATION_RUNNING; }

// Left and right are the source's first two channels; a mono source has one.
std::vector<uint16_t> InputVolume(const pa_cvolume& volume) {
  std::vector<uint16_t> values{FromServer(volume.values[0])};
  if (volume.channels > 1) values.push_back(FromServer(volume.values[1]));
  return values;
}

}  // namespace

TPulseSource::TPulseSource(std::shared_ptr<TPulseConnection> connection, const pa_source_info& info)
    : FConnection(std::move(connection)),
      FIndex(info.index),
      FName(info.name ? info.name : ""),
      FDescription(info.description && *info.description ? info.description : FName),
      FRate(int(info.sample_spec.rate)),
      FServerChannels(std::max<uint8_t>(1, info.volume.channels)) {
  TCaptureDevice::SetVolume(InputVolume(info.volume));
  TCaptureDevice::SetMuted(info.mute != 0);
}

TPulseSource::~TPulseSource() {
  ConsumersChanged(false);
  TLoopLock lock(*FConnection);
  Keep(FVolumeSet, nullptr);
  Keep(FMuteSet, nullptr);
}

// The server answers in order: news asked for before our own change was
// done tells of the value before it, and would undo it for a moment.
void TPulseSource::Update(const pa_source_info& info) {
  if (!Running(FVolumeSet) && info.volume.channels > 0 && InputVolume(info.volume) != Volume())
    TCaptureDevice::SetVolume(InputVolume(info.volume));
  if (!Running(FMuteSet) && (info.mute != 0) != Muted()) TCaptureDevice::SetMuted(info.mute != 0);
}

// The change is shown at once; the server's notice of it then finds nothing
// new, so listeners hear of it once.
void TPulseSource::SetVolume(const std::vector<uint16_t>& values) {
  TCaptureDevice::SetVolume(values);
  const std::vector<uint16_t> volume = Volume();
  pa_cvolume server;
  server.channels = FServerChannels;
  for (uint8_t i = 0; i < FServerChannels; ++i)
    server.values[i] = ToServer(i < volume.size() ? volume[i] : *std::max_element(volume.begin(), volume.end()));
  TLoopLock lock(*FConnection);
  if (FConnection->Ready()) Keep(FVolumeSet, pa_context_set_source_volume_by_index(FConnection->Context(), FIndex, &server, nullptr, nullptr));
}

void TPulseSource::SetMuted(bool muted) {
  TCaptureDevice::SetMuted(muted);
  TLoopLock lock(*FConnection);
  if (FConnection->Ready()) Keep(FMuteSet, pa_context_set_source_mute_by_index(FConnection->Context(), FIndex, muted, nullptr, nullptr));
}

void TPulseSource::ConsumersChanged(bool any) {
  {
    TLoopLock lock(*FConnection);
    if (!any) {
      CloseStream(FStream);
      return;
    }
    if (FStream) return;
    FStream = OpenStream(*FConnection, "Recording", FRate, this, &StreamState);
    pa_buffer_attr buffer = BufferAttributes();
    buffer.fragsize = uint32_t(BytesOf(FRate, StreamBlockMs));
    if (FStream) pa_stream_set_read_callback(FStream, &Read, this);
    // A source that goes away ends the recording rather than passing it to
    // another source unasked.
    if (!FStream || pa_stream_connect_record(FStream, FName.c_str(), &buffer,
                                             pa_stream_flags_t(PA_STREAM_ADJUST_LATENCY | PA_STREAM_DONT_MOVE)) < 0) {
      Lose();
      return;
    }
  }
  FConnection->WaitFor([this] { return !FStream || pa_stream_get_state(FStream) != PA_STREAM_CREATING; }, kWaitMs);
}

void TPulseSource::CatchUp() {
  const auto now = std::chrono::steady_clock::now();
  FConnection->WaitFor([&] { return CaughtUp(now); }, kWaitMs);
}

bool TPulseSource::CaughtUp(std::chrono::steady_clock::time_point at) const {
  if (!FStream || pa_stream_get_state(FStream) != PA_STREAM_READY) return true;
  const double seconds = std::chrono::duration<double>(at - FStartedAt).count();
  return double(FDelivered) + FRate * StreamBlockMs / 1000.0 >= seconds * FRate;
}

void TPulseSource::Read(pa_stream* stream, size_t, void* self) {
  auto* source = static_cast<TPulseSource*>(self);
  const void* data = nullptr;
  size_t bytes = 0;
  while (pa_stream_peek(stream, &data, &bytes) == 0 && bytes > 0) {
    const int frames = int(bytes / StreamFrameBytes);
    const int64_t time = std::chrono::duration_cast<std::chrono::nanoseconds>(
                             source->FStartedAt.time_since_epoch()).count() +
                         int64_t(source->FDelivered * 1'000'000'000 / uint64_t(source->FRate));
    if (data) {
      source->Deliver(static_cast<const float*>(data), frames, time);
    } else {  // a hole in the stream: silence keeps the time
      source->FSilence.assign(size_t(frames) * 2, 0.0f);
      source->Deliver(source->FSilence.data(), frames, time);
    }
    source->FDelivered += uint64_t(frames);
    pa_stream_drop(stream);
  }
  source->FConnection->Signal();
}

void TPulseSource::StreamState(pa_stream* stream, void* self) {
  auto* source = static_cast<TPulseSource*>(self);
  const pa_stream_state_t state = pa_stream_get_state(stream);
  if (state == PA_STREAM_READY) {
    source->FStartedAt = std::chrono::steady_clock::now();
    source->FDelivered = 0;
  }
  if (!PA_STREAM_IS_GOOD(state)) source->Lose();
  source->FConnection->Signal();
}

}  // namespace audio
