#include "platform/audio/WaveRecording.h"

#include "base/PartialFile.h"
#include "platform/codec/RiffWave.h"
#include "platform/midi/SendTime.h"

#include <algorithm>
#include <chrono>

namespace audio {

namespace {
// What a new element records until SET says otherwise.
constexpr uint32_t kDefaultRate = 11025;
constexpr uint16_t kDefaultBits = 8;
// The "fmt " chunk of a PCM file: the format record without its extra size.
constexpr size_t kPcmFormatBytes = 16;
constexpr size_t kCopyBlock = 1 << 16;
}  // namespace

TWaveRecording::TWaveRecording(std::shared_ptr<TCaptureDevice> device, std::string journal)
    : FDevice(std::move(device)),
      FDeviceRate(std::max(1, FDevice->SampleRate())),
      FMadeNs(midi::MonotonicNowNs()),
      FFormat(codec::TWaveFormat::Pcm(1, kDefaultRate, kDefaultBits)),
      FJournal(std::move(journal)) {
  Attach();
}

TWaveRecording::~TWaveRecording() {
  Detach();
  if (FSpool && (FSaved || FSpool->Size() == 0)) FSpool->Remove();
}

void TWaveRecording::Attach() {
  if (FAttached) return;
  FAttached = true;
  FDevice->AddConsumer(*this);
}

void TWaveRecording::Detach() {
  if (!FAttached) return;
  FAttached = false;
  FDevice->RemoveConsumer(*this);
}

MCIERROR TWaveRecording::SetFormat(const codec::TWaveFormat& format) {
  if (Recording() || Frames() > 0) return MCIERR_NONAPPLICABLE_FUNCTION;
  if (!IsRecordFormat(format)) return MCIERR_OUTOFRANGE;
  FFormat = format;
  return 0;
}

MCIERROR TWaveRecording::Record() {
  if (Recording()) return 0;
  if (FConverter && !Finish()) return MCIERR_FILE_WRITE;  // a take that ended by itself
  if (!OpenSpool()) return MCIERR_FILE_WRITE;
  FSaved = false;
  auto converter = std::make_unique<TCaptureConverter>(FDeviceRate, FFormat);
  if (!converter->Ok()) return MCIERR_OUTOFRANGE;
  // A device lost earlier is asked afresh.
  if (FLost) Detach();
  FLost = false;
  {
    std::lock_guard<std::mutex> lock(FLock);
    FConverter = std::move(converter);
    FRecordNs = midi::MonotonicNowNs();
    FStartNs = 0;
    FStopNs = INT64_MAX;
    FDeliveredToStop = false;
    FSettling = true;
    SettleStart(false);
  }
  Attach();
  return 0;
}

void TWaveRecording::SettleStart(bool final) {
  const int64_t score = midi::LastScoreStartNs();
  if (score >= FMadeNs && score >= FRecordNs - int64_t(PreRollMs) * 1'000'000) FStartNs = score;
  else if (final || midi::MonotonicNowNs() - FRecordNs >= int64_t(ScoreWaitMs) * 1'000'000) FStartNs = FRecordNs;
  else return;
  FSettling = false;
  for (const TBlock& block : FPreRoll) Take(block.Stereo.data(), int(block.Stereo.size() / 2), block.TimeNs);
  FPreRoll.clear();
  FPreRollFrames = 0;
}

void TWaveRecording::Captured(const float* stereo, int frames, int64_t firstFrameNs) {
  std::lock_guard<std::mutex> lock(FLock);
  FTimed = firstFrameNs != 0;
  // Only a device that tells the time of its frames can start a take
  // elsewhere than at its next block.
  if (FConverter && (!FSettling || firstFrameNs == 0)) {
    Take(stereo, frames, firstFrameNs);
    return;
  }
  if (firstFrameNs == 0 || frames <= 0) return;
  Keep(stereo, frames, firstFrameNs);
  if (FConverter) SettleStart(false);
}

void TWaveRecording::Keep(const float* stereo, int frames, int64_t firstFrameNs) {
  FPreRoll.push_back({std::vector<float>(stereo, stereo + size_t(frames) * 2), firstFrameNs});
  FPreRollFrames += size_t(frames);
  const size_t keep = size_t(FDeviceRate) * PreRollMs / 1000;
  while (FPreRollFrames - FPreRoll.front().Stereo.size() / 2 >= keep) {
    FPreRollFrames -= FPreRoll.front().Stereo.size() / 2;
    FPreRoll.pop_front();
  }
}

void TWaveRecording::CaptureLost() {
  FLost = true;
  std::lock_guard<std::mutex> lock(FLock);
  FStopReached.notify_all();
}

void TWaveRecording::Take(const float* stereo, int frames, int64_t firstFrameNs) {
  int from = 0, to = frames;
  if (firstFrameNs != 0) {
    // Frame I stands for FirstFrameNs + I / rate; the take holds those from
    // its start on and before its stop.
    auto frameAt = [&](int64_t time) -> int64_t {
      if (time <= firstFrameNs) return 0;
      const __int128 scaled = __int128(time - firstFrameNs) * FDeviceRate + 999'999'999;
      return int64_t(std::min<__int128>(scaled / 1'000'000'000, frames));
    };
    from = int(frameAt(FStartNs));
    if (FStopNs != INT64_MAX) {
      to = int(frameAt(FStopNs));
      if (to < frames) {
        FDeliveredToStop = true;
        FStopReached.notify_all();
      }
    }
  }
  if (to <= from) return;
  FConverted.clear();
  FConverter->Convert(stereo + size_t(from) * 2, to - from, FConverted);
  FSpool->Append(FConverted.data(), FConverted.size());
}

bool TWaveRecording::Finish() {
  {
    std::unique_lock<std::mutex> lock(FLock);
    if (FSettling) SettleStart(true);
    FStopNs = midi::MonotonicNowNs();
    // A device that keeps time delivers the frames up to now within its
    // latency; one that stalls or went away ends the take with what came.
    FStopReached.wait_for(lock, std::chrono::milliseconds(StopWaitMs),
                          [this] { return FDeliveredToStop || FLost || !FTimed; });
  }
  Detach();
  std::lock_guard<std::mutex> lock(FLock);
  // The resampler's last frames make the take as long as the time recorded.
  FConverted.clear();
  FConverter->Flush(FConverted);
  FSpool->Append(FConverted.data(), FConverted.size());
  FConverter.reset();
  return FSpool->Drain();
}

bool TWaveRecording::OpenSpool() {
  if (FSpool && !FSpool->Moved()) return FSpool->IsOpen() || FSpool->Open(FJournal, FFormat);
  auto spool = std::make_unique<TSpool>();
  if (!spool->Open(FJournal, FFormat)) return false;
  // The take goes on at the end of what the moved journal holds.
  if (FSpool) {
    std::vector<uint8_t> block(kCopyBlock);
    for (uint64_t done = 0, bytes = FSpool->Size(); done < bytes;) {
      const size_t n = size_t(std::min<uint64_t>(block.size(), bytes - done));
      if (!FSpool->ReadAt(done, block.data(), n)) return false;
      spool->Append(block.data(), n);
      done += n;
    }
    if (!spool->Drain()) return false;
  }
  FSpool = std::move(spool);
  return true;
}

MCIERROR TWaveRecording::Stop() {
  if (!FConverter) return MCIERR_WAVE_NOT_RECORDING;
  const bool lost = FLost;
  if (!Finish()) return MCIERR_FILE_WRITE;
  return lost ? MCIERR_HARDWARE : 0;
}

MCIERROR TWaveRecording::Save(const std::string& path) {
  if (Recording()) return MCIERR_NONAPPLICABLE_FUNCTION;
  if (FConverter && !Finish()) return MCIERR_FILE_WRITE;
  if (Frames() == 0) return MCIERR_WAVE_EMPTY;
  // A write that failed during the take left the frames written before it:
  // they are the take.
  FSpool->Drain();
  const MCIERROR result = FSpool->MoveTo(path, Frames() * FFormat.nBlockAlign()) ? 0 : CopyTo(path);
  if (result == 0) FSaved = true;
  return result;
}

MCIERROR TWaveRecording::CopyTo(const std::string& path) {
  const uint64_t bytes = Frames() * FFormat.nBlockAlign();
  TPartialFile out(path);
  if (!out.Create()) return MCIERR_FILE_NOT_SAVED;
  try {
    std::vector<uint8_t> format = FFormat.Bytes();
    format.resize(kPcmFormatBytes);
    codec::TWaveFileWriter writer(out.Stream(), format, false);
    std::vector<uint8_t> block(kCopyBlock);
    for (uint64_t done = 0; done < bytes;) {
      const size_t n = size_t(std::min<uint64_t>(block.size(), bytes - done));
      if (!FSpool->ReadAt(done, block.data(), n)) return MCIERR_FILE_WRITE;
      writer.Write(block.data(), n);
      done += n;
    }
    writer.Finish(0);
  } catch (const EStreamError&) {
    return MCIERR_FILE_WRITE;
  }
  return out.Commit() ? 0 : MCIERR_FILE_WRITE;
}

}  // namespace audio
