// What the other programs do not draw as the device context does, checked
// against pixels worked out by hand: raster operations of bitmaps, clip
// regions, paths filled without outline and stroked without fill, pies over
// half a turn, scaling world transforms, metric map modes of Windows
// metafiles, saved states, spacing arrays and hatches over what lies behind.
// Each drawing is 100 x 100 pixels, drawn at its own size on white.

#include <gtest/gtest.h>

#include <functional>

#include "base/Streams.h"
#include "platform/canvas/Bitmap.h"
#include "platform/canvas/RecordingCanvas.h"
#include "platform/forms/Picture.h"
#include "support/metafile/MetafileWriter.h"

namespace {

using test_metafile::TMetafileWriter;

constexpr std::uint32_t kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000, kGrey = 0x808080, kYellow = 0x00FFFF;
constexpr std::uint32_t SRCAND = 0x008800C6, SRCPAINT = 0x00EE0086, SRCINVERT = 0x00660046, NOTSRCCOPY = 0x00330008;

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

const canvas::TColor kWhite = canvas::clWhite;
const canvas::TColor kCanvasRed = canvas::RGB(255, 0, 0), kCanvasBlue = canvas::RGB(0, 0, 255);

const TPixelCase kCases[] = {
    {"SrcAnd", true, Blit(kRed, SRCAND), {{40, 40, canvas::RGB(128, 0, 0)}, {10, 10, canvas::RGB(128, 128, 128)}}},
    {"SrcPaint", false, Blit(kRed, SRCPAINT), {{40, 40, canvas::RGB(255, 128, 128)}}},
    {"SrcInvert", true, Blit(kGrey, SRCINVERT), {{40, 40, canvas::RGB(0, 0, 0)}}},
    {"NotSrcCopy", false, Blit(kRed, NOTSRCCOPY), {{40, 40, canvas::RGB(0, 255, 255)}}},
    {"ClipRegion", true, Region, {{20, 20, kCanvasRed}, {50, 50, kWhite}, {80, 80, kCanvasRed}, {80, 20, kWhite}}},
    {"FillPathHasNoOutline", true, [](TMetafileWriter& w) { Path(w, true); }, {{21, 50, canvas::RGB(0, 255, 0)}}},
    {"StrokePathHasNoFill", true, [](TMetafileWriter& w) { Path(w, false); }, {{50, 50, kWhite}, {20, 50, 0}}},
    {"PieOverHalfATurn", false, WidePie, {{30, 30, kCanvasBlue}, {30, 70, kCanvasBlue}, {70, 70, kWhite}}},
    {"ScalingWorldTransform", true, ScaledWorld, {{70, 30, kCanvasBlue}, {25, 55, kCanvasBlue}, {30, 70, kWhite}, {90, 30, kWhite}}},
    {"LometricWindowsMetafile", false, Lometric, {{45, 45, kCanvasBlue}, {55, 55, kWhite}}},
    {"LometricEnhanced", true, Lometric, {{45, 45, kCanvasBlue}, {55, 55, kWhite}}},
    {"RestoreDcBringsBackBrushAndClip", false, SavedState, {{50, 50, kCanvasRed}}},
    {"HatchOverWhatLiesBehind", true, Hatch, {{3, 4, canvas::RGB(255, 255, 0)}, {3, 0, kCanvasBlue}, {3, 8, kCanvasBlue}}},
};

class PlayerPixels : public testing::TestWithParam<TPixelCase> {};

TEST_P(PlayerPixels, AreWhereTheDeviceContextPutsThem) {
  TMetafileWriter w(GetParam().Enhanced, 100, 100);
  GetParam().Draw(w);
  TMemoryStream stream(w.Finish());
  forms::TMetafile m;
  m.LoadFromStream(stream);
  canvas::TBitmap picture(100, 100, canvas::clWhite);
  m.Draw(picture.Canvas(), {0, 0, 100, 100});
  for (const TProbe& p : GetParam().Probes)
    EXPECT_EQ(picture.ColorAt(p.X, p.Y), p.Expected) << "(" << p.X << ", " << p.Y << ")";
}

INSTANTIATE_TEST_SUITE_P(Drawings, PlayerPixels, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<TPixelCase>& i) { return std::string(i.param.Name); });

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
