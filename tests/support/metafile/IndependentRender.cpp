#include "support/metafile/IndependentRender.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "support/ImageMagick.h"

namespace test_metafile {

namespace {

bool Have(const char* tool) { return std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) == 0; }

std::string Quoted(const std::string& s) { return "'" + s + "'"; }

std::string Scratch(const std::string& extension) {
  static int serial = 0;
  return (std::filesystem::temp_directory_path() /
          ("metafile-" + std::to_string(::getpid()) + "-" + std::to_string(++serial) + extension))
      .string();
}

std::optional<canvas::TBitmap> ReadAndRemove(const std::string& png) {
  std::error_code error;
  if (!std::filesystem::exists(png, error)) return std::nullopt;
  canvas::TBitmap picture = canvas::TBitmap::LoadFromFile(png);
  std::filesystem::remove(png, error);
  return picture;
}

// The picture rsvg-convert draws of an SVG file (made when Made) on white;
// the SVG file is removed.
std::optional<canvas::TBitmap> DrawnSvg(const std::string& svg, bool made, int width, int height) {
  const std::string png = Scratch(".png");
  bool ok = made;
  if (ok)
    test_support::CommandOutput("rsvg-convert -b white -w " + std::to_string(width) + " -h " + std::to_string(height) +
                                    " -o " + Quoted(png) + " " + Quoted(svg) + " 2>/dev/null",
                                &ok);
  std::error_code error;
  std::filesystem::remove(svg, error);
  if (!ok) return std::nullopt;
  return ReadAndRemove(png);
}

}  // namespace

std::optional<canvas::TBitmap> RenderWithInkscape(const std::string& file, int width, int height) {
  if (!Have("inkscape")) return std::nullopt;
  const std::string png = Scratch(".png");
  bool ok = false;
  test_support::CommandOutput("inkscape --export-type=png --export-background=white --export-background-opacity=1 -w " +
                                  std::to_string(width) + " -h " + std::to_string(height) + " --export-filename=" +
                                  Quoted(png) + " " + Quoted(file) + " 2>/dev/null",
                              &ok);
  if (!ok) return std::nullopt;
  return ReadAndRemove(png);
}

std::optional<canvas::TBitmap> RenderWithEmf2svg(const std::string& file, int width, int height) {
  if (!Have("emf2svg-conv") || !Have("rsvg-convert")) return std::nullopt;
  const std::string svg = Scratch(".svg");
  bool ok = false;
  test_support::CommandOutput("emf2svg-conv -w " + std::to_string(width) + " -h " + std::to_string(height) + " -i " +
                                  Quoted(file) + " -o " + Quoted(svg) + " 2>/dev/null",
                              &ok);
  return DrawnSvg(svg, ok, width, height);
}

std::optional<canvas::TBitmap> RenderWithLibwmf(const std::string& file, int width, int height) {
  if (!Have("wmf2svg") || !Have("rsvg-convert")) return std::nullopt;
  const std::string svg = Scratch(".svg");
  bool ok = false;
  test_support::CommandOutput("wmf2svg --maxwidth=" + std::to_string(width) + " --maxheight=" + std::to_string(height) +
                                  " --maxsize -o " + Quoted(svg) + " " + Quoted(file) + " 2>/dev/null",
                              &ok);
  // wmf2svg leaves the fill of a polyline unsaid, which SVG takes as black.
  if (ok) test_support::CommandOutput("sed -i 's/<polyline /<polyline fill=\"none\" /' " + Quoted(svg));
  return DrawnSvg(svg, ok, width, height);
}

TPixelDifference Compare(const canvas::TBitmap& ours, const canvas::TBitmap& theirs, int threshold, int reach,
                         canvas::TBitmap* marks) {
  TPixelDifference d;
  const int w = std::min(ours.Width(), theirs.Width()), h = std::min(ours.Height(), theirs.Height());
  auto close = [threshold](canvas::TColor a, canvas::TColor b) {
    return std::abs(canvas::GetRValue(a) - canvas::GetRValue(b)) <= threshold &&
           std::abs(canvas::GetGValue(a) - canvas::GetGValue(b)) <= threshold &&
           std::abs(canvas::GetBValue(a) - canvas::GetBValue(b)) <= threshold;
  };
  // A pixel matches when the other picture has its colour close by, both
  // ways round: in one pixel, or in two side by side, as a mix of their
  // colours (an edge that falls elsewhere in the pixel, or is drawn sharp
  // by one program and smoothed by the other) or the sum of their ink on
  // white (a line of one pixel that the other spreads over two half-lit
  // pixels).
  auto mixes = [threshold](canvas::TColor c, canvas::TColor a, canvas::TColor b) {
    double low = 0, high = 1;  // shares of A that give C on every channel
    for (int shift : {0, 8, 16}) {
      const double v = c >> shift & 255, from = b >> shift & 255, span = double(a >> shift & 255) - from;
      if (span == 0) {
        if (std::abs(v - from) > threshold) return false;
        continue;
      }
      double t1 = (v - threshold - from) / span, t2 = (v + threshold - from) / span;
      if (span < 0) std::swap(t1, t2);
      low = std::max(low, t1), high = std::min(high, t2);
    }
    return low <= high;
  };
  auto inkSum = [](canvas::TColor a, canvas::TColor b) {
    auto sum = [](int x, int y) { return std::max(0, x + y - 255); };
    return canvas::RGB(sum(canvas::GetRValue(a), canvas::GetRValue(b)), sum(canvas::GetGValue(a), canvas::GetGValue(b)),
                       sum(canvas::GetBValue(a), canvas::GetBValue(b)));
  };
  auto near = [&](const canvas::TBitmap& from, const canvas::TBitmap& in, int x, int y) {
    const canvas::TColor c = from.ColorAt(x, y);
    for (int dy = -reach; dy <= reach; ++dy)
      for (int dx = -reach; dx <= reach; ++dx) {
        const canvas::TColor o = in.ColorAt(x + dx, y + dy);
        if (o == canvas::clNone) continue;
        if (close(c, o)) return true;
        for (const canvas::TColor n : {in.ColorAt(x + dx + 1, y + dy), in.ColorAt(x + dx, y + dy + 1)})
          if (n != canvas::clNone && (mixes(c, o, n) || close(c, inkSum(o, n)))) return true;
      }
    return false;
  };
  int different = 0, ink = 0;
  if (marks) *marks = canvas::TBitmap(w, h, canvas::clWhite);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      if (ours.ColorAt(x, y) != canvas::clWhite || theirs.ColorAt(x, y) != canvas::clWhite) ++ink;
      if (!near(ours, theirs, x, y) || !near(theirs, ours, x, y)) {
        ++different;
        if (marks) marks->Pixels()[std::size_t(y) * std::size_t(w) + std::size_t(x)] = canvas::PixelOf(canvas::clRed);
      }
    }
  d.Compared = w * h;
  d.DifferentShare = d.Compared ? double(different) / d.Compared : 0;
  d.InkShare = d.Compared ? double(ink) / d.Compared : 0;
  return d;
}

canvas::TBitmap BlockMeans(const canvas::TBitmap& picture, int block) {
  const int w = picture.Width() / block, h = picture.Height() / block;
  canvas::TBitmap means(w, h);
  for (int by = 0; by < h; ++by)
    for (int bx = 0; bx < w; ++bx) {
      int r = 0, g = 0, b = 0;
      for (int y = by * block; y < (by + 1) * block; ++y)
        for (int x = bx * block; x < (bx + 1) * block; ++x) {
          const canvas::TColor c = picture.ColorAt(x, y);
          r += canvas::GetRValue(c), g += canvas::GetGValue(c), b += canvas::GetBValue(c);
        }
      const int n = block * block;
      means.Pixels()[std::size_t(by) * std::size_t(w) + std::size_t(bx)] = canvas::PixelOf(canvas::RGB(r / n, g / n, b / n));
    }
  return means;
}

std::string ReviewPath(const std::string& name) {
  const std::filesystem::path folder = std::filesystem::path(SONARID_BINARY_DIR) / "metafile-pictures";
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  return (folder / (name + ".png")).string();
}

}  // namespace test_metafile
