#include "platform/canvas/Dib.h"

#include <algorithm>
#include <cstring>

#include "base/LittleEndian.h"
#include "base/Strings.h"
#include "platform/canvas/DibRows.h"

namespace canvas {

namespace {

constexpr std::size_t kFileHeader = 14, kCoreHeader = 12, kInfoHeader = 40;
constexpr std::uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3, kAlphaBitFields = 6;

bool Indexed(int bits) { return bits == 1 || bits == 4 || bits == 8; }

std::uint32_t Premultiplied(std::uint8_t a, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  auto mul = [a](unsigned v) { return std::uint32_t((v * a + 127) / 255); };
  return std::uint32_t(a) << 24 | mul(r) << 16 | mul(g) << 8 | mul(b);
}

}  // namespace

TDib::TDib(int width, int height, int bitsPerPixel) {
  if (!Indexed(bitsPerPixel) && bitsPerPixel != 24 && bitsPerPixel != 32)
    throw EInvalidGraphic(Format("Bitmap depth of %d bits per pixel is not supported", bitsPerPixel));
  if (width < 0 || height < 0) throw EInvalidGraphic("Bitmap image is not valid");
  // The image size is a 32-bit field of the file image: it must fit there.
  if (std::int64_t(width) * height > TBitmap::kMaxPixels || Stride(width, bitsPerPixel) * std::size_t(height) > 0xFFFFFFFFu - 2048)
    throw EInvalidGraphic(Format("Picture is too large: %d x %d pixels", width, height));
  FWidth = width;
  FHeight = height;
  FBits = bitsPerPixel;
  FPixels.assign(Stride(width, bitsPerPixel) * std::size_t(height), 0);
  if (Indexed(bitsPerPixel)) Palette.assign(std::size_t(1) << bitsPerPixel, TRgbQuad{});
}

unsigned TDib::IndexAt(int x, int y) const {
  const std::uint8_t* row = Row(y);
  switch (FBits) {
    case 1: return row[x / 8] >> (7 - x % 8) & 1;
    case 4: return x % 2 ? row[x / 2] & 15 : row[x / 2] >> 4;
    case 8: return row[x];
    default: return 0;
  }
}

TColor TDib::ColorAt(int x, int y) const {
  if (Indexed(FBits)) {
    const TRgbQuad& q = Palette[IndexAt(x, y)];
    return RGB(q.Red, q.Green, q.Blue);
  }
  const std::uint8_t* p = Row(y) + std::size_t(x) * std::size_t(FBits / 8);
  return RGB(p[2], p[1], p[0]);
}

TBitmap TDib::ToBitmap(int transparentIndex) const {
  TBitmap b(FWidth, FHeight);
  std::uint32_t* out = b.Pixels();
  for (int y = 0; y < FHeight; ++y) {
    const std::uint8_t* row = Row(y);
    for (int x = 0; x < FWidth; ++x, ++out) {
      if (Indexed(FBits)) {
        unsigned i = IndexAt(x, y);
        const TRgbQuad& q = Palette[i];
        *out = int(i) == transparentIndex ? 0 : Premultiplied(255, q.Red, q.Green, q.Blue);
      } else {
        const std::uint8_t* p = row + std::size_t(x) * std::size_t(FBits / 8);
        *out = Premultiplied(HasAlpha ? p[3] : 255, p[2], p[1], p[0]);
      }
    }
  }
  return b;
}

std::vector<std::uint8_t> TDib::SaveToBmp() const {
  std::size_t paletteBytes = Palette.size() * 4, offset = kFileHeader + kInfoHeader + paletteBytes;
  std::vector<std::uint8_t> out(offset + FPixels.size(), 0);
  std::uint8_t* p = out.data();
  p[0] = 'B';
  p[1] = 'M';
  le::store32(p + 2, std::uint32_t(out.size()));
  le::store32(p + 10, std::uint32_t(offset));
  p += kFileHeader;
  le::store32(p, kInfoHeader);
  le::store32(p + 4, std::uint32_t(FWidth));
  le::store32(p + 8, std::uint32_t(FHeight));
  le::store16(p + 12, 1);
  le::store16(p + 14, std::uint16_t(FBits));
  le::store32(p + 20, std::uint32_t(FPixels.size()));
  p += kInfoHeader;
  for (const TRgbQuad& q : Palette) {
    *p++ = q.Blue;
    *p++ = q.Green;
    *p++ = q.Red;
    *p++ = 0;
  }
  if (!FPixels.empty()) std::memcpy(p, FPixels.data(), FPixels.size());
  return out;
}

TDib TDib::LoadFromBmp(const std::vector<std::uint8_t>& data) {
  if (data.size() < kFileHeader + kCoreHeader || data[0] != 'B' || data[1] != 'M')
    throw EInvalidGraphic("Bitmap image is not valid");
  std::size_t bitsOffset = le::load32(data.data() + 10);
  TDib dib = LoadPacked(data.data() + kFileHeader, data.size() - kFileHeader, false, &bitsOffset);
  return dib;
}

std::optional<TDibHeader> ReadDibHeader(const std::uint8_t* data, std::size_t size) {
  TDibHeader h;
  h.Size = size < 4 ? 0 : le::load32(data);
  if (h.Size == kCoreHeader && size >= kCoreHeader) {
    // OS/2 1.x: unsigned 16-bit sizes, no compression, entries of three bytes.
    h.Width = le::load16(data + 4), h.Height = le::load16(data + 6), h.Bits = le::load16(data + 10);
    h.EntrySize = 3;
  } else {
    // A longer header (OS/2 2.x or a later Windows version) starts as the info header.
    if (h.Size < kInfoHeader || h.Size > size) return std::nullopt;
    h.Width = std::int32_t(le::load32(data + 4)), h.Height = std::int32_t(le::load32(data + 8));
    h.Bits = le::load16(data + 14);
    h.Compression = le::load32(data + 16), h.Used = le::load32(data + 32);
    if (h.Size >= kInfoHeader + 16 || (h.Compression == kAlphaBitFields && size >= kInfoHeader + 16))
      h.AlphaMask = le::load32(data + kInfoHeader + 12);
  }
  // The masks follow a plain info header and end a longer one; a header too
  // short to hold them whole has them after it as well.
  h.PaletteAt = h.Size;
  if (h.Compression == kBitFields || h.Compression == kAlphaBitFields)
    h.PaletteAt = std::max(h.PaletteAt, kInfoHeader + (h.Compression == kAlphaBitFields ? 16 : 12));
  // True colour may list colours for palette devices, which only move the rows.
  const std::size_t entries = Indexed(h.Bits) ? std::size_t(1) << h.Bits : 0;
  h.RowsAt = h.PaletteAt + (h.Used == 0 ? entries : h.Used) * h.EntrySize;
  return h;
}

namespace {

bool Readable(const TDibHeader& h) {
  switch (h.Compression) {
    case kRgb: return true;
    case kRle8: return h.Bits == 8;
    case kRle4: return h.Bits == 4;
    case kBitFields:
    case kAlphaBitFields: return h.Bits == 16 || h.Bits == 32;
    default: return false;
  }
}

}  // namespace

// MaskOffset: in, for a file image, the rows' offset from the file start
// (the file header's field); out, for an icon entry, the AND mask's offset.
TDib TDib::LoadPacked(const std::uint8_t* data, std::size_t size, bool iconEntry, std::size_t* maskOffset) {
  const std::optional<TDibHeader> header = ReadDibHeader(data, size);
  if (!header) throw EInvalidGraphic("Bitmap image is not valid");
  const TDibHeader& h = *header;
  const int bits = h.Bits;
  const bool topDown = h.Height < 0, rle = h.Compression == kRle8 || h.Compression == kRle4;
  std::int64_t width = h.Width, height = topDown ? -h.Height : h.Height;
  if (width <= 0 || height == 0 || height > INT32_MAX) throw EInvalidGraphic("Bitmap image is not valid");
  if (iconEntry) height /= 2;
  if (!Indexed(bits) && bits != 16 && bits != 24 && bits != 32)
    throw EInvalidGraphic(Format("Bitmap depth of %d bits per pixel is not supported", bits));
  if (!Readable(h)) throw EInvalidGraphic("Compressed bitmap images are not supported");
  if (rle && topDown) throw EInvalidGraphic("Bitmap image is not valid");
  // Pixels of 16 and 32 bits are read through masks: those the header gives,
  // else 5-5-5 and 8-8-8; the 8-8-8 ones are kept as they are.
  TBitFields fields;
  if (h.Compression == kBitFields || h.Compression == kAlphaBitFields) {
    std::size_t count = h.Compression == kAlphaBitFields ? 4 : 3;
    if (size < kInfoHeader + 4 * count) throw EInvalidGraphic("Bitmap image is not valid");
    for (std::size_t i = 0; i < 3; ++i) fields.Mask[i] = le::load32(data + kInfoHeader + 4 * i);
    // Pixels of 16 bits become 24 and drop their alpha, whatever its mask.
    if (bits == 32) fields.Mask[3] = h.AlphaMask;
    if (!ValidBitFields(fields, bits)) throw EInvalidGraphic("Bitmap image with these bit fields is not supported");
  } else if (bits == 16) {
    fields = {{0x7C00, 0x3E0, 0x1F, 0}};
  } else if (bits == 32) {
    fields = {{0xFF0000, 0xFF00, 0xFF, h.AlphaMask == 0xFF000000u ? 0xFF000000u : 0}};
  }
  const std::uint32_t* m = fields.Mask;
  const bool plain = bits == 32 && m[0] == 0xFF0000 && m[1] == 0xFF00 && m[2] == 0xFF && (m[3] == 0 || m[3] == 0xFF000000u);
  // Every palette entry the header promises must be there before the rows are made.
  std::size_t entries = Indexed(bits) ? std::size_t(1) << bits : 0, count = h.Used == 0 && entries ? entries : h.Used;
  if (Indexed(bits) && (count > entries || size - h.PaletteAt < count * h.EntrySize))
    throw EInvalidGraphic("Bitmap image is not valid");
  std::size_t rowsAt = h.RowsAt;
  if (maskOffset && !iconEntry) {
    if (*maskOffset < kFileHeader || *maskOffset - kFileHeader < (entries ? rowsAt : h.PaletteAt))
      throw EInvalidGraphic("Bitmap image is not valid");
    rowsAt = *maskOffset - kFileHeader;
  }
  // Rows that start past the data, or fewer bytes than the rows need, are
  // refused before the pixels are allocated: a 200-byte file must not ask for
  // the memory of 64 Mi pixels.
  if (rowsAt > size) throw EInvalidGraphic("Bitmap image is cut short");
  std::size_t stride = Stride(int(width), bits), bytes = stride * std::size_t(height);
  if (!rle && width * height <= TBitmap::kMaxPixels && !RowsFit(width, height, bits, size - rowsAt))
    throw EInvalidGraphic("Bitmap image is cut short");
  TDib dib(int(width), int(height), bits == 16 ? 24 : bits);
  dib.HasAlpha = (bits == 32 && m[3] != 0) || (iconEntry && bits == 32);
  for (std::size_t i = 0; i < count && entries; ++i) {
    const std::uint8_t* q = data + h.PaletteAt + i * h.EntrySize;
    dib.Palette[i] = {q[0], q[1], q[2], 0};
  }
  const std::uint8_t* rows = data + rowsAt;
  if (rle) {
    ReadRleRows(dib, rows, size - rowsAt, h.Compression == kRle4);
    bytes = size - rowsAt;
  } else if (bits == 16 || (bits == 32 && !plain)) {
    ReadBitFieldRows(dib, rows, bits, fields, topDown);
  } else {
    for (std::int64_t y = 0; y < height; ++y)
      std::memcpy(dib.Row(int(topDown ? y : height - 1 - y)), rows + std::size_t(y) * stride, stride);
  }
  if (iconEntry && maskOffset) *maskOffset = rowsAt + bytes;
  return dib;
}

TBitmap DecodeIcon(const std::vector<std::uint8_t>& data) {
  const std::uint8_t* d = data.data();
  if (data.size() < 6 || le::load16(d) != 0 || (le::load16(d + 2) != 1 && le::load16(d + 2) != 2))
    throw EInvalidGraphic("Icon image is not valid");
  std::size_t count = le::load16(d + 4), best = 0;
  if (count == 0 || data.size() < 6 + count * 16) throw EInvalidGraphic("Icon image is not valid");
  auto area = [d](std::size_t i) {
    const std::uint8_t* e = d + 6 + i * 16;
    return (e[0] ? e[0] : 256) * (e[1] ? e[1] : 256) * 64 + le::load16(e + 6);
  };
  for (std::size_t i = 1; i < count; ++i)
    if (area(i) > area(best)) best = i;
  const std::uint8_t* entry = d + 6 + best * 16;
  std::size_t length = le::load32(entry + 8), offset = le::load32(entry + 12);
  if (offset > data.size() || data.size() - offset < length) throw EInvalidGraphic("Icon image is cut short");
  static const std::uint8_t png[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  if (length >= 8 && std::memcmp(d + offset, png, 8) == 0)
    return DecodePng(std::vector<std::uint8_t>(d + offset, d + offset + length));
  std::size_t mask = 0;
  TDib dib = TDib::LoadPacked(d + offset, length, true, &mask);
  // A 32-bit entry whose alpha is all zero was made for the mask alone.
  if (dib.HasAlpha) {
    bool any = false;
    for (int y = 0; y < dib.Height() && !any; ++y)
      for (int x = 0; x < dib.Width() && !any; ++x) any = dib.Row(y)[x * 4 + 3] != 0;
    dib.HasAlpha = any;
  }
  TBitmap picture = dib.ToBitmap();
  std::size_t maskStride = TDib::Stride(dib.Width(), 1);
  if (dib.HasAlpha || length - mask < maskStride * std::size_t(dib.Height())) return picture;
  for (int y = 0; y < dib.Height(); ++y) {
    const std::uint8_t* row = d + offset + mask + std::size_t(dib.Height() - 1 - y) * maskStride;
    for (int x = 0; x < dib.Width(); ++x)
      if (row[x / 8] >> (7 - x % 8) & 1) picture.Pixels()[std::size_t(y) * std::size_t(dib.Width()) + std::size_t(x)] = 0;
  }
  return picture;
}

}  // namespace canvas
