#include "player/MidiOutput.h"

#include <algorithm>

#include "platform/threads/MainQueue.h"

TMidiOutput::TMidiOutput(TObject* /*AOwner*/) : FNumDevs(int(midi::GetNumDevs())) {}

TMidiOutput::~TMidiOutput() {
  if (!FClosed.load()) {
    try {
      Close();
    } catch (const Exception&) {
      // A handle this component holds always closes; nothing to report from
      // a destructor anyway.
    }
  }
  // Done notices still queued would name freed blocks and a freed sender.
  TMainQueue::Instance().Cancel(this);
}

void TMidiOutput::RaiseError(midi::TResult code) { throw EmidioutputError(GetErrorText(code)); }

std::string TMidiOutput::GetErrorText(midi::TResult Code) {
  std::string text;
  if (midi::GetErrorText(Code, text) != midi::MMSYSERR_NOERROR) return "Specified error number is out of range";
  return text;
}

void TMidiOutput::SetDeviceID(int Value) {
  if (!FClosed.load()) throw EmidioutputError("Change to DeviceID while device was open");
  // Negative values pass: -1 is the mapper, others fail in GetDevCaps.
  if (Value >= 0 && Value >= FNumDevs) throw EmidioutputError("Invalid device ID");
  midi::TMidiOutCaps caps;
  const midi::TResult result = midi::GetDevCaps(Value, caps);
  // Stored only once the capabilities are had, so that a failed selection
  // leaves the previous device selected, as the host expects.
  if (result != midi::MMSYSERR_NOERROR) RaiseError(result);
  FDeviceID = Value;
  FProductName = caps.ProductName;
  FDriverVersion = caps.DriverVersion;
  FTechnology = caps.Technology;
  FVoices = caps.Voices;
  FNotes = caps.Notes;
  FChannelMask = caps.ChannelMask;
  FSupport = caps.Support;
}

void TMidiOutput::SetProductName(const std::string& Value) {
  if (!FClosed.load()) throw EmidioutputError("Change to ProductName while device was open");
  for (int id = midi::MIDI_MAPPER; id < FNumDevs; ++id) {
    midi::TMidiOutCaps caps;
    const midi::TResult result = midi::GetDevCaps(id, caps);
    if (result != midi::MMSYSERR_NOERROR) RaiseError(result);
    if (caps.ProductName == Value) {
      SetDeviceID(id);
      return;
    }
  }
  throw EmidioutputError("MIDI output Device " + Value + " not installed");
}

bool TMidiOutput::Open() {
  // A second handle would leak the first one: the device is this
  // component's already.
  if (!FClosed.load()) {
    FLastError.store(midi::MMSYSERR_ALLOCATED);
    return false;
  }
  midi::THandle handle = 0;
  const midi::TResult result =
      midi::Open(handle, FDeviceID, [this](midi::THandle, midi::TMidiHdr* header) { LongDone(header); }, this);
  FLastError.store(result);
  if (result != midi::MMSYSERR_NOERROR) return false;
  FHandle.store(handle);
  FClosed.store(false);
  return true;
}

bool TMidiOutput::Close() {
  if (FClosed.load()) return false;
  const midi::TResult result = midi::Close(FHandle.load());
  if (result != midi::MMSYSERR_NOERROR) RaiseError(result);
  FHandle.store(0);
  FClosed.store(true);
  return true;
}

midi::TResult TMidiOutput::PutShort(uint8_t MidiMessage, uint8_t Data1, uint8_t Data2) {
  const uint32_t word = uint32_t(MidiMessage) | uint32_t(Data1) << 8 | uint32_t(Data2) << 16;
  const midi::TResult result = midi::ShortMsg(FHandle.load(), word);
  FLastError.store(result);
  return result;
}

void TMidiOutput::PutLong(const void* TheSysex, size_t msgLength) {
  // An empty block would be a header without data; there is nothing to send.
  if (msgLength == 0) return;
  if (!TheSysex) RaiseError(midi::MMSYSERR_INVALPARAM);
  auto owned = std::make_unique<TMyMidiHdr>();
  const auto* bytes = static_cast<const uint8_t*>(TheSysex);
  owned->Data.assign(bytes, bytes + msgLength);
  TMyMidiHdr* block = owned.get();
  block->Header.Data = block->Data.data();
  block->Header.Length = block->Data.size();
  block->Header.User = reinterpret_cast<uintptr_t>(block);
  {
    // Listed before sending: from another thread, the done notice may be
    // handled before LongMsg returns here.
    std::lock_guard<std::mutex> guard(FPendingLock);
    FPending.push_back(std::move(owned));
  }
  const midi::TResult result = midi::LongMsg(FHandle.load(), &block->Header);
  if (result != midi::MMSYSERR_NOERROR) {
    TakePending(block);  // never sent: freed here, not leaked
    RaiseError(result);
  }
}

std::unique_ptr<TMidiOutput::TMyMidiHdr> TMidiOutput::TakePending(const TMyMidiHdr* block) {
  std::lock_guard<std::mutex> guard(FPendingLock);
  auto it = std::find_if(FPending.begin(), FPending.end(), [block](const auto& p) { return p.get() == block; });
  if (it == FPending.end()) return nullptr;
  std::unique_ptr<TMyMidiHdr> taken = std::move(*it);
  FPending.erase(it);
  return taken;
}

void TMidiOutput::LongDone(midi::TMidiHdr* header) {
  if (!TakePending(reinterpret_cast<const TMyMidiHdr*>(header->User))) return;
  if (Onmidioutput) Onmidioutput(this);
}

void TMidiOutput::PutMidiEvent(const TMidiEvent& Event) {
  if (FClosed.load()) throw EmidioutputError("MIDI Output device not open");
  if (Event.Sysex) PutLong(Event.Sysex, Event.SysexLength);
  else PutShort(Event.Event, Event.Data1, Event.Data2);
}

void TMidiOutput::SetVolume(uint16_t Right, uint16_t Left) {
  FLastError.store(midi::SetVolume(FDeviceID, uint32_t(Right) << 16 | Left));
}

void TMidiOutput::GetVolume(uint16_t& Right, uint16_t& Left) {
  uint32_t volume = 0;
  midi::GetVolume(FDeviceID, volume);
  Right = uint16_t(volume >> 16);
  Left = uint16_t(volume & 0xFFFF);
}
