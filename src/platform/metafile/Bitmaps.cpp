#include "platform/metafile/Bitmaps.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <vector>

#include "base/Exceptions.h"
#include "base/LittleEndian.h"
#include "platform/canvas/Dib.h"
#include "platform/metafile/Figures.h"
#include "platform/metafile/Player.h"

namespace metafile {

namespace {

constexpr std::uint32_t BI_RGB = 0, BI_BITFIELDS = 3, BI_JPEG = 4, BI_PNG = 5, BI_ALPHABITFIELDS = 6;
// A compressed bitmap may grow this much over its bytes (a run of 255 in two).
constexpr std::int64_t kMaxPixelsPerCompressedByte = 256;

struct TDibShape {
  std::int64_t Width = 0, Height = 0, Bits = 0;
  std::uint32_t Compression = BI_RGB;
  std::size_t HeaderSize = 0;
  bool TopDown = false;
};

bool ReadShape(const TDibBytes& d, TDibShape& s) {
  const std::optional<canvas::TDibHeader> h = canvas::ReadDibHeader(d.Info, d.InfoSize);
  if (!h) return false;
  s = {std::abs(h->Width), std::abs(h->Height), h->Bits, h->Compression, h->Size, h->Height < 0};
  return true;
}

canvas::TBitmap Decode(const TDibBytes& d, const TDibShape& s) {
  if (s.Compression == BI_JPEG || s.Compression == BI_PNG) {
    std::vector<std::uint8_t> data(d.Bits, d.Bits + d.BitsSize);
    return s.Compression == BI_JPEG ? canvas::DecodeJpeg(data) : canvas::DecodePng(data);
  }
  // The reader takes header, colours and pixels as one block, as a packed bitmap holds them.
  if (d.Info + d.InfoSize == d.Bits)
    return canvas::TDib::LoadPacked(d.Info, d.InfoSize + d.BitsSize, false).ToBitmap();
  std::vector<std::uint8_t> packed(d.Info, d.Info + d.InfoSize);
  packed.insert(packed.end(), d.Bits, d.Bits + d.BitsSize);
  return canvas::TDib::LoadPacked(packed.data(), packed.size(), false).ToBitmap();
}

canvas::TRect CanvasRect(const TXform& x, double l, double t, double r, double b) {
  const canvas::TPointF p1 = x.Apply(l, t), p2 = x.Apply(r, b);
  if (std::fabs(x.M12) < 1e-9 && std::fabs(x.M21) < 1e-9) return {WholePixel(p1.X), WholePixel(p1.Y), WholePixel(p2.X), WholePixel(p2.Y)};
  // Turned: the box around the turned rectangle.
  const canvas::TPointF p3 = x.Apply(r, t), p4 = x.Apply(l, b);
  return {WholePixel(std::min({p1.X, p2.X, p3.X, p4.X})), WholePixel(std::min({p1.Y, p2.Y, p3.Y, p4.Y})),
          WholePixel(std::max({p1.X, p2.X, p3.X, p4.X})), WholePixel(std::max({p1.Y, p2.Y, p3.Y, p4.Y}))};
}

}  // namespace

TDibBytes PackedDib(const std::uint8_t* data, std::size_t size) {
  // The pixels start where the reader finds them: after the header, its masks and its colours.
  const std::optional<canvas::TDibHeader> h = canvas::ReadDibHeader(data, size);
  if (!h) return {data, size, nullptr, 0};
  const std::size_t info = std::min(size, h->RowsAt);
  return {data, info, data + info, size - info};
}

namespace {

// Whether the pixels of a bitmap of this shape lie inside its bytes and the
// picture stays in bound; Damage when not.
bool Fits(TPlayer& player, const TDibBytes& dib, const TDibShape& s) {
  const bool plain = s.Compression == BI_RGB || s.Compression == BI_BITFIELDS || s.Compression == BI_ALPHABITFIELDS;
  const std::int64_t pixels = s.Width * s.Height;
  const bool fits = plain ? canvas::TDib::RowsFit(s.Width, s.Height, int(s.Bits), dib.BitsSize)
                          : pixels <= kMaxPixelsPerCompressedByte * std::int64_t(dib.BitsSize);
  if (fits && pixels <= canvas::TBitmap::kMaxPixels && s.Bits <= 32) return true;
  player.Damage("a bitmap's pixels run past its record");
  return false;
}

// Blue, green, red and alpha bytes, read as the pixel they are; a colour
// above its alpha (no premultiplied colour) is held to it.
std::uint32_t PremultipliedPixel(const std::uint8_t* p) {
  const std::uint32_t a = p[3];
  return a << 24 | std::min<std::uint32_t>(p[2], a) << 16 | std::min<std::uint32_t>(p[1], a) << 8 | std::min<std::uint32_t>(p[0], a);
}

}  // namespace

std::shared_ptr<const canvas::TBitmap> DibPicture(TPlayer& player, const TDibBytes& dib, std::size_t slot) {
  auto& cache = player.Bitmaps();
  // Records stand at multiples of four bytes: the offsets after one are free for its other bitmaps.
  const std::size_t key = player.RecordOffset() + slot;
  if (auto it = cache.find(key); it != cache.end()) return it->second;
  TDibShape s;
  if (!ReadShape(dib, s) || s.Width == 0 || s.Height == 0) return player.Skip(), nullptr;
  if (!Fits(player, dib, s)) return nullptr;
  try {
    auto picture = std::make_shared<const canvas::TBitmap>(Decode(dib, s));
    cache[key] = picture;
    return picture;
  } catch (const Exception&) {
    player.Skip();  // a form of bitmap the reader does not take
    return nullptr;
  }
}

std::shared_ptr<const canvas::TBitmap> AlphaPicture(TPlayer& player, const TDibBytes& dib) {
  TDibShape s;
  const bool shaped = ReadShape(dib, s) && s.HeaderSize >= 40 && s.Bits == 32 && s.Width > 0 && s.Height > 0;
  // Bit fields other than blue, green, red in their own bytes: the reader's business.
  const bool plainMasks = s.Compression == BI_RGB ||
                          (s.Compression == BI_BITFIELDS && dib.InfoSize >= 52 && le::load32(dib.Info + 40) == 0xFF0000 &&
                           le::load32(dib.Info + 44) == 0xFF00 && le::load32(dib.Info + 48) == 0xFF);
  if (!shaped || !plainMasks) return DibPicture(player, dib);
  auto& cache = player.Bitmaps();
  if (auto it = cache.find(player.RecordOffset()); it != cache.end()) return it->second;
  if (!Fits(player, dib, s)) return nullptr;
  auto picture = std::make_shared<canvas::TBitmap>(int(s.Width), int(s.Height));
  const std::size_t stride = std::size_t(s.Width) * 4;
  for (std::int64_t y = 0; y < s.Height; ++y) {
    const std::uint8_t* row = dib.Bits + std::size_t(s.TopDown ? y : s.Height - 1 - y) * stride;
    std::uint32_t* out = picture->Pixels() + std::size_t(y) * std::size_t(s.Width);
    for (std::int64_t x = 0; x < s.Width; ++x) out[x] = PremultipliedPixel(row + 4 * x);
  }
  cache[player.RecordOffset()] = picture;
  return picture;
}

bool Placement(TPlayer& player, const canvas::TBitmap& picture, const TBlit& b, canvas::TRect& dest,
               canvas::TRect& source) {
  if (player.InPath()) return false;
  // The source rectangle inside the picture; the destination shrinks with it.
  double sx = b.SrcX, sy = b.SrcFromBottom ? picture.Height() - b.SrcY - b.SrcH : b.SrcY, sw = b.SrcW, sh = b.SrcH;
  if (sw <= 0 || sh <= 0) return false;
  const double l = std::max(sx, 0.0), t = std::max(sy, 0.0);
  const double r = std::min(sx + sw, double(picture.Width())), bt = std::min(sy + sh, double(picture.Height()));
  if (l >= r || t >= bt) return false;
  const double kx = b.W / sw, ky = b.H / sh;
  const double dl = b.X + (l - sx) * kx, dt = b.Y + (t - sy) * ky, dr = b.X + (r - sx) * kx, db = b.Y + (bt - sy) * ky;
  dest = CanvasRect(player.ToCanvas(), dl, dt, dr, db);
  source = {int(l), int(t), int(std::ceil(r)), int(std::ceil(bt))};
  return dest.Width() != 0 && dest.Height() != 0;
}

void DrawBitmap(TPlayer& player, const canvas::TBitmap& picture, const TBlit& b, const canvas::TBitmap* mask,
                std::uint32_t background) {
  canvas::TRect dest, source;
  if (!Placement(player, picture, b, dest, source)) return;
  player.PrepareCanvas();
  canvas::TCanvas& c = player.Canvas();
  const canvas::TBrush saved = c.Brush;
  const canvas::TCopyMode savedMode = c.CopyMode;
  c.Brush.Color = player.Dc().Brush.Color;
  c.CopyMode = b.Rop;
  if (mask) c.MaskBlt(dest, picture, source, *mask, background);
  else c.StretchBlt(dest, picture, source);
  c.CopyMode = savedMode;
  c.Brush = saved;
}

void PatternBlit(TPlayer& player, const TBlit& b) {
  if (player.InPath()) return;
  const TDcState& dc = player.Dc();
  if (b.Rop == canvas::cmPatCopy || b.Rop == canvas::cmBlackness || b.Rop == canvas::cmWhiteness) {
    const TLogBrush brush = b.Rop == canvas::cmPatCopy     ? dc.Brush
                            : b.Rop == canvas::cmBlackness ? TLogBrush{U_BS_SOLID, canvas::clBlack, 0, nullptr}
                                                           : TLogBrush{U_BS_SOLID, canvas::clWhite, 0, nullptr};
    return player.Fill(RectPath(Box(b.X, b.Y, b.X + b.W, b.Y + b.H), player.ToCanvas()), brush);
  }
  static const canvas::TBitmap none(1, 1);
  DrawBitmap(player, none, {b.X, b.Y, b.W, b.H, 0, 0, 1, 1, false, b.Rop});
}

}  // namespace metafile
