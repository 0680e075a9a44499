#pragma once
// A window's pixels as the painting code sees them: 32-bit ARGB with
// premultiplied alpha in native byte order (the layout of Cairo's ARGB32
// image surfaces), rows Stride bytes apart. The buffer belongs to the window;
// it stays valid until the window is resized or destroyed.

#include <cstdint>

namespace window {

struct TPixelBuffer {
  uint32_t* Pixels = nullptr;
  int Width = 0;
  int Height = 0;
  int Stride = 0;  // bytes per row

  uint32_t* Row(int y) const { return reinterpret_cast<uint32_t*>(reinterpret_cast<unsigned char*>(Pixels) + static_cast<long>(y) * Stride); }
  uint32_t Pixel(int x, int y) const { return Row(y)[x]; }
};

}  // namespace window
