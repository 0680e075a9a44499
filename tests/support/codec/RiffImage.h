#pragma once
// RIFF WAVE images built chunk by chunk in a test, sizes free to lie, for
// the readers' damaged-header cases.

#include <cstdint>
#include <vector>

#include "base/LittleEndian.h"

namespace codectest {

// Builds RIFF images chunk by chunk; sizes may be made to lie.
class TRiffImage {
public:
  TRiffImage() { Bytes = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'}; }
  TRiffImage& Chunk(const char* id, const std::vector<uint8_t>& body, int64_t declared = -1, bool pad = true) {
    Bytes.insert(Bytes.end(), id, id + 4);
    uint8_t size[4];
    le::store32(size, uint32_t(declared >= 0 ? declared : int64_t(body.size())));
    Bytes.insert(Bytes.end(), size, size + 4);
    Bytes.insert(Bytes.end(), body.begin(), body.end());
    if (pad && (body.size() & 1)) Bytes.push_back(0);
    return *this;
  }
  TRiffImage& Fmt(uint16_t channels = 1, uint16_t align = 2) {
    std::vector<uint8_t> f(16);
    le::store16(&f[0], 1);
    le::store16(&f[2], channels);
    le::store32(&f[4], 8000);
    le::store32(&f[8], 8000u * align);
    le::store16(&f[12], align);
    le::store16(&f[14], 16);
    return Chunk("fmt ", f);
  }
  std::vector<uint8_t> Done(int64_t riffSize = -1) {
    le::store32(&Bytes[4], uint32_t(riffSize >= 0 ? riffSize : int64_t(Bytes.size()) - 8));
    return Bytes;
  }
  std::vector<uint8_t> Bytes;
};

}  // namespace codectest
