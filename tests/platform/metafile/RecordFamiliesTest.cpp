// Metafiles written by libuemf's record writers from a table of drawings,
// one per family of records, each in both kinds, and one drawing in every
// map mode: our picture of each file at 100 % against another program's
// picture of the same file. The other program is the one that draws the
// family as the device context does: Inkscape for most; emf2svg-conv
// (through rsvg-convert) for the map modes of enhanced metafiles, which
// Inkscape leaves out, and for bitmaps blended by their own alpha, which
// Inkscape does not draw. What neither draws as the device context does
// (the raster operations of bitmaps and of pens and brushes, clip regions,
// FillPath without outline, scaling world transforms, the metric map modes
// of Windows metafiles, gradient triangles, constant alpha, key colours,
// masks and parallelograms) is checked against hand-computed pixels in
// PlayerPixelsTest.cpp.
//
// Tolerance: a pixel matches when the other picture has a colour within 40
// per channel in the pixel or one beside it, or a mix of two pixels side by
// side there, or the ink of two such pixels together (edges fall elsewhere
// in the pixel, the other programs map the frame a pixel wider, and they
// smooth at whole coordinates, so that a one-pixel pen that the device
// context draws sharp falls on two half-lit pixels there); the share of
// pixels that may still differ is the family's own (kFamilies): 0.5 % for
// most, 1 % for polygons, rectangles and paths (the device context rounds
// each point to a whole pixel, and takes a Windows metafile's box a pixel
// narrower) and for text (other fonts' hinting and advances), 2.5 % for
// hatches and patterns.
// Hatches and patterns are compared by the mean colour of 8 x 8 blocks (the
// other program tiles them at its own phase and spacing).

#include <gtest/gtest.h>

#include <functional>

#include "base/Streams.h"
#include "platform/canvas/Bitmap.h"
#include "platform/forms/Picture.h"
#include "support/metafile/IndependentRender.h"
#include "support/metafile/MetafileWriter.h"

namespace {

using test_metafile::TBox;
using test_metafile::TMetafileWriter;
using test_metafile::TPt;

constexpr int kWidth = 240, kHeight = 160;
constexpr std::uint32_t kRed = 0x0000FF, kGreen = 0x00A000, kBlue = 0xFF0000, kBlack = 0, kYellow = 0x00FFFF;

void Lines(TMetafileWriter& w) {
  const std::uint32_t thin = w.Pen(0, 1, kBlack), wide = w.Pen(0, 7, kBlue), dashed = w.Pen(1, 1, kRed);
  w.Select(thin);
  w.MoveTo(10, 10), w.LineTo(230, 10);
  w.Select(wide);
  w.Polyline({{20, 40}, {80, 140}, {140, 40}, {200, 140}});
  w.Select(dashed);
  w.MoveTo(10, 25), w.LineTo(230, 25);
}

void Polygons(TMetafileWriter& w) {
  w.Select(w.Pen(0, 1, kBlack));
  w.Select(w.Brush(0, kGreen));
  const std::vector<TPt> star{{60, 10}, {90, 100}, {15, 45}, {105, 45}, {30, 100}};
  w.PolyFillMode(1);
  w.Polygon(star);
  w.PolyFillMode(2);
  std::vector<TPt> moved;
  for (TPt p : star) moved.push_back({p.X + 120, p.Y});
  w.Polygon(moved);
  w.Select(w.Brush(0, kRed));
  w.PolyPolygon({{{20, 110}, {100, 110}, {100, 150}, {20, 150}}, {{40, 120}, {80, 120}, {80, 140}, {40, 140}}});
}

void Beziers(TMetafileWriter& w) {
  w.Select(w.Pen(0, 3, kBlue));
  w.Beziers({{10, 150}, {60, 0}, {180, 0}, {230, 150}, {180, 100}, {60, 100}, {10, 60}});
}

void Rectangles(TMetafileWriter& w) {
  w.Select(w.Pen(0, 3, kBlack));
  w.Select(w.Brush(0, kYellow));
  w.Rectangle({10, 10, 110, 70});
  w.Select(w.Brush(0, kGreen));
  w.RoundRect({130, 10, 230, 70}, 40, 30);
  w.Select(w.Pen(0, 1, kRed));
  w.Select(w.Brush(0, kBlue));
  w.Ellipse({10, 85, 230, 150});
}

void Arcs(TMetafileWriter& w) {
  w.Select(w.Pen(0, 3, kBlack));
  w.Select(w.Brush(0, kGreen));
  w.Arc({10, 10, 80, 80}, {80, 45}, {45, 10});
  w.Chord({90, 10, 160, 80}, {160, 45}, {90, 45});
  w.Pie({170, 10, 230, 80}, {230, 45}, {200, 80});
  w.Pie({20, 90, 220, 150}, {20, 120}, {220, 120});
}

void Brushes(TMetafileWriter& w) {
  w.Select(w.Pen(5, 0, kBlack));  // no outline
  w.BkColor(kYellow);
  for (int hatch = 0; hatch < 6; ++hatch) {
    w.BkMode(hatch % 2 ? 1 : 2);
    w.Select(w.Brush(2, kBlue, hatch));
    w.Rectangle({10 + 38 * hatch, 10, 44 + 38 * hatch, 70});
  }
  std::vector<std::uint32_t> checks(8 * 8);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) checks[std::size_t(y * 8 + x)] = (x / 4 + y / 4) % 2 ? 0xFF0000 : 0xFFFFFF;
  w.Select(w.PatternBrush(8, 8, checks));
  w.Rectangle({10, 85, 230, 150});
}

void Text(TMetafileWriter& w) {
  w.TextColor(kBlue);
  w.BkMode(1);
  // A monospaced font: the advances an enhanced metafile carries are its own.
  w.Select(w.Font(-20, 400, false, 0, "Courier New"));
  w.TextAlign(0);
  w.Text(10, 10, "Metafile");
  w.Select(w.Font(-20, 700, true, 0, "Courier New"));
  w.TextAlign(6 | 24);  // centre, baseline
  w.Text(120, 80, "Centred");
  w.BkMode(2);
  w.BkColor(kYellow);
  w.TextAlign(0);
  w.Select(w.Font(-15, 400, false, 0, "Courier New"));
  w.Text(10, 110, "Opaque");
  w.BkMode(1);
  w.Select(w.Font(-15, 400, false, 900, "Courier New"));
  w.Text(215, 150, "Up");
}

// Copied pixel for pixel: the other program smooths a stretched bitmap.
void Bitmaps(TMetafileWriter& w) {
  std::vector<std::uint32_t> quads(40 * 40);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x)
      quads[std::size_t(y * 40 + x)] = x < 20 ? (y < 20 ? 0xFF0000 : 0x00FF00) : (y < 20 ? 0x0000FF : 0xFFFF00);
  w.StretchDib({10, 10, 50, 50}, 40, 40, quads, 0x00CC0020);  // SRCCOPY
  w.StretchDib({150, 90, 190, 130}, 40, 40, quads, 0x00CC0020);
}

void Clipping(TMetafileWriter& w) {
  w.Select(w.Pen(5, 0, kBlack));
  w.SaveDc();
  w.IntersectClip({20, 20, 120, 140});
  w.ExcludeClip({50, 50, 90, 110});
  w.Select(w.Brush(0, kBlue));
  w.Ellipse({0, 0, 140, 160});
  w.RestoreDc(-1);
  w.Select(w.Brush(0, kRed));
  w.Rectangle({130, 10, 230, 150});
}

void Paths(TMetafileWriter& w) {
  w.Select(w.Pen(0, 3, kBlack));
  w.Select(w.Brush(0, kGreen));
  w.BeginPath();
  w.MoveTo(10, 10), w.LineTo(110, 10), w.LineTo(60, 90);
  w.EndPath();
  w.StrokeAndFillPath();
  w.BeginPath();
  w.Ellipse({130, 10, 230, 90});
  w.EndPath();
  w.StrokeAndFillPath();
  w.BeginPath();
  w.Rectangle({20, 100, 220, 150});
  w.EndPath();
  w.ClipPath(5);
  w.Select(w.Brush(0, kRed));
  w.Ellipse({0, 110, 240, 200});
}

void Transforms(TMetafileWriter& w) {
  w.WorldTransform(0.8660254f, 0.5f, -0.5f, 0.8660254f, 120, 20);  // 30 degrees about (120, 20)
  w.Select(w.Pen(0, 1, kBlack));
  w.Select(w.Brush(0, kBlue));
  w.Rectangle({0, 0, 80, 50});
  w.WorldTransform(0.7071068f, -0.7071068f, 0.7071068f, 0.7071068f, 40, 120);  // 45 degrees the other way
  w.Select(w.Brush(0, kRed));
  w.Polygon({{0, 0}, {60, 0}, {60, 30}, {30, 40}, {0, 30}});
}

void Objects(TMetafileWriter& w) {
  const std::uint32_t red = w.Pen(0, 5, kRed), blue = w.Pen(0, 5, kBlue);
  const std::uint32_t yellow = w.Brush(0, kYellow);
  w.Select(red), w.Select(yellow);
  w.Rectangle({10, 10, 110, 70});
  w.Select(blue);
  w.Delete(red);
  const std::uint32_t green = w.Pen(0, 5, kGreen);  // takes the freed place
  w.Rectangle({130, 10, 230, 70});
  w.Select(green);
  w.Ellipse({10, 90, 230, 150});
}

// Bars of a chart shaded across and down (GradientFill rectangles; the
// triangles, which neither program draws, are in PlayerPixelsTest.cpp).
void Gradients(TMetafileWriter& w) {
  w.Gradient({{10, 10, 0xFF00, 0, 0, 0}, {110, 70, 0, 0, 0xFF00, 0}}, {0, 1}, 0);
  w.Gradient({{130, 10, 0xFF00, 0xFF00, 0, 0}, {230, 70, 0, 0x8000, 0, 0}}, {0, 1}, 1);
  // Two bars in one record, their corners listed from the lower right.
  w.Gradient({{10, 90, 0x4000, 0x8000, 0xFF00, 0}, {60, 150, 0, 0x2000, 0x6000, 0}, {70, 110, 0xFF00, 0x8000, 0, 0},
              {120, 150, 0x8000, 0, 0, 0}},
             {1, 0, 3, 2}, 1);
  w.Gradient({{230, 90, 0, 0xFF00, 0xFF00, 0}, {130, 150, 0xFF00, 0, 0xFF00, 0}}, {0, 1}, 0);
}

// Shadows of chart bars: black whose alpha falls off row by row (AlphaBlend
// of per-pixel alpha at the bitmap's own size), over white and over yellow.
// Only black: emf2svg takes the pixels as not premultiplied, which black
// does not tell apart.
void Shadows(TMetafileWriter& w) {
  w.Select(w.Pen(5, 0, kBlack));
  w.Select(w.Brush(0, kYellow));
  w.Rectangle({0, 80, 240, 160});
  std::vector<std::uint32_t> shade(100 * 50);
  for (int y = 0; y < 50; ++y)
    for (int x = 0; x < 100; ++x) shade[std::size_t(y * 100 + x)] = std::uint32_t(200 - 4 * y) << 24;
  w.AlphaBlend({10, 10, 110, 60}, 100, 50, shade, 255, true);
  w.AlphaBlend({130, 55, 230, 105}, 100, 50, shade, 255, true);
  w.AlphaBlend({30, 100, 130, 150}, 100, 50, shade, 255, true);
}

enum class TReference { Inkscape, Emf2svg };

struct TFamily {
  const char* Name;
  std::function<void(TMetafileWriter&)> Draw;
  bool WindowsToo;     // a Windows metafile has these records too
  double Tolerance;    // share of pixels that may differ
  int Block = 1;       // compared by the mean colours of blocks this wide
  TReference Reference = TReference::Inkscape;
};

const TFamily kFamilies[] = {
    {"lines", Lines, true, 0.005},           {"polygons", Polygons, true, 0.01},       {"beziers", Beziers, false, 0.005},
    {"rectangles", Rectangles, true, 0.01},  {"arcs", Arcs, true, 0.005},              {"brushes", Brushes, true, 0.025, 8},
    {"text", Text, true, 0.01},              {"bitmaps", Bitmaps, true, 0.005},        {"clipping", Clipping, true, 0.005},
    {"paths", Paths, false, 0.01},           {"transforms", Transforms, false, 0.005}, {"objects", Objects, true, 0.005},
    {"gradients", Gradients, false, 0.005},  {"shadows", Shadows, false, 0.005, 1, TReference::Emf2svg},
};

struct TCase {
  const TFamily* Family;
  bool Enhanced;
};

std::vector<TCase> Cases() {
  std::vector<TCase> cases;
  for (const TFamily& f : kFamilies) {
    cases.push_back({&f, true});
    if (f.WindowsToo) cases.push_back({&f, false});
  }
  return cases;
}

std::string CaseName(const TCase& c) { return std::string(c.Family->Name) + (c.Enhanced ? "-emf" : "-wmf"); }

class RecordFamily : public testing::TestWithParam<TCase> {};

// Our picture of the bytes at their own size, and theirs; saved side by side for people to look at.
void CheckAgainstIndependent(const std::vector<std::uint8_t>& bytes, bool enhanced, const std::string& name,
                             double tolerance, int block, TReference reference) {
  forms::TMetafile m;
  TMemoryStream stream(bytes);
  m.LoadFromStream(stream);
  ASSERT_EQ(m.GetWidth(), kWidth);
  ASSERT_EQ(m.GetHeight(), kHeight);
  canvas::TBitmap ours(kWidth, kHeight, canvas::clWhite);
  m.Draw(ours.Canvas(), {0, 0, kWidth, kHeight});
  ours.SaveToPngFile(test_metafile::ReviewPath(name));
  const std::string file = TMetafileWriter::Save(bytes, name + (enhanced ? ".emf" : ".wmf"));
  const auto theirs = reference == TReference::Inkscape ? test_metafile::RenderWithInkscape(file, kWidth, kHeight)
                                                        : test_metafile::RenderWithEmf2svg(file, kWidth, kHeight);
  std::remove(file.c_str());
  if (!theirs) GTEST_SKIP() << "Inkscape, or emf2svg-conv and rsvg-convert, are not installed";
  theirs->SaveToPngFile(test_metafile::ReviewPath(name + "-theirs"));
  canvas::TBitmap marks;
  const test_metafile::TPixelDifference d =
      block > 1 ? test_metafile::Compare(test_metafile::BlockMeans(ours, block), test_metafile::BlockMeans(*theirs, block), 40, 0, &marks)
                : test_metafile::Compare(ours, *theirs, 40, 1, &marks);
  marks.SaveToPngFile(test_metafile::ReviewPath(name + "-differences"));
  EXPECT_GT(d.InkShare, 0.01) << name << " draws something";
  EXPECT_LE(d.DifferentShare, tolerance) << name;
}

TEST_P(RecordFamily, DrawsAsAnotherProgramDrawsIt) {
  const TCase c = GetParam();
  TMetafileWriter w(c.Enhanced, kWidth, kHeight);
  c.Family->Draw(w);
  CheckAgainstIndependent(w.Finish(), c.Enhanced, CaseName(c), c.Family->Tolerance, c.Family->Block, c.Family->Reference);
}

INSTANTIATE_TEST_SUITE_P(Families, RecordFamily, testing::ValuesIn(Cases()),
                         [](const testing::TestParamInfo<TCase>& i) {
                           std::string n = CaseName(i.param);
                           std::replace(n.begin(), n.end(), '-', '_');
                           return n;
                         });

// Every map mode: the same drawing in the mode's own units. Logical units
// per pixel, and whether y grows upwards.
struct TMapModeCase {
  const char* Name;
  int Mode;
  double PerPixel;
  bool YUp;
  bool Enhanced;
};

class MapMode : public testing::TestWithParam<TMapModeCase> {};

TEST_P(MapMode, DrawsAsAnotherProgramDrawsIt) {
  const TMapModeCase c = GetParam();
  TMetafileWriter w(c.Enhanced, kWidth, kHeight);
  w.MapMode(c.Mode);
  if (c.Mode == 7 || c.Mode == 8) {
    w.WindowOrg(0, 0), w.WindowExt(kWidth * 10, kHeight * 10);
    w.ViewportOrg(0, 0), w.ViewportExt(kWidth, kHeight);
  }
  auto x = [&](int px) { return int(px * c.PerPixel); };
  auto y = [&](int px) { return int(px * c.PerPixel) * (c.YUp ? -1 : 1); };
  // One-pixel pens: emf2svg draws the width of wider ones in its own way.
  w.Select(w.Pen(0, 0, kBlack));
  w.Select(w.Brush(0, kYellow));
  w.Rectangle({x(10), y(10), x(120), y(80)});
  w.Select(w.Brush(0, kBlue));
  w.Ellipse({x(130), y(20), x(230), y(150)});
  w.Polyline({{x(10), y(150)}, {x(60), y(100)}, {x(110), y(150)}});
  const std::string name = std::string("mapmode-") + c.Name + (c.Enhanced ? "-emf" : "-wmf");
  CheckAgainstIndependent(w.Finish(), c.Enhanced, name, 0.005, 1, c.Enhanced ? TReference::Emf2svg : TReference::Inkscape);
}

std::vector<TMapModeCase> MapModeCases() {
  const TMapModeCase modes[] = {{"text", 1, 1, false, false},          {"lometric", 2, 254 / 96.0, true, false},
                                {"himetric", 3, 2540 / 96.0, true, false}, {"loenglish", 4, 100 / 96.0, true, false},
                                {"hienglish", 5, 1000 / 96.0, true, false}, {"twips", 6, 15, true, false},
                                {"isotropic", 7, 10, false, false},     {"anisotropic", 8, 10, false, false}};
  std::vector<TMapModeCase> cases;
  for (TMapModeCase m : modes) {
    m.Enhanced = true, cases.push_back(m);
    // A Windows metafile in a metric mode: see PlayerPixelsTest.cpp.
    if (!m.YUp) m.Enhanced = false, cases.push_back(m);
  }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(EveryMode, MapMode, testing::ValuesIn(MapModeCases()),
                         [](const testing::TestParamInfo<TMapModeCase>& i) {
                           return std::string(i.param.Name) + (i.param.Enhanced ? "_emf" : "_wmf");
                         });

}  // namespace
