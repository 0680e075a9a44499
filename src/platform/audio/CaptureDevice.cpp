#include "platform/audio/CaptureDevice.h"

#include <algorithm>

#include "platform/audio/Loopback.h"
#include "platform/audio/OutputBus.h"
#include "platform/audio/PulseBackend.h"

namespace audio {

const char* const ProgramOutputName = "Program output";

namespace {

constexpr size_t kNameChars = 32;

// The first 32 characters of a UTF-8 name (never a broken character).
std::string CutName(const std::string& name) {
  size_t chars = 0, i = 0;
  for (; i < name.size(); ++i) {
    if ((uint8_t(name[i]) & 0xC0) == 0x80) continue;  // inside a character
    if (chars++ == kNameChars) break;
  }
  return name.substr(0, i);
}

struct TDeviceList {
  std::mutex Lock;
  std::vector<std::shared_ptr<TCaptureDevice>> Devices{std::make_shared<TLoopbackCapture>(TOutputBus::Instance())};
  int Chosen = 0;
  std::map<int, std::function<void()>> Listeners;
  int NextToken = 1;
};

// The list as it stands; what a sound server's thread changes.
TDeviceList& List() {
  static TDeviceList list;
  return list;
}

// The list with the default server's sources in it: what the program asks.
// The server's thread adds through List() alone, so that it never waits
// for the first caller here, who waits for it.
TDeviceList& Devices() {
  TDeviceList& list = List();
  static const bool withServer = (DefaultPulseBackend(), true);
  (void)withServer;
  return list;
}

void ListChanged() {
  std::vector<std::function<void()>> listeners;
  {
    std::lock_guard<std::mutex> lock(List().Lock);
    for (auto& entry : List().Listeners) listeners.push_back(entry.second);
  }
  for (auto& listener : listeners) listener();
}

}  // namespace

std::vector<uint16_t> TCaptureDevice::Volume() const {
  std::lock_guard<std::mutex> lock(FStateLock);
  if (FVolume.empty()) return std::vector<uint16_t>(Channels(), MaxInputVolume);
  return FVolume;
}

void TCaptureDevice::SetVolume(const std::vector<uint16_t>& values) {
  {
    std::lock_guard<std::mutex> lock(FStateLock);
    FVolume = values;
    FVolume.resize(Channels(), values.empty() ? MaxInputVolume : values.back());
  }
  ControlChanged(TCaptureControl::Volume);
}

bool TCaptureDevice::Muted() const {
  std::lock_guard<std::mutex> lock(FStateLock);
  return FMuted;
}

void TCaptureDevice::SetMuted(bool muted) {
  {
    std::lock_guard<std::mutex> lock(FStateLock);
    FMuted = muted;
  }
  ControlChanged(TCaptureControl::Mute);
}

void TCaptureDevice::AddConsumer(TCaptureConsumer& consumer) {
  std::lock_guard<std::mutex> change(FChangeLock);
  bool first = false;
  {
    std::lock_guard<std::mutex> lock(FConsumerLock);
    if (std::find(FConsumers.begin(), FConsumers.end(), &consumer) != FConsumers.end()) return;
    FConsumers.push_back(&consumer);
    first = FConsumers.size() == 1;
    if (FLost) consumer.CaptureLost();
  }
  if (first) ConsumersChanged(true);
}

void TCaptureDevice::RemoveConsumer(TCaptureConsumer& consumer) {
  CatchUp();
  std::lock_guard<std::mutex> change(FChangeLock);
  bool last = false;
  {
    std::lock_guard<std::mutex> lock(FConsumerLock);
    auto it = std::find(FConsumers.begin(), FConsumers.end(), &consumer);
    if (it == FConsumers.end()) return;
    FConsumers.erase(it);
    last = FConsumers.empty();
  }
  if (last) ConsumersChanged(false);
}

void TCaptureDevice::Lose() {
  std::lock_guard<std::mutex> lock(FConsumerLock);
  if (FLost.exchange(true)) return;
  for (TCaptureConsumer* consumer : FConsumers) consumer->CaptureLost();
}

void TCaptureDevice::Deliver(const float* stereo, int frames, int64_t firstFrameNs) {
  std::lock_guard<std::mutex> lock(FConsumerLock);
  for (TCaptureConsumer* consumer : FConsumers) consumer->Captured(stereo, frames, firstFrameNs);
}

int TCaptureDevice::Subscribe(TControlListener listener) {
  std::lock_guard<std::mutex> lock(FStateLock);
  FListeners[FNextToken] = std::move(listener);
  return FNextToken++;
}

void TCaptureDevice::Unsubscribe(int token) {
  std::lock_guard<std::mutex> lock(FStateLock);
  FListeners.erase(token);
}

void TCaptureDevice::ControlChanged(TCaptureControl control) {
  std::vector<TControlListener> listeners;
  {
    std::lock_guard<std::mutex> lock(FStateLock);
    for (auto& entry : FListeners) listeners.push_back(entry.second);
  }
  for (auto& listener : listeners) listener(control);
}

unsigned CaptureDeviceCount() {
  TDeviceList& list = Devices();
  std::lock_guard<std::mutex> lock(list.Lock);
  return unsigned(list.Devices.size());
}

std::shared_ptr<TCaptureDevice> CaptureDevice(int id) {
  TDeviceList& list = Devices();
  std::lock_guard<std::mutex> lock(list.Lock);
  if (id < 0 || size_t(id) >= list.Devices.size()) return nullptr;
  return list.Devices[size_t(id)];
}

std::string CaptureDeviceName(int id) {
  auto device = CaptureDevice(id);
  return device ? CutName(device->Name()) : std::string();
}

int AddCaptureDevice(std::shared_ptr<TCaptureDevice> device) {
  int id;
  {
    std::lock_guard<std::mutex> lock(List().Lock);
    List().Devices.push_back(std::move(device));
    id = int(List().Devices.size()) - 1;
  }
  ListChanged();
  return id;
}

void RemoveCaptureDevice(const std::shared_ptr<TCaptureDevice>& device) {
  {
    std::lock_guard<std::mutex> lock(List().Lock);
    auto& devices = List().Devices;
    devices.erase(std::remove(devices.begin(), devices.end(), device), devices.end());
  }
  ListChanged();
}

int SubscribeDeviceList(std::function<void()> listener) {
  std::lock_guard<std::mutex> lock(List().Lock);
  List().Listeners[List().NextToken] = std::move(listener);
  return List().NextToken++;
}

void UnsubscribeDeviceList(int token) {
  std::lock_guard<std::mutex> lock(List().Lock);
  List().Listeners.erase(token);
}

void SetInputDevice(int id) {
  std::lock_guard<std::mutex> lock(List().Lock);
  List().Chosen = id;
}

int InputDevice() {
  std::lock_guard<std::mutex> lock(List().Lock);
  return List().Chosen;
}

}  // namespace audio
