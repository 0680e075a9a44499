// Pictures and embedded objects of a page on the real canvas: stored
// pictures of every decoded type with their pixels in place at natural
// size, centred and stretched, transparent where their flags say; pictures
// that do not decode draw nothing; a repaint decodes nothing again.

#include <gtest/gtest.h>

#include "media/gif/GIFImage.h"
#include "platform/canvas/Bitmap.h"
#include "platform/canvas/PixelHelpers.h"
#include "player/Window.h"
#include "render/ObjectPage.h"
#include "render/PicturesBuilder.h"
#include "render/objects/PictureGraphics.h"

namespace {

using canvas::TColor;

class PictureObjects : public ::testing::Test {
protected:
  PictureObjects() { gif::RegisterGIFImage(); }
  // The page drawn on a lime picture.
  canvas::TBitmap Draw(int Zoom = 100) {
    canvas::TBitmap image(200, 120, canvas::clLime);
    render::TKVPageDrawer(b.View, image.Canvas()).DrawPageContent(0, Zoom, Zoom, 0, 0);
    return image;
  }
  TPageBuilder b;
  TObjectPage o{b};
};

bool Reddish(TColor c) { return canvas::GetRValue(c) > 200 && canvas::GetGValue(c) < 60 && canvas::GetBValue(c) < 60; }
bool Bluish(TColor c) { return canvas::GetBValue(c) > 200 && canvas::GetRValue(c) < 60 && canvas::GetGValue(c) < 60; }

// The 8 x 6 picture (red left, blue right) in a 40 x 30 box at (10, 20): at
// its natural size from the corner, centred, or stretched (bit 6 wins over
// bit 7).
TEST_F(PictureObjects, EveryDecodedTypeDrawsItsPixelsInPlace) {
  struct Mode {
    const char* Name;
    uint8_t Flags;
    canvas::TRect Drawn;
  };
  for (const auto& picture : test_pictures::EveryDecodedType()) {
    if (picture.Bytes.empty()) GTEST_SKIP() << "ImageMagick's convert is missing";
    for (const Mode& m : {Mode{"natural", 0x00, {10, 20, 18, 26}}, Mode{"centred", 0x80, {26, 32, 34, 38}},
                          Mode{"stretched", 0x40, {10, 20, 50, 50}}, Mode{"both", 0xC0, {10, 20, 50, 50}}}) {
      TPageBuilder page;
      TObjectPage objects(page);
      objects.Picture(10, 20, 40, 30, picture.Type, picture.Bytes, m.Flags);
      canvas::TBitmap image(200, 120, canvas::clLime);
      render::TKVPageDrawer(page.View, image.Canvas()).DrawPageContent(0, 100, 100, 0, 0);
      SCOPED_TRACE(std::string(picture.Name) + " " + m.Name);
      EXPECT_EQ(canvas::testing::InkBounds(image, canvas::clLime), m.Drawn);
      const canvas::TRect& r = m.Drawn;
      const int midY = (r.Top + r.Bottom) / 2, quarter = r.Width() / 4;
      EXPECT_TRUE(Reddish(image.ColorAt(r.Left + quarter, midY)));
      EXPECT_TRUE(Bluish(image.ColorAt(r.Right - 1 - quarter, midY)));
    }
  }
}

// A transparent picture leaves what lies behind it visible where its
// transparent colour is: a GIF's transparent entry, a bitmap's bottom-left
// colour. Without the flag, or printed (through an opaque copy), it covers.
TEST_F(PictureObjects, TransparencyShowsWhatLiesBehind) {
  const std::vector<uint8_t> bmp = test_pictures::Written("bmp");
  enum TSeen { Red, Blue, Behind, White };
  struct Case {
    uint16_t Type;
    std::vector<uint8_t> Bytes;
    uint8_t Flags;
    TKVWindowStyle Style;
    TSeen Left, Right;
  };
  // Printed, the transparent parts are the copy's white.
  for (const Case& c : std::vector<Case>{{TKVPicture::gtGIF, test_pictures::Gif(true), 0x20, wsNormal, Red, Behind},
                                         {TKVPicture::gtGIF, test_pictures::Gif(true), 0x00, wsNormal, Red, Blue},
                                         {TKVPicture::gtBitmap, bmp, 0x20, wsNormal, Behind, Blue},
                                         {TKVPicture::gtBitmap, bmp, 0x00, wsNormal, Red, Blue},
                                         {TKVPicture::gtBitmap, bmp, 0x20, wsPrint, White, Blue}}) {
    if (c.Bytes.empty()) GTEST_SKIP() << "ImageMagick's convert is missing";
    TPageBuilder page;
    TObjectPage objects(page);
    page.View.SetStyle(c.Style);
    objects.Picture(10, 20, 40, 30, c.Type, c.Bytes, c.Flags | 0x40);
    canvas::TBitmap image(200, 120, canvas::clLime);
    render::TKVPageDrawer(page.View, image.Canvas()).DrawPageContent(0, 100, 100, 0, 0);
    SCOPED_TRACE(std::to_string(c.Type) + " flags " + std::to_string(c.Flags) + " style " + std::to_string(c.Style));
    auto seen = [](TColor C) {
      return C == canvas::clLime ? Behind : C == canvas::clWhite ? White : Reddish(C) ? Red : Bluish(C) ? Blue : White;
    };
    EXPECT_EQ(seen(image.ColorAt(20, 35)), c.Left);
    EXPECT_EQ(seen(image.ColorAt(40, 35)), c.Right);
  }
}

// In print the picture is first copied into a bitmap of its own size, which
// is then stretched: a transparent GIF as much as any.
TEST(PictureRecords, PrintingStretchesACopyOfItsOwnSize) {
  gif::RegisterGIFImage();
  for (TKVWindowStyle style : {wsNormal, wsPrint}) {
    Drawing p(200, style);
    TObjectPage o(p.b);
    o.Picture(10, 20, 40, 30, TKVPicture::gtGIF, test_pictures::Gif(true), 0x20 | 0x80);
    p.canvas.Calls.clear();
    p.d.DrawPageContent(0, 200, 200, 0, 0);
    const Calls drawn = p.Named("StretchDraw");
    ASSERT_EQ(drawn.size(), 1u);
    // Centred at twice the natural size in the box (20, 40, 100, 100).
    EXPECT_EQ(drawn[0]->Args, (std::vector<double>{52, 64, 68, 76, 8, 6})) << style;
  }
}

// A metafile cut short, damaged bytes, a picture larger than any the
// picture classes take and an unknown type draw nothing and raise nothing;
// each is tried once, then remembered as empty.
TEST_F(PictureObjects, WhatDoesNotDecodeDrawsNothing) {
  std::vector<uint8_t> huge = test_pictures::Gif(false);
  for (std::size_t i = 30; i < 34; ++i) huge[i] = 0xFF;  // a 65535 x 65535 frame
  std::vector<uint8_t> bmp(54, 0);
  bmp[0] = 'B', bmp[1] = 'M', bmp[14] = 40, bmp[18] = bmp[19] = bmp[22] = bmp[23] = 0xFF, bmp[26] = 1, bmp[28] = 24;
  const std::vector<std::pair<uint16_t, std::vector<uint8_t>>> pictures = {
      {TKVPicture::gtMetafile, {1, 0, 9, 0, 0, 0, 0, 0}},
      {TKVPicture::gtGIF, {'G', 'I', 'F', '8', '9', 'a', 8, 0}},
      {TKVPicture::gtGIF, huge},
      {TKVPicture::gtBitmap, bmp},
      {TKVPicture::gtJPEG, {0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F'}},
      {TKVPicture::gtIcon, {0, 0, 1, 0, 1, 0, 0xFF}},
      {999, {1, 2, 3}}};
  for (const auto& [type, bytes] : pictures) o.Picture(10, 20, 40, 30, type, bytes, 0x40);
  const int64_t made = render::PictureGraphics().Made();
  EXPECT_NO_THROW(EXPECT_EQ(canvas::testing::CountInk(Draw(), canvas::clLime), 0));
  EXPECT_EQ(render::PictureGraphics().Made() - made, int64_t(pictures.size()));
  EXPECT_NO_THROW(Draw());
  EXPECT_EQ(render::PictureGraphics().Made() - made, int64_t(pictures.size())) << "each tried once";
}

// A metafile whose header claims 32,000 inches by 32,000 (three million
// pixels a side) prints through a copy of the size it is drawn at, not of
// its own.
TEST_F(PictureObjects, PrintingAMetafileOfAnyClaimedSizeTakesOnlyWhatItIsDrawnAt) {
  std::vector<uint8_t> bytes = test_pictures::Metafile();
  bytes[10] = 0x00, bytes[11] = 0x7D, bytes[12] = 0x00, bytes[13] = 0x7D;  // right, bottom 32000
  bytes[14] = 1, bytes[15] = 0;                                             // a unit an inch
  b.View.SetStyle(wsPrint);
  o.Picture(10, 20, 40, 30, TKVPicture::gtMetafile, bytes, 0x40);
  const canvas::TBitmap image = Draw();
  EXPECT_GT(canvas::testing::CountInk(image, canvas::clLime), 0);
}

// The graphic is made once; changed bytes make it again.
TEST_F(PictureObjects, ARepaintDecodesNothingAgain) {
  TKVImage& image = o.Picture(10, 20, 40, 30, TKVPicture::gtGIF, test_pictures::Gif(false), 0x40);
  const int64_t made = render::PictureGraphics().Made();
  const canvas::TBitmap first = Draw();
  EXPECT_EQ(Draw().ColorAt(20, 35), first.ColorAt(20, 35));
  Draw(200);
  EXPECT_EQ(render::PictureGraphics().Made() - made, 1);
  image.Picture().SetGraphic(TKVPicture::gtGIF, test_pictures::Gif(true));
  image.Data().setU8(ImageBlock::Flags, 0x40 | 0x20);
  EXPECT_EQ(Draw().ColorAt(40, 35), canvas::clLime) << "the new picture";
  EXPECT_EQ(render::PictureGraphics().Made() - made, 2);
}

// Without an embedded object's server the container draws its placeholder:
// a grey frame with both diagonals, in the object's box.
TEST_F(PictureObjects, EmbeddedObjectsDrawThemselves) {
  o.Add(ItemKind::OleObject, 10, 20, 40, 30);
  const canvas::TBitmap image = Draw();
  EXPECT_EQ(canvas::testing::InkBounds(image, canvas::clLime), (canvas::TRect{10, 20, 50, 50}));
  for (canvas::TPoint p : {canvas::TPoint{10, 20}, {49, 49}, {30, 20}, {10, 35}, {49, 20}, {10, 49}})
    EXPECT_EQ(image.ColorAt(p.X, p.Y), canvas::clGray) << p.X << "," << p.Y;
  EXPECT_EQ(image.ColorAt(20, 35), canvas::clLime) << "between the diagonals";
}

}  // namespace
