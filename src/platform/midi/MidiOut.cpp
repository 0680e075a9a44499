#include "platform/midi/MidiOut.h"

#include <mutex>
#include <shared_mutex>
#include <unordered_map>
#include <vector>

#include "platform/midi/AlsaPorts.h"
#include "platform/midi/OutputDevice.h"
#include "platform/midi/SendTime.h"
#include "platform/midi/Synthesiser.h"
#include "platform/threads/MainQueue.h"

namespace midi {

namespace {

// One device of the list with who holds it open. Sends take the lock
// shared, Open and Close take it alone: a send never overlaps Close, and a
// send after Close finds the handle gone.
struct TSlot {
  std::shared_ptr<TOutputDevice> Device;
  std::shared_mutex Lock;
  THandle Handle = 0;
  TMidiOutProc Done;
  const void* Owner = nullptr;
};
using TSlotPtr = std::shared_ptr<TSlot>;

class TRegistry {
public:
  static TRegistry& Instance() {
    static TRegistry registry;
    return registry;
  }

  unsigned Count() {
    std::lock_guard<std::mutex> guard(FLock);
    Fill();
    return unsigned(FSlots.size());
  }

  TSlotPtr ById(int id) {
    std::lock_guard<std::mutex> guard(FLock);
    Fill();
    if (id == MIDI_MAPPER) id = 0;
    if (id < 0 || size_t(id) >= FSlots.size()) return nullptr;
    return FSlots[size_t(id)];
  }

  TSlotPtr ByHandle(THandle handle) {
    std::lock_guard<std::mutex> guard(FLock);
    auto it = FOpen.find(handle);
    return it == FOpen.end() ? nullptr : it->second;
  }

  THandle Register(const TSlotPtr& slot) {
    std::lock_guard<std::mutex> guard(FLock);
    if (FNextHandle == 0) ++FNextHandle;
    const THandle handle = FNextHandle++;
    FOpen[handle] = slot;
    return handle;
  }

  void Unregister(THandle handle) {
    std::lock_guard<std::mutex> guard(FLock);
    FOpen.erase(handle);
  }

  int Add(std::shared_ptr<TOutputDevice> device) {
    std::lock_guard<std::mutex> guard(FLock);
    Fill();
    auto slot = std::make_shared<TSlot>();
    slot->Device = std::move(device);
    FSlots.push_back(std::move(slot));
    return int(FSlots.size()) - 1;
  }

  void Remove(const std::shared_ptr<TOutputDevice>& device) {
    std::lock_guard<std::mutex> guard(FLock);
    std::erase_if(FSlots, [&device](const TSlotPtr& slot) { return slot->Device == device; });
  }

private:
  // The list is made once, at its first use: ids must not move under the
  // program's feet while it runs.
  void Fill() {
    if (FFilled) return;
    FFilled = true;
    std::vector<std::shared_ptr<TOutputDevice>> devices{TSynthesiser::Instance()};
    for (auto& port : ListAlsaPorts()) devices.push_back(std::move(port));
    for (auto& device : devices) {
      auto slot = std::make_shared<TSlot>();
      slot->Device = std::move(device);
      FSlots.push_back(std::move(slot));
    }
  }

  std::mutex FLock;
  bool FFilled = false;
  std::vector<TSlotPtr> FSlots;
  std::unordered_map<THandle, TSlotPtr> FOpen;
  THandle FNextHandle = 1;
};

}  // namespace

unsigned GetNumDevs() { return TRegistry::Instance().Count(); }

TResult GetDevCaps(int deviceId, TMidiOutCaps& caps) {
  TSlotPtr slot = TRegistry::Instance().ById(deviceId);
  if (!slot) return MMSYSERR_BADDEVICEID;
  caps = slot->Device->Caps();
  return MMSYSERR_NOERROR;
}

TResult Open(THandle& handle, int deviceId, TMidiOutProc done, const void* postOwner) {
  // The queue takes the thread that first uses it for the main thread. Open
  // runs there; a send thread must not be the first.
  TMainQueue::Instance();
  TSlotPtr slot = TRegistry::Instance().ById(deviceId);
  if (!slot) return MMSYSERR_BADDEVICEID;
  std::unique_lock<std::shared_mutex> guard(slot->Lock);
  if (slot->Handle) return MMSYSERR_ALLOCATED;
  const TResult result = slot->Device->Open();
  if (result != MMSYSERR_NOERROR) return result;
  slot->Handle = TRegistry::Instance().Register(slot);
  slot->Done = std::move(done);
  slot->Owner = postOwner;
  handle = slot->Handle;
  return MMSYSERR_NOERROR;
}

TResult Close(THandle handle) {
  TSlotPtr slot = TRegistry::Instance().ByHandle(handle);
  if (!slot) return MMSYSERR_INVALHANDLE;
  std::unique_lock<std::shared_mutex> guard(slot->Lock);
  if (slot->Handle != handle) return MMSYSERR_INVALHANDLE;
  slot->Device->Close();
  slot->Handle = 0;
  slot->Done = nullptr;
  slot->Owner = nullptr;
  TRegistry::Instance().Unregister(handle);
  return MMSYSERR_NOERROR;
}

TResult ShortMsg(THandle handle, uint32_t message) {
  TSlotPtr slot = TRegistry::Instance().ByHandle(handle);
  if (!slot) return MMSYSERR_INVALHANDLE;
  std::shared_lock<std::shared_mutex> guard(slot->Lock);
  if (slot->Handle != handle) return MMSYSERR_INVALHANDLE;
  // No running status: every word carries its status byte.
  if (!(message & 0x80)) return MMSYSERR_INVALPARAM;
  return slot->Device->Short(message, SendTimeNs());
}

TResult LongMsg(THandle handle, TMidiHdr* header) {
  TSlotPtr slot = TRegistry::Instance().ByHandle(handle);
  if (!slot) return MMSYSERR_INVALHANDLE;
  std::shared_lock<std::shared_mutex> guard(slot->Lock);
  if (slot->Handle != handle) return MMSYSERR_INVALHANDLE;
  if (!header || !header->Data || header->Length == 0) return MMSYSERR_INVALPARAM;
  const TResult result = slot->Device->Long(header->Data, header->Length, SendTimeNs());
  if (result != MMSYSERR_NOERROR) return result;
  header->Flags |= MHDR_DONE;
  // Posted before the lock is left, so that once Close has returned nothing
  // more of this handle can be queued and the owner's Cancel is final.
  if (slot->Done) {
    TMidiOutProc done = slot->Done;
    TMainQueue::Instance().Post([done, handle, header] { done(handle, header); }, slot->Owner);
  }
  return MMSYSERR_NOERROR;
}

TResult SetVolume(int deviceId, uint32_t volume) {
  TSlotPtr slot = TRegistry::Instance().ById(deviceId);
  return slot ? slot->Device->SetVolume(volume) : MMSYSERR_BADDEVICEID;
}

TResult GetVolume(int deviceId, uint32_t& volume) {
  TSlotPtr slot = TRegistry::Instance().ById(deviceId);
  return slot ? slot->Device->GetVolume(volume) : MMSYSERR_BADDEVICEID;
}

int AddDevice(std::shared_ptr<TOutputDevice> device) { return TRegistry::Instance().Add(std::move(device)); }

void RemoveDevice(const std::shared_ptr<TOutputDevice>& device) { TRegistry::Instance().Remove(device); }

}  // namespace midi
