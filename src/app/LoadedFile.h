#pragma once
// An opened file: the score document that reads it, a score view that only
// plays it, and the MIDI output the view's messages go to. A file whose
// extension is not accepted still gives an object, without score, view or
// output; it then reports a duration and position of 0 and ignores play,
// seek and volume requests.

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "base/Object.h"

class TKVScore;
class TKVWindow;
class TMidiOutput;

class TLoadedFile : public TObject {
public:
  // Loads the file for an accepted extension; a load error passes out (and
  // nothing of the object remains).
  explicit TLoadedFile(const std::string& FileName);
  // Stops playback first, so that no message reaches a freed output.
  ~TLoadedFile() override;

  // ".sfd", ".xml", ".mid", ".kar", ".midi", ".rmi" in any letter case.
  static bool IsAccepted(const std::string& FileName);

  double GetDuration();
  double GetPosition();
  void Seek(double Ms);
  // Takes effect at the next open of the device.
  void SetDeviceID(int32_t Value) { DeviceID = Value; }
  void OpenDevice();
  void CloseDevice();
  // Opens the device and starts the view; nothing when the device stays closed.
  void Play();
  void Stop();
  void GotoBegin();
  void GotoEnd();
  void SetVolume(uint16_t Right, uint16_t Left);
  void GetVolume(uint16_t& Right, uint16_t& Left);

  // The view's events, in its play thread; StopPlay hands OnStop on to the
  // main thread.
  void PlayShort(TObject* Sender, uint8_t MidiMessage, uint8_t Data1, uint8_t Data2, int32_t AVST, bool AShow);
  void PlayLong(TObject* Sender, const uint8_t* TheSysex, uint16_t msgLength, int32_t AVST);
  void StopPlay(TObject* Sender);

  std::unique_ptr<TKVScore> Score;
  // The view that plays the score: no owner, no parent, real-time style.
  std::unique_ptr<TKVWindow> Window;
  std::unique_ptr<TMidiOutput> MidiOutput;
  int32_t DeviceID = 0;
  std::string FileName;
  std::atomic<bool> Playing{false};
  bool DeviceOpen = false;
  // Playback ended by itself; Sender is this object. On the main thread,
  // through the main queue; never after Play, Stop or the object's end.
  TNotifyEvent OnStop;
};
