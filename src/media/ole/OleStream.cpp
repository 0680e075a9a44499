#include "media/ole/OleStream.h"

#include "base/LittleEndian.h"

std::vector<std::uint8_t> ReadOleStream(TStream& stream, bool oldFormat, std::uint32_t& aspect) {
  std::uint8_t header[12];
  stream.ReadBuffer(header, sizeof header);
  const bool hasSignature = le::load32(header) == kOleStreamSignature;
  if (!hasSignature && !oldFormat) throw EOleError("Invalid stream format");
  const std::uint32_t size = le::load32(header + 8);
  if (size > stream.Remaining()) throw EOleError("Invalid stream format");
  // A stream of the old format holds bounds in place of the aspect: content.
  aspect = hasSignature ? le::load32(header + 4) : 1;
  return stream.ReadBytes(size);
}
