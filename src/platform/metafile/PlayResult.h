#pragma once
// What drawing a metafile reports, and the pictures it keeps between
// drawings: all that the metafile's users see of the player.

#include <cstddef>
#include <memory>
#include <unordered_map>

#include "platform/canvas/Bitmap.h"

namespace metafile {

// Pictures made from the bitmaps of records, by the record's offset, so
// that a repaint decodes nothing again.
using TBitmapCache = std::unordered_map<std::size_t, std::shared_ptr<const canvas::TBitmap>>;

struct TPlayResult {
  int Records = 0;
  int Skipped = 0;
  const char* Damage = nullptr;  // why playing stopped early
};

}  // namespace metafile
