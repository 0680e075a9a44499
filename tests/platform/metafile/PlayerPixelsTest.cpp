// What the other programs do not draw as the device context does, checked
// against pixels worked out by hand: raster operations of bitmaps, clip
// regions, paths filled without outline and stroked without fill, pies over
// half a turn, scaling world transforms, metric map modes of Windows
// metafiles, saved states, spacing arrays, hatches over what lies behind,
// gradients, blended, keyed, masked and slanted bitmaps, the raster
// operations of pens and brushes, and one-pixel pens and the outlines of
// figures at 100 % and scaled.
// Each drawing is 100 x 100 pixels, drawn at its own size on white.

#include <gtest/gtest.h>

#include <functional>

#include "base/Streams.h"
#include "platform/canvas/Bitmap.h"
#include "platform/canvas/RecordingCanvas.h"
#include "platform/forms/Picture.h"
#include "support/metafile/IndependentRender.h"
#include "support/metafile/MetafileWriter.h"

namespace {

using test_metafile::TBox;
using test_metafile::TMetafileWriter;

constexpr std::uint32_t kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000, kGrey = 0x808080, kYellow = 0x00FFFF;

struct TProbe {
  int X, Y;
  canvas::TColor Expected;
};

struct TPixelCase {
  const char* Name;
  bool Enhanced;
  std::function<void(TMetafileWriter&)> Draw;
  std::vector<TProbe> Probes;
};

void PrintTo(const TPixelCase& c, std::ostream* os) { *os << c.Name; }

// A background rectangle of Colour over the whole picture, without outline.
void Ground(TMetafileWriter& w, std::uint32_t colour) {
  w.Select(w.Pen(5, 0, 0));
  w.Select(w.Brush(0, colour));
  w.Rectangle({0, 0, 100, 100});
}

// A bitmap of one Colour pixel stretched over (20, 20) - (60, 60) by Rop, on grey.
std::function<void(TMetafileWriter&)> Blit(std::uint32_t colour, std::uint32_t rop) {
  return [=](TMetafileWriter& w) {
    Ground(w, kGrey);
    const std::uint32_t rgb = (colour & 0xFF) << 16 | (colour & 0xFF00) | colour >> 16;
    w.StretchDib({20, 20, 60, 60}, 1, 1, {rgb}, rop);
  };
}

void Region(TMetafileWriter& w) {
  w.ClipRegion({{10, 10, 40, 40}, {60, 60, 90, 90}}, 5);
  Ground(w, kRed);
}

void Path(TMetafileWriter& w, bool fill) {
  w.Select(w.Pen(0, 6, 0));
  w.Select(w.Brush(0, kGreen));
  w.BeginPath();
  w.Rectangle({20, 20, 80, 80});
  w.EndPath();
  fill ? w.FillPath() : w.StrokePath();
}

void WidePie(TMetafileWriter& w) {
  w.Select(w.Pen(5, 0, 0));
  w.Select(w.Brush(0, kBlue));
  w.Pie({10, 10, 90, 90}, {90, 50}, {50, 90});  // from east round by north and west to south
}

void ScaledWorld(TMetafileWriter& w) {
  w.WorldTransformScale(2, 0.5f);
  w.Select(w.Pen(5, 0, 0));
  w.Select(w.Brush(0, kBlue));
  w.Rectangle({10, 40, 40, 120});  // (20, 20) - (80, 60) on the device
}

// 0.1 mm a unit, y upwards: 132 units are 132 / 254 inch, 49.9 pixels at 96 per inch.
void Lometric(TMetafileWriter& w) {
  w.MapMode(2);
  w.Select(w.Pen(5, 0, 0));
  w.Select(w.Brush(0, kBlue));
  w.Rectangle({0, 0, 132, -132});
}

void SavedState(TMetafileWriter& w) {
  w.Select(w.Pen(5, 0, 0));
  w.Select(w.Brush(0, kRed));
  w.SaveDc();
  w.Select(w.Brush(0, kBlue));
  w.IntersectClip({0, 0, 10, 10});
  w.RestoreDc(-1);
  w.Rectangle({20, 20, 80, 80});  // red and unclipped again
}

void Hatch(TMetafileWriter& w) {
  Ground(w, kYellow);
  w.BkMode(1);  // transparent: the yellow shows between the lines
  w.Select(w.Brush(2, kBlue, 0));
  w.Rectangle({0, 0, 100, 100});
}

// Gradients: a rectangle's colour runs over its width (or height), a
// triangle's mixes its corners' by where the pixel's upper-left corner
// lies; 16-bit channels, the top byte kept; right and bottom edges left out.
void GradientAcross(TMetafileWriter& w) {
  // The corners listed right to left: the colours follow the corners.
  w.Gradient({{90, 10, 0, 0, 0, 0}, {10, 90, 0xFF00, 0, 0, 0}}, {1, 0}, 0);
}

void GradientDown(TMetafileWriter& w) { w.Gradient({{10, 10, 0, 0, 0xFF00, 0}, {90, 90, 0, 0xFF00, 0, 0}}, {0, 1}, 1); }

void GradientTriangle(TMetafileWriter& w) {
  w.Gradient({{0, 0, 0xFF00, 0, 0, 0}, {100, 0, 0, 0xFF00, 0, 0}, {0, 100, 0, 0, 0xFF00, 0}}, {0, 1, 2}, 2);
}

// AlphaBlend over blue: an opaque red pixel at constant alpha 128; half
// red (premultiplied 0x80) and a clear pixel by their own alpha; opaque
// green by its own alpha and a constant 64 over red.
std::function<void(TMetafileWriter&)> Blend(std::vector<std::uint32_t> argb, int constant, bool perPixel,
                                            std::uint32_t ground = kBlue) {
  return [=](TMetafileWriter& w) {
    Ground(w, ground);
    w.AlphaBlend({20, 20, 80, 60}, int(argb.size()), 1, argb, constant, perPixel);
  };
}

// TransparentBlt of magenta and green squares without the magenta, over blue.
void KeyColour(TMetafileWriter& w) {
  Ground(w, kBlue);
  const std::uint32_t m = 0xFF00FF, g = 0x00FF00;
  w.TransparentBlt({20, 20, 80, 80}, 2, 2, {m, g, g, m}, 0xFF00FF);
}

// MaskBlt over grey: red and green halves copied where the mask's top half
// is white, the ground inverted where its bottom half is black.
void Masked(TMetafileWriter& w) {
  Ground(w, kGrey);
  std::vector<std::uint32_t> halves(40 * 40), mask(40 * 40);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x)
      halves[std::size_t(y * 40 + x)] = x < 20 ? 0xFF0000 : 0x00FF00, mask[std::size_t(y * 40 + x)] = y < 20 ? 0xFFFFFF : 0;
  w.MaskBlt({20, 20, 60, 60}, 40, 40, halves, mask, 0x55CC0020);  // foreground SRCCOPY, background DSTINVERT
}

// PlgBlt of red, green, blue and yellow quarters onto a diamond; the
// quarter at the centre of each side of the diamond.
std::function<void(TMetafileWriter&)> Diamond(bool masked) {
  return [=](TMetafileWriter& w) {
    const std::vector<std::uint32_t> quarters{0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00};
    w.PlgBlt({{50, 10}, {90, 50}, {10, 50}}, 2, 2, quarters,
             masked ? std::vector<std::uint32_t>{0xFFFFFF, 0, 0, 0xFFFFFF} : std::vector<std::uint32_t>{});
  };
}

// A bar chart as office programs write one: a shaded ground, bars shaded
// across, their shadows blended in by a black pixel of alpha 0x60, a
// gradient triangle for a marker, and axes.
void Chart(TMetafileWriter& w) {
  w.Gradient({{0, 0, 0xD000, 0xD000, 0xD000, 0}, {100, 100, 0xFF00, 0xFF00, 0xFF00, 0}}, {0, 1}, 1);
  const int tops[] = {40, 20, 55};
  for (int bar = 0; bar < 3; ++bar) {
    const int left = 20 + 25 * bar;
    w.AlphaBlend({left + 3, tops[bar] + 3, left + 18, 90}, 1, 1, {0x60000000}, 255, true);
    w.Gradient({{left, tops[bar], 0x4000, 0x8000, 0xFF00, 0}, {left + 15, 90, 0, 0x2000, 0x6000, 0}}, {0, 1}, 0);
  }
  w.Gradient({{5, 5, 0xFF00, 0, 0, 0}, {15, 5, 0xFF00, 0xFF00, 0, 0}, {10, 14, 0, 0x8000, 0, 0}}, {0, 1, 2}, 2);
  w.Select(w.Pen(0, 1, 0));
  w.Polyline({{10, 20}, {10, 90}, {95, 90}});
}

const canvas::TColor kWhite = canvas::clWhite;
const canvas::TColor kCanvasRed = canvas::RGB(255, 0, 0), kCanvasBlue = canvas::RGB(0, 0, 255);

const TPixelCase kCases[] = {
    {"SrcAnd", true, Blit(kRed, canvas::cmSrcAnd), {{40, 40, canvas::RGB(128, 0, 0)}, {10, 10, canvas::RGB(128, 128, 128)}}},
    {"SrcPaint", false, Blit(kRed, canvas::cmSrcPaint), {{40, 40, canvas::RGB(255, 128, 128)}}},
    {"SrcInvert", true, Blit(kGrey, canvas::cmSrcInvert), {{40, 40, canvas::RGB(0, 0, 0)}}},
    {"NotSrcCopy", false, Blit(kRed, canvas::cmNotSrcCopy), {{40, 40, canvas::RGB(0, 255, 255)}}},
    {"ClipRegion", true, Region, {{20, 20, kCanvasRed}, {50, 50, kWhite}, {80, 80, kCanvasRed}, {80, 20, kWhite}}},
    {"FillPathHasNoOutline", true, [](TMetafileWriter& w) { Path(w, true); }, {{21, 50, canvas::RGB(0, 255, 0)}}},
    {"StrokePathHasNoFill", true, [](TMetafileWriter& w) { Path(w, false); }, {{50, 50, kWhite}, {20, 50, 0}}},
    {"PieOverHalfATurn", false, WidePie, {{30, 30, kCanvasBlue}, {30, 70, kCanvasBlue}, {70, 70, kWhite}}},
    {"ScalingWorldTransform", true, ScaledWorld, {{70, 30, kCanvasBlue}, {25, 55, kCanvasBlue}, {30, 70, kWhite}, {90, 30, kWhite}}},
    {"LometricWindowsMetafile", false, Lometric, {{45, 45, kCanvasBlue}, {55, 55, kWhite}}},
    {"LometricEnhanced", true, Lometric, {{45, 45, kCanvasBlue}, {55, 55, kWhite}}},
    {"RestoreDcBringsBackBrushAndClip", false, SavedState, {{50, 50, kCanvasRed}}},
    {"HatchOverWhatLiesBehind", true, Hatch, {{3, 4, canvas::RGB(255, 255, 0)}, {3, 0, kCanvasBlue}, {3, 8, kCanvasBlue}}},
    // 0xFF00 * 40 / 80 = 0x7F80; 0xFF00 / 80 = 816.
    {"GradientAcross", true, GradientAcross,
     {{10, 50, kCanvasRed}, {50, 50, canvas::RGB(127, 0, 0)}, {89, 89, canvas::RGB(3, 0, 0)}, {90, 50, kWhite}, {50, 90, kWhite}}},
    {"GradientDown", true, GradientDown,
     {{50, 10, kCanvasBlue}, {50, 50, canvas::RGB(0, 127, 127)}, {50, 89, canvas::RGB(0, 251, 3)}, {50, 90, kWhite}}},
    // At (20, 30) the corners weigh 50, 20 and 30 %; at (99, 0) 1 % and 99 %.
    {"GradientTriangle", true, GradientTriangle,
     {{20, 30, canvas::RGB(127, 51, 76)}, {99, 0, canvas::RGB(2, 252, 0)}, {49, 50, canvas::RGB(2, 124, 127)},
      {50, 50, kWhite}, {0, 100 - 1, canvas::RGB(2, 0, 252)}}},
    // 255 * 128 / 255 over 255 * 127 / 255.
    {"AlphaBlendConstant", true, Blend({0xFFFF0000}, 128, false), {{40, 40, canvas::RGB(128, 0, 127)}, {10, 10, kCanvasBlue}}},
    {"AlphaBlendPerPixel", true, Blend({0x80800000, 0x00000000}, 255, true),
     {{30, 40, canvas::RGB(128, 0, 127)}, {70, 40, kCanvasBlue}}},
    {"AlphaBlendBoth", true, Blend({0xFF00FF00}, 64, true, kRed), {{40, 40, canvas::RGB(191, 64, 0)}}},
    {"TransparentBltKeyColour", true, KeyColour,
     {{30, 30, kCanvasBlue}, {70, 30, canvas::RGB(0, 255, 0)}, {30, 70, canvas::RGB(0, 255, 0)}, {70, 70, kCanvasBlue}}},
    {"MaskBltByTheMask", true, Masked,
     {{30, 30, kCanvasRed}, {50, 30, canvas::RGB(0, 255, 0)}, {30, 50, canvas::RGB(127, 127, 127)}, {70, 70, canvas::RGB(128, 128, 128)}}},
    // The bar at x = 22: 13 / 15 of 40 80 FF and 2 / 15 of 00 20 60; the
    // ground at y = 60, (D0 * 40 + FF * 60) / 100 = EC, under the shadow
    // EC * (FF - 60) / FF = 93; the marker at (6, 6): its corners weigh 76,
    // 4 and 10 of 90.
    {"Chart", true, Chart,
     {{22, 60, canvas::RGB(55, 115, 233)}, {36, 60, canvas::RGB(147, 147, 147)}, {5, 60, canvas::RGB(236, 236, 236)},
      {6, 6, canvas::RGB(226, 25, 0)}}},
    {"PlgBltOntoADiamond", true, Diamond(false),
     {{50, 30, kCanvasRed}, {70, 50, canvas::RGB(0, 255, 0)}, {30, 50, kCanvasBlue}, {50, 70, canvas::RGB(255, 255, 0)}, {15, 15, kWhite}}},
    {"PlgBltThroughAMask", true, Diamond(true),
     {{50, 30, kCanvasRed}, {70, 50, kWhite}, {30, 50, kWhite}, {50, 70, canvas::RGB(255, 255, 0)}}},
};

// SetROP2: a brush (and, on the right, a wide pen) of colour P over a
// ground of colour D, combined bit by bit; D = C0 50 0F, P = AA 0F F0.
struct TMixCase {
  const char* Name;
  int Mode;
  canvas::TColor Expected;
};

const TMixCase kMixes[] = {
    {"Black", 1, canvas::RGB(0, 0, 0)},           {"MaskPenNot", 5, canvas::RGB(0x2A, 0x0F, 0xF0)},
    {"Not", 6, canvas::RGB(0x3F, 0xAF, 0xF0)},     {"XorPen", 7, canvas::RGB(0x6A, 0x5F, 0xFF)},
    {"MaskPen", 9, canvas::RGB(0x80, 0x00, 0x00)}, {"NotXorPen", 10, canvas::RGB(0x95, 0xA0, 0x00)},
    {"Nop", 11, canvas::RGB(0xC0, 0x50, 0x0F)},    {"MergeNotPen", 12, canvas::RGB(0xD5, 0xF0, 0x0F)},
    {"MergePen", 15, canvas::RGB(0xEA, 0x5F, 0xFF)}, {"White", 16, canvas::RGB(0xFF, 0xFF, 0xFF)},
};

std::vector<TPixelCase> Cases() {
  std::vector<TPixelCase> cases(std::begin(kCases), std::end(kCases));
  static std::vector<std::string> names;
  names.reserve(2 * std::size(kMixes) + 2);
  const std::uint32_t d = 0x0F50C0, p = 0xF00FAA;  // COLORREFs
  for (bool enhanced : {true, false})
    for (const TMixCase& m : kMixes) {
      names.push_back(std::string("Rop2") + m.Name + (enhanced ? "Emf" : "Wmf"));
      cases.push_back({names.back().c_str(), enhanced,
                       [=](TMetafileWriter& w) {
                         Ground(w, d);
                         w.Rop2(m.Mode);
                         w.Select(w.Brush(0, p));
                         w.Rectangle({20, 20, 60, 80});
                         w.Select(w.Pen(0, 9, p));
                         w.MoveTo(80, 10), w.LineTo(80, 90);
                       },
                       {{40, 50, m.Expected}, {80, 50, m.Expected}, {10, 50, d}, {90, 50, d}}});
    }
  // Exclusive-or twice gives the ground back; SetROP2 is part of the saved state.
  names.push_back("Rop2XorTwiceRestores");
  cases.push_back({names.back().c_str(), true,
                   [](TMetafileWriter& w) {
                     Ground(w, 0x0F50C0);
                     w.Rop2(7);
                     w.Select(w.Brush(0, 0xF00FAA));
                     w.Ellipse({10, 10, 90, 90}), w.Ellipse({10, 10, 90, 90});
                   },
                   {{50, 50, canvas::RGB(0xC0, 0x50, 0x0F)}, {20, 50, canvas::RGB(0xC0, 0x50, 0x0F)}}});
  names.push_back("Rop2RestoredWithTheState");
  cases.push_back({names.back().c_str(), false,
                   [](TMetafileWriter& w) {
                     w.SaveDc();
                     w.Rop2(6);
                     w.RestoreDc(-1);
                     Ground(w, kBlue);
                   },
                   {{50, 50, kCanvasBlue}}});
  return cases;
}

class PlayerPixels : public testing::TestWithParam<TPixelCase> {};

TEST_P(PlayerPixels, AreWhereTheDeviceContextPutsThem) {
  TMetafileWriter w(GetParam().Enhanced, 100, 100);
  GetParam().Draw(w);
  TMemoryStream stream(w.Finish());
  forms::TMetafile m;
  m.LoadFromStream(stream);
  canvas::TBitmap picture(100, 100, canvas::clWhite);
  m.Draw(picture.Canvas(), {0, 0, 100, 100});
  picture.SaveToPngFile(test_metafile::ReviewPath(std::string("pixels-") + GetParam().Name));
  for (const TProbe& p : GetParam().Probes)
    EXPECT_EQ(picture.ColorAt(p.X, p.Y), p.Expected) << "(" << p.X << ", " << p.Y << ")";
}

INSTANTIATE_TEST_SUITE_P(Drawings, PlayerPixels, testing::ValuesIn(Cases()),
                         [](const testing::TestParamInfo<TPixelCase>& i) { return std::string(i.param.Name); });

// Pens of one device pixel and the outlines of figures, drawn into
// Width x Height pixels (the picture frames 100 x 100): pixel (x, y) lit
// for device point (x, y) in the pen's colour, the last point of a line
// left out; a Windows metafile's box leaves out its right and bottom
// edges, an enhanced metafile's holds them. Each run is a straight row,
// column or diagonal of pixels, both ends included.
struct TRun {
  int X0, Y0, X1, Y1;
  canvas::TColor Expected;
};

struct TThinCase {
  const char* Name;
  bool Enhanced;
  int Width, Height;
  std::function<void(TMetafileWriter&)> Draw;
  std::vector<TRun> Runs;
};

void PrintTo(const TThinCase& c, std::ostream* os) { *os << c.Name; }

std::function<void(TMetafileWriter&)> Line(int width, int style, int x0, int y0, int x1, int y1) {
  return [=](TMetafileWriter& w) {
    w.Select(w.Pen(style, width, 0));
    w.MoveTo(x0, y0), w.LineTo(x1, y1);
  };
}

// Red outline, blue inside.
std::function<void(TMetafileWriter&)> Outlined(bool ellipse, TBox box, int penStyle = 0, int penWidth = 0) {
  return [=](TMetafileWriter& w) {
    w.Select(w.Pen(penStyle, penWidth, kRed));
    w.Select(w.Brush(0, kBlue));
    ellipse ? w.Ellipse(box) : w.Rectangle(box);
  };
}

const canvas::TColor kBlack = canvas::clBlack;

const TThinCase kThinCases[] = {
    {"Horizontal", false, 100, 100, Line(0, 0, 10, 20, 60, 20),
     {{10, 20, 59, 20, kBlack}, {60, 20, 60, 20, kWhite}, {10, 19, 59, 19, kWhite}, {10, 21, 59, 21, kWhite}}},
    {"Vertical", true, 100, 100, Line(1, 0, 20, 10, 20, 60),
     {{20, 10, 20, 59, kBlack}, {20, 60, 20, 60, kWhite}, {19, 10, 19, 59, kWhite}, {21, 10, 21, 59, kWhite}}},
    {"Diagonal", true, 100, 100, Line(0, 0, 10, 10, 40, 40),
     {{10, 10, 39, 39, kBlack}, {40, 40, 40, 40, kWhite}, {11, 10, 40, 39, kWhite}, {10, 11, 39, 40, kWhite}}},
    // y = 50 + i / 3 rounded at each step i along x.
    {"Shallow", false, 100, 100, Line(0, 0, 10, 50, 19, 53),
     {{10, 50, 11, 50, kBlack}, {12, 51, 14, 51, kBlack}, {15, 52, 17, 52, kBlack}, {18, 53, 18, 53, kBlack},
      {19, 53, 19, 53, kWhite}, {12, 50, 19, 50, kWhite}, {10, 51, 11, 51, kWhite}, {15, 51, 18, 51, kWhite}}},
    // Dashes of 18 pixels and gaps of 6.
    {"Dashed", false, 100, 100, Line(0, 1, 10, 70, 90, 70),
     {{10, 70, 27, 70, kBlack}, {28, 70, 33, 70, kWhite}, {34, 70, 51, 70, kBlack}, {52, 70, 57, 70, kWhite},
      {82, 70, 89, 70, kBlack}, {90, 70, 90, 70, kWhite}}},
    {"RectangleWmf", false, 100, 100, Outlined(false, {20, 20, 60, 50}),
     {{20, 20, 59, 20, kCanvasRed}, {20, 49, 59, 49, kCanvasRed}, {20, 20, 20, 49, kCanvasRed}, {59, 20, 59, 49, kCanvasRed},
      {21, 21, 58, 21, kCanvasBlue}, {21, 48, 58, 48, kCanvasBlue}, {21, 21, 21, 48, kCanvasBlue}, {58, 21, 58, 48, kCanvasBlue},
      {60, 19, 60, 50, kWhite}, {19, 50, 60, 50, kWhite}, {19, 19, 60, 19, kWhite}}},
    {"RectangleEmf", true, 100, 100, Outlined(false, {20, 20, 60, 50}),
     {{20, 20, 60, 20, kCanvasRed}, {20, 50, 60, 50, kCanvasRed}, {20, 20, 20, 50, kCanvasRed}, {60, 20, 60, 50, kCanvasRed},
      {59, 21, 59, 49, kCanvasBlue}, {21, 49, 59, 49, kCanvasBlue}, {61, 19, 61, 51, kWhite}, {19, 51, 61, 51, kWhite}}},
    // The ellipse through device points 20..60 across and 20..50 down:
    // centre (40, 35); within two pixels of the top and bottom it stays
    // within a tenth of a pixel of its rows.
    {"EllipseWmf", false, 100, 100, Outlined(true, {20, 20, 61, 51}),
     {{38, 20, 42, 20, kCanvasRed}, {38, 50, 42, 50, kCanvasRed}, {20, 35, 20, 35, kCanvasRed}, {60, 35, 60, 35, kCanvasRed},
      {38, 19, 42, 19, kWhite}, {38, 51, 42, 51, kWhite}, {19, 35, 19, 35, kWhite}, {61, 35, 61, 35, kWhite},
      {40, 21, 40, 49, kCanvasBlue}, {21, 35, 59, 35, kCanvasBlue}}},
    // Three pixels wide: centred on the outline's device points, or inside the box.
    {"WideOutlineWmf", false, 100, 100, Outlined(false, {20, 20, 60, 50}, 0, 3),
     {{19, 35, 21, 35, kCanvasRed}, {58, 35, 60, 35, kCanvasRed}, {40, 19, 40, 21, kCanvasRed}, {40, 48, 40, 50, kCanvasRed},
      {18, 35, 18, 35, kWhite}, {61, 35, 61, 35, kWhite}, {22, 35, 57, 35, kCanvasBlue}}},
    {"InsideFrameWmf", false, 100, 100, Outlined(false, {20, 20, 60, 50}, 6, 3),
     {{20, 35, 22, 35, kCanvasRed}, {57, 35, 59, 35, kCanvasRed}, {40, 20, 40, 22, kCanvasRed}, {40, 47, 40, 49, kCanvasRed},
      {19, 35, 19, 35, kWhite}, {60, 35, 60, 35, kWhite}, {40, 50, 40, 50, kWhite}, {23, 35, 56, 35, kCanvasBlue}}},
    // At 200 %: device points twice as far apart, the pen still one pixel.
    {"HorizontalAt200", false, 200, 200, Line(0, 0, 10, 20, 60, 20),
     {{20, 40, 119, 40, kBlack}, {120, 40, 120, 40, kWhite}, {20, 39, 119, 39, kWhite}, {20, 41, 119, 41, kWhite}}},
    {"RectangleWmfAt200", false, 200, 200, Outlined(false, {20, 20, 60, 50}),
     {{40, 40, 119, 40, kCanvasRed}, {40, 99, 119, 99, kCanvasRed}, {40, 40, 40, 99, kCanvasRed}, {119, 40, 119, 99, kCanvasRed},
      {41, 41, 118, 41, kCanvasBlue}, {41, 98, 118, 98, kCanvasBlue}, {120, 40, 120, 100, kWhite}, {40, 100, 120, 100, kWhite}}},
    // Device points 40..122 across and 40..102 down: centre (81, 71).
    {"EllipseEmfAt200", true, 200, 200, Outlined(true, {20, 20, 61, 51}),
     {{79, 40, 83, 40, kCanvasRed}, {79, 102, 83, 102, kCanvasRed}, {40, 71, 40, 71, kCanvasRed}, {122, 71, 122, 71, kCanvasRed},
      {79, 39, 83, 39, kWhite}, {79, 103, 83, 103, kWhite}, {39, 71, 39, 71, kWhite}, {123, 71, 123, 71, kWhite},
      {81, 41, 81, 101, kCanvasBlue}}},
    // A pen one unit wide is three pixels wide at 300 %, on rows 59..61.
    {"WidePenAt300", false, 300, 300, Line(1, 0, 10, 20, 30, 20),
     {{60, 58, 60, 58, kWhite}, {60, 59, 60, 61, kBlack}, {60, 62, 60, 62, kWhite}, {45, 59, 75, 61, kBlack}}},
    // Stretched across only: the cosmetic pen stays one pixel.
    {"VerticalStretched", true, 200, 100, Line(0, 0, 20, 10, 20, 60),
     {{40, 10, 40, 59, kBlack}, {39, 10, 39, 59, kWhite}, {41, 10, 41, 59, kWhite}}},
};

class ThinPens : public testing::TestWithParam<TThinCase> {};

TEST_P(ThinPens, LightOnePixelPerPointAsTheDeviceContextDoes) {
  const TThinCase& c = GetParam();
  TMetafileWriter w(c.Enhanced, 100, 100);
  c.Draw(w);
  TMemoryStream stream(w.Finish());
  forms::TMetafile m;
  m.LoadFromStream(stream);
  canvas::TBitmap picture(c.Width, c.Height, canvas::clWhite);
  m.Draw(picture.Canvas(), {0, 0, c.Width, c.Height});
  picture.SaveToPngFile(test_metafile::ReviewPath(std::string("thin-") + c.Name));
  for (const TRun& r : c.Runs) {
    const int steps = std::max(std::abs(r.X1 - r.X0), std::abs(r.Y1 - r.Y0));
    for (int i = 0; i <= steps; ++i) {
      const int x = r.X0 + (steps ? (r.X1 - r.X0) * i / steps : 0), y = r.Y0 + (steps ? (r.Y1 - r.Y0) * i / steps : 0);
      EXPECT_EQ(picture.ColorAt(x, y), r.Expected) << "(" << x << ", " << y << ")";
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Drawings, ThinPens, testing::ValuesIn(kThinCases),
                         [](const testing::TestParamInfo<TThinCase>& i) { return std::string(i.param.Name); });

// Every character 6 pixels wide.
class TSixPixels : public text::TTextMeasurer {
public:
  int TextWidth(const text::TFontSpec&, const std::string& bytes) override { return 6 * int(bytes.size()); }
  int TextWidthW(const text::TFontSpec&, const std::u16string& t) override { return 6 * int(t.size()); }
  int TextHeight(const text::TFontSpec&) override { return 12; }
  text::TTextMetric GetTextMetrics(const text::TFontSpec&) override { return {12, 10, 2, 0, 0, 6, 6}; }
};

// Text: an advance array places each character itself, text alignment
// moves the reference point, the current position advances with
// TA_UPDATECP; on the recording canvas with characters 6 pixels wide.
TEST(MetafileText, SpacingAndAlignmentPlaceTheCharacters) {
  TSixPixels six;
  text::InstallMeasurer(&six);
  TMetafileWriter w(false, 200, 100);
  w.Select(w.Font(-10, 400, false, 0, "Arial"));
  w.Text(10, 20, "ab", {40, 40});
  w.TextAlign(2);  // right
  w.Text(100, 50, "abcd");
  w.TextAlign(1);  // update the current position
  w.MoveTo(30, 70);
  w.Text(0, 0, "ab");
  w.Text(0, 0, "c");
  TMemoryStream stream(w.Finish());
  forms::TMetafile m;
  m.LoadFromStream(stream);
  canvas::TRecordingCanvas c(200, 100);
  m.Draw(c, {0, 0, 200, 100});
  std::vector<std::pair<std::u16string, std::vector<double>>> texts;
  for (const canvas::TCanvasCall& call : c.Calls)
    if (call.Name == "TextOutA") texts.push_back({call.Text, call.Args});
  using V = std::vector<double>;
  const std::vector<std::pair<std::u16string, V>> expected = {
      {u"a", V{10, 20}}, {u"b", V{50, 20}}, {u"abcd", V{100 - 24, 50}}, {u"ab", V{30, 70}}, {u"c", V{42, 70}}};
  EXPECT_EQ(texts, expected);
  text::InstallMeasurer(nullptr);
}

}  // namespace
