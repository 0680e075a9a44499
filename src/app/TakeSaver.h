#pragma once
// The saving of a take, carried out for the main window: where the take is
// saved, whether it is saved with the current settings, and the copy or
// conversion of the working file with the busy state that only Stop ends.
// The window picks the codec and the names and shows what a save's result
// calls for.

#include <cstdint>
#include <functional>
#include <string>

#include "platform/codec/WaveFormat.h"
#include "platform/codec/WaveSave.h"

class TTakeSaver {
public:
  // What a conversion shows while it runs: Busy(true, source bytes) at its
  // start, Progress after each block, Busy(false, 0) at its end; Pump lets
  // the window's messages run after each block (Stop among them).
  struct TShow {
    std::function<void(bool busy, uint64_t sourceBytes)> Busy;
    std::function<void(uint64_t done)> Progress;
    std::function<void()> Pump;
  };

  // A take without a file of its own is saved to DestFile = RecordFile.
  explicit TTakeSaver(const std::string& RecordFile) : FDestFile(RecordFile) {}

  const std::string& DestFile() const { return FDestFile; }
  void SetDestFile(const std::string& Path) { FDestFile = Path; }
  // The take is in a file of the user's: a new record format or codec
  // leaves it so, since saving again would write over that file.
  bool Saved() const { return FSaved; }
  void SetSaved(bool Value) { FSaved = Value; }
  // A conversion runs.
  bool Busy() const { return FBusy; }
  // The last save ended by the user's Stop.
  bool Stopped() const { return FStopped; }

  // A new take has no file of its own yet: Save asks for one rather than
  // overwrite the file the take before it was saved to.
  void NewTake(const std::string& RecordFile);
  codec::TWaveSaveResult Copy(const std::string& Source, const std::string& Dest);
  // Converts Source into Format through Driver (0: any), busy until it ends.
  codec::TWaveSaveResult Convert(const std::string& Source, const std::string& Dest, const codec::TWaveFormat& Format,
                                 uint32_t Driver, const TShow& Show);
  // Ends a running conversion at its next block; false when none runs.
  bool Abort();
  // Notes how the save that gave Result ended.
  void Ended(const codec::TWaveSaveResult& Result) { FStopped = Result.Status == codec::TWaveSaveStatus::wsAborted; }

private:
  std::string FDestFile;
  bool FSaved = false;
  bool FBusy = false;
  bool FStopped = false;
};
