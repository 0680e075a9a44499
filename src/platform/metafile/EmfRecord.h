#pragma once
// Access to the fields of one enhanced-metafile record, shared by the
// handler files. libuemf has checked the record (sizes, counts and offsets
// inside it) before it comes here; the checks below only keep each handler
// honest about the part it reads.

#include <uemf.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/metafile/Player.h"
#include "platform/metafile/Records.h"

namespace metafile {

class TEmfRecord {
public:
  TEmfRecord(TPlayer& player, const TRecord& r) : P(player), R(r) {}
  // The record as its structure when it is at least that long.
  template <class T>
  const T* As(std::size_t least = sizeof(T)) const {
    return R.Size >= least ? reinterpret_cast<const T*>(R.Data) : nullptr;
  }
  // Whether Count items of Size bytes at Offset lie inside the record.
  bool Holds(std::uint64_t offset, std::uint64_t count, std::uint64_t size) const {
    return offset <= R.Size && count <= (R.Size - offset) / (size ? size : 1);
  }
  const std::uint8_t* At(std::size_t offset) const { return R.Data + offset; }

  TPlayer& P;
  const TRecord& R;
};

inline canvas::TPointF PointOf(const U_POINTL& p) { return {double(p.x), double(p.y)}; }

struct TDibBytes;
// The bitmap at these offsets of the record; false, and damage, when it runs past the record.
bool RecordDib(TEmfRecord& e, std::uint32_t offBmi, std::uint32_t cbBmi, std::uint32_t offBits, std::uint32_t cbBits,
               TDibBytes& dib);

// The handlers of each family; false for a record type they do not take.
bool EmfStateRecord(TEmfRecord& e);
bool EmfObjectRecord(TEmfRecord& e);
bool EmfFigureRecord(TEmfRecord& e);
bool EmfPathOrClipRecord(TEmfRecord& e);
bool EmfTextRecord(TEmfRecord& e);
bool EmfBitmapRecord(TEmfRecord& e);
bool EmfBlendRecord(TEmfRecord& e);

}  // namespace metafile
