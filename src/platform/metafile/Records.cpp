#include "platform/metafile/Records.h"

#include <uemf.h>
#include <uemf_safe.h>
#include <uwmf.h>

#include "base/LittleEndian.h"

namespace metafile {

namespace {

// Enhanced-metafile record types libuemf checks; for the others it writes
// a warning and checks nothing, and the player reads nothing of them.
bool CheckedByLibuemf(std::uint32_t type) {
  static constexpr std::uint32_t unchecked[] = {69, 96, 97, 102, 103, 105, 106, 107, 109, 110, 111,
                                                112, 113, 117, 119, 120, 121};
  if (type < 1 || type > 122) return false;
  for (std::uint32_t u : unchecked)
    if (u == type) return false;
  return true;
}

}  // namespace

TRecordWalk::TRecordWalk(TKind kind, std::span<const std::uint8_t> bytes, std::size_t firstRecord)
    : FKind(kind), FBytes(bytes), FAt(firstRecord) {}

bool TRecordWalk::Next(TRecord& record) {
  if (FDone) return false;
  const std::size_t left = FAt <= FBytes.size() ? FBytes.size() - FAt : 0;
  const auto* at = reinterpret_cast<const char*>(FBytes.data() + FAt);
  std::size_t size = 0;
  std::uint32_t type = 0;
  if (FKind == TKind::Wmf) {
    // A file may end without its end record; six bytes are the least record.
    if (left < 6) return FDone = true, false;
    size = U_WMRRECSAFE_get(at, at + left);
    type = le::load16(FBytes.data() + FAt + 4);
    if (size < 6 || size > left) return FDamage = "a record's size runs past the end of the file or is 0", FDone = true, false;
  } else {
    if (left < 8) return FDone = true, false;
    type = le::load32(FBytes.data() + FAt);
    size = le::load32(FBytes.data() + FAt + 4);
    if (size < 8 || size % 4 != 0 || size > left)
      return FDamage = "a record's size runs past the end of the file or is 0", FDone = true, false;
    if (CheckedByLibuemf(type) && !U_emf_record_safe(at))
      return FDamage = "a record's contents run past the record", FDone = true, false;
  }
  record = {type, FBytes.data() + FAt, size, FAt};
  FAt += size;
  ++FCount;
  if ((FKind == TKind::Wmf && type == U_WMR_EOF) || (FKind == TKind::Emf && type == U_EMR_EOF)) FDone = true;
  return true;
}

}  // namespace metafile
