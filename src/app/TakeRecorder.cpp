#include "app/TakeRecorder.h"

#include <sys/stat.h>

#include <algorithm>

#include "app/LevelMeter.h"
#include "app/ProgramLog.h"
#include "base/Exceptions.h"
#include "base/Streams.h"
#include "base/Strings.h"
#include "platform/audio/Mci.h"
#include "platform/audio/TakeJournal.h"
#include "platform/codec/RiffWave.h"

namespace {

// The MCI time-format keyword for milliseconds, in its short form.
constexpr const char* MillisecondsKeyword = "MS";

// How long the input must stay silent after the score's end (in its own
// frames), and how long the take waits for that at most.
constexpr uint64_t SilenceMs = 100, LongestRingMs = 3000;

std::string Code(uint32_t code) { return IntToStr(static_cast<long long>(code)); }

}  // namespace

TTakeRecorder::TTakeRecorder(std::string RecordFile, const std::string& Journal)
    : FRecordFile(std::move(RecordFile)), FJournal(Journal) {
  audio::SetTakeJournal(FJournal);
}

TTakeRecorder::~TTakeRecorder() {
  if (FRecording) {
    CloseMonitor();
    Close();
  }
  audio::SetTakeJournal("");
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
  FQuietFrames = 0;
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

uint32_t TTakeRecorder::Record(const std::string& Score) {
  FRecording = true;
  FScoreEnded.reset();
  FScore = Score;
  uint32_t code = audio::WaveInStart(FWaveIn);
  WriteLog("WaveInStart " + Code(code));
  code = audio::MciSendString("RECORD " + FAlias);
  WriteLog("RECORD " + Code(code));
  return code;
}

TTakeRecorder::TEnd TTakeRecorder::Finish() {
  FRecording = false;
  TEnd end;
  end.Stop = audio::MciSendString("STOP " + FAlias);
  end.Save = audio::MciSendString("SAVE " + FAlias + " \"" + FRecordFile + "\"");
  audio::MciSendString("CLOSE " + FAlias);
  if (end.Stop == audio::MCIERR_FILE_WRITE) WriteLog("STOP " + Code(end.Stop) + ": the take ends where writing failed");
  return end;
}

void TTakeRecorder::NoteMonitorBuffer(const audio::TWaveHdr& Header) {
  const uint32_t frames = Header.dwBytesRecorded / std::max<uint32_t>(FMonitorFormat.nBlockAlign(), 1);
  const uint32_t quiet = QuietFramesAtEnd(Header.lpData, Header.dwBytesRecorded, FMonitorFormat);
  FQuietFrames = quiet == frames ? FQuietFrames + quiet : quiet;
}

bool TTakeRecorder::LastNotesFaded(uint64_t NowMs) {
  if (!FScoreEnded) FScoreEnded = NowMs;
  return !FWaveIn || FQuietFrames * 1000 >= FMonitorFormat.nSamplesPerSec() * SilenceMs ||
         NowMs - *FScoreEnded >= LongestRingMs;
}

void TTakeRecorder::Close() {
  FRecording = false;
  audio::MciSendString("CLOSE " + FAlias);
}

bool TTakeRecorder::TakeUpLeftTake(const std::string& SavedFingerprint, const std::string& Score) {
  using audio::TJournalState;
  FScore = Score;
  const audio::TJournalRecovery journal = audio::RecoverTakeJournal(FJournal, FRecordFile);
  switch (journal.State) {
    case TJournalState::jsNone: break;
    case TJournalState::jsRecovered:
      WriteLog("The take being recorded when the last run ended was kept: " + Code(uint32_t(journal.Frames)) +
               " frames");
      return true;
    case TJournalState::jsEmpty: WriteLog("The take being recorded when the last run ended held nothing"); break;
    case TJournalState::jsNotATake: WriteLog(FJournal + " is not a take this program recorded: left as it is"); break;
    case TJournalState::jsFailed: WriteLog(FJournal + " could not be made the take: left as it is"); break;
    case TJournalState::jsInUse: WriteLog(FJournal + " is being recorded into by another run: left to it"); break;
  }
  if (!SavedFingerprint.empty() && SavedFingerprint == Fingerprint()) return false;  // the user saved it
  try {
    TFileStream in(FRecordFile, fmOpenRead);
    const codec::TWaveFileInfo info = codec::ReadWaveHeader(in);
    return info.Format.IsPcm() && info.Format.nBlockAlign() != 0 && info.DataSize >= info.Format.nBlockAlign();
  } catch (const Exception&) {
    return false;  // none, or not a take: the next take replaces it
  }
}

std::string TTakeRecorder::Fingerprint() const {
  struct stat st;
  if (::stat(FRecordFile.c_str(), &st) != 0) return "";
  return std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino) + ":" + std::to_string(st.st_size) + ":" +
         std::to_string(st.st_mtim.tv_sec) + "." + std::to_string(st.st_mtim.tv_nsec);
}
