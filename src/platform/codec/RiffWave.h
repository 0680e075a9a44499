#pragma once
// RIFF WAVE files: a reader that finds the "fmt " and "data" chunks (and
// "fact") of an image however its other chunks lie, and a writer that lays
// down "fmt ", an optional "fact" and "data" and fixes their sizes at the end.
// Both work on any TStream.

#include <cstdint>
#include <vector>

#include "base/Exceptions.h"
#include "base/Streams.h"
#include "platform/codec/WaveFormat.h"

namespace codec {

// A file that is no usable RIFF WAVE image; Message() says why.
class EWaveError : public Exception {
  using Exception::Exception;
};

struct TWaveFileInfo {
  TWaveFormat Format;
  int64_t DataOffset = 0;  // from the image's start
  uint32_t DataSize = 0;
  bool HasFact = false;
  uint32_t FactSamples = 0;
};

// Walks the chunks of the RIFF WAVE image in Stream (from its start): odd
// sizes are padded, unknown chunks skipped, chunks may follow "data". Every
// size is checked against the image's real length, so a lying size can make
// no read beyond it and no large allocation. Raises EWaveError:
// "Not a RIFF WAVE file", "The WAVE format chunk is damaged",
// "The WAVE file has no format chunk", "The WAVE file has no data chunk",
// "The WAVE file is truncated".
TWaveFileInfo ReadWaveHeader(TStream& stream);

// Writes a RIFF WAVE image into Stream from its current position (normally
// an empty stream). Write and Finish raise EWriteError when the stream takes
// fewer bytes than given or the image would outgrow RIFF's 32-bit sizes.
class TWaveFileWriter {
public:
  // Writes "RIFF", "WAVE", "fmt " with Format's bytes (padded to even), a
  // "fact" chunk holding 0 when WithFact, and the "data" chunk's header.
  TWaveFileWriter(TStream& stream, const std::vector<uint8_t>& format, bool withFact);
  void Write(const uint8_t* data, size_t count);
  // Pads the data to even and sets the data size, the RIFF size and the
  // "fact" value.
  void Finish(uint32_t factSamples);
  uint32_t DataSize() const { return FDataSize; }

private:
  void PatchU32(int64_t offset, uint32_t value);

  TStream& FStream;
  int64_t FStart;
  int64_t FFactValueOffset = -1;
  int64_t FDataSizeOffset = 0;
  uint32_t FDataSize = 0;
};

}  // namespace codec
