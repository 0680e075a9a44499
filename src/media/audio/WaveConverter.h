#pragma once
// Turns a compressed RIFF WAVE image (MPEG Layer-3) into PCM in memory,
// once and whole, through the codec layer.

#include <cstdint>

#include "base/Streams.h"
#include "platform/codec/WaveFormat.h"

class TWaveConverter : public TMemoryStream {
public:
  // The largest image this converter makes: an hour and a half of CD-quality
  // sound, so that a damaged length cannot ask for unbounded memory.
  static constexpr uint64_t MaxImageBytes = uint64_t(90) * 60 * 44100 * 4;

  TWaveConverter();
  // Reads "RIFF", "WAVE", "fmt " and the "data" chunk's bytes; false when
  // the image is not one.
  bool LoadFromStream(TStream& stream);
  // 0 on success, else the codec layer's error code.
  uint32_t Convert();
  // Writes the held PCM as a RIFF WAVE image.
  void SaveToStream(TStream& stream);

  codec::TWaveFormat& SourceFormat() { return FSource; }
  codec::TWaveFormat& TargetFormat() { return FTarget; }

private:
  uint32_t FMaxFormatSize = 0;
  codec::TWaveFormat FSource, FTarget;
};
