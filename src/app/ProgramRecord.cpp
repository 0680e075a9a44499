// Recording a take: its start and end, the level monitor that the wave
// input beside the recording feeds, and the take loaded into the take
// player. The recorder (TakeRecorder.h) carries out each step.

#include "app/DrawPanel.h"
#include "app/LevelMeter.h"
#include "app/LoadedFile.h"
#include "app/ProgramLog.h"
#include "app/ProgramModule.h"
#include "app/ProgramUnit.h"
#include "app/TakeRecorder.h"
#include "app/TakeSaver.h"
#include "base/Streams.h"
#include "base/Strings.h"
#include "base/Utf8.h"
#include "platform/audio/Mci.h"
#include "platform/audio/MediaPlayer.h"
#include "platform/forms/ControlPaint.h"
#include "player/MidiOutput.h"

namespace {

void DrawLevelBar(TDrawPanel* Bar, int Height) {
  canvas::TCanvas& c = Bar->Surface();
  const int width = Bar->ClientWidth(), height = Bar->ClientHeight();
  c.Brush.Color = canvas::clWhite;
  c.FillRect({1, 1, width - 1, height - Height - 1});
  c.Brush.Color = canvas::clLime;
  c.FillRect({1, height - Height - 1, width - 1, height - 1});
}

}  // namespace

std::string TFProgramModule::RecordCaption() const {
  int mnemonic;
  return Utf16ToUtf8(forms::StripMnemonic(ARecord->Caption(), mnemonic));
}

const std::string& TFProgramModule::RecordFile() const { return FTake->RecordFile(); }

bool TFProgramModule::Recording() const { return FTake->Recording(); }

bool TFProgramModule::HasTake() const { return FTake->HasTake(); }

void TFProgramModule::ARecordExecute() {
  TLoadedFile* file = CurrentFile();
  // A take not saved yet is the user's work: it is recorded over only when
  // the user gives it up or it has been saved.
  if (!file || !SettleUnsavedTake(RecordCaption(), pmRecordQuestion)) return;
  FLastResult = FTake->OpenMonitor(FWaveFormat, [this](audio::TWaveHdr* header) { WMWimData(header); });
  QueueWaveInBuffer();
  FTake->ShowWaveform(PMeter->ClientWidth());
  SetupWaveFormat();
  FLastResult = FTake->Open(FWaveFormat);
  TBSource->SetPosition(0);
  // The bar may stand at 0 already while the score stands at its end (whose
  // time reads as 0): a take always starts at the score's beginning.
  file->GotoBegin();
  // Cleared before the play thread starts, so that an end it reports at
  // once still ends the take.
  FPlayEnded = false;
  file->Play();
  // A score that started and already ended is still a take to save.
  if (!file->Playing && !file->DeviceOpen) {
    AbortTake();
    return;
  }
  FLastResult = FTake->Record(file->FileName);
  // A run that ends without shut-down leaves the take with its score's name.
  WriteSettings([&](forms::TIniFile& ini) { ini.WriteString("Record", "TakeScore", file->FileName); });
  TExport->SetEnabled(true);
  // The take panel shows the take being recorded: no name of its own yet,
  // the score's length, its time from 0.
  TBDestination->SetMax(TBSource->Max());
  TBDestination->SetPosition(0);
  LDestination->SetCaption(ExtractFileName(RecordFile()));
  LTimeDest->SetCaption(MillisecToStr(0));
  LEndTime->SetCaption(LSEndTime->Caption());
  UpdateActions();
}

void TFProgramModule::AbortTake() {
  TLoadedFile* file = CurrentFile();
  const uint32_t code = file && file->MidiOutput ? file->MidiOutput->LastError() : uint32_t(midi::MMSYSERR_ERROR);
  WriteLog("Play " + IntToStr(static_cast<long long>(code)));
  CloseWaveIn();
  FTake->Close();
  ClearScreen();
  UpdateActions();
  ShowError(Message(pmNoMidiDevice));
}

std::optional<TProgramMessage> TFProgramModule::FinishTake() {
  CloseWaveIn();
  const TTakeRecorder::TEnd end = FTake->Finish();
  FLastResult = end.Save;
  // A failed save leaves the working file as it was: a take before this one
  // stays the take. A take stopped before anything arrived is no failure.
  if (end.Save == audio::MCIERR_WAVE_EMPTY) return std::nullopt;
  if (end.Save != 0) return pmWriteError;
  TakeRecorded();
  if (end.Stop == audio::MCIERR_FILE_WRITE) return pmTakeCutShort;
  return std::nullopt;
}

void TFProgramModule::TakeRecorded() {
  FTake->SetHasTake(true);
  FSaver->NewTake(RecordFile());
  UpdateDestination();
  UpdateActions();
}

void TFProgramModule::TakeUpLeftTake() {
  const forms::TIniFile& ini = *IniFile();
  if (FTake->TakeUpLeftTake(ini.ReadString("Record", "SavedTake", ""), ini.ReadString("Record", "TakeScore", "")))
    TakeRecorded();
}

void TFProgramModule::UpdateDestination() {
  if (!HasTake()) return;
  const std::string file = FileExists(DestFile()) ? DestFile() : RecordFile();
  if (!FileExists(file)) return;
  LDestination->SetCaption(ExtractFileName(file));
  MPDestination->FileName = file;
  FLastResult = MPDestination->Open();
  TBDestination->SetMax(int(MPDestination->Length()));
  MPDestination->SetPosition(0);
  // The bar and the time stand where the player does, at the take's start.
  TBDestination->SetPosition(0);
  LTimeDest->SetCaption(MillisecToStr(0));
  LEndTime->SetCaption(MillisecToStr(MPDestination->Length()));
}

void TFProgramModule::PlaySource() { PlaySide(true); }

void TFProgramModule::PlayDestination() { PlaySide(false); }

void TFProgramModule::PlaySide(bool Source) {
  (Source ? PSource : PDestination)->SetFocus();
  // A side whose focus did not move (a hidden window) is made active all the same.
  if (FSourceActive != Source) ActivatePanel(Source);
  StartPlaySource();
}

// Also after the score's end: the take listens for the last notes to fade.
void TFProgramModule::QueueWaveInBuffer() { FTake->QueueMonitorBuffer(Recording()); }

void TFProgramModule::CloseWaveIn() {
  FPlayEnded = true;
  FTake->CloseMonitor();
}

void TFProgramModule::WMWimData(audio::TWaveHdr* Header) {
  std::vector<canvas::TPoint>* points = FTake->Waveform();
  if (!points) return;
  FTake->NoteMonitorBuffer(*Header);
  QueueWaveInBuffer();
  const codec::TWaveFormat& format = FTake->MonitorFormat();
  const int width = PMeter->ClientWidth(), height = PMeter->ClientHeight();
  // Sized for the meter as it is now: the window may have grown since the
  // take began.
  TLevelReading reading = ReadLevels(Header->lpData, Header->dwBytesRecorded, format, width, height);
  DrawLevelBar(PLeftVolume, LeftBarHeight(reading, format, PLeftVolume->ClientHeight()));
  if (format.nChannels() == 2)
    DrawLevelBar(PRightVolume, RightBarHeight(reading, format, PRightVolume->ClientHeight()));
  *points = std::move(reading.Points);
  canvas::TCanvas& c = PMeter->Surface();
  c.Brush.Color = canvas::clBlack;
  c.FillRect({1, 1, width, height});
  c.Brush.Color = canvas::clLime;
  c.Pen.Color = canvas::clLime;
  c.Pen.Width = 1;
  if (!points->empty()) c.Polygon(*points);
}

void TFProgramModule::ClearScreen() {
  canvas::TCanvas& meter = PMeter->Surface();
  meter.Brush.Color = canvas::clBlack;
  meter.FillRect({1, 1, PMeter->ClientWidth(), PMeter->ClientHeight()});
  for (TDrawPanel* bar : {PLeftVolume, PRightVolume}) {
    canvas::TCanvas& c = bar->Surface();
    c.Brush.Color = canvas::clWhite;
    c.FillRect({1, 1, bar->ClientWidth() - 1, bar->ClientHeight() - 1});
  }
}
