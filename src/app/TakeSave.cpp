// Saving the take: a checked copy of the working file, or its conversion
// through the chosen codec with a progress bar, in the busy state that only
// Stop leaves. Every failure shows one message box and leaves no file. The
// saver (TakeSaver.h) carries out the copy and the conversion.

#include <algorithm>
#include <cstdint>

#include "app/ProgramModule.h"
#include "app/TakeSaver.h"
#include "base/Streams.h"
#include "platform/codec/RiffWave.h"
#include "platform/forms/Application.h"

bool TFProgramModule::Saved() const { return FSaver->Saved(); }

bool TFProgramModule::Busy() const { return FSaver->Busy(); }

const std::string& TFProgramModule::DestFile() const { return FSaver->DestFile(); }

void TFProgramModule::ShowCompressionError() { ShowError(Message(pmNoCompression)); }

bool TFProgramModule::ReportSave(const codec::TWaveSaveResult& Result) {
  using codec::TWaveSaveStatus;
  FLastResult = Result.Code;
  FSaver->Ended(Result);
  switch (Result.Status) {
    case TWaveSaveStatus::wsOk: return true;
    case TWaveSaveStatus::wsNoStream: ShowCompressionError(); break;
    // The destination's own cause, when the system gave one, is said.
    case TWaveSaveStatus::wsCannotOpen:
      ShowError(Result.Error ? MessageWithCause(pmCannotWrite, Result.Path, Result.Error)
                             : MessageWithPath(pmCannotOpen, Result.Path));
      break;
    case TWaveSaveStatus::wsBadSource: ShowError(Message(pmNotWave)); break;
    case TWaveSaveStatus::wsWriteError:
    case TWaveSaveStatus::wsConvertError:
      ShowError(Result.Error ? MessageWithCause(pmCannotWrite, Result.Path, Result.Error) : Message(pmWriteError));
      break;
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
  if (FSaver->Busy()) return false;
  if (!CBCompression->Checked()) return ReportSave(FSaver->Copy(Source, Dest));
  const int codecIndex = CBCompressions->ItemIndex();
  if (codecIndex < 0) return fail(TWaveSaveStatus::wsNoStream);
  const uint16_t tag = uint16_t(CBCompressions->Items().Tags(codecIndex));
  const int driverIndex = CBDrivers->ItemIndex();
  const uint32_t driver = driverIndex < 0 ? 0 : uint32_t(CBDrivers->Items().Tags(driverIndex));

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

  TTakeSaver::TShow show;
  // Busy: progress shown, only Stop enabled among the actions, and the
  // format and codec controls (which the save reads) locked, so that nothing
  // starts a take, changes the record format or replaces the opened file
  // while the working file is read in its own format.
  show.Busy = [this](bool busy, uint64_t sourceBytes) {
    if (busy) {
      PBProgress->SetMax(int(std::min<uint64_t>(sourceBytes / 100, INT32_MAX)));
      PBProgress->SetPosition(0);
      PBProgress->Show();
    }
    for (forms::TControl* c : std::initializer_list<forms::TControl*>{
             CBInputDevices, CBSampleRate, CBChannels, CBResolution, CBCompression, CBCompressions, CBDrivers})
      c->SetEnabled(!busy);
    UpdateActions();
    if (!busy) PBProgress->Hide();
  };
  show.Progress = [this](uint64_t done) { PBProgress->SetPosition(int(std::min<uint64_t>(done / 100, INT32_MAX))); };
  show.Pump = [] { forms::Application->ProcessMessages(); };
  return ReportSave(FSaver->Convert(Source, Dest, *FCodecFormat, driver, show));
}
