#include "score/import/midi/MidiRiff.h"

#include <algorithm>
#include <cstring>

namespace {

bool ReadTag(TStream& stream, char (&tag)[4]) { return stream.Read(tag, 4) == 4; }

}  // namespace

bool IsRiffStream(TStream& stream) {
  int64_t start = stream.GetPosition();
  char tag[4];
  bool riff = ReadTag(stream, tag) && std::memcmp(tag, "RIFF", 4) == 0;
  stream.SetPosition(start);
  return riff;
}

bool UnwrapRmid(TStream& stream, TMemoryStream& out) {
  char tag[4];
  if (!ReadTag(stream, tag) || std::memcmp(tag, "RIFF", 4) != 0 || stream.Remaining() < 8)
    return false;
  // The form ends where its size says, or at the end of the file if sooner.
  uint32_t formSize = stream.ReadU32();
  int64_t formEnd = std::min<int64_t>(stream.GetPosition() + formSize, stream.GetSize());
  if (!ReadTag(stream, tag) || std::memcmp(tag, "RMID", 4) != 0) return false;
  while (formEnd - stream.GetPosition() >= 8) {
    ReadTag(stream, tag);
    uint32_t declared = stream.ReadU32();
    int64_t length = std::min<int64_t>(declared, formEnd - stream.GetPosition());
    if (std::memcmp(tag, "data", 4) == 0) {
      out.WriteBytes(stream.ReadBytes(length));
      out.SetPosition(0);
      return true;
    }
    // Chunks are padded to an even length.
    stream.Seek(length + (length & 1), TSeekOrigin::soCurrent);
  }
  return false;
}
