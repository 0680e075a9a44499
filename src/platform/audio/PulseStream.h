#pragma once
// What the sound server's playback and recording streams share: float
// stereo at the program's rates, blocks of about 10 ms, and libpulse's
// small chores. Every call here runs with the loop locked.

#include <pulse/def.h>

#include <cstddef>

struct pa_operation;
struct pa_stream;

namespace audio {

class TPulseConnection;

constexpr size_t StreamFrameBytes = 2 * sizeof(float);
constexpr int StreamBlockMs = 10;

constexpr size_t BytesOf(int rate, int ms) { return size_t(rate) * size_t(ms) / 1000 * StreamFrameBytes; }

// Every field left to the server.
pa_buffer_attr BufferAttributes();
// Drops an operation whose end nobody waits for.
void Forget(pa_operation* operation);
// A float stereo stream at Rate whose state changes go to State; null when
// the connection is broken.
pa_stream* OpenStream(const TPulseConnection& connection, const char* name, int rate, void* self,
                      void (*state)(pa_stream*, void*));
// Disconnects Stream without calling it back and forgets it.
void CloseStream(pa_stream*& stream);

}  // namespace audio
