// Saving the take: a checked copy of the working file, or its conversion
// through the chosen codec with a progress bar, in the busy state that only
// Stop leaves. Every failure shows one message box and leaves no file.

#include <sys/stat.h>

#include <algorithm>
#include <cstdint>

#include "app/MessageBlock.h"
#include "app/ProgramModule.h"
#include "base/Streams.h"
#include "platform/codec/RiffWave.h"
#include "platform/codec/WaveSave.h"
#include "platform/forms/Application.h"

namespace {

int64_t FileSize(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 ? int64_t(st.st_size) : 0;
}

// The busy state of a conversion: progress shown, only Stop enabled among
// the actions, the format and codec controls (which the save reads) locked.
class TSaveBusy {
public:
  TSaveBusy(TFProgramModule& main, bool& busy, int64_t sourceSize) : FMain(main), FBusy(busy) {
    FMain.PBProgress->SetMax(int(std::min<int64_t>(sourceSize / 100, INT32_MAX)));
    FMain.PBProgress->SetPosition(0);
    FMain.PBProgress->Show();
    Lock(true);
  }
  ~TSaveBusy() {
    Lock(false);
    FMain.PBProgress->Hide();
  }

private:
  void Lock(bool busy) {
    FBusy = busy;
    // Nothing may start a take, change the record format or replace the
    // opened file while the working file is read in its own format.
    for (forms::TControl* c : std::initializer_list<forms::TControl*>{
             FMain.CBInputDevices, FMain.CBSampleRate, FMain.CBChannels, FMain.CBResolution, FMain.CBCompression,
             FMain.CBCompressions, FMain.CBDrivers})
      c->SetEnabled(!busy);
    FMain.MIReopen->SetEnabled(!busy);
    FMain.UpdateActions();
  }

  TFProgramModule& FMain;
  bool& FBusy;
};

}  // namespace

std::string TFProgramModule::MessageWithPath(int Index, const std::string& Path) const {
  // Only the first "%s" takes the path: the text comes from a language file
  // and is no format of its own.
  std::string text = Message(Index);
  const size_t at = text.find("%s");
  return at == std::string::npos ? text : text.replace(at, 2, Path);
}

void TFProgramModule::ShowCompressionError() { ShowError(Message(6)); }

bool TFProgramModule::ReportSave(const codec::TWaveSaveResult& Result) {
  using codec::TWaveSaveStatus;
  FLastResult = Result.Code;
  FSaveStopped = Result.Status == TWaveSaveStatus::wsAborted;
  switch (Result.Status) {
    case TWaveSaveStatus::wsOk: return true;
    case TWaveSaveStatus::wsNoStream: ShowCompressionError(); break;
    case TWaveSaveStatus::wsCannotOpen: ShowError(MessageWithPath(7, Result.Path)); break;
    case TWaveSaveStatus::wsBadSource: ShowError(Message(8)); break;
    case TWaveSaveStatus::wsWriteError:
    case TWaveSaveStatus::wsConvertError: ShowError(Message(9)); break;
    case TWaveSaveStatus::wsAborted: break;  // the user's own Stop: no box, SaveTake's label says so
  }
  if (FLastResult == 0) FLastResult = 1;
  return false;
}

bool TFProgramModule::WriteWaveFile(const std::string& Source, const std::string& Dest) {
  using codec::TWaveSaveStatus;
  auto fail = [this](TWaveSaveStatus status, const std::string& path = {}) {
    codec::TWaveSaveResult failure;
    failure.Status = status;
    failure.Path = path;
    return ReportSave(failure);
  };
  if (FBusy) return false;
  if (!CBCompression->Checked()) return ReportSave(codec::CopyWaveFile(Source, Dest));
  const int codecIndex = CBCompressions->ItemIndex();
  if (codecIndex < 0) return fail(TWaveSaveStatus::wsNoStream);
  const uint16_t tag = uint16_t(reinterpret_cast<intptr_t>(CBCompressions->Items().Objects(codecIndex)));
  const int driverIndex = CBDrivers->ItemIndex();
  const uint32_t driver = driverIndex < 0 ? 0 : uint32_t(reinterpret_cast<intptr_t>(CBDrivers->Items().Objects(driverIndex)));

  // The compressed format follows the take's own format, which the format
  // controls need not show any more.
  codec::TWaveFormat source;
  try {
    TFileStream in(Source, fmOpenRead);
    source = codec::ReadWaveHeader(in).Format;
  } catch (const EStreamError&) {
    return fail(TWaveSaveStatus::wsCannotOpen, Source);
  } catch (const codec::EWaveError&) {
    return fail(TWaveSaveStatus::wsBadSource);
  }
  if (!source.IsPcm()) return fail(TWaveSaveStatus::wsBadSource);
  if (!FindCompressedFormat(driver, tag, source)) return fail(TWaveSaveStatus::wsNoStream);

  codec::TWaveSaveResult result;
  {
    TSaveBusy busy(*this, FBusy, FileSize(Source));
    codec::TWaveSaveEvents events;
    events.OnProgress = [this](uint64_t done, uint64_t) {
      PBProgress->SetPosition(int(std::min<uint64_t>(done / 100, INT32_MAX)));
    };
    // Window messages run after each block, so Stop (which clears FBusy) can end the save.
    events.Aborted = [this] {
      forms::Application->ProcessMessages();
      return !FBusy;
    };
    result = codec::ConvertWaveFile(Source, Dest, *FCodecFormat, driver, events);
  }
  return ReportSave(result);
}
