#include "platform/codec/Mp3Frames.h"

namespace codec::detail {

uint32_t Mp3FrameLength(const uint8_t* p, uint32_t* rateOut) {
  // Bit rates in kbit/s by index, MPEG-1 and MPEG-2/2.5 Layer III.
  static const uint16_t kbps1[16] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0};
  static const uint16_t kbps2[16] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0};
  static const uint32_t rates1[3] = {44100, 48000, 32000};
  if (p[0] != 0xFF || (p[1] & 0xE0) != 0xE0) return 0;
  uint32_t version = (p[1] >> 3) & 3;  // 0: MPEG-2.5, 1: reserved, 2: MPEG-2, 3: MPEG-1
  uint32_t layer = (p[1] >> 1) & 3;    // 1: Layer III
  uint32_t bitrateIndex = p[2] >> 4, rateIndex = (p[2] >> 2) & 3, padding = (p[2] >> 1) & 1;
  if (version == 1 || layer != 1 || rateIndex == 3) return 0;
  bool mpeg1 = version == 3;
  uint32_t kbps = mpeg1 ? kbps1[bitrateIndex] : kbps2[bitrateIndex];
  if (kbps == 0) return 0;
  uint32_t rate = rates1[rateIndex] >> (version == 3 ? 0 : version == 2 ? 1 : 2);
  if (rateOut) *rateOut = rate;
  return (mpeg1 ? 144000 : 72000) * kbps / rate + padding;
}

}  // namespace codec::detail
