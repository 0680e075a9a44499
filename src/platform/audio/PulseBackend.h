#pragma once
// The sound server as the audio layer uses it (PulseAudio, or PipeWire
// through the same protocol): the output bus plays to its default sink, and
// each of its sources (sink monitors included) is a capture device at the
// end of the list, added and removed as the server reports them. With no
// server, or once it goes away, the bus plays silently and its sources are
// absent; nothing fails.
//
// The program's own backend connects to the default server the first time
// the capture devices are listed or the bus starts. Others (a test's own
// server) connect to the server named.

#include <pulse/def.h>

struct pa_context;
struct pa_source_info;

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/audio/OutputBus.h"
#include "platform/audio/PulseSource.h"

namespace audio {

class TPulseConnection;

class TPulseBackend {
public:
  // How long the first contact with a server may take.
  static constexpr int ConnectTimeoutMs = 1500;

  // Connects to Server ("" = the default one) and lists its sources.
  explicit TPulseBackend(const std::string& server = "");
  // Takes its sources out of the list and disconnects.
  ~TPulseBackend();
  TPulseBackend(const TPulseBackend&) = delete;
  TPulseBackend& operator=(const TPulseBackend&) = delete;

  bool Connected() const;
  // A sink playing to the server's default sink; null without a server.
  std::unique_ptr<TBusSink> MakeSink();
  // The server's sources in the capture list, in the server's order.
  std::vector<std::shared_ptr<TPulseSource>> Sources() const;

private:
  static void SourceInfo(pa_context* context, const pa_source_info* info, int eol, void* self);
  static void Event(pa_context* context, pa_subscription_event_type_t type, uint32_t index, void* self);
  // The server went away, or the backend ends: every source is gone.
  void DropSources();

  std::shared_ptr<TPulseConnection> FConnection;
  std::map<uint32_t, std::shared_ptr<TPulseSource>> FSources;  // by the server's index; loop locked
  bool FListed = false;                                       // loop locked
};

TPulseBackend& DefaultPulseBackend();

// The default server's sink when it answers, else the silent one.
std::unique_ptr<TBusSink> MakeDefaultSink();

}  // namespace audio
