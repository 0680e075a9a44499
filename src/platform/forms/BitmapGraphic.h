#pragma once
// The bitmap graphic: a device-independent bitmap of 1, 4, 8, 24 or 32 bits
// per pixel, read and written as a BMP file image, drawn through the
// canvas's ARGB bitmap.

#include <memory>

#include "platform/forms/Graphic.h"

namespace forms {

enum TPixelFormat { pf1bit, pf4bit, pf8bit, pf24bit, pf32bit };

class TBitmap : public TGraphic {
public:
  TBitmap() = default;
  const char* ClassName() const override { return "TBitmap"; }
  void Draw(canvas::TCanvas& canvas, const canvas::TRect& rect) override;
  int GetWidth() override { return FDib.Width(); }
  int GetHeight() override { return FDib.Height(); }
  bool GetEmpty() override { return FDib.Empty(); }
  void SetWidth(int width) override { SetSize(width, FDib.Height()); }
  void SetHeight(int height) override { SetSize(FDib.Width(), height); }
  void SetSize(int width, int height);  // keeps the pixels both sizes share
  TPaletteEntries GetPalette() override { return FDib.Palette; }
  void LoadFromStream(TStream& stream) override;
  void SaveToStream(TStream& stream) override;
  void Assign(TGraphic* source) override;
  void AssignTo(TGraphic* dest) override;
  void LoadFromClipboardFormat(unsigned format) override;
  // Always as CF_DIB.
  void SaveToClipboardFormat(unsigned& format) override;

  TPixelFormat PixelFormat() const;
  // Converts the pixels; an indexed target gets a fixed palette (black and
  // white, the 16 standard colours, or a 6 x 6 x 6 cube with greys) and each
  // pixel its nearest entry.
  void SetPixelFormat(TPixelFormat format);
  bool Monochrome() const { return FDib.BitsPerPixel() == 1; }
  void SetMonochrome(bool value) { SetPixelFormat(value ? pf1bit : pf24bit); }

  // Pixels of this colour are left out when drawn transparently; clNone
  // stands for the bottom-left pixel's colour.
  canvas::TColor TransparentColor = canvas::clNone;
  // A palette entry to leave out instead of a colour (-1: none): the other
  // entries stay opaque even where they carry the same colour.
  int TransparentIndex = -1;

  const canvas::TDib& Dib() const { return FDib; }
  void SetDib(canvas::TDib dib);
  // Takes an ARGB picture: 24 bits when it is opaque, else 32 with alpha.
  void SetPicture(const canvas::TBitmap& picture);
  // The ARGB picture as drawn (transparency applied when Transparent is set).
  const canvas::TBitmap& Picture();

private:
  canvas::TDib FDib;
  std::unique_ptr<canvas::TBitmap> FPicture;  // made on demand
};

}  // namespace forms
