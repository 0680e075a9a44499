#pragma once
// The few facts the reader takes from an ASF header object itself: whether
// the clip is ASF at all, whether its content is encrypted, and its length.
// The walk stays inside the header object's size and the bytes the source
// has, reads each sub-object's 24-byte head and nothing more than the file
// properties' two times, and allocates nothing.

#include <cstdint>

#include "platform/wma/ByteSource.h"

namespace wma {

struct TAsfHeaderFacts {
  bool Asf = false;           // the header object's GUID stands at the start
  bool Encrypted = false;     // a content-encryption or extended content-encryption object
  uint64_t PlayDuration = 0;  // file properties, 100-ns units
  uint64_t Preroll = 0;       // file properties, milliseconds
  // The play duration less the preroll, in 100-ns units; 0 when there is
  // no file properties object or nothing is left.
  uint64_t Duration() const;
};

// Walks the header object at Start of Source (Source's position moves).
TAsfHeaderFacts WalkAsfHeader(TByteSource& source, int64_t start);

}  // namespace wma
