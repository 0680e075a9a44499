#include "platform/audio/WaveRecording.h"

#include "base/PartialFile.h"
#include "platform/codec/RiffWave.h"

namespace audio {

namespace {
// What a new element records until SET says otherwise.
constexpr uint32_t kDefaultRate = 11025;
constexpr uint16_t kDefaultBits = 8;
// The "fmt " chunk of a PCM file: the format record without its extra size.
constexpr size_t kPcmFormatBytes = 16;
constexpr size_t kCopyBlock = 1 << 16;
}  // namespace

TWaveRecording::TWaveRecording(std::shared_ptr<TCaptureDevice> device)
    : FDevice(std::move(device)), FFormat(codec::TWaveFormat::Pcm(1, kDefaultRate, kDefaultBits)) {}

TWaveRecording::~TWaveRecording() {
  if (FConverter) FDevice->RemoveConsumer(*this);
}

MCIERROR TWaveRecording::SetFormat(const codec::TWaveFormat& format) {
  if (Recording() || FSpool.Size() > 0) return MCIERR_NONAPPLICABLE_FUNCTION;
  if (!IsRecordFormat(format)) return MCIERR_OUTOFRANGE;
  FFormat = format;
  return 0;
}

MCIERROR TWaveRecording::Record() {
  if (Recording()) return 0;
  if (FConverter && !Finish()) return MCIERR_FILE_WRITE;  // a take that ended by itself
  if (!FSpool.Open()) return MCIERR_FILE_WRITE;
  auto converter = std::make_unique<TCaptureConverter>(FDevice->SampleRate(), FFormat);
  if (!converter->Ok()) return MCIERR_OUTOFRANGE;
  FConverter = std::move(converter);
  FLost = false;
  FDevice->AddConsumer(*this);
  return 0;
}

void TWaveRecording::Captured(const float* stereo, int frames) {
  FConverted.clear();
  FConverter->Convert(stereo, frames, FConverted);
  FSpool.Append(FConverted.data(), FConverted.size());
}

bool TWaveRecording::Finish() {
  FDevice->RemoveConsumer(*this);
  // The resampler's last frames make the take as long as the time recorded.
  FConverted.clear();
  FConverter->Flush(FConverted);
  FSpool.Append(FConverted.data(), FConverted.size());
  FConverter.reset();
  return FSpool.Drain();
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
  if (!FSpool.Drain()) return MCIERR_FILE_WRITE;
  const uint64_t bytes = Frames() * FFormat.nBlockAlign();
  if (bytes == 0) return MCIERR_WAVE_EMPTY;
  TPartialFile out(path);
  if (!out.Create()) return MCIERR_FILE_NOT_SAVED;
  try {
    std::vector<uint8_t> format = FFormat.Bytes();
    format.resize(kPcmFormatBytes);
    codec::TWaveFileWriter writer(out.Stream(), format, false);
    std::vector<uint8_t> block(kCopyBlock);
    for (uint64_t done = 0; done < bytes;) {
      const size_t n = size_t(std::min<uint64_t>(block.size(), bytes - done));
      if (!FSpool.ReadAt(done, block.data(), n)) return MCIERR_FILE_WRITE;
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
