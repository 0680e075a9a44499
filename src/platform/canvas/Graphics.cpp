#include "platform/canvas/Graphics.h"

#include "base/Strings.h"

namespace canvas {

namespace {

// The classic Windows scheme, so that interface colours are fixed.
constexpr TColor kSystemColors[] = {
    0xC8D0D4, 0x808000, 0x6A240A, 0x808080, 0xC8D0D4, 0xFFFFFF, 0x000000, 0x000000, 0x000000,
    0xFFFFFF, 0xC8D0D4, 0xC8D0D4, 0x808080, 0x6A240A, 0xFFFFFF, 0xC8D0D4, 0x808080, 0x808080,
    0x000000, 0xC8D0D4, 0xFFFFFF, 0x404040, 0xC8D0D4, 0x000000, 0xE1FFFF,
};

}  // namespace

TColor ColorToRGB(TColor color) {
  if (color == clNone) return clWhite;
  if (color & 0x80000000) {
    unsigned index = color & 0xFF;
    return index < std::size(kSystemColors) ? kSystemColors[index] : clBlack;
  }
  return color & 0xFFFFFF;
}

std::span<const double> CosmeticDashes(TPenStyle style) {
  static const double dash[] = {18, 6}, dot[] = {3, 3}, dashDot[] = {9, 6, 3, 6}, dashDotDot[] = {9, 3, 3, 3, 3, 3};
  switch (style) {
    case psDash: return dash;
    case psDot: return dot;
    case psDashDot: return dashDot;
    case psDashDotDot: return dashDotDot;
    default: return {};
  }
}

void TFont::SetSize(int size) { Height = -MulDiv(size, PixelsPerInch, 72); }

int TFont::Size() const { return -MulDiv(Height, 72, PixelsPerInch > 0 ? PixelsPerInch : 96); }

TPath& TPath::MoveTo(TPointF p) {
  FCommands.push_back({TPathCommand::Move, {p}, {}, 0, 0});
  return *this;
}

TPath& TPath::LineTo(TPointF p) {
  FCommands.push_back({TPathCommand::Line, {p}, {}, 0, 0});
  return *this;
}

TPath& TPath::BezierTo(TPointF c1, TPointF c2, TPointF end) {
  FCommands.push_back({TPathCommand::Bezier, {c1, c2, end}, {}, 0, 0});
  return *this;
}

TPath& TPath::ArcTo(const TRectF& box, double startDeg, double sweepDeg) {
  FCommands.push_back({TPathCommand::Arc, {}, box, startDeg, sweepDeg});
  return *this;
}

TPath& TPath::Close() {
  FCommands.push_back({TPathCommand::Close, {}, {}, 0, 0});
  return *this;
}

}  // namespace canvas
