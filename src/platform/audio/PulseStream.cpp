#include "platform/audio/PulseStream.h"

#include <pulse/channelmap.h>
#include <pulse/operation.h>
#include <pulse/stream.h>

#include "platform/audio/PulseConnection.h"

namespace audio {

pa_buffer_attr BufferAttributes() {
  const uint32_t any = uint32_t(-1);
  return pa_buffer_attr{any, any, any, any, any};
}

void Forget(pa_operation* operation) {
  if (operation) pa_operation_unref(operation);
}

pa_stream* OpenStream(const TPulseConnection& connection, const char* name, int rate, void* self,
                      void (*state)(pa_stream*, void*)) {
  if (!connection.Ready()) return nullptr;
  const pa_sample_spec format{PA_SAMPLE_FLOAT32NE, uint32_t(rate), 2};
  pa_channel_map map;
  pa_channel_map_init_stereo(&map);
  pa_stream* stream = pa_stream_new(connection.Context(), name, &format, &map);
  if (stream) pa_stream_set_state_callback(stream, state, self);
  return stream;
}

void CloseStream(pa_stream*& stream) {
  if (!stream) return;
  pa_stream_set_state_callback(stream, nullptr, nullptr);
  pa_stream_set_read_callback(stream, nullptr, nullptr);
  pa_stream_set_write_callback(stream, nullptr, nullptr);
  pa_stream_disconnect(stream);
  pa_stream_unref(stream);
  stream = nullptr;
}

}  // namespace audio
