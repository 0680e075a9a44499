// The clip input's reading of a WAVE clip: the header walk, every decoder
// through it, and the ADPCM block decoders on raw bytes with the block
// fields taken from the input's first bytes.

#include <algorithm>

#include "FuzzInput.h"
#include "media/audio/ClipDecoders.h"
#include "media/audio/WaveIn.h"
#include "platform/codec/ImaAdpcm.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TMemoryStream stream = InputStream(data, size);
  TWaveIn in;
  in.SetStream(&stream);
  in.Init();
  uint64_t delivered = 0;
  for (;;) {
    uint8_t* buffer = nullptr;
    uint32_t bytes = 12345;
    in.GetData(buffer, bytes);
    if (bytes == 0) break;
    Check(bytes % std::max<uint16_t>(in.FrameSize(), 1) == 0);
    delivered += bytes;
  }
  in.Flush();
  Check(delivered <= uint64_t(in.Size() < 0 ? 0 : in.Size()) || delivered <= uint64_t(size) * 8);

  if (size < 4) return 0;
  const int channels = 1 + (data[0] & 1);
  const size_t samplesPerBlock = 1 + (size_t(data[1]) | size_t(data[2]) << 8);
  const std::vector<int16_t> coefficients(data + 3, data + 3 + std::min<size_t>(size - 3, 14) / 2 * 2);
  std::vector<int16_t> out(samplesPerBlock * channels);
  Check(codec::DecodeImaBlock(data, size, channels, samplesPerBlock, out.data()) <= samplesPerBlock);
  Check(wavein::DecodeMsAdpcmBlock(data, size, channels, samplesPerBlock, coefficients, out.data()) <= samplesPerBlock);
  return 0;
}
