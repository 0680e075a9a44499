#include "platform/codec/RiffWave.h"

#include <cstring>
#include <limits>

#include "base/LittleEndian.h"

namespace codec {

namespace {

const char* const kNotWave = "Not a RIFF WAVE file";
const char* const kBadFormat = "The WAVE format chunk is damaged";
const char* const kNoFormat = "The WAVE file has no format chunk";
const char* const kNoData = "The WAVE file has no data chunk";
const char* const kTruncated = "The WAVE file is truncated";

// A format record never needs more than its head and a 16-bit extra size.
constexpr uint32_t kMaxFormatBytes = WAVEFORMATEX_SIZE + 0xFFFF;

bool IsId(const uint8_t* p, const char* id) { return std::memcmp(p, id, 4) == 0; }

void ReadAt(TStream& stream, int64_t offset, void* buffer, int64_t count) {
  if (stream.Seek(offset, TSeekOrigin::soBeginning) != offset) throw EWaveError(kTruncated);
  try {
    stream.ReadBuffer(buffer, count);
  } catch (const EReadError&) {
    throw EWaveError(kTruncated);
  }
}

TWaveFormat ReadFormat(TStream& stream, int64_t offset, uint32_t size) {
  if (size < 16) throw EWaveError(kBadFormat);
  std::vector<uint8_t> bytes(std::min(size, kMaxFormatBytes));
  ReadAt(stream, offset, bytes.data(), int64_t(bytes.size()));
  TWaveFormat f;
  f.Assign(bytes.data(), bytes.size());
  // Zero channels or a zero block would make every later size a division by zero.
  if (f.nChannels() == 0 || f.nBlockAlign() == 0 || f.nSamplesPerSec() == 0) throw EWaveError(kBadFormat);
  return f;
}

}  // namespace

TWaveFileInfo ReadWaveHeader(TStream& stream) {
  // The walk ends at the image's real end, whatever the RIFF size says.
  const int64_t end = stream.GetSize();
  uint8_t head[12];
  if (end < 12) throw EWaveError(kNotWave);
  ReadAt(stream, 0, head, 12);
  if (!IsId(head, "RIFF") || !IsId(head + 8, "WAVE")) throw EWaveError(kNotWave);

  TWaveFileInfo info;
  bool haveFormat = false, haveData = false, cut = false;
  int64_t pos = 12;
  while (!(haveFormat && haveData) && pos + 8 <= end) {
    uint8_t chunk[8];
    ReadAt(stream, pos, chunk, 8);
    uint32_t size = le::load32(chunk + 4);
    int64_t body = pos + 8;
    bool fits = body + int64_t(size) <= end;
    if (IsId(chunk, "fmt ") && !haveFormat) {
      if (!fits) throw EWaveError(size < 16 ? kBadFormat : kTruncated);
      info.Format = ReadFormat(stream, body, size);
      haveFormat = true;
    } else if (IsId(chunk, "data") && !haveData) {
      if (!fits) throw EWaveError(kTruncated);
      info.DataOffset = body;
      info.DataSize = size;
      haveData = true;
    } else if (IsId(chunk, "fact") && !info.HasFact && size >= 4 && fits) {
      uint8_t value[4];
      ReadAt(stream, body, value, 4);
      info.HasFact = true;
      info.FactSamples = le::load32(value);
    } else if (!fits) {
      cut = true;
      break;
    }
    pos = body + int64_t(size) + (size & 1);
  }
  if (!haveFormat) throw EWaveError(cut ? kTruncated : kNoFormat);
  if (!haveData) throw EWaveError(cut ? kTruncated : kNoData);
  return info;
}

TWaveFileWriter::TWaveFileWriter(TStream& stream, const std::vector<uint8_t>& format, bool withFact)
    : FStream(stream), FStart(stream.GetPosition()) {
  if (format.size() > kMaxFormatBytes) throw EWriteError();
  FStream.WriteString("RIFF");
  FStream.WriteU32(0);
  FStream.WriteString("WAVEfmt ");
  FStream.WriteU32(uint32_t(format.size()));
  FStream.WriteBytes(format);
  if (format.size() & 1) FStream.WriteU8(0);
  if (withFact) {
    FStream.WriteString("fact");
    FStream.WriteU32(4);
    FFactValueOffset = FStream.GetPosition();
    FStream.WriteU32(0);
  }
  FStream.WriteString("data");
  FDataSizeOffset = FStream.GetPosition();
  FStream.WriteU32(0);
}

void TWaveFileWriter::Write(const uint8_t* data, size_t count) {
  // The RIFF size counts everything after its own field and must stay 32-bit.
  int64_t riffSize = FDataSizeOffset + 4 - FStart - 8 + int64_t(FDataSize) + int64_t(count) + 1;
  if (riffSize > int64_t(std::numeric_limits<uint32_t>::max())) throw EWriteError();
  FStream.WriteBuffer(data, int64_t(count));
  FDataSize += uint32_t(count);
}

void TWaveFileWriter::PatchU32(int64_t offset, uint32_t value) {
  if (FStream.Seek(offset, TSeekOrigin::soBeginning) != offset) throw EWriteError();
  FStream.WriteU32(value);
}

void TWaveFileWriter::Finish(uint32_t factSamples) {
  if (FDataSize & 1) FStream.WriteU8(0);
  int64_t end = FStream.GetPosition();
  PatchU32(FStart + 4, uint32_t(end - FStart - 8));
  PatchU32(FDataSizeOffset, FDataSize);
  if (FFactValueOffset >= 0) PatchU32(FFactValueOffset, factSamples);
  FStream.Seek(end, TSeekOrigin::soBeginning);
}

}  // namespace codec
