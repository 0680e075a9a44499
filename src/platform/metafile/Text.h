#pragma once
// Text records: the font of the device context made at the canvas's scale
// and turned by its escapement and the transform, the reference point
// placed by the text alignment, an opaque or clipping rectangle, the
// background of opaque mode, and the advances of a spacing array or of the
// character spacing.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/canvas/Graphics.h"

namespace metafile {

class TPlayer;

struct TTextRun {
  canvas::TPointF At;        // logical; the current position with U_TA_UPDATECP
  std::u16string Wide;       // the text of the wide records
  std::string Bytes;         // the text of the 8-bit records, in the font's character set
  bool IsWide = false;
  std::vector<double> Dx;    // logical advance after each character; empty: the font's own
  std::uint32_t Options = 0;
  canvas::TRectF Rect;       // logical, with U_ETO_OPAQUE or U_ETO_CLIPPED
};

void DrawText(TPlayer& player, const TTextRun& run);

// A font's face name from its 8-bit bytes (up to the first zero).
std::string FaceFromBytes(const char* bytes, std::size_t size);

}  // namespace metafile
