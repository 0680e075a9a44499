#include "platform/codec/WaveFormat.h"

#include <algorithm>

#include "base/LittleEndian.h"

namespace codec {

bool TWaveFormat::Assign(const uint8_t* bytes, size_t count) {
  if (count < 16) return false;
  size_t extra = count >= WAVEFORMATEX_SIZE ? std::min<size_t>(le::load16(bytes + 16), count - WAVEFORMATEX_SIZE) : 0;
  FBlock = TByteBlock(WAVEFORMATEX_SIZE + extra);
  FBlock.Write(0, bytes, std::min<size_t>(count, FBlock.Size()));
  FBlock.setU16(16, uint16_t(extra));
  return true;
}

TWaveFormat TWaveFormat::Pcm(uint16_t channels, uint32_t samplesPerSec, uint16_t bitsPerSample) {
  TWaveFormat f;
  f.SetFormatTag(WAVE_FORMAT_PCM);
  f.SetChannels(channels);
  f.SetSamplesPerSec(samplesPerSec);
  f.SetBitsPerSample(bitsPerSample);
  f.SetBlockAlign(uint16_t(channels * (bitsPerSample / 8)));
  f.SetAvgBytesPerSec(samplesPerSec * f.nBlockAlign());
  return f;
}

void TWaveFormat::SetExtraSize(uint16_t n) {
  FBlock.Resize(WAVEFORMATEX_SIZE + n);
  FBlock.setU16(16, n);
}

uint16_t TWaveFormat::ExtraU16(size_t offset) const {
  return offset + 2 <= FBlock.Size() ? FBlock.u16(offset) : 0;
}

uint32_t TWaveFormat::ExtraU32(size_t offset) const {
  return offset + 4 <= FBlock.Size() ? FBlock.u32(offset) : 0;
}

}  // namespace codec
