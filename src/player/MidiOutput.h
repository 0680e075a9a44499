#pragma once
// The MIDI output component: one per opened score. The host picks a device
// by DeviceID or ProductName while it is closed, opens it, forwards the
// player's short and long messages (from the play thread) and closes it.
// Errors of the MIDI layer raise EmidioutputError with the layer's text;
// Open reports failure by its result and PutShort by its return code.
// Onmidioutput fires on the main thread, from the main queue, once a long
// message has been played.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "base/Exceptions.h"
#include "base/Object.h"
#include "platform/midi/MidiOut.h"

class EmidioutputError : public Exception {
  using Exception::Exception;
};

// What PutMidiEvent takes: a short message, or a system-exclusive block
// when Sysex is set.
struct TMidiEvent {
  uint8_t Event = 0;  // status byte
  uint8_t Data1 = 0;
  uint8_t Data2 = 0;
  const uint8_t* Sysex = nullptr;
  size_t SysexLength = 0;
};

class TMidiOutput : public TObject {
public:
  explicit TMidiOutput(TObject* AOwner = nullptr);
  ~TMidiOutput() override;

  virtual bool Open();
  virtual bool Close();
  virtual void PutMidiEvent(const TMidiEvent& Event);
  virtual midi::TResult PutShort(uint8_t MidiMessage, uint8_t Data1, uint8_t Data2);
  virtual void PutLong(const void* TheSysex, size_t msgLength);

  void SetVolume(uint16_t Right, uint16_t Left);
  void GetVolume(uint16_t& Right, uint16_t& Left);
  std::string GetErrorText(midi::TResult Code);

  int GetDeviceID() const { return FDeviceID; }
  void SetDeviceID(int Value);
  const std::string& GetProductName() const { return FProductName; }
  void SetProductName(const std::string& Value);

  bool IsOpen() const { return !FClosed.load(); }
  midi::TResult LastError() const { return FLastError.load(); }
  int NumDevs() const { return FNumDevs; }
  uint32_t DriverVersion() const { return FDriverVersion; }
  uint16_t Technology() const { return FTechnology; }
  uint16_t Voices() const { return FVoices; }
  uint16_t Notes() const { return FNotes; }
  uint16_t ChannelMask() const { return FChannelMask; }
  uint32_t Support() const { return FSupport; }

  TNotifyEvent Onmidioutput;

private:
  // A long message on its way: the bytes and the header naming them, kept
  // until the layer hands the header back.
  struct TMyMidiHdr {
    std::vector<uint8_t> Data;
    midi::TMidiHdr Header;
  };

  [[noreturn]] void RaiseError(midi::TResult code);
  void LongDone(midi::TMidiHdr* header);
  std::unique_ptr<TMyMidiHdr> TakePending(const TMyMidiHdr* block);

  int FDeviceID = 0;
  std::atomic<midi::THandle> FHandle{0};
  std::atomic<bool> FClosed{true};
  std::atomic<midi::TResult> FLastError{midi::MMSYSERR_NOERROR};
  uint32_t FDriverVersion = 0;
  std::string FProductName;
  uint16_t FTechnology = 0, FVoices = 0, FNotes = 0, FChannelMask = 0;
  uint32_t FSupport = 0;
  int FNumDevs = 0;
  std::mutex FPendingLock;
  std::vector<std::unique_ptr<TMyMidiHdr>> FPending;
};
