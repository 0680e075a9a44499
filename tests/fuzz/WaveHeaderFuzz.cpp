// The RIFF WAVE chunk walk: what it finds lies inside the image.

#include "FuzzInput.h"
#include "platform/codec/RiffWave.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TMemoryStream stream = InputStream(data, size);
  try {
    codec::TWaveFileInfo info = codec::ReadWaveHeader(stream);
    Check(info.DataOffset >= 12 && uint64_t(info.DataOffset) + info.DataSize <= size);
  } catch (const codec::EWaveError&) {
  }
  return 0;
}
