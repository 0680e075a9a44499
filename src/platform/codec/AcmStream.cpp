// Conversion streams: PCM to a codec's blocks and back, block by block.

#include <algorithm>
#include <cstring>
#include <limits>

#include "platform/codec/AcmInternal.h"
#include "platform/codec/ImaAdpcm.h"
#include "platform/codec/LavCoder.h"
#include "platform/codec/Mp3Frames.h"

namespace codec {

using namespace detail;

struct TAcmStream {
  bool Encoding = false;
  TWaveFormat Pcm, Coded;
  const TCodecInfo* Codec = nullptr;
  TBlockLayout Layout;
  TLavEncoder Encoder;
  // IMA ADPCM is encoded by the published step rule that the system codecs
  // and sox decode with (libavcodec's encoder rounds its own way).
  TImaEncoder Ima;
  TLavDecoder Decoder;
  bool Started = false;  // the codec has been fed since it was opened
  bool Ended = false;    // an END round has flushed the codec
  std::vector<uint8_t> Pending;  // converted bytes the destination had no room for
  size_t PendingPos = 0;

  bool OwnIma() const { return Encoding && Codec->Kind == TCodecKind::ImaAdpcm; }
  bool OpenCodec() {
    Started = Ended = false;
    if (OwnIma()) return Ima.Open(Coded.nChannels(), Coded.nBlockAlign(), Layout.SamplesPerBlock);
    return Encoding ? Encoder.Open(*Codec, Coded, Layout) : Decoder.Open(*Codec, Coded);
  }
};

namespace {

bool IsLiveStream(HACMSTREAM has) { return IsLiveHandle(has); }

void PcmToInt16(const uint8_t* src, size_t samples, uint16_t bits, std::vector<int16_t>& out) {
  out.resize(samples);
  if (bits == 8)
    for (size_t i = 0; i < samples; ++i) out[i] = int16_t((int(src[i]) - 128) << 8);
  else
    for (size_t i = 0; i < samples; ++i) out[i] = int16_t(src[2 * i] | (src[2 * i + 1] << 8));
}

void Int16ToPcm(const std::vector<int16_t>& samples, uint16_t bits, std::vector<uint8_t>& out) {
  size_t base = out.size();
  if (bits == 8) {
    out.resize(base + samples.size());
    for (size_t i = 0; i < samples.size(); ++i) out[base + i] = uint8_t((samples[i] >> 8) + 128);
  } else {
    out.resize(base + 2 * samples.size());
    for (size_t i = 0; i < samples.size(); ++i) {
      out[base + 2 * i] = uint8_t(samples[i]);
      out[base + 2 * i + 1] = uint8_t(uint16_t(samples[i]) >> 8);
    }
  }
}

// Encodes whole frames of PCM; with END also the last partial block and what
// the codec holds. Returns the source bytes consumed, or -1 on failure.
int64_t EncodeRound(TAcmStream& s, const uint8_t* src, uint32_t length, bool end) {
  uint32_t align = s.Pcm.nBlockAlign();
  uint32_t frames = length / align;
  if (!end) frames -= frames % s.Layout.SamplesPerBlock;
  std::vector<int16_t> samples;
  PcmToInt16(src, size_t(frames) * s.Pcm.nChannels(), s.Pcm.wBitsPerSample(), samples);
  if (s.OwnIma()) {
    s.Ima.Encode(samples.data(), frames, end, s.Pending);
    return int64_t(frames) * align;
  }
  if (!s.Encoder.Encode(samples.data(), frames, end, s.Pending)) return -1;
  if (end && !s.Encoder.Flush(s.Pending)) return -1;
  return int64_t(frames) * align;
}

// Decodes whole blocks (MPEG Layer-3: whole frames); with END also a last
// partial block, and bytes that hold no frame are dropped.
int64_t DecodeRound(TAcmStream& s, const uint8_t* src, uint32_t length, bool end) {
  std::vector<int16_t> samples;
  uint32_t pos = 0;
  bool ok = true;
  if (s.Codec->Kind == TCodecKind::MpegLayer3) {
    while (ok && length - pos >= 4) {
      uint32_t rate = 0, frame = Mp3FrameLength(src + pos, &rate);
      if (frame == 0 || rate != s.Coded.nSamplesPerSec()) {
        ++pos;  // no header of this stream here: resynchronise
        continue;
      }
      if (frame > length - pos) break;
      ok = s.Decoder.Decode(src + pos, frame, samples);
      pos += frame;
    }
    if (end) pos = length;
  } else {
    uint32_t block = s.Layout.BytesPerBlock;
    // G.711 blocks are single frames: hand them over in one piece.
    uint32_t step = s.Layout.SamplesPerBlock == 1 ? std::max(block, length / block * block) : block;
    while (ok && length - pos >= block) {
      uint32_t n = std::min(step, (length - pos) / block * block);
      ok = s.Decoder.Decode(src + pos, n, samples);
      pos += n;
    }
    if (ok && end && pos < length && s.Layout.SamplesPerBlock > 1) ok = s.Decoder.Decode(src + pos, length - pos, samples);
    if (end) pos = length;
  }
  if (ok && end) ok = s.Decoder.Flush(samples);
  if (!ok) return -1;
  Int16ToPcm(samples, s.Pcm.wBitsPerSample(), s.Pending);
  return pos;
}

uint32_t Deliver(TAcmStream& s, uint8_t* dst, uint32_t capacity) {
  size_t n = std::min<size_t>(capacity, s.Pending.size() - s.PendingPos);
  if (n) std::memcpy(dst, s.Pending.data() + s.PendingPos, n);
  s.PendingPos += n;
  if (s.PendingPos == s.Pending.size()) {
    s.Pending.clear();
    s.PendingPos = 0;
  }
  return uint32_t(n);
}

}  // namespace

MMRESULT acmStreamOpen(HACMSTREAM& has, HACMDRIVER had, const TWaveFormat& src, const TWaveFormat& dst,
                       uint32_t fdwOpen) {
  has = nullptr;
  if (had && !IsLiveDriver(had)) return MMSYSERR_INVALHANDLE;
  if (fdwOpen & ~(ACM_STREAMOPENF_QUERY | ACM_STREAMOPENF_NONREALTIME)) return MMSYSERR_INVALFLAG;
  bool encoding = src.IsPcm();
  const TWaveFormat& pcm = encoding ? src : dst;
  const TWaveFormat& coded = encoding ? dst : src;
  if (!CheckPcmFormat(pcm) || pcm.nChannels() != coded.nChannels() || pcm.nSamplesPerSec() != coded.nSamplesPerSec())
    return ACMERR_NOTPOSSIBLE;
  const TCodecInfo* codec = nullptr;
  for (const TDriverInfo* d : DriversOf(had))
    for (const TCodecInfo* c : d->Codecs)
      if (c->Tag == coded.wFormatTag()) codec = c;
  TBlockLayout layout;
  if (!codec || !CheckCodecFormat(*codec, coded, encoding, layout)) return ACMERR_NOTPOSSIBLE;
  auto stream = std::make_unique<TAcmStream>();
  stream->Encoding = encoding;
  stream->Pcm = pcm;
  stream->Coded = coded;
  stream->Codec = codec;
  stream->Layout = layout;
  if (!stream->OpenCodec()) return ACMERR_NOTPOSSIBLE;
  if (!(fdwOpen & ACM_STREAMOPENF_QUERY)) {
    has = stream.release();
    AddLiveHandle(has);
  }
  return MMSYSERR_NOERROR;
}

MMRESULT acmStreamClose(HACMSTREAM has) {
  if (!RemoveLiveHandle(has)) return MMSYSERR_INVALHANDLE;
  delete has;
  return MMSYSERR_NOERROR;
}

MMRESULT acmStreamSize(HACMSTREAM has, uint32_t input, uint32_t& output, uint32_t fdwSize) {
  if (!IsLiveStream(has)) return MMSYSERR_INVALHANDLE;
  if (fdwSize != ACM_STREAMSIZEF_SOURCE) return MMSYSERR_NOTSUPPORTED;
  const TBlockLayout& l = has->Layout;
  uint64_t pcmAlign = has->Pcm.nBlockAlign(), spb = l.SamplesPerBlock;
  bool mp3 = has->Codec->Kind == TCodecKind::MpegLayer3;
  uint64_t bytes;
  if (has->Encoding) {
    uint64_t blocks = (input / pcmAlign + spb - 1) / spb;
    // LAME holds up to a few frames and releases them on END.
    bytes = mp3 ? (blocks + 4) * l.MaxBytesPerBlock : blocks * l.BytesPerBlock;
  } else {
    // MPEG Layer-3 frames are counted from the declared bit rate, with room
    // to spare; a stream with smaller frames gets the rest on the next call.
    uint64_t blocks = mp3 ? input / (l.MaxBytesPerBlock - 1) * 9 / 8 + 2 : (input + l.BytesPerBlock - 1) / l.BytesPerBlock;
    bytes = blocks * spb * pcmAlign;
  }
  if (bytes > std::numeric_limits<uint32_t>::max()) return ACMERR_NOTPOSSIBLE;
  output = uint32_t(bytes);
  return MMSYSERR_NOERROR;
}

MMRESULT acmStreamPrepareHeader(HACMSTREAM has, ACMSTREAMHEADER& hdr) {
  if (!IsLiveStream(has)) return MMSYSERR_INVALHANDLE;
  if ((hdr.cbSrcLength && !hdr.pbSrc) || (hdr.cbDstLength && !hdr.pbDst)) return MMSYSERR_INVALPARAM;
  hdr.fdwStatus = ACMSTREAMHEADER_STATUSF_PREPARED;
  return MMSYSERR_NOERROR;
}

MMRESULT acmStreamUnprepareHeader(HACMSTREAM has, ACMSTREAMHEADER& hdr) {
  if (!IsLiveStream(has)) return MMSYSERR_INVALHANDLE;
  if (!(hdr.fdwStatus & ACMSTREAMHEADER_STATUSF_PREPARED)) return ACMERR_UNPREPARED;
  hdr.fdwStatus &= ~ACMSTREAMHEADER_STATUSF_PREPARED;
  return MMSYSERR_NOERROR;
}

MMRESULT acmStreamConvert(HACMSTREAM has, ACMSTREAMHEADER& hdr, uint32_t fdwConvert) {
  if (!IsLiveStream(has)) return MMSYSERR_INVALHANDLE;
  const uint32_t known = ACM_STREAMCONVERTF_BLOCKALIGN | ACM_STREAMCONVERTF_START | ACM_STREAMCONVERTF_END;
  if (fdwConvert & ~known) return MMSYSERR_INVALFLAG;
  if (!(hdr.fdwStatus & ACMSTREAMHEADER_STATUSF_PREPARED)) return ACMERR_UNPREPARED;
  if ((hdr.cbSrcLength && !hdr.pbSrc) || (hdr.cbDstLength && !hdr.pbDst)) return MMSYSERR_INVALPARAM;
  hdr.fdwStatus &= ~ACMSTREAMHEADER_STATUSF_DONE;
  hdr.cbSrcLengthUsed = hdr.cbDstLengthUsed = 0;
  TAcmStream& s = *has;
  bool end = fdwConvert & ACM_STREAMCONVERTF_END;
  // START, or new data after an END, begins a new stream on a fresh codec.
  if (((fdwConvert & ACM_STREAMCONVERTF_START) && s.Started) || (s.Ended && hdr.cbSrcLength > 0)) {
    s.Pending.clear();
    s.PendingPos = 0;
    if (!s.OpenCodec()) return ACMERR_NOTPOSSIBLE;
  }
  uint32_t used = hdr.cbDstLength ? Deliver(s, hdr.pbDst, hdr.cbDstLength) : 0;
  int64_t consumed = 0;
  if (!s.Ended && (hdr.cbSrcLength > 0 || end)) {
    s.Started = true;
    consumed = s.Encoding ? EncodeRound(s, hdr.pbSrc, hdr.cbSrcLength, end) : DecodeRound(s, hdr.pbSrc, hdr.cbSrcLength, end);
    if (consumed < 0) return MMSYSERR_ERROR;
    s.Ended = end;
  }
  used += Deliver(s, hdr.pbDst + used, hdr.cbDstLength - used);
  hdr.cbSrcLengthUsed = uint32_t(consumed);
  hdr.cbDstLengthUsed = used;
  hdr.fdwStatus |= ACMSTREAMHEADER_STATUSF_DONE;
  return MMSYSERR_NOERROR;
}

}  // namespace codec
