#include "media/audio/WaveHeader.h"

#include <cstring>

#include "base/LittleEndian.h"
#include "base/Streams.h"

namespace wavein {

const uint8_t KSDATAFORMAT_SUBTYPE_PCM[16] = {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
                                              0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
const uint8_t KSDATAFORMAT_SUBTYPE_IEEE_FLOAT[16] = {0x03, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
                                                     0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

namespace {

// Reads of the header, counted; a short read or the byte budget ends it.
class THeaderReader {
public:
  explicit THeaderReader(TStream& stream) : FStream(stream) {}
  bool Read(void* to, int64_t count) {
    if (FRead + count > MaxHeaderBytes) return false;
    const int64_t n = FStream.Read(to, count);
    FRead += n > 0 ? n : 0;
    return n == count;
  }
  bool U32(uint32_t& v) {
    uint8_t b[4];
    if (!Read(b, 4)) return false;
    v = le::load32(b);
    return true;
  }
  // Skips a chunk's bytes and its pad byte (RIFF keeps chunks at even offsets).
  bool Skip(uint32_t size) { return SeekBy(int64_t(size) + (size & 1)); }
  bool SeekBy(int64_t by) {
    const int64_t at = FStream.GetPosition();
    return at >= 0 && FStream.Seek(at + by, TSeekOrigin::soBeginning) == at + by && at + by <= FStream.GetSize();
  }

private:
  TStream& FStream;
  int64_t FRead = 0;
};

bool SameId(const uint8_t* a, const char* id) {
  for (int i = 0; i < 4; ++i)
    if (a[i] != uint8_t(id[i]) && (a[i] ^ uint8_t(id[i])) != 32) return false;
  return true;
}

// Consumes bytes until Id has been read.
bool Find(THeaderReader& in, const char* id) {
  uint8_t window[4];
  if (!in.Read(window, 4)) return false;
  while (!SameId(window, id)) {
    std::memmove(window, window + 1, 3);
    if (!in.Read(window + 3, 1)) return false;
  }
  return true;
}

uint16_t U16(const std::vector<uint8_t>& b, size_t at) { return le::load16(b.data() + at); }

// Fills the format fields from a "fmt " chunk; false when a check fails.
bool ReadFormat(const std::vector<uint8_t>& fmt, TWaveHeader& h) {
  if (fmt.size() < 16) return false;
  const uint16_t tag = U16(fmt, 0);
  h.Channels = U16(fmt, 2);
  h.SampleRate = le::load32(fmt.data() + 4);
  h.BlockAlign = U16(fmt, 12);
  h.Bits = U16(fmt, 14);
  switch (tag) {
    case 0x0001: h.Kind = Pcm; break;
    case 0x0011: h.Kind = ImaAdpcm; break;
    case 0x0002: h.Kind = MsAdpcm; break;
    case 0x0055: h.Kind = MpegLayer3; break;
    case 0x0003: h.Kind = IeeeFloat; break;
    case 0xFFFE:
      if (fmt.size() < 40) return false;
      if (std::memcmp(fmt.data() + 24, KSDATAFORMAT_SUBTYPE_PCM, 16) == 0) h.Kind = ExtensiblePcm;
      else if (std::memcmp(fmt.data() + 24, KSDATAFORMAT_SUBTYPE_IEEE_FLOAT, 16) == 0) h.Kind = ExtensibleFloat;
      else return false;
      break;
    default: return false;
  }
  // MPEG Layer-3 records carry no bits per sample.
  if (h.Channels < 1 || h.Channels > 8 || (h.Bits == 0 && h.Kind != MpegLayer3) || h.SampleRate == 0) return false;
  const int ch = h.Channels;
  switch (h.Kind) {
    case Pcm:
    case ExtensiblePcm: return h.Bits % 8 == 0 && h.Bits <= 32;
    case IeeeFloat:
    case ExtensibleFloat: return h.Bits == 32 || h.Bits == 64;
    case ImaAdpcm: {
      if (fmt.size() < 20 || ch > 2 || h.Bits != 4 || h.BlockAlign < 4 * ch) return false;
      h.SamplesPerBlock = U16(fmt, 18);
      return h.SamplesPerBlock >= 1 && h.SamplesPerBlock <= (h.BlockAlign - 4 * ch) * 8 / (4 * ch) + 1;
    }
    case MsAdpcm: {
      if (fmt.size() < 22 || ch > 2 || h.BlockAlign < 7 * ch) return false;
      h.SamplesPerBlock = U16(fmt, 18);
      const uint16_t count = U16(fmt, 20);
      if (count == 0 || fmt.size() < 22 + 4 * size_t(count)) return false;
      for (size_t i = 0; i < 2 * size_t(count); ++i) h.Coefficients.push_back(int16_t(U16(fmt, 22 + 2 * i)));
      return h.SamplesPerBlock >= 2 && h.SamplesPerBlock <= (h.BlockAlign - 7 * ch) * 2 / ch + 2;
    }
    case MpegLayer3: return true;
    default: return false;
  }
}

}  // namespace

TWaveHeader ReadWaveHeader(TStream& stream) {
  TWaveHeader h;
  THeaderReader in(stream);
  uint32_t riffSize = 0;
  if (!Find(in, "RIFF") || !in.U32(riffSize) || !Find(in, "WAVE")) return {};
  enum { ExpectFmt, ExpectFact, ExpectData } expect = ExpectFmt;
  uint8_t id[4];
  uint32_t size = 0;
  while (in.Read(id, 4) && in.U32(size)) {
    if (expect == ExpectFmt && SameId(id, "fmt ")) {
      if (size > MaxHeaderBytes) return {};
      std::vector<uint8_t> fmt(size);
      if (!in.Read(fmt.data(), size) || !in.SeekBy(size & 1)) return {};
      if (!ReadFormat(fmt, h)) return {};
      expect = h.Kind == ImaAdpcm || h.Kind == MsAdpcm || h.Kind == MpegLayer3 ? ExpectFact : ExpectData;
    } else if (expect != ExpectFmt && SameId(id, "data")) {
      h.DataSize = size;
      h.DataOffset = stream.GetPosition();
      return h;
    } else if (expect == ExpectFact && SameId(id, "fact")) {
      if (size < 4 || !in.U32(h.FactSamples) || !in.Skip(size - 4)) return {};
      expect = ExpectData;
    } else if (!in.Skip(size)) {
      return {};
    }
  }
  return {};
}

}  // namespace wavein
