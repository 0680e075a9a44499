// Colour reduction for GIF frames: the 24-bit pixels of a bitmap become an
// 8-bit image with a palette chosen by one of six modes, or a 1-, 4- or
// 24-bit image through plain nearest-colour mapping.

#include "media/gif/GIFReduce.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <vector>

#include "media/gif/GIFImage.h"

namespace gif {

namespace {

using canvas::TDib;
using canvas::TRgbQuad;

constexpr TRgbQuad kGrey{0x80, 0x80, 0x80, 0};

struct TRgb {
  std::uint8_t R, G, B;
};

TRgb PixelOf24(const TDib& dib, int x, int y) {
  const std::uint8_t* p = dib.Row(y) + std::size_t(x) * 3;
  return {p[2], p[1], p[0]};
}

// Every pixel as 24 bits: palette colours in place of indices, alpha dropped.
TDib To24(const TDib& source) {
  if (source.BitsPerPixel() == 24) return source;
  TDib out(source.Width(), source.Height(), 24);
  for (int y = 0; y < source.Height(); ++y) {
    std::uint8_t* row = out.Row(y);
    for (int x = 0; x < source.Width(); ++x) {
      canvas::TColor c = source.ColorAt(x, y);
      row[x * 3] = canvas::GetBValue(c), row[x * 3 + 1] = canvas::GetGValue(c), row[x * 3 + 2] = canvas::GetRValue(c);
    }
  }
  return out;
}

void PutIndex(TDib& dib, int x, int y, unsigned index) {
  std::uint8_t* row = dib.Row(y);
  switch (dib.BitsPerPixel()) {
    case 1: row[x / 8] = std::uint8_t(row[x / 8] | (index & 1) << (7 - x % 8)); break;
    case 4: row[x / 2] = std::uint8_t(row[x / 2] | (index & 15) << (x % 2 ? 0 : 4)); break;
    default: row[x] = std::uint8_t(index);
  }
}

int Distance(const TRgbQuad& q, TRgb c) {
  int dr = q.Red - c.R, dg = q.Green - c.G, db = q.Blue - c.B;
  return dr * dr + dg * dg + db * db;
}

// The first of the nearest entries among the first Used of Palette.
unsigned Nearest(const std::vector<TRgbQuad>& palette, std::size_t used, TRgb c) {
  unsigned best = 0;
  int bestDistance = 1 << 30;
  for (std::size_t i = 0; i < used; ++i) {
    int d = Distance(palette[i], c);
    if (d < bestDistance) bestDistance = d, best = unsigned(i);
  }
  return best;
}

// Each pixel to its nearest entry of the bitmap's own palette (as much of it
// as the target holds), or of the standard 16 colours or black and white
// when the bitmap has none.
TDib ToFewColours(const TDib& source, int bits) {
  TDib out(source.Width(), source.Height(), bits);
  std::size_t size = std::size_t(1) << bits;
  if (!source.Palette.empty()) {
    std::vector<TRgbQuad> p(source.Palette.begin(), source.Palette.begin() + std::ptrdiff_t(std::min(size, source.Palette.size())));
    p.resize(size, kGrey);
    out.Palette = p;
  } else if (bits == 1) {
    out.Palette = {{0, 0, 0, 0}, {255, 255, 255, 0}};
  } else {
    static const std::uint8_t standard[16][3] = {
        {0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0}, {0, 0, 128},   {128, 0, 128},
        {0, 128, 128},   {192, 192, 192}, {128, 128, 128}, {255, 0, 0}, {0, 255, 0},   {255, 255, 0},
        {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
    for (int i = 0; i < 16; ++i) out.Palette[std::size_t(i)] = {standard[i][2], standard[i][1], standard[i][0], 0};
  }
  for (int y = 0; y < source.Height(); ++y)
    for (int x = 0; x < source.Width(); ++x) {
      canvas::TColor c = source.ColorAt(x, y);
      PutIndex(out, x, y, Nearest(out.Palette, size, {canvas::GetRValue(c), canvas::GetGValue(c), canvas::GetBValue(c)}));
    }
  return out;
}

// Levels of one component, with the index of the nearest level for every
// byte value (ties to the lower level), computed once at start.
struct TLevels {
  explicit TLevels(std::vector<int> values) : Values(std::move(values)) {
    for (int v = 0; v < 256; ++v) {
      std::size_t best = 0;
      for (std::size_t i = 1; i < Values.size(); ++i)
        if (std::abs(v - Values[i]) < std::abs(v - Values[best])) best = i;
      Nearest[std::size_t(v)] = std::uint8_t(best);
    }
  }
  std::vector<int> Values;
  std::array<std::uint8_t, 256> Nearest{};
};

const TLevels kRed7({0, 0x2B, 0x55, 0x80, 0xAA, 0xD5, 0xFF});
const TLevels kGreen8({0, 0x24, 0x49, 0x6D, 0x92, 0xB6, 0xDB, 0xFF});
const TLevels kBlue4({0, 0x55, 0xAA, 0xFF});
const TLevels kCube6({0, 0x33, 0x66, 0x99, 0xCC, 0xFF});

// Modes 2 and 3: a fixed cube of levels, each component to its nearest level.
TDib ToCube(const TDib& rgb, const TLevels& red, const TLevels& green, const TLevels& blue) {
  const std::size_t G = green.Values.size(), B = blue.Values.size();
  TDib out(rgb.Width(), rgb.Height(), 8);
  std::fill(out.Palette.begin(), out.Palette.end(), kGrey);
  for (std::size_t r = 0; r < red.Values.size(); ++r)
    for (std::size_t g = 0; g < G; ++g)
      for (std::size_t b = 0; b < B; ++b)
        out.Palette[(r * G + g) * B + b] = {std::uint8_t(blue.Values[b]), std::uint8_t(green.Values[g]),
                                            std::uint8_t(red.Values[r]), 0};
  for (int y = 0; y < rgb.Height(); ++y)
    for (int x = 0; x < rgb.Width(); ++x) {
      TRgb c = PixelOf24(rgb, x, y);
      out.Row(y)[x] = std::uint8_t((red.Nearest[c.R] * G + green.Nearest[c.G]) * B + blue.Nearest[c.B]);
    }
  return out;
}

// Mode 4: ramps of red, green and blue; the pixel's place picks the ramp.
TDib ToRamps(const TDib& rgb) {
  TDib out(rgb.Width(), rgb.Height(), 8);
  for (int i = 0; i < 64; ++i) {
    std::uint8_t v = std::uint8_t(4 * i);
    out.Palette[std::size_t(i)] = {0, 0, v, 0};
    out.Palette[std::size_t(64 + i)] = {0, v, 0, 0};
    out.Palette[std::size_t(128 + i)] = {v, 0, 0, 0};
  }
  for (int y = 0; y < rgb.Height(); ++y)
    for (int x = 0; x < rgb.Width(); ++x) {
      TRgb c = PixelOf24(rgb, x, y);
      int ramp = (y + x) % 3;
      out.Row(y)[x] = std::uint8_t(ramp == 0 ? c.R / 4 : ramp == 1 ? 64 + c.G / 4 : 128 + c.B / 4);
    }
  return out;
}

// Mode 5: greys by luminance.
TDib ToGreys(const TDib& rgb) {
  TDib out(rgb.Width(), rgb.Height(), 8);
  for (int i = 0; i < 256; ++i) out.Palette[std::size_t(i)] = {std::uint8_t(i), std::uint8_t(i), std::uint8_t(i), 0};
  for (int y = 0; y < rgb.Height(); ++y)
    for (int x = 0; x < rgb.Width(); ++x) {
      TRgb c = PixelOf24(rgb, x, y);
      out.Row(y)[x] = std::uint8_t((77 * c.R + 150 * c.G + 29 * c.B) >> 8);
    }
  return out;
}

// Mode 1: median cut over a histogram of 16 x 16 x 16 cells.
class TMedianCut {
public:
  explicit TMedianCut(const TDib& rgb) : FRgb(rgb) {
    for (int y = 0; y < rgb.Height(); ++y)
      for (int x = 0; x < rgb.Width(); ++x) {
        TRgb c = PixelOf24(rgb, x, y);
        TCell& cell = FCells[CellOf(c)];
        ++cell.Count;
        cell.Sum[0] += c.R, cell.Sum[1] += c.G, cell.Sum[2] += c.B;
      }
  }

  TDib Reduce(std::size_t colours) {
    TBox all{{0, 0, 0}, {15, 15, 15}};
    Shrink(all);
    std::vector<TBox> boxes{all};
    while (boxes.size() < colours) {
      int chosen = -1, longest = 0, axis = 0;
      for (std::size_t i = 0; i < boxes.size(); ++i) {
        if (boxes[i].Cells < 2) continue;
        for (int a = 0; a < 3; ++a)
          if (boxes[i].Hi[a] - boxes[i].Lo[a] > longest) longest = boxes[i].Hi[a] - boxes[i].Lo[a], chosen = int(i), axis = a;
      }
      if (chosen < 0) break;
      boxes.push_back(Split(boxes[std::size_t(chosen)], axis));
    }
    TDib out(FRgb.Width(), FRgb.Height(), 8);
    std::fill(out.Palette.begin(), out.Palette.end(), kGrey);
    std::array<std::uint8_t, 4096> boxOfCell{};
    for (std::size_t i = 0; i < boxes.size(); ++i) {
      const TBox& b = boxes[i];
      std::uint64_t sum[3] = {}, count = 0;
      ForCells(b, [&](int cell) {
        boxOfCell[std::size_t(cell)] = std::uint8_t(i);
        for (int a = 0; a < 3; ++a) sum[a] += FCells[std::size_t(cell)].Sum[a];
        count += FCells[std::size_t(cell)].Count;
      });
      if (count == 0) continue;
      auto mean = [&](int a) { return std::uint8_t((sum[a] + count / 2) / count); };
      out.Palette[i] = {mean(2), mean(1), mean(0), 0};
    }
    for (int y = 0; y < FRgb.Height(); ++y)
      for (int x = 0; x < FRgb.Width(); ++x) out.Row(y)[x] = boxOfCell[std::size_t(CellOf(PixelOf24(FRgb, x, y)))];
    return out;
  }

private:
  struct TCell {
    std::uint64_t Count = 0, Sum[3] = {};
  };
  struct TBox {
    int Lo[3], Hi[3];
    std::uint64_t Pixels = 0;
    int Cells = 0;  // occupied cells
  };

  static std::size_t CellOf(TRgb c) { return std::size_t(c.R >> 4) << 8 | std::size_t(c.G >> 4) << 4 | std::size_t(c.B >> 4); }

  template <class F>
  void ForCells(const TBox& b, F f) const {
    for (int r = b.Lo[0]; r <= b.Hi[0]; ++r)
      for (int g = b.Lo[1]; g <= b.Hi[1]; ++g)
        for (int bl = b.Lo[2]; bl <= b.Hi[2]; ++bl) {
          int cell = r << 8 | g << 4 | bl;
          if (FCells[std::size_t(cell)].Count) f(cell);
        }
  }

  // The box narrowed to its occupied cells, with its counts.
  void Shrink(TBox& b) const {
    int lo[3] = {15, 15, 15}, hi[3] = {0, 0, 0};
    b.Pixels = 0, b.Cells = 0;
    ForCells(b, [&](int cell) {
      int c[3] = {cell >> 8, cell >> 4 & 15, cell & 15};
      for (int a = 0; a < 3; ++a) lo[a] = std::min(lo[a], c[a]), hi[a] = std::max(hi[a], c[a]);
      b.Pixels += FCells[std::size_t(cell)].Count;
      ++b.Cells;
    });
    if (b.Cells == 0) return;
    for (int a = 0; a < 3; ++a) b.Lo[a] = lo[a], b.Hi[a] = hi[a];
  }

  // Splits B along Axis where half of its pixels are reached; B keeps the
  // lower part, the upper part is returned.
  TBox Split(TBox& b, int axis) const {
    std::uint64_t slice[16] = {};
    ForCells(b, [&](int cell) {
      int c[3] = {cell >> 8, cell >> 4 & 15, cell & 15};
      slice[c[axis]] += FCells[std::size_t(cell)].Count;
    });
    int at = b.Lo[axis];
    for (std::uint64_t sum = 0; at < b.Hi[axis] - 1; ++at)
      if ((sum += slice[at]) * 2 >= b.Pixels) break;
    TBox upper = b;
    b.Hi[axis] = at;
    upper.Lo[axis] = at + 1;
    Shrink(b);
    Shrink(upper);
    return upper;
  }

  const TDib& FRgb;
  std::vector<TCell> FCells = std::vector<TCell>(4096);
};

}  // namespace

TDib QuantizeByPopularity(const TDib& source, TColorMasks* masksOut) {
  const TDib rgb = To24(source);
  constexpr std::size_t kSlots = 5191, kMaxEntries = 2049;
  constexpr std::uint16_t kEmpty = 0xFFFF;
  struct TEntry {
    TRgb Color;
    std::uint32_t Count;
  };
  TColorMasks m;
  std::vector<TEntry> entries;
  std::vector<std::uint16_t> slots(kSlots), entryOf(std::size_t(rgb.Width()) * std::size_t(rgb.Height()));
  for (;;) {
    entries.clear();
    std::fill(slots.begin(), slots.end(), kEmpty);
    bool counted = true;
    std::size_t n = 0;
    for (int y = 0; y < rgb.Height() && counted; ++y)
      for (int x = 0; x < rgb.Width(); ++x, ++n) {
        TRgb c = PixelOf24(rgb, x, y);
        c = {std::uint8_t(c.R & m.Red), std::uint8_t(c.G & m.Green), std::uint8_t(c.B & m.Blue)};
        std::size_t h = std::size_t((c.R + c.G) * (c.G + c.B) * (c.B + c.R)) % kSlots;
        while (slots[h] != kEmpty) {
          const TRgb& e = entries[slots[h]].Color;
          if (e.R == c.R && e.G == c.G && e.B == c.B) break;
          h = (h + 1) % kSlots;
        }
        if (slots[h] == kEmpty) {
          if (entries.size() == kMaxEntries) {
            counted = false;
            break;
          }
          slots[h] = std::uint16_t(entries.size());
          entries.push_back({c, 0});
        }
        ++entries[slots[h]].Count;
        entryOf[n] = slots[h];
      }
    if (counted) break;
    // One component loses its lowest remaining bit: blue, red, green, blue ...
    if (m.Red < m.Green)
      m.Green = std::uint8_t(m.Green << 1);
    else if (m.Red <= m.Blue)
      m.Blue = std::uint8_t(m.Blue << 1);
    else
      m.Red = std::uint8_t(m.Red << 1);
  }
  if (masksOut) *masksOut = m;
  // The most used colours, the first of equal counts first.
  std::vector<std::size_t> order(entries.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return entries[a].Count != entries[b].Count ? entries[a].Count > entries[b].Count : a < b;
  });
  TDib out(rgb.Width(), rgb.Height(), 8);
  std::fill(out.Palette.begin(), out.Palette.end(), kGrey);
  std::size_t used = std::min<std::size_t>(order.size(), 256);
  for (std::size_t i = 0; i < used; ++i) {
    const TRgb& c = entries[order[i]].Color;
    out.Palette[i] = {c.B, c.G, c.R, 0};
  }
  std::vector<std::uint8_t> indexOf(entries.size());
  for (std::size_t i = 0; i < entries.size(); ++i) indexOf[i] = std::uint8_t(Nearest(out.Palette, used, entries[i].Color));
  std::size_t n = 0;
  for (int y = 0; y < rgb.Height(); ++y)
    for (int x = 0; x < rgb.Width(); ++x) out.Row(y)[x] = indexOf[entryOf[n++]];
  return out;
}

TDib ReduceColors(const TDib& source, int bits, int mode) {
  if (source.Empty()) throw canvas::EInvalidGraphic("Bitmap image is not valid");
  if (source.BitsPerPixel() == bits && mode != 5) return source;
  switch (bits) {
    case 1:
    case 4: return ToFewColours(source, bits);
    case 24: return To24(source);
    case 8: break;
    default: GIFError(gmNotImplemented);
  }
  const TDib rgb = To24(source);
  switch (mode) {
    case 0: return QuantizeByPopularity(rgb);
    case 1: return TMedianCut(rgb).Reduce(256);
    case 2: return ToCube(rgb, kRed7, kGreen8, kBlue4);
    case 3: return ToCube(rgb, kCube6, kCube6, kCube6);
    case 4: return ToRamps(rgb);
    case 5: return ToGreys(rgb);
    default: GIFError(gmNotImplemented);
  }
}

std::unique_ptr<TMemoryStream> ReduceGIFColors(forms::TBitmap& bitmap, int targetBits, int mode) {
  auto stream = std::make_unique<TMemoryStream>(ReduceColors(bitmap.Dib(), targetBits, mode).SaveToBmp());
  stream->SetPosition(0);
  return stream;
}

}  // namespace gif
