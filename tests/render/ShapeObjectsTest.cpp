// Lines with arrow ends, rectangles and ellipses, arcs, pies and chords of a
// page: the figures asked of the canvas (hand-computed from the stored
// fields) and, for fills, the pixels they leave.

#include <gtest/gtest.h>

#include <optional>

#include "platform/canvas/Bitmap.h"
#include "platform/canvas/PixelHelpers.h"
#include "render/ObjectPage.h"

namespace {

using canvas::TPathCommand;
using canvas::TPointF;

// The recorded smooth figures as their points: a line's two ends, a
// polygon's corners (Close adds none).
std::vector<std::vector<double>> Figures(const canvas::TRecordingCanvas& Canvas) {
  std::vector<std::vector<double>> figures;
  for (const auto& call : Canvas.Calls) {
    if (call.Name != "SmoothPath") continue;
    std::vector<double> points;
    for (const TPathCommand& c : call.Path)
      if (c.Kind == TPathCommand::Move || c.Kind == TPathCommand::Line) points.insert(points.end(), {c.P[0].X, c.P[0].Y});
    figures.push_back(points);
  }
  return figures;
}

// Objects on a builder page drawn at a zoom on the recording canvas.
struct ObjectDrawing {
  explicit ObjectDrawing(int Zoom = 100, int Scale = 100) : p(Zoom, wsNormal, Scale), Z(Zoom) {}
  void Draw() {
    p.canvas.Calls.clear();
    p.d.DrawPageContent(0, Z, Z, 0, 0);
  }
  Drawing p;
  TObjectPage o{p.b};
  int Z;
};

// A vertical line's heads point along it; Arrows 0x13 puts a triangle at the
// start and a diamond at the end, the stroke stopping A2 short of each; the
// lengths grow with the width (A1 = u + w, A2 = 2u + w, A3 = 3u + w,
// A6 = 6u + 2w, A7 = 7u + 2w), u rounded half to even.
TEST(ShapeObjects, LinesAndTheirEnds) {
  using Figure = std::vector<double>;
  struct Case {
    int Scale;
    std::vector<int> Line;
    uint8_t Arrows, Width;
    std::vector<Figure> Expected;  // the stroke, then the start's end, then the end's
  };
  for (const Case& c : std::vector<Case>{
           // Down from (50, 10) to (50, 60), u = 1: heads six long and two to each side.
           {100, {50, 10, 50, 60}, 0x11, 0,
            {{50, 12, 50, 58}, {50, 10, 52, 16, 48, 16}, {50, 60, 48, 54, 52, 54}}},
           // Left to right, width 2: A2 = 4, A3 = 5, A6 = 10, A7 = 11.
           {100, {10, 20, 90, 20}, 0x13, 2,
            {{14, 20, 86, 20}, {10, 20, 20, 16, 20, 24}, {90, 20, 85, 24, 79, 20, 85, 16}}},
           // Score scale 150: u = 1.5; A2 = Round(3) = 3, A6 = Round(9) = 9 (A3 = Round(4.5) = 4).
           {150, {90, 20, 10, 20}, 0x31, 0,
            {{87, 20, 13, 20}, {90, 20, 86, 17, 80, 20, 86, 23}, {10, 20, 19, 23, 19, 17}}},
           // No ends: the whole line.
           {100, {5, 5, 40, 30}, 0x00, 1, {{5, 5, 40, 30}}},
       }) {
    ObjectDrawing t(100, c.Scale);
    TKVItem& line = t.o.Line(c.Line[0], c.Line[1], c.Line[2], c.Line[3], c.Arrows, c.Width, 0x0000FF);
    t.p.canvas.Calls.clear();
    t.p.d.DrawObject(line, nullptr, 0, 0, c.Arrows & 1, false);
    EXPECT_EQ(Figures(t.p.canvas), c.Expected) << int(c.Arrows);
    ASSERT_FALSE(t.p.canvas.Calls.empty());
    EXPECT_EQ(t.p.canvas.Calls[0].SmoothPen->Width, c.Width * c.Scale / 100);
    for (size_t i = 1; i < t.p.canvas.Calls.size(); ++i) {
      EXPECT_FALSE(t.p.canvas.Calls[i].SmoothPen) << "ends are filled, not outlined";
      EXPECT_EQ(t.p.canvas.Calls[i].SmoothBrush->Color, 0xFFFF0000u);
    }
  }
}

// A dot end is an ellipse in the box of its two corners, normalised.
TEST(ShapeObjects, DotEnds) {
  ObjectDrawing t;
  TKVItem& line = t.o.Line(10, 20, 90, 20, 0x22, 1);
  t.p.canvas.Calls.clear();
  t.p.d.DrawObject(line, nullptr, 0, 0, false, true);
  ASSERT_EQ(t.p.canvas.Calls.size(), 3u);
  // A1 = 2, A4 = 4: corners (0, -2) and (4, 2) from the start, taken away at the end.
  for (auto [call, box] : {std::pair{1, canvas::TRectF{10, 18, 4, 4}}, {2, canvas::TRectF{86, 18, 4, 4}}}) {
    const TPathCommand& arc = t.p.canvas.Calls[size_t(call)].Path.at(0);
    EXPECT_EQ(arc.Kind, TPathCommand::Arc);
    EXPECT_EQ(arc.Box, box);
  }
}

// F18: pen style 5 draws no outline (the fill stays), 6 and every style
// past 4 draw solid; brush style 1 and every style past 7 fill nothing,
// 2-7 are the six hatches over opaque white.
TEST(ShapeObjects, PenAndBrushStyles) {
  struct Case {
    uint8_t Pen, Brush;
    std::optional<canvas::TDashStyle> Dash;
    std::optional<canvas::THatchStyle> Hatch;
  };
  for (const Case& c : std::vector<Case>{{0, 0, canvas::dsSolid, canvas::hsNone},
                                         {3, 6, canvas::dsDashDot, canvas::hsCross},
                                         {5, 2, std::nullopt, canvas::hsHorizontal},
                                         {6, 1, canvas::dsSolid, std::nullopt},
                                         {9, 8, canvas::dsSolid, std::nullopt},
                                         {4, 7, canvas::dsDashDotDot, canvas::hsDiagonalCross}}) {
    ObjectDrawing t;
    TKVItem& box = t.o.Box(ItemKind::Ellipse, 10, 10, 50, 30, c.Brush, 0x00FF00, c.Pen, 3);
    t.p.canvas.Calls.clear();
    t.p.d.DrawObject(box, nullptr, 0, 0, false, true);
    ASSERT_EQ(t.p.canvas.Calls.size(), 1u);
    const canvas::TCanvasCall& call = t.p.canvas.Calls[0];
    EXPECT_EQ(call.SmoothPen ? std::optional(call.SmoothPen->Dash) : std::nullopt, c.Dash) << int(c.Pen);
    EXPECT_EQ(call.SmoothBrush ? std::optional(call.SmoothBrush->Hatch) : std::nullopt, c.Hatch) << int(c.Brush);
    EXPECT_TRUE(!call.SmoothBrush || call.SmoothBrush->Back == 0xFFFFFFFFu);
    EXPECT_TRUE(!call.SmoothPen || call.SmoothPen->Width == 3);
  }
  // A line drawn with the clear pen still shows its ends.
  ObjectDrawing t;
  TKVItem& line = t.o.Line(10, 20, 90, 20, 0x11, 0, 0, 5);
  t.p.canvas.Calls.clear();
  t.p.d.DrawObject(line, nullptr, 0, 0, true, false);
  EXPECT_EQ(Figures(t.p.canvas).size(), 2u);
}

// On the real canvas: brush style 1 leaves the inside as it was, 6 fills a
// cross hatch of the fill colour with white between its lines.
TEST(ShapeObjects, HatchedAndClearFillsOnThePixels) {
  TPageBuilder b;
  TObjectPage o(b);
  o.Box(ItemKind::Rectangle, 10, 10, 60, 40, 6, 0x0000FF);
  o.Box(ItemKind::Rectangle, 100, 10, 60, 40, 1, 0x0000FF);
  canvas::TBitmap image(200, 80, canvas::clLime);
  render::TKVPageDrawer(b.View, image.Canvas()).DrawPageContent(0, 100, 100, 0, 0);
  int red = 0, white = 0, other = 0;
  for (int y = 14; y < 46; ++y)
    for (int x = 14; x < 66; ++x) {
      const canvas::TColor c = image.ColorAt(x, y);
      (c == canvas::clRed ? red : c == canvas::clWhite ? white : other)++;
    }
  EXPECT_GT(red, 200) << "the hatch lines";
  EXPECT_GT(white, 800) << "between them";
  EXPECT_EQ(other, 0);
  // Whole rows and whole columns of red: the cross, every 8 pixels.
  int rows = 0, columns = 0;
  for (int y = 14; y < 46; ++y) rows += canvas::testing::Count(image, canvas::clRed, true, {14, y, 66, y + 1}) == 52;
  for (int x = 14; x < 66; ++x) columns += canvas::testing::Count(image, canvas::clRed, true, {x, 14, x + 1, 46}) == 32;
  EXPECT_EQ(rows, 4);
  EXPECT_GE(columns, 6);
  EXPECT_LE(columns, 7);
  EXPECT_EQ(image.ColorAt(130, 30), canvas::clLime) << "no fill";
  EXPECT_NE(image.ColorAt(100, 30), canvas::clLime) << "the outline";
}

// Arcs run clockwise from the end point's direction to the start point's
// (whole degrees); a point straight above the centre lies at 270 degrees.
// Equal directions draw nothing; the chord is the canvas's figure.
TEST(ShapeObjects, ArcsPiesAndChords) {
  struct Case {
    uint8_t Kind;
    int SX, SY, EX, EY;
    std::optional<std::pair<double, double>> StartSweep;
  };
  // The box (0, 0, 100, 100), its centre (50, 50).
  for (const Case& c : std::vector<Case>{{ItemKind::Arc, 100, 50, 50, 0, std::pair(270.0, 90.0)},
                                         {ItemKind::Arc, 50, 100, 100, 50, std::pair(0.0, 90.0)},
                                         {ItemKind::Pie, 0, 50, 100, 100, std::pair(45.0, 135.0)},
                                         {ItemKind::Pie, 100, 0, 50, 100, std::pair(90.0, 225.0)},
                                         {ItemKind::Arc, 70, 50, 90, 50, std::nullopt},
                                         {ItemKind::Pie, 50, 50, 50, 50, std::nullopt}}) {
    ObjectDrawing t;
    TKVItem& arc = t.o.Arc(c.Kind, 0, 0, 100, 100, c.SX, c.SY, c.EX, c.EY);
    t.p.canvas.Calls.clear();
    t.p.d.DrawObject(arc, nullptr, 0, 0, false, true);
    if (!c.StartSweep) {
      EXPECT_TRUE(t.p.canvas.Calls.empty()) << "sweep 0";
      continue;
    }
    ASSERT_EQ(t.p.canvas.Calls.size(), 1u);
    const canvas::TCanvasCall& call = t.p.canvas.Calls[0];
    const TPathCommand& a = call.Path.at(c.Kind == ItemKind::Pie ? 1 : 0);
    EXPECT_EQ(std::pair(a.Start, a.Sweep), *c.StartSweep) << c.SX << "," << c.SY << " " << c.EX << "," << c.EY;
    EXPECT_EQ(a.Box, (canvas::TRectF{0, 0, 100, 100}));
    EXPECT_EQ(call.SmoothBrush.has_value(), c.Kind == ItemKind::Pie) << "an arc fills nothing";
  }
  // The chord: the canvas's figure with the view's settings, the pen one
  // unit wide, or the view's width at the zoom.
  for (auto [zoom, width, pen] : {std::tuple{100, 0, 1}, {200, 0, 2}, {200, 3, 6}}) {
    ObjectDrawing t(zoom);
    t.p.b.View.ObjectPenColor = 0x123456, t.p.b.View.ObjectFillColor = 0x654321, t.p.b.View.ObjectPenWidth = width;
    TKVItem& chord = t.o.Arc(ItemKind::ArcChord, 0, 0, 100, 100, 100, 50, 50, 0, 6, 2);
    t.p.canvas.Calls.clear();
    t.p.d.DrawObject(chord, nullptr, 0, 0, false, true);
    ASSERT_EQ(t.p.canvas.Names(), std::vector<std::string>{"Chord"});
    const canvas::TCanvasCall& call = t.p.canvas.Calls[0];
    const double z = zoom / 100.0;
    EXPECT_EQ(call.Args, (std::vector<double>{0, 0, 100 * z, 100 * z, 100 * z, 50 * z, 50 * z, 0}));
    EXPECT_EQ(call.Pen, (canvas::TPen{0x123456, pen, canvas::psDot}));
    EXPECT_EQ(call.Brush, (canvas::TBrush{0x654321, canvas::bsCross}));
    EXPECT_EQ(t.p.canvas.Pen.Style, canvas::psSolid) << "left solid";
  }
}

// Arcs store no colour: the view's current shape colour recolours all of
// them at the next paint.
TEST(ShapeObjects, TheViewsShapeColourRecoloursEveryArc) {
  ObjectDrawing t;
  t.o.Arc(ItemKind::Arc, 0, 0, 100, 100, 100, 50, 50, 0);
  t.o.Arc(ItemKind::Pie, 120, 0, 100, 100, 220, 50, 170, 0);
  t.o.Arc(ItemKind::ArcChord, 240, 0, 100, 100, 340, 50, 290, 0);
  auto colours = [&] {
    std::vector<uint32_t> c;
    for (const auto& call : t.p.canvas.Calls)
      c.push_back(call.Name == "Chord" ? canvas::ArgbOf(call.Pen.Color) : call.SmoothPen->Color);
    return c;
  };
  t.Draw();
  EXPECT_EQ(colours(), std::vector<uint32_t>(3, 0xFF000000));
  t.p.b.View.ObjectPenColor = 0x0000FF;
  t.Draw();
  EXPECT_EQ(colours(), std::vector<uint32_t>(3, 0xFFFF0000));
}

}  // namespace
