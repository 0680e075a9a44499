// Recording a take: the MCI wave-audio element that records it, the wave
// input beside it that feeds the level monitor, the end of a take and the
// take loaded into the take player.

#include "app/DrawPanel.h"
#include "app/LevelMeter.h"
#include "app/LoadedFile.h"
#include "app/ProgramLog.h"
#include "app/ProgramModule.h"
#include "base/Streams.h"
#include "base/Strings.h"
#include "platform/audio/MediaPlayer.h"
#include "platform/codec/RiffWave.h"
#include "player/MidiOutput.h"

namespace {

// The MCI time-format keyword for milliseconds, in its short form.
constexpr const char* MillisecondsKeyword = "MS";

std::string Code(uint32_t code) { return IntToStr(static_cast<long long>(code)); }

void DrawLevelBar(TDrawPanel* Bar, int Height) {
  canvas::TCanvas& c = Bar->Surface();
  const int width = Bar->ClientWidth(), height = Bar->ClientHeight();
  c.Brush.Color = canvas::clWhite;
  c.FillRect({1, 1, width - 1, height - Height - 1});
  c.Brush.Color = canvas::clLime;
  c.FillRect({1, height - Height - 1, width - 1, height - 1});
}

}  // namespace

void TFProgramModule::ARecordExecute() {
  TLoadedFile* file = CurrentFile();
  if (!file) return;
  // The monitor decodes its buffers in the format its input was opened with,
  // whatever the controls say later.
  FMonitorFormat = FWaveFormat;
  FLastResult = audio::WaveInOpen(FWaveIn, audio::WAVE_MAPPER, FMonitorFormat,
                                  [this](audio::HWAVEIN, audio::TWaveHdr* header) { WMWimData(header); });
  WriteLog("WaveInOpen " + Code(FLastResult));
  FBlockSamples = FMonitorFormat.nSamplesPerSec() / 10;
  FBlockBytes = FBlockSamples * FMonitorFormat.nBlockAlign();
  FUseSecond = false;
  QueueWaveInBuffer();
  FPoints = std::make_unique<std::vector<canvas::TPoint>>(size_t(std::max(0, PMeter->ClientWidth())) * 2);
  SetupWaveFormat();
  FAlias = "KorvaneFile";
  FLastResult = audio::MciSendString("OPEN NEW TYPE WAVEAUDIO ALIAS " + FAlias);
  WriteLog("Open WAVEAUDIO ALIAS " + Code(FLastResult));
  const uint32_t bits = FWaveFormat.wBitsPerSample(), channels = FWaveFormat.nChannels();
  const uint32_t rate = FWaveFormat.nSamplesPerSec();
  FLastResult = audio::MciSendString("SET " + FAlias + " TIME FORMAT " + MillisecondsKeyword + " BITSPERSAMPLE " +
                                     Code(bits) + " CHANNELS " + Code(channels) + " ALIGNMENT " +
                                     Code(channels * bits / 8) + " SAMPLESPERSEC " + Code(rate) + " BYTESPERSEC " +
                                     Code(channels * rate * bits / 8));
  WriteLog(std::string("SET TIME FORMAT ") + MillisecondsKeyword + " " + Code(FLastResult));
  TBSource->SetPosition(0);
  // The bar may stand at 0 already while the score stands at its end (whose
  // time reads as 0): a take always starts at the score's beginning.
  file->GotoBegin();
  // Cleared before the play thread starts, so that an end it reports at
  // once still ends the take.
  FPlayEnded = false;
  file->Play();
  // A score that started and already ended is still a take to save.
  FRecording = file->Playing || file->DeviceOpen;
  if (!FRecording) {
    AbortTake();
    return;
  }
  FLastResult = audio::WaveInStart(FWaveIn);
  WriteLog("WaveInStart " + Code(FLastResult));
  FLastResult = audio::MciSendString("RECORD " + FAlias);
  WriteLog("RECORD " + Code(FLastResult));
  TExport->SetEnabled(true);
  TBDestination->SetMax(TBSource->Max());
  UpdateActions();
}

void TFProgramModule::AbortTake() {
  TLoadedFile* file = CurrentFile();
  const uint32_t code = file && file->MidiOutput ? file->MidiOutput->LastError() : uint32_t(midi::MMSYSERR_ERROR);
  WriteLog("Play " + Code(code));
  CloseWaveIn();
  FLastResult = audio::MciSendString("CLOSE " + FAlias);
  ClearScreen();
  UpdateActions();
  ShowError(Message(15));
}

bool TFProgramModule::FinishTake() {
  CloseWaveIn();
  FLastResult = audio::MciSendString("STOP " + FAlias);
  const audio::MCIERROR saved = audio::MciSendString("SAVE " + FAlias + " \"" + FRecordFile + "\"");
  FLastResult = saved;
  FLastResult = audio::MciSendString("CLOSE " + FAlias);
  // A failed save leaves the working file as it was: a take before this one
  // stays the take. A take stopped before anything arrived is no failure.
  if (saved == audio::MCIERR_WAVE_EMPTY) return true;
  if (saved != 0) return false;
  TakeRecorded();
  return true;
}

void TFProgramModule::TakeRecorded() {
  FHasTake = true;
  FSaved = false;
  // A new take has no name of its own yet: Save asks for one rather than
  // overwrite the file the take before it was saved to.
  FDestFile = FRecordFile;
  UpdateDestination();
  UpdateActions();
}

void TFProgramModule::TakeUpLeftTake() {
  try {
    TFileStream in(FRecordFile, fmOpenRead);
    const codec::TWaveFileInfo info = codec::ReadWaveHeader(in);
    if (!info.Format.IsPcm() || info.Format.nBlockAlign() == 0 || info.DataSize < info.Format.nBlockAlign()) return;
  } catch (const Exception&) {
    return;  // none, or not a take: the next take replaces it
  }
  TakeRecorded();
}

void TFProgramModule::UpdateDestination() {
  if (!FHasTake) return;
  const std::string file = FileExists(FDestFile) ? FDestFile : FRecordFile;
  if (!FileExists(file)) return;
  LDestination->SetCaption(ExtractFileName(file));
  MPDestination->FileName = file;
  FLastResult = MPDestination->Open();
  TBDestination->SetMax(int(MPDestination->Length()));
  MPDestination->SetPosition(0);
  LEndTime->SetCaption(MillisecToStr(int32_t(MPDestination->Length())));
}

void TFProgramModule::PlaySource() { PlaySide(true); }

void TFProgramModule::PlayDestination() { PlaySide(false); }

void TFProgramModule::PlaySide(bool Source) {
  (Source ? PSource : PDestination)->SetFocus();
  // A side whose focus did not move (a hidden window) is made active all the same.
  if (FSourceActive != Source) ActivatePanel(Source);
  StartPlaySource();
}

void TFProgramModule::QueueWaveInBuffer() {
  const size_t i = FUseSecond ? 1 : 0;
  FUseSecond = !FUseSecond;
  std::vector<uint8_t>& buffer = FBuffers[i];
  audio::TWaveHdr& header = FHeaders[i];
  if (buffer.empty()) {
    buffer.assign(FBlockBytes, 0);
    header = {};
    header.lpData = buffer.data();
    header.dwBufferLength = header.dwBytesRecorded = FBlockBytes;
    audio::WaveInPrepareHeader(FWaveIn, header);
    audio::WaveInAddBuffer(FWaveIn, header);
  } else if (!FPlayEnded) {
    std::fill(buffer.begin(), buffer.end(), uint8_t(0));
    audio::WaveInAddBuffer(FWaveIn, header);
  }
}

void TFProgramModule::CloseWaveIn() {
  FPlayEnded = true;
  if (FWaveIn) {
    audio::WaveInReset(FWaveIn);
    for (size_t i = 0; i < FBuffers.size(); ++i)
      if (!FBuffers[i].empty()) audio::WaveInUnprepareHeader(FWaveIn, FHeaders[i]);
    audio::WaveInClose(FWaveIn);
    FWaveIn = 0;
  }
  for (std::vector<uint8_t>& buffer : FBuffers) std::vector<uint8_t>().swap(buffer);
  FPoints.reset();
}

void TFProgramModule::WMWimData(audio::TWaveHdr* Header) {
  if (!FPoints) return;
  QueueWaveInBuffer();
  const int width = PMeter->ClientWidth(), height = PMeter->ClientHeight();
  // Sized for the meter as it is now: the window may have grown since the
  // take began.
  TLevelReading reading = ReadLevels(Header->lpData, Header->dwBytesRecorded, FMonitorFormat, width, height);
  DrawLevelBar(PLeftVolume, LeftBarHeight(reading, FMonitorFormat, PLeftVolume->ClientHeight()));
  if (FMonitorFormat.nChannels() == 2)
    DrawLevelBar(PRightVolume, RightBarHeight(reading, FMonitorFormat, PRightVolume->ClientHeight()));
  *FPoints = std::move(reading.Points);
  canvas::TCanvas& c = PMeter->Surface();
  c.Brush.Color = canvas::clBlack;
  c.FillRect({1, 1, width, height});
  c.Brush.Color = canvas::clLime;
  c.Pen.Color = canvas::clLime;
  c.Pen.Width = 1;
  if (!FPoints->empty()) c.Polygon(*FPoints);
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
