#pragma once
// Writes BMP files and packed DIBs field by field from the published layouts
// (the OS/2 1.x core header, the info header and the longer OS/2 2.x and
// Windows headers), for tests and fuzz seeds. Rows left empty are filled
// with fixed noise, so that every bit of every field is exercised.

#include <algorithm>
#include <cstdint>
#include <vector>

struct TBmpBuilder {
  using TBytes = std::vector<std::uint8_t>;
  int HeaderSize = 40;  // 12 (OS/2 1.x), 40, 52 to 124 (masks inside from byte 40), 64 (OS/2 2.x)
  int Width = 1, Height = 1;  // a negative height: top-down
  int Bits = 8;
  std::uint32_t Compression = 0, Used = 0;
  std::vector<std::uint32_t> Masks = {};    // those that do not fit the header follow it
  std::vector<std::uint32_t> Palette = {};  // 0xRRGGBB; when empty, Used (or 2^Bits to 8 bits) distinct colours
  TBytes Rows = {};                         // as stored: padded rows or an RLE stream
  std::size_t Gap = 0;                      // bytes between palette and rows in a file

  // Header, masks, palette and rows: nothing in a packed DIB could point past a gap.
  TBytes Packed() const { return Bytes(0); }
  // With the file header, whose offset points past the gap to the rows.
  TBytes File() const {
    TBytes b = {'B', 'M'}, packed = Bytes(Gap);
    Put(b, 14 + packed.size(), 4), Put(b, 0, 4), Put(b, 14 + packed.size() - RowBytes().size(), 4);
    b.insert(b.end(), packed.begin(), packed.end());
    return b;
  }

private:
  TBytes Bytes(std::size_t gap) const {
    TBytes b, rows = RowBytes();
    Put(b, HeaderSize, 4);
    if (HeaderSize == 12) {
      Put(b, Width, 2), Put(b, Height, 2), Put(b, 1, 2), Put(b, Bits, 2);
    } else {
      Put(b, Width, 4), Put(b, Height, 4), Put(b, 1, 2), Put(b, Bits, 2), Put(b, Compression, 4), Put(b, 0, 12);
      Put(b, Used, 4), Put(b, 0, 4);
      for (std::uint32_t m : Masks) Put(b, m, 4);
    }
    b.resize(std::max(b.size(), std::size_t(HeaderSize)));
    std::size_t entries = !Palette.empty() ? Palette.size() : Used ? Used : Bits <= 8 ? std::size_t(1) << Bits : 0;
    for (std::size_t i = 0; i < entries; ++i)
      Put(b, Palette.empty() ? std::uint32_t((i + 1) * 0x9E3779B9u) >> 8 : Palette[i], HeaderSize == 12 ? 3 : 4);
    b.insert(b.end(), gap, 0xEE);
    b.insert(b.end(), rows.begin(), rows.end());
    return b;
  }
  TBytes RowBytes() const {
    if (!Rows.empty() || Compression == 1 || Compression == 2) return Rows;
    TBytes rows((std::size_t(Width) * std::size_t(Bits) + 31) / 32 * 4 * std::size_t(Height < 0 ? -Height : Height));
    std::uint32_t noise = 12345;
    for (std::uint8_t& r : rows) r = std::uint8_t((noise = noise * 1103515245u + 12345u) >> 16);
    return rows;
  }
  // Appends the low Bytes bytes of Value, little-endian.
  static void Put(TBytes& b, std::int64_t value, int bytes) {
    for (int k = 0; k < bytes; ++k, value >>= 8) b.push_back(std::uint8_t(value));
  }
};
