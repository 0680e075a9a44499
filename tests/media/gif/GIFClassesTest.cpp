// The GIF image as a graphic: sharing, assignment, frames from bitmaps, the
// picture registry and the clipboard.

#include <gtest/gtest.h>

#include "platform/forms/Clipboard.h"
#include "platform/forms/Picture.h"
#include "media/gif/GIFImage.h"
#include "support/GIFBuilder.h"
#include "support/ScratchDir.h"

namespace gif {
namespace {

std::vector<std::uint8_t> TwoByOne() {
  return TGIFBuilder().Screen(2, 1, 2).Control(true, 2).Image(2, 1, TGIFBuilder::Literals({1, 2})).Trailer().Bytes();
}

std::string ErrorOf(const std::function<void()>& f) try {
  f();
  return "";
} catch (const Exception& e) {
  return e.Message();
}

TEST(GIFClasses, SharingDecidesEquality) {
  TGIFsImage a, b, copy, fresh;
  TMemoryStream sa(TwoByOne()), sb(TwoByOne());
  a.LoadFromStream(sa);
  b.LoadFromStream(sb);
  copy.Assign(&a);
  EXPECT_FALSE(a.Equals(&b));
  EXPECT_TRUE(a.Equals(&copy));
  EXPECT_EQ(std::tuple(fresh.GetEmpty(), fresh.GetWidth(), fresh.GetHeight()), std::tuple(true, 0, 0));
  EXPECT_EQ(a.GetWidth(), 2);
  EXPECT_EQ(ErrorOf([&] { a.SetWidth(5); }), "Cannot change the Size of a GIF image");
  TMemoryStream out;
  a.SaveToStream(out);
  out.SetPosition(0);
  TGIFsImage back;
  back.LoadFromStream(out);
  EXPECT_EQ(back.GetWidth(), 2);
}

TEST(GIFClasses, FramesFromBitmapsSetTheVersion) {
  forms::TBitmap bitmap;
  bitmap.SetDib(canvas::TDib(3, 2, 24));
  TGIFsImage image;
  image.Assign(&bitmap);
  EXPECT_EQ(image.Frames.size(), 1u);
  EXPECT_EQ(image.Version, 1);
  EXPECT_EQ(image.ScreenWidth, 3);
  image.AddFrame(&bitmap);
  EXPECT_EQ(image.Version, 2);
  EXPECT_EQ(image.CurrentFrame, 1);
}

TEST(GIFClasses, AssignToABitmapCarriesTheTransparentColour) {
  TGIFsImage image;
  TMemoryStream stream(TwoByOne());
  image.LoadFromStream(stream);
  forms::TBitmap bitmap;
  image.AssignTo(&bitmap);
  EXPECT_TRUE(bitmap.GetTransparent());
  EXPECT_EQ(bitmap.TransparentColor, canvas::RGB(2, 4, 6));
  EXPECT_EQ(bitmap.Dib().IndexAt(1, 0), 2u);
  // And back: the bitmap's transparency becomes the new frame's.
  TGIFsImage back;
  back.Assign(&bitmap);
  EXPECT_EQ(back.Frames.at(0)->TransparentColor, canvas::RGB(2, 4, 6));
}

TEST(GIFClasses, PicturesFindTheGifFormat) {
  RegisterGIFImage();
  test_support::TScratchDir dir;
  auto bytes = TwoByOne();
  test_support::WriteBytes(dir.Path("x.GIF"), bytes);
  forms::TPicture picture;
  picture.LoadFromFile(dir.Path("x.GIF"));
  EXPECT_STREQ(picture.Graphic()->ClassName(), "TGIFsImage");
  EXPECT_EQ(picture.Width(), 2);
  EXPECT_EQ(forms::TPicture::Description("gif"), "CompuServe GIF Image");
  TMemoryStream stream(bytes);
  picture.LoadFromFormatCode(257, stream);
  EXPECT_EQ(picture.Height(), 1);
  TMemoryStream none(bytes);
  picture.LoadFromFormatCode(261, none);
  EXPECT_EQ(picture.Graphic(), nullptr);
  EXPECT_EQ(ErrorOf([&] { picture.LoadFromFile(dir.Path("x.gf")); }), "Unknown picture file extension (.gf)");
  EXPECT_NE(ErrorOf([&] { picture.LoadFromFile(dir.Path("missing.gif")); }), "");
}

TEST(GIFClasses, ClipboardBlockLoadsWithoutDecoding) {
  RegisterGIFImage();
  auto bytes = TwoByOne();
  TMemoryStream block;
  block.WriteU32(std::uint32_t(bytes.size()));
  block.WriteBytes(bytes);
  forms::Clipboard().Clear();
  forms::Clipboard().SetAsHandle(GIFClipboardFormat(), block.Bytes());
  forms::TPicture picture;
  picture.LoadFromClipboardFormat(GIFClipboardFormat());
  auto* image = dynamic_cast<TGIFsImage*>(picture.Graphic());
  ASSERT_NE(image, nullptr);
  ASSERT_EQ(image->Frames.size(), 1u);
  EXPECT_FALSE(image->Frames[0]->HasBitmap());
  EXPECT_EQ(image->CurrentFrame, 0);
}

TEST(GIFClasses, DecodingReportsItsProgressStages) {
  TGIFsImage image;
  std::string seen;  // stage, percent and message of each call
  image.OnProgress = [&](TObject*, forms::TProgressStage stage, int percent, const std::string& msg) {
    seen += std::to_string(stage) + ":" + std::to_string(percent) + msg + " ";
  };
  TMemoryStream stream(TwoByOne());
  image.LoadFromStream(stream);
  // Three codes (clear and two pixels), read after the data's only sub-block
  // (bytes 2 to 4 of 5) came in whole.
  EXPECT_EQ(seen, "0:0 1:80 1:80 1:80 2:100 ");
  TolerateCorruptData = false;
  seen.clear();
  TMemoryStream bad(TGIFBuilder().Screen(2, 1, 2).Image(2, 1, TGIFBuilder::Literals({1, 2}), 12).Bytes());
  EXPECT_THROW(image.LoadFromStream(bad), forms::EInvalidGraphicOperation);
  TolerateCorruptData = true;
  EXPECT_EQ(seen, "0:0 2:0GIF code size not in range 2 to 9 ");
  EXPECT_TRUE(image.Frames.empty());  // the frame that failed on load is gone
}

}  // namespace
}  // namespace gif
