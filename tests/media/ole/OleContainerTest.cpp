// The embedded-object container with objects made by gsf: reading and
// writing the score file's object stream, sizing, painting through the real
// canvas, verbs, and the score's embedded-object element on the media
// services.

#include <gtest/gtest.h>

#include "base/Log.h"
#include "media/ole/OleContainer.h"
#include "platform/canvas/Bitmap.h"
#include "media/services/MediaServices.h"
#include "score/model/ItemFactory.h"
#include "score/model/OleObject.h"
#include "score/model/Score.h"
#include "support/OleFiles.h"
#include "support/Raised.h"
#include "support/ScoreFileBuilder.h"
#include "support/forms/FormsTestSupport.h"
#include "support/metafile/IndependentRender.h"
#include "support/metafile/MetafileWriter.h"

namespace {

using test_support::TOleBytes;

// The preview of the object in quarters: red, lime / blue, yellow; a 2 x 2
// pixel bitmap, or a metafile of four rectangles in a window of 96 x 48
// (a Windows metafile without the placeable header, or an enhanced one).
TOleBytes Preview(std::uint32_t format) {
  if (format == ole::CF_DIB)
    return test_support::DibFromImageMagick(
        "-size 2x2 xc:red -fill lime -draw 'point 1,0' -fill blue -draw 'point 0,1' -fill yellow -draw 'point 1,1'");
  const bool enhanced = format == ole::CF_ENHMETAFILE;
  test_metafile::TMetafileWriter w(enhanced, 96, 48, false);
  w.Select(w.Pen(5, 0, 0));
  const std::pair<test_metafile::TBox, std::uint32_t> quarters[] = {
      {{0, 0, 48, 24}, 0x0000FF}, {{48, 0, 96, 24}, 0x00FF00}, {{0, 24, 48, 48}, 0xFF0000}, {{48, 24, 96, 48}, 0x00FFFF}};
  // Without outline, a Windows metafile's rectangle leaves out its right column and bottom row.
  const int past = enhanced ? 0 : 1;
  for (const auto& [box, colour] : quarters) {
    w.Select(w.Brush(0, colour));
    w.Rectangle({box.Left, box.Top, box.Right + past, box.Bottom + past});
  }
  return w.Finish();
}

// An object of 2540 x 1270 HIMETRIC (96 x 48 pixels) with a presentation
// of Format (0: none).
TOleBytes Storage(std::uint32_t format = ole::CF_DIB) {
  std::vector<std::pair<std::string, TOleBytes>> streams{{"\x01" "CompObj", test_support::CompObjStream("Paint Picture")},
                                                         {"Contents", TOleBytes(300, 7)}};
  if (format)
    streams.push_back({"\x02" "OlePres000", test_support::PresentationStream(format, ole::DVASPECT_CONTENT, 2540, 1270, Preview(format))});
  return test_support::GsfCompoundFile(streams);
}

void Load(TOleContainer& c, const TOleBytes& stream) {
  TMemoryStream s(stream);
  c.LoadFromStream(s);
}

TOleBytes Saved(TOleContainer& c) {
  TMemoryStream s;
  c.SaveToStream(s);
  return s.Bytes();
}

TEST(OleContainer, SavesWhatItReadWithOrWithoutACopy) {
  const TOleBytes stream = test_support::BdocStream(ole::DVASPECT_CONTENT, Storage());
  for (bool copy : {true, false}) {
    TOleContainer c(nullptr);
    c.SetCopyOnSave(copy);
    Load(c, stream);
    EXPECT_EQ(Saved(c), stream) << "CopyOnSave " << copy;
  }
  TOleContainer iconic(nullptr);
  Load(iconic, test_support::BdocStream(ole::DVASPECT_ICON, Storage()));
  EXPECT_TRUE(iconic.Iconic());
  EXPECT_EQ(Saved(iconic)[4], ole::DVASPECT_ICON);
}

TEST(OleContainer, SizesItselfToTheObjectOnlyInAutoSize) {
  TOleContainer c(nullptr);
  Load(c, test_support::BdocStream(1, Storage()));
  c.SetBounds(10, 20, 30, 40);
  c.AdjustBounds();
  EXPECT_EQ(c.BoundsRect(), (canvas::TRect{10, 20, 40, 60})) << "smClip leaves the size";
  c.BeginLoading();
  c.SetSizeMode(smAutoSize);
  EXPECT_EQ(c.BoundsRect(), (canvas::TRect{10, 20, 40, 60})) << "nothing while loading";
  c.Loaded();
  c.AdjustBounds();
  EXPECT_EQ(c.BoundsRect(), (canvas::TRect{10, 20, 110, 72})) << "96 x 48 and a border of 2";
  c.SetBorderStyle(forms::bsNone);
  EXPECT_EQ(c.BoundsRect(), (canvas::TRect{10, 20, 106, 68}));
}

TEST(OleContainer, StreamErrors) {
  TOleContainer c(nullptr);
  EXPECT_EQ(RaisedBy([&] { c.RunVerb(ovPrimary); }), "Operation not allowed on an empty OLE container");
  EXPECT_EQ(RaisedBy([&] { Saved(c); }), "Operation not allowed on an empty OLE container");
  TOleBytes stream = test_support::BdocStream(1, Storage());
  EXPECT_EQ(RaisedBy([&] { Load(c, TOleBytes(stream.begin(), stream.begin() + 5)); }), "Stream read error");
  EXPECT_EQ(RaisedBy([&] { Load(c, TOleBytes(stream.begin(), stream.end() - 1)); }), "Invalid stream format") << "size beyond the stream";
  TOleBytes unsigned_ = stream;
  unsigned_[0] = 'X';
  EXPECT_EQ(RaisedBy([&] { Load(c, unsigned_); }), "Invalid stream format");
  EXPECT_FALSE(c.HasObject());
  // The old format: any first 8 bytes, the aspect taken as content, the bounds written in their place.
  c.SetOldStreamFormat(true);
  Load(c, unsigned_);
  EXPECT_FALSE(c.Iconic());
  c.SetBounds(1, 2, 30, 40);
  TOleBytes old = Saved(c);
  EXPECT_EQ(TOleBytes(old.begin(), old.begin() + 8), (TOleBytes{1, 0, 2, 0, 31, 0, 42, 0}));
  EXPECT_TRUE(std::equal(old.begin() + 8, old.end(), stream.begin() + 8, stream.end()));
}

TEST(OleContainer, VerbsFailForWantOfAServer) {
  TOleContainer c(nullptr);
  Load(c, test_support::BdocStream(1, Storage()));
  EXPECT_TRUE(c.ObjectVerbs().empty());
  EXPECT_EQ(RaisedBy([&] { c.RunVerb(ovPrimary); }), "OLE error 80040154");
  EXPECT_EQ(RaisedBy([&] { c.RunVerb(1); }), "Invalid object verb");
  EXPECT_EQ(RaisedBy([&] { c.RunVerb(ovShow); }), "OLE error 80040154");
  int changes = 0;
  c.OnChanged = [&](TObject*) { ++changes; };
  c.UpdateObject();
  EXPECT_EQ(changes, 1);
}

struct TModeCase {
  const char* Name;
  TSizeMode Mode;
  canvas::TRect Expected;  // where the preview lands in a 200 x 100 container
  std::uint32_t Format = ole::CF_DIB;
};

void PrintTo(const TModeCase& c, std::ostream* os) { *os << c.Name; }

class OlePainting : public forms::test::FormsTest, public ::testing::WithParamInterface<TModeCase> {};

// The area inside the border is (2, 2) - (198, 98), 196 x 96; the object is
// 96 x 48: clipped at the corner, centred, scaled to 192 x 96, stretched;
// its preview a bitmap or either kind of metafile.
TEST_P(OlePainting, PreviewFillsTheRectangleOfItsSizeMode) {
  forms::TForm* form = MakeForm();
  auto* c = forms::test::AddControl<TOleContainer>(form, 10, 10, 200, 100);
  c->SetColor(canvas::clWhite);
  Load(*c, test_support::BdocStream(1, Storage(GetParam().Format)));
  c->SetSizeMode(GetParam().Mode);
  const canvas::TRect r = GetParam().Expected;
  const auto shot = Snapshot();
  auto at = [&](int x, int y) { return PixelIn(shot, c, {x, y}); };
  using canvas::PixelOf;
  EXPECT_EQ(at(r.Left, r.Top), PixelOf(canvas::clRed));
  EXPECT_EQ(at(r.Right - 1, r.Top), PixelOf(canvas::clLime));
  EXPECT_EQ(at(r.Left, r.Bottom - 1), PixelOf(canvas::clBlue));
  EXPECT_EQ(at(r.Right - 1, r.Bottom - 1), PixelOf(canvas::clYellow));
  if (r.Left > 2) {
    EXPECT_EQ(at(r.Left - 1, r.Top), PixelOf(canvas::clWhite));
  }
  if (r.Bottom < 98) {
    EXPECT_EQ(at(r.Left, r.Bottom), PixelOf(canvas::clWhite));
  }
  EXPECT_NE(at(0, 0), PixelOf(canvas::clWhite)) << "the sunken edge";
  canvas::TBitmap image(200, 100);
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 200; ++x) image.Pixels()[std::size_t(y * 200 + x)] = at(x, y);
  image.SaveToPngFile(test_metafile::ReviewPath(std::string("ole-") + GetParam().Name));
}

std::vector<TModeCase> ModeCases() {
  const TModeCase modes[] = {{"Clip", smClip, {2, 2, 98, 50}},
                             {"Center", smCenter, {52, 26, 148, 74}},
                             {"Scale", smScale, {4, 2, 196, 98}},
                             {"Stretch", smStretch, {2, 2, 198, 98}}};
  const std::pair<const char*, std::uint32_t> formats[] = {
      {"Bitmap", ole::CF_DIB}, {"Metafile", ole::CF_METAFILEPICT}, {"EnhancedMetafile", ole::CF_ENHMETAFILE}};
  std::vector<TModeCase> cases;
  static std::vector<std::string> names;  // the cases' names live as long as the cases
  names.reserve(12);
  for (const auto& [formatName, format] : formats)
    for (TModeCase m : modes) {
      names.push_back(std::string(formatName) + m.Name);
      m.Name = names.back().c_str(), m.Format = format;
      cases.push_back(m);
    }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Modes, OlePainting, ::testing::ValuesIn(ModeCases()),
                         [](const auto& info) { return std::string(info.param.Name); });

using OlePlaceholder = forms::test::FormsTest;

TEST_F(OlePlaceholder, ObjectWithoutPreviewShowsAFrameAndItsTypeName) {
  forms::TForm* form = MakeForm();
  auto* c = forms::test::AddControl<TOleContainer>(form, 10, 10, 200, 100);
  c->SetColor(canvas::clWhite);
  Load(*c, test_support::BdocStream(1, Storage(0)));
  c->SetSizeMode(smStretch);
  const auto shot = Snapshot();
  EXPECT_EQ(PixelIn(shot, c, {2, 2}), canvas::PixelOf(canvas::clGray));
  EXPECT_EQ(PixelIn(shot, c, {197, 97}), canvas::PixelOf(canvas::clGray));
  // The name, about 70 pixels wide, centred: ink in the middle, none near the frame.
  int ink = 0, nearFrame = 0;
  for (int y = 3; y < 97; ++y)
    for (int x = 3; x < 197; ++x)
      if (PixelIn(shot, c, {x, y}) != canvas::PixelOf(canvas::clWhite)) (x > 50 && x < 150 ? ink : nearFrame)++;
  EXPECT_GT(ink, 50);
  EXPECT_EQ(nearFrame, 0);
}

TEST_F(OlePlaceholder, EnterAndDoubleClickTryTheVerbAndLogItsFailure) {
  std::vector<std::string> lines;
  SetLogHook([&](const std::string& line) { lines.push_back(line); });
  forms::TForm* form = MakeForm();
  auto* c = forms::test::AddControl<TOleContainer>(form, 10, 10, 100, 100);
  Load(*c, test_support::BdocStream(1, Storage()));
  c->SetFocus();
  Key(window::VK_RETURN);
  c->SetAutoActivate(aaManual);
  Key(window::VK_RETURN);
  SetLogHook(nullptr);
  EXPECT_EQ(lines, std::vector<std::string>{"Embedded object not opened: OLE error 80040154"});
}

TEST(NullMediaServices, EmbeddedObjectIsAGreyFrameWithDiagonals) {
  auto holder = TKVNullMediaServices().CreateOleContainer();
  canvas::TBitmap target(12, 8, canvas::clWhite);
  holder->Draw(target.Canvas(), {1, 1, 11, 7});
  for (auto [x, y] : {std::pair{1, 1}, {10, 1}, {1, 6}, {10, 6}, {5, 1}, {1, 4}}) EXPECT_EQ(target.ColorAt(x, y), canvas::clGray) << x << "," << y;
  EXPECT_EQ(target.ColorAt(0, 0), canvas::clWhite);
  EXPECT_EQ(target.ColorAt(5, 2), canvas::clWhite);
  int grey = 0;
  for (int y = 2; y < 6; ++y)
    for (int x = 2; x < 10; ++x) grey += target.ColorAt(x, y) == canvas::clGray;
  EXPECT_GE(grey, 8) << "both diagonals cross the inside";
}

// The score's embedded-object element (kind 161) with the media services:
// a good object, one whose size lies, and the copy of the first.
TEST(EmbeddedObjectElement, LoadsThroughTheMediaServices) {
  InstallMediaServices();
  const TOleBytes good = test_support::BdocStream(1, Storage());
  TOleBytes lying = good;
  lying[8] = 0xFF, lying[9] = 0xFF, lying[10] = 0xFF;
  TScoreFile file;
  for (const TOleBytes* object : std::initializer_list<const TOleBytes*>{&lying, &good})
    file.ScoreItems.push_back(Written([&](TScoreFileWriter& w) { w.BeginItem(161, 2, TBlockBytes(16)).Raw(*object).End(); }));
  TKVScore score;
  TMemoryStream stream(file.Bytes());
  score.LoadFromStream(stream);
  TKVItem* copy = CreateItemByKind(161, &score);
  SetMediaServices(nullptr);
  ASSERT_EQ(score.GetItemCount(), 3);
  auto container = [&](int i) { return dynamic_cast<TOleContainer*>(&static_cast<TKVOleObject*>(score.GetItem(i))->Container()); };
  ASSERT_NE(container(1), nullptr);
  EXPECT_FALSE(container(0)->HasObject()) << "the lying record fails alone";
  EXPECT_EQ(Saved(*container(1)), good);
  EXPECT_EQ(container(1)->SizeMode(), smAutoSize);
  copy->Assign(*score.GetItem(1));
  EXPECT_EQ(Saved(*container(2)), good);
}

}  // namespace
