#pragma once
// The records of a metafile one after another, each checked by libuemf
// before it is handed out: its size lies inside the file and, for enhanced
// metafiles, every count and offset inside it lies inside the record. The
// walk stops at the end record, at the end of the bytes, or at the first
// record that fails the checks (then Damage says why).

#include <cstddef>
#include <cstdint>
#include <span>

namespace metafile {

enum class TKind { Wmf, Emf };

struct TRecord {
  std::uint32_t Type = 0;       // WMF: the 16-bit function; EMF: the record type
  const std::uint8_t* Data = nullptr;  // the whole record, its size and type fields included
  std::size_t Size = 0;         // bytes
  std::size_t Offset = 0;       // from the start of the file
};

class TRecordWalk {
public:
  TRecordWalk(TKind kind, std::span<const std::uint8_t> bytes, std::size_t firstRecord);
  // The next sound record; false at the end or at damage.
  bool Next(TRecord& record);
  // Why the walk stopped early (nullptr: it reached the end record or the end of the bytes).
  const char* Damage() const { return FDamage; }
  int Count() const { return FCount; }

private:
  TKind FKind;
  std::span<const std::uint8_t> FBytes;
  std::size_t FAt;
  const char* FDamage = nullptr;
  bool FDone = false;
  int FCount = 0;
};

}  // namespace metafile
