#pragma once
// What a metafile's header says: its kind, where its records start, how
// many objects it holds at once, and its frame: the rectangle of the
// reference device that the picture covers, with that device's units per
// millimetre; from the frame come its width and height at 96 pixels per
// inch.
//
// Windows metafile with the placeable header: the frame is the header's
// bounds in logical units, Inch of them to the inch. Without it, the frame
// is the first window origin and extent set before anything is drawn, a
// logical unit taken as a pixel (a file that sets no window has no size and
// is refused). Enhanced metafile: the frame is the header's frame in 0.01
// mm, on the reference device whose size the header gives in pixels and
// millimetres.

#include <cstdint>
#include <span>

#include "platform/metafile/Records.h"

namespace metafile {

struct THeader {
  TKind Kind = TKind::Wmf;
  bool Placeable = false;
  std::size_t FirstRecord = 0;  // offset of the first record after the header
  std::uint32_t Objects = 0;    // object table size (WMF) or handle count (EMF)
  double FrameLeft = 0, FrameTop = 0, FrameWidth = 0, FrameHeight = 0;  // reference device units
  double UnitsPerMmX = 96 / 25.4, UnitsPerMmY = 96 / 25.4;
  int Width = 0, Height = 0;    // pixels at 96 per inch
};

// Raises canvas::EInvalidGraphic "Metafile is not valid" for bytes that are
// no metafile, whose header cannot be read or whose frame has no size or
// one of more than 2^24 pixels a side (a side of less than one is one).
THeader ReadHeader(std::span<const std::uint8_t> bytes);

}  // namespace metafile
