// The GIF reader's decisions, on GIF bytes written block by block.

#include <gtest/gtest.h>

#include <functional>

#include "media/gif/GIFImage.h"
#include "support/GIFBuilder.h"
#include "support/allocation/AllocationWatch.h"

namespace gif {
namespace {

using TCodes = std::vector<std::pair<int, int>>;
const TCodes kTwoPixels = TGIFBuilder::Literals({1, 2});

TGIFBuilder Small(const std::string& sig = "GIF89a") { return std::move(TGIFBuilder(sig).Screen(2, 1, 2)); }

struct TReadCase {
  const char* Name;
  std::vector<std::uint8_t> Bytes;
  bool Strict = false;
  const char* Error = "";  // the text raised, "" for none
  std::function<void(TGIFsImage&)> Check = [](TGIFsImage&) {};
};

void PrintTo(const TReadCase& c, std::ostream* os) { *os << c.Name; }

class GIFRead : public ::testing::TestWithParam<TReadCase> {};

TEST_P(GIFRead, FollowsTheFormatsDecisions) {
  const TReadCase& c = GetParam();
  TolerateCorruptData = !c.Strict;
  TGIFsImage image;
  TMemoryStream stream(c.Bytes);
  std::string error;
  try {
    ReadGIFStream(image, stream.GetSize(), stream, false);
    for (auto& f : image.Frames) f->GetBitmap();
  } catch (const forms::EInvalidGraphicOperation& e) {
    error = e.Message();
  }
  TolerateCorruptData = true;
  EXPECT_EQ(error, c.Error);
  c.Check(image);
}

auto Frames(std::size_t n) { return [n](TGIFsImage& i) { EXPECT_EQ(i.Frames.size(), n); }; }
auto CorruptWithPixels(std::vector<unsigned> pixels) {
  return [pixels](TGIFsImage& i) {
    ASSERT_EQ(i.Frames.size(), 1u);
    EXPECT_TRUE(i.Frames[0]->Corrupt);
    const canvas::TDib& d = i.Frames[0]->GetBitmap().Dib();
    for (std::size_t x = 0; x < pixels.size(); ++x) EXPECT_EQ(d.IndexAt(int(x), 0), pixels[x]) << x;
  };
}
// Clear, then 0, then a code past the next free one, twice: the table's
// entry 7 becomes its own prefix and the next use of 7 never ends.
const TCodes kLoopingChain = {{4, 3}, {0, 3}, {7, 3}, {7, 3}, {7, 4}, {5, 4}};
std::vector<std::uint8_t> Truncated() {
  auto b = Small().Image(2, 1, kTwoPixels).Trailer().Bytes();
  b.resize(b.size() - 4);  // inside the data sub-block
  return b;
}

INSTANTIATE_TEST_SUITE_P(
    Gif, GIFRead,
    ::testing::Values(
        TReadCase{"SignatureInOtherCase", Small("gIf89A").Image(2, 1, kTwoPixels).Trailer().Bytes(), false, "",
                  [](TGIFsImage& i) { EXPECT_EQ(i.Version, 2); EXPECT_EQ(i.Frames.size(), 1u); }},
        TReadCase{"OtherVersion", Small("GIF90a").Image(2, 1, kTwoPixels).Bytes(), false, "Unknown GIF version", Frames(0)},
        TReadCase{"ControlBeforePlainTextIsTheTexts",
                  Small().Control(true, 1).PlainText().Image(2, 1, kTwoPixels).Trailer().Bytes(), false, "",
                  [](TGIFsImage& i) { EXPECT_EQ(i.Frames.at(0)->TransparentColor, kGIFNone); }},
        TReadCase{"ControlMakesTransparent", Small().Control(true, 1, 7, 2).Image(2, 1, kTwoPixels).Trailer().Bytes(),
                  false, "",
                  [](TGIFsImage& i) {
                    auto& f = *i.Frames.at(0);
                    EXPECT_EQ(std::tuple(f.TransparentColor, f.Delay, f.Disposal), std::tuple(canvas::RGB(1, 2, 3), 70, 2));
                  }},
        TReadCase{"TransparentIndexBeyondTable", Small().Control(true, 9).Image(2, 1, kTwoPixels).Trailer().Bytes(),
                  false, "", [](TGIFsImage& i) { EXPECT_EQ(i.Frames.at(0)->TransparentColor, kGIFNone); }},
        TReadCase{"LoopZero", Small().Loop(0).Image(2, 1, kTwoPixels).Trailer().Bytes(), false, "",
                  [](TGIFsImage& i) { EXPECT_TRUE(i.Looping); EXPECT_EQ(i.LoopCount, 0); }},
        TReadCase{"LoopCapped", Small().Loop(40000, "ANIMEXTS1.0").Image(2, 1, kTwoPixels).Trailer().Bytes(), false,
                  "", [](TGIFsImage& i) { EXPECT_TRUE(i.Looping); EXPECT_EQ(i.LoopCount, 30000); }},
        TReadCase{"CommentsAfterTheLastImage",
                  Small().Image(2, 1, kTwoPixels).Comment({"one", "two"}).Comment({"three"}).Trailer().Bytes(), false,
                  "",
                  [](TGIFsImage& i) {
                    ASSERT_EQ(i.Header->Comments.Count(), 4);
                    EXPECT_EQ(i.Header->Comments.Strings(1), "two");
                    EXPECT_EQ(i.Header->Comments.Strings(2), "\r\n\r\n");
                    EXPECT_EQ(i.Header->Comments.Strings(3), "three");
                  }},
        TReadCase{"WidthZeroTakesTheScreens", Small().Image(0, 1, kTwoPixels).Trailer().Bytes(), false, "",
                  [](TGIFsImage& i) { EXPECT_EQ(i.Frames.at(0)->GetBitmap().GetWidth(), 2); }},
        TReadCase{"NoTrailer", Small().Image(2, 1, kTwoPixels).Bytes(), false, "", Frames(1)},
        TReadCase{"NoColourTable", TGIFBuilder().Screen(2, 1, 0).Image(2, 1, kTwoPixels).Trailer().Bytes(), false,
                  "Wrong number of colors; must be a power of 2", Frames(1)},
        TReadCase{"UnknownExtension", Small().Image(2, 1, kTwoPixels).Raw({0x21, 0x33}).Bytes(), false,
                  "Unrecognized extension block: 33", Frames(1)},
        TReadCase{"UnknownLabelFirst", Small().Byte(0x33).Image(2, 1, kTwoPixels).Bytes(), false, "Stream read error",
                  Frames(0)},
        TReadCase{"UnknownLabelAfterAnImage", Small().Image(2, 1, kTwoPixels).Byte(0x33).Image(2, 1, kTwoPixels).Bytes(),
                  false, "", Frames(1)},
        TReadCase{"CodeSizeOne", Small().Image(2, 1, kTwoPixels, 1).Trailer().Bytes(), false, "",
                  [](TGIFsImage& i) { EXPECT_TRUE(i.Frames.at(0)->Corrupt); }},
        TReadCase{"CodeSizeTwelveStrict", Small().Image(2, 1, kTwoPixels, 12).Trailer().Bytes(), true,
                  "GIF code size not in range 2 to 9"},
        TReadCase{"LoopingChain", Small().Image(8, 1, kLoopingChain).Trailer().Bytes(), false, "",
                  CorruptWithPixels({0, 0, 0, 0, 0, 0, 0, 0})},
        TReadCase{"LoopingChainStrict", Small().Image(8, 1, kLoopingChain).Trailer().Bytes(), true,
                  "GIF encoded data is corrupt"},
        TReadCase{"TruncatedData", Truncated(), false, "", CorruptWithPixels({0, 0})},
        TReadCase{"TruncatedDataStrict", Truncated(), true, "Stream read error", Frames(0)},
        TReadCase{"CodesEndBeforeTheLastRow", Small().Image(2, 1, {{4, 3}, {3, 3}}).Trailer().Bytes(), false, "",
                  CorruptWithPixels({3, 0})},
        // Far beyond the picture limit: refused when decoded, nothing allocated.
        TReadCase{"Oversized", Small().Image(2, 1, kTwoPixels).Image(65535, 65535, kTwoPixels).Trailer().Bytes(),
                  false, "Stream read error", Frames(2)}),
    [](const auto& info) { return std::string(info.param.Name); });

// A frame of 64 Mi pixels whose data holds two is refused, tolerant or
// strict, before its pixels are allocated.
TEST(GIFReadLimits, AHugeFrameWithLittleDataIsRefusedBeforeItsPixelsAreAllocated) {
  std::vector<std::uint8_t> bytes = TGIFBuilder().Screen(8192, 8192, 2).Image(8192, 8192, kTwoPixels).Trailer().Bytes();
  for (bool tolerate : {true, false}) {
    TolerateCorruptData = tolerate;
    TGIFsImage image;
    TMemoryStream stream(bytes);
    ReadGIFStream(image, stream.GetSize(), stream, false);
    ASSERT_EQ(image.Frames.size(), 1u);
    test_support::TAllocationWatch watch;
    try {
      image.Frames[0]->GetBitmap();
      ADD_FAILURE() << "decoded";
    } catch (const forms::EInvalidGraphicOperation& e) {
      EXPECT_EQ(e.Message(), "Stream read error");
    }
    EXPECT_LT(watch.Largest(), std::size_t(1) << 20);
  }
  TolerateCorruptData = true;
}

}  // namespace
}  // namespace gif
