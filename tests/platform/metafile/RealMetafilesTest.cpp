// Metafiles nobody here made: the Windows metafiles of the office suite's
// SDK examples (from Debian's libreoffice-dev-doc, taken out of it by
// scripts/fetch-metafile-corpus), drawn at their own size and held against
// Inkscape's picture of them and libwmf's (drawn by rsvg-convert). Skipped
// when the pictures or the tools are not there.

#include <gtest/gtest.h>

#include <filesystem>

#include "base/Streams.h"
#include "support/metafile/IndependentRender.h"
#include "platform/canvas/CairoCanvas.h"
#include "platform/forms/Picture.h"

namespace {

const char* const kFolder = SONARID_METAFILE_CACHE "/";

class RealMetafile : public testing::TestWithParam<const char*> {};

canvas::TBitmap Drawn(forms::TMetafile& m, int w, int h) {
  canvas::TBitmap picture(w, h, canvas::clWhite);
  m.Draw(picture.Canvas(), {0, 0, w, h});
  return picture;
}

TEST_P(RealMetafile, DrawsAsLibwmfDrawsIt) {
  const std::string file = std::string(kFolder) + GetParam() + ".wmf";
  if (!std::filesystem::exists(file)) GTEST_SKIP() << file << " is not there (scripts/fetch-metafile-corpus)";
  forms::TMetafile m;
  m.LoadFromFile(file);
  ASSERT_FALSE(m.GetEmpty());
  const int w = m.GetWidth(), h = m.GetHeight();
  const canvas::TBitmap ours = Drawn(m, w, h);
  ours.SaveToPngFile(test_metafile::ReviewPath(std::string("real-") + GetParam()));
  const auto inkscape = test_metafile::RenderWithInkscape(file, w, h);
  const auto libwmf = test_metafile::RenderWithLibwmf(file, w, h);
  if (!inkscape && !libwmf) GTEST_SKIP() << "neither Inkscape nor wmf2svg with rsvg-convert is installed";
  if (inkscape) {
    inkscape->SaveToPngFile(test_metafile::ReviewPath(std::string("real-") + GetParam() + "-inkscape"));
    const test_metafile::TPixelDifference d = test_metafile::Compare(ours, *inkscape, 24, 1);
    EXPECT_GT(d.InkShare, 0.2) << "the picture is drawn";
    EXPECT_LT(d.DifferentShare, 0.005) << GetParam() << " against Inkscape";
  }
  if (libwmf) {
    libwmf->SaveToPngFile(test_metafile::ReviewPath(std::string("real-") + GetParam() + "-libwmf"));
    // libwmf rounds each colour to the nearest SVG colour name: up to 40 a channel here.
    const test_metafile::TPixelDifference d = test_metafile::Compare(ours, *libwmf, 40, 1);
    EXPECT_LT(d.DifferentShare, 0.005) << GetParam() << " against libwmf";
  }
}

INSTANTIATE_TEST_SUITE_P(OfficeSdkExamples, RealMetafile,
                         testing::Values("beef", "burger", "chicken", "fish", "vegetable"));

}  // namespace
