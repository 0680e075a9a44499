// BMP, icon and JPEG files made by ImageMagick, read through the picture's
// format registry and compared with ImageMagick's reading of the same file.

#include <gtest/gtest.h>


#include "base/LittleEndian.h"
#include "platform/forms/BitmapGraphic.h"
#include "platform/forms/Picture.h"
#include "support/ImageMagick.h"
#include "support/ScratchDir.h"
#include "support/allocation/AllocationWatch.h"

namespace forms {
namespace {

// The same BMP with its rows stored top-down (a negative height).
void MakeTopDown(const std::string& file) {
  std::vector<std::uint8_t> b = test_support::ReadBytes(file);
  std::uint32_t offset = le::load32(&b[10]), height = le::load32(&b[22]);
  std::size_t stride = (std::size_t(le::load32(&b[18])) * le::load16(&b[28]) + 31) / 32 * 4;
  for (std::size_t y = 0; y < height / 2; ++y)
    std::swap_ranges(&b[offset + y * stride], &b[offset + (y + 1) * stride], &b[offset + (height - 1 - y) * stride]);
  le::store32(&b[22], std::uint32_t(-std::int32_t(height)));
  test_support::WriteBytes(file, b);
}

struct TPictureCase {
  const char* Name;
  const char* Arguments;  // convert's, before the output file
  const char* File;       // its name: the extension picks the class
  const char* Compared;   // the image of the file ImageMagick dumps ("" for the only one)
  int Tolerance;          // per premultiplied channel
  int Bits;               // of a BMP, 0 for others
  bool TopDown;
};
void PrintTo(const TPictureCase& c, std::ostream* os) { *os << c.Name; }

class PictureFiles : public ::testing::TestWithParam<TPictureCase> {};

TEST_P(PictureFiles, EqualImageMagicksReading) {
  const TPictureCase& c = GetParam();
  test_support::TScratchDir dir;
  std::string file = dir.Path(c.File);
  bool ok = false;
  std::string arguments = c.Arguments;  // one ending in a format prefix ("BMP3:") takes the file at once
  test_support::CommandOutput("convert " + arguments + (arguments.back() == ':' ? "'" : " '") + file + "' 2>&1", &ok);
  ASSERT_TRUE(ok);
  std::vector<std::uint8_t> theirs = test_support::RgbaDump(file + c.Compared);
  if (c.TopDown) MakeTopDown(file);
  TPicture picture;
  picture.LoadFromFile(file);
  TBitmap bitmap;
  bitmap.Assign(picture.Graphic());
  EXPECT_EQ(c.Bits ? bitmap.Dib().BitsPerPixel() : 0, c.Bits);
  if (c.Bits && c.Bits <= 24) {  // written back, ImageMagick reads the same
    bitmap.SaveToFile(dir.Path("back.bmp"));
    EXPECT_EQ(test_support::RgbaDump(dir.Path("back.bmp")), theirs);
  }
  const canvas::TBitmap& ours = bitmap.Picture();
  ASSERT_EQ(theirs.size(), std::size_t(ours.Width() * ours.Height() * 4));
  for (int y = 0, n = 0; y < ours.Height(); ++y)
    for (int x = 0; x < ours.Width(); ++x, n += 4) {
      std::uint32_t p = ours.Pixel(x, y);
      int a = theirs[std::size_t(n + 3)];
      int expected[4] = {a, theirs[std::size_t(n)] * a / 255, theirs[std::size_t(n + 1)] * a / 255,
                         theirs[std::size_t(n + 2)] * a / 255};
      for (int k = 0; k < 4; ++k)
        ASSERT_NEAR(int(p >> (24 - 8 * k) & 255), expected[k], c.Tolerance) << x << "," << y << " channel " << k;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Forms, PictureFiles,
    ::testing::Values(
        TPictureCase{"Bmp1", "-size 13x7 gradient:red-blue -type bilevel BMP3:", "a.bmp", "", 0, 1, false},
        TPictureCase{"Bmp4", "-size 13x7 gradient:red-blue -colors 16 -type palette BMP3:", "a.bmp", "", 0, 4, false},
        TPictureCase{"Bmp8TopDown", "-size 15x40 gradient:lime-navy -colors 100 -type palette -compress none BMP3:", "a.BMP", "", 0, 8, true},
        TPictureCase{"Bmp24", "-size 11x5 gradient:yellow-navy -type truecolor BMP3:", "a.bmp", "", 0, 24, false},
        TPictureCase{"Bmp24TopDown", "-size 11x5 gradient:yellow-navy -type truecolor BMP3:", "a.bmp", "", 0, 24, true},
        TPictureCase{"Bmp32Alpha", "-size 20x10 gradient:red-blue -alpha set -channel A -fx i/w +channel", "a.bmp", "",
                     1, 32, false},
        TPictureCase{"IconLargestOfTwo", "-size 32x32 gradient:red-blue -define icon:auto-resize=16,32", "a.ico", "[1]",
                     1, 0, false},
        TPictureCase{"IconTransparent", "-size 16x16 xc:red -fill blue -draw 'rectangle 3,3,9,9' -transparent red",
                     "a.ico", "", 1, 0, false},
        TPictureCase{"IconPngEntry", "-size 256x256 gradient:red-blue", "a.ico", "", 1, 0, false},
        TPictureCase{"Jpeg", "-size 20x12 gradient:red-blue -quality 90", "a.jpg", "", 2, 0, false},
        TPictureCase{"JpegLongName", "-size 9x17 gradient:white-black -quality 80", "a.JPEG", "", 2, 0, false}),
    [](const auto& info) { return std::string(info.param.Name); });

// Damaged files: each header field that sizes a read is checked before it.
std::vector<std::uint8_t> Bmp(int offset, std::uint32_t value, std::size_t cut = 0) {
  std::vector<std::uint8_t> b = canvas::TDib(4, 3, 8).SaveToBmp();
  le::store32(&b[std::size_t(offset)], value);
  b.resize(b.size() - cut);
  return b;
}

TEST(DamagedPicture, GivesTheReadersError) {
  std::vector<std::uint8_t> icon = {0, 0, 1, 0, 1, 0, 4, 4, 0, 0, 1, 0, 8, 0, 160, 15, 0, 0, 22, 0, 0, 0},
                            huge = Bmp(18, 65535);
  le::store32(&huge[22], 65535);
  struct {
    unsigned Code;
    std::vector<std::uint8_t> Bytes;
    const char* Error;
  } cases[] = {{256, {'B', 'A', 0, 0}, "Bitmap image is not valid"},
               {256, Bmp(2, 0, 2), "Bitmap image is cut short"},
               {256, huge, "Picture is too large: 65535 x 65535 pixels"},
               {256, Bmp(28, 16), "Bitmap depth of 16 bits per pixel is not supported"},
               {256, Bmp(30, 1), "Compressed bitmap images are not supported"},
               {256, Bmp(46, 300), "Bitmap image is not valid"},
               {256, Bmp(10, 60), "Bitmap image is not valid"},
               {259, icon, "Icon image is cut short"},
               {259, {0, 0, 1, 0, 0, 0}, "Icon image is not valid"}};
  for (const auto& c : cases) {
    TMemoryStream stream(c.Bytes);
    TPicture picture;
    try {
      picture.LoadFromFormatCode(c.Code, stream);
      ADD_FAILURE() << c.Error << ": read";
    } catch (const EInvalidGraphic& e) {
      EXPECT_EQ(e.Message(), c.Error);
    }
  }
}

// A header that asks for 64 Mi pixels in a file of a few hundred bytes is
// refused with the reader's message before the pixels' memory is asked for.
std::vector<std::uint8_t> HugeBmp(std::uint32_t rowsOffset) {
  std::vector<std::uint8_t> b = canvas::TDib(1, 1, 32).SaveToBmp();
  le::store32(&b[10], rowsOffset);
  le::store32(&b[18], 8192);
  le::store32(&b[22], 8192);
  b.resize(200);
  return b;
}

std::vector<std::uint8_t> HugeJpeg() {
  test_support::TScratchDir dir;
  bool ok = false;
  test_support::CommandOutput("convert -size 8x8 xc:red '" + dir.Path("a.jpg") + "' 2>&1", &ok);
  std::vector<std::uint8_t> b = test_support::ReadBytes(dir.Path("a.jpg"));
  for (std::size_t i = 0; ok && i + 8 < b.size(); ++i)
    if (b[i] == 0xFF && b[i + 1] == 0xC0) {  // the frame header: height, then width, big-endian
      b[i + 5] = b[i + 7] = 0x20;
      b[i + 6] = b[i + 8] = 0;
      return b;
    }
  return {};
}

TEST(DamagedPicture, AHugeHeaderInASmallFileIsRefusedBeforeItsPixelsAreAllocated) {
  std::vector<std::uint8_t> icon = {0, 0, 1, 0, 1, 0, 0, 0, 0, 0, 1, 0, 32, 0, 178, 0, 0, 0, 22, 0, 0, 0};
  std::vector<std::uint8_t> entry = HugeBmp(0);
  icon.insert(icon.end(), entry.begin() + 14, entry.end());
  le::store32(&icon[22 + 8], 16384);  // an icon entry's height counts the mask too
  struct {
    const char* Name;
    unsigned Code;
    std::vector<std::uint8_t> Bytes;
    const char* Error;
  } cases[] = {{"RowsPastTheFile", 256, HugeBmp(100000), "Bitmap image is cut short"},
               {"RowsInTheFile", 256, HugeBmp(54), "Bitmap image is cut short"},
               {"IconEntry", 259, icon, "Bitmap image is cut short"},
               {"Jpeg", 258, HugeJpeg(), "JPEG image is not valid: Premature end of JPEG file"}};
  for (const auto& c : cases) {
    ASSERT_FALSE(c.Bytes.empty()) << c.Name;
    TMemoryStream stream(c.Bytes);
    TPicture picture;
    test_support::TAllocationWatch watch;
    try {
      picture.LoadFromFormatCode(c.Code, stream);
      ADD_FAILURE() << c.Name << ": read";
    } catch (const EInvalidGraphic& e) {
      EXPECT_EQ(e.Message(), c.Error) << c.Name;
    }
    EXPECT_LT(watch.Largest(), std::size_t(1) << 20) << c.Name;
  }
}

}  // namespace
}  // namespace forms
