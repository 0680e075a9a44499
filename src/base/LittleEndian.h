#pragma once
// Little-endian loads and stores on raw bytes, independent of the host's
// byte order and alignment.

#include <cstdint>
#include <cstring>

namespace le {

inline uint16_t load16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
inline uint32_t load32(const uint8_t* p) {
  return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
inline uint64_t load64(const uint8_t* p) { return uint64_t(load32(p)) | (uint64_t(load32(p + 4)) << 32); }

inline void store16(uint8_t* p, uint16_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
}
inline void store32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}
inline void store64(uint8_t* p, uint64_t v) {
  store32(p, uint32_t(v));
  store32(p + 4, uint32_t(v >> 32));
}

inline double loadDouble(const uint8_t* p) {
  uint64_t bits = load64(p);
  double d;
  std::memcpy(&d, &bits, sizeof d);
  return d;
}
inline void storeDouble(uint8_t* p, double d) {
  uint64_t bits;
  std::memcpy(&bits, &d, sizeof d);
  store64(p, bits);
}

}  // namespace le
