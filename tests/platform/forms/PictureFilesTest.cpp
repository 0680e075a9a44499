// BMP, icon and JPEG files made by ImageMagick, read through the picture's
// format registry and compared with ImageMagick's reading of the same file;
// BMP forms ImageMagick does not write, written from a table and compared
// with ImageMagick's or GDK-PixBuf's reading.

#include <gtest/gtest.h>

#include "base/LittleEndian.h"
#include "platform/forms/BitmapGraphic.h"
#include "platform/forms/Picture.h"
#include "support/BmpBuilder.h"
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

// Our premultiplied ARGB picture against another reader's RGBA dump.
void ExpectSamePicture(const canvas::TBitmap& ours, const std::vector<std::uint8_t>& theirs, int tolerance) {
  ASSERT_EQ(theirs.size(), std::size_t(ours.Width() * ours.Height() * 4));
  for (int y = 0, n = 0; y < ours.Height(); ++y)
    for (int x = 0; x < ours.Width(); ++x, n += 4) {
      std::uint32_t p = ours.Pixel(x, y);
      int a = theirs[std::size_t(n + 3)];
      int expected[4] = {a, theirs[std::size_t(n)] * a / 255, theirs[std::size_t(n + 1)] * a / 255,
                         theirs[std::size_t(n + 2)] * a / 255};
      for (int k = 0; k < 4; ++k)
        ASSERT_NEAR(int(p >> (24 - 8 * k) & 255), expected[k], tolerance) << x << "," << y << " channel " << k;
    }
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
  ExpectSamePicture(bitmap.Picture(), theirs, c.Tolerance);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, PictureFiles,
    ::testing::Values(
        TPictureCase{"Bmp1", "-size 13x7 gradient:red-blue -type bilevel BMP3:", "a.bmp", "", 0, 1, false},
        TPictureCase{"Bmp4", "-size 13x7 gradient:red-blue -colors 16 -type palette BMP3:", "a.bmp", "", 0, 4, false},
        TPictureCase{"Bmp8TopDown", "-size 15x40 gradient:lime-navy -colors 100 -type palette -compress none BMP3:", "a.BMP", "", 0, 8, true},
        TPictureCase{"Bmp24", "-size 11x5 gradient:yellow-navy -type truecolor BMP3:", "a.bmp", "", 0, 24, false},
        TPictureCase{"Bmp24TopDown", "-size 11x5 gradient:yellow-navy -type truecolor BMP3:", "a.bmp", "", 0, 24, true},
        TPictureCase{"Os2Core4", "-size 13x7 gradient:red-blue -colors 16 -type palette BMP2:", "a.bmp", "", 0, 4, false},
        TPictureCase{"Os2Core24", "-size 11x5 gradient:yellow-navy -type truecolor BMP2:", "a.bmp", "", 0, 24, false},
        TPictureCase{"Rle8", "-size 40x9 gradient:lime-navy -colors 60 -type palette -compress RLE BMP3:", "a.bmp", "", 0, 8, false},
        TPictureCase{"Bmp16Rgb565", "-size 11x5 gradient:yellow-navy -define bmp:subtype=RGB565", "a.bmp", "", 0, 24, false},
        TPictureCase{"Bmp16Rgb555", "-size 11x5 gradient:yellow-navy -define bmp:subtype=RGB555", "a.bmp", "", 0, 24, false},
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

struct TBmpForm {
  const char* Name;
  bool Pixbuf;  // compared with GDK-PixBuf's reading, else ImageMagick's
  int Tolerance;
  int Bits;  // of the bitmap read
  TBmpBuilder Bmp;
};

class BmpForms : public ::testing::TestWithParam<TBmpForm> {};

TEST_P(BmpForms, EqualAnIndependentReadingAsAFileAndPacked) {
  const TBmpForm& c = GetParam();
  test_support::TScratchDir dir;
  TBmpBuilder theirs = c.Bmp;
  if (theirs.Compression == 6) theirs.Compression = 3, theirs.HeaderSize = 108;  // the same masks in the header they know
  test_support::WriteBytes(dir.Path("theirs.bmp"), theirs.File());
  test_support::WriteBytes(dir.Path("a.bmp"), c.Bmp.File());
  std::vector<std::uint8_t> dump = c.Pixbuf ? test_support::PixbufRgbaDump(dir.Path("theirs.bmp"))
                                            : test_support::RgbaDump(dir.Path("theirs.bmp"));
  TPicture picture;
  picture.LoadFromFile(dir.Path("a.bmp"));
  TBitmap bitmap;
  bitmap.Assign(picture.Graphic());
  EXPECT_EQ(bitmap.Dib().BitsPerPixel(), c.Bits);
  ExpectSamePicture(bitmap.Picture(), dump, c.Tolerance);
  std::vector<std::uint8_t> packed = c.Bmp.Packed();
  ExpectSamePicture(canvas::TDib::LoadPacked(packed.data(), packed.size(), false).ToBitmap(), dump, c.Tolerance);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, BmpForms,
    ::testing::Values(
        TBmpForm{"Os2V2Header4", true, 0, 4, {.HeaderSize = 64, .Width = 9, .Height = 4, .Bits = 4}},
        TBmpForm{"Palette8Used3", false, 0, 8,
                 {.Width = 5, .Height = 2, .Used = 3, .Rows = {0, 1, 2, 1, 0, 0, 0, 0, 2, 2, 1, 0, 1, 0, 0, 0}}},
        TBmpForm{"Rgb555TopDownAfterAGap", true, 0, 24, {.Width = 7, .Height = -3, .Bits = 16, .Gap = 6}},
        TBmpForm{"Fields565AndPalette", false, 0, 24,
                 {.Width = 7, .Height = 3, .Bits = 16, .Compression = 3, .Used = 3, .Masks = {0xF800, 0x7E0, 0x1F}}},
        TBmpForm{"Fields4444V4", true, 0, 24,
                 {.HeaderSize = 108, .Width = 6, .Height = 2, .Bits = 16, .Compression = 3, .Masks = {0xF00, 0xF0, 0xF, 0xF000}}},
        TBmpForm{"Fields565AlphaV4", true, 0, 24,
                 {.HeaderSize = 108, .Width = 6, .Height = 2, .Bits = 16, .Compression = 3,
                  .Masks = {0xF800, 0x7E0, 0x1F, 0xFF000000}}},
        TBmpForm{"Fields32Ten", true, 0, 32,
                 {.Width = 4, .Height = 3, .Bits = 32, .Compression = 3, .Masks = {0x3FF00000, 0xFFC00, 0x3FF}}},
        TBmpForm{"Fields32RgbaV5", true, 1, 32,
                 {.HeaderSize = 124, .Width = 4, .Height = 3, .Bits = 32, .Compression = 3,
                  .Masks = {0xFF000000, 0xFF0000, 0xFF00, 0xFF}}},
        TBmpForm{"AlphaBitFields", true, 1, 32,
                 {.Width = 4, .Height = 3, .Bits = 32, .Compression = 6, .Masks = {0xFF00, 0xFF0000, 0xFF000000, 0xFF}}},
        // Runs, absolute blocks (padded), end of line, delta and an early end.
        TBmpForm{"Rle8", false, 0, 8,
                 {.Width = 7, .Height = 4, .Compression = 1,
                  .Rows = {3, 5, 0, 3, 1, 2, 3, 0, 0, 0, 0, 2, 2, 1, 2, 9, 0, 0, 0, 5, 7, 8, 9, 10, 11, 0, 0, 1}}},
        TBmpForm{"Rle4", false, 0, 4,
                 {.Width = 9, .Height = 4, .Bits = 4, .Compression = 2,
                  .Rows = {3, 0x12, 0, 5, 0x34, 0x56, 0x70, 0, 0, 0, 0, 2, 2, 1, 2, 0xAB, 0, 0, 9, 0xCD, 0, 1}}}),
    [](const auto& info) { return std::string(info.param.Name); });

// Damaged forms load what is sound or give the reader's error, as a file
// and packed alike.
TBmpBuilder Rle(int width, int height, int bits, std::vector<std::uint8_t> stream) {
  return {.Width = width, .Height = height, .Bits = bits, .Compression = bits == 8 ? 1u : 2u, .Rows = std::move(stream)};
}

// Palette indices row by row from the top, each row ended by '/'.
std::string Indices(const canvas::TDib& dib) {
  std::string s;
  for (int y = 0; y < dib.Height(); ++y)
    for (int x = 0; x <= dib.Width(); ++x) s += x < dib.Width() ? "0123456789abcdef"[dib.IndexAt(x, y) & 15] : '/';
  return s;
}

TEST(DamagedBmp, LoadsWhatIsSoundOrGivesTheReadersError) {
  const char* masks = "Bitmap image with these bit fields is not supported";
  struct {
    const char* Name;
    TBmpBuilder Bmp;
    const char* Result;  // the indices, or the error
  } cases[] = {
      {"Rle8RunPastTheRow", Rle(4, 2, 8, {6, 1, 0, 0, 2, 2, 0, 1}), "2200/1111/"},
      {"Rle8DeltaPastThePicture", Rle(4, 2, 8, {2, 1, 0, 2, 1, 5, 2, 3, 0, 1}), "0000/1100/"},
      {"Rle8DeltaPastTheRow", Rle(4, 2, 8, {1, 1, 0, 2, 9, 0, 2, 3, 0, 0, 1, 4, 0, 1}), "4000/1000/"},
      {"Rle4BlockPastTheRow", Rle(3, 2, 4, {0, 5, 0x12, 0x34, 0x50, 0, 0, 0, 2, 0x67}), "670/123/"},
      {"Rle8CutShortInABlock", Rle(4, 2, 8, {4, 1, 0, 0, 0, 4, 5, 6}), "5600/1111/"},
      {"IndexPastThePalette", {.Width = 3, .Used = 2, .Rows = {0, 1, 7, 0}}, "017/"},
      {"Rle8TopDown", Rle(4, -2, 8, {4, 1, 0, 1}), "Bitmap image is not valid"},
      {"ZeroMask", {.Bits = 16, .Compression = 3, .Masks = {0, 0x3E0, 0x1F}}, masks},
      {"OverlappingMasks", {.Bits = 16, .Compression = 3, .Masks = {0xFF00, 0xFF0, 0xF}}, masks},
      {"Fields16CutShort", {.Width = 3, .Height = 3, .Bits = 16, .Rows = {1, 2}}, "Bitmap image is cut short"}};
  for (const auto& c : cases)
    for (bool packed : {false, true}) {
      std::vector<std::uint8_t> bytes = packed ? c.Bmp.Packed() : c.Bmp.File();
      std::string result;
      try {
        canvas::TDib dib =
            packed ? canvas::TDib::LoadPacked(bytes.data(), bytes.size(), false) : canvas::TDib::LoadFromBmp(bytes);
        result = Indices(dib);
        EXPECT_EQ(dib.ToBitmap().Width(), dib.Width());
      } catch (const EInvalidGraphic& e) {
        result = e.Message();
      }
      EXPECT_EQ(result, c.Result) << c.Name << (packed ? " packed" : " file");
    }
}

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
               {256, Bmp(28, 2), "Bitmap depth of 2 bits per pixel is not supported"},
               {256, Bmp(30, 4), "Compressed bitmap images are not supported"},
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
std::vector<std::uint8_t> HugeBmp(std::uint32_t rowsOffset, std::uint16_t bits = 32) {
  std::vector<std::uint8_t> b = canvas::TDib(1, 1, 32).SaveToBmp();
  le::store16(&b[28], bits);
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
               {"SixteenBitRows", 256, HugeBmp(54, 16), "Bitmap image is cut short"},
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
