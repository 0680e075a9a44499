// A builder page with every kind of free object drawn on the real canvas,
// compared with its reviewed reference picture (tests/render/reference/
// page-objects.png) and saved under render-pages/ for people to look at;
// where the fonts differ from the reference's, the shapes are still checked
// where their records put them.

#include <gtest/gtest.h>

#include "media/gif/GIFImage.h"
#include "platform/canvas/Bitmap.h"
#include "player/Window.h"
#include "render/ObjectPage.h"
#include "render/PageImages.h"
#include "render/PicturesBuilder.h"
#include "support/sketch/ReviewImages.h"
#include "platform/canvas/PixelHelpers.h"

#include <filesystem>

namespace {

using canvas::TColor;

// Every object kind: lines with each end, hatched and plain boxes, an arc,
// a pie and a chord, a turned, a formatted and an edited text, a
// transparent picture over a box behind the notation, the embedded
// object's placeholder and two page marks, one turned.
struct TEveryObjectPage {
  TEveryObjectPage() {
    gif::RegisterGIFImage();
    o.Line(10, 20, 80, 20, 0x11, 2);
    o.Line(90, 20, 160, 20, 0x22, 1, 0xFF0000);
    o.Line(170, 20, 240, 20, 0x33, 1, 0x008000);
    o.Line(255, 8, 255, 50, 0x01, 0);
    o.Line(330, 50, 275, 8, 0x13, 2, 0x000080, 1);
    o.Box(ItemKind::Rectangle, 10, 62, 60, 40, 2, 0x0000FF);
    o.Box(ItemKind::Rectangle, 80, 62, 60, 40, 6, 0x008000);
    o.Box(ItemKind::Ellipse, 150, 62, 60, 40, 7, 0xFF0000);
    o.Box(ItemKind::Ellipse, 220, 62, 60, 40, 0, 0x00FFFF, 0, 2);
    o.Box(ItemKind::Rectangle, 290, 62, 60, 40, 1, 0, 2);
    b.View.ObjectPenColor = 0x800080, b.View.ObjectFillColor = 0x80FF80;
    o.Arc(ItemKind::Arc, 10, 115, 60, 50, 70, 140, 40, 115);
    o.Arc(ItemKind::Pie, 90, 115, 60, 50, 150, 140, 120, 115, 4);
    o.Arc(ItemKind::ArcChord, 170, 115, 60, 50, 230, 140, 200, 115, 0);
    o.Text(250, 115, 40, 60, {u"Turned", u"text"}, 10, 1, 90);
    TKVText& formatted = o.Text(10, 180, 120, 30, {u"Formatted runs"});
    formatted.Segments = {{0, 0, 9}, {0, 10, 13}};
    formatted.Runs = {{}};
    formatted.Runs[0].push_back({});
    formatted.Runs[0][0].Size = 12, formatted.Runs[0][0].Style = text::fsBold, formatted.Runs[0][0].Color = 0x0000C0;
    formatted.Runs[0].push_back(formatted.Runs[0][0]);
    formatted.Runs[0][1].Segment = 1, formatted.Runs[0][1].Size = 9, formatted.Runs[0][1].Style = text::fsItalic;
    formatted.Runs[0][1].Left = 8 * 80, formatted.Runs[0][1].Top = 8 * 3, formatted.Runs[0][1].Color = 0xC00000;
    TKVText& edited = o.Text(140, 180, 100, 40, {u"Edited", u"in place"}, 11);
    b.View.EditedText = &o.Record(edited);
    b.View.TextSelStart = {1, 0}, b.View.TextSelEnd = {2, 1};
    o.Text(250, 185, 110, 40, {u"Centred", u"lines of text"}, 10, 1, 0, 0x404040);
    o.Box(ItemKind::Rectangle, 20, 240, 40, 40, 0, 0x00FFFF).Data().setU8(RectangleBlock::Flags, 1);
    o.Picture(10, 250, 48, 36, TKVPicture::gtGIF, test_pictures::Gif(true), 0x20 | 0x40);
    o.Add(ItemKind::OleObject, 80, 240, 60, 40);
    o.Mark(200, 270, "- 1 -", 10);
    o.Mark(340, 230, "2024", 9, 90, 0x800000);
  }
  TPageBuilder b;
  TObjectPage o{b};
};

TEST(ReferenceImage, APageOfEveryObjectKindMatchesItsReviewedPicture) {
  TEveryObjectPage page;
  const canvas::TBitmap image = DrawPageImage(page.b.View, 0);
  image.SaveToPngFile(ReviewImagePath("render-pages", "page-objects"));
  const TReferenceResult result = CompareWithReference(image, "page-objects");
  EXPECT_FALSE(result.Differs) << result.Message;
  if (!result.Compared) std::cout << "[ NOTE ] " << result.Message << "\n";
  page.b.View.EditedText = nullptr;
}

}  // namespace

namespace {

// A page with metafile pictures (type 260) as people see it and as it
// prints: one of the office suite's example pictures when installed, at
// its natural size, and one written by libuemf, stretched; saved under
// render-pages/ to look at.
TEST(ReferenceImage, APageOfMetafilePicturesDrawsThem) {
  TPageBuilder b;
  TObjectPage o{b};
  const std::string real = SONARID_METAFILE_CACHE "/burger.wmf";
  const bool fetched = std::filesystem::exists(real);
  const std::vector<uint8_t> bytes = fetched ? test_support::ReadBytes(real) : test_pictures::Metafile(40, 30);
  o.Picture(20, 20, 300, 260, TKVPicture::gtMetafile, bytes, 0x00);
  o.Picture(260, 30, 100, 60, TKVPicture::gtMetafile, test_pictures::Metafile(40, 30), 0x40);
  for (TKVWindowStyle style : {wsNormal, wsPrint}) {
    b.View.SetStyle(style);
    const canvas::TBitmap image = DrawPageImage(b.View, 0);
    image.SaveToPngFile(ReviewImagePath("render-pages", style == wsPrint ? "metafile-pictures-print" : "metafile-pictures"));
    // Most of each picture's rectangle is ink: the stretched one's 6,000
    // pixels, and the example picture's tens of thousands when fetched.
    EXPECT_GT(canvas::testing::CountInk(image, canvas::clWhite), fetched ? 10000 : 5000) << style;
  }
  b.View.SetStyle(wsNormal);
}

}  // namespace
