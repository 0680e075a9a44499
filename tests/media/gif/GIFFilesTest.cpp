// GIF files made by ImageMagick, read frame by frame and compared with
// ImageMagick's own reading of the same frames; and frames drawn through the
// Cairo canvas.

#include <gtest/gtest.h>

#include "media/gif/GIFImage.h"
#include "support/GIFBuilder.h"
#include "support/ImageMagick.h"
#include "support/ScratchDir.h"

namespace gif {
namespace {

using test_support::CommandOutput;

struct TFileCase {
  const char* Name;
  const char* Arguments;  // convert's, before the output file
  int Frames;
  const char* Comment;    // of frame 0, "" for none
};

void PrintTo(const TFileCase& c, std::ostream* os) { *os << c.Name; }

class GIFFiles : public ::testing::TestWithParam<TFileCase> {};

TEST_P(GIFFiles, FramesEqualImageMagicksReading) {
  const TFileCase& c = GetParam();
  test_support::TScratchDir dir;
  std::string file = dir.Path(std::string(c.Name) + ".gif");
  bool ok = false;
  CommandOutput(std::string("convert ") + c.Arguments + " '" + file + "' 2>&1", &ok);
  ASSERT_TRUE(ok);
  TGIFsImage image;
  image.LoadFromFile(file);
  ASSERT_EQ(int(image.Frames.size()), c.Frames);
  EXPECT_EQ(std::to_string(c.Frames), CommandOutput("identify -format '%n\\n' '" + file + "' | head -1").substr(0, 1));
  // ImageMagick counts plays (none shown without a loop block); the block holds the repeats after the first.
  std::string plays = CommandOutput("identify -verbose '" + file + "' | sed -n 's/^ *Iterations: //p' | head -1");
  EXPECT_EQ(std::stoi("0" + plays), image.Looping && image.LoopCount ? image.LoopCount + 1 : 0);
  EXPECT_EQ(*c.Comment ? image.Frames[0]->Comments().Strings(0) : "", c.Comment);
  for (int i = 0; i < c.Frames; ++i) {
    TGIFsFrame& frame = *image.Frames[std::size_t(i)];
    canvas::TBitmap ours = frame.GetBitmap().Dib().ToBitmap(frame.TransparentIndex);
    std::vector<std::uint8_t> theirs = test_support::RgbaDump(file + "[" + std::to_string(i) + "]");
    ASSERT_EQ(theirs.size(), std::size_t(ours.Width() * ours.Height() * 4)) << "frame " << i;
    EXPECT_FALSE(frame.Corrupt);
    for (int y = 0, n = 0; y < ours.Height(); ++y)
      for (int x = 0; x < ours.Width(); ++x, n += 4) {
        const std::uint8_t* p = &theirs[std::size_t(n)];
        bool clear = (ours.Pixel(x, y) >> 24) == 0;
        ASSERT_TRUE(clear == (p[3] == 0) && (clear || ours.ColorAt(x, y) == canvas::RGB(p[0], p[1], p[2])))
            << "frame " << i << " at " << x << "," << y;
      }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Gif, GIFFiles,
    ::testing::Values(
        TFileCase{"Monochrome", "-size 19x9 pattern:checkerboard -monochrome", 1, ""},
        TFileCase{"Colours2", "-size 16x16 gradient:yellow-navy -colors 2", 1, ""},
        TFileCase{"Colours5", "-size 16x16 gradient:yellow-navy -colors 5", 1, ""},
        TFileCase{"Colours16", "-size 23x10 gradient:red-blue -colors 16", 1, ""},
        TFileCase{"Colours100", "-size 31x40 gradient:yellow-navy -colors 100", 1, ""},
        TFileCase{"Colours256", "-size 7x256 gradient:red-blue", 1, ""},
        TFileCase{"Interlaced", "-size 13x37 gradient:lime-navy -colors 64 -interlace GIF", 1, ""},
        TFileCase{"Transparent", "-size 9x8 xc:red -fill blue -draw 'rectangle 2,2,5,5' -transparent red", 1, ""},
        TFileCase{"ThreeFramesLoopForever", "-size 6x5 xc:red xc:lime xc:blue -loop 0", 3, ""},
        TFileCase{"ThreeFramesLoopFive", "-size 6x5 xc:red xc:lime gradient:white-black -loop 5", 3, ""},
        TFileCase{"Comments", "-comment 'first words' -size 4x3 xc:red xc:blue", 2, "first words"}),
    [](const auto& info) { return std::string(info.param.Name); });

// A 2 x 2 frame: pixels 0 1 / 2 3, entry 1 transparent, entry 3 of the same
// colour as entry 1.
void ReadTransparentFrame(TGIFsImage& image) {
  TMemoryStream stream(TGIFBuilder().Screen(2, 2, 2).Control(true, 1).Image(2, 2, TGIFBuilder::Literals({0, 1, 2, 3})).Bytes());
  ReadGIFStream(image, stream.GetSize(), stream, false);
  auto& table = image.Frames.at(0)->Data->ColorTable;
  std::copy(table.Colors[1], table.Colors[1] + 3, table.Colors[3]);
}

TEST(GIFDrawing, TransparentEntryKeepsTheBackgroundOnlyWhereItIs) {
  TGIFsImage image;
  ReadTransparentFrame(image);
  const canvas::TColor back = canvas::clYellow, one = canvas::RGB(1, 2, 3), two = canvas::RGB(2, 4, 6);
  canvas::TBitmap target(6, 6, back);
  image.Draw(target.Canvas(), {0, 0, 4, 4});  // stretched twice, nearest neighbour
  struct { int X, Y; canvas::TColor Color; } expected[] = {
      {0, 0, canvas::RGB(0, 0, 0)}, {1, 1, canvas::RGB(0, 0, 0)}, {2, 0, back}, {3, 1, back},
      {0, 2, two}, {1, 3, two}, {2, 2, one}, {3, 3, one}, {4, 4, back}};
  for (auto e : expected) EXPECT_EQ(target.ColorAt(e.X, e.Y), e.Color) << e.X << "," << e.Y;
  image.SetTransparent(false);
  image.Draw(target.Canvas(), {0, 0, 4, 4});
  EXPECT_EQ(target.ColorAt(2, 0), one);
  EXPECT_EQ(target.ColorAt(3, 1), one);
}

}  // namespace
}  // namespace gif
