// GIF files written by the program, read back by ImageMagick and by the
// program's own reader; the blocks of the written bytes found by a walker
// written from the GIF89a layout.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "media/gif/GIFImage.h"
#include "media/gif/GIFReduce.h"
#include "support/ImageMagick.h"
#include "support/Raised.h"
#include "support/ScratchDir.h"

namespace gif {
namespace {

using Bytes = std::vector<std::uint8_t>;
using test_support::CommandOutput;

// An indexed picture: entry i is (37i, 91i, 53i) mod 256, pixel (x, y) takes
// entry (7x + 3y) mod 2^bits.
canvas::TDib Pattern(int w, int h, int bits) {
  canvas::TDib dib(w, h, bits);
  for (std::size_t i = 0; i < dib.Palette.size(); ++i)
    dib.Palette[i] = {std::uint8_t(53 * i), std::uint8_t(91 * i), std::uint8_t(37 * i), 0};
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      unsigned v = unsigned(7 * x + 3 * y) % (1u << bits);
      std::uint8_t* row = dib.Row(y);
      if (bits == 1) row[x / 8] = std::uint8_t(row[x / 8] | v << (7 - x % 8));
      else if (bits == 4) row[x / 2] = std::uint8_t(row[x / 2] | v << (x % 2 ? 0 : 4));
      else row[x] = std::uint8_t(v);
    }
  return dib;
}

Bytes Written(TGIFsImage& image) {
  TMemoryStream out;
  image.SaveToStream(out);
  return out.Bytes();
}

Bytes WrittenFrom(const canvas::TDib& dib) {
  forms::TBitmap bitmap;
  bitmap.SetDib(dib);
  TGIFsImage image;
  image.Assign(&bitmap);
  return Written(image);
}

// ImageMagick's pixels of frame 0 equal the colours Expected gives.
void ExpectImageMagickSees(const Bytes& gif, int w, int h, const std::function<canvas::TColor(int, int)>& expected) {
  test_support::TScratchDir dir;
  test_support::WriteBytes(dir.Path("x.gif"), gif);
  Bytes rgba = test_support::RgbaDump(dir.Path("x.gif") + "[0]");
  ASSERT_EQ(rgba.size(), std::size_t(w * h * 4));
  for (int y = 0, n = 0; y < h; ++y)
    for (int x = 0; x < w; ++x, n += 4)
      ASSERT_EQ(canvas::RGB(rgba[std::size_t(n)], rgba[std::size_t(n + 1)], rgba[std::size_t(n + 2)]), expected(x, y))
          << x << "," << y;
}

// The image blocks of a GIF: from 0x2C to the end of the data sub-blocks,
// found by walking the block structure.
std::vector<Bytes> ImageBlocks(const Bytes& g) {
  std::vector<Bytes> images;
  std::size_t at = 13 + (g[10] & 0x80 ? 3u << ((g[10] & 7) + 1) : 0);
  auto skipBlocks = [&] {
    while (g.at(at) != 0) at += std::size_t(g[at]) + 1;
    ++at;
  };
  while (g.at(at) != 0x3B) {
    if (g[at] == 0x21) {
      at += 2;
      skipBlocks();
      continue;
    }
    std::size_t start = at;
    std::uint8_t packed = g.at(at + 9);
    at += 10 + (packed & 0x80 ? 3u << ((packed & 7) + 1) : 0) + 1;
    skipBlocks();
    images.emplace_back(g.begin() + std::ptrdiff_t(start), g.begin() + std::ptrdiff_t(at));
  }
  return images;
}

bool Contains(const Bytes& haystack, const Bytes& needle) {
  return std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end()) != haystack.end();
}

struct TPictureCase {
  int Bits, Width, Height;
  bool Noise;  // random pixels: a code for nearly every pixel, the table cleared again and again
};

class GIFWriteIndexed : public ::testing::TestWithParam<TPictureCase> {};

TEST_P(GIFWriteIndexed, ImageMagickAndOurReaderSeeTheSamePixels) {
  const auto [bits, w, h, noise] = GetParam();
  canvas::TDib dib = Pattern(w, h, bits);
  std::mt19937 random(7);
  if (noise) std::generate(dib.Pixels().begin(), dib.Pixels().end(), [&] { return std::uint8_t(random()); });
  const Bytes gif = WrittenFrom(dib);
  ExpectImageMagickSees(gif, w, h, [&](int x, int y) { return dib.ColorAt(x, y); });
  TGIFsImage back;
  TMemoryStream in(gif);
  back.LoadFromStream(in);
  ASSERT_EQ(back.Frames.size(), 1u);
  EXPECT_FALSE(back.Frames[0]->Corrupt);
  const canvas::TDib& read = back.Frames[0]->GetBitmap().Dib();
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) ASSERT_EQ(read.ColorAt(x, y), dib.ColorAt(x, y)) << x << "," << y;
  EXPECT_EQ(ImageBlocks(gif).at(0).at(10), bits == 1 ? 2 : bits) << "minimum code size";
}

INSTANTIATE_TEST_SUITE_P(Gif, GIFWriteIndexed,
                         ::testing::Values(TPictureCase{1, 19, 9, false}, TPictureCase{1, 1, 1, false},
                                           TPictureCase{4, 33, 17, false}, TPictureCase{4, 300, 2, false},
                                           TPictureCase{8, 64, 40, false}, TPictureCase{8, 3, 200, false},
                                           TPictureCase{8, 256, 256, true}));

TEST(GIFWrite, TrueColourIsReducedToThePaletteOfItsIndices) {
  canvas::TDib dib(40, 30, 24);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) {
      std::uint8_t* p = dib.Row(y) + 3 * x;
      p[0] = std::uint8_t(6 * x), p[1] = std::uint8_t(8 * y), p[2] = std::uint8_t(x * y);
    }
  const canvas::TDib reduced = ReduceColors(dib, 8, 0);
  ExpectImageMagickSees(WrittenFrom(dib), 40, 30, [&](int x, int y) { return reduced.ColorAt(x, y); });
}

TEST(GIFWrite, ImageMagickReportsFramesLoopsAndComment) {
  forms::TBitmap a, b;
  a.SetDib(Pattern(5, 4, 4));
  b.SetDib(Pattern(6, 3, 8));
  TGIFsImage image;
  image.AddFrame(&a);
  image.AddFrame(&b);
  image.AddFrame(&a);
  image.Looping = true;
  image.LoopCount = 5;
  image.Frames[0]->Comments().Add("written by us");
  image.Header->Comments.Add("after the frames");
  test_support::TScratchDir dir;
  image.SaveToFile(dir.Path("x.gif"));
  const std::string file = "'" + dir.Path("x.gif") + "'";
  EXPECT_EQ(CommandOutput("identify -format '%n\\n' " + file + " | head -1"), "3\n");
  // ImageMagick counts plays: the first one and the repeats.
  EXPECT_EQ(CommandOutput("identify -verbose " + file + " | sed -n 's/^ *Iterations: //p' | head -1"), "6\n");
  EXPECT_EQ(CommandOutput("identify -format '%c' " + file + "[0]"), "written by us");
  // ImageMagick passes over a comment after the last frame; our reader keeps it.
  TGIFsImage back;
  back.LoadFromFile(dir.Path("x.gif"));
  ASSERT_EQ(back.Header->Comments.Count(), 1);
  EXPECT_EQ(back.Header->Comments.Strings(0), "after the frames");
}

TEST(GIFWrite, BlocksOfTheEdgeCases) {
  forms::TBitmap bitmap;
  bitmap.SetDib(Pattern(4, 2, 1));
  TGIFsImage one;
  one.Assign(&bitmap);
  one.Looping = true;
  const Bytes single = Written(one);
  EXPECT_FALSE(Contains(single, {'N', 'E', 'T', 'S'})) << "one frame writes no loop block";
  EXPECT_FALSE(Contains(single, {0x21, 0xF9})) << "no delay, transparency or disposal: no control block";
  EXPECT_EQ(std::string(single.begin(), single.begin() + 6), "GIF87a");

  TGIFsImage two;
  two.AddFrame(&bitmap);
  two.AddFrame(&bitmap);
  two.Looping = true;
  two.LoopCount = 5;
  two.Frames[1]->Delay = 250;
  two.Frames[1]->Disposal = 2;
  two.Frames[1]->Comments().Add(std::string(300, 'c'));
  const Bytes looped = Written(two);
  const std::string loop = "\x21\xFF\x0BNETSCAPE2.0\x03\x01\x05";
  Bytes expected(loop.begin(), loop.end());
  expected.insert(expected.end(), {0, 0});
  EXPECT_TRUE(Contains(looped, expected));
  EXPECT_TRUE(Contains(looped, {0x21, 0xF9, 4, 2 << 2, 25, 0, 0, 0})) << "delay in hundredths, disposal 2";
  Bytes comment{0x21, 0xFE, 255};
  comment.insert(comment.end(), 255, 'c');
  comment.push_back(0);
  EXPECT_TRUE(Contains(looped, comment)) << "a long line is cut at 255 bytes";
  EXPECT_EQ(std::string(looped.begin(), looped.begin() + 6), "GIF89a");
  // The second frame has a table of its own: flag and size in the descriptor.
  EXPECT_EQ(ImageBlocks(looped).at(1).at(9), 0x80);
}

TEST(GIFWrite, FramesReadFromAFileKeepTheirDescriptorsAndData) {
  test_support::TScratchDir dir;
  const std::string file = dir.Path("im.gif");
  bool ok = false;
  CommandOutput("convert -size 13x9 gradient:red-blue -colors 7 -interlace GIF \\( -size 6x5 xc:lime -transparent lime \\) "
                "-loop 3 '" + file + "' 2>&1", &ok);
  ASSERT_TRUE(ok);
  TMemoryStream theirs;
  theirs.LoadFromFile(file);
  TGIFsImage image;
  image.LoadFromStream(theirs);
  const Bytes ours = Written(image);
  EXPECT_EQ(ImageBlocks(ours), ImageBlocks(theirs.Bytes()));
  TGIFsImage back;
  TMemoryStream in(ours);
  back.LoadFromStream(in);
  ASSERT_EQ(back.Frames.size(), 2u);
  EXPECT_EQ(back.LoopCount, image.LoopCount);
  EXPECT_EQ(back.Frames[1]->TransparentIndex, image.Frames[1]->TransparentIndex);
}

TEST(GIFWrite, Failures) {
  TGIFsImage empty;
  EXPECT_EQ(RaisedBy([&] { Written(empty); }), "No GIF Data to write");
  forms::TBitmap bitmap, none;
  bitmap.SetDib(Pattern(3, 3, 8));
  EXPECT_EQ(RaisedBy([&] { ReduceGIFColors(bitmap, 16, 0); }), "Not Implemented");
  EXPECT_EQ(RaisedBy([&] { ReduceGIFColors(none, 8, 0); }), "Bitmap image is not valid");
  // A frame without a picture fails the write and the target keeps what it held.
  TGIFsImage image;
  image.AddFrame(&bitmap);
  image.AddFrame(&none);
  TMemoryStream target(Bytes{'a', 'b', 'c'});
  target.SetPosition(3);
  EXPECT_EQ(RaisedBy([&] { image.SaveToStream(target); }), "No GIF Data to write");
  EXPECT_EQ(target.Bytes(), (Bytes{'a', 'b', 'c'}));
  TGIFsImage odd;
  odd.Assign(&bitmap);
  Written(odd);
  odd.Header->ColorTable.Count = 3;
  EXPECT_EQ(RaisedBy([&] { Written(odd); }), "Wrong number of colors; must be a power of 2");
}

// A BMP whose palette holds 200 of its 256 entries: the GIF's table has all
// 256, and ImageMagick reads the pixels.
TEST(GIFWrite, ShortPaletteMakesAWholeTable) {
  const int w = 20, h = 10;
  Bytes bmp(14 + 40 + 200 * 4 + w * h, 0);
  auto put32 = [&](std::size_t at, std::uint32_t v) { for (int i = 0; i < 4; ++i) bmp[at + std::size_t(i)] = std::uint8_t(v >> 8 * i); };
  bmp[0] = 'B', bmp[1] = 'M';
  put32(2, std::uint32_t(bmp.size())), put32(10, 14 + 40 + 800);
  put32(14, 40), put32(18, w), put32(22, h), put32(26, 1 | 8 << 16), put32(46, 200);
  for (int i = 0; i < 200; ++i) bmp[54 + 4 * std::size_t(i)] = std::uint8_t(i), bmp[55 + 4 * std::size_t(i)] = std::uint8_t(255 - i);
  for (int i = 0; i < w * h; ++i) bmp[854 + std::size_t(i)] = std::uint8_t(i % 200);
  forms::TBitmap bitmap;
  TMemoryStream in(bmp);
  bitmap.LoadFromStream(in);
  const Bytes gif = WrittenFrom(bitmap.Dib());
  EXPECT_EQ(gif[10] & 0x87, 0x87) << "a global table of 256 entries";
  // Rows are stored bottom up: file row r is image row h - 1 - r.
  ExpectImageMagickSees(gif, w, h, [&](int x, int y) {
    int i = ((h - 1 - y) * w + x) % 200;
    return canvas::RGB(0, 255 - i, i);
  });
}

}  // namespace
}  // namespace gif
