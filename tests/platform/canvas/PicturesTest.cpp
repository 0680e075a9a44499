#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include <jpeglib.h>

#include "PixelHelpers.h"
#include "platform/canvas/CairoCanvas.h"
#include "support/Raised.h"

namespace canvas {
namespace {

using namespace canvas::testing;

// A JPEG of a picture: red left half, blue right half (or grey levels).
std::vector<std::uint8_t> EncodeJpeg(int w, int h, bool gray) {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr err;
  cinfo.err = jpeg_std_error(&err);
  jpeg_create_compress(&cinfo);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &out, &size);
  cinfo.image_width = JDIMENSION(w);
  cinfo.image_height = JDIMENSION(h);
  cinfo.input_components = gray ? 1 : 3;
  cinfo.in_color_space = gray ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 95, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<unsigned char> row(size_t(w) * size_t(cinfo.input_components));
  while (cinfo.next_scanline < cinfo.image_height) {
    for (int x = 0; x < w; ++x) {
      if (gray) {
        row[size_t(x)] = x < w / 2 ? 40 : 220;
      } else {
        unsigned char* p = &row[size_t(x) * 3];
        p[0] = x < w / 2 ? 255 : 0, p[1] = 0, p[2] = x < w / 2 ? 0 : 255;
      }
    }
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&cinfo, rows, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  std::vector<std::uint8_t> data(out, out + size);
  std::free(out);
  return data;
}

bool Near(TColor a, TColor b, int tolerance) {
  return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
         std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

TEST(Pictures, JpegIsDecodedThroughTheIjgInterface) {
  TBitmap b = TBitmap::LoadFromMemory(EncodeJpeg(64, 32, false));
  ASSERT_EQ(b.Width(), 64);
  ASSERT_EQ(b.Height(), 32);
  EXPECT_TRUE(Near(b.ColorAt(10, 10), clRed, 8));
  EXPECT_TRUE(Near(b.ColorAt(50, 20), clBlue, 8));
  TBitmap g = TBitmap::LoadFromMemory(EncodeJpeg(16, 16, true));
  EXPECT_TRUE(Near(g.ColorAt(2, 2), RGB(40, 40, 40), 4));
  EXPECT_TRUE(Near(g.ColorAt(14, 2), RGB(220, 220, 220), 4));
}

TEST(Pictures, PngRoundTripsThroughAFile) {
  TBitmap b(20, 10, clLime);
  b.Canvas().Brush.Color = clRed;
  b.Canvas().FillRect({0, 0, 5, 5});
  std::string file = (std::filesystem::temp_directory_path() / "sonarid-canvas-roundtrip.png").string();
  b.SaveToPngFile(file);
  TBitmap back = TBitmap::LoadFromFile(file);
  std::filesystem::remove(file);
  EXPECT_EQ(Snapshot(back), Snapshot(b));
}

struct TBadCase {
  const char* Name;
  std::vector<std::uint8_t> Data;
  const char* MessageStart;
};

class BadPicture : public ::testing::TestWithParam<TBadCase> {};

TEST_P(BadPicture, GivesAClearError) {
  const std::string message = RaisedBy<EInvalidGraphic>([] { TBitmap::LoadFromMemory(GetParam().Data); });
  EXPECT_EQ(message.rfind(GetParam().MessageStart, 0), 0u) << message;
}

std::vector<std::uint8_t> Truncated(std::vector<std::uint8_t> d, size_t keep) {
  d.resize(std::min(keep, d.size()));
  return d;
}

std::vector<std::uint8_t> HugePng() {
  std::vector<std::uint8_t> d = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D', 'R',
                                 0,    1,   0,   0,   0,    1,    0,    0,    8, 6, 0, 0,  0,   0,   0,   0, 0};
  return d;  // 65536 x 65536
}

std::vector<std::uint8_t> HugeJpeg() {
  std::vector<std::uint8_t> d = EncodeJpeg(8, 8, true);
  for (size_t i = 0; i + 8 < d.size(); ++i)
    if (d[i] == 0xFF && d[i + 1] == 0xC0) {  // frame header: height and width follow the precision byte
      d[i + 5] = d[i + 7] = 0x30, d[i + 6] = d[i + 8] = 0;  // 12288 x 12288
      break;
    }
  return d;
}

INSTANTIATE_TEST_SUITE_P(
    Canvas, BadPicture,
    ::testing::Values(TBadCase{"Empty", {}, "Picture data is neither"},
                      TBadCase{"Garbage", {'G', 'I', 'F', '8', '9', 'a', 0, 0}, "Picture data is neither"},
                      TBadCase{"TruncatedPng", Truncated(HugePng(), 20), "PNG image is not valid"},
                      TBadCase{"HugePng", HugePng(), "Picture is too large"},
                      TBadCase{"DamagedPng", [] { auto d = HugePng(); d[17] = d[21] = 0, d[19] = d[23] = 4; return d; }(),
                               "PNG image is not valid"},
                      TBadCase{"TruncatedJpeg", Truncated(EncodeJpeg(32, 32, false), 30), "JPEG image is not valid"},
                      TBadCase{"HugeJpeg", HugeJpeg(), "Picture is too large"}),
    [](const ::testing::TestParamInfo<TBadCase>& info) { return std::string(info.param.Name); });

TEST(Pictures, MissingFileGivesTheOpenError) {
  EXPECT_THROW(TBitmap::LoadFromFile("/nonexistent/picture.png"), EFOpenError);
}

TEST(Bitmaps, BitBltCopiesPixelsExactly) {
  TBitmap source(40, 30);
  source.Canvas().Font.SetSize(16);
  source.Canvas().TextOut(2, 2, u"Ab");  // anti-aliased pixels
  source.Canvas().Brush.Color = clRed;
  source.Canvas().Ellipse({10, 10, 38, 28});
  TBitmap dest(40, 30, clBlack);
  dest.Canvas().BitBlt(0, 0, 40, 30, source, 0, 0);
  EXPECT_EQ(Snapshot(dest), Snapshot(source));
  TBitmap part(10, 10, clBlack);
  part.Canvas().BitBlt(2, 3, 5, 5, source, 20, 15);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 5; ++x) ASSERT_EQ(part.Pixel(2 + x, 3 + y), source.Pixel(20 + x, 15 + y));
  EXPECT_EQ(part.ColorAt(1, 1), clBlack);
}

TEST(Bitmaps, StretchBltScalesWithoutSmoothing) {
  TBitmap source(2, 2, clWhite);
  source.Canvas().SetPixel(1, 0, clRed);
  TBitmap dest(8, 8, clBlack);
  dest.Canvas().StretchBlt({0, 0, 8, 8}, source, {0, 0, 2, 2});
  EXPECT_EQ(Count(dest, clRed, true), 16);
  EXPECT_EQ(Count(dest, clRed, true, {4, 0, 8, 4}), 16);
}

TEST(Bitmaps, DrawLeavesOutTheTransparentColour) {
  TBitmap picture(4, 4, clLime);
  picture.Canvas().SetPixel(1, 1, clRed);
  picture.Transparent = true;  // the bottom-left pixel's colour is transparent
  TBitmap dest(6, 6, clBlue);
  dest.Canvas().Draw(1, 1, picture);
  EXPECT_EQ(Count(dest, clBlue, true), 35);
  EXPECT_EQ(dest.ColorAt(2, 2), clRed);
  picture.TransparentColor = clRed;
  dest.Canvas().Draw(1, 1, picture);
  EXPECT_EQ(dest.ColorAt(2, 2), clRed);  // drawn before, left alone now
  EXPECT_EQ(Count(dest, clLime, true), 15);
}

TEST(Bitmaps, CopiesOwnTheirPixelsAndResizingRefills) {
  TBitmap a(3, 3, clRed);
  a.Canvas().SetPixel(0, 0, clBlue);
  TBitmap b = a;
  b.Canvas().SetPixel(0, 0, clLime);
  EXPECT_EQ(a.ColorAt(0, 0), clBlue);
  EXPECT_EQ(b.ColorAt(0, 0), clLime);
  b.SetSize(5, 2, clYellow);
  b.Canvas().SetPixel(4, 1, clBlack);
  EXPECT_EQ(b.ColorAt(4, 1), clBlack);
  EXPECT_EQ(b.ColorAt(0, 0), clYellow);
  EXPECT_EQ(b.ColorAt(5, 0), clNone);
}

}  // namespace
}  // namespace canvas
