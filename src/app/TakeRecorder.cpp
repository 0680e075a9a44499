#include "app/TakeRecorder.h"

#include <algorithm>

#include "app/ProgramLog.h"
#include "base/Exceptions.h"
#include "base/Streams.h"
#include "base/Strings.h"
#include "platform/audio/Mci.h"
#include "platform/codec/RiffWave.h"

namespace {

// The MCI time-format keyword for milliseconds, in its short form.
constexpr const char* MillisecondsKeyword = "MS";

std::string Code(uint32_t code) { return IntToStr(static_cast<long long>(code)); }

}  // namespace

TTakeRecorder::TTakeRecorder(std::string RecordFile) : FRecordFile(std::move(RecordFile)) {}

TTakeRecorder::~TTakeRecorder() {
  if (!FRecording) return;
  CloseMonitor();
  Close();
}

uint32_t TTakeRecorder::OpenMonitor(const codec::TWaveFormat& Format, std::function<void(audio::TWaveHdr*)> OnData) {
  FMonitorFormat = Format;
  const uint32_t code =
      audio::WaveInOpen(FWaveIn, audio::WAVE_MAPPER, FMonitorFormat,
                        [OnData = std::move(OnData)](audio::HWAVEIN, audio::TWaveHdr* header) { OnData(header); });
  WriteLog("WaveInOpen " + Code(code));
  FBlockSamples = FMonitorFormat.nSamplesPerSec() / 10;
  FBlockBytes = FBlockSamples * FMonitorFormat.nBlockAlign();
  FUseSecond = false;
  return code;
}

void TTakeRecorder::QueueMonitorBuffer(bool Requeue) {
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
  } else if (Requeue) {
    std::fill(buffer.begin(), buffer.end(), uint8_t(0));
    audio::WaveInAddBuffer(FWaveIn, header);
  }
}

void TTakeRecorder::ShowWaveform(int Width) {
  FPoints = std::make_unique<std::vector<canvas::TPoint>>(size_t(std::max(0, Width)) * 2);
}

void TTakeRecorder::CloseMonitor() {
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

uint32_t TTakeRecorder::Open(const codec::TWaveFormat& Format) {
  FAlias = "KorvaneFile";
  uint32_t code = audio::MciSendString("OPEN NEW TYPE WAVEAUDIO ALIAS " + FAlias);
  WriteLog("Open WAVEAUDIO ALIAS " + Code(code));
  const uint32_t bits = Format.wBitsPerSample(), channels = Format.nChannels(), rate = Format.nSamplesPerSec();
  code = audio::MciSendString("SET " + FAlias + " TIME FORMAT " + MillisecondsKeyword + " BITSPERSAMPLE " +
                              Code(bits) + " CHANNELS " + Code(channels) + " ALIGNMENT " + Code(channels * bits / 8) +
                              " SAMPLESPERSEC " + Code(rate) + " BYTESPERSEC " + Code(channels * rate * bits / 8));
  WriteLog(std::string("SET TIME FORMAT ") + MillisecondsKeyword + " " + Code(code));
  return code;
}

uint32_t TTakeRecorder::Record() {
  FRecording = true;
  uint32_t code = audio::WaveInStart(FWaveIn);
  WriteLog("WaveInStart " + Code(code));
  code = audio::MciSendString("RECORD " + FAlias);
  WriteLog("RECORD " + Code(code));
  return code;
}

uint32_t TTakeRecorder::Finish() {
  FRecording = false;
  audio::MciSendString("STOP " + FAlias);
  const uint32_t saved = audio::MciSendString("SAVE " + FAlias + " \"" + FRecordFile + "\"");
  audio::MciSendString("CLOSE " + FAlias);
  return saved;
}

void TTakeRecorder::Close() {
  FRecording = false;
  audio::MciSendString("CLOSE " + FAlias);
}

bool TTakeRecorder::LeftTakeReadable() const {
  try {
    TFileStream in(FRecordFile, fmOpenRead);
    const codec::TWaveFileInfo info = codec::ReadWaveHeader(in);
    return info.Format.IsPcm() && info.Format.nBlockAlign() != 0 && info.DataSize >= info.Format.nBlockAlign();
  } catch (const Exception&) {
    return false;  // none, or not a take: the next take replaces it
  }
}
