#include "platform/audio/PulseBackend.h"

#include <pulse/introspect.h>
#include <pulse/subscribe.h>

#include "platform/audio/PulseConnection.h"
#include "platform/audio/PulseSink.h"
#include "platform/audio/PulseStream.h"

namespace audio {

TPulseBackend::TPulseBackend(const std::string& server)
    : FConnection(std::make_shared<TPulseConnection>(server, ConnectTimeoutMs)) {
  {
    TLoopLock lock(*FConnection);
    if (!FConnection->Ready()) return;
    FConnection->OnBroken = [this] { DropSources(); };
    // Subscribed first, so that no source slips between the list and the
    // notices; a source reported twice is only updated.
    pa_context_set_subscribe_callback(FConnection->Context(), &Event, this);
    Forget(pa_context_subscribe(FConnection->Context(), PA_SUBSCRIPTION_MASK_SOURCE, nullptr, nullptr));
    Forget(pa_context_get_source_info_list(FConnection->Context(), &SourceInfo, this));
  }
  FConnection->WaitFor([this] { return FListed || !FConnection->Ready(); }, ConnectTimeoutMs);
}

TPulseBackend::~TPulseBackend() {
  {
    TLoopLock lock(*FConnection);
    if (FConnection->Ready()) pa_context_set_subscribe_callback(FConnection->Context(), nullptr, nullptr);
    FConnection->OnBroken = nullptr;
  }
  DropSources();
  // Ends the thread, so that no query still under way calls back.
  FConnection->Close();
}

bool TPulseBackend::Connected() const {
  TLoopLock lock(*FConnection);
  return FConnection->Ready();
}

std::unique_ptr<TBusSink> TPulseBackend::MakeSink() {
  if (!Connected()) return nullptr;
  return std::make_unique<TPulseSink>(FConnection);
}

std::vector<std::shared_ptr<TPulseSource>> TPulseBackend::Sources() const {
  TLoopLock lock(*FConnection);
  std::vector<std::shared_ptr<TPulseSource>> sources;
  for (const auto& entry : FSources) sources.push_back(entry.second);
  return sources;
}

void TPulseBackend::SourceInfo(pa_context*, const pa_source_info* info, int, void* self) {
  auto* backend = static_cast<TPulseBackend*>(self);
  if (!info) {  // the end of the answer (or a source gone meanwhile)
    backend->FListed = true;
    backend->FConnection->Signal();
    return;
  }
  auto found = backend->FSources.find(info->index);
  if (found != backend->FSources.end()) {
    found->second->Update(*info);
    return;
  }
  auto source = std::make_shared<TPulseSource>(backend->FConnection, *info);
  backend->FSources[info->index] = source;
  AddCaptureDevice(source);
}

void TPulseBackend::Event(pa_context* context, pa_subscription_event_type_t type, uint32_t index, void* self) {
  auto* backend = static_cast<TPulseBackend*>(self);
  if ((type & PA_SUBSCRIPTION_EVENT_FACILITY_MASK) != PA_SUBSCRIPTION_EVENT_SOURCE) return;
  if ((type & PA_SUBSCRIPTION_EVENT_TYPE_MASK) != PA_SUBSCRIPTION_EVENT_REMOVE) {
    Forget(pa_context_get_source_info_by_index(context, index, &SourceInfo, self));
    return;
  }
  auto found = backend->FSources.find(index);
  if (found == backend->FSources.end()) return;
  const std::shared_ptr<TPulseSource> source = found->second;
  backend->FSources.erase(found);
  source->Gone();
  RemoveCaptureDevice(source);
}

void TPulseBackend::DropSources() {
  std::map<uint32_t, std::shared_ptr<TPulseSource>> sources;
  {
    TLoopLock lock(*FConnection);
    sources.swap(FSources);
  }
  for (auto& entry : sources) {
    entry.second->Gone();
    RemoveCaptureDevice(entry.second);
  }
}

TPulseBackend& DefaultPulseBackend() {
  static TPulseBackend backend;
  return backend;
}

std::unique_ptr<TBusSink> MakeDefaultSink() {
  std::unique_ptr<TBusSink> sink = DefaultPulseBackend().MakeSink();
  return sink ? std::move(sink) : MakeSilentSink();
}

}  // namespace audio
