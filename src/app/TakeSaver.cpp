#include "app/TakeSaver.h"

#include <sys/stat.h>

namespace {

uint64_t FileSize(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 ? uint64_t(st.st_size) : 0;
}

}  // namespace

void TTakeSaver::NewTake(const std::string& RecordFile) {
  FSaved = false;
  FDestFile = RecordFile;
}

codec::TWaveSaveResult TTakeSaver::Copy(const std::string& Source, const std::string& Dest) {
  return codec::CopyWaveFile(Source, Dest);
}

codec::TWaveSaveResult TTakeSaver::Convert(const std::string& Source, const std::string& Dest,
                                           const codec::TWaveFormat& Format, uint32_t Driver, const TShow& Show) {
  // Whatever way the conversion ends, the window leaves its busy state.
  struct TBusy {
    TTakeSaver& Saver;
    const TShow& Show;
    ~TBusy() {
      Saver.FBusy = false;
      Show.Busy(false, 0);
    }
  };
  FBusy = true;
  Show.Busy(true, FileSize(Source));
  TBusy busy{*this, Show};
  codec::TWaveSaveEvents events;
  events.OnProgress = [&](uint64_t done, uint64_t) { Show.Progress(done); };
  // Stop, run among the window's messages, clears FBusy.
  events.Aborted = [&] {
    Show.Pump();
    return !FBusy;
  };
  return codec::ConvertWaveFile(Source, Dest, Format, Driver, events);
}

bool TTakeSaver::Abort() {
  const bool was = FBusy;
  FBusy = false;
  return was;
}
