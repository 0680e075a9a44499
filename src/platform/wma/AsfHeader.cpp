#include "platform/wma/AsfHeader.h"

#include <algorithm>
#include <cstring>

#include "base/LittleEndian.h"

namespace wma {

namespace {

// GUIDs as the file stores them (the first three fields little-endian).
constexpr uint8_t kHeaderObject[16] = {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                       0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
constexpr uint8_t kFileProperties[16] = {0xA1, 0xDC, 0xAB, 0x8C, 0x47, 0xA9, 0xCF, 0x11,
                                         0x8E, 0xE4, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};
constexpr uint8_t kContentEncryption[16] = {0xFB, 0xB3, 0x11, 0x22, 0x23, 0xBD, 0xD2, 0x11,
                                            0xB4, 0xB7, 0x00, 0xA0, 0xC9, 0x55, 0xFC, 0x6E};
constexpr uint8_t kExtendedContentEncryption[16] = {0x14, 0xE6, 0x8A, 0x29, 0x22, 0x26, 0x17, 0x4C,
                                                    0xB9, 0x35, 0xDA, 0xE0, 0x7E, 0xE9, 0x28, 0x9C};

constexpr int64_t kHeaderHead = 30;      // GUID, size, object count, two reserved bytes
constexpr int64_t kObjectHead = 24;      // GUID, size
constexpr int64_t kPlayDurationAt = 64;  // in the file properties object
constexpr int64_t kPrerollAt = 80;
constexpr int64_t kFilePropertiesSize = 104;

bool ReadAt(TByteSource& source, int64_t at, void* buffer, int64_t count) {
  return source.Seek(at, 0) == at && source.Read(buffer, count) == count;
}

}  // namespace

uint64_t TAsfHeaderFacts::Duration() const {
  if (Preroll > UINT64_MAX / 10000) return 0;
  const uint64_t preroll = Preroll * 10000;
  return PlayDuration > preroll ? PlayDuration - preroll : 0;
}

TAsfHeaderFacts WalkAsfHeader(TByteSource& source, int64_t start) {
  TAsfHeaderFacts facts;
  uint8_t head[kHeaderHead];
  if (!ReadAt(source, start, head, kHeaderHead) || std::memcmp(head, kHeaderObject, 16) != 0) return facts;
  facts.Asf = true;
  const int64_t size = source.Size();
  const uint64_t declared = le::load64(head + 16);
  const int64_t end = start + int64_t(std::min<uint64_t>(declared, uint64_t(size > start ? size - start : 0)));
  uint32_t objects = le::load32(head + 24);
  for (int64_t at = start + kHeaderHead; objects > 0 && at + kObjectHead <= end; --objects) {
    uint8_t object[kObjectHead];
    if (!ReadAt(source, at, object, kObjectHead)) break;
    const uint64_t length = le::load64(object + 16);
    if (length < uint64_t(kObjectHead) || length > uint64_t(end - at)) break;
    if (std::memcmp(object, kContentEncryption, 16) == 0 || std::memcmp(object, kExtendedContentEncryption, 16) == 0) {
      facts.Encrypted = true;
    } else if (std::memcmp(object, kFileProperties, 16) == 0 && length >= uint64_t(kFilePropertiesSize)) {
      uint8_t time[8];
      if (ReadAt(source, at + kPlayDurationAt, time, 8)) facts.PlayDuration = le::load64(time);
      if (ReadAt(source, at + kPrerollAt, time, 8)) facts.Preroll = le::load64(time);
    }
    at += int64_t(length);
  }
  return facts;
}

}  // namespace wma
