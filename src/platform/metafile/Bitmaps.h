#pragma once
// Bitmap records: a device-independent bitmap read from inside its record
// (its pixels must lie inside the record: a header claiming more is damage)
// and copied into a logical rectangle by a raster operation; and the blits
// that only combine the brush with what is drawn.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/canvas/Bitmap.h"

namespace metafile {

class TPlayer;

struct TDibBytes {
  const std::uint8_t* Info = nullptr;  // the bitmap info header and its colour table
  std::size_t InfoSize = 0;
  const std::uint8_t* Bits = nullptr;  // the pixels
  std::size_t BitsSize = 0;
};

struct TBlit {
  double X = 0, Y = 0, W = 0, H = 0;              // destination, logical (negative sizes mirror)
  double SrcX = 0, SrcY = 0, SrcW = 0, SrcH = 0;  // source, pixels of the bitmap
  bool SrcFromBottom = false;                     // SrcY counts rows from the bottom (the DIB calls)
  std::uint32_t Rop = canvas::cmSrcCopy;
};

// The picture of a bitmap in a record, made once per record (Slot tells a
// record's second bitmap from its first); nullptr after Damage or Skip on
// the player.
std::shared_ptr<const canvas::TBitmap> DibPicture(TPlayer& player, const TDibBytes& dib, std::size_t slot = 0);
// A bitmap whose 32-bit pixels carry alpha, premultiplied as the blend of
// bitmaps takes them; another bitmap as DibPicture reads it (opaque).
std::shared_ptr<const canvas::TBitmap> AlphaPicture(TPlayer& player, const TDibBytes& dib);
// A packed bitmap (header, colours, pixels in one block).
TDibBytes PackedDib(const std::uint8_t* data, std::size_t size);

// Where a blit lands on the canvas and the part of the picture it takes;
// false when nothing shows (or inside a path bracket).
bool Placement(TPlayer& player, const canvas::TBitmap& picture, const TBlit& blit, canvas::TRect& dest,
               canvas::TRect& source);
// By the blit's raster operation, or through a mask (a picture the size of
// the bitmap): by the raster operation where it is white, by Background elsewhere.
void DrawBitmap(TPlayer& player, const canvas::TBitmap& picture, const TBlit& blit, const canvas::TBitmap* mask = nullptr,
                std::uint32_t background = 0);
// A blit without a source: the brush, black, white or the inverted
// destination over the rectangle.
void PatternBlit(TPlayer& player, const TBlit& blit);

}  // namespace metafile
