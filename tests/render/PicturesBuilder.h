#pragma once
// Stored picture bytes of every type the picture classes decode, made the
// way the picture classes' own tests make them: a GIF written block by
// block, BMP, JPEG and icon files written by ImageMagick. Each shows the
// same 8 x 6 picture: red on the left half, blue on the right.

#include <string>
#include <vector>

#include "score/model/PageBackground.h"
#include "support/GIFBuilder.h"
#include "support/ImageMagick.h"
#include "support/ScratchDir.h"
#include "support/metafile/MetafileWriter.h"

namespace test_pictures {

constexpr int kWidth = 8, kHeight = 6;

// Left half red, right half blue; with Transparent the blue entry is the
// transparent one.
inline std::vector<uint8_t> Gif(bool Transparent) {
  TGIFBuilder g;
  g.Word(kWidth).Word(kHeight).Byte(0x81).Byte(0).Byte(0);
  g.Raw({255, 0, 0, 0, 0, 255, 255, 255, 0, 0, 255, 0});
  if (Transparent) g.Control(true, 1);
  std::vector<int> pixels;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) pixels.push_back(x < kWidth / 2 ? 0 : 1);
  return g.Image(kWidth, kHeight, TGIFBuilder::Literals(pixels)).Trailer().Bytes();
}

// A file of Extension ("bmp", "jpg", "ico") with the picture; empty when
// ImageMagick is missing.
inline std::vector<uint8_t> Written(const std::string& Extension) {
  test_support::TScratchDir dir;
  const std::string file = dir.Path("picture." + Extension);
  bool ok = false;
  const std::string format = Extension == "bmp" ? "BMP3:" : "";
  test_support::CommandOutput("convert -size 8x6 xc:red -fill blue -draw 'rectangle 4,0 7,5' -quality 100 " + format +
                                  "'" + file + "' 2>&1",
                              &ok);
  return ok ? test_support::ReadBytes(file) : std::vector<uint8_t>{};
}

struct TStoredPicture {
  const char* Name;
  uint16_t Type;
  std::vector<uint8_t> Bytes;
};

// The same picture as a Windows metafile with the placeable header
// (Units of it to the inch, 96: a unit a pixel), written by libuemf: two
// rectangles without outline, each a unit wider and taller than the half
// it fills, as the device context fills such a rectangle without its right
// column and bottom row.
inline std::vector<uint8_t> Metafile(int Width = 8, int Height = 6) {
  test_metafile::TMetafileWriter w(false, Width, Height);
  w.Select(w.Pen(5, 0, 0));
  w.Select(w.Brush(0, 0x0000FF));
  w.Rectangle({0, 0, Width / 2 + 1, Height + 1});
  w.Select(w.Brush(0, 0xFF0000));
  w.Rectangle({Width / 2, 0, Width + 1, Height + 1});
  return w.Finish();
}

// One picture of each decoded type.
inline std::vector<TStoredPicture> EveryDecodedType() {
  return {{"bitmap", TKVPicture::gtBitmap, Written("bmp")},
          {"gif", TKVPicture::gtGIF, Gif(false)},
          {"jpeg", TKVPicture::gtJPEG, Written("jpg")},
          {"icon", TKVPicture::gtIcon, Written("ico")},
          {"metafile", TKVPicture::gtMetafile, Metafile()}};
}

}  // namespace test_pictures
