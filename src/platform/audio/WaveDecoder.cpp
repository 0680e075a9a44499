#include "platform/audio/WaveDecoder.h"

#include <memory>

#include "base/LittleEndian.h"
#include "base/Streams.h"
#include "platform/codec/Acm.h"
#include "platform/codec/RiffWave.h"

namespace audio {

namespace {

// Decoded sound beyond this is refused rather than held in memory.
constexpr uint64_t kMaxDecodedBytes = uint64_t(1) << 30;

struct TStreamHandle {
  codec::HACMSTREAM Stream = nullptr;
  ~TStreamHandle() {
    if (Stream) codec::acmStreamClose(Stream);
  }
};

// Decodes Data (in Format) into 16-bit PCM bytes; false when no codec can.
bool DecodeCompressed(const codec::TWaveFormat& format, std::vector<uint8_t>& data, std::vector<uint8_t>& pcm) {
  using namespace codec;
  TWaveFormat target;
  target.SetFormatTag(WAVE_FORMAT_PCM);
  TStreamHandle h;
  uint32_t size = 0;
  if (acmFormatSuggest(nullptr, format, target, ACM_FORMATSUGGESTF_WFORMATTAG) != MMSYSERR_NOERROR ||
      target.wBitsPerSample() != 16 ||
      acmStreamOpen(h.Stream, nullptr, format, target, ACM_STREAMOPENF_NONREALTIME) != MMSYSERR_NOERROR ||
      acmStreamSize(h.Stream, uint32_t(data.size()), size, ACM_STREAMSIZEF_SOURCE) != MMSYSERR_NOERROR ||
      size > kMaxDecodedBytes)
    return false;
  pcm.resize(size);
  ACMSTREAMHEADER hdr;
  hdr.pbSrc = data.data();
  hdr.cbSrcLength = uint32_t(data.size());
  hdr.pbDst = pcm.data();
  hdr.cbDstLength = size;
  if (acmStreamPrepareHeader(h.Stream, hdr) != MMSYSERR_NOERROR) return false;
  // One round for the whole blocks, one that flushes the rest.
  bool ok = acmStreamConvert(h.Stream, hdr, ACM_STREAMCONVERTF_BLOCKALIGN) == MMSYSERR_NOERROR;
  size_t produced = hdr.cbDstLengthUsed;
  if (ok) {
    pcm.resize(produced + size);
    hdr.pbDst = pcm.data() + produced;
    hdr.cbSrcLength = 0;
    ok = acmStreamConvert(h.Stream, hdr, ACM_STREAMCONVERTF_END) == MMSYSERR_NOERROR;
    produced += hdr.cbDstLengthUsed;
  }
  acmStreamUnprepareHeader(h.Stream, hdr);
  pcm.resize(produced);
  return ok;
}

}  // namespace

MCIERROR DecodeWaveFile(const std::string& path, TDecodedWave& wave) {
  std::unique_ptr<TFileStream> file;
  try {
    file = std::make_unique<TFileStream>(path, fmOpenRead);
  } catch (const EStreamError&) {
    return MCIERR_FILE_NOT_FOUND;
  }
  std::vector<uint8_t> data;
  codec::TWaveFileInfo info;
  try {
    info = codec::ReadWaveHeader(*file);
    file->SetPosition(info.DataOffset);
    data = file->ReadBytes(info.DataSize);
  } catch (const EStreamError&) {
    return MCIERR_INVALID_FILE;
  } catch (const codec::EWaveError&) {
    return MCIERR_INVALID_FILE;
  }
  const codec::TWaveFormat& format = info.Format;
  if (format.nChannels() > 2) return MCIERR_INVALID_FILE;
  const uint16_t bits = format.wBitsPerSample();
  std::vector<uint8_t> decoded;
  if (format.IsPcm() && (bits == 8 || bits == 16)) {
    if (data.size() * (16 / bits) > kMaxDecodedBytes) return MCIERR_INVALID_FILE;
    // Whole frames of the channels' samples: a block align that says
    // otherwise would leave half a frame at the end.
    data.resize(data.size() - data.size() % (format.nChannels() * (bits / 8)));
    wave.Samples.resize(data.size() / (bits / 8));
    for (size_t i = 0; i < wave.Samples.size(); ++i)
      wave.Samples[i] = bits == 8 ? int16_t((int(data[i]) - 128) << 8) : int16_t(le::load16(&data[2 * i]));
  } else if (DecodeCompressed(format, data, decoded)) {
    wave.Samples.resize(decoded.size() / 2 / format.nChannels() * format.nChannels());
    for (size_t i = 0; i < wave.Samples.size(); ++i) wave.Samples[i] = int16_t(le::load16(&decoded[2 * i]));
  } else {
    return MCIERR_INVALID_FILE;
  }
  wave.Rate = format.nSamplesPerSec();
  wave.Channels = format.nChannels();
  return 0;
}

}  // namespace audio
