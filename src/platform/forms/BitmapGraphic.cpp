#include "platform/forms/BitmapGraphic.h"

#include <algorithm>
#include <cstring>

#include "platform/forms/Clipboard.h"

namespace forms {

namespace {

int DepthOf(TPixelFormat f) {
  static const int depths[] = {1, 4, 8, 24, 32};
  return depths[f];
}

std::vector<canvas::TRgbQuad> FixedPalette(int bits) {
  std::vector<canvas::TRgbQuad> p;
  auto add = [&p](int r, int g, int b) { p.push_back({std::uint8_t(b), std::uint8_t(g), std::uint8_t(r), 0}); };
  if (bits == 1) {
    add(0, 0, 0);
    add(255, 255, 255);
  } else if (bits == 4) {
    static const int vga[16][3] = {{0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
                                   {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
                                   {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
                                   {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
    for (auto& c : vga) add(c[0], c[1], c[2]);
  } else {
    for (int r = 0; r < 6; ++r)
      for (int g = 0; g < 6; ++g)
        for (int b = 0; b < 6; ++b) add(r * 51, g * 51, b * 51);
    for (int i = 0; i < 40; ++i) add(i * 255 / 39, i * 255 / 39, i * 255 / 39);
  }
  return p;
}

unsigned Nearest(const std::vector<canvas::TRgbQuad>& palette, canvas::TColor c) {
  unsigned best = 0;
  int bestDistance = 1 << 30;
  for (unsigned i = 0; i < palette.size(); ++i) {
    int dr = palette[i].Red - canvas::GetRValue(c), dg = palette[i].Green - canvas::GetGValue(c),
        db = palette[i].Blue - canvas::GetBValue(c), d = dr * dr + dg * dg + db * db;
    if (d < bestDistance) bestDistance = d, best = i;
  }
  return best;
}

void PutIndex(canvas::TDib& dib, int x, int y, unsigned index) {
  std::uint8_t* row = dib.Row(y);
  switch (dib.BitsPerPixel()) {
    case 1: row[x / 8] = std::uint8_t(row[x / 8] | (index & 1) << (7 - x % 8)); break;
    case 4: row[x / 2] = std::uint8_t(row[x / 2] | (index & 15) << (x % 2 ? 0 : 4)); break;
    default: row[x] = std::uint8_t(index);
  }
}

// A copy of Source at another depth and size, pixel by pixel through colours.
canvas::TDib Converted(const canvas::TDib& source, int bits, int width, int height) {
  canvas::TDib out(width, height, bits);
  bool sameIndexed = bits == source.BitsPerPixel() && bits <= 8;
  if (bits <= 8) out.Palette = sameIndexed ? source.Palette : FixedPalette(bits);
  out.Palette.resize(bits <= 8 ? std::size_t(1) << bits : 0);
  out.HasAlpha = source.HasAlpha && bits == 32;
  for (int y = 0; y < std::min(height, source.Height()); ++y)
    for (int x = 0; x < std::min(width, source.Width()); ++x) {
      if (bits <= 8) {
        PutIndex(out, x, y, sameIndexed ? source.IndexAt(x, y) : Nearest(out.Palette, source.ColorAt(x, y)));
        continue;
      }
      canvas::TColor c = source.ColorAt(x, y);
      std::uint8_t* p = out.Row(y) + std::size_t(x) * std::size_t(bits / 8);
      p[0] = canvas::GetBValue(c), p[1] = canvas::GetGValue(c), p[2] = canvas::GetRValue(c);
      if (bits == 32) p[3] = source.BitsPerPixel() == 32 ? source.Row(y)[x * 4 + 3] : 255;
    }
  return out;
}

}  // namespace

void TBitmap::SetDib(canvas::TDib dib) {
  FDib = std::move(dib);
  FPicture.reset();
  Changed();
}

void TBitmap::SetSize(int width, int height) {
  if (width == FDib.Width() && height == FDib.Height()) return;
  SetDib(Converted(FDib, FDib.BitsPerPixel() ? FDib.BitsPerPixel() : 24, std::max(width, 0), std::max(height, 0)));
}

TPixelFormat TBitmap::PixelFormat() const {
  switch (FDib.BitsPerPixel()) {
    case 1: return pf1bit;
    case 4: return pf4bit;
    case 8: return pf8bit;
    case 32: return pf32bit;
    default: return pf24bit;
  }
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
  if (DepthOf(format) == FDib.BitsPerPixel()) return;
  SetDib(Converted(FDib, DepthOf(format), FDib.Width(), FDib.Height()));
}

void TBitmap::SetPicture(const canvas::TBitmap& picture) {
  const std::uint32_t* px = picture.Pixels();
  std::size_t n = std::size_t(picture.Width()) * std::size_t(picture.Height());
  bool opaque = std::all_of(px, px + n, [](std::uint32_t p) { return p >> 24 == 255; });
  canvas::TDib dib(picture.Width(), picture.Height(), opaque ? 24 : 32);
  dib.HasAlpha = !opaque;
  for (int y = 0; y < picture.Height(); ++y)
    for (int x = 0; x < picture.Width(); ++x) {
      std::uint32_t p = picture.Pixel(x, y);
      canvas::TColor c = canvas::ColorOfPixel(p);
      std::uint8_t* d = dib.Row(y) + std::size_t(x) * (opaque ? 3 : 4);
      d[0] = canvas::GetBValue(c), d[1] = canvas::GetGValue(c), d[2] = canvas::GetRValue(c);
      if (!opaque) d[3] = std::uint8_t(p >> 24);
    }
  SetDib(std::move(dib));
}

const canvas::TBitmap& TBitmap::Picture() {
  if (!FPicture) {
    bool byIndex = FTransparent && TransparentIndex >= 0 && FDib.BitsPerPixel() <= 8;
    FPicture = std::make_unique<canvas::TBitmap>(FDib.ToBitmap(byIndex ? TransparentIndex : -1));
    FPicture->Transparent = FTransparent && !byIndex;
    FPicture->TransparentColor = TransparentColor;
  }
  return *FPicture;
}

void TBitmap::Draw(canvas::TCanvas& canvas, const canvas::TRect& rect) {
  FPicture.reset();  // the transparency settings may have changed since
  if (!FDib.Empty()) canvas.StretchDraw(rect, Picture());
}

void TBitmap::LoadFromStream(TStream& stream) {
  std::vector<std::uint8_t> bytes = stream.ReadBytes(stream.Remaining());
  SetDib(canvas::TDib::LoadFromBmp(bytes));
}

void TBitmap::SaveToStream(TStream& stream) { stream.WriteBytes(FDib.SaveToBmp()); }

void TBitmap::Assign(TGraphic* source) {
  if (auto* b = dynamic_cast<TBitmap*>(source)) {
    if (b == this) return;
    FTransparent = b->FTransparent;
    TransparentColor = b->TransparentColor;
    TransparentIndex = b->TransparentIndex;
    SetDib(b->FDib);
  } else if (!source) {
    SetDib(canvas::TDib());
  } else {
    TGraphic::Assign(source);
  }
}

void TBitmap::AssignTo(TGraphic* dest) { TGraphic::AssignTo(dest); }

void TBitmap::LoadFromClipboardFormat(unsigned format) {
  if (format != CF_DIB) throw EInvalidGraphic("Unsupported clipboard format");
  TGraphic::LoadFromClipboardFormat(format);
}

void TBitmap::SaveToClipboardFormat(unsigned& format) {
  format = CF_DIB;
  TGraphic::SaveToClipboardFormat(format);
}

}  // namespace forms
